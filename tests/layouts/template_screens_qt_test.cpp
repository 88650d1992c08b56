#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <string>

#include "layouts/template_review_fixture.h"
#include "qt/screen_host.h"

namespace templatetest {
namespace {

int CountPixels(const QImage& image, const QColor& colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}

// The 16- and 24-class screens through the real host at two sizes: the blue title of the cursor
// row, black traces, the red calibration and the class colours reach the screen.
TEST_F(TemplateReviewTest, TemplateScreensReachTheScreen) {
  SetAnalysedClasses();
  struct Case {
    int layout;
    int width;
    int height;
  };
  for (const Case c : {Case{8, 1000, 700}, Case{8, 1920, 1080}, Case{10, 1000, 700}, Case{10, 1920, 1080}}) {
    const std::string name = "template_classes_" + std::to_string(c.layout) + "_" + std::to_string(c.width) +
                             "x" + std::to_string(c.height);
    SCOPED_TRACE(name);
    qthost::testing_support::ScreenHost screen;
    win::Windows().SetClock(&clock_);
    Doc().GetSettings().SetInt(SettingKey::kTemplatesView, c.layout == 10 ? 1 : 0);
    Doc().SetTemplateCursorRow(1);
    Show(c.layout, c.width, c.height);
    screen.SaveScreen(*view_, name);
    const QImage image = screen.Render(*view_);
    ASSERT_EQ(image.size(), QSize(c.width, c.height));
    EXPECT_GT(CountPixels(image, QColor(0, 0, 255)), 500);  // the cursor row's title bar
    EXPECT_GT(CountPixels(image, QColor(255, 0, 0)), 40);   // calibration
    EXPECT_GT(CountPixels(image, QColor(0, 0, 0)), 2000);   // frames, texts and traces
    Close();
  }
}

}  // namespace
}  // namespace templatetest
