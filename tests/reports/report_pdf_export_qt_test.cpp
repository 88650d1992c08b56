// The exported report against the same pages drawn by the screen's canvas: every page rasterised
// from the PDF at 100 dpi and compared tile by tile with the canvas's picture of it.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/profile_keys.h"
#include "document/settings_store.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/emf2pdf.h"
#include "reports/pdf/pdf_test_support.h"
#include "reports/print_composer_impl.h"
#include "reports/print_part_table.h"
#include "reports/report_parts_fixture.h"
#include "reports/report_pdf_export.h"
#include "support/test_files.h"
#include "win/printing.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDpi = 100;
// The canvas draws at kSupersample times kDpi and keeps the darkest of each block: drawn at 100 dpi
// directly, it would drop what is narrower than a pixel (a 0.1 mm tick, a 0.15 mm histogram bar)
// by the drawing rules of a device, while the PDF's raster keeps it as one pixel.
constexpr int kSupersample = 2;
constexpr int kDrawDpi = kDpi * kSupersample;
constexpr int kTile = 32;
// Mean difference per channel of one tile, in 1/255: room for anti-aliasing and for glyphs of
// another face of the same metrics, not for a missing or miscoloured shape.
constexpr double kMaxTileDifference = 12.0;
// How far apart the two rasters may put the same edge, in pixels.
constexpr int kRegistrationPx = 2;

// Where the converter puts the recorded frame's top-left corner on the A4 page (595 x 842
// points), in pixels at kDrawDpi: the frame is centred.
QPoint FrameOrigin() {
  const double page_w_mm = 595 / 72.0 * 25.4;
  const double page_h_mm = 842 / 72.0 * 25.4;
  const double left_mm = (page_w_mm - CEmf2Pdf::kFrameWidth / 100.0) / 2;
  const double top_mm = (page_h_mm - CEmf2Pdf::kFrameHeight / 100.0) / 2;
  return {static_cast<int>(std::lround(left_mm / 25.4 * kDrawDpi)),
          static_cast<int>(std::lround(top_mm / 25.4 * kDrawDpi))};
}

gfx::DeviceInfo PageDevice(const QSize& size) {
  gfx::DeviceInfo device;
  device.width_px = size.width();
  device.height_px = size.height();
  device.dpi_x = kDrawDpi;
  device.dpi_y = kDrawDpi;
  device.width_mm = 210;
  device.height_mm = 297;
  return device;
}

// The screen's canvas with every fill (rectangles, brushes, opaque text cells) painted white:
// what a page would look like whose filled shapes were lost.
class WhiteFillCanvas : public qthost::ImageCanvas {
 public:
  using ImageCanvas::ImageCanvas;

 protected:
  void FillPixels(const gfx::Rect& device, gfx::Color, gfx::Rop2 rop) override {
    ImageCanvas::FillPixels(device, 0xFFFFFF, rop);
  }
};

using CanvasMaker = std::function<std::unique_ptr<gfx::Canvas>(QImage&)>;

std::unique_ptr<gfx::Canvas> ScreenCanvas(QImage& image) {
  return std::make_unique<qthost::ImageCanvas>(image, FrameOrigin(), PageDevice(image.size()));
}
std::unique_ptr<gfx::Canvas> WhiteFills(QImage& image) {
  return std::make_unique<WhiteFillCanvas>(image, FrameOrigin(), PageDevice(image.size()));
}

// The print loop's hooks over one composer, as the view drives them.
class ComposerJob : public win::PrintHooks {
 public:
  explicit ComposerJob(PrintComposer& composer) : composer_(composer) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    composer_.CountPages(info, cmd::kPrintWholeReport);
    return true;
  }
  void OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo&) override { composer_.DecideColour(dc); }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrepareDC(dc, info); }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrintPage(dc, info, 1); }
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) override { composer_.CleanUp(dc, info); }

 private:
  PrintComposer& composer_;
};

