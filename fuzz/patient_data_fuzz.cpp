#include <cstddef>
#include <cstdint>

#include "document/document_context.h"
#include "document/patient_data.h"
#include "member_fuzz.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  document::Context().Reset();
  return FuzzMember<TPatientData>({data, size}, [] { return TPatientData(clock); });
}
