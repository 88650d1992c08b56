#include "reports/parts/print_st_trend_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "analysis/st/st_trend_builder.h"
#include "common/number_formatter.h"
#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "reports/parts/print_st_page.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kValuesPerDay = 86400 / TPrinterSTTrend::kSecondsPerValue;
constexpr int kMinutesPerValue = TPrinterSTTrend::kSecondsPerValue / 60;

// The wait cursor belongs to the user-interface thread; the PDF export draws on its worker.
class WaitCursor {
 public:
  explicit WaitCursor(bool show) : show_(show) {
    if (show_) win::Windows().BeginWaitCursor();
  }
  ~WaitCursor() {
    if (show_) win::Windows().EndWaitCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool show_;
};

void ShowIndexError() {
  win::CurrentPrompt().MessageBox("Error in TPrinterSTTrend::PrintSTDescr", "ZK-470", win::kMbOk);
}

// Labels thin out as the axis grows: every level up to 4, every second up to 8, else every fourth.
int LabelStep(int extreme) {
  if (extreme <= 4) return 1;
  if (extreme <= 8) return 2;
  return 4;
}

}  // namespace

TPrinterSTTrend::TPrinterSTTrend() = default;

TPrinterSTTrend::TPrinterSTTrend(CZK470Doc* doc, int st_index, int x, int y, int width, int height)
    : TPrinter(0, doc, -1, nullptr), st_index_(st_index), x_(x), y_(y), width_(width), height_(height) {}

TPrinterSTTrend::~TPrinterSTTrend() = default;

void TPrinterSTTrend::PrintPage(gfx::Canvas& dc, win::CPrintInfo&, int day) {
  SetOffset(0, 0);
  Compute(day);
  Draw(dc);
}

bool TPrinterSTTrend::IsChannelFlagged(int st_index) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr || st_index < 0 || st_index >= TRecordingData::kStChannels) return false;
  if (st_index >= document::Context().g_STChannels.count) return false;
  return doc->GetRecordingData().st_channel_analysed[static_cast<size_t>(st_index)] != 0;
}

void TPrinterSTTrend::SetRange(int minimum, int maximum) {
  range_min_ = minimum;
  range_max_ = maximum;
  range_ = maximum - minimum;
}

const std::vector<gfx::Point>& TPrinterSTTrend::LevelPoints(int st_index) const {
  return level_points_.at(static_cast<size_t>(st_index));
}

const std::vector<gfx::Point>& TPrinterSTTrend::SlopePoints(int st_index) const {
  return slope_points_.at(static_cast<size_t>(st_index));
}

void TPrinterSTTrend::Compute(int day) {
  CZK470Doc* doc = Document();
  if (doc == nullptr || doc->GetQRSList().GetSize() == 0) return;
  const WaitCursor wait(!IsPdfExport());

  // 115 kB of room per call: too much for the stack of the export's worker.
  const auto output = std::make_unique<analysis::TSTTrendBuilder::Output>();
  analysis::TSTTrendBuilder builder(*doc);
  const auto keep = [&](int count, std::array<std::vector<double>, 2>& values,
                        std::array<std::array<double, 2>, 2>& bounds) {
    for (size_t s = 0; s < 2; ++s) {
      values[s].assign((*output)[s].begin(), (*output)[s].begin() + count);
      bounds[s] = {builder.GetLowest(static_cast<int>(s)), builder.GetHighest(static_cast<int>(s))};
    }
  };
  const int slope_count =
      std::clamp(builder.Build(kSecondsPerValue, *output, 0), 0, analysis::TSTTrendBuilder::kMaxPoints);
  keep(slope_count, slopes_, slope_bounds_);
  value_count_ =
      std::clamp(builder.Build(kSecondsPerValue, *output, 1), 0, analysis::TSTTrendBuilder::kMaxPoints);
  keep(value_count_, levels_, level_bounds_);
  for (size_t s = 0; s < 2; ++s) slopes_[s].resize(static_cast<size_t>(value_count_), 0.0);

  int lowest = 1000;
  int highest = -1000;
  for (int s = 0; s < 2; ++s) {
    if (!IsChannelFlagged(s)) continue;
    for (const auto* bounds : {&level_bounds_, &slope_bounds_}) {
      const auto& b = (*bounds)[static_cast<size_t>(s)];
      lowest = std::min(lowest, static_cast<int>(std::trunc(b[0])));
      highest = std::max(highest, static_cast<int>(std::trunc(b[1])));
    }
  }
  if (lowest == 1000) {
    lowest = -3;
    highest = 3;
  }
  SetRange(lowest, highest);
  MapCurves(day);
}

