#include "win/scroll_bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

std::string CodeName(int code) {
  switch (code) {
    case kSbLineUp:
      return "lineup";
    case kSbLineDown:
      return "linedown";
    case kSbPageUp:
      return "pageup";
    case kSbPageDown:
      return "pagedown";
    case kSbThumbPosition:
      return "thumbposition";
    case kSbThumbTrack:
      return "thumbtrack";
    case kSbTop:
      return "top";
    case kSbBottom:
      return "bottom";
    case kSbEndScroll:
      return "endscroll";
    default:
      return "?" + std::to_string(code);
  }
}

// Writes the scroll requests, client clicks and sizes it gets into its log ("v linedown",
// "v thumbtrack 45"); with follow set it moves the vertical position as a program's handler does.
class ScrollWindow : public Window {
 public:
  std::vector<std::string> log;
  bool follow = false;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmVScroll || message == kWmHScroll) {
      const int code = LoWord(wparam);
      std::string entry = std::string(message == kWmVScroll ? "v " : "h ") + CodeName(code);
      if (code == kSbThumbTrack || code == kSbThumbPosition) entry += " " + std::to_string(HiWord(wparam));
      if (lparam != 0) entry += " from control";
      log.push_back(entry);
      if (follow && message == kWmVScroll) Follow(code, HiWord(wparam));
      return 0;
    }
    return Window::WindowProc(message, wparam, lparam);
  }
  void OnSize(int, int cx, int cy) override {
    log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  void OnLButtonDown(unsigned, gfx::Point p) override {
    log.push_back("client down " + std::to_string(p.x) + "," + std::to_string(p.y));
  }

 private:
  void Follow(int code, int thumb) {
    ScrollInfo info;
    GetScrollInfo(kSbVert, info);
    int pos = info.pos;
    if (code == kSbLineUp) pos -= 1;
    if (code == kSbLineDown) pos += 1;
    if (code == kSbPageUp) pos -= info.page;
    if (code == kSbPageDown) pos += info.page;
    if (code == kSbThumbTrack || code == kSbThumbPosition) pos = thumb;
    SetScrollPos(kSbVert, pos);
  }
};

// A 100 x 200 window at the screen's origin with a vertical bar of range 0..99 and page 10: the
// bar lies at x 83..100, its arrows at y 0..17 and 183..200, the thumb 16 pixels long in a shaft
// of 166 with 150 pixels of travel for 90 positions.
class WindowScrollBarTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(window_.Create(nullptr, {0, 0, 100, 200}, kWsPopup | kWsVisible));
    ScrollInfo info;
    info.mask = kSifRange | kSifPage;
    info.max = 99;
    info.page = 10;
    window_.SetScrollInfo(kSbVert, info);
    window_.log.clear();
  }

  void Mouse(uint32_t message, gfx::Point point) { Windows().MouseInput(window_, message, point); }
  void Click(gfx::Point point) {
    Mouse(kWmLButtonDown, point);
    Mouse(kWmLButtonUp, point);
  }
  void Wait(int ms) {
    clock_.Advance(ms);
    Windows().FireDueTimers();
  }
  gfx::Rect Thumb() const {
    ScrollInfo info;
    window_.GetScrollInfo(kSbVert, info);
    ScrollBarCore core(true);
    core.Set(info);
    return core.Layout(window_.ScrollBarRect(kSbVert)).thumb;
  }

  ScrollWindow window_;
};

