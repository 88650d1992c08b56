#include "reports/emf2pdf.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/recording_canvas.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "reports/emf_markers.h"
#include "reports/pdf/pdf_test_support.h"
#include "reports/pdf/pdf_writer.h"
#include "reports/reports_context.h"

namespace {

using Draw = std::function<void(gfx::Canvas&)>;

// A report page's usual mapping: 0.01 mm, y negative downward from the frame's top-left corner.
void HiMetric(gfx::Canvas& dc) { dc.SetMapMode(gfx::MapMode::kHiMetric); }

// Zero bits (painted dots) of a 1800-byte grid tile.
int DotCount(std::string_view tile) {
  int dots = 0;
  for (const char c : tile)
    for (int bit = 0; bit < 8; ++bit)
      if ((static_cast<unsigned char>(c) & (0x80 >> bit)) == 0) ++dots;
  return dots;
}

// The inline images' binary data as a readable line, so that the goldens stay text.
std::string DescribeImages(const std::string& content, std::vector<int>* dots = nullptr) {
  std::string out;
  size_t from = 0;
  for (size_t id = content.find("ID "); id != std::string::npos; id = content.find("ID ", from)) {
    const size_t data = id + 3;
    const size_t end = content.find("\nEI\n", data);
    if (end == std::string::npos) break;
    const std::string_view tile(content.data() + data, end - data);
    if (dots) dots->push_back(DotCount(tile));
    out += content.substr(from, data - from);
    out += "<" + std::to_string(tile.size()) + " bytes, " + std::to_string(DotCount(tile)) + " dots>";
    from = end;
  }
  return out + content.substr(from);
}

// Bytes beyond ASCII (the page's cp1252 text) as octal escapes, so that the goldens stay UTF-8.
std::string EscapeHigh(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
      continue;
    }
    const char digits[] = {'\\', static_cast<char>('0' + (b >> 6)), static_cast<char>('0' + ((b >> 3) & 7)),
                           static_cast<char>('0' + (b & 7))};
    out.append(digits, 4);
  }
  return out;
}

// "Ftvk0 Helvetica-Bold" for every font resource of the file.
std::vector<std::string> FontNames(const std::string& pdf) {
  std::vector<std::string> fonts;
  for (size_t at = pdf.find("/Name /Ftvk"); at != std::string::npos; at = pdf.find("/Name /Ftvk", at + 1)) {
    const size_t base = pdf.find("/BaseFont /", at);
    fonts.push_back(pdf.substr(at + 7, pdf.find('\n', at) - at - 7) + " " +
                    pdf.substr(base + 11, pdf.find('\n', base) - base - 11));
  }
  return fonts;
}

