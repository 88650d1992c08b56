#include "recorder/recorder_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/search_status_dlg.h"
#include "support/recorder_sim.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;
using recorder::RecorderSearchUi;

constexpr char kCardMissing[] = "The recorder interface card is not available on this system.";

// A sysfs tree with USB serial devices by product name, each tty a link to a simulated recorder.
class FakeUsbTree {
 public:
  explicit FakeUsbTree(const fs::path& root) : root_(root) {
    fs::create_directories(root_ / "class" / "tty");
    fs::create_directories(root_ / "dev");
  }
  void Add(const std::string& tty, const std::string& product, const std::string& device_path) {
    const fs::path usb = root_ / "devices" / "usb1" / ("1-" + std::to_string(++ports_));
    const fs::path port = usb / (usb.filename().string() + ":1.0");
    fs::create_directories(port);
    testsupport::WriteText(usb / "idVendor", "0403\n");
    testsupport::WriteText(usb / "product", product + "\n");
    fs::create_directories(root_ / "class" / "tty" / tty);
    fs::create_directory_symlink(port, root_ / "class" / "tty" / tty / "device");
    fs::create_symlink(device_path, root_ / "dev" / tty);
  }
  void Use() const {
    recorder::Environment().sysfs_root = root_.string();
    recorder::Environment().dev_root = (root_ / "dev").string();
  }
  std::string Dev(const std::string& tty) const { return (root_ / "dev" / tty).string(); }

 private:
  fs::path root_;
  int ports_ = 0;
};

// A recorder holding some ECG: the review stream runs past the 500 bytes that identification reads.
recsim::SimConfig Sim(int kind, std::string version = "V1.20") {
  recsim::SimConfig config = recsim::SimConfig::ForKind(kind);
  config.version = std::move(version);
  config.ecg.assign(2000, 0x40);
  return config;
}

class RecorderSearchTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    recorder::AddRecorderSearchResources(platform::Resources().ExePack());
    saved_environment_ = recorder::Environment();
    dir_ = testsupport::MakeTestDir("recorder_search");
    recorder::Environment().probe_names = {};
    recorder::Environment().sysfs_root = (dir_ / "no-sysfs").string();
    recorder::SetClock(&fast_);
    recorder::SetRecorderSearchUi(&ui_);
    recorder::SetRequestedRecorder(recorder::kRequestAny);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    UseInterface(recorder::kInterfaceUsbConverter);
  }
  void TearDown() override {
    doc_.reset();
    recorder::SetRequestedRecorder(recorder::kRequestAny);
    recorder::SetRecorderSearchUi(nullptr);
    recorder::SetClock(nullptr);
    recorder::Environment() = saved_environment_;
    WinTest::TearDown();
  }

  void UseInterface(int interface_kind) {
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, interface_kind);
  }
  bool Logged(const std::string& line) const {
    return std::find(ui_.Log().begin(), ui_.Log().end(), line) != ui_.Log().end();
  }
  int Count(std::string_view prefix) const {
    return static_cast<int>(std::count_if(ui_.Log().begin(), ui_.Log().end(),
                                          [&](const std::string& l) { return l.starts_with(prefix); }));
  }
  std::string NoUsable() const { return "retry: " + platform::LoadString(33270); }

  recorder::ScaledRecorderClock fast_{50};
  recorder::ScriptedRecorderSearchUi ui_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  fs::path dir_;

 private:
  recorder::LinkEnvironment saved_environment_;
};

TEST_F(RecorderSearchTest, TwoConvertersListZK130AndZK133AndTakeTheChoice) {
  recsim::PtyRecorder zk130(Sim(2));
  recsim::PtyRecorder zk133(Sim(3));
  recorder::Environment().probe_names = {zk130.DevicePath(), zk133.DevicePath()};
  ui_.QueueChoice({RecorderSearchUi::Pick::kChosen, 1});

  EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), 3);

  EXPECT_TRUE(Logged("choose: ZK-130|ZK-130/3"));
  EXPECT_TRUE(Logged("status: Holter|" + platform::LoadString(33248) + " USB ...."));
  EXPECT_EQ(ui_.Log().back(), "status closed");
  recorder::CurrentRecorder current(*doc_);
  EXPECT_EQ(current.Kind(), 3);
  EXPECT_EQ(current.DeviceName(), zk133.DevicePath());
  EXPECT_EQ(current.SerialNumber(), "N/A");
  EXPECT_EQ(current.FirmwareVersion(), "N/A");
  EXPECT_FALSE(current.Has72HourCapability());
  EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
}

TEST_F(RecorderSearchTest, SilentZK131IsOfferedWithoutSerialAndCancelChoosesNone) {
  recsim::SimConfig silent = Sim(4);
  silent.faults.silent_word = "Ident\r";
  recsim::PtyRecorder zk131(silent);
  recsim::PtyRecorder zk130(Sim(2));
  FakeUsbTree usb(dir_ / "sysfs");
  usb.Add("ttyACM0", "Kestrova ZK-131 USB", zk131.DevicePath());
  usb.Use();
  recorder::Environment().probe_names = {zk130.DevicePath()};
  ui_.QueueChoice({RecorderSearchUi::Pick::kCancelled, -1});

  EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), recorder::kNotIdentified);

  EXPECT_TRUE(Logged("choose: ZK-131   SN: N/A|ZK-130"));
  EXPECT_EQ(recorder::CurrentRecorder(*doc_).Kind(), recorder::kNotIdentified);
  // Asked twice: the second time with the long delay.
  const std::vector<std::string> words = zk131.CommandWords();
  EXPECT_EQ(std::count(words.begin(), words.end(), "Ident"), 2);
}

