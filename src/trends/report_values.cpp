#include "trends/report_values.h"

#include <algorithm>
#include <cmath>

#include "common/number_formatter.h"
#include "common/time_formatter.h"
#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/heart_rate_trend.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/locale.h"

namespace {

const platform::Locale* g_locale = nullptr;

constexpr int kSecondsPerHour = 3600;
constexpr int kSecondsPerDay = 86400;
constexpr double kNoSTValue = 10000.0;

// Spans of intervals over which the rate inside an episode is taken.
constexpr int kSpanTachycardia = 3;
constexpr int kSpanBigeminy = 4;
constexpr int kSpanTrigeminy = 6;

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

const platform::Locale& ReportValuesLocale() {
  static const platform::SystemLocale system_locale;
  return g_locale != nullptr ? *g_locale : system_locale;
}

void SetReportValuesLocale(const platform::Locale* locale) { g_locale = locale; }

TReportValues::TReportValues(CZK470Doc& doc, const platform::Locale& locale)
    : doc_(doc), locale_(locale), trend_(std::make_unique<THeartRateTrend>(doc)) {
  st_levels_.fill(kNoSTValue);
  st_slopes_.fill(kNoSTValue);
  st_longest_.fill(-1);
}

TReportValues::~TReportValues() = default;

int TReportValues::SampleRate() const {
  const int rate = static_cast<int>(doc_.GetSampleRate());
  return rate > 0 ? rate : CZK470Doc::kDefaultSampleRate;
}

int TReportValues::HourOf(int32_t position) const {
  if (position < 0) return -1;
  return static_cast<int>(position / (static_cast<int64_t>(SampleRate()) * kSecondsPerHour));
}

// ---- Formatting ---------------------------------------------------------------------------------

std::string TReportValues::GetTimeOfDayText(int seconds) const {
  const double days = doc_.GetRecordingData().start_time.days;
  const int start =
      static_cast<int>(std::llround((days - std::floor(days)) * kSecondsPerDay)) % kSecondsPerDay;
  const int s = std::max(seconds, 0);
  int second = start % 60 + s % 60;
  int carry = 0;
  if (second >= 60) {
    second -= 60;
    carry = 1;
  }
  const int elapsed_minutes = s / 60 + carry;
  // The day counts whole days from the start; the carried clock minute must not end day 1 early.
  const int day = s / kSecondsPerDay;
  const int clock_minutes = start / 60 + elapsed_minutes;
  const int hour = (clock_minutes / 60) % 24;
  const int minute = clock_minutes % 60;
  return locale_.FormatTime(hour, minute, second) + doc_.GetDayLabel(day + 1);
}

std::string TReportValues::GetDurationText(int seconds) {
  const int s = std::max(seconds, 0);
  return TwoDigits(s / kSecondsPerHour) + ":" + TwoDigits(s % kSecondsPerHour / 60) + ":" + TwoDigits(s % 60);
}

// ---- Heart-rate extremes ------------------------------------------------------------------------

void TReportValues::EnsureTrend() {
  if (!trend_->IsComputed()) trend_->Compute(kSecondsPerHour);
}

int TReportValues::ExtremeSeconds(int32_t position) const {
  if (position < 0) return 0;
  return static_cast<int>(position / doc_.GetSampleRate());
}

// A missing extreme has no time; showing the recording start would invent one.
std::string TReportValues::ExtremeTimeText(int32_t position) const {
  if (position < 0) return "-";
  return GetTimeOfDayText(ExtremeSeconds(position));
}

std::string TReportValues::IntervalText(int32_t samples) const {
  // In double: an interval across a long gap of hours overflows an int in milliseconds x 1000.
  return std::to_string(static_cast<int64_t>(static_cast<double>(samples) * 1000.0 / doc_.GetSampleRate()));
}

std::string TReportValues::GetMinHeartRateText() {
  EnsureTrend();
  return std::to_string(doc_.GetHRMinValue());
}
std::string TReportValues::GetMinHeartRateTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetHRMinPosition());
}
int TReportValues::GetMinHeartRateSeconds() {
  EnsureTrend();
  return ExtremeSeconds(doc_.GetHRMinPosition());
}
std::string TReportValues::GetMeanHeartRateText() {
  EnsureTrend();
  return std::to_string(trend_->GetMeanOfBinMeans());
}
std::string TReportValues::GetMaxHeartRateText() {
  EnsureTrend();
  return std::to_string(doc_.GetHRMaxValue());
}
std::string TReportValues::GetMaxHeartRateTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetHRMaxPosition());
}
int TReportValues::GetMaxHeartRateSeconds() {
  EnsureTrend();
  return ExtremeSeconds(doc_.GetHRMaxPosition());
}
std::string TReportValues::GetMinRRText() {
  EnsureTrend();
  return IntervalText(doc_.GetRRMinValue());
}
std::string TReportValues::GetMinRRTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetRRMinPosition());
}
std::string TReportValues::GetMaxRRText() {
  EnsureTrend();
  return IntervalText(doc_.GetRRMaxValue());
}
std::string TReportValues::GetMaxRRTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetRRMaxPosition());
}
std::string TReportValues::GetMinNNText() {
  EnsureTrend();
  return IntervalText(doc_.GetNNMinValue());
}
std::string TReportValues::GetMinNNTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetNNMinPosition());
}
std::string TReportValues::GetMaxNNText() {
  EnsureTrend();
  return IntervalText(doc_.GetNNMaxValue());
}
std::string TReportValues::GetMaxNNTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetNNMaxPosition());
}
std::string TReportValues::GetMinSinusRateText() {
  EnsureTrend();
  return std::to_string(doc_.GetSinusHRMinValue());
}
std::string TReportValues::GetMinSinusRateTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetSinusHRMinPosition());
}
std::string TReportValues::GetMaxSinusRateText() {
  EnsureTrend();
  return std::to_string(doc_.GetSinusHRMaxValue());
}
std::string TReportValues::GetMaxSinusRateTimeText() {
  EnsureTrend();
  return ExtremeTimeText(doc_.GetSinusHRMaxPosition());
}

