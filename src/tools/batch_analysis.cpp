#include "tools/batch_analysis.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "analysis/analysis_dialogs.h"
#include "analysis/engine/beat_engine.h"
#include "analysis/rhythm_detection.h"
#include "common/progress_window.h"
#include "document/document_context.h"
#include "document/document_host.h"
#include "document/settings_store.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/unattended_answer.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsBatchStopped, "Batch analysis stopped !"},
    {kIdsBatchResultsCaption, "Results - Batch Analysis"},
    {kIdsBatchAnalysed, "Analysed"},
    {kIdsBatchFailed, "Errors"},
    {kIdsBatchPickerTitle, "Select Files for Batch Analysis"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsBatchStopped, "Stapelauswertung abgebrochen !"},
    {kIdsBatchResultsCaption, "Ergebnisse - Stapelauswertung"},
    {kIdsBatchAnalysed, "Ausgewertet"},
    {kIdsBatchFailed, "Fehler"},
    {kIdsBatchPickerTitle, "Dateien für die Stapelauswertung auswählen"},
};

}  // namespace

void AddBatchAnalysisResources(platform::ResourcePack& pack) {
  pack.AddStrings(win::IsGermanPack(pack) ? std::span<const platform::StringEntry>(kGermanStrings)
                                          : std::span<const platform::StringEntry>(kEnglishStrings));
}

