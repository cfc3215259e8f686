#include "picking/element.h"

#include <gtest/gtest.h>

#include "logging/log.h"

namespace vantro::picking {
namespace {

TEST(ElementRecords, DebugTexts) {
  EXPECT_EQ(debug_text(ElementId{7}), "ElementId(7)");
  EXPECT_EQ(debug_text(ElementId{18446744073709551615ull}), "ElementId(18446744073709551615)");
  EXPECT_EQ(log::debug("id", ElementId{0}).value, "ElementId(0)");
  EXPECT_EQ(log::debug("role", Role::TreeItem).value, "TreeItem");
  EXPECT_EQ(fmt::format("{}", Role::ComboBox), "ComboBox");
}

TEST(ElementRecords, RoleValuesAndNames) {
  const std::pair<Role, std::string_view> roles[] = {
      {Role::Button, "Button"},     {Role::Link, "Link"},         {Role::TextInput, "TextInput"},
      {Role::MenuItem, "MenuItem"}, {Role::Tab, "Tab"},           {Role::Checkbox, "Checkbox"},
      {Role::Radio, "Radio"},       {Role::ComboBox, "ComboBox"}, {Role::ListItem, "ListItem"},
      {Role::TreeItem, "TreeItem"}, {Role::Other, "Other"},
  };
  for (std::size_t i = 0; i < std::size(roles); ++i) {
    SCOPED_TRACE(roles[i].second);
    EXPECT_EQ(static_cast<std::size_t>(roles[i].first), i);
    EXPECT_EQ(role_name(roles[i].first), roles[i].second);
  }
  EXPECT_EQ(sizeof(Role), 1u);
}

TEST(ElementRecords, InclusiveMeasuresWrapInThirtyTwoBits) {
  struct Case {
    ScreenRect rect;
    std::int32_t width, height;
  } cases[] = {
      {{0, 0, 9, 19}, 10, 20},
      {{5, 5, 5, 5}, 1, 1},
      {{5, 5, 4, 4}, 0, 0},
      {{-10, -20, -1, -1}, 10, 20},
      {{10, 0, 0, 0}, -9, 1},
      {{INT32_MIN, 0, INT32_MAX, 0}, 0, 1},  // 2^32 wraps to 0
      {{0, INT32_MIN, INT32_MAX, INT32_MAX}, INT32_MIN, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << "," << c.rect.right << ","
                                    << c.rect.bottom);
    EXPECT_EQ(inclusive_width(c.rect), c.width);
    EXPECT_EQ(inclusive_height(c.rect), c.height);
  }
}

}  // namespace
}  // namespace vantro::picking
