#include "picking/classification.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vantro::picking {
namespace {

namespace ct = control_type;

// One platform call a rule made.
enum class Call { Rect, Invoke, Toggle, SelectionItem, ExpandCollapse, AccessibilityRole, Focus };

std::string call_name(Call call) {
  switch (call) {
    case Call::Rect:
      return "Rect";
    case Call::Invoke:
      return "Invoke";
    case Call::Toggle:
      return "Toggle";
    case Call::SelectionItem:
      return "SelectionItem";
    case Call::ExpandCollapse:
      return "ExpandCollapse";
    case Call::AccessibilityRole:
      return "AccessibilityRole";
    case Call::Focus:
      return "Focus";
  }
  return "?";
}

std::string calls_text(const std::vector<Call>& calls) {
  std::string out;
  for (const Call c : calls) out += (out.empty() ? "" : " ") + call_name(c);
  return out;
}

Call pattern_call(ActionPattern pattern) {
  switch (pattern) {
    case ActionPattern::Invoke:
      return Call::Invoke;
    case ActionPattern::Toggle:
      return Call::Toggle;
    case ActionPattern::SelectionItem:
      return Call::SelectionItem;
    case ActionPattern::ExpandCollapse:
      return Call::ExpandCollapse;
  }
  return Call::Invoke;
}

constexpr std::uint8_t bit(ActionPattern p) {
  return static_cast<std::uint8_t>(1u << static_cast<unsigned>(p));
}

// The facts of one element, and a log of every question asked about them.
struct Facts {
  std::optional<ScreenRect> rect = ScreenRect{0, 0, 99, 99};
  std::uint8_t patterns = 0;  // bits of ActionPattern
  std::optional<std::uint32_t> accessibility_role;
  std::optional<bool> focusable = false;
};

ScreenRect sized(std::int32_t width, std::int32_t height) {
  return {100, 200, 100 + width - 1, 200 + height - 1};
}

class FakeProbe final : public ElementProbe {
 public:
  explicit FakeProbe(Facts facts) : facts_(std::move(facts)) {}
  std::optional<ScreenRect> bounding_rectangle() override {
    calls.push_back(Call::Rect);
    return facts_.rect;
  }
  bool offers_pattern(ActionPattern pattern) override {
    calls.push_back(pattern_call(pattern));
    return (facts_.patterns & bit(pattern)) != 0;
  }
  std::optional<std::uint32_t> accessibility_role() override {
    calls.push_back(Call::AccessibilityRole);
    return facts_.accessibility_role;
  }
  std::optional<bool> keyboard_focusable() override {
    calls.push_back(Call::Focus);
    return facts_.focusable;
  }

  std::vector<Call> calls;

