#include "layouts/beat_page_window.h"

#include <string>

#include "document/beat_class.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/beat_edit_request.h"
#include "views/hit_record.h"
#include "views/view_resources.h"
#include "win/popup_menu.h"
#include "win/toolbar_window.h"

namespace {

// Shift+F10 opens the context menu this far inside the client area's top-left corner.
constexpr int kKeyboardMenuInset = 5;

// Toolbar 1028 has no pictures of its own: each button shows a short text.
constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CBeatPageWnd::kCmdTemplateClasses, "^"}, {CBeatPageWnd::kCmdPageBack, "<<"},
    {CBeatPageWnd::kCmdPageForward, ">>"},    {CBeatPageWnd::kCmdSpeedDown, "S-"},
    {CBeatPageWnd::kCmdSpeedUp, "S+"},        {CBeatPageWnd::kCmdAmplitudeUp, "A+"},
    {CBeatPageWnd::kCmdAmplitudeDown, "A-"},  {CBeatPageWnd::kCmdDistanceUp, "D+"},
    {CBeatPageWnd::kCmdDistanceDown, "D-"},
};

// The toolbar's buttons in order; 0 is a separator.
constexpr int kToolBarButtons[] = {
    CBeatPageWnd::kCmdTemplateClasses, 0, CBeatPageWnd::kCmdPageBack,
    CBeatPageWnd::kCmdPageForward,     0, CBeatPageWnd::kCmdSpeedDown,
    CBeatPageWnd::kCmdSpeedUp,         0, CBeatPageWnd::kCmdAmplitudeUp,
    CBeatPageWnd::kCmdAmplitudeDown,   0, CBeatPageWnd::kCmdDistanceUp,
    CBeatPageWnd::kCmdDistanceDown,
};

struct MenuEntry {
  int id;  // 0: separator
  const char* english;
  const char* german;
};

// Sub-menu 0 of menu 208; the n-th entry (separators not counted) takes string kMenuTextFirst + n.
constexpr MenuEntry kContextMenu[] = {
    {CBeatPageWnd::kCmdNormal, "&Normal", "&Normal"},
    {CBeatPageWnd::kCmdSVES, "&SVES", "&SVES"},
    {CBeatPageWnd::kCmdVES, "&VES", "&VES"},
    {CBeatPageWnd::kCmdArtefact, "&Artefact", "&Artefakt"},
    {0, nullptr, nullptr},
    {CBeatPageWnd::kCmdDeleteBeat, "&Delete beat", "Schlag &löschen"},
    {0, nullptr, nullptr},
    {CBeatPageWnd::kCmdPreviousBeat, "&Previous beat", "&Vorheriger Schlag"},
    {CBeatPageWnd::kCmdNextBeat, "Ne&xt beat", "N&ächster Schlag"},
    {0, nullptr, nullptr},
    {CBeatPageWnd::kCmdTemplateClasses, "&Template classes", "&Templateklassen"},
};

// A pack without the menu's strings still gives a usable menu.
std::string TextOrFallback(int string_id, const char* english) {
  std::string text = platform::LoadString(string_id);
  return text.empty() ? std::string(english) : text;
}

SettingKey SettingOf(int command) {
  switch (command) {
    case CBeatPageWnd::kCmdSpeedDown:
    case CBeatPageWnd::kCmdSpeedUp:
      return SettingKey::kResDetailsSpeed;
    case CBeatPageWnd::kCmdAmplitudeUp:
    case CBeatPageWnd::kCmdAmplitudeDown:
      return SettingKey::kResDetailsAmplitude;
    default:
      return SettingKey::kTemplatesDetailsDistance;
  }
}

}  // namespace

CBeatPageWindowConfig::~CBeatPageWindowConfig() = default;

std::unique_ptr<CAreaWnd> CBeatPageWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CBeatPageWnd>(this, document);
}

CBeatPageWnd::CBeatPageWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  RegisterCommands();
  TakeKeysOnClick();
}

CBeatPageWnd::~CBeatPageWnd() = default;

int CBeatPageWnd::Ask(uint32_t message, int initial) {
  int value = initial;
  GetConfig()->BroadcastUntilHandled(message, 0, reinterpret_cast<win::LParam>(&value));
  return value;
}

