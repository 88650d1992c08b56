#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "gfx/recording_canvas.h"
#include "support/screen_golden.h"
#include "win/window.h"

namespace dialogs {
namespace {

// The dialog that hosts a tree: records every notification and answers vetoes by code.
class NotifySink : public win::Window {
 public:
  struct Received {
    int code;
    int item_id;  // 0: none; kept as the id, the item may be gone by the time the test looks
  };
  std::vector<Received> received;
  std::map<int, int> answers;

  std::vector<int> Codes(int code) const {
    std::vector<int> ids;
    for (const Received& r : received) {
      if (r.code == code) ids.push_back(r.item_id);
    }
    return ids;
  }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == win::kWmNotify) {
      const auto* n = reinterpret_cast<const COptionTreeNotify*>(lparam);
      received.push_back({n->header.code, n->item != nullptr ? n->item->GetItemID() : 0});
      const auto it = answers.find(n->header.code);
      return it == answers.end() ? 0 : it->second;
    }
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

// A kind that counts the calls the base makes into it.
class CountingItem : public COptionTreeItem {
 public:
  int activated = 0;
  int committed = 0;
  int deleted_editor = 0;
  void OnActivate() override { ++activated; }
  void OnCommit() override { ++committed; }
  void OnDeleteItem() override { ++deleted_editor; }
};

COptionTreeItem* Plain(std::string_view label, std::string_view info = {}) {
  auto* item = new COptionTreeItem;
  item->SetLabelText(label);
  item->SetInfoText(info);
  return item;
}

class OptionTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sink_.Create(nullptr, {0, 0, 400, 300}, win::kWsPopup | win::kWsVisible));
  }
  void TearDown() override {
    tree_.DestroyWindow();
    sink_.DestroyWindow();
  }

  // A tree width x height with notifications on; the list fills it unless options show the pane.
  void MakeTree(int width, int height, uint32_t options = OptionShadeExpandColumn | OptionShadeCategories) {
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, width, height}, &sink_, options, 100));
    tree_.SetNotifyWindow(1, &sink_);
  }

  // Two categories with three leaves each, all expanded, painted.
  void FillSmallTree() {
    for (int c = 0; c < 2; ++c) {
      COptionTreeItem* category = tree_.InsertItem(Plain("Category " + std::to_string(c + 1)));
      for (int i = 0; i < 3; ++i)
        leaves_.push_back(tree_.InsertItem(Plain("Option " + std::to_string(c * 3 + i + 1)), category));
      categories_.push_back(category);
    }
    tree_.ExpandAll();
    Paint();
  }

  void Paint() {
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }

  void Click(gfx::Point p, uint32_t message = win::kWmLButtonDown) {
    tree_.GetListWindow().SendMessage(message, 0, win::MakeLParam(p.x, p.y));
  }

  void Key(int key) { tree_.GetListWindow().SendMessage(win::kWmKeyDown, key, 0); }

  NotifySink sink_;
  COptionTree tree_;
  std::vector<COptionTreeItem*> categories_;
  std::vector<COptionTreeItem*> leaves_;
};

