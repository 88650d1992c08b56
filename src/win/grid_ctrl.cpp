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
  styles_.resize(texts_.size());
  heights_.resize(static_cast<size_t>(rows_), row_height_);
  std::erase_if(covered_, [this](const GridRange& r) { return r.bottom >= rows_; });
  if (pressed_.row >= rows_) pressed_ = {};
  fixed_rows_ = std::min(fixed_rows_, rows_);
  if (!IsBodyCell(focus_)) focus_ = {};
  UpdateScrollBars();
  Invalidate();
}

void GridCtrl::SetColumnCount(int columns) {
  columns = std::max(columns, 0);
  std::vector<std::string> texts(static_cast<size_t>(rows_) * static_cast<size_t>(columns));
  std::vector<std::optional<GridCellStyle>> styles(texts.size());
  const int kept = std::min(columns, columns_);
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < kept; ++c) {
      const size_t to = static_cast<size_t>(r * columns + c);
      texts[to] = std::move(texts_[Index(r, c)]);
      styles[to] = styles_[Index(r, c)];
    }
  }
  texts_ = std::move(texts);
  styles_ = std::move(styles);
  columns_ = columns;
  std::erase_if(covered_, [this](const GridRange& r) { return r.right >= columns_; });
  if (pressed_.column >= columns_) pressed_ = {};
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
  texts_[Index(row, column)] = std::string(text);
  if (const gfx::Rect r = CellRect({row, column}); !r.IsEmpty()) InvalidateRect(r);
  return true;
}

std::string GridCtrl::GetItemText(int row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return {};
  return texts_[Index(row, column)];
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
  std::fill(heights_.begin(), heights_.end(), row_height_);
  UpdateScrollBars();
  Invalidate();
}

bool GridCtrl::SetRowHeight(int row, int height) {
  if (row < 0 || row >= rows_) return false;
  heights_[static_cast<size_t>(row)] = std::max(height, 1);
  UpdateScrollBars();
  Invalidate();
  return true;
}

int GridCtrl::GetRowHeight(int row) const {
  return row >= 0 && row < rows_ ? heights_[static_cast<size_t>(row)] : 0;
}

void GridCtrl::SetHeadersHidden(bool column_header_row, bool row_header_column) {
  hide_column_header_row_ = column_header_row;
  hide_row_header_column_ = row_header_column;
  UpdateScrollBars();
  Invalidate();
}

bool GridCtrl::SetCellStyle(int row, int column, const GridCellStyle& style) {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return false;
  styles_[Index(row, column)] = style;
  Invalidate();
  return true;
}

void GridCtrl::SetRangeStyle(const GridRange& range, const GridCellStyle& style) {
  for (int r = std::max(range.top, 0); r <= std::min(range.bottom, rows_ - 1); ++r) {
    for (int c = std::max(range.left, 0); c <= std::min(range.right, columns_ - 1); ++c) {
      styles_[Index(r, c)] = style;
    }
  }
  Invalidate();
}

std::optional<GridCellStyle> GridCtrl::GetCellStyle(int row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return std::nullopt;
  return styles_[Index(row, column)];
}

namespace {

bool Overlap(const GridRange& a, const GridRange& b) {
  return a.top <= b.bottom && b.top <= a.bottom && a.left <= b.right && b.left <= a.right;
}

}  // namespace

bool GridCtrl::SetCoveredCells(const GridRange& range) {
  if (range.top < 0 || range.left < 0 || range.bottom < range.top || range.right < range.left ||
      range.bottom >= rows_ || range.right >= columns_) {
    return false;
  }
  std::erase_if(covered_, [&range](const GridRange& r) { return Overlap(r, range); });
  if (range.bottom > range.top || range.right > range.left) covered_.push_back(range);
  Invalidate();
  return true;
}

GridRange GridCtrl::GetCoveredRange(GridCell cell) const {
  for (const GridRange& r : covered_) {
    if (r.Contains(cell)) return r;
  }
  return {cell.row, cell.column, cell.row, cell.column};
}

void GridCtrl::ClearCells(const GridRange& range) {
  for (int r = std::max(range.top, 0); r <= std::min(range.bottom, rows_ - 1); ++r) {
    for (int c = std::max(range.left, 0); c <= std::min(range.right, columns_ - 1); ++c) {
      texts_[Index(r, c)].clear();
      styles_[Index(r, c)].reset();
    }
  }
  std::erase_if(covered_, [&range](const GridRange& r) { return Overlap(r, range); });
  Invalidate();
}

int GridCtrl::ShownHeight(int row) const {
  if (row == 0 && hide_column_header_row_) return 0;
  return heights_[static_cast<size_t>(row)];
}

int GridCtrl::ShownWidth(int column) const {
  if (column == 0 && hide_row_header_column_) return 0;
  return widths_[static_cast<size_t>(column)];
}

int GridCtrl::FixedHeight() const {
  int height = 0;
  for (int r = 0; r < fixed_rows_; ++r) height += ShownHeight(r);
  return height;
}

