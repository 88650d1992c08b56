#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "win/grid_ctrl.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

// Logs the button notices as "row,column".
class ButtonParent : public Window {
 public:
  std::vector<std::string> clicks;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmNotify) {
      const auto* record = reinterpret_cast<const NmGridView*>(lparam);
      if (record->header.code == kGvnCellButtonClicked)
        clicks.push_back(std::to_string(record->cell.row) + "," + std::to_string(record->cell.column));
    }
    return Window::WindowProc(message, wparam, lparam);
  }
};

GridCellStyle ButtonStyle() {
  GridCellStyle style;
  style.kind = GridCellKind::kButton;
  style.text_color = gfx::Rgb(0, 0, 255);
  style.interior = gfx::Rgb(192, 192, 192);
  return style;
}

// 10 rows x 6 columns, one header row and column, columns 50 wide, rows 20 high, in a window
// large enough for all of it (300 x 200 at the origin of its parent).
class GridCellsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 600, 400}, kWsPopup | kWsVisible));
    ASSERT_TRUE(grid_.CreateGrid(parent_, {0, 0, 320, 220}, 9));
    grid_.SetRowCount(10);
    grid_.SetColumnCount(6);
    grid_.SetFixedRowCount(1);
    grid_.SetFixedColumnCount(1);
    grid_.SetRowHeight(20);
    for (int c = 0; c < 6; ++c) grid_.SetColumnWidth(c, 50);
  }
  void Click(gfx::Point down, gfx::Point up) {
    Windows().MouseInput(parent_, kWmLButtonDown, down);
    Windows().MouseInput(parent_, kWmLButtonUp, up);
  }
  std::string Painted() {
    grid_.Invalidate();
    Windows().PaintPending();
    std::string text;
    for (const std::string& line : Windows().RecordOf(grid_)->paint->Lines()) text += line + "\n";
    return text;
  }

  ButtonParent parent_;
  GridCtrl grid_;
};

