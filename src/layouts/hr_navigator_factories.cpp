#include "layouts/hr_navigator_factories.h"

#include <memory>

#include "layouts/hr_navigator_area.h"
#include "layouts/hr_navigator_window.h"
#include "layouts/layout_table.h"
#include "platform/resources.h"
#include "win/dialog_template.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

// Button texts in the order of the commands 33275..33288, then the NN go-to pair.
constexpr platform::StringEntry kEnglish[] = {
    {33294, "Highest HR"},
    {33295, "Next higher HR"},
    {33296, "Next lower HR"},
    {33297, "Lowest HR"},
    {33298, "Store as HR max"},
    {33299, "Store as HR min"},
    {33300, "Go to HR max"},
    {33301, "Go to HR min"},
    {33302, "Longest NN"},
    {33303, "Next longer NN"},
    {33304, "Next shorter NN"},
    {33305, "Shortest NN"},
    {33306, "Store as NN max"},
    {33307, "Store as NN min"},
    {CHRNavigatorWnd::kGoToNNMaxString, "Go to NN max"},
    {CHRNavigatorWnd::kGoToNNMinString, "Go to NN min"},
    {CMinMaxScaleArea::kHeartRateString, "HR"},
};

constexpr platform::StringEntry kGerman[] = {
    {33294, "Höchste HF"},
    {33295, "Nächsthöhere HF"},
    {33296, "Nächstniedrigere HF"},
    {33297, "Niedrigste HF"},
    {33298, "Als HF-Max. speichern"},
    {33299, "Als HF-Min. speichern"},
    {33300, "Zum HF-Max."},
    {33301, "Zum HF-Min."},
    {33302, "Längstes NN"},
    {33303, "Nächstlängeres NN"},
    {33304, "Nächstkürzeres NN"},
    {33305, "Kürzestes NN"},
    {33306, "Als NN-Max. speichern"},
    {33307, "Als NN-Min. speichern"},
    {CHRNavigatorWnd::kGoToNNMaxString, "Zum NN-Max."},
    {CHRNavigatorWnd::kGoToNNMinString, "Zum NN-Min."},
    {CMinMaxScaleArea::kHeartRateString, "HF"},
};

}  // namespace

void RegisterHRNavigatorFactories() {
  layouts::RegisterNodeFactory("CHRNavigatorWindowConfig", Make<CHRNavigatorWindowConfig>);
  layouts::RegisterNodeFactory("CHRNavigatorAreaConfig", Make<CHRNavigatorAreaConfig>);
  layouts::RegisterNodeFactory("CMinMaxScaleAreaConfig", Make<CMinMaxScaleAreaConfig>);
}

void AddHRNavigatorResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGerman);
  else
    pack.AddStrings(kEnglish);
}
