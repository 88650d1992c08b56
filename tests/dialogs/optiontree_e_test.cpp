#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_combo_item.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_file_item.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "win/prompt.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace dialogs {
namespace {

// The dialog that hosts the tree: keeps the codes and item ids of the notifications.
class NotifySink : public win::Window {
 public:
  std::vector<std::pair<int, int>> received;

  int Count(int code) const {
    int n = 0;
    for (const auto& [c, id] : received) n += c == code ? 1 : 0;
    return n;
  }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == win::kWmNotify) {
      const auto* n = reinterpret_cast<const COptionTreeNotify*>(lparam);
      received.emplace_back(n->header.code, n->item != nullptr ? n->item->GetItemID() : 0);
      return 0;
    }
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

// A scripted prompt that also keeps the last file request, for its filter and extension.
class RequestPrompt : public win::ScriptedPrompt {
 public:
  std::optional<win::FileDialogRequest> last;
  std::optional<std::string> ChooseFile(const win::FileDialogRequest& request) override {
    last = request;
    return win::ScriptedPrompt::ChooseFile(request);
  }
  std::optional<std::vector<std::string>> ChooseFiles(const win::FileDialogRequest& request) override {
    last = request;
    return win::ScriptedPrompt::ChooseFiles(request);
  }
};

COptionTreeItem* Category(std::string_view label) {
  auto* item = new COptionTreeItem;
  item->SetLabelText(label);
  return item;
}

template <typename T>
T* Labelled(std::string_view label) {
  auto* item = new T;
  item->SetLabelText(label);
  return item;
}

// Rows of 21 pixels under one category; the value column starts at x 155.
class OptionTreeItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sink_.Create(nullptr, {0, 0, 400, 320}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(
        tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 300, 300}, &sink_, OptionShadeCategories, 100));
    tree_.SetNotifyWindow(1, &sink_);
    category_ = tree_.InsertItem(Category("Recording"));
    category_->Expand(true);
  }
  void TearDown() override {
    tree_.DestroyWindow();
    sink_.DestroyWindow();
  }

  template <typename T>
  T* Insert(T* item) {
    tree_.InsertItem(item, category_);
    Paint();
    return item;
  }

  void Paint() {
    tree_.UpdateList();
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }

  // A click into the value (or, with x < 150, the label) column of the row.
  void Click(int row, int x = 200) {
    tree_.GetListWindow().SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(x, 21 * row + 10));
    win::Windows().RunPending();
  }

  // The texts the list window drew, with the text colour in effect for each.
  struct Drawn {
    std::string text;
    std::string color;
  };
  std::vector<Drawn> DrawnTexts() {
    std::vector<Drawn> out;
    const win::WindowSystem::Record* record = win::Windows().RecordOf(tree_.GetListWindow());
    if (record == nullptr || !record->paint) return out;
    std::string color;
    for (const std::string& line : record->paint->Lines()) {
      if (line.rfind("SetTextColor ", 0) == 0) color = line.substr(13);
      if (line.rfind("DrawText ", 0) != 0) continue;
      const size_t open = line.find('"');
      const size_t close = line.rfind("\" at ");
      if (open != std::string::npos && close != std::string::npos && close > open)
        out.push_back({line.substr(open + 1, close - open - 1), color});
    }
    return out;
  }
  // The colour the text was drawn in; empty when it was not drawn.
  std::string ColorOf(std::string_view text) {
    for (const Drawn& d : DrawnTexts())
      if (d.text == text) return d.color;
    return {};
  }
  bool WasDrawn(std::string_view text) {
    for (const Drawn& d : DrawnTexts())
      if (d.text == text) return true;
    return false;
  }

  NotifySink sink_;
  COptionTree tree_;
  COptionTreeItem* category_ = nullptr;
};

// ----- combo box item

