#include "platform/resources.h"

#include "platform/process_context.h"

namespace platform {

void ResourcePack::AddStrings(std::span<const StringEntry> entries) {
  for (const StringEntry& entry : entries) {
    const std::string text = entry.text ? entry.text : "";
    const auto [it, added] = strings_.try_emplace(entry.id, text);
    if (added || it->second == text) continue;
    conflicts_.push_back(entry.id);
    it->second = text;
  }
}

std::optional<std::string> ResourcePack::FindString(int id) const {
  const auto it = strings_.find(id);
  if (it == strings_.end()) return std::nullopt;
  return it->second;
}

std::string ResourceContext::LoadString(int id) const {
  const ResourcePack* first = UsingExeResources() ? &exe_ : language_;
  const ResourcePack* second = first == &exe_ ? language_ : &exe_;
  if (std::optional<std::string> text = first->FindString(id)) return std::move(*text);
  if (second) {
    if (std::optional<std::string> text = second->FindString(id)) return std::move(*text);
  }
  return {};
}

void ResourceContext::Reset() {
  exe_ = ResourcePack("ZK470");
  language_ = nullptr;
  using_exe_ = false;
}

ResourceContext& Resources() {
  static ResourceContext context;
  return context;
}

}  // namespace platform

namespace {

// A fresh process has no resource packs installed.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kPlatform, [] { platform::Resources().Reset(); });

}  // namespace
