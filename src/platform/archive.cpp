#include "platform/archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/atomic_file_writer.h"
#include "platform/cp1252.h"
#include "platform/io_error.h"

namespace platform {

ArchiveReader::ArchiveReader(std::span<const uint8_t> bytes, std::string name)
    : bytes_(bytes), name_(std::move(name)) {}

std::string ArchiveReader::Where() const {
  std::string where = name_;
  if (!context_.empty()) where += ", " + context_;
  return where + ", offset " + std::to_string(pos_);
}

const uint8_t* ArchiveReader::Take(size_t count) {
  if (count > Remaining())
    throw FormatError(Where(), "needs " + std::to_string(count) + " bytes, " +
                                   std::to_string(Remaining()) + " left");
  const uint8_t* p = bytes_.data() + pos_;
  pos_ += count;
  return p;
}

uint8_t ArchiveReader::ReadUInt8() { return *Take(1); }
int16_t ArchiveReader::ReadInt16() { return static_cast<int16_t>(LoadLE16(Take(2))); }
uint16_t ArchiveReader::ReadUInt16() { return LoadLE16(Take(2)); }
int32_t ArchiveReader::ReadInt32() { return static_cast<int32_t>(LoadLE32(Take(4))); }
uint32_t ArchiveReader::ReadUInt32() { return LoadLE32(Take(4)); }

double ArchiveReader::ReadDouble() {
  const uint8_t* p = Take(8);
  const uint64_t bits = static_cast<uint64_t>(LoadLE32(p)) | (static_cast<uint64_t>(LoadLE32(p + 4)) << 32);
  return std::bit_cast<double>(bits);
}

std::string ArchiveReader::ReadRawString() {
  const size_t start = pos_;
  uint32_t length = ReadUInt8();
  if (length == 0xFF) {
    length = ReadUInt16();
    if (length == 0xFFFF) length = ReadUInt32();
  }
  if (length > Remaining()) {
    pos_ = start;
    throw FormatError(Where(), "text length " + std::to_string(length) + " exceeds the stream");
  }
  const uint8_t* p = Take(length);
  return std::string(reinterpret_cast<const char*>(p), length);
}

std::string ArchiveReader::ReadString() { return Cp1252ToUtf8(ReadRawString()); }

uint32_t ArchiveReader::ReadCount() {
  const uint16_t count = ReadUInt16();
  if (count != 0xFFFF) return count;
  return ReadUInt32();
}

OleDateTime ArchiveReader::ReadDateTime() {
  OleDateTime value;
  value.status = ReadInt32();
  value.days = ReadDouble();
  return value;
}

std::span<const uint8_t> ArchiveReader::ReadBytes(size_t count) { return {Take(count), count}; }

void ArchiveReader::Skip(size_t count) { Take(count); }

void ArchiveWriter::WriteUInt8(uint8_t value) { bytes_.push_back(value); }
void ArchiveWriter::WriteInt16(int16_t value) { WriteUInt16(static_cast<uint16_t>(value)); }

void ArchiveWriter::WriteUInt16(uint16_t value) {
  uint8_t b[2];
  StoreLE16(b, value);
  bytes_.insert(bytes_.end(), b, b + 2);
}

void ArchiveWriter::WriteInt32(int32_t value) { WriteUInt32(static_cast<uint32_t>(value)); }

void ArchiveWriter::WriteUInt32(uint32_t value) {
  uint8_t b[4];
  StoreLE32(b, value);
  bytes_.insert(bytes_.end(), b, b + 4);
}

void ArchiveWriter::WriteDouble(double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  WriteUInt32(static_cast<uint32_t>(bits));
  WriteUInt32(static_cast<uint32_t>(bits >> 32));
}

void ArchiveWriter::WriteRawString(std::string_view text) {
  const size_t length = text.size();
  if (length < 0xFF) {
    WriteUInt8(static_cast<uint8_t>(length));
  } else if (length < 0xFFFE) {
    WriteUInt8(0xFF);
    WriteUInt16(static_cast<uint16_t>(length));
  } else {
    WriteUInt8(0xFF);
    WriteUInt16(0xFFFF);
    WriteUInt32(static_cast<uint32_t>(length));
  }
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ArchiveWriter::WriteString(std::string_view utf8) { WriteRawString(Utf8ToCp1252(utf8)); }

void ArchiveWriter::WriteCount(uint32_t count) {
  if (count < 0xFFFF) {
    WriteUInt16(static_cast<uint16_t>(count));
  } else {
    WriteUInt16(0xFFFF);
    WriteUInt32(count);
  }
}

void ArchiveWriter::WriteDateTime(const OleDateTime& value) {
  WriteInt32(value.status);
  WriteDouble(value.days);
}

void ArchiveWriter::WriteBytes(std::span<const uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path, uint64_t max_bytes) {
  // Without waiting: a pipe in place of the file would block the open until a writer came.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw IoError(path.string(), std::string("cannot open for reading: ") + std::strerror(errno));
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    throw IoError(path.string(), std::string("cannot tell the file size: ") + std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw IoError(path.string(), "not a regular file");
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size > max_bytes)
    throw IoError(path.string(), "the file is " + std::to_string(size) +
                                     " bytes long; this kind holds at most " + std::to_string(max_bytes));
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw IoError(path.string(),
                  "the file is " + std::to_string(size) + " bytes long, more than memory holds");
  } catch (const std::length_error&) {
    throw IoError(path.string(),
                  "the file is " + std::to_string(size) + " bytes long, more than memory holds");
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw IoError(path.string(), std::string("read failed: ") + std::strerror(errno));
    }
    if (n == 0) break;  // cut while we read: what is there
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

void WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  AtomicFileWriter writer(path);
  writer.Write(bytes);
  writer.Commit();
}

}  // namespace platform
