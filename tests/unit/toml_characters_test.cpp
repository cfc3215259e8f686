#include "config/toml_characters.h"

#include <gtest/gtest.h>

#include <ostream>
#include <span>
#include <string>

namespace vantro::config {

void PrintTo(const RefusedText& refused, std::ostream* out) {
  *out << "line " << refused.line << ", column " << refused.column << ": " << refused.message;
}

namespace {

constexpr const char* kTooManyParts = "a key may have at most 256 dot-separated parts";
constexpr const char* kTooDeep =
    "tables may nest at most 1024 levels deep, counting the parts of this key, of the keys of the inline "
    "tables and arrays around it, and twice those of its table header";
constexpr const char* kNestedTooDeep = "arrays and inline tables may nest at most 256 levels deep";
constexpr const char* kHeaderKeyStart =
    "a table header's key must start with a bare key character (A-Za-z0-9_-) or a quote, saw ";

// `count` copies of `part` joined by `separator`: a dotted key of `count` parts.
std::string dotted(std::size_t count, const std::string& part = "a", const std::string& separator = ".") {
  std::string key = part;
  for (std::size_t i = 1; i < count; ++i) key += separator + part;
  return key;
}

// Each document passes the check.
void expect_accepted(std::span<const std::string> documents) {
  for (const auto& document : documents) {
    SCOPED_TRACE(document.substr(0, 200));
    const auto found = find_refused_text(document);
    EXPECT_FALSE(found) << found->message;
  }
}

// A document and where and why the check refuses it.
struct Refusal {
  std::string document;
  std::size_t line;
  std::size_t column;
  std::string message;
};

void expect_refused(std::span<const Refusal> cases) {
  for (const auto& test : cases) {
    SCOPED_TRACE(test.document.substr(0, 200));
    const auto found = find_refused_text(test.document);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (RefusedText{test.line, test.column, test.message}));
  }
}

// `count` copies of `text`.
std::string repeated(std::size_t count, const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += text;
  return out;
}

TEST(TomlCharacters, NonAsciiInStringsAndCommentsIsAccepted) {
  const char* const documents[] = {
      "",
      "[hints]\nalphabet = \"\xC3\xA4\xC3\xB6\xC3\xBC\"\n",
      "# \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\na = 1 # \xE6\x97\xA5\xE6\x9C\xAC\n",
      "a = '\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82'\n",
      // Multi-line literal string with lone and paired quotes inside.
      "a = '''\n\xD0\x9F\xD0\xB5\xD1\x80\n' '' \xCE\xA9\n'''\nb = 1\n",
      // Multi-line basic string with escaped quotes and backslashes.
      "a = \"\"\"\nquote \\\" then \xD0\x9F \"\" and \\\\ \xCE\xA9\n\"\"\"\n",
      // Four closing quotes: one belongs to the string.
      "a = \"\"\"x\"\"\"\"\nb = '\xE6\x97\xA5'\n",
      // Quoted keys, also in a table header.
      "\"\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87\" = 1\n'\xD0\xBA' = 2\n[\"\xD1\x82\".'\xCE\xA9']\n",
      // A line-ending backslash trims up to ASCII text; non-ASCII may follow later on.
      "a = \"\"\"\\\n   x \xD0\x9F\xD1\x80\xD0\xB8\"\"\"\n",
      "a = \"\"\"\\  \r\n\n\t\\u00A0\xC2\xA0\"\"\"\n",
      // Escaped quote in a single-line string, then non-ASCII still inside it.
      "a = \"\\u0422 \\\"\xD0\x9F\\\"\"\n",
      "a = \"x\" # \"\xD0\x9F\n",
      "a = \"\\\\\" # \xCE\xA9\n",
      "a = ['\xCE\xA9', \"\xCE\xA9\", {k = '\xCE\xA9'}] # \xCE\xA9\n",
      "a = \"\xEF\xBF\xBD\"\n",
      // Strings as dotted key segments, in table headers, arrays and inline tables.
      "9.\"\xD0\x9F\" = 1\na . '\xCE\xA9' . b = 2\n[a.\"\xD0\x9F\"]\n[[b. '\xCE\xA9']]\n",
      "a = [\n  \"\xD0\x9F\", # \xCE\xA9\n  '\xCE\xA9',\n]\nb = \"\xCE\xA9\"\n",
      "a = { b = { c = \"\xD0\x9F\" }, d = [1979-05-27 07:32:00, '\xCE\xA9'], e = 1.5e+3 }\nf = "
      "\"\xCE\xA9\"\n",
      "a = [[], [\"\xD0\x9F\"], {}]\r\nb = 1#\xCE\xA9\r\n\"\xD0\x9F\" = true\n",
      // The scan ends at invalid UTF-8, where the parser stops with its own error.
      "a = 1 \xFF \xD0\xA2\n",
      "a = 1 \xE2\x82 \xD0\xA2\n",
  };
  for (const char* document : documents) {
    SCOPED_TRACE(document);
    const auto found = find_refused_text(document);
    EXPECT_FALSE(found) << found->message;
  }
}

TEST(TomlCharacters, NonAsciiWhereTomlAllowsNoneIsRefusedWithItsPosition) {
  const struct {
    const char* document;
    std::size_t line;
    std::size_t column;
    const char* message_start;
  } cases[] = {
      {"e\xD0\xA2 = 1\n", 1, 2, "unexpected character '\xD0\xA2' (U+0422): outside strings and comments"},
      {"\xCE\x84", 1, 1, "unexpected character '\xCE\x84' (U+0384)"},
      {"[hints]\nalphabet = \xCE\xA9\n", 2, 12, "unexpected character '\xCE\xA9' (U+03A9)"},
      {"a = 1\xD0\xA2\n", 1, 6, "unexpected character"},
      {"a =\xC2\xA0\"x\"\n", 1, 4, "unexpected character '\xC2\xA0' (U+00A0)"},
      {"a = \"x\"  \xD0\x96\n", 1, 10, "unexpected character"},
      {"a = 1\nb = 2 \xE3\x80\x80\n", 2, 7, "unexpected character '\xE3\x80\x80' (U+3000)"},
      {"[t\xEF\xAC\xB0]\n", 1, 3, "unexpected character '\xEF\xAC\xB0' (U+FB30)"},
      {"a = '''x'''\xD0\x96", 1, 12, "unexpected character"},
      {"a = \"\"\"x\"\"\"\"\"\xD0\x96", 1, 14, "unexpected character"},
      {"# \xCE\xA9\nkey\xE6\x97\xA5 = 1\n", 2, 4, "unexpected character '\xE6\x97\xA5' (U+65E5)"},
      {"\"\xC3\x84\xC3\x96\" = \xD0\x96\n", 1, 8, "unexpected character"},
      {"a = [\n  1,\n  \xCE\xA9\n]\n", 3, 3, "unexpected character"},
      // A quote glued to text the parser refuses starts no string: the parser reads a bare
      // value up to a space, a bracket, a comma or '#' before it judges it.
      {"a = 0\"\"\"\xD0\x9F\"\"\"\n", 1, 9, "unexpected character"},
      {"a = 9.\"\xD0\x9F\"\n", 1, 8, "unexpected character"},
      {"a = 9=[\"\xD0\x9F\"]\n", 1, 9, "unexpected character"},
      {"a = [1 \"\xD0\x9F\"]\n", 1, 9, "unexpected character"},
      {"a = \"x\" '\xD0\x9F'\n", 1, 10, "unexpected character"},
      {"ab\"\xD0\x9F\" = 1\n", 1, 4, "unexpected character"},
      {"[a]'\xD0\x9F'\n", 1, 5, "unexpected character"},
      {"a = {b = [1}, c = \"\xD0\x9F\"}\n", 1, 20, "unexpected character"},
      // An unterminated single-line string ends at its line.
      {"a = 'x\n\xD0\x96 = 1\n", 2, 1, "unexpected character"},
      {"a = \"x\n\xD0\x96 = 1\n", 2, 1, "unexpected character"},
      // Before invalid UTF-8 the scan goes on.
      {"\xD0\x96 = 1\n\xFF", 1, 1, "unexpected character"},
      // Escapes.
      {"a = \"\\\xD0\x96\"\n", 1, 7, "unknown escape sequence '\\\xD0\x96' (U+0416)"},
      {"a = \"\"\"\\\xD0\x96\"\"\"\n", 1, 9, "unknown escape sequence '\\\xD0\x96' (U+0416)"},
      {"a = \"\"\"\\  \xD0\x96\n\"\"\"\n", 1, 11,
       "line-ending backslashes must be the last non-whitespace character on the line, saw '\xD0\x96' "
       "(U+0416)"},
      // What a line-ending backslash trims ends at the first other character.
      {"a = \"\"\"\\\n   \xD0\x9F\xD1\x80\xD0\xB8\"\"\"\n", 2, 4,
       "'\xD0\x9F' (U+041F) right after the white space that a line-ending backslash trims: write it as the "
       "escape \\u041F"},
      {"a = \"\"\"\\\r\n\n\t\xC2\xA0x\"\"\"\n", 3, 2, "'\xC2\xA0' (U+00A0) right after"},
      {"a = \"\"\"\\\n\xF0\x9F\x98\x80\"\"\"\n", 2, 1,
       "'\xF0\x9F\x98\x80' (U+1F600) right after the white space that a line-ending backslash trims: write "
       "it as "
       "the escape \\U0001F600"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.document);
    const auto found = find_refused_text(test.document);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->line, test.line);
    EXPECT_EQ(found->column, test.column);
    EXPECT_TRUE(found->message.starts_with(test.message_start)) << found->message;
  }
}

