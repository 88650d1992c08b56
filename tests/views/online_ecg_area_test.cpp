#include "views/online_ecg_area.h"

#include <gtest/gtest.h>

#include <memory>
#include <variant>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "views/area_messages.h"
#include "views/pixel_grid.h"
#include "views/view_test_fixture.h"

namespace {

// The online screen in small: a grid under two sweeps (channels 0 and 1, one above the other)
// in a headless view of the given width and 400 pixels height, fed as the recorder area feeds it.
class SweepTest : public testing::Test {
 protected:
  void Build(int width) {
    view_.reset();
    list_.reset();
    doc_.reset();
    platform::ResetProcessState();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    auto layout = std::make_unique<CViewConfiguration>(1, 1, 1);
    layout->AddChild(std::make_unique<CPixelGridConfig>(CPosition{}, gfx::Size{100, 100},
                                                        gfx::Size{1000, 1000}, 0xC0C0C0, 10, 10));
    layout->AddChild(std::make_unique<COnlineECGAreaConfig>(CPosition{}, gfx::Size{100, 100},
                                                            gfx::Size{1000, 500}, true, 0));
    layout->AddChild(std::make_unique<COnlineECGAreaConfig>(CPosition{{}, {1, 1, 0}}, gfx::Size{100, 100},
                                                            gfx::Size{1000, 500}, true, 1));
    list_ = std::make_unique<CViewConfigurations>();
    list_->Add(std::move(layout));
    view_ = std::make_unique<viewstest::TestView>(doc_.get(), list_.get(), &log_);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, 400}, win::kWsVisible));
    for (int channel = 0; channel < 2; ++channel) {
      CViewArea* found = nullptr;
      list_->GetAt(0)->BroadcastUntilHandled(areamsg::kFindSweepArea, static_cast<win::WParam>(channel),
                                             reinterpret_cast<win::LParam>(&found));
      areas_[static_cast<size_t>(channel)] = dynamic_cast<COnlineECGArea*>(found);
      ASSERT_NE(areas_[static_cast<size_t>(channel)], nullptr) << channel;
    }
  }
  void TearDown() override {
    view_.reset();
    list_.reset();
    doc_.reset();
    platform::ResetProcessState();
  }

  // One batch for both channels: first every area erases ahead, then each takes its samples.
  std::vector<int> Feed(const std::vector<int32_t>& samples) {
    for (COnlineECGArea* area : areas_) area->EraseAhead(static_cast<int>(samples.size()));
    std::vector<int> used;
    for (int channel = 0; channel < 2; ++channel)
      used.push_back(areas_[static_cast<size_t>(channel)]->AddSamples(samples, channel));
    return used;
  }

  // The polylines drawn on the view's client canvases since its last paint.
  std::vector<std::vector<gfx::Point>> ClientPolylines() const {
    std::vector<std::vector<gfx::Point>> lines;
    const win::WindowSystem::Record* record = win::Windows().RecordOf(*view_);
    if (record == nullptr) return lines;
    for (const auto& canvas : record->client) {
      for (const gfx::DisplayItem& item : canvas->Items()) {
        if (const auto* line = std::get_if<gfx::rec::Polyline>(&item)) lines.push_back(line->points);
      }
    }
    return lines;
  }

  COnlineECGArea& Sweep(int channel) { return *areas_[static_cast<size_t>(channel)]; }

  viewstest::EventLog log_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<CViewConfigurations> list_;
  std::unique_ptr<viewstest::TestView> view_;
  std::array<COnlineECGArea*, 2> areas_{};
};

