#pragma once

#include <array>
#include <string_view>

// Exit codes of an automation run. Practice-management and archive programs act on these
// numbers: never renumber or reuse one.
inline constexpr int kExitDone = 0;
inline constexpr int kExitOtherInstanceRunning = 1;
inline constexpr int kExitCommandLineInvalid = 2;
inline constexpr int kExitNoRecordingRead = 10;
inline constexpr int kExitReadOutCancelled = 11;
inline constexpr int kExitActionCancelled = 20;
inline constexpr int kExitRawFileUnreadable = 21;
inline constexpr int kExitRawFileLayoutInvalid = 22;
inline constexpr int kExitOutOfMemory = 23;
inline constexpr int kExitFileWriteFailed = 24;
inline constexpr int kExitOpenNoRecording = 31;
inline constexpr int kExitOpenFailed = 32;
inline constexpr int kExitBrowserControlFailed = 33;
inline constexpr int kExitUpdateNoRecording = 41;  // also DeleteRecording
inline constexpr int kExitUpdateOpenFailed = 42;
inline constexpr int kExitDeleteAccessDenied = 43;
inline constexpr int kExitPathTooShort = 99;

struct AutomationExitCode {
  int code;
  std::string_view set_by;
  std::string_view meaning;
};

inline constexpr std::array<AutomationExitCode, 17> kAutomationExitCodes = {{
    {kExitDone, "read-out, new-recording commands, DeleteRecording", "done"},
    {kExitOtherInstanceRunning, "dispatcher", "another instance of the program was already running"},
    {kExitCommandLineInvalid, "dispatcher", "the command line did not parse cleanly"},
    {kExitNoRecordingRead, "new-recording operation, recorder read-out", "no recording was read from the recorder"},
    {kExitReadOutCancelled, "recorder read-out", "the read-out was cancelled"},
    {kExitActionCancelled, "recorder and SD-card read-out, import batches",
     "the action was cancelled or did not start"},
    {kExitRawFileUnreadable, "SD-card conversion", "a RAW file fails to open or to read, or is not valid"},
    {kExitRawFileLayoutInvalid, "SD-card conversion", "a RAW file's addresses or sizes are not valid"},
    {kExitOutOfMemory, "SD-card conversion", "not enough memory"},
    {kExitFileWriteFailed, "SD-card conversion", "creating or writing a file failed"},
    {kExitOpenNoRecording, "OpenRecording", "no recording found and none chosen"},
    {kExitOpenFailed, "OpenRecording", "opening the recording failed"},
    {kExitBrowserControlFailed, "document display areas", "creating the browser control that shows a document failed"},
    {kExitUpdateNoRecording, "UpdateRecording, DeleteRecording", "no recording found and none chosen"},
    {kExitUpdateOpenFailed, "UpdateRecording", "opening the recording failed"},
    {kExitDeleteAccessDenied, "DeleteRecording", "deleting a file was refused with access denied"},
    {kExitPathTooShort, "OpenRecording, UpdateRecording, DeleteRecording",
     "the path parameter has 9 characters or fewer"},
}};

// The meaning of an exit code for logs; empty for a code outside the table.
constexpr std::string_view AutomationExitCodeMeaning(int code) {
  for (const AutomationExitCode& entry : kAutomationExitCodes) {
    if (entry.code == code) return entry.meaning;
  }
  return {};
}
