#include "support/recorder_sim.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>
#include <stdexcept>

#include "recorder/raw/raw_file_header.h"
#include "recorder/recorder_clock.h"
#include "support/ecg_synthesizer.h"

namespace recsim {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kIdentTypeWidth = 7;
constexpr size_t kIdentVersionWidth = 9;
constexpr size_t kIdentSerialWidth = 9;
constexpr size_t kHeadTypeWidth = 16;
constexpr size_t kHeadUnused = 4;
constexpr size_t kEmptyStartBytes = 32;
constexpr uint32_t kNoData = 0x80000000u;
// Garbage without a line end is dropped once it grows past this; a word is never this long.
constexpr size_t kMaxWordBytes = 64;

Bytes BigEndian(uint32_t value, size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[size - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
  return bytes;
}

void Append(Bytes& out, std::span<const uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

void AppendPadded(Bytes& out, std::string_view text, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : ' ');
}

std::string Normalized(std::string_view word) {
  std::string w(word);
  while (!w.empty() && w.back() == '\r') w.pop_back();
  return w;
}

bool Matches(const std::string& setting, const std::string& word) {
  return !setting.empty() && (setting == kEveryCommand || Normalized(setting) == word);
}

bool IsWordStart(uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         byte == TRecorderProtocol::kStartStream;
}

int64_t RealMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::vector<int16_t>> TestWave(int channels) {
  // One second of a slow sine per channel, each a little larger than the one before.
  constexpr int kFrames = 125;
  std::vector<std::vector<int16_t>> wave(static_cast<size_t>(channels));
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < kFrames; ++i)
      wave[static_cast<size_t>(c)].push_back(
          static_cast<int16_t>(std::lround((200 + 100 * c) * std::sin(2 * std::numbers::pi * i / kFrames))));
  return wave;
}

}  // namespace

// ---- SimConfig

std::string SimConfig::TypeText() const {
  if (!type.empty()) return type;
  switch (kind) {
    case TRecorderProtocol::kKindZK130:
      return "ZK-130";
    case TRecorderProtocol::kKindZK133:
      return "ZK-133";
    default:
      return "ZK-131";
  }
}

SimConfig SimConfig::ForKind(int kind) {
  SimConfig config;
  config.kind = kind;
  TPatientBlockFields patient;
  patient.pat_nr = "4711";
  patient.last_name = "Muster";
  patient.first_name = "Erika";
  patient.date_of_birth = {0, 18606.0};  // 8 December 1950
  patient.age = 75;
  patient.race = 1;
  patient.sex = 1;
  patient.height = 168;
  patient.weight = 64;
  config.patient_block = TRecorderBlocks::PackPatientBlock(patient);

  TRecordingBlockFields recording;
  recording.recording_date = {0, 46364.0};  // 8 December 2026
  recording.recording_time = {0, 0.4375};   // 10:30
  recording.recording_type = 7;
  recording.dev_type = config.TypeText();
  recording.dev_version = config.version;
  recording.dev_serial = config.serial;
  config.recording_block = TRecorderBlocks::PackRecordingBlock(recording);

  TAddressBlockFields address{"Hauptstr. 1\r\n12345 Musterstadt", "0123 456789", "K12"};
  config.flex_blocks[1] = TRecorderBlocks::PackAddressBlock(TRecorderBlocks::kAddressFileVersion, address);

  config.review_record.last_name = "Muster";
  config.review_record.first_name = "Max";
  config.review_record.pat_id = "0815";
  config.review_record.date_of_birth = 18000;
  config.review_record.sex = 2;
  config.review_record.height = 180;
  config.review_record.weight = 80;
  config.review_record.start_date = 46364;
  config.review_record.start_time = 0.4375;
  return config;
}

