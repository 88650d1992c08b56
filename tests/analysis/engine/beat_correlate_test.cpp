#include "analysis/engine/beat_correlate.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Shape = std::array<int16_t, 150>;

// A QRS-like derivative shape around slot 60.
Shape Qrs(double scale = 1.0, int offset = 0, int centre = 60) {
  Shape s{};
  for (int i = 0; i < 150; ++i) {
    const double z = (i - centre) / 3.0;
    s[i] = static_cast<int16_t>(std::lround(offset + scale * 400.0 * z * std::exp(-0.5 * z * z)));
  }
  return s;
}

Shape Affine(const Shape& a, int scale, int offset) {
  Shape s{};
  for (int i = 0; i < 150; ++i) s[i] = static_cast<int16_t>(scale * a[i] + offset);
  return s;
}

Shape Negated(const Shape& a) {
  Shape s{};
  for (int i = 0; i < 150; ++i) s[i] = static_cast<int16_t>(-a[i]);
  return s;
}

}  // namespace

TEST(BeatEngineCorrelate, KnownShapes) {
  const Shape qrs = Qrs();
  const Shape flat{};
  Shape full{};  // full-scale values: sums of 25 squares overflow 32 bits
  for (int i = 0; i < 150; ++i) full[i] = i % 3 ? int16_t{32767} : int16_t{-32767};
  struct Case {
    const char* name;
    Shape a;
    Shape b;
    int32_t want;
  };
  const Case kCases[] = {
      {"identical", qrs, qrs, 10000},
      {"negated", qrs, Negated(qrs), -10000},
      {"scaled and offset", qrs, Affine(qrs, 2, 100), 10000},
      {"flat first", flat, qrs, 0},
      {"flat second", qrs, flat, 0},
      {"full scale, identical", full, full, 10000},
      {"full scale, negated", full, Negated(full), -10000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BeatEngineCorrelate(c.a, c.b, 48, 73, 0, 0), c.want);
  }
}

TEST(BeatEngineCorrelate, SignComesFromTheTruncatedCovarianceAndZeroCountsAsPositive) {
  // Over these four slots n*Sxy - Sx*Sy = -3 (r^2 = 0.0175), but Sxy - trunc(Sx*Sy/n) = 1 - 1 = 0.
  Shape a{};
  Shape b{};
  const int16_t xa[4] = {0, 0, 3, 0};
  const int16_t xb[4] = {0, 1, 1, 3};
  for (int i = 0; i < 4; ++i) {
    a[10 + i] = xa[i];
    b[10 + i] = xb[i];
  }
  EXPECT_EQ(BeatEngineCorrelate(a, b, 10, 14, 0, 0), 175);
}

TEST(BeatEngineCorrelate, ShiftsFindTheAlignmentAndArePulledBackInsideTheShape) {
  const Shape a = Qrs(1.0, 0, 60);
  const Shape b = Qrs(1.0, 0, 63);
  EXPECT_EQ(BeatEngineCorrelate(a, b, 48, 73, 3, 0), 10000);
  EXPECT_LT(BeatEngineCorrelate(a, b, 48, 73, 0, 0), 10000);
  // A shift reaching before slot 0 becomes 1 - from; one reaching past slot 149 becomes 149 - to.
  EXPECT_EQ(BeatEngineCorrelate(a, b, 10, 35, -20, 0), BeatEngineCorrelate(a, b, 10, 35, -9, 0));
  EXPECT_EQ(BeatEngineCorrelate(a, b, 120, 145, 10, 0), BeatEngineCorrelate(a, b, 120, 145, 4, 0));
  EXPECT_EQ(BeatEngineCorrelate(a, b, 120, 145, 0, 10), BeatEngineCorrelate(a, b, 120, 145, 0, 4));
}
