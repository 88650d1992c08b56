#include "support/wfdb_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "support/cmp_reference_decoder.h"
#include "support/recording_setup.h"
#include "support/test_files.h"
#include "support/wfdb_test_files.h"

namespace testsupport {
namespace {

const std::filesystem::path kMitdb = std::filesystem::path(ZK_SHARED_DIR) / "data" / "mitdb";

std::filesystem::path TestDir() { return MakeTestDir("conv"); }

// 150 s at 360 Hz: a 1 mV, 5 Hz sine on signal 0 (ADC zero 1024, gain 200), -0.5 mV on signal 1.
WfdbRecord SineRecord(size_t signals) {
  WfdbRecord record;
  record.header.record_name = "sine";
  record.header.sampling_frequency = 360.0;
  const size_t length = 150 * 360;
  for (size_t s = 0; s < signals; ++s) {
    WfdbSignal signal;
    signal.format = 212;
    signal.gain = 200.0;
    signal.baseline = 1024;
    signal.adc_zero = 1024;
    record.header.signals.push_back(signal);
    std::vector<int16_t> samples(length);
    for (size_t i = 0; i < length; ++i) {
      samples[i] = static_cast<int16_t>(
          s == 0 ? 1024 + std::lround(200.0 * std::sin(2.0 * std::numbers::pi * 5.0 * i / 360.0)) : 1024 - 100 * static_cast<int>(s));
    }
    record.samples.push_back(std::move(samples));
  }
  record.header.samples_per_signal = static_cast<int64_t>(length);
  return record;
}

TEST(WfdbConverter, ResamplesScalesAndEncodes) {
  const std::vector<WfdbAnnotation> annotations = {
      {360, 1, 0, 0, 0, {}}, {1000, 28, 0, 0, 0, "(N"}, {1800, 5, 0, 0, 0, {}}, {7200, 31, 0, 0, 0, {}},
      {43190, 8, 0, 0, 0, {}}, {53999, 1, 0, 0, 0, {}}};
  const WfdbConversion c = ConvertWfdbRecord(SineRecord(2), annotations);
  EXPECT_EQ(c.channels, 2);
  EXPECT_EQ(c.minutes, 2);
  ASSERT_EQ(c.resampled.size(), 2u);
  EXPECT_EQ(c.resampled[0].size(), 150u * 125u);
  // 1 mV = 200 units: the sine's peaks, and the second signal's -0.5 mV.
  const auto [lo, hi] = std::minmax_element(c.resampled[0].begin() + 500, c.resampled[0].end() - 500);
  EXPECT_NEAR(*hi, 200, 1);
  EXPECT_NEAR(*lo, -200, 1);
  EXPECT_EQ(c.resampled[1][1000], -100);

  // The compressed file decodes to what the conversion says, within a few units of the record.
  const ReferenceDecoding read = DecodeCmpReference(c.cmp_bytes);
  EXPECT_EQ(read.whole_minutes, 2);
  ASSERT_EQ(c.cmp_samples[0].size(), 2u * 7500u);
  for (size_t ch = 0; ch < 2; ++ch) {
    EXPECT_TRUE(std::equal(c.cmp_samples[ch].begin(), c.cmp_samples[ch].end(), read.samples[ch].begin()));
    for (size_t i = 0; i < c.cmp_samples[ch].size(); ++i) ASSERT_LE(std::abs(c.cmp_samples[ch][i] - c.resampled[ch][i]), 3) << i;
  }

  // References in milliseconds of whole 125 Hz samples (8 ms) with the statistic's labels: sample
  // 43190 at 360 Hz is 14997.03 at 125 Hz, so 119976 ms (truncated milliseconds would give 119972,
  // one sample early); truth at 125 Hz within the shown minutes.
  const std::vector<ReferenceBeat> references = {
      {1000, '.'}, {5000, 'V'}, {20000, '!'}, {119976, 'A'}, {150000, '.'}};
  EXPECT_EQ(c.references, references);
  const std::vector<TruthBeat> beats = {{125, 1}, {625, 15}, {14997, 9}};
  EXPECT_EQ(c.truth.beats, beats);
}

TEST(WfdbConverter, FitsTheChannelCountTheReferenceFileHolds) {
  EXPECT_EQ(ConvertWfdbRecord(SineRecord(1), {}).channels, 2);
  const WfdbConversion one = ConvertWfdbRecord(SineRecord(1), {});
  EXPECT_EQ(one.resampled[0], one.resampled[1]) << "the one signal twice";
  const WfdbConversion four = ConvertWfdbRecord(SineRecord(4), {});
  EXPECT_EQ(four.channels, 3);
  EXPECT_EQ(four.resampled[2][1000], -200) << "signal 2 kept, signal 3 dropped";

  WfdbRecord fractional = SineRecord(2);
  fractional.header.sampling_frequency = 360.5;
  EXPECT_THROW(ConvertWfdbRecord(fractional, {}), platform::FormatError);
  WfdbRecord empty = SineRecord(2);
  for (auto& s : empty.samples) s.clear();
  EXPECT_THROW(ConvertWfdbRecord(empty, {}), platform::FormatError);
}

TEST(WfdbConverter, WritesTheRecordingFiles) {
  const std::filesystem::path dir = TestDir();
  const WfdbRecord sine = SineRecord(2);
  const std::filesystem::path record =
      WriteTestRecord(dir, "sine", 360, sine.samples, {{360, 1}, {1800, 5}, {43199, 8}});
  const WfdbConversion c = ConvertWfdbRecordToFiles(record, dir / "MIT900");

  EXPECT_EQ(platform::ReadFileBytes(dir / "MIT900.CMP"), c.cmp_bytes);
  const std::vector<uint8_t> reference = platform::ReadFileBytes(dir / "MIT900.152");
  ASSERT_EQ(reference.size(), c.resampled[0].size() * 2 * 2);
  for (size_t i = 0; i < c.resampled[0].size(); i += 997) {
    for (size_t ch = 0; ch < 2; ++ch) {
      const uint16_t word = platform::LoadLE16(&reference[(i * 2 + ch) * 2]);
      EXPECT_EQ(word & 0xF000, 0);
      EXPECT_EQ(static_cast<int16_t>(static_cast<uint16_t>(word << 4)) >> 4, c.resampled[ch][i]);
    }
  }
  EXPECT_EQ(ReadAnoFile(dir / "MIT900.ANO"), c.references);
  EXPECT_EQ(platform::ReadFileBytes(dir / "MIT900.ANO").size(), 3u * 5u);
  EXPECT_EQ(ReadTruthList(dir / "MIT900.truth.txt"), c.truth);
  const RecordingSetup setup = ReadRecordingSetup(dir / "MIT900.setup.txt");
  EXPECT_EQ(setup.sample_file, "MIT900.CMP");
  EXPECT_EQ(setup.reference_file, "MIT900.152");
  EXPECT_EQ(setup.annotation_file, "MIT900.ANO");
  EXPECT_EQ(setup.channels, 2);
  EXPECT_EQ(setup.minutes, 2);

  // No annotation file: an empty reference list, still every file.
  std::filesystem::remove(dir / "sine.atr");
  EXPECT_TRUE(ConvertWfdbRecordToFiles(record, dir / "bare").references.empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "bare.ANO"));
  // A record that does not read leaves nothing behind.
  EXPECT_THROW(ConvertWfdbRecordToFiles(dir / "missing", dir / "none"), platform::IoError);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.CMP"));
}

TEST(WfdbConverter, ConvertsMitBihRecord100) {
  if (!std::filesystem::exists(kMitdb / "100.hea")) GTEST_SKIP() << "no MIT-BIH records in " << kMitdb;
  const std::filesystem::path dir = TestDir();
  const WfdbConversion c = ConvertWfdbRecordToFiles(kMitdb / "100", dir / "MIT100");
  EXPECT_EQ(c.minutes, 30);
  EXPECT_EQ(c.resampled[0].size(), 225695u);
  EXPECT_EQ(std::filesystem::file_size(dir / "MIT100.152"), 225695u * 4u);
  EXPECT_EQ(c.references.size(), 2273u);
  EXPECT_EQ(std::count_if(c.references.begin(), c.references.end(), [](const ReferenceBeat& r) { return r.label == 'A'; }),
            33);
  // Beats of the last 5.6 s lie beyond the 30 minutes shown.
  EXPECT_GT(c.truth.beats.size(), 2260u);
  EXPECT_LT(c.truth.beats.size(), 2273u);

  // Every 25th output sample falls on an input sample (72 x 125 / 360): there the resampled record
  // equals the original (gain 200 per mV = 5 microvolts per unit) up to what the filter removes.
  const WfdbRecord record = ReadWfdbRecord(kMitdb / "100");
  double difference = 0.0;
  size_t compared = 0;
  for (size_t n = 25; n + 25 < c.resampled[0].size(); n += 25) {
    difference += std::abs(c.resampled[0][n] - (record.samples[0][n / 25 * 72] - 1024));
    ++compared;
  }
  EXPECT_LT(difference / static_cast<double>(compared), 2.0);

  // The compressed file holds the record within a few units: its even values cost one unit, and
  // wiggles of one accumulator step cannot turn (the reader's peak correction makes every turn at
  // least two steps), so a fifth of the samples of this record are two or three units off.
  const ReferenceDecoding read = DecodeCmpReference(platform::ReadFileBytes(dir / "MIT100.CMP"));
  EXPECT_EQ(read.whole_minutes, 30);
  size_t within_one = 0;
  int worst = 0;
  double total = 0.0;
  for (size_t ch = 0; ch < 2; ++ch) {
    for (size_t i = 0; i < 30u * 7500u; ++i) {
      ASSERT_EQ(read.samples[ch][i], c.cmp_samples[ch][i]);
      const int error = std::abs(c.cmp_samples[ch][i] - c.resampled[ch][i]);
      worst = std::max(worst, error);
      within_one += error <= 1 ? 1 : 0;
      total += error;
    }
  }
  EXPECT_LE(worst, 5);
  EXPECT_GT(static_cast<double>(within_one) / (2.0 * 30 * 7500), 0.75);
  EXPECT_LT(total / (2.0 * 30 * 7500), 1.0);
}

}  // namespace
}  // namespace testsupport
