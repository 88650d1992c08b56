#include "layouts/st_trend_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "layouts/st_trend_area.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

}  // namespace

void RegisterSTTrendFactories() {
  layouts::RegisterNodeFactory("CSTTrendWindowConfig", Make<CSTTrendWindowConfig>);
  layouts::RegisterNodeFactory("CSTTrendAreaConfig", Make<CSTTrendAreaConfig>);
  layouts::RegisterNodeFactory("CSTLegendAreaConfig", Make<CSTLegendAreaConfig>);
}
