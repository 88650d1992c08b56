#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/document_strings.h"
#include "document/event_list.h"
#include "document/heart_rate_trend.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "reports/print_hr_events_page.h"
#include "reports/print_hr_trend_chart.h"
#include "reports/print_time_axis.h"
#include "reports/printer_base.h"
#include "reports/report_part_resources.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "support/screen_golden.h"
#include "views/ecg_strip_painter.h"
#include "views/view_resources.h"

namespace {

using reporttest::PrinterDevice;
using reporttest::ReportPartTest;

// A part that only exposes the base's frame and helpers.
class FramePart : public TPrinter {
 public:
  using TPrinter::TextBox;
  using TPrinter::TPrinter;
};

std::vector<gfx::rec::Text> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<gfx::rec::Text> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(*text);
  return texts;
}

std::optional<gfx::rec::Text> FindText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  for (const gfx::rec::Text& text : TextsOf(dc))
    if (text.text == wanted) return text;
  return std::nullopt;
}

struct Stroke {
  gfx::Point from;
  gfx::Point to;
  gfx::Pen pen;
};

// Every MoveTo/LineTo pair with the pen it was drawn with.
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

// --- Base: units, texts, state ---------------------------------------------------------------

TEST(TPrinter, HimetricToTwipsTruncatesTowardZero) {
  struct Case {
    int value;
    int want;
  };
  constexpr Case kCases[] = {{1016, 576}, {1270, 720}, {500, 283}, {18500, 10488}, {-500, -283}, {0, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(TPrinter::HimetricToTwips(c.value), c.want);
  }
}

TEST(TPrinter, FixedToTextHasNoLeadingZeroAndKeepsTheSign) {
  struct Case {
    double value;
    int decimals;
    const char* want;
  };
  constexpr Case kCases[] = {
      {0.5, 1, ".5"},   {72.5, 1, "72.5"},   {12.5, 1, "12.5"}, {0.04, 2, ".04"}, {0.96, 1, "1.0"},
      {-0.5, 1, "-.5"}, {-72.5, 1, "-72.5"}, {-0.01, 1, ".0"},  {0.0, 1, ".0"},
  };
  TPrinter part;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(part.FixedToText(c.value, c.decimals), c.want);
  }
  EXPECT_EQ(part.IntToText(-17), "-17");
}

TEST(TPrinter, CleanTextDropsShortQuotedTextsAndCutsAtControlCharacters) {
  struct Case {
    const char* text;
    const char* want;
  };
  constexpr Case kCases[] = {
      {"'ab", ""},
      {"'", ""},
      {"'äb", ""},
      {"'abc", "'abc"},
      {"ab\x01"
       "cd",
       "ab"},
      {"x\x13y\x01", "x"},
      {"plain", "plain"},
      {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    std::string text = c.text;
    TPrinter::CleanText(text);
    EXPECT_EQ(text, c.want);
  }
}

TEST_F(ReportPartTest, MarginsComeFromTheDocumentsMarginTexts) {
  struct Case {
    const char* left;
    const char* top;
    int want_left;
    int want_top;
  };
  constexpr Case kCases[] = {{"0.4", "0.5", 1016, 1270}, {"none", "1", 0, 2540}, {"", " 0.25", 0, 635}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.left);
    doc_->GetSettings().SetText(SettingKey::kSetupMarginsLeft, c.left);
    doc_->GetSettings().SetText(SettingKey::kSetupMarginsTop, c.top);
    const TPrinter part(0, doc_.get(), -1, nullptr);
    EXPECT_EQ(part.GetLeftMargin(), c.want_left);
    EXPECT_EQ(part.GetTopMargin(), c.want_top);
    EXPECT_EQ(part.GetLeftMarginTwips(), TPrinter::HimetricToTwips(c.want_left));
    EXPECT_EQ(part.XToPage(0), c.want_left);
    EXPECT_EQ(part.YToPage(0), -c.want_top);
  }
}

