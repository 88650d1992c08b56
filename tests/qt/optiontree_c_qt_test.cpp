#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <string>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_font_dialog.h"
#include "dialogs/optiontree/option_tree_font_item.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/qt_font_database.h"
#include "qt/screenshot.h"
#include "win/font_database.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

// A dialog-like top-level window that the widget host shows, holding only the tree.
class TreeDialog : public win::Window {
 public:
  bool RenderedAsWidgets() const override { return true; }
};

dialogs::FontDescription Face(const char* name, int height, int weight = 400, uint8_t italic = 0) {
  dialogs::FontDescription font;
  font.face_name = name;
  font.height = height;
  font.weight = weight;
  font.italic = italic;
  return font;
}

class OptionTreeFontQtTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { dialogs::AddOptionTreeFontResources(pack); }
  void ReleaseBeforeWindows() override {
    platform::Resources().SetLanguagePack(nullptr);
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

  // Saves the window's picture; returns it for pixel checks.
  QImage Shoot(const win::Window& window, const std::string& name) {
    QWidget* widget = dialogs_->WidgetOf(window);
    EXPECT_NE(widget, nullptr) << name;
    if (widget == nullptr) return {};
    const QImage image = widget->grab().toImage();
    testing_support::SaveScreenshot(*widget, name.c_str());
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
    return image;
  }

  // Pixels of the colour, give or take the smoothing of text edges.
  static int CountNear(const QImage& image, QRgb want) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y);
        if (std::abs(qRed(p) - qRed(want)) < 40 && std::abs(qGreen(p) - qGreen(want)) < 40 &&
            std::abs(qBlue(p) - qBlue(want)) < 40)
          ++count;
      }
    return count;
  }

  TreeDialog dialog_;
  dialogs::COptionTree tree_;
};

TEST_F(OptionTreeFontQtTest, FontDialogInBothLanguages) {
  platform::ResourcePack german("ZK470Ger");
  dialogs::AddOptionTreeFontResources(german);
  win::AddWindowSystemResources(german);
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    dialogs::COptionTreeFontDialog dialog(dialogs::kFontDlgDefaultButton, Face("Arial", -24, 700, 1));
    dialog.SetColor(0x0000C0);  // dark red
    Steps({[&] {
      Settle();
      const QImage image =
          Shoot(dialog, in_german ? "optiontree_c_font_dialog_de" : "optiontree_c_font_dialog");
      // The red sample reached the screen.
      EXPECT_GT(CountNear(image, qRgb(0xC0, 0, 0)), 100);
      EXPECT_EQ(dialog.Item<win::ComboBox>(dialogs::COptionTreeFontDialog::kIdStyle)->GetLBText(0),
                in_german ? "Standard" : "Regular");
      dialog.EndDialog(win::kIdCancel);
    }});
    EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
  }
}

// What the user types into the size box's own field reaches the dialog key by key.
TEST_F(OptionTreeFontQtTest, ASizeTypedIntoTheWidgetTakesEffect) {
  dialogs::COptionTreeFontDialog dialog(dialogs::kFontDlgDefaultButton, Face("Arial", -16, 400, 0));
  Steps({[&] {
    Settle();
    auto* size = qobject_cast<QComboBox*>(dialogs_->WidgetOf(dialog.SizeCombo()));
    ASSERT_NE(size, nullptr);
    ASSERT_NE(size->lineEdit(), nullptr);
    size->lineEdit()->selectAll();
    QTest::keyClicks(size->lineEdit(), "14");
    Settle();
    EXPECT_EQ(dialog.SizeCombo().GetWindowText(), "14");
    EXPECT_EQ(dialog.SizeCombo().GetCurSel(), dialog.SizeCombo().FindStringExact(-1, "14"));
    ASSERT_TRUE(dialog.GetPreviewFont().has_value());
    EXPECT_EQ(dialog.GetPreviewFont()->height, -19);
    EXPECT_EQ(size->currentText(), "14");
    dialog.EndDialog(win::kIdCancel);
  }});
  EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
}

TEST_F(OptionTreeFontQtTest, FontRowsInATree) {
  ASSERT_TRUE(dialog_.Create(nullptr, {100, 100, 440, 260}, win::kWsPopup | win::kWsCaption | win::kWsVisible,
                             0, "Report fonts"));
  ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {10, 10, 330, 150}, &dialog_,
                           dialogs::OptionShadeExpandColumn | dialogs::OptionShadeCategories, 100));
  auto* category = tree_.InsertItem(new dialogs::COptionTreeItem);
  category->SetLabelText("Report");
  category->Expand(true);
  auto* title = new dialogs::COptionTreeFontItem;
  title->SetLabelText("Title");
  tree_.InsertItem(title, category);
  ASSERT_TRUE(title->CreateFontItem(Face("Arial", -12), 0x0000C0, 0));
  auto* body = new dialogs::COptionTreeFontItem;
  body->SetLabelText("Body");
  tree_.InsertItem(body, category);
  ASSERT_TRUE(
      body->CreateFontItem(Face("Times New Roman", -13, 400, 1), 0x800000, dialogs::kFontDlgPreviewFaceName));

  // The title row takes an 18-point bold font from the dialog and grows for it.
  Steps({[&] {
    Settle();
    auto* dialog = dynamic_cast<dialogs::COptionTreeFontDialog*>(win::Windows().GetActiveWindow());
    ASSERT_NE(dialog, nullptr);
    auto& style = *dialog->Item<win::ComboBox>(dialogs::COptionTreeFontDialog::kIdStyle);
    style.SelectFromUser(style.FindStringExact(-1, "Bold"));
    dialog->SizeCombo().SelectFromUser(dialog->SizeCombo().FindStringExact(-1, "18"));
    dialog->Item<win::Button>(dialogs::COptionTreeFontDialog::kIdAccept)->Click();
  }});
  title->Activate();
  EXPECT_EQ(title->GetHeight(), 34);
  tree_.UpdateList();
  Settle();
  const QImage image = Shoot(dialog_, "optiontree_c_font_rows");
  EXPECT_GT(CountNear(image, qRgb(0xC0, 0, 0)), 50);
  EXPECT_GT(CountNear(image, qRgb(0, 0, 0x80)), 30);
}

TEST(QtFontDatabase, ListsTheInstalledScalableFaces) {
  testing_support::TestApp();
  const QtFontDatabase fonts;
  const std::vector<win::FontFamilyInfo> families = fonts.Families();
  ASSERT_FALSE(families.empty());
  // The screen's face is installed with the program.
  const auto liberation = std::find_if(families.begin(), families.end(), [](const win::FontFamilyInfo& f) {
    return f.name == "Liberation Sans";
  });
  ASSERT_NE(liberation, families.end());
  EXPECT_TRUE(liberation->scalable);
  EXPECT_TRUE(fonts.HasFamily("liberation sans"));
  const std::vector<win::FontStyleInfo> styles = fonts.Styles("Liberation Sans");
  EXPECT_TRUE(
      std::any_of(styles.begin(), styles.end(), [](const win::FontStyleInfo& s) { return s.weight >= 700; }));
  EXPECT_TRUE(
      std::any_of(styles.begin(), styles.end(), [](const win::FontStyleInfo& s) { return s.italic; }));
  EXPECT_TRUE(fonts.Styles("No Such Face At All").empty());
}

}  // namespace
}  // namespace qthost
