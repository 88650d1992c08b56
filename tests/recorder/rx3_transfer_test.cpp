#include "recorder/rx3_transfer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/context_guard.h"
#include "document/patient_data.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "support/recorder_sim.h"
#include "support/test_files.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A peer on an openpty pair that plays a script: each read that holds an ACK or a NAK is answered
// with the next item (a block or a lone EOT); everything read is kept. Send writes at once.
class ScriptedRx3Peer {
 public:
  explicit ScriptedRx3Peer(std::vector<Bytes> items) : items_(std::move(items)) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    path_ = name;
    thread_ = std::thread([this] { Serve(); });
  }
  ~ScriptedRx3Peer() {
    stop_ = true;
    thread_.join();
    ::close(master_);
    ::close(slave_);
  }
  const std::string& Path() const { return path_; }
  void Send(const Bytes& bytes) { (void)!::write(master_, bytes.data(), bytes.size()); }
  Bytes Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  // Waits (real time, at most 5 s) until `count` bytes have been read.
  bool WaitForBytes(size_t count) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Received().size() < count) {
      if (std::chrono::steady_clock::now() > give_up) return false;
      std::this_thread::yield();
    }
    return true;
  }

 private:
  void Serve() {
    size_t next = 0;
    while (!stop_) {
      Bytes in;
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, 5) > 0) {
        uint8_t buffer[512];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) in.assign(buffer, buffer + n);
      }
      bool reply = false;
      for (const uint8_t b : in) reply = reply || b == TSerialPort::kAck || b == TSerialPort::kNak;
      {
        std::lock_guard lock(mutex_);
        received_.insert(received_.end(), in.begin(), in.end());
      }
      if (reply && next < items_.size()) Send(items_[next++]);
    }
  }

  std::vector<Bytes> items_;
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  Bytes received_;
  std::thread thread_;
};

Bytes Block(uint8_t number, const Bytes& data) { return recsim::Rx3Model::MakeBlock(number, data); }
const Bytes kEot{TSerialPort::kEot};

// A header group's block: its type, and for part A both part lengths.
Bytes Header(uint8_t number, uint8_t type, uint16_t length_a = 0, uint16_t length_b = 0) {
  Bytes data(128, 0);
  data[1] = type;
  data[12] = static_cast<uint8_t>(length_a >> 8);
  data[13] = static_cast<uint8_t>(length_a);
  data[14] = static_cast<uint8_t>(length_b >> 8);
  data[15] = static_cast<uint8_t>(length_b);
  return Block(number, data);
}

class Rx3Test : public ::testing::Test {
 protected:
  void SetUp() override { recorder::SetClock(&clock_); }
  void TearDown() override { recorder::SetClock(nullptr); }
  std::string File(const std::string& name) const { return dir_.File(name); }

  recorder::ScaledRecorderClock clock_{10};
  testsupport::TempFolder dir_;
};

TEST_F(Rx3Test, ReceiveBlockChecksTheSumAndSeesTheEndOfAGroup) {
  Bytes good = Block(7, Bytes(128, 0x55));
  Bytes bad = good;
  bad[50] ^= 1;
  Bytes eot_late = Block(8, Bytes(128, 0x04));  // EOT bytes inside a block are data
  struct Case {
    const char* name;
    Bytes bytes;
    bool ok;
    bool timed_out;
    bool end_of_group;
    bool nak;
  };
  const Case cases[] = {
      {"good block", good, true, false, false, false},
      {"checksum mismatch", bad, false, false, false, true},
      {"lone EOT", kEot, false, false, true, false},
      {"EOT inside a block", eot_late, true, false, false, false},
      {"nothing", {}, false, true, false, false},
      {"half a block", Bytes(good.begin(), good.begin() + 60), false, true, false, false},
  };
  ScriptedRx3Peer peer({});
  TSerialPort port;
  ASSERT_TRUE(port.Open(peer.Path(), 9600));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = peer.Received().size();
    peer.Send(c.bytes);
    bool timed_out = false;
    bool end_of_group = false;
    bool stopped = false;
    int number = -1;
    EXPECT_EQ(port.ReceiveBlock(timed_out, number, end_of_group, stopped), c.ok);
    EXPECT_EQ(timed_out, c.timed_out);
    EXPECT_EQ(end_of_group, c.end_of_group);
    EXPECT_FALSE(stopped);
    if (c.ok) EXPECT_EQ(number, c.bytes[1]);
    if (c.nak) {
      ASSERT_TRUE(peer.WaitForBytes(before + 1));
      EXPECT_EQ(peer.Received().back(), TSerialPort::kNak);
    } else {
      EXPECT_EQ(peer.Received().size(), before);
    }
  }
  port.Stop();
  bool timed_out = false;
  bool end_of_group = false;
  bool stopped = false;
  int number = -1;
  EXPECT_FALSE(port.ReceiveBlock(timed_out, number, end_of_group, stopped));
  EXPECT_TRUE(timed_out && stopped);
  port.Close();
}

