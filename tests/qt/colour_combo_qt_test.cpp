#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QWidget>
#include <cstdlib>

#include "dialogs/colour_page.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/dialog.h"
#include "win/dialog_template.h"

namespace qthost {
namespace {

constexpr int kTemplateId = 31470;
constexpr int kBoxId = 1068;

constexpr win::ControlTemplate kControls[] = {
    {kBoxId, win::ControlKind::kComboDropList, "", 10, 10, 60, 100},
    {win::kIdOk, win::ControlKind::kDefPushButton, "OK", 80, 10, 50, 14},
};
constexpr win::DialogTemplate kTemplates[] = {{kTemplateId, "Colours", 140, 40, kControls}};

class ColourDialog : public win::Dialog {
 public:
  ColourDialog() : win::Dialog(kTemplateId) { AttachControl(kBoxId, box); }
  TColourCombo box;

 protected:
  bool OnInitDialog() override {
    for (const gfx::Color colour : ColourTable()) box.SetItemData(box.AddString(""), colour);
    box.SetCurSel(7);  // red
    return win::Dialog::OnInitDialog();
  }
};

int CountNear(const QImage& image, QRgb want) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      n += std::abs(qRed(p) - qRed(want)) + std::abs(qGreen(p) - qGreen(want)) +
                       std::abs(qBlue(p) - qBlue(want)) <
                   12
               ? 1
               : 0;
    }
  return n;
}

class ColourComboQtTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { win::Templates().Add(pack, kTemplates); }
};

TEST_F(ColourComboQtTest, EntriesShowTheirSwatchesInTheBoxAndItsList) {
  ColourDialog dialog;
  Steps({
      [&] {
        win::Windows().RunPending();
        QCoreApplication::processEvents();
        auto* combo = qobject_cast<QComboBox*>(dialogs_->WidgetOf(dialog.box));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->count(), 15);
        // Each entry's picture is its colour.
        for (const int row : {3, 7, 10, 14}) {
          SCOPED_TRACE(row);
          const QImage icon = combo->itemIcon(row).pixmap(combo->iconSize()).toImage();
          ASSERT_FALSE(icon.isNull());
          const gfx::Color c = ColourTable()[static_cast<size_t>(row)];
          const QRgb centre = icon.pixel(icon.width() / 2, icon.height() / 2);
          EXPECT_EQ(qRgb(qRed(centre), qGreen(centre), qBlue(centre)),
                    qRgb(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)));
        }
        // The closed box shows the chosen red; the list shows every swatch.
        EXPECT_GT(CountNear(combo->grab().toImage(), qRgb(255, 0, 0)), 100);
        combo->showPopup();
        QCoreApplication::processEvents();
        const QImage list = combo->view()->grab().toImage();
        for (const QRgb want : {qRgb(255, 0, 0), qRgb(0, 0, 128), qRgb(0, 128, 0), qRgb(255, 255, 0)})
          EXPECT_GT(CountNear(list, want), 100) << std::hex << want;
        testing_support::SaveScreenshot(*combo->view(), "colour_combo_list");
        combo->hidePopup();
      },
      [&] { dialog.EndDialog(win::kIdOk); },
  });
  EXPECT_EQ(dialog.DoModal(), win::kIdOk);
}

}  // namespace
}  // namespace qthost
