#include "analysis/sv_detector.h"

#include "analysis/rhythm_detection.h"
#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

// Intervals: `normal` regular ones, then the given ones, then `tail` regular ones.
std::vector<int32_t> Rhythm(int normal, std::vector<int32_t> middle, int tail, int32_t rr = 100) {
  std::vector<int32_t> out{0};
  out.insert(out.end(), static_cast<size_t>(normal), rr);
  out.insert(out.end(), middle.begin(), middle.end());
  out.insert(out.end(), static_cast<size_t>(tail), rr);
  return out;
}

class SVDetectorTest : public AnalysisDocTest {
 protected:
  // Runs the full analysis over normal beats with the given intervals; returns the class letters.
  std::string Analyse(const std::vector<int32_t>& rr, int percent = 20) {
    Events().RemoveAll();
    SetBeats(std::string(rr.size(), 'N'), rr);
    TSVDetector(Doc(), percent).Run(-1, -1);
    return ClassLetters();
  }
  std::vector<Ev> SVEvents() const {
    return EventsOf({kClassSVCouplet, kClassSVTriplet, kClassSVTachycardia, kClassSVBigeminy, kClassSVTrigeminy});
  }
  Ev At(int kind, int first, int last) const { return {kind, Pos(first), Pos(last)}; }
};

