#include "tools/gdt/gdt_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <system_error>
#include <vector>

#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/cp1252.h"
#include "platform/file_system.h"
#include "trends/report_values.h"

namespace {

constexpr size_t kPrefixChars = 3;
constexpr size_t kHeadChars = 7;  // length prefix and field id
constexpr size_t kLineEndBytes = 2;
// Lines after it are not looked at.
constexpr int kLastFieldLine = 11;

}  // namespace

namespace gdt {
namespace {

// The number at the start of text as the C library's atoi reads it: blanks, a sign, digits; 0
// when there is none. Clamped instead of overflowing.
int LeadingNumber(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min<int64_t>(value * 10 + (text[at] - '0'), std::numeric_limits<int>::max());
  }
  return static_cast<int>(negative ? -value : value);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// DDMMYYYY; a date that no calendar holds is marked invalid.
platform::OleDateTime BirthDate(std::string_view content) {
  const int day = LeadingNumber(content.substr(0, 2));
  const int month = content.size() > 2 ? LeadingNumber(content.substr(2, 2)) : 0;
  const int year = content.size() > 4 ? LeadingNumber(content.substr(4)) : 0;
  constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return {1, 0.0};
  const int days = kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  if (day > days) return {1, 0.0};
  return document::OleDateOnly({year, month, day, 0, 0, 0, 0});
}

// Whether line (without its line end) is a well-formed field: its prefix counts it with CR LF.
bool IsWellFormed(std::string_view line) {
  if (line.size() < kHeadChars) return false;
  for (size_t i = 0; i < kHeadChars; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
  }
  const size_t length = static_cast<size_t>(LeadingNumber(line.substr(0, kPrefixChars)));
  return length == line.size() + kLineEndBytes;
}

}  // namespace

RecordStatus ParseRecordBytes(std::string_view bytes, std::string_view record_type, TPatientData& patient) {
  // The practice software may still be writing: only a file that ends in a line end is whole.
  if (bytes.empty() || bytes.back() != '\n') return RecordStatus::kIncomplete;
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  // Blank lines at the very end are a writer's habit, not fields.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.empty()) return RecordStatus::kRejected;

  TPatientData read = patient;
  for (int number = 1; number <= kLastFieldLine && number <= static_cast<int>(lines.size()); ++number) {
    const std::string_view line = lines[static_cast<size_t>(number - 1)];
    if (!IsWellFormed(line)) return RecordStatus::kRejected;
    const std::string_view id = line.substr(kPrefixChars, 4);
    const std::string_view raw = line.substr(kHeadChars);
    const std::string content = platform::Cp1252ToUtf8(raw);
    switch (number) {
      case 1:
        if (id != "8000" || raw != record_type) return RecordStatus::kRejected;
        break;
      case 4:
        if (id == "3000") read.patient_id = content;
        break;
      case 5:
        if (id == "3101") read.surname = content;
        break;
      case 6:
        if (id == "3102") read.first_name = content;
        break;
      case 7:
        if (id == "3103") read.birth_date = BirthDate(raw);
        break;
      case 8:
        if (id == "3110") read.sex = raw == "2" ? 1 : 2;
        break;
      case 9:
        if (id == "3622") read.height = LeadingNumber(raw);
        break;
      case 10:
        if (id == "3623") read.weight = LeadingNumber(raw);
        break;
      case 11:
        if (id == "8402" && raw != kProcedure) return RecordStatus::kRejected;
        break;
      default:
        break;
    }
  }
  patient = std::move(read);
  return RecordStatus::kAccepted;
}

}  // namespace gdt

