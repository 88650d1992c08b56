// The per-hour and per-day tables of TReportValues.

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
#include "trends/report_values.h"

namespace {

constexpr double kNoSTValue = 10000.0;
constexpr int kMsPerMinute = 60000;

std::string CountText(int count) { return count == 0 ? "-" : std::to_string(count); }

// The day-table row of a beat class or event kind; -1 when the table has none.
int DayRowOfBeatClass(int beat_class) {
  switch (beat_class) {
    case kClassSVES:
      return TReportValues::kRowSves;
    case kClassVES:
      return TReportValues::kRowVes;
    case kClassArtefact:
      return TReportValues::kRowArtefacts;
    default:
      return -1;
  }
}

int DayRowOfEventKind(int kind) {
  switch (kind) {
    case kClassBradycardia:
      return TReportValues::kRowBradycardias;
    case kClassTachycardia:
      return TReportValues::kRowTachycardias;
    case kClassPause:
      return TReportValues::kRowPauses;
    case kClassArrhythmia:
      return TReportValues::kRowAbsArrhythmias;
    case kClassSVCouplet:
      return TReportValues::kRowSvCouplets;
    case kClassSVTriplet:
      return TReportValues::kRowSvTriplets;
    case kClassSVTachycardia:
      return TReportValues::kRowSvts;
    case kClassSVBigeminy:
      return TReportValues::kRowSvBigeminies;
    case kClassSVTrigeminy:
      return TReportValues::kRowSvTrigeminies;
    case kClassVCouplet:
      return TReportValues::kRowVCouplets;
    case kClassVTriplet:
      return TReportValues::kRowVTriplets;
    case kClassVTachycardia:
      return TReportValues::kRowVts;
    case kClassVBigeminy:
      return TReportValues::kRowVBigeminies;
    case kClassVTrigeminy:
      return TReportValues::kRowVTrigeminies;
    case kClassRonT:
      return TReportValues::kRowRonT;
    case kClassMarker:
      return TReportValues::kRowMarkers;
    case kClassLeadOff:
      return TReportValues::kRowLeadOff;
    default:
      return -1;
  }
}

bool IsAbsArrhythmiaKind(int kind) {
  return kind == kClassArrhythmia || kind == kClassAtrialFibrillation || kind == kClassAtrialFlutter;
}

}  // namespace

void TReportValues::WriteDayRow(int row) {
  for (int d = 0; d < kDays; ++d) {
    int sum = 0;
    for (int h = 24 * d; h < 24 * d + 24; ++h) sum += hour_counts_[h];
    day_table_[row][d] = std::to_string(sum);
  }
}

void TReportValues::FillHourLabels(bool with_day) {
  const double days = doc_.GetRecordingData().start_time.days;
  const int start_second = static_cast<int>(std::llround((days - std::floor(days)) * 86400.0)) % 86400;
  int hour = start_second / 3600;
  const int minute = start_second % 3600 / 60;
  const TTimeFormatter times(locale_);
  for (int i = 0; i < kHours; ++i) {
    hour_texts_[i] = times.FormatHourLabel((hour * 60 + minute) * kMsPerMinute, 2);
    if (with_day) hour_texts_[i] += doc_.GetDayLabel(i / 24 + 1);
    hour = (hour + 1) % 24;
  }
}

void TReportValues::CountBeatsPerHour(int beat_class) {
  hour_counts_.fill(0);
  const TQRSList& beats = doc_.GetQRSList();
  for (int i = 0; i < beats.GetSize(); ++i) {
    const TQRSComplex& beat = *beats.ElementAt(i);
    if (beat.GetClass() != beat_class) continue;
    const int h = HourOf(beat.GetPosition());
    if (h >= 0 && h < kHours) ++hour_counts_[h];
  }
  for (int h = 0; h < kHours; ++h) hour_texts_[h] = CountText(hour_counts_[h]);
  const int row = DayRowOfBeatClass(beat_class);
  if (row >= 0) WriteDayRow(row);
}

