// Every command the program answers has a way for the user to send it: an entry of the main menu
// (in both languages) or of a toolbar's drop-down menu, a button of a bar of the frame or of a
// window on any screen, a context menu, a button, or an accelerator key. The main menu's entries
// reach the program's own handlers even where a screen's window gives the number another meaning.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/app_fixture.h"
#include "core/core_ids.h"
#include "core/core_resources.h"
#include "core/main_frame.h"
#include "core/resource_packs.h"
#include "core/view_services.h"
#include "core/zk470_view.h"
#include "document/beat_class.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "layouts/beat_page_area.h"
#include "layouts/default_layouts.h"
#include "layouts/hr_navigator_window.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "recorder/recorder_area.h"
#include "support/test_recordings.h"
#include "views/area_messages.h"
#include "views/layout_tree.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/controls.h"
#include "win/toolbar_window.h"
#include "win/window.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

// Command numbers: from 0x8000 to the end of the framework's own range.
constexpr int kFirstCommand = 0x8000;
constexpr int kLastCommand = 0xEFFF;

// Commands the program answers that no route sends, each for its reason.
struct WithoutRoute {
  std::vector<int> ids;
  const char* reason;
};
const WithoutRoute kWithoutRoute[] = {
    {{cmd::kNoAction32840, 32854, cmd::kNoAction32953, cmd::kNoAction32993, cmd::kNoAction33038,
      cmd::kNoAction33041, cmd::kNoAction33042, cmd::kNoAction33045, cmd::kNoAction33046, cmd::kNoAction33049,
      cmd::kNoAction33050, cmd::kNoAction33051, cmd::kNoAction33061, cmd::kNoAction33062, cmd::kNoAction33207,
      cmd::kDisabled33210, cmd::kNoAction33211},
     "handlers without an action, kept for callers that still send the numbers"},
    {{cmd::kUndoEdits}, "undo: the view keeps it disabled on every screen"},
    {{32908, 32909}, "the ST trend's radio pair: nothing in the program reads the flag it sets"},
    {{32963}, "pausing a running auto-scroll: the auto-scroll dialog's own button does it"},
    {{cmd::kRefreshStatus}, "the status refresh: the view posts it to itself after a change"},
    {{cmd::kPrintNarrative}, "the test letters: the narrative test prints them through its own preview"},
    {{cmd::kPatientDataAlt}, "the patient sheet's second number; its menu entry sends 32922"},
};

// The command entries of a menu and its pop-ups, in order, with their depth.
void AddMenuIds(const win::Menu& menu, std::vector<std::pair<int, int>>& out, int depth = 0) {
  for (size_t i = 0; i < menu.Count(); ++i) {
    const win::MenuItem& item = menu.At(i);
    if (item.popup != nullptr) {
      out.push_back({depth, 0});
      AddMenuIds(*item.popup, out, depth + 1);
    } else if (!item.separator && item.id != 0) {
      out.push_back({depth, item.id});
    }
  }
}

std::vector<std::pair<int, int>> MenuIds(int menu_id) {
  std::vector<std::pair<int, int>> ids;
  if (const std::optional<win::Menu> menu = LoadMenuResource(menu_id)) AddMenuIds(*menu, ids);
  return ids;
}

