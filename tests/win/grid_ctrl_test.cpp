#include "win/grid_ctrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "win/scroll_bar.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

std::string Cell(GridCell cell) { return std::to_string(cell.row) + "," + std::to_string(cell.column); }

// Logs the grid's notifications ("changing 3,2"); refuses a change to refuse_ when it is set.
class GridParent : public Window {
 public:
  std::vector<std::string> log;
  GridCell refuse;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmNotify) {
      const auto* record = reinterpret_cast<const NmGridView*>(lparam);
      const char* name = record->header.code == kGvnSelChanging  ? "changing"
                         : record->header.code == kGvnSelChanged ? "changed"
                         : record->header.code == kNmDblClk      ? "dblclk"
                         : record->header.code == kNmRClick      ? "rclick"
                                                                 : "?";
      log.push_back(std::string(name) + " " + Cell(record->cell));
      return record->header.code == kGvnSelChanging && record->cell == refuse ? 1 : 0;
    }
    return Window::WindowProc(message, wparam, lparam);
  }
};

// 50 rows x 10 columns with one header row and one header column; columns 60 wide (the header
// column 40), rows 20 high. The grid's window is 300 x 200 at (0, 0) of its parent, so both bars
// show: the client area is 283 x 183, with 8 body rows wholly visible.
class GridCtrlTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 600, 400}, kWsPopup | kWsVisible));
    ASSERT_TRUE(grid_.CreateGrid(parent_, {0, 0, 300, 200}, 9));
    grid_.SetRowCount(50);
    grid_.SetColumnCount(10);
    grid_.SetFixedRowCount(1);
    grid_.SetFixedColumnCount(1);
    grid_.SetRowHeight(20);
    for (int c = 1; c < 10; ++c) grid_.SetColumnWidth(c, 60);
    grid_.SetColumnWidth(0, 40);
    for (int r = 0; r < 50; ++r) {
      for (int c = 0; c < 10; ++c) grid_.SetItemText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
    }
  }
  void Click(gfx::Point point, uint32_t down = kWmLButtonDown) {
    Windows().MouseInput(parent_, down, point);
    Windows().MouseInput(parent_, down == kWmRButtonDown ? kWmRButtonUp : kWmLButtonUp, point);
  }
  void Scroll(int bar, int code, int pos = 0) {
    grid_.SendMessage(bar == kSbVert ? kWmVScroll : kWmHScroll, MakeWParam(code, pos), 0);
  }

  GridParent parent_;
  GridCtrl grid_;
};

TEST_F(GridCtrlTest, TheBarsShowWhenTheCellsDoNotFitAndTheirRangesCountRowsAndColumns) {
  EXPECT_EQ(grid_.GetClientRect(), (gfx::Rect{0, 0, 300 - kScrollBarSize, 200 - kScrollBarSize}));
  ScrollInfo rows;
  ASSERT_TRUE(grid_.GetScrollInfo(kSbVert, rows));
  EXPECT_EQ(rows.max, 48);  // 49 body rows
  EXPECT_EQ(rows.page, 8);  // (183 - 20) / 20
  ScrollInfo columns;
  ASSERT_TRUE(grid_.GetScrollInfo(kSbHorz, columns));
  EXPECT_EQ(columns.max, 8);
  EXPECT_EQ(columns.page, 4);  // 243 pixels after the header column hold four of 60
  // A grid that fits has no bars.
  grid_.SetRowCount(5);
  grid_.SetColumnCount(3);
  EXPECT_EQ(grid_.GetClientRect(), (gfx::Rect{0, 0, 300, 200}));
  EXPECT_EQ(grid_.GetTopRow(), 1);
}

