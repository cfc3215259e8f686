#include "dispatch/log_viewer.h"

namespace vantro::dispatch {

std::optional<std::size_t> choose_log_to_view(std::span<const log::DirEntry> entries) {
  std::optional<std::size_t> kept;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!log::is_log_file(entries[i])) continue;
    if (!kept || entries[i].last_write_time >= entries[*kept].last_write_time) kept = i;
  }
  return kept;
}

std::u16string quote_argument(std::u16string_view argument, bool always) {
  const bool quote =
      always || argument.empty() || argument.find_first_of(u" \t") != std::u16string_view::npos;
  std::u16string out;
  if (quote) out += u'"';
  std::size_t backslashes = 0;
  for (const char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
    } else {
      if (c == u'"') out.append(backslashes + 1, u'\\');
      backslashes = 0;
    }
    out += c;
  }
  if (quote) {
    out.append(backslashes, u'\\');
    out += u'"';
  }
  return out;
}

std::u16string notepad_command_line(std::u16string_view path) {
  return quote_argument(u"notepad.exe", true) + u" " + quote_argument(path, false);
}

}  // namespace vantro::dispatch
