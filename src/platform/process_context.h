#pragma once

namespace platform {

// The folders that hold process-wide state, bottom first, as they are layered.
enum class ProcessLayer {
  kPlatform,
  kGfx,
  kWin,
  kCommon,
  kReportsPdf,
  kDocument,
  kAnalysisEngine,
  kAnalysis,
  kViews,
  kLayouts,
  kTrends,
  kRecorder,
  kReports,
  kTools,
  kDialogs,
  kCore,
  kHost,
};

// The one context of the process: every piece of process-wide state (the window system, the
// resource packs, the document's globals, the automation settings ...) registers here how it
// returns to the state of a fresh start, from the file that owns it, so that a lower layer never
// needs to know the higher ones:
//   const bool kRegistered = platform::RegisterProcessReset(platform::ProcessLayer::kWin, [] { ... });
// Returns true so that it can initialise such a constant. Any thread, usually static initialisation.
bool RegisterProcessReset(ProcessLayer layer, void (*reset)());

// Puts every registered piece of state back to that of a fresh start: the top layer first, so
// that what a higher layer holds (a splash window, a document) goes before the windows and
// resources below it; within a layer in the order of registration. The user-interface thread,
// while no worker runs.
void ResetProcessState();

}  // namespace platform
