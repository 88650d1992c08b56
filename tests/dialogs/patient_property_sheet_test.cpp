#include "dialogs/patient_property_sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "dialogs/patient_dialog_ids.h"
#include "dialogs/patient_sheet_fixture.h"
#include "dialogs/sound/null_audio_backend.h"
#include "document/record_format.h"
#include "document/update_hints.h"
#include "platform/archive.h"
#include "support/comma_decimal_locale.h"

namespace {

using dialogs_test::PatientSheetTest;

// The patient record as the ".QRS" on disk holds it.
TPatientData PatientOnDisk(const std::string& qrs, const platform::Clock& clock) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(qrs);
  platform::ArchiveReader ar(bytes, qrs);
  TPatientData patient(clock);
  patient.Load(ar);
  return patient;
}

platform::LocalDateTime BirthDate(const CZK470Doc& doc) {
  return document::ToLocalDateTime(doc.GetPatientData().birth_date).value_or(platform::LocalDateTime{});
}

TEST_F(PatientSheetTest, NameEditRenamesTheRecordingsFilesAndSavesTheEdit) {
  doctest::WriteBytes((std::filesystem::path(data_) / (std::string(kBase) + ".PID")).string(), {1, 2, 3});
  const int result = EditWith({[](win::Window* modal) { Type(modal, CPatientPropertyPage::kLastNameId, "Schulz"); }});
  ASSERT_EQ(result, win::kIdOk);
  const std::string renamed = "Anna Schulz 05-03-2024 10-00 0001-";
  for (const char* extension : {".QRS", ".CMP", ".PID", ".BAK"}) {
    SCOPED_TRACE(extension);
    EXPECT_TRUE(Exists(renamed + extension));
    EXPECT_FALSE(Exists(std::string(kBase) + extension));
  }
  EXPECT_EQ(doc_->GetPathName(), (std::filesystem::path(data_) / (renamed + ".QRS")).string());
  EXPECT_EQ(doc_->GetPatientData().surname, "Schulz");
  // The rename saved the document with the new name: nothing of the edit is left to lose.
  EXPECT_EQ(PatientOnDisk(doc_->GetPathName(), clock_).surname, "Schulz");
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(view_.hints, std::vector<int>{hint::kPatientData});
}

TEST_F(PatientSheetTest, NameEditWhoseRenameFailsLeavesTheDocumentModified) {
  const std::string taken = "Anna Schulz 05-03-2024 10-00 0001-.QRS";
  doctest::WriteBytes((std::filesystem::path(data_) / taken).string(), {9});
  EditWith({[](win::Window* modal) { Type(modal, CPatientPropertyPage::kLastNameId, "Schulz"); }});
  EXPECT_TRUE(Exists(std::string(kBase) + ".QRS"));
  EXPECT_EQ(doc_->GetPatientData().surname, "Schulz");
  EXPECT_TRUE(doc_->IsModified());  // offered for saving on close
}

