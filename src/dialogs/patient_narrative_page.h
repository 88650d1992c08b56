#pragma once

#include <array>
#include <string>

#include "document/patient_data.h"
#include "win/property_sheet.h"

class CZK470Doc;

// The page that sets up the narrative report letters: which letters are written, the three
// recipient addresses, the letter's sections and where the address stands on the envelope. The
// fields mirror the patient record; the sheet's owner copies them. The name-and-address text is
// the sheet's, reloaded whenever the page becomes active so that it follows the patient page.
// In recorder-entry mode every control is shown but locked. User-interface thread only.
class CPatientNarrativePage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 296;
  static constexpr int kReferredByAddressId = 1373;
  static constexpr int kReferToAddressId = 1374;
  static constexpr int kInsuranceAddressId = 1375;
  static constexpr int kNameAndAddressId = 1376;
  static constexpr int kEnvelopeFirstId = 1363;  // the radio group of the envelope position
  static constexpr int kAddressChars = 240;

  // The check of each of the fourteen letter options 1..13 (option 14, the envelope position, is
  // the radio group): index = option - 1.
  static constexpr std::array<int, 13> kOptionCheckIds = {1378, 1377, 1379, 1380, 1355, 1356, 1357,
                                                          1358, 1359, 1360, 1364, 1361, 1362};
  // Further controls that recorder-entry mode locks.
  static constexpr std::array<int, 2> kOtherLockedIds = {1371, 1372};

  CPatientNarrativePage() : CPatientNarrativePage(nullptr) {}
  explicit CPatientNarrativePage(CZK470Doc* document);

  bool OnSetActive() override;

  // The options in the patient record's order: 1 referred-by letter, 2 refer-to letter, 3
  // insurance letter, 4 patient letter, 5..13 sections, 14 envelope position.
  std::array<int, TPatientData::kLetterSwitchCount> Options() const;
  void SetOptions(const std::array<int32_t, TPatientData::kLetterSwitchCount>& options);

  std::string referred_by_address;
  std::string refer_to_address;
  std::string insurance_address;
  std::array<int, 13> option_checks{};  // options 1..13
  std::string name_and_address;
  int envelope_position = 2;  // 0 C5 window right, 1 C5 window left, 2 American block
  int recorder_entry = 0;
  CZK470Doc* document = nullptr;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};
