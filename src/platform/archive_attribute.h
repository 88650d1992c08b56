#pragma once

#include <filesystem>

#include "platform/file_system.h"

// The archive attribute of a file as the program used it on its first platform: set while the
// file has changed since its last archive copy, cleared by the archive copy. Linux has no such
// attribute; a cleared attribute is kept as a mark in the user extended attribute
// "user.zk470.archived" holding the file's modification time at the moment of clearing, so that a
// later change of the file (or a new file saved over it) sets the attribute again, as the platform
// did. Where the file system has no user extended attributes the mark is a small hidden file
// ".<name>.zk470-archived" beside the file.
namespace platform {

enum class ArchiveMarkPlace {
  kAuto,        // the extended attribute, or the marker file where there are none
  kMarkerFile,  // the marker file only (tests of file systems without extended attributes)
};

// True for a file that was never archived or has changed since; false when it does not exist.
bool HasArchiveAttribute(const std::filesystem::path& file, ArchiveMarkPlace place = ArchiveMarkPlace::kAuto);
// Sets (removes the mark) or clears (marks as archived) the attribute of an existing file.
[[nodiscard]] FileOpResult SetArchiveAttribute(const std::filesystem::path& file, bool set,
                                               ArchiveMarkPlace place = ArchiveMarkPlace::kAuto);

}  // namespace platform
