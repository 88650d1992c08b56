#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "statistics_fixture.h"
#include "support/screen_golden.h"

namespace statstest {
namespace {

using trendtest::HintSpy;

class StatisticsTable : public StatisticsScreen {};

TEST_F(StatisticsTable, GoldenGridsOfA72HourRecordingForEachDay) {
  Plant(72 * 60, 72);
  Show(17, 1280, 800);
  CStatisticsTableArea* area = Area();
  ASSERT_NE(area, nullptr);
  testsupport::ExpectScreenGolden("trends", "statistics_summary_72h", DumpGrid(*area->GetSummaryGrid()));
  struct Case {
    int command;
    int day;
    const char* name;
  };
  constexpr Case kCases[] = {{33318, 0, "statistics_day0_72h"},
                             {33319, 1, "statistics_day1_72h"},
                             {33320, 2, "statistics_day2_72h"},
                             {33321, 99, "statistics_day99_72h"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Command(c.command);
    EXPECT_EQ(Window()->GetSelectedDay(), c.day);
    std::vector<std::string> lines = {"-- rhythm"};
    for (std::string& line : DumpGrid(*area->GetRhythmGrid())) lines.push_back(std::move(line));
    lines.push_back("-- ventricular");
    for (std::string& line : DumpGrid(*area->GetVentricularGrid())) lines.push_back(std::move(line));
    testsupport::ExpectScreenGolden("trends", c.name, lines);
  }
}

TEST_F(StatisticsTable, ATwentyHourRecordingShowsEmptyHoursOnItsFirstDay) {
  Plant(20 * 60, 20);
  Show(17, 1280, 800);
  const CStatisticsRhythmGrid& rhythm = *Area()->GetRhythmGrid();
  const CStatisticsVentricularGrid& ventricular = *Area()->GetVentricularGrid();
  ASSERT_EQ(rhythm.GetTotalRow(), 26);
  for (int row = 22; row <= 25; ++row) {
    SCOPED_TRACE(row);
    EXPECT_FALSE(rhythm.GetItemText(row, 0).empty());
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(rhythm.GetItemText(row, c), "0") << c;
    for (int c = 5; c <= 15; ++c) {
      if (c != 9) EXPECT_EQ(rhythm.GetItemText(row, c), "-") << c;
    }
    for (int c = 1; c <= 11; ++c) {
      if (c != 8) EXPECT_EQ(ventricular.GetItemText(row, c), "-") << c;
    }
  }
  // The total row holds the day's totals, which here are the recording's.
  TReportValues values(Doc());
  EXPECT_EQ(rhythm.GetItemText(26, 1), values.GetBeatCountText());
  EXPECT_EQ(rhythm.GetItemText(26, 5), values.GetBradycardiaCountText());
  EXPECT_EQ(ventricular.GetItemText(26, 1), values.GetVesCountText());
  EXPECT_EQ(rhythm.GetItemText(26, 2).back(), '*');
}

TEST_F(StatisticsTable, SupraventricularAnalysisOffHidesOnlyTheRecordingTotals) {
  Plant(30 * 60, 30);
  Doc().GetRecordingData().sves_analysis_on = 0;
  Show(17, 1280, 800);
  const CStatisticsSummaryGrid& summary = *Area()->GetSummaryGrid();
  for (int row : {16, 17}) {
    EXPECT_EQ(summary.GetItemText(row, 7), "-") << row;
    EXPECT_EQ(summary.GetItemText(row, 8), "-") << row;
  }
  const CStatisticsRhythmGrid& rhythm = *Area()->GetRhythmGrid();
  // Hour 1 holds supraventricular beats; the day total still counts them.
  EXPECT_NE(rhythm.GetItemText(3, 10), "-");
  EXPECT_NE(rhythm.GetItemText(26, 10), "-");
  Command(CStatisticsWnd::kCmdAllDays);
  const int total = rhythm.GetTotalRow();
  ASSERT_EQ(total, 74);
  EXPECT_NE(rhythm.GetItemText(3, 10), "-");
  for (int c = 10; c <= 15; ++c) EXPECT_EQ(rhythm.GetItemText(total, c), "-") << c;
}

TEST_F(StatisticsTable, WithoutVtTheVtEpisodeRowsShowDashes) {
  Plant(30 * 60, 30, {.with_vt = false});
  Show(17, 1280, 800);
  const CStatisticsSummaryGrid& summary = *Area()->GetSummaryGrid();
  EXPECT_EQ(summary.GetItemText(5, 7), "0");
  for (int row : {6, 7}) {
    for (int column : {7, 9, 10}) EXPECT_EQ(summary.GetItemText(row, column), "-") << row << "," << column;
  }
}

TEST_F(StatisticsTable, SummaryButtonsMoveToTheirEpisodeOrExtreme) {
  Plant(30 * 60, 30);
  Show(17, 1300, 1100);
  CStatisticsSummaryGrid& summary = *Area()->GetSummaryGrid();
  TReportValues values(Doc());
  values.ComputeEpisodes();
  const auto ms = [](int32_t samples) { return static_cast<int32_t>(samples / 125.0 * 1000.0); };
  const auto start = [&](TReportValues::EpisodeStart slot) {
    return ms(values.GetEpisodeStartPosition(slot));
  };
  struct Case {
    int row;
    int column;
    int32_t want_ms;
  };
  const Case cases[] = {
      {12, 1, start(TReportValues::kStartLongestBradycardia)},
      {14, 1, start(TReportValues::kStartLongestTachycardia)},
      {6, 6, start(TReportValues::kStartLongestVt)},
      {7, 6, start(TReportValues::kStartFastestVt)},
      {9, 6, start(TReportValues::kStartLongestVBigeminy)},
      {10, 6, start(TReportValues::kStartFastestVBigeminy)},
      {12, 6, start(TReportValues::kStartLongestVTrigeminy)},
      {13, 6, start(TReportValues::kStartFastestVTrigeminy)},
      {18, 6, start(TReportValues::kStartLongestSvt)},
      {19, 6, start(TReportValues::kStartFastestSvt)},
      {8, 1, ms(Doc().GetHRMinPosition())},
      {10, 1, ms(Doc().GetHRMaxPosition())},
      {21, 1, ms(Doc().GetSinusHRMaxPosition())},
      {23, 1, ms(Doc().GetNNMaxPosition())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
    ASSERT_GT(c.want_ms, 0);
    Doc().SetCurrentPosition(1);
    HintSpy spy;
    Doc().AddView(&spy);
    ClickCell(summary, c.row, c.column);
    Doc().RemoveView(&spy);
    EXPECT_EQ(Doc().GetCurrentPosition(), c.want_ms);
    EXPECT_NE(std::find(spy.hints.begin(), spy.hints.end(), hint::kNavigationRebuild), spy.hints.end());
  }
  // A caption is no button.
  Doc().SetCurrentPosition(1);
  ClickCell(summary, 11, 1);
  EXPECT_EQ(Doc().GetCurrentPosition(), 1);
}

TEST_F(StatisticsTable, GoToButtonsWithoutTheirTargetChangeNothing) {
  Plant(30 * 60, 30, {.with_vt = false});
  Show(17, 1300, 1100);
  Doc().SetCurrentPosition(5000);
  HintSpy spy;
  Doc().AddView(&spy);
  ClickCell(*Area()->GetSummaryGrid(), 6, 6);  // longest VT
  ClickCell(*Area()->GetSummaryGrid(), 7, 6);  // fastest VT
  Doc().RemoveView(&spy);
  EXPECT_EQ(Doc().GetCurrentPosition(), 5000);
  EXPECT_TRUE(spy.hints.empty());
}

TEST_F(StatisticsTable, AnEpisodeStartingAtTheFirstSampleIsFound) {
  Plant(30 * 60, 30, {.bradycardia_at_start = true});
  Show(17, 1300, 1100);
  {
    TReportValues values(Doc());
    values.ComputeEpisodes();
    ASSERT_EQ(values.GetEpisodeStartPosition(TReportValues::kStartLongestBradycardia), 0);
    ASSERT_EQ(values.GetLongestBradycardiaDurationText(), "00:03:00");
  }
  Doc().SetCurrentPosition(777000);
  HintSpy spy;
  Doc().AddView(&spy);
  ClickCell(*Area()->GetSummaryGrid(), 12, 1);
  Doc().RemoveView(&spy);
  EXPECT_EQ(Doc().GetCurrentPosition(), 0);
  EXPECT_EQ(spy.hints, (std::vector<int>{hint::kNavigationRebuild}));
}

TEST_F(StatisticsTable, HeartRateButtonsRecomputeInvalidExtremesFirst) {
  Plant(30 * 60, 30);
  Show(17, 1300, 1100);
  const int32_t minimum = Doc().GetHRMinPosition();
  // Extremes never computed: nothing stored until the button has them recomputed.
  Doc().SetHRMin(0, -1, -1, 0);
  Doc().SetExtremesValid(0);
  Doc().SetCurrentPosition(1);
  ClickCell(*Area()->GetSummaryGrid(), 8, 1);
  EXPECT_NE(Doc().GetExtremesValid(), 0);
  EXPECT_EQ(Doc().GetCurrentPosition(), static_cast<int32_t>(minimum / 125.0 * 1000.0));

  // The rhythm grid's total row is a button only for all days; the command path checks as well.
  CTableTabWnd& tabs = *Area()->GetTabWindow();
  tabs.SelectTabFromUser(1);
  win::Windows().RunPending();
  EXPECT_EQ(Window()->GetCurrentTab(), 1);
  Command(CStatisticsWnd::kCmdAllDays);
  CStatisticsRhythmGrid& rhythm = *Area()->GetRhythmGrid();
  rhythm.EnsureVisible({rhythm.GetTotalRow(), 4});
  const int32_t maximum = Doc().GetHRMaxPosition();
  Doc().SetHRMax(0, -1, -1, 0);
  Doc().SetExtremesValid(0);
  Doc().SetCurrentPosition(1);
  ClickCell(rhythm, rhythm.GetTotalRow(), 4);
  EXPECT_NE(Doc().GetExtremesValid(), 0);
  EXPECT_EQ(Doc().GetCurrentPosition(), static_cast<int32_t>(maximum / 125.0 * 1000.0));
}

// The update rule of a command as the toolbar would ask it.
win::CmdUI Update(win::Window& window, int id) {
  win::CmdUI ui(id);
  win::CommandMessage message;
  message.id = id;
  message.kind = win::CommandMessage::Kind::kUpdate;
  message.ui = &ui;
  window.OnCmdMsg(message);
  return ui;
}

TEST_F(StatisticsTable, DayCommandsFollowTheTabAndTheRecordingLength) {
  struct Case {
    int minutes;
    int tab;
    bool want[4];  // day 1, 2, 3, all enabled
  };
  constexpr Case kCases[] = {
      {1440, 0, {false, false, false, false}}, {1440, 1, {true, false, false, true}},
      {1441, 2, {true, true, false, true}},    {2880, 1, {true, true, false, true}},
      {2881, 1, {true, true, true, true}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.minutes) + " min, tab " + std::to_string(c.tab));
    Plant(c.minutes, 1);
    Show(17, 1280, 800);
    if (c.tab != 0) Area()->GetTabWindow()->SelectTabFromUser(c.tab);
    EXPECT_EQ(Window()->GetCurrentTab(), c.tab);
    for (int i = 0; i < 4; ++i) {
      const win::CmdUI ui = Update(*Window(), CStatisticsWnd::kCmdDay1 + i);
      EXPECT_EQ(ui.Enabled().value_or(false), c.want[i]) << i;
      // Day 1 is chosen; a disabled button reads as set.
      if (c.want[i])
        EXPECT_EQ(ui.Radio().value_or(false), i == 0) << i;
      else
        EXPECT_EQ(ui.Check().value_or(0), 2) << i;
    }
  }
}

TEST_F(StatisticsTable, ALayoutPassReturnsToTheSummaryAndTheFirstDay) {
  Plant(72 * 60, 72);
  Show(17, 1280, 800);
  Area()->GetTabWindow()->SelectTabFromUser(2);
  Command(CStatisticsWnd::kCmdAllDays);
  ASSERT_EQ(Window()->GetSelectedDay(), 99);
  ASSERT_EQ(Area()->GetRhythmGrid()->GetRowCount(), 75);
  view_->MoveWindow({0, 0, 1200, 760});
  win::Windows().RunPending();
  EXPECT_EQ(Window()->GetSelectedDay(), 0);
  EXPECT_EQ(Window()->GetCurrentTab(), 0);
  EXPECT_EQ(Area()->GetTabWindow()->CurrentTab(), 0);
  EXPECT_EQ(Area()->GetRhythmGrid()->GetTotalRow(), 26);
  EXPECT_EQ(Area()->GetVentricularGrid()->GetRowCount(), 27);
  EXPECT_FALSE(Update(*Window(), CStatisticsWnd::kCmdDay1).Enabled().value_or(true));
  // An analysis hint brings the hourly grids back to day 1 whatever the bar shows.
  Area()->GetTabWindow()->SelectTabFromUser(1);
  EXPECT_TRUE(Update(*Window(), CStatisticsWnd::kCmdDay1).Radio().value_or(false));
  Command(CStatisticsWnd::kCmdDay1 + 2);
  ASSERT_EQ(Area()->GetRhythmGrid()->GetItemText(2, 0), Area()->GetRhythmGrid()->GetItemText(2, 9));
  const std::string day3_first_label = Area()->GetRhythmGrid()->GetItemText(2, 0);
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  win::Windows().RunPending();
  EXPECT_NE(Area()->GetRhythmGrid()->GetItemText(2, 0), day3_first_label);
  EXPECT_EQ(Window()->GetSelectedDay(), 2);
}

}  // namespace
}  // namespace statstest
