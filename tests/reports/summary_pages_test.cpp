#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/time_formatter.h"
#include "dialogs/findings_dlg.h"
#include "dialogs/patient_dialog_resources.h"
#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "gfx/font_metrics.h"
#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "reports/parts/print_event_chart.h"
#include "reports/parts/print_hourly_tables.h"
#include "reports/parts/print_report.h"
#include "reports/print_hourly_bar_chart.h"
#include "reports/report_fixture.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "trends/report_values.h"
#include "trends/statistics_factories.h"
#include "win/controls.h"
#include "win/system_metrics.h"

namespace {

using namespace reporttest::planted;
using reporttest::PrinterDevice;

// Texts that other owners bring, as they word them.
constexpr platform::StringEntry kOwnersTexts[] = {
    {16001, " /min"}, {16003, " s"}, {21107, "Channels"}, {21108, "analysed"}};

std::vector<gfx::rec::Text> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<gfx::rec::Text> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(*text);
  return texts;
}

bool HasText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  for (const gfx::rec::Text& text : TextsOf(dc))
    if (text.text == wanted) return true;
  return false;
}

// The margins of the document under test, for converting block positions as the parts do.
const TPrinter* g_probe = nullptr;

// The text drawn into the box (0.01 mm, block coordinates at those offsets), or nothing.
std::optional<std::string> TextIn(const gfx::RecordingCanvas& dc, int x_offset, int y_offset, int x0, int x1,
                                  int y0) {
  const int left =
      TPrinter::HimetricToTwips(x_offset) + TPrinter::HimetricToTwips(x0) + g_probe->GetLeftMarginTwips();
  const int right =
      TPrinter::HimetricToTwips(x_offset) + TPrinter::HimetricToTwips(x1) + g_probe->GetLeftMarginTwips();
  const int top =
      -TPrinter::HimetricToTwips(y_offset) - TPrinter::HimetricToTwips(y0) - g_probe->GetTopMarginTwips();
  std::optional<std::string> found;
  for (const gfx::rec::Text& text : TextsOf(dc))
    if (text.draw_rect.left == left && text.draw_rect.right == right && text.draw_rect.top == top)
      found = text.text;
  return found;
}

std::string CountText(int count) { return count == 0 ? "-" : std::to_string(count); }

class SummaryPagesTest : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddSummaryReportResources(own);
    AddStatisticsResources(own);
    AddPatientDialogResources(own);
    own.AddStrings(kOwnersTexts);
    SetReportValuesLocale(&locale_);
    SetFindingsWindowAccess([](const TFindingsDlg* findings) -> const win::Dialog* { return findings; });
  }
  void TearDown() override {
    findings_.reset();
    values_.reset();
    g_probe = nullptr;
    probe_.reset();
    SetFindingsWindowAccess(nullptr);
    SetReportValuesLocale(nullptr);
    ReportPartTest::TearDown();
  }

  void Open(int hours) {
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(OpenPlantedRecording(*doc_, hours));
    values_ = std::make_unique<TReportValues>(*doc_, locale_);
    probe_ = std::make_unique<TPrinter>(0, doc_.get(), -1, nullptr);
    g_probe = probe_.get();
  }

  // The hidden findings dialog of a print job over the document's record texts.
  void MakeFindings() {
    findings_ = std::make_unique<TFindingsDlg>(doc_.get());
    ASSERT_TRUE(findings_->CreateModeless(nullptr, false));
  }

  std::unique_ptr<TPrintReport> MakeReport(int command = TPrintReport::kOwnCommand) {
    auto report = std::make_unique<TPrintReport>(1, doc_.get(), values_.get());
    report->SetDialog(findings_.get());
    report->SetCommand(command);
    return report;
  }

  std::unique_ptr<gfx::RecordingCanvas> PrintReportPage(TPrintReport& report, int page) {
    auto dc = std::make_unique<gfx::RecordingCanvas>(PrinterDevice());
    PreparePage(*dc);
    report.GetPageCount(info_);
    report.PrintPage(*dc, info_, page);
    return dc;
  }

  // The width a findings field wraps at, from its window.
  int FieldWidth(int control_id) const {
    return findings_->Item<win::Edit>(control_id)->GetClientRect().Width() - 6;
  }

  std::unique_ptr<TReportValues> values_;
  std::unique_ptr<TFindingsDlg> findings_;
  std::unique_ptr<TPrinter> probe_;
};

