#include "analysis/analysis_dialogs.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>

#include "platform/worker.h"

namespace analysis {

HeadlessAnalysisDialogs::HeadlessAnalysisDialogs(std::ostream* log, int poll_ms) : log_(log), poll_ms_(poll_ms) {}

int HeadlessAnalysisDialogs::RunProgressDialog(AnalysisProgress& progress) {
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
      if (ended_changed.wait_for(lock, std::chrono::milliseconds(poll_ms_), [&] { return ended; })) break;
    }
    const AnalysisProgress::Display display = progress.OnTimer();
    if (log_ != nullptr) {
      *log_ << "minute " << display.minute << " of " << progress.GetMinuteCount() << ": " << display.normal
            << " normal, " << display.ventricular << " ventricular\n";
    }
  }
  // OnEndMessage waits for the worker, which may still be returning from the notice above.
  return progress.IsEnded() ? progress.GetResult() : progress.OnEndMessage();
}

int HeadlessAnalysisDialogs::RunWaitDialog(const WaitDialogKind& kind, const std::function<void()>& work) {
  platform::WorkerThread worker;
  worker.Start([&work](const platform::WorkerThread&) { work(); });
  worker.Join();
  const platform::WorkerResult result = worker.Result();
  if (!result.ok && log_ != nullptr) *log_ << kind.name << ": " << result.error << "\n";
  return kResultFinished;
}

}  // namespace analysis
