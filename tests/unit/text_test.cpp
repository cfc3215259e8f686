#include "core/text.h"

#include <gtest/gtest.h>

namespace vantro::text {
namespace {

TEST(Text, Utf8ToUtf16ReplacesEachInvalidSequence) {
  struct Case {
    std::string_view input;
    std::u16string expected;
  } cases[] = {
      {"", u""},
      {"abc", u"abc"},
      {"\xC3\xA9", u"\u00E9"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"a\xFFz", u"a\uFFFDz"},
      {"\xE2\x82", u"\uFFFD"},              // truncated three-byte sequence: one replacement
      {"\xE2\x82z", u"\uFFFDz"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate is invalid byte by byte
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.input)));
    EXPECT_EQ(to_utf16(c.input), c.expected);
  }
}

TEST(Text, Utf16ToUtf8) {
  EXPECT_EQ(to_utf8(u"vantro \u2192 \U0001F600"), "vantro \xE2\x86\x92 \xF0\x9F\x98\x80");
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(to_utf8(lone), "a\xEF\xBF\xBD" "b");
  EXPECT_FALSE(to_utf8_strict(lone).has_value());
  EXPECT_EQ(to_utf8_strict(u"ok").value(), "ok");
}

TEST(Text, ValidUtf8) {
  EXPECT_TRUE(is_valid_utf8("plain \xEF\xBF\xBD ok"));
  EXPECT_FALSE(is_valid_utf8("bad \xFF"));
  EXPECT_FALSE(is_valid_utf8("\xE2\x82"));
}

TEST(Text, TrimWhiteSpace) {
  struct Case {
    std::string_view input, expected;
  } cases[] = {
      {"", ""},
      {" \t\n", ""},
      {"  Ctrl+A  ", "Ctrl+A"},
      {"\xC2\xA0" "a b\xE3\x80\x80", "a b"},          // U+00A0 and U+3000
      {"\xE2\x80\xAF" "x\xE2\x81\x9F", "x"},          // U+202F and U+205F
      {"\xC2\x85x\xE1\x9A\x80", "x"},                 // U+0085 and U+1680
      {"\xE2\x80\x8B" "x", "\xE2\x80\x8B" "x"},       // U+200B is not White_Space
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.input)));
    EXPECT_EQ(trim_white_space(c.input), c.expected);
  }
}

TEST(Text, DebugQuoted) {
  struct Case {
    std::string_view input, expected;
  } cases[] = {
      {"", R"("")"},
      {"plain", R"("plain")"},
      {"say \"hi\"", R"("say \"hi\"")"},
      {"C:\\Users\\me", R"("C:\\Users\\me")"},
      {"tab\tline\nret\r", R"("tab\tline\nret\r")"},
      {std::string_view("nul\0", 4), R"("nul\0")"},
      {"esc\x1b", R"("esc\u{1b}")"},
      {"it's", R"("it's")"},
      {"\xC3\xA9", "\"\xC3\xA9\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.input)));
    EXPECT_EQ(debug_quoted(c.input), c.expected);
  }
  const char16_t path[] = {u'C', u':', u'\\', 0xDC01, u'x', 0};
  EXPECT_EQ(debug_quoted(std::u16string_view(path)), R"("C:\\\u{dc01}x")");
}

TEST(Text, AsciiCaseOnly) {
  EXPECT_EQ(ascii_lower("Ctrl+\xC3\x89"), "ctrl+\xC3\x89");
  EXPECT_EQ(ascii_upper("space\xC3\xA9"), "SPACE\xC3\xA9");
}

}  // namespace
}  // namespace vantro::text
