// The main frame's answers to the keyboard and the mouse beyond clicks: the lock-key panes, the
// prompts and tool tips of toolbars and menus, the keyboard access of the menu, and dropped files.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <set>

#include "core/about_dlg.h"
#include "core/app_fixture.h"
#include "core/core_ids.h"
#include "core/main_frame.h"
#include "core/main_toolbars.h"
#include "core/menu_bar.h"
#include "support/test_recordings.h"
#include "win/command_target.h"

namespace coretest {
namespace {

namespace ids = core_ids;
namespace fs = std::filesystem;

class FakeKeyState : public win::KeyStateSource {
 public:
  bool IsKeyToggled(int virtual_key) const override { return on.contains(virtual_key); }
  std::set<int> on;
};

class MainFrameInputTest : public AppTest {
 protected:
  // Where a rectangle of a window of the frame lies in the frame's client area: its centre.
  gfx::Point CentreInFrame(const win::Window& window, const gfx::Rect& rect) {
    const gfx::Point screen =
        window.ClientToScreen(gfx::Point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    return Frame().ScreenToClient(screen);
  }
  gfx::Point ButtonInFrame(ToolBarWnd& bar, int id) {
    const std::optional<size_t> index = bar.Model().CommandToIndex(id);
    EXPECT_TRUE(index.has_value()) << id;
    return CentreInFrame(bar, bar.ButtonRect(index.value_or(0)));
  }
  gfx::Point ViewInFrame() { return CentreInFrame(*Frame().GetView(), Frame().GetView()->GetClientRect()); }

  void MoveTo(gfx::Point point) { win::Windows().MouseInput(Frame(), win::kWmMouseMove, point); }
  // The clock moves on and what fell due runs.
  void Wait(int ms) {
    clock_.Advance(ms);
    Pump();
  }
  std::string ToolTip() {
    const auto& tip = win::Windows().CurrentToolTip();
    return tip ? tip->text : std::string("<none>");
  }

  // Modal loops of menus and dialogs run these keys, one per idle turn, into the window that has
  // the focus; before each, what the pop-up shows is noted. The About box is closed when it opens.
  void ScriptKeys(std::deque<int> keys) {
    keys_ = std::move(keys);
    on_idle_ = [this](win::Window* modal) {
      if (auto* about = dynamic_cast<CAboutDlg*>(modal)) {
        ++about_boxes_;
        about->SendMessage(win::kWmCommand, win::kIdOk);
        return true;
      }
      auto* popup = dynamic_cast<PopupMenuWnd*>(modal);
      if (popup == nullptr || keys_.empty()) return false;
      seen_.push_back({popup->Highlighted(), Pane(CMainFrame::kPaneMessage)});
      const int key = keys_.front();
      keys_.pop_front();
      win::Windows().KeyInput(win::kWmKeyDown, key);
      return true;
    };
  }

  struct Seen {
    int highlighted;
    std::string prompt;
    bool operator==(const Seen&) const = default;
  };
  std::deque<int> keys_;
  std::vector<Seen> seen_;
  int about_boxes_ = 0;
};

TEST_F(MainFrameInputTest, LockPanesShowWhichLocksAreOn) {
  FakeKeyState keys;
  win::Windows().SetKeyStateSource(&keys);
  ASSERT_TRUE(Start({}));
  Pump();
  struct Case {
    const char* name;
    std::set<int> on;
    const char* caps;
    const char* num;
    const char* scroll;
  };
  const Case kCases[] = {
      {"none", {}, "", "", ""},
      {"caps lock", {win::kVkCapital}, "CAP", "", ""},
      {"num lock", {win::kVkNumLock}, "", "NUM", ""},
      {"all three", {win::kVkCapital, win::kVkNumLock, win::kVkScroll}, "CAP", "NUM", "SCRL"},
      {"scroll lock only", {win::kVkScroll}, "", "", "SCRL"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    keys.on = c.on;
    // The frame looks on its own, as its idle time comes round.
    Wait(CMainFrame::kIdleUpdateMs);
    EXPECT_EQ(Pane(CMainFrame::kPaneCapsLock), c.caps);
    EXPECT_EQ(Pane(CMainFrame::kPaneNumLock), c.num);
    EXPECT_EQ(Pane(CMainFrame::kPaneScrollLock), c.scroll);
  }
  // The lock panes keep their width whether lit or not: the panes beside them stay in place.
  const gfx::Rect lit = Frame().GetStatusBar().GetItemRect(CMainFrame::kPaneCapsLock);
  keys.on.clear();
  Frame().OnIdleUpdate();
  EXPECT_EQ(Frame().GetStatusBar().GetItemRect(CMainFrame::kPaneCapsLock), lit);
}

TEST_F(MainFrameInputTest, LockPanesSpeakTheLanguageOfThePack) {
  FakeKeyState keys;
  keys.on = {win::kVkCapital, win::kVkNumLock, win::kVkScroll};
  win::Windows().SetKeyStateSource(&keys);
  profile_.WriteInt("Language", "Language", 1);
  ASSERT_TRUE(Start({}));
  Frame().OnIdleUpdate();
  EXPECT_EQ(Pane(CMainFrame::kPaneCapsLock), "UF");
  EXPECT_EQ(Pane(CMainFrame::kPaneNumLock), "NUM");
  EXPECT_EQ(Pane(CMainFrame::kPaneScrollLock), "RF");
}

TEST_F(MainFrameInputTest, ToolbarButtonsShowTheirPromptAndToolTipWhileThePointerRests) {
  ASSERT_TRUE(Start({}));
  Pump();
  CMainToolBar& bar = *Frame().GetMainToolBar();
  ASSERT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");

  MoveTo(ButtonInFrame(bar, cmd::kFileOpen));
  Wait(ToolBarWnd::kFlyByDelayMs - 1);
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  Wait(1);
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Opens a recording");
  EXPECT_EQ(ToolTip(), "<none>");
  Wait(ToolBarWnd::kToolTipDelayMs - ToolBarWnd::kFlyByDelayMs);
  EXPECT_EQ(ToolTip(), "Open");
  EXPECT_EQ(win::Windows().CurrentToolTip()->screen_point, win::Windows().CursorPos());

  // On to the next buttons: prompt and tip follow at once, for disabled buttons too.
  struct Case {
    int button;
    const char* prompt;
    const char* tip;
  };
  const Case kCases[] = {
      {cmd::kFileSave, "Saves the recording", "Save"},
      {cmd::kPrintWholeReport, "Prints the whole report", "Print report"},
      {cmd::kAppAbout, "Shows the program version", "About"},
  };
  ASSERT_FALSE(bar.Model().Find(cmd::kPrintWholeReport)->enabled);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.button);
    MoveTo(ButtonInFrame(bar, c.button));
    EXPECT_EQ(Pane(CMainFrame::kPaneMessage), c.prompt);
    EXPECT_EQ(ToolTip(), c.tip);
  }

