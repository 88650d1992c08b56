// What a user does, on the program itself: Xvfb with the xcb platform and no window manager, input
// by xdotool, and only what the screen shows to judge by. Each test names the user's step and
// what must show after it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "app/qt_app_fixture.h"
#include "app/virtual_screen.h"
#include "core/splash_window.h"
#include "dialogs/patient_property_sheet.h"
#include "platform/ids.h"
#include "qt/screenshot.h"
#include "support/test_recordings.h"
#include "win/command_target.h"

namespace apptest {
namespace {

constexpr int kStartWaitMs = 60000;
constexpr int kStepWaitMs = 10000;
constexpr int kChannelTolerance = 24;

using ScreenWindow = VirtualScreen::Window;

bool Near(QRgb pixel, int r, int g, int b) {
  return std::abs(qRed(pixel) - r) <= kChannelTolerance && std::abs(qGreen(pixel) - g) <= kChannelTolerance &&
         std::abs(qBlue(pixel) - b) <= kChannelTolerance;
}

// How many pixels of a part differ between two grabs.
int Changed(const QImage& before, const QImage& after, const QRect& part) {
  int changed = 0;
  const QRect r = part.intersected(before.rect()).intersected(after.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) changed += before.pixel(x, y) != after.pixel(x, y);
  }
  return changed;
}

// Rows of a part that changed between two grabs: first and last, or nullopt when none did.
std::optional<std::pair<int, int>> ChangedRows(const QImage& before, const QImage& after, const QRect& part) {
  std::optional<std::pair<int, int>> rows;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    if (Changed(before, after, QRect(part.left(), y, part.width(), 1)) == 0) continue;
    rows = rows ? std::make_pair(rows->first, y) : std::make_pair(y, y);
  }
  return rows;
}

// The offscreen fixture serves what the real program's screen cannot tell: where a field lies in
// its dialog.
class UserInputTest : public ScreenshotTest {
 protected:
  void SetUp() override {
    ScreenshotTest::SetUp();
    const std::vector<std::string> missing = VirtualScreen::MissingTools();
    if (!missing.empty())
      GTEST_SKIP() << "needs Xvfb, xwd and xdotool on PATH (Debian packages xvfb, x11-apps, xdotool)";
  }

  // The program on its own screen with a recording of the given length open.
  void StartProgram(int minutes) {
    std::filesystem::create_directories(home_.DataDirectory());
    const std::filesystem::path qrs =
        coretest::MakeAnalysedRecording(home_.DataDirectory() / "00007", minutes, 2, {"Eva", "Berg", "55"});
    screen_ = std::make_unique<VirtualScreen>(home_.Root() / "xvfb.log");
    ASSERT_TRUE(screen_->Ready()) << screen_->Problem();
    home_.SetEnv("DISPLAY", screen_->Display());
    home_.SetEnv("QT_QPA_PLATFORM", "xcb");
    program_ = std::make_unique<BackgroundProgram>(std::vector<std::string>{qrs.string()});
  }

  // Waits for the main frame alone (the splash gone), puts the pointer on it and gives it the keys.
  std::optional<ScreenWindow> FrameAlone() const {
    std::optional<ScreenWindow> frame;
    WaitFor(
        [&] {
          const std::vector<ScreenWindow> windows = screen_->VisibleWindows();
          if (windows.size() == 1 && windows.front().name.find("Holter-ECG") != std::string::npos)
            frame = windows.front();
          return program_->Ended() || frame.has_value();
        },
        kStartWaitMs);
    if (!frame) return frame;
    if (!MoveTo(frame->rect.center()) || !Xdotool({"windowfocus", "--sync", frame->id})) return std::nullopt;
    return frame;
  }

  // The one window beside the frame once it shows, a pop-up (menu) or not (dialog); nullopt when
  // none came.
  std::optional<ScreenWindow> Beside(const ScreenWindow& frame, bool popup) const {
    std::optional<ScreenWindow> found;
    WaitFor(
        [&] {
          const std::vector<ScreenWindow> windows = screen_->VisibleWindows();
          found.reset();
          for (const ScreenWindow& w : windows) {
            if (w.id != frame.id && windows.size() == 2 && w.override_redirect == popup) found = w;
          }
          return program_->Ended() || found.has_value();
        },
        kStepWaitMs);
    return found;
  }

  // Where the patient sheet's first multi-line field (the address) lies in the sheet, as the
  // offscreen rendering of the same sheet has it.
  QRect AddressFieldInSheet() {
    QRect field;
    const std::filesystem::path data = Folder("reference");
    const std::filesystem::path qrs =
        coretest::MakeAnalysedRecording(data / "00007", 10, 2, {"Eva", "Berg", "55"});
    if (!Start({qrs.string()})) return field;
    CSplashWindow::Reset();
    Settle();
    QTimer::singleShot(50, [&] {
      for (win::Window* window : win::Windows().TopLevelWindows()) {
        auto* sheet = dynamic_cast<CPatientPropertySheet*>(window);
        QWidget* widget = sheet != nullptr ? dialog_host_->WidgetOf(*sheet) : nullptr;
        if (widget == nullptr) continue;
        for (const QPlainTextEdit* edit : widget->findChildren<QPlainTextEdit*>()) {
          if (edit->isVisibleTo(widget) && !edit->isReadOnly()) {
            field = QRect(edit->mapTo(widget, QPoint(0, 0)), edit->size());
            break;
          }
        }
        sheet->PressButton(win::kIdCancel);
        return;
      }
      win::Windows().PostQuitMessage(1);
    });
    win::ExecuteCommand(Frame(), cmd::kPatientData);
    Settle();
    return field;
  }

