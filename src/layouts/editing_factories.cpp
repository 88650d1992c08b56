#include "layouts/editing_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "layouts/strip_header_area.h"
#include "platform/resources.h"
#include "views/ecg_strip_edit_window.h"
#include "win/dialog_template.h"

namespace {

gfx::Size MinSize(const layouts::LayoutRow& row) { return {row.min_width, row.min_height}; }
gfx::Size PerMille(const layouts::LayoutRow& row) { return {row.per_mille_width, row.per_mille_height}; }

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), MinSize(row), PerMille(row), row.flag != 0);
}

constexpr platform::StringEntry kEnglish[] = {
    {CECGStripWnd::kToolBarTitleString, "ECG strip"},
    {CSampleHeaderArea::kRRModeString, "RR"},
    {CSampleHeaderArea::kRRModeMinString, "1/min"},
    {CSampleHeaderArea::kCaliperString, "Caliper"},
    {16001, " /min"},
};

constexpr platform::StringEntry kGerman[] = {
    {CECGStripWnd::kToolBarTitleString, "EKG-Streifen"},
    {CSampleHeaderArea::kRRModeString, "RR"},
    {CSampleHeaderArea::kRRModeMinString, "1/min"},
    {CSampleHeaderArea::kCaliperString, "Zirkel"},
    {16001, " /min"},
};

}  // namespace

void RegisterEditingFactories() {
  layouts::RegisterNodeFactory("CECGStripWindowConfig", Make<CECGStripWindowConfig>);
  layouts::RegisterNodeFactory("CStripHeaderAreaConfig", Make<CStripHeaderAreaConfig>);
  layouts::RegisterNodeFactory("CSampleHeaderAreaConfig", Make<CSampleHeaderAreaConfig>);
}

void AddEditingResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGerman);
  else
    pack.AddStrings(kEnglish);
}
