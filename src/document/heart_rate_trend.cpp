#include "document/heart_rate_trend.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <utility>

#include "document/document_host.h"
#include "document/zk470_doc.h"

namespace {

// Intervals of this length or longer are no heart beat interval.
constexpr double kLongestIntervalSeconds = 5.0;
// A bin minimum that no beat has set yet.
constexpr int kNoBinValue = INT_MAX;

// Beat positions come from the file unchecked: an interval that an int cannot hold is none.
int IntervalOrNone(int32_t from, int32_t to) {
  const int64_t interval = int64_t{to} - from;
  return interval > INT_MAX || interval < INT_MIN ? -1 : static_cast<int>(interval);
}

}  // namespace

THeartRateTrend::THeartRateTrend(CZK470Doc& doc) : doc_(doc), sample_rate_(doc.GetSampleRate()) {}

int32_t THeartRateTrend::PositionOf(int beat) const {
  return doc_.GetQRSList().ElementAt(beat)->GetPosition();
}
int THeartRateTrend::ClassOf(int beat) const { return doc_.GetQRSList().ElementAt(beat)->GetClass(); }
int THeartRateTrend::BeatCount() const { return doc_.GetQRSList().GetSize(); }

int THeartRateTrend::RateOver(int64_t sum_samples, int count) const {
  if (sum_samples <= 0 || count <= 0 || sample_rate_ <= 0.0) return -1;
  const double seconds = static_cast<double>(sum_samples) / sample_rate_ / count;
  const double rate = 60.0 / seconds;
  return rate >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rate);
}

// Moves the cursor to the first marker at or after `from` (it never goes back) and tells whether
// that marker lies between from and to, both included.
bool THeartRateTrend::MarkerBetween(int& cursor, int32_t from, int32_t to) const {
  const std::vector<int32_t>& markers = doc_.GetRecordingData().recorder_markers;
  if (markers.empty()) return false;
  const int last = static_cast<int>(markers.size()) - 1;
  cursor = std::clamp(cursor, 0, last);
  while (markers[static_cast<size_t>(cursor)] < from && cursor < last) ++cursor;
  const int32_t marker = markers[static_cast<size_t>(cursor)];
  return marker >= from && marker <= to;
}

int THeartRateTrend::GetHeartRateAt(int beat, int first_marker) {
  hr_marker_cursor_ = first_marker;
  const int n = doc_.GetHRAverageBeats();
  if (beat < 0) return -1;
  int64_t sum = 0;
  int count = 0;
  for (int j = 1; j <= n && beat + j < BeatCount(); ++j) {
    const int previous = beat + j - 1;
    const int current = beat + j;
    if (MarkerBetween(hr_marker_cursor_, PositionOf(previous), PositionOf(current))) continue;
    if (ClassOf(previous) == kClassArtefact || ClassOf(current) == kClassArtefact) continue;
    const int64_t interval = int64_t{PositionOf(current)} - PositionOf(previous);
    if (static_cast<double>(interval) >= kLongestIntervalSeconds * sample_rate_) continue;
    sum += interval;
    ++count;
  }
  return count == 0 ? -1 : RateOver(sum, count);
}

int THeartRateTrend::GetRRInterval(int beat) {
  if (beat < 0 || beat + 1 >= BeatCount()) return -1;
  if (ClassOf(beat) == kClassArtefact || ClassOf(beat + 1) == kClassArtefact) return -1;
  if (MarkerBetween(interval_marker_cursor_, PositionOf(beat), PositionOf(beat + 1))) return -1;
  return IntervalOrNone(PositionOf(beat), PositionOf(beat + 1));
}

int THeartRateTrend::GetNNInterval(int beat) {
  if (beat < 0 || beat + 1 >= BeatCount()) return -1;
  if (ClassOf(beat) != kClassNormal || ClassOf(beat + 1) != kClassNormal) return -1;
  if (MarkerBetween(interval_marker_cursor_, PositionOf(beat), PositionOf(beat + 1))) return -1;
  return IntervalOrNone(PositionOf(beat), PositionOf(beat + 1));
}

