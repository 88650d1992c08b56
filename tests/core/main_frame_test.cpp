#include "core/main_frame.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/about_dlg.h"
#include "core/app_fixture.h"
#include "core/core_ids.h"
#include "core/main_toolbars.h"
#include "core/menu_bar.h"
#include "core/zk470_view.h"
#include "support/test_recordings.h"
#include "win/command_target.h"

namespace coretest {
namespace {

namespace ids = core_ids;
namespace fs = std::filesystem;

using MainFrameTest = AppTest;

TEST_F(MainFrameTest, PlainStartShowsTheEmptyFrameWithItsBars) {
  ASSERT_TRUE(Start({}));
  Pump();
  CMainFrame& frame = Frame();
  EXPECT_EQ(win::Windows().MainWindow(), &frame);
  EXPECT_EQ(frame.ClassName(), "ZK470Class");
  EXPECT_EQ(frame.GetWindowText(), "KESTROVA ZK-470 Holter-ECG - Untitled");
  ASSERT_NE(frame.GetMenu(), nullptr);
  EXPECT_EQ(MenuDisplayText(frame.GetMenu()->At(0).text), "File");
  EXPECT_NE(dynamic_cast<CZK470View*>(frame.GetActiveView()), nullptr);

  // The status bar: seven panes; the built-in engine, and no recording.
  CStatusBar& status = frame.GetStatusBar();
  ASSERT_EQ(status.PaneCount(), 7u);
  const int indicators[] = {0, 59144, 59143, 59145, 59137, 59138, 59139};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(status.GetItemID(i), indicators[i]);
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_EQ(Pane(CMainFrame::kPaneEngine), "  Olvek 1.78");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), "");
  EXPECT_EQ(Pane(CMainFrame::kPaneViewChannels), "");

  // The main toolbar with its drop-down arrows, the time-span combo with all its spans.
  CMainToolBar& bar = *frame.GetMainToolBar();
  for (const int id : {32821, 57601, 57603, 33216, 32817, 32816}) EXPECT_TRUE(bar.HasDropDownArrow(id)) << id;
  EXPECT_FALSE(bar.HasDropDownArrow(cmd::kAppAbout));
  win::ComboBox& combo = frame.GetTimeSpanToolBar()->Combo();
  ASSERT_EQ(combo.GetCount(), 5);
  EXPECT_EQ(combo.GetLBText(3), "  6h");
  EXPECT_EQ(combo.GetCurSel(), 0);
  EXPECT_EQ(CTimeSpanToolBar::GetSelectedSpan(), 0);

  // Commands nobody handles yet are disabled; the application's are enabled.
  frame.OnIdleUpdate();
  EXPECT_FALSE(bar.Model().Find(cmd::kPrintWholeReport)->enabled);
  EXPECT_TRUE(bar.Model().Find(cmd::kAppAbout)->enabled);
  EXPECT_TRUE(bar.Model().Find(cmd::kFileOpen)->enabled);
  EXPECT_FALSE(bar.Model().Find(cmd::kAnalyzeRecording)->enabled);
}

TEST_F(MainFrameTest, EnginePaneFollowsAnalysisMode) {
  struct Case {
    const char* name;
    int mode;
    bool library;
    const char* want;
    int mode_after;
  };
  constexpr Case kCases[] = {
      {"built-in", 0, false, "  Olvek 1.78", 0},
      {"library", 1, true, "  VRA 1.02.03.04", 1},
      {"library that failed to load", 1, false, "  Olvek 1.78", 0},
      {"second dialog", 2, false, "  Error", 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    app_.reset();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    win::Windows().SetModalIdleHandler([this](win::Window* modal) { return Idle(modal); });
    profile_.WriteInt("User", "AnalyzeModus", c.mode);
    library_version_ = nullptr;
    if (c.library) library_version_ = [] { return 0x01020304u; };
    ASSERT_TRUE(Start({}));
    Pump();
    EXPECT_EQ(Pane(CMainFrame::kPaneEngine), c.want);
    EXPECT_EQ(Doc().GetSettings().Int(SettingKey::kUserAnalyzeModus), c.mode_after);
  }
}

TEST_F(MainFrameTest, ChannelPanesOfAnOpenRecording) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2);
  ASSERT_TRUE(Start({qrs.string()}));
  Pump();
  EXPECT_EQ(Frame().GetWindowText(), "KESTROVA ZK-470 Holter-ECG - 00001.QRS");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
  EXPECT_EQ(app_->GetRecentFileName(0), qrs.string());

  Doc().GetRecordingData().pause_threshold = 1;
  document::ChannelSet& analysed = document::Context().g_AnalysisChannels;
  analysed.count = 1;
  analysed.channels[0] = 1;
  Frame().OnRefreshStatusPanes();
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : analysed (2)");
  analysed.count = 2;
  analysed.channels = {0, 1, 0};
  Frame().OnRefreshStatusPanes();
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : analysed (1) + (2)");

  EXPECT_EQ(Pane(CMainFrame::kPaneViewChannels), "");
  Doc().SetDisplayMode(DisplayMode::kEcgPage);
  document::Context().g_DisplayChannels.count = 2;
  document::Context().g_DisplayChannels.channels = {0, 2, 1};
  Frame().OnRefreshStatusPanes();
  EXPECT_EQ(Pane(CMainFrame::kPaneViewChannels), "Channel view: View (1) + (3)");
}