  // A separator is no tool; leaving the bar for the view puts everything away.
  size_t separator = 0;
  while (separator < bar.Model().Count() &&
         bar.Model().At(separator).style != win::ToolButtonStyle::kSeparator) {
    ++separator;
  }
  ASSERT_LT(separator, bar.Model().Count());
  MoveTo(CentreInFrame(bar, bar.ButtonRect(separator)));
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_EQ(ToolTip(), "<none>");
  MoveTo(ButtonInFrame(bar, cmd::kFileSave));
  Wait(ToolBarWnd::kToolTipDelayMs);
  EXPECT_EQ(ToolTip(), "Save");
  MoveTo(ViewInFrame());
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_EQ(ToolTip(), "<none>");

  // The pointer leaving the program's window altogether does the same.
  MoveTo(ButtonInFrame(bar, cmd::kFileSave));
  Wait(ToolBarWnd::kToolTipDelayMs);
  ASSERT_EQ(ToolTip(), "Save");
  win::Windows().MouseLeft(Frame());
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_EQ(ToolTip(), "<none>");

  // A tip goes by itself after a while and stays away while the pointer rests on that button.
  MoveTo(ButtonInFrame(bar, cmd::kAppAbout));
  Wait(ToolBarWnd::kToolTipDelayMs);
  ASSERT_EQ(ToolTip(), "About");
  Wait(ToolBarWnd::kToolTipShowMs);
  EXPECT_EQ(ToolTip(), "<none>");
  MoveTo(ButtonInFrame(bar, cmd::kAppAbout));
  Wait(ToolBarWnd::kToolTipDelayMs);
  EXPECT_EQ(ToolTip(), "<none>");
}

TEST_F(MainFrameInputTest, AClickPutsTheTipAwayAndTheReleaseSetsReady) {
  ASSERT_TRUE(Start({}));
  Pump();
  CMainToolBar& bar = *Frame().GetMainToolBar();
  // Save is disabled without a recording: the click runs nothing, the prompt still shows.
  const gfx::Point save = ButtonInFrame(bar, cmd::kFileSave);
  MoveTo(save);
  Wait(ToolBarWnd::kToolTipDelayMs);
  ASSERT_EQ(ToolTip(), "Save");
  ASSERT_EQ(Pane(CMainFrame::kPaneMessage), "Saves the recording");
  win::Windows().MouseInput(Frame(), win::kWmLButtonDown, save, win::kMkLButton);
  EXPECT_EQ(ToolTip(), "<none>");
  win::Windows().MouseInput(Frame(), win::kWmLButtonUp, save);
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  Wait(ToolBarWnd::kToolTipDelayMs);
  EXPECT_EQ(ToolTip(), "<none>");
}

TEST_F(MainFrameInputTest, TheTimeSpanBoxHasItsOwnPromptAndTip) {
  ASSERT_TRUE(Start({}));
  Pump();
  TimeSpanCombo& combo = Frame().GetTimeSpanToolBar()->Combo();
  MoveTo(CentreInFrame(combo, combo.GetClientRect()));
  Wait(ToolBarWnd::kToolTipDelayMs);
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Chooses the time span shown");
  EXPECT_EQ(ToolTip(), "Time span");
  MoveTo(ViewInFrame());
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_EQ(ToolTip(), "<none>");
}

TEST_F(MainFrameInputTest, MenuEntriesShowTheirPromptWhileLit) {
  ASSERT_TRUE(Start({}));
  Pump();
  std::vector<std::string> prompts;
  // File: New, Open, Close, Save, separator, Recent file, separator, Exit.
  Frame().GetMenuBar().OpenPopup(0, [&](PopupMenuWnd& menu) {
    prompts.push_back(Pane(CMainFrame::kPaneMessage));
    menu.SendMessage(win::kWmMouseMove, 0,
                     win::MakeLParam(10, (menu.ItemRect(1).top + menu.ItemRect(1).bottom) / 2));
    prompts.push_back(Pane(CMainFrame::kPaneMessage));
    const gfx::Rect separator = menu.ItemRect(4);
    menu.SendMessage(win::kWmMouseMove, 0, win::MakeLParam(10, (separator.top + separator.bottom) / 2));
    prompts.push_back(Pane(CMainFrame::kPaneMessage));
    // The disabled Close, reached with the arrow keys, has its prompt too.
    menu.SendMessage(win::kWmKeyDown, win::kVkUp);
    menu.SendMessage(win::kWmKeyDown, win::kVkUp);
    prompts.push_back(Pane(CMainFrame::kPaneMessage));
    menu.SendMessage(win::kWmKeyDown, win::kVkEscape);
  });
  EXPECT_EQ(prompts, (std::vector<std::string>{"", "Opens a recording", "", "Closes the recording"}));
  // Esc leaves the title lit; a second Esc ends the menu and the pane is back at "Ready".
  EXPECT_EQ(Frame().GetMenuBar().HotTitle(), 0);
  win::Windows().KeyInput(win::kWmKeyDown, win::kVkEscape);
  EXPECT_FALSE(Frame().GetMenuBar().InKeyboardMode());
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");

  // The drop-down menus of the toolbar prompt alike; the time-span list is no menu and does not.
  Frame().OnToolbarDropDown(cmd::kFileSave, {0, 0, 30, 22}, [&](PopupMenuWnd& menu) {
    menu.SendMessage(win::kWmKeyDown, win::kVkDown);
    EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Saves the recording");
    menu.Close(0);
  });
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  Frame().GetTimeSpanToolBar()->Combo().DropDown([&](PopupMenuWnd& list) {
    list.SendMessage(win::kWmKeyDown, win::kVkDown);
    EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
    list.Close(0);
  });
}

TEST_F(MainFrameInputTest, AltAloneAndF10LightTheMenuAndArrowsWalkIt) {
  ASSERT_TRUE(Start({}));
  Pump();
  MenuBarWnd& bar = Frame().GetMenuBar();
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkMenu);
  EXPECT_FALSE(bar.InKeyboardMode());
  win::Windows().KeyInput(win::kWmSysKeyUp, win::kVkMenu);
  ASSERT_TRUE(bar.InKeyboardMode());
  EXPECT_EQ(bar.HotTitle(), 0);
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "");

