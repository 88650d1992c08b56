#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CZK470Doc;
class THeartRateTrend;

namespace platform {
class Locale;
}

// The locale of the report values' clock times: the system's own unless start-up or a test sets
// another. Not owned; nullptr returns to the system locale.
const platform::Locale& ReportValuesLocale();
void SetReportValuesLocale(const platform::Locale* locale);

// Turns the analysis of the open recording into the texts and numbers of report fields and into
// the per-hour and per-day tables of the hourly reports and the statistics screen. Texts are
// returned by value. Numbers are written without separators, "-" stands for a missing value,
// durations read HH:MM:SS and clock times follow the locale with the day label of multi-day
// recordings. Hours count from the recording start (position / (rate x 3600)), days are 24-hour
// periods from the start.
//
// A short-lived calculator: created on the document, asked and deleted by one caller on one
// thread. It reads the document's lists at every call and owns a heart-rate trend with one-hour
// bins, computed on first need. The locale must outlive the object.
class TReportValues {
 public:
  static constexpr int kHours = 72;
  static constexpr int kDays = 3;
  static constexpr int kDayRows = 24;

  // Slots of the episode start positions (sample positions, 0 when there is no episode), read by
  // the statistics screen's go-to buttons.
  enum EpisodeStart {
    kStartLongestBradycardia = 0,
    kStartLongestTachycardia,
    kStartLongestPause,
    kStartLongestVt,
    kStartLongestVBigeminy,
    kStartLongestVTrigeminy,
    kStartLongestSvt,
    kStartFastestVt,
    kStartFastestVBigeminy,
    kStartFastestVTrigeminy,
    kStartFastestSvt,
    kEpisodeStarts
  };

  // Rows of the day table.
  enum DayRow {
    kRowRecordingHeartRate = 0,  // columns: minimum "*", mean, maximum "*" of the recording
    kRowDayMinHeartRate = 1,
    kRowDayMeanHeartRate = 2,
    kRowDayMaxHeartRate = 3,
    kRowBradycardias = 4,
    kRowTachycardias = 5,
    kRowPauses = 6,
    kRowAbsArrhythmias = 7,
    kRowSves = 8,
    kRowSvCouplets = 9,
    kRowSvTriplets = 10,
    kRowSvts = 11,
    kRowSvBigeminies = 12,
    kRowSvTrigeminies = 13,
    kRowVes = 14,
    kRowVCouplets = 15,
    kRowVTriplets = 16,
    kRowVts = 17,
    kRowVBigeminies = 18,
    kRowVTrigeminies = 19,
    kRowRonT = 20,
    kRowMarkers = 21,
    kRowLeadOff = 22,
    kRowArtefacts = 23,
  };

  explicit TReportValues(CZK470Doc& doc, const platform::Locale& locale = ReportValuesLocale());
  ~TReportValues();
  TReportValues(const TReportValues&) = delete;
  TReportValues& operator=(const TReportValues&) = delete;

  // ---- Formatting -------------------------------------------------------------------------
  // The clock time that many seconds after the recording start, with the day label.
  std::string GetTimeOfDayText(int seconds) const;
  // HH:MM:SS; hours are not reduced modulo 24.
  static std::string GetDurationText(int seconds);

  // ---- Heart-rate extremes (compute the trend once) ----------------------------------------
  std::string GetMinHeartRateText();
  std::string GetMinHeartRateTimeText();
  int GetMinHeartRateSeconds();
  std::string GetMeanHeartRateText();
  std::string GetMaxHeartRateText();
  std::string GetMaxHeartRateTimeText();
  int GetMaxHeartRateSeconds();
  std::string GetMinRRText();
  std::string GetMinRRTimeText();
  std::string GetMaxRRText();
  std::string GetMaxRRTimeText();
  std::string GetMinNNText();
  std::string GetMinNNTimeText();
  std::string GetMaxNNText();
  std::string GetMaxNNTimeText();
  std::string GetMinSinusRateText();
  std::string GetMinSinusRateTimeText();
  std::string GetMaxSinusRateText();
  std::string GetMaxSinusRateTimeText();

