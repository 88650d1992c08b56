#include "dialogs/recording_browser_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/dialog_resources.h"
#include "dialogs/patient_sheet_fixture.h"
#include "platform/archive_attribute.h"

namespace {

// The browser on the document's data folder, which holds the fixture's recording and these.
class RecordingBrowserTest : public dialogs_test::PatientSheetTest {
 protected:
  void SetUp() override {
    PatientSheetTest::SetUp();
    for (const char* name : {"Bert Baum 01-02-2024 08-00 V003-.QRS", "letter.pdf", "import.KZT", "notes.txt"})
      doctest::WriteBytes(File(name), {1});
    ASSERT_TRUE(platform::SetArchiveAttribute(File("letter.pdf"), false));
    other_ = (temp_.Path() / "other").string();
    std::filesystem::create_directories(other_);
    doctest::WriteBytes((std::filesystem::path(other_) / "Carl 0009-.QRS").string(), {1});
  }

  std::string File(const std::string& name) const { return (std::filesystem::path(data_) / name).string(); }
  static TRecordingBrowserDlg& BrowserOf(win::Window* modal) { return *dynamic_cast<TRecordingBrowserDlg*>(modal); }
  static std::vector<std::string> Names(TRecordingBrowserDlg& browser) {
    std::vector<std::string> names;
    for (int i = 0; i < browser.List().GetItemCount(); ++i) names.push_back(browser.List().GetItemText(i, 0));
    return names;
  }