TEST_F(OptionTreeTest, IdsFollowInsertionAndAreNeverReused) {
  MakeTree(300, 200);
  COptionTreeItem* a = tree_.InsertItem(Plain("a"));
  COptionTreeItem* b = tree_.InsertItem(Plain("b"));
  COptionTreeItem* c = tree_.InsertItem(Plain("c"));
  EXPECT_EQ(a->GetItemID(), 1);
  EXPECT_EQ(b->GetItemID(), 2);
  EXPECT_EQ(tree_.InsertItem(nullptr), nullptr);
  tree_.DeleteItem(b);
  EXPECT_EQ(tree_.InsertItem(Plain("d"))->GetItemID(), 4);
  EXPECT_EQ(tree_.GetRootItem()->GetChild(), a);
  EXPECT_EQ(a->GetSibling(), c);
  EXPECT_EQ(tree_.FindItem(2), nullptr);
  EXPECT_EQ(tree_.FindItem(3), c);
  EXPECT_EQ(sink_.Codes(NotifyItemInserted), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(sink_.Codes(NotifyItemDeleting), (std::vector<int>{2}));
}

TEST_F(OptionTreeTest, DeletingACategoryDeletesItsChildrenFirstAndClearsTheFocus) {
  MakeTree(300, 200);
  FillSmallTree();
  auto* editor = new CountingItem;
  tree_.InsertItem(editor, leaves_[1]);
  tree_.SetFocusedItem(leaves_[1]);
  sink_.received.clear();
  tree_.DeleteItem(categories_[0]);
  EXPECT_EQ(tree_.GetFocusedItem(), nullptr);
  EXPECT_EQ(tree_.GetRootItem()->GetChild(), categories_[1]);
  EXPECT_EQ(sink_.Codes(NotifyItemDeleting), (std::vector<int>{1, 2, 3, 9, 4}));
  EXPECT_EQ(tree_.FindItem(9), nullptr);
  tree_.DeleteAllItems();
  EXPECT_EQ(tree_.GetRootItem()->GetChild(), nullptr);
}

TEST_F(OptionTreeTest, SetColumnKeepsTheDividerInsideTheControl) {
  struct Case {
    const char* name;
    bool created;
    int value;
    int want;
  };
  constexpr Case kCases[] = {{"left edge", true, 5, 16},
                             {"right edge", true, 1000, 284},
                             {"inside", true, 120, 120},
                             {"unsized", false, 1000, 1000},
                             {"unsized left", false, 5, 16}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    COptionTree tree;
    if (c.created) {
      ASSERT_TRUE(tree.Create(win::kWsChild | win::kWsVisible, {0, 0, 300, 200}, &sink_, 0, 7));
    }
    tree.SetColumn(c.value);
    EXPECT_EQ(tree.GetColumn(), c.want);
  }
}

TEST_F(OptionTreeTest, HitTestNamesThePartOfTheRow) {
  MakeTree(300, 400);
  FillSmallTree();
  auto* grandchild = tree_.InsertItem(Plain("deep"), leaves_[0]);
  leaves_[0]->Expand(true);
  Paint();
  ASSERT_TRUE(tree_.IsItemShown(grandchild));
  // Rows: category 0..20, leaf 1 21..41 (with a child), its child 42..62.
  struct Case {
    const char* name;
    gfx::Point p;
    int want;
  };
  const Case kCases[] = {
      {"divider on a leaf", {146, 25}, HitDivider},
      {"divider edge", {155, 25}, HitDivider},
      {"value", {156, 25}, HitValue},
      {"label", {60, 25}, HitLabel},
      {"expand box", {6, 28}, HitExpandBox},
      {"left of box", {2, 28}, HitLabel},
      {"divider on a category", {150, 5}, HitLabel},
      {"value on a category", {200, 5}, HitValue},
      {"below the last row", {60, 390}, HitNowhere},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tree_.HitTest(c.p), c.want);
  }
  EXPECT_EQ(tree_.FindShownItemAt({60, 50}), grandchild);
  // Children of a category are not indented; deeper levels are.
  EXPECT_EQ(leaves_[0]->GetPosition(), (gfx::Point{0, 21}));
  EXPECT_EQ(grandchild->GetPosition(), (gfx::Point{16, 42}));
}

