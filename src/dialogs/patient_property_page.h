#pragma once

#include <string>

#include "platform/archive.h"
#include "win/property_sheet.h"

class CZK470Doc;

// The first page of the patient data sheet: the patient record's fields. A data holder for the
// sheet's owner, which fills the fields before the sheet is shown and reads them after OK. The
// pacemaker check (1076) is bound to PatientSheetGlobals().patient_pacemaker. A two-digit birth
// year is read as the latest such year not after today; a four-digit birth date after now is
// moved back 100 years.
// User-interface thread only.
class CPatientPropertyPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 176;
  static constexpr int kFirstNameId = 1115;
  static constexpr int kLastNameId = 1114;
  static constexpr int kPatientIdId = 1135;
  static constexpr int kAddressId = 1140;
  static constexpr int kPhoneId = 1138;
  static constexpr int kBirthDateId = 1134;
  static constexpr int kSexId = 1136;
  static constexpr int kHeightId = 1137;
  static constexpr int kWeightId = 1139;
  static constexpr int kBirthDateHintId = 1167;
  static constexpr int kStationId = 1611;
  static constexpr int kPacemakerId = 1076;
  static constexpr int kHeightUnitId = 1187;
  static constexpr int kWeightUnitId = 1188;

  // Without document and without the birth-date hint.
  CPatientPropertyPage();
  explicit CPatientPropertyPage(CZK470Doc* document);

  bool OnSetActive() override;
  // Reads the controls and gives the sheet the new name-and-address text.
  bool OnKillActive() override;

  std::string first_name;
  std::string last_name;
  std::string patient_id;
  std::string address;
  std::string phone;
  platform::OleDateTime birth_date{0, 0.0};
  int sex = -1;  // 0 not given, 1 female, 2 male; -1 before filling
  float height = 0;
  float weight = 0;
  std::string birth_date_hint;
  std::string station;
  int recorder_entry = 0;
  CZK470Doc* document = nullptr;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void OnPacemakerClicked();
};
