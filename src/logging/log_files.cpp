#include "logging/log_files.h"

#include <algorithm>

#include <fmt/format.h>

#include "core/environment.h"
#include "core/text.h"

namespace vantro::log {

std::u16string join_path(std::u16string_view base, std::u16string_view name) {
  if (base.empty()) return std::u16string(name);
  std::u16string path(base);
  const bool bare_drive = base.size() == 2 && base[1] == u':';
  if (base.back() != u'\\' && base.back() != u'/' && !bare_drive) path += u'\\';
  path += name;
  return path;
}

std::string display_path(std::u16string_view path) {
  return text::to_utf8(path);
}

std::optional<std::u16string> log_dir_for(const std::optional<std::string>& local_app_data) {
  if (!local_app_data) return std::nullopt;
  return join_path(text::to_utf16(*local_app_data), u"vantro");
}

std::optional<std::u16string> log_dir() {
  return log_dir_for(env::unicode_value("LOCALAPPDATA"));
}

bool is_log_file_name(std::u16string_view name) {
  return text::to_utf8(name).starts_with("vantro");
}

bool is_log_file(const DirEntry& entry) {
  return is_log_file_name(entry.name);
}

std::u16string log_file_name(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const year_month_day date{floor<days>(time)};
  return text::to_utf16(fmt::format("vantro.{:04}-{:02}-{:02}.log", static_cast<int>(date.year()),
                                    static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())));
}

std::chrono::system_clock::time_point next_rotation(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  return time_point_cast<system_clock::duration>(floor<days>(time) + days(1));
}

std::vector<const DirEntry*> select_for_pruning(std::span<const DirEntry> entries, std::size_t max_files) {
  std::vector<const DirEntry*> candidates;
  for (const DirEntry& entry : entries) {
    if (entry.kind != EntryKind::File) continue;
    const auto name = text::to_utf8_strict(entry.name);
    if (!name || !name->starts_with("vantro") || !name->ends_with("log")) continue;
    candidates.push_back(&entry);
  }
  if (max_files == 0 || candidates.size() < max_files) return {};
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const DirEntry* a, const DirEntry* b) { return a->creation_time < b->creation_time; });
  candidates.resize(candidates.size() - (max_files - 1));
  return candidates;
}

void prune_log_dir(FileSystem& fs, std::u16string_view dir, TextOutput& errors) {
  auto entries = fs.list(dir);
  if (!entries) {
    (void)errors.write(
        fmt::format("Error reading the log directory/files: {}\n", entries.error().alternate()));
    return;
  }
  for (const DirEntry* entry : select_for_pruning(*entries, kMaxLogFiles)) {
    const std::u16string path = join_path(dir, entry->name);
    if (auto removed = fs.remove_file(path); !removed) {
      (void)errors.write(fmt::format("Failed to remove old log file {}: {}\n", display_path(path),
                                     removed.error().alternate()));
    }
  }
}

}  // namespace vantro::log
