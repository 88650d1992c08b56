#include "support/cmp_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "support/cmp_reference_decoder.h"

namespace testsupport {
namespace {

using Channels = std::vector<std::vector<int16_t>>;

uint16_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

struct MinuteOut {
  std::vector<uint8_t> bytes;
  Channels decoded;
  CmpMinuteModes modes;
};

// Writes the channels (whole minutes) and keeps what the writer says a reader will decode.
MinuteOut Write(CmpFormat format, const Channels& channels, CmpMode mode, const std::vector<CmpMarker>& markers = {}) {
  CmpWriter writer(format, static_cast<int>(channels.size()));
  MinuteOut out;
  out.decoded.assign(channels.size(), std::vector<int16_t>(channels[0].size()));
  for (size_t m = 0; m * kSamplesPerMinute < channels[0].size(); ++m) {
    std::vector<std::span<const int16_t>> in;
    std::vector<std::span<int16_t>> dec;
    for (size_t c = 0; c < channels.size(); ++c) {
      in.emplace_back(channels[c].data() + m * kSamplesPerMinute, kSamplesPerMinute);
      dec.emplace_back(out.decoded[c].data() + m * kSamplesPerMinute, kSamplesPerMinute);
    }
    out.modes = writer.AddMinute(in, mode, markers, dec);
  }
  out.bytes = writer.TakeBytes();
  return out;
}

// A signal with slopes, turning points, plateaus, noise and the odd jump; amplitudes in store units.
// The old format's block holds about 8 bits per sample, so its signals wiggle less.
Channels RandomSignal(uint32_t seed, size_t channels, size_t minutes, int noise, double wiggle = 150.0) {
  std::mt19937 rng(seed);
  Channels out(channels, std::vector<int16_t>(minutes * kSamplesPerMinute));
  for (size_t c = 0; c < channels; ++c) {
    double phase = static_cast<double>(rng() % 1000);
    for (size_t i = 0; i < out[c].size(); ++i) {
      double v = 400.0 * std::sin(phase + static_cast<double>(i) * 0.05) + wiggle * std::sin(static_cast<double>(i) * 0.71);
      if ((i / 700) % 5 == 2) v = 80.0;  // plateau
      if (noise > 0) v += static_cast<double>(static_cast<int>(rng() % static_cast<uint32_t>(2 * noise + 1)) - noise);
      if (rng() % 4000 == 0) v += (rng() % 2 == 0 ? 1500.0 : -1500.0);
      out[c][i] = static_cast<int16_t>(std::lround(v));
    }
  }
  return out;
}

bool IsCoded(CmpMode mode) { return mode == CmpMode::kCodedFull || mode == CmpMode::kCodedHalf; }

const char* Name(CmpFormat format, CmpMode mode) {
  static const char* names[2][4] = {{"old coded full", "old coded half", "", ""},
                                    {"new coded full", "new coded half", "new raw full", "new raw half"}};
  return names[format == CmpFormat::kNew][static_cast<int>(mode)];
}

struct FormatMode {
  CmpFormat format;
  CmpMode mode;
};
constexpr FormatMode kAllModes[] = {{CmpFormat::kOld, CmpMode::kCodedFull}, {CmpFormat::kOld, CmpMode::kCodedHalf},
                                    {CmpFormat::kNew, CmpMode::kCodedFull}, {CmpFormat::kNew, CmpMode::kCodedHalf},
                                    {CmpFormat::kNew, CmpMode::kRawFull},   {CmpFormat::kNew, CmpMode::kRawHalf}};

TEST(CmpWriter, WritesHeaderBlocksAndRecordsAsLaidOut) {
  const Channels three = RandomSignal(1, 3, 2, 3);
  const MinuteOut written = Write(CmpFormat::kNew, three, CmpMode::kCodedFull);
  const auto& bytes = written.bytes;
  EXPECT_EQ(WordAt(bytes, 0), 0x8000);
  EXPECT_EQ(WordAt(bytes, 2), 30);
  EXPECT_EQ(WordAt(bytes, 4), 3);
  EXPECT_EQ(WordAt(bytes, 6), 125);
  EXPECT_EQ(WordAt(bytes, 8), kDefaultBaseSens);
  size_t offset = 10;
  for (int block = 0; block < 4; ++block) {
    SCOPED_TRACE(block);
    const uint16_t block_len = WordAt(bytes, offset);
    EXPECT_EQ(block_len % 2, 0);
    EXPECT_GE(block_len, 900);
    EXPECT_LE(block_len, 23000);
    EXPECT_EQ(WordAt(bytes, offset + 2), 0);
    size_t sum = 4;
    size_t record = offset + 4;
    for (int c = 0; c < 3; ++c) {
      sum += WordAt(bytes, record);
      record += WordAt(bytes, record);
    }
    EXPECT_EQ(sum, block_len);
    offset += block_len;
  }
  EXPECT_EQ(offset, bytes.size());

  // Readers count one minute fewer than a new-format file holds; the old format counts them all.
  const ReferenceDecoding decoded_new = DecodeCmpReference(bytes);
  EXPECT_EQ(decoded_new.generation, 2);
  EXPECT_EQ(decoded_new.stored_minutes, 2);
  EXPECT_EQ(decoded_new.whole_minutes, 1);

  const MinuteOut old = Write(CmpFormat::kOld, RandomSignal(2, 2, 2, 3, 40.0), CmpMode::kCodedFull);
  EXPECT_EQ(WordAt(old.bytes, 0) & 0x8000, 0);
  const size_t first_len = WordAt(old.bytes, 0);
  EXPECT_EQ(WordAt(old.bytes, 8 + first_len + 2), 0) << "second block head";
  EXPECT_EQ(8 + first_len + 8 + WordAt(old.bytes, 8 + first_len), old.bytes.size());
  const ReferenceDecoding decoded_old = DecodeCmpReference(old.bytes);
  EXPECT_EQ(decoded_old.generation, 1);
  EXPECT_EQ(decoded_old.whole_minutes, 2);
}

TEST(CmpWriter, FlatMinutesArePaddedToTheSmallestBlock) {
  const Channels flat(1, std::vector<int16_t>(kSamplesPerMinute, 100));
  const MinuteOut written = Write(CmpFormat::kNew, flat, CmpMode::kCodedFull);
  EXPECT_EQ(WordAt(written.bytes, 10), 900);
  EXPECT_EQ(WordAt(written.bytes, 14), 896) << "chanLen takes the padding";
  EXPECT_EQ(WordAt(written.bytes, 16), 50) << "initial value 100 / 2";
  EXPECT_EQ(written.decoded[0], flat[0]);

  const Channels flat_old(2, std::vector<int16_t>(kSamplesPerMinute, -4096));
  const MinuteOut old = Write(CmpFormat::kOld, flat_old, CmpMode::kCodedFull);
  EXPECT_EQ(WordAt(old.bytes, 0), 1876) << "14998 one-bit zeros in 938 words";
  EXPECT_EQ(WordAt(old.bytes, 4), 0x0800) << "-2048 as 12 bits";
  const ReferenceDecoding decoded = DecodeCmpReference(old.bytes);
  EXPECT_EQ(decoded.samples, flat_old);
}

// The first data word of a record (new) or block (old) for an accumulator sequence at the start of
// channel 0, the rest flat.
TEST(CmpWriter, CodeWordsForKnownSteps) {
  struct Case {
    const char* name;
    CmpFormat format;
    std::vector<int> acc;
    uint16_t first_word;
  };
  const Case cases[] = {
      {"one up", CmpFormat::kNew, {0, 1}, 0x8000},
      {"peak +2 -2 is written +1 -1", CmpFormat::kNew, {0, 2, 0}, 0x8900},
      {"+1 +2 -2 is written +1 +1 -1", CmpFormat::kNew, {0, 1, 3, 1}, 0x8890},
      {"5 is symbol 4", CmpFormat::kNew, {0, 5}, 0xE000},
      {"-7 is symbol -5", CmpFormat::kNew, {0, -7}, 0xF400},
      {"15 is symbol 9", CmpFormat::kNew, {0, 15}, 0xFF00},
      {"17 is an 8-bit literal 10", CmpFormat::kNew, {0, 17}, 0xC0A0},
      {"old: 15 is symbol 9", CmpFormat::kOld, {0, 15}, 0xFF00},
      {"old: 251 is literal 127 then 0", CmpFormat::kOld, {0, 251}, 0xC7F0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t channels = c.format == CmpFormat::kOld ? 2 : 1;
    Channels signal(channels, std::vector<int16_t>(kSamplesPerMinute, 0));
    for (size_t i = 0; i < kSamplesPerMinute; ++i) {
      signal[0][i] = static_cast<int16_t>(2 * c.acc[std::min(i, c.acc.size() - 1)]);
    }
    const MinuteOut written = Write(c.format, signal, CmpMode::kCodedFull);
    const size_t data = c.format == CmpFormat::kOld ? 8 : 10 + 4 + 4;
    EXPECT_EQ(WordAt(written.bytes, data), c.first_word);
    EXPECT_EQ(written.decoded, signal);
    EXPECT_EQ(DecodeCmpReference(written.bytes).samples[0], std::vector<int16_t>(signal[0]));
  }
}

// Ten random minutes per generation and mode: what the writer makes of any signal is a signal a
// reader can produce, and writing that again gives it back sample for sample.
TEST(CmpWriter, RepresentableSignalsComeBackExactly) {
  for (const FormatMode& fm : kAllModes) {
    SCOPED_TRACE(Name(fm.format, fm.mode));
    const size_t channels = fm.format == CmpFormat::kOld ? 2 : 3;
    const Channels input = RandomSignal(7, channels, 10, 6, fm.format == CmpFormat::kOld ? 40.0 : 150.0);
    const MinuteOut first = Write(fm.format, input, fm.mode);
    const ReferenceDecoding first_read = DecodeCmpReference(first.bytes);
    ASSERT_EQ(first_read.samples, first.decoded) << "the writer predicts the reader";

    const MinuteOut second = Write(fm.format, first.decoded, fm.mode);
    const ReferenceDecoding second_read = DecodeCmpReference(second.bytes);
    EXPECT_EQ(second_read.samples, first.decoded);
    for (int mode : second_read.block_modes) EXPECT_EQ(mode, static_cast<int>(fm.mode));
  }
}

// Streams of random written differences, including ones the writer itself would not choose:
// the writer undoes the reader's peak correction for every one of them.
TEST(CmpWriter, RandomStreamsOfDifferencesComeBackExactly) {
  std::mt19937 rng(99);
  for (const CmpFormat format : {CmpFormat::kOld, CmpFormat::kNew}) {
    SCOPED_TRACE(format == CmpFormat::kOld ? "old" : "new");
    const size_t channels = format == CmpFormat::kOld ? 2 : 1;
    Channels signal(channels, std::vector<int16_t>(10 * kSamplesPerMinute));
    for (size_t c = 0; c < channels; ++c) {
      for (size_t start = 0; start < signal[c].size(); start += 3750) {
        // One stream per record (new) or per minute (old); the peak correction restarts with each.
        const size_t length = format == CmpFormat::kOld ? 7500 : 3750;
        if (start % length != 0) continue;
        std::vector<int32_t> d(length, 0);
        int32_t acc = static_cast<int32_t>(rng() % 400) - 200;
        for (size_t j = 1; j < length; ++j) {
          const uint32_t r = rng() % 100;
          int32_t e = 0;
          if (r < 40) {
            e = 0;
          } else if (r < 90) {
            e = static_cast<int32_t>(rng() % 7) - 3;
          } else {
            e = 2 * static_cast<int32_t>(rng() % 60) + 5;  // odd, 5..123
          }
          // Keep the accumulator in range by steering the sign.
          if ((acc > 1000 && e > 0) || (acc < -1000 && e < 0) || (r >= 90 && rng() % 2 == 0)) e = -e;
          d[j] = e;
          acc += e;
        }
        std::vector<int32_t> corrected = d;
        ApplyPeakCorrection(corrected);
        int32_t y = static_cast<int32_t>(rng() % 400) - 200;
        for (size_t j = 0; j < length; ++j) {
          if (j > 0) y += corrected[j];
          signal[c][start + j] = static_cast<int16_t>(2 * y);
        }
      }
    }
    const MinuteOut written = Write(format, signal, CmpMode::kCodedFull);
    EXPECT_EQ(written.decoded, signal);
    EXPECT_EQ(DecodeCmpReference(written.bytes).samples, signal);
  }
}

TEST(CmpWriter, SignalsOutsideTheFormatStayClose) {
  for (const FormatMode& fm : kAllModes) {
    SCOPED_TRACE(Name(fm.format, fm.mode));
    const size_t channels = fm.format == CmpFormat::kOld ? 2 : 3;
    const Channels input = RandomSignal(11, channels, 3, 8, fm.format == CmpFormat::kOld ? 40.0 : 150.0);
    const MinuteOut written = Write(fm.format, input, fm.mode);
    const bool half = fm.mode == CmpMode::kCodedHalf || fm.mode == CmpMode::kRawHalf;
    int worst = 0;
    long total = 0;
    long count = 0;
    for (size_t c = 0; c < channels; ++c) {
      for (size_t i = 0; i < input[c].size(); ++i) {
        // Half rate keeps every second sample (and the last of a block); the rest is interpolated.
        const size_t block = fm.format == CmpFormat::kOld ? 7500 : 3750;
        if (half && i % 2 == 1 && (i % block) != block - 1) continue;
        const int error = std::abs(written.decoded[c][i] - input[c][i]);
        worst = std::max(worst, error);
        total += error;
        ++count;
      }
    }
    // Half of all samples are odd and come back one off; the peak correction costs up to two
    // accumulator steps (four units) around turning points buried in noise.
    EXPECT_LE(worst, IsCoded(fm.mode) ? 5 : 1);
    EXPECT_LT(static_cast<double>(total) / static_cast<double>(count), 1.1);
    EXPECT_EQ(written.modes.first, fm.mode);
  }
}

TEST(CmpWriter, MarkersLandWhereTheReaderReportsThem) {
  const std::vector<CmpMarker> markers = {
      {CmpMarker::Type::kCode, 0, 5000, 0},           {CmpMarker::Type::kCode, 1, 7500 + 100, 1},
      {CmpMarker::Type::kCode, 0, 7500 + 3750, -1},  {CmpMarker::Type::kCode, 0, 7500 + 3751, 9},
      {CmpMarker::Type::kCode, 1, 2, 2},              {CmpMarker::Type::kFlags, 0, 0, 0x4000},
      {CmpMarker::Type::kFlags, 1, 7500 + 4000, 0x8000}, {CmpMarker::Type::kCode, 0, 100000, 1}};
  for (const FormatMode& fm : kAllModes) {
    SCOPED_TRACE(Name(fm.format, fm.mode));
    const Channels input = RandomSignal(5, 2, 2, 4);
    CmpWriter writer(fm.format, 2);
    std::vector<std::span<const int16_t>> in(2);
    for (size_t m = 0; m < 2; ++m) {
      for (size_t c = 0; c < 2; ++c) in[c] = std::span<const int16_t>(input[c]).subspan(m * kSamplesPerMinute, kSamplesPerMinute);
      writer.AddMinute(in, fm.mode, markers);
    }
    std::vector<std::tuple<int32_t, int, bool, int>> placed;
    for (const CmpMarker& m : writer.PlacedMarkers())
      placed.emplace_back(m.position, m.channel, m.type == CmpMarker::Type::kCode, m.value);
    std::vector<std::tuple<int32_t, int, bool, int>> read;
    for (const ReferenceMarker& m : DecodeCmpReference(writer.Bytes()).markers)
      read.emplace_back(m.position, m.channel, m.is_code, m.value);
    std::sort(placed.begin(), placed.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(placed, read);
    EXPECT_EQ(DecodeCmpReference(writer.Bytes()).samples[0].size(), 2u * kSamplesPerMinute) << "markers take no samples";
    // The marker beyond the written minutes is not written.
    for (const auto& p : placed) EXPECT_LT(std::get<0>(p), 2 * kSamplesPerMinute);
  }

  // Where the format holds them exactly: full rate, inside the stream.
  const Channels input = RandomSignal(5, 2, 1, 4);
  const MinuteOut written = Write(CmpFormat::kNew, input, CmpMode::kCodedFull,
                                  {{CmpMarker::Type::kCode, 0, 5000, 0}, {CmpMarker::Type::kCode, 1, 3751, 9}});
  ReferenceDecoding read = DecodeCmpReference(written.bytes);
  std::sort(read.markers.begin(), read.markers.end(),
            [](const ReferenceMarker& a, const ReferenceMarker& b) { return a.position < b.position; });
  ASSERT_EQ(read.markers.size(), 2u);
  EXPECT_EQ(read.markers[0].position, 3751);
  EXPECT_EQ(read.markers[0].value, 9);
  EXPECT_EQ(read.markers[1].position, 5000);
}

TEST(CmpWriter, OverfullBlocksFallBack) {
  std::mt19937 rng(3);
  Channels wild(3, std::vector<int16_t>(kSamplesPerMinute));
  for (auto& channel : wild)
    for (auto& v : channel) v = static_cast<int16_t>(static_cast<int>(rng() % 8000) - 4000);
  const MinuteOut raw = Write(CmpFormat::kNew, wild, CmpMode::kCodedFull);
  EXPECT_EQ(raw.modes.first, CmpMode::kRawFull);
  EXPECT_EQ(raw.modes.second, CmpMode::kRawFull);
  EXPECT_EQ(DecodeCmpReference(raw.bytes).samples, raw.decoded);

  Channels wild_old(wild.begin(), wild.begin() + 2);
  for (auto& channel : wild_old)
    for (size_t i = 0; i < channel.size(); ++i) channel[i] = static_cast<int16_t>((i % 2 == 0 ? 1 : -1) * 60);
  const MinuteOut half = Write(CmpFormat::kOld, wild_old, CmpMode::kCodedFull);
  EXPECT_EQ(half.modes.first, CmpMode::kCodedHalf);
  EXPECT_EQ(DecodeCmpReference(half.bytes).samples, half.decoded);

  Channels hopeless(2, std::vector<int16_t>(kSamplesPerMinute));
  for (auto& channel : hopeless)
    for (auto& v : channel) v = static_cast<int16_t>(static_cast<int>(rng() % 8000) - 4000);
  EXPECT_THROW(Write(CmpFormat::kOld, hopeless, CmpMode::kCodedFull), std::runtime_error);
}

TEST(CmpWriter, RefusesWhatTheFormatCannotHold) {
  EXPECT_THROW(CmpWriter(CmpFormat::kOld, 3), std::invalid_argument);
  EXPECT_THROW(CmpWriter(CmpFormat::kNew, 4), std::invalid_argument);
  EXPECT_THROW(CmpWriter(CmpFormat::kNew, 0), std::invalid_argument);

  const std::vector<int16_t> minute(kSamplesPerMinute, 0);
  const std::vector<int16_t> short_minute(100, 0);
  const std::span<const int16_t> two[] = {minute, minute};
  const std::span<const int16_t> short_one[] = {short_minute, minute};
  CmpWriter old(CmpFormat::kOld, 2);
  EXPECT_THROW(old.AddMinute(two, CmpMode::kRawFull), std::invalid_argument);
  EXPECT_THROW(old.AddMinute(short_one, CmpMode::kCodedFull), std::invalid_argument);
  const CmpMarker bad_channel[] = {{CmpMarker::Type::kCode, 2, 10, 0}};
  EXPECT_THROW(old.AddMinute(two, CmpMode::kCodedFull, bad_channel), std::invalid_argument);
  const CmpMarker bad_flags[] = {{CmpMarker::Type::kFlags, 0, 10, 0x0100}};
  EXPECT_THROW(old.AddMinute(two, CmpMode::kCodedFull, bad_flags), std::invalid_argument);
  EXPECT_EQ(old.Minutes(), 0);
  EXPECT_TRUE(old.Bytes().empty());
}

TEST(CmpWriter, EncodeCmpPadsTheLastMinute) {
  Channels signal(2, std::vector<int16_t>(kSamplesPerMinute + 10, 0));
  signal[0].back() = 42;
  const ReferenceDecoding read = DecodeCmpReference(EncodeCmp(CmpFormat::kNew, signal));
  EXPECT_EQ(read.stored_minutes, 2);
  EXPECT_EQ(read.samples[0][kSamplesPerMinute + 9], 42);
  EXPECT_EQ(read.samples[0].back(), 42);
}

}  // namespace
}  // namespace testsupport
