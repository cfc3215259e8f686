// The hotkey registrar on real windows: registration, the drain of WM_HOTKEY into actions and
// unregistration. Real key presses need the keyboard focus: tests/win/focus/hotkey_keys_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "hotkey/chord.h"
#include "hotkey/hotkey_failure.h"
#include "support/hotkey_test_helpers.h"
#include "support/log_capture.h"
#include "support/message_box_recorder.h"
#include "windows/handle.h"
#include "windows/hotkey_conflict.h"
#include "windows/hotkey_registrar.h"
#include "windows/hotkey_window.h"
#include "windows/notification.h"

namespace vantro::windows {
namespace {

using test_support::BoxRecorder;
using test_support::clear_channel;
using test_support::kCtrlAltSpaceId;
using test_support::kCtrlShiftSpaceId;
using test_support::make_registrar;
using test_support::plain_window;
using test_support::pump_pending;
using test_support::pump_until;
using Hotkeys = test_support::SerialHotkeyTest;

// Posts WM_HOTKEY as the system does for a press of the chord and dispatches it; returns once
// the press's poller has reported the (immediate) release, so that the next press of the same
// chord counts as a new one. Events read meanwhile go back into the channel in their order.
void press(HWND hwnd, std::uint32_t id, UINT mods, UINT vk) {
  std::vector<HotkeyEvent> earlier;
  while (auto event = hotkey_events().try_receive()) earlier.push_back(*event);
  ASSERT_TRUE(PostMessageW(hwnd, WM_HOTKEY, id, MAKELPARAM(mods, vk)));
  std::vector<HotkeyEvent> seen;
  const bool released = pump_until(
      [&] {
        while (auto event = hotkey_events().try_receive()) seen.push_back(*event);
        return std::ranges::find(seen, HotkeyEvent{id, HotkeyState::Released}) != seen.end();
      },
      std::chrono::seconds(5));
  for (const HotkeyEvent& event : earlier) hotkey_events().send(event);
  for (const HotkeyEvent& event : seen) hotkey_events().send(event);
  ASSERT_TRUE(released) << "no release after a posted press";
}

const test_support::CapturedEvent* find_event(const test_support::LogCapture& capture,
                                              std::string_view message, std::string_view field,
                                              std::string_view value) {
  for (const auto& event : capture.events())
    if (event.message == message && event.field(field) != nullptr && *event.field(field) == value)
      return &event;
  return nullptr;
}

// A plain window that holds a hotkey, standing in for another application.
class Blocker {
 public:
  Blocker() : window_(plain_window(WS_OVERLAPPEDWINDOW, {0, 0, 100, 100})) {}
  [[nodiscard]] bool hold(UINT mods, UINT vk, int id = 1) {
    return RegisterHotKey(window_.get(), id, mods | MOD_NOREPEAT, vk) != FALSE;
  }
  void release(int id = 1) { UnregisterHotKey(window_.get(), id); }

 private:
  UniqueWindow window_;
};

TEST_F(Hotkeys, HiddenWindowOfItsOwnClass) {
  HotkeyRegistrar registrar = make_registrar();
  const HWND hwnd = registrar.hwnd();
  ASSERT_TRUE(IsWindow(hwnd));
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  EXPECT_STREQ(name, L"global_hotkey_app");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  const DWORD wanted = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;
  EXPECT_EQ(ex_style & wanted, wanted);
  EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), GetCurrentThreadId());
  EXPECT_TRUE(registrar.registered().empty());
}

