#include "reports/print_time_axis.h"

#include <cmath>
#include <cstdint>

#include "common/time_formatter.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"

TPrintTimeAxis::TPrintTimeAxis(CZK470Doc* doc, int x, int y, int width, int height)
    : TPrinter(0, doc, -1, nullptr), x_(x), y_(y), width_(width), height_(height) {}

TPrintTimeAxis::~TPrintTimeAxis() = default;

void TPrintTimeAxis::Draw(gfx::Canvas& dc, win::CPrintInfo&) {
  BuildMarks();
  DrawMarks(dc);
}

void TPrintTimeAxis::BuildMarks() {
  marks_.clear();
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  int hour = doc->GetPrintSpanStartClockHour();
  const int minute = doc->GetPrintSpanStartClockMinute();
  const int64_t span_seconds = static_cast<int64_t>(doc->GetPrintSpanLength()) * 60;
  // An empty span has no scale: the owner's frame stays without marks.
  if (span_seconds <= 0 || width_ <= 0) return;
  const bool long_span = doc->IsPrintSpanLongerThanDay();
  const TTimeFormatter times(PrintLocale());

  const int step_minutes = long_span ? 20 : 10;
  const int marks_per_hour = long_span ? 3 : 6;
  int k = minute / step_minutes;
  const int rest = minute - k * step_minutes;
  const int64_t first = static_cast<int64_t>(step_minutes - rest) * 60;
  const int label_hours = !long_span ? 2 : (times.UsesAmPm() ? 8 : 4);
  int counter = -1;
  const double scale = static_cast<double>(width_) / static_cast<double>(span_seconds);
  const int64_t start_seconds = static_cast<int64_t>(doc->GetPrintSpanStartMinute()) * 60;

  for (int64_t t = first; t < span_seconds + 60 * rest; t += 60 * step_minutes) {
    TTimeAxisMark mark;
    mark.position = static_cast<int32_t>(std::trunc(scale * static_cast<double>(t)));
    ++k;
    if (k >= marks_per_hour) {
      hour = (hour + 1) % 24;
      k = 0;
      mark.labelled = 1;
      if (counter == -1 && hour % 2 == 0) counter = 0;
      if (counter != -1) {
        if (counter % label_hours == 0) {
          mark.label = times.FormatHourLabel(hour * 3600 * 1000, 1) +
                       doc->GetDayLabelAt(static_cast<int>(t + start_seconds));
        }
        ++counter;
      }
    }
    marks_.push_back(std::move(mark));
  }
}

void TPrintTimeAxis::DrawMarks(gfx::Canvas& dc) {
  DrawStep step(dc);
  const CZK470Doc* doc = Document();
  const bool long_span = doc != nullptr && doc->IsPrintSpanLongerThanDay();
  const bool am_pm = TTimeFormatter(PrintLocale()).UsesAmPm();
  const int half_label = (long_span ? 400 : 200) + (am_pm ? 200 : 0);
  for (const TTimeAxisMark& mark : marks_) {
    if (mark.position > width_) continue;
    const int x = x_ + mark.position;
    if (mark.labelled == 0) {
      dc.SelectPen(medium_pen_);
      Line(dc, x, y_, x, y_ + 150);
      continue;
    }
    dc.SelectPen(thick_pen_);
    Line(dc, x, y_, x, y_ + 170);
    if (mark.label.empty()) continue;
    const gfx::Font previous = dc.GetFont();
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 6, 1);
    TextBox(dc, mark.label, x - half_label, x + half_label, y_ + 150, y_ + height_, kCentredText);
    dc.SelectFont(previous);
    dc.SetMapMode(gfx::MapMode::kHiMetric);
  }
}