// The bookmark titles in the order of the file's outline objects.
std::vector<std::string> BookmarkTitles(const std::string& pdf) {
  std::vector<std::string> titles;
  for (size_t at = pdf.find("/Parent "); at != std::string::npos; at = pdf.find("/Parent ", at + 1)) {
    const size_t obj = pdf.rfind(" obj\n", at);
    const size_t title = pdf.find("/Title (", obj);
    if (title == std::string::npos || title > pdf.find("endobj", obj)) continue;
    const size_t end = pdf.find(")\n", title);
    titles.push_back(pdf.substr(title + 8, end - title - 8));
  }
  return titles;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  const std::filesystem::path path =
      std::filesystem::path(ZK_SOURCE_DIR) / "tests" / "golden" / "reports" / ("emf2pdf_" + name + ".txt");
  const char* update = std::getenv("UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    pdf_test::WriteFile(path, actual);
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "golden file missing: " << path << " (run with UPDATE_GOLDEN=1)";
  std::ostringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(actual, expected.str()) << "differs from " << path;
}

class Emf2PdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::path(::testing::TempDir()) /
           (std::string("emf2pdf_") + info->name() + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    platform::ResetProcessState();
    tvk_setErrorHandler(
        [this](int, const std::string&, const std::string& message) { reports_.push_back(message); });
    tvk_setViewerLauncher([this](const std::string& path) {
      shown_.push_back(path);
      return 0;
    });
  }
  void TearDown() override {
    platform::ResetProcessState();
    std::filesystem::remove_all(dir_);
  }

  // Records each page on the converter, converts it with the default title "Page n" and returns
  // the saved file's bytes.
  std::string Convert(const std::vector<Draw>& pages, const gfx::DeviceInfo& reference = {}) {
    CEmf2Pdf converter(clock_);
    EXPECT_EQ(converter.OpenPdf("", "ZK-470 V 1.0", "00012", "Holter report", ""), 1);
    const auto reference_dc = std::make_unique<gfx::RecordingCanvas>(reference);
    for (size_t i = 0; i < pages.size(); ++i) {
      EXPECT_EQ(converter.OpenEmfDC(reference_dc.get()), 1);
      pages[i](*converter.GetEmfDC());
      EXPECT_EQ(converter.CloseEmfDC(), 1);
      const int page = static_cast<int>(i) + 1;
      EXPECT_EQ(converter.ConvertPage(page, "Page " + std::to_string(page)), 1);
      EXPECT_EQ(converter.DeleteEmf(), 1);
    }
    messages_ = converter.Messages();
    const std::string path = (dir_ / "report.pdf").string();
    EXPECT_EQ(converter.ClosePdf(path, false), 1);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  std::string ContentOf(const Draw& draw) {
    const std::vector<std::string> streams = pdf_test::ContentStreams(Convert({draw}));
    return streams.empty() ? std::string() : streams[0];
  }

  platform::ManualClock clock_{platform::LocalDateTime{2004, 3, 7, 9, 5, 1, 0}};
  std::filesystem::path dir_;
  std::vector<std::string> reports_;
  std::vector<std::string> shown_;
  std::vector<std::string> messages_;
};

TEST_F(Emf2PdfTest, PagesMatchTheirGoldens) {
  struct Case {
    const char* name;
    Draw draw;
  };
  const std::vector<Case> cases = {
      {"mmgrid",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         WriteMMGridMarker(dc, 1000, -2000, 5000, -4000);
       }},
      // Corners given the other way round: the same rectangle.
      {"bggrid",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         WriteBGGridMarker(dc, 5000, -4000, 1000, -2000);
       }},
      {"title_with_comma",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         WritePageTitleMarker(dc, "Summary, page 2");
         dc.MoveTo(0, -1000);
         dc.LineTo(18500, -1000);
       }},
      {"screen_dpi_text",
       [](gfx::Canvas& dc) {
         dc.SetMapMode(gfx::MapMode::kText);
         WriteScreenDpiMarker(dc, 96);
         dc.SelectFont(gfx::Font{.height = -16});
         dc.TextOut(96, 48, "Befund: Ärger");
       }},
      {"dotted_pens",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         dc.SelectPen({gfx::PenStyle::kDot, 0, 0x0000FF});
         dc.MoveTo(1000, -1000);
         dc.LineTo(9000, -1000);
         dc.SelectPen({gfx::PenStyle::kDot, 100, 0x0000FF});
         dc.MoveTo(1000, -2000);
         dc.LineTo(9000, -2000);
       }},
      {"polylines",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         const gfx::Point corner[] = {{0, 0}, {500, 0}, {500, -500}};
         dc.Polyline(corner);
         const gfx::Point back[] = {{1000, -500}, {1000, -800}, {1000, -300}};
         dc.Polyline(back);
         // A flat run, a repeated point and a diagonal step in one trace.
         dc.MoveTo(2000, -1000);
         const gfx::Point trace[] = {
             {2100, -1000}, {2200, -1000}, {2200, -1000}, {2300, -1100}, {2400, -1000}};
         dc.PolylineTo(trace);
       }},
      {"duplicate_line",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         dc.MoveTo(1000, -1000);
         dc.LineTo(3000, -1000);
         dc.MoveTo(1000, -1000);
         dc.LineTo(3000, -1000);
         // Back to an earlier point along a new edge: drawn.
         dc.LineTo(3000, -3000);
         dc.LineTo(1000, -3000);
         dc.LineTo(3000, -1000);
       }},
      {"markers",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         WriteEmfMarker(dc, "MMGRID,1000,-1000,3000");
         WriteEmfMarker(dc, "BGGRID,1000,-1000,3000,-3000,99");
         WriteEmfMarker(dc, "OTHER,1,2");
         dc.Comment("");
       }},
      {"fonts",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         dc.SelectFont(gfx::Font{.height = -400, .weight = 700, .face = "MS Sans Serif"});
         dc.TextOut(1000, -1000, "Holter");
         // One character keeps the spacing the last text left.
         dc.SelectFont(gfx::Font{.height = -300});
         dc.TextOut(1000, -2000, "X");
         dc.SelectFont(gfx::Font{.height = -300, .escapement = 900});
         dc.TextOut(1000, -5000, "mV");
       }},
      {"save_restore",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         dc.SelectPen({gfx::PenStyle::kSolid, 0, 0x0000FF});
         dc.SaveDC();
         dc.SelectPen({gfx::PenStyle::kSolid, 0, 0xFF0000});
         dc.MoveTo(1000, -1000);
         dc.LineTo(2000, -1000);
         dc.RestoreDC(-1);
         // The red pen and the position before the save are back.
         dc.LineTo(1000, -2000);
       }},
      {"shapes",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         dc.SelectPen({gfx::PenStyle::kSolid, 32, 0x000000});
         dc.SelectBrush({gfx::BrushStyle::kSolid, 0xC0C0C0});
         dc.Rectangle(1000, -1000, 3000, -2000);
         dc.SelectBrush({gfx::BrushStyle::kNull, 0});
         dc.Rectangle(4000, -1000, 6000, -2000);
         dc.SelectPen({gfx::PenStyle::kNull, 0, 0});
         dc.SelectBrush({gfx::BrushStyle::kSolid, 0x00FF00});
         dc.Rectangle(7000, -1000, 9000, -2000);
         dc.SetPixel(1000, -3000, 0x0000FF);
         dc.FillSolidRect({1000, -4000, 2000, -5000}, 0xFF0000);
         dc.PatBlt(3000, -4000, 1000, -1000, gfx::kPatCopy);
         dc.SetTextColor(0x008000);
         dc.TextOut(1000, -6000, "Ab");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string pdf = Convert({c.draw});
    std::string dump = EscapeHigh(DescribeImages(pdf_test::ContentStreams(pdf).at(0)));
    for (const std::string& font : FontNames(pdf)) dump += "% font: " + font + "\n";
    for (const std::string& title : BookmarkTitles(pdf)) dump += "% bookmark: " + title + "\n";
    ExpectGolden(c.name, dump);
  }
}

