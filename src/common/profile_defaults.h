#pragma once

#include <string>
#include <string_view>

#include "platform/profile_store.h"

// Profile reads that fill in a missing value: the default is written back, so the profile file
// shows every setting the program uses. A stored -1 (integer) or "NULL" (text) counts as missing
// and is overwritten, because those are the markers the program has always used for "not there".
int GetProfileIntDefault(platform::ProfileStore& profile, std::string_view section, std::string_view key,
                         int default_value);
std::string GetProfileStringDefault(platform::ProfileStore& profile, std::string_view section,
                                    std::string_view key, std::string_view default_value);
