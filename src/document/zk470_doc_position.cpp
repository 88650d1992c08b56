// Positions, time spans, the minute-block cache, navigation and the heart-rate extremes.

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "document/document_context.h"
#include "document/document_strings.h"
#include "document/heart_rate_trend.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/prompt.h"

namespace {

constexpr int kMinutesPerDay = 1440;
constexpr int32_t kMsPerMinute = 60000;

bool IsSVPatternKind(int kind) { return kind >= kClassSVCouplet && kind <= kClassSVTrigeminy; }
bool IsVPatternKind(int kind) {
  return (kind >= kClassVCouplet && kind <= kClassVTrigeminy) || kind == kClassRonT;
}
bool IsPatternKind(int kind) { return IsSVPatternKind(kind) || IsVPatternKind(kind); }

}  // namespace

// --- Time units ------------------------------------------------------------------------------------

double CZK470Doc::GetSampleRate() const {
  if (raw_data_ && raw_data_->GetSampleRate() > 0.0) return raw_data_->GetSampleRate();
  return kDefaultSampleRate;
}

int32_t CZK470Doc::MsToSamples(int32_t ms) const {
  const double x = ms * 0.001 * GetSampleRate();
  const double whole = std::trunc(x);
  return static_cast<int32_t>(whole) + (x - whole >= 0.5 ? 1 : 0);
}

int32_t CZK470Doc::SamplesToMs(int32_t samples) const {
  return static_cast<int32_t>(std::trunc(samples / GetSampleRate() * 1000.0));
}

// --- Days, hours and clock times -------------------------------------------------------------------

int CZK470Doc::GetRecordingMinutes() const { return raw_data_ ? raw_data_->GetWholeMinutes() : 0; }

bool CZK470Doc::IsMultiDayRecording() const { return GetRecordingMinutes() > kMinutesPerDay; }

int CZK470Doc::GetDayCount() const { return (GetRecordingMinutes() + kMinutesPerDay - 1) / kMinutesPerDay; }

int CZK470Doc::GetHoursInDay(int day) const {
  const int hours = (GetRecordingMinutes() + 59) / 60;
  if (day == 99) return hours;
  return std::clamp(hours - (day - 1) * 24, 0, 24);
}

int CZK470Doc::GetMinutesInDay(int day) const {
  const int minutes = GetRecordingMinutes();
  if (day == 99) return minutes;
  return std::clamp(minutes - day * kMinutesPerDay, 0, kMinutesPerDay);
}

std::string CZK470Doc::GetDayLabel(int day) const {
  if (GetRecordingMinutes() <= kMinutesPerDay) return {};
  // The label comes from the language pack even while the program's own resources are chosen.
  platform::ResourceContext& resources = platform::Resources();
  const bool exe_chosen = resources.ExeResourcesChosen();
  if (exe_chosen) resources.UseLanguageResources();
  std::string label = document::DocString(document::strings::kDayLabel);
  if (exe_chosen) resources.UseExeResources();
  return label + std::to_string(day);
}

std::string CZK470Doc::GetDayLabelAt(int seconds) const { return GetDayLabel(seconds / 86400 + 1); }

int CZK470Doc::StartSecondOfDay() const {
  const double days = recording_.start_time.days;
  const double fraction = days - std::floor(days);
  return static_cast<int>(std::llround(fraction * 86400.0)) % 86400;
}

int CZK470Doc::ClockTotalMinutes(int32_t span_start_minute) const {
  return (StartSecondOfDay() / 60) % 60 + span_start_minute;
}

int CZK470Doc::GetSpanStartClockHour() const {
  return StartSecondOfDay() / 3600 + ClockTotalMinutes(span_start_minute_) / 60;
}
int CZK470Doc::GetSpanStartClockMinute() const { return ClockTotalMinutes(span_start_minute_) % 60; }
int CZK470Doc::GetSpanStartClockSecond() const { return StartSecondOfDay() % 60; }
int CZK470Doc::GetPrintSpanStartClockHour() const {
  return StartSecondOfDay() / 3600 + ClockTotalMinutes(print_start_minute_) / 60;
}
int CZK470Doc::GetPrintSpanStartClockMinute() const { return ClockTotalMinutes(print_start_minute_) % 60; }
int CZK470Doc::GetPrintSpanStartClockSecond() const { return StartSecondOfDay() % 60; }

