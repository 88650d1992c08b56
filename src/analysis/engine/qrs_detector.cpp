#include "analysis/engine/qrs_detector.h"

#include <algorithm>

#include "analysis/engine/engine_math.h"

namespace beat_engine {

void MirrorAll(Shape& shape) {
  for (int slot = kLiveFirst; slot <= kLiveLast; ++slot) MirrorSlot(shape, slot);
}

int32_t QrsDetector::BeatEngineDetectQRS(SampleRings& rings) {
  const int s = index;
  int32_t magnitude[kChannels];
  for (int c = 0; c < kChannels; ++c) {
    Shape& x = rings.raw[c];
    MirrorSlot(x, s);
    // Saturated rather than wrapped: a clipped lead must not flip the sign of its slope.
    const int16_t d = Sat16(int32_t{x[s - 1]} + x[s - 2] - x[s - 4] - x[s - 5]);
    rings.deriv[c][s] = d;
    MirrorSlot(rings.deriv[c], s);
    magnitude[c] = Abs32(d);
  }
  DetectorLevels& lv = levels;
  lv.since_detection = SatIncrement16(lv.since_detection);

  const int16_t a = Sat16(magnitude[0]);
  const int16_t b = Sat16(magnitude[1]);
  const int16_t sum = Sat16(int32_t{magnitude[0]} + magnitude[1]);
  const int16_t values[3] = {sum, a, b};

  if (lv.window_count < kWindowSamples) {
    for (int i = 0; i < 3; ++i) lv.window_max[i] = std::max(lv.window_max[i], values[i]);
    ++lv.window_count;
  }
  if (lv.since_detection < kRefractory + 1) {
    for (int i = 0; i < 3; ++i) lv.beat_peak[i] = std::max(lv.beat_peak[i], values[i]);
  }
  if (lv.window_count == kWindowSamples) {
    PushWindowPeaks();
    lv.window_count = 0;
    if (lv.windows_seen < 6) ++lv.windows_seen;
    lv.window_max = {};
  }

  if (lv.windows_seen < kWarmupWindows) {
    lv.since_detection = 0;
  } else {
    const int ring = lv.lead_mode == 1 ? 1 : lv.lead_mode == 2 ? 2 : 0;
    if (lv.since_detection == kRefractory) UpdateDetectionThresholds(ring);
    if (lv.since_detection >= 1) current_value = values[ring];
    if (lv.since_detection >= kRefractory + 1 && lv.since_detection <= early_window)
      TestDetectionThreshold(s, lv.high_threshold, current_value);
    if (lv.since_detection > early_window && lv.since_detection <= kLongGap)
      TestDetectionThreshold(s, lv.low_threshold, current_value);
    if (lv.since_detection > kLongGap) TestDetectionThreshold(s, kFloor, current_value);
  }

  index = index == kLiveLast ? kLiveFirst : index + 1;
  if (found == 1) {
    found = 0;
    return detected_slot;
  }
  return -1;
}

void QrsDetector::BeatEngineTrackPeak() {
  if (current_value >= levels.tracking_level) {
    tracking = 0;
    retrigger = 1;
  } else if (current_value > detection_value && current_value > tracking_best) {
    tracking_best = current_value;
    tracking = 0;
    retrigger = 1;
  } else {
    tracking = 1;
    retrigger = 0;
    found = 0;
  }
}

int16_t QrsDetector::SecondLowestOfFive(const std::array<int16_t, 5>& values) {
  int lowest = 0;
  for (int i = 1; i < 5; ++i)
    if (values[i] < values[lowest]) lowest = i;
  int second = lowest == 0 ? 1 : 0;
  for (int i = 0; i < 5; ++i)
    if (i != lowest && values[i] < values[second]) second = i;
  return values[second];
}

void QrsDetector::UpdateDetectionThresholds(int ring) {
  DetectorLevels& lv = levels;
  const int32_t m = SecondLowestOfFive(lv.peak_ring[ring]);
  const int32_t p = lv.beat_peak[ring];
  if (regular_rhythm) {
    lv.high_threshold = Sat16(11 * m / 16);
    lv.low_threshold = Sat16(m / 3);
  } else {
    lv.high_threshold = Sat16(11 * std::max(m, p) / 16);
    lv.low_threshold = Sat16(8 * m / 25);
  }
  lv.tracking_level = Sat16(9 * m / 20);
  lv.high_threshold = std::max(lv.high_threshold, kFloor);
  lv.middle_threshold = std::max(lv.middle_threshold, kFloor);
  lv.low_threshold = std::max(lv.low_threshold, kFloor);
}

void QrsDetector::PushWindowPeaks() {
  DetectorLevels& lv = levels;
  // A flat or disconnected window repeats the last peak instead of lowering the learned level.
  const bool flat = lv.window_max[0] < kFlatWindow;
  for (int r = 0; r < 3; ++r) {
    const int i = lv.peak_index[r];
    lv.peak_ring[r][i] = flat ? lv.peak_ring[r][i == 0 ? 4 : i - 1] : lv.window_max[r];
    lv.peak_index[r] = static_cast<int16_t>(i == 4 ? 0 : i + 1);
  }
}

void QrsDetector::TestDetectionThreshold(int slot, int16_t threshold, int16_t value) {
  if (value >= threshold) {
    detection_value = value;
    tracking = 1;
    levels.beat_peak = {};
    detected_slot = slot;
    found = 1;
    levels.since_detection = 0;
  } else {
    found = 0;
  }
}

}  // namespace beat_engine
