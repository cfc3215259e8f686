#include "logging/line_format.h"

#include <fmt/format.h>

namespace vantro::log {
namespace {

constexpr std::string_view kReset = "\x1b[0m";
constexpr std::string_view kDim = "\x1b[2m";
constexpr std::string_view kItalic = "\x1b[3m";

std::string_view level_colour(Level level) {
  switch (level) {
    case Level::Trace:
      return "\x1b[35m";
    case Level::Debug:
      return "\x1b[34m";
    case Level::Info:
      return "\x1b[32m";
    case Level::Warn:
      return "\x1b[33m";
    case Level::Error:
      return "\x1b[31m";
  }
  return "";
}

}  // namespace

std::string format_timestamp(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto micros = floor<microseconds>(time);
  const auto day = floor<days>(micros);
  const year_month_day date{day};
  const int y = static_cast<int>(date.year());
  if (y < 0 || y > 9999) return "<unknown time>";
  const hh_mm_ss clock{micros - day};
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}.{:06}Z", y, static_cast<unsigned>(date.month()),
                     static_cast<unsigned>(date.day()), clock.hours().count(), clock.minutes().count(),
                     clock.seconds().count(), clock.subseconds().count());
}

std::string_view level_text(Level level) {
  switch (level) {
    case Level::Trace:
      return "TRACE";
    case Level::Debug:
      return "DEBUG";
    case Level::Info:
      return " INFO";
    case Level::Warn:
      return " WARN";
    case Level::Error:
      return "ERROR";
  }
  return "?????";
}

std::string escape_message(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  for (std::size_t i = 0; i < message.size(); ++i) {
    const auto byte = static_cast<unsigned char>(message[i]);
    if (byte == 0x1b || byte == 0x07 || byte == 0x08 || byte == 0x0c || byte == 0x7f) {
      out += fmt::format("\\x{:02x}", byte);
    } else if (byte == 0xC2 && i + 1 < message.size() && static_cast<unsigned char>(message[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(message[i + 1]) <= 0x9F) {
      // U+0080-U+009F are encoded as C2 80 … C2 9F.
      out += fmt::format("\\u{{{:x}}}", static_cast<unsigned char>(message[++i]));
    } else {
      out += message[i];
    }
  }
  return out;
}

std::string format_line(const Event& event, bool colour) {
  std::string line;
  if (colour) {
    line += kDim;
    line += format_timestamp(event.time);
    line += kReset;
    line += ' ';
    line += level_colour(event.level);
    line += level_text(event.level);
    line += kReset;
  } else {
    line += format_timestamp(event.time);
    line += ' ';
    line += level_text(event.level);
  }
  line += ' ';
  line += escape_message(event.message);
  for (const Field& field : event.fields) {
    if (field.name.starts_with("log.")) continue;
    line += ' ';
    if (colour) {
      line += kItalic;
      line += field.name;
      line += kReset;
      line += kDim;
      line += '=';
      line += kReset;
    } else {
      line += field.name;
      line += '=';
    }
    line += field.value;
  }
  line += '\n';
  return line;
}

}  // namespace vantro::log
