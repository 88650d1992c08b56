#pragma once

#include <cstdint>

namespace platform {

// A broken-down local date and time.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  bool operator==(const LocalDateTime&) const = default;
};

// Time source. Time-dependent code takes one; tests pass a ManualClock.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
  // A monotonic millisecond counter for timers and time-outs.
  virtual int64_t TickMs() const = 0;
};

class SystemClock : public Clock {
 public:
  LocalDateTime Now() const override;
  int64_t TickMs() const override;
};

// A clock that moves only when told to.
class ManualClock : public Clock {
 public:
  explicit ManualClock(LocalDateTime now = {}) : now_(now) {}
  LocalDateTime Now() const override { return now_; }
  int64_t TickMs() const override { return tick_ms_; }
  void Set(const LocalDateTime& now) { now_ = now; }
  void Advance(int64_t ms) { tick_ms_ += ms; }

 private:
  LocalDateTime now_;
  int64_t tick_ms_ = 0;
};

}  // namespace platform
