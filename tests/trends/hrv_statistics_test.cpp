#include "trends/hrv_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <numeric>
#include <vector>

#include "document/doc_test_support.h"
#include "document/raw_ecg_data.h"

namespace {

constexpr double kMsPerSample = 8.0;  // 125 Hz
constexpr int32_t kSegment = 37500;   // 5 minutes of samples

double MeanOf(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); }

double SdOf(const std::vector<double>& v) {
  const double m = MeanOf(v);
  double s = 0.0;
  for (double x : v) s += (x - m) * (x - m);
  return std::sqrt(s / (v.size() - 1));
}

std::vector<double> Repeat(double value, int times) {
  return std::vector<double>(static_cast<size_t>(times), value);
}

std::vector<double> Join(std::initializer_list<std::vector<double>> parts) {
  std::vector<double> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

platform::OleDateTime Clock(int h, int m) { return {0, (h * 60 + m) / 1440.0}; }

class HRVStatistics : public doctest::DocFixture {
 protected:
  void SetUp() override {
    DocFixture::SetUp();
    ASSERT_TRUE(doc_->OnNewDocument());
    Minutes(30);
    StartAt(10, 0);
    WindowFrom(0, 0, 0, 0);
  }

  void Minutes(int minutes) { doc_->GetRawECGData()->SetWholeMinutes(minutes); }
  void StartAt(int h, int m) { doc_->GetRecordingData().start_time = Clock(h, m); }
  void WindowFrom(int h1, int m1, int h2, int m2) {
    doc_->GetRecordingData().hrv_window_start = Clock(h1, m1);
    doc_->GetRecordingData().hrv_window_end = Clock(h2, m2);
  }
  void Beat(int32_t position, int beat_class = kClassNormal) {
    doc_->GetQRSList().Append(TQRSComplex(position, static_cast<uint8_t>(beat_class)));
  }
  // Normal beats from start, separated by the intervals.
  void Run(int32_t start, std::initializer_list<int32_t> intervals) {
    Beat(start);
    for (int32_t rr : intervals) Beat(start += rr);
  }
  void Episode(int32_t start, int32_t end, int kind) {
    doc_->GetEventList().Append(TEvent(start, end, static_cast<uint8_t>(kind)));
  }
  THRVResult Compute(int day = THRVStatistics::kWholeRecording) {
    THRVStatistics statistics(*doc_);
    statistics.ComputeDay(day);
    return statistics.GetResult();
  }

  // Four clusters of beats in the first four 5-minute segments. Lead-off between the first three
  // ends their segments; a marker between the third and fourth does not, so the fourth cluster's
  // first interval still belongs to the third segment.
  void FourClusters() {
    Run(1000, {100, 100, 110});
    Episode(2000, 37000, kClassLeadOff);
    // Seven 120s, a VES, then two 120s: the difference across the VES is taken to the last 120.
    Run(38000, {120, 120, 120, 120, 120, 120, 120});
    Beat(38920, kClassVES);
    Run(39060, {120, 120});
    Episode(40000, 74000, kClassLeadOff);
    Run(76000, {90, 100});
    doc_->GetRecordingData().recorder_markers = {100000};
    Run(113000, {100, 100});
  }
};

void ExpectHistogramBins(const THRVResult& r, std::vector<std::pair<int, double>> longer,
                         std::vector<std::pair<int, double>> shorter) {
  std::array<double, 101> want_longer{};
  std::array<double, 100> want_shorter{};
  for (auto [bin, value] : longer) want_longer[static_cast<size_t>(bin)] = value;
  for (auto [bin, value] : shorter) want_shorter[static_cast<size_t>(bin)] = value;
  for (size_t b = 0; b < want_longer.size(); ++b)
    EXPECT_NEAR(r.longer_histogram[b], want_longer[b], 1e-9) << b;
  for (size_t b = 0; b < want_shorter.size(); ++b)
    EXPECT_NEAR(r.shorter_histogram[b], want_shorter[b], 1e-9) << b;
}

TEST_F(HRVStatistics, ClustersByHand) {
  FourClusters();
  const THRVResult r = Compute();

  // Segment 0: 100 100 110 (the pair into the lead-off is excluded without counting against it).
  // Segment 1: nine 120s; the two pairs at the VES are excluded, 2 of 12 pairs = 16 % <= 20 %.
  // Segment 2: 90 100, the marker pair, then 100 from the fourth cluster. Segment 3: 100.
  const std::vector<double> s0 = {100, 100, 110}, s1 = Repeat(120, 9), s2 = {90, 100, 100}, s3 = {100};
  EXPECT_EQ(r.segment_sums, (std::vector<double>{310, 1080, 290, 100}));
  EXPECT_EQ(r.segment_counts, (std::vector<unsigned>{3, 9, 3, 1}));
  ASSERT_EQ(r.segment_intervals.size(), 4u);
  EXPECT_EQ(r.segment_intervals[2], s2);
  // Every closed segment but the last gives a standard deviation and a mean.
  ASSERT_EQ(r.segment_sds.size(), 3u);
  EXPECT_NEAR(r.segment_sds[0], SdOf(s0), 1e-9);
  EXPECT_EQ(r.segment_sds[1], 0.0);
  EXPECT_NEAR(r.segment_sds[2], SdOf(s2), 1e-9);

  const std::vector<double> used = Join({s0, s1, s2, s3});
  const THRVValues& w = r.whole;
  // 22 beats make 21 pairs; 16 intervals are used.
  EXPECT_NEAR(w.coverage, 16 * 100.0 / 21, 1e-9);
  EXPECT_NEAR(w.mean_nn, 1780.0 / 16 * kMsPerSample, 1e-9);
  EXPECT_NEAR(w.sdnn, SdOf(used) * kMsPerSample, 1e-9);
  EXPECT_NEAR(w.sdann, SdOf({310.0 / 3, 120, 290.0 / 3}) * kMsPerSample, 1e-9);
  EXPECT_NEAR(w.sdnn_index, SdOf(s0) * kMsPerSample, 1e-9);  // both 5.77; the 0 of segment 1 left out
  // Differences 0 10 | 10 0 0 0 0 0 0 0 0 | 30 10 | 0 0: squares 1200 over 15.
  EXPECT_NEAR(w.rmssd, std::sqrt(1200.0 / 15) * kMsPerSample, 1e-9);
  EXPECT_EQ(w.counts, (std::array<int, 3>{4, 1, 1}));
  EXPECT_NEAR(w.percents[0], 4 * 100.0 / 16, 1e-9);
  EXPECT_NEAR(w.percents[1], 100.0 / 16, 1e-9);
  EXPECT_NEAR(w.percents[2], 100.0 / 16, 1e-9);

  // Nobody inside a window whose begin equals its end.
  EXPECT_EQ(r.groups[THRVStatistics::kInside], THRVValues{});
  EXPECT_EQ(r.groups[THRVStatistics::kOutside].sdann, w.sdann);
  EXPECT_EQ(r.groups[THRVStatistics::kOutside].sdnn, w.sdnn);

  // Mean 111.25 samples: 100 is 10.1 % shorter (5 of them), 110 1.1 % shorter, 120 7.9 % longer
  // (9), 90 19.1 % shorter.
  ExpectHistogramBins(r, {{7, 9 * 100.0 / 16}}, {{10, 5 * 100.0 / 16}, {1, 100.0 / 16}, {19, 100.0 / 16}});
}

TEST_F(HRVStatistics, WindowSplitsGroupsAndWholeStaysTheSampleDeviationOfEverything) {
  FourClusters();
  // 10:05 to 10:15 after a 10:00 start: positions after 37500 up to 112500.
  WindowFrom(10, 5, 10, 15);
  const THRVResult r = Compute();
  const THRVValues& out = r.groups[THRVStatistics::kOutside];
  const THRVValues& in = r.groups[THRVStatistics::kInside];

  const std::vector<double> out_used = {100, 100, 110, 100, 100};
  const std::vector<double> in_used = Join({Repeat(120, 9), {90, 100}});
  EXPECT_NEAR(out.coverage, 5 * 100.0 / 6, 1e-9);
  EXPECT_NEAR(in.coverage, 11 * 100.0 / 15, 1e-9);
  EXPECT_NEAR(out.mean_nn, MeanOf(out_used) * kMsPerSample, 1e-9);
  EXPECT_NEAR(in.mean_nn, MeanOf(in_used) * kMsPerSample, 1e-9);
  EXPECT_NEAR(out.sdnn, SdOf(out_used) * kMsPerSample, 1e-9);
  EXPECT_NEAR(in.sdnn, SdOf(in_used) * kMsPerSample, 1e-9);
  // A segment belongs to the group of its start: 0 and 37500 (not after the begin) outside,
  // 75000 inside; a single mean has no deviation.
  EXPECT_NEAR(out.sdann, SdOf({310.0 / 3, 120}) * kMsPerSample, 1e-9);
  EXPECT_EQ(in.sdann, 0.0);
  EXPECT_NEAR(out.sdnn_index, SdOf({100, 100, 110}) * kMsPerSample, 1e-9);
  EXPECT_NEAR(in.sdnn_index, SdOf({90, 100}) * kMsPerSample, 1e-9);
  EXPECT_NEAR(out.rmssd, std::sqrt(100.0 / 4) * kMsPerSample, 1e-9);
  EXPECT_NEAR(in.rmssd, std::sqrt(1100.0 / 10) * kMsPerSample, 1e-9);
  EXPECT_EQ(out.counts, (std::array<int, 3>{1, 0, 0}));
  EXPECT_EQ(in.counts, (std::array<int, 3>{3, 1, 1}));
  EXPECT_NEAR(in.percents[0], 3 * 100.0 / 11, 1e-9);

  // The whole column does not pool within the groups: it is the plain sample deviation of all
  // used intervals and of all segment means, as without a window.
  const std::vector<double> all = Join({out_used, in_used});
  EXPECT_NEAR(r.whole.sdnn, SdOf(all) * kMsPerSample, 1e-9);
  EXPECT_NEAR(r.whole.sdann, SdOf({310.0 / 3, 120, 290.0 / 3}) * kMsPerSample, 1e-9);
  // SDNN index over the positive entries of both group lists: 5.77 (outside) and 7.07 (inside).
  EXPECT_NEAR(r.whole.sdnn_index, (SdOf({100, 100, 110}) + SdOf({90, 100})) / 2 * kMsPerSample, 1e-9);
}

TEST_F(HRVStatistics, SegmentWithUpToTwentyPercentExcludedPairsIsAccepted) {
  struct Case {
    const char* name;
    int beats;  // in the first cluster, all normal but two VES
    bool accepted;
  };
  // Two VES exclude four pairs: 4 of 20 pairs is 20 %, 4 of 19 is 21 %.
  constexpr Case kCases[] = {{"20 percent", 20, true}, {"21 percent", 19, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetQRSList().RemoveAll();
    doc_->GetEventList().RemoveAll();
    for (int j = 0; j < c.beats; ++j) Beat(1000 + 100 * j, j == 5 || j == 10 ? kClassVES : kClassNormal);
    Episode(1000 + 100 * c.beats, 37000, kClassLeadOff);
    Run(38000, {120, 120});
    const THRVResult r = Compute();
    ASSERT_EQ(r.segment_counts.size(), 2u);
    const unsigned used_first = static_cast<unsigned>(c.beats - 1 - 4);
    EXPECT_EQ(r.segment_counts[0], c.accepted ? used_first : 0u);
    EXPECT_EQ(r.segment_sums[0], c.accepted ? 100.0 * used_first : 0.0);
    EXPECT_EQ(r.segment_intervals[0].empty(), !c.accepted);
    // A rejected segment's intervals count nowhere.
    EXPECT_NEAR(r.whole.mean_nn,
                (c.accepted ? (100.0 * used_first + 240) / (used_first + 2) : 120.0) * kMsPerSample, 1e-9);
    EXPECT_NEAR(r.whole.coverage, (c.accepted ? used_first + 2 : 2) * 100.0 / (c.beats + 2), 1e-9);
  }
}

TEST_F(HRVStatistics, EpisodesExcludeThePairsTheyTouchOrSpan) {
  struct Case {
    const char* name;
    int kind;
    int32_t start, end;
    int used;
  };
  // Eleven normal beats 100 apart from 1000 make 10 pairs.
  constexpr Case kCases[] = {
      {"flutter over beat 1500", kClassAtrialFlutter, 1490, 1510, 8},
      {"fibrillation over beat 1500", kClassAtrialFibrillation, 1500, 1500, 8},
      {"absolute arrhythmia 1500-1700", kClassArrhythmia, 1500, 1700, 6},
      {"arrhythmia between two beats", kClassArrhythmia, 1450, 1480, 10},
      {"lead-off between two beats", kClassLeadOff, 1450, 1480, 9},
      {"battery off between two beats", kClassBattOff, 1450, 1480, 9},
      {"lead-off over beat 1500", kClassLeadOff, 1490, 1510, 8},
      {"bradycardia", kClassBradycardia, 1450, 1700, 10},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetQRSList().RemoveAll();
    doc_->GetEventList().RemoveAll();
    for (int j = 0; j <= 10; ++j) Beat(1000 + 100 * j);
    Episode(c.start, c.end, c.kind);
    const THRVResult r = Compute();
    EXPECT_EQ(r.segment_counts, (std::vector<unsigned>{static_cast<unsigned>(c.used)}));
    EXPECT_NEAR(r.whole.coverage, c.used * 10.0, 1e-9);
    // Excluded pairs are not held against the segment.
    EXPECT_EQ(r.segment_sums[0], 100.0 * c.used);
  }
}

TEST_F(HRVStatistics, DifferencesCountOnlyAboveEachThreshold) {
  struct Case {
    int32_t second;
    std::array<int, 3> counts;
  };
  constexpr Case kCases[] = {{106, {0, 0, 0}}, {107, {1, 0, 0}}, {113, {1, 0, 0}},
                             {114, {1, 1, 0}}, {125, {1, 1, 0}}, {126, {1, 1, 1}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.second);
    doc_->GetQRSList().RemoveAll();
    Run(1000, {100, c.second});
    const THRVResult r = Compute();
    EXPECT_EQ(r.whole.counts, c.counts);
    EXPECT_NEAR(r.whole.percents[0], c.counts[0] * 50.0, 1e-9);
  }
}

TEST_F(HRVStatistics, WindowOffsetsFollowTheRecordingStart) {
  struct Case {
    const char* name;
    int start_h, begin_h, end_h;
    int64_t begin_hours, end_hours;  // from the recording start, day 0
  };
  constexpr Case kCases[] = {
      {"22-06 from 09:00", 9, 22, 6, 13, 21},
      {"22-06 from 23:00", 23, 22, 6, 23, 31},
      {"begin equals end", 9, 12, 12, 3, 3},
  };
  Minutes(1500);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    StartAt(c.start_h, 0);
    WindowFrom(c.begin_h, 0, c.end_h, 0);
    THRVStatistics statistics(*doc_);
    statistics.ComputeDay(THRVStatistics::kWholeRecording);
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(statistics.GetWindowBeginMs(k), (c.begin_hours + 24 * k) * 3'600'000);
      EXPECT_EQ(statistics.GetWindowEndMs(k), (c.end_hours + 24 * k) * 3'600'000);
      EXPECT_EQ(statistics.GetWindowBeginSamples(k), (c.begin_hours + 24 * k) * 3600 * 125);
    }
    EXPECT_EQ(statistics.GetWindowBeginMs(2), -1);  // a 25-hour recording has two days
  }
}

