#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

// The zk470-testdata command line: "synth [options] OUT" and "from-wfdb RECORD OUT" (UsageText).
// Returns the exit code: 0 done, 1 a file could not be read or written, 2 a bad command line.
int RunTestdataCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string UsageText();

}  // namespace testsupport
