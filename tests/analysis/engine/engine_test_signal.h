#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/engine/beat_engine_output.h"
#include "analysis/engine/beat_sample_source.h"
#include "analysis/engine/engine_math.h"

namespace engine_test {

constexpr int kRate = beat_engine::kSampleRate;
constexpr int kMinute = beat_engine::kSamplesPerMinute;
// Sample units are 5 microvolts: 200 units per millivolt.
constexpr double kUnitsPerMv = 200.0;

// One wave of a beat: a Gaussian of the given height (mV), centre and width (ms, from the R peak).
struct Wave {
  double mv;
  double centre_ms;
  double sigma_ms;
};

// The shape of one beat on the two leads.
struct BeatShape {
  std::vector<Wave> lead[2];
};

inline BeatShape NormalShape() {
  return {{{{0.15, -160, 22}, {-0.12, -28, 9}, {1.3, 0, 11}, {-0.35, 28, 10}, {0.35, 260, 45}},
           {{0.10, -160, 22}, {-0.05, -28, 9}, {0.8, 0, 12}, {-0.45, 30, 11}, {0.25, 260, 45}}}};
}

// A wide ventricular complex with its T wave turned over.
inline BeatShape VentricularShape() {
  return {{{{1.6, 0, 38}, {-0.7, 90, 40}, {-0.5, 280, 60}},
           {{-1.1, 10, 40}, {0.5, 100, 40}, {0.4, 290, 60}}}};
}

struct TruthBeat {
  int32_t position;  // sample of the R peak
  bool ventricular;
};

// Two leads at 125 Hz with the beats placed at the truth positions; whole minutes only.
struct Recording {
  std::vector<int16_t> lead[2];
  std::vector<TruthBeat> truth;
  int analysed_channels = 2;
};

struct RhythmOptions {
  int minutes = 2;
  double rate_bpm = 72.0;
  int ventricular_every = 0;  // every n-th beat ventricular (0: none)
  double prematurity = 0.6;   // coupling interval of a ventricular beat / normal interval
  double noise_mv = 0.0;      // deterministic pseudo-random noise amplitude
  double amplitude = 1.0;     // scale of every beat
  int amplitude_cycle = 0;    // beat k is scaled by 1 + (k % cycle): that many distinct sizes
};

inline void AddBeat(Recording& rec, const BeatShape& shape, double centre, double scale) {
  const int n = static_cast<int>(rec.lead[0].size());
  for (int lead = 0; lead < 2; ++lead) {
    for (const Wave& w : shape.lead[lead]) {
      const double centre_s = centre + w.centre_ms * kRate / 1000.0;
      const double sigma_s = w.sigma_ms * kRate / 1000.0;
      const int from = std::max(0, static_cast<int>(centre_s - 5 * sigma_s));
      const int to = std::min(n - 1, static_cast<int>(centre_s + 5 * sigma_s) + 1);
      for (int i = from; i <= to; ++i) {
        const double z = (i - centre_s) / sigma_s;
        const double v = rec.lead[lead][static_cast<size_t>(i)] + scale * w.mv * kUnitsPerMv * std::exp(-0.5 * z * z);
        rec.lead[lead][static_cast<size_t>(i)] = beat_engine::Sat16(static_cast<int64_t>(std::lround(v)));
      }
    }
  }
}

// A regular rhythm with optional premature ventricular beats followed by a compensatory pause.
inline Recording MakeRhythm(const RhythmOptions& o) {
  Recording rec;
  const size_t n = static_cast<size_t>(o.minutes) * kMinute;
  rec.lead[0].assign(n, 0);
  rec.lead[1].assign(n, 0);
  const double rr = 60.0 * kRate / o.rate_bpm;
  // Slight, deterministic variability so that intervals are not all identical.
  double t = rr * 0.5;
  int index = 0;
  while (t < static_cast<double>(n) - rr * 0.5) {
    const bool ventricular = o.ventricular_every > 0 && index % o.ventricular_every == o.ventricular_every - 1;
    double centre = t;
    if (ventricular) centre = t - rr * (1.0 - o.prematurity);
    const double scale = o.amplitude * (o.amplitude_cycle > 0 ? 1 + index % o.amplitude_cycle : 1);
    AddBeat(rec, ventricular ? VentricularShape() : NormalShape(), centre, scale);
    rec.truth.push_back({static_cast<int32_t>(std::lround(centre)), ventricular});
    t += rr * (1.0 + 0.03 * std::sin(index * 0.7));
    ++index;
  }
  if (o.noise_mv > 0) {
    uint32_t seed = 12345;
    for (int lead = 0; lead < 2; ++lead) {
      for (auto& s : rec.lead[lead]) {
        seed = seed * 1664525u + 1013904223u;
        const double u = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 2.0;
        s = beat_engine::Sat16(static_cast<int64_t>(std::lround(s + u * o.noise_mv * kUnitsPerMv)));
      }
    }
  }
  return rec;
}

// Serves a recording from memory, as the sample store would.
class MemorySource : public BeatSampleSource {
 public:
  explicit MemorySource(const Recording& rec) : rec_(rec) {}

