#pragma once

#include <cstdint>

class CZK470Doc;
class TEventList;
class TQRSList;

// Finds pauses (event kind 6): RR intervals longer than the pause limit between two beats that
// are not artefacts and that hold no recorder marker. Works on the document's working beat and
// event lists (borrowed); positions in samples. Created, run once and deleted by its user, on the
// thread that owns the document at that moment (the rhythm worker or the user-interface thread).
class TPauseDetector {
 public:
  TPauseDetector(CZK470Doc& doc, double pause_seconds, double sample_rate);

  // Examines the intervals between beats first_beat .. last_beat (-1: the last beat) and inserts
  // a pause event for each qualifying one. Returns 0.
  int Run(int first_beat, int last_beat);
  // Replaces the pauses among the intervals of the five beats on either side of the beat (the
  // beat editor's local re-detection). Returns 0.
  int RedetectAround(int beat_index);

  int32_t GetPauseLimitSamples() const { return limit_samples_; }

 private:
  CZK470Doc& doc_;
  TQRSList& beats_;
  TEventList& events_;
  double pause_seconds_;
  double sample_rate_;
  int32_t limit_samples_;
  int first_beat_ = 0;
  int last_beat_ = 0;
  int hint_ = 0;
  int32_t last_start_ = 0;
  int32_t last_end_ = 0;
};