TEST_F(MainFrameTest, GermanPackGivesGermanTexts) {
  profile_.WriteInt("Language", "Language", 1);
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2);
  ASSERT_TRUE(Start({qrs.string()}));
  Pump();
  EXPECT_EQ(MenuDisplayText(Frame().GetMenu()->At(0).text), "Datei");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Kanäle : - analysiert");
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Bereit");
}

TEST_F(MainFrameTest, TimeSpanChoicesFollowRecordingLength) {
  ASSERT_TRUE(Start({}));
  struct Case {
    int minutes;
    std::vector<std::string> want;
  };
  const Case kCases[] = {
      {1441, {"All", "24h", "12h", " 6h", " 3h"}},
      {1440, {"All", "12h", " 6h", " 3h"}},
      {181, {"All", " 3h"}},
      {180, {"All"}},
  };
  win::ComboBox& combo = Frame().GetTimeSpanToolBar()->Combo();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.minutes);
    CTimeSpanToolBar::FillSpans(c.minutes);
    std::vector<std::string> entries;
    for (int i = 0; i < combo.GetCount(); ++i) entries.push_back(combo.GetLBText(i));
    EXPECT_EQ(entries, c.want);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(CTimeSpanToolBar::HasSpanChoice(), c.want.size() > 1);
  }
  // The code behind an entry, not its index: 1440 minutes have no "24h". The box takes a choice
  // on a screen whose span can move.
  CTimeSpanToolBar::FillSpans(1440);
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  Frame().OnIdleUpdate();
  EXPECT_EQ(Frame().GetTimeSpanToolBar()->Combo().DropDown([](PopupMenuWnd& list) { list.ChooseItem(1); }), 1);
  EXPECT_EQ(CTimeSpanToolBar::GetSelectedSpan(), 2);
}

TEST_F(MainFrameTest, ToolbarDropDownShowsTheButtonsMenu) {
  ASSERT_TRUE(Start({}));
  Pump();
  struct Case {
    int button;
    std::vector<int> want;
  };
  const Case kCases[] = {
      {cmd::kAnalyzeRecording, {32817, 32844, 32907, 32986}},
      // The tape read-in has no link here: its entry goes.
      {cmd::kReadRecorder, {32821, 33237, 33238}},
      {cmd::kFileOpen, {57601, 57600, 57602}},
      {cmd::kPrintWholeReport, {32816, 33034}},
      {cmd::kFileSave, {57603, 57604}},
      {cmd::kSend, {33213, 33214}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.button);
    std::vector<int> shown;
    const int chosen = Frame().OnToolbarDropDown(c.button, {10, 10, 40, 32}, [&](PopupMenuWnd& menu) {
      EXPECT_EQ(menu.GetWindowRect().left, 10);
      EXPECT_EQ(menu.GetWindowRect().top, 32);
      menu.Close(0);
    });
    EXPECT_EQ(chosen, 0);
  }
  // Choosing an enabled entry runs it: New from the open button's menu.
  const int chosen = Frame().OnToolbarDropDown(cmd::kFileOpen, {0, 0, 30, 22}, [](PopupMenuWnd& menu) {
    // Entry 1 is New; Close (entry 2) is disabled without a recording and cannot be chosen.
    menu.ChooseItem(2);
    EXPECT_FALSE(menu.Closed());
    menu.ChooseItem(1);
  });
  EXPECT_EQ(chosen, cmd::kFileNew);
  EXPECT_EQ(Frame().OnToolbarDropDown(cmd::kAppAbout, {0, 0, 30, 22}), 0);
}

