#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/document_host.h"
#include "document/ecg_block.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/pm_template_list.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/template_class_entry.h"
#include "document/template_list.h"
#include "document/update_hints.h"
#include "document/zk130_info_list.h"
#include "platform/file_system.h"
#include "platform/ids.h"

namespace platform {
class ArchiveReader;
class ArchiveWriter;
class Clock;
class ProfileStore;
}  // namespace platform

class TRawECGData;

// The one recording document of the program: it owns the patient and recording records, the beat,
// event and template lists, the recorder information list, the sample store and the open ".QRS"
// file (held under an advisory lock for as long as the recording is open), keeps the user
// settings, and keeps the view state that the screens share (display mode, positions, spans,
// navigation flags). Every recording that is opened, created or converted is loaded into the same
// object. Views learn of changes only through UpdateAllViews.
//
// Times of positions and spans are milliseconds from the recording start; beats and events are
// placed by sample position (125 per second). User-interface thread only; an analysis worker may
// use the lists while that thread waits in a modal dialog.
class CZK470Doc {
 public:
  struct NoUserInterface {};

  // Families of the working template lists that the analysis engines fill; an engine addresses
  // family f, class c as f x 1000 + c.
  static constexpr int kEngineFamilyNormal = 0;
  static constexpr int kEngineFamilyVES = 1;
  static constexpr int kEngineFamilySVES = 2;
  static constexpr int kEngineFamilyArtefact = 3;
  static constexpr int kEngineFamilies = 4;
  static constexpr int kEngineClasses = 1000;
  using EngineTemplateFamily = std::array<TTemplateList, kEngineClasses>;

  // One sample unit is 5 microvolts (every sample store and reader).
  static constexpr int kSampleUnitMicrovolts = 5;
  static constexpr int kDefaultSampleRate = 125;
  static constexpr int kWorkFileKinds = 6;
  static constexpr int kViewPositions = 7;

  // Paper speeds in mm/s and gains in mm/mV of the views' scale choices, by pair 1..8.
  struct ScalePair {
    std::array<double, 4> speeds;
    int speed_count;
    std::array<double, 4> gains;
    int gain_count;
  };
  static const std::array<ScalePair, 8> kDisplayScales;

  // The recorder identification that the recorder subsystem reads and writes; the constructors
  // set it to this state and do nothing else with it.
  struct RecorderIdentification {
    std::array<std::string, 4> texts;
    uint8_t flag = 0;
    int32_t recorder_kind = 9;
    int32_t search_result = 0;
  };

  // State kept for the views and the beat editor; the document only initialises and resets it.
  struct ViewFields {
    int16_t selector_a = 1;
    int16_t selector_b = 0;
    int16_t selector_c = 99;
    std::array<int32_t, kViewPositions> positions{};  // one scroll position per review view kind
    std::array<std::array<int32_t, 3>, 2> marks{{{-1, -1, -1}, {-1, -1, -1}}};
    std::array<int32_t, 3> state{};
    int32_t caliper = 0;  // 1 while the measuring caliper is shown
    int32_t request = 0;
    int32_t width = 250;
    int32_t range_start_beat = -1;  // range marked in the beat editor, -1 none
    int32_t range_end_beat = -1;
    int32_t range_position = 0;  // ms at the moment a range start was marked
    int32_t position_mark = -1;  // ms remembered by command 32859, -1 none
    int32_t undo_position = 0;
    int32_t template_row_marker = -1;
    int32_t screen_scale = 30;                              // screen pixels per centimetre
    std::array<int32_t, 2> channel_page_switches = {1, 1};  // kept for the program run only
    std::array<int32_t, 2> report_values = {0, -1};
    // Member index within the selected template class at which the beat page opens, -1 none.
    int32_t pending_beat_in_class = -1;
    // Per example-strip slot: its window (ms, -1 until its strip area computes it) and the kind
    // it shows (set by the sample windows).
    std::array<int32_t, 3> sample_start_ms = {-1, -1, -1};
    std::array<int32_t, 3> sample_end_ms = {-1, -1, -1};
    std::array<int32_t, 3> sample_kind = {6, 6, 6};
    int32_t legend_row_height = 0;  // pixels, written by whichever legend row area lays out last
    int32_t event_tick_column = 0;  // pixels from the tick strip's left edge to the current position
    int16_t bar_graph_group = 1;    // hourly bar graphs: 1 codes 15-20, 2 codes 9-14, 3 codes 3-8
    // The full-disclosure page's time window (ms), kept by the page area; the row times follow it.
    int32_t page_start_ms = 0;
    int32_t page_end_ms = 0;
    // Set when auto-scroll was asked for on a screen without the page alone; the page window of the
    // next layout clears it and opens the dialog.
    int32_t auto_scroll_request = 0;
  };

