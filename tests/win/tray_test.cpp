// The tray icon and its menu under Wine: real windows, real Shell_NotifyIconW calls.
#include "windows/tray.h"

#include <shellapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>

#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "popup_menu_window.h"
#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "tray/tray_icon_pixels.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

using namespace std::chrono_literals;

bool notify_icon(DWORD message, HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = kTrayIconId;
  return Shell_NotifyIconW(message, &data) != FALSE;
}

// Whether the shell knows the tray's icon: modifying an icon that is not there fails.
bool icon_is_shown(HWND window) {
  return notify_icon(NIM_MODIFY, window);
}
bool remove_icon(HWND window) {
  return notify_icon(NIM_DELETE, window);
}

void pump_pending_messages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

struct MenuEntry {
  UINT id;
  std::string text;  // empty for a separator
  bool separator;
  bool disabled;
};

std::vector<MenuEntry> menu_entries(HMENU menu) {
  std::vector<MenuEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::size(text));
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    entries.push_back(
        {info.wID, narrow(text), (info.fType & MFT_SEPARATOR) != 0, (info.fState & MFS_DISABLED) != 0});
  }
  return entries;
}

std::optional<UINT> command_of(HMENU menu, std::string_view text) {
  for (const MenuEntry& entry : menu_entries(menu))
    if (!entry.separator && entry.text == text) return entry.id;
  return std::nullopt;
}

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto built = build_tray();
    ASSERT_TRUE(built) << built.error().alternate();
    tray_.emplace(std::move(*built));
    ASSERT_NE(tray_->window(), nullptr);
  }
  std::optional<Tray> tray_;
};

TEST(TrayBuild, PutsTheIconIntoTheNotificationAreaAndLogsIt) {
  test_support::LogCapture capture;
  const auto started = std::chrono::steady_clock::now();
  auto tray = build_tray();
  const auto took = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(tray) << tray.error().alternate();
  std::printf("build_tray took %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

  const HWND window = tray->window();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, static_cast<int>(std::size(class_name)));
  EXPECT_EQ(std::wstring(class_name), L"tray_icon_app");
  const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  EXPECT_EQ(ex_style & 0x080800A0u, 0x080800A0u) << std::hex << ex_style;
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowTextLengthW(window), 0);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_TRUE(icon_is_shown(window));

  const test_support::CapturedEvent* event = capture.find("tray icon registered");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->level, log::Level::Info);
  EXPECT_EQ(event->target, "vantro::windows::tray");
  EXPECT_TRUE(event->fields.empty());
}

TEST_F(TrayTest, MenuHoldsTheItemsInOrderWithTheAboutItemGreyed) {
  struct Expected {
    std::string text;
    bool separator, disabled;
  };
  const Expected expected[] = {
      {"vantro v0.3.0", false, true},
      {"", true, false},
      {"Pick element\tCtrl+Shift+Space", false, false},
      {"Pick window\tCtrl+Alt+Space", false, false},
      {"", true, false},
      {"Settings...", false, false},
      {"View Log", false, false},
      {"", true, false},
      {"Quit", false, false},
  };
  const std::vector<MenuEntry> entries = menu_entries(tray_->menu());
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].separator, expected[i].separator);
    if (!expected[i].separator) {
      EXPECT_EQ(entries[i].text, expected[i].text);
      EXPECT_EQ(entries[i].disabled, expected[i].disabled);
    }
  }
  // The item ids are distinct.
  for (std::size_t i = 0; i < entries.size(); ++i)
    for (std::size_t j = i + 1; j < entries.size(); ++j)
      if (!entries[i].separator && !entries[j].separator) {
        EXPECT_NE(entries[i].id, entries[j].id);
      }
}

