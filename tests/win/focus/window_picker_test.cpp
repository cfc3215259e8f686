// The window picker under Wine, on windows of the test's own.
#include "windows/window_picker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string_view>

#include "support/log_capture.h"
#include "support/overlay_driver.h"
#include "support/preset_styles.h"
#include "support/screenshot.h"
#include "support/test_window_class.h"
#include "windows/handle.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

using test_support::OverlayDriver;
using test_support::post_keys;
using test_support::window_style;

constexpr wchar_t kTestClass[] = L"VantroPickerTestWindow";

HINSTANCE instance() {
  return GetModuleHandleW(nullptr);
}

// Each test registers the window classes of its own windows; they are unregistered when it
// ends, so that no test sees the classes of another.
class WindowPicker : public ::testing::Test {
 protected:
  UniqueWindow make_window(const wchar_t* title, DWORD style, DWORD ex_style = 0, HWND owner = nullptr,
                           const wchar_t* class_name = kTestClass, int width = 300, int height = 200) {
    auto known = std::ranges::find_if(
        classes_, [&](const auto& c) { return std::wstring_view(c.name()) == class_name; });
    const test_support::TestWindowClass& window_class =
        known != classes_.end() ? *known : classes_.emplace_back(class_name);
    if (!window_class.registered()) {
      ADD_FAILURE() << "RegisterClassExW(" << narrow(class_name) << ") failed: " << window_class.error();
      return UniqueWindow();
    }
    return UniqueWindow(CreateWindowExW(ex_style, class_name, title, style, 100, 120, width, height, owner,
                                        nullptr, instance(), nullptr));
  }

 private:
  std::deque<test_support::TestWindowClass> classes_;
};

// Lets the windows settle (show, minimize) before the enumeration reads them.
void pump_messages() {
  MSG msg;
  const ULONGLONG end = GetTickCount64() + 200;
  while (GetTickCount64() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

const WindowInfo* find(const std::vector<WindowInfo>& list, HWND hwnd) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const WindowInfo& w) { return w.hwnd == hwnd; });
  return it == list.end() ? nullptr : &*it;
}

std::string hwnd_text(HWND hwnd) {
  return debug_text(picking::WindowHandle{reinterpret_cast<std::uintptr_t>(hwnd)});
}

const test_support::CapturedEvent* find_event(const test_support::LogCapture& capture,
                                              std::string_view message, HWND hwnd) {
  for (const auto& e : capture.events())
    if (e.message == message && e.field("hwnd") && *e.field("hwnd") == hwnd_text(hwnd)) return &e;
  return nullptr;
}

TEST_F(WindowPicker, ListsOnlyVisibleTitledTopLevelWindowsAndMinimizedOnes) {
  const DWORD shown = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  UniqueWindow titled = make_window(L"Picker titled", shown);
  UniqueWindow hidden = make_window(L"Picker hidden", WS_OVERLAPPEDWINDOW);
  UniqueWindow tool = make_window(L"Picker tool", shown, WS_EX_TOOLWINDOW);
  UniqueWindow owned = make_window(L"Picker owned", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, titled.get());
  UniqueWindow untitled = make_window(L"", shown);
  UniqueWindow desktop = make_window(L"Picker desktop", shown, 0, nullptr, L"Progman");
  UniqueWindow flat = make_window(L"Picker flat", WS_POPUP | WS_VISIBLE, 0, nullptr, kTestClass, 0, 0);
  UniqueWindow minimized = make_window(L"Picker minimized", shown);
  ShowWindow(minimized.get(), SW_MINIMIZE);
  pump_messages();
  ASSERT_TRUE(IsIconic(minimized.get()));

  test_support::LogCapture capture;
  const auto list = enumerate_visible();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();

  const WindowInfo* t = find(*list, titled.get());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->title, "Picker titled");
  RECT r;
  GetWindowRect(titled.get(), &r);  // Wine has no extended frame bounds: the window rectangle
  EXPECT_EQ((std::array{t->x, t->y, t->width, t->height}),
            (std::array<std::int32_t, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}));
  const WindowInfo* m = find(*list, minimized.get());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ((std::array{m->x, m->y, m->width, m->height}), (std::array<std::int32_t, 4>{0, 0, 200, 40}));
  for (HWND skipped : {hidden.get(), tool.get(), owned.get(), untitled.get(), desktop.get(), flat.get()}) {
    SCOPED_TRACE(hwnd_text(skipped));
    EXPECT_EQ(find(*list, skipped), nullptr);
  }

  // The list keeps the enumeration's order.
  std::vector<HWND> ours_in_order;
  EnumWindows(
      [](HWND hwnd, LPARAM out) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&ours_in_order));
  std::erase_if(ours_in_order, [&](HWND h) { return find(*list, h) == nullptr; });
  ASSERT_EQ(ours_in_order.size(), list->size());
  for (std::size_t i = 0; i < list->size(); ++i) EXPECT_EQ((*list)[i].hwnd, ours_in_order[i]);

  EXPECT_NE(find_event(capture, "skipped: shell class", desktop.get()), nullptr);
  EXPECT_NE(find_event(capture, "skipped: empty title", untitled.get()), nullptr);
  EXPECT_NE(find_event(capture, "skipped: invalid dimensions", flat.get()), nullptr);
  EXPECT_NE(find_event(capture, "window included", minimized.get()), nullptr);
  const auto* done = capture.find("enumerate_visible complete");
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(done->level, log::Level::Debug);
  EXPECT_EQ(done->target, "vantro::windows::window_picker");
  EXPECT_EQ(*done->field("found"), std::to_string(list->size()));
  const std::uint64_t total = std::stoull(*done->field("total"));
  EXPECT_GE(total, 9u);
  EXPECT_EQ(*done->field("filtered"), std::to_string(total - list->size()));
}

