#include "win/toolbar_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "win/frame_window.h"
#include "win/image_list.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

constexpr int kPlain = 100;
constexpr int kToggle = 101;
constexpr int kLeft = 102;
constexpr int kRight = 103;
constexpr int kOff = 104;
constexpr int kMore = 105;
constexpr int kIdle = 900;

// The command window: logs commands and message-pane requests; handles all buttons but kOff.
class BarFrame : public FrameWindow {
 public:
  BarFrame() {
    for (const int id : {kPlain, kToggle, kLeft, kRight, kMore}) {
      AddCommand(id, [this, id] { log.push_back("command " + std::to_string(id)); });
    }
    AddUpdate(kToggle, [](CmdUI& ui) { ui.SetCheck(1); });
    AddUpdate(kRight, [](CmdUI& ui) { ui.SetRadio(true); });
  }
  std::vector<std::string> log;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmSetMessageString) log.push_back("prompt " + std::to_string(wparam));
    return FrameWindow::WindowProc(message, wparam, lparam);
  }
};

// Buttons from x 4 in steps of 24, y 3..25: plain, a separator (8 wide), a check button, a check
// group of two, a disabled button and one with a drop-down arrow.
class ToolBarWindowTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(frame_.Create(nullptr, {0, 0, 400, 200}, kWsPopup | kWsVisible));
    ToolBarModel& model = bar_.Model();
    model.AddButton(kPlain, 0, ToolButtonStyle::kButton, "Plain tip");
    model.AddSeparator();
    model.AddButton(kToggle, 1, ToolButtonStyle::kCheck);
    model.AddButton(kLeft, 2, ToolButtonStyle::kCheckGroup);
    model.AddButton(kRight, 3, ToolButtonStyle::kCheckGroup);
    model.AddButton(kOff, 4);
    model.AddButton(kMore, 5);
    model.EnableButton(kOff, false);
    ASSERT_TRUE(bar_.CreateToolBar(frame_, {0, 0, 300, ToolBarWindow::kBarHeight}, 1, style_));
    bar_.SetDropDownArrow(kMore);
    bar_.SetIdleMessage(kIdle);
  }

  gfx::Point Centre(int id) const {
    const gfx::Rect r = bar_.ButtonRect(*bar_.Model().CommandToIndex(id));
    return {(r.left + r.right) / 2 - (bar_.HasDropDownArrow(id) ? ToolBarWindow::kArrowWidth / 2 : 0),
            (r.top + r.bottom) / 2};
  }
  void Mouse(uint32_t message, gfx::Point point) { Windows().MouseInput(frame_, message, point); }
  void Wait(int ms) {
    clock_.Advance(ms);
    Windows().FireDueTimers();
  }
  int Polylines() {
    Windows().PaintPending();
    int count = 0;
    for (const std::string& line : Windows().RecordOf(bar_)->paint->Lines())
      count += line.rfind("Polyline", 0) == 0;
    return count;
  }

  uint32_t style_ = 0;
  BarFrame frame_;
  ToolBarWindow bar_;
};

