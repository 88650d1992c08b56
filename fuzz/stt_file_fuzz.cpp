#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/io_error.h"
#include "tools/validation/stt_statistic.h"

// Feeds the bytes, from memory, to the reader of reference ST measurements (".STT"). Only
// FormatError may escape; a crash or a sanitizer report is a finding. What it returns holds one
// record per whole 8 bytes, at non-negative times that never decrease, of a type from 1 to 15.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const std::vector<tools::STTRecord> records = tools::ParseSTTRecords(std::span(data, size), "fuzz.STT");
    if (records.size() != size / 8) __builtin_trap();
    int32_t previous = 0;
    for (const tools::STTRecord& record : records) {
      if (record.time_ms < previous || record.Type() == 0) __builtin_trap();
      previous = record.time_ms;
    }
  } catch (const platform::FormatError&) {
  }
  return 0;
}
