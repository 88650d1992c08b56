#include "qt/qt_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/progress_window.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/items_dlg.h"
#include "dialogs/property_sheet.h"
#include "dialogs/wait_dlgs.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "qt/canvas_host.h"
#include "qt/dialog_host_test.h"
#include "qt/event_pump.h"
#include "qt/qt_prompt.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "win/controls.h"
#include "win/data_exchange.h"
#include "win/dialog.h"
#include "win/prompt.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

constexpr int kCalibrationId = 1226;
constexpr int kNameId = 1227;
constexpr int kCheckId = 1064;

constexpr win::ControlTemplate kTapePage[] = {
    {-1, win::ControlKind::kStatic, "Calibration length (0..30):", 7, 9, 100, 8},
    {kCalibrationId, win::ControlKind::kEdit, "", 110, 7, 40, 12},
    {kCheckId, win::ControlKind::kCheckBox, "Convert automatically", 7, 26, 120, 10},
};
constexpr win::ControlTemplate kUserPage[] = {
    {-1, win::ControlKind::kStatic, "User name:", 7, 9, 60, 8},
    {kNameId, win::ControlKind::kEdit, "", 70, 7, 120, 12},
};
constexpr int kListId = 1300;
constexpr int kComboId = 1301;
constexpr int kViewId = 1302;
constexpr win::ControlTemplate kListsDialog[] = {
    {kListId, win::ControlKind::kListBox, "", 7, 7, 100, 80},
    {kComboId, win::ControlKind::kComboDropList, "", 115, 7, 100, 80},
    {kViewId, win::ControlKind::kListView, "", 7, 95, 208, 80},
};
constexpr win::DialogTemplate kPages[] = {{700, "Tape", 212, 120, kTapePage, true},
                                          {701, "User", 212, 120, kUserPage, true},
                                          {702, "Lists", 222, 185, kListsDialog, false}};

class TapePage : public win::PropertyPage {
 public:
  TapePage() : win::PropertyPage(700) {}
  int calibration = 12;
  int automatic = 1;

 protected:
  void DoDataExchange(win::DataExchange& dx) override {
    win::DdxText(dx, kCalibrationId, calibration);
    win::DdvMinMaxInt(dx, calibration, 0, 30);
    win::DdxCheck(dx, kCheckId, automatic);
  }
};

class UserPage : public win::PropertyPage {
 public:
  UserPage() : win::PropertyPage(701) {}
  std::string name = "Dr. Weber";

 protected:
  void DoDataExchange(win::DataExchange& dx) override {
    win::DdxText(dx, kNameId, name);
    win::DdvMaxChars(dx, name, 40);
  }
};

template <typename T>
T* Find(QWidget* root, const QString& text = {}) {
  for (T* widget : root->findChildren<T*>()) {
    if (text.isEmpty()) return widget;
    if constexpr (std::is_base_of_v<QAbstractButton, T>) {
      if (widget->text() == text) return widget;
    }
  }
  return nullptr;
}

class QtDialogTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { win::Templates().Add(pack, kPages); }

  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& asked : prompt_.Log()) out.push_back(asked.text);
    return out;
  }
};

TEST_F(QtDialogTest, APropertySheetShowsAsWidgetsAndItsPageRefusesAWrongValue) {
  TapePage tape;
  UserPage user;
  TPropertySheet sheet("Options");
  sheet.AddPage(tape);
  sheet.AddPage(user);
  sheet.SetApplyButton(false);
  QWidget* window = nullptr;
  Steps({
      [&] {
        window = dialogs_->WidgetOf(sheet);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), "Options");
        auto* tabs = Find<QTabBar>(window);
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(1), "User");
        EXPECT_NE(Find<QPushButton>(window, "Play"), nullptr);
        auto* field = qobject_cast<QLineEdit*>(dialogs_->WidgetOf(*tape.GetDlgItem(kCalibrationId)));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), "12");
        auto* box = qobject_cast<QCheckBox*>(dialogs_->WidgetOf(*tape.GetDlgItem(kCheckId)));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked());
        testing_support::SaveScreenshot(*window, "property_sheet");
      },
      [&] {
        // The user types 31 and clicks another tab, then OK: both refused, the page stays.
        auto* field = qobject_cast<QLineEdit*>(dialogs_->WidgetOf(*tape.GetDlgItem(kCalibrationId)));
        field->selectAll();
        QTest::keyClicks(field, "31");
        EXPECT_EQ(tape.GetDlgItemText(kCalibrationId), "31");
        Find<QTabBar>(window)->setCurrentIndex(1);
        EXPECT_EQ(Find<QTabBar>(window)->currentIndex(), 0);
        EXPECT_FALSE(user.IsWindow());
        QTest::mouseClick(Find<QPushButton>(window, "OK"), Qt::LeftButton);
        EXPECT_FALSE(sheet.Ended());
        EXPECT_EQ(sheet.GetActivePage(), &tape);
        EXPECT_EQ(Messages(), (std::vector<std::string>{"Please enter an integer between 0 and 30.",
                                                        "Please enter an integer between 0 and 30."}));
      },
      [&] {
        auto* field = qobject_cast<QLineEdit*>(dialogs_->WidgetOf(*tape.GetDlgItem(kCalibrationId)));
        field->selectAll();
        QTest::keyClicks(field, "30");
        QTest::mouseClick(qobject_cast<QCheckBox*>(dialogs_->WidgetOf(*tape.GetDlgItem(kCheckId))),
                          Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_Return);  // Enter: the sheet's default button
      },
      [&] {
        if (!sheet.Ended()) sheet.EndDialog(win::kIdCancel);
      },
  });
  EXPECT_EQ(sheet.DoModal(), win::kIdOk);
  EXPECT_EQ(tape.calibration, 30);
  EXPECT_EQ(tape.automatic, 0);
  EXPECT_EQ(user.name, "Dr. Weber");  // never shown
  EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "property_sheet.png"));
}

