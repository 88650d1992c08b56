#pragma once

#include <memory>
#include <string>

#include "dialogs/assignment_page.h"
#include "dialogs/diagnosis_page.h"
#include "dialogs/hrv_time_dlg.h"
#include "dialogs/patient_narrative_page.h"
#include "dialogs/patient_property_page.h"
#include "dialogs/property_sheet.h"
#include "dialogs/record_property_page.h"
#include "dialogs/sound/sound_controller.h"
#include "platform/ids.h"

class CZK470Doc;
class TPatientData;
class TRecordingData;

// The sheet in which a user sees and edits a recording's patient record and recording record,
// with six pages in this order: patient, recording, assignment, diagnosis, HRV time window and
// narrative letter. It plays the recording's voice diary (the "PID" file beside the recording)
// through its extra button: state 1 idle, 0 playing. The records are borrowed; the owner reads the
// pages after OK (EditPatientData for the open recording). User-interface thread only.
class CPatientPropertySheet : public TPropertySheet {
 public:
  static constexpr uint32_t kPlaybackEndedMessage = msg::kPlaybackEnded;

  // Editing the open recording. Caption string 175, with "  " and the suffix when there is one.
  CPatientPropertySheet(win::Window* parent, TPatientData& patient, TRecordingData& recording, CZK470Doc* document,
                        std::string caption_suffix);
  // Entering patient data for a new recording; recorder_entry 1 for a recording prepared for a
  // recorder (every page locked as recorder-entry mode says, today's dates, no voice diary).
  CPatientPropertySheet(win::Window* parent, int recorder_entry, TPatientData& patient, TRecordingData& recording,
                        CZK470Doc* document);
  ~CPatientPropertySheet() override;

  // The pages, public to the owner.
  std::unique_ptr<CPatientPropertyPage> patient_page;
  std::unique_ptr<CRecordPropertyPage> record_page;
  std::unique_ptr<TAssignmentPage> assignment_page;
  std::unique_ptr<TDiagnosisPage> diagnosis_page;
  std::unique_ptr<THRVTimeDlg> hrv_time_page;
  std::unique_ptr<CPatientNarrativePage> narrative_page;

  // First name, a blank, last name, "\r\n" and the address; refreshed by the patient page.
  std::string name_and_address;
  const std::string& VoiceFilePath() const { return voice_file_path_; }
  TSoundController& SoundController() { return *sound_; }
  int RecorderEntry() const { return recorder_entry_; }

 protected:
  bool OnInitDialog() override;
  // Play or stop the voice diary.
  void OnExtraButton() override;
  // Message 1265: playback reached the end.
  void OnPlaybackEnded();
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void BuildPages(CZK470Doc* document, bool with_display_texts);
  void SetButtonText(int string_id);

  TPatientData& patient_;
  TRecordingData& recording_;
  int recorder_entry_ = 0;
  std::string caption_suffix_;
  std::unique_ptr<TSoundController> sound_;
  std::string voice_file_path_;
};

// The main view's patient commands: 32922 and 33315 open the sheet on the patient page, 33316 (at
// the diagnosis page) with open_at_diagnosis. On OK the pages' values go into the document's
// records: a change of name or start date or time renames the recording's files after them, any
// change marks the document modified (neither in display mode 5, a recording prepared for a
// recorder), a changed HRV window sends hint 3467, and hint 1017 follows every OK. Returns the
// sheet's result (win::kIdOk, win::kIdCancel, -1 when it could not be shown).
int EditPatientData(CZK470Doc& document, bool open_at_diagnosis);

// A new recording's patient fields as the sheet's patient page left them (names, number,
// address, phone, station, birth date, sex, height, weight, pacemaker).
void TakePatientPage(const CPatientPropertySheet& sheet, TPatientData& patient);
// The update handler of those commands: no recording open (mode 0) or a PDF shown (mode 15)
// disables them.
bool CanEditPatientData(const CZK470Doc& document);