TEST_F(SVDetectorTest, PrematureBelow640MsAfter800MsBeatsWithTwentyPercent) {
  // Beat 11 follows ten regular 800 ms beats by `coupling`; a long pause follows.
  struct Case {
    const char* name;
    int32_t coupling;
    int32_t pause;
    char beat11;
  };
  const Case cases[] = {
      {"632 ms", 79, 150, 'S'},
      {"640 ms is not premature", 80, 150, 'N'},
      {"no compensatory pause (90 < 1.15 x 79)", 79, 90, 'N'},
      {"just enough pause (91 > 1.15 x 79)", 79, 91, 'S'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string classes = Analyse(Rhythm(10, {c.coupling, c.pause}, 10));
    EXPECT_EQ(classes, std::string(11, 'N') + c.beat11 + std::string(11, 'N'));
    EXPECT_TRUE(SVEvents().empty());
  }
}

TEST_F(SVDetectorTest, PrematurityTestAndRegularityTolerance) {
  SetBeats("NNNNNN", std::vector<int32_t>{0, 100, 100, 94, 106, 70});
  TSVDetector twenty(Doc(), 20);
  TSVDetector twenty_five(Doc(), 25);
  EXPECT_DOUBLE_EQ(twenty.GetRegularityTolerance(), 0.10);
  EXPECT_DOUBLE_EQ(twenty_five.GetRegularityTolerance(), 0.15);
  // Intervals 94 and 106 before beat 5: 12 samples apart, beyond 10 % of their mean, within 15 %.
  ASSERT_EQ(twenty.GetWindowType(5), 1);
  EXPECT_EQ(twenty.ReferenceRR(1, 5), 0.0);
  EXPECT_EQ(twenty_five.ReferenceRR(1, 5), 106.0);
  EXPECT_FALSE(twenty.IsPremature(5, 0.0));
  EXPECT_TRUE(twenty.IsPremature(5, 100.0));  // 70 < 80
  EXPECT_FALSE(twenty.IsPremature(4, 100.0));
}

TEST_F(SVDetectorTest, EctopicBeatsInTheWindowAreInterpolated) {
  struct Case {
    const char* name;
    const char* classes;
    std::vector<int32_t> rr;
    int type;
    double reference;
  };
  const Case cases[] = {
      // VES two beats back at 160 between beats at 100 and 300: the midpoint 200 stands for it.
      {"VES two back", "NNNVNN", {0, 100, 100, 60, 140, 70}, 2, 100.0},
      // VES three beats back: its neighbours' midpoint becomes the first point.
      {"VES three back", "NNVNNN", {0, 100, 60, 140, 100, 70}, 3, 100.0},
      {"two VES", "NVNVNN", {0, 60, 140, 60, 140, 70}, 4, 100.0},
      {"VES next to the beat", "NNNNVN", {0, 100, 100, 100, 60, 140}, 0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats(c.classes, c.rr);
    TSVDetector detector(Doc(), 20);
    const int last = Beats().GetSize() - 1;
    EXPECT_EQ(detector.GetWindowType(last), c.type);
    EXPECT_EQ(detector.ReferenceRR(c.type, last), c.reference);
  }
}

TEST_F(SVDetectorTest, RunsByLengthAndRate) {
  struct Case {
    const char* name;
    std::vector<int32_t> rr;
    std::string classes;
    std::vector<std::tuple<int, int, int>> events;
  };
  const Case cases[] = {
      {"couplet", Rhythm(10, {50, 50, 150}, 10), "NNNNNNNNNNNSSNNNNNNNNNNN", {{kClassSVCouplet, 11, 12}}},
      {"triplet", Rhythm(10, {50, 50, 50, 150}, 10), "NNNNNNNNNNNSSSNNNNNNNNNNN", {{kClassSVTriplet, 11, 13}}},
      {"run at 150 bpm", Rhythm(10, {50, 50, 50, 50, 50, 150}, 10), "NNNNNNNNNNNSSSSSNNNNNNNNNNN",
       {{kClassSVTachycardia, 11, 15}}},
      // At 50 bpm, four premature beats at 75 bpm are taken back: no SV tachycardia.
      {"four premature beats at 75 bpm", Rhythm(10, {100, 100, 100, 100, 200}, 10, 150), std::string(26, 'N'), {}},
      // 85 samples after two premature beats of 75: neither premature nor a pause (> 86.25).
      {"couplet without a pause after it", Rhythm(10, {75, 75, 85}, 10), std::string(24, 'N'), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Analyse(c.rr), c.classes);
    std::vector<Ev> want;
    for (const auto& [kind, first, last] : c.events) want.push_back(At(kind, first, last));
    EXPECT_EQ(SVEvents(), want);
  }
}

TEST_F(SVDetectorTest, FirstFiveBeatsAreNeverPremature) {
  EXPECT_EQ(Analyse(std::vector<int32_t>{0, 100, 100, 70, 160, 100, 100, 100, 100, 100, 100}), std::string(11, 'N'));
  EXPECT_EQ(Analyse(Rhythm(7, {70, 160}, 3)), "NNNNNNNNSNNNN");
}

TEST_F(SVDetectorTest, BigeminyNeedsThreeCyclesOrACoupletAfterTwo) {
  // Ten regular beats, then premature beats (coupling 70) each followed by a pause of 130.
  const std::string three = Analyse(Rhythm(10, {70, 130, 70, 130, 70, 130}, 10));
  EXPECT_EQ(three, "NNNNNNNNNNNSNSNSNNNNNNNNNNN");
  EXPECT_EQ(SVEvents(), (std::vector<Ev>{At(kClassSVBigeminy, 11, 16)}));

  // Two cycles: two single premature beats, no bigeminy.
  EXPECT_EQ(Analyse(Rhythm(10, {70, 130, 70, 130}, 10)), "NNNNNNNNNNNSNSNNNNNNNNNNN");
  EXPECT_TRUE(SVEvents().empty());

  // Two cycles and then a premature couplet: a bigeminy over all of it, and the couplet.
  EXPECT_EQ(Analyse(Rhythm(10, {70, 130, 70, 130, 70, 70, 150}, 10)), "NNNNNNNNNNNSNSNSSNNNNNNNNNNN");
  EXPECT_EQ(SVEvents(), (std::vector<Ev>{At(kClassSVBigeminy, 11, 16), At(kClassSVCouplet, 15, 16)}));
  EXPECT_TRUE(EventsInStartOrder());
}

TEST_F(SVDetectorTest, Trigeminy) {
  // Premature beat, compensatory pause, one regular beat; three times.
  EXPECT_EQ(Analyse(Rhythm(10, {70, 130, 100, 70, 130, 100, 70, 130, 100}, 10)), "NNNNNNNNNNNSNNSNNSNNNNNNNNNNNN");
  EXPECT_EQ(SVEvents(), (std::vector<Ev>{At(kClassSVTrigeminy, 11, 19)}));
}

TEST_F(SVDetectorTest, DetectSVEventsStartsFromNormalBeatsAndObeysTheSwitch) {
  SetBeats("NNNNNNNNNNNSSNNNNN", Rhythm(10, {100, 100}, 5));
  Events().Append(TEvent(Pos(11), Pos(12), kClassSVCouplet));
  Doc().GetRecordingData().sves_classes[3].Append(11);
  Settings().SetInt(SettingKey::kAnalyzeSVAnalysisOn, 0);
  analysis::DetectSVEvents(Doc(), 1);
  EXPECT_EQ(ClassLetters(), std::string(18, 'N'));
  EXPECT_TRUE(SVEvents().empty());
  EXPECT_EQ(Doc().GetRecordingData().sves_classes[3].GetSize(), 0);

  Settings().SetInt(SettingKey::kAnalyzeSVAnalysisOn, 1);
  SetBeats(std::string(24, 'N'), Rhythm(10, {50, 50, 150}, 10));
  analysis::DetectSVEvents(Doc(), 1);
  EXPECT_EQ(SVEvents(), (std::vector<Ev>{At(kClassSVCouplet, 11, 12)}));
}

TEST_F(SVDetectorTest, AnalyzeRebuildsThePatternEventsAroundABeat) {
  SetBeats("NNNNNNNNSSNNNNNNNNNNSNSNSNNNNN", 100);
  Events().Append(TEvent(Pos(8), Pos(8), kClassSVTriplet));  // stale
  TSVDetector detector(Doc(), 20);
  EXPECT_EQ(detector.Analyze(9, 0), 1);
  EXPECT_EQ(SVEvents(), (std::vector<Ev>{At(kClassSVCouplet, 8, 9)}));
  EXPECT_EQ(TSVDetector(Doc(), 20).Analyze(22, 0), 1);
  EXPECT_EQ(SVEvents(), (std::vector<Ev>{At(kClassSVCouplet, 8, 9), At(kClassSVBigeminy, 20, 25)}));
}

}  // namespace
