#include "layouts/sweep_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "views/online_ecg_area.h"

void RegisterSweepFactories() {
  layouts::RegisterNodeFactory("COnlineECGAreaConfig", [](const layouts::LayoutRow& row) {
    return std::make_unique<COnlineECGAreaConfig>(
        layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
        gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0, row.argument);
  });
}