TEST_F(HRVStatistics, WindowEndIsInsideAndBeginIsNot) {
  // 10:00 start, window 10:00:08 to 10:00:16: positions 1000 (begin) and 2000 (end).
  doc_->GetRecordingData().hrv_window_start = {0, (10 * 3600 + 8) / 86400.0};
  doc_->GetRecordingData().hrv_window_end = {0, (10 * 3600 + 16) / 86400.0};
  Run(900, {100, 500, 500, 100, 100});  // pairs from 900, 1000, 1500, 2000, 2100
  const THRVResult r = Compute();
  EXPECT_NEAR(r.groups[THRVStatistics::kInside].coverage, 100.0, 1e-9);  // 1500, 2000
  EXPECT_NEAR(r.groups[THRVStatistics::kInside].mean_nn, (500 + 100) / 2.0 * kMsPerSample, 1e-9);
  EXPECT_NEAR(r.groups[THRVStatistics::kOutside].mean_nn, (100 + 500 + 100) / 3.0 * kMsPerSample, 1e-9);
}

TEST_F(HRVStatistics, LaterDayCatchesUpOneSegmentPerBeat) {
  Minutes(2 * 1440);
  const int32_t day1 = 86400 * 125;
  Run(100, {100});
  Run(day1 + 1000, {100, 100, 110});
  const THRVResult r = Compute(1);
  // Each of the three pairs closes one segment of its own; the open one closes empty.
  EXPECT_EQ(r.segment_sums, (std::vector<double>{100, 100, 110, 0}));
  EXPECT_EQ(r.segment_counts, (std::vector<unsigned>{1, 1, 1, 0}));
  EXPECT_EQ(r.segment_sds, (std::vector<double>{0, 0, 0}));
  EXPECT_NEAR(r.whole.sdann, SdOf({100, 100, 110}) * kMsPerSample, 1e-9);
  EXPECT_NEAR(r.whole.coverage, 100.0, 1e-9);
  // Day 0 holds the pair 100-200 and the one from 200 into day 1.
  EXPECT_EQ(Compute(0).segment_counts.front(), 2u);
}

