#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "dialogs/io_port_page.h"
#include "document/context_guard.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/messages.h"
#include "win/property_sheet.h"

namespace qthost {
namespace {

// The recorder interface page in a sheet as real widgets: the card chosen at 0x308.
class IOPortPageQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  void AddResources(platform::ResourcePack& pack) override { AddIOPortPageResources(pack); }
  void ReleaseBeforeWindows() override {
    doc_.reset();
    main_.DestroyWindow();
  }

  ContextGuard context_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  std::unique_ptr<CZK470Doc> doc_;
  win::Window main_;
};

TEST_F(IOPortPageQtTest, Screenshot) {
  doc_->GetSettings().SetInt(SettingKey::kIOPortBaseAdr, 0x308);
  TIOPortPage page(*doc_);
  win::PropertySheet sheet(std::string("Options"), &main_);
  sheet.AddPage(page);
  Steps({[&] {
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           QWidget* window = dialogs_->WidgetOf(sheet);
           ASSERT_NE(window, nullptr);
           const QImage image = window->grab().toImage();
           int dark = 0;
           for (int y = 0; y < image.height(); ++y)
             for (int x = 0; x < image.width(); ++x)
               if (qGray(image.pixel(x, y)) < 80) ++dark;
           EXPECT_GT(dark, 50);
           testing_support::SaveScreenshot(*window, "io_port_page");
           EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "io_port_page.png"));
         },
         [&] { sheet.PressButton(win::kIdCancel); }});
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
}

}  // namespace
}  // namespace qthost
