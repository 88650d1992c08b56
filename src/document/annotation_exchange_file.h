#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>

class TQRSList;

// The header and records of a "KHA" exchange file: beat annotations beside a "KHI" signal, as a
// 4096-byte header then 12-byte records (MIT-BIH annotation code, time in milliseconds, an
// auxiliary value no reader interprets). All numbers little-endian.
class TAnnotationExchangeFile {
 public:
  static constexpr int kHeaderBytes = 4096;
  static constexpr int kRecordBytes = 12;

  // Requires at least 4096 bytes, magic "ZK470KHA", version 1 and a record count other than 0;
  // then stores the count and sets the valid flag. Reads from the stream's start.
  [[nodiscard]] bool ReadHeader(std::istream& in);
  // Sets the version to 1 and writes a zero-filled header with the magic and the record count at
  // the stream's position.
  [[nodiscard]] bool WriteHeader(std::ostream& out);
  // Writes count records from the three arrays at offset 4096.
  [[nodiscard]] bool WriteRecords(std::ostream& out, int count, std::span<const int32_t> codes,
                                  std::span<const int32_t> times, std::span<const int32_t> aux);
  // One record per beat at offset 4096: the class's annotation code, the time in milliseconds at
  // the given sample rate (truncated), the beat's index. False for a rate below 1 Hz.
  [[nodiscard]] bool WriteBeatList(std::ostream& out, const TQRSList& beats, double rate);
  // Appends one never-edited beat per record after a valid header; nothing is appended when a
  // record cannot be read or the count exceeds the file.
  [[nodiscard]] bool ReadBeatList(std::istream& in, TQRSList& beats, double rate);

  static int CodeFromBeatClass(int beat_class);
  static int BeatClassFromCode(int code);

  bool IsValid() const { return valid_; }

  int32_t version = 0;
  uint32_t record_count = 0;

 private:
  bool valid_ = false;
};
