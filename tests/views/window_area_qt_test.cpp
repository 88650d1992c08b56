#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <memory>

#include "qt/screen_host.h"
#include "views/fill_areas.h"
#include "views/layout_tree.h"
#include "views/pixel_grid.h"
#include "views/placeholder_area.h"
#include "views/window_area.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace {

CPosition At(int x_ref, int x_edge, int y_ref, int y_edge) {
  return {CXPosition{x_ref, x_edge, 0}, CYPosition{y_ref, y_edge, 0}};
}

class HostedRoot : public CViewConfiguration {
 public:
  explicit HostedRoot(win::Window* host) : CViewConfiguration(1, 1, 1), host_(host) {}
  win::Window* GetParentWindow() const override { return host_; }

 private:
  win::Window* host_;
};

QColor ToQColor(gfx::Color c) { return QColor(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)); }

// A focusable window with the ECG paper, a named placeholder and a spacer, beside a placeholder
// window, through the real host: the focus frame, the grid and the boxes reach the screen.
TEST(WindowAreasOnScreen, ShowFocusFrameGridAndPlaceholders) {
  qthost::testing_support::ScreenHost screen;
  win::Window host;
  ASSERT_TRUE(host.Create(nullptr, {0, 0, 600, 400}, win::kWsVisible));
  {
    HostedRoot root(&host);
    auto window = std::make_unique<CWindowAreaConfig>(At(-1, 0, -1, 0), gfx::Size{150, 100},
                                                      gfx::Size{700, 1000}, true);
    window->AddChild(std::make_unique<CPixelGridConfig>(At(-1, 0, -1, 0), gfx::Size{60, 60},
                                                        gfx::Size{1000, 1000}, 0xC0C0C0, 10, 10));
    window->AddChild(std::make_unique<CNamedPlaceholderAreaConfig>(
        "CECGStripAreaConfig", At(-1, 1, -1, 0), gfx::Size{180, 50}, gfx::Size{0, 0}, true));
    window->AddChild(
        std::make_unique<CSpacerAreaConfig>(At(-1, 0, -1, 1), gfx::Size{60, 3}, gfx::Size{1000, 0}, true));
    root.AddChild(std::move(window));
    root.AddChild(std::make_unique<CNamedPlaceholderWindowConfig>(
        "CNavigationWindowConfig", At(0, 1, -1, 0), gfx::Size{60, 100}, gfx::Size{300, 1000}, false));
    ASSERT_TRUE(root.CreateAreas(nullptr));
    root.AttachData(nullptr);
    ASSERT_TRUE(root.Layout({0, 0, 600, 400}));

    const QImage image = screen.Render(host);
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(600, 400));
    // The window takes 700/1000 of 600 pixels: 420 wide; its focus frame in the active caption colour.
    const QColor active = ToQColor(win::GetSysColor(win::SysColor::kActiveCaption));
    for (const QPoint p : {QPoint(0, 0), QPoint(2, 200), QPoint(419, 399), QPoint(200, 1)}) {
      EXPECT_EQ(image.pixelColor(p), active) << p.x() << "," << p.y();
    }
    // The grid's corner at the hosted window's origin, dots every 3 pixels, paper white between.
    const QColor grey(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(image.pixelColor(3, 3), grey);
    EXPECT_EQ(image.pixelColor(3 + 30 + 3, 3 + 30 + 3), grey);
    EXPECT_EQ(image.pixelColor(3 + 30 + 4, 3 + 30 + 4), QColor(Qt::white));
    // The spacer along the bottom of the hosted window in the button face.
    EXPECT_EQ(image.pixelColor(100, 396), ToQColor(win::GetSysColor(win::SysColor::kBtnFace)));
    // Both placeholders draw their light box with a border and dark text inside.
    int dark = 0;
    for (int y = 3; y < 53; ++y) {
      for (int x = 417 - 180; x < 417; ++x) dark += image.pixelColor(x, y).lightness() < 150 ? 1 : 0;
    }
    EXPECT_GT(dark, 20) << "the class name in the box";
    EXPECT_EQ(image.pixelColor(500, 100), QColor(236, 240, 246)) << "the placeholder window's box";

    const std::filesystem::path png = screen.SaveScreen(host, "window_area_layout");
    EXPECT_TRUE(std::filesystem::exists(png));
  }
  host.DestroyWindow();
}

}  // namespace
