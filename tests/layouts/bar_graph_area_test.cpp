#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/bar_graph_areas.h"
#include "layouts/legend_items.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "support/screen_golden.h"
#include "trend_screen_fixture.h"
#include "views/caption_areas.h"
#include "win/command_target.h"
#include "win/messages.h"
#include "win/toolbar_window.h"

namespace {

using trendtest::Lines;

constexpr int32_t kSamplesPerHour = 125 * 3600;

TEST(HourlyBars, OneBarPerWholeHourAndAtLeastTwentyFour) {
  struct Case {
    int minutes;
    int bars;
  };
  for (const Case c : {Case{0, 24}, Case{30, 24}, Case{1440, 24}, Case{1590, 26}, Case{73 * 60 + 20, 73},
                       Case{150 * 60, 150}}) {
    SCOPED_TRACE(c.minutes);
    EXPECT_EQ(HourlyBarCount(c.minutes), c.bars);
  }
}

// Beats of the class and events of the kind, by hour of their start, also past 72 hours; a partial
// last hour without a bar is not counted.
TEST(HourlyBars, CountsBeatsAndEventsOfTheCodePerHour) {
  platform::MemoryProfileStore profile;
  platform::ManualClock clock;
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
  TQRSList& beats = doc.GetQRSList();
  for (const int32_t position : {100, 200, kSamplesPerHour - 1, kSamplesPerHour})
    beats.Append(TQRSComplex(position, 15));
  beats.Append(TQRSComplex(kSamplesPerHour + 10, 1));
  beats.Append(TQRSComplex(80 * kSamplesPerHour + 5, 15));
  beats.Append(TQRSComplex(81 * kSamplesPerHour + 5, 15));
  doc.GetEventList().Append(TEvent(2 * kSamplesPerHour + 3, 2 * kSamplesPerHour + 300, 15));
  doc.GetEventList().Append(TEvent(2 * kSamplesPerHour + 9, 2 * kSamplesPerHour + 400, 16));

  const std::vector<int> counts = HourlyCounts(doc, 15, 81);
  ASSERT_EQ(counts.size(), 81u);
  EXPECT_EQ(counts[0], 3);
  EXPECT_EQ(counts[1], 1);
  EXPECT_EQ(counts[2], 1);
  EXPECT_EQ(counts[80], 1);
  EXPECT_EQ(HourlyCounts(doc, 16, 24)[2], 1);
  EXPECT_EQ(HourlyCounts(doc, 1, 24)[1], 1);
}

// One class graph alone on a rectangle of its own, over a document without samples (24 bars).
class ClassBarGraph : public testing::Test {
 protected:
  void SetUp() override { SetTimeAxisLocale(&locale_); }
  void TearDown() override { SetTimeAxisLocale(nullptr); }

  // n beats of class 15 in hour 3, and one in hour 5.
  void Fill(int n) {
    TQRSList& beats = doc_.GetQRSList();
    beats.RemoveAt(0, beats.GetSize());
    for (int i = 0; i < n; ++i) beats.Append(TQRSComplex(3 * kSamplesPerHour + i, 15));
    beats.Append(TQRSComplex(5 * kSamplesPerHour, 15));
  }
  // Start time of the recording, fraction of a day.
  void StartAt(int hour, int minute) {
    doc_.GetRecordingData().start_time.days = (hour * 60 + minute) / 1440.0;
  }
  CClassBarGraphArea& Place(int width, int height = 233) {
    area_ = std::make_unique<CClassBarGraphArea>(&node_, &doc_);
    area_->SetRect({0, 0, width, height});
    area_->Attach(nullptr);
    area_->OnLayout(0, 0, width, height);
    return *area_;
  }
  Lines Drawn() {
    gfx::RecordingCanvas dc;
    area_->Draw(dc, area_->GetRect());
    return dc.Lines();
  }
  // The grid lines: dotted lines from just right of the value axis.
  int GridLines(const Lines& lines) {
    const std::string from = "MoveTo " + std::to_string(area_->LeftMargin() + 1) + ",";
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& line) { return line.rfind(from, 0) == 0; }));
  }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  CZK470Doc doc_{CZK470Doc::NoUserInterface{}, profile_, clock_};
  CClassBarGraphAreaConfig node_{{}, {300, 100}, {500, 333}, false, 15};
  std::unique_ptr<CClassBarGraphArea> area_;
};

