#pragma once

namespace platform {
class ResourcePack;
}

// Adds the dialog templates of the text viewer (218) and the low-disk-space notice (234) to a
// pack: German to the German pack, English to every other one.
void AddUtilityResources(platform::ResourcePack& pack);
