#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CVRAInterface;

namespace tools {

// What RunLibraryOnAhaRecord returns.
inline constexpr int kTestBenchOk = 0;
inline constexpr int kTestBenchNoRecord = 10;  // the record cannot be read, or is under a minute
inline constexpr int kTestBenchNoLibrary = 11;
inline constexpr int kTestBenchOpenFailed = 12;
inline constexpr int kTestBenchNoHandle = 13;
inline constexpr int kTestBenchNoFileChosen = 14;

// The mode of the one Analyse call.
inline constexpr int kTestBenchAnalyseMode = 11;
// One minute at the record's 250 Hz; every second pair goes to the library as 125 Hz data.
inline constexpr int kTestBenchSamplePairs = 15000;
inline constexpr int kTestBenchLeadSamples = kTestBenchSamplePairs / 2;
inline constexpr const char* kTestBenchFilter = "AHA (*.dat)|*.dat||";

// One analysis value as the test bench sets it, with the text that names it.
struct TTestBenchSetting {
  int value;
  int key;
  const char* trace;
};
// The eleven values, in the order the library gets them.
std::span<const TTestBenchSetting> TestBenchSettings();

// What one run found: the times of the beats the library delivered, in milliseconds.
struct TTestBenchRun {
  std::vector<int32_t> beat_times_ms;
};

// Runs the external analysis library over the first minute of an AHA record that the user
// chooses: the two channels as leads 1 and 2, one block, one Analyse. Returns kTestBenchOk or the
// code of the step that failed; a record that cannot be read is named in a message. Refused
// settings and initialisation are shown through ReportLibraryError and the run goes on.
// User-interface thread; the library binding must not be in use elsewhere.
int RunLibraryOnAhaRecord(CVRAInterface& library, TTestBenchRun* run = nullptr);

// "Function: <function> Parms: <parameters> RetCode : <text of code>".
std::string LibraryErrorText(std::string_view function, std::string_view parameters, int code);
// Shows LibraryErrorText in a message box when code is not 0.
void ReportLibraryError(std::string_view function, std::string_view parameters, int code);

}  // namespace tools
