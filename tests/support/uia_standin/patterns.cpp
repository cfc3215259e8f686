// Control patterns of the standard controls. Each call acts on the window as the platform's
// own providers for these classes do, unless the window's failure property asks it to fail.
#include <windows.h>

#include <oleacc.h>

#include "com_object.h"
#include "interface_stubs.h"
#include "objects.h"
#include "standin_api.h"
#include "window_model.h"
#include "windows/uia_patterns.h"

namespace vantro::test_support::uia_standin {
namespace {

// The common checks before a pattern acts: the window exists, is enabled, and the call was
// not made to fail.
HRESULT may_act(HWND window, std::uintptr_t failure) {
  if (!IsWindow(window)) return UIA_E_ELEMENTNOTAVAILABLE;
  if (fails(window, failure)) return E_FAIL;
  if (!IsWindowEnabled(window)) return UIA_E_ELEMENTNOTENABLED;
  return S_OK;
}

// A click the caller waits for (the control's state has changed when it returns).
HRESULT click_now(HWND window) {
  return send_bounded(window, BM_CLICK, 0, 0) ? S_OK : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
}

// A click the caller does not wait for, as the platform's Invoke: whatever the click opens
// (a modal box, say) cannot block the client.
HRESULT click_later(HWND window) {
  return PostMessageW(window, BM_CLICK, 0, 0) ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

template <class Interface>
class Pattern : public ComObject<Interface, Interface> {
 public:
  explicit Pattern(HWND window) : window_(window) {}

 protected:
  HWND window_;
};

class InvokePattern final : public Pattern<IUIAutomationInvokePattern> {
 public:
  using Pattern::Pattern;
  HRESULT STDMETHODCALLTYPE Invoke() override {
    const HRESULT hr = may_act(window_, kFailInvoke);
    return FAILED(hr) ? hr : click_later(window_);
  }
};

class TogglePattern final : public Pattern<IUIAutomationTogglePattern> {
 public:
  using Pattern::Pattern;
  HRESULT STDMETHODCALLTYPE Toggle() override {
    const HRESULT hr = may_act(window_, kFailToggle);
    return FAILED(hr) ? hr : click_now(window_);
  }
  HRESULT STDMETHODCALLTYPE get_CurrentToggleState(enum ToggleState* out) override {
    if (out == nullptr) return E_POINTER;
    DWORD_PTR check = 0;
    if (!send_bounded(window_, BM_GETCHECK, 0, 0, &check)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = check == BST_CHECKED         ? ToggleState_On
           : check == BST_INDETERMINATE ? ToggleState_Indeterminate
                                        : ToggleState_Off;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CachedToggleState(enum ToggleState*) override { return E_NOTIMPL; }
};

class SelectionItemPattern final : public Pattern<IUIAutomationSelectionItemPattern> {
 public:
  using Pattern::Pattern;
  HRESULT STDMETHODCALLTYPE Select() override {
    const HRESULT hr = may_act(window_, kFailSelect);
    return FAILED(hr) ? hr : click_now(window_);
  }
  HRESULT STDMETHODCALLTYPE AddToSelection() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_CurrentIsSelected(BOOL* out) override {
    if (out == nullptr) return E_POINTER;
    DWORD_PTR check = 0;
    if (!send_bounded(window_, BM_GETCHECK, 0, 0, &check)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = check == BST_CHECKED ? TRUE : FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CurrentSelectionContainer(IUIAutomationElement**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_CachedIsSelected(BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_CachedSelectionContainer(IUIAutomationElement**) override {
    return E_NOTIMPL;
  }
};

class ExpandCollapsePattern final : public Pattern<IUIAutomationExpandCollapsePattern> {
 public:
  using Pattern::Pattern;
  HRESULT STDMETHODCALLTYPE Expand() override {
    const HRESULT hr = may_act(window_, kFailExpand);
    return FAILED(hr) ? hr : show_drop_down(TRUE);
  }
  HRESULT STDMETHODCALLTYPE Collapse() override {
    const HRESULT hr = may_act(window_, 0);
    return FAILED(hr) ? hr : show_drop_down(FALSE);
  }
  HRESULT STDMETHODCALLTYPE get_CurrentExpandCollapseState(enum ExpandCollapseState* out) override {
    if (out == nullptr) return E_POINTER;
    DWORD_PTR dropped = 0;
    if (!send_bounded(window_, CB_GETDROPPEDSTATE, 0, 0, &dropped)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = dropped != 0 ? ExpandCollapseState_Expanded : ExpandCollapseState_Collapsed;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CachedExpandCollapseState(enum ExpandCollapseState*) override {
    return E_NOTIMPL;
  }

 private:
  HRESULT show_drop_down(BOOL show) {
    return send_bounded(window_, CB_SHOWDROPDOWN, show, 0) ? S_OK : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
  }
};

class LegacyIAccessiblePattern final
    : public ComObject<UIAutomationLegacyIAccessiblePatternStub, IUIAutomationLegacyIAccessiblePattern> {
 public:
  explicit LegacyIAccessiblePattern(HWND window) : window_(window) {}

  HRESULT STDMETHODCALLTYPE get_CurrentRole(DWORD* out) override {
    if (out == nullptr) return E_POINTER;
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = role_of(control_type_of(window_));
    return S_OK;
  }

  // The default action of the control's accessibility object: a click for the buttons, the
  // drop-down for a combo box; the other controls have none.
  HRESULT STDMETHODCALLTYPE DoDefaultAction() override {
    const HRESULT hr = may_act(window_, kFailDefaultAction);
    if (FAILED(hr)) return hr;
    switch (control_type_of(window_)) {
      case UIA_ButtonControlTypeId:
        return click_later(window_);
      case UIA_CheckBoxControlTypeId:
      case UIA_RadioButtonControlTypeId:
        return click_now(window_);
      case UIA_ComboBoxControlTypeId: {
        DWORD_PTR dropped = 0;
        if (!send_bounded(window_, CB_GETDROPPEDSTATE, 0, 0, &dropped))
          return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        return send_bounded(window_, CB_SHOWDROPDOWN, dropped == 0, 0) ? S_OK
                                                                       : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
      }
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  HWND window_;
};

}  // namespace

IUnknown* make_pattern(HWND window, PATTERNID pattern) {
  if (!offers_pattern(control_type_of(window), pattern)) return nullptr;
  switch (pattern) {
    case UIA_InvokePatternId:
      return new InvokePattern(window);
    case UIA_TogglePatternId:
      return new TogglePattern(window);
    case UIA_SelectionItemPatternId:
      return new SelectionItemPattern(window);
    case UIA_ExpandCollapsePatternId:
      return new ExpandCollapsePattern(window);
    case UIA_LegacyIAccessiblePatternId:
      return new LegacyIAccessiblePattern(window);
    default:
      return nullptr;
  }
}

}  // namespace vantro::test_support::uia_standin