// --- Findings fields -------------------------------------------------------------------------

TEST(WrapEditText, BreaksAtHardBreaksThenAtTheLastBlankThatFits) {
  const gfx::Font font = win::DialogFont();
  const int width = static_cast<int>(std::ceil(gfx::StandardTextWidth(font, "alpha beta")));
  struct Case {
    const char* name;
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"empty", "", {""}},
      {"fits", "alpha beta", {"alpha beta"}},
      {"word wrap keeps the blank", "alpha beta gamma", {"alpha beta ", "gamma"}},
      {"hard breaks and a blank first line", "\r\nalpha\nbeta", {"", "alpha", "beta"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WrapEditText(c.text, width, font), c.lines);
  }

  // A word wider than the field breaks between letters: every line fits and nothing is lost.
  const std::string word = "alphabetagammadeltaepsilon";
  const std::vector<std::string> lines = WrapEditText(word, width, font);
  ASSERT_GE(lines.size(), 2u);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(gfx::StandardTextWidth(font, line), width);
    joined += line;
  }
  EXPECT_EQ(joined, word);
}

TEST_F(SummaryPagesTest, DiagnosisLinesAsTheFieldWrapsThemDecideTheSecondPage) {
  Open(6);
  const auto nine_words = [&] {
    // One paragraph that the field wraps into exactly nine lines.
    MakeFindings();
    const int width = FieldWidth(TPrintReport::kDiagnosisControl);
    const gfx::Font font = findings_->Item<win::Edit>(TPrintReport::kDiagnosisControl)->GetFont();
    findings_.reset();
    std::string text;
    const std::string word = "Sinusrhythmus";
    while (WrapEditText(text, width, font).size() < 9) text += (text.empty() ? "" : " ") + word;
    return text;
  };
  struct Case {
    const char* name;
    std::string diagnosis;
    bool with_dialog;
    int pages;
  };
  const Case cases[] = {
      {"eight lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", true, 1},
      {"nine lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9", true, 2},
      {"nine by wrapping", nine_words(), true, 2},
      {"empty counts one", "", true, 1},
      {"no dialog counts eight", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9", false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetRecordingData().diagnosis = c.diagnosis;
    findings_.reset();
    if (c.with_dialog) MakeFindings();
    auto report = MakeReport();
    EXPECT_EQ(report->GetPageCount(info_), c.pages);
    if (c.with_dialog) {
      const win::Edit* field = findings_->Item<win::Edit>(TPrintReport::kDiagnosisControl);
      EXPECT_EQ(report->GetCommentLineCount(),
                static_cast<int>(WrapEditText(c.diagnosis, FieldWidth(1174), field->GetFont()).size()));
    }
  }
  {
    auto report = MakeReport(TPrinter::kWholeReportCommand);
    doc_->GetSettings().SetInt(SettingKey::kPrintReport, 0);
    EXPECT_EQ(report->GetPageCount(info_), 0);
    doc_->GetSettings().SetInt(SettingKey::kPrintReport, 1);
    EXPECT_EQ(report->GetPageCount(info_), 1);
  }
}

TEST_F(SummaryPagesTest, LongDiagnosisMovesWholeToTheSecondPageUnderAShortHeader) {
  Open(6);
  std::string diagnosis;
  for (int n = 1; n <= 9; ++n) diagnosis += (n > 1 ? "\r\n" : "") + ("Line " + std::to_string(n));
  doc_->GetRecordingData().diagnosis = diagnosis;
  MakeFindings();
  auto report = MakeReport();
  const auto first = PrintReportPage(*report, 1);
  EXPECT_FALSE(HasText(*first, "Diagnosis:"));
  EXPECT_FALSE(HasText(*first, "Line 1"));
  const auto second = PrintReportPage(*report, 2);
  EXPECT_EQ(report->GetFullHeader(), 0);
  EXPECT_TRUE(HasText(*second, "Diagnosis:"));
  for (int n = 1; n <= 9; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(TextIn(*second, 0, 1500, 3000, 18000, 400 * n), "Line " + std::to_string(n));
  }
}

TEST_F(SummaryPagesTest, FindingsAreasKeepBlankSlotsAndStopAtTheirBoxes) {
  Open(6);
  const auto lines = [](int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += (i > 1 ? "\r\n" : "") + ("Text " + std::to_string(i));
    return text;
  };
  TRecordingData& record = doc_->GetRecordingData();
  struct Case {
    const char* name;
    std::string* field;
    int x0;
    int x1;
    int first_y;
    int printed;
  };
  const Case cases[] = {
      {"first findings: two lines", &record.assignment_heading, 3300, 8500, 1000, 2},
      {"second findings: five lines", &record.assignment_text, 3300, 8500, 2200, 5},
      {"medication: eight lines", &record.medication, 11000, 18500, 1000, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    record.assignment_heading.clear();
    record.assignment_text.clear();
    record.medication.clear();
    *c.field = lines(12);
    findings_.reset();
    MakeFindings();
    auto report = MakeReport();
    const auto dc = PrintReportPage(*report, 1);
    for (int n = 0; n < 12; ++n) {
      SCOPED_TRACE(n);
      const std::optional<std::string> text = TextIn(*dc, 0, 2800, c.x0, c.x1, c.first_y + 400 * n);
      if (n < c.printed)
        EXPECT_EQ(text, "Text " + std::to_string(n + 1));
      else
        EXPECT_FALSE(HasText(*dc, "Text " + std::to_string(n + 1)));
    }
  }

  // A blank first line leaves the first row empty.
  record.assignment_heading.clear();
  record.medication.clear();
  record.assignment_text = "\r\nAfter a blank";
  findings_.reset();
  MakeFindings();
  auto report = MakeReport();
  const auto dc = PrintReportPage(*report, 1);
  EXPECT_EQ(TextIn(*dc, 0, 2800, 3300, 8500, 2200), std::nullopt);
  EXPECT_EQ(TextIn(*dc, 0, 2800, 3300, 8500, 2600), "After a blank");

  // The dialog's text is printed only when the record holds one.
  record.assignment_text.clear();
  const auto empty = PrintReportPage(*report, 1);
  EXPECT_FALSE(HasText(*empty, "After a blank"));
}

TEST_F(SummaryPagesTest, FiguresAreThePlantedTruth) {
  constexpr int kHours = 6;
  Open(kHours);
  auto report = MakeReport();
  const auto dc = PrintReportPage(*report, 1);
  const TQRSList& beats = doc_->GetQRSList();
  const TEventList& events = doc_->GetEventList();
  constexpr int kY = 7500;
  struct Case {
    const char* name;
    int x0;
    int x1;
    int y;
    std::string want;
  };
  const TReportValues& v = *values_;
  const Case cases[] = {
      {"start", 3500, 9000, 1500, "15.01.2024 08:00:00"},
      {"end", 3500, 9000, 2000, "15.01.2024 14:00:00"},
      {"duration", 3500, 9000, 2500, "06:00"},
      {"channels", 3500, 9000, 3000, "1+2 analysed"},
      {"beats", 3500, 5000, 4500, std::to_string(beats.GetSize())},
      {"bradycardias", 3500, 5000, 6500, std::to_string(events.GetCounter(kClassBradycardia))},
      {"brady threshold", 1600, 3300, 6500, "(<45 /min)"},
      {"longest brady time", 5000, 7000, 7000, v.GetTimeOfDayText(PlantedEpisode(7, kHours).start_s)},
      {"longest brady length", 7000, 9000, 7000,
       TReportValues::GetDurationText(PlantedEpisode(7, kHours).duration_s)},
      {"tachy threshold", 1600, 3300, 7500, "(>100 /min)"},
      {"longest tachy time", 5000, 7000, 8000, v.GetTimeOfDayText(PlantedEpisode(8, kHours).start_s)},
      {"pauses", 3500, 5000, 8500, std::to_string(PlantedTotal(kClassPause, kHours))},
      {"pause threshold", 1600, 3300, 8500, "(>2.0 s)"},
      {"VES", 12000, 14000, 1500, std::to_string(beats.GetCounter(kClassVES))},
      {"VES per hour", 14000, 15500, 1500, std::to_string(PlantedCount(kClassVES, 5, kHours))},
      {"couplets", 12000, 14000, 2000, std::to_string(PlantedTotal(kClassVCouplet, kHours))},
      {"VT", 12000, 14000, 3000, std::to_string(PlantedTotal(kClassVTachycardia, kHours))},
      {"longest VT", 12000, 14000, 3500, v.GetTimeOfDayText(PlantedEpisode(18, kHours).start_s)},
      {"longest VT length", 15500, 17000, 3500,
       TReportValues::GetDurationText(PlantedEpisode(18, kHours).duration_s)},
      {"longest bigeminy", 12000, 14000, 5000, v.GetTimeOfDayText(PlantedEpisode(19, kHours).start_s)},
      {"SVES", 12000, 14000, 8500, std::to_string(beats.GetCounter(kClassSVES))},
      {"SVES prematurity", 10500, 11800, 8500, "(>20%)"},
      {"SVT", 12000, 14000, 9000, std::to_string(PlantedTotal(kClassSVTachycardia, kHours))},
      {"longest SVT length", 15500, 17000, 9500,
       TReportValues::GetDurationText(PlantedEpisode(12, kHours).duration_s)},
      {"AA", 12000, 14000, 11500, std::to_string(PlantedTotal(kClassArrhythmia, kHours))},
      {"AA deviation", 10500, 11800, 11500, "(>35%)"},
  };
  EXPECT_EQ(beats.GetCounter(kClassVES), PlantedTotal(kClassVES, kHours));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextIn(*dc, 0, kY, c.x0, c.x1, c.y), c.want);
  }
}

