#include "analysis/abs_arrhythmia_detector.h"

#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

// Regular intervals of 100 samples into beats 1..20, then eight irregular beats (20..27, the RR
// interval alternating between 60 and 100), then regular again.
std::vector<int32_t> EightIrregular(int tail = 20) {
  std::vector<int32_t> rr(21, 100);
  rr[0] = 0;
  for (int k = 0; k < 4; ++k) {
    rr.push_back(60);
    rr.push_back(100);
  }
  rr.insert(rr.end(), static_cast<size_t>(tail), 100);
  return rr;
}

class AbsArrhythmiaTest : public AnalysisDocTest {
 protected:
  AbsArrhythmiaTest() {
    // No minimum duration unless a test sets one.
    Settings().SetInt(SettingKey::kAnalyzeArrhyDuration, 99);
  }
  // The extremes pass: every beat, then the forced call after the last one.
  std::vector<Ev> Pass(TAbsArrhythmiaDetector& detector, int from = 1) {
    int last = 0;
    for (int i = from; i < Beats().GetSize() - 1; ++i) last = i, detector.CheckBeat(i, 0);
    detector.CheckBeat(last + 1, 1);
    return EventsOf({kClassArrhythmia});
  }
};

TEST_F(AbsArrhythmiaTest, CounterOpensAtSevenAndFourRegularBeatsClose) {
  SetBeats(std::string(49, 'N'), EightIrregular());
  TAbsArrhythmiaDetector detector(Doc());
  for (int i = 1; i <= 25; ++i) detector.CheckBeat(i, 0);
  EXPECT_EQ(detector.GetCounter(), 6);
  EXPECT_FALSE(detector.IsEpisodeOpen());
  detector.CheckBeat(26, 0);
  EXPECT_TRUE(detector.IsEpisodeOpen());
  detector.CheckBeat(27, 0);
  EXPECT_EQ(detector.GetCounter(), 8);
  // One regular beat: 6, still open; three more: 4, 2, 0, closed.
  detector.CheckBeat(28, 0);
  EXPECT_EQ(detector.GetCounter(), 6);
  EXPECT_TRUE(detector.IsEpisodeOpen());
  for (int i = 29; i <= 30; ++i) detector.CheckBeat(i, 0);
  EXPECT_TRUE(detector.IsEpisodeOpen());
  EXPECT_TRUE(EventsOf({kClassArrhythmia}).empty());
  detector.CheckBeat(31, 0);
  EXPECT_FALSE(detector.IsEpisodeOpen());
  // From the beat that made the counter 2 to the last irregular beat, not the one that closed it.
  EXPECT_EQ(EventsOf({kClassArrhythmia}), (std::vector<Ev>{{kClassArrhythmia, Pos(21), Pos(27)}}));
}

TEST_F(AbsArrhythmiaTest, MinimumDurationOfTheSetting) {
  struct Case {
    const char* name;
    int index;
    int32_t scale;  // interval multiplier: the episode lasts 480 x scale samples
    size_t events;
  };
  const Case cases[] = {
      {"10 s minimum, 3.84 s episode", 0, 1, 0},
      {"10 s minimum, 11.52 s episode", 0, 3, 1},
      {"20 s minimum, 11.52 s episode", 1, 3, 0},
      {"index outside the table: every episode", 8, 1, 1},
      {"negative index: every episode", -1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Events().RemoveAll();
    Settings().SetInt(SettingKey::kAnalyzeArrhyDuration, c.index);
    std::vector<int32_t> rr = EightIrregular();
    for (int32_t& x : rr) x *= c.scale;
    SetBeats(std::string(rr.size(), 'N'), rr);
    TAbsArrhythmiaDetector detector(Doc());
    EXPECT_EQ(Pass(detector).size(), c.events);
  }
}

TEST_F(AbsArrhythmiaTest, ForcedFinalCallClosesAnOpenEpisode) {
  // Irregular to the end: only the forced call closes it.
  std::vector<int32_t> rr = EightIrregular(0);
  for (int k = 0; k < 3; ++k) {
    rr.push_back(60);
    rr.push_back(100);
  }
  rr.push_back(60);
  rr.push_back(60);
  SetBeats(std::string(rr.size(), 'N'), rr);
  TAbsArrhythmiaDetector detector(Doc());
  const std::vector<Ev> events = Pass(detector);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].start, Pos(21));
}

TEST_F(AbsArrhythmiaTest, DoubtfulBeatsInsideAnEpisodeChangeNothing) {
  std::vector<int32_t> rr = EightIrregular(0);
  rr.push_back(115);  // beat 28: 100 -> 115, 15 %: between 10 % and 20 %
  rr.insert(rr.end(), 10, 115);
  SetBeats(std::string(rr.size(), 'N'), rr);
  TAbsArrhythmiaDetector detector(Doc());
  for (int i = 1; i <= 27; ++i) detector.CheckBeat(i, 0);
  EXPECT_EQ(detector.CheckBeat(28, 0), -1);
  EXPECT_EQ(detector.GetCounter(), 8);
  EXPECT_EQ(detector.CheckBeat(29, 0), 0);
  EXPECT_EQ(detector.GetCounter(), 6);
}

TEST_F(AbsArrhythmiaTest, VesSkipsAndSvesEnds) {
  // A VES next to beat 24 skips beats 23..25 without touching the counter.
  std::string classes(49, 'N');
  classes[24] = 'V';
  SetBeats(classes, EightIrregular());
  TAbsArrhythmiaDetector skipped(Doc());
  for (int i = 1; i <= 22; ++i) skipped.CheckBeat(i, 0);
  const int counter = skipped.GetCounter();
  for (int i = 23; i <= 25; ++i) EXPECT_EQ(skipped.CheckBeat(i, 0), -1);
  EXPECT_EQ(skipped.GetCounter(), counter);

  // An SVES after the episode opened ends it at once.
  classes[24] = 'N';
  classes[29] = 'S';
  SetBeats(classes, EightIrregular());
  TAbsArrhythmiaDetector ended(Doc());
  for (int i = 1; i <= 27; ++i) ended.CheckBeat(i, 0);
  ASSERT_TRUE(ended.IsEpisodeOpen());
  EXPECT_EQ(ended.CheckBeat(28, 0), -1);
  EXPECT_FALSE(ended.IsEpisodeOpen());
  EXPECT_EQ(ended.GetCounter(), 0);
  EXPECT_EQ(EventsOf({kClassArrhythmia}), (std::vector<Ev>{{kClassArrhythmia, Pos(21), Pos(27)}}));
}

TEST_F(AbsArrhythmiaTest, SupraventricularBigeminyIsNotCounted) {
  SetBeats(std::string(49, 'N'), EightIrregular());
  // A bigeminy event over beats 22..26: they are not counted, and its first beat ends nothing open.
  Events().Append(TEvent(Pos(22), Pos(26), kClassSVBigeminy));
  TAbsArrhythmiaDetector detector(Doc());
  for (int i = 1; i <= 21; ++i) detector.CheckBeat(i, 0);
  EXPECT_EQ(detector.GetCounter(), 2);
  for (int i = 22; i <= 26; ++i) EXPECT_EQ(detector.CheckBeat(i, 0), -1);
  EXPECT_EQ(detector.GetCounter(), 0);
  EXPECT_EQ(detector.CheckBeat(27, 0), 0);
  EXPECT_EQ(detector.GetCounter(), 1);
}

}  // namespace
