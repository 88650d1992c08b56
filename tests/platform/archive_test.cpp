#include "platform/archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/io_error.h"
#include "test_dir.h"

namespace platform {
namespace {

std::vector<uint8_t> Prefix(const std::vector<uint8_t>& bytes, size_t n) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)};
}

TEST(Archive, StringPrefixesAtEveryLengthBoundary) {
  struct Case {
    size_t length;
    std::vector<uint8_t> prefix;
  };
  const Case cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string text(c.length, 'x');
    ArchiveWriter w;
    w.WriteString(text);
    ASSERT_EQ(w.Size(), c.prefix.size() + c.length);
    EXPECT_EQ(Prefix(w.Bytes(), c.prefix.size()), c.prefix);
    ArchiveReader r(w.Bytes(), "test");
    EXPECT_EQ(r.ReadString(), text);
    EXPECT_TRUE(r.AtEnd());
  }
}

TEST(Archive, CountsUseTheEscapeFrom65535On) {
  struct Case {
    uint32_t count;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {0, {0x00, 0x00}},
      {65534, {0xFE, 0xFF}},
      {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    ArchiveWriter w;
    w.WriteCount(c.count);
    EXPECT_EQ(w.Bytes(), c.bytes);
    ArchiveReader r(w.Bytes(), "test");
    EXPECT_EQ(r.ReadCount(), c.count);
  }
}

TEST(Archive, ScalarsAreLittleEndian) {
  ArchiveWriter w;
  w.WriteInt32(-2);
  w.WriteUInt16(0x1234);
  w.WriteDouble(1.5);
  w.WriteDateTime({1, 36525.25});
  const std::vector<uint8_t> head = {0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12,
                                     0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
  EXPECT_EQ(Prefix(w.Bytes(), head.size()), head);
  ArchiveReader r(w.Bytes(), "test");
  EXPECT_EQ(r.ReadInt32(), -2);
  EXPECT_EQ(r.ReadUInt16(), 0x1234);
  EXPECT_EQ(r.ReadDouble(), 1.5);
  EXPECT_EQ(r.ReadDateTime(), (OleDateTime{1, 36525.25}));
  EXPECT_TRUE(r.AtEnd());
}

TEST(Archive, TextIsCp1252OnDisk) {
  ArchiveWriter w;
  w.WriteString("Müller €");
  EXPECT_EQ(w.Bytes(), (std::vector<uint8_t>{8, 'M', 0xFC, 'l', 'l', 'e', 'r', ' ', 0x80}));
  ArchiveReader r(w.Bytes(), "test");
  EXPECT_EQ(r.ReadString(), "Müller €");
}

TEST(Archive, BadStreamsFailCleanly) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    void (*read)(ArchiveReader&);
  };
  const Case cases[] = {
      {"truncated int", {1, 2, 3}, [](ArchiveReader& r) { r.ReadInt32(); }},
      {"truncated double", {1, 2, 3, 4, 5, 6, 7}, [](ArchiveReader& r) { r.ReadDouble(); }},
      {"text longer than stream", {5, 'a', 'b'}, [](ArchiveReader& r) { r.ReadString(); }},
      {"huge text length", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},
       [](ArchiveReader& r) { r.ReadString(); }},
      {"cut count escape", {0xFF, 0xFF, 0x01}, [](ArchiveReader& r) { r.ReadCount(); }},
      {"raw bytes beyond end", {1, 2}, [](ArchiveReader& r) { r.ReadBytes(3); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArchiveReader r(c.bytes, "00012.QRS");
    try {
      c.read(r);
      ADD_FAILURE() << "no error";
    } catch (const FormatError& e) {
      EXPECT_NE(std::string(e.what()).find("00012.QRS"), std::string::npos) << e.what();
    }
  }
}

TEST(Archive, AtomicWriteReplacesWholeFileAndKeepsOldOnFailure) {
  const auto dir = std::filesystem::path(testing::TempDir()) / "archive_atomic";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto file = dir / "a.QRS";
  const std::vector<uint8_t> first = {1, 2, 3, 4};
  const std::vector<uint8_t> second = {9};
  WriteFileAtomic(file, first);
  WriteFileAtomic(file, second);
  EXPECT_EQ(ReadFileBytes(file), second);
  EXPECT_THROW(WriteFileAtomic(dir / "missing" / "b.QRS", first), IoError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  EXPECT_THROW(ReadFileBytes(dir / "none"), IoError);
  EXPECT_THROW(ReadFileBytes(dir), IoError);
}

mode_t ModeOf(const std::filesystem::path& file) {
  struct stat info {};
  EXPECT_EQ(::lstat(file.c_str(), &info), 0) << file;
  return info.st_mode;
}

std::string WhatOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const IoError& e) {
    return e.what();
  }
  return "no error";
}

