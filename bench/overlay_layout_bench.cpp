// Layout cost for the largest element walk (800 targets): a dense grid of small controls and
// the worst case of 800 identical rectangles, which exhausts the stacking positions.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "config/config.h"
#include "overlay/badge_layout.h"

namespace {

using vantro::overlay::OverlayStyle;
using vantro::overlay::OverlayTarget;

constexpr int kTargets = 800;

// Four letters over a nine-letter alphabet, as 800 targets need.
std::string label(int i) {
  static constexpr std::string_view kAlphabet = "asdfghjkl";
  std::string s(4, ' ');
  for (int d = 3; d >= 0; --d, i /= 9)
    s[static_cast<std::size_t>(d)] = kAlphabet[static_cast<std::size_t>(i % 9)];
  return s;
}

// 40 columns by 20 rows of 30 × 22 controls, 2 pixels apart: far denser than the badges.
std::vector<OverlayTarget> dense_grid() {
  std::vector<OverlayTarget> targets;
  for (int i = 0; i < kTargets; ++i)
    targets.push_back({label(i), std::nullopt, (i % 40) * 32, (i / 40) * 24, 30, 22});
  return targets;
}

std::vector<OverlayTarget> identical() {
  std::vector<OverlayTarget> targets;
  for (int i = 0; i < kTargets; ++i) targets.push_back({label(i), std::nullopt, 100, 100, 200, 100});
  return targets;
}

template <auto Layout, auto Targets>
void layout(benchmark::State& state) {
  const std::vector<OverlayTarget> targets = Targets();
  const OverlayStyle style = OverlayStyle::for_elements(vantro::config::BadgeColors{});
  for (auto _ : state) benchmark::DoNotOptimize(Layout(targets, style, 0, 0));
}

BENCHMARK(layout<vantro::overlay::layout_hints, dense_grid>)
    ->Name("layout/dense_grid_800")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(layout<vantro::overlay::layout_hints, identical>)
    ->Name("layout/identical_800")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(layout<vantro::overlay::layout_hints_exhaustive, dense_grid>)
    ->Name("layout_exhaustive/dense_grid_800")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(layout<vantro::overlay::layout_hints_exhaustive, identical>)
    ->Name("layout_exhaustive/identical_800")
    ->Unit(benchmark::kMillisecond);

}  // namespace
