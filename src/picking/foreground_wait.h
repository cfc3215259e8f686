// Waiting out the moment in which no window has the foreground: while the foreground passes
// from a window that was just destroyed (an overlay that closed) to the next one, the system
// reports none for a short while.
#pragma once

#include <algorithm>
#include <chrono>
#include <type_traits>

namespace vantro::picking {

inline constexpr std::chrono::milliseconds kForegroundAskInterval{10};
inline constexpr std::chrono::milliseconds kForegroundWaitLimit{100};

// The clock of a wait: the time now, and a pause of the calling thread.
class WaitClock {
 public:
  virtual ~WaitClock() = default;
  [[nodiscard]] virtual std::chrono::steady_clock::time_point now() = 0;
  virtual void sleep(std::chrono::milliseconds duration) = 0;
};

// Asks `query` for the foreground window. While it gives none (a value that tests false), it
// pauses 10 ms and asks again, until 100 ms have passed since the first ask; the last pause is
// cut short so that the last ask comes when the 100 ms are over, and pauses that the system
// stretches do not stretch the wait. Returns the first window given, at once, or none after
// the last ask.
template <class Query>
[[nodiscard]] std::invoke_result_t<Query&> wait_for_foreground(Query&& query, WaitClock& clock) {
  const auto start = clock.now();
  for (;;) {
    auto window = query();
    if (window) return window;
    const auto waited = clock.now() - start;
    if (waited >= kForegroundWaitLimit) return window;
    clock.sleep(std::min(kForegroundAskInterval,
                         std::chrono::ceil<std::chrono::milliseconds>(kForegroundWaitLimit - waited)));
  }
}

}  // namespace vantro::picking
