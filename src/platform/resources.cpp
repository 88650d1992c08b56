#include "platform/resources.h"

#include <atomic>
#include <mutex>

#include "platform/process_context.h"
#include "platform/resource_lookups.h"

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

namespace {

struct LookupWatch {
  std::atomic<const ResourcePack*> pack{nullptr};
  std::mutex mutex;
  ResourceLookupObserver observer;
};

LookupWatch& Watch() {
  static LookupWatch watch;
  return watch;
}

}  // namespace

void WatchResourceLookups(const ResourcePack* pack, ResourceLookupObserver observer) {
  LookupWatch& watch = Watch();
  const std::lock_guard lock(watch.mutex);
  watch.observer = pack != nullptr ? std::move(observer) : nullptr;
  watch.pack = pack;
}

void NoteResourceLookup(const ResourcePack& pack, ResourceLookup kind, int id) {
  LookupWatch& watch = Watch();
  if (watch.pack.load() != &pack) return;
  const std::lock_guard lock(watch.mutex);
  if (watch.pack.load() == &pack && watch.observer) watch.observer(kind, id);
}

std::optional<std::string> ResourcePack::FindString(int id) const {
  NoteResourceLookup(*this, ResourceLookup::kString, id);
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
    platform::RegisterProcessReset(platform::ProcessLayer::kPlatform, [] {
      platform::Resources().Reset();
      platform::WatchResourceLookups(nullptr, nullptr);
    });

}  // namespace
