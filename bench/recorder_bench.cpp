// The recorder paths on full-size recordings: the conversion of a 48-hour three-channel SD-card
// image into a recording (copy of the ECG area, the records, the naming; target at most 1 s in a
// Release build), and the read-out of a 24-hour recording from the simulated card recorder on a
// pseudo-terminal, unthrottled (the link and the reader, not a real recorder's line speed).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "recorder/raw/raw_converter.h"
#include "recorder/raw/raw_image_writer.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_protocol.h"
#include "recorder/recorder_reader.h"
#include "recorder/recorder_search.h"
#include "support/cmp_writer.h"
#include "support/recorder_sim.h"

namespace {

namespace fs = std::filesystem;

constexpr int kChannels = 3;
constexpr int kHours = 48;

struct Card {
  platform::MemoryProfileStore profile;
  platform::ManualClock clock{{2026, 3, 4, 14, 5, 9, 0}};
  std::unique_ptr<CZK470Doc> doc;
  fs::path folder;
  std::string raw_path;
  uint64_t ecg_bytes = 0;
};

Card* g_card = nullptr;

// One hour of a three-channel ECG-like wave in uncompressed blocks, the largest area a recorder
// writes. The conversion never decodes the area, so the 48 hours repeat this hour's minute blocks
// behind the file head.
std::vector<uint8_t> CompressedEcg(int hours) {
  testsupport::CmpWriter writer(testsupport::CmpFormat::kNew, kChannels);
  std::vector<std::vector<int16_t>> minute(kChannels, std::vector<int16_t>(testsupport::kSamplesPerMinute));
  for (int m = 0; m < 60; ++m) {
    for (int c = 0; c < kChannels; ++c) {
      for (int i = 0; i < testsupport::kSamplesPerMinute; ++i) {
        const double beat = std::fmod(i + m * 37 + c * 11, 100.0) / 100.0;
        const double qrs = beat < 0.08 ? 400.0 * std::sin(beat / 0.08 * 3.14159) : 0.0;
        minute[c][i] = static_cast<int16_t>(2 * std::lround((qrs + 30.0 * std::sin(beat * 6.283)) / 2));
      }
    }
    std::vector<std::span<const int16_t>> spans(minute.begin(), minute.end());
    writer.AddMinute(spans, testsupport::CmpMode::kRawFull);
  }
  const std::vector<uint8_t>& hour = writer.Bytes();
  constexpr size_t kHead = 10;
  std::vector<uint8_t> bytes(hour.begin(), hour.end());
  bytes.reserve(kHead + (hour.size() - kHead) * static_cast<size_t>(hours));
  for (int h = 1; h < hours; ++h) bytes.insert(bytes.end(), hour.begin() + kHead, hour.end());
  return bytes;
}

void BM_RawConversion48h3Channels(benchmark::State& state) {
  Card& card = *g_card;
  const fs::path data = card.folder / "Data";
  for (auto _ : state) {
    const recorder::RawConvertResult result = recorder::ConvertRawFile(*card.doc, card.raw_path);
    if (!result.ok()) {
      state.SkipWithError(result.message.c_str());
      break;
    }
    benchmark::DoNotOptimize(result.recording_path.data());
    state.PauseTiming();
    fs::remove_all(data);
    fs::create_directories(data);
    state.ResumeTiming();
  }
  state.counters["ecg_MB"] = static_cast<double>(card.ecg_bytes) / (1 << 20);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(card.ecg_bytes));
}
BENCHMARK(BM_RawConversion48h3Channels)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

class SilentReaderUi : public TRecorderReader::Ui {
 public:
  void Beep() override {}
  void ShowMessage(const std::string& text) override { message = text; }
  bool AskRetry() override { return false; }
  // The range is set just before the sample stream is asked for: the transfer starts there.
  void SetProgressRange(int) override { transfer_start = std::chrono::steady_clock::now(); }
  void SetProgressPos(int) override {}
  std::string message;
  std::chrono::steady_clock::time_point transfer_start;
};

