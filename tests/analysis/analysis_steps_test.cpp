#include "analysis/analysis_steps.h"

#include "analysis_test_support.h"
#include "document/record_format.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

std::vector<int32_t> Members(const TTemplateList& list) {
  std::vector<int32_t> out;
  for (const TTemplate& t : list.Elements()) out.push_back(t.GetBeatIndex());
  return out;
}

void Fill(TTemplateList& list, std::initializer_list<int32_t> beats) {
  list.RemoveAll();
  for (int32_t b : beats) list.Append(b);
}

class AnalysisStepsTest : public AnalysisDocTest {
 protected:
  TRecordingData& Record() { return Doc().GetRecordingData(); }
  TZK130InfoList& Info() { return Doc().GetInfoList(); }
  CZK470Doc::EngineTemplateFamily& Working(int family) { return Doc().GetEngineTemplates(family); }
};

TEST_F(AnalysisStepsTest, EventsFromTheRecorderMarkers) {
  SetRecordingMinutes(10);
  struct Case {
    const char* name;
    int pacemaker_recording;
    std::vector<std::pair<int, int32_t>> markers;  // kind, position
    std::vector<Ev> want;
  };
  const Case cases[] = {
      // Reported out of order, they still go into the list in start order.
      {"patient markers", 0, {{0, 300}, {0, 100}}, {{kClassMarker, 100, 100}, {kClassMarker, 300, 300}}},
      {"pacemaker spikes only in a pacemaker recording", 0, {{2, 50}}, {}},
      {"pacemaker spike first on an equal position", 1, {{0, 50}, {2, 50}},
       {{kClassPaceMaker, 50, 50}, {kClassMarker, 50, 50}}},
      {"recorder minutes exactly 60 s apart join", 0, {{4, 1000}, {4, 8500}},
       {{kClassRecorderMinute, 1000, 16000}}},
      {"61 s apart stay two", 0, {{4, 1000}, {4, 8625}},
       {{kClassRecorderMinute, 1000, 8500}, {kClassRecorderMinute, 8625, 16125}}},
      {"battery-off segments of 30 s", 0, {{5, 100}, {5, 3850}, {5, 9000}},
       {{kClassBattOff, 100, 7600}, {kClassBattOff, 9000, 12750}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Events().RemoveAll();
    Record().pacemaker_recording = c.pacemaker_recording;
    for (const auto& [kind, position] : c.markers) Info().AddEntry(kind, position, 0);
    analysis::BuildEventsFromInfoList(Doc(), false);
    std::vector<Ev> got;
    for (const TEvent& e : Events().Elements()) got.push_back({e.GetClass(), e.GetPosition(), e.GetEnd()});
    EXPECT_EQ(got, c.want);
    EXPECT_TRUE(Info().Positions(0).empty());
    EXPECT_TRUE(Info().Positions(4).empty());
  }
}

TEST_F(AnalysisStepsTest, LeadOffEpisodesAndStoredMarkers) {
  SetRecordingMinutes(2);
  Info().AddEntry(3, 700, 1);  // channel 1 opens and never closes
  Info().AddEntry(3, 100, 0);
  Info().AddEntry(3, 500, 0);
  Info().AddEntry(3, 700, 0);  // channel 0 opens again at the same start
  Info().AddEntry(1, 40, 0);
  Info().AddEntry(1, 90, 0);
  Record().recorder_markers = {5};
  analysis::BuildEventsFromInfoList(Doc(), false);
  EXPECT_EQ(Record().recorder_markers, (std::vector<int32_t>{5}));
  // Open episodes close at the end of the whole minutes; on equal starts channel 0 comes first.
  EXPECT_EQ(EventsOf({kClassLeadOff}),
            (std::vector<Ev>{{kClassLeadOff, 100, 500}, {kClassLeadOff, 700, 15000}, {kClassLeadOff, 700, 15000}}));

  Events().RemoveAll();
  Info().AddEntry(1, 40, 0);
  analysis::BuildEventsFromInfoList(Doc(), true);
  EXPECT_EQ(Record().recorder_markers, (std::vector<int32_t>{40}));
  EXPECT_TRUE(Info().Positions(1).empty());
}

TEST_F(AnalysisStepsTest, MarkerArtefactsLeaveTheEngineResult) {
  TQRSList& engine = Doc().GetEngineQRSList();
  const std::pair<int32_t, uint8_t> beats[] = {{100, kClassNormal}, {200, kClassNormal}, {300, kClassNormal},
                                               {330, kClassVES},    {500, kClassVES},    {600, kClassNormal}};
  for (const auto& [p, c] : beats) engine.Append(TQRSComplex(p, c));
  Fill(Working(CZK470Doc::kEngineFamilyNormal)[0], {0, 1, 2, 5});
  Fill(Working(CZK470Doc::kEngineFamilyVES)[0], {3, 4});
  Info().AddEntry(1, 120, 0);  // beat 1: too early to judge
  Info().AddEntry(1, 340, 0);  // the VES 30 samples after its neighbour goes
  Info().AddEntry(1, 505, 0);  // the VES 200 samples after its neighbour becomes an artefact
  analysis::RemoveMarkerArtefacts(Doc());
  std::vector<std::pair<int32_t, int>> got;
  for (const TQRSComplex& b : engine.Elements()) got.emplace_back(b.GetPosition(), b.GetClass());
  EXPECT_EQ(got, (std::vector<std::pair<int32_t, int>>{
                     {100, kClassNormal}, {200, kClassNormal}, {300, kClassNormal}, {500, kClassArtefact}, {600, kClassNormal}}));
  EXPECT_EQ(Members(Working(CZK470Doc::kEngineFamilyNormal)[0]), (std::vector<int32_t>{0, 1, 2, 4}));
  EXPECT_TRUE(Members(Working(CZK470Doc::kEngineFamilyVES)[0]).empty());
  EXPECT_EQ(Members(Working(CZK470Doc::kEngineFamilyArtefact)[0]), (std::vector<int32_t>{3}));
}

TEST_F(AnalysisStepsTest, TakeOverBeatsAndArtefactClass) {
  TQRSList& engine = Doc().GetEngineQRSList();
  for (uint8_t c : {kClassNormal, kClassNormal, kClassVES, kClassNormal}) engine.Append(TQRSComplex(100 * engine.GetSize(), c));
  SetBeats("NNNNNNNN", 50);
  analysis::TakeOverEngineBeats(Doc());
  EXPECT_TRUE(Beats() == engine);
  EXPECT_EQ(Beats().GetCounter(kClassVES), 1);
  Fill(Working(CZK470Doc::kEngineFamilyArtefact)[0], {1, 2, 9});
  analysis::MarkArtefactClassBeats(Doc());
  EXPECT_EQ(ClassLetters(), "NAVN");
}

TEST_F(AnalysisStepsTest, TemplateClassesStayWithinThreeHundred) {
  // Stale classes of an earlier analysis at 298 and 299; the engine uses classes up to 500.
  Fill(Record().ves_classes[298], {77});
  Fill(Record().ves_classes[299], {78});
  for (int c : {0, 1, 297, 298, 299, 500}) Fill(Working(CZK470Doc::kEngineFamilyVES)[static_cast<size_t>(c)], {c});
  Fill(Working(CZK470Doc::kEngineFamilyNormal)[0], {1000});
  Fill(Working(CZK470Doc::kEngineFamilyNormal)[1], {1001});
  Fill(Working(CZK470Doc::kEngineFamilySVES)[0], {2000});
  Record().ves_current[5] = 3;
  Doc().SetSpecialNormalClass(1);
  analysis::CopyWorkingTemplateClasses(Doc(), 0);
  EXPECT_EQ(Members(Record().ves_classes[297]), (std::vector<int32_t>{297}));
  EXPECT_EQ(Record().ves_classes[298].GetSize(), 0);
  EXPECT_EQ(Record().ves_classes[299].GetSize(), 0);
  EXPECT_EQ(Record().ves_current[5], 0);
  EXPECT_EQ(Record().sves_classes[0].GetSize(), 0);  // SVES only with the external library

  analysis::AssignSpecialTemplateClasses(Doc());
  EXPECT_EQ(Record().ves_special, (std::array<int32_t, 2>{298, 299}));
  EXPECT_EQ(Members(Record().ves_classes[299]), (std::vector<int32_t>{298, 299, 500}));
  EXPECT_EQ(Record().normal_special, (std::array<int32_t, 2>{1, 2}));
  EXPECT_EQ(Record().sves_special, (std::array<int32_t, 2>{0, 1}));

  // An engine special class beyond the copied ones is none; SVES keeps a first special class.
  Doc().SetSpecialNormalClass(500);
  Record().sves_special = {7, -1};
  analysis::AssignSpecialTemplateClasses(Doc());
  EXPECT_EQ(Record().normal_special, (std::array<int32_t, 2>{2, 3}));
  EXPECT_EQ(Record().sves_special, (std::array<int32_t, 2>{7, 0}));

  analysis::CopyWorkingTemplateClasses(Doc(), 1);
  EXPECT_EQ(Members(Record().sves_classes[0]), (std::vector<int32_t>{2000}));
}

TEST_F(AnalysisStepsTest, ReduceKeepsTheFirstClassesAndMergesTheRest) {
  for (int c = 0; c <= 30; ++c) Fill(Record().ves_classes[static_cast<size_t>(c)], {c});
  Record().ves_special = {20, 21};
  for (int32_t& member : Record().ves_current) member = 0;
  Record().ves_current[21] = 0;
  Record().ves_current[25] = 1;
  analysis::ReduceTemplateClasses(Doc(), 5);
  std::vector<int32_t> merged{21};
  for (int c = 5; c <= 19; ++c) merged.push_back(c);
  for (int c = 22; c <= 30; ++c) merged.push_back(c);
  EXPECT_EQ(Members(Record().ves_classes[21]), merged);
  for (int c : {0, 4, 20}) EXPECT_EQ(Members(Record().ves_classes[static_cast<size_t>(c)]), (std::vector<int32_t>{c}));
  for (int c : {5, 19, 22, 30}) EXPECT_EQ(Record().ves_classes[static_cast<size_t>(c)].GetSize(), 0);
  EXPECT_EQ(Record().ves_current[25], 0);

  // Special classes among the first ones do not count among those kept.
  for (int c = 0; c <= 10; ++c) Fill(Record().ves_classes[static_cast<size_t>(c)], {c});
  Record().ves_special = {1, 3};
  analysis::ReduceTemplateClasses(Doc(), 4);
  EXPECT_EQ(Members(Record().ves_classes[5]), (std::vector<int32_t>{5}));
  EXPECT_EQ(Record().ves_classes[6].GetSize(), 0);
}

TEST_F(AnalysisStepsTest, UnassignedVesBeatsJoinTheSecondSpecialClass) {
  SetBeats("NNVNNVNV", 100);
  Fill(Record().ves_classes[0], {2});
  Record().ves_special = {2, 3};
  analysis::CollectUnassignedVESBeats(Doc());
  EXPECT_EQ(Members(Record().ves_classes[3]), (std::vector<int32_t>{5, 7}));
}

TEST_F(AnalysisStepsTest, SvesBeatsMoveFromTheNormalClassesToTheirOwn) {
  SetBeats("NSNSSN", 100);
  Fill(Record().normal_classes[0], {0, 1, 2});
  Fill(Record().normal_classes[1], {3});
  Fill(Record().artefact_classes[0], {4, 5});
  Record().normal_special = {1, -1};
  Fill(Record().sves_classes[9], {9});  // from an earlier analysis
  analysis::RebuildSVESTemplateClasses(Doc());
  EXPECT_EQ(Members(Record().normal_classes[0]), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(Record().normal_classes[1].GetSize(), 0);  // the first special normal class stays, empty
  // SVES class 1 (3 and the artefact-class SVES 4) is the larger: sorted first; the first special
  // SVES class followed it.
  EXPECT_EQ(Members(Record().sves_classes[0]), (std::vector<int32_t>{3, 4}));
  EXPECT_EQ(Members(Record().sves_classes[1]), (std::vector<int32_t>{1}));
  EXPECT_EQ(Record().sves_special[0], 0);
  EXPECT_EQ(Record().sves_classes[9].GetSize(), 0);
  EXPECT_EQ(Members(Record().artefact_classes[0]), (std::vector<int32_t>{5}));
}

TEST_F(AnalysisStepsTest, AnalysisRecordOfTheRun) {
  Settings().SetInt(SettingKey::kAnalyzeTachycardia, 3);
  Settings().SetInt(SettingKey::kAnalyzePauseA, 4);
  Settings().SetInt(SettingKey::kAnalyzeBradycardia, 1);
  Settings().SetInt(SettingKey::kAnalyzeSVESPrematurity, 2);
  Settings().SetInt(SettingKey::kAnalyzeArrhyPrematurity, 5);
  Settings().SetInt(SettingKey::kAnalyzeArrhyDuration, 6);
  struct Case {
    int mode;
    int sv_on;
    int arrhythmia_on;
    const char* engine;
    int32_t sves;
    int32_t deviation;
    int32_t duration;
  };
  const Case cases[] = {{0, 1, 1, "Olvek 1.78", 2, 5, 6}, {1, 0, 1, "VRA 2.01", -1, 5, 6}, {2, 1, 0, "Error", 2, -1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Settings().SetInt(SettingKey::kAnalyzeSVAnalysisOn, c.sv_on);
    Settings().SetInt(SettingKey::kAnalyzeAbsArrhythmiaOn, c.arrhythmia_on);
    analysis::StoreAnalysisInfo(Doc(), c.mode, "2.01");
    const TRecordingData& r = Record();
    EXPECT_EQ(r.analysing_program, "ZK-470 2.04");
    EXPECT_EQ(r.analysis_engine, c.engine);
    EXPECT_EQ(r.analysis_time, document::ToOleDateTime(clock_.Now()));
    EXPECT_EQ(r.tachycardia_threshold, 3);
    EXPECT_EQ(r.pause_threshold, 4);
    EXPECT_EQ(r.bradycardia_threshold, 1);
    EXPECT_EQ(r.sves_analysis_on, c.sv_on);
    EXPECT_EQ(r.arrhythmia_analysis_on, c.arrhythmia_on);
    EXPECT_EQ(r.sves_prematurity, c.sves);
    EXPECT_EQ(r.arrhythmia_deviation, c.deviation);
    EXPECT_EQ(r.arrhythmia_min_duration, c.duration);
  }
}

TEST_F(AnalysisStepsTest, STPreparationAndTakeOver) {
  const int32_t st_channels[] = {0, 1};
  document::Context().g_STChannels.Assign(st_channels);
  Doc().GetSTResultData() = Record();
  int full = -1;
  EXPECT_EQ(analysis::PrepareSTAnalysis(Doc(), &full), 1);
  EXPECT_EQ(full, 1);  // never measured
  TRecordingData& st = Doc().GetSTResultData();
  EXPECT_DOUBLE_EQ(st.st_offset1, 0.056);
  EXPECT_DOUBLE_EQ(st.st_offset2, 0.056);
  EXPECT_DOUBLE_EQ(st.st_point_offset, Doc().GetSTPointOffset());
  EXPECT_EQ(st.st_point_distance, Doc().GetSTPointValue());
  // Measured with these values, both channels on: only the episodes are found again.
  st.st_channel_analysed = {Doc().IsSTTrendOn(0) ? 1 : 0, Doc().IsSTTrendOn(1) ? 1 : 0};
  Record().st_results_current = 1;
  EXPECT_EQ(analysis::PrepareSTAnalysis(Doc(), &full), 1);
  EXPECT_EQ(full, 0);

  SetBeats("NNNN", 100);
  Events().Append(TEvent(50, 60, kClassMarker));
  Events().Append(TEvent(120, 900, kClassSTEpisode1));
  Events().Append(TEvent(400, 400, kClassMarker));
  Doc().GetEngineEventList().Append(TEvent(300, 700, kClassSTEpisode1));
  Doc().GetEngineEventList().Append(TEvent(450, 800, kClassSTEpisode2));
  st.diagnosis = "from the ST run";
  Record().st_results_current = 0;
  analysis::TakeOverSTResults(Doc());
  EXPECT_EQ(Record().diagnosis, "from the ST run");
  EXPECT_EQ(Record().st_results_current, 1);
  EXPECT_EQ(EventsOf({kClassMarker, kClassSTEpisode1, kClassSTEpisode2}),
            (std::vector<Ev>{{kClassMarker, 50, 60},
                             {kClassSTEpisode1, 300, 700},
                             {kClassMarker, 400, 400},
                             {kClassSTEpisode2, 450, 800}}));
}

}  // namespace
