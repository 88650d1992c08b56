#include "support/ecg_synthesizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/archive.h"

namespace testsupport {
namespace {

constexpr double kMsPerSample = 1000.0 / kSampleRateHz;
constexpr int kMaxMinutes = 72 * 60;
constexpr int kMaxOldMinutes = 24 * 60;  // readers index at most 1440 old-format blocks
constexpr double kUvPerUnit = 5.0;
// Samples before and after a beat's peak that its waves can reach (P at -160 ms, T up to ~700 ms).
constexpr int32_t kReachBefore = 40;
constexpr int32_t kReachAfter = 100;
constexpr double kSpikeLeadMs = 48.0;

// splitmix64: small, fast, and the same on every platform (the standard distributions are not).
uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    return Mix(state_);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  double Gauss() {
    const double u1 = std::max(Uniform(), 1e-300);
    const double u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
  }

 private:
  uint64_t state_;
};

// Unit-variance noise for one sample, from the sample's own index so that any minute can be
// rendered alone: four 16-bit uniforms summed (close enough to Gaussian for test noise).
double SampleNoise(uint64_t key, uint64_t index) {
  const uint64_t h = Mix(key ^ (index * 0xD1B54A32D192ED03ull));
  const double sum = static_cast<double>(h & 0xFFFF) + static_cast<double>((h >> 16) & 0xFFFF) +
                     static_cast<double>((h >> 32) & 0xFFFF) + static_cast<double>(h >> 48);
  return (sum / 65536.0 - 2.0) * 1.7320508075688772;  // sqrt(3): the sum's variance is 1/3
}

enum class BeatType { kNormal, kSves, kVes, kPaced };

struct PlannedBeat {
  int32_t position;
  BeatType type;
  float rr_ms;      // interval from the beat before, sets the T wave's delay
  float amplitude;  // beat-to-beat size factor
};

struct Wave {
  double amplitude_uv;
  double center_ms;
  double sigma_ms;
};

// A wave shape sampled at whole samples around a reference point.
struct Stamp {
  int32_t first = 0;  // offset of values[0] from the reference sample
  std::vector<float> values;
};

Stamp MakeStamp(std::initializer_list<Wave> waves) {
  double lo = 0.0;
  double hi = 0.0;
  for (const Wave& w : waves) {
    lo = std::min(lo, w.center_ms - 4.0 * w.sigma_ms);
    hi = std::max(hi, w.center_ms + 4.0 * w.sigma_ms);
  }
  Stamp stamp;
  stamp.first = static_cast<int32_t>(std::floor(lo / kMsPerSample));
  const int32_t last = static_cast<int32_t>(std::ceil(hi / kMsPerSample));
  for (int32_t k = stamp.first; k <= last; ++k) {
    double v = 0.0;
    for (const Wave& w : waves) {
      const double t = k * kMsPerSample - w.center_ms;
      v += w.amplitude_uv * std::exp(-t * t / (2.0 * w.sigma_ms * w.sigma_ms));
    }
    stamp.values.push_back(static_cast<float>(v));
  }
  return stamp;
}

// Per beat type and channel: P and QRS around the peak; T around its own peak.
struct Morphology {
  Stamp complex;
  Stamp t_wave;
  double spike_uv = 0.0;  // paced beats only
};

std::array<std::array<Morphology, 3>, 4> BuildMorphologies() {
  std::array<std::array<Morphology, 3>, 4> m;
  auto& normal = m[static_cast<int>(BeatType::kNormal)];
  normal[0] = {MakeStamp({{150, -160, 22}, {-120, -32, 9}, {1300, 0, 9}, {-350, 30, 10}}), MakeStamp({{320, 0, 45}})};
  normal[1] = {MakeStamp({{110, -160, 22}, {-60, -32, 9}, {950, 0, 10}, {-480, 28, 10}}), MakeStamp({{260, 0, 45}})};
  normal[2] = {MakeStamp({{70, -160, 20}, {380, -4, 8}, {-1000, 22, 11}}), MakeStamp({{160, 0, 50}})};
  auto& sves = m[static_cast<int>(BeatType::kSves)];
  sves[0] = {MakeStamp({{-110, -120, 18}, {-120, -32, 9}, {1300, 0, 9}, {-350, 30, 10}}), normal[0].t_wave};
  sves[1] = {MakeStamp({{-70, -120, 18}, {-60, -32, 9}, {950, 0, 10}, {-480, 28, 10}}), normal[1].t_wave};
  sves[2] = {MakeStamp({{90, -120, 18}, {380, -4, 8}, {-1000, 22, 11}}), normal[2].t_wave};
  auto& ves = m[static_cast<int>(BeatType::kVes)];
  ves[0] = {MakeStamp({{1700, 0, 24}, {-450, 64, 22}}), MakeStamp({{-550, 0, 65}})};
  ves[1] = {MakeStamp({{-1400, 0, 26}, {300, 60, 20}}), MakeStamp({{480, 0, 65}})};
  ves[2] = {MakeStamp({{1350, 8, 28}}), MakeStamp({{-420, 0, 65}})};
  auto& paced = m[static_cast<int>(BeatType::kPaced)];
  paced[0] = {MakeStamp({{1400, 0, 24}, {-300, 60, 20}}), MakeStamp({{-420, 0, 60}}), 900};
  paced[1] = {MakeStamp({{-1200, 0, 26}}), MakeStamp({{350, 0, 60}}), -700};
  paced[2] = {MakeStamp({{1100, 6, 26}}), MakeStamp({{-300, 0, 60}}), 600};
  return m;
}

// Delay of the T peak after the R peak; the QT interval shortens with the rate.
double TDelayMs(BeatType type, double rr_ms) {
  const double root = std::sqrt(std::clamp(rr_ms, 250.0, 2500.0) / 1000.0);
  if (type == BeatType::kVes || type == BeatType::kPaced) return std::clamp(330.0 * root, 240.0, 420.0);
  return std::clamp(280.0 * root, 200.0, 360.0);
}

int32_t MsToSamples(double ms) { return static_cast<int32_t>(std::lround(ms / kMsPerSample)); }

struct Plan {
  std::vector<PlannedBeat> beats;
  std::vector<TruthEvent> pauses;
};

// The rhythm: sinus beats with variability, premature beats, pauses.
Plan PlanBeats(const SynthOptions& o, int32_t total_samples) {
  Random rng(Mix(o.seed ^ 0x5EED0001ull));
  Plan plan;
  const double rr_mean = 60000.0 / o.heart_rate_bpm;
  const double end_ms = (total_samples - kReachAfter) * kMsPerSample;
  // Each step writes a sinus beat, or an ectopic beat and the sinus beat after it: these
  // probabilities give the asked shares of all beats.
  const double per_step = 1.0 / (1.0 - o.ves_fraction - o.sves_fraction);
  const double p_ves = o.ves_fraction * per_step;
  const double p_sves = o.sves_fraction * per_step;
  // Pauses come at random times, so many per hour of recording whatever the rhythm does.
  auto next_pause_after = [&](double t) {
    if (o.pauses_per_hour <= 0.0) return 1e300;
    return t - std::log(std::max(rng.Uniform(), 1e-12)) * 3.6e6 / o.pauses_per_hour;
  };
  const double rsa_phase = rng.Uniform() * 2.0 * std::numbers::pi;
  double drift = 0.0;

  auto next_rr = [&](double t) {
    drift = 0.95 * drift + 0.6 * o.hrv_sd_ms * std::sqrt(1.0 - 0.95 * 0.95) * rng.Gauss();
    const double breathing = o.hrv_sd_ms * std::sin(2.0 * std::numbers::pi * 0.25 * t / 1000.0 + rsa_phase);
    const double rr = rr_mean + breathing + drift + 0.3 * o.hrv_sd_ms * rng.Gauss();
    return std::max({rr, 0.4 * rr_mean, 300.0});
  };
  auto add = [&](double t, BeatType type, double rr) {
    const float amplitude = static_cast<float>(std::clamp(1.0 + 0.03 * rng.Gauss(), 0.9, 1.1));
    plan.beats.push_back({MsToSamples(t), type, static_cast<float>(rr), amplitude});
  };
  auto sinus = [&]() { return rng.Uniform() < o.paced_fraction ? BeatType::kPaced : BeatType::kNormal; };

  double t = 300.0 + 500.0 * rng.Uniform();
  add(t, sinus(), rr_mean);
  double pause_at = next_pause_after(t);
  while (true) {
    const double rr = next_rr(t);
    const double u = rng.Uniform();
    if (u < p_ves) {
      const double tv = t + rr * (0.55 + 0.1 * rng.Uniform());
      const double tn = t + 2.0 * rr;  // the blocked sinus beat leaves a compensatory pause
      if (tn >= end_ms) break;
      add(tv, BeatType::kVes, tv - t);
      add(tn, sinus(), tn - tv);
      t = tn;
    } else if (u < p_ves + p_sves) {
      const double ts = t + rr * (0.6 + 0.12 * rng.Uniform());
      const double tn = ts + next_rr(ts);  // the sinus node restarts from the premature beat
      if (tn >= end_ms) break;
      add(ts, BeatType::kSves, ts - t);
      add(tn, sinus(), tn - ts);
      t = tn;
    } else if (t >= pause_at) {
      pause_at = next_pause_after(t);
      const double tn = t + o.pause_ms * (0.9 + 0.2 * rng.Uniform());
      if (tn >= end_ms) break;
      const int32_t before = plan.beats.back().position;
      add(tn, sinus(), tn - t);
      plan.pauses.push_back({kKindPause, before, plan.beats.back().position});
      t = tn;
    } else {
      const double tn = t + rr;
      if (tn >= end_ms) break;
      add(tn, sinus(), rr);
      t = tn;
    }
  }
  return plan;
}

// Renders minutes of the planned beats; each minute is independent of the others.
class Renderer {
 public:
  Renderer(const SynthOptions& options, const Plan& plan) : o_(options), plan_(plan), morph_(BuildMorphologies()) {
    Random rng(Mix(options.seed ^ 0xBA5E11Eull));
    for (int c = 0; c < 3; ++c) {
      breath_phase_[c] = rng.Uniform() * 2.0 * std::numbers::pi;
      drift_phase_[c] = rng.Uniform() * 2.0 * std::numbers::pi;
      noise_key_[c] = Mix(options.seed ^ (0xC0FFEEull + static_cast<uint64_t>(c)));
    }
    for (const StEpisode& e : options.st_episodes) {
      st_.push_back({MsToSamples(e.start_ms), MsToSamples(e.end_ms), e.shift_uv, e.channel_mask});
    }
  }

