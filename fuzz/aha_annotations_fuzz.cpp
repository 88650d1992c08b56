#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "platform/io_error.h"
#include "tools/foreign_import.h"

// Feeds the bytes, from memory, to the AHA annotation file reader. Only FormatError may escape; a
// crash or a sanitizer report is a finding. The reader never takes more records than the bytes
// hold, and the three columns stay the same length.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const tools::AhaAnnotations annotations = tools::ReadAhaAnnotations(in);
    if (annotations.codes.size() > size / 16 || annotations.times.size() != annotations.codes.size() ||
        annotations.aux.size() != annotations.codes.size())
      __builtin_trap();
  } catch (const platform::FormatError&) {
  }
  return 0;
}
