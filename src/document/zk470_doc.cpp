#include "document/zk470_doc.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "document/document_context.h"
#include "document/document_strings.h"
#include "document/profile_keys.h"
#include "document/raw_ecg_data.h"
#include "platform/ids.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "win/prompt.h"

namespace {

constexpr int kUserEventKind = kClassUser;

bool IsEmptyOrPdfMode(DisplayMode mode) { return mode == DisplayMode::kNone || mode == DisplayMode::kPdf; }

}  // namespace

const std::array<CZK470Doc::ScalePair, 8> CZK470Doc::kDisplayScales = {{
    {{3.0, 4.0, 6.25, 12.5}, 4, {1.25, 2.5, 2.5, 5.0}, 4},
    {{12.5, 25, 50, 0}, 3, {5, 10, 20, 0}, 3},
    {{12.5, 25, 50, 0}, 3, {2.5, 5, 10, 0}, 3},
    {{25, 50, 0, 0}, 2, {5, 10, 0, 0}, 2},
    {{12.5, 25, 50, 100}, 4, {5, 10, 20, 0}, 3},
    {{6.25, 12.5, 25, 50}, 4, {1.25, 2.5, 5, 10}, 4},
    {{12.5, 25, 50, 100}, 4, {5, 10, 20, 0}, 3},
    {{12.5, 25, 50, 0}, 3, {2.5, 5, 10, 20}, 4},
}};

CZK470Doc::CZK470Doc(platform::ProfileStore& profile, const platform::Clock& clock, SettingsDefaults defaults)
    : CZK470Doc(true, profile, clock, std::move(defaults)) {}

CZK470Doc::CZK470Doc(NoUserInterface, platform::ProfileStore& profile, const platform::Clock& clock,
                     SettingsDefaults defaults)
    : CZK470Doc(false, profile, clock, std::move(defaults)) {}

CZK470Doc::CZK470Doc(bool user_interface, platform::ProfileStore& profile, const platform::Clock& clock,
                     SettingsDefaults defaults)
    : profile_(profile),
      clock_(clock),
      patient_(clock),
      recording_(clock),
      st_result_(clock),
      settings_(std::move(defaults), user_interface ? ProfileAccess::kReadWrite : ProfileAccess::kReadOnly),
      no_ui_(user_interface ? 0 : 1) {
  Construct();
}

void CZK470Doc::Construct() {
  raw_data_ = std::make_unique<TRawECGData>(&info_list_);
  ResetExtremes();
  ReloadKindNames();
  LoadSettings();
  if (HasUserInterface()) {
    // A folder that cannot be made shows up later, when a file in it cannot be written.
    std::error_code ec;
    for (const std::string& folder :
         {GetDataDirectory(), GetExportDirectory(), GetExport24HDirectory(), GetGDTDirectory()}) {
      if (!folder.empty()) (void)platform::MakeDirectories(folder);
    }
    if (!GetDataDirectory().empty()) std::filesystem::current_path(GetDataDirectory(), ec);
  }
  ClearWorkFileNames();
  document::DocumentContext& context = document::Context();
  context.g_DisplayChannels = {3, 2, {0, 1, 2}};
  context.g_RecordingChannels = {3, 2, {0, 1, 2}};
  context.g_AnalysisChannels = {2, 2, {0, 1, 0}};
  context.g_STChannels = {2, 2, {0, 1, 0}};
  channel_count_ = 2;
}

CZK470Doc::~CZK470Doc() {
  if (HasUserInterface()) SaveSettings();
  FreeChannelMinuteArrays();
  pending_relabels_.clear();
  DeleteWorkFiles();
}

void CZK470Doc::SetHost(document::DocumentHost* host) { host_ = host != nullptr ? host : &default_host_; }

// --- Views -----------------------------------------------------------------------------------------

void CZK470Doc::AddView(document::DocumentView* view) {
  if (view != nullptr && std::find(views_.begin(), views_.end(), view) == views_.end())
    views_.push_back(view);
}