TEST_F(QtDialogTest, TheProgressWindowShowsItsTextBarAndCancel) {
  win::Window main;
  ASSERT_TRUE(main.Create(nullptr, {0, 0, 800, 600}, win::kWsCaption | win::kWsVisible, 0, "Main"));
  win::Windows().SetMainWindow(&main);
  CProgressWindow progress(&main, "Writing BIN - File", false);
  ASSERT_TRUE(progress.BeginModal("Progress", false));
  progress.SetRange(0, 101, 1);
  progress.SetText("%s", "00012.QRS -> 00012.BIN");
  progress.SetPos(50);
  QWidget* window = dialogs_->WidgetOf(progress);
  ASSERT_NE(window, nullptr);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Writing BIN - File [49%]");
  auto* bar = Find<QProgressBar>(window);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), 101);
  EXPECT_EQ(bar->value(), 50);
  EXPECT_EQ(Find<QLabel>(window)->text(), "00012.QRS -> 00012.BIN");
  testing_support::SaveScreenshot(*window, "progress_window");
  EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "progress_window.png"));
  // The user clicks Cancel while the owner pumps.
  QPushButton* cancel = Find<QPushButton>(window, " Cancel ");
  ASSERT_NE(cancel, nullptr);
  QTimer::singleShot(0, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
  int cancelled = 0;
  for (int i = 0; i < 50 && cancelled == 0; ++i) cancelled = progress.PumpMessages(true);
  EXPECT_NE(cancelled, 0);
  EXPECT_FALSE(progress.IsWindow());
}

TEST_F(QtDialogTest, TheItemsListSelectsFromTheWidgets) {
  win::CommandTarget target;
  TItemsDlg items(&target, "Recorders found", "Device", 0);
  items.input = {"USB converter 1", "USB converter 2", "Serial COM1"};
  Steps({
      [&] {
        QWidget* window = dialogs_->WidgetOf(items);
        ASSERT_NE(window, nullptr);
        auto* tree = Find<QTreeWidget>(window);
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->topLevelItemCount(), 3);
        EXPECT_EQ(tree->headerItem()->text(0), "Device");
        tree->clearSelection();
        tree->topLevelItem(2)->setSelected(true);
        tree->topLevelItem(1)->setSelected(true);
        QTest::mouseClick(Find<QPushButton>(window, "Select"), Qt::LeftButton);
      },
      [&] {
        if (!items.Ended()) items.EndDialog(win::kIdCancel);
      },
  });
  EXPECT_EQ(items.DoModal(), win::kIdOk);
  EXPECT_EQ(items.selected, (std::vector<std::string>{"USB converter 2", "Serial COM1"}));
  EXPECT_EQ(items.last_selected, 2);
}

TEST_F(QtDialogTest, AWaitDialogEndsWhenItsWorkerPostsAndKeysDoNotEndIt) {
  std::atomic<bool> release{false};
  std::atomic<bool> done{false};
  TWorkWaitDlg wait([&] {
    while (!release.load()) std::this_thread::yield();
    done = true;
  });
  Steps({[&] {
    QWidget* window = dialogs_->WidgetOf(wait);
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_Escape);
    QTest::keyClick(window, Qt::Key_Return);
    window->close();
    EXPECT_FALSE(wait.Ended());
    // The worker's post wakes the event loop, which delivers it.
    release = true;
  }});
  EXPECT_EQ(wait.DoModal(), 1);
  EXPECT_TRUE(done);
}

