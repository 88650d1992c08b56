#include "core/main_frame.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/automation_dispatcher.h"
#include "core/core_ids.h"
#include "core/splash_window.h"
#include "core/tool_commands.h"
#include "core/zk470_app.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/system_metrics.h"

namespace {

namespace ids = core_ids;

std::string Format(const char* format, auto... args) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// The part of a string before its first line end.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The keys a mnemonic can be typed with.
bool IsMenuKey(int key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

}  // namespace

CMainFrame::CMainFrame(CZK470App& app)
    : app_(app),
      main_toolbar_(std::make_unique<CMainToolBar>()),
      time_span_toolbar_(std::make_unique<CTimeSpanToolBar>()),
      menu_bar_(*this, [this](int id) { return MenuImage(id); }) {
  // Commands of the frame: the narrative test, the tool commands and two commands kept enabled
  // without an action.
  AddCommand(cmd::kNarrativeTest, [this] { app_.RunNarrativeTest(); });
  AddToolCommands(
      {[this](int id, std::function<void()> handler) { AddCommand(id, std::move(handler)); },
       [this](int id, std::function<void(win::CmdUI&)> update) { AddUpdate(id, std::move(update)); }},
      this, [this] { return app_.GetDocument(); });
  AddUpdate(cmd::kNarrativeTest, [this](win::CmdUI& ui) {
    const CZK470Doc* doc = app_.GetDocument();
    const DisplayMode mode = doc != nullptr ? doc->GetDisplayMode() : DisplayMode::kNone;
    ui.Enable(mode != DisplayMode::kPdf && mode != DisplayMode::kOnlineEcg && app_.HasNarrativeTest());
  });
  AddCommand(cmd::kOptions, [] {});
  AddCommand(cmd::kNoAction32840, [] {});
  AddUpdate(cmd::kNoAction32840, [](win::CmdUI&) {});
}

CMainFrame::~CMainFrame() {
  // The bars and the view are children: their windows end with the frame's.
  DestroyWindow();
}

bool CMainFrame::LoadFrame(std::unique_ptr<win::View> view) {
  if (IsWindow()) return false;
  {
    platform::ScopedExeResources own;
    frame_title_ = FirstLine(platform::LoadString(ids::kIdsDocumentString));
  }
  if (std::optional<win::Menu> menu = LoadMenuResource(ids::kDocumentResource)) SetMenu(std::move(*menu));
  const gfx::Size screen = win::Windows().ScreenSize();
  const int width = std::clamp(screen.cx - 40, 640, 1200);
  const int height = std::clamp(screen.cy - 80, 480, 860);
  const int left = std::max(0, (screen.cx - width) / 2);
  const int top = std::max(0, (screen.cy - height) / 2);
  if (!Create(nullptr, {left, top, left + width, top + height}, win::kWsOverlapped | win::kWsCaption | win::kWsSysMenu,
              0, frame_title_)) {
    return false;
  }
  // The dock row beside the toolbars shows the face colour, as the framework's dock bars do.
  SetBackground(win::GetSysColor(win::SysColor::kBtnFace));
  view_ = std::move(view);
  if (view_ != nullptr) {
    if (!view_->Create(this, {0, 0, 10, 10}, win::kWsChild | win::kWsVisible, ids::kMainViewId)) {
      DestroyWindow();
      return false;
    }
    SetActiveView(view_.get());
  }
  RecalcLayout();
  OnIdleUpdate();
  SetTimer(kIdleTimerId, kIdleUpdateMs);
  return true;
}

int CMainFrame::OnCreate() {
  {
    // Toolbars, the status bar and the menu images are the program's own resources.
    platform::ScopedExeResources own;
    const int width = GetClientRect().Width();
    const int bars_top = MenuBarWnd::kHeight;
    (void)main_toolbar_->CreateBar(*this, {0, bars_top, 300, bars_top + ToolBarWnd::kBarHeight});
    main_toolbar_->SetDropDownHandler([this](int id, const gfx::Rect& r) { OnToolbarDropDown(id, r); });
    (void)time_span_toolbar_->CreateBar(*this, {300, bars_top, 450, bars_top + ToolBarWnd::kBarHeight});
    const int height = GetClientRect().Height();
    if (!status_bar_.Create(*this, {0, height - CStatusBar::kHeight, width, height}, ids::kStatusBarId) ||
        !status_bar_.SetIndicators({ids::kIndicatorSeparator, ids::kIndicatorViewChannels, ids::kIndicatorChannels,
                                    ids::kIndicatorEngine, ids::kIndicatorCaps, ids::kIndicatorNum,
                                    ids::kIndicatorScroll})) {
      return -1;
    }
    menu_bar_.Create({0, 0, width, MenuBarWnd::kHeight});
    menu_bar_.SetPreparePopup([this](win::Menu& menu) { UpdateRecentFileMenu(menu); });
    menu_bar_.SetCommandRoute(&main_menu_route_, [this](int id) {
      PostMessage(ids::kMsgMainMenuCommand, static_cast<win::WParam>(id), 0);
    });
    for (const ToolbarButtonTemplate& image : FindToolbarResource(ids::kDocumentResource)) {
      menu_images_[image.id] = image.glyph;
    }
  }
  status_bar_.SetPaneText(kPaneMessage, platform::LoadString(ids::kIdsReady));
  if (main_toolbar_->IsWindow()) AddToolBar(main_toolbar_->Model());
  if (time_span_toolbar_->IsWindow()) AddToolBar(time_span_toolbar_->Model());
  CSplashWindow::ShowSplash(this);
  return 0;
}

void CMainFrame::OnDestroy() {
  KillTimer(kIdleTimerId);
  if (win::Windows().MainWindow() == this) {
    win::Windows().SetMainWindow(nullptr);
    if (!win::Windows().QuitRequested()) win::Windows().PostQuitMessage(0);
  }
}

void CMainFrame::RecalcLayout() {
  const gfx::Rect client = GetClientRect();
  int top = 0;
  if (menu_bar_.IsWindow()) {
    menu_bar_.MoveWindow({0, 0, client.right, MenuBarWnd::kHeight});
    top = MenuBarWnd::kHeight;
  }
  int x = 0;
  int bars_bottom = top;
  for (ToolBarWnd* bar : {static_cast<ToolBarWnd*>(main_toolbar_.get()), static_cast<ToolBarWnd*>(time_span_toolbar_.get())}) {
    if (bar == nullptr || !bar->IsWindow()) continue;
    const int width = bar->NeededWidth();
    bar->MoveWindow({x, top, x + width, top + ToolBarWnd::kBarHeight});
    x += width;
    bars_bottom = top + ToolBarWnd::kBarHeight;
  }
  int bottom = client.bottom;
  if (status_bar_.IsWindow()) {
    status_bar_.MoveWindow({0, client.bottom - CStatusBar::kHeight, client.right, client.bottom});
    bottom -= CStatusBar::kHeight;
  }
  if (view_ != nullptr && view_->IsWindow()) view_->MoveWindow({0, bars_bottom, client.right, std::max(bars_bottom, bottom)});
  Invalidate();
}

void CMainFrame::OnSize(int, int, int) { RecalcLayout(); }

void CMainFrame::OnTimer(uintptr_t id) {
  if (id == kIdleTimerId) OnIdleUpdate();
}

void CMainFrame::OnIdleUpdate() {
  UpdateToolBars();
  UpdateKeyIndicators();
  if (main_toolbar_ != nullptr && main_toolbar_->IsWindow()) main_toolbar_->Refresh();
  if (time_span_toolbar_ != nullptr && time_span_toolbar_->IsWindow()) {
    const win::CmdUI span = win::UpdateCommand(*this, cmd::kTimeSpan, false);
    // The combo follows the view's update handler of 33312; without one it offers its spans.
    const bool enable = span.Enabled().value_or(CTimeSpanToolBar::HasSpanChoice());
    if (time_span_toolbar_->Combo().IsWindowEnabled() != enable) time_span_toolbar_->Combo().EnableWindow(enable);
  }
  OnUpdateFrameTitle();
}

void CMainFrame::UpdateKeyIndicators() {
  if (!status_bar_.IsWindow()) return;
  constexpr struct {
    int indicator;
    int key;
  } kLocks[] = {{ids::kIndicatorCaps, win::kVkCapital},
                {ids::kIndicatorNum, win::kVkNumLock},
                {ids::kIndicatorScroll, win::kVkScroll}};
  for (const auto& lock : kLocks) {
    const int pane = status_bar_.CommandToIndex(lock.indicator);
    if (pane < 0) continue;
    const bool on = win::Windows().IsKeyToggled(lock.key);
    status_bar_.SetPaneText(static_cast<size_t>(pane), on ? platform::LoadString(lock.indicator) : "");
  }
}

void CMainFrame::SetMessageText(int id) {
  std::string text;
  if (id == ids::kIdsReady) {
    text = platform::LoadString(ids::kIdsReady);
  } else if (id != 0) {
    text = FirstLine(platform::LoadString(id));
  }
  status_bar_.SetPaneText(kPaneMessage, std::move(text));
}

void CMainFrame::OnMenuSelect(int id, int flags) {
  if (flags == win::kMfMenuClosed) {
    SetMessageText(ids::kIdsReady);
  } else if (id == 0 || (flags & (win::kMfPopup | win::kMfSeparator)) != 0) {
    SetMessageText(0);
  } else {
    SetMessageText(id);
  }
}

void CMainFrame::OnDropFiles(const win::DropFiles& drop) {
  if (drop.paths.empty()) return;
  win::Windows().SetActiveWindow(this);
  if (win::Host* host = win::Windows().HostOf(*this)) host->BringToForeground(*this);
  (void)app_.OpenChosenFile(drop.paths.front());
}

void CMainFrame::OnUpdateFrameTitle() {
  const CZK470Doc* doc = app_.GetDocument();
  std::string caption = frame_title_;
  if (doc != nullptr && !doc->GetTitle().empty()) caption += " - " + doc->GetTitle();
  if (GetWindowText() != caption) SetWindowText(caption);
}

bool CMainFrame::OnCommand(win::WParam wparam, win::LParam lparam) {
  const bool handled = FrameWindow::OnCommand(wparam, lparam);
  if (IsWindow()) OnIdleUpdate();
  return handled;
}

bool CMainFrame::RouteMenuCommand(win::CommandMessage& message) {
  win::View* view = GetActiveView();
  // The base view's route: its own handlers and the document, none of its hosted windows.
  if (view != nullptr && view->IsWindow() && view->win::View::OnCmdMsg(message)) return true;
  if (HandleOwnCommand(message)) return true;
  win::CommandTarget* app = win::Windows().AppCommandTarget();
  if (app != nullptr && app->OnCmdMsg(message)) return true;
  return OnCmdMsg(message);
}

win::LResult CMainFrame::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  switch (message) {
    case ids::kMsgMainMenuCommand:
      (void)win::ExecuteCommand(main_menu_route_, static_cast<int>(wparam));
      if (IsWindow()) OnIdleUpdate();
      return 0;
    case msg::kStartupCommand:
      OnStartupCommand();
      return 0;
    case msg::kStatusRefresh:
      OnRefreshStatusPanes();
      return 0;
    case win::kWmActivate:
      // Another program took the keyboard: an Alt released there, or a lit menu, is not ours.
      if (wparam == 0) {
        alt_alone_ = false;
        menu_bar_.LeaveKeyboardMode();
      }
      return FrameWindow::WindowProc(message, wparam, lparam);
    case win::kWmSetMessageString:
      SetMessageText(static_cast<int>(wparam));
      return 0;
    case win::kWmMenuSelect:
      OnMenuSelect(win::LoWord(wparam), win::HiWord(wparam));
      return 0;
    default:
      return FrameWindow::WindowProc(message, wparam, lparam);
  }
}