// ---- Counts -------------------------------------------------------------------------------------

int TReportValues::CountEventKind(int kind) const { return doc_.GetEventList().GetCounter(kind); }
int TReportValues::CountBeatClass(int beat_class) const { return doc_.GetQRSList().GetCounter(beat_class); }
bool TReportValues::SvOn() const { return doc_.GetRecordingData().sves_analysis_on != 0; }

bool TReportValues::AbsArrhythmiaOn() const {
  if (doc_.GetRecordingData().arrhythmia_analysis_on != 0) return true;
  return CountEventKind(kClassArrhythmia) + CountEventKind(kClassAtrialFibrillation) +
             CountEventKind(kClassAtrialFlutter) !=
         0;
}

std::string TReportValues::GetBeatCountText() const { return std::to_string(GetBeatCount()); }
int TReportValues::GetBeatCount() const { return doc_.GetQRSList().GetSize(); }
std::string TReportValues::GetBradycardiaCountText() const { return std::to_string(GetBradycardiaCount()); }
int TReportValues::GetBradycardiaCount() const { return CountEventKind(kClassBradycardia); }
std::string TReportValues::GetTachycardiaCountText() const { return std::to_string(GetTachycardiaCount()); }
int TReportValues::GetTachycardiaCount() const { return CountEventKind(kClassTachycardia); }
std::string TReportValues::GetPauseCountText() const { return std::to_string(GetPauseCount()); }
int TReportValues::GetPauseCount() const { return CountEventKind(kClassPause); }

std::string TReportValues::GetSvesCountText() const { return SvOn() ? std::to_string(GetSvesCount()) : "-"; }
int TReportValues::GetSvesCount() const { return SvOn() ? CountBeatClass(kClassSVES) : 0; }
std::string TReportValues::GetSvCoupletCountText() const {
  return SvOn() ? std::to_string(GetSvCoupletCount()) : "-";
}
int TReportValues::GetSvCoupletCount() const { return SvOn() ? CountEventKind(kClassSVCouplet) : 0; }
std::string TReportValues::GetSvTripletCountText() const {
  return SvOn() ? std::to_string(GetSvTripletCount()) : "-";
}
int TReportValues::GetSvTripletCount() const { return SvOn() ? CountEventKind(kClassSVTriplet) : 0; }
std::string TReportValues::GetSvtCountText() const { return SvOn() ? std::to_string(GetSvtCount()) : "-"; }
int TReportValues::GetSvtCount() const { return SvOn() ? CountEventKind(kClassSVTachycardia) : 0; }
std::string TReportValues::GetSvBigeminyCountText() const {
  return SvOn() ? std::to_string(CountEventKind(kClassSVBigeminy)) : "-";
}
std::string TReportValues::GetSvTrigeminyCountText() const {
  return SvOn() ? std::to_string(CountEventKind(kClassSVTrigeminy)) : "-";
}