TEST_F(SweepTest, AtTwentyFiveMmPerSecondColumnsTakeOneOrTwoSamplesAndShortBatchesWait) {
  Build(1000);
  ASSERT_EQ(Sweep(0).GetPixelsPerSecond(), 75.0);
  ASSERT_NE(Sweep(0).GetGridArea(), nullptr);
  EXPECT_EQ(Sweep(1).GetRect(), (gfx::Rect{0, 200, 1000, 400}));
  // 125 / 75 = 1.67 samples a column: 1, 2, 2, 1, 2, 2, ... with the fraction carried.
  struct Batch {
    const char* name;
    int samples;
    int want_used;
    int want_sweep;
  };
  constexpr Batch kBatches[] = {
      {"one sample fills the first column", 1, 1, 1},
      {"one more is too short for the next column: nothing used", 1, 0, 1},
      {"two fill it", 2, 2, 2},
      {"five samples, three columns", 5, 5, 5},
      {"one second, 75 columns", 125, 125, 80},
  };
  for (const Batch& b : kBatches) {
    SCOPED_TRACE(b.name);
    const std::vector<int> used = Feed(std::vector<int32_t>(static_cast<size_t>(b.samples), 0));
    EXPECT_EQ(used, (std::vector<int>{b.want_used, b.want_used}));
    EXPECT_EQ(Sweep(0).GetSweepPos(), b.want_sweep);
    EXPECT_EQ(Sweep(1).GetSweepPos(), b.want_sweep);
  }
}

TEST_F(SweepTest, TheFirstColumnShowsItsOwnSamplesNotAStartValue) {
  Build(1000);
  // 1 mV = 30 pixels at 10 mm/mV; one unit is 5 microvolts; larger values are drawn lower.
  struct Case {
    const char* name;
    std::vector<int32_t> samples;
    int want_offset;  // of column 0 from the baseline
  };
  const Case kCases[] = {
      {"all below 2048", {-3000}, -450},
      {"small positive", {200}, 30},
      {"a rise: the first extreme shows", {100, 300}, 15},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Build(1000);
    Feed(c.samples);
    EXPECT_EQ(Sweep(0).GetPoints()[0].y - Sweep(0).GetBaseline(), c.want_offset);
  }
}

TEST_F(SweepTest, AFlaggedSampleTicksTheNextColumn) {
  struct Sample {
    int32_t raw;
    bool flagged;
    int32_t value;
  };
  constexpr Sample kSamples[] = {
      {5, false, 5},
      {5 | (1 << 30), true, 5},
      {-5, false, -5},
      {static_cast<int32_t>(0xBFFFFFFBu), true, -5},
  };
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.raw);
    EXPECT_EQ(COnlineECGArea::IsFlagged(s.raw), s.flagged);
    EXPECT_EQ(COnlineECGArea::Restore(s.raw), s.value);
  }

  Build(1000);
  // Columns take samples {0}, {1, 2}, {3, 4}: the flag in sample 2 belongs to column 1.
  Feed({0, 0, 100 | (1 << 30), 0, 0});
  EXPECT_FALSE(Sweep(0).IsMarked(1));
  EXPECT_TRUE(Sweep(0).IsMarked(2));
  EXPECT_FALSE(Sweep(0).IsMarked(3));
  // Column 1 shows its group's first extreme (0); the flagged 100, restored, starts column 2.
  EXPECT_EQ(Sweep(0).GetPoints()[1].y - Sweep(0).GetBaseline(), 0);
  EXPECT_EQ(Sweep(0).GetPoints()[2].y - Sweep(0).GetBaseline(), 15);
  // The tick: from the trace at column 2 up by 1 mV, in the pacemaker colour.
  gfx::RecordingCanvas canvas;
  Sweep(0).Draw(canvas, Sweep(0).GetRect());
  const std::vector<std::string> lines = canvas.Lines();
  const int y = Sweep(0).GetPoints()[2].y;
  bool found = false;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] == "MoveTo 2," + std::to_string(y) && lines[i + 1] == "LineTo 2," + std::to_string(y - 30))
      found = true;
  }
  EXPECT_TRUE(found);
}

