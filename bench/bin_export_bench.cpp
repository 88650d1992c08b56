// The BIN file of a 24-hour two-channel recording: every minute decoded from the compressed sample
// file and written as frames, as the BIN export writes it. Target: under 2 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "support/test_recordings.h"
#include "tools/bin_export.h"

namespace {

namespace fs = std::filesystem;

struct Recording {
  platform::MemoryProfileStore profile;
  platform::ManualClock clock{{2026, 3, 4, 14, 5, 9, 0}};
  std::unique_ptr<CZK470Doc> doc;
  std::string bin_path;
};

Recording* g_recording = nullptr;

void BM_BinExport24h(benchmark::State& state) {
  Recording& r = *g_recording;
  tools::BinWriteResult result;
  for (auto _ : state) {
    // The command asks after every minute whether to go on; the answer is cheap here.
    result = tools::WriteBinFile(*r.doc, r.bin_path, [](int, int) { return true; });
    benchmark::DoNotOptimize(result.minutes_written);
  }
  if (result.error) state.SkipWithError(result.error->c_str());
  std::error_code ec;
  const auto bytes = fs::file_size(r.bin_path, ec);
  state.counters["minutes"] = result.minutes_written;
  state.counters["file_MB"] = ec ? 0.0 : static_cast<double>(bytes) / (1024 * 1024);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ec ? 0 : bytes));
}
BENCHMARK(BM_BinExport24h)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder =
      fs::temp_directory_path() / ("zk470_bin_export_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::printf("Generating a synthetic 24-hour 2-channel recording...\n");
  const fs::path qrs = coretest::MakeSyntheticRecording(folder / "00001", 24 * 60);

  Recording recording;
  int code = 0;
  recording.doc =
      std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, recording.profile, recording.clock);
  if (!recording.doc->OnOpenDocument(qrs.string())) {
    std::printf("the recording did not open\n");
    code = 1;
  } else {
    document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{0, 1});
    recording.bin_path = (folder / "00001 .BIN").string();
    std::printf("%d minutes, %d channels exported\n", recording.doc->GetRecordingMinutes(),
                document::Context().g_DisplayChannels.count);
    g_recording = &recording;
    benchmark::Initialize(&argc, argv);
    try {
      benchmark::RunSpecifiedBenchmarks();
    } catch (const platform::IoError& error) {
      std::printf("the BIN file was not written: %s\n", error.what());
      code = 1;
    }
    benchmark::Shutdown();
    g_recording = nullptr;
  }
  recording.doc.reset();
  fs::remove_all(folder);
  return code;
}
