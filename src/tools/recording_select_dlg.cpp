#include "tools/recording_select_dlg.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <set>
#include <span>
#include <system_error>
#include <utility>

#include "document/ref_signal_file.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "win/control_drawing.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/messages.h"
#include "win/prompt.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace {

constexpr unsigned kUnchecked = 0x1000;
constexpr unsigned kChecked = 0x2000;
constexpr int kFrame = 2;
constexpr int kRowHeight = win::ListView::kRowHeight;

// ----- file names

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The code points of a UTF-8 text, with the letters of ASCII and Latin-1 folded to lower case, as
// the platform's file names compare. Bytes that are no valid UTF-8 stand for themselves.
std::u32string FoldedCodePoints(std::string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char32_t cp = byte;
    size_t length = 1;
    if (byte >= 0xC0 && byte < 0xE0 && i + 1 < text.size()) {
      cp = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      length = 2;
    } else if (byte >= 0xE0 && byte < 0xF0 && i + 2 < text.size()) {
      cp = ((byte & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
           (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
      length = 3;
    } else if (byte >= 0xF0 && i + 3 < text.size()) {
      cp = ((byte & 0x07u) << 18) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12) |
           ((static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6) |
           (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
      length = 4;
    }
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) cp += 0x20;
    out.push_back(cp);
    i += length;
  }
  return out;
}

// "*" any run of characters, "?" exactly one; letters match without regard to case.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
  const std::u32string n = FoldedCodePoints(name);
  const std::u32string p = FoldedCodePoints(pattern);
  size_t ni = 0, pi = 0, star = std::u32string::npos, resume = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
      ++ni;
      ++pi;
    } else if (pi < p.size() && p[pi] == U'*') {
      star = pi++;
      resume = ni;
    } else if (star != std::u32string::npos) {
      pi = star + 1;
      ni = ++resume;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  return pi == p.size();
}

// Order of names ignoring case, as the folder search delivers them; the picker's name and status
// columns collate the same way.
int CompareNoCase(std::string_view a, std::string_view b) {
  const std::u32string fa = FoldedCodePoints(a);
  const std::u32string fb = FoldedCodePoints(b);
  return fa < fb ? -1 : (fb < fa ? 1 : 0);
}

struct NameParts {
  std::string base;  // the name without its four-character extension
  std::string code;  // the status code at the end of base, or empty
};

// Characters, not bytes, are counted.
NameParts SplitName(std::string_view file_name) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < file_name.size(); ++i)
    if (!IsContinuationByte(file_name[i])) starts.push_back(i);
  NameParts parts;
  if (starts.size() < 4) return parts;
  parts.base = std::string(file_name.substr(0, starts[starts.size() - 4]));
  const size_t base_chars = starts.size() - 4;
  if (base_chars > 4 && parts.base.ends_with('-')) parts.code = parts.base.substr(starts[base_chars - 5]);
  return parts;
}

bool FourthCharacterIsS(std::string_view code) {
  int character = 0;
  for (size_t i = 0; i < code.size(); ++i) {
    if (IsContinuationByte(code[i])) continue;
    if (character++ == 3) return code[i] == 'S';
  }
  return false;
}

std::string DateText(const struct stat& st) {
  const std::time_t t = st.st_mtim.tv_sec;
  std::tm local{};
  if (::localtime_r(&t, &local) == nullptr) return {};
  char text[128];
  // The short date and the time: what "%c" gives on the platform the picker came from; the C
  // library here spells "%c" out with day and month names, too wide for the column.
  const size_t n = std::strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, n);
}

// ----- the kinds

constexpr std::array<const char*, 11> kKekgPrefixes = {"AHA", "ESC", "MIT", "CU", "NST", "ST",
                                                       "VF",  "AF",  "SV",  "CO", "VKD"};

