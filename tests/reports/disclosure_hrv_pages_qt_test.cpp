#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <memory>
#include <string>

#include "document/profile_keys.h"
#include "document/recording_data.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_full_disclosure.h"
#include "reports/parts/print_hrv.h"
#include "reports/report_parts_fixture.h"

namespace {

using reporttest::ReportPartTest;

// The pages' thin curves count from a lighter grey.
int DarkPixels(const QImage& image, const QRect& rect) { return reporttest::DarkPixels(image, rect, 128); }

int Px(int himetric) { return static_cast<int>(himetric * 100.0 / 2540.0); }

class DisclosureHRVPicturesTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    AddFullDisclosureResources(platform::Resources().ExePack());
    AddHRVPageResources(platform::Resources().ExePack());
  }

  QImage Draw(TPrinter& part, int command, int page) {
    QImage image(reporttest::A4Page(100).width_px, reporttest::A4Page(100).height_px, QImage::Format_RGB32);
    image.fill(Qt::white);
    qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
    PreparePage(dc);
    part.SetCommand(command);
    EXPECT_GE(part.GetPageCount(info_), page);
    part.PrintPage(dc, info_, page);
    return image;
  }
};

TEST_F(DisclosureHRVPicturesTest, FullDisclosurePages) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(45));
  FillPatient();
  doc_->GetRecordingData().fd_day_switches = {0, 0, 0};
  {
    TPrintFullDisclosure part(0, doc_.get(), nullptr);
    const QImage image = Draw(part, TPrintFullDisclosure::kOwnCommand, 2);
    qthost::testing_support::SaveScreenshot(image, "report_full_disclosure_last_page");
    // Fifteen rows of ECG, then blank paper down to the footer.
    const int rows_top = part.GetTopMargin() + TPrintFullDisclosure::kFirstRowY;
    const int rows_end = rows_top + 15 * part.RowHeight();
    EXPECT_GT(DarkPixels(image, QRect(Px(2016), Px(rows_top), Px(17000), Px(rows_end - rows_top))), 2000);
    EXPECT_EQ(DarkPixels(image, QRect(Px(1016), Px(rows_end + 100), Px(18500), Px(10000))), 0);
  }
  {
    doc_->GetSettings().SetInt(SettingKey::kFullDisclosureChannels, 1);
    TPrintFullDisclosureSingle part(0, doc_.get(), nullptr);
    const QImage image = Draw(part, TPrintFullDisclosure::kOwnCommand, 1);
    qthost::testing_support::SaveScreenshot(image, "report_full_disclosure_single_channel");
    EXPECT_GT(DarkPixels(image, QRect(Px(2016), Px(3216), Px(17000), Px(45 * 383))), 2000);
  }
  {
    doc_->SetCurrentPosition(20 * 60000);
    TPrintFullDisclosureAtPosition part(0, doc_.get(), nullptr);
    const QImage image = Draw(part, TPrintFullDisclosureAtPosition::kOwnCommand, 1);
    qthost::testing_support::SaveScreenshot(image, "report_full_disclosure_at_position");
    EXPECT_GT(DarkPixels(image, QRect(Px(2016), Px(3216), Px(17000), Px(30 * 766))), 4000);
  }
}

TEST_F(DisclosureHRVPicturesTest, HeartRateVariabilityPage) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(45));
  FillPatient();
  TPrintHRV part(0, doc_.get(), nullptr);
  const QImage image = Draw(part, TPrintHRV::kOwnCommand, 1);
  qthost::testing_support::SaveScreenshot(image, "report_hrv_page");
  // Red RR pixels in the first chart's plot.
  int red = 0;
  const QRect plot(Px(2016), Px(6116), Px(17500), Px(3000));
  for (int y = plot.top(); y <= plot.bottom(); ++y)
    for (int x = plot.left(); x <= plot.right(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      red += qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80 ? 1 : 0;
    }
  EXPECT_GT(red, 100);
}

}  // namespace