bool THeartRateTrend::IsNormalRun() {
  const int n = doc_.GetHRAverageBeats();
  normal_run_ = current_beat_ >= 0 && current_beat_ + n <= BeatCount();
  for (int k = current_beat_; normal_run_ && k < current_beat_ + n; ++k)
    normal_run_ = ClassOf(k) == kClassNormal;
  return normal_run_;
}

int THeartRateTrend::GetRateOverSpan(int beat, int n) const {
  if (n <= 0 || beat < 0 || beat + n >= BeatCount()) return -1;
  const int rate = RateOver(int64_t{PositionOf(beat + n)} - PositionOf(beat), n);
  return rate <= 0 ? -1 : rate;
}

int THeartRateTrend::GetMaxRateInEvent(int event, int& beat_cursor, int span) const {
  const TEventList& events = doc_.GetEventList();
  if (event < 0 || event >= events.GetSize() || span <= 0) return 0;
  const TEvent& e = *events.ElementAt(event);
  const int start = std::clamp(beat_cursor, 0, BeatCount());
  // The last beat not after the event start; an event before the first beat starts at beat 0.
  int k = std::max(doc_.GetQRSList().FindNextAfterPosition(e.GetPosition(), start) - 1, 0);
  int maximum = 0;
  while (k + span < BeatCount()) {
    if (PositionOf(k + span - 1) > e.GetEnd()) break;
    maximum = std::max(maximum, GetRateOverSpan(k, span));
    ++k;
  }
  beat_cursor = k;
  return maximum;
}

void THeartRateTrend::StartPass(int32_t initial_position) {
  for (Running* r : {&hr_lo_, &hr_hi_, &rr_lo_, &rr_hi_, &nn_lo_, &nn_hi_, &sinus_lo_, &sinus_hi_})
    *r = Running{Extreme{0, initial_position, -1}, false};
  hr_marker_cursor_ = 0;
  interval_marker_cursor_ = 0;
}

namespace {

void TakeMinimum(int32_t value, int32_t position, int beat, bool& found, THeartRateTrend::Extreme& e) {
  if (found && value >= e.value) return;
  e = {value, position, beat};
  found = true;
}

void TakeMaximum(int32_t value, int32_t position, int beat, THeartRateTrend::Extreme& e) {
  if (value > e.value) e = {value, position, beat};
}

}  // namespace

// Steps 3 to 6 of a pass at one beat, without the bins.
void THeartRateTrend::TakeBeat(int beat) {
  const int32_t position = PositionOf(beat);
  last_hr_ = GetHeartRateAt(beat, hr_marker_cursor_);
  if (last_hr_ != -1) {
    TakeMinimum(last_hr_, position, beat, hr_lo_.found, hr_lo_.extreme);
    TakeMaximum(last_hr_, position, beat, hr_hi_.extreme);
  }
  last_rr_ = GetRRInterval(beat);
  if (last_rr_ != -1) {
    TakeMinimum(last_rr_, position, beat, rr_lo_.found, rr_lo_.extreme);
    TakeMaximum(last_rr_, position, beat, rr_hi_.extreme);
  }
  last_nn_ = GetNNInterval(beat);
  if (last_nn_ != -1) {
    TakeMinimum(last_nn_, position, beat, nn_lo_.found, nn_lo_.extreme);
    TakeMaximum(last_nn_, position, beat, nn_hi_.extreme);
  }
  current_beat_ = beat;
  if (IsNormalRun() && last_hr_ != -1) {
    TakeMinimum(last_hr_, position, beat, sinus_lo_.found, sinus_lo_.extreme);
    TakeMaximum(last_hr_, position, beat, sinus_hi_.extreme);
  }
}

void THeartRateTrend::FinishPass() {
  // A minimum that no beat set keeps value 0 and beat -1.
  hr_min_ = hr_lo_.extreme;
  hr_max_ = hr_hi_.extreme;
  rr_min_ = rr_lo_.extreme;
  rr_max_ = rr_hi_.extreme;
  nn_min_ = nn_lo_.extreme;
  nn_max_ = nn_hi_.extreme;
  sinus_min_ = sinus_lo_.extreme;
  sinus_max_ = sinus_hi_.extreme;
}

