#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/ids.h"
#include "reports/printer_base.h"

class TPrintHRTrendChart;
class TPrintSTExtremesTable;
class TPrinterSTTrend;

namespace platform {
class ResourcePack;
}

// Texts of the ST pages. The screens and the ST dialogs bring the ones they share.
inline constexpr int kIdsSTEpisodesTitle = 21091;
inline constexpr int kIdsSTLevelPrefix = 21092;
inline constexpr int kIdsSTSlopePrefix = 21093;
inline constexpr int kIdsSTPageTitle = 21094;
inline constexpr int kIdsSTLevelLegend = 21095;
inline constexpr int kIdsSTSlopeLegend = 21096;
inline constexpr int kIdsSTEpisodeCount = 21097;
inline constexpr int kIdsSTLowestLevel = 23008;
inline constexpr int kIdsSTDayTitle = 30008;
// Shared with the ST dialogs.
inline constexpr int kIdsSTOnset = 23000;
inline constexpr int kIdsSTExtreme = 23001;
inline constexpr int kIdsSTEnd = 23002;
inline constexpr int kIdsSTTime = 23003;
inline constexpr int kIdsSTLevel = 23004;
inline constexpr int kIdsSTHeartRate = 23005;
inline constexpr int kIdsSTDuration = 23006;
inline constexpr int kIdsSTSlope = 23007;
// Shared with the statistics screen and the ST scale of the screens.
inline constexpr int kIdsSTLongestDuration = 20024;
inline constexpr int kIdsSTTrendCaption = 14377;
inline constexpr int kIdsSTScaleCaption = 14391;
inline constexpr int kIdsSTLevelCaption = 14392;
inline constexpr int kIdsSTSlopeCaption = 14393;

// Adds the ST pages' own texts: German to the German pack, English to every other one.
void AddSTPageResources(platform::ResourcePack& pack);

// The ST page: one page per day of the recording (one for a recording of at most a day, at most
// three) with the hourly ST table, the deepest ST episodes, a chart of markers, artefacts, ST
// episodes and user events over the day, the ST trend of both ST channels and the heart-rate trend.
// Sets the document's print span to the day it prints. Owns its drawing elements.
class TPrintSTPage : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32912;
  static constexpr int kRowHeight = 500;
  static constexpr int kChartWidth = 18500;
  static constexpr int kRowCount = 5;
  static constexpr int kMaxDays = 3;

  TPrintSTPage(int full_header, CZK470Doc* doc, TReportValues* report_values);
  ~TPrintSTPage() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  void PrintHourlySTTable(gfx::Canvas& dc, win::CPrintInfo& info, int day);
  void PrintEventRows(gfx::Canvas& dc, win::CPrintInfo& info, int day);

  // The event kind of chart row i; -1 for the row of an ST channel the recording does not have.
  int RowKind(int row) const { return row_kinds_[static_cast<size_t>(row)]; }
  // The page title of day d.
  std::string DayTitle(int day) const;

 private:
  std::array<int, kRowCount> row_kinds_{};
  std::unique_ptr<TPrintSTExtremesTable> extremes_;
  std::array<std::unique_ptr<TPrinterSTTrend>, 2> trends_;
  std::unique_ptr<TPrintHRTrendChart> hr_chart_;
};
