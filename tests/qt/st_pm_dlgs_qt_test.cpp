#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/core_resources.h"
#include "core/view_pages.h"
#include "dialogs/st_dlgs.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/property_sheet.h"

namespace qthost {
namespace {

constexpr int kRate = CZK470Doc::kDefaultSampleRate;

// The ST dialogs and the pacemaker names page as real widgets, for a reviewer's screenshots.
class STAndPacemakerDlgsQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    document::Context().Reset();
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, doc_profile_, clock_);
    TRecordingData& r = doc_->GetRecordingData();
    r.start_time.days = 0.375;  // 09:00:00
    r.st_channel_analysed = {1, 1};
    document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{0, 1});
    document::Context().g_STChannels.Assign(std::vector<int32_t>{0, 1});
  }
  void AddResources(platform::ResourcePack& pack) override {
    AddSTDialogResources(pack);
    AddCoreResources(pack);
  }
  void ReleaseBeforeWindows() override {
    doc_.reset();
    main_.DestroyWindow();
  }
  void ReleaseAfterHosts() override { document::Context().Reset(); }

  // Saves the window's picture and checks that texts reached it.
  void Shoot(win::Window& dialog, const char* name) {
    QWidget* window = dialogs_->WidgetOf(dialog);
    ASSERT_NE(window, nullptr) << name;
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 50) << name;
    // The templates give a combo box the height of its dropped-down list; closed it is one line.
    for (const QComboBox* combo : window->findChildren<QComboBox*>())
      EXPECT_EQ(combo->height(), combo->sizeHint().height()) << name;
    testing_support::SaveScreenshot(*window, name);
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (std::string(name) + ".png")));
  }

  win::Window main_;
  platform::ManualClock clock_{platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}};
  platform::MemoryProfileStore doc_profile_;
  platform::MemoryProfileStore profile_;
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(STAndPacemakerDlgsQtTest, ScreenshotsOfTheModelessSTDialogs) {
  TSTDetail episode;
  const std::pair<int, double> points[] = {{10, -1.04}, {20, -2.96}, {40, -0.5}};
  for (size_t i = 0; i < episode.points.size(); ++i) {
    episode.points[i].position = points[i].first * kRate;
    episode.points[i].heart_rate = 80;
    episode.points[i].level = points[i].second;
  }
  doc_->GetRecordingData().st_episodes[0].Add(episode);
  TSTEpisodeDlg episodes(&main_, doc_.get(), &profile_, &locale_);
  ASSERT_TRUE(episodes.Open(&main_));
  episodes.ShowEpisodeAt(15000);
  TSTValuesDlg values(&main_, doc_.get());
  values.level0 = "-1.2";
  values.slope0 = "0.4";
  values.level1 = "-0.3";
  values.slope1 = "0.1";
  values.UpdateData(false);
  win::Windows().RunPending();
  QCoreApplication::processEvents();
  Shoot(episodes, "st_episode_dlg_243");
  Shoot(values, "st_values_dlg_270");
  episodes.DestroyWindow();
  values.DestroyWindow();
}

TEST_F(STAndPacemakerDlgsQtTest, ScreenshotsOfTheSTOptionsAndPacemakerNamesPages) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<win::PropertyPage>()> make;
  };
  const Case cases[] = {
      {"st_options_page_237", [&] { return std::make_unique<TSTOptionsDlg>(*doc_); }},
      {"pacemaker_names_page_280", [&] { return std::make_unique<TPMTextDlg>(*doc_); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<win::PropertyPage> page = c.make();
    win::PropertySheet sheet("Settings", &main_);
    sheet.AddPage(*page);
    Steps({[&] { Shoot(sheet, c.name); }, [&] { sheet.PressButton(win::kIdCancel); }});
    EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
  }
}

}  // namespace
}  // namespace qthost