  // Fills one minute per channel in 5-microvolt units; minutes come in ascending order.
  void Render(int minute, std::span<const std::span<int16_t>> out) {
    const int32_t start = minute * kSamplesPerMinute;
    for (int c = 0; c < o_.channels; ++c) std::fill(buffer_[c].begin(), buffer_[c].end(), 0.0f);

    while (first_beat_ < plan_.beats.size() && plan_.beats[first_beat_].position < start - kReachAfter) ++first_beat_;
    for (size_t i = first_beat_; i < plan_.beats.size(); ++i) {
      const PlannedBeat& beat = plan_.beats[i];
      if (beat.position >= start + kSamplesPerMinute + kReachBefore) break;
      const int32_t t_delay = MsToSamples(TDelayMs(beat.type, beat.rr_ms));
      for (int c = 0; c < o_.channels; ++c) {
        const Morphology& m = morph_[static_cast<int>(beat.type)][static_cast<size_t>(c)];
        Add(c, start, beat.position, m.complex, beat.amplitude);
        Add(c, start, beat.position + t_delay, m.t_wave, beat.amplitude);
        if (beat.type == BeatType::kPaced) {
          const int32_t at = beat.position - MsToSamples(kSpikeLeadMs) - start;
          if (at >= 0 && at < kSamplesPerMinute) buffer_[c][static_cast<size_t>(at)] += static_cast<float>(m.spike_uv);
        }
        const double shift = StShift(c, beat.position);
        if (shift != 0.0) AddPlateau(c, start, beat.position + MsToSamples(56.0), beat.position + t_delay + 10, shift);
      }
    }

    const double w_breath = 2.0 * std::numbers::pi * 0.25 / kSampleRateHz;
    const double w_drift = 2.0 * std::numbers::pi * 0.07 / kSampleRateHz;
    for (int c = 0; c < o_.channels; ++c) {
      // Baseline as two rotating phasors, started exactly at each minute so minutes stay independent.
      double b_re = std::cos(breath_phase_[c] + w_breath * start);
      double b_im = std::sin(breath_phase_[c] + w_breath * start);
      double d_re = std::cos(drift_phase_[c] + w_drift * start);
      double d_im = std::sin(drift_phase_[c] + w_drift * start);
      const double bc = std::cos(w_breath);
      const double bs = std::sin(w_breath);
      const double dc = std::cos(w_drift);
      const double ds = std::sin(w_drift);
      std::span<int16_t> target = out[static_cast<size_t>(c)];
      for (int32_t i = 0; i < kSamplesPerMinute; ++i) {
        double v = buffer_[c][static_cast<size_t>(i)];
        v += o_.baseline_uv * (b_im + 0.5 * d_im);
        if (o_.noise_uv > 0.0) v += o_.noise_uv * SampleNoise(noise_key_[c], static_cast<uint64_t>(start + i));
        target[static_cast<size_t>(i)] = static_cast<int16_t>(std::clamp(std::lround(v / kUvPerUnit), -4096L, 4094L));
        const double nb = b_re * bc - b_im * bs;
        b_im = b_re * bs + b_im * bc;
        b_re = nb;
        const double nd = d_re * dc - d_im * ds;
        d_im = d_re * ds + d_im * dc;
        d_re = nd;
      }
    }
  }

