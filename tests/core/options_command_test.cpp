// The options command: the sheet's pages, what OK stores and what it refuses.
#include "core/options_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "core/resource_packs.h"
#include "core/view_pages.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/gdt_page.h"
#include "dialogs/io_port_page.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/print_setup_page.h"
#include "dialogs/small_value_dlgs.h"
#include "document/raw_ecg_data.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "win/controls.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

class OptionsCommandTest : public ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    AddOptionsPageResources(platform::Resources().ExePack());
    SpyHints(hint::kDocumentChanged, &changed_hints_);
  }

  // Runs the command; step gets the sheet once it is shown.
  void RunCommand(const std::function<void(TOptionsSheet&)>& step) {
    bool stepped = false;
    on_idle_ = [&](win::Window* modal) {
      auto* sheet = dynamic_cast<TOptionsSheet*>(modal);
      if (sheet == nullptr || stepped) return false;
      stepped = true;
      step(*sheet);
      return true;
    };
    RunOptionsCommand(View());
    on_idle_ = nullptr;
  }

  void Type(win::PropertySheet& sheet, win::PropertyPage& page, int id, const std::string& text) {
    ASSERT_TRUE(sheet.SetActivePage(page));
    page.Item<win::Edit>(id)->SetTextFromUser(text);
  }
  void Choose(win::PropertySheet& sheet, win::PropertyPage& page, int id, int index) {
    ASSERT_TRUE(sheet.SetActivePage(page));
    page.Item<win::ComboBox>(id)->SetCurSel(index);
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log()) {
      if (asked.kind == "message") texts.push_back(asked.text);
    }
    return texts;
  }

  // Logs of nodes added to a layout, alive as long as the layouts are.
  RecordingNode::Log& NewNodeOnShownLayout() {
    node_logs_.emplace_back();
    GetDefaultLayouts()->GetAt(Layout())->AddChild(
        std::make_unique<RecordingNode>(nullptr, &node_logs_.back()));
    return node_logs_.back();
  }

  int changed_hints_ = 0;
  std::deque<RecordingNode::Log> node_logs_;
};

