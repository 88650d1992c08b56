#include "recorder/recorder_link.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "recorder/interface_card_link.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_protocol.h"
#include "recorder/usb_converter.h"
#include "support/recorder_sim.h"
#include "support/test_files.h"

namespace recorder {
namespace {

namespace fs = std::filesystem;
using ByteVector = std::vector<uint8_t>;

ByteVector B(std::string_view text) { return {text.begin(), text.end()}; }

ByteVector Concat(ByteVector a, const ByteVector& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

ByteVector Received(const RecorderLink& link) { return {link.Received().begin(), link.Received().end()}; }

// The recorder end of a pseudo-terminal: the link opens the slave by name; this side hears what
// the link writes and answers scripted triggers from its own thread, as a recorder would.
class ScriptedRecorder {
 public:
  ScriptedRecorder() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    path_ = ::ptsname(master_);
    // Held open so that the master never sees a hang-up before the link opens the slave.
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    thread_ = std::thread([this] { Run(); });
  }
  ~ScriptedRecorder() { Disappear(); }
  ScriptedRecorder(const ScriptedRecorder&) = delete;
  ScriptedRecorder& operator=(const ScriptedRecorder&) = delete;

  const std::string& Path() const { return path_; }

  // Once the link has written `trigger` (after what earlier answers consumed), sends `reply`.
  void Answer(std::string_view trigger, ByteVector reply) {
    std::lock_guard lock(mutex_);
    rules_.push_back({B(trigger), std::move(reply)});
  }

  void Send(const ByteVector& bytes) {
    std::lock_guard lock(mutex_);
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the link wrote, once `count` bytes arrived or a while passed on the recorder clock.
  ByteVector Heard(size_t count) const {
    const int64_t deadline = Clock().TickMs() + 20000;
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (heard_.size() >= count || Clock().TickMs() >= deadline) return heard_;
      }
      Clock().SleepMs(10);
    }
  }

  // The device goes away: unplugged, or the driver failed.
  void Disappear() {
    if (thread_.joinable()) {
      {
        std::lock_guard lock(mutex_);
        stop_ = true;
      }
      thread_.join();
    }
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
  }

 private:
  struct Rule {
    ByteVector trigger;
    ByteVector reply;
  };

  void Run() {
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      ::poll(&p, 1, 2);
      std::lock_guard lock(mutex_);
      if (stop_) return;
      uint8_t buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        heard_.insert(heard_.end(), buffer, buffer + n);
        pending_.insert(pending_.end(), buffer, buffer + n);
      }
      while (!rules_.empty()) {
        const Rule& rule = rules_.front();
        const auto at =
            std::search(pending_.begin(), pending_.end(), rule.trigger.begin(), rule.trigger.end());
        if (at == pending_.end()) break;
        pending_.erase(pending_.begin(), at + static_cast<std::ptrdiff_t>(rule.trigger.size()));
        if (!rule.reply.empty()) {
          EXPECT_EQ(::write(master_, rule.reply.data(), rule.reply.size()),
                    static_cast<ssize_t>(rule.reply.size()));
        }
        rules_.erase(rules_.begin());
      }
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::thread thread_;
  mutable std::mutex mutex_;
  bool stop_ = false;
  ByteVector heard_;
  ByteVector pending_;
  std::vector<Rule> rules_;
};

// Runs the real waits ten times faster; restores the environment each test changed.
class RecorderLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Environment();
    SetClock(&clock_);
  }
  void TearDown() override {
    SetClock(nullptr);
    Environment() = saved_;
  }

  std::unique_ptr<TUsbConverter> OpenLink(const ScriptedRecorder& recorder) {
    auto link = std::make_unique<TUsbConverter>();
    EXPECT_TRUE(link->Open(0, recorder.Path())) << link->Error();
    return link;
  }

  // Waits on the recorder clock until the reader thread has taken `count` bytes.
  static bool WaitStreamed(const TUsbConverter& link, uint64_t count) {
    const int64_t deadline = Clock().TickMs() + 20000;
    while (link.StreamedBytes() < count && Clock().TickMs() < deadline)
      Clock().SleepMs(TUsbConverter::kPollIntervalMs);
    return link.StreamedBytes() == count;
  }

  ScaledRecorderClock clock_{10};
  LinkEnvironment saved_;
};

