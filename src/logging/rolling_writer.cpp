#include "logging/rolling_writer.h"

#include <fmt/format.h>

namespace vantro::log {

RollingFileWriter::RollingFileWriter(std::shared_ptr<FileSystem> fs, Clock clock, std::u16string dir,
                                     std::shared_ptr<TextOutput> errors)
    : fs_(std::move(fs)), clock_(std::move(clock)), dir_(std::move(dir)), errors_(std::move(errors)) {}

Result<std::unique_ptr<RollingFileWriter>> RollingFileWriter::create(std::shared_ptr<FileSystem> fs,
                                                                     Clock clock, std::u16string dir,
                                                                     std::shared_ptr<TextOutput> errors) {
  std::unique_ptr<RollingFileWriter> writer(
      new RollingFileWriter(std::move(fs), std::move(clock), std::move(dir), std::move(errors)));
  const auto now = writer->clock_();
  writer->next_rotation_ = next_rotation(now);
  prune_log_dir(*writer->fs_, writer->dir_, *writer->errors_);
  const std::u16string path = join_path(writer->dir_, log_file_name(now));
  auto file = writer->fs_->open_append(path);
  if (!file) {
    (void)writer->fs_->create_directories(writer->dir_);
    file = writer->fs_->open_append(path);
  }
  if (!file) return fail(std::move(file.error()));
  writer->file_ = std::move(*file);
  return writer;
}

void RollingFileWriter::rotate(std::chrono::system_clock::time_point now) {
  next_rotation_ = next_rotation(now);
  prune_log_dir(*fs_, dir_, *errors_);
  auto file = fs_->open_append(join_path(dir_, log_file_name(now)));
  if (!file) {
    (void)errors_->write(fmt::format("Couldn't create writer for logs: {}\n", file.error().alternate()));
    return;
  }
  file_ = std::move(*file);
}

Result<void> RollingFileWriter::write(std::string_view text) {
  const std::lock_guard lock(mutex_);
  const auto now = clock_();
  if (now >= next_rotation_) rotate(now);
  return file_->write(text);
}

}  // namespace vantro::log
