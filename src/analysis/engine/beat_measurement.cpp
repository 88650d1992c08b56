// Beat measurement, learning of the normal shape, detection lead choice, template assignment and
// the relearning supervisor of the built-in engine.
#include <algorithm>
#include <cmath>

#include "analysis/engine/beat_correlate.h"
#include "analysis/engine/beat_engine.h"
#include "analysis/engine/engine_math.h"

using namespace beat_engine;

namespace {

constexpr int kSearchBefore = 9;
constexpr int kMatchShift = 4;
constexpr int kClassShift = 16;
constexpr int kWindowBefore = 12;
constexpr int kWindowAfter = 13;
constexpr int32_t kLearnAccept = 8465;  // r = 0.92

size_t U(int i) { return static_cast<size_t>(i); }

// The shape slot a live slot takes when a beat is aligned by offset; the store is 125 slots deep.
int AlignedSlot(int slot, int offset) { return (((slot - offset) % 125) + 125) % 125; }

int32_t NormalTolerance(int32_t amplitude) {
  if (amplitude >= 800) return 300;
  if (amplitude >= 600) return 200;
  if (amplitude >= 400) return 160;
  if (amplitude >= 300) return 140;
  return 100;
}

int32_t OtherTolerance(int32_t amplitude) {
  if (amplitude >= 800) return 300;
  if (amplitude >= 600) return 200;
  if (amplitude >= 400) return 160;
  return 100;
}

int32_t Square(int32_t k) { return k * k; }

}  // namespace

int32_t BeatEngine::FindFiducialExtremeDeriv(int32_t fiducial, int channel) {
  const int32_t o = reference_offset_[U(channel)];
  const int32_t start = (o >= -5 && o <= 13) ? fiducial + o - 4 : fiducial - kSearchBefore;
  const int32_t end = std::max(fiducial + 10, start + 10);
  const Shape& d = rings_.deriv[U(channel)];
  int16_t largest = 0;
  int16_t smallest = 0;
  int32_t largest_slot = fiducial;
  int32_t smallest_slot = fiducial;
  for (int32_t s = std::max(start, 0); s < end && s < kRingSlots; ++s) {
    if (d[U(s)] > largest) {
      largest = d[U(s)];
      largest_slot = s;
    }
    if (d[U(s)] < smallest) {
      smallest = d[U(s)];
      smallest_slot = s;
    }
  }
  int32_t& polarity = polarity_[U(channel)];
  if (polarity == 0) polarity = int32_t{largest} > -int32_t{smallest} ? 1 : -1;
  return polarity == 1 ? largest_slot : smallest_slot;
}

int32_t BeatEngine::FindFiducialExtremeShape(const Shape& shape, int32_t fiducial, int& polarity) {
  int16_t largest = 0;
  int16_t smallest = 0;
  int32_t largest_slot = fiducial;
  int32_t smallest_slot = fiducial;
  for (int32_t s = std::max(fiducial - kSearchBefore, 0);
       s <= fiducial + kSearchBefore && s < kRingSlots; ++s) {
    if (shape[U(s)] > largest) {
      largest = shape[U(s)];
      largest_slot = s;
    }
    if (shape[U(s)] < smallest) {
      smallest = shape[U(s)];
      smallest_slot = s;
    }
  }
  if (polarity == 0) polarity = int32_t{largest} > -int32_t{smallest} ? 1 : -1;
  return polarity == 1 ? largest_slot : smallest_slot;
}

namespace {

struct ShiftMatch {
  int32_t correlation = std::numeric_limits<int32_t>::min();
  int32_t shift = 0;
};

// Tries shifts -range..range of the ring against a stored shape; the first best wins.
ShiftMatch BestShift(const Shape& stored, int32_t stored_extreme, const Shape& ring,
                     int32_t extreme, int range) {
  ShiftMatch best;
  for (int s = -range; s <= range; ++s) {
    const int32_t c = BeatEngineCorrelate(stored, ring, extreme - kWindowBefore,
                                          extreme + kWindowAfter, s, stored_extreme - extreme);
    if (c > best.correlation) best = {c, s};
  }
  return best;
}

}  // namespace

