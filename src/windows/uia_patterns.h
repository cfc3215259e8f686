// The UI Automation control-pattern interfaces that the staged Wine headers only
// forward-declare: Invoke, Toggle, SelectionItem and ExpandCollapse, with the two state
// enumerations they use. Method order and identifiers follow the platform's
// UIAutomationClient interface definitions, so these are the same vtables the system's own
// UI Automation serves. A build with the Windows SDK gets them from its own headers, and every
// declaration below then stands back.
//
// Below them, current_pattern: an element's pattern asked for as its typed interface.
#pragma once

#include <windows.h>

#include <uiautomationclient.h>
#include <wrl/client.h>

#ifndef __IUIAutomationTogglePattern_INTERFACE_DEFINED__
enum ToggleState { ToggleState_Off = 0, ToggleState_On = 1, ToggleState_Indeterminate = 2 };
#endif

#ifndef __IUIAutomationExpandCollapsePattern_INTERFACE_DEFINED__
enum ExpandCollapseState {
  ExpandCollapseState_Collapsed = 0,
  ExpandCollapseState_Expanded = 1,
  ExpandCollapseState_PartiallyExpanded = 2,
  ExpandCollapseState_LeafNode = 3
};
#endif

#ifndef __IUIAutomationInvokePattern_INTERFACE_DEFINED__
#define __IUIAutomationInvokePattern_INTERFACE_DEFINED__
MIDL_INTERFACE("fb377fbe-8ea6-46d5-9c73-6499642d3059")
IUIAutomationInvokePattern : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke() = 0;
};
__CRT_UUID_DECL(IUIAutomationInvokePattern, 0xfb377fbe, 0x8ea6, 0x46d5, 0x9c, 0x73, 0x64, 0x99, 0x64, 0x2d,
                0x30, 0x59)
#endif

#ifndef __IUIAutomationTogglePattern_INTERFACE_DEFINED__
#define __IUIAutomationTogglePattern_INTERFACE_DEFINED__
MIDL_INTERFACE("94cf8058-9b8d-4ab9-8bfd-4cd0a33c8c70")
IUIAutomationTogglePattern : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Toggle() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentToggleState(enum ToggleState * retVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CachedToggleState(enum ToggleState * retVal) = 0;
};
__CRT_UUID_DECL(IUIAutomationTogglePattern, 0x94cf8058, 0x9b8d, 0x4ab9, 0x8b, 0xfd, 0x4c, 0xd0, 0xa3, 0x3c,
                0x8c, 0x70)
#endif

#ifndef __IUIAutomationSelectionItemPattern_INTERFACE_DEFINED__
#define __IUIAutomationSelectionItemPattern_INTERFACE_DEFINED__
MIDL_INTERFACE("a8efa66a-0fda-421a-9194-38021f3578ea")
IUIAutomationSelectionItemPattern : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Select() = 0;
  virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentIsSelected(BOOL * retVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentSelectionContainer(IUIAutomationElement * *retVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CachedIsSelected(BOOL * retVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CachedSelectionContainer(IUIAutomationElement * *retVal) = 0;
};
__CRT_UUID_DECL(IUIAutomationSelectionItemPattern, 0xa8efa66a, 0x0fda, 0x421a, 0x91, 0x94, 0x38, 0x02, 0x1f,
                0x35, 0x78, 0xea)
#endif

#ifndef __IUIAutomationExpandCollapsePattern_INTERFACE_DEFINED__
#define __IUIAutomationExpandCollapsePattern_INTERFACE_DEFINED__
MIDL_INTERFACE("619be086-1f4e-4ee4-bafa-210128738730")
IUIAutomationExpandCollapsePattern : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Expand() = 0;
  virtual HRESULT STDMETHODCALLTYPE Collapse() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentExpandCollapseState(enum ExpandCollapseState * retVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CachedExpandCollapseState(enum ExpandCollapseState * retVal) = 0;
};
__CRT_UUID_DECL(IUIAutomationExpandCollapsePattern, 0x619be086, 0x1f4e, 0x4ee4, 0xba, 0xfa, 0x21, 0x01, 0x28,
                0x73, 0x87, 0x30)
#endif

namespace vantro::windows {

// The element's pattern `id` as its typed interface `Pattern`: GetCurrentPattern, then
// QueryInterface. Null when the call fails, gives no object, or the object refuses the
// interface; the untyped object is released on return.
template <class Pattern>
[[nodiscard]] Microsoft::WRL::ComPtr<Pattern> current_pattern(IUIAutomationElement* element, PATTERNID id) {
  Microsoft::WRL::ComPtr<IUnknown> object;
  if (FAILED(element->GetCurrentPattern(id, object.GetAddressOf())) || !object) return nullptr;
  Microsoft::WRL::ComPtr<Pattern> typed;
  if (FAILED(object.As(&typed))) return nullptr;
  return typed;
}

}  // namespace vantro::windows
