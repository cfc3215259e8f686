#include "hotkey/chord.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "hotkey/hotkey_failure.h"
#include "hotkey/registration.h"

namespace vantro::hotkey {
namespace {

using namespace std::string_literals;

struct ParseCase {
  std::string text;
  std::uint32_t modifiers;
  std::uint8_t code;
};

TEST(ParseHotkey, AcceptedChords) {
  const ParseCase cases[] = {
      {"Ctrl+Shift+Space", 0x208, 62},
      {" ctrl + SHIFT + space ", 0x208, 62},
      {"Shift+Ctrl+Ctrl+a", 0x208, 19},
      {"Ctrl+Alt+Space", 0x9, 62},
      {"Space", 0, 62},
      {"f12", 0, 171},
      {"F1", 0, 160},
      {"F24", 0, 183},
      {"F5", 0, 164},
      {"Win+;", 0x40, 48},
      {"super+A", 0x40, 19},
      {"META+z", 0x40, 44},
      {"Cmd+0", 0x40, 5},
      {"control+9", 0x8, 14},
      {"ALT+`", 0x1, 0},
      {"Alt+\\", 0x1, 1},
      {"Alt+[", 0x1, 2},
      {"Alt+]", 0x1, 3},
      {"Alt+,", 0x1, 4},
      {"Alt+=", 0x1, 15},
      {"Alt+-", 0x1, 45},
      {"Alt+.", 0x1, 46},
      {"Alt+'", 0x1, 47},
      {"Alt+/", 0x1, 49},
      {"Ctrl+Up", 0x8, 82},
      {"Ctrl+down", 0x8, 79},
      {"Ctrl+LEFT", 0x8, 80},
      {"Ctrl+Right", 0x8, 81},
      {"Tab", 0, 63},
      {"Esc", 0, 114},
      {"escape", 0, 114},
      {"Del", 0, 72},
      {"Delete", 0, 72},
      {"Ins", 0, 76},
      {"Insert", 0, 76},
      {"Home", 0, 75},
      {"End", 0, 73},
      {"PgUp", 0, 78},
      {"PageUp", 0, 78},
      {"PgDn", 0, 77},
      {"PageDown", 0, 77},
      {"Enter", 0, 57},
      {"Return", 0, 57},
      {"Backspace", 0, 52},
      {"Comma", 0, 4},
      {"Dot", 0, 46},
      {"Period", 0, 46},
      {"Slash", 0, 49},
      {"Backslash", 0, 1},
      {"Quote", 0, 47},
      {"Apostrophe", 0, 47},
      {"Minus", 0, 45},
      {"Equal", 0, 15},
      {"Grave", 0, 0},
      {"Backquote", 0, 0},
      {"Semicolon", 0, 48},
      {"BracketLeft", 0, 2},
      {"BracketRight", 0, 3},
      {"\u3000Ctrl\u00A0+\tX\u2029", 0x8, 42},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<Chord> chord = parse_hotkey(c.text);
    ASSERT_TRUE(chord.has_value()) << chord.error().alternate();
    EXPECT_EQ(chord->modifiers, c.modifiers);
    EXPECT_EQ(chord->code, c.code);
  }
}

struct FailCase {
  std::string text;
  std::string outer;
  std::optional<std::string> cause;
};

TEST(ParseHotkey, RejectedChords) {
  const FailCase cases[] = {
      {"", "empty hotkey string", std::nullopt},
      {" \t\u3000 ", "empty hotkey string", std::nullopt},
      {"Ctrl+", "malformed hotkey 'Ctrl+': empty segment", std::nullopt},
      {"+A", "malformed hotkey '+A': empty segment", std::nullopt},
      {"Ctrl++A", "malformed hotkey 'Ctrl++A': empty segment", std::nullopt},
      {"Ctrl+ +A", "malformed hotkey 'Ctrl+ +A': empty segment", std::nullopt},
      {"+", "malformed hotkey '+': empty segment", std::nullopt},
      {"Foo+", "malformed hotkey 'Foo+': empty segment", std::nullopt},
      {" Ctrl+ ", "malformed hotkey ' Ctrl+ ': empty segment", std::nullopt},
      {"Ctrl+Alt", "unrecognized key 'Alt' in 'Ctrl+Alt'", "unknown key 'ALT'"},
      {"Hyper+A", "unrecognized modifier 'Hyper' in 'Hyper+A'", "unknown modifier 'hyper'"},
      {"Foo+Bar+A", "unrecognized modifier 'Foo' in 'Foo+Bar+A'", "unknown modifier 'foo'"},
      {" Foo + A ", "unrecognized modifier 'Foo' in ' Foo + A '", "unknown modifier 'foo'"},
      {"Ctrl+Foo+Nope", "unrecognized modifier 'Foo' in 'Ctrl+Foo+Nope'", "unknown modifier 'foo'"},
      {"F0", "unrecognized key 'F0' in 'F0'", "unknown key 'F0'"},
      {"F25", "unrecognized key 'F25' in 'F25'", "unknown key 'F25'"},
      {"F01", "unrecognized key 'F01' in 'F01'", "unknown key 'F01'"},
      {"f100", "unrecognized key 'f100' in 'f100'", "unknown key 'F100'"},
      {"Ctrl+\u00C9", "unrecognized key '\u00C9' in 'Ctrl+\u00C9'", "unknown key '\u00C9'"},
      {"Ctrl+\u00E9", "unrecognized key '\u00E9' in 'Ctrl+\u00E9'", "unknown key '\u00E9'"},
      {"\u00C4lt+A", "unrecognized modifier '\u00C4lt' in '\u00C4lt+A'", "unknown modifier '\u00C4lt'"},
      {"Ctrl+*", "unrecognized key '*' in 'Ctrl+*'", "unknown key '*'"},
      {"Ctrl+:", "unrecognized key ':' in 'Ctrl+:'", "unknown key ':'"},
      {"Ctrl+Plus", "unrecognized key 'Plus' in 'Ctrl+Plus'", "unknown key 'PLUS'"},
      {"Ctrl+Shift", "unrecognized key 'Shift' in 'Ctrl+Shift'", "unknown key 'SHIFT'"},
      {"Ctrl+NumPad0", "unrecognized key 'NumPad0' in 'Ctrl+NumPad0'", "unknown key 'NUMPAD0'"},
      {"Ctrl+\x01", "unrecognized key '\x01' in 'Ctrl+\x01'", "unknown key '\x01'"},
      {"Ctrl Shift+A", "unrecognized modifier 'Ctrl Shift' in 'Ctrl Shift+A'",
       "unknown modifier 'ctrl shift'"},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<Chord> chord = parse_hotkey(c.text);
    ASSERT_FALSE(chord.has_value());
    EXPECT_EQ(chord.error().plain(), c.outer);
    std::vector<std::string> expected_chain{c.outer};
    if (c.cause) expected_chain.push_back(*c.cause);
    EXPECT_EQ(chord.error().chain(), expected_chain);
  }
}

TEST(ParseHotkey, EveryOtherSingleCharacterIsRejected) {
  const std::string accepted = "`\\[],=-.';/";
  for (int c = 0x01; c < 0x80; ++c) {
    const char ch = static_cast<char>(c);
    const bool alnum = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
    if (alnum || accepted.find(ch) != std::string::npos || ch == '+' || (ch >= 0x09 && ch <= 0x0D) ||
        ch == 0x20)
      continue;
    SCOPED_TRACE(c);
    EXPECT_FALSE(parse_hotkey("Ctrl+"s + ch).has_value());
  }
}

struct KeyCase {
  std::string text;
  std::string_view name;
  std::uint16_t virtual_key;
};

TEST(KeyTable, NamesAndVirtualKeysOfParsedKeys) {
  const KeyCase cases[] = {
      {"A", "KeyA", 0x41},
      {"z", "KeyZ", 0x5A},
      {"0", "Digit0", 0x30},
      {"9", "Digit9", 0x39},
      {"`", "Backquote", 0xC0},
      {"\\", "Backslash", 0xDC},
      {"[", "BracketLeft", 0xDB},
      {"]", "BracketRight", 0xDD},
      {",", "Comma", 0xBC},
      {"=", "Equal", 0xBB},
      {"-", "Minus", 0xBD},
      {".", "Period", 0xBE},
      {"'", "Quote", 0xDE},
      {";", "Semicolon", 0xBA},
      {"/", "Slash", 0xBF},
      {"F1", "F1", 0x70},
      {"F12", "F12", 0x7B},
      {"F24", "F24", 0x87},
      {"Up", "ArrowUp", 0x26},
      {"Down", "ArrowDown", 0x28},
      {"Left", "ArrowLeft", 0x25},
      {"Right", "ArrowRight", 0x27},
      {"Tab", "Tab", 0x09},
      {"Esc", "Escape", 0x1B},
      {"Delete", "Delete", 0x2E},
      {"Insert", "Insert", 0x2D},
      {"Home", "Home", 0x24},
      {"End", "End", 0x23},
      {"PageUp", "PageUp", 0x21},
      {"PageDown", "PageDown", 0x22},
      {"Space", "Space", 0x20},
      {"Enter", "Enter", 0x0D},
      {"Backspace", "Backspace", 0x08},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<Chord> chord = parse_hotkey(c.text);
    ASSERT_TRUE(chord.has_value());
    EXPECT_EQ(key_name(chord->code), c.name);
    EXPECT_EQ(virtual_key(chord->code), c.virtual_key);
  }
}

TEST(KeyTable, EveryCodeInItsRangesHasAVirtualKey) {
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    const bool in_table = code <= 15 || (code >= 19 && code <= 49) || code == 52 || code == 57 ||
                          code == 62 || code == 63 || (code >= 72 && code <= 82 && code != 74) ||
                          code == 114 || (code >= 160 && code <= 183);
    EXPECT_EQ(virtual_key(static_cast<std::uint8_t>(code)).has_value(), in_table);
    EXPECT_EQ(key_name(static_cast<std::uint8_t>(code)) != "Unidentified", in_table);
  }
}

TEST(Modifiers, DebugTextListsFlagsInBitOrder) {
  EXPECT_EQ(modifiers_debug(modifier::CONTROL | modifier::SHIFT), "Modifiers(CONTROL | SHIFT)");
  EXPECT_EQ(modifiers_debug(modifier::SHIFT | modifier::ALT | modifier::META | modifier::CONTROL),
            "Modifiers(ALT | CONTROL | META | SHIFT)");
  EXPECT_EQ(modifiers_debug(modifier::META), "Modifiers(META)");
  EXPECT_EQ(modifiers_debug(modifier::SUPER), "Modifiers(SUPER)");
  EXPECT_EQ(modifiers_debug(0), "Modifiers()");
}

struct IdCase {
  std::string text;
  std::uint32_t id;
  std::uint32_t mods;
  std::uint32_t flags;
  std::uint16_t virtual_key;
};

TEST(Registration, IdsFlagsAndVirtualKeys) {
  const IdCase cases[] = {
      {"Ctrl+Shift+Space", 0x0208003E, 0x208, 0x4006, 0x20},
      {"Ctrl+Alt+Space", 0x0009003E, 0x9, 0x4003, 0x20},
      {"Win+A", 0x20000013, 0x2000, 0x4008, 0x41},
      {"Space", 0x3E, 0, 0x4000, 0x20},
      {"Win+;", 0x20000030, 0x2000, 0x4008, 0xBA},
      {"Alt+Win+Shift+F24", 0x220100B7, 0x2201, 0x400D, 0x87},
  };
  for (const IdCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<Chord> chord = parse_hotkey(c.text);
    ASSERT_TRUE(chord.has_value());
    const HotKey hotkey = make_hotkey(chord->modifiers, chord->code);
    EXPECT_EQ(hotkey.id, c.id);
    EXPECT_EQ(hotkey.mods, c.mods);
    EXPECT_EQ(hotkey.key, chord->code);
    EXPECT_EQ(register_flags(hotkey.mods), c.flags);
    EXPECT_EQ(register_flags(chord->modifiers), c.flags);
    EXPECT_EQ(virtual_key(hotkey.key), c.virtual_key);
  }
}

TEST(Registration, SameChordWrittenDifferentlyGivesTheSameId) {
  const HotKey a =
      make_hotkey(parse_hotkey("Ctrl+Shift+Space")->modifiers, parse_hotkey("Ctrl+Shift+Space")->code);
  const Result<Chord> other = parse_hotkey("shift+ctrl+space");
  ASSERT_TRUE(other.has_value());
  EXPECT_EQ(make_hotkey(other->modifiers, other->code), a);
}

TEST(Registration, ErrorTextsShowTheHotKey) {
  const HotKey hotkey = make_hotkey(modifier::CONTROL | modifier::SHIFT, key::Space);
  EXPECT_EQ(debug_text(hotkey), "HotKey { mods: Modifiers(CONTROL | SHIFT), key: Space, id: 34078782 }");
  EXPECT_EQ(
      already_registered_text(hotkey),
      "HotKey already registered: HotKey { mods: Modifiers(CONTROL | SHIFT), key: Space, id: 34078782 }");
  EXPECT_EQ(
      unregister_failed_text(hotkey),
      "Failed to unregister hotkey: HotKey { mods: Modifiers(CONTROL | SHIFT), key: Space, id: 34078782 }");
}

TEST(HotkeyError, DisplayTexts) {
  EXPECT_EQ(HotkeyError::already_in_use().display(), "already in use by another application");
  const Result<Chord> parsed = parse_hotkey("Ctrl+Alt");
  ASSERT_FALSE(parsed.has_value());
  EXPECT_EQ(HotkeyError::invalid_chord(parsed.error().plain()).display(),
            "invalid chord (unrecognized key 'Alt' in 'Ctrl+Alt')");
}

TEST(HotkeyError, ActionTexts) {
  EXPECT_EQ(display_text(Action::PickElement), "Pick element");
  EXPECT_EQ(display_text(Action::PickWindow), "Pick window");
  EXPECT_EQ(debug_name(Action::PickElement), "PickElement");
  EXPECT_EQ(debug_name(Action::PickWindow), "PickWindow");
}

TEST(ConflictMessage, OneBulletLinePerFailureInOrder) {
  const HotkeyFailure failures[] = {
      {" Ctrl+Shift+Space", HotkeyError::already_in_use(), Action::PickElement},
      {"Ctrl+Alt", HotkeyError::invalid_chord("unrecognized key 'Alt' in 'Ctrl+Alt'"), Action::PickWindow},
  };
  EXPECT_EQ(conflict_message(failures),
            "Some hotkeys couldn't be registered:\n\n"
            "\u2022 Pick element ( Ctrl+Shift+Space): already in use by another application\n"
            "\u2022 Pick window (Ctrl+Alt): invalid chord (unrecognized key 'Alt' in 'Ctrl+Alt')\n\n"
            "Open Settings from the tray to choose a different chord.");
  EXPECT_EQ(conflict_message(std::span(failures, 1)),
            "Some hotkeys couldn't be registered:\n\n"
            "\u2022 Pick element ( Ctrl+Shift+Space): already in use by another application\n\n"
            "Open Settings from the tray to choose a different chord.");
}

}  // namespace
}  // namespace vantro::hotkey
