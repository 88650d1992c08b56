#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "document/document_context.h"
#include "document/raw_ecg_data.h"
#include "document/record_format.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/io_error.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/raw/raw_image.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "recorder/service/raw_data_test_dlg.h"
#include "recorder/service/recorder_test_dlg.h"
#include "recorder/service/service_dialog_ui.h"
#include "recorder/service/service_resources.h"
#include "recorder/service/service_test_data.h"
#include "recorder/service/usb_test_dlg.h"
#include "recorder/service/zk131_test_dlg.h"
#include "support/recorder_sim.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "win/controls.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes AsBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Answers the service dialogs' questions from queues and records them.
class ScriptedServiceUi : public recorder::ServiceDialogUi {
 public:
  std::optional<int> ChooseItem(const std::string& title, const std::string& text,
                                const std::vector<std::string>& items) override {
    std::string asked = "choose " + title + " / " + text + ":";
    for (const std::string& item : items) asked += " [" + item + "]";
    asked_.push_back(asked);
    if (choices_.empty()) return std::nullopt;
    const std::optional<int> choice = choices_.front();
    choices_.pop_front();
    return choice;
  }
  bool AskRetryAfterCommError() override {
    asked_.push_back("comm error");
    if (retries_.empty()) return false;
    const bool retry = retries_.front();
    retries_.pop_front();
    return retry;
  }
  std::deque<std::optional<int>> choices_;
  std::deque<bool> retries_;
  std::vector<std::string> asked_;
};

// A link whose every answer the test writes: what each send or query gets back, and the bytes the
// link then holds as received. Sends without a scripted reply are echoed and succeed.
class ScriptedLink : public recorder::RecorderLink {
 public:
  struct Reply {
    int result = 1;
    Bytes answer;
    std::optional<Bytes> received;  // default: the echo of what was sent
  };

  bool Open(uint32_t, const std::string&) override { return open_ = true; }
  bool IsOpen() const override { return open_; }
  const std::string& Error() const override { return error_; }
  int SendText(std::span<const uint8_t> text, bool, int) override { return Next(text).result; }
  int SendBytes(std::span<const uint8_t> bytes, size_t header_len, size_t, bool, int) override {
    Reply reply = Next(bytes);
    if (!reply.received) Hold(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(header_len)));
    return reply.result;
  }
  int Query(std::span<const uint8_t> command, size_t, std::vector<uint8_t>& answer, int) override {
    const Reply reply = Next(command);
    answer = reply.answer;
    return reply.result;
  }
  void Reset() override { ++resets; }
  void SetMode(uint8_t) override {}
  int EnableTransfer(bool) override { return 1; }
  int ReadBlock() override { return 0; }
  int Read(bool) override {
    Hold({});
    return 0;
  }
  int Detect(std::vector<recorder::DetectedDevice>&, int, bool) override { return 0; }

  std::deque<Reply> replies;
  std::vector<Bytes> sent;
  int resets = 0;
  std::function<void()> on_send;

 private:
  Reply Next(std::span<const uint8_t> bytes) {
    sent.emplace_back(bytes.begin(), bytes.end());
    if (on_send) on_send();
    Reply reply;
    if (!replies.empty()) {
      reply = replies.front();
      replies.pop_front();
    }
    Hold(reply.received ? *reply.received : sent.back());
    return reply;
  }
  // Received() may hold more than one read ever does: the log must still stay bounded.
  void Hold(const Bytes& bytes) {
    if (bytes.size() > received_.size()) received_.resize(bytes.size());
    std::copy(bytes.begin(), bytes.end(), received_.begin());
    received_count_ = bytes.size();
  }

  bool open_ = true;
  std::string error_;
};

class RecorderServiceTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    document::Context().Reset();
    AddRecorderServiceResources(platform::Resources().ExePack());
    recorder::AddRecorderSearchResources(platform::Resources().ExePack());
    saved_environment_ = recorder::Environment();
    dir_ = testsupport::MakeTestDir("recorder_service");
    recorder::Environment().probe_names = {};
    recorder::Environment().sysfs_root = (dir_ / "no-sysfs").string();
    recorder::SetClock(&fast_);
    clock_.Set({2026, 3, 5, 9, 30, 0, 0});
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    recorder::SetClock(nullptr);
    recorder::Environment() = saved_environment_;
    document::Context().Reset();
    WinTest::TearDown();
  }

  // Opens the dialog, runs body while it is up, then closes it.
  void WithDialog(win::Dialog& dialog, const std::function<void()>& body) {
    DriveModal({[&](win::Window*) {
      win::Windows().RunPending();
      body();
      dialog.EndDialog(win::kIdOk);
    }});
    dialog.DoModal();
  }

  static std::vector<std::string> LogLines(TServiceTestDlg& dialog) {
    return Lines(dialog.Log().GetWindowText());
  }

  recorder::ScaledRecorderClock fast_{25};  // slow enough for a loaded machine
  platform::ManualClock clock_;
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  ScriptedServiceUi ui_;
  win::Window main_;
  std::unique_ptr<CZK470Doc> doc_;
  fs::path dir_;

 private:
  recorder::LinkEnvironment saved_environment_;
};

// --- The command tester ---

TEST_F(RecorderServiceTest, CommandTesterLogsASessionByteForByte) {
  TZK131TestDlg dialog(*doc_, ui_, locale_, &main_);
  auto owned = std::make_unique<ScriptedLink>();
  ScriptedLink& link = *owned;
  const Bytes long_stream(3000, 0x41);
  // Reset echoed; battery 40 h; the ECG length query whose link holds a long stream; voice events
  // arriving beyond what a log shows; a refused echo without confirmation; the recording length.
  link.replies = {
      {},
      {0, {0x00, 0x28}, AsBytes("BATStat\r\x00\x28")},
      {0, {0x00, 0x01, 0x00, 0x00}, long_stream},
      {1, {}, long_stream},
      {0, {}, Bytes{}},
      {},
  };
  ui_.choices_ = {4};
  WithDialog(dialog, [&] {
    dialog.Session().Adopt(std::move(owned));
    dialog.RunCommand(1412);
    dialog.RunCommand(1442);
    dialog.RunCommand(1451);
    dialog.RunCommand(1434);
    dialog.Item<win::Button>(TZK131TestDlg::kConfirmId)->SetCheck(0);
    dialog.RunCommand(1419);
    dialog.RunCommand(1454);
    const std::vector<std::string> lines = LogLines(dialog);
    testsupport::ExpectScreenGolden("recorder", "command_tester_session", lines);

    EXPECT_TRUE(Has(lines, "BatteryLife: 40 h"));
    EXPECT_TRUE(Has(lines, "ECGlen: 65536 Bytes"));
    // Both long inputs are cut to 2048 bytes: 128 dump lines after the note.
    const auto note = std::find(lines.begin(), lines.end(), "Only showing first 2048 bytes.....");
    ASSERT_NE(note, lines.end());
    EXPECT_EQ(note[1], "In: 3000 bytes");
    EXPECT_TRUE(note[129].starts_with("07F0: "));
    EXPECT_FALSE(note[130].starts_with("0800: "));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Only showing first 2048 bytes....."), 2);
    EXPECT_TRUE(Has(lines, "ExMON (ZK-130/131) command - OK"));
    // "99 (error) ?" goes out as 99, big-endian.
    EXPECT_EQ(link.sent.back(), AsBytes(std::string("SetRecLen\r\x00\x63", 12)));
    EXPECT_TRUE(Has(lines, "0000: 53 65 74 52 65 63 4c 65 6e 0d 00 63              SetRecLen..c    "));
  });
  ASSERT_EQ(ui_.asked_.size(), 1u);
  EXPECT_EQ(ui_.asked_[0],
            "choose Hours / Command SetRecLen ....: [24] [48] [72] [23 (error) ?] [99 (error) ?]");
}

