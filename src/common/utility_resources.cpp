#include "common/utility_resources.h"

#include "common/text_view_dlg.h"
#include "platform/resources.h"
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
constexpr ControlTemplate kLowDiskSpaceEnglish[] = {
    {-1, ControlKind::kStatic,
     "The free space on the drive of the data directory is below its minimum. Please delete or archive "
     "old recordings before new ones are read or analysed.",
     7, 7, 206, 40},
    {win::kIdOk, ControlKind::kDefPushButton, "OK", 85, 54, 50, 14},
};
constexpr ControlTemplate kLowDiskSpaceGerman[] = {
    {-1, ControlKind::kStatic,
     "Der freie Speicherplatz auf dem Laufwerk des Datenverzeichnisses liegt unter dem Minimum. Bitte "
     "löschen oder archivieren Sie alte Aufzeichnungen, bevor neue gelesen oder ausgewertet werden.",
     7, 7, 206, 40},
    {win::kIdOk, ControlKind::kDefPushButton, "OK", 85, 54, 50, 14},
};

constexpr DialogTemplate kEnglish[] = {
    {kTextViewTemplate, "", 340, 224, kTextView},
    {kLowDiskSpaceTemplate, "Free disk space", 220, 75, kLowDiskSpaceEnglish},
};
constexpr DialogTemplate kGerman[] = {
    {kTextViewTemplate, "", 340, 224, kTextView},
    {kLowDiskSpaceTemplate, "Freier Speicherplatz", 220, 75, kLowDiskSpaceGerman},
};

}  // namespace

void AddUtilityResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGerman);
  } else {
    win::Templates().Add(pack, kEnglish);
  }
}
