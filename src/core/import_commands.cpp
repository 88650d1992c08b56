#include "core/import_commands.h"

#include <string>
#include <vector>

#include "dialogs/items_dlg.h"
#include "document/zk470_doc.h"
#include "tools/foreign_import.h"
#include "tools/run_family.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

// The only sampling the database records come in; the two choices confirm it.
constexpr int kAhaRateHz = 250;
constexpr double kAhaLsbMicrovolts = 2.5;

constexpr const char* kCancelled = "Importing was canceled !";
constexpr const char* kNoFiles = "No Files were selected !";

// A one-row choice; false when the user cancelled it.
bool Confirm(win::Window* frame, const char* title, const char* column, const char* item) {
  TItemsDlg dialog(frame, title, column, 1);
  dialog.input = {item};
  dialog.DoModal();
  return dialog.end_reason != TItemsDlg::kCancelled;
}

}  // namespace

void ImportAhaFiles(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  tools::RunResults results;
  (void)win::CurrentPrompt().MessageBox(" Please choose files with same frequency and resolution !  ",
                                        win::Windows().AppTitle(), win::kMbOk);
  const tools::PickResult picked =
      tools::PickFiles(frame, "Select AHA Files to import", doc->GetDataDirectory(), tools::kPickAha);
  const bool confirmed = picked.ok && Confirm(frame, "Select Frequency", "Hz", "   250 Hz") &&
                         Confirm(frame, "Select Resolution LSB", "microV", "   2.5 uV");
  if (!confirmed) {
    results.Add(kCancelled);
    if (picked.paths.empty()) results.Add(kNoFiles);
  } else if (picked.paths.empty()) {
    results.Add(kNoFiles);
  } else {
    const bool overwrite_all = tools::AskOverwriteAll("QRS");
    for (const std::string& path : picked.paths) {
      std::string record_name;
      std::string error;
      if (tools::ImportAhaRecord(*doc, path, overwrite_all, record_name, kAhaRateHz, kAhaLsbMicrovolts, error,
                                 frame) == 1)
        results.Success(record_name, "imported");
      else
        results.Error(record_name, "Error : " + error);
    }
  }
  results.AddSummary("Imported", "Errors");
  tools::ShowResults(frame, "Import multiple AHA Files - Results", results.Lines(), false);
}

void ImportKEKGFiles(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  std::vector<std::string> lines;
  const tools::PickResult picked = tools::PickFiles(frame, "Import multiple Kestrova EKG files",
                                                    doc->GetDataDirectory(), tools::kPickKekg);
  if (!picked.ok) {
    lines.push_back(kCancelled);
    if (picked.paths.empty()) lines.push_back(kNoFiles);
  } else if (picked.paths.empty()) {
    lines.push_back(kNoFiles);
  } else {
    const bool overwrite_all = tools::AskOverwriteAll("QRS");
    for (const std::string& path : picked.paths) {
      std::string error;
      if (tools::ImportKEKGFile(*doc, path, overwrite_all, error))
        lines.push_back("File: " + path + " - imported");
      else
        lines.push_back("File: " + path + " - Error : " + error);
    }
  }
  tools::ShowResults(frame, "Import multiple Kestrova EKG Files - Results", lines, false);
}
