#include "layouts/navigation_factories.h"

#include <memory>

#include "layouts/band_legend_area.h"
#include "layouts/count_legend_area.h"
#include "layouts/event_legend_area.h"
#include "layouts/event_tick_area.h"
#include "layouts/layout_table.h"
#include "views/caption_areas.h"
#include "views/navigation_window.h"

namespace {

using layouts::LayoutRow;

gfx::Size MinSize(const LayoutRow& row) { return {row.min_width, row.min_height}; }
gfx::Size PerMille(const LayoutRow& row) { return {row.per_mille_width, row.per_mille_height}; }

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), MinSize(row), PerMille(row), row.flag != 0);
}

template <typename Config>
std::unique_ptr<CViewAreaConfig> MakeWithVariant(const LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), MinSize(row), PerMille(row), row.flag != 0,
                                  row.argument);
}

}  // namespace

void RegisterNavigationFactories() {
  layouts::RegisterNodeFactory("CNavigationWindowConfig", Make<CNavigationWindowConfig>);
  layouts::RegisterNodeFactory("CCaptionAreaConfig", Make<CCaptionAreaConfig>);
  layouts::RegisterNodeFactory("CTimeAxisAreaConfig", Make<CTimeAxisAreaConfig>);
  layouts::RegisterNodeFactory("CBeatCountAreaConfig", Make<CBeatCountAreaConfig>);
  layouts::RegisterNodeFactory("CBandLegendAreaConfig", Make<CBandLegendAreaConfig>);
  layouts::RegisterNodeFactory("CFrameBoxAreaConfig", Make<CFrameBoxAreaConfig>);
  layouts::RegisterNodeFactory("CCountLegendAreaConfig", MakeWithVariant<CCountLegendAreaConfig>);
  layouts::RegisterNodeFactory("CEventLegendAreaConfig", MakeWithVariant<CEventLegendAreaConfig>);
  layouts::RegisterNodeFactory("CEventTickAreaConfig", MakeWithVariant<CEventTickAreaConfig>);
}