int TReportValues::CountEventsPerHour(int event_kind) {
  hour_counts_.fill(0);
  const TEventList& events = doc_.GetEventList();
  const bool abs_arrhythmia = event_kind == kClassArrhythmia;
  for (int i = 0; i < events.GetSize(); ++i) {
    const TEvent& event = *events.ElementAt(i);
    const int kind = event.GetClass();
    if (kind != event_kind && !(abs_arrhythmia && IsAbsArrhythmiaKind(kind))) continue;
    const int h = HourOf(event.GetPosition());
    if (h >= 0 && h < kHours) ++hour_counts_[h];
  }
  int hours_with_events = 0;
  for (int h = 0; h < kHours; ++h) {
    hour_texts_[h] = CountText(hour_counts_[h]);
    if (hour_counts_[h] != 0) ++hours_with_events;
  }
  const int row = DayRowOfEventKind(event_kind);
  if (row >= 0) WriteDayRow(row);
  return hours_with_events;
}

void TReportValues::FillHourlyHeartRateTable() {
  std::array<int, kHours> beats_per_hour{};
  const TQRSList& beats = doc_.GetQRSList();
  for (int i = 0; i < beats.GetSize(); ++i) {
    const int h = HourOf(beats.ElementAt(i)->GetPosition());
    if (h >= 0 && h < kHours) ++beats_per_hour[h];
  }
  for (int d = 0; d < kDays; ++d) {
    day_beat_totals_[d] = 0;
    for (int h = 24 * d; h < 24 * d + 24; ++h) day_beat_totals_[d] += beats_per_hour[h];
  }

  EnsureTrend();
  const auto number = [](int value) { return value == -1 ? std::string("-") : std::to_string(value); };
  for (int h = 0; h < kHours; ++h) {
    hour_beat_texts_[h] = number(beats_per_hour[h]);
    hour_min_texts_[h] = number(trend_->GetBinMin(h));
    hour_mean_texts_[h] = number(trend_->GetBinMean(h));
    hour_max_texts_[h] = number(trend_->GetBinMax(h));
  }

  day_table_[kRowRecordingHeartRate][0] = number(doc_.GetHRMinValue()) + "*";
  day_table_[kRowRecordingHeartRate][1] = std::to_string(trend_->GetMeanOfBinMeans());
  day_table_[kRowRecordingHeartRate][2] = number(doc_.GetHRMaxValue()) + "*";

  for (int d = 0; d < kDays; ++d) {
    std::string min_text = "-*";
    std::string mean_text = "-";
    std::string max_text = "-*";
    if (doc_.GetHoursInDay(d + 1) > 0) {
      // Only hours with a valid heart rate count: an hour of lead-off inside the day must not
      // pull its mean down, and a day without any has no minimum to show.
      int minimum = 0;
      int maximum = 0;
      int sum = 0;
      int valid_hours = 0;
      for (int h = 24 * d; h < 24 * d + 24; ++h) {
        const int bin_min = trend_->GetBinMin(h);
        if (bin_min > 0 && (minimum == 0 || bin_min < minimum)) minimum = bin_min;
        maximum = std::max(maximum, trend_->GetBinMax(h));
        const int bin_mean = trend_->GetBinMean(h);
        if (bin_mean > 0) {
          sum += bin_mean;
          ++valid_hours;
        }
      }
      if (minimum > 0) min_text = std::to_string(minimum) + "*";
      if (valid_hours > 0) mean_text = std::to_string(sum / valid_hours);
      if (maximum > 0) max_text = std::to_string(maximum) + "*";
    }
    day_table_[kRowDayMinHeartRate][d] = min_text;
    day_table_[kRowDayMeanHeartRate][d] = mean_text;
    day_table_[kRowDayMaxHeartRate][d] = max_text;
  }
}

