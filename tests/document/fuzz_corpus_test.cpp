// Replays the fuzz corpus fixtures of the document's readers of outside bytes (the ".QRS" members,
// the whole ".QRS" file and the sample files beside it; seeds and former findings) through the
// same checks as the fuzz targets. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "archive_bytes.h"
#include "context_guard.h"
#include "document/annotation_exchange_file.h"
#include "document/cmp_decoder.h"
#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/pm_template_list.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "document/ref_signal_file.h"
#include "document/sample_file.h"
#include "document/sample_file_checker.h"
#include "document/signal_exchange_file.h"
#include "document/st_details.h"
#include "document/st_values.h"
#include "document/template_list.h"
#include "document/zk130_info_list.h"
#include "document/zk470_doc.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "record_generator.h"
#include "sample_test_files.h"
#include "support/cmp_writer.h"

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

// The whole file as opening reads it, then what opening does with the records; a loaded file
// saves stably.
void ReplayQrsFile(std::span<const uint8_t> bytes) {
  document::Context().Reset();
  platform::MemoryProfileStore profile;
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, kClock);
  try {
    platform::ArchiveReader ar(bytes, "corpus.QRS");
    doc.Serialize(ar);
  } catch (const platform::FormatError&) {
    return;
  }
  const std::vector<uint8_t> first = doc.StoreToBytes();
  platform::ArchiveReader back(first, "round trip");
  doc.Serialize(back);
  EXPECT_TRUE(back.AtEnd());
  EXPECT_EQ(doc.StoreToBytes(), first);
  doc.BuildTemplateClassList();
  doc.BuildPMTemplateClassList();
  doc.UpdateTemplateClassCounts();
  doc.RecalcHeartRateExtremes(0, 0, 0);
  (void)doc.StoreToBytes();
}

std::vector<uint8_t> Bytes(std::span<const uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

void ReplaySignalExchangeFile(std::span<const uint8_t> bytes) {
  sampletest::TempFolder folder;
  const std::string path = folder.Write("f.KHI", Bytes(bytes));
  TSignalExchangeFile file;
  if (!file.ReadHeader(path)) return;
  std::array<TECGBlock, 3> blocks;
  const int minutes = file.GetDurationMinutes();
  for (int m = 0; m <= minutes && m < 8; ++m) (void)file.ReadBlock(path, m, blocks);
}

void ReplayAnnotationExchangeFile(std::span<const uint8_t> bytes) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  TAnnotationExchangeFile file;
  if (!file.ReadHeader(in)) return;
  TQRSList beats;
  if (file.ReadBeatList(in, beats, 125.0)) {
    EXPECT_EQ(beats.GetSize(), static_cast<int64_t>(file.record_count));
  }
}

// The first byte picks the extension, as in the fuzz target.
constexpr const char* kRefExtensions[] = {"112", "113", "252", "253", "2C3", "552", "A53",
                                          "AA2", "1C3", "212", "254", "X52", "25A", "a13"};

void ReplayRefSignalFile(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  sampletest::TempFolder folder;
  const std::string path = folder.Write(std::string("f.") + kRefExtensions[bytes[0] % std::size(kRefExtensions)],
                                        Bytes(bytes.subspan(1)));
  std::array<TECGBlock, 3> blocks;
  const int minutes = GetRefDurationMinutes(path);
  for (int m = 0; m <= minutes && m < 8; ++m) (void)ReadRefSignalBlock(path, m, blocks);
}

void ReplayCmpDecoder(std::span<const uint8_t> bytes) {
  sampletest::TempFolder folder;
  const std::string path = folder.Write("f.CMP", Bytes(bytes));
  static constexpr int kAnalysed[] = {0, 1};
  TZK130InfoList markers;
  const CmpMarkerTarget target{&markers, kAnalysed};
  std::array<TECGBlock, 3> blocks;
  try {
    const SampleFile file(path);
    CmpDecoder decoder;
    decoder.Index(file);
    for (int m = 0; m < decoder.WholeMinutes() && m < 64; ++m) {
      for (TECGBlock& block : blocks) block.Clear();
      decoder.DecodeMinute(file, m, true, std::span<TECGBlock, 3>(blocks), target);
    }
  } catch (const platform::IoError&) {
  }
  try {
    const SampleFile file(path);
    CmpDecoder checker;
    const int minutes = checker.CheckNew(file, [](const std::string&) {});
    for (int m = 0; m < minutes && m < 64; ++m)
      checker.DecodeMinute(file, m, false, std::span<TECGBlock, 3>(blocks), target);
  } catch (const platform::IoError&) {
  }
  (void)SampleFileChecker::CheckReport(path);
}

