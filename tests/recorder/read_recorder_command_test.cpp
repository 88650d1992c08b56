#include "core/read_recorder_command.h"

#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/automation_command_line_info.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/patient_property_sheet.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "recorder/read_recorder_dlg.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "support/recorder_sim.h"
#include "support/screen_golden.h"
#include "win/command_target.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAskPatientData = 33247;
constexpr const char* kBrandLea = "Brand Lea 08-12-2004 14-30 -----";

// A ZK-131 holding one minute of Lea Brand's recording, started on 8 December 2004 at 14:30, with
// every patient field the question looks at; an unreadable birth date on request.
recsim::SimConfig BrandLea(bool birth_date_unreadable = false) {
  recsim::SimConfig config = recsim::SimConfig::WithSyntheticEcg(TRecorderProtocol::kKindZK131, 1);
  TPatientBlockFields patient;
  patient.pat_nr = "P-17";
  patient.last_name = "Brand";
  patient.first_name = "Lea";
  patient.date_of_birth = document::OleDateOnly({1950, 6, 15});
  patient.sex = 1;
  config.patient_block = TRecorderBlocks::PackPatientBlock(patient);
  if (birth_date_unreadable) {
    auto& block = config.patient_block;
    const std::string written = "19500615";
    const auto at = std::search(block.begin(), block.end(), written.begin(), written.end());
    EXPECT_NE(at, block.end());
    if (at != block.end()) std::fill_n(at, written.size(), '0');
  }
  TRecordingBlockFields recording;
  recording.recording_date = document::OleDateOnly({2004, 12, 8});
  recording.recording_time = document::OleTimeOnly({2004, 12, 8, 14, 30, 0, 0});
  recording.dev_type = config.TypeText();
  recording.dev_version = config.version;
  recording.dev_serial = config.serial;
  config.recording_block = TRecorderBlocks::PackRecordingBlock(recording);
  return config;
}

// The program with its main view, a simulated recorder found by the real device search on a
// pseudo-terminal, and the recorder's waits scaled down.
class ReadRecorderCommand : public coretest::ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    saved_environment_ = recorder::Environment();
    recorder::SetClock(&recorder_clock_);
    recorder::SetRecorderSearchUi(&search_ui_);
    recorder::Environment().sysfs_root = Folder("sys").string();
    data_ = Folder("data");
    work_ = Folder("work");
    Doc().SetDataDirectory(data_.string());
    Doc().SetWorkDirectory(work_.string());
    Doc().GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
    AddReadRecorderResources(platform::Resources().ExePack());
    AddReadRecorderCommandResources(platform::Resources().ExePack());
    on_idle_ = [this](win::Window* modal) { return Idle(modal); };
  }
  void TearDown() override {
    recorder::SetRecorderSearchUi(nullptr);
    recorder::SetClock(nullptr);
    recorder::Environment() = saved_environment_;
    AutomationInfo().Reset();
    ZK470ViewTest::TearDown();
  }

  // The read-out dialog waits for its worker; the patient sheet is only noted and closed.
  bool Idle(win::Window* modal) {
    if (auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal)) {
      ++sheets_shown_;
      sheet->EndDialog(win::kIdCancel);
      return true;
    }
    if (auto* dialog = dynamic_cast<TReadRecorderDlg*>(modal)) {
      read_dialog_ = dialog;
      return platform::UiThreadQueue().WaitAndPump(20) > 0;
    }
    return false;
  }

  void Use(recsim::PtyRecorder& sim) { recorder::Environment().probe_names = {sim.DevicePath()}; }

  std::vector<std::string> Questions() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message" && asked.text == platform::LoadString(kAskPatientData))
        texts.push_back(asked.text);
    return texts;
  }

  static std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  recorder::ScaledRecorderClock recorder_clock_{100};
  recorder::LinkEnvironment saved_environment_;
  recorder::ScriptedRecorderSearchUi search_ui_;
  fs::path data_;
  fs::path work_;
  int sheets_shown_ = 0;
  // The read-out dialog while its modal loop runs.
  TReadRecorderDlg* read_dialog_ = nullptr;
};

