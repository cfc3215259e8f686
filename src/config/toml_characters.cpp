#include "config/toml_characters.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include <fmt/format.h>

#include "core/text.h"

namespace vantro::config {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kMaxKeySegments = 256;
constexpr std::size_t kMaxTableDepth = 1024;
// The parser refuses a value inside more arrays and inline tables than this.
constexpr std::size_t kMaxNestedValues = 256;

bool is_ascii(char32_t c) {
  return c < 0x80;
}
bool is_blank(char32_t c) {
  return c == U' ' || c == U'\t';
}

// `'Т' (U+0422)`
std::string describe(char32_t c) {
  std::string out = "'";
  text::append_utf8(out, c);
  out += fmt::format("' (U+{:04X})", static_cast<std::uint32_t>(c));
  return out;
}

// A cursor over the text by code points that keeps the line and column of its position. It
// sees the end of the text at the first invalid UTF-8 sequence.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  // The code point at the cursor; nothing at the end.
  [[nodiscard]] std::optional<char32_t> peek() const {
    if (pos_ >= text_.size()) return std::nullopt;
    std::size_t next = pos_;
    const char32_t c = text::decode_utf8(text_, next);
    if (c == kReplacement && text_.substr(pos_, next - pos_) != "\xEF\xBF\xBD") return std::nullopt;
    return c;
  }

  // How many times `c` (ASCII) repeats from the cursor on.
  [[nodiscard]] std::size_t run_of(char c) const {
    const std::size_t end = text_.find_first_not_of(c, pos_);
    return (end == std::string_view::npos ? text_.size() : end) - pos_;
  }

  // The text from the cursor on.
  [[nodiscard]] std::string_view rest() const { return text_.substr(pos_); }

  void advance(std::size_t count = 1) {
    for (; count > 0 && pos_ < text_.size(); --count) {
      if (text_[pos_] == '\n') {
        ++line_;
        column_ = 1;
      } else {
        ++column_;
      }
      (void)text::decode_utf8(text_, pos_);
    }
  }

  // Moves over the code points for which `skip` holds.
  template <class Predicate>
  void advance_while(Predicate skip) {
    for (auto c = peek(); c && skip(*c); c = peek()) advance();
  }

