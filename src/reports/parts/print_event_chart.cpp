#include "reports/parts/print_event_chart.h"

#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_report.h"
#include "reports/print_hourly_bar_chart.h"

namespace {

using namespace summary_ids;

constexpr int kGroupHeadings[] = {kIdsVentricularGroup, kIdsSupraventricularGroup, kIdsOtherGroup};
constexpr int kGroupPitch = 8150;

}  // namespace

TPrintEventChart::TPrintEventChart(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values) {}

int TPrintEventChart::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintEventChart) != 0);
  page_count_ = selected ? 1 : 0;
  return page_count_;
}

void TPrintEventChart::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  CZK470Doc* doc = Document();
  if (doc == nullptr || ReportValues() == nullptr) return;
  TPrinter::PrintPage(dc, info, page);
  doc->SetPrintSpanStartMinute(0);
  doc->SetPrintSpanLength(doc->GetRecordingMinutes());
  SetOffset(0, 0);
  std::string marker = platform::LoadString(kIdsEventChartTitle);
  while (!marker.empty() && marker.back() == ':') marker.pop_back();
  for (int group = 0; group < 3; ++group) {
    if (IsPdfExport()) WritePageTitleMarker(dc, marker);
    {
      DrawStep step(dc);
      dc.SetMapMode(gfx::MapMode::kTwips);
      SelectPresetFont(dc, 8, 1);
      const int top = 1500 + kGroupPitch * group;
      ResTextBox(dc, kGroupHeadings[group], 0, 18000, top, top + 600, kLeftText);
    }
    for (int i = 0; i < 6; ++i) {
      const int left = ChartLeft(i);
      const int top = ChartTop(group, i);
      TPrintHourlyBarChart chart(doc, ReportValues(),
                                 kGroupKinds[static_cast<size_t>(group)][static_cast<size_t>(i)], left, top,
                                 left + kChartWidth, top + kChartHeight, 0, 1);
      chart.SetOffset(GetXOffset(), GetYOffset());
      chart.PrepareDC(dc, info);
      chart.Draw(dc, info);
    }
  }
}
