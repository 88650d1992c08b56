#include "reports/print_hr_trend_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "document/heart_rate_trend.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "reports/print_time_axis.h"
#include "reports/report_part_resources.h"
#include "win/window.h"

namespace {

constexpr int kPlotLeft = 2650;
constexpr int kNoMinimum = 500;

// The wait cursor belongs to the user-interface thread; the PDF export draws on its worker.
class WaitCursor {
 public:
  explicit WaitCursor(bool show) : show_(show) {
    if (show_) win::Windows().BeginWaitCursor();
  }
  ~WaitCursor() {
    if (show_) win::Windows().EndWaitCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool show_;
};

}  // namespace

TPrintHRTrendChart::TPrintHRTrendChart(CZK470Doc* doc, int x, int y, int width, int height)
    : TPrinter(0, doc, -1, nullptr), x_(x), y_(y), width_(width), height_(height) {
  max_curve_.reserve(kMaxPoints);
  mean_curve_.reserve(kMaxPoints);
  min_curve_.reserve(kMaxPoints);
}

TPrintHRTrendChart::~TPrintHRTrendChart() = default;

void TPrintHRTrendChart::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (needs_computing_ != 0) {
    Compute(page - 1);
    needs_computing_ = 0;
  }
  DrawFrame(dc, info);
}

void TPrintHRTrendChart::Compute(int day) {
  plot_columns_ = width_ - 4150;
  CZK470Doc* doc = Document();
  if (doc == nullptr || doc->GetQRSList().GetSize() <= doc->GetHRAverageBeats()) return;

  const WaitCursor wait(!IsPdfExport());
  int lowest = 0;
  int highest = 0;
  {
    const auto trend = std::make_unique<THeartRateTrend>(*doc);
    bin_count_ = std::clamp(trend->Compute(doc->GetHRTrendAverage()), 0, THeartRateTrend::kMaxBins);
    bin_min_.resize(static_cast<size_t>(bin_count_));
    bin_mean_.resize(static_cast<size_t>(bin_count_));
    bin_max_.resize(static_cast<size_t>(bin_count_));
    for (int i = 0; i < bin_count_; ++i) {
      bin_min_[static_cast<size_t>(i)] = trend->GetBinMin(i);
      bin_mean_[static_cast<size_t>(i)] = trend->GetBinMean(i);
      bin_max_[static_cast<size_t>(i)] = trend->GetBinMax(i);
    }
    lowest = trend->HRMin().value;
    highest = trend->HRMax().value;
  }
  scale_bottom_ = lowest / 10 * 10;
  scale_top_ = (highest / 10 + 1) * 10;
  scale_range_ = scale_top_ - scale_bottom_;
  if (scale_range_ <= 20) {
    scale_bottom_ -= 10;
    scale_top_ += 10;
    scale_range_ += 20;
  }
  // Bins without beats lie on the bottom line.
  for (std::vector<int>* bins : {&bin_min_, &bin_mean_, &bin_max_})
    for (int& value : *bins) value = std::max(value, scale_bottom_);
  BuildPolylines(day);
}

void TPrintHRTrendChart::BuildPolylines(int day) {
  const CZK470Doc* doc = Document();
  max_curve_.clear();
  mean_curve_.clear();
  min_curve_.clear();
  point_count_ = 0;
  const int bin_seconds = doc->GetHRTrendAverage();
  if (bin_seconds <= 0 || plot_columns_ <= 0 || scale_range_ < 10) return;

  // The points are device coordinates of the page; the chart's own offsets come with its frame.
  const int saved_x = GetXOffset();
  const int saved_y = GetYOffset();
  SetOffset(0, 0);
  const int plot_left = x_ + kPlotLeft;
  const int base_line = y_ + PlotHeight();
  const double factor = static_cast<double>(PlotHeight()) / (scale_range_ / 10);
  const auto rate_y = [&](int rate) {
    return YToPage(base_line - static_cast<int>(std::trunc((rate - scale_bottom_) * factor * 0.1)));
  };

  int first = 0;
  int count = bin_count_;
  if (!doc->IsPrintSpanLongerThanDay()) {
    first = static_cast<int>(static_cast<int64_t>(day) * 86400 / bin_seconds);
    count = static_cast<int>(static_cast<int64_t>(doc->GetMinutesInDay(day)) * 60 / bin_seconds);
  }
  // Only bins the calculator delivered.
  first = std::clamp(first, 0, bin_count_);
  count = std::clamp(count, 0, bin_count_ - first);
  const auto bin = [&](const std::vector<int>& values, int index) {
    return values[static_cast<size_t>(first + index)];
  };

  if (count < plot_columns_) {
    for (int i = 0; i < count; ++i) {
      // A single bin has no spread to share out: it stands at the left edge.
      const int column =
          count > 1 ? static_cast<int>(static_cast<int64_t>(i) * plot_columns_ / (count - 1)) : 0;
      const int x = XToPage(plot_left + column);
      max_curve_.push_back({x, rate_y(bin(bin_max_, i))});
      mean_curve_.push_back({x, rate_y(bin(bin_mean_, i))});
      min_curve_.push_back({x, rate_y(bin(bin_min_, i))});
    }
  } else {
    int64_t carry = count;
    int next = 0;
    for (int c = 0; c < plot_columns_; ++c) {
      const int n = static_cast<int>(carry / plot_columns_);
      carry = carry % plot_columns_ + count;
      int maximum = 0;
      int minimum = kNoMinimum;
      int64_t sum = 0;
      int taken = 0;
      for (int j = 0; j < n && next < count; ++j, ++next, ++taken) {
        maximum = std::max(maximum, bin(bin_max_, next));
        minimum = std::min(minimum, bin(bin_min_, next));
        sum += bin(bin_mean_, next);
      }
      const int mean = taken > 0 ? static_cast<int>(sum / taken) : scale_bottom_;
      const int x = XToPage(plot_left + c);
      max_curve_.push_back({x, rate_y(taken > 0 ? maximum : scale_bottom_)});
      mean_curve_.push_back({x, rate_y(mean)});
      min_curve_.push_back({x, rate_y(taken > 0 ? minimum : scale_bottom_)});
    }
  }
  point_count_ = static_cast<int>(max_curve_.size());
  SetOffset(saved_x, saved_y);
}

