#include "document/ref_signal_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "document/ecg_block.h"
#include "document/raw_ecg_data.h"
#include "document/sample_word.h"
#include "document/zk130_info_list.h"
#include "sample_test_files.h"

namespace {

using namespace sampletest;

TEST(RefSignalFile, NameDecoding) {
  struct Case {
    const char* name;
    bool is_ref;
    int rate;
    double lsb;
    int channels;
  };
  const Case cases[] = {
      {"100.253", true, 250, 5.0, 3},    {"100.2C2", true, 250, 12.5, 2}, {"100.2c2", true, 250, 12.5, 2},
      {"x/100.A12", true, 1000, 1.0, 2}, {"100.132", false, 125, 0.0, 2}, {"100.254", false, 250, 5.0, 4},
      {"100.11F", false, 125, 1.0, 15},  {"100.QRS", false, 0, 0.0, 0},   {".253", true, 0, 0.0, 0},
      {"100253", true, 0, 0.0, 0},       {"53", false, 0, 0.0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsRefSignalFileName(c.name), c.is_ref);
    EXPECT_EQ(GetRefSampleRate(c.name), c.rate);
    EXPECT_EQ(GetRefLSB(c.name), c.lsb);
    EXPECT_EQ(GetRefChannelCount(c.name), c.channels);
  }
}

TEST(RefSignalFile, DurationCountsAStartedMinute) {
  TempFolder folder;
  struct Case {
    const char* name;
    size_t bytes;
    int want;
  };
  const Case cases[] = {
      {"a.252", 1800000, 30}, {"b.252", 1800001, 31}, {"c.252", 100, 1}, {"d.252", 0, 0}, {"e.QRS", 1000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetRefDurationMinutes(folder.Write(c.name, std::vector<uint8_t>(c.bytes, 0))), c.want);
  }
  EXPECT_EQ(GetRefDurationMinutes(folder.File("missing.252")), 0);
}

TEST(RefSignalFile, SearchPrefersTwoChannelFiles) {
  TempFolder folder;
  folder.Write("100.253", {});
  folder.Write("100.252", {});
  folder.Write("100.QR2", {});  // ends in 2 but is no reference name
  folder.Write("1000.252", {});
  EXPECT_EQ(FindRefSignalFile(folder.File("100.QRS")), folder.File("100.252"));
  std::filesystem::remove(folder.File("100.252"));
  EXPECT_EQ(FindRefSignalFile(folder.File("100.QRS")), folder.File("100.253"));
  folder.Write("101.1c3", {});
  EXPECT_EQ(FindRefSignalFile(folder.File("101.QRS")), folder.File("101.1c3"));
  EXPECT_EQ(FindRefSignalFile(folder.File("102.QRS")), "");
}

TEST(RefSignalFile, ReadBlockThinsScalesAndZeroesTheTail) {
  TempFolder folder;
  // 250 Hz, 2.5 microvolts, 3 channels: half a minute of frames f with samples f * 4 + c - 8.
  std::vector<uint8_t> bytes;
  for (int f = 0; f < 250 * 30; ++f)
    for (int c = 0; c < 3; ++c) PutLE16(bytes, static_cast<uint16_t>((f * 4 + c - 8) & 0x0FFF));
  const std::string path = folder.Write("7.223", bytes);
  std::array<TECGBlock, 3> blocks;
  ASSERT_TRUE(ReadRefSignalBlock(path, 0, blocks));
  EXPECT_EQ(blocks[2].minute, 0);
  EXPECT_EQ(blocks[0].samples[0], -4);               // -8 * 0.5
  EXPECT_EQ(blocks[1].samples[0], -3);               // -7 * 0.5 = -3.5, toward zero
  EXPECT_EQ(blocks[2].samples[1], (8 + 2 - 8) / 2);  // frame 2
  EXPECT_EQ(blocks[0].samples[3749], Int12(((2 * 3749) * 4 - 8) & 0x0FFF) / 2);  // frame 7498, the last
  EXPECT_EQ(blocks[0].samples[3750], 0);
  EXPECT_EQ(blocks[2].samples[7499], 0);

  const TRawECGData store(nullptr, path);
  EXPECT_EQ(store.GetReaderKind(), TRawECGData::kReaderRefSignal);
  EXPECT_EQ(store.GetWholeMinutes(), 1);
  EXPECT_EQ(store.GetChannelCount(), 3);
}

TEST(RefSignalFile, ReadBlockRefusals) {
  TempFolder folder;
  const std::string good = folder.Write("1.252", std::vector<uint8_t>(60000, 0));
  std::array<TECGBlock, 3> blocks;
  blocks[0].samples.fill(5);
  blocks[0].minute = 9;
  EXPECT_FALSE(ReadRefSignalBlock(folder.File("gone.252"), 0, blocks));  // cannot be opened
  EXPECT_FALSE(ReadRefSignalBlock(folder.Write("1.254", {0, 0}), 0, blocks));
  EXPECT_FALSE(ReadRefSignalBlock(folder.Write("1.202", {0, 0}), 0, blocks));
  EXPECT_FALSE(ReadRefSignalBlock(good, 0, std::span<TECGBlock>(blocks.data(), 1)));
  EXPECT_EQ(blocks[0].minute, 9);
  EXPECT_EQ(blocks[0].samples[0], 5);
  EXPECT_TRUE(ReadRefSignalBlock(good, 0, blocks));
}

}  // namespace
