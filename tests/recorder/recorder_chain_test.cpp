// The recorder subsystem end to end in the running program: one simulated card recorder is
// prepared, watched live, programmed and read back, and its card image converts to the same
// recording as the read-out over the link.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/read_recorder_command.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/date_time_text.h"
#include "dialogs/patient_property_page.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_prompt_dlgs.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "platform/archive.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "recorder/raw/raw_converter.h"
#include "recorder/read_recorder_dlg.h"
#include "recorder/recorder_area.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_programmer.h"
#include "recorder/recorder_search.h"
#include "support/recorder_sim.h"
#include "views/online_ecg_area.h"
#include "views/online_panel.h"
#include "win/controls.h"

namespace {

namespace fs = std::filesystem;

constexpr int kZK131 = TRecorderProtocol::kKindZK131;

platform::OleDateTime Date(int year, int month, int day) {
  return document::ToOleDateTime({year, month, day, 0, 0, 0, 0});
}

// The patient the user types into the sheet.
struct SheetPatient {
  std::string last_name = "Brand";
  std::string first_name = "Lea";
  std::string patient_id = "P-17";
  std::string address = "Hauptstr. 1";
  std::string phone = "0123 456";
  std::string station = "K3";
  platform::OleDateTime birth_date = Date(1950, 6, 15);
  int sex = 1;
};

std::vector<uint8_t> FileBytes(const fs::path& path) { return platform::ReadFileBytes(path.string()); }

fs::path SampleFile(const std::string& recording) { return fs::path(recording).replace_extension(".cmp"); }

class RecorderChain : public coretest::ZK470ViewTest {
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
    Doc().GetSettings().SetInt(SettingKey::kIOPortDoAskPatData, 0);
    AddReadRecorderResources(platform::Resources().ExePack());
    AddReadRecorderCommandResources(platform::Resources().ExePack());
    on_idle_ = [this](win::Window* modal) { return Idle(modal); };
  }
  void TearDown() override {
    sim_.reset();
    recorder::SetRecorderSearchUi(nullptr);
    recorder::SetClock(nullptr);
    recorder::Environment() = saved_environment_;
    AutomationInfo().Reset();
    ZK470ViewTest::TearDown();
  }

  void StartRecorder(recsim::SimConfig config) {
    sim_ = std::make_unique<recsim::PtyRecorder>(std::move(config));
    recorder::Environment().probe_names = {sim_->DevicePath()};
  }

