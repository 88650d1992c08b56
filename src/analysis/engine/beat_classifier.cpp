// The classification rules of the built-in engine: decide normal (1), ventricular (5) or artefact
// (50) for the beat before the newest one, once the interval after it and the next shape are known.
#include <algorithm>
#include <cmath>

#include "analysis/engine/beat_engine.h"
#include "analysis/engine/engine_math.h"

using namespace beat_engine;

namespace {

size_t U(int i) { return static_cast<size_t>(i); }

constexpr double kNoIntervals = 100.0;

}  // namespace

bool BeatEngine::CleanSimilar(const std::array<int32_t, 2>& noise, const std::array<int32_t, 2>& amplitude,
                              const std::array<bool, 2>& marked, const std::array<int32_t, 2>& corr) const {
  auto fine = [&](int c) { return amplitude[U(c)] > 120 && !marked[U(c)]; };
  auto unclean = [&](int c) { return noise[U(c)] > 4 || amplitude[U(c)] <= 120 || marked[U(c)]; };
  if (noise[0] < 7 && noise[1] < 7 && fine(0) && fine(1) && (corr[0] > 7744 || corr[1] > 7744)) return true;
  if (unclean(0) && fine(1) && corr[1] > 7744) return true;
  if (unclean(1) && fine(0) && corr[0] > 7744) return true;
  return false;
}

bool BeatEngine::PlateauOnChannel(int channel) const {
  if (!jump_prev_[U(channel)] && !jump_next_[U(channel)]) return false;
  const Shape& x = stored_.raw[U(channel)];
  const int k = stored_.fiducial;
  auto flat = [&](int from) {
    for (int i = from; i < from + 3; ++i)
      if (Abs32(int32_t{x[U(RingSlot(i + 1))]} - x[U(RingSlot(i))]) >= 21) return false;
    return true;
  };
  return flat(k - 6) || flat(k + 3);
}

