// Starts of the real program against each other: a plain second start hands over to the running
// one and ends; a second start with an automation command is not turned away by the
// single-instance check; starts at the same moment leave exactly one running; and a runtime
// folder the guard cannot use never lets a start run unguarded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "core/automation_exit_codes.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

class SingleInstanceProcess : public testing::Test {
 protected:
  SingleInstanceProcess() {
    // Plain starts need a platform; the offscreen one stands in for a screen.
    home_.SetEnv("QT_QPA_PLATFORM", "offscreen");
  }

  static std::string BaseName() { return "ZK470Class-" + std::to_string(::getuid()); }
  // The running instance's lock and socket, named after the main window class and the user.
  fs::path LockPath(const fs::path& runtime) const { return runtime / (BaseName() + ".lock"); }
  fs::path SocketPath() const { return home_.Root() / "runtime" / BaseName(); }

  ProgramHome home_;
};

TEST_F(SingleInstanceProcess, SecondPlainStartRaisesTheFirstAndEnds) {
  BackgroundProgram first({});
  ASSERT_TRUE(WaitFor([&] { return fs::exists(SocketPath()) || first.Ended(); }))
      << "the first start never listened";
  ASSERT_FALSE(first.Ended()) << first.Stop().err;

  const platform::ProcessResult second = RunProgram({}, 30000);
  EXPECT_EQ(second.exit_code, kExitOtherInstanceRunning) << second.err;
  // The first one answered the raise request.
  EXPECT_EQ(second.err.find("did not answer"), std::string::npos) << second.err;
  EXPECT_FALSE(first.Ended());

  // An automation start goes on past the check; the dispatcher then ends it with its code for
  // "another instance was already running", and the first one is not disturbed.
  const platform::ProcessResult automated = RunProgram({"-AnalyzeRecording", "x"}, 30000);
  EXPECT_EQ(automated.exit_code, kExitOtherInstanceRunning) << automated.err;
  EXPECT_FALSE(first.Ended());
  EXPECT_TRUE(first.Stop().stopped);
}

TEST_F(SingleInstanceProcess, SimultaneousStartsLeaveExactlyOneRunning) {
  constexpr int kStarts = 15;
  std::vector<std::unique_ptr<BackgroundProgram>> starts;
  for (int i = 0; i < kStarts; ++i)
    starts.push_back(std::make_unique<BackgroundProgram>(std::vector<std::string>{}));
  auto ended = [&] {
    int count = 0;
    for (const auto& start : starts) count += start->Ended() ? 1 : 0;
    return count;
  };
  // Every start but one hands over and ends; the bound only catches a start that keeps running.
  EXPECT_TRUE(WaitFor([&] { return ended() >= kStarts - 1; }, 120000))
      << ended() << " of " << kStarts << " ended";

  int running = 0;
  for (const auto& start : starts) {
    if (!start->Ended()) {
      ++running;
      continue;
    }
    const platform::ProcessResult result = start->Stop();
    EXPECT_EQ(result.exit_code, kExitOtherInstanceRunning) << result.err;
  }
  EXPECT_EQ(running, 1);
  for (const auto& start : starts) start->Stop();
}

TEST_F(SingleInstanceProcess, RuntimeFolderTooDeepForASocketPathStillGuards) {
  // Far beyond the 107 bytes a local socket's path may have.
  fs::path runtime = home_.Root() / "runtime";
  for (int i = 0; i < 8; ++i) runtime /= "a-long-folder-name-for-the-runtime-files";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  home_.SetEnv("XDG_RUNTIME_DIR", runtime.string());

  BackgroundProgram first({});
  WaitFor([&] { return fs::exists(LockPath(runtime)) || first.Ended(); });
  ASSERT_FALSE(first.Ended()) << first.Stop().err;

  const platform::ProcessResult second = RunProgram({}, 30000);
  EXPECT_EQ(second.exit_code, kExitOtherInstanceRunning) << second.err;
  EXPECT_EQ(second.err.find("did not answer"), std::string::npos) << second.err;
  EXPECT_FALSE(first.Ended());
  EXPECT_TRUE(first.Stop().stopped);
}

TEST_F(SingleInstanceProcess, NoFolderForTheLockEndsTheStartAndSaysWhy) {
  // Both the runtime folder and the temp folder are plain files: nowhere to put the lock.
  const fs::path not_a_folder = home_.Root() / "not-a-folder";
  { std::ofstream(not_a_folder) << "x"; }
  home_.SetEnv("XDG_RUNTIME_DIR", not_a_folder.string());
  home_.SetEnv("TMPDIR", not_a_folder.string());

  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const Case cases[] = {{"plain start", {}}, {"automation start", {"-AnalyzeRecording", "x"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const platform::ProcessResult result = RunProgram(c.args, 30000);
    EXPECT_FALSE(result.timed_out) << "the start ran unguarded";
    EXPECT_EQ(result.exit_code, kExitOtherInstanceRunning) << result.err;
    EXPECT_NE(result.err.find("only one copy"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(not_a_folder.string()), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace apptest
