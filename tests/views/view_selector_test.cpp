#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "views/layout_tree.h"
#include "views/view_area.h"
#include "views/view_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using SelectorTest = viewstest::ViewFixture;

TEST_F(SelectorTest, SelectionCreatesAttachesAndLaysOutInTheViewsClientArea) {
  ASSERT_TRUE(CreateView());
  // Creation selects layout 0; the first size message lays it out once more.
  const Lines want_first{"create a",           "create a1",
                         "attach a",           "attach a1",
                         "rect a 0,0,800,600", "onlayout a 0,0,800,600",
                         "rect a1 0,0,10,10",  "onlayout a1 0,0,10,10"};
  ASSERT_GE(log_.lines.size(), want_first.size());
  EXPECT_EQ(Lines(log_.lines.begin(), log_.lines.begin() + static_cast<ptrdiff_t>(want_first.size())),
            want_first);
  EXPECT_EQ(Selector().GetCurrent(), list_->GetAt(0));
  EXPECT_EQ(Selector().GetConfiguration(), list_->GetAt(0));
  EXPECT_EQ(list_->GetAt(0)->GetView(), view_.get());
  EXPECT_EQ(Node(0, 0)->GetParentWindow(), view_.get());

  log_.lines.clear();
  ASSERT_TRUE(Selector().Select(1));
  EXPECT_EQ(log_.lines, (Lines{"destroy a1", "destroy a", "create b", "attach b", "rect b 0,0,20,20",
                               "onlayout b 0,0,20,20"}));
  EXPECT_EQ(Selector().GetCurrentIndex(), 1);
  EXPECT_EQ(Selector().GetCurrent(), list_->GetAt(1));
  EXPECT_EQ(list_->GetAt(0)->GetView(), nullptr);
  EXPECT_EQ(Node(0, 0)->GetArea(), nullptr);
  EXPECT_FALSE(Node(0, 0)->IsAttached());
}

// An area that makes the view choose another screen while its own is being built (a hint sent
// from its attach) leaves that screen standing.
TEST_F(SelectorTest, NoScreenIsChosenWhileOneIsBeingBuilt) {
  ASSERT_TRUE(CreateView());
  bool chosen = true;
  dynamic_cast<viewstest::TestNode*>(Node(1, 0))->on_attach = [&](CBaseView* view) {
    chosen = view->GetSelector()->Select(0) || view->GetSelector()->Rebuild();
  };
  log_.lines.clear();
  ASSERT_TRUE(Selector().Select(1));
  EXPECT_FALSE(chosen);
  EXPECT_EQ(Selector().GetCurrentIndex(), 1);
  EXPECT_NE(Node(1, 0)->GetArea(), nullptr);
  EXPECT_EQ(log_.lines, (Lines{"destroy a1", "destroy a", "create b", "attach b", "rect b 0,0,20,20",
                               "onlayout b 0,0,20,20"}));
  EXPECT_TRUE(Selector().Select(0));
}

TEST_F(SelectorTest, ReselectingTheCurrentLayoutRecreatesAndLaysOutNothing) {
  ASSERT_TRUE(CreateView());
  const CViewArea* before = Node(0, 0)->GetArea();
  log_.lines.clear();
  EXPECT_TRUE(Selector().Select(0));
  EXPECT_TRUE(log_.lines.empty());
  EXPECT_EQ(Node(0, 0)->GetArea(), before);
}

TEST_F(SelectorTest, AnIndexOutsideTheListChangesNothing) {
  ASSERT_TRUE(CreateView());
  log_.lines.clear();
  for (const int index : {-1, 4, 100}) {
    SCOPED_TRACE(index);
    EXPECT_FALSE(Selector().Select(index));
    EXPECT_EQ(Selector().GetCurrentIndex(), 0);
    EXPECT_NE(Node(0, 0)->GetArea(), nullptr);
  }
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(SelectorTest, RebuildRecreatesEveryArea) {
  ASSERT_TRUE(CreateView());
  log_.lines.clear();
  EXPECT_TRUE(Selector().Rebuild());
  EXPECT_EQ(log_.lines, (Lines{"destroy a1", "destroy a", "create a", "create a1", "attach a", "attach a1",
                               "rect a 0,0,800,600", "onlayout a 0,0,800,600", "rect a1 0,0,10,10",
                               "onlayout a1 0,0,10,10"}));
  EXPECT_EQ(list_->GetAt(0)->GetView(), view_.get());
}

TEST_F(SelectorTest, WithoutViewOrCurrentLayoutNothingHappens) {
  CViewConfigSelector no_view(list_.get(), nullptr);
  EXPECT_FALSE(no_view.Select(0));
  EXPECT_FALSE(no_view.Rebuild());
  EXPECT_EQ(no_view.GetCurrent(), nullptr);
  EXPECT_EQ(no_view.NextOfSameKind(), nullptr);
  EXPECT_EQ(no_view.PrevOfSameKind(), nullptr);
  CViewConfigSelector fresh(list_.get(), view_.get());
  EXPECT_FALSE(fresh.Rebuild());
  EXPECT_EQ(fresh.GetCurrent(), nullptr);
  EXPECT_EQ(fresh.GetConfiguration(), list_->GetAt(0));
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(SelectorTest, APartlyCreatedLayoutStaysCurrent) {
  ASSERT_TRUE(CreateView());
  log_.lines.clear();
  EXPECT_TRUE(Selector().Select(2));
  EXPECT_EQ(Selector().GetCurrentIndex(), 2);
  EXPECT_EQ(log_.Only("create"), (Lines{"create c", "create d"}));
  // Attach reaches the one area there is; layout stops at the node without one.
  EXPECT_EQ(log_.Only("attach"), (Lines{"attach c"}));
  EXPECT_EQ(log_.Only("rect"), (Lines{"rect c 0,0,0,0"}));
  EXPECT_EQ(Node(2, 2)->GetArea(), nullptr);
}

TEST_F(SelectorTest, StepsAmongLayoutsOfTheSameKind) {
  ASSERT_TRUE(CreateView());
  struct Case {
    const char* name;
    int from;
    bool next;
    int want;
  };
  const Case cases[] = {
      {"next of kind (1, 1)", 0, true, 2},           {"next wraps to the first", 2, true, 0},
      {"previous wraps to the last", 0, false, 2},   {"alone of its kind", 1, true, 1},
      {"alone of its kind, backwards", 3, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Selector().Select(c.from));
    CViewConfiguration* got = c.next ? Selector().NextOfSameKind() : Selector().PrevOfSameKind();
    EXPECT_EQ(got, list_->GetAt(c.want));
    EXPECT_EQ(Selector().GetCurrentIndex(), c.want);
  }
}

}  // namespace
