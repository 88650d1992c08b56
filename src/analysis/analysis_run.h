#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "document/document_host.h"
#include "platform/ids.h"

class BeatEngine;
class BeatSampleSource;
class CVRAInterface;
class CZK470Doc;

namespace analysis {

class AnalysisDialogs;
class HeadlessAnalysisDialogs;

// The analysis as the document runs it: the chosen engine under its modal progress dialog, then
// (only after a finished run) the take-over of the beats, events from the recorder markers, the
// pacemaker analysis, the rhythm detectors, the template classes, the ST analysis, the example
// strips and the analysis record; a recording analysed for the first time is saved. A cancelled
// or failed run changes neither the beats, nor the events, nor the template classes: the engine
// has stopped before anything is read, and only its own lists are emptied.
//
// Also the document's analysis hooks (install with CZK470Doc::SetAnalysisHooks): the event
// recomputation, the R-on-T and absolute-arrhythmia detectors of the heart-rate extremes pass, the
// template bookkeeping of relabelled beats and the local supraventricular re-analysis.
// User-interface thread; the steps that run on workers run while it waits in a modal dialog.
class AnalysisRun : public document::AnalysisHooks {
 public:
  // The main frame's status refresh, posted after every run.
  static constexpr uint32_t kStatusRefreshMessage = msg::kStatusRefresh;

  // What the run uses beyond the document. Empty members take the defaults named.
  struct Services {
    AnalysisDialogs* dialogs = nullptr;  // headless dialogs when none
    BeatEngine* engine = nullptr;        // the program's engine
    CVRAInterface* library = nullptr;    // the program's library binding
    // The built-in engine's sample source; the document's sample store when empty.
    std::function<std::unique_ptr<BeatSampleSource>(CZK470Doc&)> sample_source;
    // The library's version text for the analysis record ("VRA %s"); read from the library when
    // empty ("-         " when it cannot be read).
    std::function<std::string()> library_version_text;
    // The batch's analysis-aborted flag; kept by the run when empty. The run sets it, never clears it.
    std::function<void(int)> set_analysis_aborted;
    std::function<int()> is_analysis_aborted;
    // The pacemaker analysis of the recording, run under its wait dialog; skipped when empty.
    std::function<void(CZK470Doc&)> pacemaker_analysis;
    // The ST analysis under its dialog (mode 1 full, 0 episodes only); returns the dialog's
    // result. Skipped when empty.
    std::function<int(CZK470Doc&, int mode)> st_analysis;
  };

  explicit AnalysisRun(Services services);
  ~AnalysisRun() override;

  // The analysis run (command 32817 passes update_views 1). Returns the engine dialog's result:
  // 1 finished, 1060 cancelled, 1061 failed.
  int Run(CZK470Doc& doc, int update_views);
  // Re-detects the events after beat edits (command 32844 passes 1; bringing the derived data up
  // to date 0).
  void RecomputeEvents(CZK470Doc& doc, int with_sv) override;
  // Command 32907, and the ST analysis after a beat edit.
  void OnRepeatSTAnalysis(CZK470Doc& doc);
  void RunSTAnalysisAfterEdit(CZK470Doc& doc);
  // Command 32986.
  void OnRunPacemakerAnalysis(CZK470Doc& doc);
  // The commands above by id; false for any other.
  bool OnCommand(CZK470Doc& doc, int id);
  // Whether the command is enabled; nullopt for a command that is not the run's.
  std::optional<bool> IsCommandEnabled(const CZK470Doc& doc, int id) const;

  void SetAnalysisAborted(int aborted);
  int IsAnalysisAborted() const;

  // --- document::AnalysisHooks ---
  std::unique_ptr<document::HeartRatePassDetectors> CreatePassDetectors(CZK470Doc& doc) override;
  void RemoveBeatFromTemplates(CZK470Doc& doc, int beat_index) override;
  // The beat editor's delete command on one beat (lists only, no hints).
  void DeleteBeat(CZK470Doc& doc, void* window, int32_t position, int beat_index) override;
  void DetectSVEvents(CZK470Doc& doc, int prematurity_percent, int from_beat) override;
  void AnalyzeRecording(CZK470Doc& doc, int update_views) override { Run(doc, update_views); }

 private:
  int RunEngine(CZK470Doc& doc, int mode);
  void TakeOverAnalysis(CZK470Doc& doc, int mode, int update_views, bool first_analysis);
  // Runs the ST analysis again on a copy of the recording data; whole_recording overrides the
  // extent the preparation chooses.
  void RepeatSTAnalysis(CZK470Doc& doc, bool whole_recording);
  std::string LibraryVersionText();
  CVRAInterface& Library();
  BeatEngine& Engine();

  AnalysisDialogs& Dialogs() { return *services_.dialogs; }

  Services services_;
  std::unique_ptr<HeadlessAnalysisDialogs> headless_dialogs_;
  int aborted_ = 0;
};

// The library's version number as text: "%x" with points inserted at indexes 1, 4 and 7.
std::string FormatLibraryVersion(uint32_t version);

}  // namespace analysis
