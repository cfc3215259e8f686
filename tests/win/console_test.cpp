// Writing to a pipe that takes no more bytes: a non-blocking pipe whose buffer is full.
#include "windows/console.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "support/system_text.h"

namespace vantro::windows {
namespace {

// A pipe whose writing end is in non-blocking mode and whose reading end nobody reads: once its
// buffer is full, WriteFile succeeds having written nothing.
class FullPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring name = L"\\\\.\\pipe\\vantro-console-test-" + std::to_wstring(GetCurrentProcessId());
    reader_ = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 0, 4096, 0,
                               nullptr);
    ASSERT_NE(reader_, INVALID_HANDLE_VALUE) << GetLastError();
    writer_ = CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                          nullptr);
    ASSERT_NE(writer_, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD mode = PIPE_NOWAIT;
    ASSERT_TRUE(SetNamedPipeHandleState(writer_, &mode, nullptr, nullptr)) << GetLastError();
  }
  void TearDown() override {
    if (writer_ != INVALID_HANDLE_VALUE) CloseHandle(writer_);
    close_reader();
  }
  void close_reader() {
    if (reader_ != INVALID_HANDLE_VALUE) CloseHandle(reader_);
    reader_ = INVALID_HANDLE_VALUE;
  }

  HANDLE reader_ = INVALID_HANDLE_VALUE;
  HANDLE writer_ = INVALID_HANDLE_VALUE;
};

TEST_F(FullPipe, AWriteThatTakesNoByteEndsWithAnError) {
  // Far more than the pipe's buffer holds.
  const std::string text(1 << 20, 'x');
  auto outcome = std::async(std::launch::async, [&] { return write_all(writer_, text); });
  if (outcome.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    close_reader();  // the writes fail from now on, so the loop ends
    outcome.wait();
    FAIL() << "write_all went on asking a full pipe to take its bytes for 10 s";
  }
  const Result<void> written = outcome.get();
  ASSERT_FALSE(written.has_value()) << "all of the text went into a pipe that nobody reads";
  EXPECT_EQ(written.error().plain(), test_support::os_failure(ERROR_WRITE_FAULT));
}

}  // namespace
}  // namespace vantro::windows
