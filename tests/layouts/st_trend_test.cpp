#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/qrs_complex.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/layout_harness.h"
#include "layouts/page_factories.h"
#include "layouts/st_trend_area.h"
#include "layouts/st_trend_factories.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/screen_golden.h"
#include "views/st_scale_area.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

constexpr int kInterval = 15;
constexpr int kPerPoint = 300 / kInterval;
constexpr int32_t kMinuteMs = 60000;

// Five-minute points of ST channel index s: each point stored as twenty equal ST intervals.
void SetPoints(CZK470Doc& doc, int s, const std::vector<double>& points, bool level = true) {
  TRecordingData& record = doc.GetRecordingData();
  record.st_interval = kInterval;
  record.st_channel_analysed[static_cast<size_t>(s)] = 1;
  TSTValues& series =
      level ? record.st_levels[static_cast<size_t>(s)] : record.st_slopes[static_cast<size_t>(s)];
  series.RemoveAll();
  for (const double v : points)
    for (int i = 0; i < kPerPoint; ++i) series.Add(v);
}

void SetSpan(CZK470Doc& doc, int start_minute, int minutes) {
  doc.SetSpanStartMinute(start_minute);
  doc.SetSpanLength(minutes);
  doc.SetSpanStartMs(start_minute * kMinuteMs);
  doc.SetSpanEndMs((start_minute + minutes) * kMinuteMs);
}

void ShowOnly(CZK470Doc& doc, std::array<int, 4> switches) {
  SettingsStore& settings = doc.GetSettings();
  settings.SetInt(SettingKey::kSTTrendLevel1, switches[0]);
  settings.SetInt(SettingKey::kSTTrendSlope1, switches[1]);
  settings.SetInt(SettingKey::kSTTrendLevel2, switches[2]);
  settings.SetInt(SettingKey::kSTTrendSlope2, switches[3]);
}

// A trend area alone on a rectangle of its own, over a document with one beat and two ST channels.
class STTrendArea : public testing::Test {
 protected:
  void SetUp() override {
    saved_channels_ = document::Context().g_STChannels;
    Fresh();
  }
  void Fresh() {
    const std::array<int32_t, 2> channels = {0, 1};
    document::Context().g_STChannels.Assign(channels);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetQRSList().Append(TQRSComplex(100, 1));
    ShowOnly(*doc_, {1, 0, 0, 0});
    SetSpan(*doc_, 0, 1440);
    area_ = std::make_unique<CSTTrendArea>(&node_, doc_.get());
  }
  void TearDown() override { document::Context().g_STChannels = saved_channels_; }

  void Place(int width, int height = 200) {
    area_->SetRect({10, 0, 10 + width, height});
    area_->Recompute();
  }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  CSTTrendAreaConfig node_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<CSTTrendArea> area_;
  document::ChannelSet saved_channels_;
};

TEST_F(STTrendArea, RangeIsTheUnionOfTheShownCurvesBounds) {
  struct Case {
    const char* name;
    std::vector<double> level0;
    std::vector<double> slope1;
    std::array<int, 4> switches;
    bool analysed;
    double lowest, highest;
  };
  const Case cases[] = {
      {"small values keep at least 3", {-1.4, 0.6, 0.0}, {}, {1, 0, 0, 0}, true, -3.0, 3.0},
      {"deep values stop at 8", {-9.5, 0.0}, {}, {1, 0, 0, 0}, true, -8.0, 8.0},
      {"between", {-4.2, 1.0}, {}, {1, 0, 0, 0}, true, -5.0, 5.0},
      {"no curve switched on", {-9.5}, {}, {0, 0, 0, 0}, true, -3.0, 3.0},
      {"not analysed", {-9.5}, {}, {1, 1, 1, 1}, false, -3.0, 3.0},
      {"slope of index 1 widens the level's", {-1.0}, {6.2}, {1, 0, 0, 1}, true, -7.0, 7.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    SetPoints(*doc_, 0, c.level0);
    if (!c.slope1.empty()) SetPoints(*doc_, 1, c.slope1, false);
    if (!c.analysed) doc_->GetRecordingData().st_channel_analysed = {0, 0};
    ShowOnly(*doc_, c.switches);
    Place(600);
    EXPECT_EQ(area_->LowestValue(), c.lowest);
    EXPECT_EQ(area_->HighestValue(), c.highest);
    EXPECT_EQ(area_->Range(), static_cast<int>(c.highest - c.lowest));
  }
}

TEST_F(STTrendArea, DayOnSixHundredColumnsSpreadsPointsWithEvenSteps) {
  std::vector<double> points(288);
  for (size_t k = 0; k < points.size(); ++k) points[k] = static_cast<double>(k % 5) * 0.5 - 1.0;
  SetPoints(*doc_, 0, points);
  Place(600);
  ASSERT_EQ(area_->VertexCount(), 288);
  const double step = 600.0 / 287.0;
  for (const int j : {0, 1, 2, 100, 286}) {
    SCOPED_TRACE(j);
    EXPECT_EQ(area_->Vertex(kSTLevel0, j).x, 10 + static_cast<int>(std::trunc(j * step)) + 1);
    EXPECT_EQ(area_->Vertex(kSTLevel0, j).y, area_->ValueY(points[static_cast<size_t>(j)]));
  }
  // The last point keeps to the last column.
  EXPECT_EQ(area_->Vertex(kSTLevel0, 287).x, 10 + 599 + 1);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 599), points[287]);
  // Columns between two vertices show the later point.
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 1), points[1]);
}

