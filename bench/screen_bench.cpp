#include "screen_bench.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/screen_factories.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "support/test_recordings.h"
#include "views/base_view.h"
#include "views/view_area.h"
#include "win/prompt.h"
#include "win/window.h"

namespace screenbench {
namespace {

class BenchView : public CBaseView {
 public:
  BenchView(CZK470Doc* doc, int start_layout) : CBaseView(doc), start_layout_(start_layout) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(start_layout_); }

 private:
  int start_layout_;
};

BenchView* g_view = nullptr;
CZK470Doc* g_doc = nullptr;

}  // namespace

CBaseView& View() { return *g_view; }
CZK470Doc& Document() { return *g_doc; }

void Paint() {
  g_view->Invalidate();
  win::Windows().RunPending();
}

int Run(int argc, char** argv, const Setup& setup) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  std::string name(setup.name);
  char* qt_argv[] = {name.data(), nullptr};
  QApplication app(qt_argc, qt_argv);
  win::ScriptedPrompt prompt;
  win::ScopedPrompt prompt_guard(prompt);

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zk470_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::printf("Generating a synthetic %d-minute %d-channel recording...\n", setup.minutes, setup.channels);
  const std::filesystem::path qrs =
      coretest::MakeAnalysedRecording(folder / "00001", setup.minutes, setup.channels);

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
      BenchView view(&doc, setup.start_layout);
      g_view = &view;
      g_doc = &doc;
      if (!view.Create(nullptr, {0, 0, setup.width, setup.height}, win::kWsVisible)) {
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

}  // namespace screenbench
