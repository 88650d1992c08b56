#include "layouts/hr_navigator_lists.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "document/beat_class.h"
#include "document/qrs_complex.h"
#include "document/zk470_doc.h"

namespace {

constexpr double kLongestIntervalSeconds = 5.0;
constexpr double kSecondsPerSlot = 600.0;

// Moves the cursor to the first marker at or after from (never back) and tells whether that
// marker lies between from and to, both included.
bool MarkerBetween(const std::vector<int32_t>& markers, int& cursor, int32_t from, int32_t to) {
  if (markers.empty()) return false;
  const int last = static_cast<int>(markers.size()) - 1;
  cursor = std::clamp(cursor, 0, last);
  while (markers[static_cast<size_t>(cursor)] < from && cursor < last) ++cursor;
  const int32_t marker = markers[static_cast<size_t>(cursor)];
  return marker >= from && marker <= to;
}

}  // namespace

TBeatRateCalculator::TBeatRateCalculator(const CZK470Doc& doc)
    : doc_(doc), sample_rate_(doc.GetSampleRate()) {}

int TBeatRateCalculator::RateAt(int beat, int& marker_cursor) const {
  const TQRSList& beats = doc_.GetQRSList();
  const int count = beats.GetSize();
  if (beat < 0 || beat >= count) return -1;
  const std::vector<int32_t>& markers = doc_.GetRecordingData().recorder_markers;
  // The caller's cursor goes only as far as this beat: the intervals ahead are looked at with a
  // copy, so a marker between two of them still counts for the next beats.
  MarkerBetween(markers, marker_cursor, beats.ElementAt(beat)->GetPosition(),
                beats.ElementAt(beat)->GetPosition());
  int cursor = marker_cursor;
  const int n = doc_.GetHRAverageBeats();
  double sum = 0.0;
  int counted = 0;
  for (int k = 1; k <= n && beat + k < count; ++k) {
    const TQRSComplex& earlier = *beats.ElementAt(beat + k - 1);
    const TQRSComplex& later = *beats.ElementAt(beat + k);
    if (MarkerBetween(markers, cursor, earlier.GetPosition(), later.GetPosition())) continue;
    if (earlier.GetClass() == kClassArtefact || later.GetClass() == kClassArtefact) continue;
    const double interval = static_cast<double>(later.GetPosition()) - earlier.GetPosition();
    if (!(interval < kLongestIntervalSeconds * sample_rate_)) continue;
    sum += interval;
    ++counted;
  }
  // Two beats on one sample give no rate rather than an infinite one.
  if (counted == 0 || sum <= 0.0 || sample_rate_ <= 0.0) return -1;
  const double rate = 1.0 / (sum / sample_rate_ / counted) * 60.0;
  return rate >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(rate);
}

int TBeatRateCalculator::NNAt(int beat) {
  const TQRSList& beats = doc_.GetQRSList();
  if (beat < 0 || beat + 1 >= beats.GetSize()) return -1;
  const TQRSComplex& first = *beats.ElementAt(beat);
  const TQRSComplex& second = *beats.ElementAt(beat + 1);
  if (first.GetClass() != kClassNormal || second.GetClass() != kClassNormal) return -1;
  if (MarkerBetween(doc_.GetRecordingData().recorder_markers, nn_marker_cursor_, first.GetPosition(),
                    second.GetPosition())) {
    return -1;
  }
  const int64_t interval = int64_t{second.GetPosition()} - first.GetPosition();
  return interval < 0 || interval > std::numeric_limits<int32_t>::max() ? -1 : static_cast<int>(interval);
}

int TBeatRateCalculator::BuildRateList(std::vector<TNavigatorEntry>& out) {
  const TQRSList& beats = doc_.GetQRSList();
  out.clear();
  out.reserve(static_cast<size_t>(beats.GetSize()));
  min_rate_ = 500;
  max_rate_ = 0;
  int cursor = 0;
  for (int i = 0; i < beats.GetSize(); ++i) {
    const int v = RateAt(i, cursor);
    if (v < 0) continue;
    out.push_back({v, beats.ElementAt(i)->GetPosition(), i});
    min_rate_ = std::min(min_rate_, v);
    max_rate_ = std::max(max_rate_, v);
  }
  return static_cast<int>(out.size());
}

