#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

#include "analysis/engine/engine_beat_list.h"
#include "analysis/engine/engine_math.h"
#include "analysis/engine/engine_templates.h"
#include "analysis/engine/qrs_detector.h"
#include "platform/ids.h"

class BeatSampleSource;
class BeatEngineOutput;

// The built-in beat analysis engine: turns the two analysed leads of a recording (125 samples per
// second) into classified beats with template classes. One object holds the whole engine state;
// the program keeps one (BeatEngine::Process()) and runs at most one analysis at a time on it,
// tests make their own. BeatEngineInit resets every field, so a run never depends on an earlier
// one.
//
// Threads: BeatEngineInit on the starting thread, then BeatEngineRun on one worker thread, which
// owns the state until it returns. While it runs, other threads may only call RequestStop and
// read the atomic progress values (IsRunning, MinutesReported, the beat counts).
class BeatEngine {
 public:
  static constexpr const char* kVersion = kBuiltInEngineVersion;
  static constexpr int kHistory = 50;
  static constexpr int kMaxClasses = EngineTemplates::kClasses;

  // Classifier results.
  static constexpr int16_t kResultNormal = 1;
  static constexpr int16_t kResultVentricular = 5;
  static constexpr int16_t kResultArtefact = 50;
  static constexpr int16_t kTakenBack = 1000;

  BeatEngine();
  ~BeatEngine();
  BeatEngine(const BeatEngine&) = delete;
  BeatEngine& operator=(const BeatEngine&) = delete;

  // The program's one engine.
  static BeatEngine& Process();

  // Resets the whole state for a run over source, delivering into output (either may be null in
  // tests that drive the pieces directly).
  void BeatEngineInit(BeatSampleSource* source, BeatEngineOutput* output);
  // The worker's body: reads the recording to its end or to a stop request. Returns true when the
  // recording was read to its end (consolidated and delivered), false when stopped. A read fault
  // of the source propagates (platform::IoError) with nothing delivered.
  bool BeatEngineRun();

  void RequestStop() { stop_.store(true); }
  [[nodiscard]] bool StopRequested() const { return stop_.load(); }
  [[nodiscard]] bool IsRunning() const { return running_.load(); }
  [[nodiscard]] int32_t MinutesReported() const { return minutes_reported_.load(); }
  [[nodiscard]] int32_t NormalCount() const { return beats_.Count(1); }
  [[nodiscard]] int32_t VentricularCount() const { return beats_.Count(15); }

  // --- Sample source ---
  // Channel 0, 1 or 2; reading channel 2 advances the read position. -1 when exhausted.
  int16_t BeatEngineNextSample(int16_t channel);
  // Moves the read position back by n samples; returns the lead-0 sample there (-1 before the start).
  int16_t BeatEngineStepBack(int32_t n);

  // --- Beat output ---
  // Appends one beat delay samples before the read position. Returns false (and counts a refusal)
  // when nothing was written.
  bool BeatEngineAddBeat(int32_t delay, int32_t kind, int32_t family, int32_t template_class,
                         int32_t flag);
  // Takes back the last beat (n = 0) or the one before it (n = -1).
  bool BeatEngineUndoBeat(int16_t n);

  // Results, valid after a run (or on the worker thread).
  [[nodiscard]] const EngineBeatList& Beats() const { return beats_; }
  [[nodiscard]] const EngineTemplates& Templates() const { return templates_; }
  EngineTemplates& Templates() { return templates_; }
  [[nodiscard]] int32_t Refusals() const { return refusals_; }
  [[nodiscard]] int32_t LearningPasses() const { return learning_passes_; }
  [[nodiscard]] int32_t WantedLearningBeats() const { return learn_.wanted; }
  [[nodiscard]] bool LearningComplete() const { return learn_.complete; }
  [[nodiscard]] int32_t ReadPosition() const { return minute_ * beat_engine::kSamplesPerMinute + sample_; }

  // A shape match: signed squared correlation x 10000 and the alignment offset found.
  struct Match {
    int32_t correlation = 0;
    int32_t offset = 0;
  };

  // --- Template assignment (direct use in tests) ---
  struct Assignment {
    int32_t n = -1;  // normal-group class, 1-based; 0 other group; -1 none
    int32_t v = -1;  // other-group class, 1-based; 0 normal group; -1 none
    bool refused = false;
  };
  struct BeatFeatures {
    std::array<int32_t, 2> correlation{};
    std::array<int32_t, 2> amplitude{};
    std::array<int32_t, 2> noise_score{};
    std::array<bool, 2> noise_mark{};
    double prematurity = 1.0;
  };
  // Assigns a beat with the given features and the stored beat's shapes to a template class.
  Assignment AssignTemplateClassFor(const BeatFeatures& beat);
  [[nodiscard]] int32_t NormalClassCount() const { return static_cast<int32_t>(normal_group_.size()); }
  [[nodiscard]] int32_t OtherClassCount() const { return static_cast<int32_t>(other_group_.size()); }

