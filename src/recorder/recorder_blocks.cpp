#include "recorder/recorder_blocks.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/io_error.h"

namespace {

constexpr uint8_t kBlank = 0x20;

// A column of a block: where it starts and how many bytes it owns.
struct Column {
  size_t offset;
  size_t length;
};

constexpr Column kPatNr{0, 20};
constexpr Column kLastName{20, 30};
constexpr Column kLastNameRest{50, 30};
constexpr Column kFirstName1{80, 15};
constexpr Column kFirstName2{95, 15};
constexpr Column kDateOfBirth{110, 8};
constexpr Column kAge{118, 2};
constexpr Column kRace{120, 1};
constexpr Column kSex{121, 1};
constexpr Column kHeight{122, 2};
constexpr Column kWeight{124, 2};
constexpr Column kPaceMaker{126, 1};
constexpr Column kPaceMakerType{127, 20};
constexpr Column kPaceMakerActDate{147, 8};

constexpr Column kAddress{0, 240};
constexpr Column kFon{240, 20};
constexpr Column kStation{260, 3};

constexpr Column kRecordingDate{0, 8};
constexpr Column kRecordingTime{8, 6};
constexpr Column kRecordingType{14, 2};
constexpr Column kDevType{16, 10};
constexpr Column kDevVersion{26, 10};
constexpr Column kRecordingPaceMaker{36, 1};
constexpr Column kDevSerial{37, 9};

constexpr int kRecordingTypeHolter = 7;
constexpr int kRaceDefault = 1;

TRecorderBlocks::Block BlankBlock() {
  TRecorderBlocks::Block block;
  block.fill(kBlank);
  return block;
}

// Single-byte text from the column's first byte; a longer text stops at the column's end.
void PutText(TRecorderBlocks::Block& block, Column column, std::string_view single_byte) {
  const size_t n = std::min(single_byte.size(), column.length);
  std::copy_n(single_byte.begin(), n, block.begin() + static_cast<std::ptrdiff_t>(column.offset));
}

void PutUtf8(TRecorderBlocks::Block& block, Column column, std::string_view utf8) {
  PutText(block, column, platform::Utf8ToCp1252(utf8));
}

// Truncated toward zero and held to what two bytes carry, so a wild value cannot spill its column.
void PutNumber(TRecorderBlocks::Block& block, Column column, double value) {
  double whole = std::isnan(value) ? 0.0 : std::trunc(value);
  whole = std::clamp(whole, 0.0, 65535.0);
  const auto number = static_cast<uint32_t>(whole);
  block[column.offset] = static_cast<uint8_t>(number % 256);
  block[column.offset + 1] = static_cast<uint8_t>(number / 256);
}

// "YYYYMMDD"; a date no calendar holds stays blank and so reads back as today.
void PutDate(TRecorderBlocks::Block& block, Column column, const platform::OleDateTime& date) {
  PutText(block, column, document::FormatOleDateTime(date, "%Y%m%d"));
}

void PutTime(TRecorderBlocks::Block& block, Column column, const platform::OleDateTime& time) {
  PutText(block, column, document::FormatOleDateTime(time, "%H%M%S"));
}

// Reads a block that may be shorter than 512 bytes: what lies past its end is blank.
class BlockReader {
 public:
  BlockReader(std::span<const uint8_t> block, const char* name, size_t min_size) : block_(block) {
    if (block.size() < min_size) {
      throw platform::FormatError(name, "block of " + std::to_string(block.size()) + " bytes, at least " +
                                            std::to_string(min_size) + " expected");
    }
  }

  uint8_t Byte(size_t offset) const { return offset < block_.size() ? block_[offset] : kBlank; }

  // The column without its trailing blanks, still single-byte.
  std::string Raw(Column column) const {
    std::string text;
    for (size_t i = 0; i < column.length; ++i) text += static_cast<char>(Byte(column.offset + i));
    const size_t end = text.find_last_not_of(' ');
    text.resize(end == std::string::npos ? 0 : end + 1);
    return text;
  }

  std::string Text(Column column) const { return platform::Cp1252ToUtf8(Raw(column)); }

  int32_t Number(Column column) const { return Byte(column.offset) + 256 * Byte(column.offset + 1); }

