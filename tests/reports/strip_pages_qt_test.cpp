#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <string>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "layouts/editing_factories.h"
#include "platform/resources.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_extreme_strips.h"
#include "reports/parts/print_four_strip_page.h"
#include "reports/parts/print_marker_strips.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/report_parts_fixture.h"
#include "trends/statistics_factories.h"
#include "views/ecg_sample_window.h"

namespace {

// Pixels of 0.01 mm at 100 dpi, from the page corner with the default margins (0.4", 0.5").
int Px(int himetric) { return static_cast<int>(himetric * 100.0 / 2540.0); }
QRect StripRect(int top) { return QRect(Px(1016), Px(1270 + top), Px(18500), Px(5000)); }

class StripPagesPicture : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    own.AddStrings(SampleWindowStrings());
    AddStatisticsResources(own);
    AddEditingResources(own);
    AddSampleStripResources(own);
    AddStripPageResources(own);
    AddExtremeStripResources(own);
    ASSERT_NO_FATAL_FAILURE(OpenRecording(10));
    FillPatient();
    // The generator's beats; a bradycardia and three markers planted on them.
    const TQRSList& beats = doc_->GetQRSList();
    ASSERT_GT(beats.GetSize(), 400);
    TEventList& events = doc_->GetEventList();
    events.RemoveAll();
    doc_->GetRecordingData().ResetExampleStrips();
    const int32_t brady = beats.ElementAt(40)->GetPosition();
    events.Append(TEvent(brady, brady + 1000, kClassBradycardia));
    for (const int beat : {100, 104, 300})
      events.Append(
          TEvent(beats.ElementAt(beat)->GetPosition(), beats.ElementAt(beat)->GetPosition(), kClassMarker));
    doc_->GetRecordingData().example_strips[kClassBradycardia] = {doc_->SamplesToMs(brady), -1, -1};
    doc_->SetHRMin(52, 0, 60, 0);
    doc_->SetHRMax(96, 0, 200, 0);
    doc_->SetRRMin(0, 0, -1, 0);
    doc_->SetRRMax(0, 0, -1, 0);
  }

  QImage Print(TPrinter& part, int command) {
    QImage image(reporttest::A4Page(100).width_px, reporttest::A4Page(100).height_px, QImage::Format_RGB32);
    image.fill(Qt::white);
    qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
    PreparePage(dc);
    part.SetCommand(command);
    EXPECT_GE(part.GetPageCount(info_), 1);
    part.PrintPage(dc, info_, 1);
    return image;
  }
};

TEST_F(StripPagesPicture, ExampleStripPage) {
  TPrintSampleStrips part(0, doc_.get(), nullptr, nullptr);
  const QImage image = Print(part, TPrintSampleStrips::kOwnCommand);
  qthost::testing_support::SaveScreenshot(image, "report_example_strips");
  EXPECT_GT(reporttest::DarkPixels(image, StripRect(2800)), 500);
  // A single example: the second row stays empty.
  EXPECT_EQ(reporttest::DarkPixels(image, StripRect(10400)), 0);
}

TEST_F(StripPagesPicture, MarkerStripPage) {
  TPrintMarkerStrips part(0, doc_.get(), nullptr, nullptr);
  const QImage image = Print(part, TPrintMarkerStrips::kOwnCommand);
  qthost::testing_support::SaveScreenshot(image, "report_marker_strips");
  for (const int top : {2800, 10400, 18000})
    EXPECT_GT(reporttest::DarkPixels(image, StripRect(top)), 500) << top;
}

TEST_F(StripPagesPicture, HeartRateExtremePage) {
  TPrintHRExtremeStrips part(0, doc_.get(), nullptr, nullptr);
  const QImage image = Print(part, TPrintHRExtremeStrips::kOwnCommand);
  qthost::testing_support::SaveScreenshot(image, "report_hr_extreme_strips");
  EXPECT_GT(reporttest::DarkPixels(image, StripRect(2900)), 500);
  EXPECT_GT(reporttest::DarkPixels(image, StripRect(8600)), 500);
  // Unset RR extremes: rows 3 and 4 blank.
  EXPECT_EQ(reporttest::DarkPixels(image, StripRect(14300)), 0);
  EXPECT_EQ(reporttest::DarkPixels(image, StripRect(20000)), 0);
}

}  // namespace
