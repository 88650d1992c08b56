#include <gtest/gtest.h>

#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "layouts/default_layouts.h"
#include "layouts/layout_harness.h"
#include "layouts/layout_table.h"

// The rectangles of layouts 8, 9, 10, 12 to 18, 20 and 21, worked out by hand from the layout
// rule. Window rows give the window's place in its parent; rows inside a window are in the hosted
// window's client, which is the place less a 1-pixel frame (these screens' windows have no bars).
namespace {

using layouts::LayoutRow;
using layouttest::LayoutHarness;
using layouttest::LayOutWindowContents;

struct RowRect {
  int row;
  gfx::Rect want;
};

std::vector<RowRect> Join(std::vector<RowRect> a, const std::vector<RowRect>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One screen at one view size: the rectangles and the hosted windows' clients. A size other than
// 1000 x 700 is reached by resizing the view, as the user does.
struct Screen {
  const char* name;
  int layout;
  int width;
  int height;
  std::vector<RowRect> rects;
  std::vector<RowRect> clients;
};

void ExpectScreens(std::span<const Screen> screens) {
  for (const Screen& screen : screens) {
    SCOPED_TRACE(screen.name);
    LayoutHarness harness(screen.layout, 1000, 700);
    if (screen.width != 1000 || screen.height != 700) harness.Resize(screen.width, screen.height);
    for (const RowRect& r : screen.rects) {
      SCOPED_TRACE(testing::Message() << "row " << r.row);
      EXPECT_EQ(harness.RectOf(r.row), r.want);
    }
    for (const RowRect& r : screen.clients) {
      SCOPED_TRACE(testing::Message() << "client of row " << r.row);
      EXPECT_EQ(harness.ClientOf(r.row), r.want);
    }
  }
}

// One window's children laid out alone in a client of the given size.
struct Contents {
  const char* name;
  int layout;
  int window_row;
  int width;
  int height;
  std::vector<RowRect> rects;
};

void ExpectContents(std::span<const Contents> cases) {
  for (const Contents& c : cases) {
    SCOPED_TRACE(c.name);
    const std::map<int, gfx::Rect> got = LayOutWindowContents(c.layout, c.window_row, c.width, c.height);
    for (const RowRect& r : c.rects) {
      SCOPED_TRACE(testing::Message() << "row " << r.row);
      const auto it = got.find(r.row);
      ASSERT_NE(it, got.end());
      EXPECT_EQ(it->second, r.want);
    }
  }
}

// The tables below keep one rectangle per line, as the layout descriptions list them.
// clang-format off

// The ECG strip window block's ten descendants in a client w x h, rows counted from the block's
// window row: header 90 at the left, edge 3 at the right, inner area between them with 3-pixel
// spacers, grid and strip on one rectangle, annotations the strip's bottom 32, beat labels its
// top 20, event labels 130 under them.
std::vector<RowRect> StripBlock(int window_row, int w, int h) {
  const int r = window_row;
  return {
      {r + 1, {0, 0, 90, h}},
      {r + 2, {w - 3, 0, w, h}},
      {r + 3, {90, 0, w - 3, h}},
      {r + 4, {90, 0, w - 3, 3}},
      {r + 5, {90, 3, w - 3, h - 3}},
      {r + 6, {90, 3, w - 3, h - 3}},
      {r + 7, {90, h - 35, w - 3, h - 3}},
      {r + 8, {90, 3, w - 3, 23}},
      {r + 9, {90, 23, w - 3, 153}},
      {r + 10, {90, h - 3, w - 3, h}},
  };
}

TEST(ReviewLayouts, TemplateClassesScreens) {
  // A 998 x 698 client: browsers of 124 (124.75 cut) by 349 in layout 8; 232, 232 and 233 high
  // in layout 10 (333 and 334 thousandths of 698); 6 pixels stay free at the right.
  const Screen screens[] = {
      {"layout 8, 1000 x 700", 8, 1000, 700,
       {
           {1, {0, 0, 1000, 700}},
           {2, {0, 0, 998, 698}},      // grid fills the client
           {3, {0, 0, 124, 349}},      // slot 0 at the grid's corner
           {4, {124, 0, 248, 349}},
           {5, {248, 0, 372, 349}},
           {6, {372, 0, 496, 349}},
           {7, {496, 0, 620, 349}},
           {8, {620, 0, 744, 349}},
           {9, {744, 0, 868, 349}},
           {10, {868, 0, 992, 349}},   // slot 7
           {11, {0, 349, 124, 698}},   // slot 8 below slot 0
           {12, {124, 349, 248, 698}},
           {13, {248, 349, 372, 698}},
           {14, {372, 349, 496, 698}},
           {15, {496, 349, 620, 698}},
           {16, {620, 349, 744, 698}},
           {17, {744, 349, 868, 698}},
           {18, {868, 349, 992, 698}}, // slot 15 below slot 7
       },
       {{1, {0, 0, 998, 698}}}},
      {"layout 10, 1000 x 700", 10, 1000, 700,
       {
           {1, {0, 0, 1000, 700}},
           {2, {0, 0, 998, 698}},
           {3, {0, 0, 124, 232}},
           {10, {868, 0, 992, 232}},
           {11, {0, 232, 124, 464}},
           {12, {124, 232, 248, 464}},
           {18, {868, 232, 992, 464}},
           {19, {0, 464, 124, 697}},   // slot 16 below slot 8, 334 thousandths high
           {20, {124, 464, 248, 697}},
           {26, {868, 464, 992, 697}}, // slot 23
       },
       {{1, {0, 0, 998, 698}}}},
      // The windows keep their minimum 600 x 400 and 600 x 450 in a small view.
      {"layout 8, 600 x 400", 8, 600, 400, {{1, {0, 0, 600, 400}}}, {{1, {0, 0, 598, 398}}}},
      {"layout 10, 600 x 400", 10, 600, 400, {{1, {0, 0, 600, 450}}}, {{1, {0, 0, 598, 448}}}},
  };
  ExpectScreens(screens);

  const Contents contents[] = {
      {"layout 8, client 1000 x 600", 8, 1, 1000, 600,
       {
           {2, {0, 0, 1000, 600}},
           {3, {0, 0, 125, 300}},
           {4, {125, 0, 250, 300}},
           {10, {875, 0, 1000, 300}},
           {11, {0, 300, 125, 600}},
           {12, {125, 300, 250, 600}},
           {18, {875, 300, 1000, 600}},
       }},
      // The grid keeps 600 x 400 and every browser 75 x 200, past the client's edges.
      {"layout 8, client 500 x 300", 8, 1, 500, 300,
       {
           {2, {0, 0, 600, 400}},
           {3, {0, 0, 75, 200}},
           {10, {525, 0, 600, 200}},
           {11, {0, 200, 75, 400}},
           {18, {525, 200, 600, 400}},
       }},
      // Rows of 199, 199 and 200: the two pixel lines below 598 show only the grid.
      {"layout 10, client 1000 x 600", 10, 1, 1000, 600,
       {
           {2, {0, 0, 1000, 600}},
           {3, {0, 0, 125, 199}},
           {10, {875, 0, 1000, 199}},
           {11, {0, 199, 125, 398}},
           {18, {875, 199, 1000, 398}},
           {19, {0, 398, 125, 598}},
           {22, {375, 398, 500, 598}},
           {26, {875, 398, 1000, 598}},
       }},
  };
  ExpectContents(contents);
}

TEST(ReviewLayouts, BeatPageScreen) {
  // At 1000 x 700 the lower windows are 266 high: a 148 x 264 detail client and an 848 x 264
  // strip client.
  const std::vector<RowRect> at700 = {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 998, 432}},       // grid and beat page share the client
      {3, {0, 0, 998, 432}},
      {4, {0, 434, 1000, 700}},    // container under the beat page window
      {5, {0, 434, 150, 700}},     // detail window, 150 fixed
      {6, {0, 0, 148, 264}},
      {7, {0, 0, 148, 264}},
      {8, {150, 434, 1000, 700}},  // strip window from the detail window's right edge
  };
  const Screen screens[] = {
      {"layout 9, 1000 x 700", 9, 1000, 700, Join(at700, StripBlock(8, 848, 264)),
       {{1, {0, 0, 998, 432}}, {5, {0, 0, 148, 264}}, {8, {0, 0, 848, 264}}}},
      // The beat page window keeps 280; the container gets max(100, 152) and ends at 432.
      {"layout 9, 1000 x 400", 9, 1000, 400,
       Join({
           {1, {0, 0, 1000, 280}},
           {4, {0, 280, 1000, 432}},
           {5, {0, 280, 150, 432}},
           {6, {0, 0, 148, 150}},
           {8, {150, 280, 1000, 432}},
       }, StripBlock(8, 848, 150)),
       {{1, {0, 0, 998, 278}}, {5, {0, 0, 148, 150}}, {8, {0, 0, 848, 150}}}},
  };
  ExpectScreens(screens);

