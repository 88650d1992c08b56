#include "document/signal_exchange_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "document/ecg_block.h"
#include "document/raw_ecg_data.h"
#include "document/sample_word.h"
#include "document/zk130_info_list.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "sample_test_files.h"

namespace {

using namespace sampletest;

TSignalExchangeFile TwoChannels(uint32_t rate, uint32_t duration, double lsb = 5.0) {
  TSignalExchangeFile h;
  h.duration = duration;
  h.rate = rate;
  h.channel_count = 2;
  h.bits_per_sample = 16;
  h.lsb = lsb;
  h.channel_names[0] = "d1";
  h.channel_names[1] = "d2";
  h.display_count = 2;
  h.display_map = {0, 1};
  return h;
}

std::vector<uint8_t> HeaderBytes(TSignalExchangeFile header) {
  std::ostringstream out;
  EXPECT_TRUE(header.WriteHeader(out));
  const std::string s = out.str();
  return {s.begin(), s.end()};
}

// Frames where the sample of frame f, channel c is the 12-bit value f * 10 + c.
std::vector<uint8_t> KhiFile(const TSignalExchangeFile& header, uint32_t frames) {
  std::vector<uint8_t> bytes = HeaderBytes(header);
  for (uint32_t f = 0; f < frames; ++f)
    for (uint32_t c = 0; c < header.channel_count; ++c)
      PutLE16(bytes, static_cast<uint16_t>((f * 10 + c) & 0x0FFF));
  return bytes;
}

class TSignalExchangeFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  TZK130InfoList markers_;
};

TEST_F(TSignalExchangeFileTest, HeaderRoundTripAndNames) {
  TSignalExchangeFile out = TwoChannels(250, 15001, 2.5);
  out.channel_count = 3;
  out.channel_names[1] = "exactly16chars!!";
  out.channel_names[2] = "a name longer than sixteen";
  out.display_count = 3;
  out.display_map = {2, 0, 1};
  const std::vector<uint8_t> bytes = HeaderBytes(out);
  ASSERT_EQ(bytes.size(), 4096u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "ZK470KHI");
  EXPECT_EQ(bytes[36 + 16 + 15], '!');  // no terminator after 16 characters
  TSignalExchangeFile in;
  ASSERT_TRUE(in.ReadHeader(folder_.Write("h.KHI", bytes)));
  EXPECT_TRUE(in.IsValid());
  EXPECT_EQ(in.version, 1);
  EXPECT_EQ(in.duration, 15001u);
  EXPECT_EQ(in.rate, 250u);
  EXPECT_EQ(in.lsb, 2.5);
  EXPECT_EQ(in.channel_names[0], "d1");
  EXPECT_EQ(in.channel_names[1], "exactly16chars!!");
  EXPECT_EQ(in.channel_names[2], "a name longer th");
  EXPECT_EQ(in.display_count, 3u);
  EXPECT_EQ((std::vector<int32_t>(in.display_map.begin(), in.display_map.begin() + 3)),
            (std::vector<int32_t>{2, 0, 1}));
  EXPECT_EQ(in.GetBytesPerSample(), 2);
}

TEST_F(TSignalExchangeFileTest, DurationInStartedMinutes) {
  struct Case {
    uint32_t rate;
    uint32_t samples;
    int want;
  };
  const Case cases[] = {{250, 15001, 1}, {250, 15250, 2}, {125, 7500 * 30, 30}, {125, 0, 0}};
  for (const Case& c : cases) {
    TSignalExchangeFile h;
    ASSERT_TRUE(h.ReadHeader(folder_.Write("d.KHI", HeaderBytes(TwoChannels(c.rate, c.samples)))));
    EXPECT_EQ(h.GetDurationMinutes(), c.want) << c.samples << " at " << c.rate;
  }
  EXPECT_EQ(TSignalExchangeFile().GetDurationMinutes(), 0);
}

