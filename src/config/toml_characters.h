// A lexical check of TOML text that runs before the text reaches the TOML parser: outside
// strings and comments TOML allows only ASCII (bare keys are ASCII letters, digits, '-' and
// '_'; white space is space and tab), and toml++ 3.3.0 reaches undefined behaviour for many
// non-ASCII characters there, as it does for a few inside multi-line basic strings. This
// check refuses each such character with its position, so the parser never sees them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantro::config {

// A character of the text that the reader refuses, where it stands and why.
struct MisplacedCharacter {
  std::size_t line = 0;    // from 1
  std::size_t column = 0;  // from 1, counting code points, as toml++ counts them
  std::string message;

  bool operator==(const MisplacedCharacter&) const = default;
};

// The first non-ASCII character of `toml_text` (which holds no byte order mark) that stands
//   - outside a string or a comment,
//   - right after a backslash in a basic string (no escape sequence starts so),
//   - after a backslash and spaces or tabs in a multi-line basic string (such a backslash
//     must end its line), or
//   - first after the white space that a line-ending backslash trims in a multi-line basic
//     string (the parser would judge it as white space; it has to be written as an escape).
// Strings are basic ("…"), literal ('…') and their multi-line forms, and a quote starts one
// only where a key segment or a value may start (the parser reads text glued to a bare value,
// such as `0"…`, as part of that value); comments run from '#' to the end of the line. The scan
// ends at the first byte that is no valid UTF-8, where the parser stops with its own error.
// Nothing when no character is refused.
[[nodiscard]] std::optional<MisplacedCharacter> find_misplaced_non_ascii(std::string_view toml_text);

}  // namespace vantro::config
