#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_hyperlink.h"
#include "dialogs/optiontree/option_tree_radio.h"
#include "dialogs/optiontree/option_tree_static.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/dialog.h"
#include "win/dialog_template.h"

namespace qthost {
namespace {

constexpr int kTemplateId = 31421;
constexpr int kTreeId = 1001;

constexpr win::ControlTemplate kControls[] = {
    {win::kIdOk, win::ControlKind::kDefPushButton, "OK", 112, 172, 50, 14},
    {win::kIdCancel, win::ControlKind::kPushButton, "Cancel", 166, 172, 50, 14},
};
constexpr win::DialogTemplate kTemplates[] = {{kTemplateId, "Test data", 222, 192, kControls}};

// A dialog holding an option tree with a row of each of the kinds: a category, two check boxes, a
// radio group, a link and a static text.
class TreeDialog : public win::Dialog {
 public:
  TreeDialog() : win::Dialog(kTemplateId) {}

  dialogs::COptionTree tree;
  dialogs::COptionTreeItem* category = nullptr;
  dialogs::COptionTreeCheckItem* check = nullptr;
  dialogs::COptionTreeRadioItem* radio = nullptr;
  dialogs::COptionTreeHyperlinkItem* link = nullptr;

 protected:
  bool OnInitDialog() override {
    win::Dialog::OnInitDialog();
    using namespace dialogs;
    tree.Create(win::kWsChild | win::kWsVisible, {10, 10, 323, 270}, this,
                OptionShowInfoPane | OptionShadeCategories | OptionDefaultInfoText, kTreeId);
    category = tree.InsertItem(Labelled(new COptionTreeItem, "Recording"));
    check = Labelled(new COptionTreeCheckItem, "Pacemaker");
    check->SetInfoText("The patient wears a pacemaker.");
    tree.InsertItem(check, category);
    check->CreateCheckWindow(1, CheckOptionDrawBox | CheckOptionDrawText);
    auto* paced = Labelled(new COptionTreeCheckItem, "Paced beats only");
    tree.InsertItem(paced, category);
    paced->CreateCheckWindow(0, CheckOptionDrawBox);
    radio = Labelled(new COptionTreeRadioItem, "Units");
    tree.InsertItem(radio, category);
    radio->CreateRadioWindow();
    radio->AddRadio("Millimetres", 1);
    radio->AddRadio("Inches", 0);
    radio->AddRadio("Pixels", 0);
    link = Labelled(new COptionTreeHyperlinkItem, "Manual");
    tree.InsertItem(link, category);
    link->CreateHyperlinkWindow(HyperlinkOptionUnderlineHover | HyperlinkOptionHoverColor,
                                "https://example.org/zk470", gfx::Rgb(0, 0, 255), gfx::Rgb(255, 0, 0),
                                gfx::Rgb(128, 0, 128));
    auto* version = Labelled(new COptionTreeStaticItem, "Version");
    version->SetStaticText("3.2.1");
    tree.InsertItem(version, category);
    return true;
  }

 private:
  template <typename Item>
  static Item* Labelled(Item* item, std::string_view label) {
    item->SetLabelText(label);
    return item;
  }
};

class OptionTreeAQtTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { win::Templates().Add(pack, kTemplates); }

  // Paints what waits, lets the host catch up, saves the dialog and checks that texts reached it.
  void Shoot(TreeDialog& dialog, const std::string& name) {
    win::Windows().RunPending();
    QCoreApplication::processEvents();
    QWidget* window = dialogs_->WidgetOf(dialog);
    ASSERT_NE(window, nullptr);
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
    EXPECT_GT(dark, 100) << name;
    testing_support::SaveScreenshot(*window, name);
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
  }

  // The editor's widget is shown exactly over its row's value column.
  void ExpectEditorOverValue(TreeDialog& dialog, win::Window& editor, const dialogs::COptionTreeItem& item) {
    QWidget* top = dialogs_->WidgetOf(dialog);
    QWidget* widget = dialogs_->WidgetOf(editor);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isVisible());
    const gfx::Point list = dialog.tree.GetListWindow().OffsetInTopLevel();
    const gfx::Rect value = item.GetValueRect();
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    EXPECT_EQ(at.x(), list.x + value.left);
    EXPECT_EQ(at.y(), list.y + value.top);
    EXPECT_EQ(widget->width(), value.Width());
    EXPECT_EQ(widget->height(), value.Height());
  }
};

TEST_F(OptionTreeAQtTest, ScreenshotsOfTheTreeCollapsedExpandedEditedAndDisabled) {
  TreeDialog dialog;
  Steps({
      [&] { Shoot(dialog, "optiontree_a_collapsed"); },
      [&] {
        dialog.tree.ExpandAll();
        Shoot(dialog, "optiontree_a_expanded");
        ExpectEditorOverValue(dialog, *dialog.link, *dialog.link);
      },
      [&] {
        // A click in the radio row's value column opens its window; a second one picks "Pixels".
        const gfx::Point list = dialog.tree.GetListWindow().OffsetInTopLevel();
        const gfx::Rect value = dialog.radio->GetValueRect();
        const gfx::Point open{list.x + value.left + 80, list.y + value.top + 40};
        win::Windows().MouseInput(dialog, win::kWmLButtonDown, open);
        win::Windows().MouseInput(dialog, win::kWmLButtonUp, open);
        win::Windows().RunPending();
        const gfx::Point pixels{list.x + value.left + 5, list.y + value.top + 2 + 32 + 7};
        win::Windows().MouseInput(dialog, win::kWmLButtonUp, pixels);
        EXPECT_EQ(dialog.radio->GetCheckedIndex(), 2);
        Shoot(dialog, "optiontree_a_editing");
        ExpectEditorOverValue(dialog, *dialog.radio, *dialog.radio);
      },
      [&] {
        dialog.tree.GetListWindow().SetFocus();
        EXPECT_FALSE(dialog.radio->IsWindowVisible());
        dialog.tree.EnableWindow(false);
        Shoot(dialog, "optiontree_a_disabled");
      },
      [&] { dialog.EndDialog(win::kIdOk); },
  });
  EXPECT_EQ(dialog.DoModal(), win::kIdOk);
  EXPECT_EQ(dialog.check->GetCheck(), 1);
}

}  // namespace
}  // namespace qthost
