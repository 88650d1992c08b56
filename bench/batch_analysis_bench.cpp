// The batch analysis of eight synthetic 24-hour two-channel recordings (75 bpm with variability,
// 5 % ventricular and 2 % supraventricular premature beats, two pauses an hour, ST steps on), once
// on one worker thread and once on all cores. Prints both times and the speed-up; the target is
// at least 0.7 x min(cores, 8).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_run.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/st/st_progress_dlg.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/ecg_synthesizer.h"
#include "tools/batch_analysis.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecordings = 8;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string WriteRecording(const fs::path& folder, int index, const platform::Clock& clock) {
  testsupport::SynthOptions options;
  options.seed = 3000 + static_cast<uint64_t>(index);
  options.duration_s = 24 * 3600;
  options.heart_rate_bpm = 75;
  options.ves_fraction = 0.05;
  options.sves_fraction = 0.02;
  options.pauses_per_hour = 2;
  char base[16];
  std::snprintf(base, sizeof base, "%05d", index + 1);
  testsupport::WriteSyntheticRecording(folder / base, options);
  platform::ArchiveWriter ar;
  TPatientData(clock).Serialize(ar, 32);
  TRecordingData(clock).Serialize(ar, 32);
  TQRSList().Serialize(ar, 32);
  TEventList().Serialize(ar, 32);
  const fs::path qrs = folder / (std::string(base) + ".QRS");
  platform::WriteFileAtomic(qrs, ar.Bytes());
  return qrs.string();
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / ("zk470_batch_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const platform::SystemClock clock;
  platform::MemoryProfileStore profile;

  std::printf("writing %d recordings of 24 h ...\n", kRecordings);
  std::vector<std::string> paths;
  std::map<std::string, std::vector<uint8_t>> unanalysed;
  for (int i = 0; i < kRecordings; ++i) {
    paths.push_back(WriteRecording(folder, i, clock));
    unanalysed[paths.back()] = ReadBytes(paths.back());
  }

  tools::BatchOptions options;
  options.make_document = [&] {
    SettingsDefaults defaults;
    defaults.home = folder.string();
    auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile, clock, defaults);
    doc->SetDataDirectory(folder.string());
    return doc;
  };
  options.run_services = [](analysis::AnalysisDialogs& dialogs) {
    analysis::AnalysisRun::Services services;
    services.library_version_text = [] { return std::string("-"); };
    services.pacemaker_analysis = analysis::RunPacemakerAnalysis;
    services.st_analysis = [&dialogs](CZK470Doc& doc, int mode) {
      return analysis::RunSTAnalysisDialog(dialogs, doc, mode);
    };
    return services;
  };

  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  double seconds[2] = {0, 0};
  const int threads[2] = {1, 0};
  for (int run = 0; run < 2; ++run) {
    for (const auto& [path, bytes] : unanalysed) platform::WriteFileAtomic(path, bytes);
    options.threads = threads[run];
    const auto start = std::chrono::steady_clock::now();
    const tools::RunResults results = tools::RunBatchAnalysis(paths, options);
    seconds[run] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (results.Successes() != kRecordings) {
      std::fprintf(stderr, "only %d of %d recordings were analysed\n", results.Successes(), kRecordings);
      for (const std::string& line : results.Lines()) std::fprintf(stderr, "  %s\n", line.c_str());
      fs::remove_all(folder);
      return 1;
    }
  }
  const int parallel = std::min(cores, kRecordings);
  const double speedup = seconds[0] / seconds[1];
  std::printf("one thread: %.2f s\n", seconds[0]);
  std::printf("all cores (%d workers): %.2f s\n", parallel, seconds[1]);
  std::printf("speed-up: %.2f x (target >= %.2f x)\n", speedup, 0.7 * parallel);
  fs::remove_all(folder);
  return 0;
}
