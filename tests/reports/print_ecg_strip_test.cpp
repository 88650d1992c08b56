#include "reports/parts/print_ecg_strip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "gfx/recording_canvas.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_grids.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "support/screen_golden.h"
#include "views/ecg_strip_painter.h"

namespace {

using reporttest::PrinterDevice;
using reporttest::ReportPartTest;

constexpr int kMinute = 7500;  // samples at 125 per second
constexpr double kMinuteSpeed = 175.0 / 60.0;

struct Piece {
  gfx::Pen pen;
  std::vector<gfx::Point> points;
};

// Every PolylineTo with the pen it was drawn with.
std::vector<Piece> PiecesOf(const gfx::RecordingCanvas& dc) {
  std::vector<Piece> pieces;
  gfx::Pen pen;
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* select = std::get_if<gfx::rec::SelectPen>(&item)) pen = select->pen;
    if (const auto* polyline = std::get_if<gfx::rec::PolylineTo>(&item))
      pieces.push_back({pen, polyline->points});
  }
  return pieces;
}

// Lines drawn by MoveTo/LineTo pairs.
std::vector<std::pair<gfx::Point, gfx::Point>> LinesOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::pair<gfx::Point, gfx::Point>> lines;
  gfx::Point at;
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* move = std::get_if<gfx::rec::MoveTo>(&item)) at = move->to;
    if (const auto* line = std::get_if<gfx::rec::LineTo>(&item)) {
      lines.emplace_back(at, line->to);
      at = line->to;
    }
  }
  return lines;
}

std::vector<std::string> CommentsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> comments;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* comment = std::get_if<gfx::rec::Comment>(&item)) comments.push_back(comment->text);
  return comments;
}

class PrintECGStripTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenRecording(6));
    ASSERT_EQ(document::Context().g_RecordingChannels.count, 2);
  }

  // The store's sample of a channel position at a sample position.
  int StoreSample(int channel, int position) {
    const int recorder_channel =
        document::Context().g_RecordingChannels.channels[static_cast<size_t>(channel)];
    auto block = doc_->GetRawECGData()->GetChannelMinute(recorder_channel, position / kMinute);
    return block->samples[static_cast<size_t>(position % kMinute)];
  }

  void PlantBeats(std::initializer_list<TQRSComplex> beats) {
    doc_->GetQRSList().RemoveAll();
    for (const TQRSComplex& beat : beats) doc_->GetQRSList().Append(beat);
  }

  void PlantEvents(std::initializer_list<TEvent> events) {
    doc_->GetEventList().RemoveAll();
    for (const TEvent& event : events) doc_->GetEventList().Append(event);
  }

  gfx::RecordingCanvas dc_{PrinterDevice()};
};

// --- Geometry --------------------------------------------------------------------------------

TEST_F(PrintECGStripTest, WindowLengthFollowsWidthAndSpeed) {
  struct Case {
    const char* name;
    int width;
    double speed;
    int want_samples;
  };
  const Case kCases[] = {
      {"one minute of full disclosure", 17500, kMinuteSpeed, 7500},
      {"strip at 25 mm/s", 18500, 25.0, 925},
      {"strip at 12.5 mm/s", 18500, 12.5, 1850},
      {"longer than a minute is clipped", 17500, 1.0, TPrintECGStrip::kMaxPoints},
      {"empty rectangle", 0, 25.0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const TPrintECGStrip strip(doc_.get(), 0, 1000, -2000, 1000 + c.width, -7000, c.speed, 10.0, 0);
    EXPECT_EQ(strip.WindowSamples(), c.want_samples);
  }
  const TPrintECGStrip strip(doc_.get(), 0, 1000, -2000, 19500, -7000, 25.0, 10.0, 0);
  EXPECT_EQ(strip.SampleX(125), 1000 + 2500);         // one second at 25 mm/s
  EXPECT_EQ(strip.ValueY(-3000, 200), -3000 + 1000);  // 1 mV at 10 mm/mV
}

TEST_F(PrintECGStripTest, SpreadMovesTheFirstTwoBaselinesTogether) {
  struct Case {
    const char* name;
    int spread;
    bool middle;
    int want0;
    int want1;
  };
  // Rectangle from y -2000 down to -7000: a quarter and three quarters of 50 mm down.
  constexpr Case kCases[] = {
      {"even", 0, false, -3250, -5750},
      {"spread 300", 300, false, -3550, -5450},
      {"middle", -1, true, -4500, -4500},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const TPrintECGStrip strip(doc_.get(), 0, 1000, -2000, 19500, -7000, 25.0, 10.0, c.spread);
    const std::array<int, 3> baselines = strip.Baselines(c.middle);
    EXPECT_EQ(baselines[0], c.want0);
    EXPECT_EQ(baselines[1], c.want1);
  }
  const TPrintECGStrip strip(doc_.get(), 0, 1000, -2000, 19500, -7000, 25.0, 10.0, 300);
  const std::array<int, 3> spread = strip.Baselines(false);
  EXPECT_EQ((-3250 - -5750) - (spread[0] - spread[1]), 600);  // 6 mm closer
}

// --- Full drawing ------------------------------------------------------------------------------

TEST_F(PrintECGStripTest, PointsAcrossAMinuteBoundaryAreTheStoresSamples) {
  // Starts in the last second of minute 2 and runs 2 s into minute 3.
  const int start = 3 * kMinute - 100;
  PlantBeats({});
  TPrintECGStrip strip(doc_.get(), start, 1000, -2000, 8500, -7000, 25.0, 10.0, 300);
  strip.Draw(dc_, info_);
  ASSERT_EQ(strip.WindowSamples(), 375);
  EXPECT_EQ(strip.LoadedMinutes(0), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(strip.LoadedMinutes(1), (std::vector<int32_t>{2, 3}));

  const std::array<int, 3> baselines = strip.Baselines(false);
  const std::vector<Piece> pieces = PiecesOf(dc_);
  ASSERT_EQ(pieces.size(), 2U);  // no beats: one piece per channel
  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel);
    const std::vector<gfx::Point>& points = pieces[static_cast<size_t>(channel)].points;
    ASSERT_EQ(points.size(), 374U);  // after the MoveTo to the first point
    for (int k = 1; k < 375; ++k) {
      const gfx::Point want{strip.SampleX(k), strip.ValueY(baselines[static_cast<size_t>(channel)],
                                                           StoreSample(channel, start + k))};
      ASSERT_EQ(points[static_cast<size_t>(k - 1)], want) << "sample " << k;
    }
  }
}

