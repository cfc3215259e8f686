#include "windows/tray_menu.h"

#include <atomic>

#include "tray/menu_events.h"
#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

// WM_COMMAND carries 16 bits of id; numbers start well above the small ids of dialogs. In a
// fresh process the tray's six items are 1000 to 1005 in the order they are created, which
// the end-to-end scripts use to post a command to the tray window.
UINT next_command() {
  static std::atomic<UINT> next{1000};
  return next.fetch_add(1) & 0xFFFF;
}

}  // namespace

MenuItem::MenuItem(std::string_view text, bool enabled)
    : command_(next_command()), id_(std::to_string(command_)), text_(text), enabled_(enabled) {}

Result<PopupMenu> PopupMenu::create() {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return fail(last_error("CreatePopupMenu"));
  return PopupMenu(menu);
}

Result<void> PopupMenu::append(const MenuItem& item) {
  const std::wstring text = wide(item.text());
  const UINT flags = MF_STRING | (item.enabled() ? MF_ENABLED : MF_GRAYED);
  if (!AppendMenuW(menu_.get(), flags, item.command(), text.c_str())) return fail(last_error("AppendMenuW"));
  entries_.push_back({item.command(), item.id(), item.enabled()});
  return {};
}

Result<void> PopupMenu::append_separator() {
  if (!AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr)) return fail(last_error("AppendMenuW"));
  return {};
}

bool PopupMenu::dispatch_command(UINT command) const noexcept {
  for (const Entry& entry : entries_) {
    if (entry.command != command) continue;
    if (!entry.enabled) return false;
    try {
      tray::send_menu_event({entry.id});
    } catch (...) {
      return false;  // out of memory: the choice is lost, the window procedure goes on
    }
    return true;
  }
  return false;
}

}  // namespace vantro::windows
