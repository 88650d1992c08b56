#include "reports/report_resources.h"

#include "platform/resources.h"
#include "reports/print_envelopes_dlg.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;
using win::kIdCancel;
using win::kIdOk;
using win::LocalizeControls;
using win::LocalizeDialog;
using Dlg = TPrintEnvelopesDlg;

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsNoPrinterSelected, "No printer selected!"}, {kIdsInsuranceEnvelope, "Insurance - Letter"},
    {kIdsPatientEnvelope, "Patient - Letter"},       {kIdsReferToEnvelope, "Refer to - Letter"},
    {kIdsReferredByEnvelope, "Refered by - Letter"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsNoPrinterSelected, "Kein Drucker ausgewählt!"},
    {kIdsInsuranceEnvelope, "Krankenkasse - Brief"},
    {kIdsPatientEnvelope, "Patient - Brief"},
    {kIdsReferToEnvelope, "Überweisung an - Brief"},
    {kIdsReferredByEnvelope, "Überwiesen von - Brief"},
};

// The radio group ends at the static after it.
constexpr DialogLayout kEnvelopes{Dlg::kTemplateId, 250, 142};
constexpr ControlLayout kEnvelopesControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 236, 10},
    {-1, ControlKind::kGroupBox, 7, 22, 236, 74},
    {Dlg::kFirstFeedId, ControlKind::kRadioButton, 16, 36, 100, 10, 0, win::kCtlGroup},
    {Dlg::kSecondFeedId, ControlKind::kRadioButton, 130, 36, 100, 10},
    {-1, ControlKind::kPicture, 16, 50, 100, 40},
    {-1, ControlKind::kPicture, 130, 50, 100, 40},
    {-1, ControlKind::kStatic, 7, 104, 60, 8, 0, win::kCtlGroup},
    {Dlg::kNameId, ControlKind::kEdit, 70, 102, 173, 12, win::kEsReadOnly},
    {kIdOk, ControlKind::kDefPushButton, 83, 122, 50, 14},
    {Dlg::kSkipId, ControlKind::kPushButton, 138, 122, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 193, 122, 50, 14},
};
constexpr auto kEnvelopesEnglish = LocalizeControls(
    kEnvelopesControls, {"Before printing, insert envelopes in your printer' s Default paper tray :",
                         "Feed method", "Centred, upright", "Right edge, sideways", "#298", "#299",
                         "Next printing: ", "", "OK", "&Skip", "Cancel"});
constexpr auto kEnvelopesGerman = LocalizeControls(
    kEnvelopesControls, {"Legen Sie vor dem Drucken Umschläge in das Standard-Papierfach Ihres Druckers :",
                         "Einzug", "Mittig, hochkant", "Rechter Rand, quer", "#298", "#299",
                         "Als Nächstes: ", "", "OK", "Ü&berspringen", "Abbrechen"});

constexpr DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kEnvelopes, "Print Envelopes", kEnvelopesEnglish),
};
constexpr DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kEnvelopes, "Umschläge drucken", kEnvelopesGerman),
};

}  // namespace

void AddReportResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    win::Templates().Add(pack, kGermanDialogs);
    return;
  }
  pack.AddStrings(kEnglishStrings);
  win::Templates().Add(pack, kEnglishDialogs);
}
