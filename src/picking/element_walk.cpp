#include "picking/element_walk.h"

namespace vantro::picking {
namespace {

// Steps 4.1 to 4.4 of examining a node: the reads that decide whether the rule is asked.
std::optional<std::int32_t> examinable_control_type(WalkElement& node) {
  const std::optional<bool> offscreen = node.is_offscreen();
  if (!offscreen || *offscreen) return std::nullopt;

  const std::optional<ScreenRect> rect = node.bounding_rectangle();
  if (!rect || inclusive_width(*rect) <= 0 || inclusive_height(*rect) <= 0) return std::nullopt;

  // An element whose enabled state cannot be read counts as enabled.
  if (node.is_enabled() == std::optional<bool>(false)) return std::nullopt;

  const std::optional<std::int32_t> type = node.control_type_id();
  if (!type || !control_type::is_known(*type)) return std::nullopt;
  return type;
}

}  // namespace

std::optional<ElementInfo> register_element(WalkContext& walk, WalkElement& element, Role role) {
  const std::optional<ScreenRect> rect = element.bounding_rectangle();
  if (!rect) return std::nullopt;
  const ElementId id{walk.next_id++};
  walk.tree.keep(id, element);
  return ElementInfo{id, rect->left, rect->top, inclusive_width(*rect), inclusive_height(*rect), role};
}

void walk_tree(WalkContext& walk, WalkElement& node, std::uint64_t depth) {
  WalkStats& stats = walk.stats;
  ++stats.visited;
  if (depth > stats.max_depth) stats.max_depth = depth;

  const WalkLimits limits = walk_limits(walk.is_browser);
  if (walk.collected.size() >= limits.elements) {
    stats.hit_element_cap = true;
    return;
  }

  if (const std::optional<std::int32_t> type = examinable_control_type(node)) {
    const std::optional<Role> role =
        walk.is_browser ? classify_browser_element(node, *type) : classify_element(node, *type);
    if (role) {
      if (auto info = register_element(walk, node, *role)) walk.collected.push_back(*info);
    }
  }

  if (depth >= limits.depth) {
    stats.hit_depth_cap = true;
    return;
  }

  std::unique_ptr<WalkElement> child = walk.tree.first_child(node);
  while (child) {
    walk_tree(walk, *child, depth + 1);
    child = walk.tree.next_sibling(*child);  // the previous child is released here
  }
}

}  // namespace vantro::picking
