#include "trends/hrv_chart_area.h"

#include <algorithm>
#include <cmath>

#include "common/time_formatter.h"
#include "document/heart_rate_trend.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "gfx/recording_canvas.h"
#include "layouts/legend_items.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "trends/hrv_statistics.h"
#include "trends/hrv_table_area.h"
#include "trends/hrv_trend_window.h"
#include "views/area_messages.h"
#include "views/caption_areas.h"
#include "views/preset_font.h"

namespace {

constexpr gfx::Color kBlack = 0x000000;
constexpr int64_t kMsPerHour = 3'600'000;
constexpr int kTickLength = 5;

int Nearest(double value) { return static_cast<int>(value + 0.5); }

// The recording's start as seconds of its day.
int StartSecondOfDay(const CZK470Doc& doc) {
  const double days = doc.GetRecordingData().start_time.days;
  return static_cast<int>(std::llround((days - std::floor(days)) * 86400.0)) % 86400;
}

int64_t RecordingMs(const CZK470Doc* doc) {
  return doc != nullptr ? int64_t{doc->GetRecordingMinutes()} * 60'000 : 0;
}

}  // namespace

std::vector<TTimeAxisMark> BuildHRVTimeAxis(const HRVTimeAxisSpan& span, int label_width,
                                            const TTimeFormatter& times,
                                            const std::function<std::string(int seconds)>& day_label_at) {
  std::vector<TTimeAxisMark> marks;
  const int64_t range_ms = span.visible_end_ms - span.visible_start_ms;
  const int64_t range_seconds = range_ms / 1000;
  if (range_seconds <= 0 || span.plot_width < 1) return marks;

  const bool two_days = range_ms / 86'400'000 > 1;
  const int step_minutes = two_days ? 20 : 10;
  const int steps_per_hour = two_days ? 3 : 6;
  int label_hours = 1;
  if (two_days) label_hours = times.UsesAmPm() ? 8 : 4;
  const int64_t range_hours = range_ms / kMsPerHour;
  while (label_hours < 1 << 20 && label_width * (range_hours / label_hours) > span.area_width)
    label_hours *= 2;

  // The clock at the visible start; its seconds do not move the marks.
  const int64_t clock_seconds = (span.start_clock_seconds + span.visible_start_ms / 1000) % 86400;
  int hour = static_cast<int>(clock_seconds / 3600);
  const int minute = static_cast<int>(clock_seconds / 60 % 60);
  int step = minute / step_minutes;
  const int phase = minute % step_minutes;
  bool seen_even_hour = label_hours == 1;
  int labelled_hours = 0;
  for (int64_t offset_minutes = step_minutes - phase; offset_minutes * 60 <= range_seconds;
       offset_minutes += step_minutes) {
    TTimeAxisMark mark;
    const int64_t offset_seconds = offset_minutes * 60;
    mark.position =
        static_cast<int32_t>(static_cast<double>(span.plot_width) / static_cast<double>(range_seconds) *
                             static_cast<double>(offset_seconds));
    if (++step >= steps_per_hour) {
      step = 0;
      hour = (hour + 1) % 24;
      mark.labelled = 1;
      if (!seen_even_hour && hour % 2 == 0) seen_even_hour = true;
      if (seen_even_hour) {
        if (labelled_hours % label_hours == 0)
          mark.label = times.FormatHourLabel(static_cast<int>(hour * kMsPerHour), 1) +
                       day_label_at(static_cast<int>(span.visible_start_ms / 1000 + offset_seconds));
        ++labelled_hours;
      }
    }
    marks.push_back(std::move(mark));
  }
  return marks;
}

CHRVChartArea::CHRVChartArea(CViewAreaConfig* config, CZK470Doc* document, int title_string, int plot_bottom)
    : CViewArea(config, document),
      plot_bottom_margin_(plot_bottom),
      title_(platform::LoadString(title_string)) {}

