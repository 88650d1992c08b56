#include "reports/parts/print_st_page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/time_formatter.h"
#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_st_extremes.h"
#include "reports/parts/print_st_trend_graph.h"
#include "reports/print_hr_trend_chart.h"
#include "reports/report_part_resources.h"
#include "trends/report_values.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsSTEpisodesTitle, "ST episodes:"}, {kIdsSTLevelPrefix, "ST level"},
    {kIdsSTSlopePrefix, "ST slope"},       {kIdsSTPageTitle, "ST analysis:"},
    {kIdsSTLevelLegend, "Level"},          {kIdsSTSlopeLegend, "Slope"},
    {kIdsSTEpisodeCount, "Episodes"},      {kIdsSTLowestLevel, "ST min."},
    {kIdsSTDayTitle, "ST analysis, day"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsSTEpisodesTitle, "ST-Episoden:"}, {kIdsSTLevelPrefix, "ST-Niveau"},
    {kIdsSTSlopePrefix, "ST-Steigung"},    {kIdsSTPageTitle, "ST-Analyse:"},
    {kIdsSTLevelLegend, "Niveau"},         {kIdsSTSlopeLegend, "Steigung"},
    {kIdsSTEpisodeCount, "Episoden"},      {kIdsSTLowestLevel, "ST min."},
    {kIdsSTDayTitle, "ST-Analyse, Tag"},
};

constexpr int kHoursPerTable = 12;
constexpr int kTableWidth = 9200;
constexpr int kTableHeight = 5600;
constexpr int kTableRow = 400;
constexpr int kChartLeft = TPrintSTPage::kRowHeight + 2150;

int SetChannelCount() { return document::Context().g_STChannels.count; }

// The texts of the hourly ST table for one day, read from the report values before they are drawn
// (the hour labels and the counts share one table there).
struct HourlyTexts {
  std::vector<std::string> labels;
  std::array<std::vector<std::string>, 2> counts, levels, slopes, longest;
};

}  // namespace

void AddSTPageResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}

TPrintSTPage::TPrintSTPage(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values),
      extremes_(std::make_unique<TPrintSTExtremesTable>(doc, 0, 8800)),
      trends_{std::make_unique<TPrinterSTTrend>(doc, 0, 0, 14500, kChartWidth, 3000),
              std::make_unique<TPrinterSTTrend>(doc, 1, 0, 17500, kChartWidth, 3000)},
      hr_chart_(std::make_unique<TPrintHRTrendChart>(doc, 0, 20500, kChartWidth, 4500)) {
  // A channel the set lacks has no episode kind: its row would otherwise repeat channel 0's
  // episodes under the error kind.
  const auto st_kind = [](int index) {
    return index < SetChannelCount() ? CZK470Doc::STAnalyzeChIndex2EQRSType(index) : -1;
  };
  row_kinds_ = {kClassMarker, kClassArtefact, st_kind(0), st_kind(1), kClassUser};
}

TPrintSTPage::~TPrintSTPage() = default;

int TPrintSTPage::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintSTTrends) != 0);
  if (!selected) {
    page_count_ = 0;
    return 0;
  }
  Paginate();
  return page_count_;
}

void TPrintSTPage::Paginate() {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) {
    page_count_ = 0;
    return;
  }
  // The hour tables hold three days.
  page_count_ = doc->IsMultiDayRecording() ? std::min(doc->GetDayCount(), kMaxDays) : 1;
}

std::string TPrintSTPage::DayTitle(int day) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr || !doc->IsMultiDayRecording()) return platform::LoadString(kIdsSTPageTitle);
  const std::optional<platform::LocalDateTime> start =
      document::ToLocalDateTime(doc->GetRecordingData().start_date);
  const std::string date = start ? TTimeFormatter(PrintLocale()).FormatDate(*start, day - 1) : std::string();
  const std::string word = platform::LoadString(kIdsSTDayTitle);
  std::vector<char> text(word.size() + date.size() + 32);
  std::snprintf(text.data(), text.size(), "%s %d (%s) :", word.c_str(), day, date.c_str());
  return text.data();
}

