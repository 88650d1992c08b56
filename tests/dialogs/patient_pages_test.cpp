#include <gtest/gtest.h>

#include <string>

#include "dialogs/findings_dlg.h"
#include "dialogs/patient_dialog_ids.h"
#include "dialogs/patient_sheet_fixture.h"
#include "dialogs/two_digit_year_locale.h"
#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "support/comma_decimal_locale.h"

namespace {

using dialogs_test::PatientSheetTest;
using dialogs_test::TwoDigitYearLocale;

struct DisplayTexts {
  const char* lower = "-";
  const char* upper = "-";
  const char* pause = "-";
  const char* sves = "-";
  const char* arrhythmia = "-";
  const char* duration = "-";
  const char* unit = "[sec]";
  const char* program = "-";
  const char* engine = "-";
  const char* date = "-";
  const char* time = "-";
  const char* st_point = "-";
  std::array<const char*, 3> st_limits = {"-", "-", "-"};
  const char* length = " 0:02";
};

TEST_F(PatientSheetTest, RecordingPageDisplayTexts) {
  struct Case {
    const char* name;
    std::function<void(TRecordingData&)> set;
    DisplayTexts want;
  };
  const std::vector<Case> cases = {
      {"never analysed", [](TRecordingData&) {}, {}},
      {"lowest indices",
       [](TRecordingData& r) {
         r.bradycardia_threshold = 0;
         r.tachycardia_threshold = 0;
         r.pause_threshold = 0;
         r.sves_prematurity = 0;
         r.arrhythmia_deviation = 0;
         r.arrhythmia_min_duration = 0;
       },
       {.lower = "30", .upper = "80", .pause = "1.0", .sves = "15", .arrhythmia = "15", .duration = "10"}},
      {"highest indices",
       [](TRecordingData& r) {
         r.bradycardia_threshold = 8;
         r.tachycardia_threshold = 14;
         r.pause_threshold = 6;
         r.sves_prematurity = 7;
         r.arrhythmia_deviation = 7;
         r.arrhythmia_min_duration = 7;
       },
       {.lower = "70", .upper = "220", .pause = "4.0", .sves = "50", .arrhythmia = "50", .duration = "10",
        .unit = "[min]"}},
      {"minutes from index 3; SVES analysis off",
       [](TRecordingData& r) {
         r.tachycardia_threshold = 5;
         r.sves_prematurity = -1;
         r.arrhythmia_min_duration = 3;
       },
       {.upper = "130", .duration = "1", .unit = "[min]"}},
      {"indices beyond their tables keep the dash",
       [](TRecordingData& r) {
         r.bradycardia_threshold = 9;
         r.tachycardia_threshold = 15;
         r.pause_threshold = 7;
         r.arrhythmia_min_duration = 8;
       },
       {}},
      {"analysis program, engine and time",
       [](TRecordingData& r) {
         r.analysing_program = "ZK-470 2.04";
         r.analysis_engine = "  Olvek 1.78";
         r.analysis_time = document::ToOleDateTime({2024, 3, 4, 16, 45, 30});
         r.st_point_distance = 60;
       },
       {.program = "ZK-470 2.04", .engine = "  Olvek 1.78", .date = "04.03.2024", .time = "16:45:30",
        .st_point = "60"}},
      {"analysis on 1 January 1998 07:00 counts as none",
       [](TRecordingData& r) { r.analysis_time = document::ToOleDateTime({1998, 1, 1, 7, 0, 0}); }, {}},
      {"ST limits at the analysed channels' places",
       [](TRecordingData& r) {
         r.st_channel_analysed = {1, 1};
         r.st_depression_limit = {15, 20};
       },
       {.st_limits = {"1.5", "-", "2.0"}}},
      {"ST limit of a channel whose ST trend is off",
       [](TRecordingData& r) {
         r.st_channel_analysed = {0, 1};
         r.st_depression_limit = {15, -5};
       },
       {.st_limits = {"-", "-", "-0.5"}}},
  };
  document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{0, 2});
  document::Context().g_STChannels.Assign(std::vector<int32_t>{0, 2});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingData record = doc_->GetRecordingData();
    c.set(record);
    CRecordPropertyPage page(doc_.get());
    page.FillDisplayTexts(record, *doc_);
    EXPECT_EQ(page.lower_rate_text, c.want.lower);
    EXPECT_EQ(page.upper_rate_text, c.want.upper);
    EXPECT_EQ(page.pause_text, c.want.pause);
    EXPECT_EQ(page.sves_prematurity_text, c.want.sves);
    EXPECT_EQ(page.arrhythmia_prematurity_text, c.want.arrhythmia);
    EXPECT_EQ(page.arrhythmia_duration_text, c.want.duration);
    EXPECT_EQ(page.arrhythmia_duration_unit, c.want.unit);
    EXPECT_EQ(page.recorder_text, "      ");
    EXPECT_EQ(page.program_text, c.want.program);
    EXPECT_EQ(page.engine_text, c.want.engine);
    EXPECT_EQ(page.analysis_date_text, c.want.date);
    EXPECT_EQ(page.analysis_time_text, c.want.time);
    EXPECT_EQ(page.st_point_text, c.want.st_point);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(page.st_limit_texts[i], c.want.st_limits[i]) << i;
    EXPECT_EQ(page.st_channel_marks, (std::array<std::string, 3>{"X", "-", "X"}));
    EXPECT_EQ(page.length_text, c.want.length);
  }
}

