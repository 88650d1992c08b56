#include "recorder/rx3_transfer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "document/file_version.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/sample_word.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "recorder/recording_naming.h"
#include "win/controls.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kPollMs = 5;
constexpr int kReadTimeoutMs = 1000;
constexpr int kProgressPerBlock = static_cast<int>(TSerialPort::kBlockData) * 100;
constexpr int kCommFailureString = 32788;
constexpr int kPartLostString = 33462;
constexpr int kStepLimit = 700;
constexpr double kInputToOutputPosition = 0.02 * 125;  // 50 Hz input samples to 125 Hz positions
constexpr int kBaselineBins = 10;

uint16_t BigEndian16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }

int RoundHalfUp(double value) { return static_cast<int>(std::trunc(value + 0.5)); }

std::vector<uint8_t> ReadPieces(const std::string& path, bool& found) {
  std::vector<uint8_t> data;
  std::ifstream in(path, std::ios::binary);
  found = static_cast<bool>(in);
  if (!found) return data;
  std::vector<char> piece(TSerialPort::kSplitPiece);
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    data.insert(data.end(), piece.begin(), piece.begin() + in.gcount());
  }
  return data;
}

bool WriteWhole(const std::string& path, std::span<const uint8_t> bytes) {
  try {
    platform::WriteFileAtomic(path, bytes);
    return true;
  } catch (const platform::IoError&) {
    return false;
  }
}

using platform::StringEntry;
constexpr StringEntry kEnglishStrings[] = {
    {kPartLostString,
     "Not all of the recorder's data could be kept: %u bytes are missing from the recording."},
};
constexpr StringEntry kGermanStrings[] = {
    {kPartLostString,
     "Nicht alle Daten des Rekorders konnten übernommen werden: %u Bytes fehlen in der Aufzeichnung."},
};

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;
constexpr DialogLayout kPortPage{TRX3PortDlg::kTemplateId, 200, 70, true};
constexpr ControlLayout kPortControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 60, 8},
    {TRX3PortDlg::kSpeedId, ControlKind::kComboDropList, 75, 10, 60, 80},
    {-1, ControlKind::kStatic, 10, 32, 60, 8},
    {TRX3PortDlg::kPortId, ControlKind::kComboDropList, 75, 30, 60, 80},
};
constexpr auto kPortEnglish = LocalizeControls(kPortControls, {"Speed (baud):", "", "Port:", ""});
constexpr auto kPortGerman =
    LocalizeControls(kPortControls, {"Geschwindigkeit (Baud):", "", "Anschluss:", ""});
constexpr DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kPortPage, "RX-3", kPortEnglish)};
constexpr DialogTemplate kGermanDialogs[] = {LocalizeDialog(kPortPage, "RX-3", kPortGerman)};
constexpr const char* kSpeedTexts[] = {"2400", "4800", "9600", "14400", "19200", "38400"};
constexpr const char* kPortTexts[] = {"COM1", "COM2", "COM3", "COM4"};

}  // namespace

// ---- TSerialPort

bool TSerialPort::Open(const std::string& device, int baud) { return port_.Open(device, baud); }

bool TSerialPort::Close() { return port_.Close(); }

bool TSerialPort::Read(std::span<uint8_t> out) {
  try {
    return port_.Read(out, recorder::Clock().RealWaitMs(kReadTimeoutMs)) == out.size();
  } catch (const platform::IoError&) {
    return false;
  }
}

bool TSerialPort::Write(std::string_view text) {
  try {
    port_.Write(text);
    return true;
  } catch (const platform::IoError&) {
    return false;
  }
}

bool TSerialPort::WriteByte(uint8_t byte) {
  return Write(std::string_view(reinterpret_cast<const char*>(&byte), 1));
}

bool TSerialPort::Wake() {
  for (int i = 0; i < kWakeTries; ++i) {
    if (Available() > 0) return true;
    if (!WriteByte(kNak)) return false;
    recorder::Clock().SleepMs(kWakePauseMs);
  }
  return Available() > 0;
}