TEST_F(RecorderServiceTest, CommandTesterDisablesEveryOtherControlWhileAnOperationRuns) {
  TZK131TestDlg dialog(*doc_, ui_, locale_, &main_);
  auto owned = std::make_unique<ScriptedLink>();
  ScriptedLink& link = *owned;
  std::vector<int> enabled_during;
  std::vector<int> disabled_after;
  link.on_send = [&] {
    for (const win::Window* child : dialog.Children())
      if (child->GetDlgCtrlID() > 0 && child->IsWindowEnabled())
        enabled_during.push_back(child->GetDlgCtrlID());
  };
  WithDialog(dialog, [&] {
    dialog.Session().Adopt(std::move(owned));
    dialog.Item<win::Button>(1421)->Click();
    for (const win::Window* child : dialog.Children())
      if (child->GetDlgCtrlID() > 0 && !child->IsWindowEnabled())
        disabled_after.push_back(child->GetDlgCtrlID());
  });
  // Only the pressed button and the log stay usable meanwhile; afterwards all are again.
  EXPECT_EQ(enabled_during, (std::vector<int>{1421, TZK131TestDlg::kLogId}));
  EXPECT_TRUE(disabled_after.empty());
  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_EQ(link.sent[0], AsBytes("REC\r"));
  EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
}

TEST_F(RecorderServiceTest, CommandTesterWithoutALinkLogsTheDriverFailureAndRunsNothing) {
  struct Case {
    const char* name;
    int interface_kind;
    const char* connecting;
    int messages;
  };
  constexpr Case kCases[] = {
      {"no converter", recorder::kInterfaceUsbConverter, "Connecting with Holter via USB ....", 1},
      {"no card", recorder::kInterfaceCard, "Connecting with Holter via AT-Card ....", 1},
      {"no link for the setting", 7, nullptr, 0},
  };
  recorder::Environment().probe_names = {(dir_ / "missing-tty").string()};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, c.interface_kind);
    TZK131TestDlg dialog(*doc_, ui_, locale_, &main_);
    WithDialog(dialog, [&] { dialog.RunCommand(1412); });
    std::vector<std::string> want = {std::string(59, '*'), "Reset - Operation started"};
    if (c.connecting != nullptr) {
      want.push_back(c.connecting);
      want.push_back("ERROR while Device driver initialization");
    } else {
      want.push_back("Device driver not initialized");
    }
    want.push_back("ERROR - Device Driver not loaded");
    want.push_back("Reset - Operation finished");
    EXPECT_EQ(LogLines(dialog), want);
    EXPECT_EQ(static_cast<int>(prompt_.Log().size()), c.messages);
  }
  EXPECT_EQ(win::Windows().BeepCount(), 2);
}

