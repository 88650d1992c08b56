// Replays the fuzz corpus of the GDT record reader (seeds and former findings) through the checks
// of its fuzz target, and holds the seeds to what the reader must make of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>

#include "document/patient_data.h"
#include "platform/clock.h"
#include "tools/gdt/gdt_file.h"

namespace {

namespace fs = std::filesystem;
using gdt::RecordStatus;

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/tools/fuzz/gdt_record";
const platform::ManualClock kClock;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GdtRecordCorpus, EveryFileKeepsTheReadersPromises) {
  // What the seeds read as, as an answer (6301) and as a new-examination record (6302).
  const std::map<std::string, std::pair<RecordStatus, RecordStatus>> seeds = {
      {"answer_6301.gdt", {RecordStatus::kAccepted, RecordStatus::kRejected}},
      {"new_examination_6302.gdt", {RecordStatus::kRejected, RecordStatus::kAccepted}},
      {"half_written.gdt", {RecordStatus::kIncomplete, RecordStatus::kIncomplete}},
      {"lf_only.gdt", {RecordStatus::kAccepted, RecordStatus::kRejected}},
      {"bad_prefix.gdt", {RecordStatus::kRejected, RecordStatus::kRejected}},
      {"short_lines.gdt", {RecordStatus::kRejected, RecordStatus::kRejected}},
      {"bad_dates.gdt", {RecordStatus::kAccepted, RecordStatus::kRejected}},
      {"trailing_blank_lines.gdt", {RecordStatus::kAccepted, RecordStatus::kRejected}},
  };
  size_t seeds_seen = 0;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name == "README.md") continue;
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(entry.path());
    const bool whole = !bytes.empty() && bytes.back() == '\n';
    RecordStatus got[2];
    int k = 0;
    for (const std::string_view type : {gdt::kAnswerRecord, gdt::kNewExaminationRecord}) {
      TPatientData patient(kClock);
      const TPatientData before = patient;
      const RecordStatus status = gdt::ParseRecordBytes(bytes, type, patient);
      EXPECT_EQ(status == RecordStatus::kIncomplete, !whole);
      if (status == RecordStatus::kAccepted) {
        EXPECT_EQ(bytes.substr(7, 4), type);
      } else {
        EXPECT_EQ(patient, before) << "a record not taken changes nothing";
      }
      got[k++] = status;
    }
    if (const auto seed = seeds.find(name); seed != seeds.end()) {
      ++seeds_seen;
      EXPECT_EQ(got[0], seed->second.first);
      EXPECT_EQ(got[1], seed->second.second);
    }
  }
  EXPECT_EQ(seeds_seen, seeds.size()) << "a seed went missing from " << kCorpus;
}

}  // namespace
