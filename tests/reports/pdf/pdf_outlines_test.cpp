#include "reports/pdf/pdf_outlines.h"

#include <gtest/gtest.h>

#include <string>

#include "reports/pdf/pdf_test_support.h"

namespace {

using pdf_test::ObjectText;
using pdf_test::PdfTest;

class PdfOutlinesTest : public PdfTest {};

TEST_F(PdfOutlinesTest, OneBookmarkPerPageAsTheReportAddsThem) {
  tvk_OutlineEntry* previous = nullptr;
  for (int page = 1; page <= 3; ++page) {
    ASSERT_EQ(BeginA4(page), 0);
    previous = tvk_addOutline(previous, 0, 1, page, "Page (" + std::to_string(page) + ")", 0, 0, 0, 0, 0);
    ASSERT_NE(previous, nullptr);
    tvk_endPage(page);
  }
  const std::string pdf = Finish();
  // Pages 5, 7, 9; entries 11, 12, 13.
  EXPECT_EQ(ObjectText(pdf, 2), "2 0 obj\n<<\n/Type /Outlines\n/Count 3\n/First 11 0 R\n/Last 13 0 R\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 11),
            "11 0 obj\n<<\n/Parent 2 0 R\n/Dest [5 0 R /XYZ null null null]\n/Title (Page \\(1\\))\n"
            "/Next 12 0 R\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 12),
            "12 0 obj\n<<\n/Parent 2 0 R\n/Dest [7 0 R /XYZ null null null]\n/Title (Page \\(2\\))\n"
            "/Next 13 0 R\n/Prev 11 0 R\n>>\nendobj\n");
  EXPECT_EQ(ObjectText(pdf, 13),
            "13 0 obj\n<<\n/Parent 2 0 R\n/Dest [9 0 R /XYZ null null null]\n/Title (Page \\(3\\))\n"
            "/Prev 12 0 R\n>>\nendobj\n");
  pdf_test::ExpectValidXref(pdf);
}

TEST_F(PdfOutlinesTest, ClosedEntriesCountTheirChildrenNegatively) {
  ASSERT_EQ(BeginA4(1), 0);
  tvk_OutlineEntry* top = tvk_addOutline(nullptr, 0, 1, 1, "Top", 2, 0, 0, 0, 0);
  tvk_OutlineEntry* closed = tvk_addOutline(top, 1, 0, 1, "Closed", 3, 700, 0, 0, 0);
  tvk_OutlineEntry* a = tvk_addOutline(closed, 1, 1, 1, "A", 1, 10, 20, 1.5, 0);
  tvk_addOutline(a, 0, 1, 1, "B", 0, 0, 0, 0, 0);
  tvk_addActionOutline(nullptr, 0, 1, "/S /URI /URI (https://example.org)", "Web");
  EXPECT_EQ(top->count, 1);     // sees the closed entry, not its children
  EXPECT_EQ(closed->count, 2);
  const std::string pdf = Finish();
  // Page 5; entries: Top 7, Closed 8, A 9, B 10, Web 11.
  EXPECT_NE(ObjectText(pdf, 2).find("/Count 3\n/First 7 0 R\n/Last 11 0 R\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 7).find("/Dest [5 0 R /Fit]\n/Title (Top)\n/Next 11 0 R\n/First 8 0 R\n/Last 8 0 R\n/Count 1\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 8).find("/Parent 7 0 R\n/Dest [5 0 R /FitH 700]\n/Title (Closed)\n/First 9 0 R\n"
                                    "/Last 10 0 R\n/Count -2\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 9).find("/Parent 8 0 R\n/Dest [5 0 R /XYZ 10 20 1.500]\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 11).find("/A <<\n/S /URI /URI (https://example.org)\n>>\n/Title (Web)\n/Prev 7 0 R\n"),
            std::string::npos);
  const std::string path = pdf_test::WriteFile(Path("tree.pdf"), pdf);
  if (pdf_test::HaveTool("qpdf")) {
    const pdf_test::ToolResult r = pdf_test::RunTool("qpdf --check '" + path + "' 2>&1");
    EXPECT_EQ(r.exit_code, 0) << r.output;
  }
}

TEST_F(PdfOutlinesTest, BookmarkForAPageNotBegunIsRefused) {
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_EQ(tvk_addOutline(nullptr, 0, 1, 2, "Two", 0, 0, 0, 0, 0), nullptr);
  EXPECT_TRUE(Reported("Page 2 has not yet been created for outiline (book mark)."));
  EXPECT_NE(ObjectText(Finish(), 2).find("/Count 0\n>>"), std::string::npos);
}

TEST_F(PdfOutlinesTest, DestinationTexts) {
  struct Case { int kind; const char* text; };
  constexpr Case kCases[] = {{1, "/XYZ 1 2 3.000"}, {2, "/Fit"},   {3, "/FitH 1"}, {4, "/FitV 1"},
                             {5, "/FitR 1 2 3 4"},  {6, "/FitB"},  {7, "/FitBH 1"}, {8, "/FitBV 1"},
                             {0, "/XYZ null null null"}};
  for (const Case& c : kCases) EXPECT_EQ(tvk_destinationText(c.kind, 1, 2, 3, 4), c.text);
}

TEST_F(PdfOutlinesTest, AnnotationsOfEveryKind) {
  ASSERT_EQ(BeginA4(1), 0);
  ASSERT_EQ(BeginA4(2), 0);
  EXPECT_EQ(tvk_addTextNote(10, 10, 50, 50, "Befund (vorläufig)", "a\nb\r\nc(d)", nullptr), 0);
  EXPECT_EQ(tvk_addUriLink(60, 10, 100, 30, "https://example.org/a(b)", nullptr), 0);
  EXPECT_EQ(tvk_addPageLink(110, 10, 150, 30, 1, "/Fit", nullptr), 0);
  tvk_AnnotationAttributes look;
  look.flags = 4;
  look.r = 1;
  look.border_style = "/W 2 /S /D";
  EXPECT_EQ(tvk_addActionLink(160, 10, 200, 30, "/S /Named /N /NextPage", &look), 0);
  EXPECT_EQ(tvk_addTextNoteFromFile(0, 0, 1, 1, "x", Path("missing.txt").string(), nullptr), -1);
  EXPECT_TRUE(Reported("cannot open annotation text file: "));
  const std::string pdf = Finish();
  // Pages 5 and 7; annotations 9..12.
  EXPECT_NE(ObjectText(pdf, 7).find("/Annots [ 9 0 R 10 0 R 11 0 R 12 0 R ]\n"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, 9),
            "9 0 obj\n<<\n/Type /Annot\n/Subtype /Text\n/Rect [10 10 50 50]\n/T (Befund \\(vorl\xE4ufig\\))\n"
            "/Contents (a\\r\\nb\\r\\nc\\(d\\))\n/Border [0 0 1]\n/C [1.0000 1.0000 0.0000]\n/F 0\n>>\nendobj\n");
  EXPECT_NE(ObjectText(pdf, 10).find("/A << /S /URI\n/URI (https://example.org/a\\(b\\))\n>>\n/Border [0 0 0]\n"
                                     "/C [0.0000 0.0000 1.0000]\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 11).find("/Dest [5 0 R /Fit]\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 12).find("/A <<\n/S /Named /N /NextPage\n>>\n/BS <<\n/W 2 /S /D\n>>\n"
                                     "/C [1.0000 0.0000 0.0000]\n/F 4\n"),
            std::string::npos);
  pdf_test::ExpectValidXref(pdf);
  const std::string path = pdf_test::WriteFile(Path("annots.pdf"), pdf);
  if (pdf_test::HaveTool("qpdf")) {
    const pdf_test::ToolResult r = pdf_test::RunTool("qpdf --check '" + path + "' 2>&1");
    EXPECT_EQ(r.exit_code, 0) << r.output;
  }
}

TEST_F(PdfOutlinesTest, AnnotationCapIsEnforced) {
  tvk_setDocumentLimits(0, 0, 0, 1, 0);
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_EQ(tvk_addUriLink(0, 0, 1, 1, "https://example.org", nullptr), 0);
  EXPECT_EQ(tvk_addUriLink(0, 0, 1, 1, "https://example.org", nullptr), -1);
  EXPECT_TRUE(Reported("Too many annotations: 1. Increase limit by tvk_setDocumentLimits()"));
}

}  // namespace
