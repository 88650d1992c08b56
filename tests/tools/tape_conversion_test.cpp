#include "tools/tape_conversion.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "platform/archive.h"
#include "support/test_files.h"
#include "tools/tape_fixture.h"

namespace {

using tapetest::Block;

std::vector<uint8_t> Convert(const std::vector<uint8_t>& block) {
  std::vector<uint8_t> minute(tape::kMinuteBytes);
  tape::ConvertBlock(std::span<const uint8_t, tape::kBlockBytes>(block.data(), tape::kBlockBytes),
                     std::span<uint8_t, tape::kMinuteBytes>(minute.data(), tape::kMinuteBytes));
  return minute;
}

// A block whose channel 1 climbs by 10 per frame (never flat within 4) except for a run of
// three equal frames at the given offsets of every second; channel 2 is constant.
std::vector<uint8_t> BlockWithFlatRuns(const std::array<int, 3>& runs, int step = 10) {
  std::vector<uint8_t> block = Block(0, 128);
  for (size_t f = 0; f < tape::kBlockBytes / 3; ++f) {
    const int k = static_cast<int>(f % 128);
    int value = k * step;
    for (const int run : runs) {
      if (k == run + 1 || k == run + 2) value = run * step;
    }
    block[f * 3] = static_cast<uint8_t>(value & 0xFF);
  }
  return block;
}

// The 125 frames of each second without the three dropped offsets.
std::vector<uint8_t> Without(const std::vector<uint8_t>& block, const std::array<int, 3>& dropped) {
  std::vector<uint8_t> out;
  for (size_t f = 0; f < tape::kBlockBytes / 3; ++f) {
    const int k = static_cast<int>(f % 128);
    if (k == dropped[0] || k == dropped[1] || k == dropped[2]) continue;
    out.push_back(block[f * 3]);
    out.push_back(block[f * 3 + 1]);
  }
  return out;
}

TEST(TapeConversion, DropsTheFlattestFrameOfEachThird) {
  struct Case {
    const char* name;
    std::vector<uint8_t> block;
    std::array<int, 3> dropped;
  };
  const Case cases[] = {
      {"constant signal", Block(128, 128), {1, 43, 85}},
      {"flat runs inside the thirds", BlockWithFlatRuns({10, 60, 100}), {11, 61, 101}},
      {"a run at the last start of a third", BlockWithFlatRuns({41, 83, 125}), {42, 84, 126}},
      // Steps of 5 pass only when three frames may differ by 10: the first frame of each third.
      {"tolerance widens", BlockWithFlatRuns({200, 200, 200}, 5), {1, 43, 85}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Convert(c.block), Without(c.block, c.dropped));
  }
}

class TapeFiles : public ::testing::Test, public tapetest::TapeDocFixture {
 protected:
  // Minutes of "HOLTER.TMP": signal minutes then flat ones.
  std::string WriteMinutes(int signal, int flat) {
    std::vector<uint8_t> bytes;
    for (int m = 0; m < signal + flat; ++m) {
      for (size_t i = 0; i < tape::kMinuteBytes; ++i) {
        const bool loud = m < signal && (i % 40) < 2;  // a spike every 20 frames in both channels
        bytes.push_back(loud ? 250 : static_cast<uint8_t>(128 + (m % 3)));
      }
    }
    const std::string tmp = Data("HOLTER.TMP");
    testsupport::WriteBytes(tmp, bytes);
    return tmp;
  }
};

TEST_F(TapeFiles, FlatMinutesAtTheEndAreCut) {
  struct Case {
    const char* name;
    int signal;
    int flat;
    size_t want_minutes;
  };
  const Case cases[] = {
      {"three silent minutes at the end", 4, 3, 4},
      {"no signal at all", 0, 5, 0},
      {"signal to the end", 2, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string tmp = WriteMinutes(c.signal, c.flat);
    const std::vector<uint8_t> all = platform::ReadFileBytes(tmp);
    ASSERT_TRUE(tape::WriteTapeFile(tmp, Data("HOLTER.TAP")));
    const std::vector<uint8_t> tap = platform::ReadFileBytes(Data("HOLTER.TAP"));
    ASSERT_EQ(tap.size(), c.want_minutes * tape::kMinuteBytes);
    EXPECT_TRUE(std::equal(tap.begin(), tap.end(), all.begin()));
    EXPECT_FALSE(std::filesystem::exists(tmp));
  }
}

TEST_F(TapeFiles, FiveOutliersPerChannelStillCountAsFlat) {
  for (const int outliers : {5, 6}) {
    SCOPED_TRACE(outliers);
    std::vector<uint8_t> minute(tape::kMinuteBytes, 128);
    for (int i = 0; i < outliers; ++i) minute[static_cast<size_t>(i) * 2 + 1] = 200;  // channel 2
    // Outside the first half minute nothing counts.
    for (size_t i = 7500; i < tape::kMinuteBytes; ++i) minute[i] = 0;
    testsupport::WriteBytes(Data("HOLTER.TMP"), minute);
    EXPECT_EQ(tape::CountFlatTailMinutes(Data("HOLTER.TMP")), outliers <= 5 ? 1u : 0u);
  }
}

TEST_F(TapeFiles, HalvingKeepsTheFirstFrameOfEachPair) {
  std::vector<uint8_t> bytes(30000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i / 2);  // frame number
  testsupport::WriteBytes(Data("HOLTER.TMP"), bytes);
  ASSERT_TRUE(tape::HalveTapeRate(Data("HOLTER.TMP"), Data("HOLTER.CVT")));
  const std::vector<uint8_t> half = platform::ReadFileBytes(Data("HOLTER.TMP"));
  ASSERT_EQ(half.size(), 15000u);
  for (size_t i = 0; i < half.size(); i += 2) {
    ASSERT_EQ(half[i], static_cast<uint8_t>(i)) << i;  // frame i of the pair i, i + 1 of frames
    ASSERT_EQ(half[i + 1], static_cast<uint8_t>(i));
  }
  EXPECT_FALSE(std::filesystem::exists(Data("HOLTER.CVT")));
}

// The whole run through a fake program.
class ReadTape : public TapeFiles {
 protected:
  void SetUp() override { WriteProgram("echo \"$@\" > \"$(dirname \"$0\")/args.txt\"\nexit 0"); }
  std::vector<uint8_t> Blocks(int n) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < n; ++i) {
      const std::vector<uint8_t> block = BlockWithFlatRuns({i, 50, 90});
      bytes.insert(bytes.end(), block.begin(), block.end());
    }
    return bytes;
  }
};