BeatEngine::Match BeatEngine::MatchReferenceShape(int channel) {
  const int32_t f = current_.extreme[U(channel)];
  const int32_t t = reference_extreme_[U(channel)];
  const ShiftMatch best = BestShift(reference_[U(channel)], t, rings_.deriv[U(channel)], f, kMatchShift);
  shift_[U(channel)] = best.shift;
  return {best.correlation, best.shift + t - f};
}

BeatEngine::Match BeatEngine::MatchFirstLearningBeat(int channel) {
  if (learn_.learned == 0) {
    // This beat becomes the first learning beat: it is its own reference.
    learn_.first_fiducial = current_.fiducial;
    learn_.first_extreme[U(channel)] = current_.extreme[U(channel)];
    shift_[U(channel)] = 0;
    return {10000, 0};
  }
  const int32_t f = current_.extreme[U(channel)];
  const int32_t t = learn_.first_extreme[U(channel)];
  const ShiftMatch best = BestShift(learn_.shapes[0][U(channel)], t, rings_.deriv[U(channel)], f, kMatchShift);
  shift_[U(channel)] = best.shift;
  return {best.correlation, best.shift + t - f};
}

BeatEngine::Match BeatEngine::MatchOtherClass(int template_class, int channel) {
  const TemplateClass& cls = other_group_[U(template_class)];
  const int32_t f = stored_.extreme[U(channel)];
  const int32_t t = cls.fiducial[U(channel)];
  const ShiftMatch best = BestShift(cls.shape[U(channel)], t, stored_.deriv[U(channel)], f, kMatchShift);
  // The output takes its alignment shift from the last match made.
  shift_[U(channel)] = best.shift;
  return {best.correlation, best.shift + t - f};
}

int32_t BeatEngine::CompareShapes(const Shape& a, int32_t fa, const Shape& b, int32_t fb) const {
  int32_t best = std::numeric_limits<int32_t>::min();
  for (int s = -kClassShift; s <= kClassShift; ++s) {
    const int32_t c = BeatEngineCorrelate(a, b, fa - kWindowBefore, fa + kWindowAfter, fb - fa + s, 0);
    best = std::max(best, c);
  }
  return best;
}

void BeatEngine::BaselineAndExtremes(int channel, int32_t& baseline, int32_t& maximum,
                                     int32_t& minimum) const {
  const Shape& x = rings_.raw[U(channel)];
  const int32_t f = current_.fiducial;
  int32_t sum = 0;
  for (int32_t s = f - 20; s <= f - 17; ++s) sum += x[U(RingSlot(s))];
  baseline = sum / 4;
  maximum = std::numeric_limits<int16_t>::min();
  minimum = std::numeric_limits<int16_t>::max();
  for (int32_t s = f - 8; s <= f + 16; ++s) {
    maximum = std::max<int32_t>(maximum, x[U(RingSlot(s))]);
    minimum = std::min<int32_t>(minimum, x[U(RingSlot(s))]);
  }
}

int32_t BeatEngine::CountSlopeReversals(int channel) const {
  const Shape& x = rings_.raw[U(channel)];
  int32_t start = current_.extreme[U(channel)] - 24;
  if (start < 0) start += kLiveCount;
  start = std::clamp(start, 1, 113);
  bool rising = x[U(start)] - x[U(start - 1)] >= 0;
  int32_t count = 0;
  for (int32_t s = start + 1; s <= start + 36; ++s) {
    const int32_t step = int32_t{x[U(s)]} - x[U(s - 1)];
    if (!rising && step > 19) {
      rising = true;
      ++count;
    } else if (rising && step < -19) {
      rising = false;
      ++count;
    }
  }
  return count;
}

