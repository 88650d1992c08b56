// The heart-rate navigator screen (layout 21) at 1920 x 1080 on a 24-hour analysed recording
// (about 100 000 beats). Targets: the navigator's lists (rate and NN per beat, sorted, indexed)
// under 300 ms; its plot on a span change under 10 ms.
#include <benchmark/benchmark.h>

#include "document/raw_ecg_data.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/hr_navigator_area.h"
#include "layouts/hr_navigator_factories.h"
#include "layouts/hr_navigator_lists.h"
#include "platform/ids.h"
#include "screen_bench.h"
#include "views/base_view.h"
#include "views/view_area.h"

namespace {

constexpr int kNavigatorLayout = 21;

CHRNavigatorArea* FindNavigator(CViewAreaConfig* node) {
  if (node == nullptr) return nullptr;
  if (auto* area = dynamic_cast<CHRNavigatorArea*>(node->GetArea())) return area;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (CHRNavigatorArea* found = FindNavigator(node->GetChild(i))) return found;
  return nullptr;
}

CHRNavigatorArea* ShowNavigator(benchmark::State& state) {
  screenbench::View().GetSelector()->Select(kNavigatorLayout);
  CHRNavigatorArea* area = FindNavigator(screenbench::View().GetSelector()->GetCurrent());
  if (area == nullptr) state.SkipWithError("the navigator screen has no navigator plot");
  return area;
}

// The lists alone, as a rebuild makes them: both lists per beat, both sorts, both indexes.
void BM_NavigatorLists(benchmark::State& state) {
  CZK470Doc& doc = screenbench::Document();
  const int minutes = doc.GetRawECGData()->GetWholeMinutes();
  for (auto _ : state) {
    TBeatRateCalculator calculator(doc);
    std::vector<TNavigatorEntry> rates, nn, rates_sorted, nn_sorted;
    calculator.BuildNNList(nn);
    SortByValue(nn, nn_sorted);
    calculator.BuildRateList(rates);
    SortByValue(rates, rates_sorted);
    benchmark::DoNotOptimize(BuildTenMinuteIndex(rates, calculator.GetSampleRate(), minutes));
    benchmark::DoNotOptimize(BuildTenMinuteIndex(nn, calculator.GetSampleRate(), minutes));
    benchmark::DoNotOptimize(rates_sorted.data());
  }
  state.SetItemsProcessed(state.iterations() * doc.GetQRSList().GetSize());
}
BENCHMARK(BM_NavigatorLists)->Unit(benchmark::kMillisecond);

// Hint 1005 on the shown screen: lists, plot and the scale's range.
void BM_NavigatorRebuildOnAnalysisChange(benchmark::State& state) {
  CHRNavigatorArea* area = ShowNavigator(state);
  if (area == nullptr) return;
  for (auto _ : state) area->OnNotify(nullptr, hint::kDocumentChanged, nullptr);
  state.counters["entries"] = static_cast<double>(area->GetRateByBeat().size());
}
BENCHMARK(BM_NavigatorRebuildOnAnalysisChange)->Unit(benchmark::kMillisecond);

// Hint 2057 after the span moved: the plot of the new span only, between two- and 24-hour spans.
void BM_NavigatorPlotOnSpanChange(benchmark::State& state) {
  CHRNavigatorArea* area = ShowNavigator(state);
  if (area == nullptr) return;
  CZK470Doc& doc = screenbench::Document();
  const int spans[][2] = {{0, 1440}, {120, 120}, {600, 240}, {1200, 240}};
  size_t step = 0;
  for (auto _ : state) {
    const auto& span = spans[step++ % std::size(spans)];
    doc.SetSpanStartMinute(span[0]);
    doc.SetSpanLength(span[1]);
    doc.SetSpanStartMs(span[0] * 60000);
    doc.SetSpanEndMs((span[0] + span[1]) * 60000);
    area->OnNotify(nullptr, hint::kSpanMoved, nullptr);
  }
  state.counters["columns"] = area->GetColumnCount();
}
BENCHMARK(BM_NavigatorPlotOnSpanChange)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterHRNavigatorFactories();
  screenbench::Setup setup;
  setup.name = "hr_navigator_bench";
  setup.start_layout = kNavigatorLayout;
  return screenbench::Run(argc, argv, setup);
}
