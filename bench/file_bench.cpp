// vela_file_bench: loading and saving a data file of a programmed board, in-process, through
// the program's own load and save (read whole, parse into a copy; build the text, write beside
// the target, rename), for 0, 8, 16 and 32 programmed pins.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/bench_dialogs.h"
#include "files/data_file.h"
#include "model/config_compare.h"
#include "sim/full_layout.h"

namespace vela::bench {
namespace {

std::string PathFor(int pins) {
  return (std::filesystem::temp_directory_path() /
          ("vela_file_bench_" + std::to_string(getpid()) + "_" + std::to_string(pins) + ".dat"))
      .string();
}

void BM_SaveDataFile(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  BoardConfig config = sim::FullLayout(pins);
  BenchDialogs dialogs;
  const std::string path = PathFor(pins);
  for (auto _ : state) {
    if (!SaveDataFile(config, path, false, dialogs)) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

void BM_LoadDataFile(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  BoardConfig layout = sim::FullLayout(pins);
  BenchDialogs dialogs;
  const std::string path = PathFor(pins);
  SaveDataFile(layout, path, false, dialogs);
  for (auto _ : state) {
    BoardConfig config;
    if (!LoadDataFile(config, path, dialogs)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(config);
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

// Two fully programmed configurations (32 pins x 36 steps): the same (everything is looked at,
// nothing is written), and with every step and every event action different (a line each).
void BM_CompareConfigs(benchmark::State& state) {
  const bool differ = state.range(0) != 0;
  const BoardConfig a = sim::FullLayout(kPinCount);
  BoardConfig b = a;
  if (differ) {
    for (int p = 0; p < kPinCount; ++p) {
      for (int x = 0; x < 4; ++x) {
        for (int s = 0; s < 9; ++s) b.Pins[p].Aspects[x].Steps[s].Par1 ^= 1;
      }
      for (int input = 0; input < 4; ++input) b.Events.At(p, kEventOn, input) = -1;
    }
  }
  const InstructionSet instructions;
  size_t lines = 0;
  for (auto _ : state) {
    std::vector<ConfigDifference> differences = CompareConfigs(a, b, instructions);
    lines = differences.size();
    benchmark::DoNotOptimize(differences);
  }
  state.counters["lines"] = static_cast<double>(lines);
}

BENCHMARK(BM_CompareConfigs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDataFile)->Arg(0)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDataFile)->Arg(0)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vela::bench

BENCHMARK_MAIN();
