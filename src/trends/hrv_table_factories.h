#pragma once

#include "platform/resources.h"

// The HRV table node of the heart-rate-variability screens.
void RegisterHRVTableFactories();
// The texts of the HRV table in the pack's language.
void AddHRVTableResources(platform::ResourcePack& pack);
