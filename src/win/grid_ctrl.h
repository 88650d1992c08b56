#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "win/window.h"

namespace win {

// A cell of the grid; -1, -1 is none.
struct GridCell {
  int row = -1;
  int column = -1;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// The kWmNotify record of the grid (kGvnSelChanging, kGvnSelChanged, kNmDblClk, kNmRClick): the
// cell concerned (the new current cell for the selection codes).
struct NmGridView {
  NotifyHeader header;
  GridCell cell;
};

// A grid of text cells drawn on the canvas: rows and columns, the first rows and columns fixed as
// headers (drawn as buttons; they stay in place while the rest scrolls), a width per column and one
// row height. The current cell shows highlighted; a click on a body cell or the keys (arrows, Page
// Up and Down by a page of rows, Home and End to the first and last column, with Ctrl to the first
// and last cell) move it, asking the parent first (kGvnSelChanging; a nonzero answer keeps the old
// cell) and telling it after (kGvnSelChanged); a double click sends kNmDblClk, a right click moves
// the current cell there and sends kNmRClick. The body scrolls by whole rows and columns through
// the window's own scroll bars, which show when the cells do not fit; a new current cell is
// scrolled into view. User-interface thread only.
class GridCtrl : public Window {
 public:
  static constexpr int kDefaultColumnWidth = 64;
  static constexpr int kDefaultRowHeight = 18;

  bool CreateGrid(Window& parent, const gfx::Rect& rect, int id, uint32_t style = kWsVisible | kWsTabStop);

  // Changing the shape keeps the texts of the cells that stay; a current cell that goes is none.
  void SetRowCount(int rows);
  void SetColumnCount(int columns);
  int GetRowCount() const { return rows_; }
  int GetColumnCount() const { return columns_; }
  void SetFixedRowCount(int rows);
  void SetFixedColumnCount(int columns);
  int GetFixedRowCount() const { return fixed_rows_; }
  int GetFixedColumnCount() const { return fixed_columns_; }
  // False outside the grid.
  bool SetItemText(int row, int column, std::string_view text);
  std::string GetItemText(int row, int column) const;
  bool SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;
  void SetRowHeight(int height);
  int GetRowHeight() const { return row_height_; }

  GridCell GetFocusCell() const { return focus_; }
  // Makes a body cell current without telling the parent and scrolls it into view; none clears
  // it. False (and nothing changes) for a header cell or one outside the grid.
  bool SetFocusCell(GridCell cell);
  // Scrolls so that the body cell is wholly shown, as far as the client area allows.
  void EnsureVisible(GridCell cell);
  // The first body row and column shown after the headers.
  int GetTopRow() const { return fixed_rows_ + scroll_row_; }
  int GetLeftColumn() const { return fixed_columns_ + scroll_column_; }
  // Where a shown cell lies in the client area (it may stick out of it); empty when it is
  // scrolled away.
  gfx::Rect CellRect(GridCell cell) const;
  // The shown cell at a client point; none outside the cells.
  GridCell CellAt(gfx::Point point) const;
  std::string_view ClassName() const override { return "GridCtrl"; }

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override;
  int OnCreate() override;
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override;
  void OnRButtonDown(unsigned flags, gfx::Point point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window* old_focus) override;
  void OnKillFocus(Window* new_focus) override;

 private:
  bool IsBodyCell(GridCell cell) const;
  // The user moved to cell: asks the parent, moves, scrolls, tells the parent.
  void MoveFocusFromUser(GridCell cell);
  LResult Notify(int code, GridCell cell);
  // A scroll request: code, and the thumb position the message carried.
  void Scroll(int bar, int code, int thumb);
  // Sets the bars' ranges and pages from the shape and the client area; shows or hides them.
  void UpdateScrollBars();
  // How many rows or columns, counted back from the last one, fit in the body's length.
  int RowsFittingAtEnd() const;
  int ColumnsFittingAtEnd() const;
  int FixedWidth() const;
  int FixedHeight() const { return fixed_rows_ * row_height_; }

  int rows_ = 0;
  int columns_ = 0;
  int fixed_rows_ = 0;
  int fixed_columns_ = 0;
  int row_height_ = kDefaultRowHeight;
  std::vector<int> widths_;
  std::vector<std::string> texts_;  // row by row
  GridCell focus_;
  int scroll_row_ = 0;     // body rows scrolled away above
  int scroll_column_ = 0;  // body columns scrolled away to the left
  bool updating_bars_ = false;
};

}  // namespace win
