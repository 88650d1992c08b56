#include "views/caption_areas.h"

#include <cstdint>
#include <string>

#include "common/time_formatter.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "gfx/recording_canvas.h"
#include "platform/locale.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/preset_font.h"
#include "win/window.h"

namespace {

constexpr gfx::Color kBlack = 0x000000;
constexpr gfx::Color kWhite = 0xFFFFFF;
constexpr uint32_t kLineCentred = gfx::kDtSingleLine | gfx::kDtVCenter;
constexpr int kMsPerHour = 3600000;
constexpr int kTickHeight = 5;

const platform::Locale* g_locale = nullptr;
[[maybe_unused]] const bool kLocaleReset =
    platform::RegisterProcessReset(platform::ProcessLayer::kViews, [] { g_locale = nullptr; });

std::string CaptionText() {
  std::string text = platform::LoadString(kCaptionStringId);
  return text.empty() ? std::string("Time of day") : text;
}

bool Rebuilds(int hint, const THintObject* object) {
  // A hint that names one example slot concerns that slot's areas only.
  return (object == nullptr && (hint == hint::kDocumentChanged || hint == hint::kSpanMoved));
}

void InvalidateArea(const CViewArea& area, const gfx::Rect& rect) {
  if (area.GetConfig() == nullptr) return;
  win::Window* window = area.GetConfig()->GetParentWindow();
  if (window != nullptr && window->IsWindow()) window->InvalidateRect(rect, true);
}

gfx::Rect Deflated(const gfx::Rect& r, int by) {
  return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

}  // namespace

const platform::Locale& TimeAxisLocale() {
  static const platform::SystemLocale system_locale;
  return g_locale != nullptr ? *g_locale : system_locale;
}

void SetTimeAxisLocale(const platform::Locale* locale) { g_locale = locale; }

// ---------------------------------------------------------------------------------------------
// Caption and beat count

void CCaptionArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(3));
  const gfx::Color old_bk = dc.SetBkColor(kWhite);
  gfx::Rect text = Deflated(rect_, 1);
  text.left += 23;
  dc.DrawText(CaptionText(), text, kLineCentred | gfx::kDtLeft);
  dc.SetBkColor(old_bk);
  dc.SelectFont(old_font);
}

std::unique_ptr<CViewArea> CCaptionAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CCaptionArea>(this, doc);
}

void CBeatCountArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_);
  if (document_ == nullptr) return;
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(3));
  gfx::Rect text = Deflated(rect_, 1);
  text.right -= 4;
  dc.DrawText(std::to_string(document_->GetQRSList().GetSize()), text, kLineCentred | gfx::kDtRight);
  dc.SelectFont(old_font);
}

void CBeatCountArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (Rebuilds(hint, object) || hint == hint::kCountsChanged || hint == hint::kNavigationRebuild)
    InvalidateArea(*this, rect_);
}

std::unique_ptr<CViewArea> CBeatCountAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBeatCountArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// Time axis

std::vector<TTimeAxisMark> BuildTimeAxisMarks(const TimeAxisSpan& span, int label_width,
                                              const TTimeFormatter& times,
                                              const std::function<std::string(int seconds)>& day_label_at) {
  std::vector<TTimeAxisMark> marks;
  const int w = span.width_px;
  const int length = span.length_minutes;
  // Nothing is defined on an empty span or axis: no pixels per second to place a mark with.
  if (w < 1 || length < 1) return marks;

  const int step_minutes = span.longer_than_day ? 20 : 10;
  const int steps_per_hour = span.longer_than_day ? 3 : 6;
  int label_hours = 1;
  if (span.longer_than_day) label_hours = times.UsesAmPm() ? 8 : 4;
  while (w < (length / 60 / label_hours) * label_width) label_hours *= 2;

  const int start_minute = ((span.start_clock_minute % 60) + 60) % 60;
  // The clock hour of the span start is not reduced to a day; the labels are.
  int hour = ((span.start_clock_hour % 24) + 24) % 24;
  int step = start_minute / step_minutes;
  const int phase = start_minute % step_minutes;
  const double pixels_per_second = static_cast<double>(w) / (static_cast<double>(length) * 60.0);
  bool seen_even_hour = !span.longer_than_day;
  int labelled_hours = 0;

  for (int offset = step_minutes - phase; offset < length + phase; offset += step_minutes) {
    TTimeAxisMark mark;
    mark.position = static_cast<int32_t>(pixels_per_second * offset * 60.0);
    ++step;
    if (step >= steps_per_hour) {
      step = 0;
      hour = hour == 23 ? 0 : hour + 1;
      mark.labelled = 1;
      if (!seen_even_hour && hour % 2 == 0) seen_even_hour = true;
      if (seen_even_hour) {
        if (labelled_hours % label_hours == 0) {
          const int at_seconds = span.start_ms / 1000 + offset * 60;
          mark.label = times.FormatHourLabel(hour * kMsPerHour, 1) + day_label_at(at_seconds);
        }
        ++labelled_hours;
      }
    }
    marks.push_back(std::move(mark));
  }
  return marks;
}

