#include "layouts/beat_page_area.h"

#include <algorithm>
#include <string>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/beat_page_window.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/hit_record.h"
#include "views/preset_font.h"
#include "win/window.h"

namespace {

constexpr gfx::Color kRed = 0x0000FF;
// Strips keep this far from the left and right edge of their cell, for the frames.
constexpr int kStripLeftMargin = 5;
constexpr int kStripRightMargin = 8;

bool Contains(const gfx::Rect& rect, gfx::Point p) {
  return p.x >= rect.left && p.x < rect.right && p.y >= rect.top && p.y < rect.bottom;
}

// How many whole cell sizes an offset holds, by repeated subtraction of the old size.
int WholeCells(int offset, double size) {
  int count = 0;
  for (double rest = offset; rest >= size; rest -= size) ++count;
  return count;
}

template <typename T>
T Clamped(const T (&table)[4], int index) {
  return table[std::clamp(index, 0, 3)];
}

}  // namespace

CBeatPageAreaConfig::~CBeatPageAreaConfig() = default;

std::unique_ptr<CViewArea> CBeatPageAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBeatPageArea>(this, doc);
}

CBeatPageArea::CBeatPageArea(CBeatPageAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CBeatPageArea::~CBeatPageArea() {
  if (capturing_) win::Windows().ReleaseCapture();
}

// ---- The class on show

const TTemplateList* CBeatPageArea::ClassList() const {
  if (document_ == nullptr) return nullptr;
  const std::vector<TTemplateClassEntry>& rows = document_->GetTemplateClassList();
  const int row = document_->GetSelectedTemplateRow();
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  const TTemplateClassEntry& entry = rows[static_cast<size_t>(row)];
  if (entry.family < TTemplateClassEntry::kFamilyVES || entry.family > TTemplateClassEntry::kFamilySVES)
    return nullptr;
  if (entry.class_index < 0 || entry.class_index >= TRecordingData::kTemplateClasses) return nullptr;
  return &document_->GetRecordingData().TemplateClasses(entry.family)[static_cast<size_t>(entry.class_index)];
}

bool CBeatPageArea::BeatOfEntry(int entry, int& beat, int& position) const {
  beat = -1;
  position = -1;
  const TTemplateList* list = ClassList();
  if (list == nullptr || entry < 0 || entry >= list->GetSize()) return false;
  const int index = list->GetAt(entry).GetBeatIndex();
  const TQRSList& beats = document_->GetQRSList();
  if (index < 0 || index >= beats.GetSize()) return false;
  beat = index;
  position = beats.ElementAt(index)->GetPosition();
  return true;
}

int CBeatPageArea::FirstRow() const { return page_wnd_ != nullptr ? page_wnd_->GetFirstRow() : 0; }

void CBeatPageArea::SetFirstRow(int row) {
  if (page_wnd_ != nullptr) page_wnd_->SetFirstRow(row);
}

int CBeatPageArea::EntryIndexAt(int x, int y) const {
  const int w = CellWidth();
  const int h = CellHeight();
  if (w <= 0 || h <= 0) return -1;
  return (FirstRow() + y / h) * columns_ + x / w;
}

CBeatPageArea::PageInfo CBeatPageArea::GetPageInfo() const {
  const TTemplateList* list = ClassList();
  const int n = list != nullptr ? list->GetSize() : 0;
  const int b = columns_ * (FirstRow() + rows_);
  const int per_page = columns_ * rows_;
  return {b / per_page, (n + per_page - 1) / per_page, b < n};
}

// ---- Geometry and cells

gfx::Rect CBeatPageArea::CellRect(int x, int y) const {
  return {rect_.left + x, rect_.top + y, rect_.left + x + CellWidth(), rect_.top + y + CellHeight()};
}

bool CBeatPageArea::CellAt(gfx::Point point, int& x, int& y) const {
  const int w = CellWidth();
  const int h = CellHeight();
  if (!Contains(rect_, point) || w <= 0 || h <= 0) return false;
  // A point on a border belongs to the left or upper cell.
  int column = 0;
  for (int rest = point.x - rect_.left; rest > w; rest -= w) ++column;
  int row = 0;
  for (int rest = point.y - rect_.top; rest > h; rest -= h) ++row;
  // The pixels right of and below the grid (the area is rarely a multiple of the cells) belong to
  // no cell; counted on they would name the first cell of the next row.
  if (column >= columns_ || row >= rows_) return false;
  x = column * w;
  y = row * h;
  return true;
}

int CBeatPageArea::FindSelected(int x, int y) const {
  for (size_t i = 0; i < selection_x_.size(); ++i)
    if (selection_x_[i] == x && selection_y_[i] == y) return static_cast<int>(i);
  return -1;
}

std::vector<int> CBeatPageArea::SelectedCells() const {
  std::vector<int> cells;
  const int w = CellWidth();
  const int h = CellHeight();
  if (w <= 0 || h <= 0) return cells;
  for (size_t i = 0; i < selection_x_.size(); ++i)
    cells.push_back(selection_y_[i] / h * columns_ + selection_x_[i] / w);
  return cells;
}

void CBeatPageArea::SelectCursorAlone() {
  selection_x_.assign(1, cursor_x_);
  selection_y_.assign(1, cursor_y_);
  current_entry_ = 0;
}

// ---- Strips

int CBeatPageArea::ChannelGap() const {
  const SettingsStore& settings = document_->GetSettings();
  const int index = std::clamp(settings.Int(SettingKey::kTemplatesDetailsDistance), 0, 4);
  return static_cast<int>(document_->GetViewFields().screen_scale * kDistanceFactors[index]);
}

std::unique_ptr<CECGStripPainter> CBeatPageArea::MakeStrip(int beat, const gfx::Rect& rect) const {
  const SettingsStore& settings = document_->GetSettings();
  const int colour = std::clamp(settings.Int(SettingKey::kColorNormal), 0, 14);
  auto painter = std::make_unique<CECGStripPainter>(
      *document_, nullptr, CECGStripPainter::kDisplayColours[static_cast<size_t>(colour)], rect.left,
      rect.top, rect.right, rect.bottom, beat, Clamped(kSpeeds, settings.Int(SettingKey::kResDetailsSpeed)),
      Clamped(kGains, settings.Int(SettingKey::kResDetailsAmplitude)), kStripSeconds, true, 0);
  painter->Prepare();
  painter->SetChannelGap(ChannelGap());
  return painter;
}

void CBeatPageArea::BuildStrips() {
  strips_.clear();
  if (document_ == nullptr || ClassList() == nullptr) return;
  win::Windows().BeginWaitCursor();
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < columns_; ++c) {
      int beat = -1;
      int position = -1;
      if (!BeatOfEntry((FirstRow() + r) * columns_ + c, beat, position)) {
        win::Windows().EndWaitCursor();
        return;
      }
      const gfx::Rect cell = CellRect(c * CellWidth(), r * CellHeight());
      strips_.push_back({beat, MakeStrip(beat, {cell.left + kStripLeftMargin, cell.top,
                                                cell.right - kStripRightMargin, cell.bottom})});
    }
  }
  win::Windows().EndWaitCursor();
}