int TBeatRateCalculator::BuildNNList(std::vector<TNavigatorEntry>& out) {
  const TQRSList& beats = doc_.GetQRSList();
  out.clear();
  out.reserve(static_cast<size_t>(beats.GetSize()));
  nn_marker_cursor_ = 0;
  for (int i = 0; i + 1 < beats.GetSize(); ++i) {
    const int v = NNAt(i);
    if (v >= 0) out.push_back({v, beats.ElementAt(i)->GetPosition(), i});
  }
  return static_cast<int>(out.size());
}

int TBeatRateCalculator::RateAtPosition(int32_t position) const {
  if (position == -1 || doc_.GetQRSList().GetSize() == 0) return -1;
  int cursor = 0;
  const int rate = RateAt(doc_.GetQRSList().FindNearest(TQRSComplex(position, kClassNormal)), cursor);
  return rate < 0 ? -1 : rate;
}

int TBeatRateCalculator::RateAtStoredMin() const { return RateAtPosition(doc_.GetHRMinPosition()); }

int TBeatRateCalculator::RateAtStoredMax() const { return RateAtPosition(doc_.GetHRMaxPosition()); }

bool SortByValue(std::span<const TNavigatorEntry> source, std::vector<TNavigatorEntry>& destination) {
  destination.clear();
  if (source.empty()) return false;
  const auto [low, high] = std::ranges::minmax_element(source, {}, &TNavigatorEntry::value);
  const int64_t range = int64_t{high->value} - low->value + 1;
  // A counting pass needs one slot per value between the extremes; NN intervals have no upper
  // limit, so a list with a far outlier is sorted stably instead (the same order).
  if (range > std::max<int64_t>(int64_t{4} * static_cast<int64_t>(source.size()), 1 << 16)) {
    destination.assign(source.begin(), source.end());
    std::ranges::stable_sort(destination, {}, &TNavigatorEntry::value);
    return true;
  }
  const int32_t base = low->value;
  std::vector<int> first(static_cast<size_t>(range) + 1, 0);
  for (const TNavigatorEntry& e : source) ++first[static_cast<size_t>(e.value - base) + 1];
  for (size_t v = 1; v < first.size(); ++v) first[v] += first[v - 1];
  destination.resize(source.size());
  for (const TNavigatorEntry& e : source)
    destination[static_cast<size_t>(first[static_cast<size_t>(e.value - base)]++)] = e;
  return true;
}

std::vector<int> BuildTenMinuteIndex(std::span<const TNavigatorEntry> entries, double sample_rate,
                                     int whole_minutes) {
  const int count = static_cast<int>(entries.size());
  std::vector<int> index{0};
  if (sample_rate > 0.0) {
    int k = 1;
    auto threshold = static_cast<int64_t>(sample_rate * kSecondsPerSlot);
    for (int j = 0; j < count; ++j) {
      // An entry after a stretch without entries fills every mark it passed.
      while (entries[static_cast<size_t>(j)].position >= threshold) {
        index.push_back(j);
        ++k;
        threshold = static_cast<int64_t>(sample_rate * kSecondsPerSlot * k);
      }
    }
  }
  const size_t slots = static_cast<size_t>(std::max(whole_minutes, 0) / 10) + 2;
  if (index.size() < slots) index.resize(slots, count);
  return index;
}

int TenMinuteSlot(std::span<const int> index, int slot, int count) {
  if (slot < 0) return 0;
  if (static_cast<size_t>(slot) >= index.size()) return count;
  return std::min(index[static_cast<size_t>(slot)], count);
}

int32_t NavigatorTarget(int32_t position_ms, double sample_rate) {
  return static_cast<int32_t>(position_ms * 0.001 * sample_rate);
}

int FindNearestEntry(std::span<const TNavigatorEntry> sorted, int64_t target) {
  if (sorted.empty()) return -1;
  int best = 0;
  int64_t best_distance = std::numeric_limits<int64_t>::max();
  for (size_t i = 0; i < sorted.size(); ++i) {
    const int64_t distance = std::llabs(int64_t{sorted[i].position} - target);
    if (distance < best_distance) {
      best_distance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}
