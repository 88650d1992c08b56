#include "tools/raw_file_checker.h"

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <system_error>

#include "document/zk470_doc.h"
#include "platform/io_error.h"
#include "platform/locale.h"
#include "recorder/raw/raw_file_header.h"
#include "recorder/recorder_blocks.h"
#include "recorder/service/service_test_data.h"
#include "tools/run_family.h"
#include "win/prompt.h"

namespace tools {
namespace {

using recorder::kMaxRawFileBlockSize;
using recorder::kRawFlexEntries;
using recorder::kRawHeaderSize;
using recorder::kRawVoiceHeaderSize;

[[gnu::format(printf, 1, 2)]] std::string Printf(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// Both forms of a number, as every header line shows it; labels come padded to one column.
std::string Both(const char* label, uint64_t value) {
  return Printf("%s : %llu <=> 0x%llx", label, static_cast<unsigned long long>(value),
                static_cast<unsigned long long>(value));
}

// The check's state: the lines so far and whether one of them was an error.
class Report {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Error(std::string line) {
    lines_.push_back(std::move(line));
    ok_ = false;
  }
  bool Ok() const { return ok_; }
  std::vector<std::string> Finish() {
    Add(ok_ ? "No error found" : "Error found");
    return std::move(lines_);
  }

 private:
  std::vector<std::string> lines_;
  bool ok_ = true;
};

// The image read through one 512-byte buffer; no block larger than that is ever read.
class ImageReader {
 public:
  explicit ImageReader(const std::string& path) : in_(path, std::ios::binary) {}
  bool IsOpen() const { return in_.is_open(); }

  // Fails when the stream errs or lands elsewhere than asked.
  bool Seek(uint32_t address) {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(address));
    return in_.good() && in_.tellg() == static_cast<std::streampos>(address);
  }
  // size is at most the buffer's; fewer bytes arriving is a failure.
  std::optional<std::span<const uint8_t>> Read(uint32_t size) {
    if (size > buffer_.size()) return std::nullopt;
    in_.read(reinterpret_cast<char*>(buffer_.data()), static_cast<std::streamsize>(size));
    if (static_cast<uint64_t>(in_.gcount()) != size) return std::nullopt;
    return std::span<const uint8_t>(buffer_.data(), size);
  }
  std::span<const uint8_t, kRawHeaderSize> Buffer() const { return buffer_; }

 private:
  std::ifstream in_;
  std::array<uint8_t, kRawHeaderSize> buffer_{};
};

static_assert(kMaxRawFileBlockSize == kRawHeaderSize, "one buffer serves for the header and every block");

bool Seek(ImageReader& image, uint32_t address, Report& report) {
  if (image.Seek(address)) return true;
  report.Error(Printf("Error: Seek failed %u <=> 0x%x", address, address));
  return false;
}

std::optional<std::span<const uint8_t>> Read(ImageReader& image, uint32_t size, const char* where,
                                             Report& report) {
  std::optional<std::span<const uint8_t>> bytes = image.Read(size);
  if (!bytes) report.Error(std::string("Error: Reading Rawfile 512 Bytes at offset ") + where);
  return bytes;
}

void ListHeader(const recorder::TRawFileHeader& h, Report& report) {
  report.Add(Printf("RawPatBlockAddr\t : %u <=> 0x%x", h.RawPatBlockAddr, h.RawPatBlockAddr));
  report.Add(Both("RawPatBlockSize ", h.RawPatBlockSize));
  report.Add(Both("RawRecBlockAddr ", h.RawRecBlockAddr));
  report.Add(Both("RawRecBlockSize ", h.RawRecBlockSize));
  report.Add(Both("RawEcgBlockAddr ", h.RawEcgBlockAddr));
  report.Add(Both("RawEcgBlockSize ", h.RawEcgBlockSize));
  report.Add(Both("RawVoicBlockAddr", h.RawVoicBlockAddr));
  report.Add(Both("RawVoicBlockSize", 0));
  for (int i = 0; i < kRawFlexEntries; ++i) {
    report.Add(Printf("RawFlexBlockAddr[%d] : %u <=> 0x%x", i, h.RawFlexBlockAddr[i], h.RawFlexBlockAddr[i]));
    report.Add(Printf("RawFlexBlockSize[%d] : %u <=> 0x%x", i, h.RawFlexBlockSize[i], h.RawFlexBlockSize[i]));
  }
  report.Add(Both("RawFileVersion", h.RawFileVersion));
  report.Add(" ");
}

// The block table against the file size and the block limits; the first failing test ends them.
// Ends are summed in 64 bits, so an address and a size beyond 2^32 lie past the end.
void TestBlockTable(const recorder::TRawFileHeader& h, uint64_t size, Report& report) {
  const auto end = [](uint32_t address, uint32_t length) { return uint64_t{address} + length; };
  const struct {
    bool fails;
    const char* line;
  } tests[] = {
      {size < h.RawPatBlockAddr, "Error: RawFileSize < RawPatBlockAddr"},
      {size < end(h.RawPatBlockAddr, h.RawPatBlockSize),
       "Error: RawFileSize < RawPatBlockAddr + RawPatBlockSize"},
      {size < h.RawRecBlockAddr, "Error: RawFileSize < RawRecBlockAddr"},
      {size < end(h.RawRecBlockAddr, h.RawRecBlockSize),
       "Error: RawFileSize < RawRecBlockAddr + RawRecBlockSize"},
      {size < h.RawEcgBlockAddr, "Error: RawFileSize < RawEcgBlockAddr"},
      {size < end(h.RawEcgBlockAddr, h.RawEcgBlockSize),
       "Error: RawFileSize < RawEcgBlockAddr + RawEcgBlockSize"},
      {size < h.RawVoicBlockAddr, "Error: RawFileSize < RawVoicBlockAddr"},
      {h.RawPatBlockSize > kMaxRawFileBlockSize, "Error: MaxRawFileBlockSize < RawPatBlockSize"},
      {h.RawRecBlockSize > kMaxRawFileBlockSize, "Error: MaxRawFileBlockSize < RawRecBlockSize"},
      {h.RawPatBlockSize < TRecorderBlocks::GetMinPatientBlockSize(),
       "Error: MinPatBlockSize > RawPatBlockSize"},
      {h.RawRecBlockSize < TRecorderBlocks::GetMinRecordingBlockSize(),
       "Error: MinRecBlockSize > RawRecBlockSize"},
  };
  for (const auto& test : tests) {
    if (test.fails) {
      report.Error(test.line);
      return;
    }
  }
  // Each pass lists every failing entry; the next runs only when this one found none.
  for (int i = 0; i < kRawFlexEntries; ++i) {
    if (size < h.RawFlexBlockAddr[i]) report.Error(Printf("Error: RawFileSize < RawFlexBlockAddr[%d]", i));
  }
  if (!report.Ok()) return;
  for (int i = 0; i < kRawFlexEntries; ++i) {
    if (size < end(h.RawFlexBlockAddr[i], h.RawFlexBlockSize[i]))
      report.Error(Printf("Error: RawFileSize < RawFlexBlockAddr[%d] + RawFlexBlockSize[%d]", i, i));
  }
  if (!report.Ok()) return;
  for (int i = 0; i < kRawFlexEntries; ++i) {
    if (h.RawFlexBlockSize[i] > kMaxRawFileBlockSize)
      report.Error(Printf("Error: MaxRawFileBlockSize < RawFlexBlockSize[%d]", i));
  }
}

// False when reading stopped at a seek or read failure.
bool CheckVoiceBlock(ImageReader& image, const recorder::TRawFileHeader& h, uint64_t size, Report& report) {
  if (!Seek(image, h.RawVoicBlockAddr, report)) return false;
  if (!image.Read(kRawHeaderSize)) {
    report.Error("Error: Reading Rawfile 512 BYtes at offset RawVoicBlockAddr");
    return false;
  }
  const auto header_bytes = image.Buffer().first<kRawVoiceHeaderSize>();
  const recorder::RawVoiceArea area = recorder::VoiceAreaOf(header_bytes);
  if (area.present && area.RawVoicBlockSize != 0) {
    report.Add("Voice Block found");
    report.Add(Both("RawVoicBlockSize", area.RawVoicBlockSize));
    if (size < uint64_t{h.RawVoicBlockAddr} + area.RawVoicBlockSize) {
      report.Error("Error: RawFileSize < RawVoicBlockAddr + RawVoicBlockSize");
      return false;
    }
    const recorder::TRawVoiceHeader voice = recorder::TRawVoiceHeader::Unpack(header_bytes);
    report.Add(Printf("VoicFormat       : %u", unsigned{voice.VoicFormat}));
    report.Add(Printf("VoicFreq         : %u", unsigned{voice.VoicFreq}));
    report.Add(Printf("VoicBitsStorage  : %u", unsigned{voice.VoicBitsStorage}));
    report.Add(Printf("VoicBitsSnd      : %u", unsigned{voice.VoicBitsSnd}));
    report.Add(Printf("VoicDay          : %u", unsigned{voice.VoicDay}));
    report.Add(Printf("VoicSec          : %u", voice.VoicSec));
    report.Add(Printf("VoicAverage      : %u", unsigned{voice.VoicAverage}));
    report.Add(Printf("VoicNSample      : %u", voice.VoicNSample));
  } else {
    report.Add("No Voice Block found");
  }
  report.Add(" ");
  return true;
}

const char* YesNo(int32_t flag) { return flag != 0 ? "Yes" : "No"; }

void ListPatient(const TPatientBlockFields& p, const platform::Locale& locale, Report& report) {
  const char* sex = p.sex == 1 ? "female" : p.sex == 2 ? "male" : "none";
  report.Add("Patient - PatNr       : " + p.pat_nr);
  report.Add("Patient - LastName    : " + p.last_name);
  report.Add("Patient - FirstName   : " + p.first_name);
  report.Add("Patient - DateOfBirth : " + recorder::ServiceDateText(p.date_of_birth, locale));
  report.Add(Printf("Patient - Age         : %d", p.age));
  report.Add(Printf("Patient - Race        : %d", p.race));
  report.Add(Printf("Patient - Sex         : %d <=> %s", p.sex, sex));
  report.Add(Printf("Patient - Height      : %.1f", p.height));
  report.Add(Printf("Patient - Weight      : %.1f", p.weight));
  report.Add(std::string("Patient - PaceMaker   : ") + YesNo(p.pace_maker));
  report.Add("Patient - PaceMakerType    : " + p.pace_maker_type);
  report.Add("Patient - PaceMakerActDate : " + recorder::ServiceDateText(p.pace_maker_act_date, locale));
  report.Add(" ");
}

void ListRecording(const TRecordingBlockFields& r, const platform::Locale& locale, Report& report) {
  report.Add("Recording - RecordingDate      : " + recorder::ServiceDateText(r.recording_date, locale));
  report.Add("Recording - RecordingTime      : " + recorder::ServiceTimeText(r.recording_time, locale));
  report.Add(Printf("Recording - RecordingType      : %d", r.recording_type));
  report.Add("Recording - DevType            : " + r.dev_type);
  report.Add("Recording - DevVersion         : " + r.dev_version);
  report.Add(std::string("Recording - RecordingPaceMaker : ") + YesNo(r.recording_pace_maker));
  report.Add("Recording - RecordingMorning   : " + recorder::ServiceTimeText(r.recording_morning, locale));
  report.Add("Recording - RecordingEvening   : " + recorder::ServiceTimeText(r.recording_evening, locale));
  report.Add("Recording - DevSerial          : " + r.dev_serial);
  report.Add(" ");
}

// The patient, recording and address blocks; stops at the first seek or read failure.
void CheckRecordBlocks(ImageReader& image, const recorder::TRawFileHeader& h, const platform::Clock& clock,
                       const platform::Locale& locale, Report& report) {
  if (!Seek(image, h.RawPatBlockAddr, report)) return;
  const auto patient = Read(image, h.RawPatBlockSize, "RawPatBlockAddr", report);
  if (!patient) return;
  ListPatient(TRecorderBlocks::UnpackPatientBlock(*patient, clock), locale, report);
  if (!Seek(image, h.RawRecBlockAddr, report)) return;
  const auto recording_bytes = Read(image, h.RawRecBlockSize, "RawRecBlockAddr", report);
  if (!recording_bytes) return;
  const TRecordingBlockFields recording = TRecorderBlocks::UnpackRecordingBlock(*recording_bytes, clock);
  ListRecording(recording, locale, report);

  // A flex entry 0 not in use holds no address block, as the SD-card import reads it.
  if (!recorder::AddressBlockExists(h, recorder::DevVersionNumber(recording.dev_version))) return;
  if (!Seek(image, h.RawFlexBlockAddr[0], report)) return;
  const auto address_bytes = Read(image, h.RawFlexBlockSize[0], "RawFlexBlockAddr[0]", report);
  if (!address_bytes) return;
  if (h.RawFileVersion == TRecorderBlocks::kAddressFileVersion &&
      address_bytes->size() < TRecorderBlocks::GetMinAddressBlockSize()) {
    // Too short to hold the station field: listing it would show bytes of no block.
    report.Error("Error: MinAddrBlockSize > RawFlexBlockSize[0]");
    return;
  }
  const TAddressBlockFields address = TRecorderBlocks::UnpackAddressBlock(h.RawFileVersion, *address_bytes);
  report.Add("Patient - Address     : " + address.address);
  report.Add("Patient - Fon         : " + address.fon);
  report.Add("Patient - Station     : " + address.station);
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::vector<std::string> CheckRawFileLines(const std::string& path, const platform::Clock& clock,
                                           const platform::Locale& locale) {
  Report report;
  report.Add("File : " + path);
  report.Add(" ");
  std::error_code ec;
  uint64_t size = std::filesystem::file_size(path, ec);
  if (ec) size = 0;
  if (size == 0)
    report.Error("Error: Size of RAW File is 0");
  else
    report.Add(Printf("RawFileSize      : %llu <=> 0x%llx", static_cast<unsigned long long>(size),
                      static_cast<unsigned long long>(size)));
  if (!report.Ok()) return report.Finish();

  ImageReader image(path);
  if (!image.IsOpen()) {
    report.Error("Error: Opening RawFile");
    return report.Finish();
  }
  if (!image.Seek(0) || !image.Read(kRawHeaderSize)) {
    report.Error("Error: Reading RawFile 512 Bytes at offset 0");
    return report.Finish();
  }
  const recorder::TRawFileHeader header = recorder::TRawFileHeader::Unpack(image.Buffer());
  if (header.ident_code != recorder::kRawIdentCode) {
    report.Error("Error: RawFile not valid, wrong Ident code != 0x9002");
    return report.Finish();
  }
  ListHeader(header, report);
  TestBlockTable(header, size, report);
  if (!report.Ok()) return report.Finish();
  try {
    if (header.RawVoicBlockAddr != 0 && !CheckVoiceBlock(image, header, size, report)) return report.Finish();
    CheckRecordBlocks(image, header, clock, locale, report);
  } catch (const platform::IoError& e) {
    // The block conversions refuse what they cannot read; the report says so instead.
    report.Error(std::string("Error: ") + e.what());
  }
  return report.Finish();
}

void CheckRawFile(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  win::FileDialogRequest request;
  request.open = true;
  request.filter = "RAW Files (*.RAW)|*.RAW||";
  request.default_extension = "RAW";
  request.initial_folder = WithoutTrailingSlashes(doc->GetSDCardDirectory());
  const std::optional<std::string> path = win::CurrentPrompt().ChooseFile(request);
  if (!path) return;
  static const platform::SystemLocale locale;
  ShowResults(frame, "Check RAW - File - Results", CheckRawFileLines(*path, doc->GetClock(), locale), false);
}

}  // namespace tools