int16_t BeatEngine::BeatEngineClassifyBeat() {
  if (first_beat_ && !skip_next_output_) {
    b_[0].correlation = b_[1].correlation = 10000;
    first_beat_ = false;
  }

  Features& f = f_;
  for (int c = 0; c < kChannels; ++c) {
    const size_t k = U(c);
    f.c[k] = b_[k].correlation;
    f.cn[k] = cur_[k].correlation;
    f.n[k] = b_[k].noise_score;
    f.a[k] = b_[k].amplitude;
    f.m[k] = mean_amplitude_[k];
    f.e[k] = f.m[k] == 0 ? 0 : Abs32(f.m[k] - f.a[k]);
    f.g[k] = have_normal_ ? Abs32(normal_amp_[k] - f.a[k]) : 0;
    f.s[k] = have_normal_ ? normal_amp_[k] - f.a[k] : 0;
    f.l[k] = Abs32(normal_amp_prev_[k] - normal_amp_[k]);
    f.d[k] = SignedRoot(f.c[k]) - SignedRoot(k_corr_[k]);
    f.dd[k] = SignedRoot(k_corr_[k]) - SignedRoot(k2_corr_[k]);
    f.marked[k] = noise_mark1_[k] || noise_mark2_[k];
  }
  f.A = pre_ms_;
  f.P = post_ms_;
  const auto& c = f.c;
  const auto& n = f.n;
  const auto& a = f.a;
  const auto& m = f.m;
  const auto& e = f.e;
  const auto& g = f.g;
  const auto& d = f.d;

  // Step 2: the beat after B, for the next call and for the rules below.
  h_next_ = CleanSimilar({cur_[0].noise_score, cur_[1].noise_score},
                                   {cur_[0].amplitude, cur_[1].amplitude}, f.marked,
                                   {cur_[0].correlation, cur_[1].correlation});
  const bool h_next = h_next_;
  const bool h_prev = h_prev_;

  // Step 3: a quiet stretch after the complex, and spikes.
  {
    const int32_t quiet_limit = detector_.regular_rhythm ? 300 : 440;
    const bool no_test = f.A > quiet_limit || f.A + f.P < 504 ||
                         (interval_before_a_ < 624 && class_history_[1] == kResultVentricular) ||
                         (last_result_ != kResultNormal && last_result_ != kResultVentricular &&
                          (c[0] > 8099 || c[1] > 8099 || last_result_ != kResultArtefact));
    if (no_test) {
      marks_.quiet_after = false;
    } else {
      int32_t t1 = 100;
      int32_t t2 = 40;
      const int32_t worst = std::max({n[0], n[1], b2_[0].noise_score, b2_[1].noise_score});
      if (worst < 5) {
        t1 = 60;
        t2 = 20;
      } else if (worst < 11) {
        t1 = 80;
        t2 = 30;
      }
      const int k = stored_.fiducial;
      bool quiet = true;
      for (int ch = 0; ch < kChannels; ++ch) {
        const Shape& x = stored_.raw[U(ch)];
        auto at = [&](int i) { return int32_t{x[U(RingSlot(k + i))]}; };
        auto spike_against = [&](int before) {
          const int32_t mid = at(2);
          const int32_t p1 = at(7);
          const int32_t p0 = at(before);
          return Abs32(mid - p1) >= t2 && Abs32(mid - p0) >= t2 &&
                 ((mid > p1 && mid > p0) || (mid < p1 && mid < p0));
        };
        marks_.spike[U(ch)] = spike_against(-3) || spike_against(-8);
        const int32_t largest = std::max({Abs32(at(1) - at(4)), Abs32(at(7) - at(12)),
                                          Abs32(at(7) - at(17)), Abs32(at(7) - at(21))});
        if (largest >= t1) quiet = false;
      }
      marks_.quiet_after = quiet;
    }
  }

  // Step 4: prematurity.
  prev_q_ = q_;
  if (f.A < 1 || f.P < 1 || last_result_ == kResultArtefact || !not_taken_back_) {
    q_ = kNoIntervals;
  } else {
    q_ = 2.0 * f.A / static_cast<double>(f.A + f.P);
  }
  f.q = q_;
  const double q = q_;

  // Steps 6, 7: similarity and group.
  marks_.similar = SignedRoot(c[0]) + SignedRoot(c[1]) >= 181.0;
  marks_.huge = (a[0] >= 1701 || a[1] >= 1701) && q > 0.85;
  auto clean = [&](int ch) { return n[U(ch)] <= 6 && !f.marked[U(ch)]; };
  auto clean121 = [&](int ch) { return clean(ch) && a[U(ch)] >= 121; };
  const bool both121 = clean121(0) && clean121(1);
  if (marks_.similar) {
    group_ = 0;
  } else if (both121 && c[0] <= 6724 && c[1] <= 6724) {
    group_ = 1;
  } else {
    group_ = 2;
  }

  int16_t result = kResultNormal;
  if (group_ == 0) {
    result = GroupZeroRules();
  } else if (group_ == 1) {
    result = GroupOneRules();
  } else {
    result = GroupTwoRules();
  }
  // Step 9: plateau marks.
  if (group_ != 1) {
    marks_.plateau = {false, false};
    if (PlateauOnChannel(0)) {
      marks_.plateau[0] = true;
    } else if (PlateauOnChannel(1)) {
      marks_.plateau[1] = true;
    }
  }
  // Step 10.
  if (result == kResultVentricular && last_result_ == kResultArtefact && f.A < 393 && (n[0] > 4 || n[1] > 4))
    result = kResultArtefact;

  // Step 12: a beat that splits one normal interval in two.
  const int32_t a_prev = interval_before_a_;
  if (class_history_[2] != kResultVentricular && class_history_[1] != kResultVentricular &&
      result != kResultArtefact && a_prev > 0) {
    const int64_t percent = int64_t{f.A + f.P} * 100 / a_prev;
    if (percent >= 80 && percent <= 120) {
      auto clean121p = [&](int ch) { return n[U(ch)] <= 7 && a[U(ch)] >= 121 && !f.marked[U(ch)]; };
      if (group_ == 0) {
        if (both121 && e[0] + e[1] > 200 && g[0] + g[1] > 200 && c[0] < 9216 && c[1] < 9216)
          result = kResultVentricular;
      } else if (group_ == 2) {
        if (((clean121p(0) && e[0] > 100 && g[0] > 100) || (clean121p(1) && e[1] > 100 && g[1] > 100)) &&
            h_prev && h_next) {
          result = kResultVentricular;
        } else if (clean121p(0) && clean121p(1)) {
          if (e[0] + e[1] >= 201 && g[0] + g[1] >= 201 && h_prev && d[0] + d[1] < -10)
            result = kResultVentricular;
          if (result != kResultVentricular && h_prev && h_next && d[0] + d[1] < -35)
            result = kResultVentricular;
        }
      }
    }
  }

  // Step 13: mismatch marks for the relearning supervisor.
  const bool all_ventricular = class_history_[2] == kResultVentricular &&
                               class_history_[1] == kResultVentricular && result == kResultVentricular;
  marks_.mismatch_first = group_ == 2 && both121 && !all_ventricular && c[1] > 8099 && c[0] < 7744;
  marks_.mismatch_second = group_ == 2 && both121 && !all_ventricular && c[0] > 8099 && c[1] < 7744;
  marks_.mismatch_both = both121 && result == kResultNormal && c[0] <= 8280 && c[1] <= 8280;

  // Step 14: noisy ventricular beats become artefacts.
  if (result == kResultVentricular) {
    if ((q > 0.8 && ((n[0] > 5 && n[1] > 3 && c[1] < 6400) || (n[1] > 5 && n[0] > 3 && c[0] < 6400))) ||
        step_mark_[0] || step_mark_[1]) {
      result = kResultArtefact;
    } else if (q == kNoIntervals &&
               (n[0] > 4 || n[1] > 4 || (n[0] == 4 && a[1] <= 120) || (n[1] >= 4 && a[0] <= 120))) {
      result = kResultArtefact;
    }
  }

  // Step 15: size marks.
  marks_.small_beat = !((a[0] > 100 && a[1] > 100 && a[0] + a[1] > 240) ||
                        (!h_next && f.cn[0] <= 7744 && f.cn[1] <= 7744) ||
                        (last_result_ != kResultNormal && last_result_ != kResultArtefact) || a[0] == 0 ||
                        a[1] == 0);
  for (int ch = 0; ch < kChannels; ++ch) b_[U(ch)].small_amplitude = a[U(ch)] <= 120;
  {
    const bool q1 = ((a[0] > 80 || m[0] < 161 || c[1] > 8280) && (a[1] > 80 || m[1] < 161 || c[0] > 8280)) ||
                    q <= 1.1 || q == kNoIntervals;
    const bool q2 = (a[0] > 40 || m[0] < 101 || c[1] > 8280) && (a[1] > 40 || m[1] < 101 || c[0] > 8280);
    marks_.diminutive = !(a[0] == 0 || a[1] == 0 || (q1 && q2));
  }

  // Step 16: template class; a run of ventricular beats keeps the class of its fourth beat on.
  ventricular_run_ = result == kResultVentricular ? ventricular_run_ + 1 : 0;
  if (beats_processed_ >= 1 && ventricular_run_ <= 3) assignment_ = AssignTemplateClass();

  // Step 17: normal override of a shape that matches and is on time.
  if ((result == kResultVentricular || result == kResultArtefact) && q > 0.91) {
    bool normal = false;
    for (int ch = 0; ch < kChannels && !normal; ++ch) {
      const size_t k = U(ch);
      const size_t o = U(1 - ch);
      const int32_t t = m[k] < 701 ? 120 : 250;
      const int32_t u = m[k] < 701 ? 160 : 250;
      const bool near = g[k] < t || e[k] < t;
      const bool steady = Abs32(b_[k].maximum - b2_[k].maximum) < u && Abs32(b_[k].minimum - b2_[k].minimum) < u;
      if (c[k] > 7743 && near && steady && (n[0] > 4 || n[1] > 4 || a[o] == 0)) normal = true;
      if (c[k] > 8648 && near && (n[0] > 3 || n[1] > 3 || a[o] == 0)) normal = true;
      if (q < 1.2 && c[k] > 8099 && g[o] < 251 && e[o] < 301 && (g[k] < 40 || e[k] < 40)) normal = true;
      if (q < 1.2 && c[k] > 8835 && (g[k] < 81 || e[k] < 81)) normal = true;
    }
    if (normal) result = kResultNormal;
  }

  // Step 18: the reference follows slow changes of the normal shape.
  AdaptReference(result);

  // Step 19: the newest beat's windows are kept for the next call.
  stored_.raw = rings_.raw;
  stored_.deriv = rings_.deriv;
  stored_.fiducial = current_.fiducial;
  stored_.extreme = current_.extreme;
  stored_.offset = current_.offset;

  // Step 20.
  marks_.doubtful = h_next && class_history_[2] == kResultNormal &&
                    !((n[0] < 5 || c[1] > 8280) && (n[1] < 5 || c[0] > 8280) && n[0] + n[1] < 14);

  // Step 21: the values move one beat on.
  for (int ch = 0; ch < kChannels; ++ch) {
    const size_t k = U(ch);
    if (result == kResultNormal) {
      slow_baseline_[k] = (3 * slow_baseline_[k] + b_[k].baseline) / 4;
      k_corr_[k] = c[k];
      if (h_prev) k2_corr_[k] = c[k];
      normal_amp_prev_[k] = normal_amp_[k];
      normal_amp_[k] = a[k];
    }
    written_correlation_[k] = c[k];
    written_small_amplitude_[k] = b_[k].small_amplitude;
    small_history_[k] = {small_history_[k][1], small_history_[k][2], b_[k].small_amplitude};
    b2_[k] = b_[k];
    b_[k] = cur_[k];
  }
  if (result == kResultNormal) have_normal_ = true;
  b_offset_ = current_.offset;
  h_prev_ = h_b_;
  h_b_ = h_next;
  last_result_ = result;
  return result;
}

