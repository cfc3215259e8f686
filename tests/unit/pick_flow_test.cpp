#include "picking/pick_flow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/log_capture.h"

namespace vantro::picking {
namespace {

using test_support::LogCapture;

struct Notice {
  std::string title, body;
  NotificationLevel level;
  friend bool operator==(const Notice&, const Notice&) = default;
};

class FakeElementSteps final : public ElementPickSteps {
 public:
  Result<std::vector<ElementInfo>> enumerated = std::vector<ElementInfo>{};
  Result<std::optional<std::size_t>> overlay_answer = std::optional<std::size_t>{};
  Result<void> perform_answer;

  std::vector<std::vector<overlay::OverlayTarget>> overlays;
  std::vector<ElementId> performed;
  std::vector<Notice> notices;

  Result<std::vector<ElementInfo>> enumerate_foreground() override { return enumerated; }
  Result<std::optional<std::size_t>> run_overlay(std::span<const overlay::OverlayTarget> targets) override {
    overlays.emplace_back(targets.begin(), targets.end());
    return overlay_answer;
  }
  Result<void> perform(ElementId id) override {
    performed.push_back(id);
    return perform_answer;
  }
  void notify(std::string_view title, std::string_view body, NotificationLevel level) override {
    notices.push_back({std::string(title), std::string(body), level});
  }
};

const std::vector<ElementInfo> kThree = {
    {ElementId{0}, 10, 20, 30, 40, Role::Button},
    {ElementId{1}, -5, 0, 1, 1, Role::Checkbox},
    {ElementId{2}, 100, 200, 50, 25, Role::TreeItem},
};

Error element_layer_failure() {
  return Error("Unknown error (0x80004005)").context("element_from_handle for foreground window failed");
}

TEST(PickElement, EnumerationErrorIsReturnedUnchanged) {
  FakeElementSteps steps;
  steps.enumerated = fail(element_layer_failure());
  LogCapture capture;
  const auto result = pick_element(steps, hint::HintGenerator("asdf"));
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error(), element_layer_failure());
  EXPECT_TRUE(steps.overlays.empty());
  EXPECT_TRUE(steps.notices.empty());
  EXPECT_TRUE(capture.events().empty());
}

TEST(PickElement, NoElementsTellsTheUserAndSucceeds) {
  FakeElementSteps steps;
  LogCapture capture;
  EXPECT_TRUE(pick_element(steps, hint::HintGenerator("asdf")).has_value());
  EXPECT_EQ(steps.notices,
            (std::vector<Notice>{{"vantro", "No interactive elements found in the foreground window.",
                                  NotificationLevel::Info}}));
  EXPECT_TRUE(steps.overlays.empty());
  const auto* event = capture.find("no interactable elements in foreground window");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->level, log::Level::Info);
  EXPECT_EQ(event->target, "vantro");
  EXPECT_TRUE(event->fields.empty());
}

TEST(PickElement, TargetsCarryTheLabelsAndRectanglesInListOrder) {
  FakeElementSteps steps;
  steps.enumerated = kThree;
  LogCapture capture;
  EXPECT_TRUE(pick_element(steps, hint::HintGenerator("xy")).has_value());
  ASSERT_EQ(steps.overlays.size(), 1u);
  const std::vector<overlay::OverlayTarget> expected = {
      {"xx", std::nullopt, 10, 20, 30, 40},
      {"xy", std::nullopt, -5, 0, 1, 1},
      {"yx", std::nullopt, 100, 200, 50, 25},
  };
  EXPECT_EQ(steps.overlays[0], expected);
  const auto* shown = capture.find("showing element overlay");
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->level, log::Level::Info);
  EXPECT_EQ(shown->target, "vantro");
  EXPECT_EQ(*shown->field("count"), "3");
}

TEST(PickElement, OverlayOutcomes) {
  struct Case {
    std::string name;
    Result<std::optional<std::size_t>> answer;
    Result<void> perform_answer;
    bool succeeds;
    std::vector<ElementId> performed;
    std::vector<std::string> messages;  // after "showing element overlay"
  } cases[] = {
      {"cancelled", std::optional<std::size_t>{}, {}, true, {}, {"element overlay cancelled"}},
      {"overlay failed",
       fail(Error("CreateWindowExW failed").context("creating overlay window")),
       {},
       false,
       {},
       {}},
      {"chosen",
       std::optional<std::size_t>{2},
       {},
       true,
       {ElementId{2}},
       {"element selected \u2014 invoking"}},
      {"chosen, activation failed",
       std::optional<std::size_t>{1},
       fail(Error("no pattern worked").context("activating ElementId(1)")),
       true,
       {ElementId{1}},
       {"element selected \u2014 invoking", "perform failed"}},
      {"index outside the list", std::optional<std::size_t>{3}, {}, false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeElementSteps steps;
    steps.enumerated = kThree;
    steps.overlay_answer = c.answer;
    steps.perform_answer = c.perform_answer;
    LogCapture capture;
    const auto result = pick_element(steps, hint::HintGenerator("asdf"));
    EXPECT_EQ(result.has_value(), c.succeeds);
    if (!c.answer) {
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error(), c.answer.error());
    }
    EXPECT_EQ(steps.performed, c.performed);
    EXPECT_TRUE(steps.notices.empty()) << "a pick that got as far as the overlay shows no box";
    std::vector<std::string> messages;
    for (const auto& e : capture.events()) {
      EXPECT_EQ(e.target, "vantro");
      if (e.message != "showing element overlay") messages.push_back(e.message);
    }
    EXPECT_EQ(messages, c.messages);
  }
}