TEST_F(PrintECGStripTest, LoadsOnlyTheWindowsMinutesAndNothingPastTheEnd) {
  struct Case {
    const char* name;
    int start;
    std::vector<int32_t> want;
  };
  const Case kCases[] = {
      {"a whole minute", 3 * kMinute, {3}},   {"inside one minute", 4 * kMinute + 1000, {4}},
      {"the last minute", 5 * kMinute, {5}},  {"past the end", 6 * kMinute, {}},
      {"far past the end", 60 * kMinute, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    // Leave the store at minute 0 so that a read would show.
    (void)doc_->GetRawECGData()->GetChannelMinute(0, 0);
    gfx::RecordingCanvas dc(PrinterDevice());
    const int width = c.start % kMinute == 0 ? 17500 : 1000;
    TPrintECGStrip strip(doc_.get(), c.start, 1000, -2000, 1000 + width, -3000, kMinuteSpeed, 3.0, 50);
    strip.DrawCompressed(dc, info_, 2);
    EXPECT_EQ(strip.LoadedMinutes(0), c.want);
    if (c.want.empty()) {
      EXPECT_EQ(doc_->GetRawECGData()->GetCachedMinute(), 0);
      EXPECT_TRUE(dc.Items().empty());
      strip.Draw(dc, info_);
      EXPECT_TRUE(dc.Items().empty());
    }
  }
}

TEST_F(PrintECGStripTest, BeatsAreDrawnInTheirClassColours) {
  const int s = 2 * kMinute;
  // Half width 15 samples; the two beats at one sample must not disturb the pieces.
  PlantBeats({{s - 200, kClassNormal},
              {s + 50, kClassNormal},
              {s + 120, kClassVES},
              {s + 120, kClassVES},
              {s + 400, kClassNormal},
              {s + 900, kClassVES}});
  const gfx::Color normal =
      CECGStripPainter::kDisplayColours[static_cast<size_t>(doc_->GetSettings().Color(1))];
  const gfx::Color ventricular =
      CECGStripPainter::kDisplayColours[static_cast<size_t>(doc_->GetSettings().Color(15))];
  ASSERT_NE(normal, ventricular);
  struct Case {
    const char* name;
    bool monochrome;
    gfx::Color want_v;
  };
  const Case kCases[] = {{"colour", false, ventricular}, {"monochrome", true, 0x000000}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetMonochromePrinting(c.monochrome);
    const gfx::Color want_n = c.monochrome ? 0x000000 : normal;
    gfx::RecordingCanvas dc(PrinterDevice());
    const gfx::Pen before{gfx::PenStyle::kDot, 3, 0x123456};
    dc.SelectPen(before);
    // 200 samples from s.
    TPrintECGStrip strip(doc_.get(), s, 1000, -2000, 5000, -7000, 25.0, 10.0, 300);
    strip.Draw(dc, info_);
    EXPECT_EQ(dc.GetPen(), before);
    const std::vector<Piece> pieces = PiecesOf(dc);
    // Per channel: normal to 35, N to 65, normal to 105, V to 135, normal to the end (199).
    struct Want {
      gfx::Color colour;
      int last;
    };
    const Want kWant[] = {{want_n, 35}, {want_n, 65}, {want_n, 105}, {c.want_v, 135}, {want_n, 199}};
    ASSERT_EQ(pieces.size(), 10U);
    for (size_t i = 0; i < pieces.size(); ++i) {
      SCOPED_TRACE(i);
      const Want& want = kWant[i % 5];
      EXPECT_EQ(pieces[i].pen, (gfx::Pen{gfx::PenStyle::kSolid, 16, want.colour}));
      EXPECT_EQ(pieces[i].points.back().x, strip.SampleX(want.last));
    }
  }
}

TEST_F(PrintECGStripTest, PacemakerSpikesGetAOneMillivoltMark) {
  const int s = 2 * kMinute;
  PlantBeats({});
  PlantEvents({{s - 10, s - 10, kClassPaceMaker},
               {s + 80, s + 80, kClassPaceMaker},
               {s + 90, s + 150, kClassMarker},
               {s + 300, s + 300, kClassPaceMaker}});
  for (const bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    gfx::RecordingCanvas dc(PrinterDevice());
    TPrintECGStrip strip(doc_.get(), s, 1000, -2000, 5000, -7000, 25.0, 10.0, 300);
    if (compressed) {
      strip.DrawCompressed(dc, info_, 2);
    } else {
      strip.Draw(dc, info_);
    }
    // Only the spike inside the window, on the last channel's curve, 1 mV (1000) high.
    const auto lines = LinesOf(dc);
    ASSERT_EQ(lines.size(), 1U);
    const auto& points = strip.Points();
    const auto at = std::find_if(points.begin(), points.end(),
                                 [&](const gfx::Point& p) { return p.x >= strip.SampleX(80); });
    ASSERT_NE(at, points.end());
    EXPECT_EQ(lines[0].first, *at);
    EXPECT_EQ(lines[0].second, (gfx::Point{at->x, at->y + 1000}));
  }
}

// --- Compressed drawing --------------------------------------------------------------------------

TEST_F(PrintECGStripTest, CompressedStripAlternatesBetweenTheExtremesOfItsSteps) {
  const int s = kMinute - 2000;
  TPrintECGStrip strip(doc_.get(), s, 1000, -2000, 18500, -2766, kMinuteSpeed, 3.0, 50);
  strip.DrawCompressed(dc_, info_, 2);
  ASSERT_EQ(strip.WindowSamples(), 7500);
  const std::array<int, 3> baselines = strip.Baselines(false);
  const std::vector<Piece> pieces = PiecesOf(dc_);
  ASSERT_EQ(pieces.size(), 2U);
  EXPECT_EQ(pieces[0].pen, (gfx::Pen{gfx::PenStyle::kSolid, 6, 0x000000}));
  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel);
    // What the curve must show: the extremes of each step, the newer one first.
    std::vector<int> want;
    int low = 0;
    int high = 0;
    bool high_last = false;
    for (int r = 5; r < 7500; r += 5) {
      for (int j = 0; j < 5; ++j) {
        const int v = StoreSample(channel, s + r + j);
        if (v < low) low = v, high_last = false;
        if (v > high) high = v, high_last = true;
      }
      want.push_back(high_last ? std::exchange(low, high) : std::exchange(high, low));
    }
    const std::vector<gfx::Point>& points = pieces[static_cast<size_t>(channel)].points;
    ASSERT_EQ(points.size() + 1, want.size());  // the first drawn point is the MoveTo
    for (size_t i = 1; i < want.size(); ++i) {
      const int r = 5 * static_cast<int>(i + 1);
      ASSERT_EQ(points[i - 1], (gfx::Point{strip.SampleX(r),
                                           strip.ValueY(baselines[static_cast<size_t>(channel)], want[i])}))
          << "r " << r;
    }
  }
}

