#include "layouts/hr_trend_areas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>

#include "common/number_formatter.h"
#include "document/heart_rate_trend.h"
#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/legend_items.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/caption_areas.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"
#include "win/messages.h"

namespace {

constexpr gfx::Color kBlack = 0x000000;
constexpr gfx::Color kWhite = 0xFFFFFF;
constexpr gfx::Color kGridGrey = gfx::Rgb(192, 192, 192);
constexpr uint32_t kCentredLine = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine;
constexpr uint32_t kLeftLine = gfx::kDtLeft | gfx::kDtVCenter | gfx::kDtSingleLine;
constexpr uint32_t kRightLine = gfx::kDtRight | gfx::kDtVCenter | gfx::kDtSingleLine;
constexpr int kNoMinimum = 500;

gfx::Color TrendColour(const CZK470Doc* doc, SettingKey key) {
  if (doc == nullptr) return kBlack;
  const int index = doc->GetSettings().Int(key);
  if (index < 0 || index >= static_cast<int>(CECGStripPainter::kDisplayColours.size())) return kBlack;
  return CECGStripPainter::kDisplayColours[static_cast<size_t>(index)];
}

int BinValue(const std::vector<int>& values, int64_t bin) {
  return bin >= 0 && bin < static_cast<int64_t>(values.size()) ? values[static_cast<size_t>(bin)] : 0;
}

// Pixels per 10 bpm.
double TenBpmPixels(const gfx::Rect& rect, const HRTrendAxis& axis) {
  const int tens = axis.Span() / 10;
  return tens > 0 ? static_cast<double>(rect.bottom - rect.top) / tens : 0.0;
}

}  // namespace

HRTrendAxis HRTrendAxisOf(int lowest, int highest) {
  HRTrendAxis axis{lowest / 10 * 10, highest / 10 * 10 + 10};
  if (axis.Span() <= 20) {
    axis.bottom -= 10;
    axis.top += 10;
  }
  return axis;
}

int HRTrendY(const gfx::Rect& rect, const HRTrendAxis& axis, int rate) {
  return rect.bottom - static_cast<int>((rate - axis.bottom) * TenBpmPixels(rect, axis) * 0.1);
}

HRTrendPlot BuildHRTrendPlot(const HRTrendBins& bins, int first_bin, int bins_in_span, const gfx::Rect& rect,
                             const HRTrendAxis& axis) {
  HRTrendPlot plot;
  const int width = std::max(0, rect.right - rect.left);
  plot.column_min.assign(static_cast<size_t>(width), 0);
  plot.column_mean.assign(static_cast<size_t>(width), 0);
  plot.column_max.assign(static_cast<size_t>(width), 0);
  if (width == 0 || bins_in_span <= 0) return plot;

  const auto add_point = [&](int column, int low, int mean, int high) {
    const int x = rect.left + column + 1;
    plot.min_points.push_back({x, HRTrendY(rect, axis, low)});
    plot.mean_points.push_back({x, HRTrendY(rect, axis, mean)});
    plot.max_points.push_back({x, HRTrendY(rect, axis, high)});
  };
  const auto set_column = [&](int column, int low, int mean, int high) {
    plot.column_min[static_cast<size_t>(column)] = low;
    plot.column_mean[static_cast<size_t>(column)] = mean;
    plot.column_max[static_cast<size_t>(column)] = high;
  };

  if (bins_in_span >= width) {
    // Integer form of the carried fraction, so that every bin of the span is taken exactly once.
    int64_t carried = 0;
    int64_t next = first_bin;
    for (int c = 0; c < width; ++c) {
      carried += bins_in_span;
      const int64_t n = carried / width;
      carried %= width;
      int low = kNoMinimum;
      int high = 0;
      int64_t sum = 0;
      for (int64_t k = next; k < next + n; ++k) {
        low = std::min(low, BinValue(bins.min, k));
        high = std::max(high, BinValue(bins.max, k));
        sum += BinValue(bins.mean, k);
      }
      next += n;
      const int mean = static_cast<int>(sum / n);
      set_column(c, low, mean, high);
      add_point(c, low, mean, high);
    }
    return plot;
  }

  if (bins_in_span == 1) {
    // One bin has no step between points: its value runs flat over the whole width.
    const int low = BinValue(bins.min, first_bin);
    const int mean = BinValue(bins.mean, first_bin);
    const int high = BinValue(bins.max, first_bin);
    for (int c = 0; c < width; ++c) set_column(c, low, mean, high);
    add_point(0, low, mean, high);
    add_point(width - 1, low, mean, high);
    return plot;
  }

  const double columns_per_bin = static_cast<double>(width) / (bins_in_span - 1);
  int next_unfilled = 0;
  for (int k = 0; k < bins_in_span; ++k) {
    // The last bin lands one past the last column; it keeps to the plot.
    const int column = std::min(static_cast<int>(k * columns_per_bin), width - 1);
    const int64_t bin = int64_t{first_bin} + k;
    const int low = BinValue(bins.min, bin);
    const int mean = BinValue(bins.mean, bin);
    const int high = BinValue(bins.max, bin);
    for (; next_unfilled <= column; ++next_unfilled) set_column(next_unfilled, low, mean, high);
    add_point(column, low, mean, high);
  }
  return plot;
}

