// Time to show each built-in screen, with the program's areas, at 1920 x 1080 on a 24-hour
// recording with the generator's beats as its analysis: select the layout (create, attach and lay out its
// areas and windows), then paint the whole view into the Qt host's backing store offscreen. Target: under 10
// ms each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/test_recordings.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/screen_factories.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "views/base_view.h"
#include "views/view_area.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
// Selected between two timed selections so that each one builds its screen anew.
constexpr int kOtherLayout = 5;

class BenchView : public CBaseView {
 public:
  explicit BenchView(CZK470Doc* doc) : CBaseView(doc) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(kOtherLayout); }
};

BenchView* g_view = nullptr;

void Paint() {
  g_view->Invalidate();
  win::Windows().RunPending();
}

void BM_SelectLayOutAndPaint(benchmark::State& state) {
  const int layout = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    g_view->GetSelector()->Select(layout == kOtherLayout ? 0 : kOtherLayout);
    Paint();
    state.ResumeTiming();
    if (!g_view->GetSelector()->Select(layout)) state.SkipWithError("the layout was not selected");
    Paint();
  }
  benchmark::DoNotOptimize(g_view->GetSelector()->GetCurrent());
}
BENCHMARK(BM_SelectLayOutAndPaint)->DenseRange(0, kLayoutCount - 1)->Unit(benchmark::kMillisecond);

// A repaint of the screen already shown, as after a document update.
void BM_Repaint(benchmark::State& state) {
  const int layout = static_cast<int>(state.range(0));
  g_view->GetSelector()->Select(layout);
  Paint();
  for (auto _ : state) Paint();
}
BENCHMARK(BM_Repaint)->DenseRange(0, kLayoutCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  char name[] = "layout_screens_bench";
  char* qt_argv[] = {name, nullptr};
  QApplication app(qt_argc, qt_argv);
  win::ScriptedPrompt prompt;
  win::ScopedPrompt prompt_guard(prompt);

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zk470_layout_screens_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::printf("Generating a synthetic 24-hour 2-channel recording...\n");
  const std::filesystem::path qrs = coretest::MakeAnalysedRecording(folder / "00001", 24 * 60, 2);

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
      std::printf("%d beats over %d minutes\n", doc.GetQRSList().GetSize(), doc.GetRecordingMinutes());
      BenchView view(&doc);
      g_view = &view;
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
      DeleteDefaultLayouts();
    }
  }
  win::Windows().SetHost(nullptr);
  win::Windows().SetClock(nullptr);
  std::filesystem::remove_all(folder);
  return code;
}
