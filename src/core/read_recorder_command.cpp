#include "core/read_recorder_command.h"

#include <chrono>
#include <ctime>

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "platform/file_system.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "recorder/raw/raw_converter.h"
#include "recorder/read_recorder_dlg.h"
#include "win/command_target.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kIdsAskPatientData = 33247;
// The read-out warns below this much free space and goes on.
constexpr uint64_t kReadOutFreeBytes = 20'000'000;

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsAskPatientData,
     "The patient data of this recording are incomplete.\nDo you want to complete them now?"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsAskPatientData,
     "Die Patientendaten dieser Aufzeichnung sind unvollständig.\nMöchten Sie sie jetzt ergänzen?"},
};

bool OpenRecording(CZK470Doc& doc, const std::string& path) {
  CZK470App* app = App();
  return app != nullptr ? app->OpenDocumentFile(path) : doc.OnOpenDocument(path);
}

}  // namespace

void RunReadRecorderCommand(CZK470View& view, const ReadRecorderServices& services) {
  CZK470Doc& doc = *view.GetDocument();
  // A warning only: the recording may still fit.
  (void)doc.CheckFreeDiskSpace(kReadOutFreeBytes);

  int result = TReadRecorderDlg::kResultCancelled;
  std::string path;
  {
    TReadRecorderDlg dialog(nullptr, doc, services.search);
    result = dialog.DoModal();
    path = dialog.GetResultPath();
  }
  // The raw voice is spent whatever the outcome; a recording without voice would leave it behind.
  doc.DeleteWorkFile(9);
  if (result != TReadRecorderDlg::kResultDone || path.empty()) {
    AutomationInfo().SetExitCode(kExitActionCancelled);
    doc.DeleteWorkFile(6);
    doc.DeleteWorkFile(7);
    return;
  }

  doc.ResetToUntitled();
  doc.RunAutoDelete();
  const bool opened = OpenRecording(doc, path);
  if (opened && doc.GetSettings().Int(SettingKey::kIOPortDoAskPatData) != 0 &&
      !AutomationInfo().IsCommandComplete() && recorder::IsPatientDataIncomplete(doc.GetPatientData())) {
    const int answer =
        win::CurrentPrompt().MessageBox(platform::LoadString(kIdsAskPatientData), win::Windows().AppTitle(),
                                        win::kMbYesNo | win::kMbIconQuestion);
    if (answer == win::kIdYes) (void)win::ExecuteCommand(view, cmd::kPatientData);
  }
  AutomationInfo().SetExitCode(kExitDone);
}

bool HasFreeDiskSpace(const CZK470Doc& doc, uint32_t minimum_bytes) {
  const std::string folder = doc.GetDataDirectory();
  if (folder.size() <= 2) return false;
  const std::optional<uint64_t> free_bytes = platform::FreeSpaceBytes(folder);
  return free_bytes && *free_bytes >= minimum_bytes;
}

void UpdateReadRecorderCommand(const CZK470Doc& doc, win::CmdUI& ui) {
  ui.Enable(doc.GetDisplayMode() != DisplayMode::kOnlineEcg);
}

std::string FormatFileTime(std::filesystem::file_time_type time) {
  // The file's own instant, not an offset against now, so that the summer-time rule of that day
  // applies and no second is lost to the two clocks' readings.
  const auto system_time = std::chrono::file_clock::to_sys(time);
  const std::time_t seconds =
      std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(system_time));
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return {};
  char text[128];
  const size_t length = std::strftime(text, sizeof text, "%c", &local);
  return std::string(text, length);
}

void AddReadRecorderCommandResources(platform::ResourcePack& pack) {
  pack.AddStrings(win::IsGermanPack(pack) ? std::span<const platform::StringEntry>(kGermanStrings)
                                          : std::span<const platform::StringEntry>(kEnglishStrings));
}
