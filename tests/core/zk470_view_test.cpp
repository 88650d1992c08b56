// The main view in the running program: which screen each display mode shows, how commands find
// the windows of a screen first, the one-time trimming of toolbar and menu, the screen and span
// commands and closing a recording.
#include "core/zk470_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app_fixture.h"
#include "core/main_frame.h"
#include "core/main_toolbars.h"
#include "core/view_services.h"
#include "core/zk470_view_fixture.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "support/test_recordings.h"
#include "views/layout_tree.h"
#include "win/command_target.h"

namespace coretest {
namespace {

using ViewTest = ZK470ViewTest;

TEST_F(ViewTest, EachDisplayModeShowsItsLayoutAndEveryUpdateReachesTheAreas) {
  struct Case {
    const char* name;
    int mode;
    int sub_mode;
    int channels;
    bool large_templates;
    int hint;
    int want;  // kKept: the layout before stays
  };
  constexpr int kKept = -1;
  constexpr Case kCases[] = {
      {"no recording", 0, 0, 2, false, 1005, 5},
      {"navigation with strip", 1, 1, 2, false, 1005, 0},
      {"navigation with trend", 1, 2, 2, false, 1005, 2},
      {"navigation, sub-mode 0", 1, 0, 2, false, 1005, 2},
      {"ECG page alone", 2, 0, 2, false, 1005, 11},
      {"ECG page with strip", 2, 1, 2, false, 1005, 1},
      {"ECG page with trend", 2, 2, 2, false, 1005, 3},
      {"ECG page, unknown sub-mode", 2, 3, 2, false, 1005, kKept},
      {"mode 3", 3, 0, 2, false, 1005, 5},
      {"bar graphs", 4, 0, 2, false, 1005, 4},
      {"online, 2 channels", 5, 0, 2, false, 1005, 6},
      {"online, 3 channels", 5, 0, 3, false, 1005, 19},
      {"ST trend", 6, 0, 2, false, 1005, 7},
      {"template browser", 7, 0, 2, false, 1005, 8},
      {"large template browser", 7, 0, 2, true, 1005, 10},
      {"beat page by 1101", 8, 0, 2, false, 1101, 9},
      {"beat page, other hint", 8, 0, 2, false, 1005, kKept},
      {"samples", 9, 0, 2, false, 1005, 12},
      {"HRV 10", 10, 0, 2, false, 1005, 13},
      {"HRV 11", 11, 0, 2, false, 1005, 14},
      {"HRV 12", 12, 0, 2, false, 1005, 15},
      {"pacemaker by 13", 13, 0, 2, false, 13, 16},
      {"pacemaker, other hint", 13, 0, 2, false, 1005, kKept},
      {"statistics", 14, 0, 2, false, 1005, 17},
      {"PDF", 15, 0, 2, false, 1005, 18},
      {"mode 16", 16, 0, 2, false, 1005, 20},
      {"heart-rate navigator", 17, 0, 2, false, 1005, 21},
      {"below 0", -1, 0, 2, false, 1005, kKept},
      {"above 17", 18, 0, 2, false, 1005, kKept},
  };
  // The screen shown before each row; it also carries an area that records the hints.
  constexpr int kBefore = 4;
  std::vector<int> hints;
  AddRecordingNode(kBefore, &hints);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(View().GetSelector()->Select(kBefore));
    hints.clear();
    Doc().SetDisplayMode(static_cast<DisplayMode>(c.mode));
    Doc().SetDisplaySubMode(static_cast<int16_t>(c.sub_mode));
    Doc().SetChannelCount(c.channels);
    Doc().SetLargeTemplateViewFlag(c.large_templates);
    Doc().UpdateAllViews(nullptr, c.hint);
    EXPECT_EQ(Layout(), c.want == kKept ? kBefore : c.want);
    // A kept screen still passes the update to its areas.
    if (c.want == kKept) {
      EXPECT_EQ(hints, std::vector<int>{c.hint});
    }
  }
}

TEST_F(ViewTest, MinimisingLaysNothingOutAndRestoringLaysOutWithTheNewSize) {
  std::vector<int> hints;
  RecordingNode::Log log;
  AddRecordingNode(4, &hints, &log);
  ASSERT_TRUE(View().GetSelector()->Select(4));
  const size_t layouts = log.layouts.size();
  View().SendMessage(win::kWmSize, win::kSizeMinimized, 0);
  EXPECT_EQ(log.layouts.size(), layouts);
  View().SendMessage(win::kWmSize, win::kSizeRestored, win::MakeLParam(600, 400));
  // The recording node sits in the far corner: it follows the new size exactly.
  ASSERT_EQ(log.layouts.size(), layouts + 1);
  EXPECT_EQ(log.layouts.back(), (gfx::Rect{590, 390, 600, 400}));
}

TEST_F(ViewTest, ACommandThatAHostedWindowHandlesNeverReachesTheViewsHandler) {
  int window_closes = 0;
  AddHostingNode(4, cmd::kFileClose, &window_closes);
  ASSERT_TRUE(View().GetSelector()->Select(4));
  Doc().SetDisplayMode(DisplayMode::kHourlyBarGraphs);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kFileClose));
  EXPECT_EQ(window_closes, 1);
  // The view's close would have reset the document to the start screen.
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kHourlyBarGraphs);
  EXPECT_EQ(Layout(), 4);
  // A command the window does not know still reaches the view.
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kNavigation));
  EXPECT_EQ(Layout(), 0);
  EXPECT_EQ(window_closes, 1);
}

