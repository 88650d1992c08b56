#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

std::string Describe(const std::filesystem::path& path, std::string_view what, int error) {
  std::string text = path.string() + ": " + std::string(what);
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

// Decodes UTF-8; a byte that is not part of a valid sequence keeps its own identity (0xDC00 + byte)
// so that two different broken names never compare equal.
std::u32string Decode(std::string_view text) {
  std::u32string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<uint8_t>(text[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto c = static_cast<uint8_t>(text[i + k]);
      valid = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!valid) {
      out += static_cast<char32_t>(0xDC00 + b);
      ++i;
      continue;
    }
    out += cp;
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

// Lower case of the letters cp1252 can hold; everything else stays.
char32_t FoldCase(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  switch (cp) {
    case 0x152: return 0x153;  // OE ligature
    case 0x160: return 0x161;  // S caron
    case 0x17D: return 0x17E;  // Z caron
    case 0x178: return 0xFF;   // Y diaeresis
    default: return cp;
  }
}

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::string RandomHex8() {
  thread_local std::mt19937 generator{std::random_device{}()};
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(generator()));
  return buffer;
}

FileStepHook g_file_step_hook = nullptr;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    FileStep();
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Renames without replacing an existing target. Falls back to link + unlink on file systems
// without the no-replace rename; both refuse atomically when the target exists.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  FileStep();
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

// A temp name of ours after a file's name: ".~" and eight hex digits, or the ".tmp<pid>_<n>" of
// earlier versions.
bool IsTempSuffix(std::string_view suffix) {
  const auto digits = [](std::string_view text, auto is_digit) {
    return !text.empty() && std::all_of(text.begin(), text.end(), is_digit);
  };
  if (suffix.starts_with(".~"))
    return suffix.size() == 10 &&
           digits(suffix.substr(2), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
  if (!suffix.starts_with(".tmp")) return false;
  const size_t underscore = suffix.find('_', 4);
  if (underscore == std::string_view::npos) return false;
  const auto decimal = [](char c) { return c >= '0' && c <= '9'; };
  return digits(suffix.substr(4, underscore - 4), decimal) && digits(suffix.substr(underscore + 1), decimal);
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the error that close returned.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

}  // namespace

bool FileNameEqualNoCase(std::string_view a, std::string_view b) {
  const std::u32string x = Decode(a);
  const std::u32string y = Decode(b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (FoldCase(x[i]) != FoldCase(y[i])) return false;
  return true;
}

std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& folder, std::string_view name) {
  if (!IsPlainName(name)) return std::nullopt;
  std::error_code ec;
  const std::filesystem::path exact = folder / std::string(name);
  if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) return exact;
  std::optional<std::filesystem::path> best;
  std::filesystem::directory_iterator it(folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (!FileNameEqualNoCase(entry, name)) continue;
    if (!best || entry < best->filename().string()) best = it->path();
  }
  return best;
}

std::optional<uint64_t> FreeSpaceBytes(const std::filesystem::path& path) {
  struct statvfs info{};
  if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

std::optional<std::filesystem::path> CreateUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                                                      std::string_view extension) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::filesystem::path candidate = folder / (std::string(prefix) + RandomHex8() + std::string(extension));
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return candidate;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

std::filesystem::path SaveTarget(const std::filesystem::path& path) {
  constexpr int kMaxLinks = 40;  // as many as the system follows itself
  std::filesystem::path current = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, ec))) return current;
    const std::filesystem::path link = std::filesystem::read_symlink(current, ec);
    if (ec) return path;
    current = link.is_absolute() ? link : current.parent_path() / link;
  }
  return path;
}

FileOpResult CheckReplaceable(const std::filesystem::path& target) {
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    return FileOpResult::Failure(Describe(target, "cannot be examined", errno));
  }
  if (!S_ISREG(info.st_mode)) return FileOpResult::Failure(Describe(target, "is not a regular file", 0));
  if ((info.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return FileOpResult::Failure(Describe(target, "is read-only", 0));
  return {};
}

FileOpResult ReplaceWithFile(const std::filesystem::path& temp, const std::filesystem::path& path) {
  const std::filesystem::path target = SaveTarget(path);
  const auto fail = [&](std::string_view what, int error) {
    ::unlink(temp.c_str());
    return FileOpResult::Failure(Describe(path, what, error));
  };
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) {
    struct stat made {};
    // Only the superuser may give a file away: elsewhere the owner stays ours, as it was.
    if (::stat(temp.c_str(), &made) == 0 && (made.st_uid != old.st_uid || made.st_gid != old.st_gid))
      (void)::chown(temp.c_str(), old.st_uid, old.st_gid);
    if (::chmod(temp.c_str(), old.st_mode & 07777) != 0) return fail("cannot keep the permissions", errno);
  }
  FileStep();
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail("cannot replace", errno);
  return {};
}

int RemoveStaleTempFiles(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  if (name.empty()) return 0;
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  std::vector<std::filesystem::path> stale;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    std::error_code type_error;
    if (entry.size() > name.size() && entry.starts_with(name) &&
        IsTempSuffix(std::string_view(entry).substr(name.size())) && it->is_regular_file(type_error) &&
        !it->is_symlink(type_error))
      stale.push_back(it->path());
  }
  int removed = 0;
  for (const std::filesystem::path& entry : stale) {
    std::error_code remove_error;
    if (std::filesystem::remove(entry, remove_error)) ++removed;
  }
  return removed;
}

