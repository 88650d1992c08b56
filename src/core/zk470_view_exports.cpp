// The main view's exports to files outside the program: the RR intervals as text and the archive
// copies of recordings chosen in the recording browser.
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/progress_window.h"
#include "core/core_ids.h"
#include "core/view_exports.h"
#include "core/view_services.h"
#include "core/zk470_view.h"
#include "dialogs/patient_dialog_ids.h"
#include "dialogs/recording_browser_dlg.h"
#include "dialogs/select_folder_dialog.h"
#include "document/zk470_doc.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "reports/export_resources.h"
#include "reports/rr_export.h"
#include "win/dialog.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

std::string Format(const std::string& format, const std::string& value) {
  const int n = std::snprintf(nullptr, 0, format.c_str(), value.c_str());
  std::string text(static_cast<size_t>(std::max(n, 0)), '\0');
  std::snprintf(text.data(), text.size() + 1, format.c_str(), value.c_str());
  return text;
}

int Say(const std::string& text, unsigned style) {
  return win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), style);
}

}  // namespace

void RunRRExport(win::Window* owner, CZK470Doc& doc) {
  const int beats = doc.GetQRSList().GetSize();
  if (beats == 0) {
    Say("No RR distances found", win::kMbOk | win::kMbIconExclamation);
    return;
  }
  CSelectFolderDialog folder_dialog("Export RR distance To", doc.GetExportDirectory(),
                                    "Text files (*.txt)|*.txt||", owner, "Export");
  if (folder_dialog.DoModal() != win::kIdOk) return;
  const std::string path =
      folder_dialog.GetFolder() +
      RRExportBaseName(doc.GetPatientData(), doc.GetRecordingData(), doc.GetRecordingNumber()) + " RR.txt";
  std::error_code error;
  if (std::filesystem::exists(path, error) &&
      Say(Format("File \n\n%s\n\nalready exists !\n\nOverwrite ?", path),
          win::kMbYesNoCancel | win::kMbIconQuestion) != win::kIdYes) {
    return;
  }

  std::unique_ptr<CProgressWindow> progress;
  if (beats >= 2) {
    progress = std::make_unique<CProgressWindow>(owner, "Exporting RR - distances", false);
    progress->BeginModal("Exporting RR - distances", false);
    progress->SetRange(0, beats / 100, 1);
    progress->SetText("Exporting....");
  }
  const auto after_line = [&progress](int index) {
    if (index % 100 == 0) progress->StepIt();
    return progress->PumpMessages(true) == 0;
  };
  try {
    (void)WriteRRFile(doc, path, after_line);
  } catch (const RRFileOpenError&) {
    progress.reset();
    Say("Error opening RR-File", win::kMbOk | win::kMbIconExclamation);
  } catch (const platform::IoError&) {
    progress.reset();
    Say(Format(platform::LoadString(kIdsRRWriteFailed), path), win::kMbOk | win::kMbIconExclamation);
  }
}

void RunArchiveCopyOfChosen(CZK470Doc& doc, int command) {
  const auto& copy = GetViewServices().archive_copy_chosen;
  if (!copy) return;
  const bool to_archive = command == export_cmd::kArchiveCopyTo;
  TRecordingBrowserDlg browser(
      &doc, to_archive ? dialogs::ids::kArchiveCopyToCaption : dialogs::ids::kArchiveCopyFromCaption,
      to_archive ? 1 : 2);
  if (browser.DoModal() != win::kIdOk || browser.Results().empty()) return;
  if (copy(doc, to_archive ? 2 : 3, browser.Results()) == 0) return;
  Say(platform::LoadString(to_archive ? core_ids::kIdsArchiveCopyFailed : kIdsArchiveCopyBackFailed),
      win::kMbOk | win::kMbIconExclamation);
}

void CZK470View::AddExportCommands() {
  AddCommand(export_cmd::kRRExport, [this] { RunRRExport(this, Doc()); });
  AddUpdate(export_cmd::kRRExport, [this](win::CmdUI& ui) { ui.Enable(UsualRule()); });
  for (const int id : {export_cmd::kArchiveCopyTo, export_cmd::kArchiveCopyFrom}) {
    AddCommand(id, [this, id] { RunArchiveCopyOfChosen(Doc(), id); });
    AddUpdate(id, [this](win::CmdUI& ui) {
      ui.Enable(static_cast<bool>(GetViewServices().archive_copy_chosen) &&
                Doc().GetDisplayMode() != DisplayMode::kOnlineEcg);
    });
  }
}
