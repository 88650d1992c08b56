#include "support/testdata_cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/recording_setup.h"
#include "support/test_files.h"
#include "support/truth_list.h"
#include "support/wfdb_test_files.h"

namespace testsupport {
namespace {

std::filesystem::path TestDir() { return MakeTestDir("cli"); }

struct CliResult {
  int code;
  std::string out;
  std::string err;
};

CliResult Cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunTestdataCli(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(TestdataCli, SynthWritesARecordingWithTheGivenOptions) {
  const std::filesystem::path dir = TestDir();
  const std::string base = (dir / "00001").string();
  const CliResult run = Cli({"synth", "--seconds", "90", "--channels", "3", "--seed", "7", "--hr", "90", "--ves", "0.1",
                       "--st", "10-50:-150:1", "--start", "2023-02-03 04:05:06", base});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("00001.CMP (2 min, 3 channels)"), std::string::npos) << run.out;
  const RecordingSetup setup = ReadRecordingSetup(dir / "00001.setup.txt");
  EXPECT_EQ(setup.channels, 3);
  EXPECT_EQ(setup.minutes, 2);
  EXPECT_EQ(setup.start, (RecordingStart{2023, 2, 3, 4, 5, 6}));
  const TruthList truth = ReadTruthList(dir / "00001.truth.txt");
  EXPECT_GT(truth.beats.size(), 150u) << "90 bpm for 2 minutes";
  EXPECT_NE(std::find(truth.events.begin(), truth.events.end(), TruthEvent{kKindStEpisode1, 1250, 6250}), truth.events.end());
  EXPECT_TRUE(std::filesystem::exists(dir / "00001.CMP"));
}

TEST(TestdataCli, FromWfdbConvertsARecord) {
  const std::filesystem::path dir = TestDir();
  std::vector<std::vector<int16_t>> signals(2, std::vector<int16_t>(360 * 70, 1024));
  const std::filesystem::path record = WriteTestRecord(dir, "rec", 360, signals, {{360, 1}});
  const CliResult run = Cli({"from-wfdb", record.string(), (dir / "out").string()});
  ASSERT_EQ(run.code, 0) << run.err;
  for (const char* file : {"out.CMP", "out.152", "out.ANO", "out.truth.txt", "out.setup.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(dir / file)) << file;
  }
  const CliResult missing = Cli({"from-wfdb", (dir / "nothing").string(), (dir / "x").string()});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("nothing.hea"), std::string::npos) << missing.err;
}

TEST(TestdataCli, BadCommandLinesShowTheUsage) {
  const std::filesystem::path dir = TestDir();
  const std::string out = (dir / "x").string();
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {"nothing", {}, "no command"},
      {"unknown command", {"make"}, "unknown command make"},
      {"no output", {"synth", "--minutes", "2"}, "needs an output path"},
      {"unknown option", {"synth", "--colour", out}, "unknown option --colour"},
      {"missing value", {"synth", out, "--hr"}, "--hr needs a value"},
      {"not a number", {"synth", "--hr", "fast", out}, "\"fast\" is not a number"},
      {"out of range", {"synth", "--channels", "5", out}, "channels must be 1 to 3"},
      {"old with 3 channels", {"synth", "--old", "--channels", "3", out}, "exactly 2 channels"},
      {"huge length", {"synth", "--minutes", "999999999999", out}, "--minutes: length out of range"},
      {"length not a number", {"synth", "--hours", "nan", out}, "--hours: length out of range"},
      {"beyond 72 h", {"synth", "--hours", "73", out}, "duration must be 1 s to 72 h"},
      {"bad ST", {"synth", "--st", "10:5", out}, "--st"},
      {"ST beyond 72 h", {"synth", "--st", "10-1e300:-100", out}, "--st: span outside"},
      {"bad start", {"synth", "--start", "yesterday", out}, "--start"},
      {"from-wfdb without output", {"from-wfdb", "rec"}, "needs RECORD and OUT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CliResult run = Cli(c.args);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.CMP"));
  EXPECT_EQ(Cli({"--help"}).code, 0);
}

}  // namespace
}  // namespace testsupport