  // The values of the display-speed sheet (command 32837), as its pages show them.
  struct DisplaySpeedValues {
    int sample_speed = 0;
    int sample_amplitude = 0;
    int ecg_speed = 0;
    int ecg_amplitude = 0;  // page value: the stored value, less 2 when it is 2 or more
    int zoom_speed = 0;
    int zoom_amplitude = 0;
    int realtime_amplitude = 0;
  };

  // The values of the analysis options sheet (command 32818).
  struct AnalysisOptionValues {
    int tachycardia = 0;
    int sves_prematurity = 0;
    int pause = 0;
    int bradycardia = 0;
    int arrhythmia_prematurity = 0;
    int sv_analysis_on = 0;     // stored as "Abs.-Arrhythmia ON"
    int abs_arrhythmia_on = 0;  // stored as "SVES ON"
    int arrhythmia_duration = 0;
    std::array<int, 3> st_trend_on{};
    std::array<int, 3> st_limit{};
    int st_point = 0;
    int ves_templates = 0;
    int analysis_mode = 0;
  };

  // How an update handler of the document treats a command entry.
  struct CommandUpdate {
    bool handled = false;
    std::optional<bool> enabled;  // nullopt: the handler leaves the entry as it is
  };

  // The document with user interface: loads the settings from the profile (writing missing values
  // back), creates the data, export, 24-hour export and GDT directories and makes the data
  // directory the current directory. Profile and clock must outlive the document.
  CZK470Doc(platform::ProfileStore& profile, const platform::Clock& clock, SettingsDefaults defaults = {});
  // A document without user interface: shows none of the opening messages, creates no directory
  // and leaves the profile as it found it.
  CZK470Doc(NoUserInterface, platform::ProfileStore& profile, const platform::Clock& clock,
            SettingsDefaults defaults = {});
  // Saves the settings (with user interface), deletes the work files and releases the held file.
  ~CZK470Doc();
  CZK470Doc(const CZK470Doc&) = delete;
  CZK470Doc& operator=(const CZK470Doc&) = delete;

  // --- Collaborators (not owned; nullptr restores the defaults) ---
  void SetHost(document::DocumentHost* host);
  document::DocumentHost& GetHost() const { return *host_; }
  void SetAnalysisHooks(document::AnalysisHooks* hooks) { analysis_hooks_ = hooks; }
  document::AnalysisHooks* GetAnalysisHooks() const { return analysis_hooks_; }
  const platform::Clock& GetClock() const { return clock_; }
  bool HasUserInterface() const { return no_ui_ == 0; }

  // --- Views and update hints ---
  void AddView(document::DocumentView* view);
  void RemoveView(document::DocumentView* view);
  // Every registered view but the sender gets OnUpdate, in registration order.
  void UpdateAllViews(document::DocumentView* sender, int hint, THintObject* object = nullptr);