const win::MenuItem* FindEntry(const win::Menu& menu, int id) {
  for (size_t i = 0; i < menu.Count(); ++i) {
    const win::MenuItem& item = menu.At(i);
    if (item.popup != nullptr) {
      if (const win::MenuItem* found = FindEntry(*item.popup, id)) return found;
    } else if (item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

void CollectWindows(win::Window& window, std::vector<win::Window*>& out) {
  out.push_back(&window);
  for (win::Window* child : window.Children()) CollectWindows(*child, out);
}

class CommandRoutesTest : public AppTest {
 protected:
  void StartOnRecording() {
    const fs::path qrs = MakeAnalysedRecording(Folder("rec") / "00001", 10, 2);
    ASSERT_TRUE(Start({qrs.string()}));
    Pump();
    ASSERT_NE(GetActiveZK470View(), nullptr);
  }

  void UseLanguage(const char* pack) { platform::Resources().SetLanguagePack(FindLanguagePack(pack)); }

  void Show(DisplayMode mode, int16_t sub_mode, int hint) {
    Doc().SetDisplayMode(mode);
    Doc().SetDisplaySubMode(sub_mode);
    Doc().UpdateAllViews(nullptr, hint);
    Pump();
  }

  // Chooses the entry of the main menu with this command as a user does: its pop-up opens from
  // the menu bar and the entry is clicked.
  void ChooseFromMainMenu(int id) {
    win::Menu* menu = Frame().GetMenu();
    ASSERT_NE(menu, nullptr);
    for (size_t title = 0; title < menu->Count(); ++title) {
      const win::Menu* popup = menu->SubMenu(title);
      if (popup == nullptr || FindEntry(*popup, id) == nullptr) continue;
      bool chosen = false;
      Frame().GetMenuBar().OpenPopup(title, [&](PopupMenuWnd& shown) {
        for (size_t i = 0; i < popup->Count(); ++i) {
          if (popup->At(i).id != id) continue;
          chosen = true;
          shown.ChooseItem(i);
          return;
        }
        shown.Close(0);
      });
      Pump();
      ASSERT_TRUE(chosen) << "entry " << id << " lies in a sub-menu";
      return;
    }
    FAIL() << "no entry " << id << " in the main menu";
  }
};

TEST_F(CommandRoutesTest, EveryCommandTheProgramAnswersHasARoute) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::set<int> routed;
  for (const char* pack : {"ZK470Eng", "ZK470Ger"}) {
    UseLanguage(pack);
    for (const int menu_id :
         {core_ids::kDocumentResource, core_ids::kOpenMenu, core_ids::kRecorderMenu, core_ids::kPrintMenu,
          core_ids::kSaveMenu, core_ids::kSendMenu, core_ids::kAnalysisMenu}) {
      for (const auto& [depth, id] : MenuIds(menu_id)) routed.insert(id);
    }
  }
  platform::Resources().SetLanguagePack(nullptr);
  // The frame turns the recent-file entry into one entry per file.
  ASSERT_TRUE(routed.contains(cmd::kFileMruFirst));
  for (int id = cmd::kFileMruFirst; id <= cmd::kFileMruLast; ++id) routed.insert(id);
  for (const Accelerator& accelerator : MainAccelerators()) routed.insert(accelerator.command);

  // Every screen: its bars, buttons and context menus, and what its windows answer.
  std::map<int, int> answered;  // command -> first layout that answers it
  CZK470View& view = *GetActiveZK470View();
  std::set<int> context_menu_ids;
  for (int layout = 0; layout < kLayoutCount; ++layout) {
    SCOPED_TRACE(testing::Message() << "layout " << layout);
    ASSERT_TRUE(view.GetSelector()->Select(layout));
    Pump();
    std::vector<win::Window*> windows;
    CollectWindows(Frame(), windows);
    for (win::Window* window : windows) {
      const win::ToolBarModel* bar = nullptr;
      if (auto* toolbar = dynamic_cast<win::ToolBarWindow*>(window)) bar = &toolbar->Model();
      if (auto* navigator_bar = dynamic_cast<CHRNavigatorBar*>(window)) bar = &navigator_bar->Model();
      for (size_t i = 0; bar != nullptr && i < bar->Count(); ++i) routed.insert(bar->At(i).id);
      if (dynamic_cast<win::Button*>(window) != nullptr) routed.insert(window->GetDlgCtrlID());
    }
    // Each window is asked for its context menu; the scripted answer notes its entries.
    for (win::Window* window : windows) {
      const win::WindowHandle handle = window->Handle();
      if (win::Window::FromHandle(handle) != window) continue;
      if (win::Windows().PendingPopupAnswers() == 0) {
        win::Windows().QueuePopupAnswer([&context_menu_ids](const win::PopupRequest& request) {
          std::vector<std::pair<int, int>> ids;
          if (request.menu != nullptr) AddMenuIds(*request.menu, ids);
          for (const auto& [depth, id] : ids) context_menu_ids.insert(id);
          return 0;
        });
      }
      const gfx::Rect client = window->GetClientRect();
      const gfx::Point at = window->ClientToScreen(gfx::Point{client.Width() / 2, client.Height() / 2});
      window->SendMessage(win::kWmContextMenu, handle, win::MakeLParam(at.x, at.y));
    }
    Pump();
    // The frame's route reaches the view, the document, the application and every window of the
    // screen; each hosted window is asked itself too, in case a sibling answers its number first.
    std::vector<win::Window*> targets{&Frame()};
    for (win::Window* window : windows) {
      if (dynamic_cast<CAreaWnd*>(window) != nullptr) targets.push_back(window);
    }
    for (win::Window* target : targets) {
      if (win::Window::FromHandle(target->Handle()) != target) continue;
      for (int id = kFirstCommand; id <= kLastCommand; ++id) {
        if (!answered.contains(id) && win::HasCommandHandler(*target, id)) answered[id] = layout;
      }
    }
  }
  routed.insert(context_menu_ids.begin(), context_menu_ids.end());

  std::set<int> excepted;
  for (const WithoutRoute& entry : kWithoutRoute) excepted.insert(entry.ids.begin(), entry.ids.end());
  for (const auto& [id, layout] : answered) {
    if (!excepted.contains(id))
      EXPECT_TRUE(routed.contains(id))
          << "command " << id << " (answered on layout " << layout << ") has no route";
  }
  // An exception that gained a route, or that nothing answers any more, leaves the list.
  for (const int id : excepted) {
    EXPECT_FALSE(routed.contains(id)) << "command " << id << " has a route now";
    EXPECT_TRUE(answered.contains(id)) << "command " << id << " is answered by nothing";
  }
}

TEST_F(CommandRoutesTest, MainMenuIsTheSameInBothLanguagesAndShowsItsKeys) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  UseLanguage("ZK470Eng");
  const std::vector<std::pair<int, int>> english = MenuIds(core_ids::kDocumentResource);
  const std::optional<win::Menu> english_menu = LoadMenuResource(core_ids::kDocumentResource);
  UseLanguage("ZK470Ger");
  const std::vector<std::pair<int, int>> german = MenuIds(core_ids::kDocumentResource);
  const std::optional<win::Menu> german_menu = LoadMenuResource(core_ids::kDocumentResource);
  platform::Resources().SetLanguagePack(nullptr);
  EXPECT_EQ(english, german);
  ASSERT_TRUE(english_menu && german_menu);
  std::set<std::pair<int, std::pair<bool, bool>>> keys;
  for (const Accelerator& accelerator : MainAccelerators()) {
    SCOPED_TRACE(testing::Message() << "accelerator of " << accelerator.command);
    EXPECT_TRUE(keys.insert({accelerator.key, {accelerator.control, accelerator.shift}}).second)
        << "key used twice";
    for (const win::Menu* menu : {&*english_menu, &*german_menu}) {
      const win::MenuItem* entry = FindEntry(*menu, accelerator.command);
      ASSERT_NE(entry, nullptr);
      EXPECT_NE(entry->text.find('\t'), std::string::npos) << entry->text;
    }
  }
}

// The main menu's pull-downs as a host shows them: it opens their sub-menus without asking again.
class MenuHost : public win::Host {
 public:
  std::optional<int> TrackPopupMenu(const win::PopupRequest& request) override {
    shown = *request.menu;
    return answer;
  }
  win::Menu shown;
  int answer = 0;
};

// The sub-menus' entries take their states before the pull-down shows, and an entry chosen in a
// sub-menu runs.
TEST_F(CommandRoutesTest, SubMenuEntriesTakeTheirStatesAndRun) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  Show(DisplayMode::kNavigation, 0, hint::kDisplayModeChanged);
  Doc().RecalcHeartRateExtremes(0, 0, 1);
  MenuHost host;
  win::Windows().SetHost(&host);
  const auto open_title_with = [this](int id) {
    win::Menu* menu = Frame().GetMenu();
    for (size_t title = 0; menu != nullptr && title < menu->Count(); ++title) {
      if (menu->SubMenu(title) != nullptr && FindEntry(*menu->SubMenu(title), id) != nullptr) {
        Frame().GetMenuBar().OpenPopup(title);
        return;
      }
    }
    ADD_FAILURE() << "no entry " << id;
  };
  // Recorder > Monitor: no window of this screen talks to a recorder.
  open_title_with(CRecorderArea::kCmdMonitor);
  ASSERT_NE(FindEntry(host.shown, CRecorderArea::kCmdMonitor), nullptr);
  EXPECT_FALSE(FindEntry(host.shown, CRecorderArea::kCmdMonitor)->enabled);
  // View > Go to > Highest heart rate.
  host.answer = cmd::kGoToHRMax;
  open_title_with(cmd::kGoToHRMax);
  Pump();
  win::Windows().SetHost(nullptr);
  ASSERT_NE(FindEntry(host.shown, cmd::kGoToHRMax), nullptr);
  EXPECT_TRUE(FindEntry(host.shown, cmd::kGoToHRMax)->enabled);
  EXPECT_EQ(Doc().GetCurrentPosition(), Doc().SamplesToMs(Doc().GetHRMaxPosition()));
}

