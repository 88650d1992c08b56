#include "layouts/st_pm_resources.h"

#include <gtest/gtest.h>

#include <string>

#include "layouts/pm_template_area.h"
#include "layouts/pm_template_window.h"
#include "layouts/st_trend_area.h"
#include "platform/resources.h"

namespace {

constexpr int kIds[] = {kSTLevelString,
                        kSTSlopeString,
                        CPMTemplateWnd::kToolBarTitleString,
                        CPMTemplateWnd::kClassName13String,
                        CPMTemplateWnd::kClassName14String,
                        CPMTemplateArea::kTipNext,
                        CPMTemplateArea::kTipPrevious};

TEST(STAndPacemakerViewResources, EveryIdHasATextInBothLanguages) {
  platform::ResourcePack english("ZK470Eng");
  platform::ResourcePack german("ZK470Ger");
  AddSTAndPacemakerViewResources(english);
  AddSTAndPacemakerViewResources(german);
  for (const int id : kIds) {
    SCOPED_TRACE(id);
    const auto en = english.FindString(id);
    const auto de = german.FindString(id);
    ASSERT_TRUE(en.has_value());
    ASSERT_TRUE(de.has_value());
    EXPECT_FALSE(en->empty());
    EXPECT_FALSE(de->empty());
  }
  // Each pack gets its own language, not the other's.
  EXPECT_EQ(english.FindString(kSTLevelString), "Level");
  EXPECT_EQ(german.FindString(kSTLevelString), "Niveau");
}

TEST(STAndPacemakerViewResources, LoadsFollowTheChosenLanguagePack) {
  platform::ResourcePack german("ZK470Ger");
  AddSTAndPacemakerViewResources(german);
  const platform::ResourcePack* before = platform::Resources().LanguagePack();
  platform::Resources().SetLanguagePack(&german);
  EXPECT_EQ(platform::LoadString(kSTSlopeString), "Steigung");
  EXPECT_EQ(platform::LoadString(CPMTemplateWnd::kClassName13String), "Artefakte");
  platform::Resources().SetLanguagePack(before);
}

}  // namespace
