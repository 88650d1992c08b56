#include "reports/print_hourly_bar_chart.h"

#include <algorithm>

#include "common/time_formatter.h"
#include "document/beat_class.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "trends/report_values.h"

namespace {

constexpr int kTickSpacing = 100;
constexpr int kTickLength = 10;
constexpr int kLabelRow = 200;

}  // namespace

TPrintBarChart::TPrintBarChart(CZK470Doc* doc, TReportValues* report_values, int left, int top, int right,
                               int bottom, int label_every_second)
    : TPrinter(0, doc, -1, report_values),
      left_(left),
      top_(top),
      right_(right),
      bottom_(bottom),
      label_every_second_(label_every_second) {
  am_pm_ = TTimeFormatter(PrintLocale()).UsesAmPm();
  long_span_ = doc != nullptr && doc->IsPrintSpanLongerThanDay();
  if (am_pm_) bottom_margin_ += kLabelRow;
  if (long_span_) bottom_margin_ += kLabelRow;
}

int TPrintBarChart::ScaleStep(int maximum) {
  if (maximum <= 10) return 1;
  if (maximum <= 200) return 10;
  if (maximum <= 400) return 20;
  if (maximum <= 800) return 40;
  if (maximum <= 1000) return 80;
  if (maximum <= 10000) return 100;
  return 1000;
}

int TPrintBarChart::ScaleSteps(int maximum) {
  const int step = ScaleStep(maximum);
  return (std::max(maximum, 0) + step - 1) / step;
}

int TPrintBarChart::LabelInterval() const {
  int interval = label_every_second_ != 0 ? 2 : 1;
  if (am_pm_) interval *= 2;
  if (long_span_) interval *= 2;
  return interval;
}

void TPrintBarChart::SetCounts(std::vector<int> counts) {
  counts_ = std::move(counts);
  const int largest = counts_.empty() ? 0 : std::max(0, *std::max_element(counts_.begin(), counts_.end()));
  maximum_ = (largest + 9) / 10 * 10;
  bars_.clear();
  const int hours = static_cast<int>(counts_.size());
  if (hours == 0) return;
  const int tenth = (right_ - left_ - kAxisWidth) / hours / 10;
  const int bar = tenth * (long_span_ ? 6 : 8);
  const int gap = tenth * (long_span_ ? 4 : 2);
  const int plot = PlotHeight();
  for (int i = 0; i < hours; ++i) {
    const int x = left_ + kAxisWidth + gap + i * (bar + gap);
    const int count = counts_[static_cast<size_t>(i)];
    const int height =
        maximum_ > 0 && count > 0 ? static_cast<int>(static_cast<int64_t>(count) * plot / maximum_) : 0;
    bars_.push_back({x, FrameBottom() - height, x + bar, FrameBottom()});
  }
}

void TPrintBarChart::Draw(gfx::Canvas& dc, win::CPrintInfo&) {
  DrawStep step(dc);
  const gfx::Brush brush = dc.GetBrush();
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  dc.SelectPen(medium_pen_);
  dc.SelectBrush({gfx::BrushStyle::kNull, 0xFFFFFF});
  Frame(dc, left_ + kAxisWidth, top_ + kTopMargin, right_, FrameBottom());
  DrawScale(dc);
  dc.SelectBrush(IsMonochromeJob() ? gfx::Brush{gfx::BrushStyle::kNull, 0xFFFFFF} : bar_brush_);
  for (const gfx::Rect& bar : bars_) Frame(dc, bar.left, bar.top, bar.right, bar.bottom);
  dc.SelectBrush(brush);
  DrawHourLabels(dc);

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  TextBox(dc, "[h]", right_, right_ + 300, FrameBottom(), bottom_, kCentredText);
  TextBox(dc, "[n]", left_, left_ + 900, top_ + 100, top_ + 500, kRightText);
}