void CBeatPageArea::RenewStrip(int beat, int x, int y) {
  const auto it =
      std::find_if(strips_.begin(), strips_.end(), [beat](const Strip& s) { return s.beat_index == beat; });
  if (it == strips_.end()) return;
  it->painter = MakeStrip(beat, CellRect(x, y));
  Invalidate();
}

const CECGStripPainter* CBeatPageArea::StripOf(int beat_index) const {
  for (const Strip& strip : strips_)
    if (strip.beat_index == beat_index) return strip.painter.get();
  return nullptr;
}

// ---- Drawing

CBeatPageArea::FrameColours CBeatPageArea::FrameColoursFor(const gfx::Canvas& screen) {
  if (screen.GetDeviceCaps(gfx::DeviceCap::kNumColors) == -1) return {kCurrentTrueColour, kOtherTrueColour};
  return {kCurrentPaletteColour, kOtherPaletteColour};
}

void CBeatPageArea::CreatePens(const gfx::Canvas* screen) {
  const FrameColours colours =
      screen != nullptr ? FrameColoursFor(*screen) : FrameColours{kCurrentTrueColour, kOtherTrueColour};
  current_pen_ = {gfx::PenStyle::kSolid, 1, colours.current};
  current_brush_ = {gfx::BrushStyle::kSolid, colours.current};
  other_pen_ = {gfx::PenStyle::kSolid, 1, colours.other};
  other_brush_ = {gfx::BrushStyle::kSolid, colours.other};
}

