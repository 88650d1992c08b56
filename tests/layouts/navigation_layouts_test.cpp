#include <gtest/gtest.h>

#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "layouts/default_layouts.h"
#include "layouts/layout_harness.h"
#include "views/layout_tree.h"

// The rectangles of layouts 0 to 7, 11 and 19, worked out by hand from the layout rule: window
// rows give the window's place in the view, the rows inside a window are in its hosted window's
// client, which is the place less a 1-pixel frame (no window of these screens is focusable and
// none of their placeholders has a bar).
namespace {

using layouttest::LayoutHarness;
using layouttest::LayOutWindowContents;

struct RowRect {
  int row;
  gfx::Rect want;
};

void ExpectRects(const LayoutHarness& harness, std::span<const RowRect> rows) {
  for (const RowRect& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << r.row);
    EXPECT_EQ(harness.RectOf(r.row), r.want);
  }
}

void ExpectClients(const LayoutHarness& harness, std::span<const RowRect> rows) {
  for (const RowRect& r : rows) {
    SCOPED_TRACE(testing::Message() << "client of row " << r.row);
    EXPECT_EQ(harness.ClientOf(r.row), r.want);
  }
}

// One screen at one view size: every rectangle its description states, and the hosted windows'
// clients. A size other than 1000 x 700 is reached by resizing the view, as the user does.
struct Screen {
  const char* name;
  int layout;
  int width;
  int height;
  std::vector<RowRect> rects;
  std::vector<RowRect> clients;
};

void ExpectScreen(const Screen& screen) {
  SCOPED_TRACE(screen.name);
  LayoutHarness harness(screen.layout, 1000, 700);
  if (screen.width != 1000 || screen.height != 700) harness.Resize(screen.width, screen.height);
  ExpectRects(harness, screen.rects);
  ExpectClients(harness, screen.clients);
}

// The tables below keep one rectangle per line, as the layout descriptions list them.
// clang-format off

// The ECG strip window block in a 998 x 264 client (the lower 38 % of a 1000 x 700 view), rows
// numbered from the block's window row.
std::vector<RowRect> StripBlockAt700(int window_row) {
  const int w = window_row;
  return {
      {w, {0, 434, 1000, 700}},
      {w + 1, {0, 0, 90, 264}},       // strip header
      {w + 2, {995, 0, 998, 264}},    // background edge at the far side
      {w + 3, {90, 0, 995, 264}},     // inner area
      {w + 4, {90, 0, 995, 3}},       // top spacer
      {w + 5, {90, 3, 995, 261}},     // strip pixel grid
      {w + 6, {90, 3, 995, 261}},     // ECG strip area on the grid
      {w + 7, {90, 229, 995, 261}},   // beat annotations: the bottom 32
      {w + 8, {90, 3, 995, 23}},      // beat labels: the top 20
      {w + 9, {90, 23, 995, 153}},    // event labels under the beat labels
      {w + 10, {90, 261, 995, 264}},  // bottom spacer
  };
}

// The ECG page window block in a 998 x 432 client (the upper 62 % of a 1000 x 700 view).
std::vector<RowRect> PageBlockAt700() {
  return {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 90, 432}},      // row times
      {3, {995, 0, 998, 432}},   // blank edge
      {4, {90, 0, 995, 432}},    // inner area
      {5, {90, 0, 995, 3}},      // top spacer
      {6, {90, 3, 995, 429}},    // ECG pixel grid
      {7, {90, 429, 995, 432}},  // bottom spacer
      {8, {90, 3, 995, 429}},    // full disclosure on the grid
  };
}

