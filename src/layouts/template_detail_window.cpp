#include "layouts/template_detail_window.h"

#include <algorithm>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "document/template_class_entry.h"
#include "document/zk470_doc.h"
#include "layouts/template_classes_window.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "win/popup_menu.h"
#include "win/toolbar_window.h"

namespace {

constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CTemplateDetailWnd::kCmdPreviousClass, "<"}, {CTemplateDetailWnd::kCmdNextClass, ">"},
    {CTemplateDetailWnd::kCmdSpeedDown, "S-"},    {CTemplateDetailWnd::kCmdSpeedUp, "S+"},
    {CTemplateDetailWnd::kCmdAmplitudeUp, "A+"},  {CTemplateDetailWnd::kCmdAmplitudeDown, "A-"},
};
constexpr int kToolBarLayout[] = {
    CTemplateDetailWnd::kCmdPreviousClass, CTemplateDetailWnd::kCmdNextClass,     0,
    CTemplateDetailWnd::kCmdSpeedDown,     CTemplateDetailWnd::kCmdSpeedUp,       0,
    CTemplateDetailWnd::kCmdAmplitudeUp,   CTemplateDetailWnd::kCmdAmplitudeDown,
};
constexpr int kToolBarTitleString = 16000;

struct FamilyCommand {
  int id;
  int family;
};
constexpr FamilyCommand kFamilyCommands[] = {
    {CTemplateDetailWnd::kCmdToNormal, TTemplateClassEntry::kFamilyNormal},
    {CTemplateDetailWnd::kCmdToVES, TTemplateClassEntry::kFamilyVES},
    {CTemplateDetailWnd::kCmdToSVES, TTemplateClassEntry::kFamilySVES},
    {CTemplateDetailWnd::kCmdToArtefact, TTemplateClassEntry::kFamilyArtefact},
};

struct SettingStep {
  SettingKey key;
  int high;
};

SettingStep StepOf(int id) {
  switch (id) {
    case CTemplateDetailWnd::kCmdSpeedDown:
    case CTemplateDetailWnd::kCmdSpeedUp:
      return {SettingKey::kResPatternSpeed, 3};
    case CTemplateDetailWnd::kCmdAmplitudeUp:
    case CTemplateDetailWnd::kCmdAmplitudeDown:
      return {SettingKey::kResPatternAmplitude, 2};
    default:
      return {SettingKey::kTemplatesDetailsDistance, 4};
  }
}

}  // namespace

CTemplateDetailWindowConfig::~CTemplateDetailWindowConfig() = default;

std::unique_ptr<CAreaWnd> CTemplateDetailWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CTemplateDetailWnd>(this, document);
}

CTemplateDetailWnd::CTemplateDetailWnd(CWindowAreaConfig* config, CZK470Doc* document)
    : CAreaWnd(config, document) {
  AddCommands();
  TakeKeysOnClick();
}

CTemplateDetailWnd::~CTemplateDetailWnd() = default;

void CTemplateDetailWnd::AddCommands() {
  const auto rows = [this] {
    return GetDocument() == nullptr ? 0 : static_cast<int>(GetDocument()->GetTemplateClassList().size());
  };
  const auto selected = [this] {
    return GetDocument() == nullptr ? 0 : GetDocument()->GetSelectedTemplateRow();
  };
  AddCommand(kCmdNextClass, [this] { NextClass(true); });
  AddUpdate(kCmdNextClass, [=](win::CmdUI& ui) { ui.Enable(selected() < rows() - 1); });
  AddCommand(kCmdPreviousClass, [this] { PreviousClass(true); });
  AddUpdate(kCmdPreviousClass, [=](win::CmdUI& ui) { ui.Enable(selected() > 0); });

  struct Step {
    int id;
    int delta;
  };
  for (const Step step : {Step{kCmdSpeedDown, -1}, Step{kCmdSpeedUp, 1}, Step{kCmdAmplitudeUp, 1},
                          Step{kCmdAmplitudeDown, -1}, Step{kCmdDistanceUp, 1}, Step{kCmdDistanceDown, -1}}) {
    AddCommand(step.id, [this, step] { StepSetting(step.id, step.delta); });
    AddUpdate(step.id, [this, step](win::CmdUI& ui) {
      const SettingStep setting = StepOf(step.id);
      const int index = GetDocument() == nullptr ? 0 : GetDocument()->GetSettings().Int(setting.key);
      ui.Enable(step.delta > 0 ? index < setting.high : index > 0);
    });
  }

  for (const FamilyCommand command : kFamilyCommands) {
    AddCommand(command.id, [this, command] { MoveToFamily(command.family); });
    AddUpdate(command.id, [this, command](win::CmdUI& ui) {
      const TTemplateClassEntry* entry = SelectedEntry();
      ui.Enable(true);
      ui.SetRadio(entry != nullptr && entry->family == command.family);
    });
  }
  AddCommand(kCmdDeleteClass, [this] { OnDeleteClass(); });
  AddUpdate(kCmdDeleteClass, [](win::CmdUI& ui) { ui.Enable(true); });
}

