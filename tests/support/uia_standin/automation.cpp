// The automation object and its control-view walker over the Win32 window tree.
#include "com_object.h"
#include "interface_stubs.h"
#include "objects.h"
#include "window_model.h"

namespace vantro::test_support::uia_standin {
namespace {

// The window an element of any implementation stands for, or nullptr.
HWND window_of(IUIAutomationElement* element) {
  UIA_HWND window = nullptr;
  if (element == nullptr || FAILED(element->get_CurrentNativeWindowHandle(&window))) return nullptr;
  return static_cast<HWND>(window);
}

// Child windows in Z order, visible or hidden; a missing relative is S_OK with no element.
class ControlViewWalker final : public ComObject<UIAutomationTreeWalkerStub, IUIAutomationTreeWalker> {
 public:
  HRESULT STDMETHODCALLTYPE GetFirstChildElement(IUIAutomationElement* element,
                                                 IUIAutomationElement** out) override {
    return relative(element, GW_CHILD, out);
  }
  HRESULT STDMETHODCALLTYPE GetNextSiblingElement(IUIAutomationElement* element,
                                                  IUIAutomationElement** out) override {
    return relative(element, GW_HWNDNEXT, out);
  }

 private:
  static HRESULT relative(IUIAutomationElement* element, UINT which, IUIAutomationElement** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (element == nullptr) return E_INVALIDARG;
    HWND window = window_of(element);
    if (window == nullptr || !IsWindow(window)) return UIA_E_ELEMENTNOTAVAILABLE;
    HWND found = GetWindow(window, which);
    if (found != nullptr) *out = make_element(found);
    return S_OK;
  }
};

class Automation final : public ComObject<UIAutomationStub, IUIAutomation> {
 public:
  HRESULT STDMETHODCALLTYPE ElementFromHandle(UIA_HWND window, IUIAutomationElement** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsWindow(static_cast<HWND>(window))) return UIA_E_ELEMENTNOTAVAILABLE;
    *out = make_element(static_cast<HWND>(window));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ControlViewWalker(IUIAutomationTreeWalker** out) override {
    if (out == nullptr) return E_POINTER;
    *out = make_control_view_walker();
    return S_OK;
  }
};

}  // namespace

IUIAutomation* make_automation() {
  return new Automation();
}
IUIAutomationTreeWalker* make_control_view_walker() {
  return new ControlViewWalker();
}

}  // namespace vantro::test_support::uia_standin
