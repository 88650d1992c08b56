#include "dialogs/record_property_page.h"

#include <cstdio>

#include "dialogs/date_time_text.h"
#include "dialogs/patient_dialog_ids.h"
#include "dialogs/patient_sheet_flags.h"
#include "document/document_context.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"

namespace {

constexpr const char* kLowerRates[] = {"30", "35", "40", "45", "50", "55", "60", "65", "70"};
constexpr const char* kPauses[] = {"1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"};
constexpr const char* kPrematurities[] = {"15", "20", "25", "30", "35", "40", "45", "50"};
struct Duration {
  const char* value;
  const char* unit;
};
constexpr Duration kDurations[] = {{"10", "[sec]"}, {"20", "[sec]"}, {"30", "[sec]"}, {"1", "[min]"},
                                   {"2", "[min]"},  {"3", "[min]"},  {"5", "[min]"},  {"10", "[min]"}};
constexpr int kUpperRateCount = 15;  // 80, 90 ... 220
// An analysis no later than this never ran (the record's default).
constexpr double kNeverAnalysed = 35796.0 + 7.0 / 24.0;  // 1 January 1998, 07:00

// The text of index in table; nothing for a negative index (that analysis was off) or one beyond
// the table (a damaged record).
template <size_t N>
const char* Pick(const char* const (&table)[N], int index) {
  return index >= 0 && static_cast<size_t>(index) < N ? table[index] : nullptr;
}

// One decimal with a point, whatever the process locale.
std::string OneDecimal(double value) { return document::FormatFixedPoint(value, 1); }

}  // namespace

CRecordPropertyPage::CRecordPropertyPage() : win::PropertyPage(kTemplateId) { AddCommand(kPacemakerId, [] {}); }

CRecordPropertyPage::CRecordPropertyPage(CZK470Doc* document) : CRecordPropertyPage() {
  this->document = document;
  lower_rate_text = upper_rate_text = pause_text = sves_prematurity_text = arrhythmia_prematurity_text = "-";
  arrhythmia_duration_text = program_text = engine_text = analysis_date_text = analysis_time_text = "-";
  st_point_text = length_text = "-";
  st_limit_texts = {"-", "-", "-"};
  st_channel_marks = {"-", "-", "-"};
  arrhythmia_duration_unit = "[sec]";
  recorder_text = "-     ";
  const platform::Locale& locale = dialogs::DialogLocale();
  date_hint = dialogs::DateEntryHint(locale, platform::LoadString(dialogs::ids::kHintYear),
                                     platform::LoadString(dialogs::ids::kHintMonth),
                                     platform::LoadString(dialogs::ids::kHintDay));
  time_hint = dialogs::TimeEntryHint(locale, platform::LoadString(dialogs::ids::kHintHour),
                                     platform::LoadString(dialogs::ids::kHintMinute),
                                     platform::LoadString(dialogs::ids::kHintSecond));
}