bool CZK470Doc::AdjustTimeSpanToPosition(bool keep_if_inside) {
  const int32_t minute = current_position_ / kMsPerMinute;
  if (keep_if_inside && span_start_minute_ <= minute && minute < span_start_minute_ + span_length_)
    return false;
  int32_t start = 0;
  if (span_step_ > 0) {
    while (minute >= start + span_length_) start += span_step_;
    // A span longer than the recording starts at its beginning.
    start = std::max(0, std::min(start, GetRecordingMinutes() - span_length_));
  }
  const int32_t previous = span_start_minute_;
  span_start_minute_ = start;
  span_start_ms_ = start * kMsPerMinute;
  span_end_ms_ = (start + span_length_) * kMsPerMinute;
  return start != previous;
}

// --- Minute-block cache ----------------------------------------------------------------------------

void CZK470Doc::FreeChannelMinutes(MinuteBlockArrays& arrays, int set_number) {
  const int count = std::min(document::Context().ChannelSetByNumber(set_number).count, 3);
  for (int k = 0; k < count; ++k) {
    arrays[static_cast<size_t>(k)].clear();
    arrays[static_cast<size_t>(k)].shrink_to_fit();
  }
}

int CZK470Doc::LoadChannelMinutes(MinuteBlockArrays& arrays, int32_t start_ms, int32_t length_ms,
                                  bool whole_minutes, int set_number) {
  if (!raw_data_ || raw_data_->GetWholeMinutes() <= 0) return 0;
  const int32_t first = start_ms / kMsPerMinute;
  int64_t length = length_ms;
  if (!(whole_minutes && first == (int64_t{start_ms} + length_ms) / kMsPerMinute)) length += kMsPerMinute;
  const int n = length <= 0 ? 0 : static_cast<int>((length + kMsPerMinute - 1) / kMsPerMinute);
  const document::ChannelSet& set = document::Context().ChannelSetByNumber(set_number);
  const int positions = std::min(set.count, 3);
  FreeChannelMinutes(arrays, set_number);
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < positions; ++k)
      arrays[static_cast<size_t>(k)].push_back(
          raw_data_->GetChannelMinute(set.channels[static_cast<size_t>(k)], first + i));
  return n;
}

// --- Navigation ------------------------------------------------------------------------------------

bool CZK470Doc::GoToNextEvent() {
  int32_t s = MsToSamples(current_position_);
  const int event_count = events_.GetSize();
  const auto flagged = [&](int code) {
    return IsValidClassCode(code) && navigation_flags_[static_cast<size_t>(code)] != 0;
  };
  const auto start_ms = [&](int i) { return SamplesToMs(events_.ElementAt(i)->GetPosition()); };

  int e = events_.FindNextAfterPosition(s, 0);
  if (e > 0) {
    // Inside a beat-pattern run that began at or before s, the search goes on behind the run.
    const int32_t shared_start = events_.ElementAt(e - 1)->GetPosition();
    for (int j = e - 1; j >= 0 && events_.ElementAt(j)->GetPosition() == shared_start; --j) {
      if (!IsPatternKind(events_.ElementAt(j)->GetClass())) continue;
      const TEvent& run = *events_.ElementAt(j);
      if (start_ms(j) <= current_position_ && current_position_ < SamplesToMs(run.GetEnd())) {
        const bool next_joins = j + 1 < event_count &&
                                events_.ElementAt(j + 1)->GetPosition() == run.GetEnd() &&
                                flagged(events_.ElementAt(j + 1)->GetClass());
        e = events_.FindNextAfterPosition(next_joins ? run.GetEnd() - 1 : run.GetEnd(), 0);
      }
      break;
    }
  }
  int event_candidate = -1;
  for (int i = e; i < event_count; ++i)
    if (flagged(events_.ElementAt(i)->GetClass())) {
      event_candidate = i;
      break;
    }

  if (event_count > 0) {
    const TEvent& last = *events_.ElementAt(event_count - 1);
    const int kind = last.GetClass();
    if (((IsSVPatternKind(kind) && flagged(kClassSVES)) || (IsVPatternKind(kind) && flagged(kClassVES))) &&
        last.GetPosition() <= s && s <= last.GetEnd())
      s = last.GetEnd();
  }

  int beat_candidate = -1;
  for (int i = beats_.FindNextAfterPosition(s, 0); i < beats_.GetSize(); ++i) {
    const int beat_class = beats_.ElementAt(i)->GetClass();
    if (beat_class != kClassNormal && flagged(beat_class)) {
      beat_candidate = i;
      break;
    }
  }

  constexpr int32_t kNone = INT32_MAX;
  const int32_t event_start =
      event_candidate >= 0 ? events_.ElementAt(event_candidate)->GetPosition() : kNone;
  const int32_t beat_position = beat_candidate >= 0 ? beats_.ElementAt(beat_candidate)->GetPosition() : kNone;
  int32_t target = kNone;
  if (beat_candidate >= 0 && (event_candidate < 0 || event_start > beat_position)) {
    target = beat_position;
  } else if (event_candidate >= 0) {
    target = event_start;
  }
  if (target == kNone) {
    ShowMessage(document::DocString(document::strings::kNoFurtherEvent), win::kMbIconInformation);
    return false;
  }
  SetCurrentPosition(SamplesToMs(target), 0);
  if (AdjustTimeSpanToPosition(true)) UpdateAllViews(nullptr, hint::kSpanMoved);
  return true;
}

