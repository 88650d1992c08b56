#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "platform/io_error.h"
#include "tools/validation/aha_record_reader.h"

// Feeds the bytes, from memory, to the test bench's reader of an AHA annotation file. Only
// IoError may escape; a crash or a sanitizer report is a finding. The reader never holds more
// records than the bytes give or than its limit, and its counts add up to its total.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const tools::TAhaAnnotationTable table = tools::TAhaRecordReader::ReadAnnotationFile(in, "fuzz");
    int64_t counted = 0;
    for (const int64_t n : table.counts) counted += n;
    if (table.held.size() > std::min(size / 16, tools::TAhaRecordReader::kMaxAnnotations) ||
        counted != table.total || table.total < static_cast<int64_t>(table.held.size()))
      __builtin_trap();
  } catch (const platform::IoError&) {
  }
  return 0;
}
