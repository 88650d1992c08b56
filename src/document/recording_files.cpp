#include "document/recording_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace document {
namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsRegularReadable(const std::string& path) {
  // Without waiting: a pipe in place of the file would block the open until a writer came.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  return regular;
}

}  // namespace

std::string LastThreeUpper(std::string_view path) {
  std::string tail(path.size() < 3 ? path : path.substr(path.size() - 3));
  for (char& c : tail) c = UpperAscii(c);
  return tail;
}

std::string ReplaceLastThree(std::string_view path, std::string_view extension) {
  std::string result(path.substr(0, path.size() < 3 ? 0 : path.size() - 3));
  result += extension;
  return result;
}

std::optional<std::string> ExistingFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return path;
  const std::filesystem::path p(path);
  const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
  const std::optional<std::filesystem::path> found = platform::FindFileNoCase(folder, p.filename().string());
  if (!found) return std::nullopt;
  return p.has_parent_path() ? found->string() : found->filename().string();
}

bool CanOpenForReading(const std::string& path) {
  const std::optional<std::string> file = ExistingFile(path);
  return file && IsRegularReadable(*file);
}

platform::FileOpResult ReplacingMove(const std::string& from, const std::string& to) {
  const std::optional<std::string> source = ExistingFile(from);
  if (!source) return platform::FileOpResult::Failure(from + ": the file does not exist");
  std::string target = to;
  if (source->size() >= 3 && to.size() >= 3 && LastThreeUpper(*source) == LastThreeUpper(to))
    target = ReplaceLastThree(to, std::string_view(*source).substr(source->size() - 3));
  if (*source == target) return {};
  return platform::MoveFile(*source, target, /*overwrite=*/true);
}

}  // namespace document
