#include "picking/foreground_wait.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace vantro::picking {
namespace {

using std::chrono::milliseconds;

// A clock that moves only when the wait sleeps: each pause lasts what was asked, or `tick`
// when that is longer (a system timer that wakes the thread only on its ticks).
class FakeClock final : public WaitClock {
 public:
  explicit FakeClock(milliseconds tick = milliseconds(0)) : tick_(tick) {}

  std::chrono::steady_clock::time_point now() override { return start_ + elapsed_; }
  void sleep(milliseconds duration) override {
    sleeps.push_back(duration);
    elapsed_ += std::max(duration, tick_);
  }
  [[nodiscard]] milliseconds elapsed() const { return elapsed_; }

  std::vector<milliseconds> sleeps;

 private:
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  const milliseconds tick_;
  milliseconds elapsed_{0};
};

std::vector<milliseconds> pauses(std::size_t count, milliseconds each = milliseconds(10)) {
  return std::vector<milliseconds>(count, each);
}

struct Case {
  const char* name;
  int window_on_ask;  // the ask (from 1) that first gives window 7; 0: none ever
  milliseconds tick;
  int result;
  int asks;
  std::vector<milliseconds> sleeps;
  milliseconds elapsed;
};

TEST(ForegroundWait, AsksEveryTenMillisecondsForAtMostAHundred) {
  const std::vector<milliseconds> stretched_last = {milliseconds(10), milliseconds(10), milliseconds(10),
                                                    milliseconds(10), milliseconds(10), milliseconds(10),
                                                    milliseconds(4)};
  const Case cases[] = {
      {"a window at once: no pause", 1, milliseconds(0), 7, 1, {}, milliseconds(0)},
      {"a window on the third ask is returned at once", 3, milliseconds(0), 7, 3, pauses(2),
       milliseconds(20)},
      {"a window on the last ask, at 100 ms", 11, milliseconds(0), 7, 11, pauses(10), milliseconds(100)},
      {"a window too late is never asked for", 12, milliseconds(0), 0, 11, pauses(10), milliseconds(100)},
      {"none throughout: nothing after ten pauses of 10 ms", 0, milliseconds(0), 0, 11, pauses(10),
       milliseconds(100)},
      // Pauses that last 16 ms: asks at 0, 16, …, 96 ms, the last pause cut to the 4 ms that
      // remain (it lasts 16 too), the last ask at 112 ms.
      {"stretched pauses do not stretch the wait", 0, milliseconds(16), 0, 8, stretched_last,
       milliseconds(112)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock(c.tick);
    int asks = 0;
    const int window = wait_for_foreground(
        [&] {
          ++asks;
          return asks == c.window_on_ask ? 7 : 0;
        },
        clock);
    EXPECT_EQ(window, c.result);
    EXPECT_EQ(asks, c.asks);
    EXPECT_EQ(clock.sleeps, c.sleeps);
    EXPECT_EQ(clock.elapsed(), c.elapsed);
  }
}

TEST(ForegroundWait, ReturnsTheWindowTheQueryGave) {
  // A pointer-like window type, as the platform's handles are.
  int first = 0, second = 0;
  const std::vector<const int*> answers = {nullptr, &first, &second};
  std::size_t asked = 0;
  FakeClock clock;
  const int* window = wait_for_foreground([&] { return answers[asked++]; }, clock);
  EXPECT_EQ(window, &first);
  EXPECT_EQ(asked, 2u);
  EXPECT_EQ(clock.sleeps, pauses(1));
}

}  // namespace
}  // namespace vantro::picking
