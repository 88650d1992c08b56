#include "win/grid_ctrl.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace win {
namespace {

constexpr gfx::Color kGridLineColor = gfx::Rgb(192, 192, 192);
constexpr int kTextPadding = 3;

}  // namespace

bool GridCtrl::CreateGrid(Window& parent, const gfx::Rect& rect, int id, uint32_t style) {
  return Create(&parent, rect, kWsChild | style, id);
}

int GridCtrl::OnCreate() {
  scroll_row_ = 0;
  scroll_column_ = 0;
  return 0;
}

void GridCtrl::SetRowCount(int rows) {
  rows_ = std::max(rows, 0);
  texts_.resize(static_cast<size_t>(rows_) * static_cast<size_t>(columns_));
  fixed_rows_ = std::min(fixed_rows_, rows_);
  if (!IsBodyCell(focus_)) focus_ = {};
  UpdateScrollBars();
  Invalidate();
}

void GridCtrl::SetColumnCount(int columns) {
  columns = std::max(columns, 0);
  std::vector<std::string> texts(static_cast<size_t>(rows_) * static_cast<size_t>(columns));
  const int kept = std::min(columns, columns_);
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < kept; ++c) {
      texts[static_cast<size_t>(r * columns + c)] = std::move(texts_[static_cast<size_t>(r * columns_ + c)]);
    }
  }
  texts_ = std::move(texts);
  columns_ = columns;
  widths_.resize(static_cast<size_t>(columns_), kDefaultColumnWidth);
  fixed_columns_ = std::min(fixed_columns_, columns_);
  if (!IsBodyCell(focus_)) focus_ = {};
  UpdateScrollBars();
  Invalidate();
}

void GridCtrl::SetFixedRowCount(int rows) {
  fixed_rows_ = std::clamp(rows, 0, rows_);
  if (!IsBodyCell(focus_)) focus_ = {};
  UpdateScrollBars();
  Invalidate();
}

void GridCtrl::SetFixedColumnCount(int columns) {
  fixed_columns_ = std::clamp(columns, 0, columns_);
  if (!IsBodyCell(focus_)) focus_ = {};
  UpdateScrollBars();
  Invalidate();
}

bool GridCtrl::SetItemText(int row, int column, std::string_view text) {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return false;
  texts_[static_cast<size_t>(row * columns_ + column)] = std::string(text);
  if (const gfx::Rect r = CellRect({row, column}); !r.IsEmpty()) InvalidateRect(r);
  return true;
}

std::string GridCtrl::GetItemText(int row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return {};
  return texts_[static_cast<size_t>(row * columns_ + column)];
}

bool GridCtrl::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= columns_) return false;
  widths_[static_cast<size_t>(column)] = std::max(width, 0);
  UpdateScrollBars();
  Invalidate();
  return true;
}

int GridCtrl::GetColumnWidth(int column) const {
  return column >= 0 && column < columns_ ? widths_[static_cast<size_t>(column)] : 0;
}

void GridCtrl::SetRowHeight(int height) {
  row_height_ = std::max(height, 1);
  UpdateScrollBars();
  Invalidate();
}

bool GridCtrl::IsBodyCell(GridCell cell) const {
  return cell.row >= fixed_rows_ && cell.row < rows_ && cell.column >= fixed_columns_ &&
         cell.column < columns_;
}

int GridCtrl::FixedWidth() const {
  int width = 0;
  for (int c = 0; c < fixed_columns_; ++c) width += widths_[static_cast<size_t>(c)];
  return width;
}

int GridCtrl::RowsFittingAtEnd() const {
  const int body = GetClientRect().Height() - FixedHeight();
  return std::clamp(body / row_height_, 0, rows_ - fixed_rows_);
}

int GridCtrl::ColumnsFittingAtEnd() const {
  const int body = GetClientRect().Width() - FixedWidth();
  int used = 0;
  int count = 0;
  for (int c = columns_ - 1; c >= fixed_columns_; --c) {
    used += widths_[static_cast<size_t>(c)];
    if (used > body) break;
    ++count;
  }
  return count;
}