// The trimming happens at the first sizing, so each row starts the program anew.
class TrimmingTest : public AppTest {};

TEST_F(TrimmingTest, NarrowScreensAndAMissingGdtLinkTrimTheMainToolbarFromTheFirstSizing) {
  struct Case {
    const char* name;
    int screen_width;
    int gdt_on;
    bool pages_hidden;
    bool gdt_hidden;
  };
  constexpr Case kCases[] = {
      {"wide screen, GDT on", 1280, 1, false, false},
      {"narrow screen, GDT on", 999, 1, true, false},
      {"wide screen, GDT off", 1000, 0, false, true},
      {"narrow screen, GDT off", 800, 0, true, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    app_.reset();
    ResetProcessState();
    win::Windows().SetScreenSize({c.screen_width, 768});
    profile_.WriteInt("GDT", "On", c.gdt_on);
    ASSERT_TRUE(Start({}));
    auto* view = dynamic_cast<CZK470View*>(Frame().GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->AreMenusPruned());
    CMainToolBar& bar = *Frame().GetMainToolBar();
    win::ToolBarModel& buttons = bar.Model();
    for (const int id : {cmd::kNextPage, cmd::kPreviousPage, cmd::kSendRecording}) {
      ASSERT_NE(buttons.Find(id), nullptr) << id;
      EXPECT_EQ(buttons.Find(id)->hidden, c.pages_hidden) << id;
    }
    for (const int id : {cmd::kGDTTakePatient, cmd::kGDTSendResult}) {
      ASSERT_NE(buttons.Find(id), nullptr) << id;
      EXPECT_EQ(buttons.Find(id)->hidden, c.gdt_hidden) << id;
    }
    // The separator before the GDT buttons goes with them; the bar fits what is left.
    EXPECT_EQ(buttons.Count(), c.gdt_hidden ? 15u : 16u);
    EXPECT_EQ(buttons.At(4).id, c.gdt_hidden ? cmd::kGDTTakePatient : 0);
    EXPECT_EQ(bar.GetWindowRectInParent().Width(), bar.NeededWidth());
    EXPECT_EQ(Frame().GetTimeSpanToolBar()->GetWindowRectInParent().left, bar.GetWindowRectInParent().right);
    // Without the user-id flag the menu has no user-id sheet.
    ASSERT_NE(Frame().GetMenu(), nullptr);
    EXPECT_EQ(Frame().GetMenu()->FindItem(cmd::kUserId), nullptr);
    EXPECT_NE(Frame().GetMenu()->FindItem(cmd::kReadTape), nullptr);
  }
}

TEST_F(ViewTest, SpanCommandsMoveByTheirStepAndStopAtTheEnds) {
  Doc().GetRawECGData()->SetWholeMinutes(1500);
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  CTimeSpanToolBar::FillSpans(1500);

  // 24 h: length 1440, step 1380; from minute 100 one step back reaches the start.
  ChooseSpan(1);
  Doc().SetSpanStartMinute(100);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPreviousSpan));
  EXPECT_EQ(Doc().GetSpanStartMinute(), 0);
  EXPECT_EQ(Doc().GetSpanStartMs(), 0);
  EXPECT_EQ(Doc().GetSpanEndMs(), 1440 * 60000);

  // 12 h: length 720, step 660; the second step is cut to the 120 minutes that remain.
  ChooseSpan(2);
  EXPECT_EQ(Doc().GetSpanLength(), 720);
  EXPECT_EQ(Doc().GetSpanStep(), 660);
  EXPECT_EQ(Doc().GetSpanStartMinute(), 0);
  int moves = 0;
  SpyHints(hint::kSpanMoved, &moves);
  for (const int want : {660, 780}) {
    EXPECT_TRUE(Enabled(cmd::kNextSpan));
    EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kNextSpan));
    EXPECT_EQ(Doc().GetSpanStartMinute(), want);
    EXPECT_EQ(Doc().GetSpanEndMs(), (want + 720) * 60000);
  }
  EXPECT_EQ(moves, 2);
  EXPECT_FALSE(Enabled(cmd::kNextSpan));
  EXPECT_FALSE(Enabled(cmd::kLastSpan));
  (void)win::ExecuteCommand(Frame(), cmd::kNextSpan);
  (void)win::ExecuteCommand(Frame(), cmd::kLastSpan);
  EXPECT_EQ(Doc().GetSpanStartMinute(), 780);
  EXPECT_EQ(moves, 2);
  EXPECT_TRUE(Enabled(cmd::kFirstSpan));
  EXPECT_TRUE(Enabled(cmd::kPreviousSpan));

  // "All": the whole recording, no step, and none of the four moves.
  ChooseSpan(0);
  EXPECT_EQ(Doc().GetSpanLength(), 1500);
  EXPECT_EQ(Doc().GetSpanStep(), 0);
  Doc().SetSpanStartMinute(100);
  for (const int id : {cmd::kFirstSpan, cmd::kPreviousSpan, cmd::kNextSpan, cmd::kLastSpan}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
}

