#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "analysis/vra_api.h"
#include "platform/dynamic_library.h"

namespace platform {
class ProfileStore;
}

// The binding to the external analysis library: loads it by name (dlopen searches the usual
// library path, or takes a path) and holds its ten entry points. The program keeps one binding
// (Process()); tests make their own on a stand-in library. One thread uses it at a time: the
// analysis worker during a run, the user-interface thread to read the version.
class CVRAInterface {
 public:
  static constexpr const char* kDefaultLibraryName = "libVRA.so";
  // Results of Load and Unload.
  static constexpr int kOk = 0;
  static constexpr int kFailed = 4;

  explicit CVRAInterface(std::string library_name = kDefaultLibraryName);
  ~CVRAInterface();
  CVRAInterface(const CVRAInterface&) = delete;
  CVRAInterface& operator=(const CVRAInterface&) = delete;

  // The program's binding.
  static CVRAInterface& Process();
  // The library's name from the profile: "User" / "VRA-Library", "libVRA.so" when not set (the
  // value is not written back).
  static std::string LibraryNameFromProfile(const platform::ProfileStore& profile);

  void SetLibraryName(std::string name) { library_name_ = std::move(name); }
  const std::string& GetLibraryName() const { return library_name_; }

  // Loads the library and looks up the ten entry points. kFailed when the library cannot be
  // loaded or an entry point is missing (then nothing stays loaded); GetLoadError says which.
  int Load();
  // Frees the library and clears the entry points. kOk.
  int Unload();
  bool IsLoaded() const { return library_.IsOpen(); }
  const std::string& GetLoadError() const { return load_error_; }
  // True when the last Load found the library but not every entry point.
  bool IsEntryPointMissing() const { return entry_missing_; }

  // Loads the library, reads its version number and frees it again. Throws platform::IoError when
  // the library or an entry point is missing or the call is refused.
  uint32_t ReadVersion();

  VraOpenInterfaceFn OpenInterface = nullptr;
  VraCloseInterfaceFn CloseInterface = nullptr;
  VraSetAnaDataFn SetAnaData = nullptr;
  VraInitInterfaceFn InitInterface = nullptr;
  VraAnalyseFn Analyse = nullptr;
  VraResetAnalyseFn ResetAnalyse = nullptr;
  VraSetLeadDataFn SetLeadData = nullptr;
  VraGetAnaDataBeatPFn GetAnaDataBeatP = nullptr;
  VraGetTemplatesPFn GetTemplatesP = nullptr;
  VraGetVRAVersionFn GetVRAVersion = nullptr;

 private:
  void ClearEntryPoints();

  std::string library_name_;
  platform::DynamicLibrary library_;
  std::string load_error_;
  bool entry_missing_ = false;
};
