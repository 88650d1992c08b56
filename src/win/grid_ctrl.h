#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace win {

// A cell of the grid; -1, -1 is none.
struct GridCell {
  int row = -1;
  int column = -1;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// A block of cells, first to last row and column inclusive.
struct GridRange {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  bool Contains(GridCell cell) const {
    return cell.row >= top && cell.row <= bottom && cell.column >= left && cell.column <= right;
  }
  friend bool operator==(const GridRange&, const GridRange&) = default;
};

// kWmNotify code of the grid: a button cell was clicked (the record's cell: the button's).
inline constexpr int kGvnCellButtonClicked = -102;

enum class GridHorzAlign { kLeft, kCenter, kRight };
enum class GridVertAlign { kTop, kCenter, kBottom };
enum class GridCellKind { kStatic, kButton };

// How one cell shows. A cell without a style of its own keeps the grid's plain look: a button
// face in the headers, white with grid lines in the body. Read-only cells refuse text set by the
// user; this grid takes no typed text, so it only marks the cell.
struct GridCellStyle {
  GridCellKind kind = GridCellKind::kStatic;
  GridHorzAlign horz = GridHorzAlign::kLeft;
  GridVertAlign vert = GridVertAlign::kCenter;
  bool bold = false;
  gfx::Color interior = gfx::Rgb(255, 255, 255);
  gfx::Color text_color = gfx::Rgb(0, 0, 0);
  bool read_only = false;
  friend bool operator==(const GridCellStyle&, const GridCellStyle&) = default;
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
// scrolled into view.
//
// Cells may carry a style (alignment, weight, colours, a button), and a block of cells may be
// covered: its first cell shows across the whole block and stands for every cell of it. Rows
// may differ in height; the column-header row and the row-header column can be hidden (they
// stay in the model and keep their indices). A click on a button cell that is released over it
// calls OnCellButtonClicked. User-interface thread only.
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
  // One row's height; false outside the grid.
  bool SetRowHeight(int row, int height);
  int GetRowHeight(int row) const;

  // Hidden headers take no room and cannot be clicked.
  void SetHeadersHidden(bool column_header_row, bool row_header_column);
  bool IsColumnHeaderRowHidden() const { return hide_column_header_row_; }
  bool IsRowHeaderColumnHidden() const { return hide_row_header_column_; }

  // False outside the grid.
  bool SetCellStyle(int row, int column, const GridCellStyle& style);
  // The cells of the range inside the grid.
  void SetRangeStyle(const GridRange& range, const GridCellStyle& style);
  // None for a cell without a style of its own.
  std::optional<GridCellStyle> GetCellStyle(int row, int column) const;
  // Joins the block into one cell; earlier blocks that overlap it go. False when the block is
  // not inside the grid.
  bool SetCoveredCells(const GridRange& range);
  // The covered block that holds the cell, or the cell alone.
  GridRange GetCoveredRange(GridCell cell) const;
  const std::vector<GridRange>& CoveredRanges() const { return covered_; }
  // Empties texts and styles of the cells of the range and removes the blocks that overlap it.
  void ClearCells(const GridRange& range);

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
  // A button cell was clicked; by default tells the parent (kGvnCellButtonClicked).
  virtual void OnCellButtonClicked(int row, int column);

  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override;
  int OnCreate() override;
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override;
  void OnRButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
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
  int FixedHeight() const;
  // The room a row or column takes on the screen: 0 for a hidden header.
  int ShownHeight(int row) const;
  int ShownWidth(int column) const;
  // Where a row or column would lie, also when it is scrolled away (then before the body).
  int RowY(int row) const;
  int ColumnX(int column) const;
  // How many body rows, from body row `first` on, fit wholly in the body; at least 1.
  int RowsFittingFrom(int first) const;
  bool IsButtonCell(GridCell cell) const;
  void PaintCell(gfx::Canvas& canvas, const GridRange& range, const gfx::Rect& client);
  size_t Index(int row, int column) const {
    return static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
  }

  int rows_ = 0;
  int columns_ = 0;
  int fixed_rows_ = 0;
  int fixed_columns_ = 0;
  int row_height_ = kDefaultRowHeight;
  std::vector<int> widths_;
  std::vector<std::string> texts_;                    // row by row
  std::vector<std::optional<GridCellStyle>> styles_;  // row by row
  std::vector<int> heights_;
  std::vector<GridRange> covered_;
  bool hide_column_header_row_ = false;
  bool hide_row_header_column_ = false;
  GridCell pressed_;  // the button cell the mouse holds down
  GridCell focus_;
  int scroll_row_ = 0;     // body rows scrolled away above
  int scroll_column_ = 0;  // body columns scrolled away to the left
  bool updating_bars_ = false;
};

}  // namespace win
