#include "trends/statistics_grids.h"

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "trends/report_values.h"
#include "trends/statistics_table_area.h"
#include "views/layout_tree.h"

namespace statstyle {

win::GridCellStyle Caption(bool bold) {
  win::GridCellStyle style;
  style.interior = kCaptionGrey;
  style.bold = bold;
  style.read_only = true;
  return style;
}

win::GridCellStyle Value() {
  win::GridCellStyle style;
  style.horz = win::GridHorzAlign::kCenter;
  style.read_only = true;
  return style;
}

win::GridCellStyle Button() {
  win::GridCellStyle style;
  style.kind = win::GridCellKind::kButton;
  style.interior = kCaptionGrey;
  style.text_color = kButtonBlue;
  style.read_only = true;
  return style;
}

}  // namespace statstyle

namespace {

using win::GridRange;
using TRV = TReportValues;

// The summary's go-to buttons: where they lie, what they send and their caption (one string,
// or two joined by a blank).
struct SummaryButton {
  int row;
  int column;
  uint32_t message;
  int caption;
  int caption_second;  // 0: none
};

constexpr SummaryButton kSummaryButtons[] = {
    {8, 1, cmd::kGoToHRMin, statstr::kMinimum, statstr::kRateUnit},
    {10, 1, cmd::kGoToHRMax, statstr::kMaximum, statstr::kRateUnit},
    {12, 1, statmsg::kLongestBradycardia, statstr::kLongest, 0},
    {14, 1, statmsg::kLongestTachycardia, statstr::kLongest, 0},
    {16, 1, cmd::kGoToRRMin, statstr::kShortestInterval, statstr::kIntervalUnit},
    {17, 1, cmd::kGoToRRMax, statstr::kLongestInterval, statstr::kIntervalUnit},
    {20, 1, cmd::kGoToSinusHRMin, statstr::kMinimum, statstr::kRateUnit},
    {21, 1, cmd::kGoToSinusHRMax, statstr::kMaximum, statstr::kRateUnit},
    {22, 1, cmd::kGoToNNMin, statstr::kShortestInterval, statstr::kIntervalUnit},
    {23, 1, cmd::kGoToNNMax, statstr::kLongestInterval, statstr::kIntervalUnit},
    {6, 6, statmsg::kLongestVt, statstr::kLongest, 0},
    {7, 6, statmsg::kFastestVt, statstr::kFastest, 0},
    {9, 6, statmsg::kLongestVBigeminy, statstr::kLongest, 0},
    {10, 6, statmsg::kFastestVBigeminy, statstr::kFastest, 0},
    {12, 6, statmsg::kLongestVTrigeminy, statstr::kLongest, 0},
    {13, 6, statmsg::kFastestVTrigeminy, statstr::kFastest, 0},
    {18, 6, statmsg::kLongestSvt, statstr::kLongest, 0},
    {19, 6, statmsg::kFastestSvt, statstr::kFastest, 0},
};

bool IsExtremeMessage(uint32_t message) {
  switch (message) {
    case cmd::kGoToHRMin:
    case cmd::kGoToHRMax:
    case cmd::kGoToSinusHRMin:
    case cmd::kGoToSinusHRMax:
    case cmd::kGoToRRMin:
    case cmd::kGoToRRMax:
    case cmd::kGoToNNMin:
    case cmd::kGoToNNMax:
      return true;
    default:
      return false;
  }
}

std::string Str(int id) { return platform::LoadString(id); }

void Put(win::GridCtrl& grid, int row, int column, std::string_view text, const win::GridCellStyle& style) {
  grid.SetItemText(row, column, text);
  grid.SetCellStyle(row, column, style);
}

void Cover(win::GridCtrl& grid, const GridRange& range, std::string_view text,
           const win::GridCellStyle& style) {
  grid.SetCoveredCells(range);
  grid.SetRangeStyle(range, style);
  grid.SetItemText(range.top, range.left, text);
}

// Captions of row 1 from the column given on.
void PutCaptions(win::GridCtrl& grid, int row, int first_column, std::initializer_list<int> ids) {
  int column = first_column;
  for (const int id : ids)
    Put(grid, row, column++, id == 0 ? std::string() : Str(id), statstyle::Caption(true));
}

win::GridCellStyle TotalStyle() {
  win::GridCellStyle style = statstyle::Caption(true);
  style.horz = win::GridHorzAlign::kCenter;
  return style;
}

win::GridCellStyle TotalButton() {
  win::GridCellStyle style = statstyle::Button();
  style.bold = true;
  style.horz = win::GridHorzAlign::kCenter;
  return style;
}

struct HourRows {
  int first_hour;  // hour index of row 2
  int hours;
  int total_row;
};

HourRows HourRowsOf(int day) {
  if (day == 99) return {0, 72, 74};
  return {day * 24, 24, 26};
}

void PutHourLabels(win::GridCtrl& grid, TReportValues& values, const HourRows& rows, int column) {
  values.FillHourLabels(true);
  for (int i = 0; i < rows.hours; ++i)
    Put(grid, 2 + i, column, values.GetHourText(rows.first_hour + i), statstyle::Caption(true));
}

// The hour texts of the last count into the column.
void PutHourCounts(win::GridCtrl& grid, const TReportValues& values, const HourRows& rows, int column) {
  for (int i = 0; i < rows.hours; ++i)
    Put(grid, 2 + i, column, values.GetHourText(rows.first_hour + i), statstyle::Value());
}

void PutEventCounts(win::GridCtrl& grid, TReportValues& values, const HourRows& rows, int column, int kind) {
  values.CountEventsPerHour(kind);
  PutHourCounts(grid, values, rows, column);
}

void PutBeatCounts(win::GridCtrl& grid, TReportValues& values, const HourRows& rows, int column,
                   int beat_class) {
  values.CountBeatsPerHour(beat_class);
  PutHourCounts(grid, values, rows, column);
}

// The date and time of the moment that many minutes after the recording start, in the locale's
// short date and time; empty for a start the calendar refuses.
std::string RecordingMomentText(const CZK470Doc& doc, const platform::Locale& locale, int minutes) {
  const TRecordingData& record = doc.GetRecordingData();
  const std::optional<platform::LocalDateTime> start = document::ToLocalDateTime(
      platform::OleDateTime{record.start_date.status, record.start_date.days + record.start_time.days});
  if (!start) return {};
  using namespace std::chrono;
  const sys_days date{year{start->year} / start->month / start->day};
  const sys_seconds moment =
      date + hours{start->hour} + std::chrono::minutes{start->minute + minutes} + seconds{start->second};
  const sys_days moment_day = floor<days>(moment);
  const year_month_day ymd{moment_day};
  const hh_mm_ss clock{moment - moment_day};
  return locale.FormatShortDate(static_cast<int>(ymd.year()),
                                static_cast<int>(static_cast<unsigned>(ymd.month())),
                                static_cast<int>(static_cast<unsigned>(ymd.day()))) +
         " " +
         locale.FormatTime(static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                           static_cast<int>(clock.seconds().count()));
}

std::string LengthText(int minutes) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Grids

void CStatisticsGrid::SetTableSize(int rows, int columns) {
  SetRowCount(rows + 1);
  SetColumnCount(columns + 1);
}

void CStatisticsGrid::OnCellButtonClicked(int row, int column) {
  const uint32_t message = ButtonMessage(row, column);
  if (message == 0 || node_ == nullptr) return;
  if (IsExtremeMessage(message) && document_ != nullptr && document_->GetExtremesValid() == 0) {
    document_->RecalcHeartRateExtremes(0, 0, 1);
  }
  if (CViewAreaConfig* root = node_->GetRoot()) root->BroadcastAll(message, 0, 0);
}

uint32_t CStatisticsRhythmGrid::ButtonMessage(int row, int column) const {
  if (row != total_row_) return 0;
  if (column == 2) return cmd::kGoToHRMin;
  if (column == 4) return cmd::kGoToHRMax;
  return 0;
}

uint32_t CStatisticsSummaryGrid::ButtonMessage(int row, int column) const {
  for (const SummaryButton& b : kSummaryButtons) {
    if (b.row == row && b.column == column) return b.message;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Cell maps

void CStatisticsTableArea::FillRhythmGrid(int day) {
  CStatisticsRhythmGrid& grid = *rhythm_;
  TReportValues& values = *values_;
  const HourRows rows = HourRowsOf(day);
  const int total = rows.total_row;
  grid.SetTableSize(total, 15);
  grid.ClearCells({1, 1, total, 15});
  grid.SetTotalRow(total);

  const win::GridCellStyle caption = statstyle::Caption(true);
  Cover(grid, {0, 0, 1, 0}, "", caption);
  Cover(grid, {0, 1, 0, 7}, Str(statstr::kRhythmTitle), caption);
  PutCaptions(grid, 1, 1,
              {statstr::kHourBeats, statstr::kHourMin, statstr::kHourMean, statstr::kHourMax,
               statstr::kHourBrady, statstr::kHourTachy, statstr::kPauses});
  Put(grid, 0, 8, Str(statstr::kHourAa), caption);
  Put(grid, 1, 8, "", caption);

  PutHourLabels(grid, values, rows, 0);
  values.FillHourlyHeartRateTable();
  for (int i = 0; i < rows.hours; ++i) {
    const int hour = rows.first_hour + i;
    Put(grid, 2 + i, 1, values.GetHourBeatText(hour), statstyle::Value());
    Put(grid, 2 + i, 2, values.GetHourMinText(hour), statstyle::Value());
    Put(grid, 2 + i, 3, values.GetHourMeanText(hour), statstyle::Value());
    Put(grid, 2 + i, 4, values.GetHourMaxText(hour), statstyle::Value());
  }
  PutEventCounts(grid, values, rows, 5, 7);
  PutEventCounts(grid, values, rows, 6, 8);
  PutEventCounts(grid, values, rows, 7, 6);

  const win::GridCellStyle total_style = TotalStyle();
  Put(grid, total, 0, Str(statstr::kTotal), total_style);
  if (day == 99) {
    Put(grid, total, 1, values.GetBeatCountText(), total_style);
    Put(grid, total, 2, values.GetDayText(TRV::kRowRecordingHeartRate, 0), TotalButton());
    Put(grid, total, 3, values.GetDayText(TRV::kRowRecordingHeartRate, 1), total_style);
    Put(grid, total, 4, values.GetDayText(TRV::kRowRecordingHeartRate, 2), TotalButton());
    Put(grid, total, 5, values.GetBradycardiaCountText(), total_style);
    Put(grid, total, 6, values.GetTachycardiaCountText(), total_style);
    Put(grid, total, 7, values.GetPauseCountText(), total_style);
  } else {
    Put(grid, total, 1, std::to_string(values.GetDayBeatTotal(day)), total_style);
    Put(grid, total, 2, values.GetDayText(TRV::kRowDayMinHeartRate, day), total_style);
    Put(grid, total, 3, values.GetDayText(TRV::kRowDayMeanHeartRate, day), total_style);
    Put(grid, total, 4, values.GetDayText(TRV::kRowDayMaxHeartRate, day), total_style);
    Put(grid, total, 5, values.GetDayText(TRV::kRowBradycardias, day), total_style);
    Put(grid, total, 6, values.GetDayText(TRV::kRowTachycardias, day), total_style);
    Put(grid, total, 7, values.GetDayText(TRV::kRowPauses, day), total_style);
  }

  PutEventCounts(grid, values, rows, 8, 24);
  Put(grid, total, 8,
      day == 99 ? values.GetAbsArrhythmiaTotalText() : values.GetDayText(TRV::kRowAbsArrhythmias, day),
      total_style);

  Cover(grid, {0, 9, 1, 9}, "", caption);
  Cover(grid, {0, 10, 0, 15}, Str(statstr::kSupraventricularTitle), caption);
  PutCaptions(grid, 1, 10,
              {statstr::kSves, statstr::kSvCouplets, statstr::kSvTriplets, statstr::kHourSvt,
               statstr::kHourBigeminy, statstr::kHourTrigeminy});
  PutHourLabels(grid, values, rows, 9);
  PutBeatCounts(grid, values, rows, 10, 9);
  for (int kind = 10; kind <= 14; ++kind) PutEventCounts(grid, values, rows, kind + 1, kind);

  Put(grid, total, 9, Str(statstr::kTotal), total_style);
  if (day == 99) {
    Put(grid, total, 10, values.GetSvesCountText(), total_style);
    Put(grid, total, 11, values.GetSvCoupletCountText(), total_style);
    Put(grid, total, 12, values.GetSvTripletCountText(), total_style);
    Put(grid, total, 13, values.GetSvtCountText(), total_style);
    Put(grid, total, 14, values.GetSvBigeminyCountText(), total_style);
    Put(grid, total, 15, values.GetSvTrigeminyCountText(), total_style);
  } else {
    for (int row = TRV::kRowSves; row <= TRV::kRowSvTrigeminies; ++row) {
      Put(grid, total, 10 + (row - TRV::kRowSves), values.GetDayText(row, day), total_style);
    }
  }
}

void CStatisticsTableArea::FillVentricularGrid(int day) {
  CStatisticsVentricularGrid& grid = *ventricular_;
  TReportValues& values = *values_;
  const HourRows rows = HourRowsOf(day);
  const int total = rows.total_row;
  grid.SetTableSize(total, 15);
  grid.ClearCells({1, 1, total, 15});

  const win::GridCellStyle caption = statstyle::Caption(true);
  Cover(grid, {0, 0, 1, 0}, "", caption);
  Cover(grid, {0, 1, 0, 7}, Str(statstr::kVentricularTitle), caption);
  PutCaptions(grid, 1, 1,
              {statstr::kVes, statstr::kCouplets, statstr::kTriplets, statstr::kHourVt,
               statstr::kHourBigeminy, statstr::kHourTrigeminy, statstr::kRonT});
  Cover(grid, {0, 8, 1, 8}, "", caption);
  Put(grid, 0, 9, Str(statstr::kMarkersTitle), caption);
  Cover(grid, {0, 10, 0, 11}, Str(statstr::kSignalTitle), caption);
  PutCaptions(grid, 1, 9, {0, statstr::kLeadOff, statstr::kArtefacts});
  Cover(grid, {0, 12, 1, 15}, "", caption);

  PutHourLabels(grid, values, rows, 0);
  PutHourLabels(grid, values, rows, 8);
  PutBeatCounts(grid, values, rows, 1, 15);
  PutEventCounts(grid, values, rows, 2, 16);
  PutEventCounts(grid, values, rows, 3, 17);
  PutEventCounts(grid, values, rows, 4, 18);
  PutEventCounts(grid, values, rows, 5, 19);
  PutEventCounts(grid, values, rows, 6, 20);
  PutEventCounts(grid, values, rows, 7, 23);
  PutEventCounts(grid, values, rows, 9, 3);
  PutEventCounts(grid, values, rows, 10, 4);
  PutBeatCounts(grid, values, rows, 11, 5);

  const win::GridCellStyle total_style = TotalStyle();
  Put(grid, total, 0, Str(statstr::kTotal), total_style);
  Put(grid, total, 8, Str(statstr::kTotal), total_style);
  if (day == 99) {
    const std::string texts[] = {values.GetVesCountText(),       values.GetVCoupletCountText(),
                                 values.GetVTripletCountText(),  values.GetVtCountText(),
                                 values.GetVBigeminyCountText(), values.GetVTrigeminyCountText(),
                                 values.GetRonTCountText()};
    for (int i = 0; i < 7; ++i) Put(grid, total, 1 + i, texts[i], total_style);
    Put(grid, total, 9, values.GetMarkerCountText(), total_style);
    Put(grid, total, 10, values.GetLeadOffCountText(), total_style);
    Put(grid, total, 11, values.GetArtefactCountText(), total_style);
  } else {
    for (int row = TRV::kRowVes; row <= TRV::kRowRonT; ++row) {
      Put(grid, total, 1 + (row - TRV::kRowVes), values.GetDayText(row, day), total_style);
    }
    for (int row = TRV::kRowMarkers; row <= TRV::kRowArtefacts; ++row) {
      Put(grid, total, 9 + (row - TRV::kRowMarkers), values.GetDayText(row, day), total_style);
    }
  }
}

void CStatisticsTableArea::FillSummaryGrid() {
  CStatisticsSummaryGrid& grid = *summary_;
  TReportValues& values = *values_;
  CZK470Doc& doc = *GetDocument();
  const win::GridCellStyle caption = statstyle::Caption();
  const win::GridCellStyle value = statstyle::Value();
  // Every cell of a block is white first; captions and buttons go over it.
  for (const GridRange& block :
       {GridRange{1, 1, 4, 4}, GridRange{6, 1, 17, 4}, GridRange{19, 1, 23, 4}, GridRange{1, 6, 13, 10},
        GridRange{15, 6, 19, 10}, GridRange{21, 6, 22, 10}}) {
    grid.SetRangeStyle(block, value);
  }
  const auto put_caption = [&](int row, int column, int id) { Put(grid, row, column, Str(id), caption); };
  const auto put_value = [&](int row, int column, const std::string& text) {
    Put(grid, row, column, text, value);
  };

  // Recording.
  const int minutes = doc.GetRecordingMinutes();
  put_caption(1, 1, statstr::kRecording);
  Cover(grid, {1, 2, 1, 4}, Str(statstr::kTime), caption);
  put_caption(2, 1, statstr::kStart);
  Cover(grid, {2, 2, 2, 4}, RecordingMomentText(doc, ReportValuesLocale(), 0), value);
  put_caption(3, 1, statstr::kEnd);
  Cover(grid, {3, 2, 3, 4}, RecordingMomentText(doc, ReportValuesLocale(), minutes), value);
  Put(grid, 4, 1, Str(statstr::kLength) + " " + Str(statstr::kLengthUnit), caption);
  Cover(grid, {4, 2, 4, 4}, LengthText(minutes), value);

  values.ComputeEpisodes();

  // Heart rate and rhythm.
  put_caption(6, 1, statstr::kHeartRate);
  Put(grid, 6, 2, "", caption);
  put_caption(6, 3, statstr::kTime);
  put_caption(6, 4, statstr::kDuration);
  put_caption(7, 1, statstr::kBeats);
  put_value(7, 2, values.GetBeatCountText());
  put_value(8, 2, values.GetMinHeartRateText());
  put_value(8, 3, values.GetMinHeartRateTimeText());
  Put(grid, 9, 1, Str(statstr::kMean) + " " + Str(statstr::kRateUnit), caption);
  put_value(9, 2, values.GetMeanHeartRateText());
  put_value(10, 2, values.GetMaxHeartRateText());
  put_value(10, 3, values.GetMaxHeartRateTimeText());
  put_caption(11, 1, statstr::kBradycardias);
  put_value(11, 2, values.GetBradycardiaCountText());
  put_value(12, 3, values.GetLongestBradycardiaTimeText());
  put_value(12, 4, values.GetLongestBradycardiaDurationText());
  put_caption(13, 1, statstr::kTachycardias);
  put_value(13, 2, values.GetTachycardiaCountText());
  put_value(14, 3, values.GetLongestTachycardiaTimeText());
  put_value(14, 4, values.GetLongestTachycardiaDurationText());
  put_caption(15, 1, statstr::kPauses);
  put_value(15, 2, values.GetPauseCountText());
  put_value(16, 2, values.GetMinRRText());
  put_value(16, 3, values.GetMinRRTimeText());
  put_value(17, 2, values.GetMaxRRText());
  put_value(17, 3, values.GetMaxRRTimeText());

  // Sinus rate and NN intervals: the time spans columns 3 and 4.
  put_caption(19, 1, statstr::kSinusRhythm);
  Put(grid, 19, 2, "", caption);
  Cover(grid, {19, 3, 19, 4}, Str(statstr::kTime), caption);
  const auto put_sinus = [&](int row, const std::string& number, const std::string& time) {
    put_value(row, 2, number);
    Cover(grid, {row, 3, row, 4}, time, value);
  };
  put_sinus(20, values.GetMinSinusRateText(), values.GetMinSinusRateTimeText());
  put_sinus(21, values.GetMaxSinusRateText(), values.GetMaxSinusRateTimeText());
  put_sinus(22, values.GetMinNNText(), values.GetMinNNTimeText());
  put_sinus(23, values.GetMaxNNText(), values.GetMaxNNTimeText());

  // Ventricular.
  const auto put_block_head = [&](int row, int first) {
    put_caption(row, 6, first);
    put_caption(row, 7, statstr::kCount);
    put_caption(row, 8, statstr::kMaxPerHour);
    put_caption(row, 9, statstr::kDuration);
    put_caption(row, 10, statstr::kRate);
  };
  const auto put_count = [&](int row, int id, const std::string& count, const std::string& per_hour) {
    put_caption(row, 6, id);
    put_value(row, 7, count);
    put_value(row, 8, per_hour);
  };
  const auto put_episode = [&](int row, const std::string& time, const std::string& duration,
                               const std::string& rate) {
    put_value(row, 7, time);
    put_value(row, 9, duration);
    put_value(row, 10, rate);
  };
  put_block_head(1, statstr::kVes);
  put_count(2, statstr::kVes, values.GetVesCountText(), values.GetMaxVesPerHourText());
  put_count(3, statstr::kCouplets, values.GetVCoupletCountText(), values.GetMaxVCoupletsPerHourText());
  put_count(4, statstr::kTriplets, values.GetVTripletCountText(), values.GetMaxVTripletsPerHourText());
  put_count(5, statstr::kVt, values.GetVtCountText(), values.GetMaxVtPerHourText());
  put_episode(6, values.GetLongestVtTimeText(), values.GetLongestVtDurationText(),
              values.GetLongestVtRateText());
  put_episode(7, values.GetFastestVtTimeText(), values.GetFastestVtDurationText(),
              values.GetFastestVtRateText());
  put_count(8, statstr::kBigeminy, values.GetVBigeminyCountText(), values.GetMaxVBigeminyPerHourText());
  put_episode(9, values.GetLongestVBigeminyTimeText(), values.GetLongestVBigeminyDurationText(),
              values.GetLongestVBigeminyRateText());
  put_episode(10, values.GetFastestVBigeminyTimeText(), values.GetFastestVBigeminyDurationText(),
              values.GetFastestVBigeminyRateText());
  put_count(11, statstr::kTrigeminy, values.GetVTrigeminyCountText(), values.GetMaxVTrigeminyPerHourText());
  put_episode(12, values.GetLongestVTrigeminyTimeText(), values.GetLongestVTrigeminyDurationText(),
              values.GetLongestVTrigeminyRateText());
  put_episode(13, values.GetFastestVTrigeminyTimeText(), values.GetFastestVTrigeminyDurationText(),
              values.GetFastestVTrigeminyRateText());

  // Supraventricular.
  put_block_head(15, statstr::kSves);
  put_count(16, statstr::kSves, values.GetSvesCountText(), values.GetMaxSvesPerHourText());
  put_count(17, statstr::kSvt, values.GetSvtCountText(), values.GetMaxSvtPerHourText());
  put_episode(18, values.GetLongestSvtTimeText(), values.GetLongestSvtDurationText(),
              values.GetLongestSvtRateText());
  put_episode(19, values.GetFastestSvtTimeText(), values.GetFastestSvtDurationText(),
              values.GetFastestSvtRateText());

  // Absolute arrhythmia: the longest spans columns 9 and 10.
  put_caption(21, 6, statstr::kAbsArrhythmia);
  put_caption(21, 7, statstr::kTotal);
  put_caption(21, 8, statstr::kMaxPerHour);
  Cover(grid, {21, 9, 21, 10}, Str(statstr::kLongestWithDuration), caption);
  put_count(22, statstr::kAaEpisodes, values.GetAbsArrhythmiaCountText(),
            values.GetMaxAbsArrhythmiaPerHourText());
  Cover(grid, {22, 9, 22, 10}, values.GetLongestAbsArrhythmiaText(), value);

  for (const SummaryButton& b : kSummaryButtons) {
    std::string text = Str(b.caption);
    if (b.caption_second != 0) text += " " + Str(b.caption_second);
    Put(grid, b.row, b.column, text, statstyle::Button());
  }
}
