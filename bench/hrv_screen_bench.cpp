// The RR-interval screen (layout 13) at 1920 x 1080 on a 48-hour analysed recording (about
// 200 000 beats). Target: a full repaint, both charts and the table, under 200 ms.
#include <benchmark/benchmark.h>

#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "screen_bench.h"
#include "trends/hrv_screen_factories.h"
#include "trends/hrv_table_factories.h"
#include "views/base_view.h"

namespace {

constexpr int kRRTrendLayout = 13;

void BM_HRVLayout13Repaint(benchmark::State& state) {
  screenbench::View().GetSelector()->Select(kRRTrendLayout);
  for (auto _ : state) screenbench::Paint();
  state.SetItemsProcessed(state.iterations() * screenbench::Document().GetQRSList().GetSize());
}
BENCHMARK(BM_HRVLayout13Repaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterHRVScreenFactories();
  RegisterHRVTableFactories();
  AddHRVScreenResources(platform::Resources().ExePack());
  AddHRVTableResources(platform::Resources().ExePack());
  screenbench::Setup setup;
  setup.name = "hrv_screen";
  setup.minutes = 48 * 60;
  setup.start_layout = kRRTrendLayout;
  return screenbench::Run(argc, argv, setup);
}