// Tools > ST-T statistic shares its number with the beat page's "to SVES": chosen from the menu
// while the beat page has the focus and beats selected, it runs the statistic and relabels
// nothing; the beat page's own menus still relabel through the main route.
TEST_F(CommandRoutesTest, MainMenuEntryReachesTheProgramNotTheScreenThatSharesItsNumber) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::vector<int> statistics_run;
  ViewServices services = GetViewServices();
  services.validation_statistic = [&statistics_run](CZK470Doc&, int command) {
    statistics_run.push_back(command);
  };
  InstallViewServices(services);

  Show(DisplayMode::kTemplateBeats, 0, hint::kArea1101);
  CBeatPageArea* page = nullptr;
  std::vector<CViewAreaConfig*> nodes{GetActiveZK470View()->GetSelector()->GetCurrent()};
  while (!nodes.empty() && page == nullptr) {
    CViewAreaConfig* node = nodes.back();
    nodes.pop_back();
    page = dynamic_cast<CBeatPageArea*>(node->GetArea());
    for (int i = 0; i < node->GetChildCount(); ++i) nodes.push_back(node->GetChild(i));
  }
  ASSERT_NE(page, nullptr);
  const gfx::Rect r = page->StoredRect();
  gfx::Point cell{r.left + 10, r.top + 10};
  page->OnMessage(areamsg::kLeftButtonDown, 0, reinterpret_cast<win::LParam>(&cell));
  page->OnMessage(areamsg::kLeftButtonUp, 0, reinterpret_cast<win::LParam>(&cell));
  Pump();
  ASSERT_EQ(page->SelectedCells().size(), 1u);
  const auto sves_count = [this] { return Doc().GetQRSList().Counters()[kClassSVES]; };
  const int before = sves_count();

  ASSERT_NO_FATAL_FAILURE(ChooseFromMainMenu(cmd::kSTStatistic));
  EXPECT_EQ(statistics_run, std::vector<int>{cmd::kSTStatistic});
  EXPECT_EQ(sves_count(), before);

  // The beat page's context menu posts its choice to the frame as a command.
  Frame().SendMessage(win::kWmCommand, static_cast<win::WParam>(cmd::kSTStatistic));
  Pump();
  EXPECT_EQ(statistics_run.size(), 1u);
  EXPECT_EQ(sves_count(), before + 1);
}

