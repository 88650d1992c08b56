#include "layouts/event_label_area.h"

#include <algorithm>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"
#include "views/sample_slot_hint.h"

namespace {

constexpr uint32_t kStripSpeedUp = 33008;
constexpr uint32_t kStripSpeedDown = 33009;
constexpr int kFirstLabelString = 4200;
constexpr int kLabelRows = 7;  // the row's height in lines; six of them take labels
constexpr int kMarkPenWidth = 2;

int Trunc(double value) { return static_cast<int>(value); }

gfx::Color ColourOf(const CZK470Doc& doc, int code) {
  const int index = doc.GetSettings().Color(code);
  const auto& table = CECGStripPainter::kDisplayColours;
  return table[index >= 0 && index < static_cast<int>(table.size()) ? static_cast<size_t>(index) : 0];
}

// The first of the positions to label is the first one after key, then every one before the
// end; the first is taken also when it lies exactly on the end.
template <class TimeOf, class Add>
void CollectInWindow(int first, int count, int end, TimeOf time_of, Add add) {
  if (first >= count) return;
  int t = time_of(first);
  if (t > end) return;
  add(first, t);
  for (int i = first + 1; i < count && t < end; ++i) {
    t = time_of(i);
    if (t >= end) break;
    add(i, t);
  }
}

}  // namespace

std::unique_ptr<CViewArea> CSampleEventLabelAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSampleEventLabelArea>(this, doc);
}

std::unique_ptr<CViewArea> CEventLabelAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CEventLabelArea>(this, doc);
}

CSampleEventLabelArea::CSampleEventLabelArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CECGSampleWnd* CSampleEventLabelArea::Host() const { return FindSampleWindow(config_); }

void CSampleEventLabelArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  sample_slot_ = FindSampleSlot(config_);
}

int CSampleEventLabelArea::GetStartTime() const {
  if (sample_slot_ < 0 || sample_slot_ > 2) return -1;
  return document_->GetViewFields().sample_start_ms[static_cast<size_t>(sample_slot_)];
}

int CSampleEventLabelArea::GetEndTime() const {
  const CECGSampleWnd* host = Host();
  const int start = GetStartTime();
  if (host == nullptr || host->GetPixelsPerSecond() <= 0.0) return start;
  return Trunc((rect_.right - rect_.left) * 1000 / host->GetPixelsPerSecond()) + start;
}

void CSampleEventLabelArea::OnLayout(int left, int top, int right, int bottom) {
  BuildEventCells({left, top, right, bottom});
  BuildMarkCells({left, top, right, bottom});
}

void CSampleEventLabelArea::Refresh() {
  BuildEventCells(rect_);
  BuildMarkCells(rect_);
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
}

void CSampleEventLabelArea::BuildEventCells(const gfx::Rect& r) {
  CECGSampleWnd* host = Host();
  if (host == nullptr) return;
  std::vector<CLabelCell>& cells = host->EventLabelCells();
  cells.clear();
  cells.shrink_to_fit();
  const TEventList& events = document_->GetEventList();
  if (events.GetSize() == 0) return;
  const int start = GetStartTime();
  const int end = GetEndTime();
  const double pps = host->GetPixelsPerSecond();
  const double rate = document_->GetSampleRate();
  const int half = Trunc(kMarkerWidthMs * pps * 0.0005);
  const int key = Trunc(start * rate / 1000.0) + 1;
  const int first = events.FindNextAfter(TEvent(key, key, 0), 0);
  CollectInWindow(
      first, events.GetSize(), end,
      [&](int i) { return Trunc(events.GetAt(i).GetPosition() / rate * 1000.0); },
      [&](int i, int t) {
        const TEvent event = events.GetAt(i);
        const int x = r.left + Trunc((t - start) * pps * 0.001);
        cells.emplace_back(gfx::Rect{x - half + 1, r.top, x + half + 1, r.bottom}, event.GetClass(), i,
                           event.GetPriorClass());
      });
}

