#include "tools/kzt_import.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/recording_files.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/io_error.h"
#include "tools/import_records.h"
#include "tools/run_family.h"

namespace tools {
namespace {

// Nine short lines; anything larger is no KZT file and is not read into memory.
constexpr uint64_t kMaxKztBytes = 64 * 1024;
constexpr size_t kKztLines = 9;

constexpr std::array<std::string_view, kKztLines> kKeys = {
    "NAME\t", "PATID\t", "BIRTHDAY\t", "PACER\t", "HEIGHT\t", "WEIGHT\t", "SEX\t", "DATE\t", "TIME\t"};

// The lines as a text-mode reader returns them: split at LF, one CR before it dropped, and no
// empty line after a final LF.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (end < text.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = next;
  }
  return lines;
}

platform::OleDateTime ParseDate(std::string_view value, const platform::OleDateTime& fallback) {
  // DD.MM.YYYY by position: the separators may be anything.
  const int day = LeadingNumber(Field(value, 0, 2));
  const int month = LeadingNumber(Field(value, 3, 2));
  const int year = LeadingNumber(Field(value, 6, 4));
  if (!IsCalendarDate(year, month, day)) return Invalid(fallback);
  return document::OleDateOnly({year, month, day});
}

platform::OleDateTime ParseTime(std::string_view value, const platform::OleDateTime& fallback) {
  const int hour = LeadingNumber(Field(value, 0, 2));
  const int minute = LeadingNumber(Field(value, 3, 2));
  const int second = LeadingNumber(Field(value, 6, 2));
  if (hour > 23 || minute > 59 || second > 59) return Invalid(fallback);
  return document::OleTimeOnly({1899, 12, 30, hour, minute, second});
}

}  // namespace

std::optional<KztRecords> ParseKztFile(std::span<const uint8_t> bytes, const platform::Clock& clock) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.size() != kKztLines) return std::nullopt;

  KztRecords records{TPatientData(clock), TRecordingData(clock)};
  TPatientData& patient = records.patient;
  TRecordingData& recording = records.recording;
  recording.identity_text = "KZT";
  for (size_t i = 0; i < kKztLines; ++i) {
    const std::string_view line = lines[i];
    if (line.find(kKeys[i]) == std::string_view::npos) return std::nullopt;
    // The value is as long as the line less the key, taken from the line's end.
    const std::string_view value = line.substr(kKeys[i].size());
    switch (i) {
      case 0:
        patient.surname = platform::Cp1252ToUtf8(value);
        break;
      case 1:
        patient.patient_id = platform::Cp1252ToUtf8(value);
        break;
      case 2:
        patient.birth_date = ParseDate(value, patient.birth_date);
        break;
      case 3:
        patient.pacemaker = LeadingNumber(value);
        recording.pacemaker_recording = patient.pacemaker;
        break;
      case 4:
        patient.height = LeadingNumber(value);
        break;
      case 5:
        patient.weight = LeadingNumber(value);
        break;
      case 6: {
        const int sex = LeadingNumber(value);
        patient.sex = sex == 0 && !value.empty() && IsDigit(value.front()) ? 2 : (sex == 1 ? 1 : 0);
        break;
      }
      case 7:
        recording.start_date = ParseDate(value, recording.start_date);
        break;
      case 8:
        recording.start_time = ParseTime(value, recording.start_time);
        break;
    }
  }
  return records;
}

bool ImportKztFile(CZK470Doc& doc, const std::string& path) {
  std::optional<KztRecords> records;
  try {
    const std::vector<uint8_t> bytes = platform::ReadFileBytes(path, kMaxKztBytes);
    records = ParseKztFile(bytes, doc.GetClock());
  } catch (const platform::IoError&) {
    return false;
  }
  if (!records) return false;

  const std::string qrs_path = document::ReplaceLastThree(path, "QRS");
  const std::optional<std::string> existing = document::ExistingFile(qrs_path);
  if (existing && document::CanOpenForReading(*existing)) {
    // Declining keeps the recording that is there (perhaps analysed) and the KZT file; the open
    // then shows that recording.
    if (!AskOverwrite(*existing)) return true;
  }
  const std::vector<uint8_t> document_bytes =
      StoreNewRecording(records->patient, records->recording, doc.GetHost().GetFileFormatVersion());
  try {
    platform::WriteFileAtomic(existing.value_or(qrs_path), document_bytes);
  } catch (const platform::IoError&) {
    return false;
  }
  // Gone already is as good as deleted.
  return std::remove(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace tools
