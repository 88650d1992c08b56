#pragma once

#include <cstddef>
#include <cstdint>

#include "document/beat_class.h"

// One beat: sample position of its R peak (125 samples per second from the recording start), class
// code 0..39 and prior-class byte. In a ".QRS" file a beat is a packed 10-byte record: a 4-byte tag
// (the old program's object pointer; written as kRecordTag, ignored on reading), int32 position,
// uint8 class, uint8 prior class.
class TQRSComplex {
 public:
  static constexpr size_t kRecordSize = 10;
  static constexpr uint32_t kRecordTag = 0;

  TQRSComplex() = default;
  TQRSComplex(int32_t position, uint8_t beat_class, uint8_t prior_class = kPriorNeverEdited)
      : position_(position), class_(beat_class), prior_class_(prior_class) {}

  int32_t GetPosition() const { return position_; }
  void SetPosition(int32_t position) { position_ = position; }
  uint8_t GetClass() const { return class_; }
  void SetClass(uint8_t beat_class) { class_ = beat_class; }
  uint8_t GetPriorClass() const { return prior_class_; }
  void SetPriorClass(uint8_t prior_class) { prior_class_ = prior_class; }

  // The packed record; Decode leaves the prior class as stored and does not check the class.
  void Encode(uint8_t* record) const;
  static TQRSComplex Decode(const uint8_t* record);

  bool operator==(const TQRSComplex&) const = default;

 private:
  int32_t position_ = 0;
  uint8_t class_ = 0;
  uint8_t prior_class_ = kPriorNeverEdited;
};
