#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "../layouts/trend_screen_fixture.h"
#include "common/table_tab_wnd.h"
#include "document/context_guard.h"
#include "qt/screen_host.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "trends/report_values.h"
#include "trends/statistics_factories.h"
#include "trends/statistics_grids.h"
#include "trends/statistics_table_area.h"

namespace {

inline constexpr platform::StringEntry kSharedStrings[] = {
    {14389, "1/min"}, {21088, "RR"}, {21061, "Artefacts"}};

// A synthetic analysed recording of 30 hours, made once per process.
const std::filesystem::path& ThirtyHourRecording() {
  static const testsupport::TempFolder folder("statistics_30h");
  static const std::filesystem::path qrs =
      coretest::MakeAnalysedRecording(folder.Path() / "00001", 30 * 60, 2);
  return qrs;
}

int PixelsOfColour(const QImage& image, const QColor& want) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == want ? 1 : 0;
  return n;
}

// The statistics screen on the real Qt host, offscreen.
class StatisticsScreenQt : public testing::Test {
 protected:
  void SetUp() override {
    win::Windows().Reset();
    host_ = std::make_unique<qthost::testing_support::ScreenHost>();
    win::Windows().SetClock(&clock_);
    platform::Resources().ExePack().AddStrings(document::DocumentStrings());
    AddViewResources(platform::Resources().ExePack());
    platform::Resources().ExePack().AddStrings(kSharedStrings);
    AddStatisticsResources(platform::Resources().ExePack());
    SetTimeAxisLocale(&locale_);
    SetReportValuesLocale(&locale_);
    RegisterScreenFactories();
    RegisterStatisticsFactories();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(doc_->OnOpenDocument(ThirtyHourRecording().string()));
    doc_->SetSpanLength(doc_->GetRecordingMinutes());
    doc_->SetSpanStartMs(0);
    doc_->SetSpanEndMs(doc_->GetRecordingMinutes() * 60000);
    doc_->SetCurrentPosition(10 * 3600 * 1000);
  }
  void TearDown() override {
    if (view_) view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
    doc_.reset();
    SetReportValuesLocale(nullptr);
    SetTimeAxisLocale(nullptr);
    win::Windows().SetClock(nullptr);
    host_.reset();
    platform::Resources().Reset();
  }

  ContextGuard context_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<qthost::testing_support::ScreenHost> host_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<trendtest::LayoutView> view_;
};

TEST_F(StatisticsScreenQt, AllThreeTabsAtTwoScreenSizes) {
  const QColor caption_grey(192, 192, 192);
  const QColor button_blue(0, 0, 255);
  for (const auto& [width, height] : {std::pair{1280, 800}, std::pair{1920, 1080}}) {
    if (view_) view_->DestroyWindow();
    view_.reset();
    ASSERT_TRUE(CreateDefaultLayouts());
    view_ = std::make_unique<trendtest::LayoutView>(doc_.get(), 17);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
    auto* area = dynamic_cast<CStatisticsTableArea*>(
        trendtest::FindNode(view_->GetSelector()->GetCurrent(), "CStatisticsTableAreaConfig")->GetArea());
    ASSERT_NE(area, nullptr);
    for (int tab = 0; tab < 3; ++tab) {
      const std::string name =
          "statistics_tab" + std::to_string(tab) + "_" + std::to_string(width) + "x" + std::to_string(height);
      SCOPED_TRACE(name);
      area->GetTabWindow()->SelectTabFromUser(tab);
      win::Windows().RunPending();
      const QImage image = host_->Render(*view_);
      ASSERT_FALSE(image.isNull());
      EXPECT_EQ(image.width(), width);
      // Captions on grey on every tab; the summary's go-to buttons write in blue.
      EXPECT_GT(PixelsOfColour(image, caption_grey), 2000);
      if (tab == 0) {
        EXPECT_GT(PixelsOfColour(image, button_blue), 100);
      }
      host_->SaveScreen(*view_, name);
    }
  }
}

}  // namespace
