// The process-wide logging pipeline: the RUST_LOG filter, the line formatter and a writer (the
// daily log file, or standard output when no file can be used).
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/environment.h"
#include "core/output.h"
#include "logging/filter.h"
#include "logging/log.h"
#include "logging/log_files.h"
#include "logging/rolling_writer.h"

namespace vantro::log {

class Pipeline final : public Subscriber {
 public:
  Pipeline(EnvFilter filter, bool colour, std::shared_ptr<TextOutput> writer,
           std::shared_ptr<TextOutput> errors);

  [[nodiscard]] std::optional<Level> max_level() const override { return filter_.max_level(); }
  [[nodiscard]] bool enabled(Level level, std::string_view target) const override {
    return filter_.enabled(level, target);
  }
  void record(const Event& event) override;

 private:
  EnvFilter filter_;
  bool colour_;
  std::shared_ptr<TextOutput> writer_;
  std::shared_ptr<TextOutput> errors_;
  std::mutex mutex_;
};

// What the pipeline reads from its surroundings; the program passes the real ones.
struct LoggingEnvironment {
  env::Var rust_log;
  env::Var no_color;
  std::optional<std::u16string> log_dir;
  std::shared_ptr<FileSystem> fs;
  Clock clock;
  std::shared_ptr<TextOutput> standard_output;
  std::shared_ptr<TextOutput> standard_error;
};

// Colour codes stay on unless NO_COLOR is set to a non-empty value.
[[nodiscard]] bool colour_enabled(const env::Var& no_color);

// Builds the pipeline: failures to create the log directory or open the day's file are
// absorbed by writing to standard output instead. The day's file always gets plain lines;
// lines written to standard output are coloured as colour_enabled says.
[[nodiscard]] std::unique_ptr<Pipeline> build_pipeline(const LoggingEnvironment& environment);

// Installs the pipeline as the process-wide subscriber. A second installation is a broken
// contract: it writes "Unable to install global subscriber" to standard error and stops the
// process.
void install_pipeline(const LoggingEnvironment& environment);

// The process's pipeline over the real environment, file system, clock and standard streams;
// called once, first thing in a normal run. Defined by the platform layer.
void init_logging();

}  // namespace vantro::log
