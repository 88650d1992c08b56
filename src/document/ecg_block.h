#pragma once

#include <array>
#include <cstdint>

// One minute of one channel: 7500 samples at 125 per second, in the store's unit of 5 microvolts.
// A block handed out by the sample store belongs to the caller.
class TECGBlock {
 public:
  static constexpr int kSamples = 7500;

  // Minute 0, all samples 0.
  TECGBlock() = default;
  // The given minute, all samples 0. The count of the recorder's interface only said how many
  // leading samples to clear; every sample is cleared so no block ever carries stale signal.
  TECGBlock(int32_t minute, int count) : minute(minute) { (void)count; }

  void Clear() { samples.fill(0); }

  int32_t minute = 0;
  std::array<int16_t, kSamples> samples{};
};
