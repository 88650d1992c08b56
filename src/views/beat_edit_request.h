#pragma once

#include <cstdint>

class CZK470Doc;

// One edit of the beat or event lists as a review window hands it to the beat-list editing
// engine: eleven int32 in this order. Fields 2 to 6 are the hit record that the window's strip
// area filled for the point (area message 1009).
struct TBeatEditRequest {
  int32_t window = 0;  // handle of the asking window; its layout node answers area message 1020
  int32_t x = 0;
  int32_t y = 0;
  int32_t off_beat = 1;     // 0: a beat lies at the point, 1: a free position
  int32_t position = -1;    // samples
  int32_t beat_index = -1;  // -1 for a free position
  int32_t key_flags = 0;    // the mouse message's flags, 0 for commands
  int32_t direct = 1;       // 1 carry out the command, 0 let the user choose the class first
  int32_t command = 0;      // command id, 0 with the choice dialog
  // 0 when the beat belongs to the class of the selected template row: its template entry then
  // stays where it is until the beat page commits its relabels.
  int32_t not_in_selected_class = 1;
  int32_t beat_class = -1;  // -1: the beat's own class

  friend bool operator==(const TBeatEditRequest&, const TBeatEditRequest&) = default;
};

// Where the review windows send their edits: the beat-list editing engine, which the program
// installs at start-up (the engine lives in a library above the views). Until then edits do
// nothing. User-interface thread only.
class CBeatEditSink {
 public:
  virtual ~CBeatEditSink() = default;
  // Carries out one request with a new engine for the document, its update flag set.
  virtual void ExecuteCommand(CZK470Doc& document, const TBeatEditRequest& request) = 0;
  // After an edit on the example-strip screen: the stored example times checked again.
  virtual void CheckExampleStrips(CZK470Doc& document) = 0;
  // Whether the engine can let the user choose the class (its beat and class dialogs); without
  // them only the direct commands are offered.
  virtual bool AsksForTheClass() const { return true; }
};

// Not owned; nullptr removes it. Describes the program, not one run: the process reset keeps it.
inline CBeatEditSink*& BeatEditSinkSlot() {
  static CBeatEditSink* sink = nullptr;
  return sink;
}
inline void SetBeatEditSink(CBeatEditSink* sink) { BeatEditSinkSlot() = sink; }
inline CBeatEditSink* GetBeatEditSink() { return BeatEditSinkSlot(); }