void CBeatPageWnd::RegisterCommands() {
  AddCommand(kCmdTemplateClasses, [this] {
    CZK470Doc* doc = GetDocument();
    doc->ScrollTemplateClassIntoView();
    doc->SetDisplayMode(DisplayMode::kTemplateClasses);
    // The main view changes the layout under this window: nothing may follow.
    doc->UpdateAllViews(nullptr, hint::kDisplayModeChanged);
  });
  AddUpdate(kCmdTemplateClasses, [](win::CmdUI& ui) { ui.Enable(true); });

  AddCommand(kCmdPageBack, [this] {
    if (first_row_ > 0) MoveFirstRow(-Ask(areamsg::kBeatPageRows, 5));
  });
  AddUpdate(kCmdPageBack, [this](win::CmdUI& ui) { ui.Enable(first_row_ > 0); });
  AddCommand(kCmdPageForward, [this] {
    if (Ask(areamsg::kBeatPageHasNext, 0) != 0) MoveFirstRow(Ask(areamsg::kBeatPageRows, 5));
  });
  AddUpdate(kCmdPageForward, [this](win::CmdUI& ui) { ui.Enable(Ask(areamsg::kBeatPageHasNext, 0) != 0); });

  struct Step {
    int id;
    int delta;
    int high;
  };
  for (const Step step :
       {Step{kCmdSpeedDown, -1, kMaxSpeedIndex}, Step{kCmdSpeedUp, 1, kMaxSpeedIndex},
        Step{kCmdAmplitudeUp, 1, kMaxAmplitudeIndex}, Step{kCmdAmplitudeDown, -1, kMaxAmplitudeIndex},
        Step{kCmdDistanceUp, 1, kMaxDistanceIndex}, Step{kCmdDistanceDown, -1, kMaxDistanceIndex}}) {
    AddCommand(step.id, [this, step] { StepSetting(step.id, step.delta); });
    AddUpdate(step.id, [this, step](win::CmdUI& ui) {
      const int index = GetDocument()->GetSettings().Int(SettingOf(step.id));
      ui.Enable(step.delta > 0 ? index < step.high : index > 0);
    });
  }

  struct Relabel {
    int id;
    int beat_class;
    int edit_command;
  };
  for (const Relabel relabel :
       {Relabel{kCmdNormal, kClassNormal, 32845}, Relabel{kCmdVES, kClassVES, 32846},
        Relabel{kCmdSVES, kClassSVES, 32847}, Relabel{kCmdArtefact, kClassArtefact, 32848}}) {
    AddCommand(relabel.id, [this, relabel] { RelabelSelection(relabel.beat_class, relabel.edit_command); });
    AddUpdate(relabel.id, [this, relabel](win::CmdUI& ui) {
      ui.Enable(true);
      ui.SetRadio(Ask(areamsg::kBeatPageCursorClass, -1) == relabel.beat_class);
    });
  }

  AddCommand(kCmdPreviousBeat, [this] { GetConfig()->BroadcastAll(kMsgPreviousBeat, 0, 0); });
  AddCommand(kCmdNextBeat, [this] { GetConfig()->BroadcastAll(kMsgNextBeat, 0, 0); });
  // The entries stay as the route found them.
  AddUpdate(kCmdPreviousBeat, [](win::CmdUI&) {});
  AddUpdate(kCmdNextBeat, [](win::CmdUI&) {});

  AddCommand(kCmdDeleteBeat,
             [this] { GetConfig()->GetRoot()->BroadcastAll(areamsg::kDeleteBeatAtCursor, 0, 0); });
  AddUpdate(kCmdDeleteBeat,
            [this](win::CmdUI& ui) { ui.Enable(Ask(areamsg::kBeatPageSelectionCount, 0) == 1); });
}

void CBeatPageWnd::MoveFirstRow(int rows) {
  first_row_ += rows;
  GetConfig()->BroadcastAll(areamsg::kBeatPageRefresh, 0, 0);
}

void CBeatPageWnd::StepSetting(int command, int delta) {
  SettingsStore& settings = GetDocument()->GetSettings();
  const SettingKey key = SettingOf(command);
  const int high = key == SettingKey::kTemplatesDetailsDistance ? kMaxDistanceIndex : kMaxSpeedIndex;
  const int value = settings.Int(key);
  if (delta > 0 ? value >= high : value <= 0) return;
  settings.SetInt(key, value + delta);
  GetConfig()->BroadcastAll(static_cast<uint32_t>(command), 0, 0);
}

