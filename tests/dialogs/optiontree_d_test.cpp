#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/optiontree/option_tree_ip_address_item.h"
#include "dialogs/optiontree/option_tree_spinner_item.h"
#include "platform/clock.h"
#include "support/screen_golden.h"
#include "win/menu.h"
#include "win/window.h"

namespace dialogs {
namespace {

// The dialog around the tree: counts the commits the items report.
class NotifySink : public win::Window {
 public:
  std::vector<int> changed;  // item ids of -1105, in order

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == win::kWmNotify) {
      const auto* n = reinterpret_cast<const COptionTreeNotify*>(lparam);
      if (n->header.code == NotifyItemChanged && n->item != nullptr) changed.push_back(n->item->GetItemID());
      return 0;
    }
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

class FakeClipboard : public TextClipboard {
 public:
  std::optional<std::string> text;
  std::optional<std::string> GetText() const override { return text; }
  void SetText(std::string_view value) override { text = std::string(value); }
};

// All painted text of a window and its children, one string.
std::string ScreenText(const win::Window& window) {
  std::string all;
  for (const std::string& line : testsupport::RecordedScreen(window)) all += line + "\n";
  return all;
}

class OptionTreeItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::Windows().SetClock(&clock_);
    ASSERT_TRUE(sink_.Create(nullptr, {0, 0, 400, 400}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(outside_.Create(&sink_, {0, 380, 50, 400}, win::kWsChild | win::kWsVisible));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 300, 300}, &sink_,
                             OptionShadeExpandColumn | OptionShadeCategories, 100));
    tree_.SetNotifyWindow(1, &sink_);
    category_ = tree_.InsertItem(Plain("Values"));
    category_->Expand(true);
  }
  void TearDown() override {
    COptionTreeSpinnerEdit::SetClipboard(nullptr);
    tree_.DestroyWindow();
    sink_.DestroyWindow();
    win::Windows().SetClock(nullptr);
  }

  static COptionTreeItem* Plain(std::string_view label) {
    auto* item = new COptionTreeItem;
    item->SetLabelText(label);
    return item;
  }

  template <typename Item>
  Item* Insert(std::string_view label) {
    auto* item = new Item;
    item->SetLabelText(label);
    tree_.InsertItem(item, category_);
    return item;
  }

  COptionTreeEditItem* Edit(uint32_t options, std::string_view text = {}) {
    auto* item = Insert<COptionTreeEditItem>("Edit");
    EXPECT_TRUE(item->CreateEditWindow(options));
    item->GetEdit().SetWindowText(text);
    return item;
  }

  COptionTreeSpinnerItem* Spinner(uint32_t options, double value, double minimum, double maximum) {
    auto* item = Insert<COptionTreeSpinnerItem>("Spinner");
    EXPECT_TRUE(item->CreateSpinnerWindow(options, value, minimum, maximum));
    return item;
  }

  void Paint() {
    tree_.UpdateList();
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }

  // A click in the value column of the row.
  void ClickValue(COptionTreeItem* item) {
    Paint();
    const gfx::Rect r = item->GetValueRect();
    tree_.GetListWindow().SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(r.left + 20, r.top + 5));
    win::Windows().RunPending();
  }

  void Type(std::string_view text) {
    for (const char c : text) win::Windows().KeyInput(win::kWmChar, static_cast<unsigned char>(c));
  }

  platform::ManualClock clock_;
  NotifySink sink_;
  win::Window outside_;
  COptionTree tree_;
  COptionTreeItem* category_ = nullptr;
};

