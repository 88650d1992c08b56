#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "reports/parts/print_four_strip_page.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/parts/print_st_episode_strips.h"
#include "reports/parts/print_st_extremes.h"
#include "reports/parts/print_st_page.h"
#include "reports/parts/print_st_trend_graph.h"
#include "reports/print_hr_trend_chart.h"
#include "reports/printer_base.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "trends/report_values.h"
#include "win/prompt.h"

namespace {

using reporttest::PrinterDevice;

constexpr int kRate = 125;
constexpr int kWindowsPerMinute = 4;

// Texts the ST pages share with the ST dialogs, the statistics screen and the ST scale.
constexpr platform::StringEntry kSharedSTStrings[] = {
    {23000, "Onset"},    {23001, "Deepest"}, {23002, "End"},      {23003, "Time"},
    {23004, "ST level"}, {23005, "HR"},      {23006, "Duration"}, {23007, "ST slope"},
    {20024, "Duration"}, {14391, "ST"},      {14392, "Level"},    {14393, "Slope"},
};

int Hours(double hours) { return static_cast<int>(hours * 3600 * kRate); }

TSTDetail Episode(int onset, int extreme, int end, double level, double slope = 0.0, int rate = 70) {
  TSTDetail detail;
  detail.points[TSTDetail::kOnset] = {onset, rate, level / 2, slope};
  detail.points[TSTDetail::kExtreme] = {extreme, rate + 10, level, slope};
  detail.points[TSTDetail::kEnd] = {end, rate + 20, level / 4, slope};
  return detail;
}

std::vector<gfx::rec::Text> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<gfx::rec::Text> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(*text);
  return texts;
}

bool HasText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  const std::vector<gfx::rec::Text> texts = TextsOf(dc);
  return std::ranges::any_of(texts, [&](const gfx::rec::Text& t) { return t.text == wanted; });
}

int CountText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  const std::vector<gfx::rec::Text> texts = TextsOf(dc);
  return static_cast<int>(
      std::ranges::count_if(texts, [&](const gfx::rec::Text& t) { return t.text == wanted; }));
}

struct Stroke {
  gfx::Point from;
  gfx::Point to;
  gfx::Pen pen;
};

std::vector<Stroke> StrokesOf(const gfx::RecordingCanvas& dc) {
  std::vector<Stroke> strokes;
  gfx::Pen pen;
  gfx::Point at;
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* select = std::get_if<gfx::rec::SelectPen>(&item)) pen = select->pen;
    if (const auto* move = std::get_if<gfx::rec::MoveTo>(&item)) at = move->to;
    if (const auto* line = std::get_if<gfx::rec::LineTo>(&item)) {
      strokes.push_back({at, line->to, pen});
      at = line->to;
    }
  }
  return strokes;
}

struct Curve {
  std::vector<gfx::Point> points;
  gfx::Pen pen;
};

std::vector<Curve> PolylinesOf(const gfx::RecordingCanvas& dc) {
  std::vector<Curve> curves;
  gfx::Pen pen;
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* select = std::get_if<gfx::rec::SelectPen>(&item)) pen = select->pen;
    if (const auto* line = std::get_if<gfx::rec::Polyline>(&item)) curves.push_back({line->points, pen});
  }
  return curves;
}

std::vector<std::string> CommentsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> comments;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* comment = std::get_if<gfx::rec::Comment>(&item)) comments.push_back(comment->text);
  return comments;
}

