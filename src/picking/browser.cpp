#include "picking/browser.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/text.h"

namespace vantro::picking {
namespace {

constexpr std::array<std::string_view, 8> kBrowserImages = {
    "arc.exe",    "brave.exe",   "opera.exe",   "chrome.exe",
    "msedge.exe", "firefox.exe", "vivaldi.exe", "iexplore.exe",
};

// Lower-cases a file name for comparison with the ASCII names above. Under full Unicode
// lower-casing the only code points whose lower-case form is made of ASCII characters alone
// are 'A'-'Z' and U+212A KELVIN SIGN ('k'); U+0130 becomes "i" followed by a combining dot,
// which no name contains. Mapping those and keeping every other code point as it is
// therefore decides exactly as lower-casing the whole path would.
std::string lower_for_match(std::u16string_view file_name) {
  const std::string utf8 = text::to_utf8(file_name);
  std::string lowered;
  lowered.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t c = text::decode_utf8(utf8, pos);
    if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
    if (c == U'\u212A') c = U'k';
    text::append_utf8(lowered, c);
  }
  return lowered;
}

}  // namespace

std::u16string_view image_file_name(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

bool is_browser_image_path(std::u16string_view path) {
  const std::string name = lower_for_match(image_file_name(path));
  return std::find(kBrowserImages.begin(), kBrowserImages.end(), name) != kBrowserImages.end();
}

}  // namespace vantro::picking
