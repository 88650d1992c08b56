#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct TRecorderCommand;

namespace recorder {

// Device kinds that Detect reports.
inline constexpr int kDeviceSdCardUsb = 4;        // the SD-card recorder on its own USB cable
inline constexpr int kDeviceInterfaceCard = 5;    // the interface card
inline constexpr int kDeviceProbedConverter = 6;  // a USB converter found by its device name
inline constexpr int kDeviceUsbConverter = 7;     // a USB converter found by its product name
inline constexpr int kDeviceOtherUsb = 8;

// The interface setting ("I/O-Port" / "Mode").
inline constexpr int kInterfaceUsbConverter = 0;
inline constexpr int kInterfaceCard = 1;

// At most this many devices are listed by one discovery.
inline constexpr int kMaxDevices = 8;
// Received bytes kept by one read.
inline constexpr size_t kReceiveCapacity = 2000;

struct DetectedDevice {
  std::string name;  // what Open takes
  int kind = 0;      // kDevice*
};

// One open connection to a recorder. It moves bytes and knows nothing of their meaning (the
// command words are TRecorderProtocol's). Every buffer is the link's own: two links never share
// received bytes. Every wait goes through recorder::Clock(). Not thread-safe, except that the
// monitor stream is collected by the link's own reader thread between EnableTransfer(true) and
// EnableTransfer(false). Calling order: Open; Reset; 500 ms; "Reset\r" without echo; 1000 ms;
// then commands; destroy.
class RecorderLink {
 public:
  // Query results.
  static constexpr int kQueryOk = 0;
  static constexpr int kQueryConfirmError = -3;
  static constexpr int kQueryNoData = -4;
  static constexpr int kQueryNotSupported = -9999;

  virtual ~RecorderLink() = default;

  // mode_word: the interface card's I/O base address (ignored by USB). device: a name from
  // Detect; empty takes the link's default device. False with Error() saying why.
  [[nodiscard]] virtual bool Open(uint32_t mode_word, const std::string& device) = 0;
  virtual bool IsOpen() const = 0;
  // Why the last Open or Detect failed, for the user.
  virtual const std::string& Error() const = 0;

  // Sends a command; with wait_echo, returns 1 when the recorder echoed it (or it holds the
  // stream-start byte), else 0; without, the write's result (nonzero = written). -1 not open.
  virtual int SendText(std::span<const uint8_t> text, bool wait_echo, int delay_ms) = 0;
  int SendText(std::string_view text, bool wait_echo, int delay_ms) {
    return SendText(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), wait_echo,
                    delay_ms);
  }
  // header_len command bytes followed by data_len data bytes (at most 512); the echo is checked
  // on the header only.
  virtual int SendBytes(std::span<const uint8_t> bytes, size_t header_len, size_t data_len, bool wait_echo,
                        int delay_ms) = 0;
  // Sends the command and collects its echo and `answer_len` answer bytes. kQuery* result;
  // `answer` holds what came after the echo (or, on failure, what was collected, cut to
  // answer_len).
  virtual int Query(std::span<const uint8_t> command, size_t answer_len, std::vector<uint8_t>& answer,
                    int delay_ms) = 0;
  int Query(std::string_view command, size_t answer_len, std::vector<uint8_t>& answer, int delay_ms) {
    return Query(std::span(reinterpret_cast<const uint8_t*>(command.data()), command.size()), answer_len,
                 answer, delay_ms);
  }
  virtual void Reset() = 0;
  virtual void SetMode(uint8_t mode) = 0;
  // Starts or stops the monitor stream's collection; nonzero on success.
  virtual int EnableTransfer(bool on) = 0;
  // Takes the collected monitor bytes (without 0xFF fill bytes) into Received(); their number.
  virtual int ReadBlock() = 0;
  // Reads what has arrived into Received(); its number, negative when the device failed.
  // use_leftover hands out first the bytes that followed the last echo.
  virtual int Read(bool use_leftover) = 0;
  // Lists at most kMaxDevices devices of this link's kind; returns how many were listed (never
  // more than it listed). filter: 0 any, 3 converters, 4 SD-card recorders (enumeration only).
  virtual int Detect(std::vector<DetectedDevice>& devices, int filter, bool enumerate) = 0;

  // The bytes of the last Read or ReadBlock.
  std::span<const uint8_t> Received() const { return {received_.data(), received_count_}; }

 protected:
  std::vector<uint8_t> received_ = std::vector<uint8_t>(kReceiveCapacity);
  size_t received_count_ = 0;
};

// Where the USB converter link looks for devices. Tests point it at a pseudo-terminal and a
// sysfs tree of their own.
struct LinkEnvironment {
  // Probed in order for kDeviceProbedConverter (at most kMaxDevices).
  std::vector<std::string> probe_names = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB3",
                                          "/dev/ttyUSB4", "/dev/ttyUSB5", "/dev/ttyUSB6", "/dev/ttyUSB7"};
  // Enumeration reads the product names of serial devices below this root (layout in
  // usb_converter.h) and lists each device as dev_root/<tty name>.
  std::string sysfs_root = "/sys";
  std::string dev_root = "/dev";
  int baud_rate = 115200;
};
LinkEnvironment& Environment();

// Sends a command as the recorder takes it: a word alone, or its data behind it; data longer than a
// block (the flexible block behind its number) follows the word, which alone is confirmed. The
// link's SendText / SendBytes result.
int SendCommand(RecorderLink& link, const TRecorderCommand& command, bool confirm);

// The link for the interface setting (kInterface*); nullptr for any other value.
std::unique_ptr<RecorderLink> MakeRecorderLink(int interface_kind);

}  // namespace recorder
