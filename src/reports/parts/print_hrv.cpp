#include "reports/parts/print_hrv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/time_formatter.h"
#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/print_time_axis.h"
#include "trends/hrv_screen_factories.h"
#include "trends/hrv_statistics.h"
#include "trends/hrv_table_factories.h"

namespace {

constexpr int kMinutesPerDay = 1440;
constexpr int kBlockSeconds = 300;
constexpr int kRRBottomMs = 200;
constexpr int kColumnLeft = 1700;
constexpr int kColumnWidth = 1400;
constexpr int kTableWidth = 18500;
constexpr int kTableHeight = 2000;
constexpr int kCrossHalf = 10;
constexpr int kBarWidth = 20;
constexpr int kDistributionMiddle = 9750;

int Nearest(double value) { return static_cast<int>(std::lround(value)); }

bool IsUsedClass(int beat_class) { return beat_class == kClassNormal || beat_class == kClassSVES; }

bool IsArrhythmiaEpisode(int kind) {
  return kind == kClassArrhythmia || kind == kClassAtrialFibrillation || kind == kClassAtrialFlutter;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string WithoutTrailingColon(std::string text) {
  while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
  return text;
}

// What the RR and difference charts leave out: pairs across a recorder marker, pairs touching an
// absolute-arrhythmia episode, and every beat of a 5-minute block whose pairs hold more than 20 %
// of other beats. Blocks are judged as the beats of the span come in ascending order; a block end
// moves on by one block per beat past it, so after a gap it catches up one beat at a time.
class PairFilter {
 public:
  PairFilter(const CZK470Doc& doc, double sample_rate)
      : beats_(doc.GetQRSList()),
        markers_(doc.GetRecordingData().recorder_markers),
        block_(static_cast<int64_t>(sample_rate * kBlockSeconds)) {
    std::sort(markers_.begin(), markers_.end());
    const TEventList& events = doc.GetEventList();
    for (int e = 0; e < events.GetSize(); ++e) {
      const TEvent event = events.GetAt(e);
      if (IsArrhythmiaEpisode(event.GetClass())) episodes_.emplace_back(event.GetPosition(), event.GetEnd());
    }
  }

  bool BlockGood(int i) {
    const int n = beats_.GetSize();
    if (beats_.GetAt(i).GetPosition() > block_end_) {
      block_end_ += block_;
      int pairs = 0;
      int others = 0;
      for (int j = i; j + 1 < n && beats_.GetAt(j).GetPosition() < block_end_; ++j) {
        ++pairs;
        if (!IsUsedClass(beats_.GetAt(j).GetClass()) || !IsUsedClass(beats_.GetAt(j + 1).GetClass()))
          ++others;
      }
      good_ = pairs > 0 && others * 100 / pairs <= 20;
    }
    return good_;
  }

  // The pair of beats j, j + 1 is usable: both normal or SVES, no marker, no episode.
  bool PairUsable(int j) const {
    const TQRSComplex a = beats_.GetAt(j);
    const TQRSComplex b = beats_.GetAt(j + 1);
    if (!IsUsedClass(a.GetClass()) || !IsUsedClass(b.GetClass())) return false;
    const int64_t from = a.GetPosition();
    const int64_t to = b.GetPosition();
    const auto marker = std::lower_bound(markers_.begin(), markers_.end(), from);
    if (marker != markers_.end() && *marker <= to) return false;
    for (const auto& [start, end] : episodes_)
      if (start <= to && end >= from) return false;
    return true;
  }

 private:
  const TQRSList& beats_;
  std::vector<int32_t> markers_;
  std::vector<std::pair<int32_t, int32_t>> episodes_;
  int64_t block_;
  int64_t block_end_ = 0;
  bool good_ = true;
};

// The beats whose pair starts strictly inside the print span, in samples.
struct SpanSamples {
  int64_t start;
  int64_t end;
  bool Inside(int64_t position) const { return position > start && position < end; }
};

SpanSamples PrintSpanSamples(const CZK470Doc& doc) {
  const double rate = doc.GetSampleRate();
  const int64_t start_minute = doc.GetPrintSpanStartMinute();
  const int64_t end_minute = start_minute + doc.GetPrintSpanLength();
  return {static_cast<int64_t>(static_cast<double>(start_minute * 60) * rate),
          static_cast<int64_t>(static_cast<double>(end_minute * 60) * rate)};
}

}  // namespace

TPrintHRV::TPrintHRV(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values) {}

TPrintHRV::~TPrintHRV() = default;

int TPrintHRV::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      doc != nullptr && (GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand &&
                                                         doc->GetSettings().Int(SettingKey::kPrintHRV) != 0));
  page_count_ = 0;
  if (selected) Paginate();
  return page_count_;
}

