// Helpers shared by the fuzz targets: a failed property aborts, so that afl-fuzz records the
// input as a crash, and a small reader that cuts the input into typed parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// The targets are built with assertions on, the libraries' too (see cmake/Fuzz.cmake).
#ifdef NDEBUG
#error "fuzz targets need assertions: build them with the fuzz preset, which defines no NDEBUG"
#endif

#define VANTRO_FUZZ_CHECK(condition)                                                        \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

namespace vantro::fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  [[nodiscard]] bool empty() const { return rest_.empty(); }
  // One byte, 0 once the input is used up.
  [[nodiscard]] std::uint8_t byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }
  // Two bytes, little-endian.
  [[nodiscard]] std::uint16_t u16() {
    const std::uint16_t low = byte();
    return static_cast<std::uint16_t>(low | (byte() << 8));
  }
  // The text up to the next line feed (not included), or the rest.
  [[nodiscard]] std::string_view line() {
    const std::size_t end = rest_.find('\n');
    const std::string_view part = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return part;
  }
  [[nodiscard]] std::string_view rest() {
    const std::string_view all = rest_;
    rest_ = {};
    return all;
  }

 private:
  std::string_view rest_;
};

}  // namespace vantro::fuzz
