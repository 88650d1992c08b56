#include "core/zk470_view.h"

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/main_frame.h"
#include "core/raw_import_commands.h"
#include "core/read_recorder_command.h"
#include "core/zk470_app.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "reports/print_composer.h"
#include "views/layout_tree.h"
#include "win/frame_window.h"

namespace {

// Layouts of the screens the display mode names.
constexpr int kStartScreenLayout = 5;
constexpr int kKeepLayout = -1;

// Narrower screens lose the page buttons and the mail button of the main toolbar.
constexpr int kNarrowScreenWidth = 1000;
// Without the GDT link the separator before its buttons goes too.
constexpr size_t kGdtSeparatorIndex = 4;

}  // namespace

CZK470View::CZK470View(CZK470Doc* document) : CBaseView(document) {
  AddDisplayModeCommands();
  AddSpanCommands();
  AddFileAndSheetCommands();
  AddServiceCommands();
  AddRecorderCommands();
  AddPrintCommands();
  AddReportPdfCommands();
  AddExportCommands();
  AddLetterExportCommands();
}

CZK470View::~CZK470View() {
  // The hosted windows go with the view's window; the areas must not destroy them again.
  SetViewClosing(true);
  DeleteDefaultLayouts();
}

bool CZK470View::SelectInitialConfiguration() {
  CViewConfigSelector* selector = GetSelector();
  return selector != nullptr && selector->Select(kStartScreenLayout);
}

CViewConfigurations* CZK470View::GetConfigurations() { return GetDefaultLayouts(); }

int CZK470View::LayoutForDisplayMode(int hint) const {
  const CZK470Doc& doc = Doc();
  const int sub_mode = doc.GetDisplaySubMode();
  switch (static_cast<int>(doc.GetDisplayMode())) {
    case 0:
    case 3:
      return kStartScreenLayout;
    case 1:
      return sub_mode == 1 ? 0 : 2;
    case 2:
      switch (sub_mode) {
        case 0:
          return 11;
        case 1:
          return 1;
        case 2:
          return 3;
        default:
          return kKeepLayout;
      }
    case 4:
      return 4;
    case 5:
      return doc.GetChannelCount() == 2 ? 6 : 19;
    case 6:
      return 7;
    case 7:
      return doc.GetLargeTemplateViewFlag() ? 10 : 8;
    case 8:
      return hint == hint::kArea1101 ? 9 : kKeepLayout;
    case 9:
      return 12;
    case 10:
      return 13;
    case 11:
      return 14;
    case 12:
      return 15;
    case 13:
      return hint == hint::kDisplayMode13 ? 16 : kKeepLayout;
    case 14:
      return 17;
    case 15:
      return 18;
    case 16:
      return 20;
    case 17:
      return 21;
    default:
      return kKeepLayout;
  }
}

bool CZK470View::SelectLayout(int index) {
  CViewConfigSelector* selector = GetSelector();
  return selector != nullptr && selector->Select(index);
}

void CZK470View::OnUpdate(document::DocumentView* sender, int hint, THintObject* object) {
  if (const int layout = LayoutForDisplayMode(hint); layout != kKeepLayout) (void)SelectLayout(layout);
  CBaseView::OnUpdate(sender, hint, object);
  if (hint == hint::kPrintEventStrips) {
    print_kind_ = kEventStripsPrintKind;
    OnFilePrint();
  }
}

bool CZK470View::OnCmdMsg(win::CommandMessage& message) {
  if (win::OfferToChildren(*this, message)) return true;
  return win::View::OnCmdMsg(message);
}

void CZK470View::OnSize(int type, int cx, int cy) {
  CBaseView::OnSize(type, cx, cy);
  if (menus_pruned_) return;
  CMainFrame* frame = GetMainFrame();
  if (frame == nullptr || frame->GetMenu() == nullptr || frame->GetMainToolBar() == nullptr ||
      !frame->GetMainToolBar()->IsWindow() || frame->GetTimeSpanToolBar() == nullptr ||
      !frame->GetTimeSpanToolBar()->IsWindow()) {
    return;
  }
  menus_pruned_ = true;
  HideToolBarButtons();
  RemoveMenuEntries();
}

CMainFrame* CZK470View::GetMainFrame() const {
  // The frame that holds the view; before the program names its main window that is the one.
  if (auto* frame = dynamic_cast<CMainFrame*>(GetParent())) return frame;
  return dynamic_cast<CMainFrame*>(win::Windows().MainWindow());
}

void CZK470View::HideToolBarButtons() {
  CMainFrame* frame = GetMainFrame();
  if (frame == nullptr || frame->GetMainToolBar() == nullptr || !frame->GetMainToolBar()->IsWindow() ||
      frame->GetTimeSpanToolBar() == nullptr || !frame->GetTimeSpanToolBar()->IsWindow()) {
    return;
  }
  CMainToolBar& bar = *frame->GetMainToolBar();
  win::ToolBarModel& buttons = bar.Model();
  bool changed = false;
  if (win::Windows().ScreenSize().cx < kNarrowScreenWidth) {
    for (const int id : {cmd::kPreviousPage, cmd::kNextPage, cmd::kSendRecording})
      changed |= buttons.HideButton(id);
  }
  if (Doc().GetSettings().Int(SettingKey::kGDTOn) == 0) {
    for (const int id : {cmd::kGDTTakePatient, cmd::kGDTSendResult}) changed |= buttons.HideButton(id);
    if (kGdtSeparatorIndex < buttons.Count()) (void)buttons.DeleteButton(kGdtSeparatorIndex);
    changed = true;
  }
  if (!changed) return;
  // The bar fits its remaining buttons, and the bars beside it close up.
  const gfx::Rect place = bar.GetWindowRectInParent();
  bar.MoveWindow({place.left, place.top, place.left + bar.NeededWidth(), place.bottom});
  bar.Refresh();
  frame->RecalcLayout();
}

void CZK470View::RemoveMenuEntries() {
  CMainFrame* frame = GetMainFrame();
  if (frame == nullptr) return;
  win::Menu* menu = frame->GetMenu();
  if (menu == nullptr) return;
  // Tape import stays: the rule that drops it belongs to one family of another platform.
  const CZK470App* app = App();
  if (app == nullptr || !app->GetUserIdFlag()) {
    if (menu->DeleteItem(cmd::kUserId)) frame->GetMenuBar().Invalidate();
  }
}

void CZK470View::ReadRecorder() { RunReadRecorderCommand(*this); }

void CZK470View::ImportRawFile() { RunImportRawFileCommand(*this); }

bool CZK470View::UsualRule() const {
  const DisplayMode mode = Doc().GetDisplayMode();
  return mode != DisplayMode::kNone && mode != DisplayMode::kOnlineEcg && mode != DisplayMode::kPdf;
}

CZK470View* GetActiveZK470View() {
  win::FrameWindow* frame = App() != nullptr ? App()->GetMainFrame() : nullptr;
  if (frame == nullptr) frame = dynamic_cast<win::FrameWindow*>(win::Windows().MainWindow());
  return frame != nullptr ? dynamic_cast<CZK470View*>(frame->GetActiveView()) : nullptr;
}
