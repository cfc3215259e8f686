// HintGenerator over arbitrary alphabets and counts.
//
// Input: two bytes of count (little-endian, the low 10 bits: up to 1023 labels), then the alphabet (UTF-8,
// possibly invalid).
#include <string>
#include <unordered_map>

#include "core/text.h"
#include "fuzz_support.h"
#include "hint/hint_generator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantro::fuzz::Input input(data, size);
  const std::uint64_t count = input.u16() & 0x03FF;
  const vantro::hint::HintGenerator generator(input.rest());
  const auto alphabet = generator.alphabet();
  VANTRO_FUZZ_CHECK(alphabet.size() >= 2);

  const std::vector<std::string> labels = generator.generate(count);
  VANTRO_FUZZ_CHECK(labels.size() == count);
  if (count == 0) return 0;
  const std::uint32_t length = vantro::hint::label_length(alphabet.size(), count);

  // Digit values by character; a repeated character keeps its first position.
  std::unordered_map<char32_t, std::uint64_t> value;
  for (std::size_t i = 0; i < alphabet.size(); ++i) value.try_emplace(alphabet[i], i);
  const bool distinct_alphabet = value.size() == alphabet.size();

  for (std::uint64_t i = 0; i < count; ++i) {
    const std::string& label = labels[i];
    std::uint64_t number = 0;
    std::uint32_t digits = 0;
    for (std::size_t pos = 0; pos < label.size(); ++digits) {
      const char32_t c = vantro::text::decode_utf8(label, pos);
      const auto it = value.find(c);
      VANTRO_FUZZ_CHECK(it != value.end());
      number = number * alphabet.size() + it->second;
    }
    VANTRO_FUZZ_CHECK(digits == length);
    // Over an alphabet without repeats, label i is i written in base N (so all are distinct).
    if (distinct_alphabet) VANTRO_FUZZ_CHECK(number == i);
  }
  return 0;
}