// Pipes and devices would block the read or never end; a sparse file of 64 GB would be allocated
// whole. Each is refused before anything is read, with a message naming the fault.
TEST(ReadFileBytes, RefusesWhatIsNoRegularFileOrLongerThanTheBound) {
  const auto dir = testing_support::MakeTestDir();
  ASSERT_EQ(::mkfifo((dir / "pipe.QRS").c_str(), 0644), 0);
  {
    std::filesystem::path big = dir / "sparse.QRS";
    testing_support::WriteText(big, "");
    if (::truncate(big.c_str(), int64_t{64} << 30) != 0)
      GTEST_SKIP() << "no sparse files of 64 GB in " << dir;
  }
  testing_support::WriteText(dir / "exact.QRS", "1234");
  struct Case {
    const char* name;
    std::filesystem::path file;
    uint64_t max_bytes;
    const char* fault;
  };
  const Case cases[] = {
      {"named pipe", dir / "pipe.QRS", 1000, "not a regular file"},
      {"folder", dir, 1000, "not a regular file"},
      {"character device", "/dev/zero", 1000, "not a regular file"},
      {"sparse 64 GB", dir / "sparse.QRS", uint64_t{1} << 30, "68719476736 bytes long"},
      {"one byte over", dir / "exact.QRS", 3, "4 bytes long"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string what = WhatOf([&] { (void)ReadFileBytes(c.file, c.max_bytes); });
    EXPECT_NE(what.find(c.file.string()), std::string::npos) << what;
    EXPECT_NE(what.find(c.fault), std::string::npos) << what;
  }
  EXPECT_EQ(ReadFileBytes(dir / "exact.QRS", 4), (std::vector<uint8_t>{'1', '2', '3', '4'}));
}

TEST(WriteFileAtomic, ReplacedFileKeepsItsPermissions) {
  const auto dir = testing_support::MakeTestDir();
  for (const mode_t mode : {0600, 0640, 0604, 0660}) {
    SCOPED_TRACE(mode);
    const auto file = dir / "00001.QRS";
    testing_support::WriteText(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    WriteFileAtomic(file, std::vector<uint8_t>{'n', 'e', 'w'});
    EXPECT_EQ(testing_support::ReadText(file), "new");
    EXPECT_EQ(ModeOf(file) & 07777, mode);
    EXPECT_EQ(testing_support::CountEntries(dir), 1u);
  }
}

TEST(WriteFileAtomic, SuperuserSaveKeepsTheOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another owner";
  const auto dir = testing_support::MakeTestDir();
  const auto file = dir / "00001.QRS";
  testing_support::WriteText(file, "old");
  ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
  WriteFileAtomic(file, std::vector<uint8_t>{'n'});
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4321u);
  EXPECT_EQ(info.st_gid, 4322u);
}

// A link is written through: the link stays as it was and its target gets the new bytes, written
// beside the target so that the rename stays on the target's file system.
TEST(WriteFileAtomic, WritesThroughSymbolicLinks) {
  const auto dir = testing_support::MakeTestDir();
  std::filesystem::create_directories(dir / "store");
  const auto target = dir / "store" / "real.QRS";
  struct Case {
    const char* name;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> links;  // link, what it names
    std::filesystem::path written;
  };
  const Case cases[] = {
      {"absolute link", {{dir / "a.QRS", target}}, dir / "a.QRS"},
      {"relative link", {{dir / "b.QRS", "store/real.QRS"}}, dir / "b.QRS"},
      {"chain of two", {{dir / "c.QRS", "d.QRS"}, {dir / "d.QRS", "store/real.QRS"}}, dir / "c.QRS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::WriteText(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    for (const auto& [link, names] : c.links) std::filesystem::create_symlink(names, link);
    WriteFileAtomic(c.written, std::vector<uint8_t>{'n', 'e', 'w'});
    EXPECT_EQ(testing_support::ReadText(target), "new");
    EXPECT_EQ(ModeOf(target) & 07777, 0640u);
    for (const auto& [link, names] : c.links) {
      ASSERT_TRUE(std::filesystem::is_symlink(link)) << link;
      EXPECT_EQ(std::filesystem::read_symlink(link), names);
      std::filesystem::remove(link);
    }
    EXPECT_EQ(testing_support::CountEntries(dir / "store"), 1u) << "no temp file beside the target";
    EXPECT_EQ(testing_support::CountEntries(dir), 1u);
  }
}

// A file the user may not write is refused, even for the superuser whom the system would let
// write it; so is what a save must never replace. Nothing on disk changes.
TEST(WriteFileAtomic, RefusesFilesThatMayNotBeReplaced) {
  const auto dir = testing_support::MakeTestDir();
  testing_support::WriteText(dir / "readonly.QRS", "old");
  ASSERT_EQ(::chmod((dir / "readonly.QRS").c_str(), 0444), 0);
  ASSERT_EQ(::mkfifo((dir / "pipe.QRS").c_str(), 0644), 0);
  std::filesystem::create_directory(dir / "folder.QRS");
  std::filesystem::create_symlink("loop2.QRS", dir / "loop1.QRS");
  std::filesystem::create_symlink("loop1.QRS", dir / "loop2.QRS");
  std::filesystem::create_symlink("readonly.QRS", dir / "link.QRS");
  struct Case {
    const char* name;
    const char* file;
    const char* fault;
  };
  const Case cases[] = {
      {"read-only", "readonly.QRS", "read-only"},
      {"link to a read-only file", "link.QRS", "read-only"},
      {"named pipe", "pipe.QRS", "not a regular file"},
      {"folder", "folder.QRS", "not a regular file"},
      {"circular links", "loop1.QRS", "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string what = WhatOf([&] { WriteFileAtomic(dir / c.file, std::vector<uint8_t>{'n'}); });
    EXPECT_NE(what.find(c.file), std::string::npos) << what;
    EXPECT_NE(what.find(c.fault), std::string::npos) << what;
  }
  EXPECT_EQ(testing_support::ReadText(dir / "readonly.QRS"), "old");
  EXPECT_EQ(ModeOf(dir / "readonly.QRS") & 07777, 0444u);
  EXPECT_TRUE(S_ISFIFO(ModeOf(dir / "pipe.QRS")));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.QRS"));
  EXPECT_EQ(testing_support::CountEntries(dir), 6u) << "no temp file stays";
}

}  // namespace
}  // namespace platform