  struct Step {
    int key;
    int hot;
  };
  // Eight titles: File, Recorder, Analysis, View, Report, Tools, Options, Help; the ends wrap round.
  constexpr Step kSteps[] = {{win::kVkRight, 1}, {win::kVkRight, 2}, {win::kVkLeft, 1},
                             {win::kVkLeft, 0},  {win::kVkLeft, 7},  {win::kVkRight, 0}};
  for (const Step& step : kSteps) {
    win::Windows().PressKey(step.key);
    EXPECT_EQ(bar.HotTitle(), step.hot) << step.key;
  }
  // The mode takes the keys, accelerators too: Ctrl+N is the letter N here, which no title
  // has, so it beeps, and the mode stays.
  prompt_.ClearLog();
  win::Windows().SetKeyDown(win::kVkControl, true);
  win::Windows().PressKey('N');
  win::Windows().SetKeyDown(win::kVkControl, false);
  Pump();
  EXPECT_EQ(win::Windows().BeepCount(), 1);
  EXPECT_TRUE(bar.InKeyboardMode());
  // Esc leaves the mode; its character reaches nothing, the next one the view.
  EXPECT_EQ(win::Windows().KeyInput(win::kWmKeyDown, win::kVkEscape), nullptr);
  EXPECT_EQ(win::Windows().KeyInput(win::kWmChar, 27), nullptr);
  EXPECT_EQ(win::Windows().KeyInput(win::kWmKeyUp, win::kVkEscape), Frame().GetView());
  EXPECT_FALSE(bar.InKeyboardMode());
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_EQ(win::Windows().KeyInput(win::kWmKeyDown, 'X'), Frame().GetView());
  EXPECT_EQ(win::Windows().KeyInput(win::kWmChar, 'x'), Frame().GetView());

