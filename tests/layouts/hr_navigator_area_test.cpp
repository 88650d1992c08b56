#include "layouts/hr_navigator_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "document/beat_class.h"
#include "document/profile_keys.h"
#include "document/qrs_complex.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/hr_navigator_window.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "views/area_messages.h"
#include "views/hit_record.h"
#include "win/window.h"

namespace {

constexpr double kRate = 125.0;
constexpr int kLeft = 108;

// Stands in for the ECG strip: answers the cursor's x and the beat under it as told.
class FakeStripArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  int OnMessage(uint32_t msg, win::WParam, win::LParam lparam) override {
    if (!answers) return 0;
    if (msg == areamsg::kStripCursorX) {
      *reinterpret_cast<int*>(lparam) = cursor_x;
      return 1;
    }
    if (msg == areamsg::kBeatAtPoint) {
      auto* hit = reinterpret_cast<CHitRecord*>(lparam);
      asked = {hit->x, hit->y};
      hit->kind = index >= 0 ? CHitRecord::kBeat : CHitRecord::kFreePosition;
      hit->position = position;
      hit->index = index;
      return 1;
    }
    return 0;
  }
  bool answers = true;
  int cursor_x = 321;
  int position = -1;
  int index = -1;
  gfx::Point asked;
};

class FakeStripConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override {
    return std::make_unique<FakeStripArea>(this, doc);
  }
};

// Counts the document hints the navigator sends.
class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

class CountingBusy : public CNavigatorBusy {};

// The navigator plot, the min/max scale and a stand-in strip in one small layout without a
// window, over a document whose beats the test sets (rates average four intervals).
class NavigatorArea : public testing::Test {
 protected:
  void SetUp() override {
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetSettings().SetInt(SettingKey::kHeartrateTrendAverage, 0);
    SetSpan(0, 10);
    auto plot = std::make_unique<CHRNavigatorAreaConfig>(CPosition{}, gfx::Size{100, 80},
                                                         gfx::Size{1000, 1000}, true);
    plot_node_ = plot.get();
    root_.AddChild(std::move(plot));
    auto scale =
        std::make_unique<CMinMaxScaleAreaConfig>(CPosition{}, gfx::Size{108, 80}, gfx::Size{0, 1000}, true);
    scale_node_ = scale.get();
    root_.AddChild(std::move(scale));
    auto strip = std::make_unique<FakeStripConfig>(CPosition{}, gfx::Size{10, 10}, gfx::Size{0, 0}, true);
    strip_node_ = strip.get();
    root_.AddChild(std::move(strip));
    doc_->AddView(&log_);
  }
  void TearDown() override {
    doc_->RemoveView(&log_);
    root_.DestroyAreas();
    CHRNavigatorArea::SetBusyFactory(nullptr);
  }

  void SetSpan(int start_minute, int minutes) {
    doc_->SetSpanStartMinute(start_minute);
    doc_->SetSpanLength(minutes);
    doc_->SetSpanStartMs(start_minute * 60000);
    doc_->SetSpanEndMs((start_minute + minutes) * 60000);
  }
  // Beats of class beat_class one after the other with these intervals, from the last beat on.
  void AddBeats(const std::vector<int>& intervals, int beat_class = kClassNormal) {
    TQRSList& beats = doc_->GetQRSList();
    int32_t at = beats.GetSize() == 0 ? 0 : beats.GetAt(beats.GetSize() - 1).GetPosition();
    if (beats.GetSize() == 0) beats.Append(TQRSComplex(at, kClassNormal));
    for (const int interval : intervals) beats.Append(TQRSComplex(at += interval, beat_class));
  }
  void AddBeatsFrom(int32_t start, int32_t end, int interval) {
    for (int32_t at = start; at <= end; at += interval)
      doc_->GetQRSList().Append(TQRSComplex(at, kClassNormal));
  }
  // Shows the layout with the plot on (kLeft, 0, kLeft + width, height): the first layout builds.
  void Show(int width = 600, int height = 400) {
    ASSERT_TRUE(root_.CreateAreas(doc_.get()));
    root_.AttachData(nullptr);
    Scale().SetRect({0, 0, kLeft, height});
    Place(width, height);
  }
  void Place(int width, int height = 400) {
    Plot().SetRect({kLeft, 0, kLeft + width, height});
    Plot().OnLayout(kLeft, 0, kLeft + width, height);
  }
  CHRNavigatorArea& Plot() { return *dynamic_cast<CHRNavigatorArea*>(plot_node_->GetArea()); }
  CMinMaxScaleArea& Scale() { return *dynamic_cast<CMinMaxScaleArea*>(scale_node_->GetArea()); }
  FakeStripArea& Strip() { return *dynamic_cast<FakeStripArea*>(strip_node_->GetArea()); }
  int Command(int id) { return root_.BroadcastAll(static_cast<uint32_t>(id), 0, 0); }
  const TNavigatorEntry& RateEntry() {
    return Plot().GetRateSorted()[static_cast<size_t>(Plot().GetRateCursor())];
  }
  int32_t MsOf(int32_t samples) { return static_cast<int32_t>(samples / kRate * 1000.0); }

