#include "platform/archive_attribute.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "platform/archive.h"
#include "platform/io_error.h"

namespace platform {
namespace {

constexpr const char* kAttributeName = "user.zk470.archived";

// The modification time as the mark stores it; nullopt when the file does not exist.
std::optional<std::string> ModificationStamp(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return std::to_string(static_cast<long long>(st.st_mtim.tv_sec)) + "." +
         std::to_string(static_cast<long>(st.st_mtim.tv_nsec));
}

std::filesystem::path MarkerFile(const std::filesystem::path& file) {
  return file.parent_path() / ("." + file.filename().string() + ".zk470-archived");
}

bool NoExtendedAttributes(int error) { return error == ENOTSUP || error == EOPNOTSUPP || error == EPERM; }

std::optional<std::string> ReadMarkerFile(const std::filesystem::path& file) {
  std::FILE* f = std::fopen(MarkerFile(file).c_str(), "rb");
  if (f == nullptr) return std::nullopt;
  char buffer[64];
  const size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  return std::string(buffer, n);
}

// Never truncated in place: a torn mark would read as "not archived".
FileOpResult WriteMarkerFile(const std::filesystem::path& file, const std::string& stamp) {
  try {
    WriteFileAtomic(MarkerFile(file),
                    std::span(reinterpret_cast<const uint8_t*>(stamp.data()), stamp.size()));
  } catch (const IoError& error) {
    return FileOpResult::Failure(error.what());
  }
  return {};
}

}  // namespace

bool HasArchiveAttribute(const std::filesystem::path& file, ArchiveMarkPlace place) {
  const std::optional<std::string> stamp = ModificationStamp(file);
  if (!stamp) return false;
  std::optional<std::string> mark;
  bool use_marker_file = place == ArchiveMarkPlace::kMarkerFile;
  if (!use_marker_file) {
    char buffer[64];
    const ssize_t n = ::getxattr(file.c_str(), kAttributeName, buffer, sizeof buffer);
    if (n >= 0) {
      mark = std::string(buffer, static_cast<size_t>(n));
    } else if (NoExtendedAttributes(errno)) {
      use_marker_file = true;
    }
  }
  if (use_marker_file) mark = ReadMarkerFile(file);
  return !mark || *mark != *stamp;
}

FileOpResult SetArchiveAttribute(const std::filesystem::path& file, bool set, ArchiveMarkPlace place) {
  const std::optional<std::string> stamp = ModificationStamp(file);
  if (!stamp) return FileOpResult::Failure(file.string() + ": no such file");
  if (place == ArchiveMarkPlace::kAuto) {
    const int result = set ? ::removexattr(file.c_str(), kAttributeName)
                           : ::setxattr(file.c_str(), kAttributeName, stamp->data(), stamp->size(), 0);
    if (result == 0 || (set && errno == ENODATA)) {
      std::error_code ignored;
      std::filesystem::remove(MarkerFile(file), ignored);
      return {};
    }
    if (!NoExtendedAttributes(errno)) {
      return FileOpResult::Failure(file.string() + ": " + std::strerror(errno));
    }
  }
  if (set) {
    std::error_code error;
    std::filesystem::remove(MarkerFile(file), error);
    if (error) return FileOpResult::Failure(MarkerFile(file).string() + ": " + error.message());
    return {};
  }
  return WriteMarkerFile(file, *stamp);
}

}  // namespace platform