std::vector<std::string> PatternsOf(int kind) {
  switch (kind) {
    case tools::kPickRecordingsBatch:
    case tools::kPickRecordings:
    case tools::kPickRecordingsVexa:
      return {"*.QRS"};
    case tools::kPickRaw:
      return {"*.RAW"};
    case tools::kPickAha:
      return {"A*ID.DAT"};
    case tools::kPickCmp:
      return {"*.CMP"};
    case tools::kPickKekg: {
      std::vector<std::string> patterns;
      for (const char* last : {"2", "3"}) {
        for (const char* prefix : kKekgPrefixes) patterns.push_back(std::string(prefix) + "*.??" + last);
      }
      return patterns;
    }
    default:
      return {};
  }
}

bool IsRecordingKind(int kind) {
  return kind >= tools::kPickRecordingsBatch && kind <= tools::kPickRecordingsVexa;
}

struct Column {
  int text_id;  // 0: text holds the header
  const char* text;
  int width;
};

std::vector<Column> ColumnsOf(int kind) {
  using D = TRecordingSelectDlg;
  switch (kind) {
    case tools::kPickRecordingsBatch:
    case tools::kPickRecordings:
      return {{D::kIdsNameColumn, "", 300}, {D::kIdsDateColumn, "", 120}, {D::kIdsValidated, "", 90}};
    case tools::kPickRecordingsVexa:
      return {{D::kIdsNameColumn, "", 250},
              {D::kIdsDateColumn, "", 120},
              {D::kIdsValidated, "", 70},
              {D::kIdsVexa, "", 70}};
    case tools::kPickRaw:
      return {{0, "Raw Files", 300}, {D::kIdsDateColumn, "", 120}};
    case tools::kPickAha:
      return {{0, "AHA Files", 300}, {D::kIdsDateColumn, "", 120}};
    case tools::kPickCmp:
      return {{0, "CMP Files", 300}, {D::kIdsDateColumn, "", 120}};
    case tools::kPickKekg:
      return {{0, "KEKG Files", 300}, {D::kIdsDateColumn, "", 120}};
    default:
      return {};
  }
}

std::vector<const char*> FilterEntriesOf(int kind) {
  if (kind == tools::kPickRecordingsVexa) return {"validated", "not validated", "Vexa", "not Vexa"};
  if (IsRecordingKind(kind)) return {"validated", "not validated"};
  return {};
}

// The filter entries after entry 0 (all files).
bool Passes(int filter, bool validated, bool vexa) {
  switch (filter) {
    case 0:
      return true;
    case 1:
      return validated;
    case 2:
      return !validated;
    case 3:
      return vexa;
    case 4:
      return !vexa;
    default:
      return false;
  }
}

// ----- pictures

using PictureRows = std::array<std::string_view, 16>;

// clang-format off
constexpr PictureRows kRecordingPicture = {
    "................",
    ".kkkkkkkkkkk....",
    ".kwwwwwwwwwkk...",
    ".kwwwwwwwwwkwk..",
    ".kwwwwwwwwwkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kwwwwwwrwwwwwk.",
    ".kwwwwwwrwwwwwk.",
    ".kwwwwwrwrwwwwk.",
    ".krrrrrrwrrrrrk.",
    ".kwwwwwwwrwwwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kggggggggggggk.",
    ".kwwwwwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
};
constexpr PictureRows kPdfPicture = {
    "................",
    ".kkkkkkkkkkk....",
    ".kwwwwwwwwwkk...",
    ".kwggggggwwkwk..",
    ".kwwwwwwwwwkkkk.",
    ".kwggggggggggwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwggggggggggwk.",
    ".kwwwwwwwwwwwwk.",
    ".krrrrrrrrrrrrk.",
    ".krwwrrwrrwwwrk.",
    ".krwrrrwrrwrrrk.",
    ".krrrrrrrrrrrrk.",
    ".kwwwwwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
};
constexpr std::array<std::string_view, 8> kArrowUp = {
    "........", "...kk...", "..kkkk..", "..kkkk..", ".kkkkkk.", ".kkkkkk.", "kkkkkkkk", "........",
};
// clang-format on

gfx::Color PictureColor(char code) {
  switch (code) {
    case 'k':
      return gfx::Rgb(64, 64, 64);
    case 'w':
      return gfx::Rgb(255, 255, 255);
    case 'g':
      return gfx::Rgb(150, 150, 150);
    case 'r':
      return gfx::Rgb(200, 0, 0);
    default:
      return kPictureMask;
  }
}