CHRVChartArea::~CHRVChartArea() { EndDrag(); }

win::Window* CHRVChartArea::GetCaliperWindow() const { return HostWindowOf(*this); }

int CHRVChartArea::GetCursorColumn() const { return document_ != nullptr ? document_->GetHRVCursorX() : 0; }

THRVStatistics* CHRVChartArea::GetStatistics() const {
  return table_ != nullptr ? table_->GetStatistics() : nullptr;
}

int64_t CHRVChartArea::VisibleStartMs() const {
  const CHRVTrendWnd* window = CHRVTrendWnd::Current();
  return window != nullptr ? window->GetVisibleStart() : 0;
}

int64_t CHRVChartArea::VisibleEndMs() const {
  const CHRVTrendWnd* window = CHRVTrendWnd::Current();
  return window != nullptr ? window->GetVisibleEnd() : RecordingMs(document_);
}

double CHRVChartArea::SampleRate() const {
  return document_ != nullptr ? document_->GetSampleRate() : CZK470Doc::kDefaultSampleRate;
}

int64_t CHRVChartArea::VisibleStartSamples() const {
  return static_cast<int64_t>(static_cast<double>(VisibleStartMs()) * 0.001 * SampleRate());
}

int64_t CHRVChartArea::VisibleEndSamples() const {
  return static_cast<int64_t>(static_cast<double>(VisibleEndMs()) * 0.001 * SampleRate());
}

int CHRVChartArea::XOfSample(int64_t position) const {
  const double seconds = static_cast<double>(VisibleEndMs() - VisibleStartMs()) / 1000.0;
  if (seconds <= 0.0) return 0;
  return Nearest(static_cast<double>(position - VisibleStartSamples()) / SampleRate() * plot_.Width() /
                 seconds);
}

int CHRVChartArea::YOfFraction(double fraction) const {
  return plot_.bottom - Nearest(fraction * plot_.Height());
}

int CHRVChartArea::ScaleStep() const {
  return document_ != nullptr ? std::clamp(document_->GetHRVScaleStep(), 0, CHRVTrendWnd::kMaxScaleStep) : 0;
}

int CHRVChartArea::ZoomLevel() const {
  return document_ != nullptr ? std::clamp(document_->GetHRVZoomLevel(), 0, CHRVTrendWnd::kMaxZoom) : 0;
}

void CHRVChartArea::Line(gfx::Canvas& dc, int x0, int y0, int x1, int y1) {
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
}

void CHRVChartArea::DrawGridLevel(gfx::Canvas& dc, int y) {
  const gfx::Pen old = dc.SelectPen({gfx::PenStyle::kDot, 1, kGridGrey});
  Line(dc, plot_.left, y, plot_.right, y);
  dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  Line(dc, plot_.left - kTickLength, y, plot_.left, y);
  dc.SelectPen(old);
}

void CHRVChartArea::DrawYLabel(gfx::Canvas& dc, int y, const std::string& text) {
  CPresetFont fonts;
  const gfx::Font old = dc.SelectFont(*fonts.Select(2));
  gfx::Rect box{plot_.left - 50, y - 10, plot_.left - 8, y + 10};
  dc.DrawText(text, box, gfx::kDtRight | gfx::kDtVCenter | gfx::kDtSingleLine);
  dc.SelectFont(old);
}

void CHRVChartArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  table_ = nullptr;
  if (config_ != nullptr && config_->GetRoot() != nullptr)
    config_->GetRoot()->BroadcastUntilHandled(kFindHRVTableArea, 0, reinterpret_cast<win::LParam>(&table_));
  ComputeCursorX();
  if (document_ == nullptr) return;
  caliper_ = std::make_unique<CHRVTrendCaliper>(this, document_, TimeAxisLocale());
  caliper_->OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
}

