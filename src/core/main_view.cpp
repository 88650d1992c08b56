#include "core/main_view.h"

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/core_ids.h"
#include "core/zk470_app.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_browser_dlg.h"
#include "document/patient_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace {

// The work area colour of an application without an open screen.
constexpr gfx::Color kWorkArea = gfx::Rgb(128, 128, 128);

}  // namespace

CMainView::CMainView(CZK470Doc& doc) : doc_(doc) {
  doc_.AddView(this);
  AddCommand(cmd::kFileOpen, [this] { OnFileOpen(); });
  AddCommand(cmd::kFileClose, [this] { OnFileClose(); });
  AddUpdate(cmd::kFileClose, [this](win::CmdUI& ui) {
    ui.Enable(doc_.GetDisplayMode() != DisplayMode::kNone &&
              doc_.GetDisplayMode() != DisplayMode::kOnlineEcg);
  });
  AddCommand(cmd::kPatientData, [this] { OnEditPatientData(); });
  AddCommand(cmd::kPatientDataAlt, [this] { OnEditPatientData(); });
  AddCommand(cmd::kEditDiagnosis, [this] { OnEditDiagnosis(); });
  for (const int id : {cmd::kPatientData, cmd::kPatientDataAlt, cmd::kEditDiagnosis}) {
    AddUpdate(id, [this](win::CmdUI& ui) { ui.Enable(CanEditPatientData(doc_)); });
  }
  AddCommand(cmd::kRefreshStatus, [this] {
    if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
  });
}

CMainView::~CMainView() { doc_.RemoveView(this); }

void CMainView::ReadRecorder() {
  // No recorder link exists on this workstation yet: the read-out ends without a recording.
  AutomationInfo().SetExitCode(kExitActionCancelled);
  doc_.DeleteWorkFile(6);
  doc_.DeleteWorkFile(7);
}

void CMainView::ImportRawFile() { AutomationInfo().SetExitCode(kExitActionCancelled); }

void CMainView::OnUpdate(document::DocumentView*, int, THintObject*) {
  ++updates_;
  Invalidate();
}

void CMainView::OnFileOpen() {
  const std::vector<std::string> chosen = ChooseRecordingsToOpen(doc_);
  if (!chosen.empty() && App() != nullptr) {
    (void)App()->OpenChosenFile(chosen.front());
    return;
  }
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
}

void CMainView::OnFileClose() {
  doc_.ResetToUntitled();
  doc_.UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
}

void CMainView::OnEditPatientData() { (void)EditPatientData(doc_, false); }

void CMainView::OnEditDiagnosis() { (void)EditPatientData(doc_, true); }

void CMainView::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, kWorkArea);
  if (doc_.GetPathName().empty()) return;
  // Which recording is open, and whose it is: the screens of the recording come with the layouts.
  const TPatientData& patient = doc_.GetPatientData();
  std::string who = patient.surname;
  if (!patient.first_name.empty()) who += (who.empty() ? "" : ", ") + patient.first_name;
  const gfx::Font old_font = canvas.SelectFont(gfx::Font{-16, 0, 0, gfx::kFwBold, false, false, false, "Arial"});
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = canvas.SetTextColor(gfx::Rgb(255, 255, 255));
  gfx::Rect line{client.left + 16, client.top + 16, client.right - 16, client.top + 40};
  canvas.DrawText(doc_.GetPathName(), line, gfx::kDtSingleLine | gfx::kDtNoPrefix | gfx::kDtEndEllipsis);
  if (!who.empty()) {
    line = line.Offset(0, 28);
    canvas.DrawText(who, line, gfx::kDtSingleLine | gfx::kDtNoPrefix | gfx::kDtEndEllipsis);
  }
  canvas.SetTextColor(old_color);
  canvas.SetBkMode(old_mode);
  canvas.SelectFont(old_font);
}
