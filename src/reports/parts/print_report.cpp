#include "reports/parts/print_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <tuple>

#include "document/document_context.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "gfx/font_metrics.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "trends/report_values.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/dialog_template.h"
#include "win/prompt.h"

namespace {

FindingsWindowAccess g_findings_access = nullptr;

using namespace summary_ids;

// Shared with other owners, who bring the texts.
constexpr int kIdsRecording = 20017;
constexpr int kIdsHeartRate = 20018;
constexpr int kIdsSinusRhythm = 20019;
constexpr int kIdsAbsArrhythmia = 20020;
constexpr int kIdsStart = 20022;
constexpr int kIdsEnd = 20023;
constexpr int kIdsDuration = 20024;
constexpr int kIdsBeats = 20025;
constexpr int kIdsMinimum = 20026;
constexpr int kIdsMean = 20027;
constexpr int kIdsMaximum = 20028;
constexpr int kIdsPauses = 20029;
constexpr int kIdsBradycardias = 20030;
constexpr int kIdsTachycardias = 20031;
constexpr int kIdsSves = 20032;
constexpr int kIdsVes = 20038;
constexpr int kIdsCouplets = 20039;
constexpr int kIdsTriplets = 20040;
constexpr int kIdsVt = 20041;
constexpr int kIdsBigeminy = 20042;
constexpr int kIdsTrigeminy = 20043;
constexpr int kIdsAaEpisodes = 20047;
constexpr int kIdsSvt = 20135;
constexpr int kIdsTotal = 21042;
constexpr int kIdsMaxPerHour = 21043;
constexpr int kIdsLongest = 21044;
constexpr int kIdsFastest = 21079;
constexpr int kIdsRate = 21080;
constexpr int kIdsShortestInterval = 21081;
constexpr int kIdsLongestInterval = 21082;
constexpr int kIdsTime = 21083;
constexpr int kIdsLongestWithDuration = 21084;
constexpr int kIdsCount = 21086;
constexpr int kIdsIntervalUnit = 21088;
constexpr int kIdsLengthUnit = 21089;
constexpr int kIdsLength = 21090;
constexpr int kIdsSummaryMarker = 21102;
constexpr int kIdsChannels = 21107;
constexpr int kIdsAnalysed = 21108;
constexpr int kIdsRateUnit = 14389;
constexpr int kIdsCountUnit = 16001;
constexpr int kIdsSecondUnit = 16003;

constexpr const char* kBradycardiaLabels[] = {"30", "35", "40", "45", "50", "55", "60", "65", "70"};
constexpr const char* kTachycardiaLabels[] = {"80",  "90",  "100", "110", "120", "130", "140", "150",
                                              "160", "170", "180", "190", "200", "210", "220"};
constexpr const char* kPauseLabels[] = {"1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"};
constexpr const char* kPercentLabels[] = {"15", "20", "25", "30", "35", "40", "45", "50"};

constexpr int kRow = 500;
constexpr int kLine = 400;
// The edit field paints its text 3 pixels in from either side.
constexpr int kEditTextInset = 3;

// The length in bytes of the longest prefix of text that is whole code points and at most limit.
size_t CodePointPrefix(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text.size();
  size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

size_t CodePointLength(std::string_view text, size_t at) {
  size_t length = 1;
  while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
    ++length;
  return length;
}

void WrapParagraph(std::string_view paragraph, double width, const gfx::Font& font,
                   std::vector<std::string>& lines) {
  if (paragraph.empty()) {
    lines.emplace_back();
    return;
  }
  size_t start = 0;
  while (start < paragraph.size()) {
    size_t end = start;   // end of the longest fitting part
    size_t break_at = 0;  // after the last blank that fits, 0: none
    while (end < paragraph.size()) {
      if (paragraph[end] == ' ') {
        // Blanks never push a line over: they hang at its end.
        ++end;
        break_at = end;
        continue;
      }
      const size_t next = end + CodePointLength(paragraph, end);
      if (gfx::StandardTextWidth(font, paragraph.substr(start, next - start)) > width) break;
      end = next;
    }
    if (end < paragraph.size() && break_at > start) end = break_at;
    // At least one character a line, however narrow the field.
    if (end == start) end = start + CodePointLength(paragraph, start);
    lines.emplace_back(paragraph.substr(start, end - start));
    start = end;
  }
}

}  // namespace

void SetFindingsWindowAccess(FindingsWindowAccess access) { g_findings_access = access; }

std::vector<std::string> WrapEditText(std::string_view text, int width_px, const gfx::Font& font) {
  std::vector<std::string> lines;
  const double width = std::max(width_px, 1);
  size_t start = 0;
  while (true) {
    const size_t newline = text.find('\n', start);
    std::string_view paragraph =
        text.substr(start, newline == std::string_view::npos ? text.npos : newline - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    WrapParagraph(paragraph, width, font, lines);
    if (newline == std::string_view::npos) break;
    start = newline + 1;
  }
  return lines;
}

TPrintReport::TPrintReport(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values) {}

std::optional<std::vector<std::string>> TPrintReport::FieldLines(int control_id) const {
  const TFindingsDlg* findings = FindingsDialog();
  if (findings == nullptr || g_findings_access == nullptr) return std::nullopt;
  const win::Dialog* dialog = g_findings_access(findings);
  const win::Edit* edit = dialog != nullptr ? dialog->Item<win::Edit>(control_id) : nullptr;
  if (edit == nullptr) return std::nullopt;
  const int width = edit->GetClientRect().Width() - 2 * kEditTextInset;
  std::vector<std::string> lines = WrapEditText(edit->GetWindowText(), width, edit->GetFont());
  for (std::string& line : lines) {
    line.resize(CodePointPrefix(line, kMaxLineChars));
    CleanText(line);
  }
  return lines;
}

void TPrintReport::CountCommentLines() {
  const std::optional<std::vector<std::string>> lines = FieldLines(kDiagnosisControl);
  comment_lines_ = lines ? static_cast<int>(lines->size()) : kCommentLinesOnFirstPage;
}

int TPrintReport::GetPageCount(win::CPrintInfo&) {
  CountCommentLines();
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintReport) != 0);
  page_count_ = !selected ? 0 : comment_lines_ <= kCommentLinesOnFirstPage ? 1 : 2;
  return page_count_;
}