// A modeless dialog with a list box, a drop-down list and a list view, shown through the host.
class ListSyncTest : public QtDialogTest {
 protected:
  void SetUp() override {
    QtDialogTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 800, 600}, win::kWsCaption | win::kWsVisible, 0, "Main"));
    win::Windows().SetMainWindow(&main_);
    ASSERT_TRUE(dialog_.CreateModeless(&main_));
    list_ = dynamic_cast<win::ListBox*>(dialog_.GetDlgItem(kListId));
    combo_ = dynamic_cast<win::ComboBox*>(dialog_.GetDlgItem(kComboId));
    view_ = dynamic_cast<win::ListView*>(dialog_.GetDlgItem(kViewId));
    ASSERT_NE(list_, nullptr);
    ASSERT_NE(combo_, nullptr);
    ASSERT_NE(view_, nullptr);
    view_->InsertColumn(0, "Name", win::kLvcfmtLeft, 100);
    view_->InsertColumn(1, "Size", win::kLvcfmtLeft, 60);
    QCoreApplication::processEvents();
  }
  void ReleaseBeforeWindows() override {
    if (dialog_.IsWindow()) dialog_.DestroyWindow();
    if (main_.IsWindow()) main_.DestroyWindow();
  }

  QListWidget* ListWidget() { return qobject_cast<QListWidget*>(dialogs_->WidgetOf(*list_)); }
  QComboBox* ComboWidget() { return qobject_cast<QComboBox*>(dialogs_->WidgetOf(*combo_)); }
  QTreeWidget* ViewWidget() { return qobject_cast<QTreeWidget*>(dialogs_->WidgetOf(*view_)); }

  // The rows and the choice the widgets show are the models' ones.
  void ExpectWidgetsShowTheModels() {
    QListWidget* list = ListWidget();
    ASSERT_EQ(list->count(), list_->GetCount());
    for (int i = 0; i < list_->GetCount(); ++i)
      EXPECT_EQ(list->item(i)->text().toStdString(), list_->GetText(i)) << i;
    EXPECT_EQ(list->currentRow(), list_->GetCurSel());
    QComboBox* combo = ComboWidget();
    ASSERT_EQ(combo->count(), combo_->GetCount());
    for (int i = 0; i < combo_->GetCount(); ++i)
      EXPECT_EQ(combo->itemText(i).toStdString(), combo_->GetLBText(i)) << i;
    EXPECT_EQ(combo->currentIndex(), combo_->GetCurSel());
    QTreeWidget* tree = ViewWidget();
    ASSERT_EQ(tree->topLevelItemCount(), view_->GetItemCount());
    for (int i = 0; i < view_->GetItemCount(); ++i) {
      for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(tree->topLevelItem(i)->text(c).toStdString(), view_->GetItemText(i, c)) << i << "," << c;
      }
      EXPECT_EQ(tree->topLevelItem(i)->isSelected(), view_->GetItemState(i, win::kLvisSelected) != 0) << i;
    }
  }

  win::Window main_;
  win::Dialog dialog_{702};
  win::ListBox* list_ = nullptr;
  win::ComboBox* combo_ = nullptr;
  win::ListView* view_ = nullptr;
};

