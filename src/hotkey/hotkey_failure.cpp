#include "hotkey/hotkey_failure.h"

#include <fmt/format.h>

namespace vantro::hotkey {

std::string HotkeyError::display() const {
  if (kind_ == Kind::AlreadyInUse) return "already in use by another application";
  return fmt::format("invalid chord ({})", message_);
}

std::string conflict_message(std::span<const HotkeyFailure> failures) {
  std::string lines;
  for (const HotkeyFailure& failure : failures) {
    if (!lines.empty()) lines += '\n';
    lines += fmt::format("\u2022 {} ({}): {}", display_text(failure.action), failure.chord,
                         failure.error.display());
  }
  return fmt::format(
      "Some hotkeys couldn't be registered:\n\n{}\n\nOpen Settings from the tray to choose a different "
      "chord.",
      lines);
}

}  // namespace vantro::hotkey
