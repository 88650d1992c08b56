#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/io_error.h"

class CZK470Doc;
class TPatientData;
class TRecordingData;
namespace analysis {
class TSTAnalyzer;
}

// Class names of the beat classes: 4200 + class.
inline constexpr int kFirstClassNameString = 4200;

// A name part made safe for a file name: ".", ":", "/" and control characters become "-".
std::string ExportFileNamePart(std::string_view text);

// "Last First dd-mm-yyyy HH-MM number": the names only when given, made safe as above.
std::string RRExportBaseName(const TPatientData& patient, const TRecordingData& recording,
                             std::string_view recording_number);

// The RR intervals of a document's beat list as tab-separated lines, each pair of consecutive
// beats one line, with the ST measurement of the earlier beat when it is Normal. Times in ms from
// the sample positions, truncated. Measures through the document's samples, so the document must
// stay open; user-interface thread only.
class TRRExport {
 public:
  explicit TRRExport(CZK470Doc& doc);
  ~TRRExport();
  TRRExport(const TRRExport&) = delete;
  TRRExport& operator=(const TRRExport&) = delete;

  // n - 1 for n beats; 0 with fewer than two.
  int LineCount() const;
  // The recording start's time of day, "HH:MM:SS\n".
  std::string StartLine() const;
  // Appends the line of the beats index - 1 and index (1 <= index <= LineCount()).
  void AppendLine(int index, std::string& out);
  // The ST fields of a Normal beat: J and ST time, then per channel first..end-1 the J level, the
  // ST level (mV) and the slope in mV/s, 9999.00 when the two points are less than 1 ms apart.
  static void AppendSTFields(int32_t j_time_ms, int32_t st_time_ms, const std::array<double, 2>& j_level,
                             const std::array<double, 2>& st_level, int first, int end, std::string& out);

 private:
  CZK470Doc& doc_;
  double rate_;
  std::unique_ptr<analysis::TSTAnalyzer> analyzer_;
};

// The RR file could not be created at all (as opposed to a write that failed later).
class RRFileOpenError : public platform::IoError {
 public:
  using platform::IoError::IoError;
};

// Writes the whole RR file at path (emptied first). after_line runs after each data line with its
// index and returns false to stop there; the lines written so far stay. With fewer than two beats
// the file stays empty. Returns the data lines written. Throws RRFileOpenError when the file cannot
// be created and platform::IoError when a write or the close fails.
int WriteRRFile(CZK470Doc& doc, const std::string& path, const std::function<bool(int index)>& after_line);