TEST(ScrollBarCore, SetKeepsRangePageAndPositionAsThePlatformDoes) {
  struct Case {
    const char* name;
    ScrollInfo set;
    int min, max, page, pos;
    ScrollBarCore::Visibility visibility;
    bool disabled;
  };
  const Case cases[] = {
      {"position past the last page stops at max - page + 1",
       {kSifAll, 0, 99, 10, 95, 0},
       0,
       99,
       10,
       90,
       ScrollBarCore::Visibility::kShow,
       false},
      {"without a page the position reaches max",
       {kSifAll, 0, 100, 0, 100, 0},
       0,
       100,
       0,
       100,
       ScrollBarCore::Visibility::kShow,
       false},
      {"position below min", {kSifAll, 5, 20, 0, 0, 0}, 5, 20, 0, 5, ScrollBarCore::Visibility::kShow, false},
      {"a page larger than the range is cut to it",
       {kSifAll, 0, 9, 50, 3, 0},
       0,
       9,
       10,
       0,
       ScrollBarCore::Visibility::kHide,
       false},
      {"an inverted range becomes 0..0",
       {kSifAll, 10, 5, 0, 7, 0},
       0,
       0,
       0,
       0,
       ScrollBarCore::Visibility::kHide,
       false},
      {"a negative page is none",
       {kSifAll, 0, 50, -4, 50, 0},
       0,
       50,
       0,
       50,
       ScrollBarCore::Visibility::kShow,
       false},
      {"nothing to scroll disables instead of hiding when asked",
       {kSifAll | kSifDisableNoScroll, 0, 9, 10, 0, 0},
       0,
       9,
       10,
       0,
       ScrollBarCore::Visibility::kKeep,
       true},
      {"the position alone leaves the visibility",
       {kSifPos, 0, 0, 0, 250, 0},
       0,
       100,
       0,
       100,
       ScrollBarCore::Visibility::kKeep,
       false},
      {"a page alone does not show the bar",
       {kSifPage, 0, 0, 30, 0, 0},
       0,
       100,
       30,
       0,
       ScrollBarCore::Visibility::kKeep,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScrollBarCore core(true);  // starts with 0..100, as a new bar does
    EXPECT_EQ(core.Set(c.set), c.visibility);
    ScrollInfo got;
    core.Get(got);
    EXPECT_EQ(got.min, c.min);
    EXPECT_EQ(got.max, c.max);
    EXPECT_EQ(got.page, c.page);
    EXPECT_EQ(got.pos, c.pos);
    EXPECT_EQ(got.track_pos, c.pos);
    EXPECT_EQ(core.Disabled(), c.disabled);
  }
}

TEST_F(WindowScrollBarTest, BarsTakeTheirRoomFromTheClientAreaAndComeAndGoWithTheRange) {
  ScrollWindow window;
  ASSERT_TRUE(window.Create(nullptr, {0, 0, 200, 100}, kWsPopup | kWsVisible));
  window.log.clear();
  window.SetScrollRange(kSbVert, 0, 50);
  EXPECT_EQ(window.GetClientRect(), (gfx::Rect{0, 0, 200 - kScrollBarSize, 100}));
  EXPECT_EQ(window.ScrollBarRect(kSbVert), (gfx::Rect{183, 0, 200, 100}));
  window.SetScrollRange(kSbHorz, 0, 10);
  EXPECT_EQ(window.ScrollBarRect(kSbHorz), (gfx::Rect{0, 83, 183, 100}));
  window.SetScrollRange(kSbVert, 0, 0);
  EXPECT_TRUE(window.ScrollBarRect(kSbVert).IsEmpty());
  EXPECT_EQ(window.GetClientRect(), (gfx::Rect{0, 0, 200, 83}));
  // The same range again changes nothing and sends nothing.
  window.SetScrollRange(kSbHorz, 0, 10);
  EXPECT_EQ(window.log, (std::vector<std::string>{"size 183x100", "size 183x83", "size 200x83"}));
  // A window made with the style has its bar at once, with the range 0..100.
  ScrollWindow styled;
  ASSERT_TRUE(styled.Create(nullptr, {0, 0, 50, 50}, kWsPopup | kWsVScroll));
  EXPECT_EQ(styled.log, std::vector<std::string>{"size 33x50"});
  int min = -1;
  int max = -1;
  styled.GetScrollRange(kSbVert, &min, &max);
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 100);
}