 private:
  struct StSpan {
    int32_t start;
    int32_t end;
    int shift_uv;
    int mask;
  };

  void Add(int c, int32_t start, int32_t reference, const Stamp& stamp, float scale) {
    const int32_t first = reference + stamp.first - start;
    const int32_t lo = std::max(0, -first);
    const int32_t hi = std::min(static_cast<int32_t>(stamp.values.size()), kSamplesPerMinute - first);
    float* row = buffer_[c].data();
    for (int32_t k = lo; k < hi; ++k) row[first + k] += scale * stamp.values[static_cast<size_t>(k)];
  }

  // ST shift from the J point to the end of T, with 32 ms raised-cosine ramps.
  void AddPlateau(int c, int32_t start, int32_t from, int32_t to, double shift_uv) {
    constexpr int32_t kRamp = 4;
    for (int32_t p = from; p <= to; ++p) {
      const int32_t i = p - start;
      if (i < 0 || i >= kSamplesPerMinute) continue;
      double weight = 1.0;
      const int32_t edge = std::min(p - from, to - p);
      if (edge < kRamp) weight = 0.5 - 0.5 * std::cos(std::numbers::pi * (edge + 0.5) / kRamp);
      buffer_[c][static_cast<size_t>(i)] += static_cast<float>(shift_uv * weight);
    }
  }

