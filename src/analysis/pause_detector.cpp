#include "analysis/pause_detector.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/event_insertion.h"
#include "analysis/pattern_walk.h"
#include "document/zk470_doc.h"

TPauseDetector::TPauseDetector(CZK470Doc& doc, double pause_seconds, double sample_rate)
    : doc_(doc),
      beats_(doc.GetQRSList()),
      events_(doc.GetEventList()),
      pause_seconds_(pause_seconds),
      sample_rate_(sample_rate),
      // 2.0 s at 125 per second: 250 samples; the interval must exceed it.
      limit_samples_(static_cast<int32_t>(std::trunc(pause_seconds * sample_rate))) {}

int TPauseDetector::Run(int first_beat, int last_beat) {
  const int count = beats_.GetSize();
  if (last_beat == -1 || last_beat > count - 1) last_beat = count - 1;
  first_beat = std::max(first_beat, 0);
  if (first_beat >= last_beat) return 0;
  first_beat_ = first_beat;
  last_beat_ = last_beat;

  const std::vector<int32_t>& markers = doc_.GetRecordingData().recorder_markers;
  const int marker_count = static_cast<int>(markers.size());
  int marker = 0;
  for (int g = first_beat; g < last_beat; ++g) {
    const TQRSComplex& a = *beats_.ElementAt(g);
    const TQRSComplex& b = *beats_.ElementAt(g + 1);
    if (a.GetClass() == kClassArtefact || b.GetClass() == kClassArtefact) continue;
    if (int64_t{b.GetPosition()} - a.GetPosition() <= limit_samples_) continue;
    if (marker_count > 0) {
      while (markers[static_cast<size_t>(marker)] < a.GetPosition() && marker < marker_count - 1) ++marker;
      const int32_t m = markers[static_cast<size_t>(marker)];
      // The gap of a recorder marker is no pause; a marker on either beat counts as inside.
      if (m >= a.GetPosition() && m <= b.GetPosition()) continue;
    }
    hint_ = analysis::InsertEventInOrder(events_, TEvent(a.GetPosition(), b.GetPosition(), kClassPause), hint_);
    last_start_ = a.GetPosition();
    last_end_ = b.GetPosition();
  }
  return 0;
}

int TPauseDetector::RedetectAround(int beat_index) {
  const int count = beats_.GetSize();
  if (count == 0) return 0;
  const int a = std::clamp(beat_index, 0, count - 1);
  const int first = std::max(a - 5, 0);
  const int last = std::min(a + 5, count - 1);
  const int32_t from = beats_.ElementAt(first)->GetPosition();
  const int32_t to = beats_.ElementAt(last)->GetPosition();
  // Only the pauses that Run (first, last) can find again go: those starting on beats first ..
  // last - 1. A pause starting on the last beat of the window lies outside it and stays.
  if (events_.GetCounter(kClassPause) > 0) analysis::RemovePatternEventsBetween(events_, from, to, kClassPause, kClassPause);
  hint_ = 0;
  return Run(first, last);
}