void TPrintSTPage::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const int day = page;
  TPrinter::PrintPage(dc, info, page);
  const std::string title = DayTitle(day);
  if (IsPdfExport()) {
    std::string bookmark = title;
    if (!doc->IsMultiDayRecording())
      while (!bookmark.empty() && bookmark.back() == ':') bookmark.pop_back();
    WritePageTitleMarker(dc, bookmark);
  }
  {
    DrawStep step(dc);
    SetOffset(0, 1500);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, title, 0, 12000, 0, 600, kLeftText);
  }
  doc->SetPrintSpanStartMinute((day - 1) * 1440);
  doc->SetPrintSpanLength(doc->GetMinutesInDay(day - 1));

  PrintHourlySTTable(dc, info, day);
  extremes_->SetDocValue(DateInputDialog());
  extremes_->PrintPage(dc, info, day);
  PrintEventRows(dc, info, day);
  for (const auto& trend : trends_) {
    trend->SetDocValue(DateInputDialog());
    trend->PrintPage(dc, info, day);
  }
  // The chart keeps its first computation; every day page needs its own day.
  hr_chart_->SetDocValue(DateInputDialog());
  hr_chart_->Compute(day - 1);
  hr_chart_->DrawFrame(dc, info);
}

void TPrintSTPage::PrintHourlySTTable(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  const CZK470Doc* doc = Document();
  DrawStep step(dc);
  const int first_hour = (day - 1) * 24;
  HourlyTexts texts;
  texts.labels.assign(24, std::string());
  for (auto* column : {&texts.counts, &texts.levels, &texts.slopes, &texts.longest})
    for (auto& channel : *column) channel.assign(24, std::string());
  if (TReportValues* values = ReportValues()) {
    values->FillHourLabels(true);
    for (int h = 0; h < 24; ++h) texts.labels[h] = values->GetHourText(first_hour + h);
    for (int k = 0; k < 2; ++k) {
      const int kind = RowKind(2 + k);
      if (kind >= 0) values->CountEventsPerHour(kind);
      for (int h = 0; h < 24; ++h) texts.counts[k][h] = kind >= 0 ? values->GetHourText(first_hour + h) : "-";
      values->FillHourlySTTable(k);
      for (int h = 0; h < 24; ++h) {
        texts.levels[k][h] = values->GetSTLevelText(first_hour + h);
        texts.slopes[k][h] = values->GetSTSlopeText(first_hour + h);
        texts.longest[k][h] = values->GetSTLongestText(first_hour + h);
      }
    }
  }
  const std::string labels[] = {doc != nullptr ? doc->GetSTChannelLabel(0) : std::string(),
                                doc != nullptr ? doc->GetSTChannelLabel(1) : std::string()};

  for (int table = 0; table < 2; ++table) {
    SetOffset(table * 9300, 2400);
    dc.SetMapMode(gfx::MapMode::kHiMetric);
    dc.SelectPen(thick_pen_);
    Frame(dc, 0, 0, kTableWidth, kTableHeight);
    for (const int x : {1500, 3425, 7275}) Line(dc, x, 0, x, kTableHeight);
    Line(dc, 1500, 400, kTableWidth, 400);
    Line(dc, 0, 800, kTableWidth, 800);
    dc.SelectPen(medium_pen_);
    Line(dc, 5350, 0, 5350, kTableHeight);
    for (int y = 1200; y <= 5200; y += kTableRow) Line(dc, 0, y, kTableWidth, y);
    dc.SelectPen(thin_pen_);
    for (const int x : {2462, 4386, 6310, 8234}) Line(dc, x, 400, x, kTableHeight);

    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 7, 1);
    ResTextBox(dc, kIdsSTEpisodeCount, 1500, 3425, 0, 400, kCentredText);
    ResTextBox(dc, kIdsSTLowestLevel, 3425, 5350, 0, 400, kCentredText);
    ResTextBox(dc, kIdsSTSlope, 5350, 7275, 0, 400, kCentredText);
    ResTextBox(dc, kIdsSTLongestDuration, 7275, 9200, 0, 400, kCentredText);
    SelectPresetFont(dc, 7, 0);
    for (const int left : {1500, 3424, 5348, 7272}) {
      TextBox(dc, labels[0], left, left + 962, 400, 800, kCentredText);
      TextBox(dc, labels[1], left + 962, left + 1924, 400, 800, kCentredText);
    }
    for (int row = 0; row < kHoursPerTable; ++row) {
      const int h = table * kHoursPerTable + row;
      const int top = 800 + row * kTableRow;
      const int bottom = top + kTableRow;
      SelectPresetFont(dc, 7, 1);
      TextBox(dc, texts.labels[h], 0, 1500, top, bottom, kCentredText);
      SelectPresetFont(dc, 7, 0);
      for (int k = 0; k < 2; ++k) {
        const int shift = 962 * k;
        TextBox(dc, texts.counts[k][h], 1500 + shift, 2462 + shift, top, bottom, kCentredText);
        TextBox(dc, texts.levels[k][h], 3424 + shift, 4386 + shift, top, bottom, kCentredText);
        TextBox(dc, texts.slopes[k][h], 5348 + shift, 6310 + shift, top, bottom, kCentredText);
        TextBox(dc, texts.longest[k][h], 7272 + shift, 8234 + shift, top, bottom, kCentredText);
      }
    }
  }
}