  // Another program taking the keyboard ends the mode, and an Alt released there lights nothing.
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF10);
  ASSERT_TRUE(bar.InKeyboardMode());
  Frame().SendMessage(win::kWmActivate, 0);
  EXPECT_FALSE(bar.InKeyboardMode());
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkMenu);
  Frame().SendMessage(win::kWmActivate, 0);
  win::Windows().KeyInput(win::kWmSysKeyUp, win::kVkMenu);
  EXPECT_FALSE(bar.InKeyboardMode());

  // Alt pressed with another key is no menu key; Alt alone again leaves the mode; so does F10.
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkMenu);
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF1);
  win::Windows().KeyInput(win::kWmSysKeyUp, win::kVkMenu);
  EXPECT_FALSE(bar.InKeyboardMode());
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF10);
  EXPECT_TRUE(bar.InKeyboardMode());
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkMenu);
  win::Windows().KeyInput(win::kWmSysKeyUp, win::kVkMenu);
  EXPECT_FALSE(bar.InKeyboardMode());
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF10);
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF10);
  EXPECT_FALSE(bar.InKeyboardMode());

  // A click anywhere ends the mode.
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF10);
  ASSERT_TRUE(bar.InKeyboardMode());
  win::Windows().MouseInput(Frame(), win::kWmLButtonDown, ViewInFrame(), win::kMkLButton);
  EXPECT_FALSE(bar.InKeyboardMode());
}

