#include "core/new_recording_procedure.h"

#include <optional>
#include <string>

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/patient_sheet_flags.h"
#include "dialogs/recording_prompt_dlgs.h"
#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/cp1252.h"
#include "platform/ids.h"
#include "recorder/recorder_protocol.h"
#include "recorder/recorder_search.h"
#include "win/window.h"

namespace {

constexpr int kNoRecorder = 0;

// The request an automation word makes of the device search; nullopt for any other command.
std::optional<int> AutomationRequest(const CAutomationCommandLineInfo& info) {
  if (!info.IsCommandComplete()) return std::nullopt;
  if (info.IsNewRecording()) return recorder::kRequestAny;
  if (info.IsNewZK130OPTRecording()) return recorder::kRequestCard;
  if (info.IsNewZK130USBRecording()) return recorder::kRequestConverter;
  if (info.IsNewZK131USBRecording()) return recorder::kRequestZK131;
  return std::nullopt;
}

// The first max_chars characters as the record stores them (cp1252, one byte a character).
std::string CutAsStored(const std::string& text, size_t max_chars) {
  std::string stored = platform::Utf8ToCp1252(text);
  if (stored.size() > max_chars) stored.resize(max_chars);
  return platform::Cp1252ToUtf8(stored);
}

bool IsRecorder(int kind) {
  return kind == TRecorderProtocol::kKindZK130 || kind == TRecorderProtocol::kKindZK133 ||
         kind == TRecorderProtocol::kKindZK131;
}

int ShowPrompt(CZK470Doc& doc, int kind) {
  TRecordingPromptDlg prompt(
      TRecordingPromptDlg::TemplateFor(kind, doc.GetSettings().Int(SettingKey::kUnits)),
      win::Windows().MainWindow());
  return prompt.DoModal();
}

void ShowProgrammingScreen(CZK470Doc& doc) {
  doc.SetDisplayMode(DisplayMode::kOnlineEcg);
  doc.SetDisplaySubMode(0);
  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
}

int RunInteractive(CZK470Doc& doc) {
  const int kind = recorder::FindRecorders(doc, -1, -1);
  if (!IsRecorder(kind)) return kNoRecorder;
  // The sheet offers address, phone and station only to a recorder that stores its address block.
  PatientSheetGlobals().recorder_accepts_address_block =
      kind == TRecorderProtocol::kKindZK131 && recorder::CurrentRecorder(doc).Has72HourCapability() ? 1 : 0;

  TPatientData patient = doc.GetPatientData();
  TRecordingData recording = doc.GetRecordingData();
  CPatientPropertySheet sheet(win::Windows().MainWindow(), 1, patient, recording, &doc);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  if (sheet.DoModal() != win::kIdOk) return 1;

  int length_hours = 0;
  if (kind == TRecorderProtocol::kKindZK131 && recorder::CurrentRecorder(doc).Has72HourCapability()) {
    TRecordingLengthDlg length(win::Windows().MainWindow());
    if (length.DoModal() != win::kIdOk) return 1;
    length_hours = length.RecordingHours();
  }
  doc.SetChannelCount(TRecorderProtocol::ChannelCount(kind));
  if (ShowPrompt(doc, kind) != win::kIdOk) return 1;

  win::Windows().BeginWaitCursor();
  TakePatientPage(sheet, doc.GetPatientData());
  doc.GetRecordingData() =
      TRecordingData(PatientSheetGlobals().recording_pacemaker, sheet.record_page->start_date,
                     sheet.record_page->start_time, length_hours);
  ShowProgrammingScreen(doc);
  win::Windows().EndWaitCursor();
  return 1;
}

void EndWith(int exit_code) {
  AutomationInfo().SetExitCode(exit_code);
  AutomationInfo().EndAutomation();
}

int RunAutomated(CZK470Doc& doc, int request) {
  const CAutomationCommandLineInfo& info = AutomationInfo();
  // Numbers the patient record cannot hold make the command line bad.
  const std::optional<int> sex = CAutomationCommandLineInfo::ParseIntParameter(info.GetParameter(4));
  const std::optional<double> height = CAutomationCommandLineInfo::ParseNumberParameter(info.GetParameter(5));
  const std::optional<double> weight = CAutomationCommandLineInfo::ParseNumberParameter(info.GetParameter(6));
  const std::optional<int> pacemaker = CAutomationCommandLineInfo::ParseIntParameter(info.GetParameter(7));
  if (!sex || !height || !weight || !pacemaker) {
    EndWith(kExitCommandLineInvalid);
    return 1;
  }
  const TPatientData patient(CutAsStored(info.GetParameter(0), 20), CutAsStored(info.GetParameter(1), 30),
                             CutAsStored(info.GetParameter(2), 20), "", "",
                             document::ToOleDateTime(CAutomationCommandLineInfo::ParseDate(
                                 CutAsStored(info.GetParameter(3), 20), doc.GetClock())),
                             "", "", "", {}, "", "", *sex, *height, *weight, *pacemaker != 0 ? 1 : 0);
  TRecordingData recording(doc.GetClock());
  recording.pacemaker_recording = *pacemaker != 0 ? 1 : 0;
  recording.programmed_length = 0;
  doc.GetPatientData() = patient;
  doc.GetRecordingData() = recording;

  const int previous_request = recorder::GetRequestedRecorder();
  recorder::SetRequestedRecorder(request);
  const int kind = recorder::FindRecorders(doc, -1, -1);
  recorder::SetRequestedRecorder(previous_request);
  recorder::CurrentRecorder(doc).SetKind(kind);

  int prompt = win::kIdCancel;
  if (IsRecorder(kind)) {
    if (kind == TRecorderProtocol::kKindZK131 && recorder::CurrentRecorder(doc).Has72HourCapability()) {
      TRecordingLengthDlg length(win::Windows().MainWindow());
      if (length.DoModal() == win::kIdOk) doc.GetRecordingData().programmed_length = length.RecordingHours();
    }
    doc.SetChannelCount(TRecorderProtocol::ChannelCount(kind));
    prompt = ShowPrompt(doc, kind);
  }
  if (doc.GetChannelCount() > 0 && prompt == win::kIdOk) {
    ShowProgrammingScreen(doc);
  } else {
    EndWith(kExitNoRecordingRead);
  }
  return 1;
}

}  // namespace

int RunNewRecordingProcedure(CZK470Doc& doc) {
  if (const std::optional<int> request = AutomationRequest(AutomationInfo()))
    return RunAutomated(doc, *request);
  return RunInteractive(doc);
}