  double StShift(int c, int32_t position) const {
    double shift = 0.0;
    for (const StSpan& s : st_) {
      if ((s.mask & (1 << c)) != 0 && position >= s.start && position < s.end) shift += s.shift_uv;
    }
    return shift;
  }

  const SynthOptions& o_;
  const Plan& plan_;
  std::array<std::array<Morphology, 3>, 4> morph_;
  std::array<std::array<float, kSamplesPerMinute>, 3> buffer_{};
  std::array<double, 3> breath_phase_{};
  std::array<double, 3> drift_phase_{};
  std::array<uint64_t, 3> noise_key_{};
  std::vector<StSpan> st_;
  size_t first_beat_ = 0;
};

int ShownMinutes(const SynthOptions& o) { return static_cast<int>((static_cast<int64_t>(o.duration_s) + 59) / 60); }

// Renders, encodes and collects the truth; keeps the decoded samples when asked.
SyntheticEcg Synthesize(const SynthOptions& o, bool keep_samples) {
  CheckSynthOptions(o);
  SyntheticEcg result;
  result.minutes = ShownMinutes(o);
  const int written_minutes = result.minutes + (o.format == CmpFormat::kNew ? 1 : 0);
  const int32_t shown_samples = result.minutes * kSamplesPerMinute;
  const Plan plan = PlanBeats(o, written_minutes * kSamplesPerMinute);

  std::vector<CmpMarker> spikes;
  for (const PlannedBeat& beat : plan.beats) {
    if (beat.type != BeatType::kPaced) continue;
    const int32_t spike = beat.position - MsToSamples(kSpikeLeadMs);
    if (o.pacemaker_markers) spikes.push_back({CmpMarker::Type::kCode, 0, spike, 0});
    if (beat.position < shown_samples) result.truth.events.push_back({kClassPacemakerSpike, spike, spike});
  }
  for (const PlannedBeat& beat : plan.beats) {
    if (beat.position >= shown_samples) break;
    static constexpr uint8_t kClasses[] = {kClassNormal, kClassSves, kClassVes, kClassPaced};
    result.truth.beats.push_back({beat.position, kClasses[static_cast<int>(beat.type)]});
  }
  for (const TruthEvent& pause : plan.pauses) {
    if (pause.end < shown_samples) result.truth.events.push_back(pause);
  }
  for (const StEpisode& e : o.st_episodes) {
    const int32_t from = std::clamp(MsToSamples(e.start_ms), 0, shown_samples);
    const int32_t to = std::clamp(MsToSamples(e.end_ms), 0, shown_samples);
    if (to <= from) continue;
    for (int c = 0; c < o.channels; ++c) {
      if ((e.channel_mask & (1 << c)) != 0) result.truth.events.push_back({static_cast<uint8_t>(kKindStEpisode1 + c), from, to});
    }
  }
  std::stable_sort(result.truth.events.begin(), result.truth.events.end(),
                   [](const TruthEvent& a, const TruthEvent& b) { return a.start < b.start; });

  Renderer renderer(o, plan);
  CmpWriter writer(o.format, o.channels);
  const size_t channels = static_cast<size_t>(o.channels);
  std::vector<std::vector<int16_t>> minute(channels, std::vector<int16_t>(kSamplesPerMinute));
  std::vector<std::vector<int16_t>> decoded(channels, std::vector<int16_t>(kSamplesPerMinute));
  std::vector<std::span<int16_t>> minute_out(minute.begin(), minute.end());
  std::vector<std::span<const int16_t>> minute_in(minute.begin(), minute.end());
  std::vector<std::span<int16_t>> decoded_out(decoded.begin(), decoded.end());
  if (keep_samples) result.samples.assign(channels, std::vector<int16_t>(static_cast<size_t>(shown_samples)));
  size_t next_spike = 0;
  for (int m = 0; m < written_minutes; ++m) {
    renderer.Render(m, minute_out);
    const int32_t end = (m + 1) * kSamplesPerMinute;
    const size_t first_spike = next_spike;
    while (next_spike < spikes.size() && spikes[next_spike].position < end) ++next_spike;
    const std::span<const CmpMarker> minute_markers(spikes.data() + first_spike, next_spike - first_spike);
    const bool keep = keep_samples && m < result.minutes;
    writer.AddMinute(minute_in, o.mode, minute_markers, keep ? std::span<const std::span<int16_t>>(decoded_out)
                                                               : std::span<const std::span<int16_t>>());
    if (keep) {
      for (size_t c = 0; c < channels; ++c) {
        std::copy(decoded[c].begin(), decoded[c].end(),
                  result.samples[c].begin() + static_cast<ptrdiff_t>(m) * kSamplesPerMinute);
      }
    }
  }
  for (const CmpMarker& marker : writer.PlacedMarkers()) {
    if (marker.position < shown_samples) result.markers.push_back(marker);
  }
  result.cmp_bytes = writer.TakeBytes();
  return result;
}

}  // namespace

