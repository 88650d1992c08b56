#include "core/automation_command_line_info.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/automation_exit_codes.h"
#include "support/comma_decimal_locale.h"

namespace {

using State = CAutomationCommandLineInfo::ParserState;

TEST(CAutomationCommandLineInfo, ParsesCommandLines) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int state;
    int command;
    std::vector<std::string> parameters;
    std::string file_name;
  };
  const std::vector<std::string> kPatient = {"Anna", "Muster", "4711", "24.12.1960", "2"};
  auto update = [&](std::vector<std::string> tail) {
    std::vector<std::string> args = {"/UpdateRecording", "/data/00012/00012.QRS"};
    args.insert(args.end(), kPatient.begin(), kPatient.end());
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
  };
  auto update_params = [&](std::vector<std::string> tail) {
    std::vector<std::string> params = {"/data/00012/00012.QRS"};
    params.insert(params.end(), kPatient.begin(), kPatient.end());
    params.insert(params.end(), tail.begin(), tail.end());
    return params;
  };
  const Case kCases[] = {
      {"empty", {}, State::kNoCommand, 0, {}, ""},
      {"plain file name", {"/home/anna/00012.QRS"}, State::kNoCommand, 0, {}, "/home/anna/00012.QRS"},
      {"word in any case after slash", {"/openrecording", "/data/1/00001.QRS", "/tmp/r.txt"}, State::kComplete, 2,
       {"/data/1/00001.QRS", "/tmp/r.txt"}, ""},
      {"word after minus", {"-OPENRECORDING", "a.QRS", "r.txt"}, State::kComplete, 2, {"a.QRS", "r.txt"}, ""},
      {"word without prefix is a file name", {"Export", "a", "b"}, State::kNoCommand, 0, {}, "Export"},
      {"file name before the command", {"x.QRS", "/DeleteRecording", "/data/1/00001.QRS"}, State::kComplete, 14,
       {"/data/1/00001.QRS"}, "x.QRS"},
      {"export missing a parameter", {"/Export", "*.QRS"}, State::kCollecting, 6, {"*.QRS"}, ""},
      {"export with an extra argument", {"/Export", "*.QRS", "r.txt", "extra"}, State::kArgumentAfterComplete, 6,
       {"*.QRS", "r.txt"}, ""},
      {"second command word", {"/Export", "a", "/Export", "b", "c"}, State::kSecondCommand, 6, {"a"}, ""},
      {"unknown flag while collecting is dropped", {"/Export", "-x", "a", "b"}, State::kComplete, 6, {"a", "b"}, ""},
      {"unknown flag after completion", {"/AnalyzeRecording", "a", "-z"}, State::kComplete, 3, {"a"}, ""},
      {"negative height as last argument", update({"-170"}), State::kFlagWhileCollecting, 5, update_params({}), ""},
      {"negative height dropped, rest shifts", update({"-170", "80", "1", "/tmp/r.txt"}), State::kCollecting, 5,
       update_params({"80", "1", "/tmp/r.txt"}), ""},
      {"update with nine parameters", update({"170", "80", "1"}), State::kCollecting, 5,
       update_params({"170", "80", "1"}), ""},
      {"update complete", update({"170", "80", "1", "/tmp/r.txt"}), State::kComplete, 5,
       update_params({"170", "80", "1", "/tmp/r.txt"}), ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CAutomationCommandLineInfo info;
    info.ParseCommandLine(c.args);
    EXPECT_EQ(info.GetParserState(), c.state);
    EXPECT_EQ(info.GetCommand(), c.command);
    EXPECT_EQ(info.IsCommandComplete(), c.state == State::kComplete && c.command != 0);
    EXPECT_EQ(info.IsParseValid(), c.state == State::kNoCommand || c.state == State::kComplete);
    ASSERT_EQ(info.GetParameterCount(), static_cast<int>(c.parameters.size()));
    for (size_t i = 0; i < c.parameters.size(); ++i) EXPECT_EQ(info.GetParameter(static_cast<int>(i)), c.parameters[i]);
    EXPECT_EQ(info.GetParameter(-1), "");
    EXPECT_EQ(info.GetParameter(info.GetParameterCount()), "");
    EXPECT_EQ(info.GetFileName(), c.file_name);
  }
}

