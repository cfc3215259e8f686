// vantro.exe with its tray under Wine: every menu command reaches its action (View Log starts
// Notepad on the newest log file), Quit from the tray menu ends the program, "--no-tray" runs
// without a tray.
#include <windows.h>

#include <shellapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/normal_run.h"
#include "popup_menu_window.h"
#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"
#include "windows/handle.h"
#include "windows/ipc.h"
#include "windows/tray.h"
#include "windows/uia_client.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

fs::path program_path() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path() / L"vantro.exe";
}

// A fresh folder for the program's APPDATA and LOCALAPPDATA.
fs::path fresh_profile() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path dir = fs::path(temp) / (L"vantro-tray-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                         std::to_wstring(GetTickCount64()));
  fs::create_directories(dir / L"roaming" / L"vantro");
  fs::create_directories(dir / L"local");
  return dir;
}

// One run of vantro.exe with its standard output and error read on a thread of their own.
class Program {
 public:
  Program(const std::wstring& arguments, const fs::path& profile) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return;
    output_read_.reset(read);
    UniqueHandle output_write(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);

    std::wstring command = L"\"" + program_path().wstring() + L"\" " + arguments;
    // The child inherits these.
    const test_support::ScopedEnvVar appdata("APPDATA", narrow((profile / L"roaming").wstring()));
    const test_support::ScopedEnvVar local_appdata("LOCALAPPDATA", narrow((profile / L"local").wstring()));
    const test_support::ScopedEnvVar no_color("NO_COLOR", "1");
    const test_support::ScopedEnvVar filter("RUST_LOG", "info");
    STARTUPINFOW startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info))
      return;
    process_.reset(info.hProcess);
    CloseHandle(info.hThread);
    pid_ = info.dwProcessId;
    output_write.reset();
    reader_ = std::jthread([this] {
      char buffer[512];
      DWORD got = 0;
      while (ReadFile(output_read_.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        const std::lock_guard lock(mutex_);
        output_.append(buffer, got);
      }
    });
  }
  ~Program() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 99);  // a test failed with our child still running
      WaitForSingleObject(process_.get(), 5000);
    }
  }

  [[nodiscard]] bool started() const { return static_cast<bool>(process_); }
  [[nodiscard]] bool exited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
  [[nodiscard]] DWORD pid() const { return pid_; }
  [[nodiscard]] std::string output() const {
    const std::lock_guard lock(mutex_);
    return output_;
  }
  // The exit code, or nothing when the program still runs after the time-out.
  [[nodiscard]] std::optional<DWORD> wait(std::chrono::milliseconds timeout) {
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    if (reader_.joinable()) reader_.join();
    return code;
  }

 private:
  UniqueHandle process_;
  UniqueHandle output_read_;
  DWORD pid_ = 0;
  mutable std::mutex mutex_;
  std::string output_;
  std::jthread reader_;
};

// Polls until `ready` holds or the time runs out.
bool eventually(std::chrono::milliseconds timeout, const std::function<bool()>& ready) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > until) return false;
    Sleep(20);
  }
  return true;
}

// A top-level window of that process (any process for 0) with that class, or null; with
// `visible` only a visible one.
HWND window_of(DWORD pid, const wchar_t* class_name, bool visible = false) {
  struct Search {
    DWORD pid;
    const wchar_t* class_name;
    bool visible;
    HWND found;
  } search{pid, class_name, visible, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
        if ((s.pid != 0 && owner != s.pid) || std::wstring_view(name) != s.class_name) return TRUE;
        if (s.visible && !IsWindowVisible(hwnd)) return TRUE;
        s.found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string log_text(const fs::path& profile) {
  std::string text;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(profile / L"local" / L"vantro", ec)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    text += content.str();
  }
  return text;
}

// Chords nobody else under test uses, so that no hotkey-conflict box holds start-up.
void write_config(const fs::path& profile) {
  std::ofstream(profile / L"roaming" / L"vantro" / L"config.toml")
      << "[hotkeys]\npick_element = \"Ctrl+Alt+Shift+F11\"\npick_window = \"Ctrl+Alt+Shift+F12\"\n";
}

// Starts vantro.exe and waits until it has printed `ready_line` or ended.
std::unique_ptr<Program> start_program(const std::wstring& arguments, const fs::path& profile,
                                       const std::string& ready_line) {
  auto program = std::make_unique<Program>(arguments, profile);
  if (!program->started()) return nullptr;
  eventually(30s,
             [&] { return program->output().find(ready_line) != std::string::npos || program->exited(); });
  return program;
}

constexpr char kBannerEnd[] = "Switch focus to any app, then press a leader.";

// Up presses that select an item of the menu from no selection: the first selects the last
// item, Quit, and each further one the item above, separators skipped.
constexpr int kQuitUps = 1, kViewLogUps = 2, kSettingsUps = 3, kPickWindowUps = 4, kPickElementUps = 5;

// Opens the menu with a right-button press on the icon and chooses the item `ups` Up presses
// away; false when no menu opened.
bool choose_in_tray_menu(HWND tray, int ups) {
  if (!PostMessageW(tray, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN)) return false;
  HWND menu = nullptr;
  if (!eventually(10s, [&] {
        return (menu = test_support::open_popup_menu(GetWindowThreadProcessId(tray, nullptr))) != nullptr;
      }))
    return false;
  for (int i = 0; i < ups; ++i) test_support::press_in_menu(menu, {VK_UP});
  test_support::press_in_menu(menu, {VK_RETURN});
  return true;
}

// The program takes the session's single-instance mutex and opens the menu in the foreground.
class TrayProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(instance_lock_.held()) << "instance lock not acquired in time";
    ASSERT_TRUE(foreground_lock_.held()) << "foreground lock not acquired in time";
  }
  test_support::InstanceLock instance_lock_;
  test_support::ForegroundLock foreground_lock_;
};

