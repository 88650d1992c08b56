#include "qt/canvas_host.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/canvas.h"
#include "platform/clock.h"
#include "platform/worker.h"
#include "qt/event_pump.h"
#include "qt/qt_menu.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "win/menu.h"
#include "win/messages.h"
#include "win/popup_menu.h"
#include "win/scroll_bar.h"
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

// A context menu as the program builds one: entries, a separator, a ticked and a disabled
// entry, two radio entries, a pop-up below.
win::Menu SampleMenu() {
  win::Menu menu;
  menu.AppendItem(11, "&Copy\tCtrl+C");
  menu.AppendSeparator();
  menu.AppendItem(12, "&Grid");
  menu.At(2).check = 1;
  menu.AppendItem(13, "&Delete");
  menu.At(3).enabled = false;
  menu.AppendItem(14, "&Small");
  menu.At(4).radio = true;
  menu.At(4).check = 1;
  menu.AppendItem(15, "&Large");
  menu.At(5).radio = true;
  menu.At(5).check = 1;
  win::Menu& zoom = menu.AppendPopup("&Zoom");
  zoom.AppendItem(21, "&In");
  zoom.AppendItem(22, "&Out");
  return menu;
}

TEST(HostMenu, ShowsEachEntryOfTheModelAsAnAction) {
  testing_support::TestApp();
  HostMenu menu;
  menu.AddEntries(SampleMenu());
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), 7);
  struct Case {
    const char* text;
    int id;
    bool enabled;
    bool checked;
  };
  const Case kCases[] = {{"&Copy\tCtrl+C", 11, true, false}, {"", 0, true, false},
                         {"&Grid", 12, true, true},          {"&Delete", 13, false, false},
                         {"&Small", 14, true, true},         {"&Large", 15, true, true}};
  for (int i = 0; i < 6; ++i) {
    const Case& c = kCases[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(actions[i]->isSeparator(), i == 1);
    if (i == 1) continue;
    EXPECT_EQ(actions[i]->text().toStdString(), c.text);
    EXPECT_EQ(actions[i]->data().toInt(), c.id);
    EXPECT_EQ(actions[i]->isEnabled(), c.enabled);
    EXPECT_EQ(actions[i]->isChecked(), c.checked);
  }
  // The radio entries share one exclusive group (bullets), the ticked entry has none (a tick).
  EXPECT_EQ(actions[2]->actionGroup(), nullptr);
  ASSERT_NE(actions[4]->actionGroup(), nullptr);
  EXPECT_EQ(actions[4]->actionGroup(), actions[5]->actionGroup());
  EXPECT_TRUE(actions[4]->actionGroup()->isExclusive());
  QMenu* zoom = actions[6]->menu();
  ASSERT_NE(zoom, nullptr);
  EXPECT_EQ(actions[6]->text().toStdString(), "&Zoom");
  ASSERT_EQ(zoom->actions().size(), 2);
  EXPECT_EQ(zoom->actions()[1]->data().toInt(), 22);
}

TEST(HostMenu, ShowsListTextsAsTheyStand) {
  testing_support::TestApp();
  HostMenu menu;
  menu.AddListEntries({"All", "Q&A\tnew"});
  ASSERT_EQ(menu.actions().size(), 2);
  EXPECT_EQ(menu.actions()[1]->text().toStdString(), "Q&&A new");
  EXPECT_EQ(menu.actions()[1]->data().toInt(), 1);
}

// Presses keys on the pop-up that opens next, once it shows and lit what it lights at once.
void WhenPopupShows(std::function<void(QWidget&)> step) {
  QTimer::singleShot(0, [step = std::move(step)] {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [step] {
          QWidget* popup = QApplication::activePopupWidget();
          if (popup == nullptr) {
            ADD_FAILURE() << "no pop-up shows";
            return;
          }
          step(*popup);
        },
        Qt::QueuedConnection);
  });
}

void Press(QWidget& popup, const std::vector<Qt::Key>& keys) {
  for (const Qt::Key key : keys) {
    // A key may close the pop-up (and a sub-menu takes the keys once open).
    QWidget* target = QApplication::activePopupWidget();
    if (target == nullptr) return;
    QTest::keyClick(target, key);
  }
  (void)popup;
}

