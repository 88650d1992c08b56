#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/event_list.h"
#include "platform/serial_port.h"
#include "win/property_sheet.h"

class CZK470Doc;
class TPatientData;
class TRecordingData;
namespace platform {
class ResourcePack;
}

// The older RX-3 recorder's serial block protocol: 132-byte blocks (byte 1 the block number,
// bytes 3..130 data, byte 131 the sum of the others), groups ended by a lone EOT, woken by NAK and
// acknowledged by ACK. Collects the two data parts into a raw file. Every wait goes through
// recorder::Clock(). One thread uses a port; Stop may be called from any thread.
class TSerialPort {
 public:
  static constexpr size_t kBlockSize = 132;
  static constexpr size_t kBlockData = 128;
  static constexpr size_t kPartCapacity = 65535;
  static constexpr size_t kPartHead = 4;
  static constexpr uint8_t kEot = 0x04;
  static constexpr uint8_t kAck = 0x06;
  static constexpr uint8_t kNak = 0x15;
  static constexpr int kBlockTimeoutMs = 3000;
  static constexpr int kWakeTries = 50;
  static constexpr int kWakePauseMs = 100;
  static constexpr int kCommandBaud = 2400;
  static constexpr size_t kSplitPiece = 32738;

  // Transfer results.
  static constexpr int kOk = 0;
  static constexpr int kCommFailure = 2;
  static constexpr int kFileFailure = 3;

  // What the part buffers could not hold: each part's bytes that its head promised and that were
  // dropped because the buffer was full or the transfer brought fewer.
  struct PartLoss {
    size_t part_a = 0;
    size_t part_b = 0;
    bool Any() const { return part_a != 0 || part_b != 0; }
  };

  bool Open(const std::string& device, int baud);
  bool Close();
  bool IsOpen() const { return port_.IsOpen(); }
  // True when exactly n bytes arrived within the read time-out (1000 ms).
  bool Read(std::span<uint8_t> out);
  bool Write(std::string_view text);
  bool WriteByte(uint8_t byte);
  size_t Available() const { return port_.Available(); }
  // Sends NAK every 100 ms while nothing arrives, at most 50 times; true once input waits.
  bool Wake();
  // One block within 3 s. True for a block whose checksum matches (then block_number is byte 1);
  // a mismatch sends NAK and returns false without time-out. A lone EOT at a block's start ends
  // the group (end_of_group, false).
  bool ReceiveBlock(bool& timed_out, int& block_number, bool& end_of_group, bool& stopped);
  void Stop() { stop_ = true; }
  bool Stopped() const { return stop_; }

  // Tells the recorder the speed at 2400 baud, then collects part A and part B at `baud` into
  // raw_path (part A's data, then part B's). progress gets 0..100 as it grows. kOk, kCommFailure
  // (port, wake-up, time-out, stop) or kFileFailure.
  int Transfer(const std::string& device, int baud, const std::function<void(int)>& progress,
               const std::string& raw_path);
  int Percent() const { return percent_; }
  const PartLoss& Loss() const { return loss_; }

  struct SplitResult {
    bool raw_found = false;  // and part A written
    bool part_b = false;
  };
  // Splits the raw file at its first split mark (0x80, 0x01, five bytes, a byte with bit 0x10):
  // before the mark's 0x80 to part A, the mark and the rest to part B. Without a mark all goes
  // to part A and no part B is left.
  static SplitResult SplitRawFile(const std::string& raw_path, const std::string& part_a_path,
                                  const std::string& part_b_path);

  const std::vector<uint8_t>& LastBlock() const { return block_; }

 private:
  platform::SerialPort port_;
  std::atomic<bool> stop_{false};
  int percent_ = 0;
  PartLoss loss_;
  std::vector<uint8_t> block_ = std::vector<uint8_t>(kBlockSize, 0x41);
};

// One decoded part: 125 Hz samples, its segment list and its events.
struct TRX3Part {
  std::vector<int16_t> samples;
  std::vector<int32_t> segments;
  std::vector<TEvent> events;
  bool cut_escape = false;  // the data ended inside an escape, which was dropped
};

// The part decoder: steps and escapes to samples, baseline per segment, 2 to 5 resampling.
TRX3Part DecodeRX3Part(std::span<const uint8_t> bytes);

// Decodes a part file and writes its samples (16-bit little endian) in its place. False when it
// cannot be read or gave no samples (the file is then left as it was).
bool DecodeRX3PartFile(const std::string& path, TEventList& events);

// The transfer object: its port, the two parts' event lists and the document.
class TRX3Transfer {
 public:
  explicit TRX3Transfer(CZK470Doc& doc);

  int port_index = 0;   // 1 "COM2", 2 "COM3", 3 "COM4", other "COM1"
  int speed_index = 0;  // 0 2400, 1 4800, 2 9600, 3 14400, 4 19200, other 38400

  static std::string PortName(int port_index);
  // The serial device that stands for a port name: "COM1" is /dev/ttyS0.
  static std::string DeviceOf(const std::string& port_name);
  static int Baud(int speed_index);

  // Transfers into the data directory's "RX3$$$$.RAW", splits it and decodes both parts; a
  // failure beeps and shows string 32788. device: empty takes DeviceOf(PortName(port_index)).
  int Run(const std::function<void(int)>& progress = {}, const std::string& device = {});

  TSerialPort& Port() { return port_; }
  TEventList& EventsA() { return events_a_; }
  TEventList& EventsB() { return events_b_; }

 private:
  CZK470Doc& doc_;
  TSerialPort port_;
  TEventList events_a_;
  TEventList events_b_;
};

// The new recording from a decoded part file: default records (recorder "RX-3", morning 07:00,
// evening 22:00), the patient data asked for (false: the part file is deleted, ""), then the
// samples moved to base name + ".RX3" and base name + ".QRS" written with the given events. The
// ".QRS" path; "" when nothing was made.
std::string ImportRX3Recording(CZK470Doc& doc, const std::string& raw_file, const TEventList& events,
                               const std::function<bool(TPatientData&, TRecordingData&)>& ask_patient_data);

// The RX-3 port settings page: speed (1241) and port (1242) as indices, -1 without a document.
class TRX3PortDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 30738;
  static constexpr int kSpeedId = 1241;
  static constexpr int kPortId = 1242;

  TRX3PortDlg();
  explicit TRX3PortDlg(const TRX3Transfer& transfer);

  int speed_index = -1;
  int port_index = -1;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};

// The page's template and the message of a lost part: German to the German pack, English to every
// other one.
void AddRX3Resources(platform::ResourcePack& pack);