void BeatEngine::MeasureBeat() {
  const int32_t a_prev = interval_before_a_;
  const int32_t a = pre_ms_;
  const int32_t p = post_ms_;
  const double root_sum = SignedRoot(cur_[0].correlation) + SignedRoot(cur_[1].correlation);
  for (int c = 0; c < kChannels; ++c) {
    ChannelValues& v = cur_[U(c)];
    const ChannelValues& b = b_[U(c)];
    const ChannelValues& b2 = b2_[U(c)];
    if (root_sum >= 181.0) {
      v.noise_score = 0;
    } else {
      const int32_t count = CountSlopeReversals(c);
      v.noise_score = count >= 8 ? count : v.correlation > 8100 ? 0 : count;
    }
    BaselineAndExtremes(c, v.baseline, v.maximum, v.minimum);
    v.amplitude = Sat16(int32_t{v.maximum} - v.minimum);

    const int32_t b0 = v.baseline;
    const int32_t b1 = b.baseline;
    const int32_t b2v = b2.baseline;
    jump_prev_[U(c)] = Abs32(b1 - b2v) > 250;
    jump_next_[U(c)] = Abs32(b0 - b1) > 250;
    const int32_t step_limit = (a_prev > 512 && a > 512 && p > 512) ? 250 : 500;
    step_mark_[U(c)] = Abs32(b0 - b2v) > step_limit && not_taken_back_;

    const int32_t mean = mean_amplitude_[U(c)];
    const int32_t limit1 = (a_prev > 512 && a > 512 && p > 450) ? 250 : 500;
    const int32_t extreme1 = (a_prev > 512 && p > 512 && a > 650) ? (mean < 600 ? 800 : 1000)
                                                                   : (mean < 800 ? 1300 : 1500);
    noise_mark1_[U(c)] = !(Abs32(b1 - b2v) <= limit1 && Abs32(b.maximum - b2.maximum) <= extreme1 &&
                           Abs32(b.minimum - b2.minimum) <= extreme1);
    const int32_t limit2 = (a > 512 && p > 512) ? 250 : 500;
    const int32_t extreme2 = (a > 650 && p > 512) ? (mean < 600 ? 800 : 1000) : (mean < 800 ? 1300 : 1500);
    noise_mark2_[U(c)] = !(Abs32(b0 - b1) <= limit2 && Abs32(v.maximum - b.maximum) <= extreme2 &&
                           Abs32(v.minimum - b.minimum) <= extreme2);
    const int32_t limit3 = (a > 512 && a + p > 512) ? 250 : 500;
    level_shift_[U(c)] = Abs32(b1 - slow_baseline_[U(c)]) > limit3;
    if (b.correlation >= 8100) {
      noise_mark1_[U(c)] = false;
      noise_mark2_[U(c)] = false;
      level_shift_[U(c)] = false;
    }
  }

  normal_run_ = last_result_ == kResultNormal ? std::min(normal_run_ + 1, 6) : 0;
  for (int c = 0; c < kChannels; ++c) {
    int32_t& level = noise_level_[U(c)];
    const auto& small = small_history_[U(c)];
    if (noise_mark2_[U(c)] || cur_[U(c)].noise_score >= 6 || small[2]) {
      ++level;
    } else if (normal_run_ > 5 || (normal_run_ > 3 && !small[0] && !small[1] && !small[2])) {
      --level;
    }
    level = std::clamp(level, 0, 3);
  }
}