TEST_F(TSignalExchangeFileTest, HeadersOutsideWhatTheReaderHolds) {
  struct Case {
    const char* name;
    size_t offset;
    uint32_t value;
  };
  const Case cases[] = {
      {"other magic", 0, 0x3037345A},
      {"version 2", 8, 2},
      {"no channel", 20, 0},
      {"17 channels", 20, 17},
      {"17 display entries", 292, 17},
      {"map entry beyond the channels", 300, 2},
      {"negative map entry", 296, 0xFFFFFFFF},
      {"rate 0", 16, 0},
      {"rate 100 Hz", 16, 100},
      {"rate 100 kHz", 16, 100000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = HeaderBytes(TwoChannels(250, 15000));
    platform::StoreLE32(bytes.data() + c.offset, c.value);
    TSignalExchangeFile h = TwoChannels(125, 1);
    EXPECT_FALSE(h.ReadHeader(folder_.Write("bad.KHI", bytes)));
    EXPECT_FALSE(h.IsValid());
    EXPECT_EQ(h.rate, 125u);  // unchanged
    EXPECT_THROW(TRawECGData(&markers_, folder_.File("bad.KHI")), platform::FormatError);
  }
  std::vector<uint8_t> nan_lsb =
      HeaderBytes(TwoChannels(250, 15000, std::numeric_limits<double>::quiet_NaN()));
  TSignalExchangeFile h;
  EXPECT_FALSE(h.ReadHeader(folder_.Write("nan.KHI", nan_lsb)));
  std::vector<uint8_t> short_file = HeaderBytes(TwoChannels(250, 15000));
  short_file.resize(4095);
  EXPECT_FALSE(h.ReadHeader(folder_.Write("short.KHI", short_file)));
  EXPECT_FALSE(h.ReadHeader(folder_.File("missing.KHI")));
}

TEST_F(TSignalExchangeFileTest, ReadBlockThinsScalesAndEndsFlat) {
  // 250 Hz, 2.5 microvolts: every second frame, halved, truncated toward zero.
  TSignalExchangeFile header = TwoChannels(250, 15000 + 20, 2.5);
  std::vector<uint8_t> bytes = KhiFile(header, 15000 + 20);
  platform::StoreLE16(bytes.data() + 4096, 0xF7FF);      // frame 0, channel 0: 2047, top bits ignored
  platform::StoreLE16(bytes.data() + 4096 + 2, 0x0FFD);  // frame 0, channel 1: -3
  const std::string path = folder_.Write("r.KHI", bytes);
  TSignalExchangeFile reader;
  ASSERT_TRUE(reader.ReadHeader(path));
  std::array<TECGBlock, 3> blocks;
  for (auto& b : blocks) b.samples.fill(99);
  ASSERT_TRUE(reader.ReadBlock(path, 0, blocks));
  EXPECT_EQ(blocks[0].minute, 0);
  EXPECT_EQ(blocks[0].samples[0], 1023);
  EXPECT_EQ(blocks[1].samples[0], -1);
  EXPECT_EQ(blocks[0].samples[1], 10);  // frame 2: 20 * 0.5
  EXPECT_EQ(blocks[1].samples[3], 30);  // frame 6, channel 1: 61 * 0.5
  EXPECT_EQ(blocks[2].samples[0], 99);  // not displayed

  ASSERT_TRUE(reader.ReadBlock(path, 1, blocks));
  EXPECT_EQ(blocks[0].minute, 1);
  EXPECT_EQ(blocks[0].samples[9], Int12((15018 * 10) & 0x0FFF) / 2);  // the last complete frame taken
  EXPECT_EQ(blocks[0].samples[10], 0);
  EXPECT_EQ(blocks[2].samples[10], 0);  // every block ends flat
}

TEST_F(TSignalExchangeFileTest, ReadBlockFailsWithoutTouchingTheBlocks) {
  TSignalExchangeFile header = TwoChannels(125, 7500);
  const std::string path = folder_.Write("f.KHI", KhiFile(header, 7500));
  std::array<TECGBlock, 3> blocks;
  blocks[0].samples.fill(7);
  blocks[0].minute = 42;

  TSignalExchangeFile unread;
  EXPECT_FALSE(unread.ReadBlock(path, 0, blocks));

  TSignalExchangeFile reader;
  ASSERT_TRUE(reader.ReadHeader(path));
  EXPECT_FALSE(reader.ReadBlock(folder_.File("gone.KHI"), 0, blocks));

  header.bits_per_sample = 24;
  const std::string narrow = folder_.Write("n.KHI", KhiFile(header, 7500));
  TSignalExchangeFile narrow_reader;
  ASSERT_TRUE(narrow_reader.ReadHeader(narrow));
  EXPECT_FALSE(narrow_reader.ReadBlock(narrow, 0, blocks));
  EXPECT_NE(narrow_reader.SampleWidthFault().find("Implementation error"), std::string::npos);
  EXPECT_EQ(reader.SampleWidthFault(), "");
  // The store opens such a file; each minute it is asked for says why it cannot be shown.
  TRawECGData store(&markers_, narrow);
  EXPECT_EQ(store.GetWholeMinutes(), 1);
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    try {
      store.GetChannelMinute(0, 0);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find("Implementation error"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("24 bits"), std::string::npos) << e.what();
    }
  }

  EXPECT_EQ(blocks[0].minute, 42);
  EXPECT_EQ(blocks[0].samples[0], 7);
}

TEST_F(TSignalExchangeFileTest, TheStoreReadsKhiFiles) {
  // 121 seconds: a started third minute of 125 frames.
  TSignalExchangeFile header = TwoChannels(125, 7500 * 2 + 125);
  header.display_count = 1;
  header.display_map[0] = 1;
  TRawECGData store(&markers_, folder_.Write("s.KHI", KhiFile(header, 7500 * 2 + 125)));
  EXPECT_EQ(store.GetReaderKind(), TRawECGData::kReaderKhi);
  EXPECT_EQ(store.GetWholeMinutes(), 3);
  EXPECT_EQ(store.GetChannelCount(), 1);
  const auto block = store.GetChannelMinute(0, 2);
  EXPECT_EQ(block->samples[0], Int12((15000 * 10 + 1) & 0x0FFF));
  EXPECT_EQ(block->samples[124], Int12((15124 * 10 + 1) & 0x0FFF));
  EXPECT_EQ(block->samples[125], 0);
  EXPECT_EQ(store.GetChannelMinute(1, 0)->samples[5], 0);

  std::filesystem::remove(store.GetFileName());
  EXPECT_THROW(store.GetChannelMinute(0, 1), platform::IoError);
}

}  // namespace