TEST_F(MainFrameTest, DropDownMenuEntriesMatchTheirTemplates) {
  ASSERT_TRUE(Start({}));
  const struct {
    int button;
    int menu;
  } kMenus[] = {{32816, 213}, {32817, 293}, {32821, 212}, {33216, 292}, {57601, 130}, {57603, 291}};
  for (const auto& m : kMenus) {
    SCOPED_TRACE(m.menu);
    std::optional<win::Menu> menu = LoadMenuResource(m.menu);
    ASSERT_TRUE(menu.has_value());
    ASSERT_NE(menu->SubMenu(0), nullptr);
    win::Menu expected = *menu->SubMenu(0);
    expected.DeleteItem(cmd::kReadTape);
    size_t count = 0;
    Frame().OnToolbarDropDown(m.button, {0, 0, 30, 22}, [&](PopupMenuWnd& popup) {
      for (size_t i = 0; !popup.ItemRect(i).IsEmpty(); ++i) ++count;
      popup.Close(0);
    });
    EXPECT_EQ(count, expected.Count());
  }
}

TEST_F(MainFrameTest, MenuBarOpensPopupsAndRunsTheChosenCommand) {
  ASSERT_TRUE(Start({}));
  Pump();
  MenuBarWnd& bar = Frame().GetMenuBar();
  EXPECT_FALSE(bar.TitleRect(7).IsEmpty());
  EXPECT_TRUE(bar.TitleRect(8).IsEmpty());
  // Help: About. The About box then opens from the posted command; the test closes it.
  bool about_seen = false;
  on_idle_ = [&](win::Window* modal) {
    auto* about = dynamic_cast<CAboutDlg*>(modal);
    if (about == nullptr || about_seen) return false;
    about_seen = true;
    EXPECT_TRUE(about->GetWindowText().ends_with(" ZK-470")) << about->GetWindowText();
    EXPECT_EQ(about->GetDlgItemText(CAboutDlg::kVersionId), "1.78");
    EXPECT_EQ(about->GetDlgItemText(CAboutDlg::kBuildId), "2.04");
    EXPECT_EQ(about->GetDlgItemText(CAboutDlg::kTitleId), "KESTROVA ZK-470 Holter-ECG");
    EXPECT_FALSE(about->HasLogo());
    about->SendMessage(win::kWmCommand, win::kIdOk);
    return true;
  };
  const int chosen = bar.OpenPopup(7, [](PopupMenuWnd& menu) {
    menu.SendMessage(win::kWmKeyDown, win::kVkDown);
    menu.SendMessage(win::kWmKeyDown, win::kVkReturn);
  });
  EXPECT_EQ(chosen, cmd::kAppAbout);
  Pump();
  EXPECT_TRUE(about_seen);
  // Escape closes a menu with nothing chosen.
  EXPECT_EQ(bar.OpenPopup(0, [](PopupMenuWnd& menu) { menu.SendMessage(win::kWmKeyDown, win::kVkEscape); }), 0);
}

TEST_F(MainFrameTest, RecentFilesGetTheirImagesInTheFileMenu) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2);
  profile_.WriteString("Recent File List", "File1", (Folder("rec") / "report.pdf").string());
  ASSERT_TRUE(Start({qrs.string()}));
  Pump();
  std::vector<std::string> entries;
  Frame().GetMenuBar().OpenPopup(0, [&](PopupMenuWnd& menu) { menu.Close(0); });
  win::Menu file = *Frame().GetMenu()->SubMenu(0);
  Frame().UpdateRecentFileMenu(file);
  for (size_t i = 0; i < file.Count(); ++i) entries.push_back(file.At(i).text);
  EXPECT_NE(std::find(entries.begin(), entries.end(), "&1 " + qrs.string()), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "&2 " + (Folder("rec") / "report.pdf").string()), entries.end());
  EXPECT_EQ(Frame().MenuImage(cmd::kFileMruFirst), ToolGlyph::kQrs);
  EXPECT_EQ(Frame().MenuImage(cmd::kFileMruFirst + 1), ToolGlyph::kPdf);
}