  void Reopen() override { ++reopened; }
  int32_t GetWholeMinutes() const override {
    return static_cast<int32_t>(rec_.lead[0].size() / kMinute);
  }
  int GetAnalysedChannelCount() const override { return rec_.analysed_channels; }
  void GetAnalysisMinute(std::span<int16_t, kMinute> samples, int lead, int32_t minute,
                         bool report_markers) override {
    if (fail_at_minute >= 0 && minute == fail_at_minute) throw std::runtime_error("read fault");
    ++minutes_read;
    if (report_markers && lead == 0) ++marker_reports;
    const auto& data = rec_.lead[rec_.analysed_channels == 1 ? 0 : lead];
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(minute) * kMinute, kMinute, samples.begin());
  }

  int reopened = 0;
  int minutes_read = 0;
  int marker_reports = 0;
  int fail_at_minute = -1;

 private:
  const Recording& rec_;
};

// Keeps what a finished run delivers.
class CollectingOutput : public BeatEngineOutput {
 public:
  void SetBeats(std::span<const EngineBeat> b) override { beats.assign(b.begin(), b.end()); ++deliveries; }
  void SetTemplateList(TemplateFamily family, int template_class, std::span<const int32_t> indices) override {
    auto& f = lists[static_cast<int>(family)];
    if (f.size() < static_cast<size_t>(kClassesPerFamily)) f.resize(kClassesPerFamily);
    f[static_cast<size_t>(template_class)].assign(indices.begin(), indices.end());
  }
  void SetSpecialNormalClass(int32_t index) override { special = index; }

  std::vector<EngineBeat> beats;
  std::vector<std::vector<int32_t>> lists[4];
  int32_t special = -2;
  int deliveries = 0;
};

// Beat-by-beat comparison with a match window, the standard way: each reference beat is matched
// by the nearest unused detection within the window.
struct Score {
  int reference = 0;
  int detected = 0;
  int true_positive = 0;
  int ventricular_reference = 0;
  int ventricular_detected_as_ventricular = 0;
  int ventricular_positive = 0;       // detections classed ventricular
  int ventricular_true_positive = 0;  // ... that match a ventricular reference
  double Sensitivity() const { return reference ? 100.0 * true_positive / reference : 0; }
  double PositivePredictivity() const { return detected ? 100.0 * true_positive / detected : 0; }
  double VentricularSensitivity() const {
    return ventricular_reference ? 100.0 * ventricular_detected_as_ventricular / ventricular_reference : 0;
  }
  double VentricularPredictivity() const {
    return ventricular_positive ? 100.0 * ventricular_true_positive / ventricular_positive : 0;
  }
};

inline Score Compare(const std::vector<TruthBeat>& truth, const std::vector<EngineBeat>& beats, int window,
                     int32_t from = 0) {
  Score s;
  std::vector<bool> used(beats.size(), false);
  size_t j = 0;
  for (const TruthBeat& t : truth) {
    if (t.position < from) continue;
    ++s.reference;
    if (t.ventricular) ++s.ventricular_reference;
    while (j < beats.size() && beats[j].position < t.position - window) ++j;
    size_t best = beats.size();
    int32_t best_d = window + 1;
    for (size_t k = j; k < beats.size() && beats[k].position <= t.position + window; ++k) {
      const int32_t dist = std::abs(beats[k].position - t.position);
      if (!used[k] && dist < best_d) {
        best = k;
        best_d = dist;
      }
    }
    if (best < beats.size()) {
      used[best] = true;
      ++s.true_positive;
      const bool v = beats[best].beat_class == 15;
      if (t.ventricular && v) ++s.ventricular_detected_as_ventricular;
      if (t.ventricular && v) ++s.ventricular_true_positive;
    }
  }
  for (const EngineBeat& b : beats) {
    if (b.position < from) continue;
    ++s.detected;
    if (b.beat_class == 15) ++s.ventricular_positive;
  }
  return s;
}

}  // namespace engine_test