gfx::Bitmap PictureFromRows(std::span<const std::string_view> rows, int size, bool flip) {
  gfx::Bitmap picture(size, size, kPictureMask);
  for (int y = 0; y < size; ++y) {
    const std::string_view row = rows[static_cast<size_t>(flip ? size - 1 - y : y)];
    for (int x = 0; x < size && x < static_cast<int>(row.size()); ++x)
      picture.SetPixel(x, y, PictureColor(row[static_cast<size_t>(x)]));
  }
  return picture;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TPickListCtrl

bool TPickListCtrl::GetCheck(int item) const {
  return GetItemState(item, win::kLvisStateImageMask) == kChecked;
}

void TPickListCtrl::SetCheck(int item, bool checked) {
  SetItemState(item, checked ? kChecked : kUnchecked, win::kLvisStateImageMask);
}

void TPickListCtrl::ToggleCheckFromUser(int item) {
  if (!IsInputEnabled() || item < 0 || item >= GetItemCount()) return;
  SetCheck(item, !GetCheck(item));
}

void TPickListCtrl::SetColumnImage(int column, int index) {
  if (column < 0) return;
  if (static_cast<int>(column_images_.size()) <= column)
    column_images_.resize(static_cast<size_t>(column) + 1, -1);
  column_images_[static_cast<size_t>(column)] = index;
  Invalidate(true);
}

int TPickListCtrl::GetColumnImage(int column) const {
  return column >= 0 && column < static_cast<int>(column_images_.size())
             ? column_images_[static_cast<size_t>(column)]
             : -1;
}

gfx::Rect TPickListCtrl::ContentRect() const {
  gfx::Rect content = GetClientRect();
  if (bar_.IsWindow() && (bar_.GetStyle() & win::kWsVisible) != 0)
    content.right = std::max(content.left, content.right - win::kScrollBarSize);
  return content;
}

int TPickListCtrl::VisibleRowCount() const {
  const int height = GetClientRect().Height() - 2 * kFrame - kRowHeight;
  return std::max(1, height / kRowHeight);
}

void TPickListCtrl::LayoutScrollBar() {
  if (!bar_.IsWindow()) return;
  const gfx::Rect client = GetClientRect();
  const int count = GetItemCount();
  const int page = VisibleRowCount();
  top_row_ = std::clamp(top_row_, 0, std::max(0, count - page));
  bar_.MoveWindow({client.right - kFrame - win::kScrollBarSize, client.top + kFrame, client.right - kFrame,
                   client.bottom - kFrame});
  win::ScrollInfo info;
  info.mask = win::kSifRange | win::kSifPage | win::kSifPos;
  info.min = 0;
  info.max = std::max(0, count - 1);
  info.page = page;
  info.pos = top_row_;
  bar_.SetScrollInfo(info);
  const bool needed = count > page;
  if (needed != ((bar_.GetStyle() & win::kWsVisible) != 0))
    bar_.ShowWindow(needed ? win::kSwShow : win::kSwHide);
}

void TPickListCtrl::ItemsChanged() {
  LayoutScrollBar();
  Invalidate(true);
}

void TPickListCtrl::ScrollTo(int row) {
  const int top = std::clamp(row, 0, std::max(0, GetItemCount() - VisibleRowCount()));
  if (top == top_row_) return;
  top_row_ = top;
  if (bar_.IsWindow()) bar_.SetScrollPos(top_row_);
  Invalidate(true);
}

void TPickListCtrl::OnVScroll(int code) {
  win::ScrollInfo info;
  bar_.GetScrollInfo(info);
  switch (code) {
    case win::kSbLineUp:
      ScrollTo(top_row_ - 1);
      break;
    case win::kSbLineDown:
      ScrollTo(top_row_ + 1);
      break;
    case win::kSbPageUp:
      ScrollTo(top_row_ - VisibleRowCount());
      break;
    case win::kSbPageDown:
      ScrollTo(top_row_ + VisibleRowCount());
      break;
    case win::kSbThumbTrack:
    case win::kSbThumbPosition:
      ScrollTo(info.track_pos);
      break;
    case win::kSbTop:
      ScrollTo(0);
      break;
    case win::kSbBottom:
      ScrollTo(GetItemCount());
      break;
    default:
      break;
  }
}

win::LResult TPickListCtrl::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == win::kWmVScroll && bar_.IsWindow() && lparam == static_cast<win::LParam>(bar_.Handle())) {
    OnVScroll(win::LoWord(wparam));
    return 0;
  }
  return win::ListView::WindowProc(message, wparam, lparam);
}