TEST_F(OptionTreeTest, VetoesKeepStateButClicksStillSelect) {
  MakeTree(300, 300);
  FillSmallTree();
  auto* item = new CountingItem;
  item->SetLabelText("edit");
  tree_.InsertItem(item, categories_[1]);
  Paint();
  const gfx::Point value_of_item{200, item->GetPosition().y + 5};
  sink_.answers = {{NotifyExpanding, 1}, {NotifyDividerDrag, 1}, {NotifyActivating, 1}};
  Click({6, 21 * 0 + 8});  // category 1 has a hollow box at the row's top
  Key(win::kVkLeft);
  EXPECT_TRUE(categories_[0]->IsExpanded());
  Click({150, 25});
  EXPECT_FALSE(tree_.GetListWindow().IsDraggingDivider());
  Click(value_of_item);
  EXPECT_EQ(item->activated, 0);
  EXPECT_EQ(tree_.GetFocusedItem(), item);
  EXPECT_TRUE(item->IsSelected());

  sink_.answers.clear();
  Click(value_of_item);
  EXPECT_EQ(item->activated, 1);
  item->SetReadOnly(true);
  Click(value_of_item);
  EXPECT_EQ(item->activated, 1);
  Click({6, 8});
  EXPECT_FALSE(categories_[0]->IsExpanded());
}

TEST_F(OptionTreeTest, NoNotificationWithoutTheBitOrAWindow) {
  MakeTree(300, 200);
  tree_.SetNotifyWindow(0, &sink_);
  sink_.answers = {{NotifyExpanding, 1}};
  FillSmallTree();
  EXPECT_TRUE(sink_.received.empty());
  Click({6, 8});
  EXPECT_FALSE(categories_[0]->IsExpanded());  // the veto is not asked for
  tree_.SetNotifyWindow(1, nullptr);
  EXPECT_EQ(tree_.SendNotify(NotifyExpanding, categories_[0]), 0);
  EXPECT_TRUE(sink_.received.empty());
}

TEST_F(OptionTreeTest, DividerDragIsClampedOnRelease) {
  MakeTree(300, 200);
  FillSmallTree();
  const int right = tree_.GetListWindow().GetClientRect().right;
  struct Case {
    const char* name;
    int drop_x;
    int want;
  };
  const Case kCases[] = {{"far left", 10, 41}, {"inside", 100, 100}, {"far right", 299, right - 25}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const int before = tree_.GetColumn();
    Click({before + 2, 25});
    ASSERT_TRUE(tree_.GetListWindow().IsDraggingDivider());
    EXPECT_EQ(win::Windows().GetCapture(), &tree_.GetListWindow());
    Click({c.drop_x, 25}, win::kWmMouseMove);
    EXPECT_EQ(tree_.GetColumn(), before);  // rows move only on release
    Click({c.drop_x, 25}, win::kWmLButtonUp);
    EXPECT_FALSE(tree_.GetListWindow().IsDraggingDivider());
    EXPECT_EQ(tree_.GetColumn(), c.want);
  }
}

TEST_F(OptionTreeTest, PointerShowsSizingOverTheDividerAndAHandOverExpandBoxes) {
  MakeTree(300, 200);
  FillSmallTree();
  const gfx::Point list_origin = tree_.GetListWindow().ClientToScreen(gfx::Point{0, 0});
  const gfx::Point sink_origin = sink_.ClientToScreen(gfx::Point{0, 0});
  auto move_to = [&](gfx::Point list_point) {
    const gfx::Point in_sink{list_point.x + list_origin.x - sink_origin.x,
                             list_point.y + list_origin.y - sink_origin.y};
    win::Windows().MouseInput(sink_, win::kWmMouseMove, in_sink);
    return win::Windows().PointerShape();
  };
  const gfx::Rect box = categories_[0]->GetExpandBox();
  struct Case {
    const char* name;
    gfx::Point point;
    win::CursorShape want;
  };
  const Case kCases[] = {{"divider", {tree_.GetColumn(), 25}, win::CursorShape::kSizeWE},
                         {"label", {60, 25}, win::CursorShape::kArrow},
                         {"expand box", {box.left + 2, box.top + 2}, win::CursorShape::kHand},
                         {"value", {tree_.GetColumn() + 40, 25}, win::CursorShape::kArrow}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(move_to(c.point), c.want);
  }
}

