#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/beat_edit_dlgs.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"

namespace qthost {
namespace {

// The beat dialogs as real widgets, for a reviewer's screenshots.
class BeatEditDlgsQtTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { AddBeatEditDialogResources(pack); }
};

// Pixels much darker than the dialog face: the texts reached the screen.
int DarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 80) ++dark;
  return dark;
}

TEST_F(BeatEditDlgsQtTest, ScreenshotsOfBothDialogs) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<win::Dialog>()> make;
  };
  const Case cases[] = {
      {"beat_edit_dlg_136", [] { return std::make_unique<TBeatEditDlg>(2, 1); }},
      {"beat_edit_choice_dlg_153", [] { return std::make_unique<TBeatEditChoiceDlg>(0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<win::Dialog> dialog = c.make();
    int dark = 0;
    Steps({[&] {
             QWidget* window = dialogs_->WidgetOf(*dialog);
             ASSERT_NE(window, nullptr);
             dark = DarkPixels(window->grab().toImage());
             testing_support::SaveScreenshot(*window, c.name);
           },
           [&] { dialog->EndDialog(win::kIdCancel); }});
    EXPECT_EQ(dialog->DoModal(), win::kIdCancel);
    EXPECT_GT(dark, 50);
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (std::string(c.name) + ".png")));
  }
}

}  // namespace
}  // namespace qthost
