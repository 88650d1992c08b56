#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// Local date and time at which a recording starts.
struct RecordingStart {
  int year = 2024;
  int month = 1;
  int day = 15;
  int hour = 8;
  int minute = 0;
  int second = 0;

  bool operator==(const RecordingStart&) const = default;
};

// The day number of the framework's date-time (days since 30 December 1899, time of day as the
// fraction), as the recording record stores its start.
double ToOleDays(const RecordingStart& start);
// "YYYY-MM-DD HH:MM:SS"; parsing returns false for any other text or an impossible date.
std::string FormatRecordingStart(const RecordingStart& start);
bool ParseRecordingStart(const std::string& text, RecordingStart& start);

// What a later step needs to make the recording's ".QRS" beside the written files: the sample file,
// its channel count, start and length, and the companion files of the test data. File names are
// relative to the setup file's folder.
struct RecordingSetup {
  std::string sample_file;      // "00001.CMP"
  std::string truth_file;       // true beats and events (see truth_list.h)
  std::string reference_file;   // reference signal file, empty when none
  std::string annotation_file;  // reference beats in milliseconds (".ANO"), empty when none
  int channels = 0;
  RecordingStart start;
  int minutes = 0;              // whole minutes a reader shows
  std::string format;           // "new" or "old"
  bool pacemaker = false;       // made with the recorder's pacemaker detection: a paced patient
  std::string source;           // how the data was made, for people

  bool operator==(const RecordingSetup&) const = default;
};

// "<base>.setup.txt": "key=value" lines. Writing replaces the file atomically; reading throws
// platform::IoError / FormatError naming the file and line.
std::filesystem::path SetupPathFor(const std::filesystem::path& base);
void WriteRecordingSetup(const std::filesystem::path& path, const RecordingSetup& setup);
RecordingSetup ReadRecordingSetup(const std::filesystem::path& path);

// "<base>.<extension>": the base is a path without extension, e.g. ".../00001".
std::filesystem::path WithExtension(const std::filesystem::path& base, const std::string& extension);

}  // namespace testsupport
