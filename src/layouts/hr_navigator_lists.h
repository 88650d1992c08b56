#pragma once

#include <cstdint>
#include <span>
#include <vector>

class CZK470Doc;

// One beat of a navigator list: the local heart rate in beats per minute (rate list) or the NN
// interval in samples (NN list), the beat's sample position and its index in the beat list.
struct TNavigatorEntry {
  int32_t value = 0;
  int32_t position = 0;
  int32_t beatIndex = 0;
  friend bool operator==(const TNavigatorEntry&, const TNavigatorEntry&) = default;
};

// Computes the local heart rate and the NN interval of every beat of the document's working beat
// list and builds the two navigator lists in beat order. Made for one rebuild of the lists and
// deleted after it; reads the document, changes nothing. User-interface thread only.
class TBeatRateCalculator {
 public:
  explicit TBeatRateCalculator(const CZK470Doc& doc);

  // The mean rate over the usable ones of the averaging count's intervals after the beat:
  // intervals touching an artefact beat, holding a recorder marker (ends included) or lasting
  // 5 s or more are left out. -1 when none is usable. marker_cursor is carried from beat to beat
  // in ascending order; it never passes a marker that a later beat's intervals may still hold.
  int RateAt(int beat, int& marker_cursor) const;
  // Samples from the beat to the next when both are normal and no marker lies between them; -1
  // otherwise. Carries its own marker cursor: call in ascending beat order within one build.
  int NNAt(int beat);
  // Replace out with the entries of every beat that has a value, in beat order; return the count.
  // BuildRateList also sets minRate and maxRate (500 and 0 when no beat has a rate).
  int BuildRateList(std::vector<TNavigatorEntry>& out);
  int BuildNNList(std::vector<TNavigatorEntry>& out);
  // The rate at the beat nearest the document's stored heart-rate minimum (maximum) position;
  // -1 when none is stored or that beat has no rate.
  int RateAtStoredMin() const;
  int RateAtStoredMax() const;

  int GetMinRate() const { return min_rate_; }
  int GetMaxRate() const { return max_rate_; }
  double GetSampleRate() const { return sample_rate_; }

 private:
  int RateAtPosition(int32_t position) const;

  const CZK470Doc& doc_;
  double sample_rate_ = 0.0;
  int min_rate_ = 500;
  int max_rate_ = 0;
  int nn_marker_cursor_ = 0;
};

// Copies source into destination in ascending order of value; entries with equal values keep
// their order. False, and destination emptied, when source is empty. Values are small integers
// (bpm or samples), so the order comes from counting, without comparing entries.
bool SortByValue(std::span<const TNavigatorEntry> source, std::vector<TNavigatorEntry>& destination);

// The ten-minute index of a beat-order list: slot s holds the first entry at or after minute
// 10 x s, or the count when there is none. Sized from the recording: at least whole_minutes / 10
// + 2 slots, more when entries lie beyond the whole minutes.
std::vector<int> BuildTenMinuteIndex(std::span<const TNavigatorEntry> entries, double sample_rate,
                                     int whole_minutes);
// Slot s of an index; the count for a slot past its end (a span that reaches past the recording).
int TenMinuteSlot(std::span<const int> index, int slot, int count);

// The sample position of a time in ms, as the navigator searches its lists.
int32_t NavigatorTarget(int32_t position_ms, double sample_rate);
// The sorted entry nearest a sample position: the smallest distance, the first in sorted order on
// a tie; -1 for an empty list.
int FindNearestEntry(std::span<const TNavigatorEntry> sorted, int64_t target);
