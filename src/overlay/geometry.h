// Plain integer geometry of the overlay: rectangles with exclusive right and bottom edges, as
// in a Windows RECT, and the saturating arithmetic the layout computes with.
#pragma once

#include <cstdint>
#include <limits>
#include <ostream>

namespace vantro::overlay {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Rectangles that only share an edge do not overlap.
[[nodiscard]] constexpr bool overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Whether `inner` lies inside `outer`; equal edges count as inside.
[[nodiscard]] constexpr bool contains(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

// Clamps a wide intermediate into the 32-bit range, so extreme inputs never overflow.
[[nodiscard]] constexpr std::int32_t saturate(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

[[nodiscard]] constexpr std::int32_t sat_add(std::int64_t a, std::int64_t b) {
  return saturate(a + b);
}
[[nodiscard]] constexpr std::int32_t sat_sub(std::int64_t a, std::int64_t b) {
  return saturate(a - b);
}
[[nodiscard]] constexpr std::int32_t sat_mul(std::int64_t a, std::int64_t b) {
  // Both factors stay within 32 bits (or a small count), so the product fits in 64 bits.
  return saturate(a * b);
}

inline std::ostream& operator<<(std::ostream& os, const Point& p) {
  return os << '(' << p.x << ", " << p.y << ')';
}
inline std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

}  // namespace vantro::overlay
