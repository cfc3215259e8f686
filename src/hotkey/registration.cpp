#include "hotkey/registration.h"

#include <fmt/format.h>

namespace vantro::hotkey {

HotKey make_hotkey(std::uint32_t modifiers, std::uint8_t code) {
  std::uint32_t mods = modifiers;
  if ((mods & modifier::META) != 0) {
    mods &= ~(modifier::META | modifier::SUPER);
    mods |= modifier::SUPER;
  }
  return HotKey{mods, code, (mods << 16) | code};
}

std::uint32_t register_flags(std::uint32_t modifiers) {
  std::uint32_t flags = win_mod::NOREPEAT;
  if ((modifiers & modifier::ALT) != 0) flags |= win_mod::ALT;
  if ((modifiers & modifier::CONTROL) != 0) flags |= win_mod::CONTROL;
  if ((modifiers & modifier::SHIFT) != 0) flags |= win_mod::SHIFT;
  if ((modifiers & (modifier::META | modifier::SUPER)) != 0) flags |= win_mod::WIN;
  return flags;
}

std::string debug_text(const HotKey& hotkey) {
  return fmt::format("HotKey {{ mods: {}, key: {}, id: {} }}", modifiers_debug(hotkey.mods),
                     key_name(hotkey.key), hotkey.id);
}

std::string already_registered_text(const HotKey& hotkey) {
  return "HotKey already registered: " + debug_text(hotkey);
}

std::string unregister_failed_text(const HotKey& hotkey) {
  return "Failed to unregister hotkey: " + debug_text(hotkey);
}

}  // namespace vantro::hotkey
