#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Fixed sampling of the built-in engine and the 16-bit arithmetic it is defined in. The engine's
// values are signed 16-bit words; where a sum can leave that range it goes through Wrap16 (the
// word arithmetic the engine is specified with) or Sat16 (where wrapping would turn a clipped or
// saturated channel into garbage). Signed overflow is never relied on.
namespace beat_engine {

constexpr int kSampleRate = 125;
constexpr int kSamplesPerMinute = 60 * kSampleRate;
constexpr int kMsPerSample = 1000 / kSampleRate;

constexpr int MsToSamples(int ms) { return ms * kSampleRate / 1000; }

inline int16_t Wrap16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value)); }

inline int16_t Sat16(int64_t value) {
  if (value > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (value < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(value);
}

// A counter that stops at the top of the 16-bit range instead of wrapping, so that a long flat
// stretch keeps reading as "a long time".
inline int16_t SatIncrement16(int16_t value) {
  return value == std::numeric_limits<int16_t>::max() ? value : static_cast<int16_t>(value + 1);
}

inline int32_t Abs32(int32_t value) { return value < 0 ? -value : value; }

// Correlations are signed squared coefficients x 10000; their root is the coefficient x 100 with
// the correlation's sign (an inverted shape gives a negative root instead of an undefined one).
inline double SignedRoot(int32_t correlation) {
  return correlation < 0 ? -std::sqrt(-static_cast<double>(correlation))
                         : std::sqrt(static_cast<double>(correlation));
}

}  // namespace beat_engine