TEST_F(OptionTreeItemsTest, EditGettersReadOnlyWholeValidNumbers) {
  enum Getter { kDouble, kInt, kLong, kUInt };
  struct Case {
    const char* text;
    uint32_t options;
    Getter getter;
    bool ok;
    double want;
  };
  const std::string huge(400, '9');
  const Case kCases[] = {
      {"1,5", kEditOptionDecimal, kDouble, true, 1.5},
      {"12.5 kg", kEditOptionDecimal, kDouble, true, 12.5},
      {" -2.25", kEditOptionDecimal, kDouble, true, -2.25},
      {"kg", kEditOptionDecimal, kDouble, false, 0},
      {".", kEditOptionDecimal, kDouble, false, 0},
      {"", kEditOptionDecimal, kDouble, false, 0},
      {huge.c_str(), kEditOptionDecimal, kDouble, false, 0},
      {"42", kEditOptionInteger, kInt, true, 42},
      {"  42 ", kEditOptionInteger, kInt, true, 42},
      {"-5", kEditOptionInteger, kInt, false, 0},
      {"4 2", kEditOptionInteger, kInt, false, 0},
      {"1.5", kEditOptionInteger, kInt, false, 0},
      {"2147483648", kEditOptionInteger, kInt, false, 0},
      {"2147483648", kEditOptionInteger, kLong, true, 2147483648.0},
      {"4294967295", kEditOptionInteger, kUInt, true, 4294967295.0},
      {"4294967296", kEditOptionInteger, kUInt, false, 0},
      {"99999999999999999999999", kEditOptionInteger, kLong, false, 0},
      {"42", kEditOptionDecimal, kInt, false, 0},
      {"1.5", kEditOptionInteger, kDouble, false, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text).substr(0, 30) + " getter " + std::to_string(c.getter));
    COptionTreeEditItem* item = Edit(c.options, c.text);
    bool ok = false;
    double got = -1;
    switch (c.getter) {
      case kDouble: {
        double v = -1;
        ok = item->GetDoubleValue(v);
        got = v;
        float f = -1;
        EXPECT_EQ(item->GetFloatValue(f), ok);
        EXPECT_FLOAT_EQ(f, static_cast<float>(v));
        break;
      }
      case kInt: {
        int v = -1;
        ok = item->GetIntValue(v);
        got = v;
        break;
      }
      case kLong: {
        long v = -1;
        ok = item->GetLongValue(v);
        got = static_cast<double>(v);
        break;
      }
      case kUInt: {
        uint32_t v = 7;
        ok = item->GetUIntValue(v);
        got = v;
        break;
      }
    }
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(OptionTreeItemsTest, EditSettersWriteWhatTheGettersReadBack) {
  auto* before_window = Insert<COptionTreeEditItem>("No field yet");
  before_window->SetDoubleValue(3);
  double d = -1;
  EXPECT_FALSE(before_window->GetDoubleValue(d));
  EXPECT_EQ(d, 0);

  COptionTreeEditItem* decimal = Edit(kEditOptionDecimal);
  decimal->SetDoubleValue(2.5);
  EXPECT_EQ(decimal->GetEdit().GetWindowText(), "2.500");
  decimal->SetFloatValue(0.1f);
  EXPECT_EQ(decimal->GetEdit().GetWindowText(), "0.100");
  decimal->SetDoubleValue(-1234.5678);
  EXPECT_EQ(decimal->GetEdit().GetWindowText(), "-1234.568");

  COptionTreeEditItem* integer = Edit(kEditOptionInteger);
  for (const uint32_t value : {0u, 2147483647u, 2147483648u, 4000000000u, 4294967295u}) {
    SCOPED_TRACE(value);
    integer->SetUIntValue(value);
    EXPECT_EQ(integer->GetEdit().GetWindowText(), std::to_string(value));
    uint32_t back = 0;
    EXPECT_TRUE(integer->GetUIntValue(back));
    EXPECT_EQ(back, value);
  }
  integer->SetIntValue(-7);
  EXPECT_EQ(integer->GetEdit().GetWindowText(), "-7");
  integer->SetLongValue(123456789012L);
  long l = 0;
  EXPECT_TRUE(integer->GetLongValue(l));
  EXPECT_EQ(l, 123456789012L);
}

TEST_F(OptionTreeItemsTest, EditOptionsShapeTheRowAndTheShownValue) {
  COptionTreeEditItem* secret = Edit(kEditOptionPassword, "abc");
  COptionTreeEditItem* notes = Edit(0, "first line");
  notes->SetOption(kEditOptionMultiline, true);
  EXPECT_EQ(notes->GetHeight(), kEditItemMultilineHeight);
  EXPECT_TRUE(notes->IsLabelAtTop());
  EXPECT_TRUE(notes->GetEdit().IsMultiline());
  Paint();
  const std::string screen = ScreenText(tree_);
  EXPECT_NE(screen.find("\"***\""), std::string::npos);
  EXPECT_EQ(screen.find("abc"), std::string::npos);
  EXPECT_EQ(notes->GetValueRect().Height(), kEditItemMultilineHeight - 1);
  notes->SetOption(kEditOptionMultiline, false);
  EXPECT_EQ(notes->GetHeight(), 21);
  EXPECT_FALSE(notes->GetEdit().IsMultiline());
  EXPECT_FALSE(secret->GetEdit().IsWindowVisible());
}

TEST_F(OptionTreeItemsTest, EditOpensOnAClickAndEnterCommitsAndShowsTheValue) {
  COptionTreeEditItem* item = Edit(kEditOptionInteger, "12");
  COptionTreeEditItem* other = Edit(kEditOptionInteger, "5");
  ClickValue(item);
  EXPECT_TRUE(item->GetEdit().IsWindowVisible());
  EXPECT_EQ(item->GetEdit().GetWindowRectInParent(), item->GetValueRect());
  EXPECT_TRUE(item->GetEdit().HasFocus());
  EXPECT_TRUE(item->IsInUse());
  EXPECT_EQ(item->GetEdit().GetSel(), (std::pair<int, int>{0, 0}));
  item->GetEdit().SetSel(0, -1);
  Type("345");

  // The focus leaving the control commits nothing; the field stays open.
  outside_.SetFocus();
  EXPECT_TRUE(sink_.changed.empty());
  EXPECT_TRUE(item->GetEdit().IsWindowVisible());
  item->GetEdit().SetFocus();

  win::Windows().PressKey(win::kVkReturn);
  EXPECT_EQ(sink_.changed, (std::vector<int>{item->GetItemID()}));
  EXPECT_FALSE(item->GetEdit().IsWindowVisible());
  EXPECT_FALSE(item->IsInUse());
  EXPECT_EQ(win::Windows().GetFocus(), &tree_.GetListWindow());
  Paint();
  EXPECT_NE(ScreenText(tree_).find("\"345\""), std::string::npos);

  // Moving on to another row's field commits that one only when it is left.
  ClickValue(other);
  EXPECT_TRUE(other->GetEdit().HasFocus());
  ClickValue(item);
  EXPECT_EQ(sink_.changed, (std::vector<int>{item->GetItemID(), other->GetItemID()}));
  int value = 0;
  EXPECT_TRUE(item->GetIntValue(value));
  EXPECT_EQ(value, 345);
}

TEST_F(OptionTreeItemsTest, SpinnerStepsWithinTheRangeOrWrapsRound) {
  struct Case {
    const char* name;
    uint32_t options;
    const char* start;
    bool up;
    const char* want;
  };
  constexpr Case kCases[] = {
      {"up at the maximum", 0, "10", true, "10"},
      {"down at the minimum", 0, "0", false, "0"},
      {"up inside", 0, "4", true, "5"},
      {"wrap up past the maximum", kSpinnerOptionWrapAround, "10", true, "0"},
      {"wrap down past the minimum", kSpinnerOptionWrapAround, "0", false, "10"},
      {"a fraction is rounded on writing", 0, "2.5", true, "4"},
      {"empty steps from 0", 0, "", true, "1"},
      {"beyond the range steps on", 0, "30", false, "29"},
  };
  COptionTreeSpinnerItem* item = Spinner(0, 0, 0, 10);
  COptionTreeSpinnerButton& spinner = item->GetSpinner();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    spinner.SetOption(kSpinnerOptionWrapAround, c.options != 0);
    spinner.GetEdit().WriteValueText(c.start);
    if (c.up)
      spinner.StepUp();
    else
      spinner.StepDown();
    EXPECT_EQ(spinner.GetText(), c.want);
  }
}

