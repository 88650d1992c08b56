#include "tools/import_records.h"

#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"

namespace tools {

int LeadingNumber(std::string_view text) {
  constexpr int kLimit = 999999999;
  int value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) break;
    value = value > (kLimit - (c - '0')) / 10 ? kLimit : value * 10 + (c - '0');
  }
  return value;
}

std::string_view Field(std::string_view text, size_t offset, size_t count) {
  if (offset >= text.size()) return {};
  return text.substr(offset, count);
}

bool IsCalendarDate(int year, int month, int day) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && !leap) return day <= 28;
  return day <= kDays[month - 1];
}

platform::OleDateTime Invalid(platform::OleDateTime value) {
  value.status = 1;
  return value;
}

std::vector<uint8_t> StoreNewRecording(const TPatientData& patient, const TRecordingData& recording,
                                       int32_t version) {
  // The patient record stores the process-wide channel sets: a new recording gets those of a fresh
  // document, not the ones of whatever recording is open while it is imported.
  struct Restore {
    document::DocumentContext& context;
    const document::DocumentContext open;
    ~Restore() { context = open; }
  } restore{document::Context(), document::Context()};
  document::DocumentContext& context = restore.context;
  context.g_DisplayChannels = {3, 2, {0, 1, 2}};
  context.g_RecordingChannels = {3, 2, {0, 1, 2}};
  context.g_AnalysisChannels = {2, 2, {0, 1, 0}};
  context.g_STChannels = {2, 2, {0, 1, 0}};
  platform::ArchiveWriter ar;
  patient.Serialize(ar, version);
  recording.Serialize(ar, version);
  TQRSList().Serialize(ar, version);
  TEventList().Serialize(ar, version);
  return ar.TakeBytes();
}

std::string FirstCharacters(std::string_view utf8, size_t count) {
  size_t end = 0;
  for (size_t taken = 0; end < utf8.size() && taken < count; ++taken) {
    ++end;
    // Continuation bytes belong to the character before them.
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
  }
  return std::string(utf8.substr(0, end));
}

}  // namespace tools
