#include "views/window_area.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "platform/worker.h"
#include "support/screen_golden.h"
#include "views/base_view.h"
#include "views/fill_areas.h"
#include "views/layout_test_nodes.h"
#include "views/pixel_grid.h"
#include "views/placeholder_area.h"
#include "win/messages.h"
#include "win/system_metrics.h"
#include "win/toolbar_window.h"

namespace {

using Log = std::vector<std::string>;

CPosition At(int x_ref, int x_edge, int y_ref, int y_edge) {
  return {CXPosition{x_ref, x_edge, 0}, CYPosition{y_ref, y_edge, 0}};
}

std::string Hex(gfx::Color color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", color);
  return text;
}

// A layout root that shows in a test's top-level window instead of a view.
class HostedRoot : public CViewConfiguration {
 public:
  explicit HostedRoot(win::Window* host) : CViewConfiguration(1, 1, 1), host_(host) {}
  win::Window* GetParentWindow() const override { return host_; }

 private:
  win::Window* host_;
};

// An area that writes down the area messages it receives (mouse points as they arrive) and
// answers with a fixed value.
class ProbeArea : public CViewArea {
 public:
  ProbeArea(CViewAreaConfig* config, std::string name, int answer, Log* log)
      : CViewArea(config, nullptr), name_(std::move(name)), answer_(answer), log_(log) {
    log_->push_back("create " + name_);
  }
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override {
    std::string entry = name_ + " " + std::to_string(msg);
    if (msg >= 512 && msg <= 517) {
      const auto* p = reinterpret_cast<const gfx::Point*>(lparam);
      entry += " at " + std::to_string(p->x) + "," + std::to_string(p->y) + " keys " + std::to_string(wparam);
    }
    log_->push_back(entry);
    return answer_;
  }

 private:
  std::string name_;
  int answer_;
  Log* log_;
};

class ProbeConfig : public CViewAreaConfig {
 public:
  ProbeConfig(std::string name, int answer, Log* log, const CPosition& position = {},
              gfx::Size min = {10, 10}, gfx::Size per_mille = {1000, 1000})
      : CViewAreaConfig(position, min, per_mille, false),
        name_(std::move(name)),
        answer_(answer),
        log_(log) {}
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc*) override {
    return std::make_unique<ProbeArea>(this, name_, answer_, log_);
  }

 private:
  std::string name_;
  int answer_;
  Log* log_;
};

// A hosted window with a top toolbar and a second bar docked left, which notes its creation and
// handles one command.
class BarredWnd : public CAreaWnd {
 public:
  static constexpr int kCommand = 0x8123;
  BarredWnd(CWindowAreaConfig* config, Log* log) : CAreaWnd(config, nullptr), log_(log) {
    AddCommand(kCommand, [this] { log_->push_back("command"); });
  }
  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override {
    log_->push_back("bar 1");
    auto bar = std::make_unique<win::ToolBarWindow>();
    EXPECT_EQ(*style, kDockAlignAny);
    EXPECT_EQ(*dock_bar, kDockBarTop);
    EXPECT_TRUE(bar->CreateToolBar(frame, {0, 0, 80, win::ToolBarWindow::kBarHeight}, 0xE800));
    return bar;
  }
  std::unique_ptr<win::Window> CreateSecondToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                   int* dock_bar) override {
    log_->push_back("bar 2");
    *dock_bar = kDockBarLeft;
    auto bar = std::make_unique<win::Window>();
    EXPECT_TRUE(bar->Create(&frame, {0, 0, 20, 20}, win::kWsChild | win::kWsVisible, 0xE801));
    return bar;
  }

 protected:
  int OnCreate() override {
    log_->push_back("window");
    return CAreaWnd::OnCreate();
  }

 private:
  Log* log_;
};

class BarredConfig : public CWindowAreaConfig {
 public:
  BarredConfig(const CPosition& position, gfx::Size min, bool focusable, Log* log)
      : CWindowAreaConfig(position, min, {0, 0}, focusable), log_(log) {}
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc*) override {
    return std::make_unique<BarredWnd>(this, log_);
  }

 private:
  Log* log_;
};