  // Beats 0..5 at 100 bpm, 6 at 80, 7 at 66, 8 at 57, 9..18 at 50; beat 19 and the two artefacts
  // after it have no rate.
  void TiedRates() {
    AddBeats({75, 75, 75, 75, 75, 75, 75, 75, 75, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150});
    AddBeats({150, 150}, kClassArtefact);
  }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  std::unique_ptr<CZK470Doc> doc_;
  CViewConfiguration root_{1, 1, 1};
  CViewAreaConfig* plot_node_ = nullptr;
  CViewAreaConfig* scale_node_ = nullptr;
  CViewAreaConfig* strip_node_ = nullptr;
  HintLog log_;
};

TEST_F(NavigatorArea, ScaleRoundsTheRateRangeAndTheMinMaxScaleShowsIt) {
  struct Case {
    const char* name;
    std::vector<int> intervals;
    int low, high;
    std::vector<int> labels;
  };
  std::vector<int> fast_then_slow;  // 118 bpm (four intervals of 253 samples), then 57 (131 each)
  for (int i = 0; i < 10; ++i) fast_then_slow.insert(fast_then_slow.end(), {63, 63, 63, 64});
  fast_then_slow.insert(fast_then_slow.end(), 40, 131);
  std::vector<int> narrow(40, 100);  // 75 bpm, then 62 (120 each)
  narrow.insert(narrow.end(), 40, 120);
  const Case cases[] = {
      {"57 to 118", fast_then_slow, 50, 120, {60, 80, 100}},
      {"62 to 75 is widened", narrow, 50, 90, {60, 70, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    root_.DestroyAreas();
    doc_->GetQRSList().RemoveAll();
    AddBeats(c.intervals);
    Show();
    EXPECT_EQ(Plot().GetScaleMin(), c.low);
    EXPECT_EQ(Plot().GetScaleMax(), c.high);
    EXPECT_EQ(Scale().GetAxisMin(), c.low);
    EXPECT_EQ(Scale().GetAxisMax(), c.high);
    EXPECT_EQ(Scale().TickLabels(), c.labels);
    EXPECT_EQ(Scale().GetStoredMaxRate(), -1);
  }
}

TEST_F(NavigatorArea, WithoutRatesTheScaleKeepsFortyToHundred) {
  AddBeats({100, 100}, kClassArtefact);
  Show();
  EXPECT_TRUE(Plot().GetRateSorted().empty());
  EXPECT_EQ(Plot().GetScaleMin(), 40);
  EXPECT_EQ(Plot().GetScaleMax(), 100);
  EXPECT_EQ(Scale().GetAxisMin(), 40);
  EXPECT_EQ(Scale().GetAxisMax(), 100);
  EXPECT_EQ(Scale().TickLabels(), (std::vector<int>{50, 70, 90}));
  EXPECT_EQ(Plot().GetColumnCount(), 0);
  // Commands on an empty list are taken and change nothing.
  doc_->SetCurrentPosition(1234);
  EXPECT_EQ(Command(navcmd::kRateHighest), 1);
  EXPECT_EQ(Command(navcmd::kStoreHRMax), 1);
  EXPECT_EQ(doc_->GetCurrentPosition(), 1234);
  EXPECT_TRUE(log_.hints.empty());
}

TEST_F(NavigatorArea, FewEntriesStretchOverTheColumnsAsFlatSteps) {
  AddBeats({60, 75, 100, 125, 150, 150, 150});
  Show(100);
  const auto entries = Plot().GetRateByBeat();
  ASSERT_EQ(entries.size(), 7u);
  // Six gaps in 100 columns: entry j ends at column (int)(j * 100 / 6), the last at column 99.
  const int ends[] = {0, 16, 33, 50, 66, 83, 99};
  int first = 0;
  for (size_t j = 0; j < entries.size(); ++j) {
    SCOPED_TRACE(j);
    for (int c = first; c <= ends[j]; ++c) {
      EXPECT_EQ(Plot().GetColumnValue(0, c), entries[j].value);
      EXPECT_EQ(Plot().GetColumnValue(1, c), entries[j].value);
      EXPECT_EQ(Plot().GetColumnValue(2, c), entries[j].value);
    }
    first = ends[j] + 1;
  }
  ASSERT_EQ(Plot().GetColumnCount(), 100);
  const auto envelope = Plot().GetEnvelopePoints();
  EXPECT_EQ(envelope[4 * 20].y, Plot().ValueY(entries[2].value));
  EXPECT_EQ(envelope[4 * 20 + 3].y, envelope[4 * 20].y);
  EXPECT_EQ(envelope[4 * 99].x, kLeft + 100);

  // A single entry in the span is one flat value over every column.
  root_.DestroyAreas();
  doc_->GetQRSList().RemoveAll();
  AddBeats({100});
  Show(100);
  ASSERT_EQ(Plot().GetRateByBeat().size(), 1u);
  ASSERT_EQ(Plot().GetColumnCount(), 100);
  for (const gfx::Point& p : Plot().GetMeanPoints()) EXPECT_EQ(p.y, Plot().ValueY(75));
  EXPECT_EQ(Plot().GetColumnValue(0, 99), 75);
}

TEST_F(NavigatorArea, EmptyColumnsAtTheStartAreLeftOutAtTheEndRemovedInsideAtZero) {
  // 100 bpm from minute 2 to 4 and from minute 5 to 8 of a 10-minute span on 100 columns; each
  // column covers 757.6 samples.
  AddBeatsFrom(2 * 7500, 4 * 7500, 75);
  AddBeatsFrom(5 * 7500, 8 * 7500, 75);
  Show(100);
  const auto envelope = Plot().GetEnvelopePoints();
  ASSERT_GT(Plot().GetColumnCount(), 0);
  // Columns 0..18 end before minute 2; column 79 holds the last entry.
  EXPECT_EQ(envelope.front().x, kLeft + 1 + 19);
  EXPECT_EQ(envelope.back().x, kLeft + 1 + 79);
  EXPECT_EQ(Plot().GetColumnCount(), 61);
  // Columns 40..48 lie in the gap: plotted at 0.
  const int y0 = Plot().ValueY(0);
  for (const gfx::Point& p : envelope) EXPECT_EQ(p.y == y0, p.x >= kLeft + 41 && p.x <= kLeft + 49) << p.x;
  EXPECT_EQ(Plot().GetColumnValue(0, 44), 0);
  EXPECT_EQ(Plot().GetColumnValue(2, 30), 100);
}

TEST_F(NavigatorArea, PlotWiderThanTwentyFiveHundredColumnsUsesEveryColumn) {
  SetSpan(0, 60);
  AddBeatsFrom(0, 60 * 7500, 75);
  Show(3000);
  EXPECT_EQ(Plot().GetPlotWidth(), 3000);
  EXPECT_GT(Plot().GetColumnCount(), 2990);
  EXPECT_LE(Plot().GetEnvelopePoints().back().x, kLeft + 3000);
  EXPECT_EQ(Plot().GetColumnValue(2, 2800), 100);
  EXPECT_EQ(Plot().GetColumnValue(2, 3000), 0.0);
}

TEST_F(NavigatorArea, EqualRatesAreWalkedByBeatLatestHighestFirst) {
  TiedRates();
  Show();
  const auto beat_at_cursor = [&] { return RateEntry().beatIndex; };
  EXPECT_EQ(Command(navcmd::kRateHighest), 1);
  EXPECT_EQ(beat_at_cursor(), 5);
  EXPECT_EQ(doc_->GetCurrentPosition(), MsOf(RateEntry().position));
  EXPECT_TRUE(CHRNavigatorArea::GetEndFlags().rateAtHighest);
  Command(navcmd::kRateNextHigher);
  EXPECT_EQ(beat_at_cursor(), 5);
  std::vector<int> walked;
  for (int i = 0; i < 7; ++i) {
    Command(navcmd::kRateNextLower);
    walked.push_back(beat_at_cursor());
  }
  EXPECT_EQ(walked, (std::vector<int>{4, 3, 2, 1, 0, 6, 7}));
  EXPECT_FALSE(CHRNavigatorArea::GetEndFlags().rateAtHighest);
  Command(navcmd::kRateLowest);
  EXPECT_EQ(beat_at_cursor(), 9);
  EXPECT_EQ(RateEntry().value, 50);
  EXPECT_TRUE(CHRNavigatorArea::GetEndFlags().rateAtLowest);
  // The NN cursor follows to the NN entry nearest the rate entry.
  ASSERT_GE(Plot().GetNNCursor(), 0);
  EXPECT_EQ(Plot().GetNNSorted()[static_cast<size_t>(Plot().GetNNCursor())].beatIndex, 9);
  EXPECT_EQ(std::count(log_.hints.begin(), log_.hints.end(), hint::kNavigationRebuild), 10);

  // The NN list walks the same way: the longest intervals are the 150-sample ones, the latest
  // first, up to beat 18 (19 to 20 ends on an artefact).
  Command(navcmd::kNNLongest);
  EXPECT_EQ(Plot().GetNNSorted()[static_cast<size_t>(Plot().GetNNCursor())].beatIndex, 18);
  EXPECT_TRUE(CHRNavigatorArea::GetEndFlags().nnAtLongest);
  Command(navcmd::kNNShortest);
  EXPECT_EQ(Plot().GetNNSorted()[static_cast<size_t>(Plot().GetNNCursor())].beatIndex, 0);
  EXPECT_TRUE(CHRNavigatorArea::GetEndFlags().nnAtShortest);
  EXPECT_EQ(RateEntry().beatIndex, 0);
}

TEST_F(NavigatorArea, StoringTheStripBeatSearchesTheWholeSortedList) {
  TiedRates();
  Show();
  const TQRSList& beats = doc_->GetQRSList();
  struct Case {
    const char* name;
    int command;
    int beat;  // -1: a free position under the strip cursor
    bool answers;
    bool stored;
    int value;
  };
  const Case cases[] = {
      {"slowest beat as maximum", navcmd::kStoreHRMax, 12, true, true, 50},
      {"a beat far from the span as minimum", navcmd::kStoreHRMin, 6, true, true, 80},
      {"NN maximum", navcmd::kStoreNNMax, 3, true, true, 75},
      {"NN minimum", navcmd::kStoreNNMin, 15, true, true, 150},
      {"artefact beat has no rate", navcmd::kStoreHRMax, 20, true, false, 0},
      {"beat before an artefact has no NN interval", navcmd::kStoreNNMin, 19, true, false, 0},
      {"free position", navcmd::kStoreHRMin, -1, true, false, 0},
      {"no strip", navcmd::kStoreHRMax, 4, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->SetHRMax(0, -1, -1, 0);
    doc_->SetHRMin(0, -1, -1, 0);
    doc_->SetNNMax(0, -1, -1, 0);
    doc_->SetNNMin(0, -1, -1, 0);
    doc_->SetModifiedFlag(false);
    doc_->SetCurrentPosition(4321);
    log_.hints.clear();
    Strip().answers = c.answers;
    Strip().index = c.beat;
    Strip().position = c.beat >= 0 ? beats.GetAt(c.beat).GetPosition() : 777;
    const int beeps = win::Windows().BeepCount();
    EXPECT_EQ(Command(c.command), 1);
    EXPECT_EQ(win::Windows().BeepCount() - beeps, c.stored ? 0 : 1);
    EXPECT_EQ(doc_->IsModified(), c.stored);
    EXPECT_EQ(doc_->GetCurrentPosition(), 4321);
    EXPECT_TRUE(log_.hints.empty());
    if (c.answers) EXPECT_EQ(Strip().asked, (gfx::Point{321, 20}));
    const int32_t want_position = c.stored ? beats.GetAt(c.beat).GetPosition() : -1;
    switch (c.command) {
      case navcmd::kStoreHRMax:
        EXPECT_EQ(doc_->GetHRMaxPosition(), want_position);
        if (c.stored) EXPECT_EQ(doc_->GetHRMaxValue(), c.value);
        if (c.stored) EXPECT_EQ(Scale().GetStoredMaxRate(), c.value);
        break;
      case navcmd::kStoreHRMin:
        EXPECT_EQ(doc_->GetHRMinPosition(), want_position);
        if (c.stored) EXPECT_EQ(Scale().GetStoredMinRate(), c.value);
        break;
      case navcmd::kStoreNNMax:
        EXPECT_EQ(doc_->GetNNMaxPosition(), want_position);
        if (c.stored) EXPECT_EQ(doc_->GetNNMaxValue(), c.value);
        break;
      default:
        EXPECT_EQ(doc_->GetNNMinPosition(), want_position);
        if (c.stored) EXPECT_EQ(doc_->GetNNMinBeat(), c.beat);
        break;
    }
    if (c.stored && (c.command == navcmd::kStoreHRMax || c.command == navcmd::kStoreHRMin))
      EXPECT_EQ(RateEntry().beatIndex, c.beat);
  }
}

TEST_F(NavigatorArea, GoToStoredExtremeMovesThePositionAndTheCursor) {
  TiedRates();
  Show();
  doc_->SetHRMax(0, -1, -1, 0);
  doc_->SetCurrentPosition(99);
  Command(navcmd::kGoToHRMax);
  EXPECT_EQ(doc_->GetCurrentPosition(), 99);
  const int32_t p7 = doc_->GetQRSList().GetAt(7).GetPosition();
  doc_->SetHRMax(66, p7, 7, 3);
  Command(navcmd::kGoToHRMax);
  EXPECT_EQ(doc_->GetCurrentPosition(), MsOf(p7));
  EXPECT_EQ(RateEntry().beatIndex, 7);
  doc_->SetNNMin(75, doc_->GetQRSList().GetAt(2).GetPosition(), 2, 3);
  Command(navcmd::kGoToNNMin);
  EXPECT_EQ(Plot().GetNNSorted()[static_cast<size_t>(Plot().GetNNCursor())].beatIndex, 2);
  EXPECT_EQ(RateEntry().beatIndex, 2);
}

TEST_F(NavigatorArea, ListsAreBuiltUnderTheBusyWindowOnlyWhenTheAnalysisChanged) {
  int shown = 0;
  CHRNavigatorArea::SetBusyFactory([&shown](std::string_view text) {
    ++shown;
    EXPECT_EQ(text, "Test");
    return std::make_unique<CountingBusy>();
  });
  TiedRates();
  Show();
  EXPECT_EQ(shown, 1);
  const size_t entries = Plot().GetRateByBeat().size();
  AddBeats({150, 150, 150, 150});
  for (const int h : {hint::kSpanMoved, hint::kHeartRateAveraging}) Plot().OnNotify(nullptr, h, nullptr);
  Place(300);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Plot().GetRateByBeat().size(), entries);
  Plot().OnNotify(nullptr, hint::kDocumentChanged, nullptr);
  EXPECT_EQ(shown, 2);
  EXPECT_GT(Plot().GetRateByBeat().size(), entries);
}

TEST_F(NavigatorArea, MouseHintsFromOtherAreasMoveTheCursorOnce) {
  TiedRates();
  Show();
  const TQRSList& beats = doc_->GetQRSList();
  doc_->SetCurrentPosition(MsOf(beats.GetAt(12).GetPosition()));
  TMouseHint hint(1, 50, 60);
  Plot().OnNotify(nullptr, hint::kMouse1027, &hint);
  EXPECT_EQ(RateEntry().beatIndex, 12);
  // The same hint again leaves the cursor where a command put it.
  Command(navcmd::kRateHighest);
  Plot().OnNotify(nullptr, hint::kMouse1027, &hint);
  EXPECT_EQ(RateEntry().beatIndex, 5);
  TMouseHint moved(1, 51, 60);
  doc_->SetCurrentPosition(MsOf(beats.GetAt(12).GetPosition()));
  Plot().OnNotify(nullptr, hint::kMouse1027, &moved);
  EXPECT_EQ(RateEntry().beatIndex, 12);
  Command(navcmd::kRateHighest);
  doc_->SetCurrentPosition(MsOf(beats.GetAt(12).GetPosition()));
  Plot().OnNotify(nullptr, hint::kMouse1028, &moved);
  EXPECT_EQ(RateEntry().beatIndex, 12);
}

TEST_F(NavigatorArea, CursorFollowsThePositionInWholeSecondsAndClicksSetIt) {
  TiedRates();
  Show(601);
  doc_->SetCurrentPosition(300'500);
  Plot().UpdateCursorColumn();
  EXPECT_EQ(Plot().GetCursorColumn(), 300);
  doc_->SetCurrentPosition(9'000'000);
  Plot().UpdateCursorColumn();
  EXPECT_EQ(Plot().GetCursorColumn(), 600);
  gfx::Point inside{kLeft + 100, 50};
  Plot().MoveCursorTo(inside);
  EXPECT_EQ(inside.x, 100);
  EXPECT_EQ(doc_->GetCurrentPosition(), 100'000);
  EXPECT_EQ(Plot().GetCursorColumn(), 100);
  for (gfx::Point edge : {gfx::Point{kLeft, 50}, gfx::Point{kLeft + 601, 50}}) {
    Plot().MoveCursorTo(edge);
    EXPECT_EQ(doc_->GetCurrentPosition(), 100'000);
  }
}

}  // namespace