 private:
  std::span<const uint8_t> block_;
};

std::optional<int> Digits(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsCalendarDate(int year, int month, int day) {
  // The framework's calendar runs from the year 100 to 9999.
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && !leap) return day <= 28;
  return day <= kDays[month - 1];
}

platform::OleDateTime ReadDate(const BlockReader& reader, Column column, const platform::Clock& clock) {
  const platform::LocalDateTime now = clock.Now();
  const std::string text = reader.Raw(column);
  if (text.size() != 8) return document::OleDateOnly(now);
  const std::optional<int> year = Digits(std::string_view(text).substr(0, 4));
  const std::optional<int> month = Digits(std::string_view(text).substr(4, 2));
  const std::optional<int> day = Digits(std::string_view(text).substr(6, 2));
  if (!year || !month || !day || !IsCalendarDate(*year, *month, *day)) {
    platform::OleDateTime today = document::OleDateOnly(now);
    today.status = 1;
    return today;
  }
  return document::OleDateOnly({*year, *month, *day});
}

platform::OleDateTime ReadTime(const BlockReader& reader, Column column, const platform::Clock& clock) {
  const platform::LocalDateTime now = clock.Now();
  const std::string text = reader.Raw(column);
  if (text.size() != 6) return document::OleTimeOnly(now);
  const std::optional<int> hour = Digits(std::string_view(text).substr(0, 2));
  const std::optional<int> minute = Digits(std::string_view(text).substr(2, 2));
  const std::optional<int> second = Digits(std::string_view(text).substr(4, 2));
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
    platform::OleDateTime time = document::OleTimeOnly(now);
    time.status = 1;
    return time;
  }
  platform::LocalDateTime local;
  local.hour = *hour;
  local.minute = *minute;
  local.second = *second;
  return document::OleTimeOnly(local);
}

platform::OleDateTime TimeOfDay(int hour) {
  platform::LocalDateTime local;
  local.hour = hour;
  return document::OleTimeOnly(local);
}

}  // namespace

TRecorderBlocks::Block TRecorderBlocks::PackPatientBlock(const TPatientBlockFields& fields) {
  Block block = BlankBlock();
  PutUtf8(block, kPatNr, fields.pat_nr);
  // The recorder shows 30 characters of the last name; its second column stays blank.
  PutUtf8(block, kLastName, fields.last_name);
  const std::string first_name = platform::Utf8ToCp1252(fields.first_name);
  PutText(block, kFirstName1, first_name);
  if (first_name.size() > kFirstName1.length) {
    PutText(block, kFirstName2, std::string_view(first_name).substr(kFirstName1.length));
  }
  PutDate(block, kDateOfBirth, fields.date_of_birth);
  PutNumber(block, kAge, fields.age);
  PutText(block, kRace, std::to_string(fields.race).substr(0, 1));
  if (fields.sex == 1) PutText(block, kSex, "2");
  if (fields.sex == 2) PutText(block, kSex, "1");
  PutNumber(block, kHeight, fields.height);
  PutNumber(block, kWeight, fields.weight);
  // A number byte among the characters.
  block[kPaceMaker.offset] = fields.pace_maker != 0 ? 0x01 : 0x00;
  PutUtf8(block, kPaceMakerType, fields.pace_maker_type);
  PutDate(block, kPaceMakerActDate, fields.pace_maker_act_date);
  return block;
}

TPatientBlockFields TRecorderBlocks::UnpackPatientBlock(std::span<const uint8_t> block,
                                                        const platform::Clock& clock) {
  const BlockReader reader(block, "patient block", GetMinPatientBlockSize());
  TPatientBlockFields fields;
  fields.pat_nr = reader.Text(kPatNr);
  fields.last_name = reader.Text(kLastName) + reader.Text(kLastNameRest);
  fields.first_name = reader.Text(kFirstName1) + reader.Text(kFirstName2);
  fields.date_of_birth = ReadDate(reader, kDateOfBirth, clock);
  fields.age = reader.Number(kAge);
  const uint8_t race = reader.Byte(kRace.offset);
  fields.race = race >= '0' && race <= '9' ? race - '0' : 0;
  const uint8_t sex = reader.Byte(kSex.offset);
  fields.sex = sex == '2' ? 1 : sex == '1' ? 2 : 0;
  fields.height = reader.Number(kHeight);
  fields.weight = reader.Number(kWeight);
  fields.pace_maker = reader.Byte(kPaceMaker.offset) != 0 ? 1 : 0;
  fields.pace_maker_type = reader.Text(kPaceMakerType);
  fields.pace_maker_act_date = ReadDate(reader, kPaceMakerActDate, clock);
  return fields;
}

TRecorderBlocks::Block TRecorderBlocks::PackAddressBlock(int file_version,
                                                         const TAddressBlockFields& fields) {
  Block block = BlankBlock();
  if (file_version != kAddressFileVersion) return block;
  PutUtf8(block, kAddress, fields.address);
  PutUtf8(block, kFon, fields.fon);
  PutUtf8(block, kStation, fields.station);
  return block;
}