  // Answers the modal windows of the chain as a user would; the read-out dialog waits for its
  // worker.
  bool Idle(win::Window* modal) {
    if (auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal)) {
      shown_.push_back("sheet");
      win::Window* address = sheet->GetActivePage()->GetDlgItem(CPatientPropertyPage::kAddressId);
      address_enabled_ = address != nullptr && address->IsWindowEnabled();
      if (!fill_sheet_) {
        sheet->PressButton(win::kIdCancel);
        return true;
      }
      FillSheet(*sheet);
      sheet->PressButton(win::kIdOk);
      return true;
    }
    if (auto* length = dynamic_cast<TRecordingLengthDlg*>(modal)) {
      shown_.push_back("length");
      Click(*length, TRecordingLengthDlg::kLengthId + length_choice_);
      Click(*length, win::kIdOk);
      return true;
    }
    if (auto* prompt = dynamic_cast<TRecordingPromptDlg*>(modal)) {
      shown_.push_back("prompt");
      Click(*prompt, win::kIdOk);
      return true;
    }
    if (dynamic_cast<TReadRecorderDlg*>(modal) != nullptr)
      return platform::UiThreadQueue().WaitAndPump(20) > 0;
    return false;
  }
  static void Click(win::Window& dialog, int id) {
    auto* button = dynamic_cast<win::Button*>(dialog.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->Click();
  }
  void FillSheet(CPatientPropertySheet& sheet) {
    win::Window* page = sheet.GetActivePage();
    ASSERT_NE(page, nullptr);
    const auto type = [page](int id, const std::string& text) {
      auto* edit = dynamic_cast<win::Edit*>(page->GetDlgItem(id));
      ASSERT_NE(edit, nullptr) << id;
      edit->SetTextFromUser(text);
    };
    type(CPatientPropertyPage::kLastNameId, patient_.last_name);
    type(CPatientPropertyPage::kFirstNameId, patient_.first_name);
    type(CPatientPropertyPage::kPatientIdId, patient_.patient_id);
    type(CPatientPropertyPage::kAddressId, patient_.address);
    type(CPatientPropertyPage::kPhoneId, patient_.phone);
    type(CPatientPropertyPage::kStationId, patient_.station);
    type(CPatientPropertyPage::kBirthDateId,
         dialogs::FormatDateText(patient_.birth_date, dialogs::DialogLocale()));
    auto* sex = dynamic_cast<win::ComboBox*>(page->GetDlgItem(CPatientPropertyPage::kSexId));
    ASSERT_NE(sex, nullptr);
    sex->SetCurSel(patient_.sex);
  }

  // The online screen's recorder area and one window-timer period of it.
  CRecorderArea* Area() {
    CViewAreaConfig* screen = View().GetSelector()->GetCurrent()->GetChild(0);
    CViewAreaConfig* node = screen != nullptr ? screen->GetChild(1) : nullptr;
    return node != nullptr ? dynamic_cast<CRecorderArea*>(node->GetArea()) : nullptr;
  }
  void Tick(int ms = CRecorderArea::kPollMs) {
    recorder::Clock().SleepMs(ms);
    clock_.Advance(ms);
    win::Windows().RunPending();
  }

  std::vector<std::string> DataFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(data_))
      if (entry.path().extension() != ".BAK") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  recorder::ScaledRecorderClock recorder_clock_{25};
  recorder::LinkEnvironment saved_environment_;
  recorder::ScriptedRecorderSearchUi search_ui_;
  std::unique_ptr<recsim::PtyRecorder> sim_;
  fs::path data_;
  fs::path work_;
  SheetPatient patient_;
  int length_choice_ = 2;  // 72 hours
  bool fill_sheet_ = true;
  std::optional<bool> address_enabled_;
  std::vector<std::string> shown_;
};