TEST_F(SummaryPagesTest, ThresholdsDurationsAndChannelsReadAsTheRecordSays) {
  EXPECT_EQ(TPrintReport::DurationText(425), "07:05");
  EXPECT_EQ(TPrintReport::DurationText(6000), "100:00");
  EXPECT_EQ(TPrintReport::DurationText(0), "00:00");
  static constexpr const char* kLabels[] = {"30", "35", "40"};
  EXPECT_EQ(TPrintReport::ThresholdText("(<", -1, kLabels, " /min"), "(<- /min)");
  EXPECT_EQ(TPrintReport::ThresholdText("(<", 3, kLabels, " /min"), "(<- /min)");
  EXPECT_EQ(TPrintReport::ThresholdText("(>", 2, kLabels, "%"), "(>40%)");

  Open(6);
  doc_->GetRecordingData().bradycardia_threshold = -1;
  doc_->GetRecordingData().tachycardia_threshold = 15;
  const int32_t first[] = {0};
  document::Context().g_AnalysisChannels.Assign(first);
  auto report = MakeReport();
  const auto dc = PrintReportPage(*report, 1);
  EXPECT_EQ(TextIn(*dc, 0, 7500, 1600, 3300, 6500), "(<- /min)");
  EXPECT_EQ(TextIn(*dc, 0, 7500, 1600, 3300, 7500), "(>- /min)");
  EXPECT_EQ(TextIn(*dc, 0, 7500, 3500, 9000, 3000), "1 analysed");
}