void CBeatPageArea::DrawCellFrame(gfx::Canvas& dc, int x, int y, Style style) const {
  const bool current = style == Style::kCurrent;
  const gfx::Pen old_pen = dc.SelectPen(current ? current_pen_ : other_pen_);
  const gfx::Brush old_brush = dc.SelectBrush(current ? current_brush_ : other_brush_);
  const gfx::Rop2 old_rop = dc.SetROP2(gfx::Rop2::kXorPen);
  // Both rectangles filled: the fills cancel inside, leaving a band that a second drawing removes.
  const gfx::Rect cell = CellRect(x, y);
  dc.Rectangle(cell);
  dc.Rectangle(cell.left + kFrameWidth, cell.top + kFrameWidth, cell.right - kFrameWidth,
               cell.bottom - kFrameWidth);
  dc.SetROP2(old_rop);
  dc.SelectBrush(old_brush);
  dc.SelectPen(old_pen);
}

void CBeatPageArea::DrawCalibration(gfx::Canvas& dc) const {
  const SettingsStore& settings = document_->GetSettings();
  const double scale = document_->GetViewFields().screen_scale;
  const int h = static_cast<int>(scale * Clamped(kSpeeds, settings.Int(SettingKey::kResDetailsSpeed)) * 0.1);
  const int v =
      static_cast<int>(scale * Clamped(kGains, settings.Int(SettingKey::kResDetailsAmplitude)) * 0.1);
  const int left = rect_.left;
  const int bottom = rect_.bottom;
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kRed});
  dc.MoveTo(left + 5, bottom - 30);
  dc.LineTo(left + 5, bottom - v - 31);
  dc.MoveTo(left + 4, bottom - 30);
  dc.LineTo(left + 7, bottom - 30);
  dc.MoveTo(left + 4, bottom - v - 31);
  dc.LineTo(left + 7, bottom - v - 31);
  dc.MoveTo(left + 10, bottom - 5);
  dc.LineTo(left + h + 11, bottom - 5);
  dc.MoveTo(left + 9, bottom - 4);
  dc.LineTo(left + 9, bottom - 7);
  dc.MoveTo(left + h + 11, bottom - 4);
  dc.LineTo(left + h + 11, bottom - 7);
  dc.SelectPen(old_pen);

  CPresetFont fonts;
  if (const gfx::Font* font = fonts.Select(2)) dc.SelectFont(*font);
  dc.SetTextColor(kRed);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  const uint32_t centred = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine;
  gfx::Rect seconds{left + 8, bottom - 17, left + h + 13, bottom - 7};
  dc.DrawText("1" + platform::LoadString(kSecondString), seconds, centred);
  gfx::Rect millivolts{left + 10, bottom - v - 36, left + 40, bottom - 25};
  dc.DrawText("1" + platform::LoadString(kMillivoltString), millivolts, centred);
}

void CBeatPageArea::DrawPageText(gfx::Canvas& dc) const {
  const PageInfo info = GetPageInfo();
  CPresetFont fonts;
  if (const gfx::Font* font = fonts.Select(3)) dc.SelectFont(*font);
  dc.SetTextColor(kRed);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  const std::string text = platform::LoadString(kPageString) + " " + std::to_string(info.page) + " / " +
                           std::to_string(info.count);
  gfx::Rect box{rect_.left, rect_.bottom - 15, rect_.right - 5, rect_.bottom};
  dc.DrawText(text, box, gfx::kDtRight | gfx::kDtVCenter | gfx::kDtSingleLine);
}

void CBeatPageArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (document_ == nullptr) return;
  const int saved = dc.SaveDC();
  for (const Strip& strip : strips_) strip.painter->DrawTo(&dc, false, false, false, true);
  DrawCalibration(dc);
  DrawPageText(dc);
  for (size_t i = 0; i < selection_x_.size(); ++i)
    DrawCellFrame(dc, selection_x_[i], selection_y_[i],
                  static_cast<int>(i) == current_entry_ ? Style::kCurrent : Style::kOther);
  dc.RestoreDC(saved);
  last_cell_width_ = CellWidth();
  last_cell_height_ = CellHeight();
}

void CBeatPageArea::Invalidate() {
  if (page_wnd_ != nullptr && page_wnd_->IsWindow()) page_wnd_->InvalidateRect(rect_);
}

// ---- Life cycle

void CBeatPageArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  page_wnd_ = FindBeatPageWindow(config_);
  first_layout_ = true;
  if (page_wnd_ != nullptr && page_wnd_->IsWindow()) {
    win::ClientDc screen(*page_wnd_);
    CreatePens(&screen.Canvas());
  } else {
    CreatePens(nullptr);
  }
  selection_x_.push_back(cursor_x_);
  selection_y_.push_back(cursor_y_);
}

void CBeatPageArea::OnLayout(int left, int top, int right, int bottom) {
  columns_ = kColumns;
  rows_ = kRows;
  const int w = CellWidth();
  const int h = CellHeight();
  if (first_layout_) {
    first_layout_ = false;
    int32_t& pending = document_->GetViewFields().pending_beat_in_class;
    if (pending != -1) {
      const int e = pending % (columns_ * rows_);
      cursor_x_ = w * (e % columns_);
      cursor_y_ = h * (e / columns_);
      pending = -1;
      SelectCursorAlone();
    }
  }
  if (last_cell_width_ > 0 && last_cell_height_ > 0) {
    for (size_t i = 0; i < selection_x_.size(); ++i) {
      selection_x_[i] = WholeCells(selection_x_[i], last_cell_width_) * w;
      selection_y_[i] = WholeCells(selection_y_[i], last_cell_height_) * h;
    }
    cursor_x_ = WholeCells(cursor_x_, last_cell_width_) * w;
    cursor_y_ = WholeCells(cursor_y_, last_cell_height_) * h;
  }
  ShowCursorBeat();
  BuildStrips();
}

// ---- Position and hints

void CBeatPageArea::ShowEntryBeat(int x, int y) {
  int beat = -1;
  int position = -1;
  if (!BeatOfEntry(EntryIndexAt(x, y), beat, position)) return;
  document_->SetCurrentPosition(static_cast<int32_t>(position / document_->GetSampleRate() * 1000.0));
}

void CBeatPageArea::ShowCursorBeat() { ShowEntryBeat(cursor_x_, cursor_y_); }

void CBeatPageArea::SendHint(int hint_number) { document_->UpdateAllViews(nullptr, hint_number); }

void CBeatPageArea::CommonTail() {
  SelectCursorAlone();
  Invalidate();
  ShowCursorBeat();
  SendHint(hint::kNavigationRebuild);
}

// ---- Selection

gfx::Canvas* CBeatPageArea::SelectionDc() const { return dc_ ? &dc_->Canvas() : nullptr; }

