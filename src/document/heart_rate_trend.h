#pragma once

#include <array>
#include <cstdint>
#include <vector>

class CZK470Doc;

// Turns the document's working beat list into heart rates: a binned trend (minimum, mean and
// maximum heart rate per bin), the extremes of the recording in four pairs, lookups at single
// beats and events, and the stepping through NN intervals by length. Heart rates are whole beats
// per minute, intervals whole samples, positions sample positions.
//
// Created by its user on a document, used and deleted; it reads the document's lists at every use
// and keeps no data between instances. The bins live inside the object (about 100 KB), so create
// it on the heap. Runs on the thread of its caller; the lists must not change during a pass.
class THeartRateTrend {
 public:
  static constexpr int kMaxBins = 8640;

  // One extreme: value, sample position and beat index (-1 when none was found; the value is
  // then 0).
  struct Extreme {
    int32_t value = 0;
    int32_t position = 0;
    int32_t beat = -1;
  };

  explicit THeartRateTrend(CZK470Doc& doc);

  // Fills the bins of bin_seconds each (at most kMaxBins; beats beyond them count for the
  // extremes only) and the extremes, stores the extremes in the document with mode 2, marks them
  // valid unless a stored one names a beat that no longer lies at its position, and sets the
  // computed flag. Returns the bin count (whole minutes x 60 / bin_seconds).
  int Compute(int bin_seconds);
  // The bin-free pass: recomputes the extremes and drives the R-on-T and absolute-arrhythmia
  // detectors of the document's analysis hooks when asked (the latter only while the document's
  // switch is on). Stores the extremes with mode 3 when arrhythmia detection is asked, else 2.
  void ComputeExtremes(bool detect_ron_t, bool detect_arrhythmia);

  // The mean rate over the valid ones among the N intervals after the beat (N: the document's
  // averaging count); intervals touching an artefact beat, holding a recorder marker or lasting
  // 5 s or more are left out. -1 when none is valid. The marker cursor stays where it stopped.
  int GetHeartRateAt(int beat, int first_marker);
  // The interval from the beat to the next one in samples; -1 when either is an artefact (RR) or
  // not normal (NN), when a marker lies between them, or when there is no next beat.
  int GetRRInterval(int beat);
  int GetNNInterval(int beat);
  // Whether the N beats from the current beat on are all normal.
  bool IsNormalRun();
  // The rate over the single interval from the beat to beat + n, counted as n intervals; -1 when
  // it cannot be formed or truncates to 0.
  int GetRateOverSpan(int beat, int n) const;
  // The highest rate over span consecutive intervals inside the event; advances the caller's beat
  // cursor. 0 when no span fits.
  int GetMaxRateInEvent(int event, int& beat_cursor, int span) const;
  // The next NN interval at least (at most) as long as interval, skipping the excluded beat and
  // beats already returned in this direction; -1 when there is none.
  int FindNextLongerNN(int interval, int excluded_beat);
  int FindNextShorterNN(int interval, int excluded_beat);
  void ResetVisited();

  bool IsComputed() const { return computed_; }
  int GetBinCount() const { return bin_count_; }
  // Bin values of the whole bins and of the open bin that the recording ends in (the last
  // partial hour of hourly bins); 0 for any other index.
  int GetBinMin(int bin) const;
  int GetBinMean(int bin) const;
  int GetBinMax(int bin) const;
  int GetMeanOfBinMeans() const { return mean_of_means_; }
  double GetSampleRate() const { return sample_rate_; }

  const Extreme& HRMin() const { return hr_min_; }
  const Extreme& HRMax() const { return hr_max_; }
  const Extreme& RRMin() const { return rr_min_; }
  const Extreme& RRMax() const { return rr_max_; }
  const Extreme& NNMin() const { return nn_min_; }
  const Extreme& NNMax() const { return nn_max_; }
  const Extreme& SinusMin() const { return sinus_min_; }
  const Extreme& SinusMax() const { return sinus_max_; }

  int GetLastHeartRate() const { return last_hr_; }
  int GetLastRR() const { return last_rr_; }
  int GetLastNN() const { return last_nn_; }
  int GetCurrentBeat() const { return current_beat_; }
  void SetCurrentBeat(int beat) { current_beat_ = beat; }
  bool GetNormalRun() const { return normal_run_; }
  int GetHeartRateMarkerCursor() const { return hr_marker_cursor_; }

 private:
  // A minimum or maximum under way; found is false until a first value was seen, so any value,
  // 500 included, can become the minimum.
  struct Running {
    Extreme extreme;
    bool found = false;
  };

  void StartPass(int32_t initial_position);
  void TakeBeat(int beat);
  void FinishPass();
  void StoreInDocument(int mode);
  int RateOver(int64_t sum_samples, int count) const;
  int32_t PositionOf(int beat) const;
  int ClassOf(int beat) const;
  int BeatCount() const;
  bool MarkerBetween(int& cursor, int32_t from, int32_t to) const;
  int FindNextNN(int interval, int excluded_beat, bool longer);
  int BinsWithValues() const;
  bool StoredExtremesMatchTheBeats() const;

  CZK470Doc& doc_;
  double sample_rate_;
  std::array<int, kMaxBins> bin_min_{};
  std::array<int, kMaxBins> bin_mean_{};
  std::array<int, kMaxBins> bin_max_{};
  int bin_count_ = 0;
  int filled_bins_ = 0;  // bins up to the last beat's, the open one included
  bool computed_ = false;
  int mean_of_means_ = 0;
  Running hr_lo_, hr_hi_, rr_lo_, rr_hi_, nn_lo_, nn_hi_, sinus_lo_, sinus_hi_;
  Extreme hr_min_, hr_max_, rr_min_, rr_max_, nn_min_, nn_max_, sinus_min_, sinus_max_;
  int last_hr_ = -1;
  int last_rr_ = -1;
  int last_nn_ = -1;
  int current_beat_ = 0;
  bool normal_run_ = false;
  int hr_marker_cursor_ = 0;
  int interval_marker_cursor_ = 0;
  std::vector<int32_t> visited_;
  int search_direction_ = 0;  // 0 none, 1 longer, 2 shorter
};