void GridCtrl::UpdateScrollBars() {
  if (!IsWindow() || updating_bars_) return;
  updating_bars_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{updating_bars_};
  // A bar that comes or goes changes the room of the other; a few rounds settle it.
  for (int round = 0; round < 3; ++round) {
    const gfx::Rect before = GetClientRect();
    ScrollInfo rows;
    rows.mask = kSifRange | kSifPage | kSifPos;
    rows.max = std::max(0, rows_ - fixed_rows_ - 1);
    rows.page = RowsFittingAtEnd();
    rows.pos = scroll_row_;
    scroll_row_ = SetScrollInfo(kSbVert, rows);
    if (!IsWindow()) return;
    ScrollInfo columns;
    columns.mask = kSifRange | kSifPage | kSifPos;
    columns.max = std::max(0, columns_ - fixed_columns_ - 1);
    columns.page = ColumnsFittingAtEnd();
    columns.pos = scroll_column_;
    scroll_column_ = SetScrollInfo(kSbHorz, columns);
    if (!IsWindow()) return;
    if (GetClientRect() == before) break;
  }
}

void GridCtrl::OnSize(int, int, int) {
  UpdateScrollBars();
  Invalidate();
}

gfx::Rect GridCtrl::CellRect(GridCell cell) const {
  if (cell.row < 0 || cell.row >= rows_ || cell.column < 0 || cell.column >= columns_) return {};
  int y = 0;
  if (cell.row < fixed_rows_) {
    y = cell.row * row_height_;
  } else if (cell.row >= GetTopRow()) {
    y = FixedHeight() + (cell.row - GetTopRow()) * row_height_;
  } else {
    return {};
  }
  int x = 0;
  if (cell.column < fixed_columns_) {
    for (int c = 0; c < cell.column; ++c) x += widths_[static_cast<size_t>(c)];
  } else if (cell.column >= GetLeftColumn()) {
    x = FixedWidth();
    for (int c = GetLeftColumn(); c < cell.column; ++c) x += widths_[static_cast<size_t>(c)];
  } else {
    return {};
  }
  return {x, y, x + widths_[static_cast<size_t>(cell.column)], y + row_height_};
}

GridCell GridCtrl::CellAt(gfx::Point point) const {
  if (!GetClientRect().Contains(point)) return {};
  GridCell cell;
  if (point.y < FixedHeight()) {
    cell.row = point.y / row_height_;
  } else {
    cell.row = GetTopRow() + (point.y - FixedHeight()) / row_height_;
  }
  int x = 0;
  const auto find_column = [&](int from, int to) {
    for (int c = from; c < to; ++c) {
      x += widths_[static_cast<size_t>(c)];
      if (point.x < x) return c;
    }
    return -1;
  };
  cell.column = find_column(0, fixed_columns_);
  if (cell.column < 0) cell.column = find_column(GetLeftColumn(), columns_);
  if (cell.row >= rows_ || cell.column < 0) return {};
  return cell;
}

bool GridCtrl::SetFocusCell(GridCell cell) {
  if (cell != GridCell{} && !IsBodyCell(cell)) return false;
  if (cell != focus_) {
    focus_ = cell;
    Invalidate();
  }
  if (IsBodyCell(cell)) EnsureVisible(cell);
  return true;
}