  // Below 348 pixels of client width the inner area keeps its 255 and covers the edge column.
  const Contents contents[] = {
      {"strip client 300 x 200", 9, 8, 300, 200,
       {
           {9, {0, 0, 90, 200}},
           {10, {297, 0, 300, 200}},
           {11, {90, 0, 345, 200}},
           {12, {90, 0, 345, 3}},
           {13, {90, 3, 345, 197}},
           {14, {90, 3, 345, 197}},
           {15, {90, 165, 345, 197}},
           {16, {90, 3, 345, 23}},
           {17, {90, 23, 345, 153}},
           {18, {90, 197, 345, 200}},
       }},
      {"strip client 348 x 200: inner area and edge just meet", 9, 8, 348, 200,
       {
           {10, {345, 0, 348, 200}},
           {11, {90, 0, 345, 200}},
       }},
  };
  ExpectContents(contents);
}

TEST(ReviewLayouts, SampleScreen) {
  // 48 for the navigation window; the container gets 404 (620 thousandths of the 652 left) and
  // the strip window 247; the sample windows 134 each, so the container's last 2 pixels stay free.
  const std::vector<RowRect> windows = {
      {1, {0, 0, 1000, 48}},
      {10, {0, 48, 1000, 452}},
      {11, {0, 48, 1000, 182}},
      {22, {0, 182, 1000, 316}},
      {33, {0, 316, 1000, 450}},
      {44, {0, 452, 1000, 699}},
  };
  // The navigation window's 998 x 46 client: the legend row all but the bottom 18.
  const std::vector<RowRect> navigation = {
      {2, {0, 0, 998, 28}},
      {3, {0, 0, 123, 28}},      // event legend 123
      {4, {123, 0, 945, 28}},    // event ticks: the rest
      {5, {945, 0, 998, 28}},    // count legend 53
      {6, {0, 28, 998, 46}},
      {7, {0, 28, 123, 46}},
      {8, {123, 28, 945, 46}},   // time axis under the ticks
      {9, {945, 28, 998, 46}},
  };
  // Each sample window's 998 x 132 client: the strip block's shape with a 126-pixel grid and
  // strip; the event-label row keeps its 130 and runs past the strip's bottom.
  const auto sample = [](int r) -> std::vector<RowRect> {
    return {
        {r + 1, {0, 0, 90, 132}},
        {r + 2, {995, 0, 998, 132}},
        {r + 3, {90, 0, 995, 132}},
        {r + 4, {90, 0, 995, 3}},
        {r + 5, {90, 3, 995, 129}},
        {r + 6, {90, 3, 995, 129}},
        {r + 7, {90, 97, 995, 129}},
        {r + 8, {90, 3, 995, 23}},
        {r + 9, {90, 23, 995, 153}},
        {r + 10, {90, 129, 995, 132}},
    };
  };
  const Screen screens[] = {
      {"layout 12, 1000 x 700", 12, 1000, 700,
       Join(Join(Join(Join(Join(windows, navigation), sample(11)), sample(22)), sample(33)),
            StripBlock(44, 998, 245)),
       {
           {1, {0, 0, 998, 46}},
           {11, {0, 0, 998, 132}},
           {22, {0, 0, 998, 132}},
           {33, {0, 0, 998, 132}},
           {44, {0, 0, 998, 245}},
       }},
  };
  ExpectScreens(screens);

  const Contents contents[] = {
      {"navigation client 1000 x 48: a legend row of 30", 12, 1, 1000, 48,
       {
           {2, {0, 0, 1000, 30}},
           {3, {0, 0, 123, 30}},
           {4, {123, 0, 947, 30}},
           {5, {947, 0, 1000, 30}},
           {6, {0, 30, 1000, 48}},
           {8, {123, 30, 947, 48}},
       }},
  };
  ExpectContents(contents);
}

