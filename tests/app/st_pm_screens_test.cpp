// The ST trend screen and the pacemaker template page as the Qt host shows them offscreen, on
// recordings with ST episodes and with paced beats, at the smallest common size and at full HD:
// PNG files under the build folder for a reviewer, and a check that each screen drew its content.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_run.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/st/st_progress_dlg.h"
#include "app/qt_app_fixture.h"
#include "core/splash_window.h"
#include "core/zk470_view.h"
#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "layouts/default_layouts.h"
#include "layouts/st_pm_resources.h"
#include "platform/resources.h"
#include "qt/screenshot.h"
#include "support/test_recordings.h"
#include "support/testdata_cli.h"
#include "views/layout_tree.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

struct Size {
  int width;
  int height;
};
constexpr Size kSizes[] = {{1280, 800}, {1920, 1080}};

class STAndPacemakerScreensTest : public ScreenshotTest {
 protected:
  // A one-hour two-channel recording from the generator with the extra options, its true beats
  // and events as the analysis, opened in the program.
  void StartOn(const std::vector<std::string>& extra) {
    const fs::path base = Folder("rec") / "00001";
    std::vector<std::string> args{"synth", "--minutes", "60", "--channels", "2", "--seed", "18"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(base.string());
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(testsupport::RunTestdataCli(args, out, err), 0) << err.str();
    const fs::path qrs = coretest::WriteAnalysedRecordingFile(base, {"Eva", "Berg", "55"});
    ASSERT_TRUE(Start({qrs.string()}));
    Settle();
    if (CSplashWindow::Current() != nullptr) CSplashWindow::PreTranslateAppMessage(win::kWmLButtonDown);
    Settle();
    ASSERT_NE(GetActiveZK470View(), nullptr);
    // The legend and class-name texts, should the program's packs not carry them yet.
    AddSTAndPacemakerViewResources(platform::Resources().ExePack());
  }

  // The ST and pacemaker steps of the run, under headless dialogs, as the commands run them.
  void RunSTAndPacemakerAnalysis() {
    const int32_t channels[] = {0, 1};
    document::Context().g_STChannels.Assign(channels);
    analysis::HeadlessAnalysisDialogs dialogs;
    analysis::AnalysisRun::Services services;
    services.dialogs = &dialogs;
    services.library_version_text = [] { return std::string("-"); };
    services.pacemaker_analysis = analysis::RunPacemakerAnalysis;
    services.st_analysis = [&dialogs](CZK470Doc& doc, int mode) {
      return analysis::RunSTAnalysisDialog(dialogs, doc, mode);
    };
    analysis::AnalysisRun run(std::move(services));
    run.OnRunPacemakerAnalysis(Doc());
    run.OnRepeatSTAnalysis(Doc());
    Settle();
  }

  int CountEvents(int first_kind, int last_kind) {
    int n = 0;
    const TEventList& events = Doc().GetEventList();
    for (int i = 0; i < events.GetSize(); ++i) {
      const int kind = events.ElementAt(i)->GetClass();
      n += kind >= first_kind && kind <= last_kind ? 1 : 0;
    }
    return n;
  }

  // Shows the layout at both sizes, saves each picture and checks the view holds a drawing.
  void ShowAndSave(DisplayMode mode, int hint, int layout, const char* what) {
    CZK470View& view = *GetActiveZK470View();
    for (const Size size : kSizes) {
      SCOPED_TRACE(testing::Message() << what << " at " << size.width << "x" << size.height);
      Frame().MoveWindow({0, 0, size.width, size.height});
      Settle();
      Doc().SetDisplayMode(mode);
      Doc().SetDisplaySubMode(0);
      Doc().UpdateAllViews(nullptr, hint);
      Settle();
      ASSERT_EQ(view.GetSelector()->GetCurrentIndex(), layout);
      const QImage* image = canvas_host_->BackingStore(Frame());
      ASSERT_NE(image, nullptr);
      char name[64];
      std::snprintf(name, sizeof name, "%s_%dx%d", what, size.width, size.height);
      qthost::testing_support::SaveScreenshot(*image, name);
      const gfx::Rect place = view.GetWindowRectInParent();
      ASSERT_GT(place.Width(), 0);
      EXPECT_GT(Colours(*image, QRect(place.left, place.top, place.Width(), place.Height())), 2u);
    }
  }
};

TEST_F(STAndPacemakerScreensTest, STTrendOfARecordingWithEpisodes) {
  // Seconds FROM-TO, shift in microvolts, channel mask.
  ASSERT_NO_FATAL_FAILURE(StartOn({"--st", "600-1200:-300:1", "--st", "1500-1800:-250:2", "--st",
                                   "2400-2580:-400:3", "--st", "3000-3300:-300:3"}));
  ASSERT_NO_FATAL_FAILURE(RunSTAndPacemakerAnalysis());
  EXPECT_GE(CountEvents(kClassSTEpisode1, kClassSTEpisode2), 4);
  EXPECT_GT(Doc().GetRecordingData().st_levels[0].GetSize(), 0);
  ShowAndSave(DisplayMode::kStTrend, 0, 7, "st_trend");
}

TEST_F(STAndPacemakerScreensTest, PacemakerTemplatesOfAPacedRecording) {
  ASSERT_NO_FATAL_FAILURE(StartOn({"--paced", "0.3"}));
  ASSERT_NO_FATAL_FAILURE(RunSTAndPacemakerAnalysis());
  size_t filed = 0;
  for (const TPMTemplateList& list : Doc().GetRecordingData().pm_classes) filed += list.Elements().size();
  EXPECT_GT(filed, 100u);
  ShowAndSave(DisplayMode::kPacemakerTemplates, hint::kDisplayMode13, 16, "pm_templates");
}

}  // namespace
}  // namespace apptest
