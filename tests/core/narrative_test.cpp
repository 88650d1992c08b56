// The narrative letters outside printing: their export as RTF files, the test-data command, and
// the letter made from an analysed recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/narrative_commands.h"
#include "core/zk470_view_fixture.h"
#include "core/zk470_view_letter_export.h"
#include "dialogs/narrative_test_data_dlg.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/select_folder_dialog.h"
#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/event.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/st_details.h"
#include "reports/narrative_letter.h"
#include "reports/narrative_test_data.h"
#include "reports/report_fixture.h"
#include "reports/richtext/rtf_reader.h"
#include "support/test_recordings.h"
#include "trends/report_values.h"
#include "win/prompt.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;
namespace planted = reporttest::planted;

const fs::path kTemplates = fs::path(ZK_SOURCE_DIR) / "data/letters";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string LetterText(const std::string& rtf) {
  return richtext::ReadRtf(rtf, "letter").document.PlainText();
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class NarrativeTest : public ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    ResetNarrativeTestData();
  }
  void TearDown() override {
    ResetNarrativeTestData();
    ZK470ViewTest::TearDown();
  }

  void OpenRecording() {
    const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2);
    ASSERT_TRUE(app_->OpenDocumentFile(qrs.string()));
    Pump();
    Doc().GetSettings().SetText(SettingKey::kDirMain, kTemplates.string());
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log()) texts.push_back(asked.text);
    return texts;
  }
};

// --- Letter export ---

TEST_F(NarrativeTest, LetterExportWritesTheSwitchedOnLettersNumberedInRecipientOrder) {
  OpenRecording();
  View().AddLetterExportCommands();
  TPatientData& patient = Doc().GetPatientData();
  patient.first_name = "J.";
  patient.surname = "Roth";
  patient.referring_address = "Dr. Weiss\r\nAm Markt 2";
  // Referring physician and patient letter on, the others off.
  patient.letter_switches[0] = 1;
  patient.letter_switches[1] = 0;
  patient.letter_switches[2] = 0;
  patient.letter_switches[3] = 1;
  const fs::path folder = Folder("letters");
  std::string title;
  std::string button;
  bool choose = true;
  on_idle_ = [&](win::Window* modal) {
    auto* picker = dynamic_cast<CSelectFolderDialog*>(modal);
    if (picker == nullptr) return false;
    title = picker->GetWindowText();
    button = picker->Item<win::Button>(CSelectFolderDialog::kSelectId)->GetWindowText();
    if (!choose) {
      picker->EndDialog(win::kIdCancel);
      return true;
    }
    picker->Item<win::Edit>(CSelectFolderDialog::kFolderEditId)->SetTextFromUser(folder.string());
    EXPECT_TRUE(picker->Select());
    return true;
  };
  ASSERT_TRUE(Enabled(export_cmd::kLetterExport));
  EXPECT_TRUE(win::ExecuteCommand(Frame(), export_cmd::kLetterExport));
  Pump();
  EXPECT_EQ(title, "Export To");
  EXPECT_EQ(button, "Export");
  const std::string base = LetterExportBaseName(patient, Doc().GetRecordingData());
  EXPECT_EQ(base.find_first_of(".:"), std::string::npos) << base;
  EXPECT_TRUE(base.starts_with("J- Roth ")) << base;
  ASSERT_EQ(FileNames(folder), (std::vector<std::string>{base + "1.rtf", base + "2.rtf"}));
  // 1 is the patient's letter (kind 1), 2 the referring physician's (kind 3): the address block
  // of each names its recipient.
  const std::string first = LetterText(ReadAll(folder / (base + "1.rtf")));
  const std::string second = LetterText(ReadAll(folder / (base + "2.rtf")));
  EXPECT_NE(first.find("J. Roth"), std::string::npos);
  EXPECT_EQ(first.find("Dr. Weiss"), std::string::npos);
  EXPECT_NE(second.find("Dr. Weiss"), std::string::npos);
  EXPECT_TRUE(Messages().empty());
  // No letter files are left behind: the private folder went with the last of them.
  EXPECT_TRUE(NarrativeLetterFolder().empty());

  // Again: both exist; No keeps the first and says so, Cancel keeps the second silently.
  std::ofstream(folder / (base + "1.rtf")) << "old";
  prompt_.QueueAnswer(win::kIdNo);
  prompt_.QueueAnswer(win::kIdCancel);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), export_cmd::kLetterExport));
  Pump();
  EXPECT_EQ(ReadAll(folder / (base + "1.rtf")), "old");
  EXPECT_EQ(LetterText(ReadAll(folder / (base + "2.rtf"))), second);
  const std::vector<std::string> shown = Messages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1], "Error while Writing File" + (folder / (base + "1.rtf")).string());

  // A cancelled folder choice writes nothing.
  fs::remove_all(folder);
  fs::create_directories(folder);
  choose = false;
  EXPECT_TRUE(win::ExecuteCommand(Frame(), export_cmd::kLetterExport));
  on_idle_ = nullptr;
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(NarrativeTest, LetterExportIsOffWithoutARecordingAndOnline) {
  View().AddLetterExportCommands();
  EXPECT_FALSE(Enabled(export_cmd::kLetterExport));
  OpenRecording();
  EXPECT_TRUE(Enabled(export_cmd::kLetterExport));
  Doc().SetDisplayMode(DisplayMode::kOnlineEcg);
  EXPECT_FALSE(Enabled(export_cmd::kLetterExport));
}

