#include "reports/export_resources.h"

#include "platform/resources.h"
#include "win/dialog_template.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsArchiveCopyBackFailed,
     "The copy from the archive did not complete: a file could not be copied, there was not enough free "
     "space, or the copy was cancelled."},
    {kIdsRRWriteFailed, "The RR file\n\n%s\n\ncould not be written completely."},
    {kIdsNoMailProgram,
     "No e-mail program is set up on this computer.\n\nPlease attach the file yourself:\n%s"},
    {kIdsMailFailed, "The e-mail could not be handed to the e-mail program (%s).\n\nFile:\n%s"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsArchiveCopyBackFailed,
     "Das Kopieren aus dem Archiv wurde nicht abgeschlossen: Eine Datei konnte nicht kopiert werden, es war "
     "nicht genug Platz frei, oder das Kopieren wurde abgebrochen."},
    {kIdsRRWriteFailed, "Die RR-Datei\n\n%s\n\nkonnte nicht vollständig geschrieben werden."},
    {kIdsNoMailProgram,
     "Auf diesem Computer ist kein E-Mail-Programm eingerichtet.\n\nBitte hängen Sie die Datei selbst "
     "an:\n%s"},
    {kIdsMailFailed, "Die E-Mail konnte nicht an das E-Mail-Programm übergeben werden (%s).\n\nDatei:\n%s"},
};

}  // namespace

void AddExportResources(platform::ResourcePack& pack) {
  pack.AddStrings(win::IsGermanPack(pack) ? std::span<const platform::StringEntry>(kGermanStrings)
                                          : std::span<const platform::StringEntry>(kEnglishStrings));
}
