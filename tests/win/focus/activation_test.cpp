// Activation under Wine: the sample application's controls, enumerated by the UI Automation
// client through the test prefix's stand-in, activated through their patterns or the mouse.
// These tests move the foreground and the cursor, so they run alone.
#include "windows/activation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/pick_actions.h"
#include "app/pick_context.h"
#include "config/config.h"
#include "hint/hint_generator.h"
#include "picking/pick_flow.h"
#include "support/log_capture.h"
#include "support/overlay_driver.h"
#include "support/uia_standin/standin_api.h"
#include "win/sample_app_process.h"

namespace vantro::picking {

// Readable failures of the input comparisons.
void PrintTo(const ScreenPoint& point, std::ostream* out) {
  *out << point.x << "," << point.y;
}
void PrintTo(const MouseInput& input, std::ostream* out) {
  *out << "{" << input.dx << ", " << input.dy << ", 0x" << std::hex << input.flags << std::dec << "}";
}

}  // namespace vantro::picking

namespace vantro::windows {
namespace {

using picking::ElementId;
using test_support::find_control;
using test_support::SampleAppProcess;

constexpr auto kOutputTimeout = std::chrono::seconds(5);

// Where the cursor reads, waited for (bounded, 2 s) until it has read `point` five times in a
// row, 10 ms apart; `there` is false when it never did, and `last` is the last reading.
struct CursorReading {
  bool there = false;
  POINT last{};
};
CursorReading wait_for_cursor(POINT point) {
  CursorReading reading;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  for (int steady = 0; steady < 5;) {
    const bool there = GetCursorPos(&reading.last) && reading.last.x == point.x && reading.last.y == point.y;
    steady = there ? steady + 1 : 0;
    if (std::chrono::steady_clock::now() >= deadline) return reading;
    Sleep(10);
  }
  reading.there = true;
  return reading;
}

// Puts the cursor at the point and waits (bounded) until GetCursorPos reads it there. Under
// Wine SetCursorPos alone does not last: Wine takes the X pointer's position again now and
// then, and only input moves the X pointer. So the point is also reached with an absolute
// move, whose units are chosen for Wine's mapping to the pixel (left + units × width / 65536,
// rounded down).
bool place_cursor(POINT point) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width == 0 || height == 0) return false;
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = static_cast<LONG>(((point.x - left) * 65536LL + width - 1) / width);
  move.mi.dy = static_cast<LONG>(((point.y - top) * 65536LL + height - 1) / height);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  if (SendInput(1, &move, sizeof(INPUT)) != 1 || !SetCursorPos(point.x, point.y)) return false;
  return wait_for_cursor(point).there;
}

// The fallback's own move (SendInput over the virtual screen) puts the cursor on the pixel it
// was given: the first, the middle and the last of each axis, the far corner included.
TEST(CursorMove, ReachesTheFirstMiddleAndLastPixelOfEachAxis) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  ASSERT_GT(width, 2);
  ASSERT_GT(height, 2);
  const int xs[] = {left, left + width / 2, left + width - 1};
  const int ys[] = {top, top + height / 2, top + height - 1};
  // A start off every target, so that a move that goes nowhere shows.
  const POINT start{left + width / 4, top + height / 4};
  SystemMouse mouse;
  for (const int x : xs) {
    for (const int y : ys) {
      SCOPED_TRACE(testing::Message() << "to " << x << "," << y);
      ASSERT_TRUE(place_cursor(start)) << "the cursor did not reach the start";
      ASSERT_TRUE(picking::move_cursor(mouse, {x, y}).has_value());
      const CursorReading reading = wait_for_cursor({x, y});
      EXPECT_TRUE(reading.there) << "the cursor landed on " << reading.last.x << "," << reading.last.y;
    }
  }
}

