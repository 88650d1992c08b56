#include "views/st_scale_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "gfx/recording_canvas.h"
#include "views/area_messages.h"

namespace {

struct Axis {
  std::vector<std::string> labels;  // top to bottom
  int ticks = 0;
};

// The scale's ticks and right-aligned labels for a range, drawn in a 123 x 240 area.
Axis DrawRange(int low, int high) {
  CSTScaleAreaConfig config(CPosition{}, {123, 80}, {0, 1000}, true);
  CSTScaleArea area(&config, nullptr);
  area.SetRect({0, 0, 123, 240});
  int range[2] = {low, high};
  EXPECT_EQ(area.OnMessage(areamsg::kSTRange, 0, reinterpret_cast<win::LParam>(range)), 1);
  gfx::RecordingCanvas canvas;
  area.Draw(canvas, {0, 0, 123, 240});
  Axis axis;
  std::vector<std::pair<int, std::string>> labels;
  for (const gfx::DisplayItem& item : canvas.Items()) {
    if (const auto* text = std::get_if<gfx::rec::Text>(&item);
        text != nullptr && text->draw_format == (gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtRight))
      labels.emplace_back(text->draw_rect.top, text->text);
    if (const auto* move = std::get_if<gfx::rec::MoveTo>(&item); move != nullptr && move->to.x == 123)
      ++axis.ticks;
  }
  std::sort(labels.begin(), labels.end());
  for (const auto& [top, text] : labels) axis.labels.push_back(text);
  return axis;
}

TEST(CSTScaleArea, LabelsThinOutWithTheirHalfOfTheRange) {
  struct Case {
    int low;
    int high;
    std::vector<std::string> labels;
    int ticks;
  };
  const Case cases[] = {
      {-3, 3, {"2", "1", "0", "-1", "-2"}, 5},
      {-10, 10, {"8", "4", "0", "-4", "-8"}, 19},
      {-10, 5, {"4", "2", "0", "-4", "-8"}, 14},
      {-6, 10, {"8", "4", "0", "-2", "-4"}, 15},
      {-1, 3, {"2", "1", "0"}, 3},  // no lower ticks at all
      {0, 0, {}, 0},                // no step: only the frame and the captions
      {2, -2, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.low << " .. " << c.high);
    const Axis axis = DrawRange(c.low, c.high);
    EXPECT_EQ(axis.labels, c.labels);
    EXPECT_EQ(axis.ticks, c.ticks);
  }
}

}  // namespace