// The flexible block goes out behind its number; only the command word is echoed.
TEST_F(RecorderServiceTest, CommandTesterStoresAFlexibleBlock) {
  recsim::PtyRecorder sim(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK131));
  recorder::Environment().probe_names = {sim.DevicePath()};
  TZK131TestDlg dialog(*doc_, ui_, locale_, &main_);
  ui_.choices_ = {1, 2};  // block 2, all 0xFF
  WithDialog(dialog, [&] {
    for (const int id : {1414, 1455}) dialog.RunCommand(id);
  });
  EXPECT_TRUE(Has(LogLines(dialog), "SetFlexBlk (ZK-131 ab 1.20) command - OK"));
  // The block's bytes follow the echoed word unanswered: the recorder may still be taking them in.
  std::optional<TRecorderBlocks::Block> stored;
  for (int waited_ms = 0; waited_ms < 5000; ++waited_ms) {
    {
      const auto lock = sim.Lock();
      stored = sim.Model().FlexBlock(2);
    }
    if (stored.has_value()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(stored.has_value());
  EXPECT_TRUE(std::all_of(stored->begin(), stored->end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST_F(RecorderServiceTest, CommandTesterAgainstTheSdCardRecorder) {
  recsim::SimConfig config = recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK131);
  recsim::PtyRecorder sim(config);
  recorder::Environment().probe_names = {sim.DevicePath()};
  TZK131TestDlg dialog(*doc_, ui_, locale_, &main_);
  ui_.choices_ = {4, 3};  // "99 (error) ?" hours, " 0 (error) ?" block
  WithDialog(dialog, [&] {
    for (const int id : {1414, 1443, 1454, 1456, 1428, 1430, 1429, 1431}) dialog.RunCommand(id);
  });
  const std::vector<std::string> lines = LogLines(dialog);
  EXPECT_TRUE(Has(lines, "Device driver initialized"));
  EXPECT_TRUE(Has(lines, "USB Converter / AT-Card Reset done"));
  EXPECT_TRUE(Has(lines, "Typ: -ZK-131 - Version: -V1.20    - Serial: -13100815 -"));
  EXPECT_TRUE(Has(lines, "MMC/SD-Card ready"));
  EXPECT_TRUE(Has(lines, "SetRecLen (ZK-131 ab 1.20) command - OK"));
  EXPECT_TRUE(Has(lines, "GetFlexBlk (ZK-131 ab 1.20) command - OK"));
  EXPECT_TRUE(Has(lines, "Block: 0"));
  EXPECT_TRUE(Has(lines, "SetPatDat kompl. (ZK-131) command - OK"));
  // The patient block read back is the test patient just sent.
  for (const char* line :
       {"LastName: Patient1", "FirstName: Vorname1", "PatientID: Pat1 23456", "DateOfBirth: 01.01.1911",
        "Age: 115", "Sex: female", "Height: 100", "Weight: 111", "PaceMaker: Yes", "PaceMaker Type: handmade",
        "PaceMaker Activation Date: 31.12.2000", "Recording Date: 10.11.2002", "Recording Time: 10:10:00",
        "Recording Type: 7", "ZK-131", "V1.01", "9.90.03", "PM Detection: Yes"})
    EXPECT_TRUE(Has(lines, line)) << line;

  const auto lock = sim.Lock();
  EXPECT_EQ(sim.Model().RecLenHours(), 99);
  const std::vector<recsim::LoggedCommand>& commands = sim.Model().Commands();
  const auto set_len = std::find_if(commands.begin(), commands.end(),
                                    [](const recsim::LoggedCommand& c) { return c.word == "SetRecLen"; });
  ASSERT_NE(set_len, commands.end());
  EXPECT_EQ(set_len->data, (Bytes{0x00, 0x63}));
  // Block 0 went out as the bare word.
  const auto get_flex = std::find_if(commands.begin(), commands.end(),
                                     [](const recsim::LoggedCommand& c) { return c.word == "GetFlexBlk"; });
  ASSERT_NE(get_flex, commands.end());
  EXPECT_TRUE(get_flex->data.empty());
}

TEST_F(RecorderServiceTest, CommandTesterProgramsTheTwoChannelRecorderWithTheTestPatient) {
  recsim::PtyRecorder sim(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130));
  recorder::Environment().probe_names = {sim.DevicePath()};
  TZK131TestDlg dialog(*doc_, ui_, locale_, &main_);
  WithDialog(dialog, [&] { dialog.RunCommand(1427); });
  const std::vector<std::string> lines = LogLines(dialog);
  EXPECT_TRUE(Has(lines, "PATIENTDATA kompl. (ZK-130) command - OK"));
  EXPECT_TRUE(Has(lines, "Recorder started !!!"));
  const auto lock = sim.Lock();
  EXPECT_EQ(sim.Model().CommandWords(), (std::vector<std::string>{"PMOn", "PDat", "REC"}));
  ASSERT_TRUE(sim.Model().PatientRecordBytes().has_value());
  const TRecorderPatientRecord record =
      TRecorderProtocol::DecodePatientRecord(*sim.Model().PatientRecordBytes());
  EXPECT_EQ(record.last_name, "Patient100 1");
  EXPECT_EQ(record.pat_id, "Pat1 23456");
  EXPECT_TRUE(record.pace_maker_detection);
  EXPECT_TRUE(sim.Model().Recording());
}

// --- The service test dialog of the two-channel recorders ---

TEST_F(RecorderServiceTest, ServiceDialogProgramsTestPatientsInTheDocumentedOrder) {
  struct Case {
    int operation;
    const char* pacemaker_word;
    const char* last_name;
    bool detection;
  };
  for (const Case& c : {Case{1, "PMOn", "Patient1", true}, Case{2, "PMOff", "Patient2", false}}) {
    SCOPED_TRACE(c.operation);
    recsim::SimConfig config = recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130);
    config.echo_data = true;  // the record is a command too, and comes back
    recsim::PtyRecorder sim(config);
    recorder::Environment().probe_names = {sim.DevicePath()};
    TRecorderTestDlg dialog(*doc_, ui_, locale_, &main_);
    WithDialog(dialog, [&] { dialog.RunOperation(c.operation); });
    const std::vector<std::string> lines = LogLines(dialog);
    EXPECT_TRUE(Has(lines, "Recorder started !!!"));
    EXPECT_EQ(lines.back(),
              std::string("Set Patient Data ") + std::to_string(c.operation) + " - Operation finished");
    const auto lock = sim.Lock();
    EXPECT_EQ(sim.Model().CommandWords(),
              (std::vector<std::string>{"Reset", "Reset", c.pacemaker_word, "PDat", "REC"}));
    ASSERT_TRUE(sim.Model().PatientRecordBytes().has_value());
    const TRecorderPatientRecord record =
        TRecorderProtocol::DecodePatientRecord(*sim.Model().PatientRecordBytes());
    EXPECT_EQ(record.last_name, c.last_name);
    EXPECT_EQ(record.pace_maker_detection, c.detection);
    EXPECT_EQ(record.start_date, document::OleDateOnly(clock_.Now()).days);
  }
  EXPECT_TRUE(ui_.asked_.empty());
}

TEST_F(RecorderServiceTest, ServiceDialogResetSendsOnlyTheTwoResets) {
  recsim::PtyRecorder sim(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130));
  recorder::Environment().probe_names = {sim.DevicePath()};
  TRecorderTestDlg dialog(*doc_, ui_, locale_, &main_);
  WithDialog(dialog, [&] { dialog.Item<win::Button>(TRecorderTestDlg::kResetId)->Click(); });
  EXPECT_EQ(sim.CommandWords(), (std::vector<std::string>{"Reset", "Reset"}));
  EXPECT_EQ(LogLines(dialog).back(), "Reset - Operation finished");
}