bool CZK470Doc::GoToPreviousEvent() {
  const int32_t s = MsToSamples(current_position_) - 1;
  const auto flagged = [&](int code) {
    return IsValidClassCode(code) && navigation_flags_[static_cast<size_t>(code)] != 0;
  };
  const auto qualifies = [&](const TEvent& event) {
    const int kind = event.GetClass();
    return flagged(kind) || (IsVPatternKind(kind) && flagged(kClassVES)) ||
           (IsSVPatternKind(kind) && flagged(kClassSVES));
  };

  int event_candidate = -1;
  int from = events_.FindNextAfterPosition(s, 0) - 1;
  if (from > 0 && events_.ElementAt(from)->GetPosition() == events_.ElementAt(from - 1)->GetPosition()) {
    // Events sharing one start: begin at the last pattern event among them, else at the first.
    const int32_t shared = events_.ElementAt(from)->GetPosition();
    int first = from;
    while (first > 0 && events_.ElementAt(first - 1)->GetPosition() == shared) --first;
    int start = first;
    for (int j = from; j >= first; --j)
      if (IsPatternKind(events_.ElementAt(j)->GetClass())) {
        start = j;
        break;
      }
    from = start;
  }
  for (int i = from; i >= 0; --i)
    if (qualifies(*events_.ElementAt(i))) {
      event_candidate = i;
      break;
    }

  int beat_candidate = -1;
  for (int i = beats_.FindNextAfterPosition(s, 0) - 1; i >= 0; --i) {
    const int beat_class = beats_.ElementAt(i)->GetClass();
    if (beat_class != kClassNormal && flagged(beat_class)) {
      beat_candidate = i;
      break;
    }
  }

  int32_t target = 0;
  if (event_candidate < 0 && beat_candidate < 0) {
    ShowMessage(document::DocString(document::strings::kNoFurtherEvent), win::kMbIconInformation);
    return false;
  }
  if (beat_candidate < 0) {
    target = events_.ElementAt(event_candidate)->GetPosition();
  } else if (event_candidate < 0) {
    target = beats_.ElementAt(beat_candidate)->GetPosition();
  } else {
    const TEvent& event = *events_.ElementAt(event_candidate);
    const int32_t beat_position = beats_.ElementAt(beat_candidate)->GetPosition();
    const bool event_wins = event.GetPosition() >= beat_position ||
                            (IsPatternKind(event.GetClass()) && event.GetEnd() >= beat_position);
    target = event_wins ? event.GetPosition() : beat_position;
  }
  SetCurrentPosition(SamplesToMs(target), 0);
  if (AdjustTimeSpanToPosition(true)) UpdateAllViews(nullptr, hint::kSpanMoved);
  return true;
}

bool CZK470Doc::GoToExtreme(int group, bool maximum) {
  const int32_t position = Extreme(group, maximum ? kPosMax : kPosMin);
  if (position == -1) return false;
  SetCurrentPosition(SamplesToMs(position), 0);
  return true;
}

