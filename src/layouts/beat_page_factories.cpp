#include "layouts/beat_page_factories.h"

#include <memory>

#include "layouts/beat_page_area.h"
#include "layouts/beat_page_window.h"
#include "layouts/layout_table.h"
#include "platform/resources.h"
#include "win/dialog_template.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

constexpr platform::StringEntry kEnglishStrings[] = {
    {CBeatPageArea::kPageString, "Page"},
    {CBeatPageWnd::kToolBarTitleString, "Template"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {CBeatPageArea::kPageString, "Seite"},
    {CBeatPageWnd::kToolBarTitleString, "Template"},
};

}  // namespace

void RegisterBeatPageFactories() {
  layouts::RegisterNodeFactory("CBeatPageWindowConfig", Make<CBeatPageWindowConfig>);
  layouts::RegisterNodeFactory("CBeatPageAreaConfig", Make<CBeatPageAreaConfig>);
}

void AddBeatPageResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
  pack.AddStrings(CBeatPageWnd::ContextMenuStrings(german));
}
