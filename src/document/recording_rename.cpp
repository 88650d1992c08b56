#include "document/recording_rename.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>

#include "document/recording_files.h"

namespace document {
namespace {

constexpr std::string_view kJournalSuffix = ".~RN";
constexpr std::string_view kJournalMagic = "ZK470 RENAME 1";
constexpr std::string_view kJournalEnd = "END";
// A journal names a few dozen files at most; anything longer is not ours.
constexpr off_t kMaxJournalBytes = 256 * 1024;

// One change of a rename: 'R' moves from to to; 'W' puts a written temp file in place of to.
struct Step {
  char kind;
  std::string from;
  std::string to;
};

std::string Reason(int error) { return std::strerror(error); }

bool Exists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The name without its last four characters (".QRS").
std::string StemOf(const std::string& file_name) {
  return file_name.size() < 4 ? std::string() : file_name.substr(0, file_name.size() - 4);
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// Writes bytes to a new file, flushed to disk; the file is removed again on failure.
platform::FileOpResult WriteNewFile(const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return platform::FileOpResult::Failure(path.string() + ": cannot create: " + Reason(errno));
  size_t done = 0;
  int error = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(path.c_str());
    return platform::FileOpResult::Failure(path.string() + ": write failed: " + Reason(error));
  }
  return {};
}

std::string JournalText(const std::vector<Step>& steps) {
  std::string text(kJournalMagic);
  text += '\0';
  for (const Step& step : steps) {
    text += step.kind;
    text += '\0';
    text += step.from;
    text += '\0';
    text += step.to;
    text += '\0';
  }
  text += kJournalEnd;
  text += '\0';
  return text;
}

// The steps of a whole journal; nullopt when it is not one or was cut short while being written.
std::optional<std::vector<Step>> ReadJournal(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::string text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxJournalBytes) {
    text.resize(static_cast<size_t>(info.st_size));
    const ssize_t n = ::read(fd, text.data(), text.size());
    text.resize(n < 0 ? 0 : static_cast<size_t>(n));
  }
  ::close(fd);
  std::vector<std::string_view> fields;
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t end = rest.find('\0');
    if (end == std::string_view::npos) return std::nullopt;
    fields.push_back(rest.substr(0, end));
    rest.remove_prefix(end + 1);
  }
  if (fields.size() < 2 || fields.front() != kJournalMagic || fields.back() != kJournalEnd ||
      (fields.size() - 2) % 3 != 0)
    return std::nullopt;
  std::vector<Step> steps;
  for (size_t i = 1; i + 1 < fields.size(); i += 3) {
    const std::string_view kind = fields[i];
    const auto plain = [](std::string_view name) {
      return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
    };
    if ((kind != "R" && kind != "W") || !plain(fields[i + 1]) || !plain(fields[i + 2])) return std::nullopt;
    steps.push_back({kind[0], std::string(fields[i + 1]), std::string(fields[i + 2])});
  }
  return steps;
}

// Moves the files of the done steps back, last first. False when one could not be moved.
bool MoveBack(const std::filesystem::path& folder, const std::vector<Step>& steps, size_t done) {
  bool all = true;
  for (size_t i = done; i-- > 0;) {
    if (steps[i].kind != 'R') continue;
    if (::rename((folder / steps[i].to).c_str(), (folder / steps[i].from).c_str()) != 0) all = false;
  }
  return all;
}

void RemoveTemps(const std::filesystem::path& folder, const std::vector<Step>& steps) {
  for (const Step& step : steps)
    if (step.kind == 'W') ::unlink((folder / step.from).c_str());
}

}  // namespace

bool IsRenameJournalName(const std::string& file_name) {
  return file_name.size() > kJournalSuffix.size() && file_name.ends_with(kJournalSuffix);
}