std::string TReportValues::GetVesCountText() const { return std::to_string(GetVesCount()); }
int TReportValues::GetVesCount() const { return CountBeatClass(kClassVES); }
std::string TReportValues::GetVCoupletCountText() const { return std::to_string(GetVCoupletCount()); }
int TReportValues::GetVCoupletCount() const { return CountEventKind(kClassVCouplet); }
std::string TReportValues::GetVTripletCountText() const { return std::to_string(GetVTripletCount()); }
int TReportValues::GetVTripletCount() const { return CountEventKind(kClassVTriplet); }
std::string TReportValues::GetVtCountText() const { return std::to_string(GetVtCount()); }
int TReportValues::GetVtCount() const { return CountEventKind(kClassVTachycardia); }
std::string TReportValues::GetVBigeminyCountText() const {
  return std::to_string(CountEventKind(kClassVBigeminy));
}
std::string TReportValues::GetVTrigeminyCountText() const {
  return std::to_string(CountEventKind(kClassVTrigeminy));
}
std::string TReportValues::GetRonTCountText() const { return std::to_string(CountEventKind(kClassRonT)); }
std::string TReportValues::GetMarkerCountText() const { return std::to_string(GetMarkerCount()); }
int TReportValues::GetMarkerCount() const { return CountEventKind(kClassMarker); }
std::string TReportValues::GetLeadOffCountText() const {
  return std::to_string(CountEventKind(kClassLeadOff));
}
std::string TReportValues::GetArtefactCountText() const { return std::to_string(GetArtefactCount()); }
int TReportValues::GetArtefactCount() const { return CountBeatClass(kClassArtefact); }

std::string TReportValues::GetAbsArrhythmiaCountText() const {
  return AbsArrhythmiaOn() ? std::to_string(GetAbsArrhythmiaCount()) : "-";
}
int TReportValues::GetAbsArrhythmiaCount() const {
  if (!AbsArrhythmiaOn()) return 0;
  return CountEventKind(kClassArrhythmia) + CountEventKind(kClassAtrialFibrillation) +
         CountEventKind(kClassAtrialFlutter);
}
std::string TReportValues::GetAbsArrhythmiaTotalText() const {
  return std::to_string(CountEventKind(kClassArrhythmia) + CountEventKind(kClassAtrialFibrillation) +
                        CountEventKind(kClassAtrialFlutter));
}

// ---- Per-hour maxima ------------------------------------------------------------------------------

int TReportValues::MaxPerHour(int* max, int* hour) const {
  int maximum = 0;
  for (int h = 0; h < kHours; ++h) {
    if (hour_counts_[h] > maximum) {
      maximum = hour_counts_[h];
      if (hour != nullptr) *hour = h;
    }
  }
  if (max != nullptr) *max = maximum;
  return maximum;
}

std::string TReportValues::MaxBeatsPerHourText(int beat_class) {
  CountBeatsPerHour(beat_class);
  return std::to_string(MaxPerHour(nullptr, nullptr));
}

std::string TReportValues::MaxEventsPerHourText(int kind) {
  CountEventsPerHour(kind);
  return std::to_string(MaxPerHour(nullptr, nullptr));
}