// --- Test-data command ---

TEST_F(NarrativeTest, TestDataDialogStoresOnGenerateAndChangesNothingOnCancel) {
  const std::string three_lines = "Praxis\r\nHauptstr. 1\r\nBerlin";
  struct Case {
    int button;
    int result;
  };
  for (const Case c :
       {Case{TNarrativeTestDataDlg::kCancelId, 2}, Case{TNarrativeTestDataDlg::kGenerateId, 1}}) {
    SCOPED_TRACE(c.result);
    ResetNarrativeTestData();
    std::string shown;
    on_idle_ = [&](win::Window* modal) {
      auto* dialog = dynamic_cast<TNarrativeTestDataDlg*>(modal);
      if (dialog == nullptr) return false;
      shown = dialog->RowText(2);
      auto* office = dynamic_cast<dialogs::COptionTreeEditItem*>(dialog->RowItem(2));
      EXPECT_NE(office, nullptr);
      if (office != nullptr) office->GetEdit().SetWindowText(three_lines);
      auto* last_name = dynamic_cast<dialogs::COptionTreeEditItem*>(dialog->RowItem(4));
      if (last_name != nullptr) last_name->GetEdit().SetWindowText("Other");
      dynamic_cast<win::Button*>(dialog->GetDlgItem(c.button))->Click();
      return true;
    };
    EXPECT_EQ(EditNarrativeTestData(), c.result);
    on_idle_ = nullptr;
    // The stored set's three lines show as three lines.
    EXPECT_EQ(shown, "Office Name\r\nOffice Street\r\nOffice Town");
    const NarrativeTestSet& set = NarrativeTestData();
    if (c.result == 2) {
      EXPECT_EQ(set.office_address, NarrativeTestSet{}.office_address);
      EXPECT_EQ(set.last_name, NarrativeTestSet{}.last_name);
    } else {
      EXPECT_EQ(set.office_address, "Praxis\rHauptstr. 1\rBerlin");
      EXPECT_EQ(set.last_name, "Other");
    }
  }
  // Shown again: the address typed on three lines comes back on three lines.
  std::string shown;
  on_idle_ = [&](win::Window* modal) {
    auto* dialog = dynamic_cast<TNarrativeTestDataDlg*>(modal);
    if (dialog == nullptr) return false;
    shown = dialog->RowText(2);
    dynamic_cast<win::Button*>(dialog->GetDlgItem(TNarrativeTestDataDlg::kCancelId))->Click();
    return true;
  };
  EXPECT_EQ(EditNarrativeTestData(), 2);
  on_idle_ = nullptr;
  EXPECT_EQ(shown, three_lines);
}

// --- The letter of an analysed recording ---

constexpr int kHours = 2;

class RecordingLetterTest : public NarrativeTest {
 protected:
  void SetUp() override {
    NarrativeTest::SetUp();
    ASSERT_TRUE(planted::OpenPlantedRecording(Doc(), kHours));
  }

  // The physician's letter (all sections on by default) as plain text.
  std::string Letter() {
    TReportValues values(Doc());
    CNarrativeLetter letter(&Doc(), &values, &clock_);
    letter.SetTemplateFolder(kTemplates);
    const std::string path = letter.CreateLetter(2, true, false, false);
    EXPECT_FALSE(path.empty());
    EXPECT_FALSE(IsNarrativeTestDataOn());
    const std::string text = LetterText(ReadAll(path));
    DeleteNarrativeLetterFile(path);
    return text;
  }
};

// "9:31 AM" of a time seconds after the planted start (08:00).
std::string ClockText(int seconds_after_start) {
  const int minutes = 8 * 60 + seconds_after_start / 60;
  const int hour = minutes / 60 % 24;
  const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
  std::ostringstream out;
  out << hour12 << ':' << (minutes % 60 < 10 ? "0" : "") << minutes % 60 << (hour < 12 ? " AM" : " PM");
  return out.str();
}

std::string Count(int code) { return std::to_string(planted::PlantedTotal(code, kHours)); }