TEST_F(MainFrameInputTest, F10ArrowsAndEnterRunTheLitCommand) {
  ASSERT_TRUE(Start({}));
  Pump();
  // F10, Left to Help, Down opens it with About lit, Enter chooses it.
  ScriptKeys({win::kVkReturn});
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkF10);
  win::Windows().PressKey(win::kVkLeft);
  win::Windows().KeyInput(win::kWmKeyDown, win::kVkDown);
  EXPECT_EQ(seen_, (std::vector<Seen>{{0, "Shows the program version"}}));
  EXPECT_FALSE(Frame().GetMenuBar().InKeyboardMode());
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  Pump();
  EXPECT_EQ(about_boxes_, 1);
  // The keys go back to the view afterwards.
  EXPECT_EQ(win::Windows().GetFocus(), Frame().GetView());
}

TEST_F(MainFrameInputTest, AltWithAMnemonicOpensItsMenuAndTheEntrysLetterRunsIt) {
  ASSERT_TRUE(Start({}));
  Pump();
  // Alt+H opens Help; 'A' is About's letter.
  ScriptKeys({'A'});
  win::Windows().KeyInput(win::kWmSysKeyDown, win::kVkMenu);
  win::Windows().KeyInput(win::kWmSysKeyDown, 'H');
  ASSERT_EQ(seen_.size(), 1u);
  Pump();
  EXPECT_EQ(about_boxes_, 1);
  // The release of Alt after the menu is gone lights nothing.
  win::Windows().KeyInput(win::kWmSysKeyUp, win::kVkMenu);
  EXPECT_FALSE(Frame().GetMenuBar().InKeyboardMode());

  // A letter no title has: a beep and no menu.
  const int beeps = win::Windows().BeepCount();
  win::Windows().KeyInput(win::kWmSysKeyDown, 'Q');
  EXPECT_EQ(win::Windows().BeepCount(), beeps + 1);
  EXPECT_FALSE(Frame().GetMenuBar().InKeyboardMode());
}

TEST_F(MainFrameInputTest, LeftAndRightMoveBetweenOpenMenusAndEscReturnsToTheTitle) {
  ASSERT_TRUE(Start({}));
  Pump();
  MenuBarWnd& bar = Frame().GetMenuBar();
  std::vector<size_t> opened;
  // Alt+F: File. Right: Recorder. Right: Analysis. Left: Recorder. Esc: its title stays lit.
  ScriptKeys({win::kVkRight, win::kVkRight, win::kVkLeft, win::kVkEscape});
  win::Windows().KeyInput(win::kWmSysKeyDown, 'F');
  // Each pop-up opened with its first entry lit: New, Read recorder, Analyse, Read recorder.
  EXPECT_EQ(seen_, (std::vector<Seen>{{0, "Starts a new recording"},
                                      {0, "Reads a recording out of the recorder"},
                                      {0, "Analyses the recording"},
                                      {0, "Reads a recording out of the recorder"}}));
  EXPECT_TRUE(bar.InKeyboardMode());
  EXPECT_EQ(bar.HotTitle(), 1);
  // Down opens the lit title again; Esc twice leaves.
  seen_.clear();
  ScriptKeys({win::kVkEscape});
  win::Windows().PressKey(win::kVkDown);
  EXPECT_EQ(seen_.size(), 1u);
  EXPECT_EQ(bar.HotTitle(), 1);
  win::Windows().PressKey(win::kVkEscape);
  EXPECT_FALSE(bar.InKeyboardMode());
  EXPECT_EQ(win::Windows().ModalDepth(), 0);
}