TEST_F(GridCellsTest, CoveredBlocksShowAsTheirFirstCellAndReplaceOverlappingOnes) {
  ASSERT_TRUE(grid_.SetCoveredCells({2, 1, 3, 3}));
  grid_.SetItemText(2, 1, "joined");
  EXPECT_EQ(grid_.GetCoveredRange({3, 2}), (GridRange{2, 1, 3, 3}));
  EXPECT_EQ(grid_.GetCoveredRange({4, 2}), (GridRange{4, 2, 4, 2}));
  // One text across 150 x 40, drawn once.
  const std::string painted = Painted();
  EXPECT_NE(painted.find("\"joined\""), std::string::npos);
  EXPECT_EQ(painted.find("\"joined\""), painted.rfind("\"joined\""));

  struct Case {
    const char* name;
    GridRange range;
    bool accepted;
    std::vector<GridRange> want;
  };
  const Case cases[] = {
      {"an overlapping block replaces the first", {3, 3, 3, 5}, true, {{3, 3, 3, 5}}},
      {"a separate block adds", {6, 1, 6, 2}, true, {{3, 3, 3, 5}, {6, 1, 6, 2}}},
      {"a single cell only removes what it overlaps", {6, 2, 6, 2}, true, {{3, 3, 3, 5}}},
      {"past the last column", {1, 4, 1, 6}, false, {{3, 3, 3, 5}}},
      {"upside down", {5, 1, 4, 1}, false, {{3, 3, 3, 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(grid_.SetCoveredCells(c.range), c.accepted);
    EXPECT_EQ(grid_.CoveredRanges(), c.want);
  }
  // Clearing empties texts and styles and removes the blocks it touches; shrinking drops those
  // that no longer fit.
  grid_.SetItemText(3, 3, "x");
  grid_.SetCellStyle(3, 3, ButtonStyle());
  grid_.ClearCells({3, 5, 3, 5});
  EXPECT_TRUE(grid_.CoveredRanges().empty());
  grid_.ClearCells({3, 3, 3, 3});
  EXPECT_EQ(grid_.GetItemText(3, 3), "");
  EXPECT_FALSE(grid_.GetCellStyle(3, 3).has_value());
  grid_.SetCoveredCells({8, 1, 9, 1});
  grid_.SetRowCount(9);
  EXPECT_TRUE(grid_.CoveredRanges().empty());
}

TEST_F(GridCellsTest, AButtonCellNotifiesWhenTheClickIsReleasedOverIt) {
  grid_.SetCoveredCells({4, 2, 4, 3});
  grid_.SetRangeStyle({4, 2, 4, 3}, ButtonStyle());
  grid_.SetItemText(4, 2, "Go");
  grid_.SetCellStyle(6, 1, ButtonStyle());
  struct Case {
    const char* name;
    gfx::Point down;
    gfx::Point up;
    std::vector<std::string> want;
  };
  // Cell (r, c) lies at x 50c .. 50c + 50, y 20r .. 20r + 20.
  const Case cases[] = {
      {"click on the button", {110, 90}, {110, 90}, {"4,2"}},
      {"a covered cell of the button stands for it", {160, 90}, {120, 85}, {"4,2"}},
      {"released elsewhere", {110, 90}, {110, 130}, {}},
      {"pressed elsewhere, released on it", {110, 130}, {110, 90}, {}},
      {"a one-cell button", {75, 125}, {75, 125}, {"6,1"}},
      {"a plain cell", {225, 45}, {225, 45}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    parent_.clicks.clear();
    Click(c.down, c.up);
    EXPECT_EQ(parent_.clicks, c.want);
  }
  // A button does not become the current cell; a plain one does.
  EXPECT_EQ(grid_.GetFocusCell(), (GridCell{2, 4}));
  EXPECT_EQ(Windows().GetCapture(), nullptr);
}

TEST_F(GridCellsTest, HiddenHeadersAndRowHeightsMoveTheCells) {
  grid_.SetRowHeight(3, 40);
  EXPECT_EQ(grid_.GetRowHeight(3), 40);
  EXPECT_EQ(grid_.GetRowHeight(), 20);
  EXPECT_FALSE(grid_.SetRowHeight(10, 5));
  EXPECT_EQ(grid_.CellRect({4, 1}), (gfx::Rect{50, 100, 100, 120}));
  grid_.SetHeadersHidden(true, true);
  EXPECT_EQ(grid_.CellRect({1, 1}), (gfx::Rect{0, 0, 50, 20}));
  EXPECT_EQ(grid_.CellRect({4, 2}), (gfx::Rect{50, 80, 100, 100}));
  EXPECT_EQ(grid_.CellAt({60, 50}), (GridCell{3, 2}));
  EXPECT_EQ(grid_.CellAt({60, 79}), (GridCell{3, 2}));
  EXPECT_EQ(grid_.CellAt({60, 80}), (GridCell{4, 2}));
  // The hidden cells keep their texts but are not drawn.
  grid_.SetItemText(0, 2, "head");
  grid_.SetItemText(2, 0, "side");
  grid_.SetItemText(1, 1, "body");
  const std::string painted = Painted();
  EXPECT_EQ(painted.find("\"head\""), std::string::npos);
  EXPECT_EQ(painted.find("\"side\""), std::string::npos);
  EXPECT_NE(painted.find("\"body\""), std::string::npos);
  EXPECT_EQ(grid_.GetItemText(0, 2), "head");
  // A taller row counts in the scroll page: the 9 body rows need 200 pixels of the 220.
  ScrollInfo rows;
  grid_.SetRowCount(12);
  ASSERT_TRUE(grid_.GetScrollInfo(kSbVert, rows));
  EXPECT_EQ(rows.page, 10);
}

TEST_F(GridCellsTest, StyledCellsDrawTheirColoursWeightAndAlignment) {
  GridCellStyle style;
  style.horz = GridHorzAlign::kCenter;
  style.bold = true;
  style.interior = gfx::Rgb(192, 192, 192);
  style.text_color = gfx::Rgb(0, 0, 255);
  style.read_only = true;
  ASSERT_TRUE(grid_.SetCellStyle(2, 2, style));
  EXPECT_FALSE(grid_.SetCellStyle(10, 2, style));
  EXPECT_EQ(grid_.GetCellStyle(2, 2), style);
  EXPECT_FALSE(grid_.GetCellStyle(2, 3).has_value());
  grid_.SetItemText(2, 2, "48*");
  grid_.Invalidate();
  Windows().PaintPending();
  const std::vector<std::string> lines = Windows().RecordOf(grid_)->paint->Lines();
  // Cut at the headers, grey with grid lines, then the text blue, bold and centred
  // (0x825: single line, no prefix, centred both ways).
  const std::vector<std::string> want = {
      "IntersectClipRect 50,20,320,220",
      "FillRect 100,40,150,60 solid 0xC0C0C0",
      "FillRect 149,40,150,60 solid 0xC0C0C0",
      "FillRect 100,59,150,60 solid 0xC0C0C0",
      "SelectFont \"Arial\" -11 w700",
      "SetBkMode transparent",
      "SetTextColor 0xFF0000",
      "DrawText 103,40,147,60 0x825 \"48*\" at 117,44 [117,44,134,56]",
  };
  const auto first = std::find(lines.begin(), lines.end(), want.front());
  ASSERT_NE(first, lines.end());
  ASSERT_GE(lines.end() - first, static_cast<std::ptrdiff_t>(want.size()));
  EXPECT_EQ(std::vector<std::string>(first, first + static_cast<std::ptrdiff_t>(want.size())), want);
}

}  // namespace
}  // namespace win
