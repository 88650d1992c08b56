#pragma once

namespace platform {
class ResourcePack;
}

// Registers the recorder window and area of the online screens with the layout builder.
void RegisterRecorderScreenFactories();
// The texts of the online screens, the programming messages and the real-time amplitude page:
// German to the German pack, English to every other one.
void AddRecorderScreenResources(platform::ResourcePack& pack);