TEST_F(OptionTreeItemsTest, SpinnerGettersReadTheFieldStrictly) {
  COptionTreeSpinnerItem* item = Spinner(0, 7, -100, 100);
  COptionTreeSpinnerButton& spinner = item->GetSpinner();
  struct Case {
    const char* text;
    bool int_ok;
    int int_value;
    bool double_ok;
  };
  constexpr Case kCases[] = {{"-5", true, -5, true},  {" 12 ", true, 12, true},
                             {"1.5", false, 0, true}, {"4 2", false, 0, true},
                             {"", false, 0, false},   {"3000000000", false, 0, true},
                             {"abc", false, 0, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    spinner.GetEdit().WriteValueText(c.text);
    int i = -1;
    EXPECT_EQ(spinner.GetIntValue(i), c.int_ok);
    EXPECT_EQ(i, c.int_value);
    double d = -1;
    EXPECT_EQ(spinner.GetDoubleValue(d), c.double_ok);
  }
  spinner.SetUIntValue(4000000000u);
  uint32_t u = 0;
  EXPECT_TRUE(spinner.GetUIntValue(u));
  EXPECT_EQ(u, 4000000000u);
  spinner.SetDoubleValue(-0.4);
  EXPECT_EQ(spinner.GetText(), "-0");
  COptionTreeSpinnerButton loose;  // no window, so no field
  double none = -1;
  EXPECT_FALSE(loose.GetDoubleValue(none));
  EXPECT_EQ(none, 0);
  EXPECT_EQ(loose.GetText(), "");
}

TEST_F(OptionTreeItemsTest, HeldButtonRepeatsAfterTheDelayThenAtTheInterval) {
  COptionTreeSpinnerItem* item = Spinner(0, 0, 0, 100);
  ClickValue(item);
  COptionTreeSpinnerButton& spinner = item->GetSpinner();
  ASSERT_TRUE(spinner.IsWindowVisible());
  win::Windows().RunPending();
  const gfx::Rect up = spinner.GetUpButtonRect();
  ASSERT_FALSE(up.IsEmpty());
  EXPECT_EQ(up.left, spinner.GetClientRect().right - kSpinnerButtonWidth);
  EXPECT_EQ(spinner.GetRepeatTiming().delay_ms, 500);
  EXPECT_EQ(spinner.GetRepeatTiming().interval_ms, 200);
  spinner.SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(up.left + 3, up.top + 2));
  EXPECT_TRUE(spinner.IsUpPressed());
  EXPECT_EQ(win::Windows().GetCapture(), &spinner);
  struct Step {
    int advance_ms;
    const char* want;
  };
  constexpr Step kSteps[] = {{0, "1"}, {499, "1"}, {1, "2"}, {199, "2"}, {1, "3"}, {200, "4"}};
  for (const Step& s : kSteps) {
    clock_.Advance(s.advance_ms);
    win::Windows().RunPending();
    EXPECT_EQ(spinner.GetText(), s.want) << "after " << s.advance_ms;
  }
  // Released far away: the repeat ends.
  spinner.SendMessage(win::kWmLButtonUp, 0, win::MakeLParam(-50, 200));
  EXPECT_FALSE(spinner.IsUpPressed());
  EXPECT_EQ(win::Windows().GetCapture(), nullptr);
  clock_.Advance(2000);
  win::Windows().RunPending();
  EXPECT_EQ(spinner.GetText(), "4");

  struct Timing {
    std::optional<int> delay;
    std::optional<int> speed;
    int want_delay;
    int want_interval;
  };
  const Timing kTimings[] = {{0, 0, 250, 400}, {3, 31, 1000, 28}, {1, std::nullopt, 500, 200}};
  for (const Timing& t : kTimings) {
    const auto timing = COptionTreeSpinnerButton::KeyboardRepeatTiming(t.delay, t.speed);
    EXPECT_EQ(timing.delay_ms, t.want_delay);
    EXPECT_EQ(timing.interval_ms, t.want_interval);
  }
}

