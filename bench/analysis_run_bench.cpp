// The whole analysis of a synthetic 24-hour two-channel recording as the analysis command runs it:
// the built-in engine over the compressed sample file, then the take-over, the rhythm detectors,
// the template classes and the example strips (75 bpm with variability, 5 % premature
// ventricular and 2 % supraventricular beats, two pauses an hour). Target: under 15 s.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_run.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/ecg_synthesizer.h"

namespace {

// Writes the day's sample file and an unanalysed ".QRS" once; returns the ".QRS" path.
const std::string& DayRecording() {
  static const std::string path = [] {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zk470_analysis_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    testsupport::SynthOptions options;
    options.seed = 2025;
    options.duration_s = 24 * 3600;
    options.heart_rate_bpm = 75;
    options.ves_fraction = 0.05;
    options.sves_fraction = 0.02;
    options.pauses_per_hour = 2;
    testsupport::WriteSyntheticRecording(folder / "00001", options);
    const platform::SystemClock clock;
    platform::ArchiveWriter ar;
    TPatientData(clock).Serialize(ar, 32);
    TRecordingData(clock).Serialize(ar, 32);
    TQRSList().Serialize(ar, 32);
    TEventList().Serialize(ar, 32);
    const std::string qrs = (folder / "00001.QRS").string();
    platform::WriteFileAtomic(qrs, ar.Bytes());
    return qrs;
  }();
  return path;
}

void BM_AnalyseRecording24Hours(benchmark::State& state) {
  const int32_t channels[] = {0, 1};
  document::Context().g_AnalysisChannels.Assign(channels);
  document::Context().g_RecordingChannels.Assign(channels);
  const std::string& path = DayRecording();
  const platform::SystemClock clock;
  platform::MemoryProfileStore profile;
  analysis::HeadlessAnalysisDialogs dialogs;
  analysis::AnalysisRun::Services services;
  services.dialogs = &dialogs;
  services.library_version_text = [] { return std::string("-"); };
  analysis::AnalysisRun run(std::move(services));
  int beats = 0;
  int events = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile, clock);
    doc->SetAnalysisHooks(&run);
    if (!doc->OnOpenDocument(path)) {
      state.SkipWithError("the recording cannot be opened");
      break;
    }
    state.ResumeTiming();
    if (run.Run(*doc, 0) != analysis::kResultFinished) {
      state.SkipWithError("the analysis did not finish");
      break;
    }
    beats = doc->GetQRSList().GetSize();
    events = doc->GetEventList().GetSize();
    benchmark::DoNotOptimize(beats);
    state.PauseTiming();
    doc->SetAnalysisHooks(nullptr);
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["beats"] = beats;
  state.counters["events"] = events;
}
BENCHMARK(BM_AnalyseRecording24Hours)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
