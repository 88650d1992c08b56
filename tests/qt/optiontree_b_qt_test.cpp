#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_color_button.h"
#include "dialogs/optiontree/option_tree_color_item.h"
#include "dialogs/optiontree/option_tree_color_picker.h"
#include "dialogs/optiontree/option_tree_image_item.h"
#include "dialogs/optiontree/option_tree_image_picker.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/dialog.h"
#include "win/dialog_template.h"
#include "win/image_list.h"

namespace qthost {
namespace {

constexpr int kTemplateId = 31422;
constexpr int kTreeId = 1001;
constexpr int kColorButtonId = 1002;

constexpr win::ControlTemplate kControls[] = {
    {kColorButtonId, win::ControlKind::kPushButton, "", 10, 172, 40, 14},
    {win::kIdOk, win::ControlKind::kDefPushButton, "OK", 112, 172, 50, 14},
    {win::kIdCancel, win::ControlKind::kPushButton, "Cancel", 166, 172, 50, 14},
};
constexpr win::DialogTemplate kTemplates[] = {{kTemplateId, "Colours and symbols", 222, 192, kControls}};

constexpr gfx::Color kTransparent = dialogs::COptionTreeImageItem::kTransparentColor;

// A 32-pixel symbol drawn in code: a coloured disc with a black ring on a transparent ground.
gfx::Bitmap Symbol(gfx::Color fill) {
  gfx::Bitmap b(32, 32, kTransparent);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int d = (x - 16) * (x - 16) + (y - 16) * (y - 16);
      if (d <= 13 * 13) b.SetPixel(x, y, fill);
      if (d > 11 * 11 && d <= 13 * 13) b.SetPixel(x, y, 0);
    }
  }
  return b;
}

// A dialog with a colour button and an option tree holding a colour row and a symbol row.
class PickerDialog : public win::Dialog {
 public:
  PickerDialog() : win::Dialog(kTemplateId) { AttachControl(kColorButtonId, button); }

  dialogs::COptionTree tree;
  dialogs::COptionTreeFontSelColorButton button;
  dialogs::COptionTreeColorItem* color = nullptr;
  dialogs::COptionTreeImageItem* symbol = nullptr;

 protected:
  bool OnInitDialog() override {
    win::Dialog::OnInitDialog();
    using namespace dialogs;
    button.SetColor(gfx::Rgb(0, 128, 0));
    tree.Create(win::kWsChild | win::kWsVisible, {10, 10, 323, 270}, this,
                OptionShowInfoPane | OptionShadeCategories | OptionDefaultInfoText, kTreeId);
    COptionTreeItem* category = tree.InsertItem(new COptionTreeItem);
    category->SetLabelText("Display");
    color = new COptionTreeColorItem;
    color->SetLabelText("Trace colour");
    color->SetInfoText("The colour of the ECG trace.");
    tree.InsertItem(color, category);
    color->CreateColorWindow(ColorOptionHexText, gfx::Rgb(255, 0, 0), gfx::Rgb(0, 0, 0));
    auto* rgb = new COptionTreeColorItem;
    rgb->SetLabelText("Grid colour");
    tree.InsertItem(rgb, category);
    rgb->CreateColorWindow(0, gfx::Rgb(255, 192, 203), gfx::Rgb(0, 0, 0));
    symbol = new COptionTreeImageItem;
    symbol->SetLabelText("Event symbol");
    tree.InsertItem(symbol, category);
    symbol->CreateImageWindow(ImageOptionShowText, 32, 32, 3);
    symbol->AddIcon(Symbol(gfx::Rgb(220, 30, 30)), "Alarm");
    symbol->AddIcon(Symbol(gfx::Rgb(30, 140, 220)), "Note");
    symbol->AddIcon(Symbol(gfx::Rgb(40, 180, 60)), "Marker");
    symbol->SetSelection(1);
    tree.ExpandAll();
    return true;
  }
};

int CountNear(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      n += std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                       std::abs(qBlue(p) - qBlue(colour)) <
                   12
               ? 1
               : 0;
    }
  }
  return n;
}

