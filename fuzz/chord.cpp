// The chord grammar over arbitrary text.
#include <string>

#include "core/text.h"
#include "fuzz_support.h"
#include "hotkey/chord.h"

using namespace vantro::hotkey;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto chord = parse_hotkey(text);

  // Letter case and blanks around the text never change the outcome.
  const auto upper = parse_hotkey(vantro::text::ascii_upper(text));
  const auto padded = parse_hotkey(" " + std::string(text) + "\t");
  VANTRO_FUZZ_CHECK(upper.has_value() == chord.has_value());
  VANTRO_FUZZ_CHECK(padded.has_value() == chord.has_value());
  if (!chord) {
    VANTRO_FUZZ_CHECK(!chord.error().plain().empty());
    return 0;
  }
  VANTRO_FUZZ_CHECK(*upper == *chord && *padded == *chord);
  constexpr std::uint32_t kNamed = modifier::ALT | modifier::CONTROL | modifier::META | modifier::SHIFT;
  VANTRO_FUZZ_CHECK((chord->modifiers & ~kNamed) == 0);
  VANTRO_FUZZ_CHECK(key_name(chord->code) != "Unidentified");
  VANTRO_FUZZ_CHECK(virtual_key(chord->code).has_value());
  VANTRO_FUZZ_CHECK(modifiers_debug(chord->modifiers).starts_with("Modifiers("));
  return 0;
}
