// A real MIT-BIH record, brought to the store's rate and unit by the test-data converter, read
// back through the sample store both as a compressed file and as a reference signal file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "document/raw_ecg_data.h"
#include "document/zk130_info_list.h"
#include "sample_test_files.h"
#include "support/wfdb_converter.h"

namespace {

constexpr int kSamples = 7500;

TEST(RealEcg, MitBihRecordOpensWithItsLengthAndSamples) {
  const std::filesystem::path mitdb = std::filesystem::path(ZK_SHARED_DIR) / "data/mitdb";
  if (!std::filesystem::exists(mitdb / "100.hea")) GTEST_SKIP() << "no MIT-BIH records in " << mitdb;
  sampletest::TempFolder folder;
  const testsupport::WfdbConversion conversion =
      testsupport::ConvertWfdbRecordToFiles(mitdb / "100", folder.Path() / "00100");
  ASSERT_EQ(conversion.channels, 2);

  TZK130InfoList markers;
  TRawECGData cmp(&markers, folder.File("00100.CMP"));
  EXPECT_EQ(cmp.GetWholeMinutes(), 30);
  EXPECT_EQ(cmp.GetChannelCount(), 2);
  // The compressed file gives exactly what the writer says a reader decodes (even values close to
  // the record; how close is the writer's business).
  for (int c = 0; c < 2; ++c) {
    for (int m = 0; m < cmp.GetWholeMinutes(); ++m) {
      const auto block = cmp.GetChannelMinute(c, m);
      for (int i = 0; i < kSamples; ++i) {
        const size_t at = static_cast<size_t>(m * kSamples + i);
        ASSERT_EQ(block->samples[static_cast<size_t>(i)], conversion.cmp_samples[static_cast<size_t>(c)][at])
            << "channel " << c << " sample " << at;
      }
    }
  }

  // The reference signal file holds the resampled record itself, its started last minute included:
  // the store gives it back exactly.
  TRawECGData reference(&markers, folder.File("00100.152"));
  EXPECT_EQ(reference.GetReaderKind(), TRawECGData::kReaderRefSignal);
  const int minutes = static_cast<int>((conversion.resampled[0].size() + kSamples - 1) / kSamples);
  EXPECT_EQ(reference.GetWholeMinutes(), minutes);
  for (int c = 0; c < 2; ++c) {
    const auto& resampled = conversion.resampled[static_cast<size_t>(c)];
    for (int m = 0; m < minutes; ++m) {
      const auto block = reference.GetChannelMinute(c, m);
      for (int i = 0; i < kSamples; ++i) {
        const size_t at = static_cast<size_t>(m * kSamples + i);
        ASSERT_EQ(block->samples[static_cast<size_t>(i)], at < resampled.size() ? resampled[at] : 0)
            << "channel " << c << " sample " << at;
      }
    }
  }
}

}  // namespace
