#include "tools/raw_file_checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "recorder/raw/raw_file_header.h"
#include "recorder/raw/raw_image_writer.h"
#include "recorder/recorder_blocks.h"
#include "support/test_files.h"
#include "tools/raw_image_fixture.h"

namespace {

using namespace rawcheck;
using recorder::TRawFileHeader;
using Lines = std::vector<std::string>;

class RawFileCheckerTest : public ::testing::Test {
 protected:
  Lines Check(const std::vector<uint8_t>& bytes) {
    return tools::CheckRawFileLines(folder_.Write("ZK131ECG.RAW", bytes), kClock, kLocale);
  }
  Lines Check(const Image& image) { return Check(image.Bytes()); }
  std::string Path() const { return folder_.File("ZK131ECG.RAW"); }

  testsupport::TempFolder folder_{"rawcheck"};
};

bool Has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}
bool HasPrefix(const Lines& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}
// The lines after the one given (all of them when it is missing, which fails the caller's check).
Lines After(const Lines& lines, const std::string& line) {
  auto at = std::find(lines.begin(), lines.end(), line);
  return at == lines.end() ? lines : Lines(at + 1, lines.end());
}

// The header with every value twice; flex entries and version at the end.
constexpr size_t kHeaderLines = 8 + 2 * recorder::kRawFlexEntries + 2;

TEST_F(RawFileCheckerTest, GoodImageListsEveryBlockAndEndsWithoutError) {
  const Lines lines = Check(Image::Good());
  ASSERT_GE(lines.size(), 3 + kHeaderLines);
  const Lines head(lines.begin(), lines.begin() + 12);
  EXPECT_EQ(head, (Lines{"File : " + Path(), " ", "RawFileSize      : 3692 <=> 0xe6c",
                         "RawPatBlockAddr\t : 512 <=> 0x200", "RawPatBlockSize  : 512 <=> 0x200",
                         "RawRecBlockAddr  : 1024 <=> 0x400", "RawRecBlockSize  : 512 <=> 0x200",
                         "RawEcgBlockAddr  : 2048 <=> 0x800", "RawEcgBlockSize  : 1024 <=> 0x400",
                         "RawVoicBlockAddr : 3072 <=> 0xc00", "RawVoicBlockSize : 0 <=> 0x0",
                         "RawFlexBlockAddr[0] : 1536 <=> 0x600"}));
  EXPECT_TRUE(Has(lines, "RawFlexBlockSize[49] : 0 <=> 0x0"));
  const Lines rest = After(lines, "RawFileVersion : 2 <=> 0x2");
  const Lines want = {
      " ",
      "Voice Block found",
      "RawVoicBlockSize : 620 <=> 0x26c",
      "VoicFormat       : 1",
      "VoicFreq         : 8000",
      "VoicBitsStorage  : 8",
      "VoicBitsSnd      : 16",
      "VoicDay          : 3",
      "VoicSec          : 70000",
      "VoicAverage      : 128",
      "VoicNSample      : 600",
      " ",
      "Patient - PatNr       : P-17",
      "Patient - LastName    : Muster",
      "Patient - FirstName   : Erika",
      "Patient - DateOfBirth : 03.04.1950",
      "Patient - Age         : 76",
      "Patient - Race        : 1",
      "Patient - Sex         : 1 <=> female",
      "Patient - Height      : 168.0",
      "Patient - Weight      : 61.0",
      "Patient - PaceMaker   : Yes",
      "Patient - PaceMakerType    : DDD",
      "Patient - PaceMakerActDate : 02.01.2020",
      " ",
      "Recording - RecordingDate      : 01.12.2026",
      "Recording - RecordingTime      : 08:15:30",
      "Recording - RecordingType      : 7",
      "Recording - DevType            : ZK-131",
      "Recording - DevVersion         : V1.20",
      "Recording - RecordingPaceMaker : No",
      "Recording - RecordingMorning   : 07:00:00",
      "Recording - RecordingEvening   : 22:00:00",
      "Recording - DevSerial          : 123456",
      " ",
      "Patient - Address     : Hauptstr. 1",
      "Patient - Fon         : 0711 123",
      "Patient - Station     : W12",
      "No error found",
  };
  EXPECT_EQ(rest, want);
}

// The image this system writes for an open recording (no voice, no address block) checks clean.
TEST_F(RawFileCheckerTest, ImageOfTheRawWriterChecksClean) {
  const auto patient = TRecorderBlocks::PackPatientBlock(Patient());
  const auto recording = TRecorderBlocks::PackRecordingBlock(Recording("V1.01"));
  const recorder::TRawImageWriter writer(patient, recording);
  ASSERT_TRUE(writer.WriteZeros(Path(), 7500, [](int, int) { return true; }));
  const Lines lines = tools::CheckRawFileLines(Path(), kClock, kLocale);
  EXPECT_EQ(lines.back(), "No error found");
  EXPECT_FALSE(HasPrefix(lines, "Error"));
  EXPECT_FALSE(HasPrefix(lines, "Patient - Address"));
  EXPECT_TRUE(Has(lines, "Recording - DevVersion         : V1.01"));
}