TEST_F(TrayTest, CommandOfEachItemReachesTheDrain) {
  const std::pair<std::string, TrayCommand> cases[] = {
      {"Pick element\tCtrl+Shift+Space", TrayCommand::PickElement},
      {"Pick window\tCtrl+Alt+Space", TrayCommand::PickWindow},
      {"Settings...", TrayCommand::Settings},
      {"View Log", TrayCommand::ViewLog},
      {"Quit", TrayCommand::Quit},
  };
  EXPECT_TRUE(tray_->drain_commands().empty());
  for (const auto& [text, command] : cases) {
    SCOPED_TRACE(text);
    const auto id = command_of(tray_->menu(), text);
    ASSERT_TRUE(id);
    // As the menu delivers it: posted to the window, dispatched by the loop.
    ASSERT_TRUE(PostMessageW(tray_->window(), WM_COMMAND, MAKEWPARAM(*id, 0), 0));
    EXPECT_TRUE(tray_->drain_commands().empty()) << "nothing before the message is dispatched";
    pump_pending_messages();
    EXPECT_EQ(tray_->drain_commands(), std::vector<TrayCommand>{command});
    EXPECT_TRUE(tray_->drain_commands().empty());
  }
}

TEST_F(TrayTest, DisabledItemAndForeignIdsYieldNothing) {
  const auto about = command_of(tray_->menu(), "vantro v0.3.0");
  ASSERT_TRUE(about);
  const auto quit = command_of(tray_->menu(), "Quit");
  ASSERT_TRUE(quit);
  for (const UINT id : {*about, *quit + 100, 0u, 2u}) {
    SCOPED_TRACE(id);
    SendMessageW(tray_->window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_TRUE(tray_->drain_commands().empty());
  }
  // An accelerator notification (high word 1) is no menu choice.
  SendMessageW(tray_->window(), WM_COMMAND, MAKEWPARAM(*quit, 1), 0);
  EXPECT_TRUE(tray_->drain_commands().empty());
}

TEST_F(TrayTest, CommandsKeepTheOrderInWhichTheyWereChosen) {
  const auto quit = command_of(tray_->menu(), "Quit");
  const auto pick = command_of(tray_->menu(), "Pick element\tCtrl+Shift+Space");
  const auto about = command_of(tray_->menu(), "vantro v0.3.0");
  ASSERT_TRUE(quit && pick && about);
  for (const UINT id : {*quit, *about, *pick, *quit}) SendMessageW(tray_->window(), WM_COMMAND, id, 0);
  EXPECT_EQ(tray_->drain_commands(),
            (std::vector<TrayCommand>{TrayCommand::Quit, TrayCommand::PickElement, TrayCommand::Quit}));
}

TEST_F(TrayTest, TaskbarCreatedAddsTheIconAgain) {
  const HWND window = tray_->window();
  ASSERT_TRUE(icon_is_shown(window));
  ASSERT_TRUE(remove_icon(window));  // as when the shell restarts and forgets its icons
  ASSERT_FALSE(icon_is_shown(window));
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_NE(taskbar_created, 0u);
  SendMessageW(window, taskbar_created, 0, 0);
  EXPECT_TRUE(icon_is_shown(window));
}

TEST(TrayRelease, RemovesTheIconAndDestroysTheWindow) {
  auto tray = build_tray();
  ASSERT_TRUE(tray) << tray.error().alternate();
  const HWND window = tray->window();
  ASSERT_TRUE(icon_is_shown(window));
  {
    Tray released = std::move(*tray);
    EXPECT_EQ(tray->window(), nullptr) << "moved-from tray owns nothing";
    EXPECT_EQ(released.window(), window);
  }
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(icon_is_shown(window));
}

// Runs `body` with standard error sent to a file and returns what was written there.
template <class Body>
std::string capture_stderr(Body body) {
  char dir[MAX_PATH] = {}, path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "vtr", 0, path);
  std::fflush(stderr);
  const int saved = _dup(_fileno(stderr));
  FILE* file = std::fopen(path, "wb");
  _dup2(_fileno(file), _fileno(stderr));
  body();
  std::fflush(stderr);
  _dup2(saved, _fileno(stderr));
  _close(saved);
  std::fclose(file);
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  in.close();
  DeleteFileA(path);
  return text.str();
}

TEST(TrayRelease, FailedRemovalIsReportedOnStandardErrorAndTheWindowStillGoes) {
  auto tray = build_tray();
  ASSERT_TRUE(tray) << tray.error().alternate();
  const HWND window = tray->window();
  ASSERT_TRUE(remove_icon(window));
  const std::string written = capture_stderr([&] { std::optional<Tray> gone(std::move(*tray)); });
  EXPECT_EQ(written, "Error removing system tray icon\n");
  EXPECT_FALSE(IsWindow(window));
}