int TPickListCtrl::OnCreate() {
  const int result = win::ListView::OnCreate();
  // Hidden until the rows need it.
  bar_.CreateControl(this, {0, 0, win::kScrollBarSize, win::kScrollBarSize}, 0, win::kSbsVert);
  LayoutScrollBar();
  return result;
}

void TPickListCtrl::OnSize(int type, int cx, int cy) {
  win::ListView::OnSize(type, cx, cy);
  LayoutScrollBar();
  Invalidate(true);
}

gfx::Rect TPickListCtrl::HeaderRect(int column) const {
  int left = kFrame;
  for (int c = 0; c < GetColumnCount(); ++c) {
    const int width = GetColumn(c)->width;
    if (c == column) return {left, kFrame, left + width, kFrame + kRowHeight};
    left += width;
  }
  return {};
}

gfx::Rect TPickListCtrl::RowRect(int item) const {
  if (item < top_row_ || item >= GetItemCount()) return {};
  const int top = kFrame + kRowHeight + (item - top_row_) * kRowHeight;
  const gfx::Rect client = ContentRect();
  if (top >= client.bottom - kFrame) return {};
  return {kFrame, top, client.right - kFrame, top + kRowHeight};
}

gfx::Rect TPickListCtrl::CheckBoxRect(int item) const {
  const gfx::Rect row = RowRect(item);
  if (row.IsEmpty()) return {};
  const int top = row.top + (kRowHeight - kCheckBoxSize) / 2;
  return {row.left + 3, top, row.left + 3 + kCheckBoxSize, top + kCheckBoxSize};
}

int TPickListCtrl::RowAtPoint(gfx::Point point) const {
  if (point.y < kFrame + kRowHeight) return -1;
  const int row = top_row_ + (point.y - kFrame - kRowHeight) / kRowHeight;
  return row < GetItemCount() && !RowRect(row).IsEmpty() ? row : -1;
}

int TPickListCtrl::ColumnAtPoint(gfx::Point point) const {
  for (int c = 0; c < GetColumnCount(); ++c) {
    const gfx::Rect r = HeaderRect(c);
    if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) return c;
  }
  return -1;
}

void TPickListCtrl::ColumnClickFromUser(int column) {
  if (!IsInputEnabled() || column < 0 || column >= GetColumnCount()) return;
  win::NmListView nm;
  nm.sub_item = column;
  NotifyParent(nm.header, kColumnClick);
}

void TPickListCtrl::OnLButtonDown(unsigned flags, gfx::Point point) {
  SetFocus();
  if (point.y < kFrame + kRowHeight) {
    ColumnClickFromUser(ColumnAtPoint(point));
    return;
  }
  const int row = RowAtPoint(point);
  if (row < 0) return;
  if (CheckBoxRect(row).Contains(point)) ToggleCheckFromUser(row);
  SelectFromUser({row});
}

void TPickListCtrl::OnLButtonDblClk(unsigned flags, gfx::Point point) {
  if (point.y < kFrame + kRowHeight) return;
  const int row = RowAtPoint(point);
  // The second click of a double click on a box is a click on the box.
  if (row >= 0 && CheckBoxRect(row).Contains(point)) {
    ToggleCheckFromUser(row);
    return;
  }
  DoubleClickFromUser(row);
}

