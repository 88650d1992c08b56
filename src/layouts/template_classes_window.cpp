#include "layouts/template_classes_window.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/analysis_steps.h"
#include "analysis/editing/beat_editor.h"
#include "document/document_context.h"
#include "document/template_class_entry.h"
#include "document/zk470_doc.h"
#include "layouts/template_review_dialogs.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "win/menu.h"
#include "win/popup_menu.h"
#include "win/toolbar_window.h"

namespace {

constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CTemplateClassesWnd::kCmdPageBack, "<<"},    {CTemplateClassesWnd::kCmdRowBack, "<"},
    {CTemplateClassesWnd::kCmdRowForward, ">"},   {CTemplateClassesWnd::kCmdPageForward, ">>"},
    {CTemplateClassesWnd::kCmdSpeedDown, "S-"},   {CTemplateClassesWnd::kCmdSpeedUp, "S+"},
    {CTemplateClassesWnd::kCmdAmplitudeUp, "A+"}, {CTemplateClassesWnd::kCmdAmplitudeDown, "A-"},
    {CTemplateClassesWnd::kCmdDistanceUp, "D+"},  {CTemplateClassesWnd::kCmdDistanceDown, "D-"},
    {CTemplateClassesWnd::kCmdSmallPage, "16"},   {CTemplateClassesWnd::kCmdLargePage, "24"},
    {CTemplateClassesWnd::kCmdReduceVES, "V#"},   {CTemplateClassesWnd::kCmdRebuild, "R"},
};
// The bar's order; 0 is a separator.
constexpr int kToolBarLayout[] = {
    CTemplateClassesWnd::kCmdPageBack,    CTemplateClassesWnd::kCmdRowBack,       0,
    CTemplateClassesWnd::kCmdRowForward,  CTemplateClassesWnd::kCmdPageForward,   0,
    CTemplateClassesWnd::kCmdSpeedDown,   CTemplateClassesWnd::kCmdSpeedUp,       0,
    CTemplateClassesWnd::kCmdAmplitudeUp, CTemplateClassesWnd::kCmdAmplitudeDown, 0,
    CTemplateClassesWnd::kCmdDistanceUp,  CTemplateClassesWnd::kCmdDistanceDown,  0,
    CTemplateClassesWnd::kCmdSmallPage,   CTemplateClassesWnd::kCmdLargePage,     0,
    CTemplateClassesWnd::kCmdReduceVES,   CTemplateClassesWnd::kCmdRebuild,
};

struct FamilyCommand {
  int id;
  int family;
};
constexpr FamilyCommand kFamilyCommands[] = {
    {CTemplateClassesWnd::kCmdToNormal, TTemplateClassEntry::kFamilyNormal},
    {CTemplateClassesWnd::kCmdToVES, TTemplateClassEntry::kFamilyVES},
    {CTemplateClassesWnd::kCmdToSVES, TTemplateClassEntry::kFamilySVES},
    {CTemplateClassesWnd::kCmdToArtefact, TTemplateClassEntry::kFamilyArtefact},
};

bool ValidFamily(int family) { return family >= 0 && family <= 3; }

// Sets the application's manual-edit flag for one move and clears it after, as the move's
// relabels count as the user's.
class ManualEditFlag {
 public:
  ManualEditFlag() { document::Context().edit_mode = 1; }
  ~ManualEditFlag() { document::Context().edit_mode = 0; }
  ManualEditFlag(const ManualEditFlag&) = delete;
  ManualEditFlag& operator=(const ManualEditFlag&) = delete;
};