TEST_F(ViewTest, PaneTogglesSwitchBetweenTheEcgPageLayouts) {
  Doc().SetDisplayMode(DisplayMode::kEcgPage);
  Doc().SetDisplaySubMode(2);
  Doc().SetLowerPaneFlag(true);
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  ASSERT_EQ(Layout(), 3);
  EXPECT_EQ(win::UpdateCommand(Frame(), cmd::kTrendBelow).Check(), 1);

  struct Step {
    int command;
    int layout;
    int sub_mode;
    bool lower_pane;
  };
  constexpr Step kSteps[] = {
      {cmd::kTrendBelow, 11, 0, false},  // the trend goes
      {cmd::kTrendBelow, 3, 2, true},    // and comes back
      {cmd::kStripBelow, 1, 1, true},    // the strip takes its place
      {cmd::kStripBelow, 11, 0, false},
  };
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.command);
    EXPECT_TRUE(win::ExecuteCommand(Frame(), step.command));
    EXPECT_EQ(Layout(), step.layout);
    EXPECT_EQ(Doc().GetDisplaySubMode(), step.sub_mode);
    EXPECT_EQ(Doc().GetLowerPaneFlag(), step.lower_pane);
  }

  // Navigation switches only from the trend to the strip.
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  Doc().SetDisplaySubMode(1);
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  ASSERT_EQ(Layout(), 0);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kStripBelow));
  EXPECT_EQ(Layout(), 0);
  EXPECT_EQ(Doc().GetDisplaySubMode(), 1);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kTrendBelow));
  EXPECT_EQ(Layout(), 2);
  EXPECT_EQ(Doc().GetDisplaySubMode(), 2);
}

TEST_F(ViewTest, HeartRateVariabilityFollowsItsSubMode) {
  struct Case {
    int hrv_sub_mode;
    int layout;
    int mode;  // -1: unchanged
  };
  constexpr Case kCases[] = {{0, 13, 10}, {1, 14, 11}, {2, 15, 12}, {7, 13, -1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.hrv_sub_mode);
    Doc().SetDisplayMode(DisplayMode::kNavigation);
    Doc().SetHRVSubMode(static_cast<int16_t>(c.hrv_sub_mode));
    EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kHeartRateVariability));
    EXPECT_EQ(Layout(), c.layout);
    EXPECT_EQ(static_cast<int>(Doc().GetDisplayMode()), c.mode == -1 ? 1 : c.mode);
  }
}

