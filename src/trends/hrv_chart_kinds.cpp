#include "trends/hrv_chart_kinds.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "trends/hrv_statistics.h"
#include "views/preset_font.h"

namespace {

constexpr int kWindowSeconds = 300;

int Nearest(double value) { return static_cast<int>(value + 0.5); }

bool IsUsedClass(int beat_class) { return beat_class == kClassNormal || beat_class == kClassSVES; }

// Episodes whose beats give no usable interval. Lead-off and battery-off count as well: a pair of
// beats on either side of one would be one interval of minutes.
bool IsExcludingEpisode(int kind) {
  return kind == kClassArrhythmia || kind == kClassAtrialFibrillation || kind == kClassAtrialFlutter ||
         kind == kClassLeadOff || kind == kClassBattOff;
}

// One pass over the beats in ascending order for the RR trend and difference charts: the verdict of
// the 5-minute window a beat lies in, and whether a marker or an excluding episode touches a pair.
class PairFilter {
 public:
  explicit PairFilter(const CZK470Doc& doc)
      : beats_(doc.GetQRSList()),
        markers_(doc.GetRecordingData().recorder_markers),
        step_(static_cast<int64_t>(doc.GetSampleRate()) * kWindowSeconds) {
    const TEventList& events = doc.GetEventList();
    for (int e = 0; e < events.GetSize(); ++e) {
      const TEvent event = events.GetAt(e);
      if (IsExcludingEpisode(event.GetClass())) episodes_.emplace_back(event.GetPosition(), event.GetEnd());
    }
    std::sort(episodes_.begin(), episodes_.end());
  }

  // Asked for every beat in ascending order. A beat past the window's end moves the end one step
  // on (after a gap, one step per beat) and counts the pairs from it up to the new end.
  bool WindowAccepted(int i) {
    const int n = beats_.GetSize();
    if (beats_.GetAt(i).GetPosition() > window_end_) {
      window_end_ += step_;
      int pairs = 0;
      int others = 0;
      for (int j = i; j + 1 < n && beats_.GetAt(j).GetPosition() <= window_end_; ++j) {
        ++pairs;
        if (!IsUsedClass(beats_.GetAt(j).GetClass()) || !IsUsedClass(beats_.GetAt(j + 1).GetClass()))
          ++others;
      }
      accepted_ = pairs > 0 && others * 100 / pairs <= 20;
    }
    return accepted_;
  }

  // Pairs in ascending order of a; both ends included.
  bool MarkerBetween(int64_t a, int64_t b) {
    while (marker_ < markers_.size() && markers_[marker_] < a) ++marker_;
    return marker_ < markers_.size() && markers_[marker_] <= b;
  }

  bool InEpisode(int64_t a, int64_t b) {
    while (episode_ < episodes_.size() && episodes_[episode_].second < a) ++episode_;
    for (size_t k = episode_; k < episodes_.size() && episodes_[k].first <= b; ++k)
      if (episodes_[k].second >= a) return true;
    return false;
  }

 private:
  const TQRSList& beats_;
  const std::vector<int32_t>& markers_;
  int64_t step_;
  int64_t window_end_ = 0;
  bool accepted_ = false;
  size_t marker_ = 0;
  std::vector<std::pair<int32_t, int32_t>> episodes_;
  size_t episode_ = 0;
};

// Sets each plot pixel once: tens of thousands of beats fall on the same few thousand pixels.
class PixelPlotter {
 public:
  PixelPlotter(gfx::Canvas& dc, const gfx::Rect& plot, gfx::Color colour)
      : dc_(dc),
        plot_(plot),
        colour_(colour),
        seen_(static_cast<size_t>(std::max(0, plot.Width() + 1)) *
              static_cast<size_t>(std::max(0, plot.Height() + 1))) {}

  void Plot(int x, int y) {
    const int cx = x - plot_.left;
    const int cy = y - plot_.top;
    if (cx < 0 || cy < 0 || cx > plot_.Width() || cy > plot_.Height()) {
      dc_.SetPixel(x, y, colour_);
      return;
    }
    const size_t at =
        static_cast<size_t>(cy) * static_cast<size_t>(plot_.Width() + 1) + static_cast<size_t>(cx);
    if (seen_[at] != 0) return;
    seen_[at] = 1;
    dc_.SetPixel(x, y, colour_);
  }

