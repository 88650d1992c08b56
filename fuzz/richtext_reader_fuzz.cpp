#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/io_error.h"
#include "reports/richtext/rtf_reader.h"
#include "reports/richtext/rtf_writer.h"

// Reads the bytes as a letter. A bad file ends in a FormatError; a file that reads must come back
// the same through the writer and give the same bytes when written again. Anything else, a crash or
// a sanitizer report, is a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  richtext::RtfReadResult read;
  try {
    read = richtext::ReadRtf(bytes, "fuzz.rtf");
  } catch (const platform::FormatError&) {
    return 0;
  }
  const std::string written = richtext::WriteRtf(read.document);
  const richtext::RtfReadResult again = richtext::ReadRtf(written, "written.rtf");
  if (!(again.document == read.document) || richtext::WriteRtf(again.document) != written) std::abort();
  return 0;
}
