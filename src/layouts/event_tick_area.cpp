#include "layouts/event_tick_area.h"

#include <algorithm>
#include <array>
#include <vector>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/caption_areas.h"
#include "views/navigation_window.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

constexpr gfx::Color kBlack = 0x000000;
constexpr int kLeadOffCode = 4;
constexpr int kSecondPenKind = 34;
constexpr int kBradycardiaCode = 7;
constexpr int kTachycardiaCode = 8;
constexpr int kTickInset = 4;
// An area message the strip takes without doing anything, so that a send of it stops here.
constexpr uint32_t kTakenQuietly = 1006;

// The displayed span in whole seconds and the columns of a row: a time t (whole seconds from the
// recording start) lies in the span when start minute x 60 <= t < end minute x 60.
struct SpanColumns {
  int64_t first_second = 0;
  int64_t end_second = 0;
  int64_t start_ms_seconds = 0;
  int64_t span_seconds = 0;
  int64_t width = 0;  // usable columns, w - 2

  bool Contains(int64_t t) const { return first_second <= t && t < end_second; }
  int Column(int64_t t) const { return static_cast<int>((t - start_ms_seconds) * width / span_seconds); }
};

int64_t WholeSeconds(const CZK470Doc& doc, int32_t samples) {
  return static_cast<int64_t>(samples / doc.GetSampleRate());
}

void DrawTriangle(gfx::Canvas& dc, int left, int m, int base_y, int tip_y) {
  const gfx::Point points[] = {{left + m - 2, base_y}, {left + m + 4, base_y}, {left + m + 1, tip_y}};
  dc.Polygon(points);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CEventTickItem

void CEventTickItem::Draw(gfx::Canvas& dc) {
  DrawBox(dc, back_, 0);
  if (doc_ == nullptr || doc_->GetAnalysisRunning() != 0) return;
  const CZK470Doc& doc = *doc_;
  const int left = rect_.left;
  const int w = rect_.right - rect_.left;
  const int h = rect_.bottom - rect_.top;

  SpanColumns span;
  span.first_second = int64_t{doc.GetSpanStartMinute()} * 60;
  span.end_second = (int64_t{doc.GetSpanStartMinute()} + doc.GetSpanLength()) * 60;
  span.start_ms_seconds = doc.GetSpanStartMs() / 1000;
  span.span_seconds = (int64_t{doc.GetSpanEndMs()} - doc.GetSpanStartMs()) / 1000;
  span.width = w - 2;
  // An empty span or a row without columns places nothing.
  if (span.span_seconds <= 0 || span.width < 0) return;

  const gfx::Pen pen{gfx::PenStyle::kSolid, 1, CodeColour(doc, code_)};
  const gfx::Pen second_pen{gfx::PenStyle::kSolid, 1, CodeColour(doc, kSecondPenKind)};
  const gfx::Pen old_pen = dc.SelectPen(pen);
  const auto tick = [&](int x) {
    dc.MoveTo(left + x + 1, rect_.top + kTickInset);
    dc.LineTo(left + x + 1, rect_.bottom - kTickInset);
  };

  int last_x = -1;
  if (IsBeatCode(code_)) {
    for (const TQRSComplex& beat : doc.GetQRSList().Elements()) {
      if (beat.GetClass() != code_) continue;
      const int64_t t = WholeSeconds(doc, beat.GetPosition());
      // Positions before the span's millisecond start have no column of their own.
      if (!span.Contains(t) || t < span.start_ms_seconds) continue;
      const int x = span.Column(t);
      if (x == last_x) continue;
      tick(x);
      last_x = x;
    }
  } else {
    std::vector<int> kinds{code_};
    for (const int kind : CoupledKinds(code_)) kinds.push_back(kind);
    const int middle = rect_.top + h / 2;
    for (const TEvent& event : doc.GetEventList().Elements()) {
      const int kind = event.GetClass();
      if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) continue;
      dc.SelectPen(code_ == kLeadOffCode && kind == kSecondPenKind ? second_pen : pen);
      const int64_t start = WholeSeconds(doc, event.GetPosition());
      if (span.Contains(start) && start >= span.start_ms_seconds) {
        const int x = span.Column(start);
        if (x != last_x) {
          tick(x);
          last_x = x;
        }
      }
      const int64_t end = WholeSeconds(doc, event.GetEnd());
      if (span.Contains(end) && end >= span.start_ms_seconds) {
        const int end_x = span.Column(end);
        if (end_x != last_x) {
          for (const int y : {middle - 1, middle, middle + 1}) {
            dc.MoveTo(left + last_x + 1, y);
            dc.LineTo(left + end_x + 1, y);
          }
        }
      }
    }
  }

  const int32_t minimum = doc.GetHRMinPosition();
  const int32_t maximum = doc.GetHRMaxPosition();
  if ((code_ == kBradycardiaCode || code_ == kTachycardiaCode) && minimum != -1 && maximum != -1) {
    const int64_t t = WholeSeconds(doc, code_ == kBradycardiaCode ? minimum : maximum);
    if (span.Contains(t) && t >= span.start_ms_seconds) {
      const int m = span.Column(t);
      dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
      const gfx::Brush old_brush = dc.SelectBrush({gfx::BrushStyle::kSolid, kBlack});
      DrawTriangle(dc, left, m, rect_.top + 1, rect_.top + 4);
      DrawTriangle(dc, left, m, rect_.bottom - 2, rect_.bottom - 5);
      dc.SelectBrush(old_brush);
    }
  }
  dc.SelectPen(old_pen);
}

