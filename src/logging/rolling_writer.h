// The daily log file: "vantro.YYYY-MM-DD.log" in the log directory, switched at 00:00 UTC on
// the first write after midnight, with the directory pruned before each new file is opened.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/error.h"
#include "core/output.h"
#include "logging/log_files.h"

namespace vantro::log {

using Clock = std::function<std::chrono::system_clock::time_point()>;

class RollingFileWriter final : public TextOutput {
 public:
  // Prunes the directory and opens the file of the current UTC date for appending (after one
  // failed open the directory is created again and the open retried once).
  [[nodiscard]] static Result<std::unique_ptr<RollingFileWriter>> create(std::shared_ptr<FileSystem> fs,
                                                                         Clock clock, std::u16string dir,
                                                                         std::shared_ptr<TextOutput> errors);

  // Writes the text in one write to the current file, rotating first once midnight has passed.
  [[nodiscard]] Result<void> write(std::string_view text) override;

 private:
  RollingFileWriter(std::shared_ptr<FileSystem> fs, Clock clock, std::u16string dir,
                    std::shared_ptr<TextOutput> errors);
  void rotate(std::chrono::system_clock::time_point now);

  std::shared_ptr<FileSystem> fs_;
  Clock clock_;
  std::u16string dir_;
  std::shared_ptr<TextOutput> errors_;
  std::mutex mutex_;
  std::unique_ptr<TextOutput> file_;
  std::chrono::system_clock::time_point next_rotation_;
};

}  // namespace vantro::log
