// Replays the fuzz corpus fixtures of the ".STT" reader (seeds and former findings) through the
// same checks as the fuzz target. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/io_error.h"
#include "support/esc_records.h"
#include "support/test_files.h"
#include "tools/validation/stt_statistic.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/tools/fuzz/stt_file";

// Seeds: files as the reference database's conversion writes them, and the faults the reader
// refuses, small enough to mutate.
std::map<std::string, std::vector<uint8_t>> Seeds() {
  std::map<std::string, std::vector<uint8_t>> seeds;
  seeds["seed_both_channels_and_other_types"] = coretest::EncodeSttRecords(
      {{0, 0, -25}, {0, 1, 120}, {14999, 0, 0, 1}, {15000, 1, -300}, {15000, 0, 7, 3}, {3600000, 0, 32767}});
  std::vector<uint8_t> cut = coretest::EncodeSttRecords({{1000, 0, 50}, {2000, 1, -50}});
  cut.resize(cut.size() - 3);
  seeds["seed_incomplete_last"] = cut;
  seeds["seed_decreasing_time"] = coretest::EncodeSttRecords({{20000, 0, 10}, {19999, 0, 10}});
  seeds["seed_type_zero"] = std::vector<uint8_t>(16, 0);
  return seeds;
}

void Replay(const std::vector<uint8_t>& bytes) {
  try {
    const std::vector<tools::STTRecord> records = tools::ParseSTTRecords(bytes, "corpus.STT");
    EXPECT_EQ(records.size(), bytes.size() / 8);
    int32_t previous = 0;
    for (const tools::STTRecord& record : records) {
      EXPECT_GE(record.time_ms, previous);
      EXPECT_NE(record.Type(), 0);
      previous = record.time_ms;
    }
  } catch (const platform::FormatError&) {
  }
}

TEST(STTFileCorpus, SeedsAreCurrent) { testsupport::ExpectSeedsCurrent(kCorpus, Seeds()); }

TEST(STTFileCorpus, EveryFixtureReplaysCleanly) { EXPECT_GE(testsupport::ReplayCorpus(kCorpus, Replay), 4); }

}  // namespace
