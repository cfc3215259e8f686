#include "logging/pipeline.h"

#include <cstdlib>

#include <fmt/format.h>

#include "logging/line_format.h"

namespace vantro::log {

Pipeline::Pipeline(EnvFilter filter, bool colour, std::shared_ptr<TextOutput> writer,
                   std::shared_ptr<TextOutput> errors)
    : filter_(std::move(filter)), colour_(colour), writer_(std::move(writer)), errors_(std::move(errors)) {}

void Pipeline::record(const Event& event) {
  if (!filter_.enabled(event.level, event.target)) return;
  // The line is complete before it is written, in one write, so lines never interleave.
  const std::string line = format_line(event, colour_);
  const std::lock_guard lock(mutex_);
  if (auto written = writer_->write(line); !written) {
    (void)errors_->write(fmt::format(
        "[tracing-subscriber] Unable to write an event to the Writer for this Subscriber! Error: {}\n",
        written.error().alternate()));
  }
}

bool colour_enabled(const env::Var& no_color) {
  return !(no_color.state == env::VarState::Set && !no_color.value.empty());
}

std::unique_ptr<Pipeline> build_pipeline(const LoggingEnvironment& environment) {
  std::shared_ptr<TextOutput> writer = environment.standard_output;
  bool to_file = false;
  if (environment.log_dir && environment.fs->create_directories(*environment.log_dir)) {
    auto file = RollingFileWriter::create(environment.fs, environment.clock, *environment.log_dir,
                                          environment.standard_error);
    if (file) {
      writer = std::move(*file);
      to_file = true;
    }
  }
  // The log file is read in a text editor, where escape sequences show as clutter: only lines
  // that go to standard output (a terminal, usually) may carry colour.
  const bool colour = !to_file && colour_enabled(environment.no_color);
  return std::make_unique<Pipeline>(EnvFilter::from_variable(environment.rust_log), colour, std::move(writer),
                                    environment.standard_error);
}

void install_pipeline(const LoggingEnvironment& environment) {
  if (!set_global_subscriber(build_pipeline(environment))) {
    (void)environment.standard_error->write("Unable to install global subscriber\n");
    std::_Exit(101);
  }
}

}  // namespace vantro::log
