#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/beat_pattern_tree.h"

class CZK470Doc;
class TEventList;
class THeartRateTrend;
class TQRSList;

// The supraventricular analysis: decides from RR intervals which beats of the document's working
// beat list are premature supraventricular beats (class 9) and inserts their patterns as events
// (SV couplet 10, triplet 11, run 12, bigeminy 13, trigeminy 14). A beat is premature when its RR
// interval is shorter than the reference interval by more than the prematurity percent.
// Positions and intervals in samples. Serves one Run or one Analyze call on the thread that owns
// the document at that moment; class changes go through the list (logged while its log is on).
class TSVDetector {
 public:
  // Runs of at most this rate are no SV tachycardia.
  static constexpr int kRateLimitBpm = 100;
  // The full analysis leaves the first beats alone: they have no reference window.
  static constexpr int kFirstExaminedBeat = 5;

  TSVDetector(CZK470Doc& doc, int prematurity_percent);
  ~TSVDetector();
  TSVDetector(const TSVDetector&) = delete;
  TSVDetector& operator=(const TSVDetector&) = delete;

  // Full analysis from beat first (negative: from the cursor) to beat last (-1: the last beat).
  // Returns 0.
  int Run(int first, int last);
  // Rebuilds the SV pattern events around one beat with the pattern tree (mode 1 first returns
  // beats after it that are no longer premature to class 1). Returns the number of new events
  // that start at or before the beat.
  int Analyze(int beat_index, int mode);

  // The reference window type (1..4) for the beat, 0 when the classes before it fit none.
  int GetWindowType(int beat) const;
  // The reference interval of that window type at the beat; 0 when the window is irregular.
  double ReferenceRR(int window_type, int beat);
  // Whether the beat's RR interval is premature against the reference (never for 0).
  bool IsPremature(int beat, double reference) const;

  double GetRegularityTolerance() const { return tolerance_; }
  int GetCursor() const { return cursor_; }

 private:
  enum class FollowResult { kRun, kNoRun, kTooSlow };

  int Class(int beat) const;
  int32_t Position(int beat) const;
  void SetClass(int beat, int beat_class);
  void StartRun(int beat, double reference);
  FollowResult FollowRun(bool restore_mode);
  void RestoreRunBeats(size_t from);
  void InsertRunEvent();
  bool CoupletTest(double reference);
  bool TakePrematureCandidate(int min_beat);
  int BigeminySearch();
  int TrigeminySearch();
  void InsertPatternEvent(int beats_after_last, int kind);
  void InsertEvent(int32_t start, int32_t end, int kind);

  CZK470Doc& doc_;
  TQRSList& beats_;
  TEventList& events_;
  int prematurity_percent_;
  double tolerance_;        // regularity tolerance of window type 1
  double ectopic_tolerance_ = 0.15;  // windows with an interpolated ectopic beat
  int cursor_ = 0;
  int last_ = 0;
  // The run under way: first beat, length, start position, reference interval, and the beats it
  // relabelled with their classes before.
  int run_first_ = 0;
  int run_length_ = 0;
  int32_t run_start_position_ = 0;
  double run_reference_ = 0.0;
  std::vector<std::pair<int, uint8_t>> run_beats_;
  int32_t pattern_start_ = 0;  // start of a bigeminy or trigeminy under search
  // The last reference window: points, intervals and their mean.
  std::array<int32_t, 4> points_{};
  double rr0_ = 0.0;
  double rr1_ = 0.0;
  double rr2_ = 0.0;
  double mean_ = 0.0;
  int hint_ = 0;
  int last_event_ = -1;
  std::vector<int> candidates_;
  CBeatPatternTree tree_;
  std::unique_ptr<THeartRateTrend> trend_;
  int32_t analyze_position_ = 0;
};
