#include "platform/resources.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

class ResourcesTest : public testing::Test {
 protected:
  void SetUp() override {
    Resources().Reset();
    constexpr StringEntry kExe[] = {{1, "exe one"}, {2, "exe two"}};
    constexpr StringEntry kGerman[] = {{2, "Sprache zwei"}, {3, "Sprache drei"}};
    Resources().ExePack().AddStrings(kExe);
    german_.AddStrings(kGerman);
  }
  void TearDown() override { Resources().Reset(); }

  ResourcePack german_{"ZK470Ger"};
};

TEST_F(ResourcesTest, LoadsFromTheServingPackThenTheOther) {
  struct Case {
    const char* name;
    bool language_pack;
    bool exe_switch;
    int id;
    const char* want;
  };
  const Case cases[] = {
      {"language pack has it", true, false, 2, "Sprache zwei"},
      {"language pack lacks it: own pack", true, false, 1, "exe one"},
      {"switch on: own pack first", true, true, 2, "exe two"},
      {"switch on, own pack lacks it", true, true, 3, "Sprache drei"},
      {"no language pack", false, false, 2, "exe two"},
      {"nowhere", true, false, 99, ""},
      {"nowhere, no language pack", false, false, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Resources().SetLanguagePack(c.language_pack ? &german_ : nullptr);
    c.exe_switch ? Resources().UseExeResources() : Resources().UseLanguageResources();
    EXPECT_EQ(LoadString(c.id), c.want);
  }
}

TEST_F(ResourcesTest, LaterStringsReplaceEarlierOnes) {
  constexpr StringEntry kMore[] = {{1, "replaced"}, {4, "four"}};
  Resources().ExePack().AddStrings(kMore);
  EXPECT_EQ(LoadString(1), "replaced");
  EXPECT_EQ(LoadString(4), "four");
  EXPECT_EQ(Resources().ExePack().FindString(5), std::nullopt);
}

TEST_F(ResourcesTest, ExeGuardRestoresTheRawSwitch) {
  // No language pack yet: loads serve the own pack, but the switch itself is off. A guard must
  // not leave it on, or a language pack chosen later would never serve.
  {
    ScopedExeResources guard;
    EXPECT_TRUE(Resources().UsingExeResources());
  }
  EXPECT_FALSE(Resources().ExeResourcesChosen());
  Resources().SetLanguagePack(&german_);
  EXPECT_EQ(LoadString(2), "Sprache zwei");

  {
    ScopedExeResources outer;
    EXPECT_EQ(LoadString(2), "exe two");
    {
      ScopedExeResources inner;
      EXPECT_EQ(LoadString(2), "exe two");
    }
    EXPECT_EQ(LoadString(2), "exe two") << "the inner guard must not end the outer bracket";
  }
  EXPECT_EQ(LoadString(2), "Sprache zwei");

  Resources().UseExeResources();
  { ScopedExeResources guard; }
  EXPECT_TRUE(Resources().ExeResourcesChosen()) << "a switch that was on stays on";
}

TEST_F(ResourcesTest, ResetReturnsToTheStartState) {
  Resources().SetLanguagePack(&german_);
  Resources().UseExeResources();
  Resources().Reset();
  EXPECT_EQ(Resources().LanguagePack(), nullptr);
  EXPECT_FALSE(Resources().ExeResourcesChosen());
  EXPECT_EQ(LoadString(1), "");
  EXPECT_EQ(Resources().ExePack().Name(), "ZK470");
}

}  // namespace
}  // namespace platform
