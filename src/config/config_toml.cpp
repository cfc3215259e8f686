#include "config/config_toml.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <fmt/format.h>
#include <toml++/toml.h>

#include "config/toml_characters.h"
#include "core/text.h"

namespace vantro::config {
namespace {

// ---------------------------------------------------------------------------------------
// The text of the document by lines, for quoting values and the offending line in reports.

class SourceText {
 public:
  explicit SourceText(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
  }

  // Line `number` (1-based), when the text has it.
  [[nodiscard]] std::optional<std::string_view> line(std::size_t number) const {
    if (number == 0 || number > lines_.size()) return std::nullopt;
    return lines_[number - 1];
  }

  // The text of a region that lies within one line; columns count code points from 1 and the
  // end column is exclusive.
  [[nodiscard]] std::optional<std::string_view> slice(const toml::source_region& region) const {
    if (region.begin.line != region.end.line || region.end.column <= region.begin.column) return std::nullopt;
    const auto text = line(region.begin.line);
    if (!text) return std::nullopt;
    const std::size_t from = byte_offset(*text, region.begin.column);
    const std::size_t to = byte_offset(*text, region.end.column);
    if (from >= to) return std::nullopt;
    return text->substr(from, to - from);
  }

  // The byte offset of a 1-based code point column in `line` (the line's end when beyond).
  [[nodiscard]] static std::size_t byte_offset(std::string_view line, std::size_t column) {
    std::size_t pos = 0;
    for (std::size_t c = 1; c < column && pos < line.size(); ++c) (void)text::decode_utf8(line, pos);
    return pos;
  }

 private:
  std::vector<std::string_view> lines_;
};

// Where a report points and what it says.
struct Problem {
  std::string message;
  toml::source_region where;
};

// A report in the form
//   TOML parse error at line 3, column 11
//     |
//   3 | opacity = 300
//     |           ^^^
//   invalid value: integer `300`, expected u8
std::string report(const SourceText& source, const Problem& problem) {
  const auto& begin = problem.where.begin;
  const auto line = source.line(begin.line);
  if (!line) return fmt::format("TOML parse error\n{}", problem.message);

  const std::string number = fmt::format("{}", begin.line);
  const std::string gutter(number.size(), ' ');
  // The marker keeps the line's tabs so that it stays under the value.
  std::string indent;
  const std::size_t prefix = SourceText::byte_offset(*line, begin.column);
  for (std::size_t pos = 0; pos < prefix;) indent += text::decode_utf8(*line, pos) == U'\t' ? '\t' : ' ';
  std::size_t width = 1;
  if (problem.where.end.line == begin.line && problem.where.end.column > begin.column)
    width = problem.where.end.column - begin.column;

  return fmt::format("TOML parse error at line {}, column {}\n{} |\n{} | {}\n{} | {}{}\n{}", begin.line,
                     begin.column, gutter, number, *line, gutter, indent, std::string(width, '^'),
                     problem.message);
}

// ---------------------------------------------------------------------------------------
// Reading the document into the records.

using Outcome = std::optional<Problem>;  // nothing: the value was read

class Reader {
 public:
  explicit Reader(const SourceText& source) : source_(source) {}

  // What was found, in the words of the error texts: string "…", integer `5`, floating point
  // `50.0` (as the text has it), boolean `true`, sequence, map.
  [[nodiscard]] std::string describe(const toml::node& node) const {
    switch (node.type()) {
      case toml::node_type::string:
        return "string " + text::debug_quoted(node.as_string()->get());
      case toml::node_type::integer:
        return fmt::format("integer `{}`", node.as_integer()->get());
      case toml::node_type::floating_point: {
        if (const auto written = source_.slice(node.source()))
          return fmt::format("floating point `{}`", *written);
        std::string value = fmt::format("{}", node.as_floating_point()->get());
        if (value.find_first_of(".eEin") == std::string::npos) value += ".0";
        return fmt::format("floating point `{}`", value);
      }
      case toml::node_type::boolean:
        return fmt::format("boolean `{}`", node.as_boolean()->get());
      case toml::node_type::array:
        return "sequence";
      case toml::node_type::table:
        return "map";
      case toml::node_type::date:
      case toml::node_type::time:
      case toml::node_type::date_time:
        if (const auto written = source_.slice(node.source())) return fmt::format("datetime `{}`", *written);
        return "datetime";
      case toml::node_type::none:
        break;
    }
    return "value";
  }