TEST_F(RecorderServiceTest, ServiceDialogReadsTheRecordBackFromTheReviewHead) {
  struct Case {
    const char* name;
    size_t prefix;
    bool found;
  };
  constexpr Case kCases[] = {{"head at byte 29", 29, true}, {"head at byte 30", 30, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    recsim::SimConfig config = recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130);
    config.ecg.assign(2000, 0x40);
    config.review_prefix = c.prefix;
    config.review_record.last_name = "Muster";
    config.review_record.first_name = "Anna";
    config.review_record.sex = 2;
    config.review_record.height = 175;
    config.review_record.date_of_birth = 0;  // shown as today
    config.review_record.start_date = document::ToOleDateTime({2024, 1, 15}).days;
    config.review_record.start_time = 0.5;
    recsim::PtyRecorder sim(config);
    recorder::Environment().probe_names = {sim.DevicePath()};
    ui_.asked_.clear();
    TRecorderTestDlg dialog(*doc_, ui_, locale_, &main_);
    WithDialog(dialog, [&] { dialog.RunOperation(0); });
    const std::vector<std::string> lines = LogLines(dialog);
    EXPECT_TRUE(Has(lines, "ReadRecordblock IN: 500 bytes"));
    if (c.found) {
      for (const char* line : {"LastName: Muster", "FirstName: Anna", "DOB: 05.03.2026", "Sex: male",
                               "Height: 175.000000", "Recording Date: 15.01.2024", "Recording Time: 12:00:00",
                               "Recording Morning: 07:00:00", "Recording Evening: 22:00:00"})
        EXPECT_TRUE(Has(lines, line)) << line;
      EXPECT_TRUE(ui_.asked_.empty());
    } else {
      EXPECT_FALSE(Has(lines, "LastName: Muster"));
      EXPECT_EQ(ui_.asked_, (std::vector<std::string>{"comm error"}));
      EXPECT_TRUE(Has(lines, "Cancelled after error"));
    }
  }
}

