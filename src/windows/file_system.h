// The log directory's file system access through the Win32 file functions.
#pragma once

#include "logging/log_files.h"

namespace vantro::windows {

class Win32FileSystem final : public log::FileSystem {
 public:
  [[nodiscard]] Result<std::vector<log::DirEntry>> list(std::u16string_view dir) override;
  [[nodiscard]] bool exists(std::u16string_view path) override;
  [[nodiscard]] Result<void> create_directories(std::u16string_view dir) override;
  [[nodiscard]] Result<void> remove_file(std::u16string_view path) override;
  [[nodiscard]] Result<std::unique_ptr<TextOutput>> open_append(std::u16string_view path) override;
};

}  // namespace vantro::windows
