#include "analysis/vra_interface.h"

#include <optional>
#include <type_traits>
#include <utility>

#include "platform/io_error.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"

CVRAInterface::CVRAInterface(std::string library_name) : library_name_(std::move(library_name)) {}

CVRAInterface::~CVRAInterface() = default;

CVRAInterface& CVRAInterface::Process() {
  static CVRAInterface binding;
  return binding;
}

std::string CVRAInterface::LibraryNameFromProfile(const platform::ProfileStore& profile) {
  const std::optional<std::string> name = profile.GetString("User", "VRA-Library");
  return name && !name->empty() ? *name : std::string(kDefaultLibraryName);
}

void CVRAInterface::ClearEntryPoints() {
  OpenInterface = nullptr;
  CloseInterface = nullptr;
  SetAnaData = nullptr;
  InitInterface = nullptr;
  Analyse = nullptr;
  ResetAnalyse = nullptr;
  SetLeadData = nullptr;
  GetAnaDataBeatP = nullptr;
  GetTemplatesP = nullptr;
  GetVRAVersion = nullptr;
}

int CVRAInterface::Load() {
  load_error_.clear();
  entry_missing_ = false;
  ClearEntryPoints();
  if (!library_.Open(library_name_)) {
    load_error_ = "Can't find " + library_name_ + ": " + library_.Error();
    return kFailed;
  }
  std::string missing;
  const auto look_up = [&](auto& entry, const char* name) {
    entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(library_.Symbol(name));
    if (entry == nullptr) missing += missing.empty() ? name : std::string(", ") + name;
  };
  look_up(OpenInterface, "OpenInterface");
  look_up(CloseInterface, "CloseInterface");
  look_up(SetAnaData, "SetAnaData");
  look_up(InitInterface, "InitInterface");
  look_up(Analyse, "Analyse");
  look_up(ResetAnalyse, "ResetAnalyse");
  look_up(SetLeadData, "SetLeadData");
  look_up(GetAnaDataBeatP, "GetAnaDataBeatP");
  look_up(GetTemplatesP, "GetTemplatesP");
  look_up(GetVRAVersion, "GetVRAVersion");
  if (!missing.empty()) {
    load_error_ = "Error getting functions from " + library_name_ + ": " + missing + " missing";
    entry_missing_ = true;
    ClearEntryPoints();
    library_.Close();
    return kFailed;
  }
  return kOk;
}

int CVRAInterface::Unload() {
  ClearEntryPoints();
  library_.Close();
  return kOk;
}

uint32_t CVRAInterface::ReadVersion() {
  if (Load() != kOk) throw platform::IoError(library_name_, load_error_);
  uint32_t version = 0;
  const int result = GetVRAVersion(0, &version);
  Unload();
  if (result != VRA_OK)
    throw platform::IoError(library_name_, "GetVRAVersion refused with result " + std::to_string(result));
  return version;
}

namespace {

// A fresh process has not loaded the analysis library.
[[maybe_unused]] const bool kResetRegistered = platform::RegisterProcessReset(
    platform::ProcessLayer::kAnalysis, [] { (void)CVRAInterface::Process().Unload(); });

}  // namespace