bool CMainFrame::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam) {
  if (message < win::kWmKeyDown || message > win::kWmSysKeyUp || !IsWindowEnabled()) return false;
  const int key = static_cast<int>(wparam);
  const bool key_down = message == win::kWmKeyDown || message == win::kWmSysKeyDown;
  if (menu_bar_.InKeyboardMode()) {
    const bool taken = menu_bar_.HandleKey(message, key);
    // The character of a key the menu took must not reach the view once the menu is gone.
    if (taken && key_down) swallow_char_ = true;
    return taken;
  }
  if (message == win::kWmChar && swallow_char_) {
    swallow_char_ = false;
    return true;
  }
  if (key_down) swallow_char_ = false;
  const win::WindowSystem& windows = win::Windows();
  const bool with_modifier = windows.IsKeyDown(win::kVkShift) || windows.IsKeyDown(win::kVkControl);
  if (message == win::kWmSysKeyUp && key == win::kVkMenu) {
    const bool alone = alt_alone_;
    alt_alone_ = false;
    if (!alone) return false;
    menu_bar_.EnterKeyboardMode(0);
    return true;
  }
  if (message == win::kWmSysKeyDown || message == win::kWmKeyDown) {
    if (key == win::kVkMenu) {
      alt_alone_ = message == win::kWmSysKeyDown;
      return false;
    }
    alt_alone_ = false;
    if (key == win::kVkF10 && !with_modifier) {
      menu_bar_.EnterKeyboardMode(0);
      swallow_char_ = true;
      return true;
    }
    if (message == win::kWmSysKeyDown && IsMenuKey(key)) {
      const int title = menu_bar_.FindTitle(key);
      if (title < 0) {
        win::Windows().MessageBeep();
      } else {
        menu_bar_.OpenPopupFromKeyboard(static_cast<size_t>(title));
      }
      swallow_char_ = true;
      return true;
    }
  }
  if (message != win::kWmKeyDown) return false;
  const int command =
      FindAccelerator(key, windows.IsKeyDown(win::kVkControl), windows.IsKeyDown(win::kVkShift));
  if (command == 0) return false;
  // Accelerators run only what the menu would offer.
  const win::CmdUI state = win::UpdateCommand(main_menu_route_, command);
  if (!state.Enabled().value_or(true)) return true;
  PostMessage(ids::kMsgMainMenuCommand, static_cast<win::WParam>(command), 0);
  return true;
}

