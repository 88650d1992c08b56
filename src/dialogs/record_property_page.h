#pragma once

#include <array>
#include <string>

#include "platform/archive.h"
#include "win/property_sheet.h"

class CZK470Doc;
class TRecordingData;

// The second page of the patient data sheet: the recording's start date and time and its
// pacemaker detection, and, for display only, the analysis settings and program versions that the
// recording was last analysed with (never written back). The pacemaker check (1076) is bound to
// PatientSheetGlobals().recording_pacemaker. User-interface thread only.
class CRecordPropertyPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 177;
  static constexpr int kStartDateId = 1116;
  static constexpr int kStartTimeId = 1118;
  static constexpr int kLowerRateId = 1152;
  static constexpr int kUpperRateId = 1153;
  static constexpr int kPauseId = 1154;
  static constexpr int kSvesPrematurityId = 1155;
  static constexpr int kRecorderTextId = 1156;
  static constexpr int kArrhythmiaPrematurityId = 1157;
  static constexpr int kDateHintId = 1167;
  static constexpr int kTimeHintId = 1168;
  static constexpr int kArrhythmiaDurationId = 1612;
  static constexpr int kArrhythmiaDurationUnitId = 1613;
  static constexpr int kProgramId = 1614;
  static constexpr int kEngineId = 1615;
  static constexpr int kAnalysisDateId = 1616;
  static constexpr int kAnalysisTimeId = 1617;
  static constexpr int kSTPointId = 1618;
  static constexpr int kSTLimitFirstId = 1619;  // channels 1..3: 1619..1621
  static constexpr int kSTMarkFirstId = 1622;   // channels 1..3: 1622..1624
  static constexpr int kLengthId = 1625;
  static constexpr int kPacemakerId = 1076;

  // All texts empty.
  CRecordPropertyPage();
  // The display texts "-" except the duration unit "[sec]" and the recorder text "-     "; the
  // entry hints built.
  explicit CRecordPropertyPage(CZK470Doc* document);

  // The display texts from the record and the document; a text whose source is not set keeps its
  // value.
  void FillDisplayTexts(const TRecordingData& record, const CZK470Doc& document);

  bool OnSetActive() override;

  platform::OleDateTime start_date{0, 0.0};
  platform::OleDateTime start_time{0, 0.0};
  std::string lower_rate_text;
  std::string upper_rate_text;
  std::string pause_text;
  std::string sves_prematurity_text;
  std::string arrhythmia_prematurity_text;
  std::string arrhythmia_duration_text;
  std::string arrhythmia_duration_unit;
  std::string recorder_text;
  std::string date_hint;
  std::string time_hint;
  std::string program_text;
  std::string engine_text;
  std::string analysis_date_text;
  std::string analysis_time_text;
  std::string st_point_text;
  std::array<std::string, 3> st_limit_texts;
  std::string length_text;
  std::array<std::string, 3> st_channel_marks;
  int recorder_entry = 0;
  CZK470Doc* document = nullptr;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};