TEST_F(OptionsCommandTest, OkStoresEveryKeyAndANewDocumentReadsThem) {
  const fs::path data = Folder("opt") / "new" / "data";
  const fs::path exported = Folder("opt") / "export";
  const fs::path exchange = Folder("opt") / "gdt" / "in";
  Doc().GetSettings().SetInt(SettingKey::kSetupFontSize, 6);
  EXPECT_TRUE(PrintDialogWanted());
  RunCommand([&](TOptionsSheet& sheet) {
    EXPECT_EQ(sheet.GetPageCount(), 8);
    EXPECT_EQ(sheet.GetPage(0), &sheet.PrintSetup());
    EXPECT_EQ(sheet.GetPage(4), static_cast<win::PropertyPage*>(&sheet.IOPort()));
    EXPECT_EQ(sheet.GetPage(5), &sheet.GDT());
    EXPECT_FALSE(sheet.HasApplyButton());
    EXPECT_FALSE(sheet.HasHelpButton());
    // The font slider takes the placeholder's place and the stored size.
    TPrintSetupPage& setup = sheet.PrintSetup();
    ASSERT_TRUE(sheet.SetActivePage(setup));
    EXPECT_EQ(setup.Slider().GetDlgCtrlID(), TPrintSetupPage::kSliderId);
    EXPECT_EQ(setup.Slider().GetWindowRectInParent(),
              setup.GetDlgItem(TPrintSetupPage::kSliderPlaceId)->GetWindowRectInParent());
    EXPECT_EQ(setup.Slider().GetRange(), std::make_pair(0, 10));
    EXPECT_EQ(setup.Slider().GetPos(), 6);
    EXPECT_EQ(setup.Item<win::Edit>(TPrintSetupPage::kLeftMarginId)->GetWindowText(), "0.4");
    EXPECT_EQ(setup.Item<win::Edit>(TPrintSetupPage::kTopMarginId)->GetWindowText(), "0.5");
    EXPECT_EQ(setup.Item<win::Button>(TPrintSetupPage::kShowPrintDlgId)->GetCheck(), 1);
    Type(sheet, setup, TPrintSetupPage::kLeftMarginId, "0.75");
    // Stored as typed: the printing engine makes a margin of 0 of it.
    Type(sheet, setup, TPrintSetupPage::kTopMarginId, "abc");
    setup.Slider().SetPosFromUser(9);
    setup.Item<win::Button>(TPrintSetupPage::kShowPrintDlgId)->Click();
    Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, 1);
    Choose(sheet, sheet.Units(), TUnitsPage::kCableSetId, 1);
    Type(sheet, sheet.Directories(), TDirectoriesPage::kDataId, data.string());
    Type(sheet, sheet.Directories(), TDirectoriesPage::kExportId, exported.string());
    Type(sheet, sheet.Directories(), TDirectoriesPage::kSDCardId, "~/card");
    Choose(sheet, sheet.AutoDelete(), TAutoDeletePage::kChoiceId, 3);
    ASSERT_TRUE(sheet.SetActivePage(sheet.GDT()));
    sheet.GDT().Item<win::Button>(TGDTPage::kSwitchId)->Click();
    Type(sheet, sheet.GDT(), TGDTPage::kFolderId, exchange.string());
    Type(sheet, sheet.GDT(), TGDTPage::kOwnShortNameId, "HOL");
    Type(sheet, sheet.GDT(), TGDTPage::kPracticeShortNameId, "");
    Type(sheet, sheet.OfficeAddress(), OfficeAddressDlg::kAddressId, "Dr. A\nMain Street 1");
    Type(sheet, sheet.TapeSettings(), TTapeSettingsPage::kCalDataLenId, "30");
    Choose(sheet, sheet.TapeSettings(), TTapeSettingsPage::kSpeedId, 1);
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(fs::is_directory(data));
  EXPECT_TRUE(fs::is_directory(root_ / "home" / "card"));
  EXPECT_TRUE(fs::is_directory(exchange));
  EXPECT_EQ(fs::current_path(), data);
  EXPECT_EQ(changed_hints_, 1);
  // The printers' dialog follows the switch at once.
  EXPECT_FALSE(PrintDialogWanted());

  CZK470Doc fresh(profile_, clock_, SettingsDefaults{(root_ / "home").string(), ""});
  fresh.LoadSettings();
  const SettingsStore& s = fresh.GetSettings();
  EXPECT_EQ(s.Text(SettingKey::kSetupMarginsLeft), "0.75");
  EXPECT_EQ(s.Text(SettingKey::kSetupMarginsTop), "abc");
  EXPECT_EQ(s.Int(SettingKey::kSetupFontSize), 9);
  EXPECT_EQ(s.Int(SettingKey::kSetupShowPrintDlg), 0);
  EXPECT_EQ(s.Int(SettingKey::kUnits), 1);
  EXPECT_EQ(s.Int(SettingKey::kCableSet), 1);
  EXPECT_EQ(fresh.GetDataDirectory(), data.string());
  EXPECT_EQ(fresh.GetExportDirectory(), exported.string());
  EXPECT_EQ(fresh.GetSDCardDirectory(), (root_ / "home" / "card").string());
  EXPECT_EQ(s.Int(SettingKey::kAutoDeleteFiles), 3);
  EXPECT_EQ(s.Text(SettingKey::kUserOfficeAddress), "Dr. A\nMain Street 1");
  EXPECT_EQ(s.Int(SettingKey::kTapeCalDataLen), 30);
  EXPECT_EQ(s.Int(SettingKey::kTapeSpeed), 1);
  EXPECT_EQ(fresh.GetGDTDirectory(), exchange.string());
  EXPECT_EQ(s.Int(SettingKey::kGDTOn), 1);
  EXPECT_EQ(s.Text(SettingKey::kGDTZK470Shorty), "HOL");
  // The page checks no name: an empty one is stored as it is.
  EXPECT_EQ(s.Text(SettingKey::kGDTEDVShorty), "");
}

// The slider counts only when the page was shown: a sheet opened on another page and confirmed
// keeps the font size, while the margins and the switch are stored as the page holds them.
TEST_F(OptionsCommandTest, FontSizeIsStoredOnlyWhenThePageWasShown) {
  struct Case {
    const char* name;
    int start_page;
    int slider;  // -1: left alone
    int want_font_size;
  };
  const Case cases[] = {
      {"never shown", 1, -1, 8},
      {"shown, slider left", 0, -1, 8},
      {"shown, slider moved", 0, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsStore& settings = Doc().GetSettings();
    settings.SetInt(SettingKey::kSetupFontSize, 8);
    settings.SetText(SettingKey::kSetupMarginsLeft, "1.0");
    TOptionsSheet sheet(TOptionsSheet::kCaptionId, nullptr, c.start_page, Doc());
    on_idle_ = [&](win::Window* modal) {
      if (modal != &sheet || !sheet.IsWindow()) return false;
      if (c.slider >= 0) sheet.PrintSetup().Slider().SetPosFromUser(c.slider);
      sheet.PressButton(win::kIdOk);
      return true;
    };
    ASSERT_EQ(sheet.DoModal(), win::kIdOk);
    on_idle_ = nullptr;
    EXPECT_EQ(sheet.PrintSetup().initialised, c.start_page == 0 ? 1 : 0);
    settings.SetText(SettingKey::kSetupMarginsLeft, "0.1");
    StorePrintSetup(sheet.PrintSetup(), settings);
    EXPECT_EQ(settings.Int(SettingKey::kSetupFontSize), c.want_font_size);
    EXPECT_EQ(settings.Text(SettingKey::kSetupMarginsLeft), "1.0");
    EXPECT_EQ(settings.Int(SettingKey::kSetupShowPrintDlg), 1);
  }
}

TEST_F(OptionsCommandTest, CancelChangesNothing) {
  const std::string before = Doc().GetDataDirectory();
  RunCommand([&](TOptionsSheet& sheet) {
    Type(sheet, sheet.Directories(), TDirectoriesPage::kDataId, (root_ / "never").string());
    Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, 1);
    ASSERT_TRUE(sheet.SetActivePage(sheet.GDT()));
    sheet.GDT().Item<win::Button>(TGDTPage::kSwitchId)->Click();
    Type(sheet, sheet.GDT(), TGDTPage::kFolderId, (root_ / "never_gdt").string());
    Type(sheet, sheet.GDT(), TGDTPage::kOwnShortNameId, "XYZ");
    sheet.PressButton(win::kIdCancel);
  });
  EXPECT_EQ(Doc().GetDataDirectory(), before);
  EXPECT_NE(Doc().GetSettings().Int(SettingKey::kUnits), 1);
  EXPECT_FALSE(fs::exists(root_ / "never"));
  EXPECT_FALSE(fs::exists(root_ / "never_gdt"));
  EXPECT_EQ(Doc().GetSettings().Int(SettingKey::kGDTOn), 0);
  EXPECT_EQ(Doc().GetSettings().Text(SettingKey::kGDTZK470Shorty), "ZK4");
  EXPECT_EQ(changed_hints_, 0);
}

// A refused value keeps the sheet open on its page and applies nothing.
TEST_F(OptionsCommandTest, RefusalKeepsThePage) {
  // A file where a folder must go: no permission bits involved, so it holds for the super-user too.
  const fs::path blocker = Folder("opt") / "blocker";
  std::ofstream(blocker) << "x";
  struct Case {
    const char* name;
    int page;  // index in the sheet
    int id;
    std::string typed;
    std::string message_start;
  };
  const std::vector<Case> cases = {
      {"tape 31", 7, TTapeSettingsPage::kCalDataLenId, "31", "Please enter an integer between 0 and 30."},
      {"relative folder", 2, TDirectoriesPage::kDataId, "data/here", "data/here\nPlease enter a full path"},
      {"uncreatable folder", 2, TDirectoriesPage::kExportId, (blocker / "sub").string(),
       (blocker / "sub").string() + "\nThis folder cannot be created: " + blocker.string()},
      {"relative exchange folder", 5, TGDTPage::kFolderId, "gdt", "gdt\nPlease enter a full path"},
      {"uncreatable exchange folder", 5, TGDTPage::kFolderId, (blocker / "gdt").string(),
       (blocker / "gdt").string() + "\nThis folder cannot be created: " + blocker.string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    const int units_before = Doc().GetSettings().Int(SettingKey::kUnits);
    RunCommand([&](TOptionsSheet& sheet) {
      Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, 1 - units_before);
      if (c.page == 5) {
        ASSERT_TRUE(sheet.SetActivePage(sheet.GDT()));
        sheet.GDT().Item<win::Button>(TGDTPage::kSwitchId)->Click();
      }
      Type(sheet, *sheet.GetPage(c.page), c.id, c.typed);
      // OK from another page: the faulty page comes back.
      if (c.page == 2 || c.page == 5) {
        ASSERT_TRUE(sheet.SetActivePage(0));
      }
      sheet.PressButton(win::kIdOk);
      EXPECT_EQ(sheet.GetActiveIndex(), c.page);
      EXPECT_TRUE(sheet.IsWindow());
      sheet.PressButton(win::kIdCancel);
    });
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with(c.message_start)) << messages[0];
    EXPECT_EQ(Doc().GetSettings().Int(SettingKey::kUnits), units_before);
    EXPECT_EQ(changed_hints_, 0);
  }
}

