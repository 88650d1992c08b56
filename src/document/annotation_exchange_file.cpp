#include "document/annotation_exchange_file.h"

#include <array>
#include <cmath>
#include <cstring>
#include <istream>
#include <ostream>
#include <vector>

#include "document/beat_class.h"
#include "document/qrs_complex.h"
#include "document/qrs_list.h"
#include "platform/archive.h"

namespace {

constexpr char kMagic[] = "ZK470KHA";

bool SeekRecords(std::ostream& out) {
  out.seekp(TAnnotationExchangeFile::kHeaderBytes);
  return out && out.tellp() == std::streampos(TAnnotationExchangeFile::kHeaderBytes);
}

bool PutRecord(std::ostream& out, int32_t code, int32_t time, int32_t aux) {
  uint8_t record[TAnnotationExchangeFile::kRecordBytes];
  platform::StoreLE32(record, static_cast<uint32_t>(code));
  platform::StoreLE32(record + 4, static_cast<uint32_t>(time));
  platform::StoreLE32(record + 8, static_cast<uint32_t>(aux));
  out.write(reinterpret_cast<const char*>(record), sizeof record);
  return static_cast<bool>(out);
}

int32_t TruncateToInt32(double value) {
  if (!(value > -2147483648.0 && value < 2147483648.0)) return value > 0 ? INT32_MAX : INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

int TAnnotationExchangeFile::CodeFromBeatClass(int beat_class) {
  switch (beat_class) {
    case kClassNormal:
      return 1;
    case kClassArtefact:
      return 16;
    case kClassSVES:
      return 8;
    case kClassVES:
      return 5;
    case kClassRonT:
      return 41;
    case kClassPacedBeat:
      return 12;
    default:
      return 0;
  }
}

int TAnnotationExchangeFile::BeatClassFromCode(int code) {
  switch (code) {
    case 1:
      return kClassNormal;
    case 4:
    case 8:
    case 9:
      return kClassSVES;
    case 5:
    case 6:
      return kClassVES;
    case 12:
      return kClassPacedBeat;
    case 16:
      return kClassArtefact;
    case 41:
      return kClassRonT;
    default:
      return 39;
  }
}

bool TAnnotationExchangeFile::ReadHeader(std::istream& in) {
  std::array<char, kHeaderBytes> h{};
  in.clear();
  in.seekg(0);
  if (!in.read(h.data(), h.size())) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(h.data());
  if (std::memcmp(h.data(), kMagic, 8) != 0 || platform::LoadLE32(bytes + 8) != 1) return false;
  const uint32_t count = platform::LoadLE32(bytes + 12);
  if (count == 0) return false;
  version = 1;
  record_count = count;
  valid_ = true;
  return true;
}

bool TAnnotationExchangeFile::WriteHeader(std::ostream& out) {
  version = 1;
  std::array<uint8_t, kHeaderBytes> h{};
  std::memcpy(h.data(), kMagic, 8);
  platform::StoreLE32(h.data() + 8, 1);
  platform::StoreLE32(h.data() + 12, record_count);
  out.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
  return static_cast<bool>(out);
}

bool TAnnotationExchangeFile::WriteRecords(std::ostream& out, int count, std::span<const int32_t> codes,
                                           std::span<const int32_t> times, std::span<const int32_t> aux) {
  if (count < 0 || static_cast<size_t>(count) > codes.size() || static_cast<size_t>(count) > times.size() ||
      static_cast<size_t>(count) > aux.size())
    return false;
  if (!SeekRecords(out)) return false;
  for (int i = 0; i < count; ++i)
    if (!PutRecord(out, codes[i], times[i], aux[i])) return false;
  return true;
}

bool TAnnotationExchangeFile::WriteBeatList(std::ostream& out, const TQRSList& beats, double rate) {
  const int r = rate >= 1.0 && rate < 2147483648.0 ? static_cast<int>(rate) : 0;
  if (r == 0 || !SeekRecords(out)) return false;
  for (int i = 0; i < beats.GetSize(); ++i) {
    const TQRSComplex beat = beats.GetAt(i);
    const int32_t time = TruncateToInt32(beat.GetPosition() * 1000.0 / r);
    if (!PutRecord(out, CodeFromBeatClass(beat.GetClass()), time, i)) return false;
  }
  return true;
}

bool TAnnotationExchangeFile::ReadBeatList(std::istream& in, TQRSList& beats, double rate) {
  const int r = rate >= 1.0 && rate < 2147483648.0 ? static_cast<int>(rate) : 0;
  if (r == 0 || !valid_ || record_count == 0) return false;
  in.clear();
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  if (length < kHeaderBytes ||
      (length - kHeaderBytes) / kRecordBytes < static_cast<std::streamoff>(record_count))
    return false;
  in.seekg(kHeaderBytes);
  if (!in || in.tellg() != std::streampos(kHeaderBytes)) return false;
  std::vector<uint8_t> records(static_cast<size_t>(record_count) * kRecordBytes);
  if (!in.read(reinterpret_cast<char*>(records.data()), static_cast<std::streamsize>(records.size())))
    return false;
  for (uint32_t i = 0; i < record_count; ++i) {
    const uint8_t* rec = records.data() + static_cast<size_t>(i) * kRecordBytes;
    const auto code = static_cast<int32_t>(platform::LoadLE32(rec));
    const auto time = static_cast<int32_t>(platform::LoadLE32(rec + 4));
    const int32_t position = TruncateToInt32(time * static_cast<double>(r) * 0.001);
    beats.Append(TQRSComplex(position, static_cast<uint8_t>(BeatClassFromCode(code)), kPriorNeverEdited));
  }
  return true;
}
