// The full-ECG screen (layout 20: the ECG page window with full disclosure above the beat-editing
// strip) at 1920 x 1080 on a 24-hour 3-channel analysed recording. Targets: a page rebuild under
// 100 ms, a repaint of the whole screen under 30 ms, a strip page step under 20 ms. The parts of a
// page step (loading the minutes, building traces and marks, the hints, the paint) are timed apart
// so that a missed target points at its cause.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/test_recordings.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/screen_factories.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "views/base_view.h"
#include "views/ecg_page_window.h"
#include "views/ecg_strip_area.h"
#include "views/full_disclosure_area.h"
#include "views/view_area.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFullECGLayout = 20;
constexpr int kStartLayout = 5;
// The root's children in the full-ECG layout: navigation, page window, strip window.
constexpr int kPageWindowChild = 1;
constexpr int kStripWindowChild = 2;

class BenchView : public CBaseView {
 public:
  explicit BenchView(CZK470Doc* doc) : CBaseView(doc) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(kStartLayout); }
};

BenchView* g_view = nullptr;
CZK470Doc* g_doc = nullptr;

void Paint() {
  g_view->Invalidate();
  win::Windows().RunPending();
}

template <class Area>
Area* FindArea(CViewAreaConfig* node) {
  if (node == nullptr) return nullptr;
  if (auto* area = dynamic_cast<Area*>(node->GetArea())) return area;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (Area* found = FindArea<Area>(node->GetChild(i))) return found;
  return nullptr;
}

CViewAreaConfig* Root() { return g_view->GetSelector()->GetCurrent(); }

CAreaWnd* HostedWindow(int child) {
  CViewAreaConfig* node = Root()->GetChild(child);
  auto* area = node != nullptr ? dynamic_cast<CWindowArea*>(node->GetArea()) : nullptr;
  return area != nullptr ? area->GetHostedWindow() : nullptr;
}

// Shows the full-ECG screen afresh with the position at the start of the recording.
bool ShowFullECG(benchmark::State& state) {
  g_view->GetSelector()->Select(kStartLayout);
  g_doc->SetCurrentPosition(g_doc->GetTimeRangeStart() + 1000, 0);
  if (!g_view->GetSelector()->Select(kFullECGLayout) || HostedWindow(kPageWindowChild) == nullptr ||
      HostedWindow(kStripWindowChild) == nullptr || FindArea<CFullDisclosureArea>(Root()) == nullptr ||
      FindArea<CECGStripArea>(Root()) == nullptr) {
    state.SkipWithError("the full-ECG screen was not shown with its page and strip");
    return false;
  }
  Paint();
  return true;
}

// Pages forward until the end, then back to the start, so that every step builds a new page.
class PageWalker {
 public:
  int NextCommand(const CFullDisclosureArea& page) {
    const int32_t end = g_doc->GetTimeRangeEnd();
    const int32_t start = g_doc->GetTimeRangeStart();
    if (forward_ && g_doc->GetViewFields().page_end_ms + page.PageLengthMs() + 1 >= end) forward_ = false;
    if (!forward_ && g_doc->GetViewFields().page_start_ms - page.PageLengthMs() <= start) forward_ = true;
    return forward_ ? cmd::kNextPageOfPage : cmd::kPreviousPageOfPage;
  }

 private:
  bool forward_ = true;
};

void ReportPage(benchmark::State& state, const CFullDisclosureArea& page) {
  state.counters["rows"] = page.RowCount();
  state.counters["page_s"] = page.PageLengthMs() / 1000.0;
  state.counters["marks"] = static_cast<double>(page.Marks().size());
}

// The page command as the toolbar gives it: the page moves, is built anew, every view hears the
// two hints; the paint it asks for is not timed.
void BM_PageRebuildCommand(benchmark::State& state) {
  if (!ShowFullECG(state)) return;
  CAreaWnd& window = *HostedWindow(kPageWindowChild);
  const CFullDisclosureArea& page = *FindArea<CFullDisclosureArea>(Root());
  PageWalker walker;
  for (auto _ : state) {
    win::ExecuteCommand(window, walker.NextCommand(page));
    state.PauseTiming();
    win::Windows().RunPending();
    state.ResumeTiming();
  }
  ReportPage(state, page);
}
BENCHMARK(BM_PageRebuildCommand)->Unit(benchmark::kMillisecond);

// The page command and the paint that follows it: what the user waits for.
void BM_PageRebuildCommandAndPaint(benchmark::State& state) {
  if (!ShowFullECG(state)) return;
  CAreaWnd& window = *HostedWindow(kPageWindowChild);
  const CFullDisclosureArea& page = *FindArea<CFullDisclosureArea>(Root());
  PageWalker walker;
  for (auto _ : state) {
    win::ExecuteCommand(window, walker.NextCommand(page));
    win::Windows().RunPending();
  }
  ReportPage(state, page);
}
BENCHMARK(BM_PageRebuildCommandAndPaint)->Unit(benchmark::kMillisecond);