// Part A of 200 bytes behind its head, over two blocks.
Bytes PartAData() {
  Bytes data(200);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 1);
  return data;
}
std::vector<Bytes> PartBlocks(const Bytes& part, uint8_t first_number) {
  Bytes with_head{0x00, 0x72, static_cast<uint8_t>(part.size() >> 8), static_cast<uint8_t>(part.size())};
  with_head.insert(with_head.end(), part.begin(), part.end());
  std::vector<Bytes> blocks;
  for (size_t at = 0; at < with_head.size(); at += 128) {
    Bytes chunk(128, 0xFF);
    std::copy(with_head.begin() + static_cast<long>(at),
              with_head.begin() + static_cast<long>(std::min(at + 128, with_head.size())), chunk.begin());
    blocks.push_back(Block(first_number++, chunk));
  }
  return blocks;
}

TEST_F(Rx3Test, ARepeatedBlockIsStoredOnce) {
  const Bytes part = PartAData();
  const std::vector<Bytes> data = PartBlocks(part, 2);
  // The recorder missed an ACK and sends block 2 again.
  ScriptedRx3Peer peer(
      {Header(1, 0x00, 200, 0), kEot, data[0], data[0], data[1], kEot, Header(4, 0xFF), kEot});
  TSerialPort port;
  std::vector<int> progress;
  EXPECT_EQ(port.Transfer(
                peer.Path(), 9600, [&](int p) { progress.push_back(p); }, File("RX3$$$$.RAW")),
            TSerialPort::kOk);
  EXPECT_EQ(platform::ReadFileBytes(File("RX3$$$$.RAW")), part);
  EXPECT_FALSE(port.Loss().Any());
  const Bytes received = peer.Received();
  EXPECT_EQ(std::string(received.begin(), received.begin() + 6), "S9600\r");
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 100);
}