TEST_F(RecorderLinkTest, MakesTheLinkOfTheInterfaceSetting) {
  EXPECT_NE(dynamic_cast<TUsbConverter*>(MakeRecorderLink(kInterfaceUsbConverter).get()), nullptr);
  EXPECT_NE(dynamic_cast<TInterfaceCard*>(MakeRecorderLink(kInterfaceCard).get()), nullptr);
  EXPECT_EQ(MakeRecorderLink(2), nullptr);
  EXPECT_EQ(MakeRecorderLink(-1), nullptr);
}

TEST_F(RecorderLinkTest, InterfaceCardFailsClearlyAndTouchesNothing) {
  TInterfaceCard card;
  EXPECT_FALSE(card.Open(0x300, ""));
  EXPECT_EQ(card.Error(), "The recorder interface card is not available on this system.");
  EXPECT_FALSE(card.IsOpen());
  for (const bool enumerate : {false, true}) {
    TInterfaceCard fresh;
    std::vector<DetectedDevice> devices{{"stale", 5}};
    EXPECT_EQ(fresh.Detect(devices, 0, enumerate), 0);
    EXPECT_TRUE(devices.empty());
    EXPECT_EQ(fresh.Error(), TInterfaceCard::kCardUnavailable);
  }
  std::vector<uint8_t> answer{1, 2};
  const int64_t before = Clock().TickMs();
  EXPECT_EQ(card.Query("Ident\r", 20, answer, 0), RecorderLink::kQueryNotSupported);
  EXPECT_LT(Clock().TickMs() - before, 1000);
  EXPECT_TRUE(answer.empty());
  EXPECT_EQ(card.SendText("Reset\r", true, 0), -1);
  const uint8_t block[4] = {1, 2, 3, 4};
  EXPECT_EQ(card.SendBytes(block, 2, 2, false, 0), -1);
  EXPECT_EQ(card.EnableTransfer(true), 0);
  EXPECT_EQ(card.ReadBlock(), 0);
  EXPECT_EQ(card.Read(true), 0);
  EXPECT_TRUE(card.Received().empty());
}

TEST_F(RecorderLinkTest, OpenTakesTheNamedDeviceOrTheFirstProbeName) {
  ScriptedRecorder recorder;
  Environment().probe_names = {recorder.Path(), "/nonexistent/ttyUSB9"};
  TUsbConverter by_default;
  EXPECT_TRUE(by_default.Open(0, ""));
  EXPECT_TRUE(by_default.IsOpen());

  TUsbConverter missing;
  EXPECT_FALSE(missing.Open(0, "/nonexistent/ttyUSB9"));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_NE(missing.Error().find("/nonexistent/ttyUSB9"), std::string::npos) << missing.Error();
  EXPECT_EQ(missing.SendText("Reset\r", false, 0), -1);
  EXPECT_EQ(missing.Read(false), -1);
  EXPECT_EQ(missing.EnableTransfer(true), 0);
}

