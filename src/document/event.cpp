#include "document/event.h"

#include "platform/archive.h"

void TEvent::Encode(uint8_t* record) const {
  TQRSComplex::Encode(record);
  platform::StoreLE32(record + 10, static_cast<uint32_t>(end_));
}

TEvent TEvent::Decode(const uint8_t* record) {
  const TQRSComplex beat = TQRSComplex::Decode(record);
  TEvent event(beat.GetPosition(), static_cast<int32_t>(platform::LoadLE32(record + 10)), beat.GetClass());
  event.SetPriorClass(beat.GetPriorClass());
  return event;
}
