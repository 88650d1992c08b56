#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ids.h"
#include "reports/printer_base.h"
#include "trends/hrv_chart_kinds.h"

class THRVStatistics;
struct THRVValues;

namespace platform {
class ResourcePack;
}

// Texts of the heart-rate-variability pages; the table's value and row names are the HRV table's.
inline constexpr int kIdsHRVPageTitle = 21101;
inline constexpr int kIdsHRVDayTitle = 30009;
// The charts' titles are those of the HRV screen's charts.
inline constexpr int kIdsHRVRRChart = kRRTrendTitle;
inline constexpr int kIdsHRVDifferenceChart = kRRDifferenceTitle;
inline constexpr int kIdsHRVSegmentMeanChart = kRRSegmentMeanTitle;
inline constexpr int kIdsHRVSegmentSDChart = kRRSegmentSDTitle;
inline constexpr int kIdsHRVDistributionChart = kRRHistogramTitle;
inline constexpr int kIdsHRVDistributionUnit = kRRHistogramCaption;

// The time-domain heart-rate variability: one page per started day (one page for a recording of a
// day or less), each with the table of the day's values and five charts over the day: the RR
// intervals, their successive differences, the 5-minute means and standard deviations and the
// distribution of the intervals around the mean. Layout in 0.01 mm; each chart block is 18500 x
// 3500 with its plot right of x 1000 and above y 3000. Owns its statistics, which Paginate computes
// once per print job.
class TPrintHRV : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint33007;
  static constexpr int kPageYOffset = 1500;
  static constexpr int kTableTop = 2400;
  static constexpr std::array<int, 5> kChartTops = {5100, 9200, 13300, 17400, 21500};
  static constexpr int kPlotLeft = 1000;
  static constexpr int kPlotRight = 18500;
  static constexpr int kPlotBottom = 3000;
  static constexpr int kChartHeight = 3500;

  TPrintHRV(int full_header, CZK470Doc* doc, TReportValues* report_values);
  ~TPrintHRV() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  // page: the day, from 1.
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  // nullptr until Paginate ran.
  const THRVStatistics* Statistics() const { return statistics_.get(); }
  // The page title of day d (from 1).
  std::string DayTitle(int day) const;
  // Axis tops in ms of the RR and segment-mean charts, half range of the difference chart, top of
  // the segment SD chart, and the distribution height in percent, by "Y-Index" (0..3).
  struct Scales {
    int rr_top_ms;
    int difference_half_ms;
    int sd_top_ms;
    int distribution_percent;
  };
  Scales GetScales() const;
  // Half width of the distribution in percent by "X-Index".
  int DistributionWidth() const;
  // x of a sample position in the time charts, for the current print span.
  int TimeToX(int64_t position) const;

 private:
  void DrawTable(gfx::Canvas& dc);
  void DrawTableRow(gfx::Canvas& dc, const THRVValues& values, int top);
  void DrawChartFrame(gfx::Canvas& dc, win::CPrintInfo& info, int title_id, bool time_axis);
  // A dotted grid line with its tick and, when the text is not empty, its label, at block y.
  void DrawValueLine(gfx::Canvas& dc, int y, const std::string& label);
  void DrawRRChart(gfx::Canvas& dc, win::CPrintInfo& info);
  void DrawDifferenceChart(gfx::Canvas& dc, win::CPrintInfo& info);
  void DrawSegmentMeanChart(gfx::Canvas& dc, win::CPrintInfo& info);
  void DrawSegmentSDChart(gfx::Canvas& dc, win::CPrintInfo& info);
  void DrawDistributionChart(gfx::Canvas& dc, win::CPrintInfo& info);
  void DrawCross(gfx::Canvas& dc, int x, int y);

  std::unique_ptr<THRVStatistics> statistics_;
  std::string title_;
  const gfx::Pen dotted_pen_{gfx::PenStyle::kDot, 6, 0x000000};
};

// Adds the texts of the HRV pages: German to the German pack, English to every other one.
void AddHRVPageResources(platform::ResourcePack& pack);