TEST_F(GridCtrlTest, ScrollRequestsMoveTheBodyByRowsAndPagesUpToTheLastPage) {
  struct Case {
    const char* name;
    int code;
    int pos;
    int want_top;
  };
  constexpr Case kCases[] = {
      {"line down", kSbLineDown, 0, 2},
      {"page down", kSbPageDown, 0, 10},
      {"line up", kSbLineUp, 0, 9},
      {"thumb", kSbThumbTrack, 30, 31},
      {"bottom stops at the last page", kSbBottom, 0, 42},
      {"line down at the end", kSbLineDown, 0, 42},
      {"top", kSbTop, 0, 1},
      {"line up at the top", kSbLineUp, 0, 1},
      {"the end of a scroll", kSbEndScroll, 0, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Scroll(kSbVert, c.code, c.pos);
    EXPECT_EQ(grid_.GetTopRow(), c.want_top);
    EXPECT_EQ(grid_.GetScrollPos(kSbVert), c.want_top - 1);
  }
  // Dragging the thumb (at y 17..41 of the bar at x 283..300) scrolls while the drag goes on.
  Windows().MouseInput(parent_, kWmLButtonDown, {290, 22});
  Windows().MouseInput(parent_, kWmMouseMove, {290, 300});
  EXPECT_EQ(grid_.GetTopRow(), 42);
  Windows().MouseInput(parent_, kWmLButtonUp, {290, 300});
  EXPECT_EQ(grid_.GetTopRow(), 42);
  Scroll(kSbHorz, kSbPageDown);
  EXPECT_EQ(grid_.GetLeftColumn(), 5);
  Scroll(kSbHorz, kSbBottom);
  EXPECT_EQ(grid_.GetLeftColumn(), 6);  // columns 6 to 9 fill the body
}

TEST_F(GridCtrlTest, ShownCellsFollowTheScrollingAndTheHeadersStay) {
  Scroll(kSbVert, kSbPageDown);
  Scroll(kSbHorz, kSbLineDown);
  EXPECT_EQ(grid_.CellAt({10, 10}), (GridCell{0, 0}));
  EXPECT_EQ(grid_.CellAt({50, 10}), (GridCell{0, 2}));
  EXPECT_EQ(grid_.CellAt({10, 25}), (GridCell{9, 0}));
  EXPECT_EQ(grid_.CellAt({110, 45}), (GridCell{10, 3}));
  EXPECT_EQ(grid_.CellRect({10, 3}), (gfx::Rect{100, 40, 160, 60}));
  EXPECT_TRUE(grid_.CellRect({5, 3}).IsEmpty());   // scrolled away above
  EXPECT_TRUE(grid_.CellRect({10, 1}).IsEmpty());  // scrolled away to the left
  EXPECT_EQ(grid_.CellAt({290, 45}), GridCell{});  // on the bar
  // The painting shows the scrolled texts and the headers.
  Windows().PaintPending();
  std::string painted;
  for (const std::string& line : Windows().RecordOf(grid_)->paint->Lines()) painted += line + "\n";
  for (const char* text : {"r0c0", "r0c2", "r9c0", "r9c2", "r10c3"}) {
    EXPECT_NE(painted.find(std::string("\"") + text + "\""), std::string::npos) << text;
  }
  for (const char* text : {"r1c1", "r5c3", "r10c1"}) {
    EXPECT_EQ(painted.find(std::string("\"") + text + "\""), std::string::npos) << text;
  }
}

TEST_F(GridCtrlTest, ClicksAndKeysMoveTheCurrentCellAskingTheParentFirst) {
  struct Case {
    const char* name;
    int key;  // 0: a click at point
    gfx::Point point;
    bool control;
    const char* want;  // the current cell afterwards
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"click on a body cell", 0, {110, 45}, false, "2,2", {"changing 2,2", "changed 2,2"}},
      {"click on the same cell says nothing", 0, {110, 45}, false, "2,2", {}},
      {"click on a header", 0, {110, 5}, false, "2,2", {}},
      {"right", kVkRight, {}, false, "2,3", {"changing 2,3", "changed 2,3"}},
      {"up", kVkUp, {}, false, "1,3", {"changing 1,3", "changed 1,3"}},
      {"up stops below the header row", kVkUp, {}, false, "1,3", {}},
      {"home", kVkHome, {}, false, "1,1", {"changing 1,1", "changed 1,1"}},
      {"left stops beside the header column", kVkLeft, {}, false, "1,1", {}},
      {"page down by the rows shown", kVkNext, {}, false, "9,1", {"changing 9,1", "changed 9,1"}},
      {"end of the row", kVkEnd, {}, false, "9,9", {"changing 9,9", "changed 9,9"}},
      {"ctrl+end: the last cell", kVkEnd, {}, true, "49,9", {"changing 49,9", "changed 49,9"}},
      {"ctrl+home: the first cell", kVkHome, {}, true, "1,1", {"changing 1,1", "changed 1,1"}},
      {"refused by the parent", kVkDown, {}, false, "1,1", {"changing 2,1"}},
  };
  parent_.refuse = {2, 1};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    parent_.log.clear();
    if (c.key == 0) {
      Click(c.point);
    } else {
      Windows().SetKeyDown(kVkControl, c.control);
      Windows().KeyInput(kWmKeyDown, c.key);
      Windows().SetKeyDown(kVkControl, false);
    }
    EXPECT_EQ(Cell(grid_.GetFocusCell()), c.want);
    EXPECT_EQ(parent_.log, c.log);
  }
  EXPECT_EQ(Windows().GetFocus(), &grid_);
}

