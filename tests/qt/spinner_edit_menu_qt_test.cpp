#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_spinner_item.h"
#include "qt/dialog_host_test.h"
#include "qt/qt_clipboard.h"
#include "win/clipboard.h"
#include "win/window.h"

namespace qthost {
namespace {

// A dialog-like top-level window that the widget host shows, holding only the tree.
class TreeDialog : public win::Window {
 public:
  bool RenderedAsWidgets() const override { return true; }
};

struct Entry {
  QString text;
  bool enabled;
};

class SpinnerEditMenuQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    win::SetClipboard(&clipboard_);
    ASSERT_TRUE(dialog_.Create(nullptr, {100, 100, 440, 240},
                               win::kWsPopup | win::kWsCaption | win::kWsVisible, 0, "Values"));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {10, 10, 330, 130}, &dialog_,
                             dialogs::OptionShadeCategories, 100));
    auto* category = tree_.InsertItem(new dialogs::COptionTreeItem);
    category->SetLabelText("Recording");
    category->Expand(true);
    beats_ = new dialogs::COptionTreeSpinnerItem;
    beats_->SetLabelText("Beats");
    tree_.InsertItem(beats_, category);
    ASSERT_TRUE(beats_->CreateSpinnerWindow(dialogs::kSpinnerOptionDirectEdit, 12, 0, 1000));
    tree_.UpdateList();
    Settle();
    const gfx::Rect r = beats_->GetValueRect();
    tree_.GetListWindow().SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(r.left + 20, r.top + 5));
    Settle();
    line_ = qobject_cast<QLineEdit*>(dialogs_->WidgetOf(beats_->GetSpinner().GetEdit()));
    ASSERT_NE(line_, nullptr);
  }
  void ReleaseBeforeWindows() override {
    tree_.DestroyWindow();
    dialog_.DestroyWindow();
    win::SetClipboard(nullptr);
  }

  void Settle() {
    for (int i = 0; i < 3; ++i) {
      win::Windows().RunPending();
      dialogs_->SyncPending();
      QCoreApplication::processEvents();
    }
  }

  // A right-click in the field; the menu that shows is read, and the entry with the text chosen
  // (none: the menu is closed).
  std::vector<Entry> RightClickAndChoose(const QString& choice) {
    std::vector<Entry> shown;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QAction* chosen = nullptr;
      for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        shown.push_back({action->text(), action->isEnabled()});
        if (action->text() == choice) chosen = action;
      }
      if (chosen != nullptr) chosen->trigger();
      menu->hide();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), line_->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(line_, &event);
    Settle();
    return shown;
  }

  QtClipboard clipboard_;
  TreeDialog dialog_;
  dialogs::COptionTree tree_;
  dialogs::COptionTreeSpinnerItem* beats_ = nullptr;
  QLineEdit* line_ = nullptr;
};

TEST_F(SpinnerEditMenuQtTest, RightClickShowsTheFieldsOwnMenuOverTheDesktopClipboard) {
  QGuiApplication::clipboard()->clear();
  ASSERT_EQ(line_->text(), "12");
  line_->selectAll();
  const std::vector<Entry> menu = RightClickAndChoose("&Copy");
  const std::vector<std::pair<QString, bool>> want = {{"&Undo", false},  {"Cu&t", true},
                                                      {"&Copy", true},   {"&Paste", false},
                                                      {"&Delete", true}, {"Select &All", false}};
  ASSERT_EQ(menu.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(menu[i].text, want[i].first);
    EXPECT_EQ(menu[i].enabled, want[i].second) << want[i].first.toStdString();
  }
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "12");

  // Pasting replaces the selection the user sees with the desktop's text, digits only.
  QGuiApplication::clipboard()->setText("3a45");
  EXPECT_EQ(clipboard_.GetText(), "3a45");
  line_->setSelection(1, 1);
  RightClickAndChoose("&Paste");
  EXPECT_EQ(beats_->GetSpinner().GetEdit().GetWindowText(), "1345");
  EXPECT_EQ(line_->text(), "1345");

  // Select All shows in the widget.
  line_->setCursorPosition(0);
  RightClickAndChoose("Select &All");
  EXPECT_EQ(line_->selectedText(), "1345");

  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(clipboard_.GetText(), std::nullopt);
}

}  // namespace
}  // namespace qthost
