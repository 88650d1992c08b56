#pragma once

#include <cstdint>
#include <span>

#include "analysis/engine/engine_math.h"

// What the built-in engine reads of a recording: whole minutes of 7500 samples (125 per second)
// of the analysed leads, in the sample store's unit of 5 microvolts. Lead 0 is the first analysed
// channel, lead 1 the second; with one analysed channel both leads carry that channel.
//
// The sample store implements it. Called only from the engine's worker thread while a run lasts;
// a read fault of the underlying file throws platform::IoError, which ends the run as failed.
class BeatSampleSource {
 public:
  virtual ~BeatSampleSource() = default;

  // Called once at the start of a run: empties any cache so that every minute is decoded again.
  virtual void Reopen() = 0;
  [[nodiscard]] virtual int32_t GetWholeMinutes() const = 0;
  // 1 or 2.
  [[nodiscard]] virtual int GetAnalysedChannelCount() const = 0;
  // Fills one minute of one lead; report_markers asks the store to report the recorder markers
  // it finds in that minute (off when a minute is read again after a step back).
  virtual void GetAnalysisMinute(std::span<int16_t, beat_engine::kSamplesPerMinute> samples,
                                 int lead, int32_t minute, bool report_markers) = 0;
};
