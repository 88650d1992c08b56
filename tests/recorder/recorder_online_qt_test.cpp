// Pictures of the live online screens over a simulated recorder, and of the real-time amplitude
// page, through the real host.
#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

#include "qt/dialog_host_test.h"
#include "qt/screen_host.h"
#include "qt/screenshot.h"
#include "recorder/real_speed_dlg.h"
#include "recorder_online_fixture.h"
#include "views/online_ecg_area.h"
#include "win/property_sheet.h"
#include "win/win_strings.h"

namespace {

using qthost::testing_support::SaveScreenshot;
using qthost::testing_support::ScreenHost;
using recordertest::RecorderScreenTest;

class RecorderScreenPictures : public RecorderScreenTest {
 protected:
  void SetUp() override {
    RecorderScreenTest::SetUp();
    host_ = std::make_unique<ScreenHost>();
  }
  void TearDown() override {
    Close();
    host_.reset();
    RecorderScreenTest::TearDown();
  }
  std::unique_ptr<ScreenHost> host_;
};

// Trace pixels of a sweep: dark pixels in the sweep's band, left of the sweep position.
int TracePixels(const QImage& image, const COnlineECGArea& sweep, gfx::Point offset) {
  const gfx::Rect r = sweep.StoredRect();
  int dark = 0;
  for (int x = r.left; x < r.left + sweep.GetSweepPos() && x < r.right; ++x)
    for (int y = r.top; y < r.bottom; ++y)
      dark += image.pixelColor(offset.x + x, offset.y + y).lightness() < 80;
  return dark;
}

TEST_F(RecorderScreenPictures, LiveScreensOfATwoAndAThreeChannelRecorder) {
  struct Case {
    int kind;
    const char* name;
  };
  const Case cases[] = {{TRecorderProtocol::kKindZK130, "layout_06_online_live"},
                        {TRecorderProtocol::kKindZK131, "layout_19_online_live"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recsim::SimConfig config = recsim::SimConfig::WithSyntheticEcg(c.kind, 1);
    config.monitor_marker_period = 250;
    StartRecorder(config);
    Show(1000, 700);
    StartMonitor();
    for (int i = 0; i < 80; ++i) Tick();
    ASSERT_TRUE(Area()->IsMonitoring());
    const QImage image = host_->Render(*view_);
    ASSERT_FALSE(image.isNull());
    SaveScreenshot(image, c.name);
    const gfx::Point offset = Window()->OffsetInTopLevel();
    for (int ch = 0; ch < Area()->GetChannelCount(); ++ch)
      EXPECT_GT(TracePixels(image, *Area()->GetSweepArea(ch), offset), 50) << "channel " << ch;
    Close();
  }
}

class RealSpeedPagePicture : public qthost::testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { AddRecorderScreenResources(pack); }
  void ReleaseBeforeWindows() override { platform::Resources().SetLanguagePack(nullptr); }
};

TEST_F(RealSpeedPagePicture, InBothLanguages) {
  platform::ResourcePack german("ZK470Ger");
  AddRecorderScreenResources(german);
  win::AddWindowSystemResources(german);
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    TRealSpeedDlg page(1);
    win::PropertySheet sheet(in_german ? "Darstellung" : "Display speed");
    sheet.AddPage(page);
    const std::string name = in_german ? "real_speed_page_de" : "real_speed_page";
    Steps({[&] {
             win::Windows().RunPending();
             QCoreApplication::processEvents();
             QWidget* window = dialogs_->WidgetOf(sheet);
             ASSERT_NE(window, nullptr);
             const QImage image = window->grab().toImage();
             int dark = 0;
             for (int y = 0; y < image.height(); ++y)
               for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 80;
             EXPECT_GT(dark, 50);
             SaveScreenshot(*window, name);
           },
           [&] { sheet.PressButton(win::kIdCancel); }});
    EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
    QCoreApplication::processEvents();
  }
}

}  // namespace