TEST(TomlCharacters, TheFirstMisplacedCharacterIsReported) {
  const auto found = find_refused_text("a = \"\xCE\xA9\" \xD0\x96\nb\xD0\x96 = 1\n");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->line, 1u);
  EXPECT_EQ(found->column, 9u);
}

TEST(TomlCharacters, KeysOfUpTo256PartsAndDotsOutsideKeysAreAccepted) {
  const std::string documents[] = {
      dotted(256) + " = 1\n",
      "[" + dotted(256) + "]\n",
      "[[" + dotted(256) + "]]\n",
      "[ " + dotted(256, "b", " . ") + " ]\n[[ " + dotted(256, "c", " . ") + " ]]\n",
      "t = {" + dotted(256) + " = 1}\n",
      "t = { u = {" + dotted(256) + " = 1}, " + dotted(256, "v") + " = [{" + dotted(256, "w") + " = 2}] }\n",
      dotted(256, "\"a\"") + " = 1\n[" + dotted(256, "'b'") + "]\n" + dotted(256, "\"c d\"", " . ") +
          " = 1\n",
      dotted(128, "x") + "." + dotted(128, "\"\"") + " = 1\n",
      // Each key counts its own parts: on its line, after ',' and '{' in an inline table.
      "[" + dotted(256) + "]\n" + dotted(256, "b") + " = 1\n" + dotted(256, "c") + " = {" + dotted(256, "d") +
          " = 1, " + dotted(256, "e") + " = 2}\n",
      // Values: the dots of floats and date-times join no key parts.
      dotted(256) + " = 1.5\n",
      "a = [" + dotted(1000, "1.5", ", ") + "]\n",
      "a = [" + dotted(1000, "1979-05-27T07:32:00.999Z", ",") + "]\nb = 1.5e+3\nc = 07:32:00.5\n",
      "t = {" + dotted(300, "k = 2.5", ", ") + "}\n",
      "t = {a.b = 1.5, c = [0.1, 0.2]}\n" + dotted(256) + " = 0.1\n",
      // Dots inside strings and comments.
      "a = \"" + dotted(1000) + "\"\nb = '" + dotted(1000) + "'\n",
      "a = \"\"\"\n" + dotted(1000) + "\n" + dotted(1000) + "\"\"\"\nb = '''" + dotted(1000) + "'''\n",
      "\"" + dotted(1000) + "\" = 1\n['" + dotted(1000) + "']\n[[\"" + dotted(1000) + "\"]]\n",
      "# " + dotted(1000) + "\na = 1 # " + dotted(1000) + "\n",
      "a = [\"" + dotted(1000) + "\", {b = '" + dotted(1000) + "'}]\n",
  };
  expect_accepted(documents);
}

