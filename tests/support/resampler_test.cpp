#include "support/resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace testsupport {
namespace {

std::vector<double> Sine(int rate, double hz, double amplitude, size_t count, double phase = 0.3) {
  std::vector<double> x(count);
  for (size_t i = 0; i < count; ++i) x[i] = amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate + phase);
  return x;
}

// Largest deviation from the ideal sine at the output times, away from the ends.
double WorstError(const Resampler& r, double hz, double amplitude, const std::vector<double>& y, double ideal_gain) {
  double worst = 0.0;
  const size_t margin = y.size() / 10;
  for (size_t n = margin; n + margin < y.size(); ++n) {
    const double t = static_cast<double>(n) / r.OutRate();
    const double want = ideal_gain * amplitude * std::sin(2.0 * std::numbers::pi * hz * t + 0.3);
    worst = std::max(worst, std::abs(y[n] - want));
  }
  return worst;
}

TEST(Resampler, KeepsThePassBandInAmplitudeAndPhase) {
  struct Case {
    int in_rate;
    double hz;
  };
  const Case cases[] = {{360, 1.0}, {360, 10.0}, {360, 40.0}, {128, 10.0}, {128, 40.0}, {250, 25.0}, {1000, 40.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.in_rate) + " Hz in, sine of " + std::to_string(c.hz) + " Hz");
    const Resampler r(c.in_rate, 125);
    const std::vector<double> x = Sine(c.in_rate, c.hz, 1000.0, static_cast<size_t>(c.in_rate) * 20);
    const std::vector<double> y = r.Process(x);
    EXPECT_EQ(y.size(), r.OutputLength(x.size()));
    EXPECT_LT(WorstError(r, c.hz, 1000.0, y, 1.0), 1.0) << "0.1 % of the amplitude";
  }
}

TEST(Resampler, RemovesWhatWouldAlias) {
  // Above the output's Nyquist rate (62.5 Hz) nothing may come through as a lower frequency.
  const double cases[] = {65.0, 80.0, 100.0, 150.0, 179.0};
  for (double hz : cases) {
    SCOPED_TRACE(hz);
    const Resampler r(360, 125);
    const std::vector<double> y = r.Process(Sine(360, hz, 1000.0, 360 * 20));
    EXPECT_LT(WorstError(r, hz, 1000.0, y, 0.0), 1.0) << "at least 60 dB down";
  }
}

TEST(Resampler, ConstantsAndLengthsStayExact) {
  for (int in_rate : {360, 128, 125, 250}) {
    SCOPED_TRACE(in_rate);
    const Resampler r(in_rate, 125);
    const std::vector<double> y = r.Process(std::vector<double>(1000, -37.5));
    for (double v : y) ASSERT_NEAR(v, -37.5, 1e-9);
  }
  const Resampler r(360, 125);
  EXPECT_EQ(r.OutputLength(0), 0u);
  EXPECT_EQ(r.OutputLength(1), 1u);
  EXPECT_EQ(r.OutputLength(650000), 225695u) << "output times 0, 2.88, ... up to the last input sample";
  EXPECT_EQ(Resampler(128, 125).OutputLength(230400), 225000u);
  EXPECT_THROW(Resampler(0, 125), std::invalid_argument);
}

}  // namespace
}  // namespace testsupport
