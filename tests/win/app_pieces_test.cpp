// The pick context built from the configuration, and the quiet cases of View Log.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/log_viewer.h"
#include "app/pick_context.h"
#include "support/fake_file_system.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"

namespace vantro::app {
namespace {

TEST(PickContext, ShortAlphabetFallsBackToTheDefaultWithAWarning) {
  struct Case {
    std::string alphabet;
    bool replaced;
  };
  for (const Case& c : {Case{"", true}, Case{"a", true}, Case{"ab", false}, Case{"asdfghjkl", false}}) {
    SCOPED_TRACE(c.alphabet);
    test_support::LogCapture capture;
    config::Config config;
    config.hints.alphabet = c.alphabet;
    const PickContext context = make_pick_context(config);
    EXPECT_EQ(context.hints.uses_default_alphabet(), c.replaced);
    const auto* warning = capture.find("hint alphabet needs at least two characters; using the default");
    ASSERT_EQ(warning != nullptr, c.replaced);
    if (warning != nullptr) {
      EXPECT_EQ(warning->level, log::Level::Warn);
      EXPECT_EQ(warning->target, "vantro");
      EXPECT_EQ(*warning->field("alphabet"), text::debug_quoted(c.alphabet));
    }
    EXPECT_EQ(context.element_style, overlay::OverlayStyle::for_elements(config.colors.element));
    EXPECT_EQ(context.window_style, overlay::OverlayStyle::for_windows(config.colors.window));
  }
}

TEST(LogViewer, NothingHappensWithoutDirectoryListingOrFile) {
  test_support::FakeFileSystem fake;
  {
    test_support::ScopedEnvVar local("LOCALAPPDATA", std::nullopt);
    EXPECT_TRUE(view_log(fake));
  }
  test_support::ScopedEnvVar local("LOCALAPPDATA", "Z:\\nowhere");
  EXPECT_TRUE(view_log(fake)) << "listing fails: dropped";
  fake.add("Z:\\nowhere\\vantro", "other.log");
  EXPECT_TRUE(view_log(fake)) << "no log file: nothing";
}

}  // namespace
}  // namespace vantro::app