TEST(TomlCharacters, TheKeyPartPastTheLimitIsRefusedWhereItStarts) {
  const struct {
    std::string document;
    std::size_t line;
    std::size_t column;
  } cases[] = {
      {dotted(257) + " = 1\n", 1, 513},
      {dotted(30000) + " = 1\n", 1, 513},
      {"[hints]\nalphabet = \"a\"\n" + dotted(257) + " = 1\n", 3, 513},
      {"[" + dotted(257) + "]\n", 1, 514},
      {"[" + dotted(30000) + "]\n", 1, 514},
      {"[[" + dotted(257) + "]]\n", 1, 515},
      {"[[" + dotted(30000) + "]]\n", 1, 515},
      {"[ " + dotted(300, "b", " . ") + " ]\n", 1, 3 + 256 * 4},
      {"t = {" + dotted(257) + " = 1}\n", 1, 518},
      {"t = {b = 1, " + dotted(257) + " = 1}\n", 1, 525},
      {"t = {u = {" + dotted(257) + " = 1}}\n", 1, 523},
      {"t = [{" + dotted(257) + " = 1}]\n", 1, 519},
      // Quoted parts count as bare ones; the part is pointed at by its opening quote.
      {dotted(257, "\"a\"") + " = 1\n", 1, 1 + 256 * 4},
      {dotted(256, "a") + ".'" + dotted(5) + "' = 1\n", 1, 513},
      {"[" + dotted(256, "\"\"") + ".x]\n", 1, 2 + 256 * 3},
      // A refused key after one of 256 parts and one after a value with dots.
      {"[" + dotted(256) + "]\n" + dotted(257, "b") + " = 1\n", 2, 513},
      {"a = 1.5\nb = [1.5, 2.5]\nc = 1979-05-27T07:32:00.5Z\n" + dotted(257) + " = 1.5\n", 4, 513},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.document.substr(0, 200));
    const auto found = find_refused_text(test.document);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (RefusedText{test.line, test.column, kTooManyParts}));
  }
}

