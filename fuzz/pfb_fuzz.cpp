#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "pdf_fuzz.h"

// Feeds the bytes to the PDF writer as the PFB outline file of an external font (with a valid
// PFM beside it), shows a text in that font and writes the document with the font embedded.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFolder& folder = FuzzFolder::Get();
  static const bool pfm_written = !folder.Write("F.pfm", FuzzPfm()).empty();
  (void)pfm_written;
  folder.Write("F.pfb", {data, size});
  BeginFuzzPdf();
  tvk_setFontDirectories(folder.Path(""), folder.Path(""));
  tvk_setFontMap(folder.Path("none.lst"));
  UseFuzzFont(folder.Path("F"));
  FinishFuzzPdf();
  return 0;
}
