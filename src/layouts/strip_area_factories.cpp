#include "layouts/strip_area_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "views/ecg_strip_area.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> MakeStrip(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

}  // namespace

void RegisterStripAreaFactories() {
  layouts::RegisterNodeFactory("CSampleStripAreaConfig", MakeStrip<CSampleStripAreaConfig>);
  layouts::RegisterNodeFactory("CECGStripAreaConfig", MakeStrip<CECGStripAreaConfig>);
}
