#include "document/settings_store.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

#include "common/profile_defaults.h"
#include "platform/profile_store.h"

namespace {

constexpr int kIntNotFound = -1;
constexpr std::string_view kTextNotFound = "NULL";
// "PauseA" holds this until a save writes the pause index; "Pause" held the index minus 2.
constexpr int kPauseNotSet = 99;
constexpr int kPauseIndexWhenNeverSet = 1;
constexpr int kPauseKeyOffset = 2;

std::size_t Index(SettingKey key) {
  assert(key < SettingKey::kCount);
  return static_cast<std::size_t>(key);
}

// (index + offset) x step, kept inside int for any stored index.
int Scaled(int index, int offset, int step) {
  const int64_t value = (static_cast<int64_t>(index) + offset) * step;
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

}  // namespace

std::string SettingsDefaults::DefaultHome() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr &&
                                                 *entry->pw_dir != '\0') {
    return entry->pw_dir;
  }
  return "/";
}

SettingsStore::SettingsStore(SettingsDefaults defaults, ProfileAccess access)
    : defaults_(std::move(defaults)), access_(access) {
  for (const ProfileKey& key : ProfileKeys()) {
    if (key.kind == SettingKind::kInt) {
      ints_[Index(key.key)] = key.default_int;
    } else {
      texts_[Index(key.key)] = DefaultText(key.key);
    }
  }
  work_directory_ = Text(SettingKey::kDirData);
}

std::string SettingsStore::DefaultText(SettingKey key) const {
  const ProfileKey& row = GetProfileKey(key);
  assert(row.kind == SettingKind::kText);
  switch (row.text_default) {
    case TextDefault::kAsWritten:
      return row.default_text;
    case TextDefault::kUserNameString:
      return defaults_.user_name;
    case TextDefault::kUnderHome: {
      std::string_view under_home = row.default_text;
      assert(under_home.starts_with("~/"));
      under_home.remove_prefix(2);
      std::string folder = defaults_.home;
      if (folder.empty() || folder.back() != '/') folder += '/';
      folder += under_home;
      return folder;
    }
  }
  return {};
}

int SettingsStore::ReadInt(platform::ProfileStore& profile, const ProfileKey& key, int default_value) const {
  if (access_ == ProfileAccess::kReadWrite) {
    return GetProfileIntDefault(profile, key.section, key.name, default_value);
  }
  const std::optional<int> stored = profile.GetInt(key.section, key.name);
  return stored && *stored != kIntNotFound ? *stored : default_value;
}

std::string SettingsStore::ReadText(platform::ProfileStore& profile, const ProfileKey& key,
                                    std::string_view default_value) const {
  if (access_ == ProfileAccess::kReadWrite) {
    return GetProfileStringDefault(profile, key.section, key.name, default_value);
  }
  std::optional<std::string> stored = profile.GetString(key.section, key.name);
  return stored && *stored != kTextNotFound ? std::move(*stored) : std::string(default_value);
}

void SettingsStore::LoadSettings(platform::ProfileStore& profile) {
  for (const ProfileKey& key : ProfileKeys()) {
    const std::size_t i = Index(key.key);
    if (key.key == SettingKey::kAnalyzePause) continue;  // read only through "PauseA" below
    if (key.kind == SettingKind::kText) {
      texts_[i] = ReadText(profile, key, DefaultText(key.key));
      continue;
    }
    ints_[i] = ReadInt(profile, key, key.default_int);
    if (key.key == SettingKey::kAnalyzePauseA && ints_[i] == kPauseNotSet) {
      // A profile from before "PauseA" existed keeps its pause limit.
      const int old = ReadInt(profile, GetProfileKey(SettingKey::kAnalyzePause), kPauseNotSet);
      ints_[Index(SettingKey::kAnalyzePause)] = old;
      ints_[i] = old == kPauseNotSet ? kPauseIndexWhenNeverSet : Scaled(old, kPauseKeyOffset, 1);
    }
  }
  work_directory_ = Text(SettingKey::kDirData);
  if (access_ == ProfileAccess::kReadWrite) profile.Flush();
}

