#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "recorder/recorder_blocks.h"
#include "recorder/recorder_protocol.h"

// A simulated recorder of the ZK13x family (and the older RX-3) for the tests of the recorder
// subsystem: a pure byte machine (RecorderModel, Rx3Model) and the same machine behind a
// pseudo-terminal (PtyRecorder) that the real links open like a converter's device.
namespace recsim {

// The command log writes the stream-start byte as this one-character word.
inline constexpr std::string_view kStartStreamWord = "\x15";
// A fault switch naming this word hits every command.
inline constexpr std::string_view kEveryCommand = "*";

struct SimFaults {
  // Command word (with or without "\r") whose echo comes back garbled; kEveryCommand for all.
  std::string bad_echo;
  // Query whose answer comes back cut in half; kEveryCommand for all.
  std::string short_answer;
  // Every data stream (review, ECG, voice, monitor) stops for good after this many bytes; -1 never.
  int64_t cut_stream_after = -1;
  // The first 32 bytes of the ECG data read 0xFF (an empty recorder).
  bool ff_start = false;
  // Answers nothing at all, not even the echo (a recorder that is off, or a ZK-131 that does not
  // answer "Ident\r" when silent_word names it).
  bool silent = false;
  // When not empty, only this word goes unanswered (no echo, no answer).
  std::string silent_word;
  // "RECStat\r" keeps answering 0 (idle) after "REC\r".
  bool rec_stat_stuck = false;
  // What comes back once this word arrived (its echo first) is held for late_reply_ms of the
  // recorder clock: a recorder busy ending its stream, a converter that collects before it sends.
  // PtyRecorder only.
  std::string late_word;
  int late_reply_ms = 0;
};
// Unformatted card: card_status = 4. Flat battery: battery_hours = 0.

struct SimConfig {
  int kind = TRecorderProtocol::kKindZK131;  // 2 ZK-130, 3 ZK-133, 4 ZK-131
  std::string type;                          // empty: "ZK-130", "ZK-133" or "ZK-131" by kind
  std::string version = "V1.20";             // "V1.01": no file version, flexible blocks, length
  std::string serial = "13100815";

  // The recording's sample data (a .CMP file's bytes), streamed byte for byte.
  std::vector<uint8_t> ecg;
  std::vector<uint8_t> voice;
  std::vector<uint8_t> voice_events;

  // ZK-131 blocks as "GetPatDat\r", "GetRecDat\r" and "GetFlexBlk\r" answer them; "Set..." replaces
  // them. An absent flexible block answers blanks behind its block number.
  TRecorderBlocks::Block patient_block{};
  TRecorderBlocks::Block recording_block{};
  std::map<uint8_t, TRecorderBlocks::Block> flex_blocks;
  uint32_t file_version = 2;

  // ZK-130/133: the record in the review head until "PDat\r" programs another one.
  TRecorderPatientRecord review_record;
  // Bytes streamed before the head's "=" (the head is found within the first 30).
  size_t review_prefix = 0;

  // Status answers of the ZK-131.
  uint16_t battery_hours = 40;
  uint16_t card_status = 1;  // 1 ready, 4 not formatted, ...
  uint16_t card_size_mb = 1024;
  uint16_t card_hours = 72;
  // After "MMCFormat\r" the card answers 6 (formatting) this many times, then 1.
  int format_status_polls = 1;
  // After "REC\r": "RECStat\r" answers 0 this many times, then rec_status.
  int rec_stat_idle_polls = 0;
  uint16_t rec_status = 1;

  // Monitor samples per channel (12-bit range), played in a loop; empty: a test wave. The receiver
  // negates what it decodes, so the frames carry the negated samples.
  std::vector<std::vector<int16_t>> monitor;
  // Every n-th frame has the marker bit of channel 0 set; 0 none.
  int monitor_marker_period = 0;
  // Frames per second of the recorder clock.
  int monitor_rate_hz = 125;

  // Data streams go out at most this fast (real bytes per second); 0 unthrottled.
  int64_t throttle_bytes_per_second = 0;
  // The ZK-131 echoes the data of "Set..." commands too, not just the command text.
  bool echo_data = false;

  SimFaults faults;

