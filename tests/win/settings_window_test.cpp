// The settings window driven by messages from a thread timer that fires inside its own loop:
// edits filled with WM_SETTEXT, buttons pressed with BM_CLICK or WM_COMMAND. Message boxes go
// to a recorder, the configuration file to a temporary APPDATA and the Run value to a key of
// the test's own.
#include "windows/settings_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "config/config_file.h"
#include "config/config_toml.h"
#include "support/file_bytes.h"
#include "support/file_links.h"
#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/message_box_recorder.h"
#include "support/scoped_env_var.h"
#include "support/system_text.h"
#include "windows/handle.h"
#include "windows/notification.h"
#include "windows/startup_registration.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

namespace fs = std::filesystem;
using test_support::read_bytes;
using test_support::ScopedEnvVar;
using test_support::write_bytes;

constexpr wchar_t kClassName[] = L"VantroSettingsWindow";

// --- Message boxes ---------------------------------------------------------------------

struct Box {
  std::string title;
  std::string body;
  UINT type;
};

// The boxes recorded so far, with their texts in UTF-8.
std::vector<Box> boxes() {
  std::vector<Box> shown;
  for (const test_support::RecordedBox& box : test_support::recorded_boxes())
    shown.push_back({narrow(box.caption), narrow(box.text), box.type});
  return shown;
}

// --- Driving the window from inside its loop --------------------------------------------

using Step = std::function<void(HWND)>;
std::vector<Step> g_steps;
std::size_t g_next_step = 0;
int g_ticks = 0;
bool g_timed_out = false;
constexpr int kTickMs = 20;
constexpr int kMaxTicks = 10000 / kTickMs;  // a window still open after 10 s is closed

// The settings window of this thread (other test processes may show theirs meanwhile).
HWND settings_window() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM result) -> BOOL {
        wchar_t name[64];
        if (GetClassNameW(window, name, 64) > 0 && std::wstring_view(name) == kClassName) {
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK on_tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = settings_window();
  if (window == nullptr) return;
  if (++g_ticks > kMaxTicks) {
    g_timed_out = true;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return;
  }
  if (g_next_step < g_steps.size()) {
    const Step step = g_steps[g_next_step++];
    step(window);
  }
}

// Runs `body` (which opens the window) with one step per timer tick until it closes.
void drive(const std::function<void()>& body, std::vector<Step> steps) {
  g_steps = std::move(steps);
  g_next_step = 0;
  g_ticks = 0;
  g_timed_out = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, on_tick);
  body();
  KillTimer(nullptr, timer);
  EXPECT_FALSE(g_timed_out) << "the window did not close by itself";
  EXPECT_EQ(g_next_step, g_steps.size()) << "the window closed before every step ran";
}

Result<bool> run_window(const config::Config& config, std::vector<Step> steps) {
  std::optional<Result<bool>> result;
  drive([&] { result = open_settings(config); }, std::move(steps));
  return std::move(*result);
}

Step set_text(int id, std::string text) {
  return [id, text](HWND window) {
    const std::wstring wide_text = wide(text);
    SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide_text.c_str()));
  };
}
Step set_ticked(int id, bool ticked) {
  return [id, ticked](HWND window) {
    SendMessageW(GetDlgItem(window, id), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  };
}
Step click(int id) {
  return [id](HWND window) { SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); };
}
Step command(int id) {
  return [id](HWND window) {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
  };
}
Step run(std::function<void(HWND)> body) {
  return body;
}