void TPrintReport::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) { Print(dc, info, page); }

void TPrintReport::Print(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (page != 1 && page != 2) {
    win::CurrentPrompt().MessageBox("Error in TPrintReport::Print", {}, win::kMbOk);
    return;
  }
  if (Document() == nullptr) return;
  SetFullHeader(page == 1 ? 1 : 0);
  TPrinter::PrintPage(dc, info, page);
  SetOffset(0, 0);
  if (page == 1) {
    PrintFindingsBox(dc, info);
    PrintSummaryTables(dc, info);
    if (comment_lines_ <= kCommentLinesOnFirstPage) PrintComment(dc, info, 1);
  } else {
    PrintComment(dc, info, 2);
  }
}

std::string TPrintReport::ThresholdText(std::string_view opening, int index,
                                        std::span<const char* const> labels, std::string_view unit) {
  const bool known = index >= 0 && index < static_cast<int>(labels.size());
  std::string text(opening);
  text += known ? labels[static_cast<size_t>(index)] : "-";
  text += unit;
  text += ')';
  return text;
}

void TPrintReport::PrintFieldLines(gfx::Canvas& dc, int control_id, const std::string& record_text, int x0,
                                   int x1, int first_y, int end_y, bool bounded, int filler_blanks) {
  int printed = 0;
  const std::optional<std::vector<std::string>> lines =
      record_text.empty() ? std::nullopt : FieldLines(control_id);
  if (lines) {
    int y = first_y;
    for (const std::string& line : *lines) {
      if (bounded && y >= end_y) break;
      if (!line.empty()) {
        TextBox(dc, line, x0, x1, y, y + kLine, kLeftText);
        ++printed;
      }
      y += kLine;
    }
  }
  if (!IsPdfExport()) return;
  const std::string blanks(static_cast<size_t>(filler_blanks), ' ');
  for (int k = printed; first_y + kLine * k < end_y; ++k)
    TextBox(dc, blanks, x0, x1, first_y + kLine * k, first_y + kLine * (k + 1), kLeftText);
}

