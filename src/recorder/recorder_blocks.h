#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/archive.h"

namespace platform {
class Clock;
}
class TPatientData;
class TRecordingData;

// Values of the recorder's patient block. Texts are UTF-8; the block holds them as cp1252.
struct TPatientBlockFields {
  std::string pat_nr;
  std::string last_name;
  std::string first_name;
  platform::OleDateTime date_of_birth;
  int32_t age = 0;      // whole years
  int32_t race = 0;     // one digit is stored
  int32_t sex = 0;      // 1 female, 2 male, 0 none
  double height = 0.0;  // cm, stored as a whole number
  double weight = 0.0;  // kg, stored as a whole number
  int32_t pace_maker = 0;
  std::string pace_maker_type;
  platform::OleDateTime pace_maker_act_date;

  bool operator==(const TPatientBlockFields&) const = default;
};

// Values of the address block (the recorder's flexible block 1).
struct TAddressBlockFields {
  std::string address;  // may hold line breaks
  std::string fon;
  std::string station;

  bool operator==(const TAddressBlockFields&) const = default;
};

// Values of the recorder's recording block.
struct TRecordingBlockFields {
  platform::OleDateTime recording_date;  // whole days
  platform::OleDateTime recording_time;  // time of day only
  int32_t recording_type = 0;
  std::string dev_type;
  std::string dev_version;
  int32_t recording_pace_maker = 0;
  std::string dev_serial;
  // Not stored in the block: unpacking always gives 07:00 and 22:00.
  platform::OleDateTime recording_morning;
  platform::OleDateTime recording_evening;

  bool operator==(const TRecordingBlockFields&) const = default;
};

// Packs values into and unpacks them from the 512-byte blocks the recorder keeps on its card and
// exchanges over the link. No device is involved; any thread may call.
// Packing cuts every text and number to its own column. Unpacking takes a block read from outside:
// bytes past its end read as blanks, and a block shorter than the smallest the recorder writes
// raises FormatError. Dates and times that are missing give today or the current time of day (from
// the clock); a date or time that no calendar holds gives the same, marked invalid.
class TRecorderBlocks {
 public:
  static constexpr size_t kBlockSize = 512;
  using Block = std::array<uint8_t, kBlockSize>;

  // The recorder file version whose flexible block 1 carries the address fields.
  static constexpr int kAddressFileVersion = 2;

  static constexpr size_t GetMinPatientBlockSize() { return 294; }
  static constexpr size_t GetMinRecordingBlockSize() { return 39; }
  // Up to the end of the station field.
  static constexpr size_t GetMinAddressBlockSize() { return 263; }

  [[nodiscard]] static Block PackPatientBlock(const TPatientBlockFields& fields);
  static TPatientBlockFields UnpackPatientBlock(std::span<const uint8_t> block, const platform::Clock& clock);

  // Blanks only, unless the file version is the address version.
  [[nodiscard]] static Block PackAddressBlock(int file_version, const TAddressBlockFields& fields);
  // Empty texts for any other file version, whatever the block holds.
  static TAddressBlockFields UnpackAddressBlock(int file_version, std::span<const uint8_t> block);

  [[nodiscard]] static Block PackRecordingBlock(const TRecordingBlockFields& fields);
  static TRecordingBlockFields UnpackRecordingBlock(std::span<const uint8_t> block,
                                                    const platform::Clock& clock);

  // The block values of an open recording: age in whole years to today, race 1, no pacemaker type,
  // the activation date today, recording type 7, the recorder texts as the caller knows them.
  static TPatientBlockFields PatientFieldsFromRecord(const TPatientData& patient,
                                                     const platform::Clock& clock);
  static TRecordingBlockFields RecordingFieldsFromRecord(const TRecordingData& recording,
                                                         std::string dev_type, std::string dev_version,
                                                         std::string dev_serial);

  // Stores what the read-out keeps of the blocks: the patient's identity, body values and address,
  // the recording's start, pacemaker detection and the recorder text "DevType DevVersion DevSerial".
  // Age, race, pacemaker type and activation date and the recording type are not kept.
  static void StoreInRecords(const TPatientBlockFields& patient_block,
                             const TAddressBlockFields& address_block,
                             const TRecordingBlockFields& recording_block, TPatientData& patient,
                             TRecordingData& recording);
};
