#include "logging/pipeline.h"

#include <cstdio>
#include <regex>

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace vantro::log {
namespace {

using namespace std::chrono;
using test_support::FakeFileSystem;
using test_support::StringOutput;

constexpr const char* kDir = "Z:\\local\\vantro";

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

TEST(LoggingPipeline, WritesFilteredLinesToTheDaysFileWithColour) {
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

  const std::regex expected(
      "\x1b\\[2m\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{6}Z\x1b\\[0m \x1b\\[32m INFO\x1b\\[0m vantro "
      "starting "
      "\x1b\\[3mversion\x1b\\[0m\x1b\\[2m=\x1b\\[0m0\\.3\\.0\n"
      "\x1b\\[2m[^\x1b]+Z\x1b\\[0m \x1b\\[34mDEBUG\x1b\\[0m IPC window created\n");
  EXPECT_TRUE(std::regex_match(setup.file_text(), expected)) << setup.file_text();
  EXPECT_EQ(setup.out->text(), "");
  EXPECT_EQ(setup.err->text(), "");
}

TEST(LoggingPipeline, NoColorSetAndNonEmptyDropsTheEscapes) {
  struct Case {
    env::Var no_color;
    bool colour;
  };
  const Case cases[] = {{{env::VarState::Unset, ""}, true},
                        {{env::VarState::Set, ""}, true},
                        {{env::VarState::Invalid, ""}, true},
                        {{env::VarState::Set, "1"}, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.no_color.value + " state " + std::to_string(static_cast<int>(c.no_color.state)));
    Fixture setup;
    setup.environment.no_color = c.no_color;
    ScopedSubscriberForTests scope(build_pipeline(setup.environment));
    VANTRO_LOG_MSG(Level::Warn, "vantro", "careful");
    EXPECT_EQ(setup.file_text().find('\x1b') != std::string::npos, c.colour) << setup.file_text();
    EXPECT_TRUE(
        setup.file_text().ends_with(c.colour ? " \x1b[33m WARN\x1b[0m careful\n" : "Z  WARN careful\n"));
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
