#include "analysis/engine/qrs_detector.h"

#include <gtest/gtest.h>

#include <vector>

using namespace beat_engine;

namespace {

// Drives the detector the way the engine's main loop does: one sample of both leads into the
// rings, then one detector call. Returns the sample indices (0-based) at which a beat was detected.
class DetectorDriver {
 public:
  void Feed(const std::vector<int16_t>& lead0, const std::vector<int16_t>& lead1) {
    for (size_t i = 0; i < lead0.size(); ++i) {
      const int slot = kLiveFirst + rings.writer;
      rings.raw[0][slot] = lead0[i];
      rings.raw[1][slot] = lead1[i];
      rings.writer = rings.writer == kLiveCount - 1 ? 0 : rings.writer + 1;
      if (detector.BeatEngineDetectQRS(rings) != -1) detections.push_back(samples);
      ++samples;
    }
  }
  void Feed(const std::vector<int16_t>& both) { Feed(both, both); }

  SampleRings rings;
  QrsDetector detector;
  std::vector<int64_t> detections;
  int64_t samples = 0;
};

// The live slot that held sample `sample` while it was the newest one.
int LiveSlotOf(const DetectorDriver& d, int64_t sample) {
  (void)d;
  return kLiveFirst + static_cast<int>(sample % kLiveCount);
}

std::vector<int16_t> Flat(size_t n) { return std::vector<int16_t>(n, 0); }

// A one-sample pulse at each given offset; its derivative is height on four samples.
std::vector<int16_t> Pulses(size_t n, std::initializer_list<size_t> at, int16_t height) {
  std::vector<int16_t> x(n, 0);
  for (size_t i : at) x[i] = height;
  return x;
}

// Tall pulses every 100 samples: teaches the detector a high peak level.
std::vector<int16_t> Beats(size_t n, int16_t height) {
  std::vector<int16_t> x(n, 0);
  for (size_t i = 50; i < n; i += 100) x[i] = height;
  return x;
}

}  // namespace

TEST(QrsDetector, NothingIsDetectedDuringTheTenSecondWarmUp) {
  DetectorDriver d;
  d.Feed(Beats(3000, 500));
  ASSERT_FALSE(d.detections.empty());
  EXPECT_GE(d.detections.front(), 1250);
  EXPECT_LT(d.detections.front(), 1250 + 100 + 26);
  EXPECT_EQ(d.detector.levels.windows_seen, 6);
}

TEST(QrsDetector, ComplexesCloserThanTheRefractoryPeriodGiveOneDetection) {
  struct Case {
    const char* name;
    size_t spacing;
    size_t detections;
  };
  constexpr Case kCases[] = {{"10 samples", 10, 1}, {"20 samples", 20, 1}, {"30 samples", 30, 2},
                             {"60 samples", 60, 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DetectorDriver d;
    d.Feed(Flat(1400));  // a flat warm-up leaves every threshold at its floor of 100
    d.Feed(Pulses(200, {20, 20 + c.spacing}, 100), Flat(200));
    EXPECT_EQ(d.detections.size(), c.detections);
  }
}

TEST(QrsDetector, AfterMoreThan250QuietSamplesAValueOf100IsDetected) {
  struct Case {
    const char* name;
    size_t gap;
    int16_t height;  // each lead; the detection value is the sum of both
    bool detected;
  };
  constexpr Case kCases[] = {
      {"low threshold still in force", 150, 60, false},
      {"fixed threshold after 250 samples", 300, 60, true},
      {"below the fixed threshold", 300, 49, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DetectorDriver d;
    d.Feed(Beats(2550, 500));  // last tall beat at sample 2450
    ASSERT_FALSE(d.detections.empty());
    const int64_t last = d.detections.back();
    EXPECT_GT(d.detector.levels.low_threshold, 200);
    d.detections.clear();
    const size_t pulse = static_cast<size_t>(last + static_cast<int64_t>(c.gap) - d.samples);
    d.Feed(Pulses(pulse + 50, {pulse}, c.height));
    EXPECT_EQ(!d.detections.empty(), c.detected);
  }
}

TEST(QrsDetector, AFlatWindowRepeatsTheLastLearnedPeak) {
  DetectorDriver d;
  // Beats growing from window to window, so that the five learned peaks differ.
  std::vector<int16_t> growing(2500, 0);
  for (size_t i = 50; i < growing.size(); i += 100) growing[i] = static_cast<int16_t>(200 + (i / 250) * 40);
  d.Feed(growing);
  const DetectorLevels before = d.detector.levels;
  ASSERT_NE(before.peak_ring[0][0], before.peak_ring[0][1]);
  d.Feed(Flat(250 * 5));
  const DetectorLevels& after = d.detector.levels;
  for (int r = 0; r < 3; ++r) {
    // Each entry repeated its predecessor: all now hold the entry written last before the gap.
    const int last = before.peak_index[r] == 0 ? 4 : before.peak_index[r] - 1;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(after.peak_ring[r][i], before.peak_ring[r][last]) << r << " " << i;
  }
}

TEST(QrsDetector, SecondLowestOfFive) {
  struct Case {
    std::array<int16_t, 5> values;
    int16_t want;
  };
  const Case kCases[] = {{{5, 4, 3, 2, 1}, 2}, {{1, 1, 2, 3, 4}, 1}, {{7, 7, 7, 7, 7}, 7},
                         {{-1, 0, 5, -2, 3}, -1}, {{300, 900, 800, 200, 32767}, 300}};
  for (const Case& c : kCases) EXPECT_EQ(QrsDetector::SecondLowestOfFive(c.values), c.want);
}

TEST(QrsDetector, SlotNinetyNineIsFollowedByTwentyFiveAndMirrorsStayContiguous) {
  DetectorDriver d;
  std::vector<int16_t> ramp(200);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i * 3);
  d.Feed(std::vector<int16_t>(ramp.begin(), ramp.begin() + 75));
  EXPECT_EQ(d.detector.index, kLiveFirst);
  d.Feed(std::vector<int16_t>(ramp.begin() + 75, ramp.begin() + 75 + 25));
  for (int s = 25; s < 50; ++s) {
    EXPECT_EQ(d.rings.raw[0][s + 75], d.rings.raw[0][s]);
    EXPECT_EQ(d.rings.deriv[0][s + 75], d.rings.deriv[0][s]);
  }
  // The derivative across the wrap uses the mirrored samples: the ramp's slope is 3 per sample.
  EXPECT_EQ(d.rings.deriv[0][kLiveFirst + 2], 3 + 3 + 3 + 3 + 3 + 3);
}

TEST(QrsDetector, AFullScaleStepSaturatesTheDerivativeInsteadOfWrapping) {
  DetectorDriver d;
  std::vector<int16_t> step(2000, -32768);
  step.resize(2010, 32767);
  d.Feed(step);
  // 32767 + 32768 + 32768 + 32768 would wrap to a negative slope.
  const int slot = LiveSlotOf(d, 2000 + 1);
  EXPECT_EQ(d.rings.deriv[0][slot], 32767);
  ASSERT_FALSE(d.detections.empty());
  EXPECT_EQ(d.detections.back(), 2000 + 1);
}

TEST(QrsDetector, TheCountSinceDetectionStopsAtItsMaximumOnALongFlatLine) {
  DetectorDriver d;
  d.Feed(Beats(1500, 500));
  d.Feed(Flat(40000));  // more than 32767 samples (4.4 minutes) without a beat
  EXPECT_EQ(d.detector.levels.since_detection, 32767);
  d.detections.clear();
  d.Feed(Pulses(100, {50}, 60));
  EXPECT_EQ(d.detections.size(), 1u);
}