TEST_F(HRVStatistics, FewValuesGiveZerosNotNaN) {
  struct Case {
    const char* name;
    std::vector<int32_t> positions;
    double group_sdnn;  // samples
  };
  const Case kCases[] = {
      {"no beats", {}, 0},
      {"one beat", {1000}, 0},
      {"one interval", {1000, 1100}, 0},
      {"two intervals", {1000, 1100, 1210}, SdOf({100, 110})},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetQRSList().RemoveAll();
    for (int32_t p : c.positions) Beat(p);
    const THRVResult r = Compute();
    for (const THRVValues* v : {&r.whole, &r.groups[0], &r.groups[1]}) {
      for (double x : {v->coverage, v->mean_nn, v->sdnn, v->sdann, v->rmssd, v->sdnn_index, v->percents[0]})
        EXPECT_TRUE(std::isfinite(x));
    }
    // Below three intervals the whole column has no deviation; a group of two has one.
    EXPECT_EQ(r.whole.sdnn, 0.0);
    EXPECT_EQ(r.whole.sdann, 0.0);
    EXPECT_NEAR(r.groups[THRVStatistics::kOutside].sdnn, c.group_sdnn * kMsPerSample, 1e-9);
    for (double b : r.longer_histogram) EXPECT_TRUE(std::isfinite(b));
  }
}