TEST_F(ReadTape, SkipsTheCalibrationBlocksAndDropsAShortLastBlock) {
  struct Case {
    const char* name;
    int cal_blocks;
    int blocks;
    size_t tail_bytes;
    int want_minutes;
  };
  const Case cases[] = {
      {"12 blocks after 10 calibration blocks", 10, 12, 0, 2},
      {"10 blocks only", 10, 10, 0, 0},
      {"fewer blocks than calibration", 10, 4, 100, 0},
      {"short last block", 0, 3, 23039, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().GetSettings().SetInt(SettingKey::kTapeCalDataLen, c.cal_blocks);
    std::vector<uint8_t> dat = Blocks(c.blocks);
    dat.resize(dat.size() + c.tail_bytes, 7);
    WriteRawFile(dat);
    TTapeProcess process;
    EXPECT_EQ(ReadBraemarTape(Doc(), process), 0);
    const std::vector<uint8_t> tap = platform::ReadFileBytes(Data("HOLTER.TAP"));
    ASSERT_EQ(tap.size(), static_cast<size_t>(c.want_minutes) * tape::kMinuteBytes);
    for (int m = 0; m < c.want_minutes; ++m) {
      const int block = c.cal_blocks + m;
      const std::vector<uint8_t> source(dat.begin() + block * static_cast<long>(tape::kBlockBytes),
                                        dat.begin() + (block + 1) * static_cast<long>(tape::kBlockBytes));
      const std::vector<uint8_t> want = Without(source, {block + 1, 51, 91});
      EXPECT_TRUE(
          std::equal(want.begin(), want.end(), tap.begin() + m * static_cast<long>(tape::kMinuteBytes)))
          << "minute " << m;
    }
    EXPECT_FALSE(std::filesystem::exists(tape::RawFilePath(Doc())));
    EXPECT_FALSE(std::filesystem::exists(Data("HOLTER.TMP")));
  }
  const std::vector<uint8_t> args = platform::ReadFileBytes(Temp().Path() / "main" / "Braemar" / "args.txt");
  EXPECT_EQ(std::string(args.begin(), args.end()), tape::RawFilePath(Doc()) + " 0 0 0 3\n");
}

TEST_F(ReadTape, SpeedSettingHalvesTheRate) {
  Doc().GetSettings().SetInt(SettingKey::kTapeCalDataLen, 0);
  Doc().GetSettings().SetInt(SettingKey::kTapeSpeed, 1);
  WriteRawFile(Blocks(2));
  TTapeProcess process;
  EXPECT_EQ(ReadBraemarTape(Doc(), process), 0);
  EXPECT_EQ(platform::ReadFileBytes(Data("HOLTER.TAP")).size(), tape::kMinuteBytes);
}

TEST_F(ReadTape, ProgramFailuresConvertNothing) {
  struct Case {
    const char* name;
    std::string body;  // empty: no program at all
    int want;
  };
  const Case cases[] = {
      {"no cassette", "exit 6", 6},
      {"positioning error", "exit 20", 20},
      {"program missing", "", tape::kNotStarted},
      {"killed by a signal", "kill -9 $$", tape::kNotStarted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(tape::ProgramPath(Doc()));
    if (!c.body.empty()) WriteProgram(c.body);
    WriteRawFile(Blocks(12));
    testsupport::WriteBytes(Data("HOLTER.TAP"), {1, 2, 3});
    TTapeProcess process;
    EXPECT_EQ(ReadBraemarTape(Doc(), process), c.want);
    EXPECT_TRUE(std::filesystem::exists(tape::RawFilePath(Doc())));
    EXPECT_EQ(platform::ReadFileBytes(Data("HOLTER.TAP")), (std::vector<uint8_t>{1, 2, 3}));
  }
}

TEST_F(ReadTape, MissingRawFileLeavesNoTapeFile) {
  // Not even a tape file of an earlier run: it would pass for this tape's data.
  testsupport::WriteBytes(Data("HOLTER.TAP"), {1, 2, 3});
  TTapeProcess process;
  EXPECT_EQ(ReadBraemarTape(Doc(), process), 0);
  EXPECT_FALSE(std::filesystem::exists(Data("HOLTER.TAP")));
}

TEST_F(ReadTape, TapeFileThatCannotBeWrittenIsAFileWriteError) {
  Doc().GetSettings().SetInt(SettingKey::kTapeCalDataLen, 0);
  WriteRawFile(Blocks(2));
  // A folder in the tape file's place: it cannot be opened for writing nor removed.
  std::filesystem::create_directories(Data("HOLTER.TAP") + "/kept");
  TTapeProcess process;
  EXPECT_EQ(ReadBraemarTape(Doc(), process), tape::kFileWriteError);
  EXPECT_FALSE(std::filesystem::is_regular_file(Data("HOLTER.TAP")));
  EXPECT_FALSE(std::filesystem::exists(Data("HOLTER.TMP")));
}

}  // namespace
