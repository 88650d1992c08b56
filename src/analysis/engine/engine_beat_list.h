#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "analysis/engine/beat_engine_output.h"

// The beats a run of the built-in engine has written so far, in ascending position, with one
// counter per class code (0..39). Written by the engine's worker thread only; the counters may be
// read from any thread while the run lasts (the progress dialog shows the normal and ventricular
// counts), everything else after the run has ended.
class EngineBeatList {
 public:
  static constexpr int kClassCodes = 40;

  void Clear();
  void Append(EngineBeat beat);
  void RemoveAt(int32_t index);
  void SetClass(int32_t index, uint8_t beat_class);

  [[nodiscard]] int32_t GetSize() const { return static_cast<int32_t>(beats_.size()); }
  [[nodiscard]] const EngineBeat& GetAt(int32_t index) const { return beats_[static_cast<size_t>(index)]; }
  [[nodiscard]] const std::vector<EngineBeat>& Beats() const { return beats_; }
  [[nodiscard]] int32_t Count(uint8_t beat_class) const;

 private:
  void Add(uint8_t beat_class, int32_t delta);

  std::vector<EngineBeat> beats_;
  std::array<std::atomic<int32_t>, kClassCodes> counts_{};
};
