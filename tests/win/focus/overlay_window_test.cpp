// The overlay window under Wine: real windows, messages, painting and key events.
#include "windows/overlay_window.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <atomic>
#include <thread>

#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/overlay_driver.h"
#include "support/preset_styles.h"
#include "support/screenshot.h"
#include "windows/gdi.h"
#include "windows/ipc.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

using overlay::OverlayTarget;
using test_support::element_style;
using test_support::OverlayDriver;
using test_support::paint_now;
using test_support::post_keys;
using test_support::running_under_wine;
using test_support::start_host_program;
using test_support::take_quit_messages;
using test_support::window_style;

std::vector<OverlayTarget> three_targets() {
  return {{"aa", std::nullopt, 200, 200, 120, 40},
          {"as", std::nullopt, 600, 300, 80, 30},
          {"sa", std::nullopt, 300, 600, 200, 60}};
}

TEST(OverlayWindow, EmptyListReturnsNoneWithoutWindowClassOrEvent) {
  // An overlay run earlier in this process left its class registered (it is never
  // unregistered); without it the class shows whether this run registered it.
  UnregisterClassW(kOverlayClassName, GetModuleHandleW(nullptr));
  WNDCLASSEXW wc{sizeof(wc)};
  ASSERT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kOverlayClassName, &wc));
  test_support::LogCapture capture;
  const auto result = run_overlay({}, element_style());
  ASSERT_TRUE(result.has_value());
  EXPECT_FALSE(result->has_value());
  EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kOverlayClassName, &wc));
  EXPECT_TRUE(capture.events().empty());
  EXPECT_EQ(live_gdi_objects(), 0);
}

TEST(OverlayWindow, CoversTheVirtualDesktopLayeredTopmostAndFocused) {
  struct Seen {
    LONG_PTR ex_style = 0, style = 0;
    std::wstring title;
    RECT rect{};
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    bool focused = false;
    long gdi_objects = 0;
  } seen;
  test_support::LogCapture capture;
  OverlayDriver driver({[&](HWND overlay) {
                          seen.ex_style = GetWindowLongPtrW(overlay, GWL_EXSTYLE);
                          seen.style = GetWindowLongPtrW(overlay, GWL_STYLE);
                          wchar_t title[64] = {};
                          GetWindowTextW(overlay, title, 64);
                          seen.title = title;
                          GetWindowRect(overlay, &seen.rect);
                          GetLayeredWindowAttributes(overlay, &seen.key, &seen.alpha, &seen.flags);
                          seen.focused = GetFocus() == overlay;
                          seen.gdi_objects = live_gdi_objects();
                          return true;
                        },
                        post_keys({VK_ESCAPE})});
  const auto result = run_overlay(three_targets(), element_style());
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  EXPECT_FALSE(driver.timed_out()) << driver.progress();
  EXPECT_FALSE(result->has_value());

  EXPECT_EQ(seen.ex_style & 0x00080088, 0x00080088);
  EXPECT_EQ(static_cast<DWORD>(seen.style) & 0x90000000u, 0x90000000u);
  EXPECT_EQ(seen.title, L"Vantro Overlay");
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  EXPECT_EQ(seen.rect.left, vx);
  EXPECT_EQ(seen.rect.top, vy);
  EXPECT_EQ(seen.rect.right - seen.rect.left, vw);
  EXPECT_EQ(seen.rect.bottom - seen.rect.top, vh);
  EXPECT_EQ(seen.key, RGB(0xFF, 0x00, 0xFF));
  EXPECT_EQ(seen.alpha, 230);
  EXPECT_EQ(seen.flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
  EXPECT_TRUE(seen.focused);
  EXPECT_EQ(seen.gdi_objects, 2) << "the two fonts, while no paint step runs";

  const auto* event = capture.find("overlay virtual desktop rect");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->level, log::Level::Debug);
  EXPECT_EQ(event->target, "vantro::windows::overlay");
  EXPECT_EQ(*event->field("vx"), std::to_string(vx));
  EXPECT_EQ(*event->field("vy"), std::to_string(vy));
  EXPECT_EQ(*event->field("vw"), std::to_string(vw));
  EXPECT_EQ(*event->field("vh"), std::to_string(vh));
  EXPECT_EQ(*event->field("hint_count"), "3");

  EXPECT_FALSE(IsWindow(driver.overlay()));
  EXPECT_EQ(take_quit_messages().first, 0) << "the overlay's own quit message must end its own loop";
  EXPECT_EQ(live_gdi_objects(), 0);
}

