// The folder picker and the small value dialogs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "core/app_fixture.h"
#include "core/resource_packs.h"
#include "dialogs/select_folder_dialog.h"
#include "dialogs/small_value_dlgs.h"
#include "win/data_exchange.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

class SmallDialogsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    InstallProgramResources();
  }

  // Runs the dialog modally; step gets it whenever the loop has nothing to do.
  int RunModal(win::Dialog& dialog, const std::function<void(win::Dialog&)>& step) {
    bool stepped = false;
    on_idle_ = [&](win::Window* modal) {
      if (modal != &dialog || stepped) return false;
      stepped = true;
      step(dialog);
      return true;
    };
    return dialog.DoModal();
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log()) {
      if (asked.kind == "message") texts.push_back(asked.text);
    }
    return texts;
  }
};

TEST_F(SmallDialogsTest, FolderPickerFilterList) {
  EXPECT_EQ(CSelectFolderDialog::BuildFilterList("Text files (*.txt)|*.txt||", "Show Folders Only", "All Files (*.*)"),
            (std::vector<std::string>{"Text files (*.txt)", "*.txt", "Show Folders Only", "."}));
  EXPECT_EQ(CSelectFolderDialog::BuildFilterList("", "Show Folders Only", "All Files (*.*)"),
            (std::vector<std::string>{"Show Folders Only", ".", "All Files (*.*)", "*.*"}));
}

TEST_F(SmallDialogsTest, FolderPickerSelect) {
  const fs::path base = Folder("pick");
  fs::create_directories(base / "exports");
  std::ofstream(base / "letter.txt") << "x";
  struct Case {
    const char* name;
    std::string typed;
    int answer;  // to the creation question
    bool want_end;
    std::string want_folder;
    std::string want_message;  // its beginning; empty: none
  };
  const Case kCases[] = {
      {"an existing folder", (base / "exports").string(), 0, true, (base / "exports").string() + "/", ""},
      {"relative to the shown folder", "exports", 0, true, (base / "exports").string() + "/", ""},
      {"a file", (base / "letter.txt").string(), 0, false, "", (base / "letter.txt").string() + "\nThis is a file"},
      {"missing, not created", (base / "new" / "one").string(), win::kIdNo, false, "",
       (base / "new" / "one").string() + "\nThis folder does not exist."},
      {"missing, created with every level", (base / "made" / "deep").string(), win::kIdYes, true,
       (base / "made" / "deep").string() + "/", (base / "made" / "deep").string() + "\nThis folder does not exist."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    if (c.answer != 0) prompt_.QueueAnswer(c.answer);
    CSelectFolderDialog picker("Export folder", base.string(), "", nullptr, "");
    bool ended = false;
    const int result = RunModal(picker, [&](win::Dialog&) {
      picker.Item<win::Edit>(CSelectFolderDialog::kFolderEditId)->SetTextFromUser(c.typed);
      ended = picker.Select();
      if (!ended) picker.EndDialog(win::kIdCancel);
    });
    EXPECT_EQ(ended, c.want_end);
    EXPECT_EQ(result, c.want_end ? win::kIdOk : win::kIdCancel);
    if (c.want_end) EXPECT_EQ(picker.GetFolder(), c.want_folder);
    const std::vector<std::string> messages = Messages();
    if (c.want_message.empty()) {
      EXPECT_TRUE(messages.empty());
    } else {
      ASSERT_FALSE(messages.empty());
      EXPECT_TRUE(messages[0].starts_with(c.want_message)) << messages[0];
    }
  }
  EXPECT_FALSE(fs::exists(base / "new"));
  EXPECT_TRUE(fs::is_directory(base / "made" / "deep"));
}

TEST_F(SmallDialogsTest, FolderPickerReportsAFolderItCannotMake) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
  const fs::path base = Folder("locked");
  fs::permissions(base, fs::perms::owner_read | fs::perms::owner_exec);
  prompt_.QueueAnswer(win::kIdYes);
  CSelectFolderDialog picker("Export folder", base.string(), "", nullptr, "");
  RunModal(picker, [&](win::Dialog&) {
    picker.Item<win::Edit>(CSelectFolderDialog::kFolderEditId)->SetTextFromUser((base / "sub").string());
    EXPECT_FALSE(picker.Select());
    picker.EndDialog(win::kIdCancel);
  });
  fs::permissions(base, fs::perms::owner_all);
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], "You do not have permission\nto create this folder.");
}

