// The program on a real X server: Xvfb with the xcb platform and no window manager. Pop-up menus
// and dialogs over the main frame must reach the screen as a screen grab (xwd) reads it, not only
// their own backing stores: the File menu holds text on a light ground, and the About box shows
// its texts where the offscreen rendering of the same dialog has them. The grabs are saved as
// screenshots for a reviewer.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QRect>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "app/qt_app_fixture.h"
#include "app/virtual_screen.h"
#include "core/about_dlg.h"
#include "core/splash_window.h"
#include "qt/screenshot.h"

namespace apptest {
namespace {

// Start-up and each step may take long in a sanitizer build; no wait is without an end.
constexpr int kStartWaitMs = 30000;
constexpr int kStepWaitMs = 10000;
// Two renderings of the same text on the same fonts differ by little more than rounding.
constexpr int kChannelTolerance = 40;
constexpr double kAlikeShare = 0.97;

using ScreenWindow = VirtualScreen::Window;

int Luminance(QRgb c) { return (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100; }

std::string Describe(const std::vector<ScreenWindow>& windows) {
  std::ostringstream text;
  text << windows.size() << " window(s):";
  for (const ScreenWindow& w : windows) {
    text << " [" << w.name << " " << w.rect.width() << "x" << w.rect.height() << "+" << w.rect.x() << "+"
         << w.rect.y() << "]";
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
      GTEST_SKIP() << "needs " << names << " on PATH (Debian packages xvfb, x11-apps, xdotool)";
    }
  }

  struct Rendering {
    QImage image;
    std::vector<QRect> texts;  // where the labels with text lie
  };

  // The About box as the Qt host renders it offscreen in this process.
  Rendering OffscreenAboutBox() {
    Rendering rendering;
    if (!Start({})) return rendering;
    CSplashWindow::Reset();
    Settle();
    CAboutDlg about(std::string(), &Frame());
    if (!about.CreateModeless(&Frame())) return rendering;
    Settle();
    if (QWidget* widget = dialog_host_->WidgetOf(about)) {
      widget->ensurePolished();
      rendering.image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
      for (const QLabel* label : widget->findChildren<QLabel*>()) {
        if (label->isVisibleTo(widget) && !label->text().isEmpty()) {
          rendering.texts.emplace_back(label->mapTo(widget, QPoint(0, 0)), label->size());
        }
      }
    }
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
    std::optional<ScreenWindow> found;
    std::vector<ScreenWindow> windows;
    WaitFor(
        [&] {
          windows = screen.VisibleWindows();
          found.reset();
          if (windows.size() != 2 || program.Ended()) return program.Ended();
          for (const ScreenWindow& w : windows) {
            if (w.id != frame_id && w.name.find(name_part) != std::string::npos) found = w;
          }
          return found.has_value();
        },
        kStepWaitMs);
    if (!found) ADD_FAILURE() << "no window \"" << name_part << "\" over the frame; " << Describe(windows);
    return found;
  }

  static bool WaitForFrameAlone(const VirtualScreen& screen, const std::string& frame_id) {
    return WaitFor(
        [&] {
          const std::vector<ScreenWindow> windows = screen.VisibleWindows();
          return windows.size() == 1 && windows.front().id == frame_id;
        },
        kStepWaitMs);
  }
};

TEST_F(RealDisplayTest, FileMenuAndAboutBoxArePaintedOnTheScreen) {
  const Rendering about = OffscreenAboutBox();
  ASSERT_FALSE(about.image.isNull());
  ASSERT_FALSE(about.texts.empty());

  ProgramHome home;
  VirtualScreen screen(home.Root() / "xvfb.log");
  ASSERT_TRUE(screen.Ready()) << screen.Problem();
  home.SetEnv("DISPLAY", screen.Display());
  home.SetEnv("QT_QPA_PLATFORM", "xcb");
  BackgroundProgram program({});

  // The main frame up and the splash gone: the frame is the only window.
  std::vector<ScreenWindow> windows;
  const bool frame_alone = WaitFor(
      [&] {
        windows = screen.VisibleWindows();
        return program.Ended() ||
               (windows.size() == 1 && windows.front().name.find("Holter-ECG") != std::string::npos);
      },
      kStartWaitMs);
  ASSERT_FALSE(program.Ended()) << "the program ended at start";
  ASSERT_TRUE(frame_alone) << Describe(windows);
  const ScreenWindow frame = windows.front();
  // Without a window manager the keys go to the window under the pointer.
  const QPoint centre = frame.rect.center();
  ASSERT_TRUE(
      screen.Xdotool({"mousemove", "--sync", std::to_string(centre.x()), std::to_string(centre.y())}));

  ASSERT_TRUE(screen.Xdotool({"key", "alt+f"}));
  const std::optional<ScreenWindow> menu = WaitForOneMore(screen, program, frame.id, "");
  ASSERT_TRUE(menu);
  QImage shot;
  const bool menu_painted = WaitFor(
      [&] {
        shot = screen.Grab();
        return !shot.isNull() && TextOnLightGround(shot, menu->rect);
      },
      kStepWaitMs);
  qthost::testing_support::SaveScreenshot(shot, "real_display_file_menu");
  EXPECT_TRUE(menu_painted) << "the File menu at " << menu->rect.x() << "," << menu->rect.y()
                            << " shows no text on a light ground; colours there: "
                            << (shot.isNull() ? 0 : Colours(shot, menu->rect.intersected(shot.rect())));

  // Esc closes the menu, the second one leaves the menu bar.
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(screen.Xdotool({"key", "Escape"}));
  ASSERT_TRUE(WaitForFrameAlone(screen, frame.id));
  ASSERT_TRUE(screen.Xdotool({"key", "alt+h"}));
  ASSERT_TRUE(WaitForOneMore(screen, program, frame.id, ""));
  ASSERT_TRUE(screen.Xdotool({"key", "a"}));
  const std::optional<ScreenWindow> box = WaitForOneMore(screen, program, frame.id, "About");
  ASSERT_TRUE(box);
  ASSERT_EQ(box->rect.size(), about.image.size());
  double alike = 0.0;
  const bool box_painted = WaitFor(
      [&] {
        shot = screen.Grab();
        alike = shot.isNull() ? 0.0 : Alike(shot, box->rect.topLeft(), about.image, about.texts);
        return alike >= kAlikeShare;
      },
      kStepWaitMs);
  qthost::testing_support::SaveScreenshot(shot, "real_display_about_box");
  ASSERT_FALSE(shot.isNull()) << "xwd gave no picture";
  EXPECT_GT(Colours(shot, box->rect.intersected(shot.rect())), 2u) << "the About box is one flat colour";
  EXPECT_TRUE(box_painted) << "the About box shows " << alike * 100
                           << " % of its texts' pixels as the offscreen rendering does";
  EXPECT_FALSE(program.Ended()) << "the program ended";
}

}  // namespace
}  // namespace apptest