bool TSerialPort::ReceiveBlock(bool& timed_out, int& block_number, bool& end_of_group, bool& stopped) {
  timed_out = false;
  end_of_group = false;
  stopped = false;
  const int64_t deadline = recorder::Clock().TickMs() + kBlockTimeoutMs;
  std::fill(block_.begin(), block_.end(), uint8_t{0x41});
  size_t got = 0;
  try {
    while (got < kBlockSize) {
      if (stop_) {
        timed_out = true;
        stopped = true;
        return false;
      }
      const size_t waiting = port_.Available();
      if (waiting > 0) {
        // A lone EOT is seen only where a block would start; later it is data.
        const size_t want = got == 0 ? 1 : std::min(waiting, kBlockSize - got);
        const size_t n = port_.Read(std::span(block_.data() + got, want), 0);
        if (got == 0 && n == 1 && block_[0] == kEot) {
          end_of_group = true;
          return false;
        }
        got += n;
      } else if (recorder::Clock().TickMs() > deadline) {
        timed_out = true;
        return false;
      } else {
        recorder::Clock().SleepMs(kPollMs);
      }
    }
  } catch (const platform::IoError&) {
    timed_out = true;
    return false;
  }
  unsigned sum = 0;
  for (size_t i = 0; i + 1 < kBlockSize; ++i) sum += block_[i];
  if ((sum & 0xFF) != block_[kBlockSize - 1]) {
    (void)WriteByte(kNak);
    return false;
  }
  block_number = block_[1];
  return true;
}

int TSerialPort::Transfer(const std::string& device, int baud, const std::function<void(int)>& progress,
                          const std::string& raw_path) {
  stop_ = false;
  percent_ = 0;
  loss_ = {};
  if (progress) progress(0);

  if (!Open(device, kCommandBaud)) return kCommFailure;
  const bool told = Write("S" + std::to_string(baud) + "\r");
  Close();
  if (!told) return kCommFailure;

  // Each part as collected: a 4-byte head (bytes 2-3 its length, big endian), then its data.
  std::array<std::vector<uint8_t>, 2> parts;
  std::array<size_t, 2> dropped{};
  for (auto& part : parts) part.reserve(kPartCapacity);
  if (!Open(device, baud)) return kCommFailure;
  if (!Wake()) {
    Close();
    return kCommFailure;
  }

  bool storing = false;
  size_t target = 0;
  bool group_start = true;
  int group_type = -1;
  int last_number = -1;
  uint64_t total = 0;
  uint64_t sum = 0;
  int told_percent = 0;
  bool wake = false;
  bool complete = false;
  bool timed_out = false;
  bool file_failed = false;
  while (!complete) {
    if (wake && !Wake()) {
      timed_out = true;
      break;
    }
    wake = false;
    bool block_timed_out = false;
    bool end_of_group = false;
    bool stopped = false;
    int number = -1;
    const bool ok = ReceiveBlock(block_timed_out, number, end_of_group, stopped);
    if (block_timed_out) {
      timed_out = true;
      break;
    }
    if (end_of_group) {
      if (group_type == 0) {
        storing = true;
        target = 0;
      } else if (group_type == 0x71) {
        storing = true;
        target = 1;
        parts[1].clear();
        dropped[1] = 0;
      } else if (group_type == 0xFF) {
        std::vector<uint8_t> raw;
        std::array<size_t*, 2> losses{&loss_.part_a, &loss_.part_b};
        for (size_t p = 0; p < 2; ++p) {
          const std::vector<uint8_t>& part = parts[p];
          if (part.empty()) continue;  // the part never came
          const size_t promised = part.size() >= kPartHead ? BigEndian16(part.data() + 2) : kPartCapacity;
          const size_t held = part.size() > kPartHead ? part.size() - kPartHead : 0;
          const size_t usable = std::min(promised, held);
          *losses[p] = promised - usable;
          raw.insert(raw.end(), part.begin() + static_cast<std::ptrdiff_t>(kPartHead),
                     part.begin() + static_cast<std::ptrdiff_t>(kPartHead + usable));
        }
        file_failed = !WriteWhole(raw_path, raw);
        complete = true;
        break;
      }
      group_start = true;
      group_type = -1;
      wake = true;
      continue;
    }
    if (!ok) continue;  // the recorder was asked to send the block again
    if (number != last_number) {
      last_number = number;
      if (group_start) {
        group_start = false;
        group_type = block_[4];
        if (group_type == 0) total = BigEndian16(block_.data() + 15) + BigEndian16(block_.data() + 17);
      }
      if (storing) {
        std::vector<uint8_t>& part = parts[target];
        const size_t room = kPartCapacity - part.size();
        const size_t take = std::min(room, kBlockData);
        part.insert(part.end(), block_.begin() + 3, block_.begin() + 3 + static_cast<std::ptrdiff_t>(take));
        dropped[target] += kBlockData - take;
      }
      sum += kProgressPerBlock;
      if (total > 0) {
        percent_ = static_cast<int>(std::min<uint64_t>(100, sum / total));
        if (percent_ > told_percent + 1) {
          told_percent = percent_;
          if (progress) progress(percent_);
        }
      }
    }
    if (!WriteByte(kAck)) {
      Close();
      return kCommFailure;
    }
  }
  Close();
  if (file_failed) return kFileFailure;
  if (timed_out || !complete) return kCommFailure;
  percent_ = 100;
  if (progress) progress(100);
  return kOk;
}