class STPagesTest : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    own.AddStrings(kSharedSTStrings);
    AddSTPageResources(own);
    FillPatient();
  }

  void SetMinutes(int minutes) {
    doc_->GetRawECGData()->SetWholeMinutes(minutes);
    doc_->SetSpanStartMs(0);
    doc_->SetSpanEndMs(minutes * 60000);
    TRecordingData& record = doc_->GetRecordingData();
    record.st_interval = 15;
    // The ST trend draws only for an analysed recording.
    for (int i = 0; i < 10; ++i) doc_->GetQRSList().Append(TQRSComplex(1000 + 100 * i, kClassNormal));
  }

  // Constant 15-second ST values over the whole recording; the channel counts as analysed.
  void PlantSeries(int st_index, double level, double slope) {
    TRecordingData& record = doc_->GetRecordingData();
    const auto s = static_cast<size_t>(st_index);
    record.st_levels[s].RemoveAll();
    record.st_slopes[s].RemoveAll();
    for (int i = 0; i < doc_->GetRecordingMinutes() * kWindowsPerMinute; ++i) {
      record.st_levels[s].Add(level);
      record.st_slopes[s].Add(slope);
    }
    record.st_channel_analysed[s] = 1;
  }

  void AddEvent(int start, int end, int kind) {
    doc_->GetEventList().Append(TEvent(start, end, static_cast<uint8_t>(kind)));
  }

  // The twips rectangle of a text box of a block at the offsets, as the parts compute it.
  gfx::Rect Cell(int x_offset, int y_offset, int x0, int x1, int y0, int y1) const {
    TPrinter probe(0, doc_.get(), -1, nullptr);
    probe.SetOffset(x_offset, y_offset);
    return {probe.XToTwips(x0), probe.YToTwips(y0), probe.XToTwips(x1), probe.YToTwips(y1)};
  }

  gfx::Point Device(int x_offset, int y_offset, int x, int y) const {
    TPrinter probe(0, doc_.get(), -1, nullptr);
    probe.SetOffset(x_offset, y_offset);
    return {probe.XToPage(x), probe.YToPage(y)};
  }

  // The texts drawn into that box, in drawing order.
  static std::string TextIn(const gfx::RecordingCanvas& dc, const gfx::Rect& rect) {
    std::string joined;
    for (const gfx::rec::Text& text : TextsOf(dc)) {
      if (!(text.draw_rect == rect)) continue;
      if (!joined.empty()) joined += "|";
      joined += text.text;
    }
    return joined;
  }
};

// --- ST page -------------------------------------------------------------------------------------

