// Label generation for the target counts of small and very busy windows.
#include <benchmark/benchmark.h>

#include "hint/hint_generator.h"

namespace {

void BM_GenerateLabels(benchmark::State& state) {
  const vantro::hint::HintGenerator generator("asdfghjkl");
  const auto count = static_cast<std::uint64_t>(state.range(0));
  for (auto _ : state) {
    auto labels = generator.generate(count);
    benchmark::DoNotOptimize(labels.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateLabels)->Arg(10)->Arg(100)->Arg(500)->Arg(800);

}  // namespace