SimConfig SimConfig::WithSyntheticEcg(int kind, int minutes, uint64_t seed, size_t voice_bytes) {
  SimConfig config = ForKind(kind);
  testsupport::SynthOptions options;
  options.seed = seed;
  options.duration_s = minutes * 60;
  options.channels = std::max(2, config.ChannelCount());
  testsupport::SyntheticEcg ecg = testsupport::GenerateSyntheticEcg(options);
  config.ecg = std::move(ecg.cmp_bytes);
  // Store units of 5 microvolts; the monitor's 12 bits hold about +-10 mV at the same scale.
  for (const auto& channel : ecg.samples) {
    std::vector<int16_t> samples;
    samples.reserve(channel.size());
    for (const int16_t s : channel) samples.push_back(static_cast<int16_t>(std::clamp<int>(s, -2048, 2047)));
    config.monitor.push_back(std::move(samples));
  }
  if (kind == TRecorderProtocol::kKindZK131) {
    config.voice.resize(voice_bytes);
    for (size_t i = 0; i < voice_bytes; ++i)
      config.voice[i] = static_cast<uint8_t>(128 + std::lround(60 * std::sin(static_cast<double>(i) / 7.0)));
  }
  return config;
}

// ---- RecorderModel

RecorderModel::RecorderModel(SimConfig config) : config_(std::move(config)) {}

std::vector<std::string> RecorderModel::CommandWords() const {
  std::vector<std::string> words;
  words.reserve(log_.size());
  for (const auto& c : log_) words.push_back(c.word);
  return words;
}

std::optional<TRecorderBlocks::Block> RecorderModel::FlexBlock(uint8_t number) const {
  const auto it = config_.flex_blocks.find(number);
  if (it == config_.flex_blocks.end()) return std::nullopt;
  return it->second;
}

bool RecorderModel::IsSilent(const std::string& word) const {
  return config_.faults.silent ||
         (!config_.faults.silent_word.empty() && Normalized(config_.faults.silent_word) == word);
}

size_t RecorderModel::ArgumentSize(const std::string& word) const {
  if (word == "SetPatDat" || word == "SetRecDat") return TRecorderProtocol::kDataBlockSize;
  if (word == "SetFlexBlk") return 1 + TRecorderProtocol::kDataBlockSize;
  if (word == "SetFileVers") return 4;
  if (word == "SetRecLen") return 2;
  if (word == "PDat") return TRecorderProtocol::kPatientRecordSize;
  return 0;
}

void RecorderModel::Echo(const std::string& word, std::span<const uint8_t> text, Bytes& out) const {
  if (IsSilent(word)) return;
  const size_t first = out.size();
  Append(out, text);
  // A flipped case bit is enough for the sender's comparison to fail.
  if (Matches(config_.faults.bad_echo, word) && out.size() > first) out[first] ^= 0x20;
}

void RecorderModel::Answer(const std::string& word, std::span<const uint8_t> answer, Bytes& out) const {
  if (IsSilent(word)) return;
  if (Matches(config_.faults.short_answer, word)) answer = answer.first(answer.size() / 2);
  Append(out, answer);
}

std::vector<uint8_t> RecorderModel::Receive(std::span<const uint8_t> bytes) {
  Append(input_, bytes);
  Bytes out;
  for (;;) {
    if (flex_number_pending_) {
      if (input_.empty()) break;
      flex_number_pending_ = false;
      if (IsWordStart(input_.front())) {
        Handle("GetFlexBlk", {}, out);
      } else {
        const uint8_t number = input_.front();
        input_.erase(input_.begin());
        Handle("GetFlexBlk", {number}, out);
      }
      continue;
    }
    if (!argument_word_.empty()) {
      if (input_.size() < argument_size_) break;
      Bytes data(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(argument_size_));
      input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(argument_size_));
      if (config_.echo_data && !data.empty() && !IsSilent(argument_word_)) Append(out, data);
      const std::string word = std::move(argument_word_);
      argument_word_.clear();
      Handle(word, std::move(data), out);
      continue;
    }
    if (input_.empty()) break;
    if (input_.front() == TRecorderProtocol::kStartStream) {
      input_.erase(input_.begin());
      Handle(std::string(kStartStreamWord), {}, out);
      continue;
    }
    const auto cr = std::find(input_.begin(), input_.end(), '\r');
    if (cr == input_.end()) {
      if (input_.size() > kMaxWordBytes) input_.erase(input_.begin(), input_.end() - 1);
      break;
    }
    // Stray bytes before a word (fill bytes, a cut command) are not part of it.
    auto first = input_.begin();
    while (first != cr && !IsWordStart(*first)) ++first;
    std::string word(first, cr);
    const size_t text_size = static_cast<size_t>(cr - input_.begin()) + 1;
    if (word == "GetFlexBlk") {
      input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(text_size));
      flex_number_pending_ = true;
      continue;
    }
    const Bytes text(first, cr + 1);
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(text_size));
    Echo(word, text, out);
    // The word is echoed at once; its data may follow later ("PDat\r" waits 500 ms for its record).
    argument_word_ = word;
    argument_size_ = ArgumentSize(word);
  }
  return out;
}

