// Time to write a full-disclosure style report: 300 A4 pages, each with one minute of ECG drawn
// as a polyline of 7500 points, compressed as the PDF export writes it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "reports/pdf/pdf_writer.h"

namespace {

constexpr int kPages = 300;
constexpr int kPointsPerPage = 7500;  // one minute at 125 samples per second

// A synthetic ECG minute in millivolts: QRS spikes at 72 per minute on a wandering baseline.
std::vector<double> EcgMinute(int minute) {
  std::vector<double> mv(kPointsPerPage);
  for (int i = 0; i < kPointsPerPage; ++i) {
    const double t = i / 125.0;
    const double phase = std::fmod(t * 1.2 + minute * 0.13, 1.0);
    const double qrs = std::exp(-std::pow((phase - 0.3) / 0.012, 2)) * 1.4;
    const double twave = std::exp(-std::pow((phase - 0.6) / 0.05, 2)) * 0.3;
    mv[i] = qrs + twave + 0.05 * std::sin(t * 0.7 + minute);
  }
  return mv;
}

void BM_WriteEcgReport(benchmark::State& state) {
  std::vector<std::vector<double>> minutes;
  for (int m = 0; m < 16; ++m) minutes.push_back(EcgMinute(m));
  const platform::ManualClock clock({2004, 3, 7, 9, 5, 1, 0});
  tvk_setErrorHandler(nullptr);
  size_t bytes = 0;
  for (auto _ : state) {
    tvk_prepare(0);
    tvk_setPdfVersion(1, 2);
    tvk_enableCompression(1);
    tvk_open();
    tvk_setTitle("Holter 00012");
    tvk_setViewerPreferences(1, 0, 0, 0, 0, 0, 0, 0);
    tvk_setUnitSize(28.3464566);
    tvk_OutlineEntry* previous = nullptr;
    for (int page = 1; page <= kPages; ++page) {
      tvk_beginPage(page, 0, "0 0 595 842", "0 0 595 842");
      tvk_setLineJoin(1);
      tvk_setLineCap(1);
      tvk_setLineWidth(0.24);
      tvk_setRgbStroke(0, 0, 0);
      // Ten strips of six seconds across 18 cm, 1 cm per millivolt.
      const std::vector<double>& mv = minutes[page % minutes.size()];
      for (int strip = 0; strip < 10; ++strip) {
        const double y0 = 25.0 - strip * 2.3;
        const int first = strip * 750;
        tvk_plotMoveTo(1.5, y0 + mv[first]);
        for (int i = first + 1; i < first + 750; ++i) tvk_plotLineTo(1.5 + (i - first) * 0.024, y0 + mv[i]);
        tvk_stroke();
      }
      tvk_beginText(0);
      tvk_setFont("Helvetica", "WinAnsiEncoding", 8);
      tvk_plotText(1.5, 28, 0, "Full disclosure - page " + std::to_string(page));
      tvk_endText();
      previous = tvk_addOutline(previous, 0, 1, page, "Full disclosure " + std::to_string(page), 0, 0, 0,
                                0, 0);
      tvk_endPage(page);
    }
    tvk_finishDocument(clock);
    bytes = tvk_memoryBuffer().size();
    benchmark::DoNotOptimize(bytes);
    tvk_release();
  }
  state.SetItemsProcessed(state.iterations() * kPages);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["points"] = kPages * kPointsPerPage;
}

BENCHMARK(BM_WriteEcgReport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