TEST_F(RecorderSearchTest, SearchAgainRunsDiscoveryOnceMore) {
  recsim::PtyRecorder zk130(Sim(2));
  recsim::PtyRecorder zk133(Sim(3));
  recorder::Environment().probe_names = {zk130.DevicePath(), zk133.DevicePath()};
  ui_.QueueChoice({RecorderSearchUi::Pick::kSearchAgain, -1});
  ui_.QueueChoice({RecorderSearchUi::Pick::kChosen, 0});

  EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), 2);
  EXPECT_EQ(Count("choose: "), 2);
  EXPECT_EQ(recorder::CurrentRecorder(*doc_).DeviceName(), zk130.DevicePath());
}

TEST_F(RecorderSearchTest, ChosenZK130KeepsNothingOfAZK131ThatAnsweredBefore) {
  recsim::PtyRecorder zk131(Sim(4));
  recsim::PtyRecorder zk130(Sim(2));
  FakeUsbTree usb(dir_ / "sysfs");
  usb.Add("ttyACM0", "Kestrova ZK-131 USB", zk131.DevicePath());
  usb.Use();
  recorder::Environment().probe_names = {zk130.DevicePath()};
  ui_.QueueChoice({RecorderSearchUi::Pick::kChosen, 1});

  EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), 2);

  EXPECT_TRUE(Logged("choose: ZK-131   SN: 13100815|ZK-130"));
  recorder::CurrentRecorder current(*doc_);
  EXPECT_EQ(current.DeviceName(), zk130.DevicePath());
  EXPECT_EQ(current.RecorderType(), "");
  EXPECT_EQ(current.SerialNumber(), "N/A");
  EXPECT_EQ(current.FirmwareVersion(), "N/A");
  EXPECT_FALSE(current.Has72HourCapability());
}

TEST_F(RecorderSearchTest, OneUsableRecorderIsChosenWithoutTheListAndBringsItsIdent) {
  struct Case {
    const char* version;
    bool want_72_hours;
  };
  for (const Case& c : {Case{"V1.20", true}, Case{"V1.10", false}, Case{"V2.00", true}}) {
    SCOPED_TRACE(c.version);
    ui_.ClearLog();
    recsim::PtyRecorder zk131(Sim(4, c.version));
    recsim::PtyRecorder off([] {
      recsim::SimConfig config = Sim(2);
      config.faults.silent = true;
      return config;
    }());
    FakeUsbTree usb(testsupport::MakeTestDir("recorder_search_one"));
    usb.Add("ttyACM0", "Kestrova ZK-131 USB", zk131.DevicePath());
    usb.Use();
    recorder::Environment().probe_names = {off.DevicePath()};

    EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), 4);

    EXPECT_EQ(Count("choose: "), 0);
    recorder::CurrentRecorder current(*doc_);
    EXPECT_EQ(current.Kind(), 4);
    EXPECT_EQ(current.DeviceName(), usb.Dev("ttyACM0"));
    EXPECT_EQ(current.RecorderType(), "ZK-131");
    EXPECT_EQ(current.FirmwareVersion(), c.version);
    EXPECT_EQ(current.SerialNumber(), "13100815");
    EXPECT_EQ(current.Has72HourCapability(), c.want_72_hours);
  }
}

// Requests the interface cannot meet are refused before any search; a recorder of the wrong kind
// is unusable and the user is asked to retry.
TEST_F(RecorderSearchTest, RequestsRestrictInterfaceAndKind) {
  recsim::PtyRecorder zk130(Sim(2));
  struct Case {
    const char* name;
    int request;
    int interface_kind;
    int want;
    bool want_refused;
    bool want_retry_question;
  };
  const Case cases[] = {
      {"ZK-131 asked, ZK-130 found", recorder::kRequestZK131, recorder::kInterfaceUsbConverter, 9, false,
       true},
      {"card asked on USB", recorder::kRequestCard, recorder::kInterfaceUsbConverter, 9, true, false},
      {"converter asked on the card", recorder::kRequestConverter, recorder::kInterfaceCard, 9, true, false},
      {"ZK-131 asked on the card", recorder::kRequestZK131, recorder::kInterfaceCard, 9, true, false},
      {"converter asked, ZK-130 found", recorder::kRequestConverter, recorder::kInterfaceUsbConverter, 2,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.ClearLog();
    recorder::Environment().probe_names = {zk130.DevicePath()};
    recorder::SetRequestedRecorder(c.request);
    UseInterface(c.interface_kind);

    EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), c.want);

    EXPECT_EQ(Logged("message: " + platform::LoadString(33270)), c.want_refused);
    EXPECT_EQ(Count("status: "), c.want_refused ? 0 : 1);
    EXPECT_EQ(Logged(NoUsable()), c.want_retry_question);
  }
}

