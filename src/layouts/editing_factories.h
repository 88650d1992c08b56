#pragma once

namespace platform {
class ResourcePack;
}

// Registers the node classes of the main ECG strip window and of the strip headers with the
// layout builder. Called once at start-up, before the layout list is built.
void RegisterEditingFactories();

// The texts of the strip window and its header (toolbar title, check boxes, heart-rate unit) for
// one resource pack.
void AddEditingResources(platform::ResourcePack& pack);