std::string text_of(HWND control) {
  wchar_t buffer[512];
  const int length = GetWindowTextW(control, buffer, 512);
  return narrow(std::wstring_view(buffer, static_cast<std::size_t>(length)));
}
bool ticked(HWND window, int id) {
  return SendMessageW(GetDlgItem(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Keeps a picture of the window beside the test run (artefacts/settings_window.bmp).
void save_screenshot(HWND window, const fs::path& file) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::string pixels(stride * static_cast<DWORD>(height), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes += pixels;
  fs::create_directories(file.parent_path());
  write_bytes(file, bytes);
}

// --- Fixture -----------------------------------------------------------------------------

std::wstring test_parent() {
  return L"Software\\vantro-tests\\settings-" + std::to_wstring(GetCurrentProcessId());
}

class SettingsWindow : public ::testing::Test {
 protected:
  SettingsWindow()
      : app_data_(fs::temp_directory_path() / ("vantro settings " + std::to_string(GetCurrentProcessId()))),
        env_("APPDATA", app_data_.string()),
        run_key_(test_parent() + L"\\Run") {
    fs::create_directories(app_data_);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, run_key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    if (key) RegCloseKey(key);
    set_run_key_for_tests(run_key_);
  }
  ~SettingsWindow() override {
    set_run_key_for_tests(L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, test_parent().c_str());
    test_support::remove_tree(app_data_.wstring());
  }

  [[nodiscard]] fs::path file() const { return app_data_ / "vantro" / "config.toml"; }
  void remove_run_key() const { RegDeleteTreeW(HKEY_CURRENT_USER, test_parent().c_str()); }
  void put_file(std::string_view text) const {
    fs::create_directories(file().parent_path());
    write_bytes(file(), text);
  }

  // The window takes the foreground when it opens: not while another test needs it.
  test_support::ForegroundLock foreground_lock_;
  fs::path app_data_;
  ScopedEnvVar env_;
  std::wstring run_key_;
  test_support::BoxRecorder boxes_;
};

struct ControlFacts {
  std::string class_name;
  std::string text;
  int id;
  RECT rect;  // client coordinates of the window
  DWORD style;
  DWORD ex_style;
};

std::vector<ControlFacts> controls_of(HWND window) {
  std::vector<ControlFacts> facts;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t class_name[64];
    const int length = GetClassNameW(child, class_name, 64);
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    facts.push_back({narrow(std::wstring_view(class_name, static_cast<std::size_t>(length))), text_of(child),
                     GetDlgCtrlID(child), rect, static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE))});
  }
  return facts;
}

// --- Tests -------------------------------------------------------------------------------

TEST_F(SettingsWindow, OpensWithItsControlsAndCancelWritesNothing) {
  config::Config config;
  config.colors.element.opacity = 150;
  config.colors.window.badge_bg = "#010203";
  std::vector<ControlFacts> facts;
  DWORD style = 0, ex_style = 0;
  std::string title;
  RECT outer{};
  bool leaders = false, startup = true;
  const auto result = run_window(
      config, {
                  run([&](HWND window) {
                    facts = controls_of(window);
                    style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
                    ex_style = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
                    title = text_of(window);
                    GetWindowRect(window, &outer);
                    leaders = ticked(window, 1009);
                    startup = ticked(window, 1006);
                  }),
                  run([](HWND window) { save_screenshot(window, "artefacts/settings_window.bmp"); }),
                  command(1101),
              });
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_FALSE(*result);

  EXPECT_EQ(title, "vantro Settings");
  EXPECT_EQ(style & 0x10C80000u, 0x10C80000u);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  EXPECT_EQ(ex_style & WS_EX_DLGMODALFRAME, static_cast<DWORD>(WS_EX_DLGMODALFRAME));
  EXPECT_EQ(outer.right - outer.left, 520);
  EXPECT_EQ(outer.bottom - outer.top, 640);

  const struct {
    const char* class_name;
    const char* text;
    int id, x, y, width, height;
    DWORD style;
  } expected[] = {
      {"Static", "Hotkeys", 0, 14, 14, 492, 20, 0x50000000},
      {"Static", "Pick element:", 0, 14, 40, 140, 20, 0x50000000},
      {"Edit", "Ctrl+Shift+Space", 1001, 170, 36, 320, 24, 0x50810080},
      {"Static", "Pick window:", 0, 14, 70, 140, 20, 0x50000000},
      {"Edit", "Ctrl+Alt+Space", 1002, 170, 66, 320, 24, 0x50810080},
      {"Static", "Hints", 0, 14, 110, 492, 20, 0x50000000},
      {"Static", "Alphabet:", 0, 14, 136, 140, 20, 0x50000000},
      {"Edit", "asdfghjkl", 1003, 170, 132, 320, 24, 0x50810080},
      {"Static", "Colors (#RRGGBB)", 0, 14, 176, 492, 20, 0x50000000},
      {"Static", "Element badge bg:", 0, 14, 202, 140, 20, 0x50000000},
      {"Edit", "#FFE500", 1004, 170, 198, 320, 24, 0x50810080},
      {"Static", "Window badge bg:", 0, 14, 232, 140, 20, 0x50000000},
      {"Edit", "#010203", 1005, 170, 228, 320, 24, 0x50810080},
      {"Static", "Opacity (0-100, 0 = preset default)", 0, 14, 272, 492, 20, 0x50000000},
      {"Static", "Element opacity:", 0, 14, 298, 140, 20, 0x50000000},
      {"Edit", "150", 1007, 170, 294, 320, 24, 0x50810080},
      {"Static", "Window opacity:", 0, 14, 328, 140, 20, 0x50000000},
      {"Edit", "", 1008, 170, 324, 320, 24, 0x50810080},
      {"Button", "Draw arrow from each badge to its target element", 1009, 14, 368, 492, 24, 0x50010003},
      {"Button", "Launch vantro at Windows startup", 1006, 14, 412, 492, 24, 0x50010003},
      {"Button", "Save", 1100, 14, 470, 120, 30, 0x50010001},
      {"Button", "Cancel", 1101, 144, 470, 120, 30, 0x50010000},
      {"Button", "Reset to Defaults", 1102, 274, 470, 120, 30, 0x50010000},
  };
  ASSERT_EQ(facts.size(), std::size(expected));
  for (std::size_t i = 0; i < facts.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "control " << i + 1 << " " << expected[i].text);
    EXPECT_EQ(text::ascii_lower(facts[i].class_name), text::ascii_lower(expected[i].class_name));
    EXPECT_EQ(facts[i].text, expected[i].text);
    EXPECT_EQ(facts[i].id, expected[i].id);
    EXPECT_EQ(facts[i].rect.left, expected[i].x);
    EXPECT_EQ(facts[i].rect.top, expected[i].y);
    EXPECT_EQ(facts[i].rect.right - facts[i].rect.left, expected[i].width);
    EXPECT_EQ(facts[i].rect.bottom - facts[i].rect.top, expected[i].height);
    // An edit control takes WS_BORDER out of its window style and draws the border itself;
    // the rest of the style must be exactly the one given.
    DWORD style_given = facts[i].style;
    if (facts[i].id >= 1001 && facts[i].id <= 1008 && facts[i].id != 1006) style_given |= WS_BORDER;
    EXPECT_EQ(style_given, expected[i].style);
  }
  EXPECT_TRUE(leaders);
  EXPECT_FALSE(startup) << "no Run value";

  EXPECT_FALSE(fs::exists(file()));
  EXPECT_TRUE(boxes().empty());
  WNDCLASSEXW info{sizeof info};
  EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kClassName, &info)) << "class unregistered";
}