  // ---- Counts ----------------------------------------------------------------------------
  std::string GetBeatCountText() const;
  int GetBeatCount() const;
  std::string GetBradycardiaCountText() const;
  int GetBradycardiaCount() const;
  std::string GetTachycardiaCountText() const;
  int GetTachycardiaCount() const;
  std::string GetPauseCountText() const;
  int GetPauseCount() const;
  // Gated by the supraventricular-analysis flag: "-" and 0 when it is off.
  std::string GetSvesCountText() const;
  int GetSvesCount() const;
  std::string GetSvCoupletCountText() const;
  int GetSvCoupletCount() const;
  std::string GetSvTripletCountText() const;
  int GetSvTripletCount() const;
  std::string GetSvtCountText() const;
  int GetSvtCount() const;
  std::string GetSvBigeminyCountText() const;
  std::string GetSvTrigeminyCountText() const;
  std::string GetVesCountText() const;
  int GetVesCount() const;
  std::string GetVCoupletCountText() const;
  int GetVCoupletCount() const;
  std::string GetVTripletCountText() const;
  int GetVTripletCount() const;
  std::string GetVtCountText() const;
  int GetVtCount() const;
  std::string GetVBigeminyCountText() const;
  std::string GetVTrigeminyCountText() const;
  std::string GetRonTCountText() const;
  std::string GetMarkerCountText() const;
  int GetMarkerCount() const;
  std::string GetLeadOffCountText() const;
  std::string GetArtefactCountText() const;
  int GetArtefactCount() const;
  // Kinds 24, 30 and 31 together; "-" and 0 when the absolute-arrhythmia flag is off and none
  // is present.
  std::string GetAbsArrhythmiaCountText() const;
  int GetAbsArrhythmiaCount() const;
  std::string GetAbsArrhythmiaTotalText() const;  // not gated

  // Per-hour maxima. They count per hour and so overwrite the hour texts and hour counts. The
  // two-result forms set *count to the maximum and *hour to the first hour holding it (*hour is
  // left alone when every hour is 0); either pointer may be null.
  std::string GetMaxSvesPerHourText();
  int GetMaxSvesPerHour(int* count, int* hour);  // not gated
  std::string GetMaxSvCoupletsPerHourText();
  std::string GetMaxSvTripletsPerHourText();
  std::string GetMaxSvtPerHourText();
  std::string GetMaxSvBigeminyPerHourText();
  std::string GetMaxSvTrigeminyPerHourText();
  std::string GetMaxVesPerHourText();
  int GetMaxVesPerHour(int* count, int* hour);
  std::string GetMaxVCoupletsPerHourText();
  std::string GetMaxVTripletsPerHourText();
  std::string GetMaxVtPerHourText();
  std::string GetMaxVBigeminyPerHourText();
  std::string GetMaxVTrigeminyPerHourText();
  std::string GetMaxAbsArrhythmiaPerHourText();
  int GetMaxAbsArrhythmiaPerHour(int* count, int* hour);

  // ---- Longest and fastest episodes (after ComputeEpisodes) -------------------------------
  void ComputeEpisodes();
  int32_t GetEpisodeStartPosition(EpisodeStart slot) const;

  std::string GetLongestBradycardiaTimeText() const;
  int GetLongestBradycardiaSeconds() const;
  std::string GetLongestBradycardiaDurationText() const;
  int GetLongestBradycardiaDurationMs() const;
  std::string GetLongestTachycardiaTimeText() const;
  int GetLongestTachycardiaSeconds() const;
  std::string GetLongestTachycardiaDurationText() const;
  int GetLongestTachycardiaDurationMs() const;
  std::string GetLongestPauseTimeText() const;
  int GetLongestPauseSeconds() const;
  std::string GetLongestPauseDurationText() const;
  int GetLongestPauseDurationMs() const;
  std::string GetLongestSvtTimeText() const;
  int GetLongestSvtSeconds() const;
  std::string GetLongestSvtDurationText() const;
  int GetLongestSvtDurationMs() const;
  std::string GetLongestSvtRateText() const;
  int GetLongestSvtRate() const;
  std::string GetLongestVtTimeText() const;
  int GetLongestVtSeconds() const;
  std::string GetLongestVtDurationText() const;
  int GetLongestVtDurationMs() const;
  std::string GetLongestVtRateText() const;
  int GetLongestVtRate() const;
  std::string GetLongestVBigeminyTimeText() const;
  std::string GetLongestVBigeminyDurationText() const;
  std::string GetLongestVBigeminyRateText() const;
  std::string GetLongestVTrigeminyTimeText() const;
  std::string GetLongestVTrigeminyDurationText() const;
  std::string GetLongestVTrigeminyRateText() const;