void CBeatPageArea::SelectCell(gfx::Point point, SelectMode mode) {
  gfx::Canvas* dc = SelectionDc();
  const auto frame = [&](int x, int y, Style style) {
    if (dc != nullptr) DrawCellFrame(*dc, x, y, style);
  };
  const auto style_of = [this](size_t i) {
    return static_cast<int>(i) == current_entry_ ? Style::kCurrent : Style::kOther;
  };
  if (mode == SelectMode::kClearAllButCursor) {
    for (size_t i = 0; i < selection_x_.size(); ++i)
      if (selection_x_[i] != cursor_x_ || selection_y_[i] != cursor_y_)
        frame(selection_x_[i], selection_y_[i], Style::kOther);
    SelectCursorAlone();
    return;
  }

  int x = 0;
  int y = 0;
  if (!CellAt(point, x, y)) return;
  const TTemplateList* list = ClassList();
  if (list == nullptr || EntryIndexAt(x, y) >= list->GetSize()) return;
  const int selected = FindSelected(x, y);

  if (mode == SelectMode::kRight && selected >= 0) return;
  if (mode == SelectMode::kPlain || mode == SelectMode::kRight) {
    for (size_t i = 0; i < selection_x_.size(); ++i) frame(selection_x_[i], selection_y_[i], style_of(i));
    ShowEntryBeat(x, y);
    cursor_x_ = x;
    cursor_y_ = y;
    SelectCursorAlone();
    frame(x, y, Style::kCurrent);
    return;
  }

  if (mode == SelectMode::kToggle) {
    if (selected >= 0 && selection_x_.size() == 1) return;
    if (selected >= 0 && x == cursor_x_ && y == cursor_y_) {
      frame(x, y, Style::kCurrent);
      selection_x_.erase(selection_x_.begin() + selected);
      selection_y_.erase(selection_y_.begin() + selected);
      current_entry_ = std::min(selected, static_cast<int>(selection_x_.size()) - 1);
      cursor_x_ = selection_x_[static_cast<size_t>(current_entry_)];
      cursor_y_ = selection_y_[static_cast<size_t>(current_entry_)];
      frame(cursor_x_, cursor_y_, Style::kOther);
      frame(cursor_x_, cursor_y_, Style::kCurrent);
      ShowEntryBeat(x, y);
    } else if (selected >= 0) {
      frame(x, y, Style::kOther);
      selection_x_.erase(selection_x_.begin() + selected);
      selection_y_.erase(selection_y_.begin() + selected);
      if (selected < current_entry_) --current_entry_;
    } else {
      const size_t current = static_cast<size_t>(current_entry_);
      if (current < selection_x_.size()) {
        frame(selection_x_[current], selection_y_[current], Style::kCurrent);
        frame(selection_x_[current], selection_y_[current], Style::kOther);
      }
      ShowEntryBeat(x, y);
      selection_x_.push_back(x);
      selection_y_.push_back(y);
      current_entry_ = static_cast<int>(selection_x_.size()) - 1;
      cursor_x_ = x;
      cursor_y_ = y;
      frame(x, y, Style::kCurrent);
    }
    return;
  }

  // Range: from the current cell to the clicked one in row-major order, either way.
  const size_t current = static_cast<size_t>(current_entry_);
  if (current >= selection_x_.size()) return;
  cursor_x_ = selection_x_[current];
  cursor_y_ = selection_y_[current];
  const int w = CellWidth();
  const int h = CellHeight();
  const int from = cursor_y_ / h * columns_ + cursor_x_ / w;
  const int to = y / h * columns_ + x / w;
  frame(cursor_x_, cursor_y_, Style::kCurrent);
  frame(cursor_x_, cursor_y_, Style::kOther);
  for (int cell = std::min(from, to); cell <= std::max(from, to); ++cell) {
    const int cx = cell % columns_ * w;
    const int cy = cell / columns_ * h;
    if (FindSelected(cx, cy) >= 0) continue;
    selection_x_.push_back(cx);
    selection_y_.push_back(cy);
    frame(cx, cy, Style::kOther);
  }
  // The clicked cell becomes current, also when it was selected before: its frame must show it.
  current_entry_ = FindSelected(x, y);
  frame(x, y, Style::kOther);
  frame(x, y, Style::kCurrent);
  cursor_x_ = x;
  cursor_y_ = y;
}

// ---- Keyboard steps

bool CBeatPageArea::StepBack() {
  const int w = CellWidth();
  const int h = CellHeight();
  int x = cursor_x_ - w;
  int y = cursor_y_;
  int first = FirstRow();
  if (x < 0) {
    x = w * (columns_ - 1);
    y -= h;
    if (y < 0) {
      first -= rows_;
      y = h * (rows_ - 1);
      if (first < 0) return false;
    }
  }
  cursor_x_ = x;
  cursor_y_ = y;
  SetFirstRow(first);
  return true;
}

bool CBeatPageArea::StepForward() {
  const int w = CellWidth();
  const int h = CellHeight();
  int x = cursor_x_ + w;
  int y = cursor_y_;
  int first = FirstRow();
  if (x > w * (columns_ - 1)) {
    x = 0;
    y += h;
    if (y > h * (rows_ - 1)) {
      if (!GetPageInfo().has_next) return false;
      first += rows_;
      y = 0;
    }
  }
  cursor_x_ = x;
  cursor_y_ = y;
  SetFirstRow(first);
  return true;
}

void CBeatPageArea::StepCursor(bool forward) {
  if (page_wnd_ == nullptr || !page_wnd_->IsWindow()) return;
  dc_ = std::make_unique<win::ClientDc>(*page_wnd_);
  SelectCell({}, SelectMode::kClearAllButCursor);
  DrawCellFrame(dc_->Canvas(), cursor_x_, cursor_y_, Style::kCurrent);
  const TTemplateList* list = ClassList();
  const int entry = EntryIndexAt(cursor_x_, cursor_y_);
  const int first = FirstRow();
  const bool can = list != nullptr && (forward ? entry < list->GetSize() - 1 : entry > 0);
  if (can && (forward ? StepForward() : StepBack())) {
    if (FirstRow() != first) {
      BuildStrips();
      Invalidate();
    }
    ShowCursorBeat();
    SendHint(hint::kNavigationRebuild);
  }
  SelectCursorAlone();
  DrawCellFrame(dc_->Canvas(), cursor_x_, cursor_y_, Style::kCurrent);
  dc_.reset();
}

