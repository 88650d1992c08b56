#include <cstddef>
#include <cstdint>

#include "common/dib.h"
#include "platform/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CDIB dib;
  try {
    dib.ReadBytes({data, size}, "fuzz.bmp");
  } catch (const platform::IoError&) {
  }
  // Whatever was read must turn into pixels without reading past its rows.
  dib.ToBitmap();
  return 0;
}
