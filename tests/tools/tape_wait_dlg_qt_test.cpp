#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>

#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "tools/tape_fixture.h"
#include "tools/tape_wait_dlg.h"
#include "win/messages.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

// The tape read-in's wait dialog as a real widget, Cancel still greyed.
class TapeWaitQtTest : public testing_support::DialogHostTest, public tapetest::TapeDocFixture {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void AddResources(platform::ResourcePack& pack) override { AddTapeWaitResources(pack); }
  void ReleaseBeforeWindows() override { main_.DestroyWindow(); }

  win::Window main_;
};

TEST_F(TapeWaitQtTest, Screenshot) {
  WriteProgram("exec sleep 30");
  TTapeWaitDlg dialog(Doc());
  Steps({[&] {
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           QWidget* window = dialogs_->WidgetOf(dialog);
           ASSERT_NE(window, nullptr);
           const QImage image = window->grab().toImage();
           int dark = 0;
           for (int y = 0; y < image.height(); ++y)
             for (int x = 0; x < image.width(); ++x)
               if (qGray(image.pixel(x, y)) < 80) ++dark;
           EXPECT_GT(dark, 50);
           testing_support::SaveScreenshot(*window, "tape_wait_dlg");
           EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "tape_wait_dlg.png"));
         },
         [&] { dialog.SendMessage(win::kWmCommand, TTapeWaitDlg::kCancelId, 0); }});
  EXPECT_EQ(dialog.DoModal(), TTapeWaitDlg::kCancelled);
}

}  // namespace
}  // namespace qthost