TEST_F(ReportPartTest, PageAndTwipsPositionsAddOffsetsAndMargins) {
  TPrinter part(0, doc_.get(), -1, nullptr);
  EXPECT_EQ(part.GetLeftMarginTwips(), 576);
  EXPECT_EQ(part.GetTopMarginTwips(), 720);
  part.SetOffset(500, 3000);
  EXPECT_EQ(part.XToPage(100), 1016 + 500 + 100);
  EXPECT_EQ(part.YToPage(100), -(1270 + 3000 + 100));
  EXPECT_LT(part.YToPage(200), part.YToPage(100));
  EXPECT_EQ(part.XToTwips(18500), 576 + 283 + 10488);
  EXPECT_EQ(part.YToTwips(500), -720 - 1700 - 283);
}

TEST_F(ReportPartTest, DefaultConstructedPartPrintsNoFrame) {
  gfx::RecordingCanvas dc(PrinterDevice());
  TPrinter element;
  element.PrintPage(dc, info_, 1);
  EXPECT_TRUE(dc.Items().empty());
}

TEST_F(ReportPartTest, FramePrintingRestoresPenFontAndMapping) {
  FillPatient();
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  const gfx::Pen pen{gfx::PenStyle::kDot, 3, 0x123456};
  dc.SelectPen(pen);
  const gfx::Font font = dc.GetFont();
  for (int full : {0, 1}) {
    FramePart part(full, doc_.get(), -1, nullptr);
    part.PrintPage(dc, info_, 1);
    EXPECT_EQ(dc.GetPen(), pen);
    EXPECT_EQ(dc.GetFont(), font);
    EXPECT_EQ(dc.GetMapMode(), gfx::MapMode::kHiMetric);
    EXPECT_EQ(part.GetXOffset(), 0);
    EXPECT_EQ(part.GetYOffset(), 25500);
  }
}

TEST_F(ReportPartTest, PartTextsDoNotContradictTheDocumentsOrTheScreens) {
  for (const char* name : {"ZK470Eng", "ZK470Ger"}) {
    SCOPED_TRACE(name);
    platform::ResourcePack pack(name);
    pack.AddStrings(document::DocumentStrings());
    AddViewResources(pack);
    AddReportPartResources(pack);
    EXPECT_TRUE(pack.Conflicts().empty());
    for (const int id :
         {kIdsLabelName, kIdsSexNone + 2, kIdsPacemakerNo + 1, kIdsHREventsTitle, kIdsCountColumn})
      EXPECT_TRUE(pack.FindString(id).has_value()) << id;
  }
}

// --- Page header and footer ------------------------------------------------------------------