void BeatEngine::AdaptReference(int16_t result) {
  const Features& f = f_;
  const auto& c = f.c;
  const auto& n = f.n;
  const auto& a = f.a;
  const auto& e = f.e;
  const auto& g = f.g;
  const bool intervals_ok = f.q > 0.9 && f.q != kNoIntervals && !reanalysis_;
  const bool calm = n[0] < 5 && n[1] < 5 && !f.marked[0] && !f.marked[1];
  const bool close = e[0] < 300 && e[1] < 300 && g[0] < 300 && g[1] < 300;
  const bool adapt = intervals_ok && calm && close &&
                     (marks_.similar ||
                      (result == kResultNormal && ((c[0] > 8464 && a[1] < 201) || (c[1] > 8464 && a[0] < 201))));
  if (adapt) {
    for (int ch = 0; ch < kChannels; ++ch) {
      const size_t k = U(ch);
      const int32_t o = b_offset_[k];
      if (o <= -50 || o >= 24) continue;
      samples_since_adaptation_ = 0;
      mean_amplitude_[k] = (7 * mean_amplitude_[k] + a[k]) / 8;
      Shape& ref = reference_[k];
      const Shape& beat = stored_.deriv[k];
      for (int j = kLiveFirst; j <= kLiveLast; ++j) {
        const int aligned = (((j - o) % 125) + 125) % 125;
        ref[U(j)] = static_cast<int16_t>((7 * int32_t{ref[U(j)]} + beat[U(aligned)]) / 8);
      }
      MirrorAll(ref);
    }
  }
  FindReferenceExtremes();
}

