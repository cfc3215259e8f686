// The log filter read from RUST_LOG: comma-separated directives, each a bare level ("info") or
// a target with a level ("vantro::config=debug"), optionally scoped to a span ("[name]").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/environment.h"
#include "logging/log.h"

namespace vantro::log {

// The most verbose level a directive lets through; Off lets nothing through.
enum class LevelFilter : std::uint8_t { Off = 0, Error = 1, Warn = 2, Info = 3, Debug = 4, Trace = 5 };

[[nodiscard]] constexpr bool lets_through(LevelFilter filter, Level level) {
  return static_cast<std::uint8_t>(level) <= static_cast<std::uint8_t>(filter);
}

struct Directive {
  std::optional<std::string> target;  // none: every target
  bool span_scoped = false;           // applies only inside a span; events here have none
  LevelFilter level = LevelFilter::Trace;

  friend bool operator==(const Directive&, const Directive&) = default;
};

// A level name in any letter case ("off", "error" … "trace") or a digit 0-5.
[[nodiscard]] std::optional<LevelFilter> parse_level_filter(std::string_view text);

// One directive, or nothing when it does not parse.
[[nodiscard]] std::optional<Directive> parse_directive(std::string_view text);

class EnvFilter {
 public:
  // Every target at INFO and above.
  [[nodiscard]] static EnvFilter default_filter();
  // The directives of a whole value; nothing when any one piece fails to parse. Empty pieces
  // are skipped, so "" and "," give a filter without directives.
  [[nodiscard]] static std::optional<EnvFilter> parse(std::string_view value);
  // RUST_LOG as read from the environment: unset, not Unicode or unparsable gives the default.
  [[nodiscard]] static EnvFilter from_variable(const env::Var& variable);

  // The most verbose level any event can have to pass; none when nothing passes.
  [[nodiscard]] std::optional<Level> max_level() const { return max_level_; }
  // Decided by the most specific directive whose target is a prefix of `target` ("vantro::win"
  // covers "vantro::win", "vantro::windows" and "vantro::windows::hotkey"): one with a target
  // before one without, a longer target before a shorter one, the later of equal ones.
  [[nodiscard]] bool enabled(Level level, std::string_view target) const;
  [[nodiscard]] const std::vector<Directive>& directives() const { return directives_; }

 private:
  explicit EnvFilter(std::vector<Directive> directives);

  std::vector<Directive> directives_;
  std::optional<Level> max_level_;
};

}  // namespace vantro::log