TEST(ReviewLayouts, HeartRateVariabilityScreens) {
  // The 998 x 432 client: table 217 fixed, charts the other 781, halves of 216.
  const std::vector<RowRect> charts = {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 217, 432}},
      {3, {217, 0, 998, 432}},
      {4, {217, 0, 998, 216}},   // anchored at the container's right edge
      {5, {217, 216, 998, 432}},
  };
  const std::vector<RowRect> histogram = {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 217, 432}},
      {3, {217, 0, 998, 432}},
  };
  const std::vector<RowRect> clients13 = {{1, {0, 0, 998, 432}}, {6, {0, 0, 998, 264}}};
  const Screen screens[] = {
      {"layout 13, 1000 x 700", 13, 1000, 700,
       Join(Join(charts, {{6, {0, 434, 1000, 700}}}), StripBlock(6, 998, 264)), clients13},
      {"layout 14, 1000 x 700", 14, 1000, 700,
       Join(Join(charts, {{6, {0, 434, 1000, 700}}}), StripBlock(6, 998, 264)), clients13},
      {"layout 15, 1000 x 700", 15, 1000, 700,
       Join(Join(histogram, {{4, {0, 434, 1000, 700}}}), StripBlock(4, 998, 264)),
       {{1, {0, 0, 998, 432}}, {4, {0, 0, 998, 264}}}},
      // The upper window keeps 280; the strip window gets max(100, 152), 32 past the view.
      {"layout 13, 1000 x 400", 13, 1000, 400,
       Join({{1, {0, 0, 1000, 280}}, {6, {0, 280, 1000, 432}}}, StripBlock(6, 998, 150)),
       {{1, {0, 0, 998, 278}}, {6, {0, 0, 998, 150}}}},
      {"layout 14, 1000 x 400", 14, 1000, 400,
       {{1, {0, 0, 1000, 280}}, {6, {0, 280, 1000, 432}}}, {}},
      {"layout 15, 1000 x 400", 15, 1000, 400,
       {{1, {0, 0, 1000, 280}}, {4, {0, 280, 1000, 432}}}, {}},
  };
  ExpectScreens(screens);

  const std::vector<RowRect> charts800 = {
      {2, {0, 0, 217, 400}},
      {3, {217, 0, 800, 400}},
      {4, {217, 0, 800, 200}},
      {5, {217, 200, 800, 400}},
  };
  // At the window's minimum width of 300 the table keeps 217 and the charts get 83.
  const std::vector<RowRect> charts300 = {
      {2, {0, 0, 217, 280}},
      {3, {217, 0, 300, 280}},
      {4, {217, 0, 300, 140}},
      {5, {217, 140, 300, 280}},
  };
  const Contents contents[] = {
      {"layout 13, client 800 x 400", 13, 1, 800, 400, charts800},
      {"layout 14, client 800 x 400", 14, 1, 800, 400, charts800},
      {"layout 15, client 800 x 400", 15, 1, 800, 400, {{2, {0, 0, 217, 400}}, {3, {217, 0, 800, 400}}}},
      {"layout 13, client 300 x 280", 13, 1, 300, 280, charts300},
      {"layout 14, client 300 x 280", 14, 1, 300, 280, charts300},
      {"layout 15, client 300 x 280", 15, 1, 300, 280, {{2, {0, 0, 217, 280}}, {3, {217, 0, 300, 280}}}},
  };
  ExpectContents(contents);
}