bool automation_server_registered() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{FF48DBA4-60EF-4201-AA87-54103EEF594E}\\InprocServer32", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// A sample application in the foreground, enumerated by a fresh client.
class Activation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!automation_server_registered()) GTEST_SKIP() << "no UI Automation server registered in this prefix";
  }

  void start(const std::wstring& arguments) {
    app_ = SampleAppProcess::start(arguments);
    ASSERT_TRUE(app_.has_value()) << "the sample application did not start";
    ASSERT_TRUE(app_->bring_to_foreground()) << "the sample application did not come to the foreground";
    if (!client_) {
      auto client = UiaClient::create();
      ASSERT_TRUE(client.has_value()) << client.error().alternate();
      client_.emplace(std::move(*client));
    }
    enumerate();
  }

  // A window of 400 x 300 at 300,200 with one button whose patterns all fail (120 x 40, at
  // 150,100 of the window); the id under which the enumeration collected the button.
  std::optional<ElementId> start_with_failing_button(const std::wstring& title, int control) {
    start(L"--title " + title + L" --pos 300,200 --size 400,300 button,id=" + std::to_wstring(control) +
          L",text=Click,x=150,y=100,w=120,h=40,fail=all");
    if (HasFatalFailure()) return std::nullopt;
    return id_of(control);
  }

  void enumerate() {
    auto list = client_->enumerate_foreground();
    ASSERT_TRUE(list.has_value()) << list.error().alternate();
    elements_ = std::move(*list);
  }

  // The id under which the enumeration collected the control.
  std::optional<ElementId> id_of(int control_id) const {
    RECT rect{};
    if (!GetWindowRect(find_control(app_->window(), control_id), &rect)) return std::nullopt;
    for (const auto& element : elements_)
      if (element.x == rect.left && element.y == rect.top) return element.id;
    return std::nullopt;
  }

  bool printed(int control_id) {
    return app_->wait_for_line("command id=" + std::to_string(control_id) + " code=0", kOutputTimeout)
        .has_value();
  }

  std::optional<SampleAppProcess> app_;
  std::optional<UiaClient> client_;
  std::vector<picking::ElementInfo> elements_;
};

// The system's mouse, watched: the inputs it is given, in order.
class WatchedMouse final : public picking::MouseDevice {
 public:
  std::vector<picking::MouseInput> sent;
  std::optional<picking::ScreenPoint> start;  // where the cursor read when the glide began

  Result<picking::ScreenPoint> cursor_position() override {
    Result<picking::ScreenPoint> position = mouse_.cursor_position();
    if (position) start = *position;
    return position;
  }
  Result<picking::VirtualScreen> virtual_screen() override { return mouse_.virtual_screen(); }
  Result<std::optional<picking::ScreenRect>> monitor_at(picking::ScreenPoint point) override {
    return mouse_.monitor_at(point);
  }
  Result<std::optional<picking::ScreenRect>> monitor_with_most_of(const picking::ScreenRect& rect) override {
    return mouse_.monitor_with_most_of(rect);
  }
  Result<void> send(const picking::MouseInput& input) override {
    sent.push_back(input);
    return mouse_.send(input);
  }
  void sleep(std::chrono::milliseconds duration) override { mouse_.sleep(duration); }
  void write_standard_error(std::string_view line) override { mouse_.write_standard_error(line); }

 private:
  SystemMouse mouse_;
};

