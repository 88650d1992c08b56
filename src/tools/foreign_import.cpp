#include "tools/foreign_import.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <system_error>

#include "common/progress_window.h"
#include "document/annotation_exchange_file.h"
#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/recording_files.h"
#include "document/signal_exchange_file.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"
#include "tools/import_records.h"
#include "tools/run_family.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr size_t kAnnotationRecordBytes = 16;
constexpr uint8_t kAnnotationEnd = 0xFF;
constexpr size_t kIdSuffixLength = 6;  // "ID.DAT"
// Fewer samples per channel than this make no progress step; such a record is no AHA record.
constexpr uint64_t kMinAhaSamples = 100;
constexpr int kAhaChannels = 2;
constexpr size_t kKekgSurnameCharacters = 20;

// Annotation codes by mnemonic character; 0 for characters that name no annotation.
constexpr std::array<uint8_t, 256> MakeMnemonicCodes() {
  std::array<uint8_t, 256> codes{};
  constexpr std::pair<char, uint8_t> kCodes[] = {
      {'N', 1},  {'L', 2},  {'R', 3},  {'a', 4},   {'V', 5},  {'F', 6},  {'J', 7},  {'A', 8},  {'S', 9},
      {'E', 10}, {'j', 11}, {'/', 12}, {'Q', 13},  {'~', 14}, {'|', 16}, {'s', 18}, {'T', 19}, {'*', 20},
      {'D', 21}, {'"', 22}, {'=', 23}, {'p', 24},  {'B', 25}, {'^', 26}, {'t', 27}, {'+', 28}, {'u', 29},
      {'?', 30}, {'!', 31}, {'[', 32}, {']', 33},  {'e', 34}, {'n', 35}, {'@', 36}, {'x', 37}, {'f', 38},
      {'(', 39}, {'`', 39}, {')', 40}, {'\'', 40}, {'r', 41},
  };
  for (const auto& [mnemonic, code] : kCodes) codes[static_cast<uint8_t>(mnemonic)] = code;
  return codes;
}
constexpr std::array<uint8_t, 256> kMnemonicCodes = MakeMnemonicCodes();

// An input file of the record: found ignoring case, a regular file (never a pipe that would block)
// that opens for reading.
std::optional<std::string> FindInput(const std::string& path) {
  const std::optional<std::string> found = document::ExistingFile(path);
  if (!found) return std::nullopt;
  std::error_code ec;
  if (!fs::is_regular_file(*found, ec)) return std::nullopt;
  std::ifstream probe(*found, std::ios::binary);
  if (!probe) return std::nullopt;
  return found;
}

