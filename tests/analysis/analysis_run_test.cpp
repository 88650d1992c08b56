#include "analysis/analysis_run.h"

#include <future>

#include "analysis/analysis_progress.h"
#include "analysis/vra_api.h"
#include "analysis/vra_interface.h"
#include "document/record_format.h"
#include "fake_vra_library.h"
#include "platform/ids.h"
#include "run_test_support.h"

namespace {

using analysis::kResultCancelled;
using analysis::kResultFailed;
using analysis::kResultFinished;
using analysis_test::AnalysisRunFixture;
using analysis_test::FakeVraScript;
using analysis_test::RhythmScript;

// Six minutes at 75 bpm with a premature ventricular beat (coupling 480 ms, compensatory pause)
// every 40 beats after the first minute, every third of them a couplet.
RhythmScript SixMinutesWithVes() {
  RhythmScript s;
  s.NormalUntil(7500, 100);
  for (int k = 0; s.Position(s.Count() - 1) < 6 * 7500 - 400; ++k) {
    s.Normal(38, 100);
    s.Beat(60, true);
    if (k % 3 == 2) s.Beat(60, true);
    s.Beat(140);
  }
  return s;
}

// What a run must leave alone when it does not finish.
struct Snapshot {
  explicit Snapshot(CZK470Doc& doc)
      : beats(doc.GetQRSList().Elements().begin(), doc.GetQRSList().Elements().end()),
        events(doc.GetEventList().Elements().begin(), doc.GetEventList().Elements().end()),
        record(doc.GetRecordingData()),
        modified(doc.IsModified()) {}
  std::vector<TQRSComplex> beats;
  std::vector<TEvent> events;
  TRecordingData record;
  bool modified;
};

void ExpectUnchanged(CZK470Doc& doc, const Snapshot& before) {
  const auto beats = doc.GetQRSList().Elements();
  EXPECT_TRUE(std::equal(beats.begin(), beats.end(), before.beats.begin(), before.beats.end()));
  const auto events = doc.GetEventList().Elements();
  EXPECT_TRUE(std::equal(events.begin(), events.end(), before.events.begin(), before.events.end()));
  EXPECT_TRUE(doc.GetRecordingData() == before.record);
  EXPECT_EQ(doc.IsModified(), before.modified);
}

void ExpectEngineListsEmpty(CZK470Doc& doc) {
  EXPECT_EQ(doc.GetEngineQRSList().GetSize(), 0);
  for (int family = 0; family < CZK470Doc::kEngineFamilies; ++family)
    for (const TTemplateList& list : doc.GetEngineTemplates(family)) ASSERT_EQ(list.GetSize(), 0);
  EXPECT_EQ(doc.GetSpecialNormalClass(), -1);
}

class AnalysisRunTest : public AnalysisRunFixture {};

TEST_F(AnalysisRunTest, FirstAnalysisIsSavedASecondIsNot) {
  const std::string path = Open(SixMinutesWithVes(), 6);
  ASSERT_EQ(Doc().GetRecordingData().pause_threshold, -1);

  const size_t posted = host_.posted.size();
  EXPECT_EQ(run_->Run(Doc(), 1), kResultFinished);
  EXPECT_EQ(dialogs_.progress_templates, (std::vector<int>{154}));
  EXPECT_EQ(dialogs_.wait_dialogs, (std::vector<std::string>{"TRhythmDetectionDlg", "TSVTemplateRebuildDlg"}));
  EXPECT_EQ(host_.saves, 1);
  EXPECT_FALSE(Doc().IsModified());
  const TRecordingData& record = Doc().GetRecordingData();
  EXPECT_NE(record.pause_threshold, -1);
  EXPECT_EQ(record.analysing_program, "ZK-470 2.04");
  EXPECT_EQ(record.analysis_engine, "Olvek 1.78");
  EXPECT_EQ(record.analysis_time, document::ToOleDateTime(clock_.Now()));
  EXPECT_GT(Doc().GetQRSList().GetCounter(kClassNormal), 400);
  EXPECT_GT(Doc().GetQRSList().GetCounter(kClassVES), 5);
  ExpectEngineListsEmpty(Doc());
  ASSERT_EQ(host_.posted.size(), posted + 1);
  EXPECT_EQ(host_.posted.back(), analysis::AnalysisRun::kStatusRefreshMessage);
  EXPECT_NE(std::find(hints_.hints.begin(), hints_.hints.end(), hint::kDocumentChanged), hints_.hints.end());
  EXPECT_EQ(host_.batch_file_result, 0);
  EXPECT_EQ(run_->IsAnalysisAborted(), 0);

  // What was saved is the analysis.
  {
    const std::vector<uint8_t> bytes = platform::ReadFileBytes(path);
    platform::ArchiveReader ar(bytes, path);
    TPatientData patient(clock_);
    patient.Load(ar);
    TRecordingData saved(clock_);
    saved.Load(ar);
    TQRSList saved_beats;
    saved_beats.Load(ar);
    EXPECT_EQ(saved.analysis_engine, "Olvek 1.78");
    EXPECT_TRUE(saved_beats == Doc().GetQRSList());
  }

  // A second analysis of the same recording is not saved by itself.
  EXPECT_EQ(run_->Run(Doc(), 1), kResultFinished);
  EXPECT_EQ(host_.saves, 1);
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(AnalysisRunTest, CancelAtMinuteThreeLeavesThePreviousAnalysisUntouched) {
  Open(SixMinutesWithVes(), 6);
  ASSERT_EQ(run_->Run(Doc(), 1), kResultFinished);
  ASSERT_GT(Doc().GetEventList().GetSize(), 0);
  const Snapshot before(Doc());
  const int saves = host_.saves;

  gate_minute_ = 3;
  dialogs_.progress_script = [this](analysis::AnalysisProgress& progress) {
    progress.Start([] {});
    gate_->WaitReached();
    const analysis::AnalysisProgress::Display shown = progress.OnTimer();
    EXPECT_EQ(shown.minute, 3);
    EXPECT_TRUE(shown.cancel_enabled);
    // Cancel returns only once the engine has stopped.
    EXPECT_TRUE(progress.OnCancel());
    EXPECT_FALSE(engine_.IsRunning());
    return progress.GetResult();
  };
  EXPECT_EQ(run_->Run(Doc(), 1), kResultCancelled);
  ExpectUnchanged(Doc(), before);
  ExpectEngineListsEmpty(Doc());
  EXPECT_EQ(host_.saves, saves);
  EXPECT_EQ(host_.batch_file_result, 1);
  EXPECT_EQ(run_->IsAnalysisAborted(), 1);
  EXPECT_TRUE(Doc().GetInfoList().Positions(1).empty());
}

TEST_F(AnalysisRunTest, ClosingTheProgressWindowIsCancelNotSuccess) {
  Open(SixMinutesWithVes(), 6);
  const Snapshot before(Doc());
  gate_minute_ = 0;
  dialogs_.progress_script = [this](analysis::AnalysisProgress& progress) {
    progress.Start([] {});
    gate_->WaitReached();
    // The close request of the window comes through the same door as Cancel.
    EXPECT_TRUE(progress.OnCancel());
    EXPECT_FALSE(progress.OnCancel());
    return progress.GetResult();
  };
  EXPECT_EQ(run_->Run(Doc(), 1), kResultCancelled);
  ExpectUnchanged(Doc(), before);
  EXPECT_EQ(Doc().GetRecordingData().pause_threshold, -1);
  EXPECT_EQ(host_.saves, 0);
}

class LibraryRunTest : public AnalysisRunTest {
 protected:
  void SetUp() override {
    AnalysisRunTest::SetUp();
    ASSERT_TRUE(script_.Ready());
    Doc().GetSettings().SetInt(SettingKey::kUserAnalyzeModus, 1);
    analysis::AnalysisRun::Services services;
    services.dialogs = &dialogs_;
    services.library = &library_;
    services.library_version_text = [] { return std::string("1.23.4."); };
    run_ = std::make_unique<analysis::AnalysisRun>(std::move(services));
    Doc().SetAnalysisHooks(run_.get());
  }
  // Every 800 ms a normal beat, the beats named VES or SVES by index.
  void ScriptBeats(int minutes, std::vector<int> ves, std::vector<int> sves) {
    for (int i = 0;; ++i) {
      const int32_t ms = 480 + i * 800;
      if (ms >= minutes * 60000) break;
      uint16_t type = 0;
      if (std::find(ves.begin(), ves.end(), i) != ves.end()) type = 2;
      if (std::find(sves.begin(), sves.end(), i) != sves.end()) type = 3;
      script_.AddBeat(ms / 60000, ms, type, 0);
    }
  }

  FakeVraScript script_;
  CVRAInterface library_{FAKE_VRA_PATH};
};

TEST_F(LibraryRunTest, LibraryBeatsBecomeTheAnalysis) {
  Open(SixMinutesWithVes(), 4);
  ScriptBeats(4, {100, 101}, {150});
  EXPECT_EQ(run_->Run(Doc(), 1), kResultFinished);
  EXPECT_EQ(dialogs_.progress_templates, (std::vector<int>{30750}));
  // No supraventricular template rebuild with the library: it files its SVES beats itself.
  EXPECT_EQ(dialogs_.wait_dialogs, (std::vector<std::string>{"TRhythmDetectionDlg"}));
  EXPECT_EQ(Doc().GetQRSList().GetSize(), 300);
  EXPECT_EQ(Doc().GetQRSList().GetCounter(kClassVES), 2);
  EXPECT_EQ(Doc().GetRecordingData().analysis_engine, "VRA 1.23.4.");
  const int32_t v = Doc().GetQRSList().ElementAt(100)->GetPosition();
  bool couplet = false;
  for (const TEvent& e : Doc().GetEventList().Elements())
    couplet = couplet || (e.GetClass() == kClassVCouplet && e.GetPosition() == v);
  EXPECT_TRUE(couplet);
  EXPECT_NE(script_.LeadSum(1), 0);
  EXPECT_NE(script_.LeadSum(2), 0);
  ExpectEngineListsEmpty(Doc());
  EXPECT_EQ(host_.saves, 1);
}

TEST_F(LibraryRunTest, CancelledLibraryRunChangesNothing) {
  Open(SixMinutesWithVes(), 4);
  ScriptBeats(4, {}, {});
  const Snapshot before(Doc());
  dialogs_.progress_script = [this](analysis::AnalysisProgress& progress) {
    std::promise<void> ended;
    struct Gate {
      std::promise<void> reached;
      std::promise<void> release;
      std::shared_future<void> released = release.get_future().share();
      static void Hook(int minute, void* context) {
        auto* gate = static_cast<Gate*>(context);
        if (minute != 2) return;
        gate->reached.set_value();
        gate->released.wait();
      }
    } gate;
    script_.SetAnalyseHook(&Gate::Hook, &gate);
    progress.Start([&ended] { ended.set_value(); });
    gate.reached.get_future().wait();
    EXPECT_FALSE(progress.OnCancel());
    gate.release.set_value();
    ended.get_future().wait();
    const int result = progress.OnEndMessage();
    script_.SetAnalyseHook(nullptr, nullptr);
    return result;
  };
  EXPECT_EQ(run_->Run(Doc(), 1), kResultCancelled);
  ExpectUnchanged(Doc(), before);
  ExpectEngineListsEmpty(Doc());
  EXPECT_EQ(script_.CallCount("Analyse"), 3);
  EXPECT_EQ(script_.CallCount("CloseInterface"), 1);
}

TEST_F(LibraryRunTest, MissingLibraryIsToldAndChangesNothing) {
  Open(SixMinutesWithVes(), 2);
  const Snapshot before(Doc());
  library_.SetLibraryName("libZK470NoSuchAnalysisLibrary.so");
  EXPECT_EQ(run_->Run(Doc(), 1), kResultFailed);
  ExpectUnchanged(Doc(), before);
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(prompt_.Log()[0].caption, "Error");
  EXPECT_NE(prompt_.Log()[0].text.find("Can't find libZK470NoSuchAnalysisLibrary.so"), std::string::npos);
  EXPECT_EQ(host_.batch_file_result, 1);
  EXPECT_EQ(run_->IsAnalysisAborted(), 1);
}

TEST_F(AnalysisRunTest, PlantedEctopyIsFoundWithKindAndPlace) {
  RhythmScript s;
  s.NormalUntil(2 * 7500 + 5000, 100);
  const int couplet = s.Count();
  s.Beat(60, true);
  s.Beat(60, true);
  s.Beat(160);
  s.Normal(40, 100);
  const int run = s.Count();
  for (int i = 0; i < 5; ++i) s.Beat(60, true);
  s.Beat(160);
  s.Normal(40, 100);
  const int bigeminy = s.Count();
  for (int i = 0; i < 4; ++i) {
    s.Beat(60, true);
    s.Beat(140);
  }
  s.Normal(40, 100);
  const int pause = s.Count() - 1;
  s.Beat(375);  // three seconds
  s.Normal(40, 100);
  const int tachycardia = s.Count();
  s.Ramp(20, 100, 50);
  s.Normal(80, 50);
  s.Ramp(20, 50, 100);
  s.NormalUntil(10 * 7500 - 200, 100);
  Open(s, 10);

  ASSERT_EQ(run_->Run(Doc(), 1), kResultFinished);
  struct Want {
    const char* name;
    int kind;
    int32_t start;
    int32_t end;
  };
  const Want wants[] = {
      {"couplet", kClassVCouplet, s.Position(couplet), s.Position(couplet + 1)},
      {"run of five", kClassVTachycardia, s.Position(run), s.Position(run + 4)},
      {"bigeminy", kClassVBigeminy, s.Position(bigeminy), s.Position(bigeminy + 7)},
      {"pause", kClassPause, s.Position(pause), s.Position(pause + 1)},
  };
  // Beat positions may differ from the planted R peaks by a few samples.
  constexpr int32_t kTolerance = 6;
  for (const Want& w : wants) {
    SCOPED_TRACE(w.name);
    std::vector<TEvent> found;
    for (const TEvent& e : Doc().GetEventList().Elements())
      if (e.GetClass() == w.kind) found.push_back(e);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NEAR(found[0].GetPosition(), w.start, kTolerance);
    EXPECT_NEAR(found[0].GetEnd(), w.end, kTolerance);
  }
  std::vector<TEvent> tachy;
  for (const TEvent& e : Doc().GetEventList().Elements())
    if (e.GetClass() == kClassTachycardia) tachy.push_back(e);
  ASSERT_EQ(tachy.size(), 1u);
  // The episode covers the 150 bpm plateau and lies within the ramps around it.
  EXPECT_GE(tachy[0].GetPosition(), s.Position(tachycardia));
  EXPECT_LE(tachy[0].GetPosition(), s.Position(tachycardia + 20));
  EXPECT_GE(tachy[0].GetEnd(), s.Position(tachycardia + 100));
  EXPECT_LE(tachy[0].GetEnd(), s.Position(tachycardia + 120));
  for (int kind : {kClassVTriplet, kClassVTrigeminy, kClassBradycardia, kClassRonT, kClassSVCouplet, kClassSVTachycardia})
    EXPECT_EQ(Doc().GetEventList().GetCounter(kind), 0) << "kind " << kind;
  EXPECT_EQ(Doc().GetQRSList().GetCounter(kClassVES), 2 + 5 + 4);
}

TEST_F(AnalysisRunTest, RecomputeEventsAfterAnEdit) {
  Open(SixMinutesWithVes(), 6);
  ASSERT_EQ(run_->Run(Doc(), 1), kResultFinished);
  TQRSList& beats = Doc().GetQRSList();
  // Two VES in a row by hand: the recomputation finds the couplet.
  int v = -1;
  for (int i = 0; i < beats.GetSize() && v < 0; ++i)
    if (beats.ElementAt(i)->GetClass() == kClassVES) v = i;
  ASSERT_GT(v, 0);
  beats.SetClass(v + 1, kClassVES);
  Doc().SetDerivedDataValid(0);
  hints_.hints.clear();
  Doc().EnsureAnalysisUpToDate();
  EXPECT_EQ(Doc().GetDerivedDataValid(), 1);
  bool couplet = false;
  for (const TEvent& e : Doc().GetEventList().Elements())
    couplet = couplet || (e.GetClass() == kClassVCouplet && e.GetPosition() == beats.ElementAt(v)->GetPosition());
  EXPECT_TRUE(couplet);
  EXPECT_EQ(hints_.hints, (std::vector<int>{hint::kDocumentChanged}));
  EXPECT_EQ(run_->IsCommandEnabled(Doc(), cmd::kRecomputeEvents), std::optional<bool>(true));
}

}  // namespace
