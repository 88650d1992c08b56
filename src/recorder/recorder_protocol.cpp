#include "recorder/recorder_protocol.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/cp1252.h"
#include "platform/io_error.h"

namespace {

constexpr char kWhere[] = "recorder answer";

// Columns of the patient record: first column and width.
struct Column {
  size_t first;
  size_t width;
};
constexpr Column kLastName{0, 20};
constexpr Column kFirstName{20, 20};
constexpr Column kPatId{40, 20};
constexpr Column kDateOfBirth{60, 10};
constexpr Column kSex{70, 5};
constexpr Column kHeight{75, 10};
constexpr Column kWeight{85, 10};
constexpr Column kPaceMaker{95, 5};
constexpr Column kStartDate{100, 10};
constexpr Column kStartTime{110, 20};
constexpr Column kDetection{130, 1};

constexpr int kBodyDecimals = 5;
constexpr int kTimeDecimals = 15;

// Offsets in the review stream head, counted from the "=".
constexpr size_t kHeadLength = 2;
constexpr size_t kHeadType = 6;
constexpr size_t kHeadTypeSize = 16;
constexpr size_t kHeadRecord = 22;
constexpr size_t kKindCompareSize = 6;
constexpr uint8_t kMarkerByte = 0x81;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string TrimPadding(std::string_view text) {
  const size_t end = text.find_last_not_of(std::string_view(" \0", 2));
  return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void RequireSize(std::span<const uint8_t> answer, size_t size, const char* what) {
  if (answer.size() < size)
    throw platform::FormatError(kWhere, std::string(what) + ": " + std::to_string(answer.size()) +
                                            " bytes, " + std::to_string(size) + " expected");
}

uint32_t BigEndian(std::span<const uint8_t> bytes) {
  uint32_t value = 0;
  for (const uint8_t b : bytes) value = (value << 8) | b;
  return value;
}

// Over-long values are cut to their column so that they never shift the fields behind them.
void PutField(std::vector<uint8_t>& record, Column column, std::string_view text) {
  const size_t n = std::min(text.size(), column.width);
  std::copy_n(text.begin(), n, record.begin() + static_cast<std::ptrdiff_t>(column.first));
}

std::string WholeDays(double days) {
  if (!std::isfinite(days)) return "0";
  // OLE days count the whole days towards zero, also before 1899.
  return std::to_string(static_cast<int64_t>(std::clamp(days, -1e15, 1e15)));
}

// Digits before the point (none below 1), the point, exactly `decimals` decimals, no sign.
std::string Decimals(double value, int decimals) {
  if (!std::isfinite(value) || value < 0.0) value = 0.0;
  const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  text.resize(static_cast<size_t>(size));
  if (text.starts_with("0.")) text.erase(0, 1);
  return text;
}

std::string FieldText(std::span<const uint8_t> record, Column column) {
  return TrimPadding(AsText(record.subspan(column.first, column.width)));
}

template <typename T>
T FieldNumber(std::span<const uint8_t> record, Column column, const char* name) {
  const std::string text = FieldText(record, column);
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return T{};
  T value{};
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last)
    throw platform::FormatError("recorder patient record",
                                std::string(name) + ": \"" + text + "\" is not a number");
  return value;
}

}  // namespace

std::vector<uint8_t> TRecorderCommand::Frame() const {
  std::vector<uint8_t> frame = text;
  frame.insert(frame.end(), data.begin(), data.end());
  return frame;
}

bool TRecorderCommand::NeedsConfirmation() const {
  // Only the compared text counts: a data block may hold the byte by chance.
  return std::find(text.begin(), text.end(), TRecorderProtocol::kStartStream) == text.end();
}

bool TRecorderIdent::IsSdCardRecorder() const { return type.find("ZK-131") != std::string::npos; }

bool TRecorderIdent::HasFirmware120() const {
  // The three characters after the first one ("V1.20" -> "1.2") read as a decimal number.
  if (version.size() < 2) return false;
  const std::string digits = version.substr(1, 3);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return ec == std::errc() && end == digits.data() + digits.size() && value >= 1.2;
}

int TRecorderProtocol::ChannelCount(int kind) {
  switch (kind) {
    case kKindZK130:
      return 2;
    case kKindZK133:
    case kKindZK131:
      return 3;
    default:
      return 0;
  }
}

TRecorderCommand TRecorderProtocol::Word(std::string_view word) {
  TRecorderCommand command{Bytes(word), {}};
  if (command.text.empty() || command.text.back() != '\r') command.text.push_back('\r');
  return command;
}

TRecorderCommand TRecorderProtocol::StartStream() { return {{kStartStream}, {}}; }

