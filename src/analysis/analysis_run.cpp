#include "analysis/analysis_run.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_progress.h"
#include "analysis/analysis_steps.h"
#include "analysis/document_engine_adapters.h"
#include "analysis/editing/beat_editor.h"
#include "analysis/engine/beat_engine.h"
#include "analysis/example_strips.h"
#include "analysis/rhythm_detection.h"
#include "analysis/sv_detector.h"
#include "analysis/vra_interface.h"
#include "document/profile_keys.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/io_error.h"
#include "win/prompt.h"
#include "win/window.h"

namespace analysis {

namespace {

constexpr const char* kNoLibraryVersion = "-         ";

// The run's hooks serve the document's heart-rate pass (R-on-T, absolute arrhythmia) while the
// run lasts, when the document has none installed.
class HooksGuard {
 public:
  HooksGuard(CZK470Doc& doc, document::AnalysisHooks* hooks) : doc_(doc), installed_(doc.GetAnalysisHooks() == nullptr) {
    if (installed_) doc_.SetAnalysisHooks(hooks);
  }
  ~HooksGuard() {
    if (installed_) doc_.SetAnalysisHooks(nullptr);
  }
  HooksGuard(const HooksGuard&) = delete;
  HooksGuard& operator=(const HooksGuard&) = delete;