namespace tools {
namespace {

constexpr const char* kProgressCaption = "Batch Analysis";
// How often a worker's progress loop looks at the batch's Cancel.
constexpr int kWorkerPollMs = 20;

BatchAnalysisServices& Services() {
  static BatchAnalysisServices services;
  return services;
}

// The external library binding is one per process: its runs go one at a time.
std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

// A worker's prompt: what its document and analysis would have shown in message boxes goes to the
// result list instead, one line per text line; questions get the unattended answer. Worker thread.
class WorkerPrompt : public win::Prompt {
 public:
  int MessageBox(std::string_view text, std::string_view /*caption*/, unsigned style) override {
    std::string_view rest = text;
    while (!rest.empty()) {
      const size_t end = rest.find('\n');
      const std::string_view line = rest.substr(0, end);
      if (!line.empty()) lines_.emplace_back(line);
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
    return win::UnattendedAnswer(style);
  }
  std::optional<std::string> ChooseFile(const win::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<uint32_t> ChooseColor(uint32_t) override { return std::nullopt; }
  std::optional<std::vector<std::string>> ChooseFiles(const win::FileDialogRequest&) override {
    return std::nullopt;
  }

  std::vector<std::string> TakeLines() { return std::exchange(lines_, {}); }

 private:
  std::vector<std::string> lines_;
};

// The host of a worker's document: that worker's own batch flags; no recent files, no main frame,
// nothing shown.
class WorkerHost : public document::DocumentHost {
 public:
  bool IsBatchRunning() const override { return true; }
  void SetBatchFileResult(int result) override { file_result_ = result; }
  int FileResult() const { return file_result_; }

 private:
  int file_result_ = 0;
};

// The analysis dialogs of one worker: the progress loop runs on the worker thread and answers the
// batch's Cancel; the wait dialogs' work runs on a thread of its own, as in the program.
class WorkerDialogs : public analysis::AnalysisDialogs {
 public:
  explicit WorkerDialogs(const std::atomic<bool>& cancel) : cancel_(cancel) {}

  int RunProgressDialog(analysis::AnalysisProgress& progress) override {
    std::mutex mutex;
    std::condition_variable ended_changed;
    bool ended = false;
    progress.Start([&] {
      {
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
      }
      ended_changed.notify_all();
    });
    while (!progress.IsEnded()) {
      {
        std::unique_lock<std::mutex> lock(mutex);
        if (ended_changed.wait_for(lock, std::chrono::milliseconds(kWorkerPollMs), [&] { return ended; }))
          break;
      }
      (void)progress.OnTimer();
      // Cancel may be refused for a while (the engine consolidating): asked again at every poll.
      if (cancel_.load() && progress.OnCancel()) break;
    }
    return progress.IsEnded() ? progress.GetResult() : progress.OnEndMessage();
  }

  int RunWaitDialog(const analysis::WaitDialogKind& kind, const std::function<void()>& work) override {
    platform::WorkerThread worker;
    worker.Start([&work](const platform::WorkerThread&) { work(); });
    worker.Join();
    const platform::WorkerResult result = worker.Result();
    if (!result.ok)
      win::CurrentPrompt().MessageBox(std::string(kind.name) + ": " + result.error, "ZK-470", win::kMbOk);
    return analysis::kResultFinished;
  }

 private:
  const std::atomic<bool>& cancel_;
};

// What became of one recording.
struct Outcome {
  std::vector<std::string> lines;
  bool success = false;
  bool failure = false;
  bool decided = false;  // false: cancelled or never handed out
  bool stops = false;    // the analysis was cancelled or failed on its own: the batch ends
};

// The state the workers and the calling thread share; guarded by mutex but for the flags.
struct Shared {
  explicit Shared(size_t files, size_t workers) : outcomes(files), running(workers), workers_left(workers) {}

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Outcome> outcomes;
  std::vector<std::string> running;
  size_t workers_left;
  int done = 0;
  // Cancel is a look at the progress window on the calling thread: a worker asks for one and
  // waits for it before each recording, so that a Cancel pressed before is never overtaken.
  int looks_wanted = 0;
  int looks_taken = 0;
  std::atomic<size_t> next{0};
  std::atomic<bool> cancel{false};
  std::atomic<bool> stop{false};
};

// One worker thread with its own context, prompt, dialogs and engine.
struct Worker {
  explicit Worker(const std::atomic<bool>& cancel)
      : dialogs(cancel), engine(std::make_unique<BeatEngine>()) {}

  document::DocumentContext context;
  WorkerPrompt prompt;
  WorkerDialogs dialogs;
  std::unique_ptr<BeatEngine> engine;
  analysis::AnalysisRun::Services services;
  platform::WorkerThread thread;
};

Outcome AnalyseRecording(const std::string& path, Worker& worker, const BatchOptions& options,
                         Shared& shared) {
  Outcome outcome;
  (void)worker.prompt.TakeLines();
  const auto finish = [&](std::string line, bool success) {
    if (!line.empty()) outcome.lines.push_back(std::move(line));
    for (std::string& message : worker.prompt.TakeLines()) outcome.lines.push_back(std::move(message));
    outcome.success = success;
    outcome.failure = !success;
    outcome.decided = true;
    return outcome;
  };
  // The document without user interface reports a missing or invalid data file to nobody.
  if (CZK470Doc::IsDataFileMissing(path) || CZK470Doc::IsDataFileInvalid(path))
    return finish("ECG datafile not found - " + path, false);

  WorkerHost host;
  std::unique_ptr<CZK470Doc> doc = options.make_document();
  doc->SetHost(&host);
  if (!doc->OnOpenDocument(path)) return finish("Error opening file - " + path, false);

  analysis::AnalysisRun run(worker.services);
  doc->SetAnalysisHooks(&run);
  int result = analysis::kResultCancelled;
  {
    std::unique_lock<std::mutex> library(LibraryMutex(), std::defer_lock);
    if (analysis::GetAnalysisMode(*doc) == 1) library.lock();
    if (!shared.cancel.load()) result = run.Run(*doc, 0);
  }
  doc->SetAnalysisHooks(nullptr);
  if (shared.cancel.load()) return outcome;  // not saved, no line: the file stays as it was
  if (result != analysis::kResultFinished || host.FileResult() == 1) {
    outcome = finish({}, false);
    outcome.failure = false;  // the stop line speaks for it, as it always did
    outcome.stops = true;
    return outcome;
  }
  if (!doc->DoFileSave()) return finish("Error writing file - " + path, false);
  return finish(options.list_successes ? options.success_label + " - " + path : std::string(), true);
}

void RunWorker(size_t index, Worker& worker, const std::vector<std::string>& paths,
               const BatchOptions& options, Shared& shared) {
  const document::ScopedThreadContext context(worker.context);
  const platform::ScopedThreadSlot prompt(platform::ThreadSlot::kPrompt,
                                          static_cast<win::Prompt*>(&worker.prompt));
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(shared.mutex);
      const int wanted = ++shared.looks_wanted;
      shared.changed.notify_all();
      shared.changed.wait(lock, [&] { return shared.looks_taken >= wanted; });
    }
    if (shared.cancel.load() || shared.stop.load()) break;
    const size_t file = shared.next.fetch_add(1);
    if (file >= paths.size()) break;
    const std::string& path = paths[file];
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      shared.running[index] = path;
    }
    Outcome outcome;
    try {
      outcome = AnalyseRecording(path, worker, options, shared);
    } catch (const std::exception& e) {
      outcome = {{"Error reading file - " + path, e.what()}, false, true, true, false};
      (void)worker.prompt.TakeLines();
    }
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      shared.running[index].clear();
      if (outcome.decided) ++shared.done;
      if (outcome.stops) shared.stop.store(true);
      shared.outcomes[file] = std::move(outcome);
    }
    shared.changed.notify_all();
  }
  {
    std::lock_guard<std::mutex> lock(shared.mutex);
    --shared.workers_left;
  }
  shared.changed.notify_all();
}

