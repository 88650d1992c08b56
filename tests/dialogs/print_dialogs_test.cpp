#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/monitor_log.h"
#include "dialogs/monitor_record_dlg.h"
#include "dialogs/narrative_test_data_dlg.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/optiontree/option_tree_radio.h"
#include "dialogs/print_option_pages.h"
#include "document/context_guard.h"
#include "document/document_context.h"
#include "document/raw_ecg_data.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "reports/print_composer.h"
#include "support/screen_golden.h"
#include "win/controls.h"
#include "win/messages.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

constexpr platform::StringEntry kTitleStrings[] = {
    {TPrintOptionPages::kFullDisclosureTitleId, "Full disclosure:"}};

win::Button* ButtonOf(win::Window& dialog, int id) {
  return dynamic_cast<win::Button*>(dialog.GetDlgItem(id));
}

void Click(win::Window& dialog, int id) {
  win::Button* button = ButtonOf(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  button->Click();
}

// The half hours whose boxes can be chosen.
std::set<int> EnabledHalfHours(win::Window& page) {
  std::set<int> enabled;
  for (int i = 0; i < TPrintFullDlg::kHalfHours; ++i) {
    win::Window* box = page.GetDlgItem(TPrintFullDlg::kFirstHalfHourId + i);
    if (box != nullptr && box->IsWindowEnabled()) enabled.insert(i);
  }
  return enabled;
}

std::set<int> Range(int first, int last, int step = 1) {
  std::set<int> values;
  for (int i = first; i <= last; i += step) values.insert(i);
  return values;
}

class PrintDialogsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    context_ = std::make_unique<ContextGuard>();
    platform::ResourcePack& pack = platform::Resources().ExePack();
    AddPrintOptionPageResources(pack);
    AddMonitorRecordDlgResources(pack);
    AddNarrativeTestDataResources(pack);
    pack.AddStrings(kTitleStrings);
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, doc_profile_, clock_);
    doc_->GetRecordingData().start_time.days = 0.375 + 15.0 / 1440;  // 09:15
    document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{0, 2});
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    context_.reset();
    WinTest::TearDown();
  }

  void SetMinutes(int minutes) { doc_->GetRawECGData()->SetWholeMinutes(minutes); }

  // Runs a sheet of the given pages, first showing `active`, runs check on the modal sheet and
  // ends it with button.
  int RunSheet(const std::vector<win::PropertyPage*>& pages, int active,
               const std::function<void(win::PropertySheet&)>& check, int button = win::kIdOk) {
    win::PropertySheet sheet("Print options", &main_);
    sheet.SetApplyButton(false);
    for (win::PropertyPage* page : pages) sheet.AddPage(*page);
    sheet.SetActivePage(active);
    DriveModal({[&](win::Window*) {
      win::Windows().RunPending();
      check(sheet);
      sheet.PressButton(button);
    }});
    return sheet.DoModal();
  }

  std::unique_ptr<ContextGuard> context_;
  win::Window main_;
  platform::MemoryProfileStore doc_profile_;
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc_;
};

// --- Full disclosure ---

