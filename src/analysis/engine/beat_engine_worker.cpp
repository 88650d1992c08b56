#include "analysis/engine/beat_engine_worker.h"

#include <utility>

#include "analysis/engine/beat_engine.h"

BeatEngineWorker::BeatEngineWorker(BeatEngine& engine) : engine_(engine) {}

BeatEngineWorker::~BeatEngineWorker() {
  RequestStop();
  Join();
}

bool BeatEngineWorker::Start(BeatSampleSource& source, BeatEngineOutput* output, EndHandler on_end) {
  if ((thread_ && !thread_->Finished()) || engine_.IsRunning()) return false;
  Join();
  engine_.BeatEngineInit(&source, output);
  thread_ = std::make_unique<platform::WorkerThread>();
  auto finished = std::make_shared<bool>(false);
  thread_->Start([this, finished](const platform::WorkerThread&) { *finished = engine_.BeatEngineRun(); },
                 [this, finished, on_end = std::move(on_end)](const platform::WorkerResult& result) {
                   if (!on_end) return;
                   if (!result.ok) {
                     on_end(BeatEngineEnd::kFailed, result.error);
                   } else if (*finished && !engine_.StopRequested()) {
                     on_end(BeatEngineEnd::kFinished, {});
                   }
                 });
  return true;
}

void BeatEngineWorker::RequestStop() {
  // Only a run this worker started: another worker's run on the same engine is not ours to stop.
  if (!thread_ || thread_->Finished()) return;
  engine_.RequestStop();
  thread_->RequestStop();
}

void BeatEngineWorker::Join() {
  if (thread_) thread_->Join();
}

bool BeatEngineWorker::IsRunning() const { return engine_.IsRunning(); }
int32_t BeatEngineWorker::MinutesReported() const { return engine_.MinutesReported(); }
int32_t BeatEngineWorker::NormalCount() const { return engine_.NormalCount(); }
int32_t BeatEngineWorker::VentricularCount() const { return engine_.VentricularCount(); }

BeatEngineWorker::EndHandler BeatEngineWorker::PostTo(platform::UiQueue& queue, uintptr_t target) {
  return [&queue, target](BeatEngineEnd end, const std::string&) {
    queue.PostMessage(target, kEndMessage, end == BeatEngineEnd::kFinished ? 0 : 1, 0);
  };
}
