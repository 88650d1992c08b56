#include "views/base_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "views/view_test_fixture.h"
#include "win/command_target.h"

namespace {

using Lines = std::vector<std::string>;
using BaseViewTest = viewstest::ViewFixture;
using viewstest::TestView;

TEST_F(BaseViewTest, CreationFailsWithoutALayoutToShow) {
  TestView no_list(doc_.get(), nullptr, &log_);
  EXPECT_FALSE(no_list.Create(nullptr, {0, 0, 800, 600}, win::kWsVisible));
  EXPECT_FALSE(no_list.IsWindow());

  CViewConfigurations empty;
  TestView empty_list(doc_.get(), &empty, &log_);
  EXPECT_FALSE(empty_list.Create(nullptr, {0, 0, 800, 600}, win::kWsVisible));
}

TEST_F(BaseViewTest, SizingLaysTheLayoutOutAgainExceptWhenMinimized) {
  ASSERT_TRUE(CreateView());
  struct Step {
    const char* name;
    void (*act)(TestView&);
    Lines want;
  };
  const Step steps[] = {
      {"resize",
       [](TestView& v) {
         v.MoveWindow({0, 0, 500, 400});
       },
       {"rect a 0,0,500,400", "rect a1 0,0,10,10"}},
      {"minimize", [](TestView& v) { v.ShowWindow(win::kSwMinimize); }, {}},
      {"restore",
       [](TestView& v) { v.ShowWindow(win::kSwRestore); },
       {"rect a 0,0,500,400", "rect a1 0,0,10,10"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    log_.lines.clear();
    step.act(*view_);
    EXPECT_EQ(log_.Only("rect"), step.want);
  }
}

TEST_F(BaseViewTest, EveryDocumentUpdateReachesEveryAreaUntilTheViewGoes) {
  ASSERT_TRUE(CreateView());
  log_.lines.clear();
  doc_->UpdateAllViews(nullptr, hint::kSpanMoved);
  EXPECT_EQ(log_.lines, (Lines{"notify a 2057", "notify a1 2057"}));

  // The view leaves the document; the layouts and their areas stay with the list.
  view_.reset();
  log_.lines.clear();
  doc_->UpdateAllViews(nullptr, hint::kSpanMoved);
  EXPECT_TRUE(log_.lines.empty());
  EXPECT_NE(Node(0, 0)->GetArea(), nullptr);
}

TEST_F(BaseViewTest, PaintingTheViewDrawsNoAreaOfItsOwn) {
  ASSERT_TRUE(CreateView());
  log_.lines.clear();
  gfx::RecordingCanvas canvas;
  view_->PaintInto(canvas, {0, 0, 800, 600}, false);
  EXPECT_TRUE(log_.Only("draw").empty());
}

// A child window of the view with a handler for the view's own command.
class CommandChild : public win::Window {
 public:
  CommandChild(std::string name, viewstest::EventLog* log) {
    AddCommand(TestView::kOwnCommand, [name, log] { log->lines.push_back(name + " command"); });
  }
};

TEST_F(BaseViewTest, CommandsGoToTheFocusedChildFirst) {
  ASSERT_TRUE(CreateView());
  CommandChild first("first", &log_);
  CommandChild second("second", &log_);
  ASSERT_TRUE(first.Create(view_.get(), {0, 0, 10, 10}, win::kWsChild | win::kWsVisible));
  ASSERT_TRUE(second.Create(view_.get(), {10, 0, 20, 10}, win::kWsChild | win::kWsVisible));
  struct Case {
    const char* name;
    win::Window* focus;
    Lines want;
  };
  const Case cases[] = {
      {"second focused", &second, {"second command"}},
      {"first focused", &first, {"first command"}},
      {"the view focused", view_.get(), {"view command"}},
      {"nothing focused", nullptr, {"view command"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    win::Windows().SetFocus(c.focus);
    log_.lines.clear();
    EXPECT_TRUE(win::ExecuteCommand(*view_, TestView::kOwnCommand));
    EXPECT_EQ(log_.lines, c.want);
  }
  win::Windows().SetFocus(nullptr);
  first.DestroyWindow();
  second.DestroyWindow();
}

TEST_F(BaseViewTest, PrintAndPreviewRunThePrintLoopOverTheViewsHooks) {
  ASSERT_TRUE(CreateView());
  log_.lines.clear();
  EXPECT_TRUE(win::ExecuteCommand(*view_, cmd::kFilePrint));
  EXPECT_TRUE(win::ExecuteCommand(*view_, cmd::kFilePrintPreview));
  EXPECT_EQ(log_.lines, (Lines{"prepare print", "prepare preview"}));
}

TEST(ViewClosing, IsProcessStateThatAResetClears) {
  platform::ResetProcessState();
  EXPECT_FALSE(IsViewClosing());
  SetViewClosing(true);
  EXPECT_TRUE(IsViewClosing());
  platform::ResetProcessState();
  EXPECT_FALSE(IsViewClosing());
}

}  // namespace