TEST_F(STPagesTest, PageCountFollowsDaysAndSelection) {
  struct Case {
    const char* name;
    int minutes;
    int command;
    int user_switch;
    int pages;
  };
  constexpr Case kCases[] = {
      {"22 hours", 22 * 60, TPrintSTPage::kOwnCommand, 0, 1},
      {"exactly one day", 1440, TPrintSTPage::kOwnCommand, 0, 1},
      {"30 hours", 30 * 60, TPrintSTPage::kOwnCommand, 0, 2},
      {"50 hours", 50 * 60, TPrintSTPage::kOwnCommand, 0, 3},
      {"72 hours", 72 * 60, TPrintSTPage::kOwnCommand, 0, 3},
      {"whole report, switch on", 30 * 60, TPrinter::kWholeReportCommand, 1, 2},
      {"whole report, switch off", 30 * 60, TPrinter::kWholeReportCommand, 0, 0},
      {"another part's command", 30 * 60, cmd::kPrint32911, 1, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetRawECGData()->SetWholeMinutes(c.minutes);
    doc_->GetSettings().SetInt(SettingKey::kPrintSTTrends, c.user_switch);
    TPrintSTPage page(0, doc_.get(), nullptr);
    page.SetCommand(c.command);
    EXPECT_EQ(page.GetPageCount(info_), c.pages);
  }
}

TEST_F(STPagesTest, SecondDayOfThirtyHoursShowsHoursTwentyFourToTwentyNine) {
  SetMinutes(30 * 60);
  PlantSeries(0, 0.0, 0.0);
  PlantSeries(1, 0.0, 0.0);
  TRecordingData& record = doc_->GetRecordingData();
  record.st_episodes[0].Add(Episode(Hours(25) + 10, Hours(25) + 500, Hours(25) + 2000, -2.3, 0.4));
  AddEvent(Hours(25) + 10, Hours(25) + 2000, kClassSTEpisode1);
  TReportValues values(*doc_, locale_);
  TPrintSTPage part(0, doc_.get(), &values);
  part.SetCommand(TPrintSTPage::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 2);

  gfx::RecordingCanvas day1(PrinterDevice());
  PreparePage(day1);
  part.PrintPage(day1, info_, 1);
  gfx::RecordingCanvas day2(PrinterDevice());
  PreparePage(day2);
  part.PrintPage(day2, info_, 2);
  EXPECT_TRUE(HasText(day2, "ST analysis, day 2 (02.03.2026) :"));
  EXPECT_EQ(doc_->GetPrintSpanStartMinute(), 1440);
  EXPECT_EQ(doc_->GetPrintSpanLength(), 360);

  TReportValues labels(*doc_, locale_);
  labels.FillHourLabels(true);
  const auto row = [&](int h, int x0, int x1) {
    const int top = 800 + (h % 12) * 400;
    return Cell(h < 12 ? 0 : 9300, 2400, x0, x1, top, top + 400);
  };
  for (int h = 0; h < 24; ++h) {
    SCOPED_TRACE(h);
    EXPECT_EQ(TextIn(day2, row(h, 0, 1500)), labels.GetHourText(24 + h));
  }
  // Hour 25 is the second row of day 2; day 1 has nothing in that row.
  EXPECT_EQ(TextIn(day2, row(1, 1500, 2462)), "1");
  EXPECT_EQ(TextIn(day2, row(1, 3424, 4386)), "-2.3");
  EXPECT_EQ(TextIn(day2, row(1, 5348, 6310)), "0.4");
  EXPECT_EQ(TextIn(day1, row(1, 3424, 4386)), "-");
  // Hours past the recording's end show the empty texts of the report values.
  for (int h = 6; h < 24; ++h) {
    SCOPED_TRACE(h);
    EXPECT_EQ(TextIn(day2, row(h, 3424, 4386)), "-");
    EXPECT_EQ(TextIn(day2, row(h, 1500, 2462)), "-");
  }
}

TEST_F(STPagesTest, OneAnalysedChannelStillPrintsBothColumnsAndGraphs) {
  SetMinutes(22 * 60);
  PlantSeries(0, -1.0, 0.5);
  TPrintSTPage part(0, doc_.get(), nullptr);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  part.PrintPage(dc, info_, 1);
  // Four column pairs in each hourly table and four in the extremes table.
  EXPECT_EQ(CountText(dc, "Channel 1"), 4 * 2 + 4 + 1);
  EXPECT_EQ(CountText(dc, "Channel 2"), 4 * 2 + 4 + 1);
  int graph_frames = 0;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* box = std::get_if<gfx::rec::Rectangle>(&item))
      for (const int top : {14500, 17500})
        if (box->rect.top == Device(0, 0, 0, top).y && box->rect.bottom == Device(0, 0, 0, top + 3000).y)
          ++graph_frames;
  EXPECT_EQ(graph_frames, 2);
  // Level and slope of channel 1 only, then the heart-rate chart's three curves.
  const std::vector<Curve> curves = PolylinesOf(dc);
  ASSERT_EQ(curves.size(), 2u + 3u);
  EXPECT_EQ(curves[0].pen.width, 32);
  EXPECT_EQ(curves[1].pen.width, 8);
}

TEST_F(STPagesTest, ChannelMissingFromTheSetHasNoRowAndNoErrorBox) {
  win::ScriptedPrompt prompt;
  win::ScopedPrompt scoped(prompt);
  document::Context().g_STChannels.count = 1;
  SetMinutes(60);
  TPrintSTPage part(0, doc_.get(), nullptr);
  EXPECT_EQ(part.RowKind(2), kClassSTEpisode1);
  EXPECT_EQ(part.RowKind(3), -1);
  EXPECT_TRUE(prompt.Log().empty());
}

