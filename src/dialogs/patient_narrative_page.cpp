#include "dialogs/patient_narrative_page.h"

#include <vector>

#include "dialogs/patient_property_sheet.h"
#include "win/data_exchange.h"

CPatientNarrativePage::CPatientNarrativePage(CZK470Doc* document)
    : win::PropertyPage(kTemplateId), document(document) {}

std::array<int, TPatientData::kLetterSwitchCount> CPatientNarrativePage::Options() const {
  std::array<int, TPatientData::kLetterSwitchCount> options{};
  for (size_t i = 0; i < option_checks.size(); ++i) options[i] = option_checks[i];
  options[13] = envelope_position;
  return options;
}

void CPatientNarrativePage::SetOptions(const std::array<int32_t, TPatientData::kLetterSwitchCount>& options) {
  for (size_t i = 0; i < option_checks.size(); ++i) option_checks[i] = options[i];
  envelope_position = options[13];
}

bool CPatientNarrativePage::OnSetActive() {
  if (recorder_entry != 0) {
    std::vector<int> ids = {kReferredByAddressId, kReferToAddressId, kInsuranceAddressId, kNameAndAddressId};
    ids.insert(ids.end(), kOptionCheckIds.begin(), kOptionCheckIds.end());
    ids.insert(ids.end(), kOtherLockedIds.begin(), kOtherLockedIds.end());
    for (const int id : ids)
      if (win::Window* control = GetDlgItem(id)) control->EnableWindow(false);
    // The whole radio group.
    for (win::Window* child : Children()) {
      const int id = child->GetDlgCtrlID();
      if (id == kEnvelopeFirstId || id == kEnvelopeFirstId + 2 || id == kEnvelopeFirstId + 3) child->EnableWindow(false);
    }
  }
  if (auto* sheet = dynamic_cast<CPatientPropertySheet*>(Sheet())) name_and_address = sheet->name_and_address;
  // Every activation reloads the controls: the name-and-address text follows the patient page.
  UpdateData(false);
  win::PropertyPage::OnSetActive();
  return true;
}

void CPatientNarrativePage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kReferredByAddressId, referred_by_address);
  win::DdvMaxChars(dx, referred_by_address, kAddressChars);
  win::DdxText(dx, kReferToAddressId, refer_to_address);
  win::DdvMaxChars(dx, refer_to_address, kAddressChars);
  win::DdxText(dx, kInsuranceAddressId, insurance_address);
  win::DdvMaxChars(dx, insurance_address, kAddressChars);
  for (size_t i = 0; i < kOptionCheckIds.size(); ++i) win::DdxCheck(dx, kOptionCheckIds[i], option_checks[i]);
  win::DdxText(dx, kNameAndAddressId, name_and_address);
  // Shown only: names and a full address together may pass the limit, which must not keep the
  // user from leaving the page.
  if (dx.Loading()) win::DdvMaxChars(dx, name_and_address, kAddressChars);
  win::DdxRadio(dx, kEnvelopeFirstId, envelope_position);
}