  // Defaults of a recorder of this kind: type, blocks with a patient, an address block for
  // firmware 1.20, a review record.
  static SimConfig ForKind(int kind);
  // ForKind with a synthetic recording of `minutes` (the generator's .CMP) and its samples as the
  // monitor source; ZK-131 also gets `voice_bytes` of voice.
  static SimConfig WithSyntheticEcg(int kind, int minutes, uint64_t seed = 1, size_t voice_bytes = 0);

  std::string TypeText() const;
  int ChannelCount() const { return TRecorderProtocol::ChannelCount(kind); }
};

// One command as the recorder took it.
struct LoggedCommand {
  std::string word;           // without "\r"; the start byte as kStartStreamWord
  std::vector<uint8_t> data;  // argument bytes (GetFlexBlk: the block number)
};

// The recorder as a byte machine: what goes in, what comes back. No waits and no threads; one
// caller at a time (PtyRecorder locks it).
class RecorderModel {
 public:
  enum class Stream { kNone, kReview, kEcg, kVoice, kVoiceEvents, kMonitor };

  explicit RecorderModel(SimConfig config);

  // Takes bytes from the workstation; returns echoes and answers. A stream that a command starts
  // is not in the result: take it with NextStreamBytes.
  std::vector<uint8_t> Receive(std::span<const uint8_t> bytes);
  std::vector<uint8_t> Receive(std::string_view text) {
    return Receive(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  }
  // Nothing more arrived: a "GetFlexBlk\r" without its number is taken as block 0.
  std::vector<uint8_t> Idle();

  Stream ActiveStream() const { return stream_; }
  // Up to max_bytes of the running stream. With clock_ms >= 0 monitor frames are paced: only the
  // frames due at that recorder clock time (counted from the first call) come out.
  std::vector<uint8_t> NextStreamBytes(size_t max_bytes, int64_t clock_ms = -1);
  // The rest of a finite stream at once.
  std::vector<uint8_t> DrainStream();
  // What the review stream sends in all: the head's length. It counts every byte from the first
  // one, the bytes before the marker and one end byte included, so that what a read-out keeps (from
  // the head's end, without the last byte) is the ECG exactly.
  uint32_t ReviewLength() const;
  // The review stream as a whole (prefix, head, ECG, end byte).
  std::vector<uint8_t> ReviewStreamBytes() const;

  // One monitor frame: N channels, 2N bytes.
  static std::vector<uint8_t> EncodeMonitorFrame(std::span<const int> values, bool marker);

  const SimConfig& Config() const { return config_; }
  SimConfig& MutableConfig() { return config_; }
  const std::vector<LoggedCommand>& Commands() const { return log_; }
  std::vector<std::string> CommandWords() const;
  void ClearLog() { log_.clear(); }

  const TRecorderBlocks::Block& PatientBlock() const { return config_.patient_block; }
  const TRecorderBlocks::Block& RecordingBlock() const { return config_.recording_block; }
  std::optional<TRecorderBlocks::Block> FlexBlock(uint8_t number) const;
  uint32_t FileVersion() const { return config_.file_version; }
  // The last 240-byte record after "PDat\r".
  const std::optional<std::vector<uint8_t>>& PatientRecordBytes() const { return pdat_; }
  std::optional<int> RecLenHours() const { return rec_len_hours_; }
  std::optional<bool> PacemakerDetection() const { return pacemaker_detection_; }
  bool Recording() const { return recording_; }
  int FormatCount() const { return format_count_; }
  int64_t StreamBytesSent() const { return stream_sent_; }

 private:
  void Handle(const std::string& word, std::vector<uint8_t> data, std::vector<uint8_t>& out);
  void Echo(const std::string& word, std::span<const uint8_t> text, std::vector<uint8_t>& out) const;
  void Answer(const std::string& word, std::span<const uint8_t> answer, std::vector<uint8_t>& out) const;
  void StartStream(Stream stream);
  void StopStream();
  std::vector<uint8_t> StreamSource() const;
  bool IsSilent(const std::string& word) const;
  size_t ArgumentSize(const std::string& word) const;
  std::vector<uint8_t> MonitorFrames(size_t max_bytes, int64_t clock_ms);

  SimConfig config_;
  std::vector<uint8_t> input_;
  bool flex_number_pending_ = false;
  std::string argument_word_;  // a word whose argument bytes are still to come
  size_t argument_size_ = 0;
  std::vector<LoggedCommand> log_;
  std::string armed_;  // "MON" or "REV": what the start byte starts
  Stream stream_ = Stream::kNone;
  std::vector<uint8_t> stream_data_;
  size_t stream_pos_ = 0;
  int64_t stream_sent_ = 0;
  int64_t monitor_start_ms_ = -1;
  int64_t monitor_frames_ = 0;
  std::optional<std::vector<uint8_t>> pdat_;
  std::optional<int> rec_len_hours_;
  std::optional<bool> pacemaker_detection_;
  bool recording_ = false;
  int rec_stat_polls_ = 0;
  int format_count_ = 0;
  int format_polls_left_ = 0;
};

// The older RX-3 recorder's block protocol: 132-byte blocks of 128 data bytes, groups ended by
// EOT, woken and answered by NAK/ACK from the workstation.
struct Rx3Config {
  std::vector<uint8_t> part_a;  // each part's data, sent behind a 4-byte head with its length
  std::vector<uint8_t> part_b;  // empty: no part B group
  // This block (counted over the whole transfer from 0) goes out once with a wrong checksum.
  int bad_checksum_block = -1;
  bool silent = false;
};

class Rx3Model {
 public:
  static constexpr size_t kBlockSize = 132;
  static constexpr uint8_t kEot = 0x04;
  static constexpr uint8_t kAck = 0x06;
  static constexpr uint8_t kNak = 0x15;

