#include "overlay/badge_layout.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_map>

#include "core/text.h"

namespace vantro::overlay {
namespace {

// A product of the font height with a factor, in single precision, truncated toward zero and
// held within 32 bits.
std::int32_t scaled(std::uint32_t font_height, float factor) {
  const float product = static_cast<float>(font_height) * factor;
  if (product >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(product);  // truncates; the product is never negative
}

std::int64_t clamped_count(std::size_t n) {
  return static_cast<std::int64_t>(std::min<std::size_t>(n, std::numeric_limits<std::int32_t>::max()));
}

struct BadgeSize {
  std::int32_t label_width;
  std::int32_t name_width;  // 0 without a name
  std::int32_t width;       // the whole badge, name box included
};

BadgeSize badge_size(const BadgeMetrics& m, const OverlayStyle& style, const OverlayTarget& target) {
  const std::int32_t lw = label_box_width(m, style, target.label);
  if (!target.name) return {lw, 0, lw};
  const std::int32_t nw = name_box_width(m, style, *target.name);
  return {lw, nw, sat_add(sat_add(lw, kBadgeGap), nw)};
}

Rect rect_at(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return {left, top, sat_add(left, width), sat_add(top, height)};
}

// Placed badges, searched one by one.
class PlacedList {
 public:
  [[nodiscard]] bool overlaps_any(const Rect& r) const {
    return std::any_of(rects_.begin(), rects_.end(), [&](const Rect& p) { return overlaps(p, r); });
  }
  void add(const Rect& r) { rects_.push_back(r); }

 private:
  std::vector<Rect> rects_;
};

// Placed badges in a coarse grid of cells as wide as the widest badge and as tall as a badge,
// so that each badge touches at most 2 × 2 cells and a search looks only at the badges nearby.
// Exact for badges of positive size: two such rectangles overlap only when they share a
// pixel, and so a cell.
class PlacedGrid {
 public:
  PlacedGrid(std::int32_t cell_width, std::int32_t cell_height) : cell_w_(cell_width), cell_h_(cell_height) {}

  [[nodiscard]] bool overlaps_any(const Rect& r) const {
    if (r.right <= r.left || r.bottom <= r.top) return false;  // squeezed empty at the 32-bit edge
    bool hit = false;
    for_cells(r, [&](std::uint64_t key) {
      if (hit) return;
      const auto it = cells_.find(key);
      if (it == cells_.end()) return;
      for (const std::uint32_t i : it->second) {
        if (overlaps(rects_[i], r)) {
          hit = true;
          return;
        }
      }
    });
    return hit;
  }

  void add(const Rect& r) {
    const auto index = static_cast<std::uint32_t>(rects_.size());
    rects_.push_back(r);
    if (r.right <= r.left || r.bottom <= r.top) return;  // overlaps nothing, ever
    for_cells(r, [&](std::uint64_t key) { cells_[key].push_back(index); });
  }

 private:
  static std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
  }

  template <class F>
  void for_cells(const Rect& r, F&& visit) const {
    const std::int64_t x0 = floor_div(r.left, cell_w_), x1 = floor_div(std::int64_t{r.right} - 1, cell_w_);
    const std::int64_t y0 = floor_div(r.top, cell_h_), y1 = floor_div(std::int64_t{r.bottom} - 1, cell_h_);
    for (std::int64_t cx = x0; cx <= x1; ++cx)
      for (std::int64_t cy = y0; cy <= y1; ++cy)
        visit((static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
              static_cast<std::uint32_t>(cy));
  }

  std::int32_t cell_w_;
  std::int32_t cell_h_;
  std::vector<Rect> rects_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
};

template <class Placed>
std::vector<LaidHint> layout_into(std::span<const OverlayTarget> targets, const OverlayStyle& style,
                                  std::int32_t vx, std::int32_t vy, const BadgeMetrics& m,
                                  std::span<const BadgeSize> sizes, Placed& placed) {
  const std::size_t n = targets.size();
  std::vector<std::int32_t> tx(n), ty(n);
  for (std::size_t i = 0; i < n; ++i) {
    tx[i] = sat_sub(targets[i].x, vx);
    ty[i] = sat_sub(targets[i].y, vy);
  }

  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return ty[a] != ty[b] ? ty[a] < ty[b] : tx[a] < tx[b];
  });

  // Candidates: 0 inside top-left, 1 inside top-right, 2 above, 3 inside bottom-right.
  static constexpr std::array<int, 4> kAboveFirst{2, 0, 1, 3};
  static constexpr std::array<int, 3> kInsideOnly{0, 1, 3};
  const std::span<const int> candidates = style.placement == Placement::AboveFirst
                                              ? std::span<const int>(kAboveFirst)
                                              : std::span<const int>(kInsideOnly);