TEST_F(RecorderChain, NewRecordingIsWatchedProgrammedAndReadBack) {
  StartRecorder(recsim::SimConfig::WithSyntheticEcg(kZK131, 1));
  const std::vector<uint8_t> ecg = sim_->Model().Config().ecg;

  // File New: the search finds the recorder, the user fills the sheet, chooses 72 hours, confirms.
  ASSERT_EQ(Doc().NewRecording(0), 1);
  Pump();
  EXPECT_EQ(shown_, (std::vector<std::string>{"sheet", "length", "prompt"}));
  ASSERT_EQ(Doc().GetDisplayMode(), DisplayMode::kOnlineEcg);
  EXPECT_EQ(Doc().GetRecordingData().programmed_length, 72);
  EXPECT_EQ(Doc().GetPatientData().surname, patient_.last_name);
  // The panel beside the sweeps shows the card recorder that the search found.
  EXPECT_EQ(GetOnlineRecorder().channel_count, 3);
  EXPECT_EQ(GetOnlineRecorder().recorder_type, kZK131);

  // The recorder area of the three-channel screen streams the monitor into its sweeps.
  CRecorderArea* area = Area();
  ASSERT_NE(area, nullptr);
  ASSERT_TRUE(area->IsLinkOpen());
  Tick(CRecorderArea::kStartDelayMs);
  ASSERT_TRUE(area->IsMonitoring());
  ASSERT_TRUE(sim_->WaitForCommand(recsim::kStartStreamWord));
  ASSERT_EQ(area->GetChannelCount(), 3);
  // Under load the stream can lag behind the polls: tick on (bounded) until every sweep has run.
  const auto streamed = [&] {
    if (area->GetEmptyPolls() > 0) return false;
    for (int c = 0; c < 3; ++c)
      if (area->GetSweepArea(c) == nullptr || area->GetSweepArea(c)->GetSweepPos() <= 50) return false;
    return true;
  };
  for (int i = 0; i < 40; ++i) Tick();
  for (int i = 0; i < 400 && !streamed(); ++i) Tick();
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(c);
    const COnlineECGArea* sweep = area->GetSweepArea(c);
    ASSERT_NE(sweep, nullptr);
    EXPECT_GT(sweep->GetSweepPos(), 50);
    const auto& points = sweep->GetPoints();
    EXPECT_TRUE(std::any_of(points.begin(), points.begin() + sweep->GetSweepPos(),
                            [&](const gfx::Point& p) { return p.y != sweep->GetBaseline(); }));
  }

  // The panel's start button programs the recorder and leaves the screen.
  const platform::LocalDateTime programmed_at = clock_.Now();
  Doc().UpdateAllViews(nullptr, hint::kArea1143);
  ASSERT_TRUE(sim_->WaitForCommand("RECStat"));
  Pump();
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kNone);
  {
    auto lock = sim_->Lock();
    const recsim::RecorderModel& model = sim_->Model();
    EXPECT_TRUE(model.Recording());
    EXPECT_EQ(model.RecLenHours(), std::optional<int>(72));
    const TPatientBlockFields p = TRecorderBlocks::UnpackPatientBlock(model.PatientBlock(), clock_);
    EXPECT_EQ(p.last_name, patient_.last_name);
    EXPECT_EQ(p.first_name, patient_.first_name);
    EXPECT_EQ(p.pat_nr, patient_.patient_id);
    EXPECT_EQ(p.date_of_birth.days, patient_.birth_date.days);
    EXPECT_EQ(p.sex, patient_.sex);
    const std::optional<TRecorderBlocks::Block> flex =
        model.FlexBlock(TRecorderProgrammer::kAddressBlockNumber);
    ASSERT_TRUE(flex.has_value());
    const TAddressBlockFields a =
        TRecorderBlocks::UnpackAddressBlock(TRecorderProgrammer::kFileVersion, *flex);
    EXPECT_EQ(a.address, patient_.address);
    EXPECT_EQ(a.fon, patient_.phone);
    EXPECT_EQ(a.station, patient_.station);
    const TRecordingBlockFields r = TRecorderBlocks::UnpackRecordingBlock(model.RecordingBlock(), clock_);
    EXPECT_EQ(r.recording_date.days, Date(programmed_at.year, programmed_at.month, programmed_at.day).days);
    EXPECT_EQ(r.dev_type, "ZK-131");
    EXPECT_EQ(r.dev_version, "V1.20");
  }

  // The read command reads the programmed recording back.
  AutomationInfo().SetExitCode(99);
  RunReadRecorderCommand(View());
  ASSERT_EQ(AutomationInfo().GetExitCode(), 0);
  const std::string first = Doc().GetPathName();
  ASSERT_EQ(fs::path(first).parent_path(), data_);
  const TPatientData& read = Doc().GetPatientData();
  EXPECT_EQ(read.surname, patient_.last_name);
  EXPECT_EQ(read.first_name, patient_.first_name);
  EXPECT_EQ(read.patient_id, patient_.patient_id);
  EXPECT_EQ(read.birth_date.days, patient_.birth_date.days);
  EXPECT_EQ(read.sex, patient_.sex);
  EXPECT_EQ(read.address, patient_.address);
  EXPECT_EQ(read.telephone, patient_.phone);
  EXPECT_EQ(read.station, patient_.station);
  EXPECT_EQ(Doc().GetRecordingData().start_date.days,
            Date(programmed_at.year, programmed_at.month, programmed_at.day).days);
  EXPECT_TRUE(FileBytes(SampleFile(first)) == ecg) << "the sample file is the recorder's ECG";

  // A second read-out of the same recording opens the first one.
  const std::vector<std::string> files = DataFiles();
  Doc().ResetToUntitled();
  AutomationInfo().SetExitCode(99);
  RunReadRecorderCommand(View());
  EXPECT_EQ(AutomationInfo().GetExitCode(), 0);
  EXPECT_EQ(Doc().GetPathName(), first);
  EXPECT_EQ(DataFiles(), files);
}