void BeatEngine::SelectDetectionLead() {
  int16_t mode = 3;
  const auto& h = class_history_;
  const auto& amp = amplitude_history_;
  const bool vnv = h[0] == kResultVentricular && h[1] == kResultNormal && h[2] == kResultVentricular;
  const bool nvn = h[0] == kResultNormal && h[1] == kResultVentricular && h[2] == kResultNormal;
  const bool nnv = h[0] == kResultNormal && h[1] == kResultNormal && h[2] == kResultVentricular;
  if (analysed_channels_ == 1) {
    mode = 1;
  } else if (cur_[0].amplitude == 0) {
    mode = 2;
  } else if (cur_[1].amplitude == 0) {
    mode = 1;
  } else {
    bool decided = false;
    for (int c = 0; c < kChannels && !decided; ++c) {
      const size_t k = U(c);
      const size_t o = U(1 - c);
      bool hit = false;
      if (vnv) {
        hit = 2 * amp[1][k] < amp[0][k] && 2 * amp[1][k] < amp[2][k] && amp[1][o] < amp[1][k];
      } else if (nvn) {
        hit = 2 * amp[0][k] < amp[1][k] && 2 * amp[2][k] < amp[1][k] && amp[0][o] < amp[0][k] &&
              amp[2][o] < amp[2][k];
      }
      if (hit) {
        mode = static_cast<int16_t>(c + 1);
        noise_level_[o] = 3;
        decided = true;
      }
    }
    if (!decided) {
      const bool last_smaller_on_0 = amp[2][0] < amp[2][1];
      if (latch_[0] || latch_[1]) {
        mode = 3;
      } else if ((cur_[0].amplitude < 50 || noise_level_[0] > 2) && last_smaller_on_0 &&
                 noise_level_[1] < 3 && b_[1].noise_score < 5) {
        mode = 2;
      } else if ((cur_[1].amplitude > 49 && noise_level_[1] < 3) || !last_smaller_on_0 ||
                 noise_level_[0] > 2 || b_[0].noise_score > 4) {
        mode = 3;
      } else {
        mode = 1;
      }
    }
  }
  if (nnv) {
    for (int c = 0; c < kChannels; ++c) {
      const size_t k = U(c);
      if (2 * amp[2][k] < amp[0][k] && 2 * amp[2][k] < amp[1][k]) latch_[k] = true;
    }
  }
  detector_.levels.lead_mode = mode;
}

void BeatEngine::LearnStep() {
  LearningState& l = learn_;
  if (l.attempts == 0) {
    l.saved_levels = detector_.levels;
    l.saved_noise_level = noise_level_;
    l.pass_start_position = ReadPosition();
    ++learning_passes_;
  }
  ++l.attempts;
  const int32_t c0 = cur_[0].correlation;
  const int32_t c1 = cur_[1].correlation;
  const bool reject = (c0 < kLearnAccept || (c1 < kLearnAccept && cur_[1].amplitude > 100)) &&
                      !(c1 >= kLearnAccept && cur_[0].amplitude <= 100);
  if (reject) {
    ++l.rejected;
  } else {
    const int k = l.learned;
    l.positions[U(k)] = ReadPosition();
    for (int c = 0; c < kChannels; ++c) {
      l.amplitude_sum[U(c)] += cur_[U(c)].amplitude;
      Shape& shape = l.shapes[U(k)][U(c)];
      const Shape& d = rings_.deriv[U(c)];
      for (int j = kLiveFirst; j <= kLiveLast; ++j)
        shape[U(j)] = d[U(AlignedSlot(j, current_.offset[U(c)]))];
      MirrorAll(shape);
    }
    ++l.learned;
    l.last_accepted_position = ReadPosition();
    if (l.learned == l.wanted - 1) since_processed_ = 0;
  }

  if (l.learned >= l.wanted) {
    for (int c = 0; c < kChannels; ++c) {
      for (int j = 0; j < kRingSlots; ++j) {
        int32_t sum = 0;
        for (int k = 0; k < l.learned; ++k) sum += l.shapes[U(k)][U(c)][U(j)];
        reference_[U(c)][U(j)] = static_cast<int16_t>(sum / l.learned);
      }
      mean_amplitude_[U(c)] = static_cast<int32_t>(l.amplitude_sum[U(c)] / l.learned);
    }
    FindReferenceExtremes();
    l.complete = true;
    // Go back to the first learning beat and analyse again with the learned shape, from the
    // detector state that beat saw.
    const int32_t rewind = ReadPosition() - l.pass_start_position;
    rings_.writer = ((rings_.writer - rewind) % kLiveCount + kLiveCount) % kLiveCount;
    detector_.index = kLiveFirst + ((detector_.index - kLiveFirst - rewind) % kLiveCount + kLiveCount) % kLiveCount;
    rings_.Clear();
    stored_ = BeatWindows{};
    detector_.levels = l.saved_levels;
    noise_level_ = l.saved_noise_level;
    rewind_requested_ = true;
    rewind_samples_ = rewind;
    skip_next_output_ = true;
    reanalysis_ = true;
    return;
  }

  const bool too_many_rejected = l.rejected > l.wanted - 3 && l.learned < l.wanted - 1;
  if (too_many_rejected || l.attempts > 2 * l.wanted + 1) {
    ++l.failed_passes;
    if (l.failed_passes >= 5) {
      l.positions = {};
      l.shapes = {};
      l.wanted = 8;
    }
    l.amplitude_sum = {};
    reference_ = {};
    l.learned = 0;
    l.attempts = 0;
    l.rejected = 0;
    polarity_ = {};
  }
}

