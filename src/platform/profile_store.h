#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The user profile: integer and text values by section and key. Section names are kept as the
// program spells them, backslashes included ("Print\Setup"). Values are UTF-8.
// Not thread-safe: the user-interface thread owns it.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // Nothing there: std::nullopt. An int read of a text that is no number is nullopt too.
  virtual std::optional<int> GetInt(std::string_view section, std::string_view key) const = 0;
  virtual std::optional<std::string> GetString(std::string_view section, std::string_view key) const = 0;
  virtual void WriteInt(std::string_view section, std::string_view key, int value) = 0;
  virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
  virtual void RemoveKey(std::string_view section, std::string_view key) = 0;
  // Makes the values written so far durable (a file store saves; the memory store does nothing).
  // Throws IoError when the store cannot be written.
  virtual void Flush() = 0;
};

// Values held in memory only; tests use it. Names match ignoring ASCII case, as in the file store.
class MemoryProfileStore : public ProfileStore {
 public:
  std::optional<int> GetInt(std::string_view section, std::string_view key) const override;
  std::optional<std::string> GetString(std::string_view section, std::string_view key) const override;
  void WriteInt(std::string_view section, std::string_view key, int value) override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void RemoveKey(std::string_view section, std::string_view key) override;
  void Flush() override {}

  // Every value, as section -> key -> text; tests compare it.
  const std::map<std::string, std::map<std::string, std::string>>& Values() const { return values_; }

 protected:
  std::map<std::string, std::map<std::string, std::string>> values_;
};

// An INI file: "[section]" lines and "key=value" lines. Loaded when constructed (a missing file is
// an empty profile); Flush writes it atomically. Every write that changes a value flushes unless
// batching is on.
// Sections and keys are matched ignoring ASCII case, as the registry profile did; the spelling of
// the first write is the one kept. Values are UTF-8; one that would not survive a bare line
// (line breaks, edge blanks, a leading quote) is stored quoted with C escapes. Lines that fit no
// rule are ignored when loading, as are comments (";" or "#"); a save keeps them as they stand.
// Writes never throw: a failed automatic save leaves the store dirty, and Flush throws IoError.
class IniProfileStore : public MemoryProfileStore {
 public:
  // Throws IoError when the file exists but cannot be read (it must not be replaced by an empty
  // profile at the next save).
  explicit IniProfileStore(std::filesystem::path path);
  // ZK470_PROFILE, else ${XDG_CONFIG_HOME:-~/.config}/KESTROVA AG/ZK-470.ini.
  static std::filesystem::path DefaultPath();

  void WriteInt(std::string_view section, std::string_view key, int value) override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void RemoveKey(std::string_view section, std::string_view key) override;
  void Flush() override;
  // While batching, writes only mark the store dirty; Flush (or the end of the batch) saves.
  void SetBatching(bool batching);
  bool Batching() const { return batching_; }
  const std::filesystem::path& Path() const { return path_; }
  // True while written values have not reached the file.
  bool Dirty() const { return dirty_; }

 private:
  void Changed();
  void SaveQuietly();

  std::filesystem::path path_;
  // The file as last read or written, line by line: a save changes only the lines of values.
  std::vector<std::string> lines_;
  bool batching_ = false;
  bool dirty_ = false;
};

}  // namespace platform
