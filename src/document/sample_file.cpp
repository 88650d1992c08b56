#include "document/sample_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/archive.h"
#include "platform/io_error.h"

namespace {

// Opens without waiting and takes regular files only: a pipe or device in place of a sample file
// would block the open, or every read, until a writer came. -1 and the reason otherwise.
int OpenRegularFile(const std::string& path, std::string& why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = "not a regular file";
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

SampleFile::SampleFile(std::string path, NoThrow) : path_(std::move(path)) {
  std::string why;
  fd_ = OpenRegularFile(path_, why);
}

SampleFile::SampleFile(std::string path) : path_(std::move(path)) {
  std::string why;
  fd_ = OpenRegularFile(path_, why);
  if (fd_ < 0) throw platform::IoError(path_, "cannot be opened: " + why);
}

SampleFile SampleFile::TryOpen(std::string path) { return SampleFile(std::move(path), NoThrow{}); }

SampleFile::SampleFile(SampleFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {}

SampleFile::~SampleFile() {
  if (fd_ >= 0) ::close(fd_);
}

uint64_t SampleFile::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) throw platform::IoError(path_, "the file length cannot be read");
  return static_cast<uint64_t>(st.st_size);
}

size_t SampleFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) const {
  if (fd_ < 0) throw platform::IoError(path_, "the file is not open");
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got =
        ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw platform::IoError(path_ + ", offset " + std::to_string(offset + done),
                              std::string("read failed: ") + std::strerror(errno));
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

bool SampleFile::ReadWord(uint64_t offset, uint16_t& word) const {
  uint8_t bytes[2];
  if (ReadAt(offset, bytes) != 2) return false;
  word = platform::LoadLE16(bytes);
  return true;
}
