#include "core/error.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "core/os_error.h"
#include "support/code_texts.h"

namespace vantro {
namespace {

TEST(Error, FormsOfASingleMessage) {
  const Error e("creating tray icon");
  EXPECT_EQ(e.plain(), "creating tray icon");
  EXPECT_EQ(e.alternate(), "creating tray icon");
  EXPECT_EQ(e.debug(), "creating tray icon");
}

TEST(Error, OneCauseIsIndentedWithoutNumber) {
  const Error e = Error("Access is denied. (0x80070005)").context("CreateMutexW for single-instance guard");
  EXPECT_EQ(e.plain(), "CreateMutexW for single-instance guard");
  EXPECT_EQ(e.alternate(), "CreateMutexW for single-instance guard: Access is denied. (0x80070005)");
  EXPECT_EQ(e.debug(),
            "CreateMutexW for single-instance guard\n\nCaused by:\n    Access is denied. (0x80070005)");
}

TEST(Error, TwoOrMoreCausesAreNumberedFromZero) {
  const Error e = Error("inner").context("middle").context("outer");
  EXPECT_EQ(e.alternate(), "outer: middle: inner");
  EXPECT_EQ(e.debug(), "outer\n\nCaused by:\n    0: middle\n    1: inner");
  EXPECT_EQ(e.root_cause(), "inner");
  EXPECT_EQ(e.chain(), (std::vector<std::string>{"outer", "middle", "inner"}));
}

TEST(Error, HresultAndIoTexts) {
  EXPECT_EQ(
      Error::hresult(static_cast<std::int32_t>(0x80070002), "The system cannot find the file specified.")
          .plain(),
      "The system cannot find the file specified. (0x80070002)");
  EXPECT_EQ(Error::io(2, "The system cannot find the file specified.").plain(),
            "The system cannot find the file specified. (os error 2)");
}

TEST(Error, CodedMessageKeepsItsHresultAsDataOnly) {
  const Error e = Error::coded(static_cast<std::int32_t>(0x80040154), "Class not registered").context("step");
  EXPECT_EQ(e.alternate(), "step: Class not registered");
  EXPECT_EQ(e.hresult_code(), std::optional<std::int32_t>(static_cast<std::int32_t>(0x80040154)));
  EXPECT_EQ(Error("plain").hresult_code(), std::nullopt);
}

// A code the system has no text for reads as what it means, or at least as itself.
TEST(Error, CodesWithoutSystemTextAreNamed) {
  std::vector<test_support::CodeText> cases(std::begin(test_support::kCodeTexts),
                                            std::end(test_support::kCodeTexts));
  cases.insert(cases.end(), {{0x80010106, "error 0x80010106"},
                             {0x8013150A, "error 0x8013150A"},
                             {0x00000005, "error 0x00000005"},
                             {0xFFFFFFFF, "error 0xFFFFFFFF"}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(element_error_text(c.code, ""), c.text);
  }
}

// The UI Automation codes share their numbers with the COM+ event system's, for some of which
// the system has texts: the element layer's own description comes before the system's text,
// which comes before the bare code.
TEST(Error, ElementErrorTextNamesTheAutomationCodeBeforeTheSystemsText) {
  struct Case {
    std::uint32_t code;
    const char* system_text;
    const char* text;
  };
  const Case cases[] = {
      {0x80040201, "An event was unable to invoke any of the subscribers",
       "the element is no longer available"},
      {0x80040204, "An invalid field name was used in a query string", "the element does not support this"},
      {0x80040200, "Some other facility's text", "the element is not enabled"},
      {0x80131505, "Some other facility's text", "the operation timed out"},
      {0x80040203, "A syntax error occurred trying to evaluate a query string",
       "A syntax error occurred trying to evaluate a query string"},
      {0x80070005, "Access is denied.", "Access is denied."},
      {0x80010106, "", "error 0x80010106"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(element_error_text(c.code, c.system_text), c.text);
  }
}

#ifdef _WIN32
// A code the system has no text for (the customer bit is set): the system errors of the file
// operations still read "Unknown error", with the code beside it; the text for an HRESULT
// names the code.
TEST(Error, SystemErrorsWithoutTextKeepUnknownError) {
  EXPECT_EQ(os_error(0x2000ABCD).plain(), "Unknown error (os error 536914893)");
  EXPECT_EQ(os_error_text(0x2000ABCD), "Unknown error");
  EXPECT_EQ(hresult_text(0x2000ABCD), "error 0x2000ABCD");
  EXPECT_EQ(hresult_text(0x80070005), os_error_text(5));
}
#endif

TEST(Error, WithContextWrapsOnlyFailures) {
  Result<int> ok = 5;
  EXPECT_EQ(with_context(std::move(ok), "never shown").value(), 5);
  Result<int> bad = fail("root");
  const auto wrapped = with_context(std::move(bad), "step");
  ASSERT_FALSE(wrapped);
  EXPECT_EQ(wrapped.error().alternate(), "step: root");
}

}  // namespace
}  // namespace vantro
