#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The outcome of a file operation that callers report themselves (in a message box, a log line or
// an exit code): these helpers never throw. error names the file and the system's reason.
struct FileOpResult {
  bool ok = true;
  std::string error;

  explicit operator bool() const { return ok; }
  static FileOpResult Failure(std::string text) { return {false, std::move(text)}; }
};

// Compares file names as the Windows file system did: ignoring the case of ASCII letters and of
// every letter that cp1252 holds ("Müller.QRS" equals "MÜLLER.qrs").
bool FileNameEqualNoCase(std::string_view a, std::string_view b);

// The entry of folder whose name equals name ignoring case: the exact spelling when it exists,
// else the first in byte order. nullopt when there is none or the folder cannot be read.
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& folder, std::string_view name);

// Bytes free to an unprivileged user on the file system that holds path; nullopt when it cannot
// be asked (the path does not exist).
std::optional<uint64_t> FreeSpaceBytes(const std::filesystem::path& path);

// Creates a new empty file in folder named prefix + 8 hex digits + extension (".TMP" as the
// system's temp-file call made) and returns its path; the name is reserved by the exclusive
// creation, so two callers never get the same one. nullopt when the folder is not writable.
std::optional<std::filesystem::path> CreateUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                                                      std::string_view extension = ".TMP");

// Copies a regular file with its modification time and permissions. The copy is written to a
// temp file beside the target and renamed over it, so an existing target is never left half
// written; with overwrite a target that is a symbolic link is written through (SaveTarget). With
// overwrite false an existing target is an error. A source that is no regular file is refused
// without waiting on it.
[[nodiscard]] FileOpResult CopyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                                    bool overwrite);

// Where a save of path writes: path itself, or the file at the end of the chain of symbolic links
// that path is (a relative link counts from the link's folder), so that a save replaces the link's
// target and the link stays. A chain too long or circular gives path unchanged; the save then
// fails on it as the system reports.
std::filesystem::path SaveTarget(const std::filesystem::path& path);

// Whether a save may replace target (a path SaveTarget gave): it does not exist yet, or it is a
// regular file this process may write. A file without any write bit counts as read-only even for
// the superuser, whom the system would let write it.
[[nodiscard]] FileOpResult CheckReplaceable(const std::filesystem::path& target);

// Renames temp, a finished file written in the folder of SaveTarget(path), over that target. An
// existing target's permission bits, owner and group pass to the new file first, so a save never
// changes who may read or write it; a new file keeps the mode it was created with. On failure
// the temp file is removed and the target is untouched.
[[nodiscard]] FileOpResult ReplaceWithFile(const std::filesystem::path& temp,
                                           const std::filesystem::path& path);

// Removes what an interrupted save or copy of file left beside it: entries of file's folder named
// file's name followed by ".~" and eight hex digits (the temp names of WriteFileAtomic and
// CopyFile) or by ".tmp<digits>_<digits>" (those of earlier versions). Nothing else is touched.
// Call it only while no save of file can be running (with its lock held). Returns how many went.
int RemoveStaleTempFiles(const std::filesystem::path& file);

// Moves a file; across file systems it copies and then removes the source. When the source
// cannot be removed the copy is removed again, so a failed move leaves only the source.
[[nodiscard]] FileOpResult MoveFile(const std::filesystem::path& from, const std::filesystem::path& to,
                                    bool overwrite);

// Creates every missing level of path. An existing folder is success; a level that exists as a
// file is an error. An empty path succeeds without doing anything.
[[nodiscard]] FileOpResult MakeDirectories(const std::filesystem::path& path);

// An exclusive advisory lock (flock) on a file, held for a document's lifetime so that a second
// instance of the program does not open the same recording for writing. Released on destruction.
// The lock belongs to the file, not the name: a save that renames a new file over the locked one
// must call Lock again afterwards (it takes the new lock before it drops the old one).
class FileLock {
 public:
  enum class Status { kLocked, kInUse, kFailed };

  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Locks an existing regular file without waiting. kInUse: another holder has it. kFailed: it
  // cannot be opened or is no regular file (Error() says why). On any failure a lock held before
  // is kept.
  [[nodiscard]] Status Lock(const std::filesystem::path& file);
  void Unlock();
  bool Locked() const { return fd_ >= 0; }
  const std::filesystem::path& Path() const { return path_; }
  const std::string& Error() const { return error_; }

 private:
  int fd_ = -1;
  std::filesystem::path path_;
  std::string error_;
};

// Test seam: when set, called before each write and rename of these helpers, the atomic writer
// and the recording rename, so that a fault test can stop the process at each of them.
using FileStepHook = void (*)();
void SetFileStepHook(FileStepHook hook);
void FileStep();

}  // namespace platform
