// Formatting one log line, as every event that passes the filter is.
#include <benchmark/benchmark.h>

#include "logging/line_format.h"

namespace {

void BM_FormatLogLine(benchmark::State& state) {
  using namespace vantro::log;
  const Field fields[] = {display("hint_count", 120), display("is_browser", false),
                          debug("title", std::string("vantro: hotkey conflict"))};
  const Event event{Level::Info, "vantro::windows::overlay", "overlay closed", fields,
                    std::chrono::system_clock::now()};
  const bool colour = state.range(0) != 0;
  for (auto _ : state) {
    auto line = format_line(event, colour);
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_FormatLogLine)->ArgName("colour")->Arg(0)->Arg(1);

}  // namespace
