// The program on a real X server: Xvfb with the xcb platform and no window manager. Menus, dialogs,
// drop-down lists and tool tips over the main frame must reach the screen as a screen grab (xwd)
// reads it, not only their own backing stores: a menu holds text on a light ground, a dialog shows
// its texts where the offscreen rendering of the same dialog has them, and pop-ups are the
// toolkit's own pop-up windows (their declared window kind says so). The grabs are saved as
// screenshots for a reviewer.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "app/qt_app_fixture.h"
#include "app/virtual_screen.h"
#include "core/about_dlg.h"
#include "core/splash_window.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_browser_dlg.h"
#include "platform/ids.h"
#include "qt/screenshot.h"
#include "support/test_recordings.h"
#include "win/command_target.h"

namespace apptest {
namespace {

// Start-up and each step may take long in a sanitizer build; no wait is without an end.
constexpr int kStartWaitMs = 30000;
constexpr int kStepWaitMs = 10000;
// Two renderings of the same text on the same fonts differ by little more than rounding.
constexpr int kChannelTolerance = 40;
constexpr double kAlikeShare = 0.97;
// A point on the main toolbar's first button, in the main frame: below the menu bar.
constexpr int kToolButtonX = 12;
constexpr int kToolButtonY = 34;

using ScreenWindow = VirtualScreen::Window;

int Luminance(QRgb c) { return (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100; }

std::string Describe(const std::vector<ScreenWindow>& windows) {
  std::ostringstream text;
  text << windows.size() << " window(s):";
  for (const ScreenWindow& w : windows) {
    text << " [" << w.name << " (" << w.type << (w.override_redirect ? ", override-redirect" : "") << ") "
         << w.rect.width() << "x" << w.rect.height() << "+" << w.rect.x() << "+" << w.rect.y() << "]";
  }
  return text.str();
}

// Text on a light ground, as a menu shows it: most pixels light, some dark; a window never
// painted is one flat colour and fails both.
bool TextOnLightGround(const QImage& screen, const QRect& part) {
  const QRect r = part.intersected(screen.rect());
  if (r.isEmpty()) return false;
  size_t light = 0;
  size_t dark = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const int l = Luminance(screen.pixel(x, y));
      if (l > 160) ++light;
      if (l < 96) ++dark;
    }
  }
  const size_t all = static_cast<size_t>(r.width()) * static_cast<size_t>(r.height());
  return light * 2 > all && dark * 200 > all;
}

// The share of the pixels in the parts of reference that the screen, with reference's top-left
// corner at origin, shows alike.
double Alike(const QImage& screen, QPoint origin, const QImage& reference, const std::vector<QRect>& parts) {
  size_t alike = 0;
  size_t all = 0;
  for (const QRect& part : parts) {
    for (int y = part.top(); y <= part.bottom(); ++y) {
      for (int x = part.left(); x <= part.right(); ++x) {
        ++all;
        const QPoint at = origin + QPoint(x, y);
        if (!screen.rect().contains(at) || !reference.rect().contains(x, y)) continue;
        const QRgb a = screen.pixel(at);
        const QRgb b = reference.pixel(x, y);
        if (std::abs(qRed(a) - qRed(b)) <= kChannelTolerance &&
            std::abs(qGreen(a) - qGreen(b)) <= kChannelTolerance &&
            std::abs(qBlue(a) - qBlue(b)) <= kChannelTolerance) {
          ++alike;
        }
      }
    }
  }
  return all == 0 ? 0.0 : static_cast<double>(alike) / static_cast<double>(all);
}

class RealDisplayTest : public ScreenshotTest {
 protected:
  void SetUp() override {
    ScreenshotTest::SetUp();
    const std::vector<std::string> missing = VirtualScreen::MissingTools();
    if (!missing.empty()) {
      std::string names;
      for (const std::string& tool : missing) names += (names.empty() ? "" : ", ") + tool;
      GTEST_SKIP() << "needs " << names << " on PATH (Debian packages xvfb, x11-apps, x11-utils, xdotool)";
    }
  }

  struct Rendering {
    QImage image;
    std::vector<QRect> texts;  // where the labels with text lie
  };