FileOpResult CopyFile(const std::filesystem::path& from, const std::filesystem::path& to, bool overwrite) {
  // Without waiting: a pipe in place of the source would block the open until a writer came.
  Fd in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (in.get() < 0) return FileOpResult::Failure(Describe(from, "cannot open for copying", errno));
  struct stat source{};
  if (::fstat(in.get(), &source) != 0) return FileOpResult::Failure(Describe(from, "cannot read its size", errno));
  if (!S_ISREG(source.st_mode)) return FileOpResult::Failure(Describe(from, "is not a regular file", 0));

  const std::filesystem::path target_path = overwrite ? SaveTarget(to) : to;
  struct stat target{};
  if (::stat(target_path.c_str(), &target) == 0) {
    if (target.st_dev == source.st_dev && target.st_ino == source.st_ino)
      return FileOpResult::Failure(Describe(to, "is the source file itself", 0));
    if (!overwrite) return FileOpResult::Failure(Describe(to, "already exists", 0));
    if (!S_ISREG(target.st_mode)) return FileOpResult::Failure(Describe(to, "is not a regular file", 0));
  }

  // The temp file lies beside the target, so the final rename stays on one file system.
  std::filesystem::path temp;
  int out_fd = -1;
  for (int attempt = 0; attempt < 100 && out_fd < 0; ++attempt) {
    temp = target_path;
    temp += ".~" + RandomHex8();
    out_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out_fd < 0 && errno != EEXIST) return FileOpResult::Failure(Describe(to, "cannot create", errno));
  }
  if (out_fd < 0) return FileOpResult::Failure(Describe(to, "cannot find a free temp name", 0));
  Fd out(out_fd);

  const auto fail = [&](std::string text) {
    ::unlink(temp.c_str());
    return FileOpResult::Failure(std::move(text));
  };
  std::vector<char> buffer(256 * 1024);
  while (true) {
    const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(Describe(from, "read failed", errno));
    }
    if (n == 0) break;
    if (!WriteAll(out.get(), buffer.data(), static_cast<size_t>(n))) return fail(Describe(to, "write failed", errno));
  }
  const timespec times[2] = {source.st_atim, source.st_mtim};
  ::fchmod(out.get(), source.st_mode & 07777);
  ::futimens(out.get(), times);
  if (::fsync(out.get()) != 0) return fail(Describe(to, "write failed", errno));
  if (const int error = out.Close(); error != 0) return fail(Describe(to, "write failed", error));
  if (overwrite) {
    FileStep();
    if (::rename(temp.c_str(), target_path.c_str()) != 0) return fail(Describe(to, "cannot replace", errno));
  } else if (const int error = RenameNoReplace(temp, to); error != 0) {
    return fail(Describe(to, error == EEXIST ? "already exists" : "cannot create", error == EEXIST ? 0 : error));
  }
  return {};
}

FileOpResult MoveFile(const std::filesystem::path& from, const std::filesystem::path& to, bool overwrite) {
  if (overwrite) FileStep();
  const int error = overwrite ? (::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno) : RenameNoReplace(from, to);
  if (error == 0) return {};
  if (error == EEXIST) return FileOpResult::Failure(Describe(to, "already exists", 0));
  if (error != EXDEV) return FileOpResult::Failure(Describe(from, "cannot move to " + to.string(), error));

  FileOpResult copied = CopyFile(from, to, overwrite);
  if (!copied) return copied;
  if (::unlink(from.c_str()) != 0) {
    const int unlink_error = errno;
    ::unlink(to.c_str());
    return FileOpResult::Failure(Describe(from, "cannot remove after copying", unlink_error));
  }
  return {};
}

void SetFileStepHook(FileStepHook hook) { g_file_step_hook = hook; }

void FileStep() {
  if (g_file_step_hook != nullptr) g_file_step_hook();
}

FileOpResult MakeDirectories(const std::filesystem::path& path) {
  std::filesystem::path prefix;
  for (const std::filesystem::path& part : path) {
    prefix /= part;
    if (part.empty() || part == "/" || part == "." || part == "..") continue;
    struct stat info{};
    if (::stat(prefix.c_str(), &info) == 0) {
      if (S_ISDIR(info.st_mode)) continue;
      return FileOpResult::Failure(Describe(prefix, "exists and is not a folder", 0));
    }
    if (::mkdir(prefix.c_str(), 0777) != 0) {
      const int error = errno;
      // Another process may have made it in between.
      if (error == EEXIST && ::stat(prefix.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
      return FileOpResult::Failure(Describe(prefix, "cannot create the folder", error));
    }
  }
  return {};
}

FileLock::~FileLock() { Unlock(); }

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), error_(std::move(other.error_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Unlock();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    error_ = std::move(other.error_);
  }
  return *this;
}

FileLock::Status FileLock::Lock(const std::filesystem::path& file) {
  error_.clear();
  // Without waiting: a pipe in place of the file would block the open until a writer came.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error_ = Describe(file, "cannot open to lock", errno);
    return Status::kFailed;
  }
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    ::close(fd);
    error_ = Describe(file, "is not a regular file", 0);
    return Status::kFailed;
  }
  // flock locks belong to the open file: a second descriptor of the file we hold would collide
  // with our own lock, so the lock we have already covers it.
  struct stat held{};
  struct stat wanted{};
  if (fd_ >= 0 && ::fstat(fd_, &held) == 0 && ::fstat(fd, &wanted) == 0 && held.st_dev == wanted.st_dev &&
      held.st_ino == wanted.st_ino) {
    ::close(fd);
    path_ = file;
    return Status::kLocked;
  }
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) {
      error_ = Describe(file, "is in use by another program", 0);
      return Status::kInUse;
    }
    error_ = Describe(file, "cannot lock", error);
    return Status::kFailed;
  }
  Unlock();
  fd_ = fd;
  path_ = file;
  return Status::kLocked;
}

void FileLock::Unlock() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the last descriptor releases the lock
  fd_ = -1;
  path_.clear();
}

}  // namespace platform
