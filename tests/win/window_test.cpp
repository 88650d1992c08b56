#include "win/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gfx/canvas.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

// Writes what it receives into a shared log as "name:event".
class LogWindow : public Window {
 public:
  LogWindow(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

  void Note(const std::string& event) { log_.push_back(name_ + ":" + event); }

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message >= kWmUser) Note("user" + std::to_string(message - kWmUser) + "," + std::to_string(wparam));
    return Window::WindowProc(message, wparam, lparam);
  }
  void OnDestroy() override { Note("destroy"); }
  void OnLButtonDown(unsigned, gfx::Point p) override { Note("down " + Point(p)); }
  void OnLButtonUp(unsigned, gfx::Point p) override { Note("up " + Point(p)); }
  void OnMouseMove(unsigned, gfx::Point p) override { Note("move " + Point(p)); }
  void OnSetFocus(Window* old) override {
    Note(std::string("setfocus from ") + (old ? Name(old) : "none"));
    Window::OnSetFocus(old);
  }
  void OnKillFocus(Window* next) override { Note(std::string("killfocus to ") + (next ? Name(next) : "none")); }
  void OnCaptureChanged(Window* next) override {
    Note(std::string("capturechanged to ") + (next ? Name(next) : "none"));
  }
  void OnTimer(uintptr_t id) override { Note("timer " + std::to_string(id)); }
  void OnKeyDown(int key, unsigned, unsigned) override { Note("key " + std::to_string(key)); }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override {
    Note("paint");
    canvas.FillSolidRect(update, 0x123456);
  }

 private:
  static std::string Point(gfx::Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
  static std::string Name(Window* w) {
    auto* lw = dynamic_cast<LogWindow*>(w);
    return lw ? lw->name_ : "?";
  }

  std::string name_;
  std::vector<std::string>& log_;
};

class WindowTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(top_.Create(nullptr, {100, 100, 500, 400}, kWsPopup | kWsVisible));
    // a and b overlap at (50..60, 10..20); a is created first, so it lies on top.
    ASSERT_TRUE(a_.Create(&top_, {10, 10, 60, 60}, kWsChild | kWsVisible, 1));
    ASSERT_TRUE(b_.Create(&top_, {50, 10, 150, 60}, kWsChild | kWsVisible, 2));
    ASSERT_TRUE(inner_.Create(&b_, {5, 5, 25, 25}, kWsChild | kWsVisible, 3));
    log_.clear();
  }

  std::vector<std::string> log_;
  LogWindow top_{"top", log_};
  LogWindow a_{"a", log_};
  LogWindow b_{"b", log_};
  LogWindow inner_{"inner", log_};
};