TEST_F(RecorderServiceTest, ServiceDialogRetriesAfterASilentRecorderUntilCancelled) {
  recsim::SimConfig config = recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130);
  config.faults.silent = true;
  recsim::PtyRecorder sim(config);
  recorder::Environment().probe_names = {sim.DevicePath()};
  ui_.retries_ = {true, false};
  TRecorderTestDlg dialog(*doc_, ui_, locale_, &main_);
  WithDialog(dialog, [&] { dialog.RunOperation(3); });
  const std::vector<std::string> lines = LogLines(dialog);
  EXPECT_EQ(ui_.asked_, (std::vector<std::string>{"comm error", "comm error"}));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "USB Converter / AT-Card Reset done"), 2);
  EXPECT_EQ(lines[lines.size() - 2], "Cancelled after error");
  EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
}

// --- The USB test ---

TEST_F(RecorderServiceTest, UsbTestListsTheUsbDevices) {
  const fs::path sysfs = dir_ / "sysfs";
  const fs::path devices = sysfs / "bus" / "usb" / "devices";
  fs::create_directories(devices);
  fs::create_directories(sysfs / "devices" / "usb1" / "1-1");
  fs::create_directories(sysfs / "devices" / "usb1" / "1-2");
  testsupport::WriteText(sysfs / "devices" / "usb1" / "1-1" / "product", "Kestrova USB Converter\n");
  fs::create_directory_symlink(sysfs / "devices" / "usb1" / "1-1", devices / "1-1");
  fs::create_directory_symlink(sysfs / "devices" / "usb1" / "1-2", devices / "1-2");

  struct Case {
    const char* name;
    fs::path root;
    std::vector<std::string> want;
  };
  const std::string device0 = fs::canonical(devices / "1-1").string();
  const std::vector<Case> cases = {
      {"no device list", dir_ / "none", {}},
      {"no USB bus", dir_, {"EnumExistingDevices", "1", "Error getting HardwareInfo"}},
      {"two devices, one without a name",
       sysfs,
       {"EnumExistingDevices", "Device 0: Kestrova USB Converter", "Device 0: " + device0, "4",
        "Device 1: Error"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recorder::Environment().sysfs_root = c.root.string();
    TUSBTestDlg dialog(*doc_, ui_, locale_, &main_);
    WithDialog(dialog, [&] { dialog.RunTest(1); });
    std::vector<std::string> want = {std::string(59, '*'), "Test1 - Operation started", "Test1"};
    want.insert(want.end(), c.want.begin(), c.want.end());
    want.push_back("Test1 - Operation finished");
    EXPECT_EQ(LogLines(dialog), want);
  }
}

TEST_F(RecorderServiceTest, UsbTestProbesTheConverterNames) {
  recsim::PtyRecorder sim(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK131));
  std::vector<std::string> names;
  for (int n = 0; n < TUSBTestDlg::kMaxDevices; ++n)
    names.push_back((dir_ / ("tty" + std::to_string(n))).string());
  recorder::Environment().probe_names = names;
  {
    SCOPED_TRACE("no converter attached");
    TUSBTestDlg dialog(*doc_, ui_, locale_, &main_);
    WithDialog(dialog, [&] { dialog.RunTest(2); });
    EXPECT_EQ(LogLines(dialog), (std::vector<std::string>{std::string(59, '*'), "Test2 - Operation started",
                                                          "Test2", "Test2 - Operation finished"}));
  }
  recorder::Environment().probe_names[3] = sim.DevicePath();
  TUSBTestDlg dialog(*doc_, ui_, locale_, &main_);
  WithDialog(dialog, [&] { dialog.RunTest(2); });
  const std::vector<std::string> lines = LogLines(dialog);
  EXPECT_TRUE(Has(lines, "Device 3 found"));
  EXPECT_EQ(lines.size(), 5u);
}

TEST_F(RecorderServiceTest, UsbTestRunsTheDeviceSearch) {
  recsim::PtyRecorder sim(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK131));
  recorder::Environment().probe_names = {sim.DevicePath()};
  TUSBTestDlg dialog(*doc_, ui_, locale_, &main_);
  WithDialog(dialog, [&] { dialog.RunTest(3); });
  EXPECT_EQ(recorder::CurrentRecorder(*doc_).Kind(), TRecorderProtocol::kKindZK131);
  // The program's own resources serve again afterwards.
  EXPECT_TRUE(platform::Resources().ExeResourcesChosen());
}