bool CZK470Doc::GoToRRMax() {
  if (!GoToExtreme(kRRGroup, true)) return false;
  SetCurrentPosition(current_position_ / 1000 * 1000, 0);
  return true;
}

bool CZK470Doc::GoToSTPosition(int st_index) {
  if (st_index < 0 || st_index >= TRecordingData::kStChannels) return false;
  const int32_t position = recording_.deepest_st_position[static_cast<size_t>(st_index)];
  if (position == -1) return false;
  SetCurrentPosition(SamplesToMs(position), 0);
  return true;
}

// --- Heart-rate extremes ---------------------------------------------------------------------------

void CZK470Doc::StoreExtreme(int group, bool maximum, int32_t value, int32_t position, int32_t beat) {
  const size_t at = static_cast<size_t>(group * 6);
  for (auto* block : {&extremes_, &recording_.extremes}) {
    (*block)[at + (maximum ? kPosMax : kPosMin)] = position;
    (*block)[at + (maximum ? kBeatMax : kBeatMin)] = beat;
    (*block)[at + (maximum ? kValueMax : kValueMin)] = value;
  }
}

void CZK470Doc::SetExtreme(int group, bool maximum, int32_t value, int32_t position, int32_t beat, int mode) {
  const int32_t stored_position = Extreme(group, maximum ? kPosMax : kPosMin);
  const int32_t stored_beat = Extreme(group, maximum ? kBeatMax : kBeatMin);
  const int32_t stored_value = Extreme(group, maximum ? kValueMax : kValueMin);
  switch (mode) {
    case 0:
      StoreExtreme(group, maximum, value, position, beat);
      return;
    case 1: {
      const bool stored_valid =
          stored_value > 0 && stored_position != -1 && stored_beat >= 0 && stored_beat < beats_.GetSize();
      if (stored_valid &&
          (position <= -1 || beat <= -1 || beats_.ElementAt(stored_beat)->GetPosition() == position))
        return;
      break;
    }
    case 2:
      if (!(stored_value <= 0 || stored_position == -1 || stored_beat == -1)) return;
      break;
    case 3:
      if (position == stored_position && beat == stored_beat) return;
      break;
    default:
      return;
  }
  StoreExtreme(group, maximum, value, position, beat);
  SetModifiedFlag(true);
}

void CZK470Doc::RecalcHeartRateExtremes(int redo_ron_t, int redo_arrhythmia, int update_views) {
  // Without the analysis the kinds cannot be found again: the events stay as they are.
  const bool can_detect = analysis_hooks_ != nullptr;
  const bool ron_t = redo_ron_t != 0 && can_detect;
  const bool arrhythmia = redo_arrhythmia != 0 && can_detect;
  if (ron_t) RemoveEventsOfKind(kClassRonT);
  if (arrhythmia) RemoveEventsOfKind(kClassArrhythmia);
  auto trend = std::make_unique<THeartRateTrend>(*this);
  trend->ComputeExtremes(ron_t, arrhythmia);
  SetHRMin(trend->HRMin().value, trend->HRMin().position, trend->HRMin().beat, 1);
  SetHRMax(trend->HRMax().value, trend->HRMax().position, trend->HRMax().beat, 1);
  SetSinusHRMin(trend->SinusMin().value, trend->SinusMin().position, trend->SinusMin().beat, 1);
  SetSinusHRMax(trend->SinusMax().value, trend->SinusMax().position, trend->SinusMax().beat, 1);
  SetRRMin(trend->RRMin().value, trend->RRMin().position, trend->RRMin().beat, 1);
  SetRRMax(trend->RRMax().value, trend->RRMax().position, trend->RRMax().beat, 1);
  SetNNMin(trend->NNMin().value, trend->NNMin().position, trend->NNMin().beat, 1);
  SetNNMax(trend->NNMax().value, trend->NNMax().position, trend->NNMax().beat, 1);
  trend.reset();
  if (redo_ron_t == 0 && redo_arrhythmia == 0 && update_views != 0) {
    TCountsHint counts(events_.Counters(), beats_.Counters());
    counts.marks[kClassBradycardia] = 1;
    counts.marks[kClassTachycardia] = 1;
    UpdateAllViews(nullptr, hint::kCountsChanged, &counts);
  }
}
