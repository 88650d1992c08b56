#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPoint>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_ecg_strip.h"
#include "reports/parts/print_grids.h"
#include "reports/parts/print_user_event_strips.h"
#include "reports/report_parts_fixture.h"
#include "views/ecg_strip_painter.h"
#include "views/view_resources.h"

namespace {

using reporttest::ReportPartTest;

constexpr int kMinute = 7500;

QImage WhitePage() {
  QImage image(reporttest::A4Page(100).width_px, reporttest::A4Page(100).height_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// Pixels per 0.01 mm at 100 dpi.
int Px(int himetric) { return static_cast<int>(himetric * 100.0 / 2540.0); }

int PixelsWhere(const QImage& image, const QRect& rect, bool (*wanted)(QRgb)) {
  int n = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) n += wanted(image.pixel(x, y)) ? 1 : 0;
  return n;
}

bool IsDark(QRgb pixel) { return qGray(pixel) < 96; }
bool IsGrey(QRgb pixel) { return qGray(pixel) >= 140 && qGray(pixel) < 230; }

class PrintECGStripQtTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenRecording(6));
    FillPatient();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddSampleStripResources(own);
    AddStripPageResources(own);
    AddViewResources(own);  // the beat codes
  }
};

TEST_F(PrintECGStripQtTest, StripsAndPaperPicture) {
  const int s = 2 * kMinute;
  // The recording's own beats, the fourth of the strip relabelled ventricular.
  TQRSList& beats = doc_->GetQRSList();
  beats.SetClass(beats.FindNextAfterPosition(s, 0) + 3, kClassVES);
  QImage image = WhitePage();
  win::CPrintInfo info;
  {
    qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
    PreparePage(dc);
    // A full strip on millimetre paper, a minute compressed on paper without small grid, and a
    // highlighted stretch on dots.
    TPrintECGGrid(1000, -2000, 19500, -7000, 0).Draw(dc, info);
    TPrintECGStrip(doc_.get(), s, 1000, -2000, 19500, -7000, 25.0, 10.0, 300).Draw(dc, info);
    TPrintECGGrid(1000, -8000, 18500, -9532, 1).Draw(dc, info);
    TPrintECGStrip(doc_.get(), s, 1000, -8000, 18500, -9532, 175.0 / 60.0, 3.0, 50)
        .DrawCompressed(dc, info, 2);
    TPrintDotGrid(8000, -10000, 12000, -11500).Draw(dc, info);
    TPrintECGStrip(doc_.get(), s, 1000, -10000, 19500, -11600, 3.0833, 1.5, 100).DrawCompressed(dc, info, 2);
  }
  qthost::testing_support::SaveScreenshot(image, "print_ecg_strips_and_paper");
  const int ves_colour = doc_->GetSettings().Color(kClassVES);
  const gfx::Color v = CECGStripPainter::kDisplayColours[static_cast<size_t>(ves_colour)];
  int coloured = 0;
  for (int y = Px(2000); y < Px(7000); ++y)
    for (int x = Px(1000); x < Px(19500); ++x)
      coloured +=
          (image.pixel(x, y) & 0xFFFFFF) == (qRgb(gfx::RedOf(v), gfx::GreenOf(v), gfx::BlueOf(v)) & 0xFFFFFF);
  EXPECT_GT(coloured, 10);
  EXPECT_GT(PixelsWhere(image, QRect(Px(1000), Px(2000), Px(18500), Px(5000)), IsGrey), 1000);
  EXPECT_GT(PixelsWhere(image, QRect(Px(1000), Px(8000), Px(17500), Px(1532)), IsDark), 500);
  // Outside the rectangles the page stays white.
  EXPECT_EQ(PixelsWhere(image, QRect(Px(1000), Px(12500), Px(18500), Px(10000)), IsDark), 0);
}

TEST_F(PrintECGStripQtTest, UserEventPagePicture) {
  doc_->GetEventList().RemoveAll();
  for (const int32_t at : {kMinute, 2 * kMinute + 3000, 4 * kMinute, 5 * kMinute + 100, 5 * kMinute + 4000})
    doc_->GetEventList().Append(TEvent(at, at + 10, kClassUser));
  TPrintUserEventStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrintUserEventStrips::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 2);
  for (int page = 1; page <= 2; ++page) {
    QImage image = WhitePage();
    {
      qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
      PreparePage(dc);
      part.PrintPage(dc, info_, page);
    }
    qthost::testing_support::SaveScreenshot(image, "print_user_event_strips_" + std::to_string(page));
    // The last row's strip: ECG on the first page, blank paper-free space on the second.
    const QRect last_row(Px(1000), Px(20000), Px(18500), Px(5000));
    if (page == 1) {
      EXPECT_GT(PixelsWhere(image, last_row, IsDark), 500);
    } else {
      EXPECT_EQ(PixelsWhere(image, last_row, IsDark), 0);
      EXPECT_EQ(PixelsWhere(image, last_row, IsGrey), 0);
    }
  }
}

}  // namespace
