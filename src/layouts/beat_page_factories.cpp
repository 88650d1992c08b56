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

// The prompts (status text, a line end, the tool tip) serve every template window's bar.
constexpr platform::StringEntry kEnglishStrings[] = {
    {CBeatPageArea::kPageString, "Page"},
    {CBeatPageWnd::kToolBarTitleString, "Template"},
    {CBeatPageWnd::kCmdTemplateClasses, "Goes back to the template classes\nTemplate classes"},
    {CBeatPageWnd::kCmdPageBack, "Shows the previous page of beats\nPrevious page"},
    {CBeatPageWnd::kCmdPageForward, "Shows the next page of beats\nNext page"},
    {CBeatPageWnd::kCmdDistanceUp, "Widens the distance between the channels\nWider channel distance"},
    {CBeatPageWnd::kCmdDistanceDown, "Narrows the distance between the channels\nNarrower channel distance"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {CBeatPageArea::kPageString, "Seite"},
    {CBeatPageWnd::kToolBarTitleString, "Schlagform"},
    {CBeatPageWnd::kCmdTemplateClasses, "Zurück zu den Templateklassen\nTemplateklassen"},
    {CBeatPageWnd::kCmdPageBack, "Zeigt die vorige Seite der Schläge\nVorige Seite"},
    {CBeatPageWnd::kCmdPageForward, "Zeigt die nächste Seite der Schläge\nNächste Seite"},
    {CBeatPageWnd::kCmdDistanceUp, "Vergrößert den Abstand der Kanäle\nGrößerer Kanalabstand"},
    {CBeatPageWnd::kCmdDistanceDown, "Verkleinert den Abstand der Kanäle\nKleinerer Kanalabstand"},
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