class WaitCursor {
 public:
  WaitCursor() { win::Windows().BeginWaitCursor(); }
  ~WaitCursor() { win::Windows().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

const TTemplateList* FindTemplateClass(const CZK470Doc& document, int family, int class_index) {
  if (!ValidFamily(family) || class_index < 0 || class_index >= TRecordingData::kTemplateClasses)
    return nullptr;
  return &document.GetRecordingData().TemplateClasses(family)[static_cast<size_t>(class_index)];
}

int32_t* FindCurrentMember(CZK470Doc& document, int family, int class_index) {
  if (!ValidFamily(family) || class_index < 0 || class_index >= TRecordingData::kTemplateClasses)
    return nullptr;
  return &document.GetRecordingData().CurrentMembers(family)[static_cast<size_t>(class_index)];
}

int SpecialClassIndex(const CZK470Doc& document, int family, int class_index) {
  const TRecordingData& record = document.GetRecordingData();
  const std::array<int32_t, 2>* special = nullptr;
  int first = 0;
  switch (family) {
    case TTemplateClassEntry::kFamilyNormal:
      special = &record.normal_special;
      break;
    case TTemplateClassEntry::kFamilyVES:
      special = &record.ves_special;
      first = 2;
      break;
    case TTemplateClassEntry::kFamilySVES:
      special = &record.sves_special;
      first = 4;
      break;
    default:
      return -1;
  }
  if (class_index < 0) return -1;
  if (class_index == (*special)[0]) return first;
  if (class_index == (*special)[1]) return first + 1;
  return -1;
}

win::Menu TemplateClassMenu() {
  win::Menu menu;
  for (const FamilyCommand& command : kFamilyCommands)
    menu.AppendItem(command.id, platform::LoadString(kTemplateMenuFirstString + command.family));
  menu.AppendSeparator();
  menu.AppendItem(CTemplateClassesWnd::kCmdDeleteClass, platform::LoadString(kTemplateMenuDeleteString));
  return menu;
}

void OpenTemplateClassMenu(win::Window& window, gfx::Point screen_point) {
  const win::Menu menu = TemplateClassMenu();
  // Owned by the nearest window that is no child, so that the commands take the main route.
  win::Window* owner = &window;
  while (owner->IsChild() && owner->GetParent() != nullptr) owner = owner->GetParent();
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y, *owner,
                      &window);
}

CTemplateClassesWindowConfig::~CTemplateClassesWindowConfig() = default;

std::unique_ptr<CAreaWnd> CTemplateClassesWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CTemplateClassesWnd>(this, document);
}

CTemplateClassesWnd::CTemplateClassesWnd(CWindowAreaConfig* config, CZK470Doc* document)
    : CAreaWnd(config, document) {
  AddCommands();
  TakeKeysOnClick();
}

CTemplateClassesWnd::~CTemplateClassesWnd() = default;

