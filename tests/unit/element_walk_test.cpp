#include "picking/element_walk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace vantro::picking {
namespace {

namespace ct = control_type;

// A control view held in memory. Every question a node or the walker is asked counts as one
// UI Automation call.
constexpr std::uint8_t bit(ActionPattern p) {
  return static_cast<std::uint8_t>(1u << static_cast<unsigned>(p));
}

struct Node {
  std::optional<bool> offscreen = false;
  std::optional<ScreenRect> rect = ScreenRect{0, 0, 19, 19};
  std::optional<bool> enabled = true;
  std::optional<std::int32_t> type = ct::Button;
  std::uint8_t patterns = 0;  // bits of ActionPattern
  std::optional<std::uint32_t> accessibility_role;
  std::optional<bool> focusable = false;
  int rect_reads_that_succeed = 1000;  // later reads fail
  bool next_sibling_fails = false;     // the walker cannot step past this node
  std::vector<std::size_t> children;
  std::size_t parent = 0;
  std::size_t index_in_parent = 0;
};

class FakeTree;

class FakeElement final : public WalkElement {
 public:
  FakeElement(FakeTree& tree, std::size_t node);
  ~FakeElement() override;

  std::optional<bool> is_offscreen() override;
  std::optional<bool> is_enabled() override;
  std::optional<std::int32_t> control_type_id() override;
  std::optional<ScreenRect> bounding_rectangle() override;
  bool offers_pattern(ActionPattern pattern) override;
  std::optional<std::uint32_t> accessibility_role() override;
  std::optional<bool> keyboard_focusable() override;

  FakeTree& tree;
  std::size_t node;
};

class FakeTree final : public ElementTree {
 public:
  FakeTree() { nodes.push_back(Node{.type = ct::Pane}); }  // the window's own element, not collected

  std::size_t add(std::size_t parent, Node node) {
    node.parent = parent;
    node.index_in_parent = nodes[parent].children.size();
    nodes.push_back(std::move(node));
    nodes[parent].children.push_back(nodes.size() - 1);
    return nodes.size() - 1;
  }

  std::unique_ptr<WalkElement> first_child(WalkElement& element) override {
    ++calls;
    const Node& n = nodes[as_fake(element).node];
    if (n.children.empty()) return nullptr;
    return std::make_unique<FakeElement>(*this, n.children.front());
  }
  std::unique_ptr<WalkElement> next_sibling(WalkElement& element) override {
    ++calls;
    const Node& n = nodes[as_fake(element).node];
    if (n.next_sibling_fails) return nullptr;
    const auto& siblings = nodes[n.parent].children;
    if (n.index_in_parent + 1 >= siblings.size()) return nullptr;
    return std::make_unique<FakeElement>(*this, siblings[n.index_in_parent + 1]);
  }
  void keep(ElementId id, WalkElement& element) override { kept.emplace_back(id, as_fake(element).node); }

  static FakeElement& as_fake(WalkElement& element) { return static_cast<FakeElement&>(element); }