TEST_F(WindowScrollBarTest, ClicksOnArrowsPageAreasAndThumbAskForTheirScrolling) {
  struct Case {
    const char* name;
    gfx::Point press;
    gfx::Point release;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"up arrow", {90, 5}, {90, 5}, {"v lineup", "v endscroll"}},
      {"down arrow", {90, 195}, {90, 195}, {"v linedown", "v endscroll"}},
      {"page area below the thumb", {90, 100}, {90, 100}, {"v pagedown", "v endscroll"}},
      {"thumb dragged 75 pixels down",
       {90, 20},
       {90, 95},
       {"v thumbtrack 45", "v thumbposition 45", "v endscroll"}},
      {"thumb dragged past the end",
       {90, 20},
       {90, 400},
       {"v thumbtrack 90", "v thumbposition 90", "v endscroll"}},
      {"released elsewhere, the arrow still ends", {90, 195}, {10, 10}, {"v linedown", "v endscroll"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window_.SetScrollPos(kSbVert, 0);
    window_.log.clear();
    Mouse(kWmLButtonDown, c.press);
    EXPECT_EQ(Windows().GetCapture(), &window_);
    Mouse(kWmMouseMove, c.release);
    Mouse(kWmLButtonUp, c.release);
    EXPECT_EQ(window_.log, c.want);
    EXPECT_EQ(Windows().GetCapture(), nullptr);
    EXPECT_EQ(Windows().TimerCount(), 0u);
    // The bar moves nothing itself: the program's handler does.
    EXPECT_EQ(window_.GetScrollPos(kSbVert), 0);
  }
  // Above the thumb once it has moved.
  window_.SetScrollPos(kSbVert, 50);
  window_.log.clear();
  Click({90, 30});
  EXPECT_EQ(window_.log, (std::vector<std::string>{"v pageup", "v endscroll"}));
}

TEST_F(WindowScrollBarTest, TheThumbShowsTheTrackPositionWhileDraggedAndTheHandlerReadsIt) {
  Mouse(kWmLButtonDown, {90, 20});
  Mouse(kWmMouseMove, {90, 95});
  ScrollInfo info;
  info.mask = kSifPos | kSifTrackPos;
  window_.GetScrollInfo(kSbVert, info);
  EXPECT_EQ(info.pos, 0);
  EXPECT_EQ(info.track_pos, 45);
  Mouse(kWmLButtonUp, {90, 95});
  window_.GetScrollInfo(kSbVert, info);
  EXPECT_EQ(info.track_pos, 0);  // no drag: the position
  // Positions beyond 16 bits travel in the track position only.
  window_.SetScrollRange(kSbVert, 0, 999999);
  window_.log.clear();
  Mouse(kWmLButtonDown, {90, 20});
  Mouse(kWmMouseMove, {90, 183});
  window_.GetScrollInfo(kSbVert, info);
  EXPECT_EQ(info.track_pos, 999990);
  Mouse(kWmLButtonUp, {90, 183});
}

TEST_F(WindowScrollBarTest, AHeldArrowRepeatsOnTheClockWhileThePointerStaysOnIt) {
  Mouse(kWmLButtonDown, {90, 195});
  EXPECT_EQ(window_.log, std::vector<std::string>{"v linedown"});
  Wait(ScrollBarCore::kFirstRepeatMs - 1);
  EXPECT_EQ(window_.log.size(), 1u);
  Wait(1);
  Wait(ScrollBarCore::kRepeatMs);
  EXPECT_EQ(window_.log, (std::vector<std::string>{"v linedown", "v linedown", "v linedown"}));
  // Off the arrow the repeat pauses; back on it, it goes on.
  Mouse(kWmMouseMove, {90, 100});
  Wait(ScrollBarCore::kRepeatMs);
  EXPECT_EQ(window_.log.size(), 3u);
  Mouse(kWmMouseMove, {90, 190});
  Wait(ScrollBarCore::kRepeatMs);
  EXPECT_EQ(window_.log.size(), 4u);
  Mouse(kWmLButtonUp, {90, 190});
  Wait(ScrollBarCore::kRepeatMs * 4);
  EXPECT_EQ(window_.log.back(), "v endscroll");
  EXPECT_EQ(window_.log.size(), 5u);
}

TEST_F(WindowScrollBarTest, AHeldPageAreaStopsWhenTheThumbReachesThePointer) {
  window_.follow = true;
  // y 100 lies in the shaft at offset 83 - 3 of 150: position 48 puts the thumb under it.
  Mouse(kWmLButtonDown, {90, 100});
  for (int i = 0; i < 10; ++i) Wait(ScrollBarCore::kFirstRepeatMs);
  Mouse(kWmLButtonUp, {90, 100});
  const std::vector<std::string> want{"v pagedown", "v pagedown", "v pagedown",
                                      "v pagedown", "v pagedown", "v endscroll"};
  EXPECT_EQ(window_.log, want);
  EXPECT_EQ(window_.GetScrollPos(kSbVert), 50);
  EXPECT_TRUE(Thumb().Contains({90, 100}));
}

TEST_F(WindowScrollBarTest, LosingTheCaptureEndsTheDrag) {
  Window other;
  ASSERT_TRUE(other.Create(nullptr, {300, 0, 400, 100}, kWsPopup | kWsVisible));
  Mouse(kWmLButtonDown, {90, 195});
  other.SetCapture();
  EXPECT_EQ(window_.log, (std::vector<std::string>{"v linedown", "v endscroll"}));
  Wait(ScrollBarCore::kFirstRepeatMs);
  EXPECT_EQ(window_.log.size(), 2u);
  EXPECT_EQ(Windows().GetCapture(), &other);
}

TEST_F(WindowScrollBarTest, TheBarsLieOverTheClientAreaAndItsChildren) {
  Window child;
  ASSERT_TRUE(child.Create(&window_, {50, 0, 100, 50}, kWsChild | kWsVisible));
  EXPECT_EQ(Windows().MouseInput(window_, kWmLButtonDown, {90, 5}), &window_);
  Mouse(kWmLButtonUp, {90, 5});
  EXPECT_EQ(window_.log, (std::vector<std::string>{"v lineup", "v endscroll"}));
  EXPECT_EQ(Windows().MouseInput(window_, kWmLButtonDown, {60, 5}), &child);
  window_.log.clear();
  Click({10, 100});
  EXPECT_EQ(window_.log, std::vector<std::string>{"client down 10,100"});
  // A drag the client area holds the capture for goes on over the bar.
  window_.SetCapture();
  window_.log.clear();
  Mouse(kWmLButtonDown, {90, 195});
  EXPECT_EQ(window_.log, std::vector<std::string>{"client down 90,195"});
}

TEST_F(WindowScrollBarTest, TheBarsArePaintedWhereTheyLieAndAgainWhenThePositionMoves) {
  Windows().PaintPending();
  const WindowSystem::Record* record = Windows().RecordOf(window_);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->scroll_bars, nullptr);
  const auto has_fill = [](const gfx::RecordingCanvas& canvas, const gfx::Rect& r) {
    const std::string line = "FillRect " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                             std::to_string(r.right) + "," + std::to_string(r.bottom);
    for (const std::string& l : canvas.Lines()) {
      if (l.rfind(line, 0) == 0) return true;
    }
    return false;
  };
  const gfx::Rect before = Thumb();
  EXPECT_EQ(before, (gfx::Rect{83, 17, 100, 33}));
  EXPECT_TRUE(has_fill(*record->scroll_bars, before));
  // Nothing changed: nothing is painted again.
  const gfx::RecordingCanvas* painted = record->scroll_bars.get();
  Windows().PaintPending();
  EXPECT_EQ(Windows().RecordOf(window_)->scroll_bars.get(), painted);
  window_.SetScrollPos(kSbVert, 90);
  Windows().PaintPending();
  const gfx::Rect after = Thumb();
  EXPECT_EQ(after, (gfx::Rect{83, 167, 100, 183}));
  EXPECT_TRUE(has_fill(*Windows().RecordOf(window_)->scroll_bars, after));
  // The client paint stays inside the client area.
  EXPECT_EQ(window_.VisibleClientRect(), (gfx::Rect{0, 0, 83, 200}));
  EXPECT_EQ(window_.VisibleWindowRect(), (gfx::Rect{0, 0, 100, 200}));
}

