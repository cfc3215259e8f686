// What tests and the sample application see of the UI Automation stand-in (uia_standin.dll).
//
// The count of its live COM objects: the DLL exports `uia_standin_live_objects`, a
// LiveObjectsFunction; it reads 0 once every reference a client took has been released.
//
// How a test makes the stand-in's pattern calls fail on one control: a window property on the
// control's own window holding a set of the bits below. The stand-in reads it at every call,
// so a test can set, change or remove it at any time (SetPropW / RemovePropW), also on a
// window of the sample application through that application's "fail=" attribute.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vantro::test_support::uia_standin {

inline constexpr wchar_t kModuleName[] = L"uia_standin.dll";
inline constexpr char kLiveObjectsExport[] = "uia_standin_live_objects";
using LiveObjectsFunction = long(__stdcall*)();

// The live-object count of the stand-in loaded in this process; -1 when it is not loaded.
inline long loaded_live_objects() {
  const HMODULE module = GetModuleHandleW(kModuleName);
  if (module == nullptr) return -1;
  const auto count = reinterpret_cast<LiveObjectsFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, kLiveObjectsExport)));
  return count == nullptr ? -1 : count();
}

inline constexpr wchar_t kFailureProperty[] = L"VantroUiaStandinFailures";

enum Failure : std::uintptr_t {
  kFailInvoke = 1u << 0,         // IUIAutomationInvokePattern::Invoke returns E_FAIL
  kFailToggle = 1u << 1,         // IUIAutomationTogglePattern::Toggle returns E_FAIL
  kFailSelect = 1u << 2,         // IUIAutomationSelectionItemPattern::Select returns E_FAIL
  kFailExpand = 1u << 3,         // IUIAutomationExpandCollapsePattern::Expand returns E_FAIL
  kFailDefaultAction = 1u << 4,  // IUIAutomationLegacyIAccessiblePattern::DoDefaultAction returns E_FAIL
  kNoClickablePoint = 1u << 5,   // GetClickablePoint succeeds but reports no point
  kFailEveryPattern = kFailInvoke | kFailToggle | kFailSelect | kFailExpand | kFailDefaultAction,
};

}  // namespace vantro::test_support::uia_standin
