#include "analysis/pacemaker/pm_analysis.h"

#include <utility>
#include <vector>

#include "analysis_test_support.h"
#include "platform/ids.h"

namespace {

using analysis_test::AnalysisDocTest;

// A spike filed into a pacemaker class: (class, sample position).
using Filed = std::pair<int, int32_t>;

constexpr int kSpike = TPMAnalysis::kSpikeKind;
constexpr int kOtherKind = 5;

class PMAnalysisTest : public AnalysisDocTest {
 protected:
  TRecordingData& Record() { return Doc().GetRecordingData(); }

  void SetEvents(const std::vector<std::pair<int32_t, int>>& events) {
    Events().RemoveAll();
    for (const auto& [start, kind] : events)
      Events().Append(TEvent(start, start, static_cast<uint8_t>(kind)));
  }
  void SetSpikes(const std::vector<int32_t>& spikes) {
    std::vector<std::pair<int32_t, int>> events;
    for (int32_t s : spikes) events.emplace_back(s, kSpike);
    SetEvents(events);
  }
  std::vector<Filed> FiledSpikes() {
    std::vector<Filed> out;
    for (int c = 0; c < TRecordingData::kPMClasses; ++c)
      for (const TPMTemplate& t : Record().pm_classes[static_cast<size_t>(c)].Elements())
        out.emplace_back(c, t.GetPosition());
    return out;
  }
};

// Beats every 100 samples (800 ms at 125 Hz) from 1000 to 1500: 0.35 of the average RR is 35
// samples, 0.15 r is 18.75, 0.35 r 43.75. A single spike is also the last event of its list.
struct SituationCase {
  const char* name;
  std::vector<std::pair<int32_t, int>> events;
  const char* labels;
  std::vector<Filed> filed;
};

TEST_F(PMAnalysisTest, ClassifiesEachPacingSituation) {
  const std::vector<SituationCase> cases = {
      {"spike just before the beat", {{1296, kSpike}}, "NNNPNN", {{5, 1296}}},
      {"18 samples before: early", {{1282, kSpike}}, "NNNPNN", {{5, 1282}}},
      {"19 samples before: paced", {{1281, kSpike}}, "NNNPNN", {{2, 1281}}},
      {"43 samples before: paced", {{1257, kSpike}}, "NNNPNN", {{2, 1257}}},
      {"44 samples before: not paced", {{1256, kSpike}}, "NNNNNN", {{12, 1256}}},
      {"paced with a spike after the beat", {{1260, kSpike}, {1320, kSpike}}, "NNNPNN", {{7, 1260}}},
      {"follower beyond 0.35 RR", {{1260, kSpike}, {1340, kSpike}}, "NNNPNN", {{2, 1260}, {14, 1340}}},
      {"two spikes then the beat", {{1260, kSpike}, {1280, kSpike}}, "NNNPNN", {{0, 1260}}},
      {"pair with another event between",
       {{1260, kSpike}, {1270, kOtherKind}, {1280, kSpike}},
       "NNNPNN",
       {{0, 1260}}},
      {"pair too close", {{1250, kSpike}, {1256, kSpike}}, "NNNNNN", {{14, 1250}, {14, 1256}}},
      {"spike shortly after a beat", {{1220, kSpike}}, "NNPNNN", {{10, 1220}}},
      {"spike after the last beat", {{1600, kSpike}}, "NNNNNN", {{14, 1600}}},
      {"spike on the first beat", {{1000, kSpike}}, "PNNNNN", {{5, 1000}}},
      {"no spike", {{1260, kOtherKind}}, "NNNNNN", {}},
  };
  for (const SituationCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats("NNNNNN", 100);
    SetEvents(c.events);
    TPMAnalysis(Doc()).AnalyzeAll();
    EXPECT_EQ(ClassLetters(), c.labels);
    EXPECT_EQ(FiledSpikes(), c.filed);
  }
}

TEST_F(PMAnalysisTest, AverageRRTakesUpToEightSimilarIntervalsNearestFirst) {
  struct Case {
    const char* name;
    std::vector<int32_t> rr;  // into each beat; the spike falls 5 samples before the last beat
    double average;
  };
  const std::vector<Case> cases = {
      {"wildly different: the nearest only", {0, 100, 200, 60, 150}, 150.0},
      {"similar intervals", {0, 100, 110, 95, 100}, (100 + 95 + 110 + 100) / 4.0},
      {"at most eight", {0, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 130}, (130 + 7 * 100) / 8.0},
      {"a stray interval is passed over", {0, 100, 100, 40, 100}, 100.0},
      {"no interval before the first beat", {0}, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats(std::string(c.rr.size(), 'N'), c.rr);
    SetSpikes({Pos(Beats().GetSize() - 1) - 5});
    TPMAnalysis analysis(Doc());
    analysis.AnalyzeAll();
    EXPECT_DOUBLE_EQ(analysis.GetAverageRR(), c.average);
  }
}

TEST_F(PMAnalysisTest, EmptyListsOnlyEmptyThePacemakerClasses) {
  for (const bool without_beats : {true, false}) {
    SCOPED_TRACE(without_beats ? "no beats" : "no events");
    SetBeats("NNPN", 100);
    SetEvents({});
    if (without_beats) {
      Beats().RemoveAll();
      SetSpikes({1200});
    }
    Record().pm_classes[3].Append(TPMTemplate(77));
    Record().pm_classes[20].Append(TPMTemplate(78));
    Doc().GetEngineTemplates(CZK470Doc::kEngineFamilyNormal)[0].Append(2);
    TPMAnalysis(Doc()).AnalyzeAll();
    EXPECT_TRUE(FiledSpikes().empty());
    EXPECT_EQ(Doc().GetEngineTemplates(CZK470Doc::kEngineFamilyNormal)[0].GetSize(), 1);
    Doc().GetEngineTemplates(CZK470Doc::kEngineFamilyNormal)[0].RemoveAll();
  }
}

TEST_F(PMAnalysisTest, PacedBeatsLeaveTheTemplateClassesEvenWithoutSpikes) {
  SetBeats("NNPNP", 100);
  SetEvents({{1250, kOtherKind}});
  auto& engine_normal = Doc().GetEngineTemplates(CZK470Doc::kEngineFamilyNormal);
  engine_normal[0].Append(0);
  engine_normal[0].Append(2);
  engine_normal[0].Append(4);
  engine_normal[1].Append(1);
  Record().normal_classes[0].Append(2);  // the recording record's classes are left alone
  TPMAnalysis(Doc()).AnalyzeAll();
  ASSERT_EQ(engine_normal[0].GetSize(), 1);
  EXPECT_EQ(engine_normal[0].GetAt(0).GetBeatIndex(), 0);
  EXPECT_EQ(engine_normal[1].GetSize(), 1);
  EXPECT_EQ(Record().normal_classes[0].GetSize(), 1);
}

TEST_F(PMAnalysisTest, TemplateReviewKeepsItsClassesInPlace) {
  for (const DisplayMode mode : {DisplayMode::kTemplateBeats, DisplayMode::kTemplateClasses}) {
    SCOPED_TRACE(static_cast<int>(mode));
    SetBeats("NNNNNN", 100);
    SetSpikes({1296});
    for (auto& list : Record().normal_classes) list.RemoveAll();
    Record().normal_classes[2].Append(0);
    Doc().SetDisplayMode(mode);
    TPMAnalysis(Doc()).AnalyzeAll();
    const bool tidied = mode != DisplayMode::kTemplateBeats;
    EXPECT_EQ(Record().normal_classes[0].GetSize(), tidied ? 1 : 0);
    EXPECT_EQ(Record().normal_classes[2].GetSize(), tidied ? 0 : 1);
  }
}

TEST_F(PMAnalysisTest, ReanalysisFilesEverySpikeOnceWhateverClassItWasIn) {
  struct Case {
    const char* name;
    int previous_class;  // where the spike at event 0 was
    std::vector<Filed> filed;
  };
  // Event 0 (1296) lies before beat 3; event 1 (1460) 40 samples before beat 5.
  const std::vector<Case> cases = {
      // Filed by the analysis before: re-analysed from event 0.
      {"analysed class", 14, {{2, 1460}, {5, 1296}}},
      // Moved by hand into a class of its own: kept there, the range starts after it.
      {"user's class", 20, {{2, 1460}, {20, 1296}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats("NNNNNN", 100);
    SetSpikes({1296, 1460});
    for (auto& list : Record().pm_classes) list.RemoveAll();
    Record().pm_classes[static_cast<size_t>(c.previous_class)].Append(TPMTemplate(1296));
    // The later spike was put by hand into two classes above the analysed ones.
    Record().pm_classes[30].Append(TPMTemplate(1460));
    Record().pm_classes[49].Append(TPMTemplate(1460));
    Record().pm_current[30] = 0;
    Record().pm_current[49] = 3;
    TPMAnalysis(Doc()).ReanalyzeAround(0, 2);
    EXPECT_EQ(FiledSpikes(), c.filed);
    EXPECT_EQ(Record().pm_current[49], 0);
  }
}

TEST_F(PMAnalysisTest, ReanalysisLeavesPassedOverSpikesWhereTheyWere) {
  SetBeats("NNNNNN", 100);
  SetSpikes({1260, 1320});
  Record().pm_classes[14].Append(TPMTemplate(1260));
  Record().pm_classes[25].Append(TPMTemplate(1320));
  TPMAnalysis(Doc()).ReanalyzeAround(0, 2);
  EXPECT_EQ(ClassLetters(), "NNNPNN");
  EXPECT_EQ(FiledSpikes(), (std::vector<Filed>{{7, 1260}, {25, 1320}}));
}

TEST_F(PMAnalysisTest, RunPacemakerAnalysisStartsFromEmptyClasses) {
  SetBeats("NNNNNN", 100);
  SetSpikes({1296});
  Record().pm_classes[5].Append(TPMTemplate(1296));
  Record().pm_classes[40].Append(TPMTemplate(999));
  analysis::RunPacemakerAnalysis(Doc());
  EXPECT_EQ(FiledSpikes(), (std::vector<Filed>{{5, 1296}}));
}

}  // namespace