TEST_F(PatientSheetTest, RecordingPageShowsLengthAndHintsInItsFields) {
  const std::string long_qrs =
      doctest::WriteRecording(clock_, (std::filesystem::path(data_) / "Long 0002-").string(), {}, 90);
  ASSERT_TRUE(doc_->OnOpenDocument(long_qrs));
  std::map<int, std::string> shown;
  EditWith({[&](win::Window* modal) {
              SheetOf(modal).SetActivePage(1);
              win::PropertyPage* page = SheetOf(modal).GetActivePage();
              for (const int id : {CRecordPropertyPage::kLengthId, CRecordPropertyPage::kDateHintId,
                                   CRecordPropertyPage::kTimeHintId, CRecordPropertyPage::kStartDateId,
                                   CRecordPropertyPage::kStartTimeId, CRecordPropertyPage::kArrhythmiaDurationUnitId})
                shown[id] = page->GetDlgItemText(id);
              // Outside recorder-entry mode the start is editable and the pacemaker detection not.
              EXPECT_TRUE(page->GetDlgItem(CRecordPropertyPage::kStartDateId)->IsWindowEnabled());
              EXPECT_FALSE(page->GetDlgItem(CRecordPropertyPage::kPacemakerId)->IsWindowEnabled());
              SheetOf(modal).PressButton(win::kIdCancel);
            }},
           false);
  EXPECT_EQ(shown[CRecordPropertyPage::kLengthId], " 1:30");
  EXPECT_EQ(shown[CRecordPropertyPage::kDateHintId], "[ dd.mm.yyyy ]");
  EXPECT_EQ(shown[CRecordPropertyPage::kTimeHintId], "[ hh:mm:ss ]");
  EXPECT_EQ(shown[CRecordPropertyPage::kStartDateId], "05.03.2024");
  EXPECT_EQ(shown[CRecordPropertyPage::kStartTimeId], "10:00:00");
  EXPECT_EQ(shown[CRecordPropertyPage::kArrhythmiaDurationUnitId], "[sec]");
}

