#include "hint/hint_generator.h"

#include "core/text.h"

namespace vantro::hint {
namespace {

std::vector<char32_t> decode(std::string_view utf8) {
  std::vector<char32_t> code_points;
  for (std::size_t pos = 0; pos < utf8.size();) code_points.push_back(text::decode_utf8(utf8, pos));
  return code_points;
}

}  // namespace

std::uint32_t label_length(std::uint64_t base, std::uint64_t count) {
  if (base >= count) return 1;
  if (base < 2) return 2;  // no longer label adds a new one: the search ends at its first step
  std::uint32_t length = 1;
  std::uint64_t reach = base;
  while (reach < count) {
    ++length;
    std::uint64_t next = 0;
    if (__builtin_mul_overflow(reach, base, &next)) break;  // past 2^64: reaches any count
    reach = next;
  }
  return length;
}

HintGenerator::HintGenerator(std::string_view alphabet) : alphabet_(decode(alphabet)) {
  if (alphabet_.size() < 2) {
    alphabet_ = decode(kDefaultAlphabet);
    replaced_ = true;
  }
  digits_.reserve(alphabet_.size());
  for (const char32_t c : alphabet_) {
    std::string digit;
    text::append_utf8(digit, c);
    digits_.push_back(std::move(digit));
  }
}

std::vector<std::string> HintGenerator::generate(std::uint64_t count) const {
  std::vector<std::string> labels;
  if (count == 0) return labels;
  const std::size_t base = alphabet_.size();
  const std::uint32_t length = label_length(base, count);
  labels.reserve(count);

  // The digits of the current label, most significant first, counted up like an odometer.
  std::vector<std::size_t> number(length, 0);
  for (std::uint64_t i = 0; i < count; ++i) {
    std::string& label = labels.emplace_back();
    for (const std::size_t d : number) label += digits_[d];
    for (std::size_t pos = length; pos-- > 0;) {
      if (++number[pos] < base) break;
      number[pos] = 0;
    }
  }
  return labels;
}

}  // namespace vantro::hint