std::unique_ptr<win::Window> CTemplateDetailWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t*,
                                                               int* dock_bar) {
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  for (const int id : kToolBarLayout) {
    if (id == 0)
      bar->Model().AddSeparator();
    else
      bar->Model().AddButton(id, -1, win::ToolButtonStyle::kButton, {});
  }
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText(platform::LoadString(kToolBarTitleString));
  bar->UpdateButtons();
  return bar;
}

const TTemplateClassEntry* CTemplateDetailWnd::SelectedEntry() const {
  const CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return nullptr;
  const int row = doc->GetSelectedTemplateRow();
  const std::vector<TTemplateClassEntry>& rows = const_cast<CZK470Doc*>(doc)->GetTemplateClassList();
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  return &rows[static_cast<size_t>(row)];
}

int CTemplateDetailWnd::GetSelectedCount() const {
  const TTemplateClassEntry* entry = SelectedEntry();
  if (entry == nullptr) return 0;
  const TTemplateList* list = FindTemplateClass(*GetDocument(), entry->family, entry->class_index);
  return list != nullptr ? list->GetSize() : 0;
}

int CTemplateDetailWnd::SpeedIndex() const {
  return GetDocument() == nullptr
             ? 1
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kResPatternSpeed), 0, 3);
}

int CTemplateDetailWnd::AmplitudeIndex() const {
  return GetDocument() == nullptr
             ? 1
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kResPatternAmplitude), 0, 2);
}

void CTemplateDetailWnd::StepSetting(int id, int delta) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const SettingStep setting = StepOf(id);
  const int value = doc->GetSettings().Int(setting.key);
  if (delta > 0 ? value >= setting.high : value <= 0) return;
  doc->GetSettings().SetInt(setting.key, value + delta);
  GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
}

void CTemplateDetailWnd::NextClass(bool commit) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  if (commit) doc->CommitPendingRelabels();
  StepClass(1);
}

void CTemplateDetailWnd::PreviousClass(bool commit) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  if (commit) doc->CommitPendingRelabels();
  StepClass(-1);
}

void CTemplateDetailWnd::StepClass(int direction) {
  CZK470Doc* doc = GetDocument();
  const std::vector<TTemplateClassEntry>& rows = doc->GetTemplateClassList();
  const int count = static_cast<int>(rows.size());
  const int selected = doc->GetSelectedTemplateRow();
  if (direction > 0 ? selected >= count - 1 : selected < 1) return;
  int found = -1;
  for (int row = selected + direction; row >= 0 && row < count; row += direction) {
    if (rows[static_cast<size_t>(row)].count >= 1) {
      found = row;
      break;
    }
  }
  if (found < 0) return;
  doc->SetTemplateCursorRow(doc->GetTemplateCursorRow() + found - selected);
  doc->SetSelectedTemplateRow(found);
  // The beat page opens the new class at its first page; the detail area refreshes.
  GetConfig()->GetRoot()->BroadcastAll(areamsg::kBeatPageOpenAt, 0, 0);
}

void CTemplateDetailWnd::SettlePendingRelabels() {
  CZK470Doc* doc = GetDocument();
  const TTemplateClassEntry* entry = SelectedEntry();
  const TTemplateList* list =
      entry != nullptr ? FindTemplateClass(*doc, entry->family, entry->class_index) : nullptr;
  std::vector<TQRSUndoEntry>& pending = doc->GetPendingRelabels();
  const auto in_class = [list](const TQRSUndoEntry& record) {
    if (list == nullptr) return false;
    const auto members = list->Elements();
    return std::any_of(members.begin(), members.end(),
                       [&](const TTemplate& t) { return t.GetBeatIndex() == record.index; });
  };
  const int own = static_cast<int>(std::count_if(pending.begin(), pending.end(), in_class));
  const int beats = list != nullptr ? list->GetSize() : 0;
  // Only the class's own records weigh against its count: every beat relabelled means the
  // class moves as it stands and its records go; other classes' records are always carried out.
  if (own >= beats) pending.erase(std::remove_if(pending.begin(), pending.end(), in_class), pending.end());
  doc->CommitPendingRelabels();
}