int TPrinterSTTrend::ValueToY(double value) const {
  const int range = range_ > 0 ? range_ : 1;
  return y_ + height_ / 2 - static_cast<int>(std::trunc(value * height_ / range));
}

void TPrinterSTTrend::MapCurves(int day) {
  for (size_t s = 0; s < 2; ++s) {
    level_points_[s].clear();
    slope_points_[s].clear();
  }
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  int first = 0;
  int count = value_count_;
  if (doc->IsMultiDayRecording()) {
    first = (day - 1) * kValuesPerDay;
    count = doc->GetMinutesInDay(day - 1) / kMinutesPerValue;
  }
  // Only values the reduction delivered.
  first = std::clamp(first, 0, value_count_);
  count = std::clamp(count, 0, value_count_ - first);
  const int columns = width_ - kCurveLeft - kLegendWidth;
  if (count <= 0 || columns <= 0) return;

  // The points are device coordinates of the page; the graph's own offsets come with its frame.
  const int saved_x = GetXOffset();
  const int saved_y = GetYOffset();
  SetOffset(0, 0);
  const int left = x_ + kCurveLeft + 1;
  for (size_t s = 0; s < 2; ++s) {
    if (!IsChannelFlagged(static_cast<int>(s))) continue;
    const auto value = [&](const std::vector<double>& values, int i) {
      return values[static_cast<size_t>(first + i)];
    };
    if (count < columns) {
      for (int i = 0; i < count; ++i) {
        // A single value has no spread to share out: it stands at the curve's start.
        const int column = count > 1 ? static_cast<int>(static_cast<int64_t>(i) * columns / (count - 1)) : 0;
        const int x = XToPage(left + column);
        level_points_[s].push_back({x, YToPage(ValueToY(value(levels_[s], i)))});
        slope_points_[s].push_back({x, YToPage(ValueToY(value(slopes_[s], i)))});
      }
      continue;
    }
    // More values than columns: each column keeps its most deviating value.
    int64_t carry = count;
    int next = 0;
    for (int c = 0; c < columns; ++c) {
      const int take = static_cast<int>(carry / columns);
      carry = carry % columns + count;
      double level = 0.0;
      double slope = 0.0;
      for (int j = 0; j < take && next < count; ++j, ++next) {
        if (j == 0 || std::abs(value(levels_[s], next)) > std::abs(level)) level = value(levels_[s], next);
        if (j == 0 || std::abs(value(slopes_[s], next)) > std::abs(slope)) slope = value(slopes_[s], next);
      }
      const int x = XToPage(left + c);
      level_points_[s].push_back({x, YToPage(ValueToY(level))});
      slope_points_[s].push_back({x, YToPage(ValueToY(slope))});
    }
  }
  SetOffset(saved_x, saved_y);
}

gfx::Pen TPrinterSTTrend::CurvePen(bool level) const {
  constexpr SettingKey kLevelColours[] = {SettingKey::kColorSTTrendCh1, SettingKey::kColorSTTrendCh2};
  constexpr SettingKey kSlopeColours[] = {SettingKey::kColorSTTrendCh1Slope,
                                          SettingKey::kColorSTTrendCh2Slope};
  gfx::Color colour = 0x000000;
  if (!IsMonochromeJob() && HasValidIndex() && Document() != nullptr) {
    const SettingKey key = (level ? kLevelColours : kSlopeColours)[st_index_];
    colour = SettingColour(Document()->GetSettings().Int(key));
  }
  return {gfx::PenStyle::kSolid, level ? 32 : 8, colour};
}