TEST_F(PrintDialogsTest, HalfHoursCanBeChosenWhereTheDayHasECG) {
  struct Case {
    const char* name;
    int minutes;
    int day;
    int mode;
    int channels;
    std::set<int> want;
  };
  const Case kCases[] = {
      {"10 hours, both channels", 600, -1, 1, 2, Range(0, 19)},
      {"10 hours, first channel: full hours only", 600, -1, 1, 0, Range(0, 18, 2)},
      {"10 hours, second channel: full hours only", 600, -1, 1, 1, Range(0, 18, 2)},
      {"second day of 30 hours", 1800, 1, 1, 2, Range(0, 11)},
      {"first day of 30 hours", 1800, 0, 1, 2, Range(0, 47)},
      {"third day of 50 hours", 3000, 2, 1, 2, Range(0, 3)},
      {"every half hour printed", 600, -1, 0, 2, {}},
      {"10 hours and a minute", 601, -1, 1, 2, Range(0, 20)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetMinutes(c.minutes);
    doc_->GetRecordingData().fd_day_switches = {c.mode, c.mode, c.mode};
    doc_->GetSettings().SetInt(SettingKey::kFullDisclosureChannels, c.channels);
    TPrintFullDlg page(*doc_, c.day, &locale_);
    RunSheet({&page}, 0, [&](win::PropertySheet&) { EXPECT_EQ(EnabledHalfHours(page), c.want); });
  }
}

TEST_F(PrintDialogsTest, ModeButtonsAndChannelListSwitchTheHalfHours) {
  SetMinutes(600);
  doc_->GetRecordingData().fd_day_switches = {0, 0, 0};
  doc_->GetSettings().SetInt(SettingKey::kFullDisclosureChannels, 2);
  TPrintFullDlg page(*doc_, -1, &locale_);
  RunSheet({&page}, 0, [&](win::PropertySheet&) {
    EXPECT_EQ(EnabledHalfHours(page), std::set<int>{});
    Click(page, TPrintFullDlg::kChosenId);
    EXPECT_EQ(EnabledHalfHours(page), Range(0, 19));
    // A channel change applies whatever the mode is.
    Click(page, TPrintFullDlg::kAllId);
    EXPECT_EQ(EnabledHalfHours(page), std::set<int>{});
    page.Item<win::ComboBox>(TPrintFullDlg::kChannelsId)->SelectFromUser(0);
    EXPECT_EQ(EnabledHalfHours(page), Range(0, 18, 2));
    Click(page, TPrintFullDlg::kChosenId);
    Click(page, TPrintFullDlg::kFirstHalfHourId + 4);
  });
  EXPECT_EQ(page.mode, 1);
  EXPECT_EQ(page.channels, 0);
  EXPECT_EQ(page.half_hours[4], 1);
  page.StoreValues(*doc_);
  EXPECT_EQ(doc_->GetRecordingData().fd_day_switches[0], 1);
  EXPECT_EQ(doc_->GetRecordingData().fd_half_hours[0][4], 1);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kFullDisclosureChannels), 0);
}

TEST_F(PrintDialogsTest, HalfHourTextsAreClockTimesFromTheStart) {
  SetMinutes(600);
  const platform::FixedLocale twelve{platform::FixedLocale::Kind::k12Hour};
  struct Case {
    const platform::Locale* locale;
    int index;
    const char* want;
  };
  const Case kCases[] = {
      {&locale_, 0, "09:15"},   {&locale_, 1, "09:45"},   {&locale_, 29, "23:45"},  {&locale_, 30, "00:15"},
      {&twelve, 0, "09:15 AM"}, {&twelve, 6, "12:15 PM"}, {&twelve, 8, "01:15 PM"}, {&twelve, 30, "12:15 AM"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.want);
    TPrintFullDlg page(*doc_, -1, c.locale);
    RunSheet({&page}, 0, [&](win::PropertySheet&) {
      EXPECT_EQ(page.GetDlgItem(TPrintFullDlg::kFirstHalfHourId + c.index)->GetWindowText(), c.want);
    });
  }
}