void THeartRateTrend::StoreInDocument(int mode) {
  doc_.SetHRMin(hr_min_.value, hr_min_.position, hr_min_.beat, mode);
  doc_.SetHRMax(hr_max_.value, hr_max_.position, hr_max_.beat, mode);
  doc_.SetRRMin(rr_min_.value, rr_min_.position, rr_min_.beat, mode);
  doc_.SetRRMax(rr_max_.value, rr_max_.position, rr_max_.beat, mode);
  doc_.SetSinusHRMin(sinus_min_.value, sinus_min_.position, sinus_min_.beat, mode);
  doc_.SetSinusHRMax(sinus_max_.value, sinus_max_.position, sinus_max_.beat, mode);
  doc_.SetNNMin(nn_min_.value, nn_min_.position, nn_min_.beat, mode);
  doc_.SetNNMax(nn_max_.value, nn_max_.position, nn_max_.beat, mode);
}

// A stored extreme is stale when its beat index no longer names the beat at its position: a beat
// inserted or deleted before it moved the index.
bool THeartRateTrend::StoredExtremesMatchTheBeats() const {
  const std::pair<int32_t, int32_t> stored[] = {{doc_.GetHRMinPosition(), doc_.GetHRMinBeat()},
                                                {doc_.GetHRMaxPosition(), doc_.GetHRMaxBeat()},
                                                {doc_.GetRRMinPosition(), doc_.GetRRMinBeat()},
                                                {doc_.GetRRMaxPosition(), doc_.GetRRMaxBeat()},
                                                {doc_.GetSinusHRMinPosition(), doc_.GetSinusHRMinBeat()},
                                                {doc_.GetSinusHRMaxPosition(), doc_.GetSinusHRMaxBeat()},
                                                {doc_.GetNNMinPosition(), doc_.GetNNMinBeat()},
                                                {doc_.GetNNMaxPosition(), doc_.GetNNMaxBeat()}};
  for (const auto& [position, beat] : stored) {
    if (beat < 0) continue;
    if (beat >= BeatCount() || PositionOf(beat) != position) return false;
  }
  return true;
}

int THeartRateTrend::Compute(int bin_seconds) {
  bin_min_.fill(kNoBinValue);
  bin_mean_.fill(0);
  bin_max_.fill(0);
  mean_of_means_ = 0;
  filled_bins_ = 0;
  StartPass(0);
  const int minutes = doc_.GetRecordingMinutes();
  bin_count_ = bin_seconds > 0 ? static_cast<int>(int64_t{minutes} * 60 / bin_seconds) : 0;
  if (BeatCount() == 0 || bin_seconds <= 0) {
    bin_min_.fill(0);
    FinishPass();
    return bin_count_;
  }

  const double samples_per_bin = bin_seconds * sample_rate_;
  int current_bin = 0;
  int64_t bin_sum = 0;
  int bin_beats = 0;
  const auto close_bin = [&] {
    if (current_bin < kMaxBins && bin_beats > 0)
      bin_mean_[static_cast<size_t>(current_bin)] = static_cast<int>(bin_sum / bin_beats);
  };
  for (int i = 0; i < BeatCount() - doc_.GetHRAverageBeats(); ++i) {
    const int bin = static_cast<int>(PositionOf(i) / samples_per_bin);
    if (bin > current_bin) {
      close_bin();
      bin_sum = 0;
      bin_beats = 0;
      for (int k = current_bin + 1; k < bin && k < kMaxBins; ++k) bin_min_[static_cast<size_t>(k)] = 0;
      current_bin = bin;
    }
    TakeBeat(i);
    // Beats past the table count for the extremes only.
    if (last_hr_ != -1 && current_bin < kMaxBins) {
      const size_t b = static_cast<size_t>(current_bin);
      bin_sum += last_hr_;
      ++bin_beats;
      bin_min_[b] = std::min(bin_min_[b], last_hr_);
      bin_max_[b] = std::max(bin_max_[b], last_hr_);
    }
  }
  close_bin();
  filled_bins_ = std::min(current_bin + 1, kMaxBins);

  int64_t means = 0;
  int counted = 0;
  for (int k = 0; k <= current_bin && k < kMaxBins; ++k) {
    if (bin_mean_[static_cast<size_t>(k)] > 0) {
      means += bin_mean_[static_cast<size_t>(k)];
      ++counted;
    }
  }
  if (counted > 0) mean_of_means_ = static_cast<int>(means / counted);
  for (int& value : bin_min_)
    if (value == kNoBinValue) value = 0;
  FinishPass();
  StoreInDocument(2);
  ResetVisited();
  search_direction_ = 0;
  // The document keeps what it holds: extremes left stale by an edit stay invalid, so that the
  // next user of them recalculates them.
  if (StoredExtremesMatchTheBeats()) doc_.SetExtremesValid(1);
  computed_ = true;
  return bin_count_;
}