std::vector<uint8_t> RecorderModel::Idle() {
  Bytes out;
  if (flex_number_pending_) {
    flex_number_pending_ = false;
    Handle("GetFlexBlk", {}, out);
  }
  return out;
}

void RecorderModel::Handle(const std::string& word, Bytes data, Bytes& out) {
  log_.push_back({word, data});
  const bool sd = config_.kind == TRecorderProtocol::kKindZK131;
  const bool fw120 =
      sd && TRecorderIdent{config_.TypeText(), config_.version, config_.serial}.HasFirmware120();
  auto answer = [&](std::span<const uint8_t> bytes) { Answer(word, bytes, out); };
  auto answer16 = [&](uint32_t value) { answer(BigEndian(value, TRecorderProtocol::kStatusAnswerSize)); };
  auto answer32 = [&](uint32_t value) { answer(BigEndian(value, TRecorderProtocol::kLengthAnswerSize)); };

  if (word == kStartStreamWord) {
    // The start byte is not echoed: the stream's first byte is already data.
    if (IsSilent(word)) return;
    if (armed_ == "MON")
      StartStream(Stream::kMonitor);
    else if (armed_ == "REV" && !sd)
      StartStream(Stream::kReview);
    armed_.clear();
    return;
  }
  if (word == "GetFlexBlk") {
    const uint8_t number = data.empty() ? 0 : data.front();
    Bytes text{'G', 'e', 't', 'F', 'l', 'e', 'x', 'B', 'l', 'k', '\r'};
    if (!data.empty()) text.push_back(number);
    Echo(word, text, out);
    if (!fw120) return;
    TRecorderBlocks::Block block;
    if (const auto stored = FlexBlock(number)) {
      block = *stored;
    } else {
      block.fill(' ');
      block[0] = number;
    }
    answer(block);
    return;
  }
  if (IsSilent(word)) {
    // Unheard: nothing changes.
    return;
  }

  if (word == "Reset") {
    StopStream();
    armed_.clear();
  } else if (word == "MON") {
    armed_ = "MON";
  } else if (word == "REV") {
    armed_ = "REV";
  } else if (word == "ExMON" || word == "ExREV" || word == "StopSend") {
    StopStream();
  } else if (word == "Ident") {
    if (!sd) return;
    Bytes ident;
    AppendPadded(ident, config_.TypeText(), kIdentTypeWidth);
    AppendPadded(ident, config_.version, kIdentVersionWidth);
    AppendPadded(ident, config_.serial, kIdentSerialWidth);
    answer(ident);
  } else if (!sd) {
    if (word == "PDat" && data.size() == TRecorderProtocol::kPatientRecordSize)
      pdat_ = data;
    else if (word == "PMOn" || word == "PMOff")
      pacemaker_detection_ = word == "PMOn";
    else if (word == "REC")
      recording_ = true;
  } else if (word == "GetPatDat") {
    answer(config_.patient_block);
  } else if (word == "GetRecDat") {
    answer(config_.recording_block);
  } else if (word == "SetPatDat") {
    std::copy(data.begin(), data.end(), config_.patient_block.begin());
  } else if (word == "SetRecDat") {
    std::copy(data.begin(), data.end(), config_.recording_block.begin());
  } else if (word == "SetFlexBlk") {
    if (!fw120) return;
    TRecorderBlocks::Block block;
    std::copy(data.begin() + 1, data.end(), block.begin());
    config_.flex_blocks[data[0]] = block;
  } else if (word == "SetFileVers") {
    if (!fw120) return;
    config_.file_version =
        (uint32_t{data[0]} << 24) | (uint32_t{data[1]} << 16) | (uint32_t{data[2]} << 8) | data[3];
  } else if (word == "GetFileVers") {
    if (fw120) answer32(config_.file_version);
  } else if (word == "SetRecLen") {
    if (fw120) rec_len_hours_ = (data[0] << 8) | data[1];
  } else if (word == "GetECGlen") {
    answer32(static_cast<uint32_t>(config_.ecg.size()));
  } else if (word == "GetVoicLen") {
    answer32(config_.voice.empty() ? kNoData : static_cast<uint32_t>(config_.voice.size()));
  } else if (word == "GetVoicEvLen") {
    answer32(config_.voice_events.empty() ? kNoData : static_cast<uint32_t>(config_.voice_events.size()));
  } else if (word == "GetECGDat") {
    StartStream(Stream::kEcg);
  } else if (word == "GetVoiceDat") {
    StartStream(Stream::kVoice);
  } else if (word == "GetVoiceEvent") {
    StartStream(Stream::kVoiceEvents);
  } else if (word == "BATStat") {
    answer16(config_.battery_hours);
  } else if (word == "MMCStat") {
    if (format_polls_left_ > 0) {
      --format_polls_left_;
      answer16(6);
    } else {
      answer16(config_.card_status);
    }
  } else if (word == "MMCSize") {
    answer16(config_.card_size_mb);
  } else if (word == "MMCHour") {
    answer16(config_.card_hours);
  } else if (word == "MMCFormat") {
    ++format_count_;
    format_polls_left_ = config_.format_status_polls;
    config_.card_status = 1;
  } else if (word == "REC") {
    recording_ = true;
    rec_stat_polls_ = 0;
  } else if (word == "RECStat") {
    if (!recording_ || config_.faults.rec_stat_stuck || rec_stat_polls_++ < config_.rec_stat_idle_polls)
      answer16(0);
    else
      answer16(config_.rec_status);
  } else if (word == "PMOn" || word == "PMOff") {
    pacemaker_detection_ = word == "PMOn";
  }
  // Every other word (test commands, setup, unknown words) is echoed and otherwise ignored.
}

