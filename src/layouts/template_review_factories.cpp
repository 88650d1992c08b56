#include "layouts/template_review_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "layouts/template_browser_area.h"
#include "layouts/template_classes_window.h"
#include "layouts/template_detail_window.h"
#include "win/dialog_template.h"

namespace {

template <typename Config>
void RegisterWindow(std::string_view name) {
  layouts::RegisterNodeFactory(name, [](const layouts::LayoutRow& row) {
    return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                    gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
  });
}

template <typename Config>
void RegisterArea(std::string_view name) {
  layouts::RegisterNodeFactory(name, [](const layouts::LayoutRow& row) {
    return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                    gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0,
                                    row.argument);
  });
}

using templatetext::kSpecialNames;

constexpr platform::StringEntry kEnglishStrings[] = {
    {templatetext::kCountTip, "Show the beats of this class"},
    {kSpecialNames[0], "Unassigned"},
    {kSpecialNames[1], "Edited beats"},
    {kSpecialNames[2], "Edited beats"},
    {kSpecialNames[3], "Further VES"},
    {kSpecialNames[4], "Unassigned"},
    {kSpecialNames[5], "Edited beats"},
    {kTemplateMenuFirstString + 0, "Move class to VES"},
    {kTemplateMenuFirstString + 1, "Move class to normal"},
    {kTemplateMenuFirstString + 2, "Move class to artefacts"},
    {kTemplateMenuFirstString + 3, "Move class to SVES"},
    {kTemplateMenuDeleteString, "Delete all beats of the class"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {templatetext::kCountTip, "Schläge dieser Klasse zeigen"},
    {kSpecialNames[0], "Nicht zugeordnet"},
    {kSpecialNames[1], "Bearbeitete Schläge"},
    {kSpecialNames[2], "Bearbeitete Schläge"},
    {kSpecialNames[3], "Weitere VES"},
    {kSpecialNames[4], "Nicht zugeordnet"},
    {kSpecialNames[5], "Bearbeitete Schläge"},
    {kTemplateMenuFirstString + 0, "Klasse zu VES verschieben"},
    {kTemplateMenuFirstString + 1, "Klasse zu Normal verschieben"},
    {kTemplateMenuFirstString + 2, "Klasse zu Artefakten verschieben"},
    {kTemplateMenuFirstString + 3, "Klasse zu SVES verschieben"},
    {kTemplateMenuDeleteString, "Alle Schläge der Klasse löschen"},
};

}  // namespace

void RegisterTemplateReviewFactories() {
  RegisterWindow<CTemplateClassesWindowConfig>("CTemplateClassesWindowConfig");
  RegisterWindow<CTemplateDetailWindowConfig>("CTemplateDetailWindowConfig");
  RegisterArea<CTemplateBrowserAreaConfig>("CTemplateBrowserAreaConfig");
  RegisterArea<CTemplateDetailAreaConfig>("CTemplateDetailAreaConfig");
}

void AddTemplateReviewResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
