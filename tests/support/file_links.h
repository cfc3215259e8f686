// Symbolic links to files for Win32 tests, on Windows and under Wine alike, and the path that
// a path finally names.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "support/host_program.h"
#include "support/under_wine.h"
#include "windows/handle.h"
#include "windows/wide.h"

namespace vantro::test_support {

// The path that `path` finally names, links resolved; empty when it cannot be opened.
inline std::wstring final_path(const std::wstring& path) {
  windows::UniqueHandle file(CreateFileW(path.c_str(), 0,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  wchar_t buffer[1024];
  const DWORD length = GetFinalPathNameByHandleW(file.get(), buffer, 1024, 0);
  return length == 0 || length >= 1024 ? std::wstring() : std::wstring(buffer, length);
}

// Makes `link` a symbolic link to the file `target`: with CreateSymbolicLinkW where it makes
// one, else under Wine (whose CreateSymbolicLinkW reports success and makes nothing) as a link
// of the host's file system, which Wine follows and shows as a plain file. False when neither
// works (Windows without the right to make links).
inline bool make_file_link(const std::wstring& link, const std::wstring& target) {
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
    return true;
  if (!running_under_wine()) return false;
  const std::string host_link = host_path(link), host_target = host_path(target);
  if (host_link.empty() || host_target.empty() ||
      !start_host_program(windows::wide("/bin/ln -s \"" + host_target + "\" \"" + host_link + "\"")))
    return false;
  const std::wstring wanted = final_path(target);
  for (int i = 0; i < 200 && final_path(link) != wanted; ++i) Sleep(25);  // the host program runs on its own
  return final_path(link) == wanted;
}

// Makes `link` a symbolic link to the file `target` in the folder `folder`, then removes that
// file, and the folder too when `folder_missing`: a link whose file is missing. The folder
// must not exist yet. False when no link can be made (see make_file_link).
inline bool make_link_to_missing_file(const std::wstring& link, const std::wstring& folder,
                                      const std::wstring& target, bool folder_missing) {
  if (!CreateDirectoryW(folder.c_str(), nullptr)) return false;
  const HANDLE file =
      CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  const bool linked = make_file_link(link, target);
  return DeleteFileW(target.c_str()) && (!folder_missing || RemoveDirectoryW(folder.c_str())) && linked;
}

// Removes the folder and everything in it. Under Wine the host's rm removes what Win32 calls
// cannot: Wine's DeleteFileW on a host link removes the file that it leads to and leaves the
// link, and a link whose file is missing can be neither seen nor removed.
inline void remove_tree(const std::wstring& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder), ignored);
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES || !running_under_wine()) return;
  const std::string host_folder = host_path(folder);
  if (host_folder.empty() || !start_host_program(windows::wide("/bin/rm -rf \"" + host_folder + "\"")))
    return;
  for (int i = 0; i < 200 && GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(25);
}

}  // namespace vantro::test_support