void BeatEngine::FindReferenceExtremes() {
  polarity_ = {};
  for (int c = 0; c < kChannels; ++c) {
    int polarity = 0;
    const int32_t t = FindFiducialExtremeShape(reference_[U(c)], learn_.first_fiducial, polarity);
    polarity_[U(c)] = polarity;
    reference_extreme_[U(c)] = t;
    reference_offset_[U(c)] = t - learn_.first_fiducial;
  }
}

void BeatEngine::DiscardLearning() {
  const int32_t wanted_failed = learn_.failed_passes;
  learn_ = LearningState{};
  learn_.failed_passes = wanted_failed;
  reference_ = {};
  polarity_ = {};
  reference_offset_ = {};
  reference_extreme_ = {};
  b_[0].correlation = b_[1].correlation = 10000;
  cur_[0].correlation = cur_[1].correlation = 10000;
  current_.offset = {};
  pre_ms_ = 0;
  post_ms_ = 0;
  interval_before_a_ = 0;
  last_result_ = kResultNormal;
  h_prev_ = true;
  h_b_ = true;
  detector_.retrigger = 0;
  skip_next_output_ = true;
}

void BeatEngine::SuperviseRelearning(bool quality_flag) {
  if (quality_flag) {
    trigger_run_ = {};
    return;
  }
  const bool normal = last_result_ == kResultNormal;
  auto count = [&](int i, bool mark) { trigger_run_[U(i)] = mark ? trigger_run_[U(i)] + 1 : 0; };
  count(0, marks_.mismatch_first);
  count(1, marks_.mismatch_second);
  count(2, marks_.mismatch_both);
  count(3, marks_.mismatch_first && normal);
  count(4, marks_.mismatch_second && normal);
  count(5, last_result_ == kResultVentricular && f_.A > 500);
  const auto& r = trigger_run_;
  const bool fire = (r[0] >= 10 && r[5] < 5) || (r[1] >= 10 && r[5] < 5) || r[2] >= 10 ||
                    r[3] >= 10 || r[4] >= 10 || r[5] >= 30;
  if (!fire) return;
  DiscardLearning();
  trigger_run_ = {};
}

BeatEngine::Assignment BeatEngine::AssignTemplateClass() {
  BeatFeatures beat;
  for (int c = 0; c < kChannels; ++c) {
    beat.correlation[U(c)] = b_[U(c)].correlation;
    beat.amplitude[U(c)] = b_[U(c)].amplitude;
    beat.noise_score[U(c)] = b_[U(c)].noise_score;
    beat.noise_mark[U(c)] = noise_mark1_[U(c)] || noise_mark2_[U(c)];
  }
  beat.prematurity = q_;
  return AssignTemplateClassFor(beat);
}

