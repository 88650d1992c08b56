#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <filesystem>
#include <string>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/optiontree/option_tree_ip_address_item.h"
#include "dialogs/optiontree/option_tree_spinner_item.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"

namespace qthost {
namespace {

// A dialog-like top-level window that the widget host shows, holding only the tree.
class TreeDialog : public win::Window {
 public:
  bool RenderedAsWidgets() const override { return true; }
};

class OptionTreeItemsQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(dialog_.Create(nullptr, {100, 100, 440, 400},
                               win::kWsPopup | win::kWsCaption | win::kWsVisible, 0, "Recording settings"));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {10, 10, 330, 290}, &dialog_,
                             dialogs::OptionShadeExpandColumn | dialogs::OptionShadeCategories, 100));
    auto* category = tree_.InsertItem(Label(new dialogs::COptionTreeItem, "Recording"));
    category->Expand(true);
    station_ = Label(new dialogs::COptionTreeEditItem, "Station");
    tree_.InsertItem(station_, category);
    station_->CreateEditWindow(0);
    station_->GetEdit().SetWindowText("Holter room 2");
    auto* gain = Label(new dialogs::COptionTreeEditItem, "Gain");
    tree_.InsertItem(gain, category);
    gain->CreateEditWindow(dialogs::kEditOptionDecimal);
    gain->SetDoubleValue(2.5);
    beats_ = Label(new dialogs::COptionTreeSpinnerItem, "Beats");
    tree_.InsertItem(beats_, category);
    beats_->CreateSpinnerWindow(0, 12, 0, 100);
    server_ = Label(new dialogs::COptionTreeIPAddressItem, "Server");
    tree_.InsertItem(server_, category);
    server_->CreateIPAddressWindow();
    server_->GetAddressWindow().SetAddress({10, 0, 0, 47});
    auto* rate = Label(new dialogs::COptionTreeEditItem, "Sample rate");
    tree_.InsertItem(rate, category);
    rate->CreateEditWindow(dialogs::kEditOptionInteger);
    rate->SetIntValue(125);
    rate->SetReadOnly(true);
    tree_.UpdateList();
    Settle();
  }
  void ReleaseBeforeWindows() override {
    tree_.DestroyWindow();
    dialog_.DestroyWindow();
  }

  template <typename Item>
  static Item* Label(Item* item, const char* label) {
    item->SetLabelText(label);
    return item;
  }

  void Settle() {
    for (int i = 0; i < 3; ++i) {
      win::Windows().RunPending();
      dialogs_->SyncPending();
      QCoreApplication::processEvents();
    }
  }

  void Open(dialogs::COptionTreeItem* item) {
    const gfx::Rect r = item->GetValueRect();
    tree_.GetListWindow().SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(r.left + 20, r.top + 5));
    Settle();
  }

  // The widget of an editor window: a visible line edit where the window lies.
  void ExpectLineEditAt(const win::Window& window) {
    auto* line = qobject_cast<QLineEdit*>(dialogs_->WidgetOf(window));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisibleTo(dialogs_->WidgetOf(dialog_)));
    const gfx::Point at = window.OffsetInTopLevel();
    EXPECT_EQ(line->mapTo(dialogs_->WidgetOf(dialog_), QPoint(0, 0)), QPoint(at.x, at.y));
  }

  void Shoot(const char* name) {
    QWidget* window = dialogs_->WidgetOf(dialog_);
    ASSERT_NE(window, nullptr);
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 100) << name;
    testing_support::SaveScreenshot(*window, name);
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (std::string(name) + ".png")));
  }

  TreeDialog dialog_;
  dialogs::COptionTree tree_;
  dialogs::COptionTreeEditItem* station_ = nullptr;
  dialogs::COptionTreeSpinnerItem* beats_ = nullptr;
  dialogs::COptionTreeIPAddressItem* server_ = nullptr;
};

TEST_F(OptionTreeItemsQtTest, EditorsShowAsLineEditsOverTheValueColumn) {
  Open(station_);
  ExpectLineEditAt(station_->GetEdit());
  EXPECT_EQ(station_->GetEdit().GetWindowRectInParent().left, tree_.GetColumn() + 5);
  EXPECT_EQ(qobject_cast<QLineEdit*>(dialogs_->WidgetOf(station_->GetEdit()))->text(), "Holter room 2");
  Shoot("optiontree_d_edit_open");

  Open(beats_);
  EXPECT_FALSE(dialogs_->WidgetOf(station_->GetEdit())->isVisible());
  ExpectLineEditAt(beats_->GetSpinner().GetEdit());
  Shoot("optiontree_d_spinner_open");

  Open(server_);
  for (int k = 0; k < 4; ++k) ExpectLineEditAt(server_->GetAddressWindow().Field(k));
  Shoot("optiontree_d_ip_open");
}

}  // namespace
}  // namespace qthost
