#include "trends/trend_screens.h"

#include "trends/hrv_screen_factories.h"
#include "trends/hrv_table_factories.h"
#include "trends/statistics_factories.h"

void RegisterTrendScreenFactories() {
  RegisterHRVTableFactories();
  RegisterHRVScreenFactories();
  RegisterStatisticsFactories();
}

void AddTrendScreenResources(platform::ResourcePack& pack) {
  AddHRVTableResources(pack);
  AddHRVScreenResources(pack);
  AddStatisticsResources(pack);
}
