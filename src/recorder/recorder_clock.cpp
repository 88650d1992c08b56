#include "recorder/recorder_clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace recorder {
namespace {

int64_t RealMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

SystemRecorderClock& SystemInstance() {
  static SystemRecorderClock clock;
  return clock;
}

std::atomic<RecorderClock*> g_clock{nullptr};

}  // namespace

int64_t SystemRecorderClock::TickMs() const { return RealMs(); }

void SystemRecorderClock::SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

ScaledRecorderClock::ScaledRecorderClock(int factor)
    : factor_(std::max(1, factor)), start_real_ms_(RealMs()) {}

int64_t ScaledRecorderClock::TickMs() const {
  const int64_t real = (RealMs() - start_real_ms_) * factor_;
  std::lock_guard lock(mutex_);
  const int64_t allowed = kMaxStepMs + slept_;
  if (real - last_real_ > allowed) skipped_ += real - last_real_ - allowed;
  last_real_ = std::max(last_real_, real);
  slept_ = 0;
  return last_real_ - skipped_;
}

void ScaledRecorderClock::SleepMs(int ms) {
  if (ms <= 0) return;
  {
    std::lock_guard lock(mutex_);
    slept_ += ms;
  }
  // Never less than one real millisecond: a poll loop must still let the other side run.
  std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, ms / factor_)));
}

int ScaledRecorderClock::RealWaitMs(int ms) const { return ms <= 0 ? 0 : std::max(1, ms / factor_); }

RecorderClock& Clock() {
  RecorderClock* clock = g_clock.load();
  return clock != nullptr ? *clock : SystemInstance();
}

void SetClock(RecorderClock* clock) { g_clock.store(clock); }

}  // namespace recorder
