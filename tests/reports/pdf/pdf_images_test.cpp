#include "reports/pdf/pdf_images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reports/pdf/pdf_test_support.h"

namespace {

using pdf_test::CountOf;
using pdf_test::ObjectText;
using pdf_test::PdfTest;

std::string Fixture() {
  std::ifstream in(pdf_test::FixturePath("tiny.jpg"), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class PdfImagesTest : public PdfTest {};

TEST_F(PdfImagesTest, OneJpegOnThreePagesIsStoredOnce) {
  // A copy that is deleted before the end: the image was read when it was placed.
  const std::string jpeg = pdf_test::WriteFile(Path("scan.jpg"), Fixture());
  for (int page = 1; page <= 3; ++page) {
    ASSERT_EQ(BeginA4(page), 0);
    EXPECT_EQ(tvk_placeImage(jpeg, tvk_kImageJpeg, 50, 50, 0, nullptr, nullptr, nullptr, nullptr, 1), 0);
    tvk_endPage(page);
  }
  std::filesystem::remove(jpeg);
  const std::string pdf = Finish();
  EXPECT_EQ(CountOf(pdf, "/Subtype /Image\n"), 1);
  EXPECT_EQ(CountOf(pdf, "/IMtvk0 Do\n"), 3);
  for (const int page : {5, 7, 9}) EXPECT_NE(ObjectText(pdf, page).find("/XObject <<\n/IMtvk0 11 0 R\n>>\n"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, 11).substr(0, ObjectText(pdf, 11).find("stream\n")),
            "11 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Name /IMtvk0\n/Width 24\n/Height 16\n"
            "/Filter /DCTDecode\n/BitsPerComponent 8\n/ColorSpace /DeviceRGB\n/Length 711\n>>\n");
  EXPECT_NE(pdf.find(Fixture()), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 4).find("[/PDF /Text /ImageC ]"), std::string::npos);
  // No size given: one point per pixel.
  EXPECT_NE(pdf_test::ContentStreams(pdf)[0].find("24.0000 0.0000 0.0000 16.0000 0.0000 0.0000 cm\n"), std::string::npos);
  const std::string path = pdf_test::WriteFile(Path("jpeg.pdf"), pdf);
  if (pdf_test::HaveTool("qpdf")) {
    const pdf_test::ToolResult r = pdf_test::RunTool("qpdf --check '" + path + "' 2>&1");
    EXPECT_EQ(r.exit_code, 0) << r.output;
  }
}

TEST_F(PdfImagesTest, SizeFollowsWhatIsGiven) {
  // The fixture is 24 x 16 pixels.
  struct Case { const char* name; double w, h, sx, sy; double want_w, want_h, want_sx, want_sy; };
  constexpr Case kCases[] = {
      {"width alone keeps the aspect", 12, 0, 0, 0, 12, 8, 0.5, 0.5},
      {"height alone keeps the aspect", 0, 32, 0, 0, 48, 32, 2, 2},
      {"both sizes", 48, 8, 0, 0, 48, 8, 2, 0.5},
      {"x scale alone", 0, 0, 3, 0, 72, 48, 3, 3},
      {"y scale alone", 0, 0, 0, 0.25, 6, 4, 0.25, 0.25},
      {"nothing", 0, 0, 0, 0, 24, 16, 1, 1},
  };
  const std::string jpeg = pdf_test::FixturePath("tiny.jpg").string();
  ASSERT_EQ(BeginA4(1), 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    double w = c.w, h = c.h, sx = c.sx, sy = c.sy;
    ASSERT_EQ(tvk_placeImage(jpeg, 0, 0, 0, 0, &w, &h, &sx, &sy, 0), 0);
    EXPECT_DOUBLE_EQ(w, c.want_w);
    EXPECT_DOUBLE_EQ(h, c.want_h);
    EXPECT_DOUBLE_EQ(sx, c.want_sx);
    EXPECT_DOUBLE_EQ(sy, c.want_sy);
  }
}

TEST_F(PdfImagesTest, RefusedImagesLeaveNoTrace) {
  const std::string jpeg = Fixture();
  std::string progressive = jpeg;
  progressive[progressive.find("\xFF\xC0")+ 1] = '\xC2';
  std::string bogus_frame = jpeg;
  bogus_frame[bogus_frame.find("\xFF\xC0") + 3] = 0x20;  // frame length no longer 8 + 3 × 3
  struct Case { const char* name; std::string bytes; int kind; int result; const char* report; };
  const std::vector<Case> kCases = {
      {"missing file", "", 0, -1, "Can't open image file: "},
      {"not a JPEG", "GIF89a not a jpeg", 0, -2, "Not a JPEG file?: "},
      {"progressive", progressive, 0, -3, "JPEG file is not baseline type: "},
      {"cut short", jpeg.substr(0, 150), 0, -2, "Premature EOF in JPEG file"},
      {"bogus frame length", bogus_frame, 0, -2, "Bogus SOF marker length"},
      {"zero marker length", std::string("\xFF\xD8\xFF\xE0\x00\x01", 6), 0, -2, "Erroneous JPEG marker length"},
      {"TIFF", jpeg, 3, -1, "LIBTIFF library support is not compiled in."},
      {"PDF image", jpeg, 5, -1, "PDFIMG support is not compiled in."},
      {"kind without reader", jpeg, 4, -1, "Image kind 4 is not supported: "},
      {"unknown kind", jpeg, 9, -4, "Unknown image kind 9: "},
  };
  ASSERT_EQ(BeginA4(1), 0);
  int n = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path path = Path("image" + std::to_string(n++) + ".jpg");
    if (!c.bytes.empty()) pdf_test::WriteFile(path, c.bytes);
    reports_.clear();
    EXPECT_EQ(tvk_placeImage(path.string(), c.kind, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 1), c.result);
    EXPECT_TRUE(Reported(c.report));
    EXPECT_EQ(tvk_findImage(path.string(), 0), 0);  // nothing recorded
  }
  const std::string pdf = Finish();
  EXPECT_EQ(CountOf(pdf, "/XObject"), 0);
  EXPECT_EQ(pdf_test::ContentStreams(pdf)[0], "");
}

TEST_F(PdfImagesTest, ImageCapIsEnforced) {
  tvk_setDocumentLimits(0, 0, 1, 0, 0);
  const std::string a = pdf_test::WriteFile(Path("a.jpg"), Fixture());
  const std::string b = pdf_test::WriteFile(Path("b.jpg"), Fixture());
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_EQ(tvk_placeImage(a, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(tvk_placeImage(b, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 1), 1);
  EXPECT_TRUE(Reported("Too many images: 1. Increase limits by tvk_setDocumentLimits()"));
  EXPECT_EQ(tvk_placeImage(a, 0, 9, 9, 0, nullptr, nullptr, nullptr, nullptr, 1), 0);  // already stored
}

TEST_F(PdfImagesTest, InlineMaskOfTheReportGrid) {
  std::vector<uint8_t> tile(1800, 0xFF);
  tile[0] = 0x7F;
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_EQ(tvk_inlineImage(tile, 10, 20, 0, 56.69291305541992, 56.69291305541992, 120, 120, 1, tvk_kImageMask, 1), 0);
  EXPECT_EQ(tvk_inlineImage(std::span<const uint8_t>(tile).first(1799), 10, 20, 0, 1, 1, 120, 120, 1, 0, 1), -1);
  EXPECT_TRUE(Reported("Inline image of 120 x 120 pixels needs 1800 bytes, 1799 given"));
  const std::string pdf = Finish();
  const std::string expected = "\nq\n1.0000 0.0000 0.0000 1.0000 10.0000 20.0000 cm\n"
                               "56.6929 0.0000 0.0000 56.6929 0.0000 0.0000 cm\n"
                               "BI\n/W 120\n/H 120\n/BPC 1\n/ImageMask true\nID " +
                               std::string(tile.begin(), tile.end()) + "\nEI\nQ\n";
  EXPECT_EQ(pdf_test::ContentStreams(pdf)[0], expected);
  EXPECT_NE(ObjectText(pdf, 4).find("[/PDF /Text /ImageI ]"), std::string::npos);
}

}  // namespace
