#include "core/read_tape_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/date_time_text.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/patient_dialog_resources.h"
#include "dialogs/patient_property_sheet.h"
#include "document/patient_data.h"
#include "document/recording_data.h"
#include "platform/archive.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "tools/tape_fixture.h"
#include "win/controls.h"
#include "win/win_fixture.h"

namespace {

class ReadTapeCommandTest : public win::testing_support::WinTest, public tapetest::TapeDocFixture {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddDialogResources(own);
    AddPatientDialogResources(own);
    AddReadTapeResources(own);
    dialogs::SetDialogLocale(&locale_);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1200, 900}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    Doc().GetSettings().SetInt(SettingKey::kTapeCalDataLen, 0);
    sheet_shown_ = false;
  }
  void TearDown() override {
    dialogs::SetDialogLocale(nullptr);
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  // The patient sheet, if it comes: the last name typed, then OK (or Cancel).
  void AnswerSheet(bool ok, const std::string& last_name = "Brand") {
    // The wait dialog before it ends by itself when the program does.
    win::Windows().SetModalIdleHandler([this, ok, last_name](win::Window* modal) {
      auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
      if (sheet == nullptr) return false;
      sheet_shown_ = true;
      auto* edit = sheet->GetActivePage()->Item<win::Edit>(CPatientPropertyPage::kLastNameId);
      EXPECT_NE(edit, nullptr);
      if (edit != nullptr) edit->SetTextFromUser(last_name);
      sheet->PressButton(ok ? win::kIdOk : win::kIdCancel);
      return true;
    });
  }

  std::vector<std::string> DataFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Temp().Path() / "data"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  win::Window main_;
  bool sheet_shown_ = false;
};

TEST(TapeResultMessage, FollowsTheProgramsExitCodes) {
  struct Case {
    int result;
    const char* want;  // nullptr: no message
  };
  constexpr Case kCases[] = {
      {0, nullptr},
      {1, "Can't open output file"},
      {2, nullptr},
      {6, "No cassette inserted"},
      {10, "Data overflow error (will return 10 if data overflow occurred)"},
      {13, "File write error"},
      {17, "File seek error"},
      {19, "File close error"},
      {20, "Tape positioning error (can't find clear leader)"},
      {-1, nullptr},
      {259, nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.result);
    const std::optional<std::string> message = TapeResultMessage(c.result);
    if (c.want == nullptr) {
      EXPECT_FALSE(message.has_value());
    } else {
      EXPECT_EQ(message.value_or(""), c.want);
    }
  }
}

TEST_F(ReadTapeCommandTest, DisabledOnTheRecorderScreenOnly) {
  for (const DisplayMode mode : {DisplayMode::kNone, DisplayMode::kOnlineEcg}) {
    Doc().SetDisplayMode(mode);
    EXPECT_EQ(IsReadTapeEnabled(Doc()), mode != DisplayMode::kOnlineEcg);
  }
}

TEST_F(ReadTapeCommandTest, ProgramErrorShowsItsMessageAndNoSheet) {
  WriteProgram("exit 6");
  AnswerSheet(true);
  EXPECT_EQ(ReadTapeRecording(Doc()), "");
  EXPECT_FALSE(sheet_shown_);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"No cassette inserted"}));
  EXPECT_TRUE(DataFiles().empty());
}

TEST_F(ReadTapeCommandTest, ConvertedTapeBecomesANewRecording) {
  WriteProgram("exit 0");
  std::vector<uint8_t> dat;
  for (int i = 0; i < 2; ++i) {
    std::vector<uint8_t> block = tapetest::Block(128, 128);
    for (size_t f = 0; f < block.size() / 3; f += 7) block[f * 3] = 250;
    dat.insert(dat.end(), block.begin(), block.end());
  }
  WriteRawFile(dat);
  AnswerSheet(true);
  const std::string base = "Brand 05-03-2024 10-00 -----";
  EXPECT_EQ(ReadTapeRecording(Doc()), Data(base + ".QRS"));
  EXPECT_TRUE(sheet_shown_);
  EXPECT_EQ(DataFiles(), (std::vector<std::string>{base + ".QRS", base + ".TAP"}));
  EXPECT_EQ(platform::ReadFileBytes(Data(base + ".TAP")).size(), 2 * tape::kMinuteBytes);

  // Patient and recording record, then the empty beat and event lists.
  const std::vector<uint8_t> qrs = platform::ReadFileBytes(Data(base + ".QRS"));
  platform::ArchiveReader ar(qrs, base + ".QRS");
  TPatientData patient(Doc().GetClock());
  patient.Load(ar);
  TRecordingData recording(Doc().GetClock());
  recording.Load(ar);
  EXPECT_EQ(patient.surname, "Brand");
  EXPECT_EQ(recording.GetStartDateText(), "05.03.2024");
  EXPECT_NEAR(recording.hrv_window_start.days, 7.0 / 24.0, 1e-9);
  EXPECT_NEAR(recording.hrv_window_end.days, 22.0 / 24.0, 1e-9);
}

TEST_F(ReadTapeCommandTest, SheetCancelledDeletesTheTapeFile) {
  WriteProgram("exit 0");
  WriteRawFile(tapetest::Block(250, 0));
  AnswerSheet(false);
  EXPECT_EQ(ReadTapeRecording(Doc()), "");
  EXPECT_TRUE(DataFiles().empty());
}

TEST_F(ReadTapeCommandTest, UnmovableTapeFileMakesNoRecording) {
  struct Case {
    const char* name;
    bool raw_file;    // the program left data
    bool name_taken;  // a tape file of the same name is there already
  };
  const Case cases[] = {{"no tape data", false, false}, {"name taken", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& name : DataFiles()) std::filesystem::remove(Data(name));
    prompt_.ClearLog();
    WriteProgram("exit 0");
    if (c.raw_file) WriteRawFile(tapetest::Block(250, 0));
    if (c.name_taken) testsupport::WriteBytes(Data("Brand 05-03-2024 10-00 -----.TAP"), {9});
    AnswerSheet(true);
    EXPECT_EQ(ReadTapeRecording(Doc()), "");
    ASSERT_EQ(MessagesAsked().size(), 1u);
    EXPECT_NE(MessagesAsked()[0].find("HOLTER.TAP"), std::string::npos);
    for (const std::string& name : DataFiles()) EXPECT_NE(name.substr(name.size() - 3), "QRS") << name;
    EXPECT_EQ(std::filesystem::exists(Data("HOLTER.TAP")), c.raw_file);
  }
}

}  // namespace