TSerialPort::SplitResult TSerialPort::SplitRawFile(const std::string& raw_path,
                                                   const std::string& part_a_path,
                                                   const std::string& part_b_path) {
  SplitResult result;
  bool found = false;
  const std::vector<uint8_t> data = ReadPieces(raw_path, found);
  if (!found) return result;
  size_t mark = data.size();
  for (size_t i = 0; i < data.size();) {
    if (data[i] != 0x80) {
      ++i;
      continue;
    }
    if (i + 1 >= data.size()) break;
    if (data[i + 1] != 0x01) {
      i += 2;  // the failed byte is not a new start
      continue;
    }
    if (i + 7 >= data.size()) break;
    if ((data[i + 7] & 0x10) != 0) {
      mark = i;
      break;
    }
    i += 8;
  }
  const std::span<const uint8_t> all(data);
  if (!WriteWhole(part_a_path, all.first(mark))) return result;
  result.raw_found = true;
  std::error_code ec;
  if (mark == data.size()) {
    // A part B of an earlier transfer must not pass for this one's.
    std::filesystem::remove(part_b_path, ec);
    return result;
  }
  result.part_b = WriteWhole(part_b_path, all.subspan(mark));
  return result;
}

// ---- Decoder

TRX3Part DecodeRX3Part(std::span<const uint8_t> bytes) {
  TRX3Part part;
  std::vector<int> steps;
  auto position = [&steps] {
    return static_cast<int32_t>(std::trunc(steps.size() * kInputToOutputPosition));
  };
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    if (bytes[i] != 0x80) {
      steps.push_back(static_cast<int8_t>(bytes[i]));
      ++i;
      continue;
    }
    // An escape cut by the end of the data does not count.
    auto need = [&](size_t length) {
      if (i + length <= n) return true;
      part.cut_escape = true;
      return false;
    };
    if (!need(2)) break;
    const uint8_t kind = bytes[i + 1];
    const auto count = static_cast<int32_t>(steps.size());
    if (kind == 0xFF) {
      if (!need(4)) break;
      const int step = static_cast<int16_t>(BigEndian16(bytes.data() + i + 2));
      steps.push_back(std::clamp(step, -kStepLimit, kStepLimit));
      i += 4;
    } else if (kind == 0x01) {
      if (!need(9)) break;
      if (part.segments.empty() || part.segments.back() < count - 1) part.segments.push_back(count);
      i += 9;
    } else if (kind == 0x02) {
      if (!need(3)) break;
      if (position() > 0) part.events.emplace_back(position(), position(), uint8_t{0});
      i += 3;
    } else if (kind == 0x03) {
      if (!need(3)) break;
      if (part.segments.empty() || count > part.segments.back() + 1)
        part.events.emplace_back(position(), position(), uint8_t{3});
      i += 3;
    } else {
      i += 2;
    }
  }
  const auto count = static_cast<int32_t>(steps.size());
  part.segments.push_back(count - 1);

  std::vector<int16_t> samples(steps.size());
  int16_t previous = 0;
  for (size_t k = 0; k < steps.size(); ++k) {
    previous = Wrap16(previous + steps[k]);
    samples[k] = previous;
  }

  for (size_t s = 0; s + 1 < part.segments.size(); ++s) {
    const int32_t a = std::max(part.segments[s], 0);
    const int32_t b = std::min(part.segments[s + 1], count);
    if (a >= b) continue;
    const auto first = samples.begin() + a;
    const auto last = samples.begin() + b;
    const int lowest = *std::min_element(first, last);
    const int range = *std::max_element(first, last) - lowest;
    std::array<int, kBaselineBins> bins{};
    for (auto it = first; it != last; ++it) {
      // A flat segment has no spread: every sample is in the lowest bin.
      const int bin = range == 0 ? 0 : static_cast<int>(std::trunc((*it - lowest) / (range * 0.1)));
      if (bin >= 0 && bin < kBaselineBins) ++bins[static_cast<size_t>(bin)];
    }
    const int fullest = static_cast<int>(std::max_element(bins.begin(), bins.end()) - bins.begin());
    const int baseline = lowest + fullest * (range / kBaselineBins);
    for (auto it = first; it != last; ++it) *it = Wrap16(*it - baseline);
  }

  for (size_t k = 2; k < samples.size(); k += 2) {
    const int s0 = samples[k - 2];
    const int s1 = samples[k - 1];
    const int s2 = samples[k];
    part.samples.push_back(Wrap16(s0));
    part.samples.push_back(Wrap16(s0 + RoundHalfUp(0.4 * (s1 - s0))));
    part.samples.push_back(Wrap16(s0 + RoundHalfUp(0.8 * (s1 - s0))));
    part.samples.push_back(Wrap16(s1 + RoundHalfUp(0.2 * (s2 - s1))));
    part.samples.push_back(Wrap16(s1 + RoundHalfUp(0.6 * (s2 - s1))));
  }
  return part;
}