// The page's own rebuild alone, split: with the time window (loads the page's minutes) and
// without (traces and marks from the minutes already loaded).
void BM_PageRebuildArea(benchmark::State& state) {
  if (!ShowFullECG(state)) return;
  const bool window = state.range(0) != 0;
  CFullDisclosureArea& page = *FindArea<CFullDisclosureArea>(Root());
  PageWalker walker;
  for (auto _ : state) {
    state.PauseTiming();
    // Move the page's start as paging does, untimed, so that each build reads other minutes.
    const int sign = walker.NextCommand(page) == cmd::kNextPageOfPage ? 1 : -1;
    if (window) g_doc->GetViewFields().page_start_ms += sign * page.PageLengthMs();
    state.ResumeTiming();
    page.Rebuild(false, window);
    state.PauseTiming();
    win::Windows().RunPending();
    state.ResumeTiming();
  }
  ReportPage(state, page);
}
BENCHMARK(BM_PageRebuildArea)->Arg(1)->Arg(0)->ArgName("load")->Unit(benchmark::kMillisecond);

// The two hints that every page step sends, on their own: what the other areas do with them.
void BM_PageStepHints(benchmark::State& state) {
  if (!ShowFullECG(state)) return;
  for (auto _ : state) {
    g_doc->UpdateAllViews(nullptr, hint::kPositionMoved);
    g_doc->UpdateAllViews(nullptr, hint::kArea1019);
    state.PauseTiming();
    win::Windows().RunPending();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PageStepHints)->Unit(benchmark::kMillisecond);

// A repaint of the whole screen as after a document update, nothing rebuilt.
void BM_RepaintFullECG(benchmark::State& state) {
  if (!ShowFullECG(state)) return;
  for (auto _ : state) Paint();
}
BENCHMARK(BM_RepaintFullECG)->Unit(benchmark::kMillisecond);

// The strip's next page as its toolbar gives it; without and with the paint that follows.
void BM_StripPageStep(benchmark::State& state) {
  if (!ShowFullECG(state)) return;
  const bool paint = state.range(0) != 0;
  CAreaWnd& window = *HostedWindow(kStripWindowChild);
  const int32_t last = g_doc->GetTimeRangeEnd() - 60 * 1000;
  for (auto _ : state) {
    if (g_doc->GetCurrentPosition() >= last) {
      state.PauseTiming();
      g_doc->SetCurrentPosition(g_doc->GetTimeRangeStart() + 1000, 0);
      g_doc->UpdateAllViews(nullptr, hint::kPositionMoved);
      win::Windows().RunPending();
      state.ResumeTiming();
    }
    win::ExecuteCommand(window, cmd::kNextPage);
    if (paint) {
      win::Windows().RunPending();
    } else {
      state.PauseTiming();
      win::Windows().RunPending();
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_StripPageStep)->Arg(0)->Arg(1)->ArgName("paint")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  char name[] = "ecg_page_bench";
  char* qt_argv[] = {name, nullptr};
  QApplication app(qt_argc, qt_argv);
  win::ScriptedPrompt prompt;
  win::ScopedPrompt prompt_guard(prompt);

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zk470_ecg_page_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::printf("Generating a synthetic 24-hour 3-channel recording...\n");
  const std::filesystem::path qrs = coretest::MakeAnalysedRecording(folder / "00001", 24 * 60, 3);

  platform::MemoryProfileStore profile;
  platform::ManualClock clock(platform::LocalDateTime{2024, 1, 15, 8, 0, 0, 0});
  win::Windows().SetClock(&clock);
  qthost::EventPump pump(win::Windows());
  qthost::CanvasHost host(win::Windows(), pump);
  win::Windows().SetHost(&host);

  int code = 0;
  {
    CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
    RegisterScreenFactories();
    if (!doc.OnOpenDocument(qrs.string()) || !CreateDefaultLayouts()) {
      std::printf("the recording did not open or the layouts were not built\n");
      code = 1;
    } else {
      std::printf("%d beats over %d minutes, %d channels\n", doc.GetQRSList().GetSize(),
                  doc.GetRecordingMinutes(), doc.GetChannelCount());
      BenchView view(&doc);
      g_view = &view;
      g_doc = &doc;
      if (!view.Create(nullptr, {0, 0, kWidth, kHeight}, win::kWsVisible)) {
        code = 1;
      } else {
        QCoreApplication::processEvents();
        Paint();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        view.DestroyWindow();
      }
      g_view = nullptr;
      g_doc = nullptr;
      DeleteDefaultLayouts();
    }
  }
  win::Windows().SetHost(nullptr);
  win::Windows().SetClock(nullptr);
  std::filesystem::remove_all(folder);
  return code;
}