TEST_F(PrintDialogsTest, OneFullDisclosurePagePerRecordingDay) {
  struct Case {
    int minutes;
    std::vector<std::string> titles;
  };
  const Case kCases[] = {
      {600, {"Full disclosure"}},
      {1440, {"Full disclosure"}},
      {1800, {"Full disclosure Day 1", "Full disclosure Day 2"}},
      {2881, {"Full disclosure Day 1", "Full disclosure Day 2", "Full disclosure Day 3"}},
      {4320, {"Full disclosure Day 1", "Full disclosure Day 2", "Full disclosure Day 3"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.minutes);
    SetMinutes(c.minutes);
    TPrintOptionPages pages(*doc_);
    std::vector<std::string> titles;
    for (win::PropertyPage* page : pages.FullDisclosurePages()) titles.push_back(page->Caption());
    EXPECT_EQ(titles, c.titles);
    for (size_t i = 0; i < titles.size(); ++i)
      EXPECT_EQ(pages.FullDisclosure(i).Day(), titles.size() == 1 ? -1 : static_cast<int>(i));
  }
}

TEST_F(PrintDialogsTest, LaterDaysChooseNeitherAmplitudeNorChannels) {
  SetMinutes(1800);
  TPrintFullDlg first(*doc_, 0, &locale_);
  TPrintFullDlg second(*doc_, 1, &locale_);
  RunSheet({&first, &second}, 1, [&](win::PropertySheet& sheet) {
    for (const int id : {TPrintFullDlg::kAmplitudeId, TPrintFullDlg::kChannelsId,
                         TPrintFullDlg::kAmplitudeLabelId, TPrintFullDlg::kChannelsLabelId}) {
      EXPECT_FALSE(second.GetDlgItem(id)->IsWindowVisible()) << id;
      EXPECT_FALSE(second.GetDlgItem(id)->IsWindowEnabled()) << id;
    }
    EXPECT_EQ(second.GetDlgItem(TPrintFullDlg::kAllId)->GetWindowText(), "Print the &whole day  Day 2");
    ASSERT_TRUE(sheet.SetActivePage(0));
    EXPECT_TRUE(first.GetDlgItem(TPrintFullDlg::kChannelsId)->IsWindowVisible());
    EXPECT_EQ(first.Item<win::ComboBox>(TPrintFullDlg::kChannelsId)->GetLBText(2), "Channel 1+3");
    first.Item<win::ComboBox>(TPrintFullDlg::kAmplitudeId)->SelectFromUser(2);
  });
  doc_->GetSettings().SetInt(SettingKey::kFullDisclosureAmplitude, 1);
  second.amplitude = 0;
  second.StoreValues(*doc_);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kFullDisclosureAmplitude), 1)
      << "only the first day's page stores";
  first.StoreValues(*doc_);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kFullDisclosureAmplitude), 2);
}

// --- Samples and report contents ---

TEST_F(PrintDialogsTest, AutomaticAmplitudeLocksTheAmplitudeList) {
  for (const int automatic : {0, 1}) {
    SCOPED_TRACE(automatic);
    doc_->GetSettings().SetInt(SettingKey::kSamplesAutoAmplitude, automatic);
    TPrintSamplesDlg page(*doc_);
    RunSheet({&page}, 0, [&](win::PropertySheet&) {
      win::Window* amplitude = page.GetDlgItem(TPrintSamplesDlg::kAmplitudeId);
      EXPECT_EQ(amplitude->IsWindowEnabled(), automatic == 0);
      Click(page, TPrintSamplesDlg::kAutoAmplitudeId);
      EXPECT_EQ(amplitude->IsWindowEnabled(), automatic == 1);
      Click(page, TPrintSamplesDlg::kAutoAmplitudeId);
      EXPECT_EQ(amplitude->IsWindowEnabled(), automatic == 0);
      EXPECT_EQ(page.Item<win::ComboBox>(TPrintSamplesDlg::kSpeedId)->GetLBText(1), "25 mm/s");
    });
    EXPECT_EQ(page.auto_amplitude, automatic);
  }
}

TEST_F(PrintDialogsTest, AllAndNoneLeaveTheGridBoxAlone) {
  struct Case {
    int button;
    int no_grid;
    int want_parts;
  };
  const Case kCases[] = {{TPrintUserDlg::kAllId, 0, 1},
                         {TPrintUserDlg::kAllId, 1, 1},
                         {TPrintUserDlg::kNoneId, 0, 0},
                         {TPrintUserDlg::kNoneId, 1, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.button << " grid " << c.no_grid);
    std::array<int, TPrintUserDlg::kFlagCount> flags{};
    for (size_t i = 0; i < flags.size(); ++i) flags[i] = static_cast<int>(i % 2);
    flags.back() = c.no_grid;
    TPrintUserDlg page(flags);
    RunSheet({&page}, 0, [&](win::PropertySheet&) { Click(page, c.button); });
    for (size_t i = 0; i + 1 < flags.size(); ++i) EXPECT_EQ(page.flags[i], c.want_parts) << i;
    EXPECT_EQ(page.flags.back(), c.no_grid);
  }
}

// --- The sheet's pages together ---

