#include "reports/export_resources.h"

#include "platform/resources.h"
#include "win/dialog_template.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsArchiveCopiedBack, "The recordings were copied from the archive."},
    {kIdsRRWriteFailed, "The RR file\n\n%s\n\ncould not be written completely."},
    {kIdsNoMailProgram,
     "No e-mail program is set up on this computer.\n\nPlease attach the file yourself:\n%s"},
    {kIdsMailFailed, "The e-mail could not be handed to the e-mail program (%s).\n\nFile:\n%s"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsArchiveCopiedBack, "Die Aufzeichnungen wurden aus dem Archiv kopiert."},
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
