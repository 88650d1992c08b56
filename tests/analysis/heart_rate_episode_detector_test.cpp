#include "analysis/heart_rate_episode_detector.h"

#include "analysis/rhythm_detection.h"
#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

// Intervals from segments of (count, rr samples); the first entry is the unused interval into beat 0.
std::vector<int32_t> Intervals(std::initializer_list<std::pair<int, int32_t>> segments) {
  std::vector<int32_t> rr{0};
  for (const auto& [count, value] : segments) rr.insert(rr.end(), static_cast<size_t>(count), value);
  return rr;
}

class HeartRateEpisodeTest : public AnalysisDocTest {
 protected:
  // Averaging over 8 beats, bradycardia below 40 and tachycardia above 100 bpm (the defaults).
  void Detect() { analysis::DetectHeartRateEpisodes(Doc()); }
  void Normal(const std::vector<int32_t>& rr) { SetBeats(std::string(rr.size(), 'N'), rr); }
};

TEST_F(HeartRateEpisodeTest, BradycardiaOnlyBelowTheLimit) {
  Settings().SetInt(SettingKey::kAnalyzeBradycardia, 4);  // (4 + 6) x 5 = 50 bpm = 150 samples
  ASSERT_EQ(Doc().GetBradycardiaLimit(), 50);
  struct Case {
    const char* name;
    int32_t slow_rr;
    size_t events;
  };
  const Case cases[] = {{"exactly at the limit", 150, 0}, {"one sample slower", 151, 1}, {"far slower", 300, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Events().RemoveAll();
    Normal(Intervals({{30, 100}, {30, c.slow_rr}, {30, 100}}));
    Detect();
    EXPECT_EQ(EventsOf({kClassBradycardia}).size(), c.events);
  }
}

TEST_F(HeartRateEpisodeTest, RateAtTheLimitEndsBradycardia) {
  Settings().SetInt(SettingKey::kAnalyzeBradycardia, 4);  // 50 bpm
  // Slow intervals into beats 21..50, then exactly 50 bpm: the episode ends at the first beat whose
  // whole window is at the limit, beat 50.
  Normal(Intervals({{20, 100}, {30, 151}, {30, 150}}));
  Detect();
  EXPECT_EQ(EventsOf({kClassBradycardia}), (std::vector<Ev>{{kClassBradycardia, Pos(20), Pos(50)}}));
}

TEST_F(HeartRateEpisodeTest, SecondEpisodeOnlyThirtySecondsAfterTheFirstStart) {
  // Bradycardia (37 bpm) over 10 intervals from beat 20, normal rhythm, then a second stretch of
  // exactly one window. Its start lies 29 s or 30 s after the first start.
  struct Case {
    const char* name;
    int normal_100s;  // normal intervals of 100 samples between the stretches
    int32_t extra;    // and one more normal interval
    size_t events;
  };
  const Case cases[] = {{"29 s apart", 15, 125, 1}, {"30 s apart", 16, 150, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Events().RemoveAll();
    Normal(Intervals({{20, 100}, {10, 200}, {c.normal_100s, 100}, {1, c.extra}, {8, 200}, {20, 100}}));
    const int second = 20 + 10 + c.normal_100s + 1;
    ASSERT_EQ(Pos(second) - Pos(20), c.events == 1 ? 3625 : 3750);
    Detect();
    const std::vector<Ev> events = EventsOf({kClassBradycardia});
    ASSERT_EQ(events.size(), c.events);
    EXPECT_EQ(events[0], (Ev{kClassBradycardia, Pos(20), Pos(23)}));
    if (c.events == 2) {
      EXPECT_EQ(events[1].start, Pos(second));
    }
  }
}

TEST_F(HeartRateEpisodeTest, TachycardiaEndsTwentyBeatsPerMinuteBelowItsLimit) {
  ASSERT_EQ(Doc().GetTachycardiaLimit(), 100);  // 75 samples
  // 125 bpm over the intervals into beats 21..40 (the window of beat 18 already averages 107 bpm),
  // then 81 bpm, which keeps it open, then 79 bpm: the window of beat 55 (five intervals of 92
  // samples, three of 94) averages 80 bpm, which ends it.
  Normal(Intervals({{20, 100}, {20, 60}, {20, 92}, {20, 94}}));
  Detect();
  EXPECT_EQ(EventsOf({kClassTachycardia}), (std::vector<Ev>{{kClassTachycardia, Pos(18), Pos(55)}}));

  // Exactly at the limit neither opens an episode nor ends an open one.
  Events().RemoveAll();
  Normal(Intervals({{20, 100}, {20, 75}}));
  Detect();
  EXPECT_TRUE(EventsOf({kClassTachycardia}).empty());
  Events().RemoveAll();
  Normal(Intervals({{20, 100}, {20, 60}, {30, 75}}));
  Detect();
  EXPECT_EQ(EventsOf({kClassTachycardia}),
            (std::vector<Ev>{{kClassTachycardia, Pos(18), Pos(Beats().GetSize() - 8)}}));
}

TEST_F(HeartRateEpisodeTest, OpenEpisodeEndsAtTheBeatCountLessN) {
  Normal(Intervals({{20, 100}, {30, 200}}));
  Detect();
  EXPECT_EQ(EventsOf({kClassBradycardia}),
            (std::vector<Ev>{{kClassBradycardia, Pos(20), Pos(Beats().GetSize() - 8)}}));
}

TEST_F(HeartRateEpisodeTest, FewBeatsAndNonNormalWindows) {
  // Eight slow beats give no window; nine give one.
  Normal(Intervals({{7, 200}}));
  Detect();
  EXPECT_TRUE(EventsOf({kClassBradycardia}).empty());
  Normal(Intervals({{8, 200}}));
  Detect();
  EXPECT_EQ(EventsOf({kClassBradycardia}).size(), 1u);

  // A VES in every window of the slow stretch: no episode starts there.
  Events().RemoveAll();
  std::string classes(60, 'N');
  for (int i = 20; i < 40; i += 4) classes[static_cast<size_t>(i)] = 'V';
  SetBeats(classes, Intervals({{20, 100}, {20, 200}, {19, 100}}));
  Detect();
  EXPECT_TRUE(EventsOf({kClassBradycardia}).empty());
  // SVES beats belong to a normal window.
  for (int i = 20; i < 40; i += 4) classes[static_cast<size_t>(i)] = 'S';
  SetBeats(classes, Intervals({{20, 100}, {20, 200}, {19, 100}}));
  Detect();
  EXPECT_EQ(EventsOf({kClassBradycardia}).size(), 1u);
}

TEST_F(HeartRateEpisodeTest, DetectionReplacesOldEpisodesAndKeepsOtherEvents) {
  Normal(Intervals({{20, 100}, {20, 200}, {20, 100}}));
  Events().Append(TEvent(Pos(2), Pos(5), kClassBradycardia));
  Events().Append(TEvent(Pos(3), Pos(3), kClassMarker));
  Events().Append(TEvent(Pos(4), Pos(9), kClassTachycardia));
  Detect();
  EXPECT_EQ(EventsOf({kClassBradycardia, kClassTachycardia, kClassMarker}),
            (std::vector<Ev>{{kClassMarker, Pos(3), Pos(3)}, {kClassBradycardia, Pos(20), Pos(33)}}));
  EXPECT_TRUE(EventsInStartOrder());
}

}  // namespace