TEST_F(MainFrameInputTest, MnemonicsInAPopupChooseOrCycle) {
  ASSERT_TRUE(Start({}));
  win::Menu menu;
  menu.AppendItem(101, "&Apple");
  menu.AppendItem(102, "&Avocado");
  menu.AppendSeparator();
  menu.AppendItem(103, "&Banana");
  menu.AppendItem(104, "&Cherry");
  menu.AppendItem(105, "A && &D");
  struct Route : win::CommandTarget {
    bool OnCmdMsg(win::CommandMessage& message) override {
      if (message.kind == win::CommandMessage::Kind::kUpdate && message.ui != nullptr) {
        message.ui->Enable(message.id != 104);
      }
      return true;
    }
  } route;
  struct Case {
    const char* name;
    std::vector<int> keys;
    int want_chosen;
    int want_lit;
  };
  const Case kCases[] = {
      {"one entry has the letter", {'B'}, 103, 3},
      {"two share it: each press lights the next", {'A', 'A', 'A'}, 0, 0},
      {"then Enter runs the lit one", {'A', 'A', win::kVkReturn}, 102, 1},
      {"a disabled entry is only lit", {'C'}, 0, 4},
      {"a doubled & is no mnemonic", {'D'}, 105, 5},
      {"no entry has it", {'Z'}, 0, -1},
      {"Alt ends the menu", {win::kVkDown, win::kVkMenu, win::kVkReturn}, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    int lit = -2;
    const int chosen = TrackPopupMenu(menu, {100, 100}, &Frame(), route, {}, [&](PopupMenuWnd& popup) {
      for (const int key : c.keys) {
        if (!popup.Closed()) popup.SendMessage(win::kWmKeyDown, static_cast<win::WParam>(key));
      }
      lit = popup.Highlighted();
      if (!popup.Closed()) popup.Close(0);
    });
    EXPECT_EQ(chosen, c.want_chosen);
    EXPECT_EQ(lit, c.want_lit);
  }
}

TEST_F(MainFrameInputTest, FramesTakeDroppedFilesHowEverTheProgramStarted) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2);
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const Case kCases[] = {
      {"plain start", {}},
      {"start with a recording", {qrs.string()}},
      {"automation start", {"-AnalyzeRecording", "x"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    app_.reset();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    ASSERT_TRUE(Start(c.args));
    EXPECT_NE(Frame().GetExStyle() & win::kWsExAcceptFiles, 0u);
    EXPECT_EQ(win::Windows().DropTarget(Frame(), ViewInFrame()), &Frame());
  }
}

TEST_F(MainFrameInputTest, ADroppedRecordingOpensAsIfChosenInTheBrowser) {
  const fs::path first = MakeSyntheticRecording(Folder("rec") / "00001", 2, {"Anna", "Demo", "1"});
  const fs::path second = MakeSyntheticRecording(Folder("rec") / "00002", 3, {"Bert", "Beispiel", "2"});
  ASSERT_TRUE(Start({}));
  Pump();
  // Several files: one document at a time, the first one opens.
  EXPECT_EQ(win::Windows().DeliverDroppedFiles(Frame(), ViewInFrame(), {first.string(), second.string()}),
            &Frame());
  Pump();
  EXPECT_EQ(Doc().GetPathName(), first.string());
  EXPECT_EQ(Frame().GetWindowText(), "KESTROVA ZK-470 Holter-ECG - 00001.QRS");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
  EXPECT_EQ(app_->GetRecentFileName(0), first.string());

  // Dropped on the toolbar too: the frame takes drops wherever they land in it.
  const gfx::Point on_bar =
      CentreInFrame(*Frame().GetMainToolBar(), Frame().GetMainToolBar()->GetClientRect());
  EXPECT_EQ(win::Windows().DeliverDroppedFiles(Frame(), on_bar, {second.string()}), &Frame());
  Pump();
  EXPECT_EQ(Doc().GetPathName(), second.string());
  EXPECT_EQ(Doc().GetPatientData().surname, "Beispiel");

  // While a modal dialog holds the frame, a drop is refused and nothing changes.
  Frame().EnableWindow(false);
  EXPECT_EQ(win::Windows().DropTarget(Frame(), ViewInFrame()), nullptr);
  EXPECT_EQ(win::Windows().DeliverDroppedFiles(Frame(), ViewInFrame(), {first.string()}), nullptr);
  Frame().EnableWindow(true);
  Pump();
  EXPECT_EQ(Doc().GetPathName(), second.string());

  // A file of another kind: the document says so and keeps what it has.
  const fs::path text = Folder("rec") / "notes.txt";
  std::ofstream(text) << "not a recording";
  prompt_.ClearLog();
  EXPECT_EQ(win::Windows().DeliverDroppedFiles(Frame(), ViewInFrame(), {text.string()}), &Frame());
  Pump();
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(prompt_.Log()[0].kind, "message");
  EXPECT_EQ(Doc().GetPathName(), second.string());
}

}  // namespace
}  // namespace coretest
