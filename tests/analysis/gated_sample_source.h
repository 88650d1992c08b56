#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <utility>

#include "analysis/engine/beat_engine.h"
#include "analysis/engine/beat_sample_source.h"

namespace analysis_test {

// Holds the built-in engine at the start of one minute until the engine is asked to stop (or the
// test lets it go); tells the test when it got there.
class GatedSource : public BeatSampleSource {
 public:
  GatedSource(std::unique_ptr<BeatSampleSource> inner, BeatEngine& engine, int gate_minute)
      : inner_(std::move(inner)), engine_(engine), gate_minute_(gate_minute) {}

  void Reopen() override { inner_->Reopen(); }
  int32_t GetWholeMinutes() const override { return inner_->GetWholeMinutes(); }
  int GetAnalysedChannelCount() const override { return inner_->GetAnalysedChannelCount(); }
  void GetAnalysisMinute(std::span<int16_t, beat_engine::kSamplesPerMinute> samples, int lead, int32_t minute,
                         bool report_markers) override {
    if (lead == 0 && minute == gate_minute_) {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!reached_) {
        reached_ = true;
        changed_.notify_all();
        // The stop request does not signal: look at it now and then.
        while (!released_ && !engine_.StopRequested()) changed_.wait_for(lock, std::chrono::milliseconds(1));
      }
    }
    inner_->GetAnalysisMinute(samples, lead, minute, report_markers);
  }

  void WaitReached() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return reached_; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::unique_ptr<BeatSampleSource> inner_;
  BeatEngine& engine_;
  int gate_minute_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool released_ = false;
};

}  // namespace analysis_test
