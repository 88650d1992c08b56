#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

// One automation command word and the number of parameters it takes.
struct AutomationCommandWord {
  std::string_view word;
  int parameters;
};

// The 14 command words; the command number is the index + 1.
inline constexpr std::array<AutomationCommandWord, 14> kAutomationCommandWords = {{
    {"NewRecording", 8},
    {"OpenRecording", 2},
    {"AnalyzeRecording", 1},
    {"ReqZK130Recording", 1},
    {"UpdateRecording", 10},
    {"Export", 2},
    {"ReqZK130OPTRecording", 1},
    {"ReqZK130USBRecording", 1},
    {"ReqSDCARDRecording", 1},
    {"ReqZK131USBRecording", 1},
    {"NewZK130OPTRecording", 8},
    {"NewZK130USBRecording", 8},
    {"NewZK131USBRecording", 8},
    {"DeleteRecording", 1},
}};

// The command line of an automation run and the process-wide automation state: the parsed
// command and its parameters, the result file and its lines, the run mode, the exit code, and
// the flags of batch and analysis runs that the document and the batch commands share.
// There is one instance, AutomationInfo(); tests call Reset between cases.
// User-interface thread only; nothing here is locked.
class CAutomationCommandLineInfo {
 public:
  enum ParserState : int {
    kNoCommand = 0,
    kCollecting = 1,
    kComplete = 2,
    kSecondCommand = 3,
    kFlagWhileCollecting = 4,
    kArgumentAfterComplete = 5,
  };
  static constexpr int kMaxParameters = 15;

  CAutomationCommandLineInfo() = default;
  CAutomationCommandLineInfo(const CAutomationCommandLineInfo&) = delete;
  CAutomationCommandLineInfo& operator=(const CAutomationCommandLineInfo&) = delete;

  // Back to the state at program start.
  void Reset();

  // Feeds the program's arguments (without the program name) to ParseParam, marking flags. A
  // leading "-" always marks a flag (a negative number too); a leading "/" only when no further
  // "/" follows, so that absolute paths stay plain arguments.
  void ParseCommandLine(std::span<const std::string> args);
  // One argument, its flag prefix already removed.
  void ParseParam(std::string_view param, bool is_flag, bool is_last);

  int GetParserState() const { return state_; }
  // The command number 1..14, 0 when none was seen.
  int GetCommand() const { return command_; }
  bool IsCommandComplete() const { return state_ == kComplete && command_ != 0; }
  bool IsParseValid() const { return state_ == kNoCommand || state_ == kComplete; }
  // A command word seen, complete or not: the run is an automation start (no splash, no questions).
  bool IsAutomationStart() const { return command_ != 0 || !IsParseValid(); }
  bool IsNewRecording() const { return IsCommand(1); }
  bool IsOpenRecording() const { return IsCommand(2); }
  bool IsAnalyzeRecording() const { return IsCommand(3); }
  bool IsReqZK130Recording() const { return IsCommand(4); }
  bool IsUpdateRecording() const { return IsCommand(5); }
  bool IsExport() const { return IsCommand(6); }
  bool IsReqZK130OPTRecording() const { return IsCommand(7); }
  bool IsReqZK130USBRecording() const { return IsCommand(8); }
  bool IsReqSDCARDRecording() const { return IsCommand(9); }
  bool IsReqZK131USBRecording() const { return IsCommand(10); }
  bool IsNewZK130OPTRecording() const { return IsCommand(11); }
  bool IsNewZK130USBRecording() const { return IsCommand(12); }
  bool IsNewZK131USBRecording() const { return IsCommand(13); }
  bool IsDeleteRecording() const { return IsCommand(14); }

  int GetParameterCount() const { return collected_; }
  // Parameter n (from 0) as it was passed; "" when n is outside what was collected.
  std::string GetParameter(int n) const;
  // Makes the parameters of the command that name files (recordings, result files) absolute
  // against the caller's working folder. Start-up calls it before the document makes its data
  // directory current; an export pattern stays a pattern of the data directory.
  void ResolvePathParameters(const std::filesystem::path& caller_folder);
  // Parameter n resolved against the caller's working folder when it names a file; otherwise,
  // or before ResolvePathParameters, as GetParameter.
  std::string GetPathParameter(int n) const;

  // What the framework's own parser keeps: the first plain argument before any command word, and
  // whether a splash window may show (not when started embedded or automated).
  const std::string& GetFileName() const { return file_name_; }
  bool ShowSplash() const { return show_splash_; }

  // 1 while an automation command runs: its end then ends the program.
  int GetQuitMode() const { return quit_mode_; }
  void SetQuitMode(int mode) { quit_mode_ = mode; }

