#include "reports/pdf/pdf_fonts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/standard_fonts.h"
#include "reports/pdf/pdf_test_support.h"

namespace {

using pdf_test::CountOf;
using pdf_test::MakePfm;
using pdf_test::ObjectText;
using pdf_test::PdfTest;

constexpr const char* kAfmDir = "/usr/share/fonts/type1/urw-base35";
constexpr const char* kPfbDir = "/usr/share/fonts/X11/Type1";

struct Afm {
  std::map<int, int> by_code;
  std::map<std::string, int> by_name;
};

Afm ReadAfm(const std::string& path) {
  Afm afm;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("C ", 0) != 0) continue;
    int code = 0, width = 0;
    char name[64] = {};
    if (std::sscanf(line.c_str(), "C %d ; WX %d ; N %63s", &code, &width, name) != 3) continue;
    afm.by_name[name] = width;
    if (code >= 0 && code <= 255) afm.by_code[code] = width;
  }
  return afm;
}

// WinAnsi codes and their glyphs, the German letters first.
const std::pair<int, const char*> kWinAnsiGlyphs[] = {
    {196, "Adieresis"}, {214, "Odieresis"}, {220, "Udieresis"}, {228, "adieresis"},
    {246, "odieresis"}, {252, "udieresis"}, {223, "germandbls"}, {128, "Euro"},
    {39, "quotesingle"}, {96, "grave"},     {149, "bullet"},    {150, "endash"},
    {32, "space"},       {65, "A"},         {233, "eacute"},    {181, "mu"},
    {176, "degree"},     {177, "plusminus"}};

TEST(StandardFonts, WidthRowsEqualTheAfmMetrics) {
  if (!std::filesystem::exists(kAfmDir)) GTEST_SKIP() << kAfmDir << " is not installed";
  ASSERT_EQ(gfx::StandardFonts().size(), 35u);
  for (const gfx::StandardFontMetrics& font : gfx::StandardFonts()) {
    SCOPED_TRACE(std::string(font.name));
    const Afm afm = ReadAfm(std::string(kAfmDir) + "/" + std::string(font.source_face) + ".afm");
    ASSERT_FALSE(afm.by_name.empty());
    for (int c = 0; c < 256; ++c) {
      const auto it = afm.by_code.find(c);
      EXPECT_EQ(font.builtin_widths[c], it == afm.by_code.end() ? 0 : it->second) << "code " << c;
    }
    if (font.symbolic) continue;
    for (const auto& [code, glyph] : kWinAnsiGlyphs) {
      EXPECT_EQ(font.winansi_widths[code], afm.by_name.at(glyph)) << glyph;
      EXPECT_GT(font.winansi_widths[code], 0) << glyph;
    }
  }
  EXPECT_EQ(gfx::FindStandardFont("helvetica"), nullptr);
  EXPECT_EQ(gfx::TextWidth(*gfx::FindStandardFont("Helvetica"), "\xC4\xF6\xFC\xDF"), 667 + 556 + 556 + 611);
}

class PdfFontsTest : public PdfTest {};

TEST_F(PdfFontsTest, MeasuredWidthsEqualTheAfmMetrics) {
  if (!std::filesystem::exists(kAfmDir)) GTEST_SKIP() << kAfmDir << " is not installed";
  const char* const kSample = "Holter-EKG Müßig";
  const char* const kGlyphs[] = {"H", "o", "l", "t", "e", "r", "hyphen", "E", "K", "G", "space",
                                 "M", "udieresis", "germandbls", "i", "g"};
  ASSERT_EQ(BeginA4(1), 0);
  for (const gfx::StandardFontMetrics& font : gfx::StandardFonts()) {
    if (font.symbolic) continue;
    SCOPED_TRACE(std::string(font.name));
    const Afm afm = ReadAfm(std::string(kAfmDir) + "/" + std::string(font.source_face) + ".afm");
    double expected = 0;
    for (const char* glyph : kGlyphs) expected += afm.by_name.at(glyph) * 11 / 1000.0;
    ASSERT_EQ(tvk_setFont(std::string(font.name), "WinAnsiEncoding", 11), 0);
    EXPECT_NEAR(tvk_stringWidth(kSample), expected, 1e-9);
  }
}

