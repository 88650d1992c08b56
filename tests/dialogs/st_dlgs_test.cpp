#include "dialogs/st_dlgs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "views/strip_recording.h"
#include "win/messages.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

constexpr int kRate = CZK470Doc::kDefaultSampleRate;

TSTPoint Point(int32_t position, int32_t rate, double level, double slope) {
  TSTPoint p;
  p.position = position;
  p.heart_rate = rate;
  p.level = level;
  p.slope = slope;
  return p;
}

TSTDetail Episode(int32_t onset, int32_t deepest, int32_t end) {
  TSTDetail e;
  e.points = {Point(onset, 71, -1.04, 0.25), Point(deepest, 88, -2.96, -1.0), Point(end, 74, -0.5, 0.0)};
  return e;
}

class STDlgsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    context_ = std::make_unique<ContextGuard>();
    AddSTDialogResources(platform::Resources().ExePack());
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, doc_profile_, clock_);
    doc_->GetRecordingData().start_time.days = 0.375;  // 09:00:00
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    context_.reset();
    WinTest::TearDown();
  }

  std::unique_ptr<TSTEpisodeDlg> OpenEpisodeDialog(CZK470Doc& doc) {
    auto dialog = std::make_unique<TSTEpisodeDlg>(&main_, &doc, &profile_, &locale_);
    EXPECT_TRUE(dialog->Open(&main_));
    return dialog;
  }
  static std::vector<std::string> Row(TSTEpisodeDlg& dialog, int row) {
    std::vector<std::string> texts;
    for (int c = 0; c < 5; ++c) texts.push_back(dialog.Grid().GetItemText(row, c));
    return texts;
  }
  static bool Checked(win::Window& dialog, int id) {
    auto* button = dynamic_cast<win::Button*>(dialog.GetDlgItem(id));
    return button != nullptr && button->GetCheck() == win::kBstChecked;
  }
  static void Click(win::Window& dialog, int id) {
    auto* button = dynamic_cast<win::Button*>(dialog.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->Click();
  }

  std::unique_ptr<ContextGuard> context_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  platform::MemoryProfileStore doc_profile_;
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST(STEpisodeFormat, DurationIsHoursMinutesSecondsOfTwoDigits) {
  struct Case {
    int32_t seconds;
    const char* want;
  };
  const Case cases[] = {{0, "00:00:00"},    {1, "00:00:01"},     {59, "00:00:59"},
                        {3725, "01:02:05"}, {86399, "23:59:59"}, {360000, "100:00:00"}};
  for (const Case& c : cases) EXPECT_EQ(TSTEpisodeDlg::FormatDuration(c.seconds), c.want) << c.seconds;
}

// Which episode of the selected ST channel holds a position, and how its rows read.
TEST_F(STDlgsTest, TableShowsTheEpisodeHoldingThePosition) {
  TRecordingData& record = doc_->GetRecordingData();
  record.st_episodes[0].Add(Episode(10 * kRate, 20 * kRate, 40 * kRate));
  record.st_episodes[0].Add(Episode(3725 * kRate, 3725 * kRate, 3725 * kRate));  // onset = end
  record.st_episodes[0].Add(Episode(4000 * kRate, 4100 * kRate, (4000 + 3725) * kRate));
  record.st_episodes[1].Add(Episode(100 * kRate, 110 * kRate, 120 * kRate));
  auto dialog = OpenEpisodeDialog(*doc_);
  const std::vector<std::string> headers_only[] = {
      {" ", " Time", " ST level", " ST slope", " HR"},
      {" Onset", " ", " ", " ", " "},
  };
  struct Case {
    const char* name;
    int32_t ms;
    int want_episode;
    const char* want_onset_time;
    const char* want_duration;
  };
  const Case cases[] = {
      {"at the onset", 10000, 0, "09:00:10", "00:00:30"},
      {"at the end", 40000, 0, "09:00:10", "00:00:30"},
      // 3725 s at 125 Hz rounds half upward onto the sample of the equal onset and end.
      {"equal ends last a second", 3725000, 1, "10:02:05", "00:00:01"},
      {"long episode", 5000000, 2, "10:06:40", "01:02:05"},
      {"between episodes", 41000, -1, nullptr, nullptr},
      {"an episode of the other channel only", 110000, -1, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialog->ShowEpisodeAt(c.ms);
    EXPECT_EQ(dialog->ShownEpisode(), c.want_episode);
    EXPECT_EQ(Row(*dialog, 0), headers_only[0]);
    if (c.want_episode < 0) {
      EXPECT_EQ(Row(*dialog, 1), headers_only[1]);
      for (int r = 2; r < 5; ++r) EXPECT_EQ(dialog->Grid().GetItemText(r, 1), " ");
      continue;
    }
    EXPECT_EQ(dialog->Grid().GetItemText(1, 1), std::string(" ") + c.want_onset_time);
    EXPECT_EQ(Row(*dialog, 4), (std::vector<std::string>{" Duration", std::string(" ") + c.want_duration,
                                                         "   ---", "   ---", "   ---"}));
  }
  dialog->ShowEpisodeAt(10000);
  EXPECT_EQ(Row(*dialog, 2), (std::vector<std::string>{" Deepest", " 09:00:20", " -3.0", " -1.0", " 88"}));
  // -1 leaves the table as it is.
  dialog->ShowEpisodeAt(-1);
  EXPECT_EQ(dialog->ShownEpisode(), 0);
}

TEST_F(STDlgsTest, ChannelRadiosFollowTheSTSwitches) {
  struct Case {
    const char* name;
    int switch0;
    bool want_first_enabled;
    int want_selected;
  };
  const Case cases[] = {
      {"both analysed", 1, true, 0},
      {"channel 0 off", 0, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kSTTrendOn0, c.switch0);
    auto dialog = OpenEpisodeDialog(*doc_);
    EXPECT_EQ(dialog->SelectedChannel(), c.want_selected);
    EXPECT_EQ(dialog->GetDlgItem(TSTEpisodeDlg::kChannel0Id)->IsWindowEnabled(), c.want_first_enabled);
    EXPECT_TRUE(dialog->GetDlgItem(TSTEpisodeDlg::kChannel1Id)->IsWindowEnabled());
    EXPECT_EQ(Checked(*dialog, TSTEpisodeDlg::kChannel0Id), c.want_selected == 0);
    EXPECT_EQ(Checked(*dialog, TSTEpisodeDlg::kChannel1Id), c.want_selected == 1);
  }
}

// The radios switch the table to the other ST channel at a third of the strip; the first showing
// waits for the timer.
TEST_F(STDlgsTest, TimerAndRadiosShowTheEpisodeAtTheStrip) {
  doc_->GetRecordingData().st_episodes[1].Add(Episode(100 * kRate, 110 * kRate, 120 * kRate));
  doc_->SetStripStartMs(100000);
  doc_->SetStripEndMs(130000);  // a third: 110 s
  auto dialog = OpenEpisodeDialog(*doc_);
  EXPECT_EQ(dialog->ShownEpisode(), -1);
  clock_.Advance(999);
  win::Windows().FireDueTimers();
  EXPECT_EQ(dialog->Grid().GetItemText(1, 1), " ");
  clock_.Advance(1);
  win::Windows().FireDueTimers();
  EXPECT_EQ(win::Windows().TimerCount(), 0u);
  EXPECT_EQ(dialog->ShownEpisode(), -1);  // channel index 0 has none
  Click(*dialog, TSTEpisodeDlg::kChannel1Id);
  EXPECT_EQ(dialog->ShownEpisode(), 0);
  EXPECT_TRUE(Checked(*dialog, TSTEpisodeDlg::kChannel1Id));
  EXPECT_FALSE(Checked(*dialog, TSTEpisodeDlg::kChannel0Id));
  EXPECT_EQ(dialog->Grid().GetItemText(3, 1), " 09:02:00");
  Click(*dialog, TSTEpisodeDlg::kChannel0Id);
  EXPECT_EQ(dialog->ShownEpisode(), -1);
  // Enter and Esc leave it open.
  win::Windows().PressKey(win::kVkEscape);
  win::Windows().PressKey(win::kVkReturn);
  EXPECT_TRUE(dialog->IsWindowVisible());
}

TEST_F(STDlgsTest, TheTableFollowsTheStripTheSTTrendPassesOn) {
  doc_->GetRecordingData().st_episodes[0].Add(Episode(100 * kRate, 110 * kRate, 120 * kRate));
  doc_->GetRecordingData().st_episodes[0].Add(Episode(200 * kRate, 205 * kRate, 230 * kRate));
  auto dialog = OpenEpisodeDialog(*doc_);
  struct Case {
    const char* name;
    int32_t third_ms;  // what the ST trend sends: a third into the rebuilt strip
    int want;
    const char* onset;
  };
  const Case cases[] = {
      {"inside the first episode", 110000, 0, " 09:01:40"},
      {"between the episodes", 150000, -1, " "},
      {"inside the second episode", 229000, 1, " 09:03:20"},
      {"no time", -1, 1, " 09:03:20"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialog->SendMessage(win::kWmUser, 0, c.third_ms);
    EXPECT_EQ(dialog->ShownEpisode(), c.want);
    EXPECT_EQ(dialog->Grid().GetItemText(1, 1), c.onset);
  }
}

TEST_F(STDlgsTest, PlacementComesFromTheProfileWhenOnTheDesktop) {
  struct Case {
    const char* name;
    gfx::Rect saved;  // all 0: nothing saved
    bool want_saved;
  };
  const Case cases[] = {
      {"nothing saved", {0, 0, 0, 0}, false},
      {"on the desktop", {200, 100, 560, 220}, true},
      {"at the desktop's edges", {0, 0, 1600, 1000}, true},
      {"partly right of it", {1400, 100, 1760, 220}, false},
      {"partly above it", {200, -20, 560, 100}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    profile_.WriteInt("ST-Trend\\Episode", "Left", c.saved.left);
    profile_.WriteInt("ST-Trend\\Episode", "Top", c.saved.top);
    profile_.WriteInt("ST-Trend\\Episode", "Right", c.saved.right);
    profile_.WriteInt("ST-Trend\\Episode", "Bottom", c.saved.bottom);
    auto dialog = OpenEpisodeDialog(*doc_);
    const gfx::Rect rect = dialog->GetWindowRect();
    if (c.want_saved) {
      EXPECT_EQ(rect, c.saved);
    } else {
      EXPECT_EQ(rect.right, 1000 - 15);
      EXPECT_EQ(rect.bottom, 800 - 35);
    }
    // Closing keeps where it was.
    const gfx::Rect shown = rect;
    dialog->DestroyWindow();
    EXPECT_EQ(profile_.GetInt("ST-Trend\\Episode", "Left"), shown.left);
    EXPECT_EQ(profile_.GetInt("ST-Trend\\Episode", "Bottom"), shown.bottom);
  }
}

// The jump buttons move the current position, within the whole minutes of the samples.
TEST_F(STDlgsTest, JumpButtonsMoveTheCurrentPosition) {
  viewstest::StripRecording recording(2);
  CZK470Doc& doc = recording.Doc();
  const double rate = doc.GetSampleRate();
  const int32_t minutes = doc.GetRecordingMinutes();
  ASSERT_GT(minutes, 0);
  const auto last_sample = static_cast<int32_t>(minutes * 60 * rate);
  const auto deepest = static_cast<int32_t>(20.5 * rate);
  doc.GetRecordingData().st_episodes[0].Add(Episode(static_cast<int32_t>(10 * rate), deepest, last_sample));
  auto dialog = OpenEpisodeDialog(doc);
  dialog->ShowEpisodeAt(15000);
  ASSERT_EQ(dialog->ShownEpisode(), 0);
  struct Case {
    int button;
    int32_t want_ms;
  };
  const Case cases[] = {
      {TSTEpisodeDlg::kOnsetId, 10000},
      {TSTEpisodeDlg::kDeepestId, static_cast<int32_t>(deepest / rate * 1000.0)},  // truncated
      {TSTEpisodeDlg::kEndId, minutes * 60000 - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    doc.SetCurrentPosition(1, 1);
    Click(*dialog, c.button);
    EXPECT_EQ(doc.GetCurrentPosition(), c.want_ms);
    EXPECT_EQ(doc.GetPositionFlag(), 0);
  }
  doc.SetCurrentPosition(1, 1);
  Click(*dialog, TSTEpisodeDlg::kDurationId);
  EXPECT_EQ(doc.GetCurrentPosition(), 1);
}

TEST_F(STDlgsTest, ValuesDialogLabelsTheSTChannels) {
  document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{0, 2});
  document::Context().g_STChannels.Assign(std::vector<int32_t>{0, 2});
  struct Case {
    const char* name;
    int switch2;
    bool want_second_enabled;
  };
  const Case cases[] = {{"both on", 1, true}, {"recorder channel 3 off", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kSTTrendOn2, c.switch2);
    TSTValuesDlg dialog(&main_, doc_.get());
    ASSERT_TRUE(dialog.IsWindow());
    EXPECT_EQ(dialog.GetDlgItemText(TSTValuesDlg::kLevel0LabelId), "Level1");
    EXPECT_EQ(dialog.GetDlgItemText(TSTValuesDlg::kSlope1LabelId), "Slope3");
    for (const int id : {TSTValuesDlg::kLevel1LabelId, TSTValuesDlg::kSlope1LabelId, TSTValuesDlg::kLevel1Id,
                         TSTValuesDlg::kSlope1Id})
      EXPECT_EQ(dialog.GetDlgItem(id)->IsWindowEnabled(), c.want_second_enabled) << id;
    EXPECT_TRUE(dialog.GetDlgItem(TSTValuesDlg::kSlope0Id)->IsWindowEnabled());
    dialog.level1 = "-1.5";
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.GetDlgItemText(TSTValuesDlg::kLevel1Id), "-1.5");
    EXPECT_EQ(dialog.GetDlgItemText(TSTValuesDlg::kLevel0Id), "");
  }
}

// Only the analysed recorder channels can be changed, a limit only while its switch is on.
TEST_F(STDlgsTest, OptionsPageEnablesTheAnalysedChannels) {
  struct Case {
    const char* name;
    std::vector<int32_t> analysed;
    std::array<int, 3> switches;
    std::array<bool, 6> want_enabled;  // switch 1, limit 1, switch 2, limit 2, switch 3, limit 3
  };
  const std::vector<Case> cases = {
      {"channel 2 only, on", {1}, {1, 1, 1}, {false, false, true, true, false, false}},
      {"channel 2 only, off", {1}, {1, 0, 1}, {false, false, true, false, false, false}},
      {"channels 1 and 3", {0, 2}, {0, 1, 1}, {true, false, false, false, true, true}},
      {"none analysed: the limits follow the switches", {}, {1, 0, 1}, {true, true, true, false, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    document::Context().g_AnalysisChannels.Assign(c.analysed);
    for (int i = 0; i < 3; ++i) {
      doc_->GetSettings().SetInt(i == 0   ? SettingKey::kSTTrendOn0
                                 : i == 1 ? SettingKey::kSTTrendOn1
                                          : SettingKey::kSTTrendOn2,
                                 c.switches[static_cast<size_t>(i)]);
    }
    TSTOptionsDlg page(*doc_);
    win::PropertySheet sheet("Analysis settings", &main_);
    sheet.AddPage(page);
    DriveModal({[&](win::Window*) {
      for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(page.GetDlgItem(TSTOptionsDlg::kSwitchIds[i])->IsWindowEnabled(), c.want_enabled[2 * i])
            << i;
        EXPECT_EQ(page.GetDlgItem(TSTOptionsDlg::kLimitIds[i])->IsWindowEnabled(), c.want_enabled[2 * i + 1])
            << i;
        EXPECT_EQ(Checked(page, TSTOptionsDlg::kSwitchIds[i]), c.switches[i] == 1);
      }
      win::Windows().PressKey(win::kVkEscape);
    }});
    EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
  }
}

// A switch click greys or frees its limit, and OK carries the seven values back.
TEST_F(STDlgsTest, OptionsPageStoresItsValues) {
  document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{1});
  doc_->GetSettings().SetInt(SettingKey::kSTPoint, 3);
  doc_->GetSettings().SetInt(SettingKey::kSTLimit1, 2);
  TSTOptionsDlg page(*doc_);
  EXPECT_EQ(page.st_point, 3);
  win::PropertySheet sheet("Analysis settings", &main_);
  sheet.AddPage(page);
  DriveModal({[&](win::Window*) {
    auto* point = page.Item<win::ComboBox>(TSTOptionsDlg::kPointId);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetCurSel(), 3);
    EXPECT_EQ(point->GetLBText(9), "100 ms");
    EXPECT_EQ(page.Item<win::ComboBox>(TSTOptionsDlg::kLimitIds[1])->GetLBText(2), "2.0");
    Click(page, TSTOptionsDlg::kSwitchIds[1]);
    EXPECT_FALSE(page.GetDlgItem(TSTOptionsDlg::kLimitIds[1])->IsWindowEnabled());
    Click(page, TSTOptionsDlg::kSwitchIds[1]);
    EXPECT_TRUE(page.GetDlgItem(TSTOptionsDlg::kLimitIds[1])->IsWindowEnabled());
    page.Item<win::ComboBox>(TSTOptionsDlg::kLimitIds[1])->SelectFromUser(4);
    Click(page, TSTOptionsDlg::kSwitchIds[1]);
    point->SelectFromUser(9);
    win::Windows().PressKey(win::kVkReturn);
  }});
  ASSERT_EQ(sheet.DoModal(), win::kIdOk);
  EXPECT_EQ(page.st_point, 9);
  EXPECT_EQ(page.switches[1], 0);
  EXPECT_EQ(page.limits[1], 4);
  page.StoreSettings(doc_->GetSettings());
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kSTPoint), 9);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kSTTrendOn1), 0);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kSTLimit1), 4);
}

