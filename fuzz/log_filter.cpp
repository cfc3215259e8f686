// The RUST_LOG directive parser and the filter's decisions over arbitrary text.
//
// Input: the first line is the variable's value, the second an event target, then one byte
// for the event level.
#include "fuzz_support.h"
#include "logging/filter.h"

using namespace vantro::log;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantro::fuzz::Input input(data, size);
  const std::string_view value = input.line();
  const std::string_view target = input.line();
  const auto level = static_cast<Level>(1 + input.byte() % 5);

  const auto filter = EnvFilter::parse(value);

  // The value reads when every non-empty comma-separated piece reads on its own.
  std::size_t pieces = 0;
  bool all_parse = true;
  for (std::string_view rest = value;;) {
    const std::size_t comma = rest.find(',');
    const std::string_view piece = rest.substr(0, comma);
    if (!piece.empty()) {
      ++pieces;
      all_parse = all_parse && parse_directive(piece).has_value();
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  VANTRO_FUZZ_CHECK(filter.has_value() == all_parse);

  vantro::env::Var variable{vantro::env::VarState::Set, std::string(value)};
  const EnvFilter from_env = EnvFilter::from_variable(variable);
  if (!filter) {
    VANTRO_FUZZ_CHECK(from_env.directives() == EnvFilter::default_filter().directives());
    return 0;
  }
  VANTRO_FUZZ_CHECK(filter->directives().size() == pieces);
  VANTRO_FUZZ_CHECK(from_env.directives() == filter->directives());

  // Nothing more verbose than max_level passes, whatever the target.
  if (filter->enabled(level, target)) {
    VANTRO_FUZZ_CHECK(filter->max_level().has_value());
    VANTRO_FUZZ_CHECK(static_cast<int>(level) <= static_cast<int>(*filter->max_level()));
  }
  if (!filter->max_level()) VANTRO_FUZZ_CHECK(!filter->enabled(Level::Error, target));
  return 0;
}