// A vertical scroll-bar control in a window that logs what its controls tell it.
class ScrollBarControlTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 300, 300}, kWsPopup | kWsVisible));
    ASSERT_TRUE(bar_.CreateControl(&parent_, {10, 10, 27, 210}, 7, kWsVisible | kWsTabStop | kSbsVert));
    bar_.SetScrollRange(0, 9);
    parent_.log.clear();
  }

  ScrollWindow parent_;
  ScrollBar bar_;
};

TEST_F(ScrollBarControlTest, ClicksAndKeysGoToTheParentWithTheControlsHandle) {
  Windows().MouseInput(parent_, kWmLButtonDown, {15, 205});
  Windows().MouseInput(parent_, kWmLButtonUp, {15, 205});
  EXPECT_EQ(Windows().GetFocus(), &bar_);
  struct Case {
    int key;
    const char* want;
  };
  constexpr Case kCases[] = {{kVkUp, "v lineup from control"},    {kVkRight, "v linedown from control"},
                             {kVkPrior, "v pageup from control"}, {kVkNext, "v pagedown from control"},
                             {kVkHome, "v top from control"},     {kVkEnd, "v bottom from control"}};
  for (const Case& c : kCases) Windows().PressKey(c.key);
  std::vector<std::string> want{"v linedown from control", "v endscroll from control"};
  for (const Case& c : kCases) {
    want.push_back(c.want);
    want.push_back("v endscroll from control");
  }
  EXPECT_EQ(parent_.log, want);
  // Other keys say nothing; the control never hides itself.
  parent_.log.clear();
  Windows().PressKey('A');
  bar_.SetScrollRange(0, 0);
  EXPECT_TRUE(parent_.log.empty());
  EXPECT_TRUE(bar_.IsWindowVisible());
  EXPECT_EQ(bar_.SetScrollPos(12), 0);
  EXPECT_EQ(bar_.GetScrollPos(), 0);
  // The window calls with kSbCtl reach the control itself.
  Window& as_window = bar_;
  ScrollInfo info;
  info.mask = kSifRange | kSifPos;
  info.max = 20;
  info.pos = 25;
  EXPECT_EQ(as_window.SetScrollInfo(kSbCtl, info), 20);
  ScrollInfo got;
  EXPECT_TRUE(as_window.GetScrollInfo(kSbCtl, got));
  EXPECT_EQ(got.max, 20);
  EXPECT_EQ(as_window.GetScrollPos(kSbCtl), 20);
  EXPECT_FALSE(parent_.GetScrollInfo(kSbCtl, got));
}

}  // namespace
}  // namespace win