void TPickListCtrl::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  const int focused = GetNextItem(-1, win::kLvniFocused);
  switch (virtual_key) {
    case win::kVkSpace:
      ToggleCheckFromUser(focused);
      break;
    case win::kVkUp:
    case win::kVkDown: {
      if (GetItemCount() == 0) break;
      const int row =
          std::clamp(focused < 0 ? 0 : focused + (virtual_key == win::kVkUp ? -1 : 1), 0, GetItemCount() - 1);
      SelectFromUser({row});
      if (row < top_row_) ScrollTo(row);
      if (row >= top_row_ + VisibleRowCount()) ScrollTo(row - VisibleRowCount() + 1);
      break;
    }
    default:
      win::ListView::OnKeyDown(virtual_key, repeat, flags);
  }
}

void TPickListCtrl::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  win::DrawSunken(canvas, client, win::GetSysColor(win::SysColor::kWindow));
  const gfx::Rect content = ContentRect();
  const int saved = canvas.SaveDC();
  canvas.IntersectClipRect(
      {content.left + kFrame, content.top + kFrame, content.right - kFrame, content.bottom - kFrame});
  const uint32_t text_format = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtEndEllipsis;

  for (int c = 0; c < GetColumnCount(); ++c) {
    const gfx::Rect cell = HeaderRect(c);
    canvas.FillSolidRect(cell, win::GetSysColor(win::SysColor::kBtnFace));
    win::Draw3dFrame(canvas, cell, win::GetSysColor(win::SysColor::kBtnHighlight),
                     win::GetSysColor(win::SysColor::kBtnShadow));
    int text_right = cell.right - 4;
    const int image = GetColumnImage(c);
    if (header_images_ != nullptr && image >= 0) {
      const gfx::Size size = header_images_->ImageSize();
      const int x = cell.right - 6 - size.cx;
      header_images_->Draw(canvas, image, {x, cell.top + (cell.Height() - size.cy) / 2});
      text_right = x - 4;
    }
    win::WriteText(canvas, *this, GetColumn(c)->text, {cell.left + 4, cell.top, text_right, cell.bottom},
                   text_format, TextColor());
  }

  const win::ImageList* icons = GetImageList(win::kLvsilSmall);
  const bool focused_list = HasFocus() || ShowsSelectionAlways();
  for (int item = top_row_; item < GetItemCount(); ++item) {
    const gfx::Rect row = RowRect(item);
    if (row.IsEmpty()) break;
    const bool selected = GetItemState(item, win::kLvisSelected) != 0 && focused_list;
    const gfx::Color text_color = selected ? win::GetSysColor(win::SysColor::kHighlightText)
                                           : win::GetSysColor(win::SysColor::kWindowText);
    int x = row.left;
    const gfx::Rect box = CheckBoxRect(item);
    int label_left = box.right + 3;
    if (icons != nullptr) {
      if (GetItemImage(item) >= 0) icons->Draw(canvas, GetItemImage(item), {label_left, row.top});
      label_left += icons->ImageSize().cx + 2;
    }
    const int first_right = x + (GetColumnCount() > 0 ? GetColumn(0)->width : row.Width());
    if (selected) {
      canvas.FillSolidRect({label_left, row.top, row.right, row.bottom},
                           win::GetSysColor(win::SysColor::kHighlight));
    }
    canvas.FillSolidRect(box, win::GetSysColor(win::SysColor::kWindow));
    win::Draw3dFrame(canvas, box, win::GetSysColor(win::SysColor::kBtnShadow),
                     win::GetSysColor(win::SysColor::kBtnShadow));
    if (GetCheck(item)) {
      const gfx::Color tick = win::GetSysColor(win::SysColor::kWindowText);
      canvas.SelectPen(gfx::Pen{gfx::PenStyle::kSolid, 1, tick});
      for (int d = 0; d < 2; ++d) {
        canvas.MoveTo(box.left + 3, box.top + 5 + d);
        canvas.LineTo(box.left + 5, box.top + 7 + d);
        canvas.LineTo(box.left + 10, box.top + 2 + d);
      }
    }
    win::WriteText(canvas, *this, GetItemText(item, 0),
                   {label_left + 2, row.top, first_right - 4, row.bottom}, text_format, text_color);
    x = first_right;
    for (int c = 1; c < GetColumnCount(); ++c) {
      const int width = GetColumn(c)->width;
      win::WriteText(canvas, *this, GetItemText(item, c), {x + 4, row.top, x + width - 4, row.bottom},
                     text_format, text_color);
      x += width;
    }
  }
  canvas.RestoreDC(saved);
}

