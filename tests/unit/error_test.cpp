#include "core/error.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(Error::hresult(static_cast<std::int32_t>(0x80070002), "The system cannot find the file specified.").plain(),
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
