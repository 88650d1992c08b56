#include "recorder/recording_naming.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "document/recording_files.h"
#include "document/zk470_doc.h"
#include "platform/file_system.h"

namespace {

// Stands for the recording number until the document numbers the recording.
constexpr std::string_view kNumberPlaceholder = "-----";
constexpr size_t kNumberLength = kNumberPlaceholder.size();
// Each name stays well inside the 255 bytes a file name may have, with room for the fixed parts.
constexpr size_t kMaxNameBytes = 80;
constexpr size_t kMaxDateTimeBytes = 20;

// Work files of the document's last temporary ".qrs", samples and voice.
constexpr int kWorkQrs = 6;
constexpr int kWorkSamples = 7;
constexpr int kWorkVoice = 8;

bool IsUnsafe(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return true;
  // Separators of either system, and what a file pattern or a shell would read as special.
  return std::string_view("/\\*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

// One piece of the base name: "." and ":" become "-" (so no piece can be "." or ".."), anything that
// could leave the folder or match as a pattern becomes "_", cut at a character boundary.
std::string SafePiece(std::string_view text, size_t max_bytes) {
  std::string piece;
  piece.reserve(std::min(text.size(), max_bytes));
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '.' || ch == ':')
      piece += '-';
    else if (IsUnsafe(c))
      piece += '_';
    else
      piece += ch;
  }
  if (piece.size() > max_bytes) {
    size_t cut = max_bytes;
    // Never split a UTF-8 sequence: back up over continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(piece[cut]) & 0xC0) == 0x80) --cut;
    piece.resize(cut);
  }
  return piece;
}

bool HasSuffixNoCase(std::string_view name, std::string_view suffix) {
  return name.size() >= suffix.size() &&
         platform::FileNameEqualNoCase(name.substr(name.size() - suffix.size()), suffix);
}

// The first regular file (in name order) named prefix + any five characters + extension, compared
// ignoring case (recordings copied from other workstations differ in it) and literally: no
// character of the prefix has a pattern meaning.
std::optional<std::string> FindNumbered(const std::filesystem::path& folder, std::string_view prefix,
                                        std::string_view extension) {
  std::error_code ec;
  std::vector<std::string> matches;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + kNumberLength + extension.size()) continue;
    if (!platform::FileNameEqualNoCase(std::string_view(name).substr(0, prefix.size()), prefix)) continue;
    if (!HasSuffixNoCase(name, extension)) continue;
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    matches.push_back(it->path().string());
  }
  if (matches.empty()) return std::nullopt;
  return *std::min_element(matches.begin(), matches.end());
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(path, ec);
}

}  // namespace

std::string NewRecordingBaseName(std::string_view last_name, std::string_view first_name,
                                 std::string_view date_text, std::string_view time_text) {
  std::string base;
  if (!last_name.empty()) base += SafePiece(last_name, kMaxNameBytes) + " ";
  if (!first_name.empty()) base += SafePiece(first_name, kMaxNameBytes) + " ";
  base += SafePiece(date_text, kMaxDateTimeBytes);
  base += ' ';
  base += SafePiece(time_text, kMaxDateTimeBytes);
  base += ' ';
  base += kNumberPlaceholder;
  return base;
}

std::string NameNewRecording(CZK470Doc& doc, std::string_view last_name, std::string_view first_name,
                             std::string_view date_text, std::string_view time_text) {
  namespace fs = std::filesystem;
  const std::string work_qrs = doc.GetWorkFileName(kWorkQrs);
  if (work_qrs.empty()) return {};

  const std::string base = NewRecordingBaseName(last_name, first_name, date_text, time_text);
  const fs::path folder = doc.GetDataDirectory();
  const std::string target_qrs = CZK470Doc::JoinPath(folder.string(), base + ".qrs");
  // The name is one component by construction; anything else would leave the data directory.
  if (base.find('/') != std::string::npos || fs::path(target_qrs).filename().string() != base + ".qrs")
    return work_qrs;

  const std::string_view prefix = std::string_view(base).substr(0, base.size() - kNumberLength);
  const std::optional<std::string> existing_qrs = FindNumbered(folder, prefix, ".QRS");
  std::optional<std::string> existing_cmp;
  if (existing_qrs)
    existing_cmp = document::ExistingFile(document::ReplaceLastThree(*existing_qrs, "CMP"));
  else
    existing_cmp = FindNumbered(folder, prefix, ".CMP");

  if (existing_qrs && existing_cmp) {
    doc.DeleteWorkFile(kWorkQrs);
    doc.DeleteWorkFile(kWorkSamples);
    doc.DeleteWorkFile(kWorkVoice);
    return *existing_qrs;
  }
  // A file of that name alone may be an analysed recording whose samples are kept elsewhere:
  // it stays, and the new recording opens from its work files.
  if (existing_qrs || existing_cmp) return work_qrs;

  struct Move {
    std::string from;
    std::string to;
  };
  std::vector<Move> planned = {
      {doc.GetWorkFileName(kWorkSamples), CZK470Doc::JoinPath(folder.string(), base + ".cmp")}};
  // A recording without voice has no voice file.
  if (const std::string voice = doc.GetWorkFileName(kWorkVoice); FileExists(voice))
    planned.push_back({voice, CZK470Doc::JoinPath(folder.string(), base + ".pid")});
  // The document file last: until it is in place no recording of that name exists.
  planned.push_back({work_qrs, target_qrs});

  std::vector<const Move*> done;
  for (const Move& move : planned) {
    if (move.from.empty() || !platform::MoveFile(move.from, move.to, /*overwrite=*/false)) {
      for (auto it = done.rbegin(); it != done.rend(); ++it)
        (void)platform::MoveFile((*it)->to, (*it)->from, /*overwrite=*/false);
      return work_qrs;
    }
    done.push_back(&move);
  }
  // Moved: deleting forgets the names (nothing is left under them).
  doc.DeleteWorkFile(kWorkQrs);
  doc.DeleteWorkFile(kWorkSamples);
  doc.DeleteWorkFile(kWorkVoice);
  return target_qrs;
}