  std::vector<Node> nodes;
  std::vector<std::pair<ElementId, std::size_t>> kept;
  std::uint64_t calls = 0;
  int live_elements = 0;
  std::vector<std::size_t> entered;  // nodes whose first property was read, in order
};

FakeElement::FakeElement(FakeTree& t, std::size_t n) : tree(t), node(n) {
  ++tree.live_elements;
}
FakeElement::~FakeElement() {
  --tree.live_elements;
}
std::optional<bool> FakeElement::is_offscreen() {
  ++tree.calls;
  tree.entered.push_back(node);
  return tree.nodes[node].offscreen;
}
std::optional<bool> FakeElement::is_enabled() {
  ++tree.calls;
  return tree.nodes[node].enabled;
}
std::optional<std::int32_t> FakeElement::control_type_id() {
  ++tree.calls;
  return tree.nodes[node].type;
}
std::optional<ScreenRect> FakeElement::bounding_rectangle() {
  ++tree.calls;
  Node& n = tree.nodes[node];
  if (n.rect_reads_that_succeed-- <= 0) return std::nullopt;
  return n.rect;
}
bool FakeElement::offers_pattern(ActionPattern pattern) {
  ++tree.calls;
  return (tree.nodes[node].patterns & bit(pattern)) != 0;
}
std::optional<std::uint32_t> FakeElement::accessibility_role() {
  ++tree.calls;
  return tree.nodes[node].accessibility_role;
}
std::optional<bool> FakeElement::keyboard_focusable() {
  ++tree.calls;
  return tree.nodes[node].focusable;
}

struct Outcome {
  std::vector<ElementInfo> collected;
  WalkStats stats;
  std::uint64_t next_id = 0;
};

Outcome walk(FakeTree& tree, bool is_browser = false, std::uint64_t first_id = 0) {
  Outcome out;
  out.next_id = first_id;
  WalkContext context{tree, is_browser, out.next_id, out.collected, out.stats};
  FakeElement root(tree, 0);
  walk_tree(context, root, 0);
  EXPECT_EQ(tree.live_elements, 1) << "every child element is released by the walk";
  return out;
}

ScreenRect at(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
  return {x, y, x + w - 1, y + h - 1};
}

// A chain root → 1 → 2 → … of `length` buttons below the root.
void add_chain(FakeTree& tree, int length) {
  std::size_t parent = 0;
  for (int i = 0; i < length; ++i) parent = tree.add(parent, Node{});
}

TEST(ElementWalk, CollectsInPreOrderWithIdsAndInclusiveRectangles) {
  FakeTree tree;
  const std::size_t a = tree.add(0, Node{.rect = at(10, 20, 30, 40), .type = ct::Button});
  const std::size_t b = tree.add(a, Node{.rect = at(-50, -5, 1, 1), .type = ct::Edit});
  const std::size_t c =
      tree.add(0, Node{.rect = ScreenRect{7, 8, 7, 8}, .type = ct::CheckBox});  // empty: 1 x 1
  const std::size_t d = tree.add(c, Node{.rect = at(0, 0, 64, 32), .type = ct::TreeItem});

  const Outcome out = walk(tree);
  const std::vector<ElementInfo> expected = {
      {ElementId{0}, 10, 20, 30, 40, Role::Button},
      {ElementId{1}, -50, -5, 1, 1, Role::TextInput},
      {ElementId{2}, 7, 8, 1, 1, Role::Checkbox},
      {ElementId{3}, 0, 0, 64, 32, Role::TreeItem},
  };
  EXPECT_EQ(out.collected, expected);
  EXPECT_EQ(out.next_id, 4u);
  EXPECT_EQ(tree.kept, (std::vector<std::pair<ElementId, std::size_t>>{
                           {ElementId{0}, a}, {ElementId{1}, b}, {ElementId{2}, c}, {ElementId{3}, d}}));
  EXPECT_EQ(out.stats,
            (WalkStats{.visited = 5, .max_depth = 2, .hit_depth_cap = false, .hit_element_cap = false}));
}

TEST(ElementWalk, RefusedNodesAreNotCollectedButTheirChildrenAre) {
  struct Case {
    std::string name;
    Node container;
    bool container_collected;
  } cases[] = {
      {"off screen", Node{.offscreen = true}, false},
      {"off-screen state unreadable", Node{.offscreen = std::nullopt}, false},
      {"rectangle unreadable", Node{.rect = std::nullopt}, false},
      {"zero width", Node{.rect = ScreenRect{5, 0, 4, 9}}, false},
      {"zero height", Node{.rect = ScreenRect{0, 5, 9, 4}}, false},
      {"width wraps to negative", Node{.rect = ScreenRect{INT32_MIN, 0, INT32_MAX, 9}}, false},
      {"disabled", Node{.enabled = false}, false},
      {"enabled state unreadable counts as enabled", Node{.enabled = std::nullopt}, true},
      {"control type unreadable", Node{.type = std::nullopt}, false},
      {"control type below the known range", Node{.type = 49999}, false},
      {"control type above the known range", Node{.type = 50041}, false},
      {"refused by its rule", Node{.type = ct::Pane}, false},
      {"rectangle unreadable when registering", Node{.rect_reads_that_succeed = 1}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTree tree;
    const std::size_t container = tree.add(0, c.container);
    tree.add(container, Node{.rect = at(1, 1, 10, 10), .type = ct::Button});
    tree.add(container, Node{.rect = at(2, 2, 10, 10), .type = ct::Hyperlink});
    const Outcome out = walk(tree);
    const std::size_t expected = c.container_collected ? 3 : 2;
    ASSERT_EQ(out.collected.size(), expected);
    // Ids are gapless: a registration that failed used none.
    for (std::size_t i = 0; i < out.collected.size(); ++i) EXPECT_EQ(out.collected[i].id, ElementId{i});
    EXPECT_EQ(out.collected[expected - 2].role, Role::Button);
    EXPECT_EQ(out.collected[expected - 1].role, Role::Link);
    EXPECT_EQ(out.next_id, expected);
    EXPECT_EQ(out.stats.visited, 4u);
  }
}

TEST(ElementWalk, IdsContinueFromTheClientsNextId) {
  FakeTree tree;
  tree.add(0, Node{});
  tree.add(0, Node{});
  const Outcome out = walk(tree, false, 7);
  ASSERT_EQ(out.collected.size(), 2u);
  EXPECT_EQ(out.collected[0].id, ElementId{7});
  EXPECT_EQ(out.collected[1].id, ElementId{8});
  EXPECT_EQ(out.next_id, 9u);
}

TEST(ElementWalk, DepthLimitExaminesTheLastLevelButNotItsChildren) {
  struct Case {
    bool browser;
    int chain;
    std::size_t collected;
    std::uint64_t max_depth;
    bool hit_depth_cap;
  } cases[] = {
      {false, 11, 11, 11, false},  // deepest node at depth 11: below the limit
      {false, 12, 12, 12, true},   // a node at depth 12 without children still sets the flag
      {false, 20, 12, 12, true},  {true, 31, 31, 31, false},
      {true, 32, 32, 32, true},   {true, 40, 32, 32, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.browser ? "browser" : "ordinary") << " chain of " << c.chain);
    FakeTree tree;
    add_chain(tree, c.chain);
    const Outcome out = walk(tree, c.browser);
    EXPECT_EQ(out.collected.size(), c.collected);
    EXPECT_EQ(out.stats.max_depth, c.max_depth);
    EXPECT_EQ(out.stats.visited, c.max_depth + 1);
    EXPECT_EQ(out.stats.hit_depth_cap, c.hit_depth_cap);
    EXPECT_FALSE(out.stats.hit_element_cap);
  }
}

TEST(ElementWalk, ElementLimitKeepsTheFirstInPreOrder) {
  struct Case {
    bool browser;
    int qualifying;
    std::size_t collected;
    bool hit_element_cap;
  } cases[] = {
      {false, 600, 500, true},  {false, 501, 500, true}, {false, 500, 500, false},  // 500th is the last node
      {false, 499, 499, false}, {true, 900, 800, true},  {true, 800, 800, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.browser ? "browser" : "ordinary") << ", " << c.qualifying);
    FakeTree tree;
    for (int i = 0; i < c.qualifying; ++i) tree.add(0, Node{.rect = at(i, 0, 20, 20)});
    const Outcome out = walk(tree, c.browser);
    ASSERT_EQ(out.collected.size(), c.collected);
    EXPECT_EQ(out.collected.back().x, static_cast<std::int32_t>(c.collected) - 1);
    EXPECT_EQ(out.stats.hit_element_cap, c.hit_element_cap);
    // Every node the open sibling loop fetches is entered, also after the limit.
    EXPECT_EQ(out.stats.visited, static_cast<std::uint64_t>(c.qualifying) + 1);
    EXPECT_EQ(tree.entered.size(), std::min<std::size_t>(c.qualifying, c.collected) + 1);
  }
}