// --- Hourly tables ---------------------------------------------------------------------------

struct TableColumn {
  const char* name;
  int x_offset;
  int y_offset;
  int x0;
  int x1;
  int code;
};

constexpr TableColumn kCountColumns[] = {
    {"brady", 0, 2400, 5700, 6950, 7},          {"tachy", 0, 2400, 6950, 8200, 8},
    {"pause", 0, 2400, 8200, 9450, 6},          {"AA", 0, 2400, 9450, 10700, 24},
    {"SVES", 0, 2400, 10700, 12000, 9},         {"SV couplet", 0, 2400, 12000, 13300, 10},
    {"SV triplet", 0, 2400, 13300, 14600, 11},  {"SVT", 0, 2400, 14600, 15900, 12},
    {"SV bigeminy", 0, 2400, 15900, 17200, 13}, {"SV trigeminy", 0, 2400, 17200, 18500, 14},
    {"VES", 0, 14000, 1300, 2600, 15},          {"V couplet", 0, 14000, 2600, 3900, 16},
    {"V triplet", 0, 14000, 3900, 5200, 17},    {"VT", 0, 14000, 5200, 6500, 18},
    {"V bigeminy", 0, 14000, 6500, 7800, 19},   {"V trigeminy", 0, 14000, 7800, 9100, 20},
    {"R on T", 0, 14000, 9100, 10400, 23},      {"marker", 11200, 14000, 1300, 3100, 3},
    {"lead off", 11200, 14000, 3100, 5200, 4},  {"artefact", 11200, 14000, 5200, 7300, 5},
};

