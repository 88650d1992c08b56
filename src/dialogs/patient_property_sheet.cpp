#include "dialogs/patient_property_sheet.h"

#include <algorithm>
#include <cmath>

#include "dialogs/patient_dialog_ids.h"
#include "dialogs/patient_sheet_flags.h"
#include "dialogs/sound/wave_file.h"
#include "document/patient_data.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/recording_files.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "win/prompt.h"

namespace {

constexpr int kDiagnosisPageIndex = 3;

std::string VoiceFileOf(const std::string& recording_path) {
  if (recording_path.size() < 3) return {};
  const std::string pid = document::ReplaceLastThree(recording_path, "PID");
  // Files made on another system may carry the extension in lower case.
  return document::ExistingFile(pid).value_or(pid);
}

const platform::Clock& ClockOf(const CZK470Doc* document) {
  static const platform::SystemClock system_clock;
  return document != nullptr ? document->GetClock() : system_clock;
}

// The values the edit compares after OK: what the sheet showed at its start.
struct KeptValues {
  std::string first_name;
  std::string last_name;
  platform::OleDateTime start_date;
  platform::OleDateTime start_time;
  std::string patient_id;
  std::string address;
  std::string phone;
  std::string station;
  platform::OleDateTime birth_date;
  int32_t sex = 0;
  double height = 0;
  double weight = 0;
  int32_t pacemaker = 0;
  int32_t recording_pacemaker = 0;
  std::string referred_by;
  std::string refer_to;
  std::string insurance;
  std::array<int32_t, TPatientData::kLetterSwitchCount> options{};
  std::string assignment1;
  std::string assignment2;
  std::string assignment3;
  std::string diagnosis;
  platform::OleDateTime hrv_start;
  platform::OleDateTime hrv_end;
};

KeptValues Keep(const TPatientData& p, const TRecordingData& r) {
  KeptValues k;
  k.first_name = p.first_name;
  k.last_name = p.surname;
  k.start_date = r.start_date;
  k.start_time = r.start_time;
  k.patient_id = p.patient_id;
  k.address = p.address;
  k.phone = p.telephone;
  k.station = p.station;
  k.birth_date = p.birth_date;
  k.sex = p.sex;
  k.height = p.height;
  k.weight = p.weight;
  k.pacemaker = p.pacemaker;
  k.recording_pacemaker = r.pacemaker_recording;
  k.referred_by = p.referring_address;
  k.refer_to = p.referred_to_address;
  k.insurance = p.insurance_address;
  k.options = p.letter_switches;
  k.assignment1 = r.assignment_heading;
  k.assignment2 = r.assignment_text;
  k.assignment3 = r.medication;
  k.diagnosis = r.diagnosis;
  k.hrv_start = r.hrv_window_start;
  k.hrv_end = r.hrv_window_end;
  return k;
}

// Hour and minute of a start time, which name the recording's files.
std::pair<int, int> HourMinute(const platform::OleDateTime& value) {
  const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  return local ? std::pair{local->hour, local->minute} : std::pair{-1, -1};
}

bool SameDay(const platform::OleDateTime& a, const platform::OleDateTime& b) {
  return a.status == b.status && std::floor(a.days) == std::floor(b.days);
}

// The page holds height and weight in single precision: a value the user left alone keeps the
// record's double, so an unchanged 70.3 neither changes nor marks the record.
double FromPage(float page_value, double kept) {
  return page_value == static_cast<float>(kept) ? kept : static_cast<double>(page_value);
}

}  // namespace

PatientSheetFlags& PatientSheetGlobals() {
  static PatientSheetFlags flags;
  return flags;
}

CPatientPropertySheet::CPatientPropertySheet(win::Window* parent, TPatientData& patient, TRecordingData& recording,
                                             CZK470Doc* document, std::string caption_suffix)
    : TPropertySheet(dialogs::ids::kPatientSheetCaption, parent, 0),
      patient_(patient),
      recording_(recording),
      caption_suffix_(std::move(caption_suffix)) {
  if (!caption_suffix_.empty())
    SetTitle(platform::LoadString(dialogs::ids::kPatientSheetCaption) + "  " + caption_suffix_);
  sound_ = std::make_unique<TSoundController>(0, kPlaybackEndedMessage);
  if (document != nullptr) voice_file_path_ = VoiceFileOf(document->GetPathName());
  // What the narrative page shows before the patient page was visited.
  name_and_address = patient.first_name + " " + patient.surname + "\r\n" + patient.address;
  BuildPages(document, true);
}

