#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_hyperlink.h"
#include "dialogs/optiontree/option_tree_radio.h"
#include "dialogs/optiontree/option_tree_static.h"
#include "platform/clock.h"
#include "support/screen_golden.h"
#include "win/prompt.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace dialogs {
namespace {

using win::GetSysColor;
using win::SysColor;

// The dialog that hosts the tree: records the item of every notification by code.
class NotifySink : public win::Window {
 public:
  std::vector<std::pair<int, int>> received;  // code, item id

  int Count(int code, int item_id) const {
    int n = 0;
    for (const auto& [c, id] : received) n += c == code && id == item_id ? 1 : 0;
    return n;
  }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == win::kWmNotify) {
      const auto* n = reinterpret_cast<const COptionTreeNotify*>(lparam);
      received.emplace_back(n->header.code, n->item != nullptr ? n->item->GetItemID() : 0);
      return 0;
    }
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

// How a text was drawn in a recorded paint: the colour and font in effect at its DrawText.
struct DrawnText {
  bool found = false;
  uint32_t color = 0;  // 0xBBGGRR, as gfx::Color
  bool underline = false;
  std::string line;
};

DrawnText FindText(const std::vector<std::string>& lines, const std::string& text) {
  DrawnText out;
  std::string font;
  for (const std::string& line : lines) {
    if (line.starts_with("SetTextColor 0x")) out.color = std::stoul(line.substr(15), nullptr, 16);
    if (line.starts_with("SelectFont ")) font = line;
    if (line.starts_with("DrawText ") && line.find(" 0x400") == std::string::npos &&
        line.find("\"" + text + "\"") != std::string::npos) {
      out.found = true;
      out.underline = font.find("underline") != std::string::npos;
      out.line = line;
      return out;
    }
  }
  return out;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines) {
    if (line.starts_with(prefix)) return true;
  }
  return false;
}

class OptionTreeItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::Windows().SetClock(&clock_);
    ASSERT_TRUE(sink_.Create(nullptr, {0, 0, 400, 300}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 300, 250}, &sink_,
                             OptionShadeExpandColumn | OptionShadeCategories, 100));
    tree_.SetNotifyWindow(1, &sink_);
    category_ = tree_.InsertItem(Labelled(new COptionTreeItem, "Recording"));
  }
  void TearDown() override {
    tree_.DestroyWindow();
    sink_.DestroyWindow();
    win::Windows().SetClock(nullptr);
  }

  template <typename Item>
  static Item* Labelled(Item* item, std::string_view label) {
    item->SetLabelText(label);
    return item;
  }

  COptionTreeCheckItem* AddCheck(std::string_view label, uint32_t options, bool create = true) {
    auto* item = Labelled(new COptionTreeCheckItem, label);
    tree_.InsertItem(item, category_);
    if (create) {
      EXPECT_TRUE(item->CreateCheckWindow(0, options));
      item->SetStateTexts("Checked", "UnChecked");
    }
    return item;
  }

  COptionTreeRadioItem* AddRadio(std::string_view label, std::vector<std::pair<const char*, int>> choices) {
    auto* item = Labelled(new COptionTreeRadioItem, label);
    tree_.InsertItem(item, category_);
    EXPECT_TRUE(item->CreateRadioWindow());
    for (const auto& [text, checked] : choices) item->AddRadio(text, checked);
    return item;
  }

  COptionTreeHyperlinkItem* AddLink(std::string_view text, uint32_t options) {
    auto* item = Labelled(new COptionTreeHyperlinkItem, "Manual");
    tree_.InsertItem(item, category_);
    EXPECT_TRUE(item->CreateHyperlinkWindow(options, text, kNormal, kHover, kVisited));
    return item;
  }

  void Show() {
    tree_.ExpandAll();
    Paint();
  }

  void Paint() {
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }

  // A press and release at a point of the dialog, with the paints between them that a user's
  // click always leaves time for.
  void Click(gfx::Point p) {
    win::Windows().MouseInput(sink_, win::kWmLButtonDown, p);
    win::Windows().RunPending();
    win::Windows().MouseInput(sink_, win::kWmLButtonUp, p);
    win::Windows().RunPending();
  }

  void MoveMouse(gfx::Point p) {
    win::Windows().MouseInput(sink_, win::kWmMouseMove, p);
    win::Windows().RunPending();
  }

  // The value column of a shown row, x pixels into it; the row's top plus y.
  static gfx::Point ValuePoint(const COptionTreeItem& item, int x, int y) {
    return {item.GetValueRect().left + x, item.GetValueRect().top + y};
  }

  std::vector<std::string> ListLines() { return WindowLines(tree_.GetListWindow()); }
  static std::vector<std::string> WindowLines(const win::Window& window) {
    return win::Windows().RecordOf(window)->paint->Lines();
  }

  static constexpr gfx::Color kNormal = gfx::Rgb(0, 0, 255);
  static constexpr gfx::Color kHover = gfx::Rgb(255, 0, 0);
  static constexpr gfx::Color kVisited = gfx::Rgb(128, 0, 128);

  platform::ManualClock clock_;
  NotifySink sink_;
  COptionTree tree_;
  COptionTreeItem* category_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Check box

