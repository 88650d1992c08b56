#include "win/dialog_template.h"

#include "platform/process_context.h"
#include "platform/resource_lookups.h"
#include "platform/resources.h"

namespace win {

void DialogTemplates::Add(std::string_view pack_name, std::span<const DialogTemplate> templates) {
  auto it = packs_.find(pack_name);
  if (it == packs_.end()) it = packs_.emplace(std::string(pack_name), std::map<int, const DialogTemplate*>{}).first;
  for (const DialogTemplate& t : templates) it->second.insert_or_assign(t.id, &t);
}

void DialogTemplates::Add(const platform::ResourcePack& pack, std::span<const DialogTemplate> templates) {
  Add(pack.Name(), templates);
}

const DialogTemplate* DialogTemplates::FindIn(std::string_view pack_name, int id) const {
  const auto pack = packs_.find(pack_name);
  if (pack == packs_.end()) return nullptr;
  const auto it = pack->second.find(id);
  return it == pack->second.end() ? nullptr : it->second;
}

const DialogTemplate* DialogTemplates::Find(int id) const {
  platform::ResourceContext& resources = platform::Resources();
  const std::string& exe = resources.ExePack().Name();
  const platform::ResourcePack* language = resources.LanguagePack();
  const bool exe_first = resources.UsingExeResources();
  if (exe_first) {
    if (const DialogTemplate* t = FindIn(exe, id)) return t;
    if (language == nullptr) return nullptr;
    platform::NoteResourceLookup(*language, platform::ResourceLookup::kDialog, id);
    return FindIn(language->Name(), id);
  }
  platform::NoteResourceLookup(*language, platform::ResourceLookup::kDialog, id);
  if (const DialogTemplate* t = FindIn(language->Name(), id)) return t;
  return FindIn(exe, id);
}

DialogTemplates& Templates() {
  static DialogTemplates templates;
  return templates;
}

bool IsGermanPack(const platform::ResourcePack& pack) { return pack.Name() == "ZK470Ger"; }

bool IsExePack(const platform::ResourcePack& pack) { return &pack == &platform::Resources().ExePack(); }

}  // namespace win

namespace {

// A fresh process has no dialog templates.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kWin, [] { win::Templates().Reset(); });

}  // namespace