uint32_t RecorderModel::ReviewLength() const {
  return static_cast<uint32_t>(config_.review_prefix + TRecorderProtocol::kReviewHeadSize +
                               config_.ecg.size() + 1);
}

std::vector<uint8_t> RecorderModel::ReviewStreamBytes() const {
  Bytes stream(config_.review_prefix, 0x00);
  stream.push_back('=');
  stream.push_back(0x81);
  Append(stream, BigEndian(ReviewLength(), 4));
  AppendPadded(stream, config_.TypeText(), kHeadTypeWidth);
  Append(stream, pdat_ ? *pdat_ : TRecorderProtocol::EncodePatientRecord(config_.review_record));
  stream.insert(stream.end(), kHeadUnused, 0x00);
  const size_t ecg_start = stream.size();
  Append(stream, config_.ecg);
  if (config_.faults.ff_start)
    std::fill_n(stream.begin() + static_cast<std::ptrdiff_t>(ecg_start),
                std::min(kEmptyStartBytes, config_.ecg.size()), 0xFF);
  // One end byte that the read-out leaves out of the sample file.
  stream.push_back(0x00);
  return stream;
}

std::vector<uint8_t> RecorderModel::StreamSource() const {
  switch (stream_) {
    case Stream::kReview:
      return ReviewStreamBytes();
    case Stream::kEcg: {
      Bytes ecg = config_.ecg;
      if (config_.faults.ff_start) std::fill_n(ecg.begin(), std::min(kEmptyStartBytes, ecg.size()), 0xFF);
      return ecg;
    }
    case Stream::kVoice:
      return config_.voice;
    case Stream::kVoiceEvents:
      return config_.voice_events;
    default:
      return {};
  }
}

