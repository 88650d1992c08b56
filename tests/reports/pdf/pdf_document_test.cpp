#include "reports/pdf/pdf_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reports/pdf/pdf_test_support.h"
#include "support/comma_decimal_locale.h"

namespace {

using pdf_test::ContentStreams;
using pdf_test::CountOf;
using pdf_test::ObjectText;
using pdf_test::PdfTest;

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of a "Name:   value" line of pdfinfo.
std::string InfoField(const std::string& output, const std::string& name) {
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(name + ":", 0) != 0) continue;
    const size_t value = line.find_first_not_of(' ', name.size() + 1);
    return value == std::string::npos ? std::string() : line.substr(value);
  }
  return "(no " + name + ")";
}

class PdfDocumentTest : public PdfTest {
 protected:
  // Writes the finished document beside the test and returns its path.
  std::string Save(const std::string& pdf, const char* leaf) {
    return pdf_test::WriteFile(Path(leaf), pdf);
  }
  void ExpectQpdfCheck(const std::string& path) {
    if (!pdf_test::HaveTool("qpdf")) return;
    const pdf_test::ToolResult r = pdf_test::RunTool("qpdf --check '" + path + "' 2>&1");
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("No syntax or stream encoding errors found"), std::string::npos) << r.output;
  }
};

TEST_F(PdfDocumentTest, EmptyDocumentHasTheFiveFixedObjects) {
  const std::string pdf = Finish();
  EXPECT_EQ(pdf.substr(0, 9), "%PDF-1.1\n");
  EXPECT_EQ(pdf.substr(9, 24), std::string("%\xE2\xE3\xCF\xD3\xB5\xB6\xB7\xB8 Tavrik writer\n"));
  EXPECT_EQ(ObjectText(pdf, 1), "1 0 obj\n<<\n/Type /Catalog\n/Pages 3 0 R\n/Outlines 2 0 R\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 2), "2 0 obj\n<<\n/Type /Outlines\n/Count 0\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 3), "3 0 obj\n<<\n/Type /Pages\n/Count 0\n/Kids [ ]\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 4), "4 0 obj\n[/PDF /Text]\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 5),
            "5 0 obj\n<<\n/Creator (Tavrik PDF writer)\n/CreationDate (D:20040307090501)\n"
            "/Producer ([Tavrik 1.0] Windows 9x/NT)\n/Author (User: Windows NT/95/98 User)\n"
            "/Title (No Title)\n/Subject (None)\n/Keywords (Tavrik)\n>>\nendobj\n");
  EXPECT_NE(pdf.find("xref\n0 6\n"), std::string::npos);
  EXPECT_NE(pdf.find("trailer\n<<\n/Size 6\n/Root 1 0 R\n/Info 5 0 R\n>>\nstartxref\n"), std::string::npos);
  EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
  pdf_test::ExpectValidXref(pdf);
  ExpectQpdfCheck(Save(pdf, "empty.pdf"));
}

