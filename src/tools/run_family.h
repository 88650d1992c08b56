#pragma once

#include <functional>
#include <string>
#include <vector>

class CZK470Doc;
namespace win {
class Window;
}

namespace tools {

// File kinds of the recording file picker.
enum PickKind : int {
  kPickRecordingsBatch = 0,  // "*.QRS"
  kPickRecordings = 1,       // "*.QRS"
  kPickRecordingsVexa = 2,   // "*.QRS" with the Vexa column
  kPickRaw = 3,              // "*.RAW"
  kPickAha = 4,              // "A*ID.DAT"
  kPickCmp = 5,              // "*.CMP"
  kPickKekg = 6,             // reference signal files
};

// What the picker returns: whether it ended with OK, and the ticked paths in list order.
struct PickResult {
  bool ok = false;
  std::vector<std::string> paths;
};

// What the tool commands need of the program beyond the document and the prompt. The program
// installs them at start-up; tests install fakes with ScopedToolServices. User-interface thread.
struct ToolServices {
  // The recording file picker, modal. Empty: the picker dialog itself.
  std::function<PickResult(win::Window* parent, const std::string& title, const std::string& folder,
                           int kind)>
      pick_files;
  // The result list in the text view dialog, modal. Empty: the text view dialog itself.
  std::function<void(win::Window* parent, const std::string& caption, const std::vector<std::string>& lines,
                     bool auto_scroll)>
      show_results;
  // Opens a recording by path into the program's document (the application's open); the document,
  // or nullptr when it could not be opened. Empty: every open fails.
  std::function<CZK470Doc*(const std::string& path)> open_document;
  // The file-format version every persistent class writes (the application's setting).
  std::function<void(int version)> set_file_format_version;
  // The shared batch file result (0 go on, 1 stop the batch, 2 this file failed). Empty: 0.
  std::function<int()> batch_file_result;
  // The shared batch-running flag (1 while a run works through its recordings: the document then
  // asks nothing when it closes one). Empty: nothing is set.
  std::function<void(int running)> set_batch_running;
};

void InstallToolServices(ToolServices services);
const ToolServices& GetToolServices();

// Installs services for a scope and restores the earlier ones after it.
class ScopedToolServices {
 public:
  explicit ScopedToolServices(ToolServices services);
  ~ScopedToolServices();
  ScopedToolServices(const ScopedToolServices&) = delete;
  ScopedToolServices& operator=(const ScopedToolServices&) = delete;

 private:
  ToolServices saved_;
};

// The services' calls with their defaults.
PickResult PickFiles(win::Window* parent, const std::string& title, const std::string& folder, int kind);
void ShowResults(win::Window* parent, const std::string& caption, const std::vector<std::string>& lines,
                 bool auto_scroll);
int QueryBatchFileResult();

// Sets the shared batch-running flag for its scope.
class BatchRunningScope {
 public:
  BatchRunningScope();
  ~BatchRunningScope();
  BatchRunningScope(const BatchRunningScope&) = delete;
  BatchRunningScope& operator=(const BatchRunningScope&) = delete;
};

// The result list of a run over several recordings: one line per event, counted successes and
// errors, the summary at the end.
class RunResults {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  // label + " - " + subject, counted as a success or as an error.
  void Success(const std::string& label, const std::string& subject);
  void Error(const std::string& label, const std::string& subject);
  void CountSuccess() { ++successes_; }
  void CountError() { ++errors_; }
  // " " and "%s : %d        %s : %d".
  void AddSummary(const std::string& success_label, const std::string& error_label);

  const std::vector<std::string>& Lines() const { return lines_; }
  int Successes() const { return successes_; }
  int Errors() const { return errors_; }

 private:
  std::vector<std::string> lines_;
  int successes_ = 0;
  int errors_ = 0;
};

// "Overwrite ALL .<extension> Files (if any exists already) ?" with Yes and No; true on Yes.
bool AskOverwriteAll(const std::string& extension);
// "File <name> already exists !\n\nOverwrite ?" with Yes and No; true on Yes.
bool AskOverwrite(const std::string& name);

// The document reset of the run family: untitled, display mode 0, sub-mode 0, hint 1005.
void ResetDocument(CZK470Doc& doc);

}  // namespace tools