TEST_F(ClassBarGraph, ValueAxisRoundsUpToTensWithItsGrid) {
  struct Case {
    int largest;
    int scale;
    int lines;
  };
  for (const Case c :
       {Case{37, 40, 4}, Case{40, 40, 4}, Case{203, 210, 11}, Case{7, 10, 10}, Case{0, 0, 0}}) {
    SCOPED_TRACE(c.largest);
    Fill(c.largest);
    if (c.largest == 0) doc_.GetQRSList().RemoveAt(0, doc_.GetQRSList().GetSize());
    CClassBarGraphArea& area = Place(500);
    EXPECT_EQ(area.ValueMax(), c.largest);
    EXPECT_EQ(area.ScaleMax(), c.scale);
    const Lines lines = Drawn();
    EXPECT_EQ(GridLines(lines), c.lines);
    const std::vector<std::string> texts = trendtest::Texts(lines);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::to_string(c.scale)), texts.end());
    if (c.largest == 0) continue;
    // The tallest bar reaches its share of the axis; the bar of one beat its own share.
    const int base = 233 - area.BottomMargin();
    const int plot_height = 233 - area.BottomMargin() - 20;
    EXPECT_EQ(area.Bar(3).bottom, base);
    EXPECT_EQ(base - area.Bar(3).top, plot_height * c.largest / c.scale);
    EXPECT_NEAR(base - area.Bar(5).top, static_cast<double>(plot_height) / c.scale, 1.0);
    EXPECT_EQ(area.Bar(4).top, base);
  }
}

TEST_F(ClassBarGraph, EightPixelBarsFromNineOClockLabelEveryFourthEvenHourWithATick) {
  Fill(5);
  StartAt(9, 25);
  CClassBarGraphArea& area = Place(300);
  ASSERT_EQ(area.BarCount(), 24);
  ASSERT_EQ(area.Bar(0).Width(), 8);
  EXPECT_EQ(area.BottomMargin(), 25);
  const Lines lines = Drawn();
  const std::vector<std::string> texts = trendtest::Texts(lines);
  // Labels follow the title; the unit and the axis top come after them.
  const auto first = std::find(texts.begin(), texts.end(), "10");
  ASSERT_GE(texts.end() - first, 6);
  const std::vector<std::string> labels(first, first + 6);
  EXPECT_EQ(labels, (std::vector<std::string>{"10", "14", "18", "22", "2", "6"}));
  // Bar 1 (10 o'clock) has its tick under its centre.
  const gfx::Rect& bar = area.Bar(1);
  const std::string tick = "MoveTo " + std::to_string(bar.left + 4) + "," + std::to_string(bar.bottom);
  EXPECT_NE(std::find(lines.begin(), lines.end(), tick), lines.end()) << tick;
}

TEST_F(ClassBarGraph, MarginsMakeRoomForAmPmLines) {
  platform::FixedLocale twelve{platform::FixedLocale::Kind::k12Hour};
  SetTimeAxisLocale(&twelve);
  Fill(3);
  StartAt(11, 0);
  CClassBarGraphArea& area = Place(700);
  EXPECT_EQ(area.BottomMargin(), 40);
  const std::vector<std::string> texts = trendtest::Texts(Drawn());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "PM"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "AM"), texts.end());
}

TEST_F(ClassBarGraph, DocumentHintsRecolourWithoutRecounting) {
  Fill(12);
  CClassBarGraphArea& area = Place(500);
  EXPECT_EQ(area.Caption(), doc_.GetKindName(15));
  EXPECT_EQ(area.BarColour(), CodeColour(doc_, 15));
  doc_.GetSettings().SetInt(SettingKey::kColorVES, 1);
  doc_.GetQRSList().Append(TQRSComplex(3 * kSamplesPerHour + 500, 15));
  area.OnNotify(nullptr, hint::kDocumentChanged, nullptr);
  EXPECT_EQ(area.BarColour(), CodeColour(doc_, 15));
  EXPECT_EQ(area.HourValue(3), 12);
  area.OnLayout(0, 0, 500, 233);
  EXPECT_EQ(area.HourValue(3), 13);
}

TEST_F(ClassBarGraph, WithoutAClassOnlyAFrame) {
  node_.SetClassSlot(-1);
  CClassBarGraphArea& area = Place(500);
  EXPECT_EQ(area.BarCount(), 0);
  const Lines lines = Drawn();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("Rectangle", 0) == 0; }),
            1);
  EXPECT_TRUE(trendtest::Texts(lines).empty());
}

// Layout 4 over a synthetic recording.
class BarGraphScreen : public trendtest::TrendScreen {
 protected:
  CBarGraphWnd& Window() { return WindowOf<CBarGraphWnd>("CBarGraphWindowConfig"); }
  std::vector<CClassBarGraphArea*> Graphs() {
    std::vector<CClassBarGraphArea*> graphs;
    CViewAreaConfig* node = Node("CBarGraphWindowConfig");
    for (int i = 0; i < node->GetChildCount(); ++i)
      graphs.push_back(dynamic_cast<CClassBarGraphArea*>(node->GetChild(i)->GetArea()));
    return graphs;
  }
  std::vector<int> Slots() {
    std::vector<int> slots;
    for (CClassBarGraphArea* graph : Graphs()) slots.push_back(graph != nullptr ? graph->GetClassSlot() : -2);
    return slots;
  }
};

