// Factories of the stand-in's COM objects. Each returns a new object holding one reference,
// which the caller hands on or releases.
#pragma once

#include <windows.h>

#include <uiautomationclient.h>

namespace vantro::test_support::uia_standin {

[[nodiscard]] IUIAutomation* make_automation();
[[nodiscard]] IUIAutomationTreeWalker* make_control_view_walker();
[[nodiscard]] IUIAutomationElement* make_element(HWND window);

// The pattern object of a window, or nullptr when its control type does not offer it.
[[nodiscard]] IUnknown* make_pattern(HWND window, PATTERNID pattern);

}  // namespace vantro::test_support::uia_standin
