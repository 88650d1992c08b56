#pragma once

namespace platform {
class ResourcePack;
}

// Adds the texts and dialog templates of the patient data sheet and its pages, the findings
// dialog and the recording browser to a pack: German to the German pack, English to every other
// one (the program's own pack included).
void AddPatientDialogResources(platform::ResourcePack& pack);
