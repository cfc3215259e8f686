// A thin popup-menu layer: text items with ids and an enabled flag, separators, and the
// turning of a chosen item's WM_COMMAND into an event on the menu event channel.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "windows/handle.h"

namespace vantro::windows {

// A text item. Its command number (the WM_COMMAND id) is unique in the process; its menu id
// is that number as text.
class MenuItem {
 public:
  MenuItem(std::string_view text, bool enabled);

  [[nodiscard]] const std::string& id() const { return id_; }
  [[nodiscard]] UINT command() const { return command_; }
  [[nodiscard]] const std::string& text() const { return text_; }
  [[nodiscard]] bool enabled() const { return enabled_; }

 private:
  UINT command_;
  std::string id_;
  std::string text_;
  bool enabled_;
};

class PopupMenu {
 public:
  [[nodiscard]] static Result<PopupMenu> create();

  // Appends a copy of the item's text, id and enabled flag.
  [[nodiscard]] Result<void> append(const MenuItem& item);
  [[nodiscard]] Result<void> append_separator();

  // For a WM_COMMAND id: sends the menu event of the enabled item of this menu with that
  // command number and returns true; a disabled or unknown one sends nothing.
  bool dispatch_command(UINT command) const noexcept;

  [[nodiscard]] HMENU handle() const { return menu_.get(); }

 private:
  struct Entry {
    UINT command;
    std::string id;
    bool enabled;
  };
  explicit PopupMenu(HMENU menu) : menu_(menu) {}

  UniqueMenu menu_;
  std::vector<Entry> entries_;
};

}  // namespace vantro::windows
