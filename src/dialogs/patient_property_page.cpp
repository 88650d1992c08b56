#include "dialogs/patient_property_page.h"

#include <algorithm>

#include "dialogs/date_time_text.h"
#include "dialogs/patient_dialog_ids.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/patient_sheet_flags.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "win/controls.h"
#include "win/data_exchange.h"

namespace {

constexpr int kNameChars = 20;
constexpr int kAddressChars = 240;
constexpr int kStationChars = 3;

// A birth date after now: the same day and time of day a hundred years earlier.
platform::OleDateTime CorrectFutureBirthDate(const platform::OleDateTime& value, const platform::Clock& clock) {
  if (value.status != 0 || value.days <= document::ToOleDateTime(clock.Now()).days) return value;
  std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  if (!local) return value;
  local->year -= 100;
  // 29 February of a year whose century year is no leap year.
  if (local->month == 2 && local->day == 29 && !(local->year % 4 == 0 && (local->year % 100 != 0 || local->year % 400 == 0)))
    local->day = 28;
  return document::ToOleDateTime(*local);
}

}  // namespace

CPatientPropertyPage::CPatientPropertyPage() : win::PropertyPage(kTemplateId) {
  AddCommand(kPacemakerId, [this] { OnPacemakerClicked(); });
}

CPatientPropertyPage::CPatientPropertyPage(CZK470Doc* document) : CPatientPropertyPage() {
  this->document = document;
  birth_date_hint =
      dialogs::DateEntryHint(dialogs::DialogLocale(), platform::LoadString(dialogs::ids::kHintYear),
                             platform::LoadString(dialogs::ids::kHintMonth), platform::LoadString(dialogs::ids::kHintDay));
}

bool CPatientPropertyPage::OnInitDialog() {
  // The choices of the sex box, before the base loads the controls.
  if (auto* sex_box = Item<win::ComboBox>(kSexId); sex_box != nullptr && sex_box->GetCount() == 0) {
    for (const int id : {dialogs::ids::kSexNone, dialogs::ids::kSexFemale, dialogs::ids::kSexMale})
      sex_box->AddString(platform::LoadString(id));
  }
  const bool result = win::PropertyPage::OnInitDialog();
  const int units = document != nullptr ? document->GetSettings().Int(SettingKey::kUnits) : 0;
  std::string height_unit;
  std::string weight_unit;
  if (units == 0) {
    height_unit = platform::LoadString(dialogs::ids::kHeightUnitMetric);
    weight_unit = platform::LoadString(dialogs::ids::kWeightUnitMetric);
  } else if (units == 1) {
    height_unit = platform::LoadString(dialogs::ids::kHeightUnitImperial);
    weight_unit = platform::LoadString(dialogs::ids::kWeightUnitImperial);
  }
  SetDlgItemText(kHeightUnitId, height_unit);
  SetDlgItemText(kWeightUnitId, weight_unit);
  // The patient data of an automation request come from the request.
  if (document != nullptr && document->GetHost().IsAutomationCommandComplete()) {
    for (const int id : {kFirstNameId, kLastNameId, kPatientIdId, kAddressId, kPhoneId, kBirthDateId, kSexId, kHeightId,
                         kWeightId, kPacemakerId, kStationId}) {
      if (win::Window* control = GetDlgItem(id)) control->EnableWindow(false);
    }
  }
  return result;
}

bool CPatientPropertyPage::OnSetActive() {
  // Address, phone and station reach the recorder only in its address block.
  if (recorder_entry != 0 && PatientSheetGlobals().recorder_accepts_address_block == 0) {
    for (const int id : {kAddressId, kPhoneId, kStationId})
      if (win::Window* control = GetDlgItem(id)) control->EnableWindow(false);
  }
  return win::PropertyPage::OnSetActive();
}

bool CPatientPropertyPage::OnKillActive() {
  if (!win::PropertyPage::OnKillActive()) return false;
  if (auto* sheet = dynamic_cast<CPatientPropertySheet*>(Sheet()))
    sheet->name_and_address = first_name + " " + last_name + "\r\n" + address;
  return true;
}

void CPatientPropertyPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kFirstNameId, first_name);
  win::DdvMaxChars(dx, first_name, kNameChars);
  win::DdxText(dx, kLastNameId, last_name);
  win::DdvMaxChars(dx, last_name, kNameChars);
  win::DdxText(dx, kPatientIdId, patient_id);
  win::DdvMaxChars(dx, patient_id, kNameChars);
  win::DdxText(dx, kAddressId, address);
  win::DdvMaxChars(dx, address, kAddressChars);
  win::DdxText(dx, kPhoneId, phone);
  win::DdvMaxChars(dx, phone, kNameChars);
  static const platform::SystemClock system_clock;
  const platform::Clock& clock = document != nullptr ? document->GetClock() : system_clock;
  // A birth date lies in the past: a two-digit year names the latest such year.
  dialogs::DdxDateTimeText(dx, kBirthDateId, birth_date, clock.Now());
  if (dx.Saving() && !dx.Failed()) birth_date = CorrectFutureBirthDate(birth_date, clock);
  win::DdxCBIndex(dx, kSexId, sex);
  win::DdxText(dx, kHeightId, height);
  win::DdxText(dx, kWeightId, weight);
  win::DdxText(dx, kBirthDateHintId, birth_date_hint);
  win::DdxText(dx, kStationId, station);
  win::DdvMaxChars(dx, station, kStationChars);
  win::DdxCheck(dx, kPacemakerId, PatientSheetGlobals().patient_pacemaker);
}

void CPatientPropertyPage::OnPacemakerClicked() {
  // A new recording: the recorder is to detect pacemaker spikes exactly when the patient has one.
  if (recorder_entry != 0) PatientSheetGlobals().recording_pacemaker = IsDlgButtonChecked(kPacemakerId);
}
