#pragma once

#include "platform/resources.h"

// The window and chart classes of the heart-rate-variability screens (layouts 13, 14, 15).
void RegisterHRVScreenFactories();
// Their texts (chart titles, the histogram's caption, the tips of the window's buttons), in the
// pack's language.
void AddHRVScreenResources(platform::ResourcePack& pack);