TEST_F(OptionsCommandTest, DirectoriesPageHidesTheDayExportAndBrowseFillsTheField) {
  const std::string chosen = Folder("picked").string();
  prompt_.QueueFolder(chosen);
  RunCommand([&](TOptionsSheet& sheet) {
    TDirectoriesPage& page = sheet.Directories();
    ASSERT_TRUE(sheet.SetActivePage(page));
    for (int id : {TDirectoriesPage::kExport24HLabelId, TDirectoriesPage::kExport24HId,
                   TDirectoriesPage::kBrowseExport24HId}) {
      EXPECT_FALSE(page.GetDlgItem(id)->IsWindowVisible()) << id;
    }
    page.SendMessage(win::kWmCommand, TDirectoriesPage::kBrowseDataId);
    EXPECT_EQ(page.Item<win::Edit>(TDirectoriesPage::kDataId)->GetWindowText(), chosen);
    sheet.PressButton(win::kIdCancel);
  });
}

// The folder, its browse button and both names are greyed while the link is off; the browse
// button fills the folder and keeps what was typed in the names.
TEST_F(OptionsCommandTest, GdtPageGreysItsFieldsWhileTheLinkIsOff) {
  const std::string chosen = Folder("picked_gdt").string();
  prompt_.QueueFolder(std::nullopt);
  prompt_.QueueFolder(chosen);
  RunCommand([&](TOptionsSheet& sheet) {
    TGDTPage& page = sheet.GDT();
    const auto enabled = [&page] {
      std::vector<bool> states;
      for (int id : {TGDTPage::kFolderId, TGDTPage::kBrowseId, TGDTPage::kOwnShortNameId,
                     TGDTPage::kPracticeShortNameId})
        states.push_back(page.GetDlgItem(id)->IsWindowEnabled());
      return states;
    };
    const std::vector<bool> all(4, true);
    const std::vector<bool> none(4, false);
    ASSERT_TRUE(sheet.SetActivePage(page));
    EXPECT_EQ(enabled(), none) << "off when shown";
    auto* check = page.Item<win::Button>(TGDTPage::kSwitchId);
    check->Click();
    EXPECT_EQ(enabled(), all);
    check->Click();
    EXPECT_EQ(enabled(), none) << "off as soon as cleared";
    check->Click();
    // Another page and back: the switch still rules.
    ASSERT_TRUE(sheet.SetActivePage(0));
    ASSERT_TRUE(sheet.SetActivePage(page));
    EXPECT_EQ(enabled(), all);

    auto* folder = page.Item<win::Edit>(TGDTPage::kFolderId);
    const std::string before = folder->GetWindowText();
    page.Item<win::Edit>(TGDTPage::kOwnShortNameId)->SetTextFromUser("ABC");
    page.SendMessage(win::kWmCommand, TGDTPage::kBrowseId);
    EXPECT_EQ(folder->GetWindowText(), before) << "cancelled";
    EXPECT_EQ(page.browse_result, "");
    page.SendMessage(win::kWmCommand, TGDTPage::kBrowseId);
    EXPECT_EQ(folder->GetWindowText(), chosen);
    EXPECT_EQ(page.browse_result, chosen);
    EXPECT_EQ(page.Item<win::Edit>(TGDTPage::kOwnShortNameId)->GetWindowText(), "ABC");
    sheet.PressButton(win::kIdCancel);
  });
  ASSERT_EQ(prompt_.Log().size(), 2u);
  EXPECT_EQ(prompt_.Log()[0].kind, "folder");
  EXPECT_EQ(prompt_.Log()[0].caption, "Choose a folder");
}

