#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "platform/ids.h"

// The modal dialogs of an analysis run, as the run logic sees them. The windows (a later layer)
// implement AnalysisDialogs over the run logic of AnalysisProgress; headless runs (automation,
// batch, tests) use HeadlessAnalysisDialogs.
namespace analysis {

// How a progress dialog ended.
inline constexpr int kResultFinished = 1;
inline constexpr int kResultCancelled = 1060;
inline constexpr int kResultFailed = 1061;

// The private messages the workers post to their dialogs when they have ended.
inline constexpr uint32_t kRhythmDetectionEndMessage = msg::kWorkerEnd;
inline constexpr uint32_t kEngineEndMessage = msg::kEngineEnd;
inline constexpr uint32_t kSVTemplateRebuildEndMessage = msg::kSVTemplateRebuildEnd;
inline constexpr uint32_t kLibraryEndMessage = msg::kLibraryEnd;

// Control ids of the progress dialogs.
inline constexpr int kProgressBarId = 1046;
inline constexpr int kVentricularCountId = 1049;
inline constexpr int kNormalCountId = 1051;
inline constexpr int kSampleFileTextId = 1099;
inline constexpr int kCancelButtonId = 1060;
inline constexpr int kProgressTimerMs = 500;

// The run logic of one progress dialog (built-in engine or external library): it starts the
// worker, tells what to show every 500 ms, and turns Cancel and the worker's end into the
// dialog's result. User-interface thread only, except the end notice.
class AnalysisProgress {
 public:
  // What the timer shows: the progress position in minutes, the running counts of ventricular
  // and normal beats, and whether Cancel may still be pressed (once false it stays false).
  struct Display {
    int32_t minute = 0;
    int32_t ventricular = 0;
    int32_t normal = 0;
    bool cancel_enabled = true;
  };

  virtual ~AnalysisProgress() = default;

  // The dialog template (154, 30749 or 30750) and the message its worker posts at the end.
  virtual int GetTemplateId() const = 0;
  virtual uint32_t GetEndMessage() const = 0;
  // The progress range is 0 .. whole minutes; text 1099 shows the sample file.
  virtual int GetMinuteCount() const = 0;
  virtual std::string GetSampleFilePath() const = 0;

  // The dialog's initialisation: starts the worker. end_notice runs once when the worker has
  // ended, on the worker thread (the window posts GetEndMessage() to itself from it), or at once
  // on this thread when the worker could not start.
  virtual void Start(std::function<void()> end_notice) = 0;
  // The 500 ms timer.
  virtual Display OnTimer() = 0;
  // Cancel: the Cancel button, OK (Enter), Escape and a request to close the window all come
  // here. True when the dialog ends now with GetResult(); the worker has then ended and nothing
  // of it runs any more.
  virtual bool OnCancel() = 0;
  // The worker's end message: waits for the worker thread, shows the messages it left and
  // returns the dialog's result.
  virtual int OnEndMessage() = 0;

  bool IsEnded() const { return ended_; }
  int GetResult() const { return result_; }

 protected:
  void End(int result) {
    ended_ = true;
    result_ = result;
  }

 private:
  bool ended_ = false;
  int result_ = kResultFailed;
};

// A self-closing wait dialog of the run: its template and the message its worker posts.
struct WaitDialogKind {
  const char* name;
  int template_id;
  uint32_t end_message;
};
inline constexpr WaitDialogKind kRhythmDetectionDialog{"TRhythmDetectionDlg", 189, kRhythmDetectionEndMessage};
inline constexpr WaitDialogKind kSVTemplateRebuildDialog{"TSVTemplateRebuildDlg", 30728, kSVTemplateRebuildEndMessage};
inline constexpr WaitDialogKind kRecalcProgressDialog{"TRecalcProgressDlg", 0, kRhythmDetectionEndMessage};

// The modal dialogs of a run. User-interface thread only.
class AnalysisDialogs {
 public:
  virtual ~AnalysisDialogs() = default;
  // Shows the progress dialog until it ends: progress.Start when it opens, OnTimer every 500 ms,
  // OnCancel on Cancel, Enter, Escape and the close request, OnEndMessage when the worker's end
  // message arrives. Returns the progress's result.
  virtual int RunProgressDialog(AnalysisProgress& progress) = 0;
  // Runs the work on a worker thread under a wait dialog that the user cannot close; returns
  // when the work is done (1).
  virtual int RunWaitDialog(const WaitDialogKind& kind, const std::function<void()>& work) = 0;
};

// No window: the progress dialog's loop runs on the calling thread, polling every poll_ms; each
// poll writes one line ("minute 3 of 24: 1234 normal, 5 ventricular") to the log when given. The
// wait dialogs run their work on a worker thread and wait for it. Nothing here cancels.
class HeadlessAnalysisDialogs : public AnalysisDialogs {
 public:
  explicit HeadlessAnalysisDialogs(std::ostream* log = nullptr, int poll_ms = kProgressTimerMs);

  int RunProgressDialog(AnalysisProgress& progress) override;
  int RunWaitDialog(const WaitDialogKind& kind, const std::function<void()>& work) override;

 private:
  std::ostream* log_;
  int poll_ms_;
};

}  // namespace analysis