TEST_F(Emf2PdfTest, GridTilesHoldTheirDots) {
  struct Case {
    const char* name;
    Draw draw;
    int tiles;
    int dots;
  };
  const Case cases[] = {
      {"millimetre",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         WriteMMGridMarker(dc, 0, 0, 4500, -3000);
       },
       6, 404},
      {"background",
       [](gfx::Canvas& dc) {
         HiMetric(dc);
         WriteBGGridMarker(dc, 0, 0, 4500, -3000);
       },
       6, 1600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> dots;
    DescribeImages(ContentOf(c.draw), &dots);
    EXPECT_EQ(dots, std::vector<int>(c.tiles, c.dots));
  }
}

TEST_F(Emf2PdfTest, OneBookmarkPerPageWithThePageTitleOrTheDefault) {
  const std::string pdf = Convert({
      [](gfx::Canvas& dc) { WritePageTitleMarker(dc, "Summary, day 1, page 2"); },
      [](gfx::Canvas&) {},
      [](gfx::Canvas& dc) {
        WritePageTitleMarker(dc, "Events");
        WritePageTitleMarker(dc, "Heart rate");
      },
  });
  EXPECT_EQ(BookmarkTitles(pdf),
            (std::vector<std::string>{"Summary, day 1, page 2", "Page 2", "Heart rate"}));
  EXPECT_NE(pdf.find("/PageMode /UseOutlines"), std::string::npos);
  pdf_test::ExpectValidXref(pdf);
}

