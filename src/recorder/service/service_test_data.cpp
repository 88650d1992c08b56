#include "recorder/service/service_test_data.h"

#include <optional>

#include "document/record_format.h"
#include "platform/locale.h"

namespace recorder {
namespace {

double OleDays(int year, int month, int day, int hour = 0, int minute = 0) {
  return document::ToOleDateTime(platform::LocalDateTime{year, month, day, hour, minute, 0, 0}).days;
}

platform::OleDateTime OleDate(int year, int month, int day, int hour = 0, int minute = 0) {
  return {0, OleDays(year, month, day, hour, minute)};
}

// Times of day alone, on the day the framework counts from.
platform::OleDateTime OleTime(int hour, int minute) { return {0, (hour * 60 + minute) / 1440.0}; }

}  // namespace

int AgeInYears(const platform::LocalDateTime& birth, const platform::LocalDateTime& today) {
  int age = today.year - birth.year;
  if (age != 0 && (today.month < birth.month || (today.month == birth.month && today.day < birth.day))) --age;
  return age;
}

TRecorderPatientRecord ServiceTestRecord(int patient, const platform::Clock& clock) {
  const bool first = patient != 2;
  TRecorderPatientRecord record;
  record.last_name = first ? "Patient1" : "Patient2";
  record.first_name = first ? "Vorname1" : "Vorname2";
  record.pat_id = first ? "Pat1 23456" : "Pat2 34567";
  record.date_of_birth = first ? OleDays(1911, 1, 1) : OleDays(1922, 2, 2);
  record.sex = first ? 1 : 2;
  record.height = first ? 100 : 200;
  record.weight = first ? 111 : 222;
  record.pace_maker = first;
  const platform::LocalDateTime now = clock.Now();
  record.start_date = document::OleDateOnly(now).days;
  record.start_time = document::OleTimeOnly(now).days;
  record.pace_maker_detection = first;
  return record;
}

TPatientBlockFields ServiceTestPatientBlock(const platform::Clock& clock) {
  TPatientBlockFields fields;
  fields.pat_nr = "Pat1 23456";
  fields.last_name = "Patient1";
  fields.first_name = "Vorname1";
  fields.date_of_birth = OleDate(1911, 1, 1);
  fields.age = AgeInYears({1911, 1, 1}, clock.Now());
  fields.race = 1;
  fields.sex = 1;
  fields.height = 100;
  fields.weight = 111;
  fields.pace_maker = 1;
  fields.pace_maker_type = "handmade";
  fields.pace_maker_act_date = OleDate(2000, 12, 31);
  return fields;
}

TRecordingBlockFields ServiceTestRecordingBlock() {
  TRecordingBlockFields fields;
  fields.recording_date = OleDate(2002, 11, 10);
  fields.recording_time = OleTime(10, 10);
  fields.recording_type = 7;
  fields.dev_type = "ZK-131";
  fields.dev_version = "V1.01";
  fields.recording_pace_maker = 1;
  fields.dev_serial = "9.90.03";
  fields.recording_morning = OleTime(7, 1);
  fields.recording_evening = OleTime(22, 1);
  return fields;
}

std::string ServiceDateText(const platform::OleDateTime& value, const platform::Locale& locale) {
  const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  return local ? locale.FormatShortDate(local->year, local->month, local->day) : std::string();
}

std::string ServiceTimeText(const platform::OleDateTime& value, const platform::Locale& locale) {
  const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  return local ? locale.FormatTime(local->hour, local->minute, local->second) : std::string();
}

std::vector<std::string> PatientBlockLines(const TPatientBlockFields& fields,
                                           const platform::Locale& locale) {
  const char* sex = fields.sex == 1 ? "Sex: female" : fields.sex == 2 ? "Sex: male" : "Sex: none";
  return {
      "LastName: " + fields.last_name,
      "FirstName: " + fields.first_name,
      "PatientID: " + fields.pat_nr,
      "DateOfBirth: " + ServiceDateText(fields.date_of_birth, locale),
      "Age: " + std::to_string(fields.age),
      "Race: " + std::to_string(fields.race),
      sex,
      "Height: " + std::to_string(static_cast<int>(fields.height)),
      "Weight: " + std::to_string(static_cast<int>(fields.weight)),
      std::string("PaceMaker: ") + (fields.pace_maker != 0 ? "Yes" : "No"),
      "PaceMaker Type: " + fields.pace_maker_type,
      "PaceMaker Activation Date: " + ServiceDateText(fields.pace_maker_act_date, locale),
      // The station stands in the address block, not in this one.
      "Station: ",
  };
}

std::vector<std::string> RecordingBlockLines(const TRecordingBlockFields& fields,
                                             const platform::Locale& locale) {
  return {
      "Recording Date: " + ServiceDateText(fields.recording_date, locale),
      "Recording Time: " + ServiceTimeText(fields.recording_time, locale),
      "Recording Type: " + std::to_string(fields.recording_type),
      "Device Type:",
      fields.dev_type,
      "Device Version:",
      fields.dev_version,
      "Device Serial:",
      fields.dev_serial,
      std::string("PM Detection: ") + (fields.recording_pace_maker != 0 ? "Yes" : "No"),
      "Recording Morning: " + ServiceTimeText(fields.recording_morning, locale),
      "Recording Evening: " + ServiceTimeText(fields.recording_evening, locale),
  };
}

}  // namespace recorder
