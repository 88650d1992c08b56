#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/core_ids.h"
#include "core/recent_file_list.h"
#include "document/settings_store.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "win/command_target.h"

namespace analysis {
class AnalysisDialogs;
class AnalysisRun;
}  // namespace analysis
namespace platform {
class Clock;
}
namespace win {
class View;
}
class BeatSampleSource;
class CBeatEditSink;
class CMainFrame;
class CZK470Doc;

// Finds a running instance of the program and talks to it: the stand-in for looking up the main
// window class "ZK470Class". The program's host implements it over a local socket.
class InstanceChannel {
 public:
  virtual ~InstanceChannel() = default;
  // Whether another instance runs.
  virtual bool FindRunningInstance() = 0;
  // Asks the running instance to restore its window and bring it to the front, and to open file
  // (an absolute path) when it is not empty.
  virtual void RaiseRunningInstance(const std::string& file) = 0;
  // This instance takes the raise requests of later starts; on_raise runs on the user-interface
  // thread with the file handed over, empty for none.
  virtual void Listen(std::function<void(const std::string& file)> on_raise) = 0;
};

// The single application object: versions written into files, the GDT start mode, the edit mode,
// the choice of language pack, the recent-file list, the external analysis library's version text
// and profile reads with default write-back; and the start-up of the program (single instance,
// language pack, splash, the one document with the main frame and its view, the automation run),
// the application's commands and the end of the program. The program's host supplies what needs
// the platform (StartupOptions). While an object runs its start-up it is the process's App().
// User-interface thread only. The profile must outlive the object.
class CZK470App : public win::CommandTarget {
 public:
  static constexpr unsigned kDocumentResourceId = core_ids::kDocumentResource;
  static constexpr unsigned kMainToolbarResourceId = core_ids::kMainToolbarResource;
  static constexpr unsigned kTimeSpanToolbarResourceId = core_ids::kTimeSpanToolbarResource;
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

  // What the start-up needs beyond the profile. Members left empty take the defaults named.
  struct StartupOptions {
    // The program's arguments, without the program name.
    std::vector<std::string> args;
    // Required: the clock of the document and the window system.
    const platform::Clock* clock = nullptr;
    // Where the default folders go.
    SettingsDefaults settings_defaults;
    // nullptr: no other instance can be found.
    InstanceChannel* instance = nullptr;
    // Reads the external analysis library's version; without one the status bar shows the dash.
    LibraryVersionReader library_version;
    // Applies the C-library locale the profile asks for ("rus"); nothing happens without one.
    std::function<void(const std::string& locale)> apply_locale;
    // The main frame's view; the core's CZK470View when empty.
    std::function<std::unique_ptr<win::View>(CZK470Doc&)> view_factory;
    // The dialogs of the analysis run; the program's windows when empty.
    analysis::AnalysisDialogs* analysis_dialogs = nullptr;
    // Where the built-in engine reads the recording; the document's sample store when empty.
    std::function<std::unique_ptr<BeatSampleSource>(CZK470Doc&)> analysis_sample_source;
    // The narrative test-data dialog of the reports (1: print the narrative letter); the command
    // is disabled without one.
    std::function<int()> narrative_test;
  };

  explicit CZK470App(platform::ProfileStore& profile);
  ~CZK470App() override;

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

  // "%x" of the version with points inserted at indexes 1, 4 and 7 of the growing text, as far as
  // the text reaches: 0x01020304 gives "1.02.03.04", 0x1234 gives "1.23.4" (never a trailing point).
  static std::string FormatLibraryVersion(uint32_t version);
  // Reads the external analysis library's version once for the status bar; kNoLibraryVersion when
  // there is no reader or it fails.
  void ReadAnalysisLibraryVersion(const LibraryVersionReader& reader);
  const std::string& GetAnalysisLibraryVersionText() const { return library_version_text_; }
  // Whether the last read of the library's version succeeded.
  bool IsAnalysisLibraryVersionRead() const { return library_version_read_; }