TEST(ElementWalk, NodesPastTheElementLimitAreNotDescendedInto) {
  FakeTree tree;
  for (int i = 0; i < 500; ++i) tree.add(0, Node{});
  const std::size_t late = tree.add(0, Node{.type = ct::Pane});
  tree.add(late, Node{});
  tree.add(late, Node{});
  const Outcome out = walk(tree);
  EXPECT_EQ(out.collected.size(), 500u);
  EXPECT_TRUE(out.stats.hit_element_cap);
  EXPECT_EQ(out.stats.visited, 502u);  // root, 500 buttons and the late pane; not its children
  EXPECT_EQ(out.stats.max_depth, 1u);
}

TEST(ElementWalk, AFailedSiblingStepEndsOnlyThatLoop) {
  FakeTree tree;
  const std::size_t group = tree.add(0, Node{.type = ct::Group});
  tree.add(group, Node{.rect = at(1, 0, 10, 10)});
  tree.add(group, Node{.rect = at(2, 0, 10, 10), .next_sibling_fails = true});
  tree.add(group, Node{.rect = at(3, 0, 10, 10)});  // unreachable
  tree.add(0, Node{.rect = at(4, 0, 10, 10)});
  const Outcome out = walk(tree);
  std::vector<std::int32_t> xs;
  for (const auto& e : out.collected) xs.push_back(e.x);
  EXPECT_EQ(xs, (std::vector<std::int32_t>{1, 2, 4}));
}

