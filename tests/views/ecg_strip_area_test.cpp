#include "views/ecg_strip_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "document/document_context.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "support/screen_golden.h"
#include "views/area_messages.h"
#include "views/beat_annotation_area.h"
#include "views/beat_label_area.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_edit_window.h"
#include "views/ecg_strip_painter.h"
#include "views/hit_record.h"
#include "views/sample_slot_hint.h"
#include "views/strip_recording.h"
#include "views/strip_samples.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

using viewstest::StripRecording;

constexpr int kRate = 125;
constexpr uint32_t kNextPage = 32783;
constexpr uint32_t kPreviousPage = 32784;
constexpr uint32_t kTakeCursor = 32823;
constexpr uint32_t kUserMarker = 32872;

// A layout root shown in a test's top-level window instead of a view.
class HostRoot : public CViewConfiguration {
 public:
  explicit HostRoot(win::Window* host) : CViewConfiguration(1, 1, 1), host_(host) {}
  win::Window* GetParentWindow() const override { return host_; }

 private:
  win::Window* host_;
};

// Stands in for the rest of a layout: writes down the messages the root passes down, and answers
// the selected-kind query when given a kind.
class LogArea : public CViewArea {
 public:
  LogArea(CViewAreaConfig* config, std::vector<uint32_t>* log, const int* kind)
      : CViewArea(config, nullptr), log_(log), kind_(kind) {}
  int OnMessage(uint32_t msg, win::WParam, win::LParam lparam) override {
    log_->push_back(msg);
    if (msg == areamsg::kSelectedSampleKind && *kind_ >= 0) {
      *reinterpret_cast<int*>(lparam) = *kind_;
      return 1;
    }
    return 0;
  }

 private:
  std::vector<uint32_t>* log_;
  const int* kind_;
};

class LogNode : public CViewAreaConfig {
 public:
  LogNode(std::vector<uint32_t>* log, const int* kind)
      : CViewAreaConfig({}, {1, 1}, {0, 0}, false), log_(log), kind_(kind) {}
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc*) override {
    return std::make_unique<LogArea>(this, log_, kind_);
  }

 private:
  std::vector<uint32_t>* log_;
  const int* kind_;
};

CPosition TopLeft() { return {CXPosition{-1, 0, 0}, CYPosition{-1, 0, 0}}; }
CPosition AtBottom() { return {CXPosition{-1, 0, 0}, CYPosition{-1, 1, 0}}; }

// A recording in a document, a top-level window standing in for the view, and in it one strip
// window (the main strip, slot -1, or a sample window of a slot) whose strip area fills it. The
// strip may carry the beat-annotation and beat-label rows as the layouts place them.
class StripAreaTest : public testing::Test {
 protected:
  struct Options {
    int channels = 2;
    int slot = -1;  // -1: the main strip window
    bool rows = false;
    int width = 900;
    int height = 260;
  };

  void TearDown() override {
    if (root_) root_->DestroyAreas();
    root_.reset();
    if (host_.IsWindow()) host_.DestroyWindow();
    recording_.reset();
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
  }

  void Open(int channels) { recording_ = std::make_unique<StripRecording>(2, channels); }

