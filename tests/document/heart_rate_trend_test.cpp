#include "document/heart_rate_trend.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "document/doc_test_support.h"
#include "document/raw_ecg_data.h"

namespace {

// Records what an extremes pass asks of the detectors.
class FakeHooks : public document::AnalysisHooks {
 public:
  class Detectors : public document::HeartRatePassDetectors {
   public:
    explicit Detectors(std::vector<std::string>& log) : log_(log) {}
    void CheckROnT(int beat, int heart_rate) override {
      log_.push_back("R" + std::to_string(beat) + ":" + std::to_string(heart_rate));
    }
    void CheckArrhythmia(int beat, bool forced) override {
      log_.push_back("A" + std::to_string(beat) + (forced ? "!" : ""));
    }

   private:
    std::vector<std::string>& log_;
  };

  std::unique_ptr<document::HeartRatePassDetectors> CreatePassDetectors(CZK470Doc&) override {
    ++created;
    return std::make_unique<Detectors>(log);
  }
  void RecomputeEvents(CZK470Doc&, int) override {}
  void RemoveBeatFromTemplates(CZK470Doc&, int) override {}
  void DeleteBeat(CZK470Doc&, void*, int32_t, int) override {}
  void DetectSVEvents(CZK470Doc&, int, int) override {}
  void AnalyzeRecording(CZK470Doc&, int) override {}

  std::vector<std::string> log;
  int created = 0;
};

class HeartRateTrend : public doctest::DocFixture {
 protected:
  void SetUp() override {
    DocFixture::SetUp();
    ASSERT_TRUE(doc_->OnNewDocument());
    Minutes(1);
    AveragingBeats(4);
  }

  void Minutes(int minutes) { doc_->GetRawECGData()->SetWholeMinutes(minutes); }
  // "Trend-Average" index 0 averages over 4 beats, 1 over 8.
  void AveragingBeats(int beats) {
    doc_->GetSettings().SetInt(SettingKey::kHeartrateTrendAverage, beats == 4 ? 0 : 1);
    ASSERT_EQ(doc_->GetHRAverageBeats(), beats);
  }
  // Normal beats from sample 0 separated by the given intervals.
  void Beats(const std::vector<int32_t>& intervals, int32_t first = 0) {
    int32_t position = first;
    doc_->GetQRSList().Append(TQRSComplex(position, kClassNormal));
    for (int32_t interval : intervals) {
      position += interval;
      doc_->GetQRSList().Append(TQRSComplex(position, kClassNormal));
    }
  }
  std::unique_ptr<THeartRateTrend> Trend() { return std::make_unique<THeartRateTrend>(*doc_); }