TEST_F(Hotkeys, DefaultChordsRegisterAndAreLogged) {
  test_support::LogCapture capture;
  HotkeyRegistrar registrar = make_registrar();
  const std::vector<hotkey::HotkeyFailure> failures = register_hotkeys(registrar, config::HotkeyBindings{});
  EXPECT_TRUE(failures.empty());
  {
    BoxRecorder recorder;
    report_hotkey_failures(failures);
    EXPECT_TRUE(recorder.boxes().empty());
  }
  ASSERT_EQ(registrar.registered().size(), 2u);
  EXPECT_EQ(registrar.registered()[0].id, kCtrlShiftSpaceId);
  EXPECT_EQ(registrar.registered()[1].id, kCtrlAltSpaceId);

  const auto* element = find_event(capture, "hotkey registered", "action", "PickElement");
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->level, log::Level::Info);
  EXPECT_EQ(element->target, "vantro::windows::hotkey");
  EXPECT_EQ(*element->field("modifiers"), "Modifiers(CONTROL | SHIFT)");
  EXPECT_EQ(*element->field("code"), "Space");
  EXPECT_EQ(*element->field("id"), std::to_string(kCtrlShiftSpaceId));
  const auto* window = find_event(capture, "hotkey registered", "action", "PickWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(*window->field("modifiers"), "Modifiers(ALT | CONTROL)");

  // The operating system holds them now: nobody else can take them.
  Blocker other;
  EXPECT_FALSE(other.hold(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
  EXPECT_FALSE(other.hold(MOD_CONTROL | MOD_ALT, VK_SPACE, 2));
}

TEST_F(Hotkeys, WinChordRegistersWithSuperInItsId) {
  test_support::LogCapture capture;
  HotkeyRegistrar registrar = make_registrar();
  const Result<hotkey::Chord> chord = hotkey::parse_hotkey("Win+A");
  ASSERT_TRUE(chord.has_value());
  const Result<void> registered = registrar.register_chord(chord->modifiers, chord->code, Action::PickWindow);
  ASSERT_TRUE(registered.has_value()) << registered.error().alternate();
  ASSERT_EQ(registrar.registered().size(), 1u);
  EXPECT_EQ(registrar.registered()[0].id, 0x20000013u);
  const auto* event = capture.find("hotkey registered");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(*event->field("modifiers"), "Modifiers(META)");
  EXPECT_EQ(*event->field("code"), "KeyA");
  Blocker other;
  EXPECT_FALSE(other.hold(MOD_WIN, 'A'));  // registered with MOD_WIN
}

TEST_F(Hotkeys, BothChordsInvalid) {
  test_support::LogCapture capture;
  HotkeyRegistrar registrar = make_registrar();
  const config::HotkeyBindings bindings{"Ctrl+Alt", " Hyper+A"};
  const std::vector<hotkey::HotkeyFailure> failures = register_hotkeys(registrar, bindings);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0],
            (hotkey::HotkeyFailure{"Ctrl+Alt",
                                   hotkey::HotkeyError::invalid_chord("unrecognized key 'Alt' in 'Ctrl+Alt'"),
                                   Action::PickElement}));
  EXPECT_EQ(failures[0].error.display(), "invalid chord (unrecognized key 'Alt' in 'Ctrl+Alt')");
  EXPECT_EQ(failures[1].chord, " Hyper+A");
  EXPECT_EQ(failures[1].action, Action::PickWindow);
  EXPECT_EQ(failures[1].error.display(), "invalid chord (unrecognized modifier 'Hyper' in ' Hyper+A')");
  EXPECT_TRUE(registrar.registered().empty());

  std::vector<const test_support::CapturedEvent*> warnings;
  for (const auto& event : capture.events())
    if (event.message == "hotkey parse failed") warnings.push_back(&event);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0]->level, log::Level::Warn);
  EXPECT_EQ(warnings[0]->target, "vantro::windows::hotkey");
  EXPECT_EQ(*warnings[0]->field("action"), "PickElement");
  EXPECT_EQ(*warnings[0]->field("chord"), "Ctrl+Alt");
  EXPECT_EQ(*warnings[0]->field("error"),
            "unrecognized key 'Alt' in 'Ctrl+Alt'\n\nCaused by:\n    unknown key 'ALT'");
  EXPECT_EQ(*warnings[1]->field("action"), "PickWindow");

  // Nothing is registered, so no message ever becomes an action.
  clear_channel();
  PostMessageW(registrar.hwnd(), WM_HOTKEY, kCtrlShiftSpaceId, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  pump_pending();
  EXPECT_TRUE(registrar.drain_actions().empty());
}

TEST_F(Hotkeys, ChordHeldByAnotherWindowIsAlreadyInUse) {
  Blocker other;
  ASSERT_TRUE(other.hold(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  test_support::LogCapture capture;
  HotkeyRegistrar registrar = make_registrar();
  const std::vector<hotkey::HotkeyFailure> failures = register_hotkeys(registrar, config::HotkeyBindings{});
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], (hotkey::HotkeyFailure{"Ctrl+Shift+Space", hotkey::HotkeyError::already_in_use(),
                                                Action::PickElement}));
  ASSERT_EQ(registrar.registered().size(), 1u);
  EXPECT_EQ(registrar.registered()[0].id, kCtrlAltSpaceId);

  const auto* warning = capture.find("hotkey registration failed");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(warning->level, log::Level::Warn);
  EXPECT_EQ(*warning->field("action"), "PickElement");
  EXPECT_EQ(*warning->field("chord"), "Ctrl+Shift+Space");
  EXPECT_EQ(*warning->field("error"),
            "registering hotkey for PickElement\n\nCaused by:\n    HotKey already registered: HotKey { mods: "
            "Modifiers(CONTROL | SHIFT), key: Space, id: 34078782 }");

  EXPECT_EQ(hotkey::conflict_message(failures),
            "Some hotkeys couldn't be registered:\n\n"
            "\u2022 Pick element (Ctrl+Shift+Space): already in use by another application\n\n"
            "Open Settings from the tray to choose a different chord.");

  // The chord that failed is not in the map: its messages give nothing.
  clear_channel();
  PostMessageW(registrar.hwnd(), WM_HOTKEY, kCtrlShiftSpaceId, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  PostMessageW(registrar.hwnd(), WM_HOTKEY, kCtrlAltSpaceId, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_SPACE));
  pump_pending();
  EXPECT_EQ(registrar.drain_actions(), std::vector<Action>{Action::PickWindow});
}