TEST_F(RecorderServiceTest, UsbReadTestStaysInsideTheRecording) {
  struct WindowCase {
    int minutes;
    std::vector<TUSBTestDlg::ReadWindow> want;
  };
  const std::vector<WindowCase> windows = {
      {0, {}}, {1, {{0, 1}}}, {4, {{0, 2}, {2, 2}}}, {5, {{0, 2}, {2, 2}, {4, 1}}}};
  for (const WindowCase& c : windows) EXPECT_EQ(TUSBTestDlg::ReadTestWindows(c.minutes), c.want) << c.minutes;

  {
    SCOPED_TRACE("no recording open");
    TUSBTestDlg dialog(*doc_, ui_, locale_, &main_);
    WithDialog(dialog, [&] { dialog.RunTest(4); });
    EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"No data file open!"}));
  }
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{0, 1});
  doc_->SetPathName((dir_ / "00001.QRS").string(), false);
  doc_->GetRawECGData()->SetWholeMinutes(5);
  TUSBTestDlg dialog(*doc_, ui_, locale_, &main_);
  WithDialog(dialog, [&] { dialog.RunTest(4); });
  EXPECT_EQ(dialog.MinutesRead(), 5);
  EXPECT_EQ(dialog.LastMinuteRead(), 4);
  EXPECT_EQ(LogLines(dialog).back(), "Test4 - Operation finished");
}

// --- The raw data test ---

TEST_F(RecorderServiceTest, RawDataTestKeepsTheDialogOpenUntilTheValuesHold) {
  struct Case {
    const char* length;
    bool with_error;
    const char* position;
    const char* refused;  // nullptr: accepted
  };
  constexpr const char* kLength = "Err: Length 512..60.808 KB (= 62.267.392)";
  constexpr const char* kPosition = "Err: ErrorPos 0.. (Length)";
  constexpr Case kCases[] = {
      {"511", false, "3", kLength},      {"512", false, "3", nullptr},     {"62267392", false, "3", nullptr},
      {"62267393", false, "3", kLength}, {"1000", true, "-1", kPosition},  {"1000", true, "1000", kPosition},
      {"1000", true, "999", nullptr},    {"1000", false, "1000", nullptr}, {"1000", true, "0", nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.length) + " " + c.position);
    prompt_.ClearLog();
    TRawDataTestDlg dialog(*doc_, &main_);
    bool still_open = false;
    DriveModal({[&](win::Window*) {
      win::Windows().RunPending();
      EXPECT_EQ(dialog.Item<win::Edit>(TRawDataTestDlg::kLengthId)->GetWindowText(), "32768");
      EXPECT_EQ(dialog.Item<win::Edit>(TRawDataTestDlg::kErrorPositionId)->GetWindowText(), "3");
      EXPECT_EQ(dialog.Item<win::Edit>(TRawDataTestDlg::kLengthId)->GetLimitText(),
                TRawDataTestDlg::kMaxDigits);
      dialog.Item<win::Edit>(TRawDataTestDlg::kLengthId)->SetWindowText(c.length);
      dialog.Item<win::Edit>(TRawDataTestDlg::kErrorPositionId)->SetWindowText(c.position);
      dialog.Item<win::Button>(TRawDataTestDlg::kWithErrorId)->SetCheck(c.with_error ? 1 : 0);
      dialog.Item<win::Button>(win::kIdOk)->Click();
      still_open = !dialog.Ended();
      if (still_open) dialog.EndDialog(win::kIdCancel);
    }});
    const int result = dialog.DoModal();
    if (c.refused != nullptr) {
      EXPECT_TRUE(still_open);
      EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{c.refused}));
    } else {
      EXPECT_EQ(result, win::kIdOk);
      EXPECT_TRUE(MessagesAsked().empty());
      EXPECT_EQ(dialog.length, std::stoi(c.length));
    }
  }
}

