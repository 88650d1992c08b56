#include "analysis/ron_t_detector.h"

#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

class ROnTTest : public AnalysisDocTest {};

TEST_F(ROnTTest, LimitScalesWithTheRRIntervalUpTo400Ms) {
  EXPECT_DOUBLE_EQ(TROnTDetector::LimitMs(60), 390.0);
  EXPECT_DOUBLE_EQ(TROnTDetector::LimitMs(30), 400.0);  // 390 x sqrt 2 = 551.5
  EXPECT_DOUBLE_EQ(TROnTDetector::LimitMs(0), 400.0);
  EXPECT_NEAR(TROnTDetector::LimitMs(120), 275.77, 0.01);
}

TEST_F(ROnTTest, VesAfterNormalOrSVBeatCloserThanNinetyPercentOfTheLimit) {
  // With N = 8 the pair checked for beat 0 is beats 8 and 9; the coupling interval is 8 ms a sample.
  struct Case {
    const char* name;
    char before;
    int32_t coupling;  // samples
    int heart_rate;
    bool ron_t;
  };
  const Case cases[] = {
      {"60 bpm: 344 ms < 351 ms", 'N', 43, 60, true},
      {"60 bpm: 352 ms", 'N', 44, 60, false},
      {"30 bpm: 352 ms < 360 ms", 'N', 44, 30, true},
      {"30 bpm: exactly 360 ms is not", 'N', 45, 30, false},
      {"after an SVES", 'S', 30, 60, true},
      {"after an artefact", 'A', 30, 60, false},
      {"after a paced beat", 'P', 30, 60, false},
      {"after a VES", 'V', 30, 60, false},
      {"no heart rate", 'N', 30, -1, false},
      {"rate 0: the 400 ms ceiling", 'N', 44, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Events().RemoveAll();
    std::string classes = "NNNNNNNN";
    classes += c.before;
    classes += "VNN";
    std::vector<int32_t> rr(classes.size(), 100);
    rr[9] = c.coupling;
    SetBeats(classes, rr);
    TROnTDetector(Doc()).CheckBeat(0, c.heart_rate);
    const std::vector<Ev> want = c.ron_t ? std::vector<Ev>{{kClassRonT, Pos(9), Pos(9) + 1}} : std::vector<Ev>{};
    EXPECT_EQ(EventsOf({kClassRonT}), want);
  }
}

TEST_F(ROnTTest, RecheckAroundReplacesTheEventsNearTheBeat) {
  std::string classes(80, 'N');
  classes[50] = 'V';
  std::vector<int32_t> rr(80, 100);
  rr[50] = 30;  // 240 ms at 75 bpm: R-on-T below 0.9 x 348.8 ms
  SetBeats(classes, rr);
  Events().Append(TEvent(Pos(45), Pos(45) + 1, kClassRonT));  // stale, near the beat
  Events().Append(TEvent(Pos(47), Pos(47), kClassMarker));
  TROnTDetector(Doc()).RecheckAround(49, 1);
  EXPECT_EQ(EventsOf({kClassRonT, kClassMarker}),
            (std::vector<Ev>{{kClassMarker, Pos(47), Pos(47)}, {kClassRonT, Pos(50), Pos(50) + 1}}));
  SetBeats("NNNNNNNNN", 100);
  EXPECT_EQ(TROnTDetector(Doc()).RecheckAround(2, 0), -1);
}

}  // namespace