bool DecodeRX3PartFile(const std::string& path, TEventList& events) {
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::ReadFileBytes(path);
  } catch (const platform::IoError&) {
    return false;
  }
  const TRX3Part part = DecodeRX3Part(bytes);
  for (const TEvent& event : part.events) events.Append(event);
  if (part.samples.empty()) return false;
  std::vector<uint8_t> out;
  out.reserve(part.samples.size() * 2);
  for (const int16_t sample : part.samples) {
    const auto word = static_cast<uint16_t>(sample);
    out.push_back(static_cast<uint8_t>(word & 0xFF));
    out.push_back(static_cast<uint8_t>(word >> 8));
  }
  // Replaced whole: the samples may take fewer bytes than the escapes they came from.
  return WriteWhole(path, out);
}

// ---- TRX3Transfer

TRX3Transfer::TRX3Transfer(CZK470Doc& doc) : doc_(doc) {}

std::string TRX3Transfer::PortName(int port_index) {
  switch (port_index) {
    case 1:
      return "COM2";
    case 2:
      return "COM3";
    case 3:
      return "COM4";
    default:
      return "COM1";
  }
}

std::string TRX3Transfer::DeviceOf(const std::string& port_name) {
  const int number = port_name.size() == 4 ? port_name[3] - '0' : 1;
  return "/dev/ttyS" + std::to_string(number - 1);
}

int TRX3Transfer::Baud(int speed_index) {
  switch (speed_index) {
    case 0:
      return 2400;
    case 1:
      return 4800;
    case 2:
      return 9600;
    case 3:
      return 14400;
    case 4:
      return 19200;
    default:
      return 38400;
  }
}

