// The configuration reader over arbitrary text: a document either reads or is refused with
// a report, and a record that reads is written and read back equal.
#include <string>

#include "config/config_toml.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto config = vantro::config::deserialize_config(text);
  if (!config) {
    VANTRO_FUZZ_CHECK(!config.error().plain().empty());
    return 0;
  }
  const std::string written = vantro::config::serialize_config(*config);
  const auto again = vantro::config::deserialize_config(written);
  if (!again) std::fprintf(stderr, "%s\n%s\n", written.c_str(), again.error().plain().c_str());
  VANTRO_FUZZ_CHECK(again.has_value());
  VANTRO_FUZZ_CHECK(*again == *config);
  VANTRO_FUZZ_CHECK(vantro::config::serialize_config(*again) == written);
  return 0;
}
