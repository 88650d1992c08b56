#include "tools/validation/validation_batches.h"

#include <filesystem>
#include <utility>

#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

const char* FinishingMessage(ValidationSet set) {
  switch (set) {
    case ValidationSet::kAha:
      return "AHA-Files succesful.";
    case ValidationSet::kMit:
      return "MIT-Files succesful.";
    case ValidationSet::kEsc:
      break;
  }
  return "ST-T-Files succesful.";
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

}  // namespace

std::vector<std::string> FindValidationRecords(ValidationSet set, const std::string& folder) {
  std::vector<std::string> paths;
  for (const int number : ValidationRecordNumbers(set)) {
    std::string path = ValidationRecordPath(folder, set, number, ".QRS");
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) paths.push_back(std::move(path));
  }
  return paths;
}

RunResults RunValidationBatch(ValidationSet set, const std::string& folder, BatchOptions options) {
  options.list_successes = false;
  return RunBatchAnalysis(FindValidationRecords(set, folder), options);
}

ValidationSet ValidationSetOfCommand(int command) {
  switch (command) {
    case cmd::kValidationBatchAHA:
      return ValidationSet::kAha;
    case cmd::kValidationBatchMIT:
      return ValidationSet::kMit;
    default:
      return ValidationSet::kEsc;
  }
}

void RunValidationBatchCommand(win::Window* frame, CZK470Doc& doc, int command) {
  const ValidationSet set = ValidationSetOfCommand(command);
  std::vector<std::string> paths = FindValidationRecords(set, doc.GetDataDirectory());
  std::vector<std::string> left_out;
  // The open recording is the user's: neither analysed behind their back nor overwritten.
  std::erase_if(paths, [&](const std::string& path) {
    if (!SameFile(path, doc.GetPathName())) return false;
    left_out.push_back("Recording is open, not analysed - " + path);
    return true;
  });

  std::string text = FinishingMessage(set);
  if (!paths.empty()) {
    BatchOptions options;
    options.list_successes = false;
    options.success_label = platform::LoadString(kIdsBatchAnalysed);
    options.failure_label = platform::LoadString(kIdsBatchFailed);
    options.stop_line = platform::LoadString(kIdsBatchStopped);
    const RunResults results = RunProgramBatch(frame, doc, paths, std::move(options));
    if (results.Errors() > 0 || results.Successes() < static_cast<int>(paths.size()) || !left_out.empty()) {
      text += "\n";
      for (const std::string& line : left_out) text += "\n" + line;
      for (const std::string& line : results.Lines()) text += "\n" + line;
    }
  } else if (!left_out.empty()) {
    text += "\n\n" + left_out.front();
  }
  (void)win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk);
}

}  // namespace tools