void TPrintReport::PrintFindingsBox(gfx::Canvas& dc, win::CPrintInfo&) {
  DrawStep step(dc);
  const TRecordingData& record = Document()->GetRecordingData();
  SetOffset(0, 2800);
  dc.SelectPen(medium_pen_);
  Frame(dc, 0, 700, 18500, 4500);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  ResTextBox(dc, kIdsFirstFindingsCaption, 300, 4000, 1000, 1400, kLeftText);
  ResTextBox(dc, kIdsSecondFindingsCaption, 300, 4000, 2200, 2600, kLeftText);
  ResTextBox(dc, kIdsMedicationCaption, 8700, 12700, 1000, 1400, kLeftText);
  SelectPresetFont(dc, 7, 0);
  // Every area stops at the bottom of its place in the box.
  PrintFieldLines(dc, kFirstFindingsControl, record.assignment_heading, 3300, 8500, 1000, 1800, true, 40);
  PrintFieldLines(dc, kSecondFindingsControl, record.assignment_text, 3300, 8500, 2200, 4200, true, 40);
  PrintFieldLines(dc, kMedicationControl, record.medication, 11000, 18500, 1000, 4200, true, 40);
}

std::string TPrintReport::RecordingStartText() const {
  const TRecordingData& record = Document()->GetRecordingData();
  const std::optional<platform::LocalDateTime> date = document::ToLocalDateTime(record.start_date);
  const std::optional<platform::LocalDateTime> time = document::ToLocalDateTime(record.start_time);
  if (!date || !time) return {};
  const platform::Locale& locale = PrintLocale();
  return locale.FormatShortDate(date->year, date->month, date->day) + " " +
         locale.FormatTime(time->hour, time->minute, time->second);
}

std::string TPrintReport::RecordingEndText() const {
  const TRecordingData& record = Document()->GetRecordingData();
  const std::optional<platform::LocalDateTime> date = document::ToLocalDateTime(record.start_date);
  const std::optional<platform::LocalDateTime> time = document::ToLocalDateTime(record.start_time);
  if (!date || !time) return {};
  const int64_t seconds = (time->hour * 60 + time->minute) * 60 + time->second +
                          static_cast<int64_t>(Document()->GetRecordingMinutes()) * 60;
  const double day_number = std::floor(record.start_date.days) + static_cast<double>(seconds / 86400);
  const std::optional<platform::LocalDateTime> end_date =
      document::ToLocalDateTime(platform::OleDateTime{0, day_number});
  if (!end_date) return {};
  const int64_t of_day = seconds % 86400;
  const platform::Locale& locale = PrintLocale();
  return locale.FormatShortDate(end_date->year, end_date->month, end_date->day) + " " +
         locale.FormatTime(static_cast<int>(of_day / 3600), static_cast<int>(of_day / 60 % 60),
                           static_cast<int>(of_day % 60));
}

std::string TPrintReport::DurationText(int minutes) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
  return text;
}

std::string TPrintReport::ChannelsText() const {
  const document::ChannelSet& channels = document::Context().g_AnalysisChannels;
  char text[32];
  if (channels.count == 1)
    std::snprintf(text, sizeof text, "%d ", channels.channels[0] + 1);
  else
    std::snprintf(text, sizeof text, "%d+%d ", channels.channels[0] + 1, channels.channels[1] + 1);
  return text + platform::LoadString(kIdsAnalysed);
}

