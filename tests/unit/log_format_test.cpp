#include "logging/line_format.h"

#include <gtest/gtest.h>

namespace vantro::log {
namespace {

using namespace std::chrono;

// 2026-12-09T10:11:12.345678Z
const system_clock::time_point kTime =
    sys_days{2026y / December / 9} + hours(10) + minutes(11) + seconds(12) + microseconds(345678);

TEST(LogLine, InfoWithOnlyAMessageHasTwoSpacesBeforeTheLevel) {
  const Event event{Level::Info, "vantro", "vantro starting", {}, kTime};
  EXPECT_EQ(format_line(event, false), "2026-12-09T10:11:12.345678Z  INFO vantro starting\n");
}

TEST(LogLine, FieldsFollowTheMessageWithoutTarget) {
  const Field fields[] = {display("version", "0.3.0"),
                          debug("path", std::string("C:\\x")),
                          {"log.target", "ignored"},
                          display("count", 3)};
  const Event event{Level::Warn, "vantro::config", "loaded", fields, kTime};
  EXPECT_EQ(format_line(event, false),
            "2026-12-09T10:11:12.345678Z  WARN loaded version=0.3.0 path=\"C:\\\\x\" count=3\n");
}

TEST(LogLine, EveryLevelHasFiveCharactersAndItsColour) {
  struct Case {
    Level level;
    std::string_view text;
    std::string_view colour;
  };
  const Case cases[] = {{Level::Trace, "TRACE", "35"},
                        {Level::Debug, "DEBUG", "34"},
                        {Level::Info, " INFO", "32"},
                        {Level::Warn, " WARN", "33"},
                        {Level::Error, "ERROR", "31"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Event event{c.level, "vantro", "m", {}, kTime};
    EXPECT_EQ(format_line(event, false), fmt::format("2026-12-09T10:11:12.345678Z {} m\n", c.text));
    EXPECT_EQ(
        format_line(event, true),
        fmt::format("\x1b[2m2026-12-09T10:11:12.345678Z\x1b[0m \x1b[{}m{}\x1b[0m m\n", c.colour, c.text));
  }
}

TEST(LogLine, ColouredFieldNamesAreItalicWithDimmedEquals) {
  const Field fields[] = {display("version", "0.3.0"), display("hwnd", "HWND(0x1234)")};
  const Event event{Level::Info, "vantro", "vantro starting", fields, kTime};
  EXPECT_EQ(format_line(event, true),
            "\x1b[2m2026-12-09T10:11:12.345678Z\x1b[0m \x1b[32m INFO\x1b[0m vantro starting "
            "\x1b[3mversion\x1b[0m\x1b[2m=\x1b[0m0.3.0 \x1b[3mhwnd\x1b[0m\x1b[2m=\x1b[0mHWND(0x1234)\n");
}

TEST(LogLine, ControlCharactersInTheMessageAreEscaped) {
  struct Case {
    std::string_view message;
    std::string_view expected;
  };
  const Case cases[] = {
      {"a\x1b[31mb", "a\\x1b[31mb"},
      {"bell\x07 bs\x08 ff\x0c del\x7f", "bell\\x07 bs\\x08 ff\\x0c del\\x7f"},
      {"c1 \xc2\x80 \xc2\x9b \xc2\x9f", "c1 \\u{80} \\u{9b} \\u{9f}"},
      {"kept \xc2\xa0 \xe2\x80\x94 tab\tnl\n", "kept \xc2\xa0 \xe2\x80\x94 tab\tnl\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(escape_message(c.message), c.expected);
  }
  const Field fields[] = {display("raw", "\x1b")};
  const Event event{Level::Error, "vantro", "x\x1by", fields, kTime};
  EXPECT_EQ(format_line(event, false), "2026-12-09T10:11:12.345678Z ERROR x\\x1by raw=\x1b\n")
      << "only the message is escaped";
}

TEST(LogLine, TimestampIsUtcWithSixFractionDigits) {
  EXPECT_EQ(format_timestamp(sys_days{2026y / January / 1}), "2026-01-01T00:00:00.000000Z");
  EXPECT_EQ(format_timestamp(sys_days{2026y / January / 1} - nanoseconds(1)), "2025-12-31T23:59:59.999999Z");
  EXPECT_EQ(format_timestamp(sys_days{1970y / January / 1} + microseconds(7)), "1970-01-01T00:00:00.000007Z");
}

}  // namespace
}  // namespace vantro::log
