#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gdt/gdt_names.h"

class CZK470Doc;
class TPatientData;
class TReportValues;

namespace gdt {

// What a reader makes of the bytes of an exchange file.
enum class RecordStatus {
  kAccepted,    // the patient fields were taken
  kRejected,    // another record type or procedure, or a damaged line: the file is of no use
  kIncomplete,  // the last line has no line end yet: the practice software is still writing it
};

// The record types and the procedure identifier of the exchange.
inline constexpr std::string_view kRequestRecord = "6300";
inline constexpr std::string_view kAnswerRecord = "6301";
inline constexpr std::string_view kNewExaminationRecord = "6302";
inline constexpr std::string_view kResultRecord = "6310";
inline constexpr std::string_view kProcedure = "EKG04";

// Reads the patient fields of a record (cp1252, lines ending in CR LF) into patient. Fields are
// taken by their line number; one not at its place is passed over and the patient keeps that
// value. Patient is changed only when the record is accepted. Never throws.
RecordStatus ParseRecordBytes(std::string_view bytes, std::string_view record_type, TPatientData& patient);

}  // namespace gdt

// One exchange with the practice software over GDT files in the exchange folder: a request for
// patient data (6300) or an examination result (6310) written, an answer (6301) or a
// new-examination record (6302) read and deleted. Made by one view command and deleted after it;
// user-interface thread only.
//
// Lines are held as the bytes they have on disk (cp1252), each with its length prefix and ending
// in LF alone; written, each LF becomes CR LF. A file is written under a temp name that neither
// side's read pattern matches and renamed when complete, so no reader sees half a file.
class TGDTFile {
 public:
  // The display lines of the diagnosis as the findings dialog wraps them; nullopt when that
  // dialog cannot be made (the diagnosis then goes in its own lines).
  using DiagnosisLines = std::function<std::optional<std::vector<std::string>>(CZK470Doc&)>;

  static constexpr int kMaxDisplayLineChars = 295;
  // The length prefix has three digits.
  static constexpr size_t kMaxLineBytes = 999;
  // The record length field has five digits.
  static constexpr size_t kMaxRecordBytes = 99999;
  // An answer longer than this is no record of the practice software.
  static constexpr uintmax_t kMaxReadBytes = 1 << 20;

  explicit TGDTFile(CZK470Doc& doc, DiagnosisLines diagnosis_lines = {});
  ~TGDTFile();
  TGDTFile(const TGDTFile&) = delete;
  TGDTFile& operator=(const TGDTFile&) = delete;

  // 1 when the file was written, 0 when not.
  int RequestPatientData();
  int SendResult();
  // 1 when the newest matching file was read and accepted; 0 when there is none, it cannot be
  // opened, it is still being written or it was rejected.
  int ReadPatientData(TPatientData& patient);
  int ReadNewExamination(TPatientData& patient);

  // The steps of the operations above.
  void FinishLine(std::string_view field_id, std::string_view content);
  void SetRecordLength();
  std::string NextWriteNumber();
  int WriteLines(const std::filesystem::path& file);
  void AddFindings();
  void AddResults();
  void FindFiles();
  std::string GetNewestFile();
  int ParseRecord(std::string_view record_type, const std::filesystem::path& file, TPatientData& patient);

  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<std::string>& FoundNames() const { return found_names_; }
  // The start of the name a record is written under before it is renamed.
  std::string TempFilePrefix() const;
  // The folder the exchange files lie in, ending in "/".
  const std::string& ExchangeFolder() const { return folder_; }

 private:
  int ReadRecord(std::string_view record_type, TPatientData& patient);
  bool ShortNamesSafe() const;
  std::string OwnShortName() const;
  std::string PracticeShortName() const;
  void BeginRecord(std::string_view record_type);
  int WriteRecord();

  CZK470Doc& doc_;
  std::string folder_;
  std::unique_ptr<TReportValues> report_values_;
  DiagnosisLines diagnosis_lines_;
  std::vector<std::string> found_names_;
  std::vector<std::string> lines_;
};