TEST(ReviewLayouts, PacemakerStatisticsAndDocumentScreens) {
  // The 998 x 698 client: areas of 249 (249.5 cut), rows of 232, 232 and 233.
  const Screen screens[] = {
      {"layout 16, 1000 x 700", 16, 1000, 700,
       {
           {1, {0, 0, 1000, 700}},
           {2, {0, 0, 998, 698}},
           {3, {0, 0, 249, 232}},      // slot 0
           {4, {249, 0, 498, 232}},
           {5, {498, 0, 747, 232}},
           {6, {747, 0, 996, 232}},    // slot 3
           {7, {0, 232, 249, 464}},    // slot 4 below slot 0
           {8, {249, 232, 498, 464}},
           {9, {498, 232, 747, 464}},
           {10, {747, 232, 996, 464}},
           {11, {0, 464, 249, 697}},   // slot 8 below slot 4
           {12, {249, 464, 498, 697}},
           {13, {498, 464, 747, 697}},
           {14, {747, 464, 996, 697}}, // slot 11
       },
       {{1, {0, 0, 998, 698}}}},
      {"layout 17, 1000 x 700", 17, 1000, 700,
       Join({
           {1, {0, 0, 1000, 434}},
           {2, {0, 0, 998, 432}},      // the table fills the client
           {3, {0, 434, 1000, 700}},
       }, StripBlock(3, 998, 264)),
       {{1, {0, 0, 998, 432}}, {3, {0, 0, 998, 264}}}},
      // The statistics window keeps 280; its table keeps 280 in the 278-pixel client.
      {"layout 17, 1000 x 400", 17, 1000, 400,
       {
           {1, {0, 0, 1000, 280}},
           {2, {0, 0, 998, 280}},
           {3, {0, 280, 1000, 432}},
       },
       {{1, {0, 0, 998, 278}}, {3, {0, 0, 998, 150}}}},
      {"layout 18, 1000 x 700", 18, 1000, 700, {{1, {0, 0, 1000, 700}}}, {{1, {0, 0, 998, 698}}}},
      // The document window keeps 300 x 280 at the top-left corner, past the view's edges.
      {"layout 18, 200 x 100", 18, 200, 100, {{1, {0, 0, 300, 280}}}, {{1, {0, 0, 298, 278}}}},
  };
  ExpectScreens(screens);

  const Contents contents[] = {
      {"layout 16, client 1000 x 600", 16, 1, 1000, 600,
       {
           {2, {0, 0, 1000, 600}},
           {3, {0, 0, 250, 199}},
           {4, {250, 0, 500, 199}},
           {5, {500, 0, 750, 199}},
           {6, {750, 0, 1000, 199}},
           {7, {0, 199, 250, 398}},
           {10, {750, 199, 1000, 398}},
           {11, {0, 398, 250, 598}},
           {14, {750, 398, 1000, 598}},
       }},
      // The window's minimum: 150 x 100 areas cover the client exactly (99 raised to 100).
      {"layout 16, client 600 x 300", 16, 1, 600, 300,
       {
           {2, {0, 0, 600, 300}},
           {3, {0, 0, 150, 100}},
           {6, {450, 0, 600, 100}},
           {7, {0, 100, 150, 200}},
           {10, {450, 100, 600, 200}},
           {11, {0, 200, 150, 300}},
           {14, {450, 200, 600, 300}},
       }},
  };
  ExpectContents(contents);
}