TEST(TomlCharacters, TheFirstRefusedTextIsReported) {
  // A misplaced character before the part past the limit, and after it.
  const auto character = find_refused_text(dotted(3) + "\xD0\x96." + dotted(300) + " = 1\n");
  ASSERT_TRUE(character);
  EXPECT_EQ(character->line, 1u);
  EXPECT_EQ(character->column, 6u);
  EXPECT_TRUE(character->message.starts_with("unexpected character")) << character->message;
  EXPECT_EQ(find_refused_text(dotted(300) + "\xD0\x96 = 1\n"), (RefusedText{1, 513, kTooManyParts}));
}

TEST(TomlCharacters, TablesNestAtMost1024LevelsDeep) {
  const std::string a256 = dotted(256);
  // Accepted: 1024 levels and fewer.
  const std::string accepted[] = {
      a256 + " = {" + a256 + " = {" + a256 + " = {" + a256 + " = 1}}}\n",
      "[" + a256 + "]\n" + a256 + " = {" + a256 + " = 1}\n",
      "[[" + a256 + "]]\n" + a256 + " = {" + a256 + " = 1}\n",
      // The level of a table's lines ends at the next header.
      "[" + a256 + "]\n" + a256 + " = 1\n[" + a256 + "]\n" + a256 + " = {" + a256 + " = 1}\n",
      // Each key of an inline table or an array starts at the level of the table or array.
      a256 + " = {" + a256 + " = 1, " + a256 + " = {" + a256 + " = 1}, " + a256 + " = [{" + dotted(255) +
          " = 1}, {" + dotted(255) + " = {" + dotted(256) + " = 1}}]}\n",
  };
  expect_accepted(accepted);
  // Refused at the part marked x, which reaches level 1025.
  const struct {
    std::string document;
    std::size_t line;
  } refused[] = {
      {a256 + " = {" + a256 + " = {" + a256 + " = {" + a256 + " = {x = 1}}}}\n", 1},
      {dotted(100) + " = {" + a256 + " = {" + a256 + " = {" + a256 + " = {" + dotted(156) + ".x = 1}}}}\n",
       1},
      {"[" + a256 + "]\n" + a256 + " = {" + a256 + " = {x = 1}}\n", 2},
      {"[[" + a256 + "]]\n" + a256 + " = {" + dotted(255) + ".b = 1, " + a256 + " = {x = 1}}\n", 2},
      // An array's elements are one level below it.
      {a256 + " = [[{" + a256 + " = [{" + a256 + " = [{" + dotted(252) + ".x = 1}]}]}]]\n", 1},
      {a256 + " = {b = [1, [2], {" + a256 + " = {" + a256 + " = [[{" + dotted(252) + ".x = 1}]]}}]}\n", 1},
  };
  for (const auto& test : refused) {
    SCOPED_TRACE(test.document.substr(0, 200));
    std::size_t line_start = 0;
    for (std::size_t line = 1; line < test.line; ++line)
      line_start = test.document.find('\n', line_start) + 1;
    const std::size_t column = test.document.find('x', line_start) - line_start + 1;
    const auto found = find_refused_text(test.document);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (RefusedText{test.line, column, kTooDeep}));
  }
}

