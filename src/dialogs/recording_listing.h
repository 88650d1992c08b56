#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Locale;
}

// The listing behind the recording browser: the recordings (".QRS"), PDF reports (".PDF") and KZT
// exchange files (".KZT") of one folder, each as a row with its kind, name and number parts,
// finalized and archived marks and date, filtered as the browser's filter box says. Extensions are
// matched without regard to case; within a kind the files come in name order (ignoring case).
// User-interface thread only.
namespace dialogs {

enum class RecordingFileKind { kRecording = 0, kPdf = 1, kKzt = 2 };

// The browser's filter choices (the entries of its combo box).
inline constexpr int kFilterAll = 0;
inline constexpr int kFilterFinalized = 1;
inline constexpr int kFilterNotFinalized = 2;
inline constexpr int kFilterArchived = 3;
inline constexpr int kFilterNotArchived = 4;
inline constexpr int kFilterCount = 5;

// String ids of the marks.
inline constexpr int kIdsFinalizedMark = 15100;
inline constexpr int kIdsArchivedMark = 15101;

struct RecordingRow {
  RecordingFileKind kind = RecordingFileKind::kRecording;
  std::string name_part;
  std::string number_part;
  std::string finalized_text;
  std::string archived_text;
  std::string date_text;
  int path_index = -1;  // into RecordingListing::Paths()
};

// A file name split as the browser shows it: the four-character extension is cut off; the number
// part is the last five characters of the rest when the rest is longer than four characters and
// ends with "-"; the name part is the rest before it. Characters, not bytes, are counted.
struct RecordingNameParts {
  std::string name_part;
  std::string number_part;
};
RecordingNameParts SplitRecordingName(std::string_view file_name);

// Keeps the locale, which must outlive the listing.
class RecordingListing {
 public:
  explicit RecordingListing(const platform::Locale& locale) : locale_(locale) {}

  // Lists folder and returns the rows that pass filter. Every row listed appends its file's full
  // path to Paths(), which only grows, so row indices of earlier fills stay valid. A folder that
  // does not exist or cannot be read gives no rows.
  std::vector<RecordingRow> Fill(std::string_view folder, int filter);
  const std::vector<std::string>& Paths() const { return paths_; }

  // The date text of a file's last change: local date and time in the locale's form, the date
  // alone at midnight.
  std::string DateText(int64_t seconds_since_epoch) const;

 private:
  const platform::Locale& locale_;
  std::vector<std::string> paths_;
};

}  // namespace dialogs