void CBeatPageArea::SelectPreviousBeat() { StepCursor(false); }

void CBeatPageArea::SelectNextBeat() { StepCursor(true); }

// ---- Area messages

int CBeatPageArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  const auto int_out = [lparam](int value) {
    if (lparam != 0) *reinterpret_cast<int*>(lparam) = value;
  };
  switch (msg) {
    case areamsg::kMouseMove:
      return 1;
    case areamsg::kLeftButtonDown:
    case areamsg::kRightButtonDown: {
      const gfx::Point point = *reinterpret_cast<const gfx::Point*>(lparam);
      if (!Contains(rect_, point) || page_wnd_ == nullptr || !page_wnd_->IsWindow()) return 0;
      const unsigned flags = static_cast<unsigned>(wparam);
      SelectMode mode = SelectMode::kPlain;
      if (msg == areamsg::kRightButtonDown)
        mode = SelectMode::kRight;
      else if ((flags & win::kMkControl) != 0)
        mode = SelectMode::kToggle;
      else if ((flags & win::kMkShift) != 0)
        mode = SelectMode::kRange;
      page_wnd_->SetCapture();
      capturing_ = true;
      dc_ = std::make_unique<win::ClientDc>(*page_wnd_);
      SelectCell(point, mode);
      return 1;
    }
    case areamsg::kLeftButtonUp:
    case areamsg::kRightButtonUp:
      if (!capturing_) return 0;
      win::Windows().ReleaseCapture();
      dc_.reset();
      capturing_ = false;
      SendHint(hint::kNavigationRebuild);
      return 1;
    case areamsg::kBeatAtPoint: {
      auto* hit = reinterpret_cast<CHitRecord*>(lparam);
      hit->kind = CHitRecord::kBeat;
      BeatOfEntry(EntryIndexAt(cursor_x_, cursor_y_), hit->index, hit->position);
      return 1;
    }
    case areamsg::kPositionPaged:
    case areamsg::kPositionFromCursor:
      SendHint(hint::kPositionMoved);
      return 1;
    case CBeatPageWnd::kMsgSelectionRecords: {
      auto* records = reinterpret_cast<std::vector<CHitRecord>*>(lparam);
      for (size_t i = 0; i < selection_x_.size(); ++i) {
        CHitRecord record{0, 0, CHitRecord::kBeat};
        BeatOfEntry(EntryIndexAt(selection_x_[i], selection_y_[i]), record.index, record.position);
        records->push_back(record);
      }
      return 1;
    }
    case areamsg::kBeatPageRefresh:
      BuildStrips();
      cursor_x_ = 0;
      cursor_y_ = 0;
      CommonTail();
      return 1;
    case areamsg::kBeatPageOpenAt: {
      SetFirstRow(static_cast<int>(wparam));
      BuildStrips();
      const auto* offset = reinterpret_cast<const COffsetParam*>(lparam);
      cursor_x_ = offset != nullptr ? offset->x : 0;
      cursor_y_ = offset != nullptr ? offset->y : 0;
      CommonTail();
      return 1;
    }
    case areamsg::kBeatPageRows:
      int_out(rows_);
      return 1;
    case areamsg::kBeatPageColumns:
      int_out(columns_);
      return 1;
    case areamsg::kBeatPageHasNext:
      int_out(GetPageInfo().has_next ? 1 : 0);
      return 1;
    case areamsg::kBeatPageCursorClass: {
      int beat = -1;
      int position = -1;
      const bool found = BeatOfEntry(EntryIndexAt(cursor_x_, cursor_y_), beat, position);
      int_out(found ? document_->GetQRSList().ElementAt(beat)->GetClass() : -1);
      return 1;
    }
    case areamsg::kBeatPageRenewBeat:
      RenewStrip(static_cast<int>(wparam), cursor_x_, cursor_y_);
      return 1;
    case areamsg::kBeatPageRect:
      *reinterpret_cast<gfx::Rect*>(lparam) = rect_;
      return 1;
    case areamsg::kBeatPageRenewEntry: {
      const int* renew = reinterpret_cast<const int*>(lparam);
      const size_t entry = static_cast<size_t>(renew[1]);
      if (renew[1] >= 0 && entry < selection_x_.size())
        RenewStrip(renew[0], selection_x_[entry], selection_y_[entry]);
      return 1;
    }
    case areamsg::kBeatPageSelectionCount:
      int_out(static_cast<int>(selection_x_.size()));
      return 1;
    case areamsg::kBeatPageSelectEntry: {
      const size_t current = static_cast<size_t>(current_entry_);
      if (current >= selection_x_.size() || page_wnd_ == nullptr || !page_wnd_->IsWindow()) return 1;
      dc_ = std::make_unique<win::ClientDc>(*page_wnd_);
      const gfx::Rect cell = CellRect(selection_x_[current], selection_y_[current]);
      SelectCell({cell.left + 1, cell.top + 1}, SelectMode::kPlain);
      dc_.reset();
      return 1;
    }
    case CBeatPageWnd::kMsgPreviousBeat:
      SelectPreviousBeat();
      return 0;
    case CBeatPageWnd::kMsgNextBeat:
      SelectNextBeat();
      return 0;
    case CBeatPageWnd::kCmdDistanceUp:
    case CBeatPageWnd::kCmdDistanceDown: {
      const int step = static_cast<int>(document_->GetViewFields().screen_scale * kGapStep);
      for (Strip& strip : strips_)
        strip.painter->AddChannelGap(msg == CBeatPageWnd::kCmdDistanceUp ? step : -step);
      Invalidate();
      return 1;
    }
    case CBeatPageWnd::kCmdSpeedUp:
    case CBeatPageWnd::kCmdSpeedDown:
    case CBeatPageWnd::kCmdAmplitudeUp:
    case CBeatPageWnd::kCmdAmplitudeDown:
      BuildStrips();
      Invalidate();
      return 1;
    default:
      return 0;
  }
}

