// Directories, work files, the automatic deletion of old recordings and the free-space check.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "document/document_strings.h"
#include "document/profile_keys.h"
#include "document/recording_files.h"
#include "document/voice_converter.h"
#include "document/zk470_doc.h"
#include "platform/file_system.h"
#include "win/prompt.h"

namespace {

constexpr std::string_view kWorkFilePrefixes[CZK470Doc::kWorkFileKinds] = {"QRS", "CMP", "PID",
                                                                           "SC1", "EMF", "NAR"};
// Recordings kept by "Auto Delete" "Files" 0..4.
constexpr int kKeepChoices[] = {5, 10, 20, 50, 100};
constexpr int kDefaultKeep = 20;

bool EndsWithSeparator(std::string_view folder) {
  return !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
}

// The name without its last three characters (the extension, dot kept), for comparing the files of
// one recording.
std::string BaseOf(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  return name.size() < 3 ? name : name.substr(0, name.size() - 3);
}

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a.empty() ? "." : a, b.empty() ? "." : b, ec);
  return !ec && same;
}

std::string MegaBytes(uint64_t bytes) { return std::to_string(bytes / 1000000) + " MB"; }

}  // namespace

std::string CZK470Doc::JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!folder.empty() && !EndsWithSeparator(folder)) path += '/';
  path += name;
  return path;
}

std::string CZK470Doc::GetMainDirectory() const { return settings_.Text(SettingKey::kDirMain); }
void CZK470Doc::SetMainDirectory(std::string folder) {
  settings_.SetText(SettingKey::kDirMain, std::move(folder));
}
std::string CZK470Doc::GetGDTDirectory() const { return settings_.Text(SettingKey::kDirGDT); }
void CZK470Doc::SetGDTDirectory(std::string folder) {
  settings_.SetText(SettingKey::kDirGDT, std::move(folder));
}
std::string CZK470Doc::GetExportDirectory() const { return settings_.Text(SettingKey::kDirExport); }
void CZK470Doc::SetExportDirectory(std::string folder) {
  settings_.SetText(SettingKey::kDirExport, std::move(folder));
}
std::string CZK470Doc::GetDataDirectory() const { return settings_.Text(SettingKey::kDirData); }
void CZK470Doc::SetDataDirectory(std::string folder) {
  settings_.SetText(SettingKey::kDirData, std::move(folder));
}
std::string CZK470Doc::GetWorkDirectory() const { return settings_.WorkDirectory(); }
void CZK470Doc::SetWorkDirectory(std::string folder) { settings_.SetWorkDirectory(std::move(folder)); }
std::string CZK470Doc::GetExport24HDirectory() const { return settings_.Text(SettingKey::kDirExport24H); }
void CZK470Doc::SetExport24HDirectory(std::string folder) {
  settings_.SetText(SettingKey::kDirExport24H, std::move(folder));
}
std::string CZK470Doc::GetSDCardDirectory() const { return settings_.Text(SettingKey::kDirSDCard); }
void CZK470Doc::SetSDCardDirectory(std::string folder) {
  settings_.SetText(SettingKey::kDirSDCard, std::move(folder));
}

// --- Work files ------------------------------------------------------------------------------------

std::string CZK470Doc::GetWorkFileName(int kind) {
  if (kind >= 0 && kind < kWorkFileKinds) {
    const std::optional<std::filesystem::path> file =
        platform::CreateUniqueFile(GetWorkDirectory(), kWorkFilePrefixes[static_cast<size_t>(kind)]);
    work_files_[static_cast<size_t>(kind)] = file ? file->string() : std::string();
    return work_files_[static_cast<size_t>(kind)];
  }
  if (kind >= kWorkFileKinds && kind < 2 * kWorkFileKinds)
    return work_files_[static_cast<size_t>(kind - kWorkFileKinds)];
  return "ERR";
}

void CZK470Doc::DeleteWorkFile(int kind) {
  if (kind < kWorkFileKinds || kind >= 2 * kWorkFileKinds) return;
  std::string& name = work_files_[static_cast<size_t>(kind - kWorkFileKinds)];
  if (!name.empty()) ::unlink(name.c_str());
  name.clear();
}

void CZK470Doc::ClearWorkFileNames() {
  for (std::string& name : work_files_) name.clear();
}

void CZK470Doc::DeleteWorkFiles() {
  for (int kind = kWorkFileKinds; kind < 2 * kWorkFileKinds; ++kind) DeleteWorkFile(kind);
}

