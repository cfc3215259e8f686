#include "logging/pipeline.h"

#include <cstdio>
#include <regex>

#include <fmt/format.h>

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace vantro::log {
namespace {

using namespace std::chrono;
using test_support::FakeFileSystem;
using test_support::StringOutput;

constexpr const char* kDir = "Z:\\local\\vantro";
// A line's timestamp, as a regular expression: events carry the time they were recorded.
constexpr const char* kTime = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{6}Z)";

struct Fixture {
  std::shared_ptr<FakeFileSystem> fs = std::make_shared<FakeFileSystem>();
  std::shared_ptr<StringOutput> out = std::make_shared<StringOutput>();
  std::shared_ptr<StringOutput> err = std::make_shared<StringOutput>();
  LoggingEnvironment environment{
      {}, {}, text::to_utf16(kDir), fs, [] { return sys_days{2026y / April / 2} + hours(9); }, out, err};

  [[nodiscard]] std::string file_text() const {
    const auto* file = fs->find(kDir, "vantro.2026-04-02.log");
    return file ? file->content : "(no file)";
  }
};

// Counts how often a field value was formatted.
struct Counted {
  int* count;
};
std::string debug_text(const Counted& c) {
  ++*c.count;
  return "counted";
}

TEST(LoggingPipeline, WritesFilteredPlainLinesToTheDaysFile) {
  Fixture setup;
  setup.environment.rust_log = {env::VarState::Set, "vantro=debug"};
  ScopedSubscriberForTests scope(build_pipeline(setup.environment));
  EXPECT_TRUE(setup.fs->dirs.contains(kDir)) << "the directory is created";

  VANTRO_LOG(Level::Info, "vantro", "vantro starting", display("version", "0.3.0"));
  VANTRO_LOG_MSG(Level::Debug, "vantro::windows::ipc", "IPC window created");
  int formatted = 0;
  VANTRO_LOG(Level::Trace, "vantro", "too verbose", debug("value", Counted{&formatted}));
  VANTRO_LOG(Level::Error, "other", "another target", debug("value", Counted{&formatted}));
  EXPECT_EQ(formatted, 0) << "filtered events format no field";
  EXPECT_TRUE(enabled(Level::Debug, "vantro::config"));
  EXPECT_FALSE(enabled(Level::Info, "other"));

  const std::regex expected(std::string(kTime) + "  INFO vantro starting version=0\\.3\\.0\n" + kTime +
                            " DEBUG IPC window created\n");
  EXPECT_TRUE(std::regex_match(setup.file_text(), expected)) << setup.file_text();
  EXPECT_EQ(setup.out->text(), "");
  EXPECT_EQ(setup.err->text(), "");
}

// The day's file is read in a text editor: it never gets colour codes. Only the fallback to
// standard output follows NO_COLOR.
TEST(LoggingPipeline, OnlyStandardOutputIsColouredAndOnlyWithoutANonEmptyNoColor) {
  struct NoColor {
    env::Var value;
    bool colour;
  };
  const NoColor no_colors[] = {{{env::VarState::Unset, ""}, true},
                               {{env::VarState::Set, ""}, true},
                               {{env::VarState::Invalid, ""}, true},
                               {{env::VarState::Set, "1"}, false}};
  struct Writer {
    const char* name;
    void (*prepare)(Fixture&);
    bool to_file;
  };
  const Writer writers[] = {
      {"the day's file", [](Fixture&) {}, true},
      {"no log directory", [](Fixture& s) { s.environment.log_dir.reset(); }, false},
      {"file cannot be opened twice", [](Fixture& s) { s.fs->fail_open = 2; }, false},
  };
  const std::regex plain(std::string(kTime) + "  WARN careful\n");
  const std::regex coloured("\x1b\\[2m" + std::string(kTime) +
                            "\x1b\\[0m \x1b\\[33m WARN\x1b\\[0m careful\n");
  for (const NoColor& no_color : no_colors) {
    for (const Writer& writer : writers) {
      SCOPED_TRACE(fmt::format("NO_COLOR \"{}\" state {}, {}", no_color.value.value,
                               static_cast<int>(no_color.value.state), writer.name));
      Fixture setup;
      setup.environment.no_color = no_color.value;
      writer.prepare(setup);
      ScopedSubscriberForTests scope(build_pipeline(setup.environment));
      VANTRO_LOG_MSG(Level::Warn, "vantro", "careful");
      if (writer.to_file) {
        EXPECT_TRUE(std::regex_match(setup.file_text(), plain)) << setup.file_text();
        EXPECT_EQ(setup.out->text(), "");
      } else {
        EXPECT_TRUE(std::regex_match(setup.out->text(), no_color.colour ? coloured : plain))
            << setup.out->text();
      }
    }
  }
}

TEST(LoggingPipeline, FallsBackToStandardOutputWithoutAMessage) {
  struct Case {
    const char* name;
    void (*prepare)(Fixture&);
  };
  const Case cases[] = {
      {"no log directory", [](Fixture& s) { s.environment.log_dir.reset(); }},
      {"directory cannot be created", [](Fixture& s) { s.fs->fail_create_dir = true; }},
      {"file cannot be opened twice", [](Fixture& s) { s.fs->fail_open = 2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture setup;
    setup.environment.no_color = {env::VarState::Set, "1"};
    c.prepare(setup);
    ScopedSubscriberForTests scope(build_pipeline(setup.environment));
    VANTRO_LOG(Level::Info, "vantro", "vantro starting", display("version", "0.3.0"));
    EXPECT_TRUE(setup.out->text().ends_with("Z  INFO vantro starting version=0.3.0\n")) << setup.out->text();
    EXPECT_EQ(setup.err->text(), "");
  }
}

TEST(LoggingPipeline, EmptyRustLogWritesNothing) {
  Fixture setup;
  setup.environment.rust_log = {env::VarState::Set, ""};
  ScopedSubscriberForTests scope(build_pipeline(setup.environment));
  EXPECT_FALSE(enabled(Level::Error, "vantro"));
  VANTRO_LOG_MSG(Level::Error, "vantro", "dropped");
  EXPECT_EQ(setup.file_text(), "");
}

TEST(LoggingPipeline, AFailedWriteIsReportedAndTheProgramGoesOn) {
  Fixture setup;
  setup.environment.log_dir.reset();
  setup.out->fail = true;
  ScopedSubscriberForTests scope(build_pipeline(setup.environment));
  VANTRO_LOG_MSG(Level::Info, "vantro", "lost");
  EXPECT_EQ(setup.err->text(),
            "[tracing-subscriber] Unable to write an event to the Writer for this Subscriber! Error: The "
            "pipe is being "
            "closed. (os error 32)\n");
}

TEST(LoggingPipeline, NothingIsRecordedWithoutASubscriber) {
  ScopedSubscriberForTests scope(nullptr);
  EXPECT_FALSE(enabled(Level::Error, "vantro"));
  int formatted = 0;
  VANTRO_LOG(Level::Error, "vantro", "nowhere", debug("value", Counted{&formatted}));
  EXPECT_EQ(formatted, 0);
}

}  // namespace
}  // namespace vantro::log

namespace vantro::log {
namespace {

// Writes to the process's real standard error, where a death test looks.
class RealStandardError final : public TextOutput {
 public:
  Result<void> write(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    return {};
  }
};

TEST(LoggingPipelineDeathTest, InstallingTwiceStopsTheProgram) {
  const auto install_twice = [] {
    LoggingEnvironment environment{{},
                                   {},
                                   std::nullopt,
                                   std::make_shared<test_support::FakeFileSystem>(),
                                   [] { return std::chrono::system_clock::now(); },
                                   std::make_shared<test_support::StringOutput>(),
                                   std::make_shared<RealStandardError>()};
    ScopedSubscriberForTests none(nullptr);
    install_pipeline(environment);
    install_pipeline(environment);
  };
  EXPECT_EXIT(install_twice(), testing::ExitedWithCode(101), "Unable to install global subscriber");
}

}  // namespace
}  // namespace vantro::log