TEST_F(ReportPartTest, HeaderAndFooterGolden) {
  FillPatient();
  struct Case {
    const char* name;
    int full;
    bool header;
  };
  constexpr Case kCases[] = {
      {"page_header_full", 1, true}, {"page_header_short", 0, true}, {"page_footer", 0, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    dc.Clear();
    FramePart part(c.full, doc_.get(), -1, nullptr);
    if (c.header) {
      part.PrintHeader(dc, info_);
    } else {
      part.PrintFooter(dc, info_);
    }
    testsupport::ExpectScreenGolden("reports", c.name, dc.Lines());
    if (c.header) EXPECT_TRUE(FindText(dc, "Müßig Jürgen").has_value());
  }
}

TEST_F(ReportPartTest, HeaderValuesFollowThePatientRecord) {
  FillPatient();
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  FramePart part(1, doc_.get(), -1, nullptr);
  part.PrintHeader(dc, info_);
  for (const char* text : {"Cardiology Practice Dr. Weber", "01.03.2026 10:30:00", "4711-B", "25.03.1960",
                           "K3", "65 years", "yes", "male", "72.5 kg", "-", "ZK-470 2.04", "Engine 5.1"})
    EXPECT_TRUE(FindText(dc, text).has_value()) << text;

  // The short header shows the name and the number on one row and nothing of the rest.
  gfx::RecordingCanvas short_dc(PrinterDevice());
  PreparePage(short_dc);
  FramePart short_part(0, doc_.get(), -1, nullptr);
  short_part.PrintHeader(short_dc, info_);
  const std::optional<gfx::rec::Text> number = FindText(short_dc, "4711-B");
  const std::optional<gfx::rec::Text> name = FindText(short_dc, "Müßig Jürgen");
  ASSERT_TRUE(number && name);
  EXPECT_EQ(number->draw_rect.top, name->draw_rect.top);
  EXPECT_FALSE(FindText(short_dc, "K3").has_value());
  EXPECT_FALSE(FindText(short_dc, "Sex").has_value());
}

TEST_F(ReportPartTest, HeaderMeasuresAndCodesTable) {
  struct Case {
    const char* name;
    int units;
    int sex;
    double weight;
    double height;
    const char* want_sex;
    const char* want_weight;
    const char* want_height;
  };
  constexpr Case kCases[] = {
      {"metric", 0, 1, 72.5, 180.0, "female", "72.5 kg", "180.0 cm"},
      // The last four of five decimals are cut, not rounded.
      {"imperial", 1, 0, 160.25, 70.0, "-", "160.2 lb", "70.0 in"},
      {"no unit", 7, 2, 0.0, 0.5, "male", "-", ".5"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FillPatient();
    doc_->GetSettings().SetInt(SettingKey::kUnits, c.units);
    doc_->GetPatientData().sex = c.sex;
    doc_->GetPatientData().weight = c.weight;
    doc_->GetPatientData().height = c.height;
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    FramePart part(1, doc_.get(), -1, nullptr);
    part.PrintHeader(dc, info_);
    for (const char* text : {c.want_sex, c.want_weight, c.want_height})
      EXPECT_TRUE(FindText(dc, text).has_value()) << text;
  }
}

TEST_F(ReportPartTest, FooterPageTextEndsAtTheRightAndTitleTakesThePrintTime) {
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  FramePart part(0, doc_.get(), -1, nullptr);
  part.PrintFooter(dc, info_);
  const std::optional<gfx::rec::Text> page = FindText(dc, "3/12");
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(page->draw_rect.right, part.XToTwips(18150));
  EXPECT_EQ(page->draw_format, TPrinter::kRightText);
  EXPECT_EQ(part.GetTitle(), "Printed on 04.03.2026 14:05:09");

  // The program's name stays English whatever the language pack says.
  platform::ResourcePack german("ZK470Ger");
  german.AddStrings(std::vector<platform::StringEntry>{{57344, "Anderer Titel"}, {30000, "9.99"}});
  AddReportPartResources(german);
  platform::Resources().SetLanguagePack(&german);
  gfx::RecordingCanvas german_dc(PrinterDevice());
  PreparePage(german_dc);
  FramePart german_part(0, doc_.get(), -1, nullptr);
  german_part.PrintFooter(german_dc, info_);
  EXPECT_TRUE(FindText(german_dc, "KESTROVA ZK-470 Holter-ECG V 2.04").has_value());
  EXPECT_EQ(german_part.GetTitle(), "Gedruckt am 04.03.2026 14:05:09");
  EXPECT_FALSE(platform::Resources().UsingExeResources());
}

// --- Time axis -------------------------------------------------------------------------------

struct Mark {
  int32_t second;  // position: the axis is one 0.01 mm per second of the span
  int labelled;
  const char* label;
};

TEST_F(ReportPartTest, TimeAxisMarksTable) {
  struct Case {
    const char* name;
    int start_hour;
    int start_minute;
    int length_minutes;
    std::vector<Mark> want_first;  // the first marks, in order
    size_t want_count;
  };
  const Case kCases[] = {
      {"10:25 for an hour: no label on the odd first hour",
       10,
       25,
       60,
       {{300, 0, ""}, {900, 0, ""}, {1500, 0, ""}, {2100, 1, ""}, {2700, 0, ""}, {3300, 0, ""}},
       6},
      {"09:25 for three hours: labels on 10 and 12",
       9,
       25,
       180,
       {{300, 0, ""},
        {900, 0, ""},
        {1500, 0, ""},
        {2100, 1, "10"},
        {2700, 0, ""},
        {3300, 0, ""},
        {3900, 0, ""},
        {4500, 0, ""},
        {5100, 0, ""},
        {5700, 1, ""},
        {6300, 0, ""},
        {6900, 0, ""},
        {7500, 0, ""},
        {8100, 0, ""},
        {8700, 0, ""},
        {9300, 1, "12"}},
       18},
      {"08:00: the first mark at 08:10, none at the end",
       8,
       0,
       60,
       {{600, 0, ""}, {1200, 0, ""}, {1800, 0, ""}, {2400, 0, ""}, {3000, 0, ""}},
       5},
      {"48 hours: 20-minute marks, every fourth hour",
       8,
       0,
       2880,
       {{1200, 0, ""},
        {2400, 0, ""},
        {3600, 1, ""},
        {4800, 0, ""},
        {6000, 0, ""},
        {7200, 1, "10"},
        {8400, 0, ""},
        {9600, 0, ""},
        {10800, 1, ""},
        {14400, 1, ""},
        {18000, 1, ""},
        {21600, 1, "14"}},
       143},
      {"an empty span has no marks", 8, 0, 0, {}, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetRecordingData().start_time = {0, (c.start_hour * 60 + c.start_minute) / 1440.0};
    doc_->SetPrintSpanStartMinute(0);
    doc_->SetPrintSpanLength(c.length_minutes);
    TPrintTimeAxis axis(doc_.get(), 0, 0, c.length_minutes * 60, 500);
    axis.BuildMarks();
    const std::vector<TTimeAxisMark>& marks = axis.Marks();
    EXPECT_EQ(marks.size(), c.want_count);
    std::vector<Mark> got;
    for (const TTimeAxisMark& mark : marks) {
      // The long case lists its minor marks of the first two hours only.
      if (c.length_minutes > 1440 && mark.labelled == 0 && mark.position > 9600) continue;
      if (got.size() == c.want_first.size()) break;
      got.push_back({mark.position, mark.labelled, ""});
      EXPECT_EQ(mark.label, c.want_first[got.size() - 1].label) << mark.position;
    }
    ASSERT_EQ(got.size(), c.want_first.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].second, c.want_first[i].second) << i;
      EXPECT_EQ(got[i].labelled, c.want_first[i].labelled) << i;
    }
  }
}

TEST_F(ReportPartTest, TimeAxisDrawsOnlyMarksInsideItsWidth) {
  doc_->GetRecordingData().start_time = {0, (10 * 60 + 25) / 1440.0};
  doc_->SetPrintSpanLength(60);
  TPrintTimeAxis axis(doc_.get(), 2650, 10500, 3600, 500);
  axis.SetOffset(0, 3000);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  axis.Draw(dc, info_);
  // 11:30 (t 3900) lies beyond the span and is not built; every drawn mark starts on the axis line.
  const std::vector<Stroke> strokes = StrokesOf(dc);
  ASSERT_EQ(strokes.size(), 6u);
  EXPECT_EQ(strokes[3].from, (gfx::Point{1016 + 2650 + 2100, -(1270 + 3000 + 10500)}));
  EXPECT_EQ(strokes[3].to.y, -(1270 + 3000 + 10500 + 170));
  EXPECT_EQ(strokes[3].pen.width, 32);
  EXPECT_EQ(strokes[0].to.y, -(1270 + 3000 + 10500 + 150));
  EXPECT_EQ(strokes[0].pen.width, 16);

  // From 10:25 for 52 minutes the 11:20 mark is built but lies beyond the width.
  doc_->SetPrintSpanLength(52);
  TPrintTimeAxis narrow(doc_.get(), 0, 0, 3120, 500);
  gfx::RecordingCanvas narrow_dc(PrinterDevice());
  narrow.Draw(narrow_dc, info_);
  EXPECT_EQ(narrow.Marks().size(), 6u);
  EXPECT_EQ(narrow.Marks().back().position, 3300);
  EXPECT_EQ(StrokesOf(narrow_dc).size(), 5u);
}

// --- Heart-rate trend chart ------------------------------------------------------------------

class TrendChartTest : public ReportPartTest {
 protected:
  // Replaces the recording's beats with normal beats at alternating intervals (samples).
  void SetBeats(int first_interval, int second_interval) {
    TQRSList& beats = doc_->GetQRSList();
    beats.RemoveAt(0, beats.GetSize());
    const int32_t end = doc_->GetRecordingMinutes() * 60 * 125;
    int i = 0;
    for (int32_t position = 100; position < end; ++i)
      beats.Append(TQRSComplex(position, kClassNormal)),
          position += i % 2 == 0 ? first_interval : second_interval;
  }
  static int PlotLeftPage() { return 1016 + 2650; }
};

TEST_F(TrendChartTest, ScaleRoundsToTensAndWidensNarrowRanges) {
  // Without beats the chart keeps its default scale and draws no curve.
  TPrintHRTrendChart empty(doc_.get(), 0, 14500, 18500, 6500);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  empty.PrintPage(dc, info_, 1);
  EXPECT_EQ(empty.GetScaleBottom(), 40);
  EXPECT_EQ(empty.GetScaleTop(), 100);
  EXPECT_EQ(empty.GetPointCount(), 0);
  EXPECT_TRUE(FindText(dc, "Max").has_value());
  EXPECT_TRUE(FindText(dc, "90").has_value());
  EXPECT_FALSE(std::any_of(dc.Items().begin(), dc.Items().end(), [](const gfx::DisplayItem& item) {
    return std::holds_alternative<gfx::rec::Polyline>(item);
  }));

  ASSERT_NO_FATAL_FAILURE(OpenRecording(10));
  SetBeats(113, 118);  // 66 and 63 beats per minute
  TPrintHRTrendChart narrow(doc_.get(), 0, 14500, 18500, 6500);
  narrow.Compute(0);
  EXPECT_EQ(narrow.GetScaleBottom(), 50);
  EXPECT_EQ(narrow.GetScaleTop(), 80);
  EXPECT_EQ(narrow.GetScaleRange(), 30);
}

TEST_F(TrendChartTest, BinsBecomePointsOrShareColumns) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(30));
  doc_->GetSettings().SetInt(SettingKey::kHeartrateTrendMiddleAverage, 0);
  ASSERT_EQ(doc_->GetHRTrendAverage(), 60);

  TPrintHRTrendChart wide(doc_.get(), 0, 14500, 4150 + 300, 6500);
  wide.Compute(0);
  ASSERT_EQ(wide.GetBinCount(), 30);
  ASSERT_EQ(wide.GetPointCount(), 30);
  for (int i = 0; i < 30; ++i)
    EXPECT_EQ(wide.MaxCurve()[static_cast<size_t>(i)].x, PlotLeftPage() + i * 300 / 29);

  // Ten columns take three bins each: the highest maximum and the lowest minimum of the three.
  TPrintHRTrendChart narrow(doc_.get(), 0, 14500, 4150 + 10, 6500);
  narrow.Compute(0);
  ASSERT_EQ(narrow.GetPointCount(), 10);
  EXPECT_EQ(narrow.GetScaleBottom(), wide.GetScaleBottom());
  for (size_t c = 0; c < 10; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(narrow.MaxCurve()[c].x, PlotLeftPage() + static_cast<int>(c));
    int highest = INT32_MIN;
    int lowest = INT32_MAX;
    for (size_t b = 3 * c; b < 3 * c + 3; ++b) {
      highest = std::max(highest, wide.MaxCurve()[b].y);
      lowest = std::min(lowest, wide.MinCurve()[b].y);
    }
    EXPECT_EQ(narrow.MaxCurve()[c].y, highest);
    EXPECT_EQ(narrow.MinCurve()[c].y, lowest);
  }
}

