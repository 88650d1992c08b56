#pragma once

namespace platform {
class ResourcePack;
}

// Texts of the RR export, the failed archive copy back from the archive and the mail commands.
inline constexpr int kIdsArchiveCopyBackFailed = 15207;
inline constexpr int kIdsRRWriteFailed = 15230;  // %s: the file
inline constexpr int kIdsNoMailProgram = 15231;  // %s: the files to attach, one a line
inline constexpr int kIdsMailFailed = 15232;     // %s: the files, %s: why

// English texts into every pack, German ones into "ZK470Ger".
void AddExportResources(platform::ResourcePack& pack);