TEST_F(MainFrameTest, UpdateHandlersOfTheFrameAndTheApplication) {
  ASSERT_TRUE(Start({}));
  Pump();
  EXPECT_TRUE(win::UpdateCommand(Frame(), cmd::kFileNew).Enabled().value());
  // Without the reports' test-data dialog the narrative test has nothing to show.
  EXPECT_FALSE(win::UpdateCommand(Frame(), cmd::kNarrativeTest).Enabled().value());
  EXPECT_TRUE(win::UpdateCommand(Frame(), cmd::kNoAction32840).Enabled().value());
  EXPECT_FALSE(win::UpdateCommand(Frame(), cmd::kFileClose).Enabled().value());
  EXPECT_FALSE(win::UpdateCommand(Frame(), cmd::kFileSave).Enabled().value());
  EXPECT_FALSE(win::UpdateCommand(Frame(), cmd::kFileMruFirst).Enabled().value());

  app_.reset();
  ResetProcessState();
  win::Windows().SetClock(&clock_);
  ASSERT_TRUE(Start({"-AnalyzeRecording", "x"}));
  EXPECT_FALSE(win::UpdateCommand(Frame(), cmd::kFileNew).Enabled().value());
}

TEST_F(MainFrameTest, SplashShowsForPlainStartsOnly) {
  ASSERT_TRUE(Start({}));
  ASSERT_NE(CSplashWindow::Current(), nullptr);
  const gfx::Rect r = CSplashWindow::Current()->GetWindowRect();
  EXPECT_EQ(r.Width(), PictureSize(ids::kSplashBitmap)->cx);
  // A key press closes it, and the key goes on.
  win::Windows().KeyInput(win::kWmKeyDown, 'A');
  EXPECT_EQ(CSplashWindow::Current(), nullptr);

  app_.reset();
  ResetProcessState();
  win::Windows().SetClock(&clock_);
  ASSERT_TRUE(Start({}));
  ASSERT_NE(CSplashWindow::Current(), nullptr);
  clock_.Advance(1249);
  Pump();
  EXPECT_NE(CSplashWindow::Current(), nullptr);
  clock_.Advance(1);
  Pump();
  EXPECT_EQ(CSplashWindow::Current(), nullptr);

  app_.reset();
  ResetProcessState();
  win::Windows().SetClock(&clock_);
  ASSERT_TRUE(Start({"-AnalyzeRecording", "x"}));
  EXPECT_EQ(CSplashWindow::Current(), nullptr);
  // Unknown pictures show nothing.
  CSplashWindow splash;
  EXPECT_FALSE(splash.Create(&Frame(), 999));
}

// A 2 x 2, 8-bit BMP with a grey colour table.
void WriteSmallBmp(const fs::path& file) {
  std::vector<uint8_t> bytes = {'B', 'M'};
  const auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  const auto u16 = [&](uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  };
  const uint32_t offset = 14 + 40 + 256 * 4;
  u32(offset + 8);
  u32(0);
  u32(offset);
  u32(40);
  u32(2);
  u32(2);
  u16(1);
  u16(8);
  for (int i = 0; i < 6; ++i) u32(0);
  for (int i = 0; i < 256; ++i) u32(static_cast<uint32_t>(i * 0x010101));
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(i * 30));
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

TEST_F(MainFrameTest, AboutBoxShowsTheLogoOfTheMainDirectory) {
  ASSERT_TRUE(Start({}));
  const fs::path main = Folder("main");
  struct Case {
    const char* name;
    bool write_logo;
    bool want_logo;
  };
  constexpr Case kCases[] = {{"no logo file", false, false}, {"a logo", true, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.write_logo) WriteSmallBmp(main / "Main_Logp.bmp");
    CAboutDlg about(main.string(), &Frame());
    on_idle_ = [&](win::Window* modal) {
      if (modal != &about) return false;
      about.SendMessage(win::kWmCommand, win::kIdOk);
      return true;
    };
    bool has_logo = false;
    win::Windows().SetModalIdleHandler([&](win::Window* modal) {
      has_logo = about.HasLogo();
      return Idle(modal);
    });
    EXPECT_EQ(about.DoModal(), win::kIdOk);
    EXPECT_EQ(has_logo, c.want_logo);
    if (c.want_logo) {
      EXPECT_EQ(about.LogoWidth(), 2);
      EXPECT_TRUE(about.HasPalette());
    }
  }
}

