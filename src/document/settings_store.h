#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "document/profile_keys.h"

namespace platform {
class ProfileStore;
}

// What the defaults depend on outside the profile.
struct SettingsDefaults {
  // Stands in for the drive root "C:\" of the default folders; from $HOME unless a test sets it.
  std::string home = DefaultHome();
  // The text of string kDefaultUserNameStringId from the language pack.
  std::string user_name;

  // $HOME, else the account's home folder from the password database, else "/".
  static std::string DefaultHome();
};

// Whether loading and saving may change the profile. A document without user interface reads the
// settings but leaves the user's profile as it found it.
enum class ProfileAccess { kReadWrite, kReadOnly };

// The user settings of the document: one value per profile key, held in memory between a load and
// a save. Owned by the document; user-interface thread only.
class SettingsStore {
 public:
  // Holds every default until LoadSettings.
  explicit SettingsStore(SettingsDefaults defaults = {}, ProfileAccess access = ProfileAccess::kReadWrite);

  // Reads every key in table order. A missing key, a stored -1 (integer) or "NULL" (text), or an
  // integer key holding no number, yields the default, which is written back unless read-only.
  // Throws platform::IoError when the write-back cannot be stored; the values are loaded even then.
  void LoadSettings(platform::ProfileStore& profile);
  // Writes every value under its key (the older "Pause" key is never written) and flushes.
  // Read-only: does nothing. Throws platform::IoError when the profile cannot be stored.
  void SaveSettings(platform::ProfileStore& profile) const;

  [[nodiscard]] int Int(SettingKey key) const;
  [[nodiscard]] const std::string& Text(SettingKey key) const;
  void SetInt(SettingKey key, int value);
  void SetText(SettingKey key, std::string value);

  // The default of a key under this store's home folder and user name.
  [[nodiscard]] std::string DefaultText(SettingKey key) const;

  // Colour number of a beat-class or event-kind code; kColorWithoutKey for codes without a key,
  // including codes outside 0..39.
  [[nodiscard]] int Color(int code) const;

  // Folder of this run's work files: the data directory as loaded; never stored.
  [[nodiscard]] const std::string& WorkDirectory() const { return work_directory_; }
  void SetWorkDirectory(std::string folder) { work_directory_ = std::move(folder); }

  [[nodiscard]] ProfileAccess Access() const { return access_; }
  [[nodiscard]] const SettingsDefaults& Defaults() const { return defaults_; }

  // Index conversions. Stored indexes are not range-checked on load (a hand-edited profile may hold
  // anything), so these never overflow and never index outside their lists.
  [[nodiscard]] int GetBradycardiaLimit() const;             // beats per minute
  [[nodiscard]] int GetTachycardiaLimit() const;             // beats per minute
  [[nodiscard]] int GetSVESPrematurityPercent() const;
  [[nodiscard]] int GetArrhythmiaPrematurityPercent() const;
  [[nodiscard]] double GetPauseLimit() const;                // seconds
  [[nodiscard]] int GetSTUnitValue() const;
  // ST channel 1 and 2 take "Limit 1" and "Limit 2"; every other channel "Limit 0".
  [[nodiscard]] int GetSTLimit(int channel) const;
  [[nodiscard]] double GetSTPointOffset() const;             // seconds after the J point
  [[nodiscard]] int GetSTPointValue() const;
  [[nodiscard]] int GetHRAverageBeats() const;
  [[nodiscard]] int GetHRTrendAverage() const;

  // Beats over which heart rates are averaged, indexed by the heart-rate settings.
  static constexpr std::array<int, 7> kAveragingBeats = {4, 8, 16, 60, 120, 300, 600};

 private:
  int ReadInt(platform::ProfileStore& profile, const ProfileKey& key, int default_value) const;
  std::string ReadText(platform::ProfileStore& profile, const ProfileKey& key,
                       std::string_view default_value) const;

  SettingsDefaults defaults_;
  ProfileAccess access_;
  std::array<int, kSettingKeyCount> ints_{};
  std::array<std::string, kSettingKeyCount> texts_;
  std::string work_directory_;
};
