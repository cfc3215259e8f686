#include "hint/hint_generator.h"

#include <cstdint>
#include <limits>
#include <set>

#include <gtest/gtest.h>

namespace vantro::hint {
namespace {

using Labels = std::vector<std::string>;

TEST(HintGenerator, LabelsOverTheDefaultAlphabet) {
  const HintGenerator generator("asdfghjkl");
  struct Case {
    std::uint64_t count;
    Labels first;  // the leading labels
    Labels last;   // the trailing labels
  } cases[] = {
      {0, {}, {}},
      {1, {"a"}, {"a"}},
      {5, {"a", "s", "d", "f", "g"}, {"g"}},
      {9, {"a", "s", "d", "f", "g", "h", "j", "k", "l"}, {"l"}},
      {10, {"aa", "as", "ad", "af", "ag", "ah", "aj", "ak", "al", "sa"}, {"sa"}},
      {12, {"aa", "as", "ad", "af", "ag", "ah", "aj", "ak", "al", "sa", "ss", "sd"}, {"sd"}},
      {81, {"aa", "as"}, {"lk", "ll"}},
      {82, {"aaa", "aas", "aad"}, {"all", "saa"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    const Labels labels = generator.generate(c.count);
    ASSERT_EQ(labels.size(), c.count);
    ASSERT_GE(labels.size(), c.first.size());
    EXPECT_EQ(Labels(labels.begin(), labels.begin() + c.first.size()), c.first);
    EXPECT_EQ(Labels(labels.end() - c.last.size(), labels.end()), c.last);
  }
}

TEST(HintGenerator, LabelsOfOneCallHaveOneLengthAndAreDistinct) {
  const HintGenerator generator("asdfghjkl");
  for (const std::uint64_t count : {2u, 9u, 10u, 80u, 81u, 82u, 500u, 729u, 730u}) {
    SCOPED_TRACE(count);
    const Labels labels = generator.generate(count);
    const std::size_t length = labels.front().size();
    for (const auto& label : labels) ASSERT_EQ(label.size(), length) << label;
    EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), count);
  }
}

TEST(HintGenerator, EveryTwoLetterLabelForNSquaredTargets) {
  const HintGenerator generator("asdfghjkl");
  const Labels labels = generator.generate(81);
  std::set<std::string> expected;
  for (const char first : std::string_view("asdfghjkl"))
    for (const char second : std::string_view("asdfghjkl")) expected.insert({first, second});
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()), expected);
}

TEST(HintGenerator, OtherAlphabets) {
  struct Case {
    std::string_view alphabet;
    std::uint64_t count;
    Labels expected;
  } cases[] = {
      {"ab", 5, {"aaa", "aab", "aba", "abb", "baa"}},
      {"ab", 2, {"a", "b"}},
      {"ab", 3, {"aa", "ab", "ba"}},
      {"aab", 5, {"aa", "aa", "ab", "aa", "aa"}},  // duplicates are kept
      {"\xC3\xA9"
       "a",
       3,
       {"\xC3\xA9\xC3\xA9",
        "\xC3\xA9"
        "a",
        "a\xC3\xA9"}},                                      // é a
      {"\xF0\x9F\x98\x80z", 2, {"\xF0\x9F\x98\x80", "z"}},  // a four-byte character is one digit
      {"QW", 4, {"QQ", "QW", "WQ", "WW"}},                  // taken as they are
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.alphabet)) + " x" + std::to_string(c.count));
    const HintGenerator generator(c.alphabet);
    EXPECT_FALSE(generator.uses_default_alphabet());
    EXPECT_EQ(generator.generate(c.count), c.expected);
  }
}

TEST(HintGenerator, AlphabetIsDecodedIntoCodePointsInOrder) {
  const HintGenerator generator("l\xC3\xA9l");
  EXPECT_EQ(std::u32string(generator.alphabet().begin(), generator.alphabet().end()), U"l\u00E9l");
}

TEST(HintGenerator, AlphabetShorterThanTwoCharactersIsReplacedByTheDefault) {
  for (const std::string_view alphabet : {"", "x", "\xC3\xA9"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(alphabet)));
    const HintGenerator generator(alphabet);
    EXPECT_TRUE(generator.uses_default_alphabet());
    EXPECT_EQ(std::u32string(generator.alphabet().begin(), generator.alphabet().end()), U"asdfghjkl");
    EXPECT_EQ(generator.generate(0), Labels{});
    EXPECT_EQ(generator.generate(1), Labels{"a"});
    EXPECT_EQ(generator.generate(10).back(), "sa");
  }
}

TEST(HintGenerator, OneGeneratorServesRepeatedCalls) {
  const HintGenerator generator("asdfghjkl");
  const Labels first = generator.generate(30);
  EXPECT_EQ(generator.generate(5), (Labels{"a", "s", "d", "f", "g"}));
  EXPECT_EQ(generator.generate(30), first);
}

TEST(HintGenerator, LabelLengthSearch) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  struct Case {
    std::uint64_t base, count;
    std::uint32_t expected;
  } cases[] = {
      {9, 0, 1},
      {9, 1, 1},
      {9, 9, 1},
      {9, 10, 2},
      {9, 81, 2},
      {9, 82, 3},
      {9, 729, 3},
      {9, 730, 4},
      {2, 5, 3},
      {2, std::uint64_t{1} << 63, 63},
      {2, (std::uint64_t{1} << 63) + 1, 64},  // 2^64 overflows: the search ends there
      {2, kMax, 64},
      {9, kMax, 21},  // 9^20 < 2^64 - 1 and 9^21 overflows
      {kMax, kMax, 1},
      {kMax - 1, kMax, 2},  // the first product overflows
      {1u << 31, kMax, 3},  // 2^62 < 2^64 - 1, then 2^93 overflows
      // Fewer than two characters: no length gives more labels than the first step beyond
      // the alphabet, so the search stops there, as it does on an overflow.
      {1, 0, 1},
      {1, 1, 1},
      {1, 2, 2},
      {1, kMax, 2},
      {0, 0, 1},
      {0, 1, 2},
      {0, kMax, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.base) + " / " + std::to_string(c.count));
    EXPECT_EQ(label_length(c.base, c.count), c.expected);
  }
}

}  // namespace
}  // namespace vantro::hint