// The go-to keys move the navigation screen to the stored extreme; a key whose command nothing
// on the screen answers does nothing.
TEST_F(CommandRoutesTest, GoToKeysMoveToTheStoredPositions) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  Show(DisplayMode::kNavigation, 0, hint::kDisplayModeChanged);
  Doc().RecalcHeartRateExtremes(0, 0, 1);
  struct Case {
    int key;
    bool shift;
    int32_t (CZK470Doc::*position)() const;
  };
  const Case kCases[] = {{'1', false, &CZK470Doc::GetHRMinPosition},
                         {'2', false, &CZK470Doc::GetHRMaxPosition},
                         {'5', false, &CZK470Doc::GetRRMinPosition},
                         {'8', false, &CZK470Doc::GetNNMaxPosition}};
  win::Windows().SetFocus(GetActiveZK470View());
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "Ctrl+" << static_cast<char>(c.key));
    const int32_t stored = (Doc().*c.position)();
    ASSERT_NE(stored, -1);
    Doc().SetCurrentPosition(0, 0);
    win::Windows().SetKeyDown(win::kVkControl, true);
    win::Windows().PressKey(c.key);
    win::Windows().SetKeyDown(win::kVkControl, false);
    Pump();
    EXPECT_EQ(Doc().GetCurrentPosition(), Doc().SamplesToMs(stored));
  }
  // Set the mark, move away, and return to it with the keys.
  Doc().SetCurrentPosition(4000, 0);
  win::Windows().SetKeyDown(win::kVkControl, true);
  win::Windows().PressKey('M');
  win::Windows().SetKeyDown(win::kVkControl, false);
  Pump();
  Doc().SetCurrentPosition(0, 0);
  win::Windows().SetKeyDown(win::kVkControl, true);
  win::Windows().PressKey('G');
  win::Windows().SetKeyDown(win::kVkControl, false);
  Pump();
  EXPECT_EQ(Doc().GetCurrentPosition(), 4000);
}

// Repeating the pacemaker analysis needs an analysed recording of a recorder that records the
// pacemaker spikes.
TEST_F(CommandRoutesTest, PacemakerAnalysisIsOfferedForAnAnalysedPacedRecording) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  struct Case {
    const char* name;
    int32_t paced;
    bool analysed;
    bool enabled;
  };
  constexpr Case kCases[] = {{"analysed, paced", 1, true, true},
                             {"analysed, not paced", 0, true, false},
                             {"not analysed, paced", 1, false, false}};
  const int32_t threshold = Doc().GetRecordingData().bradycardia_threshold;
  ASSERT_NE(threshold, -1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Doc().GetRecordingData().pacemaker_recording = c.paced;
    Doc().GetRecordingData().bradycardia_threshold = c.analysed ? threshold : -1;
    EXPECT_EQ(win::UpdateCommand(Frame().MainMenuRoute(), cmd::kPacemakerAnalysis).Enabled(), c.enabled);
  }
}

}  // namespace
}  // namespace coretest
