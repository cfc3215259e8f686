#include "windows/hotkey_conflict.h"

#include "windows/notification.h"

namespace vantro::windows {

void report_hotkey_failures(std::span<const hotkey::HotkeyFailure> failures) {
  if (failures.empty()) return;
  notify(hotkey::kConflictTitle, hotkey::conflict_message(failures), NotificationLevel::Warning);
}

}  // namespace vantro::windows
