// Proves the Win32 test harness: a real window under Wine receives a posted message.
#include <windows.h>

#include <gtest/gtest.h>

#include "windows/handle.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr UINT kPing = WM_APP + 7;

LRESULT CALLBACK smoke_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == kPing) {
    *reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) = static_cast<int>(wp);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(Harness, WindowReceivesPostedMessage) {
  WNDCLASSEXW wc{sizeof(wc)};
  wc.lpfnWndProc = smoke_proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantroSmokeTestClass";
  ASSERT_NE(RegisterClassExW(&wc), 0);
  UniqueWindow window(CreateWindowExW(0, wc.lpszClassName, L"smoke", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, wc.hInstance, nullptr));
  ASSERT_TRUE(window);
  int received = 0;
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  ASSERT_TRUE(PostMessageW(window.get(), kPing, 42, 0));
  MSG msg;
  while (received == 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  EXPECT_EQ(received, 42);
  window.reset();
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST(Harness, LastErrorCarriesHresultAndSystemText) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  const Error e = last_error("opening something");
  EXPECT_EQ(e.plain(), "opening something");
  EXPECT_NE(e.root_cause().find("(0x80070002)"), std::string::npos) << e.root_cause();
  EXPECT_GT(e.root_cause().size(), std::string_view(" (0x80070002)").size()) << "system text missing";
}

}  // namespace
}  // namespace vantro::windows
