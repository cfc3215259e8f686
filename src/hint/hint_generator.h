// Hint labels: one label per target, all of one length over the hint alphabet, so that no
// label is a prefix of another and a typed selection is complete once it equals a label.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantro::hint {

inline constexpr std::string_view kDefaultAlphabet = "asdfghjkl";

// The length of the labels for `count` targets over an alphabet of `base` characters: 1 when
// the alphabet alone is enough, otherwise the smallest length of at least 2 whose number of
// labels reaches `count` (a product past 2^64 counts as reaching it). Below two characters
// a longer label gives no more labels, so the search stops at 2, as on such an overflow.
[[nodiscard]] std::uint32_t label_length(std::uint64_t base, std::uint64_t count);

class HintGenerator {
 public:
  // Decodes the alphabet (UTF-8) into its code points, in order; duplicates are kept. An
  // alphabet of fewer than two code points cannot give distinct labels: "asdfghjkl" is used
  // in its place and uses_default_alphabet() tells the caller so.
  explicit HintGenerator(std::string_view alphabet);

  // `count` labels in counting order: label i is i written in base N (the alphabet's size)
  // with exactly label_length(N, count) digits, padded on the left with the first character.
  [[nodiscard]] std::vector<std::string> generate(std::uint64_t count) const;

  [[nodiscard]] std::span<const char32_t> alphabet() const { return alphabet_; }
  // Whether the alphabet given to the constructor was replaced by the default one.
  [[nodiscard]] bool uses_default_alphabet() const { return replaced_; }

 private:
  std::vector<char32_t> alphabet_;
  std::vector<std::string> digits_;  // UTF-8 text of each alphabet character
  bool replaced_ = false;
};

}  // namespace vantro::hint
