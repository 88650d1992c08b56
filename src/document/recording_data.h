#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/pm_template_list.h"
#include "document/st_details.h"
#include "document/st_values.h"
#include "document/template_list.h"
#include "platform/archive.h"

namespace platform {
class Clock;
}
namespace document {
struct MemberReadNotes;
}

// The recording record: everything about one recording that is not a beat or an event. The second
// member of the ".QRS" file; its layout differs in every file version from 2 to 32. Texts are UTF-8.
// ST channel i means the recorder channel g_STChannels[i] of document::Context().
class TRecordingData {
 public:
  static constexpr int kStChannels = 2;
  static constexpr int kTemplateClasses = 300;
  static constexpr int kPMClasses = 50;
  static constexpr int kDays = 3;
  static constexpr int kHalfHours = 48;
  static constexpr int kExampleStripsPerCode = 3;
  // Four groups (heart rate, RR interval, heart rate over normal beats, RR between normal beats) of
  // six: position of the minimum, of the maximum, beat index of the minimum, of the maximum, minimum
  // value, maximum value.
  static constexpr int kExtremeValues = 24;

  using TemplateFamily = std::array<TTemplateList, kTemplateClasses>;
  using MemberIndices = std::array<int32_t, kTemplateClasses>;

  // The six reserved template lists: stored in the file, filled and read by nothing, and not copied
  // by the record's copy or assignment (the target keeps its own).
  struct ReservedTemplateLists {
    std::array<TTemplateList, 6> lists;
    ReservedTemplateLists() = default;
    ReservedTemplateLists(const ReservedTemplateLists&) {}
    ReservedTemplateLists& operator=(const ReservedTemplateLists&) { return *this; }
    ReservedTemplateLists(ReservedTemplateLists&&) = default;
    ReservedTemplateLists& operator=(ReservedTemplateLists&&) = default;
    bool operator==(const ReservedTemplateLists& other) const { return lists == other.lists; }
  };

  // Defaults; the start date is today, the start time the current time of day.
  explicit TRecordingData(const platform::Clock& clock);
  TRecordingData(int32_t pacemaker_recording, platform::OleDateTime start_date, platform::OleDateTime start_time,
                 int32_t programmed_length);

  // Sets the 24 heart-rate extreme values in field order.
  void SetExtremes(std::span<const int32_t, kExtremeValues> values);
  // All 120 example-strip times become -1.
  void ResetExampleStrips();
  // "%d.%m.%Y" and "%H:%M".
  std::string GetStartDateText() const;
  std::string GetStartTimeText() const;
  // The start time's fraction of a day with 15 decimals and no leading zero (12:00 gives
  // ".500000000000000"); the recorder programming sends it.
  std::string GetStartTimeFractionText() const;
  static std::string FormatNumber(double value, int decimals);

  // By the family numbers of the template review: 0 VES, 1 normal, 2 artefact, 3 SVES.
  TemplateFamily& TemplateClasses(int family_number);
  const TemplateFamily& TemplateClasses(int family_number) const;
  MemberIndices& CurrentMembers(int family_number);

  // Writes the layout of the given file version; versions 25 to 32 only (any other writes nothing).
  // Version 26 writes as many ST channels as g_AnalysisChannels holds.
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Reads the layout of the stored version and brings older content up to date; fields the version
  // does not hold keep their values. A record of a version outside 2..32 reads nothing more, keeps
  // its content and is noted. A damaged record raises FormatError and leaves the record unchanged.
  // Version 26 reads as many ST channels as the patient record read before it stored (in the notes;
  // without them as g_AnalysisChannels holds), the channels beyond two read past.
  void Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes = nullptr);

  bool operator==(const TRecordingData&) const = default;

  platform::OleDateTime start_date;  // date part only
  platform::OleDateTime start_time;  // fraction of one day
  int32_t programmed_length = 0;     // the recorder's programmed recording length
  int32_t pacemaker_recording = 0;   // 1 when the recorder records pacemaker spikes
  std::string identity_text = "      ";
  std::string analysing_program;  // program name and build of the last analysis
  // Per day (first, second, third 24 hours): 0 prints every half hour of that day in full disclosure.
  std::array<int32_t, kDays> fd_day_switches = {1, 1, 1};
  // Per day, 48 half-hour selections; a nonzero entry k prints the k-th half hour.
  std::array<std::array<int32_t, kHalfHours>, kDays> fd_half_hours{};
  std::string analysis_engine;
  platform::OleDateTime analysis_time{0, 35796.0 + 7.0 / 24.0};  // 1 January 1998, 07:00
  // Setting indices in force at the last analysis; -1 never analysed (or that analysis off).
  int32_t tachycardia_threshold = -1;
  int32_t sves_prematurity = -1;
  int32_t pause_threshold = -1;
  int32_t bradycardia_threshold = -1;
  int32_t arrhythmia_deviation = -1;
  int32_t arrhythmia_min_duration = -1;
  int32_t sves_analysis_on = 1;
  int32_t arrhythmia_analysis_on = 1;
  std::array<TSTValues, kStChannels> st_levels;
  std::array<TSTValues, kStChannels> st_slopes;
  std::array<TSTDetails, kStChannels> st_episodes;
  std::array<int32_t, kStChannels> deepest_st_position = {-1, -1};
  int32_t st_interval = -1;  // seconds per ST value
  int32_t reserved_st_a = -1;
  std::array<int32_t, kStChannels> st_channel_analysed = {0, 0};
  std::array<int32_t, kStChannels> st_depression_limit = {-1, -1};  // tenths of a millimetre
  int32_t reserved_st_b = -1;
  double st_offset1 = -1.0;       // seconds
  double st_offset2 = -1.0;       // seconds
  double st_point_offset = -1.0;  // seconds
  int32_t st_point_distance = -1;  // milliseconds
  int32_t st_results_current = 1;
  std::vector<int32_t> recorder_markers;  // sample positions
  std::string diagnosis;
  std::string recording_text2;
  std::string assignment_heading;
  std::string assignment_text;
  std::string medication;
  TemplateFamily normal_classes;
  TemplateFamily ves_classes;
  TemplateFamily sves_classes;
  TemplateFamily artefact_classes;
  MemberIndices normal_current{};
  MemberIndices ves_current{};
  MemberIndices sves_current{};
  MemberIndices artefact_current{};
  // First and second special class of a family (-1 none).
  std::array<int32_t, 2> normal_special = {-1, -1};
  std::array<int32_t, 2> ves_special = {-1, -1};
  std::array<int32_t, 2> sves_special = {-1, -1};
  ReservedTemplateLists reserved_templates;
  // Per beat class or event kind, three times in milliseconds of report example strips (-1 none).
  std::array<std::array<int32_t, kExampleStripsPerCode>, 40> example_strips;
  std::array<TPMTemplateList, kPMClasses> pm_classes;
  std::array<int32_t, kPMClasses> pm_class_codes{};
  std::array<int32_t, kPMClasses> pm_current{};
  int32_t hrv_window_value = 0;
  platform::OleDateTime hrv_window_start;
  platform::OleDateTime hrv_window_end;
  std::array<int32_t, kExtremeValues> extremes;
};