TEST_F(TrayProgram, QuitFromTheTrayMenuEndsTheProgram) {
  const fs::path profile = fresh_profile();
  write_config(profile);
  auto program = start_program(L"", profile, kBannerEnd);
  ASSERT_TRUE(program) << "vantro.exe did not start";
  ASSERT_NE(program->output().find(kBannerEnd), std::string::npos) << program->output();
  EXPECT_NE(program->output().find("  Quit         : Tray menu \xE2\x86\x92 Quit, or `vantro --close`\n"),
            std::string::npos)
      << program->output();

  HWND tray = nullptr;
  ASSERT_TRUE(
      eventually(20s, [&] { return (tray = window_of(program->pid(), L"tray_icon_app")) != nullptr; }));
  ASSERT_TRUE(choose_in_tray_menu(tray, kQuitUps)) << "no menu opened";

  const auto exit_code = program->wait(20s);
  ASSERT_TRUE(exit_code) << "still running after Quit";
  EXPECT_EQ(*exit_code, 0u);
  EXPECT_FALSE(IsWindow(tray));
  const std::string log = log_text(profile);
  EXPECT_NE(log.find("tray icon registered"), std::string::npos) << log;
  EXPECT_NE(log.find("quit requested from tray"), std::string::npos) << log;
  std::error_code ec;
  fs::remove_all(profile, ec);
}

