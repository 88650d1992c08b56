#include "trends/trend_screens.h"

void RegisterTrendScreenFactories() {}

void AddTrendScreenResources(platform::ResourcePack& pack) {}
