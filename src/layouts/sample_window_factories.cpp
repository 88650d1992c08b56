#include "layouts/sample_window_factories.h"

#include <memory>

#include "layouts/event_label_area.h"
#include "layouts/layout_table.h"
#include "views/beat_annotation_area.h"
#include "views/beat_label_area.h"
#include "views/ecg_sample_window.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> MakeRow(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

std::unique_ptr<CViewAreaConfig> MakeSampleWindow(const layouts::LayoutRow& row) {
  return std::make_unique<CECGSampleWindowConfig>(
      layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
      gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0, row.argument);
}

}  // namespace

void RegisterSampleWindowFactories() {
  layouts::RegisterNodeFactory("CECGSampleWindowConfig", MakeSampleWindow);
  layouts::RegisterNodeFactory("CSampleAnnotationAreaConfig", MakeRow<CSampleAnnotationAreaConfig>);
  layouts::RegisterNodeFactory("CBeatAnnotationAreaConfig", MakeRow<CBeatAnnotationAreaConfig>);
  layouts::RegisterNodeFactory("CSampleBeatLabelAreaConfig", MakeRow<CSampleBeatLabelAreaConfig>);
  layouts::RegisterNodeFactory("CBeatLabelAreaConfig", MakeRow<CBeatLabelAreaConfig>);
  layouts::RegisterNodeFactory("CSampleEventLabelAreaConfig", MakeRow<CSampleEventLabelAreaConfig>);
  layouts::RegisterNodeFactory("CEventLabelAreaConfig", MakeRow<CEventLabelAreaConfig>);
}
