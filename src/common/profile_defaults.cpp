#include "common/profile_defaults.h"

namespace {

constexpr int kMissingInt = -1;
constexpr std::string_view kMissingString = "NULL";

}  // namespace

int GetProfileIntDefault(platform::ProfileStore& profile, std::string_view section, std::string_view key,
                         int default_value) {
  // A text that is no number reads as nothing and is replaced like a missing key.
  const std::optional<int> stored = profile.GetInt(section, key);
  if (stored && *stored != kMissingInt) return *stored;
  profile.WriteInt(section, key, default_value);
  return default_value;
}

std::string GetProfileStringDefault(platform::ProfileStore& profile, std::string_view section,
                                    std::string_view key, std::string_view default_value) {
  std::optional<std::string> stored = profile.GetString(section, key);
  if (stored && *stored != kMissingString) return std::move(*stored);
  profile.WriteString(section, key, default_value);
  return std::string(default_value);
}
