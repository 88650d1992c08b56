#include "platform/serial_port.h"

// The kernel's termios2 reads the rate back as a number; <termios.h> would clash with it.
#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "platform/io_error.h"
#include "test_dir.h"

namespace platform {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A pseudo-terminal: the port opens the slave by name, the test plays the recorder on the master.
class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    slave_ = ::ptsname(master_);
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return slave_; }
  int master() const { return master_; }

  void Send(const std::vector<uint8_t>& bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Whatever the port sent, collected until `count` bytes arrived or a second passed.
  std::vector<uint8_t> Receive(size_t count) const {
    std::vector<uint8_t> got;
    const auto deadline = steady_clock::now() + milliseconds(1000);
    while (got.size() < count && steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      uint8_t buffer[512];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  // The line settings the slave holds (ioctls on a master act on its slave).
  termios2 SlaveSettings() const {
    termios2 t{};
    EXPECT_EQ(::ioctl(master_, TCGETS2, &t), 0);
    return t;
  }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> ReadFrom(SerialPort& port, size_t count, int timeout_ms) {
  std::vector<uint8_t> buffer(count);
  buffer.resize(port.Read(buffer, timeout_ms));
  return buffer;
}

TEST(SerialPort, OpensRaw8N1AtTheAskedRate) {
  // 14400 has no classic rate code and goes through the arbitrary-rate path.
  for (const int baud : {2400, 9600, 14400, 38400, 115200}) {
    SCOPED_TRACE(baud);
    PtyPair pty;
    ASSERT_FALSE(pty.SlavePath().empty());
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), baud)) << port.Error();
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Device(), pty.SlavePath());

    const termios2 t = pty.SlaveSettings();
    EXPECT_EQ(t.c_ospeed, static_cast<speed_t>(baud));
    EXPECT_EQ(t.c_ispeed, static_cast<speed_t>(baud));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
  }
}

TEST(SerialPort, MovesEveryByteValueUnchangedBothWays) {
  // Control characters a cooked line would eat or translate: EOF 0x04, interrupt 0x03, kill 0x15,
  // XON/XOFF, CR and LF, 0xFF.
  std::vector<uint8_t> all(256);
  std::iota(all.begin(), all.end(), uint8_t{0});
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), 9600)) << port.Error();

  port.Write(all);
  EXPECT_EQ(pty.Receive(all.size()), all);

  pty.Send(all);
  EXPECT_EQ(ReadFrom(port, all.size(), 1000), all);

  port.Write(std::string_view("S9600\r"));
  EXPECT_EQ(pty.Receive(6), Bytes("S9600\r"));
}

TEST(SerialPort, ReadStopsAtTheTimeOutWithWhatArrived) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), 2400)) << port.Error();

  const auto t0 = steady_clock::now();
  EXPECT_TRUE(ReadFrom(port, 4, 0).empty()) << "nothing waiting and no time to wait";
  EXPECT_LT(steady_clock::now() - t0, milliseconds(500));

  pty.Send(Bytes("ACK"));
  const auto t1 = steady_clock::now();
  EXPECT_EQ(ReadFrom(port, 10, 30), Bytes("ACK"));
  const auto waited = steady_clock::now() - t1;
  EXPECT_GE(waited, milliseconds(30)) << "a short read waits out its time";
  EXPECT_LT(waited, milliseconds(1000));
}

TEST(SerialPort, AvailableCountsWaitingBytesAndPurgeDropsThem) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), 9600)) << port.Error();
  EXPECT_EQ(port.Available(), 0u);

  // The bytes of one write reach the slave together: once the first is readable, all are there.
  pty.Send(Bytes("xstale"));
  ASSERT_EQ(ReadFrom(port, 1, 1000), Bytes("x"));
  EXPECT_EQ(port.Available(), 5u);

  port.Purge();
  EXPECT_EQ(port.Available(), 0u);
  pty.Send(Bytes("new"));
  EXPECT_EQ(ReadFrom(port, 3, 1000), Bytes("new"));
}

TEST(SerialPort, OpenFailureIsAValueNamingTheDevice) {
  const std::filesystem::path dir = testing_support::MakeTestDir();
  const std::filesystem::path plain_file = dir / "ttyZK";
  testing_support::WriteText(plain_file, "not a tty");
  PtyPair pty;

  struct Case {
    const char* name;
    std::string device;
    int baud;
    const char* fault;
  };
  const Case cases[] = {
      {"missing device", (dir / "ttyUSB9").string(), 9600, "No such file or directory"},
      {"plain file", plain_file.string(), 9600, "not a serial line"},
      {"no baud rate", pty.SlavePath(), 0, "unsupported baud rate 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SerialPort port;
    EXPECT_FALSE(port.Open(c.device, c.baud));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Error(), c.device + ": " + c.fault);
    EXPECT_EQ(port.Available(), 0u);
    EXPECT_THROW(port.Write(Bytes("S")), IoError);
  }
}

TEST(SerialPort, IsExclusiveUntilClosed) {
  PtyPair pty;
  SerialPort first;
  ASSERT_TRUE(first.Open(pty.SlavePath(), 9600)) << first.Error();

  SerialPort second;
  EXPECT_FALSE(second.Open(pty.SlavePath(), 9600));
  EXPECT_NE(second.Error().find(pty.SlavePath()), std::string::npos) << second.Error();

  // A failed open of another device closes the port that was open before.
  EXPECT_FALSE(first.Open("/nonexistent/ttyS9", 9600));
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(second.Open(pty.SlavePath(), 9600)) << second.Error();

  SerialPort moved = std::move(second);
  EXPECT_FALSE(second.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  moved.Write(Bytes("ok"));
  EXPECT_EQ(pty.Receive(2), Bytes("ok"));
  EXPECT_TRUE(moved.Close());
  EXPECT_TRUE(moved.Close()) << "closing twice is harmless";
  EXPECT_TRUE(first.Open(pty.SlavePath(), 9600)) << first.Error();
}

TEST(SerialPort, DeviceFailuresThrowNamingTheDevice) {
  {
    SCOPED_TRACE("hang-up while reading");
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600)) << port.Error();
    pty.CloseMaster();
    try {
      (void)ReadFrom(port, 1, 200);
      ADD_FAILURE() << "no exception";
    } catch (const IoError& e) {
      EXPECT_EQ(e.where(), pty.SlavePath());
    }
    EXPECT_THROW(port.Write(Bytes("x")), IoError);
  }
  {
    SCOPED_TRACE("nobody takes the bytes");
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600)) << port.Error();
    const std::vector<uint8_t> flood(1 << 20, 0x55);
    try {
      port.Write(flood, 20);
      ADD_FAILURE() << "no exception";
    } catch (const IoError& e) {
      EXPECT_EQ(e.where(), pty.SlavePath());
      EXPECT_NE(e.fault().find("timed out after 20 ms"), std::string::npos) << e.fault();
    }
    port.Purge();
  }
}

}  // namespace
}  // namespace platform
