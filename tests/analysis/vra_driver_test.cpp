#include <condition_variable>
#include <future>
#include <mutex>

#include "analysis/analysis_progress.h"
#include "analysis/analysis_run.h"
#include "analysis/vra_analysis.h"
#include "analysis/vra_api.h"
#include "analysis/vra_interface.h"
#include "analysis_test_support.h"
#include "fake_vra_library.h"
#include "platform/io_error.h"

namespace {

using analysis::VraRunState;
using analysis_test::AnalysisDocTest;
using analysis_test::FakeVraScript;

// Holds the library inside Analyse of one minute until the test lets it go.
struct AnalyseGate {
  std::mutex mutex;
  std::condition_variable changed;
  int minute = -1;
  bool reached = false;
  bool released = false;

  static void Hook(int minute, void* context) {
    auto* gate = static_cast<AnalyseGate*>(context);
    std::unique_lock<std::mutex> lock(gate->mutex);
    if (minute != gate->minute) return;
    gate->reached = true;
    gate->changed.notify_all();
    gate->changed.wait(lock, [gate] { return gate->released; });
  }
  void WaitReached() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return reached; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex);
    released = true;
    changed.notify_all();
  }
};

class VraDriverTest : public AnalysisDocTest {
 protected:
  void SetUp() override { ASSERT_TRUE(script_.Ready()); }

  int32_t RunThread(VraRunState& state) { return analysis::VraAnalysisThread(Doc(), library_, state); }
  std::vector<std::pair<int32_t, int>> EngineBeats() {
    std::vector<std::pair<int32_t, int>> out;
    for (const TQRSComplex& b : Doc().GetEngineQRSList().Elements()) {
      EXPECT_EQ(b.GetPriorClass(), kPriorNeverEdited);
      out.emplace_back(b.GetPosition(), b.GetClass());
    }
    return out;
  }
  std::vector<int32_t> Working(int family, int template_class) {
    std::vector<int32_t> out;
    for (const TTemplate& t : Doc().GetEngineTemplates(family)[static_cast<size_t>(template_class)].Elements())
      out.push_back(t.GetBeatIndex());
    return out;
  }

  FakeVraScript script_;
  CVRAInterface library_{FAKE_VRA_PATH};
};

TEST_F(VraDriverTest, LoadingNamesWhatIsMissing) {
  CVRAInterface absent("libZK470NoSuchAnalysisLibrary.so");
  EXPECT_EQ(absent.Load(), CVRAInterface::kFailed);
  EXPECT_FALSE(absent.IsEntryPointMissing());
  EXPECT_NE(absent.GetLoadError().find("Can't find libZK470NoSuchAnalysisLibrary.so"), std::string::npos);

  CVRAInterface incomplete(FAKE_VRA_INCOMPLETE_PATH);
  EXPECT_EQ(incomplete.Load(), CVRAInterface::kFailed);
  EXPECT_TRUE(incomplete.IsEntryPointMissing());
  EXPECT_FALSE(incomplete.IsLoaded());
  EXPECT_EQ(incomplete.OpenInterface, nullptr);
  EXPECT_NE(incomplete.GetLoadError().find("Error getting functions from"), std::string::npos);
  EXPECT_NE(incomplete.GetLoadError().find("ResetAnalyse missing"), std::string::npos);

  EXPECT_EQ(library_.Load(), CVRAInterface::kOk);
  EXPECT_NE(library_.GetTemplatesP, nullptr);
  EXPECT_EQ(library_.Unload(), CVRAInterface::kOk);
  EXPECT_EQ(library_.SetLeadData, nullptr);
}

TEST_F(VraDriverTest, VersionText) {
  script_.SetVersion(0x01020304);
  EXPECT_EQ(analysis::FormatLibraryVersion(library_.ReadVersion()), "1.02.03.04");
  EXPECT_FALSE(library_.IsLoaded());
  EXPECT_EQ(analysis::FormatLibraryVersion(0x1234), "1.23.4.");
  EXPECT_THROW(CVRAInterface("libZK470NoSuchAnalysisLibrary.so").ReadVersion(), platform::IoError);
  EXPECT_THROW(CVRAInterface(FAKE_VRA_INCOMPLETE_PATH).ReadVersion(), platform::IoError);

  platform::MemoryProfileStore profile;
  EXPECT_EQ(CVRAInterface::LibraryNameFromProfile(profile), "libVRA.so");
  profile.WriteString("User", "VRA-Library", "/opt/vra/libVRA.so");
  EXPECT_EQ(CVRAInterface::LibraryNameFromProfile(profile), "/opt/vra/libVRA.so");
}