TEST_F(OptionTreeItemsTest, SpinnerButtonsAtTheLimitsAreGreyedAndDoNothing) {
  COptionTreeSpinnerItem* item = Spinner(0, 10, 0, 10);
  ClickValue(item);
  COptionTreeSpinnerButton& spinner = item->GetSpinner();
  win::Windows().RunPending();
  const auto grey_arrows = [&spinner] {
    spinner.Invalidate();
    win::Windows().RunPending();
    int count = 0;
    for (const std::string& line : win::Windows().RecordOf(spinner)->paint->Lines())
      if (line.find("0x6D6D6D") != std::string::npos) ++count;
    return count;
  };
  const int at_max = grey_arrows();
  EXPECT_GT(at_max, 0);
  const gfx::Rect up = spinner.GetUpButtonRect();
  spinner.SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(up.left + 3, up.top + 2));
  spinner.SendMessage(win::kWmLButtonUp, 0, win::MakeLParam(up.left + 3, up.top + 2));
  EXPECT_EQ(spinner.GetText(), "10");
  spinner.SetIntValue(5);
  EXPECT_EQ(grey_arrows(), 0);
  spinner.SetIntValue(0);
  EXPECT_EQ(grey_arrows(), at_max);
}

TEST_F(OptionTreeItemsTest, SpinnerFieldTakesNoTypingWithoutDirectEditing) {
  COptionTreeSpinnerItem* item = Spinner(0, 5, 0, 10);
  ClickValue(item);
  COptionTreeSpinnerEdit& field = item->GetSpinner().GetEdit();
  field.SetFocus();
  Type("7");
  win::Windows().PressKey(win::kVkBack);
  field.SetWindowText("9");  // what a widget host hands in as the user's typing
  EXPECT_EQ(field.GetWindowText(), "5");
  // Up steps the spinner and still moves the caret.
  field.SetSel(1, 1);
  win::Windows().PressKey(win::kVkUp);
  EXPECT_EQ(field.GetWindowText(), "6");
  EXPECT_EQ(field.GetSel().first, 0);
  win::Windows().PressKey(win::kVkDown);
  win::Windows().PressKey(win::kVkDown);
  EXPECT_EQ(field.GetWindowText(), "4");
  // Delete is no typed character: it still removes text.
  field.SetSel(0, 0);
  win::Windows().PressKey(win::kVkDelete);
  EXPECT_EQ(field.GetWindowText(), "");

  item->GetSpinner().SetOption(kSpinnerOptionDirectEdit, true);
  Type("37");
  EXPECT_EQ(field.GetWindowText(), "37");
}