void GridCtrl::EnsureVisible(GridCell cell) {
  if (!IsBodyCell(cell) || !IsWindow()) return;
  const int body_row = cell.row - fixed_rows_;
  const int shown_rows = std::max(1, (GetClientRect().Height() - FixedHeight()) / row_height_);
  int row = scroll_row_;
  if (body_row < row) {
    row = body_row;
  } else if (body_row >= row + shown_rows) {
    row = body_row - shown_rows + 1;
  }
  const int body_column = cell.column - fixed_columns_;
  const int room = GetClientRect().Width() - FixedWidth();
  int column = scroll_column_;
  if (body_column < column) {
    column = body_column;
  } else {
    const auto right_edge = [&](int first) {
      int x = 0;
      for (int c = fixed_columns_ + first; c <= cell.column; ++c) x += widths_[static_cast<size_t>(c)];
      return x;
    };
    while (column < body_column && right_edge(column) > room) ++column;
  }
  if (row != scroll_row_) {
    scroll_row_ = SetScrollInfo(kSbVert, ScrollInfo{kSifPos, 0, 0, 0, row, 0});
    Invalidate();
  }
  if (column != scroll_column_ && IsWindow()) {
    scroll_column_ = SetScrollInfo(kSbHorz, ScrollInfo{kSifPos, 0, 0, 0, column, 0});
    Invalidate();
  }
}

LResult GridCtrl::Notify(int code, GridCell cell) {
  Window* parent = GetParent();
  if (parent == nullptr) return 0;
  NmGridView record;
  record.header = {Handle(), GetDlgCtrlID(), code};
  record.cell = cell;
  return parent->SendMessage(kWmNotify, static_cast<WParam>(GetDlgCtrlID()),
                             reinterpret_cast<LParam>(&record));
}

void GridCtrl::MoveFocusFromUser(GridCell cell) {
  if (!IsBodyCell(cell)) return;
  if (cell == focus_) {
    EnsureVisible(cell);
    return;
  }
  const WindowHandle handle = Handle();
  if (Notify(kGvnSelChanging, cell) != 0) return;
  if (Windows().FromHandle(handle) != this || !IsBodyCell(cell)) return;
  focus_ = cell;
  Invalidate();
  EnsureVisible(cell);
  if (Windows().FromHandle(handle) == this) Notify(kGvnSelChanged, cell);
}

void GridCtrl::Scroll(int bar, int code, int thumb) {
  ScrollInfo info;
  info.mask = kSifAll;
  if (!GetScrollInfo(bar, info)) return;
  int pos = info.pos;
  const int page = std::max(info.page, 1);
  switch (code) {
    case kSbLineUp:
      --pos;
      break;
    case kSbLineDown:
      ++pos;
      break;
    case kSbPageUp:
      pos -= page;
      break;
    case kSbPageDown:
      pos += page;
      break;
    // A drag's track position holds all 32 bits; the message's 16 serve a request from code.
    case kSbThumbTrack:
    case kSbThumbPosition:
      pos = info.track_pos != info.pos ? info.track_pos : thumb;
      break;
    case kSbTop:
      pos = info.min;
      break;
    case kSbBottom:
      pos = info.max;
      break;
    default:
      return;
  }
  const int now = SetScrollInfo(bar, ScrollInfo{kSifPos, 0, 0, 0, pos, 0});
  int& scrolled = bar == kSbVert ? scroll_row_ : scroll_column_;
  if (now == scrolled) return;
  scrolled = now;
  Invalidate();
}

LResult GridCtrl::WindowProc(uint32_t message, WParam wparam, LParam lparam) {
  if ((message == kWmVScroll || message == kWmHScroll) && lparam == 0) {
    Scroll(message == kWmVScroll ? kSbVert : kSbHorz, LoWord(wparam), HiWord(wparam));
    return 0;
  }
  return Window::WindowProc(message, wparam, lparam);
}