TEST_F(OptionTreeItemsTest, CheckRowShowsBoxTextOrBoth) {
  struct Case {
    const char* name;
    bool create;
    uint32_t options;
    bool box;
    int text_left;  // into the value column; -1: no text
  };
  const Case kCases[] = {
      {"no window yet", false, CheckOptionDrawBox | CheckOptionDrawText, false, -1},
      {"box only", true, CheckOptionDrawBox, true, -1},
      {"text only", true, CheckOptionDrawText, false, 0},
      {"box and text", true, CheckOptionDrawBox | CheckOptionDrawText, true, 19},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    COptionTreeCheckItem* item = AddCheck("Pacemaker", c.options, c.create);
    Show();
    const gfx::Rect r = item->GetValueRect();
    const std::vector<std::string> lines = ListLines();
    const std::string box = "FrameRect " + std::to_string(r.left) + "," + std::to_string(r.top + 3) + "," +
                            std::to_string(r.left + 14) + "," + std::to_string(r.top + 17);
    EXPECT_EQ(HasLine(lines, box), c.box);
    const DrawnText text = FindText(lines, "UnChecked");
    EXPECT_EQ(text.found, c.text_left >= 0);
    if (c.text_left >= 0) {
      EXPECT_TRUE(text.line.starts_with("DrawText " + std::to_string(r.left + c.text_left) + ","));
    }
    tree_.DeleteItem(item);
  }
}