TEST_F(GridCtrlTest, ANewCurrentCellIsScrolledIntoView) {
  ASSERT_TRUE(grid_.SetFocusCell({1, 1}));
  grid_.SetFocus();
  for (int i = 0; i < 8; ++i) Windows().KeyInput(kWmKeyDown, kVkDown);
  // Row 9 is the first that does not fit below row 1: one row scrolled.
  EXPECT_EQ(grid_.GetTopRow(), 2);
  Windows().KeyInput(kWmKeyDown, kVkEnd);
  EXPECT_EQ(grid_.GetLeftColumn(), 6);
  EXPECT_EQ(grid_.GetScrollPos(kSbHorz), 5);
  Windows().SetKeyDown(kVkControl, true);
  Windows().KeyInput(kWmKeyDown, kVkHome);
  Windows().SetKeyDown(kVkControl, false);
  EXPECT_EQ(grid_.GetTopRow(), 1);
  EXPECT_EQ(grid_.GetLeftColumn(), 1);
  // Header cells and cells outside the grid cannot be current.
  EXPECT_FALSE(grid_.SetFocusCell({0, 3}));
  EXPECT_FALSE(grid_.SetFocusCell({50, 3}));
  EXPECT_EQ(grid_.GetFocusCell(), (GridCell{1, 1}));
}

TEST_F(GridCtrlTest, DoubleAndRightClicksTellTheParentWhichCell) {
  Windows().MouseInput(parent_, kWmLButtonDblClk, {50, 25});
  Click({170, 65}, kWmRButtonDown);
  EXPECT_EQ(parent_.log,
            (std::vector<std::string>{"dblclk 1,1", "changing 3,3", "changed 3,3", "rclick 3,3"}));
  parent_.log.clear();
  Windows().MouseInput(parent_, kWmLButtonDblClk, {10, 25});  // a header: nothing
  EXPECT_TRUE(parent_.log.empty());
}

TEST_F(GridCtrlTest, ShrinkingTheGridDropsACurrentCellThatWentAndKeepsTheTexts) {
  grid_.SetFocusCell({40, 8});
  grid_.SetColumnCount(5);
  EXPECT_EQ(grid_.GetFocusCell(), GridCell{});
  EXPECT_EQ(grid_.GetItemText(3, 4), "r3c4");
  grid_.SetColumnCount(6);
  EXPECT_EQ(grid_.GetItemText(3, 5), "");
  EXPECT_EQ(grid_.GetItemText(3, 4), "r3c4");
  EXPECT_FALSE(grid_.SetItemText(3, 6, "x"));
}

}  // namespace
}  // namespace win
