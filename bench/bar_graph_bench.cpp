// The hourly bar graphs (layout 4) at 1920 x 1080 on a 24-hour recording with the generator's
// beats as its analysis (about 100 000 beats). Target: a layout pass of the six graphs (each counts
// the whole beat and event lists and places its bars) under 50 ms. A group switch from the toolbar
// (the six graphs made anew, counted and painted at once) is timed beside it.
#include <benchmark/benchmark.h>

#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "layouts/bar_graph_areas.h"
#include "layouts/trend_factories.h"
#include "screen_bench.h"
#include "views/base_view.h"
#include "views/layout_tree.h"
#include "views/window_area.h"

namespace {

constexpr int kBarGraphLayout = 4;

CBarGraphWnd* ShowBarGraphs(benchmark::State& state) {
  screenbench::View().GetSelector()->Select(kBarGraphLayout);
  screenbench::Paint();
  CViewAreaConfig* root = screenbench::View().GetSelector()->GetCurrent();
  CViewAreaConfig* node = root != nullptr ? root->GetChild(0) : nullptr;
  auto* area = node != nullptr ? dynamic_cast<CWindowArea*>(node->GetArea()) : nullptr;
  auto* window = area != nullptr ? dynamic_cast<CBarGraphWnd*>(area->GetHostedWindow()) : nullptr;
  if (window == nullptr) state.SkipWithError("the bar-graph window was not shown");
  return window;
}

void ReportBeats(benchmark::State& state, int graphs) {
  state.SetItemsProcessed(state.iterations() * graphs * screenbench::Document().GetQRSList().GetSize());
}

void BM_BarGraphLayoutPass(benchmark::State& state) {
  CBarGraphWnd* window = ShowBarGraphs(state);
  if (window == nullptr) return;
  for (auto _ : state) window->LayOutAreas();
  benchmark::DoNotOptimize(window->GetConfig()->GetChild(0)->GetArea());
  ReportBeats(state, 6);
}
BENCHMARK(BM_BarGraphLayoutPass)->Unit(benchmark::kMillisecond);

void BM_BarGraphGroupSwitch(benchmark::State& state) {
  CBarGraphWnd* window = ShowBarGraphs(state);
  if (window == nullptr) return;
  int group = 1;
  for (auto _ : state) {
    group = group == 1 ? 2 : 1;
    window->SelectGroup(group);
  }
  benchmark::DoNotOptimize(window->GetConfig()->GetChild(0)->GetArea());
  ReportBeats(state, 6);
}
BENCHMARK(BM_BarGraphGroupSwitch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The screens' classes come with the bench set-up; the bar graphs are added to them.
  RegisterTrendFactories();
  screenbench::Setup setup;
  setup.name = "bar_graph_bench";
  return screenbench::Run(argc, argv, setup);
}
