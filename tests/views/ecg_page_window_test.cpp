#include "views/ecg_page_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/raw_ecg_data.h"
#include "platform/ids.h"
#include "views/page_fixture.h"
#include "views/view_dialogs.h"
#include "win/command_target.h"
#include "win/prompt.h"

namespace {

using pagetest::PageFixture;

// Counts what the page window asks of its dialog; closing its window routes through the owner.
class FakeAutoScroll : public CAutoScrollDialog {
 public:
  FakeAutoScroll(CAutoScrollOwner& owner, int* opened, int* closed) : owner_(owner), closed_(closed) {
    ++*opened;
  }
  bool IsOpen() const override { return open_; }
  void Close() override {
    open_ = false;
    ++*closed_;
  }
  void StartStop() override { ++start_stops; }
  void UserClosesWindow() { owner_.RequestClose(); }

  int start_stops = 0;

 private:
  CAutoScrollOwner& owner_;
  int* closed_;
  bool open_ = true;
};

class PageWindowTest : public PageFixture {
 protected:
  void InstallFakeDialog() {
    SetAutoScrollDialogFactory(
        [this](CZK470Doc&, CAutoScrollOwner& owner) -> std::unique_ptr<CAutoScrollDialog> {
          auto dialog = std::make_unique<FakeAutoScroll>(owner, &opened_, &closed_);
          last_ = dialog.get();
          return dialog;
        });
  }
  win::CmdUI Update(int id) { return win::UpdateCommand(*Window(), id); }
  void Execute(int id) {
    win::ExecuteCommand(*Window(), id);
    win::Windows().RunPending();
  }
  int Setting(SettingKey key) { return Doc().GetSettings().Int(key); }

