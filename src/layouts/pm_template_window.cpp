#include "layouts/pm_template_window.h"

#include <algorithm>
#include <array>

#include "analysis/editing/beat_editor.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "win/menu.h"
#include "win/popup_menu.h"
#include "win/toolbar_window.h"

namespace {

constexpr std::array<SettingKey, 13> kClassNameKeys = {
    SettingKey::kPM1A, SettingKey::kPM1B, SettingKey::kPM2A, SettingKey::kPM2B, SettingKey::kPM2C,
    SettingKey::kPM3A, SettingKey::kPM3B, SettingKey::kPM4A, SettingKey::kPM4B, SettingKey::kPM4C,
    SettingKey::kPM5A, SettingKey::kPM5B, SettingKey::kPM6};

constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CPMTemplateWnd::kCmdPageBack, "<<"},      {CPMTemplateWnd::kCmdStepBack, "<"},
    {CPMTemplateWnd::kCmdStepForward, ">"},    {CPMTemplateWnd::kCmdPageForward, ">>"},
    {CPMTemplateWnd::kCmdSpeedDown, "S-"},     {CPMTemplateWnd::kCmdSpeedUp, "S+"},
    {CPMTemplateWnd::kCmdAmplitudeDown, "A-"}, {CPMTemplateWnd::kCmdAmplitudeUp, "A+"},
    {CPMTemplateWnd::kCmdDistanceDown, "D-"},  {CPMTemplateWnd::kCmdDistanceUp, "D+"},
};

}  // namespace

CPMTemplateWindowConfig::~CPMTemplateWindowConfig() = default;

std::unique_ptr<CAreaWnd> CPMTemplateWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CPMTemplateWnd>(this, document);
}

CPMTemplateWnd::CPMTemplateWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  AddCommands();
  TakeKeysOnClick();
}

CPMTemplateWnd::~CPMTemplateWnd() = default;

void CPMTemplateWnd::AddCommands() {
  const auto can_forward = [this](win::CmdUI& ui) { ui.Enable(FirstVisibleRow() + kPageRows < RowCount()); };
  const auto can_back = [this](win::CmdUI& ui) { ui.Enable(FirstVisibleRow() > 0); };
  AddCommand(kCmdPageForward, [this] { MoveFirstRow(kPageRows); });
  AddCommand(kCmdPageBack, [this] { MoveFirstRow(-kPageRows); });
  AddCommand(kCmdStepForward, [this] { MoveFirstRow(4); });
  AddCommand(kCmdStepBack, [this] { MoveFirstRow(-4); });
  AddUpdate(kCmdPageForward, can_forward);
  AddUpdate(kCmdStepForward, can_forward);
  AddUpdate(kCmdPageBack, can_back);
  AddUpdate(kCmdStepBack, can_back);

  struct Step {
    int id;
    int delta;
    int high;
  };
  for (const Step step :
       {Step{kCmdSpeedUp, 1, 2}, Step{kCmdSpeedDown, -1, 2}, Step{kCmdAmplitudeUp, 1, 3},
        Step{kCmdAmplitudeDown, -1, 3}, Step{kCmdDistanceUp, 1, 4}, Step{kCmdDistanceDown, -1, 4}}) {
    AddCommand(step.id, [this, step] { StepSetting(step.id, step.delta, step.high); });
    AddUpdate(step.id, [this, step](win::CmdUI& ui) {
      const int index = step.id == kCmdSpeedUp || step.id == kCmdSpeedDown           ? SpeedIndex()
                        : step.id == kCmdAmplitudeUp || step.id == kCmdAmplitudeDown ? AmplitudeIndex()
                                                                                     : DistanceIndex();
      ui.Enable(step.delta > 0 ? index < step.high : index > 0);
    });
  }

  for (int k = 0; k < kMenuClasses; ++k) {
    AddCommand(kCmdMoveFirst + k, [this, k] {
      const int member = GetCurrentMember(context_row_, false);
      if (member < 0) return;
      if (MovePMTemplateToClass(context_row_, member, k)) RefreshAreas();
    });
    AddCommand(kCmdMergeFirst + k, [this, k] {
      if (MergeRows(context_row_, k, true)) RefreshAreas();
    });
    const auto name = [this, k](win::CmdUI& ui) {
      ui.Enable(true);
      if (k <= 12 && GetDocument() != nullptr) ui.SetText(ClassName(*GetDocument(), k));
    };
    AddUpdate(kCmdMoveFirst + k, name);
    AddUpdate(kCmdMergeFirst + k, name);
  }
}

void CPMTemplateWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  drop_row_ = 0;
  context_row_ = 0;
}

std::unique_ptr<win::Window> CPMTemplateWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                           int* dock_bar) {
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  for (const auto& button : kToolBarTexts)
    bar->Model().AddButton(button.id, -1, win::ToolButtonStyle::kButton, {});
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText(platform::LoadString(kToolBarTitleString));
  bar->UpdateButtons();
  return bar;
}

