// What the tray menu holds and in which order, independent of how a menu is shown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantro::tray {

enum class TrayItem : std::uint8_t { PickElement, PickWindow, About, Settings, ViewLog, Quit };

struct TrayItemSpec {
  TrayItem item;
  std::string_view text;  // a tab splits the label from the hint in the accelerator column
  bool enabled;
};

// The items in the order they are created. The hints are fixed texts, whatever chords the
// configuration holds.
inline constexpr std::array<TrayItemSpec, 6> kTrayItems{{
    {TrayItem::PickElement, "Pick element\tCtrl+Shift+Space", true},
    {TrayItem::PickWindow, "Pick window\tCtrl+Alt+Space", true},
    {TrayItem::About, "vantro v" VANTRO_VERSION, false},
    {TrayItem::Settings, "Settings...", true},
    {TrayItem::ViewLog, "View Log", true},
    {TrayItem::Quit, "Quit", true},
}};

// An item's spec sits at the index of its enumerator.
static_assert([] {
  for (std::size_t i = 0; i < kTrayItems.size(); ++i)
    if (static_cast<std::size_t>(kTrayItems[i].item) != i) return false;
  return true;
}());

// One line of the menu, top to bottom: an item, or a separator when `item` is empty; the
// context names the step when appending it fails.
struct MenuLine {
  std::optional<TrayItem> item;
  std::string_view failure_context;
};

inline constexpr std::array<MenuLine, 9> kMenuLines{{
    {TrayItem::About, "appending About item"},
    {std::nullopt, "appending separator"},
    {TrayItem::PickElement, "appending Pick element item"},
    {TrayItem::PickWindow, "appending Pick window item"},
    {std::nullopt, "appending separator"},
    {TrayItem::Settings, "appending Settings item"},
    {TrayItem::ViewLog, "appending View Log item"},
    {std::nullopt, "appending separator"},
    {TrayItem::Quit, "appending Quit item"},
}};

// The tooltip, fixed like the hints.
inline constexpr std::string_view kTrayTooltip = "vantro v" VANTRO_VERSION " \u2014 Ctrl+Shift+Space";

}  // namespace vantro::tray
