#include "analysis/st/st_analyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/analysis_run.h"
#include "analysis/st/st_progress_dlg.h"
#include "analysis/st/st_trend_builder.h"
#include "analysis_test_support.h"
#include "support/ecg_synthesizer.h"
#include "support/test_files.h"

namespace {

using analysis::TSTAnalyzer;
using analysis_test::Ev;

constexpr int32_t kInterval = 1875;  // samples of one ST interval
constexpr int32_t kMinute = 7500;

// A recording whose samples the test draws: an uncompressed two-channel file (exact in steps of
// 4 units) under the document's sample store. Beats get an ST plateau after the J point.
class STTest : public analysis_test::AnalysisDocTest {
 protected:
  STTest() {
    const int32_t st[] = {0, 1};
    document::Context().g_STChannels.Assign(st);
    Settings().SetInt(SettingKey::kSTTrendOn0, 1);
    Settings().SetInt(SettingKey::kSTTrendOn1, 1);
    Settings().SetInt(SettingKey::kSTLimit0, 2);  // index of 20: -2.0
    Settings().SetInt(SettingKey::kSTLimit1, 2);
    TRecordingData& r = Doc().GetSTResultData();
    r.st_offset1 = 0.056;
    r.st_offset2 = 0.056;
    r.st_point_offset = 0.064;
  }

  void UseSignal(int minutes) {
    signal_.assign(2, std::vector<int>(static_cast<size_t>(minutes) * kMinute, 0));
  }
  // The ST segment of a beat at p lies delta units (a multiple of 4) off its isoelectric level.
  void PlantST(int channel, int32_t p, int delta) {
    for (int32_t i = p + 3; i <= p + 30; ++i)
      if (i >= 0 && i < static_cast<int32_t>(signal_[0].size()))
        signal_[static_cast<size_t>(channel)][static_cast<size_t>(i)] = delta;
  }
  void OpenSignal() {
    std::vector<uint8_t> bytes(signal_[0].size() * 2);
    for (size_t i = 0; i < signal_[0].size(); ++i)
      for (size_t c = 0; c < 2; ++c) bytes[2 * i + c] = static_cast<uint8_t>((signal_[c][i] + 512) / 4);
    const std::string path = folder_.Write("00001.TAP", bytes);
    *Doc().GetRawECGData() = TRawECGData(nullptr, path);
  }
  // Beats by letters per ST interval, 200 samples apart from 100 into the interval, each normal
  // beat with the given ST shift on channel 0.
  void SetIntervals(const std::vector<std::string>& intervals, int delta) {
    Beats().RemoveAll();
    for (size_t i = 0; i < intervals.size(); ++i)
      for (size_t j = 0; j < intervals[i].size(); ++j) {
        const int32_t p = static_cast<int32_t>(i) * kInterval + 100 + static_cast<int32_t>(j) * 200;
        Beats().Append(TQRSComplex(p, analysis_test::ClassOfLetter(intervals[i][j])));
        if (intervals[i][j] == 'N') PlantST(0, p, delta);
      }
  }
  std::vector<double> Levels(int s) const {
    std::vector<double> out;
    for (const TSTWindow& w : doc_->GetSTResultData().st_levels[static_cast<size_t>(s)].Elements())
      out.push_back(w.GetValue());
    return out;
  }
  std::vector<Ev> EngineEvents() const {
    std::vector<Ev> out;
    for (const TEvent& e : doc_->GetEngineEventList().Elements())
      out.push_back({e.GetClass(), e.GetPosition(), e.GetEnd()});
    return out;
  }
  void SetLevels(int s, const std::vector<double>& levels) {
    TRecordingData& r = Doc().GetSTResultData();
    r.st_levels[static_cast<size_t>(s)].RemoveAll();
    r.st_slopes[static_cast<size_t>(s)].RemoveAll();
    for (double v : levels) {
      r.st_levels[static_cast<size_t>(s)].Add(v);
      r.st_slopes[static_cast<size_t>(s)].Add(v / 10);
    }
  }

