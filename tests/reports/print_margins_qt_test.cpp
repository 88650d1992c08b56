// Printed pages through Qt's printer in PDF mode: every page and its texts arrive as vectors,
// and the page frame lies where the margins put it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "qt/qt_print_service.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "reports/print_hr_events_page.h"
#include "reports/printer_base.h"
#include "reports/report_parts_fixture.h"
#include "win/printing.h"

namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

// A grey picture from pdftoppm: one byte per pixel, row by row.
struct GreyPage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
  bool Dark(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] < 128; }
};

// Page 1 of the file at 254 dpi: one pixel is 0.1 mm.
std::optional<GreyPage> Render(const fs::path& pdf) {
  const fs::path stem = pdf.parent_path() / (pdf.stem().string() + "_page");
  Shell("pdftoppm -r 254 -gray -f 1 -l 1 -singlefile '" + pdf.string() + "' '" + stem.string() + "'");
  std::ifstream in(stem.string() + ".pgm", std::ios::binary);
  std::string magic;
  int max = 0;
  GreyPage page;
  if (!(in >> magic >> page.width >> page.height >> max) || magic != "P5" || max != 255) return std::nullopt;
  in.get();
  page.pixels.assign(std::istreambuf_iterator<char>(in), {});
  if (page.pixels.size() != static_cast<size_t>(page.width) * page.height) return std::nullopt;
  return page;
}

// The middle, in mm, of the first dark run met walking from the page's edge along a row (or a
// column); none when the walk meets nothing dark.
std::optional<double> FirstLineMm(const GreyPage& page, bool along_row, int at) {
  const int length = along_row ? page.width : page.height;
  const auto dark = [&](int i) { return along_row ? page.Dark(i, at) : page.Dark(at, i); };
  int first = 0;
  while (first < length && !dark(first)) ++first;
  if (first == length) return std::nullopt;
  int last = first;
  while (last + 1 < length && dark(last + 1)) ++last;
  return (first + last + 1) / 2.0 / 10.0;
}

// Hooks of a print job whose pages are drawn by the function given.
class PageHooks : public win::PrintHooks {
 public:
  PageHooks(int pages, std::function<void(gfx::Canvas&, win::CPrintInfo&)> draw)
      : pages_(pages), draw_(std::move(draw)) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    info.max_page = pages_;
    return win::DoPreparePrinting(info);
  }
  void OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo&) override { device = dc.Device(); }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo&) override {
    dc.SetMapMode(gfx::MapMode::kHiMetric);
    dc.SetBkMode(gfx::BkMode::kTransparent);
  }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override { draw_(dc, info); }

  gfx::DeviceInfo device;

 private:
  int pages_;
  std::function<void(gfx::Canvas&, win::CPrintInfo&)> draw_;
};

class PrintMarginsTest : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    qthost::testing_support::TestApp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("zk_print_margins_" + std::to_string(getpid()) + "_" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    win::SetPrintService(nullptr);
    fs::remove_all(dir_);
    ReportPartTest::TearDown();
  }

  // The page frame of a part with the full header, drawn on the job's canvas.
  void DrawFrame(gfx::Canvas& dc, win::CPrintInfo& info) {
    TPrinter part(1, doc_.get(), -1, nullptr);
    part.PrintPage(dc, info, info.current_page);
  }

  fs::path dir_;
};

// Through the print service with the dialog switched off: the heart-rate and events page and a
// bare frame become two A4 pages whose texts a PDF reader finds, and nothing of them is a picture.
TEST_F(PrintMarginsTest, PdfPrinterGetsEveryPageWithItsTextsAsVectors) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(60));
  FillPatient();
  const fs::path pdf = dir_ / "report.pdf";
  qthost::QtPrintService service;
  service.SetPdfOutput(QString::fromStdString(pdf.string()));
  service.SetPrintDialogSwitch([] { return false; });
  win::SetPrintService(&service);
  PageHooks hooks(2, [&](gfx::Canvas& dc, win::CPrintInfo& info) {
    if (info.current_page == 1) {
      TPrintHREventsPage page(0, doc_.get(), nullptr);
      page.SetCommand(TPrintHREventsPage::kOwnCommand);
      ASSERT_EQ(page.GetPageCount(info), 1);
      page.PrintPage(dc, info, 1);
    } else {
      DrawFrame(dc, info);
    }
  });
  ASSERT_TRUE(win::RunPrintJob(hooks, "Report", false));
  win::SetPrintService(nullptr);

  // The canvas is the printer's: its resolution, the whole A4 sheet (595 x 842 points) printable,
  // colours.
  EXPECT_EQ(hooks.device.dpi_x, 1200);
  EXPECT_EQ(hooks.device.width_px, 9917);
  EXPECT_EQ(hooks.device.height_px, 14033);
  EXPECT_EQ(hooks.device.physical_width_px, hooks.device.width_px);
  EXPECT_EQ(hooks.device.physical_offset_x_px, 0);
  EXPECT_EQ(hooks.device.num_colors, -1);

  const std::string info = Shell("pdfinfo '" + pdf.string() + "'");
  EXPECT_NE(info.find("Pages:           2\n"), std::string::npos) << info;
  EXPECT_NE(info.find("595 x 842 pts"), std::string::npos) << info;
  const std::string first = Shell("pdftotext -f 1 -l 1 '" + pdf.string() + "' -");
  const std::string second = Shell("pdftotext -f 2 -l 2 '" + pdf.string() + "' -");
  for (const std::string* text : {&first, &second}) {
    EXPECT_NE(text->find("Müßig"), std::string::npos) << *text;
    EXPECT_NE(text->find("Cardiology Practice Dr. Weber"), std::string::npos) << *text;
  }
  EXPECT_NE(first.find("Heart rate and events:"), std::string::npos) << first;
  EXPECT_EQ(second.find("Heart rate and events:"), std::string::npos) << second;
  // The header of pdfimages' list and its rule, no picture.
  const std::string images = Shell("pdfimages -list '" + pdf.string() + "'");
  EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2) << images;

  // For a reviewer: the first page as a reader shows it.
  Shell("pdftoppm -r 100 -png -f 1 -l 1 -singlefile '" + pdf.string() + "' '" + (dir_ / "page").string() +
        "'");
  const QImage picture(QString::fromStdString((dir_ / "page.png").string()));
  ASSERT_FALSE(picture.isNull());
  qthost::testing_support::SaveScreenshot(picture, "printed_hr_events_page");
}