void SettingsStore::SaveSettings(platform::ProfileStore& profile) const {
  if (access_ == ProfileAccess::kReadOnly) return;
  // One file write for all keys, not one per changed key.
  auto* ini = dynamic_cast<platform::IniProfileStore*>(&profile);
  struct Batch {
    platform::IniProfileStore* ini;
    bool was_batching;
    ~Batch() {
      if (ini != nullptr && !was_batching) ini->SetBatching(false);
    }
  } batch{ini, ini != nullptr && ini->Batching()};
  if (ini != nullptr) ini->SetBatching(true);
  for (const ProfileKey& key : ProfileKeys()) {
    if (key.key == SettingKey::kAnalyzePause) continue;
    if (key.kind == SettingKind::kInt) {
      profile.WriteInt(key.section, key.name, ints_[Index(key.key)]);
    } else {
      profile.WriteString(key.section, key.name, texts_[Index(key.key)]);
    }
  }
  profile.Flush();
}

int SettingsStore::Int(SettingKey key) const {
  assert(GetProfileKey(key).kind == SettingKind::kInt);
  return ints_[Index(key)];
}

const std::string& SettingsStore::Text(SettingKey key) const {
  assert(GetProfileKey(key).kind == SettingKind::kText);
  return texts_[Index(key)];
}

void SettingsStore::SetInt(SettingKey key, int value) {
  assert(GetProfileKey(key).kind == SettingKind::kInt);
  ints_[Index(key)] = value;
}

void SettingsStore::SetText(SettingKey key, std::string value) {
  assert(GetProfileKey(key).kind == SettingKind::kText);
  texts_[Index(key)] = std::move(value);
}

int SettingsStore::Color(int code) const {
  const std::optional<SettingKey> key = ColorKey(code);
  return key ? Int(*key) : kColorWithoutKey;
}

int SettingsStore::GetBradycardiaLimit() const { return Scaled(Int(SettingKey::kAnalyzeBradycardia), 6, 5); }

int SettingsStore::GetTachycardiaLimit() const { return Scaled(Int(SettingKey::kAnalyzeTachycardia), 8, 10); }

int SettingsStore::GetSVESPrematurityPercent() const {
  return Scaled(Int(SettingKey::kAnalyzeSVESPrematurity), 3, 5);
}

int SettingsStore::GetArrhythmiaPrematurityPercent() const {
  return Scaled(Int(SettingKey::kAnalyzeArrhyPrematurity), 3, 5);
}

double SettingsStore::GetPauseLimit() const { return 1.0 + 0.5 * Int(SettingKey::kAnalyzePauseA); }

int SettingsStore::GetSTUnitValue() const { return Scaled(Int(SettingKey::kSTUnit), 3, 5); }

int SettingsStore::GetSTLimit(int channel) const {
  const SettingKey key = channel == 1   ? SettingKey::kSTLimit1
                         : channel == 2 ? SettingKey::kSTLimit2
                                        : SettingKey::kSTLimit0;
  return Scaled(Int(key), 2, 5);
}

double SettingsStore::GetSTPointOffset() const {
  static constexpr double kOffsets_s[] = {0.008, 0.024, 0.032, 0.04, 0.048, 0.064, 0.072, 0.08, 0.088, 0.104};
  constexpr double kOtherIndex_s = 0.064;
  const int index = Int(SettingKey::kSTPoint);
  return index >= 0 && index < static_cast<int>(std::size(kOffsets_s)) ? kOffsets_s[index] : kOtherIndex_s;
}

int SettingsStore::GetSTPointValue() const { return Scaled(Int(SettingKey::kSTPoint), 1, 10); }

namespace {

// An index outside the table (only a hand-edited profile holds one) falls back to the default's entry.
int AveragingEntry(int64_t index, int default_index) {
  const auto& beats = SettingsStore::kAveragingBeats;
  const bool inside = index >= 0 && index < static_cast<int64_t>(beats.size());
  return beats[static_cast<std::size_t>(inside ? index : default_index)];
}

// "Trend-Middle-Average" 0 selects the fourth entry (60 beats).
constexpr int kTrendAverageFirstEntry = 3;

}  // namespace

int SettingsStore::GetHRAverageBeats() const {
  const ProfileKey& key = GetProfileKey(SettingKey::kHeartrateTrendAverage);
  return AveragingEntry(Int(key.key), key.default_int);
}

int SettingsStore::GetHRTrendAverage() const {
  const ProfileKey& key = GetProfileKey(SettingKey::kHeartrateTrendMiddleAverage);
  return AveragingEntry(static_cast<int64_t>(Int(key.key)) + kTrendAverageFirstEntry,
                        kTrendAverageFirstEntry + key.default_int);
}