  static void ExpectExtreme(const THeartRateTrend::Extreme& e, int32_t value, int32_t position,
                            int32_t beat) {
    EXPECT_EQ(e.value, value);
    EXPECT_EQ(e.position, position);
    EXPECT_EQ(e.beat, beat);
  }
};

// Intervals in samples at 125 per second; a rate over four intervals is 60 x 125 x 4 / sum.
const std::vector<int32_t> kRhythm = {100, 100, 100, 100, 125, 125, 125, 125, 80,
                                      80,  80,  80,  100, 100, 100, 100, 100};

TEST_F(HeartRateTrend, HeartRateAtEachBeatIsTheTruncatedMeanOfTheNextIntervals) {
  Beats(kRhythm);
  auto trend = Trend();
  // Sums 400, 425, 450, 475, 500, 455, 410, 365, 320, 340, 360, 380, 400, 400.
  const int want[] = {75, 70, 66, 63, 60, 65, 73, 82, 93, 88, 83, 78, 75, 75};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(trend->GetHeartRateAt(i, 0), want[i]) << i;
  // Fewer intervals at the end of the list: only those that exist.
  EXPECT_EQ(trend->GetHeartRateAt(16, 0), 75);
  EXPECT_EQ(trend->GetHeartRateAt(17, 0), -1);
}

TEST_F(HeartRateTrend, ExtremesOfBothPasses) {
  Beats(kRhythm);
  auto trend = Trend();
  trend->Compute(60);
  // Heart rate: 60 at beat 4 (sample 400), 93 at beat 8 (sample 900).
  ExpectExtreme(trend->HRMin(), 60, 400, 4);
  ExpectExtreme(trend->HRMax(), 93, 900, 8);
  ExpectExtreme(trend->SinusMin(), 60, 400, 4);
  ExpectExtreme(trend->SinusMax(), 93, 900, 8);
  // Intervals of beats 0..13: shortest 80 after beat 8, longest 125 after beat 4.
  ExpectExtreme(trend->RRMin(), 80, 900, 8);
  ExpectExtreme(trend->RRMax(), 125, 400, 4);
  ExpectExtreme(trend->NNMin(), 80, 900, 8);
  ExpectExtreme(trend->NNMax(), 125, 400, 4);
  // One bin of one minute: the mean of the 14 rates above, 1046 / 14.
  ASSERT_EQ(trend->GetBinCount(), 1);
  EXPECT_EQ(trend->GetBinMin(0), 60);
  EXPECT_EQ(trend->GetBinMean(0), 74);
  EXPECT_EQ(trend->GetBinMax(0), 93);
  EXPECT_EQ(trend->GetMeanOfBinMeans(), 74);
  EXPECT_TRUE(trend->IsComputed());
  // Stored in the document with mode 2: nothing was set before.
  EXPECT_EQ(doc_->GetHRMinValue(), 60);
  EXPECT_EQ(doc_->GetRRMinPosition(), 900);
  EXPECT_EQ(doc_->GetExtremesValid(), 1);

  auto second = Trend();
  second->ComputeExtremes(false, false);
  ExpectExtreme(second->HRMin(), 60, 400, 4);
  ExpectExtreme(second->RRMax(), 125, 400, 4);
  EXPECT_FALSE(second->IsComputed());
}

TEST_F(HeartRateTrend, BinsWithAGapAndTheMeanOfBinMeans) {
  Minutes(3);
  Beats(std::vector<int32_t>(9, 100));            // beats 0..9 in minute 0
  Beats(std::vector<int32_t>(9, 125), 2 * 7500);  // beats 10..19 in minute 2
  auto trend = Trend();
  ASSERT_EQ(trend->Compute(60), 3);
  // Minute 0: seven rates of 75, then 69, 64 and 60 as the intervals after the skipped gap
  // (14100 samples) come in: 718 / 10.
  EXPECT_EQ(trend->GetBinMin(0), 60);
  EXPECT_EQ(trend->GetBinMax(0), 75);
  EXPECT_EQ(trend->GetBinMean(0), 71);
  EXPECT_EQ(trend->GetBinMin(1), 0);
  EXPECT_EQ(trend->GetBinMean(1), 0);
  EXPECT_EQ(trend->GetBinMax(1), 0);
  EXPECT_EQ(trend->GetBinMean(2), 60);
  EXPECT_EQ(trend->GetMeanOfBinMeans(), 65) << "the empty bin does not count: (71 + 60) / 2";
  // Of equal minimum rates the earliest beat wins; the long gap counts as an RR interval.
  ExpectExtreme(trend->HRMin(), 60, 900, 9);
  ExpectExtreme(trend->RRMax(), 14100, 900, 9);
}

TEST_F(HeartRateTrend, TheOpenBinAfterTheWholeOnesHasValues) {
  // Two and a half minutes in bins of a minute: two whole bins and the open third.
  Minutes(2);
  Beats(std::vector<int32_t>(185, 100));  // 75 per minute over 2.5 minutes
  auto trend = Trend();
  ASSERT_EQ(trend->Compute(60), 2);
  for (int bin = 0; bin < 3; ++bin) {
    SCOPED_TRACE(bin);
    EXPECT_EQ(trend->GetBinMin(bin), 75);
    EXPECT_EQ(trend->GetBinMean(bin), 75);
    EXPECT_EQ(trend->GetBinMax(bin), 75);
  }
  EXPECT_EQ(trend->GetBinMean(3), 0);
  // Half an hour in hourly bins: no whole hour, the open one holds the rates.
  ASSERT_EQ(trend->Compute(3600), 0);
  EXPECT_EQ(trend->GetBinMin(0), 75);
  EXPECT_EQ(trend->GetBinMean(0), 75);
  EXPECT_EQ(trend->GetBinMax(0), 75);
  EXPECT_EQ(trend->GetBinMax(1), 0);
}

TEST_F(HeartRateTrend, ATrendAfterAnEditReplacesTheStaleExtremes) {
  Beats(kRhythm);
  Trend()->Compute(60);
  ASSERT_EQ(doc_->GetNNMinBeat(), 8);
  // An artefact beat inserted before them: the same NN intervals, one beat further on.
  doc_->GetQRSList().InsertAt(1, TQRSComplex(50, kClassArtefact));
  doc_->SetExtremesValid(0);
  auto trend = Trend();
  trend->Compute(3600);
  EXPECT_EQ(doc_->GetExtremesValid(), 0) << "the stored beat index is one beat off";
  // What the HRV screen does with extremes that are not valid.
  if (doc_->GetExtremesValid() == 0) doc_->RecalcHeartRateExtremes(0, 0, 0);
  EXPECT_EQ(doc_->GetNNMinBeat(), 9);
  EXPECT_EQ(doc_->GetNNMinPosition(), 900);
  // From the shortest interval the next one of equal length is the following beat.
  EXPECT_EQ(trend->FindNextLongerNN(doc_->GetNNMinValue(), doc_->GetNNMinBeat()), 10);
  // Extremes that match the beats are valid after a trend.
  Trend()->Compute(3600);
  EXPECT_EQ(doc_->GetExtremesValid(), 1);
}

TEST_F(HeartRateTrend, LongIntervalsAndMinimumsOfAnyLength) {
  struct Case {
    const char* name;
    int32_t first_interval;
    int want_rate;
  };
  // 625 samples are 5 s and not averaged; 624 are.
  const Case cases[] = {{"625 samples excluded", 625, 75}, {"624 samples averaged", 624, 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetQRSList().RemoveAll();
    Beats({c.first_interval, 100, 100, 100, 100});
    EXPECT_EQ(Trend()->GetHeartRateAt(0, 0), c.want_rate);
  }
  // A shortest interval of exactly 500 samples (or longer) is reported, not read as "not found".
  for (int32_t rr : {500, 600}) {
    SCOPED_TRACE(rr);
    doc_->GetQRSList().RemoveAll();
    Beats(std::vector<int32_t>(10, rr));
    auto trend = Trend();
    trend->ComputeExtremes(false, false);
    ExpectExtreme(trend->RRMin(), rr, 0, 0);
    ExpectExtreme(trend->NNMin(), rr, 0, 0);
  }
}

TEST_F(HeartRateTrend, MarkersAndArtefactsExcludeIntervals) {
  Beats({100, 100, 100, 100, 100, 100});
  doc_->GetRecordingData().recorder_markers = {200};
  auto trend = Trend();
  // A marker on beat 2 excludes both intervals touching it: 100 + 100 remain of four.
  EXPECT_EQ(trend->GetHeartRateAt(0, 0), 75);
  EXPECT_EQ(trend->GetRRInterval(0), 100);
  EXPECT_EQ(trend->GetRRInterval(1), -1);
  EXPECT_EQ(trend->GetRRInterval(2), -1);
  EXPECT_EQ(trend->GetRRInterval(3), 100);

  doc_->GetRecordingData().recorder_markers.clear();
  doc_->GetQRSList().SetClass(2, kClassArtefact);
  doc_->GetQRSList().SetClass(4, kClassVES);
  auto second = Trend();
  EXPECT_EQ(second->GetRRInterval(1), -1);
  EXPECT_EQ(second->GetRRInterval(3), 100);
  EXPECT_EQ(second->GetNNInterval(3), -1) << "beat 4 is not normal";
  EXPECT_EQ(second->GetNNInterval(0), 100);
  // Of the four intervals after beat 1, two touch the artefact; the other two are averaged.
  EXPECT_EQ(second->GetHeartRateAt(1, 0), 75);
}

TEST_F(HeartRateTrend, ABeatWithoutValidIntervalCountsForNothing) {
  // Every interval after beat 0 touches an artefact: its rate is -1 and it sets no extreme.
  Beats({100, 100, 100, 100, 100, 100, 100, 100, 100});
  for (int i = 1; i <= 4; i += 2) doc_->GetQRSList().SetClass(i, kClassArtefact);
  auto trend = Trend();
  EXPECT_EQ(trend->GetHeartRateAt(0, 0), -1);
  trend->Compute(60);
  EXPECT_NE(trend->HRMin().beat, 0);
  EXPECT_NE(trend->HRMax().beat, 0);
}

TEST_F(HeartRateTrend, NoRunOfNormalBeatsGivesNoSinusRate) {
  Beats(std::vector<int32_t>(20, 100));
  for (int i = 2; i < 21; i += 3) doc_->GetQRSList().SetClass(i, kClassVES);
  auto trend = Trend();
  trend->Compute(60);
  ExpectExtreme(trend->SinusMin(), 0, 0, -1);
  ExpectExtreme(trend->SinusMax(), 0, 0, -1);
  auto second = Trend();
  second->ComputeExtremes(false, false);
  ExpectExtreme(second->SinusMin(), 0, -1, -1);
  ExpectExtreme(second->SinusMax(), 0, -1, -1);
}

TEST_F(HeartRateTrend, EmptyBeatListComputesNothing) {
  auto trend = Trend();
  EXPECT_EQ(trend->Compute(60), 1);
  EXPECT_FALSE(trend->IsComputed());
  EXPECT_EQ(trend->GetBinMin(0), 0);
  ExpectExtreme(trend->HRMin(), 0, 0, -1);
  EXPECT_EQ(doc_->GetExtremesValid(), 0);
}

TEST_F(HeartRateTrend, BinsBeyondTheTableCountForTheExtremesOnly) {
  // 200 minutes in bins of one second are 12000 bins, more than the table holds.
  Minutes(200);
  std::vector<int32_t> intervals(200 * 60 - 1, 125);
  intervals[10000] = 65;  // after beat 10000, in bin 10000
  Beats(intervals);
  auto trend = Trend();
  EXPECT_EQ(trend->Compute(1), 12000);
  EXPECT_EQ(trend->GetBinMean(THeartRateTrend::kMaxBins - 1), 60);
  EXPECT_EQ(trend->GetBinMean(THeartRateTrend::kMaxBins), 0);
  EXPECT_EQ(trend->GetMeanOfBinMeans(), 60);
  // The last averaged beats lie beyond the table; the shortest interval is still found there.
  EXPECT_EQ(trend->RRMin().value, 65);
}

TEST_F(HeartRateTrend, RateOverSpanAndMaxRateInEvent) {
  Beats({100, 100, 50, 50, 100, 100, 100}, 1000);
  doc_->GetEventList().Append(TEvent(0, 1250, kClassVTachycardia));  // starts before the first beat
  doc_->GetEventList().Append(TEvent(1150, 1400, kClassVTachycardia));
  auto trend = Trend();
  EXPECT_EQ(trend->GetRateOverSpan(0, 2), 75);
  EXPECT_EQ(trend->GetRateOverSpan(2, 2), 150);
  EXPECT_EQ(trend->GetRateOverSpan(6, 2), -1) << "no beat 8";
  EXPECT_EQ(trend->GetRateOverSpan(0, 0), -1);

  int cursor = 0;
  // Spans of two intervals from beat 0 while beat k + 1 lies inside: 75, 100, 150, stopping
  // before beat 4 at 1300.
  EXPECT_EQ(trend->GetMaxRateInEvent(0, cursor, 2), 150);
  EXPECT_EQ(cursor, 3);
  EXPECT_EQ(trend->GetMaxRateInEvent(1, cursor, 2), 150);
  EXPECT_EQ(trend->GetMaxRateInEvent(5, cursor, 2), 0) << "no such event";
}

TEST_F(HeartRateTrend, StepsThroughNNIntervalsByLength) {
  Beats({100, 120, 100, 90, 120});
  auto trend = Trend();
  EXPECT_EQ(trend->FindNextLongerNN(100, -1), 0);
  EXPECT_EQ(trend->FindNextLongerNN(100, 0), 2) << "equal length first, in beat order";
  EXPECT_EQ(trend->FindNextLongerNN(100, 2), 1);
  EXPECT_EQ(trend->FindNextLongerNN(120, 1), 4);
  EXPECT_EQ(trend->FindNextLongerNN(120, 4), -1);
  EXPECT_EQ(trend->FindNextLongerNN(500, -1), -1);
  // A change of direction starts the visited list again.
  EXPECT_EQ(trend->FindNextShorterNN(120, 4), 1);
  EXPECT_EQ(trend->FindNextShorterNN(120, 1), 4);
  EXPECT_EQ(trend->FindNextShorterNN(120, 4), 0);
  EXPECT_EQ(trend->FindNextShorterNN(100, 0), 2);
  EXPECT_EQ(trend->FindNextShorterNN(100, 2), 3);
  EXPECT_EQ(trend->FindNextShorterNN(50, -1), -1);
}

TEST_F(HeartRateTrend, ExtremesPassDrivesTheDetectors) {
  FakeHooks hooks;
  doc_->SetAnalysisHooks(&hooks);
  Beats(std::vector<int32_t>(8, 100));  // 9 beats: the pass looks at beats 0 .. 3
  doc_->GetSettings().SetInt(SettingKey::kAnalyzeAbsArrhythmiaOn, 1);
  auto trend = Trend();
  trend->ComputeExtremes(true, true);
  EXPECT_EQ(hooks.log,
            (std::vector<std::string>{"R0:75", "A0", "R1:75", "A1", "R2:75", "A2", "R3:75", "A3", "A4!"}));

  // With the switch off only R-on-T is checked.
  hooks.log.clear();
  doc_->GetSettings().SetInt(SettingKey::kAnalyzeAbsArrhythmiaOn, 0);
  Trend()->ComputeExtremes(true, true);
  EXPECT_EQ(hooks.log, (std::vector<std::string>{"R0:75", "R1:75", "R2:75", "R3:75"}));

  // No detection asked: no detectors.
  hooks.created = 0;
  Trend()->ComputeExtremes(false, false);
  EXPECT_EQ(hooks.created, 0);
  doc_->SetAnalysisHooks(nullptr);
}

TEST_F(HeartRateTrend, RecalcRemovesOldDetectionsOnlyWhenItCanFindThemAgain) {
  Beats(std::vector<int32_t>(20, 100));
  doc_->GetEventList().Append(TEvent(300, 300, kClassRonT));
  doc_->GetEventList().Append(TEvent(400, 900, kClassArrhythmia));

  doc_->RecalcHeartRateExtremes(1, 1, 1);
  EXPECT_EQ(doc_->GetEventList().GetSize(), 2) << "without the analysis the events stay";

  FakeHooks hooks;
  doc_->SetAnalysisHooks(&hooks);
  doc_->RecalcHeartRateExtremes(1, 0, 1);
  EXPECT_EQ(doc_->GetEventList().GetCounter(kClassRonT), 0);
  EXPECT_EQ(doc_->GetEventList().GetCounter(kClassArrhythmia), 1);
  EXPECT_EQ(doc_->GetHRMinValue(), 75);
  doc_->SetAnalysisHooks(nullptr);
}

}  // namespace