 private:
  Facts facts_;
};

const std::vector<Call> kAllPatterns = {Call::Invoke, Call::Toggle, Call::SelectionItem,
                                        Call::ExpandCollapse};

std::vector<Call> concat(std::vector<Call> a, const std::vector<Call>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct RuleCase {
  std::string name;
  std::int32_t type;
  Facts facts;
  std::optional<Role> expected;
  std::vector<Call> expected_calls;
};

void check(const RuleCase& c, std::optional<Role> (*rule)(ElementProbe&, std::int32_t)) {
  SCOPED_TRACE(c.name);
  FakeProbe probe(c.facts);
  const std::optional<Role> role = rule(probe, c.type);
  ASSERT_EQ(role.has_value(), c.expected.has_value());
  if (role) {
    EXPECT_EQ(role_name(*role), role_name(*c.expected));
  }
  EXPECT_EQ(calls_text(probe.calls), calls_text(c.expected_calls));
}

struct Mapped {
  std::int32_t type;
  Role ordinary;
  Role browser;
};

// The control types that both rules map without a test of the element.
const Mapped kMapped[] = {
    {ct::Button, Role::Button, Role::Button},
    {ct::CheckBox, Role::Checkbox, Role::Checkbox},
    {ct::ComboBox, Role::ComboBox, Role::ComboBox},
    {ct::Edit, Role::TextInput, Role::TextInput},
    {ct::Hyperlink, Role::Link, Role::Link},
    {ct::ListItem, Role::ListItem, Role::ListItem},
    {ct::MenuItem, Role::MenuItem, Role::MenuItem},
    {ct::RadioButton, Role::Radio, Role::Radio},
    {ct::TabItem, Role::Tab, Role::Tab},
    {ct::TreeItem, Role::TreeItem, Role::ListItem},
    {ct::DataItem, Role::ListItem, Role::ListItem},
    {ct::SplitButton, Role::Button, Role::Button},
};

TEST(OrdinaryRule, MappedTypesNeedNoPlatformCallAtAnySize) {
  std::vector<Mapped> mapped(std::begin(kMapped), std::end(kMapped));
  mapped.push_back({ct::Image, Role::Button, Role::Button});  // an image is taken as it is here
  const std::optional<ScreenRect> rects[] = {sized(1, 1), sized(0, 0), std::nullopt, sized(500, 20)};
  for (const Mapped& m : mapped) {
    for (const auto& rect : rects) {
      SCOPED_TRACE(testing::Message() << "type " << m.type << ", rect " << (rect ? "read" : "failed"));
      FakeProbe probe(Facts{.rect = rect});
      const auto role = classify_element(probe, m.type);
      ASSERT_TRUE(role.has_value());
      EXPECT_EQ(role_name(*role), role_name(m.ordinary));
      EXPECT_TRUE(probe.calls.empty()) << calls_text(probe.calls);
    }
  }
}

TEST(OrdinaryRule, OtherTypesNeedAnActionPatternThenTenByTen) {
  const RuleCase cases[] = {
      {"Pane with Invoke 10x10",
       ct::Pane,
       {.rect = sized(10, 10), .patterns = bit(ActionPattern::Invoke)},
       Role::Other,
       {Call::Invoke, Call::Rect}},
      {"Pane with Invoke 9x10",
       ct::Pane,
       {.rect = sized(9, 10), .patterns = bit(ActionPattern::Invoke)},
       std::nullopt,
       {Call::Invoke, Call::Rect}},
      {"Pane with Invoke 10x9",
       ct::Pane,
       {.rect = sized(10, 9), .patterns = bit(ActionPattern::Invoke)},
       std::nullopt,
       {Call::Invoke, Call::Rect}},
      {"Pane without patterns, focusable, push-button role",
       ct::Pane,
       {.rect = sized(300, 300), .accessibility_role = 43u, .focusable = true},
       std::nullopt,
       kAllPatterns},
      {"Pane with only ExpandCollapse",
       ct::Pane,
       {.rect = sized(10, 10), .patterns = bit(ActionPattern::ExpandCollapse)},
       Role::Other,
       concat(kAllPatterns, {Call::Rect})},
      {"Group with Toggle",
       ct::Group,
       {.rect = sized(40, 12), .patterns = bit(ActionPattern::Toggle)},
       Role::Other,
       {Call::Invoke, Call::Toggle, Call::Rect}},
      {"Text with SelectionItem",
       ct::Text,
       {.rect = sized(12, 40), .patterns = bit(ActionPattern::SelectionItem)},
       Role::Other,
       {Call::Invoke, Call::Toggle, Call::SelectionItem, Call::Rect}},
      {"Pane with Invoke, rectangle unreadable",
       ct::Pane,
       {.rect = std::nullopt, .patterns = bit(ActionPattern::Invoke)},
       std::nullopt,
       {Call::Invoke, Call::Rect}},
      {"Pane with Invoke, inverted rectangle",
       ct::Pane,
       {.rect = ScreenRect{50, 50, 20, 80}, .patterns = bit(ActionPattern::Invoke)},
       std::nullopt,
       {Call::Invoke, Call::Rect}},
  };
  for (const RuleCase& c : cases) check(c, classify_element);
}

TEST(OrdinaryRule, EveryUnmappedTypeFollowsTheSameTest) {
  std::set<std::int32_t> mapped = {ct::Image};
  for (const Mapped& m : kMapped) mapped.insert(m.type);
  int unmapped = 0;
  for (std::int32_t type = ct::first; type <= ct::last; ++type) {
    if (mapped.contains(type)) continue;
    ++unmapped;
    check({"type " + std::to_string(type) + " with Invoke",
           type,
           {.rect = sized(10, 10), .patterns = bit(ActionPattern::Invoke)},
           Role::Other,
           {Call::Invoke, Call::Rect}},
          classify_element);
    check({"type " + std::to_string(type) + " without patterns",
           type,
           {.rect = sized(10, 10), .focusable = true},
           std::nullopt,
           kAllPatterns},
          classify_element);
  }
  EXPECT_EQ(unmapped, 28);
}

TEST(BrowserRule, MappedTypesNeedTenByTenAndOneRectangleRead) {
  for (const Mapped& m : kMapped) {
    const std::string name = "type " + std::to_string(m.type);
    check({name + " 10x10", m.type, {.rect = sized(10, 10)}, m.browser, {Call::Rect}},
          classify_browser_element);
    check({name + " 10x9", m.type, {.rect = sized(10, 9)}, std::nullopt, {Call::Rect}},
          classify_browser_element);
    check({name + " 9x10", m.type, {.rect = sized(9, 10)}, std::nullopt, {Call::Rect}},
          classify_browser_element);
    check({name + " rectangle unreadable", m.type, {.rect = std::nullopt}, std::nullopt, {Call::Rect}},
          classify_browser_element);
  }
}

TEST(BrowserRule, GenericTypesAreTestedBeforeTheirSize) {
  const std::vector<Call> all_tests = concat(kAllPatterns, {Call::AccessibilityRole, Call::Focus});
  const RuleCase cases[] = {
      {"Image 16x16 focusable",
       ct::Image,
       {.rect = sized(16, 16), .focusable = true},
       Role::Button,
       concat({Call::Rect}, all_tests)},
      {"Image 15x16 focusable",
       ct::Image,
       {.rect = sized(15, 16), .focusable = true},
       std::nullopt,
       concat({Call::Rect}, all_tests)},
      {"Image 16x15 focusable",
       ct::Image,
       {.rect = sized(16, 15), .focusable = true},
       std::nullopt,
       concat({Call::Rect}, all_tests)},
      {"Image 200x200 with nothing",
       ct::Image,
       {.rect = sized(200, 200)},
       std::nullopt,
       concat({Call::Rect}, all_tests)},
      {"Image 200x200 focus unreadable",
       ct::Image,
       {.rect = sized(200, 200), .focusable = std::nullopt},
       std::nullopt,
       concat({Call::Rect}, all_tests)},
      {"Image 12x9 refused before any test",
       ct::Image,
       {.rect = sized(12, 9), .focusable = true},
       std::nullopt,
       {Call::Rect}},
      {"Group 16x16 with only ExpandCollapse",
       ct::Group,
       {.rect = sized(16, 16), .patterns = bit(ActionPattern::ExpandCollapse)},
       Role::Other,
       {Call::Rect, Call::Invoke, Call::Toggle, Call::SelectionItem, Call::ExpandCollapse}},
      {"Pane with Invoke stops at the first pattern",
       ct::Pane,
       {.rect = sized(30, 30), .patterns = bit(ActionPattern::Invoke), .focusable = true},
       Role::Other,
       {Call::Rect, Call::Invoke}},
      {"Text with link role",
       ct::Text,
       {.rect = sized(30, 30), .accessibility_role = 30u},
       Role::Other,
       concat({Call::Rect}, concat(kAllPatterns, {Call::AccessibilityRole}))},
      {"Custom with role 58 and no focus",
       ct::Custom,
       {.rect = sized(30, 30), .accessibility_role = 58u},
       std::nullopt,
       concat({Call::Rect}, all_tests)},
      {"Document focusable",
       ct::Document,
       {.rect = sized(800, 600), .focusable = true},
       Role::Other,
       concat({Call::Rect}, all_tests)},
  };
  for (const RuleCase& c : cases) check(c, classify_browser_element);
}

TEST(BrowserRule, RemainingTypesAreDroppedOnSizeBeforeAnyTest) {
  const RuleCase cases[] = {
      {"List 100x100 list-item role",
       ct::List,
       {.rect = sized(100, 100), .accessibility_role = 34u},
       Role::Button,
       {Call::Rect, Call::AccessibilityRole}},
      {"List 100x100 focusable",
       ct::List,
       {.rect = sized(100, 100), .focusable = true},
       Role::Button,
       {Call::Rect, Call::AccessibilityRole, Call::Focus}},
      {"List 100x100 with only Invoke",
       ct::List,
       {.rect = sized(100, 100), .patterns = bit(ActionPattern::Invoke)},
       std::nullopt,
       {Call::Rect, Call::AccessibilityRole, Call::Focus}},
      {"Window 20x20 focusable",
       ct::Window,
       {.rect = sized(20, 20), .focusable = true},
       Role::Button,
       {Call::Rect, Call::AccessibilityRole, Call::Focus}},
      {"Header 20x20 focusable",
       ct::Header,
       {.rect = sized(20, 20), .focusable = true},
       Role::Button,
       {Call::Rect, Call::AccessibilityRole, Call::Focus}},
      {"Window 15x20 focusable",
       ct::Window,
       {.rect = sized(15, 20), .focusable = true},
       std::nullopt,
       {Call::Rect}},
      {"Window 20x15 with push-button role",
       ct::Window,
       {.rect = sized(20, 15), .accessibility_role = 43u},
       std::nullopt,
       {Call::Rect}},
      {"Slider 20x20 with role 99",
       ct::Slider,
       {.rect = sized(20, 20), .accessibility_role = 99u},
       std::nullopt,
       {Call::Rect, Call::AccessibilityRole, Call::Focus}},
  };
  for (const RuleCase& c : cases) check(c, classify_browser_element);

  const std::set<std::int32_t> remaining = {
      ct::Calendar, ct::List,     ct::Menu,      ct::MenuBar,      ct::ProgressBar, ct::ScrollBar,
      ct::Slider,   ct::Spinner,  ct::StatusBar, ct::Tab,          ct::ToolBar,     ct::ToolTip,
      ct::Tree,     ct::Thumb,    ct::DataGrid,  ct::Window,       ct::Header,      ct::HeaderItem,
      ct::Table,    ct::TitleBar, ct::Separator, ct::SemanticZoom, ct::AppBar};
  EXPECT_EQ(remaining.size(), 23u);
  for (const std::int32_t type : remaining) {
    check({"type " + std::to_string(type) + " focusable",
           type,
           {.rect = sized(16, 16), .focusable = true},
           Role::Button,
           {Call::Rect, Call::AccessibilityRole, Call::Focus}},
          classify_browser_element);
  }
}

TEST(Classification, InteractiveAccessibilityRoles) {
  const std::set<std::uint32_t> interactive = {12, 29, 30, 34, 36, 37, 43, 44, 45, 46, 56, 57};
  for (std::uint32_t role = 0; role < 300; ++role) {
    SCOPED_TRACE(role);
    EXPECT_EQ(is_interactive_accessibility_role(role), interactive.contains(role));
  }
  EXPECT_FALSE(is_interactive_accessibility_role(0xFFFFFFFFu));
  EXPECT_FALSE(is_interactive_accessibility_role(58u + 256u));

  FakeProbe unreadable(Facts{.accessibility_role = std::nullopt});
  EXPECT_FALSE(has_interactive_msaa_role(unreadable));
  FakeProbe push_button(Facts{.accessibility_role = 43u});
  EXPECT_TRUE(has_interactive_msaa_role(push_button));
}

TEST(Classification, ActionPatternsAreTriedInOrderUntilOneIsOffered) {
  for (const ActionPattern offered : kActionPatterns) {
    SCOPED_TRACE(pattern_id(offered));
    FakeProbe probe(Facts{.patterns = bit(offered)});
    EXPECT_TRUE(supports_action_pattern(probe));
    EXPECT_EQ(probe.calls.back(), pattern_call(offered));
    EXPECT_EQ(probe.calls.size(),
              static_cast<std::size_t>(std::find(kActionPatterns.begin(), kActionPatterns.end(), offered) -
                                       kActionPatterns.begin()) +
                  1);
  }
  FakeProbe none(Facts{});
  EXPECT_FALSE(supports_action_pattern(none));
  EXPECT_EQ(calls_text(none.calls), calls_text(kAllPatterns));
  EXPECT_EQ(pattern_id(ActionPattern::Invoke), 10000);
  EXPECT_EQ(pattern_id(ActionPattern::Toggle), 10015);
  EXPECT_EQ(pattern_id(ActionPattern::SelectionItem), 10010);
  EXPECT_EQ(pattern_id(ActionPattern::ExpandCollapse), 10005);
}

TEST(Classification, KeyboardFocusableIsFalseWhenUnreadable) {
  const std::pair<std::optional<bool>, bool> cases[] = {{true, true}, {false, false}, {std::nullopt, false}};
  for (const auto& [read, expected] : cases) {
    FakeProbe probe(Facts{.focusable = read});
    EXPECT_EQ(is_keyboard_focusable(probe), expected);
  }
}

}  // namespace
}  // namespace vantro::picking