TEST_F(ViewTest, ScreenCommandsFollowTheUsualRuleAndMarkTheirScreen) {
  struct Command {
    int id;
    int checked_mode;  // -1: no check mark
    int also_checked;  // a second mode with the mark, -1 none
  };
  constexpr Command kCommands[] = {
      {cmd::kNavigation, 1, -1},          {cmd::kChannelView, 2, -1},
      {cmd::kHourlyBarGraphs, 4, -1},     {cmd::kSTTrend, 6, -1},
      {cmd::kTemplateBrowser, 7, 8},      {cmd::kSampleWindows, 9, -1},
      {cmd::kPacemakerTemplates, 13, -1}, {cmd::kStatistics, 14, -1},
      {cmd::kHeartRateNavigator, 17, -1}, {cmd::kPrintEnvelopes, -1, -1},
  };
  for (int mode = 0; mode <= 17; ++mode) {
    Doc().SetDisplayMode(static_cast<DisplayMode>(mode));
    const bool usual = mode != 0 && mode != 5 && mode != 15;
    for (const Command& command : kCommands) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", command " << command.id);
      const win::CmdUI ui = win::UpdateCommand(Frame(), command.id);
      EXPECT_EQ(ui.Enabled(), usual);
      if (command.checked_mode >= 0) {
        EXPECT_EQ(ui.Check(), mode == command.checked_mode || mode == command.also_checked ? 1 : 0);
      }
    }
    EXPECT_EQ(win::UpdateCommand(Frame(), cmd::kHeartRateVariability).Check(),
              mode >= 10 && mode <= 12 ? 1 : 0);
    // The pane toggles only where a pane can be below.
    const bool pane = mode == 1 || mode == 2 || mode == 3 || mode == 16;
    EXPECT_EQ(win::UpdateCommand(Frame(), cmd::kTrendBelow).Enabled(), pane) << mode;
    // Closing needs a recording that is not online.
    EXPECT_EQ(win::UpdateCommand(Frame(), cmd::kFileClose).Enabled(), mode != 0 && mode != 5) << mode;
  }
}

TEST_F(ViewTest, CommandsOfTheProgramsServicesAreEnabled) {
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  Doc().GetSettings().SetInt(SettingKey::kGDTOn, 1);
  // The validation statistics, the archive copies and the GDT link are installed with the program.
  for (const int id : {cmd::kAnnotationStatisticAHA, cmd::kAnnotationStatisticMIT, cmd::kSTStatistic,
                       cmd::kArchiveCopy, cmd::kArchiveCopyAll, cmd::kGDTSendResult, cmd::kGDTTakePatient})
    EXPECT_TRUE(Enabled(id)) << id;
  // Mail goes through the desktop's mail program whenever there is one.
  EXPECT_EQ(Enabled(cmd::kSend), IsMailProgramAvailable());
  // The printing engine is installed with the program.
  for (const int id : {cmd::kPrintWholeReport, cmd::kPrintOptions, cmd::kFilePrintPreview})
    EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(ViewTest, CloseAsksTheSaveQuestionFirstAndCancelChangesNothing) {
  const std::filesystem::path qrs =
      MakeSyntheticRecording(Folder("data") / "00011", 2, {"Ina", "Roth", "11"});
  ASSERT_TRUE(app_->OpenChosenFile(qrs.string()));
  Pump();
  ASSERT_EQ(Doc().GetDisplayMode(), DisplayMode::kNavigation);
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  const int layout = Layout();
  const std::string path = Doc().GetPathName();
  Doc().SetModifiedFlag(true);
  int resets = 0;
  SpyHints(hint::kDocumentChanged, &resets);

  prompt_.ClearLog();
  prompt_.QueueAnswer(win::kIdCancel);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kFileClose));
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_TRUE(prompt_.Log()[0].text.starts_with("Save changes")) << prompt_.Log()[0].text;
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kNavigation);
  EXPECT_EQ(Layout(), layout);
  EXPECT_EQ(Doc().GetPathName(), path);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(resets, 0);

  // No: the edits go, without a second question.
  prompt_.ClearLog();
  prompt_.QueueAnswer(win::kIdNo);
  prompt_.QueueAnswer(win::kIdNo);  // a finalize question, should the recording ask one
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kFileClose));
  int save_questions = 0;
  for (const auto& asked : prompt_.Log()) save_questions += asked.text.starts_with("Save changes") ? 1 : 0;
  EXPECT_EQ(save_questions, 1);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kNone);
  EXPECT_EQ(Layout(), 5);
  EXPECT_TRUE(Doc().GetPathName().empty());
  EXPECT_EQ(resets, 1);
}

}  // namespace
}  // namespace coretest