int16_t BeatEngine::GroupZeroRules() {
  const Features& f = f_;
  const auto& c = f.c;
  const auto& n = f.n;
  const auto& e = f.e;
  const auto& g = f.g;
  const auto& d = f.d;
  const double q = f.q;
  const bool hp = h_prev_;
  const bool hn = h_next_;
  auto clean = [&](int ch) { return n[U(ch)] <= 6 && !f.marked[U(ch)]; };
  auto clean201 = [&](int ch) { return clean(ch) && f.a[U(ch)] >= 201; };

  if (q < 0.7 && (e[0] >= 201 || g[0] >= 301 || e[1] >= 201 || g[1] >= 301) && hp && hn && c[0] <= 9408 &&
      c[1] <= 9408)
    return kResultVentricular;
  if (q < 0.8 && e[0] + e[1] >= 501 && hp && hn && c[0] <= 9408 && c[1] <= 9408) return kResultVentricular;
  if (q < 0.6 && d[0] + d[1] < -5 && e[0] + e[1] >= 121 && g[0] + g[1] >= 121 && hp && hn && c[0] <= 9024 &&
      c[1] <= 9024)
    return kResultVentricular;
  if (q < 0.9 && n[0] <= 2 && n[1] <= 2 && ((g[0] >= 401 && d[0] < 10) || (g[1] >= 401 && d[1] < 10)))
    return kResultVentricular;
  if (q < 0.8 && n[0] <= 2 && n[1] <= 2 && ((g[0] >= 301 && d[0] < 2) || (g[1] >= 301 && d[1] < 2)))
    return kResultVentricular;
  if (q < 0.9 && n[0] <= 2 && n[1] <= 2 && g[0] + g[1] >= 301 &&
      ((d[0] < -9 && d[1] < -4) || (d[1] < -9 && d[0] < -4)))
    return kResultVentricular;
  if (q < 0.65 && hp && hn &&
      ((clean201(0) && clean(1) && d[0] < -15 && c[1] <= 9603) ||
       (clean201(1) && clean(0) && d[1] < -15 && c[0] <= 9603)))
    return kResultVentricular;
  if (q < 1.0 && hp && hn) {
    auto rule = [&](int32_t g_min, double other) {
      return (e[0] >= 251 && g[0] >= g_min && d[0] <= 0 && d[1] < other) ||
             (e[1] >= 251 && g[1] >= g_min && d[1] <= 0 && d[0] < other);
    };
    if (rule(251, -5) || rule(251, -3) || rule(351, -2)) return kResultVentricular;
  }
  if (q < 0.9 && n[0] <= 3 && n[1] <= 3 &&
      ((d[0] <= -3 && g[0] >= 401 && d[1] <= 4) || (d[1] <= -3 && g[1] >= 401 && d[0] <= 4)))
    return kResultVentricular;
  return kResultNormal;
}

