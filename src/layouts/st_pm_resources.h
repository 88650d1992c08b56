#pragma once

#include "platform/resources.h"

// Texts of the ST trend legend and of the pacemaker template page, in the pack's language.
void AddSTAndPacemakerViewResources(platform::ResourcePack& pack);
