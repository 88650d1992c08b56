#pragma once

#include <string_view>

namespace platform {
class ResourcePack;
}

// The program's compiled-in resources: its own pack (the program's own strings and templates,
// English texts) and the language packs "ZK470Eng" and "ZK470Ger", each filled with the texts,
// dialog templates and menus of every library of the program. The other languages of the
// "Language" setting have no pack: their starts run with the program's own resources.
// User-interface thread only.

// Fills the program's own pack and the language packs (again after platform::Resources() or the
// template registries were reset).
void InstallProgramResources();

// The language pack by name; nullptr for a pack the program does not carry.
const platform::ResourcePack* FindLanguagePack(std::string_view name);