TEST_F(RecordingLetterTest, SentencesCarryTheRecordingsCountsAndTimes) {
  const planted::Episode tachy = planted::PlantedEpisode(kClassTachycardia, kHours);
  const planted::Episode brady = planted::PlantedEpisode(kClassBradycardia, kHours);
  const planted::Episode arrhythmia = planted::PlantedEpisode(kClassArrhythmia, kHours);
  ASSERT_EQ(tachy.duration_s, 92);
  ASSERT_EQ(brady.duration_s, 88);
  ASSERT_EQ(arrhythmia.duration_s, 156);
  const std::string text = Letter();
  const std::vector<std::string> expected = {
      "The patient's recording was started on 15 Jan 2024 at 8:00 AM.",
      "Recording time was 2 hours 0 minutes.",
      "The minimum heart rate was 37 BPM at " + ClockText(planted::SlowStretchStart(kHours)) + " on 15 Jan.",
      "The maximum heart rate was 150 BPM at " + ClockText(planted::FastStretchStart(kHours)) + " on 15 Jan.",
      "There were " + Count(kClassArtefact) + " artifact triggers",
      "The patient initiated " + Count(kClassMarker) + " markers during the test.",
      "There were " + Count(kClassPause) + " pauses detected using a setting of > 2.0 sec.",
      "There were " + Count(kClassTachycardia) +
          " Tachycardias, the longest Tachycardia episode was 1 min. 32 sec. " + "and occured at " +
          ClockText(tachy.start_s) + " on 15 Jan.",
      "There were " + Count(kClassBradycardia) +
          " Bradycardias, the longest Bradycardia episode was 1 min. 28 sec. " + "and occured at " +
          ClockText(brady.start_s) + " on 15 Jan.",
      "There were " + Count(kClassVES) + " VES.",
      "Of these VES, " + Count(kClassVCouplet) + " were couplets, " + Count(kClassVTriplet) +
          " were triplets, and " + Count(kClassVTachycardia) + " were VES Tachycardias.",
      "There were " + Count(kClassSVES) + " SVES.",
      "Of these SVES, " + Count(kClassSVCouplet) + " were couplets, " + Count(kClassSVTriplet) +
          " were triplets, and " + Count(kClassSVTachycardia) + " were SV tachycardias.",
      "There were " + Count(kClassArrhythmia) + " episodes of (>35%) Absolute Arrhythmia detected.",
      // The longest episode needs the episode pass; read before it, every episode lasted 1 s.
      "per hour lasting 00:02:36,",
  };
  for (const std::string& sentence : expected) EXPECT_NE(text.find(sentence), std::string::npos) << sentence;
}

// Episodes are counted over the hours of the recording, per channel of the ST table; the deepest
// one is named with its depth and time.
TEST_F(RecordingLetterTest, StSentencesCountEpisodesOfEachChannelsKind) {
  document::ChannelSet& st_set = document::Context().g_STChannels;
  st_set.count = 2;
  st_set.channels[0] = 0;
  st_set.channels[1] = 1;
  Doc().GetSettings().SetInt(SettingKey::kSTTrendOn0, 1);
  Doc().GetSettings().SetInt(SettingKey::kSTTrendOn1, 1);
  // Two episodes of the first channel's kind, in different hours; none of the second's.
  const int kind = CZK470Doc::STAnalyzeChIndex2EQRSType(0);
  ASSERT_NE(kind, CZK470Doc::STAnalyzeChIndex2EQRSType(1));
  constexpr int32_t kRate = planted::kRate;
  for (const int32_t at_s : {600, 4200})
    Doc().GetEventList().Append(TEvent(at_s * kRate, (at_s + 60) * kRate, static_cast<uint8_t>(kind)));
  TSTDetail deepest;
  deepest.points[TSTDetail::kOnset].position = 4200 * kRate;
  deepest.points[TSTDetail::kExtreme].position = 4210 * kRate;
  deepest.points[TSTDetail::kExtreme].level = -2.5;
  deepest.points[TSTDetail::kEnd].position = 4260 * kRate;
  TRecordingData& record = Doc().GetRecordingData();
  record.st_episodes[0].Add(deepest);
  record.deepest_st_position[0] = 4210 * kRate;

  std::string text = Letter();
  EXPECT_NE(text.find("Multiple ST depression episodes"), std::string::npos) << text;
  EXPECT_NE(
      text.find(
          "were detected in channel 1. The maximum depression of -2.5 mm occured on 15 Jan at 9:10 AM."),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("No ST depression episodes"), std::string::npos) << text;
  EXPECT_NE(text.find("were detected in channel 2."), std::string::npos) << text;

  Doc().GetSettings().SetInt(SettingKey::kSTTrendOn1, 0);
  text = Letter();
  EXPECT_NE(text.find("No ST-analysis has been performed in channel 2."), std::string::npos) << text;
}

TEST_F(RecordingLetterTest, HeightAndWeightTakeTheUnitsOfTheSetting) {
  TPatientData& patient = Doc().GetPatientData();
  patient.height = 180;
  patient.weight = 75;
  struct Case {
    int units;
    const char* sentence;
  };
  const Case kCases[] = {
      {0, "is 180 cm tall and weighs 75 kg."},
      {1, "is 180 in tall and weighs 75 lb."},
      {2, "is 180  tall and weighs 75 ."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.units);
    Doc().GetSettings().SetInt(SettingKey::kUnits, c.units);
    const std::string text = Letter();
    EXPECT_NE(text.find(c.sentence), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace coretest
