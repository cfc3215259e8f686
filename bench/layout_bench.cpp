// Badge layout for the target counts of small and very busy windows: a dense grid of
// controls, as in a toolbar-heavy application or a long web page.
#include <benchmark/benchmark.h>

#include "hint/hint_generator.h"
#include "overlay/badge_layout.h"
#include "overlay/color.h"

namespace {

std::vector<vantro::overlay::OverlayTarget> grid_targets(std::size_t count) {
  const auto labels = vantro::hint::HintGenerator("asdfghjkl").generate(count);
  std::vector<vantro::overlay::OverlayTarget> targets;
  targets.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto column = static_cast<std::int32_t>(i % 25);
    const auto row = static_cast<std::int32_t>(i / 25);
    targets.push_back({labels[i], std::nullopt, 20 + column * 75, 40 + row * 28, 70, 24});
  }
  return targets;
}

void BM_LayoutHints(benchmark::State& state) {
  const auto targets = grid_targets(static_cast<std::size_t>(state.range(0)));
  const auto style = vantro::overlay::OverlayStyle::for_elements({});
  for (auto _ : state) {
    auto hints = vantro::overlay::layout_hints(targets, style, 0, 0);
    benchmark::DoNotOptimize(hints.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LayoutHints)->Arg(10)->Arg(100)->Arg(500)->Arg(800)->Unit(benchmark::kMicrosecond);

}  // namespace
