#include "overlay/typed_selection.h"

#include <gtest/gtest.h>

namespace vantro::overlay {
namespace {

constexpr std::uint32_t key(char upper) {
  return static_cast<std::uint32_t>(upper);
}

std::vector<bool> shown(const TypedSelection& s, std::size_t n) {
  std::vector<bool> v;
  for (std::size_t i = 0; i < n; ++i) v.push_back(s.shows(i));
  return v;
}

TEST(TypedSelection, NarrowsStartsOverOnADeadEndAndCompletes) {
  TypedSelection s({"aa", "as", "sa"});
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{true, true, true}));

  EXPECT_EQ(s.press(key('A')), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.typed(), "a");
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{true, true, false}));

  // No label begins with "ad": everything shows again and the d is dropped too.
  EXPECT_EQ(s.press(key('D')), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.typed(), "");
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{true, true, true}));

  EXPECT_EQ(s.press(key('A')), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.press(key('S')), KeyOutcome(key_outcome::Chosen{1}));
}

TEST(TypedSelection, BackspaceRemovesOneLetterAndAlwaysRepaints) {
  TypedSelection s({"aa", "as", "sa"});
  EXPECT_EQ(s.press(kKeyBackspace), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.typed(), "");
  EXPECT_EQ(s.press(key('S')), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(s.press(kKeyBackspace), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.typed(), "");
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{true, true, true}));
}

TEST(TypedSelection, EscapeCancelsWhateverWasTyped) {
  TypedSelection s({"aa", "as"});
  (void)s.press(key('A'));
  EXPECT_EQ(s.press(kKeyEscape), KeyOutcome(key_outcome::Cancelled{}));
}

TEST(TypedSelection, DuplicateLabelsChooseTheLowerIndex) {
  TypedSelection s({"sd", "af", "af"});
  (void)s.press(key('A'));
  EXPECT_EQ(s.press(key('F')), KeyOutcome(key_outcome::Chosen{1}));
}

TEST(TypedSelection, RepeatedKeyCountsAsAnotherLetter) {
  TypedSelection s({"as", "aa"});
  (void)s.press(key('A'));
  EXPECT_EQ(s.press(key('A')), KeyOutcome(key_outcome::Chosen{1}));
}

TEST(TypedSelection, KeysOtherThanLettersBackspaceAndEscapeChangeNothing) {
  // Shift, Space, '0', '@' just below 'A', '[' just above 'Z', F1, the numeric-pad 1.
  for (const std::uint32_t other : {0x10u, 0x20u, 0x30u, 0x40u, 0x5Bu, 0x70u, 0x61u}) {
    SCOPED_TRACE(other);
    TypedSelection s({"a1", "b"});
    (void)s.press(key('A'));
    EXPECT_EQ(s.press(other), KeyOutcome(key_outcome::Ignored{}));
    EXPECT_EQ(s.typed(), "a");
  }
}

TEST(TypedSelection, LabelOutsideLowerCaseLettersShowsButNeverCompletes) {
  TypedSelection s({"a1", "A", "b"});
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(s.press(key('A')), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.typed(), "a");  // "a1" still begins with it; "A" never matches a typed letter
  EXPECT_EQ(shown(s, 3), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(s.press(key('A')), KeyOutcome(key_outcome::Repaint{}));
  EXPECT_EQ(s.typed(), "");
}

}  // namespace
}  // namespace vantro::overlay
