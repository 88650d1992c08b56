#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPoint>

#include "document/beat_class.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/print_hr_events_page.h"
#include "reports/printer_base.h"
#include "reports/report_parts_fixture.h"
#include "views/ecg_strip_painter.h"

namespace {

using reporttest::ReportPartTest;

int PixelsOfColour(const QImage& image, gfx::Color colour) {
  const QRgb want = qRgb(gfx::RedOf(colour), gfx::GreenOf(colour), gfx::BlueOf(colour));
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF) ? 1 : 0;
  return n;
}

// Pixels per 0.01 mm at 150 dpi.
int Px(int himetric) { return static_cast<int>(himetric * 150.0 / 2540.0); }

TEST_F(ReportPartTest, PageFramePicture) {
  FillPatient();
  QImage image(reporttest::A4Page(150).width_px, reporttest::A4Page(150).height_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(150));
    PreparePage(dc);
    TPrinter part(1, doc_.get(), -1, nullptr);
    part.PrintPage(dc, info_, 3);
  }
  qthost::testing_support::SaveScreenshot(image, "report_page_frame");
  // Names in the header's title row and patient rows, the page text under the footer line.
  EXPECT_GT(reporttest::DarkPixels(image, QRect(Px(1516), Px(1270), Px(8000), Px(550))), 50);
  EXPECT_GT(reporttest::DarkPixels(image, QRect(Px(3900), Px(1970), Px(5000), Px(500))), 50);
  EXPECT_GT(reporttest::DarkPixels(image, QRect(Px(18016), Px(26870), Px(1150), Px(400))), 10);
  // Between header and footer the page stays empty.
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(Px(1100), Px(5000), Px(18000), Px(20000))), 0);
}

TEST_F(ReportPartTest, HeartRateEventsPagePicture) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(60));
  FillPatient();
  QImage image(reporttest::A4Page(150).width_px, reporttest::A4Page(150).height_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(150));
    PreparePage(dc);
    TPrintHREventsPage page(0, doc_.get(), nullptr);
    page.SetCommand(TPrintHREventsPage::kOwnCommand);
    ASSERT_EQ(page.GetPageCount(info_), 1);
    page.PrintPage(dc, info_, 1);
  }
  qthost::testing_support::SaveScreenshot(image, "report_hr_events_page");
  // The ventricular beats' ticks in their class colour, the table's grid and the trend's curves.
  const int ves_colour = doc_->GetSettings().Color(kClassVES);
  EXPECT_GT(PixelsOfColour(image, CECGStripPainter::kDisplayColours[static_cast<size_t>(ves_colour)]), 20);
  EXPECT_GT(reporttest::DarkPixels(image, QRect(Px(1016), Px(4270), Px(18500), Px(11000))), 1000);
  EXPECT_GT(reporttest::DarkPixels(image, QRect(Px(1016), Px(15770), Px(18500), Px(6500))), 500);
}

}  // namespace
