#include "analysis/engine/beat_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "engine_test_signal.h"

using namespace engine_test;

namespace {

struct RunResult {
  bool finished = false;
  CollectingOutput output;
};

RunResult RunEngine(const Recording& rec, BeatEngine& engine) {
  MemorySource source(rec);
  RunResult r;
  engine.BeatEngineInit(&source, &r.output);
  r.finished = engine.BeatEngineRun();
  return r;
}

// What every run must deliver, whatever its input: beats strictly ascending inside the
// recording, known classes, at most one beat per refractory period, and template entries that
// name existing beats, each beat in at most one class.
void ExpectSaneResult(const CollectingOutput& out, int32_t samples) {
  ASSERT_EQ(out.deliveries, 1);
  const std::set<uint8_t> classes = {1, 2, 5, 15, 22};
  int32_t last = 0;
  for (const EngineBeat& b : out.beats) {
    EXPECT_GT(b.position, last);
    EXPECT_LT(b.position, samples);
    EXPECT_TRUE(classes.count(b.beat_class)) << int{b.beat_class};
    last = b.position;
  }
  EXPECT_LE(out.beats.size(), static_cast<size_t>(samples / 26 + 1));
  std::vector<int> seen(out.beats.size(), 0);
  for (int family : {0, 1, 3}) {
    ASSERT_EQ(out.lists[family].size(), static_cast<size_t>(BeatEngineOutput::kClassesPerFamily));
    for (const auto& list : out.lists[family]) {
      for (int32_t index : list) {
        ASSERT_GE(index, 0);
        ASSERT_LT(index, static_cast<int32_t>(out.beats.size()));
        ++seen[static_cast<size_t>(index)];
      }
    }
  }
  for (int count : seen) EXPECT_LE(count, 1);
  EXPECT_GE(out.special, -1);
  EXPECT_LT(out.special, BeatEngineOutput::kClassesPerFamily);
}

// A recording of flat lead 1 and the given lead 0 pattern.
Recording Pattern(int minutes, int16_t (*sample)(int64_t)) {
  Recording rec;
  for (auto& lead : rec.lead) lead.resize(static_cast<size_t>(minutes) * kMinute);
  for (size_t i = 0; i < rec.lead[0].size(); ++i) {
    rec.lead[0][i] = sample(static_cast<int64_t>(i));
    rec.lead[1][i] = sample(static_cast<int64_t>(i) * 7 + 3);
  }
  return rec;
}

}  // namespace

// --- Sample source ---

TEST(BeatEngineSampleSource, ReadsMinuteByMinuteAndEndsWithMinusOne) {
  Recording rec;
  rec.lead[0].assign(2 * kMinute, 0);
  rec.lead[1].assign(2 * kMinute, 0);
  rec.lead[0][7499] = 1234;
  rec.lead[0][7500] = -4321;
  rec.lead[1][7500] = 777;
  MemorySource source(rec);
  BeatEngine e;
  e.BeatEngineInit(&source, nullptr);
  auto read = [&](int16_t* lead0, int16_t* lead1) {
    *lead0 = e.BeatEngineNextSample(0);
    *lead1 = e.BeatEngineNextSample(1);
    EXPECT_EQ(e.BeatEngineNextSample(2), 0);  // the third engine channel is always zero
  };
  int16_t x0 = 0;
  int16_t x1 = 0;
  for (int i = 0; i < 7500; ++i) read(&x0, &x1);
  EXPECT_EQ(x0, 1234);
  EXPECT_EQ(e.MinutesReported(), 1);
  read(&x0, &x1);
  EXPECT_EQ(x0, -4321);
  EXPECT_EQ(x1, 777);
  EXPECT_EQ(e.MinutesReported(), 2);
  for (int i = 1; i < 7500; ++i) read(&x0, &x1);
  EXPECT_EQ(e.BeatEngineNextSample(0), -1);
  EXPECT_EQ(e.MinutesReported(), 2);
  EXPECT_EQ(source.marker_reports, 2);
}

