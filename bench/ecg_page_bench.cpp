// The full-ECG screen (layout 20: the ECG page window with full disclosure above the beat-editing
// strip) at 1920 x 1080 on a 24-hour 3-channel analysed recording. Targets: a page rebuild under
// 100 ms, a repaint of the whole screen under 30 ms, a strip page step under 20 ms. The parts of a
// page step (loading the minutes, building traces and marks, the hints, the paint) are timed apart
// so that a missed target points at its cause.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "platform/ids.h"
#include "screen_bench.h"
#include "views/base_view.h"
#include "views/ecg_page_window.h"
#include "views/ecg_strip_area.h"
#include "views/full_disclosure_area.h"
#include "views/view_area.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/window.h"

namespace {

constexpr int kFullECGLayout = 20;
constexpr int kStartLayout = 5;
// The root's children in the full-ECG layout: navigation, page window, strip window.
constexpr int kPageWindowChild = 1;
constexpr int kStripWindowChild = 2;

using screenbench::Paint;

template <class Area>
Area* FindArea(CViewAreaConfig* node) {
  if (node == nullptr) return nullptr;
  if (auto* area = dynamic_cast<Area*>(node->GetArea())) return area;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (Area* found = FindArea<Area>(node->GetChild(i))) return found;
  return nullptr;
}

CViewAreaConfig* Root() { return screenbench::View().GetSelector()->GetCurrent(); }

CAreaWnd* HostedWindow(int child) {
  CViewAreaConfig* node = Root()->GetChild(child);
  auto* area = node != nullptr ? dynamic_cast<CWindowArea*>(node->GetArea()) : nullptr;
  return area != nullptr ? area->GetHostedWindow() : nullptr;
}

// Shows the full-ECG screen afresh with the position at the start of the recording.
bool ShowFullECG(benchmark::State& state) {
  screenbench::View().GetSelector()->Select(kStartLayout);
  screenbench::Document().SetCurrentPosition(screenbench::Document().GetTimeRangeStart() + 1000, 0);
  if (!screenbench::View().GetSelector()->Select(kFullECGLayout) ||
      HostedWindow(kPageWindowChild) == nullptr || HostedWindow(kStripWindowChild) == nullptr ||
      FindArea<CFullDisclosureArea>(Root()) == nullptr || FindArea<CECGStripArea>(Root()) == nullptr) {
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
    const int32_t end = screenbench::Document().GetTimeRangeEnd();
    const int32_t start = screenbench::Document().GetTimeRangeStart();
    if (forward_ && screenbench::Document().GetViewFields().page_end_ms + page.PageLengthMs() + 1 >= end)
      forward_ = false;
    if (!forward_ && screenbench::Document().GetViewFields().page_start_ms - page.PageLengthMs() <= start)
      forward_ = true;
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
    if (window) screenbench::Document().GetViewFields().page_start_ms += sign * page.PageLengthMs();
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
    screenbench::Document().UpdateAllViews(nullptr, hint::kPositionMoved);
    screenbench::Document().UpdateAllViews(nullptr, hint::kArea1019);
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
  const int32_t last = screenbench::Document().GetTimeRangeEnd() - 60 * 1000;
  for (auto _ : state) {
    if (screenbench::Document().GetCurrentPosition() >= last) {
      state.PauseTiming();
      screenbench::Document().SetCurrentPosition(screenbench::Document().GetTimeRangeStart() + 1000, 0);
      screenbench::Document().UpdateAllViews(nullptr, hint::kPositionMoved);
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
  screenbench::Setup setup;
  setup.name = "ecg_page_bench";
  setup.channels = 3;
  setup.start_layout = kStartLayout;
  return screenbench::Run(argc, argv, setup);
}
