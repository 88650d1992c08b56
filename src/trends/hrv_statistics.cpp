#include "trends/hrv_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "document/beat_class.h"
#include "document/zk470_doc.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// A segment with more than this share of pairs of other beats is rejected as a whole.
constexpr int kMaxExcludedPercent = 20;
// The histograms cover deviations from the mean below this many percent.
constexpr int kHistogramBins = 100;

bool IsUsableBeat(int beat_class) { return beat_class == kClassNormal || beat_class == kClassSVES; }

bool IsArrhythmiaKind(int kind) {
  return kind == kClassArrhythmia || kind == kClassAtrialFibrillation || kind == kClassAtrialFlutter;
}

// No beats are detected while a lead is off or the battery is out, so a pair spanning such an
// episode would make one interval of minutes or hours.
bool IsSignalLossKind(int kind) { return kind == kClassLeadOff || kind == kClassBattOff; }

int SecondOfDay(const platform::OleDateTime& time) {
  const double fraction = time.days - std::floor(time.days);
  return static_cast<int>(std::llround(fraction * static_cast<double>(kSecondsPerDay)) % kSecondsPerDay);
}

double Mean(const std::vector<double>& values) {
  if (values.empty()) return 0.0;
  double sum = 0.0;
  for (double v : values) sum += v;
  return sum / static_cast<double>(values.size());
}

// Sample standard deviation (divisor n - 1); 0 below min_count values.
double SampleSD(const std::vector<double>& values, size_t min_count = 2) {
  if (values.size() < std::max<size_t>(min_count, 2)) return 0.0;
  const double mean = Mean(values);
  double squares = 0.0;
  for (double v : values) squares += (v - mean) * (v - mean);
  return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

double MeanOfPositive(const std::vector<double>& a, const std::vector<double>* b = nullptr) {
  double sum = 0.0;
  int count = 0;
  for (const std::vector<double>* list : {&a, b}) {
    if (list == nullptr) continue;
    for (double v : *list) {
      if (v > 0.0) {
        sum += v;
        ++count;
      }
    }
  }
  return count == 0 ? 0.0 : sum / count;
}

// Sums of one group (or of all intervals) within a segment or a day.
struct Sums {
  double sum = 0.0;
  unsigned count = 0;
  double squared_differences = 0.0;
  std::array<int, 3> counts{};

  void Add(const Sums& other) {
    sum += other.sum;
    count += other.count;
    squared_differences += other.squared_differences;
    for (size_t t = 0; t < counts.size(); ++t) counts[t] += other.counts[t];
  }
};

struct Segment {
  int beats = 0;
  int excluded = 0;
  std::array<Sums, 2> groups;
  Sums whole;
  std::array<std::vector<double>, 2> group_intervals;
  std::vector<double> intervals;
};

// The pair tests share forward-only cursors; beats are visited in ascending position.
class PairTests {
 public:
  PairTests(const CZK470Doc& doc, int64_t range_start, int64_t range_end)
      : markers_(doc.GetRecordingData().recorder_markers) {
    const TEventList& events = doc.GetEventList();
    for (const TEvent& e : events.Elements()) {
      if (IsArrhythmiaKind(e.GetClass()) && e.GetEnd() >= range_start && e.GetPosition() <= range_end)
        arrhythmia_.push_back({e.GetPosition(), e.GetEnd()});
      if (IsSignalLossKind(e.GetClass())) signal_loss_.push_back({e.GetPosition(), e.GetEnd()});
    }
    // Lead-off episodes come per channel and may overlap: merge them into ascending spans.
    std::sort(signal_loss_.begin(), signal_loss_.end());
    std::vector<std::pair<int64_t, int64_t>> merged;
    for (const auto& span : signal_loss_) {
      if (!merged.empty() && span.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, span.second);
      else
        merged.push_back(span);
    }
    signal_loss_ = std::move(merged);
  }

  bool MarkerBetween(int64_t from, int64_t to) {
    while (marker_ < markers_.size() && markers_[marker_] < from) ++marker_;
    return marker_ < markers_.size() && markers_[marker_] <= to;
  }

  // Either beat inside an episode, both ends included; a second beat past the episode moves on to
  // the next one and tests that as well.
  bool InArrhythmia(int64_t first, int64_t second) {
    bool inside = false;
    while (episode_ < arrhythmia_.size()) {
      const auto [start, end] = arrhythmia_[episode_];
      if ((first >= start && first <= end) || (second >= start && second <= end)) inside = true;
      if (second <= end) break;
      ++episode_;
    }
    return inside;
  }

  bool SpansSignalLoss(int64_t first, int64_t second) {
    while (loss_ < signal_loss_.size() && signal_loss_[loss_].second < first) ++loss_;
    return loss_ < signal_loss_.size() && signal_loss_[loss_].first <= second;
  }

 private:
  const std::vector<int32_t>& markers_;
  std::vector<std::pair<int64_t, int64_t>> arrhythmia_;
  std::vector<std::pair<int64_t, int64_t>> signal_loss_;
  size_t marker_ = 0;
  size_t episode_ = 0;
  size_t loss_ = 0;
};

}  // namespace

