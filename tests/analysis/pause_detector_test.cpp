#include "analysis/pause_detector.h"

#include "analysis/rhythm_detection.h"
#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

class PauseDetectorTest : public AnalysisDocTest {};

TEST_F(PauseDetectorTest, IntervalMustExceedTheLimitAndAvoidArtefactsAndMarkers) {
  // Beats 0..3 with the interval under test between beats 1 and 2.
  struct Case {
    const char* name;
    const char* classes;
    int32_t gap;
    std::vector<int32_t> markers;  // offsets from beat 1
    bool pause;
  };
  const Case cases[] = {
      {"251 samples at 2.0 s", "NNNN", 251, {}, true},
      {"250 samples is the limit itself", "NNNN", 250, {}, false},
      {"artefact before the gap", "NANN", 400, {}, false},
      {"artefact after the gap", "NNAN", 400, {}, false},
      {"VES beats count", "NVVN", 400, {}, true},
      {"marker inside the gap", "NNNN", 400, {200}, false},
      {"marker on the first beat", "NNNN", 400, {0}, false},
      {"marker on the second beat", "NNNN", 400, {400}, false},
      {"marker before the gap", "NNNN", 400, {-50}, true},
      {"marker after the gap", "NNNN", 400, {401}, true},
      {"markers on both sides", "NNNN", 400, {-50, 450}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Events().RemoveAll();
    SetBeats(c.classes, std::vector<int32_t>{0, 100, c.gap, 100});
    std::vector<int32_t> markers;
    for (int32_t offset : c.markers) markers.push_back(Pos(1) + offset);
    Doc().GetRecordingData().recorder_markers = markers;
    TPauseDetector detector(Doc(), 2.0, 125.0);
    EXPECT_EQ(detector.GetPauseLimitSamples(), 250);
    detector.Run(0, -1);
    const std::vector<Ev> want = c.pause ? std::vector<Ev>{{kClassPause, Pos(1), Pos(2)}} : std::vector<Ev>{};
    EXPECT_EQ(EventsOf({kClassPause}), want);
  }
}

TEST_F(PauseDetectorTest, MarkerCursorCarriesOverManyPauses) {
  // Long gaps after beats 1, 3 and 5; a marker sits only in the second one.
  SetBeats("NNNNNNNN", std::vector<int32_t>{0, 100, 300, 100, 300, 100, 300, 100});
  Doc().GetRecordingData().recorder_markers = {Pos(3) + 10};
  TPauseDetector(Doc(), 2.0, 125.0).Run(0, -1);
  EXPECT_EQ(EventsOf({kClassPause}), (std::vector<Ev>{{kClassPause, Pos(1), Pos(2)}, {kClassPause, Pos(5), Pos(6)}}));
}

TEST_F(PauseDetectorTest, RunCoversOnlyTheGivenBeats) {
  SetBeats("NNNNNN", 300);
  TPauseDetector detector(Doc(), 2.0, 125.0);
  detector.Run(2, 4);
  EXPECT_EQ(EventsOf({kClassPause}), (std::vector<Ev>{{kClassPause, Pos(2), Pos(3)}, {kClassPause, Pos(3), Pos(4)}}));
  Events().RemoveAll();
  detector.Run(4, 4);
  detector.Run(3, 99);  // a last beat past the end is the last beat
  EXPECT_EQ(EventsOf({kClassPause}), (std::vector<Ev>{{kClassPause, Pos(3), Pos(4)}, {kClassPause, Pos(4), Pos(5)}}));
}

TEST_F(PauseDetectorTest, RedetectAroundReplacesOnlyThePausesOfItsWindow) {
  // 20 beats, every interval a pause.
  SetBeats(std::string(20, 'N'), 300);
  TPauseDetector(Doc(), 2.0, 125.0).Run(0, -1);
  ASSERT_EQ(Events().GetSize(), 19);

  struct Case {
    const char* name;
    int beat;
    int first;  // first interval (beat index) of the window
    int last;   // the window's last beat
  };
  const Case cases[] = {
      {"beat 2: from beat 0", 2, 0, 7},
      {"beat 0", 0, 0, 5},
      {"middle", 10, 5, 15},
      {"last beats: the window ends at the last beat", 18, 13, 19},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Turn the window's beats regular: its pauses must go, those outside stay.
    std::vector<int32_t> rr(20, 300);
    for (int i = c.first + 1; i <= c.last; ++i) rr[static_cast<size_t>(i)] = 100;
    SetBeats(std::string(20, 'N'), rr);
    Events().RemoveAll();
    // The pauses as they were before the edit: every interval outside the window.
    std::vector<Ev> want;
    for (int g = 0; g < 19; ++g) {
      if (g >= c.first && g < c.last) continue;
      Events().Append(TEvent(Pos(g), Pos(g + 1), kClassPause));
      want.push_back({kClassPause, Pos(g), Pos(g + 1)});
    }
    // A stale pause inside the window, as an edit leaves it.
    Events().InsertAt(c.first, TEvent(Pos(c.first), Pos(c.first + 1), kClassPause));
    TPauseDetector(Doc(), 2.0, 125.0).RedetectAround(c.beat);
    EXPECT_EQ(EventsOf({kClassPause}), want);
  }
}

TEST_F(PauseDetectorTest, DetectPausesReplacesOldPausesWithTheSettingsLimit) {
  Settings().SetInt(SettingKey::kAnalyzePauseA, 4);  // 1.0 + 4 x 0.5 = 3.0 s = 375 samples
  SetBeats("NNNNN", std::vector<int32_t>{0, 375, 376, 100, 100});
  Events().Append(TEvent(Pos(3), Pos(4), kClassPause));
  Events().Append(TEvent(Pos(4), Pos(4), kClassMarker));
  analysis::DetectPauses(Doc());
  EXPECT_EQ(EventsOf({kClassPause, kClassMarker}),
            (std::vector<Ev>{{kClassPause, Pos(1), Pos(2)}, {kClassMarker, Pos(4), Pos(4)}}));
}

}  // namespace
