// Filling the list of a shown dialog shown through the Qt widget host, then running the event
// loop once: the time grows with the rows (5000 rows well under 100 ms). Runs on the offscreen
// platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "qt/qt_dialog.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/dialog_template.h"
#include "win/win_strings.h"
#include "win/window.h"

namespace {

constexpr int kListId = 100;
constexpr int kViewId = 101;
constexpr win::ControlTemplate kControls[] = {
    {kListId, win::ControlKind::kListBox, "", 7, 7, 150, 200},
    {kViewId, win::ControlKind::kListView, "", 165, 7, 200, 200},
};
constexpr win::DialogTemplate kTemplates[] = {{900, "Rows", 372, 214, kControls, false}};

// One window system, its hosts and a shown dialog, for all the runs.
struct Scene {
  Scene() {
    win::AddWindowSystemResources(platform::Resources().ExePack());
    win::Templates().Add(platform::Resources().ExePack(), kTemplates);
    pump = std::make_unique<qthost::EventPump>(win::Windows());
    canvas = std::make_unique<qthost::CanvasHost>(win::Windows(), *pump);
    dialogs = std::make_unique<qthost::DialogHost>(win::Windows(), *pump);
    win::Windows().SetHost(canvas.get());
    win::Windows().SetWidgetHost(dialogs.get());
    main.Create(nullptr, {0, 0, 800, 600}, win::kWsCaption | win::kWsVisible, 0, "Main");
    win::Windows().SetMainWindow(&main);
    dialog.CreateModeless(&main);
    QCoreApplication::processEvents();
  }

  std::unique_ptr<qthost::EventPump> pump;
  std::unique_ptr<qthost::CanvasHost> canvas;
  std::unique_ptr<qthost::DialogHost> dialogs;
  win::Window main;
  win::Dialog dialog{900};
};

Scene& TheScene() {
  static Scene* scene = new Scene;  // lives until the process ends, with the application
  return *scene;
}

std::vector<std::string> RowTexts(int rows) {
  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i)
    texts.push_back("00" + std::to_string(1000 + i) + ".QRS  Patient " + std::to_string(i));
  return texts;
}

void BM_FillListBox(benchmark::State& state) {
  Scene& scene = TheScene();
  auto& list = dynamic_cast<win::ListBox&>(*scene.dialog.GetDlgItem(kListId));
  const std::vector<std::string> texts = RowTexts(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    list.ResetContent();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    for (const std::string& text : texts) list.AddString(text);
    QCoreApplication::processEvents();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FillListBox)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_FillListView(benchmark::State& state) {
  Scene& scene = TheScene();
  auto& view = dynamic_cast<win::ListView&>(*scene.dialog.GetDlgItem(kViewId));
  if (view.GetColumnCount() == 0) {
    view.InsertColumn(0, "File", win::kLvcfmtLeft, 120);
    view.InsertColumn(1, "Rows", win::kLvcfmtLeft, 60);
  }
  const std::vector<std::string> texts = RowTexts(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    view.DeleteAllItems();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    for (size_t i = 0; i < texts.size(); ++i) {
      const int row = view.InsertItem(-1, texts[i]);
      view.SetItemText(row, 1, std::to_string(i));
    }
    QCoreApplication::processEvents();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FillListView)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