TEST_F(OptionTreeItemsTest, CheckWindowTogglesOnTheBoxOrRightOfItWithText) {
  struct Case {
    const char* name;
    uint32_t options;
    int x;  // into the window
    int want;
  };
  const Case kCases[] = {
      {"on the box", CheckOptionDrawBox, 8, 1},
      {"beside the box, no text", CheckOptionDrawBox, 40, 0},
      {"beside the box, with text", CheckOptionDrawBox | CheckOptionDrawText, 40, 1},
      {"far right, with text", CheckOptionDrawText, 140, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    COptionTreeCheckItem* item = AddCheck("Pacemaker", c.options);
    Show();
    Click(ValuePoint(*item, 8, 2));  // opens the window; the release lands above the box
    ASSERT_TRUE(item->IsWindowVisible());
    EXPECT_EQ(win::Windows().GetFocus(), item);
    EXPECT_EQ(item->GetCheck(), 0);
    Click(ValuePoint(*item, c.x, 10));
    EXPECT_EQ(item->GetCheck(), c.want);
    Click(ValuePoint(*item, c.x, 19));  // the band of the box ends at 18
    EXPECT_EQ(item->GetCheck(), c.want);
    tree_.DeleteItem(item);
  }
}

TEST_F(OptionTreeItemsTest, CheckItemNotifiesOncePerActivation) {
  COptionTreeCheckItem* first = AddCheck("Pacemaker", CheckOptionDrawBox | CheckOptionDrawText);
  COptionTreeCheckItem* second = AddCheck("Paced beats", CheckOptionDrawBox);
  Show();
  // The first selection change commits every item that never committed, once.
  Click({40, second->GetValueRect().top + 5});
  Click({40, first->GetValueRect().top + 5});
  EXPECT_EQ(sink_.Count(NotifyItemChanged, first->GetItemID()), 1);
  EXPECT_EQ(sink_.Count(NotifyItemChanged, second->GetItemID()), 1);
  sink_.received.clear();

  Click(ValuePoint(*first, 8, 2));
  Click(ValuePoint(*first, 8, 10));
  EXPECT_EQ(first->GetCheck(), 1);
  EXPECT_TRUE(first->HasFocusFlag());
  EXPECT_EQ(sink_.Count(NotifyItemChanged, first->GetItemID()), 0);
  // Focus leaving the control (a message box) changes nothing.
  win::Windows().SetFocus(&sink_);
  EXPECT_TRUE(first->IsWindowVisible());
  EXPECT_EQ(sink_.Count(NotifyItemChanged, first->GetItemID()), 0);
  first->SetFocus();
  // Back into the control: committed, hidden, and the row shows the new state.
  Click({40, second->GetValueRect().top + 5});
  EXPECT_FALSE(first->IsWindowVisible());
  EXPECT_FALSE(first->HasFocusFlag());
  EXPECT_EQ(sink_.Count(NotifyItemChanged, first->GetItemID()), 1);
  EXPECT_EQ(sink_.Count(NotifyItemChanged, second->GetItemID()), 0);
  Paint();
  EXPECT_TRUE(FindText(ListLines(), "Checked").found);
  EXPECT_TRUE(HasLine(ListLines(), "MoveTo " + std::to_string(first->GetValueRect().left + 3)));  // the tick
}

TEST_F(OptionTreeItemsTest, ReadOnlyCheckItemIsGreyAndCannotBeToggled) {
  COptionTreeCheckItem* item = AddCheck("Pacemaker", CheckOptionDrawBox | CheckOptionDrawText);
  item->SetReadOnly(true);
  Show();
  EXPECT_EQ(FindText(ListLines(), "UnChecked").color, GetSysColor(SysColor::kGrayText));
  Click(ValuePoint(*item, 8, 10));
  Click(ValuePoint(*item, 8, 10));
  EXPECT_FALSE(item->IsWindowVisible());
  EXPECT_EQ(item->GetCheck(), 0);
}

TEST_F(OptionTreeItemsTest, CheckWindowNeedsTheControl) {
  COptionTreeCheckItem loose;
  EXPECT_EQ(loose.GetItemKind(), kOptionItemCheckBox);
  EXPECT_EQ(loose.GetUncheckedText(), "UnChecked");
  EXPECT_EQ(loose.GetCheckedText(), "Checked");
  EXPECT_FALSE(loose.CreateCheckWindow(1, CheckOptionDrawBox));
  COptionTreeCheckItem* item = AddCheck("Pacemaker", CheckOptionDrawBox);
  EXPECT_FALSE(item->CreateCheckWindow(1, CheckOptionDrawText));
  EXPECT_TRUE(item->HasOption(CheckOptionDrawBox));
  EXPECT_FALSE(item->HasOption(CheckOptionDrawText));
  EXPECT_EQ(item->GetParent(), &tree_.GetListWindow());
  EXPECT_EQ(item->GetDlgCtrlID(), item->GetItemID());
  item->SetOption(CheckOptionDrawBox, 2);
  EXPECT_FALSE(item->HasOption(CheckOptionDrawBox));
}

// ---------------------------------------------------------------------------------------------
// Radio group

TEST_F(OptionTreeItemsTest, RadioRowGrowsWithItsChoicesAndKeepsOneChecked) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, int>> choices;
    int height;
    int checked;
  };
  const Case kCases[] = {
      {"three", {{"mm", 0}, {"inch", 1}, {"pixel", 0}}, 50, 1},
      {"newest checked wins", {{"mm", 1}, {"inch", 1}}, 34, 1},
      {"none checked", {{"mm", 0}, {"inch", 0}, {"pixel", 0}, {"point", 0}}, 66, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    COptionTreeRadioItem* item = AddRadio("Units", c.choices);
    EXPECT_EQ(item->GetHeight(), c.height);
    EXPECT_EQ(item->GetCheckedIndex(), c.checked);
    EXPECT_TRUE(item->IsLabelAtTop());
    EXPECT_EQ(item->FindChoice("inch"), item->GetChoice(1));
    EXPECT_EQ(item->GetChoice(static_cast<int>(c.choices.size())), nullptr);
    tree_.DeleteItem(item);
  }
}

