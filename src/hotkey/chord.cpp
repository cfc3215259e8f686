#include "hotkey/chord.h"

#include <array>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "core/text.h"

namespace vantro::hotkey {
namespace {

struct ModifierWord {
  std::string_view word;  // lower case
  std::uint32_t flag;
};

constexpr std::array kModifierWords{
    ModifierWord{"alt", modifier::ALT},         ModifierWord{"ctrl", modifier::CONTROL},
    ModifierWord{"control", modifier::CONTROL}, ModifierWord{"shift", modifier::SHIFT},
    ModifierWord{"win", modifier::META},        ModifierWord{"super", modifier::META},
    ModifierWord{"meta", modifier::META},       ModifierWord{"cmd", modifier::META},
};

struct KeyInfo {
  std::uint8_t code;
  std::string_view name;
  std::uint16_t virtual_key;
};

// Every key the grammar can produce, with its name and virtual key. Letters, digits and
// function keys are ranges and are handled in code.
constexpr std::array kKeys{
    KeyInfo{key::Backquote, "Backquote", 0xC0},
    KeyInfo{key::Backslash, "Backslash", 0xDC},
    KeyInfo{key::BracketLeft, "BracketLeft", 0xDB},
    KeyInfo{key::BracketRight, "BracketRight", 0xDD},
    KeyInfo{key::Comma, "Comma", 0xBC},
    KeyInfo{key::Equal, "Equal", 0xBB},
    KeyInfo{key::Minus, "Minus", 0xBD},
    KeyInfo{key::Period, "Period", 0xBE},
    KeyInfo{key::Quote, "Quote", 0xDE},
    KeyInfo{key::Semicolon, "Semicolon", 0xBA},
    KeyInfo{key::Slash, "Slash", 0xBF},
    KeyInfo{key::Backspace, "Backspace", 0x08},
    KeyInfo{key::Enter, "Enter", 0x0D},
    KeyInfo{key::Space, "Space", 0x20},
    KeyInfo{key::Tab, "Tab", 0x09},
    KeyInfo{key::Delete, "Delete", 0x2E},
    KeyInfo{key::End, "End", 0x23},
    KeyInfo{key::Home, "Home", 0x24},
    KeyInfo{key::Insert, "Insert", 0x2D},
    KeyInfo{key::PageDown, "PageDown", 0x22},
    KeyInfo{key::PageUp, "PageUp", 0x21},
    KeyInfo{key::ArrowDown, "ArrowDown", 0x28},
    KeyInfo{key::ArrowLeft, "ArrowLeft", 0x25},
    KeyInfo{key::ArrowRight, "ArrowRight", 0x27},
    KeyInfo{key::ArrowUp, "ArrowUp", 0x26},
    KeyInfo{key::Escape, "Escape", 0x1B},
};

constexpr std::array<std::string_view, 10> kDigitNames{"Digit0", "Digit1", "Digit2", "Digit3", "Digit4",
                                                       "Digit5", "Digit6", "Digit7", "Digit8", "Digit9"};
constexpr std::array<std::string_view, 26> kLetterNames{
    "KeyA", "KeyB", "KeyC", "KeyD", "KeyE", "KeyF", "KeyG", "KeyH", "KeyI", "KeyJ", "KeyK", "KeyL", "KeyM",
    "KeyN", "KeyO", "KeyP", "KeyQ", "KeyR", "KeyS", "KeyT", "KeyU", "KeyV", "KeyW", "KeyX", "KeyY", "KeyZ"};
constexpr std::array<std::string_view, 24> kFunctionNames{
    "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10", "F11", "F12",
    "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};

// Single punctuation characters and the key each one means.
constexpr std::pair<char, std::uint8_t> kPunctuation[] = {
    {'`', key::Backquote}, {'\\', key::Backslash}, {'[', key::BracketLeft}, {']', key::BracketRight},
    {',', key::Comma},     {'=', key::Equal},      {'-', key::Minus},       {'.', key::Period},
    {'\'', key::Quote},    {';', key::Semicolon},  {'/', key::Slash},
};

// Key names, compared upper-cased.
constexpr std::pair<std::string_view, std::uint8_t> kNamedKeys[] = {
    {"UP", key::ArrowUp},
    {"DOWN", key::ArrowDown},
    {"LEFT", key::ArrowLeft},
    {"RIGHT", key::ArrowRight},
    {"TAB", key::Tab},
    {"ESC", key::Escape},
    {"ESCAPE", key::Escape},
    {"DEL", key::Delete},
    {"DELETE", key::Delete},
    {"INS", key::Insert},
    {"INSERT", key::Insert},
    {"HOME", key::Home},
    {"END", key::End},
    {"PGUP", key::PageUp},
    {"PAGEUP", key::PageUp},
    {"PGDN", key::PageDown},
    {"PAGEDOWN", key::PageDown},
    {"SPACE", key::Space},
    {"ENTER", key::Enter},
    {"RETURN", key::Enter},
    {"BACKSPACE", key::Backspace},
    {"COMMA", key::Comma},
    {"DOT", key::Period},
    {"PERIOD", key::Period},
    {"SLASH", key::Slash},
    {"BACKSLASH", key::Backslash},
    {"QUOTE", key::Quote},
    {"APOSTROPHE", key::Quote},
    {"MINUS", key::Minus},
    {"EQUAL", key::Equal},
    {"GRAVE", key::Backquote},
    {"BACKQUOTE", key::Backquote},
    {"SEMICOLON", key::Semicolon},
    {"BRACKETLEFT", key::BracketLeft},
    {"BRACKETRIGHT", key::BracketRight},
};

// "F1" to "F24", without leading zeros.
std::optional<std::uint8_t> function_key(std::string_view upper) {
  if (upper.size() < 2 || upper.size() > 3 || upper[0] != 'F' || upper[1] == '0') return std::nullopt;
  int n = 0;
  for (char c : upper.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 24) return std::nullopt;
  return static_cast<std::uint8_t>(key::F1 + n - 1);
}

std::optional<std::uint8_t> key_code(std::string_view upper) {
  if (upper.size() == 1) {
    const char c = upper[0];
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(key::KeyA + (c - 'A'));
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(key::Digit0 + (c - '0'));
    for (const auto& [character, code] : kPunctuation)
      if (character == c) return code;
    return std::nullopt;
  }
  if (auto code = function_key(upper)) return code;
  for (const auto& [name, code] : kNamedKeys)
    if (name == upper) return code;
  return std::nullopt;
}

}  // namespace

Result<Chord> parse_hotkey(std::string_view text) {
  const std::string_view trimmed = text::trim_white_space(text);
  if (trimmed.empty()) return fail("empty hotkey string");

  std::vector<std::string_view> segments;
  for (std::size_t start = 0;;) {
    const std::size_t plus = trimmed.find('+', start);
    segments.push_back(text::trim_white_space(trimmed.substr(start, plus - start)));
    if (plus == std::string_view::npos) break;
    start = plus + 1;
  }
  for (std::string_view segment : segments)
    if (segment.empty()) return fail(fmt::format("malformed hotkey '{}': empty segment", text));

  Chord chord;
  for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
    const std::string lower = text::ascii_lower(segments[i]);
    const ModifierWord* found = nullptr;
    for (const ModifierWord& word : kModifierWords)
      if (word.word == lower) found = &word;
    if (found == nullptr)
      return fail(Error(fmt::format("unknown modifier '{}'", lower))
                      .context(fmt::format("unrecognized modifier '{}' in '{}'", segments[i], text)));
    chord.modifiers |= found->flag;
  }