TRecorderCommand TRecorderProtocol::WithData(std::string_view word, std::span<const uint8_t> data) {
  TRecorderCommand command = Word(word);
  command.data.assign(data.begin(), data.end());
  return command;
}

TRecorderCommand TRecorderProtocol::SetRecLen(int hours) {
  if (hours < 1 || hours > 512) hours = 72;
  const std::array<uint8_t, 2> data{static_cast<uint8_t>(hours >> 8), static_cast<uint8_t>(hours & 0xFF)};
  return WithData("SetRecLen\r", data);
}

TRecorderCommand TRecorderProtocol::SetFileVers(int version) {
  if (version < 0 || version > 512) version = 0;
  const auto v = static_cast<uint32_t>(version);
  const std::array<uint8_t, 4> data{static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                                    static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  return WithData("SetFileVers\r", data);
}

TRecorderCommand TRecorderProtocol::SetFlexBlk(uint8_t block_number, std::span<const uint8_t> block) {
  TRecorderCommand command = Word("SetFlexBlk\r");
  command.data.push_back(block_number);
  command.data.insert(command.data.end(), block.begin(), block.end());
  return command;
}

TRecorderCommand TRecorderProtocol::GetFlexBlk(uint8_t block_number) {
  TRecorderCommand command = Word("GetFlexBlk\r");
  if (block_number != 0) command.text.push_back(block_number);
  return command;
}

TRecorderCommand TRecorderProtocol::PatientData(const TRecorderPatientRecord& record) {
  return WithData("PDat\r", EncodePatientRecord(record));
}

bool TRecorderProtocol::IsConfirmed(const TRecorderCommand& command, std::span<const uint8_t> echo) {
  if (!command.NeedsConfirmation()) return true;
  return std::search(echo.begin(), echo.end(), command.text.begin(), command.text.end()) != echo.end();
}

TRecorderQueryReply TRecorderProtocol::ParseQueryReply(const TRecorderCommand& command,
                                                       std::span<const uint8_t> received,
                                                       size_t answer_size) {
  const size_t echo_size = command.text.size();
  if (received.size() < echo_size + answer_size) return {kQueryNoData, {}};
  if (!std::equal(command.text.begin(), command.text.end(), received.begin()))
    return {kQueryConfirmError, {}};
  const auto answer = received.subspan(echo_size, answer_size);
  return {kQueryOk, {answer.begin(), answer.end()}};
}

std::string TRecorderProtocol::QueryResultText(int result) {
  switch (result) {
    case kQueryOk:
      return " command - OK";
    case kQueryConfirmError:
      return " command - Command confirmation error";
    case kQueryNoData:
      return " command - Status No Data error";
    case kQueryIllegal:
      return " command - Status Request illegal";
    default:
      return " command - unknown return code";
  }
}

std::string TRecorderProtocol::ConfirmResultText(bool confirmed) {
  return confirmed ? " command - OK" : " command - ERROR";
}

TRecorderIdent TRecorderProtocol::ParseIdent(std::span<const uint8_t> answer) {
  RequireSize(answer, kIdentAnswerSize, "identification");
  const std::string_view text = AsText(answer);
  return {platform::Cp1252ToUtf8(TrimPadding(text.substr(0, 7))),
          platform::Cp1252ToUtf8(TrimPadding(text.substr(7, 9))),
          platform::Cp1252ToUtf8(TrimPadding(text.substr(16, 9)))};
}

uint16_t TRecorderProtocol::ParseStatus(std::span<const uint8_t> answer) {
  RequireSize(answer, kStatusAnswerSize, "status");
  return static_cast<uint16_t>(BigEndian(answer.first(kStatusAnswerSize)));
}

std::optional<uint32_t> TRecorderProtocol::ParseLength(std::span<const uint8_t> answer) {
  RequireSize(answer, kLengthAnswerSize, "length");
  const uint32_t length = BigEndian(answer.first(kLengthAnswerSize));
  if ((length & 0x80000000u) != 0) return std::nullopt;
  return length;
}

std::string TRecorderProtocol::CardStatusText(int code) {
  static constexpr std::array<const char*, 10> kTexts{
      "MMC/SD-Card No card in ZK-131",   "MMC/SD-Card ready",
      "MMC/SD-Card write protected",     "MMC/SD-Card init error",
      "MMC/SD-Card not formatted",       "MMC/SD-Card not formatted and write protected",
      "MMC/SD-Card formatting SD-Card",  "MMC/SD-Card Format error",
      "MMC/SD-Card Recording is actice", "MMC/SD-Card Unknown error",
  };
  // A code the recorder should never send reads as its unknown error.
  if (code < 0 || code >= static_cast<int>(kTexts.size())) return kTexts.back();
  return kTexts[static_cast<size_t>(code)];
}

std::string TRecorderProtocol::RecordStatusText(int status) {
  if (status == 0) return "Record Status: IDLE";
  if (status == 1) return "Record Status: RECORD SUCCESSFUL STARTED";
  char text[64];
  std::snprintf(text, sizeof text, "Record Status: RECORD START ERROR - %2d", status);
  return text;
}

std::vector<uint8_t> TRecorderProtocol::EncodePatientRecord(const TRecorderPatientRecord& record) {
  std::vector<uint8_t> bytes(kPatientRecordSize, ' ');
  PutField(bytes, kLastName, platform::Utf8ToCp1252(record.last_name));
  PutField(bytes, kFirstName, platform::Utf8ToCp1252(record.first_name));
  PutField(bytes, kPatId, platform::Utf8ToCp1252(record.pat_id));
  PutField(bytes, kDateOfBirth, WholeDays(record.date_of_birth));
  PutField(bytes, kSex, std::to_string(record.sex));
  PutField(bytes, kHeight, Decimals(record.height, kBodyDecimals));
  PutField(bytes, kWeight, Decimals(record.weight, kBodyDecimals));
  PutField(bytes, kPaceMaker, record.pace_maker ? "P" : "N");
  PutField(bytes, kStartDate, WholeDays(record.start_date));
  PutField(bytes, kStartTime, Decimals(record.start_time, kTimeDecimals));
  PutField(bytes, kDetection, record.pace_maker_detection ? "P" : "N");
  return bytes;
}

TRecorderPatientRecord TRecorderProtocol::DecodePatientRecord(std::span<const uint8_t> record) {
  if (record.size() < kPatientRecordSize)
    throw platform::FormatError("recorder patient record",
                                std::to_string(record.size()) + " bytes, 240 expected");
  TRecorderPatientRecord r;
  r.last_name = platform::Cp1252ToUtf8(FieldText(record, kLastName));
  r.first_name = platform::Cp1252ToUtf8(FieldText(record, kFirstName));
  r.pat_id = platform::Cp1252ToUtf8(FieldText(record, kPatId));
  r.date_of_birth = FieldNumber<double>(record, kDateOfBirth, "date of birth");
  r.sex = FieldNumber<int32_t>(record, kSex, "sex");
  r.height = FieldNumber<double>(record, kHeight, "height");
  r.weight = FieldNumber<double>(record, kWeight, "weight");
  r.pace_maker = record[kPaceMaker.first] != 'N';
  r.start_date = FieldNumber<double>(record, kStartDate, "start date");
  r.start_time = FieldNumber<double>(record, kStartTime, "start time");
  r.pace_maker_detection = record[kDetection.first] != 'N';
  return r;
}

std::optional<size_t> TRecorderProtocol::FindReviewMarker(std::span<const uint8_t> stream) {
  const size_t window = std::min(stream.size(), kReviewMarkerWindow);
  for (size_t i = 0; i < window && i + 1 < stream.size(); ++i)
    if (stream[i] == '=' && stream[i + 1] == kMarkerByte) return i;
  return std::nullopt;
}

int TRecorderProtocol::ReviewKind(std::span<const uint8_t> stream) {
  const std::optional<size_t> marker = FindReviewMarker(stream);
  if (!marker || stream.size() < *marker + kHeadType + kKindCompareSize) return 0;
  const std::string_view type = AsText(stream.subspan(*marker + kHeadType, kKindCompareSize));
  if (type == "ZK-130") return kKindZK130;
  if (type == "ZK-133") return kKindZK133;
  return 0;
}

TRecorderReviewHead TRecorderProtocol::ParseReviewHead(std::span<const uint8_t> stream) {
  const std::optional<size_t> marker = FindReviewMarker(stream);
  if (!marker) throw platform::FormatError("review stream", "no head marker in the first 30 bytes");
  if (stream.size() < *marker + kReviewHeadSize)
    throw platform::FormatError("review stream",
                                "head cut short at " + std::to_string(stream.size()) + " bytes");
  const auto head = stream.subspan(*marker, kReviewHeadSize);
  TRecorderReviewHead h;
  h.marker_offset = *marker;
  h.data_length = BigEndian(head.subspan(kHeadLength, 4));
  h.kind = ReviewKind(stream);
  h.type = platform::Cp1252ToUtf8(TrimPadding(AsText(head.subspan(kHeadType, kHeadTypeSize))));
  h.record = DecodePatientRecord(head.subspan(kHeadRecord, kPatientRecordSize));
  h.ecg_offset = *marker + kReviewHeadSize;
  return h;
}

int TRecorderProtocol::DecodeMonitorSample(uint8_t high, uint8_t low) {
  const int raw = ((high & 0x1F) << 7) | (low & 0x7F);
  return (raw & 0x800) != 0 ? raw - 4096 : raw;
}