TEST(TrayRelease, QuietWhenTheIconIsRemoved) {
  auto tray = build_tray();
  ASSERT_TRUE(tray) << tray.error().alternate();
  const std::string written = capture_stderr([&] { std::optional<Tray> gone(std::move(*tray)); });
  EXPECT_EQ(written, "");
}

// The 32 rows of one of the icon's bitmaps, top to bottom, read back at the given bits per
// pixel; empty when the read fails.
std::vector<std::uint8_t> read_icon_bitmap(HBITMAP bitmap, WORD bits_per_pixel) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];  // room for a monochrome bitmap's colour table
  } request{};
  request.header.biSize = sizeof(request.header);
  request.header.biWidth = 32;
  request.header.biHeight = -32;
  request.header.biPlanes = 1;
  request.header.biBitCount = bits_per_pixel;
  request.header.biCompression = BI_RGB;
  std::vector<std::uint8_t> bits(std::size_t{32} * 32 * bits_per_pixel / 8, 0xAA);
  HDC dc = GetDC(nullptr);
  const int rows =
      GetDIBits(dc, bitmap, 0, 32, bits.data(), reinterpret_cast<BITMAPINFO*>(&request), DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != 32) bits.clear();
  return bits;
}

TEST(TrayIconImage, HoldsTheDrawnPixelsWithAlpha) {
  auto icon = tray_icon_image();
  ASSERT_TRUE(icon) << icon.error().alternate();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon->get(), &info));
  EXPECT_TRUE(info.fIcon);
  BITMAP colour{};
  ASSERT_NE(GetObjectW(info.hbmColor, sizeof(colour), &colour), 0);
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);

  const std::vector<std::uint8_t> bgra = read_icon_bitmap(info.hbmColor, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  ASSERT_EQ(bgra.size(), 4096u);

  // Pixels named by their colour in blue, green, red, alpha order: #1A1A1A and #FFE500.
  struct Bgra {
    int column, row;
    std::array<std::uint8_t, 4> expected;
  };
  constexpr std::array<std::uint8_t, 4> kInk{0x1A, 0x1A, 0x1A, 0xFF};
  constexpr std::array<std::uint8_t, 4> kFill{0x00, 0xE5, 0xFF, 0xFF};
  const Bgra named[] = {{0, 0, kInk},  {31, 31, kInk},  {1, 15, kInk}, {15, 30, kInk},
                        {2, 2, kFill}, {29, 29, kFill}, {5, 15, kFill}};
  for (const Bgra& p : named) {
    SCOPED_TRACE("pixel (" + std::to_string(p.column) + ", " + std::to_string(p.row) + ")");
    const std::size_t at = (static_cast<std::size_t>(p.row) * 32 + static_cast<std::size_t>(p.column)) * 4;
    EXPECT_EQ((std::array<std::uint8_t, 4>{bgra[at], bgra[at + 1], bgra[at + 2], bgra[at + 3]}), p.expected);
  }

  const tray::IconPixels rgba = tray::tray_icon_pixels();
  int mismatches = 0;
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    if (bgra[i] != rgba[i + 2] || bgra[i + 1] != rgba[i + 1] || bgra[i + 2] != rgba[i] ||
        bgra[i + 3] != rgba[i + 3])
      ++mismatches;
  }
  EXPECT_EQ(mismatches, 0);
}

// The AND mask is all zeros, so that every pixel of the colour bitmap shows.
TEST(TrayIconImage, MaskLetsEveryPixelShow) {
  auto icon = tray_icon_image();
  ASSERT_TRUE(icon) << icon.error().alternate();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon->get(), &info));
  BITMAP mask{};
  ASSERT_NE(GetObjectW(info.hbmMask, sizeof(mask), &mask), 0);
  EXPECT_EQ(mask.bmWidth, 32);
  EXPECT_EQ(mask.bmHeight, 32);  // a colour icon's mask is the AND mask alone

  const std::vector<std::uint8_t> bits = read_icon_bitmap(info.hbmMask, 1);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  ASSERT_EQ(bits.size(), 128u);
  int set_bits = 0;
  for (const std::uint8_t byte : bits) set_bits += std::popcount(byte);
  EXPECT_EQ(set_bits, 0) << "mask bits that hide the colour pixel";
}

