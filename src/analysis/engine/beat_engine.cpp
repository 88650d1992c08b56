#include "analysis/engine/beat_engine.h"

#include <algorithm>
#include <limits>

#include "analysis/engine/beat_engine_output.h"
#include "analysis/engine/beat_sample_source.h"
#include "analysis/engine/engine_math.h"

using namespace beat_engine;

namespace {

constexpr int kProcessDelay = 24;  // samples a detected beat waits so that its complex is in the ring
constexpr int kLeadResetGap = 250;
constexpr int kDerivativeHistory = 5;  // the derivative reads the five samples before its slot

uint8_t ClassOfKind(int32_t kind) {
  switch (kind) {
    case 0: return 1;
    case 1: return 15;
    case 2: return 2;
    case 3: return 5;
    case 5: return 22;
    default: return 0;
  }
}

int32_t KindOfResult(int16_t result) {
  switch (result) {
    case BeatEngine::kResultNormal: return 0;
    case BeatEngine::kResultVentricular: return 1;
    case BeatEngine::kResultArtefact: return 3;
    default: return 5;
  }
}

int LiveSlot(int slot) {
  return kLiveFirst + (((slot - kLiveFirst) % kLiveCount) + kLiveCount) % kLiveCount;
}

// Runs on scope exit; the running flag must drop even when the source throws.
template <typename F>
class OnExit {
 public:
  explicit OnExit(F f) : f_(f) {}
  ~OnExit() { f_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F f_;
};

}  // namespace

BeatEngine::BeatEngine() {
  for (auto& block : blocks_) block.assign(kSamplesPerMinute, 0);
  ResetState();
}

BeatEngine::~BeatEngine() = default;

BeatEngine& BeatEngine::Process() {
  static BeatEngine engine;
  return engine;
}

void BeatEngine::ResetState() {
  finished_ = false;
  stop_.store(false);
  minutes_reported_.store(0);
  analysed_channels_ = 2;

  minute_ = 0;
  sample_ = 0;
  whole_minutes_ = 0;
  for (auto& block : blocks_) std::fill(block.begin(), block.end(), int16_t{0});
  loaded_minute_ = -1;
  reread_ = false;
  reread_minute_ = 0;

  beats_.Clear();
  templates_.Clear();
  last_appended_ = 0;
  current_position_ = 0;
  beat_history_.clear();
  flag_history_.clear();
  refusals_ = 0;

  rings_ = SampleRings{};
  detector_ = QrsDetector{};
  sample_counter_ = 0;
  since_last_detection_ = 0;
  since_processed_ = 0;
  pending_ = false;
  fiducial_ = 0;
  wait_ = 0;
  detector_started_ = false;
  last_processed_ms_ = 0;
  post_ms_ = 0;
  pre_ms_ = 0;
  r1_ms_ = 0;
  r2_ms_ = 0;
  undo_guard_ = 0;
  class_history_ = {1, 1, 0};
  amplitude_history_ = {};
  skip_next_output_ = true;
  beat_written_ = false;
  taken_back_ = false;
  beats_processed_ = 0;
  normal_processed_ = 0;
  rewind_requested_ = false;
  rewind_samples_ = 0;
  reanalysis_ = false;
  samples_since_adaptation_ = 0;
  learning_passes_ = 0;

  current_ = BeatWindows{};
  stored_ = BeatWindows{};
  cur_ = {};
  b_ = {};
  b2_ = {};
  shift_ = {};
  prev_extreme_offset_ = {};
  prev_shift_ = {};
  b_offset_ = {};

  jump_prev_ = {};
  jump_next_ = {};
  step_mark_ = {};
  noise_mark1_ = {};
  noise_mark2_ = {};
  level_shift_ = {};
  noise_level_ = {};
  slow_baseline_ = {};
  small_history_ = {};
  latch_ = {};
  normal_run_ = 0;

  learn_ = LearningState{};
  polarity_ = {};
  reference_ = {};
  reference_extreme_ = {};
  reference_offset_ = {};
  mean_amplitude_ = {};
  first_beat_ = true;
  // The beat before the first classified one counts as matching the reference.
  b_[0].correlation = b_[1].correlation = 10000;
  cur_[0].correlation = cur_[1].correlation = 10000;

  marks_ = ClassifierMarks{};
  last_result_ = kResultNormal;
  h_prev_ = true;
  h_b_ = true;
  h_next_ = true;
  not_taken_back_ = true;
  q_ = 1.0;
  prev_q_ = 1.0;
  interval_before_a_ = 0;
  k_corr_ = {};
  k2_corr_ = {};
  normal_amp_ = {};
  normal_amp_prev_ = {};
  have_normal_ = false;
  ventricular_run_ = 0;
  channel_noisy_ = {};
  assignment_ = Assignment{0, 0, false};
  quality_flag_ = false;
  group_ = 0;
  f_ = Features{};
  written_correlation_ = {};
  written_small_amplitude_ = {};
  trigger_run_ = {};

  normal_group_.clear();
  other_group_.clear();
  match_parameter_ = 90;
}

void BeatEngine::BeatEngineInit(BeatSampleSource* source, BeatEngineOutput* output) {
  ResetState();
  source_ = source;
  output_ = output;
  running_.store(true);
}

bool BeatEngine::BeatEngineRun() {
  {
    OnExit drop_running([this] { running_.store(false); });
    if (source_ != nullptr) {
      source_->Reopen();
      analysed_channels_ = source_->GetAnalysedChannelCount() == 1 ? 1 : 2;
    }
    RunLoop();
  }
  if (StopRequested()) return false;
  ConsolidateTemplates();
  if (StopRequested()) return false;
  if (output_ != nullptr) {
    output_->SetBeats(beats_.Beats());
    static constexpr int kFamilies[] = {EngineTemplates::kNormal, EngineTemplates::kVentricular,
                                        EngineTemplates::kArtefact};
    static constexpr TemplateFamily kDocumentFamilies[] = {
        TemplateFamily::kNormal, TemplateFamily::kVentricular, TemplateFamily::kArtefact};
    for (int f = 0; f < 3; ++f)
      for (int cls = 0; cls < EngineTemplates::kClasses; ++cls)
        output_->SetTemplateList(kDocumentFamilies[f], cls, templates_.List(kFamilies[f], cls));
    output_->SetSpecialNormalClass(templates_.special_normal_class());
  }
  return true;
}

void BeatEngine::LoadMinute(int32_t minute, bool report_markers) {
  for (int lead = 0; lead < 2; ++lead) {
    std::span<int16_t, kSamplesPerMinute> block(blocks_[static_cast<size_t>(lead)].data(),
                                                 kSamplesPerMinute);
    if (source_ != nullptr && minute >= 0 && minute < whole_minutes_) {
      source_->GetAnalysisMinute(block, lead, minute, report_markers);
    } else {
      std::fill(block.begin(), block.end(), int16_t{0});
    }
  }
  loaded_minute_ = minute;
}

int16_t BeatEngine::BeatEngineNextSample(int16_t channel) {
  if (channel == 0 && sample_ == 0) {
    whole_minutes_ = source_ != nullptr ? std::max<int32_t>(0, source_->GetWholeMinutes()) : 0;
    if (minute_ >= whole_minutes_) {
      finished_ = true;
      return -1;
    }
    if (reread_ && reread_minute_ < minute_) reread_ = false;
    LoadMinute(minute_, !reread_);
    if (minutes_reported_.load() < whole_minutes_) minutes_reported_.fetch_add(1);
    return blocks_[0][0];
  }
  if (channel == 2) {
    if (++sample_ == kSamplesPerMinute) {
      sample_ = 0;
      ++minute_;
    }
    return 0;
  }
  if (channel < 0 || channel > 1) return 0;
  return blocks_[static_cast<size_t>(channel)][static_cast<size_t>(sample_)];
}

int16_t BeatEngine::BeatEngineStepBack(int32_t n) {
  if (n < 0) n = 0;
  if (n < sample_) {
    sample_ -= n;
  } else {
    reread_minute_ = minute_;
    reread_ = true;
    int64_t position = int64_t{minute_} * kSamplesPerMinute + sample_ - n;
    const bool before_start = position < 0;
    if (before_start) position = 0;
    minute_ = static_cast<int32_t>(position / kSamplesPerMinute);
    sample_ = static_cast<int32_t>(position % kSamplesPerMinute);
    LoadMinute(minute_, false);
    if (before_start) return -1;
  }
  return blocks_[0][static_cast<size_t>(sample_)];
}

void BeatEngine::RunLoop() {
  QrsDetector& det = detector_;
  while (!finished_) {
    if (StopRequested()) break;

    int16_t x0;
    int16_t x1;
    if (rewind_requested_) {
      rewind_requested_ = false;
      beats_processed_ = 0;
      normal_processed_ = 0;
      skip_next_output_ = false;
      // The rings were cleared; the samples just before the rewind point are read back into
      // them so that the first derivatives after it are the signal's and not a step from zero
      // (which a baseline offset would turn into a false beat).
      const int32_t history =
          std::clamp(ReadPosition() - rewind_samples_, int32_t{0}, int32_t{kDerivativeHistory});
      x0 = BeatEngineStepBack(rewind_samples_ + history);
      for (int32_t k = 0; k < history; ++k) {
        const int slot = LiveSlot(kLiveFirst + rings_.writer - history + k);
        rings_.raw[0][slot] = x0;
        rings_.raw[1][slot] = BeatEngineNextSample(1);
        MirrorSlot(rings_.raw[0], slot);
        MirrorSlot(rings_.raw[1], slot);
        BeatEngineNextSample(2);
        x0 = BeatEngineNextSample(0);
      }
      x1 = BeatEngineNextSample(1);
      BeatEngineNextSample(2);
      since_processed_ = 0;
    } else {
      x0 = BeatEngineNextSample(0);
      if (finished_) break;  // nothing more to read; the last beat waits for an interval forever
      x1 = BeatEngineNextSample(1);
      BeatEngineNextSample(2);
    }
    const int slot = kLiveFirst + rings_.writer;
    rings_.raw[0][slot] = x0;
    rings_.raw[1][slot] = x1;
    rings_.writer = rings_.writer == kLiveCount - 1 ? 0 : rings_.writer + 1;

    if (since_last_detection_ < std::numeric_limits<int32_t>::max()) ++since_last_detection_;
    if (since_last_detection_ > kLeadResetGap) det.levels.lead_mode = 3;
    if (sample_counter_ < std::numeric_limits<int32_t>::max()) ++sample_counter_;
    if (samples_since_adaptation_ < std::numeric_limits<int32_t>::max()) ++samples_since_adaptation_;

    int32_t detection = det.BeatEngineDetectQRS(rings_);
    if (det.retrigger) {
      det.retrigger = 0;
      det.levels.beat_peak = {};
      det.levels.since_detection = 0;
      det.found = 0;
      detection = LiveSlot(det.index - 3);
      det.tracking_best = 0;
    }
    if (since_processed_ < std::numeric_limits<int32_t>::max()) ++since_processed_;

    if (detection != -1) {
      if (det.levels.windows_seen >= QrsDetector::kWarmupWindows) detector_started_ = true;
      fiducial_ = detection + 3;
      pending_ = true;
      wait_ = 0;
      since_last_detection_ = 0;
    } else if (!pending_) {
      continue;
    }
    if (!detector_started_) continue;
    if (wait_ < kProcessDelay) {
      ++wait_;
      if (det.tracking) det.BeatEngineTrackPeak();
      continue;
    }
    ProcessBeat();
  }
}

void BeatEngine::ProcessBeat() {
  pending_ = false;
  wait_ = 0;
  taken_back_ = false;

  current_.fiducial = fiducial_;
  for (int c = 0; c < kChannels; ++c) {
    current_.extreme[static_cast<size_t>(c)] = FindFiducialExtremeDeriv(fiducial_, c);
    const Match m = learn_.complete ? MatchReferenceShape(c) : MatchFirstLearningBeat(c);
    cur_[static_cast<size_t>(c)].correlation = m.correlation;
    current_.offset[static_cast<size_t>(c)] = m.offset;
  }

  // The re-analysis after a rewind ends where learning ended; a beat found one sample off (or
  // missed) must not keep it running for the rest of the recording.
  if (reanalysis_ && current_position_ >= learn_.last_accepted_position - 1) reanalysis_ = false;

  interval_before_a_ = pre_ms_;
  pre_ms_ = post_ms_;
  const int32_t now_ms = ReadPosition() * kMsPerSample;
  post_ms_ = now_ms - last_processed_ms_;
  last_processed_ms_ = now_ms;

  MeasureBeat();
  SelectDetectionLead();
  if (!learn_.complete) {
    LearnStep();
    since_processed_ = 0;
    return;
  }

  quality_flag_ = false;
  for (int c = 0; c < kChannels; ++c) {
    const ChannelValues& v = b_[static_cast<size_t>(c)];
    if (v.noise_score > 6 || v.amplitude <= 100 || noise_mark1_[static_cast<size_t>(c)] ||
        noise_mark2_[static_cast<size_t>(c)])
      quality_flag_ = true;
  }
  const int16_t result = BeatEngineClassifyBeat();
  ++beats_processed_;
  if (result == kResultNormal) ++normal_processed_;
  OutputBeat(result);
  ApplyRhythmRules(result);
  UpdateRegularRhythm(result);
  UpdateClassHistory(result);
  if (!reanalysis_) SuperviseRelearning(quality_flag_);
  since_processed_ = 0;
}

void BeatEngine::OutputBeat(int16_t result) {
  int32_t delay = 0;
  if (!skip_next_output_) {
    delay = detector_.index - fiducial_ + 3;
    if (delay <= 0) delay += kLiveCount;
    delay += since_processed_;
    if (result == kResultNormal) {
      if (prev_extreme_offset_[0] >= reference_offset_[0] + 4 &&
          cur_[0].correlation >= cur_[1].correlation) {
        delay -= prev_extreme_offset_[0] + prev_shift_[0];
      } else if (prev_extreme_offset_[1] >= reference_offset_[1] + 4 &&
                 cur_[0].correlation < cur_[1].correlation) {
        delay -= prev_extreme_offset_[1] + prev_shift_[1];
      }
    }
  }
  for (int c = 0; c < kChannels; ++c) {
    prev_extreme_offset_[static_cast<size_t>(c)] = current_.extreme[static_cast<size_t>(c)] - fiducial_;
    prev_shift_[static_cast<size_t>(c)] = shift_[static_cast<size_t>(c)];
  }
  if (skip_next_output_) {
    skip_next_output_ = false;
    beat_written_ = false;
    return;
  }
  if (delay <= 0) delay += kLiveCount;

  const int32_t flag = channel_noisy_[0] ? 1 : channel_noisy_[1] ? 2 : 0;
  const int32_t n = assignment_.n;
  const int32_t v = assignment_.v;
  int32_t family = 0;
  int32_t tmpl = -1;
  int32_t out_flag = 0;
  if (n > 0 && v != -1 && beats_processed_ > 1) {
    family = EngineTemplates::kNormal;
    tmpl = n - 1;
    out_flag = flag;
  } else if (n != 0) {
  } else if (!assignment_.refused && v > 0) {
    family = EngineTemplates::kVentricular;
    tmpl = v - 1;
  } else if (v != 0 || channel_noisy_[0] || channel_noisy_[1]) {
    family = EngineTemplates::kArtefact;
    tmpl = 0;
  }
  beat_written_ = BeatEngineAddBeat(delay, KindOfResult(result), family, tmpl, out_flag);
}

bool BeatEngine::BeatEngineAddBeat(int32_t delay, int32_t kind, int32_t family,
                                   int32_t template_class, int32_t flag) {
  current_position_ = ReadPosition();
  const int32_t position = current_position_ - delay;
  if (position <= last_appended_) {
    ++refusals_;
    return false;
  }
  last_appended_ = position;
  const uint8_t beat_class = ClassOfKind(kind);
  if (beat_class == 0) return false;
  beats_.Append({position, beat_class});

  HistoryEntry entry;
  if (family >= 1 && family <= 3) {
    if (EngineTemplates::IsValid(family, template_class)) {
      std::vector<int32_t>& list = templates_.List(family, template_class);
      list.push_back(beats_.GetSize() - 1);
      TemplateStats& stats = templates_.Stats(family, template_class);
      if (kind == 0) ++stats.normal;
      if (kind == 1) ++stats.ventricular;
      if (kind == 3) ++stats.artefact;
      if (flag != 0) ++stats.flagged;
      entry = {family, template_class, static_cast<int32_t>(list.size()) - 1};
    } else {
      ++refusals_;
    }
  }
  beat_history_.push_back(entry);
  flag_history_.push_back(flag);
  if (beat_history_.size() > kHistory) beat_history_.pop_front();
  if (flag_history_.size() > kHistory) flag_history_.pop_front();
  return true;
}

bool BeatEngine::BeatEngineUndoBeat(int16_t n) {
  const int32_t last = beats_.GetSize() - 1;
  if (n > 0 || n < -1 || (n == 0 && last < 0) || (n == -1 && last < 1)) {
    ++refusals_;
    return false;
  }
  const int32_t target = last + n;
  const size_t back = static_cast<size_t>(-n);
  if (beat_history_.size() > back) {
    const size_t at = beat_history_.size() - 1 - back;
    const HistoryEntry h = beat_history_[at];
    const int32_t flag = at < flag_history_.size() ? flag_history_[at] : 0;
    if (h.family != 0 && EngineTemplates::IsValid(h.family, h.template_class)) {
      std::vector<int32_t>& list = templates_.List(h.family, h.template_class);
      // The recorded place, unless an undo before it moved the entry; then the entry itself.
      auto it = list.end();
      if (h.index >= 0 && h.index < static_cast<int32_t>(list.size()) && list[static_cast<size_t>(h.index)] == target) {
        it = list.begin() + h.index;
      } else {
        it = std::find(list.begin(), list.end(), target);
      }
      if (it != list.end()) list.erase(it);
      TemplateStats& stats = templates_.Stats(h.family, h.template_class);
      const uint8_t beat_class = beats_.GetAt(target).beat_class;
      if (beat_class == 1 && stats.normal > 0) --stats.normal;
      if (beat_class == 5 && stats.artefact > 0) --stats.artefact;
      if (beat_class == 15 && stats.ventricular > 0) --stats.ventricular;
      if (flag != 0 && stats.flagged > 0) --stats.flagged;
    }
    beat_history_.erase(beat_history_.begin() + static_cast<std::ptrdiff_t>(at));
    if (at < flag_history_.size()) flag_history_.erase(flag_history_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  if (n == -1) {
    // Entries are appended in beat order, so only list tails can name the last beat.
    for (int family = 1; family <= 3; ++family) {
      for (int cls = 0; cls < EngineTemplates::kClasses; ++cls) {
        std::vector<int32_t>& list = templates_.List(family, cls);
        for (auto it = list.rbegin(); it != list.rend() && *it > last - 1; ++it) --*it;
      }
    }
  }
  beats_.RemoveAt(target);
  return true;
}

void BeatEngine::ApplyRhythmRules(int16_t result) {
  const int32_t a = pre_ms_;
  const int32_t p = post_ms_;
  const int32_t r1 = r1_ms_;
  const int32_t r2 = r2_ms_;
  const int16_t previous = class_history_[2];
  const bool short_interval = a > 0 && a <= 300;
  const int32_t d1 = Abs32(r1 - p - a);
  const int32_t d2 = Abs32(r2 - p - a);
  const int32_t d_mean = Abs32((r1 + r2) / 2 - p - a);

  // A beat that was refused by the output cannot be taken back without taking an older one.
  auto take_back = [&] {
    if (beat_written_) BeatEngineUndoBeat(0);
    taken_back_ = true;
  };

  if (d1 <= r1 / 10 && result == kResultVentricular && (marks_.plateau[0] || marks_.plateau[1])) {
    take_back();
    return;
  }
  if ((d1 <= r1 / 5 || d2 <= r2 / 5 || d_mean <= (r1 + r2) / 10) && marks_.doubtful) {
    take_back();
    return;
  }
  if ((d1 <= r1 / 5 || d2 <= r2 / 5) && marks_.small_beat) {
    bool back = result == kResultArtefact;
    if (result == kResultNormal || result == kResultVentricular) {
      for (int c = 0; c < kChannels; ++c)
        if (written_correlation_[static_cast<size_t>(c)] < 3600 &&
            !written_small_amplitude_[static_cast<size_t>(c)])
          back = true;
    }
    if (back) {
      take_back();
      return;
    }
  }
  if (marks_.diminutive && 2 * a > p && result == kResultArtefact) {
    take_back();
    return;
  }
  if (d1 <= r1 / 10 && result == kResultArtefact) {
    take_back();
    return;
  }
  if (d1 > r1 / 10 && result == kResultArtefact && previous == kResultNormal && short_interval) {
    take_back();
    return;
  }
  if (result == kResultNormal && beat_written_) {
    if (previous == kResultArtefact && short_interval) {
      BeatEngineUndoBeat(-1);
    } else if (previous == kResultVentricular && a > 0 && a <= 250 && r1 > 600) {
      BeatEngineUndoBeat(-1);
    }
  }
  if (marks_.quiet_after && previous != kTakenBack && !marks_.spike[0] && !marks_.spike[1] &&
      (result == kResultVentricular || result == kResultArtefact) && beat_written_) {
    take_back();
  }
}

void BeatEngine::UpdateRegularRhythm(int16_t result) {
  const int32_t a = pre_ms_;
  const int16_t previous = class_history_[2];
  auto paced = [](int16_t c) { return c == kResultNormal || c == kResultVentricular; };
  bool holds = b_[0].noise_score < 7 && b_[1].noise_score < 7 &&
               (b_[0].amplitude > 100 || b_[1].amplitude > 100) && a > 0 && a < 500 &&
               r2_ms_ > 0 && r2_ms_ < 500 && r1_ms_ > 0 && r1_ms_ < 500 && paced(result) &&
               paced(previous);
  for (int c = 0; c < kChannels; ++c)
    if (noise_mark1_[static_cast<size_t>(c)] || noise_mark2_[static_cast<size_t>(c)]) holds = false;
  if (!holds) {
    detector_.regular_rhythm = 0;
    detector_.early_window = QrsDetector::kEarlyWindow;
    return;
  }
  const int32_t m = (r1_ms_ + a) / 2;
  const int32_t tolerance = m * 20 / 100;
  auto within = [&](int32_t x) { return x >= m - tolerance && x <= m + tolerance; };
  if (within(a) && within(r1_ms_)) {
    detector_.regular_rhythm = 1;
    detector_.early_window = QrsDetector::kEarlyWindowRegular;
  }
}

void BeatEngine::UpdateClassHistory(int16_t result) {
  class_history_[0] = class_history_[1];
  class_history_[1] = class_history_[2];
  amplitude_history_[0] = amplitude_history_[1];
  amplitude_history_[1] = amplitude_history_[2];
  amplitude_history_[2] = {b2_[0].amplitude, b2_[1].amplitude};
  not_taken_back_ = !taken_back_;
  if (taken_back_) {
    class_history_[2] = kTakenBack;
    undo_guard_ = -4;
  } else {
    class_history_[2] = result;
    ++undo_guard_;
    if (undo_guard_ >= -1) undo_guard_ = 0;
  }
  if (undo_guard_ == 0) {
    r2_ms_ = r1_ms_;
    r1_ms_ = pre_ms_;
  }
}
