#pragma once

class CZK470Doc;
namespace win {
class Window;
}

// The main frame's bulk imports of foreign recordings: the user ticks files in the recording file
// picker, each is converted into a new recording document, and the result list shows one line per
// file. The open document is left as it is. Nothing happens without a document.
// User-interface thread.

// Command 33048: records of the AHA database ("A*ID.DAT") of the data directory, at 250 Hz and
// 2.5 microvolts per unit, with a summary of the imported and failed records.
void ImportAhaFiles(win::Window* frame, CZK470Doc* doc);

// Command 33054: signal files of the maker's other ECG products ("KEKG" files); no summary.
void ImportKEKGFiles(win::Window* frame, CZK470Doc* doc);
