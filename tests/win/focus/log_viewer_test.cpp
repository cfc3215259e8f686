// View Log on a real folder: Notepad opens the file with the latest last-write time. Its
// window takes the desktop's focus, hence a test that runs alone.
#include <windows.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "app/log_viewer.h"
#include "support/scoped_env_var.h"
#include "windows/file_system.h"
#include "windows/wide.h"

namespace vantro::app {
namespace {

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
  if (notepad != nullptr) {
    // Closed and waited for, so that no window of it is left for the next test.
    DWORD pid = 0;
    GetWindowThreadProcessId(notepad, &pid);
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageW(notepad, WM_CLOSE, 0, 0);
    if (process != nullptr) {
      if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      CloseHandle(process);
    }
  }
  DeleteFileW(older.c_str());
  DeleteFileW(newer.c_str());
  RemoveDirectoryW(dir.c_str());
  RemoveDirectoryW(local.c_str());
}

}  // namespace
}  // namespace vantro::app
