// Time to show each built-in screen, with the program's areas, at 1920 x 1080 on a 24-hour
// recording with the generator's beats as its analysis: select the layout (create, attach and lay out its
// areas and windows), then paint the whole view into the Qt host's backing store offscreen. Target: under 10
// ms each (the ECG page screens build their page as well: see ecg_page_bench).
#include <benchmark/benchmark.h>

#include "layouts/default_layouts.h"
#include "screen_bench.h"
#include "views/base_view.h"
#include "views/layout_tree.h"

namespace {

// Selected between two timed selections so that each one builds its screen anew.
constexpr int kOtherLayout = 5;

using screenbench::Paint;

void BM_SelectLayOutAndPaint(benchmark::State& state) {
  const int layout = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    screenbench::View().GetSelector()->Select(layout == kOtherLayout ? 0 : kOtherLayout);
    Paint();
    state.ResumeTiming();
    if (!screenbench::View().GetSelector()->Select(layout))
      state.SkipWithError("the layout was not selected");
    Paint();
  }
  benchmark::DoNotOptimize(screenbench::View().GetSelector()->GetCurrent());
}
BENCHMARK(BM_SelectLayOutAndPaint)->DenseRange(0, kLayoutCount - 1)->Unit(benchmark::kMillisecond);

// A repaint of the screen already shown, as after a document update.
void BM_Repaint(benchmark::State& state) {
  const int layout = static_cast<int>(state.range(0));
  screenbench::View().GetSelector()->Select(layout);
  Paint();
  for (auto _ : state) Paint();
}
BENCHMARK(BM_Repaint)->DenseRange(0, kLayoutCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  screenbench::Setup setup;
  setup.name = "layout_screens_bench";
  setup.start_layout = kOtherLayout;
  return screenbench::Run(argc, argv, setup);
}
