// Replays the fuzz corpus fixtures of the importers' readers of outside bytes (the KZT exchange
// file and the AHA annotation file; seeds and former findings) through the same checks as the fuzz
// targets. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/io_error.h"
#include "support/test_files.h"
#include "tools/foreign_import.h"
#include "tools/kzt_import.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/tools/fuzz";

void ReplayKzt(std::span<const uint8_t> bytes) {
  const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  const std::optional<tools::KztRecords> records = tools::ParseKztFile(bytes, clock);
  if (!records) return;
  EXPECT_EQ(records->recording.identity_text, "KZT");
  EXPECT_GE(records->patient.sex, 0);
  EXPECT_LE(records->patient.sex, 2);
}

void ReplayAhaAnnotations(std::span<const uint8_t> bytes) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  try {
    const tools::AhaAnnotations annotations = tools::ReadAhaAnnotations(in);
    EXPECT_LE(annotations.codes.size(), bytes.size() / 16);
    EXPECT_EQ(annotations.times.size(), annotations.codes.size());
    EXPECT_EQ(annotations.aux.size(), annotations.codes.size());
  } catch (const platform::FormatError&) {
  }
}

const std::map<std::string, std::function<void(std::span<const uint8_t>)>>& Readers() {
  static const std::map<std::string, std::function<void(std::span<const uint8_t>)>> readers = {
      {"kzt_file", ReplayKzt},
      {"aha_annotations", ReplayAhaAnnotations},
  };
  return readers;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> AhaRecord(uint8_t first, uint8_t mnemonic, uint32_t time_ms, uint16_t aux) {
  return {first,
          mnemonic,
          static_cast<uint8_t>(time_ms >> 16),
          static_cast<uint8_t>(time_ms >> 24),
          static_cast<uint8_t>(time_ms),
          static_cast<uint8_t>(time_ms >> 8),
          static_cast<uint8_t>(aux),
          static_cast<uint8_t>(aux >> 8),
          0,
          0,
          0,
          0,
          0,
          0,
          0,
          0};
}

// Seeds: files as the other programs write them, small enough to mutate.
std::map<std::string, std::vector<uint8_t>> Seeds() {
  std::map<std::string, std::vector<uint8_t>> seeds;
  seeds["kzt_file/seed_crlf"] = Bytes(
      "NAME\tMuster\r\nPATID\t4711\r\nBIRTHDAY\t01.02."
      "1950\r\nPACER\t1\r\nHEIGHT\t180\r\nWEIGHT\t75\r\nSEX\t0\r\n"
      "DATE\t31.12.2003\r\nTIME\t07:05:09\r\n");
  seeds["kzt_file/seed_lf_cp1252_odd_values"] = Bytes(
      "NAME\tM\xFCller-\xC4rzte\nPATID\t\nBIRTHDAY\t31.02.1950\nPACER\t\nHEIGHT\t175.5\nWEIGHT\tx\nSEX\t\n"
      "DATE\t05-03-2004\nTIME\t25:61:61");
  seeds["kzt_file/seed_tenth_line"] = Bytes(
      "NAME\tA\nPATID\tB\nBIRTHDAY\t01.01.2000\nPACER\t0\nHEIGHT\t1\nWEIGHT\t2\nSEX\t1\nDATE\t01.01.2020\n"
      "TIME\t00:00:00\n\n");

  std::vector<uint8_t> records;
  for (const auto& r : {AhaRecord(0, 'N', 400, 0), AhaRecord(0, 'V', 66736, 0xFFFB),
                        AhaRecord(0, '(', 70000, 7), AhaRecord(0xFF, 'N', 0, 0), AhaRecord(0, 'A', 80000, 1)})
    records.insert(records.end(), r.begin(), r.end());
  seeds["aha_annotations/seed_records_then_end"] = records;
  std::vector<uint8_t> every;
  for (int c = 0; c < 256; ++c) {
    const std::vector<uint8_t> r = AhaRecord(0, static_cast<uint8_t>(c), static_cast<uint32_t>(c) * 1000, 0);
    every.insert(every.end(), r.begin(), r.end());
  }
  every.erase(every.end() - 5, every.end());  // the last record cut short
  seeds["aha_annotations/seed_every_mnemonic"] = every;
  return seeds;
}

TEST(ImportFuzzCorpus, SeedsAreCurrent) { testsupport::ExpectSeedsCurrent(kCorpus, Seeds()); }

TEST(ImportFuzzCorpus, EveryFixtureReplaysCleanly) {
  int replayed = 0;
  for (const auto& [reader, replay] : Readers())
    replayed += testsupport::ReplayCorpus(kCorpus / reader, replay);
  EXPECT_GE(replayed, 5);
}

}  // namespace