TEST_F(PdfDocumentTest, PagesAreNumberedByPageNumberNotByOrderOfBeginning) {
  ASSERT_EQ(BeginA4(3), 0);
  tvk_writeRaw("% three\n");
  ASSERT_EQ(BeginA4(1), 0);
  tvk_writeRaw("% one\n");
  const std::string pdf = Finish();
  EXPECT_NE(ObjectText(pdf, 3).find("/Count 2\n/Kids [ 5 0 R 7 0 R ]\n"), std::string::npos);
  EXPECT_EQ(ContentStreams(pdf), (std::vector<std::string>{"% one\n", "% three\n"}));
  EXPECT_EQ(ObjectText(pdf, 5),
            "5 0 obj\n<<\n/Type /Page\n/Parent 3 0 R\n/Resources <<\n/Font <<\n>>\n/ProcSet 4 0 R >>\n"
            "/MediaBox [0 0 595 842]\n/CropBox [0 0 595 842]\n/Rotate 0\n/Contents 6 0 R\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 6), "6 0 obj\n<</Length 6>>\nstream\n% one\n\nendstream\nendobj\n");
  pdf_test::ExpectValidXref(pdf);
}

TEST_F(PdfDocumentTest, RejectedPagesTakeNoDrawing) {
  tvk_setDocumentLimits(100, 0, 0, 0, 0);
  struct Case { const char* name; int page; const char* media; int result; const char* report; };
  const Case kCases[] = {
      {"page 0", 0, "0 0 595 842", -1, "Page number must be 1 or greater"},
      {"beyond the cap", 100, "0 0 595 842", -1,
       "Too many pages: 100. Increase limit by tvk_setDocumentLimits()"},
      {"box not four numbers", 50, "0 0 595", -1, "Page 50: a page box is not four numbers"},
  };
  ASSERT_EQ(BeginA4(1), 0);
  tvk_writeRaw("% page one\n");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    reports_.clear();
    EXPECT_EQ(tvk_beginPage(c.page, 0, c.media, "0 0 595 842"), c.result);
    EXPECT_TRUE(Reported(c.report));
    EXPECT_EQ(tvk_currentPage(), 0);
    tvk_writeRaw("% must not land anywhere\n");
    EXPECT_TRUE(Reported("No page is begun: drawing is dropped"));
  }
  EXPECT_EQ(tvk_beginPage(99, 0, "0 0 595 842", "0 0 595 842"), 0);
  const std::string pdf = Finish();
  EXPECT_EQ(ContentStreams(pdf), (std::vector<std::string>{"% page one\n", ""}));
}

TEST_F(PdfDocumentTest, SwitchingPages) {
  ASSERT_EQ(BeginA4(1), 0);
  ASSERT_EQ(BeginA4(2), 0);
  EXPECT_EQ(BeginA4(1), 0);  // begun twice: made current
  EXPECT_TRUE(Reported("Page 1 is already initialized"));
  EXPECT_EQ(tvk_currentPage(), 1);
  tvk_writeRaw("% to one\n");
  tvk_endPage(1);
  EXPECT_EQ(tvk_currentPage(), 0);
  EXPECT_EQ(tvk_selectPage(1), -2);
  EXPECT_TRUE(Reported("Cannot switch to page 1 because it has already been finalized"));
  EXPECT_EQ(tvk_selectPage(7), -1);
  EXPECT_TRUE(Reported("Cannot switch to page 7 because it has not been initialized"));
  EXPECT_EQ(tvk_selectPage(2), 0);
  tvk_writeRaw("% to two\n");
  // Page 2 is left unfinished: finishing the document ends it.
  EXPECT_EQ(ContentStreams(Finish()), (std::vector<std::string>{"% to one\n", "% to two\n"}));
}

TEST_F(PdfDocumentTest, CompressionAndVersion) {
  tvk_setPdfVersion(1, 1);
  tvk_enableCompression(1);
  ASSERT_EQ(BeginA4(1), 0);
  tvk_writeRaw("% compressed content\n");
  std::string pdf = Finish();
  EXPECT_EQ(pdf.substr(0, 9), "%PDF-1.2\n");
  EXPECT_NE(ObjectText(pdf, 6).find("<<\n/Length "), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 6).find("\n/Filter [/FlateDecode]\n>>\nstream\n"), std::string::npos);
  EXPECT_EQ(ContentStreams(pdf), (std::vector<std::string>{"% compressed content\n"}));

  tvk_prepare(0);
  tvk_enableCompression(1);
  tvk_setPdfVersion(1, 4);  // set after switching compression on: it stays
  ASSERT_EQ(tvk_open(), 0);
  pdf = Finish();
  EXPECT_EQ(pdf.substr(0, 9), "%PDF-1.4\n");

  // Only deflate can be written: another filter name leaves the content plain.
  tvk_prepare(0);
  tvk_setFilter("/Bin/lzwcomp", "/LZWDecode");
  tvk_enableCompression(1);
  ASSERT_EQ(tvk_open(), 0);
  ASSERT_EQ(BeginA4(1), 0);
  tvk_writeRaw("% plain\n");
  pdf = Finish();
  EXPECT_EQ(pdf.substr(0, 9), "%PDF-1.1\n");
  EXPECT_EQ(ObjectText(pdf, 6), "6 0 obj\n<</Length 8>>\nstream\n% plain\n\nendstream\nendobj\n");
}