void TPrintHRTrendChart::DrawFrame(gfx::Canvas& dc, win::CPrintInfo& info) {
  DrawStep step(dc);
  SetOffset(x_, y_);
  const int plot_height = PlotHeight();
  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, width_, height_);
  Line(dc, kPlotLeft, 0, kPlotLeft, height_);
  Line(dc, width_ - 1500, 0, width_ - 1500, height_);
  Line(dc, 0, plot_height, width_, plot_height);

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  ResTextBox(dc, kIdsTimeCaption, 650, kPlotLeft, plot_height, height_, kLeftText);
  dc.SetMapMode(gfx::MapMode::kHiMetric);

  TPrintTimeAxis axis(Document(), kPlotLeft, plot_height, width_ - 4150, 500);
  axis.SetOffset(GetXOffset(), GetYOffset());
  axis.Draw(dc, info);

  DrawScale(dc);
  DrawLegend(dc);
  DrawCurves(dc);
}

void TPrintHRTrendChart::DrawScale(gfx::Canvas& dc) {
  DrawStep step(dc);
  const int plot_height = PlotHeight();
  const int tens = scale_range_ / 10;
  if (tens <= 0) return;
  const double s = static_cast<double>(plot_height) / tens;
  const auto level = [&](int i) { return static_cast<int>(std::trunc(plot_height - i * s)); };
  dc.SelectPen(thick_pen_);
  for (int i = 1; i < tens; ++i) Line(dc, kPlotLeft, level(i), 2450, level(i));

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  const int label_step = scale_range_ < 51 ? 1 : 2;
  for (int i = 1; i < tens; i += label_step)
    TextBox(dc, IntToText(scale_bottom_ + 10 * i), 1450, 2280, level(i) - 150, level(i) + 150, kRightText);
  ResTextBox(dc, kIdsRateUnit, 600, 2150, 0, 500, kCentredText);
  SelectPresetFont(dc, 8, 1);
  ResTextBox(dc, kIdsHRScaleTitle, 0, 2250, plot_height / 3, plot_height - plot_height / 2, kCentredText);
  ResTextBox(dc, kIdsHRScaleTrend, 0, 2250, plot_height / 2, plot_height - plot_height / 3, kCentredText);
}

void TPrintHRTrendChart::DrawLegend(gfx::Canvas& dc) {
  DrawStep step(dc);
  const int plot_height = PlotHeight();
  const int legend = width_ - 1500;
  const SettingsStore* settings = Document() != nullptr ? &Document()->GetSettings() : nullptr;
  struct Entry {
    int y;
    int pen_width;
    SettingKey colour;
    int label;
  };
  const Entry entries[] = {
      {plot_height / 3, 16, SettingKey::kColorHRTrendMax, kIdsHRLegendMax},
      {plot_height / 2, 32, SettingKey::kColorHRTrendAverage, kIdsHRLegendMean},
      {2 * (plot_height / 3), 16, SettingKey::kColorHRTrendMin, kIdsHRLegendMin},
  };
  for (const Entry& entry : entries) {
    const gfx::Color colour = settings != nullptr ? SettingColour(settings->Int(entry.colour)) : 0x000000;
    dc.SelectPen({gfx::PenStyle::kSolid, entry.pen_width, colour});
    Line(dc, legend + 300, entry.y, legend + 600, entry.y);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 6, 1);
    ResTextBox(dc, entry.label, legend + 500, width_, entry.y - 100, entry.y + 100, kCentredText);
    dc.SetMapMode(gfx::MapMode::kHiMetric);
  }
}

void TPrintHRTrendChart::DrawCurves(gfx::Canvas& dc) {
  DrawStep step(dc);
  const int plot_height = PlotHeight();
  const int tens = scale_range_ / 10;
  if (tens > 0) {
    const double s = static_cast<double>(plot_height) / tens;
    dc.SelectPen(thin_pen_);
    for (int i = 1; i < tens; ++i) {
      const int y = static_cast<int>(std::trunc(plot_height - i * s));
      for (int x = kPlotLeft; x < width_ - 1500; x += 100) Line(dc, x, y + 5, x, y - 5);
    }
  }
  if (point_count_ <= 0) return;
  const SettingsStore& settings = Document()->GetSettings();
  const bool black = IsMonochromeJob();
  const auto colour = [&](SettingKey key) { return black ? 0x000000 : SettingColour(settings.Int(key)); };
  dc.SelectPen({gfx::PenStyle::kSolid, 16, colour(SettingKey::kColorHRTrendMin)});
  dc.Polyline(min_curve_);
  dc.SelectPen({gfx::PenStyle::kSolid, 16, colour(SettingKey::kColorHRTrendMax)});
  dc.Polyline(max_curve_);
  dc.SelectPen({gfx::PenStyle::kSolid, 32, colour(SettingKey::kColorHRTrendAverage)});
  dc.Polyline(mean_curve_);
}