namespace {

using gdt::RecordStatus;

// Whether the file name belongs to the pattern prefix + ".*": the prefix alone, or the prefix, a
// point and anything; letters compare without case, as on the practice software's file system.
bool MatchesPattern(std::string_view name, std::string_view prefix) {
  if (name.size() < prefix.size()) return false;
  if (!platform::FileNameEqualNoCase(name.substr(0, prefix.size()), prefix)) return false;
  return name.size() == prefix.size() || name[prefix.size()] == '.';
}

// The result values in the order the practice software expects them: test name, unit, getter.
struct Result {
  const char* name;
  const char* unit;
  std::string (*value)(TReportValues&);
};

const Result kResults[] = {
    {"Total QRS", "", [](TReportValues& v) { return v.GetBeatCountText(); }},
    {"Min. HF", "/min", [](TReportValues& v) { return v.GetMinHeartRateText(); }},
    {"Durchschnitt HF", "/min", [](TReportValues& v) { return v.GetMeanHeartRateText(); }},
    {"Max. HF", "/min", [](TReportValues& v) { return v.GetMaxHeartRateText(); }},
    {"Anzahl Bradykardien", "", [](TReportValues& v) { return v.GetBradycardiaCountText(); }},
    {"Laengste Bradykardie", "HH:MM:SS",
     [](TReportValues& v) { return v.GetLongestBradycardiaDurationText(); }},
    // The practice software knows the test by this spelling.
    {"Anzahl Tachyardien", "", [](TReportValues& v) { return v.GetTachycardiaCountText(); }},
    {"Laengste Tachykardie", "HH:MM:SS",
     [](TReportValues& v) { return v.GetLongestTachycardiaDurationText(); }},
    {"Anzahl Pausen", "", [](TReportValues& v) { return v.GetPauseCountText(); }},
    {"Min. RR", "/ms", [](TReportValues& v) { return v.GetMinRRText(); }},
    {"Max. RR", "/ms", [](TReportValues& v) { return v.GetMaxRRText(); }},
    {"Min. Sinus HF", "/min", [](TReportValues& v) { return v.GetMinSinusRateText(); }},
    {"Max. Sinus HF", "/min", [](TReportValues& v) { return v.GetMaxSinusRateText(); }},
    {"Anzahl VES", "", [](TReportValues& v) { return v.GetVesCountText(); }},
    {"Anzahl Couplet", "", [](TReportValues& v) { return v.GetVCoupletCountText(); }},
    {"Anzahl Triplet", "", [](TReportValues& v) { return v.GetVTripletCountText(); }},
    {"Anzahl VTachykardien", "", [](TReportValues& v) { return v.GetVtCountText(); }},
    {"Anzahl Bigeminien", "", [](TReportValues& v) { return v.GetVBigeminyCountText(); }},
    {"Anzahl Trigeminien", "", [](TReportValues& v) { return v.GetVTrigeminyCountText(); }},
    {"Anzahl SVES", "", [](TReportValues& v) { return v.GetSvesCountText(); }},
    {"Anzahl SVTachykardien", "", [](TReportValues& v) { return v.GetSvtCountText(); }},
    {"Anzahl Abs. Arrhy.", "", [](TReportValues& v) { return v.GetAbsArrhythmiaCountText(); }},
};

// A whole number of at least three digits; what no int holds counts as 0.
std::string ThreeDigits(double value) {
  const double whole = std::trunc(value);
  const int number = std::isfinite(whole) && std::fabs(whole) < 1e9 ? static_cast<int>(whole) : 0;
  char text[16];
  std::snprintf(text, sizeof text, "%03d", number);
  return text;
}

// Cuts the display line to what the dialog hands out and cleans it: an apostrophe line of fewer
// than four characters goes, anything from the first character 1 on goes.
std::string CleanDisplayLine(std::string line) {
  size_t chars = 0;
  size_t cut = 0;
  while (cut < line.size() && chars < TGDTFile::kMaxDisplayLineChars) {
    ++cut;
    while (cut < line.size() && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) ++cut;
    ++chars;
  }
  line.resize(cut);
  if (!line.empty() && line.front() == '\'' && chars < 4) return {};
  if (const size_t one = line.find('\x01'); one != std::string::npos) line.erase(one);
  return line;
}

// The diagnosis in its own lines, for when the findings dialog cannot wrap it.
std::vector<std::string> HardLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

// A prefix for the temp file that neither pattern own + practice + ".*" nor practice + own + ".*"
// can match: no point, and not the first character of either.
char TempPrefix(std::string_view own, std::string_view practice) {
  const std::string one = std::string(own) + std::string(practice);
  const std::string two = std::string(practice) + std::string(own);
  for (const char c : {'~', '#', '_'}) {
    if ((one.empty() || one.front() != c) && (two.empty() || two.front() != c)) return c;
  }
  return '~';  // unreachable: two names rule out at most two of three
}

}  // namespace