int CPMTemplateWnd::RowCount() const {
  return GetDocument() == nullptr ? 0 : static_cast<int>(GetDocument()->GetPMTemplateClassList().size());
}

int CPMTemplateWnd::FirstVisibleRow() const {
  return GetDocument() == nullptr ? 0 : GetDocument()->GetPMRowState()[0];
}

int CPMTemplateWnd::SelectedRow() const {
  return GetDocument() == nullptr ? 0 : GetDocument()->GetPMRowState()[1];
}

const TPMTemplateClassEntry* CPMTemplateWnd::RowEntry(int row) const {
  if (GetDocument() == nullptr || row < 0) return nullptr;
  const std::vector<TPMTemplateClassEntry>& rows = GetDocument()->GetPMTemplateClassList();
  const int absolute = FirstVisibleRow() + row;
  if (absolute < 0 || absolute >= static_cast<int>(rows.size())) return nullptr;
  return &rows[static_cast<size_t>(absolute)];
}

int CPMTemplateWnd::ClassOfRow(int absolute_row) const {
  const std::vector<TPMTemplateClassEntry>& rows = GetDocument()->GetPMTemplateClassList();
  if (absolute_row < 0 || absolute_row >= static_cast<int>(rows.size())) return -1;
  const int pm_class = rows[static_cast<size_t>(absolute_row)].class_index;
  return pm_class >= 0 && pm_class < TRecordingData::kPMClasses ? pm_class : -1;
}

int CPMTemplateWnd::GetCurrentMember(int row, bool want_position) const {
  const TPMTemplateClassEntry* entry = RowEntry(row);
  if (entry == nullptr || entry->kind == -1) return -1;
  if (entry->class_index < 0 || entry->class_index >= TRecordingData::kPMClasses) return -1;
  const TRecordingData& record = GetDocument()->GetRecordingData();
  const size_t c = static_cast<size_t>(entry->class_index);
  const TPMTemplateList& members = record.pm_classes[c];
  if (members.GetSize() == 0) return -1;
  const int member = std::clamp(record.pm_current[c], 0, members.GetSize() - 1);
  return want_position ? members.GetAt(member).GetPosition() : member;
}

void CPMTemplateWnd::StepMember(int row, int direction) {
  const TPMTemplateClassEntry* entry = RowEntry(row);
  if (entry == nullptr || entry->class_index < 0 || entry->class_index >= TRecordingData::kPMClasses) return;
  CZK470Doc* doc = GetDocument();
  TRecordingData& record = doc->GetRecordingData();
  const size_t c = static_cast<size_t>(entry->class_index);
  const int count = record.pm_classes[c].GetSize();
  int32_t& current = record.pm_current[c];
  if (direction == 0 && current > 0) {
    --current;
  } else if (direction == 1 && current < count - 1) {
    ++current;
  } else {
    return;
  }
  SelectRow(row);
  GetConfig()->GetRoot()->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(row), 0);
  doc->SetModifiedFlag();
  const int position = GetCurrentMember(row, true);
  if (position >= 0)
    doc->SetCurrentPosition(static_cast<int32_t>(position / doc->GetSampleRate() * 1000.0), 0);
}

void CPMTemplateWnd::SelectRow(int row) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const int absolute = FirstVisibleRow() + row;
  std::array<int32_t, 3>& state = doc->GetPMRowState();
  if (absolute == state[1] || absolute < 0 || absolute >= RowCount()) return;
  const int old = state[1];
  state[1] = absolute;
  CViewAreaConfig* root = GetConfig()->GetRoot();
  root->BroadcastUntilHandled(areamsg::kTemplateTitleBar, static_cast<win::WParam>(old), 0);
  root->BroadcastUntilHandled(areamsg::kTemplateTitleBar, static_cast<win::WParam>(absolute), 0);
}

bool CPMTemplateWnd::MovePMTemplateToClass(int row, int member, int k) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr || member < 0) return false;
  // k names a pacemaker class, not a row of this page: a class beyond the rows shown is a fine
  // target.
  if (k < 0 || k >= TRecordingData::kPMClasses) return false;
  const int source = ClassOfRow(FirstVisibleRow() + row);
  if (source < 0) return false;
  win::Windows().BeginWaitCursor();
  TBeatEditor editor(*doc, 1);
  const int result = editor.MovePMTemplate(source, member, k);
  win::Windows().EndWaitCursor();
  if (result < 0) return false;
  doc->BuildPMTemplateClassList();
  doc->SetModifiedFlag();
  doc->SetDerivedDataValid(0);
  return true;
}