TEST_F(WindowTest, MouseGoesToTopmostChildInCreationOrderAndPassesDisabledChildren) {
  struct Case {
    const char* name;
    gfx::Point point;
    const char* want;
  };
  const Case cases[] = {
      {"only a", {20, 20}, "a:down 10,10"},
      {"overlap: a was created first", {55, 15}, "a:down 45,5"},
      {"only b", {100, 40}, "b:down 50,30"},
      {"grandchild", {60, 20}, "inner:down 5,5"},
      {"no child", {300, 200}, "top:down 300,200"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    Windows().MouseInput(top_, kWmLButtonDown, c.point);
    EXPECT_EQ(log_, std::vector<std::string>{c.want});
  }
  // A disabled child lets the click through to its parent; a hidden one is not there at all.
  inner_.EnableWindow(false);
  a_.ShowWindow(kSwHide);
  log_.clear();
  Windows().MouseInput(top_, kWmLButtonDown, {60, 20});
  Windows().MouseInput(top_, kWmLButtonDown, {55, 15});
  EXPECT_EQ(log_, (std::vector<std::string>{"b:down 10,10", "b:down 5,5"}));
}

TEST_F(WindowTest, DisabledTopLevelWindowGetsNoInput) {
  top_.EnableWindow(false);
  const int beeps = Windows().BeepCount();
  EXPECT_EQ(Windows().MouseInput(top_, kWmLButtonDown, {20, 20}), nullptr);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(Windows().BeepCount(), beeps + 1);
}

TEST_F(WindowTest, CaptureTakesEveryMouseMessageInItsOwnCoordinatesUntilReleased) {
  Windows().MouseInput(top_, kWmLButtonDown, {20, 20});
  a_.SetCapture();
  // Over b and outside a, even left of the window: still a, in a's client coordinates.
  Windows().MouseInput(top_, kWmMouseMove, {100, 40});
  Windows().MouseInput(top_, kWmMouseMove, {-5, 30});
  Windows().MouseInput(top_, kWmLButtonUp, {300, 300});
  Windows().ReleaseCapture();
  Windows().MouseInput(top_, kWmMouseMove, {100, 40});
  EXPECT_EQ(log_, (std::vector<std::string>{"a:down 10,10", "a:move 90,30", "a:move -15,20", "a:up 290,290",
                                             "a:capturechanged to none", "b:move 50,30"}));
  // Taking the capture away tells the old holder who has it now.
  a_.SetCapture();
  log_.clear();
  b_.SetCapture();
  EXPECT_EQ(log_, std::vector<std::string>{"a:capturechanged to b"});
  EXPECT_EQ(Windows().GetCapture(), &b_);
  b_.EnableWindow(false);
  EXPECT_EQ(Windows().GetCapture(), nullptr);
}

TEST_F(WindowTest, FocusMovesWithKillAndSetAndNonFocusableWindowsHandItBack) {
  a_.SetFocus();
  b_.SetAcceptsFocus(false);
  log_.clear();
  b_.SetFocus();
  EXPECT_EQ(log_, (std::vector<std::string>{"a:killfocus to b", "b:setfocus from a", "b:killfocus to a",
                                             "a:setfocus from b"}));
  EXPECT_EQ(Windows().GetFocus(), &a_);
  // With nobody to give it back to, a non-focusable window keeps the focus.
  Windows().SetFocus(nullptr);
  b_.SetFocus();
  EXPECT_EQ(Windows().GetFocus(), &b_);
  // Keys go to the focus window; a window that ends takes the focus with it.
  log_.clear();
  inner_.SetFocus();
  Windows().KeyInput(kWmKeyDown, kVkDown);
  EXPECT_EQ(log_.back(), "inner:key 40");
  b_.DestroyWindow();
  EXPECT_EQ(Windows().GetFocus(), nullptr);
  EXPECT_FALSE(inner_.IsWindow());
}

TEST_F(WindowTest, TimersFireOnTheManualClockOncePerDueCheck) {
  a_.SetTimer(1, 500);
  b_.SetTimer(7, 200);
  EXPECT_EQ(Windows().FireDueTimers(), 0u);
  clock_.Advance(199);
  EXPECT_EQ(Windows().FireDueTimers(), 0u);
  clock_.Advance(1);
  EXPECT_EQ(Windows().FireDueTimers(), 1u);
  EXPECT_EQ(Windows().NextTimerDelayMs(), 200);
  // Far too late: each timer fires once, not once per period missed, the earlier due first.
  clock_.Advance(2000);
  EXPECT_EQ(Windows().FireDueTimers(), 2u);
  EXPECT_EQ(Windows().FireDueTimers(), 0u);
  EXPECT_EQ(log_, (std::vector<std::string>{"b:timer 7", "b:timer 7", "a:timer 1"}));
  // Setting an existing id restarts it; killing or destroying ends it.
  a_.SetTimer(1, 1000);
  clock_.Advance(500);
  EXPECT_EQ(Windows().FireDueTimers(), 1u);  // b only
  EXPECT_TRUE(b_.KillTimer(7));
  EXPECT_FALSE(b_.KillTimer(7));
  a_.DestroyWindow();
  EXPECT_EQ(Windows().TimerCount(), 0u);
}

TEST_F(WindowTest, PostedMessagesFromAWorkerArriveOnThePumpAndGoNowhereOnceTheWindowIsGone) {
  const WindowHandle a = a_.Handle();
  const WindowHandle b = b_.Handle();
  std::thread worker([a, b] {
    platform::UiThreadQueue().PostMessage(a, kWmUser + 1, 5);
    platform::UiThreadQueue().PostMessage(b, kWmUser + 2, 6);
  });
  worker.join();
  EXPECT_TRUE(log_.empty());
  b_.DestroyWindow();
  Windows().PaintPending();
  log_.clear();
  Windows().RunPending();
  EXPECT_EQ(log_, std::vector<std::string>{"a:user1,5"});
}

TEST_F(WindowTest, UpdateWindowPaintsAtOnceAndChildrenAreDrawnOverTheirParent) {
  Windows().PaintPending();
  log_.clear();
  top_.InvalidateRect({0, 0, 400, 300});
  top_.UpdateWindow();
  // The parent first, then its children bottom of the z-order first, so a ends on top of b.
  EXPECT_EQ(log_, (std::vector<std::string>{"top:paint", "b:paint", "inner:paint", "a:paint"}));
  const WindowSystem::Record* record = Windows().RecordOf(a_);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->paint, nullptr);
  EXPECT_EQ(record->paint->Lines(), std::vector<std::string>{"FillRect 0,0,50,50 solid 0x123456"});
  // Nothing invalid: nothing painted.
  log_.clear();
  top_.UpdateWindow();
  EXPECT_TRUE(log_.empty());
}

TEST_F(WindowTest, ClientCanvasDrawsOutsidePaintAndIsRecordedHeadless) {
  Windows().PaintPending();
  {
    ClientDc dc(a_);
    dc->SetROP2(gfx::Rop2::kXorPen);
    dc->MoveTo(5, 0);
    dc->LineTo(5, 40);
  }
  const WindowSystem::Record* record = Windows().RecordOf(a_);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->client.size(), 1u);
  EXPECT_EQ(record->client.back()->Lines(),
            (std::vector<std::string>{"SetROP2 xorpen", "MoveTo 5,0", "LineTo 5,40"}));
}