TEST_F(ReadRecorderCommand, OpensTheNewRecordingAndAsksForMissingPatientDataOnlyWhenSet) {
  struct Case {
    const char* name;
    bool birth_date_unreadable;
    int ask_setting;
    bool automation;
    std::optional<int> answer;  // the question is asked exactly when an answer is given
    int want_sheets;
  };
  const Case cases[] = {
      {"complete patient", false, 1, false, std::nullopt, 0},
      {"birth date missing, Yes", true, 1, false, win::kIdYes, 1},
      {"birth date missing, No", true, 1, false, win::kIdNo, 0},
      {"birth date missing, question off", true, 0, false, std::nullopt, 0},
      {"birth date missing, automation run", true, 1, true, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : fs::directory_iterator(data_)) fs::remove(entry.path());
    Doc().ResetToUntitled();
    Doc().GetSettings().SetInt(SettingKey::kIOPortDoAskPatData, c.ask_setting);
    AutomationInfo().Reset();
    if (c.automation)
      AutomationInfo().ParseCommandLine(std::vector<std::string>{"/ReqZK131USBRecording", "1"});
    ASSERT_EQ(AutomationInfo().IsCommandComplete(), c.automation);
    AutomationInfo().SetExitCode(99);
    recsim::PtyRecorder sim(BrandLea(c.birth_date_unreadable));
    Use(sim);
    prompt_.ClearLog();
    if (c.answer) prompt_.QueueAnswer(*c.answer);
    sheets_shown_ = 0;

    RunReadRecorderCommand(View());

    EXPECT_EQ(AutomationInfo().GetExitCode(), 0);
    EXPECT_EQ(fs::path(Doc().GetPathName()).parent_path(), data_);
    EXPECT_EQ(Doc().GetPatientData().surname, "Brand");
    EXPECT_EQ(Doc().GetPatientData().birth_date.status != 0, c.birth_date_unreadable);
    EXPECT_EQ(Questions().size(), c.answer ? 1u : 0u);
    EXPECT_EQ(sheets_shown_, c.want_sheets);
    EXPECT_EQ(Listing(work_), std::vector<std::string>{});
  }
}

TEST_F(ReadRecorderCommand, OpensTheRecordingAlreadyInTheDataDirectory) {
  recsim::PtyRecorder sim(BrandLea());
  Use(sim);
  RunReadRecorderCommand(View());
  ASSERT_EQ(AutomationInfo().GetExitCode(), 0);
  const std::string first = Doc().GetPathName();
  ASSERT_FALSE(first.empty());
  const std::vector<std::string> before = Listing(data_);
  Doc().ResetToUntitled();

  AutomationInfo().SetExitCode(99);
  RunReadRecorderCommand(View());

  EXPECT_EQ(AutomationInfo().GetExitCode(), 0);
  EXPECT_EQ(Doc().GetPathName(), first);
  EXPECT_EQ(Listing(data_), before);
  EXPECT_TRUE(Listing(work_).empty());
}

TEST_F(ReadRecorderCommand, CancelledOrFailedReadOutsSetTwentyAndLeaveNoWorkFiles) {
  struct Case {
    const char* name;
    std::function<void(recsim::SimConfig&)> change;
    bool recorder_present;
  };
  const Case cases[] = {
      {"no recorder found", [](recsim::SimConfig&) {}, false},
      {"stream breaks off", [](recsim::SimConfig& config) { config.faults.cut_stream_after = 250; }, true},
      {"communication error, Cancel",
       [](recsim::SimConfig& config) { config.faults.silent_word = "GetRecDat"; }, true},
  };
  Doc().GetSettings().SetInt(SettingKey::kIOPortDoAskPatData, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recsim::SimConfig config = BrandLea(true);
    c.change(config);
    recsim::PtyRecorder sim(config);
    recorder::Environment().probe_names = {c.recorder_present ? sim.DevicePath() : "/nonexistent/ttyUSB9"};
    AutomationInfo().SetExitCode(99);
    prompt_.ClearLog();

    RunReadRecorderCommand(View());

    EXPECT_EQ(AutomationInfo().GetExitCode(), 20);
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_TRUE(Listing(data_).empty());
    EXPECT_EQ(Listing(work_), std::vector<std::string>{});
    EXPECT_EQ(Doc().GetWorkFileName(6), "");
    EXPECT_EQ(Doc().GetWorkFileName(7), "");
    EXPECT_TRUE(Questions().empty());
  }
}

TEST_F(ReadRecorderCommand, ReadCommandsAreDisabledOnlyOnTheMonitorScreen) {
  for (const int id : {cmd::kReadRecorder, cmd::kReadTape}) {
    for (int mode = 0; mode <= 17; ++mode) {
      SCOPED_TRACE(testing::Message() << "command " << id << ", mode " << mode);
      Doc().SetDisplayMode(static_cast<DisplayMode>(mode));
      win::CmdUI ui(id);
      UpdateReadRecorderCommand(Doc(), ui);
      EXPECT_EQ(ui.Enabled(), std::optional<bool>(mode != 5));
    }
  }
}