TEST(CAutomationCommandLineInfo, EachWordAnswersOnlyItsOwnQuery) {
  using Query = bool (CAutomationCommandLineInfo::*)() const;
  constexpr Query kQueries[] = {
      &CAutomationCommandLineInfo::IsNewRecording,         &CAutomationCommandLineInfo::IsOpenRecording,
      &CAutomationCommandLineInfo::IsAnalyzeRecording,     &CAutomationCommandLineInfo::IsReqZK130Recording,
      &CAutomationCommandLineInfo::IsUpdateRecording,      &CAutomationCommandLineInfo::IsExport,
      &CAutomationCommandLineInfo::IsReqZK130OPTRecording, &CAutomationCommandLineInfo::IsReqZK130USBRecording,
      &CAutomationCommandLineInfo::IsReqSDCARDRecording,   &CAutomationCommandLineInfo::IsReqZK131USBRecording,
      &CAutomationCommandLineInfo::IsNewZK130OPTRecording, &CAutomationCommandLineInfo::IsNewZK130USBRecording,
      &CAutomationCommandLineInfo::IsNewZK131USBRecording, &CAutomationCommandLineInfo::IsDeleteRecording,
  };
  for (size_t word = 0; word < kAutomationCommandWords.size(); ++word) {
    SCOPED_TRACE(kAutomationCommandWords[word].word);
    std::vector<std::string> args = {"/" + std::string(kAutomationCommandWords[word].word)};
    for (int i = 0; i < kAutomationCommandWords[word].parameters; ++i) args.push_back("p" + std::to_string(i));
    CAutomationCommandLineInfo info;
    // Incomplete: no query answers yet.
    info.ParseCommandLine(std::span(args).first(args.size() - 1));
    for (const Query q : kQueries) EXPECT_FALSE((info.*q)());
    info.Reset();
    info.ParseCommandLine(args);
    ASSERT_TRUE(info.IsCommandComplete());
    for (size_t q = 0; q < std::size(kQueries); ++q) EXPECT_EQ((info.*kQueries[q])(), q == word);
  }
}

TEST(CAutomationCommandLineInfo, ParseDateRejectsImpossibleDates) {
  const platform::LocalDateTime now{2026, 5, 17, 10, 11, 12, 0};
  const platform::ManualClock clock(now);
  struct Case {
    const char* text;
    platform::LocalDateTime want;
  };
  const Case kCases[] = {
      {"24.12.1960", {1960, 12, 24, 0, 0, 0, 0}},
      {"1.2.1985", {1985, 2, 1, 0, 0, 0, 0}},
      {"29.02.2024", {2024, 2, 29, 0, 0, 0, 0}},
      {" 7. 4.2001", {2001, 4, 7, 0, 0, 0, 0}},
      {"12.3.1999 extra", {1999, 3, 12, 0, 0, 0, 0}},
      {"31.02.2020", now},
      {"29.02.2023", now},
      {"0.1.2000", now},
      {"5.13.2000", now},
      {"1.2.85", now},
      {"15.03", now},
      {"", now},
      {"99999999999.1.2000", now},
      {"-1.1.2000", now},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CAutomationCommandLineInfo::ParseDate(c.text, clock), c.want);
  }
}

// Numbers come from other programs with a point, whatever locale this process runs in.
TEST(CAutomationCommandLineInfo, ParsesNumberParametersLikeAtofInTheCLocale) {
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  struct Case {
    const char* text;
    std::optional<double> want;
  };
  const Case kCases[] = {
      {"180.6", 180.6},
      {" \t72.4kg", 72.4},
      {"+5", 5.0},
      {"-0.5", -0.5},
      {"1e2", 100.0},
      {"180,6", 180.0},
      {"", 0.0},
      {"abc", 0.0},
      {"+-5", 0.0},
      {".5", 0.5},
      {"3.4e38", 3.4e38},
      {"4e38", std::nullopt},
      {"1e300", std::nullopt},
      {"1e400", std::nullopt},
      {"1e-400", std::nullopt},
      {"inf", std::nullopt},
      {"-INF", std::nullopt},
      {"Infinity", std::nullopt},
      {"nan", std::nullopt},
      {"NaN(1)", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CAutomationCommandLineInfo::ParseNumberParameter(c.text), c.want);
  }
}