TEST(OverlayWindow, PostedKeysChooseTheTypedLabel) {
  struct Case {
    const char* what;
    std::vector<UINT> keys;
    std::optional<std::size_t> expected;
  } cases[] = {
      {"a then s", {'A', 'S'}, 1},
      {"dead end starts over", {'A', 'D', 'S', 'A'}, 2},
      {"backspace", {'S', VK_BACK, 'A', 'A'}, 0},
      {"other keys change nothing", {VK_SHIFT, 'A', VK_SPACE, '1', 'S'}, 1},
      {"escape", {'A', VK_ESCAPE}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OverlayDriver driver({paint_now(), post_keys(c.keys)});
    const auto result = run_overlay(three_targets(), element_style());
    ASSERT_TRUE(result.has_value()) << result.error().alternate();
    EXPECT_FALSE(driver.timed_out()) << driver.progress();
    EXPECT_EQ(*result, c.expected);
    EXPECT_EQ(take_quit_messages().first, 0);
  }
}

TEST(OverlayWindow, ChosenIndexRefersToTheCallersList) {
  // Listed bottom to top, so the layout walks them in reverse; duplicate labels pick the lower.
  const std::vector<OverlayTarget> targets{{"d", std::nullopt, 100, 700, 50, 20},
                                           {"f", std::nullopt, 100, 400, 50, 20},
                                           {"f", std::nullopt, 100, 100, 50, 20}};
  OverlayDriver driver({post_keys({'F'})});
  const auto result = run_overlay(targets, element_style());
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  EXPECT_EQ(*result, std::optional<std::size_t>(1));
}

TEST(OverlayWindow, FocusMovingToAnotherWindowCancels) {
  HWND other = nullptr;
  OverlayDriver driver({post_keys({'A'}), [&](HWND) {
                          other = CreateWindowExW(0, L"STATIC", L"elsewhere",
                                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                                                  nullptr, GetModuleHandleW(nullptr), nullptr);
                          SetForegroundWindow(other);
                          SetFocus(other);
                          return true;
                        }});
  const auto result = run_overlay(three_targets(), element_style());
  ASSERT_NE(other, nullptr);
  DestroyWindow(other);
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  EXPECT_FALSE(driver.timed_out()) << driver.progress();
  EXPECT_FALSE(result->has_value());
  EXPECT_FALSE(IsWindow(driver.overlay()));
  // Destroying the other window changes nothing for the overlay's quit handling.
  EXPECT_EQ(take_quit_messages().first, 0);
}

TEST(OverlayWindow, QuitRequestWhileOpenClosesItAndIsHandedOn) {
  struct Case {
    const char* what;
    std::function<void()> quit;
    WPARAM code;
  } cases[] = {
      {"PostQuitMessage", [] { PostQuitMessage(7); }, 7},
      {"queued WM_QUIT", [] { PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 9, 0); }, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OverlayDriver driver({paint_now(), post_keys({'A'}), [&](HWND) {
                            c.quit();
                            return true;
                          }});
    const auto result = run_overlay(three_targets(), element_style());
    ASSERT_TRUE(result.has_value()) << result.error().alternate();
    EXPECT_FALSE(driver.timed_out()) << driver.progress();
    EXPECT_FALSE(result->has_value());
    EXPECT_FALSE(IsWindow(driver.overlay()));
    EXPECT_EQ(take_quit_messages(), (std::pair<int, WPARAM>(1, c.code)));
    EXPECT_EQ(live_gdi_objects(), 0);
  }
}

// What the caller's loop does after the overlay: dispatches what is queued, until the queue is
// empty. Returns the number of WM_QUIT messages met on the way and the code of the last one.
std::pair<int, WPARAM> dispatch_queued_and_take_quits() {
  int count = 0;
  WPARAM code = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ++count;
      code = msg.wParam;
      continue;
    }
    DispatchMessageW(&msg);
  }
  return {count, code};
}

TEST(OverlayWindow, QuitQueuedBesideACompletingKeyStaysForTheCallersLoop) {
  test_support::InstanceLock instance_lock;
  ASSERT_TRUE(instance_lock.held()) << "instance lock not acquired in time";
  auto close_request = create_ipc_window();
  ASSERT_TRUE(close_request) << close_request.error().debug();
  const HWND ipc = close_request->get();
  // Each case queues everything in one step, so that the loop meets all of it before it has
  // handled any; "--close" posts WM_CLOSE to the close-request window, which posts the quit.
  const auto close = [ipc] { PostMessageW(ipc, WM_CLOSE, 0, 0); };
  const auto keys = [](std::vector<UINT> keys) {
    return [step = post_keys(std::move(keys))](HWND overlay) { step(overlay); };
  };
  struct Case {
    const char* what;
    std::vector<std::function<void(HWND)>> queued;
    std::optional<std::size_t> expected;
    WPARAM code;
  } cases[] = {
      {"close request, then a completing key", {[&](HWND) { close(); }, keys({'A', 'S'})}, 1, 0},
      {"completing key, then a close request", {keys({'A', 'S'}), [&](HWND) { close(); }}, 1, 0},
      {"close request, then Esc", {[&](HWND) { close(); }, keys({VK_ESCAPE})}, std::nullopt, 0},
      {"completing key, then a queued WM_QUIT",
       {keys({'S', 'A'}), [](HWND) { PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 9, 0); }},
       2,
       9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OverlayDriver driver({paint_now(), [&](HWND overlay) {
                            for (const auto& queue : c.queued) queue(overlay);
                            return true;
                          }});
    const auto result = run_overlay(three_targets(), element_style());
    ASSERT_TRUE(result.has_value()) << result.error().alternate();
    EXPECT_FALSE(driver.timed_out()) << driver.progress();
    EXPECT_EQ(*result, c.expected);
    EXPECT_FALSE(IsWindow(driver.overlay()));
    EXPECT_EQ(dispatch_queued_and_take_quits(), (std::pair<int, WPARAM>(1, c.code)))
        << "the quit is the caller's";
    EXPECT_EQ(live_gdi_objects(), 0);
  }
}

