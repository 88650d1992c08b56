#include "document/qrs_complex.h"

#include "platform/archive.h"

void TQRSComplex::Encode(uint8_t* record) const {
  platform::StoreLE32(record, kRecordTag);
  platform::StoreLE32(record + 4, static_cast<uint32_t>(position_));
  record[8] = class_;
  record[9] = prior_class_;
}

TQRSComplex TQRSComplex::Decode(const uint8_t* record) {
  return TQRSComplex(static_cast<int32_t>(platform::LoadLE32(record + 4)), record[8], record[9]);
}
