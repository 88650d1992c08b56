// The real program given files no recorder writes: every automation command that opens a
// recording ends within seconds with its code, and no file changes that should not.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/program_runner.h"
#include "core/automation_exit_codes.h"
#include "platform/archive.h"
#include "support/test_recordings.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

// A successful OpenRecording leaves the program open with the recording.
constexpr int kStaysOpen = -1;
// The command is not run on this row: it would succeed by renaming the files.
constexpr int kNotRun = -2;
// Far more than a start of the program needs, far less than "for ever".
constexpr int kRunLimitMs = 30000;
// Files up to this size are compared byte by byte; larger ones by size and time only.
constexpr uintmax_t kComparedBytes = uintmax_t{16} << 20;
constexpr off_t kSparseBytes = off_t{64} << 30;

struct Entry {
  fs::file_type type = fs::file_type::none;
  mode_t mode = 0;
  std::string link;
  uintmax_t size = 0;
  int64_t modified_ns = 0;  // of large files only
  std::vector<uint8_t> bytes;
  bool operator==(const Entry&) const = default;
};

// Every entry under folder by its relative name, links not followed.
std::map<std::string, Entry> State(const fs::path& folder) {
  std::map<std::string, Entry> state;
  for (const fs::directory_entry& item : fs::recursive_directory_iterator(folder)) {
    struct stat info {};
    EXPECT_EQ(::lstat(item.path().c_str(), &info), 0) << item.path();
    Entry entry;
    entry.type = item.symlink_status().type();
    entry.mode = info.st_mode & 07777;
    if (entry.type == fs::file_type::symlink) entry.link = fs::read_symlink(item.path()).string();
    if (entry.type == fs::file_type::regular) {
      entry.size = static_cast<uintmax_t>(info.st_size);
      if (entry.size <= kComparedBytes) {
        entry.bytes = platform::ReadFileBytes(item.path());
      } else {
        entry.modified_ns = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
      }
    }
    state[fs::relative(item.path(), folder).string()] = std::move(entry);
  }
  return state;
}

std::vector<uint8_t> ContentOf(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kComparedBytes) return {};
  return platform::ReadFileBytes(file);
}