TEST_F(OptionTreeTest, DoubleClickOnTheDividerFitsTheWidestLabel) {
  MakeTree(300, 200);
  FillSmallTree();
  leaves_[2]->SetLabelText("A rather long label");
  Paint();
  const gfx::Rect widest = tree_.GetWidestLabelRect();
  EXPECT_EQ(widest, leaves_[2]->GetLabelRect());
  Click({tree_.GetColumn(), 25}, win::kWmLButtonDblClk);
  EXPECT_EQ(tree_.GetColumn(), widest.right + 5);

  // A label shortened at a divider beyond the limit still cannot push it past the limit.
  leaves_[2]->SetLabelText(std::string(80, 'W'));
  tree_.SetColumn(1000);
  Paint();
  Click({tree_.GetColumn(), 25}, win::kWmLButtonDblClk);
  EXPECT_EQ(tree_.GetColumn(), tree_.GetListWindow().GetClientRect().right - 25);
}

TEST_F(OptionTreeTest, WheelScrollsOneLineAndNothingWhenAllFits) {
  MakeTree(300, 100);
  FillSmallTree();  // 8 rows of 21 in 100 pixels
  win::ScrollInfo info;
  ASSERT_TRUE(tree_.GetListWindow().GetScrollInfo(win::kSbVert, info));
  EXPECT_EQ(info.max, 8 * 21);
  tree_.GetListWindow().SendMessage(win::kWmMouseWheel, static_cast<win::WParam>(-240 & 0xFFFF) << 16, 0);
  EXPECT_EQ(tree_.GetOrigin().y, 21);
  tree_.GetListWindow().SendMessage(win::kWmMouseWheel, static_cast<win::WParam>(240) << 16, 0);
  EXPECT_EQ(tree_.GetOrigin().y, 0);

  categories_[0]->Expand(false);
  categories_[1]->Expand(false);
  tree_.UpdateList();
  tree_.GetListWindow().SendMessage(win::kWmMouseWheel, static_cast<win::WParam>(-240 & 0xFFFF) << 16, 0);
  EXPECT_EQ(tree_.GetOrigin().y, 0);
}

TEST_F(OptionTreeTest, EnsureVisibleExpandsAncestorsAndScrollsToTheRow) {
  MakeTree(300, 100);
  FillSmallTree();
  categories_[1]->Expand(false);
  tree_.UpdateList();
  Paint();
  tree_.EnsureVisible(leaves_[5]);
  EXPECT_TRUE(categories_[1]->IsExpanded());
  Paint();
  tree_.EnsureVisible(leaves_[3]);
  const int client_height = tree_.GetListWindow().GetClientRect().Height();
  // Its bottom edge ends one row above the list's bottom.
  EXPECT_EQ(tree_.GetOrigin().y, leaves_[3]->GetPosition().y + 2 * 21 - client_height);
  Paint();
  // The last row cannot scroll past the end of the range.
  tree_.EnsureVisible(leaves_[5]);
  EXPECT_EQ(tree_.GetOrigin().y, 8 * 21 - (client_height + 1));
  Paint();
  tree_.EnsureVisible(categories_[0]);
  EXPECT_EQ(tree_.GetOrigin().y, 0);
}

