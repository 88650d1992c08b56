#include "layouts/panel_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "views/document_display.h"
#include "views/logo_window.h"
#include "views/online_panel.h"
#include "win/dialog_template.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

constexpr platform::StringEntry kEnglishStrings[] = {
    {COnlinePanelArea::kFirstButtonText, "Start recording"},
    {COnlinePanelArea::kSecondButtonText, "Cancel"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {COnlinePanelArea::kFirstButtonText, "Aufzeichnung starten"},
    {COnlinePanelArea::kSecondButtonText, "Abbrechen"},
};

}  // namespace

void RegisterPanelFactories() {
  layouts::RegisterNodeFactory("CLogoWindowConfig", Make<CLogoWindowConfig>);
  layouts::RegisterNodeFactory("COnlinePanelWindowConfig", Make<COnlinePanelWindowConfig>);
  layouts::RegisterNodeFactory("COnlinePanelAreaConfig", Make<COnlinePanelAreaConfig>);
  layouts::RegisterNodeFactory("CDocumentBrowserWindowConfig", Make<CDocumentBrowserWindowConfig>);
}

void AddPanelResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