TEST_F(ListSyncTest, AnyMixOfRowChangesLeavesTheWidgetsEqualToTheModels) {
  enum class Op { kInsert, kDelete, kReset, kChange, kSelect };
  struct Step {
    Op op;
    int row;
    const char* text = "";
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool sync_between = false;  // let the widgets catch up after every step
  };
  const std::vector<Case> cases = {
      {"appends then selects",
       {{Op::kInsert, -1, "a"}, {Op::kInsert, -1, "b"}, {Op::kInsert, -1, "c"}, {Op::kSelect, 1}}},
      {"inserts at the front move the choice",
       {{Op::kInsert, -1, "a"},
        {Op::kSelect, 0},
        {Op::kInsert, 0, "b"},
        {Op::kInsert, 0, "c"},
        {Op::kInsert, 1, "d"}}},
      {"a row inserted then changed then deleted",
       {{Op::kInsert, -1, "a"},
        {Op::kInsert, 0, "b"},
        {Op::kChange, 1, "a2"},
        {Op::kDelete, 0},
        {Op::kInsert, 1, "c"}}},
      {"deleting the chosen row clears the choice",
       {{Op::kInsert, -1, "a"},
        {Op::kInsert, -1, "b"},
        {Op::kInsert, -1, "c"},
        {Op::kSelect, 1},
        {Op::kDelete, 1}},
       true},
      {"deleting above the choice moves it",
       {{Op::kInsert, -1, "a"},
        {Op::kInsert, -1, "b"},
        {Op::kInsert, -1, "c"},
        {Op::kSelect, 2},
        {Op::kDelete, 0}},
       true},
      {"a reset in the middle of a burst",
       {{Op::kInsert, -1, "a"},
        {Op::kSelect, 0},
        {Op::kReset, 0},
        {Op::kInsert, -1, "x"},
        {Op::kInsert, 0, "y"},
        {Op::kChange, 0, "y2"}}},
      {"a reset after the widgets caught up, then a selection",
       {{Op::kInsert, -1, "a"},
        {Op::kInsert, -1, "b"},
        {Op::kReset, 0},
        {Op::kInsert, -1, "c"},
        {Op::kSelect, 0}},
       true},
      {"changes on rows already shown",
       {{Op::kInsert, -1, "a"},
        {Op::kInsert, -1, "b"},
        {Op::kChange, 1, "b2"},
        {Op::kChange, 0, "a2"},
        {Op::kDelete, 1},
        {Op::kInsert, 0, "z"},
        {Op::kSelect, 1}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list_->ResetContent();
    combo_->ResetContent();
    view_->DeleteAllItems();
    ExpectWidgetsShowTheModels();
    for (const Step& step : c.steps) {
      switch (step.op) {
        case Op::kInsert:
          list_->InsertString(step.row, step.text);
          combo_->InsertString(step.row, step.text);
          view_->SetItemText(view_->InsertItem(step.row, step.text), 1, std::string(step.text) + "!");
          break;
        case Op::kDelete:
          list_->DeleteString(step.row);
          combo_->DeleteString(step.row);
          view_->DeleteItem(step.row);
          break;
        case Op::kReset:
          list_->ResetContent();
          combo_->ResetContent();
          view_->DeleteAllItems();
          break;
        case Op::kChange:
          // List boxes change a row's text by replacing it.
          list_->DeleteString(step.row);
          list_->InsertString(step.row, step.text);
          combo_->DeleteString(step.row);
          combo_->InsertString(step.row, step.text);
          view_->SetItemText(step.row, 0, step.text);
          view_->SetItemText(step.row, 1, std::string(step.text) + "?");
          break;
        case Op::kSelect:
          list_->SetCurSel(step.row);
          combo_->SetCurSel(step.row);
          view_->SetItemState(step.row, win::kLvisSelected | win::kLvisFocused,
                              win::kLvisSelected | win::kLvisFocused);
          break;
      }
      if (c.sync_between) QCoreApplication::processEvents();
    }
    ExpectWidgetsShowTheModels();
  }
}

TEST_F(ListSyncTest, ABurstOfInsertsIsOneSyncWhenTheEventLoopRuns) {
  QListWidget* list = ListWidget();
  QTreeWidget* tree = ViewWidget();
  const uint64_t before = dialogs_->SyncCount();
  for (int i = 0; i < 1000; ++i) list_->AddString("row " + std::to_string(i));
  // Nothing is synced while the handler still runs.
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(dialogs_->SyncCount(), before);
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs_->SyncCount(), before + 1);
  ASSERT_EQ(list->count(), 1000);
  EXPECT_EQ(list->item(999)->text(), "row 999");

  const uint64_t view_before = dialogs_->SyncCount();
  for (int i = 0; i < 1000; ++i) view_->SetItemText(view_->InsertItem(0, std::to_string(i)), 1, "x");
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs_->SyncCount(), view_before + 1);
  ASSERT_EQ(tree->topLevelItemCount(), 1000);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "999");
  EXPECT_EQ(tree->topLevelItem(999)->text(1), "x");
}

