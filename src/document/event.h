#pragma once

#include <cstddef>
#include <cstdint>

#include "document/qrs_complex.h"

// One event: a beat record whose position is the start and whose class is the event kind, plus the
// end position (equal to the start for point events). Packed 14-byte record in files: the beat's
// 10 bytes, then int32 end.
class TEvent : public TQRSComplex {
 public:
  static constexpr size_t kRecordSize = 14;

  TEvent() = default;
  TEvent(int32_t start, int32_t end, uint8_t kind) : TQRSComplex(start, kind), end_(end) {}

  int32_t GetEnd() const { return end_; }
  void SetEnd(int32_t end) { end_ = end; }

  void Encode(uint8_t* record) const;
  static TEvent Decode(const uint8_t* record);

  bool operator==(const TEvent&) const = default;

 private:
  int32_t end_ = 0;
};