// A top-level 400 x 300 window standing in for the view; the test builds a layout in it.
class WindowAreaTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    ASSERT_TRUE(host_.Create(nullptr, {0, 0, 400, 300}, win::kWsVisible));
    root_ = std::make_unique<HostedRoot>(&host_);
  }
  void TearDown() override {
    SetViewClosing(false);
    root_.reset();
    host_.DestroyWindow();
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
  }

  // A fixed-size window node beside the previous child (or at the left edge for the first).
  CWindowAreaConfig* AddWindow(std::unique_ptr<CWindowAreaConfig> node) {
    CWindowAreaConfig* raw = node.get();
    root_->AddChild(std::move(node));
    return raw;
  }
  CPosition NextInRow() const {
    const int count = root_->GetChildCount();
    return count == 0 ? At(-1, 0, -1, 0) : At(count - 1, 1, -1, 0);
  }
  CWindowAreaConfig* AddPlainWindow(bool focusable, gfx::Size size = {100, 100}) {
    return AddWindow(std::make_unique<CWindowAreaConfig>(NextInRow(), size, gfx::Size{0, 0}, focusable));
  }
  void Show() {
    ASSERT_TRUE(root_->CreateAreas(nullptr));
    root_->AttachData(nullptr);
    ASSERT_TRUE(root_->Layout({0, 0, 400, 300}));
    win::Windows().RunPending();
  }
  static CWindowArea& AreaOf(const CViewAreaConfig* node) {
    auto* area = dynamic_cast<CWindowArea*>(node->GetArea());
    EXPECT_NE(area, nullptr);
    return *area;
  }
  static CAreaWnd& WindowOf(const CViewAreaConfig* node) { return *AreaOf(node).GetHostedWindow(); }
  static std::vector<std::string> FramePaint(const CViewAreaConfig* node) {
    const win::WindowSystem::Record* record = win::Windows().RecordOf(*AreaOf(node).GetFrame());
    return record != nullptr && record->paint ? record->paint->Lines() : std::vector<std::string>{};
  }

  // The nodes write into it until the root goes.
  viewstest::EventLog events_;
  win::Window host_;
  std::unique_ptr<HostedRoot> root_;
  Log log_;
};