TEST_F(PdfDocumentTest, InfoTextsAreEscapedTruncatedAndEncoded) {
  tvk_setTitle("Müller (geb. Schmidt) \\ Ä");
  tvk_setSubject(std::string(70, 's'));
  tvk_setKeywords("");
  tvk_setCreator("ZK-470 V 1.0");
  const std::string info = ObjectText(Finish(), 5);
  EXPECT_NE(info.find("/Title (M\xFCller \\(geb. Schmidt\\) \\\\ \xC4)\n"), std::string::npos) << info;
  EXPECT_NE(info.find("/Subject (" + std::string(62, 's') + ")\n"), std::string::npos);
  EXPECT_NE(info.find("/Keywords ()\n"), std::string::npos);
  EXPECT_NE(info.find("/Creator (ZK-470 V 1.0)\n"), std::string::npos);
}

TEST_F(PdfDocumentTest, CatalogAndPageEntries) {
  tvk_setViewerPreferences(1, 0, 0, 0, 0, 0, 0, 0);
  std::string pdf = Finish();
  EXPECT_NE(ObjectText(pdf, 1).find("/PageMode /UseOutlines\n>>\n"), std::string::npos);

  tvk_prepare(0);
  tvk_setViewerPreferences(3, 1, 0, 1, 0, 1, 2, 1);
  ASSERT_EQ(tvk_open(), 0);
  ASSERT_EQ(tvk_beginPage(1, 1, "0 0 842 595", "0 0 842 595"), 0);
  tvk_setPageDuration(3);
  tvk_setPageTransition(1, 1.5, 0, 1, 1);
  ASSERT_EQ(tvk_beginPage(2, 0, "0 0 595 842", "10 10 585 832"), 0);
  tvk_setPageTransition(4, 1, 90, 0, 0);
  pdf = Finish();
  EXPECT_NE(ObjectText(pdf, 1).find("/PageMode /FullScreen\n/PageLayout /TwoColumnLeft\n"
                                    "/ViewerPreferences <<\n/HideToolbar true\n/HideWindowUI true\n"
                                    "/CenterWindow true\n/NonFullScreenPageMode /UseOutlines\n>>\n"),
            std::string::npos)
      << ObjectText(pdf, 1);
  EXPECT_NE(ObjectText(pdf, 5).find("/Rotate 270\n/Contents 6 0 R\n/Dur 3.000\n"
                                    "/Trans << /S /Split /D 1.500 /Dm /H /M /I >>\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 7).find("/CropBox [10 10 585 832]\n/Rotate 0\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 7).find("/Trans << /S /Wipe /D 1.000 /Di 90.00 >>\n"), std::string::npos);
  ExpectQpdfCheck(Save(pdf, "prefs.pdf"));
}