TEST_F(PrintECGStripTest, CompressedChannelChoiceAndLeadIn) {
  struct Case {
    const char* name;
    int start;
    int spread;
    int channels;
    std::vector<int> want_baselines;  // of the drawn curves, in order
    int want_first_r;
  };
  // Rectangle -2000..-2766: evenly spaced at -2191 and -2574, middle -2383.
  const Case kCases[] = {
      {"first channel", 0, 0, 0, {-2191}, 5},
      {"second channel", 0, 0, 1, {-2574}, 5},
      {"both", 0, 0, 2, {-2191, -2574}, 5},
      {"all of the recording", 0, 0, 9, {-2191, -2574}, 5},
      {"both on the middle line", 0, -1, 2, {-2383, -2383}, 5},
      {"lead-in of 12 samples", -12, 0, 0, {-2191}, 15},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    gfx::RecordingCanvas dc(PrinterDevice());
    TPrintECGStrip strip(doc_.get(), c.start, 1000, -2000, 2000, -2766, kMinuteSpeed, 0.0, c.spread);
    strip.DrawCompressed(dc, info_, c.channels);
    // Gain 0 lays every point on its baseline.
    std::vector<int> baselines;
    std::vector<int> first_x;
    gfx::Point moved;
    for (const gfx::DisplayItem& item : dc.Items()) {
      if (const auto* move = std::get_if<gfx::rec::MoveTo>(&item)) moved = move->to;
      if (const auto* polyline = std::get_if<gfx::rec::PolylineTo>(&item)) {
        baselines.push_back(moved.y);
        first_x.push_back(moved.x);
        for (const gfx::Point& p : polyline->points) EXPECT_EQ(p.y, moved.y);
      }
    }
    EXPECT_EQ(baselines, c.want_baselines);
    for (const int x : first_x) EXPECT_EQ(x, strip.SampleX(c.want_first_r));
  }
}

