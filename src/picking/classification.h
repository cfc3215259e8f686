// Which elements of a window's UI Automation tree get a hint badge, and as what role.
//
// The rules ask an element for facts through ElementProbe, one platform call per question,
// and ask as little as they can: each call is a synchronous round trip into the target
// application.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "picking/element.h"

namespace vantro::picking {

// UI Automation control type ids (UIA_…ControlTypeId); the enumeration hands the rules only
// ids from first to last.
namespace control_type {
inline constexpr std::int32_t Button = 50000;
inline constexpr std::int32_t Calendar = 50001;
inline constexpr std::int32_t CheckBox = 50002;
inline constexpr std::int32_t ComboBox = 50003;
inline constexpr std::int32_t Edit = 50004;
inline constexpr std::int32_t Hyperlink = 50005;
inline constexpr std::int32_t Image = 50006;
inline constexpr std::int32_t ListItem = 50007;
inline constexpr std::int32_t List = 50008;
inline constexpr std::int32_t Menu = 50009;
inline constexpr std::int32_t MenuBar = 50010;
inline constexpr std::int32_t MenuItem = 50011;
inline constexpr std::int32_t ProgressBar = 50012;
inline constexpr std::int32_t RadioButton = 50013;
inline constexpr std::int32_t ScrollBar = 50014;
inline constexpr std::int32_t Slider = 50015;
inline constexpr std::int32_t Spinner = 50016;
inline constexpr std::int32_t StatusBar = 50017;
inline constexpr std::int32_t Tab = 50018;
inline constexpr std::int32_t TabItem = 50019;
inline constexpr std::int32_t Text = 50020;
inline constexpr std::int32_t ToolBar = 50021;
inline constexpr std::int32_t ToolTip = 50022;
inline constexpr std::int32_t Tree = 50023;
inline constexpr std::int32_t TreeItem = 50024;
inline constexpr std::int32_t Custom = 50025;
inline constexpr std::int32_t Group = 50026;
inline constexpr std::int32_t Thumb = 50027;
inline constexpr std::int32_t DataGrid = 50028;
inline constexpr std::int32_t DataItem = 50029;
inline constexpr std::int32_t Document = 50030;
inline constexpr std::int32_t SplitButton = 50031;
inline constexpr std::int32_t Window = 50032;
inline constexpr std::int32_t Pane = 50033;
inline constexpr std::int32_t Header = 50034;
inline constexpr std::int32_t HeaderItem = 50035;
inline constexpr std::int32_t Table = 50036;
inline constexpr std::int32_t TitleBar = 50037;
inline constexpr std::int32_t Separator = 50038;
inline constexpr std::int32_t SemanticZoom = 50039;
inline constexpr std::int32_t AppBar = 50040;

inline constexpr std::int32_t first = Button;
inline constexpr std::int32_t last = AppBar;

[[nodiscard]] constexpr bool is_known(std::int32_t id) {
  return id >= first && id <= last;
}
}  // namespace control_type

// The patterns that make an element actionable, in the order they are tried.
enum class ActionPattern : std::uint8_t { Invoke, Toggle, SelectionItem, ExpandCollapse };

inline constexpr std::array<ActionPattern, 4> kActionPatterns = {ActionPattern::Invoke, ActionPattern::Toggle,
                                                                 ActionPattern::SelectionItem,
                                                                 ActionPattern::ExpandCollapse};

// The UI Automation pattern id (UIA_…PatternId).
[[nodiscard]] constexpr std::int32_t pattern_id(ActionPattern pattern) {
  switch (pattern) {
    case ActionPattern::Invoke:
      return 10000;
    case ActionPattern::Toggle:
      return 10015;
    case ActionPattern::SelectionItem:
      return 10010;
    case ActionPattern::ExpandCollapse:
      return 10005;
  }
  return 0;
}

// The LegacyIAccessible pattern, through which the accessibility role is read.
inline constexpr std::int32_t kLegacyIAccessiblePatternId = 10018;

// The questions the rules ask of one element. Each answer costs the platform call named.
class ElementProbe {
 public:
  virtual ~ElementProbe() = default;
  // get_CurrentBoundingRectangle; nothing when the read fails.
  [[nodiscard]] virtual std::optional<ScreenRect> bounding_rectangle() = 0;
  // GetCurrentPattern with the pattern's id gave an object, and the object yields the
  // pattern's typed interface.
  [[nodiscard]] virtual bool offers_pattern(ActionPattern pattern) = 0;
  // The accessibility (MSAA) role read through the LegacyIAccessible pattern; nothing when
  // the pattern is not offered or the read fails.
  [[nodiscard]] virtual std::optional<std::uint32_t> accessibility_role() = 0;
  // get_CurrentIsKeyboardFocusable; nothing when the read fails.
  [[nodiscard]] virtual std::optional<bool> keyboard_focusable() = 0;
};

// Whether an accessibility role id is one of the interactive ROLE_SYSTEM_… roles (menu
// item, cell, link, list item, outline item, page tab, push, check and radio buttons,
// combo box, drop-down and menu buttons).
[[nodiscard]] bool is_interactive_accessibility_role(std::uint32_t role);

// True when the element offers Invoke, Toggle, SelectionItem or ExpandCollapse; stops at
// the first one offered.
[[nodiscard]] bool supports_action_pattern(ElementProbe& element);
// True when the element's accessibility role is an interactive one.
[[nodiscard]] bool has_interactive_msaa_role(ElementProbe& element);
// True when the element can take the keyboard focus; a failed read is false.
[[nodiscard]] bool is_keyboard_focusable(ElementProbe& element);

// The rule for ordinary windows: the role of an element worth a badge, or nothing.
[[nodiscard]] std::optional<Role> classify_element(ElementProbe& element, std::int32_t control_type_id);
// The rule for browser windows, stricter about size and about generic elements.
[[nodiscard]] std::optional<Role> classify_browser_element(ElementProbe& element,
                                                           std::int32_t control_type_id);

}  // namespace vantro::picking
