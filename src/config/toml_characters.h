// A lexical check of TOML text that runs before the text reaches the TOML parser, for what
// toml++ 3.3.0 cannot be given safely:
//   - outside strings and comments TOML allows only ASCII (bare keys are ASCII letters,
//     digits, '-' and '_'; white space is space and tab), and toml++ reaches undefined
//     behaviour for many non-ASCII characters there, as it does for a few inside multi-line
//     basic strings;
//   - each part of a dotted key is one more level of nested tables, and toml++ walks and frees
//     them recursively, so some tens of thousands of levels overflow the stack (its own
//     nesting limit counts arrays and inline tables only, not the parts of their keys);
//   - toml++ assumes without checking that the character after a table header's opening
//     brackets (and blanks) starts a key, that no '}' stands where an array expects a value,
//     and that a time follows a date and its 'T' or space: with its assertions on it aborts
//     when that does not hold, without them clang and MSVC compile on the assumption that it
//     does.
// This check refuses the first such text with its position, so the parser never sees it. It
// follows arrays and inline tables only as deep as the parser takes them, so that its memory
// stays bounded however many brackets the text opens.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantro::config {

// Text that the reader refuses, where it starts and why.
struct RefusedText {
  std::size_t line = 0;    // from 1
  std::size_t column = 0;  // from 1, counting code points, as toml++ counts them
  std::string message;

  bool operator==(const RefusedText&) const = default;
};

// The first of these in `toml_text` (which holds no byte order mark):
//   - a non-ASCII character that stands
//       - outside a string or a comment,
//       - right after a backslash in a basic string (no escape sequence starts so),
//       - after a backslash and spaces or tabs in a multi-line basic string (such a backslash
//         must end its line), or
//       - first after the white space that a line-ending backslash trims in a multi-line
//         basic string (the parser would judge it as white space; it has to be written as an
//         escape);
//   - the 257th part of a dotted key, bare or quoted, in a key/value pair (also inside an
//     inline table) or in a [table] or [[array of tables]] header;
//   - the part of a key that names a table more than 1024 levels deep: each part is a level
//     below the one before it, a key in an inline table starts at the table's level and one in
//     an array one level below the array's, and a key/value pair starts at the level of its
//     table, which has two levels for each part of its header (a part may name an array of
//     tables, whose last element is one level more);
//   - the '[' or '{' of an array or inline table inside 256 others, where the parser would
//     refuse the value as nested too deep;
//   - the first character after the '[' or '[[' of a [table] or [[array of tables]] header
//     and the spaces and tabs after it, when it is ASCII and neither a bare key character
//     (letters, digits, '-', '_' and, as toml++ takes it, '+') nor a quote, a ']' or (after
//     '[' and blanks) a '[';
//   - a '}' where an array expects a value: after its '[' or a ',';
//   - the digit of a bare value of ten characters (not counting '_') with '-' as the fifth
//     and the eighth, such as a date, that is followed by one space, that single digit and
//     a character that ends a value (white space, a line end, ']', '}', ',' or '#');
//   - the character after the 'T' (or 't') of a bare value that starts with a date
//     (YYYY-MM-DD) and that 'T', when it is no digit (or at the end of the text).
// Strings are basic ("…"), literal ('…') and their multi-line forms, and a quote starts one
// only where a key segment or a value may start (the parser reads text glued to a bare value,
// such as `0"…`, as part of that value); a '.' joins key parts only in a key, never in a value
// such as `1.5` or a date; comments run from '#' to the end of the line. The scan ends at the
// first byte that is no valid UTF-8, where the parser stops with its own error. Nothing when
// no text is refused.
[[nodiscard]] std::optional<RefusedText> find_refused_text(std::string_view toml_text);

}  // namespace vantro::config