TEST_F(STTrendArea, DayOnTwoHundredColumnsShowsTheLargestMagnitudeOfEachColumn) {
  std::vector<double> points(288);
  for (size_t k = 0; k < points.size(); ++k) points[k] = k % 2 == 0 ? 1.0 : -2.0;
  points[287] = 7.0;
  SetPoints(*doc_, 0, points);
  Place(200);
  ASSERT_EQ(area_->VertexCount(), 200);
  // Column 0 takes point 0, column 1 point 1, column 2 points 2 and 3; every point is taken once,
  // so the last column ends with point 287.
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 0), 1.0);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 1), -2.0);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 2), -2.0);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 199), 7.0);
  EXPECT_EQ(area_->Vertex(kSTLevel0, 199).x, 10 + 199 + 1);
}

TEST_F(STTrendArea, DegenerateSpansAndWidthsStayDefined) {
  SetPoints(*doc_, 0, std::vector<double>(288, -2.0));
  // One point in the span: its vertex at the left edge, the other columns 0.
  SetSpan(*doc_, 0, 5);
  Place(600);
  EXPECT_EQ(area_->VertexCount(), 1);
  EXPECT_EQ(area_->Vertex(kSTLevel0, 0).x, 11);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 0), -2.0);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 1), 0.0);

  // One column: no cursor step, a click changes nothing.
  SetSpan(*doc_, 0, 1440);
  doc_->SetCurrentPosition(600000);
  Place(1);
  EXPECT_EQ(area_->UpdateCursor(), 0);
  area_->SetPositionFromX(10);
  EXPECT_EQ(doc_->GetCurrentPosition(), 600000);

  // A span under a second.
  doc_->SetSpanEndMs(doc_->GetSpanStartMs() + 999);
  Place(600);
  EXPECT_EQ(area_->UpdateCursor(), 0);
  EXPECT_EQ(area_->VertexCount(), 0);

  // Wider than the arrays: only their columns are used.
  SetSpan(*doc_, 0, 1440 * 12);
  Place(4000);
  EXPECT_EQ(area_->Columns(), CSTTrendArea::kMaxColumns);
  EXPECT_EQ(area_->VertexCount(), CSTTrendArea::kMaxColumns);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, CSTTrendArea::kMaxColumns), 0.0);
}

TEST_F(STTrendArea, ColumnsPastTheRecordingsPointsShowZero) {
  SetPoints(*doc_, 0, std::vector<double>(288, -2.0));
  Place(600);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 599), -2.0);
  // A shorter recording next: nothing of the first stays past its own ten points.
  SetPoints(*doc_, 0, std::vector<double>(10, -1.0));
  Place(600);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 0), -1.0);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 300), 0.0);
  EXPECT_EQ(area_->GetColumnValue(kSTLevel0, 599), 0.0);
  EXPECT_EQ(area_->Vertex(kSTLevel0, 287).y, area_->ValueY(0.0));
}

TEST_F(STTrendArea, ClickSetsThePositionByWholeColumnSteps) {
  SetPoints(*doc_, 0, std::vector<double>(288, 0.0));
  SetSpan(*doc_, 720, 720);
  Place(600);
  const int64_t span = 720 * kMinuteMs;
  for (const int x : {1, 250, 598}) {
    SCOPED_TRACE(x);
    area_->SetPositionFromX(10 + x);
    EXPECT_EQ(doc_->GetCurrentPosition(), 720 * kMinuteMs + x * (span / 599));
  }
  // On the edges nothing moves.
  const int32_t before = doc_->GetCurrentPosition();
  area_->SetPositionFromX(10);
  area_->SetPositionFromX(610);
  EXPECT_EQ(doc_->GetCurrentPosition(), before);
}

TEST_F(STTrendArea, DrawsLimitLinesGridAndOnlyTheShownCurves) {
  SetPoints(*doc_, 0, std::vector<double>(288, -1.0));
  SetPoints(*doc_, 1, std::vector<double>(288, 1.0));
  doc_->GetRecordingData().st_depression_limit = {20, -1};
  ShowOnly(*doc_, {1, 0, 0, 0});
  Place(600, 300);
  gfx::RecordingCanvas dc;
  area_->Draw(dc, {0, 0, 700, 300});
  const std::vector<std::string> lines = dc.Lines();
  const int mid = 150;
  const int offset = static_cast<int>(std::trunc(2.0 * 300 / area_->Range()));
  const auto has = [&](const std::string& text) {
    for (const std::string& line : lines)
      if (line == text) return true;
    return false;
  };
  EXPECT_TRUE(has("MoveTo 11," + std::to_string(mid - offset)));
  EXPECT_TRUE(has("MoveTo 11," + std::to_string(mid + offset)));
  EXPECT_TRUE(has("SelectPen dot 1 0x000000"));
  int polylines = 0;
  for (const std::string& line : lines) polylines += line.rfind("Polyline", 0) == 0 ? 1 : 0;
  EXPECT_EQ(polylines, 1);
}