void CMainFrame::OnClose() {
  CZK470Doc* doc = app_.GetDocument();
  if (doc != nullptr && !doc->CanCloseFrame()) return;
  DestroyWindow();
}

void CMainFrame::OnStartupCommand() {
  AutomationDispatcher dispatcher(app_);
  dispatcher.OnStartupCommand();
}

void CMainFrame::OnRefreshStatusPanes() {
  CZK470Doc* doc = app_.GetDocument();
  if (view_ == nullptr || GetActiveView() != view_.get() || doc == nullptr || !status_bar_.IsWindow()) return;

  // Pane 3: the analysis engine and its version.
  SettingsStore& settings = doc->GetSettings();
  int mode = settings.Int(SettingKey::kUserAnalyzeModus);
  const std::string& library_version = app_.GetAnalysisLibraryVersionText();
  if (mode == 1 && !app_.IsAnalysisLibraryVersionRead()) {
    // The library could not be read at start-up: the built-in engine analyses from now on.
    mode = 0;
    settings.SetInt(SettingKey::kUserAnalyzeModus, 0);
  }
  std::string engine;
  if (mode == 1) {
    engine = Format("  VRA %s", library_version.c_str());
  } else if (mode == 2) {
    engine = "  Error";
  } else {
    engine = Format("  Olvek %s", kBuiltInEngineVersion);
  }
  status_bar_.SetPaneText(kPaneEngine, engine);

  // Pane 2: channel count and analysed channels (1-based).
  const int channels = doc->GetChannelCount();
  std::string channel_text;
  if (channels != 0) {
    const std::string label = platform::LoadString(ids::kIdsChannels);
    const std::string analysed = platform::LoadString(ids::kIdsAnalysed);
    channel_text = Format(" %d %s : ", channels, label.c_str());
    const document::ChannelSet& set = document::Context().g_AnalysisChannels;
    if (doc->GetRecordingData().pause_threshold < 0) {
      channel_text += Format("- %s", analysed.c_str());
    } else if (set.count == 1) {
      channel_text += Format("%s (%d)", analysed.c_str(), set.channels[0] + 1);
    } else {
      channel_text += Format("%s (%d) + (%d)", analysed.c_str(), set.channels[0] + 1, set.channels[1] + 1);
    }
  }
  status_bar_.SetPaneText(kPaneChannels, channel_text);

  // Pane 1: the channels of the channel view (display mode 2 only).
  std::string view_text;
  if (doc->GetDisplayMode() == DisplayMode::kEcgPage) {
    const std::string prompt = platform::LoadString(cmd::kChannelView);
    const size_t line_end = prompt.find('\n');
    const std::string name = line_end == std::string::npos ? std::string() : prompt.substr(line_end + 1);
    std::string list;
    const document::ChannelSet& shown = document::Context().g_DisplayChannels;
    for (int i = 0; i < shown.count; ++i) {
      list += Format(i == 0 ? "(%d)" : " + (%d)", shown.channels[static_cast<size_t>(i)] + 1);
    }
    view_text = Format("%s: %s %s", name.c_str(), platform::LoadString(ids::kIdsView).c_str(), list.c_str());
  }
  status_bar_.SetPaneText(kPaneViewChannels, view_text);
  RecalcLayout();
  OnIdleUpdate();
}