 private:
  gfx::Canvas& dc_;
  gfx::Rect plot_;
  gfx::Color colour_;
  std::vector<uint8_t> seen_;
};

void DrawCross(gfx::Canvas& dc, int x, int y, gfx::Color colour) {
  const gfx::Pen old = dc.SelectPen({gfx::PenStyle::kSolid, 1, colour});
  dc.MoveTo(x - 1, y);
  dc.LineTo(x + 2, y);
  dc.MoveTo(x, y - 1);
  dc.LineTo(x, y + 2);
  dc.SelectPen(old);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// RR trend

CRRTrendArea::CRRTrendArea(CViewAreaConfig* config, CZK470Doc* document)
    : CHRVChartArea(config, document, kRRTrendTitle) {}

void CRRTrendArea::DrawData(gfx::Canvas& dc) {
  if (document_ == nullptr) return;
  const int s = ScaleStep();
  const double rate = SampleRate();
  const double span_ms = 1000.0 * (s + 1);
  const int levels = 10 * (s + 1);
  for (int j = 0; j <= levels; ++j) DrawGridLevel(dc, YOfFraction(static_cast<double>(j) / levels));
  for (int value = 500; value <= 1000 * (s + 1); value += 500)
    DrawYLabel(dc, YOfFraction((value - 200) / span_ms), std::to_string(value));

  const TQRSList& beats = document_->GetQRSList();
  const int64_t start = VisibleStartSamples();
  const int64_t end = VisibleEndSamples();
  const int height = plot_.Height();
  PairFilter filter(*document_);
  PixelPlotter pixels(dc, plot_, kColour);
  for (int i = 0; i + 1 < beats.GetSize(); ++i) {
    const bool accepted = filter.WindowAccepted(i);
    const int64_t a = beats.GetAt(i).GetPosition();
    const int64_t b = beats.GetAt(i + 1).GetPosition();
    if (!accepted || a <= start || a >= end) continue;
    if (!IsUsedClass(beats.GetAt(i).GetClass()) || !IsUsedClass(beats.GetAt(i + 1).GetClass())) continue;
    if (filter.MarkerBetween(a, b) || filter.InEpisode(a, b)) continue;
    const double rr = static_cast<double>(b - a);
    if (rr >= (s + 1.2) * rate) continue;
    const int y = plot_.bottom - Nearest((rr - 0.2 * rate) * height / (rate * (s + 1)));
    // Intervals under 200 ms lie below the axis.
    if (y > plot_.bottom) continue;
    pixels.Plot(plot_.left + XOfSample(a), y);
  }
}

// ---------------------------------------------------------------------------------------------
// RR difference

CRRDifferenceArea::CRRDifferenceArea(CViewAreaConfig* config, CZK470Doc* document)
    : CHRVChartArea(config, document, kRRDifferenceTitle) {}

void CRRDifferenceArea::DrawData(gfx::Canvas& dc) {
  if (document_ == nullptr) return;
  const int s = ScaleStep();
  const int f = kHalfRangesMs[s];
  const double rate = SampleRate();
  const int levels = 10 * (s + 1);
  for (int j = 0; j <= levels; ++j) DrawGridLevel(dc, YOfFraction(static_cast<double>(j) / levels));
  const int labels[5] = {-f, -f / 2, 0, f / 2, f};
  for (int k = 0; k < 5; ++k) DrawYLabel(dc, YOfFraction(k / 4.0), std::to_string(labels[k]));

  const TQRSList& beats = document_->GetQRSList();
  const int64_t start = VisibleStartSamples();
  const int64_t end = VisibleEndSamples();
  const int height = plot_.Height();
  const double limit = rate * f / 1000.0;
  const int mid = plot_.top + height / 2;
  PairFilter filter(*document_);
  PixelPlotter pixels(dc, plot_, kColour);
  for (int i = 0; i + 1 < beats.GetSize(); ++i) {
    const bool accepted = filter.WindowAccepted(i);
    if (i + 2 >= beats.GetSize()) continue;
    const int64_t a = beats.GetAt(i).GetPosition();
    const int64_t b = beats.GetAt(i + 1).GetPosition();
    const int64_t c = beats.GetAt(i + 2).GetPosition();
    if (!accepted || a <= start || a >= end) continue;
    if (!IsUsedClass(beats.GetAt(i).GetClass()) || !IsUsedClass(beats.GetAt(i + 1).GetClass()) ||
        !IsUsedClass(beats.GetAt(i + 2).GetClass()))
      continue;
    if (filter.MarkerBetween(a, b) || filter.MarkerBetween(b, c)) continue;
    if (filter.InEpisode(a, b) || filter.InEpisode(b, c)) continue;
    const double d = static_cast<double>(2 * b - a - c);
    if (d <= -limit || d >= limit) continue;
    pixels.Plot(plot_.left + XOfSample(a), mid - Nearest(d * height * 0.5 / limit));
  }
}

// ---------------------------------------------------------------------------------------------
// Segment mean and standard deviation

CRRSegmentMeanArea::CRRSegmentMeanArea(CViewAreaConfig* config, CZK470Doc* document)
    : CHRVChartArea(config, document, kRRSegmentMeanTitle) {}

void CRRSegmentMeanArea::DrawData(gfx::Canvas& dc) {
  if (document_ == nullptr) return;
  const int s = ScaleStep();
  const double rate = SampleRate();
  const double span_ms = 1000.0 * (s + 1);
  const int levels = 10 * (s + 1);
  for (int j = 0; j <= levels; ++j) DrawGridLevel(dc, YOfFraction(static_cast<double>(j) / levels));
  for (int value = 500; value <= 1000 * (s + 1); value += 500)
    DrawYLabel(dc, YOfFraction((value - 200) / span_ms), std::to_string(value));

  const THRVStatistics* statistics = GetStatistics();
  if (statistics == nullptr) return;
  const std::vector<double>& sums = statistics->GetSegmentSums();
  const std::vector<unsigned>& counts = statistics->GetSegmentCounts();
  const int64_t start = VisibleStartSamples();
  const int64_t end = VisibleEndSamples();
  for (size_t i = 0; i < sums.size() && i < counts.size(); ++i) {
    const double at = rate * static_cast<double>((i + 1) * kWindowSeconds);
    if (at <= static_cast<double>(start) || at >= static_cast<double>(end) || counts[i] == 0) continue;
    const double mean = sums[i] / counts[i];
    if (mean >= (s + 1.2) * rate) continue;
    const int y = plot_.bottom - Nearest((mean - 0.2 * rate) * plot_.Height() / (rate * (s + 1)));
    if (y > plot_.bottom) continue;
    DrawCross(dc, plot_.left + XOfSample(static_cast<int64_t>(at)), y, kColour);
  }
}

CRRSegmentSDArea::CRRSegmentSDArea(CViewAreaConfig* config, CZK470Doc* document)
    : CHRVChartArea(config, document, kRRSegmentSDTitle) {}

void CRRSegmentSDArea::DrawData(gfx::Canvas& dc) {
  if (document_ == nullptr) return;
  const int s = ScaleStep();
  const double rate = SampleRate();
  const int top_ms = (s + 1) * 100;
  for (int value = 0; value <= top_ms; value += 50) {
    const int y = YOfFraction(static_cast<double>(value) / top_ms);
    DrawGridLevel(dc, y);
    DrawYLabel(dc, y, std::to_string(value));
  }

  const THRVStatistics* statistics = GetStatistics();
  if (statistics == nullptr) return;
  const std::vector<double>& sds = statistics->GetSegmentSDs();
  const int64_t start = VisibleStartSamples();
  const int64_t end = VisibleEndSamples();
  const double top = (s + 1) * 0.1 * rate;
  for (size_t i = 0; i < sds.size(); ++i) {
    const double at = rate * static_cast<double>((i + 1) * kWindowSeconds);
    if (at <= static_cast<double>(start) || at >= static_cast<double>(end)) continue;
    if (sds[i] <= 0.0 || sds[i] >= top) continue;
    const int y = plot_.bottom - Nearest(sds[i] * plot_.Height() / top);
    DrawCross(dc, plot_.left + XOfSample(static_cast<int64_t>(at)), y, kColour);
  }
}

// ---------------------------------------------------------------------------------------------
// Deviation histogram

CRRDifferenceHistogramArea::CRRDifferenceHistogramArea(CViewAreaConfig* config, CZK470Doc* document)
    : CHRVChartArea(config, document, kRRHistogramTitle, kPlotBottomMargin) {
  jumps_move_cursor_ = false;
  cursor_bottom_extra_ = 1;
}

void CRRDifferenceHistogramArea::DrawFrame(gfx::Canvas& dc) {
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, 0x000000});
  const gfx::Brush old_brush = dc.SelectBrush({gfx::BrushStyle::kSolid, 0xFFFFFF});
  dc.Rectangle(rect_.left - 1, rect_.top, rect_.right, rect_.bottom);
  dc.SelectBrush(old_brush);
  Line(dc, plot_.left, plot_.top, plot_.left, plot_.bottom);
  Line(dc, plot_.left, plot_.bottom, plot_.right, plot_.bottom);
  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(3));
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  gfx::Rect title{plot_.left + 10, plot_.top - 20, plot_.right, plot_.top};
  dc.DrawText(GetTitle(), title, gfx::kDtLeft | gfx::kDtSingleLine | gfx::kDtVCenter);
  dc.SetBkMode(old_mode);
  dc.SelectFont(old_font);
  dc.SelectPen(old_pen);
}

