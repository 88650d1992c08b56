#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

class CZK470Doc;

namespace reporttest {

// A two-channel synthetic ECG of whole hours whose analysis is planted by hand, so that report
// pages can be checked against known truth: beats every kPlantedRR samples (75/min), in each hour
// a known number of beats of every class and events of every kind, a slow and a fast stretch at
// known times, one long episode per rhythm kind, template classes and analysis settings.
//
// Counts follow PlantedCount; the ECG itself is normal sinus rhythm from the synthesizer (the
// pages read the lists, never the samples). The recording starts on 15 January 2024 at 08:00.
namespace planted {

inline constexpr int kRate = 125;
inline constexpr int32_t kSamplesPerHour = kRate * 3600;
inline constexpr int kPlantedRR = 100;
inline constexpr int kSlowRR = 200;  // 37/min
inline constexpr int kFastRR = 50;   // 150/min

// Beat classes and event kinds that carry planted counts.
inline constexpr int kBeatCodes[] = {5, 9, 15};
inline constexpr int kEventCodes[] = {3, 4, 6, 7, 8, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 23, 24};
// Kinds with one long episode on top of their hourly events.
inline constexpr int kEpisodeCodes[] = {7, 8, 12, 18, 19, 20, 24};

// Planted beats of that class or events of that kind starting in that hour (0 outside the
// recording and for codes without planted counts). The long episodes are included.
int PlantedCount(int code, int hour, int hours);
int PlantedTotal(int code, int hours);
// Of the recording's day (0-based).
int PlantedDayTotal(int code, int day, int hours);

// The long episode of a kind: its start in seconds from the recording start and its length.
struct Episode {
  int start_s = 0;
  int duration_s = 0;
};
Episode PlantedEpisode(int code, int hours);

// The slow and fast stretches: 5 minutes each, starting at these seconds.
int SlowStretchStart(int hours);
int FastStretchStart(int hours);

// The sample file and an unanalysed ".QRS" of that many hours (1..72), made once per length and
// process in a temporary folder. Returns the ".QRS" path.
std::filesystem::path RecordingPath(int hours);

// Replaces the document's lists and analysis record with the planted analysis of a recording of
// that many hours; also sets the analysed channels to 1 and 2.
void PlantAnalysis(CZK470Doc& doc, int hours);

// Opens the recording of that many hours in doc and plants its analysis; false when it would not
// open.
bool OpenPlantedRecording(CZK470Doc& doc, int hours);

}  // namespace planted
}  // namespace reporttest