void CZK470Doc::RemoveView(document::DocumentView* view) { std::erase(views_, view); }

void CZK470Doc::UpdateAllViews(document::DocumentView* sender, int hint, THintObject* object) {
  // A view may register or unregister views while it updates.
  const std::vector<document::DocumentView*> views = views_;
  for (document::DocumentView* view : views) {
    if (view == sender) continue;
    if (std::find(views_.begin(), views_.end(), view) != views_.end()) view->OnUpdate(sender, hint, object);
  }
}

void CZK470Doc::SetPathName(const std::string& path, bool add_to_recent) {
  path_name_ = path;
  title_ = std::filesystem::path(path).filename().string();
  if (add_to_recent && !path.empty()) host_->AddToRecentFileList(path);
}

void CZK470Doc::ShowMessage(std::string_view text, unsigned style) const {
  win::CurrentPrompt().MessageBox(text, "ZK-470", style);
}

// --- Resets ----------------------------------------------------------------------------------------

void CZK470Doc::ResetExtremes() {
  for (size_t i = 0; i < extremes_.size(); ++i) extremes_[i] = (i % 6) < 4 ? -1 : 0;
  recording_.extremes = extremes_;
  extremes_valid_ = 0;
}

void CZK470Doc::ResetPositionsAndRanges(bool clear_span_ms) {
  SetCurrentPosition(0, 0);
  for (int32_t& position : view_.positions) position = 0;
  if (clear_span_ms) {
    span_start_ms_ = 0;
    span_end_ms_ = 0;
  }
  strip_start_ms_ = 0;
  strip_end_ms_ = 0;
  navigation_flags_.fill(0);
  view_.range_start_beat = -1;
  view_.range_end_beat = -1;
  // The page and the example strips place themselves anew on the next recording.
  view_.page_start_ms = 0;
  view_.page_end_ms = 0;
  view_.sample_start_ms.fill(-1);
  view_.sample_end_ms.fill(-1);
  if (view_.caliper != 0) {
    UpdateAllViews(nullptr, hint::kCaliperOff);
    view_.caliper = 0;
  }
  view_.position_mark = -1;
}

void CZK470Doc::ResetContents() {
  // An empty store, never none: views read the store on every hint.
  raw_data_ = std::make_unique<TRawECGData>(&info_list_);
  patient_ = TPatientData(clock_);
  recording_ = TRecordingData(clock_);
  FreeChannelMinutes(minute_blocks_, 1);
  beats_.RemoveAll();
  events_.RemoveAll();
  info_list_.RemoveAll();
  ResetExtremes();
  derived_valid_ = 1;
  pending_relabels_.clear();
  pending_relabels_.shrink_to_fit();
  ResetPositionsAndRanges(true);
}

void CZK470Doc::ResetAnalysisResults() {
  const TRecordingData kept = recording_;
  recording_ = TRecordingData(clock_);
  recording_.start_date = kept.start_date;
  recording_.start_time = kept.start_time;
  recording_.pacemaker_recording = kept.pacemaker_recording;
  recording_.identity_text = kept.identity_text;
  recording_.diagnosis = kept.diagnosis;
  recording_.recording_text2 = kept.recording_text2;
  recording_.assignment_heading = kept.assignment_heading;
  recording_.assignment_text = kept.assignment_text;
  recording_.medication = kept.medication;
  beats_.RemoveAll();
  events_.RemoveAll();
  info_list_.RemoveAll();
  ResetExtremes();
  derived_valid_ = 1;
  pending_relabels_.clear();
  pending_relabels_.shrink_to_fit();
  ResetPositionsAndRanges(false);
}

void CZK470Doc::ResetToUntitled() {
  const int32_t was_closed = closed_;
  display_mode_ = DisplayMode::kNone;
  display_sub_mode_ = 0;
  UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (was_closed != 0) {
    closed_ = 0;
  } else {
    (void)SaveModified();
    CloseRecordingFile(0);
  }
  new_document_ = 1;
  DeleteContents();
  path_name_.clear();
  modified_ = false;
  new_document_ = 0;
  document_path_.clear();
  recording_number_ = "-----";
  raw_data_ = std::make_unique<TRawECGData>(&info_list_);
  patient_ = TPatientData(clock_);
  recording_ = TRecordingData(clock_);
  recording_.extremes = extremes_;
  title_ = document::DocString(document::strings::kUntitled);
}

