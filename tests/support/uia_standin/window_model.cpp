#include "window_model.h"

#include <oleacc.h>

#include <array>

#include "standin_api.h"

namespace vantro::test_support::uia_standin {
namespace {

constexpr DWORD kSendTimeoutMs = 2000;

bool class_is(const wchar_t* class_name, const wchar_t* expected) noexcept {
  return CompareStringOrdinal(class_name, -1, expected, -1, TRUE) == CSTR_EQUAL;
}

CONTROLTYPEID button_type(HWND window) noexcept {
  switch (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return UIA_CheckBoxControlTypeId;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return UIA_RadioButtonControlTypeId;
    case BS_GROUPBOX:
      return UIA_GroupControlTypeId;
    default:
      return UIA_ButtonControlTypeId;
  }
}

bool is_top_level(HWND window) noexcept {
  return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
}

}  // namespace

CONTROLTYPEID control_type_of(HWND window) noexcept {
  if (is_top_level(window)) return UIA_WindowControlTypeId;
  std::array<wchar_t, 64> class_name{};
  if (GetClassNameW(window, class_name.data(), static_cast<int>(class_name.size())) == 0)
    return UIA_PaneControlTypeId;
  if (class_is(class_name.data(), L"Button")) return button_type(window);
  if (class_is(class_name.data(), L"Edit")) return UIA_EditControlTypeId;
  if (class_is(class_name.data(), L"Static")) return UIA_TextControlTypeId;
  if (class_is(class_name.data(), L"ComboBox")) return UIA_ComboBoxControlTypeId;
  if (class_is(class_name.data(), L"ListBox")) return UIA_ListControlTypeId;
  if (class_is(class_name.data(), L"SysTreeView32")) return UIA_TreeControlTypeId;
  return UIA_PaneControlTypeId;
}

DWORD role_of(CONTROLTYPEID type) noexcept {
  switch (type) {
    case UIA_ButtonControlTypeId:
      return ROLE_SYSTEM_PUSHBUTTON;
    case UIA_CheckBoxControlTypeId:
      return ROLE_SYSTEM_CHECKBUTTON;
    case UIA_RadioButtonControlTypeId:
      return ROLE_SYSTEM_RADIOBUTTON;
    case UIA_GroupControlTypeId:
      return ROLE_SYSTEM_GROUPING;
    case UIA_EditControlTypeId:
      return ROLE_SYSTEM_TEXT;
    case UIA_TextControlTypeId:
      return ROLE_SYSTEM_STATICTEXT;
    case UIA_ComboBoxControlTypeId:
      return ROLE_SYSTEM_COMBOBOX;
    case UIA_ListControlTypeId:
      return ROLE_SYSTEM_LIST;
    case UIA_TreeControlTypeId:
      return ROLE_SYSTEM_OUTLINE;
    case UIA_WindowControlTypeId:
      return ROLE_SYSTEM_WINDOW;
    default:
      return ROLE_SYSTEM_CLIENT;
  }
}

bool offers_pattern(CONTROLTYPEID type, PATTERNID pattern) noexcept {
  switch (pattern) {
    case UIA_InvokePatternId:
      return type == UIA_ButtonControlTypeId;
    case UIA_TogglePatternId:
      return type == UIA_CheckBoxControlTypeId;
    case UIA_SelectionItemPatternId:
      return type == UIA_RadioButtonControlTypeId;
    case UIA_ExpandCollapsePatternId:
      return type == UIA_ComboBoxControlTypeId;
    case UIA_LegacyIAccessiblePatternId:
      return true;
    default:
      return false;
  }
}

bool fails(HWND window, std::uintptr_t failure) noexcept {
  const auto bits = reinterpret_cast<std::uintptr_t>(GetPropW(window, kFailureProperty));
  return (bits & failure) != 0;
}

bool send_bounded(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) noexcept {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             result != nullptr ? result : &ignored) != 0;
}

}  // namespace vantro::test_support::uia_standin