  void Show(const Options& options) {
    if (!recording_) Open(options.channels);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
    // The class labels of the rows and the units of the calibration bars.
    platform::Resources().ExePack().AddStrings(SampleWindowStrings());
    static constexpr platform::StringEntry kUnits[] = {{16003, " s"}, {16004, " mV"}};
    platform::Resources().ExePack().AddStrings(kUnits);
    ASSERT_TRUE(host_.Create(nullptr, {0, 0, options.width, options.height}, win::kWsVisible));
    root_ = std::make_unique<HostRoot>(&host_);
    root_->AddChild(std::make_unique<LogNode>(&root_log_, &legend_kind_));
    std::unique_ptr<CECGSampleWindowConfig> window;
    const gfx::Size min_size{options.width / 2, options.height - 40};
    if (options.slot < 0) {
      window = std::make_unique<CECGStripWindowConfig>(TopLeft(), min_size, gfx::Size{1000, 1000}, false);
    } else {
      window = std::make_unique<CECGSampleWindowConfig>(TopLeft(), min_size, gfx::Size{1000, 1000}, false,
                                                        options.slot);
    }
    std::unique_ptr<CSampleStripAreaConfig> strip;
    if (options.slot < 0) {
      strip =
          std::make_unique<CECGStripAreaConfig>(TopLeft(), gfx::Size{255, 90}, gfx::Size{1000, 1000}, true);
    } else {
      strip = std::make_unique<CSampleStripAreaConfig>(TopLeft(), gfx::Size{255, 90}, gfx::Size{1000, 1000},
                                                       true);
    }
    if (options.rows && options.slot < 0) {
      strip->AddChild(std::make_unique<CBeatAnnotationAreaConfig>(AtBottom(), gfx::Size{255, 32},
                                                                  gfx::Size{1000, 0}, true));
      strip->AddChild(
          std::make_unique<CBeatLabelAreaConfig>(TopLeft(), gfx::Size{255, 20}, gfx::Size{1000, 0}, true));
    }
    strip_node_ = strip.get();
    window->AddChild(std::move(strip));
    window_node_ = window.get();
    root_->AddChild(std::move(window));
    ASSERT_TRUE(root_->CreateAreas(&Doc()));
    root_->AttachData(nullptr);
    ASSERT_TRUE(root_->Layout({0, 0, options.width, options.height}));
    win::Windows().RunPending();
    root_log_.clear();
  }

  CZK470Doc& Doc() { return recording_->Doc(); }
  CSampleStripArea& Area() { return *dynamic_cast<CSampleStripArea*>(strip_node_->GetArea()); }
  CECGStripArea& Main() { return *dynamic_cast<CECGStripArea*>(strip_node_->GetArea()); }
  CECGSampleWnd& Window() {
    auto* area = dynamic_cast<CWindowArea*>(window_node_->GetArea());
    return *dynamic_cast<CECGSampleWnd*>(area->GetHostedWindow());
  }
  int Message(uint32_t msg, win::WParam wparam = 0, win::LParam lparam = 0) {
    return Area().OnMessage(msg, wparam, lparam);
  }
  bool RootGot(uint32_t msg) const { return std::count(root_log_.begin(), root_log_.end(), msg) > 0; }
  // Lays the whole recording open to navigation: range and displayed span are all of it.
  void WholeRecordingNavigable() {
    Doc().SetTimeRangeStart(0);
    Doc().SetTimeRangeEnd(120000);
    Doc().SetSpanStartMs(0);
    Doc().SetSpanEndMs(120000);
  }
  // Beats of the working list at these samples, all normal.
  void PlaceBeats(const std::vector<int>& positions) {
    Doc().GetQRSList().RemoveAll();
    for (const int position : positions) Doc().GetQRSList().Append(TQRSComplex(position, kClassNormal, '!'));
  }

  std::unique_ptr<StripRecording> recording_;
  win::Window host_;
  std::unique_ptr<HostRoot> root_;
  CViewAreaConfig* window_node_ = nullptr;
  CViewAreaConfig* strip_node_ = nullptr;
  std::vector<uint32_t> root_log_;
  int legend_kind_ = -1;
};