TEST(CAutomationCommandLineInfo, ParsesIntegerParametersLikeAtoiWithoutOverflow) {
  struct Case {
    const char* text;
    std::optional<int> want;
  };
  const Case kCases[] = {
      {"2", 2},
      {" 12abc", 12},
      {"", 0},
      {"x", 0},
      {"-7", -7},
      {"000000000000000001", 1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999", std::nullopt},
      // atoi of glibc would give 1 here, a pacemaker.
      {"4294967297", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CAutomationCommandLineInfo::ParseIntParameter(c.text), c.want);
  }
}

// Parameters that name files count from the caller's folder; texts, numbers and the export
// pattern stay as passed, and so does what GetParameter gives.
TEST(CAutomationCommandLineInfo, ResolvesParametersThatNameFiles) {
  const std::filesystem::path caller = "/home/anna/work";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> want;  // GetPathParameter of each parameter
  };
  const Case kCases[] = {
      {"open",
       {"/OpenRecording", "sub/00001.QRS", "r.txt"},
       {"/home/anna/work/sub/00001.QRS", "/home/anna/work/r.txt"}},
      {"dot segments",
       {"/OpenRecording", "./a/../sub/00001.QRS", "../r.txt"},
       {"/home/anna/work/sub/00001.QRS", "/home/anna/r.txt"}},
      {"absolute and empty stay",
       {"/OpenRecording", "/data/x/../00001.QRS", ""},
       {"/data/x/../00001.QRS", ""}},
      {"update",
       {"/UpdateRecording", "sub/00001.QRS", "Anna", "x/y", "4711", "1.1.1950", "2", "170", "60", "0",
        "r.txt"},
       {"/home/anna/work/sub/00001.QRS", "Anna", "x/y", "4711", "1.1.1950", "2", "170", "60", "0",
        "/home/anna/work/r.txt"}},
      {"export pattern stays in the data directory",
       {"/Export", "sub/*.QRS", "e.txt"},
       {"sub/*.QRS", "/home/anna/work/e.txt"}},
      {"read-out", {"/ReqSDCARDRecording", "r.txt"}, {"/home/anna/work/r.txt"}},
      {"delete", {"/DeleteRecording", "sub/00001.QRS"}, {"/home/anna/work/sub/00001.QRS"}},
      {"new recording names no file",
       {"/NewZK130OPTRecording", "a/b", "Muster", "1", "1.1.1950", "2", "170", "60", "0"},
       {"a/b", "Muster", "1", "1.1.1950", "2", "170", "60", "0"}},
      {"analyze", {"/AnalyzeRecording", "x.QRS"}, {"x.QRS"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CAutomationCommandLineInfo info;
    info.ParseCommandLine(c.args);
    ASSERT_TRUE(info.IsCommandComplete());
    info.ResolvePathParameters(caller);
    ASSERT_EQ(info.GetParameterCount(), static_cast<int>(c.want.size()));
    for (size_t i = 0; i < c.want.size(); ++i) {
      EXPECT_EQ(info.GetPathParameter(static_cast<int>(i)), c.want[i]) << i;
      EXPECT_EQ(info.GetParameter(static_cast<int>(i)), c.args[i + 1]) << i;
    }
    EXPECT_EQ(info.GetPathParameter(-1), "");
    EXPECT_EQ(info.GetPathParameter(info.GetParameterCount()), "");
  }
  // A working folder that could not be read leaves the paths as they are.
  EXPECT_EQ(ResolveAgainstFolder({}, "sub/00001.QRS"), "sub/00001.QRS");
}

class ResultFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(testing::TempDir()) /
           ("zk_result_" + std::to_string(getpid()) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::filesystem::path dir_;
};

TEST_F(ResultFileTest, NoLinesWritesNoFile) {
  CAutomationCommandLineInfo info;
  info.SetResultFileName((dir_ / "result.txt").string());
  EXPECT_EQ(info.WriteResultFile(), CAutomationCommandLineInfo::kNothingToWrite);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "result.txt"));
}