TEST_F(OptionTreeItemsTest, SpinnerContextMenuOffersOnlyCopyWithoutDirectEditing) {
  FakeClipboard clipboard;
  clipboard.text = "8";
  COptionTreeSpinnerEdit::SetClipboard(&clipboard);
  COptionTreeSpinnerItem* item = Spinner(0, 42, 0, 100);
  ClickValue(item);
  COptionTreeSpinnerEdit& field = item->GetSpinner().GetEdit();
  field.SetFocus();

  using Entries = std::vector<std::pair<std::string, bool>>;
  Entries shown;
  const auto answer = [&shown](int command) {
    return [&shown, command](const win::PopupRequest& request) {
      shown.clear();
      for (size_t i = 0; i < request.menu->Count(); ++i) {
        const win::MenuItem& entry = request.menu->At(i);
        shown.emplace_back(entry.separator ? "-" : entry.text, !entry.separator && entry.enabled);
      }
      return command;
    };
  };
  const auto right_click = [&field] {
    field.SendMessage(win::kWmRButtonUp, 0, win::MakeLParam(4, 4));
    win::Windows().RunPending();
  };
  struct Case {
    const char* name;
    bool direct;
    std::pair<int, int> selection;
    int command;
    Entries want;
    const char* want_text;
    const char* want_clipboard;
  };
  const Case kCases[] = {
      {"no direct editing",
       false,
       {0, 2},
       kEditCommandCopy,
       {{"&Undo", false},
        {"-", false},
        {"Cu&t", false},
        {"&Copy", true},
        {"&Paste", false},
        {"&Delete", false},
        {"-", false},
        {"Select &All", false}},
       "42",
       "8"},
      {"direct editing, nothing selected",
       true,
       {1, 1},
       kEditCommandPaste,
       {{"&Undo", false},
        {"-", false},
        {"Cu&t", false},
        {"&Copy", false},
        {"&Paste", true},
        {"&Delete", false},
        {"-", false},
        {"Select &All", true}},
       "482",
       "8"},
      {"direct editing, a selection to cut",
       true,
       {0, 2},
       kEditCommandCut,
       {{"&Undo", true},
        {"-", false},
        {"Cu&t", true},
        {"&Copy", true},
        {"&Paste", true},
        {"&Delete", true},
        {"-", false},
        {"Select &All", true}},
       "2",
       "48"},
      {"undo the cut", true, {0, 0}, kEditCommandUndo, {}, "482", "48"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    item->GetSpinner().SetOption(kSpinnerOptionDirectEdit, c.direct);
    field.SetSel(c.selection.first, c.selection.second);
    win::Windows().QueuePopupAnswer(answer(c.command));
    right_click();
    if (!c.want.empty()) {
      EXPECT_EQ(shown, c.want);
    }
    EXPECT_EQ(field.GetWindowText(), c.want_text);
    EXPECT_EQ(clipboard.text, c.want_clipboard);
  }
}

TEST_F(OptionTreeItemsTest, SpinnerCommitsWhenTheFocusLeavesItsWindowAndField) {
  COptionTreeSpinnerItem* item = Spinner(0, 3, 0, 10);
  ClickValue(item);
  COptionTreeSpinnerButton& spinner = item->GetSpinner();
  EXPECT_EQ(win::Windows().GetFocus(), &spinner);
  EXPECT_TRUE(item->IsInUse());
  spinner.GetEdit().SetFocus();
  win::Windows().RunPending();
  spinner.SetFocus();
  win::Windows().RunPending();
  EXPECT_TRUE(sink_.changed.empty());
  EXPECT_TRUE(spinner.IsWindowVisible());

  spinner.GetEdit().SetFocus();
  tree_.GetListWindow().SetFocus();
  win::Windows().RunPending();
  EXPECT_EQ(sink_.changed, (std::vector<int>{item->GetItemID()}));
  EXPECT_FALSE(spinner.IsWindowVisible());
  EXPECT_FALSE(item->IsInUse());
  Paint();
  EXPECT_NE(ScreenText(tree_.GetListWindow()).find("\"3\""), std::string::npos);
}

TEST_F(OptionTreeItemsTest, IPAddressFieldsSplitTheValueColumn) {
  auto* item = Insert<COptionTreeIPAddressItem>("Server");
  ASSERT_TRUE(item->CreateIPAddressWindow());
  tree_.SetColumn(170);
  Paint();
  EXPECT_EQ(item->GetValueRect().Width(), 125);
  EXPECT_NE(ScreenText(tree_.GetListWindow()).find("\"0.0.0.0\""), std::string::npos);
  COptionTreeIPAddressWindow& window = item->GetAddressWindow();
  const int want_x[] = {5, 35, 65, 95};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const gfx::Rect r = window.Field(k).GetWindowRectInParent();
    EXPECT_EQ(r.left, want_x[k]);
    EXPECT_EQ(r.Width(), 25);
    EXPECT_EQ(r.Height(), item->GetValueRect().Height());
  }
  // Window order runs from the fourth field to the first.
  EXPECT_EQ(window.Children().front(), &window.Field(3));

  ClickValue(item);
  EXPECT_TRUE(window.IsWindowVisible());
  win::Windows().RunPending();
  std::vector<int> dots;
  for (const std::string& line : win::Windows().RecordOf(window)->paint->Lines())
    if (line.find("\".\"") != std::string::npos) dots.push_back(1);
  EXPECT_EQ(dots.size(), 3u);
}