 private:
  CZK470Doc& doc_;
  bool installed_;
};

class WaitCursor {
 public:
  WaitCursor() { win::Windows().BeginWaitCursor(); }
  ~WaitCursor() { win::Windows().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

bool IsDisplayModeWithoutRecording(DisplayMode mode) {
  return mode == DisplayMode::kNone || mode == DisplayMode::kOnlineEcg || mode == DisplayMode::kPdf;
}

bool AnySTTrendOn(const CZK470Doc& doc) {
  for (int channel = 0; channel < 3; ++channel)
    if (doc.IsSTTrendOn(channel)) return true;
  return false;
}

}  // namespace

std::string FormatLibraryVersion(uint32_t version) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", version);
  // Points at indexes 1, 4 and 7 of the lengthening text; one beyond the end is appended.
  std::string text;
  size_t points = 0;
  const auto point_due = [&] { return points < 3 && text.size() == 1 + 3 * points; };
  for (const char* c = hex; *c != '\0'; ++c) {
    if (point_due()) text += '.', ++points;
    text += *c;
  }
  for (; points < 3; ++points) text += '.';
  return text;
}

AnalysisRun::AnalysisRun(Services services) : services_(std::move(services)) {
  if (services_.dialogs == nullptr) {
    headless_dialogs_ = std::make_unique<HeadlessAnalysisDialogs>();
    services_.dialogs = headless_dialogs_.get();
  }
}

AnalysisRun::~AnalysisRun() = default;

CVRAInterface& AnalysisRun::Library() {
  return services_.library != nullptr ? *services_.library : CVRAInterface::Process();
}

BeatEngine& AnalysisRun::Engine() { return services_.engine != nullptr ? *services_.engine : BeatEngine::Process(); }

void AnalysisRun::SetAnalysisAborted(int aborted) {
  if (services_.set_analysis_aborted) {
    services_.set_analysis_aborted(aborted);
  } else {
    aborted_ = aborted;
  }
}

int AnalysisRun::IsAnalysisAborted() const {
  return services_.is_analysis_aborted ? services_.is_analysis_aborted() : aborted_;
}

std::string AnalysisRun::LibraryVersionText() {
  if (services_.library_version_text) return services_.library_version_text();
  try {
    return FormatLibraryVersion(Library().ReadVersion());
  } catch (const platform::IoError&) {
    return kNoLibraryVersion;
  }
}

int AnalysisRun::RunEngine(CZK470Doc& doc, int mode) {
  TRawECGData* store = doc.GetRawECGData();
  if (store == nullptr) return kResultFailed;
  store->SetAnalyzeMode(mode);
  if (mode == 1) {
    try {
      store->Reopen();
    } catch (const platform::IoError& e) {
      win::CurrentPrompt().MessageBox(std::string("The recording cannot be read:\n") + e.what(), "ZK-470",
                                      win::kMbOk | win::kMbIconExclamation);
      return kResultFailed;
    }
    LibraryProgress progress(doc, Library());
    return services_.dialogs->RunProgressDialog(progress);
  }
  std::unique_ptr<BeatSampleSource> source =
      services_.sample_source ? services_.sample_source(doc) : std::make_unique<DocumentSampleSource>(*store);
  BuiltInEngineProgress progress(doc, Engine(), std::move(source),
                                 mode == 2 ? BuiltInEngineProgress::kTemplateMode2 : BuiltInEngineProgress::kTemplateMode0);
  return services_.dialogs->RunProgressDialog(progress);
}

int AnalysisRun::Run(CZK470Doc& doc, int update_views) {
  HooksGuard hooks(doc, this);
  doc.EnableUndo(0, 0);
  const bool first_analysis = doc.GetRecordingData().pause_threshold == -1;
  const int mode = GetAnalysisMode(doc);

  // The run starts from empty engine lists and an empty marker list: every minute is decoded
  // again with its markers, and markers left by a cancelled run must not be counted twice.
  ClearEngineResults(doc);
  doc.GetInfoList().RemoveAll();

  const int result = RunEngine(doc, mode);
  if (result == kResultFinished) {
    TakeOverAnalysis(doc, mode, update_views, first_analysis);
  } else {
    doc.GetHost().SetBatchFileResult(1);
    SetAnalysisAborted(1);
  }

  ClearEngineResults(doc);
  doc.GetInfoList().RemoveAll();
  doc.GetInfoList().FreeExtra();
  doc.GetHost().PostMainFrameMessage(kStatusRefreshMessage);
  return result;
}

void AnalysisRun::TakeOverAnalysis(CZK470Doc& doc, int mode, int update_views, bool first_analysis) {
  AnalysisDialogs& dialogs = *services_.dialogs;
  if (!doc.GetInfoList().Positions(1).empty() && doc.GetEngineQRSList().GetSize() > 0) RemoveMarkerArtefacts(doc);
  TakeOverEngineBeats(doc);
  doc.GetEventList().RemoveAll();

  doc.SetAnalysisRunning(1);
  BuildEventsFromInfoList(doc, true);
  if (services_.pacemaker_analysis)
    dialogs.RunWaitDialog(kRecalcProgressDialog, [&] { services_.pacemaker_analysis(doc); });
  doc.SetAnalysisRunning(0);
  doc.GetRecordingData().pm_current.fill(0);
  doc.BuildPMTemplateClassList();

  dialogs.RunWaitDialog(kRhythmDetectionDialog, [&] { RunRhythmDetection(doc, 1); });
  MarkArtefactClassBeats(doc);
  doc.SetDerivedDataValid(1);
  doc.SetAnalysisRunning(0);

  CopyWorkingTemplateClasses(doc, mode);
  if (mode != 1) dialogs.RunWaitDialog(kSVTemplateRebuildDialog, [&] { RebuildSVESTemplateClasses(doc); });
  AssignSpecialTemplateClasses(doc);
  ReduceTemplateClasses(doc, doc.GetSettings().Int(SettingKey::kTemplatesVESTemplates));
  CollectUnassignedVESBeats(doc);
  doc.BuildTemplateClassList();

  if (services_.st_analysis && AnySTTrendOn(doc)) {
    doc.GetSTResultData() = doc.GetRecordingData();
    int full = 1;
    PrepareSTAnalysis(doc, &full);
    doc.SetAnalysisRunning(1);
    if (services_.st_analysis(doc, 1) != kResultCancelled) {
      TakeOverSTResults(doc);
    } else {
      doc.GetHost().SetBatchFileResult(1);
      SetAnalysisAborted(1);
    }
    doc.SetAnalysisRunning(0);
  }

  ChooseExampleStrips(doc);
  if (update_views != 0) {
    WaitCursor wait;
    doc.SetModifiedFlag(true);
    doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
  }
  StoreAnalysisInfo(doc, mode, mode == 1 ? LibraryVersionText() : std::string());
  if (first_analysis && IsAnalysisAborted() == 0) doc.DoFileSave();
}

void AnalysisRun::RecomputeEvents(CZK470Doc& doc, int with_sv) {
  HooksGuard hooks(doc, this);
  AnalysisDialogs& dialogs = *services_.dialogs;
  const int mode = GetAnalysisMode(doc);
  doc.EnableUndo(0, 0);
  doc.SetAnalysisRunning(1);
  BuildEventsFromInfoList(doc, false);
  if (mode != 1) {
    // The SVES beats go back to the normal classes of the same index; the rebuild below sorts
    // them out again after the supraventricular analysis.
    TRecordingData& r = doc.GetRecordingData();
    for (size_t k = 0; k < TRecordingData::kTemplateClasses; ++k)
      MoveSVESEntries(r.sves_classes[k], r.normal_classes[k], doc.GetQRSList());
  }
  dialogs.RunWaitDialog(kRhythmDetectionDialog, [&] { RunRhythmDetection(doc, with_sv); });
  doc.SetAnalysisRunning(0);
  WaitCursor wait;
  dialogs.RunWaitDialog(kSVTemplateRebuildDialog, [&] { RebuildSVESTemplateClasses(doc); });
  ChooseExampleStrips(doc);
  StoreAnalysisInfo(doc, mode, mode == 1 ? LibraryVersionText() : std::string());
  doc.SetDerivedDataValid(1);
  doc.SetModifiedFlag(true);
  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
}

void AnalysisRun::OnRepeatSTAnalysis(CZK470Doc& doc) { RepeatSTAnalysis(doc, false); }

void AnalysisRun::RunSTAnalysisAfterEdit(CZK470Doc& doc) { RepeatSTAnalysis(doc, true); }

void AnalysisRun::RepeatSTAnalysis(CZK470Doc& doc, bool whole_recording) {
  if (!services_.st_analysis) return;
  doc.GetSTResultData() = doc.GetRecordingData();
  int full = 1;
  PrepareSTAnalysis(doc, &full);
  doc.EnableUndo(0, 0);
  doc.SetAnalysisRunning(1);
  if (services_.st_analysis(doc, whole_recording ? 1 : full) != kResultCancelled) TakeOverSTResults(doc);
  doc.SetAnalysisRunning(0);
  WaitCursor wait;
  StoreAnalysisInfo(doc, GetAnalysisMode(doc), GetAnalysisMode(doc) == 1 ? LibraryVersionText() : std::string());
  doc.SetModifiedFlag(true);
  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
}

void AnalysisRun::OnRunPacemakerAnalysis(CZK470Doc& doc) {
  doc.SetAnalysisRunning(1);
  if (services_.pacemaker_analysis)
    services_.dialogs->RunWaitDialog(kRecalcProgressDialog, [&] { services_.pacemaker_analysis(doc); });
  doc.SetAnalysisRunning(0);
  doc.GetRecordingData().pm_current.fill(0);
  doc.BuildPMTemplateClassList();
}

bool AnalysisRun::OnCommand(CZK470Doc& doc, int id) {
  switch (id) {
    case cmd::kAnalyzeRecording:
      Run(doc, 1);
      return true;
    case cmd::kRecomputeEvents:
      RecomputeEvents(doc, 1);
      return true;
    case cmd::kRepeatSTAnalysis:
      OnRepeatSTAnalysis(doc);
      return true;
    case cmd::kPacemakerAnalysis:
      OnRunPacemakerAnalysis(doc);
      return true;
    default:
      return false;
  }
}

std::optional<bool> AnalysisRun::IsCommandEnabled(const CZK470Doc& doc, int id) const {
  const bool has_recording = !IsDisplayModeWithoutRecording(doc.GetDisplayMode());
  switch (id) {
    case cmd::kAnalyzeRecording:
      return has_recording;
    case cmd::kRecomputeEvents:
    case cmd::kRepeatSTAnalysis:
      // Only a recording analysed before has events to recompute.
      return has_recording && doc.GetRecordingData().bradycardia_threshold != -1;
    case cmd::kPacemakerAnalysis:
      // The pacemaker analysis works on the beats of an earlier analysis, and only a recorder
      // that records the spikes gives it something to find.
      return has_recording && doc.GetRecordingData().bradycardia_threshold != -1 &&
             doc.GetRecordingData().pacemaker_recording != 0;
    default:
      return std::nullopt;
  }
}

std::unique_ptr<document::HeartRatePassDetectors> AnalysisRun::CreatePassDetectors(CZK470Doc& doc) {
  return analysis::CreatePassDetectors(doc);
}

void AnalysisRun::RemoveBeatFromTemplates(CZK470Doc& doc, int beat_index) {
  TBeatEditor(doc, 0).RemoveBeatFromTemplates(beat_index);
}

void AnalysisRun::DeleteBeat(CZK470Doc& doc, void* /*window*/, int32_t position, int beat_index) {
  // The class's own follow-up (pending relabels, counts) is the caller's: lists only here, and an
  // emptied class stays so that the caller's loop over it keeps its place.
  TBeatEditRequest request;
  request.off_beat = 0;
  request.position = position;
  request.beat_index = beat_index;
  request.direct = 1;
  request.command = beatcmd::kDeleteBeat;
  request.in_selected_class = 0;
  request.beat_class = -1;
  TBeatEditor(doc, 0).ExecuteCommand(request);
}

void AnalysisRun::DetectSVEvents(CZK470Doc& doc, int prematurity_percent, int from_beat) {
  TSVDetector(doc, prematurity_percent).Analyze(std::max(from_beat, 0), 0);
}

}  // namespace analysis