TEST_F(PdfFontsTest, StringWidthCountsSpacingAndScaling) {
  ASSERT_EQ(BeginA4(1), 0);
  tvk_setFont("Helvetica", "WinAnsiEncoding", 10);
  EXPECT_NEAR(tvk_stringWidth("Äöüß"), 23.9, 1e-9);
  EXPECT_EQ(tvk_stringWidth(""), 0);
  tvk_setCharSpacing(0.5);
  tvk_setWordSpacing(2);
  tvk_setHorizontalScaling(50);
  // (a + space + b) at 10 pt, three character spacings less one, one word spacing, half width.
  EXPECT_NEAR(tvk_stringWidth("a b"), ((5.56 + 2.78 + 5.56) + 1.5 + 2 - 0.5) * 0.5, 1e-9);
  tvk_setFont("Courier", "WinAnsiEncoding", 10);
  tvk_setCharSpacing(0);
  tvk_setWordSpacing(0);
  tvk_setHorizontalScaling(100);
  EXPECT_NEAR(tvk_stringWidth("ÄÖÜ ß€"), 36, 1e-9);
  // Without an encoding the font's own (StandardEncoding) applies: non-ASCII text becomes "?".
  tvk_setFont("Helvetica", "", 10);
  EXPECT_NEAR(tvk_stringWidth("ä"), 5.56, 1e-9);
}

TEST_F(PdfFontsTest, EveryBuiltinFontMeasuresGermanLetters) {
  ASSERT_EQ(BeginA4(1), 0);
  for (int f = 0; f < tvk_kFontCount; ++f) {
    if (f == 12 || f == 13) continue;  // the symbol fonts have no letters
    SCOPED_TRACE(tvk_builtinFontName(f));
    ASSERT_EQ(tvk_setFont(tvk_builtinFontName(f), "WinAnsiEncoding", 10), 0);
    for (const char* letter : {"Ä", "Ö", "Ü", "ä", "ö", "ü", "ß"}) EXPECT_GT(tvk_stringWidth(letter), 0) << letter;
  }
  EXPECT_EQ(tvk_builtinFontName(41), nullptr);
}

