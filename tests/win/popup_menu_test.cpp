#include "win/popup_menu.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "win/frame_window.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

constexpr int kCmdCopy = 200;
constexpr int kCmdPaste = 201;
constexpr int kCmdMode = 202;
constexpr int kCmdNobody = 203;
constexpr int kCmdDeep = 204;

TEST(PopupMenuRect, TheFlagsPlaceTheMenuAndTheScreenEdgesTurnItOver) {
  const gfx::Size screen{800, 600};
  struct Case {
    const char* name;
    gfx::Point point;
    unsigned flags;
    gfx::Size size;
    gfx::Rect want;
  };
  const Case cases[] = {
      {"top-left at the point", {200, 100}, kTpmLeftAlign | kTpmTopAlign, {100, 60}, {200, 100, 300, 160}},
      {"centred across", {200, 100}, kTpmCenterAlign, {100, 60}, {150, 100, 250, 160}},
      {"right edge at the point", {200, 100}, kTpmRightAlign, {100, 60}, {100, 100, 200, 160}},
      {"bottom at the point", {200, 100}, kTpmBottomAlign, {100, 60}, {200, 40, 300, 100}},
      {"centred up and down", {200, 100}, kTpmVCenterAlign, {100, 60}, {200, 70, 300, 130}},
      {"no room right: opens to the left", {750, 100}, kTpmLeftAlign, {100, 60}, {650, 100, 750, 160}},
      {"no room below: opens above", {200, 580}, kTpmTopAlign, {100, 60}, {200, 520, 300, 580}},
      {"no room left of a right-aligned menu: opens to the right",
       {50, 100},
       kTpmRightAlign,
       {100, 60},
       {50, 100, 150, 160}},
      {"centred at the edge: kept on the screen",
       {790, 100},
       kTpmCenterAlign,
       {100, 60},
       {700, 100, 800, 160}},
      {"wider than the screen: from its left edge", {10, 10}, kTpmLeftAlign, {900, 60}, {0, 10, 900, 70}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PopupMenuRect(c.point, c.size, c.flags, screen), c.want);
  }
}

// A frame with handlers for some entries; it logs the commands it runs and what its owner
// messages say.
class MenuFrame : public FrameWindow {
 public:
  MenuFrame() {
    AddCommand(kCmdCopy, [this] { log.push_back("copy"); });
    AddCommand(kCmdPaste, [this] { log.push_back("paste"); });
    AddUpdate(kCmdPaste, [](CmdUI& ui) { ui.Enable(false); });
    AddCommand(kCmdMode, [this] { log.push_back("mode"); });
    AddUpdate(kCmdMode, [](CmdUI& ui) {
      ui.SetRadio(true);
      ui.SetText("&Mode 2");
    });
    AddCommand(kCmdDeep, [this] { log.push_back("deep"); });
  }
  std::vector<std::string> log;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmInitMenuPopup) log.push_back("init");
    if (message == kWmMenuSelect && HiWord(wparam) == kMfMenuClosed) log.push_back("closed");
    return FrameWindow::WindowProc(message, wparam, lparam);
  }
};

Menu ContextMenu() {
  Menu menu;
  menu.AppendItem(kCmdCopy, "&Copy");
  menu.AppendItem(kCmdPaste, "&Paste");
  menu.AppendSeparator();
  menu.AppendItem(kCmdMode, "&Mode");
  menu.AppendItem(kCmdNobody, "&Nobody");
  menu.AppendPopup("&More").AppendItem(kCmdDeep, "&Deep");
  return menu;
}

class PopupMenuTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(frame_.Create(nullptr, {0, 0, 400, 300}, kWsPopup | kWsVisible));
  }

  MenuFrame frame_;
};

