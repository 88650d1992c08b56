#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>

#include "core/core_resources.h"
#include "core/main_toolbars.h"
#include "core/menu_bar.h"
#include "core/status_bar.h"
#include "win/frame_window.h"

class CZK470App;
class PopupMenuWnd;

// The single main window: the menu (drawn with the toolbar images), the main toolbar and the
// time-span toolbar docked at the top, the status bar with the channel and analysis-engine panes,
// and the main view in between. It handles the start-up command of an automation run (2024) and
// the status refresh (2025). Commands travel to the view, then to the frame, then to the
// application. User-interface thread only.
class CMainFrame : public win::FrameWindow {
 public:
  // Status-bar panes in order.
  static constexpr size_t kPaneMessage = 0;
  static constexpr size_t kPaneViewChannels = 1;
  static constexpr size_t kPaneChannels = 2;
  static constexpr size_t kPaneEngine = 3;
  static constexpr size_t kPaneCapsLock = 4;
  static constexpr size_t kPaneNumLock = 5;
  static constexpr size_t kPaneScrollLock = 6;
  // Toolbar and menu states are brought up to date this often, as the framework's idle time did.
  static constexpr int kIdleUpdateMs = 250;
  static constexpr uintptr_t kIdleTimerId = 0xE000;

  explicit CMainFrame(CZK470App& app);
  ~CMainFrame() override;

  // Creates the window (class "ZK470Class", the document's title after the program's) with its
  // bars, and the view the factory makes. False when the frame or its status bar cannot be made.
  bool LoadFrame(std::unique_ptr<win::View> view);

  CMainToolBar* GetMainToolBar() { return main_toolbar_.get(); }
  CTimeSpanToolBar* GetTimeSpanToolBar() { return time_span_toolbar_.get(); }
  CStatusBar& GetStatusBar() { return status_bar_; }
  MenuBarWnd& GetMenuBar() { return menu_bar_; }
  win::View* GetView() { return view_.get(); }
  const std::string& GetFrameTitle() const { return frame_title_; }

  // The handlers of the private messages 2024 and 2025.
  void OnStartupCommand();
  void OnRefreshStatusPanes();
  // The drop-down arrow of a main-toolbar button: shows that button's menu under it. on_open lets
  // tests drive the menu; returns the command chosen (0 none).
  int OnToolbarDropDown(int id, const gfx::Rect& button_on_screen,
                        const std::function<void(PopupMenuWnd&)>& on_open = {});
  // The framework's idle work: toolbar states, the lock-key panes and the caption.
  void OnIdleUpdate();
  // The lock-key panes: each shows its indicator's text while its lock is on, else nothing.
  void UpdateKeyIndicators();
  // The message pane: "Ready" for the idle message, the prompt of a command's string (the part
  // before its line end), or nothing for 0.
  void SetMessageText(int id);
  // A menu entry was lit (kWmMenuSelect): its prompt; nothing for pop-ups and separators;
  // "Ready" when the menu closed.
  void OnMenuSelect(int id, int flags);
  // "<program title> - <document title>".
  void OnUpdateFrameTitle();
  // The recent-file entries of a menu about to open, with their images.
  void UpdateRecentFileMenu(win::Menu& menu);
  // The image a menu entry shows.
  ToolGlyph MenuImage(int command_id) const;
  // The recent-file icons: entry n gets the PDF image when its name ends in ".PDF" (any case),
  // else the recording image.
  void SetRecentFileImages();

  // The route of the main menu's entries and of the accelerators: the program's own handlers (the
  // view's, the document's, the frame's, the application's) before the screen's windows, which may
  // give a number a meaning of their own (the beat page's "to SVES" shares the ST-T statistic's).
  // Commands from a screen's own bars and context menus keep the screen first.
  win::CommandTarget& MainMenuRoute() { return main_menu_route_; }

  std::string_view ClassName() const override { return "ZK470Class"; }
  // Ctrl accelerators, and the keyboard access of the menu: Alt alone or F10 lights the first
  // title, Alt with a title's mnemonic opens that title, and while a title is lit the menu bar
  // takes the keys.
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 protected:
  int OnCreate() override;
  void OnDestroy() override;
  void OnSize(int type, int cx, int cy) override;
  void OnTimer(uintptr_t id) override;
  void OnClose() override;
  // Files dropped on the frame (it accepts them from start-up on): the frame comes to the front
  // and the first file opens as a choice in the recording browser does; one document at a time.
  void OnDropFiles(const win::DropFiles& drop) override;
  bool OnCommand(win::WParam wparam, win::LParam lparam) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 public:
  // Places menu bar, toolbars, status bar and view in the client area (a bar changed its width).
  void RecalcLayout();

 private:
  class MenuRoute : public win::CommandTarget {
   public:
    explicit MenuRoute(CMainFrame& frame) : frame_(frame) {}
    bool OnCmdMsg(win::CommandMessage& message) override { return frame_.RouteMenuCommand(message); }

   private:
    CMainFrame& frame_;
  };

  bool RouteMenuCommand(win::CommandMessage& message);

  CZK470App& app_;
  MenuRoute main_menu_route_{*this};
  std::unique_ptr<CMainToolBar> main_toolbar_;
  std::unique_ptr<CTimeSpanToolBar> time_span_toolbar_;
  CStatusBar status_bar_;
  MenuBarWnd menu_bar_;
  std::unique_ptr<win::View> view_;
  std::map<int, ToolGlyph> menu_images_;
  std::string frame_title_;
  bool status_bar_ok_ = false;
  // Alt went down with no other key since: its release lights the menu.
  bool alt_alone_ = false;
  // The menu took a key press: its character goes nowhere.
  bool swallow_char_ = false;
};