// Short names become part of the exchange file names: one that would lead a name out of the
// exchange folder keeps the page open while the link is on. With the link off the names are not
// used and cannot be edited, so the sheet closes.
TEST_F(OptionsCommandTest, GdtPageRefusesShortNamesThatLeaveTheExchangeFolder) {
  struct Case {
    const char* name;
    bool link_on;
    int id;
    std::string typed;
    std::string message_start;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {"slash", true, TGDTPage::kOwnShortNameId, "a/b", "\"a/b\" cannot be a short name."},
      {"parent", true, TGDTPage::kPracticeShortNameId, "..", "\"..\" cannot be a short name."},
      {"inside a name", true, TGDTPage::kOwnShortNameId, "Z..4", "\"Z..4\" cannot be a short name."},
      {"control character", true, TGDTPage::kPracticeShortNameId, std::string("ED\tV"),
       "\"ED?V\" cannot be a short name."},
      {"single point and blank", true, TGDTPage::kOwnShortNameId, "Z. 4", ""},
      {"link off", false, TGDTPage::kOwnShortNameId, "a/b", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    Doc().GetSettings().SetText(SettingKey::kGDTZK470Shorty, "ZK4");
    Doc().GetSettings().SetText(SettingKey::kGDTEDVShorty, "EDV");
    Doc().GetSettings().SetInt(SettingKey::kGDTOn, 0);
    const bool refused = !c.message_start.empty();
    RunCommand([&](TOptionsSheet& sheet) {
      TGDTPage& page = sheet.GDT();
      ASSERT_TRUE(sheet.SetActivePage(page));
      // Typed while on; switched off again for the case that stores with the link off.
      page.Item<win::Button>(TGDTPage::kSwitchId)->Click();
      page.Item<win::Edit>(c.id)->SetTextFromUser(c.typed);
      if (!c.link_on) page.Item<win::Button>(TGDTPage::kSwitchId)->Click();
      sheet.PressButton(win::kIdOk);
      if (refused) {
        EXPECT_TRUE(sheet.IsWindow());
        EXPECT_EQ(sheet.GetActivePage(), &page);
        sheet.PressButton(win::kIdCancel);
      }
    });
    const std::vector<std::string> messages = Messages();
    if (!refused) {
      EXPECT_TRUE(messages.empty());
      const SettingKey key =
          c.id == TGDTPage::kOwnShortNameId ? SettingKey::kGDTZK470Shorty : SettingKey::kGDTEDVShorty;
      EXPECT_EQ(Doc().GetSettings().Text(key), c.typed);
    } else {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_TRUE(messages[0].starts_with(c.message_start)) << messages[0];
      EXPECT_EQ(Doc().GetSettings().Text(SettingKey::kGDTZK470Shorty), "ZK4");
      EXPECT_EQ(Doc().GetSettings().Text(SettingKey::kGDTEDVShorty), "EDV");
      EXPECT_EQ(Doc().GetSettings().Int(SettingKey::kGDTOn), 0);
    }
  }
}

// The main toolbar is made again only when the GDT switch changed; it then shows or hides the GDT
// buttons by the new switch.
TEST_F(OptionsCommandTest, SwitchingTheGdtLinkRebuildsTheToolbars) {
  ASSERT_NE(Doc().GetRawECGData(), nullptr);
  Doc().GetRawECGData()->SetWholeMinutes(1500);
  CTimeSpanToolBar::FillSpans(1500);
  Frame().GetTimeSpanToolBar()->Combo().SetCurSel(2);
  struct Case {
    const char* name;
    bool click_switch;
    bool rebuilt;
    bool gdt_hidden;
  };
  const Case cases[] = {
      {"link on", true, true, false},
      {"other setting", false, false, false},
      {"link off", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const win::WindowHandle main_before = Frame().GetMainToolBar()->Handle();
    const win::WindowHandle span_before = Frame().GetTimeSpanToolBar()->Handle();
    RunCommand([&](TOptionsSheet& sheet) {
      Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, c.click_switch ? 0 : 1);
      if (c.click_switch) {
        ASSERT_TRUE(sheet.SetActivePage(sheet.GDT()));
        sheet.GDT().Item<win::Button>(TGDTPage::kSwitchId)->Click();
      }
      sheet.PressButton(win::kIdOk);
    });
    CMainToolBar& bar = *Frame().GetMainToolBar();
    ASSERT_TRUE(bar.IsWindow());
    EXPECT_EQ(bar.Handle() != main_before, c.rebuilt);
    EXPECT_EQ(Frame().GetTimeSpanToolBar()->Handle() != span_before, c.rebuilt);
    for (const int id : {cmd::kGDTTakePatient, cmd::kGDTSendResult}) {
      ASSERT_NE(bar.Model().Find(id), nullptr) << id;
      EXPECT_EQ(bar.Model().Find(id)->hidden, c.gdt_hidden) << id;
    }
    EXPECT_EQ(bar.Model().Count(), c.gdt_hidden ? 15u : 16u);
    EXPECT_EQ(bar.GetWindowRectInParent().Width(), bar.NeededWidth());
    EXPECT_EQ(Frame().GetTimeSpanToolBar()->GetWindowRectInParent().left, bar.GetWindowRectInParent().right);
    // The span list of the recording and its choice survive.
    EXPECT_EQ(Frame().GetTimeSpanToolBar()->Combo().GetCount(), 5);
    EXPECT_EQ(Frame().GetTimeSpanToolBar()->Combo().GetCurSel(), 2);
  }
}

TEST_F(OptionsCommandTest, UserPageRefusesALongNameAndStoresItsText) {
  const std::string name(TUserIDPage::kMaxChars, 'u');
  int attempts = 0;
  on_idle_ = [&](win::Window* modal) {
    auto* sheet = dynamic_cast<win::PropertySheet*>(modal);
    if (sheet == nullptr || attempts >= 2) return false;
    auto* edit = sheet->GetPage(0)->Item<win::Edit>(TUserIDPage::kTextId);
    // The edit stops typing at 40 characters; a longer text put there another way is refused.
    if (attempts++ == 0) {
      edit->SetWindowText(name + "u");
    } else {
      edit->SetTextFromUser(name);
    }
    sheet->PressButton(win::kIdOk);
    if (attempts == 1) EXPECT_TRUE(sheet->IsWindow());
    return true;
  };
  ASSERT_TRUE(win::ExecuteCommand(Frame(), cmd::kUserId));
  EXPECT_EQ(attempts, 2);
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Please enter no more than 40 characters.");
  CZK470Doc fresh(profile_, clock_, SettingsDefaults{(root_ / "home").string(), ""});
  fresh.LoadSettings();
  EXPECT_EQ(fresh.GetSettings().Text(SettingKey::kUserName), name);
}

// A new language: the menu and the kind names come from the new pack and the screen is built
// again; a language without a pack keeps the menu and names until the next start.
TEST_F(OptionsCommandTest, NewLanguageReloadsMenuKindNamesAndScreen) {
  struct Case {
    const char* name;
    int language;
    const char* first_menu_title;
    const char* bradycardia;
  };
  const Case cases[] = {
      {"German pack", 1, "&Datei", "Bradykardie"},
      {"no pack for 2: menu and names kept", 2, "&Datei", "Bradykardie"},
      {"back to English", 0, "&File", "Bradycardia"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool had_user_entry = Frame().GetMenu()->FindItem(cmd::kUserId) != nullptr;
    // A node added to the shown layout appears only when that layout is built again.
    const RecordingNode::Log& log = NewNodeOnShownLayout();
    RunCommand([&](TOptionsSheet& sheet) {
      Choose(sheet, sheet.Units(), TUnitsPage::kLanguageId, c.language);
      sheet.PressButton(win::kIdOk);
    });
    ASSERT_NE(Frame().GetMenu(), nullptr);
    EXPECT_EQ(Frame().GetMenu()->At(0).text, c.first_menu_title);
    EXPECT_EQ(Frame().GetMenu()->FindItem(cmd::kUserId) != nullptr, had_user_entry)
        << "entries trimmed again";
    EXPECT_EQ(Doc().GetKindName(kClassBradycardia), c.bradycardia);
    EXPECT_FALSE(log.layouts.empty()) << "screen rebuilt";
    EXPECT_EQ(profile_.GetInt("Language", "Language"), c.language);
  }
  // The same language again leaves the screen alone.
  const RecordingNode::Log& log = NewNodeOnShownLayout();
  RunCommand([&](TOptionsSheet& sheet) { sheet.PressButton(win::kIdOk); });
  EXPECT_TRUE(log.layouts.empty());
}

// The program on a profile file that counts its writes.
class OptionsOnIniFileTest : public AppTest {
 protected:
  class CountingIni : public platform::IniProfileStore {
   public:
    using IniProfileStore::IniProfileStore;
    void Flush() override {
      if (Dirty()) ++writes;
      IniProfileStore::Flush();
    }
    int writes = 0;
  };

  // Counts the status refreshes posted to the main window.
  class MainWindowSpy : public win::Window {
   public:
    win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
      if (message == msg::kStatusRefresh) ++refreshes;
      return win::Window::WindowProc(message, wparam, lparam);
    }
    int refreshes = 0;
  };

  class HintCounter : public document::DocumentView {
   public:
    void OnUpdate(document::DocumentView*, int hint, THintObject*) override {
      if (hint == hint::kDocumentChanged) ++changed;
    }
    int changed = 0;
  };

  void SetUp() override {
    AppTest::SetUp();
    ini_.emplace(root_ / "profile.ini");
    app_ = std::make_unique<CZK470App>(*ini_);
    CZK470App::StartupOptions options;
    options.clock = &clock_;
    options.settings_defaults.home = (root_ / "home").string();
    options.library_version = []() -> uint32_t { throw platform::IoError("libVRA.so", "not installed"); };
    ASSERT_TRUE(app_->InitInstance(std::move(options)));
    Pump();
    ASSERT_NE(GetActiveZK470View(), nullptr);
    AddOptionsPageResources(platform::Resources().ExePack());
  }
  void TearDown() override {
    app_.reset();
    AppTest::TearDown();
  }

  std::optional<CountingIni> ini_;
};

TEST_F(OptionsOnIniFileTest, OneOkWritesTheProfileOnceAndRefreshesOnce) {
  MainWindowSpy spy;
  ASSERT_TRUE(spy.Create(nullptr, {0, 0, 10, 10}, win::kWsPopup));
  win::Windows().SetMainWindow(&spy);
  HintCounter hints;
  Doc().AddView(&hints);
  ini_->writes = 0;
  bool stepped = false;
  on_idle_ = [&](win::Window* modal) {
    auto* sheet = dynamic_cast<TOptionsSheet*>(modal);
    if (sheet == nullptr || stepped) return false;
    stepped = true;
    // Several keys change at once, the language among them.
    EXPECT_TRUE(sheet->SetActivePage(sheet->Units()));
    sheet->Units().Item<win::ComboBox>(TUnitsPage::kUnitsId)->SetCurSel(1);
    sheet->Units().Item<win::ComboBox>(TUnitsPage::kCableSetId)->SetCurSel(1);
    sheet->Units().Item<win::ComboBox>(TUnitsPage::kLanguageId)->SetCurSel(1);
    EXPECT_TRUE(sheet->SetActivePage(sheet->AutoDelete()));
    sheet->AutoDelete().Item<win::ComboBox>(TAutoDeletePage::kChoiceId)->SetCurSel(3);
    sheet->PressButton(win::kIdOk);
    return true;
  };
  RunOptionsCommand(*GetActiveZK470View());
  on_idle_ = nullptr;
  Pump();
  Doc().RemoveView(&hints);
  win::Windows().SetMainWindow(&Frame());
  spy.DestroyWindow();

  EXPECT_TRUE(stepped);
  EXPECT_EQ(ini_->writes, 1);
  EXPECT_EQ(hints.changed, 1);
  EXPECT_EQ(spy.refreshes, 1);
  platform::IniProfileStore reread(root_ / "profile.ini");
  EXPECT_EQ(reread.GetInt("Units", "Units"), 1);
  EXPECT_EQ(reread.GetInt("Language", "Language"), 1);
  EXPECT_EQ(reread.GetInt("Auto Delete", "Files"), 3);
}

TEST(TDirectoriesPage, ExpandsHomeAndMakesTheChain) {
  EXPECT_EQ(TDirectoriesPage::ExpandHome("~", "/home/u"), "/home/u");
  EXPECT_EQ(TDirectoriesPage::ExpandHome("~/a/b", "/home/u/"), "/home/u/a/b");
  EXPECT_EQ(TDirectoriesPage::ExpandHome("/x/~/y", "/home/u"), "/x/~/y");
  EXPECT_EQ(TDirectoriesPage::ExpandHome("~other", "/home/u"), "~other");
  const fs::path base = fs::path(::testing::TempDir()) / ("chain_" + std::to_string(::getpid()));
  fs::remove_all(base);
  EXPECT_EQ(TDirectoriesPage::MakeFolderChain((base / "a" / "b" / "c").string()), "");
  EXPECT_TRUE(fs::is_directory(base / "a" / "b" / "c"));
  std::ofstream(base / "file") << "x";
  EXPECT_NE(TDirectoriesPage::MakeFolderChain((base / "file" / "d").string()), "");
  fs::remove_all(base);
}

}  // namespace
}  // namespace coretest
