#pragma once

#include <array>

#include "platform/ids.h"
#include "reports/printer_base.h"

// The event chart page: eighteen hourly bar charts in three groups of six (ventricular,
// supraventricular, other findings), each how many beats of a class or events of a kind began in
// each hour of the recording. Printing it sets the document's print span to the whole recording.
class TPrintEventChart : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32790;
  static constexpr int kChartWidth = 6000;
  static constexpr int kChartHeight = 3500;
  static constexpr std::array<std::array<int, 6>, 3> kGroupKinds = {
      {{15, 16, 17, 18, 19, 20}, {9, 10, 11, 12, 13, 14}, {6, 7, 8, 3, 4, 5}}};

  TPrintEventChart(int full_header, CZK470Doc* doc, TReportValues* report_values);

  int GetPageCount(win::CPrintInfo& info) override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  // The top-left corner of chart i (0..5) of group g.
  static int ChartLeft(int i) { return i % 3 * kChartWidth; }
  static int ChartTop(int group, int i) {
    return 2100 + 1150 * group + kChartHeight * (2 * group) + i / 3 * kChartHeight;
  }
};