void TPrintHRV::Paginate() {
  CZK470Doc* doc = Document();
  page_count_ = 0;
  if (doc == nullptr) return;
  statistics_ = std::make_unique<THRVStatistics>(*doc);
  const int16_t selected_day = doc->GetHRVSelectedDay();
  doc->SetHRVSelectedDay(THRVStatistics::kWholeRecording);
  statistics_->Update();
  doc->SetHRVSelectedDay(selected_day);
  // The statistics keep three days; a longer recording must not select the whole-recording slot
  // as a fourth day.
  page_count_ = doc->IsMultiDayRecording() ? std::min(doc->GetDayCount(), THRVStatistics::kMaxDays) : 1;
}

std::string TPrintHRV::DayTitle(int day) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr || !doc->IsMultiDayRecording()) return platform::LoadString(kIdsHRVPageTitle);
  std::string date;
  if (const std::optional<platform::LocalDateTime> start =
          document::ToLocalDateTime(doc->GetRecordingData().start_date))
    date = TTimeFormatter(PrintLocale()).FormatDate(*start, day - 1);
  const std::string name = platform::LoadString(kIdsHRVDayTitle);
  std::vector<char> text(name.size() + date.size() + 32);
  std::snprintf(text.data(), text.size(), "%s %d (%s) :", name.c_str(), day, date.c_str());
  return text.data();
}

TPrintHRV::Scales TPrintHRV::GetScales() const {
  static constexpr Scales kScales[] = {
      {1200, 250, 100, 5}, {2200, 500, 200, 15}, {3200, 1000, 300, 30}, {4200, 1500, 400, 60}};
  const int index = Document() != nullptr ? Document()->GetSettings().Int(SettingKey::kHRVYIndex) : 0;
  return kScales[std::clamp(index, 0, 3)];
}

int TPrintHRV::DistributionWidth() const {
  static constexpr int kWidths[] = {100, 80, 60, 40, 20};
  const int index = Document() != nullptr ? Document()->GetSettings().Int(SettingKey::kHRVXIndex) : 0;
  return kWidths[std::clamp(index, 0, 4)];
}

int TPrintHRV::TimeToX(int64_t position) const {
  const CZK470Doc* doc = Document();
  const int64_t span_seconds = doc != nullptr ? int64_t{doc->GetPrintSpanLength()} * 60 : 0;
  if (span_seconds <= 0) return kPlotLeft;
  const double seconds = static_cast<double>(position - PrintSpanSamples(*doc).start) / doc->GetSampleRate();
  return kPlotLeft + Nearest(seconds * (kPlotRight - kPlotLeft) / static_cast<double>(span_seconds));
}

void TPrintHRV::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  if (statistics_ == nullptr) Paginate();
  if (page < 1 || page > page_count_) return;
  TPrinter::PrintPage(dc, info, page);
  SetOffset(0, kPageYOffset);
  title_ = DayTitle(page);
  if (IsPdfExport())
    WritePageTitleMarker(dc, doc->IsMultiDayRecording() ? title_ : WithoutTrailingColon(title_));
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, title_, 0, 12000, 0, 600, kLeftText);
  }
  doc->SetPrintSpanStartMinute(kMinutesPerDay * (page - 1));
  doc->SetPrintSpanLength(doc->GetMinutesInDay(page - 1));
  statistics_->SelectDay(page - 1);
  DrawTable(dc);
  DrawRRChart(dc, info);
  DrawDifferenceChart(dc, info);
  DrawSegmentMeanChart(dc, info);
  DrawSegmentSDChart(dc, info);
  DrawDistributionChart(dc, info);
  statistics_->SelectDay(doc->GetHRVSelectedDay());
}