TEST_F(CanvasHostTest, PopUpMenusAreQtMenusAnsweringTheEntryChosen) {
  Open();
  struct Case {
    const char* name;
    bool menu_bar;
    bool keyboard;
    std::vector<Qt::Key> keys;
    int want;
  };
  const Case kCases[] = {
      {"first entry from the keyboard", false, true, {Qt::Key_Return}, 11},
      {"down past separator and disabled entry",
       false,
       false,
       {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return},
       14},
      {"mnemonic", false, false, {Qt::Key_G}, 12},
      {"entry of the sub-menu", false, false, {Qt::Key_Z, Qt::Key_Down, Qt::Key_Return}, 22},
      {"escape", false, false, {Qt::Key_Escape}, 0},
      {"left and right stay in a context menu",
       false,
       true,
       {Qt::Key_Left, Qt::Key_Right, Qt::Key_Return},
       11},
      {"bar: left", true, true, {Qt::Key_Left}, win::kPopupEndedLeft},
      {"bar: right", true, true, {Qt::Key_Right}, win::kPopupEndedRight},
      {"bar: escape", true, false, {Qt::Key_Escape}, win::kPopupEndedEscape},
      {"bar: right opens a sub-menu, left closes it",
       true,
       true,
       {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_Return},
       15},
  };
  const win::Menu model = SampleMenu();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    win::PopupRequest request;
    request.owner = &top_;
    request.screen_point = {150, 160};
    request.menu = &model;
    request.menu_bar = c.menu_bar;
    request.keyboard = c.keyboard;
    QRect shown;
    WhenPopupShows([&](QWidget& popup) {
      shown = popup.geometry();
      Press(popup, c.keys);
    });
    const std::optional<int> answer = host_->TrackPopupMenu(request);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, c.want);
    EXPECT_EQ(shown.topLeft(), QPoint(150, 160));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }
}

TEST_F(CanvasHostTest, AContextMenuTellsItsOwnerTheLitEntryAndLandsOnTheScreen) {
  Open();
  top_.received.clear();
  // At the screen's bottom-right corner the menu opens up and left of the point.
  const gfx::Size screen = win::Windows().ScreenSize();
  QRect shown;
  WhenPopupShows([&](QWidget& popup) {
    shown = popup.geometry();
    Press(popup, {Qt::Key_Down, Qt::Key_Escape});
  });
  const int chosen =
      win::TrackPopupMenu(SampleMenu(), win::kTpmReturnCmd, screen.cx - 1, screen.cy - 1, top_);
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(shown.right(), screen.cx - 2);
  EXPECT_EQ(shown.bottom(), screen.cy - 2);
  EXPECT_TRUE(top_.Got(win::kWmMenuSelect, win::MakeWParam(11, 0)));
  EXPECT_TRUE(top_.Got(win::kWmMenuSelect, win::MakeWParam(0, win::kMfMenuClosed)));
}

TEST_F(CanvasHostTest, DropDownListsAreQtPopUpsUnderTheBox) {
  Open();
  struct Case {
    const char* name;
    gfx::Rect box;
    std::vector<Qt::Key> keys;
    int want;
    bool above;
  };
  const gfx::Size screen = win::Windows().ScreenSize();
  const Case kCases[] = {
      {"next entry", {120, 130, 260, 152}, {Qt::Key_Down, Qt::Key_Return}, 2, false},
      {"dismissed", {120, 130, 260, 152}, {Qt::Key_Escape}, -1, false},
      {"at the screen's end", {120, screen.cy - 22, 260, screen.cy}, {Qt::Key_Up, Qt::Key_Return}, 0, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    win::PopupRequest request;
    request.owner = &child_;
    request.screen_rect = c.box;
    request.items = {"All", "Analysed", "New"};
    request.current = 1;
    QRect shown;
    WhenPopupShows([&](QWidget& popup) {
      shown = popup.geometry();
      Press(popup, c.keys);
    });
    EXPECT_EQ(host_->ShowDropDownList(request), c.want);
    EXPECT_EQ(shown.left(), c.box.left);
    EXPECT_GE(shown.width(), c.box.Width());
    if (c.above) {
      EXPECT_EQ(shown.bottom() + 1, c.box.top);
    } else {
      EXPECT_EQ(shown.top(), c.box.bottom);
    }
  }
}

TEST_F(CanvasHostTest, ScrollBarsArePaintedBesideTheClientArea) {
  Open();
  PaintedWindow scrolled{0x00FF00};
  ASSERT_TRUE(
      scrolled.Create(&top_, {20, 90, 120, 140}, win::kWsChild | win::kWsVisible | win::kWsVScroll, 6));
  scrolled.SetScrollRange(win::kSbVert, 0, 100);
  win::Windows().RunPending();
  const gfx::Rect bar = scrolled.ScrollBarRect(win::kSbVert);
  ASSERT_FALSE(bar.IsEmpty());
  // The bar's middle: the thumb or the track, in the button face's colours, not the frame's white.
  EXPECT_NE(Pixel(Store(), 20 + (bar.left + bar.right) / 2, 90 + bar.top + 30), 0xFFFFFFu);
  EXPECT_EQ(Pixel(Store(), 20 + bar.left - 2, 95), 0x00FF00u);  // the client area beside it
  // A canvas over the whole window stays inside what the frame shows of it.
  const gfx::Rect whole{0, 0, 300, 300};
  std::unique_ptr<gfx::Canvas> canvas = host_->CreateWindowCanvas(scrolled, whole);
  ASSERT_NE(canvas, nullptr);
  canvas->FillSolidRect(whole, 0x0000FF);
  canvas.reset();
  EXPECT_EQ(Pixel(Store(), 20 + bar.left + 2, 95), 0xFF0000u);
  EXPECT_EQ(Pixel(Store(), 125, 95), 0xFFFFFFu);  // right of the window
  EXPECT_EQ(Pixel(Store(), 25, 145), 0xFFFFFFu);  // below it
  scrolled.DestroyWindow();
}

}  // namespace
}  // namespace qthost