BeatEngine::Assignment BeatEngine::AssignTemplateClassFor(const BeatFeatures& beat) {
  Assignment out;
  for (int c = 0; c < kChannels; ++c) {
    channel_noisy_[U(c)] = beat.noise_mark[U(c)] || beat.noise_score[U(c)] >= 6 ||
                           beat.amplitude[U(c)] == 0;
  }
  auto make_class = [&](std::vector<TemplateClass>& group) {
    TemplateClass cls;
    cls.shape = stored_.deriv;
    cls.fiducial = stored_.extreme;
    cls.amplitude = beat.amplitude;
    cls.prematurity = beat.prematurity;
    cls.count = 1;
    cls.amplitude_sum = {static_cast<double>(beat.amplitude[0]), static_cast<double>(beat.amplitude[1])};
    group.push_back(cls);
    return static_cast<int32_t>(group.size());
  };

  const double roots = SignedRoot(beat.correlation[0]) + SignedRoot(beat.correlation[1]);
  if (roots >= 181.0) {
    for (size_t t = 0; t < normal_group_.size(); ++t) {
      TemplateClass& cls = normal_group_[t];
      const bool ok0 = Abs32(beat.amplitude[0] - cls.amplitude[0]) < NormalTolerance(cls.amplitude[0]);
      const bool ok1 = Abs32(beat.amplitude[1] - cls.amplitude[1]) < NormalTolerance(cls.amplitude[1]);
      if ((ok0 && (ok1 || beat.noise_mark[1])) || (ok1 && beat.noise_mark[0])) {
        out = {static_cast<int32_t>(t) + 1, 0, false};
        cls.prematurity = beat.prematurity;
        cls.shape = stored_.deriv;
        cls.fiducial = stored_.extreme;
        ++cls.count;
        cls.amplitude_sum[0] += beat.amplitude[0];
        cls.amplitude_sum[1] += beat.amplitude[1];
        return out;
      }
    }
    if (normal_group_.size() < static_cast<size_t>(kMaxClasses)) out = {make_class(normal_group_), 0, false};
    return out;
  }

  if (beat.noise_score[0] >= 6 && beat.noise_score[1] >= 6) return {0, 0, true};
  for (size_t t = 0; t < other_group_.size(); ++t) {
    const TemplateClass& cls = other_group_[t];
    const bool big = beat.amplitude[0] >= 200 || beat.amplitude[1] >= 200 || cls.amplitude[0] >= 200 ||
                     cls.amplitude[1] >= 200;
    const int32_t k = big ? match_parameter_ : 80;
    const bool ok0 = Abs32(beat.amplitude[0] - cls.amplitude[0]) < OtherTolerance(cls.amplitude[0]);
    const bool ok1 = Abs32(beat.amplitude[1] - cls.amplitude[1]) < OtherTolerance(cls.amplitude[1]);
    const bool ratio = std::fabs(beat.prematurity - cls.prematurity) < 0.15;
    if (!ratio || !(ok0 || ok1)) continue;
    const int32_t c0 = MatchOtherClass(static_cast<int>(t), 0).correlation;
    const int32_t c1 = MatchOtherClass(static_cast<int>(t), 1).correlation;
    const int32_t k2 = Square(k + 2);
    bool match = ok0 && ok1 &&
                 ((c0 >= Square(k) && c1 >= Square(k)) || (c0 >= k2 && beat.amplitude[1] < 200) ||
                  (c1 >= k2 && beat.amplitude[0] < 200) || (c0 >= k2 && beat.noise_score[1] > 4) ||
                  (c1 >= k2 && beat.noise_score[0] > 4));
    if (!match) {
      const int32_t k5 = Square(k + 5);
      match = (c0 >= k5 && (beat.amplitude[1] < 100 || beat.noise_mark[1]) && ok0) ||
              (c1 >= k5 && (beat.amplitude[0] < 100 || beat.noise_mark[0]) && ok1);
    }
    if (match) return {0, static_cast<int32_t>(t) + 1, false};
  }
  if (other_group_.size() < static_cast<size_t>(kMaxClasses)) out = {0, make_class(other_group_), false};
  return out;
}