TEST_F(STPagesTest, HeartRateChartShowsTheDayOfEachPage) {
  SetMinutes(30 * 60);
  doc_->GetQRSList().RemoveAll();
  // An hour at 60/min on day 1 and one at 120/min on day 2.
  for (int p = Hours(2); p < Hours(3); p += kRate) doc_->GetQRSList().Append(TQRSComplex(p, kClassNormal));
  for (int p = Hours(26); p < Hours(27); p += kRate / 2)
    doc_->GetQRSList().Append(TQRSComplex(p, kClassNormal));
  TPrintSTPage part(0, doc_.get(), nullptr);
  gfx::RecordingCanvas day1(PrinterDevice());
  PreparePage(day1);
  part.PrintPage(day1, info_, 1);
  gfx::RecordingCanvas day2(PrinterDevice());
  PreparePage(day2);
  part.PrintPage(day2, info_, 2);
  const std::vector<Curve> curves1 = PolylinesOf(day1);
  const std::vector<Curve> curves2 = PolylinesOf(day2);
  ASSERT_GE(curves1.size(), 3u);
  ASSERT_GE(curves2.size(), 3u);

  // The mean curve is drawn last.
  TPrintHRTrendChart reference(doc_.get(), 0, 20500, TPrintSTPage::kChartWidth, 4500);
  reference.Compute(1);
  EXPECT_EQ(curves2.back().points, reference.MeanCurve());
  EXPECT_NE(curves1.back().points, curves2.back().points);
}

TEST_F(STPagesTest, EventRowsCoverTheDayOrTheDisplayedSpan) {
  constexpr int kChartLeft = 2650;
  struct Case {
    const char* name;
    int minutes;
    int span_end_hours;  // one-day recordings: the displayed span from 0
    int day;
    int start;
    int end;
    bool drawn;
    int window_start_s;
    int window_end_s;
  };
  const Case kCases[] = {
      {"ends inside day 2", 30 * 60, 0, 2, Hours(23.5), Hours(24.5), true, 86400, 86400 + 6 * 3600},
      {"inside day 1 only", 30 * 60, 0, 2, Hours(10), Hours(11), false, 0, 0},
      {"inside the displayed span", 20 * 60, 12, 1, Hours(5), Hours(6), true, 0, 12 * 3600},
      {"after the displayed span", 20 * 60, 12, 1, Hours(15), Hours(16), false, 0, 0},
      {"empty displayed span", 20 * 60, 0, 1, Hours(0), Hours(1), false, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetMinutes(c.minutes);
    if (c.minutes <= 1440) doc_->SetSpanEndMs(c.span_end_hours * 3600 * 1000);
    doc_->GetEventList().RemoveAll();
    AddEvent(c.start, c.end, kClassSTEpisode1);
    TPrintSTPage part(0, doc_.get(), nullptr);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    part.PrintPage(dc, info_, c.day);

    const int mid_row = Device(0, 12000, 0, 2 * 500 + 250).y;
    std::vector<Stroke> lines;
    for (const Stroke& s : StrokesOf(dc))
      if (s.pen.width == 16 && s.from.y == mid_row && s.to.y == mid_row) lines.push_back(s);
    if (!c.drawn) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_EQ(lines.size(), 1u);
    const auto x_of = [&](int position) {
      const int64_t s = position / kRate - c.window_start_s;
      return kChartLeft + static_cast<int>(10 * (s * 1435 / (c.window_end_s - c.window_start_s)));
    };
    EXPECT_EQ(lines[0].from.x, Device(0, 12000, x_of(c.start), 0).x);
    EXPECT_EQ(lines[0].to.x, Device(0, 12000, x_of(c.end), 0).x);
  }
}

TEST_F(STPagesTest, EventCountsOfAMultiDayPageCountOnlyThatDay) {
  SetMinutes(30 * 60);
  AddEvent(Hours(10), Hours(11), kClassSTEpisode1);
  AddEvent(Hours(23.5), Hours(24.5), kClassSTEpisode1);
  AddEvent(Hours(26), Hours(27), kClassSTEpisode1);
  AddEvent(Hours(25), Hours(25), kClassUser);
  TPrintSTPage part(0, doc_.get(), nullptr);
  const auto count_cell = [&](int row) { return Cell(0, 12000, 17000, 18300, row * 500, row * 500 + 500); };
  gfx::RecordingCanvas day2(PrinterDevice());
  PreparePage(day2);
  part.PrintPage(day2, info_, 2);
  EXPECT_EQ(TextIn(day2, count_cell(2)), "2");
  EXPECT_EQ(TextIn(day2, count_cell(4)), "1");
  gfx::RecordingCanvas day1(PrinterDevice());
  PreparePage(day1);
  part.PrintPage(day1, info_, 1);
  EXPECT_EQ(TextIn(day1, count_cell(2)), "2");
  EXPECT_EQ(TextIn(day1, count_cell(4)), "0");
}

TEST_F(STPagesTest, PdfBookmarkIsThePageTitle) {
  struct Case {
    int minutes;
    int day;
    const char* marker;
  };
  constexpr Case kCases[] = {{60, 1, "PAGETITLE,ST analysis"},
                             {30 * 60, 2, "PAGETITLE,ST analysis, day 2 (02.03.2026) :"}};
  BeginEmfRecording();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.marker);
    SetMinutes(c.minutes);
    TPrintSTPage part(0, doc_.get(), nullptr);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    part.PrintPage(dc, info_, c.day);
    const std::vector<std::string> comments = CommentsOf(dc);
    EXPECT_NE(std::ranges::find(comments, std::string(c.marker)), comments.end());
  }
  EndEmfRecording();
}