TEST(TomlCharacters, ArraysAndInlineTablesNestAtMost256LevelsDeep) {
  // Accepted: 256 levels of arrays and inline tables and fewer, also side by side.
  const std::string accepted[] = {
      "a = " + repeated(256, "[") + repeated(256, "]") + "\n",
      "a = " + repeated(255, "{b = ") + "{}" + repeated(255, "}") + "\n",
      "a = " + repeated(128, "[") + repeated(127, "{b = ") + "{}" + repeated(127, "}") + repeated(128, "]") +
          "\n",
      "a = [" + repeated(255, "[") + repeated(255, "]") + ", " + repeated(255, "[") + repeated(255, "]") +
          "]\n",
      "a = " + repeated(256, "[") + repeated(256, "]") + "\nb = " + repeated(256, "[") + repeated(256, "]") +
          "\n",
  };
  expect_accepted(accepted);
  // Refused at the bracket or brace that opens the 257th level.
  const struct {
    std::string document;
    std::size_t line;
    std::size_t column;
  } refused[] = {
      {"a = " + repeated(257, "["), 1, 4 + 257},
      {"a = " + repeated(10000, "["), 1, 4 + 257},
      {"a = " + repeated(257, "{b = ") + "1" + repeated(257, "}") + "\n", 1, 5 + 256 * 5},
      {"a = " + repeated(128, "[") + repeated(128, "{b = ") + "[1]", 1, 4 + 128 + 128 * 5 + 1},
      // Arrays closed before do not count.
      {"a = [[], " + repeated(256, "["), 1, 9 + 256},
      {"[t]\nb = " + repeated(300, "[ "), 2, 4 + 256 * 2 + 1},
      // Nothing after it is looked at.
      {"a = " + repeated(300, "[") + "\xD0\x96" + dotted(300) + " = 1\n", 1, 4 + 257},
  };
  for (const auto& test : refused) {
    SCOPED_TRACE(test.document.substr(0, 200));
    const auto found = find_refused_text(test.document);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (RefusedText{test.line, test.column, kNestedTooDeep}));
  }
}

