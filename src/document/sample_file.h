#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// A sample file opened for reading by offset. The readers open it for each minute load and close
// it again, so nothing stays open between calls. Not copyable; one thread at a time.
class SampleFile {
 public:
  // Throws platform::IoError naming the path when the file cannot be opened or is no regular
  // file (never waits on a pipe or device).
  explicit SampleFile(std::string path);
  // For callers that report instead of throwing (the checkers): IsOpen() tells.
  static SampleFile TryOpen(std::string path);
  SampleFile(SampleFile&& other) noexcept;
  SampleFile& operator=(SampleFile&&) = delete;
  SampleFile(const SampleFile&) = delete;
  ~SampleFile();

  bool IsOpen() const { return fd_ >= 0; }
  // Length in bytes; throws IoError when it cannot be taken.
  uint64_t Size() const;
  // Reads up to bytes.size() bytes at the offset and returns how many were read: fewer only at
  // the end of the file. Throws IoError on a read error.
  size_t ReadAt(uint64_t offset, std::span<uint8_t> bytes) const;
  // Reads one little-endian 16-bit word; false when the file ends before it.
  bool ReadWord(uint64_t offset, uint16_t& word) const;

  const std::string& Path() const { return path_; }

 private:
  struct NoThrow {};
  SampleFile(std::string path, NoThrow);

  std::string path_;
  int fd_ = -1;
};
