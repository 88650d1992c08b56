#include "recorder/usb_converter.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "platform/io_error.h"
#include "recorder/recorder_clock.h"

namespace recorder {
namespace {

namespace fs = std::filesystem;

// The stream-start byte: a command holding it is never echoed, sending it counts as success.
constexpr uint8_t kStreamStart = 0x15;
constexpr uint8_t kFillByte = 0xFF;
constexpr int kHeaderPauseMs = 200;
constexpr int kPiecePauseMs = 100;
constexpr int kResetPauseMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
// Reads of a drain after the first one that brought bytes.
constexpr int kMaxDrainReads = 20;
// sysfs puts the USB device at most this many folders above a tty's device link.
constexpr int kMaxUsbLevels = 3;

constexpr const char* kProductSdCardRecorder = "Kestrova ZK-131 USB";
constexpr const char* kProductConverter = "Kestrova USB Converter";

bool HoldsStreamStart(std::span<const uint8_t> bytes) {
  return std::find(bytes.begin(), bytes.end(), kStreamStart) != bytes.end();
}

bool Contains(const std::vector<uint8_t>& haystack, std::span<const uint8_t> needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// "ttyUSB2" before "ttyUSB10", so that the list follows the device numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
  const auto split = [](const std::string& s) {
    size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
    return std::pair{s.substr(0, digits), s.substr(digits)};
  };
  const auto [prefix_a, number_a] = split(a);
  const auto [prefix_b, number_b] = split(b);
  if (prefix_a != prefix_b) return prefix_a < prefix_b;
  if (number_a.size() != number_b.size()) return number_a.size() < number_b.size();
  return number_a < number_b;
}

// The product name of the USB device behind a tty of the sysfs tty class; nullopt when the tty is
// not a USB device. A USB device without a product string gives an empty name.
std::optional<std::string> UsbProductOf(const fs::path& tty_dir) {
  std::error_code ec;
  fs::path dir = fs::canonical(tty_dir / "device", ec);
  if (ec) return std::nullopt;
  for (int level = 0; level <= kMaxUsbLevels; ++level) {
    if (fs::exists(dir / "idVendor", ec)) {
      std::string product;
      std::ifstream in(dir / "product");
      std::getline(in, product);
      while (!product.empty() && std::isspace(static_cast<unsigned char>(product.back()))) product.pop_back();
      return product;
    }
    if (!dir.has_parent_path() || dir.parent_path() == dir) break;
    dir = dir.parent_path();
  }
  return std::nullopt;
}

int KindOfProduct(const std::string& product) {
  if (product == kProductSdCardRecorder) return kDeviceSdCardUsb;
  if (product == kProductConverter) return kDeviceUsbConverter;
  return kDeviceOtherUsb;
}

bool FilterTakes(int filter, int kind) {
  return filter == 0 || (filter == 4 && kind == kDeviceSdCardUsb) ||
         (filter == 3 && kind == kDeviceUsbConverter);
}

}  // namespace

TUsbConverter::~TUsbConverter() { StopReader(); }

bool TUsbConverter::Open(uint32_t, const std::string& device) {
  StopReader();
  leftover_.clear();
  unconfirmed_echo_.clear();
  received_count_ = 0;
  const std::vector<std::string>& probe_names = Environment().probe_names;
  const std::string name = !device.empty()       ? device
                           : probe_names.empty() ? std::string()
                                                 : probe_names.front();
  if (name.empty()) {
    port_.Close();
    error_ = "No USB converter device is configured.";
    return false;
  }
  if (!port_.Open(name, Environment().baud_rate)) {
    error_ = port_.Error();
    return false;
  }
  error_.clear();
  return true;
}

bool TUsbConverter::DeviceWrite(std::span<const uint8_t> bytes) {
  if (!port_.IsOpen()) return false;
  try {
    port_.Write(bytes, Clock().RealWaitMs(kWriteTimeoutMs));
    return true;
  } catch (const platform::IoError&) {
    return false;
  }
}

int TUsbConverter::DeviceRead(std::span<uint8_t> out, int wait_ms) {
  if (!port_.IsOpen() || out.empty()) return -1;
  try {
    size_t got = port_.Read(out.first(1), Clock().RealWaitMs(wait_ms));
    if (got > 0) got += port_.Read(out.subspan(1), 0);
    return static_cast<int>(got);
  } catch (const platform::IoError&) {
    return -1;
  }
}

int TUsbConverter::Read(bool use_leftover) {
  // The caller takes the input over, an outstanding echo included.
  unconfirmed_echo_.clear();
  if (use_leftover && !leftover_.empty()) {
    const size_t count = std::min(leftover_.size(), received_.size());
    std::copy_n(leftover_.begin(), count, received_.begin());
    received_count_ = count;
    leftover_.clear();
    return static_cast<int>(count);
  }
  return ReadInput();
}

int TUsbConverter::ReadInput() {
  received_count_ = 0;
  const int n = DeviceRead(received_, kPollIntervalMs);
  if (n < 0) return -1;
  received_count_ = static_cast<size_t>(n);
  return n;
}

void TUsbConverter::Drain() {
  DiscardUnconfirmedEcho();
  if (ReadInput() <= 0) return;
  for (int i = 0; i < kMaxDrainReads; ++i)
    if (ReadInput() <= 0) return;
}

void TUsbConverter::DiscardUnconfirmedEcho() {
  if (unconfirmed_echo_.empty()) return;
  const std::vector<uint8_t> echo = std::move(unconfirmed_echo_);
  unconfirmed_echo_.clear();
  // The end of what was discarded, so that an echo split over two reads is still found.
  std::vector<uint8_t> tail;
  const int64_t deadline = Clock().TickMs() + kEchoWaitBytesMs;
  while (Clock().TickMs() < deadline) {
    if (ReadInput() < 0) return;
    const std::span<const uint8_t> chunk = Received();
    tail.insert(tail.end(), chunk.begin(), chunk.end());
    if (Contains(tail, echo)) return;
    if (tail.size() >= echo.size())
      tail.erase(tail.begin(), tail.end() - static_cast<std::ptrdiff_t>(echo.size() - 1));
  }
}

void TUsbConverter::Collect(size_t wanted, int wait_ms, std::vector<uint8_t>& collected, bool keep_leftover) {
  if (keep_leftover) leftover_.clear();
  const int64_t deadline = Clock().TickMs() + wait_ms;
  size_t taken = 0;
  while (taken < wanted && Clock().TickMs() < deadline) {
    const int n = ReadInput();
    // A failed device brings no echo: waiting out the deadline would only stall the caller.
    if (n < 0) return;
    const std::span<const uint8_t> chunk = Received();
    const size_t take = std::min(chunk.size(), wanted - taken);
    collected.insert(collected.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
    taken += take;
    if (keep_leftover && take < chunk.size())
      leftover_.assign(chunk.begin() + static_cast<std::ptrdiff_t>(take), chunk.end());
  }
}

int TUsbConverter::SendText(std::span<const uint8_t> text, bool wait_echo, int delay_ms) {
  if (!IsOpen()) return -1;
  if (wait_echo) Drain();
  // A write the device refused is a failure even for the stream-start byte, which is never echoed.
  if (!DeviceWrite(text)) return 0;
  if (!wait_echo) {
    // Its echo may come later than the next drain looks: the next confirmed command waits for it.
    // The stream-start byte is not echoed, and the reader thread takes what a running stream brings.
    if (HoldsStreamStart(text) || reader_.joinable())
      unconfirmed_echo_.clear();
    else
      unconfirmed_echo_.assign(text.begin(), text.end());
    return 1;
  }
  Clock().SleepMs(delay_ms == 0 ? kDefaultDelayMs : delay_ms);
  std::vector<uint8_t> echo;
  Collect(text.size(), kEchoWaitTextMs, echo, true);
  return HoldsStreamStart(text) || Contains(echo, text) ? 1 : 0;
}

int TUsbConverter::SendBytes(std::span<const uint8_t> bytes, size_t header_len, size_t data_len,
                             bool wait_echo, int delay_ms) {
  if (!IsOpen()) return -1;
  // Refused rather than cut short: a block sent in part would be taken as a whole by the recorder.
  if (data_len > kMaxDataBytes || header_len > bytes.size() || data_len > bytes.size() - header_len) return 0;
  if (wait_echo) Drain();
  const std::span<const uint8_t> header = bytes.first(header_len);
  bool written = DeviceWrite(header);
  Clock().SleepMs(kHeaderPauseMs);
  for (size_t offset = 0; written && offset < data_len; offset += kDataPieceBytes) {
    written = DeviceWrite(bytes.subspan(header_len + offset, std::min(kDataPieceBytes, data_len - offset)));
    Clock().SleepMs(kPiecePauseMs);
  }
  if (!written) return 0;
  if (!wait_echo) return 1;
  Clock().SleepMs(delay_ms == 0 ? kDefaultDelayMs : delay_ms);
  std::vector<uint8_t> echo;
  Collect(header_len, kEchoWaitBytesMs, echo, false);
  return HoldsStreamStart(header) || Contains(echo, header) ? 1 : 0;
}

int TUsbConverter::Query(std::span<const uint8_t> command, size_t answer_len, std::vector<uint8_t>& answer,
                         int delay_ms) {
  answer.clear();
  if (!IsOpen()) return kQueryNoData;
  // No answer of the recorder is longer than one data block.
  if (answer_len > kMaxDataBytes) return kQueryNoData;
  Drain();
  if (!DeviceWrite(command)) return kQueryNoData;
  Clock().SleepMs(delay_ms == 0 ? kDefaultDelayMs : delay_ms);
  const size_t wanted = command.size() + answer_len;
  std::vector<uint8_t> collected;
  Collect(wanted, kEchoWaitBytesMs, collected, false);
  const auto hand_back_start = [&] {
    answer.assign(collected.begin(),
                  collected.begin() + static_cast<std::ptrdiff_t>(std::min(collected.size(), answer_len)));
  };
  if (collected.size() < wanted) {
    hand_back_start();
    return kQueryNoData;
  }
  if (!std::equal(command.begin(), command.end(), collected.begin())) {
    hand_back_start();
    return kQueryConfirmError;
  }
  answer.assign(collected.begin() + static_cast<std::ptrdiff_t>(command.size()), collected.end());
  return kQueryOk;
}

void TUsbConverter::Reset() {
  if (!IsOpen()) return;
  // The converter box needs its pause before the interface reset; on a tty the reset is a purge.
  Clock().SleepMs(kResetPauseMs);
  port_.Purge();
  unconfirmed_echo_.clear();
}

int TUsbConverter::EnableTransfer(bool on) {
  if (!on) {
    StopReader();
    return 1;
  }
  if (!IsOpen()) return 0;
  unconfirmed_echo_.clear();
  {
    std::lock_guard lock(queue_mutex_);
    queue_.clear();
    streamed_bytes_ = 0;
    stop_ = false;
  }
  if (reader_.joinable()) return 1;
  try {
    reader_ = std::thread(&TUsbConverter::ReaderLoop, this);
  } catch (const std::system_error&) {
    return 0;
  }
  return 1;
}

void TUsbConverter::StopReader() {
  if (!reader_.joinable()) return;
  {
    std::lock_guard lock(queue_mutex_);
    stop_ = true;
  }
  stop_signal_.notify_all();
  reader_.join();
}

void TUsbConverter::ReaderLoop() {
  try {
    std::vector<uint8_t> chunk(kReceiveCapacity);
    std::unique_lock lock(queue_mutex_);
    for (;;) {
      const auto poll = std::chrono::milliseconds(Clock().RealWaitMs(kPollIntervalMs));
      if (stop_signal_.wait_for(lock, poll, [this] { return stop_; })) return;
      lock.unlock();
      // Takes only what is waiting, so that a stop request is seen within one poll interval.
      const int n = DeviceRead(chunk, 0);
      lock.lock();
      if (n <= 0) continue;
      queue_.insert(queue_.end(), chunk.begin(), chunk.begin() + n);
      streamed_bytes_ += static_cast<uint64_t>(n);
      if (queue_.size() > kReceiveCapacity)
        queue_.erase(queue_.begin(),
                     queue_.begin() + static_cast<std::ptrdiff_t>(queue_.size() - kReceiveCapacity));
    }
  } catch (...) {
    // No exception may leave the thread; the monitor then simply receives nothing more.
  }
}

uint64_t TUsbConverter::StreamedBytes() const {
  std::lock_guard lock(queue_mutex_);
  return streamed_bytes_;
}

int TUsbConverter::ReadBlock() {
  std::lock_guard lock(queue_mutex_);
  const size_t taken = std::min(queue_.size(), kReceiveCapacity);
  size_t count = 0;
  for (size_t i = 0; i < taken; ++i)
    if (queue_[i] != kFillByte) received_[count++] = queue_[i];
  queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(taken));
  received_count_ = count;
  return static_cast<int>(count);
}

int TUsbConverter::Detect(std::vector<DetectedDevice>& devices, int filter, bool enumerate) {
  devices.clear();
  error_.clear();
  return enumerate ? DetectEnumerated(devices, filter) : DetectProbed(devices);
}

int TUsbConverter::DetectProbed(std::vector<DetectedDevice>& devices) {
  const LinkEnvironment& environment = Environment();
  const size_t probes = std::min(environment.probe_names.size(), static_cast<size_t>(kMaxDevices));
  std::string first_error;
  for (size_t i = 0; i < probes; ++i) {
    platform::SerialPort probe;
    if (probe.Open(environment.probe_names[i], environment.baud_rate)) {
      probe.Close();
      devices.push_back({environment.probe_names[i], kDeviceProbedConverter});
    } else if (first_error.empty()) {
      first_error = probe.Error();
    }
  }
  if (devices.empty())
    error_ = first_error.empty() ? "No USB converter device is configured."
                                 : "No USB converter found (" + first_error + ").";
  return static_cast<int>(devices.size());
}

int TUsbConverter::DetectEnumerated(std::vector<DetectedDevice>& devices, int filter) {
  const LinkEnvironment& environment = Environment();
  const fs::path tty_class = fs::path(environment.sysfs_root) / "class" / "tty";
  std::error_code ec;
  std::vector<std::string> ttys;
  for (fs::directory_iterator it(tty_class, ec), end; !ec && it != end; it.increment(ec))
    ttys.push_back(it->path().filename().string());
  if (ec) {
    error_ = tty_class.string() + ": " + ec.message();
    return 0;
  }
  std::sort(ttys.begin(), ttys.end(), NaturalLess);
  for (const std::string& tty : ttys) {
    // The callers' device tables hold kMaxDevices entries.
    if (devices.size() >= static_cast<size_t>(kMaxDevices)) break;
    const std::optional<std::string> product = UsbProductOf(tty_class / tty);
    if (!product) continue;
    const int kind = KindOfProduct(*product);
    if (FilterTakes(filter, kind)) devices.push_back({(fs::path(environment.dev_root) / tty).string(), kind});
  }
  if (devices.empty()) error_ = "No USB device of the recorder found.";
  return static_cast<int>(devices.size());
}

}  // namespace recorder
