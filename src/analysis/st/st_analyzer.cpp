#include "analysis/st/st_analyzer.h"

#include <algorithm>
#include <cmath>

#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/heart_rate_trend.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"

namespace analysis {

namespace {

constexpr double kSlopeDistanceSeconds = 0.064;
constexpr double kLevelStep = 0.05;
constexpr double kUnsetLevel = 1000.0;
constexpr int kEpisodeRun = 4;

int32_t OffsetSamples(double seconds, double rate) {
  // A record never analysed holds -1 s; reading before the beat by a negative amount makes no sense.
  return seconds > 0.0 ? static_cast<int32_t>(seconds * rate) : 0;
}

int32_t STChannel(int s) { return document::Context().g_STChannels.channels[static_cast<size_t>(s)]; }

}  // namespace

std::array<int, 2> TSTAnalyzer::ChannelRange(int count, int channel_a, int channel_b,
                                             const std::array<bool, 3>& trend_on) {
  const auto on = [&](int channel) {
    return channel >= 0 && channel <= 2 && trend_on[static_cast<size_t>(channel)];
  };
  if (count == 1) {
    if (channel_a == 0 && on(0)) return {0, 1};
    if ((channel_a == 1 || channel_a == 2) && on(channel_a)) return {1, 2};
    return {0, 0};
  }
  const bool pair =
      (channel_a == 0 && (channel_b == 1 || channel_b == 2)) || (channel_a == 1 && channel_b == 2);
  if (!pair) return {0, 0};
  if (on(channel_a) && on(channel_b)) return {0, 2};
  if (on(channel_a)) return {0, 1};
  if (on(channel_b)) return {1, 2};
  return {0, 0};
}

TSTAnalyzer::TSTAnalyzer(CZK470Doc& doc, STRunControl* control)
    : doc_(doc), record_(doc.GetSTResultData()), control_(control) {
  const TRawECGData& raw = *doc.GetRawECGData();
  if (raw.GetSampleRate() > 0.0) rate_ = raw.GetSampleRate();
  samples_per_minute_ = static_cast<int32_t>(60.0 * rate_);
  whole_minutes_ = raw.GetWholeMinutes();
  for (int s = 0; s < 2; ++s) limit_[Index(s)] = doc.GetSTLimit(STChannel(s)) * 0.1;

  const document::ChannelSet& analysis = document::Context().g_AnalysisChannels;
  const std::array<bool, 3> trend_on = {doc.IsSTTrendOn(0), doc.IsSTTrendOn(1), doc.IsSTTrendOn(2)};
  const auto range = ChannelRange(analysis.count, analysis.channels[0], analysis.channels[1], trend_on);
  first_channel_ = range[0];
  channel_end_ = range[1];

  iso_offset_ = OffsetSamples(record_.st_offset1, rate_);
  j_offset_ = OffsetSamples(record_.st_offset2, rate_);
  slope_distance_ = static_cast<int32_t>(kSlopeDistanceSeconds * rate_);
  st_point_offset_ = OffsetSamples(record_.st_point_offset, rate_);
  ResetRing(0);
}

TSTAnalyzer::~TSTAnalyzer() = default;

bool TSTAnalyzer::StopRequested() const { return control_ != nullptr && control_->stop.load(); }

void TSTAnalyzer::Step() {
  if (control_ != nullptr && control_->counts_progress) control_->steps.fetch_add(1);
}

void TSTAnalyzer::LoadSlot(int slot, int minute) {
  // Both entries of the ST channel set are read whatever its count; minutes past the end of the
  // recording come back as zero blocks.
  TRawECGData& raw = *doc_.GetRawECGData();
  for (int s = 0; s < 2; ++s)
    ring_[static_cast<size_t>(slot)][Index(s)] = raw.GetChannelMinute(STChannel(s), minute);
}

void TSTAnalyzer::ResetRing(int first_minute) {
  for (int k = 0; k < kRingSlots; ++k) {
    const int minute = first_minute + k;
    LoadSlot(minute % kRingSlots, minute);
  }
  window_start_ = first_minute * samples_per_minute_;
  window_end_ = window_start_ + kRingSlots * samples_per_minute_;
  write_index_ = first_minute % kRingSlots;
}

int TSTAnalyzer::Sample(int s, int32_t p) const {
  const auto slot = static_cast<size_t>((p / samples_per_minute_) % kRingSlots);
  return ring_[slot][Index(s)]->samples[static_cast<size_t>(p % samples_per_minute_)];
}

void TSTAnalyzer::MeasureCurrentBeat() {
  const int32_t position = doc_.GetQRSList().ElementAt(beat_index_)->GetPosition();
  beat_.j_position = position + j_offset_;
  beat_.slope_position = beat_.j_position + slope_distance_;
  // The isoelectric window of a beat this close to the start lies before the recording: such a
  // beat has no measurement and stays out of the trackers.
  if (position - iso_offset_ - 1 < 0) return;
  if (position - iso_offset_ - 1 < window_start_)
    ResetRing((position - iso_offset_ - 1) / samples_per_minute_);
  while (position + rate_ > window_end_) {
    const int32_t minute = window_end_ / samples_per_minute_;
    window_start_ += samples_per_minute_;
    LoadSlot(write_index_, minute);
    window_end_ = window_start_ + kRingSlots * samples_per_minute_;
    write_index_ = (write_index_ + 1) % kRingSlots;
    if (minutes_stepped_ < whole_minutes_ && control_ != nullptr && control_->counts_progress) {
      Step();
      ++minutes_stepped_;
    }
  }
  const int u = CZK470Doc::kSampleUnitMicrovolts;
  const int32_t p0 = position - iso_offset_;
  for (int s = first_channel_; s < channel_end_; ++s) {
    const size_t i = Index(s);
    beat_.iso[i] = (Sample(s, p0 - 1) + Sample(s, p0) + Sample(s, p0 + 1)) * 0.3333333333333333;
    beat_.j[i] = Sample(s, beat_.j_position);
    beat_.slope_point[i] = Sample(s, beat_.slope_position);
    beat_.st_point[i] = Sample(s, beat_.j_position + st_point_offset_);
    beat_.level[i] = (beat_.st_point[i] - beat_.iso[i]) * u * 0.01;
    beat_.raw_slope[i] = beat_.slope_point[i] - beat_.j[i];
    level_tracker_[i] += beat_.level[i] > level_tracker_[i] ? kLevelStep : -kLevelStep;
    slope_tracker_[i] += beat_.raw_slope[i] > slope_tracker_[i] ? u / 5 : -(u / 5);
  }
}

bool TSTAnalyzer::IsIntervalUsable() const {
  const int32_t n = counts_[0];
  const int32_t x = counts_[1] + counts_[2] + counts_[3] + counts_[4];
  if (n + x == 0) return false;
  return (n + x) * 0.75 > x;
}

void TSTAnalyzer::AppendTrackers() {
  const int u = CZK470Doc::kSampleUnitMicrovolts;
  for (int s = first_channel_; s < channel_end_; ++s) {
    record_.st_levels[Index(s)].Add(level_tracker_[Index(s)]);
    record_.st_slopes[Index(s)].Add(slope_distance_ > 0 ? slope_tracker_[Index(s)] / slope_distance_ * u * 0.1
                                                        : 0.0);
  }
}

int TSTAnalyzer::Analyze() {
  int32_t interval = 0;
  const int32_t intervals = whole_minutes_ * 60 / interval_seconds_;
  const double interval_samples = interval_seconds_ * rate_;
  const TQRSList& beats = doc_.GetQRSList();
  const auto append_zero = [&] {
    for (int s = first_channel_; s < channel_end_; ++s) {
      record_.st_levels[Index(s)].Add(0.0);
      record_.st_slopes[Index(s)].Add(0.0);
    }
  };
  for (beat_index_ = 0; beat_index_ < beats.GetSize(); ++beat_index_) {
    const TQRSComplex& beat = *beats.ElementAt(beat_index_);
    const int32_t k = static_cast<int32_t>(beat.GetPosition() / interval_samples) - interval;
    if (k > 0) {
      if (IsIntervalUsable()) {
        // The last of a run of unusable intervals takes the tracked value after all.
        if (unusable_run_ > 0) {
          const int u = CZK470Doc::kSampleUnitMicrovolts;
          for (int s = first_channel_; s < channel_end_; ++s) {
            TSTValues& levels = record_.st_levels[Index(s)];
            TSTValues& slopes = record_.st_slopes[Index(s)];
            if (levels.GetSize() > 0)
              levels.ElementAt(levels.GetSize() - 1)->SetValue(level_tracker_[Index(s)]);
            if (slopes.GetSize() > 0)
              slopes.ElementAt(slopes.GetSize() - 1)
                  ->SetValue(slope_distance_ > 0 ? slope_tracker_[Index(s)] / slope_distance_ * u * 0.1
                                                 : 0.0);
          }
        }
        unusable_run_ = 0;
        AppendTrackers();
      } else {
        ++unusable_run_;
        append_zero();
      }
      for (int32_t e = 0; e < k - 1; ++e) {
        ++unusable_run_;
        ++interval;
        append_zero();
      }
      counts_.fill(0);
      ++interval;
    }
    switch (beat.GetClass()) {
      case kClassNormal:
        ++counts_[0];
        break;
      case kClassSVES:
        ++counts_[1];
        break;
      case kClassVES:
        ++counts_[2];
        break;
      case kClassArtefact:
        ++counts_[3];
        break;
      case kClassPacedBeat:
        ++counts_[4];
        break;
      default:
        break;
    }
    if (beat.GetClass() == kClassNormal) MeasureCurrentBeat();
    if (StopRequested()) break;
  }
  for (; interval < intervals; ++interval) AppendTrackers();
  interval_ = interval;
  record_.st_interval = interval_seconds_;
  record_.st_channel_analysed[0] = first_channel_ == 0 && channel_end_ > 0 ? 1 : 0;
  record_.st_channel_analysed[1] = channel_end_ > 1 ? 1 : 0;
  full_run_ = 1;
  DetectEpisodes();
  return 0;
}

int TSTAnalyzer::EpisodeKind(int s) const { return kClassSTEpisode1 + STChannel(s); }

int TSTAnalyzer::FindLastEpisodeEvent(int s) const {
  const TEventList& events = doc_.GetEngineEventList();
  for (int e = events.GetSize() - 1; e >= 0; --e)
    if (events.ElementAt(e)->GetClass() == EpisodeKind(s)) return e;
  return -1;
}

int TSTAnalyzer::DetectEpisodes() {
  if (full_run_ == 0) Step();
  TEventList& events = doc_.GetEngineEventList();
  if (!StopRequested()) {
    for (int s = first_channel_; s < channel_end_; ++s) {
      const size_t i = Index(s);
      const TSTValues& levels = record_.st_levels[i];
      const TSTValues& slopes = record_.st_slopes[i];
      const auto slope_at = [&](int l) { return l < slopes.GetSize() ? slopes.GetAt(l).GetValue() : 0.0; };
      const auto level_at = [&](int l) { return levels.GetAt(l).GetValue(); };
      const double limit = -limit_[i];
      int32_t& c = run_counter_[i];
      c = 0;
      in_episode_[i] = 0;
      const int n = levels.GetSize();
      for (int l = 0; l < n; ++l) {
        const double v = level_at(l);
        if (v < lowest_level_[i]) {
          lowest_level_[i] = v;
          lowest_position_[i] = static_cast<int32_t>(rate_ * 15 * l);
        }
        if (in_episode_[i] == 0) {
          if (v < limit) {
            if (++c == kEpisodeRun) {
              const int first = l - (kEpisodeRun - 1);
              const auto start = static_cast<int32_t>(first * 15 * rate_);
              const int at =
                  events.FindNextAfterPosition(start, std::min(search_start_[i], events.GetSize()));
              search_start_[i] = open_event_[i] = at;
              events.InsertAt(at, TEvent(start, 0, static_cast<uint8_t>(EpisodeKind(s))));
              onset_level_[i] = extreme_level_[i] = level_at(first);
              onset_slope_[i] = extreme_slope_[i] = slope_at(first);
              extreme_position_[i] = start;
              for (int j = l; j >= first; --j) {
                if (level_at(j) < extreme_level_[i]) {
                  extreme_level_[i] = level_at(j);
                  extreme_slope_[i] = slope_at(j);
                  extreme_position_[i] = static_cast<int32_t>(15 * j * rate_);
                }
              }
              in_episode_[i] = 1;
              c = 0;
            }
          } else {
            c = 0;
          }
        } else {
          if (v < extreme_level_[i]) {
            extreme_level_[i] = v;
            extreme_slope_[i] = slope_at(l);
            extreme_position_[i] = static_cast<int32_t>(15 * rate_ * l);
          }
          if (v < limit) {
            c = 0;
          } else if (--c == -kEpisodeRun) {
            events.ElementAt(open_event_[i])->SetEnd(static_cast<int32_t>(15 * (l - 3) * rate_));
            in_episode_[i] = 0;
            c = 0;
            end_level_[i] = level_at(l - kEpisodeRun);
            end_slope_[i] = slope_at(l - kEpisodeRun);
            StoreEpisode(s);
          }
        }
        if (StopRequested()) break;
      }
    }
    if (!StopRequested()) {
      for (int s = first_channel_; s < channel_end_; ++s) {
        const size_t i = Index(s);
        if (in_episode_[i] == 0) continue;
        const TSTValues& levels = record_.st_levels[i];
        const int n = levels.GetSize();
        const int e = FindLastEpisodeEvent(s);
        if (e >= 0) events.ElementAt(e)->SetEnd(static_cast<int32_t>(15 * rate_ * n));
        in_episode_[i] = 0;
        run_counter_[i] = 0;
        end_level_[i] = levels.GetAt(n - 1).GetValue();
        end_slope_[i] =
            n - 1 < record_.st_slopes[i].GetSize() ? record_.st_slopes[i].GetAt(n - 1).GetValue() : 0.0;
        StoreEpisode(s);
      }
      for (int s = first_channel_; s < channel_end_; ++s)
        record_.st_depression_limit[Index(s)] = doc_.GetSTLimit(STChannel(s));
    }
  }
  for (int s = 0; s < 2; ++s) {
    const size_t i = Index(s);
    const TSTDetails& episodes = record_.st_episodes[i];
    if (episodes.GetSize() > 0) {
      double deepest = 0.0;
      for (int k = 0; k < episodes.GetSize(); ++k) {
        const TSTPoint& point = episodes.Elements()[static_cast<size_t>(k)].points[TSTDetail::kExtreme];
        if (k == 0 || point.level < deepest) {
          deepest = point.level;
          record_.deepest_st_position[i] = point.position;
        }
      }
    } else {
      record_.deepest_st_position[i] = lowest_level_[i] < kUnsetLevel ? lowest_position_[i] : -1;
    }
  }
  return 0;
}

void TSTAnalyzer::StoreEpisode(int s) {
  const size_t i = Index(s);
  TSTDetails& episodes = record_.st_episodes[i];
  episodes.Add(TSTDetail{});
  TSTDetail& detail = *episodes.ElementAt(episodes.GetSize() - 1);
  auto trend = std::make_unique<THeartRateTrend>(doc_);
  const TEventList& events = doc_.GetEngineEventList();
  const int e = FindLastEpisodeEvent(s);
  const int32_t start = e >= 0 ? events.ElementAt(e)->GetPosition() : 0;
  const int32_t end = e >= 0 ? events.ElementAt(e)->GetEnd() : 0;
  const TQRSList& beats = doc_.GetQRSList();
  const auto rate_at = [&](int32_t position) {
    const int beat = beats.FindNextAfterPosition(position, 0);
    return beat < beats.GetSize() ? trend->GetHeartRateAt(beat, 0) : -1;
  };
  detail.points[TSTDetail::kOnset] = {start, rate_at(start), onset_level_[i], onset_slope_[i]};
  detail.points[TSTDetail::kExtreme] = {extreme_position_[i], rate_at(extreme_position_[i]),
                                        extreme_level_[i], extreme_slope_[i]};
  detail.points[TSTDetail::kEnd] = {end, rate_at(end), end_level_[i], end_slope_[i]};
  extreme_level_[i] = kUnsetLevel;
  extreme_slope_[i] = kUnsetLevel;
}

bool TSTAnalyzer::MeasureBeat(int beat_index, int32_t& j_time_ms, int32_t& slope_time_ms,
                              std::array<double, 2>& j_amplitude, std::array<double, 2>& slope_amplitude,
                              std::array<double, 2>& difference, std::array<double, 2>& slope_value) {
  const TRecordingData& recording = doc_.GetRecordingData();
  beat_index_ = beat_index;
  iso_offset_ = OffsetSamples(recording.st_offset1, rate_);
  j_offset_ = OffsetSamples(recording.st_offset2, rate_);
  st_point_offset_ = OffsetSamples(recording.st_point_offset, rate_);
  beat_ = Beat{};
  MeasureCurrentBeat();
  j_time_ms = static_cast<int32_t>(beat_.j_position * 1000 / rate_);
  slope_time_ms = static_cast<int32_t>(beat_.slope_position * 1000 / rate_);
  const int u = CZK470Doc::kSampleUnitMicrovolts;
  for (int s = first_channel_; s < channel_end_; ++s) {
    const size_t i = Index(s);
    j_amplitude[i] = u * beat_.j[i] * 0.001;
    slope_amplitude[i] = u * beat_.slope_point[i] * 0.001;
    difference[i] = (beat_.slope_point[i] - beat_.j[i]) * u * 0.01;
    slope_value[i] = slope_distance_ > 0 ? slope_tracker_[i] / slope_distance_ * u * 0.1 : 0.0;
  }
  return true;
}

void RunSTAnalysis(CZK470Doc& doc, STRunControl* control) {
  if (doc.GetQRSList().GetSize() == 0) return;
  TRecordingData& record = doc.GetSTResultData();
  for (size_t s = 0; s < TRecordingData::kStChannels; ++s) {
    record.st_levels[s].RemoveAll();
    record.st_slopes[s].RemoveAll();
    record.st_episodes[s].RemoveAll();
    record.deepest_st_position[s] = -1;
  }
  doc.GetEngineEventList().RemoveAll();
  TSTAnalyzer(doc, control).Analyze();
}

void RedetectSTEpisodes(CZK470Doc& doc, STRunControl* control) {
  if (doc.GetQRSList().GetSize() == 0) return;
  TRecordingData& record = doc.GetSTResultData();
  for (size_t s = 0; s < TRecordingData::kStChannels; ++s) record.st_episodes[s].RemoveAll();
  doc.GetEngineEventList().RemoveAll();
  TSTAnalyzer(doc, control).DetectEpisodes();
}

}  // namespace analysis