class HourlyTablesTest : public SummaryPagesTest {
 protected:
  std::unique_ptr<gfx::RecordingCanvas> PrintDay(TPrintHourlyTables& tables, int day) {
    auto dc = std::make_unique<gfx::RecordingCanvas>(PrinterDevice());
    PreparePage(*dc);
    tables.PrintPage(*dc, info_, day);
    return dc;
  }

  // Each count column of the day: its hours are the planted counts and sum to its total cell.
  void ExpectColumns(const gfx::RecordingCanvas& dc, int day, int hours) {
    for (const TableColumn& column : kCountColumns) {
      SCOPED_TRACE(column.name);
      int sum = 0;
      for (int r = 0; r < 24; ++r) {
        const int hour = (day - 1) * 24 + r;
        const std::optional<std::string> cell =
            TextIn(dc, column.x_offset, column.y_offset, column.x0, column.x1, 800 + 400 * r);
        ASSERT_TRUE(cell.has_value()) << r;
        if (hour < hours) {
          EXPECT_EQ(*cell, CountText(PlantedCount(column.code, hour, hours))) << r;
        }
        if (*cell != "-" && !cell->empty()) sum += std::stoi(*cell);
      }
      EXPECT_EQ(TextIn(dc, column.x_offset, column.y_offset, column.x0, column.x1, 10400),
                std::to_string(sum));
      EXPECT_EQ(sum, PlantedDayTotal(column.code, day - 1, hours));
    }
  }
};

TEST_F(HourlyTablesTest, OneDayPrintsOnePageWithWholeRecordingTotals) {
  Open(24);
  TPrintHourlyTables tables(0, doc_.get(), values_.get());
  tables.SetCommand(TPrintHourlyTables::kOwnCommand);
  EXPECT_EQ(tables.GetPageCount(info_), 1);
  const auto dc = PrintDay(tables, 1);
  EXPECT_EQ(TextIn(*dc, 0, 1500, 0, 12000, 0), "Summary:");
  ExpectColumns(*dc, 1, 24);
  EXPECT_EQ(TextIn(*dc, 0, 2400, 1300, 2700, 10400), values_->GetBeatCountText());
}