void TPrintHRV::DrawTable(gfx::Canvas& dc) {
  DrawStep step(dc);
  SetOffset(0, kTableTop);
  dc.SelectPen(medium_pen_);
  Frame(dc, 0, 0, kTableWidth, kTableHeight);
  Line(dc, kColumnLeft, 0, kColumnLeft, kTableHeight);
  Line(dc, 0, 800, kTableWidth, 800);
  dc.SelectPen(thin_pen_);
  for (const int y : {800, 1200, 1600}) Line(dc, 0, y, kTableWidth, y);
  for (int x = kColumnLeft + kColumnWidth; x < kTableWidth; x += kColumnWidth)
    Line(dc, x, 0, x, kTableHeight);

  static constexpr const char* kUnits[] = {"[%]", "[ms]", "[ms]", "[ms]", "[ms]", "[ms]",
                                           "",    "[%]",  "",     "[%]",  "",     "[%]"};
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  for (int c = 0; c < 12; ++c) {
    const int x0 = kColumnLeft + c * kColumnWidth;
    ResTextBox(dc, 24000 + c, x0, x0 + kColumnWidth, 0, 400, kCentredText);
    TextBox(dc, kUnits[c], x0, x0 + kColumnWidth, 300, 700, kCentredText);
  }
  for (int r = 0; r < 3; ++r)
    ResTextBox(dc, 24012 + r, 0, kColumnLeft, 800 + 400 * r, 1200 + 400 * r, kCentredText);
  SelectPresetFont(dc, 7, 0);
  const THRVResult& result = statistics_->GetResult();
  DrawTableRow(dc, result.groups[THRVStatistics::kOutside], 800);
  DrawTableRow(dc, result.groups[THRVStatistics::kInside], 1200);
  DrawTableRow(dc, result.whole, 1600);
}

void TPrintHRV::DrawTableRow(gfx::Canvas& dc, const THRVValues& values, int top) {
  const auto whole = [](double value) { return std::to_string(static_cast<int64_t>(std::trunc(value))); };
  const double coverage = values.coverage;
  const std::string texts[12] = {
      Format(coverage >= 1.0 || coverage == 0.0 ? "%.1f" : "%.3f", coverage),
      whole(values.mean_nn),
      whole(values.sdnn),
      whole(values.sdann),
      whole(values.sdnn_index),
      whole(values.rmssd),
      std::to_string(values.counts[0]),
      Format("%.1f", values.percents[0]),
      std::to_string(values.counts[1]),
      Format("%.1f", values.percents[1]),
      std::to_string(values.counts[2]),
      Format("%.1f", values.percents[2]),
  };
  for (int c = 0; c < 12; ++c) {
    const int x0 = kColumnLeft + c * kColumnWidth;
    TextBox(dc, texts[c], x0, x0 + kColumnWidth, top, top + 400, kCentredText);
  }
}

void TPrintHRV::DrawChartFrame(gfx::Canvas& dc, win::CPrintInfo& info, int title_id, bool time_axis) {
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  ResTextBox(dc, title_id, 500, kPlotRight, -500, 0, kLeftText);
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  dc.SelectPen(medium_pen_);
  Frame(dc, 0, 0, kPlotRight, kChartHeight);
  Line(dc, kPlotLeft, 0, kPlotLeft, kChartHeight);
  Line(dc, 0, kPlotBottom, kPlotRight, kPlotBottom);
  if (!time_axis) return;
  TPrintTimeAxis axis(Document(), kPlotLeft, kPlotBottom, kPlotRight - kPlotLeft, kChartHeight - kPlotBottom);
  axis.SetOffset(GetXOffset(), GetYOffset());
  axis.Draw(dc, info);
}

void TPrintHRV::DrawValueLine(gfx::Canvas& dc, int y, const std::string& label) {
  DrawStep step(dc);
  dc.SelectPen(dotted_pen_);
  Line(dc, kPlotLeft, y, kPlotRight, y);
  dc.SelectPen(thin_pen_);
  Line(dc, kPlotLeft, y, 800, y);
  if (label.empty()) return;
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 0);
  TextBox(dc, label, 0, 700, y - 200, y + 200, kRightText);
}

void TPrintHRV::DrawCross(gfx::Canvas& dc, int x, int y) {
  Line(dc, x - kCrossHalf, y, x + kCrossHalf, y);
  Line(dc, x, y - kCrossHalf, x, y + kCrossHalf);
}