TEST_F(Rx3Test, TransferFromTheSimulatedRecorder) {
  struct Case {
    const char* name;
    size_t a;
    size_t b;
    int bad_block;
  };
  const Case cases[] = {
      {"both parts", 1000, 300, -1},
      {"part A only, one block resent after a bad checksum", 500, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recsim::Rx3Config config;
    for (size_t i = 0; i < c.a; ++i) config.part_a.push_back(static_cast<uint8_t>(i % 251));
    for (size_t i = 0; i < c.b; ++i) config.part_b.push_back(static_cast<uint8_t>(i % 13 + 100));
    config.bad_checksum_block = c.bad_block;
    recsim::PtyRecorder sim(config);
    TSerialPort port;
    EXPECT_EQ(port.Transfer(sim.DevicePath(), 19200, {}, File("RX3$$$$.RAW")), TSerialPort::kOk);
    const auto lock = sim.Lock();
    EXPECT_EQ(platform::ReadFileBytes(File("RX3$$$$.RAW")), sim.Rx3().ExpectedRawFile());
    EXPECT_EQ(sim.Rx3().SpeedCommands(), (std::vector<std::string>{"S19200"}));
  }
}

TEST_F(Rx3Test, APartBeyondItsBufferKeepsWhatFitsAndSaysWhatWasLost) {
  recsim::Rx3Config config;
  config.part_a.assign(65535, 0x11);  // with its head 4 bytes more than a part buffer holds
  recsim::PtyRecorder sim(config);
  TSerialPort port;
  EXPECT_EQ(port.Transfer(sim.DevicePath(), 38400, {}, File("RX3$$$$.RAW")), TSerialPort::kOk);
  EXPECT_EQ(platform::ReadFileBytes(File("RX3$$$$.RAW")), Bytes(65531, 0x11));
  EXPECT_EQ(port.Loss().part_a, 4u);
  EXPECT_EQ(port.Loss().part_b, 0u);
}

TEST_F(Rx3Test, RunTellsOfALostPartAndOfAFailure) {
  ContextGuard context;
  platform::ResetProcessState();
  AddRX3Resources(platform::Resources().ExePack());
  platform::MemoryProfileStore profile;
  platform::ManualClock clock;
  win::ScriptedPrompt prompt;
  win::ScopedPrompt prompt_guard(prompt);
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
  doc.SetDataDirectory(dir_.Path().string());
  {
    recsim::Rx3Config config;
    config.part_a.assign(65535, 0x11);
    recsim::PtyRecorder sim(config);
    TRX3Transfer transfer(doc);
    EXPECT_EQ(transfer.Run({}, sim.DevicePath()), TSerialPort::kOk);
  }
  {
    recsim::Rx3Config config;
    config.silent = true;
    recsim::PtyRecorder sim(config);
    TRX3Transfer transfer(doc);
    EXPECT_EQ(transfer.Run({}, sim.DevicePath()), TSerialPort::kCommFailure);
  }
  ASSERT_EQ(prompt.Log().size(), 2u);
  EXPECT_EQ(prompt.Log()[0].text,
            "Not all of the recorder's data could be kept: 4 bytes are missing from the recording.");
  EXPECT_EQ(win::Windows().BeepCount(), 1);
  platform::ResetProcessState();
}

TEST_F(Rx3Test, SilentRecorderOrMissingPortFails) {
  recsim::Rx3Config config;
  config.silent = true;
  recsim::PtyRecorder sim(config);
  TSerialPort port;
  EXPECT_EQ(port.Transfer(sim.DevicePath(), 9600, {}, File("RX3$$$$.RAW")), TSerialPort::kCommFailure);
  EXPECT_EQ(port.Transfer(File("no-such-tty"), 9600, {}, File("RX3$$$$.RAW")), TSerialPort::kCommFailure);
  EXPECT_FALSE(std::filesystem::exists(File("RX3$$$$.RAW")));
}

TEST_F(Rx3Test, SplitAtTheFirstMark) {
  const Bytes mark{0x80, 0x01, 1, 2, 3, 4, 5, 0x10};
  auto with_mark_at = [&](size_t at, size_t size) {
    Bytes raw(size, 0x22);
    std::copy(mark.begin(), mark.end(), raw.begin() + static_cast<long>(at));
    return raw;
  };
  struct Case {
    const char* name;
    Bytes raw;
    size_t want_a;  // bytes of part A; the rest is part B
    bool want_b;
  };
  Bytes false_then_real = with_mark_at(20, 100);
  false_then_real[5] = 0x80;
  false_then_real[6] = 0x01;
  false_then_real[12] = 0x0F;  // eighth byte without 0x10
  Bytes failed_byte_not_a_start(40, 0x22);
  const Bytes quirk{0x80, 0x80, 0x01, 1, 2, 3, 4, 5, 0x10};
  std::copy(quirk.begin(), quirk.end(), failed_byte_not_a_start.begin() + 3);
  const Case cases[] = {
      {"mark inside", with_mark_at(10, 50), 10, true},
      {"mark straddles two pieces", with_mark_at(TSerialPort::kSplitPiece - 3, 40000),
       TSerialPort::kSplitPiece - 3, true},
      {"a false mark first", false_then_real, 20, true},
      {"the byte that failed starts no mark", failed_byte_not_a_start, 40, false},
      {"no mark", Bytes(100, 0x80), 100, false},
      {"mark cut by the end", Bytes{0x22, 0x80, 0x01, 1, 2}, 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::WriteBytes(File("RX3$$$B.RAW"), {9, 9});  // an earlier transfer's
    testsupport::WriteBytes(File("RX3$$$$.RAW"), c.raw);
    const TSerialPort::SplitResult result =
        TSerialPort::SplitRawFile(File("RX3$$$$.RAW"), File("RX3$$$A.RAW"), File("RX3$$$B.RAW"));
    EXPECT_TRUE(result.raw_found);
    EXPECT_EQ(result.part_b, c.want_b);
    EXPECT_EQ(platform::ReadFileBytes(File("RX3$$$A.RAW")),
              Bytes(c.raw.begin(), c.raw.begin() + static_cast<long>(c.want_a)));
    if (c.want_b) {
      EXPECT_EQ(platform::ReadFileBytes(File("RX3$$$B.RAW")),
                Bytes(c.raw.begin() + static_cast<long>(c.want_a), c.raw.end()));
    } else {
      EXPECT_FALSE(std::filesystem::exists(File("RX3$$$B.RAW")));
    }
  }
  EXPECT_FALSE(TSerialPort::SplitRawFile(File("missing.RAW"), File("a"), File("b")).raw_found);
}

TEST(RX3Decoder, StepsEscapesBaselineAndResampling) {
  const Bytes segment{0x80, 0x01, 0, 0, 0, 0, 0, 0, 0};
  auto concat = [](std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  struct Case {
    const char* name;
    Bytes bytes;
    std::vector<int16_t> samples;
    std::vector<int32_t> segments;
    std::vector<std::pair<int32_t, int>> events;  // position, kind
    bool cut = false;
  };
  const Case cases[] = {
      {"steps", {10, 10, 10}, {10, 14, 18, 22, 26}, {2}, {}},
      {"rounding adds a half and cuts toward zero", {0x00, 0xFD, 0x00}, {0, 0, -1, -3, -3}, {2}, {}},
      {"16-bit steps are clamped",
       {0x80, 0xFF, 0x7F, 0xFF, 0x80, 0xFF, 0x80, 0x00, 0x00},
       {700, 421, 141, 0, 0},
       {2},
       {}},
      {"a last sample without partner is dropped", {1, 1, 1, 1}, {1, 1, 2, 2, 3}, {3}, {}},
      {"events at 125 Hz positions",
       concat({{5, 5}, {0x80, 0x02, 0}, {5}, {0x80, 0x03, 0}, {5}}),
       {5, 7, 9, 11, 13},
       {3},
       {{5, 0}, {7, 3}}},
      {"no event of kind 0 at position 0", concat({{0x80, 0x02, 0}, {1, 1, 1}}), {1, 1, 2, 2, 3}, {2}, {}},
      {"segment start and baseline",
       concat({segment, {100, 0, 0, 0, 0, 50, 100}}),
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 40, 90, 170},
       {0, 6},
       {}},
      {"kind 3 at a segment start is left out",
       concat({segment, {1}, {0x80, 0x03, 0}, {1, 1}}),
       {0, 0, 1, 1, 2},
       {0, 2},
       {}},
      {"a flat segment", concat({segment, {7, 0, 0, 0}}), {0, 0, 0, 0, 0}, {0, 3}, {}},
      {"cut 16-bit step", {1, 1, 1, 0x80, 0xFF, 0x01}, {1, 1, 2, 2, 3}, {2}, {}, true},
      {"cut escape byte", {1, 1, 1, 0x80}, {1, 1, 2, 2, 3}, {2}, {}, true},
      {"cut segment", concat({{1, 1, 1}, {0x80, 0x01, 0, 0}}), {1, 1, 2, 2, 3}, {2}, {}, true},
      {"unknown escape", {1, 0x80, 0x44, 1, 1}, {1, 1, 2, 2, 3}, {2}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRX3Part part = DecodeRX3Part(c.bytes);
    EXPECT_EQ(part.samples, c.samples);
    EXPECT_EQ(part.segments, c.segments);
    std::vector<std::pair<int32_t, int>> events;
    for (const TEvent& e : part.events) {
      EXPECT_EQ(e.GetEnd(), e.GetPosition());
      events.emplace_back(e.GetPosition(), e.GetClass());
    }
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(part.cut_escape, c.cut);
  }
}

// The whole chain: transfer, split, decode, and the new recording made of part A.
TEST_F(Rx3Test, RunDecodesBothPartsAndImportMakesTheRecording) {
  ContextGuard context;
  platform::MemoryProfileStore profile;
  platform::ManualClock clock(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0});
  win::ScriptedPrompt prompt;
  win::ScopedPrompt prompt_guard(prompt);
  SettingsDefaults defaults;
  defaults.home = dir_.Path().string();
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock, defaults);
  doc.SetDataDirectory(dir_.Path().string());

  recsim::Rx3Config config;
  config.part_a = {10, 10, 10, 0x80, 0x02, 0, 10};
  config.part_b = {0x80, 0x01, 1, 2, 3, 4, 5, 0x10, 0, 5, 5, 5};
  recsim::PtyRecorder sim(config);
  TRX3Transfer transfer(doc);
  EXPECT_EQ(transfer.Run({}, sim.DevicePath()), TSerialPort::kOk);
  EXPECT_TRUE(prompt.Log().empty());

  auto samples_of = [](const std::string& path) {
    const Bytes bytes = platform::ReadFileBytes(path);
    std::vector<int16_t> samples;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      samples.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
    return samples;
  };
  EXPECT_EQ(samples_of(File("RX3$$$A.RAW")), (std::vector<int16_t>{10, 14, 18, 22, 26}));
  EXPECT_EQ(samples_of(File("RX3$$$B.RAW")), (std::vector<int16_t>{0, 2, 4, 7, 11}));
  ASSERT_EQ(transfer.EventsA().GetSize(), 1);
  EXPECT_EQ(transfer.EventsA().GetAt(0).GetPosition(), 7);
  EXPECT_EQ(transfer.EventsB().GetSize(), 0);

  const std::string qrs = ImportRX3Recording(doc, File("RX3$$$A.RAW"), transfer.EventsA(),
                                             [](TPatientData& patient, TRecordingData&) {
                                               patient.surname = "Brand";
                                               return true;
                                             });
  const std::string base = File("Brand 05-03-2024 10-00 -----");
  EXPECT_EQ(qrs, base + ".QRS");
  EXPECT_EQ(samples_of(base + ".RX3"), (std::vector<int16_t>{10, 14, 18, 22, 26}));
  const Bytes bytes = platform::ReadFileBytes(qrs);
  platform::ArchiveReader ar(bytes, qrs);
  TPatientData patient(clock);
  patient.Load(ar);
  TRecordingData recording(clock);
  recording.Load(ar);
  EXPECT_EQ(recording.identity_text, "RX-3");
  EXPECT_NEAR(recording.hrv_window_end.days, 22.0 / 24.0, 1e-9);

  // Refused patient data: the part file goes, nothing is made.
  EXPECT_EQ(ImportRX3Recording(doc, File("RX3$$$B.RAW"), transfer.EventsB(),
                               [](TPatientData&, TRecordingData&) { return false; }),
            "");
  EXPECT_FALSE(std::filesystem::exists(File("RX3$$$B.RAW")));
}

TEST_F(Rx3Test, PortNamesAndSpeeds) {
  EXPECT_EQ(TRX3Transfer::PortName(0), "COM1");
  EXPECT_EQ(TRX3Transfer::PortName(3), "COM4");
  EXPECT_EQ(TRX3Transfer::PortName(7), "COM1");
  EXPECT_EQ(TRX3Transfer::DeviceOf("COM3"), "/dev/ttyS2");
  EXPECT_EQ(TRX3Transfer::Baud(3), 14400);
  EXPECT_EQ(TRX3Transfer::Baud(9), 38400);
}

}  // namespace