// The first byte picks the sample file kind, as in the fuzz target.
constexpr const char* kStoreExtensions[] = {"CMP", "DAT", "TAP", "RX3", "KZC", "KHI", "252", "2C3"};

void ReplaySampleStore(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  document::Context().Reset();
  sampletest::TempFolder folder;
  const std::string path =
      folder.Write(std::string("f.") + kStoreExtensions[bytes[0] % 8], Bytes(bytes.subspan(1)));
  TZK130InfoList markers;
  try {
    TRawECGData store(&markers, path);
    TECGBlock block;
    for (int m = 0; m < store.GetWholeMinutes() && m < 64; ++m) {
      store.GetAnalysisMinute(block, 1, m, true);
      for (int c = 0; c < 3; ++c) store.GetChannelMinute(c, m);
    }
  } catch (const platform::IoError&) {
  }
  if (bytes[0] % 8 < 2) (void)SampleFileChecker::CheckReport(path);
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
      {"qrs_file", ReplayQrsFile},
      {"signal_exchange_file", ReplaySignalExchangeFile},
      {"annotation_exchange_file", ReplayAnnotationExchangeFile},
      {"ref_signal_file", ReplayRefSignalFile},
      {"cmp_decoder", ReplayCmpDecoder},
      {"sample_store", ReplaySampleStore},
  };
  return readers;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A beat or event list at version 3, which stored 22 class counters.
template <class List>
std::vector<uint8_t> Version3List(const List& list) {
  return StoreMember(list, 3);
}

// A "KHI" file: header, then frames whose sample of frame f, channel c is the 12-bit f * 10 + c.
std::vector<uint8_t> KhiSeed(uint32_t rate, uint32_t channels, std::vector<int32_t> map, double lsb,
                             uint32_t frames) {
  TSignalExchangeFile header;
  header.duration = rate * 90;
  header.rate = rate;
  header.channel_count = channels;
  header.bits_per_sample = 16;
  header.lsb = lsb;
  for (uint32_t c = 0; c < channels; ++c) header.channel_names[c] = "ch" + std::to_string(c);
  header.display_count = static_cast<uint32_t>(map.size());
  std::copy(map.begin(), map.end(), header.display_map.begin());
  std::ostringstream out;
  EXPECT_TRUE(header.WriteHeader(out));
  const std::string head = out.str();
  std::vector<uint8_t> bytes(head.begin(), head.end());
  for (uint32_t f = 0; f < frames; ++f)
    for (uint32_t c = 0; c < channels; ++c) sampletest::PutLE16(bytes, static_cast<uint16_t>((f * 10 + c) & 0x0FFF));
  return bytes;
}

// Little-endian words of 12-bit samples, a slow ramp per channel.
std::vector<uint8_t> WordSeed(int words) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < words; ++i) sampletest::PutLE16(bytes, static_cast<uint16_t>((i * 7) & 0x0FFF));
  return bytes;
}

// A compressed file of a small square wave with markers, as a recorder writes it.
std::vector<uint8_t> CodedCmpSeed(testsupport::CmpFormat format, int channels, int minutes) {
  const size_t samples = static_cast<size_t>(minutes) * testsupport::kSamplesPerMinute;
  std::vector<std::vector<int16_t>> signal(static_cast<size_t>(channels), std::vector<int16_t>(samples));
  for (size_t c = 0; c < signal.size(); ++c)
    for (size_t i = 0; i < samples; ++i) signal[c][i] = static_cast<int16_t>((i / 400 + c) % 2 == 0 ? 40 : -40);
  using Marker = testsupport::CmpMarker;
  const std::vector<Marker> markers = {{Marker::Type::kCode, 0, 1000, 3},
                                       {Marker::Type::kFlags, 1 % channels, 4000, 0x2000},
                                       {Marker::Type::kCode, 0, 9000, -1}};
  return testsupport::EncodeCmp(format, signal, testsupport::CmpMode::kCodedFull, markers);
}

std::vector<uint8_t> Prefixed(uint8_t first, const std::vector<uint8_t>& bytes) {
  return Concat({{first}, bytes});
}

