#include "tools/validation/reference_annotations.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "document/beat_class.h"
#include "document/qrs_list.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace tools {
namespace {

constexpr size_t kRecordBytes = 8;
constexpr std::array<uint8_t, kRecordBytes> kEndRecord = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF};
// A 48-hour record holds well under a million beats (8 MB); anything far beyond is no annotation file.
constexpr uint64_t kMaxFileBytes = uint64_t{256} << 20;

constexpr std::array<const char*, 11> kDatabasePrefixes = {"AH", "ES", "MI", "CU", "NS", "ST",
                                                           "VF", "AF", "SV", "CO", "SA"};

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsEndRecord(const uint8_t* record) {
  return record[0] == 0x00 && record[1] == 0xFF && record[2] == 0xFF && record[3] == 0xFF;
}

bool ValidRate(double rate) { return std::isfinite(rate) && rate > 0.0; }

}  // namespace

uint8_t RefAnnotationClass(char mnemonic) {
  switch (mnemonic) {
    case 'N':
    case 'L':
    case 'R':
    case 'B':
      return kClassNormal;
    case 'A':
    case 'a':
    case 'J':
    case 'S':
    case 'e':
    case 'n':
      return kClassSVES;
    case 'V':
    case 'F':
      return kClassVES;
    case 'r':
      return kClassRonT;
    case '/':
    case 'f':
      return kClassPacedBeat;
    case '|':
      return kClassArtefact;
    default:
      return kClassUndefined;
  }
}

char RefAnnotationMnemonic(int beat_class) {
  switch (beat_class) {
    case kClassNormal:
      return 'N';
    case kClassArtefact:
      return '|';
    case kClassSVES:
      return 'A';
    case kClassVES:
      return 'V';
    case kClassRonT:
      return 'r';
    case kClassPacedBeat:
      return '/';
    default:
      return 'Q';
  }
}

std::string GetRefAnnotationFileName(std::string_view record_path) {
  std::filesystem::path path{std::string(record_path)};
  const std::string record = path.stem().string();
  std::string extension;
  if (record.size() < 2) {
    extension = "VQN";
  } else {
    const std::string upper = {UpperAscii(record[0]), UpperAscii(record[1])};
    bool database = false;
    for (const char* prefix : kDatabasePrefixes) database = database || upper == prefix;
    extension = database ? upper + "N" : record.substr(0, 2);
  }
  return path.replace_filename(record + "." + extension).string();
}

bool ReadRefAnnotations(const std::string& file_name, TQRSList& beats, double rate) {
  if (!ValidRate(rate)) return false;
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::ReadFileBytes(file_name, kMaxFileBytes);
  } catch (const platform::IoError&) {
    return false;
  }
  if (bytes.size() <= kRecordBytes) return false;

  std::vector<TQRSComplex> read;
  const size_t count = bytes.size() / kRecordBytes;
  int32_t last_time = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* record = bytes.data() + i * kRecordBytes;
    if (IsEndRecord(record)) break;
    const int32_t time_ms = static_cast<int32_t>((uint32_t{record[0]} << 24) | (uint32_t{record[1]} << 16) |
                                                 (uint32_t{record[2]} << 8) | uint32_t{record[3]});
    // The beat list must stay in ascending order; a file that breaks it is not a beat list.
    if (time_ms < last_time) return false;
    last_time = time_ms;
    // Divided last: the product of whole numbers is exact, so whole positions come back whole.
    const double position = std::trunc(static_cast<double>(time_ms) * rate / 1000.0);
    if (position > std::numeric_limits<int32_t>::max()) return false;
    read.emplace_back(static_cast<int32_t>(position), RefAnnotationClass(static_cast<char>(record[4])),
                      kPriorNeverEdited);
  }
  for (const TQRSComplex& beat : read) beats.Append(beat);
  return true;
}

bool WriteRefAnnotations(const std::string& file_name, const TQRSList& beats, double rate) {
  if (beats.GetSize() == 0 || !ValidRate(rate)) return false;
  std::vector<uint8_t> bytes;
  bytes.reserve((static_cast<size_t>(beats.GetSize()) + 2) * kRecordBytes);
  for (int i = 0; i < beats.GetSize(); ++i) {
    const TQRSComplex& beat = *beats.ElementAt(i);
    // Multiplied first: position / rate would lose a millisecond for many positions (1001 at 125 Hz).
    const double time_ms = std::trunc(static_cast<double>(beat.GetPosition()) * 1000.0 / rate);
    if (!(time_ms >= 0.0 && time_ms <= std::numeric_limits<int32_t>::max())) return false;
    const auto time = static_cast<uint32_t>(time_ms);
    // The record number wraps at 16 bits; readers ignore it.
    const auto number = static_cast<uint16_t>(i + 1);
    const uint8_t record[kRecordBytes] = {static_cast<uint8_t>(time >> 24),
                                          static_cast<uint8_t>(time >> 16),
                                          static_cast<uint8_t>(time >> 8),
                                          static_cast<uint8_t>(time),
                                          static_cast<uint8_t>(RefAnnotationMnemonic(beat.GetClass())),
                                          0,
                                          static_cast<uint8_t>(number >> 8),
                                          static_cast<uint8_t>(number)};
    bytes.insert(bytes.end(), record, record + kRecordBytes);
  }
  for (int i = 0; i < 2; ++i) bytes.insert(bytes.end(), kEndRecord.begin(), kEndRecord.end());
  try {
    platform::WriteFileAtomic(file_name, bytes);
  } catch (const platform::IoError&) {
    return false;
  }
  return true;
}

}  // namespace tools
