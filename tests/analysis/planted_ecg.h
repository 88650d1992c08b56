#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "support/cmp_writer.h"

// Recordings with a known rhythm for the analysis tests: normal and ventricular beats placed
// where a script says, on two leads at 125 samples per second, written as a compressed sample file
// with an unanalysed ".QRS" beside it.
namespace analysis_test {

struct PlantedBeat {
  int32_t position;
  bool ventricular;
};

// Beats one after the other, each `rr` samples after the one before.
class RhythmScript {
 public:
  explicit RhythmScript(int32_t first = 60) : next_(first) {}

  void Beat(int32_t rr, bool ventricular = false) {
    if (!beats_.empty()) next_ = beats_.back().position + rr;
    beats_.push_back({next_, ventricular});
  }
  void Normal(int count, int32_t rr) {
    for (int i = 0; i < count; ++i) Beat(rr);
  }
  // From one interval to another in `count` even steps.
  void Ramp(int count, int32_t from_rr, int32_t to_rr) {
    for (int i = 1; i <= count; ++i) Beat(from_rr + (to_rr - from_rr) * i / count);
  }
  // Normal beats until the last one lies at or after the sample position.
  void NormalUntil(int32_t position, int32_t rr) {
    while (beats_.empty() || beats_.back().position < position) Beat(rr);
  }
  const std::vector<PlantedBeat>& Beats() const { return beats_; }
  int Count() const { return static_cast<int>(beats_.size()); }
  int32_t Position(int index) const { return beats_[static_cast<size_t>(index)].position; }

 private:
  int32_t next_;
  std::vector<PlantedBeat> beats_;
};

// Two leads of the given length with the beats drawn in (units of 5 microvolts).
inline std::vector<std::vector<int16_t>> SynthesizeLeads(const std::vector<PlantedBeat>& beats, size_t samples) {
  struct Wave {
    double mv, centre_ms, sigma_ms;
  };
  // Normal P-QRS-T; a wide ventricular complex with its T wave turned over.
  static const std::vector<Wave> kNormal[2] = {
      {{0.15, -160, 22}, {-0.12, -28, 9}, {1.3, 0, 11}, {-0.35, 28, 10}, {0.35, 260, 45}},
      {{0.10, -160, 22}, {-0.05, -28, 9}, {0.8, 0, 12}, {-0.45, 30, 11}, {0.25, 260, 45}}};
  static const std::vector<Wave> kVentricular[2] = {{{1.6, 0, 38}, {-0.7, 90, 40}, {-0.5, 280, 60}},
                                                    {{-1.1, 10, 40}, {0.5, 100, 40}, {0.4, 290, 60}}};
  std::vector<std::vector<double>> sum(2, std::vector<double>(samples, 0.0));
  for (const PlantedBeat& beat : beats) {
    for (int lead = 0; lead < 2; ++lead) {
      for (const Wave& w : beat.ventricular ? kVentricular[lead] : kNormal[lead]) {
        const double centre = beat.position + w.centre_ms * 0.125;
        const double sigma = w.sigma_ms * 0.125;
        const int from = std::max(0, static_cast<int>(centre - 5 * sigma));
        const int to = std::min(static_cast<int>(samples) - 1, static_cast<int>(centre + 5 * sigma) + 1);
        for (int i = from; i <= to; ++i) {
          const double z = (i - centre) / sigma;
          sum[static_cast<size_t>(lead)][static_cast<size_t>(i)] += w.mv * 200.0 * std::exp(-0.5 * z * z);
        }
      }
    }
  }
  std::vector<std::vector<int16_t>> leads(2, std::vector<int16_t>(samples, 0));
  uint32_t seed = 4711;
  for (int lead = 0; lead < 2; ++lead) {
    for (size_t i = 0; i < samples; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 4.0;  // +-2 units
      leads[static_cast<size_t>(lead)][i] =
          static_cast<int16_t>(std::lround(std::clamp(sum[static_cast<size_t>(lead)][i] + noise, -30000.0, 30000.0)));
    }
  }
  return leads;
}

// Writes <base>.CMP (showing `minutes` whole minutes) and <base>.QRS of a recording never
// analysed; returns the ".QRS" path. The channel sets of the process-wide context go into the
// patient record.
inline std::string WritePlantedRecording(const std::string& base, const std::vector<PlantedBeat>& beats, int minutes,
                                         const platform::Clock& clock) {
  // The new format's reader shows one minute fewer than the file holds.
  const size_t samples = static_cast<size_t>(minutes + 1) * testsupport::kSamplesPerMinute;
  const std::vector<std::vector<int16_t>> leads = SynthesizeLeads(beats, samples);
  platform::WriteFileAtomic(base + ".CMP", testsupport::EncodeCmp(testsupport::CmpFormat::kNew, leads));
  TPatientData patient(clock);
  patient.first_name = "Test";
  patient.surname = "Planted";
  const TRecordingData recording(clock);
  platform::ArchiveWriter ar;
  patient.Serialize(ar, 32);
  recording.Serialize(ar, 32);
  TQRSList().Serialize(ar, 32);
  TEventList().Serialize(ar, 32);
  platform::WriteFileAtomic(base + ".QRS", ar.Bytes());
  return base + ".QRS";
}

}  // namespace analysis_test