// ---------------------------------------------------------------------------------------------
// CEventTickArea

CEventTickArea::CEventTickArea(CViewAreaConfig* config, CZK470Doc* document, int variant)
    : CViewArea(config, document) {
  for (const LegendRow& row : LegendRowsOfVariant(variant))
    items_.push_back(
        std::make_unique<CEventTickItem>(document, row.code, row.blue ? kLegendLightBlue : kLegendWhite));
}

CEventTickArea::~CEventTickArea() {
  if (dragging_ && win::Windows().GetCapture() == host_) win::Windows().ReleaseCapture();
}

win::Window* CEventTickArea::GetCaliperWindow() const { return HostWindowOf(*this); }

int CEventTickArea::GetCursorColumn() const {
  return document_ != nullptr ? document_->GetViewFields().event_tick_column : 0;
}

std::optional<int> CEventTickArea::UpdateCursorColumn() {
  if (document_ == nullptr) return std::nullopt;
  const int64_t w = rect_.right - rect_.left;
  const int64_t span_seconds = (int64_t{document_->GetSpanEndMs()} - document_->GetSpanStartMs()) / 1000;
  int32_t& stored = document_->GetViewFields().event_tick_column;
  // An empty span or an area without two columns has no position to show.
  if (span_seconds <= 0 || w < 2) {
    stored = 0;
    return std::nullopt;
  }
  const int64_t seconds = (int64_t{document_->GetCurrentPosition()} - document_->GetSpanStartMs()) / 1000;
  stored = static_cast<int32_t>(seconds * (w - 1) / span_seconds);
  return stored;
}

void CEventTickArea::DrawPositionLine(gfx::Canvas& dc) {
  const int x = rect_.left + GetCursorColumn() + 1;
  const gfx::Rop2 old_rop = dc.SetROP2(gfx::Rop2::kNot);
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.MoveTo(x, rect_.top + 1);
  dc.LineTo(x, rect_.bottom - 1);
  dc.SelectPen(old_pen);
  dc.SetROP2(old_rop);
}

void CEventTickArea::RedrawPositionLine(gfx::Canvas& dc) {
  if (line_shown_) DrawPositionLine(dc);
  line_shown_ = UpdateCursorColumn().has_value();
  if (line_shown_) DrawPositionLine(dc);
}

void CEventTickArea::RedrawPositionLine() {
  if (win::Window* host = HostWindowOf(*this)) {
    win::ClientDc dc(*host);
    RedrawPositionLine(dc.Canvas());
  } else {
    UpdateCursorColumn();
  }
}

void CEventTickArea::SetPositionFromX(int x) {
  if (document_ == nullptr || x <= rect_.left || x >= rect_.right) return;
  const int w = rect_.right - rect_.left;
  if (w < 2) return;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t step = (int64_t{document_->GetSpanEndMs()} - start) / (w - 1);
  win::Window* host = HostWindowOf(*this);
  std::optional<win::ClientDc> dc;
  if (host != nullptr) dc.emplace(*host);
  if (dc && line_shown_) DrawPositionLine(dc->Canvas());
  document_->SetCurrentPosition(static_cast<int32_t>(step * (x - rect_.left) + start), 0);
  line_shown_ = UpdateCursorColumn().has_value();
  if (dc && line_shown_) DrawPositionLine(dc->Canvas());
}

void CEventTickArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  for (const auto& item : items_) item->Draw(dc);
  line_shown_ = UpdateCursorColumn().has_value();
  if (line_shown_) DrawPositionLine(dc);
  if (dragging_ && caliper_) caliper_->Track(dc, CCaliper::kRedraw);
}

void CEventTickArea::Send(int hint) {
  if (document_ != nullptr) document_->UpdateAllViews(nullptr, hint);
}

void CEventTickArea::SendMouseHint(int hint, unsigned flags, const gfx::Point& point) {
  TMouseHint mouse(flags, point.x, point.y);
  if (document_ != nullptr) document_->UpdateAllViews(nullptr, hint, &mouse);
}

