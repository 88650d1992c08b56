#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

// Renaming a recording as one step. Every file of the recording's base name (base + "." + any
// extension without a further dot: ".QRS", ".CMP", ".ANO", ".152", ...) moves to the new base name
// in the same folder; with content, the ".QRS" and its ".BAK" under the new name are replaced by
// it, so a rename and its save succeed together. A journal beside the files ("<old>.QRS.~RN") is
// written before the first change and removed after the last: a failure in between moves every
// file back, and a crash in between is finished by FinishInterruptedRename on the next open.
namespace document {

struct RecordingRenameResult {
  platform::FileOpResult result;
  // Old path -> new path of every file that moved.
  std::vector<std::pair<std::string, std::string>> moved;
};

// Renames old_qrs (an existing ".QRS") and its files to new_qrs. A file already under a new name
// refuses the rename before anything changes. content: the new ".QRS" bytes, or nullptr.
[[nodiscard]] RecordingRenameResult RenameRecording(const std::string& old_qrs, const std::string& new_qrs,
                                                    const std::vector<uint8_t>* content);

// Finishes a rename that was cut short and that concerns qrs_path (as its old or new name), unless
// another process holds the recording. Returns where the ".QRS" is afterwards (qrs_path itself
// when nothing was pending).
std::string FinishInterruptedRename(const std::string& qrs_path);

// The file of a finished rename's journal, for callers that look for leftovers.
bool IsRenameJournalName(const std::string& file_name);

}  // namespace document
