#include "logging/filter.h"

#include <algorithm>

#include "core/text.h"

namespace vantro::log {
namespace {

// Letters, digits and '_' (any non-ASCII byte counts as part of a word), plus ':' and '-'.
bool is_target_char(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '_' || c == ':' || c == '-';
}

}  // namespace

std::optional<LevelFilter> parse_level_filter(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '5') return static_cast<LevelFilter>(text[0] - '0');
  const std::string lower = text::ascii_lower(text);
  if (lower == "off") return LevelFilter::Off;
  if (lower == "error") return LevelFilter::Error;
  if (lower == "warn") return LevelFilter::Warn;
  if (lower == "info") return LevelFilter::Info;
  if (lower == "debug") return LevelFilter::Debug;
  if (lower == "trace") return LevelFilter::Trace;
  return std::nullopt;
}

std::optional<Directive> parse_directive(std::string_view text) {
  if (auto level = parse_level_filter(text)) return Directive{std::nullopt, false, *level};

  Directive directive;
  std::size_t pos = 0;
  const std::size_t target_end = std::find_if_not(text.begin(), text.end(), is_target_char) - text.begin();
  if (target_end > 0) directive.target = std::string(text.substr(0, target_end));
  pos = target_end;
  if (pos < text.size() && text[pos] == '[') {
    const std::size_t close = text.find(']', pos);
    if (close == std::string_view::npos) return std::nullopt;
    directive.span_scoped = true;
    pos = close + 1;
  }
  if (!directive.target && !directive.span_scoped) return std::nullopt;
  if (pos == text.size()) return directive;  // no level: everything from TRACE up
  if (text[pos] != '=') return std::nullopt;
  const std::string_view level_text = text.substr(pos + 1);
  if (level_text.empty()) return directive;
  const auto level = parse_level_filter(level_text);
  if (!level) return std::nullopt;
  directive.level = *level;
  return directive;
}

EnvFilter::EnvFilter(std::vector<Directive> directives) : directives_(std::move(directives)) {
  for (const Directive& d : directives_) {
    if (d.span_scoped || d.level == LevelFilter::Off) continue;
    const auto level = static_cast<Level>(d.level);
    if (!max_level_ || level > *max_level_) max_level_ = level;
  }
}

EnvFilter EnvFilter::default_filter() {
  return EnvFilter({Directive{std::nullopt, false, LevelFilter::Info}});
}

std::optional<EnvFilter> EnvFilter::parse(std::string_view value) {
  std::vector<Directive> directives;
  while (true) {
    const std::size_t comma = value.find(',');
    const std::string_view piece = value.substr(0, comma);
    if (!piece.empty()) {
      auto directive = parse_directive(piece);
      if (!directive) return std::nullopt;
      directives.push_back(std::move(*directive));
    }
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return EnvFilter(std::move(directives));
}

EnvFilter EnvFilter::from_variable(const env::Var& variable) {
  if (variable.state != env::VarState::Set) return default_filter();
  auto parsed = parse(variable.value);
  return parsed ? std::move(*parsed) : default_filter();
}

bool EnvFilter::enabled(Level level, std::string_view target) const {
  const Directive* best = nullptr;
  std::size_t best_length = 0;
  for (const Directive& d : directives_) {
    if (d.span_scoped) continue;
    if (d.target && !target.starts_with(*d.target)) continue;
    // A directive with a target is more specific than one without; longer targets more so.
    const std::size_t length = d.target ? d.target->size() + 1 : 0;
    if (best == nullptr || length >= best_length) {
      best = &d;
      best_length = length;
    }
  }
  return best != nullptr && lets_through(best->level, level);
}

}  // namespace vantro::log
