#pragma once

namespace platform {
class ResourcePack;
}

// The templates of the recorder service dialogs, which only the program's own pack holds.
void AddRecorderServiceResources(platform::ResourcePack& pack);
