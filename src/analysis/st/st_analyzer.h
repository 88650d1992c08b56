#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "document/ecg_block.h"
#include "document/recording_data.h"

class CZK470Doc;

namespace analysis {

// What a worker and its dialog share during one ST run: the stop request of the dialog and the
// progress steps of the worker. Both sides may touch it at any time.
struct STRunControl {
  std::atomic<bool> stop{false};
  std::atomic<int> steps{0};
  // Whether a progress display counts the steps (the exports measure beats without one).
  bool counts_progress = false;
};

// The ST analysis of one run on a document: measures the Normal beats of the working beat list on
// both ST channel indices, condenses them into one level and one slope per 15-second interval and
// finds the episodes below the depression limits. Writes the document's ST result record and its
// engine event list. Created for one run and deleted afterwards; runs on the caller's thread (a
// worker while the user-interface thread waits in the ST dialog).
class TSTAnalyzer {
 public:
  static constexpr int kIntervalSeconds = 15;
  static constexpr int kRingSlots = 5;

  // control may be null: nothing stops the run and no progress is counted.
  explicit TSTAnalyzer(CZK470Doc& doc, STRunControl* control = nullptr);
  ~TSTAnalyzer();
  TSTAnalyzer(const TSTAnalyzer&) = delete;
  TSTAnalyzer& operator=(const TSTAnalyzer&) = delete;

  // Full run: series, then episodes. Returns 0.
  int Analyze();
  // Episode detection over the level series the ST result record holds. Returns 0.
  int DetectEpisodes();

  // The analysed range of ST channel indices (first, one past the last; 0, 0 when none).
  int GetFirstChannel() const { return first_channel_; }
  int GetChannelEnd() const { return channel_end_; }

  // One beat of the working beat list with the offsets of the recording record. The arrays are
  // filled for the analysed ST channel indices only. Amplitudes in mV, difference in the ST level
  // unit. Returns true.
  bool MeasureBeat(int beat_index, int32_t& j_time_ms, int32_t& slope_time_ms,
                   std::array<double, 2>& j_amplitude, std::array<double, 2>& slope_amplitude,
                   std::array<double, 2>& difference, std::array<double, 2>& slope_value);

  // The analysed range for a channel set and the trend switches of recorder channels 0..2.
  static std::array<int, 2> ChannelRange(int count, int channel_a, int channel_b,
                                         const std::array<bool, 3>& trend_on);

  // Trackers of an ST channel index (the values the series take when an interval closes).
  double GetLevelTracker(int s) const { return level_tracker_[Index(s)]; }
  double GetSlopeTracker(int s) const { return slope_tracker_[Index(s)]; }

 private:
  struct Beat {
    std::array<double, 2> iso{};
    std::array<double, 2> j{};
    std::array<double, 2> slope_point{};
    std::array<double, 2> st_point{};
    std::array<double, 2> level{};
    std::array<double, 2> raw_slope{};
    int32_t j_position = 0;
    int32_t slope_position = 0;
  };

  static size_t Index(int s) { return static_cast<size_t>(s); }
  bool StopRequested() const;
  void Step();
  void LoadSlot(int slot, int minute);
  void ResetRing(int first_minute);
  int Sample(int s, int32_t p) const;
  void MeasureCurrentBeat();
  bool IsIntervalUsable() const;
  void AppendTrackers();
  void StoreEpisode(int s);
  int EpisodeKind(int s) const;
  int FindLastEpisodeEvent(int s) const;

  CZK470Doc& doc_;
  TRecordingData& record_;
  STRunControl* control_;

  // Interval counters: Normal, SVES, VES, artefact, paced.
  std::array<int32_t, 5> counts_{};
  int32_t unusable_run_ = 0;
  int32_t interval_seconds_ = kIntervalSeconds;
  int32_t interval_ = 0;

  int32_t samples_per_minute_ = TECGBlock::kSamples;
  // Per slot the minute of each ST channel index.
  std::array<std::array<std::unique_ptr<TECGBlock>, 2>, kRingSlots> ring_;
  int32_t write_index_ = 0;
  int32_t window_start_ = 0;
  int32_t window_end_ = 0;

  double rate_ = 125.0;
  std::array<double, 2> limit_{};
  int32_t iso_offset_ = 0;
  int32_t j_offset_ = 0;
  int32_t slope_distance_ = 0;
  int32_t st_point_offset_ = 0;
  Beat beat_;

  int32_t first_channel_ = 0;
  int32_t channel_end_ = 0;
  int32_t beat_index_ = 0;

  std::array<int32_t, 2> search_start_{};
  std::array<int32_t, 2> open_event_{};
  std::array<int32_t, 2> in_episode_{};
  std::array<int32_t, 2> run_counter_{};
  std::array<double, 2> level_tracker_{};
  std::array<double, 2> slope_tracker_{};
  std::array<double, 2> onset_level_{}, extreme_level_{1000.0, 1000.0}, end_level_{};
  std::array<double, 2> onset_slope_{}, extreme_slope_{1000.0, 1000.0}, end_slope_{};
  std::array<int32_t, 2> extreme_position_{};
  std::array<int32_t, 2> lowest_position_{-1, -1};
  std::array<double, 2> lowest_level_{1000.0, 1000.0};
  int32_t minutes_stepped_ = 0;
  int32_t whole_minutes_ = 0;
  int32_t full_run_ = 0;
};

// The document's entry points: a full run (series and episodes), and the episodes again over the
// series the ST result record holds. With an empty working beat list nothing is emptied.
void RunSTAnalysis(CZK470Doc& doc, STRunControl* control = nullptr);
void RedetectSTEpisodes(CZK470Doc& doc, STRunControl* control = nullptr);

}  // namespace analysis
