#include "picking/classification.h"

namespace vantro::picking {
namespace {

constexpr std::int32_t kMinimumSide = 10;
constexpr std::int32_t kLargeSide = 16;

// The control types the ordinary rule takes as they are, without asking anything more.
std::optional<Role> ordinary_mapped_role(std::int32_t id) {
  namespace ct = control_type;
  switch (id) {
    case ct::Button:
      return Role::Button;
    case ct::CheckBox:
      return Role::Checkbox;
    case ct::ComboBox:
      return Role::ComboBox;
    case ct::Edit:
      return Role::TextInput;
    case ct::Hyperlink:
      return Role::Link;
    case ct::Image:
      return Role::Button;
    case ct::ListItem:
      return Role::ListItem;
    case ct::MenuItem:
      return Role::MenuItem;
    case ct::RadioButton:
      return Role::Radio;
    case ct::TabItem:
      return Role::Tab;
    case ct::TreeItem:
      return Role::TreeItem;
    case ct::DataItem:
      return Role::ListItem;
    case ct::SplitButton:
      return Role::Button;
    default:
      return std::nullopt;
  }
}

// The browser rule's control types that need nothing beyond the minimum size.
std::optional<Role> browser_mapped_role(std::int32_t id) {
  namespace ct = control_type;
  switch (id) {
    case ct::Button:
    case ct::SplitButton:
      return Role::Button;
    case ct::Hyperlink:
      return Role::Link;
    case ct::Edit:
      return Role::TextInput;
    case ct::CheckBox:
      return Role::Checkbox;
    case ct::ComboBox:
      return Role::ComboBox;
    case ct::RadioButton:
      return Role::Radio;
    case ct::MenuItem:
      return Role::MenuItem;
    case ct::TabItem:
      return Role::Tab;
    case ct::ListItem:
    case ct::TreeItem:
    case ct::DataItem:
      return Role::ListItem;
    default:
      return std::nullopt;
  }
}

// Generic containers and content, which a page often makes clickable.
std::optional<Role> browser_generic_role(std::int32_t id) {
  namespace ct = control_type;
  switch (id) {
    case ct::Image:
      return Role::Button;
    case ct::Text:
    case ct::Custom:
    case ct::Group:
    case ct::Document:
    case ct::Pane:
      return Role::Other;
    default:
      return std::nullopt;
  }
}

bool at_least(const ScreenRect& rect, std::int32_t side) {
  return inclusive_width(rect) >= side && inclusive_height(rect) >= side;
}

}  // namespace

bool is_interactive_accessibility_role(std::uint32_t role) {
  if (role >= 58) return false;
  switch (role) {
    case 12:  // ROLE_SYSTEM_MENUITEM
    case 29:  // ROLE_SYSTEM_CELL
    case 30:  // ROLE_SYSTEM_LINK
    case 34:  // ROLE_SYSTEM_LISTITEM
    case 36:  // ROLE_SYSTEM_OUTLINEITEM
    case 37:  // ROLE_SYSTEM_PAGETAB
    case 43:  // ROLE_SYSTEM_PUSHBUTTON
    case 44:  // ROLE_SYSTEM_CHECKBUTTON
    case 45:  // ROLE_SYSTEM_RADIOBUTTON
    case 46:  // ROLE_SYSTEM_COMBOBOX
    case 56:  // ROLE_SYSTEM_BUTTONDROPDOWN
    case 57:  // ROLE_SYSTEM_BUTTONMENU
      return true;
    default:
      return false;
  }
}

bool supports_action_pattern(ElementProbe& element) {
  for (const ActionPattern pattern : kActionPatterns)
    if (element.offers_pattern(pattern)) return true;
  return false;
}

bool has_interactive_msaa_role(ElementProbe& element) {
  const std::optional<std::uint32_t> role = element.accessibility_role();
  return role && is_interactive_accessibility_role(*role);
}

bool is_keyboard_focusable(ElementProbe& element) {
  return element.keyboard_focusable().value_or(false);
}

std::optional<Role> classify_element(ElementProbe& element, std::int32_t control_type_id) {
  if (const auto role = ordinary_mapped_role(control_type_id)) return role;
  if (!supports_action_pattern(element)) return std::nullopt;
  const std::optional<ScreenRect> rect = element.bounding_rectangle();
  if (!rect) return std::nullopt;
  if (inclusive_width(*rect) < kMinimumSide || inclusive_height(*rect) < kMinimumSide) return std::nullopt;
  return Role::Other;
}

std::optional<Role> classify_browser_element(ElementProbe& element, std::int32_t control_type_id) {
  const std::optional<ScreenRect> rect = element.bounding_rectangle();
  if (!rect) return std::nullopt;
  if (inclusive_height(*rect) < kMinimumSide || inclusive_width(*rect) < kMinimumSide) return std::nullopt;
  const bool large = at_least(*rect, kLargeSide);

  if (const auto role = browser_mapped_role(control_type_id)) return role;

  if (const auto role = browser_generic_role(control_type_id)) {
    const bool interactive = supports_action_pattern(element) || has_interactive_msaa_role(element) ||
                             is_keyboard_focusable(element);
    if (!interactive || !large) return std::nullopt;
    return role;
  }

  // Every remaining type: dropped on size before anything is asked.
  if (!large) return std::nullopt;
  if (has_interactive_msaa_role(element) || is_keyboard_focusable(element)) return Role::Button;
  return std::nullopt;
}

}  // namespace vantro::picking