TEST_F(ToolBarWindowTest, AClickOnAnEnabledButtonSendsItsCommandAfterItsCheckStyle) {
  struct Case {
    const char* name;
    gfx::Point press;
    gfx::Point release;
    std::vector<std::string> want;
    std::vector<int> checked;  // the buttons down afterwards
  };
  const auto at = [this](int id) { return Centre(id); };
  const Case cases[] = {
      {"a plain button", at(kPlain), at(kPlain), {"command 100"}, {}},
      {"released off the button", at(kPlain), {250, 100}, {}, {}},
      {"the separator", {30, 10}, {30, 10}, {}, {}},
      {"a check button goes down", at(kToggle), at(kToggle), {"command 101"}, {kToggle}},
      {"and up again", at(kToggle), at(kToggle), {"command 101"}, {}},
      {"one of a group", at(kRight), at(kRight), {"command 103"}, {kRight}},
      {"the other of the group", at(kLeft), at(kLeft), {"command 102"}, {kLeft}},
      {"a disabled button", at(kOff), at(kOff), {}, {kLeft}},
      {"the button part beside an arrow", at(kMore), at(kMore), {"command 105"}, {kLeft}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    frame_.log.clear();
    Mouse(kWmLButtonDown, c.press);
    Mouse(kWmLButtonUp, c.release);
    // Posted: nothing runs until the queue is pumped.
    std::erase_if(frame_.log, [](const std::string& entry) { return entry.rfind("prompt", 0) == 0; });
    EXPECT_TRUE(frame_.log.empty());
    Windows().RunPending();
    std::erase_if(frame_.log, [](const std::string& entry) { return entry.rfind("prompt", 0) == 0; });
    EXPECT_EQ(frame_.log, c.want);
    std::vector<int> checked;
    for (size_t i = 0; i < bar_.Model().Count(); ++i) {
      if (bar_.Model().At(i).checked) checked.push_back(bar_.Model().At(i).id);
    }
    EXPECT_EQ(checked, c.checked);
    EXPECT_EQ(Windows().GetCapture(), nullptr);
  }
  // The arrow goes to the drop-down handler with the button's place on the screen.
  int dropped = 0;
  gfx::Rect place;
  bar_.SetDropDownHandler([&](int id, const gfx::Rect& r) {
    dropped = id;
    place = r;
  });
  const gfx::Rect more = bar_.ButtonRect(*bar_.Model().CommandToIndex(kMore));
  Mouse(kWmLButtonDown, {more.right - 3, 10});
  EXPECT_EQ(dropped, kMore);
  EXPECT_EQ(place, more);
}

TEST_F(ToolBarWindowTest, TheUpdatePassSetsTheButtonsFromTheCommandWindowsRoute) {
  bar_.Model().EnableButton(kOff, true);
  Mouse(kWmMouseMove, Centre(kOff));
  EXPECT_EQ(bar_.GetHotItem(), 5);
  Windows().PaintPending();
  bar_.UpdateButtons();
  EXPECT_EQ(bar_.GetHotItem(), -1);  // a button that went off is not lit
  const ToolBarModel& model = bar_.Model();
  EXPECT_TRUE(model.At(0).enabled);
  EXPECT_TRUE(model.At(*model.CommandToIndex(kToggle)).checked);
  EXPECT_TRUE(model.At(*model.CommandToIndex(kRight)).checked);
  EXPECT_FALSE(model.At(*model.CommandToIndex(kLeft)).checked);
  EXPECT_FALSE(model.At(*model.CommandToIndex(kOff)).enabled);  // nobody handles it
  EXPECT_FALSE(bar_.UpdateRect().IsEmpty());
  // Nothing changed: nothing to paint.
  Windows().PaintPending();
  bar_.UpdateButtons();
  EXPECT_TRUE(bar_.UpdateRect().IsEmpty());
}

TEST_F(ToolBarWindowTest, ThePointerLightsTheEnabledButtonUnderItAndAFlatBarShowsIt) {
  for (const uint32_t style : {0u, kTbStyleFlat}) {
    SCOPED_TRACE(style == 0 ? "plain bar" : "flat bar");
    bar_.DestroyWindow();
    ASSERT_TRUE(bar_.CreateToolBar(frame_, {0, 0, 300, ToolBarWindow::kBarHeight}, 1, style));
    const int resting = Polylines();
    Mouse(kWmMouseMove, Centre(kToggle));
    EXPECT_EQ(bar_.GetHotItem(), 2);
    EXPECT_EQ(Polylines(), resting + (style == kTbStyleFlat ? 2 : 0));
    Mouse(kWmMouseMove, Centre(kOff));
    EXPECT_EQ(bar_.GetHotItem(), -1);
    Mouse(kWmMouseMove, Centre(kPlain));
    EXPECT_EQ(bar_.GetHotItem(), 0);
    Windows().MouseLeft(frame_);
    EXPECT_EQ(bar_.GetHotItem(), -1);
    EXPECT_EQ(Polylines(), resting);
  }
}

TEST_F(ToolBarWindowTest, ARestingPointerShowsThePromptAndTheTipThroughTheHost) {
  class TipHost : public Host {
   public:
    std::vector<std::string> tips;
    void ShowToolTip(Window&, gfx::Point, std::string_view text) override { tips.emplace_back(text); }
    void HideToolTip() override { tips.push_back("hidden"); }
  } host;
  Windows().SetHost(&host);
  Mouse(kWmMouseMove, Centre(kPlain));
  Wait(ToolBarWindow::kFlyByDelayMs);
  EXPECT_EQ(frame_.log, std::vector<std::string>{"prompt 100"});
  Wait(ToolBarWindow::kToolTipDelayMs - ToolBarWindow::kFlyByDelayMs);
  EXPECT_EQ(host.tips, std::vector<std::string>{"Plain tip"});
  ASSERT_TRUE(Windows().CurrentToolTip().has_value());
  EXPECT_EQ(Windows().CurrentToolTip()->owner, bar_.Handle());
  // A button without a tip hides it; the prompt follows at once.
  Mouse(kWmMouseMove, Centre(kToggle));
  EXPECT_EQ(host.tips, (std::vector<std::string>{"Plain tip", "hidden"}));
  EXPECT_EQ(frame_.log.back(), "prompt 101");
  Windows().MouseLeft(frame_);
  EXPECT_EQ(frame_.log.back(), "prompt 900");
  Windows().SetHost(nullptr);
}

TEST_F(ToolBarWindowTest, ButtonsShowThePicturesOfTheImageListCentred) {
  ImageList images(16, 16);
  for (int i = 0; i < 6; ++i) images.Add(gfx::Bitmap(16, 16));
  bar_.SetImageList(&images);
  bar_.Invalidate();
  Windows().PaintPending();
  std::vector<std::string> pictures;
  for (const std::string& line : Windows().RecordOf(bar_)->paint->Lines()) {
    if (line.rfind("DrawBitmap", 0) == 0) pictures.push_back(line.substr(0, line.find(" <-")));
  }
  std::vector<std::string> want;
  for (size_t i = 0; i < bar_.Model().Count(); ++i) {
    if (bar_.Model().At(i).style == ToolButtonStyle::kSeparator) continue;
    const gfx::Rect r = bar_.ButtonRect(i);
    const int left = r.left + (ToolBarWindow::kButtonWidth - 16) / 2;
    const int top = r.top + (r.Height() - 16) / 2;
    want.push_back("DrawBitmap " + std::to_string(left) + "," + std::to_string(top) + "," +
                   std::to_string(left + 16) + "," + std::to_string(top + 16));
  }
  EXPECT_EQ(pictures, want);
}

}  // namespace
}  // namespace win

