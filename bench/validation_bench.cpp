// The MIT validation over eight records (100 and 800 of the MIT-BIH records, four copies each):
// the batch on one worker thread and on all cores, then the statistic. Prints the times and the
// batch's speed-up. Usage: validation_bench [folder of the records]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "document/zk470_doc.h"
#include "platform/atomic_file_writer.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/analysis_services.h"
#include "support/mit_records.h"
#include "tools/batch_analysis.h"
#include "tools/validation/annotation_statistic.h"
#include "tools/validation/validation_batches.h"
#include "win/prompt.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path mitdb = argc > 1 ? fs::path(argv[1]) : fs::path(ZK_SHARED_DIR "/data/mitdb");
  const fs::path folder =
      fs::temp_directory_path() / ("zk470_validation_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  // Each record and three copies under the next numbers: MIT100..MIT103, MIT800..MIT803.
  std::map<fs::path, std::vector<uint8_t>> unanalysed;
  try {
    for (const int record : {100, 800}) {
      coretest::ConvertMitRecord(mitdb / std::to_string(record), folder);
      const std::string base = "MIT" + std::to_string(record);
      for (int copy = 1; copy <= 3; ++copy) {
        const std::string name = "MIT" + std::to_string(record + copy);
        for (const char* extension : {".QRS", ".CMP", ".ANO"})
          fs::copy_file(folder / (base + extension), folder / (name + extension));
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cannot convert the records of %s: %s\n", mitdb.c_str(), e.what());
    fs::remove_all(folder);
    return 1;
  }
  for (const std::string& path : tools::FindValidationRecords(tools::ValidationSet::kMit, folder.string()))
    unanalysed[path] = ReadBytes(path);

  const platform::SystemClock clock;
  platform::MemoryProfileStore profile;
  tools::BatchOptions options;
  options.make_document = [&] {
    SettingsDefaults defaults;
    defaults.home = folder.string();
    auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile, clock, defaults);
    doc->SetDataDirectory(folder.string());
    return doc;
  };
  options.run_services = coretest::ProgramAnalysisServices;

  const int records = static_cast<int>(unanalysed.size());
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  double seconds[2] = {0, 0};
  const int threads[2] = {1, 0};
  for (int run = 0; run < 2; ++run) {
    for (const auto& [path, bytes] : unanalysed) platform::WriteFileAtomic(path, bytes);
    options.threads = threads[run];
    const auto start = std::chrono::steady_clock::now();
    const tools::RunResults results =
        tools::RunValidationBatch(tools::ValidationSet::kMit, folder.string(), options);
    seconds[run] = Seconds(start);
    if (results.Successes() != records) {
      std::fprintf(stderr, "only %d of %d records were analysed\n", results.Successes(), records);
      for (const std::string& line : results.Lines()) std::fprintf(stderr, "  %s\n", line.c_str());
      fs::remove_all(folder);
      return 1;
    }
  }

  SettingsDefaults defaults;
  defaults.home = folder.string();
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock, defaults);
  doc.SetDataDirectory(folder.string());
  win::ScriptedPrompt prompt;
  const win::ScopedPrompt scoped(prompt);
  const auto start = std::chrono::steady_clock::now();
  tools::TAnnotationStatistic(doc).RunMit();
  const double statistic = Seconds(start);

  std::printf("%d records of 30 min\n", records);
  std::printf("batch, one thread: %.2f s\n", seconds[0]);
  std::printf("batch, all cores (%d workers): %.2f s, speed-up %.2f\n", std::min(cores, records), seconds[1],
              seconds[0] / seconds[1]);
  std::printf("statistic: %.3f s\n", statistic);
  fs::remove_all(folder);
  return 0;
}