bool CZK470Doc::FinalizeConditionsHold() const {
  return recording_.pause_threshold >= 0 && (recording_number_.empty() || recording_number_[0] != 'V');
}

bool CZK470Doc::AskFinalize(const std::string& path_name) const {
  const std::string name = std::filesystem::path(path_name).stem().string();
  if (name.empty()) return false;
  const std::string text =
      document::FormatText(document::DocString(document::strings::kFinalizeQuestion), name);
  return win::CurrentPrompt().MessageBox(text, "ZK-470", win::kMbYesNo | win::kMbIconQuestion) == win::kIdYes;
}

void CZK470Doc::DeleteContents() {
  if (closing_ == 0 && closed_ == 0 && FinalizeConditionsHold() && !host_->IsBatchRunning() &&
      !host_->IsAutomationCommandComplete() && AskFinalize(path_name_)) {
    MarkRecordingNumber(0);
  }
  ResetContents();
}

bool CZK470Doc::OnNewDocument() { return NewRecording(0) != 0; }

int CZK470Doc::NewRecording(int ask_save) {
  return NewRecording(ask_save, TPatientData(clock_), TRecordingData(clock_));
}

int CZK470Doc::NewRecording(int ask_save, const TPatientData& patient, const TRecordingData& recording) {
  if (ask_save != 0 && !SaveModified()) return 0;
  new_document_ = 1;
  DeleteContents();
  path_name_.clear();
  modified_ = false;
  new_document_ = 0;
  raw_data_ = std::make_unique<TRawECGData>(&info_list_);
  patient_ = patient;
  recording_ = recording;
  recording_.extremes = extremes_;
  recorder_id_.recorder_kind = 0;
  channel_count_ = 0;
  host_->PostMainFrameMessage(msg::kStatusRefresh);
  display_mode_ = DisplayMode::kNone;
  display_sub_mode_ = 0;
  UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (closed_ != 0) {
    closed_ = 0;
    return 1;
  }
  CloseRecordingFile(0);
  return host_->RunNewRecordingReadOut(*this);
}

bool CZK470Doc::CanCloseFrame() {
  if (FinalizeConditionsHold() && AskFinalize(path_name_)) MarkRecordingNumber(1);
  const bool can_close = SaveModified();
  if (can_close) closed_ = 1;
  return can_close;
}

void CZK470Doc::OnCloseDocument() {
  CloseRecordingFile(0);
  DeleteContents();
}

bool CZK470Doc::SaveModified() {
  if (path_name_.empty() || !modified_) return true;
  const std::string text = document::FormatText(document::DocString(document::strings::kSaveChangesQuestion),
                                                title_.empty() ? path_name_ : title_);
  switch (win::CurrentPrompt().MessageBox(text, "ZK-470", win::kMbYesNoCancel | win::kMbIconExclamation)) {
    case win::kIdYes:
      return DoFileSave();
    case win::kIdNo:
      return true;
    default:
      return false;
  }
}

bool CZK470Doc::DoFileSave() {
  if (path_name_.empty()) return false;
  return OnSaveDocument(path_name_);
}

void CZK470Doc::StartAnalysis(int mode) {
  if (analysis_hooks_ != nullptr) analysis_hooks_->AnalyzeRecording(*this, mode);
}

// --- Settings and channel helpers --------------------------------------------------------------------

void CZK470Doc::LoadSettings() {
  try {
    settings_.LoadSettings(profile_);
  } catch (const platform::IoError& error) {
    // The values are loaded; only their write-back failed.
    if (HasUserInterface())
      ShowMessage(std::string("The settings cannot be stored:\n") + error.what(), win::kMbIconExclamation);
  }
  // The template classes screen first opens as large as its paging counts.
  large_template_view_ = settings_.Int(SettingKey::kTemplatesView) != 0;
}