// --- ST trend graph ------------------------------------------------------------------------------

// Every axis label, top to bottom of drawing order.
std::vector<std::string> AxisLabels(const gfx::RecordingCanvas& dc, const gfx::Rect& column) {
  std::vector<std::string> labels;
  for (const gfx::rec::Text& text : TextsOf(dc))
    if (text.draw_rect.left == column.left && text.draw_rect.right == column.right)
      labels.push_back(text.text);
  return labels;
}

TEST_F(STPagesTest, TrendAxisRangeAndLabels) {
  struct Case {
    const char* name;
    double level;  // planted on channel 1; NaN-free, 0 leaves it unanalysed
    bool analysed;
    int forced_extreme;  // 0: computed
    int want_min;
    int want_max;
    std::vector<std::string> labels;
  };
  const Case kCases[] = {
      {"no ST channel analysed", 0.0, false, 0, -3, 3, {"0", "1", "2", "-1", "-2"}},
      {"levels near -5.5", -5.5, true, 0, -6, 6, {"0", "2", "4", "-2", "-4"}},
      {"an extreme of 9", 0.0, false, 9, -9, 9, {"0", "4", "8", "-4", "-8"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetMinutes(60);
    doc_->GetRecordingData().st_channel_analysed = {0, 0};
    if (c.analysed) PlantSeries(0, c.level, 0.0);
    TPrinterSTTrend graph(doc_.get(), 0, 0, 14500, 18500, 3000);
    graph.Compute(1);
    if (c.forced_extreme != 0) graph.SetRange(-c.forced_extreme, c.forced_extreme);
    EXPECT_EQ(graph.GetRangeMin(), c.want_min);
    EXPECT_EQ(graph.GetRangeMax(), c.want_max);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    graph.Draw(dc);
    EXPECT_EQ(AxisLabels(dc, Cell(0, 14500, 1450, 2280, 0, 300)), c.labels);
    EXPECT_EQ(PolylinesOf(dc).empty(), !c.analysed);
  }
}

TEST_F(STPagesTest, TwentyTwoHoursGive264PointsOverTheFullWidth) {
  SetMinutes(22 * 60);
  PlantSeries(0, -2.0, 1.0);
  TPrinterSTTrend graph(doc_.get(), 0, 0, 14500, 18500, 3000);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  graph.PrintPage(dc, info_, 1);
  ASSERT_EQ(graph.GetValueCount(), 264);
  const std::vector<gfx::Point>& level = graph.LevelPoints(0);
  ASSERT_EQ(level.size(), 264u);
  EXPECT_EQ(level.front().x, Device(0, 0, 2651, 0).x);
  EXPECT_EQ(level.back().x, Device(0, 0, 2651 + 18500 - 4150, 0).x);
  // Range -3..3 over 3000: one unit is 500 below and above the middle at 1500.
  EXPECT_EQ(level.front().y, Device(0, 0, 0, 14500 + 1500 + 1000).y);
  EXPECT_EQ(graph.SlopePoints(0).front().y, Device(0, 0, 0, 14500 + 1500 - 500).y);
  // The slope curve lies on top of the level curve.
  const std::vector<Curve> curves = PolylinesOf(dc);
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(curves[0].points, level);
  EXPECT_EQ(curves[0].pen.width, 32);
  EXPECT_EQ(curves[1].pen.width, 8);
}

TEST_F(STPagesTest, TrendPointsOfOddDays) {
  SetMinutes(1445);
  PlantSeries(0, -1.0, 0.0);
  TPrinterSTTrend graph(doc_.get(), 0, 0, 14500, 18500, 3000);
  // Day 2 holds five minutes: one value, at the curve's start.
  graph.Compute(2);
  ASSERT_EQ(graph.LevelPoints(0).size(), 1u);
  EXPECT_EQ(graph.LevelPoints(0)[0].x, Device(0, 0, 2651, 0).x);
  // A day past the values gives no points.
  graph.Compute(3);
  EXPECT_TRUE(graph.LevelPoints(0).empty());
}

TEST_F(STPagesTest, NarrowGraphKeepsTheDeepestValueOfEachColumn) {
  SetMinutes(22 * 60);
  PlantSeries(0, 0.0, 0.0);
  // One five-minute value of -5 in the middle of the recording.
  for (int w = 0; w < 20; ++w) doc_->GetRecordingData().st_levels[0].ElementAt(2640 + w)->SetValue(-5.0);
  TPrinterSTTrend graph(doc_.get(), 0, 0, 0, 4300, 3000);  // 150 columns for 264 values
  graph.Compute(1);
  const std::vector<gfx::Point>& level = graph.LevelPoints(0);
  ASSERT_EQ(level.size(), 150u);
  EXPECT_EQ(level.back().x - level.front().x, 149);
  const auto deepest = std::ranges::min_element(level, {}, &gfx::Point::y);
  EXPECT_EQ(deepest->y, Device(0, 0, 0, 1500 + 5 * 3000 / 12).y);
}

TEST_F(STPagesTest, TrendWithoutBeatsOrWithABadIndex) {
  SetMinutes(60);
  PlantSeries(0, -1.0, 0.0);
  doc_->GetQRSList().RemoveAll();
  TPrinterSTTrend no_beats(doc_.get(), 0, 0, 14500, 18500, 3000);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  no_beats.PrintPage(dc, info_, 1);
  EXPECT_EQ(no_beats.GetRangeMin(), -4);
  EXPECT_EQ(no_beats.GetRangeMax(), 4);
  EXPECT_TRUE(PolylinesOf(dc).empty());
  EXPECT_TRUE(HasText(dc, "Channel 1"));

  win::ScriptedPrompt prompt;
  win::ScopedPrompt scoped(prompt);
  doc_->GetQRSList().Append(TQRSComplex(1000, kClassNormal));
  TPrinterSTTrend bad(doc_.get(), 2, 0, 14500, 18500, 3000);
  gfx::RecordingCanvas bad_dc(PrinterDevice());
  PreparePage(bad_dc);
  bad.PrintPage(bad_dc, info_, 1);
  EXPECT_TRUE(PolylinesOf(bad_dc).empty());
  ASSERT_EQ(prompt.Log().size(), 2u);
  EXPECT_EQ(prompt.Log()[0].text, "Error in TPrinterSTTrend::PrintSTDescr");
}

// --- ST extremes table ---------------------------------------------------------------------------

class STExtremesTest : public STPagesTest {
 public:
  // The channel's texts: onset, extreme and end rows (time, level, slope, rate), then the duration.
  std::vector<std::string> ChannelTexts(const gfx::RecordingCanvas& dc, int k) const {
    std::vector<std::string> texts;
    const int c = 5500 + 1000 * k;
    for (const int top : {800, 1200, 1600}) {
      texts.push_back(TextIn(dc, Cell(0, 8800, 1500 + 2000 * k, 3500 + 2000 * k, top, top + 400)));
      for (const int left : {c, c + 2000, c + 4000})
        texts.push_back(TextIn(dc, Cell(0, 8800, left, left + 1000, top, top + 400)));
    }
    texts.push_back(TextIn(dc, Cell(0, 8800, 1500 + 2000 * k, 3500 + 2000 * k, 2000, 2400)));
    return texts;
  }
};

TEST_F(STExtremesTest, PrintsTheEpisodeAtTheReferencePosition) {
  const std::vector<std::string> kNone(13, "-");
  struct Case {
    const char* name;
    std::vector<TSTDetail> episodes;
    int deepest;
    std::vector<std::string> want;
  };
  const Case kCases[] = {
      {"no episodes", {}, -1, kNone},
      {"deepest inside an episode",
       {Episode(1000, 1500, 3000, -2.34, 0.47, 80)},
       1500,
       {"10:30:08", "-1.2", "0.5", "80", "10:30:12", "-2.3", "0.5", "90", "10:30:24", "-0.6", "0.5", "100",
        "00:00:16"}},
      {"shorter than a second",
       {Episode(1000, 1010, 1050, -1.0)},
       1010,
       {"10:30:08", "-0.5", "0.0", "70", "10:30:08", "-1.0", "0.0", "80", "10:30:08", "-0.3", "0.0", "90",
        "00:00:01"}},
      {"between two episodes",
       {Episode(1000, 1500, 3000, -2.0), Episode(6000, 6500, 8000, -2.0)},
       5000,
       kNone},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetMinutes(60);
    TRecordingData& record = doc_->GetRecordingData();
    record.st_episodes[0].RemoveAll();
    for (const TSTDetail& e : c.episodes) record.st_episodes[0].Add(e);
    record.deepest_st_position = {c.deepest, -1};
    TPrintSTExtremesTable table(doc_.get(), 0, 8800);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    table.PrintPage(dc, info_, 1);
    EXPECT_EQ(ChannelTexts(dc, 0), c.want);
    EXPECT_EQ(ChannelTexts(dc, 1), kNone);
    for (int x = 5500; x < 11500; x += 1000)
      EXPECT_EQ(TextIn(dc, Cell(0, 8800, x, x + 1000, 2000, 2400)), "-");
  }
}

TEST_F(STExtremesTest, MultiDayPagesSearchTheirOwnDaysWindows) {
  constexpr int kWindow = TPrintSTExtremesTable::kSamplesPerWindow;
  SetMinutes(50 * 60);
  PlantSeries(0, 0.0, 0.0);
  TRecordingData& record = doc_->GetRecordingData();
  const auto set_level = [&](int window, double level) {
    record.st_levels[0].ElementAt(window)->SetValue(level);
  };
  set_level(5759, -9.0);
  set_level(6000, -3.0);
  set_level(6500, -3.0);  // as deep, later: the first stays
  set_level(11520, -9.0);
  record.st_episodes[0].Add(Episode(5759 * kWindow - 100, 5759 * kWindow, 5759 * kWindow + 100, -9.0));
  record.st_episodes[0].Add(Episode(6000 * kWindow - 125, 6000 * kWindow, 6000 * kWindow + 250, -3.0));
  record.st_episodes[0].Add(Episode(11520 * kWindow - 100, 11520 * kWindow, 11520 * kWindow + 100, -9.0));
  TPrintSTExtremesTable table(doc_.get(), 0, 8800);
  EXPECT_EQ(table.ReferencePosition(0, 1), 5759 * kWindow);
  EXPECT_EQ(table.ReferencePosition(0, 2), 6000 * kWindow);
  EXPECT_EQ(table.ReferencePosition(0, 3), 11520 * kWindow);
  EXPECT_EQ(table.ReferencePosition(1, 2), -1);

  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  table.PrintPage(dc, info_, 2);
  // 90 000 s after 10:30:00 is 11:30:00 of the next day.
  const std::vector<std::string> texts = ChannelTexts(dc, 0);
  EXPECT_EQ(texts[4], "11:30:00");
  EXPECT_EQ(texts[5], "-3.0");
  EXPECT_EQ(texts[0], "11:29:59");
  EXPECT_EQ(texts[12], "00:00:03");
}

TEST_F(STExtremesTest, ClockTimeWrapsAtMidnight) {
  SetMinutes(60);
  doc_->GetRecordingData().start_time = {0, (23 * 3600 + 59 * 60 + 50) / 86400.0};
  TPrintSTExtremesTable table(doc_.get(), 0, 8800);
  EXPECT_EQ(table.ClockTimeText(0), "23:59:50");
  EXPECT_EQ(table.ClockTimeText(20 * kRate + 3), "00:00:10");
}

// --- ST episode strips ---------------------------------------------------------------------------

class STEpisodeStripsTest : public STPagesTest {
 protected:
  void SetUp() override {
    STPagesTest::SetUp();
    AddSampleStripResources(platform::Resources().ExePack());
    AddStripPageResources(platform::Resources().ExePack());
    SetMinutes(60);
  }
  void AddEpisode(int st_index, int extreme, double level, double slope = 0.25) {
    doc_->GetRecordingData().st_episodes[static_cast<size_t>(st_index)].Add(
        Episode(extreme - 500, extreme, extreme + 500, level, slope));
  }
  // The heading above strip row r.
  std::string Heading(const gfx::RecordingCanvas& dc, int row) const {
    const int top = TPrintStripPage::kStripPitch * row;
    return TextIn(dc, Cell(0, TPrintStripPage::kFirstStripTop, 7000, 15000, top - 400, top - 100));
  }
};

TEST_F(STEpisodeStripsTest, FourLowestOfBothChannelsLowestFirst) {
  AddEpisode(0, 10000, -1.0);
  AddEpisode(0, 20000, -2.5);
  AddEpisode(0, 30000, -1.5);
  AddEpisode(1, 40000, -2.5);  // as deep as channel 1's second: after it
  AddEpisode(1, 50000, -0.5);
  AddEpisode(1, 60000, -1.5);  // as deep as channel 1's third: after it
  TPrintSTEpisodeStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrintSTEpisodeStrips::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  ASSERT_EQ(part.Items().size(), 1u);
  EXPECT_EQ(part.Items()[0].positions, (std::array<int32_t, 4>{20000, 40000, 30000, 60000}));
  const auto& lowest = part.Lowest();
  EXPECT_EQ(lowest[1].channel, 1);
  EXPECT_EQ(lowest[1].episode, 0);
  EXPECT_EQ(lowest[3].episode, 2);

  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  part.PrintPage(dc, info_, 1);
  EXPECT_TRUE(HasText(dc, "ST episodes:"));
  EXPECT_EQ(Heading(dc, 0), "ST level -2.5mm   ST slope 0.3mV/s");
  EXPECT_EQ(Heading(dc, 2), "ST level -1.5mm   ST slope 0.3mV/s");
}

TEST_F(STEpisodeStripsTest, FewerEpisodesLeaveRowsEmpty) {
  TPrintSTEpisodeStrips none(0, doc_.get(), nullptr, nullptr);
  none.SetCommand(TPrintSTEpisodeStrips::kOwnCommand);
  EXPECT_EQ(none.GetPageCount(info_), 0);

  AddEpisode(1, 10000, 0.5, 0.04);
  AddEpisode(1, 20000, -0.74, 1.0);
  TPrintSTEpisodeStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrinter::kWholeReportCommand);
  doc_->GetSettings().SetInt(SettingKey::kPrintSTEpisodes, 0);
  EXPECT_EQ(part.GetPageCount(info_), 0);
  doc_->GetSettings().SetInt(SettingKey::kPrintSTEpisodes, 1);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  EXPECT_EQ(part.Items()[0].positions, (std::array<int32_t, 4>{20000, 10000, -1, -1}));

  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  part.PrintPage(dc, info_, 1);
  EXPECT_EQ(Heading(dc, 0), "ST level -0.7mm   ST slope 1.0mV/s");
  EXPECT_EQ(Heading(dc, 1), "ST level 0.5mm   ST slope 0.0mV/s");
  EXPECT_EQ(Heading(dc, 2), "");
  EXPECT_EQ(Heading(dc, 3), "");
}

}  // namespace
