#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "document/zk470_doc.h"

// Decides whether printed ECG strips may use the higher gain: it measures the peak-to-peak
// amplitude of up to 20 normal beats spread over the recording, per channel, and finds the
// recording's normal beats small enough when every channel's mean stays below a limit. Owns the
// minute blocks it loads; the chosen beats point into the document's working beat list, which
// must not change while the object lives. One thread at a time (the print job's).
class TPrintAutoGain {
 public:
  static constexpr int kMaxBeats = 20;
  static constexpr int kTrimmedEachSide = 3;
  static constexpr double kWindowBeforeMs = 200.0;
  static constexpr double kWindowAfterMs = 300.0;
  static constexpr int kMicrovoltsPerUnit = 5;
  // The gains of printed strips: index 0 low, 1 high.
  static constexpr std::array<double, 2> kGainMmPerMv = {5.0, 10.0};

  explicit TPrintAutoGain(CZK470Doc& doc);
  ~TPrintAutoGain();
  TPrintAutoGain(const TPrintAutoGain&) = delete;
  TPrintAutoGain& operator=(const TPrintAutoGain&) = delete;

  // limit in 0.1 mV. A sample file that cannot be read leaves the result at 0.
  void Compute(int limit);
  bool IsSmallAmplitude() const { return small_amplitude_ != 0; }

  // The gain of printed strips: the "Amplitude" choice, or this result with automatic gain on.
  double GainMmPerMv() const;

  const std::vector<const TQRSComplex*>& ChosenBeats() const { return beats_; }
  // Peak-to-peak amplitudes in microvolts of channel 0..2, one per chosen beat until trimmed.
  const std::vector<int>& Amplitudes(int channel) const {
    return amplitudes_.at(static_cast<size_t>(channel));
  }

 private:
  void ChooseBeats();
  void MeasureBeat(const TQRSComplex& beat);
  void FreeBlocks();

  CZK470Doc& doc_;
  int small_amplitude_ = 0;
  std::vector<const TQRSComplex*> beats_;
  std::array<std::vector<int>, 3> amplitudes_;
  CZK470Doc::MinuteBlockArrays minute_blocks_;
};