TEST_F(TrendChartTest, SingleBinStandsAtTheLeftEdge) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(1));
  doc_->GetSettings().SetInt(SettingKey::kHeartrateTrendMiddleAverage, 0);
  TPrintHRTrendChart chart(doc_.get(), 0, 14500, 18500, 6500);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  chart.PrintPage(dc, info_, 1);
  ASSERT_EQ(chart.GetPointCount(), 1);
  EXPECT_EQ(chart.MeanCurve()[0].x, PlotLeftPage());
}

TEST_F(TrendChartTest, MonochromeCurvesAreBlack) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(10));
  for (const bool monochrome : {false, true}) {
    SCOPED_TRACE(monochrome);
    SetMonochromePrinting(monochrome);
    TPrintHRTrendChart chart(doc_.get(), 0, 14500, 18500, 6500);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    chart.PrintPage(dc, info_, 1);
    gfx::Pen pen;
    std::vector<gfx::Color> colours;
    for (const gfx::DisplayItem& item : dc.Items()) {
      if (const auto* select = std::get_if<gfx::rec::SelectPen>(&item)) pen = select->pen;
      if (std::holds_alternative<gfx::rec::Polyline>(item)) colours.push_back(pen.color);
    }
    ASSERT_EQ(colours.size(), 3u);
    const bool all_black = std::all_of(colours.begin(), colours.end(), [](gfx::Color c) { return c == 0; });
    EXPECT_EQ(all_black, monochrome);
  }
}