void CTimeAxisArea::RebuildMarks() {
  marks_.clear();
  if (document_ == nullptr) return;
  const TTimeFormatter times(TimeAxisLocale());
  TimeAxisSpan span;
  span.width_px = rect_.right - rect_.left;
  span.length_minutes = document_->GetSpanLength();
  span.start_ms = document_->GetSpanStartMs();
  span.start_clock_hour = document_->GetSpanStartClockHour();
  span.start_clock_minute = document_->GetSpanStartClockMinute();
  span.longer_than_day = document_->IsSpanLongerThanDay();

  const std::string sample =
      times.FormatHourLabel(10 * kMsPerHour, 1) + document_->GetDayLabelAt(span.start_ms / 1000);
  CPresetFont fonts;
  int label_width = 0;
  // Measured on the window's own canvas when it has one: the host's fonts decide what fits.
  win::Window* window = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (window != nullptr && window->IsWindow()) {
    win::ClientDc dc(*window);
    dc->SelectFont(*fonts.Select(3));
    label_width = dc->GetTextExtent(sample).cx;
  } else {
    gfx::RecordingCanvas dc;
    dc.SelectFont(*fonts.Select(3));
    label_width = dc.GetTextExtent(sample).cx;
  }
  const CZK470Doc* doc = document_;
  marks_ = BuildTimeAxisMarks(span, label_width, times,
                              [doc](int seconds) { return doc->GetDayLabelAt(seconds); });
}

void CTimeAxisArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
  const gfx::Pen thin{gfx::PenStyle::kSolid, 1, kBlack};
  const gfx::Pen thick{gfx::PenStyle::kSolid, 2, kBlack};
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(2));
  const gfx::Color old_text = dc.SetTextColor(kBlack);
  const gfx::Color old_bk = dc.SetBkColor(kWhite);
  const gfx::Pen old_pen = dc.SelectPen(thin);
  gfx::Rect text = Deflated(rect_, 1);
  text.top += 5;

  const bool longer = document_ != nullptr && document_->IsSpanLongerThanDay();
  int half_box = longer ? 40 : 20;
  if (TTimeFormatter(TimeAxisLocale()).UsesAmPm()) half_box += 10;
  for (const TTimeAxisMark& mark : marks_) {
    const int x = rect_.left + mark.position;
    dc.SelectPen(mark.labelled != 0 ? thick : thin);
    dc.MoveTo(x, rect_.top);
    dc.LineTo(x, rect_.top + kTickHeight);
    if (mark.labelled == 0 || mark.label.empty()) continue;
    gfx::Rect box{x - half_box, text.top, x + half_box, text.bottom};
    dc.DrawText(mark.label, box, kLineCentred | gfx::kDtCenter);
  }
  dc.SelectPen(old_pen);
  dc.SetBkColor(old_bk);
  dc.SetTextColor(old_text);
  dc.SelectFont(old_font);
}

int CTimeAxisArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != areamsg::kRowTimesChanged) return 0;
  RebuildMarks();
  InvalidateArea(*this, {rect_.left, rect_.top, rect_.right + 1, rect_.bottom});
  return 1;
}

void CTimeAxisArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (!Rebuilds(hint, object) && hint != hint::kPatientData) return;
  RebuildMarks();
  InvalidateArea(*this, {rect_.left, rect_.top, rect_.right + 1, rect_.bottom});
}

void CTimeAxisArea::OnLayout(int left, int top, int right, int bottom) { RebuildMarks(); }

std::unique_ptr<CViewArea> CTimeAxisAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CTimeAxisArea>(this, doc);
}
