#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/patient_data.h"
#include "platform/clock.h"
#include "tools/gdt/gdt_file.h"

// Feeds the bytes to the reader of the practice software's records, as an answer and as a
// new-examination record. A crash or a sanitizer report is a finding; so is a record taken whose
// bytes do not end in a line end or do not begin with the expected record type.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  static const platform::ManualClock clock;
  for (const std::string_view type : {gdt::kAnswerRecord, gdt::kNewExaminationRecord}) {
    TPatientData patient(clock);
    const gdt::RecordStatus status = gdt::ParseRecordBytes(bytes, type, patient);
    const bool whole = !bytes.empty() && bytes.back() == '\n';
    if ((status == gdt::RecordStatus::kIncomplete) == whole) __builtin_trap();
    if (status == gdt::RecordStatus::kAccepted && bytes.substr(7, 4) != type) __builtin_trap();
  }
  return 0;
}
