// An element of the control view: one Win32 window, read afresh at every call.
#include <windows.h>

#include <oleauto.h>

#include <string>

#include "com_object.h"
#include "interface_stubs.h"
#include "objects.h"
#include "standin_api.h"
#include "window_model.h"

namespace vantro::test_support::uia_standin {
namespace {

class WindowElement final : public ComObject<UIAutomationElementStub, IUIAutomationElement> {
 public:
  explicit WindowElement(HWND window) : window_(window) {}

  HRESULT STDMETHODCALLTYPE get_CurrentNativeWindowHandle(UIA_HWND* out) override {
    if (out == nullptr) return E_POINTER;
    *out = window_;
    return IsWindow(window_) ? S_OK : UIA_E_ELEMENTNOTAVAILABLE;
  }

  HRESULT STDMETHODCALLTYPE get_CurrentControlType(CONTROLTYPEID* out) override {
    if (out == nullptr) return E_POINTER;
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = control_type_of(window_);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_CurrentName(BSTR* out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    // WM_GETTEXT rather than GetWindowTextW, which does not ask a window of another process
    // and so misses the text that controls such as edits keep themselves.
    DWORD_PTR length = 0;
    if (!send_bounded(window_, WM_GETTEXTLENGTH, 0, 0, &length)) return UIA_E_ELEMENTNOTAVAILABLE;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!send_bounded(window_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied))
      return UIA_E_ELEMENTNOTAVAILABLE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(copied < text.size() ? copied : length));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_CurrentIsEnabled(BOOL* out) override {
    return read_flag(out, [this] { return IsWindowEnabled(window_) != FALSE; });
  }

  HRESULT STDMETHODCALLTYPE get_CurrentIsOffscreen(BOOL* out) override {
    return read_flag(out, [this] { return IsWindowVisible(window_) == FALSE; });
  }

  HRESULT STDMETHODCALLTYPE get_CurrentIsKeyboardFocusable(BOOL* out) override {
    return read_flag(out, [this] { return (GetWindowLongPtrW(window_, GWL_STYLE) & WS_TABSTOP) != 0; });
  }

  // The window rectangle in screen pixels; a hidden window has an empty one.
  HRESULT STDMETHODCALLTYPE get_CurrentBoundingRectangle(RECT* out) override {
    if (out == nullptr) return E_POINTER;
    *out = RECT{};
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    if (IsWindowVisible(window_) && !GetWindowRect(window_, out)) return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;
  }

  // The centre of the window rectangle; a hidden window has no clickable point.
  HRESULT STDMETHODCALLTYPE GetClickablePoint(POINT* point, BOOL* got_point) override {
    if (point == nullptr || got_point == nullptr) return E_POINTER;
    *point = POINT{};
    *got_point = FALSE;
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    RECT rect{};
    if (!IsWindowVisible(window_) || fails(window_, kNoClickablePoint) || !GetWindowRect(window_, &rect))
      return S_OK;
    *point = POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    *got_point = TRUE;
    return S_OK;
  }

  // A missing pattern is S_OK with no object, as the platform answers.
  HRESULT STDMETHODCALLTYPE GetCurrentPattern(PATTERNID pattern, IUnknown** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = make_pattern(window_, pattern);
    return S_OK;
  }

 private:
  template <class Read>
  HRESULT read_flag(BOOL* out, Read read) {
    if (out == nullptr) return E_POINTER;
    *out = FALSE;
    if (!IsWindow(window_)) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = read() ? TRUE : FALSE;
    return S_OK;
  }

  HWND window_;
};

}  // namespace

IUIAutomationElement* make_element(HWND window) {
  return new WindowElement(window);
}

}  // namespace vantro::test_support::uia_standin
