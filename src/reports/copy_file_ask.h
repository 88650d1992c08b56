#pragma once

#include <string>

// Copies source to target; when target exists the user is asked whether to overwrite it (Yes, No,
// Cancel). Returns 1 when the file was copied, 0 otherwise; every failure except Cancel is shown
// as a write error naming the target.
// The wait cursor shows while copying. User-interface thread only.
int CopyFileAsk(const std::string& source, const std::string& target);
