#include "platform/serial_port.h"

// termios2 (from the kernel's headers, not <termios.h>) sets any baud rate, 14400 included.
#include <asm/termbits.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "platform/io_error.h"

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct StandardRate {
  int baud;
  unsigned code;
};

// Drivers that predate arbitrary rates understand only these codes.
constexpr StandardRate kStandardRates[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

unsigned RateCode(int baud) {
  for (const StandardRate& rate : kStandardRates)
    if (rate.baud == baud) return rate.code;
  return BOTHER;
}

std::string SystemText(int error) { return std::strerror(error); }

// Rounded up: a wait must not end before its deadline.
int RemainingMs(SteadyClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

}  // namespace

SerialPort::~SerialPort() { Close(); }

SerialPort::SerialPort(SerialPort&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), device_(std::move(other.device_)), error_(std::move(other.error_)) {}

SerialPort& SerialPort::operator=(SerialPort&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    device_ = std::move(other.device_);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool SerialPort::Open(const std::string& device, int baud) {
  Close();
  error_.clear();
  device_ = device;
  if (baud <= 0) {
    error_ = device + ": unsupported baud rate " + std::to_string(baud);
    return false;
  }
  // Non-blocking so that neither the open nor a read can hang on a line without carrier;
  // every wait goes through poll with a time-out.
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error_ = device + ": " + SystemText(errno);
    return false;
  }
  const auto fail = [&](const std::string& fault) {
    error_ = device + ": " + fault;
    ::close(fd);
    return false;
  };
  termios2 settings{};
  if (::ioctl(fd, TCGETS2, &settings) != 0) return fail("not a serial line");
  // The advisory lock keeps out other processes, root included (the tty's own exclusive mode
  // does not stop root).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    return fail(errno == EWOULDBLOCK ? "in use by another program" : SystemText(errno));
  ::ioctl(fd, TIOCEXCL);

  settings.c_iflag &=
      ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= CS8 | CREAD | CLOCAL | RateCode(baud);
  settings.c_ispeed = static_cast<speed_t>(baud);
  settings.c_ospeed = static_cast<speed_t>(baud);
  // One byte satisfies a read, so that "nothing yet" is EAGAIN and a read of 0 means hang-up.
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (::ioctl(fd, TCSETS2, &settings) != 0) return fail("line settings refused: " + SystemText(errno));

  // Pseudo-terminals have no modem lines; a line that has them gets DTR and RTS.
  const int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIS, &lines);
  fd_ = fd;
  return true;
}

bool SerialPort::Close() {
  if (fd_ < 0) return true;
  bool ok = true;
  if (::ioctl(fd_, TCSBRK, 1) != 0) {  // waits until the output has left
    error_ = device_ + ": " + SystemText(errno);
    ok = false;
  }
  ::ioctl(fd_, TIOCNXCL);
  if (::close(fd_) != 0 && ok) {
    error_ = device_ + ": " + SystemText(errno);
    ok = false;
  }
  fd_ = -1;
  return ok;
}

size_t SerialPort::Read(std::span<uint8_t> out, int timeout_ms) {
  if (fd_ < 0) Fail("read on a port that is not open");
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(0, timeout_ms));
  size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::read(fd_, out.data() + got, out.size() - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
      continue;
    }
    if (n == 0) Fail("line hung up");
    if (errno == EINTR) continue;
    if (errno != EAGAIN) Fail("read failed: " + SystemText(errno));
    const int wait_ms = RemainingMs(deadline);
    if (wait_ms == 0) break;
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, wait_ms);
    if (ready < 0 && errno != EINTR) Fail("read failed: " + SystemText(errno));
    if (ready > 0 && (p.revents & POLLIN) == 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
      Fail("line hung up");
  }
  return got;
}

void SerialPort::Write(std::span<const uint8_t> bytes, int timeout_ms) {
  if (fd_ < 0) Fail("write on a port that is not open");
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(0, timeout_ms));
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) Fail("write failed: " + SystemText(errno));
    const int wait_ms = RemainingMs(deadline);
    if (wait_ms == 0)
      Fail("write timed out after " + std::to_string(timeout_ms) + " ms, " + std::to_string(sent) + " of " +
           std::to_string(bytes.size()) + " bytes sent");
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, wait_ms) < 0 && errno != EINTR) Fail("write failed: " + SystemText(errno));
  }
}

void SerialPort::Write(std::string_view text, int timeout_ms) {
  Write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), timeout_ms);
}

size_t SerialPort::Available() const {
  int count = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0 || count < 0) return 0;
  return static_cast<size_t>(count);
}

void SerialPort::Purge() {
  if (fd_ >= 0) ::ioctl(fd_, TCFLSH, TCIOFLUSH);
}

void SerialPort::Fail(const std::string& fault) const { throw IoError(device_, fault); }

}  // namespace platform
