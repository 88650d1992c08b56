#include "platform/process_context.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform {
namespace {

struct Entry {
  ProcessLayer layer;
  void (*reset)();
};

struct Registry {
  std::mutex mutex;
  std::vector<Entry> entries;
};

// Made on first use: registrations come from static initialisers of other files.
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

bool RegisterProcessReset(ProcessLayer layer, void (*reset)()) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  registry.entries.push_back({layer, reset});
  return true;
}

void ResetProcessState() {
  std::vector<Entry> entries;
  {
    Registry& registry = TheRegistry();
    const std::lock_guard lock(registry.mutex);
    entries = registry.entries;
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.layer > b.layer; });
  for (const Entry& entry : entries) entry.reset();
}

}  // namespace platform
