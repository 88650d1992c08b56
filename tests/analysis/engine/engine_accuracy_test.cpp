// The engine on realistic input: the synthetic generator's recordings (with their truth lists) and
// the MIT-BIH records 100 and 800 (with their reference annotations), each scored beat by beat
// with a 150 ms match window.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/engine/beat_engine.h"
#include "engine_test_signal.h"
#include "support/ecg_synthesizer.h"
#include "support/wfdb_converter.h"
#include "support/wfdb_record.h"

using namespace engine_test;

namespace {

constexpr int kMatchWindow = beat_engine::MsToSamples(150);

Recording FromChannels(const std::vector<std::vector<int16_t>>& channels, const testsupport::TruthList& truth) {
  Recording rec;
  rec.lead[0] = channels.at(0);
  rec.lead[1] = channels.size() > 1 ? channels[1] : channels[0];
  rec.analysed_channels = channels.size() > 1 ? 2 : 1;
  // Isolated QRS-like artefacts ('|') are not beats to the standard comparison.
  for (const testsupport::TruthBeat& b : truth.beats)
    if (b.beat_class != testsupport::kClassArtefact)
      rec.truth.push_back({b.position, b.beat_class == testsupport::kClassVes});
  return rec;
}

Score RunAndScore(const Recording& rec, int32_t score_from) {
  MemorySource source(rec);
  CollectingOutput output;
  BeatEngine engine;
  engine.BeatEngineInit(&source, &output);
  EXPECT_TRUE(engine.BeatEngineRun());
  return Compare(rec.truth, output.beats, kMatchWindow, score_from);
}

void Print(const std::string& name, const Score& s) {
  std::printf("[ figures  ] %s: reference beats %d, detected %d, QRS Se %.2f %% +P %.2f %%, "
              "ventricular %d: Se %.2f %% +P %.2f %%\n",
              name.c_str(), s.reference, s.detected, s.Sensitivity(), s.PositivePredictivity(),
              s.ventricular_reference, s.VentricularSensitivity(), s.VentricularPredictivity());
}

}  // namespace

TEST(BeatEngineAccuracy, SyntheticTenMinutesOfNormalRhythm) {
  testsupport::SynthOptions o;
  o.seed = 7;
  o.duration_s = 10 * 60;
  o.heart_rate_bpm = 75;
  const testsupport::SyntheticEcg ecg = testsupport::GenerateSyntheticEcg(o);
  const Recording rec = FromChannels(ecg.samples, ecg.truth);
  // Scored after the 10-s warm-up and the first learning beats.
  const Score s = RunAndScore(rec, 15 * kRate);
  Print("synthetic 10 min normal rhythm", s);
  EXPECT_GT(s.Sensitivity(), 99.5);
  EXPECT_GT(s.PositivePredictivity(), 99.5);
}

TEST(BeatEngineAccuracy, SyntheticVentricularPrematureBeats) {
  testsupport::SynthOptions o;
  o.seed = 11;
  o.duration_s = 10 * 60;
  o.heart_rate_bpm = 75;
  o.ves_fraction = 0.1;
  const testsupport::SyntheticEcg ecg = testsupport::GenerateSyntheticEcg(o);
  const Recording rec = FromChannels(ecg.samples, ecg.truth);
  const Score s = RunAndScore(rec, 15 * kRate);
  Print("synthetic 10 min, 10 % ventricular", s);
  EXPECT_GT(s.Sensitivity(), 99.5);
  EXPECT_GT(s.PositivePredictivity(), 99.5);
  EXPECT_GT(s.VentricularSensitivity(), 95.0);
}

TEST(BeatEngineAccuracy, MitBihRecords) {
  const std::filesystem::path dir = ZK_SHARED_DIR "/data/mitdb";
  if (!std::filesystem::exists(dir / "100.hea")) GTEST_SKIP() << "MIT-BIH records not found in " << dir;
  for (const char* name : {"100", "800"}) {
    SCOPED_TRACE(name);
    const testsupport::WfdbRecord record = testsupport::ReadWfdbRecord(dir / name);
    const auto annotations = testsupport::ReadWfdbAnnotations(dir / (std::string(name) + ".atr"));
    const testsupport::WfdbConversion conversion = testsupport::ConvertWfdbRecord(record, annotations);
    const Recording rec = FromChannels(conversion.cmp_samples, conversion.truth);
    // The standard comparison leaves the first 5 minutes unscored.
    const Score s = RunAndScore(rec, 5 * kMinute);
    Print(std::string("MIT-BIH ") + name, s);
    EXPECT_GT(s.Sensitivity(), 99.0);
    EXPECT_GT(s.PositivePredictivity(), 99.0);
  }
}