int16_t BeatEngine::GroupOneRules() {
  const Features& f = f_;
  const auto& c = f.c;
  const auto& n = f.n;
  marks_.plateau = {false, false};
  if (PlateauOnChannel(0)) {
    marks_.plateau[0] = true;
    return kResultVentricular;
  }
  if (PlateauOnChannel(1)) {
    marks_.plateau[1] = true;
    return kResultVentricular;
  }
  if (marks_.huge) return kResultArtefact;
  if (((n[0] >= 6 && n[1] >= 5) || (n[1] >= 6 && n[0] >= 5)) && c[0] <= 8099 && c[1] <= 8099)
    return kResultArtefact;
  if (((level_shift_[1] && c[0] <= 8099) || (level_shift_[0] && c[1] <= 8099)) &&
      samples_since_adaptation_ <= 624)
    return kResultArtefact;
  return kResultVentricular;
}

int16_t BeatEngine::GroupTwoRules() {
  const Features& f = f_;
  const auto& c = f.c;
  const auto& n = f.n;
  const auto& a = f.a;
  const auto& e = f.e;
  const auto& g = f.g;
  const auto& s = f.s;
  const auto& l = f.l;
  const auto& d = f.d;
  const auto& dd = f.dd;
  const auto& marked = f.marked;
  const double q = f.q;
  const bool hp = h_prev_;
  const bool hn = h_next_;
  auto clean = [&](int ch) { return n[U(ch)] <= 6 && !marked[U(ch)]; };
  auto clean_at = [&](int ch, int32_t amp) { return clean(ch) && a[U(ch)] >= amp; };
  const bool both121 = clean_at(0, 121) && clean_at(1, 121);
  const bool no_marks = !marked[0] && !marked[1];

  // Rule 1: close enough to the reference on one lead.
  for (int ch = 0; ch < kChannels; ++ch) {
    const size_t k = U(ch);
    const size_t o = U(1 - ch);
    if (clean(ch) && n[k] < 7 && c[k] > 8099 && e[k] < 100 && g[k] < 100 && e[o] < 200 && g[o] < 200 &&
        a[k] < 121)
      return kResultNormal;
  }
  if ((!clean(0) || !clean(1)) && (c[0] > 8099 || c[1] > 8099)) return kResultNormal;
  // Rule 2.
  if (!clean(0) || (c[0] <= 8099 && a[0] <= 120)) {
    if ((n[1] > 6 || marked[1] || (c[1] < 8100 && a[1] < 121)) && c[0] < 8100 && c[1] < 8100)
      return kResultArtefact;
    if (marked[0] && c[1] <= 8099) return kResultArtefact;
  }
  // Rule 3.
  if (marked[1] && c[0] <= 8099) return kResultArtefact;
  if (((level_shift_[1] && c[0] <= 8099) || (level_shift_[0] && c[1] <= 8099)) &&
      samples_since_adaptation_ <= 624)
    return kResultArtefact;
  // Rule 4.
  if (marks_.huge) return kResultArtefact;
  if (n[0] + n[1] >= 14 && c[0] <= 8099 && c[1] <= 8099) return kResultArtefact;
  if ((n[0] >= 7 && c[1] <= 8099) || (n[1] >= 7 && c[0] <= 8099)) return kResultArtefact;
  if (((n[0] >= 6 && n[1] >= 5) || (n[1] >= 6 && n[0] >= 5)) && c[0] <= 8099 && c[1] <= 8099)
    return kResultArtefact;

  // Rule 5: the ventricular rules; each pair of terms is tried with the leads in both orders.
  auto either = [](auto&& rule) { return rule(0, 1) || rule(1, 0); };
  auto big = [&](size_t k, int32_t limit) { return e[k] >= limit && g[k] >= limit; };

  if (both121 && either([&](size_t k, size_t) { return d[k] <= -10 && big(k, 301); }))
    return kResultVentricular;
  if (n[0] <= 3 && n[1] <= 3 && d[0] + d[1] < -3 && q < 0.7 &&
      (big(0, 401) || big(1, 401) || (big(1, 201) && big(0, 301)) || (big(0, 201) && big(1, 301))))
    return kResultVentricular;
  if (n[0] <= 4 && n[1] <= 4 && q < 0.7 && hp && hn &&
      either([&](size_t k, size_t) { return d[k] <= -15 && big(k, 101); }))
    return kResultVentricular;
  if (n[0] < 3 && n[1] < 3) {
    const bool amp = big(0, 101) || big(1, 101);
    if (d[0] + d[1] < -15 && q < 0.8 && hp && hn && amp) return kResultVentricular;
    if ((d[0] < -15 || d[1] < -15) && q < 0.85 && hp && hn && amp) return kResultVentricular;
  }
  if (n[0] <= 3 && n[1] <= 3 && no_marks && a[0] >= 161 && a[1] >= 161 &&
      ((d[0] <= -10 && d[1] <= -5) || (d[1] <= -10 && d[0] <= -5)) && g[0] + g[1] >= 60 && hp && hn)
    return kResultVentricular;
  if (hp && hn && either([&](size_t k, size_t o) {
        return clean_at(static_cast<int>(k), 121) && d[o] < -5 && q < 0.9 && big(k, 101);
      }))
    return kResultVentricular;
  if (clean(0) && clean(1)) {
    if (either([&](size_t k, size_t o) {
          return s[k] > 40 && d[k] < -20 && d[o] < -5 && a[k] > 160 && (c[o] < 8281 || (g[o] > 80 && e[o] > 80));
        }))
      return kResultVentricular;
    if (either([&](size_t k, size_t o) {
          return s[k] > 40 && d[k] < -45 && d[o] < -5 && a[k] > 60 && !(c[o] > 8280 && (g[o] < 81 || e[o] < 81));
        }))
      return kResultVentricular;
  }
  if (n[0] < 7 && no_marks && n[1] <= 6) {
    if (either([&](size_t k, size_t o) {
          return d[k] < -15 && c[o] <= 9024 && e[k] >= 201 && (g[k] >= 201 || l[k] >= 201);
        }))
      return kResultVentricular;
    if (either([&](size_t k, size_t o) {
          return d[k] < -10 && c[o] <= 9408 && e[k] >= 201 && (g[k] >= 301 || l[k] >= 301);
        }))
      return kResultVentricular;
  }
  if (q < 0.75 && hp && hn && either([&](size_t k, size_t o) {
        return clean_at(static_cast<int>(k), 201) && clean(static_cast<int>(o)) && d[k] < -10 && c[o] <= 9215;
      }))
    return kResultVentricular;
  if (q < 0.65 && hp && hn && either([&](size_t k, size_t o) {
        return clean_at(static_cast<int>(k), 201) && clean(static_cast<int>(o)) && d[k] < -15 && c[o] <= 9603;
      }))
    return kResultVentricular;
  if (q < 0.85 && either([&](size_t k, size_t o) {
        return clean_at(static_cast<int>(k), 161) && n[o] <= 6 && a[o] <= 159 && !marked[o] && c[k] <= 7395 &&
               d[o] < -5;
      }))
    return kResultVentricular;
  if (clean_at(0, 161) && clean_at(1, 161) && q < 0.83 &&
      ((d[0] < -5 && d[1] < -15) || (d[1] < -5 && d[0] < -15)))
    return kResultVentricular;
  if (clean_at(0, 201) && clean_at(1, 201) && q < 1.02 &&
      ((d[0] < -5 && d[1] < -30) || (d[1] < -5 && d[0] < -30)))
    return kResultVentricular;
  if (both121) {
    if (q < 0.95 && ((d[0] <= 3 && d[1] < -30) || (d[1] <= 3 && d[0] < -30))) return kResultVentricular;
    if (q < 1.3 && ((d[0] <= 3 && d[1] < -50) || (d[1] <= 3 && d[0] < -50))) return kResultVentricular;
  }
  if (no_marks && n[0] < 4) {
    if (n[1] <= 3 && q < 0.9 &&
        ((d[0] <= -3 && g[0] >= 251 && d[1] <= 7) || (d[1] <= -3 && g[1] >= 251 && d[0] <= 7)))
      return kResultVentricular;
    if (n[1] <= 3 && q < 0.85 &&
        ((d[0] <= 5 && g[0] >= 301 && d[1] <= 11) || (d[1] <= 5 && g[1] >= 301 && d[0] <= 11)))
      return kResultVentricular;
  }
  if (clean_at(0, 201) && clean_at(1, 201)) {
    if (q < 0.9 && ((d[0] < -40 && d[1] <= 0) || (d[1] < -40 && d[0] <= 0))) return kResultVentricular;
    if ((d[0] < -50 && c[1] < 9604 && (d[1] <= 0 || dd[1] <= 0)) ||
        (d[1] < -50 && c[0] < 9604 && (d[0] <= 0 || dd[0] <= 0)))
      return kResultVentricular;
    if ((big(0, 101) && d[1] < -5 && d[0] < -15) || (big(1, 101) && d[0] < -5 && d[1] < -15))
      return kResultVentricular;
  }
  // Rules 17 to 19: one lead small, the other clean.
  const bool all_clean = n[0] < 7 && n[1] < 7 && no_marks;
  if (all_clean) {
    const bool small0 = a[0] <= 120;
    const bool small1 = a[1] <= 120;
    if (small0 && a[1] > 120 && d[1] < -15 && d[0] < -5 && e[1] >= 201 && g[1] >= 201) return kResultVentricular;
    if (small1 && a[0] > 120 && d[0] < -15 && d[1] < -5 && e[0] > 200 && g[0] > 200) return kResultVentricular;
    if (small0 && a[1] > 120 && c[1] <= 7743 && d[0] < -15 && (n[0] >= 4 || n[1] >= 4) && g[1] >= 1)
      return kResultVentricular;
    if (small1 && a[0] > 120 && c[0] < 7744 && d[1] < -15 && (n[0] >= 4 || n[1] >= 4) && g[0] > 0)
      return kResultVentricular;
    if (small0 && a[1] > 120 && c[1] <= 8280 && d[0] < -20 && (n[0] >= 2 || n[1] >= 2) && g[0] >= 301)
      return kResultVentricular;
    if (small1 && a[0] > 120 && c[0] <= 8280 && d[1] < -20 && (n[0] >= 2 || n[1] >= 2) && g[1] >= 301)
      return kResultVentricular;
  }
  if (clean_at(0, 201) && clean_at(1, 201) && q < 0.85 &&
      ((d[0] < -10 && d[1] < -5) || (d[1] < -10 && d[0] < -5)))
    return kResultVentricular;
  if (both121 && ((d[0] < -20 && a[0] >= 201 && d[1] < -5) || (d[1] < -20 && a[1] >= 201 && d[0] < -5)))
    return kResultVentricular;
  if (both121 && (c[0] <= 8099 || c[1] <= 8099) &&
      ((e[0] >= 201 && g[0] >= 101 && d[1] < -5) || (e[1] >= 201 && g[1] >= 101 && d[0] < -5)))
    return kResultVentricular;
  if (((a[0] <= 120 || n[0] > 6) && n[1] < 7 && c[1] < 4900) || ((a[1] <= 120 || n[1] > 6) && n[0] < 7 && c[0] < 4900))
    return kResultVentricular;
  if (hp && hn &&
      ((clean_at(0, 121) && clean(1) && big(0, 181) && d[0] <= 0 && d[1] < -5) ||
       (clean_at(1, 121) && clean(0) && big(1, 181) && d[1] <= 0 && d[0] < -5)))
    return kResultVentricular;
  return kResultNormal;
}