// A page of filled bars in several colours, a framed box, lines, text and a text cut at its box:
// enough fill that a page which lost it cannot pass.
class BarsJob : public win::PrintHooks {
 public:
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    info.max_page = 1;
    return true;
  }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo&) override {
    dc.SetMapMode(gfx::MapMode::kHiMetric);
    dc.SetBkMode(gfx::BkMode::kTransparent);
  }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo&) override {
    constexpr gfx::Color kColours[] = {0x0000C0, 0x00A000, 0xC00000, 0x808080};
    for (int i = 0; i < 4; ++i) {
      dc.SelectPen(gfx::Pen{gfx::PenStyle::kNull, 0, 0});
      dc.SelectBrush(gfx::Brush{gfx::BrushStyle::kSolid, kColours[i]});
      dc.Rectangle(2000 + i * 4000, -3000, 5000 + i * 4000, -12000);
    }
    dc.SelectPen(gfx::Pen{gfx::PenStyle::kSolid, 0, 0x000000});
    dc.SelectBrush(gfx::Brush{gfx::BrushStyle::kSolid, 0xFFE0C0});
    dc.Rectangle(2000, -14000, 17000, -20000);
    dc.MoveTo(2000, -22000);
    dc.LineTo(17000, -26000);
    gfx::Font font;
    font.height = -350;
    dc.SelectFont(font);
    dc.TextOut(2500, -15000, "Müßig Jürgen, 24 h Holter ECG");
    // Cut at its box as the report's label columns cut a long class name.
    gfx::Rect label{2500, -17000, 6000, -18000};
    dc.DrawText("Absolute arrhythmia with a long name", label, gfx::kDtSingleLine | gfx::kDtVCenter);
  }
};

// Each pixel, per channel, the darkest of a kSupersample x kSupersample block.
QImage KeepDarkest(const QImage& image) {
  const int w = image.width() / kSupersample;
  const int h = image.height() / kSupersample;
  QImage out(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      int c[3] = {255, 255, 255};
      for (int dy = 0; dy < kSupersample; ++dy) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y * kSupersample + dy));
        for (int dx = 0; dx < kSupersample; ++dx) {
          const QRgb p = in[x * kSupersample + dx];
          c[0] = std::min(c[0], qRed(p));
          c[1] = std::min(c[1], qGreen(p));
          c[2] = std::min(c[2], qBlue(p));
        }
      }
      row[x] = qRgb(c[0], c[1], c[2]);
    }
  }
  return out;
}

// Draws pages first..last of the job on fresh white A4 images of that size at kDrawDpi, and
// returns them at kDpi.
std::vector<QImage> DrawPages(win::PrintHooks& job, win::CPrintInfo& info, const QSize& size,
                              const CanvasMaker& make) {
  std::vector<QImage> pages;
  bool begun = false;
  for (int page = info.min_page; page <= info.max_page; ++page) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      const std::unique_ptr<gfx::Canvas> dc = make(image);
      info.current_page = page;
      if (!begun) job.OnBeginPrinting(*dc, info);
      begun = true;
      job.OnPrepareDC(*dc, info);
      job.OnPrint(*dc, info);
    }
    pages.push_back(KeepDarkest(image));
  }
  return pages;
}

// Exports the prepared job as the program does and rasterises every page at kDpi. Lines are
// rasterised without anti-aliasing, as the canvas draws them; text keeps it.
std::vector<QImage> ExportAndRasterise(win::PrintHooks& job, win::CPrintInfo& info, const fs::path& folder,
                                       const std::string& name) {
  const fs::path pdf = folder / "report.PDF";
  platform::ManualClock clock{{2026, 3, 4, 14, 5, 9, 0}};
  ReportPdfWriter writer(clock);
  const bool written = writer.Write(
      job, info, {"KESTROVA ZK-470 V 2.04", "report", "Holter ECG report", "Page"}, pdf.string());
  EXPECT_TRUE(written);
  if (!written) return {};
  // Kept beside the pictures for a look at the file itself.
  fs::create_directories(qthost::testing_support::ScreenshotDir());
  fs::copy_file(pdf, qthost::testing_support::ScreenshotDir() / (name + ".pdf"),
                fs::copy_options::overwrite_existing);
  const fs::path prefix = folder / "page";
  const pdf_test::ToolResult run =
      pdf_test::RunTool("pdftoppm -aaVector no -r " + std::to_string(kDpi) + " '" + pdf.string() + "' '" +
                        prefix.string() + "' 2>&1");
  EXPECT_EQ(run.exit_code, 0) << run.output;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".ppm") files.push_back(entry.path());
  // pdftoppm numbers the files with as many digits as the last page needs.
  std::sort(files.begin(), files.end());
  std::vector<QImage> pages;
  for (const fs::path& file : files)
    pages.push_back(QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32));
  return pages;
}