TEST_F(VraDriverTest, CompleteRunImportsBeatTypesAsTheTableSays) {
  SetRecordingMinutes(3);
  struct Record {
    int minute;
    int32_t time_ms;
    uint16_t type;
    uint16_t template_number;
  };
  const Record records[] = {
      {0, 1000, 0, 0},      // normal, normal family class 0
      {0, 2000, 2, 3},      // VES, VES family class 3
      {0, 3000, 3, 1},      // SVES, SVES family class 1
      {1, 61000, 4, 0},     // artefact, artefact family class 0
      {1, 62000, 5, 7},     // class 35, no template
      {1, 63000, 1, 0},     // ignored
      {1, 64000, 9, 0},     // ignored
      {1, 65000, 0, 1000},  // beyond the working lists: a beat without a template entry
      {2, 130004, 0, 2},    // 16250.5 samples, truncated
  };
  for (const Record& r : records) script_.AddBeat(r.minute, r.time_ms, r.type, r.template_number);

  VraRunState state;
  state.running.store(1);
  EXPECT_EQ(RunThread(state), analysis::kVraNoError);
  EXPECT_EQ(state.error.load(), 0);
  EXPECT_EQ(state.running.load(), 0);
  EXPECT_EQ(state.current_minute.load(), 3);
  EXPECT_EQ(state.normal_count.load(), 3);
  EXPECT_EQ(state.ventricular_count.load(), 1);
  EXPECT_TRUE(state.messages.empty());
  EXPECT_FALSE(library_.IsLoaded());

  EXPECT_EQ(EngineBeats(), (std::vector<std::pair<int32_t, int>>{{125, kClassNormal},
                                                                  {250, kClassVES},
                                                                  {375, kClassSVES},
                                                                  {7625, kClassArtefact},
                                                                  {7750, kClassExternalType5},
                                                                  {8125, kClassNormal},
                                                                  {16250, kClassNormal}}));
  EXPECT_EQ(Working(CZK470Doc::kEngineFamilyNormal, 0), (std::vector<int32_t>{0}));
  EXPECT_EQ(Working(CZK470Doc::kEngineFamilyVES, 3), (std::vector<int32_t>{1}));
  EXPECT_EQ(Working(CZK470Doc::kEngineFamilySVES, 1), (std::vector<int32_t>{2}));
  EXPECT_EQ(Working(CZK470Doc::kEngineFamilyArtefact, 0), (std::vector<int32_t>{3}));
  EXPECT_EQ(Working(CZK470Doc::kEngineFamilyNormal, 2), (std::vector<int32_t>{6}));
  EXPECT_TRUE(Working(CZK470Doc::kEngineFamilyNormal, 7).empty());

  std::string minute_calls = " SetLeadData SetLeadData Analyse GetAnaDataBeatP";
  std::string want = "OpenInterface";
  for (int i = 0; i < 12; ++i) want += " SetAnaData";
  want += " InitInterface" + minute_calls + minute_calls + minute_calls + " CloseInterface";
  EXPECT_EQ(script_.CallOrder(), want);
  EXPECT_EQ(script_.Setting(-1), 125);
  EXPECT_EQ(script_.Setting(-2), 60000);
}

