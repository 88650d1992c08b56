// The template classes screen with 24 classes (layout 10) at 1920 x 1080 on a 24-hour recording of
// about 100 000 beats: hint 1005 compacts and sorts the template classes once for all browsers,
// rebuilds the rows and refreshes every browser. Target: under 200 ms, with the repaint that the
// hint causes.
#include <benchmark/benchmark.h>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/template_review_factories.h"
#include "screen_bench.h"
#include "views/base_view.h"
#include "views/layout_tree.h"

namespace {

constexpr int kLargeTemplateLayout = 10;

// The analysis' classes: every beat in a class of its family, 40 normal, 20 VES, 10 SVES and one
// artefact class, filled by turns so that the sizes differ little and the sort has work.
void FillTemplateClasses() {
  CZK470Doc& doc = screenbench::Document();
  TRecordingData& record = doc.GetRecordingData();
  const TQRSList& beats = doc.GetQRSList();
  for (const int family : {0, 1, 2, 3}) {
    for (TTemplateList& list : record.TemplateClasses(family)) list.RemoveAll();
  }
  for (int b = 0; b < beats.GetSize(); ++b) {
    const int beat_class = beats.ElementAt(b)->GetClass();
    const int family = beat_class == kClassVES        ? 0
                       : beat_class == kClassSVES     ? 3
                       : beat_class == kClassArtefact ? 2
                                                      : 1;
    const int classes = family == 0 ? 20 : family == 3 ? 10 : family == 2 ? 1 : 40;
    record.TemplateClasses(family)[static_cast<size_t>(b * 7 % classes)].Append(b);
  }
}

void ShowLayout() {
  static const bool filled = (FillTemplateClasses(), true);
  benchmark::DoNotOptimize(filled);
  screenbench::Document().GetSettings().SetInt(SettingKey::kTemplatesView, 1);
  screenbench::View().GetSelector()->Select(kLargeTemplateLayout);
  screenbench::Paint();
}

void BM_DocumentChangedHint(benchmark::State& state) {
  ShowLayout();
  for (auto _ : state) {
    screenbench::Document().UpdateAllViews(nullptr, hint::kDocumentChanged);
    benchmark::DoNotOptimize(screenbench::Document().GetTemplateClassList().data());
  }
  state.counters["rows"] = static_cast<double>(screenbench::Document().GetTemplateClassList().size());
  state.SetItemsProcessed(state.iterations() * screenbench::Document().GetQRSList().GetSize());
}
BENCHMARK(BM_DocumentChangedHint)->Unit(benchmark::kMillisecond);

void BM_DocumentChangedHintAndRepaint(benchmark::State& state) {
  ShowLayout();
  for (auto _ : state) {
    screenbench::Document().UpdateAllViews(nullptr, hint::kDocumentChanged);
    screenbench::Paint();
  }
}
BENCHMARK(BM_DocumentChangedHintAndRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterTemplateReviewFactories();
  screenbench::Setup setup;
  setup.name = "template_review_bench";
  setup.start_layout = 5;
  return screenbench::Run(argc, argv, setup);
}