THRVStatistics::THRVStatistics(CZK470Doc& doc) : doc_(doc) {}

size_t THRVStatistics::SlotOf(int day) { return day >= 0 && day < kMaxDays ? static_cast<size_t>(day) : 3; }

void THRVStatistics::Update() {
  if (!computed_) {
    ComputeDay(kWholeRecording);
    StoreDay(kWholeRecording);
    const int days = std::min(doc_.GetDayCount(), kMaxDays);
    for (int day = 0; day < days; ++day) {
      ComputeDay(day);
      StoreDay(day);
    }
    computed_ = true;
  }
  SelectDay(doc_.GetHRVSelectedDay());
}

void THRVStatistics::SelectDay(int day) { result_ = slots_[SlotOf(day)]; }

void THRVStatistics::StoreDay(int day) { slots_[SlotOf(day)] = result_; }

void THRVStatistics::ComputeWindows(int day) {
  const TRecordingData& record = doc_.GetRecordingData();
  const double rate = doc_.GetSampleRate();
  const int start = SecondOfDay(record.start_time);
  const auto offset = [start](const platform::OleDateTime& clock) {
    return (SecondOfDay(clock) - start + kSecondsPerDay) % kSecondsPerDay;
  };
  const int64_t begin_offset = offset(record.hrv_window_start);
  const int64_t end_offset = offset(record.hrv_window_end);
  const int first = day == kWholeRecording ? 0 : day;
  const int last = day == kWholeRecording ? std::min(doc_.GetDayCount(), kMaxDays) - 1 : day;
  for (int k = first; k <= last && k < kMaxDays; ++k) {
    Window& w = window_[static_cast<size_t>(k)];
    w.begin_ms = (begin_offset + kSecondsPerDay * k) * 1000;
    w.end_ms = (end_offset + kSecondsPerDay * k) * 1000;
    if (w.end_ms < w.begin_ms) w.end_ms += kSecondsPerDay * 1000;
    w.begin_samples = static_cast<int64_t>(static_cast<double>(w.begin_ms / 1000) * rate);
    w.end_samples = static_cast<int64_t>(static_cast<double>(w.end_ms / 1000) * rate);
  }
}