TEST_F(PatientSheetTest, EveryChangedFieldAloneMarksTheDocumentModified) {
  struct Case {
    const char* name;
    int page;
    int id;
    const char* text;
    bool renames;
  };
  const Case cases[] = {
      {"patient id", 0, CPatientPropertyPage::kPatientIdId, "4711", false},
      {"birth date", 0, CPatientPropertyPage::kBirthDateId, "17.08.1950", false},
      {"station", 0, CPatientPropertyPage::kStationId, "B2", false},
      {"weight", 0, CPatientPropertyPage::kWeightId, "71.5", false},
      {"first name", 0, CPatientPropertyPage::kFirstNameId, "Anne", true},
      {"start time seconds only", 1, CRecordPropertyPage::kStartTimeId, "10:00:30", false},
      {"start time", 1, CRecordPropertyPage::kStartTimeId, "10:05", true},
      {"diagnosis", 3, TDiagnosisPage::kTextId, "Sinus rhythm.", false},
      {"medication", 2, TAssignmentPage::kText3Id, "none", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(doc_->OnOpenDocument(doc_->GetPathName()));
    doc_->SetModifiedFlag(false);
    const std::string before = doc_->GetPathName();
    EditWith({[&](win::Window* modal) {
      SheetOf(modal).SetActivePage(c.page);
      Type(modal, c.id, c.text);
    }});
    // A rename saves the edit at once; everything else waits for the save on close.
    EXPECT_EQ(doc_->GetPathName() != before, c.renames);
    EXPECT_EQ(doc_->IsModified(), !c.renames);
  }
}

TEST_F(PatientSheetTest, OkWithoutChangesLeavesTheDocumentAsItWas) {
  doc_->GetPatientData().weight = 70.3;  // no float holds it: the page must not "change" it
  doc_->GetPatientData().height = 181.7;
  doc_->SetModifiedFlag(false);
  const std::string before = doc_->GetPathName();
  EditWith({[](win::Window* modal) {
    for (int page = 0; page < 6; ++page) SheetOf(modal).SetActivePage(page);  // every page read back
  }});
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(doc_->GetPathName(), before);
  EXPECT_EQ(doc_->GetPatientData().weight, 70.3);
  EXPECT_EQ(doc_->GetPatientData().height, 181.7);
  EXPECT_EQ(view_.hints, std::vector<int>{hint::kPatientData});
}

TEST_F(PatientSheetTest, DisplayMode5RenamesNothingAndMarksNothing) {
  doc_->SetDisplayMode(DisplayMode::kOnlineEcg);
  doc_->SetModifiedFlag(false);
  EditWith({[](win::Window* modal) {
    Type(modal, CPatientPropertyPage::kLastNameId, "Schulz");
    Type(modal, CPatientPropertyPage::kPatientIdId, "4711");
    // Recorder-entry mode: without an address block the address is locked.
    EXPECT_FALSE(SheetOf(modal).GetActivePage()->GetDlgItem(CPatientPropertyPage::kAddressId)->IsWindowEnabled());
  }});
  EXPECT_TRUE(Exists(std::string(kBase) + ".QRS"));
  EXPECT_FALSE(Exists("Anna Schulz 05-03-2024 10-00 0001-.QRS"));
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(doc_->GetPatientData().surname, "Schulz");
  EXPECT_EQ(doc_->GetPatientData().patient_id, "4711");
  EXPECT_EQ(view_.hints, std::vector<int>{hint::kPatientData});
}

TEST_F(PatientSheetTest, BirthDateAfterTodayIsMovedBackAHundredYears) {
  struct Case {
    const char* typed;
    platform::LocalDateTime want;
  };
  const Case cases[] = {
      {"01.01.25", {1925, 1, 1}},    // read as 2025, after 5 March 2024
      {"06.03.2024", {1924, 3, 6}},  // tomorrow
      {"05.03.2024", {2024, 3, 5}},  // today stays
      {"29.02.96", {1996, 2, 29}},   // 30..99 is the 20th century already
      {"17.08.1950", {1950, 8, 17}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EditWith({[&](win::Window* modal) { Type(modal, CPatientPropertyPage::kBirthDateId, c.typed); }});
    EXPECT_EQ(BirthDate(*doc_), c.want);
  }
}

TEST_F(PatientSheetTest, BadEntriesKeepThePageOpenWithTheStandardMessage) {
  bool still_open = false;
  DriveModal({[](win::Window* modal) {
                Type(modal, CPatientPropertyPage::kBirthDateId, "31.02.2001");
                SheetOf(modal).PressButton(win::kIdOk);
              },
              [&](win::Window* modal) {
                still_open = modal->IsWindow();
                Type(modal, CPatientPropertyPage::kBirthDateId, "28.02.2001");
                Type(modal, CPatientPropertyPage::kHeightId, "tall");
                SheetOf(modal).PressButton(win::kIdOk);
              },
              [](win::Window* modal) {
                Type(modal, CPatientPropertyPage::kHeightId, "180");
                SheetOf(modal).PressButton(win::kIdOk);
              }});
  EXPECT_EQ(EditPatientData(*doc_, false), win::kIdOk);
  EXPECT_TRUE(still_open);
  const std::vector<std::string> messages = MessagesAsked();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Please enter a date and/or time.");
  EXPECT_EQ(messages[1], "Please enter a number.");
  EXPECT_EQ(BirthDate(*doc_), (platform::LocalDateTime{2001, 2, 28}));
  EXPECT_EQ(doc_->GetPatientData().height, 180.0);
}

TEST_F(PatientSheetTest, CancelWritesNothing) {
  doc_->SetModifiedFlag(false);
  const TPatientData before = doc_->GetPatientData();
  DriveModal({[](win::Window* modal) {
    Type(modal, CPatientPropertyPage::kLastNameId, "Schulz");
    SheetOf(modal).PressButton(win::kIdCancel);
  }});
  EXPECT_EQ(EditPatientData(*doc_, false), win::kIdCancel);
  EXPECT_EQ(doc_->GetPatientData(), before);
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_TRUE(view_.hints.empty());
}

TEST_F(PatientSheetTest, DiagnosisCommandOpensAtTheDiagnosisPageAndThePatientCommandAtThePatientPage) {
  int first_page = -1;
  DriveModal({[&](win::Window* modal) {
    first_page = SheetOf(modal).GetActiveIndex();
    SheetOf(modal).PressButton(win::kIdCancel);
  }});
  EditPatientData(*doc_, true);
  EXPECT_EQ(first_page, 3);
  DriveModal({[&](win::Window* modal) {
    first_page = SheetOf(modal).GetActiveIndex();
    EXPECT_EQ(modal->GetWindowText(), "Patient Data");
    EXPECT_FALSE(SheetOf(modal).HasApplyButton());
    SheetOf(modal).PressButton(win::kIdCancel);
  }});
  EditPatientData(*doc_, false);
  EXPECT_EQ(first_page, 0);
}

TEST_F(PatientSheetTest, HrvWindowEditSendsItsHint) {
  EditWith({[](win::Window* modal) {
    SheetOf(modal).SetActivePage(4);
    EXPECT_EQ(SheetOf(modal).GetActivePage()->GetDlgItemText(THRVTimeDlg::kHintId), "[ hh:mm:ss ]");
    Type(modal, THRVTimeDlg::kFirstTimeId, "08:00");
    Type(modal, THRVTimeDlg::kSecondTimeId, "20:30");
  }});
  const TRecordingData& r = doc_->GetRecordingData();
  EXPECT_NEAR(r.hrv_window_start.days, 8.0 / 24, 1e-9);
  EXPECT_NEAR(r.hrv_window_end.days, 20.5 / 24, 1e-9);
  EXPECT_EQ(view_.hints, (std::vector<int>{hint::kPatientDataEdited, hint::kPatientData}));
  EXPECT_TRUE(doc_->IsModified());
}

TEST_F(PatientSheetTest, NarrativePageShowsTheAddressChangedOnThePatientPage) {
  std::string shown;
  EditWith({[&](win::Window* modal) {
    Type(modal, CPatientPropertyPage::kAddressId, "Main Street 1\r\nTown");
    SheetOf(modal).SetActivePage(5);
    shown = SheetOf(modal).GetActivePage()->GetDlgItemText(CPatientNarrativePage::kNameAndAddressId);
    auto* check = SheetOf(modal).GetActivePage()->Item<win::Button>(1380);  // patient letter off
    check->Click();
  }});
  EXPECT_EQ(shown, "Anna Meier\r\nMain Street 1\r\nTown");
  EXPECT_EQ(doc_->GetPatientData().letter_switches[3], 0);
  EXPECT_TRUE(doc_->IsModified());
}

TEST_F(PatientSheetTest, CaptionSuffixAndPlayButtonWithoutVoiceFile) {
  struct Case {
    const char* suffix;
    const char* caption;
  };
  for (const Case c : {Case{"", "Patient Data"}, Case{"X", "Patient Data  X"}}) {
    SCOPED_TRACE(c.suffix);
    CPatientPropertySheet sheet(nullptr, doc_->GetPatientData(), doc_->GetRecordingData(), doc_.get(), c.suffix);
    std::string caption;
    bool enabled = true;
    DriveModal({[&](win::Window* modal) {
      caption = modal->GetWindowText();
      enabled = SheetOf(modal).ExtraButton().IsWindowEnabled();
      SheetOf(modal).PressButton(win::kIdCancel);
    }});
    sheet.DoModal();
    EXPECT_EQ(caption, c.caption);
    EXPECT_FALSE(enabled);  // no "PID" beside the recording
  }
}

// One second of the voice files' format at pid.
void WriteVoiceSecond(const std::string& pid) {
  TWaveFormat format;
  format.SetBitsPerSample(8);
  format.SetSampleRate(16000);
  TWaveFile wave(pid, &format);
  std::vector<uint8_t> samples(16000, 128);
  wave.Write(TAudioBuffer(samples.data(), static_cast<int32_t>(samples.size())));
}

TEST_F(PatientSheetTest, VoiceDiaryPlaysToItsEndAndTheButtonFollows) {
  // The voice file beside the recording.
  const std::string pid = (std::filesystem::path(data_) / (std::string(kBase) + ".pid")).string();
  WriteVoiceSecond(pid);
  sound::NullAudioBackend backend;
  sound::ScopedAudioBackend use(backend);
  CPatientPropertySheet sheet(nullptr, doc_->GetPatientData(), doc_->GetRecordingData(), doc_.get(), "");
  EXPECT_EQ(sheet.VoiceFilePath(), pid);  // found whatever the case of its extension
  std::vector<std::string> texts;
  // The second step waits for the notice: the idle handler has nothing to do until it arrives.
  win::Windows().SetModalIdleHandler([&, step = 0](win::Window* modal) mutable {
    if (step == 0) {
      EXPECT_TRUE(sheet.ExtraButton().IsWindowEnabled());
      texts.push_back(sheet.ExtraButton().GetWindowText());
      sheet.ExtraButton().Click();
      texts.push_back(sheet.ExtraButton().GetWindowText());
      step = 1;
      return true;
    }
    if (step == 1 && sheet.state == 1) {
      texts.push_back(sheet.ExtraButton().GetWindowText());
      sheet.ExtraButton().Click();
      sheet.ExtraButton().Click();
      texts.push_back(sheet.ExtraButton().GetWindowText());
      sheet.PressButton(win::kIdCancel);
      step = 2;
      return true;
    }
    return false;
  });
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
  EXPECT_EQ(texts, (std::vector<std::string>{"Play", "Stop", "Play", "Play"}));
  EXPECT_GE(backend.PlayedMs(), 1000);
  EXPECT_FALSE(sheet.SoundController().IsPlaying());
}

// A machine without a sound output: the failed opening is said and the button stays Play.
TEST_F(PatientSheetTest, WithoutASoundDeviceThePlayButtonStaysAndTheUserIsTold) {
  WriteVoiceSecond((std::filesystem::path(data_) / (std::string(kBase) + ".pid")).string());
  class NoDevice : public sound::AudioBackend {
   public:
    sound::MmResult OpenWaveOut(const sound::WaveFormatEx&, sound::DoneHandler,
                                std::unique_ptr<sound::WaveOutDevice>&) override {
      return sound::kMmNoDriver;
    }
    sound::MmResult OpenWaveIn(const sound::WaveFormatEx&, sound::DoneHandler,
                               std::unique_ptr<sound::WaveInDevice>&) override {
      return sound::kMmNoDriver;
    }
  } backend;
  sound::ScopedAudioBackend use(backend);
  CPatientPropertySheet sheet(nullptr, doc_->GetPatientData(), doc_->GetRecordingData(), doc_.get(), "");
  std::vector<std::string> texts;
  win::Windows().SetModalIdleHandler([&, step = 0](win::Window*) mutable {
    if (step == 0) {
      sheet.ExtraButton().Click();
      texts.push_back(sheet.ExtraButton().GetWindowText());
      step = 1;
      return true;
    }
    // The device's answer comes from the sound thread.
    if (step == 1 && !MessagesAsked().empty()) {
      sheet.PressButton(win::kIdCancel);
      step = 2;
      return true;
    }
    return false;
  });
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
  EXPECT_EQ(texts, std::vector<std::string>{"Play"});
  EXPECT_EQ(sheet.state, 1);
  EXPECT_EQ(MessagesAsked(),
            std::vector<std::string>{"WAVEOUT:6:There is no driver installed on your system. in start()"});
  EXPECT_FALSE(sheet.SoundController().IsPlaying());
}

// The Qt host's C locale follows the user: under a German one the page must still show and read
// height and weight with a point, or it refuses its own text.
TEST_F(PatientSheetTest, HeightAndWeightKeepTheirPointInAnyLocale) {
  doc_->GetPatientData().height = 181.5;
  doc_->GetPatientData().weight = 70.25;
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  std::string height_shown;
  std::string weight_shown;
  EditWith({[&](win::Window* modal) {
    SheetOf(modal).SetActivePage(0);
    height_shown = SheetOf(modal).GetActivePage()->GetDlgItemText(CPatientPropertyPage::kHeightId);
    weight_shown = SheetOf(modal).GetActivePage()->GetDlgItemText(CPatientPropertyPage::kWeightId);
    Type(modal, CPatientPropertyPage::kHeightId, "182.5");
  }});
  EXPECT_EQ(height_shown, "181.5");
  EXPECT_EQ(weight_shown, "70.25");
  EXPECT_EQ(doc_->GetPatientData().height, 182.5);
  EXPECT_EQ(doc_->GetPatientData().weight, 70.25);
}

}  // namespace