TEST_F(PrintDialogsTest, OkStoresEveryPageAndUnopenedPagesKeepTheirValues) {
  SetMinutes(1800);
  SettingsStore& settings = doc_->GetSettings();
  settings.SetInt(SettingKey::kPrintTemplatesSVES, 0);
  settings.SetInt(SettingKey::kSamplesSpeed, 0);
  doc_->GetRecordingData().fd_half_hours[1][3] = 1;
  InstallPrintOptionPages();
  std::unique_ptr<PrintOptionPages> made = GetPrintOptionPagesFactory()(*doc_);
  InstallPrintOptionPagesFactory(nullptr);
  auto* pages = dynamic_cast<TPrintOptionPages*>(made.get());
  ASSERT_NE(pages, nullptr);
  std::vector<win::PropertyPage*> order = {&pages->TemplatesPage(), &pages->SamplesPage()};
  for (win::PropertyPage* day : pages->FullDisclosurePages()) order.push_back(day);
  order.push_back(&pages->UserPage());
  ASSERT_EQ(order.size(), 5u);
  RunSheet(order, 4, [&](win::PropertySheet& sheet) {
    Click(pages->User(), TPrintUserDlg::kNoneId);
    ASSERT_TRUE(sheet.SetActivePage(1));
    Click(pages->Samples(), TPrintSamplesDlg::kEventIds[16]);  // R on T off
    pages->Samples().Item<win::ComboBox>(TPrintSamplesDlg::kSpeedId)->SelectFromUser(1);
    ASSERT_TRUE(sheet.SetActivePage(2));
    Click(pages->FullDisclosure(0), TPrintFullDlg::kFirstHalfHourId);
  });
  pages->StoreValues();
  EXPECT_EQ(settings.Int(SettingKey::kPrintLetter), 0);
  EXPECT_EQ(settings.Int(SettingKey::kPrintHRV), 0);
  EXPECT_EQ(settings.Int(SettingKey::kSamplesRonT), 0);
  EXPECT_EQ(settings.Int(SettingKey::kSamplesSpeed), 1);
  EXPECT_EQ(settings.Int(SettingKey::kSamplesVES), 1);
  EXPECT_EQ(settings.Int(SettingKey::kPrintTemplatesSVES), 0) << "the templates page was never opened";
  EXPECT_EQ(settings.Int(SettingKey::kPrintTemplatesVES), 1);
  EXPECT_EQ(doc_->GetRecordingData().fd_half_hours[0][0], 1);
  EXPECT_EQ(doc_->GetRecordingData().fd_half_hours[1][3], 1) << "the second day's page was never opened";
}

TEST_F(PrintDialogsTest, AChangedFullDisclosureChoiceMarksTheRecordingModified) {
  struct Case {
    const char* name;
    int mode_before;
    int click;  // 0: none
    bool modified;
  };
  const Case cases[] = {
      {"whole day chosen", 1, TPrintFullDlg::kAllId, true},
      {"a half hour chosen", 1, TPrintFullDlg::kFirstHalfHourId + 2, true},
      {"chosen half hours switched on", 0, TPrintFullDlg::kChosenId, true},
      {"nothing changed", 1, 0, false},
  };
  SetMinutes(600);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetRecordingData().fd_day_switches = {c.mode_before, 0, 0};
    doc_->GetRecordingData().fd_half_hours[0].fill(0);
    doc_->SetModifiedFlag(false);
    TPrintOptionPages pages(*doc_, &locale_);
    ASSERT_EQ(pages.FullDisclosurePages().size(), 1u);
    RunSheet({&pages.FullDisclosure(0)}, 0, [&](win::PropertySheet&) {
      if (c.click != 0) Click(pages.FullDisclosure(0), c.click);
    });
    pages.StoreValues();
    EXPECT_EQ(doc_->IsModified(), c.modified);
  }
}

TEST_F(PrintDialogsTest, CancelStoresNothing) {
  SetMinutes(600);
  TPrintOptionPages pages(*doc_);
  const int result = RunSheet(
      {&pages.TemplatesPage(), &pages.UserPage()}, 1,
      [&](win::PropertySheet&) { Click(pages.User(), TPrintUserDlg::kNoneId); }, win::kIdCancel);
  EXPECT_EQ(result, win::kIdCancel);
  EXPECT_EQ(pages.User().flags[0], 1);
}

