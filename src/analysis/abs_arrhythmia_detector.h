#pragma once

#include <cstdint>

class CZK470Doc;

// Finds episodes of absolute arrhythmia (event kind 24): a counter-driven state machine over the
// RR intervals of the working beat list. Irregular beats (RR change above the deviation percent
// of the setting "Arrhy-Prematurity") count up to 8, regular ones down by 2; seven open an
// episode, which closes when the counter is back at 0 and then runs from the onset beat to the
// last irregular beat. Beats next to a VES or artefact are skipped; an SVES, or the start of a
// supraventricular bigeminy or trigeminy, ends an episode. Episodes shorter than the setting
// "Arrhy-Duration" are dropped. Driven beat by beat by a heart-rate extremes pass; lives for it.
class TAbsArrhythmiaDetector {
 public:
  static constexpr int kCounterMax = 8;
  static constexpr int kOpenThreshold = 7;

  explicit TAbsArrhythmiaDetector(CZK470Doc& doc);

  // Counts beat i (forced: the pass has ended; an open episode is closed). Returns 0 when the
  // beat was counted, -1 when it was skipped.
  int CheckBeat(int i, int forced);

  int GetCounter() const { return counter_; }
  bool IsEpisodeOpen() const { return open_; }

 private:
  void CloseEpisode();
  void FindNextSVEpisode();

  CZK470Doc& doc_;
  int counter_ = 0;
  bool open_ = false;
  double deviation_factor_;
  double regular_bound_ = 0.10;
  double previous_rr_ = 0.0;
  double next_rr_ = 0.0;
  double difference_ = 0.0;
  int onset_beat_ = -1;
  int last_irregular_beat_ = -1;
  // The next supraventricular bigeminy or trigeminy, whose beats are not counted.
  int sv_first_beat_ = -1;
  int sv_last_beat_ = -1;
  int32_t sv_searched_from_ = -1;
  bool inside_sv_ = false;
  int32_t episode_start_ = 0;
  int32_t episode_end_ = 0;
  int last_event_ = -1;
};