void THRVStatistics::ComputeDay(int day) {
  result_ = THRVResult{};
  if (day != kWholeRecording && (day < 0 || day >= kMaxDays)) return;
  const double rate = doc_.GetSampleRate();
  if (!(rate > 0.0)) return;
  ComputeWindows(day);

  const int64_t recording_end = static_cast<int64_t>(doc_.GetRecordingMinutes() * 60.0 * rate);
  const int64_t day_samples = static_cast<int64_t>(rate * static_cast<double>(kSecondsPerDay));
  const int64_t range_start = day == kWholeRecording ? 0 : day_samples * day;
  const int64_t range_end =
      day == kWholeRecording ? recording_end : std::min(recording_end, day_samples * (day + 1));
  const int64_t segment_samples = static_cast<int64_t>(rate) * kSegmentSeconds;

  std::vector<std::pair<int64_t, int64_t>> windows;
  for (int k = day == kWholeRecording ? 0 : day; k <= (day == kWholeRecording ? kMaxDays - 1 : day); ++k) {
    const Window& w = window_[static_cast<size_t>(k)];
    if (w.begin_ms >= 0 && (day != kWholeRecording || k < doc_.GetDayCount()))
      windows.push_back({w.begin_samples, w.end_samples});
  }
  const auto group_of = [&windows](int64_t position) {
    for (const auto& [begin, end] : windows)
      if (position > begin && position <= end) return kInside;
    return kOutside;
  };

  const TQRSList& beats = doc_.GetQRSList();
  const int beat_count = beats.GetSize();
  const auto position = [&beats](int i) { return int64_t{beats.ElementAt(i)->GetPosition()}; };
  const auto usable = [&beats](int i) { return IsUsableBeat(beats.ElementAt(i)->GetClass()); };

  std::array<int, 2> group_beats{};
  int day_beats = 0;
  std::array<Sums, 2> group_totals;
  Sums totals;
  std::array<std::vector<double>, 2> group_used;
  std::vector<double> used;

  Segment segment;
  int64_t segment_number = 1;
  const auto close_segment = [&] {
    const bool accepted = segment.beats > 0 && segment.excluded * 100 / segment.beats <= kMaxExcludedPercent;
    if (accepted) {
      for (size_t g = 0; g < 2; ++g) {
        group_totals[g].Add(segment.groups[g]);
        group_used[g].insert(group_used[g].end(), segment.group_intervals[g].begin(),
                             segment.group_intervals[g].end());
      }
      totals.Add(segment.whole);
      used.insert(used.end(), segment.intervals.begin(), segment.intervals.end());
      result_.segment_sums.push_back(segment.whole.sum);
      result_.segment_counts.push_back(segment.whole.count);
      result_.segment_intervals.push_back(std::move(segment.intervals));
      for (size_t g = 0; g < 2; ++g)
        result_.group_segment_intervals[g].push_back(std::move(segment.group_intervals[g]));
    } else {
      result_.segment_sums.push_back(0.0);
      result_.segment_counts.push_back(0);
      result_.segment_intervals.emplace_back();
      for (size_t g = 0; g < 2; ++g) result_.group_segment_intervals[g].emplace_back();
    }
    segment = Segment{};
    ++segment_number;
  };

  PairTests tests(doc_, range_start, range_end);
  double previous = -1.0;
  for (int i = 0; i + 1 < beat_count; ++i) {
    const int64_t first = position(i);
    if (first < range_start || first > range_end) continue;
    const int64_t second = position(i + 1);
    const int group = group_of(first);
    ++group_beats[static_cast<size_t>(group)];
    ++day_beats;
    ++segment.beats;

    if (!usable(i) || !usable(i + 1)) {
      ++segment.excluded;
    } else if (tests.MarkerBetween(first, second)) {
      // A marker interval neither counts against its segment nor closes it.
      continue;
    } else if (!tests.InArrhythmia(first, second) && !tests.SpansSignalLoss(first, second)) {
      const double rr = static_cast<double>(second - first);
      Sums& sums = segment.groups[static_cast<size_t>(group)];
      for (Sums* s : {&sums, &segment.whole}) {
        s->sum += rr;
        ++s->count;
      }
      if (previous >= 0.0) {
        const double d = std::abs(rr - previous);
        for (Sums* s : {&sums, &segment.whole}) {
          s->squared_differences += d * d;
          for (size_t t = 0; t < kDifferenceThresholds.size(); ++t)
            if (d > kDifferenceThresholds[t]) ++s->counts[t];
        }
      }
      segment.group_intervals[static_cast<size_t>(group)].push_back(rr);
      segment.intervals.push_back(rr);
      previous = rr;
    }
    if (second > segment_number * segment_samples) close_segment();
  }
  close_segment();

  // Segment means and standard deviations: every closed segment but the last.
  const size_t closed = result_.segment_sums.size() - 1;
  std::array<std::vector<double>, 2> group_means;
  std::vector<double> means;
  for (size_t s = 0; s < closed; ++s) {
    result_.segment_sds.push_back(SampleSD(result_.segment_intervals[s]));
    for (size_t g = 0; g < 2; ++g)
      result_.group_segment_sds[g].push_back(SampleSD(result_.group_segment_intervals[g][s]));
    if (result_.segment_counts[s] == 0) continue;
    const double mean = result_.segment_sums[s] / result_.segment_counts[s];
    group_means[static_cast<size_t>(group_of(static_cast<int64_t>(s) * segment_samples))].push_back(mean);
    means.push_back(mean);
  }

  const auto finish = [](THRVValues& v, const Sums& sums, int beats_counted, double sdann) {
    v.coverage = beats_counted > 0 ? sums.count * 100.0 / beats_counted : 0.0;
    v.mean_nn = sums.count > 0 ? sums.sum / sums.count : 0.0;
    v.sdann = sdann;
    v.rmssd = sums.count > 1 ? std::sqrt(sums.squared_differences / (sums.count - 1)) : 0.0;
    v.counts = sums.counts;
    for (size_t t = 0; t < v.counts.size(); ++t)
      v.percents[t] = sums.count > 0 ? v.counts[t] * 100.0 / sums.count : 0.0;
  };
  for (size_t g = 0; g < 2; ++g) {
    THRVValues& v = result_.groups[g];
    finish(v, group_totals[g], group_beats[g], SampleSD(group_means[g]));
    v.sdnn = SampleSD(group_used[g]);
    v.sdnn_index = MeanOfPositive(result_.group_segment_sds[g]);
  }
  // The whole column is the plain sample deviation over everything used, comparable with the
  // usual clinical limits whether or not a time window splits the day; below three values it is 0.
  finish(result_.whole, totals, day_beats, SampleSD(means, 3));
  result_.whole.sdnn = SampleSD(used, 3);
  result_.whole.sdnn_index = MeanOfPositive(result_.group_segment_sds[0], &result_.group_segment_sds[1]);

  // Deviation histograms over every pair with the same exclusions, in samples.
  const double mean_nn = result_.whole.mean_nn;
  if (mean_nn > 0.0) {
    PairTests histogram_tests(doc_, range_start, range_end);
    double total = 0.0;
    for (int i = 0; i + 1 < beat_count; ++i) {
      const int64_t first = position(i);
      if (first < range_start || first > range_end) continue;
      const int64_t second = position(i + 1);
      if (!usable(i) || !usable(i + 1) || histogram_tests.MarkerBetween(first, second) ||
          histogram_tests.InArrhythmia(first, second) || histogram_tests.SpansSignalLoss(first, second))
        continue;
      const double x = (static_cast<double>(second - first) - mean_nn) * 100.0 / mean_nn;
      const double bin = std::trunc(std::abs(x));
      total += 1.0;
      if (bin >= kHistogramBins) continue;
      if (x >= 0.0)
        result_.longer_histogram[static_cast<size_t>(bin)] += 1.0;
      else
        result_.shorter_histogram[static_cast<size_t>(bin)] += 1.0;
    }
    if (total > 0.0) {
      for (double& b : result_.longer_histogram) b = b * 100.0 / total;
      for (double& b : result_.shorter_histogram) b = b * 100.0 / total;
    }
  }

  const double ms_per_sample = 1000.0 / rate;
  for (THRVValues* v : {&result_.whole, &result_.groups[0], &result_.groups[1]}) {
    v->mean_nn *= ms_per_sample;
    v->sdnn *= ms_per_sample;
    v->sdann *= ms_per_sample;
    v->rmssd *= ms_per_sample;
    v->sdnn_index *= ms_per_sample;
  }
}
