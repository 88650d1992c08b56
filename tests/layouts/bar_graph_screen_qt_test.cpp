// The hourly bar graphs (layout 4) on the real host over a 24-hour recording: PNG files for a
// reviewer, and a check that the bars reach the picture in their class colours.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <string>

#include "day_recording.h"
#include "layouts/bar_graph_areas.h"
#include "layouts/legend_items.h"
#include "views/window_area.h"
#include "win/messages.h"

namespace {

class BarGraphsOnScreen : public trendtest::DayScreenTest {};

TEST_F(BarGraphsOnScreen, VentricularAndSupraventricularGroupsAtBothSizes) {
  struct Size {
    int width, height;
  };
  for (const Size size : {Size{1000, 700}, Size{1920, 1080}}) {
    for (const int command : {kBarGraphVentricularCommand, kBarGraphSupraventricularCommand}) {
      SCOPED_TRACE(testing::Message() << command << " at " << size.width << "x" << size.height);
      QImage image = Show(4, size.width, size.height);
      ASSERT_FALSE(image.isNull());
      auto* area =
          dynamic_cast<CWindowArea*>(trendtest::FindNode(Root(), "CBarGraphWindowConfig")->GetArea());
      ASSERT_NE(area, nullptr);
      area->GetHostedWindow()->SendMessage(win::kWmCommand, static_cast<win::WParam>(command), 0);
      // Shown anew: the document kept the group.
      image = Show(4, size.width, size.height);
      area = dynamic_cast<CWindowArea*>(trendtest::FindNode(Root(), "CBarGraphWindowConfig")->GetArea());
      const auto* graph = dynamic_cast<const CClassBarGraphArea*>(
          trendtest::FindNode(Root(), "CClassBarGraphAreaConfig")->GetArea());
      ASSERT_NE(graph, nullptr);
      const int code = command == kBarGraphVentricularCommand ? 15 : 9;
      EXPECT_EQ(graph->GetClassSlot(), code);
      EXPECT_EQ(graph->BarCount(), 24);
      EXPECT_GT(graph->ValueMax(), 0);
      // The first graph's bars in the code's colour, inside the window under the toolbar.
      const gfx::Rect frame = area->StoredRect();
      const QRect window(frame.left, frame.top, frame.Width(), frame.Height());
      EXPECT_GT(trendtest::PixelsOfColour(image, window, CodeColour(Doc(), code)), 200);
      char name[64];
      std::snprintf(name, sizeof name, "bar_graphs_%s_%dx%d", code == 15 ? "v" : "sv", size.width,
                    size.height);
      Save(name);
    }
  }
}

}  // namespace
