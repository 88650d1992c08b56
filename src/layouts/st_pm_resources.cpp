#include "layouts/st_pm_resources.h"

#include "layouts/pm_template_area.h"
#include "layouts/pm_template_window.h"
#include "layouts/st_trend_area.h"
#include "win/dialog_template.h"

namespace {

// The legend appends " <channel>" itself, so the words stand alone.
constexpr platform::StringEntry kEnglishStrings[] = {
    {kSTLevelString, "Level"},
    {kSTSlopeString, "Slope"},
    {CPMTemplateWnd::kToolBarTitleString, "Template"},
    {CPMTemplateWnd::kClassName13String, "Artefacts"},
    {CPMTemplateWnd::kClassName14String, "Unclassified spikes"},
    {CPMTemplateArea::kTipNext, "Next member"},
    {CPMTemplateArea::kTipPrevious, "Previous member"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kSTLevelString, "Niveau"},
    {kSTSlopeString, "Steigung"},
    {CPMTemplateWnd::kToolBarTitleString, "Schlagform"},
    {CPMTemplateWnd::kClassName13String, "Artefakte"},
    {CPMTemplateWnd::kClassName14String, "Nicht klassifizierte Spikes"},
    {CPMTemplateArea::kTipNext, "Nächstes Element"},
    {CPMTemplateArea::kTipPrevious, "Vorheriges Element"},
};

}  // namespace

void AddSTAndPacemakerViewResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
