#include "reports/reports_context.h"

#include <atomic>

#include "platform/process_context.h"

namespace {

// Atomic because the PDF export records on its worker while the user-interface thread may print.
std::atomic<int> g_emf_recordings{0};
std::atomic<bool> g_monochrome{false};

[[maybe_unused]] const bool kRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kReports, [] {
      g_emf_recordings = 0;
      g_monochrome = false;
    });

}  // namespace

bool IsEmfRecording() { return g_emf_recordings.load() > 0; }
void BeginEmfRecording() { ++g_emf_recordings; }
void EndEmfRecording() {
  // Never below zero: a close without an open must not hide a later recording.
  int n = g_emf_recordings.load();
  while (n > 0 && !g_emf_recordings.compare_exchange_weak(n, n - 1)) {
  }
}

bool IsMonochromePrinting() { return g_monochrome.load(); }
void SetMonochromePrinting(bool monochrome) { g_monochrome = monochrome; }
