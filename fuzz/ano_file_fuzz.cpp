#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_file.h"
#include "platform/io_error.h"
#include "tools/validation/annotation_statistic.h"

// Feeds the bytes, as an ".ANO" file, to the reference reader of the beat-classification statistic.
// Only IoError may escape; a crash, a sanitizer report or a record the checks should have refused
// (negative or decreasing time, unprintable label) is a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzFolder::Get().Write("fuzz.ANO", std::span(data, size));
  try {
    const std::vector<tools::RefBeat> references = tools::ReadAnoFile(path);
    if (references.size() != size / 5) __builtin_trap();
    int32_t last = 0;
    for (const tools::RefBeat& r : references) {
      if (r.time_ms < last || r.label < 0x20 || r.label > 0x7E) __builtin_trap();
      last = r.time_ms;
    }
  } catch (const platform::IoError&) {
  }
  return 0;
}
