#include "core/raw_import_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/automation_command_line_info.h"
#include "core/read_recorder_command.h"
#include "core/zk470_view_fixture.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/recording_files.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/raw/raw_file_header.h"
#include "recorder/raw/raw_image_writer.h"
#include "recorder/recorder_blocks.h"
#include "support/cmp_writer.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using recorder::TRawFileHeader;

// Card images of a short two-channel recording, one patient each.
class RawImportCommands : public coretest::ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    sd_ = Folder("sd");
    data_ = Folder("data");
    Doc().SetSDCardDirectory(sd_.string());
    Doc().SetDataDirectory(data_.string());
    services_.show_lines = [this](const std::vector<std::string>& lines, const std::string& caption) {
      shown_lines_ = lines;
      shown_caption_ = caption;
    };
  }

  // An image as the writer makes it, for a patient of that last name.
  std::string WriteCard(const std::string& name, const std::string& last_name,
                        const std::string& first_name = "Lea") {
    TPatientBlockFields patient;
    patient.last_name = last_name;
    patient.first_name = first_name;
    patient.pat_nr = "4711";
    patient.date_of_birth = document::OleDateOnly({1950, 6, 15});
    patient.sex = 1;
    TRecordingBlockFields recording;
    recording.recording_date = document::OleDateOnly({2004, 12, 8});
    recording.recording_time = document::OleTimeOnly({2004, 12, 8, 14, 30, 0, 0});
    recording.dev_type = "ZK-131";
    recording.dev_version = "V1.20";
    recording.dev_serial = "123";
    const auto patient_block = TRecorderBlocks::PackPatientBlock(patient);
    const auto recording_block = TRecorderBlocks::PackRecordingBlock(recording);
    const std::vector<std::vector<int16_t>> channels(
        2, std::vector<int16_t>(3 * testsupport::kSamplesPerMinute, 40));
    const fs::path cmp = Folder("cmp") / (name + ".CMP");
    testsupport::WriteBytes(cmp, testsupport::EncodeCmp(testsupport::CmpFormat::kNew, channels));
    const fs::path raw = sd_ / name;
    const recorder::TRawImageWriter writer(patient_block, recording_block);
    EXPECT_TRUE(writer.WriteFromFile(raw, cmp, [](int, int) { return true; }));
    return raw.string();
  }

  // The same image with a patient block that ends past the file.
  std::string WriteDamagedCard(const std::string& name) {
    const std::string raw = WriteCard(name, "Damaged");
    std::vector<uint8_t> bytes = platform::ReadFileBytes(raw);
    TRawFileHeader header = TRawFileHeader::Unpack(
        std::span<const uint8_t, recorder::kRawHeaderSize>(bytes.data(), recorder::kRawHeaderSize));
    header.RawPatBlockAddr = static_cast<uint32_t>(bytes.size());
    const auto packed = header.Pack();
    std::copy(packed.begin(), packed.end(), bytes.begin());
    testsupport::WriteBytes(raw, bytes);
    return raw;
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }

  // The recordings' files in the data folder (the backups that opening makes left aside).
  std::vector<std::string> DataFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(data_)) {
      if (entry.path().extension() != ".BAK") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path sd_;
  fs::path data_;
  RawImportServices services_;
  std::vector<std::string> shown_lines_;
  std::string shown_caption_;
};

TEST_F(RawImportCommands, ImportsOnlyTheFirstImageTheFolderLists) {
  WriteCard("A.RAW", "Brand");
  WriteCard("B.raw", "Keller");
  fs::path first;
  for (const auto& entry : fs::directory_iterator(sd_)) {
    first = entry.path();
    break;
  }
  const std::string want_name = first.filename() == "A.RAW" ? "Brand" : "Keller";

  RunImportRawFileCommand(View(), services_);

  EXPECT_EQ(AutomationInfo().GetExitCode(), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Doc().GetPatientData().surname, want_name);
  EXPECT_EQ(DataFiles(), (std::vector<std::string>{want_name + " Lea 08-12-2004 14-30 -----.cmp",
                                                   want_name + " Lea 08-12-2004 14-30 -----.qrs"}));
  EXPECT_EQ(fs::path(Doc().GetPathName()).parent_path(), data_);
}