TEST_F(OptionTreeTest, KeysMoveTheFocusThroughTheShownRows) {
  MakeTree(300, 300);
  FillSmallTree();
  for (int i = 0; i < 4; ++i) tree_.InsertItem(Plain("extra"), categories_[1]);
  Paint();
  struct Case {
    const char* name;
    COptionTreeItem* start;
    int key;
    int want_id;  // 0: none
  };
  // Shown order by id: 1 cat, 2 3 4, 5 cat, 6 7 8, 9 10 11 12.
  const Case kCases[] = {
      {"right on a leaf goes six rows", leaves_[0], win::kVkRight, 8},
      {"left on a leaf goes one up", leaves_[1], win::kVkLeft, 2},
      {"down on the last row stays", tree_.FindItem(12), win::kVkDown, 12},
      {"up with no focus takes the last", nullptr, win::kVkUp, 12},
      {"down with no focus takes the first", nullptr, win::kVkDown, 1},
      {"home", leaves_[4], win::kVkHome, 1},
      {"end", leaves_[0], win::kVkEnd, 12},
      {"tab on a category does nothing", categories_[1], win::kVkTab, 5},
      {"tab on a leaf moves on", leaves_[0], win::kVkTab, 3},
      {"page down", leaves_[0], win::kVkNext, 8},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    tree_.SetFocusedItem(c.start);
    Key(c.key);
    COptionTreeItem* focused = tree_.GetFocusedItem();
    EXPECT_EQ(focused != nullptr ? focused->GetItemID() : 0, c.want_id);
    if (focused != nullptr && focused != c.start) {
      EXPECT_TRUE(focused->IsSelected());
    }
  }
}

TEST_F(OptionTreeTest, CollapsingHidesTheFocusOnlyAfterThePaint) {
  MakeTree(300, 300);
  FillSmallTree();
  Click({60, 25});
  EXPECT_EQ(tree_.GetFocusedItem(), leaves_[0]);
  EXPECT_EQ(sink_.Codes(NotifySelectionChanged), (std::vector<int>{2}));
  tree_.SetFocusedItem(categories_[0]);
  Key(win::kVkLeft);
  EXPECT_FALSE(categories_[0]->IsExpanded());
  EXPECT_EQ(tree_.GetFocusedItem(), categories_[0]);
  // Clicking below the last row clears the focus.
  sink_.received.clear();
  Paint();
  Click({60, 290});
  EXPECT_EQ(tree_.GetFocusedItem(), nullptr);
  EXPECT_EQ(sink_.Codes(NotifySelectionChanged), (std::vector<int>{0}));
}

TEST_F(OptionTreeTest, CommitNotifiesOncePerActivation) {
  MakeTree(300, 200);
  auto* item = new CountingItem;
  item->CommitChanges();  // not inserted: no control to tell
  EXPECT_EQ(item->committed, 0);
  tree_.InsertItem(item);
  item->CommitChanges();  // committed already
  EXPECT_EQ(item->committed, 0);
  item->Activate();
  EXPECT_TRUE(item->IsActivated());
  item->CommitChanges();
  item->CommitChanges();
  EXPECT_FALSE(item->IsActivated());
  EXPECT_EQ(item->committed, 1);
  EXPECT_EQ(sink_.Codes(NotifyItemChanged), (std::vector<int>{1}));

  auto* fresh = new CountingItem;
  tree_.InsertItem(fresh);
  fresh->CommitChanges();
  fresh->CommitChanges();
  EXPECT_EQ(sink_.Codes(NotifyItemChanged), (std::vector<int>{1, 2}));
  tree_.DeleteAllItems();
}

TEST(COptionTreeItem, TotalHeightCountsExpandedChildrenOnly) {
  COptionTree tree;
  COptionTreeItem* a = tree.InsertItem(Plain("a"));
  COptionTreeItem* b = tree.InsertItem(Plain("b"), a);
  tree.InsertItem(Plain("c"), b);
  b->SetHeight(40);
  EXPECT_EQ(a->GetTotalHeight(), 21);
  a->Expand(true);
  EXPECT_EQ(a->GetTotalHeight(), 61);
  b->Expand(true);
  EXPECT_EQ(a->GetTotalHeight(), 82);
}