TEST_F(MainFrameTest, RaiseRequestRestoresTheMinimisedFrame) {
  ASSERT_TRUE(Start({}));
  Frame().ShowWindow(win::kSwMinimize);
  ASSERT_TRUE(Frame().IsMinimized());
  app_->OnRaiseRequest();
  EXPECT_FALSE(Frame().IsMinimized());
  EXPECT_EQ(app_->RaiseRequestCount(), 1);
}

// A running instance as the start-up sees it.
class FakeInstance : public InstanceChannel {
 public:
  explicit FakeInstance(bool running) : running_(running) {}
  bool FindRunningInstance() override { return running_; }
  void RaiseRunningInstance(const std::string& file) override {
    ++raised;
    handed_file = file;
  }
  void Listen(std::function<void(const std::string&)> on_raise) override { listened = std::move(on_raise); }
  int raised = 0;
  std::string handed_file;
  std::function<void(const std::string&)> listened;

 private:
  bool running_;
};

TEST_F(MainFrameTest, SingleInstanceCheck) {
  struct Case {
    const char* name;
    bool running;
    std::vector<std::string> args;
    bool want_start;
    int want_raised;
    bool want_listen;
    fs::path want_file = "";  // handed to the running instance; relative: to the caller's folder
  };
  const Case kCases[] = {
      {"first plain start", false, {}, true, 0, true},
      {"second plain start", true, {}, false, 1, false},
      {"second start with a file", true, {"/tmp/x/00001.QRS"}, false, 1, false, "/tmp/x/00001.QRS"},
      // The running instance has a working folder of its own.
      {"second start with a relative file", true, {"x/00001.QRS"}, false, 1, false, "x/00001.QRS"},
      {"second start of a GDT link", true, {"/G:ZK470.GDTS"}, false, 1, false},
      {"second start with a complete command", true, {"-Export", "*.QRS", "/tmp/r.txt"}, true, 0, false},
      {"second start with a broken command line", true, {"-Export", "*.QRS"}, true, 0, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    app_.reset();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    FakeInstance instance(c.running);
    app_ = std::make_unique<CZK470App>(profile_);
    CZK470App::StartupOptions options;
    options.args = c.args;
    options.clock = &clock_;
    options.settings_defaults.home = (root_ / "home").string();
    options.instance = &instance;
    options.library_version = []() -> uint32_t { throw platform::IoError("libVRA.so", "not installed"); };
    const fs::path caller_folder = fs::current_path();
    EXPECT_EQ(app_->InitInstance(std::move(options)), c.want_start);
    EXPECT_EQ(instance.raised, c.want_raised);
    EXPECT_EQ(instance.handed_file, c.want_file.empty() ? "" : (caller_folder / c.want_file).string());
    EXPECT_EQ(static_cast<bool>(instance.listened), c.want_listen);
    if (c.running && c.want_start) {
      // The dispatcher ends an automation start beside a running instance with code 1.
      Pump();
      EXPECT_TRUE(win::Windows().QuitRequested());
      EXPECT_EQ(win::Windows().QuitCode(), 1);
    }
    if (instance.listened) {
      instance.listened("");
      EXPECT_EQ(app_->RaiseRequestCount(), 1);
    }
    app_.reset();
  }
}

TEST_F(MainFrameTest, AFileHandedOverOpensUnlessADialogHoldsTheFrame) {
  const fs::path first = MakeSyntheticRecording(Folder("a") / "00001", 2);
  const fs::path second = MakeSyntheticRecording(Folder("b") / "00002", 2);
  ASSERT_TRUE(Start({first.string()}));
  Pump();

  // Under a dialog the frame only comes forward; the recording shown stays.
  Frame().EnableWindow(false);
  app_->OnRaiseRequest(second.string());
  EXPECT_EQ(Doc().GetPathName(), first.string());
  Frame().EnableWindow(true);

  app_->OnRaiseRequest(second.string());
  Pump();
  EXPECT_EQ(Doc().GetPathName(), second.string());
  EXPECT_EQ(Frame().GetWindowText(), "KESTROVA ZK-470 Holter-ECG - 00002.QRS");
  EXPECT_EQ(app_->RaiseRequestCount(), 2);
}

}  // namespace
}  // namespace coretest