TEST_F(HRVStatistics, UpdateComputesOnceAndShowsTheSelectedDay) {
  Minutes(2 * 1440);
  Run(1000, {100, 110});
  Run(86400 * 125 + 1000, {120, 130});
  THRVStatistics statistics(*doc_);
  doc_->SetHRVSelectedDay(1);
  statistics.Update();
  EXPECT_NEAR(statistics.GetValues().mean_nn, 125 * kMsPerSample, 1e-9);
  statistics.SelectDay(THRVStatistics::kWholeRecording);
  // The pair from day 0 into day 1 counts for the whole recording.
  EXPECT_EQ(statistics.GetResult().segment_counts.front(), 3u);
  statistics.SelectDay(0);
  EXPECT_NEAR(statistics.GetValues().mean_nn, (100 + 110 + (86400 * 125 - 210)) / 3.0 * kMsPerSample, 1e-6);

  // Without Invalidate the stored days stay; afterwards they are computed again.
  doc_->GetQRSList().RemoveAll();
  statistics.Update();
  EXPECT_NEAR(statistics.GetValues().mean_nn, 125 * kMsPerSample, 1e-9);
  statistics.Invalidate();
  statistics.Update();
  EXPECT_EQ(statistics.GetValues().mean_nn, 0.0);
}

}  // namespace
