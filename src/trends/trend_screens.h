#pragma once

#include "platform/resources.h"

// The node classes of the heart-rate-variability and statistics screens; called once at start-up
// with the other screens' factories.
void RegisterTrendScreenFactories();
// Their texts, in the pack's language.
void AddTrendScreenResources(platform::ResourcePack& pack);
