#include "core/zk470_app.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/profile_defaults.h"
#include "platform/io_error.h"

namespace {

constexpr std::string_view kLanguageSection = "Language";
constexpr std::string_view kLanguageKey = "Language";
constexpr int kRussianLanguage = 6;

constexpr std::array<std::string_view, 10> kLanguagePacks = {
    "ZK470Eng", "ZK470Ger", "ZK470Esp", "ZK470Fra", "ZK470Ita",
    "ZK470Por", "ZK470Rus", "ZK470Cz",  "ZK470Pl",  "ZK470Se",
};

}  // namespace

int CZK470App::GetProfileIntDefault(std::string_view section, std::string_view key, int default_value) {
  return ::GetProfileIntDefault(profile_, section, key, default_value);
}

std::string CZK470App::GetProfileStringDefault(std::string_view section, std::string_view key,
                                               std::string_view default_value) {
  return ::GetProfileStringDefault(profile_, section, key, default_value);
}

void CZK470App::SetCommandLine(std::span<const std::string> args) {
  command_line_.clear();
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) command_line_ += ' ';
    command_line_ += args[i];
  }
}

int CZK470App::GetGDTMode() {
  std::string upper = command_line_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!upper.starts_with("/G:")) return 0;
  if (upper.back() == 'S') return 1;
  if (upper.back() == 'C') return 2;
  command_line_.clear();
  return 0;
}

std::optional<std::string_view> CZK470App::LanguagePackName(int language) {
  if (language < 0 || language >= static_cast<int>(kLanguagePacks.size())) return std::nullopt;
  return kLanguagePacks[static_cast<size_t>(language)];
}

bool CZK470App::LoadLanguageDll() {
  const int language = GetProfileIntDefault(kLanguageSection, kLanguageKey, 0);
  platform::Resources().SetLanguagePack(nullptr);
  language_pack_.clear();
  const std::optional<std::string_view> name = LanguagePackName(language);
  if (!name || !pack_source_) return false;
  const platform::ResourcePack* pack = pack_source_(*name);
  if (pack == nullptr) return false;
  platform::Resources().SetLanguagePack(pack);
  language_pack_ = std::string(*name);
  return true;
}

bool CZK470App::UseLanguageResources() {
  if (platform::Resources().LanguagePack() == nullptr) return false;
  platform::Resources().UseLanguageResources();
  return true;
}

bool CZK470App::UseExeResources() {
  platform::Resources().UseExeResources();
  return true;
}

bool CZK470App::IsUsingLanguageResources() const { return !platform::Resources().UsingExeResources(); }

std::string CZK470App::SelectRuntimeLocale() {
  const bool russian = GetProfileIntDefault(kLanguageSection, kLanguageKey, 0) == kRussianLanguage;
  runtime_locale_ = russian ? std::string(kRuntimeLocaleRussian) : std::string();
  return runtime_locale_;
}

void CZK470App::LoadStdProfileSettings() {
  recent_files_.emplace(profile_, kRecentFileCount);
  recent_files_->ReadList();
}

void CZK470App::ReplaceFirstRecentFile(std::string_view path) {
  if (!recent_files_) return;
  recent_files_->Remove(0);
  recent_files_->Add(path);
}

void CZK470App::RemoveRecentFile(int index) {
  if (recent_files_) recent_files_->Remove(index);
}

std::string CZK470App::GetRecentFileName(int index) const {
  return recent_files_ ? recent_files_->GetName(index) : std::string();
}

void CZK470App::AddToRecentFileList(std::string_view path) {
  if (recent_files_) recent_files_->Add(path);
}

std::string CZK470App::FormatLibraryVersion(uint32_t version) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(version));
  std::string text = hex;
  // The points go where the version's bytes meet (1.02.03.04); a short number has fewer places,
  // and a point after its last digit would read as a missing part.
  for (const size_t index : {1u, 4u, 7u}) {
    if (index < text.size()) text.insert(index, 1, '.');
  }
  return text;
}

void CZK470App::ReadAnalysisLibraryVersion(const LibraryVersionReader& reader) {
  library_version_text_ = std::string(kNoLibraryVersion);
  library_version_read_ = false;
  if (!reader) return;
  try {
    library_version_text_ = FormatLibraryVersion(reader());
    library_version_read_ = true;
  } catch (const platform::IoError&) {
    // No message at start-up: the status bar shows the dash.
  }
}