// Window classes are matched without regard to case, so this process may hold only one of
// "Progman" and "progman" at a time: this test registers the second.
TEST_F(WindowPicker, ShellClassNameInAnotherCaseIsListed) {
  UniqueWindow lower_case =
      make_window(L"Picker lower case", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, nullptr, L"progman");
  wchar_t name[32] = {};
  GetClassNameW(lower_case.get(), name, 32);
  ASSERT_STREQ(name, L"progman");
  pump_messages();
  const auto list = enumerate_visible();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();
  EXPECT_NE(find(*list, lower_case.get()), nullptr);
}

TEST_F(WindowPicker, FocusRestoresAMinimizedWindowAndBringsItForward) {
  UniqueWindow other = make_window(L"Picker other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  UniqueWindow target = make_window(L"Picker target", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ShowWindow(target.get(), SW_MINIMIZE);
  SetForegroundWindow(other.get());
  pump_messages();
  ASSERT_TRUE(IsIconic(target.get()));

  test_support::LogCapture capture;
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(focus_window(target.get()).has_value());
  EXPECT_GE(GetTickCount64() - start, 40u) << "waits about 50 ms after restoring";
  EXPECT_FALSE(IsIconic(target.get()));
  EXPECT_EQ(GetForegroundWindow(), target.get());
  const auto* restoring = capture.find("restoring minimized window");
  ASSERT_NE(restoring, nullptr);
  EXPECT_EQ(*restoring->field("hwnd"), hwnd_text(target.get()));
  const auto* focused = capture.find("window focused successfully");
  ASSERT_NE(focused, nullptr);
  EXPECT_EQ(focused->level, log::Level::Debug);
}

TEST_F(WindowPicker, FocusOfAWindowThatIsGoneOnlyWarns) {
  HWND gone = make_window(L"Picker gone", WS_OVERLAPPEDWINDOW | WS_VISIBLE).release();
  DestroyWindow(gone);
  test_support::LogCapture capture;
  EXPECT_TRUE(focus_window(gone).has_value());
  const auto* warned = capture.find("SetForegroundWindow returned false");
  ASSERT_NE(warned, nullptr);
  EXPECT_EQ(warned->level, log::Level::Warn);
  EXPECT_EQ(*warned->field("hwnd"), hwnd_text(gone));
}

std::vector<WindowInfo> fake_windows(std::size_t n) {
  std::vector<WindowInfo> windows;
  for (std::size_t i = 0; i < n; ++i) {
    const auto k = static_cast<std::int32_t>(i);
    windows.push_back({reinterpret_cast<HWND>(0x1000 + i), "Window " + std::to_string(i), 20 + 60 * (k % 10),
                       40 + 100 * (k / 10), 400, 300});
  }
  return windows;
}

TEST_F(WindowPicker, EmptyListGivesNoneWithoutOverlay) {
  const auto result = show_window_picker({}, window_style());
  ASSERT_TRUE(result.has_value());
  EXPECT_FALSE(result->has_value());
  EXPECT_EQ(test_support::find_own_overlay(), nullptr);
}

TEST_F(WindowPicker, LabelsAreAlwaysOverTheHomeRow) {
  struct Case {
    const char* what;
    std::size_t windows;
    std::vector<UINT> keys;
    std::optional<std::size_t> chosen;
  } cases[] = {
      {"second window is s", 3, {'S'}, 1},
      {"ninth window is l", 9, {'L'}, 8},
      {"ten windows take two letters", 10, {'A', 'S'}, 1},
      {"escape", 3, {VK_ESCAPE}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<WindowInfo> windows = fake_windows(c.windows);
    OverlayDriver driver({test_support::paint_now(), post_keys(c.keys)});
    const auto result = show_window_picker(windows, window_style());
    ASSERT_TRUE(result.has_value()) << result.error().alternate();
    EXPECT_FALSE(driver.timed_out()) << driver.progress();
    ASSERT_EQ(result->has_value(), c.chosen.has_value());
    if (c.chosen) {
      EXPECT_EQ(**result, windows[*c.chosen]);
    }
  }
}

TEST_F(WindowPicker, RunWindowOverlayUsesTheGeneratorItIsGiven) {
  const std::vector<WindowInfo> windows = fake_windows(3);
  OverlayDriver driver({post_keys({'Y'})});
  const auto result = run_window_overlay(windows, hint::HintGenerator("xyz"), window_style());
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  ASSERT_TRUE(result->has_value());
  EXPECT_EQ(**result, windows[1]);
}

TEST_F(WindowPicker, EachWindowGetsABadgeWithItsTitleInANameBox) {
  if (!test_support::running_under_wine())
    GTEST_SKIP() << "takes the screenshot with the X server's import tool";
  std::vector<WindowInfo> windows{
      {reinterpret_cast<HWND>(0x10), "Untitled - Notepad", 100, 100, 400, 300},
      {reinterpret_cast<HWND>(0x20), "Calculator", 600, 150, 400, 300},
      {reinterpret_cast<HWND>(0x30), "A very long title " + std::string(60, 'x'), 200, 500, 300, 200}};
  test_support::Screenshot shot(L"window-picker-screenshot.ppm");
  OverlayDriver driver({test_support::paint_now(), shot.take(), shot.wait(), post_keys({VK_ESCAPE})}, 20000);
  const auto result = show_window_picker(windows, window_style());
  ASSERT_TRUE(result.has_value()) << result.error().alternate();
  ASSERT_TRUE(shot.started());
  ASSERT_FALSE(driver.timed_out()) << driver.progress();
  const auto& image = shot.image();
  ASSERT_TRUE(image);
  // Inside each window's top-left corner: the 42-pixel label box, a 4-pixel gap, the name box.
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  for (const WindowInfo& w : windows) {
    SCOPED_TRACE(w.title);
    const int x = w.x - vx, y = w.y - vy;
    EXPECT_EQ(image->at(x + 2, y + 2), RGB(0x33, 0xAA, 0xFF)) << "label box";
    EXPECT_EQ(image->at(x + 48, y + 2), RGB(0x20, 0x20, 0x20)) << "name box";
    EXPECT_NE(image->at(x + 43, y + 20), RGB(0x20, 0x20, 0x20)) << "gap between the boxes";
  }
  // The long title's box is 50 characters wide (774 pixels) and no wider.
  const int x = 200 - vx, y = 500 - vy;
  EXPECT_EQ(image->at(x + 46 + 772, y + 2), RGB(0x20, 0x20, 0x20));
  EXPECT_NE(image->at(x + 46 + 776, y + 2), RGB(0x20, 0x20, 0x20));
}

// Pick window end to end: list the desktop's windows, type the label of ours, focus it.
TEST_F(WindowPicker, TypingAWindowsLabelBringsItToTheForeground) {
  UniqueWindow first = make_window(L"Picker first", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  UniqueWindow wanted = make_window(L"Picker wanted", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetForegroundWindow(first.get());
  pump_messages();
  const auto list = enumerate_visible();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();
  const auto it =
      std::find_if(list->begin(), list->end(), [&](const WindowInfo& w) { return w.hwnd == wanted.get(); });
  ASSERT_NE(it, list->end());
  const std::string label = hint::HintGenerator("asdfghjkl").generate(list->size())[it - list->begin()];
  std::vector<UINT> keys;
  for (const char c : label) keys.push_back(static_cast<UINT>(c - 'a' + 'A'));

  OverlayDriver driver({test_support::paint_now(), post_keys(keys)});
  const auto chosen = show_window_picker(*list, window_style());
  ASSERT_TRUE(chosen.has_value()) << chosen.error().alternate();
  ASSERT_TRUE(chosen->has_value());
  EXPECT_EQ((*chosen)->hwnd, wanted.get());
  EXPECT_EQ((*chosen)->title, "Picker wanted");
  ASSERT_TRUE(focus_window((*chosen)->hwnd).has_value());
  EXPECT_EQ(GetForegroundWindow(), wanted.get());
}

}  // namespace
}  // namespace vantro::windows