void TPrintHRV::DrawRRChart(gfx::Canvas& dc, win::CPrintInfo& info) {
  SetOffset(0, kChartTops[0]);
  DrawChartFrame(dc, info, kIdsHRVRRChart, true);
  const Scales scales = GetScales();
  const int range_ms = scales.rr_top_ms - kRRBottomMs;
  for (int v = kRRBottomMs; v <= scales.rr_top_ms; v += 100)
    DrawValueLine(dc, kPlotBottom - (v - kRRBottomMs) * kPlotBottom / range_ms,
                  v % 500 == 0 ? std::to_string(v) + " " : std::string());

  CZK470Doc& doc = *Document();
  const double rate = doc.GetSampleRate();
  const TQRSList& beats = doc.GetQRSList();
  const SpanSamples span = PrintSpanSamples(doc);
  const gfx::Color colour = IsMonochromeJob() ? 0x000000 : gfx::Rgb(255, 0, 0);
  PairFilter filter(doc, rate);
  for (int i = 0; i + 1 < beats.GetSize(); ++i) {
    const int64_t position = beats.GetAt(i).GetPosition();
    if (!span.Inside(position)) continue;
    if (!filter.BlockGood(i) || !filter.PairUsable(i)) continue;
    const double rr_ms = static_cast<double>(beats.GetAt(i + 1).GetPosition() - position) * 1000.0 / rate;
    if (rr_ms >= scales.rr_top_ms || rr_ms < kRRBottomMs) continue;
    const int y = kPlotBottom - Nearest((rr_ms - kRRBottomMs) * kPlotBottom / range_ms);
    dc.SetPixel(XToPage(TimeToX(position)), YToPage(y), colour);
  }
}

void TPrintHRV::DrawDifferenceChart(gfx::Canvas& dc, win::CPrintInfo& info) {
  SetOffset(0, kChartTops[1]);
  DrawChartFrame(dc, info, kIdsHRVDifferenceChart, true);
  const Scales scales = GetScales();
  const int half = scales.difference_half_ms;
  constexpr int kMiddle = kPlotBottom / 2;
  for (const int v : {-half / 2, 0, half / 2})
    DrawValueLine(dc, kMiddle - v * kMiddle / half, std::to_string(v) + " ");

  CZK470Doc& doc = *Document();
  const double rate = doc.GetSampleRate();
  const double half_samples = half * rate / 1000.0;
  const TQRSList& beats = doc.GetQRSList();
  const SpanSamples span = PrintSpanSamples(doc);
  const gfx::Color colour = IsMonochromeJob() ? 0x000000 : gfx::Rgb(0, 0, 255);
  PairFilter filter(doc, rate);
  for (int i = 0; i + 1 < beats.GetSize(); ++i) {
    const int64_t position = beats.GetAt(i).GetPosition();
    if (!span.Inside(position)) continue;
    if (!filter.BlockGood(i) || i + 2 >= beats.GetSize()) continue;
    if (!filter.PairUsable(i) || !filter.PairUsable(i + 1)) continue;
    const int64_t first = beats.GetAt(i + 1).GetPosition() - position;
    const int64_t second = beats.GetAt(i + 2).GetPosition() - beats.GetAt(i + 1).GetPosition();
    const int y = kMiddle - Nearest(static_cast<double>(second - first) * kMiddle / half_samples);
    if (y < 0 || y > kPlotBottom) continue;
    dc.SetPixel(XToPage(TimeToX(position)), YToPage(y), colour);
  }
}

void TPrintHRV::DrawSegmentMeanChart(gfx::Canvas& dc, win::CPrintInfo& info) {
  SetOffset(0, kChartTops[2]);
  DrawChartFrame(dc, info, kIdsHRVSegmentMeanChart, true);
  const Scales scales = GetScales();
  const int range_ms = scales.rr_top_ms - kRRBottomMs;
  for (int v = kRRBottomMs; v <= scales.rr_top_ms; v += 100)
    DrawValueLine(dc, kPlotBottom - (v - kRRBottomMs) * kPlotBottom / range_ms,
                  v % 500 == 0 ? std::to_string(v) + " " : std::string());

  DrawStep step(dc);
  dc.SelectPen(thin_pen_);
  const CZK470Doc& doc = *Document();
  const double rate = doc.GetSampleRate();
  const SpanSamples span = PrintSpanSamples(doc);
  const std::vector<double>& sums = statistics_->GetSegmentSums();
  const std::vector<unsigned>& counts = statistics_->GetSegmentCounts();
  for (size_t i = 0; i < sums.size() && i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    const auto time = static_cast<int64_t>(static_cast<double>(kBlockSeconds * (i + 1)) * rate);
    if (!span.Inside(time)) continue;
    const double mean_ms = sums[i] / counts[i] * 1000.0 / rate;
    if (mean_ms >= scales.rr_top_ms || mean_ms < kRRBottomMs) continue;
    DrawCross(dc, TimeToX(time), kPlotBottom - Nearest((mean_ms - kRRBottomMs) * kPlotBottom / range_ms));
  }
}