void CheckSynthOptions(const SynthOptions& o) {
  auto fail = [](const std::string& what) { throw std::invalid_argument(what); };
  const int max_minutes = o.format == CmpFormat::kOld ? kMaxOldMinutes : kMaxMinutes;
  if (o.duration_s < 1 || ShownMinutes(o) > max_minutes)
    fail("duration must be 1 s to " + std::to_string(max_minutes / 60) + " h");
  if (o.format == CmpFormat::kOld ? o.channels != 2 : (o.channels < 1 || o.channels > 3))
    fail(o.format == CmpFormat::kOld ? "the old format holds exactly 2 channels" : "channels must be 1 to 3");
  if (o.format == CmpFormat::kOld && o.mode != CmpMode::kCodedFull && o.mode != CmpMode::kCodedHalf)
    fail("the old format has no raw modes");
  if (!(o.heart_rate_bpm >= 30.0 && o.heart_rate_bpm <= 200.0)) fail("heart rate must be 30 to 200 bpm");
  if (!(o.hrv_sd_ms >= 0.0 && o.hrv_sd_ms <= 200.0)) fail("HRV must be 0 to 200 ms");
  if (!(o.ves_fraction >= 0.0 && o.sves_fraction >= 0.0 && o.ves_fraction + o.sves_fraction <= 0.5))
    fail("ectopic shares must be >= 0 and together at most 0.5");
  if (!(o.pauses_per_hour >= 0.0 && o.pauses_per_hour <= 600.0)) fail("pauses per hour must be 0 to 600");
  if (o.pause_ms < 1500 || o.pause_ms > 10000) fail("pause length must be 1500 to 10000 ms");
  if (!(o.paced_fraction >= 0.0 && o.paced_fraction <= 1.0)) fail("paced share must be 0 to 1");
  if (!(o.noise_uv >= 0.0 && o.noise_uv <= 1000.0)) fail("noise must be 0 to 1000 uV");
  if (!(o.baseline_uv >= 0.0 && o.baseline_uv <= 2000.0)) fail("baseline wander must be 0 to 2000 uV");
  for (const StEpisode& e : o.st_episodes) {
    if (e.start_ms < 0 || e.end_ms <= e.start_ms) fail("an ST episode must start at or after 0 and end after its start");
    if (e.shift_uv < -2000 || e.shift_uv > 2000) fail("ST shift must be -2000 to 2000 uV");
    if (e.channel_mask <= 0 || e.channel_mask > 7) fail("ST channel mask must be 1 to 7");
  }
  RecordingStart parsed;
  if (!ParseRecordingStart(FormatRecordingStart(o.start), parsed)) fail("start date is not a valid date and time");
}

