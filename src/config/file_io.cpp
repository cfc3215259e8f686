#include "config/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <expected>
#include <system_error>
#include <utility>

#include <fmt/format.h>

#include "core/os_error.h"

#ifdef _WIN32
#include "core/kernel32.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantro::config {
namespace {

std::optional<std::size_t> g_write_limit;
#ifdef _WIN32
std::optional<std::uint32_t> g_final_path_failure;
#endif

// Numbers the temporary files of this process, so that no two attempts share a name.
std::atomic<std::uint64_t> g_attempts{0};
constexpr int kMaxNameAttempts = 100;

// An open file, closed when it goes. Each call below reports the failure of its system call
// (GetLastError on Windows, errno elsewhere).
class File {
 public:
#ifdef _WIN32
  using Native = kernel32::Handle;
  static constexpr Native kNone = nullptr;
#else
  using Native = int;
  static constexpr Native kNone = -1;
#endif

  File() = default;
  explicit File(Native native) : native_(native) {}
  File(File&& other) noexcept : native_(std::exchange(other.native_, kNone)) {}
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      discard();
      native_ = std::exchange(other.native_, kNone);
    }
    return *this;
  }
  ~File() {
    discard();
  }

  [[nodiscard]] Native native() const {
    return native_;
  }

  // The file at `path` for reading; it may be read, written and removed by others meanwhile.
  static Result<File> open_existing(const std::filesystem::path& path) {
#ifdef _WIN32
    const Native native =
        kernel32::CreateFileW(path.c_str(), kernel32::kGenericRead, kernel32::kShareAll, nullptr,
                              kernel32::kOpenExisting, kernel32::kAttributeNormal, nullptr);
    if (native == kernel32::kInvalidHandle) return fail(last_os_error());
#else
    errno = 0;
    const Native native = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (native < 0) return fail(last_os_error());
#endif
    return File(native);
  }

  // A new file at `path` for writing; nothing when something already has that name.
  static Result<std::optional<File>> create_new(const std::filesystem::path& path) {
#ifdef _WIN32
    const Native native = kernel32::CreateFileW(path.c_str(), kernel32::kGenericWrite, 0, nullptr,
                                                kernel32::kCreateNew, kernel32::kAttributeNormal, nullptr);
    if (native == kernel32::kInvalidHandle) {
      const kernel32::Dword code = kernel32::GetLastError();
      if (code == kernel32::kErrorFileExists || code == kernel32::kErrorAlreadyExists)
        return std::optional<File>();
      return fail(os_error(code));
    }
#else
    errno = 0;
    const Native native = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (native < 0) {
      if (errno == EEXIST) return std::optional<File>();
      return fail(last_os_error());
    }
#endif
    return std::optional<File>(File(native));
  }

  // Up to `size` bytes; 0 at the end of the file.
  Result<std::size_t> read_some(char* buffer, std::size_t size) {
#ifdef _WIN32
    kernel32::Dword read = 0;
    if (kernel32::ReadFile(native_, buffer, static_cast<kernel32::Dword>(size), &read, nullptr) == 0)
      return fail(last_os_error());
    return static_cast<std::size_t>(read);
#else
    for (;;) {
      errno = 0;
      const ssize_t read = ::read(native_, buffer, size);
      if (read >= 0) return static_cast<std::size_t>(read);
      if (errno != EINTR) return fail(last_os_error());
    }
#endif
  }

  Result<void> write_all(std::string_view bytes) {
    while (!bytes.empty()) {
#ifdef _WIN32
      kernel32::Dword written = 0;
      const auto chunk = static_cast<kernel32::Dword>(std::min<std::size_t>(bytes.size(), 1u << 30));
      if (kernel32::WriteFile(native_, bytes.data(), chunk, &written, nullptr) == 0)
        return fail(last_os_error());
#else
      errno = 0;
      const ssize_t written = ::write(native_, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        return fail(last_os_error());
      }
#endif
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
  }

  // Flushes the system's buffers to disk, then closes the file.
  Result<void> flush_and_close() {
#ifdef _WIN32
    if (kernel32::FlushFileBuffers(native_) == 0) return fail(last_os_error());
    if (kernel32::CloseHandle(std::exchange(native_, kNone)) == 0) return fail(last_os_error());
#else
    errno = 0;
    if (::fsync(native_) != 0) return fail(last_os_error());
    if (::close(std::exchange(native_, kNone)) != 0) return fail(last_os_error());
#endif
    return {};
  }

 private:
  void discard() noexcept {
    if (native_ == kNone) return;
#ifdef _WIN32
    kernel32::CloseHandle(native_);
#else
    ::close(native_);
#endif
    native_ = kNone;
  }

  Native native_ = kNone;
};