mode_t ModeOf(const fs::path& file) {
  struct stat info {};
  return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

std::string Describe(const platform::ProcessResult& run) {
  return "exit " + std::to_string(run.exit_code) + ", signal " + std::to_string(run.signal) +
         (run.timed_out ? ", timed out" : "") + "\nstderr:\n" + run.err;
}

size_t CountLines(const std::string& text) {
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

bool MakePipe(const fs::path& file) {
  fs::remove(file);
  return ::mkfifo(file.c_str(), 0644) == 0;
}

// One kind of hostile file and what each command must end with on it.
struct Row {
  const char* name;
  // Applied to the recording 00001 of a fresh folder; false when it could not be done.
  std::function<bool(const fs::path& folder)> spoil;
  // OpenRecording of the folder.
  int open;
  // UpdateRecording of 00001 with the names it has: a save in place.
  int update;
  // UpdateRecording of 00001 with new names: a rename after the patient, then a save.
  int rename;
  // Result lines of Export of "*.QRS" (0: no result file).
  size_t exported;
  // Where the recording's bytes lie, relative to the folder.
  const char* stored;
};

enum class Command { kOpen, kUpdate, kRename, kExport };

class HostileFilesProcess : public testing::Test {
 protected:
  // Runs one command on a fresh folder spoilt as the row says and checks what it left.
  void Check(const Row& row, Command command, int want) {
    if (want == kNotRun) return;
    const fs::path folder = home_.Folder(std::string("rec") + std::to_string(++folders_));
    coretest::MakeSyntheticRecording(folder / "00001", 2, {"Anna", "Demo", "1"});
    // Failures are reported without ending the test, so that every row and command is seen.
    if (!row.spoil(folder)) {
      ADD_FAILURE() << "cannot prepare " << folder;
      return;
    }
    const fs::path result = home_.Root() / ("result" + std::to_string(folders_) + ".txt");
    const fs::path qrs = folder / "00001.QRS";
    const auto before = State(folder);
    // Patient id, birth date, sex, height, weight, pacemaker, result file.
    const std::vector<std::string> fields = {"X-1", "1.2.1960", "1", "170", "60", "0", result.string()};

    std::vector<std::string> args;
    switch (command) {
      case Command::kOpen:
        args = {"-OpenRecording", qrs.string(), result.string()};
        break;
      case Command::kUpdate:
      case Command::kRename:
        args = {"-UpdateRecording", qrs.string()};
        args.push_back(command == Command::kUpdate ? "Anna" : "Hans");
        args.push_back(command == Command::kUpdate ? "Demo" : "Muster");
        args.insert(args.end(), fields.begin(), fields.end());
        break;
      case Command::kExport:
        args = {"-Export", (folder / "*.QRS").string(), result.string()};
        break;
    }

    if (want == kStaysOpen) {
      BackgroundProgram program(args);
      EXPECT_TRUE(WaitFor([&] { return ReadFile(result).ends_with("\r\n") || program.Ended(); }, kRunLimitMs))
          << "no result within " << kRunLimitMs << " ms";
      EXPECT_FALSE(program.Ended()) << "the opened recording stays on screen";
      const platform::ProcessResult run = program.Stop();
      EXPECT_TRUE(run.stopped) << Describe(run);
    } else {
      const platform::ProcessResult run = RunProgram(args, kRunLimitMs);
      EXPECT_FALSE(run.timed_out) << Describe(run);
      EXPECT_EQ(run.exit_code, want) << Describe(run);
    }
    if (command == Command::kExport) {
      EXPECT_EQ(fs::exists(result) ? CountLines(ReadFile(result)) : 0u, row.exported);
    }

    const bool saved = (command == Command::kUpdate || command == Command::kRename) && want == kExitDone;
    ExpectOnlyWhatShouldChange(folder, before, State(folder), saved ? row.stored : nullptr);
  }

  // Every entry keeps its kind, mode and link; its bytes stay, apart from the recording that a
  // successful update saved (then changed) and backup copies, which may only become a copy of
  // their recording. A new entry can only be such a backup copy, with its recording's mode.
  static void ExpectOnlyWhatShouldChange(const fs::path& folder, const std::map<std::string, Entry>& before,
                                         const std::map<std::string, Entry>& after, const char* saved) {
    const auto is_backup_of_its_recording = [&](const std::string& name) {
      if (!name.ends_with(".BAK")) return false;
      const fs::path recording = folder / (name.substr(0, name.size() - 3) + "QRS");
      const Entry& backup = after.at(name);
      return backup.type == fs::file_type::regular && backup.bytes == ContentOf(recording) &&
             backup.mode == ModeOf(recording);
    };
    for (const auto& [name, was] : before) {
      SCOPED_TRACE(name);
      const auto now = after.find(name);
      if (now == after.end()) {
        ADD_FAILURE() << "gone";
        continue;
      }
      if (name.ends_with(".BAK") && now->second != was) {
        EXPECT_TRUE(is_backup_of_its_recording(name)) << "a changed backup copy is a copy of its recording";
        continue;
      }
      EXPECT_EQ(now->second.type, was.type);
      EXPECT_EQ(now->second.mode, was.mode);
      EXPECT_EQ(now->second.link, was.link);
      if (saved != nullptr && name == saved) {
        EXPECT_NE(now->second.bytes, was.bytes) << "the update was not saved";
      } else {
        EXPECT_EQ(now->second.size, was.size);
        EXPECT_EQ(now->second.bytes, was.bytes);
        EXPECT_EQ(now->second.modified_ns, was.modified_ns);
      }
    }
    for (const auto& [name, entry] : after) {
      if (before.contains(name)) continue;
      EXPECT_TRUE(is_backup_of_its_recording(name)) << "unexpected new entry " << name;
    }
  }

  ProgramHome home_;
  int folders_ = 0;
};

TEST_F(HostileFilesProcess, EveryCommandEndsWithItsCodeAndChangesOnlyWhatItShould) {
  const auto second_recording = [](const fs::path& folder) {
    coretest::MakeSyntheticRecording(folder / "00002", 2, {"Bert", "Berg", "2"});
  };
  const Row rows[] = {
      {"sparse recording of 64 GB",
       [](const fs::path& folder) { return ::truncate((folder / "00001.QRS").c_str(), kSparseBytes) == 0; },
       kExitOpenFailed, kExitUpdateOpenFailed, kExitUpdateOpenFailed, 0, "00001.QRS"},
      // The folder search takes regular files only: OpenRecording finds the other recording, and
      // UpdateRecording opens its path as given.
      {"named pipe as the recording",
       [&](const fs::path& folder) {
         second_recording(folder);
         return MakePipe(folder / "00001.QRS");
       },
       kStaysOpen, kExitUpdateOpenFailed, kExitUpdateOpenFailed, 2, "00001.QRS"},
      {"named pipe as the sample file", [](const fs::path& folder) { return MakePipe(folder / "00001.CMP"); },
       kExitOpenFailed, kExitUpdateOpenFailed, kExitUpdateOpenFailed, 2, "00001.QRS"},
      {"read-only recording",
       [](const fs::path& folder) { return ::chmod((folder / "00001.QRS").c_str(), 0444) == 0; }, kStaysOpen,
       kExitUpdateOpenFailed, kExitUpdateOpenFailed, 2, "00001.QRS"},
      {"private recording and backup",
       [](const fs::path& folder) {
         fs::copy_file(folder / "00001.QRS", folder / "00001.BAK", fs::copy_options::overwrite_existing);
         return ::chmod((folder / "00001.QRS").c_str(), 0600) == 0 &&
                ::chmod((folder / "00001.BAK").c_str(), 0600) == 0;
       },
       kStaysOpen, kExitDone, kNotRun, 2, "00001.QRS"},
      {"recording that is a link",
       [](const fs::path& folder) {
         fs::create_directories(folder / "store");
         fs::rename(folder / "00001.QRS", folder / "store" / "00001.QRS");
         fs::create_symlink("store/00001.QRS", folder / "00001.QRS");
         return ::chmod((folder / "store" / "00001.QRS").c_str(), 0640) == 0;
       },
       kStaysOpen, kExitDone, kNotRun, 2, "store/00001.QRS"},
  };
  const fs::path probe = home_.Root() / "sparse.probe";
  platform::WriteFileAtomic(probe, {});
  const bool sparse_files = ::truncate(probe.c_str(), kSparseBytes) == 0;
  fs::remove(probe);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (!sparse_files && row.name == rows[0].name) {
      std::printf("skipped: %s (no sparse files of 64 GB in %s)\n", row.name, home_.Root().c_str());
      continue;
    }
    for (const auto& [command, want, word] :
         {std::tuple{Command::kOpen, row.open, "OpenRecording"},
          std::tuple{Command::kUpdate, row.update, "UpdateRecording"},
          std::tuple{Command::kRename, row.rename, "UpdateRecording with new names"},
          std::tuple{Command::kExport, kExitDone, "Export"}}) {
      SCOPED_TRACE(word);
      Check(row, command, want);
    }
  }
}

}  // namespace
}  // namespace apptest