void TPrintBarChart::DrawScale(gfx::Canvas& dc) {
  if (maximum_ <= 0) return;
  const int step = ScaleStep(maximum_);
  const int steps = ScaleSteps(maximum_);
  const int plot = PlotHeight();
  dc.SelectPen(thin_pen_);
  for (int k = 1; k < steps; ++k) {
    // The line of value k x step, in proportion as the bars are.
    const int y = FrameBottom() - static_cast<int>(static_cast<int64_t>(k) * step * plot / maximum_);
    for (int x = left_ + kAxisWidth; x <= right_; x += kTickSpacing) Line(dc, x, y, x, y - kTickLength);
    if (label_every_second_ != 0 && k % 2 == 0) continue;
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 6, 1);
    TextBox(dc, IntToText(k * step), left_, left_ + 900, y - 100, y + 100, kRightText);
    dc.SetMapMode(gfx::MapMode::kHiMetric);
  }
}

void TPrintBarChart::DrawHourLabels(gfx::Canvas& dc) {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  const TTimeFormatter formatter(PrintLocale());
  const int start_hour = doc->GetPrintSpanStartClockHour();
  const int interval = LabelInterval();
  for (size_t i = 0; i < bars_.size(); i += static_cast<size_t>(interval)) {
    const gfx::Rect& bar = bars_[i];
    const int hour_ms = (start_hour + static_cast<int>(i)) % 24 * 3600000;
    int row_top = FrameBottom();
    TextBox(dc, formatter.FormatHourLabel(hour_ms, 3), bar.left - 300, bar.right + 300, row_top,
            row_top + kLabelRow, kCentredText);
    if (am_pm_) {
      row_top += kLabelRow;
      TextBox(dc, formatter.FormatHourLabel(hour_ms, 4), bar.left - 300, bar.right + 300, row_top,
              row_top + kLabelRow, kCentredText);
    }
    if (long_span_) {
      row_top += kLabelRow;
      TextBox(dc, doc->GetDayLabel(static_cast<int>(i) / 24 + 1), bar.left - 300, bar.right + 300, row_top,
              row_top + kLabelRow, kCentredText);
    }
  }
}

TPrintHourlyBarChart::TPrintHourlyBarChart(CZK470Doc* doc, TReportValues* report_values, int kind, int left,
                                           int top, int right, int bottom, int no_title,
                                           int label_every_second)
    : TPrintBarChart(doc, report_values, left, top, right, bottom, label_every_second),
      no_title_(no_title),
      kind_(kind) {
  Build();
}

void TPrintHourlyBarChart::Build() {
  TReportValues* values = ReportValues();
  const CZK470Doc* doc = Document();
  if (values == nullptr || doc == nullptr) return;
  if (kind_ == kClassNormal || kind_ == kClassArtefact || kind_ == kClassSVES || kind_ == kClassVES)
    values->CountBeatsPerHour(kind_);
  else
    values->CountEventsPerHour(kind_);
  const int whole_hours = doc->GetRecordingMinutes() / 60;
  // The report values count no further than three days.
  const int hours = std::min(whole_hours > 23 ? whole_hours : 24, kMaxHours);
  std::vector<int> counts(static_cast<size_t>(hours));
  for (int hour = 0; hour < hours; ++hour) counts[static_cast<size_t>(hour)] = values->GetHourCount(hour);
  SetCounts(std::move(counts));
}

void TPrintHourlyBarChart::Draw(gfx::Canvas& dc, win::CPrintInfo& info) {
  bar_brush_ = {gfx::BrushStyle::kSolid, IsMonochromeJob() ? 0xFFFFFF : CodeColour(kind_)};
  TPrintBarChart::Draw(dc, info);
  if (no_title_ != 0 || Document() == nullptr) return;
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 0);
  TextBox(dc, Document()->GetKindName(kind_), left_ + kAxisWidth, right_, top_, top_ + kTopMargin,
          kCentredText);
}
