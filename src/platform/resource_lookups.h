#pragma once

#include <functional>

namespace platform {

class ResourcePack;

// Tests watch which ids one pack is asked for (found or not), to check that a language holds every
// text the program loads. Strings are noted by the pack, templates and menus by their registries.
enum class ResourceLookup { kString, kDialog, kMenu };
using ResourceLookupObserver = std::function<void(ResourceLookup kind, int id)>;

// Watches `pack` (nullptr: nothing). The observer may be called from a worker that loads a string.
void WatchResourceLookups(const ResourcePack* pack, ResourceLookupObserver observer);
void NoteResourceLookup(const ResourcePack& pack, ResourceLookup kind, int id);

}  // namespace platform
