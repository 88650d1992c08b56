#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/recent_file_list.h"
#include "platform/profile_store.h"
#include "platform/resources.h"

// The application state that needs no window: versions written into files, the GDT start mode,
// the edit mode, the choice of language pack, the recent-file list, the external analysis
// library's version text and profile reads with default write-back. The windowed start-up (single
// instance, document template, main frame, splash) is built on top of it by the host.
// User-interface thread only. The profile must outlive the object.
class CZK470App {
 public:
  static constexpr unsigned kDocumentResourceId = 305;
  static constexpr unsigned kMainToolbarResourceId = 306;
  static constexpr unsigned kTimeSpanToolbarResourceId = 326;
  static constexpr int kCurrentFileFormatVersion = 32;
  static constexpr int kCurrentRecorderFileVersion = 2;
  static constexpr int kRecentFileCount = 4;
  static constexpr std::string_view kRuntimeLocaleRussian = "rus";
  // Shown in the status bar when the external analysis library cannot be read.
  static constexpr std::string_view kNoLibraryVersion = "-         ";

  // Finds a compiled-in resource pack by name ("ZK470Ger"); nullptr when there is none.
  using LanguagePackSource = std::function<const platform::ResourcePack*(std::string_view name)>;
  // Loads the external analysis library, calls its version entry and frees it again. Throws
  // platform::IoError when the library cannot be loaded or the entry is missing.
  using LibraryVersionReader = std::function<uint32_t()>;

  explicit CZK470App(platform::ProfileStore& profile);

  platform::ProfileStore& Profile() { return profile_; }
  int GetProfileIntDefault(std::string_view section, std::string_view key, int default_value);
  std::string GetProfileStringDefault(std::string_view section, std::string_view key,
                                      std::string_view default_value);

  // The version every persistent class writes first; the batch save in the old format sets 25
  // for the time of that save.
  int GetFileFormatVersion() const { return file_format_version_; }
  void SetFileFormatVersion(int version) { file_format_version_ = version; }
  // Announced to the card-based recorder.
  int GetRecorderFileVersion() const { return recorder_file_version_; }
  void SetRecorderFileVersion(int version) { recorder_file_version_ = version; }
  // 1 while a user edit command of the beat editor runs, 2 while a PDF export prints, else 0.
  int GetEditMode() const { return edit_mode_; }
  void SetEditMode(int mode) { edit_mode_ = mode; }

  // The whole command line: the program's arguments joined by blanks.
  void SetCommandLine(std::span<const std::string> args);
  void SetCommandLine(std::string command_line) { command_line_ = std::move(command_line); }
  const std::string& GetCommandLine() const { return command_line_; }
  // 1 for "/G:...S", 2 for "/G:...C" (any case); a "/G:" line with another ending is cleared to "".
  // Any other line gives 0 and stays as it is.
  int GetGDTMode();
  // The mode found at start-up, read by the document when it opens a file.
  int GetGDTStartMode() const { return gdt_start_mode_; }
  void SetGDTStartMode(int mode) { gdt_start_mode_ = mode; }

  // The pack of a "Language" value: 0 "ZK470Eng" .. 9 "ZK470Se"; none for any other value.
  static std::optional<std::string_view> LanguagePackName(int language);
  void SetLanguagePackSource(LanguagePackSource source) { pack_source_ = std::move(source); }
  // Chooses the language pack by the profile value "Language"/"Language" (0 written back when
  // missing) and makes it the process's language pack. False when the value names no pack or the
  // pack is not there; loads then come from the program's own pack.
  bool LoadLanguageDll();
  // The name of the chosen pack; empty when none.
  const std::string& GetLanguagePackName() const { return language_pack_; }
  // The resource switch. UseLanguageResources returns whether a language pack is there.
  bool UseLanguageResources();
  bool UseExeResources();
  bool IsUsingLanguageResources() const;
  // The C-library locale the program asks for: "rus" when "Language" is 6, else "" (unchanged).
  // Only recorded here; the host applies it.
  std::string SelectRuntimeLocale();
  const std::string& GetRuntimeLocale() const { return runtime_locale_; }

  // Creates the recent-file list and reads it from the profile.
  void LoadStdProfileSettings();
  bool HasRecentFileList() const { return recent_files_.has_value(); }
  // Entry 0 goes and the path becomes the newest entry: the open recording was moved or renamed.
  void ReplaceFirstRecentFile(std::string_view path);
  void RemoveRecentFile(int index);
  // Entry index, "" when there is no list or no entry there.
  std::string GetRecentFileName(int index) const;
  // Every file the program opens becomes the newest entry.
  void AddToRecentFileList(std::string_view path);

  // "%x" of the version with points inserted at indexes 1, 4 and 7 (appended when past the end):
  // 0x01020304 gives "1.02.03.04", 0x1234 gives "1.23.4.".
  static std::string FormatLibraryVersion(uint32_t version);
  // Reads the external analysis library's version once for the status bar; kNoLibraryVersion when
  // there is no reader or it fails.
  void ReadAnalysisLibraryVersion(const LibraryVersionReader& reader);
  const std::string& GetAnalysisLibraryVersionText() const { return library_version_text_; }

 private:
  platform::ProfileStore& profile_;
  int file_format_version_ = kCurrentFileFormatVersion;
  int recorder_file_version_ = kCurrentRecorderFileVersion;
  int edit_mode_ = 0;
  int gdt_start_mode_ = 0;
  std::string command_line_;
  LanguagePackSource pack_source_;
  std::string language_pack_;
  std::string runtime_locale_;
  std::optional<RecentFileList> recent_files_;
  std::string library_version_text_{kNoLibraryVersion};
};