void CTemplateDetailWnd::MoveToFamily(int family) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  SettlePendingRelabels();
  const TTemplateClassEntry* entry = SelectedEntry();
  if (entry == nullptr) return;
  const int artefacts_before = FindTemplateClass(*doc, TTemplateClassEntry::kFamilyArtefact, 0)->GetSize();
  int moved_to = -1;
  {
    win::Windows().BeginWaitCursor();
    TBeatEditor editor(*doc, 1);
    moved_to = editor.MoveTemplateClass(entry->family, entry->class_index, family, -1);
    win::Windows().EndWaitCursor();
  }
  if (moved_to < 0) return;
  const int selected = doc->GetSelectedTemplateRow();
  TTemplateClassEntry& row = doc->GetTemplateClassList()[static_cast<size_t>(selected)];
  if (family == TTemplateClassEntry::kFamilyArtefact && artefacts_before > 0) {
    // Merged into the artefact class that has a row of its own: this row is spent.
    row = {TTemplateClassEntry::kEmptied, TTemplateClassEntry::kEmptied, 0};
    const int last = static_cast<int>(doc->GetTemplateClassList().size()) - 1;
    if (selected < last)
      NextClass(false);
    else if (selected > 0)
      PreviousClass(false);
  } else {
    row.family = family;
    row.class_index = moved_to;
    GetConfig()->GetRoot()->BroadcastAll(areamsg::kBeatPageOpenAt, 0, 0);
  }
  doc->SetModifiedFlag();
  doc->SetDerivedDataValid(0);
}

void CTemplateDetailWnd::OnDeleteClass() {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  doc->DeleteTemplateClassBeats(this, doc->GetTemplateCursorRow());
  const int selected = doc->GetSelectedTemplateRow();
  const int last = static_cast<int>(doc->GetTemplateClassList().size()) - 1;
  if (selected < last) {
    NextClass(true);
  } else if (selected == 0) {
    doc->UpdateTemplateClassCounts();
    doc->SetDisplayMode(DisplayMode::kTemplateClasses);
    // The main view changes to the template classes under this window: nothing may follow.
    doc->UpdateAllViews(nullptr, hint::kDisplayModeChanged);
  } else {
    PreviousClass(true);
  }
}

void CTemplateDetailWnd::StepMember(int direction) {
  CZK470Doc* doc = GetDocument();
  const TTemplateClassEntry* entry = SelectedEntry();
  if (doc == nullptr || entry == nullptr || entry->family < 0) return;
  const TTemplateList* list = FindTemplateClass(*doc, entry->family, entry->class_index);
  int32_t* member = FindCurrentMember(*doc, entry->family, entry->class_index);
  if (list == nullptr || member == nullptr) return;
  if (direction > 0 && *member < list->GetSize() - 1) {
    ++*member;
  } else if (direction < 0 && *member > 0) {
    --*member;
  } else {
    return;
  }
  // Only this window's node: the beat page stays as it is.
  GetConfig()->BroadcastAll(areamsg::kBeatPageOpenAt, 0, 0);
  doc->SetModifiedFlag();
}

win::LResult CTemplateDetailWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kMsgStepMember) {
    StepMember(lparam != 0 ? 1 : -1);
    return 0;
  }
  return CAreaWnd::WindowProc(message, wparam, lparam);
}

bool CTemplateDetailWnd::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (win::IsContextMenuRequest(message, wparam)) {
    OnContextMenu(this, ClientToScreen(gfx::Point{5, 5}));
    return true;
  }
  return CAreaWnd::PreTranslateMessage(message, wparam, lparam);
}

void CTemplateDetailWnd::OnContextMenu(win::Window*, gfx::Point screen_point) {
  OpenTemplateClassMenu(*this, screen_point);
}

CTemplateDetailWnd* FindTemplateDetailWindow(const CViewAreaConfig* node) {
  for (const CViewAreaConfig* n = node; n != nullptr; n = n->GetParent()) {
    if (auto* area = dynamic_cast<CWindowArea*>(n->GetArea())) {
      if (auto* window = dynamic_cast<CTemplateDetailWnd*>(area->GetHostedWindow())) return window;
    }
  }
  return nullptr;
}
