#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "pdf_fuzz.h"

// Feeds the bytes to the PDF writer's font map reader as the map file and looks two names up.
// Only the lookup is fuzzed: the paths a map names are not followed (they could name any file).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFolder& folder = FuzzFolder::Get();
  const std::string map = folder.Write("fontmap.lst", {data, size});
  BeginFuzzPdf();
  tvk_setFontMap(map);
  std::string pfm, pfb;
  for (const char* name : {"FontA", "$Font_Directories"}) (void)tvk_readFontMap(name, &pfm, &pfb);
  tvk_release();
  return 0;
}