TEST_F(HourlyTablesTest, LongerRecordingsPrintADayAPageWithDayNumbersAndDates) {
  for (const int hours : {26, 50}) {
    SCOPED_TRACE(hours);
    Open(hours);
    TPrintHourlyTables tables(0, doc_.get(), values_.get());
    tables.SetCommand(TPrinter::kWholeReportCommand);
    doc_->GetSettings().SetInt(SettingKey::kPrintSummary, 1);
    const int days = (hours + 23) / 24;
    ASSERT_EQ(tables.GetPageCount(info_), days);
    const TTimeFormatter formatter(locale_);
    const platform::LocalDateTime start{2024, 1, 15, 8, 0, 0, 0};
    for (int day = 1; day <= days; ++day) {
      SCOPED_TRACE(day);
      const auto dc = PrintDay(tables, day);
      EXPECT_EQ(TextIn(*dc, 0, 1500, 0, 12000, 0),
                "Summary day " + std::to_string(day) + " (" + formatter.FormatDate(start, day - 1) + ") :");
      ExpectColumns(*dc, day, hours);
      // Hour labels carry the clock hour alone.
      values_->FillHourLabels(false);
      for (int r = 0; r < 24; ++r) {
        const std::optional<std::string> label = TextIn(*dc, 0, 2400, 0, 1300, 800 + 400 * r);
        ASSERT_TRUE(label.has_value());
        EXPECT_EQ(*label, values_->GetHourText((day - 1) * 24 + r));
        EXPECT_EQ(label->find(doc_->GetDayLabel(day)), std::string::npos);
      }
    }
  }
}

// --- Event chart -----------------------------------------------------------------------------

class EventChartTest : public SummaryPagesTest {
 protected:
  void WholeSpan() {
    doc_->SetPrintSpanStartMinute(0);
    doc_->SetPrintSpanLength(doc_->GetRecordingMinutes());
  }
};

TEST_F(EventChartTest, BarsStandForThePlantedHourlyCounts) {
  constexpr int kHours = 6;
  Open(kHours);
  WholeSpan();
  for (const int code : {kClassVES, kClassSVES, kClassPause, kClassVTachycardia}) {
    SCOPED_TRACE(code);
    TPrintHourlyBarChart chart(doc_.get(), values_.get(), code, 0, 0, 6000, 3500, 0, 1);
    ASSERT_EQ(chart.Bars().size(), 24u);
    const int plot = 3500 - chart.BottomMargin() - 500;
    const int maximum = chart.ScaleMaximum();
    ASSERT_GT(maximum, 0);
    for (int hour = 0; hour < 24; ++hour) {
      SCOPED_TRACE(hour);
      const gfx::Rect& bar = chart.Bars()[static_cast<size_t>(hour)];
      EXPECT_EQ(bar.bottom - bar.top, PlantedCount(code, hour, kHours) * plot / maximum);
      // Slots of 8 tenths bar and 2 tenths gap.
      EXPECT_EQ(bar.right - bar.left, 5000 / 24 / 10 * 8);
      EXPECT_EQ(bar.left, 1000 + 5000 / 24 / 10 * 2 + hour * (5000 / 24 / 10 * 10));
    }
  }
}

TEST_F(EventChartTest, MultiDayChartsHaveANarrowBarAnHourAndDayLabels) {
  constexpr int kHours = 50;
  Open(kHours);
  WholeSpan();
  TPrintHourlyBarChart chart(doc_.get(), values_.get(), kClassVES, 0, 0, 6000, 3500, 0, 1);
  ASSERT_EQ(chart.Bars().size(), 50u);
  const int tenth = 5000 / 50 / 10;
  EXPECT_EQ(chart.Bars()[0].right - chart.Bars()[0].left, 6 * tenth);
  EXPECT_EQ(chart.Bars()[1].left - chart.Bars()[0].right, 4 * tenth);
  EXPECT_EQ(chart.LabelInterval(), 4);
  EXPECT_EQ(chart.BottomMargin(), 700);

  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  chart.Draw(dc, info_);
  // Clock hours of every fourth bar from 08:00, with the day under them.
  EXPECT_TRUE(HasText(dc, "8"));
  EXPECT_TRUE(HasText(dc, "12"));
  EXPECT_FALSE(HasText(dc, "9"));
  EXPECT_TRUE(HasText(dc, doc_->GetDayLabel(1)));
  EXPECT_TRUE(HasText(dc, doc_->GetDayLabel(3)));
}