  // The end-of-run consolidation over what the run has written.
  void ConsolidateTemplates();

 private:
  // One channel of one beat's measurements.
  struct ChannelValues {
    int32_t correlation = 0;
    int32_t baseline = 0;
    int32_t maximum = 0;
    int32_t minimum = 0;
    int32_t amplitude = 0;
    int32_t noise_score = 0;
    bool small_amplitude = false;
  };
  // The windows of one beat kept for shape comparisons after the rings have moved on.
  struct BeatWindows {
    beat_engine::ShapePair raw{};
    beat_engine::ShapePair deriv{};
    int32_t fiducial = 0;
    std::array<int32_t, 2> extreme{};
    std::array<int32_t, 2> offset{};
  };
  struct TemplateClass {
    beat_engine::ShapePair shape{};
    std::array<int32_t, 2> fiducial{};
    std::array<int32_t, 2> amplitude{};
    double prematurity = 0.0;
    int32_t count = 0;
    std::array<double, 2> amplitude_sum{};
  };
  struct LearningState {
    int32_t wanted = 16;
    int32_t learned = 0;
    int32_t attempts = 0;
    int32_t rejected = 0;
    int32_t failed_passes = 0;
    std::array<beat_engine::ShapePair, 16> shapes{};
    std::array<int32_t, 16> positions{};
    std::array<int64_t, 2> amplitude_sum{};
    bool complete = false;
    int32_t first_fiducial = 0;          // fiducial slot of the first learning beat
    std::array<int32_t, 2> first_extreme{};
    int32_t pass_start_position = 0;     // read position at the pass's first beat
    int32_t last_accepted_position = 0;  // read position when the last learning beat was accepted
    beat_engine::DetectorLevels saved_levels;
    std::array<int32_t, 2> saved_noise_level{};
  };
  struct ClassifierMarks {
    bool quiet_after = false;
    std::array<bool, 2> spike{};
    std::array<bool, 2> plateau{};
    bool small_beat = false;
    bool diminutive = false;
    bool doubtful = false;
    bool mismatch_first = false;
    bool mismatch_second = false;
    bool mismatch_both = false;
    bool similar = false;
    bool huge = false;
  };

  void ResetState();
  void RunLoop();
  void ProcessBeat();
  void ReadSamples();
  void LoadMinute(int32_t minute, bool report_markers);

  // Measurement and learning.
  int32_t FindFiducialExtremeDeriv(int32_t fiducial, int channel);
  int32_t FindFiducialExtremeShape(const beat_engine::Shape& shape, int32_t fiducial, int& polarity);
  Match MatchReferenceShape(int channel);
  Match MatchFirstLearningBeat(int channel);
  Match MatchOtherClass(int template_class, int channel);
  int32_t CompareShapes(const beat_engine::Shape& a, int32_t fa, const beat_engine::Shape& b,
                        int32_t fb) const;
  void BaselineAndExtremes(int channel, int32_t& baseline, int32_t& maximum, int32_t& minimum) const;
  int32_t CountSlopeReversals(int channel) const;
  void MeasureBeat();
  void SelectDetectionLead();
  void LearnStep();
  void FindReferenceExtremes();
  void DiscardLearning();
  void SuperviseRelearning(bool quality_flag);
  Assignment AssignTemplateClass();

  // Classification.
  int16_t BeatEngineClassifyBeat();
  bool CleanSimilar(const std::array<int32_t, 2>& noise, const std::array<int32_t, 2>& amplitude,
                    const std::array<bool, 2>& marked, const std::array<int32_t, 2>& corr) const;
  int16_t GroupZeroRules();
  int16_t GroupOneRules();
  int16_t GroupTwoRules();
  bool PlateauOnChannel(int channel) const;
  void AdaptReference(int16_t result);

  // Output and rhythm.
  void OutputBeat(int16_t result);
  void ApplyRhythmRules(int16_t result);
  void UpdateRegularRhythm(int16_t result);
  void UpdateClassHistory(int16_t result);

  // --- Run control ---
  BeatSampleSource* source_ = nullptr;
  BeatEngineOutput* output_ = nullptr;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<int32_t> minutes_reported_{0};
  bool finished_ = false;
  int analysed_channels_ = 2;

  // --- Sample source ---
  int32_t minute_ = 0;
  int32_t sample_ = 0;
  int32_t whole_minutes_ = 0;
  std::array<std::vector<int16_t>, 2> blocks_;
  int32_t loaded_minute_ = -1;
  bool reread_ = false;
  int32_t reread_minute_ = 0;

