// Replays the fuzz corpus fixtures of the ".QRS" member readers (seeds and former findings) through
// the same checks as the fuzz targets. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive_bytes.h"
#include "member_io.h"
#include "context_guard.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/pm_template_list.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/st_details.h"
#include "document/st_values.h"
#include "document/template_list.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

namespace fs = std::filesystem;

const platform::ManualClock kClock({2026, 12, 10, 12, 0, 0, 0});
const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/document/fuzz";

// What the fuzz targets check: only FormatError may escape, and a loaded member writes stably.
template <class Member, class Make>
void Replay(std::span<const uint8_t> bytes, Make make) {
  Member member = make();
  try {
    platform::ArchiveReader ar(bytes, "corpus");
    member.Load(ar);
  } catch (const platform::FormatError&) {
    return;
  }
  platform::ArchiveWriter first;
  member.Serialize(first, 32);
  Member again = make();
  platform::ArchiveReader back(first.Bytes(), "round trip");
  again.Load(back);
  EXPECT_TRUE(back.AtEnd());
  platform::ArchiveWriter second;
  again.Serialize(second, 32);
  EXPECT_EQ(second.Bytes(), first.Bytes());
}

void ReplayRecording(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  document::Context().Reset();
  constexpr int32_t kChannels[] = {0, 1};
  document::Context().g_AnalysisChannels.Assign(std::span<const int32_t>(kChannels, bytes[0] % 3));
  Replay<TRecordingData>(bytes.subspan(1), [] { return TRecordingData(kClock); });
}

const std::map<std::string, std::function<void(std::span<const uint8_t>)>>& Readers() {
  static const std::map<std::string, std::function<void(std::span<const uint8_t>)>> readers = {
      {"patient_data",
       [](std::span<const uint8_t> b) {
         document::Context().Reset();
         Replay<TPatientData>(b, [] { return TPatientData(kClock); });
       }},
      {"recording_data", ReplayRecording},
      {"qrs_list", [](std::span<const uint8_t> b) { Replay<TQRSList>(b, [] { return TQRSList(); }); }},
      {"event_list", [](std::span<const uint8_t> b) { Replay<TEventList>(b, [] { return TEventList(); }); }},
      {"template_list", [](std::span<const uint8_t> b) { Replay<TTemplateList>(b, [] { return TTemplateList(); }); }},
      {"st_values", [](std::span<const uint8_t> b) { Replay<TSTValues>(b, [] { return TSTValues(); }); }},
      {"st_details", [](std::span<const uint8_t> b) { Replay<TSTDetails>(b, [] { return TSTDetails(); }); }},
      {"pm_template_list",
       [](std::span<const uint8_t> b) { Replay<TPMTemplateList>(b, [] { return TPMTemplateList(); }); }},
  };
  return readers;
}

// Seeds: members as the program writes them at the versions it reads, small enough to mutate.
std::map<std::string, std::vector<uint8_t>> Seeds() {
  document::Context().Reset();
  RecordGenerator gen(2026);
  std::map<std::string, std::vector<uint8_t>> seeds;
  TPatientData patient(kClock);
  patient.surname = "Muster";
  for (const int32_t v : {25, 27, 29, 32}) seeds["patient_data/seed_v" + std::to_string(v)] = StoreMember(patient, v);
  for (const int32_t v : {25, 26, 30, 31, 32}) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(v == 26 ? 1 : 2)};
    TRecordingData record(kClock);
    record.normal_classes[1].Append(4);
    record.st_episodes[0].Add(TSTDetail());
    record.recorder_markers = {10, 20};
    document::Context().g_AnalysisChannels.count = bytes[0];
    const std::vector<uint8_t> member = StoreMember(record, v);
    bytes.insert(bytes.end(), member.begin(), member.end());
    seeds["recording_data/seed_v" + std::to_string(v)] = bytes;
  }
  document::Context().Reset();
  ArchiveBytes v6;  // the oldest layout with ST values
  v6.I32(6).I32(0).Date(0, 1).Date(0, 0).Text("ID").I32(1).I32Repeat(0, 48).I32Repeat(1, 4).I32(1).I32s({1, 1});
  v6.U16(1).U32(0).I32(5).Text("D").Text("").Text("").Text("").Text("").I32s({15, -1, -1});
  v6.I32(6).I32(1).Double(1.0).Double(0.056).Double(0.056).Double(0.064);
  seeds["recording_data/seed_v6"] = std::vector<uint8_t>{2};
  seeds["recording_data/seed_v6"].insert(seeds["recording_data/seed_v6"].end(), v6.Bytes().begin(), v6.Bytes().end());
  const TQRSList beats = gen.Beats(6);
  const TEventList events = gen.Events(4);
  for (const int32_t v : {3, 20, 32}) {
    seeds["qrs_list/seed_v" + std::to_string(v)] = StoreMember(beats, v);
    seeds["event_list/seed_v" + std::to_string(v)] = StoreMember(events, v);
  }
  seeds["template_list/seed_v32"] = StoreMember(gen.Templates(5), 32);
  seeds["st_values/seed_v32"] = StoreMember(gen.Values(5), 32);
  seeds["st_values/seed_v10"] = ArchiveBytes().I32(10).Bytes();
  seeds["st_details/seed_v32"] = StoreMember(gen.Details(2), 32);
  seeds["st_details/seed_v9"] = ArchiveBytes().I32(9).I32(1).I32Repeat(0, 12).Bytes();
  seeds["pm_template_list/seed_v32"] = StoreMember(gen.Spikes(5), 32);
  return seeds;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(MemberFuzzCorpus, SeedsAreCurrent) {
  ContextGuard guard;
  const bool update = std::getenv("UPDATE_GOLDEN") != nullptr;
  for (const auto& [name, bytes] : Seeds()) {
    SCOPED_TRACE(name);
    const fs::path path = kCorpus / name;
    if (update) {
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(ReadFile(path), bytes) << "regenerate with UPDATE_GOLDEN=1";
  }
}

TEST(MemberFuzzCorpus, EveryFixtureReplaysCleanly) {
  ContextGuard guard;
  int replayed = 0;
  for (const auto& [reader, replay] : Readers()) {
    const fs::path dir = kCorpus / reader;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::vector<uint8_t> bytes = ReadFile(entry.path());
      replay(bytes);
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 20);
}

}  // namespace