TEST_F(PopupMenuTest, TheChosenCommandReachesTheOwnerAfterTheMenuClosed) {
  struct Case {
    const char* name;
    std::optional<int> answer;  // none: nothing queued
    unsigned flags;
    int want_result;
    std::vector<std::string> want_log;
  };
  const Case cases[] = {
      {"an enabled entry is posted", kCmdCopy, kTpmRightButton, 1, {"init", "closed", "copy"}},
      {"an entry of a sub-menu", kCmdDeep, 0, 1, {"init", "closed", "deep"}},
      {"a disabled entry counts as none", kCmdPaste, 0, 1, {"init", "closed"}},
      {"an entry nobody handles is disabled", kCmdNobody, 0, 1, {"init", "closed"}},
      {"an id the menu does not hold", 999, 0, 1, {"init", "closed"}},
      {"dismissed", std::nullopt, 0, 1, {"init", "closed"}},
      {"returned, not sent", kCmdCopy, kTpmReturnCmd, kCmdCopy, {"init", "closed"}},
      {"returned without notifications", kCmdMode, kTpmReturnCmd | kTpmNoNotify, kCmdMode, {}},
      {"a disabled entry returned is none", kCmdPaste, kTpmReturnCmd, 0, {"init", "closed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    frame_.log.clear();
    if (c.answer) Windows().QueuePopupAnswer(*c.answer);
    EXPECT_EQ(TrackPopupMenu(ContextMenu(), c.flags, 50, 60, frame_), c.want_result);
    // Nothing runs while the menu is up: the command comes through the queue.
    Windows().RunPending();
    EXPECT_EQ(frame_.log, c.want_log);
    EXPECT_EQ(Windows().PendingPopupAnswers(), 0u);
  }
}

TEST_F(PopupMenuTest, AFramesUpdateHandlersSetTheEntriesBeforeTheMenuShows) {
  std::vector<std::string> shown;
  Windows().QueuePopupAnswer([&](const PopupRequest& request) {
    EXPECT_EQ(request.owner, &frame_);
    EXPECT_EQ(request.screen_point, (gfx::Point{50, 60}));
    EXPECT_EQ(request.flags, kTpmCenterAlign);
    for (size_t i = 0; i < request.menu->Count(); ++i) {
      const MenuItem& item = request.menu->At(i);
      shown.push_back(item.text + (item.enabled ? "" : " off") +
                      (item.check ? (item.radio ? " radio" : " tick") : ""));
    }
    return 0;
  });
  TrackPopupMenu(ContextMenu(), kTpmCenterAlign, 50, 60, frame_);
  EXPECT_EQ(shown,
            (std::vector<std::string>{"&Copy", "&Paste off", "", "&Mode 2 radio", "&Nobody off", "&More"}));
}

TEST_F(PopupMenuTest, OtherOwnersKeepTheEntriesAsGivenAndMayChangeThemFirst) {
  // A window that is not a frame has no update pass; it may still change the menu on its way out.
  class Field : public Window {
   protected:
    LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
      if (message == kWmInitMenuPopup) reinterpret_cast<Menu*>(wparam)->FindItem(kCmdCopy)->enabled = false;
      return Window::WindowProc(message, wparam, lparam);
    }
  } field;
  ASSERT_TRUE(field.Create(&frame_, {0, 0, 100, 20}, kWsChild | kWsVisible));
  std::vector<bool> enabled;
  const auto record = [&](const PopupRequest& request) {
    enabled.clear();
    for (size_t i = 0; i < request.menu->Count(); ++i) enabled.push_back(request.menu->At(i).enabled);
    return kCmdNobody;
  };
  Windows().QueuePopupAnswer(record);
  EXPECT_EQ(TrackPopupMenu(ContextMenu(), kTpmReturnCmd, 0, 0, field), kCmdNobody);
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, true, true, true, true}));
  // An explicit route runs its update handlers whoever owns the menu; they have the last word.
  Windows().QueuePopupAnswer(record);
  EXPECT_EQ(TrackPopupMenu(ContextMenu(), kTpmReturnCmd, 0, 0, field, &frame_), 0);
  EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, true, false, true}));
  // kTpmNoNotify: neither the owner's change nor an update pass.
  Windows().QueuePopupAnswer(record);
  TrackPopupMenu(ContextMenu(), kTpmReturnCmd | kTpmNoNotify, 0, 0, field, &frame_);
  EXPECT_EQ(enabled, (std::vector<bool>{true, true, true, true, true, true}));
}

TEST_F(PopupMenuTest, AHostWithPopupsAnswersAndOneWithoutLeavesItToTheScript) {
  class MenuHost : public Host {
   public:
    std::optional<int> answer;
    int asked = 0;
    std::optional<int> TrackPopupMenu(const PopupRequest& request) override {
      ++asked;
      return answer;
    }
  } host;
  Windows().SetHost(&host);
  host.answer = kCmdCopy;
  Windows().QueuePopupAnswer(kCmdMode);
  EXPECT_EQ(TrackPopupMenu(ContextMenu(), kTpmReturnCmd, 0, 0, frame_), kCmdCopy);
  EXPECT_EQ(Windows().PendingPopupAnswers(), 1u);
  host.answer.reset();
  EXPECT_EQ(TrackPopupMenu(ContextMenu(), kTpmReturnCmd, 0, 0, frame_), kCmdMode);
  EXPECT_EQ(host.asked, 2);
  Windows().SetHost(nullptr);
  // An owner that is no window shows nothing.
  Window gone;
  Windows().QueuePopupAnswer(kCmdCopy);
  EXPECT_EQ(TrackPopupMenu(ContextMenu(), kTpmReturnCmd, 0, 0, gone), 0);
  EXPECT_EQ(Windows().PendingPopupAnswers(), 1u);
}

}  // namespace
}  // namespace win
