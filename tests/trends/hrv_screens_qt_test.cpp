// The three HRV screens on the real host over a synthetic analysed recording of 30 hours: PNG files
// for a reviewer, and a check that the charts' data reach the picture.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "document/context_guard.h"
#include "layouts/trend_screen_fixture.h"
#include "qt/screen_host.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "trends/hrv_chart_kinds.h"
#include "trends/hrv_screen_factories.h"
#include "trends/hrv_table_factories.h"

namespace {

const std::filesystem::path& RecordingPath() {
  static const testsupport::TempFolder folder("hrv_screens");
  static const std::filesystem::path qrs =
      coretest::MakeAnalysedRecording(folder.Path() / "00001", 30 * 60, 2);
  return qrs;
}

int PixelsOfColour(const QImage& image, const QRect& rect, gfx::Color colour) {
  const QColor want(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                    static_cast<int>((colour >> 16) & 0xFF));
  int n = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) n += image.pixelColor(x, y) == want ? 1 : 0;
  return n;
}

class HRVScreensOnHost : public testing::Test {
 protected:
  void SetUp() override {
    win::Windows().Reset();
    host_ = std::make_unique<qthost::testing_support::ScreenHost>();
    win::Windows().SetClock(&clock_);
    platform::Resources().ExePack().AddStrings(document::DocumentStrings());
    AddViewResources(platform::Resources().ExePack());
    AddTrendResources(platform::Resources().ExePack());
    AddHRVScreenResources(platform::Resources().ExePack());
    AddHRVTableResources(platform::Resources().ExePack());
    SetTimeAxisLocale(&locale_);
    RegisterScreenFactories();
    RegisterTrendFactories();
    RegisterHRVScreenFactories();
    RegisterHRVTableFactories();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(doc_->OnOpenDocument(RecordingPath().string()));
    doc_->SetCurrentPosition(10 * 3600 * 1000);
  }
  void TearDown() override {
    Close();
    doc_.reset();
    SetTimeAxisLocale(nullptr);
    win::Windows().SetClock(nullptr);
    host_.reset();
    platform::Resources().Reset();
  }
  QImage Show(int layout, int width, int height) {
    Close();
    if (!CreateDefaultLayouts()) return {};
    view_ = std::make_unique<trendtest::LayoutView>(doc_.get(), layout);
    if (!view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible)) return {};
    win::Windows().RunPending();
    return host_->Render(*view_);
  }
  void Close() {
    if (view_) view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
  }

  ContextGuard context_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<qthost::testing_support::ScreenHost> host_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<trendtest::LayoutView> view_;
};

TEST_F(HRVScreensOnHost, LayoutsThirteenToFifteen) {
  struct Chart {
    int layout;
    const char* class_name;
    gfx::Color colour;
    int minimum_pixels;
  };
  const Chart charts[] = {{13, "CRRTrendAreaConfig", CRRTrendArea::kColour, 200},
                          {14, "CRRSegmentMeanAreaConfig", CRRSegmentMeanArea::kColour, 100},
                          {15, "CRRDifferenceHistogramAreaConfig", CRRDifferenceHistogramArea::kColour, 20}};
  for (const Chart& chart : charts) {
    for (const QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
      SCOPED_TRACE(testing::Message()
                   << "layout " << chart.layout << " at " << size.width() << "x" << size.height());
      const QImage image = Show(chart.layout, size.width(), size.height());
      ASSERT_FALSE(image.isNull());
      const gfx::Rect frame = trendtest::FindNode(view_->GetSelector()->GetCurrent(), "CHRVTrendWindowConfig")
                                  ->GetArea()
                                  ->StoredRect();
      auto* area = dynamic_cast<CHRVChartArea*>(
          trendtest::FindNode(view_->GetSelector()->GetCurrent(), chart.class_name)->GetArea());
      ASSERT_NE(area, nullptr);
      // The window's client starts below its two bars; find the plot by its data instead.
      EXPECT_GT(
          PixelsOfColour(image, QRect(frame.left, frame.top, frame.Width(), frame.Height()), chart.colour),
          chart.minimum_pixels);
      char name[64];
      std::snprintf(name, sizeof name, "hrv_layout_%02d_%dx%d", chart.layout, size.width(), size.height());
      host_->SaveScreen(*view_, name);
    }
  }
}

}  // namespace