void CTemplateClassesWnd::AddCommands() {
  const auto row_count = [this] {
    return GetDocument() == nullptr ? 0 : static_cast<int>(GetDocument()->GetTemplateClassList().size());
  };
  const auto first = [this] {
    return GetDocument() == nullptr ? 0 : GetDocument()->GetFirstVisibleTemplateRow();
  };
  const auto can_forward = [=, this](win::CmdUI& ui) { ui.Enable(first() + page_size_ < row_count()); };
  const auto can_back = [=](win::CmdUI& ui) { ui.Enable(first() > 0); };
  AddCommand(kCmdPageForward, [this] { Page(page_size_); });
  AddCommand(kCmdRowForward, [this] { Page(kRowStep); });
  AddCommand(kCmdPageBack, [this] { Page(-page_size_); });
  AddCommand(kCmdRowBack, [this] { Page(-kRowStep); });
  AddUpdate(kCmdPageForward, can_forward);
  AddUpdate(kCmdRowForward, can_forward);
  AddUpdate(kCmdPageBack, can_back);
  AddUpdate(kCmdRowBack, can_back);

  struct Step {
    int id;
    int delta;
  };
  for (const Step step : {Step{kCmdSpeedDown, -1}, Step{kCmdSpeedUp, 1}, Step{kCmdAmplitudeUp, 1},
                          Step{kCmdAmplitudeDown, -1}, Step{kCmdDistanceUp, 1}, Step{kCmdDistanceDown, -1}}) {
    AddCommand(step.id, [this, step] { StepSetting(step.id, step.delta); });
    AddUpdate(step.id, [this, step](win::CmdUI& ui) {
      const bool speed = step.id == kCmdSpeedDown || step.id == kCmdSpeedUp;
      const bool gain = step.id == kCmdAmplitudeUp || step.id == kCmdAmplitudeDown;
      const int index = speed ? SpeedIndex() : gain ? AmplitudeIndex() : DistanceIndex();
      const int high = speed ? 3 : gain ? 2 : 4;
      ui.Enable(step.delta > 0 ? index < high : index > 0);
    });
  }

  AddCommandRange(kCmdSelectFirst, kCmdSelectFirst + kLargePage - 1,
                  [this](int id) { SelectSlot(id - kCmdSelectFirst); });
  AddUpdateRange(kCmdSelectFirst, kCmdSelectFirst + kLargePage - 1, [](win::CmdUI& ui) { ui.Enable(true); });

  for (const FamilyCommand command : kFamilyCommands) {
    AddCommand(command.id, [this, command] {
      const ManualEditFlag manual;
      MoveToFamily(command.family);
    });
    AddUpdate(command.id, [this, command](win::CmdUI& ui) {
      ui.Enable(true);
      ui.SetRadio(GetSlotFamily(context_slot_) == command.family);
    });
  }

  AddCommand(kCmdRebuild, [this] { RebuildKeepingCursor(); });
  AddCommand(kCmdDeleteClass, [this] {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    doc->DeleteTemplateClassBeats(this, doc->GetTemplateCursorRow());
    RebuildKeepingCursor();
    doc->UpdateTemplateClassCounts();
    BroadcastRefresh();
  });
  AddCommand(kCmdReduceVES, [this] { OnReduceVESClasses(); });
  for (const int id : {kCmdRebuild, kCmdDeleteClass, kCmdReduceVES})
    AddUpdate(id, [](win::CmdUI& ui) { ui.Enable(true); });

  for (const bool large : {false, true}) {
    const int id = large ? kCmdLargePage : kCmdSmallPage;
    AddCommand(id, [this, large] {
      CZK470Doc* doc = GetDocument();
      if (doc == nullptr) return;
      doc->GetSettings().SetInt(SettingKey::kTemplatesView, large ? 1 : 0);
      // The main view chooses layout 10 or 8 by this flag.
      doc->SetLargeTemplateViewFlag(large);
      // The main view may change the layout under this window: nothing may follow.
      doc->UpdateAllViews(nullptr, hint::kDisplayModeChanged);
    });
    AddUpdate(id, [this, large](win::CmdUI& ui) {
      ui.Enable(true);
      ui.SetRadio(LargeView() == large);
    });
  }
}

void CTemplateClassesWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  context_slot_ = 0;
  drop_slot_ = 0;
  page_size_ = LargeView() ? kLargePage : kSmallPage;
}

bool CTemplateClassesWnd::LargeView() const {
  return GetDocument() != nullptr && GetDocument()->GetSettings().Int(SettingKey::kTemplatesView) != 0;
}

void CTemplateClassesWnd::OnAreaNotify(document::DocumentView*, int hint_number, THintObject*) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  // The window rebuilds the rows once for all its browsers, before they refresh.
  if (hint_number == hint::kDocumentChanged || hint_number == hint::kSpanMoved) {
    CompactAndSort();
    doc->ClearTemplateClassList();
    doc->BuildTemplateClassList();
  } else if (hint_number == hint::kPrintPreparation) {
    RebuildKeepingCursor();
  }
}

std::unique_ptr<win::Window> CTemplateClassesWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t*,
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

const TTemplateClassEntry* CTemplateClassesWnd::SlotEntry(int slot) const {
  const int row = GetSlotRow(slot);
  if (row < 0) return nullptr;
  return &GetDocument()->GetTemplateClassList()[static_cast<size_t>(row)];
}

int CTemplateClassesWnd::GetSlotRow(int slot) const {
  if (GetDocument() == nullptr || slot < 0) return -1;
  const int row = GetDocument()->GetFirstVisibleTemplateRow() + slot;
  const int count = static_cast<int>(GetDocument()->GetTemplateClassList().size());
  return row >= 0 && row < count ? row : -1;
}

