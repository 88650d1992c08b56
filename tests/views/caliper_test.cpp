#include "views/caliper.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/bitmap.h"
#include "gfx/canvas.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "views/caliper_variants.h"
#include "views/view_dialogs.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

constexpr gfx::Rect kArea{20, 10, 620, 310};
constexpr gfx::Rect kHostOnScreen{100, 50, 800, 450};
constexpr int kReadoutWidth = 90;
constexpr int kReadoutHeight = 40;
constexpr gfx::Color kWhite = 0xFFFFFF;

// A readout window that remembers where it was moved.
class ReadoutWindow : public win::Window {
 public:
  std::vector<gfx::Point> moves;

 protected:
  void OnMove(int x, int y) override { moves.push_back({x, y}); }
};

class FakeReadout : public CCaliperReadout {
 public:
  explicit FakeReadout(win::Window* host) {
    window.Create(host, {0, 0, kReadoutWidth, kReadoutHeight}, win::kWsPopup);
    window.moves.clear();
  }
  win::Window& GetWindow() override { return window; }
  void SetValues(std::span<const std::string> texts) override { values.assign(texts.begin(), texts.end()); }
  void UpdateData() override { ++exchanges; }

  ReadoutWindow window;
  std::vector<std::string> values;
  int exchanges = 0;
};

// Makes fake readouts and remembers what was asked for.
class FakeDialogs : public CViewDialogs {
 public:
  std::unique_ptr<CCaliperReadout> CreateCaliperReadout(CaliperReadoutKind kind, win::Window* host,
                                                        std::span<const int32_t> channels) override {
    kinds.push_back(kind);
    measured.assign(channels.begin(), channels.end());
    auto readout = std::make_unique<FakeReadout>(host);
    last = readout.get();
    return readout;
  }
  std::optional<int> ChooseChannels(win::Window*, int, int, bool, const std::string&) override {
    return std::nullopt;
  }

  std::vector<CaliperReadoutKind> kinds;
  std::vector<int32_t> measured;
  FakeReadout* last = nullptr;
};

class FakeStrip : public CECGCaliperSource {
 public:
  gfx::Rect GetCaliperRect() const override { return rect; }
  win::Window* GetCaliperWindow() const override { return window; }
  double GetPixelsPerSecond() const override { return pixels_per_second; }
  int32_t GetMicrovoltsAt(int channel, int x) const override {
    return microvolts ? microvolts(channel, x) : 0;
  }
  int GetChannelCount() const override { return channels; }
  int32_t GetRecorderChannel(int channel) const override {
    return recorder_channels[static_cast<size_t>(channel)];
  }
  int32_t GetStripStartMs() const override { return strip_start_ms; }

  gfx::Rect rect = kArea;
  win::Window* window = nullptr;
  double pixels_per_second = 75.0;
  std::function<int32_t(int, int)> microvolts;
  int channels = 2;
  std::vector<int32_t> recorder_channels = {0, 2, 1};
  int32_t strip_start_ms = 0;
};

// A canvas with real pixels that mixes pens as the display does, so that XOR drawing can be
// checked pixel by pixel.
class PixelCanvas : public gfx::Canvas {
 public:
  PixelCanvas(int width, int height) : Canvas(Device(width, height)), bitmap_(width, height, kWhite) {}
  const gfx::Bitmap& Pixels() const { return bitmap_; }
  std::unique_ptr<gfx::Canvas> CreateCompatible(int32_t, int32_t) const override { return nullptr; }
  // The x of every column that holds a pixel other than white.
  std::vector<int> MarkedColumns() const {
    std::vector<int> columns;
    for (int x = 0; x < bitmap_.Width(); ++x) {
      for (int y = 0; y < bitmap_.Height(); ++y) {
        if (bitmap_.GetPixel(x, y) != kWhite) {
          columns.push_back(x);
          break;
        }
      }
    }
    return columns;
  }
  int MarkedInColumn(int x) const {
    int count = 0;
    for (int y = 0; y < bitmap_.Height(); ++y) count += bitmap_.GetPixel(x, y) != kWhite ? 1 : 0;
    return count;
  }

 protected:
  void PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2 rop) override {
    for (const gfx::Point& p : pixels) {
      const gfx::Color now = bitmap_.GetPixel(p.x, p.y);
      bitmap_.SetPixel(p.x, p.y, rop == gfx::Rop2::kXorPen ? ((now ^ color) & 0xFFFFFF) : color);
    }
  }

 private:
  static gfx::DeviceInfo Device(int width, int height) {
    gfx::DeviceInfo device;
    device.width_px = width;
    device.height_px = height;
    return device;
  }
  gfx::Bitmap bitmap_;
};

class CaliperTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    ASSERT_TRUE(host_.Create(nullptr, kHostOnScreen, win::kWsPopup | win::kWsVisible));
    strip_.window = &host_;
    SetViewDialogs(&dialogs_);
  }
  void TearDown() override {
    SetViewDialogs(nullptr);
    caliper_.reset();
    host_.DestroyWindow();
    platform::ResetProcessState();
  }

  CECGCaliper& SwitchOn() {
    caliper_ = std::make_unique<CECGCaliper>(&strip_);
    caliper_->OnMessage(CCaliper::kCaliperSwitch, 1, nullptr);
    return *caliper_;
  }
  void Click(int x, int y = 100, unsigned flags = 0) {
    const gfx::Point p{x, y};
    caliper_->OnMessage(win::kWmLButtonDown, flags | win::kMkLButton, &p);
  }
  void Drag(int x, int y = 100, unsigned flags = win::kMkLButton) {
    const gfx::Point p{x, y};
    caliper_->OnMessage(win::kWmMouseMove, flags, &p);
  }

  win::Window host_;
  FakeStrip strip_;
  FakeDialogs dialogs_;
  std::unique_ptr<CECGCaliper> caliper_;
};

TEST_F(CaliperTest, SwitchingOnStartsAtTheStartPlacesWithoutAMouseMessage) {
  CECGCaliper& caliper = SwitchOn();
  EXPECT_EQ(caliper.GetState(), CCaliper::kStateOn);
  // The switch runs a Track before any mouse message: A must stay where Start put it.
  EXPECT_EQ(caliper.GetCursorA().x, kArea.left + 150);
  EXPECT_EQ(caliper.GetCursorB().x, kArea.left + 100);
  EXPECT_TRUE(caliper.IsAActive());
  EXPECT_EQ(caliper.GetPen(), (gfx::Pen{gfx::PenStyle::kSolid, 1, gfx::Rgb(255, 255, 0)}));
  ASSERT_EQ(dialogs_.kinds, std::vector<CaliperReadoutKind>{CaliperReadoutKind::kAmplitude2});
  EXPECT_EQ(dialogs_.measured, (std::vector<int32_t>{0, 2})) << "the strip's channels label the readout";
  ASSERT_NE(dialogs_.last, nullptr);
  EXPECT_TRUE(dialogs_.last->window.IsWindowVisible());
  EXPECT_EQ(dialogs_.last->values, (std::vector<std::string>{"0.00", "0.00", "666"}));

  caliper.OnMessage(CCaliper::kCaliperSwitch, 0, nullptr);
  EXPECT_EQ(caliper.GetState(), CCaliper::kStateClosed);
  EXPECT_EQ(caliper.GetReadout(), nullptr);
}

