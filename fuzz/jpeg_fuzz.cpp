#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_file.h"
#include "pdf_fuzz.h"

// Feeds the bytes to the PDF writer as a JPEG image file: its header is scanned from memory,
// then the file is placed on a page at its own size and at a given width, and the document is
// written with the image embedded. A refused image is reported; a crash or a sanitizer report is
// a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tvk_setErrorHandler([](int, const std::string&, const std::string&) {});
  tvk_JpegInfo info;
  (void)read_JPEG_header({data, size}, "fuzz.jpg", &info);

  const std::string path = FuzzFolder::Get().Write("f.jpg", {data, size});
  BeginFuzzPdf();
  double width = 0, height = 0, x_scale = 0, y_scale = 0;
  (void)tvk_placeImage(path, tvk_kImageJpeg, 10, 10, 0, &width, &height, &x_scale, &y_scale, 1);
  double given_width = 200;
  (void)tvk_placeImage(path, tvk_kImageJpeg, 10, 300, 30, &given_width, nullptr, nullptr, nullptr, 0);
  FinishFuzzPdf();
  return 0;
}