// The ST screen (layout 7) with the ST group registered, over a 24-hour recording.
class STScreen : public testing::Test {
 protected:
  void SetUp() override {
    saved_channels_ = document::Context().g_STChannels;
    const std::array<int32_t, 1> channels = {0};
    document::Context().g_STChannels.Assign(channels);
    RegisterPageFactories();
    RegisterSTTrendFactories();
  }
  void TearDown() override {
    harness_.reset();
    document::Context().g_STChannels = saved_channels_;
  }

  void Show(int width = 1280, int height = 800) {
    harness_ = std::make_unique<layouttest::LayoutHarness>(7, width, height);
    CZK470Doc& doc = harness_->Doc();
    doc.GetQRSList().Append(TQRSComplex(100, 1));
    std::vector<double> points(288);
    for (size_t k = 0; k < points.size(); ++k) points[k] = k > 100 && k < 120 ? -4.2 : -0.3;
    SetPoints(doc, 0, points);
    SetPoints(doc, 0, std::vector<double>(288, 0.4), false);
    doc.GetRecordingData().st_depression_limit = {15, -1};
    SetSpan(doc, 0, 1440);
    doc.SetCurrentPosition(360 * kMinuteMs);
    doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
    win::Windows().RunPending();
  }
  CSTTrendWnd& Window() {
    return *dynamic_cast<CSTTrendWnd*>(
        dynamic_cast<CWindowArea*>(harness_->Node(7)->GetArea())->GetHostedWindow());
  }
  template <typename Area>
  Area& AreaOf(int row) {
    return *dynamic_cast<Area*>(harness_->Node(row)->GetArea());
  }

  std::unique_ptr<layouttest::LayoutHarness> harness_;
  document::ChannelSet saved_channels_;
};

TEST_F(STScreen, GroupTakesItsPlaceAndTellsTheScaleItsRange) {
  Show();
  EXPECT_NE(dynamic_cast<CSTTrendWnd*>(&Window()), nullptr);
  EXPECT_EQ(CSTTrendWnd::Current(), &Window());
  CSTTrendArea& trend = AreaOf<CSTTrendArea>(10);
  EXPECT_EQ(trend.LowestValue(), -5.0);
  EXPECT_EQ(AreaOf<CSTScaleArea>(9).RangeMin(), -5);
  EXPECT_EQ(AreaOf<CSTScaleArea>(9).RangeMax(), 5);
  EXPECT_NE(trend.GetCaliper(), nullptr);
  EXPECT_GT(trend.GetCursorColumn(), 0);
}

TEST_F(STScreen, LegendBoxesFollowSwitchesAndAnalysedChannels) {
  Show();
  CSTLegendArea& legend = AreaOf<CSTLegendArea>(11);
  for (int id = kSTLegendFirstBox; id <= kSTLegendLastBox; ++id) {
    SCOPED_TRACE(id);
    ASSERT_NE(legend.Box(id), nullptr);
    // Index 1 was not analysed: its boxes (1329, 1330) are disabled.
    EXPECT_EQ(legend.Box(id)->IsWindowEnabled(), id <= 1328);
  }
  // Switching the level of index 0 off leaves only its slope: the range shrinks to the slope's.
  Window().SendMessage(win::kWmCommand, kSTLegendFirstBox, 0);
  EXPECT_EQ(harness_->Doc().GetSettings().Int(SettingKey::kSTTrendLevel1), 0);
  EXPECT_EQ(AreaOf<CSTTrendArea>(10).LowestValue(), -3.0);
  EXPECT_EQ(AreaOf<CSTScaleArea>(9).RangeMin(), -3);
}

TEST_F(STScreen, RadioCommandsKeepTheirFlag) {
  Show();
  EXPECT_EQ(Window().GetRadioFlag(), 1);
  Window().SendMessage(win::kWmCommand, kSTTrendRadio0, 0);
  EXPECT_EQ(Window().GetRadioFlag(), 0);
  EXPECT_EQ(win::UpdateCommand(Window(), kSTTrendRadio0).Radio(), std::optional<bool>(true));
  EXPECT_EQ(win::UpdateCommand(Window(), kSTTrendRadio1).Radio(), std::optional<bool>(false));
}

TEST_F(STScreen, PaintingEqualsTheGoldenDisplayList) {
  Show();
  Window().RedrawWindow();
  testsupport::ExpectScreenGolden("layouts", "st_trend_window", testsupport::RecordedScreen(Window()));
}

}  // namespace