void BM_ReadOut24hUnthrottled(benchmark::State& state) {
  Card& card = *g_card;
  std::printf("Generating a 24-hour recording for the simulated recorder...\n");
  recsim::PtyRecorder sim(recsim::SimConfig::WithSyntheticEcg(TRecorderProtocol::kKindZK131, 24 * 60));
  const recorder::LinkEnvironment saved = recorder::Environment();
  recorder::Environment().probe_names = {sim.DevicePath()};
  card.doc->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
  const auto found = [&sim](CZK470Doc& doc) {
    recorder::CurrentRecorder current(doc);
    current.SetKind(TRecorderProtocol::kKindZK131);
    current.DeviceName() = sim.DevicePath();
    return TRecorderProtocol::kKindZK131;
  };
  const fs::path data = card.folder / "Data";
  const uint64_t ecg_bytes = sim.Model().Config().ecg.size();
  double transfer_seconds = 0.0;
  for (auto _ : state) {
    SilentReaderUi ui;
    TRecorderReader reader(*card.doc, ui, found);
    if (reader.Start()) reader.Run();
    if (!reader.Succeeded()) {
      state.SkipWithError(("read-out failed: " + ui.message).c_str());
      break;
    }
    transfer_seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - ui.transfer_start).count();
    state.PauseTiming();
    fs::remove_all(data);
    fs::create_directories(data);
    state.ResumeTiming();
  }
  recorder::Environment() = saved;
  state.counters["ecg_MB"] = static_cast<double>(ecg_bytes) / (1 << 20);
  // The whole read-out includes the recorder's fixed wake-up and query pauses (about 3 s); the
  // transfer rate is the stream's alone.
  if (transfer_seconds > 0.0)
    state.counters["transfer_MB_per_s"] = static_cast<double>(ecg_bytes) *
                                          static_cast<double>(state.iterations()) / (1 << 20) /
                                          transfer_seconds;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ecg_bytes));
}
BENCHMARK(BM_ReadOut24hUnthrottled)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  Card card;
  card.folder = fs::temp_directory_path() / ("zk470_recorder_bench_" + std::to_string(::getpid()));
  fs::create_directories(card.folder / "Data");
  fs::create_directories(card.folder / "Work");
  std::printf("Coding a %d-hour %d-channel recording and writing its card image...\n", kHours, kChannels);
  const std::vector<uint8_t> ecg = CompressedEcg(kHours);
  card.ecg_bytes = ecg.size();
  const fs::path cmp = card.folder / "SOURCE.CMP";
  {
    std::FILE* out = std::fopen(cmp.c_str(), "wb");
    if (out == nullptr || std::fwrite(ecg.data(), 1, ecg.size(), out) != ecg.size()) return 1;
    std::fclose(out);
  }
  TPatientBlockFields patient;
  patient.last_name = "Brand";
  patient.first_name = "Lea";
  TRecordingBlockFields recording;
  recording.recording_date = document::OleDateOnly({2026, 3, 2, 0, 0, 0, 0});
  recording.dev_type = "ZK-131";
  recording.dev_version = "V1.20";
  const auto patient_block = TRecorderBlocks::PackPatientBlock(patient);
  const auto recording_block = TRecorderBlocks::PackRecordingBlock(recording);
  card.raw_path = (card.folder / "ZK131ECG.RAW").string();
  const recorder::TRawImageWriter writer(patient_block, recording_block);
  if (!writer.WriteFromFile(card.raw_path, cmp, [](int, int) { return true; })) return 1;
  fs::remove(cmp);
  std::printf("card image of %.1f MB\n", static_cast<double>(fs::file_size(card.raw_path)) / (1 << 20));

  card.doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, card.profile, card.clock);
  card.doc->SetDataDirectory((card.folder / "Data").string());
  card.doc->SetWorkDirectory((card.folder / "Work").string());
  g_card = &card;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_card = nullptr;
  card.doc.reset();
  fs::remove_all(card.folder);
  return 0;
}