  explicit Rx3Model(Rx3Config config);
  std::vector<uint8_t> Receive(std::span<const uint8_t> bytes);
  bool Finished() const { return next_block_ >= blocks_.size() && !awaiting_reply_; }
  // The "S<baud>\r" texts received.
  const std::vector<std::string>& SpeedCommands() const { return speeds_; }
  int BlocksSent() const { return blocks_sent_; }
  // What the workstation's raw file must hold: part A's data, then part B's.
  std::vector<uint8_t> ExpectedRawFile() const;
  static std::vector<uint8_t> MakeBlock(uint8_t number, std::span<const uint8_t> data128);

 private:
  struct Item {
    std::vector<uint8_t> block;  // empty: EOT
  };
  Rx3Config config_;
  std::vector<Item> blocks_;
  size_t next_block_ = 0;
  bool awaiting_reply_ = false;
  int blocks_sent_ = 0;
  bool bad_sent_ = false;
  std::string text_;
  std::vector<std::string> speeds_;
};

// The model on a pseudo-terminal, served by its own thread: bytes the workstation writes to
// DevicePath() reach the model; its answers and streams come back (streams in chunks, at most
// the throttle's rate; the monitor at its frame rate on recorder::Clock()). Stops in the
// destructor: close the links first, a link reading a closed terminal fails. Access the model
// only under Lock(), or through the copying getters. The start byte 0x15 is not echoed.
class PtyRecorder {
 public:
  explicit PtyRecorder(SimConfig config);
  explicit PtyRecorder(Rx3Config config);
  ~PtyRecorder();
  PtyRecorder(const PtyRecorder&) = delete;
  PtyRecorder& operator=(const PtyRecorder&) = delete;

  const std::string& DevicePath() const { return device_path_; }
  [[nodiscard]] std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }
  RecorderModel& Model() { return *model_; }
  Rx3Model& Rx3() { return *rx3_; }

  std::vector<std::string> CommandWords();
  // Waits (real time) until the model has logged `word` `count` times; false after timeout_ms.
  bool WaitForCommand(std::string_view word, int count = 1, int timeout_ms = 5000);
  int64_t BytesWritten() const { return bytes_written_; }

 private:
  void Start();
  void Serve();
  // late: whether the bytes held the late word.
  std::vector<uint8_t> ModelReceive(std::span<const uint8_t> bytes, bool& late);
  bool InputWaiting() const;
  std::vector<uint8_t> ModelIdle();
  std::vector<uint8_t> ModelStream(size_t max_bytes, int64_t clock_ms);
  bool Throttled() const;

  std::unique_ptr<RecorderModel> model_;
  std::unique_ptr<Rx3Model> rx3_;
  int64_t throttle_ = 0;
  std::mutex mutex_;
  int master_fd_ = -1;
  int slave_fd_ = -1;
  std::string device_path_;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> bytes_written_{0};
  std::thread thread_;
};

// A RAW card image of the simulated ZK-131's recording: its patient and recording blocks, the
// address block as flexible entry 0 (firmware 1.20), the ECG and the voice area.
void WriteCardImage(const SimConfig& config, const std::filesystem::path& target);

}  // namespace recsim