TEST_F(PrintDialogsTest, GoldenPages) {
  SetMinutes(1800);
  TPrintOptionPages pages(*doc_, &locale_);
  const std::vector<std::pair<win::PropertyPage*, const char*>> kPages = {
      {&pages.TemplatesPage(), "print_templates_page"},
      {&pages.SamplesPage(), "print_samples_page"},
      {&pages.FullDisclosure(0), "print_full_page_day1"},
      {&pages.FullDisclosure(1), "print_full_page_day2"},
      {&pages.UserPage(), "print_user_page"},
  };
  for (const auto& [page, name] : kPages) {
    RunSheet(
        {page}, 0,
        [&, name = name](win::PropertySheet& sheet) {
          win::Windows().RunPending();
          testsupport::ExpectScreenGolden("dialogs", name, testsupport::RecordedScreen(sheet));
        },
        win::kIdCancel);
  }
}

// --- Monitor record ---

class MonitorRecordTest : public PrintDialogsTest {
 protected:
  void SetUp() override {
    PrintDialogsTest::SetUp();
    dir_ = std::filesystem::temp_directory_path() /
           ("zk470_monitor_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    PrintDialogsTest::TearDown();
  }

  std::vector<std::string> Show(TMonitorLog* log, int record) {
    TMonitorRecordDlg dialog(&main_, log, record);
    std::vector<std::string> shown;
    DriveModal({[&](win::Window*) {
      for (const int id : TMonitorRecordDlg::kFieldIds)
        shown.push_back(dialog.GetDlgItem(id)->GetWindowText());
      dialog.EndDialog(win::kIdOk);
    }});
    EXPECT_EQ(dialog.DoModal(), win::kIdOk);
    return shown;
  }

  std::filesystem::path dir_;
};

TEST_F(MonitorRecordTest, FieldsShowTheRecordsValues) {
  TMonitorRecord first;
  TMonitorRecord second;
  second.first = {1, -2, 3, 4, 5, 6, 7, 32767};
  second.value_a = -2;
  second.value_b = 32767;
  second.value_c = 0.05;
  second.second = {12, 13, 14, 15, 16, 17, 18, 19};
  second.last = -32768;
  {
    TMonitorLog log(dir_ / "rec.QRS", true);
    log.AddRecord(first);
    log.AddRecord(second);
  }
  TMonitorLog log(dir_ / "rec.QRS", false);
  ASSERT_TRUE(log.IsOpen());
  const std::vector<std::string> want = {"1",     "-2",  "3",      "4",      "5",  "6",     "7",
                                         "32767", "-10", "163835", ".05000", "12", "13",    "14",
                                         "15",    "16",  "17",     "18",     "19", "-32768"};
  EXPECT_EQ(Show(&log, 1), want);

  TMonitorLog missing(dir_ / "none.QRS", false);
  ASSERT_FALSE(missing.IsOpen());
  const std::vector<std::string> zeros = Show(&missing, 0);
  for (size_t i = 0; i < zeros.size(); ++i) EXPECT_EQ(zeros[i], i == 10 ? ".00000" : "0") << i;
}

TEST(MonitorRecordFormat, FiveDecimalsWithoutLeadingZero) {
  struct Case {
    double value;
    const char* want;
  };
  const Case kCases[] = {
      {1.5, "1.50000"},        {0.5, ".50000"},   {0.05, ".05000"},      {0, ".00000"},
      {12.345678, "12.34568"}, {-0.5, "-.50000"}, {-0.000001, ".00000"}, {99999.999999, "100000.00000"}};
  for (const Case& c : kCases) EXPECT_EQ(TMonitorRecordDlg::FormatDecimal(c.value), c.want) << c.value;
}

// --- Narrative test data ---

class NarrativeTestDataTest : public PrintDialogsTest {
 protected:
  static TNarrativeTestData Sample() {
    TNarrativeTestData r;
    r.channel_count = 2;
    r.language = 1;
    r.office_address = "Praxis\r\nHauptstr. 1";
    r.first_name = "Anna";
    r.birth_date = {0, 25000.0};  // 11 June 1968
    r.sex = 1;
    r.height = "172.6";
    r.weight = "kg";
    r.age = "56";
    r.pacemaker = 1;
    r.height_unit = "inches";
    r.weight_unit = "stone";
    r.recording_date = {0, 45356.0};              // 5 March 2024
    r.recording_time = {0, 0.375 + 30.0 / 1440};  // 09:30
    r.address_position = 2;
    r.length_minutes = 1440;
    r.pause_limit = 5;
    r.longest_pause_s = 2.25;
    r.ves_max_hour = 7;
    r.sves_max_hour = 9;
    r.deviation_limit = 7;
    r.st1_limit = 4;
    r.st2_limit = 0;
    r.st2_max_level = 1.5;
    r.diagnosis_text = "ok";
    return r;
  }