// What a full disk reports.
Error disk_full() {
#ifdef _WIN32
  return os_error(kernel32::kErrorDiskFull);
#else
  return os_error(ENOSPC);
#endif
}

std::uint32_t process_id() {
#ifdef _WIN32
  return kernel32::GetCurrentProcessId();
#else
  return static_cast<std::uint32_t>(::getpid());
#endif
}

Result<void> move_over(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  if (kernel32::MoveFileExW(from.c_str(), to.c_str(),
                            kernel32::kMoveReplaceExisting | kernel32::kMoveWriteThrough) == 0)
    return fail(last_os_error());
#else
  errno = 0;
  if (::rename(from.c_str(), to.c_str()) != 0) return fail(last_os_error());
#endif
  return {};
}

bool is_folder(const std::filesystem::path& path) {
#ifdef _WIN32
  const kernel32::Dword attributes = kernel32::GetFileAttributesW(path.c_str());
  return attributes != kernel32::kInvalidAttributes && (attributes & kernel32::kAttributeDirectory) != 0;
#else
  std::error_code ignored;
  return std::filesystem::is_directory(path, ignored);
#endif
}

// The file that a replacement of `path` writes: the one that the path finally names, links
// resolved, with what it keeps of that file.
struct Destination {
  std::filesystem::path file;
  // The existing file's attributes (Windows) or permission bits (elsewhere); nothing when no
  // file is there yet.
  std::optional<std::uint32_t> attributes;
  // The file was made, empty, while looking for it: a failed replacement removes it again.
  bool created = false;
};

#ifdef _WIN32
// The path of the open file, links resolved, or the error code of the query.
std::expected<std::wstring, kernel32::Dword> final_path_of(kernel32::Handle file) {
  if (g_final_path_failure) return std::unexpected(*g_final_path_failure);
  std::wstring final_path(256, L'\0');
  for (;;) {
    const kernel32::Dword length = kernel32::GetFinalPathNameByHandleW(
        file, final_path.data(), static_cast<kernel32::Dword>(final_path.size()), 0);
    if (length == 0) return std::unexpected(kernel32::GetLastError());
    const bool fits = length < final_path.size();  // otherwise the size needed, with its null
    final_path.resize(length);
    if (fits) return final_path;
  }
}

// Whether a link (any reparse point) stands at the path; the attributes read are the link's
// own, not those of what it leads to.
bool is_link(const std::filesystem::path& path) {
  const kernel32::Dword attributes = kernel32::GetFileAttributesW(path.c_str());
  return attributes != kernel32::kInvalidAttributes && (attributes & kernel32::kAttributeReparsePoint) != 0;
}

// Removes the file once `file` is closed, whatever path leads to it (opened with DELETE access).
void remove_when_closed(const File& file) {
  kernel32::FileDispositionInfo disposition{1};
  (void)kernel32::SetFileInformationByHandle(file.native(), kernel32::kFileDispositionInfo, &disposition,
                                             sizeof disposition);
}
#else
// Where the file that `path` names is made when there is none: at the path itself, or, for a
// link whose file is missing, as that file in its folder, links resolved (a rename there makes
// it and leaves the link as it is). A missing folder of that file is an error.
Result<std::filesystem::path> missing_file_of(std::filesystem::path path) {
  constexpr int kMaxLinks = 40;  // as many as the system follows
  std::error_code error;
  int links = 0;
  for (; std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)); ++links) {
    if (links == kMaxLinks) return fail(os_error(ELOOP));
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return fail(os_error(static_cast<std::uint32_t>(error.value())));
    path = path.parent_path() / target;  // an absolute target replaces the whole path
  }
  if (links == 0) return path;
  const std::filesystem::path folder =
      std::filesystem::canonical(path.has_parent_path() ? path.parent_path() : ".", error);
  if (error) return fail(os_error(static_cast<std::uint32_t>(error.value())));
  return folder / path.filename();
}
#endif