// The frame's left and top edges lie the margins (and the printer's unprintable edge) from the
// sheet's edges; a margin text that holds no number is a margin of 0.
TEST_F(PrintMarginsTest, FrameLiesAtTheMarginsFromThePrintableCorner) {
  FillPatient();
  struct Case {
    const char* name;
    const char* left;
    const char* top;
    QMarginsF printer_mm;
    double want_left_mm;
    double want_top_mm;
  };
  const Case cases[] = {
      {"defaults", "0.4", "0.5", {}, 10.16, 12.7},
      {"one inch", "1.0", "1.0", {}, 25.4, 25.4},
      {"no number", "abc", "abc", {}, 0.0, 0.0},
      {"unprintable edge", "0.4", "0.5", {5, 8, 5, 8}, 15.16, 20.7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetText(SettingKey::kSetupMarginsLeft, c.left);
    doc_->GetSettings().SetText(SettingKey::kSetupMarginsTop, c.top);
    const fs::path pdf = dir_ / (std::string(c.name) + ".pdf");
    {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf.string()));
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setPageMargins(c.printer_mm, QPageLayout::Millimeter);
      qthost::QtPrintJob job(printer);
      const gfx::Canvas& dc = job.Canvas();
      // Qt keeps page sizes and margins in whole points (0.35 mm).
      const auto mm = [&dc](gfx::DeviceCap cap) { return dc.GetDeviceCaps(cap) * 25.4 / 1200; };
      EXPECT_NEAR(mm(gfx::DeviceCap::kPhysicalOffsetX), c.printer_mm.left(), 0.36);
      EXPECT_NEAR(mm(gfx::DeviceCap::kPhysicalOffsetY), c.printer_mm.top(), 0.36);
      EXPECT_NEAR(mm(gfx::DeviceCap::kHorzRes), 210 - c.printer_mm.left() - c.printer_mm.right(), 0.72);
      EXPECT_NEAR(mm(gfx::DeviceCap::kVertRes), 297 - c.printer_mm.top() - c.printer_mm.bottom(), 0.72);
      EXPECT_NEAR(mm(gfx::DeviceCap::kPhysicalWidth), 210, 0.36);
      ASSERT_TRUE(job.StartPage());
      PreparePage(job.Canvas());
      info_.current_page = 1;
      DrawFrame(job.Canvas(), info_);
      ASSERT_TRUE(job.EndPage());
      ASSERT_TRUE(job.EndDoc());
    }
    const std::optional<GreyPage> page = Render(pdf);
    ASSERT_TRUE(page.has_value());
    // Across the frame 20 mm below its top, and down it 3 mm right of its left edge: no text
    // lies between the sheet's edge and the frame there.
    const int row = static_cast<int>((c.want_top_mm + 20) * 10);
    const int column = static_cast<int>((c.want_left_mm + 3) * 10);
    const std::optional<double> left = FirstLineMm(*page, true, row);
    const std::optional<double> top = FirstLineMm(*page, false, column);
    ASSERT_TRUE(left.has_value());
    ASSERT_TRUE(top.has_value());
    EXPECT_NEAR(*left, c.want_left_mm, 0.3);
    EXPECT_NEAR(*top, c.want_top_mm, 0.3);
  }
}

// A printer that prints in grey is a two-colour device.
TEST_F(PrintMarginsTest, GreyPrinterHasTwoColours) {
  for (const bool grey : {false, true}) {
    SCOPED_TRACE(grey);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((dir_ / "grey.pdf").string()));
    printer.setColorMode(grey ? QPrinter::GrayScale : QPrinter::Color);
    qthost::QtPrintJob job(printer);
    EXPECT_EQ(job.Canvas().GetDeviceCaps(gfx::DeviceCap::kNumColors), grey ? 2 : -1);
    EXPECT_EQ(job.Printer().color, !grey);
  }
}

}  // namespace
