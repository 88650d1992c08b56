#include "views/layout_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/layout_test_nodes.h"
#include "views/view_area.h"
#include "win/window.h"

namespace {

using viewstest::EventLog;
using viewstest::TestLayout;
using viewstest::TestNode;
using viewstest::XP;
using viewstest::XS;
using viewstest::YP;
using viewstest::YS;
using Lines = std::vector<std::string>;

gfx::Rect RectOf(const CViewAreaConfig* node) { return node->GetArea()->StoredRect(); }

TEST(CViewAreaConfig, LaysOutTheWorkedExample) {
  EventLog log;
  TestLayout root(&log);
  TestNode* c0 = root.Add("0", {XP(0, 5), YP(0, 5)}, {100, 40}, {0, 0});
  TestNode* c1 = root.Add("1", {XS(0, 1, 5), YP(0, 5)}, {150, 40}, {1000, 0});
  TestNode* c2 = root.Add("2", {XP(0, 5), YS(0, 1, 5)}, {0, 100}, {1000, 500});
  ASSERT_TRUE(root.CreateAreas(nullptr));
  const gfx::Rect parent{10, 20, 810, 620};

  EXPECT_EQ(c0->AvailableWidth(parent), 685);
  EXPECT_EQ(c2->AvailableWidth(parent), 685);
  EXPECT_EQ(c0->AvailableHeight(parent), 505);
  EXPECT_EQ(c2->AvailableHeight(parent), 505);
  ASSERT_TRUE(root.Layout(parent));
  EXPECT_EQ(RectOf(c0), (gfx::Rect{15, 25, 115, 65}));
  EXPECT_EQ(RectOf(c1), (gfx::Rect{120, 25, 805, 65}));
  EXPECT_EQ(RectOf(c2), (gfx::Rect{15, 70, 700, 322}));
  EXPECT_EQ(c1->PlaceHorizontally(parent, 685), std::make_pair(120, 805));
  EXPECT_EQ(c2->PlaceVertically(parent, 505), std::make_pair(70, 322));
}

// One node alone in its parent: where it lands.
TEST(CViewAreaConfig, PlacesASingleNodeByItsAnchorsAndSizes) {
  struct Case {
    const char* name;
    gfx::Rect parent;
    CPosition position;
    gfx::Size min_size;
    gfx::Size per_mille;
    gfx::Rect want;
  };
  const Case cases[] = {
      {"far edge, fixed width",
       {10, 20, 810, 620},
       {XP(1, 5), YP(0, 5)},
       {50, 40},
       {0, 0},
       {755, 25, 805, 65}},
      {"far edge below", {0, 0, 800, 600}, {XP(0, 0), YP(1, 10)}, {50, 40}, {0, 0}, {0, 550, 50, 590}},
      {"fills the parent less its offset",
       {0, 0, 800, 600},
       {XP(0, 5), YP(0, 0)},
       {0, 0},
       {1000, 1000},
       {5, 0, 800, 600}},
      {"fixed width in a wide parent",
       {0, 0, 2000, 100},
       {XP(0, 0), YP(0, 0)},
       {100, 10},
       {0, 0},
       {0, 0, 100, 10}},
      {"fixed width in a narrow parent",
       {0, 0, 30, 100},
       {XP(0, 0), YP(0, 0)},
       {100, 10},
       {0, 0},
       {0, 0, 100, 10}},
      {"share truncated", {0, 0, 333, 100}, {XP(0, 0), YP(0, 0)}, {0, 0}, {500, 999}, {0, 0, 166, 99}},
      {"minimum beats a small share, past the far edge",
       {0, 0, 400, 100},
       {XP(0, 200), YP(0, 0)},
       {300, 10},
       {1000, 0},
       {200, 0, 500, 10}},
      {"negative offset adds to the available size",
       {0, 0, 800, 600},
       {XP(0, -10), YP(0, 0)},
       {0, 0},
       {1000, 0},
       {-10, 0, 800, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    TestLayout root(&log);
    TestNode* node = root.Add("n", c.position, c.min_size, c.per_mille);
    ASSERT_TRUE(root.CreateAreas(nullptr));
    ASSERT_TRUE(root.Layout(c.parent));
    EXPECT_EQ(RectOf(node), c.want);
  }
}

TEST(CViewAreaConfig, AnchorToALaterSiblingUsesItsPreviousRectangle) {
  EventLog log;
  TestLayout root(&log);
  TestNode* early = root.Add("early", {XS(1, 1, 0), YP(0, 0)}, {20, 10}, {0, 0});
  TestNode* late = root.Add("late", {XP(0, 100), YP(0, 0)}, {50, 10}, {0, 0});
  ASSERT_TRUE(root.CreateAreas(nullptr));
  // Before any layout the later sibling lies at (0, 0, its minimum size).
  EXPECT_EQ(RectOf(late), (gfx::Rect{0, 0, 50, 10}));

  ASSERT_TRUE(root.Layout({0, 0, 500, 100}));
  EXPECT_EQ(RectOf(early), (gfx::Rect{50, 0, 70, 10}));
  EXPECT_EQ(RectOf(late), (gfx::Rect{100, 0, 150, 10}));
  ASSERT_TRUE(root.Layout({0, 0, 500, 100}));
  EXPECT_EQ(RectOf(early), (gfx::Rect{150, 0, 170, 10}));
}

TEST(CViewAreaConfig, ChildrenOfANodeLieInItsRectangleAndWindowsLayOutTheirOwn) {
  EventLog log;
  TestLayout root(&log);
  TestNode* panel = root.Add("panel", {XP(0, 10), YP(0, 10)}, {200, 100}, {0, 0});
  TestNode* inner = panel->Add("inner", {XP(1, 0), YP(1, 0)}, {20, 20}, {0, 0});
  TestNode* host = root.Add("host", {XP(0, 300), YP(0, 0)}, {100, 100}, {0, 0});
  host->hosts_window = true;
  TestNode* hosted = host->Add("hosted", {XP(0, 0), YP(0, 0)}, {10, 10}, {0, 0});
  ASSERT_TRUE(root.CreateAreas(nullptr));
  log.lines.clear();

  ASSERT_TRUE(root.Layout({0, 0, 800, 600}));
  EXPECT_EQ(RectOf(inner), (gfx::Rect{190, 90, 210, 110}));
  EXPECT_EQ(RectOf(host), (gfx::Rect{300, 0, 400, 100}));
  EXPECT_EQ(log.Only("rect"),
            (Lines{"rect panel 10,10,210,110", "rect inner 190,90,210,110", "rect host 300,0,400,100"}));
  EXPECT_EQ(RectOf(hosted), (gfx::Rect{0, 0, 10, 10}));
}

TEST(CViewAreaConfig, EmptyRootLaysOutPaintsAndDispatchesNothing) {
  EventLog log;
  TestLayout root(&log);
  EXPECT_TRUE(root.CreateAreas(nullptr));
  EXPECT_TRUE(root.LayoutChildren({0, 0, 100, 100}));
  EXPECT_TRUE(root.Layout({0, 0, 100, 100}));
  gfx::RecordingCanvas dc;
  root.Paint(dc, {0, 0, 100, 100});
  EXPECT_TRUE(dc.Items().empty());
  EXPECT_EQ(root.BroadcastAll(areamsg::kLeftButtonDown, 0, 0), 0);
  EXPECT_FALSE(root.BroadcastUntilHandled(areamsg::kLeftButtonDown, 0, 0));
  EXPECT_EQ(root.Dispatch(true, areamsg::kLeftButtonDown, 0, 0), 0);
}

TEST(CViewAreaConfig, FailedFactoryStopsCreationAndANodeWithoutAreaStopsLayout) {
  EventLog log;
  TestLayout root(&log);
  TestNode* first = root.Add("first", {XP(0, 0), YP(0, 0)}, {10, 10}, {0, 0});
  TestNode* broken = root.Add("broken", {XP(0, 0), YP(0, 0)}, {10, 10}, {0, 0});
  broken->Add("below");
  TestNode* last = root.Add("last", {XP(0, 0), YP(0, 0)}, {10, 10}, {0, 0});
  broken->fail_create = true;

  EXPECT_FALSE(root.CreateAreas(nullptr));
  EXPECT_EQ(log.Only("create"), (Lines{"create first", "create broken"}));
  EXPECT_NE(first->GetArea(), nullptr);
  EXPECT_EQ(last->GetArea(), nullptr);

  log.lines.clear();
  EXPECT_FALSE(root.Layout({0, 0, 100, 100}));
  EXPECT_EQ(log.Only("rect"), (Lines{"rect first 0,0,10,10"}));
  // The areas made so far stay until the next destruction.
  root.DestroyAreas();
  EXPECT_EQ(first->GetArea(), nullptr);
}

TEST(CViewAreaConfig, MinimumSizeAddsFixedChildrenAndRaisesToSharedOnes) {
  struct Child {
    gfx::Size min_size;
    gfx::Size per_mille;
  };
  struct Case {
    const char* name;
    gfx::Size min_size;
    gfx::Size per_mille;
    std::vector<Child> children;
    int want_width;
    int want_height;
  };
  const Case cases[] = {
      {"fixed", {100, 40}, {0, 0}, {}, 100, 40},
      {"a share needs a larger parent", {100, 40}, {500, 300}, {}, 200, 133},
      {"fixed children add up", {10, 10}, {0, 0}, {{{30, 5}, {0, 0}}, {{40, 6}, {0, 0}}}, 70, 11},
      {"a shared child raises what came before",
       {0, 0},
       {0, 0},
       {{{50, 5}, {1000, 1000}}, {{30, 5}, {0, 0}}},
       80,
       10},
      {"a shared child after the sum only raises it",
       {0, 0},
       {0, 0},
       {{{30, 5}, {0, 0}}, {{50, 5}, {1000, 1000}}},
       50,
       5},
      {"own part larger than the children's", {500, 500}, {0, 0}, {{{30, 5}, {0, 0}}}, 500, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    TestNode node("n", &log, {}, c.min_size, c.per_mille);
    TestNode* raw = &node;
    for (const Child& child : c.children) {
      raw->AddChild(std::make_unique<TestNode>("c", &log, CPosition{}, child.min_size, child.per_mille));
    }
    EXPECT_EQ(node.GetMinWidth(), c.want_width);
    EXPECT_EQ(node.GetMinHeight(), c.want_height);
  }
}

TEST(CViewConfiguration, MinimumSizeIsTheLargestChildsAndNewAreasStartAtTheirMinimum) {
  EventLog log;
  TestLayout root(&log);
  root.Add("a", {}, {30, 70}, {0, 0});
  TestNode* b = root.Add("b", {}, {40, 5}, {0, 0});
  b->Add("b0", {}, {25, 10}, {0, 0});
  b->Add("b1", {}, {25, 10}, {0, 0});
  EXPECT_EQ(root.GetMinWidth(), 50);
  EXPECT_EQ(root.GetMinHeight(), 70);
  ASSERT_TRUE(root.CreateAreas(nullptr));
  EXPECT_EQ(RectOf(b), (gfx::Rect{0, 0, 50, 20}));
}

// Painting: children over their parent, only where the update rectangle meets the parent.
class PaintTest : public testing::Test {
 protected:
  void SetUp() override {
    panel_ = root_.Add("panel", {XP(0, 0), YP(0, 0)}, {100, 100}, {0, 0});
    inside_ = panel_->Add("inside", {XP(0, 10), YP(0, 10)}, {50, 50}, {0, 0});
    // Lies outside its parent.
    outside_ = panel_->Add("outside", {XP(0, 200), YP(0, 0)}, {50, 50}, {0, 0});
    host_ = panel_->Add("host", {XP(0, 0), YP(0, 0)}, {100, 100}, {0, 0});
    host_->hosts_window = true;
    ASSERT_TRUE(root_.CreateAreas(nullptr));
    ASSERT_TRUE(root_.Layout({0, 0, 1000, 700}));
    log_.lines.clear();
  }

  EventLog log_;
  TestLayout root_{&log_};
  TestNode* panel_ = nullptr;
  TestNode* inside_ = nullptr;
  TestNode* outside_ = nullptr;
  TestNode* host_ = nullptr;
  gfx::RecordingCanvas dc_;
};

TEST_F(PaintTest, DrawsParentThenChildrenWithinTheUpdate) {
  struct Case {
    const char* name;
    gfx::Rect update;
    Lines want;
  };
  const Case cases[] = {
      {"whole parent", {0, 0, 100, 100}, {"draw panel 0,0,100,100", "draw inside 10,10,60,60"}},
      {"corner", {50, 50, 300, 300}, {"draw panel 50,50,100,100", "draw inside 50,50,60,60"}},
      {"parent only", {70, 0, 100, 100}, {"draw panel 70,0,100,100"}},
      // The child outside its parent lies in this update, but its parent does not.
      {"outside the parent", {150, 0, 300, 100}, {}},
      {"touching the far edge", {100, 0, 300, 100}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.lines.clear();
    panel_->Paint(dc_, c.update);
    EXPECT_EQ(log_.lines, c.want);
  }
}

TEST_F(PaintTest, RootDrawsNothing) {
  root_.Paint(dc_, {0, 0, 1000, 700});
  EXPECT_TRUE(log_.lines.empty());
  root_.PaintChildren(dc_, {0, 0, 1000, 700});
  EXPECT_EQ(log_.lines, (Lines{"draw panel 0,0,100,100", "draw inside 10,10,60,60"}));
}

TEST(CViewAreaConfig, ClippedAreaDrawsInsideThePaintedPartAndTheClipReturns) {
  EventLog log;
  TestLayout root(&log);
  TestNode* clipped = root.Add("clipped", {XP(0, 10), YP(0, 10)}, {100, 100}, {0, 0}, true);
  TestNode* child = clipped->Add("child", {XP(0, 0), YP(0, 0)}, {100, 100}, {0, 0});
  TestNode* plain = root.Add("plain", {XP(0, 10), YP(0, 10)}, {100, 100}, {0, 0}, false);
  ASSERT_TRUE(root.CreateAreas(nullptr));
  ASSERT_TRUE(root.Layout({0, 0, 500, 500}));
  gfx::RecordingCanvas dc;
  const gfx::Rect before = dc.GetClipBox();

  clipped->Paint(dc, {50, 50, 300, 300});
  ASSERT_EQ(log.clip_boxes.size(), 2u);
  EXPECT_EQ(log.clip_boxes[0], (gfx::Rect{50, 50, 110, 110}));
  EXPECT_EQ(log.clip_boxes[1], before);  // the children draw after the clip is reset
  EXPECT_EQ(dc.GetClipBox(), before);
  plain->Paint(dc, {50, 50, 300, 300});
  ASSERT_EQ(log.clip_boxes.size(), 3u);
  EXPECT_EQ(log.clip_boxes[2], before);
  EXPECT_NE(child->GetArea(), nullptr);
}

// Area messages down a tree: root -> a (-> a1, a2), b, c.
class DispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    a_ = root_.Add("a");
    a1_ = a_->Add("a1");
    a_->Add("a2");
    b_ = root_.Add("b");
    c_ = root_.Add("c");
    ASSERT_TRUE(root_.CreateAreas(nullptr));
    log_.lines.clear();
  }

  EventLog log_;
  TestLayout root_{&log_};
  TestNode* a_ = nullptr;
  TestNode* a1_ = nullptr;
  TestNode* b_ = nullptr;
  TestNode* c_ = nullptr;
};

TEST_F(DispatchTest, SendStopsAtTheFirstTakerAndTellReachesEveryArea) {
  const uint32_t kMsg = areamsg::kPositionFromCursor;
  a1_->answers[kMsg] = {1, 0};
  c_->answers[kMsg] = {1, 0};

  EXPECT_TRUE(root_.BroadcastUntilHandled(kMsg, 0, 0));
  EXPECT_EQ(log_.lines, (Lines{"msg a 1014", "msg a1 1014"}));

  log_.lines.clear();
  EXPECT_EQ(root_.BroadcastAll(kMsg, 0, 0), 1);
  EXPECT_EQ(log_.lines, (Lines{"msg a 1014", "msg a1 1014", "msg a2 1014", "msg b 1014", "msg c 1014"}));

  // A node's own area is asked before those below it, and stops a send at once.
  a_->answers[kMsg] = {1, 0};
  log_.lines.clear();
  EXPECT_EQ(a_->Dispatch(true, kMsg, 0, 0), 1);
  EXPECT_EQ(log_.lines, (Lines{"msg a 1014"}));
  // Broadcasting from a node skips its own area.
  log_.lines.clear();
  EXPECT_EQ(a_->BroadcastAll(kMsg, 0, 0), 1);
  EXPECT_EQ(log_.lines, (Lines{"msg a1 1014", "msg a2 1014"}));
}

TEST_F(DispatchTest, UnansweredQueryKeepsTheSendersValue) {
  int kind = 7;
  EXPECT_FALSE(
      root_.BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0, reinterpret_cast<win::LParam>(&kind)));
  EXPECT_EQ(kind, 7);
  EXPECT_EQ(log_.lines.size(), 5u);

  b_->answers[areamsg::kSelectedSampleKind] = {1, 3};
  EXPECT_TRUE(
      root_.BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0, reinterpret_cast<win::LParam>(&kind)));
  EXPECT_EQ(kind, 3);
}

TEST_F(DispatchTest, NotifyReachesEveryAreaParentFirst) {
  root_.NotifyAll(nullptr, hint::kDocumentChanged, nullptr);
  EXPECT_EQ(log_.lines,
            (Lines{"notify a 1005", "notify a1 1005", "notify a2 1005", "notify b 1005", "notify c 1005"}));
}

TEST(CViewAreaConfig, SiblingAndFocusOrderWrapAround) {
  EventLog log;
  TestLayout root(&log);
  TestNode* n0 = root.Add("0");
  TestNode* n1 = root.Add("1");
  TestNode* n2 = root.Add("2");
  TestNode* n3 = root.Add("3");
  TestNode* alone = n0->Add("alone");
  n1->hosts_window = true;
  n3->hosts_window = true;

  EXPECT_EQ(n3->NextSibling(), n0);
  EXPECT_EQ(n0->PrevSibling(), n3);
  EXPECT_EQ(n1->NextSibling(), n2);
  EXPECT_EQ(alone->NextSibling(), alone);
  EXPECT_EQ(alone->PrevSibling(), alone);
  EXPECT_EQ(root.NextSibling(), nullptr);
  EXPECT_EQ(root.NextFocusable(), nullptr);

  // Without areas no node hosts a window.
  EXPECT_EQ(n0->NextFocusable(), nullptr);
  ASSERT_TRUE(root.CreateAreas(nullptr));
  struct Case {
    const char* name;
    CViewAreaConfig* from;
    CViewAreaConfig* next;
    CViewAreaConfig* prev;
  };
  const Case cases[] = {
      {"plain node", n0, n1, n3},
      {"window to the next window", n1, n3, n3},
      {"between windows", n2, n3, n1},
      {"last wraps", n3, n1, n1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.from->NextFocusable(), c.next);
    EXPECT_EQ(c.from->PrevFocusable(), c.prev);
  }
  n3->hosts_window = false;
  EXPECT_EQ(n1->NextFocusable(), n1);
  EXPECT_EQ(n1->PrevFocusable(), n1);
}

TEST(CViewAreaConfig, ParentWindowIsTheNearestHostedWindowAbove) {
  EventLog log;
  TestLayout root(&log);
  TestNode* host = root.Add("host");
  TestNode* group = host->Add("group");
  TestNode* leaf = group->Add("leaf");
  win::Window hosted;
  host->hosts_window = true;
  host->window = &hosted;
  ASSERT_TRUE(root.CreateAreas(nullptr));

  EXPECT_EQ(root.GetParentWindow(), nullptr);  // no view yet
  EXPECT_EQ(host->GetParentWindow(), nullptr);
  EXPECT_EQ(group->GetParentWindow(), &hosted);
  EXPECT_EQ(leaf->GetParentWindow(), &hosted);
}

TEST(CViewAreaConfig, TreeOperationsAndTheirLimits) {
  EventLog log;
  TestLayout root(&log);
  EXPECT_EQ(root.AddChild(nullptr), -1);
  EXPECT_EQ(root.GetChildCount(), 0);
  TestNode* a = root.Add("a", {XP(1, 3), YS(0, 1, -2)}, {4, 5}, {6, 7}, true);
  TestNode* b = root.Add("b");
  TestNode* b0 = b->Add("b0");
  EXPECT_EQ(root.IndexInParent(), -2);
  EXPECT_EQ(b->IndexInParent(), 1);
  EXPECT_EQ(b0->GetRoot(), &root);
  EXPECT_EQ(root.GetRoot(), &root);
  EXPECT_EQ(a->GetSibling(1), b);
  EXPECT_EQ(root.GetSibling(0), nullptr);
  EXPECT_EQ(root.GetChild(2), nullptr);

  const CViewAreaConfig copy(*a);
  EXPECT_EQ(copy.GetPosition(), a->GetPosition());
  EXPECT_EQ(copy.GetMinSize(), a->GetMinSize());
  EXPECT_EQ(copy.GetPerMille(), a->GetPerMille());
  EXPECT_TRUE(copy.GetClip());
  EXPECT_EQ(copy.GetParent(), nullptr);
  EXPECT_EQ(copy.GetChildCount(), 0);
  EXPECT_EQ(copy.GetArea(), nullptr);

  CViewConfigurations list;
  EXPECT_EQ(list.Add(nullptr), -1);
  EXPECT_EQ(list.Add(std::make_unique<CViewConfiguration>()), 0);
  EXPECT_EQ(list.Add(std::make_unique<CViewConfiguration>(2, 3, 4)), 1);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetAt(1)->GetKind(), 2);
  EXPECT_EQ(list.GetAt(1)->GetSubKind(), 3);
  EXPECT_EQ(list.GetAt(1)->GetFlag(), 4);
  EXPECT_EQ(list.GetAt(1)->GetPerMille(), (gfx::Size{100, 100}));
  EXPECT_EQ(list.GetAt(2), nullptr);
  EXPECT_EQ(list.GetAt(-1), nullptr);
}