  bool Xdotool(const std::vector<std::string>& args) const { return screen_->Xdotool(args); }
  bool MoveTo(QPoint p) const {
    return Xdotool({"mousemove", "--sync", std::to_string(p.x()), std::to_string(p.y())});
  }

  ProgramHome home_;
  std::unique_ptr<VirtualScreen> screen_;
  std::unique_ptr<BackgroundProgram> program_;
};

// The splash lies over the frame while it shows: its dark ground and its paper are on the
// screen where it stands, not the frame's content.
TEST_F(UserInputTest, TheSplashShowsAboveTheFrame) {
  ASSERT_NO_FATAL_FAILURE(StartProgram(10));
  std::optional<ScreenWindow> splash;
  QImage shot;
  bool seen = false;
  WaitFor(
      [&] {
        if (program_->Ended()) return true;
        const std::vector<ScreenWindow> windows = screen_->VisibleWindows();
        const auto frame = std::find_if(windows.begin(), windows.end(), [](const ScreenWindow& w) {
          return w.name.find("Holter-ECG") != std::string::npos;
        });
        const auto found = std::find_if(windows.begin(), windows.end(), [](const ScreenWindow& w) {
          return w.rect.width() == 440 && w.rect.height() == 260;
        });
        if (frame == windows.end() || found == windows.end()) return false;
        splash = *found;
        shot = screen_->Grab();
        const QPoint corner = splash->rect.topLeft();
        seen = !shot.isNull() && Near(shot.pixel(corner + QPoint(6, 6)), 16, 48, 96) &&
               Near(shot.pixel(corner + QPoint(25, 125)), 255, 245, 240);
        return seen;
      },
      kStartWaitMs);
  if (!shot.isNull()) qthost::testing_support::SaveScreenshot(shot, "user_input_splash");
  ASSERT_FALSE(program_->Ended()) << "the program ended at start";
  ASSERT_TRUE(splash) << "no splash shown with the frame";
  EXPECT_TRUE(seen) << "the splash at " << splash->rect.x() << "," << splash->rect.y()
                    << " is hidden under the frame";
}

// Return in the address field breaks the line: the sheet stays open and the next word lands on a
// line below the first.
TEST_F(UserInputTest, ReturnInAMultiLineFieldBreaksTheLineAndKeepsTheSheetOpen) {
  const QRect field = AddressFieldInSheet();
  ASSERT_FALSE(field.isEmpty()) << "the sheet has no multi-line field";
  ASSERT_NO_FATAL_FAILURE(StartProgram(10));
  const std::optional<ScreenWindow> frame = FrameAlone();
  ASSERT_TRUE(frame) << "no frame on the screen";
  ASSERT_TRUE(Xdotool({"key", "alt+o"}));
  ASSERT_TRUE(Beside(*frame, true)) << "no Options menu";
  ASSERT_TRUE(Xdotool({"key", "p"}));
  const std::optional<ScreenWindow> sheet = Beside(*frame, false);
  ASSERT_TRUE(sheet) << "no patient sheet";
  const QRect on_screen = field.translated(sheet->rect.topLeft());
  ASSERT_TRUE(MoveTo(on_screen.center()));
  ASSERT_TRUE(Xdotool({"click", "1"}));
  // The caret blinks: only rows below the first line's lowest change count.
  ASSERT_TRUE(Xdotool({"key", "ctrl+a", "Delete"}));
  const QImage empty = screen_->Grab();
  ASSERT_TRUE(Xdotool({"type", "--delay", "20", "Hauptweg"}));
  QImage first;
  std::optional<std::pair<int, int>> first_rows;
  WaitFor(
      [&] {
        first = screen_->Grab();
        first_rows = ChangedRows(empty, first, on_screen);
        return first_rows.has_value() && first_rows->second - first_rows->first > 4;
      },
      kStepWaitMs);
  ASSERT_TRUE(first_rows) << "the typed word does not show";
  ASSERT_TRUE(Xdotool({"key", "Return"}));
  ASSERT_TRUE(Xdotool({"type", "--delay", "20", "Bonn"}));
  QImage second;
  std::optional<std::pair<int, int>> second_rows;
  const bool below = WaitFor(
      [&] {
        second = screen_->Grab();
        second_rows = ChangedRows(first, second, on_screen);
        return second_rows.has_value() && second_rows->second > first_rows->second + 4;
      },
      kStepWaitMs);
  qthost::testing_support::SaveScreenshot(second, "user_input_address_two_lines");
  const std::vector<ScreenWindow> windows = screen_->VisibleWindows();
  EXPECT_TRUE(std::any_of(windows.begin(), windows.end(), [&](const ScreenWindow& w) {
    return w.id == sheet->id;
  })) << "Return closed the sheet";
  EXPECT_TRUE(below) << "the second word is not on a line of its own";
}

}  // namespace
}  // namespace apptest