TEST_F(BarGraphScreen, ToolbarSwitchesTheGroupAndTheDocumentKeepsIt) {
  Record(30);
  ASSERT_NO_FATAL_FAILURE(Show(4));
  EXPECT_EQ(Slots(), (std::vector<int>{15, 16, 17, 18, 19, 20}));
  for (CClassBarGraphArea* graph : Graphs()) {
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->BarCount(), 24);
    EXPECT_EQ(graph->StoredRect().Width(), Window().GetClientRect().Width() / 2);
  }
  // Half an hour of recording: every ventricular beat and event lies in the first bar.
  const int ves = Doc().GetQRSList().GetCounter(15) + Doc().GetEventList().GetCounter(15);
  ASSERT_GT(ves, 0);
  EXPECT_EQ(Graphs()[0]->HourValue(0), ves);
  EXPECT_EQ(Graphs()[0]->HourValue(1), 0);

  CBarGraphWnd& window = Window();
  auto* bar = dynamic_cast<win::ToolBarWindow*>(
      dynamic_cast<CWindowAreaConfig*>(Node("CBarGraphWindowConfig"))->GetToolBar());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetWindowText(), "Bar Graph View");
  EXPECT_EQ(bar->Model().Count(), 5u);
  EXPECT_EQ(bar->Model().At(0).id, kBarGraphVentricularCommand);
  EXPECT_EQ(bar->Model().At(4).id, kBarGraphOtherGroupCommand);
  EXPECT_EQ(win::UpdateCommand(window, kBarGraphVentricularCommand).Radio(), std::optional<bool>(true));
  EXPECT_EQ(win::UpdateCommand(window, kBarGraphSupraventricularCommand).Radio(), std::optional<bool>(false));

  const size_t canvases = trendtest::ClientCanvases(window);
  window.SendMessage(win::kWmCommand, kBarGraphSupraventricularCommand, 0);
  EXPECT_EQ(window.GetGroup(), 2);
  EXPECT_EQ(Slots(), (std::vector<int>{9, 10, 11, 12, 13, 14}));
  EXPECT_EQ(Graphs()[0]->HourValue(0), Doc().GetQRSList().GetCounter(9) + Doc().GetEventList().GetCounter(9));
  EXPECT_EQ(win::UpdateCommand(window, kBarGraphSupraventricularCommand).Radio(), std::optional<bool>(true));
  // The new graphs are painted at once, titles and all.
  ASSERT_EQ(trendtest::ClientCanvases(window), canvases + 1);
  const std::vector<std::string> texts = trendtest::Texts(trendtest::ClientDrawing(window, canvases));
  EXPECT_NE(std::find(texts.begin(), texts.end(), Doc().GetKindName(9)), texts.end());

  // Another screen and back: the document kept the group.
  ASSERT_NO_FATAL_FAILURE(Show(2));
  EXPECT_EQ(Doc().GetViewFields().bar_graph_group, 2);
  ASSERT_NO_FATAL_FAILURE(Show(4));
  EXPECT_EQ(Slots(), (std::vector<int>{9, 10, 11, 12, 13, 14}));
  Window().SendMessage(win::kWmCommand, kBarGraphOtherGroupCommand, 0);
  EXPECT_EQ(Slots(), (std::vector<int>{3, 4, 5, 6, 7, 8}));
}

TEST_F(BarGraphScreen, PaintingEqualsTheGoldenDisplayList) {
  Record(30);
  ASSERT_NO_FATAL_FAILURE(Show(4));
  CWindowArea* area = dynamic_cast<CWindowArea*>(Node("CBarGraphWindowConfig")->GetArea());
  area->GetFrame()->RedrawWindow();
  win::Windows().RunPending();
  const Lines lines = testsupport::RecordedScreen(*area->GetFrame());
  const std::vector<std::string> texts = trendtest::Texts(lines);
  for (int code = 15; code <= 20; ++code)
    EXPECT_NE(std::find(texts.begin(), texts.end(), Doc().GetKindName(code)), texts.end()) << code;
  testsupport::ExpectScreenGolden("layouts", "bar_graph_window", lines);
}

// A recording of 26.5 hours: 26 bars (the half hour has none), room under the axis for the day.
TEST_F(BarGraphScreen, LongerThanADayShowsWholeHoursAndDayLabels) {
  Record(1590);
  ASSERT_NO_FATAL_FAILURE(Show(4));
  CClassBarGraphArea& graph = *Graphs()[0];
  EXPECT_EQ(graph.BarCount(), 26);
  EXPECT_EQ(graph.BottomMargin(), 40);
  int beats = 0;
  for (int i = 0; i < graph.BarCount(); ++i) beats += graph.HourValue(i);
  EXPECT_GT(beats, 0);
  EXPECT_LE(beats, Doc().GetQRSList().GetCounter(15) + Doc().GetEventList().GetCounter(15));
  gfx::RecordingCanvas dc;
  graph.Draw(dc, graph.StoredRect());
  const std::vector<std::string> texts = trendtest::Texts(dc.Lines());
  EXPECT_NE(std::find(texts.begin(), texts.end(), Doc().GetDayLabel(2)), texts.end());
}

}  // namespace