TEST_F(StripAreaTest, PagesTheCurrentPositionThroughTheRecording) {
  Show({});
  WholeRecordingNavigable();
  const int d = Main().GetWindowMs();
  ASSERT_GT(d, 6000);
  struct Case {
    const char* name;
    uint32_t command;
    int range_start;
    int from;
    int want;
  };
  const Case cases[] = {
      {"forward from 0: one and a half strips", kNextPage, 0, 0, d * 3 / 2},
      {"forward: one strip", kNextPage, 0, 30000, 30000 + d},
      {"forward past the range end: 1 ms before it", kNextPage, 0, 120000 - 100, 120000 - 1},
      {"back: one strip", kPreviousPage, 0, 60000, 60000 - d},
      {"back to within a third of a strip: the range start", kPreviousPage, 0, d + d / 3, 0},
      {"back before a later range start: that start", kPreviousPage, 2000, d + 1500, 2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().SetTimeRangeStart(c.range_start);
    Doc().SetCurrentPosition(c.from);
    root_log_.clear();
    EXPECT_EQ(Message(c.command), 1);
    EXPECT_EQ(Doc().GetCurrentPosition(), c.want);
    EXPECT_EQ(Doc().GetStripStartMs(), std::max(0, c.want - d / 3));
    EXPECT_EQ(Doc().GetStripEndMs(), Doc().GetStripStartMs() + d);
    EXPECT_TRUE(RootGot(areamsg::kPositionPaged));
    EXPECT_TRUE(RootGot(areamsg::kStripRecomputed));
  }
}

TEST_F(StripAreaTest, AnswersWhatLiesAtAPoint) {
  Show({});
  const gfx::Rect r = Main().GetRect();
  Doc().SetCurrentPosition(60000);
  Main().Refresh(true);
  const int start = Doc().GetStripStartMs();
  const double pps = Main().GetPixelsPerSecond();
  PlaceBeats({7000, 7100, 7200});
  Doc().GetEventList().RemoveAll();
  Doc().GetEventList().Append(TEvent(7050, 7050, kClassPaceMaker));
  Doc().GetEventList().Append(TEvent(7300, 7400, 6));
  // Two overlapping beat cells (the nearer centre wins) and two event cells.
  Window().BeatLabelCells() = {CLabelCell({100, 0, 130, 10}, 1, 0, '!'),
                               CLabelCell({120, 0, 150, 10}, 15, 1, '!'),
                               CLabelCell({300, 0, 320, 10}, 9, 2, '!')};
  Window().EventLabelCells() = {CLabelCell({400, 0, 420, 10}, kClassPaceMaker, 0, '!'),
                                CLabelCell({500, 0, 520, 10}, 6, 1, '!')};
  const int cursor_sample =
      static_cast<int>(kRate * (start * 0.001) + kRate * (Main().GetCursorX() - r.left) / pps);
  struct Case {
    const char* name;
    uint32_t msg;
    win::WParam wparam;
    gfx::Point point;
    CHitRecord want;
  };
  const int y = r.top + 20;
  const Case cases[] = {
      {"below the strip", areamsg::kBeatAtPoint, 0, {310, r.bottom}, {310, r.bottom, 1, -1, -1}},
      {"a beat cell", areamsg::kBeatAtPoint, 0, {305, y}, {305, y, 0, 7200, 2}},
      {"overlapping cells: the nearer centre", areamsg::kBeatAtPoint, 0, {126, y}, {126, y, 0, 7100, 1}},
      {"overlapping cells: the other one", areamsg::kBeatAtPoint, 0, {121, y}, {121, y, 0, 7000, 0}},
      {"no cell: the sample under the cursor, not the mouse",
       areamsg::kBeatAtPoint,
       0,
       {700, y},
       {700, y, 1, cursor_sample, -1}},
      {"events do not count for a beat", areamsg::kBeatAtPoint, 0, {405, y}, {405, y, 1, cursor_sample, -1}},
      {"they do for the user marker", areamsg::kBeatAtPoint, kUserMarker, {405, y}, {405, y, 0, 7050, 0}},
      {"an event label", areamsg::kEventAtPoint, 0, {505, y}, {505, y, 0, 7300, 1}},
      {"a pacemaker label", areamsg::kPacemakerEventAtPoint, 0, {405, y}, {405, y, 0, 7050, 0}},
      {"another event is no pacemaker",
       areamsg::kPacemakerEventAtPoint,
       0,
       {505, y},
       {505, y, 1, cursor_sample, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHitRecord hit;
    hit.x = c.point.x;
    hit.y = c.point.y;
    EXPECT_EQ(Message(c.msg, c.wparam, reinterpret_cast<win::LParam>(&hit)), 1);
    EXPECT_EQ(hit.kind, c.want.kind);
    EXPECT_EQ(hit.position, c.want.position);
    EXPECT_EQ(hit.index, c.want.index);
  }
}

TEST_F(StripAreaTest, TheCursorFollowsTheLeftButtonAndAnswersItsPlaceAndTime) {
  Show({});
  Doc().SetCurrentPosition(30000);
  Main().Refresh(true);
  const gfx::Rect r = Main().GetRect();
  const double pps = Main().GetPixelsPerSecond();
  int x = 0;
  Message(areamsg::kStripCursorX, 0, reinterpret_cast<win::LParam>(&x));
  EXPECT_EQ(x, r.left + r.Width() / 3);
  int ms = 0;
  Message(areamsg::kStripCursorTimeMs, 0, reinterpret_cast<win::LParam>(&ms));
  EXPECT_EQ(ms, Doc().GetStripStartMs() + static_cast<int>((x - r.left) * 1000 / pps));
  EXPECT_NEAR(ms, 30000, 10) << "the reference sits under the cursor";

  gfx::Point outside{r.right + 5, r.top + 10};
  EXPECT_EQ(Message(areamsg::kLeftButtonDown, win::kMkLButton, reinterpret_cast<win::LParam>(&outside)), 0);
  gfx::Point press{200, r.top + 10};
  EXPECT_EQ(Message(areamsg::kLeftButtonDown, win::kMkLButton, reinterpret_cast<win::LParam>(&press)), 1);
  EXPECT_EQ(Main().GetCursorX(), 200);
  EXPECT_EQ(win::Windows().GetCapture(), &Window());
  gfx::Point drag{260, r.top + 40};
  EXPECT_EQ(Message(areamsg::kMouseMove, win::kMkLButton, reinterpret_cast<win::LParam>(&drag)), 1);
  EXPECT_EQ(Main().GetCursorX(), 260);
  gfx::Point edge{r.right, r.top + 40};
  Message(areamsg::kMouseMove, win::kMkLButton, reinterpret_cast<win::LParam>(&edge));
  EXPECT_EQ(Main().GetCursorX(), 260) << "the cursor stays strictly inside the strip";
  EXPECT_EQ(Message(areamsg::kLeftButtonUp, 0, reinterpret_cast<win::LParam>(&drag)), 1);
  EXPECT_EQ(win::Windows().GetCapture(), nullptr);
  gfx::Point free_move{300, r.top + 40};
  EXPECT_EQ(Message(areamsg::kMouseMove, 0, reinterpret_cast<win::LParam>(&free_move)), 0);
  EXPECT_EQ(Main().GetCursorX(), 260);

  // Taking the cursor makes its time the current position, again at one third.
  Message(areamsg::kStripCursorTimeMs, 0, reinterpret_cast<win::LParam>(&ms));
  EXPECT_EQ(Message(kTakeCursor), 1);
  EXPECT_NEAR(Doc().GetCurrentPosition(), ms, 1);
  EXPECT_EQ(Main().GetCursorX(), r.left + r.Width() / 3);
  EXPECT_TRUE(RootGot(areamsg::kPositionFromCursor));
}

TEST_F(StripAreaTest, TheCursorIsDrawnInsideTheStripAndASecondDrawingErasesIt) {
  Show({});
  const gfx::Rect r = Main().GetRect();
  const int d = Main().GetCursorHalfWidth();
  ASSERT_EQ(d, 1 + static_cast<int>(250 * 75.0 * 0.0005));
  struct Case {
    const char* name;
    int x;
    gfx::Rect top_bar;
  };
  const Case cases[] = {
      {"in the middle", 400, {400 - d, r.top + 1, 400 + d, r.top + 6}},
      {"near the left edge: clamped", r.left + 2, {r.left + 1, r.top + 1, r.left + 2 * d + 1, r.top + 6}},
      {"near the right edge: clamped", r.right - 2, {r.right - 2 * d, r.top + 1, r.right, r.top + 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Main().MoveCursor(c.x);
    ASSERT_EQ(Main().GetCursorX(), c.x);
    gfx::RecordingCanvas canvas;
    Main().DrawCursor(canvas);
    std::vector<gfx::Rect> bars;
    for (const gfx::DisplayItem& item : canvas.Items())
      if (const auto* rect = std::get_if<gfx::rec::Rectangle>(&item)) bars.push_back(rect->rect);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0], c.top_bar);
    EXPECT_EQ(bars[1], (gfx::Rect{c.top_bar.left, r.bottom - 5, c.top_bar.right, r.bottom}));
    EXPECT_EQ(bars[0].Width(), 2 * d);
    EXPECT_EQ(canvas.GetROP2(), gfx::Rop2::kCopyPen) << "the drawing mode is restored";
  }
}

// The colours of the pens that draw polylines, in order.
std::vector<gfx::Color> TracePens(const gfx::RecordingCanvas& canvas) {
  std::vector<gfx::Color> pens;
  gfx::Color current = 0;
  for (const gfx::DisplayItem& item : canvas.Items()) {
    if (const auto* pen = std::get_if<gfx::rec::SelectPen>(&item)) current = pen->pen.color;
    if (std::holds_alternative<gfx::rec::PolylineTo>(item)) pens.push_back(current);
  }
  return pens;
}

TEST_F(StripAreaTest, ColoursTheTraceByTheBeatCellsOfItsWindow) {
  Show({});
  const gfx::Rect r = Main().GetRect();
  const gfx::Color normal = CECGStripPainter::kDisplayColours[Doc().GetSettings().Color(kClassNormal)];
  const gfx::Color ves = CECGStripPainter::kDisplayColours[Doc().GetSettings().Color(kClassVES)];
  ASSERT_NE(normal, ves);

  Window().BeatLabelCells().clear();
  gfx::RecordingCanvas plain;
  Main().Draw(plain, r);
  EXPECT_EQ(TracePens(plain), std::vector<gfx::Color>(2, normal)) << "one piece per channel, all class 1";

  Window().BeatLabelCells() = {CLabelCell({200, 0, 220, 10}, kClassVES, 0, '!')};
  gfx::RecordingCanvas coloured;
  Main().Draw(coloured, r);
  const std::vector<gfx::Color> want = {normal, ves, normal, normal, ves, normal};
  EXPECT_EQ(TracePens(coloured), want);
  int columns = 0;
  for (const gfx::DisplayItem& item : coloured.Items())
    if (const auto* run = std::get_if<gfx::rec::PolylineTo>(&item))
      columns += static_cast<int>(run->points.size());
  EXPECT_EQ(columns, 2 * (r.Width() - 1)) << "pieces join without a gap or an overlap";
}

TEST_F(StripAreaTest, AnExampleBeforeTheRecordingStartShowsZeroThere) {
  Open(2);
  // A constant 0.5 mV from the first sample on.
  viewstest::ReplaceSamples(Doc(), {std::vector<int16_t>(7500, 100), std::vector<int16_t>(7500, 100)});
  constexpr int kKind = 6;
  Doc().GetRecordingData().example_strips[kKind][0] = 1000;
  legend_kind_ = kKind;
  Show({.slot = 0});
  CSampleStripArea& area = Area();
  ASSERT_EQ(area.GetEventClass(), kKind);
  const int start = Doc().GetViewFields().sample_start_ms[0];
  EXPECT_EQ(start, 1000 - area.GetWindowMs() / 3);
  ASSERT_LT(start, 0);
  EXPECT_EQ(Doc().GetViewFields().sample_end_ms[0], start + area.GetWindowMs());

  const std::vector<int32_t>& uv = area.Microvolts(0);
  ASSERT_EQ(uv.size(), static_cast<size_t>(area.GetRect().Width()));
  const auto first_signal = std::find(uv.begin(), uv.end(), 500);
  ASSERT_NE(first_signal, uv.end());
  EXPECT_TRUE(std::all_of(uv.begin(), first_signal, [](int32_t v) { return v == 0; }));
  EXPECT_TRUE(std::all_of(first_signal, uv.end(), [](int32_t v) { return v == 500; }));
  // The recording starts -start ms into the strip.
  const int start_column = static_cast<int>(-start * area.GetStripPixelsPerSecond() / 1000);
  EXPECT_NEAR(first_signal - uv.begin(), start_column, 2);
}

TEST_F(StripAreaTest, AHintForAnotherSlotLeavesTheExampleAlone) {
  constexpr int kKind = 6;
  Open(2);
  Doc().GetRecordingData().example_strips[kKind][1] = 30000;
  legend_kind_ = kKind;
  Show({.slot = 1});
  const int before = Doc().GetViewFields().sample_start_ms[1];
  EXPECT_EQ(before, 30000 - Area().GetWindowMs() / 3);
  Doc().GetRecordingData().example_strips[kKind][1] = 50000;
  struct Case {
    const char* name;
    int slot;  // -1: no slot object
    int want;
  };
  const Case cases[] = {
      {"slot 0", 0, before},
      {"slot 2", 2, before},
      {"its own slot", 1, 50000 - Area().GetWindowMs() / 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSampleSlotHint hint(c.slot);
    root_->NotifyAll(nullptr, hint::kDocumentChanged, &hint);
    EXPECT_EQ(Doc().GetViewFields().sample_start_ms[1], c.want);
  }
}

TEST_F(StripAreaTest, TheMainStripKeepsItsWindowWhenTheExampleKindChanges) {
  Show({});
  Doc().SetCurrentPosition(60000);
  root_->NotifyAll(nullptr, hint::kPositionMoved, nullptr);
  const int start = Doc().GetStripStartMs();
  ASSERT_EQ(start, 60000 - Main().GetWindowMs() / 3);
  // Its reference is the current position, not an example: writing it as the start would move
  // every later cursor time and hit test by a third of a strip.
  for (const int hint : {hint::kArea20000, hint::kArea20003}) {
    root_->NotifyAll(nullptr, hint, nullptr);
    EXPECT_EQ(Doc().GetStripStartMs(), start) << hint;
  }
}

TEST_F(StripAreaTest, AnswersTheStripLengthAndSizesItsColumnsFromTheArea) {
  for (const int width : {600, 3747}) {
    SCOPED_TRACE(width);
    TearDown();
    Show({.width = width + 2});
    const gfx::Rect r = Main().GetRect();
    double length = 0;
    EXPECT_EQ(Message(areamsg::kStripLengthMs, 0, reinterpret_cast<win::LParam>(&length)), 1);
    EXPECT_DOUBLE_EQ(length, r.Width() * 1000 / Main().GetPixelsPerSecond());
    for (int channel = 0; channel < 2; ++channel) {
      EXPECT_EQ(Main().Points(channel).size(), static_cast<size_t>(r.Width()));
      EXPECT_EQ(Main().Microvolts(channel).size(), static_cast<size_t>(r.Width()));
      EXPECT_EQ(Main().Points(channel).back().x, r.right);
    }
  }
}

TEST_F(StripAreaTest, CaliperModeReplacesTheCursorAndGivesItBack) {
  Show({});
  Main().MoveCursor(333);
  EXPECT_EQ(Message(areamsg::kCaliper, 1), 1);
  EXPECT_EQ(Doc().GetViewFields().caliper, 1);
  ASSERT_NE(Main().GetCaliper(), nullptr);
  EXPECT_EQ(Main().GetCaliper()->GetState(), CCaliper::kStateOn);
  gfx::RecordingCanvas with_caliper;
  Main().Draw(with_caliper, Main().GetRect());
  for (const gfx::DisplayItem& item : with_caliper.Items())
    EXPECT_FALSE(std::holds_alternative<gfx::rec::Rectangle>(item)) << "no position cursor";

  EXPECT_EQ(Message(areamsg::kCaliper, 0), 1);
  EXPECT_EQ(Doc().GetViewFields().caliper, 0);
  EXPECT_EQ(Main().GetCursorX(), 333) << "the cursor comes back where it stood";
  gfx::RecordingCanvas without;
  Main().Draw(without, Main().GetRect());
  int bars = 0;
  for (const gfx::DisplayItem& item : without.Items())
    bars += std::holds_alternative<gfx::rec::Rectangle>(item) ? 1 : 0;
  EXPECT_EQ(bars, 2);
}

TEST_F(StripAreaTest, PaintingEqualsTheGoldenDisplayList) {
  Show({.rows = true});
  Doc().SetCurrentPosition(45000);
  root_->NotifyAll(nullptr, hint::kPositionMoved, nullptr);
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("views", "ecg_strip_area", testsupport::RecordedScreen(Window()));
}

}  // namespace