// ---------------------------------------------------------------------------------------------
// CHRTrendArea

CHRTrendArea::CHRTrendArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {}

CHRTrendArea::~CHRTrendArea() {
  drag_.Cancel();
  caliper_.reset();
}

win::Window* CHRTrendArea::GetCaliperWindow() const { return HostWindowOf(*this); }

double CHRTrendArea::GetColumnValue(int row, int column) const {
  if (column < 0 || column >= static_cast<int>(plot_.column_mean.size())) return 0.0;
  const auto c = static_cast<size_t>(column);
  switch (row) {
    case kRowMean:
      return plot_.column_mean[c];
    case kRowMin:
      return plot_.column_min[c];
    case kRowMax:
      return plot_.column_max[c];
    default:
      return 0.0;
  }
}

void CHRTrendArea::FlatPlot() {
  plot_ = {};
  const auto width = static_cast<size_t>(plot_width_);
  plot_.column_min.assign(width, 0);
  plot_.column_mean.assign(width, 0);
  plot_.column_max.assign(width, 0);
  for (int i = 0; i < plot_width_; ++i) {
    const gfx::Point bottom{rect_.left + i + 1, rect_.bottom - 1};
    plot_.min_points.push_back(bottom);
    plot_.mean_points.push_back(bottom);
    plot_.max_points.push_back(bottom);
  }
}

void CHRTrendArea::Recompute() {
  win::Windows().BeginWaitCursor();
  plot_width_ = std::max(0, rect_.right - rect_.left);
  bins_ = {};
  axis_ = {};
  bool built = false;
  CZK470Doc* doc = document_;
  const int bin_seconds = doc != nullptr ? doc->GetHRTrendAverage() : 0;
  if (doc != nullptr && bin_seconds > 0 && doc->GetQRSList().GetSize() > doc->GetHRAverageBeats()) {
    auto trend = std::make_unique<THeartRateTrend>(*doc);
    const int bin_count = std::clamp(trend->Compute(bin_seconds), 0, THeartRateTrend::kMaxBins);
    const THeartRateTrend::Extreme& low = trend->HRMin();
    const THeartRateTrend::Extreme& high = trend->HRMax();
    // Beats without a single valid rate (all artefacts, say) leave no extremes: nothing to scale.
    if (low.beat >= 0 && high.beat >= 0) {
      doc->SetHRMin(low.value, low.position, low.beat, 1);
      doc->SetHRMax(high.value, high.position, high.beat, 1);
      const THeartRateTrend::Extreme& rr_low = trend->RRMin();
      const THeartRateTrend::Extreme& rr_high = trend->RRMax();
      doc->SetRRMin(rr_low.value, rr_low.position, rr_low.beat, 1);
      doc->SetRRMax(rr_high.value, rr_high.position, rr_high.beat, 1);
      for (int b = 0; b < bin_count; ++b) {
        bins_.min.push_back(trend->GetBinMin(b));
        bins_.mean.push_back(trend->GetBinMean(b));
        bins_.max.push_back(trend->GetBinMax(b));
      }
      axis_ = HRTrendAxisOf(low.value, high.value);
      const int64_t start_s = doc->GetSpanStartMs() / 1000;
      const int64_t span_s = (int64_t{doc->GetSpanEndMs()} - doc->GetSpanStartMs()) / 1000;
      const int64_t in_span = std::clamp<int64_t>(span_s / bin_seconds, 0, INT32_MAX);
      const int64_t first = std::clamp<int64_t>(start_s / bin_seconds, 0, INT32_MAX);
      plot_ = BuildHRTrendPlot(bins_, static_cast<int>(first), static_cast<int>(in_span), rect_, axis_);
      built = true;
    }
  }
  if (!built) FlatPlot();
  // Also without enough beats the scale hears 40 .. 100, so it never keeps another recording's axis.
  std::array<int, 2> range = {axis_.bottom, axis_.top};
  if (config_ != nullptr && config_->GetRoot() != nullptr)
    config_->GetRoot()->BroadcastAll(areamsg::kHeartRateRange, 0,
                                     reinterpret_cast<win::LParam>(range.data()));
  win::Windows().EndWaitCursor();
}