TEST(TomlCharacters, TableHeadersStartWithAKeyOrAreLeftToTheParser) {
  // Accepted: headers whose key starts with a bare key character or a quote, and what the
  // parser refuses with its own report before it reads a key or in the middle of one.
  const std::string accepted[] = {
      "[a]\n",
      "[ \"a\" ]\n",
      "[[a.b]]\n",
      "['x']\n",
      "[\t -]\n[_]\n[+]\n[1.2]\n[[ 'x' . \"y\" ]]\n[a.\"b\".c]\n",
      "a = 1\n  [[b]] # c\n[[b]]\n",
      // No key; brackets apart; the end of the text; invalid UTF-8.
      "[]\n[ ]\n[[]]\n[[ ]]\n",
      "[ [a]]\n",
      "[ [=]]\n",
      "[",
      "[[ ",
      "[\xFF]\n",
      // A key part after a dot is checked by the parser itself.
      "[a.]\n[a..b]\n[a. .b]\n[a.=]\n[\"a\".]\n[[a.]]\n[a.#]\n",
      // Arrays as values and brackets inside keys are no table headers.
      "a = [=]\nb = [.]\nc = [\n[@]]\nd = {e = [.]}\nf.[=]\n",
  };
  expect_accepted(accepted);
  const std::string key_start = kHeaderKeyStart;
  const Refusal refused[] = {
      {"[=]\n", 1, 2, key_start + "'='"},
      {"[.a]\n", 1, 2, key_start + "'.'"},
      {"[.]\n", 1, 2, key_start + "'.'"},
      {"[@]\n", 1, 2, key_start + "'@'"},
      {"[ .a]\n", 1, 3, key_start + "'.'"},
      {"[[@]]\n", 1, 3, key_start + "'@'"},
      {"[[[a]]]\n", 1, 3, key_start + "'['"},
      {"[[ [a]]]\n", 1, 4, key_start + "'['"},
      {"[,]\n", 1, 2, key_start + "','"},
      {"[{}]\n", 1, 2, key_start + "'{'"},
      {"[\t#]\n", 1, 3, key_start + "'#'"},
      {"[\n", 1, 2, key_start + "the end of the line"},
      {"[[ \r\n", 1, 4, key_start + "the end of the line"},
      {"[\x01]\n", 1, 2, key_start + "U+0001"},
      // After other lines, also after arrays over several lines and inline tables.
      {"a = 1\n[=]\n", 2, 2, key_start + "'='"},
      {"[hints]\nalphabet = \"x\"\n\t[[ \t.b]]\n", 3, 6, key_start + "'.'"},
      {"a = [1,\n2]\n[.]\n", 3, 2, key_start + "'.'"},
      {"a = {b = 1}\n [@]\n", 2, 3, key_start + "'@'"},
      {"[a]\n[[b]]\n[[.b]]\n", 3, 3, key_start + "'.'"},
  };
  expect_refused(refused);
  // A non-ASCII character there keeps its own report.
  const auto non_ascii = find_refused_text("[ \xD0\x96]\n");
  ASSERT_TRUE(non_ascii);
  EXPECT_EQ(non_ascii->column, 3u);
  EXPECT_TRUE(non_ascii->message.starts_with("unexpected character")) << non_ascii->message;
}