TEST_F(WindowAreaTest, FocusableFramesShowThreeCaptionColouredPixelsOthersOne) {
  CWindowAreaConfig* first = AddPlainWindow(true);
  CWindowAreaConfig* plain = AddPlainWindow(false);
  CWindowAreaConfig* last = AddPlainWindow(true);
  Show();
  ASSERT_TRUE(WindowOf(last).HasFocus()) << "a focusable window takes the focus when it is made";

  const std::string active = Hex(win::GetSysColor(win::SysColor::kActiveCaption));
  const std::string inactive = Hex(win::GetSysColor(win::SysColor::kInactiveCaption));
  struct Case {
    const char* name;
    CViewAreaConfig* node;
    gfx::Rect hosted;
    std::vector<std::string> paint;
  };
  const Case kCases[] = {
      {"focusable without focus",
       first,
       {3, 3, 97, 97},
       {"FillRect 0,0,100,100 solid 0xFFFFFF", "SelectPen solid 1 " + inactive,
        "SelectBrush solid " + inactive, "Rectangle 0,0,100,100", "SelectBrush solid 0xFFFFFF",
        "SelectPen solid 0 0x000000"}},
      {"not focusable: only the erase", plain, {1, 1, 99, 99}, {"FillRect 0,0,100,100 solid 0xFFFFFF"}},
      {"focusable with the focus",
       last,
       {3, 3, 97, 97},
       {"FillRect 0,0,100,100 solid 0xFFFFFF", "SelectPen solid 1 " + active, "SelectBrush solid " + active,
        "Rectangle 0,0,100,100", "SelectBrush solid 0xFFFFFF", "SelectPen solid 0 0x000000"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AreaOf(c.node).GetFrame()->GetHostedRect(), c.hosted);
    EXPECT_EQ(WindowOf(c.node).GetWindowRectInParent(), c.hosted);
    EXPECT_EQ(FramePaint(c.node), c.paint);
  }

  // The focus moves by a click: the frames swap colours.
  win::Windows().MouseInput(host_, win::kWmLButtonDown, {50, 50});
  win::Windows().RunPending();
  EXPECT_TRUE(AreaOf(first).HasFocus());
  EXPECT_FALSE(AreaOf(last).HasFocus());
  EXPECT_EQ(FramePaint(first).at(1), "SelectPen solid 1 " + active);
  EXPECT_EQ(FramePaint(last).at(1), "SelectPen solid 1 " + inactive);
}

TEST_F(WindowAreaTest, ANonFocusableWindowGivesTheFocusBack) {
  CWindowAreaConfig* focusable = AddPlainWindow(true);
  CWindowAreaConfig* plain = AddPlainWindow(false);
  Show();
  ASSERT_TRUE(WindowOf(focusable).HasFocus());
  win::Windows().MouseInput(host_, win::kWmLButtonDown, {150, 50});
  EXPECT_TRUE(WindowOf(focusable).HasFocus()) << "a click does not take it";
  WindowOf(plain).SetFocus();
  EXPECT_TRUE(WindowOf(focusable).HasFocus()) << "given straight back";
  EXPECT_FALSE(AreaOf(plain).HasFocus());
}

TEST_F(WindowAreaTest, TabCyclesAmongFocusableSiblingsSkippingTheOthers) {
  CWindowAreaConfig* a = AddPlainWindow(true);
  CWindowAreaConfig* b = AddPlainWindow(false);
  CWindowAreaConfig* c = AddPlainWindow(true);
  CWindowAreaConfig* d = AddPlainWindow(true);
  Show();
  struct Case {
    const char* name;
    CWindowAreaConfig* from;
    bool shift;
    CWindowAreaConfig* want;
  };
  const Case kCases[] = {
      {"forward over a non-focusable window", a, false, c},
      {"forward", c, false, d},
      {"forward from the last wraps to the first", d, false, a},
      {"backward over a non-focusable window", c, true, a},
      {"backward from the first wraps to the last", a, true, d},
      {"backward", d, true, c},
  };
  for (const Case& k : kCases) {
    SCOPED_TRACE(k.name);
    WindowOf(k.from).SetFocus();
    ASSERT_TRUE(WindowOf(k.from).HasFocus());
    win::Windows().SetKeyDown(win::kVkShift, k.shift);
    win::Windows().PressKey(win::kVkTab);
    EXPECT_TRUE(WindowOf(k.want).HasFocus());
    EXPECT_TRUE(AreaOf(k.want).HasFocus());
  }
  win::Windows().SetKeyDown(win::kVkShift, false);
  EXPECT_FALSE(AreaOf(b).HasFocus());
}

TEST_F(WindowAreaTest, TabWithOneFocusableWindowKeepsTheFocus) {
  AddPlainWindow(false);
  CWindowAreaConfig* only = AddPlainWindow(true);
  AddPlainWindow(false);
  Show();
  for (const bool shift : {false, true}) {
    SCOPED_TRACE(shift);
    win::Windows().SetKeyDown(win::kVkShift, shift);
    win::Windows().PressKey(win::kVkTab);
    EXPECT_TRUE(WindowOf(only).HasFocus());
  }
  win::Windows().SetKeyDown(win::kVkShift, false);
}

TEST_F(WindowAreaTest, TrendWindowTellsClicksToAllAndSendsMovesUntilHandled) {
  // Placed at (50, 40) in the view, not focusable: a 1-pixel border.
  auto trend =
      std::make_unique<CHRTrendWindowConfig>(At(0, 1, 0, 1), gfx::Size{200, 150}, gfx::Size{0, 0}, false);
  CHRTrendWindowConfig* node = trend.get();
  node->AddChild(std::make_unique<ProbeConfig>("first", 0, &log_));
  node->AddChild(std::make_unique<ProbeConfig>("second", 1, &log_));
  node->AddChild(std::make_unique<ProbeConfig>("third", 1, &log_));
  root_->AddChild(std::make_unique<ProbeConfig>("beside", 1, &log_, At(-1, 0, -1, 0), gfx::Size{50, 40},
                                                gfx::Size{0, 0}));
  root_->AddChild(std::move(trend));
  Show();
  ASSERT_EQ(AreaOf(node).StoredRect(), (gfx::Rect{50, 40, 250, 190}));
  log_.clear();

  // (61, 62) in the view is (10, 21) in the hosted window: the frame's border is 1 pixel.
  struct Case {
    const char* name;
    uint32_t message;
    Log want;
  };
  const Case kCases[] = {
      {"left down: all",
       win::kWmLButtonDown,
       {"first 513 at 10,21 keys 1", "second 513 at 10,21 keys 1", "third 513 at 10,21 keys 1"}},
      {"move: until handled", win::kWmMouseMove, {"first 512 at 10,21 keys 1", "second 512 at 10,21 keys 1"}},
      {"left up: all",
       win::kWmLButtonUp,
       {"first 514 at 10,21 keys 1", "second 514 at 10,21 keys 1", "third 514 at 10,21 keys 1"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    win::Window* target = win::Windows().MouseInput(host_, c.message, {61, 62}, win::kMkLButton);
    EXPECT_EQ(target, &WindowOf(node));
    EXPECT_EQ(log_, c.want);
  }
}

TEST_F(WindowAreaTest, ChildAreasAreLaidOutInTheHostedClientAndFollowItsSize) {
  CWindowAreaConfig* node = AddPlainWindow(true, {120, 90});
  auto probe =
      std::make_unique<ProbeConfig>("inner", 0, &log_, At(-1, 1, -1, 1), gfx::Size{10, 10}, gfx::Size{0, 0});
  ProbeConfig* inner = probe.get();
  node->AddChild(std::move(probe));
  Show();
  // 120 x 90 less the 3-pixel focus frame: a 114 x 84 client, the probe in its far corner.
  EXPECT_EQ(WindowOf(node).GetClientRect(), (gfx::Rect{0, 0, 114, 84}));
  EXPECT_EQ(inner->GetArea()->StoredRect(), (gfx::Rect{104, 74, 114, 84}));
  EXPECT_EQ(node->GetParentWindow(), &WindowOf(node)) << "the children draw in the hosted window";
  EXPECT_EQ(inner->GetParentWindow(), &WindowOf(node));

  AreaOf(node).SetRect({10, 10, 210, 110});
  EXPECT_EQ(AreaOf(node).GetFrame()->GetWindowRectInParent(), (gfx::Rect{10, 10, 210, 110}));
  EXPECT_EQ(inner->GetArea()->StoredRect(), (gfx::Rect{184, 84, 194, 94}));
}

// A window made at the very place its layout gives it gets no size change after it is attached;
// its areas still get their layout, and again on every layout of the screen.
TEST_F(WindowAreaTest, AWindowMadeAtItsFinalSizeStillLaysOutItsAttachedAreas) {
  CWindowAreaConfig* node = AddPlainWindow(false, {120, 90});
  auto child = std::make_unique<viewstest::TestNode>("child", &events_, At(-1, 0, -1, 0), gfx::Size{0, 0},
                                                     gfx::Size{1000, 1000});
  node->AddChild(std::move(child));
  Show();
  ASSERT_EQ(AreaOf(node).GetFrame()->GetWindowRectInParent(), (gfx::Rect{0, 0, 120, 90}));
  EXPECT_EQ(events_.Only("onlayout"), (std::vector<std::string>{"onlayout child 0,0,118,88"}));
  ASSERT_TRUE(root_->Layout({0, 0, 400, 300}));
  EXPECT_EQ(events_.Only("onlayout").size(), 2u);
}

TEST_F(WindowAreaTest, GetRectAnswersEachAreaItsOwnSizeAtTheOrigin) {
  CWindowAreaConfig* small = AddPlainWindow(false, {100, 60});
  CWindowAreaConfig* large = AddPlainWindow(false, {150, 80});
  Show();
  const gfx::Rect small_rect = AreaOf(small).GetRect();
  const gfx::Rect large_rect = AreaOf(large).GetRect();
  EXPECT_EQ(small_rect, (gfx::Rect{0, 0, 100, 60})) << "not overwritten by the second call";
  EXPECT_EQ(large_rect, (gfx::Rect{0, 0, 150, 80}));
  EXPECT_EQ(AreaOf(large).StoredRect(), (gfx::Rect{100, 0, 250, 80}))
      << "sibling anchors read the real place";
}

TEST_F(WindowAreaTest, CreationOrderIsFrameWindowChildrenThenBars) {
  auto barred = std::make_unique<BarredConfig>(At(-1, 0, -1, 0), gfx::Size{200, 150}, false, &log_);
  BarredConfig* node = barred.get();
  node->AddChild(std::make_unique<ProbeConfig>("child", 0, &log_));
  root_->AddChild(std::move(barred));
  Show();
  EXPECT_EQ(log_, (Log{"window", "create child", "bar 1", "bar 2"}));
  ASSERT_NE(node->GetToolBar(), nullptr);
  ASSERT_NE(node->GetSecondToolBar(), nullptr);
  // The top bar takes the width inside the 1-pixel border, the left bar the height below it.
  const int bar = win::ToolBarWindow::kBarHeight;
  EXPECT_EQ(node->GetToolBar()->GetWindowRectInParent(), (gfx::Rect{1, 1, 199, 1 + bar}));
  EXPECT_EQ(node->GetSecondToolBar()->GetWindowRectInParent(), (gfx::Rect{1, 1 + bar, 21, 149}));
  EXPECT_EQ(AreaOf(node).GetFrame()->GetHostedRect(), (gfx::Rect{21, 1 + bar, 199, 149}));

  // A command given to the frame reaches the hosted window.
  log_.clear();
  AreaOf(node).GetFrame()->SendMessage(win::kWmCommand, BarredWnd::kCommand);
  EXPECT_EQ(log_, Log{"command"});
}

TEST_F(WindowAreaTest, DestroyingTheAreasEndsFramesWindowsAndBars) {
  auto barred = std::make_unique<BarredConfig>(At(-1, 0, -1, 0), gfx::Size{200, 150}, true, &log_);
  BarredConfig* node = barred.get();
  root_->AddChild(std::move(barred));
  AddPlainWindow(false);
  Show();
  ASSERT_EQ(host_.Children().size(), 2u);
  win::Window* bar = node->GetToolBar();
  root_->DestroyAreas();
  EXPECT_TRUE(host_.Children().empty());
  EXPECT_FALSE(bar->IsWindow());
  EXPECT_EQ(node->GetArea(), nullptr);
  // Selecting again builds everything anew.
  Show();
  EXPECT_EQ(host_.Children().size(), 2u);
  EXPECT_TRUE(node->GetToolBar()->IsWindow());
}

TEST_F(WindowAreaTest, WhileTheViewClosesAreasGoWithoutTouchingWindows) {
  AddPlainWindow(true);
  AddPlainWindow(false);
  Show();
  // The view's window goes first and takes every frame with it; then the layouts are deleted.
  host_.DestroyWindow();
  SetViewClosing(true);
  root_.reset();
  SetViewClosing(false);
  SUCCEED();
}

// A node whose area factory fails.
class FailingConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc*) override { return nullptr; }
};

TEST_F(WindowAreaTest, AFailedCreationKeepsTheAreaUntilTheNextDestruction) {
  CWindowAreaConfig* node = AddPlainWindow(true);
  node->AddChild(std::make_unique<FailingConfig>());
  EXPECT_FALSE(root_->CreateAreas(nullptr)) << "the hosted window fails with its children";
  ASSERT_NE(node->GetArea(), nullptr);
  EXPECT_FALSE(node->GetArea()->HasWindow());
  EXPECT_EQ(AreaOf(node).GetHostedWindow(), nullptr);
  EXPECT_TRUE(AreaOf(node).GetFrame()->IsWindow());
  root_->DestroyAreas();
  EXPECT_TRUE(host_.Children().empty());

  // Without a window to live in there is no frame.
  HostedRoot nowhere(nullptr);
  nowhere.AddChild(
      std::make_unique<CWindowAreaConfig>(At(-1, 0, -1, 0), gfx::Size{10, 10}, gfx::Size{0, 0}, false));
  EXPECT_FALSE(nowhere.CreateAreas(nullptr));
  EXPECT_EQ(AreaOf(nowhere.GetChild(0)).GetFrame(), nullptr);
}

TEST_F(WindowAreaTest, ANestedWindowLivesInTheHostedWindowItIsLaidOutIn) {
  CWindowAreaConfig* outer = AddPlainWindow(false, {200, 150});
  auto inner_node =
      std::make_unique<CWindowAreaConfig>(At(-1, 1, -1, 1), gfx::Size{50, 40}, gfx::Size{0, 0}, false);
  CWindowAreaConfig* inner = inner_node.get();
  outer->AddChild(std::move(inner_node));
  Show();
  CAreaFrameWnd* inner_frame = AreaOf(inner).GetFrame();
  EXPECT_EQ(inner_frame->GetParent(), &WindowOf(outer));
  // The far corner of the 198 x 148 client, in the client's own coordinates.
  EXPECT_EQ(inner_frame->GetWindowRectInParent(), (gfx::Rect{148, 108, 198, 148}));
  EXPECT_EQ(win::Windows().MouseInput(host_, win::kWmLButtonDown, {1 + 148 + 10, 1 + 108 + 10}),
            &WindowOf(inner));
}

TEST_F(WindowAreaTest, FindingTheGridStopsAtTheFirstGridInTreeOrder) {
  CWindowAreaConfig* window = AddPlainWindow(false, {300, 200});
  window->AddChild(
      std::make_unique<CSpacerAreaConfig>(At(-1, 0, -1, 0), gfx::Size{300, 3}, gfx::Size{0, 0}, true));
  window->AddChild(std::make_unique<CPixelGridConfig>(At(-1, 0, 0, 1), gfx::Size{100, 100},
                                                      gfx::Size{1000, 1000}, 0xC0C0C0, 10, 10));
  window->AddChild(std::make_unique<CStripPixelGridConfig>(At(-1, 0, 0, 1), gfx::Size{100, 100},
                                                           gfx::Size{1000, 1000}, 0xC0C0C0, 10, 10));
  Show();
  CViewArea* found = nullptr;
  EXPECT_TRUE(root_->BroadcastUntilHandled(1, 0, reinterpret_cast<win::LParam>(&found)));
  EXPECT_EQ(found, window->GetChild(1)->GetArea());

  // Without a grid nobody answers and the pointer keeps its value.
  window->GetChild(1)->DestroyAreas();
  window->GetChild(2)->DestroyAreas();
  CViewArea* untouched = window->GetChild(0)->GetArea();
  EXPECT_FALSE(root_->BroadcastUntilHandled(1, 0, reinterpret_cast<win::LParam>(&untouched)));
  EXPECT_EQ(untouched, window->GetChild(0)->GetArea());
}

TEST_F(WindowAreaTest, SmallLayoutPaintsAsTheGoldenDisplayList) {
  // A focusable window over a grid with a named placeholder in its far corner and a spacer at the
  // bottom, beside a non-focusable placeholder window.
  auto window =
      std::make_unique<CWindowAreaConfig>(At(-1, 0, -1, 0), gfx::Size{150, 100}, gfx::Size{700, 1000}, true);
  window->AddChild(std::make_unique<CPixelGridConfig>(At(-1, 0, -1, 0), gfx::Size{60, 60},
                                                      gfx::Size{1000, 1000}, 0xC0C0C0, 10, 10));
  window->AddChild(std::make_unique<CNamedPlaceholderAreaConfig>("CECGStripAreaConfig", At(-1, 1, -1, 0),
                                                                 gfx::Size{140, 40}, gfx::Size{0, 0}, true));
  window->AddChild(
      std::make_unique<CSpacerAreaConfig>(At(-1, 0, -1, 1), gfx::Size{60, 3}, gfx::Size{1000, 0}, true));
  root_->AddChild(std::move(window));
  root_->AddChild(std::make_unique<CNamedPlaceholderWindowConfig>(
      "CNavigationWindowConfig", At(0, 1, -1, 0), gfx::Size{60, 100}, gfx::Size{300, 1000}, false));
  Show();
  testsupport::ExpectScreenGolden("views", "window_area_layout", testsupport::RecordedScreen(host_));
}

}  // namespace