TEST_F(ReadRecorderCommand, FreeDiskSpaceNeedsADataDirectoryLongerThanADriveLetter) {
  struct Case {
    const char* name;
    std::string folder;
    uint32_t minimum;
    bool want;
  };
  const Case cases[] = {
      {"drive letter and colon", "C:", 0, false},
      {"one character", "/", 0, false},
      {"empty", "", 0, false},
      {"real folder, nothing needed", data_.string(), 0, true},
      {"missing folder", (data_ / "missing").string(), 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().SetDataDirectory(c.folder);
    EXPECT_EQ(HasFreeDiskSpace(Doc(), c.minimum), c.want);
  }
}

// The read-out dialog as it stands while the worker waits for the user after a failed query:
// no transfer has begun, so the picture does not depend on timing.
class ReadOutDialogPicture : public recorder::ScriptedRecorderSearchUi {
 public:
  ReadOutDialogPicture(TReadRecorderDlg* const& dialog, std::function<void(TReadRecorderDlg&)> look)
      : dialog_(dialog), look_(std::move(look)) {}
  bool AskRetryAfterCommError() override {
    if (dialog_ != nullptr) {
      win::Windows().RunPending();
      look_(*dialog_);
      ++looked;
    }
    return false;
  }
  int looked = 0;

 private:
  TReadRecorderDlg* const& dialog_;
  std::function<void(TReadRecorderDlg&)> look_;
};

TEST_F(ReadRecorderCommand, GoldenDisplayListOfTheReadOutDialog) {
  platform::ResourcePack german("ZK470Ger");
  AddReadRecorderResources(german);
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    recsim::SimConfig config = BrandLea();
    config.faults.silent_word = "GetPatDat";
    recsim::PtyRecorder sim(config);
    Use(sim);
    read_dialog_ = nullptr;
    ReadOutDialogPicture picture(read_dialog_, [&](TReadRecorderDlg& dialog) {
      // The template is the program's own in every language.
      testsupport::ExpectScreenGolden("recorder", "read_recorder", testsupport::RecordedScreen(dialog));
    });
    recorder::SetRecorderSearchUi(&picture);
    RunReadRecorderCommand(View());
    recorder::SetRecorderSearchUi(&search_ui_);
    EXPECT_EQ(picture.looked, 1);
    EXPECT_EQ(AutomationInfo().GetExitCode(), 20);
  }
  platform::Resources().SetLanguagePack(nullptr);
}

// The C library's own "%c" of the file's instant in a fixed zone with summer time.
class FileTimeText : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) saved_tz_ = tz;
    saved_locale_ = std::setlocale(LC_TIME, nullptr);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    std::setlocale(LC_TIME, "C");
  }
  void TearDown() override {
    if (saved_tz_)
      ::setenv("TZ", saved_tz_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
    std::setlocale(LC_TIME, saved_locale_.c_str());
  }

  std::optional<std::string> saved_tz_;
  std::string saved_locale_;
};

TEST_F(FileTimeText, IsTheFilesOwnInstantInLocalTime) {
  using namespace std::chrono;
  struct Case {
    const char* name;
    sys_time<milliseconds> utc;
    const char* want;
  };
  const Case cases[] = {
      {"winter, odd second", sys_days{2004y / December / 8} + 13h + 30min + 5s, "Wed Dec  8 14:30:05 2004"},
      {"summer time", sys_days{2004y / July / 1} + 12h + 59min + 59s, "Thu Jul  1 14:59:59 2004"},
      {"last second before the clocks go back", sys_days{2024y / October / 27} + 59min + 59s,
       "Sun Oct 27 02:59:59 2024"},
      {"first second after", sys_days{2024y / October / 27} + 1h, "Sun Oct 27 02:00:00 2024"},
      {"fraction cut, not rounded", sys_days{2004y / December / 8} + 13h + 30min + 5999ms,
       "Wed Dec  8 14:30:05 2004"},
      {"before the DOS era", sys_days{1970y / January / 1} - 500ms, "Thu Jan  1 00:59:59 1970"},
      {"after the DOS era", sys_days{2110y / March / 1}, "Sat Mar  1 01:00:00 2110"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto file_time = file_clock::from_sys(c.utc);
    EXPECT_EQ(FormatFileTime(time_point_cast<fs::file_time_type::duration>(file_time)), c.want);
  }
}

}  // namespace
