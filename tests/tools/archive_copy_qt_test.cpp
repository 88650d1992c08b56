#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "tools/archive_copy.h"
#include "tools/archive_copy_fixture.h"
#include "win/messages.h"

namespace qthost {
namespace {

// The archive copy dialog as a real widget while its worker is held at the first file.
class ArchiveCopyQtTest : public testing_support::DialogHostTest, public archivetest::ArchiveDocFixture {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void AddResources(platform::ResourcePack& pack) override { AddArchiveCopyResources(pack); }
  void ReleaseBeforeWindows() override { main_.DestroyWindow(); }

  win::Window main_;
};

TEST_F(ArchiveCopyQtTest, Screenshot) {
  const std::vector<std::string> chosen = {MakeRecording(Data(), "A", 1), MakeRecording(Data(), "B", 2)};
  archivetest::CopyGate gate;
  TArchiveCopyDlg dialog(Doc(), kArchiveCopyChosen, &chosen);
  dialog.SetHooks(gate.Hooks());
  Steps({[&] {
           gate.WaitUntilReached();
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           QWidget* window = dialogs_->WidgetOf(dialog);
           ASSERT_NE(window, nullptr);
           const QImage image = window->grab().toImage();
           // The folders of the picture reached the screen.
           int folder = 0;
           for (int y = 0; y < image.height(); ++y)
             for (int x = 0; x < image.width(); ++x)
               if (image.pixel(x, y) == qRgb(232, 188, 72)) ++folder;
           EXPECT_GT(folder, 100);
           testing_support::SaveScreenshot(*window, "archive_copy_dlg");
           EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "archive_copy_dlg.png"));
         },
         [&] { gate.Release(); }});
  EXPECT_EQ(dialog.DoModal(), 0);
  EXPECT_TRUE(std::filesystem::exists(Archive() / "B.TAP"));
}

}  // namespace
}  // namespace qthost