void DrawRichPage(int page) {
  ASSERT_EQ(tvk_beginPage(page, 0, "0 0 595 842", "0 0 595 842"), 0);
  tvk_setLineWidth(0.5);
  tvk_setRgbStroke(1, 0, 0);
  tvk_setRgbFill(0.9, 0.9, 1);
  tvk_rectangle(40, 40, 515, 762);
  tvk_fillStroke();
  tvk_setDash("[2 3] 0");
  for (int i = 0; i < 20; ++i) {
    tvk_moveTo(50, 60 + i * 10);
    tvk_lineTo(545, 60 + i * 10);
  }
  tvk_stroke();
  tvk_setNoDash();
  tvk_setRgbFill(0, 0, 0);
  tvk_beginText(0);
  double y = 800;
  for (int f = 0; f < tvk_kFontCount; ++f) {
    tvk_setFont(tvk_builtinFontName(f), "WinAnsiEncoding", 9);
    tvk_text(50, y, 0, std::string(tvk_builtinFontName(f)) + " Äöüß");
    y -= 12;
  }
  tvk_setFont("Helvetica", "WinAnsiEncoding", 12);
  tvk_text(300, 100, 0, "Patient: Müller (geb. Schmidt) " + std::to_string(page));
  tvk_endText();
  std::vector<uint8_t> mask(1800, 0xFF);
  for (size_t i = 0; i < mask.size(); i += 7) mask[i] = 0xEE;
  tvk_inlineImage(mask, 300, 300, 0, 56.69, 56.69, 120, 120, 1, 0, 1);
  double width = 120, height = 0, sx = 0, sy = 0;
  EXPECT_EQ(tvk_placeImage(pdf_test::FixturePath("tiny.jpg").string(), 0, 300, 400, 15, &width, &height,
                           &sx, &sy, 1),
            0);
}

TEST_F(PdfDocumentTest, ThreePagesWithEveryFontAndImagePassQpdfAndShowTheirText) {
  tvk_setTitle("Müller (geb. Schmidt)");
  tvk_setPdfVersion(1, 2);
  tvk_enableCompression(1);
  tvk_setViewerPreferences(1, 0, 0, 0, 0, 0, 0, 0);
  tvk_setUnitSize(28.3464566);
  tvk_OutlineEntry* previous = nullptr;
  for (int page = 1; page <= 3; ++page) {
    DrawRichPage(page);
    previous = tvk_addOutline(previous, 0, 1, page, "Seite " + std::to_string(page) + " (Übersicht)", 0,
                              0, 0, 0, 0);
    ASSERT_NE(previous, nullptr);
    tvk_endPage(page);
  }
  const std::string pdf = Finish();
  EXPECT_EQ(CountOf(pdf, "/Subtype /Image\n"), 1);
  EXPECT_EQ(CountOf(pdf, "/Type /FontDescriptor\n"), 27);
  EXPECT_NE(ObjectText(pdf, 4).find("[/PDF /Text /ImageC /ImageI ]"), std::string::npos);
  pdf_test::ExpectValidXref(pdf);
  const std::string path = Save(pdf, "three.pdf");
  ExpectQpdfCheck(path);

  if (pdf_test::HaveTool("pdftotext")) {
    const pdf_test::ToolResult text = pdf_test::RunTool("pdftotext -enc UTF-8 '" + path + "' - 2>&1");
    EXPECT_EQ(text.exit_code, 0) << text.output;
    for (const char* expected : {"Patient: Müller (geb. Schmidt) 1", "Patient: Müller (geb. Schmidt) 3",
                                 "Helvetica Äöüß", "Times-Roman Äöüß", "Palatino-Bold Äöüß",
                                 "TVK-SmallCap Äöüß"})
      EXPECT_NE(text.output.find(expected), std::string::npos) << expected << "\n" << text.output;
  }
  if (pdf_test::HaveTool("pdfinfo")) {
    const pdf_test::ToolResult info = pdf_test::RunTool("pdfinfo -enc UTF-8 '" + path + "' 2>&1");
    EXPECT_EQ(InfoField(info.output, "Title"), "Müller (geb. Schmidt)") << info.output;
    EXPECT_EQ(InfoField(info.output, "Pages"), "3") << info.output;
  }
  if (pdf_test::HaveTool("qpdf")) {
    const pdf_test::ToolResult json = pdf_test::RunTool("qpdf --json --json-key=outlines '" + path + "' 2>&1");
    EXPECT_EQ(json.exit_code, 0) << json.output;
    for (int page = 1; page <= 3; ++page) {
      const std::string title = "\"title\": \"Seite " + std::to_string(page) + " (Übersicht)\"";
      EXPECT_EQ(CountOf(json.output, title), 1) << title << "\n" << json.output;
      EXPECT_NE(json.output.find("\"destpageposfrom1\": " + std::to_string(page)), std::string::npos);
    }
    EXPECT_EQ(CountOf(json.output, "\"title\""), 3);
  }
}

