#include "views/ecg_strip_painter.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "document/event_list.h"
#include "document/qrs_list.h"
#include "gfx/recording_canvas.h"
#include "views/strip_recording.h"
#include "views/strip_samples.h"

namespace {

using viewstest::StripRecording;

constexpr int kRate = 125;
constexpr double kSpeed = 25.0;  // 75 pixels per second at 30 pixels per cm
constexpr double kGain = 10.0;

// A painter in position mode whose window starts at start_ms (the reference lies 35 % in).
struct Strip {
  Strip(CZK470Doc& doc, int start_sample, gfx::Rect rect = {0, 0, 300, 200}, double duration = 0.0)
      : painter(doc, nullptr, 0x000000, rect.left, rect.top, rect.right, rect.bottom, -1, kSpeed, kGain,
                duration, false, start_sample) {}
  CECGStripPainter painter;
};

int ColumnsDrawn(const gfx::RecordingCanvas& canvas) {
  int points = 0;
  for (const gfx::DisplayItem& item : canvas.Items())
    if (const auto* run = std::get_if<gfx::rec::PolylineTo>(&item))
      points += static_cast<int>(run->points.size());
  return points;
}

TEST(CECGStripPainter, NarrowsToTheDurationAndCentres) {
  StripRecording recording;
  struct Case {
    const char* name;
    double duration;
    gfx::Rect given;
    gfx::Rect want;
  };
  const Case cases[] = {
      {"0.9 s at 25 mm/s is 67 pixels, centred", 0.9, {100, 10, 400, 210}, {216, 10, 283, 210}},
      {"no duration keeps the rectangle", 0.0, {100, 10, 400, 210}, {100, 10, 400, 210}},
      {"a duration wider than the rectangle keeps it", 10.0, {100, 10, 400, 210}, {100, 10, 400, 210}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Strip strip(recording.Doc(), 60 * kRate, c.given, c.duration);
    strip.painter.Prepare();
    EXPECT_EQ(strip.painter.StripRect(), c.want);
    EXPECT_EQ(strip.painter.Points(0).size(), static_cast<size_t>(c.want.Width()));
    ASSERT_EQ(strip.painter.Bands().size(), 2u);
    EXPECT_EQ(strip.painter.Bands()[1], (gfx::Rect{c.want.left, 110, c.want.right, 210}));
  }
}

TEST(CECGStripPainter, PlacesTheWindowAroundTheReferenceWithinTheRecording) {
  StripRecording recording;
  const int span_end = recording.Doc().GetSpanEndMs();
  ASSERT_EQ(span_end, 120000);
  // 300 pixels at 75 per second: a 4000 ms window, the reference 1400 ms into it.
  struct Case {
    const char* name;
    int reference_sample;
    int want_start_ms;
  };
  const Case cases[] = {
      {"in the middle", 60 * kRate, 58600},
      {"near the start: the window starts at 0", 100, 0},
      {"near the end: the window ends 1 ms before the end", span_end / 8 - 10, span_end - 4000 - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Strip strip(recording.Doc(), c.reference_sample);
    strip.painter.Prepare();
    EXPECT_EQ(strip.painter.WindowStartMs(), c.want_start_ms);
    EXPECT_EQ(strip.painter.WindowEndMs(), c.want_start_ms + 4000);
  }
}

TEST(CECGStripPainter, MarkerStaysAtItsFractionWhenTheWindowIsPinnedToTheStart) {
  StripRecording recording;
  Strip strip(recording.Doc(), 10, {20, 0, 320, 200});
  strip.painter.Prepare();
  ASSERT_EQ(strip.painter.WindowStartMs(), 0);
  gfx::RecordingCanvas canvas;
  strip.painter.DrawTo(&canvas, true, false, false, false);
  // The arrow of position mode: up from the bottom at x = 20 + 300 x 0.35.
  const std::vector<std::string> lines = canvas.Lines();
  const std::vector<std::string> tail(lines.end() - 3, lines.end());
  EXPECT_NE(tail[0].find("125,200"), std::string::npos) << tail[0];
  EXPECT_NE(tail[1].find("125,191"), std::string::npos) << tail[1];
}

TEST(CECGStripPainter, BeatsGetSpansAndLabelsOnlyInsideTheWindow) {
  StripRecording recording;
  CZK470Doc& doc = recording.Doc();
  // Window 58600..62600 ms, samples 7325..7825, 300 pixels from x = 0.
  const int s0 = 7325;
  doc.GetQRSList() = TQRSList();
  const int at_left_edge = s0 + 0;     // the start sample itself: nothing
  const int just_after = s0 + 1;       // 8 ms in: e = 0, f = 1
  const int inside = s0 + 250;         // 2000 ms in: e = 150
  const int at_right_edge = s0 + 499;  // 3992 ms in: e = 299, f = 300 = right
  for (const int position : {at_left_edge, just_after, inside, at_right_edge})
    doc.GetQRSList().Append(TQRSComplex(position, 9, '!'));
  Strip strip(doc, 60 * kRate);
  strip.painter.Prepare();
  ASSERT_EQ(strip.painter.WindowStartMs(), 58600);

  const int half = 9;  // 125 ms at 75 pixels per second
  const std::vector<gfx::Rect> want_spans = {
      {0, 0, 1 + half + 2, 0}, {151 - half + 2, 0, 151 + half + 2, 0}, {300 - half + 2, 0, 300, 0}};
  EXPECT_EQ(strip.painter.BeatSpans(), want_spans);
  const int colour = doc.GetSettings().Color(9);
  EXPECT_EQ(strip.painter.BeatSpanColours(), std::vector<int>(3, colour));
  ASSERT_EQ(strip.painter.Labels().size(), 2u) << "the beats on the strip's edges get no label";
  EXPECT_EQ(strip.painter.Labels()[0].x, 0);
  EXPECT_EQ(strip.painter.Labels()[1].x, 150);
  EXPECT_EQ(strip.painter.Labels()[1].beat_class, 9);
}

TEST(CECGStripPainter, PacemakerMarksComeFromPacemakerEventsOnly) {
  StripRecording recording;
  CZK470Doc& doc = recording.Doc();
  doc.GetEventList() = TEventList();
  const int s0 = 7325;
  doc.GetEventList().Append(TEvent(s0, s0, 0));              // at the start sample: left out
  doc.GetEventList().Append(TEvent(s0 + 125, s0 + 125, 0));  // 1000 ms in
  doc.GetEventList().Append(TEvent(s0 + 200, s0 + 300, 6));  // a pause
  doc.GetEventList().Append(TEvent(s0 + 600, s0 + 600, 0));  // after the window
  Strip strip(doc, 60 * kRate);
  strip.painter.Prepare();
  EXPECT_EQ(strip.painter.PacemakerX(), std::vector<int>{76});

  gfx::RecordingCanvas canvas;
  strip.painter.DrawTo(&canvas, false, false, false, false);
  const std::vector<gfx::Point> points = strip.painter.Points(1);
  const std::string want_mark = "LineTo 76," + std::to_string(points[75].y - 30);
  const std::vector<std::string> lines = canvas.Lines();
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.find(want_mark) != std::string::npos; }),
            lines.end())
      << want_mark;
}