void RecorderModel::StartStream(Stream stream) {
  stream_ = stream;
  stream_data_ = StreamSource();
  stream_pos_ = 0;
  stream_sent_ = 0;
  monitor_start_ms_ = -1;
  monitor_frames_ = 0;
}

void RecorderModel::StopStream() {
  stream_ = Stream::kNone;
  stream_data_.clear();
  stream_pos_ = 0;
}

std::vector<uint8_t> RecorderModel::EncodeMonitorFrame(std::span<const int> values, bool marker) {
  Bytes frame;
  for (size_t c = 0; c < values.size(); ++c) {
    const auto raw = static_cast<uint32_t>(std::clamp(values[c], -2048, 2047)) & 0xFFF;
    uint8_t high = static_cast<uint8_t>((raw >> 7) & 0x1F);
    if (c == 0) {
      // Only the first byte of a frame has bit 7: that is how the receiver finds frames.
      high |= 0x80;
      if (marker) high |= 0x40;
    }
    frame.push_back(high);
    frame.push_back(static_cast<uint8_t>(raw & 0x7F));
  }
  return frame;
}

std::vector<uint8_t> RecorderModel::MonitorFrames(size_t max_bytes, int64_t clock_ms) {
  const int channels = config_.ChannelCount();
  if (config_.monitor.empty()) config_.monitor = TestWave(channels);
  const size_t frame_bytes = 2 * static_cast<size_t>(channels);
  int64_t due = static_cast<int64_t>(max_bytes / frame_bytes);
  if (clock_ms >= 0) {
    if (monitor_start_ms_ < 0) monitor_start_ms_ = clock_ms;
    const int64_t total = (clock_ms - monitor_start_ms_) * config_.monitor_rate_hz / 1000 + 1;
    due = std::min(due, total - monitor_frames_);
  }
  Bytes out;
  std::vector<int> values(static_cast<size_t>(channels));
  for (int64_t f = 0; f < due; ++f, ++monitor_frames_) {
    for (int c = 0; c < channels; ++c) {
      const auto& source = config_.monitor[std::min(static_cast<size_t>(c), config_.monitor.size() - 1)];
      const int sample = source.empty() ? 0 : source[static_cast<size_t>(monitor_frames_) % source.size()];
      values[static_cast<size_t>(c)] = -sample;
    }
    const bool marker =
        config_.monitor_marker_period > 0 && monitor_frames_ % config_.monitor_marker_period == 0;
    Append(out, EncodeMonitorFrame(values, marker));
  }
  return out;
}

std::vector<uint8_t> RecorderModel::NextStreamBytes(size_t max_bytes, int64_t clock_ms) {
  if (stream_ == Stream::kNone || config_.faults.silent) return {};
  if (config_.faults.cut_stream_after >= 0)
    max_bytes = static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(max_bytes),
                          std::max<int64_t>(0, config_.faults.cut_stream_after - stream_sent_)));
  Bytes out;
  if (stream_ == Stream::kMonitor) {
    out = MonitorFrames(max_bytes, clock_ms);
  } else {
    const size_t n = std::min(max_bytes, stream_data_.size() - stream_pos_);
    out.assign(stream_data_.begin() + static_cast<std::ptrdiff_t>(stream_pos_),
               stream_data_.begin() + static_cast<std::ptrdiff_t>(stream_pos_ + n));
    stream_pos_ += n;
  }
  stream_sent_ += static_cast<int64_t>(out.size());
  return out;
}

std::vector<uint8_t> RecorderModel::DrainStream() {
  if (stream_ == Stream::kMonitor) return NextStreamBytes(0);
  return NextStreamBytes(stream_data_.size());
}

// ---- Rx3Model