std::vector<RowRect> Join(std::vector<RowRect> a, const std::vector<RowRect>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(NavigationLayouts, NavigationWithStripAndWithTrend) {
  const std::vector<RowRect> navigation0 = {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 998, 414}},      // legend row: all but the bottom 18
      {3, {0, 0, 18, 414}},       // band legend
      {4, {18, 0, 123, 414}},     // event legend 105
      {5, {123, 0, 945, 414}},    // event ticks: the rest
      {6, {945, 0, 998, 414}},    // count legend 53
      {7, {0, 414, 998, 432}},    // caption row
      {8, {0, 414, 123, 432}},    // caption 18 + 105
      {9, {123, 414, 945, 432}},  // time axis under the ticks
      {10, {945, 414, 998, 432}},
  };
  const std::vector<RowRect> navigation2 = {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 998, 414}},
      {3, {0, 0, 18, 414}},
      {4, {18, 0, 108, 414}},     // event legend 90
      {5, {108, 0, 945, 414}},
      {6, {945, 0, 998, 414}},
      {7, {0, 414, 998, 432}},
      {8, {0, 414, 108, 432}},    // caption 18 + 90
      {9, {108, 414, 945, 432}},
      {10, {945, 414, 998, 432}},
  };
  const std::vector<RowRect> trend2 = {
      {11, {0, 434, 1000, 700}},   // where layout 0 has the strip window
      {12, {0, 0, 998, 246}},      // plot row
      {13, {0, 0, 108, 246}},      // heart-rate scale
      {14, {108, 0, 945, 246}},    // trend plot under the event ticks
      {15, {945, 0, 998, 246}},
      {16, {0, 246, 998, 264}},    // caption row
      {17, {0, 246, 108, 264}},
      {18, {108, 246, 945, 264}},  // second time axis
      {19, {945, 246, 998, 264}},
  };
  const Screen screens[] = {
      {"layout 0, 1000 x 700", 0, 1000, 700, Join(navigation0, StripBlockAt700(11)),
       {{1, {0, 0, 998, 432}}, {11, {0, 0, 998, 264}}}},
      // Both windows keep their minimum heights; the strip window ends below the view.
      {"layout 0, 1000 x 300", 0, 1000, 300,
       {
           {1, {0, 0, 1000, 280}},
           {2, {0, 0, 998, 260}},
           {7, {0, 260, 998, 278}},
           {11, {0, 280, 1000, 394}},
       },
       {{1, {0, 0, 998, 278}}, {11, {0, 0, 998, 112}}}},
      {"layout 2, 1000 x 700", 2, 1000, 700, Join(navigation2, trend2),
       {{1, {0, 0, 998, 432}}, {11, {0, 0, 998, 264}}}},
      {"layout 2, 1000 x 300", 2, 1000, 300, {{1, {0, 0, 1000, 280}}, {11, {0, 280, 1000, 394}}}, {}},
  };
  for (const Screen& screen : screens) ExpectScreen(screen);
}

TEST(NavigationLayouts, ECGPageScreens) {
  const std::vector<RowRect> trend3 = {
      {9, {0, 434, 1000, 700}},
      {10, {0, 0, 998, 246}},
      {11, {0, 0, 123, 246}},      // heart-rate scale 123
      {12, {123, 0, 945, 246}},
      {13, {945, 0, 998, 246}},
      {14, {0, 246, 998, 264}},
      {15, {0, 246, 123, 264}},
      {16, {123, 246, 945, 264}},  // time axis exactly under the plot
      {17, {945, 246, 998, 264}},
  };
  const Screen screens[] = {
      {"layout 1, 1000 x 700", 1, 1000, 700, Join(PageBlockAt700(), StripBlockAt700(9)),
       {{1, {0, 0, 998, 432}}, {9, {0, 0, 998, 264}}}},
      {"layout 3, 1000 x 700", 3, 1000, 700, Join(PageBlockAt700(), trend3),
       {{1, {0, 0, 998, 432}}, {9, {0, 0, 998, 264}}}},
      {"layout 11, 1000 x 700", 11, 1000, 700,
       {
           {1, {0, 0, 1000, 700}},
           {2, {0, 0, 90, 698}},
           {3, {995, 0, 998, 698}},
           {4, {90, 0, 995, 698}},
           {5, {90, 0, 995, 3}},
           {6, {90, 3, 995, 695}},
           {7, {90, 695, 995, 698}},
           {8, {90, 3, 995, 695}},
       },
       {{1, {0, 0, 998, 698}}}},
      // The page window keeps its 300 x 300 minimum in a small view.
      {"layout 11, 200 x 100", 11, 200, 100, {{1, {0, 0, 300, 300}}}, {{1, {0, 0, 298, 298}}}},
  };
  for (const Screen& screen : screens) ExpectScreen(screen);

  // The full-disclosure area clips its drawing in all three screens.
  for (const int layout : {1, 3, 11}) {
    LayoutHarness harness(layout, 1000, 700);
    ASSERT_NE(harness.Node(8), nullptr);
    EXPECT_EQ(harness.Node(8)->GetClassName(), "CFullDisclosureAreaConfig");
    EXPECT_TRUE(harness.Node(8)->GetClip()) << "layout " << layout;
  }
}