TEST_F(SettingsWindow, SaveWritesTheEntriesAndTheRunValue) {
  test_support::LogCapture capture;
  const auto result = run_window(config::Config{}, {
                                                       set_text(1001, " Alt+Q "),
                                                       set_text(1003, "   "),
                                                       set_text(1007, "250"),
                                                       set_text(1008, "99999999999"),
                                                       set_ticked(1009, false),
                                                       set_ticked(1006, true),
                                                       click(1100),
                                                   });
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_TRUE(*result);
  EXPECT_TRUE(boxes().empty()) << boxes().front().title;

  config::Config expected;
  expected.hotkeys.pick_element = " Alt+Q ";
  expected.colors.element = {"#FFE500", "", "", 100, false, ""};
  expected.colors.window = {"#33AAFF", "", "", 0, false, ""};
  expected.startup.launch_at_startup = true;
  EXPECT_EQ(read_bytes(file()), config::serialize_config(expected));
  EXPECT_EQ(is_startup_registered(), true);
  EXPECT_NE(capture.find("config saved"), nullptr);
  EXPECT_NE(capture.find("registered for Windows startup"), nullptr);
}

TEST_F(SettingsWindow, SaveKeepsTheColourFieldsTheWindowDoesNotShow) {
  // Opened with one record; the file is edited by hand while the window is open.
  config::Config opened;
  opened.colors.element.border = "#opened";
  const auto result =
      run_window(opened, {
                             run([&](HWND) {
                               put_file(
                                   "[colors.element]\nbadge_fg = \"#e1\"\nborder = \"#e2\"\n"
                                   "leader_color = \"#e3\"\n[colors.window]\nleader_color = \"#w3\"\n");
                             }),
                             click(1100),
                         });
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_TRUE(*result);
  const auto saved = config::load_config();
  ASSERT_TRUE(saved && *saved);
  EXPECT_EQ((*saved)->colors.element, (config::BadgeColors{"#FFE500", "#e1", "#e2", 0, true, "#e3"}));
  EXPECT_EQ((*saved)->colors.window, (config::BadgeColors{"#33AAFF", "", "", 0, true, "#w3"}));

  // Without a file the record handed to the window is the source.
  fs::remove(file());
  ASSERT_TRUE(run_window(opened, {click(1100)}).value_or(false));
  const auto second = config::load_config();
  ASSERT_TRUE(second && *second);
  EXPECT_EQ((*second)->colors.element.border, "#opened");
}