TEST(OverlayWindow, ClosedByAMessageFromAnotherThreadReturnsAtOnce) {
  // No driver here: its timer would wake the loop. The key is sent from another thread, so
  // the overlay goes while the loop waits inside GetMessageW and nothing else is queued.
  const DWORD overlay_thread = GetCurrentThreadId();
  std::atomic<bool> returned = false;
  std::atomic<ULONGLONG> sent_at = 0;
  std::thread sender([&] {
    HWND overlay = nullptr;
    for (int i = 0; i < 500 && overlay == nullptr; ++i) {
      Sleep(20);
      EnumThreadWindows(
          overlay_thread,
          [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            if (std::wstring_view(name) != kOverlayClassName || !IsWindowVisible(hwnd)) return TRUE;
            *reinterpret_cast<HWND*>(out) = hwnd;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&overlay));
    }
    if (overlay != nullptr) {
      sent_at = GetTickCount64();
      SendMessageW(overlay, WM_KEYDOWN, 'S', 0);
      SendMessageW(overlay, WM_KEYDOWN, 'A', 0);
    }
    // Unblocks a loop that missed the end of its window, so that the test fails rather than hangs.
    for (int i = 0; i < 300 && !returned; ++i) Sleep(10);
    if (!returned) PostThreadMessageW(overlay_thread, WM_NULL, 0, 0);
    for (int i = 0; i < 300 && !returned; ++i) Sleep(10);
    if (!returned) PostThreadMessageW(overlay_thread, WM_QUIT, 0, 0);
  });
  const auto result = run_overlay(three_targets(), element_style());
  const ULONGLONG returned_at = GetTickCount64();
  returned = true;
  sender.join();
  ASSERT_NE(sent_at.load(), 0u) << "the overlay was not found";
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  EXPECT_EQ(*result, std::optional<std::size_t>(2));
  EXPECT_LT(returned_at - sent_at, 1000u) << "the loop went on waiting after its window was gone";
  EXPECT_EQ(take_quit_messages().first, 0);
}

TEST(OverlayWindow, FailedLayeredAttributesReturnTheSystemErrorAndPostNoQuit) {
  fail_layered_attributes_for_tests(ERROR_ACCESS_DENIED);
  const auto result = run_overlay(three_targets(), element_style());
  ASSERT_FALSE(result.has_value());
  EXPECT_NE(result.error().root_cause().find("(0x80070005)"), std::string::npos)
      << result.error().alternate();
  EXPECT_EQ(test_support::find_own_overlay(), nullptr);
  EXPECT_EQ(take_quit_messages().first, 0);
  EXPECT_EQ(live_gdi_objects(), 0);
}

TEST(OverlayWindow, HundredRunsLeaveNoGdiObjectBehind) {
  const DWORD gdi_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  std::vector<OverlayTarget> named = three_targets();
  named[0].name = "Untitled - Notepad";
  named[1].name = std::string(80, 'W');  // sized for 50 characters, ends in an ellipsis
  overlay::OverlayStyle leaders_everywhere = window_style();
  leaders_everywhere.show_leader = true;
  leaders_everywhere.shadow = true;
  const overlay::OverlayStyle styles[] = {element_style(), window_style(), leaders_everywhere};
  long most_live = 0;
  for (int run = 0; run < 100; ++run) {
    SCOPED_TRACE(run);
    OverlayDriver driver({paint_now(),
                          [&](HWND) {
                            most_live = std::max(most_live, live_gdi_objects());
                            return true;
                          },
                          post_keys({'S', 'A'})});
    const auto result = run_overlay(run % 2 ? named : three_targets(), styles[run % 3]);
    ASSERT_TRUE(result.has_value()) << result.error().alternate();
    ASSERT_FALSE(driver.timed_out()) << driver.progress();
    ASSERT_EQ(*result, std::optional<std::size_t>(2));
  }
  EXPECT_EQ(most_live, 2) << "the fonts live for a run; brushes and pens only inside a paint";
  EXPECT_EQ(live_gdi_objects(), 0);
  // Real on Windows; Wine's GetGuiResources always answers 0.
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi_before);
}