TEST(ShortenText, CutsToTheWidthWithDots) {
  gfx::RecordingCanvas canvas;
  canvas.SelectFont(COptionTree::GetNormalFont());
  const std::string long_label(1000, 'x');  // far beyond any fixed buffer
  struct Case {
    const char* name;
    std::string text;
    int width;
  };
  const Case kCases[] = {{"fits", "Speed", 200},
                         {"long", long_label, 120},
                         {"narrow", "Amplitude", 1},
                         {"umlauts", "Überwachung ärztlich", 60},
                         {"empty", "", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string shown = ShortenText(canvas, c.text, c.width, 1);
    if (c.text.empty() || canvas.GetTextExtent(c.text).cx + 1 <= c.width) {
      EXPECT_EQ(shown, c.text);
      continue;
    }
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    const std::string kept = shown.substr(0, shown.size() - 3);
    EXPECT_EQ(c.text.compare(0, kept.size(), kept), 0);
    if (c.width > 1) {
      EXPECT_LE(canvas.GetTextExtent(shown).cx + 1, c.width);
    }
  }
  EXPECT_EQ(ShortenText(canvas, "Amplitude", 1, 1), "A...");
  EXPECT_EQ(ShortenText(canvas, "Ü", 1, 1), "Ü...");
}

TEST_F(OptionTreeTest, BlankLabelsDrawNoTextAndDisabledLabelsAreGrey) {
  MakeTree(300, 200);
  FillSmallTree();
  leaves_[0]->SetLabelText("   ");
  Paint();
  EXPECT_EQ(leaves_[0]->GetLabelRect(), gfx::Rect{});
  EXPECT_FALSE(leaves_[1]->GetLabelRect().IsEmpty());
  tree_.EnableWindow(false);
  Paint();
  const std::vector<std::string> lines = testsupport::RecordedScreen(tree_);
  bool grey_text = false;
  for (const std::string& line : lines) {
    if (line.find("SetTextColor") == std::string::npos) continue;
    grey_text |= line.find("6d6d6d") != std::string::npos || line.find("6D6D6D") != std::string::npos;
  }
  EXPECT_TRUE(grey_text);
  tree_.EnableWindow(true);
}

TEST_F(OptionTreeTest, InfoPaneShowsTheFocusedItemOrTheDefaultText) {
  MakeTree(300, 200, OptionShowInfoPane);
  FillSmallTree();
  EXPECT_EQ(tree_.GetListWindow().GetWindowRectInParent(), (gfx::Rect{0, 0, 300, 150}));
  EXPECT_EQ(tree_.GetInfoWindow().GetWindowRectInParent(), (gfx::Rect{0, 150, 300, 200}));
  const auto pane_text = [this] {
    tree_.GetInfoWindow().Invalidate();
    win::Windows().RunPending();
    std::string all;
    for (const std::string& line : win::Windows().RecordOf(tree_.GetInfoWindow())->paint->Lines())
      all += line + "\n";
    return all;
  };
  EXPECT_EQ(pane_text().find("No Item Selected"), std::string::npos);
  tree_.SetDefaultInfoText(1);
  EXPECT_NE(pane_text().find("No Item Selected"), std::string::npos);
  leaves_[0]->SetInfoText("Beats per minute above which a run counts as fast.");
  tree_.SetFocusedItem(leaves_[0]);
  const std::string text = pane_text();
  EXPECT_NE(text.find("Option 1"), std::string::npos);
  EXPECT_NE(text.find("Beats per minute"), std::string::npos);
  tree_.ShowInfoPane(0);
  EXPECT_EQ(tree_.GetListWindow().GetWindowRectInParent(), (gfx::Rect{0, 0, 300, 200}));
  EXPECT_FALSE(tree_.GetInfoWindow().IsWindowVisible());
}

TEST_F(OptionTreeTest, GoldenSmallTree) {
  MakeTree(300, 250,
           OptionShowInfoPane | OptionShadeExpandColumn | OptionShadeCategories | OptionDefaultInfoText);
  FillSmallTree();
  leaves_[1]->SetLabelText("A label far too wide for its column of the tree");
  tree_.InsertItem(Plain("Nested"), leaves_[3]);
  leaves_[3]->Expand(true);
  categories_[1]->Expand(true);
  tree_.UpdateList();
  Click({60, 25});
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_small", testsupport::RecordedScreen(tree_));
}

}  // namespace
}  // namespace dialogs