// Pause, deviation and SVES prematurity are those the recording was last analysed with; the user's
// current choices of them do not reach the library, only the duration does.
TEST_F(VraDriverTest, SettingsComeFromTheRecordsStoredIndices) {
  SetRecordingMinutes(1);
  Settings().SetInt(SettingKey::kAnalyzePauseA, 4);
  Settings().SetInt(SettingKey::kAnalyzeArrhyPrematurity, 2);
  Settings().SetInt(SettingKey::kAnalyzeArrhyDuration, 3);
  Settings().SetInt(SettingKey::kAnalyzeSVESPrematurity, 5);
  struct Case {
    const char* name;
    int32_t pause, deviation, prematurity;  // stored indices
    int32_t pacemaker;
    int want_pause_ms, want_deviation, want_prematurity;
  };
  const Case cases[] = {
      {"never analysed", -1, -1, -1, 0, 2000, 20, 20},
      {"analysed with other choices", 0, 5, 7, 1, 1000, 40, 50},
      {"SVES and arrhythmia analyses off", 6, -1, -1, 0, 4000, 20, 20},
      {"indices beyond the tables", 9, 8, 1, 0, 2000, 20, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingData& record = Doc().GetRecordingData();
    record.pause_threshold = c.pause;
    record.arrhythmia_deviation = c.deviation;
    record.sves_prematurity = c.prematurity;
    record.pacemaker_recording = c.pacemaker;
    script_.Reset();
    VraRunState state;
    ASSERT_EQ(RunThread(state), analysis::kVraNoError);
    const std::pair<int, int> want[] = {
        {VRA_ANASET_SAMPRATE, 125},
        {VRA_ANASET_RESOLUTION, 3},
        {VRA_ANASET_DATA_BLOCK, 60000},
        {VRA_ANASET_NOF_LEADS, 2},
        {VRA_ANASET_CORR_VES, 12},
        {VRA_ANASET_TEMP_CORR, 40},
        {VRA_ANASET_PAUSE, c.want_pause_ms},
        {VRA_ANASET_ABSARRHYT_DEV, c.want_deviation},
        {VRA_ANASET_ABSARRHYT_DUR, 60},
        {VRA_ANASET_SVES_PREMATURE, c.want_prematurity},
        {VRA_ANASET_PACE_PATIENT, c.pacemaker},
        {VRA_ANASET_ANALYSE_LEADS, 1},
    };
    for (const auto& [key, value] : want) {
      SCOPED_TRACE(key);
      EXPECT_EQ(script_.Setting(key), value);
    }
  }
}

TEST_F(VraDriverTest, SettingIndicesMapToTheLibrarysValues) {
  struct Mapping {
    int index;
    int pause_ms;
    int percent;
    int seconds;
  };
  const Mapping mappings[] = {{-1, 2000, 20, 20}, {0, 1000, 15, 10}, {1, 1500, 20, 20}, {2, 2000, 25, 30},
                              {6, 4000, 45, 300}, {7, 2000, 50, 600}, {8, 2000, 20, 20}};
  for (const Mapping& m : mappings) {
    SCOPED_TRACE(m.index);
    EXPECT_EQ(analysis::VraPauseMs(m.index), m.pause_ms);
    EXPECT_EQ(analysis::VraPercent(m.index), m.percent);
    EXPECT_EQ(analysis::VraDurationSeconds(m.index), m.seconds);
  }
}

TEST_F(VraDriverTest, EveryRefusedCallEndsWithItsErrorNumber) {
  struct Case {
    const char* name;
    std::function<void(FakeVraScript&)> script;
    int32_t error;
    bool closes;  // CloseInterface called at the end
    const char* message;
  };
  const auto refuse = [](const char* function, int nth, int code) {
    return [=](FakeVraScript& s) { s.FailCall(function, nth, code); };
  };
  const auto refuse_setting = [](int key) { return [=](FakeVraScript& s) { s.FailSetting(key, VRA_ERR_FAIL); }; };
  const Case cases[] = {
      {"OpenInterface", refuse("OpenInterface", 1, VRA_ERR_FAIL), 12, false,
       "Function: OpenInterface Parms: 125, 60000 RetCode : ERR Fail"},
      {"no handle", [](FakeVraScript& s) { s.SetNullHandle(1); }, 13, true, "no handle"},
      {"sample rate", refuse_setting(VRA_ANASET_SAMPRATE), 14, true,
       "Function: SetAnaData Parms: _125Hz, _ANASET_SAMPRATE RetCode : ERR Fail"},
      {"resolution", refuse_setting(VRA_ANASET_RESOLUTION), 30, true, "_5UV_LSB, _ANASET_RESOLUTION"},
      {"block", refuse_setting(VRA_ANASET_DATA_BLOCK), 15, true, "_60SEC, _ANASET_DATA_BLOCK"},
      {"leads", refuse_setting(VRA_ANASET_NOF_LEADS), 16, true, "_NUM_LEADS_ANA,_ANASET_NOF_LEADS"},
      {"VES correlation", refuse_setting(VRA_ANASET_CORR_VES), 17, true, "12,_ANASET_CORR_VES"},
      {"template correlation", refuse_setting(VRA_ANASET_TEMP_CORR), 18, true, "40,_ANASET_TEMP_CORR"},
      {"pause", refuse_setting(VRA_ANASET_PAUSE), 19, true, "VraPause, _ANASET_PAUSE"},
      {"deviation", refuse_setting(VRA_ANASET_ABSARRHYT_DEV), 20, true, "_ABSARRDEV_15,_ANASET_ABSARRHYT_DEV"},
      {"duration", refuse_setting(VRA_ANASET_ABSARRHYT_DUR), 21, true, "_ABSARRDUR_20,_ANASET_ABSARRHYT_DUR"},
      {"prematurity", refuse_setting(VRA_ANASET_SVES_PREMATURE), 22, true, "_SPRE_20,_ANASET_SVES_PREMATURE"},
      {"pacemaker", refuse_setting(VRA_ANASET_PACE_PATIENT), 23, true, "_NOPACE,_ANASET_PACE_PATIENT"},
      {"analysed leads", refuse_setting(VRA_ANASET_ANALYSE_LEADS), 24, true, "_L1_2,_ANASET_ANALYSE_LEADS"},
      {"InitInterface", refuse("InitInterface", 1, VRA_ERR_INIT_PHASE), 25, true,
       "Function: InitInterface Parms: - RetCode : ERR Init Phase"},
      {"first lead", refuse("SetLeadData", 3, VRA_ERR_WRONG_DATA), 26, true,
       "Function: SetLeadData Parms: 0 RetCode : ERR WrongData"},
      {"second lead", refuse("SetLeadData", 4, VRA_ERR_NULL_POINTER), 27, true,
       "Function: SetLeadData Parms: 1 RetCode : ERR Null pointer"},
      {"Analyse", refuse("Analyse", 2, VRA_ERR_TYPE_UNDEFINED), 28, true,
       "Function: Analyse Parms: _ANASET_CONTI_ANA RetCode : ERR Type undefined"},
      {"GetAnaDataBeatP", refuse("GetAnaDataBeatP", 1, 77), 29, true, "Function: GetAnaDataBeatP Parms:  RetCode : ERR Unknown"},
      {"records without a pointer", [](FakeVraScript& s) { s.DeliverWithoutPointer(1), s.AddBeat(0, 10, 0, 0); }, 29, true,
       "ERR Null pointer"},
  };
  SetRecordingMinutes(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    script_.Reset();
    c.script(script_);
    Doc().GetEngineQRSList().RemoveAll();
    VraRunState state;
    state.running.store(1);
    EXPECT_EQ(RunThread(state), c.error);
    EXPECT_EQ(state.error_number.load(), c.error);
    EXPECT_EQ(state.error.load(), 1);
    EXPECT_EQ(state.running.load(), 0);
    EXPECT_EQ(script_.CallCount("CloseInterface"), c.closes ? 1 : 0);
    EXPECT_FALSE(library_.IsLoaded());
    ASSERT_EQ(state.messages.size(), 1u);
    EXPECT_NE(state.messages[0].find(c.message), std::string::npos) << state.messages[0];
  }
}

TEST_F(VraDriverTest, MissingLibraryOrEntryPointIsError11WithItsReason) {
  SetRecordingMinutes(3);
  for (const char* path : {"libZK470NoSuchAnalysisLibrary.so", FAKE_VRA_INCOMPLETE_PATH}) {
    SCOPED_TRACE(path);
    CVRAInterface library(path);
    VraRunState state;
    EXPECT_EQ(analysis::VraAnalysisThread(Doc(), library, state), analysis::kVraLibraryMissing);
    EXPECT_EQ(state.error.load(), 1);
    ASSERT_EQ(state.messages.size(), 1u);
    EXPECT_EQ(state.messages[0], library.GetLoadError());
  }
}

TEST_F(VraDriverTest, ResultTexts) {
  const std::pair<int, const char*> texts[] = {{1, "ERR Null pointer"},  {2, "ERR Init Phase"}, {3, "ERR Type undefined"},
                                               {4, "ERR Fail"},          {5, "ERR WrongData"},  {6, "ERR Not Implemented"},
                                               {-1, "ERR Unknown"},      {7, "ERR Unknown"}};
  for (const auto& [code, text] : texts) EXPECT_EQ(analysis::VraResultText(code), text);
  VraRunState state;
  EXPECT_TRUE(analysis::CheckVraResult(state, "Analyse", "x", 0));
  EXPECT_TRUE(state.messages.empty());
}

TEST_F(VraDriverTest, ZeroMinutesConfiguresAndEndsNormally) {
  VraRunState state;
  EXPECT_EQ(RunThread(state), analysis::kVraNoError);
  EXPECT_EQ(script_.CallCount("InitInterface"), 1);
  EXPECT_EQ(script_.CallCount("Analyse"), 0);
  EXPECT_EQ(script_.CallCount("CloseInterface"), 1);
  EXPECT_EQ(Doc().GetEngineQRSList().GetSize(), 0);
}

TEST_F(VraDriverTest, BadRecordsFailTheRunAndKeepWhatCameBefore) {
  SetRecordingMinutes(2);
  struct Case {
    const char* name;
    std::vector<int32_t> times;
    const char* fault;
    int kept;
  };
  const Case cases[] = {
      {"earlier than the beat before", {1000, 2000, 1500}, "precedes the beat before it", 2},
      {"negative time", {1000, -8}, "negative time", 1},
      {"beyond the minutes analysed", {1000, 60000}, "beyond the minutes analysed", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    script_.Reset();
    Doc().GetEngineQRSList().RemoveAll();
    for (int32_t t : c.times) script_.AddBeat(0, t, 0, 0);
    VraRunState state;
    EXPECT_EQ(RunThread(state), analysis::kVraBeatsFailed);
    ASSERT_EQ(state.messages.size(), 1u);
    EXPECT_NE(state.messages[0].find(c.fault), std::string::npos) << state.messages[0];
    EXPECT_EQ(Doc().GetEngineQRSList().GetSize(), c.kept);
    EXPECT_EQ(script_.CallCount("Analyse"), 1);
  }
}

class LibraryProgressTest : public VraDriverTest {
 protected:
  // Runs the dialog logic on this thread: the gate holds the library in minute `gate_minute`,
  // where the user presses Cancel (or closes the window).
  int CancelAt(int gate_minute, int minutes) {
    SetRecordingMinutes(minutes);
    for (int m = 0; m < minutes; ++m) script_.AddBeat(m, m * 60000 + 500, 0, 0);
    AnalyseGate gate;
    gate.minute = gate_minute;
    script_.SetAnalyseHook(&AnalyseGate::Hook, &gate);
    analysis::LibraryProgress progress(Doc(), library_);
    std::promise<void> ended;
    progress.Start([&ended] { ended.set_value(); });
    gate.WaitReached();
    EXPECT_TRUE(progress.OnTimer().cancel_enabled);
    EXPECT_FALSE(progress.OnCancel());  // the dialog waits for the library to finish the minute
    EXPECT_FALSE(progress.IsEnded());
    gate.Release();
    ended.get_future().wait();
    const int result = progress.OnEndMessage();
    EXPECT_FALSE(progress.OnTimer().cancel_enabled);
    script_.SetAnalyseHook(nullptr, nullptr);
    return result;
  }
};

TEST_F(LibraryProgressTest, CancelCompletesTheMinuteUnderWay) {
  EXPECT_EQ(CancelAt(1, 5), analysis::kResultCancelled);
  // Minutes 0 and 1 were analysed and imported; nothing after.
  EXPECT_EQ(Doc().GetEngineQRSList().GetSize(), 2);
  EXPECT_EQ(script_.CallCount("Analyse"), 2);
  EXPECT_EQ(script_.CallCount("CloseInterface"), 1);
}

TEST_F(LibraryProgressTest, CancelDuringTheLastMinuteStillCancels) {
  EXPECT_EQ(CancelAt(2, 3), analysis::kResultCancelled);
  EXPECT_EQ(Doc().GetEngineQRSList().GetSize(), 3);
}

TEST_F(LibraryProgressTest, FailureBeforeTheFirstMinuteShowsTheMessageAndFails) {
  SetRecordingMinutes(2);
  script_.FailCall("InitInterface", 1, VRA_ERR_FAIL);
  analysis::LibraryProgress progress(Doc(), library_);
  std::promise<void> ended;
  progress.Start([&ended] { ended.set_value(); });
  ended.get_future().wait();
  EXPECT_EQ(progress.OnEndMessage(), analysis::kResultFailed);
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(prompt_.Log()[0].text, "Function: InitInterface Parms: - RetCode : ERR Fail");
}

}  // namespace