void CBeatPageWnd::RelabelSelection(int beat_class, int edit_command) {
  CZK470Doc* doc = GetDocument();
  if (Ask(areamsg::kBeatPageCursorClass, -1) == beat_class) return;
  CBeatEditSink* sink = GetBeatEditSink();
  if (sink == nullptr) return;
  std::vector<CHitRecord> records;
  GetConfig()->BroadcastUntilHandled(kMsgSelectionRecords, 0, reinterpret_cast<win::LParam>(&records));
  const win::WindowHandle handle = Handle();
  for (size_t i = 0; i < records.size(); ++i) {
    const CHitRecord& record = records[i];
    if (record.position < 0) continue;
    TBeatEditRequest request;
    request.window = static_cast<int32_t>(handle);
    request.x = 0;
    request.y = 0;
    request.off_beat = CHitRecord::kBeat;
    request.position = record.position;
    request.beat_index = record.index;
    request.key_flags = 0;
    request.direct = 1;
    request.command = edit_command;
    request.not_in_selected_class = doc->IsBeatInSelectedTemplateClass(record.index) ? 0 : 1;
    request.beat_class = -1;
    sink->ExecuteCommand(*doc, request);
    // The engine may have changed the screen under this window.
    if (win::Window::FromHandle(handle) != this) return;
    int renew[2] = {record.index, static_cast<int>(i)};
    GetConfig()->BroadcastUntilHandled(areamsg::kBeatPageRenewEntry, 0, reinterpret_cast<win::LParam>(renew));
  }
  GetConfig()->BroadcastUntilHandled(areamsg::kBeatPageSelectEntry, 0, 0);
}

void CBeatPageWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  const int pending = GetDocument()->GetViewFields().pending_beat_in_class;
  if (pending == -1) return;
  const int rows = Ask(areamsg::kBeatPageRows, 0);
  const int columns = Ask(areamsg::kBeatPageColumns, 0);
  if (rows <= 0 || columns <= 0) return;
  while (pending >= columns * (first_row_ + rows)) first_row_ += rows;
}

std::unique_ptr<win::Window> CBeatPageWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                         int* dock_bar) {
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  win::ToolBarModel& model = bar->Model();
  for (const int id : kToolBarButtons) {
    if (id == 0)
      model.AddSeparator();
    else
      model.AddButton(id, -1, win::ToolButtonStyle::kButton, ToolTipOfCommand(id));
  }
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText(platform::LoadString(kToolBarTitleString));
  bar->UpdateButtons();
  return bar;
}

bool CBeatPageWnd::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (!win::IsContextMenuRequest(message, wparam))
    return CAreaWnd::PreTranslateMessage(message, wparam, lparam);
  OnContextMenu(this, ClientToScreen(gfx::Point{kKeyboardMenuInset, kKeyboardMenuInset}));
  return true;
}

void CBeatPageWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CBeatPageWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnMouseMove(flags, point);
}

void CBeatPageWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonUp(flags, point);
}

void CBeatPageWnd::OnRButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kRightButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnRButtonDown(flags, point);
}

void CBeatPageWnd::OnRButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kRightButtonUp, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnRButtonUp(flags, point);
}

win::Menu CBeatPageWnd::BuildContextMenu() {
  win::Menu menu;
  int text_id = kMenuTextFirst;
  for (const MenuEntry& entry : kContextMenu) {
    if (entry.id == 0)
      menu.AppendSeparator();
    else
      menu.AppendItem(entry.id, TextOrFallback(text_id++, entry.english));
  }
  return menu;
}

std::vector<platform::StringEntry> CBeatPageWnd::ContextMenuStrings(bool german) {
  std::vector<platform::StringEntry> strings;
  int text_id = kMenuTextFirst;
  for (const MenuEntry& entry : kContextMenu) {
    if (entry.id != 0) strings.push_back({text_id++, german ? entry.german : entry.english});
  }
  return strings;
}

void CBeatPageWnd::OnContextMenu(win::Window*, gfx::Point screen_point) {
  // Owned by the nearest window that is not a child, so that its commands take the main route.
  win::Window* owner = this;
  while (owner->IsChild() && owner->GetParent() != nullptr) owner = owner->GetParent();
  const win::Menu menu = BuildContextMenu();
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y,
                      *owner);
}

CBeatPageWnd* FindBeatPageWindow(const CViewAreaConfig* node) {
  for (const CViewAreaConfig* n = node; n != nullptr; n = n->GetParent()) {
    if (auto* area = dynamic_cast<CWindowArea*>(n->GetArea())) {
      if (auto* window = dynamic_cast<CBeatPageWnd*>(area->GetHostedWindow())) return window;
    }
  }
  return nullptr;
}
