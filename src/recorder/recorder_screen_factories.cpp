#include "recorder/recorder_screen_factories.h"

#include <memory>
#include <span>

#include "layouts/layout_table.h"
#include "platform/resources.h"
#include "recorder/real_speed_dlg.h"
#include "recorder/recorder_area.h"
#include "recorder/recorder_programmer.h"
#include "recorder/recorder_window.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;
using P = TRecorderProgrammer;
using A = CRecorderArea;

constexpr DialogLayout kRealSpeedLayout{TRealSpeedDlg::kTemplateId, 222, 76, true};
constexpr ControlLayout kRealSpeedControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 100, 64},
    {TRealSpeedDlg::kAmplitudeId, ControlKind::kRadioButton, 14, 18, 80, 10, 0, win::kCtlGroup},
    {TRealSpeedDlg::kAmplitudeId + 1, ControlKind::kRadioButton, 14, 32, 80, 10},
};
constexpr auto kRealSpeedEnglish = LocalizeControls(kRealSpeedControls, {"Amplitude", "5 mm/mV", "10 mm/mV"});
constexpr auto kRealSpeedGerman = LocalizeControls(kRealSpeedControls, {"Amplitude", "5 mm/mV", "10 mm/mV"});
constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kRealSpeedLayout, "Real time", kRealSpeedEnglish)};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kRealSpeedLayout, "Echtzeit", kRealSpeedGerman)};

constexpr platform::StringEntry kEnglishStrings[] = {
    {A::kProgrammedString, "The recorder has been programmed and the recording has started."},
    {A::kCommFailureString,
     "The data transfer was interrupted !\nPlease check the connection to the Holter and try again."},
    {A::kCardDriverString, "VxD/sys error !\nPlease install the appropriate device driver !"},
    {P::kNoCardString, "There is no SD card in the recorder."},
    {P::kWriteProtectedString, "The SD card is write-protected."},
    {P::kInitErrorString, "The SD card could not be initialised."},
    {P::kNotFormattedString,
     "The SD card is not formatted.\nRetry formats it now; everything on it is lost."},
    {P::kFormatRefusedString, "The recorder did not accept the format command."},
    {P::kFormattingString, "Formatting the SD card..."},
    {P::kStillFormattingString, "The SD card is still being formatted."},
    {P::kFormatStatusFailedString, "The card status could not be read after formatting."},
    {P::kNotFormattedProtectedString, "The SD card is not formatted and write-protected."},
    {P::kCardBusyString, "The SD card is being formatted."},
    {P::kRecordingActiveString, "The recorder is recording."},
    {P::kUnknownErrorString, "Unknown SD card error."},
    {P::kOtherStatusString, "SD card status"},
    {P::kCardStatusFailedString, "The card status could not be read from the recorder."},
    {P::kBatteryEmptyString, "The recorder's battery is empty.\nPlease insert a new battery."},
    {P::kConfirmString, "Battery life: %d h\nCard capacity: %d MB"},
    {P::kCapacityFailedString, "The card capacity could not be read from the recorder."},
    {P::kSmallCardString, "This card holds 32 MB or less and may be too small for the recording."},
    {P::kConfirmNote1String, "Please check that the electrodes are attached."},
    {P::kConfirmNote2String, "The recording starts as soon as the recorder is programmed."},
    {P::kConfirmNote3String, "Yes programs and starts the recorder, No checks the card again."},
    {P::kBatteryFailedString, "The battery status could not be read from the recorder."},
    {CRecorderWnd::kToolBarCaptionString, "Amplitude"},
    {CRecorderWnd::kAmplitudeUp, "Amplitude up"},
    {CRecorderWnd::kAmplitudeDown, "Amplitude down"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {A::kProgrammedString, "Der Rekorder wurde programmiert, die Aufzeichnung läuft."},
    {A::kCommFailureString,
     "Die Datenübertragung wurde unterbrochen !\nBitte prüfen Sie die Verbindung zum Holter und versuchen "
     "Sie "
     "es erneut."},
    {A::kCardDriverString, "VxD/sys-Fehler !\nBitte den passenden Gerätetreiber installieren !"},
    {P::kNoCardString, "Im Rekorder steckt keine SD-Karte."},
    {P::kWriteProtectedString, "Die SD-Karte ist schreibgeschützt."},
    {P::kInitErrorString, "Die SD-Karte konnte nicht initialisiert werden."},
    {P::kNotFormattedString,
     "Die SD-Karte ist nicht formatiert.\nWiederholen formatiert sie jetzt; alle Daten darauf gehen "
     "verloren."},
    {P::kFormatRefusedString, "Der Rekorder hat das Formatieren abgelehnt."},
    {P::kFormattingString, "Die SD-Karte wird formatiert..."},
    {P::kStillFormattingString, "Die SD-Karte wird noch formatiert."},
    {P::kFormatStatusFailedString, "Der Kartenstatus war nach dem Formatieren nicht lesbar."},
    {P::kNotFormattedProtectedString, "Die SD-Karte ist nicht formatiert und schreibgeschützt."},
    {P::kCardBusyString, "Die SD-Karte wird gerade formatiert."},
    {P::kRecordingActiveString, "Der Rekorder zeichnet gerade auf."},
    {P::kUnknownErrorString, "Unbekannter Fehler der SD-Karte."},
    {P::kOtherStatusString, "Status der SD-Karte"},
    {P::kCardStatusFailedString, "Der Kartenstatus konnte nicht gelesen werden."},
    {P::kBatteryEmptyString, "Die Batterie des Rekorders ist leer.\nBitte eine neue Batterie einlegen."},
    {P::kConfirmString, "Batterielaufzeit: %d h\nKartenkapazität: %d MB"},
    {P::kCapacityFailedString, "Die Kartenkapazität konnte nicht gelesen werden."},
    {P::kSmallCardString,
     "Die Karte fasst 32 MB oder weniger und reicht womöglich nicht für die Aufzeichnung."},
    {P::kConfirmNote1String, "Bitte prüfen, ob die Elektroden angelegt sind."},
    {P::kConfirmNote2String, "Die Aufzeichnung beginnt, sobald der Rekorder programmiert ist."},
    {P::kConfirmNote3String, "Ja programmiert und startet den Rekorder, Nein prüft die Karte erneut."},
    {P::kBatteryFailedString, "Der Batteriestatus konnte nicht gelesen werden."},
    {CRecorderWnd::kToolBarCaptionString, "Amplitude"},
    {CRecorderWnd::kAmplitudeUp, "Amplitude größer"},
    {CRecorderWnd::kAmplitudeDown, "Amplitude kleiner"},
};

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

}  // namespace

void RegisterRecorderScreenFactories() {
  layouts::RegisterNodeFactory("CRecorderWindowConfig", Make<CRecorderWindowConfig>);
  layouts::RegisterNodeFactory("CRecorderAreaConfig", Make<CRecorderAreaConfig>);
}

void AddRecorderScreenResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
}