int CHRTrendArea::UpdateCursor() {
  cursor_column_ = 0;
  if (document_ == nullptr || plot_width_ < 2) return 0;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t span_s = (int64_t{document_->GetSpanEndMs()} - start) / 1000;
  if (span_s <= 0) return 0;
  const int64_t seconds = (int64_t{document_->GetCurrentPosition()} - start) / 1000;
  cursor_column_ =
      static_cast<int>(std::clamp<int64_t>(seconds * (plot_width_ - 1) / span_s, 0, plot_width_ - 1));
  return cursor_column_;
}

void CHRTrendArea::DrawCursor(gfx::Canvas& dc) const {
  const int x = rect_.left + cursor_column_ + 1;
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.MoveTo(x, 1);
  dc.LineTo(x, rect_.bottom - 1);
  dc.SelectPen(old_pen);
}

void CHRTrendArea::RedrawCursor(gfx::Canvas& dc) {
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNot);
  DrawCursor(dc);
  UpdateCursor();
  DrawCursor(dc);
  dc.SetROP2(old);
}

void CHRTrendArea::RedrawCursorOnHost() {
  if (win::Window* host = HostWindowOf(*this); host != nullptr && host->IsWindow()) {
    win::ClientDc dc(*host);
    RedrawCursor(dc.Canvas());
  } else {
    UpdateCursor();
  }
}

void CHRTrendArea::SetPositionFromX(int x) {
  if (document_ == nullptr || x <= rect_.left || x >= rect_.right || plot_width_ < 2) return;
  if (gfx::Canvas* drag_dc = drag_.Canvas()) {
    const gfx::Rop2 old = drag_dc->SetROP2(gfx::Rop2::kNot);
    DrawCursor(*drag_dc);
    drag_dc->SetROP2(old);
  }
  const int64_t start = document_->GetSpanStartMs();
  const int64_t ms_per_pixel = (int64_t{document_->GetSpanEndMs()} - start) / (plot_width_ - 1);
  document_->SetCurrentPosition(static_cast<int32_t>(start + ms_per_pixel * (x - rect_.left)), 0);
  UpdateCursor();
  if (gfx::Canvas* drag_dc = drag_.Canvas()) {
    const gfx::Rop2 old = drag_dc->SetROP2(gfx::Rop2::kNot);
    DrawCursor(*drag_dc);
    drag_dc->SetROP2(old);
  }
}

void CHRTrendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
  const double ten_bpm = TenBpmPixels(rect_, axis_);
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kDot, 1, kGridGrey});
  for (int i = 1; i < axis_.Span() / 10; ++i) {
    const int y = static_cast<int>(rect_.bottom - i * ten_bpm);
    dc.MoveTo(rect_.left + 1, y);
    dc.LineTo(rect_.right, y);
  }
  const auto line = [&dc](const std::vector<gfx::Point>& points, gfx::Color colour) {
    dc.SelectPen({gfx::PenStyle::kSolid, 1, colour});
    dc.Polyline(std::span<const gfx::Point>(points));
  };
  line(plot_.min_points, TrendColour(document_, SettingKey::kColorHRTrendMin));
  line(plot_.max_points, TrendColour(document_, SettingKey::kColorHRTrendMax));
  line(plot_.mean_points, TrendColour(document_, SettingKey::kColorHRTrendAverage));
  dc.SelectPen(old_pen);

  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNot);
  UpdateCursor();
  DrawCursor(dc);
  if (drag_.IsDragging() && caliper_) caliper_->Track(dc, CCaliper::kRedraw);
  dc.SetROP2(old);
}

int CHRTrendArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (document_ == nullptr) return 0;
  const auto move_to = [this](gfx::Point point) {
    SetPositionFromX(point.x);
    return point;
  };
  if (drag_.OnMessage(*this, rect_, caliper_.get(), msg, wparam, lparam, move_to) != 0) return 1;
  if (msg == CCaliper::kSwitchOnHidden && caliper_)
    caliper_->OnMessage(CCaliper::kSwitchOnHidden, static_cast<unsigned>(wparam),
                        reinterpret_cast<const gfx::Point*>(lparam));
  return 0;
}

void CHRTrendArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  switch (hint_number) {
    case hint::kPositionMoved:
    case hint::kNavigationRebuild:
    case hint::kArea1019:
      RedrawCursorOnHost();
      break;
    case hint::kDocumentChanged:
    case hint::kHeartRateAveraging:
    case hint::kSpanMoved:
      Recompute();
      UpdateCursor();
      InvalidateArea(*this, rect_);
      break;
    case hint::kMouse1027: {
      const auto* mouse = dynamic_cast<const TMouseHint*>(object);
      if (drag_.IsDragging() || mouse == nullptr) break;
      if (last_hint_ && last_hint_->key_flags == mouse->key_flags && last_hint_->x == mouse->x &&
          last_hint_->y == mouse->y)
        break;
      RedrawCursorOnHost();
      last_hint_ = *mouse;
      break;
    }
    default:
      break;
  }
}

void CHRTrendArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  plot_width_ = std::max(0, rect_.right - rect_.left);
  FlatPlot();
  caliper_ = std::make_unique<CHRTrendCaliper>(this);
  caliper_->OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
}

void CHRTrendArea::OnLayout(int left, int top, int right, int bottom) {
  Recompute();
  UpdateCursor();
}

std::unique_ptr<CViewArea> CHRTrendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CHRTrendArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// CHRScaleArea

int CHRScaleArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != areamsg::kHeartRateRange || lparam == 0) return 0;
  const auto* range = reinterpret_cast<const int*>(lparam);
  axis_ = {range[0], range[1]};
  InvalidateArea(*this, rect_);
  return 1;
}

void CHRScaleArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const int h = rect_.bottom - rect_.top;
  const double ten_bpm = TenBpmPixels(rect_, axis_);
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(2));
  const TNumberFormatter numbers;
  const int step = axis_.Span() > 50 ? 2 : 1;
  for (int i = 1; i < axis_.Span() / 10; ++i) {
    const double y = rect_.bottom - i * ten_bpm;
    dc.MoveTo(rect_.right, static_cast<int>(y));
    dc.LineTo(rect_.right - 8, static_cast<int>(y));
    if ((i - 1) % step != 0) continue;
    gfx::Rect label{rect_.right - 40, static_cast<int>(y - 10.0) + 1, rect_.right - 10,
                    static_cast<int>(y + 10.0) + 1};
    dc.DrawText(numbers.FormatInt(axis_.bottom + 10 * i), label, kRightLine);
  }
  gfx::Rect unit{rect_.left, rect_.top, rect_.right, rect_.top + 20};
  dc.DrawText(platform::LoadString(kHRScaleUnitString), unit, kCentredLine);
  dc.SelectFont(*fonts.Select(4));
  gfx::Rect title{rect_.left, rect_.top + h / 3, rect_.right - 20, rect_.bottom - h / 2};
  dc.DrawText(platform::LoadString(kHRScaleTitleString), title, kCentredLine);
  gfx::Rect trend{rect_.left, rect_.top + h / 2, rect_.right - 20, rect_.bottom - h / 3};
  dc.DrawText(platform::LoadString(kHRScaleTrendString), trend, kCentredLine);
  dc.SelectFont(old_font);
}

std::unique_ptr<CViewArea> CHRScaleAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CHRScaleArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// Legend, caption, border

void CHRTrendLegendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_);
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(2));
  const gfx::Pen old_pen = dc.GetPen();
  const int h = rect_.bottom - rect_.top;
  struct Entry {
    int y;
    SettingKey colour;
    int text;
  };
  const std::array<Entry, 3> entries = {
      {{rect_.top + h / 3, SettingKey::kColorHRTrendMax, kHRLegendMaxString},
       {rect_.top + h / 2, SettingKey::kColorHRTrendAverage, kHRLegendMeanString},
       {rect_.top + (h / 3) * 2, SettingKey::kColorHRTrendMin, kHRLegendMinString}}};
  for (const Entry& entry : entries) {
    dc.SelectPen({gfx::PenStyle::kSolid, 3, TrendColour(document_, entry.colour)});
    dc.MoveTo(rect_.left + 8, entry.y);
    dc.LineTo(rect_.left + 18, entry.y);
    gfx::Rect text{rect_.left + 23, entry.y - 10, rect_.right, entry.y + 10};
    dc.DrawText(platform::LoadString(entry.text), text, kLeftLine);
  }
  dc.SelectPen(old_pen);
  dc.SelectFont(old_font);
}

void CHRTrendLegendArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  if (hint_number == hint::kDocumentChanged || hint_number == hint::kSpanMoved) InvalidateArea(*this, rect_);
}

std::unique_ptr<CViewArea> CHRTrendLegendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CHRTrendLegendArea>(this, doc);
}

void CTrendCaptionArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(3));
  gfx::Rect text{rect_.left + 1 + 23, rect_.top + 1, rect_.right - 1, rect_.bottom - 1};
  // The background colour stays white for whoever draws next.
  dc.SetBkColor(kWhite);
  dc.DrawText(platform::LoadString(kCaptionStringId), text, kLeftLine);
  dc.SelectFont(old_font);
}

std::unique_ptr<CViewArea> CTrendCaptionAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CTrendCaptionArea>(this, doc);
}

void CTrendBorderArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_);
}

std::unique_ptr<CViewArea> CTrendBorderAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CTrendBorderArea>(this, doc);
}