RecordingRenameResult RenameRecording(const std::string& old_qrs, const std::string& new_qrs,
                                      const std::vector<uint8_t>* content) {
  RecordingRenameResult outcome;
  const auto fail = [&](std::string text) {
    outcome.result = platform::FileOpResult::Failure(std::move(text));
    outcome.moved.clear();
    return outcome;
  };
  const std::filesystem::path old_path(old_qrs);
  const std::filesystem::path folder = old_path.parent_path();
  const std::string old_name = old_path.filename().string();
  const std::string new_name = std::filesystem::path(new_qrs).filename().string();
  const std::string old_stem = StemOf(old_name);
  const std::string new_stem = StemOf(new_name);
  if (old_stem.empty() || new_stem.empty() || std::filesystem::path(new_qrs).parent_path() != folder)
    return fail(new_qrs + ": not a recording name in the folder of " + old_qrs);

  struct stat old_info {};
  if (::stat(old_qrs.c_str(), &old_info) != 0) return fail(old_qrs + ": " + Reason(errno));

  std::vector<Step> steps;
  if (old_stem != new_stem) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= old_stem.size() + 1 || !name.starts_with(old_stem) || name[old_stem.size()] != '.')
        continue;
      const std::string extension = name.substr(old_stem.size());
      if (extension.find('.', 1) != std::string::npos || extension.find('~') != std::string::npos) continue;
      steps.push_back({'R', name, new_stem + extension});
    }
    if (ec) return fail(folder.string() + ": cannot be read: " + ec.message());
    // The document file first: until it moves, the recording is found under its old name.
    std::stable_partition(steps.begin(), steps.end(), [&](const Step& s) { return s.from == old_name; });
    for (const Step& step : steps)
      if (Exists(folder / step.to)) return fail((folder / step.to).string() + " already exists");
  }

  if (content != nullptr) {
    const std::string_view bytes(reinterpret_cast<const char*>(content->data()), content->size());
    // The backup follows the spelling of the one that moves along, if any.
    std::string backup_name = ReplaceLastThree(new_name, "BAK");
    for (const Step& step : steps)
      if (LastThreeUpper(step.to) == "BAK" && step.to.size() == new_name.size()) backup_name = step.to;
    for (const std::string& target : {new_name, backup_name}) {
      const std::optional<std::filesystem::path> temp =
          platform::CreateUniqueFile(folder.empty() ? "." : folder, old_name + ".~", "");
      if (!temp) {
        RemoveTemps(folder, steps);
        return fail(old_qrs + ": no temp file can be made beside it");
      }
      steps.push_back({'W', temp->filename().string(), target});
      platform::FileStep();
      if (const platform::FileOpResult written = WriteNewFile(*temp, bytes, old_info.st_mode & 07777);
          !written) {
        RemoveTemps(folder, steps);
        return fail(written.error);
      }
    }
  }
  if (steps.empty()) return outcome;

  const std::filesystem::path journal = folder / (old_name + std::string(kJournalSuffix));
  platform::FileStep();
  if (const platform::FileOpResult written = WriteNewFile(journal, JournalText(steps), 0644); !written) {
    RemoveTemps(folder, steps);
    return fail(written.error);
  }
  SyncFolder(folder);

  for (size_t i = 0; i < steps.size(); ++i) {
    platform::FileStep();
    if (::rename((folder / steps[i].from).c_str(), (folder / steps[i].to).c_str()) == 0) continue;
    const int error = errno;
    // The new ".QRS" is in place: what follows is the backup, which the next save refreshes.
    if (steps[i].kind == 'W' && steps[i].to != new_name) break;
    RemoveTemps(folder, steps);
    if (MoveBack(folder, steps, i)) ::unlink(journal.c_str());
    SyncFolder(folder);
    return fail((folder / steps[i].from).string() + ": cannot be renamed: " + Reason(error));
  }
  RemoveTemps(folder, steps);
  SyncFolder(folder);
  platform::FileStep();
  ::unlink(journal.c_str());
  for (const Step& step : steps)
    if (step.kind == 'R')
      outcome.moved.emplace_back((folder / step.from).string(), (folder / step.to).string());
  return outcome;
}

std::string FinishInterruptedRename(const std::string& qrs_path) {
  const std::filesystem::path path(qrs_path);
  const std::filesystem::path folder = path.parent_path();
  const std::string name = path.filename().string();
  std::vector<std::filesystem::path> journals;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec))
    if (IsRenameJournalName(it->path().filename().string())) journals.push_back(it->path());

  std::string result = qrs_path;
  for (const std::filesystem::path& journal : journals) {
    const std::string journal_name = journal.filename().string();
    const std::string journal_owner = journal_name.substr(0, journal_name.size() - kJournalSuffix.size());
    const std::optional<std::vector<Step>> steps = ReadJournal(journal);
    if (!steps) {
      // Cut short while it was written: nothing was renamed yet.
      if (journal_owner == name) ::unlink(journal.c_str());
      continue;
    }
    const Step* document_step = nullptr;
    for (const Step& step : *steps)
      if (step.kind == 'R' && (step.from == name || step.to == name)) document_step = &step;
    if (journal_owner != name && document_step == nullptr) continue;

    // A rename that is still under way belongs to whoever holds the recording.
    const std::filesystem::path held = Exists(folder / journal_owner) || document_step == nullptr
                                           ? folder / journal_owner
                                           : folder / document_step->to;
    platform::FileLock lock;
    if (Exists(held) && lock.Lock(held) == platform::FileLock::Status::kInUse) continue;

    bool complete = true;
    for (const Step& step : *steps) {
      const std::filesystem::path from = folder / step.from;
      const std::filesystem::path to = folder / step.to;
      if (!Exists(from)) continue;
      if (step.kind == 'R' && Exists(to)) {
        complete = false;
        continue;
      }
      if (::rename(from.c_str(), to.c_str()) != 0) complete = false;
    }
    SyncFolder(folder);
    if (complete) ::unlink(journal.c_str());
    if (document_step != nullptr && document_step->from == name && Exists(folder / document_step->to))
      result = (folder / document_step->to).string();
  }
  return result;
}

}  // namespace document