TEST_F(Hotkeys, ChordHeldByAnotherProcessIsAlreadyInUse) {
  // A second process of this test program holds the chord with a registrar of its own.
  wchar_t self[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, L"VantroHotkeyTestHolderReady"));
  UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, L"VantroHotkeyTestHolderDone"));
  std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=HotkeyHolder.HoldDefaultChords";
  SetEnvironmentVariableW(L"VANTRO_HOTKEY_HOLDER", L"1");
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(L"VANTRO_HOTKEY_HOLDER", nullptr);
  ASSERT_TRUE(started);
  UniqueHandle process(pi.hProcess);
  UniqueHandle thread(pi.hThread);
  ASSERT_EQ(WaitForSingleObject(ready.get(), 20000), WAIT_OBJECT_0) << "holder did not start";

  HotkeyRegistrar registrar = make_registrar();
  const std::vector<hotkey::HotkeyFailure> failures = register_hotkeys(registrar, config::HotkeyBindings{});
  SetEvent(done.get());
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0].error, hotkey::HotkeyError::already_in_use());
  EXPECT_EQ(failures[0].action, Action::PickElement);
  EXPECT_EQ(failures[1].error, hotkey::HotkeyError::already_in_use());
  EXPECT_EQ(failures[1].action, Action::PickWindow);
  BoxRecorder recorder;
  report_hotkey_failures(failures);
  ASSERT_EQ(recorder.boxes().size(), 1u);
  EXPECT_EQ(recorder.boxes()[0].caption, L"vantro: hotkey conflict");
  EXPECT_EQ(recorder.boxes()[0].text,
            L"Some hotkeys couldn't be registered:\n\n"
            L"\u2022 Pick element (Ctrl+Shift+Space): already in use by another application\n"
            L"\u2022 Pick window (Ctrl+Alt+Space): already in use by another application\n\n"
            L"Open Settings from the tray to choose a different chord.");
  EXPECT_EQ(recorder.boxes()[0].type, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
}

// Runs only as the child of the test above.
TEST(HotkeyHolder, HoldDefaultChords) {
  if (GetEnvironmentVariableW(L"VANTRO_HOTKEY_HOLDER", nullptr, 0) == 0)
    GTEST_SKIP() << "helper of another test";
  UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"VantroHotkeyTestHolderReady"));
  UniqueHandle done(OpenEventW(SYNCHRONIZE, FALSE, L"VantroHotkeyTestHolderDone"));
  ASSERT_TRUE(ready && done);
  HotkeyRegistrar registrar = make_registrar();
  ASSERT_TRUE(register_hotkeys(registrar, config::HotkeyBindings{}).empty());
  SetEvent(ready.get());
  EXPECT_EQ(WaitForSingleObject(done.get(), 20000), WAIT_OBJECT_0);
}

TEST_F(Hotkeys, SameChordForBothActions) {
  HotkeyRegistrar registrar = make_registrar();
  const std::vector<hotkey::HotkeyFailure> failures =
      register_hotkeys(registrar, config::HotkeyBindings{"Ctrl+Shift+Space", "shift+ctrl+space"});
  clear_channel();
  PostMessageW(registrar.hwnd(), WM_HOTKEY, kCtrlShiftSpaceId, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  pump_pending();
  const std::vector<Action> actions = registrar.drain_actions();
  if (failures.empty()) {
    // The second registration took the same id over.
    EXPECT_EQ(actions, std::vector<Action>{Action::PickWindow});
  } else {
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], (hotkey::HotkeyFailure{"shift+ctrl+space", hotkey::HotkeyError::already_in_use(),
                                                  Action::PickWindow}));
    EXPECT_EQ(actions, std::vector<Action>{Action::PickElement});
  }
}