  const std::string_view key_segment = segments.back();
  const std::string upper = text::ascii_upper(key_segment);
  const std::optional<std::uint8_t> code = key_code(upper);
  if (!code)
    return fail(Error(fmt::format("unknown key '{}'", upper))
                    .context(fmt::format("unrecognized key '{}' in '{}'", key_segment, text)));
  chord.code = *code;
  return chord;
}

std::string_view key_name(std::uint8_t code) {
  if (code >= key::Digit0 && code < key::Digit0 + 10) return kDigitNames[code - key::Digit0];
  if (code >= key::KeyA && code < key::KeyA + 26) return kLetterNames[code - key::KeyA];
  if (code >= key::F1 && code < key::F1 + 24) return kFunctionNames[code - key::F1];
  for (const KeyInfo& info : kKeys)
    if (info.code == code) return info.name;
  return "Unidentified";
}

std::optional<std::uint16_t> virtual_key(std::uint8_t code) {
  if (code >= key::Digit0 && code < key::Digit0 + 10)
    return static_cast<std::uint16_t>('0' + (code - key::Digit0));
  if (code >= key::KeyA && code < key::KeyA + 26) return static_cast<std::uint16_t>('A' + (code - key::KeyA));
  if (code >= key::F1 && code < key::F1 + 24) return static_cast<std::uint16_t>(0x70 + (code - key::F1));
  for (const KeyInfo& info : kKeys)
    if (info.code == code) return info.virtual_key;
  return std::nullopt;
}

std::string modifiers_debug(std::uint32_t modifiers) {
  static constexpr std::array<std::pair<std::uint32_t, std::string_view>, 5> kNames{{
      {modifier::ALT, "ALT"},
      {modifier::CONTROL, "CONTROL"},
      {modifier::META, "META"},
      {modifier::SHIFT, "SHIFT"},
      {modifier::SUPER, "SUPER"},
  }};
  std::string parts;
  std::uint32_t rest = modifiers;
  for (const auto& [flag, name] : kNames) {
    if ((modifiers & flag) == 0) continue;
    if (!parts.empty()) parts += " | ";
    parts += name;
    rest &= ~flag;
  }
  if (rest != 0) {
    if (!parts.empty()) parts += " | ";
    parts += fmt::format("{:#x}", rest);
  }
  return "Modifiers(" + parts + ")";
}

}  // namespace vantro::hotkey
