#pragma once

class CZK470Doc;
namespace win {
class Window;
}

namespace export_cmd {
inline constexpr int kRRExport = 33221;
inline constexpr int kArchiveCopyTo = 32920;    // chosen recordings to the archive
inline constexpr int kArchiveCopyFrom = 32917;  // chosen recordings back from the archive
}  // namespace export_cmd

// The RR export of the open recording: asks for the folder, asks before overwriting, writes under a
// progress window that can cancel it, and says what failed. owner hosts the progress window.
void RunRRExport(win::Window* owner, CZK470Doc& doc);

// The archive copy of recordings chosen in the recording browser (command kArchiveCopyTo or
// kArchiveCopyFrom).
void RunArchiveCopyOfChosen(CZK470Doc& doc, int command);
