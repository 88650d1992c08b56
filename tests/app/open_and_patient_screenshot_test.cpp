// File Open and the patient command as the Qt host shows them offscreen: the main frame with the
// recording browser over it, then with the patient sheet on the opened recording, saved as PNG
// files under the build folder for a reviewer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/qt_app_fixture.h"
#include "core/core_ids.h"
#include "core/splash_window.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_browser_dlg.h"
#include "qt/screenshot.h"
#include "support/test_recordings.h"
#include "win/command_target.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;
namespace ids = core_ids;

class OpenAndPatientScreenshotTest : public ScreenshotTest {
 protected:
  // Runs step on the dialog of type T once it is shown. Modal loops run Qt's event loop here, so
  // the dialog is looked for from a Qt timer, every 10 ms for a few seconds; a dialog that never
  // shows fails the test and ends the loops.
  template <typename T>
  void WhenShown(std::function<void(T&)> step, int tries = 500) {
    QTimer::singleShot(10, [this, step = std::move(step), tries]() mutable {
      for (win::Window* window : win::Windows().TopLevelWindows()) {
        auto* found = dynamic_cast<T*>(window);
        if (found != nullptr && found->IsWindowVisible() && dialog_host_->WidgetOf(*found) != nullptr) {
          QCoreApplication::processEvents();
          step(*found);
          return;
        }
      }
      if (tries > 0) {
        WhenShown<T>(std::move(step), tries - 1);
      } else {
        ADD_FAILURE() << "the dialog was not shown";
        win::Windows().PostQuitMessage(1);
      }
    });
  }

  // The main frame's client area with the dialog drawn over it where it stands on the screen.
  QImage FrameWith(const win::Window& dialog) {
    const QImage* frame = canvas_host_->BackingStore(Frame());
    QWidget* widget = dialog_host_->WidgetOf(dialog);
    if (frame == nullptr || widget == nullptr) return {};
    widget->ensurePolished();
    QCoreApplication::processEvents();
    QImage picture = frame->convertToFormat(QImage::Format_RGB32);
    const gfx::Point origin = Frame().ClientToScreen(gfx::Point{0, 0});
    const gfx::Rect place = dialog.GetWindowRect();
    QPainter painter(&picture);
    painter.drawImage(QPoint(place.left - origin.x, place.top - origin.y), widget->grab().toImage());
    painter.end();
    return picture;
  }

  static std::vector<std::string> LineEditTexts(QWidget& widget) {
    std::vector<std::string> texts;
    for (const QLineEdit* edit : widget.findChildren<QLineEdit*>()) {
      if (edit->isVisible()) texts.push_back(edit->text().toStdString());
    }
    return texts;
  }
};

TEST_F(OpenAndPatientScreenshotTest, BrowserThenPatientSheetOverTheMainFrame) {
  const fs::path data = Folder("home") / "ZK-470" / "Data";
  fs::create_directories(data);
  const fs::path qrs = coretest::MakeSyntheticRecording(data / "00007", 2, {"Eva", "Berg", "55"});
  coretest::MakeSyntheticRecording(data / "00008", 2, {"Carl", "Frei", "56"});
  ASSERT_TRUE(Start({}));
  CSplashWindow::Reset();
  Settle();

  bool browser_shot = false;
  WhenShown<TRecordingBrowserDlg>([&](TRecordingBrowserDlg& browser) {
    win::ListView& list = browser.List();
    ASSERT_EQ(list.GetItemCount(), 2);
    const int row = list.GetItemText(0, 0) == "00007" ? 0 : 1;
    list.SelectFromUser({row});
    QCoreApplication::processEvents();
    const QImage picture = FrameWith(browser);
    ASSERT_FALSE(picture.isNull());
    qthost::testing_support::SaveScreenshot(picture, "main_frame_open_browser");
    browser_shot = true;
    browser.SendMessage(win::kWmCommand, win::kIdOk);
  });
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kFileOpen));
  Settle();
  EXPECT_TRUE(browser_shot);
  ASSERT_EQ(Doc().GetPathName(), qrs.string());

  bool sheet_shot = false;
  std::vector<std::string> fields;
  WhenShown<CPatientPropertySheet>([&](CPatientPropertySheet& sheet) {
    QWidget* widget = dialog_host_->WidgetOf(sheet);
    fields = LineEditTexts(*widget);
    const QImage picture = FrameWith(sheet);
    ASSERT_FALSE(picture.isNull());
    qthost::testing_support::SaveScreenshot(picture, "main_frame_patient_sheet");
    sheet_shot = true;
    sheet.PressButton(win::kIdCancel);
  });
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPatientData));
  Settle();
  EXPECT_TRUE(sheet_shot);
  // The patient page as the widgets show it: the recording's patient.
  EXPECT_NE(std::find(fields.begin(), fields.end(), "Eva"), fields.end());
  EXPECT_NE(std::find(fields.begin(), fields.end(), "Berg"), fields.end());
  for (const char* name : {"main_frame_open_browser", "main_frame_patient_sheet"}) {
    EXPECT_TRUE(fs::exists(qthost::testing_support::ScreenshotDir() / (std::string(name) + ".png"))) << name;
  }
}

}  // namespace
}  // namespace apptest
