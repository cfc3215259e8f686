// The single-instance mutex and the close-request window, with real calls under Wine.
#include "windows/ipc.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include "popup_menu_window.h"
#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/test_window_class.h"

namespace vantro::windows {
namespace {

// Pumps the thread's messages until WM_QUIT or the time-out; true when WM_QUIT came.
bool pump_until_quit(DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < timeout_ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return true;
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return false;
}

#define HOLD_INSTANCE_LOCK()                 \
  test_support::InstanceLock instance_lock_; \
  ASSERT_TRUE(instance_lock_.held()) << "instance lock not acquired in time"

bool quit_is_queued() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

TEST(SingleInstance, SecondAcquisitionFindsTheMutexUntilItIsClosed) {
  HOLD_INSTANCE_LOCK();
  auto first = acquire_single_instance();
  ASSERT_TRUE(first) << first.error().debug();
  ASSERT_TRUE(first->acquired());
  EXPECT_TRUE(std::get<SingleInstance::Acquired>(first->state).mutex);

  auto second = acquire_single_instance();
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->acquired());

  std::get<SingleInstance::Acquired>(first->state).mutex.reset();
  auto third = acquire_single_instance();
  ASSERT_TRUE(third);
  EXPECT_TRUE(third->acquired()) << "closing the handle releases the mutex";
}

TEST(IpcWindow, IsAnInvisibleTopLevelWindow) {
  HOLD_INSTANCE_LOCK();
  test_support::LogCapture capture;
  auto window = create_ipc_window();
  ASSERT_TRUE(window) << window.error().debug();
  const HWND hwnd = window->get();
  EXPECT_EQ(GetAncestor(hwnd, GA_PARENT), GetDesktopWindow()) << "must not be a message-only window";
  EXPECT_EQ(GetParent(hwnd), nullptr);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  // The size asked for is 0 by 0; the window manager raises a captioned top-level window to
  // its minimum tracking size, which is why only visibility is checked.
  wchar_t title[32]{};
  GetWindowTextW(hwnd, title, 32);
  EXPECT_STREQ(title, L"Vantro IPC");
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);

  const auto* created = capture.find("IPC window created");
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->level, log::Level::Debug);
  EXPECT_EQ(created->target, "vantro::windows::ipc");
  ASSERT_NE(created->field("hwnd"), nullptr);
  EXPECT_EQ(*created->field("hwnd"), fmt::format("HWND(0x{:x})", reinterpret_cast<std::uintptr_t>(hwnd)));
}

TEST(IpcWindow, SentCloseLogsAndQuitsWithoutDestroying) {
  HOLD_INSTANCE_LOCK();
  auto window = create_ipc_window();
  ASSERT_TRUE(window);
  test_support::LogCapture capture;
  EXPECT_EQ(SendMessageW(window->get(), WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(window->get()));
  EXPECT_TRUE(quit_is_queued());
  const auto* closed = capture.find("IPC: WM_CLOSE received \u2014 shutting down");
  ASSERT_NE(closed, nullptr);
  EXPECT_EQ(closed->level, log::Level::Info);
  EXPECT_TRUE(closed->fields.empty());
}

TEST(IpcWindow, DestroyingPostsNoQuit) {
  HOLD_INSTANCE_LOCK();
  auto window = create_ipc_window();
  ASSERT_TRUE(window);
  window->reset();
  EXPECT_FALSE(quit_is_queued());
}

TEST(SignalRunningInstance, PostsCloseToTheWindow) {
  HOLD_INSTANCE_LOCK();
  auto window = create_ipc_window();
  ASSERT_TRUE(window);
  auto signalled = signal_running_instance();
  ASSERT_TRUE(signalled) << signalled.error().debug();
  EXPECT_TRUE(*signalled);
  EXPECT_TRUE(pump_until_quit(5000)) << "WM_CLOSE reached the procedure, which posted WM_QUIT";
}

// The timer that watches a popup menu of this thread: once it is open, a close request is
// posted, as "--close" does; a menu still open after about 3 s is ended by the timer itself.
struct MenuWatch {
  HWND close_request = nullptr;
  bool posted = false;
  bool gave_up = false;
  int ticks = 0;
};
MenuWatch* g_menu_watch = nullptr;

void CALLBACK watch_menu(HWND, UINT, UINT_PTR, DWORD) {
  MenuWatch& watch = *g_menu_watch;
  if (!watch.posted && test_support::open_popup_menu(GetCurrentThreadId()) != nullptr) {
    watch.posted = PostMessageW(watch.close_request, WM_CLOSE, 0, 0) != FALSE;
  } else if (++watch.ticks > 150 && !watch.gave_up) {
    watch.gave_up = true;
    EndMenu();
  }
}

TEST(IpcWindow, CloseWhileAPopupMenuIsOpenEndsTheMenuAndLeavesTheQuit) {
  HOLD_INSTANCE_LOCK();
  test_support::ForegroundLock foreground_lock;
  ASSERT_TRUE(foreground_lock.held()) << "foreground lock not acquired in time";
  auto window = create_ipc_window();
  ASSERT_TRUE(window);
  // A hidden owner, as the tray's window is.
  UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"menu owner", WS_POPUP, 100, 100, 10, 10, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(owner);
  UniqueMenu menu(CreatePopupMenu());
  ASSERT_TRUE(menu);
  ASSERT_TRUE(AppendMenuW(menu.get(), MF_STRING, 1, L"Item"));

  MenuWatch watch{window->get()};
  g_menu_watch = &watch;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, watch_menu);
  SetForegroundWindow(owner.get());
  const BOOL chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD, 120, 120, 0, owner.get(), nullptr);
  KillTimer(nullptr, timer);
  g_menu_watch = nullptr;

  ASSERT_TRUE(watch.posted) << "the menu did not open";
  EXPECT_FALSE(watch.gave_up) << "the close request did not end the menu";
  EXPECT_EQ(chosen, FALSE) << "no item is chosen";
  EXPECT_TRUE(quit_is_queued()) << "the quit message must outlive the menu's loop";
}

LRESULT CALLBACK plain_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(SignalRunningInstance, NeedsBothClassAndTitle) {
  HOLD_INSTANCE_LOCK();
  auto signalled = signal_running_instance();
  ASSERT_TRUE(signalled);
  EXPECT_FALSE(*signalled) << "no window at all";

  // The right class with another title.
  auto ipc = create_ipc_window();  // registers the class
  ASSERT_TRUE(ipc);
  ipc->reset();
  UniqueWindow wrong_title(CreateWindowExW(0, kIpcWindowClass, L"Vantro IPC 2", WS_OVERLAPPED, 0, 0, 0, 0,
                                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(wrong_title);
  // The right title with another class.
  const test_support::TestWindowClass other_class(L"VantroIpcWindowClass_v2", plain_proc);
  ASSERT_TRUE(other_class.registered()) << other_class.error();
  UniqueWindow wrong_class(CreateWindowExW(0, other_class.name(), kIpcWindowTitle, WS_OVERLAPPED, 0, 0, 0, 0,
                                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(wrong_class);

  signalled = signal_running_instance();
  ASSERT_TRUE(signalled);
  EXPECT_FALSE(*signalled);
  EXPECT_FALSE(pump_until_quit(200));
}

}  // namespace
}  // namespace vantro::windows