  std::string other_;
};

TEST_F(RecordingBrowserTest, ListsTheDataFolderAndReturnsTheSelectedPathsInListOrder) {
  TRecordingBrowserDlg browser(doc_.get(), 61440, 0);
  std::vector<std::vector<std::string>> rows;
  std::string caption;
  std::string folder_text;
  DriveModal({[&](win::Window* modal) {
    caption = modal->GetWindowText();
    folder_text = modal->GetDlgItemText(TRecordingBrowserDlg::kFolderTextId);
    win::ListView& list = BrowserOf(modal).List();
    for (int i = 0; i < list.GetItemCount(); ++i) {
      rows.push_back({list.GetItemText(i, 0), list.GetItemText(i, 1), list.GetItemText(i, 2),
                      std::to_string(list.GetItemImage(i))});
      EXPECT_FALSE(list.GetItemText(i, 3).empty());  // the date
    }
    EXPECT_EQ(list.GetColumnCount(), 4);
    EXPECT_EQ(list.GetColumn(0)->width, 300);
    list.SelectFromUser({3, 0, 2});
    static_cast<win::Dialog*>(modal)->SendMessage(win::kWmCommand, win::kIdOk);
  }});
  EXPECT_EQ(browser.DoModal(), win::kIdOk);
  EXPECT_EQ(caption, "Open");
  EXPECT_EQ(folder_text, data_);
  const std::vector<std::vector<std::string>> want = {
      {"Anna Meier 05-03-2024 10-00 ", "-", "-", "0"},
      {"Bert Baum 01-02-2024 08-00 ", "F", "-", "0"},
      {"letter", "-", "A", "1"},
      {"import", "-", "-", "2"},
  };
  EXPECT_EQ(rows, want);
  EXPECT_EQ(browser.Results(), (std::vector<std::string>{File(std::string(kBase) + ".QRS"), File("letter.pdf"),
                                                         File("import.KZT")}));
}

TEST_F(RecordingBrowserTest, EachRowShowsTheIconOfItsFileKind) {
  TRecordingBrowserDlg browser(doc_.get(), 61440, 0);
  std::vector<std::pair<std::string, int>> shown;  // row name, icon id
  DriveModal({[&](win::Window* modal) {
    win::ListView& list = BrowserOf(modal).List();
    const win::ImageList* images = list.GetImageList(win::kLvsilSmall);
    ASSERT_NE(images, nullptr) << "the list has no icons";
    EXPECT_EQ(images->ImageSize().cx, 16);
    EXPECT_EQ(images->ImageSize().cy, 16);
    for (int i = 0; i < list.GetItemCount(); ++i) {
      const gfx::Bitmap* image = images->Image(list.GetItemImage(i));
      ASSERT_NE(image, nullptr) << list.GetItemText(i, 0);
      int id = 0;
      for (const int candidate : {305, 131, 132}) {
        if (*image == LoadDialogIcon(candidate)) id = candidate;
      }
      shown.emplace_back(list.GetItemText(i, 0), id);
    }
    static_cast<win::Dialog*>(modal)->SendMessage(win::kWmCommand, win::kIdCancel);
  }});
  EXPECT_EQ(browser.DoModal(), win::kIdCancel);
  const std::vector<std::pair<std::string, int>> want = {{"Anna Meier 05-03-2024 10-00 ", 305},
                                                         {"Bert Baum 01-02-2024 08-00 ", 305},
                                                         {"letter", 131},
                                                         {"import", 132}};
  EXPECT_EQ(shown, want);
}

TEST(DialogIcons, KindIconsAreDistinctPicturesOnAMaskedBackground) {
  const gfx::Bitmap recording = LoadDialogIcon(305);
  const gfx::Bitmap pdf = LoadDialogIcon(131);
  const gfx::Bitmap kzt = LoadDialogIcon(132);
  for (const gfx::Bitmap* icon : {&recording, &pdf, &kzt}) {
    ASSERT_EQ(icon->Width(), 16);
    ASSERT_EQ(icon->Height(), 16);
    // The corner is background; the picture covers a good part of the rest.
    EXPECT_EQ(icon->GetPixel(0, 0), kDialogIconMask);
    const auto drawn = std::count_if(icon->Pixels().begin(), icon->Pixels().end(),
                                     [](gfx::Color c) { return c != kDialogIconMask; });
    EXPECT_GT(drawn, 100);
  }
  EXPECT_NE(recording, pdf);
  EXPECT_NE(recording, kzt);
  EXPECT_NE(pdf, kzt);
  EXPECT_TRUE(LoadDialogIcon(999).IsEmpty());
}

TEST_F(RecordingBrowserTest, FilterAndFolderChangesRefillTheList) {
  prompt_.QueueFolder(other_ + "/");
  TRecordingBrowserDlg browser(doc_.get(), 15203, 1);
  std::vector<std::vector<std::string>> seen;
  DriveModal({[&](win::Window* modal) {
    TRecordingBrowserDlg& b = BrowserOf(modal);
    EXPECT_EQ(b.Filter().GetCount(), 5);
    for (int filter = 0; filter < 5; ++filter) {
      b.Filter().SelectFromUser(filter);
      seen.push_back(Names(b));
    }
    b.Filter().SelectFromUser(0);
    b.List().SelectFromUser({0});
    modal->GetDlgItem(TRecordingBrowserDlg::kFolderButtonId)->SendMessage(win::kBmClick);
    seen.push_back(Names(b));
    seen.push_back({modal->GetDlgItemText(TRecordingBrowserDlg::kFolderTextId), b.Folder()});
    b.List().DoubleClickFromUser(0);  // OK with that row
  }});
  EXPECT_EQ(browser.DoModal(), win::kIdOk);
  const std::vector<std::vector<std::string>> want = {
      {"Anna Meier 05-03-2024 10-00 ", "Bert Baum 01-02-2024 08-00 ", "letter", "import"},
      {"Bert Baum 01-02-2024 08-00 "},
      {"Anna Meier 05-03-2024 10-00 ", "letter", "import"},
      {"letter"},
      {"Anna Meier 05-03-2024 10-00 ", "Bert Baum 01-02-2024 08-00 ", "import"},
      {"Carl "},
      {other_ + "/", other_},
  };
  EXPECT_EQ(seen, want);
  EXPECT_EQ(browser.Results(), (std::vector<std::string>{other_ + "/Carl 0009-.QRS"}));
  ASSERT_FALSE(prompt_.Log().empty());
  EXPECT_EQ(prompt_.Log().back().kind, "folder");
}

TEST_F(RecordingBrowserTest, CancelledFolderChoiceAndCancelReturnNothing) {
  prompt_.QueueFolder(std::nullopt);
  TRecordingBrowserDlg browser(doc_.get(), 61440, 0);
  size_t rows_after = 0;
  DriveModal({[&](win::Window* modal) {
    BrowserOf(modal).List().SelectFromUser({0, 1});
    modal->GetDlgItem(TRecordingBrowserDlg::kFolderButtonId)->SendMessage(win::kBmClick);
    rows_after = Names(BrowserOf(modal)).size();
    static_cast<win::Dialog*>(modal)->SendMessage(win::kWmCommand, win::kIdCancel);
  }});
  EXPECT_EQ(browser.DoModal(), win::kIdCancel);
  EXPECT_EQ(rows_after, 4u);
  EXPECT_TRUE(browser.Results().empty());
}

TEST_F(RecordingBrowserTest, FolderModesChooseTheirDirectory) {
  doc_->SetExportDirectory(other_);
  struct Case {
    int mode;
    std::string want;
  };
  for (const Case& c : {Case{0, data_}, Case{1, data_}, Case{2, other_}}) {
    SCOPED_TRACE(c.mode);
    TRecordingBrowserDlg browser(doc_.get(), 61440, c.mode);
    EXPECT_EQ(browser.Folder(), c.want);
  }
}

}  // namespace
