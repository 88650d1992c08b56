#include "layouts/screen_factories.h"

#include "layouts/beat_page_factories.h"
#include "layouts/editing_factories.h"
#include "layouts/hr_navigator_factories.h"
#include "layouts/navigation_factories.h"
#include "layouts/page_factories.h"
#include "layouts/panel_factories.h"
#include "layouts/pm_template_factories.h"
#include "layouts/sample_window_factories.h"
#include "layouts/st_trend_factories.h"
#include "layouts/strip_area_factories.h"
#include "layouts/sweep_factories.h"
#include "layouts/template_review_factories.h"
#include "layouts/trend_factories.h"

void RegisterScreenFactories() {
  RegisterStripAreaFactories();
  RegisterSampleWindowFactories();
  RegisterNavigationFactories();
  RegisterPageFactories();
  RegisterSweepFactories();
  RegisterEditingFactories();
  RegisterSTTrendFactories();
  RegisterPMTemplateFactories();
  RegisterBeatPageFactories();
  RegisterTemplateReviewFactories();
  RegisterTrendFactories();
  RegisterPanelFactories();
  RegisterHRNavigatorFactories();
}
