// The pick context built from the configuration, and View Log on real folders.
#include <windows.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "app/log_viewer.h"
#include "app/pick_context.h"
#include "support/fake_file_system.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"
#include "windows/file_system.h"
#include "windows/wide.h"

namespace vantro::app {
namespace {

TEST(PickContext, ShortAlphabetFallsBackToTheDefaultWithAWarning) {
  struct Case {
    std::string alphabet;
    bool replaced;
  };
  for (const Case& c : {Case{"", true}, Case{"a", true}, Case{"ab", false}, Case{"asdfghjkl", false}}) {
    SCOPED_TRACE(c.alphabet);
    test_support::LogCapture capture;
    config::Config config;
    config.hints.alphabet = c.alphabet;
    const PickContext context = make_pick_context(config);
    EXPECT_EQ(context.hints.uses_default_alphabet(), c.replaced);
    const auto* warning = capture.find("hint alphabet needs at least two characters; using the default");
    ASSERT_EQ(warning != nullptr, c.replaced);
    if (warning != nullptr) {
      EXPECT_EQ(warning->level, log::Level::Warn);
      EXPECT_EQ(warning->target, "vantro");
      EXPECT_EQ(*warning->field("alphabet"), text::debug_quoted(c.alphabet));
    }
    EXPECT_EQ(context.element_style, overlay::OverlayStyle::for_elements(config.colors.element));
    EXPECT_EQ(context.window_style, overlay::OverlayStyle::for_windows(config.colors.window));
  }
}

TEST(LogViewer, NothingHappensWithoutDirectoryListingOrFile) {
  test_support::FakeFileSystem fake;
  {
    test_support::ScopedEnvVar local("LOCALAPPDATA", std::nullopt);
    EXPECT_TRUE(view_log(fake));
  }
  test_support::ScopedEnvVar local("LOCALAPPDATA", "Z:\\nowhere");
  EXPECT_TRUE(view_log(fake)) << "listing fails: dropped";
  fake.add("Z:\\nowhere\\vantro", "other.log");
  EXPECT_TRUE(view_log(fake)) << "no log file: nothing";
}

// Notepad's window for a file, when one shows up within the time-out.
HWND wait_for_notepad(const std::wstring& file_name, std::chrono::milliseconds timeout) {
  struct Search {
    std::wstring name;
    HWND found = nullptr;
  } search{file_name};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline && search.found == nullptr) {
    EnumWindows(
        [](HWND hwnd, LPARAM lparam) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lparam);
          wchar_t title[512]{};
          GetWindowTextW(hwnd, title, 512);
          if (std::wstring_view(title).find(s->name) != std::wstring_view::npos && IsWindowVisible(hwnd)) {
            s->found = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return search.found;
}

TEST(LogViewer, OpensTheNewestFileInNotepad) {
  wchar_t temp[MAX_PATH]{};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring local = std::wstring(temp) + L"vantro view " + std::to_wstring(GetCurrentProcessId());
  const std::wstring dir = local + L"\\vantro";
  CreateDirectoryW(local.c_str(), nullptr);
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring older = dir + L"\\vantro.2026-01-01.log";
  const std::wstring newer = dir + L"\\vantro.2026-01-02.log";
  for (const auto& path : {older, newer}) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
  }
  // The older name gets the newer last-write time: times decide, not names.
  HANDLE f = CreateFileW(older.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  FILETIME later;
  GetSystemTimeAsFileTime(&later);
  ULARGE_INTEGER t{{later.dwLowDateTime, later.dwHighDateTime}};
  t.QuadPart += 10'000'000ull * 3600;
  later = {t.LowPart, t.HighPart};
  ASSERT_TRUE(SetFileTime(f, nullptr, nullptr, &later));
  CloseHandle(f);

  test_support::ScopedEnvVar local_var("LOCALAPPDATA", windows::narrow(local));
  windows::Win32FileSystem fs;
  ASSERT_TRUE(view_log(fs));
  const HWND notepad = wait_for_notepad(L"vantro.2026-01-01.log", std::chrono::seconds(20));
  EXPECT_NE(notepad, nullptr) << "Notepad did not open the file with the latest last-write time";
  if (notepad != nullptr) PostMessageW(notepad, WM_CLOSE, 0, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  DeleteFileW(older.c_str());
  DeleteFileW(newer.c_str());
  RemoveDirectoryW(dir.c_str());
  RemoveDirectoryW(local.c_str());
}

}  // namespace
}  // namespace vantro::app