  int opened_ = 0;
  int closed_ = 0;
  FakeAutoScroll* last_ = nullptr;
};

TEST_F(PageWindowTest, RowsFollowTheChannelModeAndNeedRoomForARowAndItsGap) {
  Show();
  CECGWnd& window = *Window();
  // Speed 2, amplitude 2: 7.5 pixels per mV; two channels make 45-pixel rows, one 27, three 90.
  struct Case {
    const char* name;
    int mode;
    int height;
    int want_rows;
    int want_row_height;
    int want_mode;
  };
  const Case cases[] = {
      {"two channels, one pixel short of a row and its gap", 2, 52, 0, 45, 2},
      {"two channels, one row", 2, 53, 1, 45, 2},
      {"two channels, two rows", 2, 105, 2, 45, 2},
      {"one channel", 0, 105, 3, 27, 0},
      {"all three on a two-channel recording falls back to two", 6, 105, 2, 45, 2},
      {"no such mode keeps the last rows", -1, 105, 2, 45, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().GetSettings().SetInt(SettingKey::kECGViewChannel, 2);
    window.UpdateScale();
    Doc().GetSettings().SetInt(SettingKey::kECGViewChannel, c.mode);
    window.ComputePageRows({0, 10, 500, 10 + c.height});
    ASSERT_EQ(static_cast<int>(window.GetPageRows().size()), c.want_rows);
    EXPECT_EQ(window.RowHeight(), c.want_row_height);
    EXPECT_EQ(Setting(SettingKey::kECGViewChannel), c.want_mode);
    if (c.want_rows == 2) {
      // The second row starts one row and one millivolt down: trunc(45 + 7.5).
      EXPECT_EQ(window.GetPageRows()[1], (gfx::Rect{0, 10 + 52, 500, 10 + 52 + 45}));
    }
  }
  Doc().GetSettings().SetInt(SettingKey::kECGViewChannel, 0);
  window.UpdateScale();
  EXPECT_EQ(document::Context().g_DisplayChannels.count, 1);
  EXPECT_EQ(document::Context().g_DisplayChannels.channels[0], 0);
}

TEST_F(PageWindowTest, RowTimesAreClockTimesWithTheDayOnlyInLongRecordings) {
  Show();
  CECGWnd& window = *Window();
  // The recording starts at 22:30:00.
  Doc().GetRecordingData().start_time.days = 22.5 / 24.0;
  window.ComputeLabelRows({0, 0, 90, 4 * 52 + 10});
  ASSERT_EQ(window.GetLabelRows().size(), 4u);
  Doc().GetViewFields().page_start_ms = 2 * 3'600'000 - 30 * 60'000;  // 00:00:00 on the next day
  Doc().GetViewFields().page_end_ms = Doc().GetViewFields().page_start_ms + 4 * 600'000;

  window.UpdateTexts();
  EXPECT_EQ(window.GetRowTexts(), (std::vector<std::string>{"00:00:00", "00:10:00", "00:20:00", "00:30:00"}));

  // Over a day long: the day counts from the recording's start, not from midnight.
  Doc().GetRawECGData()->SetWholeMinutes(26 * 60);
  Doc().GetViewFields().page_start_ms = 24 * 3'600'000 - 10 * 60'000;
  Doc().GetViewFields().page_end_ms = Doc().GetViewFields().page_start_ms + 4 * 600'000;
  window.UpdateTexts();
  EXPECT_EQ(window.GetRowTexts(), (std::vector<std::string>{"22:20:00 Day 1", "22:30:00 Day 2",
                                                            "22:40:00 Day 2", "22:50:00 Day 2"}));

  // No rows: no texts and no division by zero.
  window.ComputeLabelRows({0, 0, 90, 20});
  window.UpdateTexts();
  EXPECT_TRUE(window.GetRowTexts().empty());
}

TEST_F(PageWindowTest, SpeedAndGainStepTogether) {
  Show();
  struct Case {
    const char* name;
    int speed;
    int amplitude;
    int command;
    bool enabled;
    int want_speed;
    int want_amplitude;
  };
  const Case cases[] = {
      {"faster to the third speed lifts the gain", 1, 0, cmd::kPageFaster, true, 2, 2},
      {"faster at the top speed", 3, 2, cmd::kPageFaster, false, 3, 2},
      {"slower to the second speed drops the gain", 2, 3, cmd::kPageSlower, true, 1, 1},
      {"slower at the bottom", 0, 0, cmd::kPageSlower, false, 0, 0},
      {"fast pages lower the gain only from 3", 2, 2, cmd::kPageSmaller, false, 2, 2},
      {"fast pages lower 3 to 2", 3, 3, cmd::kPageSmaller, true, 3, 2},
      {"slow pages lower 1 to 0", 1, 1, cmd::kPageSmaller, true, 1, 0},
      {"slow pages raise only from 0", 0, 1, cmd::kPageLarger, false, 0, 1},
      {"slow pages raise 0 to 1", 0, 0, cmd::kPageLarger, true, 0, 1},
      {"fast pages raise below 3", 2, 2, cmd::kPageLarger, true, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().GetSettings().SetInt(SettingKey::kResECGSpeed, c.speed);
    Doc().GetSettings().SetInt(SettingKey::kResECGAmplitude, c.amplitude);
    EXPECT_EQ(Update(c.command).Enabled(), std::optional<bool>(c.enabled));
    Execute(c.command);
    EXPECT_EQ(Setting(SettingKey::kResECGSpeed), c.want_speed);
    EXPECT_EQ(Setting(SettingKey::kResECGAmplitude), c.want_amplitude);
  }
  // The page follows the new scale: 6.25 mm/s and 5 mm/mV.
  EXPECT_DOUBLE_EQ(Window()->PixelsPerSecond(), 30 * 6.25 * 0.1);
  EXPECT_DOUBLE_EQ(Window()->PixelsPerMV(), 30 * 5.0 * 0.1);
}

TEST_F(PageWindowTest, AutoScrollFromThePageWithAStripSwitchesToThePageAloneFirst) {
  InstallFakeDialog();
  Doc().SetDisplaySubMode(1);
  Show();
  ASSERT_EQ(view_->GetSelector()->GetCurrentIndex(), 1);
  Execute(cmd::kAutoScroll);

  EXPECT_EQ(Doc().GetDisplaySubMode(), 0);
  EXPECT_EQ(view_->GetSelector()->GetCurrentIndex(), 0);
  EXPECT_EQ(Doc().GetViewFields().auto_scroll_request, 0);
  EXPECT_EQ(opened_, 1);
  ASSERT_TRUE(Window()->IsAutoScrollOn());
  EXPECT_EQ(Update(cmd::kAutoScroll).Check(), std::optional<int>(1));

  // While it pages: paging and the toggle work, the row steps act but show disabled, the rest is off.
  struct Case {
    int id;
    bool enabled;
  };
  for (const Case& c :
       {Case{cmd::kAutoScroll, true}, Case{cmd::kNextRow, false}, Case{cmd::kCentrePage, false},
        Case{cmd::kPageFaster, false}, Case{cmd::kChannels, false}, Case{cmd::kGoToHRMin, false}}) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Update(c.id).Enabled(), std::optional<bool>(c.enabled));
  }
  const int speed = Setting(SettingKey::kResECGSpeed);
  Execute(cmd::kPageSlower);
  EXPECT_EQ(Setting(SettingKey::kResECGSpeed), speed);
  Execute(cmd::kStartStopAutoScroll);
  EXPECT_EQ(last_->start_stops, 1);

  // Closing the dialog's window ends auto-scroll as the toggle does, once its message is over.
  last_->UserClosesWindow();
  EXPECT_TRUE(Window()->IsAutoScrollOn());
  win::Windows().RunPending();
  EXPECT_FALSE(Window()->IsAutoScrollOn());
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(Update(cmd::kAutoScroll).Check(), std::optional<int>(0));

  // On the page alone the toggle opens the dialog at once.
  Execute(cmd::kAutoScroll);
  EXPECT_EQ(opened_, 2);
  EXPECT_TRUE(Window()->IsAutoScrollOn());
}

TEST_F(PageWindowTest, STJumpsOnlyForAnalysedChannels) {
  Show();
  const int32_t analysed[] = {0};
  document::Context().g_AnalysisChannels.Assign(analysed);
  Doc().GetRecordingData().deepest_st_position = {1250, 2500};
  Doc().SetCurrentPosition(0);

  // Channel 2 is not analysed: no ST index, so the command is off and moves nothing.
  EXPECT_EQ(Update(cmd::kGoToST2).Enabled(), std::optional<bool>(false));
  Execute(cmd::kGoToST2);
  EXPECT_EQ(Doc().GetCurrentPosition(), 0);

  EXPECT_EQ(Update(cmd::kGoToST1).Enabled(), std::optional<bool>(true));
  EXPECT_EQ(Update(cmd::kGoToST1).Check(), std::optional<int>(0));
  Execute(cmd::kGoToST1);
  EXPECT_EQ(Doc().GetCurrentPosition(), 10'000);
  EXPECT_EQ(Update(cmd::kGoToST1).Check(), std::optional<int>(1));
}

// The channel choice answers with a fixed code.
class FixedChoice : public CViewDialogs {
 public:
  explicit FixedChoice(int code) : code_(code) {}
  std::unique_ptr<CCaliperReadout> CreateCaliperReadout(CaliperReadoutKind, win::Window*,
                                                        std::span<const int32_t>) override {
    return nullptr;
  }
  std::optional<int> ChooseChannels(win::Window*, int code, int, bool allow_all,
                                    const std::string&) override {
    asked_code = code;
    asked_allow_all = allow_all;
    return code_;
  }
  int asked_code = -1;
  bool asked_allow_all = true;

 private:
  int code_;
};

// An analysis that the user cancels.
class CancelledAnalysis : public document::AnalysisHooks {
 public:
  explicit CancelledAnalysis(int* aborted) : aborted_(aborted) {}
  std::unique_ptr<document::HeartRatePassDetectors> CreatePassDetectors(CZK470Doc&) override {
    return nullptr;
  }
  void RecomputeEvents(CZK470Doc&, int) override {}
  void RemoveBeatFromTemplates(CZK470Doc&, int) override {}
  void DeleteBeat(CZK470Doc&, void*, int32_t, int) override {}
  void DetectSVEvents(CZK470Doc&, int, int) override {}
  void AnalyzeRecording(CZK470Doc&, int) override {
    ++runs;
    *aborted_ = 1;
  }
  int runs = 0;

 private:
  int* aborted_;
};

TEST_F(PageWindowTest, AnAbortedReanalysisOpensTheRecordingAgain) {
  int aborted = 0;
  std::vector<std::string> opened;
  services_.set_analysis_aborted = [&aborted](int value) { aborted = value; };
  services_.is_analysis_aborted = [&aborted] { return aborted; };
  services_.open_document = [&opened](const std::string& path) {
    opened.push_back(path);
    return true;
  };
  SetECGPageServices(services_);
  CancelledAnalysis analysis(&aborted);
  Doc().SetAnalysisHooks(&analysis);
  FixedChoice choice(5);  // channels 1 and 3
  SetViewDialogs(&choice);
  win::ScriptedPrompt prompt;
  win::ScopedPrompt scoped(prompt);
  const std::string path = Doc().GetPathName();
  ASSERT_FALSE(path.empty());
  Show();

  Execute(cmd::kAnalysedChannels);
  SetViewDialogs(nullptr);
  Doc().SetAnalysisHooks(nullptr);

  EXPECT_EQ(choice.asked_code, 2);  // channels 1 and 2 before
  EXPECT_FALSE(choice.asked_allow_all);
  const document::DocumentContext& context = document::Context();
  ASSERT_EQ(context.g_AnalysisChannels.count, 2);
  EXPECT_EQ(context.g_AnalysisChannels.channels[1], 2);
  EXPECT_EQ(context.g_STChannels.channels[1], 2);
  EXPECT_EQ(analysis.runs, 1);
  EXPECT_EQ(aborted, 0);
  EXPECT_EQ(opened, std::vector<std::string>{path});
  EXPECT_TRUE(Doc().GetPathName().empty());
  // Asked to confirm, then told of the cancelled analysis.
  ASSERT_GE(prompt.Log().size(), 2u);
  EXPECT_EQ(prompt.Log()[0].style, win::kMbYesNo | win::kMbIconQuestion);
  bool told = false;
  for (const auto& asked : prompt.Log()) told = told || asked.style == win::kMbIconExclamation;
  EXPECT_TRUE(told);
}

}  // namespace
