// A destination for text: a standard stream, a log file, or a buffer in a test.
#pragma once

#include <string_view>

#include "core/error.h"

namespace vantro {

class TextOutput {
 public:
  virtual ~TextOutput() = default;
  // Writes all of `text` (UTF-8, lines ending in a single line feed).
  [[nodiscard]] virtual Result<void> write(std::string_view text) = 0;
};

}  // namespace vantro
