// The standard output and error handles as the process inherited them. A GUI-subsystem
// process started from the desktop has none: its text is then dropped without an error.
#pragma once

#include <windows.h>

#include "core/output.h"

namespace vantro::windows {

class StandardStream final : public TextOutput {
 public:
  // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE. To a file or pipe the bytes go out unchanged (no
  // CR is added); to a console as UTF-16 text.
  explicit StandardStream(DWORD which) : which_(which) {}
  [[nodiscard]] Result<void> write(std::string_view text) override;

 private:
  DWORD which_;
};

// Writes all of `text` to a file or pipe handle; a failure is the system's input/output error,
// and a write that takes no byte (a full pipe in non-blocking mode) fails with ERROR_WRITE_FAULT.
[[nodiscard]] Result<void> write_all(HANDLE handle, std::string_view text);

}  // namespace vantro::windows