TEST(TomlCharacters, ABraceWhereAnArrayExpectsAValueIsRefused) {
  // Accepted: braces of inline tables, in arrays too, and a '}' the parser refuses itself.
  const std::string accepted[] = {
      "a = [{}, {b = 1}, [{}]]\n",
      "a = {b = [1, 2], c = {}}\n",
      "a = [1 }\n",
      "a = }\nb = {c = }}\n",
  };
  expect_accepted(accepted);
  const std::string brace = "expected a value or the array's closing ']', saw '}'";
  const Refusal refused[] = {
      {"a = [}", 1, 6, brace},
      {"a = [1, }\n", 1, 9, brace},
      {"a = [ # c\n}\n", 2, 1, brace},
      {"a = [\n\n  }\n]\n", 3, 3, brace},
      {"a = [[}]]\n", 1, 7, brace},
      {"a = {b = [}]}\n", 1, 11, brace},
      {"[t]\nb = [{}, }\n", 2, 10, brace},
  };
  expect_refused(refused);
}

TEST(TomlCharacters, ADateFollowedByASpaceAndALoneDigitIsRefused) {
  // Accepted: dates and date-times, and text after a date that the parser refuses itself.
  const std::string accepted[] = {
      "a = 1979-05-27\nb = 1979-05-27 07:32:00\nc = [1979-05-27, 1979-05-27 07:32:00Z]\n",
      "a = 1979-05-27 12\n",
      "a = 1979-05-27  1\n",
      "a = 1979-05-27\t1\n",
      "a = 1979-05-27 1",
      "a = 1979-05-271 1\n",
      "a = \"1979-05-27 1\"\n# 1979-05-27 1\n",
  };
  expect_accepted(accepted);
  const std::string lone_digit =
      "expected a time (hh:mm:ss) after the date and its space, saw a single digit";
  const Refusal refused[] = {
      {"a = 1979-05-27 1\n", 1, 16, lone_digit},
      {"a = 1979-05-27 1\r\n", 1, 16, lone_digit},
      {"a = 1979-05-27 1 # c\n", 1, 16, lone_digit},
      {"a = 1979-05-27 1#\n", 1, 16, lone_digit},
      {"a = 1979-05-27 1\v", 1, 16, lone_digit},
      {"a = [1979-05-27 1]\n", 1, 17, lone_digit},
      {"a = {b = 1979-05-27 1}\n", 1, 21, lone_digit},
      {"[t]\nb = [1, 1979-05-27 0, 2]\n", 2, 20, lone_digit},
      // The parser skips '_' and looks only at the shape.
      {"a = 1_979-05-27 1\n", 1, 17, lone_digit},
      {"a = 00a0-00-00 1,\n", 1, 16, lone_digit},
  };
  expect_refused(refused);
}

TEST(TomlCharacters, ADateAndATWithoutAnHourAreRefused) {
  // Accepted: date-times with 'T' or 't', and such text in strings and comments.
  const std::string accepted[] = {
      "a = 1979-05-27T07:32:00\nb = 1979-05-27t00:32:00.999999-07:00\nc = [1979-05-27T07:32:00Z]\n",
      "a = \"1979-05-27T:\" # 1979-05-27T:\n",
      "a = 1979-0527T:\nb = 19790-05-27T:\n",
  };
  expect_accepted(accepted);
  const std::string no_hour = "expected a time (hh:mm:ss) after the date and its 'T'";
  const Refusal refused[] = {
      {"a = 1979-05-27T:\n", 1, 16, no_hour},
      {"a = 1979-05-27Tx:\n", 1, 16, no_hour},
      {"a = 1979-05-27t-1:0\n", 1, 16, no_hour},
      {"a = 1979-05-27Tz1:", 1, 16, no_hour},
      {"a = 1979-05-27T\n", 1, 16, no_hour},
      {"a = 1979-05-27T", 1, 16, no_hour},
      {"[t]\nb = [1, {c = 1979-05-27T :}]\n", 2, 25, no_hour},
  };
  expect_refused(refused);
}

}  // namespace
}  // namespace vantro::config