TEST_F(WindowTest, DestroyingAParentEndsItsChildrenParentFirstAndLeavesTheObjects) {
  top_.DestroyWindow();
  EXPECT_EQ(log_, (std::vector<std::string>{"top:destroy", "a:destroy", "b:destroy", "inner:destroy"}));
  EXPECT_FALSE(inner_.IsWindow());
  EXPECT_TRUE(Windows().TopLevelWindows().empty());
  // The objects can make windows again.
  EXPECT_TRUE(top_.Create(nullptr, {0, 0, 10, 10}, kWsPopup));
}

TEST_F(WindowTest, AWindowThatDeletesItselfAtTheEndIsGoneSafely) {
  class SelfDeleting : public Window {
   public:
    explicit SelfDeleting(bool& deleted) : deleted_(deleted) {}
    ~SelfDeleting() override { deleted_ = true; }

   protected:
    void PostNcDestroy() override { delete this; }

   private:
    bool& deleted_;
  };
  bool deleted = false;
  auto* window = new SelfDeleting(deleted);
  ASSERT_TRUE(window->Create(&top_, {0, 0, 5, 5}, kWsChild | kWsVisible));
  top_.DestroyWindow();
  EXPECT_TRUE(deleted);
}

TEST_F(WindowTest, OwnedPopupsEndWithTheirOwner) {
  std::vector<std::string> log;
  LogWindow popup("popup", log);
  ASSERT_TRUE(popup.Create(&a_, {0, 0, 50, 50}, kWsPopup));
  EXPECT_EQ(popup.GetOwner(), &top_);
  top_.DestroyWindow();
  EXPECT_FALSE(popup.IsWindow());
}

}  // namespace
}  // namespace win

namespace win {
namespace {

// Answers the context menu: logs where it came from and where it would open.
class MenuWindow : public LogWindow {
 public:
  using LogWindow::LogWindow;
  bool raise_on_release = false;  // its release handler raises the menu itself

 protected:
  void OnContextMenu(Window* from, gfx::Point screen) override {
    Note("menu from " + std::to_string(from != nullptr ? from->GetDlgCtrlID() : -1) + " at " +
         std::to_string(screen.x) + "," + std::to_string(screen.y));
  }
  void OnRButtonUp(unsigned, gfx::Point point) override {
    if (!raise_on_release) return LogWindow::OnRButtonUp(0, point);
    const gfx::Point screen = ClientToScreen(point);
    SendMessage(kWmContextMenu, Handle(), MakeLParam(screen.x, screen.y));
  }
};

TEST_F(WindowTest, TheRightButtonShiftF10AndTheMenuKeyAskTheNearestWindowThatAnswersForItsMenu) {
  // top (100,100) > holder at (20,20), answers > plain child at (10,10), does not.
  MenuWindow holder("holder", log_);
  ASSERT_TRUE(holder.Create(&top_, {200, 200, 300, 300}, kWsChild | kWsVisible, 7));
  LogWindow plain("plain", log_);
  ASSERT_TRUE(plain.Create(&holder, {10, 10, 60, 60}, kWsChild | kWsVisible, 8));
  struct Case {
    const char* name;
    std::function<void()> act;
    std::vector<std::string> want;
  };
  const auto right_click = [this](gfx::Point p) {
    Windows().MouseInput(top_, kWmRButtonDown, p);
    Windows().MouseInput(top_, kWmRButtonUp, p);
  };
  const auto key = [](int vk, bool shift) {
    Windows().SetKeyDown(kVkShift, shift);
    Windows().KeyInput(vk == kVkF10 ? kWmSysKeyDown : kWmKeyDown, vk);
    Windows().SetKeyDown(kVkShift, false);
  };
  const Case cases[] = {
      {"release on the child: at the pointer",
       [&] {
         right_click({215, 220});
       },
       {"holder:menu from 8 at 315,320"}},
      {"release on the holder itself",
       [&] {
         right_click({290, 290});
       },
       {"holder:menu from 7 at 390,390"}},
      {"nobody answers: nothing",
       [&] {
         right_click({30, 250});
       },
       {}},
      {"Shift+F10 in the focused child: its top-left corner",
       [&] {
         plain.SetFocus();
         log_.clear();
         key(kVkF10, true);
       },
       {"plain:key 121", "holder:menu from 8 at 315,315"}},
      {"the Menu key", [&] { key(kVkApps, false); }, {"plain:key 93", "holder:menu from 8 at 315,315"}},
      {"F10 alone is no request", [&] { key(kVkF10, false); }, {"plain:key 121"}},
      {"a handler that raised it already: once",
       [&] {
         holder.raise_on_release = true;
         right_click({290, 290});
       },
       {"holder:menu from 7 at 390,390"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    c.act();
    std::erase_if(log_, [](const std::string& line) { return line.find("focus") != std::string::npos; });
    EXPECT_EQ(log_, c.want);
  }
}

}  // namespace
}  // namespace win