TAddressBlockFields TRecorderBlocks::UnpackAddressBlock(int file_version, std::span<const uint8_t> block) {
  if (file_version != kAddressFileVersion) return {};
  const BlockReader reader(block, "address block", GetMinAddressBlockSize());
  return {reader.Text(kAddress), reader.Text(kFon), reader.Text(kStation)};
}

TRecorderBlocks::Block TRecorderBlocks::PackRecordingBlock(const TRecordingBlockFields& fields) {
  Block block = BlankBlock();
  PutDate(block, kRecordingDate, fields.recording_date);
  PutTime(block, kRecordingTime, fields.recording_time);
  PutNumber(block, kRecordingType, fields.recording_type);
  PutUtf8(block, kDevType, fields.dev_type);
  PutUtf8(block, kDevVersion, fields.dev_version);
  block[kRecordingPaceMaker.offset] = fields.recording_pace_maker != 0 ? 0x01 : 0x00;
  PutUtf8(block, kDevSerial, fields.dev_serial);
  return block;
}

TRecordingBlockFields TRecorderBlocks::UnpackRecordingBlock(std::span<const uint8_t> block,
                                                            const platform::Clock& clock) {
  const BlockReader reader(block, "recording block", GetMinRecordingBlockSize());
  TRecordingBlockFields fields;
  fields.recording_date = ReadDate(reader, kRecordingDate, clock);
  fields.recording_time = ReadTime(reader, kRecordingTime, clock);
  fields.recording_type = reader.Number(kRecordingType);
  fields.dev_type = reader.Text(kDevType);
  fields.dev_version = reader.Text(kDevVersion);
  fields.recording_pace_maker = reader.Byte(kRecordingPaceMaker.offset) != 0 ? 1 : 0;
  fields.dev_serial = reader.Text(kDevSerial);
  fields.recording_morning = TimeOfDay(7);
  fields.recording_evening = TimeOfDay(22);
  return fields;
}

TPatientBlockFields TRecorderBlocks::PatientFieldsFromRecord(const TPatientData& patient,
                                                             const platform::Clock& clock) {
  TPatientBlockFields fields;
  fields.pat_nr = patient.patient_id;
  fields.last_name = patient.surname;
  fields.first_name = patient.first_name;
  fields.date_of_birth = patient.birth_date;
  const platform::OleDateTime today = document::OleDateOnly(clock.Now());
  const double days = today.days - patient.birth_date.days;
  // A damaged birth date must not reach the integer conversion; the column clamps the rest.
  if (patient.birth_date.status == 0 && std::isfinite(days) && std::fabs(days) < 1e9) {
    fields.age = static_cast<int32_t>(static_cast<int64_t>(days) / 365);
  }
  fields.race = kRaceDefault;
  fields.sex = patient.sex;
  fields.height = patient.height;
  fields.weight = patient.weight;
  fields.pace_maker = patient.pacemaker;
  fields.pace_maker_act_date = today;
  return fields;
}

TRecordingBlockFields TRecorderBlocks::RecordingFieldsFromRecord(const TRecordingData& recording,
                                                                 std::string dev_type,
                                                                 std::string dev_version,
                                                                 std::string dev_serial) {
  TRecordingBlockFields fields;
  fields.recording_date = recording.start_date;
  fields.recording_time = recording.start_time;
  fields.recording_type = kRecordingTypeHolter;
  fields.dev_type = std::move(dev_type);
  fields.dev_version = std::move(dev_version);
  fields.recording_pace_maker = recording.pacemaker_recording;
  fields.dev_serial = std::move(dev_serial);
  return fields;
}

void TRecorderBlocks::StoreInRecords(const TPatientBlockFields& patient_block,
                                     const TAddressBlockFields& address_block,
                                     const TRecordingBlockFields& recording_block, TPatientData& patient,
                                     TRecordingData& recording) {
  patient.patient_id = patient_block.pat_nr;
  patient.surname = patient_block.last_name;
  patient.first_name = patient_block.first_name;
  patient.birth_date = patient_block.date_of_birth;
  patient.sex = patient_block.sex;
  patient.height = patient_block.height;
  patient.weight = patient_block.weight;
  patient.pacemaker = patient_block.pace_maker;
  patient.address = address_block.address;
  patient.telephone = address_block.fon;
  patient.station = address_block.station;
  recording.start_date = recording_block.recording_date;
  recording.start_time = recording_block.recording_time;
  recording.pacemaker_recording = recording_block.recording_pace_maker;
  recording.identity_text =
      recording_block.dev_type + " " + recording_block.dev_version + " " + recording_block.dev_serial;
}
