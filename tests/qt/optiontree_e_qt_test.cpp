#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_combo_item.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_file_item.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/dialog.h"
#include "win/system_metrics.h"

namespace qthost {
namespace {

using dialogs::COptionTree;
using dialogs::COptionTreeComboItem;
using dialogs::COptionTreeDateItem;
using dialogs::COptionTreeFileItem;
using dialogs::COptionTreeItem;

// A dialog holding an option tree with a combo box, a date, a read-only time, a list of files and
// a folder.
class TreeDialog : public win::Dialog {
 public:
  COptionTree tree;
  COptionTreeComboItem* combo = nullptr;
  COptionTreeDateItem* date = nullptr;
  COptionTreeFileItem* files = nullptr;

 protected:
  bool CreateDialogWindow(win::Window* parent, bool child) override {
    if (!Create(parent, {100, 100, 540, 420}, win::kWsPopup | win::kWsCaption | win::kWsSysMenu, 0,
                "Recording options"))
      return false;
    SetFont(win::DialogFont(), false);
    return true;
  }
  bool OnInitDialog() override {
    tree.Create(
        win::kWsChild | win::kWsVisible, {10, 10, 430, 310}, this,
        dialogs::OptionShowInfoPane | dialogs::OptionShadeCategories | dialogs::OptionShadeExpandColumn, 100);
    auto* category = new COptionTreeItem;
    category->SetLabelText("Recording");
    tree.InsertItem(category);
    combo = Add<COptionTreeComboItem>(category, "Lead", "The lead shown first.");
    combo->CreateComboWindow();
    for (const char* text : {"I", "II", "V1"}) combo->AddString(text);
    combo->SetCurSel(1);
    date = Add<COptionTreeDateItem>(category, "Start date", "The day the recording began.");
    date->CreateDateWindow("ddd, MMM d, yyyy", dialogs::kDtsLongDateFormat);
    date->SetTime(platform::LocalDateTime{2026, 12, 11, 8, 30, 0});
    auto* time = Add<COptionTreeDateItem>(category, "Start time", "Read from the recorder.");
    time->CreateDateWindow("hh:mm tt", dialogs::kDtsTimeFormat);
    time->SetTime(platform::LocalDateTime{2026, 12, 11, 8, 30, 0});
    time->SetReadOnly(true);
    files = Add<COptionTreeFileItem>(category, "Recordings", "The recordings to compare.");
    files->CreateFileItem("/data/a.QRS", "QRS", "Recordings (*.QRS)|*.QRS||",
                          dialogs::kFileShowFullPath | dialogs::kFileOpenDialog,
                          dialogs::kOfnAllowMultiSelect);
    auto* folder = Add<COptionTreeFileItem>(category, "Export folder", "Where the results go.");
    folder->CreateFileItem("/home/user/ZK-470/Export", "", "",
                           dialogs::kFileChooseFolder | dialogs::kFileShowFullPath, 0);
    category->Expand(true);
    tree.UpdateList();
    return false;
  }

 private:
  template <typename T>
  T* Add(COptionTreeItem* parent, const char* label, const char* info) {
    auto* item = new T;
    item->SetLabelText(label);
    item->SetInfoText(info);
    tree.InsertItem(item, parent);
    return item;
  }
};

class OptionTreeEQtTest : public testing_support::DialogHostTest {
 protected:
  void ReleaseBeforeWindows() override { dialog_.DestroyWindow(); }

  void ClickRow(int row) {
    dialog_.tree.GetListWindow().SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(250, 21 * row + 10));
    Settle();
  }
  void Settle() {
    win::Windows().RunPending();
    QCoreApplication::processEvents();
    win::Windows().RunPending();
    QCoreApplication::processEvents();
  }
  // Saves the dialog's picture; the texts must have reached it.
  void Shoot(const char* name) {
    Settle();
    QWidget* window = dialogs_->WidgetOf(dialog_);
    ASSERT_NE(window, nullptr);
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 300) << name;
    testing_support::SaveScreenshot(*window, name);
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (std::string(name) + ".png")));
  }
  // Where the editor's widget lies in the list window's widget, and whether it shows.
  template <typename W>
  W* EditorWidget(win::Window& editor) {
    QWidget* widget = dialogs_->WidgetOf(editor);
    return qobject_cast<W*>(widget);
  }

  TreeDialog dialog_;
};

TEST_F(OptionTreeEQtTest, TreeInADialogWithItsEditorsAsWidgets) {
  ASSERT_TRUE(dialog_.CreateModeless(nullptr, true));
  Settle();
  auto* combo = EditorWidget<QComboBox>(*dialog_.combo);
  auto* date = EditorWidget<QDateTimeEdit>(*dialog_.date);
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(date, nullptr);
  EXPECT_FALSE(combo->isVisible());
  EXPECT_FALSE(date->isVisible());
  Shoot("optiontree_e_closed");

  prompt_.QueueFiles(std::vector<std::string>{"/data/a.QRS", "/data/b.QRS", "/data/c.QRS"});
  ClickRow(4);
  EXPECT_EQ(dialog_.files->GetHeight(), 47);

  ClickRow(1);
  ASSERT_TRUE(dialog_.combo->IsActivated());
  EXPECT_TRUE(combo->isVisible());
  EXPECT_EQ(combo->geometry().left(), dialog_.combo->GetValueRect().left);
  EXPECT_EQ(combo->geometry().top(), dialog_.combo->GetValueRect().top);
  EXPECT_EQ(combo->currentText(), "II");
  Shoot("optiontree_e_combo_open");

  ClickRow(2);
  EXPECT_FALSE(combo->isVisible());
  ASSERT_TRUE(dialog_.date->IsActivated());
  EXPECT_TRUE(date->isVisible());
  EXPECT_EQ(date->geometry().left(), dialog_.date->GetValueRect().left);
  EXPECT_EQ(date->date(), QDate(2026, 12, 11));
  Shoot("optiontree_e_date_open");
}

}  // namespace
}  // namespace qthost
