#pragma once

#include <span>
#include <vector>

namespace testsupport {

// Changes the sample rate of a signal by a rational factor with a windowed-sinc low-pass
// (Kaiser window): content above 43 % of the lower of the two rates is removed before it can alias,
// the pass band (up to about 45 Hz at 125 Hz out) keeps its amplitude within 0.1 %, and the kernel's
// taps sum to one per output phase so a constant stays exact. Zero phase: output sample n sits at
// input time n x in_rate / out_rate. The ends are extended with the first and last input sample.
class Resampler {
 public:
  // Rates in whole hertz, 1..100000.
  Resampler(int in_rate_hz, int out_rate_hz);

  // Output samples for an input of the given length: every output time that lies within the input.
  size_t OutputLength(size_t input_length) const;
  std::vector<double> Process(std::span<const double> input) const;

  int InRate() const { return in_rate_; }
  int OutRate() const { return out_rate_; }

 private:
  int in_rate_;
  int out_rate_;
  int up_;    // output rate / gcd
  int down_;  // input rate / gcd
  int half_width_;  // taps each side, in input samples
  std::vector<std::vector<double>> phases_;  // per output phase: 2 * half_width_ + 1 taps
};

}  // namespace testsupport
