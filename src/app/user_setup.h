#pragma once

#include <iosfwd>

namespace platform {
class ProfileStore;
}

// Before the program's first window: the letter templates and start-screen logos it ships go into
// the main folder where missing (a clinic's own stay), and the recording file type and the
// program's desktop entry are registered for the user where missing. What fails is told on err;
// the program starts regardless.
void PrepareUserFiles(platform::ProfileStore& profile, std::ostream& err);