TEST(NavigationLayouts, BarGraphAndStartScreens) {
  const Screen screens[] = {
      // Two columns of 499 and rows of 232, 232 and 233 in the 998 x 698 client.
      {"layout 4, 1000 x 700", 4, 1000, 700,
       {
           {1, {0, 0, 1000, 700}},
           {2, {0, 0, 499, 232}},
           {3, {499, 0, 998, 232}},
           {4, {0, 232, 499, 464}},
           {5, {499, 232, 998, 464}},
           {6, {0, 464, 499, 697}},
           {7, {499, 464, 998, 697}},
       },
       {{1, {0, 0, 998, 698}}}},
      // 999 per mille: one pixel stays uncovered at the right and at the bottom.
      {"layout 5, 1000 x 700", 5, 1000, 700, {{1, {0, 0, 999, 699}}}, {{1, {0, 0, 997, 697}}}},
      {"layout 5, 600 x 400", 5, 600, 400, {{1, {0, 0, 700, 500}}}, {{1, {0, 0, 698, 498}}}},
  };
  for (const Screen& screen : screens) ExpectScreen(screen);

  // A 1000 x 700 client: 500 x 233 graphs at y 0, 233 and 466; the bottom pixel row stays free.
  const std::map<int, gfx::Rect> want = {
      {2, {0, 0, 500, 233}},
      {3, {500, 0, 1000, 233}},
      {4, {0, 233, 500, 466}},
      {5, {500, 233, 1000, 466}},
      {6, {0, 466, 500, 699}},
      {7, {500, 466, 1000, 699}},
  };
  EXPECT_EQ(LayOutWindowContents(4, 1, 1000, 700), want);
}

TEST(NavigationLayouts, OnlineScreens) {
  const Screen screens[] = {
      {"layout 6, 1000 x 700", 6, 1000, 700,
       {
           {1, {0, 0, 1000, 510}},   // all the height the 190-pixel panel leaves
           {2, {0, 0, 998, 508}},    // grid and recorder area share the client
           {3, {0, 0, 998, 508}},
           {4, {0, 0, 998, 254}},    // channel 0 in the upper half
           {5, {0, 254, 998, 508}},  // channel 1 in the lower half
           {6, {0, 510, 1000, 700}},
           {7, {0, 0, 998, 190}},    // the panel area keeps 190 in a 188-pixel client
       },
       {{1, {0, 0, 998, 508}}, {6, {0, 0, 998, 188}}}},
      {"layout 6, 1000 x 300", 6, 1000, 300,
       {
           {1, {0, 0, 1000, 200}},   // the recorder window keeps its 200
           {2, {0, 0, 998, 200}},    // grid and recorder area keep 200 in a 198-pixel client
           {3, {0, 0, 998, 200}},
           {4, {0, 0, 998, 100}},
           {5, {0, 100, 998, 200}},
           {6, {0, 200, 1000, 390}},
           {7, {0, 0, 998, 190}},
       },
       {}},
      {"layout 19, 1000 x 700", 19, 1000, 700,
       {
           {1, {0, 0, 1000, 510}},
           {2, {0, 0, 998, 508}},
           {3, {0, 0, 998, 508}},
           {4, {0, 0, 998, 169}},    // 333, 333 and 334 thousandths of 508
           {5, {0, 169, 998, 338}},
           {6, {0, 338, 998, 507}},
           {7, {0, 510, 1000, 700}},
           {8, {0, 0, 998, 190}},
       },
       {{1, {0, 0, 998, 508}}, {7, {0, 0, 998, 188}}}},
      {"layout 19, 1000 x 300", 19, 1000, 300,
       {
           {1, {0, 0, 1000, 200}},
           {3, {0, 0, 998, 200}},
           {4, {0, 0, 998, 66}},     // 66, 66 and 66 of the 200, raised to 66, 67 and 67
           {5, {0, 66, 998, 133}},
           {6, {0, 133, 998, 200}},
           {7, {0, 200, 1000, 390}},
       },
       {}},
  };
  for (const Screen& screen : screens) ExpectScreen(screen);
}

