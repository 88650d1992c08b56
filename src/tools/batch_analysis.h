#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis_run.h"
#include "tools/run_family.h"

class CZK470Doc;
class CProgressWindow;

namespace analysis {
class AnalysisDialogs;
}
namespace platform {
class ResourcePack;
}
namespace win {
class Window;
}

// Texts of the batch analysis.
inline constexpr int kIdsBatchStopped = 15104;
inline constexpr int kIdsBatchResultsCaption = 15105;
inline constexpr int kIdsBatchAnalysed = 15106;
inline constexpr int kIdsBatchFailed = 15107;
inline constexpr int kIdsBatchPickerTitle = 59399;

// English texts into every pack, German ones into "ZK470Ger".
void AddBatchAnalysisResources(platform::ResourcePack& pack);

namespace tools {

// What the batch asks of the program: the analysis services of one worker's runs around that
// worker's dialogs (engine choice, pacemaker and ST steps, library version text). The program
// installs them at start-up; empty: runs with the analysis run's defaults and neither pacemaker
// nor ST step. Called on the thread that starts the batch. The batch replaces the dialogs, the
// engine (each worker has its own) and the aborted flag.
struct BatchAnalysisServices {
  std::function<analysis::AnalysisRun::Services(analysis::AnalysisDialogs& dialogs)> run_services;
};

void InstallBatchAnalysisServices(BatchAnalysisServices services);
const BatchAnalysisServices& GetBatchAnalysisServices();

// Installs services for a scope and restores the earlier ones after it.
class ScopedBatchAnalysisServices {
 public:
  explicit ScopedBatchAnalysisServices(BatchAnalysisServices services);
  ~ScopedBatchAnalysisServices();
  ScopedBatchAnalysisServices(const ScopedBatchAnalysisServices&) = delete;
  ScopedBatchAnalysisServices& operator=(const ScopedBatchAnalysisServices&) = delete;

 private:
  BatchAnalysisServices saved_;
};

// Where a batch stands, as its progress callback sees it.
struct BatchProgress {
  int done = 0;  // recordings whose outcome is known
  int total = 0;
  std::vector<std::string> running;  // paths being analysed now, by worker
};

struct BatchOptions {
  // Worker threads; 0 or less: one per hardware thread. Never more than there are recordings.
  int threads = 0;
  // A document without user interface for one recording, made on its worker thread (under that
  // worker's own document context) from state that no other thread changes meanwhile. Required.
  std::function<std::unique_ptr<CZK470Doc>()> make_document;
  // The analysis services of one worker, called on the calling thread before the workers start.
  std::function<analysis::AnalysisRun::Services(analysis::AnalysisDialogs& dialogs)> run_services;
  // Called on the calling thread about every poll_ms while the workers run; false cancels: no
  // further recording is handed out and the running analyses stop without saving.
  std::function<bool(const BatchProgress&)> progress;
  int poll_ms = 100;
  std::string success_label = "Analysed";
  std::string failure_label = "Errors";
  std::string stop_line = "Batch analysis stopped !";
  // False: a recording analysed and saved gets no line of its own (it is still counted).
  bool list_successes = true;
};

// Analyses every recording on its own document and saves it: one recording per worker thread at a
// time, the built-in engine in parallel, the external library one run at a time. Returns the
// result list in the order of paths (not of completion) with the stop line when the batch was
// cancelled or an analysis failed, then " " and the summary. A recording that is not analysed to
// its end is not saved. Blocks the calling thread until every worker has ended.
RunResults RunBatchAnalysis(const std::vector<std::string>& paths, const BatchOptions& options);

// Runs the batch over paths under the batch's progress window with Cancel, on documents made
// like the program's (its settings and clock) with the program's analysis services. The labels,
// lines and threads of options are kept; the rest is filled in here.
RunResults RunProgramBatch(win::Window* frame, CZK470Doc& doc, const std::vector<std::string>& paths,
                           BatchOptions options);

// Command 33030: picks recordings, analyses them on all cores under a progress window with
// Cancel, and shows the result list. Leaves the document empty.
void BatchAnalysis(win::Window* frame, CZK470Doc* doc);
// The batch's progress window: modal over the frame with Cancel, the count and the recordings
// being analysed.
void OpenBatchProgress(CProgressWindow& window, win::Window* frame, int threads, int total);
void ShowBatchProgress(CProgressWindow& window, const BatchProgress& progress);

// Command 33047: throws the analysis of the open recording away (no question); the file changes
// only when the user saves.
void DiscardAnalysis(CZK470Doc& doc);

}  // namespace tools
