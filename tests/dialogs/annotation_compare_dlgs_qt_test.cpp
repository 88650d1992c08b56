#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>

#include "dialogs/annotation_compare_dlgs.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/messages.h"

namespace qthost {
namespace {

// The annotation comparison dialogs as real widgets.
class AnnotationCompareQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void AddResources(platform::ResourcePack& pack) override { AddAnnotationCompareResources(pack); }
  void ReleaseBeforeWindows() override { main_.DestroyWindow(); }

  // Saves the window's picture and checks that text reached it.
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

  win::Window main_;
};

TEST_F(AnnotationCompareQtTest, ScreenshotOfTheOptionsDialog) {
  TAnnotationOptionsDlg dialog(&main_);
  dialog.sample_difference = 10;
  Steps({[&] { Shoot(dialog, "annotation_options_dialog"); },
         [&] { dialog.SendMessage(win::kWmCommand, win::kIdCancel); }});
  EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
}

TEST_F(AnnotationCompareQtTest, ScreenshotOfTheCompareDialogWithAnEditorOpen) {
  TAnnotationCompareDlg dialog(&main_);
  dialog.sample_difference = 18;
  dialog.trigger_point_only = 1;
  Steps({[&] {
           dialog.Tree().SetFocusedItem(dialog.SampleDifferenceItem());
           dialog.SampleDifferenceItem()->Activate();
           EXPECT_TRUE(dialog.SampleDifferenceItem()->GetEdit().IsWindowVisible());
           EXPECT_TRUE(dialog.CommonItem()->IsExpanded());
           Shoot(dialog, "annotation_compare_dialog");
         },
         [&] { dialog.SendMessage(win::kWmCommand, TAnnotationCompareDlg::kCancelId); }});
  EXPECT_EQ(dialog.DoModal(), TAnnotationCompareDlg::kCancelResult);
}

}  // namespace
}  // namespace qthost
