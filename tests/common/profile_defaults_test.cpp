#include "common/profile_defaults.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileDefaults, IntMissingMarkerOrUnreadableIsWrittenBack) {
  struct Case {
    const char* name;
    const char* stored;  // nullptr: no key
    int want;
    const char* stored_after;
  };
  constexpr Case kCases[] = {
      {"missing", nullptr, 7, "7"},     {"stored -1 counts as missing", "-1", 7, "7"},
      {"no number", "abc", 7, "7"},     {"stored value kept", "3", 3, "3"},
      {"stored 0 kept", "0", 0, "0"},   {"stored -2 kept", "-2", -2, "-2"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    platform::MemoryProfileStore profile;
    if (c.stored) profile.WriteString("Analyze", "Pause", c.stored);
    EXPECT_EQ(GetProfileIntDefault(profile, "Analyze", "Pause", 7), c.want);
    EXPECT_EQ(profile.GetString("Analyze", "Pause"), c.stored_after);
  }
}

TEST(ProfileDefaults, StringMissingOrNullIsWrittenBack) {
  struct Case {
    const char* name;
    const char* stored;
    const char* want;
  };
  constexpr Case kCases[] = {
      {"missing", nullptr, "Dr. Default"},
      {"stored NULL counts as missing", "NULL", "Dr. Default"},
      {"stored empty kept", "", ""},
      {"stored lower-case null kept", "null", "null"},
      {"stored text kept", "Dr. Weiss", "Dr. Weiss"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    platform::MemoryProfileStore profile;
    if (c.stored) profile.WriteString("User", "User", c.stored);
    EXPECT_EQ(GetProfileStringDefault(profile, "User", "User", "Dr. Default"), c.want);
    EXPECT_EQ(profile.GetString("User", "User"), c.want);
  }
}

}  // namespace
