// The built-in beat analysis engine over a synthetic 24-hour two-channel recording (75 bpm with
// variability, one beat in ten a wide premature ventricular beat): minutes analysed per second on
// one core, peak memory, and the beat-by-beat accuracy against the generator's truth list.
// Targets: the whole day in under 10 s and 300 MB.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>

#include "analysis/engine/beat_engine.h"
#include "analysis/engine/engine_test_signal.h"
#include "support/ecg_synthesizer.h"

namespace {

using engine_test::CollectingOutput;
using engine_test::MemorySource;
using engine_test::Recording;

const Recording& Day() {
  static const Recording recording = [] {
    testsupport::SynthOptions options;
    options.seed = 2024;
    options.duration_s = 24 * 3600;
    options.channels = 2;
    options.heart_rate_bpm = 75;
    options.ves_fraction = 0.1;
    const testsupport::SyntheticEcg ecg = testsupport::GenerateSyntheticEcg(options);
    Recording rec;
    rec.lead[0] = ecg.samples.at(0);
    rec.lead[1] = ecg.samples.at(1);
    for (const testsupport::TruthBeat& b : ecg.truth.beats)
      rec.truth.push_back({b.position, b.beat_class == testsupport::kClassVes});
    return rec;
  }();
  return recording;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_BeatEngine24Hours(benchmark::State& state) {
  const Recording& rec = Day();
  const double minutes = static_cast<double>(rec.lead[0].size() / engine_test::kMinute);
  size_t beats = 0;
  for (auto _ : state) {
    MemorySource source(rec);
    CollectingOutput output;
    BeatEngine engine;
    engine.BeatEngineInit(&source, &output);
    engine.BeatEngineRun();
    beats = output.beats.size();
    benchmark::DoNotOptimize(beats);
  }
  state.counters["minutes/s"] = benchmark::Counter(minutes, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["beats"] = static_cast<double>(beats);
}
BENCHMARK(BM_BeatEngine24Hours)->Unit(benchmark::kSecond)->Iterations(2);

void PrintFigures() {
  const Recording& rec = Day();
  const double before = PeakMegabytes();
  MemorySource source(rec);
  CollectingOutput output;
  BeatEngine engine;
  engine.BeatEngineInit(&source, &output);
  engine.BeatEngineRun();
  const engine_test::Score s =
      engine_test::Compare(rec.truth, output.beats, beat_engine::MsToSamples(150), 15 * engine_test::kRate);
  std::printf("24 h synthetic: reference beats %d, detected %d, found %.3f %% within 150 ms, extra %.3f %%, "
              "ventricular %d classed ventricular %.2f %% (+P %.2f %%)\n",
              s.reference, s.detected, s.Sensitivity(), 100.0 - s.PositivePredictivity(), s.ventricular_reference,
              s.VentricularSensitivity(), s.VentricularPredictivity());
  std::printf("peak resident memory: %.0f MB (%.0f MB with the recording in memory before the run)\n",
              PeakMegabytes(), before);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Day();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintFigures();
  return 0;
}