int CTemplateClassesWnd::GetSlotFamily(int slot) const {
  const TTemplateClassEntry* entry = SlotEntry(slot);
  return entry != nullptr ? entry->family : -1;
}

int CTemplateClassesWnd::GetSlotClass(int slot) const {
  const TTemplateClassEntry* entry = SlotEntry(slot);
  return entry != nullptr ? entry->class_index : -1;
}

int CTemplateClassesWnd::GetSlotCount(int slot) const {
  const TTemplateClassEntry* entry = SlotEntry(slot);
  return entry != nullptr ? entry->count : 0;
}

int CTemplateClassesWnd::GetSlotMember(int slot, bool beat) const {
  const TTemplateClassEntry* entry = SlotEntry(slot);
  if (entry == nullptr || entry->family < 0) return -1;
  const TTemplateList* list = FindTemplateClass(*GetDocument(), entry->family, entry->class_index);
  const int32_t* current = FindCurrentMember(*GetDocument(), entry->family, entry->class_index);
  if (list == nullptr || current == nullptr) return 0;
  const int member = std::min(*current, list->GetSize() - 1);
  if (!beat) return member;
  if (list->GetSize() == 0) return -1;
  return list->GetAt(std::max(member, 0)).GetBeatIndex();
}

void CTemplateClassesWnd::Page(int delta) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const int first = doc->GetFirstVisibleTemplateRow();
  const int rows = static_cast<int>(doc->GetTemplateClassList().size());
  // Forward only while rows lie beyond the page, so that the last page is always reached.
  if (delta > 0 && first + page_size_ >= rows) return;
  if (delta < 0 && first <= 0) return;
  doc->SetFirstVisibleTemplateRow(std::max(first + delta, 0));
  BroadcastRefresh();
}

int CTemplateClassesWnd::SpeedIndex() const {
  return GetDocument() == nullptr
             ? 1
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kResTemplatesSpeed), 0, 3);
}

int CTemplateClassesWnd::AmplitudeIndex() const {
  return GetDocument() == nullptr
             ? 1
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kResTemplatesAmplitude), 0, 2);
}

int CTemplateClassesWnd::DistanceIndex() const {
  return GetDocument() == nullptr
             ? 2
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kTemplatesOverviewDistance), 0, 4);
}

void CTemplateClassesWnd::StepSetting(int id, int delta) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const bool speed = id == kCmdSpeedDown || id == kCmdSpeedUp;
  const bool gain = id == kCmdAmplitudeUp || id == kCmdAmplitudeDown;
  const SettingKey key = speed  ? SettingKey::kResTemplatesSpeed
                         : gain ? SettingKey::kResTemplatesAmplitude
                                : SettingKey::kTemplatesOverviewDistance;
  const int high = speed ? 3 : gain ? 2 : 4;
  const int value = doc->GetSettings().Int(key);
  if (delta > 0 ? value >= high : value <= 0) return;
  doc->GetSettings().SetInt(key, value + delta);
  GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
}

void CTemplateClassesWnd::BroadcastRefresh() { GetConfig()->BroadcastAll(areamsg::kBeatPageRefresh, 0, 0); }

void CTemplateClassesWnd::MoveCursorRow(int row) {
  CZK470Doc* doc = GetDocument();
  const int old = doc->GetTemplateCursorRow();
  doc->SetTemplateCursorRow(row);
  GetConfig()->BroadcastUntilHandled(areamsg::kTemplateTitleBar, static_cast<win::WParam>(old), 0);
  GetConfig()->BroadcastUntilHandled(areamsg::kTemplateTitleBar, static_cast<win::WParam>(row), 0);
}

void CTemplateClassesWnd::SelectSlot(int slot) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr || GetSlotFamily(slot) < 0 || GetSlotCount(slot) < 1) return;
  const int row = GetSlotRow(slot);
  doc->SetSelectedTemplateRow(row);
  MoveCursorRow(row);
  doc->SetDisplayMode(DisplayMode::kTemplateBeats);
  // The main view changes to the beat page under this window: nothing may follow.
  doc->UpdateAllViews(nullptr, hint::kArea1101);
}

