#include "layouts/pm_template_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "layouts/pm_template_area.h"
#include "layouts/pm_template_window.h"

void RegisterPMTemplateFactories() {
  layouts::RegisterNodeFactory("CPMTemplateWindowConfig", [](const layouts::LayoutRow& row) {
    return std::make_unique<CPMTemplateWindowConfig>(
        layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
        gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
  });
  layouts::RegisterNodeFactory("CPMTemplateAreaConfig", [](const layouts::LayoutRow& row) {
    return std::make_unique<CPMTemplateAreaConfig>(
        layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
        gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0, row.argument);
  });
}