template <typename T>
T* OpenPopup() {
  for (win::Window* w : win::Windows().TopLevelWindows()) {
    if (auto* p = dynamic_cast<T*>(w)) return p;
  }
  return nullptr;
}

class OptionTreeBQtTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { win::Templates().Add(pack, kTemplates); }

  QImage ShootDialog(PickerDialog& dialog, const std::string& name) {
    win::Windows().RunPending();
    QCoreApplication::processEvents();
    QWidget* window = dialogs_->WidgetOf(dialog);
    if (window == nullptr) return {};
    const QImage image = window->grab().toImage();
    testing_support::SaveScreenshot(*window, name);
    return image;
  }

  QImage ShootPopup(win::Window& popup, const std::string& name) {
    win::Windows().RunPending();
    QCoreApplication::processEvents();
    const QImage* store = canvas_->BackingStore(popup);
    if (store == nullptr) return {};
    const QImage image = store->copy();
    testing_support::SaveScreenshot(image, name);
    return image;
  }
};

TEST_F(OptionTreeBQtTest, ScreenshotsOfTheRowsTheButtonAndBothPickers) {
  PickerDialog dialog;
  Steps({
      [&] {
        const QImage image = ShootDialog(dialog, "optiontree_b_items");
        ASSERT_FALSE(image.isNull());
        EXPECT_GT(CountNear(image, qRgb(255, 0, 0)), 100);     // the red swatch and symbol
        EXPECT_GT(CountNear(image, qRgb(30, 140, 220)), 100);  // the selected symbol
        EXPECT_GT(CountNear(image, qRgb(0, 128, 0)), 100);     // the button's swatch, painted
      },
      [&] {
        dialog.button.Click();
        dialogs::COptionTreeColorPicker* picker = OpenPopup<dialogs::COptionTreeColorPicker>();
        ASSERT_NE(picker, nullptr);
        win::Windows().MouseInput(*picker, win::kWmMouseMove,
                                  {picker->GetCellRect(12).left + 9, picker->GetCellRect(12).top + 9});
        const QImage image = ShootPopup(*picker, "optiontree_b_color_picker");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), 148);
        EXPECT_GT(CountNear(image, qRgb(0xFF, 0xD7, 0x00)), 50);  // the gold swatch
        win::Windows().KeyInput(win::kWmKeyDown, win::kVkEscape);
        EXPECT_EQ(OpenPopup<dialogs::COptionTreeColorPicker>(), nullptr);
      },
      [&] {
        win::ImageList images(32, 32, kTransparent);
        for (int i = 0; i < 7; ++i)
          images.Add(
              Symbol(gfx::Rgb(static_cast<uint8_t>(30 + 30 * i), 60, static_cast<uint8_t>(220 - 25 * i))));
        dialogs::COptionTreeImagePickerArgs args;
        args.x = 200;
        args.y = 200;
        args.image_width = 32;
        args.image_height = 32;
        args.columns = 3;
        args.images = &images;
        args.tree = &dialog.tree;
        args.selected = 4;
        args.owner = &dialog;
        auto* picker = new dialogs::COptionTreeImagePicker(std::move(args));
        win::Windows().MouseInput(*picker, win::kWmMouseMove, {20, 20});
        const QImage image = ShootPopup(*picker, "optiontree_b_image_picker");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), 10 + 3 * 32 + 20 + 10);
        EXPECT_GT(CountNear(image, qRgb(0, 0, 0)), 100);  // the rings
        win::Windows().KeyInput(win::kWmKeyDown, win::kVkEscape);
        EXPECT_EQ(OpenPopup<dialogs::COptionTreeImagePicker>(), nullptr);
      },
      [&] {
        dialog.symbol->SetReadOnly(true);
        dialog.tree.UpdateList();
        ShootDialog(dialog, "optiontree_b_items_read_only");
      },
      [&] { dialog.EndDialog(win::kIdOk); },
  });
  EXPECT_EQ(dialog.DoModal(), win::kIdOk);
}

}  // namespace
}  // namespace qthost