TEST_F(SweepTest, WrappingDrawsToTheRightEdgeThenGoesOnFromZeroWithoutALineAcross) {
  Build(300);
  // 300 columns hold 500 samples; 520 wrap and write 12 more columns.
  const std::vector<int> used = Feed(std::vector<int32_t>(520, 0));
  EXPECT_EQ(used[0], 520);
  EXPECT_EQ(Sweep(0).GetSweepPos(), 12);
  const std::vector<std::vector<gfx::Point>> lines = ClientPolylines();
  ASSERT_FALSE(lines.empty());
  bool reached_edge = false;
  bool restarted = false;
  for (const std::vector<gfx::Point>& line : lines) {
    for (size_t i = 1; i < line.size(); ++i)
      ASSERT_EQ(line[i].x, line[i - 1].x + 1) << "a line across the area";
    if (line.back().x == 299) reached_edge = true;
    if (line.front().x == 0 && line.back().x == 11) restarted = true;
  }
  EXPECT_TRUE(reached_edge);
  EXPECT_TRUE(restarted);
}

TEST_F(SweepTest, AWideScreenSweepsItsWholeWidth) {
  // A 4K screen is wider than any fixed column table.
  Build(3840);
  ASSERT_EQ(Sweep(0).GetPoints().size(), 3840u);
  const std::vector<int> used = Feed(std::vector<int32_t>(6500, 40));
  EXPECT_EQ(used[0], 6500);
  EXPECT_EQ(Sweep(0).GetSweepPos(), 6500 * 75 / 125 - 3840);
  EXPECT_EQ(Sweep(0).GetPoints()[3839].y - Sweep(0).GetBaseline(), 6);
}

TEST_F(SweepTest, AmplitudeStepsRescaleTheTraceAroundTheBaseline) {
  Build(1000);
  Feed({-3000});
  const int base = Sweep(0).GetBaseline();
  EXPECT_EQ(Sweep(0).OnMessage(COnlineECGArea::kAmplitudeDoubled, 0, 0), 1);
  EXPECT_EQ(Sweep(0).GetPoints()[0].y - base, -900);
  EXPECT_EQ(Sweep(0).OnMessage(COnlineECGArea::kAmplitudeHalved, 0, 0), 1);
  EXPECT_EQ(Sweep(0).GetPoints()[0].y - base, -450);
  // The settings sheet stepping the index to 0 halves, back to 1 doubles; no change, nothing.
  doc_->GetSettings().SetInt(SettingKey::kResRealTimeAmplitude, 0);
  doc_->UpdateAllViews(nullptr, hint::kDisplaySettings);
  EXPECT_EQ(Sweep(0).GetPoints()[0].y - base, -225);
  EXPECT_EQ(Sweep(0).GetPixelsPerMV(), 15.0);
  doc_->UpdateAllViews(nullptr, hint::kDisplaySettings);
  EXPECT_EQ(Sweep(0).GetPoints()[0].y - base, -225);
  // Another channel's query is not answered by this area.
  CViewArea* found = nullptr;
  EXPECT_EQ(Sweep(0).OnMessage(areamsg::kFindSweepArea, 1, reinterpret_cast<win::LParam>(&found)), 0);
  EXPECT_EQ(found, nullptr);
}

TEST_F(SweepTest, ErasingAheadRepaintsTheGridAcrossTheWrap) {
  Build(300);
  Feed(std::vector<int32_t>(490, 0));
  ASSERT_EQ(Sweep(0).GetSweepPos(), 294);
  win::Windows().ClearRecords();
  Sweep(0).EraseAhead(10);
  const win::WindowSystem::Record* record = win::Windows().RecordOf(*view_);
  ASSERT_NE(record, nullptr);
  ASSERT_FALSE(record->client.empty());
  gfx::Rect left_part;
  gfx::Rect right_part;
  for (const gfx::DisplayItem& item : record->client.back()->Items()) {
    if (const auto* blit = std::get_if<gfx::rec::DrawBitmap>(&item)) {
      if (blit->dest.left >= 294) right_part = gfx::Union(right_part, blit->dest);
      if (blit->dest.left < 100) left_part = gfx::Union(left_part, blit->dest);
    }
  }
  EXPECT_EQ(right_part, (gfx::Rect{294, 0, 300, 202}));
  EXPECT_EQ(left_part, (gfx::Rect{0, 0, 294 + 10 - 300 + 7, 202}));
}

}  // namespace