TEST_F(EventChartTest, ScaleMaximumStepAndDottedLinesFollowTheLargestCount) {
  Open(6);
  WholeSpan();
  struct Case {
    int largest;
    int maximum;
    int step;
    int steps;
  };
  constexpr Case kCases[] = {
      {7, 10, 1, 10}, {250, 250, 20, 13}, {0, 0, 1, 0}, {10, 10, 1, 10}, {1001, 1010, 100, 11}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.largest);
    TPrintHourlyBarChart chart(doc_.get(), values_.get(), kClassVES, 0, 0, 6000, 3500, 1, 0);
    chart.SetCounts({c.largest, 0, 0});
    EXPECT_EQ(chart.ScaleMaximum(), c.maximum);
    EXPECT_EQ(TPrintBarChart::ScaleStep(c.maximum), c.step);
    EXPECT_EQ(TPrintBarChart::ScaleSteps(c.maximum), c.steps);

    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    chart.Draw(dc, info_);
    // One dotted line per inner step: the heights of the short ticks.
    std::vector<int> heights;
    gfx::Point at;
    for (const gfx::DisplayItem& item : dc.Items()) {
      if (const auto* move = std::get_if<gfx::rec::MoveTo>(&item)) at = move->to;
      if (const auto* line = std::get_if<gfx::rec::LineTo>(&item))
        if (line->to.x == at.x && line->to.y - at.y == 10) heights.push_back(at.y);
    }
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    EXPECT_EQ(static_cast<int>(heights.size()), std::max(c.steps - 1, 0));
    for (int k = 1; k < c.steps; ++k) EXPECT_TRUE(HasText(dc, std::to_string(k * c.step))) << k;
  }
}

TEST_F(EventChartTest, MonochromeBarsAreOutlinedOnly) {
  Open(6);
  WholeSpan();
  for (const bool monochrome : {false, true}) {
    SCOPED_TRACE(monochrome);
    SetMonochromePrinting(monochrome);
    TPrintHourlyBarChart chart(doc_.get(), values_.get(), kClassVES, 0, 0, 6000, 3500, 0, 1);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    chart.Draw(dc, info_);
    int filled = 0;
    int hollow = 0;
    gfx::Brush brush;
    for (const gfx::DisplayItem& item : dc.Items()) {
      if (const auto* select = std::get_if<gfx::rec::SelectBrush>(&item)) brush = select->brush;
      if (std::holds_alternative<gfx::rec::Rectangle>(item))
        (brush.style == gfx::BrushStyle::kNull ? hollow : filled) += 1;
    }
    // The frame is hollow either way; 24 bars follow it.
    EXPECT_EQ(filled, monochrome ? 0 : 24);
    EXPECT_EQ(hollow, monochrome ? 25 : 1);
  }
  SetMonochromePrinting(false);
}

TEST_F(EventChartTest, PagePrintsEighteenChartsInThreeGroups) {
  Open(6);
  TPrintEventChart page(0, doc_.get(), values_.get());
  page.SetCommand(TPrintEventChart::kOwnCommand);
  ASSERT_EQ(page.GetPageCount(info_), 1);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  page.PrintPage(dc, info_, 1);
  EXPECT_EQ(doc_->GetPrintSpanLength(), doc_->GetRecordingMinutes());
  for (const char* heading : {"Ventricular arrhythmias", "Supraventricular arrhythmias", "Other findings"})
    EXPECT_TRUE(HasText(dc, heading)) << heading;
  for (int group = 0; group < 3; ++group) {
    for (int i = 0; i < 6; ++i) {
      const int kind = TPrintEventChart::kGroupKinds[static_cast<size_t>(group)][static_cast<size_t>(i)];
      const int left = TPrintEventChart::ChartLeft(i);
      const int top = TPrintEventChart::ChartTop(group, i);
      EXPECT_EQ(TextIn(dc, 0, 0, left + 1000, left + 6000, top), doc_->GetKindName(kind))
          << group << " " << i;
    }
  }
  page.SetCommand(TPrinter::kWholeReportCommand);
  doc_->GetSettings().SetInt(SettingKey::kPrintEventChart, 0);
  EXPECT_EQ(page.GetPageCount(info_), 0);
}

}  // namespace
