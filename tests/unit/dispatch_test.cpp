#include "dispatch/dispatch.h"

#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include <fmt/format.h>

#include "dispatch/log_viewer.h"
#include "dispatch/startup_texts.h"
#include "support/log_capture.h"

namespace vantro::dispatch {
namespace {

using test_support::LogCapture;

// Records every call in one list, so that orders across kinds of call are visible.
class FakeHandlers final : public ActionHandlers {
 public:
  Result<void> pick_element() override { return answer("pick_element", pick_element_result); }
  Result<void> pick_window() override { return answer("pick_window", pick_window_result); }
  Result<bool> open_settings() override {
    calls.push_back("open_settings");
    return settings_result;
  }
  Result<void> view_log() override { return answer("view_log", view_log_result); }
  void post_quit() override { calls.push_back("post_quit"); }
  void notify(std::string_view title, std::string_view body, NotificationLevel level) override {
    calls.push_back(fmt::format("notify {}", title));
    boxes.push_back({std::string(title), std::string(body), level});
    if (while_box_is_open) while_box_is_open();
  }

  struct Box {
    std::string title;
    std::string body;
    NotificationLevel level;
    friend bool operator==(const Box&, const Box&) = default;
  };

  Result<void> pick_element_result;
  Result<void> pick_window_result;
  Result<bool> settings_result = false;
  Result<void> view_log_result;
  // Runs while a box is open, as the box's own message loop would run window procedures.
  std::function<void()> while_box_is_open;
  std::vector<std::string> calls;
  std::vector<Box> boxes;

 private:
  Result<void> answer(const char* name, const Result<void>& result) {
    calls.push_back(name);
    return result;
  }
};

Error nested_error() {
  return Error("Access is denied. (0x80070005)").context("reading the element tree");
}

using Calls = std::vector<std::string>;

TEST(Dispatch, HotkeyActionsRunInOrderAndFailuresAreShown) {
  LogCapture capture;
  FakeHandlers handlers;
  handlers.pick_element_result = fail(nested_error());
  const Action actions[] = {Action::PickElement, Action::PickWindow, Action::PickElement};
  run_actions(actions, handlers);
  EXPECT_EQ(handlers.calls, (Calls{"pick_element", "notify vantro: action failed", "pick_window",
                                   "pick_element", "notify vantro: action failed"}));
  const FakeHandlers::Box expected{"vantro: action failed",
                                   "PickElement failed:\nreading the element tree\n\nSee log for details.",
                                   NotificationLevel::Error};
  EXPECT_EQ(handlers.boxes.front(), expected);

  const auto* event = capture.find("hotkey handler failed");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->level, log::Level::Error);
  EXPECT_EQ(event->target, "vantro");
  EXPECT_EQ(*event->field("action"), "PickElement");
  EXPECT_EQ(*event->field("error"), nested_error().debug());
}

TEST(Dispatch, FailedPickWindowBodyNamesTheAction) {
  EXPECT_EQ(action_failed_body(Action::PickWindow, Error("no windows")),
            "PickWindow failed:\nno windows\n\nSee log for details.");
}

TEST(Dispatch, TrayCommandFailuresAndTheirBoxes) {
  struct Case {
    TrayCommand command;
    std::string event;
    std::optional<FakeHandlers::Box> box;
  };
  const std::string body = "reading the element tree\n\nSee log for details.";
  const Case cases[] = {
      {TrayCommand::PickElement, "tray PickElement failed",
       FakeHandlers::Box{"vantro: pick element failed", body, NotificationLevel::Error}},
      {TrayCommand::PickWindow, "tray PickWindow failed",
       FakeHandlers::Box{"vantro: pick window failed", body, NotificationLevel::Error}},
      {TrayCommand::Settings, "settings window failed",
       FakeHandlers::Box{"Couldn't open Settings", "reading the element tree", NotificationLevel::Error}},
      {TrayCommand::ViewLog, "failed to open log file", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    LogCapture capture;
    FakeHandlers handlers;
    handlers.pick_element_result = handlers.pick_window_result = handlers.view_log_result =
        fail(nested_error());
    handlers.settings_result = fail(nested_error());
    const TrayCommand commands[] = {c.command};
    run_tray_commands(commands, handlers);
    const auto* event = capture.find(c.event);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->level, log::Level::Error);
    EXPECT_EQ(*event->field("error"), nested_error().debug());
    if (c.box) {
      ASSERT_EQ(handlers.boxes.size(), 1u);
      EXPECT_EQ(handlers.boxes[0], *c.box);
    } else {
      EXPECT_TRUE(handlers.boxes.empty());
    }
  }
}

TEST(Dispatch, SettingsSavedTellsTheUserToRestart) {
  FakeHandlers handlers;
  const TrayCommand settings[] = {TrayCommand::Settings};
  run_tray_commands(settings, handlers);
  EXPECT_TRUE(handlers.boxes.empty()) << "closed without saving: no box";
  handlers.settings_result = true;
  run_tray_commands(settings, handlers);
  ASSERT_EQ(handlers.boxes.size(), 1u);
  EXPECT_EQ(
      handlers.boxes[0],
      (FakeHandlers::Box{"Settings saved", "Restart vantro to apply hotkey, alphabet, and color changes.",
                         NotificationLevel::Info}));
}

TEST(Dispatch, QuitLetsTheRestOfTheListRun) {
  LogCapture capture;
  FakeHandlers handlers;
  const TrayCommand commands[] = {TrayCommand::PickElement, TrayCommand::Quit, TrayCommand::PickWindow,
                                  TrayCommand::ViewLog};
  run_tray_commands(commands, handlers);
  EXPECT_EQ(handlers.calls, (Calls{"pick_element", "post_quit", "pick_window", "view_log"}));
  const auto* quit = capture.find("quit requested from tray");
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(quit->level, log::Level::Info);
  EXPECT_TRUE(quit->fields.empty());
  EXPECT_TRUE(handlers.boxes.empty());
}

// Plays back a fixed series of messages; each brings events into the two channels, which the
// drains empty.
class ScriptedPump final : public MessagePump {
 public:
  // What reaches the channels; no tray channel while `commands` has been empty every time.
  struct Step {
    std::vector<Action> actions;
    std::optional<std::vector<TrayCommand>> commands;
  };
  ScriptedPump(std::deque<Step> steps, std::vector<std::string>& calls)
      : steps_(std::move(steps)), calls_(calls) {}