// Seeds of the sample file readers: small files of each kind, each a few KB.
std::map<std::string, std::vector<uint8_t>> SampleFileSeeds() {
  using sampletest::FlatNewFile;
  using sampletest::FlatOldFile;
  std::map<std::string, std::vector<uint8_t>> seeds;
  seeds["signal_exchange_file/seed_2ch_250hz"] = KhiSeed(250, 2, {0, 1}, 5.0, 200);
  seeds["signal_exchange_file/seed_3ch_500hz_mapped"] = KhiSeed(500, 3, {2, 0, 1}, 2.5, 150);

  std::stringstream kha;
  TAnnotationExchangeFile annotations;
  annotations.record_count = 12;
  const std::vector<int32_t> codes = {1, 5, 8, 12, 16, 41, 4, 6, 9, 0, 99, -1};
  std::vector<int32_t> times, aux;
  for (int i = 0; i < 12; ++i) {
    times.push_back(400 + 800 * i);
    aux.push_back(i);
  }
  EXPECT_TRUE(annotations.WriteHeader(kha));
  EXPECT_TRUE(annotations.WriteRecords(kha, 12, codes, times, aux));
  const std::string kha_bytes = kha.str();
  seeds["annotation_exchange_file/seed_12_records"] = {kha_bytes.begin(), kha_bytes.end()};

  seeds["ref_signal_file/seed_252"] = Prefixed(2, WordSeed(1200));
  seeds["ref_signal_file/seed_A53"] = Prefixed(6, WordSeed(1500));

  seeds["cmp_decoder/seed_new_flat"] = FlatNewFile(2, 2);
  seeds["cmp_decoder/seed_old_flat"] = FlatOldFile(2);
  seeds["cmp_decoder/seed_new_coded_markers"] = CodedCmpSeed(testsupport::CmpFormat::kNew, 3, 2);
  seeds["cmp_decoder/seed_old_coded_markers"] = CodedCmpSeed(testsupport::CmpFormat::kOld, 2, 1);

  seeds["sample_store/seed_cmp"] = Prefixed(0, FlatNewFile(1, 2));
  seeds["sample_store/seed_dat"] = Prefixed(1, FlatOldFile(2));
  seeds["sample_store/seed_rx3"] = Prefixed(3, WordSeed(600));
  seeds["sample_store/seed_kzc"] = Prefixed(4, WordSeed(600));
  seeds["sample_store/seed_khi"] = Prefixed(5, KhiSeed(125, 2, {1, 0}, 10.0, 40));
  seeds["sample_store/seed_2c3"] = Prefixed(7, WordSeed(900));
  return seeds;
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

  // Whole ".QRS" files: the current version, and the oldest members the reader takes. Beats 110
  // samples apart, every third one ventricular; a ventricular event and a pause.
  document::Context().Reset();
  TQRSList file_beats;
  for (int i = 0; i < 9; ++i)
    file_beats.Append(TQRSComplex(100 + 110 * i, static_cast<uint8_t>(i % 3 == 2 ? kClassVES : kClassNormal)));
  TEventList file_events;
  file_events.Append(TEvent(320, 330, kClassVES));
  file_events.Append(TEvent(650, 900, kClassPause));
  seeds["qrs_file/seed_v32"] = Concat({StoreMember(patient, 32), StoreMember(TRecordingData(kClock), 32),
                                       StoreMember(file_beats, 32), StoreMember(file_events, 32)});
  seeds["qrs_file/seed_oldest"] =
      Concat({StoreMember(patient, 25), v6.Bytes(), Version3List(file_beats), Version3List(file_events)});
  // What the reader reads past: a patient record of unknown version (the version alone), a beat and
  // an event of unknown classes.
  std::vector<uint8_t> odd_beats = StoreMember(file_beats, 32);
  odd_beats[4 + 2 + 10 * 2 + 8] = 40;
  std::vector<uint8_t> odd_events = StoreMember(file_events, 32);
  odd_events[4 + 2 + 8] = 255;
  seeds["qrs_file/seed_read_past"] = Concat(
      {ArchiveBytes().I32(33).Bytes(), StoreMember(TRecordingData(kClock), 32), odd_beats, odd_events});
  // A version-27 patient record whose sets hold more channels than the program keeps.
  ArchiveBytes wide;
  wide.I32(27).Text("Muster").Text("").Text("").Date(0, 30000).I32(1).Double(170).Double(60).I32(0);
  seeds["patient_data/seed_v27_wide_sets"] = wide.I32s({3, 0, 1, 2, 4, 2, 1, 0, 1}).Bytes();
  document::Context().Reset();

  for (const auto& [name, seed] : SampleFileSeeds()) seeds[name] = seed;
  return seeds;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DocumentFuzzCorpus, SeedsAreCurrent) {
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

TEST(DocumentFuzzCorpus, EveryFixtureReplaysCleanly) {
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
  EXPECT_GE(replayed, 40);
}

}  // namespace