void CTemplateClassesWnd::PreviousMember(int slot) { StepMember(slot, -1); }

void CTemplateClassesWnd::NextMember(int slot) { StepMember(slot, 1); }

void CTemplateClassesWnd::StepMember(int slot, int direction) {
  CZK470Doc* doc = GetDocument();
  const TTemplateClassEntry* entry = SlotEntry(slot);
  if (entry == nullptr) return;
  const TTemplateList* list = FindTemplateClass(*doc, entry->family, entry->class_index);
  int32_t* member = FindCurrentMember(*doc, entry->family, entry->class_index);
  if (list == nullptr || member == nullptr) return;
  if (direction < 0 && *member > 0) {
    --*member;
  } else if (direction > 0 && *member < list->GetSize() - 1) {
    ++*member;
  } else {
    return;
  }
  const int row = GetSlotRow(slot);
  if (row != doc->GetTemplateCursorRow()) MoveCursorRow(row);
  GetConfig()->GetRoot()->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(slot),
                                                0);
  doc->SetModifiedFlag();
}

void CTemplateClassesWnd::MoveToFamily(int family) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const int source_family = GetSlotFamily(context_slot_);
  if (source_family < 0 || (family == TTemplateClassEntry::kFamilyArtefact && source_family == family))
    return;
  doc->EnableUndo(1, doc->GetCurrentPosition());
  const int artefacts_before = FindTemplateClass(*doc, TTemplateClassEntry::kFamilyArtefact, 0)->GetSize();
  int moved_to = -1;
  {
    const WaitCursor wait;
    TBeatEditor editor(*doc, 1);
    moved_to = editor.MoveTemplateClass(source_family, GetSlotClass(context_slot_), family, -1);
  }
  if (moved_to < 0) return;
  int artefact_slot = -1;
  if (family == TTemplateClassEntry::kFamilyArtefact && artefacts_before > 0) {
    // The beats joined the artefact class that already has a row: that slot shows them.
    for (int slot = 0; slot < page_size_ && GetSlotRow(slot) >= 0; ++slot) {
      if (GetSlotFamily(slot) == TTemplateClassEntry::kFamilyArtefact) {
        artefact_slot = slot;
        break;
      }
    }
  } else {
    TTemplateClassEntry& row = doc->GetTemplateClassList()[static_cast<size_t>(GetSlotRow(context_slot_))];
    row.family = family;
    row.class_index = moved_to;
  }
  doc->UpdateTemplateClassCounts();
  CViewAreaConfig* root = GetConfig()->GetRoot();
  root->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(context_slot_), 0);
  if (artefact_slot >= 0)
    root->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(artefact_slot), 0);
  doc->SetModifiedFlag();
  doc->SetDerivedDataValid(0);
}

bool CTemplateClassesWnd::MoveSlotOntoSlot(int source, int target) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return false;
  const int source_family = GetSlotFamily(source);
  if (source_family < 0) return false;
  doc->EnableUndo(1, doc->GetCurrentPosition());
  const int target_family = GetSlotFamily(target);
  if (target_family < 0) return false;
  int result = -1;
  {
    const WaitCursor wait;
    const ManualEditFlag manual;
    TBeatEditor editor(*doc, 1);
    result =
        editor.MoveTemplateClass(source_family, GetSlotClass(source), target_family, GetSlotClass(target));
  }
  if (result < 0) return false;
  doc->UpdateTemplateClassCounts();
  CViewAreaConfig* root = GetConfig()->GetRoot();
  root->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(source), 0);
  root->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(target), 0);
  doc->SetModifiedFlag();
  doc->SetDerivedDataValid(0);
  return true;
}

void CTemplateClassesWnd::CompactAndSort() {
  const WaitCursor wait;
  TBeatEditor editor(*GetDocument(), 1);
  editor.CompactAndSortTemplateClasses();
}

