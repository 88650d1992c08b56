#include "tools/run_family.h"

#include <cstdio>
#include <utility>

#include "common/text_view_dlg.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "tools/recording_select_dlg.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

ToolServices& Services() {
  static ToolServices services;
  return services;
}

int AskYesNo(const std::string& text) {
  return win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(),
                                         win::kMbYesNo | win::kMbIconQuestion);
}

}  // namespace

void InstallToolServices(ToolServices services) { Services() = std::move(services); }
const ToolServices& GetToolServices() { return Services(); }

ScopedToolServices::ScopedToolServices(ToolServices services) : saved_(Services()) {
  Services() = std::move(services);
}
ScopedToolServices::~ScopedToolServices() { Services() = std::move(saved_); }

PickResult PickFiles(win::Window* parent, const std::string& title, const std::string& folder, int kind) {
  if (const auto& pick = Services().pick_files) return pick(parent, title, folder, kind);
  return RunRecordingSelectDlg(parent, title, folder, kind);
}

void ShowResults(win::Window* parent, const std::string& caption, const std::vector<std::string>& lines,
                 bool auto_scroll) {
  if (const auto& show = Services().show_results) {
    show(parent, caption, lines, auto_scroll);
    return;
  }
  TTextViewDlg dialog(lines, caption, auto_scroll, parent);
  (void)dialog.DoModal();
}

int QueryBatchFileResult() {
  const auto& query = Services().batch_file_result;
  return query ? query() : 0;
}

BatchRunningScope::BatchRunningScope() {
  if (const auto& set = Services().set_batch_running) set(1);
}

BatchRunningScope::~BatchRunningScope() {
  if (const auto& set = Services().set_batch_running) set(0);
}

void RunResults::Success(const std::string& label, const std::string& subject) {
  Add(label + " - " + subject);
  ++successes_;
}

void RunResults::Error(const std::string& label, const std::string& subject) {
  Add(label + " - " + subject);
  ++errors_;
}

void RunResults::AddSummary(const std::string& success_label, const std::string& error_label) {
  Add(" ");
  char text[512];
  std::snprintf(text, sizeof text, "%s : %d        %s : %d", success_label.c_str(), successes_,
                error_label.c_str(), errors_);
  Add(text);
}

bool AskOverwriteAll(const std::string& extension) {
  return AskYesNo("Overwrite ALL ." + extension + " Files (if any exists already) ?") == win::kIdYes;
}

bool AskOverwrite(const std::string& name) {
  return AskYesNo("File " + name + " already exists !\n\nOverwrite ?") == win::kIdYes;
}

void ResetDocument(CZK470Doc& doc) {
  doc.ResetToUntitled();
  doc.SetDisplayMode(DisplayMode::kNone);
  doc.SetDisplaySubMode(0);
  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
}

}  // namespace tools
