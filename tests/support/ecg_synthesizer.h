#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "support/cmp_writer.h"
#include "support/recording_setup.h"
#include "support/truth_list.h"

namespace testsupport {

// An ST level change over a span of the recording.
struct StEpisode {
  int32_t start_ms = 0;
  int32_t end_ms = 0;
  int shift_uv = -150;     // negative: depression
  int channel_mask = 0x7;  // bit c: recorder channel c
};

// What to synthesise. Everything random derives from `seed`: equal options give equal files.
struct SynthOptions {
  uint64_t seed = 1;
  int32_t duration_s = 600;       // rounded up to whole minutes; at most 72 h (24 h in the old format)
  int channels = 2;               // 1..3; the old format holds exactly 2
  double heart_rate_bpm = 70.0;   // mean sinus rate, 30..200
  double hrv_sd_ms = 40.0;        // variability of the sinus RR interval (breathing, slow drift, jitter)
  double ves_fraction = 0.0;      // share of all beats that are ventricular premature beats
  double sves_fraction = 0.0;     // share that are supraventricular premature beats; both together <= 0.5
  double pauses_per_hour = 0.0;   // sinus pauses
  int32_t pause_ms = 2400;        // their length, +-10 %
  double paced_fraction = 0.0;    // share of sinus beats replaced by paced beats (1: pacemaker rhythm)
  bool pacemaker_markers = true;  // paced beats carry the recorder's pacemaker marker (code 0, channel 0)
  double noise_uv = 10.0;         // white noise, standard deviation
  double baseline_uv = 60.0;      // baseline wander amplitude
  std::vector<StEpisode> st_episodes;
  CmpFormat format = CmpFormat::kNew;
  CmpMode mode = CmpMode::kCodedFull;
  RecordingStart start;
};

// A generated recording held in memory.
struct SyntheticEcg {
  int minutes = 0;                            // whole minutes a reader shows
  std::vector<std::vector<int16_t>> samples;  // per channel, minutes x 7500: what a reader decodes
  TruthList truth;                            // beats and events within those minutes
  std::vector<CmpMarker> markers;             // markers as a reader reports them
  std::vector<uint8_t> cmp_bytes;             // the sample file
};

// Throws std::invalid_argument naming the first option out of range.
void CheckSynthOptions(const SynthOptions& options);

// Beat positions are the sample of the main QRS peak in channel 0 (tall R of normal and
// supraventricular beats, the wide main deflection of ventricular and paced beats). Morphology in
// 5-microvolt units: normal P-QRS-T (QRS about 80 ms, R about 1.3 mV in channel 0), supraventricular
// beats premature with an inverted P and a normal QRS, ventricular beats premature, wide (about
// 150 ms), tall, without P and with a discordant T, then a compensatory pause; paced beats with a
// one-sample spike 48 ms before a wide QRS.
//
// The new format's reader shows one minute fewer than the file holds, so the file gets one more
// minute than asked for; truth and samples cover the minutes a reader shows.
SyntheticEcg GenerateSyntheticEcg(const SynthOptions& options);

// Writes <base>.CMP, <base>.truth.txt and <base>.setup.txt (see recording_setup.h), each replaced
// atomically, without keeping the samples in memory. Returns the truth.
TruthList WriteSyntheticRecording(const std::filesystem::path& base, const SynthOptions& options);

}  // namespace testsupport
