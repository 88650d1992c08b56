#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>

#include "dialogs/optiontree_all_tree.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/window.h"

namespace qthost {
namespace {

using dialogs::COptionTreeItem;

// A dialog-like top-level window that the widget host shows, holding only the tree.
class TreeDialog : public win::Window {
 public:
  bool RenderedAsWidgets() const override { return true; }
};

class OptionTreeAllQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(dialog_.Create(nullptr, {100, 60, 560, 660},
                               win::kWsPopup | win::kWsCaption | win::kWsVisible, 0, "Recording settings"));
    ASSERT_TRUE(tree_.Create(
        win::kWsChild | win::kWsVisible, {10, 10, 450, 590}, &dialog_,
        dialogs::OptionShowInfoPane | dialogs::OptionShadeCategories | dialogs::OptionShadeExpandColumn,
        100));
    t_ = dialogs::testing_support::FillTreeOfEveryKind(tree_);
    Settle();
  }
  void ReleaseBeforeWindows() override {
    tree_.DestroyWindow();
    dialog_.DestroyWindow();
  }

  void Settle() {
    for (int i = 0; i < 3; ++i) {
      win::Windows().RunPending();
      dialogs_->SyncPending();
      QCoreApplication::processEvents();
    }
  }

  // A press and release on the row's value column, through the window tree as the host hands
  // the mouse on.
  void ClickValue(const COptionTreeItem& item) {
    const gfx::Point list = tree_.GetListWindow().OffsetInTopLevel();
    const gfx::Rect value = item.GetValueRect();
    const gfx::Point p{list.x + value.left + 8, list.y + value.top + 5};
    win::Windows().MouseInput(dialog_, win::kWmLButtonDown, p);
    win::Windows().MouseInput(dialog_, win::kWmLButtonUp, p);
    Settle();
  }

  // Saves the dialog's picture, which must show text (grey in a disabled tree).
  QImage Shoot(const std::string& name) {
    Settle();
    QWidget* window = dialogs_->WidgetOf(dialog_);
    EXPECT_NE(window, nullptr);
    if (window == nullptr) return {};
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(dark, 300) << name;
    testing_support::SaveScreenshot(*window, name.c_str());
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
    return image;
  }

  // The editor's widget shows over the row's value column, its top edge on the row's.
  void ExpectWidgetOnRow(const win::Window& editor, const COptionTreeItem& item) {
    QWidget* top = dialogs_->WidgetOf(dialog_);
    QWidget* widget = dialogs_->WidgetOf(editor);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isVisibleTo(top));
    const gfx::Point list = tree_.GetListWindow().OffsetInTopLevel();
    const gfx::Rect value = item.GetValueRect();
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    EXPECT_EQ(at.x(), list.x + value.left);
    EXPECT_EQ(at.y(), list.y + value.top);
    EXPECT_LE(widget->height(), item.GetHeight());
  }

  TreeDialog dialog_;
  dialogs::COptionTree tree_;
  dialogs::testing_support::TreeOfEveryKind t_;
};

TEST_F(OptionTreeAllQtTest, EveryKindCollapsedExpandedEditingAndDisabled) {
  Shoot("optiontree_all_collapsed");
  tree_.ExpandAll();
  tree_.UpdateList();
  Shoot("optiontree_all_expanded");

  struct Case {
    const char* name;
    COptionTreeItem* item;
    const win::Window* editor;
  };
  const Case kCases[] = {
      {"edit", t_.station, &t_.station->GetEdit()},
      {"spinner", t_.beats, nullptr},
      {"ip_address", t_.server, nullptr},
      {"combo", t_.lead, t_.lead},
      {"date", t_.date, t_.date},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ClickValue(*c.item);
    EXPECT_TRUE(c.item->IsActivated());
    if (c.editor != nullptr) ExpectWidgetOnRow(*c.editor, *c.item);
    Shoot(std::string("optiontree_all_editing_") + c.name);
  }
  // The date row lies below the combo box's list area: its click opened the date, not the list.
  EXPECT_FALSE(t_.lead->IsActivated());
  EXPECT_FALSE(t_.lead->GetDroppedState());

  tree_.GetListWindow().SetFocus();
  tree_.EnableWindow(false);
  Settle();
  Shoot("optiontree_all_disabled");
}

}  // namespace
}  // namespace qthost
