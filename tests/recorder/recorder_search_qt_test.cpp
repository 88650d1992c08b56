#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "dialogs/recording_prompt_dlgs.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "recorder/recorder_search.h"
#include "recorder/search_status_dlg.h"
#include "win/messages.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

// The new-recording prompts, the length dialog and the search's status window as real widgets.
class RecorderSearchQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void AddResources(platform::ResourcePack& pack) override {
    AddRecordingPromptResources(pack);
    recorder::AddRecorderSearchResources(pack);
  }
  void ReleaseBeforeWindows() override {
    platform::Resources().SetLanguagePack(nullptr);
    main_.DestroyWindow();
  }

  // Saves the window's picture and checks that its texts reached it.
  void Shoot(win::Window& dialog, const std::string& name) {
    win::Windows().RunPending();
    QCoreApplication::processEvents();
    QWidget* window = dialogs_->WidgetOf(dialog);
    ASSERT_NE(window, nullptr) << name;
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 50) << name;
    testing_support::SaveScreenshot(*window, name.c_str());
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
  }

  void ShootModal(win::Dialog& dialog, const std::string& name) {
    Steps({[&] { Shoot(dialog, name); }, [&] { dialog.EndDialog(win::kIdCancel); }});
    EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
  }

  win::Window main_;
};

TEST_F(RecorderSearchQtTest, ScreenshotsInBothLanguages) {
  platform::ResourcePack german("ZK470Ger");
  AddRecordingPromptResources(german);
  recorder::AddRecorderSearchResources(german);
  win::AddWindowSystemResources(german);
  struct Case {
    const char* name;
    int template_id;
  };
  const Case cases[] = {
      {"prompt_zk130", TRecordingPromptDlg::kZK130TemplateId},
      {"prompt_zk133", TRecordingPromptDlg::kZK133TemplateId},
      {"prompt_zk131", TRecordingPromptDlg::kZK131TemplateId},
      {"prompt_zk131_units", TRecordingPromptDlg::kZK131UnitsTemplateId},
  };
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    const std::string suffix = in_german ? "_de" : "";
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    for (const Case& c : cases) {
      TRecordingPromptDlg prompt(c.template_id, &main_);
      ShootModal(prompt, c.name + suffix);
    }
    TRecordingLengthDlg length(&main_);
    length.choice = 2;
    ShootModal(length, "recording_length" + suffix);

    TSearchStatusDlg status;
    status.Show("Holter", platform::LoadString(33248) + " USB ....");
    Shoot(status, "search_status" + suffix);
    status.Close();
  }
}

}  // namespace
}  // namespace qthost
