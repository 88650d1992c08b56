#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace platform {

// Writes a file in pieces without ever truncating the old one first. The bytes go to a temp file
// beside the target (named after it with ".~" and eight hex digits, so that an open of the file
// can tell what an interrupted save left behind); Commit flushes it to disk and renames it over
// the target. A symbolic link is written through: its target is replaced and the link stays. An
// existing file keeps its permission bits, owner and group, and a file that may not be written
// (read-only, or no regular file) is refused when the writer is made. Until Commit succeeds the
// old file is untouched; a writer destroyed or abandoned without a commit, or whose commit
// failed, removes its temp file. Every failure throws IoError naming the target. One thread.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::filesystem::path path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Appends bytes at the end of what was written.
  void Write(std::span<const uint8_t> bytes);
  // Overwrites bytes already written (a header whose sizes are known only at the end); the end
  // where Write appends stays where it was.
  void WriteAt(uint64_t offset, std::span<const uint8_t> bytes);
  // Reads back what was written from offset into out; how many bytes there were.
  size_t ReadAt(uint64_t offset, std::span<uint8_t> out) const;
  // Bytes written so far: the end where Write appends.
  uint64_t Size() const { return size_; }

  // Flushes the temp file to disk and puts it in place of the target. After a failure the temp
  // file is gone and the target is as it was. Once committed or abandoned, nothing more is written.
  void Commit();
  // Gives the file up: the temp file is removed and the target stays as it was.
  void Abandon() noexcept;

  bool IsOpen() const { return fd_ >= 0; }
  const std::filesystem::path& Path() const { return path_; }
  const std::filesystem::path& TempPath() const { return temp_; }

 private:
  void RequireOpen() const;
  [[noreturn]] void Fail(const char* what, int error);

  std::filesystem::path path_;
  std::filesystem::path temp_;
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace platform