TEST(CECGStripPainter, ChannelGapsMoveTheChannelsTheirOwnWay) {
  struct Case {
    const char* name;
    int channels;
    bool add;  // AddChannelGap instead of SetChannelGap
    int gap;
    std::vector<int> want_moves;
  };
  const Case cases[] = {
      {"two channels apart", 2, false, 7, {-3, 3}},
      {"three channels: the middle one stays", 3, false, 10, {-5, 0, 5}},
      {"added with three channels: the third stays", 3, true, 10, {-5, 5, 0}},
      {"negative gap draws them together", 2, true, -4, {2, -2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StripRecording recording(1, c.channels);
    Strip strip(recording.Doc(), 30 * kRate);
    strip.painter.Prepare();
    ASSERT_EQ(strip.painter.ChannelCount(), c.channels);
    std::vector<std::vector<gfx::Point>> before;
    for (int i = 0; i < c.channels; ++i) before.push_back(strip.painter.Points(i));
    if (c.add) {
      strip.painter.AddChannelGap(c.gap);
    } else {
      strip.painter.SetChannelGap(c.gap);
    }
    for (int i = 0; i < c.channels; ++i) {
      SCOPED_TRACE(i);
      const std::vector<gfx::Point> after = strip.painter.Points(i);
      ASSERT_EQ(after.size(), before[i].size());
      for (size_t k = 0; k < after.size(); k += 37) EXPECT_EQ(after[k].y - before[i][k].y, c.want_moves[i]);
    }
  }
}

TEST(CECGStripPainter, LabelMarginsMoveTheOuterBaselinesInward) {
  StripRecording recording;
  Strip plain(recording.Doc(), 60 * kRate);
  plain.painter.Prepare();
  Strip overlapping(recording.Doc(), 60 * kRate);
  overlapping.painter.SetLabelMargins(true);
  overlapping.painter.Prepare();
  // 1.5 cm at 30 pixels per cm = 45: the baselines move by 45 / 2 (band centres truncate).
  const std::vector<gfx::Point> a0 = plain.painter.Points(0), b0 = overlapping.painter.Points(0);
  const std::vector<gfx::Point> a1 = plain.painter.Points(1), b1 = overlapping.painter.Points(1);
  ASSERT_EQ(a0.size(), b0.size());
  for (size_t k = 0; k < a0.size(); k += 29) {
    EXPECT_EQ(b0[k].y - a0[k].y, 22);
    EXPECT_EQ(b1[k].y - a1[k].y, -23);
  }
  EXPECT_EQ(overlapping.painter.Bands()[0].bottom, 145);
  EXPECT_EQ(overlapping.painter.Bands()[1].top, 55);
}

TEST(CECGStripPainter, DecimatesToOnePointPerColumnAndReadsEverySampleOnce) {
  StripRecording recording;
  Strip strip(recording.Doc(), 60 * kRate);
  strip.painter.Prepare();
  gfx::RecordingCanvas canvas;
  strip.painter.DrawTo(&canvas, false, false, false, false);
  EXPECT_EQ(ColumnsDrawn(canvas), 2 * 300) << "every column of both channels, once";
  // The trace is no flat line: the synthetic beats reach well above the baseline.
  int highest = 1000;
  for (const gfx::Point& p : strip.painter.Points(0)) highest = std::min(highest, p.y);
  EXPECT_LT(highest, 50 - 10);
}

TEST(CECGStripPainter, ColumnsShowTheFirstExtremeAndCarryTheLastIntoTheNextColumn) {
  StripRecording recording(1, 2);
  // At 75 pixels per second the columns take 1, 2, 2, 1, 2, 2 ... samples: column 3 holds
  // sample 5, column 4 samples 6 and 7. Channel 0 rises to 2 mV and falls to -1 mV; channel 1
  // mirrors it.
  std::vector<int16_t> spike(7500, 0);
  spike[5] = 400;
  spike[6] = -200;
  std::vector<int16_t> mirrored(spike);
  for (int16_t& v : mirrored) v = static_cast<int16_t>(-v);
  viewstest::ReplaceSamples(recording.Doc(), {spike, mirrored});
  Strip strip(recording.Doc(), 10);
  strip.painter.Prepare();
  ASSERT_EQ(strip.painter.WindowStartMs(), 0);

  // 30 pixels per mV: 2 mV is 60 pixels above the band centre (50, and 150 for channel 1).
  const std::vector<int> want0 = {50, 50, 50, 50, 50 - 60, 50 + 30, 50, 50};
  const std::vector<int> want1 = {150, 150, 150, 150, 150 + 60, 150 - 30, 150, 150};
  for (const auto& [channel, want] : {std::pair{0, want0}, std::pair{1, want1}}) {
    SCOPED_TRACE(channel);
    const std::vector<gfx::Point> points = strip.painter.Points(channel);
    ASSERT_GE(points.size(), want.size());
    for (size_t c = 0; c < want.size(); ++c) {
      EXPECT_EQ(points[c].x, static_cast<int>(c) + 1);
      EXPECT_EQ(points[c].y, want[c]) << "column " << c;
    }
  }
}

// A trace off its zero line (a baseline shift of 1 mV) is drawn at its level from the first
// column on, not from the zero line the reduction would start at without a sample.
TEST(CECGStripPainter, TheFirstColumnShowsTheFirstSampleNotTheZeroLine) {
  StripRecording recording(1, 2);
  const std::vector<int16_t> raised(7500, 200);
  const std::vector<int16_t> lowered(7500, -200);
  viewstest::ReplaceSamples(recording.Doc(), {raised, lowered});
  Strip strip(recording.Doc(), 10);
  strip.painter.Prepare();
  ASSERT_EQ(strip.painter.WindowStartMs(), 0);
  // 30 pixels per mV about the band centres 50 and 150.
  for (const auto& [channel, want] : {std::pair{0, 50 - 30}, std::pair{1, 150 + 30}}) {
    SCOPED_TRACE(channel);
    const std::vector<gfx::Point> points = strip.painter.Points(channel);
    ASSERT_GE(points.size(), 3u);
    for (size_t c = 0; c < 3; ++c) EXPECT_EQ(points[c].y, want) << "column " << c;
  }
}

TEST(CECGStripPainter, StripsWiderThanAnyFixedArrayKeepEveryColumn) {
  StripRecording recording;
  // A 4K screen's strip: no column is lost or written past an end.
  Strip strip(recording.Doc(), 60 * kRate, {0, 0, 3747, 200});
  strip.painter.Prepare();
  EXPECT_EQ(strip.painter.Points(0).size(), 3747u);
  EXPECT_EQ(strip.painter.Points(1).back().x, 3747);
  gfx::RecordingCanvas canvas;
  strip.painter.DrawTo(&canvas, true, true, false, true);
  EXPECT_EQ(ColumnsDrawn(canvas), 2 * 3747 + 4) << "both channels and the marker's arrow";
}

TEST(CECGStripPainter, InvalidReferenceDrawsNothing) {
  StripRecording recording;
  struct Case {
    const char* name;
    bool beat_mode;
    int beat_index;
    int start;
  };
  const int beats = recording.Doc().GetQRSList().GetSize();
  const Case cases[] = {
      {"beat index past the list", true, beats, 0},
      {"negative beat index", true, -1, 0},
      {"negative start position", false, -1, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gfx::RecordingCanvas own;
    CECGStripPainter painter(recording.Doc(), &own, 0, 0, 0, 300, 200, c.beat_index, kSpeed, kGain, 0.0,
                             c.beat_mode, c.start);
    painter.Prepare();
    painter.Draw(true, false, true);
    gfx::RecordingCanvas other;
    painter.DrawTo(&other, true, true, true, true);
    EXPECT_TRUE(own.Items().empty());
    EXPECT_TRUE(other.Items().empty());
  }
}

TEST(CECGStripPainter, DarkColoursFollowTheDevice) {
  StripRecording recording;
  struct Case {
    const char* name;
    int num_colors;
    gfx::Color want_index_3;
  };
  const Case cases[] = {{"true colour", -1, 0x00FFFF}, {"palette", 256, 0x008080}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gfx::DeviceInfo device;
    device.num_colors = c.num_colors;
    gfx::RecordingCanvas canvas(device);
    Strip strip(recording.Doc(), 60 * kRate);
    strip.painter.SetDeviceColours(canvas);
    EXPECT_EQ(strip.painter.DeviceColours()[3], c.want_index_3);
    EXPECT_EQ(strip.painter.DeviceColours()[14], 0xFFFFFFu);
  }
}

TEST(CECGStripPainter, ClippedDrawingRestoresTheCallersClip) {
  StripRecording recording;
  Strip strip(recording.Doc(), 60 * kRate, {10, 10, 310, 210});
  strip.painter.Prepare();
  gfx::RecordingCanvas canvas;
  const gfx::Rect before = canvas.GetClipBox();
  strip.painter.DrawTo(&canvas, true, true, true, false);
  EXPECT_EQ(canvas.GetClipBox(), before);
  const std::vector<std::string> lines = canvas.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("SaveDC"), std::string::npos) << lines[0];
}

}  // namespace