TEST_F(PatientSheetTest, ABirthDateKeepsItsCenturyWhereTheLocaleWritesTwoDigitYears) {
  const TwoDigitYearLocale two_digit;
  dialogs::SetDialogLocale(&two_digit);
  clock_.Set({2026, 12, 11, 9, 0, 0, 0});
  struct Case {
    const char* name;
    const char* typed;  // nullptr: a plain OK
    platform::LocalDateTime want;
  };
  const Case cases[] = {
      {"plain OK", nullptr, {1925, 3, 15}},
      {"two-digit year of a past day", "03/15/25", {2025, 3, 15}},
      {"two-digit year of a day still to come", "12/24/26", {1926, 12, 24}},
      {"four-digit year in the future", "03/15/2030", {1930, 3, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetPatientData().birth_date = document::ToOleDateTime(platform::LocalDateTime{1925, 3, 15});
    std::string shown;
    EditWith({[&](win::Window* modal) {
      shown = SheetOf(modal).GetActivePage()->GetDlgItemText(CPatientPropertyPage::kBirthDateId);
      if (c.typed != nullptr) Type(modal, CPatientPropertyPage::kBirthDateId, c.typed);
    }});
    EXPECT_EQ(shown, "03/15/1925");
    EXPECT_EQ(document::ToLocalDateTime(doc_->GetPatientData().birth_date), c.want);
  }
  dialogs::SetDialogLocale(&locale_);
}

TEST_F(PatientSheetTest, UnitLabelsFollowTheUnitsSetting) {
  struct Case {
    int units;
    std::string height;
    std::string weight;
  };
  const Case cases[] = {
      {0, platform::LoadString(dialogs::ids::kHeightUnitMetric), platform::LoadString(dialogs::ids::kWeightUnitMetric)},
      {1, platform::LoadString(dialogs::ids::kHeightUnitImperial), platform::LoadString(dialogs::ids::kWeightUnitImperial)},
      {2, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    doc_->GetSettings().SetInt(SettingKey::kUnits, c.units);
    std::string height;
    std::string weight;
    EditWith({[&](win::Window* modal) {
      height = SheetOf(modal).GetActivePage()->GetDlgItemText(CPatientPropertyPage::kHeightUnitId);
      weight = SheetOf(modal).GetActivePage()->GetDlgItemText(CPatientPropertyPage::kWeightUnitId);
      SheetOf(modal).PressButton(win::kIdCancel);
    }},
             false);
    EXPECT_EQ(height, c.height);
    EXPECT_EQ(weight, c.weight);
  }
  EXPECT_EQ(platform::LoadString(dialogs::ids::kHeightUnitImperial), "in");
}

TEST_F(PatientSheetTest, NewRecordingForARecorderLocksThePagesAndStartsToday) {
  doc_->GetSettings().SetInt(SettingKey::kLanguage, 1);
  clock_.Set({2024, 3, 6, 14, 25, 40, 0});
  TPatientData patient = doc_->GetPatientData();
  patient.address = "Main Street 1";
  patient.pacemaker = 0;
  TRecordingData recording = doc_->GetRecordingData();
  CPatientPropertySheet sheet(nullptr, 1, patient, recording, doc_.get());
  EXPECT_TRUE(sheet.VoiceFilePath().empty());
  EXPECT_EQ(sheet.name_and_address, "Main Street 1");
  EXPECT_EQ(sheet.narrative_page->envelope_position, 1);
  EXPECT_EQ(document::ToLocalDateTime(sheet.patient_page->birth_date), (platform::LocalDateTime{2024, 3, 6}));
  EXPECT_EQ(document::ToLocalDateTime(sheet.record_page->start_date), (platform::LocalDateTime{2024, 3, 6}));
  EXPECT_EQ(document::ToLocalDateTime(sheet.record_page->start_time),
            (platform::LocalDateTime{1899, 12, 30, 14, 25, 40}));
  EXPECT_EQ(sheet.record_page->lower_rate_text, "-");  // no display texts for a new recording
  std::vector<std::pair<std::string, bool>> enabled;
  const auto note = [&](win::Window* modal, const char* name, int id) {
    enabled.emplace_back(name, SheetOf(modal).GetActivePage()->GetDlgItem(id)->IsWindowEnabled());
  };
  DriveModal({[&](win::Window* modal) {
    note(modal, "patient address", CPatientPropertyPage::kAddressId);
    note(modal, "patient last name", CPatientPropertyPage::kLastNameId);
    // The patient's pacemaker decides the recorder's pacemaker detection.
    SheetOf(modal).GetActivePage()->Item<win::Button>(CPatientPropertyPage::kPacemakerId)->Click();
    SheetOf(modal).SetActivePage(1);
    note(modal, "start date", CRecordPropertyPage::kStartDateId);
    note(modal, "start time", CRecordPropertyPage::kStartTimeId);
    note(modal, "pacemaker detection", CRecordPropertyPage::kPacemakerId);
    SheetOf(modal).SetActivePage(2);
    note(modal, "assignment", TAssignmentPage::kText2Id);
    SheetOf(modal).SetActivePage(3);
    note(modal, "diagnosis", TDiagnosisPage::kTextId);
    SheetOf(modal).SetActivePage(4);
    note(modal, "HRV start", THRVTimeDlg::kFirstTimeId);
    SheetOf(modal).SetActivePage(5);
    note(modal, "letter check", 1380);
    note(modal, "envelope", CPatientNarrativePage::kEnvelopeFirstId + 3);
    note(modal, "referring address", CPatientNarrativePage::kReferredByAddressId);
    enabled.emplace_back("play", sheet.ExtraButton().IsWindowEnabled());
    SheetOf(modal).PressButton(win::kIdOk);
  }});
  EXPECT_EQ(sheet.DoModal(), win::kIdOk);
  const std::vector<std::pair<std::string, bool>> want = {
      {"patient address", false}, {"patient last name", true}, {"start date", false},
      {"start time", false},      {"pacemaker detection", true}, {"assignment", false},
      {"diagnosis", false},       {"HRV start", false},         {"letter check", false},
      {"envelope", false},        {"referring address", false}, {"play", false}};
  EXPECT_EQ(enabled, want);
  EXPECT_EQ(PatientSheetGlobals().patient_pacemaker, 1);
  EXPECT_EQ(PatientSheetGlobals().recording_pacemaker, 1);
  // The owner reads the pages: the envelope position survived the locked page.
  EXPECT_EQ(sheet.narrative_page->Options()[13], 1);
}

TEST_F(PatientSheetTest, FindingsDialogHoldsAWholeDiagnosisAndLimitsTyping) {
  doc_->GetRecordingData().diagnosis = std::string(4096, 'd');
  doc_->GetRecordingData().assignment_heading = "Question";
  doc_->GetRecordingData().recording_text2 = "Comment";
  TFindingsDlg findings(doc_.get());
  ASSERT_TRUE(findings.CreateModeless(nullptr));
  EXPECT_EQ(findings.GetDlgItemText(1174).size(), 4096u);
  EXPECT_EQ(findings.GetDlgItemText(1171), "Question");
  EXPECT_EQ(findings.GetDlgItemText(1175), "Comment");
  EXPECT_EQ(findings.Item<win::Edit>(1174)->GetLimitText(), 1000);
  EXPECT_EQ(findings.Item<win::Edit>(1171)->GetLimitText(), 70);
  findings.DestroyWindow();
  TFindingsDlg empty(static_cast<win::Window*>(nullptr));
  EXPECT_EQ(empty.texts, (std::array<std::string, 5>{}));
}

TEST_F(PatientSheetTest, ReadOnlyHrvPageShowsTheTimesLocked) {
  TRecordingData record = doc_->GetRecordingData();
  record.hrv_window_start = document::OleTimeOnly({1970, 1, 1, 22, 0, 0});
  record.hrv_window_end = document::OleTimeOnly({1970, 1, 1, 6, 30, 0});
  THRVTimeDlg page(1, record);
  win::PropertySheet sheet("HRV");
  sheet.AddPage(page);
  std::vector<std::string> texts;
  bool editable = true;
  DriveModal({[&](win::Window* modal) {
    texts = {page.GetDlgItemText(THRVTimeDlg::kFirstTimeId), page.GetDlgItemText(THRVTimeDlg::kSecondTimeId)};
    editable = page.GetDlgItem(THRVTimeDlg::kFirstTimeId)->IsWindowEnabled() ||
               page.GetDlgItem(THRVTimeDlg::kSecondTimeId)->IsWindowEnabled();
    sheet.PressButton(win::kIdCancel);
  }});
  sheet.DoModal();
  EXPECT_EQ(texts, (std::vector<std::string>{"22:00:00", "06:30:00"}));
  EXPECT_FALSE(editable);
}

}  // namespace

namespace {

TEST_F(PatientSheetTest, AnAutomationRequestLocksThePatientFields) {
  host_.automation_complete = true;
  std::vector<bool> enabled;
  EditWith({[&](win::Window* modal) {
    for (const int id : {CPatientPropertyPage::kFirstNameId, CPatientPropertyPage::kBirthDateId,
                         CPatientPropertyPage::kSexId, CPatientPropertyPage::kStationId,
                         CPatientPropertyPage::kPacemakerId})
      enabled.push_back(SheetOf(modal).GetActivePage()->GetDlgItem(id)->IsWindowEnabled());
    SheetOf(modal).SetActivePage(1);
    enabled.push_back(SheetOf(modal).GetActivePage()->GetDlgItem(CRecordPropertyPage::kStartDateId)->IsWindowEnabled());
    enabled.push_back(SheetOf(modal).GetActivePage()->GetDlgItem(CRecordPropertyPage::kPacemakerId)->IsWindowEnabled());
  }});
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, false, false, true, false}));
}

TEST_F(PatientSheetTest, RecordingPageStLimitsKeepThePointInAnyLocale) {
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{0, 2});
  TRecordingData record = doc_->GetRecordingData();
  record.st_channel_analysed = {1, 1};
  record.st_depression_limit = {15, -5};
  CRecordPropertyPage page(doc_.get());
  page.FillDisplayTexts(record, *doc_);
  EXPECT_EQ(page.st_limit_texts, (std::array<std::string, 3>{"1.5", "-", "-0.5"}));
}

}  // namespace
