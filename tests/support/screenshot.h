// Screenshots of the X screen that Wine draws on, taken while an overlay is open with the
// host's ImageMagick, started from inside Wine (support/host_program.h).
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/host_program.h"
#include "support/overlay_driver.h"
#include "support/under_wine.h"
#include "windows/wide.h"

namespace vantro::test_support {

// The folder of the test program, inside the build tree.
inline std::wstring build_folder() {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe, n);
  return path.substr(0, path.find_last_of(L'\\'));
}

// An 8-bit P6 image as ImageMagick writes it.
struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  [[nodiscard]] COLORREF at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
  }
  [[nodiscard]] int count(COLORREF color) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += at(x, y) == color;
    return n;
  }
};

inline std::optional<Image> read_ppm(const std::wstring& path) {
  std::ifstream in(windows::narrow(path), std::ios::binary);
  std::string magic;
  Image image;
  int max = 0;
  if (!(in >> magic >> image.width >> image.height >> max) || magic != "P6" || max != 255)
    return std::nullopt;
  in.get();
  image.rgb.assign(std::istreambuf_iterator<char>(in), {});
  if (image.rgb.size() < static_cast<std::size_t>(image.width) * image.height * 3) return std::nullopt;
  return image;
}

// Two overlay steps that save the whole X screen to `file` (in the build folder) and wait
// until it is written. `started` tells afterwards whether the import tool could be started.
class Screenshot {
 public:
  explicit Screenshot(const std::wstring& file)
      : path_(build_folder() + L"\\" + file), partial_(path_ + L".part") {
    DeleteFileW(path_.c_str());
    DeleteFileW(partial_.c_str());
  }

  // Waits a moment first: Wine hands the painted window to the X server on its own schedule,
  // later still on a busy machine.
  [[nodiscard]] OverlayDriver::Step take() {
    return [this](HWND) {
      const ULONGLONG now = GetTickCount64();
      if (first_call_ == 0) first_call_ = now;
      if (now - first_call_ < kSettleMs) return false;
      const std::string shot = host_path(path_), partial = host_path(partial_);
      started_ = !shot.empty() &&
                 start_host_program(windows::wide("/bin/sh -c \"import -window root -depth 8 ppm:'" +
                                                  partial + "' && mv '" + partial + "' '" + shot + "'\""));
      return true;
    };
  }
  // Done once the whole image has been written and read back.
  [[nodiscard]] OverlayDriver::Step wait() {
    return [this](HWND) {
      if (started_) image_ = read_ppm(path_);
      return !started_ || image_.has_value();
    };
  }

  [[nodiscard]] bool started() const { return started_; }
  [[nodiscard]] const std::wstring& path() const { return path_; }
  [[nodiscard]] const std::optional<Image>& image() const { return image_; }

 private:
  static constexpr ULONGLONG kSettleMs = 300;
  std::wstring path_;
  std::wstring partial_;
  ULONGLONG first_call_ = 0;
  bool started_ = false;
  std::optional<Image> image_;
};

}  // namespace vantro::test_support