TEST(NavigationLayouts, STScreen) {
  const std::vector<RowRect> upper = {
      {1, {0, 0, 1000, 98}},      // 140, 230, 250 and 380 thousandths of 700
      {2, {0, 0, 998, 96}},
      {3, {0, 0, 18, 96}},        // frame box
      {4, {18, 0, 123, 96}},
      {5, {123, 0, 945, 96}},
      {6, {945, 0, 998, 96}},
      {7, {0, 98, 1000, 259}},    // under the navigation window's place
      {8, {0, 0, 998, 159}},
      {9, {0, 0, 123, 159}},      // ST scale
      {10, {123, 0, 945, 159}},   // ST trend under the event ticks
      {11, {945, 0, 998, 159}},
      {12, {0, 259, 1000, 434}},  // under the ST window's place, not its height
      {13, {0, 0, 998, 155}},
      {14, {0, 0, 123, 155}},
      {15, {123, 0, 945, 155}},
      {16, {945, 0, 998, 155}},
      {17, {0, 155, 998, 173}},
      {18, {0, 155, 123, 173}},
      {19, {123, 155, 945, 173}},
      {20, {945, 155, 998, 173}},
  };
  const Screen screens[] = {
      {"layout 7, 1000 x 700", 7, 1000, 700, Join(upper, StripBlockAt700(21)),
       {{1, {0, 0, 998, 96}}, {7, {0, 0, 998, 159}}, {12, {0, 0, 998, 173}}, {21, {0, 0, 998, 264}}}},
      // Minimum heights 74 and 110 hold; the ST and strip windows get 69 and 114; the last
      // window ends at 367, below the view.
      {"layout 7, 1000 x 300", 7, 1000, 300,
       {
           {1, {0, 0, 1000, 74}},
           {2, {0, 0, 998, 72}},
           {7, {0, 74, 1000, 143}},
           {8, {0, 0, 998, 80}},        // the row keeps 80 in a 67-pixel client
           {12, {0, 143, 1000, 253}},
           {13, {0, 0, 998, 90}},
           {17, {0, 90, 998, 108}},
           {21, {0, 253, 1000, 367}},
           {24, {90, 0, 995, 112}},
           {26, {90, 3, 995, 109}},     // grid and strip still share one rectangle
           {27, {90, 3, 995, 109}},
       },
       {{7, {0, 0, 998, 67}}, {21, {0, 0, 998, 112}}}},
  };
  for (const Screen& screen : screens) ExpectScreen(screen);
}

// The one class argument of the rows that take one; the rows' places are in the tables above
// (class slot 15 top left to 20 bottom right, channel 0 in the top sweep).
TEST(NavigationLayouts, ClassArgumentsAsDescribed) {
  struct Case {
    int layout;
    int row;
    std::string_view class_name;
    int argument;
  };
  constexpr Case kCases[] = {
      {0, 4, "CEventLegendAreaConfig", 0},
      {0, 5, "CEventTickAreaConfig", 0},
      {0, 6, "CCountLegendAreaConfig", 0},
      {2, 4, "CEventLegendAreaConfig", 0},
      {2, 5, "CEventTickAreaConfig", 0},
      {2, 6, "CCountLegendAreaConfig", 0},
      {7, 4, "CEventLegendAreaConfig", 1},
      {7, 5, "CEventTickAreaConfig", 1},
      {7, 6, "CCountLegendAreaConfig", 1},
      {4, 2, "CClassBarGraphAreaConfig", 15},
      {4, 3, "CClassBarGraphAreaConfig", 16},
      {4, 4, "CClassBarGraphAreaConfig", 17},
      {4, 5, "CClassBarGraphAreaConfig", 18},
      {4, 6, "CClassBarGraphAreaConfig", 19},
      {4, 7, "CClassBarGraphAreaConfig", 20},
      {6, 4, "COnlineECGAreaConfig", 0},
      {6, 5, "COnlineECGAreaConfig", 1},
      {19, 4, "COnlineECGAreaConfig", 0},
      {19, 5, "COnlineECGAreaConfig", 1},
      {19, 6, "COnlineECGAreaConfig", 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "layout " << c.layout << " row " << c.row);
    const std::span<const layouts::LayoutRow> table = GetLayoutTable(c.layout);
    ASSERT_LT(c.row, static_cast<int>(table.size()));
    EXPECT_EQ(table[static_cast<size_t>(c.row)].class_name, c.class_name);
    EXPECT_EQ(table[static_cast<size_t>(c.row)].argument, c.argument);
  }
}

// clang-format on

}  // namespace