  [[nodiscard]] Outcome invalid_type(const toml::node& node, std::string_view expected) const {
    return Problem{fmt::format("invalid type: {}, expected {}", describe(node), expected), node.source()};
  }
  [[nodiscard]] Outcome invalid_value(const toml::node& node, std::string_view expected) const {
    return Problem{fmt::format("invalid value: {}, expected {}", describe(node), expected), node.source()};
  }

  [[nodiscard]] Outcome read(const toml::node& node, std::string& out) const {
    const auto* value = node.as_string();
    if (value == nullptr) return invalid_type(node, "a string");
    out = value->get();
    return std::nullopt;
  }

  [[nodiscard]] Outcome read(const toml::node& node, bool& out) const {
    const auto* value = node.as_boolean();
    if (value == nullptr) return invalid_type(node, "a boolean");
    out = value->get();
    return std::nullopt;
  }

  [[nodiscard]] Outcome read(const toml::node& node, std::optional<bool>& out) const {
    bool flag = false;
    if (auto problem = read(node, flag)) return problem;
    out = flag;
    return std::nullopt;
  }

  [[nodiscard]] Outcome read(const toml::node& node, std::uint8_t& out) const {
    const auto* value = node.as_integer();
    if (value == nullptr) return invalid_type(node, "u8");
    const std::int64_t number = value->get();
    if (number < 0 || number > 255) return invalid_value(node, "u8");
    out = static_cast<std::uint8_t>(number);
    return std::nullopt;
  }

  template <class Record>
  [[nodiscard]] Outcome read(const toml::node& node, Record& out) const;

 private:
  const SourceText& source_;
};

// One field of a record: its TOML key and the member it is read into.
template <class Record>
struct Field {
  std::string_view key;
  Outcome (*read)(const Reader&, const toml::node&, Record&);
};

template <auto Member>
Outcome read_member(const Reader& reader, const toml::node& node, auto& record) {
  return reader.read(node, record.*Member);
}

template <class Record>
struct Layout;

template <>
struct Layout<HotkeyBindings> {
  static constexpr std::string_view expected = "struct HotkeyBindings";
  static constexpr std::array<Field<HotkeyBindings>, 2> fields{{
      {"pick_element", read_member<&HotkeyBindings::pick_element>},
      {"pick_window", read_member<&HotkeyBindings::pick_window>},
  }};
};

template <>
struct Layout<HintConfig> {
  static constexpr std::string_view expected = "struct HintConfig";
  static constexpr std::array<Field<HintConfig>, 1> fields{{
      {"alphabet", read_member<&HintConfig::alphabet>},
  }};
};

template <>
struct Layout<BadgeColors> {
  static constexpr std::string_view expected = "struct BadgeColors";
  static constexpr std::array<Field<BadgeColors>, 6> fields{{
      {"badge_bg", read_member<&BadgeColors::badge_bg>},
      {"badge_fg", read_member<&BadgeColors::badge_fg>},
      {"border", read_member<&BadgeColors::border>},
      {"opacity", read_member<&BadgeColors::opacity>},
      {"show_leader", read_member<&BadgeColors::show_leader>},
      {"leader_color", read_member<&BadgeColors::leader_color>},
  }};
};

template <>
struct Layout<ColorConfig> {
  static constexpr std::string_view expected = "struct ColorConfig";
  static constexpr std::array<Field<ColorConfig>, 2> fields{{
      {"element", read_member<&ColorConfig::element>},
      {"window", read_member<&ColorConfig::window>},
  }};
};

template <>
struct Layout<StartupConfig> {
  static constexpr std::string_view expected = "struct StartupConfig";
  static constexpr std::array<Field<StartupConfig>, 1> fields{{
      {"launch_at_startup", read_member<&StartupConfig::launch_at_startup>},
  }};
};

template <>
struct Layout<Config> {
  static constexpr std::string_view expected = "struct Config";
  static constexpr std::array<Field<Config>, 4> fields{{
      {"hotkeys", read_member<&Config::hotkeys>},
      {"hints", read_member<&Config::hints>},
      {"colors", read_member<&Config::colors>},
      {"startup", read_member<&Config::startup>},
  }};
};

bool written_before(const toml::source_position& a, const toml::source_position& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

// A record from a table (keys matched case-sensitively, unknown keys skipped, taken in the
// order of the text so that the first wrong value is the one reported) or from an array
// (items in field order, missing ones keep their defaults, extra ones are ignored). `out`
// holds the record's default when called.
template <class Record>
Outcome Reader::read(const toml::node& node, Record& out) const {
  constexpr auto& fields = Layout<Record>::fields;
  if (const auto* table = node.as_table()) {
    std::vector<std::pair<const toml::key*, const toml::node*>> entries;
    for (const auto& [key, value] : *table) entries.emplace_back(&key, &value);
    std::ranges::stable_sort(entries, [](const auto& a, const auto& b) {
      return written_before(a.first->source().begin, b.first->source().begin);
    });
    for (const auto& [key, value] : entries) {
      const auto field = std::ranges::find(fields, key->str(), &Field<Record>::key);
      if (field == fields.end()) continue;
      if (auto problem = field->read(*this, *value, out)) return problem;
    }
    return std::nullopt;
  }
  if (const auto* array = node.as_array()) {
    const std::size_t count = std::min(array->size(), fields.size());
    for (std::size_t i = 0; i < count; ++i) {
      if (auto problem = fields[i].read(*this, *array->get(i), out)) return problem;
    }
    return std::nullopt;
  }
  return invalid_type(node, Layout<Record>::expected);
}

// ---------------------------------------------------------------------------------------
// Writing.

bool needs_escapes(std::string_view value) {
  if (!text::is_valid_utf8(value)) return true;
  return std::ranges::any_of(value, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '"' || c == '\\' || byte < 0x20 || byte == 0x7F;
  });
}

// A TOML basic string that reads back as `value`; bytes that are no UTF-8 become U+FFFD.
void write_string(std::string& out, std::string_view value) {
  out += '"';
  if (!needs_escapes(value)) {
    out += value;
    out += '"';
    return;
  }
  for (std::size_t pos = 0; pos < value.size();) {
    const char32_t c = text::decode_utf8(value, pos);
    switch (c) {
      case U'"':
        out += "\\\"";
        break;
      case U'\\':
        out += "\\\\";
        break;
      case U'\b':
        out += "\\b";
        break;
      case U'\t':
        out += "\\t";
        break;
      case U'\n':
        out += "\\n";
        break;
      case U'\f':
        out += "\\f";
        break;
      case U'\r':
        out += "\\r";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += fmt::format("\\u{:04X}", static_cast<std::uint32_t>(c));
        } else {
          text::append_utf8(out, c);
        }
    }
  }
  out += '"';
}

void write_text(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += " = ";
  write_string(out, value);
  out += '\n';
}

void write_flag(std::string& out, std::string_view key, bool value) {
  out += fmt::format("{} = {}\n", key, value);
}

void write_badge_colors(std::string& out, std::string_view header, const BadgeColors& colors) {
  out += fmt::format("[{}]\n", header);
  write_text(out, "badge_bg", colors.badge_bg);
  write_text(out, "badge_fg", colors.badge_fg);
  write_text(out, "border", colors.border);
  out += fmt::format("opacity = {}\n", colors.opacity);
  if (colors.show_leader) write_flag(out, "show_leader", *colors.show_leader);
  write_text(out, "leader_color", colors.leader_color);
}

}  // namespace

