#pragma once

#include "platform/resources.h"

// Registers the node classes of the template review screens (classes window, browsers, detail
// window and detail area) with the layout builder.
void RegisterTemplateReviewFactories();

// Texts of the template review screens, in the pack's language.
void AddTemplateReviewResources(platform::ResourcePack& pack);