void TReportValues::FillHourlySTTable(int st_channel) {
  st_levels_.fill(kNoSTValue);
  st_slopes_.fill(kNoSTValue);
  st_longest_.fill(-1);
  if (st_channel >= 0 && st_channel < TRecordingData::kStChannels) {
    for (const TSTDetail& episode : doc_.GetRecordingData().st_episodes[st_channel].Elements()) {
      const TSTPoint& onset = episode.points[TSTDetail::kOnset];
      const TSTPoint& extreme = episode.points[TSTDetail::kExtreme];
      const int h = HourOf(onset.position);
      if (h < 0 || h >= kHours) continue;
      if (extreme.level < st_levels_[h]) {
        st_levels_[h] = extreme.level;
        st_slopes_[h] = extreme.slope;
      }
      const int length = episode.points[TSTDetail::kEnd].position - onset.position;
      if (length > st_longest_[h]) st_longest_[h] = length;
    }
  }
  const TNumberFormatter numbers;
  const int rate = SampleRate();
  for (int h = 0; h < kHours; ++h) {
    st_level_texts_[h] = st_levels_[h] == kNoSTValue ? "-" : numbers.FormatFixed(st_levels_[h], 1);
    st_slope_texts_[h] = st_slopes_[h] == kNoSTValue ? "-" : numbers.FormatFixed(st_slopes_[h], 1);
    st_longest_texts_[h] = st_longest_[h] == -1 ? "-" : GetDurationText(st_longest_[h] / rate).substr(0, 5);
  }
}

bool TReportValues::GetMaxSTDepression(int st_channel, int* seconds, double* level) const {
  if (seconds != nullptr) *seconds = 0;
  if (level != nullptr) *level = 0.0;
  if (st_channel < 0 || st_channel >= TRecordingData::kStChannels) return false;
  const TRecordingData& recording = doc_.GetRecordingData();
  const int32_t p = recording.deepest_st_position[st_channel];
  if (p == -1) return false;
  for (const TSTDetail& episode : recording.st_episodes[st_channel].Elements()) {
    if (episode.points[TSTDetail::kOnset].position <= p && p <= episode.points[TSTDetail::kEnd].position) {
      const TSTPoint& extreme = episode.points[TSTDetail::kExtreme];
      if (seconds != nullptr) *seconds = static_cast<int>(extreme.position / doc_.GetSampleRate());
      if (level != nullptr) *level = extreme.level;
      return true;
    }
  }
  return false;
}

// ---- Cells ----------------------------------------------------------------------------------------

namespace {

template <typename T, size_t N>
T Cell(const std::array<T, N>& table, int index, T none) {
  return index >= 0 && index < static_cast<int>(N) ? table[static_cast<size_t>(index)] : none;
}

}  // namespace

std::string TReportValues::GetHourText(int hour) const { return Cell(hour_texts_, hour, std::string()); }
int TReportValues::GetHourCount(int hour) const { return Cell(hour_counts_, hour, 0); }
int TReportValues::GetDayBeatTotal(int day) const { return Cell(day_beat_totals_, day, 0); }
double TReportValues::GetSTHourLevel(int hour) const { return Cell(st_levels_, hour, kNoSTValue); }
double TReportValues::GetSTHourSlope(int hour) const { return Cell(st_slopes_, hour, kNoSTValue); }
int TReportValues::GetSTHourLongest(int hour) const { return Cell(st_longest_, hour, -1); }
std::string TReportValues::GetSTLevelText(int hour) const {
  return Cell(st_level_texts_, hour, std::string());
}
std::string TReportValues::GetSTSlopeText(int hour) const {
  return Cell(st_slope_texts_, hour, std::string());
}
std::string TReportValues::GetSTLongestText(int hour) const {
  return Cell(st_longest_texts_, hour, std::string());
}
std::string TReportValues::GetHourBeatText(int hour) const {
  return Cell(hour_beat_texts_, hour, std::string());
}
std::string TReportValues::GetHourMinText(int hour) const {
  return Cell(hour_min_texts_, hour, std::string());
}
std::string TReportValues::GetHourMeanText(int hour) const {
  return Cell(hour_mean_texts_, hour, std::string());
}
std::string TReportValues::GetHourMaxText(int hour) const {
  return Cell(hour_max_texts_, hour, std::string());
}

std::string TReportValues::GetDayText(int row, int day) const {
  if (row < 0 || row >= kDayRows || day < 0 || day >= kDays) return {};
  return day_table_[row][day];
}