TEST(PickElement, SelectionAndFailedActivationEvents) {
  FakeElementSteps steps;
  steps.enumerated = kThree;
  steps.overlay_answer = std::optional<std::size_t>{1};
  const Error failure = Error("E_FAIL").context("no activation method worked");
  steps.perform_answer = fail(failure);
  LogCapture capture;
  ASSERT_TRUE(pick_element(steps, hint::HintGenerator("asdf")).has_value());

  const auto* selected = capture.find("element selected \u2014 invoking");
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->level, log::Level::Info);
  EXPECT_EQ(*selected->field("id"), "ElementId(1)");
  EXPECT_EQ(*selected->field("role"), "Checkbox");
  const auto* failed = capture.find("perform failed");
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->level, log::Level::Warn);
  EXPECT_EQ(*failed->field("error"), failure.debug());
}

struct FakeWindow {
  std::string title;
  int handle = 0;
  friend bool operator==(const FakeWindow&, const FakeWindow&) = default;
};

class FakeWindowSteps final : public WindowPickSteps<FakeWindow> {
 public:
  Result<std::vector<FakeWindow>> enumerated = std::vector<FakeWindow>{};
  Result<std::optional<FakeWindow>> picker_answer = std::optional<FakeWindow>{};
  Result<void> focus_answer;

  std::vector<std::vector<FakeWindow>> pickers;
  std::vector<FakeWindow> focused;
  std::vector<Notice> notices;

  Result<std::vector<FakeWindow>> enumerate_visible() override { return enumerated; }
  Result<std::optional<FakeWindow>> show_window_picker(std::vector<FakeWindow> windows) override {
    pickers.push_back(std::move(windows));
    return picker_answer;
  }
  Result<void> focus_window(const FakeWindow& window) override {
    focused.push_back(window);
    return focus_answer;
  }
  void notify(std::string_view title, std::string_view body, NotificationLevel level) override {
    notices.push_back({std::string(title), std::string(body), level});
  }
};

const std::vector<FakeWindow> kWindows = {{"Editor \u2014 notes.txt", 1}, {"Terminal", 2}};

TEST(PickWindow, EnumerationErrorIsReturnedUnchanged) {
  FakeWindowSteps steps;
  const Error failure = Error("Access is denied. (0x80070005)").context("EnumWindows failed");
  steps.enumerated = fail(failure);
  const auto result = pick_window(steps);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error(), failure);
  EXPECT_TRUE(steps.pickers.empty());
}

TEST(PickWindow, NoWindowsTellsTheUserAndSucceeds) {
  FakeWindowSteps steps;
  LogCapture capture;
  EXPECT_TRUE(pick_window(steps).has_value());
  EXPECT_EQ(steps.notices,
            (std::vector<Notice>{{"vantro", "No visible windows to pick from.", NotificationLevel::Info}}));
  EXPECT_TRUE(steps.pickers.empty());
  const auto* event = capture.find("no visible top-level windows");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->level, log::Level::Info);
  EXPECT_EQ(event->target, "vantro");
}

TEST(PickWindow, Outcomes) {
  struct Case {
    std::string name;
    Result<std::optional<FakeWindow>> answer;
    Result<void> focus_answer;
    bool succeeds;
    std::vector<FakeWindow> focused;
    std::vector<std::string> messages;
  } cases[] = {
      {"cancelled",
       std::optional<FakeWindow>{},
       {},
       true,
       {},
       {"showing window overlay", "window overlay cancelled"}},
      {"picker failed", fail(Error("RegisterClassExW failed")), {}, false, {}, {"showing window overlay"}},
      {"chosen",
       std::optional<FakeWindow>{kWindows[0]},
       {},
       true,
       {kWindows[0]},
       {"showing window overlay", "window selected \u2014 focusing"}},
      {"focus result is returned",
       std::optional<FakeWindow>{kWindows[1]},
       fail(Error("refused")),
       false,
       {kWindows[1]},
       {"showing window overlay", "window selected \u2014 focusing"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindowSteps steps;
    steps.enumerated = kWindows;
    steps.picker_answer = c.answer;
    steps.focus_answer = c.focus_answer;
    LogCapture capture;
    EXPECT_EQ(pick_window(steps).has_value(), c.succeeds);
    ASSERT_EQ(steps.pickers.size(), 1u);
    EXPECT_EQ(steps.pickers[0], kWindows);
    EXPECT_EQ(steps.focused, c.focused);
    std::vector<std::string> messages;
    for (const auto& e : capture.events()) messages.push_back(e.message);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(*capture.find("showing window overlay")->field("count"), "2");
    if (const auto* selected = capture.find("window selected \u2014 focusing")) {
      EXPECT_EQ(*selected->field("title"), c.focused.at(0).title);
    }
  }
}

}  // namespace
}  // namespace vantro::picking
