#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <cmath>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "platform/resources.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_four_strip_page.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/parts/print_st_episode_strips.h"
#include "reports/parts/print_st_page.h"
#include "reports/report_parts_fixture.h"
#include "trends/report_values.h"

namespace {

// Pixels of 0.01 mm at 100 dpi, from the page corner with the default margins (0.4", 0.5").
int Px(int himetric) { return static_cast<int>(himetric * 100.0 / 2540.0); }
QRect Block(int top, int height) { return QRect(Px(1016), Px(1270 + top), Px(18500), Px(height)); }

constexpr platform::StringEntry kSharedSTStrings[] = {
    {23000, "Onset"},    {23001, "Deepest"}, {23002, "End"},      {23003, "Time"},
    {23004, "ST level"}, {23005, "HR"},      {23006, "Duration"}, {23007, "ST slope"},
    {20024, "Duration"}, {14391, "ST"},      {14392, "Level"},    {14393, "Slope"},
};

class STPagesPicture : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    own.AddStrings(kSharedSTStrings);
    AddSTPageResources(own);
    AddSampleStripResources(own);
    AddStripPageResources(own);
    ASSERT_NO_FATAL_FAILURE(OpenRecording(30 * 60));
    FillPatient();
    PlantST();
  }

  // Slowly wandering ST values on both channels with a few episodes where they dip.
  void PlantST() {
    TRecordingData& record = doc_->GetRecordingData();
    record.st_interval = 15;
    const int windows = doc_->GetRecordingMinutes() * 4;
    for (size_t k = 0; k < 2; ++k) {
      record.st_levels[k].RemoveAll();
      record.st_slopes[k].RemoveAll();
      record.st_episodes[k].RemoveAll();
      for (int i = 0; i < windows; ++i) {
        record.st_levels[k].Add(-0.8 + 1.2 * std::sin(i / (180.0 + 60 * k)) - (i % 600 < 40 ? 1.5 : 0.0));
        record.st_slopes[k].Add(0.6 * std::cos(i / (130.0 + 40 * k)));
      }
      record.st_channel_analysed[k] = 1;
      record.st_depression_limit[k] = 10;
    }
    TEventList& events = doc_->GetEventList();
    const auto insert = [&](const TEvent& event) {
      int at = 0;
      while (at < events.GetSize() && events.ElementAt(at)->GetPosition() <= event.GetPosition()) ++at;
      events.InsertAt(at, event);
    };
    for (int n = 0; n < 6; ++n) {
      const size_t k = n % 2;
      const int window = 600 * (2 * n + 1) + 10;
      const int extreme = window * 1875;
      // The deepest window of its channel's day, so that the extremes table shows the episode.
      record.st_levels[k].ElementAt(window)->SetValue(-4.0 - 0.1 * n);
      TSTDetail detail;
      detail.points[TSTDetail::kOnset] = {extreme - 30 * 125, 84, -1.1, 0.2};
      detail.points[TSTDetail::kExtreme] = {extreme, 96, record.st_levels[k].GetAt(window).GetValue(), -0.4};
      detail.points[TSTDetail::kEnd] = {extreme + 45 * 125, 90, -1.0, 0.1};
      record.st_episodes[k].Add(detail);
      insert(TEvent(extreme - 30 * 125, extreme + 45 * 125, static_cast<uint8_t>(kClassSTEpisode1 + k)));
    }
    for (const int hour : {4, 13, 27}) insert(TEvent(hour * 450000, hour * 450000, kClassMarker));
    insert(TEvent(9 * 450000, 9 * 450000 + 6000, kClassUser));
  }

  QImage NewImage() {
    QImage image(reporttest::A4Page(100).width_px, reporttest::A4Page(100).height_px, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
  }
};

TEST_F(STPagesPicture, STDayPages) {
  TReportValues values(*doc_, locale_);
  TPrintSTPage part(0, doc_.get(), &values);
  part.SetCommand(TPrintSTPage::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 2);
  for (const int day : {1, 2}) {
    SCOPED_TRACE(day);
    QImage image = NewImage();
    {
      qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
      PreparePage(dc);
      part.PrintPage(dc, info_, day);
    }
    qthost::testing_support::SaveScreenshot(image, "report_st_page_day" + std::to_string(day));
    // Hourly tables, extremes table, event rows, both ST graphs and the heart-rate chart.
    for (const auto& [top, height] :
         {std::pair{2400, 5600}, {8800, 2400}, {12000, 3000}, {14500, 3000}, {17500, 3000}, {20500, 4500}})
      EXPECT_GT(reporttest::DarkPixels(image, Block(top, height)), 300) << top;
  }
}

TEST_F(STPagesPicture, STEpisodeStripPage) {
  TPrintSTEpisodeStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrintSTEpisodeStrips::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  QImage image = NewImage();
  {
    qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
    PreparePage(dc);
    part.PrintPage(dc, info_, 1);
  }
  qthost::testing_support::SaveScreenshot(image, "report_st_episode_strips");
  for (const int top : {2900, 8600, 14300, 20000})
    EXPECT_GT(reporttest::DarkPixels(image, Block(top, 5000)), 500) << top;
}

}  // namespace