TEST_F(Activation, EachControlGoesThroughThePatternItsKindOffers) {
  start(
      L"--title activation --pos 20,20 --size 400,420 button,id=101,text=Push checkbox,id=102,text=Check "
      L"radio,id=103,text=Radio button,id=104,text=NoInvoke,fail=invoke "
      L"checkbox,id=105,text=NoToggle,fail=toggle "
      L"combo,id=106");
  struct Case {
    int control;
    const char* path;
    bool prints_click;  // the application prints its BN_CLICKED
  };
  const Case cases[] = {{101, "Invoke", true},
                        {102, "Toggle", true},
                        {103, "SelectionItem", true},
                        {104, "LegacyDefaultAction", true},
                        {105, "LegacyDefaultAction", true},
                        {106, "ExpandCollapse", false}};
  WatchedMouse mouse;
  const long live_before = test_support::uia_standin::loaded_live_objects();
  ASSERT_GT(live_before, 0) << "the stand-in is not loaded";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    const std::optional<ElementId> id = id_of(c.control);
    ASSERT_TRUE(id.has_value()) << "control not collected";
    test_support::LogCapture capture(log::Level::Debug);
    const Result<void> done = perform(*client_, *id, mouse);
    ASSERT_TRUE(done.has_value()) << done.error().alternate();
    if (c.prints_click) {
      EXPECT_TRUE(printed(c.control));
    }
    const auto* event = capture.find("element invoked via UIA pattern");
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->level, log::Level::Debug);
    EXPECT_EQ(event->target, "vantro::windows");
    EXPECT_EQ(*event->field("id"), picking::debug_text(*id));
    EXPECT_EQ(*event->field("path"), c.path);
    EXPECT_EQ(capture.find("no UIA pattern matched; used mouse-click fallback"), nullptr);
  }
  // What the activations did in the application, and never with the mouse.
  EXPECT_EQ(SendMessageW(find_control(app_->window(), 102), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(find_control(app_->window(), 103), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(find_control(app_->window(), 105), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_NE(SendMessageW(find_control(app_->window(), 106), CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_TRUE(mouse.sent.empty());
  EXPECT_EQ(test_support::uia_standin::loaded_live_objects(), live_before)
      << "every pattern object was released";
}

TEST_F(Activation, WithEveryPatternFailingTheMouseClicksTheControl) {
  // The figures below are worked out for the test prefix's desktop of 1280 x 800 pixels.
  ASSERT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
  ASSERT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
  ASSERT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1280);
  ASSERT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 800);
  start(
      L"--title fallback --pos 300,200 --size 400,300 "
      L"button,id=201,text=Click,x=150,y=100,w=120,h=40,fail=all");
  // The window moved so that the button covers 580,380 to 700,420: its centre is the
  // desktop's, 640,400.
  const HWND button = find_control(app_->window(), 201);
  RECT rect{};
  RECT frame{};
  ASSERT_TRUE(GetWindowRect(button, &rect));
  ASSERT_TRUE(GetWindowRect(app_->window(), &frame));
  ASSERT_TRUE(SetWindowPos(app_->window(), nullptr, frame.left + 580 - rect.left, frame.top + 380 - rect.top,
                           0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(GetWindowRect(button, &rect));
  ASSERT_EQ(rect.left, 580);
  ASSERT_EQ(rect.top, 380);
  ASSERT_EQ(rect.right, 700);
  ASSERT_EQ(rect.bottom, 420);
  enumerate();
  const std::optional<ElementId> id = id_of(201);
  ASSERT_TRUE(id.has_value()) << "control not collected";
  // 45 pixels left of the centre: two steps of 22 pixels, one intermediate move and a pause of
  // 250 ms.
  ASSERT_TRUE(place_cursor({595, 400})) << "the cursor did not reach 595,400";

  test_support::LogCapture capture(log::Level::Debug);
  WatchedMouse mouse;
  const auto started = std::chrono::steady_clock::now();
  const Result<void> done = perform(*client_, *id, mouse);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(done.has_value()) << done.error().alternate();

  ASSERT_TRUE(mouse.start.has_value());
  ASSERT_EQ(*mouse.start, (picking::ScreenPoint{595, 400})) << "the glide began elsewhere";
  // Over the virtual desktop (0xC001), units rounded up from pixel × 65535 / (extent − 1):
  // 617,400 is 617 × 65535 / 1279 = 31614.62 and 400 × 65535 / 799 = 32808.51; 640,400 is
  // 640 × 65535 / 1279 = 32793.12 and 32808.51. Then the button down (0x2) and up (0x4). (What
  // the cursor reads right after each move is not checked: Wine may still give the point
  // before.)
  const std::vector<picking::MouseInput> expected = {
      {31615, 32809, 0xC001}, {32794, 32809, 0xC001}, {0, 0, 0x0002}, {0, 0, 0x0004}};
  EXPECT_EQ(mouse.sent, expected);
  // The button went down over the control. (Where GetCursorPos reads afterwards is Wine's
  // business: it re-reads the lagging X pointer, at times one glide step short.)
  EXPECT_TRUE(printed(201)) << "the synthesized click did not reach the button";
  // The glide's 250 ms, then 100 ms after each button input: 450 ms (Wine's sleeps may end a
  // tick early).
  EXPECT_GE(elapsed + std::chrono::milliseconds(20), std::chrono::milliseconds(450))
      << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << " ms";
  const auto* warning = capture.find("no UIA pattern matched; used mouse-click fallback");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(warning->level, log::Level::Warn);
  EXPECT_EQ(warning->target, "vantro::windows");
  EXPECT_EQ(*warning->field("id"), picking::debug_text(*id));
  EXPECT_EQ(capture.find("element invoked via UIA pattern"), nullptr);
}

TEST_F(Activation, TheSystemMouseClicksTheControlToo) {
  const std::optional<ElementId> id = start_with_failing_button(L"system", 202);
  ASSERT_TRUE(id.has_value()) << "control not collected";
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(find_control(app_->window(), 202), &rect));
  ASSERT_TRUE(SetCursorPos(rect.left - 30, rect.top - 30));
  const Result<void> done = perform(*client_, *id);
  ASSERT_TRUE(done.has_value()) << done.error().alternate();
  EXPECT_TRUE(printed(202)) << "the synthesized click did not reach the button";
}

// The pick-element flow over the real client and activation, with an overlay stand-in that
// makes the control vanish while it is "open" and then chooses it.
class VanishingPick final : public picking::ElementPickSteps {
 public:
  enum class Vanish { Hidden, ApplicationClosed };

  VanishingPick(UiaClient& client, picking::MouseDevice& mouse, SampleAppProcess& app, int control,
                Vanish how)
      : client_(client), mouse_(mouse), app_(app), control_(control), how_(how) {}

  bool chosen = false;
  bool notified = false;

  Result<std::vector<picking::ElementInfo>> enumerate_foreground() override {
    return client_.enumerate_foreground();
  }
  Result<std::optional<std::size_t>> run_overlay(std::span<const overlay::OverlayTarget> targets) override {
    const HWND control = find_control(app_.window(), control_);
    RECT rect{};
    if (!GetWindowRect(control, &rect)) return std::optional<std::size_t>{};
    for (std::size_t i = 0; i < targets.size(); ++i) {
      if (targets[i].x != rect.left || targets[i].y != rect.top) continue;
      if (how_ == Vanish::Hidden) {
        ShowWindow(control, SW_HIDE);
        if (IsWindowVisible(control)) return std::optional<std::size_t>{};
      } else {
        app_.stop();
      }
      chosen = true;
      return std::optional<std::size_t>{i};
    }
    return std::optional<std::size_t>{};
  }
  Result<void> perform(picking::ElementId id) override { return windows::perform(client_, id, mouse_); }
  void notify(std::string_view, std::string_view, NotificationLevel) override { notified = true; }

 private:
  UiaClient& client_;
  picking::MouseDevice& mouse_;
  SampleAppProcess& app_;
  int control_;
  Vanish how_;
};

TEST_F(Activation, AnElementThatVanishedWhileTheOverlayWasOpenIsNotClicked) {
  using Vanish = VanishingPick::Vanish;
  struct Case {
    const char* name;
    Vanish how;
    std::string error;  // the WARN's error field
  };
  const Case cases[] = {
      {"the control hidden: its rectangle reads as 0, 0, 0, 0", Vanish::Hidden,
       "invoking element failed\n\nCaused by:\n    0: element.click() failed\n"
       "    1: element bounding rectangle has no area: left 0, top 0, right 0, bottom 0"},
      {"the application closed: its rectangle cannot be read", Vanish::ApplicationClosed,
       "invoking element failed\n\nCaused by:\n    0: element.click() failed\n"
       "    1: the element is no longer available"},
  };
  const hint::HintGenerator hints(hint::kDefaultAlphabet);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start(
        L"--title vanishing --pos 300,200 --size 400,300 "
        L"button,id=401,text=Vanish,x=150,y=100,w=120,h=40,fail=all");
    WatchedMouse mouse;
    VanishingPick steps(*client_, mouse, *app_, 401, c.how);
    test_support::LogCapture capture(log::Level::Debug);
    const Result<void> picked = picking::pick_element(steps, hints);
    ASSERT_TRUE(picked.has_value()) << "a failed activation is no failed action: "
                                    << picked.error().alternate();
    ASSERT_TRUE(steps.chosen) << "the control was not among the targets, or did not vanish";
    EXPECT_FALSE(steps.notified);

    // Every input goes through the watched mouse. (Where GetCursorPos reads afterwards says
    // nothing here: Wine takes the X pointer's position when a window under it is hidden or
    // closed.)
    EXPECT_TRUE(mouse.sent.empty()) << mouse.sent.size() << " inputs sent";
    if (c.how == Vanish::Hidden) {
      EXPECT_FALSE(app_->wait_for_line("command id=401", std::chrono::milliseconds(300)).has_value())
          << "the hidden button was clicked";
    }

    const auto* warning = capture.find("perform failed");
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->level, log::Level::Warn);
    EXPECT_EQ(warning->target, "vantro");
    const std::string* error = warning->field("error");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(*error, c.error);
    EXPECT_EQ(capture.find("no UIA pattern matched; used mouse-click fallback"), nullptr);
    app_.reset();
  }
}

// The pick action over the real overlay, activation and mouse: while the overlay is open the
// target window goes where the system puts a minimised window, or just past the screen's left
// or top edge (the button's right or bottom edge on the screen's first column or row, no pixel
// of it on the screen), and then its label is typed.
TEST_F(Activation, AWindowMovedOffTheScreenWhileTheOverlayWasOpenIsNotClicked) {
  enum class Place { Minimised, JustLeft, JustAbove };
  struct Case {
    const char* name;
    Place place;
  };
  const Case cases[] = {{"where a minimised window goes", Place::Minimised},
                        {"just past the left edge", Place::JustLeft},
                        {"just past the top edge", Place::JustAbove}};
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const app::PickContext context = app::make_pick_context(config::Config{});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ElementId> id = start_with_failing_button(L"offscreen", 501);
    ASSERT_TRUE(id.has_value()) << "control not collected";
    const std::string label = context.hints.generate(elements_.size())[id->value];
    std::vector<UINT> keys;
    for (const char letter : label) keys.push_back(static_cast<UINT>(letter - 'a' + 'A'));

    // Away from the window (300,200 to 700,500 and a little more) and from the screen's edges.
    const POINT parked{left + width - 200, top + height - 100};
    ASSERT_TRUE(place_cursor(parked)) << "the cursor did not reach " << parked.x << "," << parked.y;

    const HWND window = app_->window();
    const HWND button = find_control(window, 501);
    RECT moved{};
    const auto move_away = [&](HWND) {
      RECT frame{};
      RECT rect{};
      if (!GetWindowRect(window, &frame) || !GetWindowRect(button, &rect)) return false;
      POINT to{-32000, -32000};
      if (c.place == Place::JustLeft) to = {frame.left + left - rect.right, frame.top};
      if (c.place == Place::JustAbove) to = {frame.left, frame.top + top - rect.bottom};
      SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      if (!GetWindowRect(button, &moved)) return false;
      switch (c.place) {
        case Place::Minimised:
          return moved.right < -30000 && moved.bottom < -30000;
        case Place::JustLeft:
          return moved.right == left && moved.top > top && moved.bottom < top + height;
        case Place::JustAbove:
          return moved.bottom == top && moved.left > left && moved.right < left + width;
      }
      return false;
    };
    test_support::OverlayDriver driver({test_support::paint_now(), move_away, test_support::post_keys(keys)});
    test_support::LogCapture capture(log::Level::Debug);
    const Result<void> picked = app::run_pick_element(*client_, context);
    ASSERT_TRUE(picked.has_value()) << "a failed activation is no failed action: "
                                    << picked.error().alternate();
    ASSERT_TRUE(driver.finished()) << driver.progress();

    // No input at all: the cursor is where it was parked, and nothing was clicked.
    const CursorReading reading = wait_for_cursor(parked);
    EXPECT_TRUE(reading.there) << "the cursor moved to " << reading.last.x << "," << reading.last.y;
    EXPECT_FALSE(app_->wait_for_line("command id=501", std::chrono::milliseconds(300)).has_value())
        << "the button was clicked";

    const auto* warning = capture.find("perform failed");
    ASSERT_NE(warning, nullptr) << "the activation did not fail";
    EXPECT_EQ(warning->level, log::Level::Warn);
    const std::string* error = warning->field("error");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(*error,
              fmt::format("invoking element failed\n\nCaused by:\n    0: element.click() failed\n"
                          "    1: element lies outside the virtual screen: left {}, top {}, right {}, "
                          "bottom {}; virtual screen left {}, top {}, width {}, height {}",
                          moved.left, moved.top, moved.right, moved.bottom, left, top, width, height));
    EXPECT_EQ(capture.find("no UIA pattern matched; used mouse-click fallback"), nullptr);
    app_.reset();
  }
}

TEST_F(Activation, AnIdTheLatestEnumerationDoesNotHoldIsRefused) {
  start(L"--title stale button,id=301,text=A button,id=302,text=B");
  ASSERT_EQ(elements_.size(), 2u);
  ASSERT_TRUE(client_->enumerate_foreground().has_value());
  const Result<void> beyond = perform(*client_, ElementId{2});
  ASSERT_FALSE(beyond.has_value());
  EXPECT_EQ(beyond.error().alternate(), "unknown element id ElementId(2)");

  // A second application with fewer controls: the earlier id 1 names nothing any more.
  app_.reset();
  start(L"--title fewer button,id=303,text=Only");
  ASSERT_EQ(elements_.size(), 1u);
  const Result<void> stale = perform(*client_, ElementId{1});
  ASSERT_FALSE(stale.has_value());
  EXPECT_EQ(stale.error().alternate(), "unknown element id ElementId(1)");
  EXPECT_EQ(stale.error().chain().size(), 1u) << "no context around it";
}

}  // namespace
}  // namespace vantro::windows