void GridCtrl::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, GetSysColor(SysColor::kWindow));
  std::vector<int> shown_rows;
  for (int r = 0; r < fixed_rows_; ++r) shown_rows.push_back(r);
  for (int r = GetTopRow(), y = FixedHeight(); r < rows_ && y < client.bottom; ++r, y += row_height_) {
    shown_rows.push_back(r);
  }
  std::vector<int> shown_columns;
  for (int c = 0; c < fixed_columns_; ++c) shown_columns.push_back(c);
  for (int c = GetLeftColumn(), x = FixedWidth(); c < columns_ && x < client.right; ++c) {
    shown_columns.push_back(c);
    x += widths_[static_cast<size_t>(c)];
  }
  const uint32_t format = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix;
  for (const int row : shown_rows) {
    for (const int column : shown_columns) {
      const GridCell cell{row, column};
      const gfx::Rect r = CellRect(cell);
      const gfx::Rect text{r.left + kTextPadding, r.top, r.right - kTextPadding, r.bottom};
      const std::string& value = texts_[static_cast<size_t>(row * columns_ + column)];
      if (!IsBodyCell(cell)) {
        DrawButtonFace(canvas, r, false);
        WriteText(canvas, *this, value, text, format, GetSysColor(SysColor::kBtnText));
        continue;
      }
      const bool current = cell == focus_;
      if (current) canvas.FillSolidRect(r, GetSysColor(SysColor::kHighlight));
      canvas.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, kGridLineColor);
      canvas.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, kGridLineColor);
      WriteText(canvas, *this, value, text, format,
                current ? GetSysColor(SysColor::kHighlightText) : GetSysColor(SysColor::kWindowText));
      if (current && HasFocus()) canvas.DrawFocusRect({r.left + 1, r.top + 1, r.right - 2, r.bottom - 2});
    }
  }
}

void GridCtrl::OnLButtonDown(unsigned, gfx::Point point) {
  const WindowHandle handle = Handle();
  SetFocus();
  if (Windows().FromHandle(handle) == this) MoveFocusFromUser(CellAt(point));
}

void GridCtrl::OnLButtonDblClk(unsigned, gfx::Point point) {
  const GridCell cell = CellAt(point);
  if (IsBodyCell(cell)) Notify(kNmDblClk, cell);
}

void GridCtrl::OnRButtonDown(unsigned, gfx::Point point) {
  const WindowHandle handle = Handle();
  SetFocus();
  const GridCell cell = CellAt(point);
  if (Windows().FromHandle(handle) != this || !IsBodyCell(cell)) return;
  MoveFocusFromUser(cell);
  if (Windows().FromHandle(handle) == this) Notify(kNmRClick, cell);
}

void GridCtrl::OnKeyDown(int virtual_key, unsigned, unsigned) {
  if (rows_ <= fixed_rows_ || columns_ <= fixed_columns_) return;
  const GridCell first{fixed_rows_, fixed_columns_};
  const GridCell last{rows_ - 1, columns_ - 1};
  if (!IsBodyCell(focus_)) {
    switch (virtual_key) {
      case kVkUp:
      case kVkDown:
      case kVkLeft:
      case kVkRight:
      case kVkPrior:
      case kVkNext:
      case kVkHome:
      case kVkEnd:
        MoveFocusFromUser(first);
        return;
      default:
        return;
    }
  }
  const bool control = Windows().IsKeyDown(kVkControl);
  const int page = std::max(1, (GetClientRect().Height() - FixedHeight()) / row_height_);
  GridCell to = focus_;
  switch (virtual_key) {
    case kVkUp:
      --to.row;
      break;
    case kVkDown:
      ++to.row;
      break;
    case kVkLeft:
      --to.column;
      break;
    case kVkRight:
      ++to.column;
      break;
    case kVkPrior:
      to.row -= page;
      break;
    case kVkNext:
      to.row += page;
      break;
    case kVkHome:
      to = control ? first : GridCell{focus_.row, first.column};
      break;
    case kVkEnd:
      to = control ? last : GridCell{focus_.row, last.column};
      break;
    default:
      return;
  }
  to.row = std::clamp(to.row, first.row, last.row);
  to.column = std::clamp(to.column, first.column, last.column);
  MoveFocusFromUser(to);
}

void GridCtrl::OnSetFocus(Window* old_focus) {
  Window::OnSetFocus(old_focus);
  if (HasFocus() && IsBodyCell(focus_)) InvalidateRect(CellRect(focus_));
}

void GridCtrl::OnKillFocus(Window*) {
  if (IsBodyCell(focus_)) InvalidateRect(CellRect(focus_));
}

}  // namespace win
