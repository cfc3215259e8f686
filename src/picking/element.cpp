#include "picking/element.h"

namespace vantro::picking {

std::string debug_text(ElementId id) {
  return fmt::format("ElementId({})", id.value);
}

std::string_view role_name(Role role) {
  switch (role) {
    case Role::Button:
      return "Button";
    case Role::Link:
      return "Link";
    case Role::TextInput:
      return "TextInput";
    case Role::MenuItem:
      return "MenuItem";
    case Role::Tab:
      return "Tab";
    case Role::Checkbox:
      return "Checkbox";
    case Role::Radio:
      return "Radio";
    case Role::ComboBox:
      return "ComboBox";
    case Role::ListItem:
      return "ListItem";
    case Role::TreeItem:
      return "TreeItem";
    case Role::Other:
      return "Other";
  }
  return "Other";
}

namespace {
std::int32_t wrapping_span(std::int32_t low, std::int32_t high) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low) + 1u);
}
}  // namespace

std::int32_t inclusive_width(const ScreenRect& rect) {
  return wrapping_span(rect.left, rect.right);
}
std::int32_t inclusive_height(const ScreenRect& rect) {
  return wrapping_span(rect.top, rect.bottom);
}

}  // namespace vantro::picking