// ---------------------------------------------------------------------------------------------
// TRecordingSelectDlg

TRecordingSelectDlg::TRecordingSelectDlg(std::string title, std::string folder, int kind, win::Window* parent)
    : win::Dialog(kTemplateId, parent),
      filter_(win::ControlKind::kComboDropList),
      title_(std::move(title)),
      folder_(std::move(folder)),
      kind_(kind),
      icons_(16, 16, kPictureMask),
      arrows_(8, 8, kPictureMask) {
  folder_text_ = folder_;
  AddCommand(kBrowseId, [this] { OnBrowse(); });
  AddCommand(kTickAllId, [this] { OnTickAll(); });
  AddCommand(kUntickAllId, [this] { OnUntickAll(); });
  AddNotification(kFilterId, win::kCbnSelChange, [this] { OnFilterChanged(); });
}

void TRecordingSelectDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, kListId, list_);
  win::DdxControl(dx, kFilterId, filter_);
  win::DdxText(dx, kFolderTextId, folder_text_);
}

bool TRecordingSelectDlg::OnInitDialog() {
  const bool result = win::Dialog::OnInitDialog();
  SetWindowText(title_);
  sort_column_ = 0;
  sort_direction_ = 1;
  arrow_column_ = -1;

  // Entry 0, all files, comes with the template as the box's text.
  if (filter_.GetCount() == 0) {
    filter_.AddString(filter_.GetWindowText());
    for (const char* entry : FilterEntriesOf(kind_)) filter_.AddString(entry);
  }
  filter_.SetCurSel(0);

  if (icons_.Count() == 0) {
    icons_.Add(LoadRecordingSelectPicture(kRecordingIconId));
    icons_.Add(LoadRecordingSelectPicture(kPdfIconId));
  }
  if (arrows_.Count() == 0) {
    arrows_.Add(LoadRecordingSelectPicture(kArrowDirection1Id));
    arrows_.Add(LoadRecordingSelectPicture(kArrowDirection0Id));
  }
  list_.SetImageList(&icons_, win::kLvsilSmall);
  list_.SetHeaderImages(&arrows_);
  int index = 0;
  for (const Column& column : ColumnsOf(kind_)) {
    const std::string text =
        column.text_id != 0 ? platform::LoadString(column.text_id) : std::string(column.text);
    list_.InsertColumn(index++, text, win::kLvcfmtLeft, column.width);
  }
  Fill();
  MoveArrow(0);
  if (IsRecordingKind(kind_)) Sort();
  list_.ItemsChanged();
  return result;
}

void TRecordingSelectDlg::Fill() {
  win::Windows().BeginWaitCursor();
  std::string prefix = folder_;
  if (prefix.empty() || prefix.back() != '/') prefix += '/';

  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(prefix, error), end; !error && it != end; it.increment(error)) {
    std::error_code type_error;
    if (it->is_regular_file(type_error)) names.push_back(it->path().filename().string());
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });

  const std::string validated_mark = platform::LoadString(kIdsValidated);
  const std::string vexa_mark = platform::LoadString(kIdsVexa);
  const int filter = filter_.GetCurSel();
  std::set<std::string> listed;
  for (const std::string& pattern : PatternsOf(kind_)) {
    for (const std::string& name : names) {
      if (!MatchesPattern(name, pattern) || listed.contains(name)) continue;
      if (kind_ == tools::kPickKekg && !IsRefSignalFileName(name)) continue;
      const NameParts parts = SplitName(name);
      const bool has_code = !parts.code.empty();
      const bool validated = has_code && parts.code[0] == 'V';
      const bool vexa = has_code && FourthCharacterIsS(parts.code);
      if (!Passes(filter, validated, vexa)) continue;
      listed.insert(name);

      Entry entry;
      entry.name =
          kind_ == tools::kPickKekg ? name : parts.base.substr(0, parts.base.size() - parts.code.size());
      entry.validated = validated ? validated_mark : "-";
      entry.vexa = vexa ? vexa_mark : "-";
      // The file as found, so that a lower-case extension or a status code is kept; CMP files
      // are named without their extension, as their callers add it.
      entry.path = prefix + (kind_ == tools::kPickCmp ? parts.base : name);
      std::string date;
      struct stat st {};
      if (::stat((prefix + name).c_str(), &st) == 0) {
        entry.modified_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
        date = DateText(st);
      }

      const int item = list_.InsertItem(0, entry.name, IsRecordingKind(kind_) ? 0 : -1);
      list_.SetItemData(item, entries_.size());
      list_.SetCheck(item, false);
      list_.SetItemText(item, 1, date);
      if (IsRecordingKind(kind_)) list_.SetItemText(item, 2, entry.validated);
      if (kind_ == tools::kPickRecordingsVexa) list_.SetItemText(item, 3, entry.vexa);
      entries_.push_back(std::move(entry));
    }
  }
  list_.ItemsChanged();
  win::Windows().EndWaitCursor();
}