void CHRVChartArea::OnLayout(int left, int top, int right, int bottom) {
  full_ = rect_;
  plot_ = {left + kPlotLeft, top + kPlotTop, right - kPlotRight, bottom - plot_bottom_margin_};
  ComputeCursorX();
  BuildTimeAxis();
}

bool CHRVChartArea::ComputeCursorX() {
  cursor_valid_ = false;
  if (document_ == nullptr) return false;
  const int64_t start = VisibleStartMs();
  const int64_t range_seconds = (VisibleEndMs() - start) / 1000;
  const int width = plot_.Width();
  // Without two columns or a second to spread over there is no x: the last one stays.
  if (width < 2 || range_seconds <= 0) return false;
  const int64_t x = (int64_t{document_->GetCurrentPosition()} - start) / 1000 * (width - 1) / range_seconds;
  document_->SetHRVCursorX(static_cast<int>(x));
  cursor_valid_ = true;
  return true;
}

void CHRVChartArea::DrawCursor(gfx::Canvas& dc) {
  if (!cursor_valid_ || document_ == nullptr) return;
  const int x = plot_.left + document_->GetHRVCursorX() + 1;
  const gfx::Pen old = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  Line(dc, x, plot_.top, x, plot_.bottom + cursor_bottom_extra_);
  dc.SelectPen(old);
  drawn_x_ = x;
}

void CHRVChartArea::MoveCursor(gfx::Canvas& dc) {
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNot);
  if (drawn_x_) {
    const int x = *drawn_x_;
    Line(dc, x, plot_.top, x, plot_.bottom + cursor_bottom_extra_);
    drawn_x_.reset();
  }
  if (ComputeCursorX()) DrawCursor(dc);
  dc.SetROP2(old);
}

void CHRVChartArea::MoveCursorOnWindow() {
  win::Window* host = HostWindowOf(*this);
  if (host == nullptr || !host->IsWindow()) {
    ComputeCursorX();
    return;
  }
  win::ClientDc dc(*host);
  MoveCursor(dc.Canvas());
}

void CHRVChartArea::SetCursorAt(gfx::Point point) {
  if (document_ == nullptr || point.x <= plot_.left || point.x >= plot_.right) return;
  const int64_t start = VisibleStartMs();
  const int width = plot_.Width();
  // No pixel or no second to spread: the position stays.
  if (width < 2 || (VisibleEndMs() - start) / 1000 <= 0) return;
  const int64_t ms_per_pixel = (VisibleEndMs() - start) / (width - 1);
  document_->SetCurrentPosition(static_cast<int32_t>(ms_per_pixel * (point.x - plot_.left) + start), 0);
  if (drag_dc_)
    MoveCursor(drag_dc_->Canvas());
  else
    ComputeCursorX();
}

void CHRVChartArea::Rebuild() {
  BuildTimeAxis();
  InvalidateArea(*this, {rect_.left - 1, rect_.top, rect_.right, rect_.bottom});
}

void CHRVChartArea::BuildTimeAxis() {
  marks_.clear();
  if (document_ == nullptr) return;
  const TTimeFormatter times(TimeAxisLocale());
  HRVTimeAxisSpan span;
  span.visible_start_ms = VisibleStartMs();
  span.visible_end_ms = VisibleEndMs();
  span.plot_width = plot_.Width();
  span.area_width = rect_.Width();
  span.start_clock_seconds = StartSecondOfDay(*document_);
  two_day_labels_ = (span.visible_end_ms - span.visible_start_ms) / 86'400'000 > 1;
  const std::string sample = times.FormatHourLabel(static_cast<int>(10 * kMsPerHour), 1) +
                             document_->GetDayLabelAt(static_cast<int>(span.visible_start_ms / 1000));
  CPresetFont fonts;
  int label_width = 0;
  // Measured on the window's own canvas when it has one: the host's fonts decide what fits.
  win::Window* window = HostWindowOf(*this);
  if (window != nullptr && window->IsWindow()) {
    win::ClientDc dc(*window);
    dc->SelectFont(*fonts.Select(2));
    label_width = dc->GetTextExtent(sample).cx;
  } else {
    gfx::RecordingCanvas dc;
    dc.SelectFont(*fonts.Select(2));
    label_width = dc.GetTextExtent(sample).cx;
  }
  const CZK470Doc* doc = document_;
  marks_ =
      BuildHRVTimeAxis(span, label_width, times, [doc](int seconds) { return doc->GetDayLabelAt(seconds); });
}

