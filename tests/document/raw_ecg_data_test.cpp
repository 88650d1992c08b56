#include "document/raw_ecg_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "context_guard.h"
#include "document/zk130_info_list.h"
#include "platform/io_error.h"
#include "sample_test_files.h"

namespace {

using namespace sampletest;

std::vector<int16_t> Samples(TRawECGData& store, int channel, int minute) {
  const auto block = store.GetChannelMinute(channel, minute);
  EXPECT_EQ(block->minute, minute);
  return {block->samples.begin(), block->samples.end()};
}

std::vector<int16_t> Head(const std::vector<int16_t>& samples, size_t n) {
  return {samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(n)};
}

class TRawECGDataTest : public ::testing::Test {
 protected:
  ContextGuard context_;
  TempFolder folder_;
  TZK130InfoList markers_;
};

TEST_F(TRawECGDataTest, ReaderKindByExtension) {
  struct Case {
    const char* path;
    TRawECGData::ReaderKind kind;
  };
  const Case cases[] = {
      {"a/00012.CMP", TRawECGData::kReaderCmp},   {"00012.cmp", TRawECGData::kReaderCmp},
      {"HOLTER.DAT", TRawECGData::kReaderDat},    {"x.Tap", TRawECGData::kReaderTap},
      {"x.RX3", TRawECGData::kReaderRx3},         {"x.KZC", TRawECGData::kReaderKzc},
      {"x.khi", TRawECGData::kReaderKhi},         {"100.253", TRawECGData::kReaderRefSignal},
      {"100.2c2", TRawECGData::kReaderRefSignal}, {"100.132", TRawECGData::kReaderNone},
      {"x.QRS", TRawECGData::kReaderNone},        {"", TRawECGData::kReaderNone},
  };
  for (const Case& c : cases) EXPECT_EQ(TRawECGData::ReaderKindOf(c.path), c.kind) << c.path;
}

TEST_F(TRawECGDataTest, StoreWithoutAFile) {
  TRawECGData store(&markers_);
  EXPECT_EQ(store.GetWholeMinutes(), 0);
  EXPECT_EQ(store.GetSampleRate(), 0.0);
  EXPECT_EQ(TRawECGData::GetSampleRateHz(), 125);
  EXPECT_EQ(store.GetReaderKind(), TRawECGData::kReaderNone);
  EXPECT_EQ(Samples(store, 0, 0), std::vector<int16_t>(7500, 0));
}

TEST_F(TRawECGDataTest, WholeMinutesByFileSizeAndKind) {
  struct Case {
    const char* name;
    size_t bytes;
    int want;
  };
  const Case cases[] = {
      {"a.TAP", 0, 0},     {"b.TAP", 14999, 0}, {"c.TAP", 15000, 1}, {"d.TAP", 15001, 1},
      {"e.TAP", 30000, 2}, {"f.RX3", 0, 0},     {"g.RX3", 15000, 1}, {"h.RX3", 15002, 2},
      {"i.KZC", 1, 1},     {"j.KZC", 30000, 1}, {"k.KZC", 30004, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRawECGData store(&markers_, folder_.Write(c.name, std::vector<uint8_t>(c.bytes, 0x80)));
    EXPECT_EQ(store.GetWholeMinutes(), c.want);
    EXPECT_EQ(store.GetChannelCount(), 2);
    EXPECT_EQ(store.GetSampleRate(), 125.0);
  }
}

TEST_F(TRawECGDataTest, TapeBytesAreInterleavedChannels) {
  std::vector<uint8_t> bytes(15000, 128);
  bytes[0] = 0;
  bytes[1] = 255;
  bytes[2] = 128;
  bytes[3] = 129;
  TRawECGData store(&markers_, folder_.Write("t.TAP", bytes));
  EXPECT_EQ(Head(Samples(store, 0, 0), 2), (std::vector<int16_t>{-512, 0}));
  EXPECT_EQ(Head(Samples(store, 1, 0), 2), (std::vector<int16_t>{508, 4}));
  EXPECT_EQ(Samples(store, 2, 0), std::vector<int16_t>(7500, 0));
}

TEST_F(TRawECGDataTest, Rx3WordsAreDoubledIntoBothChannels) {
  std::vector<uint8_t> bytes;
  for (uint16_t w : {0x1234, 0x8000, 0xFFFF}) PutLE16(bytes, w);
  bytes.resize(15000, 0);
  PutLE16(bytes, 0x0100);  // minute 1 holds this one word
  TRawECGData store(&markers_, folder_.Write("r.RX3", bytes));
  ASSERT_EQ(store.GetWholeMinutes(), 2);
  for (int ch = 0; ch < 2; ++ch) {
    EXPECT_EQ(Head(Samples(store, ch, 0), 3), (std::vector<int16_t>{0x2468, 0, -2}));
    std::vector<int16_t> want(7500, 0);
    want[0] = 0x200;
    EXPECT_EQ(Samples(store, ch, 1), want);
  }
}

TEST_F(TRawECGDataTest, KzcWordsAreTwelveBitPairs) {
  std::vector<uint8_t> bytes;
  for (uint16_t w : {0x0800, 0x07FF, 0xF7FF, 0x9001}) PutLE16(bytes, w);
  bytes.resize(30000, 0);
  PutLE16(bytes, 0x0FFF);
  PutLE16(bytes, 0x0002);
  TRawECGData store(&markers_, folder_.Write("k.KZC", bytes));
  ASSERT_EQ(store.GetWholeMinutes(), 2);
  EXPECT_EQ(Head(Samples(store, 0, 0), 2), (std::vector<int16_t>{-2048, 2047}));
  EXPECT_EQ(Head(Samples(store, 1, 0), 2), (std::vector<int16_t>{2047, 1}));
  std::vector<int16_t> ch0(7500, 0), ch1(7500, 0);
  ch0[0] = -1;
  ch1[0] = 2;
  EXPECT_EQ(Samples(store, 0, 1), ch0);
  EXPECT_EQ(Samples(store, 1, 1), ch1);
}

TEST_F(TRawECGDataTest, MinutesOutsideTheRecordingAreZeroBlocksWithoutFileAccess) {
  const std::string path = folder_.Write("t.TAP", std::vector<uint8_t>(15000, 200));
  TRawECGData store(&markers_, path);
  std::filesystem::remove(path);
  EXPECT_EQ(Samples(store, 0, 1), std::vector<int16_t>(7500, 0));
  EXPECT_EQ(Samples(store, 0, -3), std::vector<int16_t>(7500, 0));
  EXPECT_EQ(Samples(store, 3, 0), std::vector<int16_t>(7500, 0));
  EXPECT_EQ(Samples(store, -1, 0), std::vector<int16_t>(7500, 0));
}

TEST_F(TRawECGDataTest, CachedMinuteNeedsNoFileAndAnUnreadableOneLeavesNothingStale) {
  std::vector<uint8_t> bytes(30000, 140);
  std::fill(bytes.begin() + 15000, bytes.end(), 100);
  const std::string path = folder_.Write("t.TAP", bytes);
  TRawECGData store(&markers_, path);
  EXPECT_EQ(Samples(store, 0, 0)[0], 48);
  std::filesystem::remove(path);
  EXPECT_EQ(Samples(store, 1, 0)[0], 48);  // served from the cache
  EXPECT_EQ(store.GetCachedMinute(), 0);
  EXPECT_THROW(store.GetChannelMinute(0, 1), platform::IoError);
  EXPECT_EQ(store.GetCachedMinute(), -1);
  EXPECT_THROW(store.GetChannelMinute(0, 0), platform::IoError);  // minute 0 is no longer cached
}

TEST_F(TRawECGDataTest, PreviousAndNextMinuteOfTheCachedOne) {
  std::vector<uint8_t> bytes(45000, 0);
  for (int m = 0; m < 3; ++m) std::fill(bytes.begin() + 15000 * m, bytes.begin() + 15000 * (m + 1), 130 + m);
  TRawECGData store(&markers_, folder_.Write("t.TAP", bytes));
  store.LoadMinute(1, false);
  EXPECT_EQ(store.GetNextChannelMinute(0)->samples[0], 4 * 132 - 512);
  EXPECT_EQ(store.GetCachedMinute(), 2);
  EXPECT_EQ(store.GetPrevChannelMinute(0)->samples[0], 4 * 131 - 512);
}

TEST_F(TRawECGDataTest, AnalysisMinuteFollowsTheAnalysedChannelSet) {
  std::vector<uint8_t> bytes(15000, 0);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    bytes[i] = 130;      // channel 0: 8
    bytes[i + 1] = 120;  // channel 1: -32
  }
  TRawECGData store(&markers_, folder_.Write("t.TAP", bytes));
  struct Case {
    const char* name;
    std::vector<int32_t> set;
    int mode;
    int lead;
    int16_t want;
  };
  const Case cases[] = {
      {"both channels, lead 1", {0, 1}, 0, 1, -32},
      {"swapped set, lead 0", {1, 0}, 0, 0, -32},
      {"one channel, lead 1 gives lead 0", {1}, 0, 1, -32},
      {"one channel, lead 1 negated in mode 1", {1}, 1, 1, 32},
      {"lead inside the set is never negated", {0, 1}, 1, 1, -32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    document::Context().g_AnalysisChannels.Assign(c.set);
    store.SetAnalyzeMode(c.mode);
    TECGBlock block(-5, 0);
    EXPECT_EQ(store.GetAnalysisMinute(block, c.lead, 0, false), 0);
    EXPECT_EQ(block.minute, 0);
    EXPECT_EQ(std::vector<int16_t>(block.samples.begin(), block.samples.end()),
              std::vector<int16_t>(7500, c.want));
  }
  TECGBlock beyond;
  beyond.samples.fill(7);
  store.GetAnalysisMinute(beyond, 0, 1, false);
  EXPECT_EQ(beyond.minute, 1);
  EXPECT_EQ(beyond.samples[100], 0);
}

TEST_F(TRawECGDataTest, FilesThatCannotBeOpenedThrow) {
  for (const char* name :
       {"none.CMP", "none.DAT", "none.TAP", "none.RX3", "none.KZC", "none.KHI", "none.252"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(TRawECGData(&markers_, folder_.File(name)), platform::IoError);
  }
}

TEST_F(TRawECGDataTest, SetWholeMinutesIsBounded) {
  TRawECGData store(&markers_, folder_.Write("t.TAP", std::vector<uint8_t>(15000, 128)));
  store.SetWholeMinutes(99999);
  EXPECT_EQ(store.GetWholeMinutes(), 4320);
  EXPECT_EQ(Samples(store, 0, 5), std::vector<int16_t>(7500, 0));  // beyond the file: nothing to read
  store.SetWholeMinutes(-4);
  EXPECT_EQ(store.GetWholeMinutes(), 0);
}

TEST_F(TRawECGDataTest, ReopenEmptiesTheCacheAndIndexesAgain) {
  const std::string path = folder_.Write("r.CMP", FlatNewFile(2, 3));
  TRawECGData store(&markers_, path);
  EXPECT_EQ(Samples(store, 0, 1)[0], 40);
  folder_.Write("r.CMP", FlatNewFile(2, 5));
  store.Reopen();
  EXPECT_EQ(store.GetCachedMinute(), -1);
  EXPECT_EQ(store.GetWholeMinutes(), 4);
  EXPECT_EQ(Samples(store, 1, 3)[0], 82);
}

}  // namespace
