#include "picking/window_filter.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/log_capture.h"

namespace vantro::picking {
namespace {

WindowFacts listed_window() {
  return {.hwnd = {0x1a2b},
          .visible = true,
          .cloaked = 0,
          .root_owner_is_self = true,
          .ex_style = 0x100,  // WS_EX_WINDOWEDGE
          .class_name = "Notepad",
          .title = "Untitled - Notepad",
          .minimized = false,
          .frame = FrameRect{10, 20, 800, 600}};
}

TEST(WindowFilter, EachFilterInItsOrder) {
  struct Case {
    const char* what;
    std::function<void(WindowFacts&)> change;
    WindowDecision expected;
    const char* event;  // the TRACE event, or null for a silent skip
  } cases[] = {
      {"plain window", [](WindowFacts&) {}, Listed{{10, 20, 800, 600}}, "window included"},
      {"hidden", [](WindowFacts& f) { f.visible = false; }, Skipped{SkipReason::NotVisible}, nullptr},
      {"hidden beats everything else",
       [](WindowFacts& f) {
         f.visible = false;
         f.cloaked = 2;
         f.title.clear();
       },
       Skipped{SkipReason::NotVisible}, nullptr},
      {"cloaked", [](WindowFacts& f) { f.cloaked = 2; }, Skipped{SkipReason::Cloaked},
       "skipped: cloaked window"},
      {"owned", [](WindowFacts& f) { f.root_owner_is_self = false; }, Skipped{SkipReason::Owned}, nullptr},
      {"tool window", [](WindowFacts& f) { f.ex_style |= 0x80; }, Skipped{SkipReason::ToolWindow}, nullptr},
      {"taskbar", [](WindowFacts& f) { f.class_name = "Shell_TrayWnd"; }, Skipped{SkipReason::ShellClass},
       "skipped: shell class"},
      {"desktop", [](WindowFacts& f) { f.class_name = "Progman"; }, Skipped{SkipReason::ShellClass},
       "skipped: shell class"},
      {"desktop worker", [](WindowFacts& f) { f.class_name = "WorkerW"; }, Skipped{SkipReason::ShellClass},
       "skipped: shell class"},
      {"shell class in other case", [](WindowFacts& f) { f.class_name = "progman"; },
       Listed{{10, 20, 800, 600}}, "window included"},
      {"shell class with a suffix", [](WindowFacts& f) { f.class_name = "WorkerW2"; },
       Listed{{10, 20, 800, 600}}, "window included"},
      {"unreadable class", [](WindowFacts& f) { f.class_name.clear(); }, Listed{{10, 20, 800, 600}},
       "window included"},
      {"untitled", [](WindowFacts& f) { f.title.clear(); }, Skipped{SkipReason::EmptyTitle},
       "skipped: empty title"},
      {"minimized", [](WindowFacts& f) { f.minimized = true; }, Listed{{0, 0, 200, 40}}, "window included"},
      {"minimized needs no frame",
       [](WindowFacts& f) {
         f.minimized = true;
         f.frame.reset();
       },
       Listed{{0, 0, 200, 40}}, "window included"},
      {"no frame", [](WindowFacts& f) { f.frame.reset(); }, Skipped{SkipReason::NoFrame}, nullptr},
      {"zero width", [](WindowFacts& f) { f.frame->width = 0; }, Skipped{SkipReason::InvalidDimensions},
       "skipped: invalid dimensions"},
      {"negative height", [](WindowFacts& f) { f.frame->height = -5; },
       Skipped{SkipReason::InvalidDimensions}, "skipped: invalid dimensions"},
      {"one pixel",
       [](WindowFacts& f) {
         f.frame = FrameRect{-5, -5, 1, 1};
       },
       Listed{{-5, -5, 1, 1}}, "window included"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowFacts facts = listed_window();
    c.change(facts);
    test_support::LogCapture capture;
    EXPECT_EQ(decide_window(facts), c.expected);
    if (c.event == nullptr) {
      EXPECT_TRUE(capture.events().empty());
    } else {
      ASSERT_EQ(capture.events().size(), 1u);
      EXPECT_EQ(capture.events()[0].message, c.event);
      EXPECT_EQ(capture.events()[0].level, log::Level::Trace);
      EXPECT_EQ(capture.events()[0].target, "vantro::windows::window_picker");
      EXPECT_EQ(*capture.events()[0].field("hwnd"), "HWND(0x1a2b)");
    }
  }
}

TEST(WindowFilter, EventFields) {
  struct Case {
    const char* what;
    std::function<void(WindowFacts&)> change;
    std::vector<std::pair<std::string, std::string>> fields;
  } cases[] = {
      {"cloaked", [](WindowFacts& f) { f.cloaked = 2; }, {{"hwnd", "HWND(0x1a2b)"}, {"cloaked", "2"}}},
      {"shell",
       [](WindowFacts& f) { f.class_name = "Progman"; },
       {{"hwnd", "HWND(0x1a2b)"}, {"class", "\"Progman\""}}},
      {"untitled",
       [](WindowFacts& f) { f.title.clear(); },
       {{"hwnd", "HWND(0x1a2b)"}, {"class", "\"Notepad\""}}},
      {"zero width",
       [](WindowFacts& f) { f.frame->width = 0; },
       {{"hwnd", "HWND(0x1a2b)"}, {"title", "\"Untitled - Notepad\""}}},
      {"included minimized",
       [](WindowFacts& f) { f.minimized = true; },
       {{"hwnd", "HWND(0x1a2b)"},
        {"title", "\"Untitled - Notepad\""},
        {"class", "\"Notepad\""},
        {"x", "0"},
        {"y", "0"},
        {"width", "200"},
        {"height", "40"},
        {"is_minimized", "true"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowFacts facts = listed_window();
    c.change(facts);
    test_support::LogCapture capture;
    (void)decide_window(facts);
    ASSERT_EQ(capture.events().size(), 1u);
    EXPECT_EQ(capture.events()[0].fields, c.fields);
  }
}

TEST(WindowFilter, HandleDebugForm) {
  EXPECT_EQ(debug_text(WindowHandle{0}), "HWND(0x0)");
  EXPECT_EQ(debug_text(WindowHandle{0xC0FFEE}), "HWND(0xc0ffee)");
}

}  // namespace
}  // namespace vantro::picking
