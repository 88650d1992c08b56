#include "reports/parts/print_hourly_tables.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/time_formatter.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_report.h"
#include "trends/report_values.h"

namespace {

using namespace summary_ids;

// Table texts shared with the statistics screen, which brings them.
constexpr int kIdsPauses = 20029;
constexpr int kIdsSves = 20032;
constexpr int kIdsVes = 20038;
constexpr int kIdsCouplets = 20039;
constexpr int kIdsTriplets = 20040;
constexpr int kIdsRonT = 20046;
constexpr int kIdsSvCouplets = 20133;
constexpr int kIdsSvTriplets = 20134;
constexpr int kIdsTotal = 21042;
constexpr int kIdsRhythmTitle = 21045;
constexpr int kIdsSupraventricularTitle = 21047;
constexpr int kIdsVentricularTitle = 21048;
constexpr int kIdsHourBeats = 21049;
constexpr int kIdsHourMin = 21050;
constexpr int kIdsHourMean = 21051;
constexpr int kIdsHourMax = 21052;
constexpr int kIdsHourBrady = 21053;
constexpr int kIdsHourTachy = 21054;
constexpr int kIdsHourSvt = 21055;
constexpr int kIdsHourBigeminy = 21056;
constexpr int kIdsHourTrigeminy = 21057;
constexpr int kIdsHourVt = 21058;
constexpr int kIdsMarkersTitle = 21059;
constexpr int kIdsLeadOff = 21060;
constexpr int kIdsArtefacts = 21061;
constexpr int kIdsSignalTitle = 21063;
constexpr int kIdsHourAa = 21076;

constexpr int kRow = 400;
constexpr int kHeight = 10800;
constexpr int kTotalsTop = 10400;
constexpr int kLabelWidth = 1300;

}  // namespace

TPrintHourlyTables::TPrintHourlyTables(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values) {}

int TPrintHourlyTables::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintSummary) != 0);
  if (!selected || doc == nullptr) {
    page_count_ = 0;
  } else {
    // The report values hold three days of hours; a longer recording would print pages of
    // nothing but their last rows again.
    page_count_ = doc->IsMultiDayRecording() ? std::min(doc->GetDayCount(), kMaxDays) : 1;
  }
  return page_count_;
}

std::string TPrintHourlyTables::PageTitle(int day) const {
  const CZK470Doc* doc = Document();
  if (!doc->IsMultiDayRecording()) return platform::LoadString(kIdsSummaryTitle);
  const std::optional<platform::LocalDateTime> start =
      document::ToLocalDateTime(doc->GetRecordingData().start_date);
  const std::string date = start ? TTimeFormatter(PrintLocale()).FormatDate(*start, day - 1) : std::string();
  const std::string label = platform::LoadString(kIdsDayTitle);
  std::vector<char> text(label.size() + date.size() + 32);
  std::snprintf(text.data(), text.size(), "%s %d (%s) :", label.c_str(), day, date.c_str());
  return text.data();
}

void TPrintHourlyTables::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr || ReportValues() == nullptr) return;
  TPrinter::PrintPage(dc, info, page);
  DrawStep step(dc);
  SetOffset(0, 1500);
  const std::string title = PageTitle(page);
  if (IsPdfExport()) {
    std::string marker = title;
    if (!Document()->IsMultiDayRecording())
      while (!marker.empty() && marker.back() == ':') marker.pop_back();
    WritePageTitleMarker(dc, marker);
  }
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  TextBox(dc, title, 0, 12000, 0, 600, kLeftText);
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  PrintRhythmTable(dc, info, page);
  PrintVentricularTable(dc, info, page);
  PrintMarkerTable(dc, info, page);
}

std::string TPrintHourlyTables::Total(int day_row, int day, const std::string& whole) const {
  if (!Document()->IsMultiDayRecording()) return whole;
  if (day < 1 || day > kMaxDays) return "-1";
  return ReportValues()->GetDayText(day_row, day - 1);
}

void TPrintHourlyTables::DrawTableFrame(gfx::Canvas& dc, int width, std::initializer_list<int> thick_columns,
                                        std::initializer_list<int> thin_columns, int day) {
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, width, kHeight);
  Line(dc, kLabelWidth, 0, kLabelWidth, kHeight);
  Line(dc, 0, 2 * kRow, width, 2 * kRow);
  Line(dc, kLabelWidth, kRow, width, kRow);
  Line(dc, 0, kTotalsTop, width, kTotalsTop);
  for (const int x : thick_columns) Line(dc, x, 0, x, kHeight);
  dc.SelectPen(medium_pen_);
  for (const int x : thin_columns) Line(dc, x, kRow, x, kHeight);
  for (int y = 3 * kRow; y <= 10000; y += kRow) Line(dc, 0, y, width, y);

  dc.SetMapMode(gfx::MapMode::kTwips);
  TReportValues* values = ReportValues();
  values->FillHourLabels(false);
  SelectPresetFont(dc, 7, 1);
  for (int r = 0; r < 24; ++r) {
    const int top = 2 * kRow + r * kRow;
    TextBox(dc, values->GetHourText((day - 1) * 24 + r), 0, kLabelWidth, top, top + kRow, kCentredText);
  }
  SelectPresetFont(dc, 7, 0);
  ResTextBox(dc, kIdsTotal, 0, kLabelWidth, kTotalsTop, kHeight, kCentredText);
}

