#pragma once

#include <array>
#include <cstdint>

// Ring layout shared by the detector, the measurement and the shape stores of the built-in engine.
// Live slots 25..99 hold the last 75 samples (600 ms); slots 0..24 mirror 75..99 and slots
// 100..149 mirror 25..74, so that a window from 25 slots before to 50 slots after any live slot is
// contiguous. Channel 2 of the engine is always zero and is not stored.
namespace beat_engine {

constexpr int kRingSlots = 150;
constexpr int kLiveFirst = 25;
constexpr int kLiveCount = 75;
constexpr int kLiveLast = kLiveFirst + kLiveCount - 1;
constexpr int kChannels = 2;

using Shape = std::array<int16_t, kRingSlots>;
using ShapePair = std::array<Shape, kChannels>;

// Index into a ring, wrapped onto 0..149 (for windows whose far end would leave the array).
inline int RingSlot(int slot) { return ((slot % kRingSlots) + kRingSlots) % kRingSlots; }

// Copies the live slot to its mirror.
inline void MirrorSlot(Shape& shape, int slot) {
  shape[slot < kLiveFirst + 50 ? slot + kLiveCount : slot - kLiveCount] = shape[slot];
}

// Refreshes every mirror from the live slots.
void MirrorAll(Shape& shape);

struct SampleRings {
  ShapePair raw{};    // samples as read
  ShapePair deriv{};  // d[s] = x[s-1] + x[s-2] - x[s-4] - x[s-5]
  int writer = 0;     // 0..74; the next sample goes to slot 25 + writer

  void Clear() {
    raw = {};
    deriv = {};
  }
};

// The part of the detector state that the learning pass saves at its first beat and restores when
// it rewinds. Entry 0 of the three-value fields is the sum of both leads, 1 the first, 2 the second.
struct DetectorLevels {
  int16_t lead_mode = 3;  // 1 first channel, 2 second, 3 sum
  int16_t window_count = 0;
  int32_t windows_seen = 0;
  std::array<int16_t, 3> window_max{};
  std::array<std::array<int16_t, 5>, 3> peak_ring{};
  std::array<int16_t, 3> peak_index{};
  std::array<int16_t, 3> beat_peak{};
  int16_t since_detection = 0;
  int16_t high_threshold = 0;
  int16_t middle_threshold = 0;
  int16_t low_threshold = 0;
  int16_t tracking_level = 0;
};

// The QRS detector: rectified 5-tap derivative of both leads against three adaptive thresholds
// learned over 2-second windows. One call per sample; no allocation.
class QrsDetector {
 public:
  static constexpr int kWarmupWindows = 5;
  static constexpr int kWindowSamples = 250;
  static constexpr int kRefractory = 25;
  static constexpr int kLongGap = 250;
  static constexpr int16_t kFloor = 100;
  static constexpr int16_t kFlatWindow = 300;
  static constexpr int16_t kEarlyWindow = 47;
  static constexpr int16_t kEarlyWindowRegular = 32;

  // Processes the slot named by the detector index (the slot just written into the rings) and
  // advances the index. Returns the live slot of a beat detected at this sample, or -1.
  int32_t BeatEngineDetectQRS(SampleRings& rings);
  // Watches the complex right after a detection; may ask for the detection to move later.
  void BeatEngineTrackPeak();

  static int16_t SecondLowestOfFive(const std::array<int16_t, 5>& values);
  void UpdateDetectionThresholds(int ring);
  void PushWindowPeaks();
  void TestDetectionThreshold(int slot, int16_t threshold, int16_t value);

  DetectorLevels levels;
  int index = kLiveFirst;  // live slot the next call processes
  int16_t early_window = kEarlyWindow;
  int16_t regular_rhythm = 0;
  int16_t current_value = 0;
  int16_t detection_value = 0;
  int16_t tracking = 0;
  int16_t tracking_best = 0;
  int16_t retrigger = 0;
  int32_t detected_slot = 0;
  int16_t found = 0;
};

}  // namespace beat_engine