namespace win {
namespace {

// A hosted window with its own state behind the bar's button: the page turns.
class PagedWindow : public Window {
 public:
  PagedWindow() {
    AddCommand(kPlain, [this] { ++page; });
    AddUpdate(kPlain, [this](CmdUI& ui) { ui.Enable(page < 2); });
  }
  int page = 0;
};

TEST_F(WinTest, TheFramesIdleUpdateReachesBarsDockedDeepInItsTree) {
  FrameWindow frame;
  ASSERT_TRUE(frame.Create(nullptr, {0, 0, 400, 300}, kWsPopup | kWsVisible));
  Window dock;
  ASSERT_TRUE(dock.Create(&frame, {0, 0, 400, 300}, kWsChild | kWsVisible));
  PagedWindow hosted;
  ASSERT_TRUE(hosted.Create(&dock, {0, 30, 400, 300}, kWsChild | kWsVisible));
  ToolBarWindow bar;
  bar.Model().AddButton(kPlain, 0);
  ASSERT_TRUE(bar.CreateToolBar(dock, {0, 0, 400, ToolBarWindow::kBarHeight}, 1, 0, &hosted));
  ToolBarWindow hidden;
  hidden.Model().AddButton(kPlain, 0);
  ASSERT_TRUE(hidden.CreateToolBar(dock, {0, 0, 400, ToolBarWindow::kBarHeight}, 2, 0, &hosted));
  hidden.ShowWindow(kSwHide);
  bar.UpdateButtons();
  hidden.UpdateButtons();
  ASSERT_TRUE(bar.Model().At(0).enabled);

  hosted.page = 2;
  frame.UpdateToolBars();
  EXPECT_FALSE(bar.Model().At(0).enabled) << "the bar follows its window's state";
  EXPECT_TRUE(hidden.Model().At(0).enabled) << "a hidden bar waits until it shows";
  hosted.page = 0;
  frame.UpdateToolBars();
  EXPECT_TRUE(bar.Model().At(0).enabled);
}

}  // namespace
}  // namespace win
