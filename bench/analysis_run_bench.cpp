// The whole analysis of a synthetic 24-hour two-channel recording as the analysis command runs it:
// the built-in engine over the compressed sample file, then the take-over, the rhythm detectors,
// the template classes and the example strips (75 bpm with variability, 5 % premature
// ventricular and 2 % supraventricular beats, two pauses an hour). Target: under 15 s.
// Then the same day as a pacemaker recording (5 % paced beats with markers, four ST episodes) with
// the pacemaker and ST steps in the run (target: under 4 s on one core), and the ST step alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_run.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/st/st_progress_dlg.h"
#include "document/beat_class.h"
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

testsupport::SynthOptions DayOptions() {
  testsupport::SynthOptions options;
  options.seed = 2025;
  options.duration_s = 24 * 3600;
  options.heart_rate_bpm = 75;
  options.ves_fraction = 0.05;
  options.sves_fraction = 0.02;
  options.pauses_per_hour = 2;
  return options;
}

// Writes the sample file and an unanalysed ".QRS" under `name`; returns the ".QRS" path.
std::string WriteRecording(const std::string& name, const testsupport::SynthOptions& options,
                           bool pacemaker_recording) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zk470_analysis_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  testsupport::WriteSyntheticRecording(folder / name, options);
  const platform::SystemClock clock;
  TRecordingData recording(clock);
  recording.pacemaker_recording = pacemaker_recording ? 1 : 0;
  platform::ArchiveWriter ar;
  TPatientData(clock).Serialize(ar, 32);
  recording.Serialize(ar, 32);
  TQRSList().Serialize(ar, 32);
  TEventList().Serialize(ar, 32);
  const std::string qrs = (folder / (name + ".QRS")).string();
  platform::WriteFileAtomic(qrs, ar.Bytes());
  return qrs;
}

const std::string& DayRecording() {
  static const std::string path = WriteRecording("00001", DayOptions(), false);
  return path;
}

// The day with 5 % paced beats and four ST episodes: one per channel, one on both, one long.
const std::string& PacedSTDayRecording() {
  static const std::string path = [] {
    testsupport::SynthOptions options = DayOptions();
    options.paced_fraction = 0.05;
    constexpr int32_t kHourMs = 3600 * 1000;
    constexpr int32_t kMinuteMs = 60 * 1000;
    options.st_episodes = {{2 * kHourMs, 2 * kHourMs + 10 * kMinuteMs, -300, 0x1},
                           {8 * kHourMs, 8 * kHourMs + 5 * kMinuteMs, -250, 0x2},
                           {14 * kHourMs, 14 * kHourMs + 3 * kMinuteMs, -400, 0x3},
                           {20 * kHourMs, 20 * kHourMs + 20 * kMinuteMs, -300, 0x3}};
    return WriteRecording("00002", options, true);
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

analysis::AnalysisRun::Services PacedSTServices(analysis::AnalysisDialogs& dialogs) {
  analysis::AnalysisRun::Services services;
  services.dialogs = &dialogs;
  services.library_version_text = [] { return std::string("-"); };
  services.pacemaker_analysis = analysis::RunPacemakerAnalysis;
  services.st_analysis = [&dialogs](CZK470Doc& doc, int mode) {
    return analysis::RunSTAnalysisDialog(dialogs, doc, mode);
  };
  return services;
}

void UseBothChannelsForST() {
  const int32_t channels[] = {0, 1};
  document::Context().g_AnalysisChannels.Assign(channels);
  document::Context().g_RecordingChannels.Assign(channels);
  document::Context().g_STChannels.Assign(channels);
}

int CountSTEpisodes(const CZK470Doc& doc) {
  int n = 0;
  const TEventList& events = doc.GetEventList();
  for (int i = 0; i < events.GetSize(); ++i) {
    const int kind = events.ElementAt(i)->GetClass();
    n += kind >= kClassSTEpisode1 && kind <= kClassSTEpisode3 ? 1 : 0;
  }
  return n;
}

int CountPacedBeats(const CZK470Doc& doc) {
  int n = 0;
  const TQRSList& beats = doc.GetQRSList();
  for (int i = 0; i < beats.GetSize(); ++i) n += beats.ElementAt(i)->GetClass() == kClassPacedBeat ? 1 : 0;
  return n;
}

// Engine, run, pacemaker and ST analysis together.
void BM_AnalysePacedSTRecording24Hours(benchmark::State& state) {
  UseBothChannelsForST();
  const std::string& path = PacedSTDayRecording();
  const platform::SystemClock clock;
  platform::MemoryProfileStore profile;
  analysis::HeadlessAnalysisDialogs dialogs;
  analysis::AnalysisRun run(PacedSTServices(dialogs));
  int beats = 0;
  int paced = 0;
  int episodes = 0;
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
    state.PauseTiming();
    beats = doc->GetQRSList().GetSize();
    paced = CountPacedBeats(*doc);
    episodes = CountSTEpisodes(*doc);
    doc->SetAnalysisHooks(nullptr);
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["beats"] = beats;
  state.counters["paced"] = paced;
  state.counters["st_episodes"] = episodes;
}
BENCHMARK(BM_AnalysePacedSTRecording24Hours)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The ST step alone on the analysed paced day: the full series and episodes over the whole day (as
// after a long edit; command 32907 redoes only the episodes when the settings did not change).
void BM_STAnalysisAlone24Hours(benchmark::State& state) {
  UseBothChannelsForST();
  const std::string& path = PacedSTDayRecording();
  const platform::SystemClock clock;
  platform::MemoryProfileStore profile;
  analysis::HeadlessAnalysisDialogs dialogs;
  analysis::AnalysisRun run(PacedSTServices(dialogs));
  auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile, clock);
  doc->SetAnalysisHooks(&run);
  if (!doc->OnOpenDocument(path) || run.Run(*doc, 0) != analysis::kResultFinished) {
    state.SkipWithError("the recording cannot be analysed");
    return;
  }
  int episodes = 0;
  for (auto _ : state) {
    run.RunSTAnalysisAfterEdit(*doc);
    episodes = CountSTEpisodes(*doc);
  }
  state.counters["st_episodes"] = episodes;
  doc->SetAnalysisHooks(nullptr);
}
BENCHMARK(BM_STAnalysisAlone24Hours)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