  // --- The framework document's own state ---
  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified = true) { modified_ = modified; }
  const std::string& GetPathName() const { return path_name_; }
  // The framework's path name and title (the file name); adds the file to the recent-file list.
  void SetPathName(const std::string& path, bool add_to_recent = true);
  const std::string& GetTitle() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  std::string GetTitleCopy() const { return title_; }

  // --- Resets and the new-document operation ---
  void ResetContents();
  void ResetAnalysisResults();
  void ResetToUntitled();
  void DeleteContents();
  bool OnNewDocument();
  // The body of the new-document operation; nonzero on success.
  int NewRecording(int ask_save);
  // The same with these records in place of the default ones (a GDT take-over).
  int NewRecording(int ask_save, const TPatientData& patient, const TRecordingData& recording);
  // Asks the finalize question when it applies, then whether the documents may close (unsaved
  // changes are offered for saving). True: the frame may close; the closed flag is then set.
  bool CanCloseFrame();
  void OnCloseDocument();
  // Offers unsaved changes for saving (Yes/No/Cancel); false when the user cancelled or the save
  // failed. True at once when the document has no path.
  bool SaveModified();
  // Saves under the document's path name.
  bool DoFileSave();
  void StartAnalysis(int mode);

  // --- Document file, backup and companion files ---
  // Opens a ".QRS" recording (with its sample file), a ".PDF" document or a "KZT" exchange file.
  // A recording is read whole before anything changes: on any failure the message is shown and
  // the document, the held file and every file on disk stay as they were. The ".BAK" copy is
  // refreshed only after the recording was read successfully.
  bool OnOpenDocument(const std::string& path);
  // Writes the document into the held ".QRS" (a temp file beside it, flushed and renamed over it,
  // so a failed save leaves the old file whole), locks the new file and refreshes the ".BAK".
  bool OnSaveDocument(const std::string& path);
  // Loads or stores the four members of the ".QRS" file. Loading reads into locals and commits at
  // the end: a damaged file raises platform::FormatError and changes neither the document nor the
  // process-wide channel sets.
  void Serialize(platform::ArchiveWriter& ar);
  void Serialize(platform::ArchiveReader& ar);
  // The bytes a save writes.
  std::vector<uint8_t> StoreToBytes();

  // The longest ".QRS" that is read. A beat and an event at every sample of the longest
  // recording (4320 minutes at 125 Hz: 32.4 million of each, 10 + 14 bytes) come to about 780 MB;
  // the records beside the lists are far smaller. A longer file is no recording, and reading it
  // whole would only exhaust memory.
  static constexpr uint64_t kMaxRecordingFileBytes = uint64_t{1} << 30;

  // Holds the file under the document's lock; false (and a lock held before kept) when it cannot
  // be opened or another program instance holds it.
  bool OpenRecordingFile(const std::string& path);
  void CloseRecordingFile(int lost);
  bool IsFileHeld() const { return held_file_.Locked(); }
  const std::string& GetHeldFilePath() const { return held_path_; }

  static bool HasVoiceFile(const std::string& path);
  static bool IsDataFileMissing(const std::string& path);
  static bool IsDataFileInvalid(const std::string& path);
  // The sample file of a document path: "CMP", "TAP", "RX3", "KZC", "KHI" beside it, else a
  // reference signal file. nullopt when the "CMP" file is invalid or nothing is found.
  static std::optional<std::string> FindDataFile(const std::string& path);
  // Reads a recording file's patient record, recording record, beat list and event list into the
  // given objects, as opening it would; the document and the channel sets of the context stay as
  // they were. IoError (FormatError with the member and offset) when it cannot be read whole.
  static void ReadRecordingFile(const std::string& path, TPatientData& patient, TRecordingData& recording,
                                TQRSList& beats, TEventList& events);
  // Finalizes the recording: the first character of its number becomes 'V' and its files are
  // renamed. When the ".QRS" cannot be renamed the number stays as it was.
  void MarkRecordingNumber(int reopen);
  // Renames the recording's files after its recording number; false when the ".QRS" was not
  // renamed (then nothing was).
  bool RenameRecordingFiles(int reopen);
  bool RenameRecordingByPatient();
  std::string GetRecordingSummary(const std::string& name) const;
  const std::string& GetRecordingNumber() const { return recording_number_; }
  // The last five characters of the base name when it ends with "-", else "-----".
  static std::string RecordingNumberFromPath(const std::string& path);
  const std::string& GetDocumentPath() const { return document_path_; }
  int GetVoiceFileFlag() const { return voice_file_; }

  // --- Positions and spans (milliseconds unless named in minutes) ---
  int32_t MsToSamples(int32_t ms) const;
  int32_t SamplesToMs(int32_t samples) const;
  double GetSampleRate() const;

  int32_t GetCurrentPosition() const { return current_position_; }
  void SetCurrentPosition(int32_t ms, uint8_t flag = 0) {
    current_position_ = ms;
    position_flag_ = flag;
  }
  uint8_t GetPositionFlag() const { return position_flag_; }
  int32_t GetStripStartMs() const { return strip_start_ms_; }
  void SetStripStartMs(int32_t ms) { strip_start_ms_ = ms; }
  int32_t GetStripEndMs() const { return strip_end_ms_; }
  void SetStripEndMs(int32_t ms) { strip_end_ms_ = ms; }
  int32_t* GetStripStartAddress() { return &strip_start_ms_; }
  int32_t* GetStripEndAddress() { return &strip_end_ms_; }
  int32_t GetTimeRangeStart() const { return range_start_ms_; }
  void SetTimeRangeStart(int32_t ms) { range_start_ms_ = ms; }
  int32_t GetTimeRangeEnd() const { return range_end_ms_; }
  void SetTimeRangeEnd(int32_t ms) { range_end_ms_ = ms; }
  int32_t GetSpanStartMinute() const { return span_start_minute_; }
  void SetSpanStartMinute(int32_t minute) { span_start_minute_ = minute; }
  int32_t GetSpanLength() const { return span_length_; }
  void SetSpanLength(int32_t minutes) { span_length_ = minutes; }
  int32_t GetSpanStep() const { return span_step_; }
  void SetSpanStep(int32_t minutes) { span_step_ = minutes; }
  int32_t GetSpanStartMs() const { return span_start_ms_; }
  void SetSpanStartMs(int32_t ms) { span_start_ms_ = ms; }
  int32_t GetSpanEndMs() const { return span_end_ms_; }
  void SetSpanEndMs(int32_t ms) { span_end_ms_ = ms; }
  int32_t GetPrintSpanStartMinute() const { return print_start_minute_; }
  void SetPrintSpanStartMinute(int32_t minute) { print_start_minute_ = minute; }
  int32_t GetPrintSpanLength() const { return print_length_; }
  void SetPrintSpanLength(int32_t minutes) { print_length_ = minutes; }

  // Whole minutes of the sample store (0 without one).
  int GetRecordingMinutes() const;
  bool IsMultiDayRecording() const;
  bool IsSpanLongerThanDay() const { return span_length_ > 1440; }
  bool IsPrintSpanLongerThanDay() const { return print_length_ > 1440; }
  int GetDayCount() const;
  int GetHoursInDay(int day) const;    // day from 1; 99 the whole recording
  int GetMinutesInDay(int day) const;  // day from 0; 99 the whole recording
  std::string GetDayLabel(int day) const;
  std::string GetDayLabelAt(int seconds) const;
  int GetSpanStartClockHour() const;
  int GetSpanStartClockMinute() const;
  int GetSpanStartClockSecond() const;
  int GetPrintSpanStartClockHour() const;
  int GetPrintSpanStartClockMinute() const;
  int GetPrintSpanStartClockSecond() const;
  bool AdjustTimeSpanToPosition(bool keep_if_inside);
  bool TimeSpanChanging(int32_t start, int32_t length) { return false; }

  // --- Minute-block cache: per position of a channel set, the minutes of one channel ---
  using MinuteBlockArrays = std::array<std::vector<std::unique_ptr<TECGBlock>>, 3>;
  // Loads nothing and returns 0 while no recording is open. Throws platform::IoError when the
  // sample file cannot be read; the arrays then hold what was loaded before the failure.
  int LoadChannelMinutes(MinuteBlockArrays& arrays, int32_t start_ms, int32_t length_ms, bool whole_minutes,
                         int set_number);
  int LoadChannelMinutesSet0(MinuteBlockArrays& a, int32_t s, int32_t l, bool w) {
    return LoadChannelMinutes(a, s, l, w, 0);
  }
  int LoadChannelMinutesSet1(MinuteBlockArrays& a, int32_t s, int32_t l, bool w) {
    return LoadChannelMinutes(a, s, l, w, 1);
  }
  int LoadChannelMinutesSet2(MinuteBlockArrays& a, int32_t s, int32_t l, bool w) {
    return LoadChannelMinutes(a, s, l, w, 2);
  }
  int LoadChannelMinutesSet3(MinuteBlockArrays& a, int32_t s, int32_t l, bool w) {
    return LoadChannelMinutes(a, s, l, w, 3);
  }
  static void FreeChannelMinutes(MinuteBlockArrays& arrays, int set_number);
  static void FreeChannelMinutesSet0(MinuteBlockArrays& a) { FreeChannelMinutes(a, 0); }
  static void FreeChannelMinutesSet1(MinuteBlockArrays& a) { FreeChannelMinutes(a, 1); }
  static void FreeChannelMinutesSet2(MinuteBlockArrays& a) { FreeChannelMinutes(a, 2); }
  static void FreeChannelMinutesSet3(MinuteBlockArrays& a) { FreeChannelMinutes(a, 3); }
  MinuteBlockArrays& GetMinuteBlocks() { return minute_blocks_; }
  void FreeChannelMinuteArrays() { FreeChannelMinutes(minute_blocks_, 1); }

  // --- Navigation ---
  // 1 = the beat class / event kind is a target of next/previous navigation.
  std::array<int32_t, kClassCount>& GetNavigationFlags() { return navigation_flags_; }
  bool GoToNextEvent();
  bool GoToPreviousEvent();
  bool GoToHRMin() { return GoToExtreme(kHRGroup, false); }
  bool GoToHRMax() { return GoToExtreme(kHRGroup, true); }
  bool GoToSinusHRMin() { return GoToExtreme(kSinusGroup, false); }
  bool GoToSinusHRMax() { return GoToExtreme(kSinusGroup, true); }
  bool GoToRRMin() { return GoToExtreme(kRRGroup, false); }
  bool GoToRRMax();
  bool GoToNNMin() { return GoToExtreme(kNNGroup, false); }
  bool GoToNNMax() { return GoToExtreme(kNNGroup, true); }
  bool GoToSTPosition(int st_index);

  // --- Heart-rate extremes (values in bpm or samples, positions in samples) ---
  void SetHRMin(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kHRGroup, false, v, pos, beat, mode);
  }
  void SetHRMax(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kHRGroup, true, v, pos, beat, mode);
  }
  void SetRRMin(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kRRGroup, false, v, pos, beat, mode);
  }
  void SetRRMax(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kRRGroup, true, v, pos, beat, mode);
  }
  void SetSinusHRMin(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kSinusGroup, false, v, pos, beat, mode);
  }
  void SetSinusHRMax(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kSinusGroup, true, v, pos, beat, mode);
  }
  void SetNNMin(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kNNGroup, false, v, pos, beat, mode);
  }
  void SetNNMax(int32_t v, int32_t pos, int32_t beat, int mode) {
    SetExtreme(kNNGroup, true, v, pos, beat, mode);
  }
  int32_t GetHRMinPosition() const { return Extreme(kHRGroup, kPosMin); }
  int32_t GetHRMaxPosition() const { return Extreme(kHRGroup, kPosMax); }
  int32_t GetHRMinBeat() const { return Extreme(kHRGroup, kBeatMin); }
  int32_t GetHRMaxBeat() const { return Extreme(kHRGroup, kBeatMax); }
  int32_t GetHRMinValue() const { return Extreme(kHRGroup, kValueMin); }
  int32_t GetHRMaxValue() const { return Extreme(kHRGroup, kValueMax); }
  int32_t GetRRMinPosition() const { return Extreme(kRRGroup, kPosMin); }
  int32_t GetRRMaxPosition() const { return Extreme(kRRGroup, kPosMax); }
  int32_t GetRRMinBeat() const { return Extreme(kRRGroup, kBeatMin); }
  int32_t GetRRMaxBeat() const { return Extreme(kRRGroup, kBeatMax); }
  int32_t GetRRMinValue() const { return Extreme(kRRGroup, kValueMin); }
  int32_t GetRRMaxValue() const { return Extreme(kRRGroup, kValueMax); }
  int32_t GetSinusHRMinPosition() const { return Extreme(kSinusGroup, kPosMin); }
  int32_t GetSinusHRMaxPosition() const { return Extreme(kSinusGroup, kPosMax); }
  int32_t GetSinusHRMinBeat() const { return Extreme(kSinusGroup, kBeatMin); }
  int32_t GetSinusHRMaxBeat() const { return Extreme(kSinusGroup, kBeatMax); }
  int32_t GetSinusHRMinValue() const { return Extreme(kSinusGroup, kValueMin); }
  int32_t GetSinusHRMaxValue() const { return Extreme(kSinusGroup, kValueMax); }
  int32_t GetNNMinPosition() const { return Extreme(kNNGroup, kPosMin); }
  int32_t GetNNMaxPosition() const { return Extreme(kNNGroup, kPosMax); }
  int32_t GetNNMinBeat() const { return Extreme(kNNGroup, kBeatMin); }
  int32_t GetNNMaxBeat() const { return Extreme(kNNGroup, kBeatMax); }
  int32_t GetNNMinValue() const { return Extreme(kNNGroup, kValueMin); }
  int32_t GetNNMaxValue() const { return Extreme(kNNGroup, kValueMax); }
  // The 24 values in the recording record's layout.
  const std::array<int32_t, TRecordingData::kExtremeValues>& GetExtremes() const { return extremes_; }
  int GetExtremesValid() const { return extremes_valid_; }
  void SetExtremesValid(int valid) { extremes_valid_ = valid; }
  // Recomputes the extremes with a heart-rate trend pass, re-detecting R-on-T (kind 23) and
  // absolute-arrhythmia (kind 24) events when asked and the analysis hooks can (without them the
  // old events stay); with update_views and no redo, views get hint 1010 (marks 7 and 8).
  void RecalcHeartRateExtremes(int redo_ron_t, int redo_arrhythmia, int update_views);

  // --- Directories, work files and housekeeping ---
  // folder + "/" + name; no separator when the folder is empty or already ends with one.
  static std::string JoinPath(std::string_view folder, std::string_view name);
  std::string GetMainDirectory() const;
  void SetMainDirectory(std::string folder);
  std::string GetGDTDirectory() const;
  void SetGDTDirectory(std::string folder);
  std::string GetExportDirectory() const;
  void SetExportDirectory(std::string folder);
  std::string GetDataDirectory() const;
  void SetDataDirectory(std::string folder);
  std::string GetWorkDirectory() const;
  void SetWorkDirectory(std::string folder);
  std::string GetExport24HDirectory() const;
  void SetExport24HDirectory(std::string folder);
  std::string GetSDCardDirectory() const;
  void SetSDCardDirectory(std::string folder);
  // Kinds 0..5 create a new work file in the work directory and return its name ("" when it could
  // not be created); 6..11 return the name stored for kind - 6; anything else "ERR".
  std::string GetWorkFileName(int kind);
  void DeleteWorkFile(int kind);
  void ClearWorkFileNames();
  void DeleteWorkFiles();
  // Runs AutoDeleteOldRecordings under the wait dialog when "Auto Delete" "On" is set, then shows
  // the failed deletions.
  void RunAutoDelete();
  // Deletes the oldest recordings of the data directory beyond the number to keep, never the open
  // recording; returns one line per failed deletion. Safe on a worker thread: it reads the data
  // directory, the document path and the setting once at the start and changes no member.
  std::vector<std::string> AutoDeleteOldRecordings() const;
  // True when the data directory's file system has at least minimum_bytes free (or the directory
  // text is too short to test); false after telling the user, and the caller must not go on.
  [[nodiscard]] bool CheckFreeDiskSpace(uint64_t minimum_bytes);
  static bool ConvertVoiceToWave(const std::string& voice_file, const std::string& wave_file,
                                 std::string& error);

  // --- Template-class lists ---
  void ClearTemplateClassList();
  void BuildTemplateClassList();
  void UpdateTemplateClassCounts();
  bool IsBeatInSelectedTemplateClass(int beat) const;
  void CommitPendingRelabels();
  void DeleteTemplateClassBeats(void* window, int row);
  void ScrollTemplateClassIntoView();
  void ClearPMTemplateClassList();
  void BuildPMTemplateClassList();
  void UpdatePMTemplateClassCounts();
  void EnsureAnalysisUpToDate();
  std::vector<TTemplateClassEntry>& GetTemplateClassList() { return template_rows_; }
  int32_t GetSelectedTemplateRow() const { return selected_row_; }
  void SetSelectedTemplateRow(int32_t row) { selected_row_ = row; }
  int32_t GetFirstVisibleTemplateRow() const { return first_visible_row_; }
  void SetFirstVisibleTemplateRow(int32_t row) { first_visible_row_ = row; }
  int32_t GetTemplateCursorRow() const { return cursor_row_; }
  void SetTemplateCursorRow(int32_t row) { cursor_row_ = row; }
  std::vector<TQRSUndoEntry>& GetPendingRelabels() { return pending_relabels_; }
  std::vector<TPMTemplateClassEntry>& GetPMTemplateClassList() { return pm_rows_; }
  std::array<int32_t, 3>& GetPMRowState() { return pm_row_state_; }

  // --- Undo of edits ---
  // Switches the change logs of the working lists and of every template list of the recording
  // record on or off (discarding old records) and saves the browsing state for UndoEdits.
  void EnableUndo(int on, int32_t position_ms);
  void UndoEdits();
  int GetEditRecording() const { return edit_recording_; }
  void SetUndoUpdateFlag(int flag) { undo_update_ = flag; }

  // --- Settings ---
  SettingsStore& GetSettings() { return settings_; }
  const SettingsStore& GetSettings() const { return settings_; }
  void LoadSettings();
  // Writes the settings back (not for a document without user interface). A profile that cannot
  // be stored is reported to the user; the settings stay in memory.
  void SaveSettings();
  int GetSVESPrematurityPercent() const { return settings_.GetSVESPrematurityPercent(); }
  int GetArrhythmiaPrematurityPercent() const { return settings_.GetArrhythmiaPrematurityPercent(); }
  int GetBradycardiaLimit() const { return settings_.GetBradycardiaLimit(); }
  int GetTachycardiaLimit() const { return settings_.GetTachycardiaLimit(); }
  double GetPauseLimit() const { return settings_.GetPauseLimit(); }
  int GetSTUnitValue() const { return settings_.GetSTUnitValue(); }
  int GetSTLimit(int channel) const { return settings_.GetSTLimit(channel); }
  double GetSTPointOffset() const { return settings_.GetSTPointOffset(); }
  int GetSTPointValue() const { return settings_.GetSTPointValue(); }
  int GetHRAverageBeats() const { return settings_.GetHRAverageBeats(); }
  int GetHRTrendAverage() const { return settings_.GetHRTrendAverage(); }
  // The "Analyze" value stored under "SVES ON": the absolute-arrhythmia switch.
  int GetAbsArrhythmiaSwitch() const;

  static bool IsAnalysedChannel(int channel);
  static int GetAnalysedChannelIndex(int channel);
  static bool IsSTChannel(int channel) { return IsAnalysedChannel(channel); }
  static int GetSTChannelIndex(int channel) { return GetAnalysedChannelIndex(channel); }
  bool IsSTTrendOn(int channel) const;
  std::string GetSTChannelLabel(int index) const;
  // Shows "Fehler - STAnalyzeChIndex2EQRSType" and gives 25 for an index outside set 3.
  static int STAnalyzeChIndex2EQRSType(int index);
  std::string GetUnitLabelA() const;
  std::string GetUnitLabelB() const;

  // --- Commands ---
  bool OnCommand(int id);
  CommandUpdate OnUpdateCommand(int id) const;
  // What the option sheets' pages show, and what OK stores.
  void ApplyChannelsPage(int check0, int check1);
  DisplaySpeedValues GetDisplaySpeedValues() const;
  int GetDisplaySpeedFirstPage() const;
  void ApplyDisplaySpeedValues(const DisplaySpeedValues& values);
  AnalysisOptionValues GetAnalysisOptionValues() const;
  void ApplyAnalysisOptionValues(const AnalysisOptionValues& values);
  void ApplyHeartRatePage(int trend_average, int trend_middle_average);

  // --- Members ---
  DisplayMode GetDisplayMode() const { return display_mode_; }
  void SetDisplayMode(DisplayMode mode) { display_mode_ = mode; }
  int16_t GetDisplaySubMode() const { return display_sub_mode_; }
  void SetDisplaySubMode(int16_t mode) { display_sub_mode_ = mode; }
  // Which heart-rate-variability screen the HRV command shows (0..2).
  int16_t GetHRVSubMode() const { return hrv_sub_mode_; }
  void SetHRVSubMode(int16_t mode) { hrv_sub_mode_ = mode; }
  // The HRV screens' shared state: the selected day (0, 1, 2; 99 the whole recording), the zoom
  // level (0..4), the scale step (0..3) and the cursor's x in the plots (pixels).
  int16_t GetHRVSelectedDay() const { return hrv_day_; }
  void SetHRVSelectedDay(int16_t day) { hrv_day_ = day; }
  int GetHRVZoomLevel() const { return hrv_zoom_; }
  void SetHRVZoomLevel(int level) { hrv_zoom_ = level; }
  int GetHRVScaleStep() const { return hrv_scale_; }
  void SetHRVScaleStep(int step) { hrv_scale_ = step; }
  int GetHRVCursorX() const { return hrv_cursor_x_; }
  void SetHRVCursorX(int x) { hrv_cursor_x_ = x; }
  // Set while the ECG page shows a strip or the heart-rate trend below it.
  bool GetLowerPaneFlag() const { return lower_pane_; }
  void SetLowerPaneFlag(bool on) { lower_pane_ = on; }
  // The template browser with the larger page of classes.
  bool GetLargeTemplateViewFlag() const { return large_template_view_; }
  void SetLargeTemplateViewFlag(bool on) { large_template_view_ = on; }
  int GetClosedFlag() const { return closed_; }
  int GetClosingFlag() const { return closing_; }
  void SetClosingFlag(int closing) { closing_ = closing; }
  int GetNewDocumentFlag() const { return new_document_; }

  // Never null: an empty store (0 whole minutes, no file) while no recording is open.
  TRawECGData* GetRawECGData() { return raw_data_.get(); }
  const TRawECGData* GetRawECGData() const { return raw_data_.get(); }
  TQRSList& GetQRSList() { return beats_; }
  const TQRSList& GetQRSList() const { return beats_; }
  TQRSList& GetEngineQRSList() { return engine_beats_; }
  TEventList& GetEventList() { return events_; }
  const TEventList& GetEventList() const { return events_; }
  TEventList& GetEngineEventList() { return engine_events_; }
  TZK130InfoList& GetInfoList() { return info_list_; }
  EngineTemplateFamily& GetEngineTemplates(int family) {
    return engine_templates_.at(static_cast<size_t>(family));
  }
  TPatientData& GetPatientData() { return patient_; }
  const TPatientData& GetPatientData() const { return patient_; }
  TRecordingData& GetRecordingData() { return recording_; }
  const TRecordingData& GetRecordingData() const { return recording_; }
  TRecordingData& GetSTResultData() { return st_result_; }

  int32_t GetSpecialNormalClass() const { return special_normal_class_; }
  void SetSpecialNormalClass(int32_t index) { special_normal_class_ = index; }
  int GetDerivedDataValid() const { return derived_valid_; }
  void SetDerivedDataValid(int valid) { derived_valid_ = valid; }
  int GetAnalysisRunning() const { return analysis_running_; }
  void SetAnalysisRunning(int running) { analysis_running_ = running; }
  int GetSTStopFlag() const { return st_stop_; }
  void SetSTStopFlag(int stop) { st_stop_ = stop; }

  const std::string& GetKindName(int code) const;
  // The 40 kind names again from strings 4100 to 4139 of the current resources (a new language).
  void ReloadKindNames();
  ViewFields& GetViewFields() { return view_; }
  const ViewFields& GetViewFields() const { return view_; }
  RecorderIdentification& GetRecorderIdentification() { return recorder_id_; }
  // The channel count of the open recording (2 until one is opened).
  int GetChannelCount() const { return channel_count_; }
  void SetChannelCount(int count) { channel_count_ = count; }

 private:
  // Extreme groups and the fields of one group, in the recording record's layout.
  static constexpr int kHRGroup = 0;
  static constexpr int kRRGroup = 1;
  static constexpr int kSinusGroup = 2;
  static constexpr int kNNGroup = 3;
  static constexpr int kPosMin = 0;
  static constexpr int kPosMax = 1;
  static constexpr int kBeatMin = 2;
  static constexpr int kBeatMax = 3;
  static constexpr int kValueMin = 4;
  static constexpr int kValueMax = 5;

  // A recording read whole from its files, not yet part of the document.
  struct LoadedRecording;

  CZK470Doc(bool user_interface, platform::ProfileStore& profile, const platform::Clock& clock,
            SettingsDefaults defaults);
  void Construct();
  void ResetExtremes();
  void ResetPositionsAndRanges(bool clear_span_ms);
  int32_t Extreme(int group, int field) const { return extremes_[static_cast<size_t>(group * 6 + field)]; }
  void SetExtreme(int group, bool maximum, int32_t value, int32_t position, int32_t beat, int mode);
  void StoreExtreme(int group, bool maximum, int32_t value, int32_t position, int32_t beat);
  bool GoToExtreme(int group, bool maximum);
  void RestoreExtremesFromRecord();
  bool OpenPdf(const std::string& path);
  bool OpenRecording(const std::string& path);
  // nullptr after the failure was shown to the user.
  std::unique_ptr<LoadedRecording> ReadRecording(const std::string& path);
  void CommitRecording(const std::string& path, LoadedRecording& loaded);
  void RefreshBackup(const std::string& qrs_path);
  // Follows a rename of the recording's files: held file, sample file, names and the recent list.
  void AdoptRenamedFiles(const std::string& old_qrs, const std::string& new_qrs,
                         const std::vector<std::pair<std::string, std::string>>& moved);
  bool RelockHeldFile(const std::string& path);
  void ShowMessage(std::string_view text, unsigned style) const;
  bool AskFinalize(const std::string& path_name) const;
  bool FinalizeConditionsHold() const;
  int ClockTotalMinutes(int32_t span_start_minute) const;
  int StartSecondOfDay() const;
  void RemoveEventsOfKind(int kind);
  TTemplateList* RecordTemplateList(int family_number, int class_index);
  bool IsSpecialClass(int family_number, int class_index) const;

  platform::ProfileStore& profile_;
  const platform::Clock& clock_;
  document::DocumentHost default_host_;
  document::DocumentHost* host_ = &default_host_;
  document::AnalysisHooks* analysis_hooks_ = nullptr;
  std::vector<document::DocumentView*> views_;

  // The framework document.
  bool modified_ = false;
  std::string path_name_;
  std::string title_;

  DisplayMode display_mode_ = DisplayMode::kNone;
  int16_t display_sub_mode_ = 0;
  int16_t hrv_sub_mode_ = 0;
  int16_t hrv_day_ = 99;
  int hrv_zoom_ = 0;
  int hrv_scale_ = 0;
  int hrv_cursor_x_ = 0;
  bool lower_pane_ = false;
  bool large_template_view_ = false;
  int32_t closed_ = 1;
  std::string document_path_;
  std::unique_ptr<TRawECGData> raw_data_;
  MinuteBlockArrays minute_blocks_;
  TQRSList beats_;
  TQRSList engine_beats_;
  TEventList events_;
  TEventList engine_events_;
  TZK130InfoList info_list_;
  std::array<EngineTemplateFamily, kEngineFamilies> engine_templates_;
  int32_t special_normal_class_ = -1;
  std::array<int32_t, TRecordingData::kExtremeValues> extremes_{};
  int32_t extremes_valid_ = 0;
  int32_t derived_valid_ = 1;
  int32_t analysis_running_ = 0;
  int32_t st_stop_ = 0;
  TPatientData patient_;
  TRecordingData recording_;
  TRecordingData st_result_;
  ViewFields view_;
  std::vector<TTemplateClassEntry> template_rows_;
  int32_t selected_row_ = 0;
  int32_t first_visible_row_ = 0;
  std::vector<TQRSUndoEntry> pending_relabels_;
  int32_t cursor_row_ = 0;
  std::vector<TPMTemplateClassEntry> pm_rows_;
  std::array<int32_t, 3> pm_row_state_{};
  SettingsStore settings_;
  int32_t strip_start_ms_ = 0;
  int32_t strip_end_ms_ = 0;
  int32_t current_position_ = 0;
  int32_t span_start_ms_ = 0;
  int32_t span_end_ms_ = 0;
  int32_t range_start_ms_ = 0;
  int32_t range_end_ms_ = 0;
  int32_t span_start_minute_ = 0;
  int32_t span_length_ = 0;
  int32_t span_step_ = 0;
  int32_t print_start_minute_ = 0;
  int32_t print_length_ = 0;
  uint8_t position_flag_ = 0;
  std::array<std::string, kWorkFileKinds> work_files_;
  std::array<int32_t, kClassCount> navigation_flags_{};
  std::array<std::string, kClassCount> kind_names_;
  std::string recording_number_ = "-----";
  int32_t voice_file_ = 0;
  platform::FileLock held_file_;
  std::string held_path_;
  int32_t new_document_ = 0;
  int32_t closing_ = 0;
  int32_t no_ui_ = 0;
  RecorderIdentification recorder_id_;
  int channel_count_ = 2;

  // Undo of edits: the browsing state saved when the change logs were switched on.
  int32_t edit_recording_ = 0;
  int32_t undo_update_ = 0;
  int32_t saved_position_ = 0;
  std::array<TRecordingData::MemberIndices, 4> saved_current_members_{};
  std::array<int32_t, 6> saved_special_{};
  int32_t saved_selected_row_ = 0;
  int32_t saved_first_visible_row_ = 0;
  // Edits change these beside the logged lists; UndoEdits puts the copies back.
  std::vector<TQRSUndoEntry> saved_pending_relabels_;
  std::array<TPMTemplateList, TRecordingData::kPMClasses> saved_pm_classes_;
  std::array<int32_t, TRecordingData::kPMClasses> saved_pm_current_{};
};
