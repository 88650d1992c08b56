#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "recorder/service/raw_data_test_dlg.h"
#include "recorder/service/recorder_test_dlg.h"
#include "recorder/service/service_dialog_ui.h"
#include "recorder/service/service_resources.h"
#include "recorder/service/usb_test_dlg.h"
#include "recorder/service/zk131_test_dlg.h"

namespace qthost {
namespace {

class NoQuestions : public recorder::ServiceDialogUi {
 public:
  std::optional<int> ChooseItem(const std::string&, const std::string&,
                                const std::vector<std::string>&) override {
    return std::nullopt;
  }
  bool AskRetryAfterCommError() override { return false; }
};

// The four recorder service dialogs as real widgets, the testers with a few lines in their logs.
class RecorderServiceQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1200, 900}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  void AddResources(platform::ResourcePack& pack) override { AddRecorderServiceResources(pack); }
  void ReleaseBeforeWindows() override {
    doc_.reset();
    main_.DestroyWindow();
  }

  void Shoot(win::Window& dialog, const std::string& name) {
    win::Windows().RunPending();
    QCoreApplication::processEvents();
    QWidget* window = dialogs_->WidgetOf(dialog);
    ASSERT_NE(window, nullptr) << name;
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 200) << name;
    testing_support::SaveScreenshot(*window, name.c_str());
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
  }

  void ShootModal(win::Dialog& dialog, const std::string& name, const std::function<void()>& fill = {}) {
    Steps({[&] {
             if (fill) fill();
             Shoot(dialog, name);
           },
           [&] { dialog.EndDialog(win::kIdCancel); }});
    EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
  }

  static void SampleLog(TServiceTestDlg& dialog) {
    recorder::ServiceSession& session = dialog.Session();
    session.LogStart("Battery Status");
    dialog.Log().AddLine("Sending command BATStat (ZK-131)");
    const std::vector<uint8_t> out = {'B', 'A', 'T', 'S', 't', 'a', 't', '\r'};
    session.LogDump("Out: 8 bytes", out);
    dialog.Log().AddLine("BATStat (ZK-131) command - OK");
    session.LogDump("Status bytes: 2 bytes", std::vector<uint8_t>{0x00, 0x28});
    dialog.Log().AddLine("BatteryLife: 40 h");
    session.LogEnd("Battery Status");
  }

  win::Window main_;
  platform::ManualClock clock_{platform::LocalDateTime{2026, 3, 5, 9, 30, 0, 0}};
  platform::MemoryProfileStore profile_;
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  NoQuestions ui_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(RecorderServiceQtTest, ScreenshotsOfTheServiceDialogs) {
  TZK131TestDlg tester(*doc_, ui_, locale_, &main_);
  ShootModal(tester, "service_command_tester", [&] { SampleLog(tester); });
  TRecorderTestDlg recorder_test(*doc_, ui_, locale_, &main_);
  ShootModal(recorder_test, "service_recorder_test", [&] { SampleLog(recorder_test); });
  TUSBTestDlg usb(*doc_, ui_, locale_, &main_);
  ShootModal(usb, "service_usb_test", [&] { usb.Log().AddLine("Test2"); });
  TRawDataTestDlg raw(*doc_, &main_);
  ShootModal(raw, "service_raw_data_test");
}

}  // namespace
}  // namespace qthost