int CEventTickArea::HandleCommand(uint32_t command, win::WParam wparam) {
  CZK470Doc& doc = *document_;
  bool moved = false;
  bool with_span = true;
  bool stored_extreme = false;
  switch (command) {
    case cmd::kPreviousEvent:
      moved = doc.GoToPreviousEvent();
      with_span = false;
      break;
    case cmd::kNextEvent:
      moved = doc.GoToNextEvent();
      with_span = false;
      break;
    case cmd::kGoToHRMin:
      moved = doc.GoToHRMin();
      break;
    case cmd::kGoToHRMax:
      moved = doc.GoToHRMax();
      break;
    case cmd::kGoToSinusHRMin:
      moved = doc.GoToSinusHRMin();
      break;
    case cmd::kGoToSinusHRMax:
      moved = doc.GoToSinusHRMax();
      break;
    case cmd::kGoToRRMin:
      moved = doc.GoToRRMin();
      stored_extreme = true;
      break;
    case cmd::kGoToRRMax:
      moved = doc.GoToRRMax();
      break;
    case kAreaGoToSTPosition:
      moved = doc.GoToSTPosition(static_cast<int>(wparam));
      break;
    case cmd::kGoToNNMin:
      moved = doc.GoToNNMin();
      stored_extreme = true;
      break;
    case cmd::kGoToNNMax:
      moved = doc.GoToNNMax();
      break;
    default:
      return 0;
  }
  // A go-to that finds nothing is still taken.
  if (!moved) return 1;
  if (with_span) {
    doc.AdjustTimeSpanToPosition(false);
    Send(hint::kSpanMoved);
  }
  RedrawPositionLine();
  Send(hint::kNavigationRebuild);
  if (stored_extreme) Send(hint::kExtremeShown);
  Send(hint::kEditsChanged);
  return 1;
}

int CEventTickArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (document_ == nullptr) return 0;
  const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
  const auto flags = static_cast<unsigned>(wparam);
  switch (msg) {
    case areamsg::kLeftButtonDown:
      if (point == nullptr || !rect_.Contains(*point)) return 0;
      host_ = HostWindowOf(*this);
      if (host_ != nullptr) host_->SetCapture();
      SetPositionFromX(point->x);
      if (caliper_) caliper_->OnMessage(win::kWmLButtonDown, flags, point);
      dragging_ = true;
      SendMouseHint(hint::kMouse1026, flags, *point);
      return 1;
    case areamsg::kMouseMove:
      if (!dragging_ || point == nullptr) return 0;
      SetPositionFromX(point->x);
      if (caliper_) caliper_->OnMessage(win::kWmMouseMove, flags, point);
      SendMouseHint(hint::kMouse1027, flags, *point);
      return 1;
    case areamsg::kLeftButtonUp: {
      if (!dragging_) return 0;
      const gfx::Point at = point != nullptr ? *point : gfx::Point{};
      win::Windows().ReleaseCapture();
      dragging_ = false;
      Send(hint::kPositionMoved);
      Send(hint::kEditsChanged);
      if (caliper_) caliper_->OnMessage(win::kWmLButtonUp, flags, &at);
      SendMouseHint(hint::kMouse1028, flags, at);
      return 1;
    }
    case areamsg::kPositionPaged:
    case areamsg::kPositionFromCursor:
      RedrawPositionLine();
      Send(hint::kPositionMoved);
      Send(hint::kEditsChanged);
      return 1;
    case areamsg::kLegendKind:
      if (!items_.empty()) items_.front()->SetCode(static_cast<int>(wparam));
      return 1;
    case kTakenQuietly:
      return 1;
    default:
      return HandleCommand(msg, wparam);
  }
}

void CEventTickArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (IsLegendRebuildHint(hint, object)) {
    InvalidateArea(*this, rect_);
  } else if (hint == hint::kCountsChanged) {
    const auto* counts = dynamic_cast<const TCountsHint*>(object);
    win::Window* host = HostWindowOf(*this);
    if (counts == nullptr) {
      InvalidateArea(*this, rect_);
    } else if (host != nullptr) {
      win::ClientDc dc(*host);
      if (line_shown_) DrawPositionLine(dc.Canvas());
      DrawMarkedItems(dc.Canvas(), items_, *counts);
      if (line_shown_) DrawPositionLine(dc.Canvas());
    }
  } else if (hint == hint::kArea20000 || hint == hint::kArea20003) {
    if (TakeListedKind(config_, items_)) InvalidateArea(*this, rect_);
  } else if (hint == hint::kArea1019) {
    RedrawPositionLine();
  } else if (hint == hint::kMouse1027 && !dragging_) {
    const auto* mouse = dynamic_cast<const TMouseHint*>(object);
    if (mouse == nullptr) return;
    if (mouse->key_flags != last_flags_ || mouse->x != last_x_ || mouse->y != last_y_) {
      RedrawPositionLine();
      last_flags_ = mouse->key_flags;
      last_x_ = mouse->x;
      last_y_ = mouse->y;
    }
  }
}

void CEventTickArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = HostWindowOf(*this);
  caliper_ = std::make_unique<CStripTimeCaliper>(this, document_, TimeAxisLocale());
  caliper_->OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
}

void CEventTickArea::OnLayout(int left, int top, int right, int bottom) {
  // The legend's list may announce its kind before this area exists; ask it.
  TakeListedKind(config_, items_);
  const std::vector<gfx::Rect> rows = LayOutLegendRows(rect_, static_cast<int>(items_.size()), document_);
  for (size_t i = 0; i < rows.size(); ++i) items_[i]->SetRect(rows[i]);
  UpdateCursorColumn();
}

std::unique_ptr<CViewArea> CEventTickAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CEventTickArea>(this, doc, variant_);
}