TEST_F(ResultFileTest, LinesAreWrittenAsCp1252WithCrLf) {
  const std::filesystem::path path = dir_ / "result.txt";
  {
    std::ofstream old(path, std::ios::binary);
    old << std::string(500, 'x');  // an older, longer file is replaced as a whole
  }
  CAutomationCommandLineInfo info;
  info.SetResultFileName(path.string());
  info.AddResultLine("replaced", false);
  info.AddResultLine("/data/1/00001.QRS\tJ\xC3\xBCrgen\tM\xC3\xBCller\n" "SOUND=0", true);
  info.AddResultLine("second\r\nSOUND=1", false);
  // A path keeps the bytes of the name on disk.
  info.AddResultLine("/data/J\xC3\xBCrgen.QRS\tJ\xC3\xBCrgen", false);
  info.AddResultLine("/data/J\xC3\xBCrgen.PDF", false);
  EXPECT_EQ(info.WriteResultFile(), CAutomationCommandLineInfo::kWritten);
  EXPECT_EQ(ReadAll(path),
            "/data/1/00001.QRS\tJ\xFCrgen\tM\xFCller\r\nSOUND=0\r\nsecond\r\nSOUND=1\r\n"
            "/data/J\xC3\xBCrgen.QRS\tJ\xFCrgen\r\n/data/J\xC3\xBCrgen.PDF\r\n");
}

TEST_F(ResultFileTest, UnwritableFileIsLoggedAndExitCodeKept) {
  CAutomationCommandLineInfo info;
  info.SetResultFileName((dir_ / "missing" / "result.txt").string());
  info.AddResultLine("line", false);
  info.SetExitCode(kExitOpenFailed);
  testing::internal::CaptureStderr();
  EXPECT_EQ(info.WriteResultFile(), CAutomationCommandLineInfo::kWriteFailed);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("result.txt"), std::string::npos) << log;
  EXPECT_EQ(info.GetExitCode(), kExitOpenFailed);
  EXPECT_TRUE(info.IsExitCodeSet());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST(CAutomationCommandLineInfo, EndAutomationEndsOnlyInRunModeOne) {
  CAutomationCommandLineInfo info;
  std::vector<int> requests;
  info.SetEndRequestHandler([&](int code) { requests.push_back(code); });

  info.SetExitCode(kExitOpenNoRecording);  // recording a code ends nothing
  EXPECT_EQ(info.EndAutomation(), 0);
  info.SetQuitMode(2);
  EXPECT_EQ(info.EndAutomation(), 2);
  EXPECT_TRUE(requests.empty());
  EXPECT_FALSE(info.GetEndRequest());

  info.SetQuitMode(1);
  EXPECT_EQ(info.EndAutomation(), 0);
  EXPECT_EQ(requests, std::vector<int>{kExitOpenNoRecording});
  EXPECT_EQ(info.GetEndRequest(), kExitOpenNoRecording);

  CAutomationCommandLineInfo no_code;
  no_code.SetQuitMode(1);
  EXPECT_EQ(no_code.EndAutomation(), 0);
  EXPECT_EQ(no_code.GetEndRequest(), 0);
}

TEST(CAutomationCommandLineInfo, ResetRestoresProcessStateForTheNextRun) {
  const std::vector<std::string> args = {"/Export", "*.QRS", "/tmp/r.txt"};
  AutomationInfo().ParseCommandLine(args);
  AutomationInfo().SetQuitMode(1);
  AutomationInfo().SetExitCode(24);
  AutomationInfo().AddResultLine("x", false);
  SetFirstInstance(0);
  SetBatchRunning(1);
  SetBatchFileResult(2);
  SetAnalysisAborted(1);
  AutomationInfo().Reset();
  EXPECT_EQ(AutomationInfo().GetParserState(), State::kNoCommand);
  EXPECT_EQ(AutomationInfo().GetParameterCount(), 0);
  EXPECT_EQ(AutomationInfo().GetQuitMode(), 0);
  EXPECT_FALSE(AutomationInfo().IsExitCodeSet());
  EXPECT_TRUE(AutomationInfo().GetResultLines().empty());
  EXPECT_EQ(IsFirstInstance(), 1);
  EXPECT_EQ(IsBatchRunning(), 0);
  EXPECT_EQ(GetBatchFileResult(), 0);
  EXPECT_EQ(IsAnalysisAborted(), 0);
}

}  // namespace