TEST_F(SettingsWindow, InvalidEntriesShowTheFirstFailureAndKeepTheWindowOpen) {
  std::string kept;
  const auto result =
      run_window(config::Config{}, {
                                       set_text(1001, "Ctrl+Nope"),
                                       set_text(1002, ""),
                                       set_text(1004, "zz"),
                                       click(1100),
                                       set_text(1001, "Alt+Q"),
                                       click(1100),
                                       set_text(1002, "Alt+W"),
                                       click(1100),
                                       run([&](HWND window) { kept = text_of(GetDlgItem(window, 1001)); }),
                                       command(1101),
                                   });
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_FALSE(*result);
  ASSERT_EQ(boxes().size(), 3u);
  const char* bodies[] = {
      "Pick element hotkey is invalid:\n  unrecognized key 'Nope' in 'Ctrl+Nope'\n\nPlease fix and try "
      "again.",
      "Pick window hotkey is invalid:\n  empty hotkey string\n\nPlease fix and try again.",
      "Element badge color is invalid:\n  hex color must be #RGB or #RRGGBB, got 'zz'\n\nPlease fix and try "
      "again.",
  };
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(boxes()[i].title, "Invalid settings");
    EXPECT_EQ(boxes()[i].body, bodies[i]);
    EXPECT_EQ(boxes()[i].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  }
  EXPECT_EQ(kept, "Alt+Q");
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_EQ(is_startup_registered(), false);
}

TEST_F(SettingsWindow, FailedSaveKeepsTheWindowOpenAndTheRegistryUntouched) {
  std::optional<ScopedEnvVar> unset;
  const auto result =
      run_window(config::Config{}, {
                                       set_ticked(1006, true),
                                       run([&](HWND) { unset.emplace("APPDATA", std::nullopt); }),
                                       click(1100),
                                       command(1101),
                                   });
  unset.reset();
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_FALSE(*result);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].title, "Failed to save config");
  EXPECT_EQ(boxes()[0].body, "APPDATA env var not set; cannot save config");
  EXPECT_EQ(boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(is_startup_registered(), false);
}

TEST_F(SettingsWindow, FailedStartupUpdateWarnsAndStillSaves) {
  remove_run_key();
  config::Config opened;
  opened.startup.launch_at_startup = true;  // shown, since the query fails
  bool shown_ticked = false;
  const auto result = run_window(opened, {
                                             run([&](HWND window) { shown_ticked = ticked(window, 1006); }),
                                             click(1100),
                                         });
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_TRUE(*result);
  EXPECT_TRUE(shown_ticked);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].title, "Couldn't update Windows startup");
  EXPECT_EQ(boxes()[0].body,
            "Settings were saved, but the startup registry update failed:\nRegOpenKeyExW failed: 0x00000002");
  EXPECT_EQ(boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  const auto saved = config::load_config();
  ASSERT_TRUE(saved && *saved);
  EXPECT_TRUE((*saved)->startup.launch_at_startup);
}

TEST_F(SettingsWindow, ResetDeletesTheFileAndTheRunValue) {
  put_file("[hints]\nalphabet = \"x\"\n");
  ASSERT_TRUE(set_startup_registration(true));
  const auto first = run_window(config::Config{}, {command(1102)});
  ASSERT_TRUE(first) << first.error().plain();
  EXPECT_FALSE(*first);
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_EQ(is_startup_registered(), false);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].title, "Settings reset");
  EXPECT_EQ(boxes()[0].body, "Config file deleted. Defaults will apply on next launch.");
  EXPECT_EQ(boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));

  // Again, with nothing left to delete: only the same box.
  boxes_.clear();
  test_support::LogCapture capture;
  ASSERT_TRUE(run_window(config::Config{}, {command(1102)}));
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].title, "Settings reset");
  EXPECT_NE(capture.find("startup key already absent"), nullptr);
}