TEST_F(ListSyncTest, ASyncKeepsTheUsersChoiceAndScrollPosition) {
  for (int i = 0; i < 300; ++i) {
    list_->AddString("row " + std::to_string(i));
    view_->InsertItem(-1, "row " + std::to_string(i));
  }
  QListWidget* list = ListWidget();
  QTreeWidget* tree = ViewWidget();
  QCoreApplication::processEvents();
  // The user picks a row in each and scrolls elsewhere.
  list->setCurrentRow(150);
  EXPECT_EQ(list_->GetCurSel(), 150);
  tree->setCurrentItem(tree->topLevelItem(120));
  EXPECT_EQ(view_->GetNextItem(-1, win::kLvniSelected), 120);
  QCoreApplication::processEvents();
  list->verticalScrollBar()->setValue(40);
  tree->verticalScrollBar()->setValue(30);

  // The program adds rows at the end and renames one.
  for (int i = 0; i < 50; ++i) {
    list_->AddString("more " + std::to_string(i));
    view_->InsertItem(-1, "more " + std::to_string(i));
  }
  view_->SetItemText(5, 0, "renamed");
  QCoreApplication::processEvents();
  EXPECT_EQ(list->count(), 350);
  EXPECT_EQ(list->currentRow(), 150);
  EXPECT_EQ(list->verticalScrollBar()->value(), 40);
  EXPECT_EQ(tree->topLevelItemCount(), 350);
  EXPECT_EQ(tree->topLevelItem(5)->text(0), "renamed");
  EXPECT_TRUE(tree->topLevelItem(120)->isSelected());
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(120));
  EXPECT_EQ(tree->verticalScrollBar()->value(), 30);
}

TEST(RowChangeLog, ReadersGetTheChangesAfterTheirRevisionOrRebuildWhenTooFarBehind) {
  win::RowChangeLog log;
  std::vector<win::RowChangeLog::Change> changes;
  log.Add(win::RowChangeLog::Kind::kInserted, 0);
  log.Add(win::RowChangeLog::Kind::kChanged, 0);
  ASSERT_TRUE(log.Since(1, changes));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].kind, win::RowChangeLog::Kind::kChanged);
  ASSERT_TRUE(log.Since(log.Revision(), changes));
  EXPECT_TRUE(changes.empty());
  // A reset makes what came before moot: a reader before it starts again.
  log.Add(win::RowChangeLog::Kind::kReset, 7);
  EXPECT_FALSE(log.Since(1, changes));
  ASSERT_TRUE(log.Since(2, changes));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].row, -1);
  const uint64_t reader = log.Revision();
  for (size_t i = 0; i <= win::RowChangeLog::kCapacity; ++i) log.Add(win::RowChangeLog::Kind::kInserted, 0);
  EXPECT_FALSE(log.Since(reader, changes));
  EXPECT_FALSE(log.Since(log.Revision() + 1, changes));
}

TEST(QtPrompt, FiltersKeepTheirNamesAndMatchBothCases) {
  struct Case {
    const char* filter;
    const char* want;
  };
  const Case cases[] = {
      {"Recordings (*.QRS)|*.QRS|All files (*.*)|*.*||", "Recordings (*.QRS *.qrs);;All files (*)"},
      {"PDF files|*.pdf||", "PDF files (*.pdf *.PDF)"},
      {"Exchange files (*.kzt;*.khi)|*.kzt;*.khi||", "Exchange files (*.kzt *.KZT *.khi *.KHI)"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(QtFileFilter(c.filter).toStdString(), c.want);
  }
}

TEST(QtPrompt, MessageBoxesAnswerWithTheButtonChosenAndDefaultToTheSecondWhenAsked) {
  testing_support::TestApp();
  QtPrompt prompt;
  struct Case {
    unsigned style;
    int key;
    int want;
  };
  const Case cases[] = {
      {win::kMbYesNo | win::kMbIconQuestion, Qt::Key_Return, win::kIdYes},
      {win::kMbYesNo | win::kMbIconQuestion | win::kMbDefButton2, Qt::Key_Return, win::kIdNo},
      {win::kMbYesNoCancel, Qt::Key_Escape, win::kIdCancel},
      {win::kMbOk | win::kMbIconExclamation, Qt::Key_Return, win::kIdOk},
      {win::kMbRetryCancel | win::kMbIconStop, Qt::Key_Return, win::kIdRetry},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    QString shown;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shown = box->text();
      QTest::keyClick(box, static_cast<Qt::Key>(c.key));
    });
    EXPECT_EQ(prompt.MessageBox("Save the changes?", "ZK-470", c.style), c.want);
    EXPECT_EQ(shown, "Save the changes?");
  }
}

TEST(QtPrompt, TheColourChooserSpeaksTheProgramsColourOrder) {
  testing_support::TestApp();
  QtPrompt prompt;
  QColor shown;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = dialog->currentColor();
    dialog->setCurrentColor(QColor(1, 2, 3));
    dialog->accept();
  });
  EXPECT_EQ(prompt.ChooseColor(0x00CC8844), 0x00030201u);
  EXPECT_EQ(shown, QColor(0x44, 0x88, 0xCC));
}

}  // namespace
}  // namespace qthost