// ---- Document hints

bool CBeatPageArea::ClampCursorToClass() {
  const TTemplateList* list = ClassList();
  const int count = list != nullptr ? list->GetSize() : 0;
  while (EntryIndexAt(cursor_x_, cursor_y_) > count - 1) {
    if (!StepBack()) break;
  }
  return EntryIndexAt(cursor_x_, cursor_y_) < count;
}

bool CBeatPageArea::SelectNextTemplateClass() {
  std::vector<TTemplateClassEntry>& rows = document_->GetTemplateClassList();
  for (int r = document_->GetSelectedTemplateRow() + 1; r < static_cast<int>(rows.size()); ++r) {
    if (rows[static_cast<size_t>(r)].count > 0) {
      document_->SetSelectedTemplateRow(r);
      document_->SetTemplateCursorRow(r);
      return true;
    }
  }
  return false;
}

bool CBeatPageArea::SelectPreviousTemplateClass() {
  const std::vector<TTemplateClassEntry>& rows = document_->GetTemplateClassList();
  const int from = std::min(document_->GetSelectedTemplateRow(), static_cast<int>(rows.size())) - 1;
  for (int r = from; r >= 0; --r) {
    if (rows[static_cast<size_t>(r)].count > 0) {
      document_->SetSelectedTemplateRow(r);
      document_->SetTemplateCursorRow(r);
      return true;
    }
  }
  return false;
}

void CBeatPageArea::OnNotify(document::DocumentView*, int hint_number, THintObject*) {
  if (document_ == nullptr || page_wnd_ == nullptr) return;
  if (hint_number == hint::kBeatsEdited) {
    if (!ClampCursorToClass()) {
      document_->CommitPendingRelabels();
      if (!SelectNextTemplateClass() && !SelectPreviousTemplateClass()) {
        document_->SetDisplayMode(DisplayMode::kTemplateClasses);
        // The main view leaves this layout: nothing of this area may be touched after it.
        SendHint(hint::kDisplayModeChanged);
        return;
      }
      SetFirstRow(0);
      cursor_x_ = 0;
      cursor_y_ = 0;
    }
    SelectCursorAlone();
    BuildStrips();
    Invalidate();
    ShowCursorBeat();
    SendHint(hint::kNavigationRebuild);
    SendHint(hint::kArea1111);
  } else if (hint_number == hint::kEditsUndone) {
    std::vector<TQRSUndoEntry>& pending = document_->GetPendingRelabels();
    if (!pending.empty()) pending.pop_back();
    document_->CommitPendingRelabels();
    SetFirstRow(0);
    BuildStrips();
    cursor_x_ = 0;
    cursor_y_ = 0;
    SelectCursorAlone();
    Invalidate();
    ShowCursorBeat();
    SendHint(hint::kNavigationRebuild);
  }
}