void THeartRateTrend::ComputeExtremes(bool detect_ron_t, bool detect_arrhythmia) {
  StartPass(-1);
  if (BeatCount() == 0) {
    FinishPass();
    return;
  }
  const bool check_arrhythmia = detect_arrhythmia && doc_.GetAbsArrhythmiaSwitch() != 0;
  std::unique_ptr<document::HeartRatePassDetectors> detectors;
  if ((detect_ron_t || check_arrhythmia) && doc_.GetAnalysisHooks() != nullptr)
    detectors = doc_.GetAnalysisHooks()->CreatePassDetectors(doc_);

  int last = 0;
  for (int i = 0; i < BeatCount() - doc_.GetHRAverageBeats() - 1; ++i) {
    TakeBeat(i);
    if (detectors && detect_ron_t) detectors->CheckROnT(i, last_hr_);
    if (detectors && check_arrhythmia) detectors->CheckArrhythmia(i, false);
    last = i;
  }
  if (detectors && check_arrhythmia) detectors->CheckArrhythmia(last + 1, true);
  FinishPass();
  StoreInDocument(detect_arrhythmia ? 3 : 2);
  ResetVisited();
  search_direction_ = 0;
  doc_.SetExtremesValid(1);
}

int THeartRateTrend::FindNextNN(int interval, int excluded_beat, bool longer) {
  hr_marker_cursor_ = 0;
  interval_marker_cursor_ = 0;
  if ((longer && search_direction_ == 2) || (!longer && search_direction_ == 1)) visited_.clear();
  search_direction_ = longer ? 1 : 2;
  int best = longer ? INT_MAX : -1;
  int best_beat = -1;
  for (int i = 0; i <= BeatCount() - 2; ++i) {
    const int nn = GetNNInterval(i);
    if (nn == -1 || i == excluded_beat) continue;
    const bool candidate = longer ? (nn >= interval && nn < best) : (nn <= interval && nn > best);
    if (!candidate) continue;
    if (std::find(visited_.begin(), visited_.end(), PositionOf(i)) != visited_.end()) continue;
    best = nn;
    best_beat = i;
  }
  if (best_beat == -1) return -1;
  visited_.push_back(PositionOf(best_beat));
  return best_beat;
}

int THeartRateTrend::FindNextLongerNN(int interval, int excluded_beat) {
  return FindNextNN(interval, excluded_beat, true);
}

int THeartRateTrend::FindNextShorterNN(int interval, int excluded_beat) {
  return FindNextNN(interval, excluded_beat, false);
}

void THeartRateTrend::ResetVisited() {
  visited_.clear();
  visited_.shrink_to_fit();
}

// The whole bins, and the open bin after them where the recording ends inside a bin.
int THeartRateTrend::BinsWithValues() const { return std::max(std::min(bin_count_, kMaxBins), filled_bins_); }

int THeartRateTrend::GetBinMin(int bin) const {
  return bin >= 0 && bin < BinsWithValues() ? bin_min_[static_cast<size_t>(bin)] : 0;
}
int THeartRateTrend::GetBinMean(int bin) const {
  return bin >= 0 && bin < BinsWithValues() ? bin_mean_[static_cast<size_t>(bin)] : 0;
}
int THeartRateTrend::GetBinMax(int bin) const {
  return bin >= 0 && bin < BinsWithValues() ? bin_max_[static_cast<size_t>(bin)] : 0;
}