TEST_F(Emf2PdfTest, OutputPassesTheCheckersAndShowsItsText) {
  SKIP_WITHOUT("qpdf");
  SKIP_WITHOUT("pdftotext");
  Convert({
      [](gfx::Canvas& dc) {
        HiMetric(dc);
        WritePageTitleMarker(dc, "Summary");
        WriteMMGridMarker(dc, 0, -3000, 18500, -8000);
        dc.SelectFont(gfx::Font{.height = -350});
        dc.TextOut(500, -1000, "Größte Pause 2,4 s");
        const gfx::Point trace[] = {{0, -5000}, {400, -5000}, {450, -4000}, {500, -6000}, {600, -5000}};
        dc.Polyline(trace);
      },
      [](gfx::Canvas& dc) {
        HiMetric(dc);
        WriteBGGridMarker(dc, 0, -1000, 18500, -4000);
        dc.Rectangle(0, 0, 18500, -25000);
      },
  });
  const std::string path = (dir_ / "report.pdf").string();
  const pdf_test::ToolResult check = pdf_test::RunTool("qpdf --check '" + path + "' 2>&1");
  EXPECT_EQ(check.exit_code, 0) << check.output;
  const pdf_test::ToolResult text = pdf_test::RunTool("pdftotext -layout '" + path + "' - 2>&1");
  EXPECT_NE(text.output.find("Größte Pause 2,4 s"), std::string::npos) << text.output;
  // A picture of the first page to look at, beside the other screenshots.
  if (pdf_test::HaveTool("pdftoppm")) {
    const std::filesystem::path shots = std::filesystem::path(ZK_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(shots);
    pdf_test::RunTool("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + path + "' '" +
                      (shots / "emf2pdf_page").string() + "'");
    // The grid's top-left corner, large enough to see its dots.
    pdf_test::RunTool("pdftoppm -png -r 250 -f 1 -l 1 -x 0 -y 200 -W 700 -H 600 -singlefile '" + path +
                      "' '" + (shots / "emf2pdf_grid").string() + "'");
  }
}

TEST_F(Emf2PdfTest, TextFillsItsCellMeasuredWithItsOwnLetters) {
  // An em of 1 cm gives whole cell widths, so a text measured right needs no extra spacing.
  // Measuring umlauts and sharp s as base letters would spread "Maße" by the width ß exceeds b.
  for (const char* text : {"Maße", "Ärger über Öl"}) {
    SCOPED_TRACE(text);
    const std::string content = ContentOf([&](gfx::Canvas& dc) {
      HiMetric(dc);
      dc.SelectFont(gfx::Font{.height = -1000});
      dc.TextOut(1000, -2000, text);
    });
    const size_t bt = content.find("BT\n");
    ASSERT_NE(bt, std::string::npos);
    const size_t tc = content.find(" Tc\n", bt);
    ASSERT_NE(tc, std::string::npos);
    const size_t line = content.rfind('\n', tc) + 1;
    EXPECT_NEAR(std::atof(content.c_str() + line), 0.0, 0.0015);
  }
}

TEST_F(Emf2PdfTest, RecordingCountsWhileAPageIsOpen) {
  CEmf2Pdf converter(clock_);
  EXPECT_EQ(converter.GetEmfDC(), nullptr);
  EXPECT_EQ(converter.CloseEmfDC(), 0);
  EXPECT_EQ(converter.DeleteEmf(), 0);
  EXPECT_EQ(converter.ConvertPage(1, "Page 1"), 0);  // nothing held, no document
  ASSERT_EQ(converter.OpenEmfDC(nullptr), 1);
  EXPECT_TRUE(IsEmfRecording());
  EXPECT_EQ(converter.OpenEmfDC(nullptr), 0);
  ASSERT_NE(converter.GetEmfDC(), nullptr);
  EXPECT_EQ(converter.CloseEmfDC(), 1);
  EXPECT_FALSE(IsEmfRecording());
  EXPECT_EQ(converter.GetEmfDC(), nullptr);
  EXPECT_EQ(converter.ConvertPage(1, "Page 1"), 0);  // no document open
  {
    CEmf2Pdf abandoned(clock_);
    abandoned.OpenEmfDC(nullptr);
    EXPECT_TRUE(IsEmfRecording());
  }
  EXPECT_FALSE(IsEmfRecording());
  BeginEmfRecording();
  platform::ResetProcessState();
  EXPECT_FALSE(IsEmfRecording());
}

TEST_F(Emf2PdfTest, ProblemsAreReturnedNotShown) {
  Convert({[](gfx::Canvas& dc) {
    dc.SetMapMode(gfx::MapMode::kAnisotropic);
    dc.LineTo(10, 10);
  }});
  EXPECT_EQ(messages_, std::vector<std::string>{"Setmapmode an/isotropic"});
  EXPECT_TRUE(shown_.empty());
}

TEST_F(Emf2PdfTest, StopRequestEndsThePageEarly) {
  CEmf2Pdf converter(clock_);
  ASSERT_EQ(converter.OpenPdf("", "", "", "", ""), 1);
  converter.OpenEmfDC(nullptr);
  HiMetric(*converter.GetEmfDC());
  converter.GetEmfDC()->LineTo(1000, -1000);
  converter.CloseEmfDC();
  int asked = 0;
  EXPECT_EQ(converter.ConvertPage(1, "Page 1", [&] { return ++asked > 1; }), 0);
  EXPECT_EQ(asked, 2);
  const std::string path = (dir_ / "stopped.pdf").string();
  ASSERT_EQ(converter.ClosePdf(path, true), 1);
  EXPECT_EQ(shown_, std::vector<std::string>{path});
}

TEST_F(Emf2PdfTest, SaveFailureIsReported) {
  CEmf2Pdf converter(clock_);
  ASSERT_EQ(converter.OpenPdf("", "", "", "", ""), 1);
  EXPECT_EQ(converter.ClosePdf((dir_ / "missing" / "report.pdf").string(), true), 0);
  EXPECT_TRUE(shown_.empty());
}

TEST(EmfMarker, ParsesWhatThePagesWrite) {
  struct Case {
    const char* comment;
    bool found;
    EmfMarkerKind kind;
    gfx::Rect rect;
    const char* title;
    int dpi;
  };
  const Case cases[] = {
      {"MMGRID,1,-2,3,-4", true, EmfMarkerKind::kMMGrid, {1, -2, 3, -4}, "", 0},
      {"BGGRID,5,6,7,8,9", true, EmfMarkerKind::kBGGrid, {5, 6, 7, 8}, "", 0},
      {"MMGRID,1,2,3", false, {}, {}, "", 0},
      {"PAGETITLE,A, B, C", true, EmfMarkerKind::kPageTitle, {}, "A, B, C", 0},
      {"PAGETITLE", true, EmfMarkerKind::kPageTitle, {}, "", 0},
      {"SCREENDPI,120", true, EmfMarkerKind::kScreenDpi, {}, "", 120},
      {"SCREENDPI", true, EmfMarkerKind::kScreenDpi, {}, "", 0},
      {"GRID,1,2,3,4", false, {}, {}, "", 0},
      {"", false, {}, {}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.comment);
    const std::optional<EmfMarker> m = ParseEmfMarker(c.comment);
    ASSERT_EQ(m.has_value(), c.found);
    if (!m) continue;
    EXPECT_EQ(m->kind, c.kind);
    EXPECT_EQ(m->rect, c.rect);
    EXPECT_EQ(m->title, c.title);
    EXPECT_EQ(m->dpi, c.dpi);
  }
  // 255 characters are a marker, 256 are not; an umlaut counts once.
  EXPECT_TRUE(ParseEmfMarker("PAGETITLE," + std::string(242, 'x') + "äää"));
  EXPECT_FALSE(ParseEmfMarker("PAGETITLE," + std::string(246, 'x')));
}

}  // namespace