namespace {

// One row of a block: texts with their x range and alignment, all in the row's 500 band.
struct Cell {
  std::string text;
  int x0;
  int x1;
  uint32_t format;
};

}  // namespace

void TPrintReport::PrintSummaryTables(gfx::Canvas& dc, win::CPrintInfo&) {
  DrawStep step(dc);
  TReportValues* values = ReportValues();
  const TRecordingData& record = Document()->GetRecordingData();
  SetOffset(0, 7500);
  if (IsPdfExport()) WritePageTitleMarker(dc, platform::LoadString(kIdsSummaryMarker));

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  ResTextBox(dc, kIdsSummaryTitle, 0, 12000, 0, 600, kLeftText);
  if (values == nullptr) return;
  values->ComputeEpisodes();

  // Frame, header line, row lines and column lines of a block; then its caption and headers.
  const auto block = [&](int left, int top, int right, int bottom, std::initializer_list<int> columns,
                         int caption, int caption_x0, int caption_x1,
                         std::initializer_list<std::tuple<int, int, int>> headers) {
    dc.SetMapMode(gfx::MapMode::kHiMetric);
    dc.SelectPen(thick_pen_);
    Frame(dc, left, top, right, bottom);
    Line(dc, left, top + kRow, right, top + kRow);
    dc.SelectPen(medium_pen_);
    for (int y = top + 2 * kRow; y < bottom; y += kRow) Line(dc, left, y, right, y);
    for (const int x : columns) Line(dc, x, top, x, bottom);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    ResTextBox(dc, caption, caption_x0, caption_x1, top, top + kRow, kLeftText);
    SelectPresetFont(dc, 7, 0);
    for (const auto& [id, x0, x1] : headers) ResTextBox(dc, id, x0, x1, top, top + kRow, kCentredText);
  };
  const auto row = [&](int y, const std::vector<Cell>& cells) {
    for (const Cell& cell : cells) TextBox(dc, cell.text, cell.x0, cell.x1, y, y + kRow, cell.format);
  };
  const auto text = [](int id) { return platform::LoadString(id); };
  const std::string per_minute = text(kIdsRateUnit);

  block(0, 1000, 9000, 3500, {3500}, kIdsRecording, 200, 4200, {{kIdsTime, 3500, 9000}});
  row(1500, {{text(kIdsStart), 200, 4200, kLeftText}, {RecordingStartText(), 3500, 9000, kCentredText}});
  row(2000, {{text(kIdsEnd), 200, 4200, kLeftText}, {RecordingEndText(), 3500, 9000, kCentredText}});
  row(2500, {{text(kIdsLength), 200, 4200, kLeftText},
             {text(kIdsLengthUnit), 2000, 3300, kRightText},
             {DurationText(Document()->GetRecordingMinutes()), 3500, 9000, kCentredText}});
  row(3000, {{text(kIdsChannels), 200, 4200, kLeftText}, {ChannelsText(), 3500, 9000, kCentredText}});

  const std::string beats_per_minute = text(kIdsCountUnit);
  block(0, 4000, 9000, 10000, {3500, 5000, 7000}, kIdsHeartRate, 200, 4200,
        {{kIdsTime, 5000, 7000}, {kIdsDuration, 7000, 9000}});
  row(4500,
      {{text(kIdsBeats), 200, 4200, kLeftText}, {values->GetBeatCountText(), 3500, 5000, kCentredText}});
  row(5000, {{text(kIdsMinimum), 200, 4200, kLeftText},
             {per_minute, 2000, 3300, kRightText},
             {values->GetMinHeartRateText(), 3500, 5000, kCentredText},
             {values->GetMinHeartRateTimeText(), 5000, 7000, kCentredText}});
  row(5500, {{text(kIdsMean), 200, 4200, kLeftText},
             {per_minute, 2000, 3300, kRightText},
             {values->GetMeanHeartRateText(), 3500, 5000, kCentredText}});
  row(6000, {{text(kIdsMaximum), 200, 4200, kLeftText},
             {per_minute, 2000, 3300, kRightText},
             {values->GetMaxHeartRateText(), 3500, 5000, kCentredText},
             {values->GetMaxHeartRateTimeText(), 5000, 7000, kCentredText}});
  row(6500, {{text(kIdsBradycardias), 200, 4200, kLeftText},
             {ThresholdText("(<", record.bradycardia_threshold, kBradycardiaLabels, beats_per_minute), 1600,
              3300, kRightText},
             {values->GetBradycardiaCountText(), 3500, 5000, kCentredText}});
  row(7000, {{text(kIdsLongest), 700, 4200, kLeftText},
             {values->GetLongestBradycardiaTimeText(), 5000, 7000, kCentredText},
             {values->GetLongestBradycardiaDurationText(), 7000, 9000, kCentredText}});
  row(7500, {{text(kIdsTachycardias), 200, 4200, kLeftText},
             {ThresholdText("(>", record.tachycardia_threshold, kTachycardiaLabels, beats_per_minute), 1600,
              3300, kRightText},
             {values->GetTachycardiaCountText(), 3500, 5000, kCentredText}});
  row(8000, {{text(kIdsLongest), 700, 4200, kLeftText},
             {values->GetLongestTachycardiaTimeText(), 5000, 7000, kCentredText},
             {values->GetLongestTachycardiaDurationText(), 7000, 9000, kCentredText}});
  row(8500, {{text(kIdsPauses), 200, 4200, kLeftText},
             {ThresholdText("(>", record.pause_threshold, kPauseLabels, text(kIdsSecondUnit)), 1600, 3300,
              kRightText},
             {values->GetPauseCountText(), 3500, 5000, kCentredText}});
  row(9000, {{text(kIdsShortestInterval), 200, 4200, kLeftText},
             {text(kIdsIntervalUnit), 2000, 3300, kRightText},
             {values->GetMinRRText(), 3500, 5000, kCentredText},
             {values->GetMinRRTimeText(), 5000, 7000, kCentredText}});
  row(9500, {{text(kIdsLongestInterval), 200, 4200, kLeftText},
             {text(kIdsIntervalUnit), 2000, 3300, kRightText},
             {values->GetMaxRRText(), 3500, 5000, kCentredText},
             {values->GetMaxRRTimeText(), 5000, 7000, kCentredText}});

  block(0, 10500, 9000, 12000, {3500, 5000}, kIdsSinusRhythm, 200, 4200,
        {{kIdsRate, 3500, 5000}, {kIdsTime, 5000, 9000}});
  row(11000, {{text(kIdsMinimum), 200, 4200, kLeftText},
              {per_minute, 2000, 3300, kRightText},
              {values->GetMinSinusRateText(), 3500, 5000, kCentredText},
              {values->GetMinSinusRateTimeText(), 5000, 9000, kCentredText}});
  row(11500, {{text(kIdsMaximum), 200, 4200, kLeftText},
              {per_minute, 2000, 3300, kRightText},
              {values->GetMaxSinusRateText(), 3500, 5000, kCentredText},
              {values->GetMaxSinusRateTimeText(), 5000, 9000, kCentredText}});

  const std::initializer_list<std::tuple<int, int, int>> ectopy_headers = {{kIdsCount, 12000, 14000},
                                                                           {kIdsMaxPerHour, 14000, 15500},
                                                                           {kIdsDuration, 15500, 17000},
                                                                           {kIdsRate, 17000, 18500}};
  const auto count_row = [&](int y, int label, const std::string& count, const std::string& per_hour) {
    row(y, {{text(label), 9450, 12500, kLeftText},
            {count, 12000, 14000, kCentredText},
            {per_hour, 14000, 15500, kCentredText}});
  };
  const auto episode_row = [&](int y, int label, const std::string& time, const std::string& duration,
                               const std::string& rate) {
    row(y, {{text(label), 9950, 12500, kLeftText},
            {time, 12000, 14000, kCentredText},
            {duration, 15500, 17000, kCentredText},
            {rate, 17000, 18500, kCentredText}});
  };
  block(9250, 1000, 18500, 7500, {12000, 14000, 15500, 17000}, kIdsVes, 9700, 14200, ectopy_headers);
  count_row(1500, kIdsVes, values->GetVesCountText(), values->GetMaxVesPerHourText());
  count_row(2000, kIdsCouplets, values->GetVCoupletCountText(), values->GetMaxVCoupletsPerHourText());
  count_row(2500, kIdsTriplets, values->GetVTripletCountText(), values->GetMaxVTripletsPerHourText());
  count_row(3000, kIdsVt, values->GetVtCountText(), values->GetMaxVtPerHourText());
  episode_row(3500, kIdsLongest, values->GetLongestVtTimeText(), values->GetLongestVtDurationText(),
              values->GetLongestVtRateText());
  episode_row(4000, kIdsFastest, values->GetFastestVtTimeText(), values->GetFastestVtDurationText(),
              values->GetFastestVtRateText());
  count_row(4500, kIdsBigeminy, values->GetVBigeminyCountText(), values->GetMaxVBigeminyPerHourText());
  episode_row(5000, kIdsLongest, values->GetLongestVBigeminyTimeText(),
              values->GetLongestVBigeminyDurationText(), values->GetLongestVBigeminyRateText());
  episode_row(5500, kIdsFastest, values->GetFastestVBigeminyTimeText(),
              values->GetFastestVBigeminyDurationText(), values->GetFastestVBigeminyRateText());
  count_row(6000, kIdsTrigeminy, values->GetVTrigeminyCountText(), values->GetMaxVTrigeminyPerHourText());
  episode_row(6500, kIdsLongest, values->GetLongestVTrigeminyTimeText(),
              values->GetLongestVTrigeminyDurationText(), values->GetLongestVTrigeminyRateText());
  episode_row(7000, kIdsFastest, values->GetFastestVTrigeminyTimeText(),
              values->GetFastestVTrigeminyDurationText(), values->GetFastestVTrigeminyRateText());

  block(9250, 8000, 18500, 10500, {12000, 14000, 15500, 17000}, kIdsSves, 9450, 14200, ectopy_headers);
  row(8500, {{text(kIdsSves), 9450, 12500, kLeftText},
             {ThresholdText("(>", record.sves_prematurity, kPercentLabels, "%"), 10500, 11800, kRightText},
             {values->GetSvesCountText(), 12000, 14000, kCentredText},
             {values->GetMaxSvesPerHourText(), 14000, 15500, kCentredText}});
  count_row(9000, kIdsSvt, values->GetSvtCountText(), values->GetMaxSvtPerHourText());
  episode_row(9500, kIdsLongest, values->GetLongestSvtTimeText(), values->GetLongestSvtDurationText(),
              values->GetLongestSvtRateText());
  episode_row(10000, kIdsFastest, values->GetFastestSvtTimeText(), values->GetFastestSvtDurationText(),
              values->GetFastestSvtRateText());

  block(9250, 11000, 18500, 12000, {12000, 14000, 15500}, kIdsAbsArrhythmia, 9450, 15200,
        {{kIdsTotal, 12000, 14000}, {kIdsMaxPerHour, 14000, 15500}, {kIdsLongestWithDuration, 15500, 18500}});
  row(11500,
      {{text(kIdsAaEpisodes), 9450, 12500, kLeftText},
       {ThresholdText("(>", record.arrhythmia_deviation, kPercentLabels, "%"), 10500, 11800, kRightText},
       {values->GetAbsArrhythmiaCountText(), 12000, 14000, kCentredText},
       {values->GetMaxAbsArrhythmiaPerHourText(), 14000, 15500, kCentredText},
       {values->GetLongestAbsArrhythmiaText(), 15500, 18500, kCentredText}});
}