  // --- Beat output ---
  EngineBeatList beats_;
  EngineTemplates templates_;
  int32_t last_appended_ = 0;
  int32_t current_position_ = 0;
  struct HistoryEntry {
    int32_t family = 0;
    int32_t template_class = -1;
    int32_t index = -1;
  };
  std::deque<HistoryEntry> beat_history_;
  std::deque<int32_t> flag_history_;
  int32_t refusals_ = 0;

  // --- Main loop bookkeeping ---
  beat_engine::SampleRings rings_;
  beat_engine::QrsDetector detector_;
  int32_t sample_counter_ = 0;
  int32_t since_last_detection_ = 0;
  // Kept in 32 bits: after minutes without a beat the written position must still be exact.
  int32_t since_processed_ = 0;
  bool pending_ = false;
  int32_t fiducial_ = 0;
  int16_t wait_ = 0;
  bool detector_started_ = false;
  int32_t last_processed_ms_ = 0;
  int32_t post_ms_ = 0;
  int32_t pre_ms_ = 0;
  int32_t r1_ms_ = 0;
  int32_t r2_ms_ = 0;
  int16_t undo_guard_ = 0;
  std::array<int16_t, 3> class_history_{1, 1, 0};  // oldest, middle, newest
  std::array<std::array<int32_t, 2>, 3> amplitude_history_{};
  bool skip_next_output_ = true;
  bool beat_written_ = false;
  bool taken_back_ = false;
  int32_t beats_processed_ = 0;
  int32_t normal_processed_ = 0;
  bool rewind_requested_ = false;
  int32_t rewind_samples_ = 0;
  bool reanalysis_ = false;
  int32_t samples_since_adaptation_ = 0;
  int32_t learning_passes_ = 0;

  // --- Current beat (just detected), the beat being classified (B) and the one before (B') ---
  BeatWindows current_;
  BeatWindows stored_;  // B's windows
  std::array<ChannelValues, 2> cur_{};
  std::array<ChannelValues, 2> b_{};
  std::array<ChannelValues, 2> b2_{};
  std::array<int32_t, 2> shift_{};            // alignment shift of the newest match
  std::array<int32_t, 2> prev_extreme_offset_{};  // written beat's extreme - fiducial
  std::array<int32_t, 2> prev_shift_{};
  std::array<int32_t, 2> b_offset_{};         // B's alignment offsets

  // Per-channel marks of the latest measurement.
  std::array<bool, 2> jump_prev_{};   // |b1 - b2| above 250
  std::array<bool, 2> jump_next_{};   // |b0 - b1| above 250
  std::array<bool, 2> step_mark_{};
  std::array<bool, 2> noise_mark1_{};
  std::array<bool, 2> noise_mark2_{};
  std::array<bool, 2> level_shift_{};
  std::array<int32_t, 2> noise_level_{};
  std::array<int32_t, 2> slow_baseline_{};
  std::array<std::array<bool, 3>, 2> small_history_{};  // last three classified beats, newest last
  std::array<bool, 2> latch_{};
  int32_t normal_run_ = 0;

  // --- Learning ---
  LearningState learn_;
  std::array<int32_t, 2> polarity_{};
  beat_engine::ShapePair reference_{};
  std::array<int32_t, 2> reference_extreme_{};
  std::array<int32_t, 2> reference_offset_{};
  std::array<int32_t, 2> mean_amplitude_{};
  bool first_beat_ = true;

  // --- Classification state ---
  ClassifierMarks marks_;
  int16_t last_result_ = 1;
  bool h_prev_ = true;
  bool h_b_ = true;  // B's own clean-similar flag
  bool h_next_ = true;
  bool not_taken_back_ = true;
  double q_ = 1.0;
  double prev_q_ = 1.0;
  int32_t interval_before_a_ = 0;
  std::array<int32_t, 2> k_corr_{};
  std::array<int32_t, 2> k2_corr_{};
  std::array<int32_t, 2> normal_amp_{};
  std::array<int32_t, 2> normal_amp_prev_{};
  bool have_normal_ = false;
  int32_t ventricular_run_ = 0;
  std::array<bool, 2> channel_noisy_{};
  Assignment assignment_;
  bool quality_flag_ = false;
  int32_t group_ = 0;
  // Features of B for the rule cascade.
  struct Features {
    std::array<int32_t, 2> c{}, cn{}, n{}, a{}, m{}, e{}, g{}, s{}, l{};
    std::array<double, 2> d{}, dd{};
    std::array<bool, 2> marked{};
    double q = 1.0;
    int32_t A = 0, P = 0;
  } f_;
  // Correlations of B kept for the rhythm rules after the values have moved on.
  std::array<int32_t, 2> written_correlation_{};
  std::array<bool, 2> written_small_amplitude_{};

  // --- Relearning supervisor ---
  std::array<int32_t, 6> trigger_run_{};

  // --- Template groups ---
  std::vector<TemplateClass> normal_group_;
  std::vector<TemplateClass> other_group_;
  int32_t match_parameter_ = 90;
};
