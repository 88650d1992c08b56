#pragma once

namespace platform {
class ResourcePack;
}

// Registers the node classes of the beat page (its window and its area) with the layout builder.
void RegisterBeatPageFactories();

// The texts of the beat page (page word, context menu) in the pack's language.
void AddBeatPageResources(platform::ResourcePack& pack);
