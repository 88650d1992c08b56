// The options command: the sheet's pages, what OK stores and what it refuses.
#include "core/options_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/view_pages.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/small_value_dlgs.h"
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

  int changed_hints_ = 0;
};

TEST_F(OptionsCommandTest, OkStoresEveryKeyAndANewDocumentReadsThem) {
  const fs::path data = Folder("opt") / "new" / "data";
  const fs::path exported = Folder("opt") / "export";
  RunCommand([&](TOptionsSheet& sheet) {
    EXPECT_EQ(sheet.GetPageCount(), 5);
    EXPECT_FALSE(sheet.HasApplyButton());
    EXPECT_FALSE(sheet.HasHelpButton());
    Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, 1);
    Choose(sheet, sheet.Units(), TUnitsPage::kCableSetId, 1);
    Type(sheet, sheet.Directories(), TDirectoriesPage::kDataId, data.string());
    Type(sheet, sheet.Directories(), TDirectoriesPage::kExportId, exported.string());
    Type(sheet, sheet.Directories(), TDirectoriesPage::kSDCardId, "~/card");
    Choose(sheet, sheet.AutoDelete(), TAutoDeletePage::kChoiceId, 3);
    Type(sheet, sheet.OfficeAddress(), OfficeAddressDlg::kAddressId, "Dr. A\nMain Street 1");
    Type(sheet, sheet.TapeSettings(), TTapeSettingsPage::kCalDataLenId, "30");
    Choose(sheet, sheet.TapeSettings(), TTapeSettingsPage::kSpeedId, 1);
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(fs::is_directory(data));
  EXPECT_TRUE(fs::is_directory(root_ / "home" / "card"));
  EXPECT_EQ(fs::current_path(), data);
  EXPECT_EQ(changed_hints_, 1);

  CZK470Doc fresh(profile_, clock_, SettingsDefaults{(root_ / "home").string(), ""});
  fresh.LoadSettings();
  const SettingsStore& s = fresh.GetSettings();
  EXPECT_EQ(s.Int(SettingKey::kUnits), 1);
  EXPECT_EQ(s.Int(SettingKey::kCableSet), 1);
  EXPECT_EQ(fresh.GetDataDirectory(), data.string());
  EXPECT_EQ(fresh.GetExportDirectory(), exported.string());
  EXPECT_EQ(fresh.GetSDCardDirectory(), (root_ / "home" / "card").string());
  EXPECT_EQ(s.Int(SettingKey::kAutoDeleteFiles), 3);
  EXPECT_EQ(s.Text(SettingKey::kUserOfficeAddress), "Dr. A\nMain Street 1");
  EXPECT_EQ(s.Int(SettingKey::kTapeCalDataLen), 30);
  EXPECT_EQ(s.Int(SettingKey::kTapeSpeed), 1);
}

TEST_F(OptionsCommandTest, CancelChangesNothing) {
  const std::string before = Doc().GetDataDirectory();
  RunCommand([&](TOptionsSheet& sheet) {
    Type(sheet, sheet.Directories(), TDirectoriesPage::kDataId, (root_ / "never").string());
    Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, 1);
    sheet.PressButton(win::kIdCancel);
  });
  EXPECT_EQ(Doc().GetDataDirectory(), before);
  EXPECT_NE(Doc().GetSettings().Int(SettingKey::kUnits), 1);
  EXPECT_FALSE(fs::exists(root_ / "never"));
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
      {"tape 31", 4, TTapeSettingsPage::kCalDataLenId, "31", "Please enter an integer between 0 and 30."},
      {"relative folder", 1, TDirectoriesPage::kDataId, "data/here", "data/here\nPlease enter a full path"},
      {"uncreatable folder", 1, TDirectoriesPage::kExportId, (blocker / "sub").string(),
       (blocker / "sub").string() + "\nThis folder cannot be created: " + blocker.string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    const int units_before = Doc().GetSettings().Int(SettingKey::kUnits);
    RunCommand([&](TOptionsSheet& sheet) {
      Choose(sheet, sheet.Units(), TUnitsPage::kUnitsId, 1 - units_before);
      Type(sheet, *sheet.GetPage(c.page), c.id, c.typed);
      // OK from another page: the faulty page comes back.
      if (c.page == 1) ASSERT_TRUE(sheet.SetActivePage(0));
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
