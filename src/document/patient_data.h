#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/archive.h"

namespace platform {
class Clock;
}
namespace document {
struct MemberReadNotes;
}

// The patient record of a recording, the first member of the ".QRS" file. Its archive routine also
// stores and restores the process-wide channel sets of document::Context() (analysis, ST, and in
// versions 26 and 27 the recording channels), whose only persistent home it is. Texts are UTF-8.
class TPatientData {
 public:
  static constexpr int kLetterSwitchCount = 14;
  // Letter switches: 0 referring physician, 1 referred-to physician, 2 insurance, 3 patient letter,
  // 4..12 narrative sections (overview, markers, heart-rate episodes, VES, SVES, absolute arrhythmia,
  // ST depressions, medication, diagnosis), 13 the paper format index.
  static constexpr std::array<int32_t, kLetterSwitchCount> kDefaultLetterSwitches = {1, 0, 0, 1, 1, 1, 1,
                                                                                        1, 1, 1, 1, 1, 1, 2};

  // Defaults; the birth date is today at 00:00.
  explicit TPatientData(const platform::Clock& clock);
  TPatientData(std::string first_name, std::string surname, std::string patient_id, std::string address,
               std::string telephone, platform::OleDateTime birth_date, std::string referring_address,
               std::string referred_to_address, std::string insurance_address,
               const std::array<int32_t, kLetterSwitchCount>& letter_switches, std::string further_text,
               std::string station, int32_t sex, double height, double weight, int32_t pacemaker);

  // Whole years from the birth date to today at 00:00 (days / 365); empty for a date-time that no
  // calendar holds.
  std::string GetAgeText(const platform::Clock& clock) const;
  std::string GetHeightText(int decimals) const { return FormatNumber(height, decimals); }
  std::string GetWeightText(int decimals) const { return FormatNumber(weight, decimals); }
  // Fixed-point text without sign and leading zero (0.05 with 2 decimals gives ".05").
  static std::string FormatNumber(double value, int decimals);
  // String 21110 (female) or 21111 (male) of the language resources; empty otherwise.
  std::string GetSexText() const;
  // "%d.%m.%Y".
  std::string GetBirthDateText() const;

  // Writes the layout of the given file version (25 or 26..32; any other writes the version only).
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Reads the record and sets the channel sets as the stored version implies; a stored set of more
  // channels than it holds keeps the first ones, a negative count none. A record of a version
  // outside 2..32 is the version alone: with notes it changes nothing and is noted for the message
  // the document shows; without them it raises FormatError. A damaged record raises FormatError and
  // changes neither the record nor the channel sets.
  void Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes = nullptr);

  bool operator==(const TPatientData&) const = default;

  std::string first_name;
  std::string surname;
  std::string patient_id;  // up to 30 characters are exchanged with the recorder
  std::string address;     // several lines; up to 240 characters are exchanged with the recorder
  std::string telephone;   // up to 20 characters are exchanged with the recorder
  platform::OleDateTime birth_date;
  int32_t sex = 0;  // 0 not given, 1 female, 2 male
  double height = 0.0;  // cm
  double weight = 0.0;  // kg
  int32_t pacemaker = 0;  // 1 when the patient wears a pacemaker
  std::string referring_address;
  std::string referred_to_address;
  std::string insurance_address;
  std::array<int32_t, kLetterSwitchCount> letter_switches = kDefaultLetterSwitches;
  std::string further_text;  // stored from version 28 on
  std::string station;       // stored from version 30 on; up to 3 characters go to the recorder
};
