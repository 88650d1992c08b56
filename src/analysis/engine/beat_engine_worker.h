#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ids.h"
#include "platform/worker.h"

class BeatEngine;
class BeatEngineOutput;
class BeatSampleSource;

// How a run of the built-in engine ended, as its end handler hears it. A cancelled run has no end
// handler call: the dialog that cancelled it has already closed.
enum class BeatEngineEnd { kFinished, kFailed };

// Runs the built-in engine on one worker thread: initialises the engine on the starting thread,
// runs it on the worker, and calls the end handler on the worker when the run has finished or
// failed. The progress dialog polls MinutesReported, IsRunning and the counts (every 500 ms) and
// calls RequestStop on cancel. Start, RequestStop and Join belong to the owning thread. The
// destructor stops and joins, so the engine is never left running on a dead owner.
class BeatEngineWorker {
 public:
  // Called on the worker thread; error is empty unless the run failed.
  using EndHandler = std::function<void(BeatEngineEnd end, const std::string& error)>;

  // The message the engine posts to its dialog at the end of a run that was not cancelled;
  // wparam 0 finished, 1 failed (a read fault of the recording).
  static constexpr uint32_t kEndMessage = msg::kEngineEnd;

  explicit BeatEngineWorker(BeatEngine& engine);
  ~BeatEngineWorker();
  BeatEngineWorker(const BeatEngineWorker&) = delete;
  BeatEngineWorker& operator=(const BeatEngineWorker&) = delete;

  // Returns false (and starts nothing) while an earlier run of this worker is still going.
  bool Start(BeatSampleSource& source, BeatEngineOutput* output, EndHandler on_end);
  void RequestStop();
  // Waits for the worker thread; nothing when none was started.
  void Join();

  [[nodiscard]] bool IsRunning() const;
  [[nodiscard]] int32_t MinutesReported() const;
  [[nodiscard]] int32_t NormalCount() const;
  [[nodiscard]] int32_t VentricularCount() const;

  // An end handler that posts kEndMessage to target through queue (the user-interface queue).
  static EndHandler PostTo(platform::UiQueue& queue, uintptr_t target);

 private:
  BeatEngine& engine_;
  std::unique_ptr<platform::WorkerThread> thread_;
};