TEST_F(PdfDocumentTest, FourHundredPagesWithABookmarkEach) {
  tvk_enableCompression(1);
  tvk_setUnitSize(28.3464566);
  tvk_OutlineEntry* previous = nullptr;
  for (int page = 1; page <= 400; ++page) {
    ASSERT_EQ(BeginA4(page), 0);
    tvk_setFont("Helvetica", "WinAnsiEncoding", 10);
    tvk_plotMoveTo(1, 1);
    for (int i = 0; i < 50; ++i) tvk_plotLineTo(1 + i * 0.3, 10 + (i % 7));
    tvk_stroke();
    tvk_beginText(0);
    tvk_plotText(2, 28, 0, "Seite " + std::to_string(page));
    tvk_endText();
    previous = tvk_addOutline(previous, 0, 1, page, "Page " + std::to_string(page), 0, 0, 0, 0, 0);
    tvk_endPage(page);
  }
  const std::string pdf = Finish();
  EXPECT_NE(ObjectText(pdf, 2).find("/Count 400\n"), std::string::npos);
  EXPECT_EQ(CountOf(pdf, "/Type /Page\n"), 400);
  pdf_test::ExpectValidXref(pdf);
  const std::string path = Save(pdf, "many.pdf");
  ExpectQpdfCheck(path);
  if (pdf_test::HaveTool("qpdf")) {
    const pdf_test::ToolResult pages = pdf_test::RunTool("qpdf --show-npages '" + path + "'");
    EXPECT_EQ(pages.output, "400\n");
    const pdf_test::ToolResult json = pdf_test::RunTool("qpdf --json --json-key=outlines '" + path + "'");
    EXPECT_EQ(CountOf(json.output, "\"title\": \"Page "), 400);
    EXPECT_NE(json.output.find("\"title\": \"Page 400\""), std::string::npos);
  }
}

TEST_F(PdfDocumentTest, ByteIdenticalAcrossRunsWithAFixedClock) {
  auto make = [this] {
    tvk_prepare(0);
    tvk_enableCompression(1);
    tvk_setTitle("Holter 00012");
    EXPECT_EQ(tvk_open(), 0);
    tvk_OutlineEntry* previous = nullptr;
    for (int page = 1; page <= 2; ++page) {
      DrawRichPage(page);
      previous = tvk_addOutline(previous, 0, 1, page, "Page", 0, 0, 0, 0, 0);
      tvk_endPage(page);
    }
    return Finish();
  };
  const std::string first = make();
  const std::string second = make();
  EXPECT_EQ(first, second);
  EXPECT_NE(first.find("/CreationDate (D:20040307090501)"), std::string::npos);
}

TEST_F(PdfDocumentTest, ContentInTemporaryFilesGivesTheSameFile) {
  auto make = [this](bool in_memory) {
    tvk_prepare(0);
    tvk_enableCompression(1);
    tvk_setContentInMemory(in_memory ? 1 : 0);
    EXPECT_EQ(tvk_open(), 0);
    for (int page = 1; page <= 3; ++page) {
      EXPECT_EQ(BeginA4(page), 0);
      tvk_beginText(0);
      tvk_setFont("Courier", "WinAnsiEncoding", 10);
      tvk_text(10, 10, 0, "page " + std::to_string(page));
      tvk_endText();
      if (page != 2) tvk_endPage(page);  // page 2 is ended by finishing the document
    }
    return Finish();
  };
  const std::string memory = make(true);
  const std::string files = make(false);
  EXPECT_EQ(memory, files);
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
    EXPECT_EQ(entry.path().filename().string().rfind("_tvk" + std::to_string(::getpid()) + "-", 0),
              std::string::npos)
        << "left behind: " << entry.path();
}