  [[nodiscard]] RefusedText refuse(std::string message) const { return {line_, column_, std::move(message)}; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  std::size_t column_ = 1;
};

using Finding = std::optional<RefusedText>;

// At a quote `quote` inside a multi-line string: three to five quotes close it (up to two of
// them belong to the string), fewer are part of the text. Whether the string ended.
bool closes_multi_line(Cursor& cursor, char quote) {
  const std::size_t run = cursor.run_of(quote);
  cursor.advance(std::min<std::size_t>(run, 5));
  return run >= 3;
}

// From just after a backslash in a multi-line basic string that is followed by white space:
// the backslash must end its line, and the trimmed white space up to the next text is
// skipped.
Finding scan_line_ending_backslash(Cursor& cursor) {
  cursor.advance_while(is_blank);
  auto c = cursor.peek();
  if (!c) return std::nullopt;
  if (!is_ascii(*c))
    return cursor.refuse(
        "line-ending backslashes must be the last non-whitespace character on the line, saw " + describe(*c));
  if (*c != U'\n' && *c != U'\r') return std::nullopt;  // the parser refuses the backslash
  cursor.advance_while([](char32_t x) { return is_blank(x) || x == U'\n' || x == U'\r'; });
  c = cursor.peek();
  if (c && !is_ascii(*c))
    return cursor.refuse(fmt::format(
        "{} right after the white space that a line-ending backslash trims: write it as the escape {}",
        describe(*c),
        *c > 0xFFFF ? fmt::format("\\U{:08X}", static_cast<std::uint32_t>(*c))
                    : fmt::format("\\u{:04X}", static_cast<std::uint32_t>(*c))));
  return std::nullopt;
}

// From just after the opening quote(s) of a string to just after its closing ones; `quote` is
// '"' for a basic string (with escapes) or '\'' for a literal one. A single-line string that
// meets the end of its line ends there (the parser refuses it).
Finding scan_string(Cursor& cursor, char quote, bool multi_line) {
  for (auto c = cursor.peek(); c; c = cursor.peek()) {
    if (*c == static_cast<char32_t>(quote)) {
      if (!multi_line) {
        cursor.advance();
        return std::nullopt;
      }
      if (closes_multi_line(cursor, quote)) return std::nullopt;
    } else if (*c == U'\\' && quote == '"') {
      cursor.advance();
      const auto escaped = cursor.peek();
      if (!escaped) return std::nullopt;
      if (!is_ascii(*escaped))
        return cursor.refuse("unknown escape sequence '\\" + describe(*escaped).substr(1));
      if (multi_line && (is_blank(*escaped) || *escaped == U'\n' || *escaped == U'\r')) {
        if (auto finding = scan_line_ending_backslash(cursor)) return finding;
      } else if (*escaped != U'\n') {
        cursor.advance();
      }
    } else if (*c == U'\n' && !multi_line) {
      return std::nullopt;
    } else {
      cursor.advance();
    }
  }
  return std::nullopt;
}

bool is_bare_key_character(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '+';  // toml++ takes '+' too with its unreleased features
}

// The character after a table header's '[' or '[[' and blanks, for a refusal: `'='`, or its
// code point when it shows nothing.
std::string describe_header_start(char32_t c) {
  if (c == U'\n' || c == U'\r') return "the end of the line";
  if (c < 0x20 || c == 0x7F) return fmt::format("U+{:04X}", static_cast<std::uint32_t>(c));
  return fmt::format("'{}'", static_cast<char>(c));
}

// From the '[' that opens a table header to the start of its key: past the second '[' of an
// array of tables and the blanks after them. The parser takes what stands there for the start
// of a key without looking (with its assertions on, anything else aborts it), so that has to
// be a bare key character or a quote. A ']' (a header without a key), '[' after '[' and blanks
// (brackets apart), the end of the text, invalid UTF-8 and non-ASCII characters are left to
// the parser's reports and to this check's own.
Finding scan_header_opening(Cursor& cursor) {
  cursor.advance();
  const bool array = cursor.peek() == U'[';
  if (array) cursor.advance();
  cursor.advance_while(is_blank);
  const auto c = cursor.peek();
  if (!c || !is_ascii(*c) || *c == U'"' || *c == U'\'' || *c == U']' || (*c == U'[' && !array) ||
      is_bare_key_character(static_cast<char>(*c)))
    return std::nullopt;
  return cursor.refuse(
      "a table header's key must start with a bare key character (A-Za-z0-9_-) or a quote, saw " +
      describe_header_start(*c));
}

// Where a bare value (number, boolean, date-time) ends for the parser, which reads up to there
// before it judges the value.
bool ends_bare_value(char32_t c) {
  return is_blank(c) || c == U'\r' || c == U'\n' || c == U']' || c == U'}' || c == U',' || c == U'#';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Whether `value`, a bare value the parser read, and `after` it hold a date, one space and a
// single digit with a terminator after it. The parser takes the date for the start of a date
// and time that is written with a space, reads the digit, and then takes it for granted that
// more of the time follows (with its assertions on it aborts). Its date has ten characters,
// not counting '_', with '-' as the fifth and the eighth; text of that shape that is no date
// is taken too, as such a value cannot be followed by a digit in any TOML document.
bool is_date_then_lone_digit(std::string_view value, std::string_view after) {
  std::array<char, 10> chars{};
  std::size_t count = 0;
  for (const char c : value) {
    if (c == '_') continue;
    if (count == chars.size()) return false;
    chars[count++] = c;
  }
  if (count != chars.size() || chars[4] != '-' || chars[7] != '-' || after.size() < 3 || after[0] != ' ' ||
      !is_digit(after[1]))
    return false;
  // The parser's terminators also count the vertical white space from '\n' to '\r'.
  const char end = after[2];
  return ends_bare_value(static_cast<unsigned char>(end)) || (end >= '\n' && end <= '\r');
}

// The shape of a date and its 'T' ('0' for any digit).
constexpr std::string_view kDateAndT = "0000-00-00T";

// Whether a bare value, from the start of `text` on, begins with a date (YYYY-MM-DD) and a 'T'
// that no digit follows. The parser reads such a value as a date and time when the rest of it
// looks like one, and takes the first digit of the hour after the 'T' for granted (with its
// assertions on it aborts). No TOML document holds such a value.
bool is_date_then_t_without_hour(std::string_view text) {
  if (text.size() < kDateAndT.size()) return false;
  for (std::size_t i = 0; i < kDateAndT.size(); ++i) {
    const char c = text[i];
    const bool fits = kDateAndT[i] == '0'   ? is_digit(c)
                      : kDateAndT[i] == 'T' ? (c == 'T' || c == 't')
                                            : c == kDateAndT[i];
    if (!fits) return false;
  }
  return text.size() == kDateAndT.size() || !is_digit(text[kDateAndT.size()]);
}

// What the text outside strings and comments holds next. A quote starts a string only where a
// key segment or a value may start; elsewhere it is one more character of text the parser
// refuses, and what follows is checked as such. The parser reads a bare value up to one of
// its terminators (a quote is none), so text glued to a value such as `0"""…` is never taken
// for a string here either.
enum class Expect {
  key,            // a key segment: at a line's start, after '.', '{' or ',' in an inline table
  key_continued,  // after a key segment: '.', '=' or a table header's ']'
  value,          // after '=', after '[' or ',' in an array
  nothing,        // after a value or text the parser refuses
};

// How deep the tables of the document nest, as far as the text shows it. Each part of a key
// names a table one level below the one before it; each part of a table header may also name
// an array of tables, whose last element is one level more; the elements of an array are one
// level below it.
class Nesting {
 public:
  // A key that starts at `level`: that of a table, of an inline table, or 0 for a header.
  void start_key(std::size_t level, bool header = false) {
    key_ = level;
    segments_ = 0;
    header_ = header;
  }
  // At the start of a line outside arrays and inline tables: the lines after a header fill
  // its table.
  void start_line() {
    if (header_) table_ = key_;
    start_key(table_);
  }
  // Whether a '[' where a key may start opens a table header: no part of a key was read on
  // this line and no header opened on it.
  [[nodiscard]] bool opens_header() const { return segments_ == 0 && !header_; }
  void start_header() { start_key(0, true); }
  // The key part that starts at the cursor; refuses the one past a limit.
  [[nodiscard]] Finding count_segment(const Cursor& cursor) {
    if (++segments_ > kMaxKeySegments)
      return cursor.refuse(fmt::format("a key may have at most {} dot-separated parts", kMaxKeySegments));
    key_ += header_ ? 2 : 1;
    if (key_ > kMaxTableDepth)
      return cursor.refuse(fmt::format(
          "tables may nest at most {} levels deep, counting the parts of this key, of the keys of the "
          "inline tables and arrays around it, and twice those of its table header",
          kMaxTableDepth));
    return std::nullopt;
  }
  // The level of the value of the key just read.
  [[nodiscard]] std::size_t key_level() const { return key_; }

 private:
  std::size_t table_ = 0;     // of the table the key/value lines fill
  std::size_t key_ = 0;       // reached by the key being read
  std::size_t segments_ = 0;  // of that key
  bool header_ = false;       // that key is a table header's
};

// An array or inline table around the cursor and its level.
struct Opened {
  char bracket;  // '[' or '{'
  std::size_t level;
};

}  // namespace

std::optional<RefusedText> find_refused_text(std::string_view toml_text) {
  Cursor cursor(toml_text);
  std::vector<Opened> open;  // the arrays and inline tables around the cursor, at most kMaxNestedValues
  Expect expect = Expect::key;
  Nesting nesting;
  std::size_t value_level = 0;  // of the value expected next
  for (auto c = cursor.peek(); c; c = cursor.peek()) {
    if (!is_ascii(*c))
      return cursor.refuse(
          "unexpected character " + describe(*c) +
          ": outside strings and comments TOML allows only ASCII (quote a key that holds other "
          "characters)");
    const char ch = static_cast<char>(*c);
    if (is_blank(*c) || ch == '\r') {
      cursor.advance();
      continue;
    }
    if (ch == '\n') {
      if (open.empty()) {
        expect = Expect::key;
        nesting.start_line();
      }
      cursor.advance();
      continue;
    }
    if (ch == '#') {
      cursor.advance_while([](char32_t x) { return x != U'\n'; });
      continue;
    }
    const bool quote = ch == '"' || ch == '\'';
    if (quote && (expect == Expect::key || expect == Expect::value)) {
      if (expect == Expect::key)
        if (auto finding = nesting.count_segment(cursor)) return finding;
      const bool multi_line = cursor.run_of(ch) >= 3;
      cursor.advance(multi_line ? 3 : 1);
      if (auto finding = scan_string(cursor, ch, multi_line)) return finding;
      expect = expect == Expect::key ? Expect::key_continued : Expect::nothing;
      continue;
    }
    if (expect == Expect::key && is_bare_key_character(ch)) {
      if (auto finding = nesting.count_segment(cursor)) return finding;
      cursor.advance_while(
          [](char32_t x) { return is_ascii(x) && is_bare_key_character(static_cast<char>(x)); });
      expect = Expect::key_continued;
      continue;
    }
    if (expect == Expect::value && ch != '[' && ch != '{' && ch != ']' && ch != '}' && ch != ',') {
      const std::string_view value = cursor.rest();
      if (is_date_then_t_without_hour(value)) {
        cursor.advance(kDateAndT.size());
        return cursor.refuse("expected a time (hh:mm:ss) after the date and its 'T'");
      }
      cursor.advance_while([](char32_t x) { return is_ascii(x) && !ends_bare_value(x); });
      if (is_date_then_lone_digit(value.substr(0, value.size() - cursor.rest().size()), cursor.rest())) {
        cursor.advance();
        return cursor.refuse("expected a time (hh:mm:ss) after the date and its space, saw a single digit");
      }
      expect = Expect::nothing;
      continue;
    }
    // Structure: brackets, braces, separators; anything else is text the parser refuses.
    if ((ch == '[' || ch == '{') && expect == Expect::value && open.size() == kMaxNestedValues)
      return cursor.refuse(
          fmt::format("arrays and inline tables may nest at most {} levels deep", kMaxNestedValues));
    // The parser takes a '}' where an array expects a value for the start of one (with its
    // assertions on it aborts).
    if (ch == '}' && expect == Expect::value && !open.empty() && open.back().bracket == '[')
      return cursor.refuse("expected a value or the array's closing ']', saw '}'");
    if (ch == '[' && expect == Expect::value) {
      open.push_back({'[', value_level});
      ++value_level;
    } else if (ch == '{' && expect == Expect::value) {
      open.push_back({'{', value_level});
      expect = Expect::key;
      nesting.start_key(value_level);
    } else if (ch == '.' && expect == Expect::key_continued) {
      expect = Expect::key;
    } else if (ch == '=' && expect == Expect::key_continued) {
      expect = Expect::value;
      value_level = nesting.key_level();
    } else if (ch == ',' && !open.empty()) {
      if (open.back().bracket == '[') {
        expect = Expect::value;
        value_level = open.back().level + 1;
      } else {
        expect = Expect::key;
        nesting.start_key(open.back().level);
      }
    } else if ((ch == ']' || ch == '}') && !open.empty()) {
      if (open.back().bracket == (ch == ']' ? '[' : '{')) open.pop_back();
      expect = Expect::nothing;
    } else if (ch == '[' && expect == Expect::key) {
      if (open.empty() && nesting.opens_header()) {
        nesting.start_header();
        if (auto finding = scan_header_opening(cursor)) return finding;
        continue;
      }
    } else {
      expect = Expect::nothing;  // also after a table header's ']'
    }
    cursor.advance();
  }
  return std::nullopt;
}

}  // namespace vantro::config
