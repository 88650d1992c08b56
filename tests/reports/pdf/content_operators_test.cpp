#include "reports/pdf/content_operators.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include <string>
#include <vector>

#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_test_support.h"

namespace {

using pdf_test::PdfTest;

class ContentOperatorsTest : public PdfTest {
 protected:
  // Runs the drawing on page 1 of an uncompressed document and returns the page content.
  template <typename Draw>
  std::string Content(Draw draw) {
    EXPECT_EQ(BeginA4(1), 0);
    draw();
    const std::vector<std::string> streams = pdf_test::ContentStreams(Finish());
    return streams.empty() ? std::string() : streams[0];
  }
};

// One golden stream per operator group; each line's format is the writer's fixed C format.
TEST_F(ContentOperatorsTest, ColourOperatorsMatchGolden) {
  pdf_test::ExpectGolden("colour.txt", Content([] {
    tvk_setGrayFill(0.25);
    tvk_setGrayStroke(0.5);
    tvk_setGray(1);
    tvk_setRgbFill(1, 0.5, 0.123456);
    tvk_setRgbStroke(0, 0, 1);
    tvk_setRgb(0.2, 0.4, 0.6);
    tvk_setCmykFill(0.1, 0.2, 0.3, 0.4);
    tvk_setCmykStroke(1, 0, 0, 0);
    tvk_setCmyk(0, 1, 0, 0.5);
  }));
}

TEST_F(ContentOperatorsTest, GraphicsStateOperatorsMatchGolden) {
  pdf_test::ExpectGolden("graphics_state.txt", Content([] {
    tvk_saveState();
    tvk_setDash("[2.25 1.5 0 1.5 0 1.5]0");
    tvk_setNoDash();
    tvk_concat(1, 0, 0, 1, 10.5, -20.25);
    tvk_rotate(30);
    tvk_translate(72, 144);
    tvk_scale(2, 0.5);
    tvk_setFlatness(1);
    tvk_setLineJoin(1);
    tvk_setLineCap(2);
    tvk_setMiterLimit(10);
    tvk_setLineWidth(0.5);
    tvk_restoreState();
  }));
}

TEST_F(ContentOperatorsTest, PathOperatorsMatchGolden) {
  pdf_test::ExpectGolden("path.txt", Content([] {
    tvk_moveTo(10, 20.25);
    tvk_lineTo(100, 20.25);
    tvk_moveBy(5, -5);
    tvk_lineBy(0.0005, 0.0004);
    tvk_curveTo(1, 2, 3, 4, 5, 6);
    tvk_closePath();
    tvk_stroke();
    tvk_rectangle(50, 60, 70.125, -80);
    tvk_fill();
    tvk_circle(300, 400, 30);
    tvk_fillEvenOdd();
    tvk_circle(10, 10, 0);
    tvk_fillStroke();
    tvk_fillStrokeEvenOdd();
    tvk_clip();
    tvk_clipEvenOdd();
    tvk_newPath();
  }));
}

TEST_F(ContentOperatorsTest, TextOperatorsMatchGolden) {
  pdf_test::ExpectGolden("text.txt", Content([] {
    tvk_beginText(0);
    tvk_setFont("Helvetica", "WinAnsiEncoding", 10);
    tvk_setWordSpacing(1.5);
    tvk_setCharSpacing(0.25);
    tvk_setHorizontalScaling(90);
    tvk_setLeading(12);
    tvk_setTextRise(-2);
    tvk_setTextRender(0);
    tvk_setTextMatrix(1, 0, 0, 1, 100, 700);
    tvk_concatTextMatrix(2, 0, 0, 2, 10, 10);
    tvk_rotateText(90);
    tvk_skewText(10, 0);
    tvk_setTextPosition(50, 500);
    tvk_moveText(0, -12);
    tvk_nextLine();
    tvk_showText("a(b)c\\d");
    tvk_showTextNextLine("Äöüß €");
    tvk_endText();
  }));
}

TEST_F(ContentOperatorsTest, PlacedTextMatchesGolden) {
  pdf_test::ExpectGolden("text_placed.txt", Content([] {
    tvk_beginText(0);
    tvk_setFont("Courier", "WinAnsiEncoding", 10);
    tvk_text(100, 200, 0, "Courier");
    tvk_text(100, 200, 90, "up");
    for (int alignment = 0; alignment <= 8; ++alignment) tvk_textAligned(300, 400, 0, alignment, "ab");
    tvk_textAligned(300, 400, 45, 4, "ab");
    tvk_endText();
  }));
}

TEST_F(ContentOperatorsTest, PlotFormsMatchGolden) {
  tvk_setUnitSize(28.3464566);
  pdf_test::ExpectGolden("plot.txt", Content([] {
    tvk_plotMoveTo(1, 2);
    tvk_plotLineTo(3.5, 2);
    tvk_plotMoveBy(1, 1);
    tvk_plotLineBy(1, 0);
    tvk_plotCurveTo(1, 1, 2, 2, 3, 1);
    tvk_plotRectangle(2, 3, 4, 5);
    tvk_plotCircle(10, 10, 1);
    tvk_plotConcat(1, 0, 0, 1, 1, 1);
    tvk_plotTranslate(2, 2);
    tvk_beginText(0);
    tvk_setFont("Helvetica-Bold", "WinAnsiEncoding", 8);
    tvk_plotText(2, 27, 0, "Patient: Müller (geb. Schmidt)");
    tvk_plotTextAligned(10.5, 14.85, 0, 4, "centre");
    tvk_plotTextPosition(1, 1);
    tvk_plotMoveText(1, 1);
    tvk_endText();
  }));
}

TEST_F(ContentOperatorsTest, ImageOperatorsMatchGolden) {
  const std::string jpeg = pdf_test::FixturePath("tiny.jpg").string();
  pdf_test::ExpectGolden("image.txt", Content([&] {
    const uint8_t mask[4] = {0x0F, 0xF0, 0xAA, 0x55};
    tvk_inlineImage(mask, 10, 20, 0, 16, 2, 16, 2, 1, 0, 1);
    const uint8_t gray[2] = {0x00, 0xFF};
    tvk_inlineImage(gray, 10, 40, 90, 20, 10, 2, 1, 8, 1, 0);
    double width = 48, height = 0, sx = 0, sy = 0;
    tvk_placeImage(jpeg, 0, 100, 100, 0, &width, &height, &sx, &sy, 1);
  }));
}

TEST_F(ContentOperatorsTest, EdgeCasesOfTheFormats) {
  const std::string content = Content([] {
    tvk_beginText(0);
    tvk_setFont("Helvetica", "WinAnsiEncoding", 12);
    tvk_showText("a(b)c\\d");
    tvk_endText();
    tvk_setLineWidth(0.5);
    tvk_moveTo(10, 20.25);
    tvk_writeRaw("% raw without line feed");
    tvk_saveState();
    tvk_circle(7, 8, 0);
  });
  EXPECT_NE(content.find("(a\\(b\\)c\\\\d) Tj\n"), std::string::npos);
  EXPECT_NE(content.find("0.5000 w\n"), std::string::npos);
  EXPECT_NE(content.find("10.000 20.250 m\n"), std::string::npos);
  EXPECT_NE(content.find("% raw without line feed\nq\n"), std::string::npos);
  EXPECT_NE(content.find("7.000 8.000 m\n7.000 8.000 7.000 8.000 7.000 8.000 c\n"
                         "7.000 8.000 7.000 8.000 7.000 8.000 c\nh\n"),
            std::string::npos);
}

TEST_F(ContentOperatorsTest, CentreAlignmentPutsTheCapBoxCentreOnThePoint) {
  ASSERT_EQ(BeginA4(1), 0);
  tvk_beginText(0);
  tvk_setFont("Helvetica", "WinAnsiEncoding", 10);
  const double w = tvk_stringWidth("Holter");
  const double h = tvk_capHeight() * 10;
  EXPECT_DOUBLE_EQ(h, 7.18);
  tvk_textAligned(300, 400, 0, 4, "Holter");
  const std::string content = pdf_test::ContentStreams(Finish())[0];
  const std::string expected = "1.0000 0.0000 -0.0000 1.0000 " + tvk_format("%.4f %.4f", 300 - w / 2, 400 - h / 2) + " Tm\n(Holter) Tj\n";
  EXPECT_NE(content.find(expected), std::string::npos) << content;
}

// Puts back the C numeric locale and LOCPATH when the test ends.
struct NumericLocaleGuard {
  ~NumericLocaleGuard() {
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
  }
};

TEST_F(ContentOperatorsTest, NumbersUseAPointWhateverTheLocale) {
  // The Qt host sets LC_NUMERIC from the environment; a German one writes decimal commas.
  NumericLocaleGuard guard;
  const char* locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  if (locale == nullptr && pdf_test::HaveTool("localedef")) {
    pdf_test::RunTool("localedef -i de_DE -f UTF-8 '" + Path("de_DE.UTF-8").string() + "' 2>&1");
    ::setenv("LOCPATH", dir_.c_str(), 1);
    locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  }
  if (locale == nullptr) GTEST_SKIP() << "no German locale installed and none could be built";
  char check[16];
  std::snprintf(check, sizeof check, "%.1f", 0.5);
  ASSERT_STREQ(check, "0,5");
  const std::string content = Content([] {
    tvk_setLineWidth(0.25);
    tvk_moveTo(10.5, 20.25);
    tvk_setTextRise(-1.5);
  });
  EXPECT_EQ(content, "0.2500 w\n10.500 20.250 m\n-1.500 Ts\n");
}

TEST_F(ContentOperatorsTest, TextWithoutAFontOnThePageGetsOne) {
  ASSERT_EQ(BeginA4(1), 0);
  tvk_beginText(0);
  tvk_setFont("Times-Roman", "WinAnsiEncoding", 9);
  tvk_text(10, 10, 0, "one");
  tvk_endText();
  tvk_endPage(1);
  ASSERT_EQ(BeginA4(2), 0);
  tvk_beginText(0);
  tvk_text(10, 10, 0, "two");  // no Tf on this page yet
  tvk_endText();
  const std::string pdf = Finish();
  const std::vector<std::string> streams = pdf_test::ContentStreams(pdf);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_NE(streams[1].find("1.0000 0.0000 -0.0000 1.0000 10.0000 10.0000 Tm\n/Ftvk0 9.000 Tf\n(two) Tj"),
            std::string::npos)
      << streams[1];
  EXPECT_NE(pdf_test::ObjectText(pdf, 7).find("/Ftvk0 "), std::string::npos);
}

}  // namespace
