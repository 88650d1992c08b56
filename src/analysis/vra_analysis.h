#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CVRAInterface;
class CZK470Doc;

// The run of the external analysis library over a recording: configure it, feed it the two
// analysed leads minute by minute and import the beats it reports into the document's engine beat
// list and working template lists.
namespace analysis {

// How a library run ended (also the worker's exit code): 0 complete or cancelled, else the step
// that failed.
enum VraError : int32_t {
  kVraNoError = 0,
  kVraLibraryMissing = 11,
  kVraOpenFailed = 12,
  kVraNoHandle = 13,
  // Settings 1..12 refused: 14, 30, 15, 16, ..., 24 (see VraSettings).
  kVraInitFailed = 25,
  kVraLead1Failed = 26,
  kVraLead2Failed = 27,
  kVraAnalyseFailed = 28,
  kVraBeatsFailed = 29,
  // The recording could not be read (a fault of the sample file, not of the library).
  kVraReadFailed = 31,
};

// What the worker and the progress dialog share: flags and counters written by one side and
// read by the other. Messages are written by the worker only and read after it has ended.
struct VraRunState {
  std::atomic<int32_t> current_minute{0};
  std::atomic<int32_t> running{0};
  std::atomic<int32_t> cancel{0};
  std::atomic<int32_t> error{0};
  std::atomic<int32_t> error_number{0};
  std::atomic<int32_t> normal_count{0};
  std::atomic<int32_t> ventricular_count{0};
  std::vector<std::string> messages;
};

// One setting as SetAnaData receives it, with the text of its message and its error number.
struct VraSetting {
  int value;
  int key;
  const char* parameters;
  int32_t error;
};

// The library's values of the setting indices; an index outside the table gives the middle value.
int VraPauseMs(int pause_index);
int VraPercent(int percent_index);  // deviation and SVES prematurity
int VraDurationSeconds(int duration_index);
// The twelve settings in the order the library gets them: pause, deviation and SVES prematurity
// from the indices the recording record stored at its last analysis, the duration from the
// user's current setting.
std::vector<VraSetting> VraSettings(const CZK470Doc& doc);

// The text of a result code, and the message shown when a call was refused.
std::string VraResultText(int code);
std::string VraResultMessage(std::string_view function, std::string_view parameters, int code);
// True for 0; otherwise records the message for the dialog and returns false.
bool CheckVraResult(VraRunState& state, std::string_view function, std::string_view parameters, int code);

// Appends one delivery of beat records to the engine beat list and, for the four families, the
// beat's index to the working template list of its template number. Counts the normal and
// ventricular beats in the state when given. Throws platform::FormatError for a record before the
// previous beat or at a negative time; records before the faulty one stay imported.
void ImportVraBeats(CZK470Doc& doc, int minute, const uint8_t* records, uint16_t count, VraRunState* state);

// The worker's body. Ends with the library closed and unloaded, the running flag 0, the error
// number and flag set; returns the error number. Never throws.
int32_t VraAnalysisThread(CZK470Doc& doc, CVRAInterface& library, VraRunState& state);

}  // namespace analysis