TEST_F(OptionTreeItemsTest, IPAddressCaretMovesOnAndLeavingTheGroupCommits) {
  auto* item = Insert<COptionTreeIPAddressItem>("Server");
  ASSERT_TRUE(item->CreateIPAddressWindow());
  COptionTreeIPAddressWindow& window = item->GetAddressWindow();
  ClickValue(item);
  EXPECT_TRUE(item->IsInUse());
  EXPECT_EQ(win::Windows().GetFocus(), &window.Field(0));
  Type("1921");  // the fourth digit does not fit: the caret moves on and it is not typed
  EXPECT_EQ(win::Windows().GetFocus(), &window.Field(1));
  Type("168");
  win::Windows().PressKey(win::kVkDelete);
  EXPECT_EQ(win::Windows().GetFocus(), &window.Field(2));
  Type("1");
  window.Field(3).SetFocus();
  Type("20");
  Type("999");  // the last field keeps the caret
  EXPECT_EQ(win::Windows().GetFocus(), &window.Field(3));
  EXPECT_TRUE(sink_.changed.empty());

  tree_.GetListWindow().SetFocus();
  EXPECT_EQ(sink_.changed, (std::vector<int>{item->GetItemID()}));
  EXPECT_FALSE(window.IsWindowVisible());
  EXPECT_EQ(window.GetAddress(), (std::array<uint8_t, 4>{192, 168, 1, 209}));
  Paint();
  EXPECT_NE(ScreenText(tree_.GetListWindow()).find("\"192.168.1.209\""), std::string::npos);

  // Focus leaving the control altogether commits nothing.
  ClickValue(item);
  outside_.SetFocus();
  EXPECT_EQ(sink_.changed.size(), 1u);
  EXPECT_TRUE(item->IsInUse());
}