void TPrinterSTTrend::Draw(gfx::Canvas& dc) {
  DrawStep step(dc);
  SetOffset(x_, y_);
  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, width_, height_);
  Line(dc, kCurveLeft, 0, kCurveLeft, height_);
  Line(dc, width_ - kLegendWidth, 0, width_ - kLegendWidth, height_);
  DrawAxis(dc);
  PrintSTDescr(dc);
  if (!HasValidIndex()) {
    ShowIndexError();
    return;
  }
  if (!IsChannelFlagged(st_index_)) return;
  // The slope curve lies on top of the level curve.
  const auto s = static_cast<size_t>(st_index_);
  if (!level_points_[s].empty()) {
    dc.SelectPen(CurvePen(true));
    dc.Polyline(level_points_[s]);
  }
  if (!slope_points_[s].empty()) {
    dc.SelectPen(CurvePen(false));
    dc.Polyline(slope_points_[s]);
  }
}

void TPrinterSTTrend::DrawAxis(gfx::Canvas& dc) {
  DrawStep step(dc);
  const double scale = static_cast<double>(height_) / (range_ > 0 ? range_ : 1);
  const int centre = height_ / 2;
  const auto offset = [&](double units) { return static_cast<int>(std::trunc(units * scale)); };
  struct Level {
    int value;
    int y;
  };
  std::vector<Level> levels;
  for (int i = 0; i < range_max_; ++i) levels.push_back({i, centre - offset(i)});
  for (int i = 1; i < -range_min_; ++i) levels.push_back({-i, centre + offset(i)});

  const int curve_right = width_ - kLegendWidth;
  dc.SelectPen(thick_pen_);
  for (const Level& level : levels) Line(dc, kCurveLeft, level.y, 2450, level.y);
  dc.SelectPen(thin_pen_);
  for (const Level& level : levels)
    for (int x = kCurveLeft; x < curve_right; x += 100) Line(dc, x, level.y + 5, x, level.y - 5);

  const CZK470Doc* doc = Document();
  if (HasValidIndex() && IsChannelFlagged(st_index_)) {
    const int limit = doc->GetRecordingData().st_depression_limit[static_cast<size_t>(st_index_)];
    if (limit > -1) {
      const int distance = offset(limit * 0.1);
      for (const int y : {centre, centre - distance, centre + distance})
        for (int x = kCurveLeft; x < curve_right; x += 50) Line(dc, x, y, std::min(x + 25, curve_right), y);
    }
  }

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  const TNumberFormatter numbers;
  const int above_step = LabelStep(range_max_);
  const int below_step = LabelStep(-range_min_);
  for (const Level& level : levels) {
    const int step = level.value >= 0 ? above_step : below_step;
    if (std::abs(level.value) % step != 0) continue;
    TextBox(dc, numbers.FormatInt(level.value), 1450, 2280, level.y - 150, level.y + 150, kRightText);
  }
  ResTextBox(dc, kIdsSTSlopeCaption, 600, kCurveLeft, 0, 500, kCentredText);
  ResTextBox(dc, kIdsSTLevelCaption, 0, 1850, 0, 500, kCentredText);
  SelectPresetFont(dc, 8, 1);
  const int h = height_;
  ResTextBox(dc, kIdsSTScaleCaption, 0, 2250, h / 3 - 300, h / 3 + 300, kCentredText);
  ResTextBox(dc, kIdsSTTrendCaption, 0, 2250, h / 2 - 300, h / 2 + 300, kCentredText);
  const std::string label = doc != nullptr ? doc->GetSTChannelLabel(st_index_) : std::string();
  TextBox(dc, label, 0, 2250, 2 * h / 3 - 300, 2 * h / 3 + 300, kCentredText);
}

void TPrinterSTTrend::PrintSTDescr(gfx::Canvas& dc) {
  if (!HasValidIndex()) {
    ShowIndexError();
    return;
  }
  DrawStep step(dc);
  const int w = width_;
  const int h = height_;
  struct Entry {
    int y;
    bool level;
    int label;
  };
  for (const Entry& entry :
       {Entry{h / 3, true, kIdsSTLevelLegend}, Entry{2 * h / 3, false, kIdsSTSlopeLegend}}) {
    dc.SelectPen(CurvePen(entry.level));
    Line(dc, w - 1200, entry.y, w - 900, entry.y);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 6, 1);
    ResTextBox(dc, entry.label, w - 1000, w, entry.y - 100, entry.y + 100, kCentredText);
    dc.SetMapMode(gfx::MapMode::kHiMetric);
  }
}
