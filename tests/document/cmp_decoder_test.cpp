#include "document/cmp_decoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "context_guard.h"
#include "document/ecg_block.h"
#include "document/raw_ecg_data.h"
#include "document/zk130_info_list.h"
#include "platform/io_error.h"
#include "sample_test_files.h"

namespace {

using namespace sampletest;

std::vector<int16_t> Samples(TRawECGData& store, int channel, int minute) {
  const auto block = store.GetChannelMinute(channel, minute);
  return {block->samples.begin(), block->samples.end()};
}

// A new-format file: header, the given minutes, and one flat minute more, since the last minute
// found is never whole.
std::vector<uint8_t> NewFile(int channels, std::initializer_list<std::vector<uint8_t>> minutes) {
  std::vector<uint8_t> out = NewHeader(static_cast<uint16_t>(channels));
  for (const auto& m : minutes) out.insert(out.end(), m.begin(), m.end());
  const auto tail = FlatNewMinute(std::vector<uint16_t>(channels, 0));
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

// One new-format minute whose channel 0 record of block 0 carries the stream; every other
// record is flat at 0.
std::vector<uint8_t> NewMinuteWithStream(int channels, uint16_t mode, uint16_t init,
                                         const BitWriter& stream) {
  std::vector<uint8_t> out;
  for (int b = 0; b < 2; ++b) {
    Block block{mode, {}, {}};
    for (int c = 0; c < channels; ++c) {
      if (b == 0 && c == 0)
        block.records.push_back({init, stream.Bytes(), {}});
      else
        block.records.push_back({0, std::vector<uint8_t>(2, 0), {}});
    }
    const auto bytes = NewBlock(block);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

class CmpDecoderTest : public ::testing::Test {
 protected:
  std::unique_ptr<TRawECGData> Open(const std::vector<uint8_t>& bytes, const std::string& name = "rec.CMP") {
    return std::make_unique<TRawECGData>(&markers_, folder_.Write(name, bytes));
  }

  ContextGuard context_;
  TempFolder folder_;
  TZK130InfoList markers_;
};

TEST_F(CmpDecoderTest, FirstWordChoosesTheGeneration) {
  const auto old_store = Open(FlatOldFile(3));
  EXPECT_EQ(old_store->GetCompressedFormat(), 1);
  EXPECT_EQ(FlatOldFile(1)[0] | (FlatOldFile(1)[1] << 8), 0x0384);  // blkLen 900
  EXPECT_EQ(old_store->GetWholeMinutes(), 3);
  EXPECT_EQ(old_store->GetChannelCount(), 2);

  const auto new_store = Open(FlatNewFile(3, 4));
  EXPECT_EQ(new_store->GetCompressedFormat(), 2);
  EXPECT_EQ(new_store->GetChannelCount(), 3);
  EXPECT_EQ(new_store->GetWholeMinutes(), 3);
}

TEST_F(CmpDecoderTest, WholeMinutesByGenerationAndLength) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int want;
  };
  std::vector<uint8_t> damaged_sixth = FlatNewFile(2, 6);
  // Minute 5, block 0: an odd blkLen.
  const size_t minute_bytes = (damaged_sixth.size() - 10) / 6;
  damaged_sixth[10 + 5 * minute_bytes] = 0x85;
  const Case cases[] = {
      {"new: 5 complete minutes", FlatNewFile(2, 5), 4},
      {"new: 5 complete minutes and a damaged sixth", damaged_sixth, 4},
      {"new: one minute", FlatNewFile(1, 1), 0},
      {"new: header only", NewHeader(2), 0},
      {"old: 1500 valid blocks", FlatOldFile(1500), 1440},
      {"old: 3 blocks", FlatOldFile(3), 3},
      {"new: 4322 complete minutes", FlatNewFile(1, 4322), 4320},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Open(c.bytes)->GetWholeMinutes(), c.want);
  }
}

TEST_F(CmpDecoderTest, ConstantSignalGivesTwiceTheInitialValue) {
  const auto store = Open(FlatOldFile(2));
  for (int m = 0; m < 2; ++m) {
    EXPECT_EQ(Samples(*store, 0, m), std::vector<int16_t>(7500, static_cast<int16_t>(2 * (10 * (m + 1)))));
    EXPECT_EQ(Samples(*store, 1, m),
              std::vector<int16_t>(7500, static_cast<int16_t>(2 * (10 * (m + 1) + 1))));
  }
  const auto new_store = Open(FlatNewFile(3, 3));
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(Samples(*new_store, c, 1), std::vector<int16_t>(7500, static_cast<int16_t>(2 * (20 + c))));
}

TEST_F(CmpDecoderTest, InitWordIsTwelveBitsWithFlags) {
  // 0x4800: value -2048 with the flag 0x4000, which carries no sample value.
  const auto store = Open(NewFile(1, {FlatNewMinute({0x4800})}));
  EXPECT_EQ(Samples(*store, 0, 0)[0], -4096);
}

TEST_F(CmpDecoderTest, NewCodeWordTable) {
  struct Case {
    std::string bits;
    int want_difference;
  };
  const Case cases[] = {
      {NewCode(0), 0},
      {NewCode(1), 1},
      {NewCode(-1), -1},
      {NewCode(2), 2},
      {NewCode(-2), -2},
      {NewCode(3), 3},
      {NewCode(-3), -3},
      {NewCode(4), 5},
      {NewCode(-4), -5},
      {NewCode(5), 7},
      {NewCode(-5), -7},
      {NewCode(6), 9},
      {NewCode(-6), -9},
      {NewCode(7), 11},
      {NewCode(-7), -11},
      {NewCode(8), 13},
      {NewCode(-8), -13},
      {NewCode(9), 15},
      {NewCode(-9), -15},
      {NewCode(98) + "01100100", 197},           // 8-bit literal 100, expanded
      {NewCode(98) + "10011100", -197},          // 8-bit literal -100
      {NewCode(98) + "00000011", 3},             // small literals stay
      {NewCode(99) + "0000001111101000", 1997},  // 16-bit literal 1000
      {NewCode(99) + "1111111111111101", -3},    // 16-bit literal -3
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    BitWriter stream;
    stream.Bits(c.bits);
    const auto store = Open(NewFile(1, {NewMinuteWithStream(1, 0, 5, stream)}));
    const auto s = Samples(*store, 0, 0);
    EXPECT_EQ(s[0], 10);
    EXPECT_EQ(s[1], 2 * (5 + c.want_difference));
    EXPECT_EQ(s[3749], s[1]);
  }
}

TEST_F(CmpDecoderTest, OldCodeWordTable) {
  struct Case {
    std::string bits;
    int want_difference;
  };
  std::string nine_times_127;
  for (int i = 0; i < 9; ++i) nine_times_127 += OldLiteral(127);
  const Case cases[] = {
      {OldCode(1), 1},
      {OldCode(-2), -2},
      {OldCode(3), 3},
      {OldCode(4), 5},
      {OldCode(-5), -7},
      {OldCode(8), 13},
      {OldCode(9), 15},
      {OldCode(-9), -15},
      {OldLiteral(100), 197},
      {OldLiteral(127) + OldCode(0), 251},                    // 127 continues with the next symbol
      {OldLiteral(127) + OldLiteral(127) + OldCode(1), 507},  // 127 + 127 + 1 = 255
      {OldLiteral(-127) + OldCode(0), -251},
      {OldLiteral(-127) + OldCode(-2), -255},      // -129
      {nine_times_127 + OldCode(0), 2283 - 4096},  // 1143 -> 2283, cut to 12 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    BitWriter stream;
    stream.Bits(c.bits);
    const auto store = Open(Concat({OldBlock(0, 5, 7, stream.Bytes()), FlatOldFile(1)}));
    const auto ch0 = Samples(*store, 0, 0);
    EXPECT_EQ(ch0[1], 2 * (5 + c.want_difference));
    EXPECT_EQ(ch0[7499], ch0[1]);
    EXPECT_EQ(Samples(*store, 1, 0), std::vector<int16_t>(7500, 14));
  }
}

TEST_F(CmpDecoderTest, PeakCorrection) {
  struct Case {
    std::vector<int> symbols;
    std::vector<int> want_differences;
  };
  const Case cases[] = {
      {{1, -1}, {2, -2}},     {{1, 0, -1}, {2, 0, -2}},   {{1, 1, -1}, {1, 2, -2}}, {{-3, 2}, {-4, 3}},
      {{2, 2, 2}, {2, 2, 2}}, {{4, -1, -1}, {6, -2, -1}},  // 5 and -1 pair; the second -1 waits alone
  };
  for (const Case& c : cases) {
    BitWriter stream;
    for (int s : c.symbols) stream.Bits(NewCode(s));
    const auto store = Open(NewFile(1, {NewMinuteWithStream(1, 0, 0, stream)}));
    const auto s = Samples(*store, 0, 0);
    for (size_t j = 0; j < c.want_differences.size(); ++j) {
      SCOPED_TRACE(::testing::Message() << "case " << &c - cases << ", difference " << j + 1);
      EXPECT_EQ(s[j + 1] - s[j], 2 * c.want_differences[j]);
    }
  }
}

TEST_F(CmpDecoderTest, OldPeakCorrectionRunsPerChannel) {
  // Stream order: channel 0 +1, channel 1 -1, channel 0 -1.
  BitWriter stream;
  stream.Bits(OldCode(1) + OldCode(-1) + OldCode(-1));
  const auto store = Open(Concat({OldBlock(0, 0, 0, stream.Bytes()), FlatOldFile(1)}));
  const auto ch0 = Samples(*store, 0, 0);
  const auto ch1 = Samples(*store, 1, 0);
  EXPECT_EQ((std::vector<int>{ch0[1] - ch0[0], ch0[2] - ch0[1]}), (std::vector<int>{4, -4}));
  EXPECT_EQ(ch1[1] - ch1[0], -2);
}

TEST_F(CmpDecoderTest, HalfRateInterpolatesAndEndsOnTheLastSteps) {
  // New format: d1 = 3, then zeros up to d1875 = 1.
  BitWriter stream;
  stream.Bits(NewCode(3));
  for (int i = 2; i < 1875; ++i) stream.Bits("0");
  stream.Bits(NewCode(1));
  const auto store = Open(NewFile(1, {NewMinuteWithStream(1, 1, 10, stream)}));
  const auto s = Samples(*store, 0, 0);
  EXPECT_EQ((std::vector<int16_t>{s[0], s[1], s[2], s[3]}), (std::vector<int16_t>{20, 22, 26, 26}));
  EXPECT_EQ(s[3747], 26);
  EXPECT_EQ(s[3748], 26);
  EXPECT_EQ(s[3749], 28);

  // Old format: channel 0's last used step d3750 sits at value 7500; d3751 is never used.
  BitWriter old_stream;
  for (int i = 2; i < 7500; ++i) old_stream.Bits("0");
  old_stream.Bits(OldCode(1) + OldCode(0) + OldCode(2));
  const auto old_store = Open(Concat({OldBlock(1, 10, 0, old_stream.Bytes()), FlatOldFile(1)}));
  const auto o = Samples(*old_store, 0, 0);
  EXPECT_EQ(o[7497], 20);
  EXPECT_EQ(o[7498], 20);
  EXPECT_EQ(o[7499], 22);
}

TEST_F(CmpDecoderTest, RawRecords) {
  // Mode 2: one sample per word, every word written.
  std::vector<uint8_t> words;
  PutLE16(words, 0x0FFF);  // -1
  PutLE16(words, 0x4800);  // -2048 with a flag
  words.resize(2 * 3749);
  words[2 * 3748] = 0x07;  // the last word: 7
  Block raw_full{2, {{0x0005, words, {}}}, {}};
  const auto full = Open(NewFile(1, {Concat({NewBlock(raw_full), NewBlock(raw_full)})}));
  const auto f = Samples(*full, 0, 0);
  EXPECT_EQ((std::vector<int16_t>{f[0], f[1], f[2], f[3]}), (std::vector<int16_t>{10, -2, -4096, 0}));
  EXPECT_EQ(f[3749], 14);
  EXPECT_EQ(f[3750 + 3749], 14);

  // Mode 3: samples at even places, truncated means between them, the last word last.
  std::vector<uint8_t> half_words;
  PutLE16(half_words, 20);
  PutLE16(half_words, 0x0FFB);  // -5
  half_words.resize(2 * 1875);
  half_words[2 * 1873] = 6;  // v1874
  half_words[2 * 1874] = 9;  // v1875, the block's last sample
  Block raw_half{3, {{10, half_words, {}}}, {}};
  const auto half = Open(NewFile(1, {Concat({NewBlock(raw_half), NewBlock(raw_half)})}));
  const auto h = Samples(*half, 0, 0);
  EXPECT_EQ((std::vector<int16_t>{h[0], h[1], h[2], h[3], h[4], h[5]}),
            (std::vector<int16_t>{20, 30, 40, 14, -10, -4}));  // (-5 + 0) / 2 truncates to -2
  EXPECT_EQ(h[3747], 6);
  EXPECT_EQ(h[3748], 12);
  EXPECT_EQ(h[3749], 18);
}

// --- markers --------------------------------------------------------------------------------

struct MarkerCase {
  const char* name;
  int channels;
  std::vector<uint8_t> minute;              // the decoded minute is minute 1 of the file
  std::vector<int> analysis;                // g_AnalysisChannels
  std::vector<std::vector<int32_t>> want;   // positions of kinds 0, 1, 2, 4, 5, relative to minute 1
  std::vector<TInfoEpisode> want_episodes;  // closed episodes, relative positions
  std::vector<int> want_open;               // analysed channels left open
};

std::vector<uint8_t> CodedMinute(int channels, uint16_t mode, std::vector<std::vector<Record>> blocks) {
  std::vector<uint8_t> out;
  for (auto& records : blocks) {
    while (static_cast<int>(records.size()) < channels) records.push_back({0, {0, 0}, {}});
    const auto bytes = NewBlock({mode, records, {}});
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

Record Rec(uint16_t init, const std::string& bits = "") {
  BitWriter w;
  w.Bits(bits);
  auto bytes = w.Bytes();
  if (bytes.empty()) bytes = {0, 0};
  return {init, bytes, {}};
}

// A raw record: chanInit is word 0, then the given words; the rest of the block reads as 0.
Record RawRec(uint16_t init, const std::vector<uint16_t>& words) {
  std::vector<uint8_t> data;
  for (uint16_t w : words) PutLE16(data, w);
  return {init, data, {}};
}

std::string Zeros(int n) { return std::string(static_cast<size_t>(n), '0'); }

std::string Marker(int code) { return NewCode(100) + NewCode(code); }

std::vector<MarkerCase> MarkerCases() {
  const Record flat = Rec(0);
  return {
      {"flag 0x4000 on channel 0: kind 0 at the block start",
       2,
       CodedMinute(2, 0, {{Rec(0x4000)}, {flat}}),
       {0, 1},
       {{0}, {}, {}, {}, {}},
       {},
       {}},
      {"flag 0x1000: kind 1 on channel 0, kind 4 on channel 1, nothing on channel 2",
       3,
       CodedMinute(3, 0, {{Rec(0x1000), Rec(0x1000), Rec(0x1000)}, {flat}}),
       {0, 1},
       {{}, {0}, {}, {0}, {}},
       {},
       {}},
      {"flag 0x2000 then 0x8000 in one word: pacemaker first, then the episode opens",
       2,
       CodedMinute(2, 0, {{Rec(0xA000)}, {Rec(0x2000)}}),
       {0, 1},
       {{}, {}, {0}, {}, {}},
       {},
       {0}},
      {"flag 0x8000 on a channel outside the analysed set: nothing",
       3,
       CodedMinute(3, 0, {{flat, flat, Rec(0x8000)}, {flat, flat, Rec(0x2000)}}),
       {0, 1},
       {{}, {}, {3750}, {}, {}},
       {},
       {}},
      {"flag 0x8000 on channel 2 analysed as lead 0",
       3,
       CodedMinute(3, 0, {{flat, flat, Rec(0x8000)}, {flat}}),
       {2},
       {{}, {}, {}, {}, {}},
       {},
       {0}},
      {"code 1 full rate: kind 0 at i",
       2,
       CodedMinute(2, 0, {{flat}, {Rec(0, Zeros(4) + Marker(1))}}),
       {0, 1},
       {{3750 + 5}, {}, {}, {}, {}},
       {},
       {}},
      {"code 1 half rate: kind 0 at 2i - 1",
       2,
       CodedMinute(2, 1, {{flat}, {Rec(0, Zeros(4) + Marker(1))}}),
       {0, 1},
       {{3750 + 9}, {}, {}, {}, {}},
       {},
       {}},
      {"codes -1 and 0: kinds 1 and 2; codes 3 to 8 nothing",
       2,
       CodedMinute(2, 0, {{Rec(0, Marker(-1) + "0" + Marker(0) + Marker(3) + Marker(8))}, {flat}}),
       {0, 1},
       {{}, {1}, {2}, {}, {}},
       {},
       {}},
      {"code 9: kind 5 one sample before the marker",
       2,
       CodedMinute(2, 0, {{Rec(0, Zeros(9) + Marker(9))}, {flat}}),
       {0, 1},
       {{}, {}, {}, {}, {9}},
       {},
       {}},
      {"code 2 twice on channel 1: one closed episode of lead 1",
       2,
       CodedMinute(2, 0, {{flat, Rec(0, Zeros(2) + Marker(2) + Zeros(5) + Marker(2))}, {flat}}),
       {0, 1},
       {{}, {}, {}, {}, {}},
       {{1, 3, 8}},
       {}},
      {"code 0 inside an open episode: no pacemaker",
       2,
       CodedMinute(2, 0, {{Rec(0, Marker(2) + "0" + Marker(0) + "0" + Marker(2) + "0" + Marker(0))}, {flat}}),
       {0, 1},
       {{}, {}, {4}, {}, {}},
       {{0, 1, 3}},
       {}},
      {"raw half rate: flags of word 0 at the block start, of word i at 2i + 1",
       1,
       CodedMinute(1, 3, {{RawRec(0x4000, {0, 0x4000, 0x2005})}, {RawRec(0, {0, 0, 0, 0x1000})}}),
       {0, 1},
       {{0, 5}, {3750 + 9}, {7}, {}, {}},
       {},
       {}},
      {"raw full rate: the same offsets, word 0 one sample in",
       1,
       CodedMinute(1, 2, {{RawRec(0x4000, {0x4000})}, {flat}}),
       {0, 1},
       {{1, 3}, {}, {}, {}, {}},
       {},
       {}},
      {"markers of several records come in ascending position",
       2,
       CodedMinute(2, 0,
                   {{Rec(0, Zeros(99) + Marker(1)), Rec(0, Zeros(4) + Marker(1))}, {Rec(0, Marker(1))}}),
       {0, 1},
       {{5, 100, 3751}, {}, {}, {}, {}},
       {},
       {}},
      {"at one position the later marker comes first: code 0 before the episode closes",
       2,
       CodedMinute(2, 0, {{Rec(0, Marker(2) + Zeros(2) + Marker(2) + Marker(0))}, {flat}}),
       {0, 1},
       {{}, {}, {}, {}, {}},
       {{0, 1, 3}},
       {}},
  };
}

TEST_F(CmpDecoderTest, MarkerKindsAndPositions) {
  for (const MarkerCase& c : MarkerCases()) {
    SCOPED_TRACE(c.name);
    std::vector<int32_t> set(c.analysis.begin(), c.analysis.end());
    document::Context().g_AnalysisChannels.Assign(set);
    markers_.RemoveAll();
    const auto store =
        Open(NewFile(c.channels, {FlatNewMinute(std::vector<uint16_t>(c.channels, 0)), c.minute}));
    TECGBlock block;
    store->GetAnalysisMinute(block, 0, 1, true);
    const int kinds[] = {0, 1, 2, 4, 5};
    for (int k = 0; k < 5; ++k) {
      std::vector<int32_t> want;
      for (int32_t p : c.want[k]) want.push_back(7500 + p);
      EXPECT_EQ(markers_.Positions(kinds[k]), want) << "kind " << kinds[k];
    }
    std::vector<TInfoEpisode> episodes = markers_.Episodes(0);
    episodes.insert(episodes.end(), markers_.Episodes(1).begin(), markers_.Episodes(1).end());
    std::vector<TInfoEpisode> want_episodes;
    for (TInfoEpisode e : c.want_episodes) want_episodes.push_back({e.channel, 7500 + e.start, 7500 + e.end});
    EXPECT_EQ(episodes, want_episodes);
    std::vector<int> open;
    for (int ch = 0; ch < 2; ++ch)
      if (markers_.IsEpisodeOpen(ch)) open.push_back(ch);
    EXPECT_EQ(open, c.want_open);
  }
}

TEST_F(CmpDecoderTest, OldFormatMarkers) {
  // Init flags at the minute start; the literal -128 announces a code and takes no sample.
  BitWriter stream;
  stream.Bits(OldCode(1) + OldCode(0) + OldCode(0) + OldLiteral(-128) + OldCode(1) + OldCode(-1));
  const auto full =
      Open(Concat({FlatOldFile(1), OldBlock(0, 0x4000, 0x1000, stream.Bytes()), FlatOldFile(1)}));
  TECGBlock block;
  full->GetAnalysisMinute(block, 0, 1, true);
  EXPECT_EQ(markers_.Positions(0), (std::vector<int32_t>{7500, 7500 + 5 / 2}));  // the marker at i = 5
  EXPECT_EQ(markers_.Positions(4), (std::vector<int32_t>{7500}));
  const auto ch1 = Samples(*full, 1, 1);
  EXPECT_EQ(ch1[2] - ch1[1], -2);  // the -1 after the marker is channel 1's second step

  markers_.RemoveAll();
  const auto half = Open(Concat({FlatOldFile(1), OldBlock(1, 0, 0, stream.Bytes()), FlatOldFile(1)}));
  half->GetAnalysisMinute(block, 0, 1, true);
  EXPECT_EQ(markers_.Positions(0), (std::vector<int32_t>{7500 + 2 * (5 / 2) - 1}));
}

TEST_F(CmpDecoderTest, MarkersOnlyWhenAskedAndAgainAfterReopen) {
  const auto store = Open(NewFile(1, {CodedMinute(1, 0, {{Rec(0x4000)}, {Rec(0)}})}));
  TECGBlock block;
  store->GetAnalysisMinute(block, 0, 0, false);
  EXPECT_TRUE(markers_.Positions(0).empty());
  store->GetAnalysisMinute(block, 0, 0, true);  // the cached minute is not decoded again
  EXPECT_TRUE(markers_.Positions(0).empty());
  store->Reopen();
  store->GetAnalysisMinute(block, 0, 0, true);
  EXPECT_EQ(markers_.Positions(0), (std::vector<int32_t>{0}));
}

// --- bad input --------------------------------------------------------------------------------

enum class Outcome { kFormatError, kOpens };

struct BadCase {
  const char* name;
  std::vector<uint8_t> bytes;
  Outcome outcome;
  int whole_minutes;
  bool note;  // the scan stopped at damage inside the file
};

std::vector<BadCase> BadCases() {
  std::vector<BadCase> cases;
  cases.push_back({"empty file", {}, Outcome::kFormatError, 0, false});
  cases.push_back({"header cut off", {0x01, 0x80, 30, 0, 2}, Outcome::kFormatError, 0, false});
  cases.push_back({"4 channels", FlatNewFile(4, 3), Outcome::kFormatError, 0, false});
  cases.push_back({"0 channels", Concat({NewHeader(0), FlatNewFile(1, 2)}), Outcome::kFormatError, 0, false});
  cases.push_back({"rate 250 Hz", Concat({NewHeader(2, 30, 250), FlatNewMinute({0, 0})}),
                   Outcome::kFormatError, 0, false});
  cases.push_back({"15-second blocks", Concat({NewHeader(2, 15, 125), FlatNewMinute({0, 0})}),
                   Outcome::kFormatError, 0, false});
  {
    auto bytes = FlatNewFile(2, 6);
    const size_t block = (bytes.size() - 10) / 12;
    bytes.resize(bytes.size() - 3 * block + 100);  // cut inside minute 4, block 1
    cases.push_back({"file cut in the middle", bytes, Outcome::kOpens, 4, true});
  }
  {
    auto bytes = FlatNewFile(2, 6);
    const size_t minute = (bytes.size() - 10) / 6;
    const size_t block1 = 10 + 2 * minute + minute / 2;
    bytes[block1] = 0x10;  // minute 2, block 1: blkLen 0x6010, above 23000
    bytes[block1 + 1] = 0x60;
    cases.push_back({"damaged block length", bytes, Outcome::kOpens, 1, true});
  }
  {
    auto old = FlatOldFile(5);
    old[3 * 908] = 0x85;  // block 3: odd length
    cases.push_back({"old: damaged block 3", old, Outcome::kOpens, 3, true});
  }
  {
    auto old = FlatOldFile(4);
    old.resize(old.size() - 100);
    cases.push_back({"old: last block cut off", old, Outcome::kOpens, 3, true});
  }
  return cases;
}

TEST_F(CmpDecoderTest, BadInput) {
  for (const BadCase& c : BadCases()) {
    SCOPED_TRACE(c.name);
    const std::string path = folder_.Write("bad.CMP", c.bytes);
    if (c.outcome == Outcome::kFormatError) {
      EXPECT_THROW(TRawECGData(&markers_, path), platform::FormatError);
      continue;
    }
    TRawECGData store(&markers_, path);
    EXPECT_EQ(store.GetWholeMinutes(), c.whole_minutes);
    EXPECT_EQ(!store.GetIndexNote().empty(), c.note) << store.GetIndexNote();
    for (int m = 0; m <= store.GetWholeMinutes(); ++m)
      for (int ch = 0; ch < 3; ++ch) store.GetChannelMinute(ch, m);
    EXPECT_EQ(sampletest::ReadAll(path), c.bytes);  // the check never writes
  }
}

TEST_F(CmpDecoderTest, DamagedRecordsShowAFlatLineNeverTheMinuteBefore) {
  struct Case {
    const char* name;
    Block damaged;
    int16_t want_ch0;  // samples of block 0; a record after a refused one is skipped with it
    int16_t want_ch1;
  };
  const std::vector<uint8_t> data(2, 0);
  const Case cases[] = {
      {"record longer than its block", {0, {{50, data, 2000}, {51, data, {}}}, {}}, 0, 0},
      {"record shorter than its header", {0, {{50, data, 2}, {51, data, {}}}, {}}, 0, 0},
      {"second record runs past the block end",
       {0, {{50, std::vector<uint8_t>(886, 0), {}}, {51, data, 10}}, {}},
       100,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Block good1{0, {{60, data, {}}, {61, data, {}}}, {}};
    const auto minute1 = Concat({NewBlock(c.damaged), NewBlock(good1)});
    const auto store = Open(NewFile(2, {FlatNewMinute({40, 41}), minute1}));
    ASSERT_EQ(store->GetWholeMinutes(), 2);
    Samples(*store, 0, 0);  // minute 0 in the cache first
    const auto ch0 = Samples(*store, 0, 1);
    const auto ch1 = Samples(*store, 1, 1);
    EXPECT_EQ(std::vector<int16_t>(ch0.begin(), ch0.begin() + 3750), std::vector<int16_t>(3750, c.want_ch0));
    EXPECT_EQ(std::vector<int16_t>(ch1.begin(), ch1.begin() + 3750), std::vector<int16_t>(3750, c.want_ch1));
    EXPECT_EQ(std::vector<int16_t>(ch0.begin() + 3750, ch0.end()), std::vector<int16_t>(3750, 120));
    EXPECT_EQ(std::vector<int16_t>(ch1.begin() + 3750, ch1.end()), std::vector<int16_t>(3750, 122));
  }
}

TEST_F(CmpDecoderTest, ChannelsTheFileLacksAreZero) {
  const auto store = Open(FlatNewFile(1, 3));
  EXPECT_EQ(Samples(*store, 0, 1), std::vector<int16_t>(7500, 40));
  EXPECT_EQ(Samples(*store, 1, 1), std::vector<int16_t>(7500, 0));
  EXPECT_EQ(Samples(*store, 2, 1), std::vector<int16_t>(7500, 0));
}

}  // namespace
