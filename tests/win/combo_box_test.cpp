#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "win/controls.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

std::string CodeName(int code) {
  switch (code) {
    case kCbnSelChange:
      return "selchange";
    case kCbnDropDown:
      return "dropdown";
    case kCbnCloseUp:
      return "closeup";
    case kCbnSelEndOk:
      return "selendok";
    case kCbnSelEndCancel:
      return "selendcancel";
    default:
      return std::to_string(code);
  }
}

// Logs its combo box's notifications with the choice and the dropped state at that moment
// ("dropdown -1 up"); on the drop-down it may still add an entry.
class ComboParent : public Window {
 public:
  std::vector<std::string> log;
  std::string add_on_drop_down;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmCommand && lparam != 0) {
      auto* combo = dynamic_cast<ComboBox*>(FromHandle(static_cast<WindowHandle>(lparam)));
      if (combo != nullptr) {
        log.push_back(CodeName(HiWord(wparam)) + " " + std::to_string(combo->GetCurSel()) +
                      (combo->GetDroppedState() ? " down" : " up"));
        if (HiWord(wparam) == kCbnDropDown && !add_on_drop_down.empty()) combo->AddString(add_on_drop_down);
      }
      return 1;
    }
    return Window::WindowProc(message, wparam, lparam);
  }
};

class ComboBoxTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {100, 100, 400, 300}, kWsPopup | kWsVisible));
    ASSERT_TRUE(combo_.CreateControl(&parent_, {10, 20, 130, 41}, 50, "", kWsVisible | kWsTabStop));
    for (const char* text : {"alpha", "beta", "gamma"}) combo_.AddString(text);
    combo_.SetFocus();
  }

  // Queues the answer and notes what the list showed.
  void Answer(int index) {
    Windows().QueuePopupAnswer([this, index](const PopupRequest& request) {
      shown_ = request;
      shown_->owner = nullptr;
      dropped_while_shown_ = combo_.GetDroppedState();
      return index;
    });
  }

  ComboParent parent_;
  ComboBox combo_;
  std::optional<PopupRequest> shown_;
  bool dropped_while_shown_ = false;
};