TEST_F(OptionTreeItemsTest, RadioChoiceByMouse) {
  COptionTreeRadioItem* item = AddRadio("Units", {{"mm", 0}, {"inch", 0}, {"pixel", 0}});
  AddCheck("Pacemaker", CheckOptionDrawBox);
  Show();
  // A click on the window before it ever painted finds no choice.
  item->SendMessage(win::kWmLButtonUp, 0, win::MakeLParam(5, 20));
  EXPECT_EQ(item->GetCheckedIndex(), -1);

  Click(ValuePoint(*item, 60, 40));
  ASSERT_TRUE(item->IsWindowVisible());
  EXPECT_TRUE(item->IsInUse());
  EXPECT_EQ(item->GetWindowRectInParent(), item->GetValueRect());
  struct Case {
    const char* name;
    gfx::Point p;  // in the window
    int want;
  };
  const Case kCases[] = {
      {"third button", {5, 2 + 32 + 7}, 2},
      {"first text", {25, 2 + 7}, 0},
      {"blank right of the text", {120, 2 + 16 + 7}, 0},
      {"gap between bands", {5, 17}, 0},
      {"second button's edge", {0, 18}, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Click(ValuePoint(*item, c.p.x, c.p.y));
    EXPECT_EQ(item->GetCheckedIndex(), c.want);
    EXPECT_TRUE(item->IsWindowVisible());
  }
  sink_.received.clear();
  Click({40, 8});  // the category row: the focus moves on inside the control
  EXPECT_FALSE(item->IsWindowVisible());
  EXPECT_FALSE(item->IsInUse());
  EXPECT_EQ(sink_.Count(NotifyItemChanged, item->GetItemID()), 1);
  EXPECT_EQ(item->GetCheckedIndex(), 1);
}

TEST_F(OptionTreeItemsTest, RadioChoiceByKeysThenMouse) {
  AddCheck("Pacemaker", CheckOptionDrawBox);
  COptionTreeRadioItem* item = AddRadio("Units", {{"mm", 1}, {"inch", 0}, {"pixel", 0}});
  Show();
  tree_.GetListWindow().SetFocus();
  win::Windows().PressKey(win::kVkHome);
  win::Windows().PressKey(win::kVkDown);
  win::Windows().PressKey(win::kVkDown);
  ASSERT_EQ(tree_.GetFocusedItem(), item);
  EXPECT_FALSE(item->IsWindowVisible());
  win::Windows().PressKey(win::kVkReturn);
  EXPECT_TRUE(item->IsWindowVisible());
  EXPECT_EQ(win::Windows().GetFocus(), item);
  win::Windows().RunPending();
  Click(ValuePoint(*item, 30, 2 + 32 + 7));
  EXPECT_EQ(item->GetCheckedIndex(), 2);
  sink_.received.clear();
  // The row is left by keys too: Up from the list focuses the row above and commits.
  tree_.GetListWindow().SetFocus();
  win::Windows().PressKey(win::kVkUp);
  EXPECT_EQ(sink_.Count(NotifyItemChanged, item->GetItemID()), 1);
  Paint();
  // The row now draws the choice flat: a dot only in the third band.
  const gfx::Rect r = item->GetValueRect();
  const auto dot = [&](int band) {
    return "Ellipse " + std::to_string(r.left + 4) + "," + std::to_string(r.top + 2 + 16 * band + 4);
  };
  const std::vector<std::string> lines = ListLines();
  EXPECT_FALSE(HasLine(lines, dot(0)));
  EXPECT_TRUE(HasLine(lines, dot(2)));
  EXPECT_EQ(FindText(lines, "pixel").color, item->GetValueTextColor());
}

TEST_F(OptionTreeItemsTest, RadioWindowNeedsTheControl) {
  COptionTreeRadioItem loose;
  EXPECT_EQ(loose.GetItemKind(), kOptionItemRadio);
  EXPECT_FALSE(loose.CreateRadioWindow());
  loose.AddRadio("mm", 1);  // choices before the window are fine
  EXPECT_EQ(loose.GetCheckedIndex(), 0);
  COptionTreeRadioItem* item = AddRadio("Units", {{"mm", 0}});
  EXPECT_FALSE(item->CreateRadioWindow());
}

// ---------------------------------------------------------------------------------------------
// Hyperlink and static text

TEST_F(OptionTreeItemsTest, HyperlinkHoverChangesColourAndUnderlineUntilThePointerLeaves) {
  COptionTreeHyperlinkItem* link =
      AddLink("https://example.org/manual", HyperlinkOptionUnderlineHover | HyperlinkOptionHoverColor);
  Show();
  ASSERT_TRUE(link->IsWindowVisible());
  EXPECT_EQ(link->GetWindowRectInParent(), link->GetValueRect());
  const auto text = [&] { return FindText(WindowLines(*link), "https://example.org/manual"); };
  EXPECT_EQ(text().color, kNormal);
  EXPECT_FALSE(text().underline);

  MoveMouse(ValuePoint(*link, 10, 7));
  EXPECT_TRUE(link->IsHovering());
  EXPECT_EQ(win::Windows().PointerShape(), win::CursorShape::kHand);
  EXPECT_EQ(text().color, kHover);
  EXPECT_TRUE(text().underline);

  // Off the text but still in the window: the arrow, and plain text at once.
  MoveMouse(ValuePoint(*link, 135, 7));
  EXPECT_EQ(win::Windows().PointerShape(), win::CursorShape::kArrow);
  EXPECT_FALSE(link->IsHovering());
  MoveMouse(ValuePoint(*link, 10, 7));
  EXPECT_TRUE(link->IsHovering());
  // Out of the window: only the timer notices.
  MoveMouse({40, 8});
  EXPECT_TRUE(link->IsHovering());
  clock_.Advance(kHyperlinkHoverMs);
  win::Windows().RunPending();
  EXPECT_FALSE(link->IsHovering());
  EXPECT_EQ(text().color, kNormal);
  EXPECT_FALSE(text().underline);
}

TEST_F(OptionTreeItemsTest, HyperlinkClickOpensTheTextAndMarksItVisited) {
  struct Case {
    const char* name;
    uint32_t options;
    gfx::Color after;
    bool underline;
  };
  const Case kCases[] = {
      {"visited colour", HyperlinkOptionVisitedColor, kVisited, false},
      {"normal colour stays", 0, kNormal, false},
      {"always underlined", HyperlinkOptionUnderline | HyperlinkOptionVisitedColor, kVisited, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    win::ScriptedPrompt prompt;
    win::ScopedPrompt scoped(prompt);
    COptionTreeHyperlinkItem* link = AddLink("mailto:service@example.org", c.options);
    Show();
    Click(ValuePoint(*link, 140, 7));  // beside the text
    EXPECT_FALSE(link->IsVisited());
    Click(ValuePoint(*link, 5, 7));
    EXPECT_TRUE(link->IsVisited());
    ASSERT_EQ(prompt.Log().size(), 1u);
    EXPECT_EQ(prompt.Log()[0].kind, "open");
    EXPECT_EQ(prompt.Log()[0].text, "mailto:service@example.org");
    MoveMouse({40, 8});
    clock_.Advance(kHyperlinkHoverMs);
    win::Windows().RunPending();
    const DrawnText text = FindText(WindowLines(*link), "mailto:service@example.org");
    EXPECT_EQ(text.color, c.after);
    EXPECT_EQ(text.underline, c.underline);
    tree_.DeleteItem(link);
  }
}

TEST_F(OptionTreeItemsTest, HyperlinkActivationOpensUnlessReadOnly) {
  win::ScriptedPrompt prompt;
  win::ScopedPrompt scoped(prompt);
  COptionTreeHyperlinkItem* link = AddLink("/data/ZK-470/help.pdf", HyperlinkOptionHoverColor);
  Show();
  tree_.SetFocusedItem(link);
  tree_.GetListWindow().SetFocus();
  win::Windows().PressKey(win::kVkReturn);
  EXPECT_EQ(win::Windows().GetFocus(), link);
  EXPECT_TRUE(link->IsInUse());
  ASSERT_EQ(prompt.Log().size(), 1u);
  EXPECT_EQ(prompt.Log()[0].text, "/data/ZK-470/help.pdf");
  // Focus moving on inside the control commits the row.
  tree_.GetListWindow().SetFocus();
  EXPECT_FALSE(link->IsInUse());
  EXPECT_EQ(sink_.Count(NotifyItemChanged, link->GetItemID()), 1);

  prompt.ClearLog();
  link->SetReadOnly(true);
  Paint();
  link->Activate();
  MoveMouse(ValuePoint(*link, 5, 7));
  EXPECT_EQ(win::Windows().PointerShape(), win::CursorShape::kArrow);
  EXPECT_FALSE(link->IsHovering());
  Click(ValuePoint(*link, 5, 7));
  EXPECT_TRUE(prompt.Log().empty());
  EXPECT_FALSE(link->IsVisited());
  EXPECT_EQ(FindText(WindowLines(*link), "/data/ZK-470/help.pdf").color, GetSysColor(SysColor::kGrayText));
}

TEST_F(OptionTreeItemsTest, HyperlinkWindowFollowsExpansionAndKeepsTheHand) {
  COptionTreeHyperlinkItem loose;
  EXPECT_EQ(loose.GetItemKind(), kOptionItemPlain);
  EXPECT_EQ(loose.GetNormalColor(), kNormal);
  EXPECT_FALSE(loose.GetLinkCursor().has_value());
  EXPECT_FALSE(loose.CreateHyperlinkWindow(0, "x", kNormal, kHover, kVisited));

  COptionTreeHyperlinkItem* link = AddLink("https://example.org", 0);
  EXPECT_FALSE(link->IsWindowVisible());  // created hidden until expanded into view
  EXPECT_EQ(link->GetLinkCursor(), win::CursorShape::kHand);
  link->SetLinkCursor(win::CursorShape::kIBeam);
  link->SetLinkCursor(std::nullopt);
  EXPECT_EQ(link->GetLinkCursor(), win::CursorShape::kHand);
  Show();
  EXPECT_TRUE(link->IsWindowVisible());
  category_->Expand(false);
  EXPECT_FALSE(link->IsWindowVisible());
  EXPECT_FALSE(link->CreateHyperlinkWindow(0, "y", kNormal, kHover, kVisited));
}

TEST_F(OptionTreeItemsTest, StaticItemShowsItsTextAndHasNoEditor) {
  struct Case {
    const char* name;
    const char* text;
    bool read_only;
    bool enabled;
    gfx::Color color;
  };
  const Case kCases[] = {
      {"plain", "ZK-470 3.2", false, true, GetSysColor(SysColor::kBtnText)},
      {"read-only", "ZK-470 3.2", true, true, GetSysColor(SysColor::kGrayText)},
      {"disabled control", "ZK-470 3.2", false, false, GetSysColor(SysColor::kGrayText)},
      {"empty", "", false, true, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto* item = Labelled(new COptionTreeStaticItem, "Version");
    EXPECT_FALSE(item->SetOptions(0x10));
    tree_.InsertItem(item, category_);
    EXPECT_TRUE(item->SetOptions(0x10));
    EXPECT_TRUE(item->HasOption(0x10));
    item->SetStaticText(c.text);
    item->SetReadOnly(c.read_only);
    tree_.EnableWindow(c.enabled);
    Show();
    const std::vector<std::string> lines = ListLines();
    if (*c.text == 0) {
      // Nothing between the divider line and the end of the row's value clip.
      EXPECT_FALSE(HasLine(lines, "DrawText " + std::to_string(item->GetValueRect().left)));
    } else {
      const DrawnText text = FindText(lines, c.text);
      ASSERT_TRUE(text.found);
      EXPECT_EQ(text.color, c.color);
    }
    tree_.EnableWindow(true);
    // Activation opens nothing: the focus stays on the list.
    Click(ValuePoint(*item, 5, 10));
    EXPECT_EQ(tree_.GetFocusedItem(), item);
    EXPECT_EQ(win::Windows().GetFocus(), &tree_.GetListWindow());
    EXPECT_TRUE(tree_.GetListWindow().Children().empty());
    tree_.DeleteItem(item);
  }
}

// ---------------------------------------------------------------------------------------------
// Golden display list

TEST_F(OptionTreeItemsTest, GoldenTreeOfEveryKind) {
  COptionTreeCheckItem* check = AddCheck("Pacemaker", CheckOptionDrawBox | CheckOptionDrawText);
  check->SetCheck(1);
  AddCheck("Paced beats only", CheckOptionDrawBox);
  COptionTreeRadioItem* radio = AddRadio("Units", {{"Millimetres", 0}, {"Inches", 1}, {"Pixels", 0}});
  AddLink("https://example.org/zk470", HyperlinkOptionUnderlineHover | HyperlinkOptionHoverColor);
  auto* version = Labelled(new COptionTreeStaticItem, "Version");
  version->SetStaticText("3.2.1");
  tree_.InsertItem(version, category_);
  Show();
  Click(ValuePoint(*radio, 60, 40));
  Click(ValuePoint(*radio, 5, 2 + 32 + 7));
  Paint();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_a_items", testsupport::RecordedScreen(tree_));
}

}  // namespace
}  // namespace dialogs
