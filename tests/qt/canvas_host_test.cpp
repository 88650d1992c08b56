#include "qt/canvas_host.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "gfx/canvas.h"
#include "platform/clock.h"
#include "platform/worker.h"
#include "qt/event_pump.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "win/messages.h"
#include "win/window.h"

namespace qthost {
namespace {

struct Received {
  uint32_t message;
  win::WParam wparam;
  win::LParam lparam;
};

// A window that fills its client area with its colour, draws a black line along its top, and
// keeps every message it receives.
class PaintedWindow : public win::Window {
 public:
  explicit PaintedWindow(gfx::Color fill) : fill_(fill) {}
  void SetFill(gfx::Color fill) { fill_ = fill; }
  std::vector<Received> received;
  int paints = 0;

  bool Got(uint32_t message, win::WParam wparam) const {
    for (const Received& r : received)
      if (r.message == message && r.wparam == wparam) return true;
    return false;
  }
  const Received* Find(uint32_t message) const {
    for (const Received& r : received)
      if (r.message == message) return &r;
    return nullptr;
  }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    received.push_back({message, wparam, lparam});
    return win::Window::WindowProc(message, wparam, lparam);
  }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect&) override {
    ++paints;
    canvas.FillSolidRect(GetClientRect(), fill_);
    canvas.MoveTo(0, 0);
    canvas.LineTo(GetClientRect().right, 0);
  }

 private:
  gfx::Color fill_;
};

uint32_t Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

class CanvasHostTest : public testing::Test {
 protected:
  void SetUp() override {
    testing_support::TestApp();
    pump_ = std::make_unique<EventPump>(win::Windows());
    host_ = std::make_unique<CanvasHost>(win::Windows(), *pump_);
    win::Windows().SetHost(host_.get());
  }
  void TearDown() override {
    win::Windows().SetHost(nullptr);
    win::Windows().SetClock(nullptr);
    host_.reset();
    pump_.reset();
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
    QCoreApplication::processEvents();
  }

  // A frame at (100, 100) of 200 x 150 with a child at (20, 30) of 100 x 50 in it, shown.
  void Open() {
    ASSERT_TRUE(top_.Create(nullptr, {100, 100, 300, 250}, win::kWsCaption | win::kWsVisible, 0, "Strip"));
    ASSERT_TRUE(child_.Create(&top_, {20, 30, 120, 80}, win::kWsChild | win::kWsVisible, 5));
    win::Windows().RunPending();
  }

  const QImage& Store() { return *host_->BackingStore(top_); }
  QWidget& Widget() { return *host_->WidgetOf(top_); }

  std::unique_ptr<EventPump> pump_;
  std::unique_ptr<CanvasHost> host_;
  PaintedWindow top_{0xFFFFFF};
  PaintedWindow child_{0x00FF00};
};

TEST_F(CanvasHostTest, ShowsEachTopLevelWindowWithItsPaintedContent) {
  Open();
  ASSERT_NE(host_->WidgetOf(top_), nullptr);
  EXPECT_EQ(host_->WidgetOf(child_), nullptr);  // children are drawn into their frame
  EXPECT_EQ(Widget().geometry(), QRect(100, 100, 200, 150));
  EXPECT_EQ(Widget().windowTitle().toStdString(), "Strip");
  EXPECT_TRUE(Widget().isVisible());
  EXPECT_EQ(Store().size(), QSize(200, 150));
  EXPECT_EQ(Pixel(Store(), 10, 10), 0xFFFFFFu);
  EXPECT_EQ(Pixel(Store(), 20, 31), 0x00FF00u);   // the child, below its own top line
  EXPECT_EQ(Pixel(Store(), 20, 30), 0x000000u);   // its top line
  EXPECT_EQ(Pixel(Store(), 120, 31), 0xFFFFFFu);  // right of the child
  testing_support::SaveScreenshot(Store(), "canvas_host_window");
  EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "canvas_host_window.png"));
}

TEST_F(CanvasHostTest, RepaintsAtOnceWhenTheTreeUpdates) {
  Open();
  const int before = child_.paints;
  child_.SetFill(0x0000FF);
  child_.Invalidate();
  child_.UpdateWindow();  // no event processing between
  EXPECT_EQ(child_.paints, before + 1);
  EXPECT_EQ(Pixel(Store(), 50, 50), 0xFF0000u);  // red as the image stores it
}

