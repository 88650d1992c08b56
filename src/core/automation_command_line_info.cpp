#include "core/automation_command_line_info.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <iostream>
#include <limits>

#include "platform/archive.h"
#include "platform/cp1252.h"
#include "platform/io_error.h"
#include "platform/process_context.h"

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The command number of a word, 0 for none.
int FindCommandWord(std::string_view word) {
  for (size_t i = 0; i < kAutomationCommandWords.size(); ++i) {
    if (EqualsNoCase(word, kAutomationCommandWords[i].word)) return static_cast<int>(i) + 1;
  }
  return 0;
}

// Which parameters of each command name a file (bit n for parameter n), by command number - 1.
// The export pattern names recordings of the data directory and is no such parameter.
constexpr std::array<unsigned, kAutomationCommandWords.size()> kPathParameters = {
    0,               // NewRecording
    0b11,            // OpenRecording: path, result file
    0,               // AnalyzeRecording
    0b1,             // ReqZK130Recording: result file
    0b10'0000'0001,  // UpdateRecording: path, result file
    0b10,            // Export: result file
    0b1,             // ReqZK130OPTRecording: result file
    0b1,             // ReqZK130USBRecording: result file
    0b1,             // ReqSDCARDRecording: result file
    0b1,             // ReqZK131USBRecording: result file
    0,               // NewZK130OPTRecording
    0,               // NewZK130USBRecording
    0,               // NewZK131USBRecording
    0b1,             // DeleteRecording: path
};

// The blanks atof and atoi skip, the same in every locale.
std::string_view SkipBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\n\v\f\r");
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// atoi's reading (blanks, a sign, then digits up to the first other character); beyond the int
// range the value stops well past it either way, so that callers can tell.
long long ReadLeadingInteger(std::string_view text) {
  constexpr long long kBeyondInt = 10'000'000'000;
  text = SkipBlanks(text);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kBeyondInt);
  }
  return negative ? -value : value;
}

// atoi's reading saturated at the int range instead of overflowing.
int AsciiToInt(std::string_view text) {
  const long long value = ReadLeadingInteger(text);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// The file is a text file of the old single-byte kind: every line end is CR LF.
std::string ToCrLfText(std::string_view line) {
  std::string out;
  out.reserve(line.size() + 2);
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\n' && (i == 0 || line[i - 1] != '\r')) out += '\r';
    out += line[i];
  }
  out += "\r\n";
  return out;
}

// Every result line starts with a path. The path keeps the bytes of the file's name on disk, so
// that the caller opens exactly what it is given; the patient's texts after it are cp1252.
std::string ResultLineText(const std::string& line) {
  const size_t path_end = std::min(line.find('\t'), line.find('\n'));
  if (path_end == std::string::npos) return line;
  return line.substr(0, path_end) + platform::Utf8ToCp1252(line.substr(path_end));
}

}  // namespace

void CAutomationCommandLineInfo::Reset() {
  state_ = kNoCommand;
  collected_ = 0;
  needed_ = 0;
  command_ = 0;
  parameters_ = {};
  resolved_paths_ = {};
  file_name_.clear();
  show_splash_ = true;
  result_file_.clear();
  automation_file_.clear();
  result_lines_.clear();
  quit_mode_ = 0;
  exit_code_ = 0;
  exit_code_set_ = false;
  end_request_.reset();
  end_handler_ = nullptr;
  first_instance_ = 1;
  batch_running_ = 0;
  batch_file_result_ = 0;
  analysis_aborted_ = 0;
}

void CAutomationCommandLineInfo::ParseCommandLine(std::span<const std::string> args) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool is_flag = !arg.empty() && (arg[0] == '-' || (arg[0] == '/' && arg.find('/', 1) == std::string_view::npos));
    ParseParam(is_flag ? arg.substr(1) : arg, is_flag, i + 1 == args.size());
  }
}

void CAutomationCommandLineInfo::ParseParam(std::string_view param, bool is_flag, bool is_last) {
  if (is_flag) {
    if (const int command = FindCommandWord(param); command != 0) {
      if (state_ == kNoCommand) {
        command_ = command;
        collected_ = 0;
        needed_ = kAutomationCommandWords[static_cast<size_t>(command - 1)].parameters;
        state_ = needed_ == 0 ? kComplete : kCollecting;
      } else {
        state_ = kSecondCommand;
      }
      return;
    }
    // A parameter that begins with "-" or "/" (a negative height) ends up here too: it is never
    // counted as a parameter.
    if (is_last && state_ == kCollecting) {
      state_ = kFlagWhileCollecting;
    } else {
      ParseFrameworkParam(param, true);
    }
    return;
  }
  switch (state_) {
    case kCollecting:
      parameters_[static_cast<size_t>(collected_++)] = std::string(param);
      if (collected_ >= needed_) state_ = kComplete;
      break;
    case kComplete:
      state_ = kArgumentAfterComplete;
      break;
    case kNoCommand:
      ParseFrameworkParam(param, false);
      break;
    default:
      break;
  }
}