  void SetResultFileName(std::string path) { result_file_ = std::move(path); }
  const std::string& GetResultFileName() const { return result_file_; }
  // The recording path last handled by the command.
  void SetAutomationFileName(std::string path) { automation_file_ = std::move(path); }
  const std::string& GetAutomationFileName() const { return automation_file_; }

  // A line may hold line ends of its own; each becomes a line of the file.
  void AddResultLine(std::string line, bool replace_last);
  const std::vector<std::string>& GetResultLines() const { return result_lines_; }
  enum WriteResult : int { kWritten = 0, kWriteFailed = 1, kNothingToWrite = 2 };
  // Writes the lines as cp1252 text with CR LF line ends, replacing the file as a whole. No lines:
  // no file. A failure is logged to stderr; the recorded exit code stays as it is.
  WriteResult WriteResultFile() const;

  // Records the code; never ends the program by itself.
  void SetExitCode(int code);
  int GetExitCode() const { return exit_code_; }
  bool IsExitCodeSet() const { return exit_code_set_; }
  // In run mode 1: requests the end of the program with the recorded code (0 when none) and
  // returns 0. Otherwise returns the run mode and does nothing.
  int EndAutomation();
  // The end-of-program request: the host installs what ends its message loop. The request is
  // also kept, so a host that starts later still sees it.
  void SetEndRequestHandler(std::function<void(int exit_code)> handler) { end_handler_ = std::move(handler); }
  std::optional<int> GetEndRequest() const { return end_request_; }

  // "day.month.year" at 00:00:00; the current date and time (from the clock) when the three
  // numbers make no valid date. Numbers are read like atoi: leading digits count.
  static platform::LocalDateTime ParseDate(std::string_view text, const platform::Clock& clock);
  // An integer parameter read like atoi (blanks, a sign, the digits up to the first other
  // character; no digits give 0); nullopt when it does not fit an int.
  static std::optional<int> ParseIntParameter(std::string_view text);
  // A number parameter read like atof, with a decimal point whatever the process locale ("180.6kg"
  // gives 180.6; no number gives 0); nullopt for infinity, NaN and magnitudes the patient sheet
  // cannot hold (it keeps height and weight in single precision).
  static std::optional<double> ParseNumberParameter(std::string_view text);

  int IsFirstInstance() const { return first_instance_; }
  void SetFirstInstance(int first) { first_instance_ = first; }
  int IsBatchRunning() const { return batch_running_; }
  void SetBatchRunning(int running) { batch_running_ = running; }
  // 0 go on, 1 stop the batch, 2 this file failed.
  int GetBatchFileResult() const { return batch_file_result_; }
  void SetBatchFileResult(int result) { batch_file_result_ = result; }
  int IsAnalysisAborted() const { return analysis_aborted_; }
  void SetAnalysisAborted(int aborted) { analysis_aborted_ = aborted; }

 private:
  bool IsCommand(int command) const { return state_ == kComplete && command_ == command; }
  void ParseFrameworkParam(std::string_view param, bool is_flag);

  int state_ = kNoCommand;
  int collected_ = 0;
  int needed_ = 0;
  int command_ = 0;
  std::array<std::string, kMaxParameters> parameters_;
  // The file-naming parameters made absolute; empty where a parameter names no file.
  std::array<std::string, kMaxParameters> resolved_paths_;
  std::string file_name_;
  bool show_splash_ = true;
  std::string result_file_;
  std::string automation_file_;
  std::vector<std::string> result_lines_;
  int quit_mode_ = 0;
  int exit_code_ = 0;
  bool exit_code_set_ = false;
  std::optional<int> end_request_;
  std::function<void(int)> end_handler_;
  int first_instance_ = 1;
  int batch_running_ = 0;
  int batch_file_result_ = 0;
  int analysis_aborted_ = 0;
};

// The process's one automation state.
CAutomationCommandLineInfo& AutomationInfo();

// A path as the caller meant it: a relative one joined to the caller's working folder, with "."
// and ".." taken out as the name reads; an absolute or empty one unchanged.
std::string ResolveAgainstFolder(const std::filesystem::path& folder, const std::string& path);

// Shorthands over AutomationInfo() for the batch commands, the document and the analysis run.
inline int IsFirstInstance() { return AutomationInfo().IsFirstInstance(); }
inline void SetFirstInstance(int first) { AutomationInfo().SetFirstInstance(first); }
inline int IsBatchRunning() { return AutomationInfo().IsBatchRunning(); }
inline void SetBatchRunning(int running) { AutomationInfo().SetBatchRunning(running); }
inline int GetBatchFileResult() { return AutomationInfo().GetBatchFileResult(); }
inline void SetBatchFileResult(int result) { AutomationInfo().SetBatchFileResult(result); }
inline int IsAnalysisAborted() { return AutomationInfo().IsAnalysisAborted(); }
inline void SetAnalysisAborted(int aborted) { AutomationInfo().SetAnalysisAborted(aborted); }
