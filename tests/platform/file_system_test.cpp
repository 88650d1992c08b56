#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "platform/archive.h"
#include "test_dir.h"

namespace platform {
namespace {

using testing_support::CountEntries;
using testing_support::MakeTestDir;
using testing_support::ReadText;
using testing_support::WriteText;

TEST(FileSystem, FindsNamesIgnoringCase) {
  const auto dir = MakeTestDir();
  for (const char* name : {"00012.qrs", "Müller.QRS", "a.txt", "B.TXT", "b.txt", "ÆØÅ.cmp"}) WriteText(dir / name, "x");
  struct Case {
    const char* name;
    const char* want;  // nullptr: not found
  };
  const Case cases[] = {
      {"00012.QRS", "00012.qrs"},
      {"00012.qrs", "00012.qrs"},
      {"MÜLLER.qrs", "Müller.QRS"},
      {"müller.qrs", "Müller.QRS"},
      {"æøå.CMP", "ÆØÅ.cmp"},
      {"b.txt", "b.txt"},  // the exact spelling wins over another match
      {"b.TXT", "B.TXT"},  // else the first in byte order
      {"mueller.qrs", nullptr},
      {"00012", nullptr},
      {"", nullptr},
      {"..", nullptr},
      {"sub/a.txt", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto found = FindFileNoCase(dir, c.name);
    if (!c.want) {
      EXPECT_EQ(found, std::nullopt);
    } else {
      EXPECT_EQ(found, dir / c.want);
    }
  }
  EXPECT_EQ(FindFileNoCase(dir / "missing", "a.txt"), std::nullopt);
  EXPECT_FALSE(FileNameEqualNoCase("a\xFF", "a\xFE"));
  EXPECT_FALSE(FileNameEqualNoCase("×", "÷")) << "multiplication and division signs are no letters";
}

TEST(FileSystem, FreeSpaceOfExistingFolderOnly) {
  const auto dir = MakeTestDir();
  EXPECT_TRUE(FreeSpaceBytes(dir).has_value());
  EXPECT_EQ(FreeSpaceBytes(dir / "missing"), std::nullopt);
}

TEST(FileSystem, UniqueFilesAreCreatedAndNeverRepeat) {
  const auto dir = MakeTestDir();
  std::set<std::filesystem::path> names;
  for (int i = 0; i < 200; ++i) {
    const auto file = CreateUniqueFile(dir, "QRS");
    ASSERT_TRUE(file.has_value());
    EXPECT_TRUE(names.insert(*file).second) << *file;
    const std::string name = file->filename().string();
    EXPECT_EQ(name.size(), 3u + 8u + 4u) << name;
    EXPECT_EQ(name.substr(0, 3), "QRS");
    EXPECT_EQ(name.substr(11), ".TMP");
    EXPECT_EQ(std::filesystem::file_size(*file), 0u);
  }
  EXPECT_EQ(CountEntries(dir), 200u);
  EXPECT_EQ(CreateUniqueFile(dir / "missing", "EMF"), std::nullopt);
}

TEST(FileSystem, CopyReplacesOnlyWhenAskedAndKeepsTheTime) {
  struct Case {
    const char* name;
    bool target_exists;
    bool overwrite;
    bool ok;
    const char* target_after;
  };
  const Case cases[] = {
      {"new target", false, false, true, "source"},
      {"existing target kept", true, false, false, "old"},
      {"existing target replaced", true, true, true, "source"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto dir = MakeTestDir();
    WriteText(dir / "a.QRS", "source");
    const auto old_time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    std::filesystem::last_write_time(dir / "a.QRS", old_time);
    if (c.target_exists) WriteText(dir / "b.QRS", "old");
    const FileOpResult result = CopyFile(dir / "a.QRS", dir / "b.QRS", c.overwrite);
    EXPECT_EQ(result.ok, c.ok) << result.error;
    EXPECT_EQ(ReadText(dir / "b.QRS"), c.target_after);
    EXPECT_EQ(ReadText(dir / "a.QRS"), "source");
    if (c.ok) {
      EXPECT_EQ(std::filesystem::last_write_time(dir / "b.QRS"), old_time);
    } else {
      EXPECT_NE(result.error.find("b.QRS"), std::string::npos) << result.error;
    }
    EXPECT_EQ(CountEntries(dir), 2u) << "no temp file may stay behind";
  }
}

TEST(FileSystem, FailedCopiesNameTheFileAndChangeNothing) {
  const auto dir = MakeTestDir();
  WriteText(dir / "a.QRS", "source");
  std::filesystem::create_directory(dir / "folder");
  // Nobody writes into the pipe: opening it to read would wait for ever.
  ASSERT_EQ(::mkfifo((dir / "pipe.QRS").c_str(), 0644), 0);
  struct Case {
    const char* name;
    std::filesystem::path from;
    std::filesystem::path to;
    const char* named;
  };
  const Case cases[] = {
      {"missing source", dir / "none.QRS", dir / "b.QRS", "none.QRS"},
      {"source is a folder", dir / "folder", dir / "b.QRS", "folder"},
      {"source is a named pipe", dir / "pipe.QRS", dir / "b.QRS", "pipe.QRS"},
      {"target is a named pipe", dir / "a.QRS", dir / "pipe.QRS", "pipe.QRS"},
      {"copy onto itself", dir / "a.QRS", dir / "a.QRS", "a.QRS"},
      {"target folder missing", dir / "a.QRS", dir / "missing" / "b.QRS", "b.QRS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileOpResult result = CopyFile(c.from, c.to, true);
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
    EXPECT_EQ(ReadText(dir / "a.QRS"), "source");
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.QRS"));
    EXPECT_EQ(CountEntries(dir), 3u);
  }
}

// The backup copy of a recording that is a link: the link's target is replaced, the link stays.
TEST(FileSystem, CopyOverALinkReplacesItsTarget) {
  const auto dir = MakeTestDir();
  std::filesystem::create_directories(dir / "store");
  WriteText(dir / "a.QRS", "source");
  WriteText(dir / "store" / "a.BAK", "old");
  std::filesystem::create_symlink("store/a.BAK", dir / "a.BAK");
  const FileOpResult result = CopyFile(dir / "a.QRS", dir / "a.BAK", /*overwrite=*/true);
  ASSERT_TRUE(result) << result.error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "a.BAK"));
  EXPECT_EQ(ReadText(dir / "store" / "a.BAK"), "source");
  EXPECT_EQ(CountEntries(dir / "store"), 1u);
}

// Only the temp names of an interrupted save or copy of that very file go: nothing that merely
// looks alike, belongs to another file, or is no plain file.
TEST(FileSystem, StaleTempFilesOfOneFileAreRemoved) {
  const auto dir = MakeTestDir();
  struct Case {
    const char* name;
    bool removed;
  };
  const Case cases[] = {
      {"00001.BAK.~0A1B2C3D", true},   {"00001.BAK.~FFFFFFFF", true},
      {"00001.BAK.tmp4711_0", true},   {"00001.BAK", false},
      {"00001.BAK.~0A1B2C3", false},   {"00001.BAK.~0A1B2C3DE", false},
      {"00001.BAK.~GHIJKLMN", false},  {"00001.BAK.tmp_0", false},
      {"00001.BAK.tmp12", false},      {"00001.BAK.tmp1_x", false},
      {"00002.BAK.~0A1B2C3D", false},  {"00001.QRS.~0A1B2C3D", false},
      {"x00001.BAK.~0A1B2C3D", false}, {"00001.BAK~0A1B2C3D", false},
  };
  for (const Case& c : cases) WriteText(dir / c.name, c.name);
  std::filesystem::create_directory(dir / "00001.BAK.~11111111");
  std::filesystem::create_symlink("00001.BAK", dir / "00001.BAK.~22222222");

  EXPECT_EQ(RemoveStaleTempFiles(dir / "00001.BAK"), 3);
  for (const Case& c : cases) EXPECT_EQ(std::filesystem::exists(dir / c.name), !c.removed) << c.name;
  EXPECT_TRUE(std::filesystem::is_directory(dir / "00001.BAK.~11111111"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "00001.BAK.~22222222"));
  EXPECT_EQ(RemoveStaleTempFiles(dir / "missing" / "00001.BAK"), 0);
}

// The writers that fill a temp file themselves and then put it in place.
TEST(FileSystem, ReplaceWithFileKeepsModeAndLink) {
  const auto dir = MakeTestDir();
  std::filesystem::create_directories(dir / "store");
  WriteText(dir / "store" / "log.dat", "old");
  ASSERT_EQ(::chmod((dir / "store" / "log.dat").c_str(), 0600), 0);
  std::filesystem::create_symlink("store/log.dat", dir / "log.dat");
  const auto temp = SaveTarget(dir / "log.dat").parent_path() / "log.dat.~00000000";
  WriteText(temp, "new");
  ASSERT_EQ(::chmod(temp.c_str(), 0644), 0);

  const FileOpResult result = ReplaceWithFile(temp, dir / "log.dat");
  ASSERT_TRUE(result) << result.error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "log.dat"));
  EXPECT_EQ(ReadText(dir / "store" / "log.dat"), "new");
  struct stat info {};
  ASSERT_EQ(::stat((dir / "store" / "log.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(CountEntries(dir / "store"), 1u);

  // A failed replacement removes the temp file and leaves the target alone.
  WriteText(temp, "newer");
  EXPECT_FALSE(ReplaceWithFile(temp, dir / "missing" / "log.dat"));
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_EQ(ReadText(dir / "store" / "log.dat"), "new");
}

TEST(FileSystem, MoveRenamesAndRefusesToClobber) {
  const auto dir = MakeTestDir();
  WriteText(dir / "a.QRS", "a");
  WriteText(dir / "b.QRS", "b");
  EXPECT_FALSE(MoveFile(dir / "a.QRS", dir / "b.QRS", false));
  EXPECT_EQ(ReadText(dir / "a.QRS"), "a");
  EXPECT_EQ(ReadText(dir / "b.QRS"), "b");
  EXPECT_TRUE(MoveFile(dir / "a.QRS", dir / "b.QRS", true));
  EXPECT_EQ(ReadText(dir / "b.QRS"), "a");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.QRS"));
  EXPECT_TRUE(MoveFile(dir / "b.QRS", dir / "c.QRS", false));
  EXPECT_EQ(ReadText(dir / "c.QRS"), "a");
  const FileOpResult missing = MoveFile(dir / "none", dir / "d", false);
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.error.find("none"), std::string::npos) << missing.error;
}

TEST(FileSystem, MoveAcrossFileSystemsCopiesAndRemoves) {
  const auto dir = MakeTestDir();
  const std::filesystem::path other_root = "/dev/shm";
  struct stat a{}, b{};
  if (::stat(dir.c_str(), &a) != 0 || ::stat(other_root.c_str(), &b) != 0 || a.st_dev == b.st_dev)
    GTEST_SKIP() << "needs /dev/shm on another file system than " << dir;
  const auto other = other_root / ("zk470_move_" + std::to_string(getpid()));
  std::filesystem::remove_all(other);
  ASSERT_TRUE(MakeDirectories(other));
  WriteText(other / "a.CMP", "samples");
  const FileOpResult result = MoveFile(other / "a.CMP", dir / "a.CMP", false);
  EXPECT_TRUE(result) << result.error;
  EXPECT_EQ(ReadText(dir / "a.CMP"), "samples");
  EXPECT_FALSE(std::filesystem::exists(other / "a.CMP"));
  EXPECT_EQ(CountEntries(dir), 1u);
  std::filesystem::remove_all(other);
}

TEST(FileSystem, MakeDirectoriesCreatesEveryMissingLevel) {
  const auto dir = MakeTestDir();
  WriteText(dir / "file", "x");
  struct Case {
    const char* name;
    std::filesystem::path path;
    bool ok;
  };
  const Case cases[] = {
      {"three new levels", dir / "New" / "Sub" / "Deep", true},
      {"existing levels", dir / "New" / "Sub", true},
      {"trailing slash", dir / "Other" / "", true},
      {"a file in the way", dir / "file" / "Sub", false},
      {"empty path", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileOpResult result = MakeDirectories(c.path);
    EXPECT_EQ(result.ok, c.ok) << result.error;
    if (c.ok && !c.path.empty()) {
      EXPECT_TRUE(std::filesystem::is_directory(c.path));
    }
    if (!c.ok) {
      EXPECT_NE(result.error.find("/file: "), std::string::npos) << result.error;
    }
  }
}

TEST(FileLock, SecondHolderIsTurnedAwayUntilTheFirstLets) {
  const auto dir = MakeTestDir();
  const auto file = dir / "00012.QRS";
  WriteText(file, "doc");
  FileLock first;
  ASSERT_EQ(first.Lock(file), FileLock::Status::kLocked) << first.Error();
  EXPECT_EQ(first.Lock(file), FileLock::Status::kLocked) << "locking what we hold is no conflict";
  FileLock second;
  EXPECT_EQ(second.Lock(file), FileLock::Status::kInUse);
  EXPECT_NE(second.Error().find("00012.QRS"), std::string::npos);
  EXPECT_FALSE(second.Locked());

  FileLock moved = std::move(first);
  EXPECT_FALSE(first.Locked());
  EXPECT_EQ(second.Lock(file), FileLock::Status::kInUse) << "the moved lock is still held";
  moved.Unlock();
  EXPECT_EQ(second.Lock(file), FileLock::Status::kLocked);

  // Nothing to lock in a pipe, a folder or a device, and opening the pipe must not wait for a writer.
  ASSERT_EQ(::mkfifo((dir / "pipe.QRS").c_str(), 0644), 0);
  for (const std::filesystem::path& not_a_file :
       {dir / "pipe.QRS", dir, std::filesystem::path("/dev/null")}) {
    FileLock refused;
    EXPECT_EQ(refused.Lock(not_a_file), FileLock::Status::kFailed) << not_a_file;
    EXPECT_NE(refused.Error().find("not a regular file"), std::string::npos) << refused.Error();
  }

  FileLock third;
  EXPECT_EQ(third.Lock(dir / "missing.QRS"), FileLock::Status::kFailed);
  EXPECT_NE(third.Error().find("missing.QRS"), std::string::npos);
  {
    FileLock scoped;
    EXPECT_EQ(scoped.Lock(dir / "missing.QRS"), FileLock::Status::kFailed);
  }
  second = FileLock();
  EXPECT_EQ(third.Lock(file), FileLock::Status::kLocked) << "assigning over a lock releases it";
}

TEST(FileLock, LockingAgainAfterAnAtomicSaveCoversTheNewFile) {
  const auto dir = MakeTestDir();
  const auto file = dir / "00012.QRS";
  WriteText(file, "v1");
  FileLock holder;
  ASSERT_EQ(holder.Lock(file), FileLock::Status::kLocked);
  const std::string v2 = "v2";
  WriteFileAtomic(file, std::span(reinterpret_cast<const uint8_t*>(v2.data()), v2.size()));
  ASSERT_EQ(holder.Lock(file), FileLock::Status::kLocked) << holder.Error();
  FileLock other;
  EXPECT_EQ(other.Lock(file), FileLock::Status::kInUse);
}

}  // namespace
}  // namespace platform
