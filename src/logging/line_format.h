// One log event as one line of text:
//   2026-12-09T10:11:12.123456Z  INFO vantro starting version=0.3.0
// UTC time with microseconds, the level in five characters, the message, then the other
// fields as name=value; no target. With colour on, SGR codes dim the time and the '=',
// colour the level and set field names in italics.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "logging/log.h"

namespace vantro::log {

// "YYYY-MM-DDTHH:MM:SS.ffffffZ" in UTC, or "<unknown time>" outside the years 0000-9999.
[[nodiscard]] std::string format_timestamp(std::chrono::system_clock::time_point time);

// "TRACE", "DEBUG", " INFO", " WARN", "ERROR".
[[nodiscard]] std::string_view level_text(Level level);

// The message with ESC, BEL, BS, FF and DEL written as "\x1b", "\x07", "\x08", "\x0c", "\x7f"
// and the C1 controls U+0080-U+009F as "\u{80}"…; everything else stays as it is.
[[nodiscard]] std::string escape_message(std::string_view message);

// The whole line, ending in a line feed. Fields named "log.…" are left out.
[[nodiscard]] std::string format_line(const Event& event, bool colour);

}  // namespace vantro::log
