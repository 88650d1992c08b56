#pragma once

namespace platform {
class ResourcePack;
}

// Adds the texts and dialog templates of the shared small dialogs to a pack: German to the
// German pack, English to every other one; the program's own pack also gets the program's own
// templates (the items and communication error dialogs).
void AddDialogResources(platform::ResourcePack& pack);