TEST(ElementWalk, BrowserWalkUsesTheBrowserRule) {
  FakeTree tree;
  tree.add(0, Node{.rect = at(0, 0, 30, 30), .type = ct::TreeItem});
  tree.add(0, Node{.rect = at(0, 0, 9, 30), .type = ct::Button});  // too small in a browser
  const Outcome ordinary = walk(tree, false);
  ASSERT_EQ(ordinary.collected.size(), 2u);
  EXPECT_EQ(ordinary.collected[0].role, Role::TreeItem);

  FakeTree browser_tree;
  browser_tree.nodes = tree.nodes;
  const Outcome browser = walk(browser_tree, true);
  ASSERT_EQ(browser.collected.size(), 1u);
  EXPECT_EQ(browser.collected[0].role, Role::ListItem);
}

TEST(ElementWalk, MappedElementCostsFourReadsAndOneRegistrationRead) {
  FakeTree tree;
  tree.add(0, Node{.type = ct::Button});
  const std::uint64_t before = tree.calls;
  FakeElement element(tree, 1);
  std::vector<ElementInfo> collected;
  WalkStats stats;
  std::uint64_t next_id = 0;
  WalkContext context{tree, false, next_id, collected, stats};
  walk_tree(context, element, 1);
  // offscreen, rectangle, enabled, control type, rectangle at registration, first child.
  EXPECT_EQ(tree.calls - before, 6u);
  EXPECT_EQ(collected.size(), 1u);
}

// A window of 2,000 nodes in a plausible mix: containers, buttons, labels, images, edits,
// clickable panes and hidden or disabled ones.
void build_mixed_tree(FakeTree& tree) {
  std::size_t panel = 0;
  for (int i = 1; i < 2000; ++i) {
    if (i % 50 == 1) {
      panel = tree.add(0, Node{.type = ct::Group});
      continue;
    }
    Node n{.rect = at(i % 1000, i / 1000, 24, 24)};
    switch (i % 10) {
      case 0:
        n.type = ct::Button;
        break;
      case 1:
        n.type = ct::Text;
        break;
      case 2:
        n.type = ct::Pane, n.patterns = bit(ActionPattern::Invoke);
        break;
      case 3:
        n.type = ct::Text, n.offscreen = true;
        break;
      case 4:
        n.type = ct::Text;
        break;
      case 5:
        n.type = ct::Custom, n.focusable = true;
        break;
      case 6:
        n.type = ct::CheckBox, n.enabled = false;
        break;
      case 7:
        n.type = ct::Separator;
        break;
      case 8:
        n.type = ct::Image, n.offscreen = true;
        break;
      case 9:
        n.type = ct::Group;
        break;
    }
    tree.add(panel, n);
  }
}

TEST(ElementWalk, CallsPerNodeOverTwoThousandNodes) {
  for (const bool browser : {false, true}) {
    FakeTree tree;
    build_mixed_tree(tree);
    ASSERT_EQ(tree.nodes.size(), 2000u);
    const auto start = std::chrono::steady_clock::now();
    const Outcome out = walk(tree, browser);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double per_node = static_cast<double>(tree.calls) / static_cast<double>(out.stats.visited);
    std::printf(
        "[ perf ] %s walk: %llu nodes visited, %zu collected, %llu UI Automation calls, %.2f per node, "
        "%.3f ms\n",
        browser ? "browser" : "ordinary", static_cast<unsigned long long>(out.stats.visited),
        out.collected.size(), static_cast<unsigned long long>(tree.calls), per_node,
        std::chrono::duration<double, std::milli>(elapsed).count());
    EXPECT_EQ(out.stats.visited, 2000u);
    EXPECT_FALSE(out.stats.hit_element_cap);
    // Four reads, the rule's questions (at most seven), the registration read and the two
    // walker steps bound every node.
    EXPECT_LE(per_node, 4.0 + 7.0 + 1.0 + 2.0);
  }
}

}  // namespace
}  // namespace vantro::picking
