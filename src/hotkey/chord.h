// Chord texts such as "Ctrl+Shift+Space": the grammar, the key table and what the
// registration of a chord hands to Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace vantro::hotkey {

// Modifier flags of a chord, OR-ed together.
namespace modifier {
inline constexpr std::uint32_t ALT = 0x1;
inline constexpr std::uint32_t CONTROL = 0x8;
inline constexpr std::uint32_t META = 0x40;
inline constexpr std::uint32_t SHIFT = 0x200;
// Set only by the registration, in place of META.
inline constexpr std::uint32_t SUPER = 0x2000;
}  // namespace modifier

// Key codes (the KeyboardEvent code values in a fixed numbering) that the grammar produces.
namespace key {
inline constexpr std::uint8_t Backquote = 0;
inline constexpr std::uint8_t Backslash = 1;
inline constexpr std::uint8_t BracketLeft = 2;
inline constexpr std::uint8_t BracketRight = 3;
inline constexpr std::uint8_t Comma = 4;
inline constexpr std::uint8_t Digit0 = 5;  // to Digit9 = 14
inline constexpr std::uint8_t Equal = 15;
inline constexpr std::uint8_t KeyA = 19;  // to KeyZ = 44
inline constexpr std::uint8_t Minus = 45;
inline constexpr std::uint8_t Period = 46;
inline constexpr std::uint8_t Quote = 47;
inline constexpr std::uint8_t Semicolon = 48;
inline constexpr std::uint8_t Slash = 49;
inline constexpr std::uint8_t Backspace = 52;
inline constexpr std::uint8_t Enter = 57;
inline constexpr std::uint8_t Space = 62;
inline constexpr std::uint8_t Tab = 63;
inline constexpr std::uint8_t Delete = 72;
inline constexpr std::uint8_t End = 73;
inline constexpr std::uint8_t Home = 75;
inline constexpr std::uint8_t Insert = 76;
inline constexpr std::uint8_t PageDown = 77;
inline constexpr std::uint8_t PageUp = 78;
inline constexpr std::uint8_t ArrowDown = 79;
inline constexpr std::uint8_t ArrowLeft = 80;
inline constexpr std::uint8_t ArrowRight = 81;
inline constexpr std::uint8_t ArrowUp = 82;
inline constexpr std::uint8_t Escape = 114;
inline constexpr std::uint8_t F1 = 160;  // to F24 = 183
}  // namespace key

struct Chord {
  std::uint32_t modifiers = 0;
  std::uint8_t code = 0;
  friend bool operator==(const Chord&, const Chord&) = default;
};

// Parses a chord text as configured or typed (untrimmed). Nothing is logged.
[[nodiscard]] Result<Chord> parse_hotkey(std::string_view text);

// The name of a key code ("Space", "KeyA", "F12"); "Unidentified" for a code the grammar
// never produces.
[[nodiscard]] std::string_view key_name(std::uint8_t code);

// The Windows virtual key of a key code; none for a code the grammar never produces.
[[nodiscard]] std::optional<std::uint16_t> virtual_key(std::uint8_t code);

// The debug text of a modifier set: "Modifiers(CONTROL | SHIFT)", flags in bit order;
// unnamed bits in hexadecimal, "Modifiers()" for the empty set.
[[nodiscard]] std::string modifiers_debug(std::uint32_t modifiers);

}  // namespace vantro::hotkey