int CMainFrame::OnToolbarDropDown(int id, const gfx::Rect& button, const std::function<void(PopupMenuWnd&)>& on_open) {
  int menu_id = 0;
  switch (id) {
    case cmd::kPrintWholeReport:
      menu_id = ids::kPrintMenu;
      break;
    case cmd::kAnalyzeRecording:
      menu_id = ids::kAnalysisMenu;
      break;
    case cmd::kReadRecorder:
      menu_id = ids::kRecorderMenu;
      break;
    case cmd::kSend:
      menu_id = ids::kSendMenu;
      break;
    case cmd::kFileOpen:
      menu_id = ids::kOpenMenu;
      break;
    case cmd::kFileSave:
      menu_id = ids::kSaveMenu;
      break;
    default:
      return 0;
  }
  std::optional<win::Menu> menu = LoadMenuResource(menu_id);
  if (!menu || menu->Count() == 0 || menu->SubMenu(0) == nullptr) return 0;
  win::Menu popup = *menu->SubMenu(0);
  // The tape read-in has no place on this platform's recorder links.
  popup.DeleteItem(cmd::kReadTape);
  const int chosen = TrackPopupMenu(popup, {button.left, button.bottom}, this, *this,
                                    [this](int command) { return MenuImage(command); }, on_open);
  if (chosen != 0 && IsWindow()) PostMessage(win::kWmCommand, static_cast<win::WParam>(chosen), 0);
  return chosen;
}