TEST_F(CaliperTest, AClickRightOfTheMidpointMovesAAnyOtherB) {
  // Start: A 170, B 120, midpoint 145; the margins keep 3 pixels from the edges.
  struct Case {
    const char* name;
    int x;
    int want_a;
    int want_b;
    bool a_active;
  };
  constexpr Case kCases[] = {
      {"two right of the midpoint", 147, 147, 120, true},
      {"one right of the midpoint", 146, 170, 146, false},
      {"beyond the right edge", 700, kArea.right - 3, 120, true},
      {"beyond the left edge", 0, 170, kArea.left + 3, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SwitchOn();
    Click(c.x);
    EXPECT_EQ(caliper_->GetCursorA().x, c.want_a);
    EXPECT_EQ(caliper_->GetCursorB().x, c.want_b);
    EXPECT_EQ(caliper_->IsAActive(), c.a_active);
  }
}

TEST_F(CaliperTest, DraggingNeverCrossesAndTakesTheOtherCursorOnlyFiftyPixelsPastTheMidpoint) {
  struct Case {
    const char* name;
    std::vector<int> drags;  // after a click at 300: A 300, B 120, midpoint 210
    unsigned flags;
    int want_a;
    int want_b;
  };
  const Case kCases[] = {
      {"A dragged to 165 stays A (160 is the handover)", {165}, win::kMkLButton, 165, 120},
      {"A dragged to 155 hands over to B", {155}, win::kMkLButton, 300, 155},
      {"A cannot reach B", {120}, win::kMkLButton, 300, 120},
      {"A cannot pass B", {60}, win::kMkLButton, 300, 120},
      {"a move without the button does nothing", {400}, 0, 300, 120},
      {"A follows step by step", {280, 250, 230}, win::kMkLButton, 230, 120},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SwitchOn();
    Click(300);
    for (const int x : c.drags) Drag(x, 100, c.flags);
    EXPECT_EQ(caliper_->GetCursorA().x, c.want_a);
    EXPECT_EQ(caliper_->GetCursorB().x, c.want_b);
    EXPECT_LT(caliper_->GetCursorB().x, caliper_->GetCursorA().x);
  }
}

TEST_F(CaliperTest, CtrlDragMovesBothCursorsKeepingTheirDistance) {
  struct Case {
    const char* name;
    int x;
    int want_a;
  };
  constexpr Case kCases[] = {
      {"inside", 400, 400},
      {"at the right margin", 700, kArea.right - 3},
      {"never left of the margin plus the distance", 150, kArea.left + 3 + 180 + 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SwitchOn();
    Click(300);
    Drag(c.x, 100, win::kMkLButton | win::kMkControl);
    EXPECT_EQ(caliper_->GetCursorA().x, c.want_a);
    EXPECT_EQ(caliper_->GetCursorA().x - caliper_->GetCursorB().x, 180);
    EXPECT_TRUE(caliper_->IsAActive());
  }
}

TEST_F(CaliperTest, RedrawTwiceErasesAndAMoveLeavesExactlyTwoLines) {
  caliper_ = std::make_unique<CECGCaliper>(&strip_);
  caliper_->SetState(CCaliper::kStateOn);
  PixelCanvas dc(700, 400);
  const std::vector<int> start_lines = {120, 170};

  caliper_->Track(dc, CCaliper::kRedraw);
  EXPECT_EQ(dc.MarkedColumns(), start_lines);
  // From top + 6 to bottom - 5, the end point excluded.
  EXPECT_EQ(dc.MarkedInColumn(120), (kArea.bottom - 5) - (kArea.top + 6));
  EXPECT_EQ(dc.Pixels().GetPixel(120, kArea.top + 6), gfx::Rgb(0, 0, 255)) << "yellow XOR white";
  EXPECT_EQ(dc.Pixels().GetPixel(120, kArea.bottom - 5), kWhite);

  caliper_->Track(dc, CCaliper::kRedraw);
  EXPECT_TRUE(dc.MarkedColumns().empty()) << "a second redraw without a repaint erases both";

  caliper_->Track(dc, CCaliper::kRedraw);
  caliper_->SetMouse({200, 100});
  caliper_->Track(dc, CCaliper::kMoveNearer);
  EXPECT_EQ(dc.MarkedColumns(), (std::vector<int>{120, 200}));
  // The readout going left of B swaps the slots; still exactly the two cursors show.
  caliper_->SetMouse({600, 100});
  caliper_->Track(dc, CCaliper::kMoveNearer);
  EXPECT_EQ(dc.MarkedColumns(), (std::vector<int>{120, 600}));
}

TEST_F(CaliperTest, SampleAtSmoothsTowardTheSteeperNeighbourInsideTheArea) {
  std::map<int, int32_t> column;
  strip_.microvolts = [&](int, int x) {
    const auto found = column.find(x);
    return found == column.end() ? 0 : found->second;
  };
  CECGCaliper caliper(&strip_);
  struct Case {
    const char* name;
    int x;
    std::map<int, int32_t> values;  // x - 1, x, x + 1
    int32_t want;
  };
  const int l = kArea.left;
  const Case kCases[] = {
      {"rising", 300, {{299, 100}, {300, 200}, {301, 400}}, 300},
      {"falling", 300, {{299, 400}, {300, 200}, {301, 100}}, 300},
      {"peak", 300, {{299, 100}, {300, 400}, {301, 100}}, 400},
      {"rising negative truncates toward zero", 300, {{299, -300}, {300, -201}, {301, -100}}, -150},
      {"second column: plain", l + 1, {{l, 100}, {l + 1, 200}, {l + 2, 400}}, 200},
      {"third column: smoothed", l + 2, {{l + 1, 100}, {l + 2, 200}, {l + 3, 400}}, 300},
      {"at the right edge: plain", kArea.right, {{619, 100}, {620, 200}, {621, 400}}, 200},
      {"40 mV is not cut to 16 bits", 300, {{299, 40000}, {300, 40000}, {301, 40000}}, 40000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    column = c.values;
    EXPECT_EQ(caliper.SampleAt(0, c.x), c.want);
  }
}

TEST_F(CaliperTest, ReadoutShowsMillivoltsPerChannelAndSignedMilliseconds) {
  strip_.channels = 3;
  // Flat around each cursor: channel 0 +1.25 mV at A, channel 1 -0.4 mV, channel 2 40 mV.
  strip_.microvolts = [](int channel, int x) -> int32_t {
    const bool at_a = x >= 90 && x <= 110;
    const bool at_b = x >= 180 && x <= 200;
    if (channel == 0) return at_a ? 1250 : 0;
    if (channel == 1) return at_b ? 400 : 0;
    return at_a ? 40000 : 0;
  };
  SwitchOn();
  ASSERT_EQ(dialogs_.kinds, std::vector<CaliperReadoutKind>{CaliperReadoutKind::kAmplitude3});
  EXPECT_EQ(dialogs_.measured, (std::vector<int32_t>{0, 2, 1}));
  caliper_->SetCursors({100, 50}, {190, 50});
  caliper_->ShowValues();
  EXPECT_EQ(caliper_->GetValueTexts(), (std::vector<std::string>{"1.25", "-0.40", "40.00", "-1200"}));
  EXPECT_EQ(dialogs_.last->values, caliper_->GetValueTexts());
}

TEST_F(CaliperTest, OneChannelMeasuresWithoutAReadout) {
  strip_.channels = 1;
  SwitchOn();
  EXPECT_TRUE(dialogs_.kinds.empty());
  EXPECT_EQ(caliper_->GetReadout(), nullptr);
  Click(400);
  Drag(500);
  EXPECT_EQ(caliper_->GetCursorA().x, 500);
  EXPECT_EQ(caliper_->GetValueTexts(), std::vector<std::string>{"5066"});
  caliper_->OnMessage(CCaliper::kSpeedUp, 0, nullptr);
  caliper_->OnMessage(CCaliper::kCaliperSwitch, 0, nullptr);
  EXPECT_EQ(caliper_->GetState(), CCaliper::kStateClosed);
}

TEST_F(CaliperTest, ReadoutGoesRightOfAElseLeftOfBElseLeftOfA) {
  struct Case {
    const char* name;
    std::vector<int> clicks;
    int want_x;
    int want_y;
  };
  const Case kCases[] = {
      // Switching on: A at the area's top (the mouse y kept inside), B where Start put it.
      {"right of A", {}, 170 + 7, kArea.top},
      {"left of B", {600}, 120 - kReadoutWidth - 6, 0},
      // A click low in the area: the readout's bottom stays on the area's bottom.
      {"left of A", {600, 100}, 600 - kReadoutWidth - 6, kArea.bottom - kReadoutHeight},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SwitchOn();
    for (const int x : c.clicks) Click(x, 300);
    const std::optional<gfx::Rect> working = caliper_->GetWorkingRect();
    ASSERT_TRUE(working.has_value());
    EXPECT_EQ(working->left, c.want_x);
    EXPECT_EQ(working->top, c.want_y);
    EXPECT_EQ(working->Width(), kReadoutWidth);
    EXPECT_EQ(dialogs_.last->window.GetWindowRect(), host_.ClientToScreen(*working));
  }
}

TEST_F(CaliperTest, FirstPlacementAndAHeightChangeMoveTheReadoutFarRightAndBack) {
  SwitchOn();
  const std::vector<gfx::Point>& moves = dialogs_.last->window.moves;
  const gfx::Point place = host_.ClientToScreen(gfx::Point{177, kArea.top});
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0], (gfx::Point{place.x + 5000, place.y}));
  EXPECT_EQ(moves[1], place);

  Click(300);
  EXPECT_EQ(moves.size(), 3u) << "same height: straight to the new place";
  strip_.rect.bottom -= 20;
  Click(350);
  ASSERT_EQ(moves.size(), 5u);
  EXPECT_EQ(moves[3].x, moves[4].x + 5000);
  EXPECT_EQ(CCaliper::SharedPlacementHeight(), strip_.rect.Height());
}

TEST_F(CaliperTest, SpeedStepsRescaleTheCursorsAroundTheStripPivot) {
  struct Case {
    const char* name;
    int32_t strip_start_ms;
    int want_a;
    int want_b;
  };
  constexpr Case kCases[] = {
      // From 75 to 150 pixels per second around the left edge (20): 170 -> 320, 120 -> 220.
      {"at the recording start: the left edge", 0, 320, 220},
      // Around a third of the width (220): 170 -> 120, 120 -> 20, kept 3 pixels inside.
      {"later: a third of the width", 5000, 120, kArea.left + 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    strip_.pixels_per_second = 75.0;
    strip_.strip_start_ms = c.strip_start_ms;
    SwitchOn();
    strip_.pixels_per_second = 150.0;
    caliper_->OnMessage(CCaliper::kSpeedUp, 0, nullptr);
    EXPECT_EQ(caliper_->GetCursorA().x, c.want_a);
    EXPECT_EQ(caliper_->GetCursorB().x, c.want_b);
    EXPECT_EQ(caliper_->GetPixelsPerSecond(), 150.0);
    // A repaint afterwards rescales nothing more.
    host_.RedrawWindow();
    caliper_->TrackOnWindow(CCaliper::kRedraw);
    EXPECT_EQ(caliper_->GetCursorA().x, c.want_a);
  }
}

// ---- Follow calipers

class FakePlot : public CFollowCaliperHost {
 public:
  gfx::Rect GetCaliperRect() const override { return kArea; }
  win::Window* GetCaliperWindow() const override { return window; }
  int GetCursorColumn() const override { return column; }
  double GetColumnValue(int row, int asked) const override {
    asked_column = asked;
    return values[static_cast<size_t>(row)];
  }

  win::Window* window = nullptr;
  int column = 0;
  std::vector<double> values = {0, 0, 0, 0};
  mutable int asked_column = -1;
};

class FollowCaliperTest : public CaliperTest {
 protected:
  void SetUp() override {
    CaliperTest::SetUp();
    plot_.window = &host_;
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  void TearDown() override {
    doc_.reset();
    CaliperTest::TearDown();
  }
  void Press(CCaliper& caliper, int x, int y = 100) {
    const gfx::Point p{x, y};
    caliper.OnMessage(win::kWmLButtonDown, win::kMkLButton, &p);
  }

  FakePlot plot_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(FollowCaliperTest, ReadoutSitsLeftOfTheCursorColumnOrRightOfItAtTheLeftEdge) {
  struct Case {
    const char* name;
    int column;
    int want_x;
  };
  constexpr Case kCases[] = {
      {"middle: 6 pixels left of the column", 300, 320 - kReadoutWidth - 6},
      {"near the left edge: 7 pixels right of it", 50, 70 + 7},
      {"beyond the right edge: kept inside", 610, kArea.right - kReadoutWidth},
  };
  CHRTrendCaliper caliper(&plot_);
  caliper.OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
  EXPECT_EQ(caliper.GetState(), CCaliper::kStateOn);
  EXPECT_FALSE(dialogs_.last->window.IsWindowVisible()) << "switched on hidden";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    plot_.column = c.column;
    Press(caliper, 200, 300);
    EXPECT_TRUE(dialogs_.last->window.IsWindowVisible());
    ASSERT_TRUE(caliper.GetWorkingRect().has_value());
    EXPECT_EQ(caliper.GetWorkingRect()->left, c.want_x);
    EXPECT_EQ(caliper.GetWorkingRect()->top, kArea.bottom - kReadoutHeight);
    const gfx::Point up{200, 300};
    caliper.OnMessage(win::kWmLButtonUp, 0, &up);
    EXPECT_FALSE(dialogs_.last->window.IsWindowVisible()) << "hidden again on release";
  }
}

TEST_F(FollowCaliperTest, VariantsFormatTheirValues) {
  doc_->GetRecordingData().start_time.days = 22.5 / 24.0;
  doc_->SetCurrentPosition(2 * 3'600'000);
  CStripTimeCaliper time(&plot_, doc_.get(), locale_);
  time.OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
  Press(time, 200);
  EXPECT_EQ(dialogs_.kinds.back(), CaliperReadoutKind::kStripTime);
  EXPECT_EQ(time.GetValueTexts(), std::vector<std::string>{"00:30:00"}) << "22:30 start, 2 h in";

  plot_.values = {72, -1, 130, 0};
  plot_.column = 180;
  CHRTrendCaliper rates(&plot_);
  rates.OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
  Press(rates, 200);
  EXPECT_EQ(dialogs_.kinds.back(), CaliperReadoutKind::kHRValues);
  EXPECT_EQ(rates.GetValueTexts(), (std::vector<std::string>{"72", "--", "130"}));
  EXPECT_EQ(plot_.asked_column, 180) << "the document's cursor column";

  plot_.values = {0.567, -0.567, 1.0, 0.049};
  CSTTrendCaliper st(&plot_);
  st.OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
  Press(st, 200);
  EXPECT_EQ(st.GetValueTexts(), (std::vector<std::string>{"0.6", "-0.6", "1.0", "0.0"}));
  EXPECT_EQ(st.GetReadout(), dialogs_.last) << "every variant keeps the readout it asked for";
}

}  // namespace