TEST_F(PdfDocumentTest, NamedOutputIsWrittenAtomicallyWhenFinished) {
  const std::string target = pdf_test::WriteFile(Path("report.pdf"), "old report");
  tvk_prepare(0);
  tvk_setOutputName(target);
  ASSERT_EQ(tvk_open(), 0);
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_EQ(ReadAll(target), "old report");  // nothing touches the old file before the end
  ASSERT_EQ(tvk_finishDocument(clock_), 0);
  const std::string written = ReadAll(target);
  EXPECT_EQ(written.substr(0, 8), "%PDF-1.1");
  pdf_test::ExpectValidXref(written);

  // Launching the viewer hands the output name over.
  std::string launched;
  tvk_setViewerLauncher([&](const std::string& path) {
    launched = path;
    return 0;
  });
  EXPECT_EQ(tvk_launchOutput(), 0);
  EXPECT_EQ(launched, target);
}

TEST_F(PdfDocumentTest, OutputFailuresLeaveExistingFilesAlone) {
  const std::string missing = (Path("missing folder") / "report.pdf").string();
  tvk_prepare(0);
  tvk_setOutputName(missing);
  EXPECT_EQ(tvk_open(), 1);
  EXPECT_TRUE(Reported("Cannot open " + missing + " for PDF output"));

  tvk_prepare(0);
  ASSERT_EQ(tvk_open(), 0);
  EXPECT_EQ(tvk_saveToFile(Path("early.pdf").string()), -1);  // nothing finished yet
  EXPECT_TRUE(Reported("No finished document to save"));
  ASSERT_EQ(BeginA4(1), 0);
  Finish();
  const std::string good = pdf_test::WriteFile(Path("good.pdf"), "good");
  EXPECT_EQ(tvk_saveToFile(missing), -1);
  EXPECT_TRUE(Reported("Cannot open output file: " + missing));
  EXPECT_EQ(ReadAll(good), "good");
  EXPECT_EQ(tvk_saveToFile(good), 0);
  EXPECT_EQ(ReadAll(good).substr(0, 8), "%PDF-1.1");
  EXPECT_EQ(tvk_finishDocument(clock_), -1);  // the writer is closed now
}

TEST_F(PdfDocumentTest, LaunchingIsRefusedForStandardOutput) {
  tvk_setToStandardOutput(1);
  EXPECT_EQ(tvk_launchOutput(), -1);
  EXPECT_EQ(tvk_launchViewer("/tmp/some.pdf"), 0);
}

TEST_F(PdfDocumentTest, OpenBeforePrepareIsRefused) {
  tvk_release();
  EXPECT_EQ(tvk_open(), -1);
  EXPECT_TRUE(Reported("tvk_open() has not been called."));
  EXPECT_EQ(BeginA4(1), -1);
  EXPECT_EQ(tvk_finishDocument(clock_), -1);
  EXPECT_TRUE(tvk_memoryBuffer().empty());
}

// Page boxes are PDF numbers: a point, whatever locale the process runs in.
TEST_F(PdfDocumentTest, FractionalPageBoxesUnderACommaDecimalLocale) {
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  EXPECT_EQ(tvk_beginPage(1, 0, "0 0 595.28 841.89", " 0.5 0.5\t594.78 841.39 "), 0);
  EXPECT_EQ(tvk_beginPage(2, 0, "0 0 595,28 841,89", "0 0 595 842"), -1);
  const std::string pdf = Finish();
  EXPECT_NE(ObjectText(pdf, 5).find("/MediaBox [0 0 595.28 841.89]\n"), std::string::npos)
      << ObjectText(pdf, 5);
  pdf_test::ExpectValidXref(pdf);
}

}  // namespace