std::vector<uint8_t> Rx3Model::MakeBlock(uint8_t number, std::span<const uint8_t> data128) {
  Bytes block(kBlockSize, 0);
  block[0] = 0x01;
  block[1] = number;
  block[2] = static_cast<uint8_t>(~number);
  std::copy_n(data128.begin(), std::min<size_t>(128, data128.size()), block.begin() + 3);
  unsigned sum = 0;
  for (size_t i = 0; i + 1 < kBlockSize; ++i) sum += block[i];
  block[kBlockSize - 1] = static_cast<uint8_t>(sum);
  return block;
}

Rx3Model::Rx3Model(Rx3Config config) : config_(std::move(config)) {
  uint8_t number = 0;
  auto group = [&](std::span<const uint8_t> data) {
    for (size_t offset = 0; offset < data.size(); offset += 128) {
      Bytes chunk(128, 0xFF);
      std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(offset),
                  std::min<size_t>(128, data.size() - offset), chunk.begin());
      blocks_.push_back({MakeBlock(++number, chunk)});
    }
    blocks_.push_back({});
  };
  // A one-block header group: its type in byte 4 (data byte 1) and, for part A, both lengths.
  auto header = [&](uint8_t type) {
    Bytes data(128, 0);
    data[1] = type;
    const auto a = static_cast<uint16_t>(config_.part_a.size());
    const auto b = static_cast<uint16_t>(config_.part_b.size());
    data[12] = static_cast<uint8_t>(a >> 8);
    data[13] = static_cast<uint8_t>(a);
    data[14] = static_cast<uint8_t>(b >> 8);
    data[15] = static_cast<uint8_t>(b);
    group(data);
  };
  // A part's data behind its 4-byte head; head byte 1 (the group type position) says "skip".
  auto part = [&](const Bytes& bytes) {
    Bytes data{0x00, 0x72, static_cast<uint8_t>(bytes.size() >> 8), static_cast<uint8_t>(bytes.size())};
    Append(data, bytes);
    group(data);
  };
  header(0x00);
  part(config_.part_a);
  if (!config_.part_b.empty()) {
    header(0x71);
    part(config_.part_b);
  }
  header(0xFF);
}

std::vector<uint8_t> Rx3Model::ExpectedRawFile() const {
  Bytes raw = config_.part_a;
  Append(raw, config_.part_b);
  return raw;
}

std::vector<uint8_t> Rx3Model::Receive(std::span<const uint8_t> bytes) {
  Bytes out;
  if (config_.silent) return out;
  bool nak = false;
  bool ack = false;
  for (const uint8_t b : bytes) {
    if (!text_.empty() || b == 'S') {
      if (b == '\r') {
        speeds_.push_back(text_);
        text_.clear();
      } else {
        text_.push_back(static_cast<char>(b));
      }
    } else if (b == kNak) {
      nak = true;
    } else if (b == kAck) {
      ack = true;
    }
  }
  // Several wake-up NAKs in one read are one wake-up.
  if (ack && awaiting_reply_) {
    awaiting_reply_ = false;
    ++next_block_;
  } else if (!nak) {
    return out;
  }
  if (next_block_ >= blocks_.size()) return out;
  if (blocks_[next_block_].block.empty()) {
    // End of group: the workstation wakes the recorder for the next one.
    out.push_back(kEot);
    ++next_block_;
    return out;
  }
  if (ack || nak) {
    Bytes block = blocks_[next_block_].block;
    const auto ordinal =
        std::count_if(blocks_.begin(), blocks_.begin() + static_cast<std::ptrdiff_t>(next_block_),
                      [](const Item& item) { return !item.block.empty(); });
    if (!bad_sent_ && ordinal == config_.bad_checksum_block) {
      block.back() ^= 0xFF;
      bad_sent_ = true;
    }
    Append(out, block);
    ++blocks_sent_;
    awaiting_reply_ = true;
  }
  return out;
}

// ---- PtyRecorder

PtyRecorder::PtyRecorder(SimConfig config)
    : model_(std::make_unique<RecorderModel>(std::move(config))),
      throttle_(model_->Config().throttle_bytes_per_second) {
  Start();
}

