// Reading the default configuration file, as start-up does.
#include <benchmark/benchmark.h>

#include "config/config_toml.h"

namespace {

void BM_ReadDefaultConfig(benchmark::State& state) {
  const std::string text = vantro::config::serialize_config(vantro::config::Config{});
  for (auto _ : state) {
    auto config = vantro::config::deserialize_config(text);
    benchmark::DoNotOptimize(config);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadDefaultConfig);

}  // namespace