size_t WorkerCount(int requested, size_t files) {
  const size_t wanted = requested > 0 ? static_cast<size_t>(requested)
                                      : std::max<size_t>(1, std::thread::hardware_concurrency());
  return std::min(wanted, files);
}

}  // namespace

void InstallBatchAnalysisServices(BatchAnalysisServices services) { Services() = std::move(services); }
const BatchAnalysisServices& GetBatchAnalysisServices() { return Services(); }

ScopedBatchAnalysisServices::ScopedBatchAnalysisServices(BatchAnalysisServices services)
    : saved_(Services()) {
  Services() = std::move(services);
}
ScopedBatchAnalysisServices::~ScopedBatchAnalysisServices() { Services() = std::move(saved_); }

RunResults RunBatchAnalysis(const std::vector<std::string>& paths, const BatchOptions& options) {
  const size_t worker_count = WorkerCount(options.threads, paths.size());
  Shared shared(paths.size(), worker_count);
  std::vector<std::unique_ptr<Worker>> workers;
  for (size_t w = 0; w < worker_count; ++w) {
    auto worker = std::make_unique<Worker>(shared.cancel);
    if (options.run_services) worker->services = options.run_services(worker->dialogs);
    worker->services.dialogs = &worker->dialogs;
    worker->services.engine = worker->engine.get();
    // The batch saves each recording itself, once it knows that the run finished and was not
    // cancelled; the run's own save after a first analysis must not come before that decision.
    worker->services.set_analysis_aborted = [](int) {};
    worker->services.is_analysis_aborted = [] { return 1; };
    workers.push_back(std::move(worker));
  }
  for (size_t w = 0; w < worker_count; ++w) {
    workers[w]->thread.Start(
        [&, w](const platform::WorkerThread&) { RunWorker(w, *workers[w], paths, options, shared); });
  }

  for (;;) {
    BatchProgress progress;
    int looks_wanted = 0;
    {
      std::unique_lock<std::mutex> lock(shared.mutex);
      if (shared.changed.wait_for(
              lock, std::chrono::milliseconds(std::max(options.poll_ms, 1)),
              [&] { return shared.workers_left == 0 || shared.looks_wanted > shared.looks_taken; }) &&
          shared.workers_left == 0)
        break;
      looks_wanted = shared.looks_wanted;
      progress.done = shared.done;
      progress.total = static_cast<int>(paths.size());
      progress.running = shared.running;
    }
    if (options.progress && !options.progress(progress)) shared.cancel.store(true);
    {
      const std::lock_guard<std::mutex> lock(shared.mutex);
      shared.looks_taken = std::max(shared.looks_taken, looks_wanted);
    }
    shared.changed.notify_all();
  }
  for (auto& worker : workers) worker->thread.Join();

  RunResults results;
  bool undecided = false;
  for (Outcome& outcome : shared.outcomes) {
    for (std::string& line : outcome.lines) results.Add(std::move(line));
    if (outcome.success) results.CountSuccess();
    if (outcome.failure) results.CountError();
    if (!outcome.decided) undecided = true;
  }
  if (shared.stop.load() || (shared.cancel.load() && undecided)) results.Add(options.stop_line);
  results.AddSummary(options.success_label, options.failure_label);
  return results;
}

