#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

// What the command line does with the recording document, which this library does not link: the
// document's test support fills it in (coretest::DocumentTestdataHooks).
struct TestdataHooks {
  // Writes base.QRS, an unanalysed recording, beside the files written at base; returns its path.
  // Throws platform::IoError when it cannot.
  std::function<std::filesystem::path(const std::filesystem::path& base)> write_recording_file;
};

// The zk470-testdata command line: "synth [options] OUT" and "from-wfdb RECORD OUT" (UsageText).
// from-wfdb also writes OUT.QRS when the hooks can. Returns the exit code: 0 done, 1 a file could
// not be read or written, 2 a bad command line.
int RunTestdataCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TestdataHooks& hooks = {});

std::string UsageText();

}  // namespace testsupport