TEST_F(RawFileCheckerTest, FilesThatCannotBeChecked) {
  std::vector<uint8_t> wide_ident = Image::Good().Bytes();
  wide_ident[2] = 0x01;  // 0x00019002: the low word alone is not the ident
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    Lines want_after_file;
  };
  const Case cases[] = {
      {"empty file", {}, {" ", "Error: Size of RAW File is 0", "Error found"}},
      {"shorter than the header",
       std::vector<uint8_t>(100, 0x02),
       {" ", "RawFileSize      : 100 <=> 0x64", "Error: Reading RawFile 512 Bytes at offset 0",
        "Error found"}},
      {"ident with a high word",
       wide_ident,
       {" ", "RawFileSize      : 3692 <=> 0xe6c", "Error: RawFile not valid, wrong Ident code != 0x9002",
        "Error found"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Lines lines = Check(c.bytes);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "File : " + Path());
    EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), c.want_after_file);
  }
  const std::string missing = folder_.File("NONE.RAW");
  EXPECT_EQ(tools::CheckRawFileLines(missing, kClock, kLocale),
            (Lines{"File : " + missing, " ", "Error: Size of RAW File is 0", "Error found"}));
}

// Each test of the block table in the order it runs; the first that fails ends the check after
// the complete header listing, and no block is read.
TEST_F(RawFileCheckerTest, BlockTableStopsAtTheFirstFailingTest) {
  struct Case {
    const char* name;
    std::function<void(TRawFileHeader&)> change;
    Lines want_tail;
  };
  const Case cases[] = {
      {"patient block past the end",
       [](TRawFileHeader& h) { h.RawPatBlockAddr = 5000; },
       {"Error: RawFileSize < RawPatBlockAddr"}},
      {"patient end past the end",
       [](TRawFileHeader& h) { h.RawPatBlockAddr = 3500; },
       {"Error: RawFileSize < RawPatBlockAddr + RawPatBlockSize"}},
      {"recording block past the end",
       [](TRawFileHeader& h) { h.RawRecBlockAddr = 4000; },
       {"Error: RawFileSize < RawRecBlockAddr"}},
      {"recording end past the end",
       [](TRawFileHeader& h) { h.RawRecBlockAddr = 3600; },
       {"Error: RawFileSize < RawRecBlockAddr + RawRecBlockSize"}},
      {"ECG past the end",
       [](TRawFileHeader& h) { h.RawEcgBlockAddr = 3693; },
       {"Error: RawFileSize < RawEcgBlockAddr"}},
      {"ECG size that a 32-bit sum would wrap",
       [](TRawFileHeader& h) { h.RawEcgBlockSize = 0xFFFFFF00; },
       {"Error: RawFileSize < RawEcgBlockAddr + RawEcgBlockSize"}},
      {"voice past the end",
       [](TRawFileHeader& h) { h.RawVoicBlockAddr = 4096; },
       {"Error: RawFileSize < RawVoicBlockAddr"}},
      {"patient block of 600 bytes",
       [](TRawFileHeader& h) { h.RawPatBlockSize = 600; },
       {"Error: MaxRawFileBlockSize < RawPatBlockSize"}},
      {"recording block of 513 bytes",
       [](TRawFileHeader& h) { h.RawRecBlockSize = 513; },
       {"Error: MaxRawFileBlockSize < RawRecBlockSize"}},
      {"patient block of 293 bytes",
       [](TRawFileHeader& h) { h.RawPatBlockSize = 293; },
       {"Error: MinPatBlockSize > RawPatBlockSize"}},
      {"recording block of 38 bytes",
       [](TRawFileHeader& h) { h.RawRecBlockSize = 38; },
       {"Error: MinRecBlockSize > RawRecBlockSize"}},
      {"flex blocks 3 and 7 past the end",
       [](TRawFileHeader& h) {
         h.RawFlexBlockAddr[3] = 4000;
         h.RawFlexBlockSize[3] = 512;  // past the end too, but pass 2 does not run
         h.RawFlexBlockAddr[7] = 9000;
       },
       {"Error: RawFileSize < RawFlexBlockAddr[3]", "Error: RawFileSize < RawFlexBlockAddr[7]"}},
      {"flex size that a 32-bit sum would wrap",
       [](TRawFileHeader& h) {
         h.RawFlexBlockAddr[2] = 100;
         h.RawFlexBlockSize[2] = 0xFFFFFFF0;
       },
       {"Error: RawFileSize < RawFlexBlockAddr[2] + RawFlexBlockSize[2]"}},
      {"flex block of 600 bytes inside the file",
       [](TRawFileHeader& h) {
         h.RawFlexBlockAddr[9] = 2048;
         h.RawFlexBlockSize[9] = 600;
       },
       {"Error: MaxRawFileBlockSize < RawFlexBlockSize[9]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image image = Image::Good();
    c.change(image.header);
    const Lines lines = Check(image);
    ASSERT_EQ(lines.size(), 3 + kHeaderLines + c.want_tail.size() + 1);
    EXPECT_EQ(lines[3 + kHeaderLines - 2].rfind("RawFileVersion : ", 0), 0u);
    Lines tail(lines.end() - static_cast<std::ptrdiff_t>(c.want_tail.size() + 1), lines.end());
    Lines want = c.want_tail;
    want.push_back("Error found");
    EXPECT_EQ(tail, want);
  }
}

// What the voice area decides: no address, no voice, a voice too long for the file, or 512 bytes
// not readable at its address.
TEST_F(RawFileCheckerTest, VoiceBlock) {
  struct Case {
    const char* name;
    std::function<void(Image&)> change;
    std::vector<std::string> want_present;
    std::vector<std::string> want_absent;
    bool ok;
  };
  const Case cases[] = {
      {"voice address 0",
       [](Image& i) { i.header.RawVoicBlockAddr = 0; },
       {"Patient - PatNr       : P-17"},
       {"Voice Block found", "No Voice Block found"},
       true},
      {"first 20 bytes zero",
       [](Image& i) { i.Put(3072, std::vector<uint8_t>(20, 0)); },
       {"No Voice Block found", "Patient - PatNr       : P-17", "No error found"},
       {"Voice Block found"},
       true},
      {"a header with no samples",
       [](Image& i) { i.Put(3072 + 16, std::vector<uint8_t>(4, 0)); },
       {"No Voice Block found"},
       {"Voice Block found"},
       true},
      {"more samples than the file holds",
       [](Image& i) {
         i.Put(3072 + 16, std::vector<uint8_t>{0x59, 0x02, 0, 0});
       },  // 601 samples
       {"Voice Block found", "RawVoicBlockSize : 621 <=> 0x26d",
        "Error: RawFileSize < RawVoicBlockAddr + RawVoicBlockSize"},
       {"VoicFormat       : 1", "Patient - PatNr       : P-17"},
       false},
      {"a sample count beyond 2^32 - 20",
       [](Image& i) {
         i.Put(3072 + 16, std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF});
       },
       {"Error: RawFileSize < RawVoicBlockAddr + RawVoicBlockSize"},
       {"VoicFormat       : 1"},
       false},
      {"fewer than 512 bytes at the voice address",
       [](Image& i) { i.header.RawVoicBlockAddr = 3400; },
       {"Error: Reading Rawfile 512 BYtes at offset RawVoicBlockAddr"},
       {"Voice Block found", "No Voice Block found", "Patient - PatNr       : P-17"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image image = Image::Good();
    c.change(image);
    const Lines lines = Check(image);
    for (const std::string& line : c.want_present) EXPECT_TRUE(Has(lines, line)) << line;
    for (const std::string& line : c.want_absent) EXPECT_FALSE(Has(lines, line)) << line;
    EXPECT_EQ(lines.back(), c.ok ? "No error found" : "Error found");
  }
}

// The recorder writes an address block from firmware 1.2 on; only a layout of file version 2
// carries its fields.
TEST_F(RawFileCheckerTest, AddressBlockFollowsTheFirmwareAndTheFileVersion) {
  struct Case {
    const char* name;
    std::string dev_version;
    uint16_t file_version;
    uint32_t flex_size;
    Lines want_tail;
  };
  const Lines address = {"Patient - Address     : Hauptstr. 1", "Patient - Fon         : 0711 123",
                         "Patient - Station     : W12", "No error found"};
  const Case cases[] = {
      {"firmware 1.1", "V1.15", 2, 512, {"Recording - DevSerial          : 123456", " ", "No error found"}},
      {"firmware 1.2", "V1.2", 2, 512, address},
      {"firmware 2.0", "V2.00", 2, 512, address},
      {"another file version",
       "V1.20",
       1,
       512,
       {"Patient - Address     : ", "Patient - Fon         : ", "Patient - Station     : ",
        "No error found"}},
      {"an address block too short for its fields",
       "V1.20",
       2,
       100,
       {" ", "Error: MinAddrBlockSize > RawFlexBlockSize[0]", "Error found"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image image = Image::Good(c.dev_version);
    image.header.RawFileVersion = c.file_version;
    image.header.RawFlexBlockSize[0] = c.flex_size;
    const Lines lines = Check(image);
    ASSERT_GE(lines.size(), c.want_tail.size());
    EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(c.want_tail.size()), lines.end()), c.want_tail);
  }
}

}  // namespace