TEST(CViewAreaConfig, OnLayoutOnlyAfterAttachAndDestructionClearsIt) {
  EventLog log;
  TestLayout root(&log);
  TestNode* a = root.Add("a", {XP(0, 1), YP(0, 2)}, {10, 10}, {0, 0});
  TestNode* a1 = a->Add("a1", {XP(0, 0), YP(0, 0)}, {5, 5}, {0, 0});
  ASSERT_TRUE(root.CreateAreas(nullptr));
  ASSERT_TRUE(root.Layout({0, 0, 100, 100}));
  EXPECT_TRUE(log.Only("onlayout").empty());
  EXPECT_EQ(log.Only("rect").size(), 2u);

  root.AttachData(nullptr);
  EXPECT_EQ(log.Only("attach"), (Lines{"attach a", "attach a1"}));
  EXPECT_TRUE(a->IsAttached());
  EXPECT_TRUE(a1->IsAttached());
  ASSERT_TRUE(root.Layout({0, 0, 100, 100}));
  EXPECT_EQ(log.Only("onlayout"), (Lines{"onlayout a 1,2,11,12", "onlayout a1 1,2,6,7"}));

  log.lines.clear();
  root.DestroyAreas();
  EXPECT_EQ(log.lines, (Lines{"destroy a1", "destroy a"}));
  EXPECT_FALSE(a->IsAttached());
  EXPECT_FALSE(a1->IsAttached());
  EXPECT_EQ(a->GetArea(), nullptr);

  // A node without an area passes the view to nobody below it.
  log.lines.clear();
  root.AttachData(nullptr);
  EXPECT_TRUE(log.lines.empty());
}

TEST(CViewConfiguration, DeletingALayoutDestroysItsAreasFirstAndEachNodeOnce) {
  EventLog log;
  auto root = std::make_unique<TestLayout>(&log);
  TestNode* a = root->Add("a");
  a->Add("a0")->Add("a00");
  root->Add("b");
  ASSERT_TRUE(root->CreateAreas(nullptr));
  log.lines.clear();

  root.reset();
  EXPECT_EQ(log.lines, (Lines{"destroy a00", "destroy a0", "destroy a", "destroy b"}));
  EXPECT_EQ(log.nodes_deleted, 5);
}

// Creating the areas of a layout that still holds areas replaces them children first, as
// destroying does: a child area may still reach the window its parent's area hosts.
TEST(CViewConfiguration, CreatingAgainReplacesTheOldAreasChildrenFirst) {
  EventLog log;
  auto root = std::make_unique<TestLayout>(&log);
  root->Add("a")->Add("a0");
  ASSERT_TRUE(root->CreateAreas(nullptr));
  log.lines.clear();

  ASSERT_TRUE(root->CreateAreas(nullptr));
  EXPECT_EQ(log.lines, (Lines{"destroy a0", "destroy a", "create a", "create a0"}));
}

}  // namespace
