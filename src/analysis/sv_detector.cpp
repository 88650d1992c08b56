#include "analysis/sv_detector.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "analysis/editing/beat_editor.h"
#include "analysis/event_insertion.h"
#include "analysis/event_pattern_detector.h"
#include "analysis/pattern_walk.h"
#include "document/heart_rate_trend.h"
#include "document/zk470_doc.h"

namespace {

// A pause after a premature beat longer than these factors of its coupling interval is
// compensatory: the beat reset the sinus rhythm.
constexpr double kRunPauseFactor = 1.15;
constexpr double kPatternPauseFactor = 1.1;

constexpr analysis::PatternRules kSupraventricularRules{
    analysis::ClassBit(kClassArtefact) | analysis::ClassBit(kClassVES), false};

bool IsNormalOrSV(int c) { return c == kClassNormal || c == kClassSVES; }
bool IsVentricularOrSV(int c) { return c == kClassVES || c == kClassSVES; }

}  // namespace

TSVDetector::TSVDetector(CZK470Doc& doc, int prematurity_percent)
    : doc_(doc),
      beats_(doc.GetQRSList()),
      events_(doc.GetEventList()),
      prematurity_percent_(prematurity_percent),
      tolerance_(prematurity_percent <= 20 ? 0.10 : 0.15),
      tree_(kClassSVES),
      trend_(std::make_unique<THeartRateTrend>(doc)) {}

TSVDetector::~TSVDetector() = default;

int TSVDetector::Class(int beat) const { return beats_.ElementAt(beat)->GetClass(); }
int32_t TSVDetector::Position(int beat) const { return beats_.ElementAt(beat)->GetPosition(); }
void TSVDetector::SetClass(int beat, int beat_class) {
  if (Class(beat) != beat_class) beats_.SetClass(beat, beat_class);
}

bool TSVDetector::IsPremature(int beat, double reference) const {
  if (reference == 0.0 || beat < 1) return false;
  const double rr = static_cast<double>(Position(beat)) - Position(beat - 1);
  // rr + p/100 x ref < ref, scaled by 100 so that whole intervals compare exactly.
  return rr * 100.0 + prematurity_percent_ * reference < reference * 100.0;
}

int TSVDetector::GetWindowType(int c) const {
  const auto is = [&](int k, bool (*test)(int)) { return k >= 0 && test(Class(k)); };
  const auto normal = [](int x) { return x == kClassNormal; };
  if (c >= 3 && is(c - 3, normal) && is(c - 2, normal) && is(c - 1, normal) && is(c, normal)) return 1;
  if (c >= 4 && is(c - 4, IsNormalOrSV) && is(c - 3, IsNormalOrSV) && is(c - 2, IsVentricularOrSV) &&
      is(c - 1, IsNormalOrSV) && is(c, IsNormalOrSV))
    return 2;
  if (c >= 4 && is(c - 4, IsNormalOrSV) && is(c - 3, IsVentricularOrSV) && is(c - 2, IsNormalOrSV) &&
      is(c - 1, IsNormalOrSV) && is(c, IsNormalOrSV))
    return 3;
  if (c >= 5 && is(c - 5, IsNormalOrSV) && is(c - 4, IsVentricularOrSV) && is(c - 3, IsNormalOrSV) &&
      is(c - 2, IsVentricularOrSV) && is(c - 1, IsNormalOrSV) && is(c, IsNormalOrSV))
    return 4;
  return 0;
}

double TSVDetector::ReferenceRR(int window_type, int c) {
  const auto p = [&](int k) { return Position(c + k); };
  // Halves are whole samples, rounded toward zero; an ectopic beat in the window is replaced by
  // the midpoint of its neighbours.
  switch (window_type) {
    case 1:
      points_ = {p(-3), p(-2), p(-1), p(0)};
      break;
    case 2: {
      const int32_t q2 = p(-1);
      const int32_t q1 = q2 - (p(-1) - p(-3)) / 2;
      points_ = {q1 - (p(-3) - p(-4)), q1, q2, p(0)};
      break;
    }
    case 3:
      points_ = {p(-4) + (p(-2) - p(-4)) / 2, p(-2), p(-1), p(0)};
      break;
    case 4: {
      const int32_t q2 = p(-1);
      const int32_t q1 = q2 - (p(-1) - p(-3)) / 2;
      points_ = {q1 - (p(-3) - p(-5)) / 2, q1, q2, p(0)};
      break;
    }
    default:
      return 0.0;
  }
  rr0_ = points_[1] - points_[0];
  rr1_ = points_[2] - points_[1];
  rr2_ = points_[3] - points_[2];
  mean_ = (rr0_ + rr1_) / 2.0;
  const double tolerance = window_type == 1 ? tolerance_ : ectopic_tolerance_;
  const double deviation = std::trunc(std::fabs(rr0_ - rr1_));
  return deviation < mean_ * tolerance ? rr1_ : 0.0;
}

