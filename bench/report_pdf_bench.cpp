// The whole report of a 24-hour two-channel recording with every report part switched on, printed
// page by page into the PDF beside the recording as the report export does: the composer made and
// its pages counted, every page recorded and converted, the file saved. Target: under 5 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/resource_packs.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "reports/print_composer_impl.h"
#include "reports/print_part_table.h"
#include "reports/report_pdf_export.h"
#include "reports/reports_context.h"
#include "support/test_recordings.h"
#include "win/printing.h"

namespace {

namespace fs = std::filesystem;

// The print loop's hooks over one composer, as the view drives them.
class ComposerJob : public win::PrintHooks {
 public:
  explicit ComposerJob(PrintComposer& composer) : composer_(composer) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    composer_.CountPages(info, cmd::kPrintWholeReport);
    return true;
  }
  void OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo&) override { composer_.DecideColour(dc); }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrepareDC(dc, info); }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrintPage(dc, info, 1); }
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) override { composer_.CleanUp(dc, info); }

 private:
  PrintComposer& composer_;
};

struct Report {
  platform::MemoryProfileStore profile;
  platform::ManualClock clock{{2026, 3, 4, 14, 5, 9, 0}};
  platform::FixedLocale locale{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc;
  std::string pdf_path;
};

Report* g_report = nullptr;

void BM_WholeReportPdf24h(benchmark::State& state) {
  Report& r = *g_report;
  const ReportPdfTexts texts{"KESTROVA ZK-470 V 2.04", "00001", "Holter ECG report", "Page"};
  int pages = 0;
  bool written = true;
  for (auto _ : state) {
    TPrintComposer composer(*r.doc);
    ComposerJob job(composer);
    win::CPrintInfo info;
    info.preview = true;
    job.OnPreparePrinting(info);
    ReportPdfWriter writer(r.clock);
    written = writer.Write(job, info, texts, r.pdf_path) && written;
    job.OnEndPrinting(nullptr, info);
    pages = composer.GetTotalPages();
    benchmark::DoNotOptimize(pages);
  }
  if (!written) state.SkipWithError("the PDF was not written");
  std::error_code ec;
  const auto bytes = fs::file_size(r.pdf_path, ec);
  state.counters["pages"] = pages;
  state.counters["pdf_kB"] = ec ? 0.0 : static_cast<double>(bytes) / 1024;
  state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_WholeReportPdf24h)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder =
      fs::temp_directory_path() / ("zk470_report_pdf_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::printf("Generating a synthetic 24-hour 2-channel recording...\n");
  const fs::path qrs =
      coretest::MakeAnalysedRecording(folder / "00001", 24 * 60, 2, {"Jürgen", "Müßig", "4711"});

  InstallProgramResources();
  Report report;
  SetPrintLocale(&report.locale);
  SetMonochromePrinting(false);
  int code = 0;
  report.doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, report.profile, report.clock);
  if (!report.doc->OnOpenDocument(qrs.string())) {
    std::printf("the recording did not open\n");
    code = 1;
  } else {
    for (const TPrintPartRow& row : PrintPartTable())
      if (row.user_switch) report.doc->GetSettings().SetInt(*row.user_switch, 1);
    // Full disclosure of whole days: 48 half-hour pages.
    for (auto& day : report.doc->GetRecordingData().fd_day_switches) day = 0;
    report.pdf_path = ReportPdfPath(qrs.string());
    std::printf("%d beats over %d minutes\n", report.doc->GetQRSList().GetSize(),
                report.doc->GetRecordingMinutes());
    g_report = &report;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_report = nullptr;
  }
  report.doc.reset();
  SetPrintLocale(nullptr);
  fs::remove_all(folder);
  return code;
}