  // A dialog's widget as it shows offscreen, with where its fixed texts lie (texts holding a path
  // or a number depend on the machine and the recording, and are left out).
  static Rendering Capture(QWidget& widget) {
    Rendering rendering;
    widget.ensurePolished();
    QCoreApplication::processEvents();
    rendering.image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
      const QString text = label->text();
      if (!label->isVisibleTo(&widget) || text.isEmpty() || text.contains('/') ||
          std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); })) {
        continue;
      }
      rendering.texts.emplace_back(label->mapTo(&widget, QPoint(0, 0)), label->size());
    }
    return rendering;
  }

  // Runs step on the dialog of type T once it shows: modal loops run Qt's event loop, so the
  // dialog is looked for from a Qt timer for a few seconds; one that never shows ends the loops.
  template <typename T>
  void WhenShown(std::function<void(T&)> step, int tries = 500) {
    QTimer::singleShot(10, [this, step = std::move(step), tries]() mutable {
      for (win::Window* window : win::Windows().TopLevelWindows()) {
        auto* found = dynamic_cast<T*>(window);
        if (found != nullptr && found->IsWindowVisible() && dialog_host_->WidgetOf(*found) != nullptr) {
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

  struct BrowserAndSheet {
    Rendering browser;
    QRect filter;  // the browser's filter combo box
    Rendering sheet;
  };

  // The recording browser and the patient sheet as the Qt host renders them offscreen, with
  // the recording of the sheet open.
  BrowserAndSheet OffscreenBrowserAndSheet(const std::filesystem::path& qrs) {
    BrowserAndSheet result;
    if (!Start({qrs.string()})) return result;
    CSplashWindow::Reset();
    Settle();
    WhenShown<TRecordingBrowserDlg>([&](TRecordingBrowserDlg& browser) {
      QWidget* widget = dialog_host_->WidgetOf(browser);
      result.browser = Capture(*widget);
      if (const QComboBox* combo = widget->findChild<QComboBox*>()) {
        result.filter = QRect(combo->mapTo(widget, QPoint(0, 0)), combo->size());
      }
      browser.SendMessage(win::kWmCommand, win::kIdCancel);
    });
    win::ExecuteCommand(Frame(), cmd::kFileOpen);
    Settle();
    WhenShown<CPatientPropertySheet>([&](CPatientPropertySheet& sheet) {
      result.sheet = Capture(*dialog_host_->WidgetOf(sheet));
      sheet.PressButton(win::kIdCancel);
    });
    win::ExecuteCommand(Frame(), cmd::kPatientData);
    Settle();
    return result;
  }

  // The About box as the Qt host renders it offscreen in this process.
  Rendering OffscreenAboutBox() {
    Rendering rendering;
    if (!Start({})) return rendering;
    CSplashWindow::Reset();
    Settle();
    CAboutDlg about(std::string(), &Frame());
    if (!about.CreateModeless(&Frame())) return rendering;
    Settle();
    if (QWidget* widget = dialog_host_->WidgetOf(about)) rendering = Capture(*widget);
    about.DestroyWindow();
    Settle();
    return rendering;
  }

  // Waits until the program shows exactly the main frame and one more window with this name
  // part (any name when empty); that window.
  static std::optional<ScreenWindow> WaitForOneMore(const VirtualScreen& screen,
                                                    const BackgroundProgram& program,
                                                    const std::string& frame_id,
                                                    const std::string& name_part) {
    return WaitForNew(
        screen, program, {frame_id}, 2,
        [&](const ScreenWindow& w) { return w.name.find(name_part) != std::string::npos; },
        "window \"" + name_part + "\" over the frame");
  }

  static bool WaitForFrameAlone(const VirtualScreen& screen, const std::string& frame_id) {
    return WaitFor(
        [&] {
          const std::vector<ScreenWindow> windows = screen.VisibleWindows();
          return windows.size() == 1 && windows.front().id == frame_id;
        },
        kStepWaitMs);
  }

  // Waits until the program shows count windows, one of them not among known and accepted;
  // that window.
  static std::optional<ScreenWindow> WaitForNew(const VirtualScreen& screen, const BackgroundProgram& program,
                                                const std::vector<std::string>& known, size_t count,
                                                const std::function<bool(const ScreenWindow&)>& accept,
                                                const std::string& what) {
    std::optional<ScreenWindow> found;
    std::vector<ScreenWindow> windows;
    WaitFor(
        [&] {
          windows = screen.VisibleWindows();
          found.reset();
          if (windows.size() != count || program.Ended()) return program.Ended();
          for (const ScreenWindow& w : windows) {
            if (std::find(known.begin(), known.end(), w.id) == known.end() && accept(w)) found = w;
          }
          return found.has_value();
        },
        kStepWaitMs);
    if (!found) {
      ADD_FAILURE() << "no " << what << " on the screen; " << Describe(windows);
      qthost::testing_support::SaveScreenshot(screen.Grab(), "real_display_without_window");
    }
    return found;
  }

  // Whether the window is one of the toolkit's pop-ups (menus, lists, tips): those place
  // themselves past any window manager, while the program's own windows, drawn pull-downs
  // included, are ordinary top-level windows.
  static bool QtPopup(const ScreenWindow& window) { return window.override_redirect; }

  // Waits for the program's main frame, alone and with title_part in its title (the recording
  // it opens at start: keys sent before it opened may go lost), and puts the pointer over it
  // (without a window manager the keys go to the window under the pointer).
  static std::optional<ScreenWindow> FrameOnScreen(const VirtualScreen& screen,
                                                   const BackgroundProgram& program,
                                                   const std::string& title_part) {
    std::vector<ScreenWindow> windows;
    const bool frame_alone = WaitFor(
        [&] {
          windows = screen.VisibleWindows();
          return program.Ended() ||
                 (windows.size() == 1 && windows.front().name.find("Holter-ECG") != std::string::npos &&
                  windows.front().name.find(title_part) != std::string::npos);
        },
        kStartWaitMs);
    if (program.Ended() || !frame_alone) {
      ADD_FAILURE() << (program.Ended() ? "the program ended at start; " : "") << Describe(windows);
      return std::nullopt;
    }
    const QPoint centre = windows.front().rect.center();
    if (!screen.Xdotool({"mousemove", "--sync", std::to_string(centre.x()), std::to_string(centre.y())})) {
      ADD_FAILURE() << "xdotool could not move the pointer";
      return std::nullopt;
    }
    // Nor does anyone give the keyboard back to the frame once a window that took it (the
    // progress of the opening) is gone.
    if (!screen.Xdotool({"windowfocus", "--sync", windows.front().id})) {
      ADD_FAILURE() << "xdotool could not focus the frame";
      return std::nullopt;
    }
    return windows.front();
  }

  // Grabs the screen until the dialog window shows the reference's texts; saves the grab.
  static void ExpectDialogPainted(const VirtualScreen& screen, const ScreenWindow& window,
                                  const Rendering& reference, const std::string& name) {
    ASSERT_EQ(window.rect.size(), reference.image.size()) << name;
    QImage shot;
    double alike = 0.0;
    const bool painted = WaitFor(
        [&] {
          shot = screen.Grab();
          alike = shot.isNull() ? 0.0 : Alike(shot, window.rect.topLeft(), reference.image, reference.texts);
          return alike >= kAlikeShare;
        },
        kStepWaitMs);
    qthost::testing_support::SaveScreenshot(shot, "real_display_" + name);
    ASSERT_FALSE(shot.isNull()) << "xwd gave no picture";
    EXPECT_GT(Colours(shot, window.rect.intersected(shot.rect())), 2u) << name << " is one flat colour";
    EXPECT_TRUE(painted) << name << " shows " << alike * 100
                         << " % of its texts' pixels as the offscreen rendering does";
  }

  // Grabs the screen until the menu window shows text on a light ground; saves the grab.
  static void ExpectMenuPainted(const VirtualScreen& screen, const ScreenWindow& menu,
                                const std::string& name) {
    QImage shot;
    const bool painted = WaitFor(
        [&] {
          shot = screen.Grab();
          return !shot.isNull() && TextOnLightGround(shot, menu.rect);
        },
        kStepWaitMs);
    qthost::testing_support::SaveScreenshot(shot, "real_display_" + name);
    EXPECT_TRUE(painted) << name << " at " << menu.rect.x() << "," << menu.rect.y()
                         << " shows no text on a light ground; colours there: "
                         << (shot.isNull() ? 0 : Colours(shot, menu.rect.intersected(shot.rect())));
  }
};

TEST_F(RealDisplayTest, FileAndAnalysisMenusAndAboutBoxArePaintedOnTheScreen) {
  const Rendering about = OffscreenAboutBox();
  ASSERT_FALSE(about.image.isNull());
  ASSERT_FALSE(about.texts.empty());

  ProgramHome home;
  // With a recording open the Analysis menu's entries are enabled: dark text.
  std::filesystem::create_directories(home.DataDirectory());
  const std::filesystem::path qrs =
      coretest::MakeSyntheticRecording(home.DataDirectory() / "00007", 2, {"Eva", "Berg", "55"});
  VirtualScreen screen(home.Root() / "xvfb.log");
  ASSERT_TRUE(screen.Ready()) << screen.Problem();
  home.SetEnv("DISPLAY", screen.Display());
  home.SetEnv("QT_QPA_PLATFORM", "xcb");
  BackgroundProgram program({qrs.string()});
  const std::optional<ScreenWindow> frame = FrameOnScreen(screen, program, "00007.QRS");
  ASSERT_TRUE(frame);
  const auto pop_up_menu = QtPopup;

  ASSERT_TRUE(screen.Xdotool({"key", "alt+f"}));
  const std::optional<ScreenWindow> file =
      WaitForNew(screen, program, {frame->id}, 2, pop_up_menu, "File menu");
  ASSERT_TRUE(file);
  ExpectMenuPainted(screen, *file, "file_menu");

  // Right walks along the menu bar with a menu open: Recorder, then Analysis, each further right.
  std::optional<ScreenWindow> menu = file;
  for (const char* name : {"recorder_menu", "analysis_menu"}) {
    ASSERT_TRUE(screen.Xdotool({"key", "Right"}));
    const int left_of = menu->rect.x();
    menu = WaitForNew(
        screen, program, {frame->id}, 2,
        [&](const ScreenWindow& w) { return pop_up_menu(w) && w.rect.x() > left_of; }, name);
    ASSERT_TRUE(menu);
  }
  ExpectMenuPainted(screen, *menu, "analysis_menu");
  // Left goes back to the Recorder menu.
  ASSERT_TRUE(screen.Xdotool({"key", "Left"}));
  const int right_of = menu->rect.x();
  ASSERT_TRUE(WaitForNew(
      screen, program, {frame->id}, 2,
      [&](const ScreenWindow& w) {
        return pop_up_menu(w) && w.rect.x() < right_of && w.rect.x() > file->rect.x();
      },
      "Recorder menu again"));

  // Esc closes the menu, the second one leaves the menu bar.
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(WaitForFrameAlone(screen, frame->id));
  ASSERT_TRUE(screen.Xdotool({"key", "alt+h"}));
  ASSERT_TRUE(WaitForNew(screen, program, {frame->id}, 2, pop_up_menu, "Help menu"));
  ASSERT_TRUE(screen.Xdotool({"key", "a"}));
  const std::optional<ScreenWindow> box = WaitForOneMore(screen, program, frame->id, "About");
  ASSERT_TRUE(box);
  ExpectDialogPainted(screen, *box, about, "about_box");
  EXPECT_FALSE(program.Ended()) << "the program ended";
}

TEST_F(RealDisplayTest, BrowserFilterListPatientSheetAndToolTipArePaintedOnTheScreen) {
  ProgramHome home;
  std::filesystem::create_directories(home.DataDirectory());
  const std::filesystem::path qrs =
      coretest::MakeSyntheticRecording(home.DataDirectory() / "00007", 2, {"Eva", "Berg", "55"});
  const std::filesystem::path reference_data = Folder("home") / "ZK-470" / "Data";
  std::filesystem::create_directories(reference_data);
  const BrowserAndSheet reference = OffscreenBrowserAndSheet(
      coretest::MakeSyntheticRecording(reference_data / "00007", 2, {"Eva", "Berg", "55"}));
  ASSERT_FALSE(reference.browser.texts.empty());
  ASSERT_FALSE(reference.sheet.texts.empty());
  ASSERT_FALSE(reference.filter.isEmpty());

  VirtualScreen screen(home.Root() / "xvfb.log");
  ASSERT_TRUE(screen.Ready()) << screen.Problem();
  home.SetEnv("DISPLAY", screen.Display());
  home.SetEnv("QT_QPA_PLATFORM", "xcb");
  BackgroundProgram program({qrs.string()});
  const std::optional<ScreenWindow> frame = FrameOnScreen(screen, program, "00007.QRS");
  ASSERT_TRUE(frame);
  const auto any = [](const ScreenWindow&) { return true; };

  // File > Open: the recording browser, and its filter's list as a pop-up.
  ASSERT_TRUE(screen.Xdotool({"key", "ctrl+o"}));
  const std::optional<ScreenWindow> browser =
      WaitForNew(screen, program, {frame->id}, 2, any, "recording browser");
  ASSERT_TRUE(browser);
  ExpectDialogPainted(screen, *browser, reference.browser, "recording_browser");
  const QPoint filter = browser->rect.topLeft() + reference.filter.center();
  ASSERT_TRUE(
      screen.Xdotool({"mousemove", "--sync", std::to_string(filter.x()), std::to_string(filter.y())}));
  ASSERT_TRUE(screen.Xdotool({"click", "1"}));
  const std::optional<ScreenWindow> list =
      WaitForNew(screen, program, {frame->id, browser->id}, 3, QtPopup, "drop-down list of the filter");
  ASSERT_TRUE(list);
  ExpectMenuPainted(screen, *list, "filter_list");
  // Esc closes the list, then the browser.
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(WaitForNew(
      screen, program, {frame->id}, 2, [&](const ScreenWindow& w) { return w.id == browser->id; },
      "browser without its list"));
  ASSERT_TRUE(screen.Xdotool({"windowfocus", "--sync", browser->id}));
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(WaitForFrameAlone(screen, frame->id));

  // Options > Patient data: the patient sheet of the open recording.
  const QPoint centre = frame->rect.center();
  ASSERT_TRUE(
      screen.Xdotool({"mousemove", "--sync", std::to_string(centre.x()), std::to_string(centre.y())}));
  ASSERT_TRUE(screen.Xdotool({"windowfocus", "--sync", frame->id}));
  ASSERT_TRUE(screen.Xdotool({"key", "alt+o"}));
  ASSERT_TRUE(WaitForNew(screen, program, {frame->id}, 2, QtPopup, "Options menu"));
  ASSERT_TRUE(screen.Xdotool({"key", "p"}));
  const std::optional<ScreenWindow> sheet = WaitForNew(screen, program, {frame->id}, 2, any, "patient sheet");
  ASSERT_TRUE(sheet);
  ExpectDialogPainted(screen, *sheet, reference.sheet, "patient_sheet");
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(WaitForFrameAlone(screen, frame->id));

  // The pointer resting on the first button of the main toolbar, under the menu bar: its tip.
  const QPoint button = frame->rect.topLeft() + QPoint(kToolButtonX, kToolButtonY);
  ASSERT_TRUE(
      screen.Xdotool({"mousemove", "--sync", std::to_string(button.x()), std::to_string(button.y())}));
  const std::optional<ScreenWindow> tip = WaitForNew(screen, program, {frame->id}, 2, QtPopup, "tool tip");
  ASSERT_TRUE(tip);
  QImage shot = screen.Grab();
  qthost::testing_support::SaveScreenshot(shot, "real_display_tool_tip");
  ASSERT_FALSE(shot.isNull());
  EXPECT_GT(Colours(shot, tip->rect.intersected(shot.rect())), 2u) << "the tool tip is one flat colour";
  EXPECT_FALSE(program.Ended()) << "the program ended";
}

}  // namespace
}  // namespace apptest