struct TileResult {
  double worst = 0;  // the largest mean difference of a channel over all tiles, in 1/255
  QPoint worst_at;
  int failing = 0;
};

// How far the colour of pixel (x, y) of one picture is from the nearest matching colour the other
// picture has within kRegistrationPx, per channel. The canvas puts a line on the device pixel its
// coordinate rounds to and leaves out a rectangle's right and bottom edge; the PDF's raster puts
// it where its exact position falls and widens hairlines to a whole pixel: at 100 dpi the same
// edge may lie two pixels apart. A colour the other picture lacks there still counts in full.
struct PixelDifference {
  int channel[3];
};

int Channel(QRgb c, int i) { return i == 0 ? qRed(c) : i == 1 ? qGreen(c) : qBlue(c); }

bool Light(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) >= 192; }
bool Dark(const QImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
}

// Whether (x, y) lies in a light run of at most two pixels between dark ones, along a row or a
// column: the gap between two outlined bars 0.4 mm apart, which the canvas leaves open (it leaves
// out a rectangle's right edge) and the PDF's raster shuts (it widens each outline to a pixel).
bool InThinLightGap(const QImage& image, int x, int y) {
  if (!Light(image, x, y)) return false;
  const auto gap = [&](int dx, int dy) {
    int before = 1, after = 1;
    while (before <= 2 && !Dark(image, x - before * dx, y - before * dy)) ++before;
    while (after <= 2 && !Dark(image, x + after * dx, y + after * dy)) ++after;
    return before <= 2 && after <= 2 && before + after - 1 <= 2;
  };
  return gap(1, 0) || gap(0, 1);
}

PixelDifference NearestDifference(const QImage& from, const QImage& to, int x, int y) {
  const QRgb colour = from.pixel(x, y);
  PixelDifference d{{255, 255, 255}};
  // The other direction still finds what the other picture has there and this one lacks.
  if (InThinLightGap(from, x, y)) return {{0, 0, 0}};
  for (int ny = std::max(0, y - kRegistrationPx); ny <= std::min(to.height() - 1, y + kRegistrationPx); ++ny)
    for (int nx = std::max(0, x - kRegistrationPx); nx <= std::min(to.width() - 1, x + kRegistrationPx);
         ++nx) {
      const QRgb other = to.pixel(nx, ny);
      for (int i = 0; i < 3; ++i)
        d.channel[i] = std::min(d.channel[i], std::abs(Channel(colour, i) - Channel(other, i)));
    }
  return d;
}

// Compares the two pictures of one page per tile; the diff picture shows each pixel's difference
// darkened on white, with failing tiles framed in red.
TileResult CompareTiles(const QImage& canvas, const QImage& pdf, QImage* diff) {
  TileResult result;
  const int w = std::min(canvas.width(), pdf.width());
  const int h = std::min(canvas.height(), pdf.height());
  *diff = QImage(w, h, QImage::Format_RGB32);
  std::vector<QRect> failing;
  for (int ty = 0; ty < h; ty += kTile)
    for (int tx = 0; tx < w; tx += kTile) {
      const QRect tile = QRect(tx, ty, kTile, kTile).intersected(QRect(0, 0, w, h));
      double sum[3] = {0, 0, 0};
      for (int y = tile.top(); y <= tile.bottom(); ++y)
        for (int x = tile.left(); x <= tile.right(); ++x) {
          const PixelDifference a = NearestDifference(canvas, pdf, x, y);
          const PixelDifference b = NearestDifference(pdf, canvas, x, y);
          int d[3];
          for (int i = 0; i < 3; ++i) {
            d[i] = std::max(a.channel[i], b.channel[i]);
            sum[i] += d[i];
          }
          diff->setPixel(x, y, qRgb(255 - d[0], 255 - d[1], 255 - d[2]));
        }
      const double n = static_cast<double>(tile.width()) * tile.height();
      const double mean = std::max({sum[0], sum[1], sum[2]}) / n;
      if (mean > result.worst) {
        result.worst = mean;
        result.worst_at = tile.topLeft();
      }
      if (mean > kMaxTileDifference) failing.push_back(tile);
    }
  result.failing = static_cast<int>(failing.size());
  QPainter painter(diff);
  painter.setPen(QColor(255, 0, 0));
  for (const QRect& tile : failing) painter.drawRect(tile.adjusted(0, 0, -1, -1));
  return result;
}