void CZK470Doc::SaveSettings() {
  if (!HasUserInterface()) return;
  try {
    settings_.SaveSettings(profile_);
  } catch (const platform::IoError& error) {
    ShowMessage(std::string("The settings cannot be stored:\n") + error.what(), win::kMbIconExclamation);
  }
}

int CZK470Doc::GetAbsArrhythmiaSwitch() const { return settings_.Int(SettingKey::kAnalyzeAbsArrhythmiaOn); }

bool CZK470Doc::IsAnalysedChannel(int channel) { return GetAnalysedChannelIndex(channel) >= 0; }

int CZK470Doc::GetAnalysedChannelIndex(int channel) {
  const document::ChannelSet& set = document::Context().g_AnalysisChannels;
  int index = -1;
  for (int i = 0; i < set.count; ++i)
    if (set.channels[static_cast<size_t>(i)] == channel) index = i;
  return index;
}

bool CZK470Doc::IsSTTrendOn(int channel) const {
  static constexpr SettingKey kKeys[] = {SettingKey::kSTTrendOn0, SettingKey::kSTTrendOn1,
                                         SettingKey::kSTTrendOn2};
  if (channel < 0 || channel > 2 || !IsAnalysedChannel(channel)) return false;
  return settings_.Int(kKeys[channel]) == 1;
}

std::string CZK470Doc::GetSTChannelLabel(int index) const {
  const document::ChannelSet& set = document::Context().g_STChannels;
  if (index < 0 || index >= set.count) return {};
  return document::DocString(document::strings::kChannelLabel) +
         std::to_string(set.channels[static_cast<size_t>(index)] + 1);
}

int CZK470Doc::STAnalyzeChIndex2EQRSType(int index) {
  const document::ChannelSet& set = document::Context().g_STChannels;
  if (index < 0 || index >= set.count) {
    win::CurrentPrompt().MessageBox("Fehler - STAnalyzeChIndex2EQRSType", "ZK-470", win::kMbOk);
    return kClassSTEpisode1;
  }
  switch (set.channels[static_cast<size_t>(index)]) {
    case 1:
      return kClassSTEpisode2;
    case 2:
      return kClassSTEpisode3;
    default:
      return kClassSTEpisode1;
  }
}

std::string CZK470Doc::GetUnitLabelA() const {
  switch (settings_.Int(SettingKey::kUnits)) {
    case 0:
      return document::DocString(document::strings::kUnitLabelA0);
    case 1:
      return document::DocString(document::strings::kUnitLabelA1);
    default:
      return {};
  }
}

std::string CZK470Doc::GetUnitLabelB() const {
  switch (settings_.Int(SettingKey::kUnits)) {
    case 0:
      return document::DocString(document::strings::kUnitLabelB0);
    case 1:
      return document::DocString(document::strings::kUnitLabelB1);
    default:
      return {};
  }
}

void CZK470Doc::ReloadKindNames() {
  for (int code = 0; code < kClassCount; ++code)
    kind_names_[static_cast<size_t>(code)] = document::DocString(document::strings::kKindNameFirst + code);
}

const std::string& CZK470Doc::GetKindName(int code) const {
  static const std::string kNone;
  return IsValidClassCode(code) ? kind_names_[static_cast<size_t>(code)] : kNone;
}

// --- Commands --------------------------------------------------------------------------------------

void CZK470Doc::RemoveEventsOfKind(int kind) {
  for (int i = events_.GetSize() - 1; i >= 0; --i)
    if (events_.ElementAt(i)->GetClass() == kind) events_.RemoveAt(i);
}

bool CZK470Doc::OnCommand(int id) {
  switch (id) {
    case cmd::kGoToStart:
      SetCurrentPosition(0, 0);
      view_.positions.fill(0);
      strip_start_ms_ = 0;
      strip_end_ms_ = 0;
      UpdateAllViews(nullptr, hint::kDocumentChanged);
      return true;
    case cmd::kRemoveUserEvents:
      RemoveEventsOfKind(kUserEventKind);
      SetModifiedFlag(true);
      UpdateAllViews(nullptr, hint::kDocumentChanged);
      return true;
    case cmd::kNothing:
      return true;
    default:
      return false;
  }
}