TEST(BeatEngineSampleSource, StepBackWithinAndAcrossMinutes) {
  Recording rec;
  rec.lead[0].resize(3 * kMinute);
  rec.lead[1].resize(3 * kMinute);
  for (size_t i = 0; i < rec.lead[0].size(); ++i) {
    rec.lead[0][i] = static_cast<int16_t>(i % 30000);
    rec.lead[1][i] = static_cast<int16_t>(-static_cast<int>(i % 30000));
  }
  struct Case {
    const char* name;
    int32_t read;  // samples read before stepping back
    int32_t back;
    int32_t want_position;
    int16_t want_sample;
    bool reread;  // the minute had to be loaded again (without marker reporting)
  };
  const Case kCases[] = {
      {"within the minute", 7510, 5, 7505, 7505, false},
      {"to the start of the minute", 7510, 10, 7500, 7500, true},
      {"into the minute before", 7510, 20, 7490, 7490, true},
      {"before the start", 100, 200, 0, -1, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MemorySource source(rec);
    BeatEngine e;
    e.BeatEngineInit(&source, nullptr);
    for (int32_t i = 0; i < c.read; ++i) {
      e.BeatEngineNextSample(0);
      e.BeatEngineNextSample(1);
      e.BeatEngineNextSample(2);
    }
    const int reports = source.marker_reports;
    const int reads = source.minutes_read;
    EXPECT_EQ(e.BeatEngineStepBack(c.back), c.want_sample);
    EXPECT_EQ(e.ReadPosition(), c.want_position);
    EXPECT_EQ(source.minutes_read > reads, c.reread);
    EXPECT_EQ(source.marker_reports, reports);
    EXPECT_EQ(e.BeatEngineNextSample(1), rec.lead[1][static_cast<size_t>(c.want_position)]);
  }
}

TEST(BeatEngineSampleSource, MarkersOfAMinuteReadAgainAfterAStepBackAreNotReportedTwice) {
  Recording rec;
  rec.lead[0].assign(3 * kMinute, 0);
  rec.lead[1].assign(3 * kMinute, 0);
  MemorySource source(rec);
  BeatEngine e;
  e.BeatEngineInit(&source, nullptr);
  auto advance = [&](int n) {
    for (int i = 0; i < n; ++i) {
      e.BeatEngineNextSample(0);
      e.BeatEngineNextSample(1);
      e.BeatEngineNextSample(2);
    }
  };
  advance(7500 + 100);  // into minute 1: minutes 0 and 1 reported
  EXPECT_EQ(source.marker_reports, 2);
  e.BeatEngineStepBack(200);  // back into minute 0
  advance(100 + 7500 + 1);    // minute 1 again (no report), then minute 2 (reported)
  EXPECT_EQ(source.marker_reports, 3);
}

// --- Beat output ---
// The read position stays 0 in these tests, so a delay of -p writes a beat at position p.

TEST(BeatEngineOutput, ABeatNotAfterTheLastOneIsRefused) {
  BeatEngine e;
  e.BeatEngineInit(nullptr, nullptr);
  EXPECT_TRUE(e.BeatEngineAddBeat(-900, 0, 1, 0, 0));
  EXPECT_FALSE(e.BeatEngineAddBeat(-900, 1, 2, 0, 0));  // same position
  EXPECT_FALSE(e.BeatEngineAddBeat(-850, 1, 2, 0, 0));  // earlier
  EXPECT_FALSE(e.BeatEngineAddBeat(0, 1, 2, 0, 0));     // at the read position, long before
  EXPECT_EQ(e.Beats().GetSize(), 1);
  EXPECT_EQ(e.Refusals(), 3);
  EXPECT_TRUE(e.Templates().List(2, 0).empty());
  EXPECT_EQ(e.Beats().Count(1), 1);
  EXPECT_EQ(e.Beats().Count(15), 0);
}

TEST(BeatEngineOutput, KindsFamiliesAndTheClassCap) {
  struct Case {
    const char* name;
    int32_t kind;
    int32_t family;
    int32_t template_class;
    uint8_t want_class;
    bool want_entry;
  };
  const Case kCases[] = {
      {"normal", 0, 1, 3, 1, true},        {"ventricular", 1, 2, 0, 15, true},
      {"atypical", 2, 0, -1, 2, false},    {"artefact", 3, 3, 0, 5, true},
      {"undefined", 5, 1, 999, 22, true},  {"class 1000 is never indexed", 0, 1, 1000, 1, false},
      {"negative class", 0, 2, -1, 1, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    BeatEngine e;
    e.BeatEngineInit(nullptr, nullptr);
    ASSERT_TRUE(e.BeatEngineAddBeat(-500, c.kind, c.family, c.template_class, 1));
    EXPECT_EQ(e.Beats().GetAt(0).beat_class, c.want_class);
    const bool entry = EngineTemplates::IsValid(c.family, c.template_class) &&
                       !e.Templates().List(c.family, c.template_class).empty();
    EXPECT_EQ(entry, c.want_entry);
    if (entry) {
      EXPECT_EQ(e.Templates().Stats(c.family, c.template_class).flagged, 1);
    }
  }
}

TEST(BeatEngineOutput, UndoTakesBackTheLastBeatOrTheOneBeforeIt) {
  BeatEngine e;
  e.BeatEngineInit(nullptr, nullptr);
  EXPECT_FALSE(e.BeatEngineUndoBeat(0));  // nothing to take back
  // Even beats normal (family 1), odd beats ventricular (family 2).
  for (int i = 0; i < 60; ++i) ASSERT_TRUE(e.BeatEngineAddBeat(-100 * (i + 1), i % 2, 1 + i % 2, 0, 0));
  EXPECT_FALSE(e.BeatEngineUndoBeat(1));
  const auto& normal = e.Templates().List(1, 0);
  const auto& ventricular = e.Templates().List(2, 0);
  ASSERT_EQ(normal.size(), 30u);
  ASSERT_EQ(ventricular.size(), 30u);
  EXPECT_EQ(ventricular.back(), 59);

  // The one before: beat 58 (normal) goes; beat 59 becomes beat 58 in its class.
  ASSERT_TRUE(e.BeatEngineUndoBeat(-1));
  EXPECT_EQ(e.Beats().GetSize(), 59);
  EXPECT_EQ(normal.size(), 29u);
  EXPECT_EQ(normal.back(), 56);
  EXPECT_EQ(ventricular.back(), 58);
  EXPECT_EQ(e.Templates().Stats(1, 0).normal, 29);
  EXPECT_EQ(e.Beats().GetAt(58).beat_class, 15);
  EXPECT_EQ(e.Beats().GetAt(58).position, 6000);

  // The history held the newest 50 beats; one went with the undo, 49 more still find their entries.
  for (int i = 0; i < 49; ++i) ASSERT_TRUE(e.BeatEngineUndoBeat(0));
  EXPECT_EQ(e.Beats().GetSize(), 10);
  EXPECT_EQ(normal.size() + ventricular.size(), 10u);
  // Beyond the history the beat goes but its class entry stays.
  ASSERT_TRUE(e.BeatEngineUndoBeat(0));
  EXPECT_EQ(e.Beats().GetSize(), 9);
  EXPECT_EQ(normal.size() + ventricular.size(), 10u);
}

// --- Template assignment ---

TEST(BeatEngineTemplates, TheThousandAndFirstClassOfAGroupIsNeverMade) {
  struct Case {
    const char* name;
    int32_t correlation;  // with the reference: 10000 goes to the normal group, 0 to the other
  };
  const Case kCases[] = {{"normal group", 10000}, {"other group", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    BeatEngine e;
    e.BeatEngineInit(nullptr, nullptr);
    BeatEngine::BeatFeatures beat;
    beat.correlation = {c.correlation, c.correlation};
    for (int i = 0; i < 1000; ++i) {
      beat.amplitude = {1000 * (i + 1), 1000 * (i + 1)};  // no two alike
      const BeatEngine::Assignment a = e.AssignTemplateClassFor(beat);
      ASSERT_EQ(c.correlation ? a.n : a.v, i + 1);
    }
    beat.amplitude = {2000000, 2000000};
    const BeatEngine::Assignment a = e.AssignTemplateClassFor(beat);
    EXPECT_EQ(a.n, -1);
    EXPECT_EQ(a.v, -1);
    EXPECT_EQ(c.correlation ? e.NormalClassCount() : e.OtherClassCount(), 1000);
    if (c.correlation) {
      // A beat like an existing class still joins it.
      beat.amplitude = {5000, 5000};
      EXPECT_EQ(e.AssignTemplateClassFor(beat).n, 5);
    }
  }
}

TEST(BeatEngineTemplates, TooNoisyBeatsAreRefused) {
  BeatEngine e;
  e.BeatEngineInit(nullptr, nullptr);
  BeatEngine::BeatFeatures beat;
  beat.correlation = {1000, 1000};
  beat.amplitude = {300, 300};
  beat.noise_score = {6, 7};
  const BeatEngine::Assignment a = e.AssignTemplateClassFor(beat);
  EXPECT_TRUE(a.refused);
  EXPECT_EQ(a.n, 0);
  EXPECT_EQ(a.v, 0);
}

// --- Learning ---

TEST(BeatEngineLearning, LearnsSixteenBeatsOnACleanRhythm) {
  RhythmOptions o;
  o.minutes = 1;
  const Recording rec = MakeRhythm(o);
  BeatEngine e;
  RunEngine(rec, e);
  EXPECT_TRUE(e.LearningComplete());
  EXPECT_EQ(e.WantedLearningBeats(), 16);
  EXPECT_EQ(e.LearningPasses(), 1);
}

TEST(BeatEngineLearning, AfterFiveFailedPassesEightBeatsSuffice) {
  // Bigeminy (every second beat ventricular) never gives enough alike beats; a clean rhythm
  // follows.
  RhythmOptions o;
  o.minutes = 6;
  o.ventricular_every = 2;
  o.prematurity = 0.7;
  Recording rec = MakeRhythm(o);
  RhythmOptions clean;
  clean.minutes = 2;
  const Recording tail = MakeRhythm(clean);
  for (int lead = 0; lead < 2; ++lead)
    rec.lead[lead].insert(rec.lead[lead].end(), tail.lead[lead].begin(), tail.lead[lead].end());
  BeatEngine e;
  RunEngine(rec, e);
  EXPECT_EQ(e.WantedLearningBeats(), 8);
  EXPECT_GE(e.LearningPasses(), 6);
  EXPECT_TRUE(e.LearningComplete());
}

// --- Whole runs ---

TEST(BeatEngineRun, ARecordingShorterThanWarmUpAndLearningGivesNoBeatsAndStillFinishes) {
  struct Case {
    const char* name;
    size_t samples;
  };
  const Case kCases[] = {{"no whole minute", kMinute / 4}, {"nothing at all", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RhythmOptions o;
    o.minutes = 1;
    Recording rec = MakeRhythm(o);
    rec.lead[0].resize(c.samples);
    rec.lead[1].resize(c.samples);
    BeatEngine e;
    RunResult r = RunEngine(rec, e);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.output.deliveries, 1);
    EXPECT_TRUE(r.output.beats.empty());
    EXPECT_EQ(r.output.special, -1);
    EXPECT_FALSE(e.IsRunning());
  }
}

TEST(BeatEngineRun, NormalRhythmWithVentricularBeatsIsFoundAndClassed) {
  RhythmOptions o;
  o.minutes = 5;
  o.ventricular_every = 10;
  o.noise_mv = 0.02;
  const Recording rec = MakeRhythm(o);
  BeatEngine e;
  RunResult r = RunEngine(rec, e);
  ExpectSaneResult(r.output, o.minutes * kMinute);
  // Scored after the warm-up and the first learning beat.
  const Score s = Compare(rec.truth, r.output.beats, 19, 15 * kRate);
  EXPECT_GT(s.Sensitivity(), 99.0);
  EXPECT_GT(s.PositivePredictivity(), 99.0);
  EXPECT_GT(s.VentricularSensitivity(), 95.0);
  EXPECT_GT(s.VentricularPredictivity(), 95.0);
  // Positions within one sample of the R peaks.
  int far = 0;
  for (const EngineBeat& b : r.output.beats) {
    const auto it = std::min_element(rec.truth.begin(), rec.truth.end(), [&](const TruthBeat& x, const TruthBeat& y) {
      return std::abs(x.position - b.position) < std::abs(y.position - b.position);
    });
    if (std::abs(it->position - b.position) > 2 && !it->ventricular) ++far;
  }
  EXPECT_EQ(far, 0);
}

TEST(BeatEngineRun, TwoRunsOnTheSameRecordingGiveIdenticalResults) {
  RhythmOptions o;
  o.minutes = 4;
  o.ventricular_every = 7;
  o.noise_mv = 0.05;
  const Recording rec = MakeRhythm(o);
  BeatEngine reused;
  const RunResult first = RunEngine(rec, reused);
  const RunResult second = RunEngine(rec, reused);
  BeatEngine fresh;
  const RunResult third = RunEngine(rec, fresh);
  ASSERT_FALSE(first.output.beats.empty());
  EXPECT_EQ(first.output.beats, second.output.beats);
  EXPECT_EQ(first.output.beats, third.output.beats);
  for (int family : {0, 1, 3}) {
    EXPECT_EQ(first.output.lists[family], second.output.lists[family]);
    EXPECT_EQ(first.output.lists[family], third.output.lists[family]);
  }
  EXPECT_EQ(first.output.special, third.output.special);
}

TEST(BeatEngineRun, FlatClippedAndNoisyChannelsGiveNoGarbage) {
  struct Case {
    const char* name;
    int16_t (*sample)(int64_t);
  };
  const Case kCases[] = {
      {"flat zero", [](int64_t) -> int16_t { return 0; }},
      {"flat offset", [](int64_t) -> int16_t { return -20000; }},
      {"clipped square wave", [](int64_t i) -> int16_t { return (i / 40) % 2 ? 32767 : -32768; }},
      {"clipped spikes", [](int64_t i) -> int16_t { return i % 97 < 2 ? 32767 : -32768; }},
      {"full-scale noise",
       [](int64_t i) -> int16_t {
         uint32_t x = static_cast<uint32_t>(i) * 2654435761u;
         x ^= x >> 13;
         x *= 0x5bd1e995u;
         return static_cast<int16_t>(x >> 16);
       }},
      {"small noise",
       [](int64_t i) -> int16_t {
         uint32_t x = static_cast<uint32_t>(i) * 2654435761u;
         x ^= x >> 15;
         return static_cast<int16_t>(static_cast<int>(x % 200) - 100);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Recording rec = Pattern(6, c.sample);
    BeatEngine e;
    RunResult r = RunEngine(rec, e);
    EXPECT_TRUE(r.finished);
    ExpectSaneResult(r.output, 6 * kMinute);
  }
}

TEST(BeatEngineRun, OneAnalysedChannelAndMixedLeads) {
  RhythmOptions o;
  o.minutes = 3;
  o.ventricular_every = 9;
  struct Case {
    const char* name;
    int channels;
    bool flat_second;
    bool clipped_second;
  };
  const Case kCases[] = {{"one analysed channel", 1, false, false},
                         {"second lead flat", 2, true, false},
                         {"second lead overdriven into clipping", 2, false, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Recording rec = MakeRhythm(o);
    rec.analysed_channels = c.channels;
    if (c.flat_second) std::fill(rec.lead[1].begin(), rec.lead[1].end(), int16_t{0});
    if (c.clipped_second)
      for (auto& x : rec.lead[1]) x = beat_engine::Sat16(int64_t{x} * 300);
    BeatEngine e;
    RunResult r = RunEngine(rec, e);
    ExpectSaneResult(r.output, o.minutes * kMinute);
    const Score s = Compare(rec.truth, r.output.beats, 19, 15 * kRate);
    EXPECT_GT(s.Sensitivity(), 97.0);
    EXPECT_GT(s.PositivePredictivity(), 97.0);
  }
}

TEST(BeatEngineRun, ConsolidationKeepsAtMostThirteenNormalClasses) {
  // Twenty-four beat sizes, each too far from the others to share a class, make many normal
  // classes during the run.
  RhythmOptions o;
  o.minutes = 4;
  o.amplitude_cycle = 24;
  const Recording rec = MakeRhythm(o);
  BeatEngine e;
  RunResult r = RunEngine(rec, e);
  ExpectSaneResult(r.output, o.minutes * kMinute);
  EXPECT_GT(e.NormalClassCount(), 13);
  int normal_classes = 0;
  for (const auto& list : r.output.lists[0]) normal_classes += list.empty() ? 0 : 1;
  EXPECT_GE(normal_classes, 1);
  EXPECT_LE(normal_classes, 13);
  // After consolidation all artefact beats sit in artefact class 0, in beat order.
  const auto& artefacts = r.output.lists[3][0];
  EXPECT_TRUE(std::is_sorted(artefacts.begin(), artefacts.end()));
  for (size_t k = 1; k < r.output.lists[3].size(); ++k) EXPECT_TRUE(r.output.lists[3][k].empty());
}

TEST(BeatEngineRun, BeatsAroundAFiveMinuteFlatLineKeepTheirPositions) {
  // 2 minutes of rhythm, 5 minutes of disconnected leads, 2 minutes of rhythm: more samples
  // without a beat than a 16-bit counter holds.
  RhythmOptions o;
  o.minutes = 2;
  const Recording part = MakeRhythm(o);
  Recording rec;
  const int32_t gap = 5 * kMinute;
  for (int lead = 0; lead < 2; ++lead) {
    rec.lead[lead] = part.lead[lead];
    rec.lead[lead].resize(rec.lead[lead].size() + static_cast<size_t>(gap), 0);
    rec.lead[lead].insert(rec.lead[lead].end(), part.lead[lead].begin(), part.lead[lead].end());
  }
  rec.truth = part.truth;
  for (const TruthBeat& b : part.truth) rec.truth.push_back({b.position + 2 * kMinute + gap, b.ventricular});
  BeatEngine e;
  RunResult r = RunEngine(rec, e);
  ExpectSaneResult(r.output, 9 * kMinute);
  const Score s = Compare(rec.truth, r.output.beats, 19, 15 * kRate);
  EXPECT_GT(s.Sensitivity(), 98.0);
  EXPECT_EQ(s.detected, s.true_positive);  // nothing written into the gap
  // The last beat before the gap is written once the first beat after it is known.
  const int32_t last_before = part.truth.back().position;
  const bool written = std::any_of(r.output.beats.begin(), r.output.beats.end(),
                                   [&](const EngineBeat& b) { return std::abs(b.position - last_before) <= 2; });
  EXPECT_TRUE(written);
}

TEST(BeatEngineRun, ABaselineOffsetGivesNoFalseBeatWhereLearningRewinds) {
  for (const int offset : {0, 800, -2000}) {
    SCOPED_TRACE(offset);
    RhythmOptions o;
    o.minutes = 2;
    Recording rec = MakeRhythm(o);
    for (auto& lead : rec.lead)
      for (auto& x : lead) x = beat_engine::Sat16(int64_t{x} + offset);
    BeatEngine e;
    RunResult r = RunEngine(rec, e);
    const Score s = Compare(rec.truth, r.output.beats, 19);
    EXPECT_EQ(s.detected, s.true_positive);
    EXPECT_GT(s.true_positive, 0);
  }
}
