#pragma once

#include <atomic>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct StringEntry {
  int id;
  const char* text;  // UTF-8
};

// One resource pack: the string table of a language ("ZK470Eng", "ZK470Ger", ...) or of the
// program itself. Subsystems contribute their tables with AddStrings.
class ResourcePack {
 public:
  explicit ResourcePack(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  // An id added again takes the later text.
  void AddStrings(std::span<const StringEntry> entries);
  std::optional<std::string> FindString(int id) const;
  // Ids added again with another text, in the order it happened: subsystems that fill one pack
  // must not take each other's ids.
  const std::vector<int>& Conflicts() const { return conflicts_; }

 private:
  std::string name_;
  std::map<int, std::string> strings_;
  std::vector<int> conflicts_;
};

// Process-wide resource state: the program's own pack, the chosen language pack (none when the
// "Language" value names no pack), and which of the two serves loads now. User-interface thread
// only, but for loads of strings: a batch worker loads the few texts of its document while the
// user-interface thread may flip the switch (it is atomic for that).
class ResourceContext {
 public:
  ResourcePack& ExePack() { return exe_; }
  // Not owned; nullptr means no language pack, so loads fall back to the program's own pack.
  void SetLanguagePack(const ResourcePack* pack) { language_ = pack; }
  const ResourcePack* LanguagePack() const { return language_; }
  // The resource switch: loads use the program's own pack until UseLanguageResources.
  void UseExeResources() { using_exe_ = true; }
  void UseLanguageResources() { using_exe_ = false; }
  bool UsingExeResources() const { return using_exe_ || language_ == nullptr; }
  // The raw switch, whether or not a language pack is set; what a guard must restore.
  bool ExeResourcesChosen() const { return using_exe_; }
  // From the serving pack, then the other; empty when neither has it.
  std::string LoadString(int id) const;
  // Back to the state at start: an empty own pack, no language pack, language resources in use.
  void Reset();

 private:
  ResourcePack exe_{"ZK470"};
  const ResourcePack* language_ = nullptr;
  std::atomic<bool> using_exe_{false};
};

ResourceContext& Resources();

// Brackets a load of the program's own resources; restores the previous switch on leaving. It
// remembers the raw switch: with no language pack UsingExeResources() is true anyway, and
// restoring that would leave the switch on for a language pack set later.
class ScopedExeResources {
 public:
  ScopedExeResources() : was_exe_(Resources().ExeResourcesChosen()) { Resources().UseExeResources(); }
  ~ScopedExeResources() {
    if (!was_exe_) Resources().UseLanguageResources();
  }
  ScopedExeResources(const ScopedExeResources&) = delete;
  ScopedExeResources& operator=(const ScopedExeResources&) = delete;

 private:
  bool was_exe_;
};

// Shorthand for Resources().LoadString(id).
inline std::string LoadString(int id) { return Resources().LoadString(id); }

}  // namespace platform