CPatientPropertySheet::CPatientPropertySheet(win::Window* parent, int recorder_entry, TPatientData& patient,
                                             TRecordingData& recording, CZK470Doc* document)
    : TPropertySheet(dialogs::ids::kPatientSheetCaption, parent, 0),
      patient_(patient),
      recording_(recording),
      recorder_entry_(recorder_entry) {
  sound_ = std::make_unique<TSoundController>(0, kPlaybackEndedMessage);
  if (recorder_entry == 0 && document != nullptr) voice_file_path_ = VoiceFileOf(document->GetPathName());
  name_and_address = patient.address;
  BuildPages(document, recorder_entry == 0);
  narrative_page->name_and_address = name_and_address;
  if (recorder_entry != 0) {
    patient_page->recorder_entry = 1;
    record_page->recorder_entry = 1;
    assignment_page->recorder_entry = 1;
    diagnosis_page->recorder_entry = 1;
    hrv_time_page->read_only = 1;
    narrative_page->recorder_entry = 1;
    const platform::LocalDateTime now = ClockOf(document).Now();
    patient_page->birth_date = document::OleDateOnly(now);
    record_page->start_date = document::OleDateOnly(now);
    record_page->start_time = document::OleTimeOnly(now);
    const int language = document != nullptr ? document->GetSettings().Int(SettingKey::kLanguage) : 0;
    narrative_page->envelope_position = language == 1 ? 1 : 2;
  }
}

CPatientPropertySheet::~CPatientPropertySheet() {
  if (state == 0) sound_->StopPlay();
  // The page windows go before the page objects.
  DestroyWindow();
}

void CPatientPropertySheet::BuildPages(CZK470Doc* document, bool with_display_texts) {
  patient_page = std::make_unique<CPatientPropertyPage>(document);
  patient_page->first_name = patient_.first_name;
  patient_page->last_name = patient_.surname;
  patient_page->patient_id = patient_.patient_id;
  patient_page->address = patient_.address;
  patient_page->phone = patient_.telephone;
  patient_page->birth_date = patient_.birth_date;
  patient_page->station = patient_.station;
  patient_page->sex = patient_.sex;
  patient_page->height = static_cast<float>(patient_.height);
  patient_page->weight = static_cast<float>(patient_.weight);
  PatientSheetGlobals().patient_pacemaker = patient_.pacemaker;

  record_page = std::make_unique<CRecordPropertyPage>(document);
  record_page->start_date = recording_.start_date;
  record_page->start_time = recording_.start_time;
  PatientSheetGlobals().recording_pacemaker = recording_.pacemaker_recording;
  if (with_display_texts && document != nullptr) record_page->FillDisplayTexts(recording_, *document);

  assignment_page = std::make_unique<TAssignmentPage>();
  assignment_page->assignment1 = recording_.assignment_heading;
  assignment_page->assignment2 = recording_.assignment_text;
  assignment_page->assignment3 = recording_.medication;
  diagnosis_page = std::make_unique<TDiagnosisPage>(recording_.diagnosis);
  hrv_time_page = std::make_unique<THRVTimeDlg>(document, recording_);
  narrative_page = std::make_unique<CPatientNarrativePage>(document);
  narrative_page->referred_by_address = patient_.referring_address;
  narrative_page->refer_to_address = patient_.referred_to_address;
  narrative_page->insurance_address = patient_.insurance_address;
  narrative_page->SetOptions(patient_.letter_switches);

  AddPage(*patient_page);
  AddPage(*record_page);
  AddPage(*assignment_page);
  AddPage(*diagnosis_page);
  AddPage(*hrv_time_page);
  AddPage(*narrative_page);
  SetHelpButton(false);
}

bool CPatientPropertySheet::OnInitDialog() {
  const bool result = TPropertySheet::OnInitDialog();
  bool playable = false;
  if (!voice_file_path_.empty()) {
    const TWaveFile probe(voice_file_path_);
    playable = probe.IsOpen();
  }
  if (!playable) ExtraButton().EnableWindow(false);
  return result;
}

void CPatientPropertySheet::SetButtonText(int string_id) { ExtraButton().SetWindowText(platform::LoadString(string_id)); }

void CPatientPropertySheet::OnExtraButton() {
  if (state == 1) {
    // A file or device that could not be opened said so; the button offers Play again.
    if (!sound_->Play(Handle(), voice_file_path_)) return;
    SetButtonText(dialogs::ids::kStopButton);
    state = 0;
  } else {
    sound_->StopPlay();
    SetButtonText(dialogs::ids::kPlayButton);
    state = 1;
  }
}

void CPatientPropertySheet::OnPlaybackEnded() {
  // The notice of an earlier playback that arrives after a new one began is not this one's end.
  if (sound_->IsPlaying()) return;
  SetButtonText(dialogs::ids::kPlayButton);
  state = 1;
}

win::LResult CPatientPropertySheet::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kPlaybackEndedMessage) {
    OnPlaybackEnded();
    return 0;
  }
  return TPropertySheet::WindowProc(message, wparam, lparam);
}

bool CanEditPatientData(const CZK470Doc& document) {
  const DisplayMode mode = document.GetDisplayMode();
  return mode != DisplayMode::kNone && mode != DisplayMode::kPdf;
}

