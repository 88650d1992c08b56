// Time to index and decode every minute of a synthetic 24-hour three-channel recording, against
// the time to read the file's bytes. Target: the whole decode under 1 s on one core.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "document/ecg_block.h"
#include "document/raw_ecg_data.h"
#include "document/zk130_info_list.h"
#include "platform/archive.h"
#include "support/ecg_synthesizer.h"

namespace {

std::filesystem::path g_file;

std::filesystem::path MakeRecording() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zk470_sample_store_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  testsupport::SynthOptions options;
  options.seed = 24;
  options.duration_s = 24 * 3600;
  options.channels = 3;
  options.ves_fraction = 0.02;
  options.sves_fraction = 0.02;
  testsupport::WriteSyntheticRecording(folder / "00001", options);
  return folder / "00001.CMP";
}

int64_t IndexAndDecodeAll(const std::string& path) {
  TZK130InfoList markers;
  TRawECGData store(&markers, path);
  int64_t sum = 0;
  for (int m = 0; m < store.GetWholeMinutes(); ++m) {
    store.LoadMinute(m, true);
    for (int c = 0; c < store.GetChannelCount(); ++c) {
      const auto block = store.GetChannelMinute(c, m);
      sum += block->samples[static_cast<size_t>(m % TECGBlock::kSamples)];
    }
  }
  return sum + store.GetWholeMinutes();
}

double BestSeconds(const std::function<void()>& run, int repeats) {
  double best = 1e9;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void BM_ReadFileBytes(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    const auto data = platform::ReadFileBytes(g_file);
    bytes = data.size();
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_IndexAndDecodeEveryMinute(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(IndexAndDecodeAll(g_file.string()));
  state.SetItemsProcessed(state.iterations() * 1440 * 3);  // channel minutes
}
BENCHMARK(BM_IndexAndDecodeEveryMinute)->Unit(benchmark::kMillisecond);

void BM_IndexOnly(benchmark::State& state) {
  for (auto _ : state) {
    TRawECGData store(nullptr, g_file.string());
    benchmark::DoNotOptimize(store.GetWholeMinutes());
  }
}
BENCHMARK(BM_IndexOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::printf("Generating a synthetic 24-hour 3-channel recording...\n");
  g_file = MakeRecording();
  const auto file_bytes = std::filesystem::file_size(g_file);

  int64_t sink = 0;
  const double read_s =
      BestSeconds([&] { sink += static_cast<int64_t>(platform::ReadFileBytes(g_file).size()); }, 5);
  const double decode_s = BestSeconds([&] { sink += IndexAndDecodeAll(g_file.string()); }, 3);
  TRawECGData store(nullptr, g_file.string());
  std::printf("file: %s, %.1f MB, %d whole minutes, %d channels\n", g_file.filename().c_str(),
              static_cast<double>(file_bytes) / 1e6, store.GetWholeMinutes(), store.GetChannelCount());
  std::printf("read the file's bytes:          %8.1f ms\n", read_s * 1e3);
  std::printf("index and decode every minute:  %8.1f ms (%.0f channel minutes per second)\n", decode_s * 1e3,
              store.GetWholeMinutes() * store.GetChannelCount() / decode_s);
  std::printf("ratio decode / read:            %8.1f   target: whole decode under 1000 ms -> %s\n",
              decode_s / read_s, decode_s < 1.0 ? "met" : "MISSED");
  benchmark::DoNotOptimize(sink);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(g_file.parent_path());
  return 0;
}
