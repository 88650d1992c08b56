#include "support/resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <stdexcept>

namespace testsupport {
namespace {

// Modified Bessel function of the first kind, order 0 (for the Kaiser window).
double BesselI0(double x) {
  double sum = 1.0;
  double term = 1.0;
  for (int k = 1; k < 50; ++k) {
    term *= (x / (2.0 * k)) * (x / (2.0 * k));
    sum += term;
    if (term < 1e-16 * sum) break;
  }
  return sum;
}

constexpr double kCutoffShare = 0.43;  // of the lower rate
constexpr double kKaiserBeta = 8.0;    // about 80 dB side lobes
constexpr int kZeroCrossings = 20;     // of the sinc at the cutoff, each side

}  // namespace

Resampler::Resampler(int in_rate_hz, int out_rate_hz) : in_rate_(in_rate_hz), out_rate_(out_rate_hz) {
  if (in_rate_hz < 1 || in_rate_hz > 100000 || out_rate_hz < 1 || out_rate_hz > 100000)
    throw std::invalid_argument("sample rates must be 1..100000 Hz");
  const int g = std::gcd(in_rate_hz, out_rate_hz);
  up_ = out_rate_hz / g;
  down_ = in_rate_hz / g;
  // Cutoff in cycles per input sample.
  const double cutoff = kCutoffShare * std::min(in_rate_hz, out_rate_hz) / in_rate_hz;
  half_width_ = static_cast<int>(std::ceil(kZeroCrossings / (2.0 * cutoff)));
  const double i0_beta = BesselI0(kKaiserBeta);
  phases_.resize(static_cast<size_t>(up_));
  for (int p = 0; p < up_; ++p) {
    // Output sample at input time k0 + frac, frac = p * down / up mod 1.
    const double frac = static_cast<double>((static_cast<long long>(p) * down_) % up_) / up_;
    std::vector<double>& taps = phases_[static_cast<size_t>(p)];
    taps.resize(static_cast<size_t>(2 * half_width_ + 1));
    double sum = 0.0;
    for (int k = -half_width_; k <= half_width_; ++k) {
      const double t = k - frac;  // input sample k0 + k relative to the output time
      const double x = 2.0 * cutoff * t;
      const double sinc = std::abs(x) < 1e-12 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
      const double r = t / (half_width_ + 1.0);
      const double window = std::abs(r) >= 1.0 ? 0.0 : BesselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / i0_beta;
      const double tap = sinc * window;
      taps[static_cast<size_t>(k + half_width_)] = tap;
      sum += tap;
    }
    for (double& tap : taps) tap /= sum;
  }
}

size_t Resampler::OutputLength(size_t input_length) const {
  if (input_length == 0) return 0;
  return static_cast<size_t>((static_cast<unsigned long long>(input_length - 1) * up_) / down_) + 1;
}

std::vector<double> Resampler::Process(std::span<const double> input) const {
  const size_t count = OutputLength(input.size());
  std::vector<double> out(count);
  const long long last = static_cast<long long>(input.size()) - 1;
  for (size_t n = 0; n < count; ++n) {
    const long long position = static_cast<long long>(n) * down_;
    const long long k0 = position / up_;
    const std::vector<double>& taps = phases_[n % static_cast<size_t>(up_)];
    double acc = 0.0;
    const long long first = k0 - half_width_;
    if (first >= 0 && k0 + half_width_ <= last) {
      const double* x = input.data() + first;
      for (size_t k = 0; k < taps.size(); ++k) acc += taps[k] * x[k];
    } else {
      for (size_t k = 0; k < taps.size(); ++k) {
        const long long i = std::clamp(first + static_cast<long long>(k), 0LL, last);
        acc += taps[k] * input[static_cast<size_t>(i)];
      }
    }
    out[n] = acc;
  }
  return out;
}

}  // namespace testsupport
