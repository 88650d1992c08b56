#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// How an external command ended. A command that could not start is a value, not an exception:
// its callers (the tape converter, mail) report it in their own terms.
struct ProcessResult {
  bool started = false;
  int exit_code = -1;  // valid when it exited by itself (signal 0, not timed out or stopped)
  int signal = 0;      // the signal that ended it, 0 when it exited
  bool timed_out = false;
  bool stopped = false;  // killed because the caller asked to stop
  std::string out;       // what it wrote to standard output
  std::string err;       // ... and to standard error
  bool output_truncated = false;  // more than kMaxCapturedBytes on a stream; the rest was dropped
  std::string error;     // why it did not start or ended abnormally

  bool Succeeded() const { return started && !timed_out && !stopped && signal == 0 && exit_code == 0; }
};

struct ProcessOptions {
  // Longest run; at the time-out the whole process group is killed. 0 or less waits without limit.
  int timeout_ms = 0;
  // Polled while the command runs (from the calling thread); true kills the process group.
  std::function<bool()> stop_requested;
};

inline constexpr size_t kMaxCapturedBytes = 16 * 1024 * 1024;

// Runs argv[0] (searched on PATH when it holds no "/") with the given arguments, no shell, in its
// own process group, with standard input from /dev/null, and waits for it. Blocks the calling
// thread; a worker thread runs it under a modal dialog.
ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

}  // namespace platform
