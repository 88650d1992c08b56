#include "platform/atomic_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/io_error.h"

namespace platform {

namespace {

// The file helpers' texts begin with the file's name, which the error names already.
std::string WithoutName(const std::string& text, const std::filesystem::path& file) {
  const std::string prefix = file.string() + ": ";
  return text.starts_with(prefix) ? text.substr(prefix.size()) : text;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path) : path_(std::move(path)) {
  const std::filesystem::path target = SaveTarget(path_);
  if (const FileOpResult allowed = CheckReplaceable(target); !allowed)
    throw IoError(path_.string(), WithoutName(allowed.error, path_));
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;

  // Beside the target, so the rename stays on one file system.
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  const std::optional<std::filesystem::path> temp =
      CreateUniqueFile(folder, target.filename().string() + ".~", "");
  if (!temp) throw IoError(path_.string(), std::string("cannot create temp file: ") + std::strerror(errno));
  temp_ = *temp;
  fd_ = ::open(temp_.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) Fail("cannot create temp file", errno);
  // A private file must not show its new content to others while it is written.
  if (replacing && ::fchmod(fd_, old.st_mode & 0700) != 0) Fail("write failed", errno);
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

void AtomicFileWriter::RequireOpen() const {
  if (fd_ < 0) throw IoError(path_.string(), "write failed: the file is already closed");
}

void AtomicFileWriter::Fail(const char* what, int error) {
  Abandon();
  throw IoError(path_.string(), std::string(what) + ": " + std::strerror(error));
}

void AtomicFileWriter::Write(std::span<const uint8_t> bytes) { WriteAt(size_, bytes); }

void AtomicFileWriter::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
  RequireOpen();
  size_t done = 0;
  while (done < bytes.size()) {
    FileStep();
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("write failed", errno);
    }
    done += static_cast<size_t>(n);
  }
  if (offset + done > size_) size_ = offset + done;
}

size_t AtomicFileWriter::ReadAt(uint64_t offset, std::span<uint8_t> out) const {
  RequireOpen();
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw IoError(path_.string(), std::string("read failed: ") + std::strerror(errno));
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void AtomicFileWriter::Commit() {
  RequireOpen();
  if (::fsync(fd_) != 0) Fail("write failed", errno);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    throw IoError(path_.string(), std::string("write failed: ") + std::strerror(error));
  }
  // ReplaceWithFile removes the temp file when it fails.
  const std::filesystem::path temp = std::exchange(temp_, {});
  if (const FileOpResult replaced = ReplaceWithFile(temp, path_); !replaced)
    throw IoError(path_.string(), WithoutName(replaced.error, path_));
}

void AtomicFileWriter::Abandon() noexcept {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!temp_.empty()) ::unlink(std::exchange(temp_, {}).c_str());
}

}  // namespace platform