void CSampleEventLabelArea::BuildMarkCells(const gfx::Rect& r) {
  CECGSampleWnd* host = Host();
  if (host == nullptr) return;
  std::vector<CLabelCell>& cells = host->MarkLabelCells();
  cells.clear();
  cells.shrink_to_fit();
  const std::vector<int32_t>& marks = document_->GetRecordingData().recorder_markers;
  if (marks.empty()) return;
  const int start = GetStartTime();
  const int end = GetEndTime();
  const double pps = host->GetPixelsPerSecond();
  const double rate = document_->GetSampleRate();
  const int width = Trunc(pps * kMarkWidthMs * 0.001);
  const int key = Trunc(start * rate / 1000.0) + 1;
  const int first = static_cast<int>(std::upper_bound(marks.begin(), marks.end(), key) - marks.begin());
  CollectInWindow(
      first, static_cast<int>(marks.size()), end,
      [&](int i) { return Trunc(marks[static_cast<size_t>(i)] / rate * 1000.0); },
      [&](int i, int t) {
        const int x = r.left + Trunc((t - start) * pps * 0.001);
        cells.emplace_back(gfx::Rect{x + 1, r.top, x + 1 + width, r.bottom}, kClassZeroSet, i,
                           static_cast<uint8_t>(kClassZeroSet));
      });
}

void CSampleEventLabelArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CECGSampleWnd* host = Host();
  if (host == nullptr || !host->GetLabelSwitch()) return;
  DrawEventLabels(dc);
  DrawMarks(dc);
}

void CSampleEventLabelArea::DrawEventLabels(gfx::Canvas& dc) {
  CECGSampleWnd* host = Host();
  const std::vector<CLabelCell>& cells = host->EventLabelCells();
  if (cells.empty()) return;
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  CPresetFont preset;
  const gfx::Font old_font = dc.SelectFont(*preset.Select(2));
  const gfx::Color old_color = dc.GetTextColor();
  const int line_height = (rect_.bottom - rect_.top) / kLabelRows;
  const int half = Trunc(kMarkerWidthMs * host->GetPixelsPerSecond() * 0.0005);
  int previous_left = 0;
  int line = 0;
  for (const CLabelCell& cell : cells) {
    // Pacemaker spikes are marked on the trace; a label each would bury the strip.
    if (cell.code == kClassPaceMaker) continue;
    const int left = cell.rect.left + half;
    line = previous_left + kLabelSpacing < left ? 0 : (line + 1) % kLabelLines;
    gfx::Rect box{left, rect_.top + line * line_height, cell.rect.right,
                  rect_.top + (line + 1) * line_height};
    previous_left = left;
    dc.SetTextColor(ColourOf(*document_, cell.code));
    dc.DrawText(platform::LoadString(kFirstLabelString + cell.code), box,
                gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoClip);
  }
  dc.SetTextColor(old_color);
  dc.SelectFont(old_font);
  dc.SetBkMode(old_mode);
}

void CSampleEventLabelArea::DrawMarks(gfx::Canvas& dc) {
  CECGSampleWnd* host = Host();
  const std::vector<CLabelCell>& cells = host->MarkLabelCells();
  const std::vector<gfx::Rect>& bands = host->ChannelBands();
  if (cells.empty() || bands.size() < 2) return;
  const int y = bands[1].top + (bands[0].bottom - bands[1].top) / 2;
  const gfx::Color colour = ColourOf(*document_, kClassZeroSet);
  CPresetFont preset;
  const gfx::Font old_font = dc.SelectFont(*preset.Select(2));
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = dc.SetTextColor(colour);
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, kMarkPenWidth, colour});
  for (const CLabelCell& cell : cells) {
    gfx::Rect box{cell.rect.left, y - 10, cell.rect.right, y - 2};
    dc.DrawText(platform::LoadString(kFirstLabelString + cell.code), box,
                gfx::kDtSingleLine | gfx::kDtBottom | gfx::kDtNoClip);
    dc.MoveTo(cell.rect.left, y);
    dc.LineTo(cell.rect.right, y);
  }
  dc.SelectPen(old_pen);
  dc.SetTextColor(old_color);
  dc.SetBkMode(old_mode);
  dc.SelectFont(old_font);
}

void CSampleEventLabelArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      if (HintConcernsSlot(object, sample_slot_)) Refresh();
      break;
    case hint::kCountsChanged:
      Refresh();
      break;
    default:
      break;
  }
}

int CEventLabelArea::GetStartTime() const { return document_->GetStripStartMs(); }

int CEventLabelArea::GetEndTime() const { return document_->GetStripEndMs(); }

int CEventLabelArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != kStripSpeedUp && msg != kStripSpeedDown)
    return CSampleEventLabelArea::OnMessage(msg, wparam, lparam);
  Refresh();
  return 1;
}

void CEventLabelArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (hint == hint::kPositionMoved || hint == hint::kNavigationRebuild || hint == hint::kArea1019) Refresh();
  CSampleEventLabelArea::OnNotify(sender, hint, object);
}
