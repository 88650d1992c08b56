// Two starts of the real program: a plain second start hands over to the running one and ends; a
// second start with an automation command is not turned away by the single-instance check.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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

  // The running instance's socket, named after the main window class and the user.
  fs::path SocketPath() const { return home_.Root() / "tmp" / ("ZK470Class-" + std::to_string(::getuid())); }

  ProgramHome home_;
};

TEST_F(SingleInstanceProcess, SecondPlainStartRaisesTheFirstAndEnds) {
  BackgroundProgram first({});
  ASSERT_TRUE(WaitFor([&] { return fs::exists(SocketPath()) || first.Ended(); })) << "the first start never listened";
  ASSERT_FALSE(first.Ended()) << first.Stop().err;

  const platform::ProcessResult second = RunProgram({}, 30000);
  EXPECT_EQ(second.exit_code, 0) << second.err;
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

}  // namespace
}  // namespace apptest