Result<Config> deserialize_config(std::string_view toml_text) {
  // A leading byte order mark is no part of the document (toml++ skips it too); without it the
  // columns of the first line are those the parser counts.
  if (toml_text.starts_with("\xEF\xBB\xBF")) toml_text.remove_prefix(3);
  const SourceText source(toml_text);
  // Non-ASCII characters where TOML allows none and keys of too many parts or too deep are
  // refused here: toml++ reaches undefined behaviour for many of those characters and
  // overflows the stack on such keys.
  if (const auto refused = find_refused_text(toml_text)) {
    const auto line = static_cast<toml::source_index>(refused->line);
    const auto column = static_cast<toml::source_index>(refused->column);
    return fail(report(source, Problem{refused->message, {{line, column}, {line, column + 1}}}));
  }
  toml::parse_result parsed = toml::parse(toml_text);
  if (!parsed) {
    const toml::parse_error& error = parsed.error();
    return fail(report(source, Problem{std::string(error.description()), error.source()}));
  }
  Config config;
  if (auto problem = Reader(source).read(parsed.table(), config)) return fail(report(source, *problem));
  return config;
}

std::string serialize_config(const Config& config) {
  std::string out;
  out += "[hotkeys]\n";
  write_text(out, "pick_element", config.hotkeys.pick_element);
  write_text(out, "pick_window", config.hotkeys.pick_window);
  out += "\n[hints]\n";
  write_text(out, "alphabet", config.hints.alphabet);
  out += '\n';
  write_badge_colors(out, "colors.element", config.colors.element);
  out += '\n';
  write_badge_colors(out, "colors.window", config.colors.window);
  out += "\n[startup]\n";
  write_flag(out, "launch_at_startup", config.startup.launch_at_startup);
  return out;
}

}  // namespace vantro::config