TEST_F(ComboBoxTest, TheDropDownTellsTheParentInThePlatformsOrder) {
  struct Case {
    const char* name;
    int answer;
    int want_result;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"an entry chosen", 2, 2, {"dropdown -1 up", "selendok 2 down", "closeup 2 up", "selchange 2 up"}},
      {"the same entry again", 2, 2, {"dropdown 2 up", "selendok 2 down", "closeup 2 up", "selchange 2 up"}},
      {"dismissed", -1, -1, {"dropdown 2 up", "selendcancel 2 down", "closeup 2 up"}},
      {"an index past the list counts as dismissed",
       7,
       -1,
       {"dropdown 2 up", "selendcancel 2 down", "closeup 2 up"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    parent_.log.clear();
    Answer(c.answer);
    EXPECT_EQ(combo_.DropDown(), c.want_result);
    EXPECT_EQ(parent_.log, c.want);
    EXPECT_TRUE(dropped_while_shown_);
    EXPECT_FALSE(combo_.GetDroppedState());
  }
}

TEST_F(ComboBoxTest, TheListShowsWhatTheParentFilledInBelowTheBox) {
  parent_.add_on_drop_down = "delta";
  combo_.SetCurSel(1);
  Answer(3);
  EXPECT_EQ(combo_.DropDown(), 3);
  ASSERT_TRUE(shown_.has_value());
  EXPECT_EQ(shown_->items, (std::vector<std::string>{"alpha", "beta", "gamma", "delta"}));
  EXPECT_EQ(shown_->current, 1);
  EXPECT_EQ(shown_->screen_rect, (gfx::Rect{110, 120, 230, 141}));
  EXPECT_EQ(shown_->screen_point, (gfx::Point{110, 141}));
  EXPECT_EQ(combo_.GetLBText(combo_.GetCurSel()), "delta");
}

TEST_F(ComboBoxTest, KeysOfTheClosedBoxChooseAtOnceOrOpenTheList) {
  struct Case {
    const char* name;
    int start;
    int key;
    bool alt;
    int want_sel;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"down from none takes the first", -1, kVkDown, false, 0, {"selchange 0 up"}},
      {"up from none takes the first too", -1, kVkUp, false, 0, {"selchange 0 up"}},
      {"down", 0, kVkDown, false, 1, {"selchange 1 up"}},
      {"right as down", 0, kVkRight, false, 1, {"selchange 1 up"}},
      {"left as up", 2, kVkLeft, false, 1, {"selchange 1 up"}},
      {"down at the last says nothing", 2, kVkDown, false, 2, {}},
      {"up at the first says nothing", 0, kVkUp, false, 0, {}},
      {"home", 2, kVkHome, false, 0, {"selchange 0 up"}},
      {"end", 0, kVkEnd, false, 2, {"selchange 2 up"}},
      {"F4 opens the list", 0, kVkF4, false, 0, {"dropdown 0 up", "selendcancel 0 down", "closeup 0 up"}},
      {"Alt+Down opens the list",
       0,
       kVkDown,
       true,
       0,
       {"dropdown 0 up", "selendcancel 0 down", "closeup 0 up"}},
      {"Alt+Up opens the list", 1, kVkUp, true, 1, {"dropdown 1 up", "selendcancel 1 down", "closeup 1 up"}},
      {"other keys do nothing", 1, 'Q', false, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    combo_.SetCurSel(c.start);
    parent_.log.clear();
    Windows().SetKeyDown(kVkMenu, c.alt);
    Windows().KeyInput(c.alt ? kWmSysKeyDown : kWmKeyDown, c.key);
    Windows().SetKeyDown(kVkMenu, false);
    EXPECT_EQ(combo_.GetCurSel(), c.want_sel);
    EXPECT_EQ(parent_.log, c.want);
  }
}

TEST_F(ComboBoxTest, ABoxWithAnEditFieldDropsDownFromItsButtonOnlyAndKeepsLeftAndRight) {
  ComboBox edit_combo(ControlKind::kComboBox);
  ASSERT_TRUE(edit_combo.CreateControl(&parent_, {10, 60, 130, 81}, 51, "", kWsVisible | kWsTabStop));
  for (const char* text : {"one", "two"}) edit_combo.AddString(text);
  // In the field: focus, no list.
  Windows().MouseInput(parent_, kWmLButtonDown, {20, 70});
  Windows().MouseInput(parent_, kWmLButtonUp, {20, 70});
  EXPECT_EQ(Windows().GetFocus(), &edit_combo);
  EXPECT_TRUE(parent_.log.empty());
  // On the button: the list; the choice becomes the field's text.
  Windows().QueuePopupAnswer(1);
  Windows().MouseInput(parent_, kWmLButtonDown, {125, 70});
  EXPECT_EQ(parent_.log, (std::vector<std::string>{"dropdown -1 up", "selendok 1 down", "closeup 1 up",
                                                   "selchange 1 up"}));
  EXPECT_EQ(edit_combo.GetWindowText(), "two");
  parent_.log.clear();
  Windows().KeyInput(kWmKeyDown, kVkLeft);
  Windows().KeyInput(kWmKeyDown, kVkHome);
  EXPECT_TRUE(parent_.log.empty());
  Windows().KeyInput(kWmKeyDown, kVkUp);
  EXPECT_EQ(parent_.log, std::vector<std::string>{"selchange 0 up"});
  EXPECT_EQ(edit_combo.GetWindowText(), "one");
}

TEST_F(ComboBoxTest, AClickAnywhereOnADropListOpensItButNotWhenDisabled) {
  Windows().QueuePopupAnswer(0);
  Windows().MouseInput(parent_, kWmLButtonDown, {20, 30});
  EXPECT_EQ(combo_.GetCurSel(), 0);
  EXPECT_EQ(parent_.log.front(), "dropdown -1 up");
  parent_.log.clear();
  combo_.EnableWindow(false);
  Windows().QueuePopupAnswer(1);
  EXPECT_EQ(combo_.DropDown(), -1);
  EXPECT_TRUE(parent_.log.empty());
  EXPECT_EQ(Windows().PendingPopupAnswers(), 1u);
}

TEST_F(ComboBoxTest, AWidgetHostReportsItsOwnListAndAHostWithListsAnswers) {
  combo_.DroppedDownFromUser();
  EXPECT_TRUE(combo_.GetDroppedState());
  combo_.ClosedUpFromUser(1);
  EXPECT_EQ(parent_.log, (std::vector<std::string>{"dropdown -1 up", "selendok 1 down", "closeup 1 up",
                                                   "selchange 1 up"}));
  // A close without an open says nothing.
  parent_.log.clear();
  combo_.ClosedUpFromUser(0);
  EXPECT_TRUE(parent_.log.empty());

  class ListHost : public Host {
   public:
    std::optional<int> ShowDropDownList(const PopupRequest& request) override {
      items = request.items;
      return 2;
    }
    std::vector<std::string> items;
  } host;
  Windows().SetHost(&host);
  EXPECT_EQ(combo_.DropDown(), 2);
  EXPECT_EQ(host.items.size(), 3u);
  Windows().SetHost(nullptr);
}

}  // namespace
}  // namespace win