ToolGlyph CMainFrame::MenuImage(int command_id) const {
  const auto it = menu_images_.find(command_id);
  return it == menu_images_.end() ? ToolGlyph::kNone : it->second;
}

void CMainFrame::SetRecentFileImages() {
  for (int n = 0; n < CZK470App::kRecentFileCount; ++n) {
    const std::string name = app_.GetRecentFileName(n);
    const int id = cmd::kFileMruFirst + n;
    if (name.empty()) {
      menu_images_.erase(id);
      continue;
    }
    std::string last4 = name.size() >= 4 ? name.substr(name.size() - 4) : name;
    for (char& c : last4) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    menu_images_[id] = MenuImage(last4 == ".PDF" ? cmd::kPdfImage : cmd::kQrsImage);
  }
}

void CMainFrame::UpdateRecentFileMenu(win::Menu& menu) {
  // The framework's recent-file update: the placeholder entry becomes one entry per file.
  for (size_t i = 0; i < menu.Count(); ++i) {
    if (menu.At(i).id != cmd::kFileMruFirst) continue;
    std::vector<std::string> names;
    for (int n = 0; n < CZK470App::kRecentFileCount; ++n) {
      const std::string name = app_.GetRecentFileName(n);
      if (!name.empty()) names.push_back(name);
    }
    if (names.empty()) {
      menu.At(i).enabled = false;
      return;
    }
    win::Menu rebuilt;
    for (size_t k = 0; k < menu.Count(); ++k) {
      if (k != i) {
        const win::MenuItem& item = menu.At(k);
        if (item.separator) {
          rebuilt.AppendSeparator();
        } else if (item.popup != nullptr) {
          rebuilt.AppendPopup(item.text) = *item.popup;
        } else {
          rebuilt.AppendItem(item.id, item.text);
        }
        continue;
      }
      for (size_t n = 0; n < names.size(); ++n) {
        rebuilt.AppendItem(cmd::kFileMruFirst + static_cast<int>(n),
                           "&" + std::to_string(n + 1) + " " + names[n]);
      }
    }
    menu = std::move(rebuilt);
    SetRecentFileImages();
    return;
  }
}