Result<Destination> destination_of(const std::filesystem::path& path) {
#ifdef _WIN32
  // No access asked for: only the name and the metadata are read, so a file that others hold
  // open without sharing opens too.
  kernel32::Handle handle =
      kernel32::CreateFileW(path.c_str(), 0, kernel32::kShareAll, nullptr, kernel32::kOpenExisting,
                            kernel32::kFlagBackupSemantics, nullptr);
  bool created = false;
  if (handle == kernel32::kInvalidHandle) {
    const kernel32::Dword code = kernel32::GetLastError();
    if (code != kernel32::kErrorFileNotFound && code != kernel32::kErrorPathNotFound)
      return fail(os_error(code));
    // No file, or a link whose file is missing. This open follows a link and makes its file,
    // empty, so that the path it finally has can be read; where that file's folder is missing it
    // fails and makes nothing. Only a file that it made (no ERROR_ALREADY_EXISTS) is removed on a
    // failure.
    handle = kernel32::CreateFileW(path.c_str(), kernel32::kDelete, kernel32::kShareAll, nullptr,
                                   kernel32::kOpenAlways, kernel32::kAttributeNormal, nullptr);
    if (handle == kernel32::kInvalidHandle) return fail(last_os_error());
    created = kernel32::GetLastError() != kernel32::kErrorAlreadyExists;
  }
  const File file(handle);  // closes it
  std::filesystem::path final_path;
  if (auto named = final_path_of(file.native())) {
    final_path = std::move(*named);
  } else if (!is_link(path)) {
    // Some volumes cannot tell the final path (RAM disks and mounted images, drive letters made
    // with DefineDosDevice); a path that is no link names the file itself.
    final_path = path;
  } else {
    if (created) remove_when_closed(file);
    return fail(os_error(named.error()));
  }
  const kernel32::Dword attributes = kernel32::GetFileAttributesW(final_path.c_str());
  if (attributes == kernel32::kInvalidAttributes) {
    Error error = last_os_error();
    if (created) remove_when_closed(file);
    return fail(std::move(error));
  }
  return Destination{std::move(final_path), attributes, created};
#else
  std::error_code error;
  std::filesystem::path final_path = std::filesystem::canonical(path, error);
  if (error == std::errc::no_such_file_or_directory) {
    auto missing = missing_file_of(path);
    if (!missing) return fail(std::move(missing.error()));
    return Destination{std::move(*missing), std::nullopt};
  }
  if (error) return fail(os_error(static_cast<std::uint32_t>(error.value())));
  struct stat status {};
  errno = 0;
  if (::stat(final_path.c_str(), &status) != 0) return fail(last_os_error());
  return Destination{std::move(final_path), static_cast<std::uint32_t>(status.st_mode & 07777)};
#endif
}

// Gives the new file what the replaced one had: on Windows the hidden, system and
// not-indexed attributes (a read-only file is not replaced, so read-only is not carried), its
// permission bits elsewhere.
Result<void> take_attributes(const std::filesystem::path& path, std::uint32_t attributes) {
#ifdef _WIN32
  constexpr kernel32::Dword kCarried =
      kernel32::kAttributeHidden | kernel32::kAttributeSystem | kernel32::kAttributeNotContentIndexed;
  if ((attributes & kCarried) == 0) return {};
  if (kernel32::SetFileAttributesW(path.c_str(), kernel32::kAttributeArchive | (attributes & kCarried)) == 0)
    return fail(last_os_error());
#else
  errno = 0;
  if (::chmod(path.c_str(), static_cast<mode_t>(attributes)) != 0) return fail(last_os_error());
#endif
  return {};
}

// Whether the entry is a file, neither a folder nor a link.
bool is_plain_file(const std::filesystem::directory_entry& entry) {
#ifdef _WIN32
  // The C runtime's stat, which the library's symlink_status is here, follows a link to a
  // file; the link's own attributes tell.
  const kernel32::Dword attributes = kernel32::GetFileAttributesW(entry.path().c_str());
  return attributes != kernel32::kInvalidAttributes &&
         (attributes & (kernel32::kAttributeDirectory | kernel32::kAttributeReparsePoint)) == 0;
#else
  std::error_code error;
  return entry.symlink_status(error).type() == std::filesystem::file_type::regular;
#endif
}

// Removes what earlier replacements of `file` left behind (a crash or a killed process
// between creating a temporary file and moving it): the files in its folder named as
// temporary files of it. Folders and links under such names stay, and so does whatever
// cannot be removed.
void remove_leftover_temporaries(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  const std::filesystem::path name = file.filename();
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (is_temporary_name(entry->path().filename(), name) && is_plain_file(*entry))
      (void)remove_file(entry->path());
  }
}

