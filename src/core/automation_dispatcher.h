#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class CAutomationCommandLineInfo;
class CZK470App;

// The recorder link that a read-out or a new recording of an automation run uses: 0 the default
// link, 1 the optical link of the ZK-130, 3 the USB converter with the ZK-130, 4 the USB link of
// the ZK-131. Set just before such a call and back to 0 right after it; read by the recorder search.
int GetRecorderLinkSelector();
void SetRecorderLinkSelector(int selector);

// Carries out the automation command of the command line once the main frame, its view and the
// empty document exist (the start-up command 2024): checks the command line, runs the one command
// word, writes the result file and ends the program with its exit code. Every command ends the
// program with an exit code, or leaves it open with the recording on screen (a successful
// OpenRecording, the new-recording commands); a calling program never waits for ever.
// User-interface thread only.
class AutomationDispatcher {
 public:
  explicit AutomationDispatcher(CZK470App& app) : app_(app) {}

  // The handler of the start-up command.
  void OnStartupCommand();

  // The recordings of a folder with a five-character name and the given extension ("QRS",
  // "PDF"), any case, in name order.
  static std::vector<std::filesystem::path> FindFiveCharacterFiles(const std::filesystem::path& folder,
                                                                  std::string_view extension);
  // The folder a path parameter names: the folder of the file it names, or the path itself when
  // it ends with a separator. Relative paths count from the current directory.
  static std::filesystem::path FolderOf(const std::string& path_parameter);
  // Names in folder that match a pattern with "*" and "?" (any case), in name order.
  static std::vector<std::string> MatchPattern(const std::filesystem::path& folder, std::string_view pattern);

 private:
  // Runs the one complete command word.
  void RunCommand(const CAutomationCommandLineInfo& info);
  void RunNewRecording(int link_selector);
  void RunOpenRecording();
  void RunReadOut(int link_selector, bool sd_card);
  void RunUpdateRecording();
  void RunExport();
  void RunDeleteRecording();
  void RunAnalyzeRecording();

  // Records the code and ends the automation run.
  void End(int exit_code);
  // "No recording found": asks whether to choose one; the chosen file's full path, or nullopt
  // when the user said No or cancelled.
  std::optional<std::string> AskForRecording();
  // The summary line of the document for its own path, written to the result file.
  void WriteResultForDocument(const std::string& result_file);

  CZK470App& app_;
};