void TRecordingSelectDlg::Refill() {
  list_.DeleteAllItems();
  results_.clear();
  Fill();
  UpdateData(false);
}

void TRecordingSelectDlg::OnFilterChanged() { Refill(); }

void TRecordingSelectDlg::OnBrowse() {
  const std::optional<std::string> chosen =
      win::CurrentPrompt().ChooseFolder(platform::LoadString(kIdsBrowseTitle), folder_);
  if (!chosen) return;
  std::string folder = *chosen;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  folder_ = folder;
  folder_text_ = folder;
  Refill();
}

void TRecordingSelectDlg::SetAllChecks(bool checked) {
  for (int item = 0; item < list_.GetItemCount(); ++item) list_.SetCheck(item, checked);
}

void TRecordingSelectDlg::OnTickAll() { SetAllChecks(true); }
void TRecordingSelectDlg::OnUntickAll() { SetAllChecks(false); }

void TRecordingSelectDlg::MoveArrow(int column) {
  if (column == arrow_column_) {
    sort_direction_ = sort_direction_ == 1 ? 0 : 1;
  } else {
    sort_direction_ = 1;
    list_.SetColumnImage(arrow_column_, -1);
  }
  list_.SetColumnImage(column, sort_direction_ == 1 ? 0 : 1);
  arrow_column_ = column;
  sort_column_ = column;
}

void TRecordingSelectDlg::OnColumnClick(int column) {
  if (column < 0 || column >= list_.GetColumnCount()) return;
  MoveArrow(column);
  if (IsRecordingKind(kind_)) Sort();
}

void TRecordingSelectDlg::Sort() {
  list_.SortItems([this](uintptr_t a, uintptr_t b) { return Compare(a, b); });
  list_.ItemsChanged();
}

// A consistent order for a stable sort: items that compare equal keep their order.
int TRecordingSelectDlg::Compare(uintptr_t a, uintptr_t b) const {
  if (a >= entries_.size() || b >= entries_.size()) return 0;
  const Entry& x = entries_[a];
  const Entry& y = entries_[b];
  const bool up = sort_direction_ == 1;
  switch (sort_column_) {
    case 0: {
      const int order = CompareNoCase(x.name, y.name);
      return up ? order : -order;
    }
    case 1: {
      // The stored time, not the shown text: the text may not read back, and has no sub-seconds.
      const int order = x.modified_ns < y.modified_ns ? -1 : (y.modified_ns < x.modified_ns ? 1 : 0);
      return up ? -order : order;
    }
    case 2:
    case 3: {
      const int order =
          sort_column_ == 2 ? CompareNoCase(x.validated, y.validated) : CompareNoCase(x.vexa, y.vexa);
      return up ? -order : order;
    }
    default:
      return 0;
  }
}

