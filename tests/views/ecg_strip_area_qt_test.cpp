#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "qt/screen_host.h"
#include "views/beat_annotation_area.h"
#include "views/beat_label_area.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_area.h"
#include "views/ecg_strip_edit_window.h"
#include "views/strip_recording.h"
#include "win/window.h"

namespace {

class HostRoot : public CViewConfiguration {
 public:
  explicit HostRoot(win::Window* host) : CViewConfiguration(1, 1, 1), host_(host) {}
  win::Window* GetParentWindow() const override { return host_; }

 private:
  win::Window* host_;
};

constexpr int kWidth = 1000;
constexpr int kHeight = 320;

// The main strip window with its strip area and the two label rows, as the layouts place them,
// over a recording of the given channel count, through the real host, offscreen.
struct ShownStrip {
  explicit ShownStrip(int channels) : recording(2, channels) {
    platform::Resources().ExePack().AddStrings(SampleWindowStrings());
    static constexpr platform::StringEntry kUnits[] = {{16003, " s"}, {16004, " mV"}};
    platform::Resources().ExePack().AddStrings(kUnits);
    top.Create(nullptr, {0, 0, kWidth, kHeight}, win::kWsVisible);
    root = std::make_unique<HostRoot>(&top);
    const CPosition top_left{CXPosition{-1, 0, 0}, CYPosition{-1, 0, 0}};
    const CPosition bottom{CXPosition{-1, 0, 0}, CYPosition{-1, 1, 0}};
    auto window = std::make_unique<CECGStripWindowConfig>(top_left, gfx::Size{kWidth / 2, kHeight - 40},
                                                          gfx::Size{1000, 1000}, false);
    auto strip =
        std::make_unique<CECGStripAreaConfig>(top_left, gfx::Size{255, 90}, gfx::Size{1000, 1000}, true);
    strip->AddChild(
        std::make_unique<CBeatAnnotationAreaConfig>(bottom, gfx::Size{255, 32}, gfx::Size{1000, 0}, true));
    strip->AddChild(
        std::make_unique<CBeatLabelAreaConfig>(top_left, gfx::Size{255, 20}, gfx::Size{1000, 0}, true));
    strip_node = strip.get();
    window->AddChild(std::move(strip));
    root->AddChild(std::move(window));
    root->CreateAreas(&recording.Doc());
    root->AttachData(nullptr);
    root->Layout({0, 0, kWidth, kHeight});
    recording.Doc().SetCurrentPosition(45000);
    root->NotifyAll(nullptr, hint::kPositionMoved, nullptr);
  }
  ~ShownStrip() {
    root->DestroyAreas();
    root.reset();
    top.DestroyWindow();
  }
  CECGStripArea& Area() { return *dynamic_cast<CECGStripArea*>(strip_node->GetArea()); }
  // The strip's rectangle in the top-level window.
  gfx::Rect OnScreen() {
    const gfx::Rect r = Area().GetRect();
    const gfx::Point at = Area().GetCaliperWindow()->OffsetInTopLevel();
    return {r.left + at.x, r.top + at.y, r.right + at.x, r.bottom + at.y};
  }

  viewstest::StripRecording recording;
  win::Window top;
  std::unique_ptr<HostRoot> root;
  CViewAreaConfig* strip_node = nullptr;
};

// A picture of the strip with 2 and 3 channels for people, and checks that it reached the screen:
// dark traces in every channel's band, red calibration bars, ectopic beats in their colour, and a
// position cursor that a second drawing erases to the last pixel.
TEST(ECGStripAreaOnScreen, ShowsEveryChannelAndErasesItsCursorExactly) {
  for (const int channels : {2, 3}) {
    SCOPED_TRACE(channels);
    qthost::testing_support::ScreenHost host;
    ShownStrip shown(channels);
    const QImage before = host.Render(shown.top);
    ASSERT_FALSE(before.isNull());
    const gfx::Rect strip = shown.OnScreen();
    const int band = strip.Height() / channels;
    for (int channel = 0; channel < channels; ++channel) {
      SCOPED_TRACE(channel);
      int dark = 0;
      for (int y = strip.top + channel * band; y < strip.top + (channel + 1) * band; ++y)
        for (int x = strip.left + 40; x < strip.right; ++x)
          dark += before.pixelColor(x, y).lightness() < 80 ? 1 : 0;
      EXPECT_GT(dark, 400) << "a trace in black";
    }
    int red = 0;
    for (int y = strip.top; y < strip.bottom; ++y)
      for (int x = strip.left; x < strip.right; ++x)
        red += before.pixelColor(x, y) == QColor(255, 0, 0) ? 1 : 0;
    EXPECT_GT(red, 60) << "calibration bars and the VES beats";

    {
      win::ClientDc dc(*shown.Area().GetCaliperWindow());
      shown.Area().DrawCursor(dc.Canvas());
    }
    const QImage erased = host.Render(shown.top);
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
      for (int x = 0; x < before.width(); ++x) changed += before.pixel(x, y) != erased.pixel(x, y) ? 1 : 0;
    const int d = shown.Area().GetCursorHalfWidth();
    EXPECT_EQ(changed, 2 * (2 * d * 5)) << "exactly the two bars of the cursor went";
    {
      win::ClientDc dc(*shown.Area().GetCaliperWindow());
      shown.Area().DrawCursor(dc.Canvas());
    }
    EXPECT_EQ(host.Render(shown.top), before) << "drawn again, the cursor is back pixel for pixel";
    const std::filesystem::path png =
        host.SaveScreen(shown.top, "ecg_strip_area_" + std::to_string(channels) + "_channels");
    EXPECT_TRUE(std::filesystem::exists(png));
  }
}

}  // namespace
