#pragma once

#include "platform/resources.h"

// The statistics window and table area of the statistics screen.
void RegisterStatisticsFactories();
// Their captions: English in every pack, German in the German one.
void AddStatisticsResources(platform::ResourcePack& pack);
