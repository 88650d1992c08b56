#pragma once

#include "gfx/bitmap.h"

namespace platform {
class ResourcePack;
}

// Adds the texts and dialog templates of the shared small dialogs to a pack: German to the
// German pack, English to every other one; the program's own pack also gets the program's own
// templates (the items and communication error dialogs).
void AddDialogResources(platform::ResourcePack& pack);

// The program's own file icons, 16 x 16, shown by the recording browser by file kind: 305 the
// recording document, 131 a PDF report, 132 a KZT exchange file. They are the same in every
// language. Pixels of kDialogIconMask are the background; an empty bitmap for any other id.
inline constexpr gfx::Color kDialogIconMask = gfx::Rgb(255, 0, 255);
gfx::Bitmap LoadDialogIcon(int id);