void CRRDifferenceHistogramArea::DrawData(gfx::Canvas& dc) {
  const int y_max = kMaxPercent[ScaleStep()];
  const int range = kDeviationRange[ZoomLevel()];
  const int width = plot_.Width();
  const int height = plot_.Height();
  for (int p = 0; p <= y_max; ++p) {
    const int y = YOfFraction(static_cast<double>(p) / y_max);
    DrawGridLevel(dc, y);
    if (p % 5 == 0) DrawYLabel(dc, y, std::to_string(p));
  }

  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(2));
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, 0x000000});
  for (int u = 0; u <= 2 * range; u += 10) {
    const int x = plot_.left + width * u / (2 * range);
    Line(dc, x, plot_.bottom, x, plot_.bottom + 5);
    gfx::Rect box{x - 20, plot_.bottom + 6, x + 20, plot_.bottom + 16};
    dc.DrawText(std::to_string(u - range), box, gfx::kDtCenter | gfx::kDtSingleLine | gfx::kDtVCenter);
  }
  dc.SelectFont(*fonts.Select(3));
  gfx::Rect caption{plot_.left, plot_.bottom + 17, plot_.right, plot_.bottom + 35};
  dc.DrawText(platform::LoadString(kRRHistogramCaption), caption,
              gfx::kDtCenter | gfx::kDtSingleLine | gfx::kDtVCenter);
  dc.SelectPen(old_pen);
  dc.SetBkMode(old_mode);
  dc.SelectFont(old_font);

  const THRVStatistics* statistics = GetStatistics();
  if (statistics == nullptr) return;
  const auto& longer = statistics->GetLongerHistogram();
  const auto& shorter = statistics->GetShorterHistogram();
  const int centre = plot_.left + width / 2;
  const int half = width / 2;
  const auto bar = [&](int x, double value) {
    const int h = std::min(height, static_cast<int>(height * value / y_max));
    if (h > 0) dc.FillSolidRect({x, plot_.bottom - h, x + 2, plot_.bottom}, kColour);
  };
  for (int b = 0; b < range; ++b) {
    bar(centre + b * half / range, longer[static_cast<size_t>(b)]);
    bar(centre - (b + 1) * half / range, shorter[static_cast<size_t>(b)]);
  }
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<CViewArea> CRRTrendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CRRTrendArea>(this, doc);
}
std::unique_ptr<CViewArea> CRRDifferenceAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CRRDifferenceArea>(this, doc);
}
std::unique_ptr<CViewArea> CRRSegmentMeanAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CRRSegmentMeanArea>(this, doc);
}
std::unique_ptr<CViewArea> CRRSegmentSDAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CRRSegmentSDArea>(this, doc);
}
std::unique_ptr<CViewArea> CRRDifferenceHistogramAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CRRDifferenceHistogramArea>(this, doc);
}