TEST_F(SmallDialogsTest, FolderNameCompletion) {
  const fs::path base = Folder("complete");
  for (const char* name : {"Reports", "Recordings", "Letters"}) fs::create_directories(base / name);
  const std::string prefix = base.string() + "/";
  EXPECT_EQ(CSelectFolderDialog::CompleteFolderName(prefix + "l"), prefix + "Letters");
  EXPECT_EQ(CSelectFolderDialog::CompleteFolderName(prefix + "Rep"), prefix + "Reports");
  EXPECT_EQ(CSelectFolderDialog::CompleteFolderName(prefix + "Re"), std::nullopt);
  EXPECT_EQ(CSelectFolderDialog::CompleteFolderName(prefix + "x"), std::nullopt);
}

TEST_F(SmallDialogsTest, NumberInputTakesAtMostThreeDigits) {
  TNumberInputDlg input("12");
  int attempt = 0;
  on_idle_ = [&](win::Window* modal) {
    if (modal != &input || attempt >= 2) return false;
    auto* edit = input.Item<win::Edit>(TNumberInputDlg::kTextId);
    if (attempt++ == 0) {
      EXPECT_EQ(edit->GetWindowText(), "12");
      // The user cannot type a fourth digit.
      edit->SetTextFromUser("1234");
      EXPECT_EQ(edit->GetWindowText(), "123");
      // A text put there another way is refused with the framework's message.
      edit->SetWindowText("4567");
    } else {
      edit->SetTextFromUser("123");
    }
    input.SendMessage(win::kWmCommand, win::kIdOk);
    return true;
  };
  EXPECT_EQ(input.DoModal(), win::kIdOk);
  EXPECT_EQ(input.text, "123");
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Please enter no more than 3 characters.");
}

TEST_F(SmallDialogsTest, CaliperReadoutsAreMadeAtOnceWithEmptyTexts) {
  win::Window owner;
  ASSERT_TRUE(owner.Create(nullptr, {0, 0, 400, 300}, win::kWsOverlapped | win::kWsVisible));
  document::Context().g_DisplayChannels.count = 2;
  document::Context().g_DisplayChannels.channels = {0, 2, 1};
  TCaliperHRValuesDlg hr(&owner);
  TCaliperTimeDlg time(&owner);
  TCaliperAmplitude2Dlg amplitude(&owner);
  for (win::Dialog* dialog : std::initializer_list<win::Dialog*>{&hr, &time, &amplitude}) {
    EXPECT_TRUE(dialog->IsWindow());
    EXPECT_EQ(dialog->GetOwner(), &owner);
  }
  EXPECT_EQ(hr.GetDlgItemText(TCaliperHRValuesDlg::kSecondId), "");
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude2Dlg::kFirstLabelId), "Ch.1");
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude2Dlg::kSecondLabelId), "Ch.3");
  // The caliper writes its values and shows them.
  hr.first = "840 ms";
  hr.UpdateData(false);
  EXPECT_EQ(hr.GetDlgItemText(TCaliperHRValuesDlg::kFirstId), "840 ms");
  hr.DestroyWindow();
  time.DestroyWindow();
  amplitude.DestroyWindow();
  owner.DestroyWindow();
}

TEST_F(SmallDialogsTest, AutoDeletePageEnablesItsChoiceWithTheSwitch) {
  TAutoDeletePage page;
  page.switch_on = 0;
  page.choice = 3;
  win::Window owner;
  ASSERT_TRUE(owner.Create(nullptr, {0, 0, 400, 300}, win::kWsOverlapped | win::kWsVisible));
  RunModal(page, [&](win::Dialog&) {
    auto* combo = page.Item<win::ComboBox>(TAutoDeletePage::kChoiceId);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 5);
    EXPECT_EQ(combo->GetCurSel(), 3);
    EXPECT_FALSE(combo->IsWindowEnabled());
    page.Item<win::Button>(TAutoDeletePage::kSwitchId)->Click();
    EXPECT_TRUE(combo->IsWindowEnabled());
    EXPECT_EQ(page.switch_on, 1);
    page.EndDialog(win::kIdCancel);
  });
  owner.DestroyWindow();
}

}  // namespace
}  // namespace coretest
