#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_port.h"
#include "recorder/recorder_link.h"

namespace recorder {

// The link over a USB converter or the SD-card recorder's own USB cable: a serial tty at
// Environment().baud_rate. Checks the recorder's echo of confirmed commands, drops the echo of an
// unconfirmed command before the next confirmed one (waiting for it when it is late), keeps the
// bytes that followed an echo for the next Read(true), and between EnableTransfer(true) and
// (false) runs a reader thread that polls the device every 50 ms into a queue of the newest
// kReceiveCapacity bytes. All state is the link's own. Used by one thread; only the queue is
// shared with the reader thread (under its mutex), and while the reader runs the caller only
// writes and calls ReadBlock.
//
// Discovery with enumeration reads the tty class of sysfs as Linux lays it out:
//   <sysfs_root>/class/tty/<tty>/device   link to the tty's port or interface folder
// and, walking up from the folder that link resolves to (at most three levels), the first folder
// holding "idVendor" is the USB device; its "product" file holds the product name. A tty that has
// no "device" link or no USB device above it is not a USB device and is not listed. The device is
// listed as <dev_root>/<tty>.
class TUsbConverter : public RecorderLink {
 public:
  TUsbConverter() = default;
  ~TUsbConverter() override;
  TUsbConverter(const TUsbConverter&) = delete;
  TUsbConverter& operator=(const TUsbConverter&) = delete;

  [[nodiscard]] bool Open(uint32_t mode_word, const std::string& device) override;
  bool IsOpen() const override { return port_.IsOpen(); }
  const std::string& Error() const override { return error_; }

  int SendText(std::span<const uint8_t> text, bool wait_echo, int delay_ms) override;
  using RecorderLink::SendText;
  int SendBytes(std::span<const uint8_t> bytes, size_t header_len, size_t data_len, bool wait_echo,
                int delay_ms) override;
  int Query(std::span<const uint8_t> command, size_t answer_len, std::vector<uint8_t>& answer,
            int delay_ms) override;
  using RecorderLink::Query;
  void Reset() override;
  void SetMode(uint8_t) override {}
  int EnableTransfer(bool on) override;
  int ReadBlock() override;
  int Read(bool use_leftover) override;
  int Detect(std::vector<DetectedDevice>& devices, int filter, bool enumerate) override;

  // Bytes the reader thread has taken off the device since the last EnableTransfer(true).
  uint64_t StreamedBytes() const;

  static constexpr int kEchoWaitTextMs = 8000;
  static constexpr int kEchoWaitBytesMs = 2000;
  static constexpr int kDefaultDelayMs = 100;
  static constexpr int kPollIntervalMs = 50;
  static constexpr size_t kMaxDataBytes = 512;
  static constexpr size_t kDataPieceBytes = 256;

 private:
  // The device read of Read(false): waits up to one poll interval for the first byte, then takes
  // what is waiting. -1 when the device failed.
  int DeviceRead(std::span<uint8_t> out, int wait_ms);
  bool DeviceWrite(std::span<const uint8_t> bytes);
  // Read(false) without giving up the outstanding echo.
  int ReadInput();
  void Drain();
  // Reads and drops input until the echo of the last unconfirmed command has come, or the echo
  // wait of a query passed.
  void DiscardUnconfirmedEcho();
  // Reads until `wanted` bytes are collected or the deadline passed; appends them to `collected`.
  // With keep_leftover, the bytes of the last chunk past the wanted ones become the leftover.
  void Collect(size_t wanted, int wait_ms, std::vector<uint8_t>& collected, bool keep_leftover);
  void ReaderLoop();
  void StopReader();
  int DetectProbed(std::vector<DetectedDevice>& devices);
  int DetectEnumerated(std::vector<DetectedDevice>& devices, int filter);

  platform::SerialPort port_;
  std::string error_;
  std::vector<uint8_t> leftover_;
  // The last command sent without confirmation whose echo has not been seen yet.
  std::vector<uint8_t> unconfirmed_echo_;

  std::thread reader_;
  mutable std::mutex queue_mutex_;  // guards queue_, streamed_bytes_ and stop_
  std::condition_variable stop_signal_;
  bool stop_ = false;
  std::deque<uint8_t> queue_;
  uint64_t streamed_bytes_ = 0;
};

}  // namespace recorder