std::string TReportValues::GetMaxSvesPerHourText() { return SvOn() ? MaxBeatsPerHourText(kClassSVES) : "-"; }
int TReportValues::GetMaxSvesPerHour(int* count, int* hour) {
  if (count != nullptr) *count = 0;
  CountBeatsPerHour(kClassSVES);
  return MaxPerHour(count, hour);
}
std::string TReportValues::GetMaxSvCoupletsPerHourText() {
  return SvOn() ? MaxEventsPerHourText(kClassSVCouplet) : "-";
}
std::string TReportValues::GetMaxSvTripletsPerHourText() {
  return SvOn() ? MaxEventsPerHourText(kClassSVTriplet) : "-";
}
std::string TReportValues::GetMaxSvtPerHourText() {
  return SvOn() ? MaxEventsPerHourText(kClassSVTachycardia) : "-";
}
std::string TReportValues::GetMaxSvBigeminyPerHourText() {
  return SvOn() ? MaxEventsPerHourText(kClassSVBigeminy) : "-";
}
std::string TReportValues::GetMaxSvTrigeminyPerHourText() {
  return SvOn() ? MaxEventsPerHourText(kClassSVTrigeminy) : "-";
}
std::string TReportValues::GetMaxVesPerHourText() { return MaxBeatsPerHourText(kClassVES); }
int TReportValues::GetMaxVesPerHour(int* count, int* hour) {
  if (count != nullptr) *count = 0;
  CountBeatsPerHour(kClassVES);
  return MaxPerHour(count, hour);
}
std::string TReportValues::GetMaxVCoupletsPerHourText() { return MaxEventsPerHourText(kClassVCouplet); }
std::string TReportValues::GetMaxVTripletsPerHourText() { return MaxEventsPerHourText(kClassVTriplet); }
std::string TReportValues::GetMaxVtPerHourText() { return MaxEventsPerHourText(kClassVTachycardia); }
std::string TReportValues::GetMaxVBigeminyPerHourText() { return MaxEventsPerHourText(kClassVBigeminy); }
std::string TReportValues::GetMaxVTrigeminyPerHourText() { return MaxEventsPerHourText(kClassVTrigeminy); }
std::string TReportValues::GetMaxAbsArrhythmiaPerHourText() {
  return AbsArrhythmiaOn() ? MaxEventsPerHourText(kClassArrhythmia) : "-";
}
int TReportValues::GetMaxAbsArrhythmiaPerHour(int* count, int* hour) {
  if (count != nullptr) *count = 0;
  if (!AbsArrhythmiaOn()) {
    if (hour != nullptr) *hour = 0;
    return 0;
  }
  CountEventsPerHour(kClassArrhythmia);
  return MaxPerHour(count, hour);
}

// ---- Longest and fastest episodes ---------------------------------------------------------------

void TReportValues::ComputeEpisodes() {
  episode_starts_.fill(0);
  for (Episode* e : {&longest_bradycardia_, &longest_tachycardia_, &longest_pause_, &longest_vt_,
                     &longest_vbigeminy_, &longest_vtrigeminy_, &longest_svt_, &fastest_vt_,
                     &fastest_vbigeminy_, &fastest_vtrigeminy_, &fastest_svt_, &longest_abs_arrhythmia_})
    *e = Episode{};

  const auto rates = std::make_unique<THeartRateTrend>(doc_);
  int longest_cursor = 0;
  int fastest_cursor = 0;
  const int rate = SampleRate();
  const TEventList& events = doc_.GetEventList();

  struct Slot {
    Episode* longest;
    EpisodeStart longest_start;
    Episode* fastest;
    EpisodeStart fastest_start;
    int span;
  };

  for (int i = 0; i < events.GetSize(); ++i) {
    const TEvent& event = *events.ElementAt(i);
    const int32_t start = event.GetPosition();
    const int32_t duration = event.GetEnd() - start;
    const int32_t start_seconds = start / rate;
    Slot slot{nullptr, kEpisodeStarts, nullptr, kEpisodeStarts, 0};
    switch (event.GetClass()) {
      case kClassBradycardia:
        slot = {&longest_bradycardia_, kStartLongestBradycardia, nullptr, kEpisodeStarts, 0};
        break;
      case kClassTachycardia:
        slot = {&longest_tachycardia_, kStartLongestTachycardia, nullptr, kEpisodeStarts, 0};
        break;
      case kClassPause:
        slot = {&longest_pause_, kStartLongestPause, nullptr, kEpisodeStarts, 0};
        break;
      case kClassSVTachycardia:
        slot = {&longest_svt_, kStartLongestSvt, &fastest_svt_, kStartFastestSvt, kSpanTachycardia};
        break;
      case kClassVTachycardia:
        slot = {&longest_vt_, kStartLongestVt, &fastest_vt_, kStartFastestVt, kSpanTachycardia};
        break;
      case kClassVBigeminy:
        slot = {&longest_vbigeminy_, kStartLongestVBigeminy, &fastest_vbigeminy_, kStartFastestVBigeminy,
                kSpanBigeminy};
        break;
      case kClassVTrigeminy:
        slot = {&longest_vtrigeminy_, kStartLongestVTrigeminy, &fastest_vtrigeminy_, kStartFastestVTrigeminy,
                kSpanTrigeminy};
        break;
      case kClassArrhythmia:
      case kClassAtrialFibrillation:
      case kClassAtrialFlutter:
        if (duration > longest_abs_arrhythmia_.duration)
          longest_abs_arrhythmia_ = {duration, start_seconds, 0};
        continue;
      default:
        continue;
    }
    if (duration > slot.longest->duration) {
      slot.longest->duration = duration;
      slot.longest->start_seconds = start_seconds;
      episode_starts_[slot.longest_start] = start;
      if (slot.fastest != nullptr)
        slot.longest->rate = rates->GetMaxRateInEvent(i, longest_cursor, slot.span);
    }
    if (slot.fastest == nullptr) continue;
    const int r = rates->GetMaxRateInEvent(i, fastest_cursor, slot.span);
    if (r > slot.fastest->rate) {
      *slot.fastest = {duration, start_seconds, r};
      episode_starts_[slot.fastest_start] = start;
    }
  }
}

