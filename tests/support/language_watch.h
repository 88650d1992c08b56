#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/resource_lookups.h"
#include "platform/resources.h"
#include "win/dialog_template.h"

namespace testsupport {

// Records every id a language pack is asked for while the watch lives (strings, dialog templates
// and menus), to name those the pack lacks: each of them falls back to the program's own, English
// resources or to nothing. Menus are looked up through `has_menu`, their registry being above
// this layer.
class LanguageWatch {
 public:
  using MenuCheck = std::function<bool(const std::string& pack, int id)>;

  LanguageWatch(const platform::ResourcePack& pack, MenuCheck has_menu)
      : pack_(pack), has_menu_(std::move(has_menu)) {
    platform::WatchResourceLookups(&pack_, [this](platform::ResourceLookup kind, int id) {
      const std::lock_guard lock(mutex_);
      asked_[kind].insert(id);
    });
  }
  ~LanguageWatch() { platform::WatchResourceLookups(nullptr, nullptr); }
  LanguageWatch(const LanguageWatch&) = delete;
  LanguageWatch& operator=(const LanguageWatch&) = delete;

  // "string 4133", "dialog 317", "menu 210": each id asked for and missing, ascending, leaving out
  // the named ones ("string 4133" and so on).
  std::vector<std::string> Missing(const std::set<std::string>& allowed) {
    platform::WatchResourceLookups(nullptr, nullptr);
    std::map<platform::ResourceLookup, std::set<int>> asked;
    {
      const std::lock_guard lock(mutex_);
      asked = asked_;
    }
    std::vector<std::string> missing;
    const auto note = [&](const char* kind, int id, bool held) {
      const std::string name = std::string(kind) + " " + std::to_string(id);
      if (!held && !allowed.contains(name)) missing.push_back(name);
    };
    for (const int id : asked[platform::ResourceLookup::kString])
      note("string", id, pack_.FindString(id).has_value());
    for (const int id : asked[platform::ResourceLookup::kDialog])
      note("dialog", id, win::Templates().FindIn(pack_.Name(), id) != nullptr);
    for (const int id : asked[platform::ResourceLookup::kMenu]) note("menu", id, has_menu_(pack_.Name(), id));
    return missing;
  }

  size_t AskedCount(platform::ResourceLookup kind) {
    const std::lock_guard lock(mutex_);
    return asked_[kind].size();
  }

 private:
  const platform::ResourcePack& pack_;
  MenuCheck has_menu_;
  std::mutex mutex_;
  std::map<platform::ResourceLookup, std::set<int>> asked_;
};

}  // namespace testsupport
