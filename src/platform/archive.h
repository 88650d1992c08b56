#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A date-time as the framework stores it: a status (0 valid, 1 invalid, 2 null) and the day number
// counted from 30 December 1899, the time of day as its fraction.
struct OleDateTime {
  int32_t status = 0;
  double days = 0.0;

  bool operator==(const OleDateTime&) const = default;
};

// Reads the framework's archive encoding from a byte buffer that the caller keeps alive.
// Every read is checked against what is left: a short stream or an impossible length raises
// FormatError naming the archive and the offset, never an overrun or a huge allocation.
class ArchiveReader {
 public:
  ArchiveReader(std::span<const uint8_t> bytes, std::string name);

  uint8_t ReadUInt8();
  int16_t ReadInt16();
  uint16_t ReadUInt16();
  int32_t ReadInt32();
  uint32_t ReadUInt32();
  double ReadDouble();
  // Length-prefixed single-byte text, converted from cp1252 to UTF-8.
  std::string ReadString();
  // The same text without conversion.
  std::string ReadRawString();
  // An element count: 16 bits, or 0xFFFF then 32 bits.
  uint32_t ReadCount();
  OleDateTime ReadDateTime();
  // Raw packed bytes (records written as they lie in memory).
  std::span<const uint8_t> ReadBytes(size_t count);
  void Skip(size_t count);

  size_t Position() const { return pos_; }
  size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ == bytes_.size(); }
  const std::string& Name() const { return name_; }
  // "name, offset N" for error messages.
  std::string Where() const;
  // Names the member being read, so errors say which part of the file failed.
  void SetContext(std::string context) { context_ = std::move(context); }

 private:
  const uint8_t* Take(size_t count);

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  std::string name_;
  std::string context_;
};

// Writes the framework's archive encoding into a growing buffer.
class ArchiveWriter {
 public:
  void WriteUInt8(uint8_t value);
  void WriteInt16(int16_t value);
  void WriteUInt16(uint16_t value);
  void WriteInt32(int32_t value);
  void WriteUInt32(uint32_t value);
  void WriteDouble(double value);
  // UTF-8 text written as cp1252 with the length prefix.
  void WriteString(std::string_view utf8);
  void WriteRawString(std::string_view bytes);
  void WriteCount(uint32_t count);
  void WriteDateTime(const OleDateTime& value);
  void WriteBytes(std::span<const uint8_t> bytes);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

// Little-endian helpers for byte layouts outside archives.
inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Reads a whole regular file of at most max_bytes. Throws IoError when it cannot be opened or read,
// when it is no regular file (a pipe or device would block or never end) and when it is longer
// than max_bytes or than memory holds; nothing is allocated for a file that is refused.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path,
                                   uint64_t max_bytes = std::numeric_limits<uint64_t>::max());

// Writes a whole file through an AtomicFileWriter: the old file is never truncated first; a temp
// file beside it is written, flushed to disk and renamed over the target. A symbolic link is
// written through: its target is replaced and the link stays. An existing file keeps its
// permission bits, owner and group, and a file that may not be written (read-only, or no regular
// file) is refused. On failure the old file is untouched and the temp file is removed; throws
// IoError.
void WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace platform