void TPrintHRV::DrawSegmentSDChart(gfx::Canvas& dc, win::CPrintInfo& info) {
  SetOffset(0, kChartTops[3]);
  DrawChartFrame(dc, info, kIdsHRVSegmentSDChart, true);
  const Scales scales = GetScales();
  for (int v = 0; v <= scales.sd_top_ms; v += 50)
    DrawValueLine(dc, kPlotBottom - v * kPlotBottom / scales.sd_top_ms, std::to_string(v) + " ");

  DrawStep step(dc);
  dc.SelectPen(thin_pen_);
  const CZK470Doc& doc = *Document();
  const double rate = doc.GetSampleRate();
  const SpanSamples span = PrintSpanSamples(doc);
  const std::vector<double>& sds = statistics_->GetSegmentSDs();
  const std::vector<unsigned>& counts = statistics_->GetSegmentCounts();
  for (size_t i = 0; i < sds.size(); ++i) {
    if (i < counts.size() && counts[i] == 0) continue;
    const auto time = static_cast<int64_t>(static_cast<double>(kBlockSeconds * (i + 1)) * rate);
    if (!span.Inside(time)) continue;
    const double sd_ms = sds[i] * 1000.0 / rate;
    if (sd_ms >= scales.sd_top_ms) continue;
    DrawCross(dc, TimeToX(time), kPlotBottom - Nearest(sd_ms * kPlotBottom / scales.sd_top_ms));
  }
}

void TPrintHRV::DrawDistributionChart(gfx::Canvas& dc, win::CPrintInfo& info) {
  SetOffset(0, kChartTops[4]);
  DrawChartFrame(dc, info, kIdsHRVDistributionChart, false);
  const int height = GetScales().distribution_percent;
  const int label_step = height > 5 ? 5 : 1;
  for (int p = 1; p <= height; ++p)
    DrawValueLine(dc, kPlotBottom - p * kPlotBottom / height,
                  p % label_step == 0 ? std::to_string(p) + " " : std::string());

  DrawStep step(dc);
  const int width = DistributionWidth();
  const double unit = static_cast<double>(kPlotRight - kDistributionMiddle) / width;
  const auto x_of = [&](int percent) { return kDistributionMiddle + Nearest(percent * unit); };
  dc.SelectPen(thin_pen_);
  for (int p = -width + 10; p < width; p += 10) Line(dc, x_of(p), kPlotBottom, x_of(p), kPlotBottom + 200);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 0);
  for (int p = -width + 10; p < width; p += 10)
    TextBox(dc, std::to_string(p), x_of(p) - 300, x_of(p) + 300, 3100, 3500, kCentredText);
  SelectPresetFont(dc, 7, 1);
  ResTextBox(dc, kIdsHRVDistributionUnit, kPlotLeft, 18000, 3500, 3850, kRightText);
  dc.SetMapMode(gfx::MapMode::kHiMetric);

  const gfx::Brush black{gfx::BrushStyle::kSolid, 0x000000};
  const auto bar = [&](int x, double percent) {
    const int h = std::min(kPlotBottom, Nearest(percent * kPlotBottom / height));
    if (h <= 0) return;
    dc.FillRect({XToPage(x), YToPage(kPlotBottom - h), XToPage(x + kBarWidth), YToPage(kPlotBottom)}, black);
  };
  const THRVResult& result = statistics_->GetResult();
  for (int b = 0; b < width; ++b) {
    bar(x_of(b), result.longer_histogram[static_cast<size_t>(b)]);
    bar(x_of(-(b + 1)), result.shorter_histogram[static_cast<size_t>(b)]);
  }
}

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsHRVPageTitle, "Heart rate variability:"},
    {kIdsHRVDayTitle, "Heart rate variability, day"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsHRVPageTitle, "Herzfrequenzvariabilität:"},
    {kIdsHRVDayTitle, "Herzfrequenzvariabilität, Tag"},
};

}  // namespace

void AddHRVPageResources(platform::ResourcePack& pack) {
  AddHRVTableResources(pack);
  AddHRVScreenResources(pack);
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