TEST(OverlayWindow, ScreenshotShowsYellowBadgesOverTransparentBackground) {
  if (!running_under_wine()) GTEST_SKIP() << "takes the screenshot with the X server's import tool";
  test_support::Screenshot shot(L"overlay-screenshot.ppm");
  OverlayDriver driver({paint_now(), shot.take(), shot.wait(), post_keys({VK_ESCAPE})}, 20000);
  const auto result = run_overlay(three_targets(), element_style());
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  ASSERT_TRUE(shot.started()) << "could not start the import tool";
  ASSERT_FALSE(driver.timed_out()) << driver.progress();
  const auto& image = shot.image();
  ASSERT_TRUE(image) << "no screenshot in " << narrow(shot.path());

  // The desktop of the prefix covers the X screen from its top-left corner.
  const COLORREF yellow = RGB(0xFF, 0xE5, 0x00);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  struct Spot {
    const char* what;
    int x, y;
  } yellow_spots[] = {
      {"inside the first label box, left of its text", 201, 185},
      {"inside the third label box", 301, 585},
      {"frame around the first target", 260, 200},
  };
  for (const auto& s : yellow_spots) {
    SCOPED_TRACE(s.what);
    EXPECT_EQ(image->at(s.x - vx, s.y - vy), yellow);
  }
  const int yellow_pixels = image->count(yellow);
  EXPECT_EQ(image->count(RGB(0xFF, 0x00, 0xFF)), 0) << "the colour key must make the background transparent";
  // Three label boxes of 28 × 20 less text and frame, plus the three target frames.
  EXPECT_GT(yellow_pixels, 3 * 200);
  EXPECT_LT(yellow_pixels, 3 * 28 * 20 + 2 * (120 + 40 + 80 + 30 + 200 + 60));
}

TEST(OverlayWindow, BadgeFillInTheColourKeyIsTransparent) {
  if (!running_under_wine()) GTEST_SKIP() << "takes the screenshot with the X server's import tool";
  overlay::OverlayStyle style = element_style();
  style.badge_bg = overlay::rgb(0xFF, 0x00, 0xFF);
  style.show_leader = false;
  test_support::Screenshot shot(L"overlay-keyed-badges.ppm");
  OverlayDriver driver({paint_now(), shot.take(), shot.wait(), post_keys({VK_ESCAPE})}, 20000);
  const auto result = run_overlay(three_targets(), style);
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  ASSERT_TRUE(shot.started());
  ASSERT_FALSE(driver.timed_out()) << driver.progress();
  const auto& image = shot.image();
  ASSERT_TRUE(image);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const COLORREF background = image->at(1000 - vx, 50 - vy);  // far from every badge
  EXPECT_EQ(image->count(RGB(0xFF, 0x00, 0xFF)), 0);
  // Inside the first label box, left of its text: what lies below shows through.
  EXPECT_EQ(image->at(201 - vx, 185 - vy), background);
  // The frame in the border colour stays.
  EXPECT_EQ(image->at(200 - vx, 185 - vy), RGB(0x20, 0x20, 0x20));
}

TEST(OverlayWindow, RealKeyEventsFromTheXServerChoose) {
  if (!running_under_wine() || GetFileAttributesW(L"Z:\\usr\\bin\\xdotool") == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "needs xdotool on the X server that Wine draws on";
  bool started = false;
  // The keys go to the overlay's own X window once it has the X focus. They are typed by a
  // second xdotool that names no window, so that each release is sent even after the overlay
  // closed on the last press: a key left down would come back on every later focus change.
  OverlayDriver driver({paint_now(), [](HWND overlay) { return GetForegroundWindow() == overlay; },
                        [&](HWND overlay) {
                          const auto x_window =
                              reinterpret_cast<std::uintptr_t>(GetPropW(overlay, L"__wine_x11_whole_window"));
                          started =
                              x_window != 0 && start_host_program(wide(fmt::format(
                                                   "/bin/sh -c \"timeout 5 xdotool windowfocus --sync {} && "
                                                   "xdotool key --delay 50 a s\"",
                                                   x_window)));
                          return true;
                        }},
                       15000);
  const auto result = run_overlay(three_targets(), element_style());
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  ASSERT_TRUE(started);
  EXPECT_FALSE(driver.timed_out()) << "the keys did not reach the overlay: " << driver.progress();
  EXPECT_EQ(*result, std::optional<std::size_t>(1));
}

}  // namespace
}  // namespace vantro::windows