// What the timer saw of the open menu.
struct MenuProbe {
  bool seen = false;
  RECT rect{};
  int ticks = 0;
  std::vector<WPARAM> keys;  // pressed once the menu is seen
};
MenuProbe* g_probe = nullptr;

void CALLBACK probe_menu(HWND, UINT, UINT_PTR, DWORD) {
  MenuProbe& probe = *g_probe;
  ++probe.ticks;
  const HWND menu = test_support::open_popup_menu(GetCurrentThreadId());
  if (menu != nullptr && !probe.seen) {
    probe.seen = true;
    GetWindowRect(menu, &probe.rect);
    if (probe.keys.empty()) {
      EndMenu();
      return;
    }
    for (const WPARAM key : probe.keys) test_support::press_in_menu(menu, {key});
    return;
  }
  if (probe.ticks > 200) EndMenu();  // about 4 s: give up rather than hang
}

// Opening the menu brings the tray's window to the foreground: one test process at a time.
class TrayMenuTest : public TrayTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(foreground_lock_.held()) << "foreground lock not acquired in time";
    TrayTest::SetUp();
  }
  test_support::ForegroundLock foreground_lock_;
};

// Sends the icon's callback message with this mouse message while a timer watches for the
// popup menu (and presses the keys in it once seen), then keeps pumping for `linger`.
MenuProbe send_mouse_message(HWND window, UINT mouse, std::vector<WPARAM> keys = {},
                             std::chrono::milliseconds linger = 0ms) {
  MenuProbe probe;
  probe.keys = std::move(keys);
  g_probe = &probe;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, probe_menu);
  EXPECT_NE(timer, 0u);
  SendMessageW(window, kTrayCallbackMessage, kTrayIconId, mouse);
  const auto until = std::chrono::steady_clock::now() + linger;
  while (std::chrono::steady_clock::now() < until) {
    pump_pending_messages();
    Sleep(10);
  }
  KillTimer(nullptr, timer);
  g_probe = nullptr;
  return probe;
}

TEST_F(TrayMenuTest, EitherButtonOpensTheMenuWithItsBottomAtTheCursor) {
  const POINT cursor{640, 500};
  for (const UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
    SCOPED_TRACE(button);
    ASSERT_TRUE(SetCursorPos(cursor.x, cursor.y));
    const MenuProbe probe = send_mouse_message(tray_->window(), button);
    ASSERT_TRUE(probe.seen) << "no popup menu appeared";
    EXPECT_EQ(probe.rect.bottom, cursor.y);
    EXPECT_LE(probe.rect.left, cursor.x);
    EXPECT_GE(probe.rect.right, cursor.x);
    pump_pending_messages();
    EXPECT_TRUE(tray_->drain_commands().empty()) << "closing the menu chooses nothing";
  }
}

TEST_F(TrayMenuTest, OtherMouseMessagesOpenNoMenu) {
  for (const UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK}) {
    SCOPED_TRACE(mouse);
    // Give a menu, were one opened, the time to show.
    EXPECT_FALSE(send_mouse_message(tray_->window(), mouse, {}, 200ms).seen);
  }
}

TEST_F(TrayMenuTest, ChoosingQuitInTheOpenMenuReachesTheDrain) {
  ASSERT_TRUE(SetCursorPos(640, 500));
  // From no selection, Up selects the last item.
  const MenuProbe probe = send_mouse_message(tray_->window(), WM_RBUTTONDOWN, {VK_UP, VK_RETURN});
  ASSERT_TRUE(probe.seen) << "no popup menu appeared";
  pump_pending_messages();
  EXPECT_EQ(tray_->drain_commands(), std::vector<TrayCommand>{TrayCommand::Quit});
}

}  // namespace
}  // namespace vantro::windows