void CRecordPropertyPage::FillDisplayTexts(const TRecordingData& record, const CZK470Doc& doc) {
  if (const char* text = Pick(kLowerRates, record.bradycardia_threshold)) lower_rate_text = text;
  if (record.tachycardia_threshold >= 0 && record.tachycardia_threshold < kUpperRateCount)
    upper_rate_text = std::to_string(80 + 10 * record.tachycardia_threshold);
  if (const char* text = Pick(kPauses, record.pause_threshold)) pause_text = text;
  if (const char* text = Pick(kPrematurities, record.sves_prematurity)) sves_prematurity_text = text;
  if (const char* text = Pick(kPrematurities, record.arrhythmia_deviation)) arrhythmia_prematurity_text = text;
  if (record.arrhythmia_min_duration >= 0 && record.arrhythmia_min_duration < static_cast<int>(std::size(kDurations))) {
    arrhythmia_duration_text = kDurations[record.arrhythmia_min_duration].value;
    arrhythmia_duration_unit = kDurations[record.arrhythmia_min_duration].unit;
  }
  recorder_text = record.identity_text;
  program_text = record.analysing_program.empty() ? "-" : record.analysing_program;
  engine_text = record.analysis_engine.empty() ? "-" : record.analysis_engine;
  if (record.analysis_time.status == 0 && record.analysis_time.days > kNeverAnalysed + 0.5 / 86400.0) {
    analysis_date_text = dialogs::FormatDateText(record.analysis_time, dialogs::DialogLocale());
    analysis_time_text = dialogs::FormatTimeText(record.analysis_time, dialogs::DialogLocale());
  } else {
    analysis_date_text = analysis_time_text = "-";
  }
  if (record.st_point_distance > 0) st_point_text = std::to_string(record.st_point_distance);
  // ST limits by the position of each analysed channel, shown at that channel.
  const document::ChannelSet& analysed = document::Context().g_AnalysisChannels;
  for (int i = 0; i < analysed.count && i < TRecordingData::kStChannels; ++i) {
    const int channel = analysed.channels[static_cast<size_t>(i)];
    if (record.st_channel_analysed[static_cast<size_t>(i)] != 0 && channel >= 0 && channel < 3)
      st_limit_texts[static_cast<size_t>(channel)] =
          OneDecimal(record.st_depression_limit[static_cast<size_t>(i)] * 0.1);
  }
  const int minutes = doc.GetRecordingMinutes();
  if (minutes > 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%2d:%02d", minutes / 60, minutes % 60);
    length_text = text;
  }
  const document::ChannelSet& st = document::Context().g_STChannels;
  for (int i = 0; i < st.count; ++i) {
    const int channel = st.channels[static_cast<size_t>(i)];
    if (channel >= 0 && channel < 3) st_channel_marks[static_cast<size_t>(channel)] = "X";
  }
}

bool CRecordPropertyPage::OnInitDialog() {
  const bool result = win::PropertyPage::OnInitDialog();
  if (document != nullptr && document->GetHost().IsAutomationCommandComplete()) {
    if (win::Window* check = GetDlgItem(kPacemakerId)) check->EnableWindow(false);
  }
  return result;
}

bool CRecordPropertyPage::OnSetActive() {
  // A new recording takes its start from the recorder; an analysed one its pacemaker detection.
  if (recorder_entry != 0) {
    for (const int id : {kStartDateId, kStartTimeId})
      if (win::Window* control = GetDlgItem(id)) control->EnableWindow(false);
  } else if (win::Window* check = GetDlgItem(kPacemakerId)) {
    check->EnableWindow(false);
  }
  return win::PropertyPage::OnSetActive();
}

void CRecordPropertyPage::DoDataExchange(win::DataExchange& dx) {
  dialogs::DdxDateTimeText(dx, kStartDateId, start_date);
  dialogs::DdxDateTimeText(dx, kStartTimeId, start_time);
  win::DdxText(dx, kLowerRateId, lower_rate_text);
  win::DdxText(dx, kUpperRateId, upper_rate_text);
  win::DdxText(dx, kPauseId, pause_text);
  win::DdxText(dx, kSvesPrematurityId, sves_prematurity_text);
  win::DdxText(dx, kArrhythmiaPrematurityId, arrhythmia_prematurity_text);
  win::DdxText(dx, kArrhythmiaDurationId, arrhythmia_duration_text);
  win::DdxText(dx, kArrhythmiaDurationUnitId, arrhythmia_duration_unit);
  win::DdxText(dx, kRecorderTextId, recorder_text);
  win::DdxText(dx, kDateHintId, date_hint);
  win::DdxText(dx, kTimeHintId, time_hint);
  win::DdxText(dx, kProgramId, program_text);
  win::DdxText(dx, kEngineId, engine_text);
  win::DdxText(dx, kAnalysisDateId, analysis_date_text);
  win::DdxText(dx, kAnalysisTimeId, analysis_time_text);
  win::DdxText(dx, kSTPointId, st_point_text);
  for (int i = 0; i < 3; ++i) {
    win::DdxText(dx, kSTLimitFirstId + i, st_limit_texts[static_cast<size_t>(i)]);
    win::DdxText(dx, kSTMarkFirstId + i, st_channel_marks[static_cast<size_t>(i)]);
  }
  win::DdxText(dx, kLengthId, length_text);
  win::DdxCheck(dx, kPacemakerId, PatientSheetGlobals().recording_pacemaker);
}
