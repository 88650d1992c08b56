#include "support/ecg_synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/archive.h"
#include "support/cmp_reference_decoder.h"
#include "support/test_files.h"

namespace testsupport {
namespace {

std::filesystem::path TestDir() { return MakeTestDir("synth"); }

SynthOptions Mixed() {
  SynthOptions o;
  o.seed = 42;
  o.duration_s = 10 * 60;
  o.channels = 3;
  o.ves_fraction = 0.08;
  o.sves_fraction = 0.08;
  o.pauses_per_hour = 30;
  o.paced_fraction = 0.05;
  return o;
}

// Height of a sample above the lowest sample within 15 samples (120 ms) either side.
int Prominence(const std::vector<int16_t>& x, size_t i) {
  const size_t lo = i >= 15 ? i - 15 : 0;
  const size_t hi = std::min(x.size() - 1, i + 15);
  return x[i] - *std::min_element(x.begin() + static_cast<ptrdiff_t>(lo), x.begin() + static_cast<ptrdiff_t>(hi) + 1);
}

TEST(EcgSynthesizer, SameSeedSameRecordingOtherSeedOtherRecording) {
  const SynthOptions options = Mixed();
  const SyntheticEcg a = GenerateSyntheticEcg(options);
  const SyntheticEcg b = GenerateSyntheticEcg(options);
  EXPECT_EQ(a.cmp_bytes, b.cmp_bytes);
  EXPECT_EQ(a.truth, b.truth);
  SynthOptions other = options;
  other.seed = 43;
  const SyntheticEcg c = GenerateSyntheticEcg(other);
  EXPECT_NE(a.cmp_bytes, c.cmp_bytes);
  EXPECT_NE(a.truth.beats, c.truth.beats);
}

// The list says where the beats are: each listed beat is the tallest sample of its QRS in channel 0,
// and channel 0 has no QRS-sized peak the list does not name.
TEST(EcgSynthesizer, BeatListMatchesTheWrittenSignal) {
  const SyntheticEcg ecg = GenerateSyntheticEcg(Mixed());
  ASSERT_EQ(ecg.samples.size(), 3u);
  const std::vector<int16_t>& x = ecg.samples[0];
  ASSERT_EQ(x.size(), 10u * kSamplesPerMinute);
  ASSERT_GT(ecg.truth.beats.size(), 600u);
  for (const TruthBeat& beat : ecg.truth.beats) {
    SCOPED_TRACE(std::to_string(beat.position) + " class " + std::to_string(beat.beat_class));
    const size_t p = static_cast<size_t>(beat.position);
    if (p < 15 || p + 15 >= x.size()) continue;
    const auto window = x.begin() + static_cast<ptrdiff_t>(p);
    const int16_t peak = *std::max_element(window - 4, window + 5);
    EXPECT_EQ(x[p], peak) << "peak within 32 ms of the listed position";
    EXPECT_GT(Prominence(x, p), 180) << "a QRS, not a P or T wave";
  }
  size_t next = 0;
  for (size_t i = 15; i + 15 < x.size(); ++i) {
    if (x[i] < x[i - 1] || x[i] < x[i + 1] || Prominence(x, i) < 120) continue;
    while (next < ecg.truth.beats.size() && ecg.truth.beats[next].position + 8 < static_cast<int32_t>(i)) ++next;
    ASSERT_LT(next, ecg.truth.beats.size());
    // Paced beats have their spike 6 samples before the QRS.
    EXPECT_LE(std::abs(ecg.truth.beats[next].position - static_cast<int32_t>(i)), 8) << "unlisted peak at " << i;
  }
}

TEST(EcgSynthesizer, RhythmFollowsTheOptions) {
  SynthOptions o = Mixed();
  o.duration_s = 30 * 60;
  o.paced_fraction = 0.0;
  const SyntheticEcg ecg = GenerateSyntheticEcg(o);
  std::map<int, int> counts;
  for (const TruthBeat& b : ecg.truth.beats) ++counts[b.beat_class];
  const double total = static_cast<double>(ecg.truth.beats.size());
  EXPECT_NEAR(counts[kClassVes] / total, 0.08, 0.02);
  EXPECT_NEAR(counts[kClassSves] / total, 0.08, 0.02);
  EXPECT_EQ(counts[kClassNormal] + counts[kClassVes] + counts[kClassSves], static_cast<int>(total));

  // Sinus RR intervals average the asked rate; premature beats come early; a ventricular beat's
  // neighbours are two sinus intervals apart.
  const auto& beats = ecg.truth.beats;
  double sinus_sum = 0.0;
  int sinus_count = 0;
  for (size_t i = 1; i + 1 < beats.size(); ++i) {
    const int32_t rr = beats[i].position - beats[i - 1].position;
    if (beats[i].beat_class == kClassNormal && beats[i - 1].beat_class == kClassNormal && rr < 200) {
      sinus_sum += rr;
      ++sinus_count;
    }
    if (beats[i].beat_class == kClassVes || beats[i].beat_class == kClassSves) {
      EXPECT_LT(rr, 0.8 * 60000.0 / o.heart_rate_bpm / 8.0) << "premature at " << beats[i].position;
    }
    if (beats[i].beat_class == kClassVes && beats[i - 1].beat_class == kClassNormal &&
        beats[i + 1].beat_class == kClassNormal) {
      const int32_t around = beats[i + 1].position - beats[i - 1].position;
      EXPECT_NEAR(around, 2.0 * 60000.0 / o.heart_rate_bpm / 8.0, 60.0) << "compensatory pause";
    }
  }
  EXPECT_NEAR(sinus_sum / sinus_count, 60000.0 / o.heart_rate_bpm / 8.0, 5.0);

  int pauses = 0;
  for (const TruthEvent& e : ecg.truth.events) {
    if (e.kind != kKindPause) continue;
    ++pauses;
    EXPECT_GE(e.end - e.start, 0.9 * o.pause_ms / 8.0 - 1);
    EXPECT_TRUE(std::any_of(beats.begin(), beats.end(), [&](const TruthBeat& b) { return b.position == e.start; }));
    EXPECT_TRUE(std::any_of(beats.begin(), beats.end(), [&](const TruthBeat& b) { return b.position == e.end; }));
  }
  EXPECT_GE(pauses, 5);
  EXPECT_LE(pauses, 30);
}

TEST(EcgSynthesizer, FileHoldsWhatTheTruthDescribes) {
  struct Case {
    const char* name;
    CmpFormat format;
    CmpMode mode;
    int channels;
  };
  const Case cases[] = {{"new, 1 channel", CmpFormat::kNew, CmpMode::kCodedFull, 1},
                        {"new, 3 channels", CmpFormat::kNew, CmpMode::kCodedFull, 3},
                        {"new, half rate", CmpFormat::kNew, CmpMode::kCodedHalf, 2},
                        {"old", CmpFormat::kOld, CmpMode::kCodedFull, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SynthOptions o;
    o.duration_s = 125;  // three minutes shown
    o.channels = c.channels;
    o.format = c.format;
    o.mode = c.mode;
    const SyntheticEcg ecg = GenerateSyntheticEcg(o);
    EXPECT_EQ(ecg.minutes, 3);
    const ReferenceDecoding read = DecodeCmpReference(ecg.cmp_bytes);
    EXPECT_EQ(read.whole_minutes, 3);
    EXPECT_EQ(read.channels, c.channels);
    ASSERT_EQ(ecg.samples.size(), static_cast<size_t>(c.channels));
    for (size_t ch = 0; ch < ecg.samples.size(); ++ch) {
      EXPECT_TRUE(std::equal(ecg.samples[ch].begin(), ecg.samples[ch].end(), read.samples[ch].begin()));
    }
    for (int mode : read.block_modes) EXPECT_EQ(mode, static_cast<int>(c.mode));
    EXPECT_LT(ecg.truth.beats.back().position, 3 * kSamplesPerMinute);
  }
}

TEST(EcgSynthesizer, PacedBeatsCarrySpikesAndMarkers) {
  SynthOptions o;
  o.duration_s = 120;
  o.paced_fraction = 1.0;
  const SyntheticEcg ecg = GenerateSyntheticEcg(o);
  ASSERT_FALSE(ecg.truth.beats.empty());
  std::vector<int32_t> spikes;
  for (const TruthBeat& b : ecg.truth.beats) {
    EXPECT_EQ(b.beat_class, kClassPaced);
    spikes.push_back(b.position - 6);
  }
  std::vector<int32_t> spike_events;
  for (const TruthEvent& e : ecg.truth.events) {
    if (e.kind == kClassPacemakerSpike) spike_events.push_back(e.start);
  }
  EXPECT_EQ(spike_events, spikes);
  std::vector<int32_t> read_markers;
  for (const ReferenceMarker& m : DecodeCmpReference(ecg.cmp_bytes).markers) {
    EXPECT_TRUE(m.is_code);
    EXPECT_EQ(m.value, 0) << "pacemaker marker code";
    EXPECT_EQ(m.channel, 0);
    if (m.position + 6 < 2 * kSamplesPerMinute) read_markers.push_back(m.position);  // beats shown
  }
  std::sort(read_markers.begin(), read_markers.end());
  EXPECT_EQ(read_markers, spikes);
  // The spike is a single sample standing out of the baseline before the QRS.
  for (int32_t s : spikes) {
    if (s < 2) continue;
    EXPECT_GT(ecg.samples[0][static_cast<size_t>(s)] - ecg.samples[0][static_cast<size_t>(s - 2)], 120) << s;
  }

  o.pacemaker_markers = false;
  EXPECT_TRUE(DecodeCmpReference(GenerateSyntheticEcg(o).cmp_bytes).markers.empty());
}

TEST(EcgSynthesizer, StEpisodeShiftsTheSegmentAfterTheQrs) {
  SynthOptions o;
  o.duration_s = 180;
  o.noise_uv = 0.0;
  o.baseline_uv = 0.0;
  o.hrv_sd_ms = 0.0;
  o.st_episodes = {{60000, 120000, -200, 0x1}};
  const SyntheticEcg ecg = GenerateSyntheticEcg(o);
  // ST level: 80 ms after R against the PR segment 64 ms before it.
  auto st_level = [&](int ch, int32_t r) {
    const auto& x = ecg.samples[static_cast<size_t>(ch)];
    return x[static_cast<size_t>(r + 10)] - x[static_cast<size_t>(r - 8)];
  };
  // Compare the mean ST level inside and outside the episode: 200 uV = 40 units lower inside.
  double inside_sum = 0.0;
  double outside_sum = 0.0;
  int inside_n = 0;
  int outside_n = 0;
  double other_inside = 0.0;
  double other_outside = 0.0;
  for (const TruthBeat& b : ecg.truth.beats) {
    if (b.position < 100 || b.position + 100 > 3 * kSamplesPerMinute) continue;
    const bool inside = b.position >= 7500 && b.position < 15000;
    (inside ? inside_sum : outside_sum) += st_level(0, b.position);
    (inside ? other_inside : other_outside) += st_level(1, b.position);
    ++(inside ? inside_n : outside_n);
  }
  EXPECT_NEAR(inside_sum / inside_n - outside_sum / outside_n, -40.0, 3.0);
  EXPECT_NEAR(other_inside / inside_n - other_outside / outside_n, 0.0, 3.0) << "channel 1 not in the mask";
  const TruthEvent episode{kKindStEpisode1, 7500, 15000};
  EXPECT_NE(std::find(ecg.truth.events.begin(), ecg.truth.events.end(), episode), ecg.truth.events.end());
}

TEST(EcgSynthesizer, NoiseHasTheAskedSize) {
  SynthOptions quiet;
  quiet.duration_s = 60;
  quiet.noise_uv = 0.0;
  SynthOptions noisy = quiet;
  noisy.noise_uv = 50.0;
  const SyntheticEcg a = GenerateSyntheticEcg(quiet);
  const SyntheticEcg b = GenerateSyntheticEcg(noisy);
  double sum = 0.0;
  double square = 0.0;
  const auto& x = a.samples[0];
  const auto& y = b.samples[0];
  for (size_t i = 0; i < x.size(); ++i) {
    const double d = y[i] - x[i];
    sum += d;
    square += d * d;
  }
  const double n = static_cast<double>(x.size());
  EXPECT_NEAR(sum / n, 0.0, 0.5);
  EXPECT_NEAR(std::sqrt(square / n - (sum / n) * (sum / n)), 10.0, 1.0) << "50 uV = 10 units";
  EXPECT_EQ(a.truth, b.truth) << "noise changes no beat";
}

TEST(EcgSynthesizer, RefusesOptionsOutOfRange) {
  struct Case {
    const char* name;
    void (*change)(SynthOptions&);
  };
  const Case cases[] = {
      {"zero duration", [](SynthOptions& o) { o.duration_s = 0; }},
      {"more than 72 h", [](SynthOptions& o) { o.duration_s = 72 * 3600 + 1; }},
      {"old format beyond 24 h",
       [](SynthOptions& o) {
         o.format = CmpFormat::kOld;
         o.duration_s = 24 * 3600 + 60;
       }},
      {"four channels", [](SynthOptions& o) { o.channels = 4; }},
      {"old format with 3 channels",
       [](SynthOptions& o) {
         o.format = CmpFormat::kOld;
         o.channels = 3;
       }},
      {"old format raw",
       [](SynthOptions& o) {
         o.format = CmpFormat::kOld;
         o.mode = CmpMode::kRawFull;
       }},
      {"heart rate 10", [](SynthOptions& o) { o.heart_rate_bpm = 10; }},
      {"ectopics beyond half",
       [](SynthOptions& o) {
         o.ves_fraction = 0.3;
         o.sves_fraction = 0.3;
       }},
      {"negative noise", [](SynthOptions& o) { o.noise_uv = -1; }},
      {"ST episode ends before it starts",
       [](SynthOptions& o) {
         o.st_episodes = {{5000, 4000, -100, 1}};
       }},
      {"31 February",
       [](SynthOptions& o) {
         o.start.month = 2;
         o.start.day = 31;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SynthOptions o;
    c.change(o);
    EXPECT_THROW(CheckSynthOptions(o), std::invalid_argument);
  }
  EXPECT_NO_THROW(CheckSynthOptions(SynthOptions{}));
  SynthOptions longest;
  longest.duration_s = 48 * 3600;
  EXPECT_NO_THROW(CheckSynthOptions(longest));
}

TEST(EcgSynthesizer, WritesTheRecordingFiles) {
  const std::filesystem::path dir = TestDir();
  SynthOptions o;
  o.duration_s = 150;
  o.channels = 3;
  o.ves_fraction = 0.1;
  o.start = {2023, 6, 30, 22, 15, 5};
  const TruthList truth = WriteSyntheticRecording(dir / "00007", o);
  const SyntheticEcg in_memory = GenerateSyntheticEcg(o);
  EXPECT_EQ(truth, in_memory.truth);
  EXPECT_EQ(platform::ReadFileBytes(dir / "00007.CMP"), in_memory.cmp_bytes);
  EXPECT_EQ(ReadTruthList(dir / "00007.truth.txt"), truth);
  const RecordingSetup setup = ReadRecordingSetup(dir / "00007.setup.txt");
  EXPECT_EQ(setup.sample_file, "00007.CMP");
  EXPECT_EQ(setup.truth_file, "00007.truth.txt");
  EXPECT_EQ(setup.channels, 3);
  EXPECT_EQ(setup.minutes, 3);
  EXPECT_EQ(setup.format, "new");
  EXPECT_EQ(setup.start, o.start);
}

}  // namespace
}  // namespace testsupport