TEST_F(RecorderServiceTest, RawTestImageIsAValidCardImage) {
  for (const uint32_t length : {512u, 32768u}) {
    SCOPED_TRACE(length);
    const fs::path target = dir_ / ("ZK131ECG" + std::to_string(length) + ".RAW");
    std::string result = "untouched";
    ASSERT_EQ(CreateRawTestImage(target, length, result), 1) << result;
    EXPECT_EQ(result, "untouched");
    EXPECT_EQ(fs::file_size(target), 1536u + length);
    const recorder::TRawImage image = recorder::ReadRawImage(target);
    const TPatientBlockFields patient = TRecorderBlocks::UnpackPatientBlock(image.patient_block, clock_);
    EXPECT_EQ(patient.last_name, "TestLastName");
    EXPECT_EQ(patient.pat_nr, "134");
    EXPECT_EQ(patient.age, 65);
    const TRecordingBlockFields recording =
        TRecorderBlocks::UnpackRecordingBlock(image.recording_block, clock_);
    EXPECT_EQ(recording.dev_version, "0.99b");
  }
  std::string result;
  EXPECT_EQ(CreateRawTestImage(dir_ / "missing" / "x.RAW", 512, result), 0);
  EXPECT_EQ(result, "Error writing RawFile " + (dir_ / "missing" / "x.RAW").string() + " !");
}

// --- Pure pieces ---

TEST(RecorderServiceData, AgeCountsWholeYears) {
  struct Case {
    platform::LocalDateTime today;
    int want;
  };
  const platform::LocalDateTime birth{1950, 12, 9};
  for (const Case& c : {Case{{2026, 12, 8}, 75}, Case{{2026, 12, 9}, 76}, Case{{1950, 12, 31}, 0}})
    EXPECT_EQ(recorder::AgeInYears(birth, c.today), c.want) << c.today.year << "-" << c.today.day;
}

// --- Screens ---

TEST_F(RecorderServiceTest, GoldenDialogs) {
  TZK131TestDlg tester(*doc_, ui_, locale_, &main_);
  WithDialog(tester, [&] {
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("recorder", "service_command_tester",
                                    testsupport::RecordedScreen(tester));
  });
  TRecorderTestDlg recorder_test(*doc_, ui_, locale_, &main_);
  WithDialog(recorder_test, [&] {
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("recorder", "service_recorder_test",
                                    testsupport::RecordedScreen(recorder_test));
  });
  TUSBTestDlg usb(*doc_, ui_, locale_, &main_);
  WithDialog(usb, [&] {
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("recorder", "service_usb_test", testsupport::RecordedScreen(usb));
  });
  TRawDataTestDlg raw(*doc_, &main_);
  WithDialog(raw, [&] {
    win::Windows().RunPending();
    testsupport::ExpectScreenGolden("recorder", "service_raw_data_test", testsupport::RecordedScreen(raw));
  });
}

}  // namespace