// --- Heart-rate and events page --------------------------------------------------------------

TEST_F(ReportPartTest, EventsPageTakesPartByCommandAndSetting) {
  struct Case {
    int command;
    int setting;
    int want;
  };
  constexpr Case kCases[] = {{32989, 0, 1}, {32989, 1, 1}, {32816, 1, 1}, {32816, 0, 0}, {32885, 1, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.command << " " << c.setting);
    doc_->GetSettings().SetInt(SettingKey::kPrintHREvents, c.setting);
    TPrintHREventsPage page(0, doc_.get(), nullptr);
    page.SetCommand(c.command);
    EXPECT_EQ(page.GetPageCount(info_), c.want);
  }
}

class EventsPageTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenRecording(30));
  }

  // Prints the page; the strokes of table row j lie between these page y values.
  void Print(gfx::RecordingCanvas& dc) {
    PreparePage(dc);
    TPrintHREventsPage page(0, doc_.get(), nullptr);
    page.SetCommand(TPrintHREventsPage::kOwnCommand);
    ASSERT_EQ(page.GetPageCount(info_), 1);
    page.PrintPage(dc, info_, 1);
  }
  static int RowTopPage(int row) { return -(1270 + 3000 + row * 500); }
  static int RowOf(int code) {
    const auto& codes = TPrintHREventsPage::kRowCodes;
    return static_cast<int>(std::find(codes.begin(), codes.end(), code) - codes.begin());
  }
  // Ticks drawn inside row j (from 1.5 mm below its top to 1.5 mm above its bottom).
  static std::vector<Stroke> TicksOfRow(const gfx::RecordingCanvas& dc, int row) {
    std::vector<Stroke> ticks;
    for (const Stroke& s : StrokesOf(dc))
      if (s.from.x == s.to.x && s.from.y == RowTopPage(row) - 150 && s.to.y == RowTopPage(row + 1) + 150)
        ticks.push_back(s);
    return ticks;
  }
};

