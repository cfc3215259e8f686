// What registering a chord with Windows amounts to: the registered value with its id, the
// RegisterHotKey flags, and the texts of the registration's errors.
#pragma once

#include <cstdint>
#include <string>

#include "hotkey/chord.h"

namespace vantro::hotkey {

// RegisterHotKey's modifier flags (the values of MOD_ALT ... MOD_NOREPEAT).
namespace win_mod {
inline constexpr std::uint32_t ALT = 0x0001;
inline constexpr std::uint32_t CONTROL = 0x0002;
inline constexpr std::uint32_t SHIFT = 0x0004;
inline constexpr std::uint32_t WIN = 0x0008;
inline constexpr std::uint32_t NOREPEAT = 0x4000;
}  // namespace win_mod

// One registered chord. `mods` has META turned into SUPER; `id` is what WM_HOTKEY carries.
struct HotKey {
  std::uint32_t mods = 0;
  std::uint8_t key = 0;
  std::uint32_t id = 0;
  friend bool operator==(const HotKey&, const HotKey&) = default;
};

// The registered value of a chord: META becomes SUPER, id = (mods << 16) | key.
[[nodiscard]] HotKey make_hotkey(std::uint32_t modifiers, std::uint8_t code);

// The RegisterHotKey flags of a modifier set, MOD_NOREPEAT always included.
[[nodiscard]] std::uint32_t register_flags(std::uint32_t modifiers);

// "HotKey { mods: Modifiers(CONTROL | SHIFT), key: Space, id: 34078782 }".
[[nodiscard]] std::string debug_text(const HotKey& hotkey);

// The texts of a failed registration and of a failed unregistration.
[[nodiscard]] std::string already_registered_text(const HotKey& hotkey);
[[nodiscard]] std::string unregister_failed_text(const HotKey& hotkey);

}  // namespace vantro::hotkey