TEST_F(STDlgsTest, GoldenDisplayLists) {
  doc_->GetRecordingData().st_episodes[0].Add(Episode(10 * kRate, 20 * kRate, 40 * kRate));
  {
    auto dialog = OpenEpisodeDialog(*doc_);
    dialog->ShowEpisodeAt(15000);
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("dialogs", "st_episode_dlg", testsupport::RecordedScreen(*dialog));
  }
  {
    TSTValuesDlg dialog(&main_, doc_.get());
    dialog.level0 = "-1.2";
    dialog.slope0 = "0.4";
    dialog.UpdateData(false);
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("dialogs", "st_values_dlg", testsupport::RecordedScreen(dialog));
  }
  TSTOptionsDlg page(*doc_);
  win::PropertySheet sheet("Analysis settings", &main_);
  sheet.AddPage(page);
  DriveModal({[&](win::Window* modal) {
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("dialogs", "st_options_page", testsupport::RecordedScreen(*modal));
    win::Windows().PressKey(win::kVkEscape);
  }});
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
}

TEST_F(STDlgsTest, GermanTextsComeFromTheGermanPack) {
  platform::ResourcePack german("ZK470Ger");
  AddSTDialogResources(german);
  win::AddWindowSystemResources(german);
  platform::Resources().SetLanguagePack(&german);
  auto dialog = OpenEpisodeDialog(*doc_);
  EXPECT_EQ(dialog->GetWindowText(), "ST-Episode");
  EXPECT_EQ(dialog->Grid().GetItemText(4, 0), " Dauer");
  EXPECT_EQ(dialog->GetDlgItemText(TSTEpisodeDlg::kEndId), "Ende");
  dialog.reset();
  platform::Resources().SetLanguagePack(nullptr);
}

}  // namespace
