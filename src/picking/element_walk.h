// The depth-first walk over a window's UI Automation control view that collects the
// elements worth a hint badge, under fixed limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "picking/classification.h"
#include "picking/element.h"

namespace vantro::picking {

// One node of the tree being walked. Besides the classification questions the walk reads
// four properties, each one platform call.
class WalkElement : public ElementProbe {
 public:
  // get_CurrentIsOffscreen; nothing when the read fails.
  [[nodiscard]] virtual std::optional<bool> is_offscreen() = 0;
  // get_CurrentIsEnabled; nothing when the read fails.
  [[nodiscard]] virtual std::optional<bool> is_enabled() = 0;
  // get_CurrentControlType as read, also outside the known range; nothing when it fails.
  [[nodiscard]] virtual std::optional<std::int32_t> control_type_id() = 0;
};

// The tree walker and the store of collected elements.
class ElementTree {
 public:
  virtual ~ElementTree() = default;
  // The first child in the control view; nothing when there is none or the call fails.
  [[nodiscard]] virtual std::unique_ptr<WalkElement> first_child(WalkElement& element) = 0;
  // The next sibling in the control view; nothing when there is none or the call fails.
  [[nodiscard]] virtual std::unique_ptr<WalkElement> next_sibling(WalkElement& element) = 0;
  // Keeps a reference of its own on a collected element under its new id.
  virtual void keep(ElementId id, WalkElement& element) = 0;
};

struct WalkLimits {
  std::uint64_t depth;   // nodes from depth 0 to this depth inclusive are examined
  std::size_t elements;  // at most this many elements are collected
};

// Browsers get a deeper and larger walk: their pages nest far more than native windows.
[[nodiscard]] constexpr WalkLimits walk_limits(bool is_browser) {
  return is_browser ? WalkLimits{32, 800} : WalkLimits{12, 500};
}

// The counters of one enumeration.
struct WalkStats {
  std::uint64_t visited = 0;
  std::uint64_t max_depth = 0;
  bool hit_depth_cap = false;
  bool hit_element_cap = false;

  friend bool operator==(const WalkStats&, const WalkStats&) = default;
};

// The state of one enumeration that every node of the walk shares.
struct WalkContext {
  ElementTree& tree;
  bool is_browser = false;
  std::uint64_t& next_id;  // the id the next collected element receives
  std::vector<ElementInfo>& collected;
  WalkStats& stats;
};

// Reads the element's rectangle once more, gives it the next id and has the tree keep it.
// Nothing when the rectangle cannot be read; no id is used up then.
[[nodiscard]] std::optional<ElementInfo> register_element(WalkContext& walk, WalkElement& element, Role role);

// Examines the node at `depth` and walks its subtree in pre-order. A node that is refused
// (off screen, empty, disabled, of an unknown type, or not accepted by its rule) is not
// collected, but its children still are. Never fails: a failed read only cuts that node or
// the rest of a sibling loop.
void walk_tree(WalkContext& walk, WalkElement& node, std::uint64_t depth);

}  // namespace vantro::picking