bool TRecordingSelectDlg::OnNotify(const win::NotifyHeader& header, win::LResult* result) {
  if (header.id_from == kListId &&
      (header.code == TPickListCtrl::kColumnClick || header.code == win::kNmDblClk)) {
    const auto& nm = reinterpret_cast<const win::NmListView&>(header);
    if (header.code == TPickListCtrl::kColumnClick) {
      OnColumnClick(nm.sub_item);
    } else {
      list_.ToggleCheckFromUser(nm.item);
    }
    return true;
  }
  return win::Dialog::OnNotify(header, result);
}

void TRecordingSelectDlg::OnOK() {
  results_.clear();
  for (int item = 0; item < list_.GetItemCount(); ++item) {
    const uintptr_t index = list_.GetItemData(item);
    if (list_.GetCheck(item) && index < entries_.size()) results_.push_back(entries_[index].path);
  }
  win::Dialog::OnOK();
}

tools::PickResult RunRecordingSelectDlg(win::Window* parent, const std::string& title,
                                        const std::string& folder, int kind) {
  TRecordingSelectDlg dialog(title, folder, kind, parent);
  tools::PickResult result;
  result.ok = dialog.DoModal() == win::kIdOk;
  if (result.ok) result.paths = dialog.Results();
  return result;
}

gfx::Bitmap LoadRecordingSelectPicture(int id) {
  switch (id) {
    case TRecordingSelectDlg::kRecordingIconId:
      return PictureFromRows(kRecordingPicture, 16, false);
    case TRecordingSelectDlg::kPdfIconId:
      return PictureFromRows(kPdfPicture, 16, false);
    case TRecordingSelectDlg::kArrowDirection1Id:
      return PictureFromRows(kArrowUp, 8, false);
    case TRecordingSelectDlg::kArrowDirection0Id:
      return PictureFromRows(kArrowUp, 8, true);
    default:
      return {};
  }
}

// ---------------------------------------------------------------------------------------------
// Resources

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;
using win::LocalizeControls;
using win::LocalizeDialog;
using D = TRecordingSelectDlg;

constexpr platform::StringEntry kEnglishStrings[] = {
    {D::kIdsValidated, "Validated"},
    {D::kIdsVexa, "Vexa"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {D::kIdsValidated, "Validiert"},
    {D::kIdsVexa, "Vexa"},
};

constexpr DialogLayout kSelect{D::kTemplateId, 400, 250};
constexpr ControlLayout kSelectControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 35, 10},
    {D::kFolderTextId, ControlKind::kEdit, 45, 7, 290, 12, win::kEsReadOnly},
    {D::kBrowseId, ControlKind::kPushButton, 340, 6, 53, 14},
    {-1, ControlKind::kStatic, 7, 25, 35, 10},
    {D::kFilterId, ControlKind::kComboDropList, 45, 23, 120, 14},
    {D::kListId, ControlKind::kListView, 7, 41, 386, 182, win::kLvsReport | win::kLvsShowSelAlways},
    {D::kTickAllId, ControlKind::kPushButton, 7, 229, 60, 14},
    {D::kUntickAllId, ControlKind::kPushButton, 71, 229, 60, 14},
    {win::kIdOk, ControlKind::kDefPushButton, 289, 229, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 343, 229, 50, 14},
};
constexpr auto kSelectEnglish = LocalizeControls(
    kSelectControls,
    {"Folder:", "", "&Browse...", "&Show:", "All files", "", "&Tick all", "&Untick all", "OK", "Cancel"});
constexpr auto kSelectGerman =
    LocalizeControls(kSelectControls, {"Ordner:", "", "&Durchsuchen...", "&Zeigen:", "Alle Dateien", "",
                                       "Alle &markieren", "&Keine markieren", "OK", "Abbrechen"});

constexpr DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kSelect, "Select files", kSelectEnglish)};
constexpr DialogTemplate kGermanDialogs[] = {LocalizeDialog(kSelect, "Dateien wählen", kSelectGerman)};

}  // namespace

void AddRecordingSelectResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    win::Templates().Add(pack, kGermanDialogs);
    return;
  }
  pack.AddStrings(kEnglishStrings);
  win::Templates().Add(pack, kEnglishDialogs);
}