PtyRecorder::PtyRecorder(Rx3Config config) : rx3_(std::make_unique<Rx3Model>(std::move(config))) { Start(); }

void PtyRecorder::Start() {
  char name[256] = {};
  if (::openpty(&master_fd_, &slave_fd_, name, nullptr, nullptr) != 0)
    throw std::runtime_error("recorder simulator: openpty failed");
  device_path_ = name;
  termios tio{};
  ::tcgetattr(slave_fd_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_fd_, TCSANOW, &tio);
  ::fcntl(master_fd_, F_SETFL, ::fcntl(master_fd_, F_GETFL) | O_NONBLOCK);
  thread_ = std::thread([this] { Serve(); });
}

PtyRecorder::~PtyRecorder() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  ::close(master_fd_);
  ::close(slave_fd_);
}

std::vector<std::string> PtyRecorder::CommandWords() {
  const auto lock = Lock();
  return model_ ? model_->CommandWords() : std::vector<std::string>{};
}

bool PtyRecorder::WaitForCommand(std::string_view word, int count, int timeout_ms) {
  const int64_t deadline = RealMs() + timeout_ms;
  for (;;) {
    const auto words = CommandWords();
    if (std::count(words.begin(), words.end(), std::string(word)) >= count) return true;
    if (RealMs() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::vector<uint8_t> PtyRecorder::ModelReceive(std::span<const uint8_t> bytes, bool& late) {
  const auto lock = Lock();
  late = false;
  if (!model_) return rx3_->Receive(bytes);
  const size_t logged = model_->Commands().size();
  Bytes reply = model_->Receive(bytes);
  const std::string& late_word = model_->Config().faults.late_word;
  if (!late_word.empty())
    late = std::any_of(model_->Commands().begin() + static_cast<std::ptrdiff_t>(logged),
                       model_->Commands().end(),
                       [&](const LoggedCommand& c) { return c.word == Normalized(late_word); });
  return reply;
}

bool PtyRecorder::InputWaiting() const {
  pollfd pfd{master_fd_, POLLIN, 0};
  return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLIN) != 0;
}

std::vector<uint8_t> PtyRecorder::ModelIdle() {
  const auto lock = Lock();
  return model_ ? model_->Idle() : Bytes{};
}

std::vector<uint8_t> PtyRecorder::ModelStream(size_t max_bytes, int64_t clock_ms) {
  const auto lock = Lock();
  if (!model_) return {};
  const bool monitor = model_->ActiveStream() == RecorderModel::Stream::kMonitor;
  return model_->NextStreamBytes(max_bytes, monitor ? clock_ms : -1);
}

void PtyRecorder::Serve() {
  constexpr size_t kChunk = 16384;
  // A word that waits for an optional argument byte is complete after this much quiet.
  constexpr int64_t kIdleMs = 20;
  Bytes answers;
  Bytes stream;
  size_t stream_generation = 0;
  int64_t last_input_ms = RealMs();
  bool idle_done = true;
  int64_t throttle_start_ms = -1;
  int64_t throttle_bytes = 0;
  // Recorder-clock time before which nothing goes out; -1 none.
  int64_t hold_until_ms = -1;
  uint8_t buffer[4096];
  while (!stop_) {
    if (hold_until_ms >= 0 && recorder::Clock().TickMs() >= hold_until_ms) hold_until_ms = -1;
    const bool holding = hold_until_ms >= 0;
    pollfd pfd{master_fd_, POLLIN, 0};
    if (!holding && (!answers.empty() || !stream.empty())) pfd.events |= POLLOUT;
    bool streaming = false;
    {
      const auto lock = Lock();
      streaming = model_ && model_->ActiveStream() != RecorderModel::Stream::kNone;
    }
    ::poll(&pfd, 1, streaming || holding || !answers.empty() ? 1 : 5);
    if ((pfd.revents & POLLIN) != 0) {
      const ssize_t n = ::read(master_fd_, buffer, sizeof buffer);
      if (n > 0) {
        bool late = false;
        Bytes reply = ModelReceive({buffer, static_cast<size_t>(n)}, late);
        if (late) {
          const auto lock = Lock();
          hold_until_ms = recorder::Clock().TickMs() + model_->Config().faults.late_reply_ms;
        }
        Append(answers, reply);
        last_input_ms = RealMs();
        idle_done = false;
        // A command that ended the stream also drops what was not sent yet.
        const auto lock = Lock();
        if (model_ && model_->ActiveStream() == RecorderModel::Stream::kNone) stream.clear();
        if (model_ && static_cast<size_t>(model_->StreamBytesSent()) < stream_generation) stream.clear();
        stream_generation = model_ ? static_cast<size_t>(model_->StreamBytesSent()) : 0;
      }
    }
    // Quiet means nothing waiting either: a thread that was not run for a while has not read it yet.
    if (!idle_done && RealMs() - last_input_ms >= kIdleMs && !InputWaiting()) {
      Append(answers, ModelIdle());
      idle_done = true;
    }
    if (hold_until_ms >= 0) continue;
    if (stream.empty() && answers.empty()) {
      size_t allowed = kChunk;
      if (throttle_ > 0) {
        const int64_t now = RealMs();
        if (throttle_start_ms < 0 || now - throttle_start_ms > 1000) {
          throttle_start_ms = now;
          throttle_bytes = 0;
        }
        const int64_t budget = (now - throttle_start_ms + 1) * throttle_ / 1000 - throttle_bytes;
        allowed = static_cast<size_t>(std::clamp<int64_t>(budget, 0, static_cast<int64_t>(kChunk)));
      }
      if (allowed > 0) {
        stream = ModelStream(allowed, recorder::Clock().TickMs());
        throttle_bytes += static_cast<int64_t>(stream.size());
        const auto lock = Lock();
        stream_generation = model_ ? static_cast<size_t>(model_->StreamBytesSent()) : 0;
      }
    }
    Bytes& out = !answers.empty() ? answers : stream;
    if (!out.empty()) {
      const ssize_t n = ::write(master_fd_, out.data(), out.size());
      if (n > 0) {
        out.erase(out.begin(), out.begin() + n);
        bytes_written_ += n;
      }
    }
  }
}

// ---- Card image

void WriteCardImage(const SimConfig& config, const std::filesystem::path& target) {
  using namespace recorder;
  const auto block_size = static_cast<uint32_t>(TRecorderBlocks::kBlockSize);
  TRawFileHeader header = TRawFileHeader::ForWrittenImage(static_cast<uint32_t>(config.ecg.size()));
  const auto address = config.flex_blocks.find(1);
  const bool fw120 = TRecorderIdent{config.TypeText(), config.version, config.serial}.HasFirmware120();
  uint32_t next = kWrittenEcgBlockAddr + static_cast<uint32_t>(config.ecg.size());
  if (fw120 && address != config.flex_blocks.end()) {
    header.RawFileVersion = static_cast<uint16_t>(config.file_version);
    header.RawFlexBlockAddr[0] = next;
    header.RawFlexBlockSize[0] = block_size;
    next += block_size;
  }
  if (!config.voice.empty()) header.RawVoicBlockAddr = next;

  Bytes image(kRawHeaderSize);
  const auto packed = header.Pack();
  std::copy(packed.begin(), packed.end(), image.begin());
  Append(image, config.patient_block);
  Append(image, config.recording_block);
  Append(image, config.ecg);
  if (header.RawFlexBlockAddr[0] != 0) Append(image, address->second);
  if (!config.voice.empty()) {
    TRawVoiceHeader voice;
    voice.VoicFormat = 1;
    voice.VoicFreq = 8000;
    voice.VoicBitsStorage = 8;
    voice.VoicBitsSnd = 8;
    voice.VoicNSample = static_cast<uint32_t>(config.voice.size());
    Append(image, voice.Pack());
    Append(image, config.voice);
  }
  std::ofstream file(target, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  if (!file) throw std::runtime_error("recorder simulator: cannot write " + target.string());
}

}  // namespace recsim
