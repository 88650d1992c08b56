#pragma once

#include <cstdint>

class CZK470Doc;

// Finds R-on-T beats (event kind 23, one sample long, on the VES): a VES that follows a normal or
// supraventricular beat by less than 90 % of the expected QT interval, 390 ms scaled with the
// square root of the RR interval in seconds and at most 400 ms. Driven beat by beat by a heart-rate
// extremes pass (or a local re-check of the beat editor); lives for that pass.
class TROnTDetector {
 public:
  explicit TROnTDetector(CZK470Doc& doc);

  // Checks the beat pair (i + N, i + N + 1) with the heart rate at i (-1: none). Returns 0.
  int CheckBeat(int i, int heart_rate);
  // Removes and re-checks the R-on-T events around one beat (flag 1: the beat after it).
  // Returns 0, or -1 when the recording has too few beats.
  int RecheckAround(int beat_index, int flag);

  // The limit in milliseconds that the coupling interval is held against at a heart rate.
  static double LimitMs(int heart_rate);

 private:
  CZK470Doc& doc_;
  double ms_per_sample_;
  int averaging_beats_;
  double coupling_ms_ = 0.0;
  double limit_ms_ = 0.0;
  double rr_seconds_ = 0.0;
  int32_t last_position_ = -1;
  int last_event_ = -1;
};
