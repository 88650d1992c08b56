#pragma once

class CZK470Doc;
namespace win {
class Window;
}

namespace tools {

// The CMP check: resets the document, asks for one ".CMP" file in the data directory and writes
// its check report beside it ("<name> QX29.txt"), then says where. Only the report is written;
// the checked file is never changed. Does nothing without a document.
void CheckCmpFile(win::Window* frame, CZK470Doc* doc);

// "Repair Files": resets the document, lets the user tick ".CMP" files in the data directory and
// shows one line per file saying what was found. No repair of the format is known, so nothing is
// changed and the lines say so. Does nothing without a document.
void RepairFiles(win::Window* frame, CZK470Doc* doc);

}  // namespace tools
