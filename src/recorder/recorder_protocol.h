#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One command as it goes over the recorder link. `text` is what the recorder echoes and what the
// sender compares; `data` follows it at once and is never compared.
struct TRecorderCommand {
  std::vector<uint8_t> text;
  std::vector<uint8_t> data;

  [[nodiscard]] std::vector<uint8_t> Frame() const;
  // A text holding the stream-start byte gets no echo check: sending it counts as success.
  [[nodiscard]] bool NeedsConfirmation() const;

  bool operator==(const TRecorderCommand&) const = default;
};

// The answer of a query once echo and answer have been collected.
struct TRecorderQueryReply {
  int result = 0;  // one of TRecorderProtocol::kQuery*
  std::vector<uint8_t> answer;
};

// Answer to "Ident\r" (SD-card recorder). Texts without their blank padding.
struct TRecorderIdent {
  std::string type;
  std::string version;
  std::string serial;

  [[nodiscard]] bool IsSdCardRecorder() const;
  // Firmware 1.20 or later takes the file-version, flexible-block and recording-length commands.
  [[nodiscard]] bool HasFirmware120() const;
};

// The patient record sent after "PDat\r" and returned in the review stream head. Dates and the
// start time are OLE day values (days since 30 December 1899).
struct TRecorderPatientRecord {
  std::string last_name;  // UTF-8; the record holds cp1252
  std::string first_name;
  std::string pat_id;
  double date_of_birth = 0.0;
  int32_t sex = 0;      // 1 female, 2 male, 0 none
  double height = 0.0;  // cm
  double weight = 0.0;  // kg
  bool pace_maker = false;
  double start_date = 0.0;
  double start_time = 0.0;  // fraction of a day
  bool pace_maker_detection = false;

  bool operator==(const TRecorderPatientRecord&) const = default;
};

// The head of the review stream of the two-channel family.
struct TRecorderReviewHead {
  size_t marker_offset = 0;  // of the "=" in the stream
  uint32_t data_length = 0;  // bytes of the stream
  int kind = 0;              // 2 or 3; 0 when the type text names neither
  std::string type;          // without its blank padding
  TRecorderPatientRecord record;
  size_t ecg_offset = 0;  // first ECG byte in the stream
};

// Encoding and decoding of the recorders' command protocol: command frames, echo checks, answers,
// the patient record, the review stream head and the monitor samples. Pure byte work, no link and
// no waits; any thread may call. Answers come from outside: a short or malformed one throws
// platform::FormatError.
class TRecorderProtocol {
 public:
  // Recorder kinds as the system keeps them.
  static constexpr int kKindZK130 = 2;
  static constexpr int kKindZK133 = 3;
  static constexpr int kKindZK131 = 4;
  // 2 or 3; 0 for a kind that names no recorder.
  static int ChannelCount(int kind);

  // Starts the monitor or review stream after "MON\r" or "REV\r".
  static constexpr uint8_t kStartStream = 0x15;

  // Query results.
  static constexpr int kQueryOk = 0;
  static constexpr int kQueryConfirmError = -3;
  static constexpr int kQueryNoData = -4;
  static constexpr int kQueryIllegal = -9999;  // the link cannot query

  static constexpr size_t kDataBlockSize = 512;
  static constexpr size_t kIdentAnswerSize = 25;
  static constexpr size_t kStatusAnswerSize = 2;
  static constexpr size_t kLengthAnswerSize = 4;
  static constexpr size_t kPatientRecordSize = 240;
  static constexpr size_t kReviewHeadSize = 266;
  static constexpr size_t kReviewMarkerWindow = 30;

  // A plain command word; "\r" is added when missing.
  static TRecorderCommand Word(std::string_view word);
  static TRecorderCommand StartStream();
  // Word and data of a fixed length: "SetPatDat\r", "SetRecDat\r" take 512 bytes.
  static TRecorderCommand WithData(std::string_view word, std::span<const uint8_t> data);
  // Hours outside 1..512 go out as 72.
  static TRecorderCommand SetRecLen(int hours);
  // Versions outside 0..512 go out as four zero bytes.
  static TRecorderCommand SetFileVers(int version);
  static TRecorderCommand SetFlexBlk(uint8_t block_number, std::span<const uint8_t> block);
  // The block number is part of the compared text; block 0 ends the text, which goes out bare.
  static TRecorderCommand GetFlexBlk(uint8_t block_number);
  static TRecorderCommand PatientData(const TRecorderPatientRecord& record);

  // True when the command text occurs in what came back.
  static bool IsConfirmed(const TRecorderCommand& command, std::span<const uint8_t> echo);
  // `received` is echo and answer as collected within the time-out.
  static TRecorderQueryReply ParseQueryReply(const TRecorderCommand& command,
                                             std::span<const uint8_t> received, size_t answer_size);
  // " command - OK" and the other texts the service tester logs behind the command name.
  static std::string QueryResultText(int result);
  static std::string ConfirmResultText(bool confirmed);

  static TRecorderIdent ParseIdent(std::span<const uint8_t> answer);
  static uint16_t ParseStatus(std::span<const uint8_t> answer);
  // Empty when the top bit is set: the recorder holds no such data.
  static std::optional<uint32_t> ParseLength(std::span<const uint8_t> answer);
  static std::string CardStatusText(int code);
  static std::string RecordStatusText(int status);

  // Always 240 bytes; every field is cut to its column.
  static std::vector<uint8_t> EncodePatientRecord(const TRecorderPatientRecord& record);
  static TRecorderPatientRecord DecodePatientRecord(std::span<const uint8_t> record);

  // Empty when the first 30 bytes hold no "=" followed by 0x81.
  static std::optional<size_t> FindReviewMarker(std::span<const uint8_t> stream);
  // The recorder kind named by the head, 0 when there is no head or it names no known recorder.
  static int ReviewKind(std::span<const uint8_t> stream);
  // Throws when the marker is missing or the head is cut short.
  static TRecorderReviewHead ParseReviewHead(std::span<const uint8_t> stream);

  static bool IsFrameStart(uint8_t byte) { return (byte & 0x80) != 0; }
  // 12-bit two's complement from a high and a low byte, -2048..2047.
  static int DecodeMonitorSample(uint8_t high, uint8_t low);
};