TEST_F(RawImportCommands, SingleImportRefusals) {
  struct Case {
    const char* name;
    std::function<void()> setup;
    std::optional<uint64_t> free_bytes;
    std::string want_message;
    int want_exit_code;
  };
  const std::string bad_path = (sd_ / "BAD.RAW").string();
  const std::vector<Case> cases = {
      {"no image on the card", [] {}, uint64_t{1} << 40, "In " + sd_.string() + " no RAW File was found !",
       20},
      // The free space is exactly one byte short of the image.
      {"image larger than the free space", [this] { WriteCard("CARD.RAW", "Brand"); },
       fs::file_size(WriteCard("SIZE.RAW", "Brand")) - 1, "Insufficient space in " + data_.string() + " !",
       20},
      {"free space unknown", [this] { WriteCard("CARD.RAW", "Brand"); }, std::nullopt,
       "Insufficient space in " + data_.string() + " !", 20},
      {"damaged image", [this] { WriteDamagedCard("BAD.RAW"); }, uint64_t{1} << 40,
       "RawFile " + bad_path + " not valid (Addr/Size)!", 22},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : fs::directory_iterator(sd_)) fs::remove(entry.path());
    c.setup();
    prompt_.ClearLog();
    AutomationInfo().SetExitCode(0);
    services_.free_space = [&c](const std::string&) { return c.free_bytes; };

    RunImportRawFileCommand(View(), services_);

    EXPECT_EQ(Messages(), std::vector<std::string>{c.want_message});
    EXPECT_EQ(AutomationInfo().GetExitCode(), c.want_exit_code);
    EXPECT_TRUE(DataFiles().empty()) << "nothing converted";
    EXPECT_TRUE(Doc().GetPathName().empty()) << "the document stays as it was";
  }
}

TEST_F(RawImportCommands, MultipleImportListsEachFileAndOpensTheLastGoodOne) {
  const std::string good = WriteCard("GOOD.RAW", "Brand");
  const std::string bad = WriteDamagedCard("BAD.RAW");
  const std::string other = WriteCard("OTHER.RAW", "Keller");
  prompt_.QueueFiles(std::vector<std::string>{good, bad, other});
  services_.free_space = [](const std::string&) { return std::optional<uint64_t>(0); };

  RunImportRawFilesCommand(View(), services_);

  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(prompt_.Log()[0].kind, "files");
  EXPECT_EQ(prompt_.Log()[0].caption, "Import multiple RAW SDCard files");
  EXPECT_EQ(shown_caption_, "Import multiple ZK-131 SD-Card Files - Results");
  EXPECT_EQ(shown_lines_, (std::vector<std::string>{
                              "File: " + good + " - imported",
                              "File: " + bad + " - Error : RawFile " + bad + " not valid (Addr/Size)!",
                              "File: " + other + " - imported"}));
  EXPECT_EQ(Doc().GetPatientData().surname, "Keller");
  EXPECT_EQ(DataFiles().size(), 4u) << "no free-space check";
}

TEST_F(RawImportCommands, MultipleImportCancelledDoesNothing) {
  WriteCard("GOOD.RAW", "Brand");
  for (const std::optional<std::vector<std::string>>& choice :
       {std::optional<std::vector<std::string>>(),
        std::optional<std::vector<std::string>>(std::vector<std::string>{})}) {
    prompt_.QueueFiles(choice);
    shown_caption_.clear();
    RunImportRawFilesCommand(View(), services_);
    EXPECT_TRUE(shown_caption_.empty());
    EXPECT_TRUE(DataFiles().empty());
  }
}