void TPrintSTPage::PrintEventRows(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  DrawStep step(dc);
  SetOffset(0, 12000);
  constexpr int r = kRowHeight;
  constexpr int w = kChartWidth;
  constexpr int n = kRowCount;

  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, w, (n + 1) * r);
  Line(dc, r, 0, r, n * r);
  Line(dc, kChartLeft, 0, kChartLeft, (n + 1) * r);
  Line(dc, w - 1500, 0, w - 1500, (n + 1) * r);
  Line(dc, 0, n * r, w, n * r);
  dc.SelectPen(medium_pen_);
  for (int i = 1; i < n; ++i) Line(dc, r, i * r, w, i * r);

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  for (int i = 0; i < n; ++i) {
    const int kind = RowKind(i);
    if (kind >= 0) TextBox(dc, doc->GetKindName(kind), r + 150, r + 2150, i * r, (i + 1) * r, kLeftText);
  }
  ResTextBox(dc, kIdsTimeCaption, r + 150, r + 2150, n * r, (n + 1) * r, kLeftText);
  dc.SetMapMode(gfx::MapMode::kHiMetric);

  const bool multi_day = doc->IsMultiDayRecording();
  int64_t u = 0;
  int64_t t = 0;
  if (multi_day) {
    u = static_cast<int64_t>(day - 1) * 86400;
    t = u + 60 * static_cast<int64_t>(doc->GetMinutesInDay(day - 1));
  } else {
    u = doc->GetSpanStartMs() / 1000;
    t = doc->GetSpanEndMs() / 1000;
  }
  const double rate = doc->GetSampleRate();
  const auto second_of = [&](int32_t position) { return static_cast<int64_t>(std::trunc(position / rate)); };
  const auto inside = [&](int64_t second) { return second >= u && second <= t; };
  const auto x_of = [&](int64_t second) {
    return kChartLeft + static_cast<int>(10 * ((second - u) * 1435 / (t - u)));
  };

  const TEventList& events = doc->GetEventList();
  const TQRSList& beats = doc->GetQRSList();
  // An empty window has no time scale to place anything on.
  if (t > u) {
    const bool black = IsMonochromeJob();
    for (int i = 0; i < n; ++i) {
      const int kind = RowKind(i);
      if (kind < 0) continue;
      dc.SelectPen({gfx::PenStyle::kSolid, 16, black ? 0x000000 : CodeColour(kind)});
      for (int e = 0; e < events.GetSize(); ++e) {
        const TEvent& event = *events.ElementAt(e);
        if (event.GetClass() != kind) continue;
        const int64_t start = second_of(event.GetPosition());
        const int64_t end = second_of(event.GetEnd());
        if (!inside(start) && !inside(end)) continue;
        Line(dc, x_of(start), i * r + 150, x_of(start), (i + 1) * r - 150);
        Line(dc, x_of(start), i * r + r / 2, x_of(end), i * r + r / 2);
      }
      for (int b = 0; b < beats.GetSize(); ++b) {
        const TQRSComplex& beat = *beats.ElementAt(b);
        if (beat.GetClass() != kind) continue;
        const int64_t second = second_of(beat.GetPosition());
        if (!inside(second)) continue;
        Line(dc, x_of(second), i * r + 150, x_of(second), (i + 1) * r - 150);
      }
    }
  }

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  const double first_sample = static_cast<double>(u) * rate;
  const double last_sample = static_cast<double>(t) * rate;
  const auto sample_inside = [&](int32_t position) {
    return position >= first_sample && position <= last_sample;
  };
  for (int i = 0; i < n; ++i) {
    const int kind = RowKind(i);
    if (kind < 0) continue;
    int count = 0;
    if (!multi_day) {
      count = kind == kClassArtefact ? beats.GetCounter(kind) : events.GetCounter(kind);
    } else if (kind == kClassArtefact) {
      for (const TQRSComplex& beat : beats.Elements())
        count += beat.GetClass() == kind && sample_inside(beat.GetPosition()) ? 1 : 0;
    } else {
      for (const TEvent& event : events.Elements())
        count +=
            event.GetClass() == kind && (sample_inside(event.GetPosition()) || sample_inside(event.GetEnd()))
                ? 1
                : 0;
    }
    TextBox(dc, IntToText(count), w - 1500, w - 200, i * r, (i + 1) * r, kRightText);
  }
  ResTextBox(dc, kIdsCountColumn, w - 1500, w, -r, 0, kCentredText);
}