int32_t TReportValues::GetEpisodeStartPosition(EpisodeStart slot) const {
  if (slot < 0 || slot >= kEpisodeStarts) return 0;
  return episode_starts_[slot];
}

std::string TReportValues::EpisodeTimeText(const Episode& e) const {
  return e.duration == 0 ? "-" : GetTimeOfDayText(e.start_seconds);
}

// An episode shorter than a second still reads one second; only the text is raised, so the
// stored duration, and every later duration in milliseconds, stays what the analysis found.
std::string TReportValues::EpisodeDurationText(const Episode& e) const {
  if (e.duration == 0) return "-";
  const int rate = SampleRate();
  return GetDurationText(std::max(e.duration, rate) / rate);
}

int TReportValues::EpisodeDurationMs(const Episode& e) const {
  return static_cast<int>(static_cast<int64_t>(e.duration) * 1000 / SampleRate());
}

std::string TReportValues::RateText(const Episode& e) { return e.rate == 0 ? "-" : std::to_string(e.rate); }

std::string TReportValues::GetLongestBradycardiaTimeText() const {
  return EpisodeTimeText(longest_bradycardia_);
}
int TReportValues::GetLongestBradycardiaSeconds() const { return longest_bradycardia_.start_seconds; }
std::string TReportValues::GetLongestBradycardiaDurationText() const {
  return EpisodeDurationText(longest_bradycardia_);
}
int TReportValues::GetLongestBradycardiaDurationMs() const { return EpisodeDurationMs(longest_bradycardia_); }
std::string TReportValues::GetLongestTachycardiaTimeText() const {
  return EpisodeTimeText(longest_tachycardia_);
}
int TReportValues::GetLongestTachycardiaSeconds() const { return longest_tachycardia_.start_seconds; }
std::string TReportValues::GetLongestTachycardiaDurationText() const {
  return EpisodeDurationText(longest_tachycardia_);
}
int TReportValues::GetLongestTachycardiaDurationMs() const { return EpisodeDurationMs(longest_tachycardia_); }
std::string TReportValues::GetLongestPauseTimeText() const { return EpisodeTimeText(longest_pause_); }
int TReportValues::GetLongestPauseSeconds() const { return longest_pause_.start_seconds; }
std::string TReportValues::GetLongestPauseDurationText() const { return EpisodeDurationText(longest_pause_); }
int TReportValues::GetLongestPauseDurationMs() const { return EpisodeDurationMs(longest_pause_); }
std::string TReportValues::GetLongestSvtTimeText() const { return EpisodeTimeText(longest_svt_); }
int TReportValues::GetLongestSvtSeconds() const { return longest_svt_.start_seconds; }
std::string TReportValues::GetLongestSvtDurationText() const { return EpisodeDurationText(longest_svt_); }
int TReportValues::GetLongestSvtDurationMs() const { return EpisodeDurationMs(longest_svt_); }
std::string TReportValues::GetLongestSvtRateText() const { return RateText(longest_svt_); }
int TReportValues::GetLongestSvtRate() const { return longest_svt_.rate; }
std::string TReportValues::GetLongestVtTimeText() const { return EpisodeTimeText(longest_vt_); }
int TReportValues::GetLongestVtSeconds() const { return longest_vt_.start_seconds; }
std::string TReportValues::GetLongestVtDurationText() const { return EpisodeDurationText(longest_vt_); }
int TReportValues::GetLongestVtDurationMs() const { return EpisodeDurationMs(longest_vt_); }
std::string TReportValues::GetLongestVtRateText() const { return RateText(longest_vt_); }
int TReportValues::GetLongestVtRate() const { return longest_vt_.rate; }
std::string TReportValues::GetLongestVBigeminyTimeText() const { return EpisodeTimeText(longest_vbigeminy_); }
std::string TReportValues::GetLongestVBigeminyDurationText() const {
  return EpisodeDurationText(longest_vbigeminy_);
}
std::string TReportValues::GetLongestVBigeminyRateText() const { return RateText(longest_vbigeminy_); }
std::string TReportValues::GetLongestVTrigeminyTimeText() const {
  return EpisodeTimeText(longest_vtrigeminy_);
}
std::string TReportValues::GetLongestVTrigeminyDurationText() const {
  return EpisodeDurationText(longest_vtrigeminy_);
}
std::string TReportValues::GetLongestVTrigeminyRateText() const { return RateText(longest_vtrigeminy_); }

