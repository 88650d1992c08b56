#include "document/sample_file_checker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "sample_test_files.h"

namespace {

using namespace sampletest;

std::string Normalised(std::string text, const std::string& path) {
  for (size_t at = text.find(path); at != std::string::npos; at = text.find(path, at))
    text.replace(at, path.size(), "<file>");
  return text;
}

// Compares with tests/golden/document/<name>; UPDATE_GOLDEN=1 writes the file instead.
void ExpectGolden(const std::string& name, const std::string& text) {
  const std::filesystem::path golden = std::filesystem::path(ZK_SOURCE_DIR) / "tests/golden/document" / name;
  if (const char* update = std::getenv("UPDATE_GOLDEN"); update && std::string(update) == "1") {
    std::filesystem::create_directories(golden.parent_path());
    std::ofstream(golden, std::ios::binary) << text;
    return;
  }
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << "missing golden file " << golden << " (run with UPDATE_GOLDEN=1)";
  std::stringstream want;
  want << in.rdbuf();
  EXPECT_EQ(text, want.str()) << "golden file " << golden;
}

TEST(SampleFileChecker, ReportsEqualTheGoldenText) {
  TempFolder folder;
  // Three complete minutes of two channels, the second record of minute 1 holding a data word
  // other than zero, so only the other records count as identical data.
  std::vector<uint8_t> three = NewHeader(2);
  for (int m = 0; m < 3; ++m) {
    std::vector<uint8_t> minute = FlatNewMinute({static_cast<uint16_t>(0x4000 | (m + 1)), 0x0FFE});
    if (m == 1) minute[4 + 4 + 886 + 4] = 0x12;
    three.insert(three.end(), minute.begin(), minute.end());
  }
  struct Case {
    const char* golden;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"cmp_check_3_minutes.txt", three},
      {"cmp_check_empty.txt", {}},
      {"cmp_check_old_format.txt", FlatOldFile(2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    const std::string path = folder.Write("00012.CMP", c.bytes);
    const std::string report = SampleFileChecker::RunCmpCheck(path);
    EXPECT_EQ(report, folder.File("00012 QX29.txt"));
    const std::vector<uint8_t> text = ReadAll(report);
    ExpectGolden(c.golden, Normalised(std::string(text.begin(), text.end()), path));
    EXPECT_EQ(ReadAll(path), c.bytes);  // the checked file is never changed
  }
}

TEST(SampleFileChecker, ReportName) {
  EXPECT_EQ(SampleFileChecker::ReportName("/data/00012.CMP"), "/data/00012 QX29.txt");
  EXPECT_EQ(SampleFileChecker::ReportName("a.cmp"), "a QX29.txt");
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

TEST(SampleFileChecker, ErrorsInTheReport) {
  TempFolder folder;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> want_lines;
  };
  std::vector<uint8_t> odd = FlatNewFile(1, 3);
  odd[10 + 900] = 0x85;  // minute 0, block 1: blkLen 901
  std::vector<uint8_t> sum = FlatNewFile(1, 3);
  sum[10 + 4] = 0x70;  // minute 0, block 0, record 0: chanLen 880 in a block of 900
  const Case cases[] = {
      {"odd block length",
       odd,
       {"   0-1-x.blkLen     :    901 <=> 0x0385\n", "Error: blkLen % 2 != 0\n",
        "Error found in InitNewDEC\n", "Error found in InitECGDecomp\n"}},
      {"records and block disagree",
       sum,
       {"Error: BlkLen: 900 != SumChanLen+4: 884\n", "Error found in InitECGDecomp\n"}},
      {"4 channels",
       FlatNewFile(4, 2),
       {"fileHead.nbrsChan   :      4 <=> 0x0004\n", "Error found in InitNewDEC\n"}},
      {"cut file",
       Cut(FlatNewFile(1, 3), 10 + 900 + 4),
       {"   0-1-x.blkLen     :    900 <=> 0x0384\n", "Error: Read file chanLen\n",
        "Error found in InitECGDecomp\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string report = SampleFileChecker::CheckReport(folder.Write("x.CMP", c.bytes));
    for (const std::string& line : c.want_lines)
      EXPECT_NE(report.find(line), std::string::npos) << line << report;
  }
}

TEST(SampleFileChecker, ReportThatCannotBeWritten) {
  TempFolder folder;
  const std::string path = folder.Write("x.CMP", FlatNewFile(1, 2));
  std::filesystem::create_directory(folder.File("x QX29.txt"));  // a folder in the report's place
  EXPECT_THROW(SampleFileChecker::RunCmpCheck(path), platform::IoError);
}

TEST(SampleFileChecker, RepairSaysWhatItDid) {
  TempFolder folder;
  std::vector<uint8_t> damaged = FlatNewFile(2, 6);
  damaged[10 + 3 * 1800] = 0x85;
  const std::vector<SampleFileChecker::RepairItem> items = {
      {folder.Write("a.CMP", FlatNewFile(2, 4)), "a"},
      {folder.Write("b.CMP", damaged), "b"},
      {folder.Write("c.CMP", {}), "c"},
      {folder.File("d.CMP"), "d"},
  };
  const std::vector<std::string> lines = SampleFileChecker::RepairFiles(items);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "OK : a - checked (3 whole minutes), nothing repaired");
  EXPECT_EQ(lines[1].rfind("ERR: b - checked (2 whole minutes readable), minute 3, block 0 at offset 0x", 0),
            0u)
      << lines[1];
  EXPECT_EQ(lines[2].rfind("ERR: c - ", 0), 0u);
  EXPECT_EQ(lines[3].rfind("ERR: d - ", 0), 0u);
  for (const std::string& line : lines) {
    EXPECT_NE(line.find("nothing repaired"), std::string::npos);
    EXPECT_EQ(line.find("repaired", 0), line.find("nothing repaired") + 8) << line;
  }
  EXPECT_EQ(ReadAll(items[1].path), damaged);
}

}  // namespace
