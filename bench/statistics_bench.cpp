// The statistics screen (layout 17) at 1920 x 1080 on a 48-hour analysed recording. Target: a
// layout pass of the table area (three grids built and filled) followed by the hourly grids for
// all days under 200 ms.
#include <benchmark/benchmark.h>

#include "platform/resources.h"
#include "screen_bench.h"
#include "trends/statistics_factories.h"
#include "trends/statistics_grids.h"
#include "trends/statistics_table_area.h"
#include "views/base_view.h"
#include "views/layout_tree.h"

namespace {

constexpr int kStatisticsLayout = 17;

CStatisticsTableArea* FindTable(CViewAreaConfig* node) {
  if (node == nullptr) return nullptr;
  if (auto* area = dynamic_cast<CStatisticsTableArea*>(node->GetArea())) return area;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (CStatisticsTableArea* found = FindTable(node->GetChild(i))) return found;
  return nullptr;
}

void BM_StatisticsLayoutPassAllDays(benchmark::State& state) {
  screenbench::View().GetSelector()->Select(kStatisticsLayout);
  CStatisticsTableArea* area = FindTable(screenbench::View().GetSelector()->GetCurrent());
  if (area == nullptr) {
    state.SkipWithError("the statistics screen has no table area");
    return;
  }
  const gfx::Rect rect = area->StoredRect();
  for (auto _ : state) {
    area->OnLayout(rect.left, rect.top, rect.right, rect.bottom);
    area->OnMessage(statmsg::kSelectDay, 99, 0);
    benchmark::DoNotOptimize(area->GetRhythmGrid());
  }
}
BENCHMARK(BM_StatisticsLayoutPassAllDays)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterStatisticsFactories();
  AddStatisticsResources(platform::Resources().ExePack());
  screenbench::Setup setup;
  setup.name = "statistics_bench";
  setup.minutes = 48 * 60;
  setup.start_layout = kStatisticsLayout;
  return screenbench::Run(argc, argv, setup);
}