TEST_F(EventsPageTest, AtrialFibrillationShowsAndCountsInTheArrhythmiaRow) {
  const int32_t start = 10 * 60 * 125;
  doc_->GetEventList().Append(TEvent(start, start + 60 * 125, kClassAtrialFibrillation));
  gfx::RecordingCanvas dc(PrinterDevice());
  Print(dc);
  const int row = RowOf(kClassArrhythmia);
  EXPECT_EQ(row, 7);
  const int x = 1016 + 2650 + 10 * (600 * 1435 / 1800);
  const std::vector<Stroke> ticks = TicksOfRow(dc, row);
  ASSERT_TRUE(std::any_of(ticks.begin(), ticks.end(), [&](const Stroke& s) { return s.from.x == x; }));
  const int colour_number = doc_->GetSettings().Color(kClassArrhythmia);
  EXPECT_EQ(ticks.front().pen.color, CECGStripPainter::kDisplayColours[static_cast<size_t>(colour_number)]);
  EXPECT_EQ(ticks.front().pen.width, 16);
  EXPECT_EQ(doc_->GetPrintSpanStartMinute(), 0);
  EXPECT_EQ(doc_->GetPrintSpanLength(), 30);
}

TEST_F(EventsPageTest, LastBeatOfTheSpanLiesAtTheRightEdgeOfThePlot) {
  doc_->GetQRSList().Append(TQRSComplex(30 * 60 * 125, kClassVES));
  gfx::RecordingCanvas dc(PrinterDevice());
  Print(dc);
  const std::vector<Stroke> ticks = TicksOfRow(dc, RowOf(kClassVES));
  ASSERT_FALSE(ticks.empty());
  const auto rightmost = std::max_element(
      ticks.begin(), ticks.end(), [](const Stroke& a, const Stroke& b) { return a.from.x < b.from.x; });
  EXPECT_EQ(rightmost->from.x, 1016 + 17000);
}

