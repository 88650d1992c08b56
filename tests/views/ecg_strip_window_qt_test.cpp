#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>

#include "qt/screen_host.h"
#include "views/ecg_strip_window.h"
#include "views/strip_recording.h"
#include "win/window.h"

namespace {

using views::CECGStripWindow;

// The strip window through the real host, offscreen: a picture for people, and a check that the
// traces reach the screen: dark pixels inside each row's strip, coloured ones where ectopic beats are.
TEST(ECGStripWindowOnScreen, ShowsTracesInEveryRow) {
  qthost::testing_support::ScreenHost host;
  viewstest::StripRecording recording;
  CECGStripWindow window;
  ASSERT_TRUE(window.CreateStrip(recording.Doc(), nullptr, {0, 0, 1000, 700}, win::kWsVisible));
  const QImage image = host.Render(window);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(1000, 700));

  const int strip_left = CECGStripWindow::kTimeMargin + 2;
  const int strip_right = CECGStripWindow::kTimeMargin + 900 - 2;
  int coloured = 0;
  for (int row = 0; row < window.RowCount(); ++row) {
    SCOPED_TRACE(row);
    const int top = 28 + row * 150 + 5 + 2;
    int dark = 0;
    for (int y = top; y < top + 136; ++y) {
      for (int x = strip_left; x < strip_right; ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.lightness() < 80) ++dark;
        if (c.saturation() > 100 && c.lightness() < 240) ++coloured;
      }
    }
    EXPECT_GT(dark, 500) << "the traces in black";
  }
  EXPECT_GT(coloured, 20) << "ectopic beats in their class colour";
  const std::filesystem::path png = host.SaveScreen(window, "ecg_strip_window");
  EXPECT_TRUE(std::filesystem::exists(png));
  window.DestroyWindow();
}

}  // namespace