std::string TReportValues::GetFastestSvtTimeText() const { return EpisodeTimeText(fastest_svt_); }
std::string TReportValues::GetFastestSvtRateText() const { return RateText(fastest_svt_); }
std::string TReportValues::GetFastestSvtDurationText() const { return EpisodeDurationText(fastest_svt_); }
std::string TReportValues::GetFastestVtTimeText() const { return EpisodeTimeText(fastest_vt_); }
std::string TReportValues::GetFastestVtRateText() const { return RateText(fastest_vt_); }
std::string TReportValues::GetFastestVtDurationText() const { return EpisodeDurationText(fastest_vt_); }
std::string TReportValues::GetFastestVBigeminyTimeText() const { return EpisodeTimeText(fastest_vbigeminy_); }
std::string TReportValues::GetFastestVBigeminyRateText() const { return RateText(fastest_vbigeminy_); }
std::string TReportValues::GetFastestVBigeminyDurationText() const {
  return EpisodeDurationText(fastest_vbigeminy_);
}
std::string TReportValues::GetFastestVTrigeminyTimeText() const {
  return EpisodeTimeText(fastest_vtrigeminy_);
}
std::string TReportValues::GetFastestVTrigeminyRateText() const { return RateText(fastest_vtrigeminy_); }
std::string TReportValues::GetFastestVTrigeminyDurationText() const {
  return EpisodeDurationText(fastest_vtrigeminy_);
}

std::string TReportValues::GetLongestAbsArrhythmiaText() const {
  if (longest_abs_arrhythmia_.duration == 0) return "-";
  return EpisodeTimeText(longest_abs_arrhythmia_) + " /" + EpisodeDurationText(longest_abs_arrhythmia_);
}

int TReportValues::GetLongestAbsArrhythmiaSeconds() const { return longest_abs_arrhythmia_.start_seconds; }

int TReportValues::GetLongestAbsArrhythmiaDuration() const {
  if (longest_abs_arrhythmia_.duration == 0) return 0;
  const int rate = SampleRate();
  return std::max(longest_abs_arrhythmia_.duration, rate) / rate;
}

std::string TReportValues::LongestEventText(int kind) const {
  if (!SvOn()) return "-";
  const TEventList& events = doc_.GetEventList();
  int32_t longest = -1;
  int32_t start = 0;
  for (int i = 0; i < events.GetSize(); ++i) {
    const TEvent& event = *events.ElementAt(i);
    if (event.GetClass() != kind) continue;
    const int32_t length = event.GetEnd() - event.GetPosition();
    if (length > longest) {
      longest = length;
      start = event.GetPosition();
    }
  }
  if (longest < 0) return "-";
  const int rate = SampleRate();
  return std::to_string(std::max(longest / rate, 1)) + "s (" + GetTimeOfDayText(start / rate) + ")";
}

std::string TReportValues::GetLongestSvBigeminyText() const { return LongestEventText(kClassSVBigeminy); }
std::string TReportValues::GetLongestSvTrigeminyText() const { return LongestEventText(kClassSVTrigeminy); }