void TSVDetector::StartRun(int beat, double reference) {
  run_beats_.assign(1, {beat, static_cast<uint8_t>(Class(beat))});
  SetClass(beat, kClassSVES);
  run_first_ = beat;
  run_length_ = 1;
  run_start_position_ = Position(beat);
  run_reference_ = reference;
}

void TSVDetector::RestoreRunBeats(size_t from) {
  for (size_t i = from; i < run_beats_.size(); ++i) SetClass(run_beats_[i].first, run_beats_[i].second);
  run_beats_.resize(from);
}

TSVDetector::FollowResult TSVDetector::FollowRun(bool restore_mode) {
  const int count = beats_.GetSize();
  int relabelled = 0;
  bool reached_end = true;
  while (cursor_ < count - 2) {
    const int c = Class(cursor_);
    const bool class_fits = c == kClassNormal || c == kClassSVES || (c == kClassArtefact && run_length_ >= 4);
    if (!class_fits || !IsPremature(cursor_, run_reference_)) {
      reached_end = false;
      break;
    }
    ++run_length_;
    run_beats_.push_back({cursor_, static_cast<uint8_t>(c)});
    SetClass(cursor_, kClassSVES);
    ++relabelled;
    if (run_length_ == 4 && cursor_ + 4 < count && trend_->GetRateOverSpan(cursor_ - 3, 3) <= kRateLimitBpm) {
      RestoreRunBeats(run_beats_.size() >= 4 ? run_beats_.size() - 4 : 0);
      cursor_ -= 3;
      return FollowResult::kTooSlow;
    }
    ++cursor_;
  }
  if (run_length_ <= 1) return FollowResult::kNoRun;
  if (reached_end) return FollowResult::kRun;
  const int k = cursor_;
  if (kRunPauseFactor * (Position(k - 1) - Position(k - 2)) < Position(k) - Position(k - 1)) return FollowResult::kRun;
  RestoreRunBeats(0);
  cursor_ -= restore_mode ? relabelled - 1 : run_length_ - 2;
  return FollowResult::kNoRun;
}

void TSVDetector::InsertEvent(int32_t start, int32_t end, int kind) {
  last_event_ = analysis::InsertEventInOrder(events_, TEvent(start, end, static_cast<uint8_t>(kind)), hint_);
  hint_ = last_event_;
}

void TSVDetector::InsertRunEvent() {
  const int kind = run_length_ == 2 ? kClassSVCouplet : run_length_ == 3 ? kClassSVTriplet : kClassSVTachycardia;
  InsertEvent(run_start_position_, Position(cursor_ - 1), kind);
}

bool TSVDetector::CoupletTest(double reference) {
  if (!IsPremature(cursor_, reference)) return false;
  StartRun(cursor_ - 1, reference);
  if (FollowRun(true) == FollowResult::kRun) {
    InsertRunEvent();
    return true;
  }
  RestoreRunBeats(0);
  return false;
}

// The step both pattern searches begin a cycle with: the beat at the cursor (at least min_beat)
// is normal, premature against the interval before it, and followed by a normal beat. It becomes
// a candidate and the cursor moves onto the follower; otherwise nothing changes.
bool TSVDetector::TakePrematureCandidate(int min_beat) {
  const int k = cursor_;
  if (k < min_beat || Class(k) != kClassNormal) return false;
  if (!IsPremature(k, static_cast<double>(Position(k - 1)) - Position(k - 2))) return false;
  candidates_.push_back(k);
  ++cursor_;
  if (Class(cursor_) != kClassNormal) {
    --cursor_;
    candidates_.pop_back();
    return false;
  }
  return true;
}

int TSVDetector::BigeminySearch() {
  const int count = beats_.GetSize();
  int cycles = 0;
  candidates_.clear();
  while (cursor_ < count - 1) {
    const int k = cursor_;
    if (!TakePrematureCandidate(2)) break;
    if (!(kPatternPauseFactor * (Position(k) - Position(k - 1)) < Position(k + 1) - Position(k))) {
      candidates_.pop_back();
      const bool couplet = cycles >= 2 && CoupletTest((static_cast<double>(Position(k)) - Position(k - 2)) / 2.0);
      if (couplet && cycles == 2) {
        cycles = 3;
      } else if (!couplet) {
        --cursor_;
      }
      break;
    }
    ++cycles;
    ++cursor_;
  }
  return cycles >= 3 ? cycles : 0;
}