TEST_F(OptionTreeItemsTest, ComboWindowIsMadeOnceAfterInsertionHiddenAndGoesWithItsItem) {
  auto* early = Labelled<COptionTreeComboItem>("Lead");
  EXPECT_FALSE(early->CreateComboWindow());
  EXPECT_EQ(early->GetItemKind(), kOptionItemComboBox);
  auto* combo = Insert(early);
  EXPECT_FALSE(WasDrawn("")) << "without its window the value column stays empty";
  ASSERT_TRUE(combo->CreateComboWindow());
  EXPECT_FALSE(combo->CreateComboWindow());
  EXPECT_EQ(combo->GetParent(), &tree_.GetListWindow());
  EXPECT_EQ(combo->GetDlgCtrlID(), combo->GetItemID());
  EXPECT_FALSE(combo->IsWindowVisible());
  EXPECT_EQ(combo->GetFont().height, COptionTree::GetNormalFont().height);
  for (const char* text : {"I", "II", "V1"}) combo->AddString(text);
  combo->SetCurSel(1);
  Paint();
  EXPECT_EQ(ColorOf("II"), "0x000000");
  const win::WindowHandle handle = combo->Handle();
  tree_.DeleteItem(combo);
  EXPECT_EQ(win::Window::FromHandle(handle), nullptr);
}

TEST_F(OptionTreeItemsTest, ActivatedComboOpensItsListBelowTheRowAndCommitsOnAnotherRow) {
  struct Case {
    std::optional<int> drop_down_height;
    int want_extra;
  };
  for (const Case& c : {Case{std::nullopt, 100}, Case{40, 40}}) {
    SCOPED_TRACE(c.want_extra);
    auto* combo = Insert(Labelled<COptionTreeComboItem>("Lead"));
    Insert(Labelled<COptionTreeComboItem>("Other"));
    ASSERT_TRUE(combo->CreateComboWindow());
    for (const char* text : {"I", "II", "V1"}) combo->AddString(text);
    combo->SetCurSel(0);
    if (c.drop_down_height) combo->SetDropDownHeight(*c.drop_down_height);
    Paint();
    sink_.received.clear();

    Click(1);
    ASSERT_TRUE(combo->IsActivated());
    EXPECT_TRUE(combo->IsWindowVisible());
    EXPECT_TRUE(combo->HasFocus());
    gfx::Rect want = combo->GetValueRect();
    want.bottom += c.want_extra;
    EXPECT_EQ(combo->GetWindowRectInParent(), want);
    Paint();
    EXPECT_FALSE(WasDrawn("I")) << "the open editor shows the value itself";

    int list_height = 0;
    win::Windows().QueuePopupAnswer([&](const win::PopupRequest& request) {
      list_height = request.screen_rect.Height();
      return 2;
    });
    EXPECT_EQ(combo->DropDown(), 2);
    EXPECT_EQ(list_height, want.Height());
    EXPECT_EQ(sink_.Count(NotifyItemChanged), 0);

    Click(2);
    EXPECT_FALSE(combo->IsActivated());
    EXPECT_FALSE(combo->IsWindowVisible());
    EXPECT_EQ(sink_.Count(NotifyItemChanged), 1);
    EXPECT_EQ(combo->GetCurSel(), 2);
    Paint();
    EXPECT_TRUE(WasDrawn("V1"));
    tree_.DeleteItem(category_);
    category_ = tree_.InsertItem(Category("Recording"));
    category_->Expand(true);
  }
}

TEST_F(OptionTreeItemsTest, FocusLeavingTheControlKeepsTheComboOpenUntilItComesBack) {
  auto* combo = Insert(Labelled<COptionTreeComboItem>("Lead"));
  ASSERT_TRUE(combo->CreateComboWindow());
  combo->AddString("I");
  Click(1);
  sink_.received.clear();
  win::Windows().SetFocus(&sink_);
  EXPECT_TRUE(combo->IsActivated());
  EXPECT_TRUE(combo->IsWindowVisible());
  EXPECT_EQ(sink_.Count(NotifyItemChanged), 0);
  combo->SetFocus();
  tree_.GetListWindow().SetFocus();
  EXPECT_FALSE(combo->IsWindowVisible());
  EXPECT_EQ(sink_.Count(NotifyItemChanged), 1);
}

