#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "document/file_version.h"

class CZK470Doc;

namespace document {

// What the document asks of the application object, the main frame, the dialogs and the
// subsystems above it (which the document cannot link). The application installs one with
// CZK470Doc::SetHost; until then these defaults serve: no automation, no batch, nothing shown.
// User-interface thread only.
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;

  // Application object.
  virtual int GetFileFormatVersion() const { return kCurrentFileVersion; }
  // A file the document opened; the framework makes it the newest recent-file entry.
  virtual void AddToRecentFileList(std::string_view path) {}
  // The open recording was renamed: its recent-file entry (the first) follows.
  virtual void ReplaceFirstRecentFile(std::string_view path) {}

  // Automation and batch state.
  virtual bool IsBatchRunning() const { return false; }
  virtual void SetBatchFileResult(int result) {}
  virtual bool IsAutomationCommandComplete() const { return false; }
  virtual std::string GetAutomationFileName() const { return {}; }
  virtual void ReplaceLastResultLine(std::string line) {}
  virtual void WriteResultFile() {}

  // Main frame: a private message posted to it (2025 refreshes the status bar).
  virtual void PostMainFrameMessage(uint32_t message) {}
  // The time-span toolbar refills its choices for a recording of this length.
  virtual void RecordingLengthChanged(int minutes) {}

  // Dialogs: the busy dialog around reading a ".QRS" file, the notice after every save, the text
  // view of failed deletions, and the modal wait dialog that runs work on a worker thread (the
  // default runs it on the caller's thread).
  virtual void BeginBusy(std::string_view text) {}
  virtual void EndBusy() {}
  virtual void ShowSaveNotice() {}
  virtual void ShowTextView(std::string_view title, std::span<const std::string> lines) {}
  virtual void RunUnderWaitDialog(const std::function<void()>& work) { work(); }

  // Import of a "KZT" exchange file into the ".QRS" of the same base name; false when it failed
  // (the converter has shown its own message).
  virtual bool ImportKztFile(CZK470Doc& doc, const std::string& path) { return false; }
  // The recorder read-out part of a new document (automation or the interactive dialogs);
  // nonzero on success. The default has no recorder and leaves the empty document.
  virtual int RunNewRecordingReadOut(CZK470Doc& doc) { return 1; }
};

// The R-on-T and absolute-arrhythmia detectors that one heart-rate extremes pass drives beat by
// beat. Created for the pass and deleted after it.
class HeartRatePassDetectors {
 public:
  virtual ~HeartRatePassDetectors() = default;
  // heart_rate: the rate at the beat, -1 when none could be formed.
  virtual void CheckROnT(int beat, int heart_rate) = 0;
  // forced closes an episode still open.
  virtual void CheckArrhythmia(int beat, bool forced) = 0;
};

// The steps of the beat analysis that document operations call; the analysis library installs
// them with CZK470Doc::SetAnalysisHooks. Without hooks those steps are skipped (see each caller).
class AnalysisHooks {
 public:
  virtual ~AnalysisHooks() = default;
  virtual std::unique_ptr<HeartRatePassDetectors> CreatePassDetectors(CZK470Doc& doc) = 0;
  // Re-detects the events after beat edits (with_sv 0 skips the supraventricular step).
  virtual void RecomputeEvents(CZK470Doc& doc, int with_sv) = 0;
  // Takes a relabelled beat out of its old template class into the edit class of its new family.
  virtual void RemoveBeatFromTemplates(CZK470Doc& doc, int beat_index) = 0;
  // The beat editor's delete command (32950) on one beat, for the given window (opaque here).
  virtual void DeleteBeat(CZK470Doc& doc, void* window, int32_t position, int beat_index) = 0;
  // The supraventricular detector from a beat on.
  virtual void DetectSVEvents(CZK470Doc& doc, int prematurity_percent, int from_beat) = 0;
  // The analysis run (the main frame's start command).
  virtual void AnalyzeRecording(CZK470Doc& doc, int mode) = 0;
};

}  // namespace document
