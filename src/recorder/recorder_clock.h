#pragma once

#include <cstdint>
#include <mutex>

namespace recorder {

// Every wait of the recorder traffic (wake-up pauses, echo deadlines, poll intervals, retries)
// goes through one of these, so that tests run the real sequences against a simulated recorder
// without waiting out the recorder's seconds. Thread-safe: the read-out's worker and the
// user-interface thread share the installed one.
class RecorderClock {
 public:
  virtual ~RecorderClock() = default;
  // Monotonic milliseconds.
  virtual int64_t TickMs() const = 0;
  virtual void SleepMs(int ms) = 0;
  // Real milliseconds to block in one device read that waits for bytes `ms` of this clock's time.
  virtual int RealWaitMs(int ms) const { return ms; }
};

class SystemRecorderClock : public RecorderClock {
 public:
  int64_t TickMs() const override;
  void SleepMs(int ms) override;
};

// Runs `factor` times faster than real time: a 1000 ms pause sleeps 1000 / factor real ms and
// the tick counter moves `factor` ms per real ms. Keeps the waits in their real proportions.
// Between two readings the counter moves by at most kMaxStepMs plus what was slept: time a loaded
// machine spent not running the waiting threads does not count, so a deadline still sees the
// other side answer.
class ScaledRecorderClock : public RecorderClock {
 public:
  static constexpr int64_t kMaxStepMs = 100;

  explicit ScaledRecorderClock(int factor);
  int64_t TickMs() const override;
  void SleepMs(int ms) override;
  int RealWaitMs(int ms) const override;

 private:
  int factor_;
  int64_t start_real_ms_;
  mutable std::mutex mutex_;
  mutable int64_t last_real_ = 0;  // scaled real time at the last reading
  mutable int64_t skipped_ = 0;    // scaled time not counted
  mutable int64_t slept_ = 0;      // scaled time slept since the last reading
};

// The clock in use; the system clock unless a test installed another.
RecorderClock& Clock();
// nullptr puts the system clock back. The caller keeps the clock alive while it is installed.
void SetClock(RecorderClock* clock);

}  // namespace recorder
