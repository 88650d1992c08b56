// The RR file of a 24-hour two-channel recording: one line per beat pair, the normal beats
// measured for ST through the samples, written as the RR export writes it. Target: under 2 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/resource_packs.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "reports/printer_base.h"
#include "reports/rr_export.h"
#include "support/test_recordings.h"

namespace {

namespace fs = std::filesystem;

struct Recording {
  platform::MemoryProfileStore profile;
  platform::ManualClock clock{{2026, 3, 4, 14, 5, 9, 0}};
  platform::FixedLocale locale{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc;
  std::string rr_path;
};

Recording* g_recording = nullptr;

void BM_RRExport24h(benchmark::State& state) {
  Recording& r = *g_recording;
  int lines = 0;
  int checks = 0;
  for (auto _ : state) {
    // The command asks after every line whether to go on; the answer is cheap here.
    lines = WriteRRFile(*r.doc, r.rr_path, [&checks](int) {
      ++checks;
      return true;
    });
    benchmark::DoNotOptimize(lines);
    benchmark::DoNotOptimize(checks);
  }
  std::error_code ec;
  const auto bytes = fs::file_size(r.rr_path, ec);
  state.counters["lines"] = lines;
  state.counters["file_kB"] = ec ? 0.0 : static_cast<double>(bytes) / 1024;
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_RRExport24h)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = fs::temp_directory_path() / ("zk470_rr_export_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::printf("Generating a synthetic 24-hour 2-channel recording...\n");
  const fs::path qrs = coretest::MakeAnalysedRecording(folder / "00001", 24 * 60, 2);

  InstallProgramResources();
  Recording recording;
  SetPrintLocale(&recording.locale);
  int code = 0;
  recording.doc =
      std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, recording.profile, recording.clock);
  if (!recording.doc->OnOpenDocument(qrs.string())) {
    std::printf("the recording did not open\n");
    code = 1;
  } else {
    recording.rr_path = (folder / "00001 RR.txt").string();
    std::printf("%d beats over %d minutes\n", recording.doc->GetQRSList().GetSize(),
                recording.doc->GetRecordingMinutes());
    g_recording = &recording;
    benchmark::Initialize(&argc, argv);
    try {
      benchmark::RunSpecifiedBenchmarks();
    } catch (const platform::IoError& error) {
      std::printf("the RR file was not written: %s\n", error.what());
      code = 1;
    }
    benchmark::Shutdown();
    g_recording = nullptr;
  }
  recording.doc.reset();
  SetPrintLocale(nullptr);
  fs::remove_all(folder);
  return code;
}