TGDTFile::TGDTFile(CZK470Doc& doc, DiagnosisLines diagnosis_lines)
    : doc_(doc),
      folder_(doc.GetGDTDirectory()),
      report_values_(std::make_unique<TReportValues>(doc)),
      diagnosis_lines_(std::move(diagnosis_lines)) {
  // Without a folder the exchange lies where the program keeps its work files.
  if (folder_.empty()) folder_ = doc.GetDataDirectory();
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

TGDTFile::~TGDTFile() = default;

std::string TGDTFile::TempFilePrefix() const {
  return std::string(1, TempPrefix(OwnShortName(), PracticeShortName())) + "GDT";
}

std::string TGDTFile::OwnShortName() const { return doc_.GetSettings().Text(SettingKey::kGDTZK470Shorty); }

std::string TGDTFile::PracticeShortName() const { return doc_.GetSettings().Text(SettingKey::kGDTEDVShorty); }

bool TGDTFile::ShortNamesSafe() const {
  return gdt::IsSafeShortName(OwnShortName()) && gdt::IsSafeShortName(PracticeShortName());
}

void TGDTFile::FinishLine(std::string_view field_id, std::string_view content) {
  std::string bytes = platform::Utf8ToCp1252(content);
  // A line end or other control character inside a field would split the record.
  for (char& c : bytes) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  const size_t room = kMaxLineBytes - kHeadChars - kLineEndBytes;
  if (bytes.size() > room) bytes.resize(room);
  std::string line = std::string(field_id) + bytes;
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%03zu", line.size() + 5);
  lines_.push_back(prefix + line + '\n');
}

void TGDTFile::SetRecordLength() {
  if (lines_.size() < 2) return;
  size_t total = 0;
  for (const std::string& line : lines_) total += line.size() + 1;
  const std::string digits = std::to_string(std::min(total, kMaxRecordBytes));
  std::string& length_line = lines_[1];
  length_line.resize(12 - std::min<size_t>(digits.size(), 5));
  length_line += digits + '\n';
}

std::string TGDTFile::NextWriteNumber() {
  SettingsStore& settings = doc_.GetSettings();
  int number = settings.Int(SettingKey::kGDTWriteNr);
  // A hand-edited profile may hold anything; the extension has three digits.
  if (number < 0 || number > 999) number = 0;
  char text[8];
  std::snprintf(text, sizeof text, "%03d", number);
  settings.SetInt(SettingKey::kGDTWriteNr, number + 1 >= 1000 ? 0 : number + 1);
  doc_.SaveSettings();
  return text;
}

int TGDTFile::WriteLines(const std::filesystem::path& file) {
  std::string bytes;
  for (const std::string& line : lines_) {
    bytes.append(line, 0, line.size() - 1);
    bytes += "\r\n";
  }
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  const std::optional<std::filesystem::path> temp = platform::CreateUniqueFile(folder, TempFilePrefix());
  if (!temp) return 0;
  const int fd = ::open(temp->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  bool written = fd >= 0;
  for (size_t done = 0; written && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      written = false;
    else
      done += static_cast<size_t>(n);
  }
  if (written && ::fsync(fd) != 0) written = false;
  if (fd >= 0 && ::close(fd) != 0) written = false;
  if (!written) {
    std::error_code ec;
    std::filesystem::remove(*temp, ec);
    return 0;
  }
  return platform::ReplaceWithFile(*temp, file) ? 1 : 0;
}

void TGDTFile::BeginRecord(std::string_view record_type) {
  lines_.clear();
  FinishLine("8000", record_type);
  FinishLine("8100", "00000");
  FinishLine("9218", "01.00");
}

int TGDTFile::WriteRecord() {
  SetRecordLength();
  const std::string number = NextWriteNumber();
  return WriteLines(folder_ + PracticeShortName() + OwnShortName() + "." + number);
}

int TGDTFile::RequestPatientData() {
  if (!ShortNamesSafe()) return 0;
  BeginRecord(gdt::kRequestRecord);
  FinishLine("3000", "0");
  return WriteRecord();
}

int TGDTFile::SendResult() {
  if (!ShortNamesSafe()) return 0;
  const TPatientData& patient = doc_.GetPatientData();
  const TRecordingData& recording = doc_.GetRecordingData();
  BeginRecord(gdt::kResultRecord);
  FinishLine("3000", patient.patient_id);
  FinishLine("3110", patient.sex == 1 ? "2" : "1");
  FinishLine("3622", ThreeDigits(patient.height));
  FinishLine("3623", ThreeDigits(patient.weight));
  FinishLine("8402", gdt::kProcedure);
  FinishLine("8432", document::FormatOleDateTime(recording.start_date, "%d%m%Y"));
  FinishLine("8439", document::FormatOleDateTime(recording.start_time, "%H%M%S"));
  const size_t before_findings = lines_.size();
  AddFindings();
  const size_t findings = lines_.size() - before_findings;
  AddResults();
  // The length field has five digits: an overlong diagnosis gives up its last lines.
  size_t total = 0;
  for (const std::string& line : lines_) total += line.size() + 1;
  size_t dropped = 0;
  while (total > kMaxRecordBytes && dropped < findings) {
    const auto last = lines_.begin() + static_cast<std::ptrdiff_t>(before_findings + findings - 1 - dropped);
    total -= last->size() + 1;
    lines_.erase(last);
    ++dropped;
  }
  return WriteRecord();
}

void TGDTFile::AddFindings() {
  const std::string& diagnosis = doc_.GetRecordingData().diagnosis;
  if (diagnosis.empty()) return;
  std::optional<std::vector<std::string>> lines;
  if (diagnosis_lines_) lines = diagnosis_lines_(doc_);
  if (!lines) lines = HardLines(diagnosis);
  for (std::string& line : *lines) {
    std::string cleaned = CleanDisplayLine(std::move(line));
    if (!cleaned.empty()) FinishLine("6220", cleaned);
  }
}

void TGDTFile::AddResults() {
  // The longest episodes are defined only once the episodes are counted.
  report_values_->ComputeEpisodes();
  const int minutes = doc_.GetRecordingMinutes();
  char duration[32];
  std::snprintf(duration, sizeof duration, "%02d:%02d", minutes / 60, minutes % 60);
  FinishLine("8410", "Dauer der Aufnahme");
  FinishLine("8420", duration);
  FinishLine("8421", "HH:MM");
  for (const Result& result : kResults) {
    FinishLine("8410", result.name);
    FinishLine("8420", result.value(*report_values_));
    FinishLine("8421", result.unit);
  }
}

void TGDTFile::FindFiles() {
  found_names_.clear();
  const std::string prefix = OwnShortName() + PracticeShortName();
  const std::filesystem::path folder = folder_.empty() ? "." : folder_;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code type_error;
    if (MatchesPattern(name, prefix) && it->is_regular_file(type_error)) found_names_.push_back(name);
  }
  // The folder lists in no particular order; ties go to the first name.
  std::sort(found_names_.begin(), found_names_.end());
}

std::string TGDTFile::GetNewestFile() {
  FindFiles();
  // 1 January 1971: files dated before it are never chosen.
  constexpr int64_t kEarliestNs = int64_t{365} * 86400 * 1000000000;
  int64_t latest_ns = kEarliestNs;
  std::string chosen;
  for (const std::string& name : found_names_) {
    const std::string path = folder_ + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat info {};
    const bool dated = ::fstat(fd, &info) == 0;
    ::close(fd);
    if (!dated) continue;
    const int64_t time_ns = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    if (time_ns > latest_ns) {
      latest_ns = time_ns;
      chosen = name;
    }
  }
  return chosen.empty() ? std::string() : folder_ + chosen;
}

int TGDTFile::ParseRecord(std::string_view record_type, const std::filesystem::path& file,
                          TPatientData& patient) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return 0;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  RecordStatus status = RecordStatus::kRejected;
  if (!ec && size <= kMaxReadBytes) {
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    status = gdt::ParseRecordBytes(bytes, record_type, patient);
  }
  in.close();
  if (status == RecordStatus::kIncomplete) return 0;
  // A record read, taken or not, is not offered again.
  std::filesystem::remove(file, ec);
  return status == RecordStatus::kAccepted ? 1 : 0;
}

int TGDTFile::ReadRecord(std::string_view record_type, TPatientData& patient) {
  if (!ShortNamesSafe()) return 0;
  const std::string file = GetNewestFile();
  if (file.empty()) return 0;
  return ParseRecord(record_type, file, patient);
}

int TGDTFile::ReadPatientData(TPatientData& patient) { return ReadRecord(gdt::kAnswerRecord, patient); }

int TGDTFile::ReadNewExamination(TPatientData& patient) {
  return ReadRecord(gdt::kNewExaminationRecord, patient);
}