TEST_F(RawImportCommands, PatientDataQuestionForIncompleteNamesOutsideAutomation) {
  AddReadRecorderCommandResources(platform::Resources().ExePack());
  ASSERT_FALSE(platform::LoadString(33247).empty());
  struct Case {
    const char* name;
    std::string first_name;
    int ask_setting;
    bool want_question;
  };
  const std::vector<Case> cases = {
      {"complete patient data", "Lea", 1, false},
      {"first name missing", "", 1, true},
      {"first name missing, question off", "", 0, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().GetSettings().SetInt(SettingKey::kIOPortDoAskPatData, c.ask_setting);
    const std::string raw = WriteCard("Q.RAW", "Patient" + std::to_string(n++), c.first_name);
    prompt_.ClearLog();
    if (c.want_question) prompt_.QueueAnswer(win::kIdNo);
    std::string result;

    EXPECT_TRUE(ConvertRawFileAndOpen(View(), raw, result, services_)) << result;

    const std::vector<std::string> asked = Messages();
    EXPECT_EQ(asked.size(), c.want_question ? 1u : 0u);
    if (c.want_question && !asked.empty()) {
      EXPECT_EQ(asked[0], platform::LoadString(33247));
    }
  }
}

TEST_F(RawImportCommands, ImageOfTheOpenRecordingConvertsBackToTheSameSamples) {
  EXPECT_FALSE(IsRecordingRawFileEnabled(Doc())) << "no recording open";
  (void)WriteCard("CARD.RAW", "Brand");
  services_.free_space = [](const std::string&) { return std::optional<uint64_t>(uint64_t{1} << 40); };
  RunImportRawFileCommand(View(), services_);
  ASSERT_FALSE(Doc().GetPathName().empty());
  ASSERT_TRUE(IsRecordingRawFileEnabled(Doc()));
  const std::string cmp = document::ReplaceLastThree(Doc().GetPathName(), "cmp");
  const std::vector<uint8_t> samples = platform::ReadFileBytes(cmp);
  Doc().GetRecordingData().identity_text = "ZK-131 V1.30 777";
  const std::string image = (Folder("out") / "ZK131ECG.RAW").string();
  prompt_.QueueFile(image);
  prompt_.ClearLog();

  RunWriteRecordingRawFileCommand(View());

  ASSERT_EQ(prompt_.Log().size(), 2u);
  EXPECT_EQ(prompt_.Log()[0].kind, "file");
  EXPECT_EQ(prompt_.Log()[0].text, "ZK131ECG");
  EXPECT_EQ(prompt_.Log()[1].text, "Finished");
  fs::remove_all(data_);
  fs::create_directories(data_);
  std::string result;
  ASSERT_TRUE(ConvertRawFileAndOpen(View(), image, result, services_)) << result;
  EXPECT_EQ(platform::ReadFileBytes(document::ReplaceLastThree(Doc().GetPathName(), "cmp")), samples);
  EXPECT_EQ(Doc().GetRecordingData().identity_text, "ZK-131 V1.30 777");
  EXPECT_EQ(Doc().GetPatientData().surname, "Brand");
}

TEST_F(RawImportCommands, ImageOfTheOpenRecordingOnlyFromACardRecordersSampleFile) {
  const std::vector<std::vector<int16_t>> channels(
      2, std::vector<int16_t>(3 * testsupport::kSamplesPerMinute, 40));
  struct Case {
    const char* name;
    const char* extension;
    std::vector<uint8_t> samples;
    bool refused;
  };
  const Case kCases[] = {
      {"tape", "TAP", std::vector<uint8_t>(2 * 15000, 128), true},
      {"old compressed format", "CMP", testsupport::EncodeCmp(testsupport::CmpFormat::kOld, channels), true},
      {"new compressed format", "CMP", testsupport::EncodeCmp(testsupport::CmpFormat::kNew, channels), false},
  };
  int number = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string base = "0009" + std::to_string(number++);
    testsupport::WriteBytes(data_ / (base + "." + c.extension), c.samples);
    const fs::path qrs = data_ / (base + ".QRS");
    {
      platform::MemoryProfileStore profile;
      CZK470Doc writer(CZK470Doc::NoUserInterface{}, profile, clock_);
      ASSERT_TRUE(writer.OnSaveDocument(qrs.string()));
    }
    ASSERT_TRUE(app_->OpenDocumentFile(qrs.string()));
    Pump();
    prompt_.ClearLog();
    // The save dialog, when it comes, is cancelled (the script holds no file).

    RunWriteRecordingRawFileCommand(View());

    if (c.refused) {
      EXPECT_EQ(Messages(), std::vector<std::string>{
                                "Error: Can only create RAW-file when current file was taken by ZK-131"});
      EXPECT_EQ(prompt_.Log().size(), 1u) << "no save dialog";
    } else {
      ASSERT_EQ(prompt_.Log().size(), 1u);
      EXPECT_EQ(prompt_.Log()[0].kind, "file");
      EXPECT_TRUE(Messages().empty());
    }
    EXPECT_FALSE(platform::Resources().ExeResourcesChosen()) << "the language resources are current again";
    EXPECT_EQ(Doc().GetPathName(), qrs.string()) << "the recording stays open";
  }
}

TEST_F(RawImportCommands, DisabledWhileTheOnlineMonitorIsShown) {
  for (const DisplayMode mode : {DisplayMode::kNone, DisplayMode::kOnlineEcg}) {
    Doc().SetDisplayMode(mode);
    EXPECT_EQ(IsRawImportEnabled(Doc()), mode != DisplayMode::kOnlineEcg);
  }
}

}  // namespace