CZK470Doc::CommandUpdate CZK470Doc::OnUpdateCommand(int id) const {
  switch (id) {
    case cmd::kChannels:
      return {true, !IsEmptyOrPdfMode(display_mode_)};
    case cmd::kDisplaySpeed:
    case cmd::kPreviousEvent:
    case cmd::kNextEvent:
      return {true, std::nullopt};
    case cmd::kReturnToMark:
      return {true, !IsEmptyOrPdfMode(display_mode_) && view_.position_mark != -1};
    case cmd::kRemoveUserEvents:
      return {true, display_mode_ != DisplayMode::kPdf && events_.GetCounter(kUserEventKind) > 0};
    case cmd::kGoToStart: {
      static constexpr DisplayMode kDisabled[] = {DisplayMode::kNone, DisplayMode::kHourlyBarGraphs,
                                                  DisplayMode::kOnlineEcg, DisplayMode::kTemplateClasses,
                                                  DisplayMode::kPdf};
      return {true,
              std::find(std::begin(kDisabled), std::end(kDisabled), display_mode_) == std::end(kDisabled)};
    }
    default:
      return {};
  }
}

void CZK470Doc::ApplyChannelsPage(int check0, int check1) {
  view_.channel_page_switches = {check0, check1};
  UpdateAllViews(nullptr, hint::kDisplaySettings);
}

CZK470Doc::DisplaySpeedValues CZK470Doc::GetDisplaySpeedValues() const {
  DisplaySpeedValues v;
  v.sample_speed = settings_.Int(SettingKey::kResSampleSpeed);
  v.sample_amplitude = settings_.Int(SettingKey::kResSampleAmplitude);
  v.ecg_speed = settings_.Int(SettingKey::kResECGSpeed);
  const int ecg_amplitude = settings_.Int(SettingKey::kResECGAmplitude);
  v.ecg_amplitude = ecg_amplitude < 2 ? ecg_amplitude : ecg_amplitude - 2;
  v.zoom_speed = settings_.Int(SettingKey::kResZoomSpeed);
  v.zoom_amplitude = settings_.Int(SettingKey::kResZoomAmplitude);
  v.realtime_amplitude = settings_.Int(SettingKey::kResRealTimeAmplitude);
  return v;
}

int CZK470Doc::GetDisplaySpeedFirstPage() const {
  if (display_mode_ == DisplayMode::kNavigation) return 1;
  if (display_mode_ == DisplayMode::kOnlineEcg) return 2;
  return 0;
}

void CZK470Doc::ApplyDisplaySpeedValues(const DisplaySpeedValues& v) {
  settings_.SetInt(SettingKey::kResSampleSpeed, v.sample_speed);
  settings_.SetInt(SettingKey::kResSampleAmplitude, v.sample_amplitude);
  settings_.SetInt(SettingKey::kResECGSpeed, v.ecg_speed);
  // The amplitude choices of the two slow ECG speeds sit two places further in the stored range.
  settings_.SetInt(SettingKey::kResECGAmplitude,
                   v.ecg_speed == 0 || v.ecg_speed == 1 ? v.ecg_amplitude : v.ecg_amplitude + 2);
  settings_.SetInt(SettingKey::kResZoomSpeed, v.zoom_speed);
  settings_.SetInt(SettingKey::kResZoomAmplitude, v.zoom_amplitude);
  settings_.SetInt(SettingKey::kResRealTimeAmplitude, v.realtime_amplitude);
  SaveSettings();
  UpdateAllViews(nullptr, hint::kDisplaySettings);
}