void CAutomationCommandLineInfo::ParseFrameworkParam(std::string_view param, bool is_flag) {
  if (is_flag) {
    if (EqualsNoCase(param, "Embedding") || EqualsNoCase(param, "Automation")) show_splash_ = false;
    return;
  }
  if (file_name_.empty()) file_name_ = std::string(param);
}

std::string CAutomationCommandLineInfo::GetParameter(int n) const {
  if (n < 0 || n >= collected_) return {};
  return parameters_[static_cast<size_t>(n)];
}

void CAutomationCommandLineInfo::ResolvePathParameters(const std::filesystem::path& caller_folder) {
  resolved_paths_ = {};
  if (command_ < 1 || command_ > static_cast<int>(kPathParameters.size())) return;
  const unsigned paths = kPathParameters[static_cast<size_t>(command_ - 1)];
  for (int n = 0; n < collected_; ++n) {
    if ((paths >> n & 1u) != 0)
      resolved_paths_[static_cast<size_t>(n)] =
          ResolveAgainstFolder(caller_folder, parameters_[static_cast<size_t>(n)]);
  }
}

std::string CAutomationCommandLineInfo::GetPathParameter(int n) const {
  if (n < 0 || n >= collected_) return {};
  const std::string& resolved = resolved_paths_[static_cast<size_t>(n)];
  return resolved.empty() ? parameters_[static_cast<size_t>(n)] : resolved;
}

void CAutomationCommandLineInfo::AddResultLine(std::string line, bool replace_last) {
  if (replace_last && !result_lines_.empty()) result_lines_.pop_back();
  result_lines_.push_back(std::move(line));
}

CAutomationCommandLineInfo::WriteResult CAutomationCommandLineInfo::WriteResultFile() const {
  if (result_lines_.empty()) return kNothingToWrite;
  std::string text;
  for (const std::string& line : result_lines_) text += ToCrLfText(ResultLineText(line));
  try {
    if (result_file_.empty()) throw platform::IoError("result file", "no result file was named");
    platform::WriteFileAtomic(result_file_, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  } catch (const platform::IoError& e) {
    std::cerr << "ZK-470 automation: result file not written: " << e.what() << '\n';
    return kWriteFailed;
  }
  return kWritten;
}

void CAutomationCommandLineInfo::SetExitCode(int code) {
  exit_code_ = code;
  exit_code_set_ = true;
}

int CAutomationCommandLineInfo::EndAutomation() {
  if (quit_mode_ != 1) return quit_mode_;
  const int code = exit_code_set_ ? exit_code_ : 0;
  end_request_ = code;
  if (end_handler_) end_handler_(code);
  return 0;
}

platform::LocalDateTime CAutomationCommandLineInfo::ParseDate(std::string_view text, const platform::Clock& clock) {
  const size_t first_point = text.find('.');
  if (first_point == std::string_view::npos) return clock.Now();
  const size_t second_point = text.find('.', first_point + 1);
  if (second_point == std::string_view::npos) return clock.Now();
  const int day = AsciiToInt(text.substr(0, first_point));
  const int month = AsciiToInt(text.substr(first_point + 1));
  const int year = AsciiToInt(text.substr(second_point + 1));
  // The date type of the program holds the years 100 to 9999.
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return clock.Now();
  const std::chrono::year_month_day ymd{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                        std::chrono::day(static_cast<unsigned>(day))};
  if (!ymd.ok()) return clock.Now();
  return platform::LocalDateTime{year, month, day, 0, 0, 0, 0};
}

std::optional<int> CAutomationCommandLineInfo::ParseIntParameter(std::string_view text) {
  const long long value = ReadLeadingInteger(text);
  if (value > INT_MAX || value < INT_MIN) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<double> CAutomationCommandLineInfo::ParseNumberParameter(std::string_view text) {
  text = SkipBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars reads the C locale's form only; a second sign is no number, as for atof.
  if (text.empty() || text.front() == '+' || text.front() == '-') return 0.0;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::invalid_argument) return 0.0;
  // Beyond the range of a double, in either direction.
  if (error != std::errc()) return std::nullopt;
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
  return negative ? -value : value;
}

CAutomationCommandLineInfo& AutomationInfo() {
  static CAutomationCommandLineInfo info;
  return info;
}

std::string ResolveAgainstFolder(const std::filesystem::path& folder, const std::string& path) {
  if (path.empty() || folder.empty()) return path;
  const std::filesystem::path named(path);
  if (named.is_absolute()) return path;
  return (folder / named).lexically_normal().string();
}

namespace {

// A fresh process has parsed no command line.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kCore, [] { AutomationInfo().Reset(); });

}  // namespace