void BatchAnalysis(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  const PickResult picked = PickFiles(frame, platform::LoadString(kIdsBatchPickerTitle),
                                      doc->GetDataDirectory(), kPickRecordingsBatch);
  if (!picked.ok || picked.paths.empty()) return;
  // The program's document lets its recording go first (a chosen recording may be the open one,
  // which it holds locked), offering unsaved changes for saving as opening another file would.
  if (!doc->SaveModified()) return;
  doc->SetModifiedFlag(false);
  ResetDocument(*doc);

  BatchOptions options;
  options.success_label = platform::LoadString(kIdsBatchAnalysed);
  options.failure_label = platform::LoadString(kIdsBatchFailed);
  options.stop_line = platform::LoadString(kIdsBatchStopped);
  const RunResults results = RunProgramBatch(frame, *doc, picked.paths, std::move(options));
  ShowResults(frame, platform::LoadString(kIdsBatchResultsCaption), results.Lines(), true);
}

RunResults RunProgramBatch(win::Window* frame, CZK470Doc& doc, const std::vector<std::string>& paths,
                           BatchOptions options) {
  // Every worker document takes the settings of the program's document, as the analysis of the
  // open recording would; nothing writes these copies while the workers run.
  const SettingsStore settings = doc.GetSettings();
  const platform::Clock& clock = doc.GetClock();
  // Read only: a document without user interface writes nothing back.
  platform::MemoryProfileStore no_profile;
  options.threads = static_cast<int>(WorkerCount(options.threads, paths.size()));
  options.make_document = [&] {
    auto worker_doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, no_profile, clock);
    worker_doc->GetSettings() = settings;
    return worker_doc;
  };
  if (const auto& services = GetBatchAnalysisServices().run_services) options.run_services = services;

  CProgressWindow window;
  OpenBatchProgress(window, frame, options.threads, static_cast<int>(paths.size()));
  options.progress = [&window](const BatchProgress& progress) {
    ShowBatchProgress(window, progress);
    (void)window.PumpMessages(true);
    return !window.IsCancelled();
  };
  return RunBatchAnalysis(paths, options);
}

void OpenBatchProgress(CProgressWindow& window, win::Window* frame, int threads, int total) {
  window.CreatePopup(frame, kProgressCaption, true);
  // A line for the count and one for each worker's recording.
  window.Layout(1 + std::min(threads, 8), CProgressWindow::kDefaultWidth);
  window.BeginModal(kProgressCaption, true);
  window.SetRange(0, total, 1);
}

void ShowBatchProgress(CProgressWindow& window, const BatchProgress& progress) {
  std::string text = std::to_string(progress.done) + " of " + std::to_string(progress.total);
  for (const std::string& path : progress.running)
    if (!path.empty()) text += "\n" + std::filesystem::path(path).filename().string();
  window.SetText("%s", text.c_str());
  window.SetPos(progress.done);
}

void DiscardAnalysis(CZK470Doc& doc) {
  doc.ResetAnalysisResults();
  doc.SetModifiedFlag(true);
  doc.GetHost().PostMainFrameMessage(msg::kStatusRefresh);
  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
}

}  // namespace tools
