// vela_file_bench: loading and saving a data file of a programmed board, in-process, through
// the program's own load and save (read whole, parse into a copy; build the text, write beside
// the target, rename), for 0, 8, 16 and 32 programmed pins.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "files/data_file.h"
#include "support/recording_dialogs.h"
#include "tests/faults/full_layout.h"

namespace vela::bench {
namespace {

std::string PathFor(int pins) {
  return (std::filesystem::temp_directory_path() /
          ("vela_file_bench_" + std::to_string(getpid()) + "_" + std::to_string(pins) + ".dat"))
      .string();
}

void BM_SaveDataFile(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  BoardConfig config = testing::FullLayout(pins);
  testing::RecordingDialogs dialogs;
  const std::string path = PathFor(pins);
  for (auto _ : state) {
    if (!SaveDataFile(config, path, false, dialogs)) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

void BM_LoadDataFile(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  BoardConfig layout = testing::FullLayout(pins);
  testing::RecordingDialogs dialogs;
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

BENCHMARK(BM_SaveDataFile)->Arg(0)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDataFile)->Arg(0)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vela::bench

BENCHMARK_MAIN();