int GridCtrl::RowY(int row) const {
  int y = 0;
  if (row < fixed_rows_) {
    for (int r = 0; r < row; ++r) y += ShownHeight(r);
    return y;
  }
  y = FixedHeight();
  for (int r = GetTopRow(); r < row; ++r) y += ShownHeight(r);
  for (int r = row; r < GetTopRow(); ++r) y -= ShownHeight(r);
  return y;
}

int GridCtrl::ColumnX(int column) const {
  int x = 0;
  if (column < fixed_columns_) {
    for (int c = 0; c < column; ++c) x += ShownWidth(c);
    return x;
  }
  x = FixedWidth();
  for (int c = GetLeftColumn(); c < column; ++c) x += ShownWidth(c);
  for (int c = column; c < GetLeftColumn(); ++c) x -= ShownWidth(c);
  return x;
}

int GridCtrl::RowsFittingFrom(int first) const {
  const int body = GetClientRect().Height() - FixedHeight();
  int used = 0;
  int count = 0;
  for (int r = fixed_rows_ + first; r < rows_; ++r) {
    used += ShownHeight(r);
    if (used > body) break;
    ++count;
  }
  return std::max(count, 1);
}

bool GridCtrl::IsButtonCell(GridCell cell) const {
  if (cell.row < 0 || cell.row >= rows_ || cell.column < 0 || cell.column >= columns_) return false;
  const std::optional<GridCellStyle>& style = styles_[Index(cell.row, cell.column)];
  return style && style->kind == GridCellKind::kButton;
}

bool GridCtrl::IsBodyCell(GridCell cell) const {
  return cell.row >= fixed_rows_ && cell.row < rows_ && cell.column >= fixed_columns_ &&
         cell.column < columns_;
}

int GridCtrl::FixedWidth() const {
  int width = 0;
  for (int c = 0; c < fixed_columns_; ++c) width += ShownWidth(c);
  return width;
}

int GridCtrl::RowsFittingAtEnd() const {
  const int body = GetClientRect().Height() - FixedHeight();
  int used = 0;
  int count = 0;
  for (int r = rows_ - 1; r >= fixed_rows_; --r) {
    used += ShownHeight(r);
    if (used > body) break;
    ++count;
  }
  return count;
}

