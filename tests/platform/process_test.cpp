#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace platform {
namespace {

TEST(RunProcess, CapturesExitCodeAndBothStreams) {
  struct Case {
    const char* name;
    std::vector<std::string> argv;
    int exit_code;
    int signal;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"exit code and streams", {"/bin/sh", "-c", "printf out; printf err >&2; exit 3"}, 3, 0, "out", "err"},
      {"no shell between", {"echo", "a  b", "$HOME", "*"}, 0, 0, "a  b $HOME *\n", ""},
      {"standard input is empty", {"cat"}, 0, 0, "", ""},
      {"ended by a signal", {"/bin/sh", "-c", "kill -TERM $$"}, -1, SIGTERM, "", ""},
      {"much output is drained", {"head", "-c", "1000000", "/dev/zero"}, 0, 0, std::string(1000000, '\0'), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult r = RunProcess(c.argv, {.timeout_ms = 20000, .stop_requested = {}});
    EXPECT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exit_code, c.exit_code);
    EXPECT_EQ(r.signal, c.signal);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.Succeeded(), c.exit_code == 0 && c.signal == 0);
  }
}

TEST(RunProcess, CommandThatCannotStartIsReported) {
  const ProcessResult missing = RunProcess({"/nonexistent/Holtape"});
  EXPECT_FALSE(missing.started);
  EXPECT_NE(missing.error.find("/nonexistent/Holtape"), std::string::npos) << missing.error;
  EXPECT_FALSE(RunProcess({}).started);
}

// True once the process is gone or only a zombie waiting for its new parent.
bool Ended(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

TEST(RunProcess, TimeOutKillsTheWholeProcessGroup) {
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult r = RunProcess({"/bin/sh", "-c", "sleep 30 & echo $!; wait"}, {.timeout_ms = 300, .stop_requested = {}});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(r.started);
  EXPECT_TRUE(r.timed_out);
  EXPECT_FALSE(r.Succeeded());
  EXPECT_EQ(r.signal, SIGKILL);
  EXPECT_NE(r.error.find("300 ms"), std::string::npos) << r.error;
  const std::string grandchild = r.out.substr(0, r.out.find('\n'));
  ASSERT_FALSE(grandchild.empty());
  // The orphan is reaped by its new parent at its own pace: wait on that condition, bounded.
  const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!Ended(grandchild) && std::chrono::steady_clock::now() < bound) std::this_thread::yield();
  EXPECT_TRUE(Ended(grandchild)) << "the background child " << grandchild << " survived";
}

TEST(RunProcess, StopRequestKillsTheCommand) {
  int polls = 0;
  const ProcessResult r = RunProcess({"sleep", "30"}, {.timeout_ms = 0, .stop_requested = [&] { return ++polls >= 2; }});
  EXPECT_TRUE(r.started);
  EXPECT_TRUE(r.stopped);
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(polls, 2);
  EXPECT_FALSE(r.Succeeded());
}

}  // namespace
}  // namespace platform