int TSVDetector::TrigeminySearch() {
  const int count = beats_.GetSize();
  int cycles = 0;
  candidates_.clear();
  while (cursor_ < count - 1) {
    const int k = cursor_;
    if (!TakePrematureCandidate(3)) break;
    const int32_t pause = Position(k + 1) - Position(k);
    if (!(kPatternPauseFactor * (Position(k) - Position(k - 1)) < pause)) {
      candidates_.pop_back();
      const bool couplet = cycles >= 3 && CoupletTest((static_cast<double>(Position(k)) - Position(k - 3)) / 3.0);
      if (!couplet) --cursor_;
      break;
    }
    ++cursor_;
    if (cursor_ >= count || Class(cursor_) != kClassNormal || Position(k + 2) - Position(k + 1) >= pause) {
      cursor_ -= 2;
      candidates_.pop_back();
      break;
    }
    ++cycles;
    ++cursor_;
  }
  return cycles >= 3 ? cycles : 0;
}

// A pattern found: its candidates become supraventricular, and the event ends on the last cycle's
// final beat (beats_after_last after the last candidate), or before the cursor for a short find.
void TSVDetector::InsertPatternEvent(int beats_after_last, int kind) {
  for (const int k : candidates_) SetClass(k, kClassSVES);
  const int count = beats_.GetSize();
  const int end =
      candidates_.size() >= 3 ? std::min(candidates_.back() + beats_after_last, count - 1) : cursor_ - 1;
  InsertEvent(pattern_start_, Position(end), kind);
}

int TSVDetector::Run(int first, int last) {
  const int count = beats_.GetSize();
  if (first >= 0) cursor_ = first;
  last_ = last < 0 ? count - 1 : std::min(last, count - 1);
  while (cursor_ < last_) {
    const int start = cursor_;
    pattern_start_ = Position(start);
    if (start >= kFirstExaminedBeat) {
      if (BigeminySearch() > 0) {
        InsertPatternEvent(1, kClassSVBigeminy);
        continue;
      }
      cursor_ = start;
      if (TrigeminySearch() > 0) {
        InsertPatternEvent(2, kClassSVTrigeminy);
        continue;
      }
      cursor_ = start;
    }
    if (cursor_ < kFirstExaminedBeat) {
      ++cursor_;
      continue;
    }
    const int window = GetWindowType(cursor_);
    if (window == 0) {
      ++cursor_;
      continue;
    }
    const double reference = ReferenceRR(window, cursor_);
    if (!IsPremature(cursor_, reference)) {
      ++cursor_;
      continue;
    }
    StartRun(cursor_, reference);
    const uint8_t old_class = run_beats_.front().second;
    if (++cursor_ >= count) break;
    const FollowResult result = FollowRun(false);
    if (result == FollowResult::kRun) {
      InsertRunEvent();
      continue;
    }
    // A run too slow for a tachycardia was taken back whole; the search goes on at its second beat.
    if (result == FollowResult::kTooSlow) {
      cursor_ = run_first_ + 1;
      continue;
    }
    const int f = run_first_;
    if (!(kRunPauseFactor * (Position(f) - Position(f - 1)) < Position(f + 1) - Position(f))) SetClass(f, old_class);
    ++cursor_;
  }
  return 0;
}

int TSVDetector::Analyze(int beat_index, int mode) {
  const int count = beats_.GetSize();
  if (count == 0) return 0;
  const int a = std::clamp(beat_index, 0, count - 1);
  analyze_position_ = Position(a);

  int relabels = 0;
  if (mode == 1 && a > 2 && a < count - 2) {
    for (int c = a + 2; Class(c - 1) == kClassSVES && c < count - 2; ++c) {
      if (IsPremature(c, ReferenceRR(1, c))) break;
      // No longer premature after the edit: the beat before goes back to normal, with its template.
      beats_.SetClass(c - 1, kClassNormal);
      TBeatEditor(doc_, 0).RemoveBeatFromTemplates(c - 1);
      ++relabels;
    }
  }

  int first = 0;
  int last = 0;
  analysis::FindEctopicWindow(beats_, a, kClassSVES, relabels, first, last);
  analysis::RemovePatternEventsBetween(events_, Position(first), Position(last), kClassSVCouplet, kClassSVTrigeminy);

  cursor_ = std::max(first - 1, 0);
  hint_ = 0;
  int found = 0;
  while (cursor_ < last && cursor_ < count - 2) {
    while (cursor_ < count - 2 && Class(cursor_) != kClassSVES) ++cursor_;
    if (cursor_ >= last || Class(cursor_) != kClassSVES) break;
    const int f = cursor_;
    const analysis::PatternWalk walk = analysis::WalkPattern(beats_, tree_, f, kSupraventricularRules);
    const int kind = walk.failed ? 0 : analysis::PatternEventKind(walk.type);
    if (kind == 0) {
      cursor_ = f + 1;
      continue;
    }
    cursor_ = walk.next;
    InsertEvent(Position(f), Position(cursor_ - 1), kind);
    if (Position(f) <= analyze_position_) ++found;
  }
  return found;
}