class ReportPdfPictureTest : public reporttest::ReportPartTest {
 protected:
  // Exports the job, draws the same pages with make, saves the three pictures of every page
  // under name and returns each page's comparison.
  std::vector<TileResult> Compare(win::PrintHooks& job, const CanvasMaker& make, const std::string& name) {
    win::CPrintInfo info;
    info.preview = true;
    EXPECT_TRUE(job.OnPreparePrinting(info));
    testsupport::TempFolder folder("report_pdf_pictures");
    const std::vector<QImage> rasters = ExportAndRasterise(job, info, folder.Path(), name);
    EXPECT_EQ(static_cast<int>(rasters.size()), info.max_page - info.min_page + 1);
    if (rasters.empty()) return {};
    const std::vector<QImage> drawn = DrawPages(job, info, rasters.front().size() * kSupersample, make);
    std::vector<TileResult> results;
    for (size_t i = 0; i < std::min(rasters.size(), drawn.size()); ++i) {
      EXPECT_EQ(rasters[i].size(), drawn[i].size());
      QImage diff;
      results.push_back(CompareTiles(drawn[i], rasters[i], &diff));
      const std::string page = name + "_" + std::to_string(i + 1);
      qthost::testing_support::SaveScreenshot(drawn[i], page + "_canvas");
      qthost::testing_support::SaveScreenshot(rasters[i], page + "_pdf");
      qthost::testing_support::SaveScreenshot(diff, page + "_diff");
    }
    return results;
  }

  void TurnEverySwitchOn() {
    for (const TPrintPartRow& row : PrintPartTable())
      if (row.user_switch) doc_->GetSettings().SetInt(*row.user_switch, 1);
  }
};

TEST_F(ReportPdfPictureTest, EveryPageOfTheExportedReportLooksAsPrinted) {
  SKIP_WITHOUT("pdftoppm");
  // Every part switched on: a few hours keep the full disclosure short.
  ASSERT_NO_FATAL_FAILURE(OpenRecording(3 * 60));
  FillPatient();
  TurnEverySwitchOn();
  TPrintComposer composer(*doc_);
  ComposerJob job(composer);
  const std::vector<TileResult> results = Compare(job, ScreenCanvas, "report_pdf_export_page");
  win::CPrintInfo end_info;
  job.OnEndPrinting(nullptr, end_info);
  ASSERT_GE(results.size(), 1u);
  for (size_t i = 0; i < results.size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(i + 1));
    EXPECT_EQ(results[i].failing, 0) << "worst tile at (" << results[i].worst_at.x() << ", "
                                     << results[i].worst_at.y() << "): " << results[i].worst << "/255";
  }
}

// The comparison itself: a page of fills, text and a cut label passes as drawn and fails once its
// fills are lost.
TEST_F(ReportPdfPictureTest, APageThatLostItsFillsDoesNotPass) {
  SKIP_WITHOUT("pdftoppm");
  struct Case {
    const char* name;
    CanvasMaker make;
    bool want_pass;
  };
  const Case kCases[] = {{"report_pdf_bars", ScreenCanvas, true},
                         {"report_pdf_bars_white", WhiteFills, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    BarsJob job;
    const std::vector<TileResult> results = Compare(job, c.make, c.name);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].failing == 0, c.want_pass) << "worst " << results[0].worst << "/255";
  }
}

}  // namespace