  // Opens the dialog on the record, runs step on it, then presses button.
  int Run(TNarrativeTestDataDlg& dialog, const std::function<void()>& step, int button) {
    DriveModal({[&](win::Window*) {
      step();
      Click(dialog, button);
    }});
    return dialog.DoModal();
  }

  static dialogs::COptionTreeEditItem& Edit(TNarrativeTestDataDlg& dialog, int r) {
    return *dynamic_cast<dialogs::COptionTreeEditItem*>(dialog.RowItem(r));
  }
};

TEST_F(NarrativeTestDataTest, RowsShowTheRecordAndReadBackAsTheTableSays) {
  struct Case {
    int row;  // 0-based, record order
    const char* label;
    const char* shown;
  };
  const Case kCases[] = {
      {0, "Anzahl Analyse Kanäle", "2"},
      {1, "Sprache", "Deutsch"},
      {2, "Office address", "Praxis\r\nHauptstr. 1"},
      {3, "Patient Vorname", "Anna"},
      {7, "Patient DOB", "Tue, Jun 11, 1968"},
      {8, "Patient Geschlecht", "Frau"},
      {9, "Patient Groesse", "172"},
      {10, "Patient Gewicht", "0"},
      {12, "Patient Pacemaker", "Checked"},
      {13, "Patient Groesse Einheit", "inches"},
      {14, "Patient Gewicht Einheit", ""},
      {15, "Recording Date", "Tue, Mar 5, 2024"},
      {16, "Recording Time", "09:30 AM"},
      {17, "Patient Letter", "UnChecked"},
      {24, "Address Position", "American block"},
      {26, "Length of Recording", "1440"},
      {36, "Pause value", " > 3.5 sec."},
      {39, "Duration of longest Pause", "2.250"},
      {70, "Deviation", " > 50 %%"},
      {80, "Ch1 ST Level Limit", " > 3.0 mm"},
      {81, "Ch2 ST Level Limit", " > 1.0 mm"},
      {87, "Ch2 Level of Max ST", "1.500"},
      {91, "Diagnosis", "ok"},
  };
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record = Sample();
  Run(
      dialog,
      [&] {
        for (const Case& c : kCases) {
          SCOPED_TRACE(c.label);
          EXPECT_STREQ(TNarrativeTestDataDlg::RowLabel(c.row), c.label);
          EXPECT_EQ(dialog.RowText(c.row), c.shown);
        }
      },
      TNarrativeTestDataDlg::kGenerateId);
  EXPECT_EQ(dialog.Result(), 1);
  // What the rows read back: the same record, but for the texts kept as typed and the unit rows.
  TNarrativeTestData want = Sample();
  want.height = "172";
  want.weight = "0";
  want.weight_unit = "lbs";  // no choice matched: any index but 0 is the second unit
  EXPECT_EQ(dialog.record.height, want.height);
  EXPECT_EQ(dialog.record.weight, want.weight);
  EXPECT_EQ(dialog.record.height_unit, "inches");
  EXPECT_EQ(dialog.record.weight_unit, "lbs");
  EXPECT_EQ(dialog.record.channel_count, 2);
  EXPECT_EQ(dialog.record.language, 1);
  EXPECT_EQ(dialog.record.office_address, want.office_address);
  EXPECT_EQ(dialog.record.birth_date, want.birth_date);
  EXPECT_EQ(dialog.record.recording_date, want.recording_date);
  EXPECT_NEAR(dialog.record.recording_time.days, want.recording_time.days, 1e-9);
  EXPECT_EQ(dialog.record.address_position, 2);
  EXPECT_EQ(dialog.record.pause_limit, 5);
  EXPECT_DOUBLE_EQ(dialog.record.longest_pause_s, 2.25);
  EXPECT_EQ(dialog.record.ves_max_hour, 7);
  EXPECT_EQ(dialog.record.sves_max_hour, 9);
  EXPECT_EQ(dialog.record.st1_limit, 4);
  EXPECT_DOUBLE_EQ(dialog.record.st2_max_level, 1.5);
  EXPECT_EQ(dialog.record.pacemaker, 1);
  EXPECT_EQ(dialog.record.diagnosis_text, "ok");
}

TEST_F(NarrativeTestDataTest, RowsWithoutANumberStoreTheirDefault) {
  struct Case {
    int row;
    double want;
  };
  // Every integer and decimal row, by its default.
  const Case kCases[] = {
      {26, 1}, {27, 1}, {29, 1},   {31, 1},    {33, 1},    {35, 0},      {37, 0},      {38, 1}, {39, 1.5},
      {41, 0}, {42, 1}, {43, 1.6}, {44, 0},    {45, 1},    {46, 1.7},    {48, 0},      {49, 1}, {50, 1},
      {51, 0}, {52, 0}, {53, 0},   {54, 1},    {55, 1.8},  {56, 1},      {59, 0},      {60, 1}, {61, 1},
      {62, 0}, {63, 0}, {64, 0},   {65, 1},    {66, 1.9},  {67, 1},      {71, 0},      {72, 1}, {73, 1},
      {74, 1}, {78, 0}, {79, 0},   {84, 1000}, {85, 1000}, {86, 1000.0}, {87, 1000.0},
  };
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record = Sample();
  Run(
      dialog,
      [&] {
        for (const Case& c : kCases)
          Edit(dialog, c.row).GetEdit().SetWindowText(c.row % 2 == 0 ? "" : "Default");
      },
      TNarrativeTestDataDlg::kGenerateId);
  const TNarrativeTestData& r = dialog.record;
  const double read[] = {
      double(r.length_minutes),
      double(r.beat_count),
      double(r.min_hr_time_s),
      double(r.max_hr_time_s),
      double(r.artefact_count),
      double(r.marker_count),
      double(r.pause_count),
      double(r.longest_pause_time_s),
      r.longest_pause_s,
      double(r.tachy_count),
      double(r.longest_tachy_time_s),
      r.longest_tachy_s,
      double(r.brady_count),
      double(r.longest_brady_time_s),
      r.longest_brady_s,
      double(r.ves_count),
      double(r.ves_max_per_hour),
      double(r.ves_max_hour),
      double(r.v_couplets),
      double(r.v_triplets),
      double(r.v_tachys),
      double(r.longest_vtach_time_s),
      r.longest_vtach_s,
      double(r.longest_vtach_hr),
      double(r.sves_count),
      double(r.sves_max_per_hour),
      double(r.sves_max_hour),
      double(r.sv_couplets),
      double(r.sv_triplets),
      double(r.sv_tachys),
      double(r.longest_svtach_time_s),
      r.longest_svtach_s,
      double(r.longest_svtach_hr),
      double(r.arrhythmia_count),
      double(r.arrhythmia_max_per_hour),
      double(r.arrhythmia_max_hour),
      double(r.longest_arrhythmia_s),
      double(r.st1_hours),
      double(r.st2_hours),
      double(r.st1_max_time_s),
      double(r.st2_max_time_s),
      r.st1_max_level,
      r.st2_max_level,
  };
  ASSERT_EQ(std::size(read), std::size(kCases));
  for (size_t i = 0; i < std::size(kCases); ++i)
    EXPECT_DOUBLE_EQ(read[i], kCases[i].want) << TNarrativeTestDataDlg::RowLabel(kCases[i].row);
}

TEST_F(NarrativeTestDataTest, EditedRowsAndEmptyChoicesReadBack) {
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record = Sample();
  Run(
      dialog,
      [&] {
        Edit(dialog, 39).GetEdit().SetWindowText("1,5");  // a decimal comma reads as a point
        Edit(dialog, 43).GetEdit().SetWindowText("2.75");
        Edit(dialog, 50).GetEdit().SetWindowText("3");  // VES and SVES hours are apart
        Edit(dialog, 61).GetEdit().SetWindowText("12");
        Edit(dialog, 11).GetEdit().SetWindowText("abc");  // kept as typed
        for (const int r : {0, 1, 36, 80})
          dynamic_cast<dialogs::COptionTreeRadioItem*>(dialog.RowItem(r))->UncheckAll();
        dynamic_cast<dialogs::COptionTreeCheckItem*>(dialog.RowItem(12))->SetCheck(0);
      },
      TNarrativeTestDataDlg::kGenerateId);
  const TNarrativeTestData& r = dialog.record;
  EXPECT_DOUBLE_EQ(r.longest_pause_s, 1.5);
  EXPECT_DOUBLE_EQ(r.longest_tachy_s, 2.75);
  EXPECT_EQ(r.ves_max_hour, 3);
  EXPECT_EQ(r.sves_max_hour, 12);
  EXPECT_EQ(r.age, "abc");
  EXPECT_EQ(r.channel_count, 0);
  EXPECT_EQ(r.language, -1);
  EXPECT_EQ(r.pause_limit, -1);
  EXPECT_EQ(r.st1_limit, -1);
  EXPECT_EQ(r.pacemaker, 0);
}

TEST_F(NarrativeTestDataTest, CancelLeavesTheRecordAsItWas) {
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record = Sample();
  EXPECT_EQ(
      Run(
          dialog, [&] { Edit(dialog, 26).GetEdit().SetWindowText(""); }, TNarrativeTestDataDlg::kCancelId),
      2);
  EXPECT_EQ(dialog.record.length_minutes, 1440);
}

TEST_F(NarrativeTestDataTest, TreeSpansTheDialogAboveTheButtons) {
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record = Sample();
  Run(
      dialog,
      [&] {
        dialogs::COptionTree& tree = dialog.Tree();
        EXPECT_EQ(tree.GetOptions() & TNarrativeTestDataDlg::kTreeOptions,
                  TNarrativeTestDataDlg::kTreeOptions);
        const int band = dialog.GetDlgItem(TNarrativeTestDataDlg::kFrameId)->GetWindowRect().Height() + 20;
        EXPECT_EQ(tree.GetClientRect().Height(), dialog.GetClientRect().Height() - band);
        // The channel rows stand under their channel, in the order analysed, limit, hours, found, time,
        // level.
        dialogs::COptionTreeItem* channel = dialog.RowItem(76)->GetParentItem();
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->GetLabelText(), "Channel 1");
        EXPECT_EQ(channel->GetParentItem()->GetLabelText(), "ST-Episodes");
        std::vector<std::string> labels;
        for (dialogs::COptionTreeItem* item = channel->GetChild(); item != nullptr; item = item->GetSibling())
          labels.push_back(item->GetLabelText());
        EXPECT_EQ(labels, (std::vector<std::string>{"Ch1 analyzed", "Ch1 ST Level Limit",
                                                    "Ch1  Hours with ST-Episodes", "Ch1 Max ST found",
                                                    "Ch1 Time of Max ST", "Ch1 Level of Max ST"}));
        dialog.SendMessage(win::kWmSize, 0, win::MakeLParam(500, 400));
        EXPECT_EQ(tree.GetClientRect().Width(), 500);
        EXPECT_EQ(tree.GetClientRect().Height(), 400 - band);
      },
      TNarrativeTestDataDlg::kCancelId);
}

TEST_F(NarrativeTestDataTest, GoldenDialog) {
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record = Sample();
  Run(
      dialog,
      [&] {
        win::Windows().RunPending();
        testsupport::ExpectScreenGolden("dialogs", "print_narrative_test_data",
                                        testsupport::RecordedScreen(dialog));
      },
      TNarrativeTestDataDlg::kCancelId);
}

}  // namespace
