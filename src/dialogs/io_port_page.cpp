#include "dialogs/io_port_page.h"

#include "dialogs/small_dlgs.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "recorder/recorder_search.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;
using P = TIOPortPage;

constexpr DialogLayout kIOPort{P::kTemplateId, 250, 150, true};
constexpr ControlLayout kIOPortControls[] = {
    {-1, ControlKind::kGroupBox, 7, 5, 115, 50},
    {P::kUsbId, ControlKind::kRadioButton, 15, 18, 100, 10, 0, win::kCtlGroup},
    {P::kCardId, ControlKind::kRadioButton, 15, 34, 100, 10},
    {-1, ControlKind::kGroupBox, 128, 5, 115, 80},
    {P::kFirstAddressId, ControlKind::kRadioButton, 136, 18, 60, 10, 0, win::kCtlGroup},
    {P::kFirstAddressId + 1, ControlKind::kRadioButton, 136, 34, 60, 10},
    {P::kFirstAddressId + 2, ControlKind::kRadioButton, 136, 50, 60, 10},
    {P::kFirstAddressId + 3, ControlKind::kRadioButton, 136, 66, 60, 10},
    {P::kAskPatientDataId, ControlKind::kCheckBox, 7, 95, 236, 10, 0, win::kCtlGroup},
    {P::kTestId, ControlKind::kPushButton, 7, 120, 80, 14},
};
constexpr auto kIOPortEnglish = LocalizeControls(
    kIOPortControls, {"Interface", "USB converter", "Interface card", "Base address", "0x300", "0x308",
                      "0x310", "0x318", "Complete the patient data after reading a recorder", "Test..."});
constexpr auto kIOPortGerman = LocalizeControls(
    kIOPortControls, {"Schnittstelle", "USB-Konverter", "Interfacekarte", "Basisadresse", "0x300", "0x308",
                      "0x310", "0x318", "Patientendaten nach dem Auslesen vervollständigen", "Testen..."});

constexpr DialogLayout kZK130{TZK130Settings::kTemplateId, 200, 40, true};
constexpr ControlLayout kZK130Controls[] = {
    {TZK130Settings::kAutoDeleteId, ControlKind::kCheckBox, 10, 12, 180, 10},
};
constexpr auto kZK130English =
    LocalizeControls(kZK130Controls, {"Delete the recorder's memory after reading"});
constexpr auto kZK130German =
    LocalizeControls(kZK130Controls, {"Rekorderspeicher nach dem Auslesen löschen"});

constexpr DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kIOPort, "Recorder interface", kIOPortEnglish),
    LocalizeDialog(kZK130, "ZK-130", kZK130English),
};
constexpr DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kIOPort, "Rekorderschnittstelle", kIOPortGerman),
    LocalizeDialog(kZK130, "ZK-130", kZK130German),
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {P::kFoundString, "Recorder found:"},
    {P::kNotFoundString, "No recorder found.\nCheck the cable, the recorder and the interface settings."},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {P::kFoundString, "Rekorder gefunden:"},
    {P::kNotFoundString,
     "Kein Rekorder gefunden.\nBitte Kabel, Rekorder und Schnittstelleneinstellung prüfen."},
};

int AddressIndex(int base_address) {
  for (int i = 0; i < P::kAddressCount; ++i) {
    if (base_address == static_cast<int>(P::kFirstBaseAddress) + 8 * i) return i;
  }
  return -1;
}

}  // namespace

TIOPortPage::TIOPortPage(CZK470Doc& doc)
    : win::PropertyPage(kTemplateId),
      interface_choice(doc.GetSettings().Int(SettingKey::kIOPortMode)),
      address_index(AddressIndex(doc.GetSettings().Int(SettingKey::kIOPortBaseAdr))),
      ask_patient_data(doc.GetSettings().Int(SettingKey::kIOPortDoAskPatData)),
      doc_(doc),
      search_([](CZK470Doc& d, int interface_kind, int base) {
        return recorder::FindRecorders(d, interface_kind, base);
      }) {
  AddCommand(kUsbId, [this] { EnableAddresses(false); });
  AddCommand(kCardId, [this] { EnableAddresses(true); });
  AddCommand(kTestId, [this] { OnTest(); });
}

uint32_t TIOPortPage::BaseAddress() const {
  const int index = address_index >= 0 && address_index < kAddressCount ? address_index : 0;
  return kFirstBaseAddress + 8 * static_cast<uint32_t>(index);
}

void TIOPortPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxRadio(dx, kUsbId, interface_choice);
  win::DdxRadio(dx, kFirstAddressId, address_index);
  win::DdxCheck(dx, kAskPatientDataId, ask_patient_data);
}

bool TIOPortPage::OnInitDialog() {
  const bool result = win::PropertyPage::OnInitDialog();
  EnableAddresses(interface_choice == 1);
  return result;
}

void TIOPortPage::EnableAddresses(bool on) {
  for (int i = 0; i < kAddressCount; ++i) {
    if (win::Window* radio = GetDlgItem(kFirstAddressId + i)) radio->EnableWindow(on);
  }
}

void TIOPortPage::OnTest() {
  UpdateData(true);
  {
    TInterfaceTestDlg prompt(this);
    if (prompt.DoModal() != win::kIdOk) return;
  }
  const int result = search_(doc_, interface_choice, static_cast<int>(BaseAddress()));
  recorder::CurrentRecorder current(doc_);
  const std::string text = InterfaceTestMessage(result, current.FirmwareVersion(), current.SerialNumber(),
                                                current.Has72HourCapability());
  const bool found = result == 2 || result == 3 || result == 4;
  win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(),
                                  win::kMbOk | (found ? win::kMbIconInformation : win::kMbIconStop));
}

std::string InterfaceTestMessage(int result, const std::string& version, const std::string& serial,
                                 bool has_72_hours) {
  const std::string found = platform::LoadString(TIOPortPage::kFoundString);
  switch (result) {
    case 2:
      return found + " ZK-130 !";
    case 3:
      return found + " ZK-130/3 !";
    case 4:
      return found + " ZK-131 !\nVersion: " + version + "\nSerial: " + serial +
             "\n72 Hours: " + (has_72_hours ? "X" : "-") + "\n";
    default:
      return platform::LoadString(TIOPortPage::kNotFoundString);
  }
}

void StoreIOPortPage(const TIOPortPage& page, CZK470Doc& doc) {
  SettingsStore& settings = doc.GetSettings();
  settings.SetInt(SettingKey::kIOPortMode, page.interface_choice);
  if (page.address_index >= 0 && page.address_index < TIOPortPage::kAddressCount)
    settings.SetInt(SettingKey::kIOPortBaseAdr, static_cast<int>(page.BaseAddress()));
  settings.SetInt(SettingKey::kIOPortDoAskPatData, page.ask_patient_data);
}

TZK130Settings::TZK130Settings() : win::PropertyPage(kTemplateId) {}

TZK130Settings::TZK130Settings(const CZK470Doc& doc) : TZK130Settings() {
  auto_delete = doc.GetSettings().Int(SettingKey::kZK130AutoDelete);
}

void TZK130Settings::DoDataExchange(win::DataExchange& dx) { win::DdxCheck(dx, kAutoDeleteId, auto_delete); }

void AddIOPortPageResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
    pack.AddStrings(kGermanStrings);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
    pack.AddStrings(kEnglishStrings);
  }
}
