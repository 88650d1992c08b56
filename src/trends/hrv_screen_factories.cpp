#include "trends/hrv_screen_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "trends/hrv_chart_kinds.h"
#include "trends/hrv_trend_window.h"
#include "win/dialog_template.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

// The tips follow the order of CHRVTrendWnd::kFirstTipString.
constexpr platform::StringEntry kEnglishStrings[] = {
    {kRRTrendTitle, "RR intervals [ms]"},
    {kRRDifferenceTitle, "Successive RR differences [ms]"},
    {kRRSegmentMeanTitle, "Mean RR interval of 5-minute segments [ms]"},
    {kRRSegmentSDTitle, "Standard deviation of 5-minute segments [ms]"},
    {kRRHistogramTitle, "Deviation of RR intervals from the mean [% of intervals]"},
    {kRRHistogramCaption, "Deviation from the mean RR interval [%]"},
    {CHRVTrendWnd::kFirstTipString + 0, "RR intervals and differences"},
    {CHRVTrendWnd::kFirstTipString + 1, "Segment means and standard deviations"},
    {CHRVTrendWnd::kFirstTipString + 2, "Deviation histogram"},
    {CHRVTrendWnd::kFirstTipString + 3, "Recalculate"},
    {CHRVTrendWnd::kFirstTipString + 4, "Zoom out"},
    {CHRVTrendWnd::kFirstTipString + 5, "Zoom in"},
    {CHRVTrendWnd::kFirstTipString + 6, "Smaller scale"},
    {CHRVTrendWnd::kFirstTipString + 7, "Larger scale"},
    {CHRVTrendWnd::kFirstTipString + 8, "Shortest NN interval"},
    {CHRVTrendWnd::kFirstTipString + 9, "Next longer NN interval"},
    {CHRVTrendWnd::kFirstTipString + 10, "Longest NN interval"},
    {CHRVTrendWnd::kFirstTipString + 11, "Next shorter NN interval"},
    {CHRVTrendWnd::kFirstTipString + 12, "Day 1"},
    {CHRVTrendWnd::kFirstTipString + 13, "Day 2"},
    {CHRVTrendWnd::kFirstTipString + 14, "Day 3"},
    {CHRVTrendWnd::kFirstTipString + 15, "Whole recording"},
    {CHRVTrendWnd::kFirstTipString + 16, "Set mark"},
    {CHRVTrendWnd::kFirstTipString + 17, "Return to mark"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kRRTrendTitle, "RR-Intervalle [ms]"},
    {kRRDifferenceTitle, "Aufeinanderfolgende RR-Differenzen [ms]"},
    {kRRSegmentMeanTitle, "Mittleres RR-Intervall der 5-Minuten-Abschnitte [ms]"},
    {kRRSegmentSDTitle, "Standardabweichung der 5-Minuten-Abschnitte [ms]"},
    {kRRHistogramTitle, "Abweichung der RR-Intervalle vom Mittelwert [% der Intervalle]"},
    {kRRHistogramCaption, "Abweichung vom mittleren RR-Intervall [%]"},
    {CHRVTrendWnd::kFirstTipString + 0, "RR-Intervalle und Differenzen"},
    {CHRVTrendWnd::kFirstTipString + 1, "Abschnittsmittel und Standardabweichungen"},
    {CHRVTrendWnd::kFirstTipString + 2, "Abweichungshistogramm"},
    {CHRVTrendWnd::kFirstTipString + 3, "Neu berechnen"},
    {CHRVTrendWnd::kFirstTipString + 4, "Verkleinern"},
    {CHRVTrendWnd::kFirstTipString + 5, "Vergrößern"},
    {CHRVTrendWnd::kFirstTipString + 6, "Kleinere Skala"},
    {CHRVTrendWnd::kFirstTipString + 7, "Größere Skala"},
    {CHRVTrendWnd::kFirstTipString + 8, "Kürzestes NN-Intervall"},
    {CHRVTrendWnd::kFirstTipString + 9, "Nächstlängeres NN-Intervall"},
    {CHRVTrendWnd::kFirstTipString + 10, "Längstes NN-Intervall"},
    {CHRVTrendWnd::kFirstTipString + 11, "Nächstkürzeres NN-Intervall"},
    {CHRVTrendWnd::kFirstTipString + 12, "Tag 1"},
    {CHRVTrendWnd::kFirstTipString + 13, "Tag 2"},
    {CHRVTrendWnd::kFirstTipString + 14, "Tag 3"},
    {CHRVTrendWnd::kFirstTipString + 15, "Gesamte Aufnahme"},
    {CHRVTrendWnd::kFirstTipString + 16, "Marke setzen"},
    {CHRVTrendWnd::kFirstTipString + 17, "Zur Marke zurück"},
};

static_assert(std::size(kEnglishStrings) == 6 + CHRVTrendWnd::kTipStrings);
static_assert(std::size(kGermanStrings) == std::size(kEnglishStrings));

}  // namespace

void RegisterHRVScreenFactories() {
  layouts::RegisterNodeFactory("CHRVTrendWindowConfig", Make<CHRVTrendWindowConfig>);
  layouts::RegisterNodeFactory("CRRTrendAreaConfig", Make<CRRTrendAreaConfig>);
  layouts::RegisterNodeFactory("CRRDifferenceAreaConfig", Make<CRRDifferenceAreaConfig>);
  layouts::RegisterNodeFactory("CRRSegmentMeanAreaConfig", Make<CRRSegmentMeanAreaConfig>);
  layouts::RegisterNodeFactory("CRRSegmentSDAreaConfig", Make<CRRSegmentSDAreaConfig>);
  layouts::RegisterNodeFactory("CRRDifferenceHistogramAreaConfig", Make<CRRDifferenceHistogramAreaConfig>);
}

void AddHRVScreenResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
