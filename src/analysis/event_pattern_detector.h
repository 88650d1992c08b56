#pragma once

#include <cstdint>

#include "analysis/beat_pattern_tree.h"

class CZK470Doc;
class TEventList;
class TQRSList;

// Finds ventricular patterns in the document's working beat list with the class-15 pattern tree
// and inserts them as events: couplet 16, triplet 17, run of four or more 18, bigeminy 19,
// trigeminy 20, each from its first ventricular beat to its last beat. Created for one run (or
// one local re-detection) and deleted; borrows the document's lists for that time.
class TEventPatternDetector {
 public:
  explicit TEventPatternDetector(CZK470Doc& doc);

  // Walks the tree from the ventricular beat ectopic_index; moves the cursor past what was
  // used. Returns the node type reached (1: no pattern, also when the walk failed).
  int Match(int ectopic_index);
  // Finds and inserts the patterns from the cursor to the end of the list (to_end) or to
  // last_beat. Returns 0.
  int Run(bool to_end, int last_beat);
  // Replaces the pattern events around one beat (the beat editor). Returns 0.
  int RedetectAround(int beat_index);

  int GetCursor() const { return cursor_; }
  void SetCursor(int cursor) { cursor_ = cursor; }

 private:
  CZK470Doc& doc_;
  TQRSList& beats_;
  TEventList& events_;
  int cursor_ = 0;
  int hint_ = 0;
  CBeatPatternTree tree_;
};

namespace analysis {

// The event kind of a leaf type of either tree (2..6 give 16..20, 7..11 give 10..14); 0 for none.
int PatternEventKind(int leaf_type);

}  // namespace analysis
