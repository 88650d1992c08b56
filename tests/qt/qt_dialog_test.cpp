#include "qt/qt_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <atomic>
#include <functional>
#include <thread>
#include <memory>
#include <string>
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
#include "win/data_exchange.h"
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
constexpr win::DialogTemplate kPages[] = {{700, "Tape", 212, 120, kTapePage, true},
                                          {701, "User", 212, 120, kUserPage, true}};

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
        QTest::mouseClick(qobject_cast<QCheckBox*>(dialogs_->WidgetOf(*tape.GetDlgItem(kCheckId))), Qt::LeftButton);
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