int TRX3Transfer::Run(const std::function<void(int)>& progress, const std::string& device) {
  const std::string data = doc_.GetDataDirectory();
  const std::string port = device.empty() ? DeviceOf(PortName(port_index)) : device;
  const int result =
      port_.Transfer(port, Baud(speed_index), progress, CZK470Doc::JoinPath(data, "RX3$$$$.RAW"));
  if (result >= 1 && result <= 3) {
    win::Windows().MessageBeep();
    win::CurrentPrompt().MessageBox(platform::LoadString(kCommFailureString), win::Windows().AppTitle(),
                                    win::kMbOk | win::kMbIconExclamation);
    return result;
  }
  if (port_.Stopped()) return result;
  if (port_.Loss().Any()) {
    std::string text = platform::LoadString(kPartLostString);
    if (const size_t at = text.find("%u"); at != std::string::npos)
      text.replace(at, 2, std::to_string(port_.Loss().part_a + port_.Loss().part_b));
    win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
  }
  const std::string a = CZK470Doc::JoinPath(data, "RX3$$$A.RAW");
  const std::string b = CZK470Doc::JoinPath(data, "RX3$$$B.RAW");
  const TSerialPort::SplitResult split =
      TSerialPort::SplitRawFile(CZK470Doc::JoinPath(data, "RX3$$$$.RAW"), a, b);
  if (split.raw_found) (void)DecodeRX3PartFile(a, events_a_);
  if (split.part_b) (void)DecodeRX3PartFile(b, events_b_);
  return result;
}

// ---- Import

std::string ImportRX3Recording(CZK470Doc& doc, const std::string& raw_file, const TEventList& events,
                               const std::function<bool(TPatientData&, TRecordingData&)>& ask_patient_data) {
  TPatientData patient(doc.GetClock());
  TRecordingData recording(doc.GetClock());
  recording.identity_text = "RX-3";
  recording.hrv_window_start = platform::OleDateTime{0, 7.0 / 24.0};
  recording.hrv_window_end = platform::OleDateTime{0, 22.0 / 24.0};
  std::error_code ec;
  if (!ask_patient_data || !ask_patient_data(patient, recording)) {
    std::filesystem::remove(raw_file, ec);
    return {};
  }
  const std::string base =
      CZK470Doc::JoinPath(doc.GetDataDirectory(),
                          NewRecordingBaseName(patient.surname, patient.first_name,
                                               recording.GetStartDateText(), recording.GetStartTimeText()));
  // Without its samples the recording would open empty.
  if (!platform::MoveFile(raw_file, base + ".RX3", false)) return {};
  const int32_t version = doc.GetHost().GetFileFormatVersion();
  platform::ArchiveWriter ar;
  patient.Serialize(ar, version);
  recording.Serialize(ar, version);
  TQRSList().Serialize(ar, version);
  events.Serialize(ar, version);
  if (!WriteWhole(base + ".QRS", ar.TakeBytes())) {
    (void)platform::MoveFile(base + ".RX3", raw_file, false);
    return {};
  }
  doc.RunAutoDelete();
  return base + ".QRS";
}

// ---- TRX3PortDlg

TRX3PortDlg::TRX3PortDlg() : win::PropertyPage(kTemplateId) {}

TRX3PortDlg::TRX3PortDlg(const TRX3Transfer& transfer) : TRX3PortDlg() {
  speed_index = transfer.speed_index;
  port_index = transfer.port_index;
}

bool TRX3PortDlg::OnInitDialog() {
  for (const auto& [id, texts] : {std::pair{kSpeedId, std::span<const char* const>(kSpeedTexts)},
                                  std::pair{kPortId, std::span<const char* const>(kPortTexts)}}) {
    if (auto* combo = Item<win::ComboBox>(id)) {
      for (const char* text : texts) combo->AddString(text);
    }
  }
  return win::PropertyPage::OnInitDialog();
}

void TRX3PortDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxCBIndex(dx, kSpeedId, speed_index);
  win::DdxCBIndex(dx, kPortId, port_index);
}

void AddRX3Resources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
    pack.AddStrings(kGermanStrings);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
    pack.AddStrings(kEnglishStrings);
  }
}
