// Text helpers: UTF-8 inside the program, UTF-16 at every Windows call.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantro::text {

// UTF-8 → UTF-16; each invalid UTF-8 sequence becomes one U+FFFD.
[[nodiscard]] std::u16string to_utf16(std::string_view utf8);
// UTF-16 → UTF-8; each unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::string to_utf8(std::u16string_view utf16);
// UTF-16 → UTF-8, or nothing when the text holds an unpaired surrogate.
[[nodiscard]] std::optional<std::string> to_utf8_strict(std::u16string_view utf16);
// Whether the bytes are valid UTF-8.
[[nodiscard]] bool is_valid_utf8(std::string_view bytes);

// Decodes one code point at `pos`, advancing it; an invalid sequence gives U+FFFD and
// advances past its maximal valid prefix (at least one byte).
[[nodiscard]] char32_t decode_utf8(std::string_view utf8, std::size_t& pos);
void append_utf8(std::string& out, char32_t code_point);

// The Unicode White_Space property.
[[nodiscard]] bool is_white_space(char32_t c);
// Removes White_Space characters at both ends (the text is UTF-8).
[[nodiscard]] std::string_view trim_white_space(std::string_view utf8);

// The quoted debug form of a string: double quotes around it, backslash escapes for \0 \t
// \r \n \\ \" and \u{…} for other control characters.
[[nodiscard]] std::string debug_quoted(std::string_view utf8);
// The same for UTF-16 text such as a path, where each unpaired surrogate is written \u{…}.
[[nodiscard]] std::string debug_quoted(std::u16string_view utf16);

// ASCII-only case changes.
[[nodiscard]] std::string ascii_lower(std::string_view text);
[[nodiscard]] std::string ascii_upper(std::string_view text);

}  // namespace vantro::text
