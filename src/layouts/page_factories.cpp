#include "layouts/page_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "views/ecg_page_window.h"
#include "views/full_disclosure_area.h"
#include "views/st_scale_area.h"

namespace {

template <typename Config>
void Register(const char* class_name) {
  layouts::RegisterNodeFactory(class_name, [](const layouts::LayoutRow& row) {
    return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                    gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
  });
}

}  // namespace

void RegisterPageFactories() {
  Register<CECGWindowConfig>("CECGWindowConfig");
  Register<CECGRowTimeAreaConfig>("CECGRowTimeAreaConfig");
  Register<CFullDisclosureAreaConfig>("CFullDisclosureAreaConfig");
  Register<CSTScaleAreaConfig>("CSTScaleAreaConfig");
}