  testsupport::TempFolder folder_{"st"};
  std::vector<std::vector<int>> signal_;
};

TEST_F(STTest, SeriesHoldOneValuePerIntervalOfTheRecording) {
  SetRecordingMinutes(60);
  SetBeats(std::string(3599, 'N'), 125, 60);
  ASSERT_LT(Beats().ElementAt(Beats().GetSize() - 1)->GetPosition(), 450000);
  analysis::RunSTAnalysis(Doc());
  const TRecordingData& r = Doc().GetSTResultData();
  EXPECT_EQ(r.st_levels[0].GetSize(), 240);
  EXPECT_EQ(r.st_levels[1].GetSize(), 240);
  EXPECT_EQ(r.st_slopes[0].GetSize(), 240);
  EXPECT_EQ(r.st_slopes[1].GetSize(), 240);
  EXPECT_EQ(r.st_interval, 15);
  EXPECT_EQ(r.st_channel_analysed, (std::array<int32_t, 2>{1, 1}));
}

// An interval counts when normal beats are more than a quarter of its counted beats; a usable one
// after unusable ones also takes over the last of their zeros.
TEST_F(STTest, IntervalUsabilityAndTheZerosOfUnusableRuns) {
  struct Case {
    const char* name;
    std::vector<std::string> intervals;
    std::vector<double> levels;  // first elements of the series; the rest is padding
  };
  const Case cases[] = {
      {"2N+3V usable, 1N+3V not", {"NNVVV", "NVVV", "N"}, {-0.10, 0.0, -0.20, -0.20}},
      {"class 22 only is unusable", {"NN", "UUU", "N"}, {-0.10, 0.0, -0.15}},
      {"three unusable, then usable", {"NVVV", "UU", "NVVV", "NNNN", "N"}, {0.0, 0.0, -0.30, -0.30, -0.35}},
      {"empty intervals", {"NN", "", "", "NN", "N"}, {-0.10, 0.0, -0.20, -0.20, -0.25}},
      {"paced and artefacts count", {"NPPA", "NNSVA", "N"}, {-0.15, -0.15, -0.20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseSignal(2);
    SetIntervals(c.intervals, -20);
    OpenSignal();
    analysis::RunSTAnalysis(Doc());
    const std::vector<double> levels = Levels(0);
    ASSERT_EQ(levels.size(), 8u);
    for (size_t i = 0; i < levels.size(); ++i)
      EXPECT_NEAR(levels[i], i < c.levels.size() ? c.levels[i] : c.levels.back(), 1e-9) << "interval " << i;
  }
}

TEST_F(STTest, TrackersFollowEachChannelByAStepPerNormalBeat) {
  UseSignal(1);
  // The first beat lies so close to the start that its isoelectric window would begin before
  // sample 0: it stays out of the trackers.
  std::vector<int32_t> positions = {3};
  for (int k = 0; k < 20; ++k) positions.push_back(200 + k * 150);
  Beats().RemoveAll();
  for (int32_t p : positions) {
    Beats().Append(TQRSComplex(p, kClassNormal));
    PlantST(0, p, -20);  // -1.0
    PlantST(1, p, 12);   // +0.6
  }
  OpenSignal();
  TSTAnalyzer analyzer(Doc());
  analyzer.Analyze();
  EXPECT_NEAR(analyzer.GetLevelTracker(0), -1.0, 1e-9);
  EXPECT_NEAR(analyzer.GetLevelTracker(1), 0.6, 0.05 + 1e-9);
}

TEST_F(STTest, ChannelRangeFollowsAnalysedChannelsAndTrendSwitches) {
  struct Case {
    int count, a, b;
    std::array<bool, 3> on;
    std::array<int, 2> range;
  };
  const Case cases[] = {
      {1, 0, 0, {true, false, false}, {0, 1}}, {1, 0, 0, {false, true, true}, {0, 0}},
      {1, 1, 0, {false, true, false}, {1, 2}}, {1, 2, 0, {false, false, true}, {1, 2}},
      {2, 0, 1, {true, true, false}, {0, 2}},  {2, 0, 2, {true, false, false}, {0, 1}},
      {2, 1, 2, {false, false, true}, {1, 2}}, {2, 1, 2, {false, false, false}, {0, 0}},
      {2, 1, 0, {true, true, true}, {0, 0}},   {3, 0, 1, {true, true, true}, {0, 2}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TSTAnalyzer::ChannelRange(c.count, c.a, c.b, c.on), c.range)
        << c.count << " channels " << c.a << "," << c.b;
}

TEST_F(STTest, OnlyChannelTwoAnalysedIsMeasuredOnSecondIndex) {
  const int32_t analysed[] = {2};
  document::Context().g_AnalysisChannels.Assign(analysed);
  const int32_t st[] = {0, 2};
  document::Context().g_STChannels.Assign(st);
  Settings().SetInt(SettingKey::kSTTrendOn0, 0);
  Settings().SetInt(SettingKey::kSTTrendOn2, 1);
  SetRecordingMinutes(1);
  SetBeats("NNNN", 300);
  TSTAnalyzer analyzer(Doc());
  EXPECT_EQ(analyzer.GetFirstChannel(), 1);
  EXPECT_EQ(analyzer.GetChannelEnd(), 2);
  analyzer.Analyze();
  const TRecordingData& r = Doc().GetSTResultData();
  EXPECT_EQ(r.st_levels[0].GetSize(), 0);
  EXPECT_EQ(r.st_levels[1].GetSize(), 4);
  EXPECT_EQ(r.st_channel_analysed, (std::array<int32_t, 2>{0, 1}));
}

// Episode detection over planted level series (limit 20: -2.0).
TEST_F(STTest, EpisodesStartAfterFourIntervalsBelowTheLimitAndEndAfterFourWithin) {
  struct Case {
    const char* name;
    std::vector<double> levels;
    std::vector<Ev> events;
    std::vector<std::array<double, 3>> depths;  // onset, extreme, end level per episode
    int32_t deepest;
  };
  std::vector<double> episode(40, -0.5);
  for (int l = 10; l < 20; ++l) episode[static_cast<size_t>(l)] = -2.5;
  episode[15] = -3.5;
  episode[19] = -2.2;
  episode[20] = -2.0;  // the limit itself is within
  std::vector<double> open = episode;
  for (int l = 20; l < 40; ++l) open[static_cast<size_t>(l)] = -2.4;
  std::vector<double> at_limit(40, -2.0);
  at_limit[7] = -1.9;
  std::vector<double> lowest(40, -0.5);
  lowest[12] = -1.8;
  lowest[30] = -1.8;
  std::vector<double> three(40, -0.5);
  for (int l = 5; l < 8; ++l) three[static_cast<size_t>(l)] = -4.0;
  const Case cases[] = {
      {"closed episode", episode, {{25, 18750, 37500}}, {{{-2.5, -3.5, -2.2}}}, 15 * kInterval},
      {"open episode", open, {{25, 18750, 75000}}, {{{-2.5, -3.5, -2.4}}}, 15 * kInterval},
      {"at the limit", at_limit, {}, {}, 0},
      {"deepest without episode, first of equal", lowest, {}, {}, 12 * kInterval},
      {"three intervals are no episode", three, {}, {}, 5 * kInterval},
      {"no level at all", {}, {}, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetRecordingMinutes(10);
    SetBeats("NNNN", 500);
    Doc().GetSTResultData().st_interval = 15;
    SetLevels(0, c.levels);
    SetLevels(1, {});
    analysis::RedetectSTEpisodes(Doc());
    EXPECT_EQ(EngineEvents(), c.events);
    const TRecordingData& r = Doc().GetSTResultData();
    ASSERT_EQ(r.st_episodes[0].GetSize(), static_cast<int>(c.depths.size()));
    for (size_t k = 0; k < c.depths.size(); ++k) {
      const TSTDetail d = r.st_episodes[0].GetAt(static_cast<int>(k));
      EXPECT_DOUBLE_EQ(d.points[TSTDetail::kOnset].level, c.depths[k][0]);
      EXPECT_DOUBLE_EQ(d.points[TSTDetail::kExtreme].level, c.depths[k][1]);
      EXPECT_DOUBLE_EQ(d.points[TSTDetail::kEnd].level, c.depths[k][2]);
      EXPECT_EQ(d.points[TSTDetail::kOnset].position, c.events[k].start);
      EXPECT_EQ(d.points[TSTDetail::kEnd].position, c.events[k].end);
    }
    EXPECT_EQ(r.deepest_st_position[0], c.deepest);
    EXPECT_EQ(r.deepest_st_position[1], -1);
    EXPECT_EQ(r.st_depression_limit[0], 20);
  }
}

TEST_F(STTest, EpisodeKindFollowsTheRecorderChannelAndEventsStayInStartOrder) {
  const int32_t analysed[] = {0, 2};
  document::Context().g_AnalysisChannels.Assign(analysed);
  document::Context().g_STChannels.Assign(analysed);
  Settings().SetInt(SettingKey::kSTTrendOn2, 1);
  Settings().SetInt(SettingKey::kSTLimit2, 4);  // 30: -3.0
  SetRecordingMinutes(10);
  SetBeats("NNNN", 500);
  std::vector<double> a(40, 0.0), b(40, 0.0);
  for (int l = 4; l < 12; ++l) a[static_cast<size_t>(l)] = -2.5;
  for (int l = 2; l < 9; ++l) b[static_cast<size_t>(l)] = -2.5;  // within -3.0: nothing
  for (int l = 20; l < 30; ++l) b[static_cast<size_t>(l)] = -3.5;
  SetLevels(0, a);
  SetLevels(1, b);
  analysis::RedetectSTEpisodes(Doc());
  EXPECT_EQ(EngineEvents(),
            (std::vector<Ev>{{25, 4 * kInterval, 12 * kInterval}, {27, 20 * kInterval, 30 * kInterval}}));
  EXPECT_EQ(Doc().GetSTResultData().st_depression_limit, (std::array<int32_t, 2>{20, 30}));
}

TEST_F(STTest, EmptyBeatListLeavesTheRecordAsPrepared) {
  SetRecordingMinutes(10);
  SetLevels(0, {-3.0, -3.0});
  Doc().GetEngineEventList().Append(TEvent(5, 6, kClassSTEpisode1));
  analysis::RunSTAnalysis(Doc());
  analysis::RedetectSTEpisodes(Doc());
  EXPECT_EQ(Levels(0).size(), 2u);
  EXPECT_EQ(Doc().GetEngineEventList().GetSize(), 1);
}

// Planted episodes of a synthetic 6-hour recording: each deep enough and long enough found once on
// its channel, onset and offset from 15 s before to 45 s after the planted times, depth within
// 30 microvolts; shallow or short ones give nothing.
TEST_F(STTest, FindsThePlantedEpisodesOfASyntheticRecording) {
  constexpr int32_t kMin = 60000;
  testsupport::SynthOptions options;
  options.seed = 18;
  options.duration_s = 6 * 3600;
  options.heart_rate_bpm = 70.0;
  options.st_episodes = {
      {60 * kMin, 70 * kMin, -300, 0x1},           {120 * kMin, 125 * kMin, -250, 0x2},
      {180 * kMin, 183 * kMin, -400, 0x3},         {240 * kMin, 250 * kMin, -150, 0x3},
      {300 * kMin, 300 * kMin + 40000, -300, 0x3},
  };
  const testsupport::SyntheticEcg ecg = testsupport::GenerateSyntheticEcg(options);
  const std::string path = folder_.Write("00001.CMP", ecg.cmp_bytes);
  *Doc().GetRawECGData() = TRawECGData(nullptr, path);
  Beats().RemoveAll();
  for (const testsupport::TruthBeat& beat : ecg.truth.beats)
    Beats().Append(TQRSComplex(beat.position, beat.beat_class));
  analysis::RunSTAnalysis(Doc());

  struct Expected {
    int s;
    int32_t start_ms, end_ms, shift_uv;
  };
  const Expected expected[] = {{0, 60 * kMin, 70 * kMin, -300},
                               {1, 120 * kMin, 125 * kMin, -250},
                               {0, 180 * kMin, 183 * kMin, -400},
                               {1, 180 * kMin, 183 * kMin, -400}};
  const TRecordingData& r = Doc().GetSTResultData();
  const auto level_outside = [&](int s) {
    // The median level of the first hour, before any episode.
    std::vector<double> v;
    for (int l = 8; l < 230; ++l) v.push_back(r.st_levels[static_cast<size_t>(s)].GetAt(l).GetValue());
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  for (int s = 0; s < 2; ++s) {
    std::vector<Expected> mine;
    for (const Expected& e : expected)
      if (e.s == s) mine.push_back(e);
    const TSTDetails& episodes = r.st_episodes[static_cast<size_t>(s)];
    ASSERT_EQ(episodes.GetSize(), static_cast<int>(mine.size())) << "channel " << s;
    for (size_t k = 0; k < mine.size(); ++k) {
      const TSTDetail d = episodes.GetAt(static_cast<int>(k));
      const int32_t onset_ms = d.points[TSTDetail::kOnset].position * 8;
      const int32_t end_ms = d.points[TSTDetail::kEnd].position * 8;
      EXPECT_GE(onset_ms, mine[k].start_ms - 15000) << "channel " << s << " episode " << k;
      EXPECT_LE(onset_ms, mine[k].start_ms + 45000) << "channel " << s << " episode " << k;
      EXPECT_GE(end_ms, mine[k].end_ms - 15000) << "channel " << s << " episode " << k;
      EXPECT_LE(end_ms, mine[k].end_ms + 45000) << "channel " << s << " episode " << k;
      const double depth_uv = (d.points[TSTDetail::kExtreme].level - level_outside(s)) * 100.0;
      EXPECT_NEAR(depth_uv, mine[k].shift_uv, 30.0) << "channel " << s << " episode " << k;
    }
  }
}

// --- The run under its dialog ---------------------------------------------------------------------

// Waits for the worker's end notice without polling.
class EndNotice {
 public:
  std::function<void()> Callback() {
    return [this] {
      std::lock_guard lock(mutex_);
      ended_ = true;
      cv_.notify_all();
    };
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return ended_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool ended_ = false;
};

TEST_F(STTest, ProgressCountsMinutesLoadedBeyondTheFirstFiveOrOneStepForEpisodes) {
  SetRecordingMinutes(10);
  SetBeats(std::string(500, 'N'), 140);  // to about minute 9.3
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode);
    analysis::TSTProgressDlg dialog(Doc(), mode);
    EXPECT_EQ(dialog.GetTemplateId(), 30725);
    EXPECT_EQ(dialog.GetMinuteCount(), mode == 1 ? 10 : 1);
    EndNotice notice;
    dialog.Start(notice.Callback());
    notice.Wait();
    EXPECT_EQ(dialog.OnEndMessage(), analysis::kResultFinished);
    EXPECT_EQ(dialog.OnTimer().minute, mode == 1 ? 5 : 1);
  }
}

// Every way out of the dialog before the end is a stop: the worker has ended when it returns.
TEST_F(STTest, CancelOrCloseStopsAndWaitsForTheWorker) {
  SetRecordingMinutes(60);
  SetBeats(std::string(20000, 'N'), 20);
  analysis::TSTProgressDlg dialog(Doc(), 1);
  EndNotice notice;
  dialog.Start(notice.Callback());
  EXPECT_TRUE(dialog.OnCancel());
  EXPECT_EQ(dialog.GetResult(), analysis::kResultCancelled);
  EXPECT_EQ(Doc().GetSTStopFlag(), 1);
  EXPECT_FALSE(dialog.OnCancel());
  EXPECT_EQ(dialog.OnEndMessage(), analysis::kResultCancelled);
  notice.Wait();  // already given: the worker has ended
  // The stopped run still closes the series it began.
  EXPECT_EQ(Doc().GetSTResultData().st_interval, 15);
}

// The dialog as the user ends it: at once (Cancel, Escape, closing the window) or at the worker's end.
class STDialogs : public analysis::AnalysisDialogs {
 public:
  int RunProgressDialog(analysis::AnalysisProgress& progress) override {
    EndNotice notice;
    progress.Start(notice.Callback());
    if (cancel && progress.OnCancel()) return progress.GetResult();
    notice.Wait();
    return progress.OnEndMessage();
  }
  int RunWaitDialog(const analysis::WaitDialogKind&, const std::function<void()>& work) override {
    work();
    return 1;
  }
  bool cancel = false;
};

TEST_F(STTest, ACancelledRunKeepsThePreviousResults) {
  SetRecordingMinutes(10);
  SetBeats(std::string(400, 'N'), 150);
  TRecordingData& record = Doc().GetRecordingData();
  record.st_levels[0].Add(-9.0);
  record.st_interval = 15;
  Events().Append(TEvent(100, 200, kClassSTEpisode1));
  STDialogs dialogs;
  analysis::AnalysisRun::Services services;
  services.dialogs = &dialogs;
  services.st_analysis = [&dialogs](CZK470Doc& doc, int mode) {
    return analysis::RunSTAnalysisDialog(dialogs, doc, mode);
  };
  analysis::AnalysisRun run(std::move(services));

  dialogs.cancel = true;
  run.OnRepeatSTAnalysis(Doc());
  ASSERT_EQ(record.st_levels[0].GetSize(), 1);
  EXPECT_EQ(record.st_levels[0].GetAt(0).GetValue(), -9.0);
  EXPECT_EQ(EventsOf({kClassSTEpisode1}), (std::vector<Ev>{{kClassSTEpisode1, 100, 200}}));

  dialogs.cancel = false;
  run.OnRepeatSTAnalysis(Doc());
  EXPECT_EQ(record.st_levels[0].GetSize(), 40);
  EXPECT_TRUE(EventsOf({kClassSTEpisode1}).empty());
}

// --- Trend reduction -------------------------------------------------------------------------------

TEST_F(STTest, TrendBuilderKeepsTheLowestValuePerPointAndASymmetricRange) {
  struct Case {
    const char* name;
    std::vector<double> levels;
    int interval;
    int seconds;
    int points;
    double first_point;
    double highest;
  };
  std::vector<double> hour(240, 0.5);
  hour[3] = -4.2;
  std::vector<double> deep(40, 0.0);
  deep[0] = -9.5;
  const Case cases[] = {
      {"one hour in 5-minute points", hour, 15, 300, 12, -4.2, 5.0},
      {"deep values clip to 8", deep, 15, 300, 2, -9.5, 8.0},
      {"small values widen to 3", {-1.4, 0.6, 0.2, 0.1}, 15, 30, 2, -1.4, 3.0},
      // Without points the range is the one around the defaults of +-3.
      {"no interval in the record", hour, -1, 300, 0, 0.0, 4.0},
      {"points shorter than an interval", hour, 15, 10, 0, 0.0, 4.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingData& r = Doc().GetRecordingData();
    r.st_interval = c.interval;
    r.st_channel_analysed = {1, 0};
    r.st_levels[0].RemoveAll();
    for (double v : c.levels) r.st_levels[0].Add(v);
    auto output = std::make_unique<analysis::TSTTrendBuilder::Output>();
    (*output)[1].fill(-7.0);  // an earlier use's values must not reach the bounds
    analysis::TSTTrendBuilder builder(Doc());
    EXPECT_EQ(builder.Build(c.seconds, *output, 1), c.points);
    if (c.points > 0) EXPECT_DOUBLE_EQ((*output)[0][0], c.first_point);
    EXPECT_DOUBLE_EQ(builder.GetHighest(0), c.highest);
    EXPECT_DOUBLE_EQ(builder.GetLowest(0), -c.highest);
    EXPECT_DOUBLE_EQ(builder.GetHighest(1), 4.0);
  }
}

TEST_F(STTest, TrendBuilderNeverWritesPastItsPoints) {
  TRecordingData& r = Doc().GetRecordingData();
  r.st_interval = 15;
  r.st_channel_analysed = {1, 0};
  for (int i = 0; i < 20000; ++i) r.st_levels[0].Add(-1.0);
  auto output = std::make_unique<analysis::TSTTrendBuilder::Output>();
  EXPECT_EQ(analysis::TSTTrendBuilder(Doc()).Build(1, *output, 1), 0);  // 1 s per point: none
  EXPECT_EQ(analysis::TSTTrendBuilder(Doc()).Build(15, *output, 1), analysis::TSTTrendBuilder::kMaxPoints);
}

}  // namespace
