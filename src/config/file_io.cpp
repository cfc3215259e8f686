#include "config/file_io.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <stdio.h>

// The one Win32 call needed here (kernel32), declared as <windows.h> does so that the portable
// core stays free of that header.
extern "C" __declspec(dllimport) int __stdcall MoveFileExW(const wchar_t* existing,
                                                           const wchar_t* replacement, unsigned long flags);
extern "C" __declspec(dllimport) unsigned long __stdcall GetLastError();
#else
#include <unistd.h>
#endif

namespace vantro::config {
namespace {

std::optional<std::size_t> g_write_limit;

Error errno_error(int code) {
  return io_error(std::error_code(code, std::generic_category()));
}

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

Result<UniqueFile> open(const std::filesystem::path& path, bool for_writing) {
  errno = 0;
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), for_writing ? L"wb" : L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), for_writing ? "wb" : "rb");
#endif
  if (file == nullptr) return fail(errno_error(errno != 0 ? errno : EIO));
  return UniqueFile(file);
}

Result<void> write_all(std::FILE* file, std::string_view contents) {
  std::string_view allowed = contents;
  if (g_write_limit && *g_write_limit < contents.size()) allowed = contents.substr(0, *g_write_limit);
  errno = 0;
  if (std::fwrite(allowed.data(), 1, allowed.size(), file) != allowed.size())
    return fail(errno_error(errno != 0 ? errno : EIO));
  if (allowed.size() != contents.size()) return fail(errno_error(ENOSPC));
  return {};
}

// Flushes the stream and the system's buffers, then closes the file.
Result<void> flush_and_close(UniqueFile file) {
  errno = 0;
  if (std::fflush(file.get()) != 0) return fail(errno_error(errno != 0 ? errno : EIO));
#ifdef _WIN32
  if (_commit(_fileno(file.get())) != 0) return fail(errno_error(errno != 0 ? errno : EIO));
#else
  if (::fsync(fileno(file.get())) != 0) return fail(errno_error(errno != 0 ? errno : EIO));
#endif
  if (std::fclose(file.release()) != 0) return fail(errno_error(errno != 0 ? errno : EIO));
  return {};
}

Result<void> move_over(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  constexpr unsigned long kReplaceExisting = 0x1;  // MOVEFILE_REPLACE_EXISTING
  constexpr unsigned long kWriteThrough = 0x8;     // MOVEFILE_WRITE_THROUGH
  if (MoveFileExW(from.c_str(), to.c_str(), kReplaceExisting | kWriteThrough) == 0) {
    return fail(io_error(std::error_code(static_cast<int>(GetLastError()), std::system_category())));
  }
#else
  if (std::rename(from.c_str(), to.c_str()) != 0) return fail(errno_error(errno));
#endif
  return {};
}

}  // namespace

Error io_error(const std::error_code& code) {
  return Error::io(code.value(), code.message());
}

Result<std::string> read_file(const std::filesystem::path& path) {
  auto file = open(path, false);
  if (!file) return fail(std::move(file.error()));
  std::string contents;
  char buffer[16 * 1024];
  for (;;) {
    errno = 0;
    const std::size_t count = std::fread(buffer, 1, sizeof buffer, file->get());
    contents.append(buffer, count);
    if (count == sizeof buffer) continue;
    if (std::ferror(file->get())) return fail(errno_error(errno != 0 ? errno : EIO));
    break;
  }
  return contents;
}

Result<void> remove_file(const std::filesystem::path& path) {
  errno = 0;
#ifdef _WIN32
  const int result = _wunlink(path.c_str());
#else
  const int result = ::unlink(path.c_str());
#endif
  if (result != 0) return fail(errno_error(errno != 0 ? errno : EIO));
  return {};
}

std::filesystem::path temporary_path_for(const std::filesystem::path& path) {
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  return temporary;
}

Result<void> replace_file(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path temporary = temporary_path_for(path);
  auto file = open(temporary, true);
  if (!file) return fail(std::move(file.error()));  // nothing was created
  Result<void> result = write_all(file->get(), contents);
  if (result) result = flush_and_close(std::move(*file));
  file->reset();
  if (result) result = move_over(temporary, path);
  if (!result) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  return result;
}

void set_write_limit_for_tests(std::optional<std::size_t> bytes) {
  g_write_limit = bytes;
}

}  // namespace vantro::config
