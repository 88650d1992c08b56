// Replays the fuzz corpus fixtures of the validation readers of outside bytes (the statistic's
// ".ANO" references and the reference annotation files; seeds and former findings) through the
// same checks as the fuzz targets. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "document/qrs_list.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "support/test_files.h"
#include "tools/validation/annotation_statistic.h"
#include "tools/validation/reference_annotations.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/tools/fuzz";

fs::path Scratch() {
  static const fs::path dir = testsupport::MakeTestDir("validation_fuzz_corpus");
  return dir;
}

void ReplayAnoFile(std::span<const uint8_t> bytes) {
  const fs::path path = Scratch() / "replay.ANO";
  testsupport::WriteBytes(path, Bytes(bytes.begin(), bytes.end()));
  try {
    const std::vector<tools::RefBeat> references = tools::ReadAnoFile(path.string());
    EXPECT_EQ(references.size(), bytes.size() / 5);
    int32_t last = 0;
    for (const tools::RefBeat& r : references) {
      EXPECT_GE(r.time_ms, last);
      EXPECT_GE(r.label, 0x20);
      EXPECT_LE(r.label, 0x7E);
      last = r.time_ms;
    }
  } catch (const platform::IoError&) {
  }
}

void ReplayRefAnnotations(std::span<const uint8_t> bytes) {
  const fs::path path = Scratch() / "replay.MIN";
  testsupport::WriteBytes(path, Bytes(bytes.begin(), bytes.end()));
  TQRSList beats;
  if (!tools::ReadRefAnnotations(path.string(), beats, 125.0)) {
    EXPECT_EQ(beats.GetSize(), 0);
    return;
  }
  EXPECT_LE(static_cast<size_t>(beats.GetSize()), bytes.size() / 8);
  for (int i = 1; i < beats.GetSize(); ++i)
    EXPECT_GE(beats.GetAt(i).GetPosition(), beats.GetAt(i - 1).GetPosition());
  if (beats.GetSize() == 0) return;
  const std::string copy = (Scratch() / "copy.MIN").string();
  TQRSList again;
  ASSERT_TRUE(tools::WriteRefAnnotations(copy, beats, 125.0));
  ASSERT_TRUE(tools::ReadRefAnnotations(copy, again, 125.0));
  EXPECT_TRUE(again == beats);
}

const std::map<std::string, std::function<void(std::span<const uint8_t>)>>& Readers() {
  static const std::map<std::string, std::function<void(std::span<const uint8_t>)>> readers = {
      {"ano_file", ReplayAnoFile},
      {"ref_annotations", ReplayRefAnnotations},
  };
  return readers;
}

Bytes AnoRecord(uint32_t time_ms, uint8_t label) {
  return {static_cast<uint8_t>(time_ms), static_cast<uint8_t>(time_ms >> 8),
          static_cast<uint8_t>(time_ms >> 16), static_cast<uint8_t>(time_ms >> 24), label};
}

Bytes RefRecord(uint32_t time_ms, uint8_t mnemonic, uint16_t number) {
  return {static_cast<uint8_t>(time_ms >> 24),
          static_cast<uint8_t>(time_ms >> 16),
          static_cast<uint8_t>(time_ms >> 8),
          static_cast<uint8_t>(time_ms),
          mnemonic,
          0,
          static_cast<uint8_t>(number >> 8),
          static_cast<uint8_t>(number)};
}

void Add(Bytes& to, const Bytes& record) { to.insert(to.end(), record.begin(), record.end()); }

// Seeds: files as the databases' converters write them, small enough to mutate.
std::map<std::string, Bytes> Seeds() {
  std::map<std::string, Bytes> seeds;
  Bytes labels;
  uint32_t time = 0;
  for (const char label : std::string(".LRJjASFQ|aep![]VEr/f")) Add(labels, AnoRecord(time += 800, label));
  labels.insert(labels.end(), {1, 2, 3});  // an incomplete last record
  seeds["ano_file/seed_mit_labels_and_a_tail"] = labels;
  Bytes back;
  Add(back, AnoRecord(1000, 'N'));
  Add(back, AnoRecord(999, 'V'));
  seeds["ano_file/seed_time_going_back"] = back;
  Bytes control;
  Add(control, AnoRecord(1000, 'N'));
  Add(control, AnoRecord(2000, 0x7F));
  seeds["ano_file/seed_unprintable_label"] = control;

  const Bytes end = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF};
  Bytes written;
  uint16_t number = 0;
  time = 0;
  for (const char mnemonic : std::string("N|AVr/Q")) Add(written, RefRecord(time += 808, mnemonic, ++number));
  Add(written, end);
  Add(written, end);
  seeds["ref_annotations/seed_as_written"] = written;
  Bytes every;
  number = 0;
  for (int c = 0x20; c < 0x7F; ++c)
    Add(every, RefRecord(static_cast<uint32_t>(c) * 1000, static_cast<uint8_t>(c), ++number));
  every.insert(every.end(), {0, 0, 0});  // no end marker, a cut record
  seeds["ref_annotations/seed_every_mnemonic_no_marker"] = every;
  return seeds;
}

TEST(ValidationFuzzCorpus, SeedsAreCurrent) { testsupport::ExpectSeedsCurrent(kCorpus, Seeds()); }

TEST(ValidationFuzzCorpus, EveryFixtureReplaysCleanly) {
  int replayed = 0;
  for (const auto& [reader, replay] : Readers())
    replayed += testsupport::ReplayCorpus(kCorpus / reader, replay);
  EXPECT_GE(replayed, 5);
}

}  // namespace