CZK470Doc::AnalysisOptionValues CZK470Doc::GetAnalysisOptionValues() const {
  AnalysisOptionValues v;
  v.tachycardia = settings_.Int(SettingKey::kAnalyzeTachycardia);
  v.sves_prematurity = settings_.Int(SettingKey::kAnalyzeSVESPrematurity);
  v.pause = settings_.Int(SettingKey::kAnalyzePauseA);
  v.bradycardia = settings_.Int(SettingKey::kAnalyzeBradycardia);
  v.arrhythmia_prematurity = settings_.Int(SettingKey::kAnalyzeArrhyPrematurity);
  v.sv_analysis_on = settings_.Int(SettingKey::kAnalyzeSVAnalysisOn);
  v.abs_arrhythmia_on = settings_.Int(SettingKey::kAnalyzeAbsArrhythmiaOn);
  v.arrhythmia_duration = settings_.Int(SettingKey::kAnalyzeArrhyDuration);
  v.st_trend_on = {settings_.Int(SettingKey::kSTTrendOn0), settings_.Int(SettingKey::kSTTrendOn1),
                   settings_.Int(SettingKey::kSTTrendOn2)};
  v.st_limit = {settings_.Int(SettingKey::kSTLimit0), settings_.Int(SettingKey::kSTLimit1),
                settings_.Int(SettingKey::kSTLimit2)};
  v.st_point = settings_.Int(SettingKey::kSTPoint);
  v.ves_templates = settings_.Int(SettingKey::kTemplatesVESTemplates);
  v.analysis_mode = settings_.Int(SettingKey::kUserAnalyzeModus);
  return v;
}

void CZK470Doc::ApplyAnalysisOptionValues(const AnalysisOptionValues& v) {
  settings_.SetInt(SettingKey::kAnalyzeTachycardia, v.tachycardia);
  settings_.SetInt(SettingKey::kAnalyzeSVESPrematurity, v.sves_prematurity);
  settings_.SetInt(SettingKey::kAnalyzePauseA, v.pause);
  settings_.SetInt(SettingKey::kAnalyzeBradycardia, v.bradycardia);
  settings_.SetInt(SettingKey::kAnalyzeArrhyPrematurity, v.arrhythmia_prematurity);
  settings_.SetInt(SettingKey::kAnalyzeSVAnalysisOn, v.sv_analysis_on);
  settings_.SetInt(SettingKey::kAnalyzeAbsArrhythmiaOn, v.abs_arrhythmia_on);
  settings_.SetInt(SettingKey::kAnalyzeArrhyDuration, v.arrhythmia_duration);
  settings_.SetInt(SettingKey::kSTTrendOn0, v.st_trend_on[0]);
  settings_.SetInt(SettingKey::kSTTrendOn1, v.st_trend_on[1]);
  settings_.SetInt(SettingKey::kSTTrendOn2, v.st_trend_on[2]);
  settings_.SetInt(SettingKey::kSTLimit0, v.st_limit[0]);
  settings_.SetInt(SettingKey::kSTLimit1, v.st_limit[1]);
  settings_.SetInt(SettingKey::kSTLimit2, v.st_limit[2]);
  settings_.SetInt(SettingKey::kSTPoint, v.st_point);
  settings_.SetInt(SettingKey::kTemplatesVESTemplates, v.ves_templates);
  settings_.SetInt(SettingKey::kUserAnalyzeModus, v.analysis_mode);
  SaveSettings();
  host_->PostMainFrameMessage(msg::kStatusRefresh);
}

void CZK470Doc::ApplyHeartRatePage(int trend_average, int trend_middle_average) {
  const bool changed = trend_average != settings_.Int(SettingKey::kHeartrateTrendAverage) ||
                       trend_middle_average != settings_.Int(SettingKey::kHeartrateTrendMiddleAverage);
  settings_.SetInt(SettingKey::kHeartrateTrendAverage, trend_average);
  settings_.SetInt(SettingKey::kHeartrateTrendMiddleAverage, trend_middle_average);
  if (!changed) return;
  derived_valid_ = 0;
  EnsureAnalysisUpToDate();
  SaveSettings();
  UpdateAllViews(nullptr, hint::kHeartRateAveraging);
}