// --- Automatic deletion ----------------------------------------------------------------------------

void CZK470Doc::RunAutoDelete() {
  if (settings_.Int(SettingKey::kAutoDeleteOn) == 0) return;
  std::vector<std::string> failures;
  host_->RunUnderWaitDialog([&] { failures = AutoDeleteOldRecordings(); });
  // Shown here, on the user-interface thread, once the worker has ended.
  if (!failures.empty())
    host_->ShowTextView(document::DocString(document::strings::kUndeletedFilesTitle), failures);
}

std::vector<std::string> CZK470Doc::AutoDeleteOldRecordings() const {
  namespace fs = std::filesystem;
  const fs::path data_directory = GetDataDirectory();
  const int choice = settings_.Int(SettingKey::kAutoDeleteFiles);
  const int keep =
      choice >= 0 && choice < static_cast<int>(std::size(kKeepChoices)) ? kKeepChoices[choice] : kDefaultKeep;
  // The open recording: the document path and the held ".QRS".
  std::vector<fs::path> open_files;
  for (const std::string& path : {document_path_, held_path_})
    if (!path.empty()) open_files.emplace_back(path);

  struct Listed {
    fs::path path;
    fs::file_time_type time;
  };
  std::vector<Listed> listed;
  for (const char* extension : {"CMP", "TAP"}) {
    std::vector<fs::path> names;
    std::error_code ec;
    for (fs::directory_iterator it(data_directory, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& path = it->path();
      if (document::LastThreeUpper(path.filename().string()) == extension &&
          path.filename().string().size() > 3)
        names.push_back(path);
    }
    std::sort(names.begin(), names.end());
    for (const fs::path& path : names) {
      std::error_code time_ec;
      const fs::file_time_type time = fs::last_write_time(path, time_ec);
      // A file listed later with the same time goes before those already listed.
      const auto at =
          std::lower_bound(listed.begin(), listed.end(), time,
                           [](const Listed& entry, fs::file_time_type t) { return entry.time < t; });
      listed.insert(at, Listed{path, time});
    }
  }

  std::vector<std::string> failures;
  const auto remove = [&](const fs::path& path) {
    if (::unlink(path.c_str()) == 0) return true;
    failures.push_back(path.string() + "  <-" + std::strerror(errno));
    return false;
  };
  const int delete_count = static_cast<int>(listed.size()) - keep;
  for (int i = 0; i < delete_count; ++i) {
    const fs::path& file = listed[static_cast<size_t>(i)].path;
    const bool is_open = std::any_of(open_files.begin(), open_files.end(), [&](const fs::path& open) {
      return SameFolder(open.parent_path(), file.parent_path()) &&
             platform::FileNameEqualNoCase(BaseOf(open), BaseOf(file));
    });
    if (is_open) continue;
    // Another instance of the program showing this recording holds its ".QRS": it stays. Our lock
    // is kept until the ".QRS" is gone, so that no instance opens it meanwhile.
    const std::optional<std::string> qrs =
        document::ExistingFile(document::ReplaceLastThree(file.string(), "QRS"));
    platform::FileLock held_elsewhere;
    if (qrs && held_elsewhere.Lock(*qrs) == platform::FileLock::Status::kInUse) continue;
    if (!remove(file)) continue;
    if (!qrs || !remove(*qrs)) continue;
    if (const std::optional<std::string> bak =
            document::ExistingFile(document::ReplaceLastThree(file.string(), "BAK")))
      (void)remove(*bak);
  }
  return failures;
}

bool CZK470Doc::CheckFreeDiskSpace(uint64_t minimum_bytes) {
  const std::string folder = GetDataDirectory();
  if (folder.size() <= 2) return true;
  const std::optional<uint64_t> free_bytes = platform::FreeSpaceBytes(folder);
  if (!free_bytes) {
    ShowMessage(
        "The free space in " + folder + " cannot be determined. Check that the data directory exists.",
        win::kMbIconExclamation);
    return false;
  }
  if (*free_bytes >= minimum_bytes) return true;
  ShowMessage("There is not enough free disk space in " + folder + ": " + MegaBytes(*free_bytes) + " free, " +
                  MegaBytes(minimum_bytes) + " needed.\nDelete or archive old recordings first.",
              win::kMbIconExclamation);
  return false;
}

bool CZK470Doc::ConvertVoiceToWave(const std::string& voice_file, const std::string& wave_file,
                                   std::string& error) {
  return ::ConvertVoiceToWave(voice_file, wave_file, error);
}