void CHRVChartArea::DrawFrame(gfx::Canvas& dc) {
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  const gfx::Brush old_brush = dc.SelectBrush({gfx::BrushStyle::kSolid, 0xFFFFFF});
  dc.Rectangle(rect_.left - 1, rect_.top, rect_.right, rect_.bottom);
  dc.SelectBrush(old_brush);

  // The HRV time window of every day, where it reaches into the visible range.
  const THRVStatistics* statistics = GetStatistics();
  const int64_t start = VisibleStartMs();
  const int64_t end = VisibleEndMs();
  const int64_t width = end - start;
  if (statistics != nullptr && document_ != nullptr && width > 0) {
    const auto x_of = [&](int64_t ms) {
      const int64_t x = plot_.left + (ms - start) * plot_.Width() / width + 1;
      return static_cast<int>(std::clamp<int64_t>(x, plot_.left + 1, plot_.right));
    };
    for (int k = 0; k < std::min(document_->GetDayCount(), THRVStatistics::kMaxDays); ++k) {
      const int64_t begin_ms = statistics->GetWindowBeginMs(k);
      const int64_t end_ms = statistics->GetWindowEndMs(k);
      if (begin_ms < 0 || end_ms <= begin_ms) continue;
      const bool begin_inside = begin_ms > start && begin_ms < end;
      const bool end_inside = end_ms > start && end_ms < end;
      // A range wholly inside the window is shaded too.
      const bool covers = begin_ms <= start && end_ms >= end;
      if (!begin_inside && !end_inside && !covers) continue;
      const int x0 = begin_inside ? x_of(begin_ms) : plot_.left + 1;
      const int x1 = end_inside ? x_of(end_ms) : plot_.right;
      if (x1 > x0) dc.FillSolidRect({x0, plot_.top, x1, plot_.bottom}, kWindowShade);
    }
  }

  Line(dc, plot_.left, plot_.top, plot_.left, plot_.bottom);
  Line(dc, plot_.left, plot_.bottom, plot_.right, plot_.bottom);

  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(3));
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  gfx::Rect title{plot_.left + 10, plot_.top - 20, plot_.right, plot_.top};
  dc.DrawText(title_, title, gfx::kDtLeft | gfx::kDtSingleLine | gfx::kDtVCenter);

  dc.SelectFont(*fonts.Select(2));
  const int half_box = two_day_labels_ ? 40 : 20;
  for (const TTimeAxisMark& mark : marks_) {
    const int x = plot_.left + mark.position;
    if (mark.labelled == 0) {
      Line(dc, x, plot_.bottom, x, plot_.bottom + kTickLength);
      continue;
    }
    dc.SelectPen({gfx::PenStyle::kSolid, 2, kBlack});
    Line(dc, x, plot_.bottom + 1, x, plot_.bottom + kTickLength);
    dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
    if (mark.label.empty()) continue;
    gfx::Rect box{x - half_box, plot_.bottom + kTickLength, x + half_box, rect_.bottom};
    dc.DrawText(mark.label, box, gfx::kDtCenter | gfx::kDtSingleLine | gfx::kDtTop | gfx::kDtNoClip);
  }
  dc.SetBkMode(old_mode);
  dc.SelectFont(old_font);
  dc.SelectPen(old_pen);
}

void CHRVChartArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  DrawFrame(dc);
  DrawData(dc);
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNot);
  drawn_x_.reset();
  if (ComputeCursorX()) DrawCursor(dc);
  dc.SetROP2(old);
  if (dragging_ && caliper_) caliper_->Track(dc, CCaliper::kRedraw);
}

void CHRVChartArea::StartDrag() {
  capture_window_ = HostWindowOf(*this);
  if (capture_window_ == nullptr || !capture_window_->IsWindow()) return;
  capture_window_->SetCapture();
  drag_dc_.emplace(*capture_window_);
}

void CHRVChartArea::EndDrag() {
  drag_dc_.reset();
  if (dragging_ && capture_window_ != nullptr && win::Windows().GetCapture() == capture_window_)
    win::Windows().ReleaseCapture();
  dragging_ = false;
}

int CHRVChartArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (document_ == nullptr) return 0;
  const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
  const auto flags = static_cast<unsigned>(wparam);
  switch (msg) {
    case areamsg::kLeftButtonDown: {
      if (point == nullptr || !rect_.Contains(*point)) return 0;
      StartDrag();
      if (caliper_) caliper_->OnMessage(win::kWmLButtonDown, flags, point);
      SetCursorAt(*point);
      dragging_ = drag_dc_.has_value();
      TMouseHint mouse(flags, point->x, point->y);
      document_->UpdateAllViews(nullptr, hint::kMouse1026, &mouse);
      return 1;
    }
    case areamsg::kMouseMove: {
      if (!dragging_ || point == nullptr || point->x <= plot_.left || point->x >= plot_.right) return 0;
      if (caliper_) caliper_->OnMessage(win::kWmMouseMove, flags, point);
      SetCursorAt(*point);
      TMouseHint mouse(flags, point->x, point->y);
      document_->UpdateAllViews(nullptr, hint::kMouse1027, &mouse);
      return 1;
    }
    case areamsg::kLeftButtonUp: {
      if (!dragging_) return 0;
      const gfx::Point at = point != nullptr ? *point : gfx::Point{};
      EndDrag();
      document_->UpdateAllViews(nullptr, hint::kPositionMoved);
      if (caliper_) caliper_->OnMessage(win::kWmLButtonUp, flags, &at);
      TMouseHint mouse(flags, at.x, at.y);
      document_->UpdateAllViews(nullptr, hint::kMouse1028, &mouse);
      return 1;
    }
    case areamsg::kPositionPaged:
    case areamsg::kPositionFromCursor:
      MoveCursorOnWindow();
      document_->UpdateAllViews(nullptr, hint::kPositionMoved);
      return 1;
    default:
      return Jump(msg, wparam) ? 1 : 0;
  }
}