void CTemplateClassesWnd::RebuildKeepingCursor() {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  std::vector<TTemplateClassEntry>& rows = doc->GetTemplateClassList();
  const int count = static_cast<int>(rows.size());
  if (count == 0) return;
  int cursor = std::clamp(doc->GetTemplateCursorRow(), 0, count - 1);
  const auto beats_of = [&rows](int row) { return rows[static_cast<size_t>(row)].count; };
  while (cursor < count - 1 && beats_of(cursor) == 0) ++cursor;
  while (cursor > 0 && beats_of(cursor) == 0) --cursor;
  int first_beat = -1;
  if (beats_of(cursor) > 0) {
    const TTemplateClassEntry entry = rows[static_cast<size_t>(cursor)];
    const TTemplateList* list = FindTemplateClass(*doc, entry.family, entry.class_index);
    if (list != nullptr && list->GetSize() > 0) first_beat = list->GetAt(0).GetBeatIndex();
  }
  CompactAndSort();
  doc->BuildTemplateClassList();
  for (int row = 0; row < static_cast<int>(doc->GetTemplateClassList().size()); ++row) {
    const TTemplateClassEntry entry = doc->GetTemplateClassList()[static_cast<size_t>(row)];
    const TTemplateList* list = FindTemplateClass(*doc, entry.family, entry.class_index);
    if (entry.count > 0 && list != nullptr && list->GetSize() > 0 &&
        list->GetAt(0).GetBeatIndex() == first_beat) {
      doc->SetTemplateCursorRow(row);
      int first = doc->GetFirstVisibleTemplateRow();
      while (row < first) first = std::max(first - kRowStep, 0);
      while (row >= first + page_size_) first += page_size_;
      doc->SetFirstVisibleTemplateRow(first);
      break;
    }
  }
  doc->EnableUndo(0, 0);
  BroadcastRefresh();
}

void CTemplateClassesWnd::OnReduceVESClasses() {
  CZK470Doc* doc = GetDocument();
  CTemplateReviewDialogs* dialogs = GetTemplateReviewDialogs();
  if (doc == nullptr || dialogs == nullptr) return;
  const TRecordingData& record = doc->GetRecordingData();
  int classes = 0;
  for (int c = 0; c < TRecordingData::kTemplateClasses; ++c) {
    if (c == record.ves_special[0] || c == record.ves_special[1]) continue;
    if (record.ves_classes[static_cast<size_t>(c)].GetSize() > 0) ++classes;
  }
  const std::optional<std::string> answer = dialogs->AskNumber(std::to_string(classes));
  if (!answer) return;
  CompactAndSort();
  analysis::ReduceTemplateClasses(*doc, std::atoi(answer->c_str()));
  doc->EnableUndo(0, 0);
  doc->BuildTemplateClassList();
  BroadcastRefresh();
}

win::LResult CTemplateClassesWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kMsgStepMember) {
    if (lparam != 0)
      NextMember(static_cast<int>(wparam));
    else
      PreviousMember(static_cast<int>(wparam));
    return 0;
  }
  return CAreaWnd::WindowProc(message, wparam, lparam);
}

bool CTemplateClassesWnd::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (win::IsContextMenuRequest(message, wparam)) {
    OnContextMenu(this, ClientToScreen(gfx::Point{5, 5}));
    return true;
  }
  return CAreaWnd::PreTranslateMessage(message, wparam, lparam);
}

void CTemplateClassesWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CTemplateClassesWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CTemplateClassesWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CTemplateClassesWnd::OnRButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kRightButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CTemplateClassesWnd::OnContextMenu(win::Window*, gfx::Point screen_point) {
  OpenTemplateClassMenu(*this, screen_point);
}

CTemplateClassesWnd* FindTemplateClassesWindow(const CViewAreaConfig* node) {
  for (const CViewAreaConfig* n = node; n != nullptr; n = n->GetParent()) {
    if (auto* area = dynamic_cast<CWindowArea*>(n->GetArea())) {
      if (auto* window = dynamic_cast<CTemplateClassesWnd*>(area->GetHostedWindow())) return window;
    }
  }
  return nullptr;
}