int GridCtrl::ColumnsFittingAtEnd() const {
  const int body = GetClientRect().Width() - FixedWidth();
  int used = 0;
  int count = 0;
  for (int c = columns_ - 1; c >= fixed_columns_; --c) {
    used += ShownWidth(c);
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
  if (cell.row >= fixed_rows_ && cell.row < GetTopRow()) return {};
  if (cell.column >= fixed_columns_ && cell.column < GetLeftColumn()) return {};
  const int x = ColumnX(cell.column);
  const int y = RowY(cell.row);
  return {x, y, x + ShownWidth(cell.column), y + ShownHeight(cell.row)};
}

GridCell GridCtrl::CellAt(gfx::Point point) const {
  if (!GetClientRect().Contains(point)) return {};
  const auto find = [](int from, int to, int start, int at, auto size) {
    for (int i = from, edge = start; i < to; ++i) {
      edge += size(i);
      if (at < edge) return i;
    }
    return -1;
  };
  const auto height = [this](int r) { return ShownHeight(r); };
  const auto width = [this](int c) { return ShownWidth(c); };
  GridCell cell;
  cell.row = point.y < FixedHeight() ? find(0, fixed_rows_, 0, point.y, height)
                                     : find(GetTopRow(), rows_, FixedHeight(), point.y, height);
  cell.column = point.x < FixedWidth() ? find(0, fixed_columns_, 0, point.x, width)
                                       : find(GetLeftColumn(), columns_, FixedWidth(), point.x, width);
  if (cell.row < 0 || cell.column < 0) return {};
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
  int row = scroll_row_;
  if (body_row < row) {
    row = body_row;
  } else {
    while (row < body_row && body_row >= row + RowsFittingFrom(row)) ++row;
  }
  const int body_column = cell.column - fixed_columns_;
  const int room = GetClientRect().Width() - FixedWidth();
  int column = scroll_column_;
  if (body_column < column) {
    column = body_column;
  } else {
    const auto right_edge = [&](int first) {
      int x = 0;
      for (int c = fixed_columns_ + first; c <= cell.column; ++c) x += ShownWidth(c);
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
  for (int r = GetTopRow(), y = FixedHeight(); r < rows_ && y < client.bottom; ++r) {
    shown_rows.push_back(r);
    y += ShownHeight(r);
  }
  std::vector<int> shown_columns;
  for (int c = 0; c < fixed_columns_; ++c) shown_columns.push_back(c);
  for (int c = GetLeftColumn(), x = FixedWidth(); c < columns_ && x < client.right; ++c) {
    shown_columns.push_back(c);
    x += ShownWidth(c);
  }
  std::vector<GridRange> painted;  // covered blocks already drawn
  for (const int row : shown_rows) {
    if (ShownHeight(row) == 0) continue;
    for (const int column : shown_columns) {
      if (ShownWidth(column) == 0) continue;
      const GridRange range = GetCoveredRange({row, column});
      if (range.bottom > range.top || range.right > range.left) {
        if (std::find(painted.begin(), painted.end(), range) != painted.end()) continue;
        painted.push_back(range);
      }
      PaintCell(canvas, range, client);
    }
  }
}

void GridCtrl::PaintCell(gfx::Canvas& canvas, const GridRange& range, const gfx::Rect& client) {
  const GridCell cell{range.top, range.left};
  const int x = ColumnX(range.left);
  const int y = RowY(range.top);
  int right = x;
  for (int c = range.left; c <= range.right; ++c) right += ShownWidth(c);
  int bottom = y;
  for (int r = range.top; r <= range.bottom; ++r) bottom += ShownHeight(r);
  const gfx::Rect r{x, y, right, bottom};
  const gfx::Rect text{r.left + kTextPadding, r.top, r.right - kTextPadding, r.bottom};
  const std::string& value = texts_[Index(cell.row, cell.column)];
  const std::optional<GridCellStyle>& style = styles_[Index(cell.row, cell.column)];
  const bool body = IsBodyCell(cell);
  const bool current = body && range.Contains(focus_);
  if (!style) {
    const uint32_t format = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix;
    if (!body) {
      DrawButtonFace(canvas, r, false);
      WriteText(canvas, *this, value, text, format, GetSysColor(SysColor::kBtnText));
      return;
    }
    if (current) canvas.FillSolidRect(r, GetSysColor(SysColor::kHighlight));
    canvas.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, kGridLineColor);
    canvas.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, kGridLineColor);
    WriteText(canvas, *this, value, text, format,
              current ? GetSysColor(SysColor::kHighlightText) : GetSysColor(SysColor::kWindowText));
    if (current && HasFocus()) canvas.DrawFocusRect({r.left + 1, r.top + 1, r.right - 2, r.bottom - 2});
    return;
  }

  // A block that begins under the headers (scrolled partly away) is cut at their edge.
  gfx::Rect visible = client;
  if (range.top >= fixed_rows_) visible.top = FixedHeight();
  if (range.left >= fixed_columns_) visible.left = FixedWidth();
  const int32_t saved = canvas.SaveDC();
  canvas.IntersectClipRect(visible);
  const bool button = style->kind == GridCellKind::kButton;
  const bool highlight = current && !button;
  canvas.FillSolidRect(r, highlight ? GetSysColor(SysColor::kHighlight) : style->interior);
  canvas.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, kGridLineColor);
  canvas.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, kGridLineColor);
  gfx::Rect text_box = text;
  if (button) {
    const bool pushed = pressed_ == cell;
    DrawButtonFace(canvas, {r.left + 1, r.top + 1, r.right - 2, r.bottom - 2}, pushed);
    if (pushed) text_box = {text.left + 1, text.top + 1, text.right + 1, text.bottom + 1};
  }
  uint32_t format = gfx::kDtSingleLine | gfx::kDtNoPrefix;
  format |= style->horz == GridHorzAlign::kCenter  ? gfx::kDtCenter
            : style->horz == GridHorzAlign::kRight ? gfx::kDtRight
                                                   : gfx::kDtLeft;
  format |= style->vert == GridVertAlign::kCenter   ? gfx::kDtVCenter
            : style->vert == GridVertAlign::kBottom ? gfx::kDtBottom
                                                    : gfx::kDtTop;
  gfx::Font font = GetFont();
  if (style->bold) font.weight = gfx::kFwBold;
  canvas.SelectFont(font);
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(highlight ? GetSysColor(SysColor::kHighlightText) : style->text_color);
  canvas.DrawText(value, text_box, format);
  if (highlight && HasFocus()) canvas.DrawFocusRect({r.left + 1, r.top + 1, r.right - 2, r.bottom - 2});
  canvas.RestoreDC(saved);
}

void GridCtrl::OnLButtonDown(unsigned, gfx::Point point) {
  const WindowHandle handle = Handle();
  SetFocus();
  if (Windows().FromHandle(handle) != this) return;
  const GridCell at = CellAt(point);
  const GridRange range = GetCoveredRange(at);
  const GridCell anchor{range.top, range.left};
  if (at != GridCell{} && IsButtonCell(anchor)) {
    pressed_ = anchor;
    SetCapture();
    Invalidate();
    return;
  }
  MoveFocusFromUser(at);
}

void GridCtrl::OnLButtonUp(unsigned, gfx::Point point) {
  if (pressed_ == GridCell{}) return;
  const GridCell pressed = pressed_;
  pressed_ = {};
  if (Windows().GetCapture() == this) Windows().ReleaseCapture();
  Invalidate();
  const GridCell at = CellAt(point);
  if (at == GridCell{}) return;
  const GridRange range = GetCoveredRange(at);
  if (GridCell{range.top, range.left} == pressed && IsButtonCell(pressed)) {
    OnCellButtonClicked(pressed.row, pressed.column);
  }
}

void GridCtrl::OnCellButtonClicked(int row, int column) { Notify(kGvnCellButtonClicked, {row, column}); }

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
  const int page = RowsFittingFrom(scroll_row_);
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
