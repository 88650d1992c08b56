#pragma once

#include "platform/resources.h"

// Registers the node classes of the start screen's logo, the online panel and the document
// display with the layout builder. Called once at start-up, before the layout list is built.
void RegisterPanelFactories();

// The texts of the online panel's buttons, in the pack's language.
void AddPanelResources(platform::ResourcePack& pack);