TEST_F(PdfFontsTest, ResourcesAreSharedPerFontAndEncoding) {
  ASSERT_EQ(BeginA4(1), 0);
  tvk_setFont("Helvetica", "WinAnsiEncoding", 10);
  tvk_setFont("Helvetica", "", 10);
  tvk_setFont("Symbol", "WinAnsiEncoding", 10);
  tvk_endPage(1);
  ASSERT_EQ(BeginA4(2), 0);
  tvk_setFont("Helvetica", "WinAnsiEncoding", 12);
  const std::string pdf = Finish();
  // Pages 5 and 7, fonts 9, 10, 11.
  EXPECT_NE(ObjectText(pdf, 5).find("/Font <<\n/Ftvk0 9 0 R\n/Ftvk1 10 0 R\n/Ftvk2 11 0 R\n>>\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 7).find("/Font <<\n/Ftvk0 9 0 R\n>>\n"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, 9),
            "9 0 obj\n<<\n/Type /Font\n/Subtype /Type1\n/Name /Ftvk0\n/BaseFont /Helvetica\n"
            "/Encoding /WinAnsiEncoding\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 10).find("/Encoding"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, 11).find("/Encoding"), std::string::npos);  // Symbol keeps its own
  EXPECT_EQ(CountOf(pdf, "/Type /Font\n"), 3);
  int index = -1, same = -1;
  tvk_prepare(0);
  EXPECT_EQ(tvk_findFont("Helvetica", "", &index, &same), 2);
}

TEST_F(PdfFontsTest, BuiltinMetricsFontsCarryWidthsAndDescriptor) {
  ASSERT_EQ(BeginA4(1), 0);
  tvk_setFont("Palatino-Roman", "WinAnsiEncoding", 10);
  const std::string pdf = Finish();
  const std::string font = ObjectText(pdf, 7);
  EXPECT_NE(font.find("/BaseFont /Palatino-Roman\n/Encoding /WinAnsiEncoding\n/FirstChar 32\n/LastChar 255\n"
                      "/Widths [\n"),
            std::string::npos);
  const size_t open = font.find("/Widths [\n") + 10;
  const std::string widths = font.substr(open, font.find("]\n", open) - open);
  std::istringstream numbers(widths);
  std::vector<int> values;
  for (int w = 0; numbers >> w;) values.push_back(w);
  ASSERT_EQ(values.size(), 224u);
  EXPECT_EQ(CountOf(widths, "\n"), 14);  // a line feed before every 16th width
  const gfx::StandardFontMetrics& palatino = *gfx::FindStandardFont("Palatino-Roman");
  for (int c = 32; c < 256; ++c) EXPECT_EQ(values[c - 32], palatino.winansi_widths[c]) << c;
  EXPECT_NE(font.find("/FontDescriptor 8 0 R\n"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, 8),
            "8 0 obj\n<<\n/Type /FontDescriptor\n/Ascent 726\n/CapHeight 692\n/Descent -281\n/Flags 34\n"
            "/FontBBox [-166 -283 1021 927]\n/FontName /Palatino-Roman\n/ItalicAngle 0\n/StemV 84\n"
            "/XHeight 469\n>>\nendobj\n");
}

TEST_F(PdfFontsTest, UnknownFontsAreReplacedByTimesRoman) {
  tvk_setFontMap(Path("fontmap.lst").string());
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_EQ(tvk_setFont("helvetica", "WinAnsiEncoding", 10), 0);
  EXPECT_TRUE(Reported("Font not found: helvetica >> substituting Times-Roman."));
  EXPECT_TRUE(Reported("_tvk_loadExternalFont() Fontmap file not found: " + Path("fontmap.lst").string()));
  EXPECT_NE(Finish().find("/BaseFont /Times-Roman\n"), std::string::npos);
}

TEST_F(PdfFontsTest, FontCapIsEnforced) {
  tvk_setDocumentLimits(0, 1, 0, 0, 0);  // four font records
  ASSERT_EQ(BeginA4(1), 0);
  for (const char* name : {"Helvetica", "Times-Roman", "Courier", "Symbol"})
    EXPECT_EQ(tvk_setFont(name, "WinAnsiEncoding", 10), 0);
  EXPECT_EQ(tvk_setFont("Courier-Bold", "WinAnsiEncoding", 10), 1);
  EXPECT_TRUE(Reported("Too many fonts: 1. Increase limit by tvk_setDocumentLimits()"));
  EXPECT_EQ(tvk_setFont("Courier", "WinAnsiEncoding", 10), 0);  // a known pair still works
}

TEST_F(PdfFontsTest, FontMapLookup) {
  struct Case {
    const char* name;
    const char* map;  // null: no map file
    int result;
    const char* pfm;
    const char* pfb;
  };
  const Case kCases[] = {
      {"missing map", nullptr, 1, "", ""},
      {"plain entry", "# fonts\n%x\nFontA (a.pfm) (a.pfb)\n", 0, "a.pfm", "a.pfb"},
      {"directories and prefixes",
       "$Font_Directories (/fonts/pfm) (/fonts/pfb)\r\n$Abs_Path_Prefix (/) (C:)\r\nFontA (a.pfm) (/abs/a.pfb)\r\n",
       0, "/fonts/pfm/a.pfm", "/abs/a.pfb"},
      {"directories without prefixes", "$Font_Directories (/fonts/pfm) (/fonts/pfb)\nFontA (a.pfm) (a.pfb)\n", 0,
       "a.pfm", "a.pfb"},
      {"entry without outline file", "FontA (a.pfm)\n", 2, "", ""},
      {"directories without parentheses", "$Font_Directories /fonts\nFontA (a.pfm) (a.pfb)\n", 2, "", ""},
      {"not listed", "$Other line\nFontB (b.pfm) (b.pfb)\nFontAB (x) (y)\n", -1, "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string map = Path(std::string(c.name) + ".lst").string();
    if (c.map != nullptr) pdf_test::WriteFile(map, c.map);
    tvk_setFontMap(map);
    std::string pfm, pfb;
    EXPECT_EQ(tvk_readFontMap("FontA", &pfm, &pfb), c.result);
    EXPECT_EQ(pfm, c.pfm);
    EXPECT_EQ(pfb, c.pfb);
  }
}

TEST_F(PdfFontsTest, ExternalFontIsEmbeddedFromPfmAndPfb) {
  const std::string pfb = std::string(kPfbDir) + "/NimbusSans-Regular.pfb";
  if (!std::filesystem::exists(pfb)) GTEST_SKIP() << pfb << " is not installed";
  pdf_test::WriteFile(Path("NimbusSans-Regular.pfm"), MakePfm("NimbusSans-Regular", 32, 255));
  tvk_setFontDirectories(dir_.string(), kPfbDir);
  ASSERT_EQ(BeginA4(1), 0);
  tvk_beginText(0);
  ASSERT_EQ(tvk_setFont("NimbusSans-Regular", "WinAnsiEncoding", 14), 0);
  EXPECT_NEAR(tvk_stringWidth("Äß"), (667 + 611) * 14 / 1000.0, 1e-9);
  EXPECT_NEAR(tvk_capHeight(), 0.718, 1e-12);
  tvk_text(72, 700, 0, "Eingebettet: Größe (14)");
  ASSERT_EQ(tvk_setFont("NimbusSans-Regular", "", 14), 0);  // second record, same font file
  tvk_text(72, 600, 0, "plain");
  tvk_endText();
  const std::string pdf = Finish();
  EXPECT_TRUE(reports_.empty()) << reports_[0].message;
  EXPECT_EQ(CountOf(pdf, "/Type /FontDescriptor\n"), 1);
  EXPECT_EQ(CountOf(pdf, "/Length1 "), 1);
  EXPECT_NE(pdf.find("/Length1 896\n/Length2 102573\n/Length3 532\n"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /NimbusSans-Regular\n/Encoding /WinAnsiEncoding\n/FirstChar 32\n"),
            std::string::npos);
  EXPECT_NE(pdf.find("/Descent -207\n/Flags 6\n/FontBBox [-100 -212 1010 723]\n/FontName /NimbusSans-Regular\n"
                     "/ItalicAngle -12\n"),
            std::string::npos);
  pdf_test::ExpectValidXref(pdf);
  const std::string path = pdf_test::WriteFile(Path("embedded.pdf"), pdf);
  if (pdf_test::HaveTool("qpdf")) {
    const pdf_test::ToolResult r = pdf_test::RunTool("qpdf --check '" + path + "' 2>&1");
    EXPECT_EQ(r.exit_code, 0) << r.output;
  }
  if (pdf_test::HaveTool("pdftotext")) {
    const pdf_test::ToolResult r = pdf_test::RunTool("pdftotext -enc UTF-8 '" + path + "' - 2>&1");
    EXPECT_NE(r.output.find("Eingebettet: Größe (14)"), std::string::npos) << r.output;
  }
  if (pdf_test::HaveTool("pdffonts")) {
    const pdf_test::ToolResult r = pdf_test::RunTool("pdffonts '" + path + "' 2>&1");
    EXPECT_NE(r.output.find("NimbusSans-Regular                   Type 1            WinAnsi          yes"),
              std::string::npos)
        << r.output;
  }
}

TEST_F(PdfFontsTest, BadFontFilesFallBackToTimesRoman) {
  struct Case {
    const char* name;
    std::string pfm;  // empty: no PFM file
    std::string pfb;  // empty: no PFB file
    std::string report;
  };
  std::string pfb_good = "\x80\x01";
  pfb_good += std::string("\x05\0\0\0", 4) + "%!PS\r";
  const std::string pfm = MakePfm("TestFont", 32, 126);
  const std::vector<Case> kCases = {
      {"PFM shorter than its header", pfm.substr(0, 100), pfb_good, "ReadPFM - Not a valid Type1 PFM file:  "},
      {"PFM without its width table", MakePfm("TestFont", 32, 126, 230), pfb_good,
       "_tvk_loadExternalFont() Fontmap file not found: "},
      {"PFM with a bad font name", MakePfm("Test(Font", 32, 126), pfb_good, "ReadPFM - Not a valid Type1 PFM file:  "},
      {"PFB missing", pfm, "", "ReadPFB - Unable to open PFB file: "},
      {"PFB without magic", pfm, "%!PS-AdobeFont", "ReadPFB - PFB file invalid (No magic number 128): "},
      {"PFB text segment cut", pfm, std::string("\x80\x01\xFF\0\0\0abc", 9), "ReadPFB - ASCII section read error: "},
      {"PFB data segment cut", pfm, pfb_good + std::string("\x80\x02\x10\0\0\0ab", 8),
       "ReadPFB - BINARY section read error: "},
      {"PFB unknown segment", pfm, pfb_good + std::string("\x80\x07", 2), "ReadPFB - Unknown field type: 7"},
  };
  tvk_setFontDirectories(dir_.string(), dir_.string());
  tvk_setFontMap(Path("fontmap.lst").string());
  ASSERT_EQ(BeginA4(1), 0);
  int n = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string name = "TestFont" + std::to_string(n++);
    if (!c.pfm.empty()) pdf_test::WriteFile(Path(name + ".pfm"), c.pfm);
    if (!c.pfb.empty()) pdf_test::WriteFile(Path(name + ".pfb"), c.pfb);
    reports_.clear();
    EXPECT_EQ(tvk_setFont(name, "WinAnsiEncoding", 10), 0);
    EXPECT_TRUE(Reported(c.report)) << (reports_.empty() ? "" : reports_[0].message);
    EXPECT_TRUE(Reported("Font not found: " + name + " >> substituting Times-Roman."));
  }
  const std::string pdf = Finish();
  EXPECT_EQ(CountOf(pdf, "/Type /Font\n"), 1);
  EXPECT_NE(pdf.find("/BaseFont /Times-Roman\n"), std::string::npos);
}

}  // namespace