  const std::int32_t bh = m.badge_height;
  const std::int32_t stack_step = sat_add(bh, kBadgeGap);

  std::vector<LaidHint> hints(n);
  bool first = true;
  for (const std::size_t i : order) {
    const OverlayTarget& t = targets[i];
    const std::int32_t bw = sizes[i].width;
    const auto candidate = [&](int which) {
      switch (which) {
        case 0:
          return rect_at(tx[i], ty[i], bw, bh);
        case 1:
          return rect_at(sat_sub(sat_add(tx[i], t.width), bw), ty[i], bw, bh);
        case 2:
          return rect_at(tx[i], sat_sub(sat_sub(ty[i], bh), kBadgeGap), bw, bh);
        default:
          return rect_at(sat_sub(sat_add(tx[i], t.width), bw), sat_sub(sat_add(ty[i], t.height), bh), bw, bh);
      }
    };

    std::optional<Rect> chosen;
    if (first) {
      chosen = candidate(candidates.front());
      first = false;
    } else {
      for (const int which : candidates) {
        const Rect r = candidate(which);
        if (!placed.overlaps_any(r)) {
          chosen = r;
          break;
        }
      }
      for (std::int32_t k = 0; !chosen && k <= kStackTries; ++k) {
        const Rect r = rect_at(tx[i], sat_add(ty[i], sat_mul(k, stack_step)), bw, bh);
        if (k == kStackTries || !placed.overlaps_any(r)) chosen = r;
      }
    }
    placed.add(*chosen);

    LaidHint& hint = hints[i];
    hint.label = t.label;
    hint.name = t.name;
    hint.target_rect = rect_at(tx[i], ty[i], t.width, t.height);
    hint.badge_rect = rect_at(chosen->left, chosen->top, sizes[i].label_width, bh);
    hint.has_name_box = t.name.has_value();
    if (hint.has_name_box) {
      hint.name_rect = rect_at(sat_add(sat_add(chosen->left, sizes[i].label_width), kBadgeGap), chosen->top,
                               sizes[i].name_width, bh);
    }
  }
  return hints;
}

std::vector<BadgeSize> badge_sizes(std::span<const OverlayTarget> targets, const OverlayStyle& style,
                                   const BadgeMetrics& m) {
  std::vector<BadgeSize> sizes;
  sizes.reserve(targets.size());
  for (const auto& t : targets) sizes.push_back(badge_size(m, style, t));
  return sizes;
}

}  // namespace

BadgeMetrics badge_metrics(const OverlayStyle& style) {
  return {
      .label_char_width = scaled(style.font_height, 0.62f),
      .name_char_width = scaled(style.font_height, 0.5f),
      .badge_height = sat_add(style.font_height, sat_mul(2, style.pad_y)),
  };
}

std::size_t char_count(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < utf8.size(); ++n) (void)text::decode_utf8(utf8, pos);
  return n;
}

std::int32_t label_box_width(const BadgeMetrics& m, const OverlayStyle& style, std::string_view label) {
  return sat_add(sat_mul(clamped_count(char_count(label)), m.label_char_width), sat_mul(2, style.pad_x));
}

std::int32_t name_box_width(const BadgeMetrics& m, const OverlayStyle& style, std::string_view name) {
  const std::size_t chars = std::min(char_count(name), kMaxNameChars);
  return sat_add(sat_mul(clamped_count(chars), m.name_char_width), sat_mul(2, style.pad_x));
}

std::vector<LaidHint> layout_hints(std::span<const OverlayTarget> targets, const OverlayStyle& style,
                                   std::int32_t vx, std::int32_t vy) {
  const BadgeMetrics m = badge_metrics(style);
  const std::vector<BadgeSize> sizes = badge_sizes(targets, style, m);
  std::int32_t widest = 0;
  bool all_positive = m.badge_height > 0;
  for (const auto& s : sizes) {
    widest = std::max(widest, s.width);
    all_positive = all_positive && s.width > 0;
  }
  // Badges of zero or negative size can overlap without sharing a pixel; the grid's
  // shortcut does not hold for them.
  if (!all_positive) {
    PlacedList placed;
    return layout_into(targets, style, vx, vy, m, sizes, placed);
  }
  PlacedGrid placed(widest, m.badge_height);
  return layout_into(targets, style, vx, vy, m, sizes, placed);
}

std::vector<LaidHint> layout_hints_exhaustive(std::span<const OverlayTarget> targets,
                                              const OverlayStyle& style, std::int32_t vx, std::int32_t vy) {
  const BadgeMetrics m = badge_metrics(style);
  const std::vector<BadgeSize> sizes = badge_sizes(targets, style, m);
  PlacedList placed;
  return layout_into(targets, style, vx, vy, m, sizes, placed);
}

}  // namespace vantro::overlay