TEST_F(Hotkeys, DrainTurnsPressesIntoActionsInOrder) {
  HotkeyRegistrar registrar = make_registrar();
  ASSERT_TRUE(register_hotkeys(registrar, config::HotkeyBindings{}).empty());
  clear_channel();
  const HWND hwnd = registrar.hwnd();
  press(hwnd, kCtrlAltSpaceId, MOD_CONTROL | MOD_ALT, VK_SPACE);
  press(hwnd, 0x12345, 0, 'Q');  // an id nobody registered
  press(hwnd, kCtrlShiftSpaceId, MOD_CONTROL | MOD_SHIFT, VK_SPACE);
  press(hwnd, kCtrlShiftSpaceId, MOD_CONTROL | MOD_SHIFT, VK_SPACE);
  EXPECT_EQ(registrar.drain_actions(),
            (std::vector<Action>{Action::PickWindow, Action::PickElement, Action::PickElement}));
  EXPECT_TRUE(registrar.drain_actions().empty());

  // Released events never become actions.
  hotkey_events().send({kCtrlShiftSpaceId, HotkeyState::Released});
  EXPECT_TRUE(registrar.drain_actions().empty());
}

TEST_F(Hotkeys, EveryPressIsFollowedByItsRelease) {
  HotkeyRegistrar registrar = make_registrar();
  ASSERT_TRUE(register_hotkeys(registrar, config::HotkeyBindings{}).empty());
  clear_channel();
  PostMessageW(registrar.hwnd(), WM_HOTKEY, kCtrlShiftSpaceId, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  std::vector<HotkeyEvent> events;
  ASSERT_TRUE(pump_until(
      [&] {
        while (auto event = hotkey_events().try_receive()) events.push_back(*event);
        return events.size() >= 2;
      },
      std::chrono::seconds(5)));
  EXPECT_EQ(events, (std::vector<HotkeyEvent>{{kCtrlShiftSpaceId, HotkeyState::Pressed},
                                              {kCtrlShiftSpaceId, HotkeyState::Released}}));
}

TEST_F(Hotkeys, ReleaseUnregistersEverythingAndDestroysTheWindow) {
  HWND hwnd = nullptr;
  {
    HotkeyRegistrar registrar = make_registrar();
    ASSERT_TRUE(register_hotkeys(registrar, config::HotkeyBindings{}).empty());
    hwnd = registrar.hwnd();
  }
  EXPECT_FALSE(IsWindow(hwnd));
  Blocker other;
  EXPECT_TRUE(other.hold(MOD_CONTROL | MOD_SHIFT, VK_SPACE, 1));
  EXPECT_TRUE(other.hold(MOD_CONTROL | MOD_ALT, VK_SPACE, 2));
}

TEST_F(Hotkeys, FailedUnregisterIsLoggedAndTheRestGoesOn) {
  test_support::LogCapture capture;
  HWND hwnd = nullptr;
  {
    HotkeyRegistrar registrar = make_registrar();
    ASSERT_TRUE(register_hotkeys(registrar, config::HotkeyBindings{}).empty());
    hwnd = registrar.hwnd();
    ASSERT_TRUE(UnregisterHotKey(hwnd, static_cast<int>(kCtrlShiftSpaceId)));  // behind the registrar's back
  }
  const auto* warning = capture.find("failed to unregister hotkey");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(warning->level, log::Level::Warn);
  EXPECT_EQ(
      *warning->field("error"),
      "Failed to unregister hotkey: HotKey { mods: Modifiers(CONTROL | SHIFT), key: Space, id: 34078782 }");
  EXPECT_FALSE(IsWindow(hwnd));
  Blocker other;
  EXPECT_TRUE(other.hold(MOD_CONTROL | MOD_ALT, VK_SPACE));  // the second one was still unregistered
}

TEST_F(Hotkeys, MovedRegistrarKeepsItsHotkeys) {
  HotkeyRegistrar first = make_registrar();
  ASSERT_TRUE(register_hotkeys(first, config::HotkeyBindings{}).empty());
  HotkeyRegistrar second = std::move(first);
  clear_channel();
  PostMessageW(second.hwnd(), WM_HOTKEY, kCtrlShiftSpaceId, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
  pump_pending();
  EXPECT_EQ(second.drain_actions(), std::vector<Action>{Action::PickElement});
  Blocker other;
  EXPECT_FALSE(other.hold(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
}

}  // namespace
}  // namespace vantro::windows
