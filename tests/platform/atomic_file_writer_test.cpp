#include "platform/atomic_file_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io_error.h"
#include "test_dir.h"

namespace platform {
namespace {

using testing_support::CountEntries;
using testing_support::ReadText;
using testing_support::WriteText;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

mode_t ModeOf(const std::filesystem::path& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
  return info.st_mode & 07777;
}

TEST(AtomicFileWriter, TargetChangesOnlyAtCommit) {
  const auto dir = testing_support::MakeTestDir();
  const auto file = dir / "a.MON";
  WriteText(file, "old");
  AtomicFileWriter writer(file);
  writer.Write(Bytes("RIFF----"));
  writer.Write(Bytes("data"));
  writer.WriteAt(4, Bytes("1234"));
  writer.Write(Bytes("!"));
  EXPECT_EQ(writer.Size(), 13u);
  EXPECT_EQ(ReadText(file), "old") << "nothing shows before the commit";
  EXPECT_EQ(writer.TempPath().parent_path(), dir);
  EXPECT_TRUE(writer.TempPath().filename().string().starts_with("a.MON.~"));

  std::vector<uint8_t> back(6);
  EXPECT_EQ(writer.ReadAt(4, back), 6u);
  EXPECT_EQ(std::string(back.begin(), back.end()), "1234da");
  EXPECT_EQ(writer.ReadAt(12, back), 1u) << "reading past the end gives what is there";

  writer.Commit();
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(ReadText(file), "RIFF1234data!");
  EXPECT_EQ(CountEntries(dir), 1u);
  EXPECT_THROW(writer.Write(Bytes("x")), IoError) << "a committed writer writes no more";
  EXPECT_EQ(ReadText(file), "RIFF1234data!");
}

TEST(AtomicFileWriter, WriterGivenUpLeavesTargetAndNoTemp) {
  const auto dir = testing_support::MakeTestDir();
  struct Case {
    const char* name;
    bool old_file;
    bool abandon;  // else only destroyed
  };
  const Case cases[] = {
      {"destroyed over an old file", true, false},
      {"abandoned over an old file", true, true},
      {"destroyed, no old file", false, false},
      {"abandoned, no old file", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto file = dir / "b.WAV";
    if (c.old_file) WriteText(file, "old");
    {
      AtomicFileWriter writer(file);
      writer.Write(Bytes("half a recording"));
      if (c.abandon) {
        writer.Abandon();
        EXPECT_FALSE(writer.IsOpen());
        EXPECT_THROW(writer.Commit(), IoError);
      }
    }
    EXPECT_EQ(CountEntries(dir), c.old_file ? 1u : 0u);
    if (c.old_file) EXPECT_EQ(ReadText(file), "old");
  }
}

// The new content stays private while it is written; the finished file gets the old file's
// permissions back, and a link is written through to its target.
TEST(AtomicFileWriter, KeepsModeAndWritesThroughLinks) {
  const auto dir = testing_support::MakeTestDir();
  WriteText(dir / "data.QRS", "old");
  ASSERT_EQ(::chmod((dir / "data.QRS").c_str(), 0640), 0);
  std::filesystem::create_symlink("data.QRS", dir / "link.QRS");
  AtomicFileWriter writer(dir / "link.QRS");
  EXPECT_EQ(writer.TempPath().parent_path(), dir);
  EXPECT_EQ(ModeOf(writer.TempPath()), 0600u);
  writer.Write(Bytes("new"));
  writer.Commit();
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.QRS"));
  EXPECT_EQ(ReadText(dir / "data.QRS"), "new");
  EXPECT_EQ(ModeOf(dir / "data.QRS"), 0640u);
  EXPECT_EQ(CountEntries(dir), 2u);
}

TEST(AtomicFileWriter, RefusesReadOnlyTargetBeforeWriting) {
  const auto dir = testing_support::MakeTestDir();
  WriteText(dir / "locked.QRS", "old");
  ASSERT_EQ(::chmod((dir / "locked.QRS").c_str(), 0444), 0);
  try {
    AtomicFileWriter writer(dir / "locked.QRS");
    ADD_FAILURE() << "a read-only file was accepted";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("read-only"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadText(dir / "locked.QRS"), "old");
  EXPECT_EQ(CountEntries(dir), 1u);
}

// Something else took the name while the file was written: the commit fails, and neither the
// temp file nor a half-replaced target remains.
TEST(AtomicFileWriter, FailedCommitRemovesTemp) {
  const auto dir = testing_support::MakeTestDir();
  const auto file = dir / "c.QRS";
  AtomicFileWriter writer(file);
  writer.Write(Bytes("new"));
  std::filesystem::create_directory(file);
  std::filesystem::create_directory(file / "inside");
  EXPECT_THROW(writer.Commit(), IoError);
  EXPECT_TRUE(std::filesystem::is_directory(file / "inside"));
  EXPECT_EQ(CountEntries(dir), 1u);
}

// A disk that fills up half-way: the file size limit makes a write fail after some bytes went
// out. Run in a child so the limit does not reach the test program; the child reports by its
// exit code (0: the write failed with IoError and no temp file was left).
TEST(AtomicFileWriter, FailureMidWriteKeepsOldFile) {
  const auto dir = testing_support::MakeTestDir();
  const auto file = dir / "d.QRS";
  WriteText(file, "old content");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
    int code = 1;
    std::filesystem::path temp;
    try {
      AtomicFileWriter writer(file);
      temp = writer.TempPath();
      const std::vector<uint8_t> chunk(1000, 'x');
      for (int i = 0; i < 10; ++i) writer.Write(chunk);
      writer.Commit();
    } catch (const IoError& e) {
      const bool named = std::string(e.what()).find("write failed") != std::string::npos;
      code = named && !temp.empty() && !std::filesystem::exists(temp) ? 0 : 2;
    }
    ::_exit(code);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the writes went through, 2: wrong error or temp left";
  EXPECT_EQ(ReadText(file), "old content");
  EXPECT_EQ(CountEntries(dir), 1u);
}

}  // namespace
}  // namespace platform
