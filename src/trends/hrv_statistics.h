#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CZK470Doc;

// The time-domain values of one group of intervals: the whole day, or the intervals outside or
// inside the HRV time window. Interval values are milliseconds once the day is computed.
struct THRVValues {
  double coverage = 0.0;  // used intervals x 100 / beats
  double mean_nn = 0.0;
  double sdnn = 0.0;
  double sdann = 0.0;
  double rmssd = 0.0;
  double sdnn_index = 0.0;
  // Successive differences of more than 6, 13 and 25 samples (48, 104, 200 ms at 125 Hz) and
  // their share of the used intervals in percent.
  std::array<int, 3> counts{};
  std::array<double, 3> percents{};

  bool operator==(const THRVValues&) const = default;
};

// The results of one day (or of the whole recording). Segment arrays stay in samples; segment s
// (from 0) is the s-th 5-minute segment that the day's pass closed.
struct THRVResult {
  THRVValues whole;
  std::array<THRVValues, 2> groups;      // THRVStatistics::kOutside, kInside
  std::vector<double> segment_sums;      // 0 for a rejected segment
  std::vector<unsigned> segment_counts;  // 0 for a rejected segment
  std::vector<double> segment_sds;       // every closed segment but the last
  std::array<std::vector<double>, 2> group_segment_sds;
  // Percent of the counted intervals by deviation from the mean NN, bin b = b..b+1 percent.
  std::array<double, 101> longer_histogram{};  // bin 100 stays 0
  std::array<double, 100> shorter_histogram{};
  std::vector<std::vector<double>> segment_intervals;  // used intervals of each closed segment
  std::array<std::vector<std::vector<double>>, 2> group_segment_intervals;
};

// Heart-rate variability of a recording in the time domain: for the whole recording (day code 99)
// and each recorded day (0, 1, 2), over all used intervals and split by the user's HRV time window.
// A used interval joins two beats that are both normal or SVES, holds no recorder marker and
// touches no absolute-arrhythmia, fibrillation or flutter episode and spans no lead-off or
// battery-off episode; a 5-minute segment with more than 20 percent of pairs of other beats is
// rejected as a whole.
//
// Created by its user on a document and read on that user's thread; it reads the document's lists
// only inside Update / ComputeDay, which must not run while they change.
class THRVStatistics {
 public:
  static constexpr int kOutside = 0;
  static constexpr int kInside = 1;
  static constexpr int kWholeRecording = 99;
  static constexpr int kMaxDays = 3;
  static constexpr int kSegmentSeconds = 300;
  // The three thresholds of the successive-difference counts, in samples.
  static constexpr std::array<int, 3> kDifferenceThresholds = {6, 13, 25};

  explicit THRVStatistics(CZK470Doc& doc);

  // Marks every day for recomputation at the next Update.
  void Invalidate() { computed_ = false; }
  // Computes the whole recording and every day once (until Invalidate), then selects the
  // document's selected HRV day.
  void Update();
  // Copies the stored results of day 0, 1, 2 or 99 into the result block.
  void SelectDay(int day);
  // Fills the result block for day 0, 1, 2 or 99.
  void ComputeDay(int day);
  // Copies the result block into the slot of the day.
  void StoreDay(int day);
  bool IsComputed() const { return computed_; }

  // The result block (the day last computed or selected).
  const THRVResult& GetResult() const { return result_; }
  const THRVValues& GetValues() const { return result_.whole; }
  const THRVValues& GetGroupValues(int group) const {
    return result_.groups.at(static_cast<std::size_t>(group));
  }
  const std::vector<double>& GetSegmentSums() const { return result_.segment_sums; }
  const std::vector<unsigned>& GetSegmentCounts() const { return result_.segment_counts; }
  const std::vector<double>& GetSegmentSDs() const { return result_.segment_sds; }
  const std::array<double, 101>& GetLongerHistogram() const { return result_.longer_histogram; }
  const std::array<double, 100>& GetShorterHistogram() const { return result_.shorter_histogram; }

  // The HRV time window of day k (0..2) from the recording start, as the last ComputeDay left it;
  // -1 for a day not computed. The window holds positions after the begin and up to the end.
  int64_t GetWindowBeginMs(int k) const { return window_.at(static_cast<std::size_t>(k)).begin_ms; }
  int64_t GetWindowEndMs(int k) const { return window_.at(static_cast<std::size_t>(k)).end_ms; }
  int64_t GetWindowBeginSamples(int k) const { return window_.at(static_cast<std::size_t>(k)).begin_samples; }
  int64_t GetWindowEndSamples(int k) const { return window_.at(static_cast<std::size_t>(k)).end_samples; }

 private:
  struct Window {
    int64_t begin_ms = -1;
    int64_t end_ms = -1;
    int64_t begin_samples = -1;
    int64_t end_samples = -1;
  };

  static std::size_t SlotOf(int day);
  void ComputeWindows(int day);

  CZK470Doc& doc_;
  THRVResult result_;
  std::array<THRVResult, 4> slots_;
  std::array<Window, kMaxDays> window_;
  bool computed_ = false;
};