bool CHRVChartArea::Jump(uint32_t msg, win::WParam wparam) {
  switch (static_cast<int>(msg)) {
    case cmd::kGoToHRMin:
    case cmd::kGoToHRMax:
    case cmd::kGoToSinusHRMin:
    case cmd::kGoToSinusHRMax:
    case cmd::kGoToRRMin:
    case cmd::kGoToRRMax:
    case cmd::kGoToNNMin:
    case cmd::kGoToNNMax:
    case static_cast<int>(kHRVGoToSTPosition):
    case CHRVTrendWnd::kCmdNextLongerNN:
    case CHRVTrendWnd::kCmdNextShorterNN:
      break;
    default:
      return false;
  }
  CHRVTrendWnd* window = CHRVTrendWnd::Current();
  if (window != nullptr && window->IsHandled()) {
    // Another chart carried the jump out: this one only follows.
    if (jumps_move_cursor_) MoveCursorOnWindow();
    return true;
  }
  CZK470Doc& doc = *document_;
  const TQRSList& beats = doc.GetQRSList();
  const auto interval_after = [&beats](int b) {
    return b >= 0 && b + 1 < beats.GetSize() ? beats.GetAt(b + 1).GetPosition() - beats.GetAt(b).GetPosition()
                                             : 0;
  };
  bool moved = false;
  int search_beat = -1;
  switch (static_cast<int>(msg)) {
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
      search_beat = doc.GetRRMinBeat();
      break;
    case cmd::kGoToRRMax:
      moved = doc.GoToRRMax();
      search_beat = doc.GetRRMaxBeat();
      break;
    case cmd::kGoToNNMin:
    case cmd::kGoToNNMax:
      if (window != nullptr && window->GetTrend() != nullptr) window->GetTrend()->ResetVisited();
      moved = msg == cmd::kGoToNNMin ? doc.GoToNNMin() : doc.GoToNNMax();
      search_beat = msg == cmd::kGoToNNMin ? doc.GetNNMinBeat() : doc.GetNNMaxBeat();
      break;
    case static_cast<int>(kHRVGoToSTPosition):
      moved = doc.GoToSTPosition(static_cast<int>(wparam));
      break;
    default: {
      if (window == nullptr || window->GetTrend() == nullptr) break;
      THeartRateTrend& trend = *window->GetTrend();
      const int b = msg == CHRVTrendWnd::kCmdNextLongerNN
                        ? trend.FindNextLongerNN(window->GetSearchInterval(), window->GetSearchBeat())
                        : trend.FindNextShorterNN(window->GetSearchInterval(), window->GetSearchBeat());
      if (b < 0) break;
      window->SetSearch(interval_after(b), b);
      doc.SetCurrentPosition(static_cast<int32_t>(beats.GetAt(b).GetPosition() / SampleRate() * 1000.0), 0);
      moved = true;
      break;
    }
  }
  if (moved && search_beat >= 0 && window != nullptr)
    window->SetSearch(interval_after(search_beat), search_beat);
  if (window != nullptr) window->SetHandled(true);
  if (!moved) return true;

  if (jumps_move_cursor_) {
    const int64_t position = doc.GetCurrentPosition();
    if (window != nullptr && (position < window->GetVisibleStart() || position > window->GetVisibleEnd())) {
      window->ComputeVisibleRange();
      doc.UpdateAllViews(nullptr, hint::kHrv3468);
    }
    MoveCursorOnWindow();
  }
  doc.UpdateAllViews(nullptr, hint::kNavigationRebuild);
  if (msg == cmd::kGoToRRMin || msg == cmd::kGoToNNMin) doc.UpdateAllViews(nullptr, hint::kExtremeShown);
  return true;
}

void CHRVChartArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  switch (hint_number) {
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      if (object == nullptr) Rebuild();
      break;
    case hint::kPatientData:
      BuildTimeAxis();
      InvalidateArea(*this, {rect_.left - 1, rect_.top, rect_.right, rect_.bottom});
      break;
    case hint::kMouse1026:
    case hint::kMouse1027:
    case hint::kMouse1028: {
      if (dragging_) break;
      const auto* mouse = dynamic_cast<const TMouseHint*>(object);
      const bool same =
          mouse != nullptr && mouse->key_flags == last_flags_ && mouse->x == last_x_ && mouse->y == last_y_;
      if (hint_number == hint::kMouse1027 && same) break;
      MoveCursorOnWindow();
      if (mouse != nullptr) {
        last_flags_ = mouse->key_flags;
        last_x_ = mouse->x;
        last_y_ = mouse->y;
      }
      break;
    }
    case hint::kEditsChanged:
      MoveCursorOnWindow();
      break;
    case hint::kHrv3468:
      ComputeCursorX();
      BuildTimeAxis();
      Rebuild();
      break;
    case hint::kTrend22224:
      Rebuild();
      break;
    case hint::kTrend22222:
      ComputeCursorX();
      Rebuild();
      break;
    default:
      break;
  }
}

std::unique_ptr<CViewArea> CHRVChartAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CHRVChartArea>(this, doc, 0);
}