TEST(ReviewLayouts, FullECGAndHeartRateNavigatorScreens) {
  // The 998 x 402 page client and 998 x 245 strip client of layout 20 at 1000 x 700.
  const std::vector<RowRect> page402 = {
      {11, {0, 0, 90, 402}},
      {12, {995, 0, 998, 402}},
      {13, {90, 0, 995, 402}},
      {14, {90, 0, 995, 3}},
      {15, {90, 3, 995, 399}},    // ECG grid
      {16, {90, 399, 995, 402}},
      {17, {90, 3, 995, 399}},    // full disclosure on the grid
  };
  const std::vector<RowRect> navigation46 = {
      {2, {0, 0, 998, 28}},
      {3, {0, 0, 123, 28}},
      {4, {123, 0, 945, 28}},
      {5, {945, 0, 998, 28}},
      {6, {0, 28, 998, 46}},
      {7, {0, 28, 123, 46}},
      {8, {123, 28, 945, 46}},
      {9, {945, 28, 998, 46}},
  };
  const std::vector<RowRect> navigator432 = {
      {1, {0, 0, 1000, 434}},
      {2, {0, 0, 998, 414}},      // plot row: all but the bottom 18
      {3, {0, 0, 108, 414}},      // scale
      {4, {108, 0, 998, 414}},    // plot
      {5, {0, 414, 998, 432}},
      {6, {0, 414, 108, 432}},    // trend caption
      {7, {108, 414, 998, 432}},  // time axis under the plot
      {8, {0, 434, 1000, 700}},
  };
  const Screen screens[] = {
      {"layout 20, 1000 x 700", 20, 1000, 700,
       Join(Join(Join({
           {1, {0, 0, 1000, 48}},
           {10, {0, 48, 1000, 452}},   // 620 thousandths of the 652 left
           {18, {0, 452, 1000, 699}},  // stacked on the page window's place
       }, navigation46), page402), StripBlock(18, 998, 245)),
       {{1, {0, 0, 998, 46}}, {10, {0, 0, 998, 402}}, {18, {0, 0, 998, 245}}}},
      {"layout 20, 1000 x 748", 20, 1000, 748,
       {
           {1, {0, 0, 1000, 48}},
           {10, {0, 48, 1000, 482}},
           {18, {0, 482, 1000, 748}},
       },
       {{10, {0, 0, 998, 432}}, {18, {0, 0, 998, 264}}}},
      // The page window keeps 280; the strip window gets 152 and ends 32 past the view.
      {"layout 20, 1000 x 448", 20, 1000, 448,
       {
           {1, {0, 0, 1000, 48}},
           {10, {0, 48, 1000, 328}},
           {18, {0, 328, 1000, 480}},
       },
       {{10, {0, 0, 998, 278}}, {18, {0, 0, 998, 150}}}},
      {"layout 21, 1000 x 700", 21, 1000, 700, Join(navigator432, StripBlock(8, 998, 264)),
       {{1, {0, 0, 998, 432}}, {8, {0, 0, 998, 264}}}},
  };
  ExpectScreens(screens);

  const Contents contents[] = {
      {"layout 20 navigation, client 1000 x 48", 20, 1, 1000, 48,
       {
           {2, {0, 0, 1000, 30}},
           {3, {0, 0, 123, 30}},
           {4, {123, 0, 947, 30}},
           {5, {947, 0, 1000, 30}},
           {6, {0, 30, 1000, 48}},
           {7, {0, 30, 123, 48}},
           {8, {123, 30, 947, 48}},
           {9, {947, 30, 1000, 48}},
       }},
      // 41 high or lower: the legend row keeps its 23 and the caption row starts at 23.
      {"layout 20 navigation, client 1000 x 41", 20, 1, 1000, 41,
       {
           {2, {0, 0, 1000, 23}},
           {4, {123, 0, 947, 23}},
           {6, {0, 23, 1000, 41}},
           {8, {123, 23, 947, 41}},
       }},
      {"layout 20 navigation, client 1000 x 30", 20, 1, 1000, 30,
       {
           {2, {0, 0, 1000, 23}},
           {6, {0, 23, 1000, 41}},
       }},
      {"layout 20 ECG page, client 1000 x 434", 20, 10, 1000, 434,
       {
           {11, {0, 0, 90, 434}},
           {12, {997, 0, 1000, 434}},
           {13, {90, 0, 997, 434}},
           {14, {90, 0, 997, 3}},
           {15, {90, 3, 997, 431}},
           {16, {90, 431, 997, 434}},
           {17, {90, 3, 997, 431}},
       }},
      {"layout 21 navigator, client 1000 x 434", 21, 1, 1000, 434,
       {
           {2, {0, 0, 1000, 416}},
           {3, {0, 0, 108, 416}},
           {4, {108, 0, 1000, 416}},
           {5, {0, 416, 1000, 434}},
           {6, {0, 416, 108, 434}},
           {7, {108, 416, 1000, 434}},
       }},
  };
  ExpectContents(contents);
}

