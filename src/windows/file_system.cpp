#include "windows/file_system.h"

#include <windows.h>

#include "windows/console.h"
#include "windows/handle.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

std::wstring to_wide(std::u16string_view path) {
  return {path.begin(), path.end()};
}

log::FileTime file_time(const FILETIME& t) {
  return static_cast<log::FileTime>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

void close_find(HANDLE h) {
  FindClose(h);
}
using UniqueFind = UniqueResource<HANDLE, close_find>;

constexpr DWORD kNameSurrogateTag = 0x20000000;

log::EntryKind kind_of(const WIN32_FIND_DATAW& data) {
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && (data.dwReserved0 & kNameSurrogateTag))
    return log::EntryKind::Symlink;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return log::EntryKind::Directory;
  return log::EntryKind::File;
}

bool is_directory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class AppendFile final : public TextOutput {
 public:
  explicit AppendFile(UniqueHandle file) : file_(std::move(file)) {}
  Result<void> write(std::string_view text) override { return write_all(file_.get(), text); }

 private:
  UniqueHandle file_;
};

}  // namespace

Result<std::vector<log::DirEntry>> Win32FileSystem::list(std::u16string_view dir) {
  const std::wstring pattern = to_wide(log::join_path(dir, u"*"));
  WIN32_FIND_DATAW data{};
  const HANDLE first = FindFirstFileW(pattern.c_str(), &data);
  if (first == INVALID_HANDLE_VALUE) return fail(last_io_error());
  UniqueFind find(first);
  std::vector<log::DirEntry> entries;
  do {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    entries.push_back({std::u16string(name.begin(), name.end()), kind_of(data),
                       file_time(data.ftCreationTime), file_time(data.ftLastWriteTime)});
  } while (FindNextFileW(find.get(), &data));
  return entries;
}

bool Win32FileSystem::exists(std::u16string_view path) {
  return GetFileAttributesW(to_wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<void> Win32FileSystem::create_directories(std::u16string_view dir) {
  const std::wstring path = to_wide(dir);
  if (path.empty() || is_directory(path)) return {};
  const auto parent_end = dir.find_last_of(u"\\/");
  if (parent_end != std::u16string_view::npos && parent_end > 0) {
    const std::u16string_view parent = dir.substr(0, parent_end);
    // "C:" and "\\server\share" roots are not created.
    if (!(parent.size() == 2 && parent[1] == u':') && !parent.ends_with(u":")) {
      if (auto created = create_directories(parent); !created) return created;
    }
  }
  if (CreateDirectoryW(path.c_str(), nullptr)) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS && is_directory(path)) return {};
  return fail(io_error(code));
}

Result<void> Win32FileSystem::remove_file(std::u16string_view path) {
  if (!DeleteFileW(to_wide(path).c_str())) return fail(last_io_error());
  return {};
}

Result<std::unique_ptr<TextOutput>> Win32FileSystem::open_append(std::u16string_view path) {
  // Appending: every write goes to the end, whoever else writes to the file.
  constexpr DWORD kAccess = FILE_GENERIC_WRITE & ~FILE_WRITE_DATA;
  const HANDLE file =
      CreateFileW(to_wide(path).c_str(), kAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(last_io_error());
  return std::unique_ptr<TextOutput>(std::make_unique<AppendFile>(UniqueHandle(file)));
}

}  // namespace vantro::windows