// --- Paper -----------------------------------------------------------------------------------

TEST_F(PrintECGStripTest, GridsDrawLinesOnPaperAndOnlyMarkersInAPdf) {
  struct Case {
    const char* name;
    bool pdf;
  };
  constexpr Case kCases[] = {{"paper", false}, {"pdf", true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.pdf) BeginEmfRecording();
    gfx::RecordingCanvas mm(PrinterDevice());
    TPrintECGGrid(1000, -2000, 4000, -4000, 0).Draw(mm, info_);
    gfx::RecordingCanvas dots(PrinterDevice());
    TPrintDotGrid(1000, -2000, 1500, -2300).Draw(dots, info_);
    if (c.pdf) {
      EndEmfRecording();
      EXPECT_EQ(mm.Lines(), (std::vector<std::string>{"Comment \"MMGRID,1000,-2000,4000,-4000\""}));
      EXPECT_EQ(CommentsOf(mm), (std::vector<std::string>{"MMGRID,1000,-2000,4000,-4000"}));
      EXPECT_EQ(CommentsOf(dots), (std::vector<std::string>{"BGGRID,1000,-2000,1500,-2300"}));
      EXPECT_EQ(mm.Items().size(), 1U);
      EXPECT_EQ(dots.Items().size(), 1U);
      continue;
    }
    testsupport::ExpectScreenGolden("reports", "print_ecg_grid", mm.Lines());
    testsupport::ExpectScreenGolden("reports", "print_dot_grid", dots.Lines());
    EXPECT_TRUE(CommentsOf(mm).empty());
  }
}

TEST_F(PrintECGStripTest, EcgGridWithoutSmallGridKeepsLinesAndDottedLines) {
  gfx::RecordingCanvas with(PrinterDevice());
  TPrintECGGrid(1000, -2000, 4000, -4000, 0).Draw(with, info_);
  gfx::RecordingCanvas without(PrinterDevice());
  TPrintECGGrid(1000, -2000, 4000, -4000, 1).Draw(without, info_);
  const auto lines_with = LinesOf(with);
  const auto lines_without = LinesOf(without);
  // 30 x 20 mm: 24 x 16 millimetre dots outside the 5 and 10 mm lines.
  EXPECT_EQ(lines_with.size() - lines_without.size(), 24U * 16U);
  // 10 mm lines: two vertical, one horizontal; dotted: 59 ticks on y -2500 and -3500, 39 on x 1500,
  // 2500 and 3500.
  EXPECT_EQ(lines_without.size(), 3U + 2U * 59U + 3U * 39U);
  for (const auto& [from, to] : lines_without) {
    EXPECT_GT(std::min(from.x, to.x), 1000 - 1);
    EXPECT_LT(std::max(from.x, to.x), 4000 + 1);
  }
}

// --- Golden pictures of the drawing calls ----------------------------------------------------------

TEST_F(PrintECGStripTest, StripsGolden) {
  const int s = 2 * kMinute;
  PlantBeats({{s + 50, kClassNormal}, {s + 120, kClassVES}, {s + 400, kClassNormal}});
  PlantEvents({{s + 80, s + 80, kClassPaceMaker}});
  {
    gfx::RecordingCanvas dc(PrinterDevice());
    TPrintECGStrip strip(doc_.get(), s, 1000, -2000, 5000, -7000, 25.0, 10.0, 300);
    strip.Draw(dc, info_);
    testsupport::ExpectScreenGolden("reports", "print_ecg_strip_full", dc.Lines());
  }
  {
    gfx::RecordingCanvas dc(PrinterDevice());
    TPrintECGStrip strip(doc_.get(), s, 1000, -2000, 5000, -2766, kMinuteSpeed, 3.0, 50);
    strip.DrawCompressed(dc, info_, 2);
    testsupport::ExpectScreenGolden("reports", "print_ecg_strip_compressed", dc.Lines());
  }
}

}  // namespace
