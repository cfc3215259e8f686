#include "logging/filter.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

namespace vantro::log {
namespace {

struct Query {
  Level level;
  std::string_view target;
  bool expected;
};

void expect_queries(const EnvFilter& filter, std::initializer_list<Query> queries) {
  for (const Query& q : queries) {
    SCOPED_TRACE(fmt::format("level {} target {}", static_cast<int>(q.level), q.target));
    EXPECT_EQ(filter.enabled(q.level, q.target), q.expected);
  }
}

TEST(EnvFilter, UnsetVariableGivesInfoForEveryTarget) {
  const EnvFilter filter = EnvFilter::from_variable(env::Var{});
  EXPECT_EQ(filter.max_level(), Level::Info);
  expect_queries(filter, {{Level::Error, "vantro", true},
                          {Level::Warn, "vantro::config", true},
                          {Level::Info, "other", true},
                          {Level::Debug, "vantro", false},
                          {Level::Trace, "vantro::windows::overlay", false}});
}

TEST(EnvFilter, TargetDirectiveCoversItsModulesOnly) {
  const EnvFilter filter = EnvFilter::from_variable({env::VarState::Set, "vantro=debug"});
  EXPECT_EQ(filter.max_level(), Level::Debug);
  expect_queries(filter, {{Level::Debug, "vantro", true},
                          {Level::Debug, "vantro::windows::ipc", true},
                          {Level::Trace, "vantro", false},
                          {Level::Error, "other", false},
                          {Level::Error, "vantrox", true},
                          {Level::Error, "xvantro", false}});
}

// A target directive matches every target that begins with its text, not only whole
// "::" segments.
TEST(EnvFilter, TargetDirectiveIsAPlainPrefix) {
  const EnvFilter filter = EnvFilter::from_variable({env::VarState::Set, "vantro::win=debug"});
  expect_queries(filter, {{Level::Debug, "vantro::windows::hotkey", true},
                          {Level::Debug, "vantro::windows", true},
                          {Level::Debug, "vantro::win", true},
                          {Level::Trace, "vantro::windows::hotkey", false},
                          {Level::Error, "vantro::wi", false},
                          {Level::Error, "vantro", false},
                          {Level::Error, "vantro::config", false}});
}

// The longest matching target decides, also when it ends inside a segment.
TEST(EnvFilter, LongerPrefixIsMoreSpecific) {
  const EnvFilter filter = EnvFilter::from_variable(
      {env::VarState::Set, "vantro::windows::t=trace,vantro::windows=warn,vantro::w=off"});
  expect_queries(filter, {{Level::Trace, "vantro::windows::tray", true},
                          {Level::Warn, "vantro::windows::hotkey", true},
                          {Level::Info, "vantro::windows::hotkey", false},
                          {Level::Error, "vantro::window_picker", false},
                          {Level::Error, "vantro::config", false}});
}

TEST(EnvFilter, MostSpecificDirectiveWins) {
  const EnvFilter filter = EnvFilter::from_variable(
      {env::VarState::Set, "vantro::windows=trace,warn,vantro=info,vantro::windows::tray=off"});
  EXPECT_EQ(filter.max_level(), Level::Trace);
  expect_queries(filter, {{Level::Trace, "vantro::windows::overlay", true},
                          {Level::Debug, "vantro::config", false},
                          {Level::Info, "vantro::config", true},
                          {Level::Info, "elsewhere", false},
                          {Level::Warn, "elsewhere", true},
                          {Level::Error, "vantro::windows::tray", false}});
}

TEST(EnvFilter, LaterOfEquallySpecificDirectivesWins) {
  const EnvFilter filter = EnvFilter::from_variable({env::VarState::Set, "vantro=trace,vantro=warn"});
  expect_queries(filter, {{Level::Warn, "vantro", true}, {Level::Info, "vantro", false}});
}

TEST(EnvFilter, OneBadPieceDiscardsTheWholeVariable) {
  for (const char* value : {"vantro=debug,vantro::config=verbose", "info,=debug", "vantro=debug,a b",
                            "vantro[span=debug", "vantro=debug=trace"}) {
    SCOPED_TRACE(value);
    const EnvFilter filter = EnvFilter::from_variable({env::VarState::Set, value});
    ASSERT_EQ(filter.directives().size(), 1u);
    EXPECT_EQ(filter.max_level(), Level::Info);
    EXPECT_FALSE(filter.enabled(Level::Debug, "vantro"));
    EXPECT_TRUE(filter.enabled(Level::Info, "other"));
  }
}

TEST(EnvFilter, InvalidUnicodeGivesTheDefault) {
  const EnvFilter filter = EnvFilter::from_variable({env::VarState::Invalid, ""});
  EXPECT_EQ(filter.max_level(), Level::Info);
}

TEST(EnvFilter, EmptyValueOrOnlyCommasLetsNothingThrough) {
  for (const char* value : {"", ",", ",,,"}) {
    SCOPED_TRACE(value);
    const EnvFilter filter = EnvFilter::from_variable({env::VarState::Set, value});
    EXPECT_TRUE(filter.directives().empty());
    EXPECT_EQ(filter.max_level(), std::nullopt);
    EXPECT_FALSE(filter.enabled(Level::Error, "vantro"));
  }
}

TEST(EnvFilter, ParsesTheDirectiveForms) {
  struct Case {
    std::string_view text;
    std::optional<Directive> expected;
  };
  const Case cases[] = {
      {"info", Directive{std::nullopt, false, LevelFilter::Info}},
      {"WARN", Directive{std::nullopt, false, LevelFilter::Warn}},
      {"off", Directive{std::nullopt, false, LevelFilter::Off}},
      {"4", Directive{std::nullopt, false, LevelFilter::Debug}},
      {"vantro=debug", Directive{"vantro", false, LevelFilter::Debug}},
      {"vantro::windows::ipc=TRACE", Directive{"vantro::windows::ipc", false, LevelFilter::Trace}},
      {"my-crate=0", Directive{"my-crate", false, LevelFilter::Off}},
      {"vantro", Directive{"vantro", false, LevelFilter::Trace}},
      {"vantro=", Directive{"vantro", false, LevelFilter::Trace}},
      {"vantro[pick{count=3}]=debug", Directive{"vantro", true, LevelFilter::Debug}},
      {"[pick]=info", Directive{std::nullopt, true, LevelFilter::Info}},
      {"vantro=verbose", std::nullopt},
      {"vantro=6", std::nullopt},
      {"=info", std::nullopt},
      {" info", std::nullopt},
      {"vantro debug", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parse_directive(c.text), c.expected);
  }
}

TEST(EnvFilter, SpanScopedDirectivesMatchNoEvent) {
  const EnvFilter filter = EnvFilter::from_variable({env::VarState::Set, "vantro[pick]=trace"});
  EXPECT_EQ(filter.directives().size(), 1u);
  EXPECT_EQ(filter.max_level(), std::nullopt);
  EXPECT_FALSE(filter.enabled(Level::Error, "vantro"));
}

}  // namespace
}  // namespace vantro::log
