#include "core/text.h"

#include <fmt/format.h>

namespace vantro::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void append_utf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// Decodes one UTF-16 code point; an unpaired surrogate is returned as itself.
char32_t decode_utf16(std::u16string_view s, std::size_t& pos) {
  const char32_t first = s[pos++];
  if (is_high_surrogate(first) && pos < s.size() && is_low_surrogate(s[pos])) {
    const char32_t second = s[pos++];
    return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
  }
  return first;
}

void append_debug_char(std::string& out, char32_t c) {
  switch (c) {
    case U'\0': out += "\\0"; return;
    case U'\t': out += "\\t"; return;
    case U'\r': out += "\\r"; return;
    case U'\n': out += "\\n"; return;
    case U'\\': out += "\\\\"; return;
    case U'"': out += "\\\""; return;
    default: break;
  }
  const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
  if (control || is_high_surrogate(c) || is_low_surrogate(c)) {
    out += fmt::format("\\u{{{:x}}}", static_cast<std::uint32_t>(c));
  } else {
    append_utf8(out, c);
  }
}

}  // namespace

char32_t decode_utf8(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t code = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++pos;
    return kReplacement;
  }
  std::size_t i = pos + 1;
  for (std::size_t n = 1; n < length; ++n, ++i) {
    if (i >= s.size()) break;
    const unsigned char b = byte(i);
    const bool ok = n == 1 ? (b >= low && b <= high) : is_continuation(b);
    if (!ok) break;
    code = (code << 6) | (b & 0x3F);
    if (n == length - 1) {
      pos = i + 1;
      return code;
    }
  }
  pos = i;  // the maximal valid prefix is replaced by one U+FFFD
  return kReplacement;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::u16string to_utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) append_utf16(out, decode_utf8(utf8, pos));
  return out;
}

std::string to_utf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t pos = 0; pos < utf16.size();) {
    const char32_t c = decode_utf16(utf16, pos);
    append_utf8(out, is_high_surrogate(c) || is_low_surrogate(c) ? kReplacement : c);
  }
  return out;
}

std::optional<std::string> to_utf8_strict(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t pos = 0; pos < utf16.size();) {
    const char32_t c = decode_utf16(utf16, pos);
    if (is_high_surrogate(c) || is_low_surrogate(c)) return std::nullopt;
    append_utf8(out, c);
  }
  return out;
}

bool is_valid_utf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t start = pos;
    if (decode_utf8(bytes, pos) == kReplacement) {
      // A literal U+FFFD (EF BF BD) is valid; a replaced sequence is not.
      if (pos - start != 3 || bytes.substr(start, 3) != "\xEF\xBF\xBD") return false;
    }
  }
  return true;
}

bool is_white_space(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

std::string_view trim_white_space(std::string_view utf8) {
  std::size_t begin = 0;
  while (begin < utf8.size()) {
    std::size_t next = begin;
    if (!is_white_space(decode_utf8(utf8, next))) break;
    begin = next;
  }
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < utf8.size();) {
    if (!is_white_space(decode_utf8(utf8, pos))) end = pos;
  }
  return utf8.substr(begin, end - begin);
}

std::string debug_quoted(std::string_view utf8) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < utf8.size();) append_debug_char(out, decode_utf8(utf8, pos));
  out += '"';
  return out;
}

std::string debug_quoted(std::u16string_view utf16) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < utf16.size();) append_debug_char(out, decode_utf16(utf16, pos));
  out += '"';
  return out;
}

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace vantro::text
