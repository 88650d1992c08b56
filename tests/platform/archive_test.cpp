#include "platform/archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/io_error.h"

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

}  // namespace
}  // namespace platform