void TPrintHourlyTables::PrintColumn(gfx::Canvas& dc, int day, int x0, int x1, const std::string& total,
                                     const std::function<std::string(int hour)>& hour_text) {
  SelectPresetFont(dc, 7, 0);
  for (int r = 0; r < 24; ++r) {
    const int top = 2 * kRow + r * kRow;
    TextBox(dc, hour_text((day - 1) * 24 + r), x0, x1, top, top + kRow, kCentredText);
  }
  SelectPresetFont(dc, 7, 1);
  TextBox(dc, total, x0, x1, kTotalsTop, kHeight, kCentredText);
}

namespace {}  // namespace

struct TPrintHourlyTables::CountColumn {
  int x0;
  int x1;
  bool beats;  // beats of a class, else events of a kind
  int code;
  int day_row;
  std::string (TReportValues::*whole)() const;
};

void TPrintHourlyTables::PrintCountColumns(gfx::Canvas& dc, int day, std::span<const CountColumn> columns) {
  TReportValues* values = ReportValues();
  for (const CountColumn& column : columns) {
    if (column.beats)
      values->CountBeatsPerHour(column.code);
    else
      values->CountEventsPerHour(column.code);
    PrintColumn(dc, day, column.x0, column.x1, Total(column.day_row, day, (values->*column.whole)()),
                [&](int hour) { return values->GetHourText(hour); });
  }
}

void TPrintHourlyTables::PrintRhythmTable(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  DrawStep step(dc);
  TReportValues* values = ReportValues();
  SetOffset(0, 2400);
  DrawTableFrame(dc, 18500, {9450, 10700},
                 {2700, 3700, 4700, 5700, 6950, 8200, 12000, 13300, 14600, 15900, 17200}, day);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  ResTextBox(dc, kIdsRhythmTitle, 1300, 9450, 0, kRow, kCentredText);
  ResTextBox(dc, kIdsHourAa, 9450, 10700, 0, kRow, kCentredText);
  ResTextBox(dc, kIdsSupraventricularTitle, 10700, 18500, 0, kRow, kCentredText);
  SelectPresetFont(dc, 7, 0);
  const struct {
    int id;
    int x0;
    int x1;
  } headers[] = {
      {kIdsHourBeats, 1300, 2700},      {kIdsHourMin, 2700, 3700},   {kIdsHourMean, 3700, 4700},
      {kIdsHourMax, 4700, 5700},        {kIdsHourBrady, 5700, 6950}, {kIdsHourTachy, 6950, 8200},
      {kIdsPauses, 8200, 9450},         {kIdsSves, 10700, 12000},    {kIdsSvCouplets, 12000, 13300},
      {kIdsSvTriplets, 13300, 14600},   {kIdsHourSvt, 14600, 15900}, {kIdsHourBigeminy, 15900, 17200},
      {kIdsHourTrigeminy, 17200, 18500}};
  for (const auto& header : headers)
    ResTextBox(dc, header.id, header.x0, header.x1, kRow, 2 * kRow, kCentredText);

  values->FillHourlyHeartRateTable();
  const bool multi_day = Document()->IsMultiDayRecording();
  std::string beats = values->GetBeatCountText();
  if (multi_day)
    beats = day >= 1 && day <= kMaxDays ? std::to_string(values->GetDayBeatTotal(day - 1)) : "-1";
  PrintColumn(dc, day, 1300, 2700, beats, [&](int hour) { return values->GetHourBeatText(hour); });
  PrintColumn(dc, day, 2700, 3700,
              Total(TReportValues::kRowDayMinHeartRate, day,
                    values->GetDayText(TReportValues::kRowRecordingHeartRate, 0)),
              [&](int hour) { return values->GetHourMinText(hour); });
  PrintColumn(dc, day, 3700, 4700,
              Total(TReportValues::kRowDayMeanHeartRate, day,
                    values->GetDayText(TReportValues::kRowRecordingHeartRate, 1)),
              [&](int hour) { return values->GetHourMeanText(hour); });
  PrintColumn(dc, day, 4700, 5700,
              Total(TReportValues::kRowDayMaxHeartRate, day,
                    values->GetDayText(TReportValues::kRowRecordingHeartRate, 2)),
              [&](int hour) { return values->GetHourMaxText(hour); });

  static const CountColumn kColumns[] = {
      {5700, 6950, false, 7, TReportValues::kRowBradycardias, &TReportValues::GetBradycardiaCountText},
      {6950, 8200, false, 8, TReportValues::kRowTachycardias, &TReportValues::GetTachycardiaCountText},
      {8200, 9450, false, 6, TReportValues::kRowPauses, &TReportValues::GetPauseCountText},
      {9450, 10700, false, 24, TReportValues::kRowAbsArrhythmias, &TReportValues::GetAbsArrhythmiaTotalText},
      {10700, 12000, true, 9, TReportValues::kRowSves, &TReportValues::GetSvesCountText},
      {12000, 13300, false, 10, TReportValues::kRowSvCouplets, &TReportValues::GetSvCoupletCountText},
      {13300, 14600, false, 11, TReportValues::kRowSvTriplets, &TReportValues::GetSvTripletCountText},
      {14600, 15900, false, 12, TReportValues::kRowSvts, &TReportValues::GetSvtCountText},
      {15900, 17200, false, 13, TReportValues::kRowSvBigeminies, &TReportValues::GetSvBigeminyCountText},
      {17200, 18500, false, 14, TReportValues::kRowSvTrigeminies, &TReportValues::GetSvTrigeminyCountText},
  };
  PrintCountColumns(dc, day, kColumns);

  SelectPresetFont(dc, 6, 0);
  ResTextBox(dc, kIdsHourlyFootnote, 0, 4000, 10900, 11200, kLeftText);
}

