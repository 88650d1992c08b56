#include "core/read_tape_command.h"

#include <algorithm>
#include <filesystem>

#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/patient_sheet_flags.h"
#include "document/event_list.h"
#include "document/file_version.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "recorder/recording_naming.h"
#include "tools/tape_wait_dlg.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr uint64_t kTapeFreeBytes = 60'000'000;
constexpr int kTapeNotMovedString = 33461;

using platform::StringEntry;
constexpr StringEntry kEnglish[] = {
    {kTapeNotMovedString,
     "The tape data could not be moved to the new recording; no recording was made.\n"
     "The data stay in %s."},
};
constexpr StringEntry kGerman[] = {
    {kTapeNotMovedString,
     "Die Kassettendaten konnten nicht zur neuen Aufzeichnung verschoben werden; es wurde keine "
     "Aufzeichnung angelegt.\nDie Daten bleiben in %s."},
};

void ShowStop(const std::string& text) {
  win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk | win::kMbIconStop);
}

std::string FillOne(std::string text, const std::string& value) {
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

std::optional<std::string> TapeResultMessage(int result) {
  switch (result) {
    case 1:
      return "Can't open output file";
    case 6:
      return "No cassette inserted";
    case 10:
      return "Data overflow error (will return 10 if data overflow occurred)";
    case 13:
      return "File write error";
    case 17:
      return "File seek error";
    case 19:
      return "File close error";
    case 20:
      return "Tape positioning error (can't find clear leader)";
    default:
      return std::nullopt;
  }
}

void PrepareRecorderFileRecords(TRecordingData& recording) {
  recording.hrv_window_start = platform::OleDateTime{0, 7.0 / 24.0};
  recording.hrv_window_end = platform::OleDateTime{0, 22.0 / 24.0};
}

bool AskNewRecordingPatientData(CZK470Doc& doc, TPatientData& patient, TRecordingData& recording) {
  CPatientPropertySheet sheet(nullptr, 0, patient, recording, &doc);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  if (sheet.DoModal() != win::kIdOk) return false;

  TakePatientPage(sheet, patient);
  patient.referring_address = sheet.narrative_page->referred_by_address;
  patient.referred_to_address = sheet.narrative_page->refer_to_address;
  patient.insurance_address = sheet.narrative_page->insurance_address;
  const auto options = sheet.narrative_page->Options();
  std::copy(options.begin(), options.end(), patient.letter_switches.begin());

  recording.start_date = sheet.record_page->start_date;
  recording.start_time = sheet.record_page->start_time;
  recording.pacemaker_recording = PatientSheetGlobals().recording_pacemaker;
  recording.assignment_heading = sheet.assignment_page->assignment1;
  recording.assignment_text = sheet.assignment_page->assignment2;
  recording.medication = sheet.assignment_page->assignment3;
  recording.diagnosis = sheet.diagnosis_page->diagnosis;
  recording.hrv_window_start = sheet.hrv_time_page->hrv_window_start;
  recording.hrv_window_end = sheet.hrv_time_page->hrv_window_end;
  return true;
}

std::string ReadTapeRecording(CZK470Doc& doc) {
  // Only a warning: the command goes on either way.
  (void)doc.CheckFreeDiskSpace(kTapeFreeBytes);
  int result = 0;
  {
    TTapeWaitDlg wait(doc);
    result = wait.DoModal();
  }
  if (result != 0) {
    if (const std::optional<std::string> message = TapeResultMessage(result)) ShowStop(*message);
    return {};
  }

  TPatientData patient(doc.GetClock());
  TRecordingData recording(doc.GetClock());
  PrepareRecorderFileRecords(recording);
  const std::string tape_file = CZK470Doc::JoinPath(doc.GetDataDirectory(), "HOLTER.TAP");
  if (!AskNewRecordingPatientData(doc, patient, recording)) {
    std::error_code ec;
    std::filesystem::remove(tape_file, ec);
    return {};
  }

  const std::string base =
      CZK470Doc::JoinPath(doc.GetDataDirectory(),
                          NewRecordingBaseName(patient.surname, patient.first_name,
                                               recording.GetStartDateText(), recording.GetStartTimeText()));
  // Without its samples the recording would open empty: the tape data stay where they are.
  if (!platform::MoveFile(tape_file, base + ".TAP", false)) {
    ShowStop(FillOne(platform::LoadString(kTapeNotMovedString), tape_file));
    return {};
  }
  TQRSList beats;
  TEventList events;
  platform::ArchiveWriter ar;
  const int32_t version = doc.GetHost().GetFileFormatVersion();
  patient.Serialize(ar, version);
  recording.Serialize(ar, version);
  beats.Serialize(ar, version);
  events.Serialize(ar, version);
  try {
    platform::WriteFileAtomic(base + ".QRS", ar.TakeBytes());
  } catch (const platform::IoError& error) {
    // The samples go back, so that the next read-in finds them.
    (void)platform::MoveFile(base + ".TAP", tape_file, false);
    ShowStop(error.what());
    return {};
  }
  return base + ".QRS";
}

void RunReadTapeCommand(CZK470View& view) {
  CZK470Doc& doc = *view.GetDocument();
  const std::string path = ReadTapeRecording(doc);
  if (path.empty()) return;
  doc.ResetToUntitled();
  doc.RunAutoDelete();
  if (CZK470App* app = App()) app->OpenDocumentFile(path);
}

bool IsReadTapeEnabled(const CZK470Doc& doc) { return doc.GetDisplayMode() != DisplayMode::kOnlineEcg; }

void AddReadTapeResources(platform::ResourcePack& pack) {
  AddTapeWaitResources(pack);
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGerman);
  } else {
    pack.AddStrings(kEnglish);
  }
}