TEST_F(OptionTreeItemsTest, GoldenTreeOfEditSpinnerAndAddressRows) {
  COptionTreeEditItem* name = Edit(0, "Holter room 2");
  name->SetLabelText("Station");
  COptionTreeEditItem* gain = Edit(kEditOptionDecimal);
  gain->SetLabelText("Gain");
  gain->SetDoubleValue(2.5);
  COptionTreeEditItem* secret = Edit(kEditOptionPassword, "1234");
  secret->SetLabelText("Password");
  COptionTreeEditItem* notes = Edit(kEditOptionMultiline, "Night recording.\r\nCheck lead V5.");
  notes->SetLabelText("Notes");
  notes->SetOption(kEditOptionMultiline, true);
  COptionTreeSpinnerItem* beats = Spinner(0, 12, 0, 100);
  beats->SetLabelText("Beats");
  auto* address = Insert<COptionTreeIPAddressItem>("Server");
  ASSERT_TRUE(address->CreateIPAddressWindow());
  address->GetAddressWindow().SetAddress({10, 0, 0, 47});
  COptionTreeEditItem* fixed = Edit(kEditOptionInteger, "125");
  fixed->SetLabelText("Sample rate");
  fixed->SetReadOnly(true);
  ClickValue(name);
  ClickValue(beats);
  Paint();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_d_tree", testsupport::RecordedScreen(tree_));
}

}  // namespace
}  // namespace dialogs