TEST_F(CanvasHostTest, XorDrawingOutsidePaintTwiceRestoresTheBackingStore) {
  Open();
  const QImage before = Store().copy();
  for (int pass = 0; pass < 2; ++pass) {
    win::ClientDc dc(child_);
    dc->SetROP2(gfx::Rop2::kXorPen);
    dc->SelectPen({gfx::PenStyle::kSolid, 1, 0x00FFFF});
    dc->MoveTo(40, 6);
    dc->LineTo(40, 45);
    dc->LineTo(200, 45);  // clipped at the child's edge
    if (pass == 0) {
      EXPECT_NE(Pixel(Store(), 60, 40), Pixel(before, 60, 40));
      EXPECT_EQ(Pixel(Store(), 130, 75), Pixel(before, 130, 75));  // outside the child
    }
  }
  EXPECT_EQ(std::memcmp(Store().constBits(), before.constBits(), static_cast<size_t>(before.sizeInBytes())),
            0);
}

TEST_F(CanvasHostTest, ForwardsMouseAndKeysIntoTheTree) {
  Open();
  QTest::mouseClick(&Widget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(25, 35));
  const Received* down = child_.Find(win::kWmLButtonDown);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(win::GetXLParam(down->lparam), 5);  // child client coordinates
  EXPECT_EQ(win::GetYLParam(down->lparam), 5);
  EXPECT_EQ(down->wparam, win::kMkLButton | win::kMkShift);
  EXPECT_NE(child_.Find(win::kWmLButtonUp), nullptr);
  EXPECT_EQ(top_.Find(win::kWmLButtonDown), nullptr);

  child_.SetFocus();
  QTest::keyClick(&Widget(), Qt::Key_A);
  EXPECT_TRUE(child_.Got(win::kWmKeyDown, 'A'));
  EXPECT_TRUE(child_.Got(win::kWmChar, 'a'));
  EXPECT_TRUE(child_.Got(win::kWmKeyUp, 'A'));
  // Tab belongs to the tree, not to Qt's focus chain.
  QTest::keyClick(&Widget(), Qt::Key_Tab);
  EXPECT_TRUE(child_.Got(win::kWmKeyDown, win::kVkTab));
  QTest::keyClick(&Widget(), Qt::Key_F5);
  EXPECT_TRUE(child_.Got(win::kWmKeyDown, win::kVkF1 + 4));
  QTest::keyClick(&Widget(), Qt::Key_F, Qt::AltModifier);
  EXPECT_TRUE(child_.Got(win::kWmSysKeyDown, 'F'));
}

TEST_F(CanvasHostTest, ClosingAndResizingTheQtWindowGoThroughTheTree) {
  Open();
  Widget().resize(250, 120);
  EXPECT_EQ(top_.GetWindowRect(), (gfx::Rect{100, 100, 350, 220}));
  EXPECT_EQ(Store().size(), QSize(250, 120));
  win::Windows().RunPending();
  EXPECT_EQ(Pixel(Store(), 240, 110), 0xFFFFFFu);

  Widget().close();
  EXPECT_NE(top_.Find(win::kWmClose), nullptr);
  EXPECT_FALSE(top_.IsWindow());  // the default close destroys the window
  EXPECT_EQ(host_->WidgetOf(top_), nullptr);
  QCoreApplication::processEvents();
}

TEST_F(CanvasHostTest, AWorkersCompletionWakesTheModalLoop) {
  Open();
  bool done = false;
  platform::WorkerThread worker;
  worker.Start([&done](const platform::WorkerThread&) {
    platform::UiThreadQueue().PostTask([&done] { done = true; });
  });
  EXPECT_TRUE(win::Windows().RunModalLoop([&] { return done; }));
  worker.Join();
  EXPECT_TRUE(done);
}

TEST_F(CanvasHostTest, TimersFireFromTheEventLoop) {
  platform::ManualClock clock;
  win::Windows().SetClock(&clock);
  Open();
  top_.SetTimer(7, 1000);
  pump_->Pump();
  EXPECT_FALSE(top_.Got(win::kWmTimer, 7));
  clock.Advance(1000);
  pump_->Schedule();
  EXPECT_TRUE(win::Windows().RunModalLoop([&] { return top_.Got(win::kWmTimer, 7); }));
  top_.KillTimer(7);
}

}  // namespace
}  // namespace qthost