  std::string GetFastestSvtTimeText() const;
  std::string GetFastestSvtRateText() const;
  std::string GetFastestSvtDurationText() const;
  std::string GetFastestVtTimeText() const;
  std::string GetFastestVtRateText() const;
  std::string GetFastestVtDurationText() const;
  std::string GetFastestVBigeminyTimeText() const;
  std::string GetFastestVBigeminyRateText() const;
  std::string GetFastestVBigeminyDurationText() const;
  std::string GetFastestVTrigeminyTimeText() const;
  std::string GetFastestVTrigeminyRateText() const;
  std::string GetFastestVTrigeminyDurationText() const;

  // Start time " /" duration, or "-".
  std::string GetLongestAbsArrhythmiaText() const;
  int GetLongestAbsArrhythmiaSeconds() const;
  int GetLongestAbsArrhythmiaDuration() const;  // whole seconds, at least 1; 0 when none

  // Computed from the event list at each call, SV gate: "<seconds>s (<start time>)" or "-".
  std::string GetLongestSvBigeminyText() const;
  std::string GetLongestSvTrigeminyText() const;

  // ---- Tables --------------------------------------------------------------------------------
  // The hour texts and hour counts are shared by the labels and the per-hour counts: read them
  // before the next fill. The other tables are independent.
  void FillHourLabels(bool with_day);
  void CountBeatsPerHour(int beat_class);
  // Returns the number of hours whose count is not 0.
  int CountEventsPerHour(int event_kind);
  void FillHourlyHeartRateTable();
  void FillHourlySTTable(int st_channel);
  bool GetMaxSTDepression(int st_channel, int* seconds, double* level) const;

  // Cells, hour 0..71, day 0..2, row 0..23; an index outside gives "" or the table's empty value.
  std::string GetHourText(int hour) const;
  int GetHourCount(int hour) const;
  int GetDayBeatTotal(int day) const;
  double GetSTHourLevel(int hour) const;  // 10000.0 = none
  double GetSTHourSlope(int hour) const;  // 10000.0 = none
  int GetSTHourLongest(int hour) const;   // samples; -1 = none
  std::string GetSTLevelText(int hour) const;
  std::string GetSTSlopeText(int hour) const;
  std::string GetSTLongestText(int hour) const;
  std::string GetHourBeatText(int hour) const;
  std::string GetHourMinText(int hour) const;
  std::string GetHourMeanText(int hour) const;
  std::string GetHourMaxText(int hour) const;
  std::string GetDayText(int row, int day) const;

 private:
  struct Episode {
    int32_t duration = 0;  // samples; 0 = none
    int32_t start_seconds = 0;
    int32_t rate = 0;  // bpm; 0 = none
  };

  void EnsureTrend();
  std::string ExtremeTimeText(int32_t position) const;
  int ExtremeSeconds(int32_t position) const;
  std::string IntervalText(int32_t samples) const;
  std::string EpisodeTimeText(const Episode& e) const;
  std::string EpisodeDurationText(const Episode& e) const;
  int EpisodeDurationMs(const Episode& e) const;
  static std::string RateText(const Episode& e);
  std::string LongestEventText(int kind) const;
  int CountEventKind(int kind) const;
  int CountBeatClass(int beat_class) const;
  bool SvOn() const;
  bool AbsArrhythmiaOn() const;
  int MaxPerHour(int* max, int* hour) const;
  std::string MaxBeatsPerHourText(int beat_class);
  std::string MaxEventsPerHourText(int kind);
  void WriteDayRow(int row);
  int HourOf(int32_t position) const;
  int SampleRate() const;

  CZK470Doc& doc_;
  const platform::Locale& locale_;
  std::unique_ptr<THeartRateTrend> trend_;

  std::array<std::string, kHours> hour_texts_{};
  std::array<int, kHours> hour_counts_{};
  std::array<int, kDays> day_beat_totals_{};
  std::array<double, kHours> st_levels_{};
  std::array<double, kHours> st_slopes_{};
  std::array<int, kHours> st_longest_{};
  std::array<std::string, kHours> st_level_texts_{}, st_slope_texts_{}, st_longest_texts_{};
  std::array<std::string, kHours> hour_beat_texts_{}, hour_min_texts_{}, hour_mean_texts_{},
      hour_max_texts_{};
  std::array<std::array<std::string, kDays>, kDayRows> day_table_{};

  std::array<int32_t, kEpisodeStarts> episode_starts_{};
  Episode longest_bradycardia_, longest_tachycardia_, longest_pause_, longest_vt_, longest_vbigeminy_,
      longest_vtrigeminy_, longest_svt_;
  Episode fastest_vt_, fastest_vbigeminy_, fastest_vtrigeminy_, fastest_svt_;
  Episode longest_abs_arrhythmia_;
};
