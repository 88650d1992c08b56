#pragma once

#include <array>
#include <memory>

#include "platform/ids.h"
#include "reports/printer_base.h"

class TPrintHRTrendChart;

// The heart-rate and events page: one page over the whole recording with a row per beat class or
// event kind, each occurrence a tick at its time (events with a line to their end), the count of
// each row at the right, a clock-time axis, and the heart-rate trend chart below. Printing it sets
// the document's print span to the whole recording. Owns its trend chart.
class TPrintHREventsPage : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32989;
  static constexpr int kRowHeight = 500;
  static constexpr int kTableWidth = 18500;
  static constexpr int kRowCount = 21;
  static constexpr std::array<int, kRowCount> kRowCodes = {3,  4,  0,  5,  6,  7,  8,  24, 9,  10, 11,
                                                           12, 13, 15, 16, 17, 18, 19, 20, 23, 21};
  // The table lies 30 mm below the block origin, which the page moves 10 mm up.
  static constexpr int kPageYOffset = -1000;
  static constexpr int kTableTop = 3000;

  TPrintHREventsPage(int full_header, CZK470Doc* doc, TReportValues* report_values);
  ~TPrintHREventsPage() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  // The count shown in the row of that code.
  int RowCount(int row_code) const;
  // x in 0.01 mm of the table of a sample position within the print span.
  int TimeToX(int32_t position) const;

 private:
  void DrawTable(gfx::Canvas& dc, win::CPrintInfo& info);

  std::unique_ptr<TPrintHRTrendChart> trend_chart_;
};