TEST_F(EventsPageTest, RowCountsMatchTheListsAndMonochromeTicksAreBlack) {
  doc_->GetEventList().Append(TEvent(1000, 2000, kClassAtrialFlutter));
  doc_->GetEventList().Append(TEvent(3000, 9000, kClassBattOff));
  doc_->GetEventList().Append(TEvent(4000, 5000, kClassSVTrigeminy));
  SetMonochromePrinting(true);
  gfx::RecordingCanvas dc(PrinterDevice());
  Print(dc);
  const TEventList& events = doc_->GetEventList();
  const TQRSList& beats = doc_->GetQRSList();
  const auto events_of = [&](std::initializer_list<int> kinds) {
    int n = 0;
    for (int i = 0; i < events.GetSize(); ++i)
      n += std::count(kinds.begin(), kinds.end(), events.GetAt(i).GetClass()) > 0 ? 1 : 0;
    return n;
  };
  const auto beats_of = [&](int code) {
    int n = 0;
    for (int i = 0; i < beats.GetSize(); ++i) n += beats.GetAt(i).GetClass() == code ? 1 : 0;
    return n;
  };
  EXPECT_GT(beats_of(kClassVES), 0);
  const std::vector<gfx::rec::Text> texts = TextsOf(dc);
  for (int row = 0; row < TPrintHREventsPage::kRowCount; ++row) {
    const int code = TPrintHREventsPage::kRowCodes[static_cast<size_t>(row)];
    SCOPED_TRACE(code);
    int want = 0;
    if (code == kClassArtefact || code == kClassSVES || code == kClassVES) {
      want = beats_of(code);
    } else if (code == kClassLeadOff) {
      want = events_of({4, 32, 34});
    } else if (code == kClassSVBigeminy) {
      want = events_of({13, 14});
    } else if (code == kClassArrhythmia) {
      want = events_of({24, 30, 31});
    } else {
      want = events_of({code});
    }
    // The count column's box of this row, in twips: table offset 30 mm, margins 576 x 720.
    const int row_top = -(TPrinter::HimetricToTwips(3000) + TPrinter::HimetricToTwips(row * 500) + 720);
    const auto found = std::find_if(texts.begin(), texts.end(), [&](const gfx::rec::Text& t) {
      return t.draw_format == TPrinter::kRightText && t.draw_rect.top == row_top &&
             t.draw_rect.right == 576 + TPrinter::HimetricToTwips(18300);
    });
    ASSERT_NE(found, texts.end());
    EXPECT_EQ(found->text, std::to_string(want));
  }
  // Every stroke of the table is black; the trend chart's legend below it keeps its colours.
  for (const Stroke& s : StrokesOf(dc))
    if (s.from.y >= RowTopPage(22) && s.from.y <= RowTopPage(0)) EXPECT_EQ(s.pen.color, 0u);
}

}  // namespace
