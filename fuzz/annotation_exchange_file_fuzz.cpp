#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "document/annotation_exchange_file.h"
#include "document/qrs_list.h"

// Feeds the bytes, from memory, to the "KHA" exchange reader: the header, then the beat list at
// 125 Hz. The reader answers false for what it refuses; a crash or a sanitizer report is a
// finding. Whatever it appended must have one beat per record of the header.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  TAnnotationExchangeFile file;
  if (!file.ReadHeader(in)) return 0;
  TQRSList beats;
  if (file.ReadBeatList(in, beats, 125.0) && beats.GetSize() != static_cast<int64_t>(file.record_count))
    __builtin_trap();
  return 0;
}
