#include "windows/notification.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/message_box_recorder.h"

namespace vantro::windows {
namespace {

using test_support::ForegroundLock;
using test_support::LogCapture;

// Replaces the message box for one test and restores the previous one afterwards.
class NotifySeam : public testing::Test {
 protected:
  [[nodiscard]] const std::vector<test_support::RecordedBox>& shown() const { return recorder_.boxes(); }
  test_support::BoxRecorder recorder_;
};

TEST_F(NotifySeam, LevelChoosesIconAndEventLevel) {
  struct Case {
    NotificationLevel level;
    UINT icon;
    log::Level event_level;
  } cases[] = {
      {NotificationLevel::Info, MB_ICONINFORMATION, log::Level::Info},
      {NotificationLevel::Warning, MB_ICONWARNING, log::Level::Warn},
      {NotificationLevel::Error, MB_ICONERROR, log::Level::Error},
      {static_cast<NotificationLevel>(7), MB_ICONERROR, log::Level::Error},  // unknown: Error
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.level));
    recorder_.clear();
    LogCapture capture;
    notify("vantro", "No visible windows to pick from.", c.level);

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].owner, nullptr);
    EXPECT_EQ(shown()[0].type, MB_OK | c.icon);  // the icon flag alone: no modality or topmost flags
    EXPECT_EQ(shown()[0].caption, L"vantro");
    EXPECT_EQ(shown()[0].text, L"No visible windows to pick from.");

    ASSERT_EQ(capture.events().size(), 1u);
    const auto& event = capture.events()[0];
    EXPECT_EQ(event.level, c.event_level);
    EXPECT_EQ(event.target, "vantro::windows::notification");
    EXPECT_EQ(event.message, "user notification");
    ASSERT_NE(event.field("title"), nullptr);
    EXPECT_EQ(*event.field("title"), "vantro");
    ASSERT_NE(event.field("body"), nullptr);
    EXPECT_EQ(*event.field("body"), "No visible windows to pick from.");
  }
  EXPECT_EQ(MB_ICONINFORMATION, 0x40u);
  EXPECT_EQ(MB_ICONWARNING, 0x30u);
  EXPECT_EQ(MB_ICONERROR, 0x10u);
}

TEST_F(NotifySeam, TextsReachTheBoxAsUtf16WithLineFeedsUnchanged) {
  LogCapture capture;
  const std::string body =
      "Some hotkeys couldn't be registered:\n\nCtrl+Shift+Space \xE2\x80\x94 already in use by another "
      "application\n\nOpen Settings from the tray to choose a different chord.";
  notify("vantro: hotkey conflict \xC3\xA9\xF0\x9F\x98\x80", body, NotificationLevel::Warning);

  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].caption, L"vantro: hotkey conflict \u00E9\U0001F600");
  EXPECT_EQ(shown()[0].text,
            L"Some hotkeys couldn't be registered:\n\nCtrl+Shift+Space \u2014 already in use by another "
            L"application\n\nOpen Settings from the tray to choose a different chord.");
  ASSERT_NE(capture.find("user notification"), nullptr);
  EXPECT_EQ(*capture.find("user notification")->field("body"), body);  // display form: unchanged
}

TEST_F(NotifySeam, BoxIsShownWhenTheFilterDropsTheEvent) {
  LogCapture capture(log::Level::Error);
  notify("Settings saved", "Restart vantro to apply hotkey, alphabet, and color changes.",
         NotificationLevel::Info);
  EXPECT_TRUE(capture.events().empty());
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].caption, L"Settings saved");
}

TEST_F(NotifySeam, EmptyTexts) {
  notify("", "", NotificationLevel::Error);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].caption, L"");
  EXPECT_EQ(shown()[0].text, L"");
}

TEST_F(NotifySeam, NullRestoresTheRealMessageBox) {
  EXPECT_EQ(set_message_box_for_tests(nullptr), &test_support::record_box);
  EXPECT_EQ(set_message_box_for_tests(&test_support::record_box), &MessageBoxW);
}

// The child windows' texts of a dialog.
std::vector<std::wstring> child_texts(HWND dialog) {
  std::vector<std::wstring> texts;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t buffer[512] = {};
        GetWindowTextW(child, buffer, static_cast<int>(std::size(buffer)));
        reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(buffer);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The real MessageBoxW: a second thread finds the box of this thread by its caption, reads
// it and closes it, so the test never waits on a person.
TEST(Notify, ShowsARealMessageBoxAndReturnsWhenItIsClosed) {
  // The box takes the foreground from whatever test window has it.
  const ForegroundLock foreground;
  ASSERT_TRUE(foreground.held()) << "foreground lock not acquired in time";
  const wchar_t* const caption = L"vantro notification test box";
  const DWORD ui_thread = GetCurrentThreadId();
  std::atomic<bool> found{false};
  HWND owner = reinterpret_cast<HWND>(1);
  std::vector<std::wstring> texts;

  std::thread closer([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      HWND box = FindWindowW(L"#32770", caption);
      if (box && GetWindowThreadProcessId(box, nullptr) == ui_thread && IsWindowVisible(box)) {
        found = true;
        owner = GetWindow(box, GW_OWNER);
        texts = child_texts(box);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // No box found in time: close whatever this thread shows so that the test ends.
    EnumThreadWindows(
        ui_thread,
        [](HWND window, LPARAM) -> BOOL {
          PostMessageW(window, WM_CLOSE, 0, 0);
          return TRUE;
        },
        0);
  });

  LogCapture capture;
  const auto started = std::chrono::steady_clock::now();
  notify("vantro notification test box", "first line\nsecond line", NotificationLevel::Warning);
  const auto waited = std::chrono::steady_clock::now() - started;
  closer.join();

  EXPECT_TRUE(found) << "no message box with the caption appeared";
  EXPECT_EQ(owner, nullptr);
  bool body_shown = false;
  for (const auto& t : texts) body_shown = body_shown || t == L"first line\nsecond line";
  EXPECT_TRUE(body_shown) << "the body is not among the box's texts";
  EXPECT_LT(waited, std::chrono::seconds(20));
  ASSERT_NE(capture.find("user notification"), nullptr);
  EXPECT_EQ(capture.find("user notification")->level, log::Level::Warn);
}

}  // namespace
}  // namespace vantro::windows