SyntheticEcg GenerateSyntheticEcg(const SynthOptions& options) { return Synthesize(options, true); }

TruthList WriteSyntheticRecording(const std::filesystem::path& base, const SynthOptions& options) {
  SyntheticEcg ecg = Synthesize(options, false);
  const std::string name = base.filename().string();
  platform::WriteFileAtomic(WithExtension(base, "CMP"), ecg.cmp_bytes);
  WriteTruthList(WithExtension(base, "truth.txt"), ecg.truth);

  RecordingSetup setup;
  setup.sample_file = name + ".CMP";
  setup.truth_file = name + ".truth.txt";
  setup.channels = options.channels;
  setup.start = options.start;
  setup.minutes = ecg.minutes;
  setup.format = options.format == CmpFormat::kNew ? "new" : "old";
  // The recorder marks spikes only with its pacemaker detection on.
  setup.pacemaker = options.paced_fraction > 0.0 && options.pacemaker_markers;
  std::ostringstream source;
  source << "synth seed " << options.seed << ", " << options.heart_rate_bpm << " bpm, HRV " << options.hrv_sd_ms
         << " ms, VES " << options.ves_fraction << ", SVES " << options.sves_fraction << ", pauses/h "
         << options.pauses_per_hour << ", paced " << options.paced_fraction << ", noise " << options.noise_uv
         << " uV";
  setup.source = source.str();
  WriteRecordingSetup(SetupPathFor(base), setup);
  return std::move(ecg.truth);
}

}  // namespace testsupport
