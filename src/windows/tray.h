// The notification-area icon with its popup menu, and the drain of chosen items into tray
// commands for the main loop.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "core/actions.h"
#include "core/error.h"
#include "tray/tray_commands.h"
#include "windows/handle.h"
#include "windows/tray_menu.h"

namespace vantro::windows {

// The callback message of the icon; its lParam is the mouse message.
inline constexpr UINT kTrayCallbackMessage = 6002;
// The icon's number among the icons of its window.
inline constexpr UINT kTrayIconId = 1;

class TrayIcon;

class Tray {
 public:
  Tray(std::vector<MenuItem> items, std::unique_ptr<PopupMenu> menu, std::unique_ptr<TrayIcon> icon,
       tray::TrayMenuIds ids);
  Tray(Tray&&) noexcept;
  Tray& operator=(Tray&&) noexcept;
  // Removes the icon, destroys its window, then frees the menu.
  ~Tray();

  // The commands of the items chosen since the last call, in the order chosen; never blocks.
  [[nodiscard]] std::vector<TrayCommand> drain_commands();

  // The hidden window that owns the icon and the menu.
  [[nodiscard]] HWND window() const;
  [[nodiscard]] HMENU menu() const;

 private:
  // Declared in the order of building, so that the icon goes first.
  std::vector<MenuItem> items_;
  std::unique_ptr<PopupMenu> menu_;
  std::unique_ptr<TrayIcon> icon_;
  tray::TrayMenuIds ids_;
};

// Builds the menu and the icon and puts the icon into the notification area. Call it on the
// thread that runs the message loop: the icon's window belongs to the calling thread.
[[nodiscard]] Result<Tray> build_tray();

// The icon drawn in code, as a Windows icon.
[[nodiscard]] Result<UniqueIcon> tray_icon_image();

}  // namespace vantro::windows