TEST_F(RecorderChain, SheetOffersAddressPhoneAndStationOnlyToARecorderThatStoresThem) {
  struct Case {
    const char* name;
    int kind;
    const char* version;
    bool want_enabled;
  };
  const Case cases[] = {
      {"ZK-131 firmware 1.20", kZK131, "V1.20", true},
      {"ZK-131 firmware 1.10", kZK131, "V1.10", false},
      {"ZK-130", TRecorderProtocol::kKindZK130, "", false},
  };
  fill_sheet_ = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recsim::SimConfig config = recsim::SimConfig::ForKind(c.kind);
    config.version = c.version;
    config.ecg.assign(2000, 0x40);
    StartRecorder(config);
    address_enabled_.reset();
    ASSERT_EQ(Doc().NewRecording(0), 1);
    EXPECT_EQ(address_enabled_, std::optional<bool>(c.want_enabled));
    sim_.reset();
  }
}

TEST_F(RecorderChain, CardImageConvertsToTheRecordingTheLinkReadsOut) {
  recsim::SimConfig config = recsim::SimConfig::WithSyntheticEcg(kZK131, 2, 7);
  TPatientBlockFields patient;
  patient.pat_nr = "P-17";
  patient.last_name = "Brand";
  patient.first_name = "Lea";
  patient.date_of_birth = Date(1950, 6, 15);
  patient.sex = 1;
  patient.height = 168;
  patient.weight = 61;
  config.patient_block = TRecorderBlocks::PackPatientBlock(patient);
  TRecordingBlockFields recording;
  recording.recording_date = Date(2004, 12, 8);
  recording.recording_time = document::OleTimeOnly({2004, 12, 8, 14, 30, 0, 0});
  recording.dev_type = config.TypeText();
  recording.dev_version = config.version;
  recording.dev_serial = config.serial;
  config.recording_block = TRecorderBlocks::PackRecordingBlock(recording);
  const fs::path image = Folder("sd") / "ZK131ECG.RAW";
  recsim::WriteCardImage(config, image);
  StartRecorder(config);

  RunReadRecorderCommand(View());
  ASSERT_EQ(AutomationInfo().GetExitCode(), 0);
  const std::string read_out = Doc().GetPathName();
  ASSERT_FALSE(read_out.empty());
  const TPatientData read_patient = Doc().GetPatientData();
  const TRecordingData read_recording = Doc().GetRecordingData();
  EXPECT_EQ(read_patient.surname, "Brand");
  // The simulator's address block took the way through both paths.
  EXPECT_FALSE(read_patient.address.empty());

  // The same recording from the card, into a folder of its own so that the names do not meet.
  Doc().ResetToUntitled();
  Doc().SetDataDirectory(Folder("from_card").string());
  const recorder::RawConvertResult converted = recorder::ConvertRawFile(Doc(), image.string());
  ASSERT_TRUE(converted.ok()) << converted.message;
  EXPECT_EQ(fs::path(converted.recording_path).filename(), fs::path(read_out).filename());
  EXPECT_TRUE(FileBytes(SampleFile(converted.recording_path)) == FileBytes(SampleFile(read_out)));
  EXPECT_TRUE(FileBytes(SampleFile(converted.recording_path)) == config.ecg);
  ASSERT_TRUE(app_->OpenDocumentFile(converted.recording_path));
  EXPECT_EQ(Doc().GetPatientData(), read_patient);
  EXPECT_EQ(Doc().GetRecordingData(), read_recording);
}

}  // namespace
