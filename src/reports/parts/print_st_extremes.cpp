#include "reports/parts/print_st_extremes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "common/number_formatter.h"
#include "document/document_context.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/st_details.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/locale.h"
#include "reports/parts/print_st_page.h"

namespace {

constexpr int kRowTops[] = {800, 1200, 1600};  // onset, extreme, end
constexpr int kDurationTop = 2000;
constexpr int kRowHeight = 400;
constexpr int kNoLevel = 10000;

int STChannelCount() {
  return std::clamp(document::Context().g_STChannels.count, 0, TRecordingData::kStChannels);
}

}  // namespace

TPrintSTExtremesTable::TPrintSTExtremesTable(CZK470Doc* doc, int x, int y)
    : TPrinter(0, doc, -1, nullptr), x_(x), y_(y) {}

TPrintSTExtremesTable::~TPrintSTExtremesTable() = default;

void TPrintSTExtremesTable::PrintPage(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  SetOffset(x_, y_);
  DrawFrame(dc);
  PrintValues(dc, day);
}

void TPrintSTExtremesTable::DrawFrame(gfx::Canvas& dc) {
  DrawStep step(dc);
  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, kWidth, kHeight);
  for (const int x : {1500, 5500, 7500, 9500}) Line(dc, x, 0, x, kHeight);
  Line(dc, 0, 800, kWidth, 800);
  Line(dc, 1500, 400, kWidth, 400);
  dc.SelectPen(medium_pen_);
  for (const int x : {3500, 6500, 8500, 10500}) Line(dc, x, 400, x, kHeight);
  for (const int y : {1200, 1600, 2000}) Line(dc, 0, y, kWidth, y);

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  struct Column {
    int label;
    int left;
    int right;
  };
  constexpr Column kColumns[] = {{kIdsSTTime, 1500, 5500},
                                 {kIdsSTLevel, 5500, 7500},
                                 {kIdsSTSlope, 7500, 9500},
                                 {kIdsSTHeartRate, 9500, 11500}};
  for (const Column& column : kColumns)
    ResTextBox(dc, column.label, column.left, column.right, 0, 400, kCentredText);
  SelectPresetFont(dc, 7, 0);
  const CZK470Doc* doc = Document();
  const std::string labels[] = {doc != nullptr ? doc->GetSTChannelLabel(0) : std::string(),
                                doc != nullptr ? doc->GetSTChannelLabel(1) : std::string()};
  for (const Column& column : kColumns) {
    const int middle = (column.left + column.right) / 2;
    TextBox(dc, labels[0], column.left, middle, 400, 800, kCentredText);
    TextBox(dc, labels[1], middle, column.right, 400, 800, kCentredText);
  }
  SelectPresetFont(dc, 7, 1);
  constexpr int kRowLabels[] = {kIdsSTOnset, kIdsSTExtreme, kIdsSTEnd, kIdsSTDuration};
  for (int row = 0; row < 4; ++row)
    ResTextBox(dc, kRowLabels[row], 200, 1500, 800 + row * kRowHeight, 1200 + row * kRowHeight, kLeftText);
}

int TPrintSTExtremesTable::ReferencePosition(int st_index, int day) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr || st_index < 0 || st_index >= TRecordingData::kStChannels) return -1;
  const TRecordingData& record = doc->GetRecordingData();
  const auto s = static_cast<size_t>(st_index);
  if (!doc->IsMultiDayRecording()) return record.deepest_st_position[s];

  const TSTValues& levels = record.st_levels[s];
  const int windows = levels.GetSize();
  if (windows == 0) return -1;
  const int first = std::clamp((day - 1) * kWindowsPerDay, 0, windows - 1);
  const int end = std::min(day * kWindowsPerDay, windows);
  double lowest = kNoLevel;
  int found = -1;
  for (int i = first; i < end; ++i) {
    const double level = levels.GetAt(i).GetValue();
    if (level < lowest) {
      lowest = level;
      found = i;
    }
  }
  return found < 0 ? -1 : found * kSamplesPerWindow;
}

const TSTDetail* TPrintSTExtremesTable::EpisodeAt(int st_index, int position) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr || position < 0 || st_index < 0 || st_index >= TRecordingData::kStChannels)
    return nullptr;
  for (const TSTDetail& episode :
       doc->GetRecordingData().st_episodes[static_cast<size_t>(st_index)].Elements())
    if (episode.points[TSTDetail::kOnset].position <= position &&
        position <= episode.points[TSTDetail::kEnd].position)
      return &episode;
  return nullptr;
}

std::string TPrintSTExtremesTable::ClockTimeText(int position) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return {};
  const auto seconds = static_cast<int64_t>(std::trunc(position / doc->GetSampleRate()));
  const std::optional<platform::LocalDateTime> start =
      document::ToLocalDateTime(doc->GetRecordingData().start_time);
  const int64_t start_second = start ? start->hour * 3600 + start->minute * 60 + start->second : 0;
  const int64_t total = start_second + seconds;
  const int hour = static_cast<int>(total / 3600 % 24);
  const int minute = static_cast<int>(total / 60 % 60);
  const int second = static_cast<int>(total % 60);
  return PrintLocale().FormatTime(hour, minute, second);
}

void TPrintSTExtremesTable::PrintValues(gfx::Canvas& dc, int day) {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 0);
  const TNumberFormatter numbers;
  const auto rate = static_cast<int>(doc->GetSampleRate());
  for (int k = 0; k < STChannelCount(); ++k) {
    const int time_left = 1500 + 2000 * k;
    const int c = 5500 + 1000 * k;
    const int value_lefts[] = {c, c + 2000, c + 4000};
    const TSTDetail* episode = EpisodeAt(k, ReferencePosition(k, day));
    for (int row = 0; row < 3; ++row) {
      const int top = kRowTops[row];
      std::string texts[] = {"-", "-", "-", "-"};
      if (episode != nullptr) {
        const TSTPoint& point = episode->points[static_cast<size_t>(row)];
        texts[0] = ClockTimeText(point.position);
        texts[1] = numbers.FormatFixed(point.level, 1);
        texts[2] = numbers.FormatFixed(point.slope, 1);
        texts[3] = std::to_string(point.heart_rate);
      }
      TextBox(dc, texts[0], time_left, time_left + 2000, top, top + kRowHeight, kCentredText);
      for (int v = 0; v < 3; ++v)
        TextBox(dc, texts[v + 1], value_lefts[v], value_lefts[v] + 1000, top, top + kRowHeight, kCentredText);
    }
    std::string duration = "-";
    if (episode != nullptr) {
      // Anything shorter than a second still shows as one.
      const int samples = std::max(
          episode->points[TSTDetail::kEnd].position - episode->points[TSTDetail::kOnset].position, rate);
      const int seconds = rate > 0 ? samples / rate : 0;
      char text[32];
      std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
      duration = text;
    }
    TextBox(dc, duration, time_left, time_left + 2000, kDurationTop, kDurationTop + kRowHeight, kCentredText);
  }
  for (int x = 5500; x < kWidth; x += 1000)
    TextBox(dc, "-", x, x + 1000, kDurationTop, kDurationTop + kRowHeight, kCentredText);
}
