// Which foreground windows belong to a web browser, decided by the process image path.
#pragma once

#include <string_view>

namespace vantro::picking {

// The file name of a path: the text after its last '\' or '/', or the whole path.
[[nodiscard]] std::u16string_view image_file_name(std::u16string_view path);

// True when the file name of the image path, lower-cased, is exactly one of the known
// browser executables ("chrome.exe", "firefox.exe", ...). The folders, the window and the
// version play no part; a further extension or a prefix does not count. Unpaired surrogates
// read as U+FFFD.
[[nodiscard]] bool is_browser_image_path(std::u16string_view path);

}  // namespace vantro::picking