int EditPatientData(CZK470Doc& doc, bool open_at_diagnosis) {
  const bool prepared_for_recorder = doc.GetDisplayMode() == DisplayMode::kOnlineEcg;
  const KeptValues kept = Keep(doc.GetPatientData(), doc.GetRecordingData());
  int result = 0;
  {
    CPatientPropertySheet sheet(nullptr, doc.GetPatientData(), doc.GetRecordingData(), &doc, std::string());
    sheet.SetApplyButton(false);
    sheet.SetHelpButton(false);
    if (prepared_for_recorder) {
      sheet.patient_page->recorder_entry = 1;
      sheet.record_page->recorder_entry = 1;
      sheet.assignment_page->recorder_entry = 1;
      sheet.diagnosis_page->recorder_entry = 1;
    }
    if (open_at_diagnosis) sheet.SetActivePage(kDiagnosisPageIndex);
    result = sheet.DoModal();
    if (result != win::kIdOk) return result;

    // Every field of the patient record comes from the pages; the recording record keeps what the
    // sheet does not edit (the heart-rate extremes among it).
    TPatientData& patient = doc.GetPatientData();
    const CPatientPropertyPage& pp = *sheet.patient_page;
    patient.first_name = pp.first_name;
    patient.surname = pp.last_name;
    patient.patient_id = pp.patient_id;
    patient.address = pp.address;
    patient.telephone = pp.phone;
    patient.birth_date = pp.birth_date;
    patient.referring_address = sheet.narrative_page->referred_by_address;
    patient.referred_to_address = sheet.narrative_page->refer_to_address;
    patient.insurance_address = sheet.narrative_page->insurance_address;
    const auto options = sheet.narrative_page->Options();
    std::copy(options.begin(), options.end(), patient.letter_switches.begin());
    patient.further_text.clear();
    patient.station = pp.station;
    patient.sex = pp.sex;
    patient.height = FromPage(pp.height, kept.height);
    patient.weight = FromPage(pp.weight, kept.weight);
    patient.pacemaker = PatientSheetGlobals().patient_pacemaker;

    TRecordingData& recording = doc.GetRecordingData();
    recording.pacemaker_recording = PatientSheetGlobals().recording_pacemaker;
    recording.start_date = sheet.record_page->start_date;
    recording.start_time = sheet.record_page->start_time;
    recording.assignment_heading = sheet.assignment_page->assignment1;
    recording.assignment_text = sheet.assignment_page->assignment2;
    recording.medication = sheet.assignment_page->assignment3;
    recording.diagnosis = sheet.diagnosis_page->diagnosis;
    recording.hrv_window_start = sheet.hrv_time_page->hrv_window_start;
    recording.hrv_window_end = sheet.hrv_time_page->hrv_window_end;
  }
  const TPatientData& p = doc.GetPatientData();
  const TRecordingData& r = doc.GetRecordingData();

  const bool names_or_start_changed = p.surname != kept.last_name || p.first_name != kept.first_name ||
                                      !SameDay(r.start_date, kept.start_date) ||
                                      HourMinute(r.start_time) != HourMinute(kept.start_time);
  const bool hrv_changed = !(r.hrv_window_start == kept.hrv_start) || !(r.hrv_window_end == kept.hrv_end);
  // Every field the sheet edits: the birth date, the names and the start too, so that an edit of
  // any of them alone is saved with the document.
  const bool changed =
      names_or_start_changed || !(r.start_date == kept.start_date) || !(r.start_time == kept.start_time) ||
      p.patient_id != kept.patient_id || p.address != kept.address || p.telephone != kept.phone ||
      p.station != kept.station || !SameDay(p.birth_date, kept.birth_date) || p.sex != kept.sex ||
      p.height != kept.height || p.weight != kept.weight || p.pacemaker != kept.pacemaker ||
      r.pacemaker_recording != kept.recording_pacemaker || p.referring_address != kept.referred_by ||
      p.referred_to_address != kept.refer_to || p.insurance_address != kept.insurance ||
      p.letter_switches != kept.options || r.assignment_heading != kept.assignment1 ||
      r.assignment_text != kept.assignment2 || r.medication != kept.assignment3 || r.diagnosis != kept.diagnosis ||
      hrv_changed;
  if (!prepared_for_recorder) {
    // Marked first: renaming saves the document, which clears the mark; a rename or save that
    // fails leaves it, and the edit is offered for saving on close.
    if (changed) doc.SetModifiedFlag(true);
    if (names_or_start_changed) doc.RenameRecordingByPatient();
  }
  if (hrv_changed) doc.UpdateAllViews(nullptr, hint::kPatientDataEdited);
  doc.UpdateAllViews(nullptr, hint::kPatientData);
  return result;
}

namespace {

// A fresh process has no pacemaker or address-block choice of the sheet.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kDialogs, [] { PatientSheetGlobals() = {}; });

}  // namespace

void TakePatientPage(const CPatientPropertySheet& sheet, TPatientData& patient) {
  const CPatientPropertyPage& page = *sheet.patient_page;
  patient.first_name = page.first_name;
  patient.surname = page.last_name;
  patient.patient_id = page.patient_id;
  patient.address = page.address;
  patient.telephone = page.phone;
  patient.station = page.station;
  patient.birth_date = page.birth_date;
  patient.sex = page.sex;
  patient.height = page.height;
  patient.weight = page.weight;
  patient.pacemaker = PatientSheetGlobals().patient_pacemaker;
}
