#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace testsupport {

// A plain decoder of compressed sample files, written straight from the format description and
// independent of the writer, so that the writer's tests do not check it against itself.
// Test code only: it trusts its input (asserts instead of refusing damaged files).
struct ReferenceMarker {
  int channel = 0;
  int32_t position = 0;
  bool is_code = false;  // a marker symbol with its code, else flag bits of a word
  int value = 0;
};

struct ReferenceDecoding {
  int generation = 0;     // 1 old, 2 new
  int channels = 0;
  int stored_minutes = 0;  // minutes that passed the index scan
  int whole_minutes = 0;   // what a reader reports: new format one fewer than stored
  std::vector<std::vector<int16_t>> samples;  // per channel, 7500 per stored minute
  std::vector<ReferenceMarker> markers;       // in stream order per block
  std::vector<int> block_modes;               // one per block in file order
};

ReferenceDecoding DecodeCmpReference(std::span<const uint8_t> bytes);

// The reader's peak correction over one stream of differences (zeros ignored).
void ApplyPeakCorrection(std::span<int32_t> differences);

}  // namespace testsupport