size_t CharacterCount(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(
      utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// A name made of file-name parts stays one name: no folder separator, no NUL.
std::string OneFileName(std::string name) {
  std::replace(name.begin(), name.end(), '/', '-');
  std::replace(name.begin(), name.end(), '\0', '-');
  return name;
}

// The identification file's modification time as local date and time; nullopt when it cannot be
// listed.
std::optional<platform::LocalDateTime> ModificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  std::tm local{};
  const std::time_t seconds = info.st_mtime;
  if (::localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  return platform::LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour,        local.tm_min,     local.tm_sec};
}

// A file of the import, written beside its target; what existed there before is kept until all
// files are written, and a file put in place by a failed import is removed again.
class OutputFile {
 public:
  explicit OutputFile(std::string target) : target_(std::move(target)) {
    std::error_code ec;
    existed_ = fs::exists(fs::symlink_status(target_, ec));
    writer_ = std::make_unique<platform::AtomicFileWriter>(target_);
  }
  ~OutputFile() {
    if (committed_ && !kept_ && !existed_) {
      std::error_code ec;
      fs::remove(target_, ec);
    }
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  platform::AtomicFileWriter& Writer() { return *writer_; }
  void Commit() {
    writer_->Commit();
    committed_ = true;
  }
  // The import succeeded: the file stays.
  void Keep() { kept_ = true; }

 private:
  std::string target_;
  std::unique_ptr<platform::AtomicFileWriter> writer_;
  bool existed_ = false;
  bool committed_ = false;
  bool kept_ = false;
};

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Copies n samples of each channel file into the KHI file as frames, channel 1 first, in 100
// steps with the progress stepped before each. False on a short read, a write error or a cancel.
bool CopyFrames(std::istream& channel1, std::istream& channel2, uint64_t n, platform::AtomicFileWriter& out,
                AhaCopyProgress& progress) {
  const uint64_t step = n / 100;
  std::vector<char> one(static_cast<size_t>(step) * 2);
  std::vector<char> two(one.size());
  std::vector<uint8_t> frames(one.size() * 2);
  for (uint64_t j = 0; j < n; j += step) {
    if (!progress.Step()) return false;
    const size_t count = static_cast<size_t>(std::min(step, n - j));
    const auto bytes = static_cast<std::streamsize>(count * 2);
    if (!channel1.read(one.data(), bytes) || !channel2.read(two.data(), bytes)) return false;
    for (size_t i = 0; i < count; ++i) {
      frames[i * 4] = static_cast<uint8_t>(one[i * 2]);
      frames[i * 4 + 1] = static_cast<uint8_t>(one[i * 2 + 1]);
      frames[i * 4 + 2] = static_cast<uint8_t>(two[i * 2]);
      frames[i * 4 + 3] = static_cast<uint8_t>(two[i * 2 + 1]);
    }
    try {
      out.Write(std::span<const uint8_t>(frames.data(), count * 4));
    } catch (const platform::IoError&) {
      return false;
    }
  }
  return true;
}

// The shared progress window, modal over the main window while the samples are copied.
class AhaProgressWindow : public AhaCopyProgress {
 public:
  explicit AhaProgressWindow(win::Window* frame) : frame_(frame) {}
  void Begin(const std::string& khi_name) override {
    static constexpr const char* kCaption = "Importing AHA File ";
    window_ = std::make_unique<CProgressWindow>();
    window_->CreatePopup(frame_, kCaption, false);
    window_->BeginModal(kCaption, false);
    window_->SetRange(0, 100, 1);
    window_->SetText("Writing %s", khi_name.c_str());
    (void)window_->PumpMessages(true);
  }
  bool Step() override {
    if (!window_) return true;
    window_->StepIt();
    return window_->PumpMessages(true) == 0 && !window_->IsCancelled();
  }
  void End() override { window_.reset(); }

 private:
  win::Window* frame_;
  std::unique_ptr<CProgressWindow> window_;
};

// Ends the progress on every way out once it has begun.
class ProgressScope {
 public:
  ProgressScope(AhaCopyProgress& progress, const std::string& khi_name) : progress_(progress) {
    progress_.Begin(khi_name);
  }
  ~ProgressScope() { progress_.End(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  AhaCopyProgress& progress_;
};

bool ExistingDocument(const std::string& path) {
  const std::optional<std::string> existing = document::ExistingFile(path);
  return existing && document::CanOpenForReading(*existing);
}

}  // namespace

int AhaAnnotationCode(uint8_t mnemonic) { return kMnemonicCodes[mnemonic]; }

AhaAnnotations ReadAhaAnnotations(std::istream& in) {
  AhaAnnotations annotations;
  std::array<char, kAnnotationRecordBytes> record{};
  while (in.read(record.data(), record.size())) {
    const auto* r = reinterpret_cast<const uint8_t*>(record.data());
    if (r[0] == kAnnotationEnd) break;
    if (annotations.codes.size() >= kMaxAhaAnnotations)
      throw platform::FormatError("annotation file",
                                  "more than " + std::to_string(kMaxAhaAnnotations) + " annotations");
    // Two 16-bit words, the high word first; a time past 2^31 ms wraps as the file's int did.
    const uint32_t time = (uint32_t{platform::LoadLE16(r + 2)} << 16) | platform::LoadLE16(r + 4);
    annotations.codes.push_back(AhaAnnotationCode(r[1]));
    annotations.times.push_back(static_cast<int32_t>(time));
    annotations.aux.push_back(static_cast<int16_t>(platform::LoadLE16(r + 6)));
  }
  return annotations;
}

int ImportAhaRecord(CZK470Doc& doc, const std::string& id_path, bool overwrite_all, std::string& record_name,
                    int rate_hz, double lsb_uv, std::string& error, win::Window* frame) {
  AhaProgressWindow progress(frame);
  return ImportAhaRecord(doc, id_path, overwrite_all, record_name, rate_hz, lsb_uv, error, progress);
}

int ImportAhaRecord(CZK470Doc& doc, const std::string& id_path, bool overwrite_all, std::string& record_name,
                    int rate_hz, double lsb_uv, std::string& error, AhaCopyProgress& progress) {
  error.clear();
  const auto fail = [&](std::string text) {
    error = std::move(text);
    return 0;
  };
  const std::string id_file = fs::path(id_path).filename().string();
  // Until the record has its own name, the result list names it by the file the user chose.
  record_name = id_file;
  if (id_file.size() < kIdSuffixLength) return fail("Error in AHA File");
  const std::optional<std::string> id_found = FindInput(id_path);
  if (!id_found) return fail("Error in AHA File");

  // The records and the names.
  TPatientData patient(doc.GetClock());
  TRecordingData recording(doc.GetClock());
  const std::string stem = fs::path(id_file).stem().string();
  const size_t characters = CharacterCount(stem);
  patient.surname = FirstCharacters(stem, characters >= 2 ? characters - 2 : 0);
  recording.identity_text = "AHA";
  if (const std::optional<platform::LocalDateTime> start = ModificationTime(*id_found)) {
    recording.start_date = document::OleDateOnly(*start);
    recording.start_time = document::OleTimeOnly(*start);
  }
  std::string base = patient.surname + " " + document::FormatOleDateTime(recording.start_date, "%d.%m.%Y") +
                     " " + document::FormatOleDateTime(recording.start_time, "%H:%M") + " -----";
  std::replace(base.begin(), base.end(), '.', '-');
  std::replace(base.begin(), base.end(), ':', '-');
  base = OneFileName(base);
  record_name = base + ".QRS";
  const std::string document_path = CZK470Doc::JoinPath(doc.GetDataDirectory(), record_name);
  const std::string khi_path = document::ReplaceLastThree(document_path, "KHI");
  const std::string kha_path = document::ReplaceLastThree(document_path, "KHA");

  // Every input is checked before anything is written.
  const std::string record_path = id_path.substr(0, id_path.size() - kIdSuffixLength);
  const std::optional<std::string> d1 = FindInput(record_path + "d1.dat");
  if (!d1) return fail("Error in AHA File " + record_path + "d1.dat");
  const std::optional<std::string> d2 = FindInput(record_path + "d2.dat");
  if (!d2) return fail("Error in AHA File " + record_path + "d2.dat");
  std::error_code ec1, ec2;
  const uintmax_t length1 = fs::file_size(*d1, ec1);
  const uintmax_t length2 = fs::file_size(*d2, ec2);
  if (ec1) return fail("Error in AHA File " + record_path + "d1.dat");
  if (ec2) return fail("Error in AHA File " + record_path + "d2.dat");
  if (length1 != length2) return fail("AHA Data Files differnt size");
  // An odd last byte is no sample.
  const uint64_t samples = length1 / 2;
  if (samples < kMinAhaSamples || samples > UINT32_MAX) return fail("Error in AHA File");

  AhaAnnotations annotations;
  {
    const std::optional<std::string> an = FindInput(record_path + "an.dat");
    if (!an) return fail("Error opening ANN File");
    std::ifstream in(*an, std::ios::binary);
    try {
      annotations = ReadAhaAnnotations(in);
    } catch (const platform::FormatError&) {
      return fail("Error opening ANN File");
    }
    if (in.bad()) return fail("Error opening ANN File");
  }

  if (!overwrite_all && ExistingDocument(document_path) && !AskOverwrite(record_name))
    return fail("Did not overwrite file - " + record_name);

  // The files go beside their targets first; an existing spelling of a name is kept.
  std::unique_ptr<OutputFile> khi, kha, qrs;
  try {
    khi = std::make_unique<OutputFile>(document::ExistingFile(khi_path).value_or(khi_path));
  } catch (const platform::IoError&) {
    return fail("Error writing KHI File");
  }
  try {
    kha = std::make_unique<OutputFile>(document::ExistingFile(kha_path).value_or(kha_path));
  } catch (const platform::IoError&) {
    return fail("Error writing KHA File");
  }
  try {
    qrs = std::make_unique<OutputFile>(document::ExistingFile(document_path).value_or(document_path));
  } catch (const platform::IoError&) {
    return fail("Error Writing QRS File");
  }

  TSignalExchangeFile header;
  header.duration = static_cast<uint32_t>(samples);
  header.rate = static_cast<uint32_t>(std::max(rate_hz, 0));
  header.channel_count = kAhaChannels;
  header.bits_per_sample = 16;
  header.lsb = lsb_uv;
  header.channel_names[0] = "d1";
  header.channel_names[1] = "d2";
  header.display_count = kAhaChannels;
  header.display_map[0] = 0;
  header.display_map[1] = 1;
  {
    std::ostringstream out;
    if (!header.WriteHeader(out)) return fail("Error writing KHI - Header");
    try {
      khi->Writer().Write(Bytes(out.str()));
    } catch (const platform::IoError&) {
      return fail("Error writing KHI - Header");
    }
  }
  {
    ProgressScope scope(progress, fs::path(khi_path).filename().string());
    std::ifstream channel1(*d1, std::ios::binary);
    std::ifstream channel2(*d2, std::ios::binary);
    if (!CopyFrames(channel1, channel2, samples, khi->Writer(), progress))
      return fail("Error writing KHI Data Files");
  }

  {
    TAnnotationExchangeFile kha_header;
    kha_header.record_count = static_cast<uint32_t>(annotations.codes.size());
    std::ostringstream out;
    if (!kha_header.WriteHeader(out)) return fail("Error writing Header to KHA File");
    if (!kha_header.WriteRecords(out, static_cast<int>(annotations.codes.size()), annotations.codes,
                                 annotations.times, annotations.aux))
      return fail("Error writing Annotations to KHA File");
    try {
      kha->Writer().Write(Bytes(out.str()));
    } catch (const platform::IoError&) {
      return fail("Error writing Annotations to KHA File");
    }
  }

  try {
    qrs->Writer().Write(StoreNewRecording(patient, recording, doc.GetHost().GetFileFormatVersion()));
  } catch (const platform::IoError&) {
    return fail("Error Writing QRS File");
  }

  // The document last: a recording that is there has its signal and annotations.
  try {
    khi->Commit();
  } catch (const platform::IoError&) {
    return fail("Error writing KHI File");
  }
  try {
    kha->Commit();
  } catch (const platform::IoError&) {
    return fail("Error writing KHA File");
  }
  try {
    qrs->Commit();
  } catch (const platform::IoError&) {
    return fail("Error Writing QRS File");
  }
  khi->Keep();
  kha->Keep();
  qrs->Keep();
  return 1;
}

bool ImportKEKGFile(CZK470Doc& doc, const std::string& path, bool overwrite_all, std::string& error) {
  error.clear();
  TPatientData patient(doc.GetClock());
  const TRecordingData recording(doc.GetClock());
  patient.surname = FirstCharacters(fs::path(path).stem().string(), kKekgSurnameCharacters);
  const std::string document_path = document::ReplaceLastThree(path, "QRS");
  // A file chosen as a signal file is never replaced by the document made for it.
  if (document::LastThreeUpper(path) == "QRS") {
    error = "Error Writing QRS File";
    return false;
  }
  if (!overwrite_all && ExistingDocument(document_path) && !AskOverwrite(document_path)) {
    error = "Did not overwrite file - " + document_path;
    return false;
  }
  try {
    platform::WriteFileAtomic(document::ExistingFile(document_path).value_or(document_path),
                              StoreNewRecording(patient, recording, doc.GetHost().GetFileFormatVersion()));
  } catch (const platform::IoError&) {
    error = "Error Writing QRS File";
    return false;
  }
  return true;
}

}  // namespace tools