TEST_F(SettingsWindow, ResetFailuresAreReported) {
  remove_run_key();
  ASSERT_TRUE(run_window(config::Config{}, {command(1102)}));
  ASSERT_EQ(boxes().size(), 2u);
  EXPECT_EQ(boxes()[0].title, "Reset partially complete");
  EXPECT_EQ(boxes()[0].body,
            "Config was deleted, but disabling startup failed:\nRegOpenKeyExW failed: 0x00000002");
  EXPECT_EQ(boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(boxes()[1].title, "Settings reset");

  // A folder where the file belongs cannot be deleted: the window stays open.
  boxes_.clear();
  fs::create_directories(file());
  const auto result = run_window(config::Config{}, {command(1102), command(1101)});
  ASSERT_TRUE(result);
  EXPECT_FALSE(*result);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].title, "Couldn't reset config");
  EXPECT_EQ(boxes()[0].body, test_support::os_failure(ERROR_ACCESS_DENIED));
  EXPECT_EQ(boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST_F(SettingsWindow, AFileHeldOpenByAnotherProgramIsReportedWithTheSystemsError) {
  const std::string before = "[hints]\nalphabet = \"x\"\n";
  put_file(before);
  windows::UniqueHandle holder(CreateFileW(file().wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
  const auto result = run_window(config::Config{}, {click(1100), command(1102), command(1101)});
  holder.reset();
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_FALSE(*result);
  ASSERT_EQ(boxes().size(), 2u);
  EXPECT_EQ(boxes()[0].title, "Failed to save config");
  EXPECT_EQ(boxes()[0].body, test_support::os_failure(ERROR_ACCESS_DENIED));  // the move over it is refused
  EXPECT_EQ(boxes()[1].title, "Couldn't reset config");
  EXPECT_EQ(boxes()[1].body, test_support::os_failure(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(read_bytes(file()), before);
}

TEST_F(SettingsWindow, SaveThroughALinkIntoAMissingFolderIsReportedAndChangesNothing) {
  // config.toml is a link into a folder that is gone (a drive that is not plugged in).
  const std::wstring link = file().wstring();
  const std::wstring unplugged = (app_data_ / "unplugged").wstring();
  const std::wstring target = unplugged + L"\\vantro.toml";
  fs::create_directories(file().parent_path());
  if (!test_support::make_link_to_missing_file(link, unplugged, target, true))
    GTEST_SKIP() << "no right to make a symbolic link here";

  const auto result = run_window(config::Config{}, {set_ticked(1006, true), click(1100), command(1101)});
  ASSERT_TRUE(result) << result.error().plain();
  EXPECT_FALSE(*result);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].title, "Failed to save config");
  // Wine reports the file missing, Windows the path.
  EXPECT_TRUE(boxes()[0].body == test_support::os_failure(ERROR_FILE_NOT_FOUND) ||
              boxes()[0].body == test_support::os_failure(ERROR_PATH_NOT_FOUND))
      << boxes()[0].body;
  EXPECT_EQ(boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(is_startup_registered(), false);
  EXPECT_EQ(GetFileAttributesW(unplugged.c_str()), INVALID_FILE_ATTRIBUTES) << "no folder is made";

  // The link still leads where it did once its folder and file are back, and nothing is beside it.
  ASSERT_TRUE(CreateDirectoryW(unplugged.c_str(), nullptr));
  write_bytes(target, "back");
  EXPECT_EQ(test_support::final_path(link), test_support::final_path(target));
  std::vector<fs::path> beside;
  for (const auto& entry : fs::directory_iterator(file().parent_path()))
    beside.push_back(entry.path().filename());
  EXPECT_EQ(beside, std::vector<fs::path>{"config.toml"});
}

TEST_F(SettingsWindow, CloseButtonWritesNothing) {
  const auto result = run_window(
      config::Config{}, {
                            set_text(1003, "qwer"),
                            run([](HWND window) { SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }),
                        });
  ASSERT_TRUE(result);
  EXPECT_FALSE(*result);
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsWindow, AQuitRequestClosesTheWindowAndIsPassedOn) {
  const auto result = run_window(config::Config{}, {
                                                       set_text(1003, "qwer"),
                                                       run([](HWND) { PostQuitMessage(7); }),
                                                   });
  ASSERT_TRUE(result);
  EXPECT_FALSE(*result);
  EXPECT_EQ(settings_window(), nullptr) << "window destroyed";
  WNDCLASSEXW info{sizeof info};
  EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kClassName, &info)) << "class unregistered";
  EXPECT_FALSE(fs::exists(file()));

  // The request is waiting for the caller's loop, once.
  MSG msg;
  bool quit = false;
  for (int i = 0; i < 1000 && !quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      quit = true;
    } else {
      DispatchMessageW(&msg);
    }
  }
  ASSERT_TRUE(quit);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no second quit";

  // The window opens again afterwards.
  ASSERT_TRUE(run_window(config::Config{}, {command(1101)}));
}

}  // namespace
}  // namespace vantro::windows