// ----- date item

TEST_F(OptionTreeItemsTest, DateRowShowsThePickersFormattedText) {
  struct Case {
    const char* format;
    platform::LocalDateTime value;
    const char* want;
  };
  const Case cases[] = {
      {"ddd, MMM d, yyyy", {2026, 12, 11, 9, 5, 0}, "Fri, Dec 11, 2026"},
      {"dddd, MMMM dd, yy", {2000, 2, 29, 0, 0, 0}, "Tuesday, February 29, 00"},
      {"hh:mm tt", {2026, 1, 1, 0, 5, 0}, "12:05 AM"},
      {"hh:mm tt", {2026, 1, 1, 12, 0, 0}, "12:00 PM"},
      {"h:mm t", {2026, 1, 1, 13, 30, 0}, "1:30 P"},
      {"HH:mm:ss", {2026, 1, 1, 7, 8, 9}, "07:08:09"},
      {"'Day' d 'o''clock' M/y", {2019, 3, 4, 0, 0, 0}, "Day 4 o'clock 3/9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    auto* date = Insert(Labelled<COptionTreeDateItem>("Start"));
    EXPECT_EQ(date->GetItemKind(), kOptionItemDate);
    ASSERT_TRUE(date->CreateDateWindow(c.format, kDtsLongDateFormat));
    EXPECT_FALSE(date->CreateDateWindow(c.format));
    EXPECT_FALSE(date->IsWindowVisible());
    date->SetTime(c.value);
    Paint();
    EXPECT_TRUE(WasDrawn(c.want));
    tree_.DeleteItem(date);
  }
}

TEST_F(OptionTreeItemsTest, OpeningTheCalendarCommitsNothingPickingADayAndLeavingDoes) {
  auto* date = Insert(Labelled<COptionTreeDateItem>("Start"));
  Insert(Labelled<COptionTreeDateItem>("End"));
  ASSERT_TRUE(date->CreateDateWindow("ddd, MMM d, yyyy", kDtsLongDateFormat));
  date->SetTime(platform::LocalDateTime{2026, 12, 11, 0, 0, 0});
  Paint();
  sink_.received.clear();

  Click(1);
  ASSERT_TRUE(date->IsActivated());
  EXPECT_EQ(date->GetWindowRectInParent(), date->GetValueRect());
  // The drop-down month calendar lies inside the picker and takes the focus while it is open.
  win::Window calendar;
  ASSERT_TRUE(calendar.Create(date, {0, 20, 180, 160}, win::kWsChild | win::kWsVisible));
  calendar.SetFocus();
  EXPECT_TRUE(date->IsActivated());
  EXPECT_TRUE(date->IsWindowVisible());
  EXPECT_EQ(sink_.Count(NotifyItemChanged), 0);

  date->SetTimeFromUser(platform::LocalDateTime{2026, 12, 24, 0, 0, 0});
  date->SetFocus();
  calendar.DestroyWindow();
  Click(2);
  EXPECT_FALSE(date->IsActivated());
  EXPECT_FALSE(date->IsWindowVisible());
  EXPECT_EQ(sink_.Count(NotifyItemChanged), 1);
  ASSERT_TRUE(date->GetTime().has_value());
  EXPECT_EQ(date->GetTime()->day, 24);
  Paint();
  EXPECT_TRUE(WasDrawn("Thu, Dec 24, 2026"));
}

TEST_F(OptionTreeItemsTest, ReadOnlyOrDisabledDateIsGreyAndNeverOpens) {
  struct Case {
    const char* name;
    bool read_only;
    bool enabled;
  };
  for (const Case& c :
       {Case{"editable", false, true}, Case{"read-only", true, true}, Case{"disabled", false, false}}) {
    SCOPED_TRACE(c.name);
    auto* date = Insert(Labelled<COptionTreeDateItem>("Start"));
    ASSERT_TRUE(date->CreateDateWindow("hh:mm tt", kDtsTimeFormat));
    date->SetTime(platform::LocalDateTime{2026, 1, 1, 15, 45, 0});
    date->SetReadOnly(c.read_only);
    tree_.EnableWindow(c.enabled);
    Paint();
    const bool grey = c.read_only || !c.enabled;
    EXPECT_EQ(ColorOf("03:45 PM"), grey ? "0x6D6D6D" : "0x000000");
    Click(1);
    EXPECT_EQ(date->IsActivated(), !grey);
    EXPECT_EQ(date->IsWindowVisible(), !grey);
    tree_.GetListWindow().SetFocus();
    tree_.EnableWindow(true);
    tree_.DeleteItem(date);
  }
}

// ----- file and folder item

class FileItemTest : public OptionTreeItemsTest {
 protected:
  void SetUp() override {
    OptionTreeItemsTest::SetUp();
    prompt_.emplace(prompt_script_);
  }
  void TearDown() override {
    prompt_.reset();
    OptionTreeItemsTest::TearDown();
  }

  RequestPrompt prompt_script_;
  std::optional<win::ScopedPrompt> prompt_;
};

TEST_F(FileItemTest, NewItemShowsNoSelectionAndOpensASaveDialogWithoutFilter) {
  auto* file = Insert(Labelled<COptionTreeFileItem>("Export"));
  EXPECT_EQ(file->GetItemKind(), kOptionItemFile);
  EXPECT_TRUE(WasDrawn("No selection made."));
  Click(1);
  ASSERT_TRUE(prompt_script_.last.has_value());
  EXPECT_FALSE(prompt_script_.last->open);
  EXPECT_EQ(prompt_script_.last->filter, "");
  EXPECT_EQ(prompt_script_.last->file_name, "");
  EXPECT_TRUE(file->GetPaths().empty());
  COptionTreeFileItem loose;
  EXPECT_FALSE(loose.CreateFileItem("/data/a.QRS", "", "", 0, 0));
}

TEST_F(FileItemTest, ThreeChosenFilesReplaceThePathsAndGrowTheRow) {
  auto* file = Insert(Labelled<COptionTreeFileItem>("Recordings"));
  ASSERT_TRUE(file->CreateFileItem("/data/first.QRS", "QRS", "Recordings (*.QRS)|*.QRS|All files (*.*)|*.*||",
                                   kFileShowFullPath | kFileOpenDialog, kOfnAllowMultiSelect));
  const std::vector<std::string> chosen = {"/data/a.QRS", "/data/b.QRS", "/data/c.QRS"};
  prompt_script_.QueueFiles(chosen);
  sink_.received.clear();
  Click(1);
  ASSERT_TRUE(prompt_script_.last.has_value());
  EXPECT_TRUE(prompt_script_.last->open);
  EXPECT_EQ(prompt_script_.last->file_name, "/data/first.QRS");
  EXPECT_EQ(prompt_script_.last->initial_folder, "/data");
  EXPECT_EQ(prompt_script_.last->filter, "Recordings (*.QRS)|*.QRS|All files (*.*)|*.*||");
  EXPECT_EQ(prompt_script_.last->default_extension, "QRS");
  EXPECT_EQ(file->GetPaths(), chosen);
  std::vector<std::string> walked;
  for (size_t pos = file->GetStartPosition(); pos != 0;) walked.push_back(file->GetNextPathName(pos));
  EXPECT_EQ(walked, chosen);
  EXPECT_EQ(file->GetFileTitle(), "a");
  EXPECT_EQ(file->GetFileExt(), "QRS");
  // Lines of the control's 11-pixel font: 3 x 14 + 5.
  EXPECT_EQ(file->GetHeight(), 47);
  EXPECT_TRUE(file->IsLabelAtTop());
  EXPECT_EQ(sink_.Count(NotifyItemChanged), 0) << "a choice is not a commit";
  Paint();
  for (const std::string& path : chosen) EXPECT_TRUE(WasDrawn(path)) << path;

  prompt_script_.QueueFiles(std::vector<std::string>{"/data/d.QRS"});
  Click(1);
  EXPECT_EQ(file->GetHeight(), 21);
  EXPECT_FALSE(file->IsLabelAtTop());
}

TEST(FileRowHeight, GrowsOnlyWhenTheLinesDoNotFit) {
  struct Case {
    int count, font_height, base, want;
  };
  const Case cases[] = {
      {3, -13, 21, 53}, {3, 13, 21, 53}, {1, -13, 21, 21}, {2, -11, 28, 28}, {2, -11, 27, 33}};
  for (const Case& c : cases) EXPECT_EQ(FileRowHeight(c.count, c.font_height, c.base), c.want) << c.count;
}

TEST_F(FileItemTest, CancellingEitherDialogKeepsPathsAndHeight) {
  for (const uint32_t options : {kFileOpenDialog, kFileChooseFolder}) {
    SCOPED_TRACE(options);
    auto* file = Insert(Labelled<COptionTreeFileItem>("Folder"));
    ASSERT_TRUE(file->CreateFileItem("/data/one", "", "", options | kFileShowFullPath, 0));
    file->AddPath("/data/two");
    prompt_script_.QueueFile(std::nullopt);
    prompt_script_.QueueFolder(std::nullopt);
    Click(1);
    EXPECT_EQ(file->GetPaths(), (std::vector<std::string>{"/data/one", "/data/two"}));
    EXPECT_EQ(file->GetHeight(), 21);
    ASSERT_FALSE(prompt_script_.Log().empty());
    EXPECT_EQ(prompt_script_.Log().back().kind, options == kFileChooseFolder ? "folder" : "file");
    tree_.DeleteItem(file);
    prompt_script_.ClearLog();
  }
}

TEST_F(FileItemTest, FolderModeBrowsesFromTheFirstPathAndStoresTheFolder) {
  auto* file = Insert(Labelled<COptionTreeFileItem>("Data folder"));
  ASSERT_TRUE(
      file->CreateFileItem("/home/user/ZK-470/Data", "", "", kFileChooseFolder | kFileShowFullPath, 0));
  file->AddPath("/other");
  file->SetFolderTitle("Data folder");
  EXPECT_EQ((COptionTreeFileItem{}).GetFolderTitle(), "Select Folder");
  prompt_script_.QueueFolder("/srv/holter");
  Click(1);
  ASSERT_EQ(prompt_script_.Log().size(), 1u);
  EXPECT_EQ(prompt_script_.Log()[0].kind, "folder");
  EXPECT_EQ(prompt_script_.Log()[0].caption, "Data folder");
  EXPECT_EQ(prompt_script_.Log()[0].text, "/home/user/ZK-470/Data");
  EXPECT_EQ(file->GetPaths(), (std::vector<std::string>{"/srv/holter"}));
  EXPECT_EQ(file->GetFolderPath(), "/srv/holter");
  EXPECT_EQ(file->GetHeight(), 21);
  EXPECT_FALSE(file->IsLabelAtTop());
}

TEST_F(FileItemTest, DisplayFormsLookFilesUpAndSplitPaths) {
  const std::filesystem::path dir = testsupport::MakeTestDir("optiontree_e");
  testsupport::WriteText(dir / "Report.TXT", "x");
  testsupport::WriteText(dir / "notes", "x");
  const std::string d = dir.string() + "/";
  auto* file = Insert(Labelled<COptionTreeFileItem>("Files"));
  ASSERT_TRUE(file->CreateFileItem(d + "report.txt", "", "", 0, 0));
  for (const std::string& p : {d + "notes", d + "missing.dat", d + "*.txt", std::string("C:\\Data\\old.QRS")})
    file->AddPath(p);
  struct Case {
    const char* name;
    uint32_t options;
    std::string want;
  };
  const Case cases[] = {
      {"full path", kFileShowFullPath,
       d + "report.txt\n" + d + "notes\n" + d + "missing.dat\n" + d + "*.txt\nC:\\Data\\old.QRS\n"},
      {"no form bit is the full path", 0,
       d + "report.txt\n" + d + "notes\n" + d + "missing.dat\n" + d + "*.txt\nC:\\Data\\old.QRS\n"},
      {"name, as the folder spells it", kFileShowName | kFileShowTitle, "Report.TXT\nnotes\nReport.TXT\n"},
      {"title", kFileShowTitle | kFileShowFolder, "Report\nnotes\nReport\n"},
      {"extension", kFileShowExtension, "TXT\n\nTXT\n"},
      {"folder", kFileShowFolder, d + "\n" + d + "\n" + d + "\n" + d + "\nC:\\Data\\\n"},
      {"drive", kFileShowDrive, "\n\n\n\nC:\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    file->SetOption(c.options);
    EXPECT_EQ(file->DisplayText(), c.want);
  }

  auto* gone = Insert(Labelled<COptionTreeFileItem>("Gone"));
  ASSERT_TRUE(gone->CreateFileItem(d + "missing.dat", "", "", kFileShowName, 0));
  EXPECT_EQ(gone->DisplayText(), "No selection made.");
}

TEST_F(FileItemTest, PathsLongerThanTheOldBufferStayWhole) {
  const std::string long_path = "/data/" + std::string(300, 'a') + "/" + std::string(120, 'b') + ".QRS";
  auto* file = Insert(Labelled<COptionTreeFileItem>("Long"));
  ASSERT_TRUE(file->CreateFileItem(long_path, "", "", kFileShowFullPath | kFileOpenDialog, 0));
  const std::string chosen = long_path + ".copy";
  prompt_script_.QueueFile(chosen);
  Click(1);
  ASSERT_TRUE(prompt_script_.last.has_value());
  EXPECT_EQ(prompt_script_.last->file_name, long_path);
  EXPECT_EQ(file->GetPaths(), (std::vector<std::string>{chosen}));
  EXPECT_EQ(file->DisplayText(), chosen + "\n");
  EXPECT_EQ(file->GetFileName(), std::string(120, 'b') + ".QRS.copy");
}

// ----- the rows together

TEST_F(OptionTreeItemsTest, GoldenTreeOfComboDateAndFileRows) {
  auto* combo = Insert(Labelled<COptionTreeComboItem>("Lead"));
  ASSERT_TRUE(combo->CreateComboWindow());
  for (const char* text : {"I", "II", "V1"}) combo->AddString(text);
  combo->SetCurSel(2);
  auto* date = Insert(Labelled<COptionTreeDateItem>("Start date"));
  ASSERT_TRUE(date->CreateDateWindow("ddd, MMM d, yyyy", kDtsLongDateFormat));
  date->SetTime(platform::LocalDateTime{2026, 12, 11, 8, 30, 0});
  auto* time = Insert(Labelled<COptionTreeDateItem>("Start time"));
  ASSERT_TRUE(time->CreateDateWindow("hh:mm tt", kDtsTimeFormat));
  time->SetTime(platform::LocalDateTime{2026, 12, 11, 8, 30, 0});
  time->SetReadOnly(true);
  auto* files = Insert(Labelled<COptionTreeFileItem>("Recordings"));
  ASSERT_TRUE(files->CreateFileItem("/data/a.QRS", "QRS", "", kFileShowFullPath | kFileOpenDialog,
                                    kOfnAllowMultiSelect));
  auto* folder = Insert(Labelled<COptionTreeFileItem>("Export folder"));
  ASSERT_TRUE(
      folder->CreateFileItem("/home/user/ZK-470/Export", "", "", kFileChooseFolder | kFileShowFullPath, 0));
  {
    win::ScriptedPrompt prompt;
    win::ScopedPrompt scoped(prompt);
    prompt.QueueFiles(std::vector<std::string>{"/data/a.QRS", "/data/b.QRS", "/data/c.QRS"});
    Click(4);
  }
  Click(2);  // the date editor open over its row
  Paint();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_e_items", testsupport::RecordedScreen(tree_));
}

}  // namespace
}  // namespace dialogs