void TPrintHourlyTables::PrintVentricularTable(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  DrawStep step(dc);
  SetOffset(0, 14000);
  DrawTableFrame(dc, 10400, {}, {2600, 3900, 5200, 6500, 7800, 9100}, day);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  ResTextBox(dc, kIdsVentricularTitle, 1300, 10300, 0, kRow, kCentredText);
  static const CountColumn kColumns[] = {
      {1300, 2600, true, 15, TReportValues::kRowVes, &TReportValues::GetVesCountText},
      {2600, 3900, false, 16, TReportValues::kRowVCouplets, &TReportValues::GetVCoupletCountText},
      {3900, 5200, false, 17, TReportValues::kRowVTriplets, &TReportValues::GetVTripletCountText},
      {5200, 6500, false, 18, TReportValues::kRowVts, &TReportValues::GetVtCountText},
      {6500, 7800, false, 19, TReportValues::kRowVBigeminies, &TReportValues::GetVBigeminyCountText},
      {7800, 9100, false, 20, TReportValues::kRowVTrigeminies, &TReportValues::GetVTrigeminyCountText},
      {9100, 10400, false, 23, TReportValues::kRowRonT, &TReportValues::GetRonTCountText},
  };
  constexpr int kHeaders[] = {kIdsVes,          kIdsCouplets,      kIdsTriplets, kIdsHourVt,
                              kIdsHourBigeminy, kIdsHourTrigeminy, kIdsRonT};
  SelectPresetFont(dc, 7, 0);
  for (size_t i = 0; i < std::size(kColumns); ++i)
    ResTextBox(dc, kHeaders[i], kColumns[i].x0, kColumns[i].x1, kRow, 2 * kRow, kCentredText);
  PrintCountColumns(dc, day, kColumns);
}

void TPrintHourlyTables::PrintMarkerTable(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  DrawStep step(dc);
  SetOffset(11200, 14000);
  DrawTableFrame(dc, 7300, {1300, 3100}, {5200}, day);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  ResTextBox(dc, kIdsMarkersTitle, 1300, 3100, 0, kRow, kCentredText);
  ResTextBox(dc, kIdsSignalTitle, 3100, 7300, 0, kRow, kCentredText);
  SelectPresetFont(dc, 7, 0);
  ResTextBox(dc, kIdsLeadOff, 3100, 5200, kRow, 2 * kRow, kCentredText);
  ResTextBox(dc, kIdsArtefacts, 5200, 7300, kRow, 2 * kRow, kCentredText);
  static const CountColumn kColumns[] = {
      {1300, 3100, false, 3, TReportValues::kRowMarkers, &TReportValues::GetMarkerCountText},
      {3100, 5200, false, 4, TReportValues::kRowLeadOff, &TReportValues::GetLeadOffCountText},
      {5200, 7300, true, 5, TReportValues::kRowArtefacts, &TReportValues::GetArtefactCountText},
  };
  PrintCountColumns(dc, day, kColumns);
}
