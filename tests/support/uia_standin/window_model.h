// What the stand-in reads from a Win32 window: its UI Automation control type, its
// accessibility role, and the failures a test asked for on it.
#pragma once

#include <windows.h>

#include <uiautomationclient.h>

#include <cstdint>

// The platform's UI Automation error codes (declared in a header the build does not include).
#ifndef UIA_E_ELEMENTNOTENABLED
#define UIA_E_ELEMENTNOTENABLED static_cast<HRESULT>(0x80040200)
#endif
#ifndef UIA_E_ELEMENTNOTAVAILABLE
#define UIA_E_ELEMENTNOTAVAILABLE static_cast<HRESULT>(0x80040201)
#endif

namespace vantro::test_support::uia_standin {

// Control type from the window class and button style; a top-level window is a Window and a
// class the stand-in does not know is a Pane.
[[nodiscard]] CONTROLTYPEID control_type_of(HWND window) noexcept;

// The accessibility role (ROLE_SYSTEM_...) of a control type.
[[nodiscard]] DWORD role_of(CONTROLTYPEID type) noexcept;

// Whether a window of that control type offers the pattern.
[[nodiscard]] bool offers_pattern(CONTROLTYPEID type, PATTERNID pattern) noexcept;

// The failure bits set on the window (see failure_injection.h).
[[nodiscard]] bool fails(HWND window, std::uintptr_t failure) noexcept;

// Sends a message to the control's window, bounded in time so that a hung target cannot hold
// the caller. Returns whether the message was handled.
bool send_bounded(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                  DWORD_PTR* result = nullptr) noexcept;

}  // namespace vantro::test_support::uia_standin
