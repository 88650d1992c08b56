#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "pdf_fuzz.h"

// Feeds the bytes to the PDF writer as the PFM metrics file of an external font (with a valid
// PFB beside it), shows a text in that font and writes the document. A bad file ends in a
// report and Times-Roman; a crash or a sanitizer report is a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFolder& folder = FuzzFolder::Get();
  static const bool pfb_written = !folder.Write("F.pfb", FuzzPfb()).empty();
  (void)pfb_written;
  folder.Write("F.pfm", {data, size});
  BeginFuzzPdf();
  tvk_setFontDirectories(folder.Path(""), folder.Path(""));
  tvk_setFontMap(folder.Path("none.lst"));
  UseFuzzFont(folder.Path("F"));
  FinishFuzzPdf();
  return 0;
}