TEST_F(RecorderLinkTest, SendTextChecksTheEcho) {
  struct Case {
    const char* name;
    ByteVector text;
    bool wait_echo;
    ByteVector reply;  // sent once the recorder heard the text
    int want;
  };
  const Case cases[] = {
      {"echo confirms", B("Ident\r"), true, B("Ident\r"), 1},
      {"wrong echo", B("Ident\r"), true, B("Idxnt\r"), 0},
      {"no echo", B("REV\r"), true, {}, 0},
      {"stream start is never echoed", {0x15}, true, {}, 1},
      {"without echo wait", B("Reset\r"), false, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedRecorder recorder;
    recorder.Answer(std::string_view(reinterpret_cast<const char*>(c.text.data()), c.text.size()), c.reply);
    auto link = OpenLink(recorder);
    EXPECT_EQ(link->SendText(c.text, c.wait_echo, 0), c.want);
    EXPECT_EQ(recorder.Heard(c.text.size()), c.text);
  }
}

TEST_F(RecorderLinkTest, SendTextDrainsEarlierInputBeforeItsEcho) {
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  // A stale echo of the same word must not confirm a command the recorder never answered.
  recorder.Send(B("MON\r"));
  EXPECT_EQ(link->SendText("MON\r", true, 0), 0);
}

TEST_F(RecorderLinkTest, LeftoverAfterTheEchoIsHandedOutOnce) {
  ScriptedRecorder recorder;
  recorder.Answer("Ident\r", B("Ident\rABCDE"));
  recorder.Answer("REV\r", B("REV\r"));
  auto link = OpenLink(recorder);
  ASSERT_EQ(link->SendText("Ident\r", true, 0), 1);
  recorder.Send(B("xyz"));
  EXPECT_EQ(link->Read(true), 5);
  EXPECT_EQ(Received(*link), B("ABCDE"));
  EXPECT_EQ(link->Read(true), 3);
  EXPECT_EQ(Received(*link), B("xyz"));

  // An exact echo leaves nothing over: the next Read(true) goes to the device.
  ASSERT_EQ(link->SendText("REV\r", true, 0), 1);
  recorder.Send(B("Q"));
  EXPECT_EQ(link->Read(true), 1);
  EXPECT_EQ(Received(*link), B("Q"));
}

TEST_F(RecorderLinkTest, QueryCollectsEchoAndAnswer) {
  struct Case {
    const char* name;
    size_t answer_len;
    ByteVector reply;
    int want;
    ByteVector want_answer;
  };
  const Case cases[] = {
      {"complete", 4, B("Ident\rWXYZ"), RecorderLink::kQueryOk, B("WXYZ")},
      {"more than asked", 4, B("Ident\rWXYZ!!"), RecorderLink::kQueryOk, B("WXYZ")},
      {"answer 3 bytes short", 8, B("Ident\rABCDE"), RecorderLink::kQueryNoData, B("Ident\rAB")},
      {"wrong echo", 4, B("Idant\rWXYZ"), RecorderLink::kQueryConfirmError, B("Idan")},
      {"silent recorder", 4, {}, RecorderLink::kQueryNoData, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedRecorder recorder;
    recorder.Answer("Ident\r", c.reply);
    auto link = OpenLink(recorder);
    std::vector<uint8_t> answer{9, 9, 9};
    EXPECT_EQ(link->Query("Ident\r", c.answer_len, answer, 0), c.want);
    EXPECT_EQ(answer, c.want_answer);
  }
}

TEST_F(RecorderLinkTest, SendBytesWritesHeaderAndDataAndChecksTheHeaderEcho) {
  ByteVector frame = B("PDat\r");
  for (int i = 0; i < 512; ++i) frame.push_back(static_cast<uint8_t>(i * 7));
  struct Case {
    const char* name;
    size_t data_len;
    ByteVector reply;
    int want;
  };
  const Case cases[] = {
      {"full block, echo and more", 512, Concat(B("PDat\r"), B("junk")), 1},
      {"short block, no echo", 100, {}, 0},
      {"header only", 0, B("PDat\r"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedRecorder recorder;
    const ByteVector sent(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(5 + c.data_len));
    recorder.Answer(std::string_view(reinterpret_cast<const char*>(sent.data()), sent.size()), c.reply);
    auto link = OpenLink(recorder);
    EXPECT_EQ(link->SendBytes(frame, 5, c.data_len, true, 0), c.want);
    EXPECT_EQ(recorder.Heard(sent.size()), sent);
  }
}

TEST_F(RecorderLinkTest, RefusesTransfersLargerThanABlock) {
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  const ByteVector big(5 + 600, 0x41);
  EXPECT_EQ(link->SendBytes(big, 5, 513, false, 0), 0);
  EXPECT_EQ(link->SendBytes(std::span(big).first(20), 5, 16, false, 0), 0);
  std::vector<uint8_t> answer;
  EXPECT_EQ(link->Query("Ident\r", 513, answer, 0), RecorderLink::kQueryNoData);
  EXPECT_TRUE(answer.empty());
  EXPECT_EQ(link->SendText("X", false, 0), 1);
  EXPECT_EQ(recorder.Heard(1), B("X"));
}

TEST_F(RecorderLinkTest, ResetDropsPendingInput) {
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  recorder.Send(B("garbage"));
  link->Reset();
  EXPECT_EQ(link->Read(false), 0);
}

TEST_F(RecorderLinkTest, ReadBlockDropsFillBytesAndEmptiesTheQueue) {
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  ASSERT_EQ(link->EnableTransfer(true), 1);
  recorder.Send(ByteVector(2000, 0xFF));
  ASSERT_TRUE(WaitStreamed(*link, 2000));
  EXPECT_EQ(link->ReadBlock(), 0);
  recorder.Send({0x10, 0xFF, 0x20, 0x30});
  ASSERT_TRUE(WaitStreamed(*link, 2004));
  EXPECT_EQ(link->ReadBlock(), 3);
  EXPECT_EQ(Received(*link), (ByteVector{0x10, 0x20, 0x30}));
  EXPECT_EQ(link->ReadBlock(), 0);
  EXPECT_EQ(link->EnableTransfer(false), 1);
}

TEST_F(RecorderLinkTest, QueueKeepsTheNewest2000Bytes) {
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  ASSERT_EQ(link->EnableTransfer(true), 1);
  ByteVector stream(3000);
  for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<uint8_t>(i % 251);
  recorder.Send(stream);
  ASSERT_TRUE(WaitStreamed(*link, stream.size()));
  EXPECT_EQ(link->ReadBlock(), 2000);
  EXPECT_EQ(Received(*link), ByteVector(stream.end() - 2000, stream.end()));
  // Turning it on again starts from an empty queue.
  recorder.Send(B("abc"));
  ASSERT_TRUE(WaitStreamed(*link, 3003));
  ASSERT_EQ(link->EnableTransfer(true), 1);
  EXPECT_EQ(link->ReadBlock(), 0);
}

TEST_F(RecorderLinkTest, StoppingTheReaderIsPrompt) {
  // Real time: the reader's poll interval is what bounds the stop.
  SetClock(nullptr);
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  ASSERT_EQ(link->EnableTransfer(true), 1);
  EXPECT_EQ(link->EnableTransfer(true), 1);
  recorder.Send(ByteVector(100, 0x55));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link->EnableTransfer(false), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ(link->EnableTransfer(false), 1);
}

TEST_F(RecorderLinkTest, VanishedDeviceFailsInsteadOfSucceeding) {
  ScriptedRecorder recorder;
  auto link = OpenLink(recorder);
  recorder.Disappear();
  EXPECT_LT(link->Read(false), 0);
  EXPECT_TRUE(link->Received().empty());
  const int64_t before = Clock().TickMs();
  EXPECT_EQ(link->SendText("Ident\r", true, 0), 0);
  EXPECT_EQ(link->SendText(ByteVector{0x15}, true, 0), 0);
  EXPECT_EQ(link->SendText("Reset\r", false, 0), 0);
  std::vector<uint8_t> answer;
  EXPECT_EQ(link->Query("Ident\r", 4, answer, 0), RecorderLink::kQueryNoData);
  // No echo wait is sat out on a device that is gone.
  EXPECT_LT(Clock().TickMs() - before, TUsbConverter::kEchoWaitTextMs);
  // The reader keeps running on a failing device and still stops.
  EXPECT_EQ(link->EnableTransfer(true), 1);
  EXPECT_EQ(link->EnableTransfer(false), 1);
}

TEST_F(RecorderLinkTest, TwoLinksKeepTheirOwnBytes) {
  ScriptedRecorder first_recorder;
  ScriptedRecorder second_recorder;
  first_recorder.Answer("Ident\r", B("Ident\rLEFT"));
  auto first = OpenLink(first_recorder);
  auto second = OpenLink(second_recorder);

  ASSERT_EQ(first->SendText("Ident\r", true, 0), 1);
  second_recorder.Send(B("BB"));
  EXPECT_EQ(second->Read(true), 2);
  EXPECT_EQ(Received(*second), B("BB"));
  EXPECT_EQ(first->Read(true), 4);
  EXPECT_EQ(Received(*first), B("LEFT"));
  EXPECT_EQ(Received(*second), B("BB"));
}

TEST_F(RecorderLinkTest, DetectProbesTheDeviceNames) {
  ScriptedRecorder recorder;
  struct Case {
    const char* name;
    std::vector<std::string> probe_names;
    std::vector<std::string> want;
  };
  const std::vector<std::string> eight_missing = {"/nonexistent/a", "/nonexistent/b", "/nonexistent/c",
                                                  "/nonexistent/d", "/nonexistent/e", "/nonexistent/f",
                                                  "/nonexistent/g", "/nonexistent/h"};
  std::vector<std::string> ninth = eight_missing;
  ninth.push_back(recorder.Path());
  const Case cases[] = {
      {"one among missing",
       {"/nonexistent/ttyUSB0", recorder.Path(), "/nonexistent/ttyUSB2"},
       {recorder.Path()}},
      {"none there", eight_missing, {}},
      {"only the first eight are probed", ninth, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Environment().probe_names = c.probe_names;
    TUsbConverter link;
    std::vector<DetectedDevice> devices;
    // The filter does not apply to probing.
    EXPECT_EQ(link.Detect(devices, 4, false), static_cast<int>(c.want.size()));
    std::vector<std::string> names;
    for (const DetectedDevice& device : devices) {
      names.push_back(device.name);
      EXPECT_EQ(device.kind, kDeviceProbedConverter);
    }
    EXPECT_EQ(names, c.want);
    EXPECT_EQ(link.Error().empty(), !c.want.empty()) << link.Error();
  }
}

// A sysfs tty class as Linux lays it out: a usb-serial port two folders below its USB device, a
// modem's interface one below, a platform UART and a virtual console with no USB device at all.
class FakeSysfs {
 public:
  explicit FakeSysfs(const fs::path& root) : root_(root) {
    fs::create_directories(root_ / "class" / "tty");
    fs::create_directories(root_ / "dev");
  }
  void AddUsbSerial(const std::string& tty, const std::string& product, int bus_port) {
    const fs::path usb = root_ / "devices" / "usb1" / ("1-" + std::to_string(bus_port));
    const fs::path port = usb / ("1-" + std::to_string(bus_port) + ":1.0") / tty;
    fs::create_directories(port);
    testsupport::WriteText(usb / "idVendor", "0403\n");
    if (!product.empty()) testsupport::WriteText(usb / "product", product + "\n");
    Link(tty, port);
  }
  void AddModem(const std::string& tty, const std::string& product) {
    const fs::path usb = root_ / "devices" / "usb2" / "2-1";
    const fs::path interface = usb / "2-1:1.0";
    fs::create_directories(interface / "tty" / tty);
    testsupport::WriteText(usb / "idVendor", "1d6b\n");
    testsupport::WriteText(usb / "product", product + "\n");
    Link(tty, interface);
  }
  void AddUart(const std::string& tty) {
    const fs::path port = root_ / "devices" / "platform" / "serial8250";
    fs::create_directories(port);
    Link(tty, port);
  }
  void AddVirtual(const std::string& tty) { fs::create_directories(root_ / "class" / "tty" / tty); }

  fs::path DevRoot() const { return root_ / "dev"; }

 private:
  void Link(const std::string& tty, const fs::path& device) {
    const fs::path dir = root_ / "class" / "tty" / tty;
    fs::create_directories(dir);
    fs::create_directory_symlink(device, dir / "device");
  }
  fs::path root_;
};

TEST_F(RecorderLinkTest, DetectEnumeratesUsbSerialDevicesByProduct) {
  const fs::path root = testsupport::MakeTestDir("recorder_link");
  FakeSysfs sysfs(root);
  sysfs.AddUsbSerial("ttyUSB0", "Kestrova ZK-131 USB", 1);
  sysfs.AddModem("ttyACM0", "Kestrova USB Converter");
  sysfs.AddUsbSerial("ttyUSB1", "Generic Serial", 2);
  sysfs.AddUsbSerial("ttyUSB2", "", 3);
  sysfs.AddUart("ttyS0");
  sysfs.AddVirtual("tty0");
  Environment().sysfs_root = root.string();
  Environment().dev_root = sysfs.DevRoot().string();
  const std::string dev = sysfs.DevRoot().string() + "/";

  struct Case {
    int filter;
    std::vector<std::pair<std::string, int>> want;
  };
  const Case cases[] = {
      {0,
       {{dev + "ttyACM0", kDeviceUsbConverter},
        {dev + "ttyUSB0", kDeviceSdCardUsb},
        {dev + "ttyUSB1", kDeviceOtherUsb},
        {dev + "ttyUSB2", kDeviceOtherUsb}}},
      {3, {{dev + "ttyACM0", kDeviceUsbConverter}}},
      {4, {{dev + "ttyUSB0", kDeviceSdCardUsb}}},
      {1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("filter " + std::to_string(c.filter));
    TUsbConverter link;
    std::vector<DetectedDevice> devices;
    EXPECT_EQ(link.Detect(devices, c.filter, true), static_cast<int>(c.want.size()));
    std::vector<std::pair<std::string, int>> got;
    for (const DetectedDevice& device : devices) got.emplace_back(device.name, device.kind);
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(RecorderLinkTest, DetectListsAtMostEightAndOpensWhatItListed) {
  const fs::path root = testsupport::MakeTestDir("recorder_link");
  FakeSysfs sysfs(root);
  for (int i = 0; i < 10; ++i)
    sysfs.AddUsbSerial("ttyUSB" + std::to_string(i), "Kestrova USB Converter", i + 1);
  Environment().sysfs_root = root.string();
  Environment().dev_root = sysfs.DevRoot().string();
  ScriptedRecorder recorder;
  fs::create_symlink(recorder.Path(), sysfs.DevRoot() / "ttyUSB0");

  TUsbConverter link;
  std::vector<DetectedDevice> devices;
  EXPECT_EQ(link.Detect(devices, 3, true), kMaxDevices);
  ASSERT_EQ(devices.size(), static_cast<size_t>(kMaxDevices));
  EXPECT_EQ(devices.front().name, (sysfs.DevRoot() / "ttyUSB0").string());
  EXPECT_EQ(devices.back().name, (sysfs.DevRoot() / "ttyUSB7").string());
  EXPECT_TRUE(link.Open(0, devices.front().name)) << link.Error();

  // No tty class at all lists nothing and says why, instead of claiming devices.
  Environment().sysfs_root = (root / "missing").string();
  TUsbConverter elsewhere;
  EXPECT_EQ(elsewhere.Detect(devices, 0, true), 0);
  EXPECT_TRUE(devices.empty());
  EXPECT_FALSE(elsewhere.Error().empty());
}

// The whole conversation with a simulated SD-card recorder, in the order every user keeps.
TEST_F(RecorderLinkTest, TalksToASimulatedRecorder) {
  recsim::PtyRecorder sim(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK131));
  Environment().probe_names = {sim.DevicePath()};
  auto link = MakeRecorderLink(kInterfaceUsbConverter);
  ASSERT_TRUE(link->Open(0, "")) << link->Error();
  link->Reset();
  Clock().SleepMs(500);
  EXPECT_NE(link->SendText("Reset\r", false, 0), 0);
  Clock().SleepMs(1000);

  std::vector<uint8_t> answer;
  ASSERT_EQ(link->Query("Ident\r", TRecorderProtocol::kIdentAnswerSize, answer, 0), RecorderLink::kQueryOk);
  const TRecorderIdent ident = TRecorderProtocol::ParseIdent(answer);
  EXPECT_EQ(ident.type, "ZK-131");
  EXPECT_EQ(ident.serial, "13100815");

  ASSERT_EQ(link->SendText("MON\r", true, 0), 1);
  ASSERT_EQ(link->SendText(ByteVector{TRecorderProtocol::kStartStream}, false, 0), 1);
  ASSERT_EQ(link->EnableTransfer(true), 1);
  int monitor_bytes = 0;
  const int64_t deadline = Clock().TickMs() + 20000;
  while (monitor_bytes < 200 && Clock().TickMs() < deadline) {
    Clock().SleepMs(500);
    monitor_bytes += link->ReadBlock();
  }
  EXPECT_EQ(link->EnableTransfer(false), 1);
  EXPECT_GE(monitor_bytes, 200);
}

}  // namespace
}  // namespace recorder
