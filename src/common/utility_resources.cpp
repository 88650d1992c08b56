#include "common/utility_resources.h"

#include "common/text_view_dlg.h"
#include "platform/resources.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;
using win::DialogTemplate;

constexpr uint32_t kLogStyle = win::kEsMultiline | win::kEsReadOnly;

// The same in every language: the caller gives the caption.
constexpr ControlTemplate kTextView[] = {
    {TTextViewDlg::kLogEditId, ControlKind::kEdit, "", 7, 7, 326, 190, kLogStyle},
    {win::kIdOk, ControlKind::kDefPushButton, "OK", 145, 203, 50, 14},
};
// Each dialog's geometry once, then its caption and texts per language in the order of its controls.
constexpr win::DialogLayout kTextViewLayout{kTextViewTemplate, 340, 224};

constexpr win::DialogLayout kLowDiskSpace{kLowDiskSpaceTemplate, 220, 75};
constexpr win::ControlLayout kLowDiskSpaceControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 206, 40},
    {win::kIdOk, ControlKind::kDefPushButton, 85, 54, 50, 14},
};
constexpr auto kLowDiskSpaceEnglish = win::LocalizeControls(
    kLowDiskSpaceControls,
    {"The free space on the drive of the data directory is below its minimum. Please delete or archive "
     "old recordings before new ones are read or analysed.",
     "OK"});
constexpr auto kLowDiskSpaceGerman = win::LocalizeControls(
    kLowDiskSpaceControls,
    {"Der freie Speicherplatz auf dem Laufwerk des Datenverzeichnisses liegt unter dem Minimum. Bitte "
     "löschen oder archivieren Sie alte Aufzeichnungen, bevor neue gelesen oder ausgewertet werden.",
     "OK"});

constexpr DialogTemplate kEnglish[] = {
    win::LocalizeDialog(kTextViewLayout, "", kTextView),
    win::LocalizeDialog(kLowDiskSpace, "Free disk space", kLowDiskSpaceEnglish),
};
constexpr DialogTemplate kGerman[] = {
    win::LocalizeDialog(kTextViewLayout, "", kTextView),
    win::LocalizeDialog(kLowDiskSpace, "Freier Speicherplatz", kLowDiskSpaceGerman),
};

}  // namespace

void AddUtilityResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGerman);
  } else {
    win::Templates().Add(pack, kEnglish);
  }
}