void TPrintReport::PrintComment(gfx::Canvas& dc, win::CPrintInfo&, int page) {
  DrawStep step(dc);
  const int height = page == 1 ? 4500 : 23000;
  SetOffset(0, page == 1 ? 20000 : 1500);
  if (page != 1 && IsPdfExport()) {
    std::string title = platform::LoadString(kIdsCommentCaption);
    while (!title.empty() && title.back() == ':') title.pop_back();
    WritePageTitleMarker(dc, title);
  }
  dc.SelectPen(medium_pen_);
  Frame(dc, 0, 0, 18500, height);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  ResTextBox(dc, kIdsCommentCaption, 300, 8000, 300, 900, kLeftText);
  SelectPresetFont(dc, 7, 0);

  int printed = 0;
  const std::string& diagnosis = Document()->GetRecordingData().diagnosis;
  const std::optional<std::vector<std::string>> lines =
      diagnosis.empty() ? std::nullopt : FieldLines(kDiagnosisControl);
  if (lines) {
    for (int n = 0; n < static_cast<int>(lines->size()) && n < comment_lines_; ++n) {
      const int y = kLine + kLine * n;
      if (y >= height) break;
      const std::string& line = (*lines)[static_cast<size_t>(n)];
      if (line.empty()) continue;
      TextBox(dc, line, 3000, 18000, y, y + kLine, kLeftText);
      ++printed;
    }
  }
  if (IsPdfExport()) {
    const std::string blanks(82, ' ');
    for (int y = kLine + kLine * printed; y < 3600; y += kLine)
      TextBox(dc, blanks, 3000, 18000, y, y + kLine, kLeftText);
  }
  ResTextBox(dc, kIdsSignature, 9500, 13500, height - 600, height - 300, kLeftText);
}