  bool dispatch_next() override {
    if (steps_.empty()) return false;
    arrive(std::move(steps_.front()));
    steps_.pop_front();
    calls_.push_back("dispatch");
    return true;
  }
  // Events that reach the channels with no message for the main loop: a window procedure that
  // a nested loop ran put them there.
  void arrive(Step step) {
    actions_.insert(actions_.end(), step.actions.begin(), step.actions.end());
    if (!step.commands) return;
    if (!commands_) commands_.emplace();
    commands_->insert(commands_->end(), step.commands->begin(), step.commands->end());
  }
  std::vector<Action> drain_actions() override {
    calls_.push_back("drain actions");
    return std::exchange(actions_, {});
  }
  std::optional<std::vector<TrayCommand>> drain_tray_commands() override {
    if (!commands_) return std::nullopt;
    calls_.push_back("drain tray");
    return std::exchange(*commands_, {});
  }

 private:
  std::deque<Step> steps_;
  std::vector<Action> actions_;
  std::optional<std::vector<TrayCommand>> commands_;
  std::vector<std::string>& calls_;
};

TEST(Dispatch, MainLoopDrainsHotkeysBeforeTheTrayUntilBothAreEmpty) {
  FakeHandlers handlers;
  ScriptedPump pump({{{Action::PickWindow}, std::vector{TrayCommand::PickElement}},
                     {{}, std::vector<TrayCommand>{}},
                     {{Action::PickElement}, std::vector{TrayCommand::Quit}}},
                    handlers.calls);
  run_main_loop(pump, handlers);
  EXPECT_EQ(handlers.calls,
            (Calls{"dispatch", "drain actions", "pick_window", "drain tray", "pick_element",  //
                   "drain actions", "drain tray",                                             //
                   "dispatch", "drain actions", "drain tray",                                 //
                   "dispatch", "drain actions", "pick_element", "drain tray", "post_quit",    //
                   "drain actions", "drain tray"}));
}

TEST(Dispatch, MainLoopWithoutTrayNeverDrainsIt) {
  FakeHandlers handlers;
  ScriptedPump pump({{{Action::PickElement}, std::nullopt}, {{}, std::nullopt}}, handlers.calls);
  run_main_loop(pump, handlers);
  EXPECT_EQ(handlers.calls, (Calls{"dispatch", "drain actions", "pick_element", "drain actions",  //
                                   "dispatch", "drain actions"}));
}

TEST(Dispatch, EventsThatArriveWhileABoxIsOpenRunBeforeTheLoopWaitsAgain) {
  FakeHandlers handlers;
  handlers.pick_element_result = fail(nested_error());
  // One message only: the tray's Pick element, whose failure box is open while a hotkey is
  // pressed and Quit is chosen in the tray menu.
  ScriptedPump pump({{{}, std::vector{TrayCommand::PickElement}}}, handlers.calls);
  int boxes_open = 0;
  handlers.while_box_is_open = [&] {
    if (++boxes_open == 1) pump.arrive({{Action::PickWindow}, std::vector{TrayCommand::Quit}});
  };
  run_main_loop(pump, handlers);
  EXPECT_EQ(handlers.calls, (Calls{"dispatch", "drain actions", "drain tray", "pick_element",
                                   "notify vantro: pick element failed", "drain actions", "pick_window",
                                   "drain tray", "post_quit",  //
                                   "drain actions", "drain tray"}));
}

TEST(StartupTexts, BannerShowsTheChordsAsConfigured) {
  const config::HotkeyBindings defaults;
  EXPECT_EQ(banner_text(defaults, true),
            "vantro 0.3.0 is running.\n"
            "  Pick element : Ctrl+Shift+Space\n"
            "  Pick window  : Ctrl+Alt+Space\n"
            "  Cancel       : Esc (inside overlay)\n"
            "  Quit         : Tray menu \u2192 Quit, or `vantro --close`\n"
            "\n"
            "Switch focus to any app, then press a leader.\n");
  const config::HotkeyBindings odd{" ctrl+Nope ", ""};
  EXPECT_EQ(banner_text(odd, false),
            "vantro 0.3.0 is running.\n"
            "  Pick element :  ctrl+Nope \n"
            "  Pick window  : \n"
            "  Cancel       : Esc (inside overlay)\n"
            "  Quit         : `vantro --close`\n"
            "\n"
            "Switch focus to any app, then press a leader.\n");
}

TEST(LogViewer, LatestLastWriteWinsAndTiesGoToTheLaterEntry) {
  using log::DirEntry;
  using log::EntryKind;
  struct Case {
    const char* name;
    std::vector<DirEntry> entries;
    std::optional<std::size_t> expected;
  };
  const Case cases[] = {
      {"none", {}, std::nullopt},
      {"no matching name",
       {{u"Vantro.log", EntryKind::File, 0, 9}, {u"x.log", EntryKind::File, 0, 9}},
       std::nullopt},
      {"newest whatever the name",
       {{u"vantro.2026-01-02.log", EntryKind::File, 0, 100},
        {u"vantro-notes", EntryKind::File, 0, 300},
        {u"vantro.2026-01-03.log", EntryKind::File, 0, 200}},
       1},
      {"tie goes to the later",
       {{u"vantro.a.log", EntryKind::File, 0, 50}, {u"vantro.b.log", EntryKind::File, 0, 50}},
       1},
      {"directories count too",
       {{u"vantro.a.log", EntryKind::File, 0, 50}, {u"vantro-dir", EntryKind::Directory, 0, 60}},
       1},
      {"newer non-matching entry ignored",
       {{u"vantro.a.log", EntryKind::File, 0, 50}, {u"other.log", EntryKind::File, 0, 90}},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(choose_log_to_view(c.entries), c.expected);
  }
}

TEST(LogViewer, NotepadGetsThePathAsOneArgument) {
  struct Case {
    std::u16string path;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"C:\\logs\\vantro.2026-01-01.log", u"\"notepad.exe\" C:\\logs\\vantro.2026-01-01.log"},
      {u"C:\\Users\\A B\\vantro.log", u"\"notepad.exe\" \"C:\\Users\\A B\\vantro.log\""},
      {u"C:\\dir with space\\", u"\"notepad.exe\" \"C:\\dir with space\\\\\""},
      {u"a\"b", u"\"notepad.exe\" a\\\"b"},
      {u"a\\\\\"b c", u"\"notepad.exe\" \"a\\\\\\\\\\\"b c\""},
      {u"", u"\"notepad.exe\" \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(text::to_utf8(c.path));
    EXPECT_EQ(notepad_command_line(c.path), c.expected);
  }
}

}  // namespace
}  // namespace vantro::dispatch