// A new temporary file beside `path` and its name.
Result<std::pair<File, std::filesystem::path>> create_temporary_beside(const std::filesystem::path& path) {
  const std::uint32_t pid = process_id();
  for (int tries = 0; tries < kMaxNameAttempts; ++tries) {
    std::filesystem::path temporary = path;
    temporary += fmt::format(".{}-{}.tmp", pid, ++g_attempts);
    auto created = File::create_new(temporary);
    if (!created) return fail(std::move(created.error()));
    if (*created) return std::pair{std::move(**created), std::move(temporary)};
  }
#ifdef _WIN32
  return fail(os_error(kernel32::kErrorFileExists));
#else
  return fail(os_error(EEXIST));
#endif
}

}  // namespace

Result<std::string> read_file(const std::filesystem::path& path) {
  auto file = File::open_existing(path);
  if (!file) return fail(std::move(file.error()));
  std::string contents;
  char buffer[16 * 1024];
  for (;;) {
    auto count = file->read_some(buffer, sizeof buffer);
    if (!count) return fail(std::move(count.error()));
    if (*count == 0) break;
    contents.append(buffer, *count);
  }
  return contents;
}

Result<void> remove_file(const std::filesystem::path& path) {
#ifdef _WIN32
  if (kernel32::DeleteFileW(path.c_str()) == 0) return fail(last_os_error());
#else
  errno = 0;
  if (::unlink(path.c_str()) != 0) return fail(last_os_error());
#endif
  return {};
}

Result<void> create_folders(const std::filesystem::path& folder) {
  if (folder.empty() || is_folder(folder)) return {};
  const std::filesystem::path parent = folder.parent_path();
  if (!parent.empty() && parent != folder) {
    if (auto created = create_folders(parent); !created) return created;
  }
#ifdef _WIN32
  if (kernel32::CreateDirectoryW(folder.c_str(), nullptr) == 0) {
    const kernel32::Dword code = kernel32::GetLastError();
    if (!is_folder(folder)) return fail(os_error(code));  // another program may have made it meanwhile
  }
#else
  errno = 0;
  if (::mkdir(folder.c_str(), 0777) != 0) {
    const int code = errno;
    if (!is_folder(folder)) return fail(os_error(static_cast<std::uint32_t>(code)));
  }
#endif
  return {};
}

bool is_temporary_name(const std::filesystem::path& name, const std::filesystem::path& file_name) {
  using Char = std::filesystem::path::value_type;
  std::basic_string_view<Char> rest = name.native();
  const std::basic_string_view<Char> base = file_name.native();
  if (base.empty() || !rest.starts_with(base)) return false;
  rest.remove_prefix(base.size());
  const auto take = [&rest](char c) {
    if (rest.empty() || rest.front() != static_cast<Char>(c)) return false;
    rest.remove_prefix(1);
    return true;
  };
  const auto take_digits = [&rest] {
    std::size_t count = 0;
    while (count < rest.size() && rest[count] >= '0' && rest[count] <= '9') ++count;
    rest.remove_prefix(count);
    return count > 0;
  };
  constexpr Char kSuffix[] = {'.', 't', 'm', 'p'};
  return take('.') && take_digits() && take('-') && take_digits() &&
         rest == std::basic_string_view<Char>(kSuffix, std::size(kSuffix));
}

Result<void> replace_file(const std::filesystem::path& path, std::string_view contents) {
  auto destination = destination_of(path);
  if (!destination) return fail(std::move(destination.error()));
  const std::filesystem::path& target = destination->file;
  auto temporary = create_temporary_beside(target);
  if (!temporary) {
    if (destination->created) (void)remove_file(target);
    return fail(std::move(temporary.error()));
  }
  auto& [file, temporary_path] = *temporary;
  const bool limited = g_write_limit && *g_write_limit < contents.size();
  Result<void> result = file.write_all(limited ? contents.substr(0, *g_write_limit) : contents);
  if (result && limited) result = fail(disk_full());
  if (result) result = file.flush_and_close();
  file = File();
  if (result && destination->attributes) result = take_attributes(temporary_path, *destination->attributes);
  if (result) result = move_over(temporary_path, target);
  if (!result) {
    (void)remove_file(temporary_path);
    if (destination->created) (void)remove_file(target);
    return result;
  }
  remove_leftover_temporaries(target);
  return {};
}

void set_write_limit_for_tests(std::optional<std::size_t> bytes) {
  g_write_limit = bytes;
}

#ifdef _WIN32
void set_final_path_failure_for_tests(std::optional<std::uint32_t> code) {
  g_final_path_failure = code;
}
#endif

}  // namespace vantro::config