TEST_F(RecorderSearchTest, CardWithoutDriverFindsNoDeviceAndAsksToRetry) {
  UseInterface(recorder::kInterfaceCard);
  ui_.QueueCommErrorRetry(true);

  EXPECT_EQ(recorder::FindRecorders(*doc_, -1, -1), recorder::kNotIdentified);

  const std::string searching = "status: Holter|" + platform::LoadString(33248) + " AT-Card ....";
  EXPECT_TRUE(Logged(searching + "\n" + kCardMissing));
  EXPECT_EQ(Count("comm error"), 2);
  // The driver messages belong to identification with errors shown, never to the search.
  EXPECT_EQ(Count("message: "), 0);
  EXPECT_EQ(win::Windows().BeepCount(), 2);
  EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
}

TEST_F(RecorderSearchTest, InterfaceWithoutLinkReturnsOneAfterTheStatusWindow) {
  EXPECT_EQ(recorder::FindRecorders(*doc_, 7, 0), recorder::kNoLink);
  EXPECT_EQ(ui_.Log(),
            (std::vector<std::string>{"status: Holter|" + platform::LoadString(33248) + " AT-Card ....",
                                      "status closed"}));
  EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
}

TEST_F(RecorderSearchTest, IdentifyRecorderReadsTheReviewHeadOrIdent) {
  struct Case {
    const char* name;
    recsim::SimConfig sim;
    bool try_ident;
    int want;
    const char* want_serial;
  };
  recsim::SimConfig longer = Sim(2);
  longer.type = "ZK-130X";
  recsim::SimConfig prefixed = Sim(3);
  prefixed.review_prefix = 20;
  recsim::SimConfig off = Sim(2);
  off.faults.silent = true;
  const Case cases[] = {
      {"ZK-130", Sim(2), true, 2, "N/A"},
      {"ZK-133", Sim(3), false, 3, "N/A"},
      {"ZK-130 with a further letter", longer, false, 2, "N/A"},
      {"head behind 20 bytes", prefixed, false, 3, "N/A"},
      {"ZK-131 by Ident", Sim(4), true, 4, "13100815"},
      {"switched off", off, true, 9, "N/A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recsim::PtyRecorder sim(c.sim);
    std::string serial;
    std::string version;
    bool has_72_hours = false;
    EXPECT_EQ(recorder::IdentifyRecorder(*doc_, recorder::kInterfaceUsbConverter, 0, sim.DevicePath(), serial,
                                         version, has_72_hours, false, c.try_ident, false),
              c.want);
    EXPECT_EQ(serial, c.want_serial);
    // No link stays open after an identification.
    EXPECT_EQ(recorder::SendRecorderText(*doc_, "Reset\r", false), 0);
  }
}

TEST_F(RecorderSearchTest, IdentificationErrorsAndRetries) {
  std::string serial;
  std::string version;
  bool has_72_hours = false;
  const std::string missing = (dir_ / "ttyUSB9").string();
  // Not opened: the driver message only when asked for.
  EXPECT_EQ(recorder::IdentifyZK131(*doc_, recorder::kInterfaceUsbConverter, 0, missing, false, false), 0);
  EXPECT_EQ(Count("message: "), 0);
  EXPECT_EQ(recorder::IdentifyZK131(*doc_, recorder::kInterfaceUsbConverter, 0, missing, true, false), 0);
  EXPECT_TRUE(Logged("message: " + platform::LoadString(33233)));
  EXPECT_EQ(
      recorder::IdentifyRecorder(*doc_, 7, 0, missing, serial, version, has_72_hours, true, false, false),
      recorder::kNoLink);

  // A recorder that stays silent: each Retry repeats REV after a reset; Cancel ends.
  recsim::SimConfig off = Sim(2);
  off.faults.silent = true;
  recsim::PtyRecorder sim(off);
  ui_.QueueCommErrorRetry(true);
  EXPECT_EQ(recorder::IdentifyRecorder(*doc_, recorder::kInterfaceUsbConverter, 0, sim.DevicePath(), serial,
                                       version, has_72_hours, true, false, false),
            recorder::kNotIdentified);
  EXPECT_EQ(Count("comm error"), 2);
  const std::vector<std::string> words = sim.CommandWords();
  EXPECT_EQ(std::count(words.begin(), words.end(), "REV"), 2);
}

TEST_F(RecorderSearchTest, StatusWindowShowsTitleAndTextUntilClosed) {
  TSearchStatusDlg status;
  status.Show("Holter", platform::LoadString(33248) + " USB ....");
  ASSERT_TRUE(status.IsShown());
  EXPECT_EQ(status.GetWindowText(), "Holter");
  EXPECT_TRUE(status.IsWindowVisible());
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("recorder", "search_status", testsupport::RecordedScreen(status));
  status.Close();
  EXPECT_FALSE(status.IsShown());
  EXPECT_FALSE(status.IsWindow());
}

}  // namespace