  // --- The program ---
  // The start-up: parses the command line into AutomationInfo(), keeps a second plain start from
  // running twice, loads the language pack, arms the splash, makes the document, the main frame
  // and its view, reads the library's version and posts the status refresh and, in automation
  // runs, the start-up command. False when the program must end at once (another instance was
  // raised, or the main frame could not be made).
  bool InitInstance(StartupOptions options);
  // The end: the document closes, the main frame goes, the recent-file list stays in the profile.
  // Returns the code of the end-of-program request (0 when none came).
  int ExitInstance();

  // Whether the main menu keeps the user-id sheet (32892); off unless a caller sets it.
  bool GetUserIdFlag() const { return user_id_flag_; }
  void SetUserIdFlag(bool on) { user_id_flag_ = on; }

  // The single entry of every file opening (menu, recent files, command line, automation): makes
  // the main frame with the first document when there is none yet. False when the file could not
  // be opened.
  bool OpenDocumentFile(const std::string& path);
  // Opens a file the user chose (in the recording browser, or by dropping it on the frame): the
  // document takes the name it was opened under, and the status bar is refilled. False when the
  // file could not be opened.
  bool OpenChosenFile(const std::string& path);
  // The new-document command: empties the document (on first use also making the main frame and
  // view), then posts the status refresh.
  void OnFileNew();
  // The About box.
  void OnAppAbout();
  // The narrative test command of the main frame.
  bool HasNarrativeTest() const { return static_cast<bool>(narrative_test_); }
  void RunNarrativeTest();

  CZK470Doc* GetDocument() { return doc_.get(); }
  const CZK470Doc* GetDocument() const { return doc_.get(); }
  CMainFrame* GetMainFrame() { return frame_.get(); }
  analysis::AnalysisRun* GetAnalysisRun() { return analysis_run_.get(); }
  // A later start asked this instance to come to the front, and to open file when not empty.
  void OnRaiseRequest(const std::string& file = {});
  // How many raise requests came (the host logs them).
  int RaiseRequestCount() const { return raise_requests_; }

 private:
  class DocumentHostImpl;
  class DocumentCommands;

  bool CreateMainFrame();
  // What the screens' windows reach at run time (their classes, dialogs, editing engine, page
  // services), installed at start-up and removed with the application.
  void InstallScreenServices();
  void RemoveScreenServices();
  void OpenRecentFile(int index);


  platform::ProfileStore& profile_;
  int file_format_version_ = kCurrentFileFormatVersion;
  int recorder_file_version_ = kCurrentRecorderFileVersion;
  int edit_mode_ = 0;
  bool user_id_flag_ = false;
  int gdt_start_mode_ = 0;
  std::string command_line_;
  LanguagePackSource pack_source_;
  std::string language_pack_;
  std::string runtime_locale_;
  std::optional<RecentFileList> recent_files_;
  std::string library_version_text_{kNoLibraryVersion};
  bool library_version_read_ = false;

  const platform::Clock* clock_ = nullptr;
  std::function<std::unique_ptr<win::View>(CZK470Doc&)> view_factory_;
  std::function<int()> narrative_test_;
  std::unique_ptr<analysis::AnalysisDialogs> own_analysis_dialogs_;
  std::unique_ptr<analysis::AnalysisRun> analysis_run_;
  // Where the review windows' edits go; installed while the application lives.
  std::unique_ptr<CBeatEditSink> beat_edit_sink_;
  std::unique_ptr<DocumentHostImpl> doc_host_;
  std::unique_ptr<DocumentCommands> doc_commands_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<CMainFrame> frame_;
  bool class_registered_ = false;
  int input_filter_ = 0;
  int raise_requests_ = 0;
  bool opening_handed_file_ = false;
};

// The application object that runs now; nullptr outside a run.
CZK470App* App();