// The one class argument of the rows that take one: browser and template slots number the places
// on the page left to right, top to bottom; the legend variants; the sample slots from the top.
TEST(ReviewLayouts, ClassArgumentsAsDescribed) {
  struct Case {
    int layout;
    std::string_view class_name;
    std::vector<int> arguments;  // in row order
  };
  std::vector<int> slots24;
  for (int slot = 0; slot < 24; ++slot) slots24.push_back(slot);
  const std::vector<int> slots16(slots24.begin(), slots24.begin() + 16);
  const std::vector<int> slots12(slots24.begin(), slots24.begin() + 12);
  const Case cases[] = {
      {8, "CTemplateBrowserAreaConfig", slots16},
      {10, "CTemplateBrowserAreaConfig", slots24},
      {9, "CTemplateDetailAreaConfig", {0}},
      {16, "CPMTemplateAreaConfig", slots12},
      {12, "CECGSampleWindowConfig", {0, 1, 2}},
      {12, "CEventLegendAreaConfig", {2}},
      {12, "CEventTickAreaConfig", {2}},
      {12, "CCountLegendAreaConfig", {2}},
      {20, "CEventLegendAreaConfig", {3}},
      {20, "CEventTickAreaConfig", {3}},
      {20, "CCountLegendAreaConfig", {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "layout " << c.layout << " " << c.class_name);
    std::vector<int> got;
    for (const LayoutRow& row : GetLayoutTable(c.layout))
      if (row.class_name == c.class_name) got.push_back(row.argument);
    EXPECT_EQ(got, c.arguments);
  }
  // No other screen shows a sample window.
  for (int index = 0; index < kLayoutCount; ++index) {
    if (index == 12) continue;
    for (const LayoutRow& row : GetLayoutTable(index))
      EXPECT_NE(row.class_name, "CECGSampleWindowConfig") << "layout " << index;
  }
}

// clang-format on

// The sample windows are the ECG strip window block (layout 0, rows 11 to 21) with the sample
// classes in its place, 60 pixels high instead of 100 and grid and strip 50 instead of 90.
TEST(ReviewLayouts, SampleWindowsAreTheStripBlockWithSampleClasses) {
  const std::map<std::string_view, std::string_view> sample_class = {
      {"CECGStripWindowConfig", "CECGSampleWindowConfig"},
      {"CStripHeaderAreaConfig", "CSampleHeaderAreaConfig"},
      {"CECGStripAreaConfig", "CSampleStripAreaConfig"},
      {"CBeatAnnotationAreaConfig", "CSampleAnnotationAreaConfig"},
      {"CBeatLabelAreaConfig", "CSampleBeatLabelAreaConfig"},
      {"CEventLabelAreaConfig", "CSampleEventLabelAreaConfig"},
  };
  const std::map<int, int> sample_height = {{100, 60}, {90, 50}};
  const std::span<const LayoutRow> strip = GetLayoutTable(0).subspan(11, 11);
  const std::span<const LayoutRow> samples = GetLayoutTable(12);
  ASSERT_EQ(strip.front().class_name, "CECGStripWindowConfig");
  ASSERT_EQ(samples.size(), 55u);
  for (const int window_row : {11, 22, 33}) {
    for (int i = 1; i < 11; ++i) {
      SCOPED_TRACE(testing::Message() << "row " << window_row + i);
      const LayoutRow& want = strip[static_cast<size_t>(i)];
      const LayoutRow& got = samples[static_cast<size_t>(window_row + i)];
      const auto renamed = sample_class.find(want.class_name);
      EXPECT_EQ(got.class_name, renamed != sample_class.end() ? renamed->second : want.class_name);
      EXPECT_EQ(got.parent - window_row, want.parent - 11);
      EXPECT_EQ(layouts::ToPosition(got), layouts::ToPosition(want));
      const auto lower = sample_height.find(want.min_height);
      EXPECT_EQ(got.min_width, want.min_width);
      EXPECT_EQ(got.min_height, lower != sample_height.end() ? lower->second : want.min_height);
      EXPECT_EQ(got.per_mille_width, want.per_mille_width);
      EXPECT_EQ(got.per_mille_height, want.per_mille_height);
      EXPECT_EQ(got.flag, want.flag);
      EXPECT_EQ(got.argument, want.argument);
      EXPECT_EQ(got.color, want.color);
      EXPECT_EQ(got.divisions_x, want.divisions_x);
      EXPECT_EQ(got.divisions_y, want.divisions_y);
    }
  }
}

}  // namespace