namespace {

constexpr platform::StringEntry kEnglish[] = {
    {kIdsSummaryTitle, "Summary:"},
    {kIdsCommentCaption, "Diagnosis:"},
    {kIdsFirstFindingsCaption, "Indication:"},
    {kIdsSecondFindingsCaption, "Findings:"},
    {kIdsMedicationCaption, "Medication:"},
    {kIdsSignature, "Signature:"},
    {kIdsHourlyFootnote, "Heart rates in 1/min"},
    {kIdsVentricularGroup, "Ventricular arrhythmias"},
    {kIdsSupraventricularGroup, "Supraventricular arrhythmias"},
    {kIdsOtherGroup, "Other findings"},
    {kIdsEventChartTitle, "Event chart:"},
    {kIdsDayTitle, "Summary day"},
};

constexpr platform::StringEntry kGerman[] = {
    {kIdsSummaryTitle, "Zusammenfassung:"},
    {kIdsCommentCaption, "Beurteilung:"},
    {kIdsFirstFindingsCaption, "Indikation:"},
    {kIdsSecondFindingsCaption, "Befund:"},
    {kIdsMedicationCaption, "Medikation:"},
    {kIdsSignature, "Unterschrift:"},
    {kIdsHourlyFootnote, "Herzfrequenzen in 1/min"},
    {kIdsVentricularGroup, "Ventrikuläre Arrhythmien"},
    {kIdsSupraventricularGroup, "Supraventrikuläre Arrhythmien"},
    {kIdsOtherGroup, "Weitere Befunde"},
    {kIdsEventChartTitle, "Ereignisübersicht:"},
    {kIdsDayTitle, "Zusammenfassung Tag"},
};

}  // namespace

void AddSummaryReportResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGerman);
  else
    pack.AddStrings(kEnglish);
}
