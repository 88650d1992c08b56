#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// One open serial line (a tty such as /dev/ttyUSB0 or a pseudo-terminal), raw 8N1 with no flow
// control, DTR and RTS raised. The recorder links move bytes through it.
//
// Failing to open is a value: Open returns false and Error() names the device and the cause.
// Once open, a device that fails or hangs up while reading or writing throws IoError; a read
// that runs out of time is not a failure and returns what arrived. Not thread-safe: one thread
// uses a port at a time.
class SerialPort {
 public:
  static constexpr int kDefaultWriteTimeoutMs = 1000;

  SerialPort() = default;
  ~SerialPort();
  SerialPort(SerialPort&& other) noexcept;
  SerialPort& operator=(SerialPort&& other) noexcept;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens the device for exclusive use at the given baud rate (any rate the driver takes,
  // 14400 included). Closes a port that was open before, also when the new one fails.
  [[nodiscard]] bool Open(const std::string& device, int baud);
  // Waits until written bytes have left, then closes; false when that failed. Closing a closed
  // port is true.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Device() const { return device_; }
  const std::string& Error() const { return error_; }

  // Fills `out` with what arrives until it is full or `timeout_ms` has passed; 0 takes only
  // what is already waiting. Returns the number of bytes read.
  [[nodiscard]] size_t Read(std::span<uint8_t> out, int timeout_ms);
  // Writes every byte; throws IoError when the device fails or does not take them in time.
  void Write(std::span<const uint8_t> bytes, int timeout_ms = kDefaultWriteTimeoutMs);
  void Write(std::string_view text, int timeout_ms = kDefaultWriteTimeoutMs);
  // Bytes received and not yet read; 0 when the port is closed or cannot tell.
  size_t Available() const;
  // Drops received bytes not yet read and written bytes not yet sent.
  void Purge();

 private:
  [[noreturn]] void Fail(const std::string& fault) const;

  int fd_ = -1;
  std::string device_;
  std::string error_;
};

}  // namespace platform
