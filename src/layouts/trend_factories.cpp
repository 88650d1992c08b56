#include "layouts/trend_factories.h"

#include <memory>

#include "layouts/bar_graph_areas.h"
#include "layouts/hr_trend_areas.h"
#include "layouts/layout_table.h"
#include "platform/resources.h"
#include "win/dialog_template.h"

namespace {

gfx::Size MinSize(const layouts::LayoutRow& row) { return {row.min_width, row.min_height}; }
gfx::Size PerMille(const layouts::LayoutRow& row) { return {row.per_mille_width, row.per_mille_height}; }

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), MinSize(row), PerMille(row), row.flag != 0);
}

std::unique_ptr<CViewAreaConfig> MakeClassBarGraph(const layouts::LayoutRow& row) {
  return std::make_unique<CClassBarGraphAreaConfig>(layouts::ToPosition(row), MinSize(row), PerMille(row),
                                                    row.flag != 0, row.argument);
}

// The scale's title and caption (14376, 14377) and unit (14389) are shared with the navigator's
// scale, the dialogs and the reports, which bring their texts. Command prompts: the status-bar
// text, a line end, the tool tip.
constexpr platform::StringEntry kEnglish[] = {
    {kHRLegendMinString, "Min"},
    {kHRLegendMeanString, "Avg"},
    {kHRLegendMaxString, "Max"},
    {kBarGraphVentricularCommand, "Show the ventricular beats and runs per hour\nVentricular"},
    {kBarGraphSupraventricularCommand, "Show the supraventricular beats and runs per hour\nSupraventricular"},
    {kBarGraphOtherGroupCommand,
     "Show markers, lead off, artefacts, pauses, bradycardia and tachycardia per hour\nOther events"},
};

constexpr platform::StringEntry kGerman[] = {
    {kHRLegendMinString, "Min"},
    {kHRLegendMeanString, "Ø"},
    {kHRLegendMaxString, "Max"},
    {kBarGraphVentricularCommand, "Ventrikuläre Schläge und Salven pro Stunde zeigen\nVentrikulär"},
    {kBarGraphSupraventricularCommand,
     "Supraventrikuläre Schläge und Salven pro Stunde zeigen\nSupraventrikulär"},
    {kBarGraphOtherGroupCommand,
     "Marker, Elektrodenablösung, Artefakte, Pausen, Bradykardie und Tachykardie pro Stunde zeigen\n"
     "Andere Ereignisse"},
};

}  // namespace

void RegisterTrendFactories() {
  layouts::RegisterNodeFactory("CHRTrendAreaConfig", Make<CHRTrendAreaConfig>);
  layouts::RegisterNodeFactory("CHRScaleAreaConfig", Make<CHRScaleAreaConfig>);
  layouts::RegisterNodeFactory("CHRTrendLegendAreaConfig", Make<CHRTrendLegendAreaConfig>);
  layouts::RegisterNodeFactory("CTrendCaptionAreaConfig", Make<CTrendCaptionAreaConfig>);
  layouts::RegisterNodeFactory("CTrendBorderAreaConfig", Make<CTrendBorderAreaConfig>);
  layouts::RegisterNodeFactory("CBarGraphAreaConfig", Make<CBarGraphAreaConfig>);
  layouts::RegisterNodeFactory("CClassBarGraphAreaConfig", MakeClassBarGraph);
  layouts::RegisterNodeFactory("CBarGraphWindowConfig", Make<CBarGraphWindowConfig>);
}

void AddTrendResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGerman);
  else
    pack.AddStrings(kEnglish);
}
