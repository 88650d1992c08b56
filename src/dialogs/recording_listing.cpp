#include "dialogs/recording_listing.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/archive_attribute.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/resources.h"

namespace dialogs {
namespace {

constexpr size_t kExtensionChars = 4;
constexpr size_t kNumberChars = 5;

struct Pattern {
  RecordingFileKind kind;
  const char* extension;
};
constexpr std::array<Pattern, 3> kPatterns = {{
    {RecordingFileKind::kRecording, ".QRS"},
    {RecordingFileKind::kPdf, ".PDF"},
    {RecordingFileKind::kKzt, ".KZT"},
}};

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offsets of the characters of a UTF-8 text.
std::vector<size_t> CharacterStarts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i)
    if (!IsContinuationByte(text[i])) starts.push_back(i);
  return starts;
}

bool EndsWithNoCase(std::string_view name, std::string_view extension) {
  return name.size() > extension.size() &&
         platform::FileNameEqualNoCase(name.substr(name.size() - extension.size()), extension);
}

// Name order as the platform's folder search gave it: ignoring case.
bool NameLess(const std::string& a, const std::string& b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c); };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

bool Passes(const RecordingRow& row, int filter) {
  const bool finalized = !row.finalized_text.starts_with("-");
  const bool archived = !row.archived_text.starts_with("-");
  switch (filter) {
    case kFilterAll: return true;
    case kFilterFinalized: return finalized;
    case kFilterNotFinalized: return !finalized;
    case kFilterArchived: return archived;
    case kFilterNotArchived: return !archived;
    default: return false;
  }
}

}  // namespace

RecordingNameParts SplitRecordingName(std::string_view file_name) {
  std::vector<size_t> starts = CharacterStarts(file_name);
  if (starts.size() < kExtensionChars) return {};
  const std::string_view rest = file_name.substr(0, starts[starts.size() - kExtensionChars]);
  starts.resize(starts.size() - kExtensionChars);
  RecordingNameParts parts;
  if (starts.size() > 4 && rest.ends_with('-')) {
    const size_t number_start = starts[starts.size() - kNumberChars];
    parts.number_part = std::string(rest.substr(number_start));
    parts.name_part = std::string(rest.substr(0, number_start));
  } else {
    parts.name_part = std::string(rest);
  }
  return parts;
}

std::string RecordingListing::DateText(int64_t seconds_since_epoch) const {
  const std::time_t t = static_cast<std::time_t>(seconds_since_epoch);
  std::tm local{};
  if (::localtime_r(&t, &local) == nullptr) return {};
  std::string text = locale_.FormatShortDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0)
    text += " " + locale_.FormatTime(local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

std::vector<RecordingRow> RecordingListing::Fill(std::string_view folder, int filter) {
  std::vector<RecordingRow> rows;
  std::string prefix(folder);
  if (prefix.empty() || prefix.back() != '/') prefix += '/';

  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(prefix, error), end; !error && it != end; it.increment(error)) {
    std::error_code type_error;
    if (it->is_regular_file(type_error)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), NameLess);

  const std::string finalized_mark = platform::LoadString(kIdsFinalizedMark);
  const std::string archived_mark = platform::LoadString(kIdsArchivedMark);
  for (const Pattern& pattern : kPatterns) {
    for (const std::string& name : names) {
      if (!EndsWithNoCase(name, pattern.extension)) continue;
      const std::string path = prefix + name;
      RecordingRow row;
      row.kind = pattern.kind;
      RecordingNameParts parts = SplitRecordingName(name);
      row.name_part = std::move(parts.name_part);
      row.number_part = std::move(parts.number_part);
      // A number part, when there is one, is five characters long.
      row.finalized_text = !row.number_part.empty() && row.number_part.front() == 'V' ? finalized_mark : "-";
      row.archived_text = platform::HasArchiveAttribute(path) ? "-" : archived_mark;
      struct stat st {};
      if (::stat(path.c_str(), &st) == 0) row.date_text = DateText(st.st_mtim.tv_sec);
      if (!Passes(row, filter)) continue;
      row.path_index = static_cast<int>(paths_.size());
      // The file as found: on a case-sensitive file system a name rebuilt with an upper-case
      // extension would miss "x.qrs".
      paths_.push_back(path);
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

}  // namespace dialogs
