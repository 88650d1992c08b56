#include "layouts/screen_factories.h"

#include "layouts/editing_factories.h"
#include "layouts/navigation_factories.h"
#include "layouts/page_factories.h"
#include "layouts/pm_template_factories.h"
#include "layouts/sample_window_factories.h"
#include "layouts/st_trend_factories.h"
#include "layouts/strip_area_factories.h"
#include "layouts/sweep_factories.h"

void RegisterScreenFactories() {
  RegisterStripAreaFactories();
  RegisterSampleWindowFactories();
  RegisterNavigationFactories();
  RegisterPageFactories();
  RegisterSweepFactories();
  RegisterEditingFactories();
  RegisterSTTrendFactories();
  RegisterPMTemplateFactories();
}