bool CPMTemplateWnd::MergeRows(int row, int target, bool target_is_class) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return false;
  const int source = ClassOfRow(FirstVisibleRow() + row);
  if (source < 0) return false;
  int target_class = -1;
  if (target_is_class) {
    if (target >= 0 && target < TRecordingData::kPMClasses) target_class = target;
  } else {
    target_class = ClassOfRow(FirstVisibleRow() + target);
  }
  if (target_class < 0) return false;
  win::Windows().BeginWaitCursor();
  TBeatEditor editor(*doc, 1);
  const int result = editor.MovePMClass(source, target_class);
  win::Windows().EndWaitCursor();
  if (result < 0) return false;
  if (target_is_class) {
    doc->BuildPMTemplateClassList();
  } else {
    doc->UpdatePMTemplateClassCounts();
    CViewAreaConfig* root = GetConfig()->GetRoot();
    root->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(row), 0);
    root->BroadcastUntilHandled(areamsg::kTemplateSlotRect, static_cast<win::WParam>(target), 0);
  }
  doc->SetModifiedFlag();
  doc->SetDerivedDataValid(0);
  return true;
}

int CPMTemplateWnd::SpeedIndex() const {
  return GetDocument() == nullptr
             ? 1
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kResPMSpeed), 0, 2);
}

int CPMTemplateWnd::AmplitudeIndex() const {
  return GetDocument() == nullptr
             ? 1
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kResPMAmplitude), 0, 3);
}

int CPMTemplateWnd::DistanceIndex() const {
  return GetDocument() == nullptr
             ? 2
             : std::clamp(GetDocument()->GetSettings().Int(SettingKey::kPMDistance), 0, 4);
}

std::string CPMTemplateWnd::ClassName(const CZK470Doc& document, int pm_class) {
  if (pm_class >= 0 && pm_class <= 12)
    return document.GetSettings().Text(kClassNameKeys[static_cast<size_t>(pm_class)]);
  if (pm_class == 13) return platform::LoadString(kClassName13String);
  if (pm_class == 14) return platform::LoadString(kClassName14String);
  return {};
}

void CPMTemplateWnd::MoveFirstRow(int delta) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  int32_t& first = doc->GetPMRowState()[0];
  first = std::clamp(first + delta, 0, kMaxFirstRow);
  RefreshAreas();
}

void CPMTemplateWnd::StepSetting(int id, int delta, int high) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const SettingKey key = id == kCmdSpeedUp || id == kCmdSpeedDown           ? SettingKey::kResPMSpeed
                         : id == kCmdAmplitudeUp || id == kCmdAmplitudeDown ? SettingKey::kResPMAmplitude
                                                                            : SettingKey::kPMDistance;
  const int value = doc->GetSettings().Int(key);
  if (delta > 0 ? value >= high : value <= 0) return;
  doc->GetSettings().SetInt(key, value + delta);
  GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
}

void CPMTemplateWnd::RefreshAreas() { GetConfig()->BroadcastAll(areamsg::kBeatPageRefresh, 0, 0); }

win::LResult CPMTemplateWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kMsgStepMember) {
    StepMember(static_cast<int>(wparam), static_cast<int>(lparam));
    return 0;
  }
  return CAreaWnd::WindowProc(message, wparam, lparam);
}

bool CPMTemplateWnd::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (win::IsContextMenuRequest(message, wparam)) {
    const gfx::Point corner = ClientToScreen(gfx::Point{5, 5});
    OnContextMenu(this, corner);
    return true;
  }
  return CAreaWnd::PreTranslateMessage(message, wparam, lparam);
}

void CPMTemplateWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CPMTemplateWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CPMTemplateWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CPMTemplateWnd::OnRButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kRightButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CPMTemplateWnd::OnContextMenu(win::Window*, gfx::Point screen_point) {
  // Texts come from the update pass: the class names as they stand.
  win::Menu menu;
  win::Menu& move = menu.AppendPopup("Move member to");
  win::Menu& merge = menu.AppendPopup("Merge class into");
  for (int k = 0; k < kMenuClasses; ++k) {
    const std::string name = GetDocument() != nullptr ? ClassName(*GetDocument(), k) : std::string{};
    move.AppendItem(kCmdMoveFirst + k, name);
    merge.AppendItem(kCmdMergeFirst + k, name);
  }
  win::Window* owner = this;
  while (owner->IsChild() && owner->GetParent() != nullptr) owner = owner->GetParent();
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y, *owner,
                      this);
}

CPMTemplateWnd* FindPMTemplateWindow(const CViewAreaConfig* node) {
  for (const CViewAreaConfig* n = node; n != nullptr; n = n->GetParent()) {
    if (auto* area = dynamic_cast<CWindowArea*>(n->GetArea())) {
      if (auto* window = dynamic_cast<CPMTemplateWnd*>(area->GetHostedWindow())) return window;
    }
  }
  return nullptr;
}
