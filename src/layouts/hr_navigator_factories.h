#pragma once

namespace platform {
class ResourcePack;
}

// Registers the node classes of the heart-rate navigator screen (window, plot, min/max scale)
// with the layout builder. Called once at start-up, before the layout list is built.
void RegisterHRNavigatorFactories();

// The texts of the navigator's buttons and of its min/max scale for one resource pack.
void AddHRNavigatorResources(platform::ResourcePack& pack);
