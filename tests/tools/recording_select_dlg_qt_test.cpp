#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "common/progress_window.h"
#include "common/text_view_dlg.h"
#include "common/utility_resources.h"
#include "dialogs/patient_dialog_resources.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "support/test_files.h"
#include "tools/batch_analysis.h"
#include "tools/recording_select_dlg.h"
#include "tools/run_family.h"
#include "win/messages.h"

namespace qthost {
namespace {

namespace fs = std::filesystem;

// The picker of every kind and the result list of a run, as real widgets.
class RecordingSelectQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    folder_ = testsupport::MakeTestDir("pickqt");
    int seconds = 0;
    for (const char* name : {"Anna Meier 05-03-2024 V--S-.QRS", "Bert Baum 01-02-2024 0--0-.QRS",
                             "Carl Clausen.QRS", "card 00017.RAW", "AHA1201ID.DAT", "A1202ID.DAT",
                             "00017.CMP", "00018.CMP", "AHA1201.252", "MIT100.123", "CU01.2C2"}) {
      const std::string path = (folder_ / name).string();
      testsupport::WriteBytes(path, {1});
      seconds += 3600;
      const timespec times[2] = {{1704067200 + seconds, 0}, {1704067200 + seconds, 0}};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
  }
  void AddResources(platform::ResourcePack& pack) override {
    AddPatientDialogResources(pack);
    AddUtilityResources(pack);
    AddRecordingSelectResources(pack);
  }

  // Counts pixels near black and pixels of any other shade.
  static std::pair<int, int> DarkAndOther(const QImage& image) {
    int dark = 0;
    int other = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) (qGray(image.pixel(x, y)) < 80 ? dark : other)++;
    return {dark, other};
  }

  fs::path folder_;
};

TEST_F(RecordingSelectQtTest, ScreenshotsOfEveryKind) {
  for (int kind = tools::kPickRecordingsBatch; kind <= tools::kPickKekg; ++kind) {
    SCOPED_TRACE(kind);
    TRecordingSelectDlg dialog("Select files", folder_.string(), kind);
    Steps({[&] {
             dialog.List().SetCheck(0, true);
             dialog.List().SelectFromUser({0});
             win::Windows().RunPending();
             QCoreApplication::processEvents();
             QWidget* window = dialogs_->WidgetOf(dialog);
             ASSERT_NE(window, nullptr);
             const QImage image = window->grab().toImage();
             const auto [dark, other] = DarkAndOther(image);
             EXPECT_GT(dark, 200);  // texts, ticks and frames
             EXPECT_GT(other, dark * 4) << "mostly dark";
             const std::string name = "recording_select_dlg_kind" + std::to_string(kind);
             testing_support::SaveScreenshot(*window, name);
             EXPECT_TRUE(fs::exists(testing_support::ScreenshotDir() / (name + ".png")));
           },
           [&] { dialog.SendMessage(win::kWmCommand, win::kIdCancel, 0); }});
    EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
  }
}

TEST_F(RecordingSelectQtTest, ScreenshotOfALongListScrolled) {
  const fs::path many = folder_ / "many";
  fs::create_directories(many);
  for (int i = 0; i < 40; ++i)
    testsupport::WriteBytes(many / ("Patient " + std::to_string(100 + i) + ".QRS"), {1});
  TRecordingSelectDlg dialog("Select files", many.string(), tools::kPickRecordings);
  Steps({[&] {
           TPickListCtrl& list = dialog.List();
           list.SendMessage(win::kWmVScroll, win::kSbPageDown,
                            static_cast<win::LParam>(list.ScrollBar().Handle()));
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           QWidget* window = dialogs_->WidgetOf(dialog);
           ASSERT_NE(window, nullptr);
           const QImage image = window->grab().toImage();
           const auto [dark, other] = DarkAndOther(image);
           EXPECT_GT(dark, 200);
           EXPECT_GT(other, dark * 4) << "mostly dark";
           testing_support::SaveScreenshot(*window, "recording_select_dlg_scrolled");
         },
         [&] { dialog.SendMessage(win::kWmCommand, win::kIdCancel, 0); }});
  EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
}

TEST_F(RecordingSelectQtTest, ScreenshotOfTheResultList) {
  tools::RunResults results;
  results.Success("Exported", "/home/clinic/ZK-470/Data/Anna Meier 05-03-2024 V--S-.BIN");
  results.Error("Error opening file", "/home/clinic/ZK-470/Data/Bert Baum 01-02-2024 0--0-.QRS");
  results.Success("Exported", "/home/clinic/ZK-470/Data/Carl Clausen.BIN");
  results.AddSummary("Exported", "Errors");
  ASSERT_EQ(results.Lines().back(), "Exported : 2        Errors : 1");
  TTextViewDlg dialog(results.Lines(), "Results - Export multiple recordings in BIN Format", true);
  Steps({[&] {
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           QWidget* window = dialogs_->WidgetOf(dialog);
           ASSERT_NE(window, nullptr);
           const QImage image = window->grab().toImage();
           const auto [dark, other] = DarkAndOther(image);
           EXPECT_GT(dark, 200);
           EXPECT_GT(other, dark * 4) << "mostly dark";
           testing_support::SaveScreenshot(*window, "run_results_dlg");
         },
         [&] { dialog.SendMessage(win::kWmCommand, win::kIdOk, 0); }});
  EXPECT_EQ(dialog.DoModal(), win::kIdOk);
}

// The batch analysis's progress as the user sees it with two workers busy.
TEST_F(RecordingSelectQtTest, BatchProgressShowsTheCountAndTheRecordingsBeingAnalysed) {
  win::Window main;
  ASSERT_TRUE(main.Create(nullptr, {0, 0, 800, 600}, win::kWsCaption | win::kWsVisible, 0, "Main"));
  win::Windows().SetMainWindow(&main);
  CProgressWindow progress;
  tools::OpenBatchProgress(progress, &main, 2, 5);
  tools::ShowBatchProgress(progress,
                           {2, 5, {"/data/Anna Meier 05-03-2024 V----.QRS", "/data/Bert Baum 0----.QRS"}});
  QWidget* window = dialogs_->WidgetOf(progress);
  ASSERT_NE(window, nullptr);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->isVisible());
  const QImage image(
      QString::fromStdString(testing_support::SaveScreenshot(*window, "batch_progress").string()));
  const auto [dark, other] = DarkAndOther(image);
  EXPECT_GT(dark, 100) << "no text on the window";
  EXPECT_GT(other, dark);
  progress.DestroyWindow();
  win::Windows().SetMainWindow(nullptr);
}

}  // namespace
}  // namespace qthost