// The arguments of the command line that the window's process was started with, read from
// its process parameters (Wine 8 has no ProcessCommandLineInformation); empty when unreadable.
std::vector<std::wstring> command_line_arguments(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  PEB peb{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  if (!process || query == nullptr ||
      query(process.get(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
      !ReadProcessMemory(process.get(), basic.PebBaseAddress, &peb, sizeof(peb), nullptr) ||
      !ReadProcessMemory(process.get(), peb.ProcessParameters, &parameters, sizeof(parameters), nullptr))
    return {};
  std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process.get(), parameters.CommandLine.Buffer, line.data(),
                         parameters.CommandLine.Length, nullptr))
    return {};
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(line.c_str(), &count);
  if (argv == nullptr) return {};
  std::vector<std::wstring> arguments(argv, argv + count);
  LocalFree(argv);
  return arguments;
}

// What choosing one item led to, as far as the test can see it.
struct Effect {
  const wchar_t* window_class;         // a window that opened (of the program, or Notepad of any process)
  std::vector<std::string> log_lines;  // or one of these events in the log
  // View Log: the file that Notepad must be started on, with no "failed to open log file".
  std::optional<fs::path> notepad_file = std::nullopt;
};

// Empty log files beside the program's own, each with its own last-write time: the newest is
// neither the first nor the last by name, and a file that is no log file is newer still.
// Returns the newest log file, or nothing when one could not be written.
std::optional<fs::path> add_log_files_of_other_days(const fs::path& profile) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const auto hours_from_now = [&](std::int64_t hours) {
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart += static_cast<ULONGLONG>(hours * 3600 * 10'000'000);
    return FILETIME{t.LowPart, t.HighPart};
  };
  const struct {
    const wchar_t* name;
    FILETIME last_write;
  } files[] = {
      {L"vantro.2001-01-01.log", hours_from_now(-72)},
      {L"vantro.2001-01-02.log", hours_from_now(1)},
      {L"vantro.2001-01-03.log", hours_from_now(-48)},
      {L"notes.log", hours_from_now(2)},
  };
  const fs::path dir = profile / L"local" / L"vantro";
  for (const auto& file : files) {
    const UniqueHandle handle(
        CreateFileW((dir / file.name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE ||
        !SetFileTime(handle.get(), nullptr, nullptr, &file.last_write))
      return std::nullopt;
  }
  return dir / L"vantro.2001-01-02.log";
}

// A window that a command opened, and the arguments its process was started with.
struct Opened {
  std::wstring window_class;
  HWND window;
  std::vector<std::wstring> arguments;
};

// Closes what a command opened and would otherwise hold the program's main loop: a message box
// (OK), an overlay (Esc), the settings window and Notepad (WM_CLOSE). Returns what it found.
std::vector<Opened> close_what_opened(DWORD pid) {
  struct Kind {
    const wchar_t* window_class;
    DWORD pid;
    UINT message;
    WPARAM wparam;
  };
  const Kind kinds[] = {
      {L"#32770", pid, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
      {L"VantroOverlayClass", pid, WM_KEYDOWN, VK_ESCAPE},
      {L"VantroSettingsWindow", pid, WM_CLOSE, 0},
      {L"Notepad", 0, WM_CLOSE, 0},  // a process of its own
  };
  std::vector<Opened> found;
  for (const Kind& kind : kinds) {
    if (HWND window = window_of(kind.pid, kind.window_class, true)) {
      std::vector<std::wstring> arguments = command_line_arguments(window);
      PostMessageW(window, kind.message, kind.wparam, 0);
      found.push_back({kind.window_class, window, std::move(arguments)});
    }
  }
  return found;
}

std::size_t count_of(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(TrayProgram, EveryMenuCommandReachesItsAction) {
  const fs::path profile = fresh_profile();
  write_config(profile);
  auto program = start_program(L"", profile, kBannerEnd);
  ASSERT_TRUE(program) << "vantro.exe did not start";
  HWND tray = nullptr;
  ASSERT_TRUE(
      eventually(20s, [&] { return (tray = window_of(program->pid(), L"tray_icon_app")) != nullptr; }));
  const std::optional<fs::path> newest_log = add_log_files_of_other_days(profile);
  ASSERT_TRUE(newest_log) << "could not write the log files of other days";

  const struct {
    const char* item;
    int ups;
    Effect effect;
  } cases[] = {
      {"Settings...", kSettingsUps, {L"VantroSettingsWindow", {}}},
      {"View Log", kViewLogUps, {L"Notepad", {}, newest_log}},
      {"Pick window",
       kPickWindowUps,
       {nullptr,
        {"enumerate_visible complete", "no visible top-level windows", "showing window overlay",
         "tray PickWindow failed"}}},
      {"Pick element",
       kPickElementUps,
       {nullptr,
        {"no interactable elements in foreground window", "showing element overlay",
         "tray PickElement failed"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    const std::size_t log_before = log_text(profile).size();
    ASSERT_TRUE(choose_in_tray_menu(tray, c.ups)) << "no menu opened";
    bool reached = false;
    std::set<std::wstring> seen;
    std::set<HWND> boxes;
    std::map<HWND, std::vector<std::wstring>> notepads;  // each Notepad window, its process's arguments
    // Closes what is open and notes what it was; true when nothing was open.
    const auto close_and_note = [&] {
      const std::vector<Opened> opened = close_what_opened(program->pid());
      for (const Opened& o : opened) {
        seen.insert(o.window_class);
        if (o.window_class == L"#32770") boxes.insert(o.window);
        if (o.window_class == L"Notepad") notepads.emplace(o.window, o.arguments);
      }
      return opened.empty();
    };
    // Until the command showed its effect, every box it notified with was seen, and nothing it
    // opened is left.
    eventually(20s, [&] {
      close_and_note();
      const std::string log = log_text(profile).substr(log_before);
      for (const std::string& line : c.effect.log_lines)
        reached = reached || log.find(line) != std::string::npos;
      if (c.effect.window_class != nullptr) reached = reached || seen.contains(c.effect.window_class);
      return reached && count_of(log, "user notification") == boxes.size() && close_and_note();
    });
    EXPECT_TRUE(reached) << log_text(profile);
    if (c.effect.notepad_file) {
      EXPECT_EQ(log_text(profile).substr(log_before).find("failed to open log file"), std::string::npos)
          << log_text(profile);
      ASSERT_EQ(notepads.size(), 1u) << "Notepad windows";
      const std::vector<std::wstring>& arguments = notepads.begin()->second;
      ASSERT_EQ(arguments.size(), 2u) << "Notepad's command line: the program and one file";
      EXPECT_EQ(arguments[1], c.effect.notepad_file->wstring());
    }
    ASSERT_FALSE(program->exited()) << "the program ended";
  }

  ASSERT_TRUE(choose_in_tray_menu(tray, kQuitUps)) << "no menu opened";
  const auto exit_code = program->wait(20s);
  ASSERT_TRUE(exit_code) << "still running after Quit";
  EXPECT_EQ(*exit_code, 0u);
  std::error_code ec;
  fs::remove_all(profile, ec);
}

std::vector<std::wstring>* g_destroyed = nullptr;

// Records the class of every window of this thread as it is destroyed.
LRESULT CALLBACK record_destroyed(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_DESTROYWND && g_destroyed != nullptr) {
    wchar_t name[64] = {};
    GetClassNameW(reinterpret_cast<HWND>(wp), name, static_cast<int>(std::size(name)));
    g_destroyed->emplace_back(name);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(TrayProgram, ShutdownReleasesTheTrayFirst) {
  if (!UiaClient::create()) GTEST_SKIP() << "no UI Automation server in this prefix";
  const fs::path profile = fresh_profile();
  write_config(profile);
  const test_support::ScopedEnvVar appdata("APPDATA", narrow((profile / L"roaming").wstring()));
  const test_support::LogCapture capture(log::Level::Info);
  std::vector<std::wstring> destroyed;
  g_destroyed = &destroyed;
  const HHOOK hook = SetWindowsHookExW(WH_CBT, record_destroyed, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);

  // Another process's "--close" would do the same, once the tray is there.
  std::atomic<HWND> tray = nullptr;
  std::atomic<bool> signalled = false;
  std::thread closer([&] {
    if (!eventually(20s,
                    [&] { return (tray = window_of(GetCurrentProcessId(), L"tray_icon_app")) != nullptr; }))
      return;
    eventually(10s, [&] {
      const auto sent = signal_running_instance();
      return signalled = sent && *sent;
    });
  });
  const int code = app::run_normal(false, {[] {}, [] { return UiaClient::create(); }});
  closer.join();
  UnhookWindowsHookEx(hook);
  g_destroyed = nullptr;

  ASSERT_TRUE(signalled) << "no tray window or no close-request window";
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(IsWindow(tray));
  EXPECT_NE(capture.find("tray icon registered"), nullptr);
  const auto position = [&](std::wstring_view name) {
    return std::find(destroyed.begin(), destroyed.end(), name) - destroyed.begin();
  };
  const auto tray_at = position(L"tray_icon_app");
  const auto hotkeys_at = position(L"global_hotkey_app");
  const auto ipc_at = position(kIpcWindowClass);
  ASSERT_LT(tray_at, std::ssize(destroyed));
  ASSERT_LT(hotkeys_at, std::ssize(destroyed));
  ASSERT_LT(ipc_at, std::ssize(destroyed));
  EXPECT_LT(tray_at, hotkeys_at);
  EXPECT_LT(hotkeys_at, ipc_at);
  std::error_code ec;
  fs::remove_all(profile, ec);
}

TEST_F(TrayProgram, NoTrayBuildsNoTray) {
  const fs::path profile = fresh_profile();
  write_config(profile);
  auto program = start_program(L"--no-tray", profile, kBannerEnd);
  ASSERT_TRUE(program) << "vantro.exe did not start";
  const std::string banner = program->output();
  ASSERT_NE(banner.find(kBannerEnd), std::string::npos) << banner;
  EXPECT_NE(banner.find("  Quit         : `vantro --close`\n"), std::string::npos) << banner;
  EXPECT_EQ(banner.find("Tray menu"), std::string::npos) << banner;
  EXPECT_EQ(window_of(program->pid(), L"tray_icon_app"), nullptr);

  HWND ipc = nullptr;
  ASSERT_TRUE(eventually(
      10s, [&] { return (ipc = window_of(program->pid(), L"VantroIpcWindowClass_v1")) != nullptr; }));
  ASSERT_TRUE(PostMessageW(ipc, WM_CLOSE, 0, 0));
  const auto exit_code = program->wait(20s);
  ASSERT_TRUE(exit_code) << "still running after the close request";
  EXPECT_EQ(*exit_code, 0u);
  const std::string log = log_text(profile);
  EXPECT_NE(log.find("--no-tray: running without system tray icon"), std::string::npos) << log;
  EXPECT_EQ(log.find("tray icon registered"), std::string::npos) << log;
  std::error_code ec;
  fs::remove_all(profile, ec);
}

}  // namespace
}  // namespace vantro::windows
